#include "lyrics/binding.h"

#include <algorithm>

namespace lirovox::lyrics {

namespace {

bool IsLineMark(const std::string& entry) { return entry.find("---") != std::string::npos; }

int16_t TextLength(const std::string& text) {
    return static_cast<int16_t>(std::min<size_t>(text.size(), 32767));
}

}  // namespace

bool BindSyllables(Song& song) {
    const std::vector<std::string>& list = song.List1;
    if (list.empty()) return false;

    song.LyricLines.assign(1, std::string{});
    song.LyricEvents.assign(1, NoteRec{});
    song.LyricRecs.assign(1, LyricRec{});

    const int a = (song.NoteCount - 1) + song.LineCount;
    const int b = (song.HyphenCount - 1) + song.LineCount;
    const int last = b > a ? UBound(song.MelodyNotes) : a;
    const int lastNote = UBound(song.MelodyNotes);

    int line = 0;
    int k = 0;
    int n = 0;
    int32_t chars = 0;
    bool markPending = false;
    static const std::string kEmpty;

    if (last >= 0) {
        song.LyricEvents.reserve(static_cast<size_t>(last) + 1);
        song.LyricRecs.reserve(static_cast<size_t>(last) + 1);
    }
    for (int i = 0; i <= last; ++i) {
        const std::string& entry = i < static_cast<int>(list.size()) ? list[static_cast<size_t>(i)] : kEmpty;
        song.LyricEvents.resize(static_cast<size_t>(k) + 1);
        song.LyricRecs.resize(static_cast<size_t>(k) + 1);
        NoteRec& ev = song.LyricEvents[static_cast<size_t>(k)];
        LyricRec& rec = song.LyricRecs[static_cast<size_t>(k)];
        if (IsLineMark(entry)) {
            ev.Mark = 13.0;
            ev.Text.assign(1, kLineBreakText[0]);
            if (k >= 1) {
                ev.Time = song.LyricEvents[static_cast<size_t>(k) - 1].Time;
                ev.Tick = song.LyricEvents[static_cast<size_t>(k) - 1].Tick;
            }
            ++line;
            song.LyricLines.resize(static_cast<size_t>(line) + 1);
            rec.Text.clear();
            rec.Length = 0;
            rec.CharPos = 0;
            rec.Time = ev.Time;
            rec.Tick = ev.Tick;
            rec.Line = static_cast<int16_t>(line);
            chars = 0;
            markPending = true;
        } else {
            ev.Mark = 0;
            ev.Text = entry;
            if (n <= lastNote) {
                ev.Time = song.MelodyNotes[static_cast<size_t>(n)].Time;
                ev.Tick = song.MelodyNotes[static_cast<size_t>(n)].Tick;
            }
            if (markPending) {
                markPending = false;
                song.LyricRecs[static_cast<size_t>(k) - 1].Time = ev.Time;
            }
            rec.Text = entry;
            rec.Length = TextLength(entry);
            rec.CharPos = chars;
            rec.Time = ev.Time;
            rec.Tick = ev.Tick;
            rec.Line = static_cast<int16_t>(line);
            song.LyricLines[static_cast<size_t>(line)] += entry;
            chars += static_cast<int32_t>(entry.size());
            ++n;
        }
        ++k;
    }

    song.HasWords = true;
    song.HyphenCount = static_cast<int>(list.size()) - line;
    song.LineCount = line;
    song.LyricEventCount = k;
    song.LyricRecCount = k;
    return true;
}

void AggiornaLyr(Song& song, int curNote) {
    song.LyricLines.assign(1, std::string{});
    song.LyricRecs.assign(1, LyricRec{});
    int line = 0;
    int32_t position = 0;
    const int last = UBound(song.Notes);
    const int first = std::max(curNote, 0);
    if (first <= last) song.LyricRecs.resize(static_cast<size_t>(last) + 1);
    for (int k = first; k <= last; ++k) {
        const NoteRec& note = song.Notes[static_cast<size_t>(k)];
        LyricRec& rec = song.LyricRecs[static_cast<size_t>(k)];
        if (note.Text == kLineBreakText) {
            ++line;
            song.LyricLines.resize(static_cast<size_t>(line) + 1);
            rec.CharPos = 0;
            rec.Length = 0;
            rec.Time = note.Time;
            rec.Tick = note.Tick;
            rec.Line = static_cast<int16_t>(line);
            position = 0;
        } else {
            rec.Text = note.Text;
            rec.Time = note.Time;
            rec.Tick = note.Tick;
            rec.Length = TextLength(note.Text);
            rec.CharPos = position;
            rec.Line = static_cast<int16_t>(line);
            song.LyricLines[static_cast<size_t>(line)] += note.Text;
            position += static_cast<int32_t>(note.Text.size());
        }
    }
    song.LyricRecCount = first <= last ? last + 1 : 0;
}

void ApplyImport(Song& song, const SyllableImport& import) {
    song.List1 = import.List1;
    song.LineCount = import.LineCount;
    song.HyphenCount = import.HyphenCount;
}

bool SynchronizeTXT(Song& song, const std::string& notepadText, bool otherLang, bool loaded) {
    ApplyImport(song, ImportTXT(notepadText, otherLang));
    return loaded && BindSyllables(song);
}

bool ReadyTXT(Song& song, const std::string& listText, bool loaded) {
    ApplyImport(song, ReadReadyList(listText));
    return loaded && BindSyllables(song);
}

bool HasSyllables(const std::vector<std::string>& list) {
    return std::any_of(list.begin(), list.end(),
                       [](const std::string& e) { return !e.empty() && !IsLineMark(e); });
}

}  // namespace lirovox::lyrics
