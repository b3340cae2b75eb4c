#include "lyrics/hyphenation_other.h"

#include "lyrics/hyphenation_italian.h"

namespace lirovox::lyrics {

void HyphenateOther(std::string_view curWord, std::string& hyphenWord) {
    thread_local std::string wordPattern;
    WordPattern(curWord, VowelSet::Other, wordPattern);
    HyphenateByWindows(curWord, wordPattern, hyphenWord);
}

std::string HyphenateOther(std::string_view curWord) {
    std::string hyphenWord;
    HyphenateOther(curWord, hyphenWord);
    return hyphenWord;
}

void AppendOtherEntries(std::string_view curWord, std::vector<std::string>& list) {
    if (curWord.size() <= kOtherLanguageWholeWord) {
        std::string entry(curWord);
        entry.push_back(' ');
        list.push_back(std::move(entry));
        return;
    }
    thread_local std::string hyphenWord;
    HyphenateOther(curWord, hyphenWord);
    AppendHyphenPieces(hyphenWord, list);
}

}  // namespace lirovox::lyrics
