#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "lyrics/hyphenation_italian.h"
#include "lyrics/hyphenation_other.h"
#include "lyrics/text_file.h"

namespace lirovox::lyrics {
namespace {

using Entries = std::vector<std::string>;

Entries ItalianEntries(const std::string& word) {
    Entries list;
    AppendItalianEntries(word, list);
    return list;
}

Entries OtherEntries(const std::string& word) {
    Entries list;
    AppendOtherEntries(word, list);
    return list;
}

struct WordCase {
    std::string word;
    Entries entries;
};

// The worked examples of the Italian rules (words already cut at their separators).
TEST(ItalianHyphenation, WorkedExamples) {
    const std::vector<WordCase> cases = {
        {"casa", {"ca", "sa "}},
        {"strada", {"stra", "da "}},
        {"montagna", {"mon", "ta", "gna "}},
        {"parlare", {"par", "la", "re "}},
        {"amore", {"a", "mo", "re "}},
        {"quello", {"quel", "lo "}},
        {"bella", {"bel", "la "}},
        {"notte", {"not", "te "}},
        {"figlio", {"figli", "o "}},
        {"piano", {"pian", "o "}},
        {"citt\xE0", {"cit", "ta' "}},
        {"perch\xE9", {"per", "che' "}},
        {"cuoio", {"cuoio "}},
        {"pensier", {"pen", "s", "ier "}},
        {"ama", {"a", "ma "}},
        {"gli", {"gli "}},
        {"per", {"per "}},
        {"amore!", {"a", "mo", "re! "}},
        {"l'amore", {"l'a", "mo", "re "}},
        {"dell'anima", {"del", "l'a", "ni", "ma "}},
        {"CASA", {"CA", "SA "}},
        {"ciao", {"cia", "o "}},
        {"parola", {"pa", "ro", "la "}},
        // Short words are one entry with the word-end blank.
        {"e", {"e "}},
        {"di", {"di "}},
        {"", {" "}},
    };
    for (const WordCase& c : cases) {
        EXPECT_EQ(ItalianEntries(c.word), c.entries) << "word: " << c.word;
    }
}

// Upper-case letters keep their case; upper-case accented vowels are vowels for the
// pattern but are not replaced, and the lower-case repair rows do not touch them.
TEST(ItalianHyphenation, CaseIsKeptAndOnlyLowerCaseAccentsAreReplaced) {
    EXPECT_EQ(HyphenateItalian("CITT\xC0"), "CIT-T\xC0 ");       // À is a vowel
    EXPECT_EQ(HyphenateItalian("PERCH\xC9"), "PER-CH\xC9 ");     // É is a consonant
    EXPECT_EQ(HyphenateItalian("QUELLO"), "QUE-L-LO ");          // no repair matches
    EXPECT_EQ(HyphenateItalian("Quello"), "Quel-lo ");
}

TEST(ItalianHyphenation, LetterClasses) {
    for (char c : std::string("aeiouAEIOU\xE0\xE8\xEC\xF2\xF9\xC0\xC8\xCC\xD2\xD9")) {
        EXPECT_TRUE(IsVowel(c, VowelSet::Italian)) << int(static_cast<unsigned char>(c));
    }
    for (char c : std::string("\xE9\xC9'1bzY\t\xA0?!\xE1\xF3")) {
        EXPECT_FALSE(IsVowel(c, VowelSet::Italian)) << int(static_cast<unsigned char>(c));
    }
    for (char c : std::string("\xE0\xE8\xEC\xF2\xF9\xC0")) {
        EXPECT_FALSE(IsVowel(c, VowelSet::Other)) << int(static_cast<unsigned char>(c));
    }
    EXPECT_EQ(WordPattern("Perch\xE9!", VowelSet::Italian), "cvccccc");
    EXPECT_EQ(WordPattern("citt\xE0", VowelSet::Italian), "cvccv");
    EXPECT_EQ(WordPattern("citt\xE0", VowelSet::Other), "cvccc");
}

// One window for every four-letter pattern: letters that show where L1..L4 land.
TEST(ItalianHyphenation, TableAEveryPattern) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"bcdf", "bcdf"},    // cccc
        {"bcda", "bcda"},    // cccv
        {"baei", "ba-e-i"},  // cvvv
        {"bcad", "bca-d"},   // ccvc
        {"bacd", "bac-d"},   // cvcc
        {"baec", "bae-c"},   // cvvc
        {"abcd", "ab-cd"},   // vccc
        {"abce", "ab-ce"},   // vccv
        {"bcae", "bcae"},    // ccvv
        {"aebc", "aebc"},    // vvcc
        {"aeio", "aeio"},    // vvvv
        {"aeib", "aeib"},    // vvvc
        {"aebi", "ae-bi"},   // vvcv
        {"babe", "ba-be"},   // cvcv
        {"abei", "a-bei"},   // vcvv
        {"abec", "a-be-c"},  // vcvc
    };
    std::set<std::string> patterns;
    for (const auto& [word, expected] : cases) {
        std::string pattern = WordPattern(word, VowelSet::Italian);
        patterns.insert(pattern);
        std::string hyphenWord;
        QuattroLettere(pattern, word, 0, hyphenWord);
        EXPECT_EQ(hyphenWord, expected) << pattern;
    }
    EXPECT_EQ(patterns.size(), 16u);
}

