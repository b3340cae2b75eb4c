#include "smf/reader.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "smf/track.h"
#include "util/error.h"
#include "util/file_io.h"
#include "util/numeric.h"

namespace lirovox::smf {

namespace {

constexpr size_t kHeaderSize = 14;

[[noreturn]] void Fail(const std::string& path, const std::string& problem) {
    throw Error("\"" + path + "\" " + problem);
}

uint8_t At(const std::string& d, size_t i) { return static_cast<uint8_t>(d[i]); }

// First tempo event anywhere in the file: FF 51, then the length byte, then 3 bytes.
void FindTempo(Song& song, const std::string& path) {
    const std::string& d = song.FileData;
    song.TempoUs = 500000;
    size_t pos = 0;
    for (;;) {
        pos = d.find("\xFF\x51", pos, 2);
        if (pos == std::string::npos) return;
        if (pos + 5 >= d.size()) Fail(path, "is truncated: its tempo event runs past the end of the file");
        song.TempoUs = (At(d, pos + 3) << 16) | (At(d, pos + 4) << 8) | At(d, pos + 5);
        if (song.TempoUs == 0) Fail(path, "has a tempo of 0 microseconds per quarter note");
        return;
    }
}

// Whether the chunk data [begin, end) marks a lyric track: it holds the track name
// "Words" (FF 03 05 "Words"), or 50 or more FF 05 pairs. One pass over its FF bytes.
bool ChunkHasWords(const std::string& d, size_t begin, size_t end) {
    static constexpr std::string_view kWordsName("\xFF\x03\x05Words", 8);
    const char* base = d.data();
    int lyricPairs = 0;
    size_t pos = begin;
    while (pos + 1 < end) {
        const void* hit = std::memchr(base + pos, 0xFF, end - 1 - pos);
        if (!hit) break;
        const size_t i = static_cast<size_t>(static_cast<const char*>(hit) - base);
        const uint8_t next = At(d, i + 1);
        if (next == 0x05) {
            if (++lyricPairs >= 50) return true;
        } else if (next == 0x03 && end - i >= kWordsName.size() &&
                   std::string_view(base + i, kWordsName.size()) == kWordsName) {
            return true;
        }
        pos = i + 1;
    }
    return false;
}

// Lyric-track detection: a track named "Words", or a track with 50 or more lyric events.
bool DetectWords(const std::string& d, const std::string& path) {
    size_t p = kHeaderSize;
    while (p + 8 <= d.size()) {
        uint32_t length = ReadBigEndian(d, p + 4, 4);
        size_t begin = p + 8;
        if (length > d.size() - begin) {
            Fail(path, "is truncated: the chunk at byte " + std::to_string(p) + " claims " +
                           std::to_string(length) + " bytes but the file ends before");
        }
        if (ChunkHasWords(d, begin, begin + length)) return true;
        p = begin + length;
    }
    return false;
}

// The mixer values of every channel, by searching the raw bytes.
void FindMixerValues(Song& song) {
    const std::string& d = song.FileData;
    const size_t size = d.size();
    const char* base = d.data();

    // How often each byte value occurs: one branch-free pass, eight bytes per load, in four
    // interleaved tables so that repeated bytes do not wait on each other.
    uint32_t counts[4][256] = {};
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t w;
        std::memcpy(&w, base + i, 8);
        ++counts[0][w & 0xFF];
        ++counts[1][(w >> 8) & 0xFF];
        ++counts[2][(w >> 16) & 0xFF];
        ++counts[3][(w >> 24) & 0xFF];
        ++counts[0][(w >> 32) & 0xFF];
        ++counts[1][(w >> 40) & 0xFF];
        ++counts[2][(w >> 48) & 0xFF];
        ++counts[3][w >> 56];
    }
    for (; i < size; ++i) ++counts[0][At(d, i)];
    uint32_t seen[256];
    for (int b = 0; b < 256; ++b) seen[b] = counts[0][b] + counts[1][b] + counts[2][b] + counts[3][b];
    // Every melody note with its own status byte shows as a 0x93: room for them at once.
    // (A note takes at least 3 bytes, so a file of nothing but 0x93 reserves no more than
    // its notes could need.)
    song.MelodyNotes.reserve(std::min<size_t>(seen[0x93], size / 3) + 1);
    // Likewise every lyric event holds an FF and a 05 in its at least 4 bytes: room for
    // the lyric tables, so that they never move while they fill.
    const size_t lyricBound = std::min<size_t>({seen[0xFF], seen[0x05], size / 4}) + 1;
    song.LyricEvents.reserve(lyricBound);
    song.LyricRecs.reserve(lyricBound);
    song.List1.reserve(lyricBound);

