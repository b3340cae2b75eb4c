// Score layout and drawing costs: one redraw of a long song, and one page's repaint,
// which must not grow with the length of the song.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <memory>
#include <vector>

#include "score/layout.h"
#include "score/mark_index.h"
#include "score/qt/score_painter.h"
#include "smf/song.h"

namespace {

using lirovox::NoteRec;
using lirovox::Song;

// A melody of `count` notes a quarter apart, wandering over two octaves with sharps;
// with `words`, one syllable per note and a line break every eight notes.
Song LongSong(int count, bool words) {
    Song s;
    s.Division = 480;
    s.TicksPerBar = 1920;
    s.MelodyNotes.clear();
    s.LyricEvents.clear();
    for (int i = 0; i < count; ++i) {
        NoteRec n;
        n.Note = static_cast<int16_t>(55 + (i * 5) % 26);
        n.Tick = 480.0 * i;
        n.Time = n.Tick;
        s.MelodyNotes.push_back(n);
        if (words) {
            NoteRec e;
            e.Text = (i % 3 == 2) ? "ro " : "ta";
            e.Tick = n.Tick;
            e.Time = n.Time;
            s.LyricEvents.push_back(e);
            if (i % 8 == 7) {
                NoteRec br;
                br.Text = "\r";
                br.Mark = 13;
                br.Tick = n.Tick + 1;
                br.Time = n.Time;
                s.LyricEvents.push_back(br);
            }
        }
    }
    s.Notes = s.MelodyNotes;
    s.HasWords = words;
    if (s.LyricEvents.empty()) s.LyricEvents.resize(1);
    return s;
}

void BM_PutInScorePlain(benchmark::State& state) {
    Song s = LongSong(static_cast<int>(state.range(0)), false);
    for (auto _ : state) {
        lirovox::score::ScoreLayout layout = lirovox::score::PutInScore(s, true);
        benchmark::DoNotOptimize(layout.Marks.data());
    }
}
BENCHMARK(BM_PutInScorePlain)->Arg(10000)->Unit(benchmark::kMillisecond);

// The words layout merges the melody with the syllables first, on every redraw.
void BM_PutInScoreWords(benchmark::State& state) {
    Song s = LongSong(static_cast<int>(state.range(0)), true);
    for (auto _ : state) {
        lirovox::score::ScoreLayout layout = lirovox::score::PutInScore(s, true);
        benchmark::DoNotOptimize(layout.Marks.data());
    }
}
BENCHMARK(BM_PutInScoreWords)->Arg(10000)->Unit(benchmark::kMillisecond);

void EnsureGuiApplication() {
    static std::unique_ptr<QGuiApplication> app;
    if (QGuiApplication::instance() != nullptr) return;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "lirovox_bench";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
}

// One page in the middle of a song of range(0) notes with words, painted as the score
// view paints it (the mark index is built once per layout, as the view does).
void BM_RepaintPage(benchmark::State& state) {
    EnsureGuiApplication();
    Song s = LongSong(static_cast<int>(state.range(0)), true);
    const lirovox::score::ScoreLayout layout = lirovox::score::PutInScore(s, true);
    const lirovox::score::MarkIndex index(layout.Marks);
    std::vector<uint32_t> scratch;
    QImage image(lirovox::kScorePageWidth, lirovox::score::kVisibleHeight, QImage::Format_RGB32);
    const int middlePage = layout.Width / 2 / lirovox::kScorePageWidth;
    const lirovox::score::qt::CursorLine cursor{static_cast<double>(middlePage * lirovox::kScorePageWidth + 64), 64};
    for (auto _ : state) {
        QPainter p(&image);
        lirovox::score::qt::PaintScore(p, layout, index, middlePage * lirovox::kScorePageWidth,
                                       image.width(), image.height(), cursor, scratch);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_RepaintPage)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
