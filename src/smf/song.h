#pragma once
// The song-state record: everything a load of one MIDI file produces, and the lyric
// tables that the syllable binding rebuilds from the syllable list.
//
// Table convention: every table (`MelodyNotes`, `Notes`, `LyricEvents`, `LyricRecs`,
// `LyricLines`) always holds at least one element. A reset leaves exactly one zeroed
// element (index 0); tables grow one element per entry, so after n entries a table has
// indices 0..n-1 (and 0..0, zeroed, when there is none). `UBound(t)` is the last index.
// The counters (`NoteCount`, `HyphenCount`, `LineCount`) say how many real entries the
// reader made, which the header panel shows.
//
// Texts are Latin-1 byte strings, one character per byte, as the files hold them.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace lirovox {

inline constexpr int kMusicPpq = 768;         // music time units per quarter note
inline constexpr int kMusicBar = 3072;        // one 4/4 bar of music time
inline constexpr int kMelodyChannel = 3;      // channel index of MIDI channel 4
inline constexpr char kLineBreakText[] = "\r";  // text of a line-break lyric entry

// One event of `MelodyNotes`, `LyricEvents` or `Notes`.
struct NoteRec {
    double Time = 0;   // milliseconds from the start of the event's track (lyric clock scale)
    double Tick = 0;   // absolute ticks from the start of the track
    int16_t Note = 0;  // MIDI note number of a melody note; 0 in lyric events
    std::string Text;  // syllable; "\r" for a line break; empty for a plain melody note
    double Mark = 0;   // 13.0 in a line-break entry
};

// One lyric syllable with its place in the text lines (table `LyricRecs`).
struct LyricRec {
    double Time = 0;      // milliseconds; a line break takes the time of the syllable after it
    std::string Text;     // empty for a line-break entry
    int16_t Length = 0;   // characters in Text
    int32_t CharPos = 0;  // characters of the earlier syllables of the same line
    int16_t Line = 0;     // index into LyricLines
    double Tick = 0;      // absolute ticks
};

// The mixer values of one MIDI channel.
struct ChannelRec {
    int16_t Program = 0;     // first program change (0 when none)
    int16_t ChannelNo = -1;  // 1..16 when the file holds a note-on for it, else -1
    int16_t Volume = 0;      // controller 7 (100 when the file has none)
    int16_t Pan = 64;        // controller 10
    int16_t Reverb = 64;     // controller 91 (100 when the file has none)
    int16_t Chorus = 64;
};

struct Song {
    // File.
    std::string FilePath;  // full path of the loaded file
    std::string FileData;  // the whole file, one character per byte
    int Format = 0;        // header format
    int TrackCount = 0;    // header number of tracks
    bool MultiTrack = false;  // format is not 0: all tracks are read

    // Timing.
    int Division = 0;         // ticks per quarter note
    int TicksPerBar = 0;      // Division * 4
    double TicksPer16th = 0;  // Division / 4
    double TempoUs = 500000;  // microseconds per quarter of the first tempo event
    double MsPerTick = 0;     // TempoUs / Division / 1000
    int Bpm = 0;              // beats per minute, nearest whole number (halves to even)
    int BpmOriginal = 0;      // Bpm as read from the file
    double SongLengthBpm = 0; // Bpm at load time
    int32_t LengthMusicTime = 0;  // song length in music time (768 per quarter)
    int Bars = 0;                 // LengthMusicTime / 3072 + 1, nearest (halves to even)
    int TimeSigNum = 4;
    int TimeSigDen = 4;

    // Words.
    bool HasWords = false;  // the file has a lyric track, or the list has been bound

    // Tables (see the convention above).
    std::vector<NoteRec> MelodyNotes{1};
    std::vector<NoteRec> Notes{1};
    std::vector<NoteRec> LyricEvents{1};
    std::vector<LyricRec> LyricRecs{1};
    std::vector<std::string> LyricLines{1};
    std::array<ChannelRec, 16> Channels{};

    // The syllable list `List1` as the file's own lyrics filled it.
    std::vector<std::string> List1;

    // Header figures: notes, hyphens (syllables) and lines as the panel shows them.
    int NoteCount = 0;
    int HyphenCount = 0;
    int LineCount = 0;

    // Counts of entries the reader made (tables hold one zeroed element when 0).
    int LyricEventCount = 0;
    int LyricRecCount = 0;
};

template <class T>
inline int UBound(const std::vector<T>& table) {
    return static_cast<int>(table.size()) - 1;
}

// Resets the tables to one zeroed element each, and the channels to their reset values
// (Pan 64, ChannelNo -1, Program 0, Reverb 64, Chorus 64, Volume 0).
void ResetSongTables(Song& song);

// "mm:ss" of a number of seconds (each part at least two digits).
std::string FormatMinutesSeconds(int64_t seconds);

}  // namespace lirovox
