#include "score/layout.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "score/score_songs.h"

namespace lirovox::score {
namespace {

using test::LyricEvent;
using test::PlainSong;
using test::PlainSongOfPitches;
using test::WordsSong;

std::vector<ScoreMark> TextMarks(const ScoreLayout& l, const std::string& text) {
    std::vector<ScoreMark> out;
    for (const ScoreMark& m : l.Marks) {
        if (m.Kind == MarkKind::Text && m.Text == text) out.push_back(m);
    }
    return out;
}

std::vector<ScoreMark> Heads(const ScoreLayout& l) { return TextMarks(l, "w"); }

std::vector<ScoreMark> Lines(const ScoreLayout& l) {
    std::vector<ScoreMark> out;
    for (const ScoreMark& m : l.Marks) {
        if (m.Kind == MarkKind::Line) out.push_back(m);
    }
    return out;
}

// Accidentals in drawing order, as one string ("#n#").
std::string Accidentals(const ScoreLayout& l) {
    std::string out;
    for (const ScoreMark& m : l.Marks) {
        if (m.Kind == MarkKind::Text && (m.Text == "#" || m.Text == "n")) out += m.Text;
    }
    return out;
}

TEST(PitchMapping, RowsOfNotesAcrossTheRange) {
    struct Case {
        int note, noteY, pc;
        bool sharp;
    };
    const Case cases[] = {
        {64, 27, 4, false},   // E: head on the bottom line (27 + 37 = 64)
        {60, 35, 0, false},   // C: one ledger line below
        {61, 35, 1, true},    // C sharp shares C's row
        {62, 31, 2, false},   // D: just below the staff
        {65, 23, 5, false},   // F: first space
        {71, 11, 11, false},  // B: middle line (11 + 37 = 48)
        {77, -5, 5, false},   // F: top line (32)
        {72, 35 - 28, 0, false},  // an octave up is 28 pixels higher
        {52, 55, 4, false},
        {88, -29, 4, false},
        {24, 35 + 3 * 28, 0, false},  // octave 2
        {119, -84 + 52 - 69, 11, false},  // octave 9
    };
    for (const Case& c : cases) {
        int base = 0;
        Pitch p = MapPitch(c.note, base);
        EXPECT_EQ(p.NoteY, c.noteY) << "note " << c.note;
        EXPECT_EQ(p.Pc, c.pc) << "note " << c.note;
        EXPECT_EQ(p.Sharp, c.sharp) << "note " << c.note;
    }
}

TEST(PitchMapping, OctavesOutsideTwoToNineKeepThePreviousBase) {
    int base = 0;
    // Before any mapped note the base is 0: note 12 (octave 1, C) gives 76 - 69.
    EXPECT_EQ(MapPitch(12, base).NoteY, 7);
    EXPECT_EQ(MapPitch(64, base).NoteY, 27);  // base 28 from now on
    EXPECT_EQ(MapPitch(5, base).NoteY, 28 + 64 - 69);     // octave 0, F
    EXPECT_EQ(MapPitch(127, base).NoteY, 28 + 60 - 69);   // octave 10, G: same base
    EXPECT_EQ(MapPitch(0, base).NoteY, 28 + 76 - 69);
}

TEST(LedgerTable, HeightsWithLinesAndWithout) {
    using Offsets = std::vector<std::pair<int, int>>;  // (x0 offset, y offset)
    const std::vector<std::pair<int, Offsets>> table = {
        {-29, {{-5, 52}, {-5, 45}, {-5, 37}}},
        {-25, {{-5, 48}, {-5, 41}}},
        {-21, {{-5, 44}, {-5, 37}}},
        {-17, {{-5, 40}}},
        {-13, {{-5, 37}}},
        {35, {{-5, 36}}},
        {39, {{-5, 33}}},
        {43, {{-5, 30}, {-6, 36}}},
        {47, {{-5, 26}, {-5, 32}}},
        {51, {{-5, 22}, {-5, 28}, {-5, 36}}},
    };
    for (const auto& [noteY, expected] : table) {
        Offsets got;
        for (const LedgerLine& l : LedgerLines(noteY)) got.emplace_back(l.X0Offset, l.YOffset);
        EXPECT_EQ(got, expected) << "NoteY " << noteY;
    }
    for (int noteY : {-33, -12, -9, 0, 27, 31, 34, 55, 59, 36}) {
        EXPECT_TRUE(LedgerLines(noteY).empty()) << "NoteY " << noteY;
    }
}

TEST(PutInScore, LedgerLinesAreDrawnAcrossTheHead) {
    // Row 1: notes 60 and 88; row 2: 52 and 89 (none for these two).
    Song s = PlainSongOfPitches({60, 88, 52, 89});
    ScoreLayout l = PutInScore(s, true);
    std::vector<std::tuple<int, int, int, int>> got;
    for (const ScoreMark& m : Lines(l)) got.emplace_back(m.X, m.Y, m.X2, m.Y2);
    const std::vector<std::tuple<int, int, int, int>> expected = {
        {27, 71, 43, 71},                                      // note 60 at x 32: 35 + 36
        {59, 23, 75, 23}, {59, 16, 75, 16}, {59, 8, 75, 8},    // note 88 at x 64
    };
    EXPECT_EQ(got, expected);
}

TEST(PutInScore, RowsForTwoToFourRecords) {
    struct Case {
        int records;
        int width;
        int row2FirstIndex;
        std::vector<std::pair<int, int>> pos;  // (X, Y) of each drawn note
    };
    const Case cases[] = {
        {2, 128, 1, {{32, 64}, {32, 176}}},
        {3, 160, 2, {{32, 64}, {64, 64}, {32, 176}}},
        {4, 160, 2, {{32, 64}, {64, 64}, {32, 176}, {64, 176}}},
    };
    for (const Case& c : cases) {
        std::vector<int> pitches(static_cast<size_t>(c.records), 64);
        Song s = PlainSongOfPitches(pitches);
        ScoreLayout l = PutInScore(s, true);
        ASSERT_TRUE(l.Drawn);
        EXPECT_EQ(l.Width, c.width);
        EXPECT_EQ(l.StaffRight, c.width);
        EXPECT_EQ(l.Row2FirstIndex, c.row2FirstIndex);
        EXPECT_EQ(l.Row2FirstNote, c.row2FirstIndex);
        ASSERT_EQ(l.NotePos.size(), static_cast<size_t>(c.records) + 1) << c.records;
        for (size_t i = 0; i < c.pos.size(); ++i) {
            EXPECT_EQ(l.NotePos[i].X, c.pos[i].first) << c.records << " record " << i;
            EXPECT_EQ(l.NotePos[i].Y, c.pos[i].second) << c.records << " record " << i;
            EXPECT_EQ(l.NotePos[i].Time, 480.0 * static_cast<double>(i));
            EXPECT_EQ(l.NotePos[i].Page, 0);
        }
        // Every record gets a head: none lost, none doubled.
        EXPECT_EQ(Heads(l).size(), static_cast<size_t>(c.records));
        // The end mark: the running x of both rows together.
        const ScoreNote& end = l.NotePos.back();
        EXPECT_EQ(end.X, 32.0 * c.records);
        EXPECT_EQ(end.Y, 0);
        EXPECT_EQ(end.Time, 0);
        EXPECT_EQ(end.Page, 0);
    }
}

TEST(PutInScore, HeadsStandAtTheirColumnAndRow) {
    Song s = PlainSongOfPitches({64, 77, 60, 71});
    ScoreLayout l = PutInScore(s, true);
    std::vector<std::pair<int, int>> got;
    for (const ScoreMark& m : Heads(l)) {
        EXPECT_EQ(m.Font, MarkFont::Dida);
        EXPECT_EQ(m.Size, 16);
        got.emplace_back(m.X, m.Y);
    }
    const std::vector<std::pair<int, int>> expected = {{32, 27}, {64, -5}, {32, 35 + 112}, {64, 11 + 112}};
    EXPECT_EQ(got, expected);
}

TEST(PutInScore, NotShownWhenNotLoadedOrASingleRecord) {
    Song one = PlainSongOfPitches({64});
    ScoreLayout a = PutInScore(one, true);
    EXPECT_FALSE(a.Drawn);
    EXPECT_TRUE(a.Marks.empty());
    EXPECT_TRUE(a.NotePos.empty());
    EXPECT_TRUE(a.Heading.empty());

    Song two = PlainSongOfPitches({64, 65});
    ScoreLayout b = PutInScore(two, false);
    EXPECT_FALSE(b.Drawn);
    EXPECT_TRUE(b.Marks.empty());

    Song none;
    EXPECT_FALSE(PutInScore(none, true).Drawn);
}

TEST(PutInScore, MergeRunsEvenWhenTooShortToDraw) {
    // One note, one syllable: the merge leaves a single record (the last lyric event).
    Song s = WordsSong({{64, 0}}, {{"la", 0}});
    s.Notes[0].Note = 99;  // a stale working copy that the merge must replace
    ScoreLayout l = PutInScore(s, true);
    EXPECT_FALSE(l.Drawn);
    ASSERT_EQ(s.Notes.size(), 1u);
    EXPECT_EQ(s.Notes[0].Text, "la");
    EXPECT_EQ(s.Notes[0].Note, 0);
}

TEST(PutInScore, BarLinesAndNumbers) {
    // Row 1: bar 0, bar 1; row 2: bar 1 again (prevBar carries over: no line), bar 2.
    Song s = PlainSong({{64, 0}, {64, 1920}, {64, 2000}, {64, 3840}});
    ScoreLayout l = PutInScore(s, true);
    std::vector<std::tuple<int, int, int>> bars;  // x, y, size
    for (const ScoreMark& m : l.Marks) {
        if (m.Kind == MarkKind::Text && m.Text == "|" && m.X > 0 && m.X < l.Width - 5)
            bars.emplace_back(m.X, m.Y, m.Size);
    }
    const std::vector<std::tuple<int, int, int>> expectedBars = {{48, 32, 16}, {48, 144, 16}};
    EXPECT_EQ(bars, expectedBars);
    std::vector<std::tuple<std::string, int, int, int>> numbers;
    for (const ScoreMark& m : l.Marks) {
        if (m.Kind == MarkKind::Text && m.Size == 14) numbers.emplace_back(m.Text, m.X, m.Y, m.Size);
    }
    const std::vector<std::tuple<std::string, int, int, int>> expectedNumbers = {
        {"2", 48, -20, 14}, {"3", 48, 92, 14}};
    EXPECT_EQ(numbers, expectedNumbers);
}

TEST(PutInScore, FirstBarHasNoLineAndAJumpIsNumberedByItsBar) {
    // Bar 0 never gets a line; a jump from bar 1 to bar 5 is numbered 6.
    Song s = PlainSong({{64, 0}, {64, 960}, {64, 1920}, {64, 5 * 1920 + 10}});
    ScoreLayout l = PutInScore(s, true);
    std::vector<std::string> numbers;
    for (const ScoreMark& m : l.Marks) {
        if (m.Kind == MarkKind::Text && m.Size == 14) numbers.push_back(m.Text);
    }
    EXPECT_EQ(numbers, (std::vector<std::string>{"2", "6"}));
}

TEST(PutInScore, Accidentals) {
    struct Case {
        std::vector<int> notes;
        std::string expected;
    };
    const Case cases[] = {
        {{61, 61}, "#"},         // C sharp, C sharp: one sharp
        {{61, 60}, "#n"},        // C sharp, C: sharp then natural
        {{61, 60, 60}, "#n"},    // C sharp, C, C: one natural only
        {{61, 62, 61}, "##"},    // C sharp, D, C sharp: two sharps
        {{61, 62, 60}, "#n"},    // the natural is shown after another note too
        {{61, 63, 60}, "##"},    // only the most recent sharp (D sharp) is tracked
        {{61, 73}, "#"},         // same pitch class an octave up: no second sharp
        {{60, 61, 60, 61}, "#n#"},
        {{64, 65, 71, 72}, ""},  // no sharps, no naturals
    };
    for (const Case& c : cases) {
        std::vector<int> notes = c.notes;
        if (notes.size() < 2) notes.push_back(64);
        Song s = PlainSongOfPitches(notes);
        EXPECT_EQ(Accidentals(PutInScore(s, true)), c.expected) << ::testing::PrintToString(c.notes);
    }
}

TEST(PutInScore, AccidentalStandsLeftOfItsNoteAtItsHeight) {
    Song s = PlainSongOfPitches({64, 61, 60, 64});
    ScoreLayout l = PutInScore(s, true);
    auto sharps = TextMarks(l, "#");
    auto naturals = TextMarks(l, "n");
    ASSERT_EQ(sharps.size(), 1u);
    ASSERT_EQ(naturals.size(), 1u);
    EXPECT_EQ(sharps[0].X, 64 - 8);
    EXPECT_EQ(sharps[0].Y, 35);
    EXPECT_EQ(naturals[0].X, 32 - 8);  // first column of row 2
    EXPECT_EQ(naturals[0].Y, 35 + 112);
}

TEST(PutInScore, ClosingMarks) {
    Song s = PlainSongOfPitches({64, 64, 64, 64, 64});  // U = 4, H = 2: width 192
    ScoreLayout l = PutInScore(s, true);
    ASSERT_EQ(l.Width, 192);
    std::vector<std::tuple<std::string, int, int>> tail;
    for (size_t i = l.Marks.size() - 6; i < l.Marks.size(); ++i) {
        tail.emplace_back(l.Marks[i].Text, l.Marks[i].X, l.Marks[i].Y);
    }
    const std::vector<std::tuple<std::string, int, int>> expected = {
        {"|", 187, 32}, {"\\", 184, 145}, {"|", -3, 32}, {"|", 0, 32}, {"|", -3, 144}, {"|", 0, 144}};
    EXPECT_EQ(tail, expected);
}

TEST(PutInScore, LongSongsLayOutBeyondOneThousandColumns) {
    const int records = 5001;  // row 1: 2501 columns
    std::vector<int> pitches(records, 64);
    Song s = PlainSongOfPitches(pitches);
    ScoreLayout l = PutInScore(s, true);
    ASSERT_EQ(l.NotePos.size(), static_cast<size_t>(records) + 1);
    EXPECT_EQ(l.Width, (2500 + 4) * 32);
    EXPECT_EQ(l.Row2FirstIndex, 2501);
    EXPECT_EQ(l.NotePos[2500].X, 2501 * 32.0);
    EXPECT_EQ(l.NotePos[2500].Page, 136);  // Int(80032 / 588)
    EXPECT_EQ(l.NotePos[2501].X, 32);
    EXPECT_EQ(l.NotePos[2501].Y, 176);
    EXPECT_EQ(l.NotePos[records - 1].X, 2500 * 32.0);
    EXPECT_EQ(l.NotePos.back().X, 32.0 * records);
}

TEST(WordsLayout, SyllablesBreaksAndLonelySyllables) {
    // Notes at 0, 480, 960, 1440. Lyric events: "Fra " on note 0, a line break right
    // after it, "Mar" 1.5 sixteenths (180 ticks) before note 2, "ti" on note 2, "no" on
    // note 3, and a last event the merge keeps as the final record.
    Song s = WordsSong({{67, 0}, {69, 480}, {71, 960}, {72, 1440}},
                       {{"Fra ", 0}, {"\r", 480}, {"Mar", 780}, {"ti", 960}, {"no", 1440}, {"", 1500}});
    s.LyricLines = {"Fra ", "Martino"};
    ScoreLayout l = PutInScore(s, true);
    ASSERT_TRUE(l.Drawn);
    // The merged table: Fra/67, break (with note 69's pitch), Mar (Note 0), ti/71, no/72, "".
    ASSERT_EQ(s.Notes.size(), 6u);
    EXPECT_EQ(s.Notes[2].Note, 0);
    EXPECT_EQ(s.Notes[2].Text, "Mar");

    // U = 5, H = 2: row 1 = records 0..2, row 2 = records 3..5.
    EXPECT_EQ(l.Width, (2 + 4) * 32);
    EXPECT_EQ(l.Row2FirstIndex, 3);
    EXPECT_EQ(l.Row2FirstNote, 2);  // the break made no NotePos entry

    std::vector<std::tuple<std::string, int, int>> syllables;
    for (const ScoreMark& m : l.Marks) {
        if (m.Kind == MarkKind::Text && m.Font == MarkFont::Arial) {
            EXPECT_EQ(m.Size, 8);
            syllables.emplace_back(m.Text, m.X, m.Y);
        }
    }
    // The break's column (x 64) stays empty; "Mar" stands in column 3 of row 1.
    const std::vector<std::tuple<std::string, int, int>> expectedSyllables = {
        {"Fra ", 32, 90}, {"Mar", 96, 90}, {"ti", 32, 202}, {"no", 64, 202}};
    EXPECT_EQ(syllables, expectedSyllables);

    // "Mar" (Note 0) keeps the height of the last mapped record: the break's note 69.
    std::vector<std::pair<int, int>> heads;
    for (const ScoreMark& m : Heads(l)) heads.emplace_back(m.X, m.Y);
    const std::vector<std::pair<int, int>> expectedHeads = {
        {32, 28 + 60 - 69}, {96, 28 + 56 - 69}, {32, 28 + 52 - 69 + 112}, {64, 0 + 76 - 69 + 112},
        {96, 0 + 76 - 69 + 112}};
    EXPECT_EQ(heads, expectedHeads);

    // No end mark in the words layout: one entry per drawn note.
    ASSERT_EQ(l.NotePos.size(), 5u);
    EXPECT_EQ(l.NotePos[1].X, 96);
    EXPECT_EQ(l.NotePos[1].Time, 780);
    EXPECT_EQ(l.NotePos[2].Y, 176);

    EXPECT_EQ(l.KaraokeLines, (std::vector<std::string>{"Fra ", "Martino"}));
    KaraokeFrame frame = ScoreKaraokeFrame(l);
    ASSERT_EQ(frame.Rows.size(), 2u);
    EXPECT_EQ(frame.Rows[1].Y, 24);
    EXPECT_EQ(frame.Rows[1].Runs.at(0).Text, "Martino");
    EXPECT_FALSE(frame.Rows[1].Runs.at(0).Highlight);
}

TEST(WordsLayout, NoteWithoutSyllableShowsPlaceholderAndPlainHasNoKaraoke) {
    Song s = WordsSong({{64, 0}, {65, 480}, {67, 960}}, {{"a", 0}, {"b", 960}, {"", 1200}});
    ScoreLayout l = PutInScore(s, true);
    EXPECT_EQ(TextMarks(l, "__").size(), 1u);
    EXPECT_EQ(l.KaraokeLines.size(), 1u);  // LyricLines holds its one element

    Song plain = PlainSongOfPitches({64, 65, 67});
    ScoreLayout p = PutInScore(plain, true);
    EXPECT_TRUE(p.KaraokeLines.empty());
    EXPECT_TRUE(ScoreKaraokeFrame(p).Rows.empty());
    for (const ScoreMark& m : p.Marks) EXPECT_NE(m.Font, MarkFont::Arial);
}

TEST(Heading, ClefsAndTimeSignatureOfBothStaves) {
    Song s = PlainSongOfPitches({64, 65});
    s.TimeSigNum = 3;
    s.TimeSigDen = 4;
    ScoreLayout l = PutInScore(s, true);
    std::vector<std::tuple<std::string, int, int>> got;
    for (const HeadingItem& i : l.Heading) got.emplace_back(i.Text, i.X, i.Y);
    const std::vector<std::tuple<std::string, int, int>> expected = {
        {"&", 10, 12}, {"3", 20, 0}, {"4", 20, 15}, {"&", 10, 124}, {"3", 20, 112}, {"4", 20, 127}};
    EXPECT_EQ(got, expected);
}

TEST(LayoutJson, CarriesEveryPart) {
    Song s = WordsSong({{61, 0}, {64, 1920}}, {{"s\xe8", 0}, {"no", 1920}, {"", 2000}});
    s.LyricLines = {"s\xe8no"};
    const std::string json = LayoutToJson(PutInScore(s, true));
    EXPECT_EQ(json.rfind("{\"width\":", 0), 0u) << json;
    for (const char* part : {"\"row2_first_index\":", "\"row2_first_note\":", "\"note_pos\":[{",
                             "\"time_ms\":1920", "\"marks\":[", "\"kind\":\"text\"",
                             "\"font\":\"Dida\"", "\"font\":\"Arial\"", "\"size\":14",
                             "\"text\":\"s\xc3\xa8\"", "\"kind\":\"line\"", "\"x1\":",
                             "\"heading\":[{\"text\":\"&\",\"x\":10,\"y\":12}",
                             "\"karaoke_lines\":[\"s\xc3\xa8no\"]"}) {
        EXPECT_NE(json.find(part), std::string::npos) << part << " in " << json;
    }

    Song one = PlainSongOfPitches({64});
    const std::string empty = LayoutToJson(PutInScore(one, true));
    EXPECT_NE(empty.find("\"note_pos\":[]"), std::string::npos) << empty;
    EXPECT_NE(empty.find("\"marks\":[]"), std::string::npos) << empty;
}

}  // namespace
}  // namespace lirovox::score