    for (int c = 0; c < 16; ++c) {
        ChannelRec& ch = song.Channels[static_cast<size_t>(c)];
        ch.ChannelNo = seen[0x90 + c] ? static_cast<int16_t>(c + 1) : -1;
        ch.Reverb = 100;
        ch.Volume = 100;

        // Program: from byte 22 (offset 21) on, the first 0xC0+c whose next byte is not 0.
        const char program = static_cast<char>(0xC0 + c);
        if (seen[0xC0 + c]) {
            for (size_t pos = 21; pos + 1 < size;) {
                const void* hit = std::memchr(base + pos, program, size - 1 - pos);
                if (!hit) break;
                size_t i = static_cast<size_t>(static_cast<const char*>(hit) - base);
                if (At(d, i + 1) != 0) {
                    ch.Program = At(d, i + 1);
                    break;
                }
                pos = i + 1;
            }
        }

        // Controllers: the first pair 0xB0+c, 91 (reverb) or 7 (volume) whose value is
        // 1..126; pan from the first pair 0xB0+c, 10, or the next one when that value is 0
        // or above 127.
        if (!seen[0xB0 + c]) continue;
        const char control = static_cast<char>(0xB0 + c);
        bool reverbFound = false, volumeFound = false;
        int panState = 0;  // 0 none seen, 1 first pair was out of range, 2 decided
        for (size_t pos = 0; pos + 2 < size && !(reverbFound && volumeFound && panState == 2);) {
            const void* hit = std::memchr(base + pos, control, size - 2 - pos);
            if (!hit) break;
            size_t i = static_cast<size_t>(static_cast<const char*>(hit) - base);
            uint8_t controller = At(d, i + 1);
            uint8_t value = At(d, i + 2);
            if (controller == 91 && !reverbFound && value >= 1 && value <= 126) {
                reverbFound = true;
                ch.Reverb = value;
            } else if (controller == 7 && !volumeFound && value >= 1 && value <= 126) {
                volumeFound = true;
                ch.Volume = value;
            } else if (controller == 10 && panState < 2) {
                if (panState == 1 || (value != 0 && value <= 127)) {
                    ch.Pan = value;
                    panState = 2;
                } else {
                    panState = 1;
                }
            }
            pos = i + 1;
        }
    }
}

// What the length and meter need from every track: its end tick and its time signatures.
struct MeterScan {
    uint64_t lastTick = 0;
    double bestTime = -1;  // music time of the time signature in force at 2000

    void SeeTimeSignature(Song& song, uint64_t tick, uint8_t num, uint8_t denPower) {
        double musicTime = static_cast<double>(tick) * kMusicPpq / song.Division;
        if (musicTime <= 2000 && musicTime >= bestTime && num > 0 && denPower < 8) {
            bestTime = musicTime;
            song.TimeSigNum = num;
            song.TimeSigDen = 1 << denPower;
        }
    }
};

// The next entry of a table that grows one entry at a time: `index` is at most its size,
// and entry 0 already exists (the zeroed element of a reset table).
template <class T>
T& Entry(std::vector<T>& table, int index) {
    const auto i = static_cast<size_t>(index);
    return i < table.size() ? table[i] : table.emplace_back();
}

// The tables built from the events of the tracks, one event at a time.
class TableBuilder {
public:
    TableBuilder(Song& song) : song_(song) {}

