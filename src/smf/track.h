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
        if (!ended_ && pos_ + 4 < data_.size()) [[likely]] {
            if (const size_t used = ReadShortMessage(Bytes() + pos_, pos_, runningStatus_, ev)) {
                pos_ += used;
                ticks_ += ev.Delta;
                return true;
            }
        }
        return NextSlow(ev);
    }

    // Calls `onEvent(const TrackEvent&, uint64_t ticks)` for every event up to and including
    // the end-of-track event, `ticks` being the absolute ticks after the event. The same
    // events as repeated `Next` calls, with the cursor held in locals on the common path.
    template <class OnEvent>
    void Walk(OnEvent&& onEvent) {
        const uint8_t* bytes = Bytes();
        const size_t size = data_.size();
        size_t pos = pos_;
        uint64_t ticks = ticks_;
        uint8_t runningStatus = runningStatus_;
        bool ended = ended_;
        TrackEvent fast;  // never leaves this function, so it can live in registers
        TrackEvent slow;
        while (!ended) {
            if (pos + 4 < size) [[likely]] {
                if (const size_t used = ReadShortMessage(bytes + pos, pos, runningStatus, fast)) {
                    pos += used;
                    ticks += fast.Delta;
                    onEvent(static_cast<const TrackEvent&>(fast), ticks);
                    continue;
                }
            }
            pos_ = pos;
            ticks_ = ticks;
            runningStatus_ = runningStatus;
            NextSlow(slow);
            pos = pos_;
            ticks = ticks_;
            runningStatus = runningStatus_;
            ended = ended_;
            onEvent(static_cast<const TrackEvent&>(slow), ticks);
        }
    }

    size_t Position() const { return pos_; }
    uint64_t Ticks() const { return ticks_; }  // absolute ticks after the last event read

private:
    const uint8_t* Bytes() const { return reinterpret_cast<const uint8_t*>(data_.data()); }

    // Most events are channel messages after a one-byte delta time. Reads such an event
    // from `p` (at offset `pos`, with at least 5 bytes left) into `ev` and returns the bytes
    // it takes; returns 0, touching nothing, for every other event.
    static size_t ReadShortMessage(const uint8_t* p, size_t pos, uint8_t& runningStatus, TrackEvent& ev) {
        const uint8_t delta = p[0];
        const uint8_t s = p[1];
        if (delta >= 0x80 || s > 0xEF) return 0;
        const bool running = s < 0x80;
        const uint8_t status = running ? runningStatus : s;
        const bool oneDataByte = status >= 0xC0 && status <= 0xDF;
        ev.Begin = pos;
        ev.Delta = delta;
        ev.MessageBegin = pos + 1;
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
            runningStatus = s;
            ev.Data1 = p[2];
            ev.Data2 = oneDataByte ? 0 : p[3];
            used = oneDataByte ? 3 : 4;
        }
        ev.End = pos + used;
        return used;
    }

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
