// Reader throughput on a generated ~1 MB format-1 song (8 tracks of dense notes,
// controllers and lyrics).

#include <benchmark/benchmark.h>

#include <string>

#include <malloc.h>
#include <sys/resource.h>

#include "smf/reader.h"
#include "smf/track.h"

namespace {

std::string MakeBigSong() {
    std::string file = "MThd";
    lirovox::smf::AppendBigEndian(file, 6, 4);
    lirovox::smf::AppendBigEndian(file, 1, 2);
    lirovox::smf::AppendBigEndian(file, 8, 2);
    lirovox::smf::AppendBigEndian(file, 480, 2);
    for (int track = 0; track < 8; ++track) {
        std::string t;
        const int channel = track == 0 ? 3 : track;
        for (int i = 0; t.size() < 128 * 1024; ++i) {
            lirovox::smf::AppendVlq(t, 120);
            t.push_back(static_cast<char>(0x90 | channel));
            t.push_back(static_cast<char>(48 + i % 36));
            t.push_back(100);
            lirovox::smf::AppendVlq(t, 120);
            t.push_back(static_cast<char>(48 + i % 36));  // running status note-off
            t.push_back(0);
            if (i % 16 == 0) {
                t += std::string("\x00\xB0", 2);
                t[t.size() - 1] = static_cast<char>(0xB0 | channel);
                t.push_back(7);
                t.push_back(90);
            }
            if (track == 0) {
                t += std::string("\x00\xFF\x05\x03", 4);
                t += i % 8 == 7 ? "\r  " : "la ";
            }
        }
        t += std::string("\x00\xFF\x2F\x00", 4);
        file += "MTrk";
        lirovox::smf::AppendBigEndian(file, static_cast<uint32_t>(t.size()), 4);
        file += t;
    }
    return file;
}

long MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Each load takes a fresh copy of the bytes, as reading the file into memory would. With
// `freshPages`, all memory the heap holds free goes back to the kernel between loads
// (outside the timing), so every load starts from pages the kernel must hand out.
void RunLoads(benchmark::State& state, bool freshPages) {
    const std::string bytes = MakeBigSong();
    const long faultsBefore = MinorFaults();
    for (auto _ : state) {
        {
            lirovox::Song song = lirovox::smf::ParseSong("big.mid", bytes);
            benchmark::DoNotOptimize(song.NoteCount);
        }
        if (freshPages) {
            state.PauseTiming();
            malloc_trim(0);
            state.ResumeTiming();
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
    // Pages the kernel had to hand out per load.
    state.counters["faults_per_load"] =
        static_cast<double>(MinorFaults() - faultsBefore) / static_cast<double>(state.iterations());
}

// The reader's own work: the heap keeps what one load frees for the next, as in a
// program that has run for a while.
void BM_ReadSong(benchmark::State& state) {
    constexpr int kGlibcDefault = 128 * 1024;
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    RunLoads(state, false);
    mallopt(M_MMAP_THRESHOLD, kGlibcDefault);
    mallopt(M_TRIM_THRESHOLD, kGlibcDefault);
}
BENCHMARK(BM_ReadSong)->Unit(benchmark::kMillisecond);

// The same loads on fresh pages: each pays the kernel for the file copy and the tables
// (about 6 MB here), as the first load in a new process does. On a virtual machine each
// of those page faults is costly.
void BM_ReadSong_FreshPages(benchmark::State& state) { RunLoads(state, true); }
BENCHMARK(BM_ReadSong_FreshPages)->Unit(benchmark::kMillisecond);

}  // namespace