    void AddMelodyNote(uint8_t note, double ticks, double timeMs) {
        NoteRec& rec = Entry(song_.MelodyNotes, n_++);
        rec.Note = note;
        rec.Tick = ticks;
        rec.Time = timeMs;
    }

    // A lyric event: a syllable, or a line break when its text holds a carriage return.
    // Kept out of the event loop, which is mostly notes.
    [[gnu::noinline]] void AddLyric(std::string_view text, double ticks, double timeMs) {
        LyricRec& r = Entry(song_.LyricRecs, k_);
        if (text.find('\r') != std::string_view::npos) {
            song_.List1.emplace_back("---");
            NoteRec& e = Entry(song_.LyricEvents, m_++);
            e.Text.assign(1, kLineBreakText[0]);
            e.Mark = 13.0;
            ++line_;
            pos_ = 0;
            Entry(song_.LyricLines, line_).clear();
            r.Text.clear();
            r.Length = 0;
            r.CharPos = 0;
            r.Time = timeMs;
            r.Line = static_cast<int16_t>(line_);
            pendingBreak_ = true;
        } else {
            // A line break shows from the time of the syllable after it.
            if (pendingBreak_) {
                pendingBreak_ = false;
                song_.LyricRecs[static_cast<size_t>(k_ - 1)].Time = timeMs;
            }
            r.Text = text;
            r.Length = static_cast<int16_t>(text.size());
            r.CharPos = pos_;
            r.Time = timeMs;
            r.Line = static_cast<int16_t>(line_);
            r.Tick = ticks;
            song_.LyricLines[static_cast<size_t>(line_)] += text;
            song_.List1.emplace_back(text);
            NoteRec& e = Entry(song_.LyricEvents, m_++);
            e.Text = text;
            e.Tick = ticks;
            e.Time = timeMs;
            pos_ += static_cast<int32_t>(text.size());
        }
        ++k_;
    }

