// The FluidSynth engine itself: position, tempo, the volume hold, the sound font lookup,
// the null output's real-time pace and the note after a stop.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "playback/fluid_engine.h"
#include "support/test_support.h"
#include "synth_songs.h"
#include "util/error.h"

namespace lirovox::playback::test {
namespace {

using Clock = std::chrono::steady_clock;

FluidEngine MakeOffline() {
    FluidEngineOptions o;
    o.output = FluidEngineOptions::Output::Offline;
    return FluidEngine(o);
}

TEST(FluidEngine, PositionIsTheStartPointUntilRenderedThenFollowsTheAudio) {
    FluidEngineOptions o;
    o.output = FluidEngineOptions::Output::Offline;
    FluidEngine engine(o);
    engine.StartAudio();
    EXPECT_EQ(engine.Output(), OutputKind::Offline);
    EXPECT_TRUE(engine.SoundfontReady());
    EXPECT_EQ(engine.LeadMs(), 0);
    engine.LoadSong(LongMelodySong(16), kDivision, 16 * 768);
    EXPECT_EQ(engine.Length(), 16 * 768);

    engine.SetStartPoint(1536);
    engine.Start();
    EXPECT_EQ(engine.PlayPosition(), 1536);  // before any block: the requested point

    std::vector<float> audio;
    engine.RenderOffline(44096, audio);  // 689 blocks = 0.99991 s = 2 quarters
    EXPECT_EQ(audio.size(), 2u * 44096);
    EXPECT_NEAR(engine.PlayPosition(), 1536 + 1536, 3);

    engine.SetTempoFactor(2.0f);
    const int32_t before = engine.PlayPosition();
    engine.RenderOffline(44096, audio);
    EXPECT_NEAR(engine.PlayPosition() - before, 3072, 4);

    // The player runs on past the end; the position stays at the length.
    engine.RenderOffline(44100 * 6, audio);
    EXPECT_EQ(engine.PlayPosition(), 16 * 768);

    // Stop keeps the position; a new start is reported at once.
    engine.Stop();
    EXPECT_EQ(engine.PlayPosition(), 16 * 768);
    engine.SetStartPoint(768);
    engine.Start();
    EXPECT_EQ(engine.PlayPosition(), 768);
    engine.RenderOffline(64, audio);
    EXPECT_NEAR(engine.PlayPosition(), 768, 2);
}

TEST(FluidEngine, HeldVolumeKeepsTheSongsOwnVolumeChangeBack) {
    // The song raises the melody's volume to 127 at its fifth quarter (2 s). Muted by a
    // volume message alone, the song would unmute itself there.
    auto render = [](bool hold) {
        FluidEngine engine = MakeOffline();
        engine.StartAudio();
        engine.LoadSong(MelodyAndBassSong(), kDivision, kMelodyAndBassLength);
        engine.HoldVolume(3, hold);
        engine.Start();
        std::vector<float> audio;
        engine.RenderOffline(64, audio);
        engine.SendMessage(3, kControlChange, kVolumeController, 0);
        engine.SendMessage(0, kControlChange, kVolumeController, 0);  // bass silenced too
        engine.RenderOffline(44100 * 4, audio);
        return audio;
    };
    const std::vector<float> held = render(true);
    const std::vector<float> plain = render(false);
    EXPECT_LT(RmsMs(held, 44100, 2100, 3900), 1e-4);
    EXPECT_GT(RmsMs(plain, 44100, 2100, 3900), 0.01);  // the volume change is real
    EXPECT_LT(RmsMs(plain, 44100, 500, 1900), 1e-4);   // and silent before it
}

TEST(FluidEngine, MissingOrWrongSoundfontIsAClearError) {
    lirovox::test::TempDir dir;
    const std::string text = dir.Write("notes.sf2", "not a sound font");
    struct Case {
        std::string requested;
        std::string mentions;
    };
    for (const Case& c : {Case{dir.File("missing.sf2"), "missing.sf2\" not found"},
                          Case{text, "is not a SoundFont 2 file"}}) {
        try {
            FindSoundfont(c.requested);
            ADD_FAILURE() << c.requested;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.mentions), std::string::npos) << e.what();
        }
        // Offline the engine cannot work without one: the start says why.
        FluidEngineOptions o;
        o.output = FluidEngineOptions::Output::Offline;
        o.soundfont = c.requested;
        FluidEngine offline(o);
        EXPECT_THROW(offline.StartAudio(), Error);

