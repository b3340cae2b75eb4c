#include "smf/export.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "smf/track.h"
#include "util/file_io.h"

namespace lirovox::smf {

namespace {

constexpr size_t kHeaderSize = 14;
constexpr uint64_t kMaxVlq = 0x0FFFFFFF;  // the largest value four VLQ bytes hold

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

class Writer {
public:
    Writer(std::string& out, const std::string& fileName) : out_(out), fileName_(fileName) {}

    void Delta(uint64_t ticks) {
        if (ticks > kMaxVlq) {
            throw Error("cannot export \"" + fileName_ + "\": a delta time of " + std::to_string(ticks) +
                        " ticks does not fit in a MIDI file");
        }
        AppendVlq(out_, static_cast<uint32_t>(ticks));
    }

    void Meta(uint64_t delta, uint8_t type, const std::string& text) {
        Delta(delta);
        out_.push_back(static_cast<char>(0xFF));
        out_.push_back(static_cast<char>(type));
        AppendVlq(out_, static_cast<uint32_t>(text.size()));
        out_ += text;
    }

    // "MTrk" and a length to be filled in by EndChunk.
    size_t BeginChunk() {
        out_ += "MTrk";
        size_t at = out_.size();
        out_.append(4, '\0');
        return at;
    }

    void EndChunk(size_t lengthAt) {
        const size_t length = out_.size() - (lengthAt + 4);
        if (length > 0xFFFFFFFFu) throw Error("cannot export \"" + fileName_ + "\": a track is too long");
        for (int i = 0; i < 4; ++i) {
            out_[lengthAt + static_cast<size_t>(i)] = static_cast<char>((length >> (8 * (3 - i))) & 0xFF);
        }
    }

    std::string& Out() { return out_; }

private:
    std::string& out_;
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
        std::string& out = w_.Out();
        TrackParser parser(src_, pos, song_.FilePath);
        TrackEvent ev;
        size_t runBegin = pos;  // source bytes from here on are still to be copied
        auto flush = [&](size_t upTo) {
            out.append(src_, runBegin, upTo - runBegin);
        };
        if (inline_) {
            w_.Meta(0, 0x02, kCreditNotice);
            needStatus_ = true;
        }
        const int lastNote = UBound(song_.Notes);
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
                out.append(src_, ev.MessageBegin, ev.End - ev.MessageBegin);
                runBegin = ev.End;
                carry_ = 0;
                break;
            }
            const bool canonical = ev.MessageBegin - ev.Begin == static_cast<size_t>(VlqLength(ev.Delta));
            const bool newDelta = carry_ != 0 || (inline_ && !canonical);
            const bool newStatus = needStatus_ && ev.Running && IsChannelStatus(ev.Status);
            if (newDelta || newStatus) {
                flush(ev.Begin);
                if (newDelta) {
                    w_.Delta(carry_ + ev.Delta);
                } else {
                    out.append(src_, ev.Begin, ev.MessageBegin - ev.Begin);
                }
                if (newStatus) out.push_back(static_cast<char>(ev.Status));
                out.append(src_, ev.MessageBegin, ev.End - ev.MessageBegin);
                runBegin = ev.End;
            }
            carry_ = 0;
            if (ev.Running || IsChannelStatus(ev.First)) needStatus_ = false;
            outTick_ = parser.Ticks();
            if (inline_ && !ev.EndOfTrack) {
                bool flushed = false;
                while (k_ <= lastNote && song_.Notes[static_cast<size_t>(k_)].Tick <= static_cast<double>(outTick_)) {
                    if (!flushed) {
                        flush(ev.End);
                        runBegin = ev.End;
                        flushed = true;
                    }
                    w_.Meta(0, 0x05, InlineText(song_.Notes[static_cast<size_t>(k_)].Text));
                    ++k_;
                    needStatus_ = true;
                }
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

    std::string out;
    out.reserve(src.size() + song.Notes.size() * 12 + 128);
    Writer w(out, path);

    out.append(src, 0, 10);
    if (multiTrack) {
        if (trackCount >= 0xFFFF) {
            throw Error("cannot export \"" + path + "\": it already holds " + std::to_string(trackCount) +
                        " tracks, the most a MIDI file can hold");
        }
        AppendBigEndian(out, static_cast<uint32_t>(trackCount + 1), 2);
    } else {
        AppendBigEndian(out, 1, 2);  // the copy holds exactly the one track that is read
    }
    out.append(src, 12, 2);

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
        w.Delta(0);
        out += "\xFF\x2F";
        out.push_back('\0');
        w.EndChunk(lengthAt);
    }
    return out;
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
