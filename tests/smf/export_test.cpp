#include "smf/export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "lyrics/binding.h"
#include "score/merge.h"
#include "smf/reader.h"
#include "smf/track.h"
#include "support/test_support.h"
#include "util/error.h"

namespace lirovox::smf {
namespace {

using test::MakeSmf;
using test::MakeSmfRaw;
using test::TrackBytes;

const std::string kNotice = kCreditNotice;

// The notice event: 00 FF 02 2A text.
std::string NoticeEvent() { return std::string("\x00\xFF\x02\x2A", 4) + kNotice; }

std::string Lyric(int delta, const std::string& text) {
    return TrackBytes().Lyric(static_cast<uint32_t>(delta), text).Data();
}

// Binds `list` to the song's melody as "Ready" would have (figures of a bound list) and
// merges, as the window does before "Save Midifile".
void Bind(Song& song, const std::vector<std::string>& list) {
    song.List1 = list;
    int marks = 0;
    for (const std::string& e : list) marks += e.find("---") != std::string::npos;
    song.LineCount = marks;
    song.HyphenCount = static_cast<int>(list.size()) - marks;
    ASSERT_TRUE(lyrics::BindSyllables(song));
    score::Merge(song);
}

// The chunks after the header: each chunk's declared length must match its content.
std::vector<std::string> Chunks(const std::string& file) {
    std::vector<std::string> out;
    size_t p = 14;
    while (p < file.size()) {
        EXPECT_EQ(file.compare(p, 4, "MTrk"), 0) << "at byte " << p;
        uint32_t length = ReadBigEndian(file, p + 4, 4);
        EXPECT_LE(p + 8 + length, file.size());
        out.push_back(file.substr(p + 8, length));
        p += 8 + length;
    }
    EXPECT_EQ(p, file.size());
    return out;
}

TEST(CreditNoticeTest, IsFortyTwoCharacters) {
    EXPECT_EQ(kNotice.size(), 42u);
    EXPECT_NE(kNotice.find("Lirovox"), std::string::npos);
}

TEST(ExportFormat0Test, SyllablesInlineAfterTheEventsAtTheirTicks) {
    TrackBytes src;
    src.Tempo(0, 500000)
        .NoteOn(0, 3, 60, 100).NoteOff(96, 3, 60)
        .NoteOn(0, 3, 62, 100).NoteOff(96, 3, 62)
        .NoteOn(0, 3, 64, 100).NoteOff(96, 3, 64)
        .EndOfTrack();
    Song song = ParseSong("song.mid", MakeSmf(0, 96, {src}));
    Bind(song, {"a", "", "re "});
    const std::string out = BuildKaraokeFile(song, MakeSmf(0, 96, {src}));

    TrackBytes want;
    // Each syllable follows the first copied event that reaches its tick (here the
    // tempo event at 0 and the note-offs at 96 and 192).
    want.Raw(NoticeEvent())
        .Tempo(0, 500000).Raw(Lyric(0, "a"))
        .NoteOn(0, 3, 60, 100).NoteOff(96, 3, 60)
        .Raw(Lyric(0, " "))  // a note without a syllable: " "
        .NoteOn(0, 3, 62, 100).NoteOff(96, 3, 62)
        .Raw(Lyric(0, "re "))
        .NoteOn(0, 3, 64, 100).NoteOff(96, 3, 64)
        .EndOfTrack();
    EXPECT_EQ(out, MakeSmf(0, 96, {want}));
    std::vector<std::string> chunks = Chunks(out);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(ReadBigEndian(out, 18, 4), out.size() - 22);
}

TEST(ExportFormat0Test, DroppedLyricsCarryTheirDeltaAndStatusBytesAreExplicit) {
    TrackBytes src;
    src.Meta(0, 3, "Words")                          // a lyric track: HasWords
        .NoteOn(0, 3, 60, 100)
        .Lyric(96, "old")                            // dropped; its delta moves on
        .Delta(0).Bytes({0x3C, 0x00})                // running status after the lyric
        .Delta(0).Bytes({0x3E, 0x64})                // running status: note 62
        .Delta(96).Bytes({0x3E, 0x00})
        .EndOfTrack();
    const std::string bytes = MakeSmf(0, 96, {src});
    Song song = ParseSong("song.mid", bytes);
    ASSERT_TRUE(song.HasWords);
    Bind(song, {"la", "la "});
    const std::string out = BuildKaraokeFile(song, bytes);

    TrackBytes want;
    want.Raw(NoticeEvent())
        .Meta(0, 3, "Words")
        .Raw(Lyric(0, "la"))                         // due at tick 0: after the first event
        .NoteOn(0, 3, 60, 100)
        .Delta(96).Bytes({0x93, 0x3C, 0x00})         // carried delta, explicit status
        .Raw(Lyric(0, "la "))
        .Delta(0).Bytes({0x93, 0x3E, 0x64})          // explicit status after the syllable
        .Delta(96).Bytes({0x3E, 0x00})               // running status again
        .EndOfTrack();
    EXPECT_EQ(out, MakeSmf(0, 96, {want}));
}

TEST(ExportFormat0Test, SourceLyricsAreKeptWithoutWordsAndDeltasAreReencoded) {
    TrackBytes src;
    src.Lyric(0, "keep")
        .Raw(std::string("\x80\x60", 2)).Bytes({0x93, 0x3C, 0x64})  // delta 96 in two bytes
        .EndOfTrack();
    const std::string bytes = MakeSmf(0, 96, {src});
    Song song = ParseSong("song.mid", bytes);
    ASSERT_FALSE(song.HasWords);
    song.List1 = {"x"};
    song.Notes = song.MelodyNotes;  // no binding: the note has no syllable
    const std::string out = BuildKaraokeFile(song, bytes);

    TrackBytes want;
    want.Raw(NoticeEvent()).Lyric(0, "keep").NoteOn(96, 3, 60, 100).Raw(Lyric(0, " ")).EndOfTrack();
    EXPECT_EQ(out, MakeSmf(0, 96, {want}));
}

TEST(ExportFormat0Test, SyllablesPastTheLastEventComeBeforeTheEndOfTrack) {
    TrackBytes src;
    src.NoteOn(0, 3, 60, 100).EndOfTrack(10);
    const std::string bytes = MakeSmf(0, 96, {src});
    Song song = ParseSong("song.mid", bytes);
    song.List1 = {"a", "b", "c"};
    song.Notes.assign(3, NoteRec{});
    song.Notes[0].Text = "a";
    song.Notes[1].Text = "b";
    song.Notes[1].Tick = 4;   // before the end of track
    song.Notes[2].Text = "c";
    song.Notes[2].Tick = 50;  // after it
    const std::string out = BuildKaraokeFile(song, bytes);

    TrackBytes want;
    want.Raw(NoticeEvent()).NoteOn(0, 3, 60, 100).Raw(Lyric(0, "a"))
        .Raw(Lyric(4, "b")).Raw(Lyric(46, "c"))
        .EndOfTrack(0);
    EXPECT_EQ(out, MakeSmf(0, 96, {want}));

    song.Notes[2].Tick = 7;  // both before the end: it keeps its own tick
    TrackBytes want2;
    want2.Raw(NoticeEvent()).NoteOn(0, 3, 60, 100).Raw(Lyric(0, "a"))
        .Raw(Lyric(4, "b")).Raw(Lyric(3, "c"))
        .EndOfTrack(3);
    EXPECT_EQ(BuildKaraokeFile(song, bytes), MakeSmf(0, 96, {want2}));
}

TEST(ExportFormat0Test, OnlyTheFirstChunkIsCopied) {
    TrackBytes t1, t2;
    t1.NoteOn(0, 3, 60, 100).EndOfTrack(5);
    t2.NoteOn(0, 3, 70, 100).EndOfTrack();
    const std::string bytes = MakeSmf(0, 96, {t1, t2});  // header says 2 tracks
    Song song = ParseSong("song.mid", bytes);
    Bind(song, {"do "});
    const std::string out = BuildKaraokeFile(song, bytes);
    EXPECT_EQ(ReadBigEndian(out, 10, 2), 1u);
    EXPECT_EQ(Chunks(out).size(), 1u);
}

TEST(ExportFormat1Test, FiveTracksGiveSixWithTheLyricsLast) {
    TrackBytes conductor, melody, bass, drums, pad;
    conductor.Tempo(0, 600000).EndOfTrack();
    melody.NoteOn(0, 3, 60, 100).NoteOff(100, 3, 60)
        .NoteOn(100, 3, 62, 100).NoteOff(100, 3, 62)
        .NoteOn(0, 3, 64, 100).EndOfTrack(50);
    bass.NoteOn(0, 1, 40, 90).Delta(0).Bytes({0x28, 0x00}).EndOfTrack();
    drums.NoteOn(0, 9, 36, 90).EndOfTrack();
    pad.Delta(0).Bytes({0xC4, 0x30}).EndOfTrack();
    const std::vector<TrackBytes> tracks = {conductor, melody, bass, drums, pad};
    const std::string bytes = MakeSmf(1, 96, tracks);
    Song song = ParseSong("song.mid", bytes);
    Bind(song, {"ciao ", "", "---", "bel"});
    const std::string out = BuildKaraokeFile(song, bytes);

    EXPECT_EQ(out.substr(0, 10), bytes.substr(0, 10));
    EXPECT_EQ(ReadBigEndian(out, 10, 2), 6u);
    EXPECT_EQ(out.substr(12, 2), bytes.substr(12, 2));
    std::vector<std::string> chunks = Chunks(out);
    ASSERT_EQ(chunks.size(), 6u);
    for (size_t t = 0; t < tracks.size(); ++t) EXPECT_EQ(chunks[t], tracks[t].Data()) << "track " << t;

    // Notes: ciao@0, ""@200 (empty text), the line mark with the tick of the syllable
    // before it (alone: 100 ticks before note 300), "bel"@300 ending the table.
    std::string want = NoticeEvent();
    want += Lyric(0, "ciao ");
    want += std::string("\x81\x48\xFF\x05\x00", 5);  // delta 200 = 81 48, empty text
    want += Lyric(0, "\r");
    want += Lyric(100, "bel");
    want += std::string("\x00\xFF\x2F\x00", 4);
    EXPECT_EQ(chunks[5], want);
}

TEST(ExportFormat1Test, DeltasNeverGoBackwards) {
    TrackBytes t;
    t.EndOfTrack();
    const std::string bytes = MakeSmf(1, 96, {t});
    Song song = ParseSong("song.mid", bytes);
    song.List1 = {"x"};
    song.Notes.assign(4, NoteRec{});
    const double ticks[] = {0, 300, 100, 400};  // melody notes in two tracks
    const char* texts[] = {"a", "b", "c", "d"};
    for (int k = 0; k < 4; ++k) {
        song.Notes[k].Tick = ticks[k];
        song.Notes[k].Text = texts[k];
    }
    std::vector<std::string> chunks = Chunks(BuildKaraokeFile(song, bytes));
    ASSERT_EQ(chunks.size(), 2u);
    std::string want = NoticeEvent() + Lyric(0, "a") + Lyric(300, "b") + Lyric(0, "c") + Lyric(100, "d");
    want += std::string("\x00\xFF\x2F\x00", 4);
    EXPECT_EQ(chunks[1], want);
}

TEST(ExportFormat1Test, DroppedLyricsShortenTheirChunk) {
    TrackBytes words, melody;
    words.Meta(0, 3, "Words").Lyric(0, "old").Lyric(50, "er").EndOfTrack(46);
    melody.NoteOn(0, 3, 60, 100)
        .Lyric(96, "x")
        .Delta(0).Bytes({0x3C, 0x00})               // running status after the lyric
        .Raw(std::string("\x80\x05", 2)).Bytes({0x3E, 0x40})  // delta in 2 bytes, kept
        .EndOfTrack();
    const std::string bytes = MakeSmf(1, 96, {words, melody});
    Song song = ParseSong("song.mid", bytes);
    ASSERT_TRUE(song.HasWords);
    Bind(song, {"a", "b", "c"});
    std::vector<std::string> chunks = Chunks(BuildKaraokeFile(song, bytes));
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0], TrackBytes().Meta(0, 3, "Words").EndOfTrack(96).Data());
    EXPECT_EQ(chunks[1], TrackBytes()
                             .NoteOn(0, 3, 60, 100)
                             .Delta(96).Bytes({0x93, 0x3C, 0x00})
                             .Raw(std::string("\x80\x05", 2)).Bytes({0x3E, 0x40})
                             .EndOfTrack()
                             .Data());
}

