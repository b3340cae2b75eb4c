#pragma once
// Cautious syllable splitting for lyrics that are not Italian: short words stay whole,
// long words are split by the bare window and tail rules of the Italian splitting
// (Tables A and B) with the plain vowels a e i o u, and no repairs are applied.

#include <string>
#include <string_view>
#include <vector>

namespace lirovox::lyrics {

// Words of up to this many characters are never split.
inline constexpr size_t kOtherLanguageWholeWord = 8;

// `HyphenWord` of one word by the window and tail rules with the vowels a e i o u
// (accented letters are consonants), as the rules leave it: no repairs, no blank.
// Replaces `hyphenWord`.
void HyphenateOther(std::string_view curWord, std::string& hyphenWord);
std::string HyphenateOther(std::string_view curWord);

// The list entries of one word (already cut at its first separator) by the
// other-language rules: a word of up to eight characters is one entry followed by a
// blank; a longer word gives its pieces between hyphens, the last one without a blank.
void AppendOtherEntries(std::string_view curWord, std::vector<std::string>& list);

}  // namespace lirovox::lyrics