    void Finish() {
        song_.Notes = song_.MelodyNotes;
        song_.NoteCount = n_;
        song_.HyphenCount = m_ - line_;
        song_.LineCount = line_;
        song_.LyricEventCount = m_;
        song_.LyricRecCount = k_;
    }

private:
    Song& song_;
    int n_ = 0;  // melody notes
    int m_ = 0;  // lyric events
    int k_ = 0;  // lyric records
    int line_ = 0;
    int32_t pos_ = 0;  // characters of the current line so far
    bool pendingBreak_ = false;
};

// The chunk and event parse building the tables.
void ParseTracks(Song& song, const std::string& path, MeterScan& meter) {
    const std::string& d = song.FileData;
    const int trackCount = song.MultiTrack ? song.TrackCount : 1;
    const double msPerTick = song.MsPerTick;
    TableBuilder tables(song);
    size_t p = kHeaderSize;
    for (int t = 0; t < trackCount; ++t) {
        if (p + 8 > d.size()) {
            Fail(path, "is truncated: track " + std::to_string(t + 1) + " of " +
                           std::to_string(trackCount) + " is missing");
        }
        if (d.compare(p, 4, "MTrk") != 0) {
            Fail(path, "is not a valid MIDI file: track " + std::to_string(t + 1) +
                           " does not begin with \"MTrk\" (byte " + std::to_string(p) + ")");
        }
        TrackParser parser(d, p + 8, path);
        double timeMs = 0;
        parser.Walk([&](const TrackEvent& ev, uint64_t ticks) {
            timeMs += ev.Delta * msPerTick;
            const bool channelMessage = ev.Running || (ev.First >= 0x80 && ev.First <= 0xEF);
            if (channelMessage) {
                if (ev.Status == 0x93 && ev.Data2 >= 1) {
                    tables.AddMelodyNote(ev.Data1, static_cast<double>(ticks), timeMs);
                }
            } else if (ev.MetaType == 0x58 && ev.DataLength >= 2) {
                meter.SeeTimeSignature(song, ticks, At(d, ev.DataBegin), At(d, ev.DataBegin + 1));
            } else if (ev.MetaType == 5) {
                tables.AddLyric(std::string_view(d.data() + ev.DataBegin, ev.DataLength),
                                static_cast<double>(ticks), timeMs);
            }
        });
        meter.lastTick = std::max<uint64_t>(meter.lastTick, parser.Ticks());
        p = parser.Position();  // the next chunk follows the end-of-track event directly
    }
    tables.Finish();
}

// Song length and time signature from every "MTrk" chunk of the file: the latest
// end-of-track tick, and the last time-signature event at or before music time 2000.
// The chunks the tables were read from are already in `meter`; further chunks (walked by
// their lengths) only count when they parse.
void FindLengthAndMeter(Song& song, const std::string& path, MeterScan& meter) {
    const std::string& d = song.FileData;
    size_t p = kHeaderSize;
    int parsedTracks = song.MultiTrack ? song.TrackCount : 1;
    for (int t = 0; p + 8 <= d.size(); ++t) {
        uint32_t length = ReadBigEndian(d, p + 4, 4);
        if (length > d.size() - (p + 8)) break;
        if (t >= parsedTracks && d.compare(p, 4, "MTrk") == 0) {
            try {
                TrackParser parser(d, p + 8, path);
                TrackEvent ev;
                while (parser.Next(ev)) {
                    if (ev.MetaType == 0x58 && ev.DataLength >= 2) {
                        meter.SeeTimeSignature(song, parser.Ticks(), At(d, ev.DataBegin), At(d, ev.DataBegin + 1));
                    }
                }
                meter.lastTick = std::max<uint64_t>(meter.lastTick, parser.Ticks());
            } catch (const Error&) {
                // Chunks beyond the ones the song is read from do not have to be valid.
            }
        }
        p += 8 + length;
    }
    double length = RoundHalfUp(static_cast<double>(meter.lastTick) * kMusicPpq / song.Division);
    song.LengthMusicTime = length > 2147483647.0 ? 2147483647 : static_cast<int32_t>(length);
    song.Bars = static_cast<int>(RoundHalfEven(song.LengthMusicTime / 3072.0 + 1));
}

}  // namespace

Song ParseSong(const std::string& path, std::string bytes) {
    Song song;
    song.FilePath = path;
    song.FileData = std::move(bytes);
    const std::string& d = song.FileData;
    if (d.size() < 4 || d.compare(0, 4, "MThd") != 0) Fail(path, "is not a MIDI file: it does not begin with \"MThd\"");
    if (d.size() < kHeaderSize) Fail(path, "is truncated: its header is shorter than 14 bytes");

    song.Format = static_cast<int>(ReadBigEndian(d, 8, 2));
    song.TrackCount = static_cast<int>(ReadBigEndian(d, 10, 2));
    uint32_t division = ReadBigEndian(d, 12, 2);
    if (division == 0) Fail(path, "has a division of 0 ticks per quarter note");
    if (division & 0x8000) Fail(path, "uses a time-code division (SMPTE), which is not supported");
    song.Division = static_cast<int>(division);
    song.TicksPerBar = song.Division * 4;
    song.MultiTrack = song.Format != 0;

    FindTempo(song, path);
    song.TicksPer16th = song.Division / 4.0;
    song.Bpm = static_cast<int>(RoundHalfEven(60000000.0 / song.TempoUs));
    song.BpmOriginal = song.Bpm;
    song.SongLengthBpm = song.Bpm;
    song.MsPerTick = song.TempoUs / song.TicksPer16th / 4000.0;
    song.HasWords = DetectWords(d, path);
    FindMixerValues(song);

    MeterScan meter;
    ParseTracks(song, path, meter);
    FindLengthAndMeter(song, path, meter);
    return song;
}

Song ReadSong(const std::string& path) { return ParseSong(path, ReadWholeFile(path)); }

}  // namespace lirovox::smf