TEST(ExportFormat1Test, MalformedSourceIsAClearError) {
    Song song;
    song.FilePath = "bad.mid";
    song.List1 = {"a"};
    EXPECT_THROW(BuildKaraokeFile(song, "RIFF...."), Error);
    std::string cut = MakeSmf(1, 96, {TrackBytes().NoteOn(0, 3, 60, 100).EndOfTrack()});
    cut.resize(cut.size() - 2);
    try {
        BuildKaraokeFile(song, cut);
        FAIL() << "a truncated file was accepted";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("bad.mid"), std::string::npos);
    }
}

TEST(KaraokeFileNameTest, AppendsMidWhenMissing) {
    EXPECT_EQ(KaraokeFileName("song"), "song.mid");
    EXPECT_EQ(KaraokeFileName("song.mid"), "song.mid");
    EXPECT_EQ(KaraokeFileName("song.mid.bak"), "song.mid.bak");
    EXPECT_EQ(KaraokeFileName("song.MID"), "song.MID.mid");
}

class ExportFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        TrackBytes t;
        t.NoteOn(0, 3, 60, 100).NoteOn(96, 3, 62, 100).EndOfTrack(96);
        source_ = MakeSmf(0, 96, {t});
        path_ = dir_.Write("song.mid", source_);
        song_ = ReadSong(path_);
        Bind(song_, {"la", "la "});
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_.Path())) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir_;
    std::string source_;
    std::string path_;
    Song song_;
};

