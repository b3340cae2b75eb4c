#include "lyrics/hyphenation_italian.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace lirovox::lyrics {

namespace {

using SV = std::string_view;

// ---- Table A: the four-letter window. First matching row wins. ----
constexpr SV kA1[] = {"cccc", "cccv"};
constexpr SV kA2[] = {"cvvv"};
constexpr SV kA3[] = {"ccvc", "cvcc", "cvvc"};
constexpr SV kA4[] = {"vccc", "vccv"};
constexpr SV kA5[] = {"ccvv"};
constexpr SV kA6[] = {"vvcc", "vvvv", "vvvc"};
constexpr SV kA7[] = {"vvcv", "cvcv"};
constexpr SV kA8[] = {"vcvv"};
constexpr SV kA9[] = {"vcvc"};

constexpr WindowRule kTableA[] = {
    {kA1, "1234"},
    {kA2, "12-3-4"},
    {kA3, "123-4"},
    {kA4, "12-34"},
    {kA5, "1234"},
    {kA6, "1234"},
    {kA7, "12-34"},
    {kA8, "1-234"},
    {kA9, "1-23-4"},
};

// The three-letter pattern that the short-word rule splits after its first letter.
constexpr SV kShortWordSplitPattern = "vcv";

// ---- Table B: the tail after the last window, by its length LUNG. ----
constexpr SV kB0[] = {""};
constexpr SV kB1[] = {"c", "v"};
constexpr SV kB2a[] = {"cv"};
constexpr SV kB2b[] = {"vc", "vv", "cc"};
constexpr SV kB3a[] = {"ccv", "vcv"};
constexpr SV kB3b[] = {"ccc", "cvc", "vcc", "vvc", "vvv", "cvv"};

constexpr TailRule kTableB[] = {
    {0, kB0, ""},
    {1, kB1, "1"},
    {2, kB2a, "-12"},
    {2, kB2b, "12"},
    {3, kB3a, "1-23"},
    {3, kB3b, "-123"},
};

// Tails of four and more letters are not in the table: they move to the next window.
constexpr int kLongestTail = 3;
constexpr int kWindow = 4;

// ---- Table C: the repairs of `EsseImpura`, applied in this order. ----
constexpr Replacement kTableC[] = {
    {"g-l", "gl"},       // 1
    {"g-n", "-gn"},      // 2
    {"gli", "gli-"},     // 3
    {"egl", "e-gl"},     // 4
    {"agl", "a-gl"},     // 5
    {"ogl", "o-gl"},     // 6
    {"ugl", "u-gl"},     // 7
    {"que-l", "quel"},   // 8
    {"qua-l", "qual-"},  // 9
    {"qua-t", "quat-"},  // 10
    {"-r-", "r-"},       // 11
    {"-n", "n-"},        // 12
    {"-nc", "n-c"},      // 13
    {"-p-", "p-"},       // 14
    {"-pp", "p-p"},      // 15
    {"au-", "a-u-"},     // 16
    {"nn-", "n-n"},      // 17
    {"-l-", "l-"},       // 18
    {"s-t-", "-st"},     // 19
    {"-s-t", "-st"},     // 20
    {"-t-t", "t-t"},     // 21
    {"s-c", "-sc"},      // 22
    {"n-t-", "n-t"},     // 23
    {"-b-", "b-"},       // 24
    {"-d-", "d-"},       // 25
    {"c-h", "-ch"},      // 26
    {"d-r", "-dr"},      // 27
    {"t-r", "-tr"},      // 28
    {"l-l'", "ll'"},     // 29
    {"-t-r", "-tr"},     // 30
    {"ss", "s-s"},       // 31
    {"a-m-", "am-"},     // 32
    {"pi-u'", "piu'"},   // 33
    {"-nd", "n-d"},      // 34
    {"mp-", "m-p"},      // 35
    {"ll", "l-l"},       // 36
    {"qu-i", "qui"},     // 37
    {"qu-a", "qua"},     // 38
    {"qu-e", "que"},     // 39
    {"f-r", "-fr"},      // 40
    {"p-r", "-pr"},      // 41
    {"c-r", "-cr"},      // 42
    {"u-o", "uo"},       // 43
    {"o-i", "oi"},       // 44
    {"i-e", "ie"},       // 45
    {"i-a", "ia"},       // 46
    {"g-ra", "gra"},     // 47
    {"ion", "io-n"},     // 48
    {"n-a", "-na"},      // 49
    {"n-e", "-ne"},      // 50
    {"n-i", "-ni"},      // 51
    {"-?", "?"},         // 52
    {"-!", "!"},         // 53
    {"--", "-"},         // 54
};

// ---- The accent replacements, in this order (lower-case Latin-1 letters only). ----
constexpr Replacement kAccents[] = {
    {"\xEC", "i'"},  // ì
    {"\xE0", "a'"},  // à
    {"\xE8", "e'"},  // è
    {"\xE9", "e'"},  // é
    {"\xF9", "u'"},  // ù
    {"\xF2", "o'"},  // ò
};

// ---- Letter classes. ----

constexpr unsigned char Latin1Lower(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    return c;
}

constexpr std::array<bool, 256> BuildVowelTable(SV lowerVowels) {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c) {
        unsigned char lower = Latin1Lower(static_cast<unsigned char>(c));
        table[c] = lowerVowels.find(static_cast<char>(lower)) != SV::npos;
    }
    return table;
}

