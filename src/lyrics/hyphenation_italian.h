#pragma once
// Italian syllable splitting by fixed tables, without a dictionary.
//
// A word is reduced to a pattern of vowels ("v") and everything else ("c"), cut into
// windows of four letters from the left, each window hyphenated by Table A
// (`QuattroLettere`), the last zero to three letters by Table B (`RestoLettere`); the
// accented vowels then become vowel plus apostrophe and Table C (`EsseImpura`) repairs
// the cuts at fixed letter groups. The result, `HyphenWord`, holds the letters of the
// word with "-" between syllables and one blank at the end.
//
// The window and tail rules are shared with the other-language splitting, which uses a
// smaller vowel set and no repairs. Everything here is a pure function of the word.
// Texts are Latin-1, one character per byte; comparisons are exact and case-sensitive.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lirovox::lyrics {

enum class VowelSet {
    Italian,  // a e i o u à è ì ò ù (and their upper case)
    Other,    // a e i o u (and their upper case)
};

// True when the lower-case form of `c` is a vowel of the set. "é", the apostrophe,
// digits and every other character are consonants.
bool IsVowel(char c, VowelSet set);

// `WordPattern`: one "v" or "c" per letter of the word.
// The overload with an output parameter reuses its storage.
std::string WordPattern(std::string_view curWord, VowelSet set);
void WordPattern(std::string_view curWord, VowelSet set, std::string& wordPattern);

// One row of Table A: the window patterns it names and the letters it appends, written
// as a layout: digits 1-4 stand for the window's letters L1-L4, "-" for a hyphen.
struct WindowRule {
    std::span<const std::string_view> Patterns;
    std::string_view Layout;
};

// One row of Table B: a tail length, its patterns and the layout of the letters
// appended (digits 1-3 stand for the tail letters T1-T3).
struct TailRule {
    int Lung;
    std::span<const std::string_view> Patterns;
    std::string_view Layout;
};

// One row of a replacement list: every occurrence of Find becomes Replace.
struct Replacement {
    std::string_view Find;
    std::string_view Replace;
};

std::span<const WindowRule> TableA();
std::span<const TailRule> TableB();
std::span<const Replacement> TableC();
std::span<const Replacement> AccentReplacementTable();

// `QuattroLettere`: appends the letters of the window at `winOffset` (0, 4, 8, ...) of
// `curWord` to `hyphenWord`, hyphenated by Table A. `xxxx` is the window's pattern
// (the word's pattern at `winOffset`, so the word has those four letters there).
// A pattern that is not four letters long (a three-letter word) takes the short-word
// rule: `hyphenWord` becomes the whole word, split after its first letter only when the
// pattern is "vcv".
void QuattroLettere(std::string_view xxxx, std::string_view curWord, int winOffset,
                    std::string& hyphenWord);

// `RestoLettere`: with `lung` the length of the pattern after the current window,
// appends the tail by Table B (lengths 0 to 3), or moves `winOffset` to the next window,
// runs `QuattroLettere` on it and goes on with the rest (lengths 4 and more).
void RestoLettere(int lung, std::string_view curWord, std::string_view wordPattern,
                  int& winOffset, std::string& hyphenWord);

// The window and tail walk over a whole word: `QuattroLettere` on the first window,
// then `RestoLettere` on the rest. Replaces `hyphenWord`.
void HyphenateByWindows(std::string_view curWord, std::string_view wordPattern,
                        std::string& hyphenWord);

// The accent replacements, in order: ì à è é ù ò (lower case only) become the vowel
// followed by an apostrophe.
void ReplaceAccents(std::string& hyphenWord);

// `EsseImpura`: applies Table C row by row, drops one final "-" and appends a blank.
void EsseImpura(std::string& hyphenWord);

// Replaces every occurrence of `find` in `text`, left to right, without rescanning the
// replacement text. Returns true when anything was replaced.
bool ReplaceEvery(std::string& text, std::string_view find, std::string_view replace);

// The whole Italian split of one word of three or more characters (already cut at its
// first separator): `HyphenWord` after `EsseImpura`, e.g. "a-mo-re ". Replaces
// `hyphenWord`; the overload returning the string is for convenience.
void HyphenateItalian(std::string_view curWord, std::string& hyphenWord);
std::string HyphenateItalian(std::string_view curWord);

// Appends the pieces of `hyphenWord` between hyphens to `list`, in order.
void AppendHyphenPieces(std::string_view hyphenWord, std::vector<std::string>& list);

// The list entries of one word (already cut at its first separator) by the Italian
// rules: a word of at most two characters is one entry followed by a blank (an empty
// word gives one blank); a longer word gives its syllables, the last one ending in a
// blank.
void AppendItalianEntries(std::string_view curWord, std::vector<std::string>& list);

}  // namespace lirovox::lyrics
