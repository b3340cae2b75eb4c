#pragma once
// The window under test: a MainWindow on the recording engine, with a scripted file
// chooser and message boxes that only record what they were asked to show.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "app/window_widgets.h"
#include "playback/fake_engine.h"
#include "playback/qt/karaoke_view.h"
#include "score/qt/score_widget.h"
#include "support/test_support.h"

namespace lirovox::test {

// A format-1 song at division 96: track 0 holds the tempo (and the end of the song at
// `endTick`), track 1 the melody on channel 4, one quarter note per pitch, and the lyric
// events given (tick, text).
inline std::string MelodyFile(const std::vector<int>& pitches, uint32_t tempoUs, uint32_t endTick,
                              const std::vector<std::pair<uint32_t, std::string>>& lyrics = {}) {
    TrackBytes tempo;
    tempo.Tempo(0, tempoUs);
    tempo.EndOfTrack(endTick);
    TrackBytes melody;
    uint32_t now = 0;
    size_t next = 0;
    auto lyricsUpTo = [&](uint32_t tick) {
        while (next < lyrics.size() && lyrics[next].first <= tick) {
            melody.Lyric(lyrics[next].first - now, lyrics[next].second);
            now = lyrics[next].first;
            ++next;
        }
    };
    for (size_t i = 0; i < pitches.size(); ++i) {
        const uint32_t on = static_cast<uint32_t>(i) * 96;
        lyricsUpTo(on);
        melody.NoteOn(on - now, 3, pitches[i], 100);
        melody.NoteOff(90, 3, pitches[i]);
        now = on + 90;
    }
    lyricsUpTo(endTick);
    melody.EndOfTrack(0);
    return MakeSmf(1, 96, {tempo, melody});
}

// `count` quarter notes rising and falling around middle C.
inline std::vector<int> Pitches(int count) {
    std::vector<int> p;
    for (int i = 0; i < count; ++i) p.push_back(60 + (i % 12));
    return p;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::WindowDialogs d;
        d.ChooseFile = [this](const app::FileRequest& r) {
            requests.push_back(r);
            if (files.empty()) return std::string();
            std::string f = files.front();
            files.pop_front();
            return f;
        };
        d.Confirm = [this](const std::string& q) {
            questions.push_back(q);
            return confirm;
        };
        d.Message = [this](const std::string& m) { messages.push_back(m); };
        window = std::make_unique<app::MainWindow>(engine, d);
        window->show();
    }

    void TearDown() override { window.reset(); }

    const app::WindowControls& c() const { return window->Controls(); }
    const app::SessionState& st() const { return window->Session().State(); }

    // "Load Midifile" with the chooser answering `path`.
    void Load(const std::string& path) {
        files.push_back(path);
        window->LoadSMF_Click();
    }
    // "Ready" with the chooser answering `path`.
    void Ready(const std::string& path) {
        files.push_back(path);
        window->ReadyTXT_Click();
    }

    // What the list view shows, entry by entry (Latin-1).
    std::vector<std::string> Shown() const {
        std::vector<std::string> out;
        for (int i = 0; i < c().List1->count(); ++i) out.push_back(c().List1->item(i)->text().toLatin1().toStdString());
        return out;
    }

    // A song of `notes` notes, loaded, with a ready-split list of one syllable per note
    // ("s0 ", "s1 ", ...) bound to it.
    void LoadWithSyllables(int notes) {
        Load(dir.Write("song.mid", MelodyFile(Pitches(notes), 500000, static_cast<uint32_t>(notes) * 96)));
        std::string list;
        for (int i = 0; i < notes; ++i) list += "s" + std::to_string(i) + " \r\n";
        Ready(dir.Write("list.txt", list));
    }

    playback::FakeEngine engine;
    TempDir dir;
    std::deque<std::string> files;
    std::vector<app::FileRequest> requests;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool confirm = true;
    std::unique_ptr<app::MainWindow> window;
};

// Every syllable of the list bound to its melody note in order: the n-th entry that is
// not a line mark carries the Tick of melody note n; a line mark is a CR event.
inline void ExpectBoundToList(const Song& song) {
    int n = 0;
    const int lastNote = UBound(song.MelodyNotes);
    for (size_t i = 0; i < song.List1.size() && i < song.LyricEvents.size(); ++i) {
        const NoteRec& ev = song.LyricEvents[i];
        if (song.List1[i].find("---") != std::string::npos) {
            EXPECT_EQ(ev.Text, "\r") << "entry " << i;
            continue;
        }
        EXPECT_EQ(ev.Text, song.List1[i]) << "entry " << i;
        if (n <= lastNote) {
            EXPECT_EQ(ev.Tick, song.MelodyNotes[static_cast<size_t>(n)].Tick) << "entry " << i;
        }
        ++n;
    }
}

}  // namespace lirovox::test
