#include "score/navigation.h"

#include <algorithm>
#include <string>

#include "util/numeric.h"

namespace lirovox::score {

namespace {

void SelectIfListed(ScorePick& pick, int index, int listCount) {
    if (index >= 0 && index < listCount) pick.Select = index;
}

void AddRun(KaraokeRow& row, std::string text, bool highlight) {
    if (!text.empty()) row.Runs.push_back({std::move(text), highlight});
}

}  // namespace

ScorePick PicScore_KeyDown(const ScoreNavState& state, int keyCode) {
    ScorePick pick;
    if (!state.Loaded) return pick;
    pick.Handled = true;
    pick.CurNote = state.CurNote;
    pick.Row2PickPos = state.Row2PickPos;
    if (state.CurNote <= state.Row2FirstIndex + kColumnsPerPage) pick.Row2PickPos = 0;
    switch (keyCode) {
        case kKeyRight: pick.CurNote = std::min(state.CurNote + 1, state.NotesUBound); break;
        case kKeyLeft: pick.CurNote = std::max(state.CurNote - 1, 0); break;
        case kKeyHome: pick.CurNote = 0; break;
        case kKeyEnd: pick.CurNote = state.NotesUBound; break;
        default: return pick;
    }
    SelectIfListed(pick, pick.CurNote, state.ListCount);
    return pick;
}

ScorePick PicScore_MouseDown(const ScoreNavState& state, double x, double y) {
    ScorePick pick;
    if (!state.Loaded || state.ListCount < 1) return pick;
    pick.Handled = true;
    const int c = static_cast<int>(IntPart(x / 32.0)) - 1;
    pick.CurNote = c;
    if (y <= kRow1MaxY) {
        pick.Row2PickPos = 0;
        if (c >= 0) SelectIfListed(pick, c, state.ListCount);
    } else {
        // Left of row 2's first head this picks the last record of row 1.
        pick.Row2PickPos = state.Row2FirstNote + c;
        SelectIfListed(pick, state.Row2FirstIndex + c, state.ListCount);
    }
    return pick;
}

ScoreRefresh AggiornaScore(const Song& song, int curNote) {
    ScoreRefresh refresh;
    if (curNote >= 0 && curNote <= UBound(song.Notes)) {
        const int note = song.Notes[static_cast<size_t>(curNote)].Note;
        if (note > 0) refresh.PreviewNote = note;
    }
    if (song.HasWords && curNote >= 0 && curNote <= UBound(song.LyricRecs)) {
        const LyricRec& r = song.LyricRecs[static_cast<size_t>(curNote)];
        const int lineCount = static_cast<int>(song.LyricLines.size());
        const std::string empty;
        const std::string& line =
            r.Line >= 0 && r.Line < lineCount ? song.LyricLines[static_cast<size_t>(r.Line)] : empty;
        const size_t len = line.size();

        KaraokeFrame frame;
        KaraokeRow current;
        current.Y = 0;
        const size_t before = std::min<size_t>(len, static_cast<size_t>(std::max(0, r.CharPos)));
        AddRun(current, line.substr(0, before), false);
        AddRun(current, r.Text, true);
        // The rest of the line: what the syllable and the text before it leave over.
        const int64_t p = static_cast<int64_t>(r.Length) + static_cast<int64_t>(before);
        const int64_t rest = std::max<int64_t>(0, static_cast<int64_t>(len) - p);
        AddRun(current, line.substr(len - static_cast<size_t>(rest)), false);
        frame.Rows.push_back(std::move(current));
        for (int next = r.Line + 1; next <= r.Line + 2; ++next) {
            if (next < 0 || next >= lineCount) continue;
            KaraokeRow row;
            row.FollowsPrevious = true;
            row.Gap = kKaraokeRowGap;
            AddRun(row, song.LyricLines[static_cast<size_t>(next)], false);
            frame.Rows.push_back(std::move(row));
        }
        refresh.Karaoke = std::move(frame);
    }
    return refresh;
}

}  // namespace lirovox::score