constexpr auto kItalianVowels = BuildVowelTable("aeiou\xE0\xE8\xEC\xF2\xF9");
constexpr auto kOtherVowels = BuildVowelTable("aeiou");

// ---- Lookups derived from the tables at compile time: pattern -> row. ----

// Pattern of `len` letters as a number: bit i set when letter i+1 is "v".
constexpr int PatternBits(SV pattern) {
    int bits = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == 'v') bits |= 1 << i;
    }
    return bits;
}

constexpr bool Names(std::span<const SV> patterns, int len, int bits) {
    for (SV p : patterns) {
        if (static_cast<int>(p.size()) == len && PatternBits(p) == bits) return true;
    }
    return false;
}

constexpr std::array<int8_t, 16> BuildWindowLookup() {
    std::array<int8_t, 16> lookup{};
    for (int bits = 0; bits < 16; ++bits) {
        lookup[bits] = -1;
        for (size_t row = 0; row < std::size(kTableA); ++row) {
            if (Names(kTableA[row].Patterns, kWindow, bits)) {
                lookup[bits] = static_cast<int8_t>(row);
                break;
            }
        }
    }
    return lookup;
}

// Index of a tail of length `len` (0..3) with pattern bits `bits`.
constexpr int TailSlot(int len, int bits) { return (1 << len) - 1 + bits; }

constexpr std::array<int8_t, 15> BuildTailLookup() {
    std::array<int8_t, 15> lookup{};
    for (int len = 0; len <= kLongestTail; ++len) {
        for (int bits = 0; bits < (1 << len); ++bits) {
            int slot = TailSlot(len, bits);
            lookup[slot] = -1;
            for (size_t row = 0; row < std::size(kTableB); ++row) {
                if (kTableB[row].Lung == len && Names(kTableB[row].Patterns, len, bits)) {
                    lookup[slot] = static_cast<int8_t>(row);
                    break;
                }
            }
        }
    }
    return lookup;
}

constexpr auto kWindowLookup = BuildWindowLookup();
constexpr auto kTailLookup = BuildTailLookup();

constexpr bool AllNamed(const auto& lookup) {
    for (auto row : lookup) {
        if (row < 0) return false;
    }
    return true;
}
static_assert(AllNamed(kWindowLookup), "Table A must name all sixteen window patterns");
static_assert(AllNamed(kTailLookup), "Table B must name every tail of up to three letters");

// ---- Which repair rows occur in a text, all rows at once. ----
//
// Bit r of a row set stands for row r of Table C. kRowsAllowing[k][c] holds the rows
// whose find string is shorter than k+1 characters or has c as character k+1, so the
// rows occurring at position i of a text are the AND of kRowsAllowing[k][text[i+k]]
// over k (a position past the end reads as character 0, which no find string holds).
// Applying only the rows that occur, in order, is the same as applying every row: a
// row that does not occur replaces nothing.

constexpr size_t kRepairRows = std::size(kTableC);
static_assert(kRepairRows <= 64, "the row sets are 64-bit masks");

constexpr size_t LongestFind() {
    size_t longest = 0;
    for (const Replacement& r : kTableC) longest = std::max(longest, r.Find.size());
    return longest;
}
constexpr size_t kLongestFind = LongestFind();

using RowSet = uint64_t;

