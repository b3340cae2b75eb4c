#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace lirovox {
namespace {

using test::RunLirovox;

// Four melody notes, one per quarter, in the second track of a format-1 file.
std::string FourNoteSong() {
    test::TrackBytes conductor, melody;
    conductor.Tempo(0, 500000).EndOfTrack();
    melody.NoteOn(0, 3, 60, 100).NoteOn(96, 3, 62, 100).NoteOn(96, 3, 64, 100).NoteOn(96, 3, 65, 100)
        .EndOfTrack(96);
    return test::MakeSmf(1, 96, {conductor, melody});
}

// The lines of a mido dump that hold lyrics, without the track numbers.
std::vector<std::string> LyricLines(const std::string& dump) {
    std::vector<std::string> out;
    size_t p = 0;
    while (p < dump.size()) {
        size_t e = dump.find('\n', p);
        if (e == std::string::npos) e = dump.size();
        std::string line = dump.substr(p, e - p);
        if (line.find(" lyrics") != std::string::npos) out.push_back(line);
        p = e + 1;
    }
    return out;
}

TEST(KaraokeCli, LyricsAreSplitBoundAndExported) {
    test::TempDir dir;
    const std::string song = dir.Write("song.mid", FourNoteSong());
    const std::string text = dir.Write("ciao.txt", "ciao bella\r\n");
    test::RunResult r = RunLirovox({"karaoke", song, "--lyrics", text, "-o", dir.File("out")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, dir.File("out.mid") + "\n");
    test::RunResult dump = test::MidoDump(dir.File("out.mid"));
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_NE(dump.out.find("tracks 3\n"), std::string::npos) << dump.out;
    // cia, o_, bel, la_ on the four notes; the two line marks follow the last syllable.
    EXPECT_EQ(LyricLines(dump.out), (std::vector<std::string>{
                                        "0 lyrics 63 69 61", "96 lyrics 6f 20", "192 lyrics 62 65 6c",
                                        "288 lyrics 6c 61 20", "288 lyrics 0d", "288 lyrics 0d"}));
    EXPECT_EQ(test::ReadFileBytes(song), FourNoteSong());
}

TEST(KaraokeCli, OtherRulesKeepShortWordsWhole) {
    test::TempDir dir;
    const std::string song = dir.Write("song.mid", FourNoteSong());
    const std::string text = dir.Write("hello.txt", "hello world\n");
    test::RunResult r =
        RunLirovox({"karaoke", song, "--lyrics", text, "--rules", "other", "-o", dir.File("out.mid")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    test::RunResult dump = test::MidoDump(dir.File("out.mid"));
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    std::vector<std::string> lines = LyricLines(dump.out);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("0 lyrics 68 65 6c 6c 6f", 0), 0u) << lines[0];   // "hello" whole
    EXPECT_EQ(lines[1].rfind("96 lyrics 77 6f 72 6c 64", 0), 0u) << lines[1];  // "world" whole
}

TEST(KaraokeCli, SyllableListIsBoundAsReady) {
    test::TempDir dir;
    test::TrackBytes t;
    t.NoteOn(0, 3, 60, 100).NoteOn(96, 3, 62, 100).NoteOn(96, 3, 64, 100).EndOfTrack(96);
    const std::string song = dir.Write("song.mid", test::MakeSmf(0, 96, {t}));
    const std::string list = dir.Write("list.txt", "do \r\nre \r\n---\r\nmi \r\n");
    test::RunResult r = RunLirovox({"karaoke", song, "--syllables", list, "-o", dir.File("out.mid")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    test::RunResult dump = test::MidoDump(dir.File("out.mid"));
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_NE(dump.out.find("type 0 ticks 96 tracks 1\n"), std::string::npos) << dump.out;
    EXPECT_EQ(LyricLines(dump.out), (std::vector<std::string>{"0 lyrics 64 6f 20", "96 lyrics 72 65 20",
                                                               "96 lyrics 0d", "192 lyrics 6d 69 20"}));
}

TEST(KaraokeCli, ErrorsLeaveNoOutputFile) {
    test::TempDir dir;
    const std::string song = dir.Write("song.mid", FourNoteSong());
    const std::string text = dir.Write("ciao.txt", "ciao\r\n");
    const std::string emptyList = dir.Write("empty.txt", "");
    const std::string blankList = dir.Write("blank.txt", "\r\n---\r\n");
    const std::string out = dir.File("out.mid");
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"empty list", {"karaoke", song, "--syllables", emptyList, "-o", out}, 1, "empty.txt"},
        {"list without syllables", {"karaoke", song, "--syllables", blankList, "-o", out}, 1, "blank.txt"},
        {"empty lyrics", {"karaoke", song, "--lyrics", emptyList, "-o", out}, 1, "empty.txt"},
        {"missing song", {"karaoke", dir.File("none.mid"), "--lyrics", text, "-o", out}, 1, "none.mid"},
        {"not a song", {"karaoke", text, "--lyrics", text, "-o", out}, 1, "ciao.txt"},
        {"missing lyrics", {"karaoke", song, "--lyrics", dir.File("none.txt"), "-o", out}, 1, "none.txt"},
        {"same file", {"karaoke", song, "--lyrics", text, "-o", song}, 1,
         "Same MIDI file, please choose another..."},
        {"same file without .mid", {"karaoke", song, "--lyrics", text, "-o", dir.File("song")}, 1,
         "Same MIDI file, please choose another..."},
        {"no output", {"karaoke", song, "--lyrics", text}, 2, "-o"},
        {"both inputs", {"karaoke", song, "--lyrics", text, "--syllables", text, "-o", out}, 2, "either"},
        {"no input", {"karaoke", song, "-o", out}, 2, "either"},
        {"rules without lyrics", {"karaoke", song, "--syllables", text, "--rules", "other", "-o", out}, 2,
         "--rules"},
        {"bad rules", {"karaoke", song, "--lyrics", text, "--rules", "french", "-o", out}, 2, "french"},
        {"unknown option", {"karaoke", song, "--lyrics", text, "-x", "-o", out}, 2, "-x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::RunResult r = RunLirovox(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        EXPECT_EQ(r.err.rfind("lirovox: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    EXPECT_EQ(test::ReadFileBytes(song), FourNoteSong());
    // Nothing but the inputs is left in the folder (no temporary file either).
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 4);  // song.mid and the three texts
}

}  // namespace
}  // namespace lirovox
