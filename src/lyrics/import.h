#pragma once
// Lyric import: from a lyric text file to the notepad text, and from the notepad text
// to the syllable list `List1` with the two header figures that go with it.
//
// The three ways in (menu "Import TXT File"):
//   "Hyphenation 1": text = ReadLyricText(path);        import = ImportTXT(text)
//   "Hyphenation 2": text = ReadLyricText(path);        import = OtherLanguage(text)
//   "Ready":         text = ReadSyllableListText(path); import = ReadReadyList(text)
// `text` is what the notepad `NoteP` shows afterwards. "Synchronize TXT" runs
// ImportTXT(notepad text, otherLang) again on whatever the notepad holds by then, with
// the `OtherLang` of the last import.
//
// Entries of the list: a syllable inside a word ("bel"); the last syllable of a word,
// ending in one blank ("la "); the line mark "---"; an empty entry (a note without a
// syllable, made only by the list edits, never by an import).
//
// All texts are Latin-1 byte strings, one character per byte. Nothing here touches Qt.

#include <string>
#include <string_view>
#include <vector>

namespace lirovox::lyrics {

// The outcome of one import. Every import rebuilds the whole list; nothing of an earlier
// list survives.
//
// Figures each import sets (the binding reads HyphenCount and LineCount back, exactly
// as the header panel shows them; the notes figure `LabNotes` is the loaded song's and
// no import touches it):
//
//   field        ImportTXT / OtherLanguage              ReadReadyList ("Ready")
//   List1        the syllable list                      one entry per piece of the text
//                                                       (the last, empty piece included)
//   LineCount    number of pieces of the notepad text   pieces that contain "---"
//                (= number of "---" entries made)       anywhere
//   HyphenCount  entries - pieces - 1 (one less than    pieces - LineCount - 1
//                the number of syllable entries)
//   OtherLang    false (ImportTXT) / true (OtherLang.)  false
//
// "Pieces" are the parts of the notepad text between CR LF line ends: a text that ends
// in CR LF has one last, empty piece; an empty text has no piece at all, which leaves
// the list empty, LineCount 0 and HyphenCount -1. The header panel shows HyphenCount in
// `LabHyphens` ("Hyphens:") and LineCount in `LabAcapi`.
//
// Only ReadReadyList binds the list to the notes afterwards (the caller runs
// `BindSyllables`); the two hyphenation imports leave binding to "Synchronize TXT".
struct SyllableImport {
    std::vector<std::string> List1;
    int LineCount = 0;
    int HyphenCount = -1;
    bool OtherLang = false;
};

// The notepad text of "Hyphenation 1" and "Hyphenation 2": the file decoded to Latin-1
// (UTF-8 detection, see text_file.h), read line by line (CR LF or LF line ends; a lone
// CR is an ordinary character), each line stripped of leading and trailing blanks
// (the space character only) and followed by CR LF. Throws lirovox::Error naming the
// file when it cannot be opened or read.
std::string ReadLyricText(const std::string& path);

// The notepad text of "Ready": as ReadLyricText, but the lines are kept exactly as they
// stand (no trimming). Throws lirovox::Error naming the file.
std::string ReadSyllableListText(const std::string& path);

// "Hyphenation 1" split (Italian rules): rebuilds the list from the notepad text. With
// otherLang true it hands the whole job to OtherLanguage, as a later "Synchronize TXT"
// does after "Hyphenation 2".
SyllableImport ImportTXT(const std::string& notepadText, bool otherLang = false);

// "Hyphenation 2" split: words of up to eight characters stay whole; longer words are
// split by the bare window and tail rules, without the Italian repairs and without a
// trailing blank on their last syllable.
SyllableImport OtherLanguage(const std::string& notepadText);

// "Ready": a text already split into syllables, one entry per line, lines taken exactly
// as they stand. Accepts either the notepad text from ReadSyllableListText or a decoded
// file text with CR LF or LF line ends (both give the same list): the text is read line
// by line, every line followed by CR LF, and that text is split at CR LF, so the list
// ends with one empty entry. The caller binds the list to the notes afterwards.
SyllableImport ReadReadyList(const std::string& fileText);

// The word as the splitting sees it: cut just before its first separator (",", ".",
// ";", ":", "*", "-", "_", "..."); empty when the word begins with one.
std::string_view CutAtSeparator(std::string_view word);

// The syllable list as text: each entry followed by CR LF, the last one included (the
// notepad text after a double click on the window, and the file "Save TXT File"
// writes from it). An empty list gives an empty text.
std::string ListToText(const std::vector<std::string>& list);

}  // namespace lirovox::lyrics