TEST_F(ExportFileTest, RoundTripThroughOurReaderAndMido) {
    const std::string written = ExportKaraoke(song_, dir_.File("out"));
    EXPECT_EQ(written, dir_.File("out.mid"));

    Song back = ReadSong(written);
    ASSERT_EQ(back.LyricEventCount, 2);
    EXPECT_EQ(back.LyricEvents[0].Text, "la");
    EXPECT_EQ(back.LyricEvents[0].Tick, 0);
    EXPECT_EQ(back.LyricEvents[1].Text, "la ");
    EXPECT_EQ(back.LyricEvents[1].Tick, 96);
    EXPECT_EQ(back.NoteCount, 2);

    test::RunResult dump = test::MidoDump(written);
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_NE(dump.out.find("0 copyright " + std::string("4b 61 72")), std::string::npos) << dump.out;
    EXPECT_NE(dump.out.find("0 lyrics 6c 61\n"), std::string::npos) << dump.out;
    EXPECT_NE(dump.out.find("96 lyrics 6c 61 20\n"), std::string::npos) << dump.out;
}

TEST_F(ExportFileTest, Format1RoundTripKeepsEverySyllableAtItsTick) {
    TrackBytes conductor, melody;
    conductor.Tempo(0, 400000).EndOfTrack();
    melody.NoteOn(0, 3, 60, 90).NoteOn(200, 3, 62, 90).NoteOn(1000, 3, 64, 90).NoteOn(20000, 3, 65, 90)
        .EndOfTrack(10);
    const std::string path = dir_.Write("two.mid", MakeSmf(1, 480, {conductor, melody}));
    Song song = ReadSong(path);
    Bind(song, {"can", "zo", "ne ", "---", "\xE8 "});
    const std::string written = ExportKaraoke(song, dir_.File("two-kar.mid"));

    Song back = ReadSong(written);
    EXPECT_EQ(back.TrackCount, 3);
    EXPECT_EQ(back.NoteCount, 4);
    ASSERT_EQ(back.LyricEventCount, static_cast<int>(song.Notes.size()));
    for (size_t k = 0; k < song.Notes.size(); ++k) {
        EXPECT_EQ(back.LyricEvents[k].Text, song.Notes[k].Text) << k;
        // The reader keeps no tick for a line break; mido shows it below.
        if (song.Notes[k].Text != "\r") {
            EXPECT_EQ(back.LyricEvents[k].Tick, song.Notes[k].Tick) << k;
        }
    }

    test::RunResult dump = test::MidoDump(written);
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    const std::string lyrics = dump.out.substr(dump.out.find("track 2\n"));
    EXPECT_NE(lyrics.find("0 lyrics 63 61 6e\n200 lyrics 7a 6f\n1200 lyrics 6e 65 20\n1200 lyrics 0d\n"
                          "21200 lyrics e8 20\n"),
              std::string::npos)
        << dump.out;
}