TEST(ItalianHyphenation, WindowsAppendAndTheShortWordRuleReplaces) {
    // A later window appends after what is there.
    std::string hyphenWord = "par-t";
    QuattroLettere("vcvc", "xxxxabec", 4, hyphenWord);
    EXPECT_EQ(hyphenWord, "par-ta-be-c");
    // A three-letter pattern replaces the text with the whole word.
    hyphenWord = "old";
    QuattroLettere("vcv", "ama", 0, hyphenWord);
    EXPECT_EQ(hyphenWord, "a-ma");
    for (const char* word : {"per", "cia", "tra", "sss", "aei", "aeb"}) {
        hyphenWord = "old";
        QuattroLettere(WordPattern(word, VowelSet::Italian), word, 0, hyphenWord);
        EXPECT_EQ(hyphenWord, word);
    }
}

// Every tail length and pattern of Table B, and the walk over further windows. The
// vowels a e i o u only, so no accent is involved; no repairs.
TEST(ItalianHyphenation, TableBEveryTailAndTheWalk) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"casa", "ca-sa"},                        // LUNG 0
        {"casat", "ca-sat"},                      // 1 c
        {"casae", "ca-sae"},                      // 1 v
        {"casata", "ca-sa-ta"},                   // 2 cv
        {"casaet", "ca-saet"},                    // 2 vc
        {"casaei", "ca-saei"},                    // 2 vv
        {"casatt", "ca-satt"},                    // 2 cc
        {"casatra", "ca-sat-ra"},                 // 3 ccv
        {"casaeta", "ca-sae-ta"},                 // 3 vcv
        {"casastr", "ca-sa-str"},                 // 3 ccc
        {"casatak", "ca-sa-tak"},                 // 3 cvc
        {"casaest", "ca-sa-est"},                 // 3 vcc
        {"casaeit", "ca-sa-eit"},                 // 3 vvc
        {"casaeio", "ca-sa-eio"},                 // 3 vvv
        {"casatio", "ca-sa-tio"},                 // 3 cvv
        {"casapane", "ca-sapa-ne"},               // 4: one more window
        {"casapanet", "ca-sapa-net"},             // 5: window, then tail
        {"casapanetavol", "ca-sapa-neta-vol"},    // 9: two windows, then tail
        {"casapanetavolo", "ca-sapa-neta-vo-lo"}, // 10
    };
    for (const auto& [word, expected] : cases) {
        std::string hyphenWord;
        HyphenateByWindows(word, WordPattern(word, VowelSet::Other), hyphenWord);
        EXPECT_EQ(hyphenWord, expected) << word;
    }
    // RestoLettere on its own moves the window offset along.
    std::string hyphenWord = "ca-sa";
    int winOffset = 0;
    std::string word = "casapanet";
    RestoLettere(5, word, WordPattern(word, VowelSet::Other), winOffset, hyphenWord);
    EXPECT_EQ(hyphenWord, "ca-sapa-net");
    EXPECT_EQ(winOffset, 4);
}

