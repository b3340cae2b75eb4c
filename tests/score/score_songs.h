#pragma once
// Songs built by hand for the score tests: Division 480, one bar = 1920 ticks.

#include <string>
#include <utility>
#include <vector>

#include "smf/song.h"

namespace lirovox::test {

struct MelodyNote {
    int note;
    double tick;
};

// A song without words whose melody (and working copy `Notes`) holds `notes`.
inline Song PlainSong(const std::vector<MelodyNote>& notes) {
    Song s;
    s.Division = 480;
    s.TicksPerBar = 1920;
    s.TicksPer16th = 120;
    s.MelodyNotes.clear();
    for (const MelodyNote& n : notes) {
        NoteRec r;
        r.Note = static_cast<int16_t>(n.note);
        r.Tick = n.tick;
        r.Time = n.tick;  // 1 ms per tick keeps times easy to read
        s.MelodyNotes.push_back(r);
    }
    if (s.MelodyNotes.empty()) s.MelodyNotes.resize(1);
    s.Notes = s.MelodyNotes;
    s.NoteCount = static_cast<int>(notes.size());
    return s;
}

// Notes one quarter apart (480 ticks) with the given pitches.
inline Song PlainSongOfPitches(const std::vector<int>& pitches) {
    std::vector<MelodyNote> notes;
    for (size_t i = 0; i < pitches.size(); ++i) notes.push_back({pitches[i], 480.0 * static_cast<double>(i)});
    return PlainSong(notes);
}

struct LyricEvent {
    std::string text;  // "\r" for a line break
    double tick;
};

// A song with words: the melody plus the lyric events (the merge builds `Notes`).
inline Song WordsSong(const std::vector<MelodyNote>& notes, const std::vector<LyricEvent>& lyrics) {
    Song s = PlainSong(notes);
    s.HasWords = true;
    s.LyricEvents.clear();
    for (const LyricEvent& e : lyrics) {
        NoteRec r;
        r.Text = e.text;
        r.Tick = e.tick;
        r.Time = e.tick;
        r.Mark = e.text == "\r" ? 13.0 : 0.0;
        s.LyricEvents.push_back(r);
    }
    if (s.LyricEvents.empty()) s.LyricEvents.resize(1);
    return s;
}

}  // namespace lirovox::test
