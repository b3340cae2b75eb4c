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
        const smf::TrackEvent& a = cut.back();
        const smf::TrackEvent& b = padded[k];
        EXPECT_EQ(a.Delta, b.Delta) << k;
        EXPECT_EQ(a.Begin, b.Begin) << k;
        EXPECT_EQ(a.MessageBegin, b.MessageBegin) << k;
        EXPECT_EQ(a.End, b.End) << k;
        EXPECT_EQ(a.First, b.First) << k;
        EXPECT_EQ(a.Status, b.Status) << k;
        EXPECT_EQ(a.Running, b.Running) << k;
        EXPECT_EQ(a.MetaType, b.MetaType) << k;
        EXPECT_EQ(a.Data1, b.Data1) << k;
        EXPECT_EQ(a.Data2, b.Data2) << k;
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

TEST(TrackParser, MessageCutByTheEndOfTheData) {
    EXPECT_THROW(ParseAll(std::string("\x00\x93\x3C", 3)), Error);
    EXPECT_THROW(ParseAll(std::string("\x00\x93\x3C\x64\x00\x3E", 6)), Error);
}

}  // namespace
}  // namespace lirovox
