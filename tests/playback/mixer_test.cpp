// Mute, solo, instrument choice and the instrument-name lists.

#include <gtest/gtest.h>

#include "playback/mixer.h"
#include "playback_fixture.h"

namespace lirovox::playback::test {
namespace {

using Calls = std::vector<std::string>;

TEST_F(PlaybackTest, MuteTogglesTheMelodyVolumeAndHoldsIt) {
    playback.mixer().ToggleMute();
    EXPECT_EQ(Sends(engine.Calls), (Calls{"Send B0 3 7 0"}));
    EXPECT_TRUE(st().Muted[3]);
    EXPECT_EQ(st().Display.Strip[7], "Mute");
    EXPECT_TRUE(engine.Held[3]);

    engine.ClearCalls();
    playback.mixer().ToggleMute();
    EXPECT_EQ(Sends(engine.Calls), (Calls{"Send B0 3 7 63"}));  // the file's volume
    EXPECT_FALSE(st().Muted[3]);
    EXPECT_EQ(st().Display.Strip[7], "");
    EXPECT_FALSE(engine.Held[3]);
}

TEST_F(PlaybackTest, MuteIsRefusedDuringASolo) {
    playback.mixer().ToggleSolo();
    engine.ClearCalls();
    playback.mixer().ToggleMute();
    EXPECT_TRUE(engine.Calls.empty());
    EXPECT_FALSE(st().Muted[3]);
    EXPECT_EQ(st().Display.Strip[7], "");
}

TEST_F(PlaybackTest, SoloSilencesTheOthersAndOffRestoresEveryChannel) {
    playback.mixer().ToggleMute();  // a solo clears the mute
    engine.ClearCalls();
    playback.mixer().ToggleSolo();
    Calls expected;
    for (int c = 0; c < 16; ++c) expected.push_back("Send B0 " + std::to_string(c) + " 7 0");
    expected.push_back("Send B0 3 7 63");
    EXPECT_EQ(Sends(engine.Calls), expected);
    EXPECT_TRUE(st().Soloed[3]);
    EXPECT_FALSE(st().Muted[3]);
    EXPECT_EQ(st().Display.Strip[6], "Solo");
    EXPECT_EQ(st().Display.Strip[7], "");
    for (int c = 0; c < 16; ++c) EXPECT_EQ(engine.Held[static_cast<size_t>(c)], c != 3) << c;

    engine.ClearCalls();
    playback.mixer().ToggleSolo();
    expected.clear();
    for (int c = 0; c < 16; ++c) expected.push_back("Send B0 " + std::to_string(c) + " 7 " + std::to_string(60 + c));
    EXPECT_EQ(Sends(engine.Calls), expected);
    EXPECT_EQ(st().Display.Strip[6], "");
    for (int c = 0; c < 16; ++c) {
        EXPECT_FALSE(st().Soloed[static_cast<size_t>(c)]);
        EXPECT_FALSE(engine.Held[static_cast<size_t>(c)]) << c;
    }
}

TEST_F(PlaybackTest, InstrumentChoiceSendsAProgramChangeAtOnceEvenWhenStopped) {
    playback.mixer().ChooseInstrument(40);
    EXPECT_EQ(engine.Calls, (Calls{"Send C0 3 40 0"}));
    EXPECT_EQ(st().Display.Strip[1], "Violin");
    EXPECT_EQ(song.Channels[3].Program, 73);  // the file's program is kept
    engine.ClearCalls();
    playback.mixer().ChooseInstrument(128);  // no such entry
    EXPECT_TRUE(engine.Calls.empty());
}

TEST_F(PlaybackTest, InstrumentListShowsOnlyWithASongAndHidesAlways) {
    playback.mixer().ShowInstrumentList();
    EXPECT_TRUE(st().Display.InstrumentListVisible);
    playback.CloseDevice();
    playback.mixer().HideInstrumentList();
    EXPECT_FALSE(st().Display.InstrumentListVisible);
    playback.mixer().ShowInstrumentList();
    EXPECT_FALSE(st().Display.InstrumentListVisible);
}

TEST(LoadPatches, FillsBothListsInProgramOrder) {
    PatchLists lists = LoadPatches();
    ASSERT_EQ(lists.List3.size(), 128u);
    ASSERT_EQ(lists.List4.size(), 128u);
    struct Case {
        int program;
        const char* name;
    };
    for (const Case& c : {Case{0, "Acoustic Grand"}, Case{3, "Honky-Tonk"}, Case{24, "Nylon String Guitar"},
                          Case{48, "String Ensemble 1"}, Case{50, "SynthStrings 1"}, Case{77, "Skakuhachi"},
                          Case{87, "Lead 8 (bass+lead)"}, Case{104, "Sitar"}, Case{127, "Gunshot"}}) {
        EXPECT_EQ(lists.List3[static_cast<size_t>(c.program)], c.name) << c.program;
        EXPECT_EQ(InstrumentName(c.program), c.name);
    }
    for (const std::string& name : lists.List3) EXPECT_FALSE(name.empty());
    int kits = 0;
    for (const std::string& name : lists.List4) kits += name.empty() ? 0 : 1;
    EXPECT_EQ(kits, 10);
    for (const Case& c : {Case{0, "Standard Drum"}, Case{25, "TR-808 Drum"}, Case{56, "SFX"},
                          Case{127, "CM-64/32L"}}) {
        EXPECT_EQ(lists.List4[static_cast<size_t>(c.program)], c.name);
    }
    EXPECT_EQ(InstrumentName(-1), "");
}

}  // namespace
}  // namespace lirovox::playback::test