// Table C rows applied to prepared texts: order, no rescan, case and the final steps.
TEST(ItalianHyphenation, TableCOrderAndNoRescan) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"lll", "l-ll "},          // row 36 once, left to right, no rescan
        {"sssss", "s-ss-ss "},     // row 31 likewise
        {"ssss", "s-ss-s "},
        {"g-li", "gli "},          // row 1, then row 3 "gli-", then the final "-" drops
        {"fig-lio", "figli-o "},
        {"pia-no", "pian-o "},     // row 12 moves the hyphen after n
        {"ca-na", "ca-na "},       // row 12 then row 49 moves it back
        {"ca-ne", "ca-ne "},       // row 50
        {"ca-ni", "ca-ni "},       // row 51
        {"ca-nu", "can-u "},       // no row moves it back before u
        {"mon-tag-na", "mon-ta-gna "},  // row 2 moves the hyphen before "gn"
        {"a---b", "a--b "},        // row 54 once, without rescan
        {"ab---", "ab- "},         // row 54, then only one final "-" is dropped
        {"ab--", "ab "},
        {"a-?", "a? "},            // row 52
        {"a-!", "a! "},            // row 53
        {"cu-o-io", "cuoio "},     // rows 43, 44
        {"que-l-lo", "quel-lo "},  // row 8, row 36 does not see "l-l"
        {"qua-tt-ro", "quat-tro "},  // rows 10, 28, then 54 joins "--"
        {"GLI", "GLI "},           // upper case matches no row
        {"", " "},
    };
    for (const auto& [input, expected] : cases) {
        std::string hyphenWord = input;
        EsseImpura(hyphenWord);
        EXPECT_EQ(hyphenWord, expected) << input;
    }
}

// The accent replacements must come before the repairs: row 29 "l-l'" and row 33
// "pi-u'" only match apostrophe forms.
TEST(ItalianHyphenation, AccentsAreReplacedBeforeTheRepairs) {
    std::string hyphenWord = "pi-\xF9";
    ReplaceAccents(hyphenWord);
    EXPECT_EQ(hyphenWord, "pi-u'");
    EsseImpura(hyphenWord);
    EXPECT_EQ(hyphenWord, "piu' ");

    hyphenWord = "\xEC\xE0\xE8\xE9\xF9\xF2\xC0\xC8\xCC\xD2\xD9\xC9";
    ReplaceAccents(hyphenWord);
    EXPECT_EQ(hyphenWord, "i'a'e'e'u'o'\xC0\xC8\xCC\xD2\xD9\xC9");

    EXPECT_EQ(HyphenateItalian("perch\xE9"), "per-che' ");
    EXPECT_EQ(HyphenateItalian("pi\xF9"), "piu' ");
    EXPECT_EQ(HyphenateItalian("cos\xEC"), "co-si' ");
}

TEST(ItalianHyphenation, ReplaceEveryIsLeftToRightWithoutRescan) {
    std::string text = "aaaa";
    EXPECT_TRUE(ReplaceEvery(text, "aa", "a"));
    EXPECT_EQ(text, "aa");
    text = "abab";
    EXPECT_TRUE(ReplaceEvery(text, "b", "bb"));
    EXPECT_EQ(text, "abbabb");
    text = "xyz";
    EXPECT_FALSE(ReplaceEvery(text, "q", "r"));
    EXPECT_EQ(text, "xyz");
}