constexpr std::array<std::array<RowSet, 256>, kLongestFind> BuildRowsAllowing() {
    std::array<std::array<RowSet, 256>, kLongestFind> rows{};
    for (size_t k = 0; k < kLongestFind; ++k) {
        for (size_t c = 0; c < 256; ++c) {
            RowSet set = 0;
            for (size_t r = 0; r < kRepairRows; ++r) {
                SV find = kTableC[r].Find;
                if (find.size() <= k || static_cast<unsigned char>(find[k]) == c) {
                    set |= RowSet{1} << r;
                }
            }
            rows[k][c] = set;
        }
    }
    return rows;
}

constexpr auto kRowsAllowing = BuildRowsAllowing();

// The rows of Table C that occur somewhere in `text`.
RowSet OccurringRows(SV text) {
    RowSet found = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    // Positions with a whole find length of text after them: no end checks.
    for (; i + kLongestFind <= n; ++i) {
        RowSet rows = kRowsAllowing[0][p[i]];
        for (size_t k = 1; k < kLongestFind; ++k) rows &= kRowsAllowing[k][p[i + k]];
        found |= rows;
    }
    for (; i < n; ++i) {
        RowSet rows = kRowsAllowing[0][p[i]];
        for (size_t k = 1; k < kLongestFind; ++k) {
            rows &= kRowsAllowing[k][i + k < n ? p[i + k] : 0];
        }
        found |= rows;
    }
    return found;
}

// Position of `find` (at least one character) in `text` from `from` on, or npos: a plain
// loop, quicker than a library search for the few characters of a word.
size_t FindShort(SV text, SV find, size_t from) {
    const size_t n = find.size();
    if (text.size() < n) return SV::npos;
    const size_t last = text.size() - n;
    const char first = find[0];
    for (size_t i = from; i <= last; ++i) {
        if (text[i] != first) continue;
        size_t k = 1;
        while (k < n && text[i + k] == find[k]) ++k;
        if (k == n) return i;
    }
    return SV::npos;
}

// Appends letters by a layout: digit d is the letter at base + d - 1, "-" a hyphen.
void AppendLayout(SV layout, SV curWord, size_t base, std::string& hyphenWord) {
    for (char ch : layout) {
        if (ch == '-') hyphenWord.push_back('-');
        else hyphenWord.push_back(curWord[base + static_cast<size_t>(ch - '1')]);
    }
}

}  // namespace

bool IsVowel(char c, VowelSet set) {
    const auto& vowels = set == VowelSet::Italian ? kItalianVowels : kOtherVowels;
    return vowels[static_cast<unsigned char>(c)];
}

void WordPattern(std::string_view curWord, VowelSet set, std::string& wordPattern) {
    const auto& vowels = set == VowelSet::Italian ? kItalianVowels : kOtherVowels;
    wordPattern.resize(curWord.size());
    for (size_t i = 0; i < curWord.size(); ++i) {
        wordPattern[i] = vowels[static_cast<unsigned char>(curWord[i])] ? 'v' : 'c';
    }
}

std::string WordPattern(std::string_view curWord, VowelSet set) {
    std::string wordPattern;
    WordPattern(curWord, set, wordPattern);
    return wordPattern;
}

std::span<const WindowRule> TableA() { return kTableA; }
std::span<const TailRule> TableB() { return kTableB; }
std::span<const Replacement> TableC() { return kTableC; }
std::span<const Replacement> AccentReplacementTable() { return kAccents; }

void QuattroLettere(std::string_view xxxx, std::string_view curWord, int winOffset,
                    std::string& hyphenWord) {
    if (xxxx.size() == static_cast<size_t>(kWindow)) {
        const WindowRule& rule = kTableA[kWindowLookup[PatternBits(xxxx)]];
        AppendLayout(rule.Layout, curWord, static_cast<size_t>(winOffset), hyphenWord);
        return;
    }
    // Short-word rule (a three-letter word): the whole word, split after its first
    // letter only for vowel-consonant-vowel.
    hyphenWord.assign(curWord);
    if (xxxx == kShortWordSplitPattern) {
        hyphenWord.clear();
        hyphenWord.append(curWord.substr(0, 1));
        hyphenWord.push_back('-');
        hyphenWord.append(curWord.substr(1));
    }
}

