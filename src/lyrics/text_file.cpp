#include "lyrics/text_file.h"

#include <cstdint>

namespace lirovox::lyrics {

namespace {

// Length of the UTF-8 sequence starting at `lead`, or 0 for a byte that cannot start one.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;  // continuation byte, overlong lead C0/C1, or beyond U+10FFFF
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes the well-formed sequence at `p` of length `len`.
uint32_t DecodeSequence(const unsigned char* p, int len) {
    switch (len) {
        case 1: return p[0];
        case 2: return (uint32_t(p[0] & 0x1F) << 6) | (p[1] & 0x3F);
        case 3: return (uint32_t(p[0] & 0x0F) << 12) | (uint32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
        default:
            return (uint32_t(p[0] & 0x07) << 18) | (uint32_t(p[1] & 0x3F) << 12) |
                   (uint32_t(p[2] & 0x3F) << 6) | (p[3] & 0x3F);
    }
}

// Appends the Latin-1 form of one character: itself within Latin-1, the typographic
// quotes, ellipsis and dashes as their plain equivalents, anything else as "?".
void AppendLatin1(uint32_t cp, std::string& out) {
    if (cp <= 0xFF) {
        out.push_back(static_cast<char>(cp));
        return;
    }
    switch (cp) {
        case 0x2018:  // ‘
        case 0x2019:  // ’
            out.push_back('\'');
            return;
        case 0x201C:  // “
        case 0x201D:  // ”
            out.push_back('"');
            return;
        case 0x2026:  // …
            out.append("...");
            return;
        case 0x2013:  // –
        case 0x2014:  // —
            out.push_back('-');
            return;
        default:
            out.push_back('?');
            return;
    }
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        unsigned char lead = p[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int len = SequenceLength(lead);
        if (len == 0 || i + static_cast<size_t>(len) > n) return false;
        for (int k = 1; k < len; ++k) {
            if (!IsContinuation(p[i + k])) return false;
        }
        // The second byte's range rules out overlong forms, surrogates and values
        // beyond U+10FFFF.
        unsigned char second = p[i + 1];
        if (lead == 0xE0 && second < 0xA0) return false;
        if (lead == 0xED && second > 0x9F) return false;
        if (lead == 0xF0 && second < 0x90) return false;
        if (lead == 0xF4 && second > 0x8F) return false;
        i += static_cast<size_t>(len);
    }
    return true;
}

std::string DecodeLyricBytes(std::string_view bytes) {
    bool hasNonAscii = false;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            hasNonAscii = true;
            break;
        }
    }
    if (!hasNonAscii || !IsValidUtf8(bytes)) return std::string(bytes);

    std::string_view rest = bytes;
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
    std::string out;
    out.reserve(rest.size());
    const auto* p = reinterpret_cast<const unsigned char*>(rest.data());
    size_t i = 0;
    while (i < rest.size()) {
        int len = SequenceLength(p[i]);  // never 0: the text was checked above
        AppendLatin1(DecodeSequence(p + i, len), out);
        i += static_cast<size_t>(len);
    }
    return out;
}

std::vector<std::string> SplitFileLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        size_t end = lf;
        if (end > start && text[end - 1] == '\r') --end;  // CR LF
        lines.emplace_back(text.substr(start, end - start));
        start = lf + 1;
    }
    return lines;
}

std::string_view TrimBlanks(std::string_view line) {
    size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    size_t last = line.find_last_not_of(' ');
    return line.substr(first, last - first + 1);
}

std::string LinesToNotepad(const std::vector<std::string>& lines, bool trimBlanks) {
    std::string text;
    size_t total = 0;
    for (const std::string& line : lines) total += line.size() + 2;
    text.reserve(total);
    for (const std::string& line : lines) {
        text.append(trimBlanks ? TrimBlanks(line) : std::string_view(line));
        text.append("\r\n");
    }
    return text;
}

std::string NotepadFromFileBytes(std::string_view bytes, bool trimBlanks) {
    return LinesToNotepad(SplitFileLines(DecodeLyricBytes(bytes)), trimBlanks);
}

std::vector<std::string_view> SplitAtCrLf(std::string_view text) {
    std::vector<std::string_view> pieces;
    if (text.empty()) return pieces;
    size_t start = 0;
    for (;;) {
        size_t at = text.find("\r\n", start);
        if (at == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, at - start));
        start = at + 2;
    }
}

std::vector<std::string_view> SplitAtBlanks(std::string_view piece) {
    std::vector<std::string_view> words;
    if (piece.empty()) return words;
    size_t start = 0;
    for (;;) {
        size_t at = piece.find(' ', start);
        if (at == std::string_view::npos) {
            words.push_back(piece.substr(start));
            return words;
        }
        words.push_back(piece.substr(start, at - start));
        start = at + 1;
    }
}

}  // namespace lirovox::lyrics
