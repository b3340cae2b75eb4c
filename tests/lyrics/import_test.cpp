#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lyrics/import.h"
#include "support/test_support.h"
#include "util/error.h"

namespace lirovox::lyrics {
namespace {

using Entries = std::vector<std::string>;

struct ImportCase {
    std::string name;
    std::string notepad;
    Entries list;
    int lineCount;
    int hyphenCount;
};

TEST(ImportTXT, ListAndHeaderFigures) {
    const std::vector<ImportCase> cases = {
        {"final line end gives an empty piece", "ciao bella\r\n",
         {"cia", "o ", "bel", "la ", "---", "---"}, 2, 3},
        {"no final line end", "ciao bella", {"cia", "o ", "bel", "la ", "---"}, 1, 3},
        {"short words and a separator", "e, di", {"e ", "di ", "---"}, 1, 1},
        {"cut at the first hyphen", "parola-chiave", {"pa", "ro", "la ", "---"}, 1, 2},
        {"leading separator gives an empty word", "...ecco", {" ", "---"}, 1, 0},
        {"two blanks give an empty word", "ciao  bella",
         {"cia", "o ", " ", "bel", "la ", "---"}, 1, 4},
        {"empty line is a line", "casa\r\n\r\nnotte",
         {"ca", "sa ", "---", "---", "not", "te ", "---"}, 3, 3},
        {"punctuation that is no separator stays", "amore! l'amore",
         {"a", "mo", "re! ", "l'a", "mo", "re ", "---"}, 1, 5},
        {"each separator cuts", "tu:x a;b c*d e_f gi.a",
         {"tu ", "a ", "c ", "e ", "gi ", "---"}, 1, 4},
        {"a lone CR and a lone LF are word characters", "ab\rc\nd",
         {"ab", "\rc\nd ", "---"}, 1, 1},
        {"empty text gives no piece", "", {}, 0, -1},
    };
    for (const ImportCase& c : cases) {
        SyllableImport r = ImportTXT(c.notepad);
        EXPECT_EQ(r.List1, c.list) << c.name;
        EXPECT_EQ(r.LineCount, c.lineCount) << c.name;
        EXPECT_EQ(r.HyphenCount, c.hyphenCount) << c.name;
        EXPECT_FALSE(r.OtherLang) << c.name;
    }
}

TEST(OtherLanguage, ListAndHeaderFigures) {
    const std::vector<ImportCase> cases = {
        {"long words split, short stay whole", "beautiful house\r\nwonderful, Christmas\r\n",
         {"be", "a", "uti", "ful", "house ", "---", "won", "der", "ful", "Christmas", "---", "---"},
         3, 8},
        {"accents stay", "citt\xE0 societ\xE0", {"citt\xE0 ", "societ\xE0 ", "---"}, 1, 1},
        {"empty text", "", {}, 0, -1},
    };
    for (const ImportCase& c : cases) {
        SyllableImport r = OtherLanguage(c.notepad);
        EXPECT_EQ(r.List1, c.list) << c.name;
        EXPECT_EQ(r.LineCount, c.lineCount) << c.name;
        EXPECT_EQ(r.HyphenCount, c.hyphenCount) << c.name;
        EXPECT_TRUE(r.OtherLang) << c.name;
    }
}

TEST(ImportTXT, OtherLangHandsTheJobToOtherLanguage) {
    const std::string text = "wonderful quello\r\n";
    SyllableImport other = ImportTXT(text, true);
    EXPECT_EQ(other.List1, OtherLanguage(text).List1);
    EXPECT_TRUE(other.OtherLang);
    EXPECT_NE(other.List1, ImportTXT(text, false).List1);
}

TEST(ReadReadyList, OneEntryPerLineUntrimmed) {
    const std::vector<ImportCase> cases = {
        {"example", "ciao \r\n---", {"ciao ", "---", ""}, 1, 1},
        {"final line end makes no second empty entry", "ciao \r\n---\r\n",
         {"ciao ", "---", ""}, 1, 1},
        {"LF line ends", "a\nmo\nre \n---\n", {"a", "mo", "re ", "---", ""}, 1, 3},
        {"blanks kept", "  la  \r\n\r\n", {"  la  ", "", ""}, 0, 2},
        {"a mark anywhere counts", "x---y\r\n--\r\n---\r\n",
         {"x---y", "--", "---", ""}, 2, 1},
        {"empty file", "", {}, 0, -1},
    };
    for (const ImportCase& c : cases) {
        SyllableImport r = ReadReadyList(c.notepad);
        EXPECT_EQ(r.List1, c.list) << c.name;
        EXPECT_EQ(r.LineCount, c.lineCount) << c.name;
        EXPECT_EQ(r.HyphenCount, c.hyphenCount) << c.name;
        EXPECT_FALSE(r.OtherLang) << c.name;
    }
}

TEST(ListToText, EveryEntryEndsWithCrLf) {
    EXPECT_EQ(ListToText({}), "");
    EXPECT_EQ(ListToText({"a", "mo", "re ", "---", ""}), "a\r\nmo\r\nre \r\n---\r\n\r\n");
}

// Copying the list into the notepad, saving it and reading it back with "Ready" gives
// the same list plus one last empty entry.
TEST(ListToText, ReadyReadsTheWrittenListBack) {
    SyllableImport split = ImportTXT("ciao bella\r\namore mio\r\n");
    test::TempDir dir;
    std::string path = dir.Write("list.txt", ListToText(split.List1));
    SyllableImport back = ReadReadyList(ReadSyllableListText(path));
    Entries expected = split.List1;
    expected.push_back("");
    EXPECT_EQ(back.List1, expected);
    EXPECT_EQ(back.LineCount, split.LineCount);
    EXPECT_EQ(back.HyphenCount, split.HyphenCount + 1);
}

TEST(ReadLyricText, TrimsLinesAndConvertsUtf8) {
    test::TempDir dir;
    std::string path =
        dir.Write("l.txt", "\xEF\xBB\xBF  Citt\xC3\xA0 \xE2\x80\x9C" "bella\xE2\x80\x9D  \n\n  e poi\xE2\x80\xA6\r\n");
    EXPECT_EQ(ReadLyricText(path), "Citt\xE0 \"bella\"\r\n\r\ne poi...\r\n");
    EXPECT_EQ(ReadSyllableListText(path), "  Citt\xE0 \"bella\"  \r\n\r\n  e poi...\r\n");
    SyllableImport r = ImportTXT(ReadLyricText(path));
    EXPECT_EQ(r.List1, (Entries{"Cit", "ta' ", "\"bel", "la\" ", "---", "---", "e ", "poi ",
                                "---", "---"}));
}

TEST(ReadLyricText, UnreadableFileNamesIt) {
    test::TempDir dir;
    std::string missing = dir.File("missing lyrics.txt");
    try {
        ReadLyricText(missing);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
    EXPECT_THROW(ReadSyllableListText(dir.Path()), Error);  // a folder
}

}  // namespace
}  // namespace lirovox::lyrics
