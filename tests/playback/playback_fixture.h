#pragma once
// A song built by hand for the playback logic tests, with the fake engine behind it.
//
// Timing: 120 BPM (TempoUs 500000), so music time p is at TempoUs x p / 768000 = p / 1.536
// milliseconds. Six melody notes, one every 500 ms from 0; the syllables "Fra " "Mar" "ti "
// "no" on line 0, then a line break and "dor" "mi" on line 1.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "playback/fake_engine.h"
#include "playback/playback.h"
#include "smf/song.h"

namespace lirovox::playback::test {

// Music time of a lyric-clock time in ms at 120 BPM (no lead).
inline int32_t MusicAt(double ms) { return static_cast<int32_t>(ms * 1.536 + 0.5); }

inline Song MakeHandSong() {
    Song s;
    s.FilePath = "hand.mid";
    s.FileData = "MThd";  // the fake engine does not read it
    s.Division = 480;
    s.TempoUs = 500000;
    s.Bpm = 120;
    s.BpmOriginal = 120;
    s.SongLengthBpm = 120;
    s.LengthMusicTime = 4 * 3072;
    s.Bars = 5;
    s.HasWords = true;
    const std::vector<std::string> texts = {"Fra ", "Mar", "ti ", "no", "\r", "dor"};
    s.Notes.clear();
    s.MelodyNotes.clear();
    for (int k = 0; k < 6; ++k) {
        NoteRec n;
        n.Time = 500.0 * k;
        n.Tick = 480.0 * k;
        n.Note = static_cast<int16_t>(60 + k);
        s.MelodyNotes.push_back(n);
        n.Text = texts[static_cast<size_t>(k)];
        s.Notes.push_back(n);
    }
    s.LyricLines = {"Fra Marti no", "dor", "ding dang dong"};
    s.LyricRecs.clear();
    int charPos = 0;
    int16_t line = 0;
    for (int k = 0; k < 6; ++k) {
        LyricRec r;
        r.Time = 500.0 * k;
        const std::string& t = texts[static_cast<size_t>(k)];
        if (t == "\r") {
            line = 1;
            charPos = 0;
            r.Line = line;
        } else {
            r.Text = t;
            r.Length = static_cast<int16_t>(t.size());
            r.CharPos = charPos;
            r.Line = line;
            charPos += static_cast<int>(t.size());
        }
        s.LyricRecs.push_back(r);
    }
    for (int c = 0; c < 16; ++c) {
        s.Channels[static_cast<size_t>(c)].Volume = static_cast<int16_t>(60 + c);
        s.Channels[static_cast<size_t>(c)].ChannelNo = static_cast<int16_t>(c + 1);
    }
    s.Channels[3].Program = 73;  // "Flute"
    s.Channels[3].Pan = 64;
    s.Channels[3].Reverb = 40;
    s.Channels[3].Chorus = 64;
    return s;
}

inline std::vector<ScoreNote> MakeNotePos() {
    std::vector<ScoreNote> pos;
    for (int k = 0; k < 6; ++k) {
        ScoreNote n;
        n.Time = 500.0 * k;
        n.X = 32.0 * (k + 1) + (k >= 3 ? 600 : 0);  // the last three on the second page
        n.Y = 64;
        n.Page = k >= 3 ? 1 : 0;
        pos.push_back(n);
    }
    return pos;
}

class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        song = MakeHandSong();
        notePos = MakeNotePos();
        playback.LoadSong(&song, &notePos);
        engine.ClearCalls();
    }

    // Puts the six notes, entries and cursor notes at `offset` + `step` x k milliseconds.
    void SpreadNotes(double step, double offset = 0) {
        for (size_t k = 0; k < 6; ++k) {
            const double t = offset + step * static_cast<double>(k);
            song.Notes[k].Time = t;
            song.LyricRecs[k].Time = t;
            notePos[k].Time = t;
        }
    }

    // The recorded calls from index `from` on.
    std::vector<std::string> CallsFrom(size_t from) const {
        return std::vector<std::string>(engine.Calls.begin() + static_cast<long>(from), engine.Calls.end());
    }
    // Only the "Send ..." calls among `calls`.
    static std::vector<std::string> Sends(const std::vector<std::string>& calls) {
        std::vector<std::string> out;
        for (const std::string& c : calls) {
            if (c.rfind("Send ", 0) == 0) out.push_back(c);
        }
        return out;
    }
    static std::vector<std::string> AllSoundOffEverywhere() {
        std::vector<std::string> out;
        for (int c = 0; c < 16; ++c) out.push_back("Send B0 " + std::to_string(c) + " 120 0");
        return out;
    }
    // Calls without the volume holds (checked separately).
    static std::vector<std::string> WithoutHolds(const std::vector<std::string>& calls) {
        std::vector<std::string> out;
        for (const std::string& c : calls) {
            if (c.rfind("Hold ", 0) != 0) out.push_back(c);
        }
        return out;
    }

    FakeEngine engine;
    Playback playback{engine};
    Song song;
    std::vector<ScoreNote> notePos;
    const PlaybackState& st() const { return playback.State(); }
};

}  // namespace lirovox::playback::test
