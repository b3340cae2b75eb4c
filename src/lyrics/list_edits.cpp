#include "lyrics/list_edits.h"

#include <algorithm>

#include "lyrics/binding.h"

namespace lirovox::lyrics {

namespace {

bool IsSelected(const Song& song, int selected) {
    return selected >= 0 && selected < static_cast<int>(song.List1.size());
}

// Binds the list again when a song is loaded; true when the score must be redrawn.
bool Rebind(Song& song, bool loaded) { return loaded && BindSyllables(song); }

ListEditResult Unchanged(int selected) {
    ListEditResult r;
    r.Selection = selected;
    return r;
}

ListEditResult InsertAfter(Song& song, bool loaded, int selected, const std::string& entry) {
    if (!IsSelected(song, selected)) {
        ListEditResult r = Unchanged(selected);
        r.RefreshScore = true;
        return r;
    }
    song.List1.insert(song.List1.begin() + selected + 1, entry);
    ListEditResult r;
    r.Changed = true;
    r.Selection = selected + 1;
    r.Redraw = Rebind(song, loaded);
    r.RefreshScore = true;
    return r;
}

}  // namespace

ListEditResult DeleteEntry(Song& song, bool loaded, int selected) {
    if (!IsSelected(song, selected)) return Unchanged(selected);
    song.List1.erase(song.List1.begin() + selected);
    ListEditResult r;
    r.Changed = true;
    r.Selection = selected < static_cast<int>(song.List1.size()) ? selected : -1;
    r.Redraw = Rebind(song, loaded);
    return r;
}

ListEditResult InsertEmptyEntry(Song& song, bool loaded, int selected) {
    return InsertAfter(song, loaded, selected, std::string{});
}

ListEditResult InsertLineMark(Song& song, bool loaded, int selected) {
    return InsertAfter(song, loaded, selected, kLineMark);
}

ListEditResult JoinWithPrevious(Song& song, bool loaded, int selected) {
    ListEditResult r = Unchanged(selected);
    if (selected >= 1 && IsSelected(song, selected) &&
        song.List1[static_cast<size_t>(selected) - 1] != kLineMark) {
        song.List1[static_cast<size_t>(selected) - 1] += song.List1[static_cast<size_t>(selected)];
        song.List1.erase(song.List1.begin() + selected);
        r.Changed = true;
        r.Selection = selected - 1;
    }
    r.Redraw = Rebind(song, loaded);
    r.RefreshScore = true;
    return r;
}

bool CanOpenEditor(const Song& song, const InPlaceEditor& editor, int selected) {
    return !editor.Open && IsSelected(song, selected) &&
           song.List1[static_cast<size_t>(selected)] != kLineMark;
}

std::string OpenEditor(Song& song, InPlaceEditor& editor, int selected) {
    if (!CanOpenEditor(song, editor, selected)) return {};
    std::string& entry = song.List1[static_cast<size_t>(selected)];
    std::string text = entry.empty() ? std::string(" ") : entry;
    editor.Open = true;
    editor.Index = selected;
    editor.Tag = text;
    entry.clear();
    return text;
}

namespace {

// Puts `text` into the edited entry and closes the editor; false when it was not open
// over an entry of the list.
bool CloseWith(Song& song, InPlaceEditor& editor, const std::string& text) {
    if (!editor.Open) return false;
    const int index = editor.Index;
    editor = InPlaceEditor{};
    if (!IsSelected(song, index)) return false;
    song.List1[static_cast<size_t>(index)] = text;
    return true;
}

}  // namespace

ListEditResult EditorEscape(Song& song, InPlaceEditor& editor) {
    const int index = editor.Index;
    const std::string tag = editor.Tag;
    if (!editor.Open) return Unchanged(index);
    ListEditResult r;
    r.Changed = CloseWith(song, editor, tag);
    r.Selection = index;
    r.FocusList = true;
    return r;
}

ListEditResult EditorEnter(Song& song, bool loaded, InPlaceEditor& editor, const std::string& typedText) {
    const int index = editor.Index;
    if (!editor.Open) return Unchanged(index);
    ListEditResult r;
    r.Selection = index;
    r.Changed = CloseWith(song, editor, typedText);
    if (r.Changed) {
        std::string& entry = song.List1[static_cast<size_t>(index)];
        const size_t hyphen = entry.find('-');
        if (hyphen != std::string::npos) {
            std::string rest = entry.substr(hyphen + 1);
            entry.erase(hyphen);
            song.List1.insert(song.List1.begin() + index + 1, std::move(rest));
        }
    }
    r.Redraw = Rebind(song, loaded);
    r.FocusList = true;
    r.RefreshScore = true;
    return r;
}

ListEditResult EditorLostFocus(Song& song, InPlaceEditor& editor, const std::string& typedText) {
    const int index = editor.Index;
    if (!editor.Open) return Unchanged(index);
    ListEditResult r;
    r.Selection = index;
    r.Changed = CloseWith(song, editor, typedText);
    r.FocusList = true;
    return r;
}

RetypeResult RetypeNoteSyllable(Song& song, int curNote, const std::string& text) {
    RetypeResult r;
    if (curNote < 0 || curNote > UBound(song.Notes)) return r;
    song.Notes[static_cast<size_t>(curNote)].Text = text;
    r.Done = true;
    r.RedrawLyricStrip = true;
    AggiornaLyr(song, curNote);
    if (curNote + 1 <= UBound(song.LyricRecs) && song.HasWords) {
        song.LyricRecs[static_cast<size_t>(curNote)].Text = text;
        r.RedrawKaraoke = true;
    }
    return r;
}

int LineMarksBefore(const std::vector<std::string>& list, int index) {
    const int end = std::clamp(index, 0, static_cast<int>(list.size()));
    return static_cast<int>(std::count(list.begin(), list.begin() + end, std::string(kLineMark)));
}

}  // namespace lirovox::lyrics
