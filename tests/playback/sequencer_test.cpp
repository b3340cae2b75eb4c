// Play, pause, stop and the two ticks, against the recording engine.

#include <gtest/gtest.h>

#include "playback/karaoke.h"
#include "playback_fixture.h"

namespace lirovox::playback::test {
namespace {

using Calls = std::vector<std::string>;

TEST(PlaybackLoad, HandsTheSongToTheEngineAndShowsTheStrip) {
    FakeEngine engine;
    Playback playback(engine);
    Song song = MakeHandSong();
    std::vector<ScoreNote> notePos = MakeNotePos();
    playback.LoadSong(&song, &notePos);
    EXPECT_EQ(engine.Calls, (Calls{"StartAudio", "LoadSong 480 12288", "Tempo 1", "MasterVolume -312"}));
    const Displays& d = playback.State().Display;
    EXPECT_EQ(d.BarText, "1 of 5");
    EXPECT_EQ(d.TempoText, "120");
    EXPECT_EQ(d.SpeedValue, 100);
    EXPECT_EQ(d.Strip[0], "4");
    EXPECT_EQ(d.Strip[1], "Flute");
    EXPECT_EQ(d.Strip[2], "63");
    EXPECT_EQ(d.Strip[4], "40");
    EXPECT_TRUE(playback.Loaded());
}

TEST(PlaybackLoad, NothingActsBeforeALoad) {
    FakeEngine engine;
    Playback playback(engine);
    playback.sequencer().PlayMidiFile();
    playback.sequencer().PauseMidiFile();
    playback.sequencer().StopMidiFile();
    playback.sequencer().Timer1Tick();
    playback.transport().JumpForward();
    playback.transport().SpeedChanged(150);
    playback.mixer().ToggleMute();
    playback.mixer().ToggleSolo();
    playback.mixer().ChooseInstrument(5);
    playback.sequencer().PreviewNote(0);
    EXPECT_TRUE(engine.Calls.empty());
    EXPECT_FALSE(playback.State().Timer1Enabled);
}

TEST_F(PlaybackTest, PlayStartsAtTheResumePositionAndLightsTheLamp) {
    playback.sequencer().PlayMidiFile();
    EXPECT_EQ(engine.Calls, (Calls{"SetStartPoint 0", "Start"}));
    EXPECT_TRUE(st().Playing);
    EXPECT_TRUE(st().Timer1Enabled);
    EXPECT_FALSE(st().Timer2Enabled);
    EXPECT_EQ(st().Display.Lamp, kLampPlaying);
    EXPECT_TRUE(st().Display.FwdRewEnabled);
    EXPECT_TRUE(st().Display.BarEnabled);
}

TEST_F(PlaybackTest, PauseKeepsThePositionAndPlayResumesAHundredEarlier) {
    playback.sequencer().PlayMidiFile();
    engine.Position = 5000;
    engine.ClearCalls();
    playback.sequencer().PauseMidiFile();
    Calls expected = AllSoundOffEverywhere();
    expected.push_back("Stop");
    EXPECT_EQ(engine.Calls, expected);
    EXPECT_EQ(st().ResumePos, 4900);
    EXPECT_FALSE(st().Playing);
    EXPECT_FALSE(st().Timer1Enabled);
    EXPECT_EQ(st().Display.Lamp, kLampPaused);

    engine.ClearCalls();
    playback.sequencer().PlayMidiFile();
    EXPECT_EQ(engine.Calls, (Calls{"SetStartPoint 4900", "Start"}));
}

TEST_F(PlaybackTest, ResumeRulesAtTheEndAndBeforeTheStart) {
    struct Case {
        int32_t pausedAt;
        int32_t expectedStart;
    };
    // Paused at the end (12288): resume 12188 is inside; a go-to past the end is covered by
    // the transport tests. Paused at 50: 50 - 100 < 0 starts at 0.
    for (const Case& c : {Case{12288, 12188}, Case{50, 0}, Case{100, 0}}) {
        engine.Position = c.pausedAt;
        playback.sequencer().PauseMidiFile();
        engine.ClearCalls();
        playback.sequencer().PlayMidiFile();
        EXPECT_EQ(engine.Calls.front(), "SetStartPoint " + std::to_string(c.expectedStart)) << c.pausedAt;
    }
}

TEST_F(PlaybackTest, PlayAtOrPastTheEndStartsTenEarlier) {
    // A go-to of exactly the song's length leaves ResumePos at the length.
    playback.transport().GoToBar("4");  // 4 x 3072 = 12288 = the length; not before the last notes
    EXPECT_EQ(st().ResumePos, 12288);
    engine.ClearCalls();
    playback.sequencer().PlayMidiFile();
    EXPECT_EQ(engine.Calls.front(), "SetStartPoint 12278");
}

TEST_F(PlaybackTest, StopRewindsClearsTheFlagsWithoutVolumeMessages) {
    playback.sequencer().PlayMidiFile();
    playback.mixer().ToggleSolo();
    playback.mixer().ChooseInstrument(0);
    engine.Position = 7000;
    playback.sequencer().Timer1Tick();
    engine.ClearCalls();

    PlaybackUpdate u = playback.sequencer().StopMidiFile();
    Calls expected = AllSoundOffEverywhere();
    expected.push_back("Stop");
    expected.push_back("SetStartPoint 0");
    EXPECT_EQ(WithoutHolds(engine.Calls), expected);
    // The holds of the solo are released; nothing else.
    for (bool held : engine.Held) EXPECT_FALSE(held);

    EXPECT_FALSE(st().Playing);
    EXPECT_EQ(st().ResumePos, 0);
    EXPECT_EQ(st().LyricIndex, 0);
    EXPECT_EQ(st().NoteIndex, 0);
    for (int c = 0; c < 16; ++c) {
        EXPECT_FALSE(st().Muted[static_cast<size_t>(c)]);
        EXPECT_FALSE(st().Soloed[static_cast<size_t>(c)]);
    }
    EXPECT_FALSE(st().Timer1Enabled);
    EXPECT_FALSE(st().Timer2Enabled);
    EXPECT_EQ(st().Display.Lamp, kLampStopped);
    EXPECT_EQ(st().Display.BarText, "1 of 5");
    EXPECT_EQ(st().Display.Strip[1], "Flute");  // the file's instrument again
    EXPECT_EQ(st().Display.Strip[6], "");
    EXPECT_EQ(st().Display.Cursor, (CursorLine{32, 32, 64, 32}));
    EXPECT_EQ(st().Display.ScoreLeft, 54);
    EXPECT_TRUE(u.SelectFirstListEntry);
    EXPECT_TRUE(u.ResetRow2PickPos);
    ASSERT_TRUE(u.Karaoke.has_value());
    EXPECT_EQ(u.Karaoke->Rows.size(), 3u);  // the first three lines, unlit
}

TEST_F(PlaybackTest, StopSelectsTheFirstEntryBeforeItsAllSoundOff) {
    playback.sequencer().PlayMidiFile();
    engine.ClearCalls();
    // The list's selection handler sounds the note preview of entry 0.
    PlaybackUpdate u = playback.sequencer().StopMidiFile([this] { playback.sequencer().PreviewNote(0); });
    ASSERT_GE(engine.Calls.size(), 2u);
    EXPECT_EQ(engine.Calls[0], "Send 90 3 60 80");
    EXPECT_EQ(engine.Calls[1], "Send B0 0 120 0");  // the stop's All Sound Off follows it
    EXPECT_FALSE(u.SelectFirstListEntry);
    EXPECT_TRUE(st().Timer2Enabled);  // the preview's cut-off still runs once
    ASSERT_TRUE(u.Karaoke);
}

TEST_F(PlaybackTest, StartReappliesMuteAndSoloInChannelOrder) {
    playback.mixer().ToggleMute();
    engine.ClearCalls();
    playback.sequencer().PlayMidiFile();
    EXPECT_EQ(WithoutHolds(engine.Calls), (Calls{"SetStartPoint 0", "Start", "Send B0 3 7 0"}));

    playback.sequencer().PauseMidiFile();
    playback.mixer().ToggleMute();  // off
    playback.mixer().ToggleSolo();  // on
    engine.ClearCalls();
    playback.sequencer().PlayMidiFile();
    Calls expected{"SetStartPoint 0", "Start"};
    for (int k = 0; k < 16; ++k) expected.push_back("Send B0 " + std::to_string(k) + " 7 0");
    expected.push_back("Send B0 3 7 63");
    EXPECT_EQ(WithoutHolds(engine.Calls), expected);
    // Holds are in place before the start, so the song's replayed volumes are kept back.
    for (int c = 0; c < 16; ++c) EXPECT_EQ(engine.Held[static_cast<size_t>(c)], c != 3) << c;
}

TEST_F(PlaybackTest, TickShowsBarAndTimeAndLightsOneEntryPerTick) {
    playback.sequencer().PlayMidiFile();
    // Far into the song: 2100 ms, past five entries (0, 500, ... 2000 ms).
    engine.Position = MusicAt(2100);
    std::vector<int> lit;
    for (int t = 0; t < 7; ++t) {
        const int before = st().LyricIndex;
        PlaybackUpdate u = playback.sequencer().Timer1Tick();
        if (u.Karaoke) {
            lit.push_back(before);
            EXPECT_TRUE(u.ProcessPendingEvents);
        }
    }
    EXPECT_EQ(lit, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(st().LyricIndex, 5);
    EXPECT_EQ(st().NoteIndex, 5);
    EXPECT_EQ(st().Display.BarText, "2 of 5");  // 3226 music time is in the second bar
    EXPECT_EQ(st().Display.TimeText, "00:02");
    // The cursor went to note 4, on the second page.
    EXPECT_EQ(st().Display.Cursor, (CursorLine{32.0 * 5 + 600, 32.0 * 5 + 600, 64, 32}));
    EXPECT_EQ(st().Display.ScoreLeft, -588 + 54);

    engine.Position = MusicAt(2500);
    PlaybackUpdate u = playback.sequencer().Timer1Tick();
    ASSERT_TRUE(u.Karaoke);
    EXPECT_EQ(u.Karaoke->Rows[0].Runs[0].Text, "dor");
    EXPECT_FALSE(playback.sequencer().Timer1Tick().Karaoke);  // the table is done
}

TEST_F(PlaybackTest, TickWaitsForTheEntryTimeMinusTheEnginesLead) {
    engine.Lead = 100;  // the engine reports 100 ms ahead of what is heard
    playback.sequencer().PlayMidiFile();
    playback.sequencer().Timer1Tick();  // entry 0 at 0 ms: clock -100 < 0, not yet
    EXPECT_EQ(st().LyricIndex, 0);
    engine.Position = MusicAt(100);
    EXPECT_TRUE(playback.sequencer().Timer1Tick().Karaoke);
    engine.Position = MusicAt(599);
    EXPECT_FALSE(playback.sequencer().Timer1Tick().Karaoke);
    engine.Position = MusicAt(600);
    EXPECT_TRUE(playback.sequencer().Timer1Tick().Karaoke);
}

TEST_F(PlaybackTest, DisplaysStayAtTheEndAndTheTickGoesOn) {
    playback.sequencer().PlayMidiFile();
    engine.Position = 12288;
    for (int t = 0; t < 10; ++t) playback.sequencer().Timer1Tick();
    EXPECT_EQ(st().Display.BarText, "5 of 5");
    EXPECT_EQ(st().Display.TimeText, "00:08");
    EXPECT_TRUE(st().Timer1Enabled);
}

TEST_F(PlaybackTest, PreviewSoundsTheNoteAndTimer2CutsItWhenNotPlaying) {
    playback.sequencer().PreviewNote(2);
    EXPECT_EQ(engine.Calls, (Calls{"Send 90 3 62 80"}));
    EXPECT_TRUE(st().Timer2Enabled);
    engine.ClearCalls();
    playback.sequencer().Timer2Tick();
    EXPECT_EQ(engine.Calls, (Calls{"Send B0 3 120 0"}));
    EXPECT_FALSE(st().Timer2Enabled);

    // Outside the table or on a note number 0: nothing.
    engine.ClearCalls();
    song.Notes[1].Note = 0;
    for (int cur : {-1, 1, 6}) playback.sequencer().PreviewNote(cur);
    EXPECT_TRUE(engine.Calls.empty());
    EXPECT_FALSE(st().Timer2Enabled);
}

TEST_F(PlaybackTest, Timer2DoesNothingWhilePlaying) {
    playback.sequencer().PreviewNote(0);
    playback.sequencer().PlayMidiFile();  // turns Timer2 off; the window may still deliver a tick
    EXPECT_FALSE(st().Timer2Enabled);
    playback.sequencer().PreviewNote(0);
    engine.ClearCalls();
    playback.sequencer().Timer2Tick();
    EXPECT_TRUE(engine.Calls.empty());
    EXPECT_TRUE(st().Timer2Enabled);
}

TEST_F(PlaybackTest, CloseDeviceStopsReleasesAndResets) {
    playback.sequencer().PlayMidiFile();
    playback.mixer().ToggleMute();
    engine.ClearCalls();
    PlaybackUpdate u = playback.CloseDevice();
    EXPECT_EQ(WithoutHolds(engine.Calls), (Calls{"Stop", "Release"}));
    EXPECT_FALSE(engine.Held[3]);
    EXPECT_FALSE(playback.Loaded());
    EXPECT_FALSE(st().Timer1Enabled);
    EXPECT_FALSE(st().Display.FwdRewEnabled);
    EXPECT_FALSE(st().Display.BarEnabled);
    for (const std::string& s : st().Display.Strip) EXPECT_EQ(s, "");
    ASSERT_TRUE(u.Karaoke);
    EXPECT_TRUE(u.Karaoke->Rows.empty());
    // A second close (no song) touches the engine no more.
    engine.ClearCalls();
    playback.CloseDevice();
    EXPECT_TRUE(engine.Calls.empty());
}

}  // namespace
}  // namespace lirovox::playback::test