        // With an output the program goes on silently and reports the problem.
        o.output = FluidEngineOptions::Output::Null;
        FluidEngine live(o);
        live.StartAudio();
        EXPECT_FALSE(live.SoundfontReady());
        EXPECT_NE(live.SoundfontProblem().find(c.mentions), std::string::npos);
        live.LoadSong(LongMelodySong(4), kDivision, 4 * 768);
        live.Start();
        live.SendMessage(3, kNoteOn, 60, 80);
        live.SetMasterVolume(kMasterVolumeAtLoad);
        live.Stop();
        live.Release();
    }
}

TEST(FluidEngine, SoundfontComesFromTheEnvironmentFirst) {
    lirovox::test::TempDir dir;
    const char* old = std::getenv("LIROVOX_SOUNDFONT");
    const std::string saved = old ? old : "";
    ::setenv("LIROVOX_SOUNDFONT", dir.File("nowhere.sf2").c_str(), 1);
    EXPECT_THROW(FindSoundfont(""), Error);
    ::setenv("LIROVOX_SOUNDFONT", "/usr/share/sounds/sf2/TimGM6mb.sf2", 1);
    EXPECT_EQ(FindSoundfont(""), "/usr/share/sounds/sf2/TimGM6mb.sf2");
    if (old) {
        ::setenv("LIROVOX_SOUNDFONT", saved.c_str(), 1);
    } else {
        ::unsetenv("LIROVOX_SOUNDFONT");
    }
    EXPECT_EQ(FindSoundfont("/usr/share/sounds/sf2/TimGM6mb.sf2"), "/usr/share/sounds/sf2/TimGM6mb.sf2");
}

TEST(FluidEngine, RejectsWhatIsNotASong) {
    FluidEngine engine = MakeOffline();
    engine.StartAudio();
    EXPECT_THROW(engine.LoadSong("RIFF....", kDivision, 100), Error);
    EXPECT_THROW(engine.LoadSong(LongMelodySong(2), 0, 100), Error);
    EXPECT_EQ(engine.Length(), 0);
    engine.Start();  // nothing loaded: nothing happens
    EXPECT_EQ(engine.PlayPosition(), 0);
}

TEST(FluidEngineNullOutput, AdvancesInRealTime) {
    FluidEngineOptions o;
    o.output = FluidEngineOptions::Output::Null;
    FluidEngine engine(o);
    engine.StartAudio();
    engine.WaitForSoundfont();
    EXPECT_EQ(engine.Output(), OutputKind::Null);
    EXPECT_EQ(engine.LeadMs(), 0);
    engine.LoadSong(LongMelodySong(40), kDivision, 40 * 768);
    engine.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    const auto t0 = Clock::now();
    const int32_t p0 = engine.PlayPosition();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const int32_t p1 = engine.PlayPosition();
    const double realMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    const double songMs = (p1 - p0) * 500.0 / 768.0;
    EXPECT_NEAR(songMs, realMs, 20.0);
    engine.Stop();
}

TEST(FluidEngine, NoteRightAfterAStopIsNotCut) {
    // The player silences everything on the first block it renders after a stop.
    FluidEngine engine = MakeOffline();
    engine.StartAudio();
    engine.LoadSong(LongMelodySong(8), kDivision, 8 * 768);
    engine.Start();
    std::vector<float> audio;
    engine.RenderOffline(64 * 100, audio);
    engine.Stop();
    engine.SendMessage(3, kNoteOn, 72, kPreviewVelocity);
    engine.RenderOffline(64 * 20, audio);
    EXPECT_GE(engine.ActiveVoiceCount(), 1);
    EXPECT_GT(Rms(audio, audio.size() / 2 - 64 * 10, audio.size() / 2), 0.01);
    engine.SendMessage(3, kControlChange, kAllSoundOffController, 0);
    engine.RenderOffline(64 * 4, audio);
    EXPECT_EQ(engine.ActiveVoiceCount(), 0);
}

}  // namespace
}  // namespace lirovox::playback::test
