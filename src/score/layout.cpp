#include "score/layout.h"

#include <algorithm>
#include <cmath>

#include "score/merge.h"
#include "util/json.h"
#include "util/numeric.h"

namespace lirovox::score {

namespace {

// Octave bases for octaves 2..9 (index octave - 2).
constexpr int kOctaveBase[] = {112, 84, 56, 28, 0, -28, -56, -84};
// Row step and sharp flag of each pitch class: sharps share the row of the white key
// below them.
constexpr int kStep[12] = {76, 76, 72, 72, 68, 64, 64, 60, 60, 56, 56, 52};
constexpr bool kSharp[12] = {false, true, false, true, false, false,
                             true,  false, true, false, true, false};

constexpr int kNoPc = -1;

class LayoutBuilder {
public:
    LayoutBuilder(const Song& song, bool words, ScoreLayout& out)
        : song_(song), words_(words), out_(out) {}

    void Run() {
        const int u = UBound(song_.Notes);
        const int h = u / 2;  // u >= 1 here
        out_.Width = (h + 4) * kColumnWidth;
        out_.StaffRight = out_.Width;
        out_.Marks.reserve(static_cast<size_t>(u + 1) * (words_ ? 3 : 2) + 16);
        out_.NotePos.reserve(static_cast<size_t>(u) + 2);

        for (int k = 0; k <= h; ++k) Record(k);
        // Row 2 starts its columns again at x = 32; the bar count goes on.
        rowOffsetY_ = kRow2OffsetY;
        rowOffsetX_ = runningX_;
        if (!words_) {
            out_.Row2FirstIndex = n_;
            // Every record of the plain layout is a drawn note, so row 2's first note has
            // the same index in `NotePos` as its record in `Notes`.
            out_.Row2FirstNote = n_;
        }
        for (int k = h + 1; k <= u; ++k) Record(k);

        if (!words_) {
            ScoreNote end;
            end.X = static_cast<double>(runningX_);
            out_.NotePos.push_back(end);
        }
        ClosingMarks();
    }

private:
    void Record(int k) {
        const NoteRec& rec = song_.Notes[static_cast<size_t>(k)];
        if (words_ && rowOffsetY_ == kRow2OffsetY && !row2Marked_) {
            out_.Row2FirstIndex = k;
            out_.Row2FirstNote = n_;
            row2Marked_ = true;
        }
        const int bar = song_.TicksPerBar > 0
                            ? static_cast<int>(IntPart(rec.Tick / song_.TicksPerBar))
                            : 0;
        // A syllable without a note keeps the height of the record before it.
        if (!words_ || rec.Note != 0) pitch_ = MapPitch(rec.Note, octaveBase_);
        if (words_ && rec.Mark > 0) {
            runningX_ += kColumnWidth;  // a line break takes an empty column
            return;
        }
        const int x = static_cast<int>(runningX_ + kColumnWidth - rowOffsetX_);
        const int headY = pitch_.NoteY + rowOffsetY_;
        if (words_ && !rec.Text.empty()) {
            Text(MarkFont::Arial, 8, x, rowOffsetY_ + 90, rec.Text);
        }
        Text(MarkFont::Dida, 16, x, headY, "w");
        if (bar > prevBar_) {
            Text(MarkFont::Dida, 16, x - 16, rowOffsetY_ + 32, "|");
            Text(MarkFont::Dida, 14, x - 16, rowOffsetY_ - 20, std::to_string(bar + 1));
        }
        ScoreNote pos;
        pos.Time = rec.Time;
        pos.X = x;
        pos.Y = rowOffsetY_ + kRow1StaffBottom;
        pos.Page = IntPart(static_cast<double>(x) / kScorePageWidth);
        out_.NotePos.push_back(pos);
        ++n_;

        // Only the most recent sharp is remembered; bar lines reset nothing.
        if (pitch_.Sharp) {
            lastSharpPc_ = pitch_.Pc;
            if (pitch_.Pc != prevPc_) {
                Text(MarkFont::Dida, 16, x - 8, headY, "#");
                naturalShown_ = false;
            }
        } else if (lastSharpPc_ == pitch_.Pc + 1 && !naturalShown_) {
            Text(MarkFont::Dida, 16, x - 8, headY, "n");
            naturalShown_ = true;
        }
        for (const LedgerLine& l : LedgerLines(pitch_.NoteY)) {
            const int y = l.YOffset + headY;
            Line(x + l.X0Offset, y, x + l.X0Offset + 16, y);
        }
        prevPc_ = pitch_.Pc;
        runningX_ += kColumnWidth;
        prevBar_ = bar;
    }

    void ClosingMarks() {
        const int w = out_.Width;
        Text(MarkFont::Dida, 16, w - 5, 32, "|");
        Text(MarkFont::Dida, 16, w - 8, rowOffsetY_ + 33, "\\");
        Text(MarkFont::Dida, 16, -3, 32, "|");
        Text(MarkFont::Dida, 16, 0, 32, "|");
        Text(MarkFont::Dida, 16, -3, rowOffsetY_ + 32, "|");
        Text(MarkFont::Dida, 16, 0, rowOffsetY_ + 32, "|");
    }

    void Text(MarkFont font, int size, int x, int y, std::string text) {
        ScoreMark m;
        m.Kind = MarkKind::Text;
        m.Font = font;
        m.Size = static_cast<uint8_t>(size);
        m.X = x;
        m.Y = y;
        m.Text = std::move(text);
        out_.Marks.push_back(std::move(m));
    }

