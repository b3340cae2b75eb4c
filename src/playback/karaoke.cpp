#include "playback/karaoke.h"

#include <algorithm>
#include <string>

namespace lirovox::playback {

namespace {

KaraokeRow PlainRow(const std::string& text, int y) {
    KaraokeRow row;
    row.Y = y;
    row.Runs.push_back(KaraokeRun{text, false});
    return row;
}

}  // namespace

KaraokeFrame DueEntryFrame(const Song& song, int index) {
    KaraokeFrame frame;
    if (index < 0 || index > UBound(song.LyricRecs)) return frame;
    const LyricRec& e = song.LyricRecs[static_cast<size_t>(index)];
    const int lineCount = static_cast<int>(song.LyricLines.size());
    const std::string line =
        (e.Line >= 0 && e.Line < lineCount) ? song.LyricLines[static_cast<size_t>(e.Line)] : std::string();

    // The lit part: the first CharPos characters of the line, then the syllable itself.
    const size_t lineLength = line.size();
    const size_t firstLength = e.CharPos <= 0 ? 0 : std::min<size_t>(static_cast<size_t>(e.CharPos), lineLength);
    // The plain rest: the last (line length - (first part + syllable length)) characters.
    const long long restLength = static_cast<long long>(lineLength) -
                                 (static_cast<long long>(firstLength) + e.Length);
    std::string rest;
    if (restLength > 0) rest = line.substr(lineLength - static_cast<size_t>(restLength));

    KaraokeRow current;
    current.Y = 0;
    current.Runs.push_back(KaraokeRun{line.substr(0, firstLength) + e.Text, true});
    current.Runs.push_back(KaraokeRun{rest, false});
    frame.Rows.push_back(std::move(current));

    for (int k = 1; k <= 2; ++k) {
        const int next = e.Line + k;
        if (next >= 0 && next < lineCount) {
            frame.Rows.push_back(PlainRow(song.LyricLines[static_cast<size_t>(next)], kKaraokeRowStep * k));
        }
    }
    return frame;
}

KaraokeFrame StopFrame(const Song& song) {
    KaraokeFrame frame;
    if (!song.HasWords) return frame;
    for (size_t k = 0; k < 3 && k < song.LyricLines.size(); ++k) {
        if (song.LyricLines[k].empty()) continue;
        frame.Rows.push_back(PlainRow(song.LyricLines[k], kKaraokeRowStep * static_cast<int>(k)));
    }
    return frame;
}

}  // namespace lirovox::playback