TEST_F(ExportFileTest, ExistingTargetIsReplaced) {
    const std::string target = dir_.Write("old.mid", "old contents");
    ExportKaraoke(song_, target);
    EXPECT_EQ(test::ReadFileBytes(target), BuildKaraokeFile(song_, source_));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"old.mid", "song.mid"}));
}

TEST_F(ExportFileTest, TheLoadedFileIsNeverOverwritten) {
    std::filesystem::create_directory(dir_.File("sub"));
    std::filesystem::create_symlink(path_, dir_.File("link.mid"));
    std::filesystem::create_hard_link(path_, dir_.File("hard.mid"));
    const std::vector<std::string> names = {
        path_,
        dir_.File("song"),            // ".mid" is appended first
        dir_.File("sub/../song.mid"), // another spelling of the same path
        dir_.File("link.mid"),        // a link to it
        dir_.File("hard.mid"),        // the same file under another name
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        try {
            ExportKaraoke(song_, name);
            FAIL() << "the loaded file was chosen as the target";
        } catch (const SameFileError& e) {
            EXPECT_STREQ(e.what(), "Same MIDI file, please choose another...");
        }
    }
    EXPECT_EQ(test::ReadFileBytes(path_), source_);

    // A relative name that resolves to the loaded file.
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
    EXPECT_THROW(ExportKaraoke(song_, "song.mid"), SameFileError);
    std::filesystem::current_path(cwd);
    EXPECT_EQ(test::ReadFileBytes(path_), source_);
}

TEST_F(ExportFileTest, FailuresLeaveTheTargetAndNoTemporaryFile) {
    const std::string target = dir_.Write("keep.mid", "keep");

    Song gone = song_;
    gone.FilePath = dir_.File("missing.mid");  // the source cannot be read again
    EXPECT_THROW(ExportKaraoke(gone, target), Error);

    Song broken = song_;
    broken.FilePath = dir_.Write("broken.mid", source_.substr(0, source_.size() - 3));
    EXPECT_THROW(ExportKaraoke(broken, target), Error);

    Song empty = song_;
    empty.List1.clear();
    EXPECT_THROW(ExportKaraoke(empty, target), Error);

    EXPECT_THROW(ExportKaraoke(song_, dir_.File("no/such/folder/out.mid")), Error);

    EXPECT_EQ(test::ReadFileBytes(target), "keep");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"broken.mid", "keep.mid", "song.mid"}));
}

}  // namespace
}  // namespace lirovox::smf