    void Line(int x1, int y1, int x2, int y2) {
        ScoreMark m;
        m.Kind = MarkKind::Line;
        m.Size = 0;
        m.X = x1;
        m.Y = y1;
        m.X2 = x2;
        m.Y2 = y2;
        out_.Marks.push_back(std::move(m));
    }

    const Song& song_;
    const bool words_;
    ScoreLayout& out_;

    // The running x is wide enough for any length of song.
    int64_t runningX_ = 0;
    int64_t rowOffsetX_ = 0;
    int rowOffsetY_ = 0;
    bool row2Marked_ = false;
    int n_ = 0;
    int prevBar_ = 0;
    int prevPc_ = kNoPc;
    int lastSharpPc_ = kNoPc;
    bool naturalShown_ = true;
    int octaveBase_ = 0;
    Pitch pitch_{};
};

}  // namespace

const char* FontName(MarkFont font) { return font == MarkFont::Arial ? "Arial" : "Dida"; }

Pitch MapPitch(int note, int& octaveBase) {
    const int octave = static_cast<int>(IntPart(note / 12.0));
    int pc = note % 12;
    if (pc < 0) pc += 12;
    if (octave >= 2 && octave <= 9) octaveBase = kOctaveBase[octave - 2];
    Pitch p;
    p.NoteY = octaveBase + kStep[pc] - kPitchReference;
    p.Pc = pc;
    p.Sharp = kSharp[pc];
    return p;
}

std::vector<LedgerLine> LedgerLines(int noteY) {
    switch (noteY) {
        case -29: return {{-5, 52}, {-5, 45}, {-5, 37}};
        case -25: return {{-5, 48}, {-5, 41}};
        case -21: return {{-5, 44}, {-5, 37}};
        case -17: return {{-5, 40}};
        case -13: return {{-5, 37}};
        case 35: return {{-5, 36}};
        case 39: return {{-5, 33}};
        case 43: return {{-5, 30}, {-6, 36}};
        case 47: return {{-5, 26}, {-5, 32}};
        case 51: return {{-5, 22}, {-5, 28}, {-5, 36}};
        default: return {};
    }
}

ScoreLayout PutInScore(Song& song, bool loaded) {
    ScoreLayout layout;
    if (!loaded) return layout;
    // The merge runs whenever the song carries words, so `Notes` always holds the merged
    // table afterwards, even when it turns out too short to draw.
    if (song.HasWords) Merge(song);
    if (UBound(song.Notes) <= 0) return layout;

    layout.Drawn = true;
    layout.Heading = Intestazione(song);
    LayoutBuilder(song, song.HasWords, layout).Run();
    if (song.HasWords) {
        const int lines = std::min<int>(3, static_cast<int>(song.LyricLines.size()));
        layout.KaraokeLines.assign(song.LyricLines.begin(), song.LyricLines.begin() + lines);
    }
    return layout;
}

KaraokeFrame ScoreKaraokeFrame(const ScoreLayout& layout) {
    KaraokeFrame frame;
    for (size_t i = 0; i < layout.KaraokeLines.size(); ++i) {
        if (layout.KaraokeLines[i].empty()) continue;
        KaraokeRow row;
        row.Y = static_cast<int>(i) * kKaraokeLineStep;
        row.Runs.push_back({layout.KaraokeLines[i], false});
        frame.Rows.push_back(std::move(row));
    }
    return frame;
}

std::string LayoutToJson(const ScoreLayout& layout) {
    JsonWriter w;
    w.BeginObject();
    w.Key("width").Int(layout.Width);
    w.Key("row2_first_index").Int(layout.Row2FirstIndex);
    w.Key("row2_first_note").Int(layout.Row2FirstNote);
    w.Key("note_pos").BeginArray();
    for (const ScoreNote& p : layout.NotePos) {
        w.BeginObject();
        w.Key("time_ms").Number(p.Time);
        w.Key("x").Number(p.X);
        w.Key("y").Int(p.Y);
        w.Key("page").Number(p.Page);
        w.EndObject();
    }
    w.EndArray();
    w.Key("marks").BeginArray();
    for (const ScoreMark& m : layout.Marks) {
        w.BeginObject();
        if (m.Kind == MarkKind::Text) {
            w.Key("kind").String("text");
            w.Key("font").String(FontName(m.Font));
            w.Key("size").Int(m.Size);
            w.Key("x").Int(m.X);
            w.Key("y").Int(m.Y);
            w.Key("text").String(m.Text);
        } else {
            w.Key("kind").String("line");
            w.Key("x1").Int(m.X);
            w.Key("y1").Int(m.Y);
            w.Key("x2").Int(m.X2);
            w.Key("y2").Int(m.Y2);
        }
        w.EndObject();
    }
    w.EndArray();
    w.Key("heading").BeginArray();
    for (const HeadingItem& item : layout.Heading) {
        w.BeginObject();
        w.Key("text").String(item.Text);
        w.Key("x").Int(item.X);
        w.Key("y").Int(item.Y);
        w.EndObject();
    }
    w.EndArray();
    w.Key("karaoke_lines").BeginArray();
    for (const std::string& line : layout.KaraokeLines) w.String(line);
    w.EndArray();
    w.EndObject();
    return w.Text();
}

}  // namespace lirovox::score
