#include "score/merge.h"

#include <cmath>

#include "util/numeric.h"

namespace lirovox::score {

int SixteenthTicks(const Song& song) {
    return static_cast<int>(RoundHalfEven(song.Division / 4.0));
}

void Merge(Song& song) {
    const std::vector<NoteRec>& melody = song.MelodyNotes;
    const std::vector<NoteRec>& lyrics = song.LyricEvents;
    const double sixteenth = SixteenthTicks(song);
    const int lastLyric = UBound(lyrics);
    const int lastNote = UBound(melody);

    std::vector<NoteRec> merged;
    merged.reserve(melody.size() + lyrics.size());

    auto fromNote = [](const NoteRec& note, const NoteRec& lyric) {
        NoteRec r;
        r.Note = note.Note;
        r.Time = note.Time;
        r.Tick = note.Tick;
        r.Text = lyric.Text;
        r.Mark = lyric.Mark;
        return r;
    };

    int i = 0;
    int j = 0;
    bool melodyRanOut = false;
    while (j < lastLyric) {
        if (i > lastNote) {
            melodyRanOut = true;
            break;
        }
        const NoteRec& note = melody[i];
        const NoteRec& lyric = lyrics[j];
        const double d = note.Tick - lyric.Tick;
        if (d <= 0) {
            if (std::fabs(d) <= sixteenth) {
                merged.push_back(fromNote(note, lyric));
                ++i;
                ++j;
            } else {
                NoteRec r;
                r.Note = note.Note;
                r.Time = note.Time;
                r.Tick = note.Tick;
                r.Text = "__";
                merged.push_back(std::move(r));
                ++i;
            }
        } else if (d > sixteenth) {
            NoteRec r;
            r.Time = lyric.Time;
            r.Tick = lyric.Tick;
            r.Text = lyric.Text;
            r.Mark = lyric.Mark;
            merged.push_back(std::move(r));
            ++j;
        } else {
            merged.push_back(fromNote(note, lyric));
            ++i;
            ++j;
        }
    }

    if (melodyRanOut) {
        // The melody ended while syllables remain: keep each of them as its own record
        // rather than dropping the song's last words from the score and the export.
        for (; j <= lastLyric; ++j) merged.push_back(lyrics[j]);
    } else {
        merged.push_back(lyrics[j]);
    }

    song.Notes = std::move(merged);
}

}  // namespace lirovox::score
