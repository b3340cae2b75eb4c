#pragma once
// The editing operations of the syllable list `List1` (the list view beside the score),
// each as a plain operation on the song. The window only maps keys and pointer events to
// these calls and then does what the returned `ListEditResult` says; undo and redo are
// the window's (it snapshots `song.List1` around a call).
//
// Window event                               -> call
//   List key Delete (46)                     -> DeleteEntry(song, loaded, selected)
//   List key Insert (45)                     -> InsertEmptyEntry(song, loaded, selected)
//   List key Backspace (8)                   -> JoinWithPrevious(song, loaded, selected)
//   List key F7 (118)                        -> InsertLineMark(song, loaded, selected)
//   List key Enter (13), right button press  -> if CanOpenEditor(song, editor, selected):
//                                                 OpenEditor(song, editor, selected)
//   Editor key Esc (27)                      -> EditorEscape(song, editor)
//   Editor key Enter (13)                    -> EditorEnter(song, loaded, editor, typedText)
//   Editor loses the focus (while open)      -> EditorLostFocus(song, editor, typedText)
//   Note-syllable box key Enter (13)         -> RetypeNoteSyllable(song, curNote, boxText)
//   Note-syllable box Esc / loses the focus  -> (hide the box; no call)
//
// `selected` is the list's selected index, -1 when nothing is selected. `loaded` is
// whether a song is loaded: the rebinding runs only then. An operation whose condition
// does not hold changes nothing in the list.
//
// After a call, the window does in this order:
//   1. if `Redraw`: redraw the score (PutInScore, which merges `Notes` again);
//   2. if `Selection` differs from the current selection: select that index (-1: clear
//      the selection), raising the list's selection handler as a user's click would;
//   3. if `RefreshScore`: AggiornaScore (note preview and karaoke line of CurNote);
//   4. if `FocusList`: give the list the focus.

#include <string>
#include <vector>

#include "smf/song.h"

namespace lirovox::lyrics {

inline constexpr char kLineMark[] = "---";

struct ListEditResult {
    bool Changed = false;       // the list's entries changed
    int Selection = -1;         // the list index to select afterwards (-1: none)
    bool Redraw = false;        // the list was bound again (BindSyllables ran): PutInScore
    bool RefreshScore = false;  // call AggiornaScore
    bool FocusList = false;     // give the list the focus
};

// Delete: removes the selected entry; the entry that now stands at that index is
// selected (none when the last entry was removed); then rebinds.
ListEditResult DeleteEntry(Song& song, bool loaded, int selected);

// Insert: inserts an empty entry (a note without a syllable) after the selected one,
// selects it and rebinds; with nothing selected only AggiornaScore runs.
ListEditResult InsertEmptyEntry(Song& song, bool loaded, int selected);

// F7: inserts the line mark "---" after the selected entry, selects it and rebinds; with
// nothing selected only AggiornaScore runs.
ListEditResult InsertLineMark(Song& song, bool loaded, int selected);

// Backspace: when the selected index is 1 or more and the entry before it is not "---",
// appends the selected entry's text to the one before it, removes the selected entry
// and selects the joined entry. Rebinds and refreshes in any case (even when nothing
// was joined).
ListEditResult JoinWithPrevious(Song& song, bool loaded, int selected);

// The in-place editor over one list entry. `Open` and `Index` are `EditOpen` and
// `EditIndex`; `Tag` holds the entry's text from before the editing, to restore on Esc.
struct InPlaceEditor {
    bool Open = false;
    int Index = -1;
    std::string Tag;
};

// Whether Enter on the list (or a right-button press on an entry) opens the editor: an
// entry is selected, it is not "---", and the editor is closed.
bool CanOpenEditor(const Song& song, const InPlaceEditor& editor, int selected);

// Opens the editor over the selected entry and returns the text to put in the editor
// box (the entry, or a single blank for an empty entry). The entry itself is blanked in
// the list while the editor is open. Returns "" and does nothing when CanOpenEditor
// does not hold.
std::string OpenEditor(Song& song, InPlaceEditor& editor, int selected);

// Esc in the editor: the entry gets back its text from before the editing (an entry
// that was empty comes back as a single blank), the editor closes, the list gets the
// focus. No rebinding.
ListEditResult EditorEscape(Song& song, InPlaceEditor& editor);

// Enter in the editor: the entry takes `typedText` and the editor closes. When the
// entry now contains "-", it is split at its first "-": the entry keeps the text before
// it and the text after it (further hyphens included) becomes a new entry right after.
// Then the list is bound again, gets the focus, and AggiornaScore runs. The selection
// stays on the edited entry.
ListEditResult EditorEnter(Song& song, bool loaded, InPlaceEditor& editor, const std::string& typedText);

// The editor loses the focus while open: the entry takes `typedText`, the editor closes
// and the list gets the focus (no split, no rebinding).
ListEditResult EditorLostFocus(Song& song, InPlaceEditor& editor, const std::string& typedText);

// What the window does after Enter in the note-syllable box.
struct RetypeResult {
    bool Done = false;             // curNote was a record of Notes and took the text
    bool RedrawLyricStrip = false; // rewrite the syllables under the score (Notes 1..end)
    bool RedrawKaraoke = false;    // redraw the karaoke line (the LyricRecs text changed)
};

// Enter in the note-syllable box `TextK`: Notes(curNote).Text = `text`, the karaoke
// tables are rebuilt from Notes (AggiornaLyr from curNote), and when curNote + 1 is
// within LyricRecs and the song carries words, LyricRecs(curNote).Text = `text` as well.
// A curNote outside Notes changes nothing.
RetypeResult RetypeNoteSyllable(Song& song, int curNote, const std::string& text);

// The number of "---" entries among list indices 0..index-1: subtracted from the list
// index to give the note's index in the score's note-position table.
int LineMarksBefore(const std::vector<std::string>& list, int index);

}  // namespace lirovox::lyrics
