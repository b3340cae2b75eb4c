#pragma once
// Lyric text files: decoding their bytes into Latin-1 text and cutting text into lines,
// pieces and words the way the lyric import reads them.
//
// Encoding: a file that is valid UTF-8 and holds at least one non-ASCII character is
// decoded as UTF-8 (a leading byte-order mark dropped) and converted to Latin-1:
// ’ and ‘ become ', “ and ” become ", … becomes ..., – and — become -, and any other
// character outside Latin-1 becomes ?. Any other file is taken as Latin-1 bytes as they
// stand. The result is always Latin-1, one byte per character.
//
// "Blank" is the space character only; tab and no-break space are ordinary characters.

#include <string>
#include <string_view>
#include <vector>

namespace lirovox::lyrics {

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// The file's bytes as Latin-1 text by the encoding rule above.
std::string DecodeLyricBytes(std::string_view bytes);

// The lines of a text read line by line: a line ends at CR LF or at LF alone; a lone CR
// is an ordinary character of the line. A last line without a line end is a line too;
// a line end at the very end of the text does not start another line, and an empty
// text has no line.
std::vector<std::string> SplitFileLines(std::string_view text);

// The line without its leading and trailing blanks.
std::string_view TrimBlanks(std::string_view line);

// The notepad text of a file's lines: each line (stripped of leading and trailing
// blanks when `trimBlanks`) followed by CR LF.
std::string LinesToNotepad(const std::vector<std::string>& lines, bool trimBlanks);

// The notepad text of a lyric file's bytes: decoded, read line by line, lines trimmed
// when `trimBlanks`.
std::string NotepadFromFileBytes(std::string_view bytes, bool trimBlanks);

// The pieces of a text split at every CR LF: a text ending in CR LF gives one last,
// empty piece; an empty text gives no piece at all.
std::vector<std::string_view> SplitAtCrLf(std::string_view text);

// The words of a piece split at every single blank: two blanks in a row give an empty
// word between them; an empty piece gives no word at all.
std::vector<std::string_view> SplitAtBlanks(std::string_view piece);

}  // namespace lirovox::lyrics
