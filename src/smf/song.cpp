#include "smf/song.h"

#include <cstdio>

namespace lirovox {

void ResetSongTables(Song& song) {
    song.MelodyNotes.assign(1, NoteRec{});
    song.Notes.assign(1, NoteRec{});
    song.LyricEvents.assign(1, NoteRec{});
    song.LyricRecs.assign(1, LyricRec{});
    song.LyricLines.assign(1, std::string{});
    for (ChannelRec& ch : song.Channels) ch = ChannelRec{};
    song.LyricEventCount = 0;
    song.LyricRecCount = 0;
}

std::string FormatMinutesSeconds(int64_t seconds) {
    if (seconds < 0) seconds = 0;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return buf;
}

}  // namespace lirovox
