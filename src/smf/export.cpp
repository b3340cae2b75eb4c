#include "smf/export.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

#include "smf/track.h"
#include "util/file_io.h"

namespace lirovox::smf {

namespace {

constexpr size_t kHeaderSize = 14;
constexpr uint64_t kMaxVlq = 0x0FFFFFFF;  // the largest value four VLQ bytes hold
constexpr double kNever = std::numeric_limits<double>::infinity();

int VlqLength(uint32_t v) {
    int n = 1;
    while (v >>= 7) ++n;
    return n;
}

bool IsChannelStatus(uint8_t status) { return status >= 0x80 && status <= 0xEF; }

// A note's tick as a whole, non-negative number of ticks.
uint64_t WholeTicks(double tick) {
    if (!(tick > 0)) return 0;
    return static_cast<uint64_t>(std::llround(tick));
}

// The output file, written through a position into a buffer that grows when needed
// (most writes are a few bytes; this keeps each to a compare and a few stores).
class Writer {
public:
    Writer(size_t estimate, const std::string& fileName) : fileName_(fileName) {
        buf_.resize(std::max<size_t>(estimate, 64));
    }

    void Byte(uint8_t b) {
        *Room(1) = static_cast<char>(b);
        ++n_;
    }

    void Bytes(const char* p, size_t k) {
        char* d = Room(k);
        if (k <= 16) {
            for (size_t i = 0; i < k; ++i) d[i] = p[i];  // most runs are an event or two
        } else {
            std::memcpy(d, p, k);
        }
        n_ += k;
    }

    // Bytes [begin, end) of the source, copied unchanged. A short run is copied as one
    // 16-byte block when the source has that many bytes left; the bytes past the run are
    // overwritten by the next write.
    void Copy(const std::string& src, size_t begin, size_t end) {
        const size_t k = end - begin;
        if (k <= 16 && src.size() - begin >= 16) {
            std::memcpy(Room(16), src.data() + begin, 16);
            n_ += k;
        } else {
            Bytes(src.data() + begin, k);
        }
    }

    void Vlq(uint32_t v) {
        char* d = Room(5);
        if (v < 0x80) {
            d[0] = static_cast<char>(v);
            ++n_;
            return;
        }
        char tmp[5];
        int k = 0;
        tmp[k++] = static_cast<char>(v & 0x7F);
        while (v >>= 7) tmp[k++] = static_cast<char>(0x80 | (v & 0x7F));
        n_ += static_cast<size_t>(k);
        while (k--) *d++ = tmp[k];
    }

    void Delta(uint64_t ticks) {
        if (ticks > kMaxVlq) [[unlikely]] DeltaTooLarge(ticks);
        Vlq(static_cast<uint32_t>(ticks));
    }

    void Meta(uint64_t delta, uint8_t type, const std::string& text) {
        const size_t k = text.size();
        if (delta == 0 && k < 0x80) {
            // Delta 0 and a one-byte length: the inline syllable.
            char* d = Room(4 + k);
            d[0] = 0;
            d[1] = static_cast<char>(0xFF);
            d[2] = static_cast<char>(type);
            d[3] = static_cast<char>(k);
            n_ += 4;
            Bytes(text.data(), k);
            return;
        }
        if (k > kMaxVlq) [[unlikely]] TextTooLong();
        Delta(delta);
        Byte(0xFF);
        Byte(type);
        Vlq(static_cast<uint32_t>(text.size()));
        Bytes(text.data(), text.size());
    }

    // "MTrk" and a length to be filled in by EndChunk.
    size_t BeginChunk() {
        Bytes("MTrk", 4);
        const size_t at = n_;
        Bytes("\0\0\0\0", 4);
        return at;
    }

    void EndChunk(size_t lengthAt) {
        const size_t length = n_ - (lengthAt + 4);
        if (length > 0xFFFFFFFFu) throw Error("cannot export \"" + fileName_ + "\": a track is too long");
        for (int i = 0; i < 4; ++i) {
            buf_[lengthAt + static_cast<size_t>(i)] = static_cast<char>((length >> (8 * (3 - i))) & 0xFF);
        }
    }

    std::string Take() {
        buf_.resize(n_);
        return std::move(buf_);
    }

private:
    char* Room(size_t k) {
        if (k > buf_.size() - n_) [[unlikely]] Grow(k);
        return buf_.data() + n_;
    }

