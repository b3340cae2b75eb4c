#pragma once
// What the three-row karaoke view shows: rows of text runs, each run lit (highlight
// colour, red) or plain (text colour, black). The view only draws a frame; the frames are
// computed by the playback tick, the reset at stop and the score's note pick.

#include <string>
#include <vector>

namespace lirovox {

struct KaraokeRun {
    std::string Text;        // Latin-1
    bool Highlight = false;  // true: ColorHighlight RGB(255,0,0); false: ColorText black
};

struct KaraokeRow {
    std::vector<KaraokeRun> Runs;  // drawn one after the other without gaps
    // Vertical position: absolute `Y` pixels, or, when `FollowsPrevious`, the previous
    // row's y plus one text line height plus `Gap` pixels.
    int Y = 0;
    bool FollowsPrevious = false;
    int Gap = 0;
};

struct KaraokeFrame {
    std::vector<KaraokeRow> Rows;  // the view is cleared, then these rows are drawn
};

}  // namespace lirovox
