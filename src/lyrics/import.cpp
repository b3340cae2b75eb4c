#include "lyrics/import.h"

#include "lyrics/hyphenation_italian.h"
#include "lyrics/hyphenation_other.h"
#include "lyrics/text_file.h"
#include "util/file_io.h"

namespace lirovox::lyrics {

namespace {

// The word separators, in the order the word is cut at them. Each cut keeps the part
// before the first occurrence, so the word ends up cut at its first separator of any
// kind ("..." is already cut at its first ".").
constexpr std::string_view kSeparators[] = {",", ".", ";", ":", "*", "-", "_", "..."};

constexpr std::string_view kLineMark = "---";
constexpr std::string_view kLineEnd = "\r\n";

using WordRule = void (*)(std::string_view curWord, std::vector<std::string>& list);

// The walk shared by both rule sets: pieces at CR LF, words at blanks, each word cut at
// its first separator and split by `wordRule`, and a line mark after every piece.
SyllableImport SplitNotepad(const std::string& notepadText, WordRule wordRule, bool otherLang) {
    SyllableImport result;
    result.OtherLang = otherLang;
    std::vector<std::string_view> pieces = SplitAtCrLf(notepadText);
    for (std::string_view piece : pieces) {
        for (std::string_view word : SplitAtBlanks(piece)) {
            wordRule(CutAtSeparator(word), result.List1);
        }
        result.List1.emplace_back(kLineMark);
    }
    result.LineCount = static_cast<int>(pieces.size());
    result.HyphenCount = static_cast<int>(result.List1.size()) - result.LineCount - 1;
    return result;
}

}  // namespace

std::string_view CutAtSeparator(std::string_view word) {
    for (std::string_view separator : kSeparators) {
        size_t at = word.find(separator);
        if (at != std::string_view::npos) word = word.substr(0, at);
    }
    return word;
}

std::string ReadLyricText(const std::string& path) {
    return NotepadFromFileBytes(ReadWholeFile(path), true);
}

std::string ReadSyllableListText(const std::string& path) {
    return NotepadFromFileBytes(ReadWholeFile(path), false);
}

SyllableImport ImportTXT(const std::string& notepadText, bool otherLang) {
    if (otherLang) return OtherLanguage(notepadText);
    return SplitNotepad(notepadText, &AppendItalianEntries, false);
}

SyllableImport OtherLanguage(const std::string& notepadText) {
    return SplitNotepad(notepadText, &AppendOtherEntries, true);
}

SyllableImport ReadReadyList(const std::string& fileText) {
    // Read line by line into notepad form, then one entry per piece of that text.
    std::string notepad = LinesToNotepad(SplitFileLines(fileText), false);
    SyllableImport result;
    std::vector<std::string_view> pieces = SplitAtCrLf(notepad);
    int lineMarks = 0;
    for (std::string_view piece : pieces) {
        result.List1.emplace_back(piece);
        if (piece.find(kLineMark) != std::string_view::npos) ++lineMarks;
    }
    result.LineCount = lineMarks;
    result.HyphenCount = static_cast<int>(pieces.size()) - lineMarks - 1;
    result.OtherLang = false;
    return result;
}

std::string ListToText(const std::vector<std::string>& list) {
    std::string text;
    size_t total = 0;
    for (const std::string& entry : list) total += entry.size() + kLineEnd.size();
    text.reserve(total);
    for (const std::string& entry : list) {
        text.append(entry);
        text.append(kLineEnd);
    }
    return text;
}

}  // namespace lirovox::lyrics
