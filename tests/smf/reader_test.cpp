#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "smf/reader.h"
#include "support/test_support.h"
#include "util/error.h"

namespace lirovox {
namespace {

using test::MakeSmf;
using test::MakeSmfRaw;
using test::TrackBytes;

Song Parse(const std::string& bytes) { return smf::ParseSong("song.mid", bytes); }

TEST(ReaderMelody, KeepsOnlyChannelFourNoteOnsWithVelocity) {
    TrackBytes t;
    t.NoteOn(0, 3, 60, 100)       // melody
        .NoteOn(10, 3, 61, 0)     // velocity 0: a note-off
        .NoteOn(0, 2, 62, 100)    // other channel
        .NoteOff(5, 3, 60)
        .Delta(0).Bytes({0x93, 0x3C, 0x64})
        .Delta(0).Bytes({0x3E, 0x64})  // running status: note 62
        .Delta(0).Bytes({0x3F, 0x00})  // running status, velocity 0
        .EndOfTrack();
    Song s = Parse(MakeSmf(0, 96, {t}));
    ASSERT_EQ(s.NoteCount, 3);
    ASSERT_EQ(UBound(s.MelodyNotes), 2);
    EXPECT_EQ(s.MelodyNotes[0].Note, 60);
    EXPECT_EQ(s.MelodyNotes[1].Note, 60);
    EXPECT_EQ(s.MelodyNotes[2].Note, 62);
    EXPECT_EQ(s.MelodyNotes[1].Tick, 15);
    // 500000 us per quarter (no tempo event), 96 ticks: 5.208.. ms per tick.
    EXPECT_DOUBLE_EQ(s.MelodyNotes[1].Time, 15 * (500000.0 / 96 / 1000));
    ASSERT_EQ(s.Notes.size(), s.MelodyNotes.size());
    EXPECT_EQ(s.Notes[2].Note, 62);
}

TEST(ReaderMelody, DeltaTimesAndRunningStatusAfterProgramChange) {
    TrackBytes t;
    t.Delta(0).Bytes({0xC3, 0x05})
        .Delta(0).Bytes({0x07})  // running status of a program change: one byte only
        .Raw(std::string("\x81\x80\x00", 3)).Bytes({0x93, 0x40, 0x50})  // delta 16384
        .EndOfTrack();
    Song s = Parse(MakeSmf(1, 480, {t}));
    ASSERT_EQ(s.NoteCount, 1);
    EXPECT_EQ(s.MelodyNotes[0].Tick, 16384);
}

TEST(ReaderMelody, SysexMetaAndSystemBytesAreSkipped) {
    TrackBytes t;
    t.Delta(0).Bytes({0xF0, 0x03, 0x93, 0x40, 0x7F})  // sysex payload looks like a note
        .Delta(0).Bytes({0xFF, 0x01, 0x02, 0x93, 0x41})  // text event
        .Delta(0).Bytes({0xFF, 0x90})                     // meta type above 127: no length
        .Delta(0).Bytes({0xF8})                           // clock: a single byte
        .NoteOn(0, 3, 67, 1)
        .EndOfTrack();
    Song s = Parse(MakeSmf(1, 480, {t}));
    ASSERT_EQ(s.NoteCount, 1);
    EXPECT_EQ(s.MelodyNotes[0].Note, 67);
}

TEST(ReaderMelody, FormatZeroReadsOnlyTheFirstTrack) {
    TrackBytes a, b;
    a.NoteOn(0, 3, 60, 90).EndOfTrack(100);
    b.NoteOn(0, 3, 70, 90).EndOfTrack(5000);
    Song zero = Parse(MakeSmf(0, 480, {a, b}));
    EXPECT_EQ(zero.NoteCount, 1);
    Song one = Parse(MakeSmf(1, 480, {a, b}));
    EXPECT_EQ(one.NoteCount, 2);
    // Each track's ticks start at 0.
    EXPECT_EQ(one.MelodyNotes[1].Tick, 0);
}

TEST(ReaderMelody, NoMelodyLeavesOneZeroedRecord) {
    TrackBytes t;
    t.NoteOn(0, 0, 60, 90).EndOfTrack();
    Song s = Parse(MakeSmf(1, 480, {t}));
    EXPECT_EQ(s.NoteCount, 0);
    ASSERT_EQ(s.Notes.size(), 1u);
    EXPECT_EQ(s.Notes[0].Note, 0);
    EXPECT_EQ(s.Notes[0].Tick, 0);
    EXPECT_EQ(s.HyphenCount, 0);
    EXPECT_EQ(s.LineCount, 0);
}

TEST(ReaderLyrics, SyllablesLineBreaksAndCharPositions) {
    TrackBytes t;
    t.Tempo(0, 600000)
        .Lyric(0, "a").Lyric(10, "mo").Lyric(10, "re ")
        .Lyric(10, "\r")
        .Lyric(20, "tu")
        .EndOfTrack();
    Song s = Parse(MakeSmf(0, 100, {t}));
    EXPECT_EQ(s.List1, (std::vector<std::string>{"a", "mo", "re ", "---", "tu"}));
    ASSERT_EQ(s.LyricLines.size(), 2u);
    EXPECT_EQ(s.LyricLines[0], "amore ");
    EXPECT_EQ(s.LyricLines[1], "tu");
    EXPECT_EQ(s.HyphenCount, 4);
    EXPECT_EQ(s.LineCount, 1);
    ASSERT_EQ(s.LyricRecCount, 5);
    EXPECT_EQ(s.LyricRecs[2].CharPos, 3);
    EXPECT_EQ(s.LyricRecs[2].Length, 3);
    EXPECT_EQ(s.LyricRecs[2].Tick, 20);
    // The break takes the time of the syllable after it; its own tick stays 0.
    const double msPerTick = 600000.0 / 100 / 1000;
    EXPECT_DOUBLE_EQ(s.LyricRecs[3].Time, 50 * msPerTick);
    EXPECT_EQ(s.LyricRecs[3].Line, 1);
    EXPECT_EQ(s.LyricRecs[3].Text, "");
    EXPECT_EQ(s.LyricRecs[4].CharPos, 0);
    EXPECT_EQ(s.LyricRecs[4].Line, 1);
    ASSERT_EQ(s.LyricEventCount, 5);
    EXPECT_EQ(s.LyricEvents[3].Text, "\r");
    EXPECT_EQ(s.LyricEvents[3].Mark, 13.0);
    EXPECT_EQ(s.LyricEvents[3].Tick, 0);
    EXPECT_EQ(s.LyricEvents[4].Tick, 50);
    EXPECT_FALSE(s.HasWords);  // five lyric events and no "Words" track
}

TEST(ReaderLyrics, WordsDetection) {
    TrackBytes named;
    named.Meta(0, 3, "Words").EndOfTrack();
    EXPECT_TRUE(Parse(MakeSmf(1, 480, {named})).HasWords);

    TrackBytes wrongCase;
    wrongCase.Meta(0, 3, "words").EndOfTrack();
    EXPECT_FALSE(Parse(MakeSmf(1, 480, {wrongCase})).HasWords);

    TrackBytes many, few;
    for (int i = 0; i < 50; ++i) many.Lyric(1, "la");
    for (int i = 0; i < 49; ++i) few.Lyric(1, "la");
    many.EndOfTrack();
    few.EndOfTrack();
    EXPECT_TRUE(Parse(MakeSmf(1, 480, {few, many})).HasWords);
    EXPECT_FALSE(Parse(MakeSmf(1, 480, {few, few})).HasWords);

    // The name still counts after lyric events in the same track; another meta type does not.
    TrackBytes lyricsThenName, otherMeta;
    for (int i = 0; i < 10; ++i) lyricsThenName.Lyric(1, "la");
    lyricsThenName.Meta(0, 3, "Words").EndOfTrack();
    otherMeta.Meta(0, 1, "Words").EndOfTrack();
    EXPECT_TRUE(Parse(MakeSmf(1, 480, {few, lyricsThenName})).HasWords);
    EXPECT_FALSE(Parse(MakeSmf(1, 480, {few, otherMeta})).HasWords);
}

TEST(ReaderTiming, TempoBpmAndDefaults) {
    TrackBytes none;
    none.EndOfTrack(480);
    Song s = Parse(MakeSmf(1, 480, {none}));
    EXPECT_EQ(s.TempoUs, 500000);
    EXPECT_EQ(s.Bpm, 120);
    EXPECT_DOUBLE_EQ(s.MsPerTick, 500000.0 / 480 / 1000);

    // 60000000 / 461538 = 130.0001
    struct Case { uint32_t us; int bpm; } cases[] = {{480000, 125}, {461538, 130}, {600000, 100},
                                                     {800000, 75}, {1000000, 60}};
    for (const Case& c : cases) {
        TrackBytes t;
        t.Tempo(0, c.us).EndOfTrack();
        EXPECT_EQ(Parse(MakeSmf(1, 480, {t})).Bpm, c.bpm) << c.us;
    }
    // An exact half goes to the even number: 60000000 / 1600000 = 37.5 -> 38.
    TrackBytes half;
    half.Tempo(0, 1600000).EndOfTrack();
    EXPECT_EQ(Parse(MakeSmf(1, 480, {half})).Bpm, 38);
    TrackBytes half2;
    half2.Tempo(0, 1290323).EndOfTrack();  // 46.49998 -> 46
    EXPECT_EQ(Parse(MakeSmf(1, 480, {half2})).Bpm, 46);
}

TEST(ReaderTiming, LengthBarsAndTimeSignature) {
    // 768 x 120 music ticks at 120 BPM is one minute; with division 480 that is 120 quarters.
    TrackBytes conductor, melody;
    conductor.Tempo(0, 500000)
        .Delta(0).Bytes({0xFF, 0x58, 0x04, 0x03, 0x02, 0x18, 0x08})
        .Delta(2000).Bytes({0xFF, 0x58, 0x04, 0x06, 0x03, 0x18, 0x08})  // after music time 2000
        .EndOfTrack();
    melody.NoteOn(0, 3, 60, 90).EndOfTrack(480 * 120);
    Song s = Parse(MakeSmf(1, 480, {conductor, melody}));
    EXPECT_EQ(s.LengthMusicTime, 768 * 120);
    EXPECT_EQ(s.TimeSigNum, 3);
    EXPECT_EQ(s.TimeSigDen, 4);
    // 92160 / 3072 + 1 = 31
    EXPECT_EQ(s.Bars, 31);

    // Bars: a half goes to the even number. 1536 / 3072 + 1 = 1.5 -> 2; 4608 -> 2.5 -> 2.
    TrackBytes a, b;
    a.EndOfTrack(960);   // 960 ticks at 480 = 1536 music time
    b.EndOfTrack(2880);  // 4608
    EXPECT_EQ(Parse(MakeSmf(1, 480, {a})).Bars, 2);
    EXPECT_EQ(Parse(MakeSmf(1, 480, {b})).Bars, 2);
    EXPECT_EQ(Parse(MakeSmf(1, 480, {a})).TimeSigNum, 4);  // default 4/4

    // Music time rounds halves up: 1 tick at division 512 is 1.5 -> 2.
    TrackBytes c;
    c.EndOfTrack(1);
    EXPECT_EQ(Parse(MakeSmf(1, 512, {c})).LengthMusicTime, 2);
}

TEST(ReaderMixer, ByteSearchesPerChannel) {
    TrackBytes t;
    t.Delta(0).Bytes({0xC3, 0x00})        // program 0 is passed over
        .Delta(0).Bytes({0xC3, 0x30})     // program 48
        .Delta(0).Bytes({0xB3, 0x07, 0x7F})  // volume 127 is out of range: passed over
        .Delta(0).Bytes({0xB3, 0x07, 0x50})  // volume 80
        .Delta(0).Bytes({0xB3, 0x0A, 0x00})  // pan 0: the next pan pair decides
        .Delta(0).Bytes({0xB3, 0x0A, 0x20})
        .Delta(0).Bytes({0xB3, 0x5B, 0x10})  // reverb 16
        .NoteOn(0, 3, 60, 90)
        .NoteOn(0, 9, 36, 90)
        .EndOfTrack();
    Song s = Parse(MakeSmf(1, 480, {t}));
    const ChannelRec& m = s.Channels[3];
    EXPECT_EQ(m.Program, 48);
    EXPECT_EQ(m.Volume, 80);
    EXPECT_EQ(m.Pan, 32);
    EXPECT_EQ(m.Reverb, 16);
    EXPECT_EQ(m.Chorus, 64);
    EXPECT_EQ(m.ChannelNo, 4);
    EXPECT_EQ(s.Channels[9].ChannelNo, 10);
    EXPECT_EQ(s.Channels[0].ChannelNo, -1);
    EXPECT_EQ(s.Channels[0].Volume, 100);
    EXPECT_EQ(s.Channels[0].Reverb, 100);
    EXPECT_EQ(s.Channels[0].Pan, 64);
}

struct BadFile {
    const char* name;
    std::string bytes;
    const char* expected;  // part of the message
};

TEST(ReaderErrors, MalformedFilesGiveClearErrors) {
    TrackBytes good;
    good.NoteOn(0, 3, 60, 90).EndOfTrack();
    std::string ok = MakeSmf(1, 480, {good});
    std::string noEnd = MakeSmfRaw(1, 1, 480, {std::string("\x00\x93\x3C\x40", 4)});
    std::string longVlq = MakeSmfRaw(1, 1, 480, {std::string("\x81\x81\x81\x81\x00\x93\x3C\x40", 8)});
    std::string textPastEnd = MakeSmfRaw(1, 1, 480, {std::string("\x00\xFF\x05\x7F" "ab", 6)});
    std::string chunkPastEnd = ok;
    chunkPastEnd[21] = '\x7F';
    std::string notMtrk = ok;
    notMtrk[14] = 'X';
    std::string missingTrack = MakeSmfRaw(1, 2, 480, {good.Data()});
    std::string division0 = ok;
    division0[12] = 0;
    division0[13] = 0;
    std::string smpte = ok;
    smpte[12] = '\xE7';
    std::string tempo0 = MakeSmfRaw(1, 1, 480, {std::string("\x00\xFF\x51\x03\x00\x00\x00\x00\xFF\x2F\x00", 11)});
    std::string tempoCut = MakeSmfRaw(1, 1, 480, {std::string("\x00\xFF\x51\x03\x07", 5)});
    std::string sysexPastEnd = MakeSmfRaw(1, 1, 480, {std::string("\x00\xF0\x40\x01", 4)});

    const BadFile cases[] = {
        {"empty", "", "MThd"},
        {"not midi", "RIFF....WAVEfmt ", "MThd"},
        {"short header", ok.substr(0, 10), "header"},
        {"no end of track", noEnd, "truncated"},
        {"vlq over 4 bytes", longVlq, "longer than 4 bytes"},
        {"text past end", textPastEnd, "truncated"},
        {"chunk length past end", chunkPastEnd, "truncated"},
        {"track without MTrk", notMtrk, "MTrk"},
        {"missing track", missingTrack, "missing"},
        {"division 0", division0, "division of 0"},
        {"time-code division", smpte, "time-code"},
        {"tempo 0", tempo0, "tempo of 0"},
        {"tempo cut", tempoCut, "truncated"},
        {"sysex past end", sysexPastEnd, "truncated"},
    };
    for (const BadFile& c : cases) {
        try {
            Parse(c.bytes);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const Error& e) {
            std::string msg = e.what();
            EXPECT_NE(msg.find("song.mid"), std::string::npos) << c.name << ": " << msg;
            EXPECT_NE(msg.find(c.expected), std::string::npos) << c.name << ": " << msg;
        }
    }
    EXPECT_NO_THROW(Parse(ok));
}

TEST(ReaderErrors, MissingFileNamesIt) {
    try {
        smf::ReadSong("/nonexistent/folder/x.mid");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/folder/x.mid"), std::string::npos);
    }
}

TEST(ReaderDemo, DemoSongReadsAndMidoAgrees) {
    std::string path = test::SourcePath("examples/fra_martino.mid");
    Song s = smf::ReadSong(path);
    EXPECT_EQ(s.Format, 1);
    EXPECT_GT(s.NoteCount, 30);
    EXPECT_EQ(s.Channels[3].ChannelNo, 4);
    test::RunResult mido = test::MidoDump(path);
    ASSERT_EQ(mido.exitCode, 0) << mido.err;
    // Every melody note-on that mido sees on channel 4 is ours, at the same tick.
    int count = 0;
    size_t pos = 0;
    while ((pos = mido.out.find("note_on channel=3", pos)) != std::string::npos) {
        size_t lineStart = mido.out.rfind('\n', pos) + 1;
        long tick = std::stol(mido.out.substr(lineStart, pos - lineStart));
        size_t vel = mido.out.find("velocity=", pos);
        int velocity = std::stoi(mido.out.substr(vel + 9));
        if (velocity > 0) {
            ASSERT_LT(count, s.NoteCount);
            EXPECT_EQ(s.MelodyNotes[static_cast<size_t>(count)].Tick, tick);
            ++count;
        }
        pos += 10;
    }
    EXPECT_EQ(count, s.NoteCount);
}

}  // namespace
}  // namespace lirovox
