#pragma once
// Walking the events of one track chunk with the reader's message rules; shared by the
// reader and the karaoke export so both see exactly the same events.

#include <cstddef>
#include <cstdint>
#include <string>

namespace lirovox::smf {

// Big-endian numbers and variable-length quantities.
uint32_t ReadBigEndian(const std::string& data, size_t pos, int bytes);
void AppendBigEndian(std::string& out, uint32_t value, int bytes);
void AppendVlq(std::string& out, uint32_t value);

struct TrackEvent {
    uint32_t Delta = 0;         // delta time in ticks
    size_t Begin = 0;           // offset of the delta time
    size_t MessageBegin = 0;    // offset of the first byte after the delta time (S)
    size_t End = 0;             // one past the event's last byte
    uint8_t First = 0;          // S
    uint8_t Status = 0;         // status in force: S, or the running status for data bytes
    bool Running = false;       // S was a data byte (running status)
    int MetaType = -1;          // type byte of a meta event (S = 0xFF), else -1
    size_t DataBegin = 0;       // meta/sysex payload offset
    uint32_t DataLength = 0;    // meta/sysex payload length
    uint8_t Data1 = 0, Data2 = 0;  // channel message data bytes (Data2 0 when absent)
    bool EndOfTrack = false;    // FF 2F
};

// Parses events from `pos` (the first byte after a track's 8-byte chunk header). The
// track ends at its end-of-track event. Throws lirovox::Error (naming `fileName`) when an
// event runs past the end of the data or a VLQ is longer than 4 bytes.
class TrackParser {
public:
    TrackParser(const std::string& data, size_t pos, const std::string& fileName);

    // Reads the next event into `ev`; false once the end-of-track event has been read.
    bool Next(TrackEvent& ev) {
        // Most events are channel messages after a one-byte delta time: read those here,
        // inline, and everything else (and anything near the end of the data) the long way.
        if (!ended_ && pos_ + 4 < data_.size()) [[likely]] {
            const auto* p = reinterpret_cast<const uint8_t*>(data_.data()) + pos_;
            const uint8_t delta = p[0];
            const uint8_t s = p[1];
            if (delta < 0x80 && s <= 0xEF) {
                const bool running = s < 0x80;
                const uint8_t status = running ? runningStatus_ : s;
                const bool oneDataByte = status >= 0xC0 && status <= 0xDF;
                ev.Begin = pos_;
                ev.Delta = delta;
                ev.MessageBegin = pos_ + 1;
                ev.First = s;
                ev.Status = status;
                ev.Running = running;
                ev.MetaType = -1;
                ev.DataBegin = 0;
                ev.DataLength = 0;
                ev.EndOfTrack = false;
                size_t used;
                if (running) {
                    ev.Data1 = s;
                    ev.Data2 = oneDataByte ? 0 : p[2];
                    used = oneDataByte ? 2 : 3;
                } else {
                    runningStatus_ = s;
                    ev.Data1 = p[2];
                    ev.Data2 = oneDataByte ? 0 : p[3];
                    used = oneDataByte ? 3 : 4;
                }
                pos_ += used;
                ev.End = pos_;
                ticks_ += delta;
                return true;
            }
        }
        return NextSlow(ev);
    }

    size_t Position() const { return pos_; }
    uint64_t Ticks() const { return ticks_; }  // absolute ticks after the last event read

private:
    bool NextSlow(TrackEvent& ev);
    // Reads a VLQ length and steps over that many payload bytes (sysex, meta data).
    void SkipPayload(TrackEvent& ev, const char* what);
    uint32_t ReadVlq(const char* what) {
        // Most delta times and lengths are a single byte.
        if (pos_ < data_.size()) [[likely]] {
            uint8_t b = static_cast<uint8_t>(data_[pos_]);
            if (!(b & 0x80)) {
                ++pos_;
                return b;
            }
        }
        return ReadLongVlq(what);
    }
    uint32_t ReadLongVlq(const char* what);
    uint8_t ReadByte(const char* what) {
        if (pos_ >= data_.size()) [[unlikely]] ThrowTruncated(what);
        return static_cast<uint8_t>(data_[pos_++]);
    }
    [[noreturn]] void ThrowTruncated(const char* what) const;

    const std::string& data_;
    size_t pos_;
    const std::string& fileName_;
    uint8_t runningStatus_ = 0;
    uint64_t ticks_ = 0;
    bool ended_ = false;
};

}  // namespace lirovox::smf
