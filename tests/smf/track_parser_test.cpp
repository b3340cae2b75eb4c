#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "smf/track.h"
#include "util/error.h"

namespace lirovox {
namespace {

// Channel messages are read on a short path when their bytes lie well inside the data and
// on the general path near its end: both must see exactly the same events.
std::vector<smf::TrackEvent> ParseAll(const std::string& data, bool stopAtError = false) {
    smf::TrackParser parser(data, 0, "t.mid");
    std::vector<smf::TrackEvent> events;
    smf::TrackEvent ev;
    try {
        while (parser.Next(ev)) events.push_back(ev);
    } catch (const Error&) {
        if (!stopAtError) throw;
    }
    return events;
}

void ExpectSameEvent(const smf::TrackEvent& a, const smf::TrackEvent& b, size_t k) {
    EXPECT_EQ(a.Delta, b.Delta) << k;
    EXPECT_EQ(a.Begin, b.Begin) << k;
    EXPECT_EQ(a.MessageBegin, b.MessageBegin) << k;
    EXPECT_EQ(a.End, b.End) << k;
    EXPECT_EQ(a.First, b.First) << k;
    EXPECT_EQ(a.Status, b.Status) << k;
    EXPECT_EQ(a.Running, b.Running) << k;
    EXPECT_EQ(a.MetaType, b.MetaType) << k;
    EXPECT_EQ(a.DataBegin, b.DataBegin) << k;
    EXPECT_EQ(a.DataLength, b.DataLength) << k;
    EXPECT_EQ(a.Data1, b.Data1) << k;
    EXPECT_EQ(a.Data2, b.Data2) << k;
    EXPECT_EQ(a.EndOfTrack, b.EndOfTrack) << k;
}

// Walking a whole track gives the events of repeated Next calls, with the running tick
// count, and leaves the parser where Next leaves it.
void ExpectWalkMatchesNext(const std::string& data) {
    smf::TrackParser stepped(data, 0, "t.mid");
    std::vector<smf::TrackEvent> events;
    std::vector<uint64_t> ticks;
    smf::TrackEvent ev;
    while (stepped.Next(ev)) {
        events.push_back(ev);
        ticks.push_back(stepped.Ticks());
    }
    smf::TrackParser walked(data, 0, "t.mid");
    size_t k = 0;
    walked.Walk([&](const smf::TrackEvent& e, uint64_t t) {
        ASSERT_LT(k, events.size());
        ExpectSameEvent(e, events[k], k);
        EXPECT_EQ(t, ticks[k]) << k;
        ++k;
    });
    EXPECT_EQ(k, events.size());
    EXPECT_EQ(walked.Position(), stepped.Position());
    EXPECT_EQ(walked.Ticks(), stepped.Ticks());
}

TEST(TrackParser, ShortAndGeneralPathsAgree) {
    const std::vector<std::string> events = {
        std::string("\x00\x93\x3C\x64", 4),      // note on
        std::string("\x05\x3E\x50", 3),          // running status
        std::string("\x00\xC3\x05", 3),          // program change
        std::string("\x01\x07", 2),              // its running status: one byte
        std::string("\x81\x00\xB3\x07\x64", 5),  // two-byte delta
        std::string("\x00\xF0\x01\x7F", 4),      // sysex becomes the running status
        std::string("\x00\x10\x20", 3),          // running status after it: two bytes
        std::string("\x00\xD3\x40", 3),          // channel pressure
        std::string("\x00\xE3\x00\x40", 4),      // pitch bend
    };
    std::string all;
    for (const std::string& e : events) all += e;
    // Followed by a long meta event and the end, every message is far from the end of the
    // data; cut right after message k, message k is at the very end.
    const std::vector<smf::TrackEvent> padded =
        ParseAll(all + std::string("\x00\xFF\x01\x10", 4) + std::string(16, 'x') + std::string("\x00\xFF\x2F\x00", 4));
    ASSERT_EQ(padded.size(), events.size() + 2);
    std::string prefix;
    for (size_t k = 0; k < events.size(); ++k) {
        prefix += events[k];
        const std::vector<smf::TrackEvent> cut = ParseAll(prefix, true);
        ASSERT_EQ(cut.size(), k + 1);
        ExpectSameEvent(cut.back(), padded[k], k);
        ExpectWalkMatchesNext(prefix + std::string("\x00\xFF\x2F\x00", 4));
    }
    EXPECT_EQ(padded[1].Status, 0x93);
    EXPECT_TRUE(padded[1].Running);
    EXPECT_EQ(padded[1].Data1, 0x3E);
    EXPECT_EQ(padded[3].End - padded[3].Begin, 2u);  // delta + one running data byte
    EXPECT_EQ(padded[4].Delta, 128u);
    EXPECT_EQ(padded[6].Status, 0xF0);
    EXPECT_EQ(padded[6].End - padded[6].Begin, 3u);
    EXPECT_EQ(padded[8].Data1, 0x00);
    EXPECT_EQ(padded[8].Data2, 0x40);
    EXPECT_TRUE(padded.back().EndOfTrack);
}

TEST(TrackParser, WalkSeesTheSameEventsAsNext) {
    // Long runs of short messages between events of every other kind, so the walk goes
    // back and forth between its common path and the general one.
    std::string data;
    for (int i = 0; i < 40; ++i) {
        data += std::string("\x10\x93", 2) + static_cast<char>(40 + i) + '\x50';
        data += std::string("\x10", 1) + static_cast<char>(40 + i) + '\0';
        if (i % 5 == 0) data += std::string("\x83\x60\xC2\x05\x00\x07", 6);  // two-byte delta, then running
        if (i % 7 == 0) data += std::string("\x00\xFF\x05\x02la", 6);
        if (i % 9 == 0) data += std::string("\x00\xF0\x02\x7F\xF7\x00\x10\x20", 8);
        if (i % 11 == 0) data += std::string("\x00\xF8", 2);            // one-byte system message
    }
    ExpectWalkMatchesNext(data + std::string("\x00\xFF\x2F\x00", 4));
    // Nothing after the end of the track is read, whatever follows it.
    ExpectWalkMatchesNext(data + std::string("\x00\xFF\x2F\x00", 4) + std::string("\x00\x93\x3C\x64MTrk", 8));
}

TEST(TrackParser, MessageCutByTheEndOfTheData) {
    EXPECT_THROW(ParseAll(std::string("\x00\x93\x3C", 3)), Error);
    EXPECT_THROW(ParseAll(std::string("\x00\x93\x3C\x64\x00\x3E", 6)), Error);
}

}  // namespace
}  // namespace lirovox