    [[gnu::noinline]] void Grow(size_t k) { buf_.resize(std::max(buf_.size() * 2, n_ + k)); }

    [[noreturn, gnu::noinline]] void DeltaTooLarge(uint64_t ticks) const {
        throw Error("cannot export \"" + fileName_ + "\": a delta time of " + std::to_string(ticks) +
                    " ticks does not fit in a MIDI file");
    }

    [[noreturn, gnu::noinline]] void TextTooLong() const {
        throw Error("cannot export \"" + fileName_ + "\": a syllable is too long for a MIDI file");
    }

    std::string buf_;
    size_t n_ = 0;
    const std::string& fileName_;
};

// Copies the events of one track (from `pos`, the first byte after its chunk header) to
// the writer. Unchanged events are copied as runs of source bytes; an event is written
// anew only when its delta time or status byte must change. With `notes` (format 0) the
// credit notice leads the track and the syllables are written inline. Returns the
// position after the track's end-of-track event.
class TrackCopy {
public:
    TrackCopy(const Song& song, const std::string& src, Writer& w, bool dropLyrics, bool inlineSyllables)
        : song_(song), src_(src), w_(w), dropLyrics_(dropLyrics), inline_(inlineSyllables) {}

    size_t Run(size_t pos) {
        TrackParser parser(src_, pos, song_.FilePath);
        TrackEvent ev;
        size_t runBegin = pos;  // source bytes from here on are still to be copied
        auto flush = [&](size_t upTo) { w_.Copy(src_, runBegin, upTo); };
        if (inline_) {
            w_.Meta(0, 0x02, kCreditNotice);
            needStatus_ = true;
        }
        const int lastNote = UBound(song_.Notes);
        auto nextTick = [&] {
            return inline_ && k_ <= lastNote ? song_.Notes[static_cast<size_t>(k_)].Tick : kNever;
        };
        double due = nextTick();  // tick of the next inline syllable
        while (parser.Next(ev)) {
            if (dropLyrics_ && ev.MetaType == 5) {
                flush(ev.Begin);
                runBegin = ev.End;
                carry_ += ev.Delta;
                needStatus_ = true;
                continue;
            }
            if (ev.EndOfTrack && inline_ && k_ <= lastNote) {
                // Syllables whose notes lie past the last event: written at their own
                // ticks before the end of track, which then follows the last of them.
                flush(ev.Begin);
                for (; k_ <= lastNote; ++k_) {
                    const NoteRec& note = song_.Notes[static_cast<size_t>(k_)];
                    uint64_t at = std::max(WholeTicks(note.Tick), outTick_);
                    w_.Meta(at - outTick_, 0x05, InlineText(note.Text));
                    outTick_ = at;
                }
                const uint64_t end = parser.Ticks();
                w_.Delta(end > outTick_ ? end - outTick_ : 0);
                w_.Copy(src_, ev.MessageBegin, ev.End);
                runBegin = ev.End;
                carry_ = 0;
                break;
            }
            // A format-0 copy writes every delta re-encoded from its value; that changes
            // the bytes only where the source used more bytes than needed.
            const size_t deltaBytes = ev.MessageBegin - ev.Begin;
            const bool newDelta =
                carry_ != 0 || (inline_ && deltaBytes > 1 && deltaBytes != static_cast<size_t>(VlqLength(ev.Delta)));
            const bool newStatus = needStatus_ && ev.Running && IsChannelStatus(ev.Status);
            if (newDelta || newStatus) {
                flush(ev.Begin);
                if (newDelta) {
                    w_.Delta(carry_ + ev.Delta);
                } else {
                    w_.Copy(src_, ev.Begin, ev.MessageBegin);
                }
                if (newStatus) w_.Byte(ev.Status);
                w_.Copy(src_, ev.MessageBegin, ev.End);
                runBegin = ev.End;
            }
            carry_ = 0;
            if (ev.Running || IsChannelStatus(ev.First)) needStatus_ = false;
            outTick_ = parser.Ticks();
            if (due <= static_cast<double>(outTick_) && !ev.EndOfTrack) {
                flush(ev.End);
                runBegin = ev.End;
                do {
                    w_.Meta(0, 0x05, InlineText(song_.Notes[static_cast<size_t>(k_)].Text));
                    ++k_;
                    due = nextTick();
                } while (due <= static_cast<double>(outTick_));
                needStatus_ = true;
            }
        }
        flush(parser.Position());
        return parser.Position();
    }

private:
    static const std::string& InlineText(const std::string& text) {
        static const std::string kBlank = " ";
        return text.empty() ? kBlank : text;
    }

