#include "smf/track.h"

#include "util/error.h"

namespace lirovox::smf {

uint32_t ReadBigEndian(const std::string& data, size_t pos, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | static_cast<uint8_t>(data[pos + static_cast<size_t>(i)]);
    return v;
}

void AppendBigEndian(std::string& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void AppendVlq(std::string& out, uint32_t value) {
    char buf[5];
    int n = 0;
    buf[n++] = static_cast<char>(value & 0x7F);
    while (value >>= 7) buf[n++] = static_cast<char>(0x80 | (value & 0x7F));
    while (n--) out.push_back(buf[n]);
}

TrackParser::TrackParser(const std::string& data, size_t pos, const std::string& fileName)
    : data_(data), pos_(pos), fileName_(fileName) {}

void TrackParser::ThrowTruncated(const char* what) const {
    throw Error("\"" + fileName_ + "\" is truncated: the file ends inside " + what + " (byte " +
                std::to_string(pos_) + ")");
}

uint32_t TrackParser::ReadLongVlq(const char* what) {
    size_t start = pos_;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        uint8_t b = ReadByte(what);
        v = (v << 7) | (b & 0x7F);
        if (!(b & 0x80)) return v;
    }
    throw Error("\"" + fileName_ + "\" is malformed: a variable-length number longer than 4 bytes at byte " +
                std::to_string(start));
}

void TrackParser::SkipPayload(TrackEvent& ev, const char* what) {
    ev.DataLength = ReadVlq("a length");
    ev.DataBegin = pos_;
    if (ev.DataLength > data_.size() - pos_) {
        throw Error("\"" + fileName_ + "\" is truncated: " + what + " at byte " +
                    std::to_string(ev.MessageBegin) + " runs past the end of the file");
    }
    pos_ += ev.DataLength;
}

bool TrackParser::NextSlow(TrackEvent& ev) {
    if (ended_) return false;
    ev.Running = false;
    ev.MetaType = -1;
    ev.DataBegin = 0;
    ev.DataLength = 0;
    ev.Data1 = ev.Data2 = 0;
    ev.EndOfTrack = false;
    ev.Begin = pos_;
    ev.Delta = ReadVlq("a delta time");
    ticks_ += ev.Delta;
    ev.MessageBegin = pos_;
    uint8_t s = ReadByte("an event");
    ev.First = s;
    if (s < 0x80) {
        // Running status: S is the first data byte of a message with the previous status.
        ev.Running = true;
        ev.Status = runningStatus_;
        ev.Data1 = s;
        if (!(runningStatus_ >= 0xC0 && runningStatus_ <= 0xDF)) ev.Data2 = ReadByte("an event");
    } else if (s <= 0xEF) {
        ev.Status = s;
        runningStatus_ = s;
        ev.Data1 = ReadByte("an event");
        if (!(s >= 0xC0 && s <= 0xDF)) ev.Data2 = ReadByte("an event");
    } else if (s == 0xF0 || s == 0xF7) {
        ev.Status = s;
        runningStatus_ = s;
        SkipPayload(ev, "a system-exclusive message");
    } else if (s == 0xFF) {
        ev.Status = s;
        uint8_t type = ReadByte("a meta event");
        ev.MetaType = type;
        if (type == 0x2F) {
            ReadByte("an end-of-track event");
            ev.EndOfTrack = true;
            ended_ = true;
        } else if (type < 128) {
            SkipPayload(ev, "a meta event");
        }
        // Types 128..255 carry nothing more.
    } else {
        ev.Status = s;  // F1..F6, F8..FE: a single byte
    }
    ev.End = pos_;
    return true;
}

}  // namespace lirovox::smf
