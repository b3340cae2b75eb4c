// The `layout` and `score` commands, run as the user runs them.

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace lirovox::test {
namespace {

const std::string kDemo = SourcePath("examples/fra_martino.mid");

// A small syllable list: "Fra " "Mar" "ti" "no " then a line mark, one per line.
std::string WriteList(const TempDir& dir) {
    return dir.Write("list.txt", "Fra \r\nMar\r\nti\r\nno \r\n---\r\ncam\r\npa\r\n");
}

TEST(LayoutCommand, PrintsTheLayoutObject) {
    RunResult r = RunLirovox({"layout", kDemo, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"width\":1120,\"row2_first_index\":32,\"row2_first_note\":32,", 0), 0u)
        << r.out.substr(0, 200);
    EXPECT_NE(r.out.find("\"note_pos\":[{\"time_ms\":2400,\"x\":32,\"y\":64,\"page\":0}"),
              std::string::npos);
    EXPECT_NE(r.out.find("\"heading\":[{\"text\":\"&\",\"x\":10,\"y\":12},{\"text\":\"4\",\"x\":20,\"y\":0}"),
              std::string::npos);
    EXPECT_NE(r.out.find("\"karaoke_lines\":[]}"), std::string::npos);
    EXPECT_EQ(r.out.find("\"font\":\"Arial\""), std::string::npos);  // no words yet
}

TEST(LayoutCommand, WithSyllablesShowsTheWords) {
    TempDir dir;
    RunResult r = RunLirovox({"layout", kDemo, "--syllables", WriteList(dir), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("{\"kind\":\"text\",\"font\":\"Arial\",\"size\":8,\"x\":32,\"y\":90,\"text\":\"Fra \"}"),
              std::string::npos)
        << r.out.substr(0, 400);
    EXPECT_NE(r.out.find("\"karaoke_lines\":[\"Fra Martino \",\"campa\"]"), std::string::npos)
        << r.out.substr(r.out.size() > 300 ? r.out.size() - 300 : 0);
}

TEST(LayoutCommand, BadInputAndUsage) {
    TempDir dir;
    RunResult missing = RunLirovox({"layout", dir.File("none.mid"), "--json"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("none.mid"), std::string::npos) << missing.err;
    EXPECT_EQ(RunLirovox({"layout", kDemo}).exitCode, 2);  // --json is required
    EXPECT_EQ(RunLirovox({"layout", "--json"}).exitCode, 2);
    EXPECT_EQ(RunLirovox({"layout", kDemo, "--json", "--bogus"}).exitCode, 2);
    RunResult badList = RunLirovox({"layout", kDemo, "--syllables", dir.File("no.txt"), "--json"});
    EXPECT_EQ(badList.exitCode, 1);
    EXPECT_NE(badList.err.find("no.txt"), std::string::npos) << badList.err;
}

TEST(ScoreCommand, WritesAPngOfAPageOrTheWholeScore) {
    TempDir dir;
    RunResult r = RunLirovox({"score", kDemo, "-o", dir.File("page.png"), "--page", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    std::string png = ReadFileBytes(dir.File("page.png"));
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    auto be32 = [&](size_t at) {
        return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
               (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
    };
    EXPECT_EQ(be32(16), 54u + 588u);  // heading and one page
    EXPECT_EQ(be32(20), 224u);

    r = RunLirovox({"score", kDemo, "--syllables", WriteList(dir), "-o", dir.File("all.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    png = ReadFileBytes(dir.File("all.png"));
    ASSERT_GT(png.size(), 24u);
    EXPECT_GT(be32(16), 54u + 588u);  // the whole width
}

TEST(ScoreCommand, Usage) {
    TempDir dir;
    EXPECT_EQ(RunLirovox({"score", kDemo}).exitCode, 2);  // no -o
    EXPECT_EQ(RunLirovox({"score", kDemo, "-o", dir.File("x.png"), "--page", "-1"}).exitCode, 2);
    EXPECT_EQ(RunLirovox({"score", kDemo, "-o", dir.File("x.png"), "--page", "two"}).exitCode, 2);
    RunResult r = RunLirovox({"score", dir.File("none.mid"), "-o", dir.File("x.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("none.mid"), std::string::npos);
}

}  // namespace
}  // namespace lirovox::test