    const Song& song_;
    const std::string& src_;
    Writer& w_;
    bool dropLyrics_;
    bool inline_;
    uint64_t carry_ = 0;
    bool needStatus_ = false;
    uint64_t outTick_ = 0;
    int k_ = 0;
};

size_t TrackStart(const std::string& src, size_t p, int track, int trackCount, const std::string& path) {
    if (p + 8 > src.size()) {
        throw Error("\"" + path + "\" is truncated: track " + std::to_string(track + 1) + " of " +
                    std::to_string(trackCount) + " is missing");
    }
    if (src.compare(p, 4, "MTrk") != 0) {
        throw Error("\"" + path + "\" is not a valid MIDI file: track " + std::to_string(track + 1) +
                    " does not begin with \"MTrk\" (byte " + std::to_string(p) + ")");
    }
    return p + 8;
}

}  // namespace

SameFileError::SameFileError() : Error("Same MIDI file, please choose another...") {}

std::string BuildKaraokeFile(const Song& song, const std::string& src) {
    const std::string& path = song.FilePath;
    if (src.size() < 4 || src.compare(0, 4, "MThd") != 0) {
        throw Error("\"" + path + "\" is not a MIDI file: it does not begin with \"MThd\"");
    }
    if (src.size() < kHeaderSize) throw Error("\"" + path + "\" is truncated: its header is shorter than 14 bytes");

    const bool multiTrack = ReadBigEndian(src, 8, 2) != 0;
    const int trackCount = static_cast<int>(ReadBigEndian(src, 10, 2));
    const bool dropLyrics = song.HasWords;

    size_t estimate = src.size() + src.size() / 8 + 128;
    for (const NoteRec& note : song.Notes) estimate += note.Text.size() + 8;
    Writer w(estimate, path);

    w.Copy(src, 0, 10);
    uint32_t newCount = 1;  // a format-0 copy holds exactly the one track that is read
    if (multiTrack) {
        if (trackCount >= 0xFFFF) {
            throw Error("cannot export \"" + path + "\": it already holds " + std::to_string(trackCount) +
                        " tracks, the most a MIDI file can hold");
        }
        newCount = static_cast<uint32_t>(trackCount + 1);
    }
    w.Byte(static_cast<uint8_t>(newCount >> 8));
    w.Byte(static_cast<uint8_t>(newCount & 0xFF));
    w.Copy(src, 12, 14);

    size_t p = kHeaderSize;
    const int copied = multiTrack ? trackCount : 1;
    for (int t = 0; t < copied; ++t) {
        size_t events = TrackStart(src, p, t, copied, path);
        size_t lengthAt = w.BeginChunk();
        TrackCopy copy(song, src, w, dropLyrics, !multiTrack);
        p = copy.Run(events);
        w.EndChunk(lengthAt);
    }

    if (multiTrack) {
        size_t lengthAt = w.BeginChunk();
        w.Meta(0, 0x02, kCreditNotice);
        uint64_t position = 0;
        for (const NoteRec& note : song.Notes) {
            const uint64_t tick = WholeTicks(note.Tick);
            // A record earlier than the one written before it (melody notes in two
            // tracks) is written at delta 0 rather than at a negative delta.
            const uint64_t delta = tick > position ? tick - position : 0;
            w.Meta(delta, 0x05, note.Text);
            position += delta;
        }
        w.Bytes("\x00\xFF\x2F\x00", 4);
        w.EndChunk(lengthAt);
    }
    return w.Take();
}

std::string KaraokeFileName(const std::string& chosenName) {
    if (chosenName.find(".mid") == std::string::npos) return chosenName + ".mid";
    return chosenName;
}

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    if (ResolvePath(a) == ResolvePath(b)) return true;
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;  // hard links to one file
}

}  // namespace

std::string ExportKaraoke(const Song& song, const std::string& chosenName) {
    const std::string target = KaraokeFileName(chosenName);
    if (song.List1.empty()) {
        throw Error("nothing to export to \"" + target + "\": the syllable list is empty");
    }
    if (SameFile(target, song.FilePath)) throw SameFileError();
    const std::string source = ReadWholeFile(song.FilePath);
    WriteFileAtomically(target, BuildKaraokeFile(song, source));
    return target;
}

}  // namespace lirovox::smf
