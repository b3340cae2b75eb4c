// Forward and rewind jumps, go to bar and the tempo control, against the recording engine.

#include <gtest/gtest.h>

#include "playback/transport.h"
#include "playback_fixture.h"

namespace lirovox::playback::test {
namespace {

using Calls = std::vector<std::string>;

Calls StopPart() {
    Calls c;
    for (int k = 0; k < 16; ++k) c.push_back("Send B0 " + std::to_string(k) + " 120 0");
    c.push_back("Stop");
    return c;
}

TEST_F(PlaybackTest, ForwardJumpInsideTheSongRestartsAtTheTarget) {
    SpreadNotes(2000);
    playback.sequencer().PlayMidiFile();
    playback.sequencer().PreviewNote(0);  // Timer2 on: the jump turns it off
    engine.Position = 100;
    engine.ClearCalls();
    PlaybackUpdate u = playback.transport().JumpForward();

    Calls expected = StopPart();
    expected.push_back("SetStartPoint 6174");
    expected.push_back("Start");
    EXPECT_EQ(WithoutHolds(engine.Calls), expected);
    EXPECT_EQ(st().SeekTarget, 6174);
    EXPECT_EQ(st().ResumePos, 0);
    EXPECT_FALSE(st().Playing);  // a jump leaves Playing false
    EXPECT_TRUE(st().Timer1Enabled);
    EXPECT_FALSE(st().Timer2Enabled);
    EXPECT_EQ(st().Display.Lamp, kLampPlaying);
    // 6174 is at 4019.5 ms: entries at 0, 2000 and 4000 ms lie before it.
    EXPECT_EQ(st().LyricIndex, 2);
    EXPECT_EQ(st().NoteIndex, 2);
    EXPECT_EQ(st().Display.Cursor.X1, notePos[3].X);
    EXPECT_TRUE(u.CursorMoved);
}

TEST_F(PlaybackTest, JumpsOutsideTheSongOnlyStop) {
    struct Case {
        const char* name;
        int32_t position;
        bool forward;
    };
    // Forward past the length; backward before 0; forward to a clock past the
    // second-to-last note (2000 ms = music time 3072: 3072 + 6074 is far beyond).
    for (const Case& c : {Case{"past the end", 8000, true}, Case{"before the start", 6000, false},
                          Case{"past the last notes", 3000, true}}) {
        playback.sequencer().PlayMidiFile();
        engine.Position = c.position;
        engine.ClearCalls();
        c.forward ? playback.transport().JumpForward() : playback.transport().JumpBackward();
        EXPECT_EQ(WithoutHolds(engine.Calls), StopPart()) << c.name;
        EXPECT_EQ(st().ResumePos, c.position - 100) << c.name;
        EXPECT_FALSE(st().Timer1Enabled) << c.name;
        EXPECT_FALSE(st().Playing) << c.name;
    }
}

TEST_F(PlaybackTest, RewindFindsTheEntryBeforeTheTargetAndTheTickLightsItAgain) {
    SpreadNotes(2000);
    playback.sequencer().PlayMidiFile();
    engine.Position = MusicAt(7000) + 6074;  // rewinding lands on 7000 ms
    playback.transport().JumpBackward();
    EXPECT_EQ(st().LyricIndex, 3);  // entries at 0, 2000, 4000, 6000 lie before 7000
    EXPECT_EQ(st().NoteIndex, 3);
    // The cursor sits on the first note at or after the clock (entry 4, second page).
    EXPECT_EQ(st().Display.Cursor.X1, notePos[4].X);
    EXPECT_EQ(st().Display.ScoreLeft, -588 + 54);

    // The next tick lights entry 3 again (its time has passed), then waits for entry 4.
    PlaybackUpdate u = playback.sequencer().Timer1Tick();
    ASSERT_TRUE(u.Karaoke);
    EXPECT_EQ(st().LyricIndex, 4);
    EXPECT_FALSE(playback.sequencer().Timer1Tick().Karaoke);
}

TEST_F(PlaybackTest, JumpBeforeTheFirstEntryGoesOnFromEntryZero) {
    SpreadNotes(500, 5000);
    playback.sequencer().PlayMidiFile();
    engine.Position = 6074 + 50;
    playback.transport().JumpBackward();  // to music time 50: before every entry
    EXPECT_EQ(st().LyricIndex, -1);
    EXPECT_EQ(st().NoteIndex, -1);
    engine.Position = MusicAt(5000);
    PlaybackUpdate u = playback.sequencer().Timer1Tick();
    ASSERT_TRUE(u.Karaoke);
    EXPECT_EQ(u.Karaoke->Rows[0].Runs[0].Text, "Fra ");
    EXPECT_EQ(st().LyricIndex, 1);
    EXPECT_EQ(st().NoteIndex, 1);
}

TEST_F(PlaybackTest, JumpReappliesTheSolo) {
    SpreadNotes(2000);
    playback.sequencer().PlayMidiFile();
    playback.mixer().ToggleSolo();
    engine.Position = 100;
    engine.ClearCalls();
    playback.transport().JumpForward();
    Calls sends = Sends(CallsFrom(17));  // after the All Sound Offs
    Calls expected;
    for (int k = 0; k < 16; ++k) expected.push_back("Send B0 " + std::to_string(k) + " 7 0");
    expected.push_back("Send B0 3 7 63");
    EXPECT_EQ(sends, expected);
}

TEST(LeadingNumber, ReadsTheNumberATextBeginsWith) {
    struct Case {
        const char* text;
        double value;
    };
    for (const Case& c : {Case{"12", 12}, Case{"  7", 7}, Case{"3 bars", 3}, Case{"2x", 2}, Case{"-1", -1},
                          Case{"+4", 4}, Case{"1.5", 1.5}, Case{".5", 0.5}, Case{"abc", 0}, Case{"", 0},
                          Case{"-", 0}, Case{"x12", 0}}) {
        EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << c.text;
    }
}

TEST_F(PlaybackTest, GoToBarRestartsAtTheBarsFirstBeat) {
    SpreadNotes(1000);
    playback.sequencer().PlayMidiFile();
    engine.Position = 5000;
    engine.ClearCalls();
    PlaybackUpdate u = playback.transport().GoToBar("1");
    Calls expected = StopPart();
    expected.push_back("SetStartPoint 3072");
    expected.push_back("Start");
    EXPECT_EQ(WithoutHolds(engine.Calls), expected);
    EXPECT_EQ(st().ResumePos, 3072);
    EXPECT_TRUE(st().Timer1Enabled);
    EXPECT_EQ(st().LyricIndex, 1);  // 3072 = 2000 ms: entries 0 and 1000 before it
    EXPECT_EQ(st().NoteIndex, 1);
    EXPECT_TRUE(u.HideGoToBox);
}

TEST_F(PlaybackTest, GoToBarTextRules) {
    SpreadNotes(1000);
    struct Case {
        const char* text;
        bool starts;
        int32_t resumePos;
    };
    // Paused at 5000: no number goes to the beginning; a negative one keeps 4900; bar 99
    // lies past the end: paused, not started.
    for (const Case& c : {Case{"abc", true, 0}, Case{"-2", true, 4900}, Case{"99", false, 99 * 3072},
                          Case{"0.5", true, 1536}}) {
        playback.sequencer().PlayMidiFile();
        engine.Position = 5000;
        engine.ClearCalls();
        PlaybackUpdate u = playback.transport().GoToBar(c.text);
        EXPECT_EQ(st().ResumePos, c.resumePos) << c.text;
        const bool started = !engine.Calls.empty() && engine.Calls.back() == "Start";
        EXPECT_EQ(started, c.starts) << c.text;
        EXPECT_EQ(st().Timer1Enabled, c.starts) << c.text;
        EXPECT_TRUE(u.HideGoToBox) << c.text;
        if (c.starts) {
            EXPECT_EQ(engine.StartPoint, c.resumePos) << c.text;
        }
    }
    EXPECT_TRUE(playback.transport().CanOpenGoToBox());
}

TEST_F(PlaybackTest, SpeedSetsTheTempoFactorAndTheLabelResetRestoresIt) {
    playback.transport().SpeedChanged(150);
    EXPECT_EQ(engine.Calls, (Calls{"Tempo 1.5"}));
    EXPECT_EQ(st().Display.TempoText, "170");  // Bpm + value - 100
    EXPECT_EQ(st().Display.SpeedValue, 150);
    playback.transport().SpeedChanged(80);
    EXPECT_EQ(st().Display.TempoText, "100");

    song.Bpm = 99;  // the label reset goes back to the file's BPM
    engine.ClearCalls();
    playback.transport().ResetTempo();
    EXPECT_EQ(engine.Calls, (Calls{"Tempo 1"}));
    EXPECT_EQ(song.Bpm, 120);
    EXPECT_EQ(st().Display.TempoText, "120");
    EXPECT_EQ(st().Display.SpeedValue, 100);
}

}  // namespace
}  // namespace lirovox::playback::test