void RestoLettere(int lung, std::string_view curWord, std::string_view wordPattern,
                  int& winOffset, std::string& hyphenWord) {
    for (;;) {
        size_t restStart = static_cast<size_t>(winOffset) + kWindow;
        // LUNG is the length of the pattern after the window; never read past the word.
        int restLength = restStart < wordPattern.size()
                             ? static_cast<int>(wordPattern.size() - restStart)
                             : 0;
        lung = std::clamp(lung, 0, restLength);
        if (lung <= kLongestTail) {
            SV rest = wordPattern.substr(std::min(restStart, wordPattern.size()),
                                         static_cast<size_t>(lung));
            const TailRule& rule = kTableB[kTailLookup[TailSlot(lung, PatternBits(rest))]];
            AppendLayout(rule.Layout, curWord, restStart, hyphenWord);
            return;
        }
        // Four or more letters left: the next window, then (five or more) the rest.
        winOffset += kWindow;
        QuattroLettere(wordPattern.substr(static_cast<size_t>(winOffset), kWindow), curWord,
                       winOffset, hyphenWord);
        if (lung == kWindow) return;
        lung = static_cast<int>(wordPattern.size()) - (winOffset + kWindow);
    }
}

void HyphenateByWindows(std::string_view curWord, std::string_view wordPattern,
                        std::string& hyphenWord) {
    hyphenWord.clear();
    int winOffset = 0;
    QuattroLettere(wordPattern.substr(0, kWindow), curWord, winOffset, hyphenWord);
    int lung = wordPattern.size() > static_cast<size_t>(kWindow)
                   ? static_cast<int>(wordPattern.size()) - kWindow
                   : 0;
    RestoLettere(lung, curWord, wordPattern, winOffset, hyphenWord);
}

bool ReplaceEvery(std::string& text, std::string_view find, std::string_view replace) {
    if (find.empty()) return false;
    size_t at = FindShort(text, find, 0);
    if (at == std::string::npos) return false;
    do {
        text.replace(at, find.size(), replace);
        at = FindShort(text, find, at + replace.size());
    } while (at != std::string::npos);
    return true;
}

void ReplaceAccents(std::string& hyphenWord) {
    bool hasAccent = false;
    for (char c : hyphenWord) {
        if (static_cast<unsigned char>(c) >= 0xE0) {
            hasAccent = true;
            break;
        }
    }
    if (!hasAccent) return;
    for (const Replacement& r : kAccents) ReplaceEvery(hyphenWord, r.Find, r.Replace);
}

void EsseImpura(std::string& hyphenWord) {
    RowSet pending = OccurringRows(hyphenWord);
    while (pending != 0) {
        int row = std::countr_zero(pending);
        ReplaceEvery(hyphenWord, kTableC[row].Find, kTableC[row].Replace);
        // Later rows see the text as this row left it.
        RowSet later = row + 1 < 64 ? ~RowSet{0} << (row + 1) : 0;
        pending = OccurringRows(hyphenWord) & later;
    }
    if (!hyphenWord.empty() && hyphenWord.back() == '-') hyphenWord.pop_back();
    hyphenWord.push_back(' ');
}

void HyphenateItalian(std::string_view curWord, std::string& hyphenWord) {
    thread_local std::string wordPattern;
    WordPattern(curWord, VowelSet::Italian, wordPattern);
    HyphenateByWindows(curWord, wordPattern, hyphenWord);
    ReplaceAccents(hyphenWord);
    EsseImpura(hyphenWord);
}

std::string HyphenateItalian(std::string_view curWord) {
    std::string hyphenWord;
    HyphenateItalian(curWord, hyphenWord);
    return hyphenWord;
}

void AppendHyphenPieces(std::string_view hyphenWord, std::vector<std::string>& list) {
    if (hyphenWord.empty()) return;
    size_t start = 0;
    for (;;) {
        size_t at = hyphenWord.find('-', start);
        if (at == std::string_view::npos) {
            list.emplace_back(hyphenWord.substr(start));
            return;
        }
        list.emplace_back(hyphenWord.substr(start, at - start));
        start = at + 1;
    }
}

void AppendItalianEntries(std::string_view curWord, std::vector<std::string>& list) {
    if (curWord.size() <= 2) {
        std::string entry(curWord);
        entry.push_back(' ');
        list.push_back(std::move(entry));
        return;
    }
    thread_local std::string hyphenWord;
    HyphenateItalian(curWord, hyphenWord);
    AppendHyphenPieces(hyphenWord, list);
}

}  // namespace lirovox::lyrics
