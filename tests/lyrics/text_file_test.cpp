#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lyrics/text_file.h"

namespace lirovox::lyrics {
namespace {

struct DecodeCase {
    std::string name;
    std::string bytes;
    std::string latin1;
};

TEST(DecodeLyricBytes, EncodingRules) {
    const std::vector<DecodeCase> cases = {
        {"ASCII as it stands", "ciao bella\r\n", "ciao bella\r\n"},
        {"Latin-1 file as it stands", "citt\xE0 perch\xE9", "citt\xE0 perch\xE9"},
        {"UTF-8 accents to Latin-1", "citt\xC3\xA0 perch\xC3\xA9 \xC3\x80", "citt\xE0 perch\xE9 \xC0"},
        {"leading byte-order mark dropped", "\xEF\xBB\xBF" "ciao", "ciao"},
        {"byte-order mark alone", "\xEF\xBB\xBF", ""},
        {"byte-order mark later is a character outside Latin-1", "a\xEF\xBB\xBF" "b", "a?b"},
        {"typographic quotes", "\xE2\x80\x98l\xE2\x80\x99" "amore\xE2\x80\x9C\xE2\x80\x9D", "'l'amore\"\""},
        {"ellipsis and dashes", "s\xC3\xAC\xE2\x80\xA6 a\xE2\x80\x93" "b\xE2\x80\x94" "c", "s\xEC... a-b-c"},
        {"other characters become one ? each", "\xE2\x82\xAC \xF0\x9F\x8E\xB5 \xC5\x93", "? ? ?"},
        {"no-break space and C1 stay Latin-1", "\xC2\xA0\xC2\x85", "\xA0\x85"},
        // Not valid UTF-8: the whole file is Latin-1, even the parts that look like UTF-8.
        {"one stray byte keeps the whole file", "citt\xC3\xA0 citt\xE0", "citt\xC3\xA0 citt\xE0"},
        {"overlong form", "a\xC0\xAF", "a\xC0\xAF"},
        {"surrogate", "\xED\xA0\x80", "\xED\xA0\x80"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "\xF4\x90\x80\x80"},
        {"truncated at the end", "ciao\xC3", "ciao\xC3"},
        {"missing continuation", "\xE2\x80" "a", "\xE2\x80" "a"},
        {"overlong three-byte form", "\xE0\x80\xAF", "\xE0\x80\xAF"},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(DecodeLyricBytes(c.bytes), c.latin1) << c.name;
    }
}

TEST(IsValidUtf8, Boundaries) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));   // U+10FFFF
    EXPECT_TRUE(IsValidUtf8("\xED\x9F\xBF"));       // U+D7FF
    EXPECT_TRUE(IsValidUtf8("\xEE\x80\x80"));       // U+E000
    EXPECT_FALSE(IsValidUtf8("\xC1\xBF"));
    EXPECT_FALSE(IsValidUtf8("\xF0\x8F\xBF\xBF"));  // overlong four-byte
    EXPECT_FALSE(IsValidUtf8("\xF5\x80\x80\x80"));
    EXPECT_FALSE(IsValidUtf8("\x80"));
}

TEST(SplitFileLines, CrLfOrLfAndLoneCrIsOrdinary) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitFileLines(""), Lines{});
    EXPECT_EQ(SplitFileLines("a"), Lines{"a"});
    EXPECT_EQ(SplitFileLines("a\r\nb\nc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(SplitFileLines("a\r\n"), Lines{"a"});
    EXPECT_EQ(SplitFileLines("a\n\n"), (Lines{"a", ""}));
    EXPECT_EQ(SplitFileLines("\n"), Lines{""});
    EXPECT_EQ(SplitFileLines("a\rb\r"), Lines{"a\rb\r"});
    EXPECT_EQ(SplitFileLines("a\r\r\nb"), (Lines{"a\r", "b"}));
}

TEST(TrimBlanks, OnlyTheSpaceCharacter) {
    EXPECT_EQ(TrimBlanks("  ciao  bella  "), "ciao  bella");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks("\tciao\t"), "\tciao\t");
    EXPECT_EQ(TrimBlanks("\xA0" "ciao \xA0"), "\xA0" "ciao \xA0");
}

TEST(NotepadFromFileBytes, LinesFollowedByCrLf) {
    EXPECT_EQ(NotepadFromFileBytes("", true), "");
    EXPECT_EQ(NotepadFromFileBytes(" a \n\n b", true), "a\r\n\r\nb\r\n");
    EXPECT_EQ(NotepadFromFileBytes(" a \n\n b", false), " a \r\n\r\n b\r\n");
    EXPECT_EQ(NotepadFromFileBytes("x\ry \r\n", true), "x\ry\r\n");
}

TEST(SplitAtCrLf, PiecesAsTheImportSeesThem) {
    using Pieces = std::vector<std::string_view>;
    EXPECT_EQ(SplitAtCrLf(""), Pieces{});
    EXPECT_EQ(SplitAtCrLf("a"), Pieces{"a"});
    EXPECT_EQ(SplitAtCrLf("a\r\n"), (Pieces{"a", ""}));
    EXPECT_EQ(SplitAtCrLf("\r\n\r\n"), (Pieces{"", "", ""}));
    EXPECT_EQ(SplitAtCrLf("a\nb\r\rc"), Pieces{"a\nb\r\rc"});
}

TEST(SplitAtBlanks, SingleBlanks) {
    using Words = std::vector<std::string_view>;
    EXPECT_EQ(SplitAtBlanks(""), Words{});
    EXPECT_EQ(SplitAtBlanks("a b"), (Words{"a", "b"}));
    EXPECT_EQ(SplitAtBlanks("a  b"), (Words{"a", "", "b"}));
    EXPECT_EQ(SplitAtBlanks(" "), (Words{"", ""}));
    EXPECT_EQ(SplitAtBlanks("a\tb"), Words{"a\tb"});
}

}  // namespace
}  // namespace lirovox::lyrics