// Characters the rules do not know are consonants and travel through unchanged; the
// tab is not a word separator here.
TEST(ItalianHyphenation, UnknownCharactersAreConsonants) {
    EXPECT_EQ(ItalianEntries("ca\tsa"), (Entries{"ca\t", "sa "}));
    EXPECT_EQ(ItalianEntries("e\tdi"), (Entries{"e\t", "di "}));
    EXPECT_EQ(ItalianEntries("a\xA0mo"), (Entries{"a\xA0", "mo "}));
    EXPECT_EQ(ItalianEntries("2024"), (Entries{"2024 "}));
}

TEST(ItalianHyphenation, SameWordSameSyllables) {
    std::string first = HyphenateItalian("incomprensibilmente");
    for (int i = 0; i < 3; ++i) {
        HyphenateItalian("gli");  // per-word state never leaks into the next word
        EXPECT_EQ(HyphenateItalian("incomprensibilmente"), first);
    }
}

// Over an Italian word list: the syllables, joined, give back the word's letters
// (accents as letter plus apostrophe), and exactly the last entry carries the blank.
TEST(ItalianHyphenation, DictionaryWordsKeepTheirLetters) {
    std::ifstream in("/usr/share/dict/italian", std::ios::binary);
    if (!in) GTEST_SKIP() << "no /usr/share/dict/italian (package witalian)";
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> words = SplitFileLines(DecodeLyricBytes(bytes));
    ASSERT_GT(words.size(), 10000u);
    size_t checked = 0;
    // Every fifth word keeps the test quick and still covers some twenty thousand words.
    for (size_t w = 0; w < words.size(); w += 5) {
        const std::string& word = words[w];
        if (word.size() < 3 || word.find_first_of(" ,.;:*-_") != std::string::npos) continue;
        Entries entries = ItalianEntries(word);
        ASSERT_FALSE(entries.empty()) << word;
        std::string joined;
        for (size_t i = 0; i < entries.size(); ++i) {
            bool last = i + 1 == entries.size();
            ASSERT_EQ(entries[i].find(' '), last ? entries[i].size() - 1 : std::string::npos)
                << word;
            joined += entries[i];
        }
        joined.pop_back();
        std::string letters = word;
        ReplaceAccents(letters);
        ASSERT_EQ(joined, letters) << word;

        // The repairs give what applying every row of Table C in turn gives (the
        // quick skip of rows that cannot match changes nothing).
        std::string slow;
        HyphenateByWindows(word, WordPattern(word, VowelSet::Italian), slow);
        ReplaceAccents(slow);
        for (const Replacement& row : TableC()) ReplaceEvery(slow, row.Find, row.Replace);
        if (!slow.empty() && slow.back() == '-') slow.pop_back();
        ASSERT_EQ(HyphenateItalian(word), slow + " ") << word;
        ++checked;
    }
    EXPECT_GT(checked, 15000u);
}

// The other-language rules.
TEST(OtherHyphenation, WorkedExamples) {
    const std::vector<WordCase> cases = {
        {"house", {"house "}},
        {"eighteen", {"eighteen "}},   // eight characters: whole
        {"beautiful", {"be", "a", "uti", "ful"}},
        {"wonderful", {"won", "der", "ful"}},
        {"Christmas", {"Christmas"}},
        {"societ\xE0", {"societ\xE0 "}},
        {"s\xE0lutation", {"s\xE0luta", "tion"}},  // à is a consonant here
        {"quellolla", {"que", "llol", "la"}},  // no repairs: "que-l" stays
        {"", {" "}},
    };
    for (const WordCase& c : cases) {
        EXPECT_EQ(OtherEntries(c.word), c.entries) << "word: " << c.word;
    }
    EXPECT_EQ(HyphenateOther("beautiful"), "be-a-uti-ful");
}

}  // namespace
}  // namespace lirovox::lyrics
