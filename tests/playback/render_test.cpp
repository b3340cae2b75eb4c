// Rendering whole songs offline through the engine, the sequencer and the mixer, and the
// `lirovox render` command.

#include <gtest/gtest.h>

#include <cstring>

#include "playback/offline_render.h"
#include "smf/reader.h"
#include "support/test_support.h"
#include "synth_songs.h"
#include "util/error.h"

namespace lirovox::playback::test {
namespace {

Song DemoSong() { return smf::ReadSong(lirovox::test::SourcePath("examples/fra_martino.mid")); }

Song MelodyAndBass() { return smf::ParseSong("melody_and_bass.mid", MelodyAndBassSong()); }

double SongSeconds(const Song& song, int32_t from = 0) {
    return (song.LengthMusicTime - from) * song.TempoUs / 768e6;
}

TEST(RenderSong, DemoSongRendersNonSilentWithTheReadersLength) {
    Song song = DemoSong();
    std::vector<double> progress;
    RenderOptions options;
    options.progress = [&progress](double f) { progress.push_back(f); };
    RenderedAudio audio = RenderSong(song, options);
    EXPECT_NEAR(audio.Seconds(), SongSeconds(song), 0.003);
    EXPECT_GT(Rms(audio.Samples, 0, audio.Frames()), 0.01);
    EXPECT_EQ(audio.EndMusicTime, song.LengthMusicTime);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 1.0);
    for (size_t i = 1; i < progress.size(); ++i) EXPECT_GE(progress[i], progress[i - 1]);
}

TEST(RenderSong, TempoTwoHundredHalvesTheDuration) {
    Song normalSong = DemoSong();
    Song fastSong = DemoSong();
    RenderOptions fast;
    fast.tempoPercent = 200;
    const double normal = RenderSong(normalSong, {}).Seconds();
    const double doubled = RenderSong(fastSong, fast).Seconds();
    EXPECT_NEAR(doubled, normal / 2, 0.003);
}

TEST(RenderSong, MuteTakesTheMelodyOutAlsoAfterTheSongsOwnVolumeChange) {
    Song a = MelodyAndBass(), b = MelodyAndBass();
    RenderOptions muted;
    muted.mute = true;
    const RenderedAudio normal = RenderSong(a, {});
    const RenderedAudio quiet = RenderSong(b, muted);
    ASSERT_EQ(normal.Frames(), quiet.Frames());
    // Melody with bass in 0..4 s (the song raises the melody's volume at 2 s); bass alone
    // in 4..6 s.
    for (auto [from, to] : {std::pair{100.0, 1900.0}, std::pair{2100.0, 3900.0}}) {
        const double withMelody = RmsMs(normal.Samples, 44100, from, to);
        const double without = RmsMs(quiet.Samples, 44100, from, to);
        EXPECT_LT(without, 0.5 * withMelody) << from;
        EXPECT_GT(without, 0.0005) << from;  // the bass still plays
    }
    EXPECT_NEAR(RmsMs(quiet.Samples, 44100, 4500, 5900), RmsMs(normal.Samples, 44100, 4500, 5900), 1e-4);
}

TEST(RenderSong, SoloLeavesOnlyTheMelody) {
    Song a = MelodyAndBass();
    RenderOptions solo;
    solo.solo = true;
    solo.mute = true;  // refused while the solo is on
    const RenderedAudio audio = RenderSong(a, solo);
    EXPECT_GT(RmsMs(audio.Samples, 44100, 100, 3900), 0.01);
    EXPECT_LT(RmsMs(audio.Samples, 44100, 5000, 5900), 1e-4);  // the bass alone: silenced
}

TEST(RenderSong, InstrumentChoiceReplacesTheFilesProgram) {
    Song a = MelodyAndBass(), b = MelodyAndBass(), c = MelodyAndBass();
    RenderOptions same, other;
    same.program = 73;  // the file's own program: nothing changes
    other.program = 0;
    const RenderedAudio plain = RenderSong(a, {});
    const RenderedAudio sameAudio = RenderSong(b, same);
    const RenderedAudio otherAudio = RenderSong(c, other);
    ASSERT_EQ(plain.Samples.size(), sameAudio.Samples.size());
    EXPECT_EQ(plain.Samples, sameAudio.Samples);
    std::vector<float> diff(plain.Samples.size());
    for (size_t i = 0; i < diff.size(); ++i) diff[i] = plain.Samples[i] - otherAudio.Samples[i];
    EXPECT_GT(RmsMs(diff, 44100, 600, 3900), 0.01);
}

TEST(RenderSong, StartsAtTheGivenBarAndRefusesOnePastTheEnd) {
    Song a = MelodyAndBass(), b = MelodyAndBass();
    RenderOptions fromTwo;
    fromTwo.fromBar = 2;
    const RenderedAudio audio = RenderSong(a, fromTwo);
    EXPECT_EQ(audio.StartMusicTime, 2 * 3072);
    EXPECT_NEAR(audio.Seconds(), SongSeconds(a, 2 * 3072), 0.003);
    RenderOptions past;
    past.fromBar = 3;  // 9216 = the length: nothing left to render
    EXPECT_THROW(RenderSong(b, past), Error);
}

TEST(EncodeWav, WritesA16BitStereoPcmFile) {
    const std::string wav = EncodeWav({0.0f, 1.0f, -1.0f, 2.0f}, 44100);
    ASSERT_EQ(wav.size(), 44u + 8u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(wav.substr(36, 4), "data");
    auto le = [&wav](size_t at, int bytes) {
        uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(wav[at + static_cast<size_t>(i)]);
        return v;
    };
    EXPECT_EQ(le(4, 4), 44u);          // RIFF size
    EXPECT_EQ(le(22, 2), 2u);          // channels
    EXPECT_EQ(le(24, 4), 44100u);      // rate
    EXPECT_EQ(le(34, 2), 16u);         // bits
    EXPECT_EQ(le(40, 4), 8u);          // data bytes
    EXPECT_EQ(le(46, 2), 32767u);      // 1.0
    EXPECT_EQ(le(48, 2), 0x8001u);     // -1.0 = -32767
    EXPECT_EQ(le(50, 2), 32767u);      // 2.0 clipped
}

TEST(RenderCommand, WritesAWavFileOfTheSong) {
    lirovox::test::TempDir dir;
    const std::string song = dir.Write("song.mid", MelodyAndBassSong());
    const std::string out = dir.File("out.wav");
    auto r = lirovox::test::RunLirovox({"render", song, "-o", out, "--tempo", "200", "--solo"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");  // no progress bar when stderr is not a terminal
    const std::string wav = lirovox::test::ReadFileBytes(out);
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    // 6 s at double tempo: 3 s of 4-byte frames.
    EXPECT_NEAR(static_cast<double>(wav.size() - 44) / 4 / 44100, 3.0, 0.003);
}

TEST(RenderCommand, ReportsBadInputAndWrongUsage) {
    lirovox::test::TempDir dir;
    const std::string song = dir.Write("song.mid", MelodyAndBassSong());
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string mentions;
    };
    const Case cases[] = {
        {{"render", dir.File("none.mid"), "-o", dir.File("a.wav")}, 1, "none.mid"},
        {{"render", song, "-o", dir.File("a.wav"), "--soundfont", dir.File("x.sf2")}, 1, "x.sf2"},
        {{"render", song, "-o", dir.File("a.wav"), "--from-bar", "7"}, 1, "bar 7"},
        {{"render", song}, 2, "-o"},
        {{"render", song, "-o", dir.File("a.wav"), "--tempo", "500"}, 2, "--tempo"},
        {{"render", song, "-o", dir.File("a.wav"), "--program", "128"}, 2, "--program"},
        {{"render", song, "-o", dir.File("a.wav"), "--loud"}, 2, "--loud"},
    };
    for (const Case& c : cases) {
        auto r = lirovox::test::RunLirovox(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        EXPECT_EQ(r.err.rfind("lirovox: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
    }
    EXPECT_FALSE(lirovox::test::ReadFileBytes(dir.File("a.wav")).size() > 0);
}

}  // namespace
}  // namespace lirovox::playback::test
