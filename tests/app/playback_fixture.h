#pragma once
// A small song with words, loaded into a playback panel over the fake engine, for the
// window's playback tests.
//
// The song: 120 BPM (500000 us per quarter), so the lyric clock runs 500 ms per 768
// music-time units; 8 bars (24576 units, "1 of 9"); twelve melody notes 500 ms apart,
// one syllable or line break each (notes 60 + index; 0 on a break), in four lines:
//   line 0 "Hello world"  (Hel, lo , world)       records 0..2
//   line 1 "second line"  (break, se, cond , line) records 3..6
//   line 2 "third one"    (break, third , one)     records 7..9
//   line 3 "end"          (break, end)             records 10..11

#include <memory>
#include <string>
#include <vector>

#include "app/playback_panel.h"
#include "playback/fake_engine.h"
#include "playback/playback.h"
#include "playback/qt/karaoke_view.h"
#include "score/qt/score_widget.h"
#include "smf/song.h"

namespace lirovox::test {

inline constexpr double kMsPerRecord = 500;
inline constexpr int kSongLength = 8 * 3072;

// Music time at which the lyric clock (tempo 500000, no output lead) reads `ms`.
inline int32_t MusicTimeAt(double ms) { return static_cast<int32_t>(ms * 768000.0 / 500000.0); }

inline Song PanelSong() {
    Song song;
    song.FilePath = "panel.mid";
    song.Division = 480;
    song.TempoUs = 500000;
    song.Bpm = 120;
    song.BpmOriginal = 120;
    song.SongLengthBpm = 120;
    song.LengthMusicTime = kSongLength;
    song.Bars = 9;
    song.HasWords = true;
    song.Channels[3] = ChannelRec{0, 4, 90, 64, 40, 30};
    for (size_t c = 0; c < 16; ++c) {
        if (c != 3) song.Channels[c].Volume = static_cast<int16_t>(100 + c);
    }

    struct Entry {
        const char* text;  // nullptr: a line break
    };
    const std::vector<Entry> entries = {{"Hel"},  {"lo "},   {"world"}, {nullptr}, {"se"},  {"cond "},
                                        {"line"}, {nullptr}, {"third "}, {"one"},  {nullptr}, {"end"}};
    song.LyricRecs.clear();
    song.LyricLines.assign(1, std::string());
    song.Notes.clear();
    int line = 0;
    int pos = 0;
    for (size_t k = 0; k < entries.size(); ++k) {
        LyricRec r;
        r.Time = kMsPerRecord * static_cast<double>(k);
        if (entries[k].text == nullptr) {
            ++line;
            pos = 0;
            song.LyricLines.emplace_back();
            r.Line = static_cast<int16_t>(line);
        } else {
            r.Text = entries[k].text;
            r.Length = static_cast<int16_t>(r.Text.size());
            r.CharPos = pos;
            r.Line = static_cast<int16_t>(line);
            song.LyricLines[static_cast<size_t>(line)] += r.Text;
            pos += r.Length;
        }
        song.LyricRecs.push_back(r);
        NoteRec n;
        n.Time = r.Time;
        n.Note = static_cast<int16_t>(entries[k].text ? 60 + k : 0);  // a break sounds nothing
        n.Text = entries[k].text ? entries[k].text : "\r";
        song.Notes.push_back(n);
    }
    song.MelodyNotes = song.Notes;
    return song;
}

// One drawn note per record, 32 pixels apart on row 1.
inline std::vector<ScoreNote> PanelNotePos(const Song& song) {
    std::vector<ScoreNote> pos;
    for (size_t k = 0; k < song.Notes.size(); ++k) {
        ScoreNote n;
        n.Time = song.Notes[k].Time;
        n.X = 32.0 * static_cast<double>(k + 1);
        n.Y = 64;
        n.Page = static_cast<double>(static_cast<int>(n.X / 588));
        pos.push_back(n);
    }
    return pos;
}

// The panel over the fake engine with the song loaded, its karaoke view and score beside.
struct PanelRig {
    Song song = PanelSong();
    std::vector<ScoreNote> notePos = PanelNotePos(song);
    playback::FakeEngine engine;
    playback::Playback playback{engine};
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    playback::qt::KaraokeView* karaoke = new playback::qt::KaraokeView(window.get());
    score::qt::ScoreWidget* score = new score::qt::ScoreWidget(window.get());
    app::PlaybackPanel* panel = new app::PlaybackPanel(playback, karaoke, score, window.get());

    explicit PanelRig(bool load = true) {
        window->resize(900, 600);
        karaoke->move(0, 0);
        score->move(0, 80);
        panel->setGeometry(0, 310, 900, 280);
        if (load) {
            panel->Show(playback.LoadSong(&song, &notePos));
            karaoke->FitFontToLines(song.LyricLines);
        }
        engine.ClearCalls();
    }

    // The calls recorded since the last look, then forgotten.
    std::vector<std::string> TakeCalls() {
        std::vector<std::string> calls = engine.Calls;
        engine.ClearCalls();
        return calls;
    }
};

}  // namespace lirovox::test
