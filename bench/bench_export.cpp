// Karaoke export throughput on generated ~1 MB songs with one syllable per melody note.
//  - BM_BuildKaraokeFile/format: a song of 8 channels of dense notes (running-status
//    note-offs, a controller now and then), the melody on channel 4, as a format-1 file
//    (8 tracks; the melody track carries lyrics under a "Words" name, so they are
//    dropped) or a format-0 file (the same events in one track; syllables inline).
//  - BM_BuildKaraokeFileAllMelody: the worst case, a format-0 file whose every note is a
//    melody note, so every note-off after an inserted syllable needs its status byte.
//  - BM_ExportKaraoke/format: the whole "Save Midifile" (read the source from disk, build,
//    write a temporary file, flush it to disk, rename).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "smf/export.h"
#include "smf/reader.h"
#include "smf/track.h"
#include "util/file_io.h"

namespace {

using lirovox::smf::AppendBigEndian;
using lirovox::smf::AppendVlq;

constexpr size_t kSongBytes = 1024 * 1024;

// Note i of a channel: note-on, then a running-status note-off 120 ticks later.
void AppendNote(std::string& t, int channel, int i, uint32_t delta) {
    AppendVlq(t, delta);
    t.push_back(static_cast<char>(0x90 | channel));
    t.push_back(static_cast<char>(48 + i % 36));
    t.push_back(100);
    AppendVlq(t, 120);
    t.push_back(static_cast<char>(48 + i % 36));
    t.push_back(0);
    if (i % 16 == 0) {
        t.push_back(0);
        t.push_back(static_cast<char>(0xB0 | channel));
        t.push_back(7);
        t.push_back(90);
    }
}

std::string Header(int format, int tracks) {
    std::string file = "MThd";
    AppendBigEndian(file, 6, 4);
    AppendBigEndian(file, static_cast<uint32_t>(format), 2);
    AppendBigEndian(file, static_cast<uint32_t>(tracks), 2);
    AppendBigEndian(file, 480, 2);
    return file;
}

void AppendTrack(std::string& file, std::string t) {
    t += std::string("\x00\xFF\x2F\x00", 4);
    file += "MTrk";
    AppendBigEndian(file, static_cast<uint32_t>(t.size()), 4);
    file += t;
}

std::string MakeSong(int format) {
    const int channels[8] = {3, 1, 2, 4, 5, 6, 7, 8};
    if (format == 0) {
        std::string t;
        for (int i = 0; t.size() < kSongBytes; ++i) {
            for (int c = 0; c < 8; ++c) AppendNote(t, channels[c], i, c == 0 ? 120 : 0);
        }
        std::string file = Header(0, 1);
        AppendTrack(file, std::move(t));
        return file;
    }
    std::string file = Header(1, 8);
    for (int c = 0; c < 8; ++c) {
        std::string t;
        if (c == 0) t += std::string("\x00\xFF\x03\x05", 4) + "Words";
        for (int i = 0; t.size() < kSongBytes / 8; ++i) {
            if (c == 0) t += std::string("\x00\xFF\x05\x03", 4) + "la ";
            AppendNote(t, channels[c], i, 120);
        }
        AppendTrack(file, std::move(t));
    }
    return file;
}

std::string MakeAllMelodySong() {
    std::string t;
    for (int i = 0; t.size() < kSongBytes; ++i) AppendNote(t, 3, i, 120);
    std::string file = Header(0, 1);
    AppendTrack(file, std::move(t));
    return file;
}

lirovox::Song BoundSong(const std::string& bytes) {
    lirovox::Song song = lirovox::smf::ParseSong("bench.mid", bytes);
    song.List1 = {"la "};
    for (size_t k = 0; k < song.Notes.size(); ++k) song.Notes[k].Text = k % 8 == 7 ? "\r" : "la ";
    return song;
}

void RunBuild(benchmark::State& state, const std::string& bytes) {
    const lirovox::Song song = BoundSong(bytes);
    for (auto _ : state) {
        std::string out = lirovox::smf::BuildKaraokeFile(song, bytes);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
    state.counters["syllables"] = static_cast<double>(song.Notes.size());
}

void BM_BuildKaraokeFile(benchmark::State& state) { RunBuild(state, MakeSong(static_cast<int>(state.range(0)))); }
BENCHMARK(BM_BuildKaraokeFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BuildKaraokeFileAllMelody(benchmark::State& state) { RunBuild(state, MakeAllMelodySong()); }
BENCHMARK(BM_BuildKaraokeFileAllMelody)->Unit(benchmark::kMillisecond);

void BM_ExportKaraoke(benchmark::State& state) {
    const std::string bytes = MakeSong(static_cast<int>(state.range(0)));
    const auto dir = std::filesystem::temp_directory_path() /
                     ("lirovox-bench-export-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string source = (dir / "song.mid").string();
    lirovox::WriteFileAtomically(source, bytes);
    lirovox::Song song = BoundSong(bytes);
    song.FilePath = source;
    const std::string target = (dir / "out.mid").string();
    for (auto _ : state) {
        benchmark::DoNotOptimize(lirovox::smf::ExportKaraoke(song, target));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ExportKaraoke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
