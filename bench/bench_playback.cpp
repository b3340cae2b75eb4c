// Playback: what the playback tick costs at the window's timer interval, and how close to
// the sung notes the syllables light.
//
//   BM_TickCost            one Timer1 tick against the live engine (null output running)
//   BM_TickCpuAtInterval   a precise Qt timer ticking every N ms for 3 s: CPU share of the
//                          ticking thread (cpu_share_pct), and of the whole process with the
//                          null output's render thread (process_cpu_pct)
//   BM_LyricLightingError  the demo song rendered offline with the melody alone (on a woodblock,
//                          for sharp attacks); the tick runs every 4 ms of rendered audio and
//                          lights one syllable per melody note; each lighting is compared with
//                          the note's onset found in the audio (mean/max error in ms)

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <sys/resource.h>
#include <vector>

#include "playback/fluid_engine.h"
#include "playback/playback.h"
#include "smf/reader.h"

namespace {

using namespace lirovox;
using namespace lirovox::playback;

std::string DemoPath() { return std::string(LIROVOX_SOURCE_DIR) + "/examples/fra_martino.mid"; }

// One syllable per melody note, all on one line, as after a binding.
void GiveEveryNoteASyllable(Song& song) {
    song.HasWords = true;
    song.LyricRecs.clear();
    song.LyricLines.assign(1, std::string());
    for (int k = 0; k < song.NoteCount; ++k) {
        LyricRec r;
        r.Time = song.MelodyNotes[static_cast<size_t>(k)].Time;
        r.Text = "la";
        r.Length = 2;
        r.CharPos = 2 * k;
        song.LyricRecs.push_back(r);
        song.LyricLines[0] += "la";
    }
    if (song.LyricRecs.empty()) song.LyricRecs.resize(1);
}

std::vector<ScoreNote> NotePosFor(const Song& song) {
    std::vector<ScoreNote> pos;
    for (int k = 0; k < song.NoteCount; ++k) {
        ScoreNote n;
        n.Time = song.MelodyNotes[static_cast<size_t>(k)].Time;
        n.X = 32.0 * (k % 18 + 1);
        n.Y = 64;
        n.Page = k / 18;
        pos.push_back(n);
    }
    if (pos.empty()) pos.resize(1);
    return pos;
}

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

double ProcessCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct LiveSong {
    LiveSong() : engine(NullOptions()), playback(engine) {
        song = smf::ReadSong(DemoPath());
        GiveEveryNoteASyllable(song);
        notePos = NotePosFor(song);
        playback.LoadSong(&song, &notePos);
        engine.WaitForSoundfont();
        playback.sequencer().PlayMidiFile();
    }
    static FluidEngineOptions NullOptions() {
        FluidEngineOptions o;
        o.output = FluidEngineOptions::Output::Null;
        return o;
    }
    FluidEngine engine;
    Playback playback;
    Song song;
    std::vector<ScoreNote> notePos;
};

void BM_TickCost(benchmark::State& state) {
    LiveSong live;
    for (auto _ : state) {
        PlaybackUpdate u = live.playback.sequencer().Timer1Tick();
        benchmark::DoNotOptimize(u);
        // Stay in the first lines so the lyric and cursor steps keep running.
        if (live.playback.State().LyricIndex > 40) live.playback.sequencer().PlayMidiFile();
    }
}
BENCHMARK(BM_TickCost);

void BM_TickCpuAtInterval(benchmark::State& state) {
    const int intervalMs = static_cast<int>(state.range(0));
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
    LiveSong live;
    for (auto _ : state) {
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(intervalMs);
        long ticks = 0;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            benchmark::DoNotOptimize(live.playback.sequencer().Timer1Tick());
            ++ticks;
        });
        QTimer::singleShot(3000, [] { QCoreApplication::quit(); });
        QElapsedTimer wall;
        const double cpu0 = ThreadCpuSeconds();
        const double proc0 = ProcessCpuSeconds();
        wall.start();
        timer.start();
        QCoreApplication::exec();
        timer.stop();
        const double seconds = wall.nsecsElapsed() / 1e9;
        state.counters["cpu_share_pct"] = 100.0 * (ThreadCpuSeconds() - cpu0) / seconds;
        state.counters["process_cpu_pct"] = 100.0 * (ProcessCpuSeconds() - proc0) / seconds;
        state.counters["ticks_per_s"] = ticks / seconds;
    }
}
BENCHMARK(BM_TickCpuAtInterval)->Arg(4)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// The onset of a note expected near `expectedMs`: the first 1 ms window, from 30 ms before
// to 60 ms after, that rises clearly above the level where the search began. -1 when none.
double FindOnsetMs(const std::vector<float>& s, int rate, double expectedMs) {
    const size_t win = static_cast<size_t>(rate / 1000);
    auto level = [&](size_t frame) {
        double sum = 0;
        for (size_t i = frame; i < frame + win && 2 * i + 1 < s.size(); ++i) sum += s[2 * i] * s[2 * i];
        return std::sqrt(sum / static_cast<double>(win));
    };
    const double searchFrom = std::max(0.0, expectedMs - 30);
    size_t f = static_cast<size_t>(searchFrom * rate / 1000);
    const double before = level(f);
    const size_t end = static_cast<size_t>((expectedMs + 60) * rate / 1000);
    for (; f < end && 2 * f < s.size(); f += win / 4) {
        if (level(f) > std::max(4 * before, 0.003)) return 1000.0 * static_cast<double>(f) / rate;
    }
    return -1;
}

void BM_LyricLightingError(benchmark::State& state) {
    for (auto _ : state) {
        Song song = smf::ReadSong(DemoPath());
        GiveEveryNoteASyllable(song);
        std::vector<ScoreNote> notePos = NotePosFor(song);
        FluidEngineOptions o;
        o.output = FluidEngineOptions::Output::Offline;
        FluidEngine engine(o);
        Playback playback(engine);
        playback.LoadSong(&song, &notePos);
        playback.sequencer().PlayMidiFile();
        std::vector<float> audio;
        engine.RenderOffline(FluidEngine::kBlockFrames, audio);
        playback.mixer().ToggleSolo();
        playback.mixer().ChooseInstrument(115);  // Woodblock: short, sharp notes

        const int rate = engine.SampleRate();
        const double tickFrames = 0.004 * rate;
        double nextTick = 0;
        std::vector<double> litMs;
        while (engine.PlayPosition() < engine.Length()) {
            engine.RenderOffline(FluidEngine::kBlockFrames, audio);
            const double frames = static_cast<double>(audio.size() / 2);
            while (nextTick <= frames) {
                const int before = playback.State().LyricIndex;
                playback.sequencer().Timer1Tick();
                if (playback.State().LyricIndex > before) litMs.push_back(1000.0 * frames / rate);
                nextTick += tickFrames;
            }
        }
        // The first note sounds before the instrument choice: compare from the second on.
        double sum = 0, worst = 0;
        int n = 0, undetected = 0;
        for (size_t k = 1; k < litMs.size() && k < static_cast<size_t>(song.NoteCount); ++k) {
            const double onset = FindOnsetMs(audio, rate, song.MelodyNotes[k].Time);
            if (onset < 0) {
                ++undetected;
                continue;
            }
            const double error = std::fabs(litMs[k] - onset);
            sum += error;
            worst = std::max(worst, error);
            ++n;
        }
        state.counters["notes"] = n;
        state.counters["undetected"] = undetected;
        state.counters["mean_error_ms"] = n ? sum / n : 0;
        state.counters["max_error_ms"] = worst;
    }
}
BENCHMARK(BM_LyricLightingError)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
