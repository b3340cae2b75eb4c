#pragma once
// Helpers shared by the tests: building MIDI files byte by byte, temporary folders,
// running the program and the independent python3-mido reader.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace lirovox::test {

// Builds one track's event bytes.
class TrackBytes {
public:
    TrackBytes& Delta(uint32_t ticks);                       // a VLQ delta time
    TrackBytes& Bytes(std::initializer_list<int> bytes);     // raw bytes
    TrackBytes& Raw(const std::string& bytes);
    TrackBytes& NoteOn(uint32_t delta, int channel, int note, int velocity);
    TrackBytes& NoteOff(uint32_t delta, int channel, int note);
    TrackBytes& Meta(uint32_t delta, int type, const std::string& text);
    TrackBytes& Lyric(uint32_t delta, const std::string& text) { return Meta(delta, 5, text); }
    TrackBytes& Tempo(uint32_t delta, uint32_t usPerQuarter);
    TrackBytes& EndOfTrack(uint32_t delta = 0);
    const std::string& Data() const { return data_; }

private:
    std::string data_;
};

// A whole file: "MThd" header and one "MTrk" chunk per track (lengths computed).
std::string MakeSmf(int format, int division, const std::vector<TrackBytes>& tracks);
std::string MakeSmfRaw(int format, int trackCount, int division,
                       const std::vector<std::string>& trackData);

// A fresh temporary folder, removed when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a shell command line, capturing stdout and stderr.
RunResult RunCommand(const std::string& commandLine);

// Runs the lirovox program with the given arguments (each quoted for the shell).
RunResult RunLirovox(const std::vector<std::string>& args);

// Reads a MIDI file with python3-mido; returns its dump (see tests/tools/mido_dump.py):
// one line per track "track N", then one line per event "abs_tick type field=value...",
// lyrics as "lyrics <hex bytes>". exitCode is nonzero when mido refuses the file.
RunResult MidoDump(const std::string& midiPath);

std::string ReadFileBytes(const std::string& path);
std::string SourcePath(const std::string& relative);  // path inside the source tree

}  // namespace lirovox::test
