#pragma once
// The window's song state and the named procedures that run over it, without Qt.
//
// Who owns what (everything lives as long as the window):
//   Song           the loaded song: header facts, `MelodyNotes`, the merged `Notes`, the
//                  lyric tables `LyricEvents` / `LyricRecs` / `LyricLines` rebuilt by the
//                  binding, `Channels`, and the syllable list `List1` (Song::List1, the one
//                  source of truth of the alignment) with the header figures NoteCount,
//                  HyphenCount, LineCount that the binding reads back.
//   Layout/NotePos the score as the last `PutInScore` laid it out; `NotePos` is kept in a
//                  vector of its own whose address never changes (playback reads it).
//   Header         the texts of the header panel labels, written by the procedures.
//   CurNote, Row2PickPos, ListIndex, Editor   the current note, the row-2 pick, the list's
//                  selection and the in-place editor.
//   NotepadText / NotepadShown   the notepad `NoteP` and the check mark of "Notepad Show/Hide".
//   Playback       the engine's song, the sequencer, transport and mixer (playback/).
//
// Every procedure returns a SessionUpdate: what the window must redraw or do next. The
// window forwards its events here and draws what comes back, nothing more.
//
// Undo and redo cover every change of the syllable list and of the syllables bound to
// the notes: each step keeps the lyric state before and after the change (list, header
// figures, bound tables, score layout, selection, and the notepad when the change set it),
// so undoing restores the list exactly and the tables as the binding had left them.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lyrics/list_edits.h"
#include "playback/engine.h"
#include "playback/karaoke_frame.h"
#include "playback/playback.h"
#include "score/layout.h"
#include "score/score_note.h"
#include "smf/song.h"

namespace lirovox::app {

inline constexpr int kUndoLimit = 200;  // steps kept; the oldest are dropped beyond it

// Texts of the header panel's value labels (Latin-1).
struct HeaderTexts {
    std::string LabFileName;  // the loaded file's path
    std::string Label7;       // length "mm:ss"
    std::string Label9;       // BPM
    std::string Label10;      // "bar of bars"
    std::string Label8;       // elapsed time (written by playback)
    std::string LabNotes;     // melody notes
    std::string LabHyphens;   // syllables
    std::string LabAcapi;     // text lines
    bool operator==(const HeaderTexts&) const = default;
};

// Where the score cursor `Line1` stands and which page the score shows.
struct CursorPlacement {
    double X = 32;
    int Bottom = 64;  // the cursor runs from (X, Bottom) to (X, Bottom - 32)
    int Page = 0;
};

// What the window must do after a procedure.
struct SessionUpdate {
    bool ListChanged = false;        // refill the list view from Song.List1
    bool SelectionChanged = false;   // show ListIndex as the list's selection (-1: none)
    bool ScoreChanged = false;       // show Layout in the score and the staff heading
    bool HeaderChanged = false;      // redraw the header panel from Header
    bool NotepadChanged = false;     // the notepad shows NotepadText
    bool NotepadShownChanged = false;  // visibility and check mark follow NotepadShown
    bool FocusNotepad = false;
    bool FocusList = false;
    bool LyricLinesChanged = false;  // fit the karaoke view's font to the widest line again
    std::optional<KaraokeFrame> Karaoke;   // clear the karaoke view and draw this
    std::optional<CursorPlacement> Cursor;
    bool PlaybackChanged = false;    // redraw from Playback().State() and switch the timers
    playback::PlaybackUpdate Playback;     // one-shot requests of the playback calls made
};

// One state of the lyrics, kept by the undo history.
struct LyricSnapshot {
    std::vector<std::string> List1;
    int NoteCount = 0;
    int HyphenCount = 0;
    int LineCount = 0;
    bool HasWords = false;
    std::vector<NoteRec> Notes;
    std::vector<NoteRec> LyricEvents;
    std::vector<LyricRec> LyricRecs;
    std::vector<std::string> LyricLines;
    int LyricEventCount = 0;
    int LyricRecCount = 0;
    std::shared_ptr<const score::ScoreLayout> Layout;
    std::vector<ScoreNote> NotePos;
    std::string LabHyphens;
    std::string LabAcapi;
    int ListIndex = -1;
    bool OtherLang = false;
    std::string NotepadText;
};

// True when the two states differ in anything a user could see or export.
bool LyricsDiffer(const LyricSnapshot& a, const LyricSnapshot& b);

// The window's state record.
struct SessionState {
    ::lirovox::Song Song;
    std::shared_ptr<const score::ScoreLayout> Layout;  // never null
    std::vector<ScoreNote> NotePos;
    HeaderTexts Header;
    int CurNote = 0;
    int Row2PickPos = 0;
    int ListIndex = -1;  // the selected entry of List1, -1 when none
    bool Loaded = false;
    bool SongOpen = false;
    bool OtherLang = false;
    lyrics::InPlaceEditor Editor;
    std::string NotepadText;  // Latin-1 with CR LF line ends
    bool NotepadShown = false;
};

// The list keys the session knows (as the platform numbers them).
enum class ListKey { Delete = 46, Insert = 45, Backspace = 8, F7 = 118, Enter = 13 };

class SongSession {
public:
    explicit SongSession(playback::Engine& engine);
    SongSession(const SongSession&) = delete;
    SongSession& operator=(const SongSession&) = delete;

    const SessionState& State() const { return state_; }
    playback::Playback& Playback() { return playback_; }
    const playback::Playback& Playback() const { return playback_; }

    // The notepad's text as the user edited it (the window keeps it current).
    void SetNotepadText(std::string latin1) { state_.NotepadText = std::move(latin1); }

    // "Load Midifile" after the dialog. The file is read into a fresh Song first; when
    // that fails, Error is thrown and nothing has changed. Otherwise, in order: the list
    // is cleared, playback stops (`StopMidiFile`), `CloseDevice` and `ZeroVariables`
    // release and reset the previous song, the new song takes its place, the engine takes
    // it, `Loaded` is set, `PutInScore` draws it, the length is shown and `SongOpen` set.
    // When the engine refuses the song, the previous one is put back and Error thrown.
    SessionUpdate LoadSMF(const std::string& path);

    // "Hyphenation 1" (otherLang false) / "Hyphenation 2" (true) after the dialog: the
    // file's text goes into the notepad, which is shown, and is split into the list.
    // Throws Error (nothing changed) when the file cannot be read.
    SessionUpdate ImportLyrics(const std::string& path, bool otherLang);
    // "Ready" after the dialog: the file's lines become the list, bound to the notes.
    SessionUpdate ReadyTXT(const std::string& path);
    // "Synchronize TXT": split the notepad again, toggle the notepad, bind.
    SessionUpdate UpdateTXT();
    // "Notepad Show/Hide".
    SessionUpdate NotePadz();
    // Double click on the window: the list, one entry per line, into the notepad.
    SessionUpdate CopyListToNotepad();

    // "Save Midifile": whether the command may ask for a name (a song is loaded and the
    // list has entries); then the export to the chosen name (the ".mid" rule applied).
    // Throws smf::SameFileError or Error. Returns the path written.
    bool CanExport() const;
    std::string ExportSMF(const std::string& chosenName);
    // "Save TXT File": whether there is a notepad text to save; then the save to the chosen
    // name with the ".txt" rule. Throws Error (the notepad unchanged). Returns the path.
    bool CanSaveText() const { return !state_.NotepadText.empty(); }
    std::string SaveTXT(const std::string& chosenName);
    // The ".txt" rule: ".txt" appended unless the name contains ".txt" anywhere.
    static std::string TextFileName(const std::string& chosenName);

    // The list's selection handler (`List1_Click`), run for every selection of an entry,
    // by the user or by a procedure.
    SessionUpdate List1_Click(int index);
    // Selects entry `index` of the list (-1: none) and runs the selection handler for it,
    // as a user's click on the entry does.
    SessionUpdate SelectListEntry(int index);
    // A pointer press on the list (`List1_MouseDown`): clears `Row2PickPos`.
    void List1_MouseDown();
    // A list key on the selected entry. Enter opens the editor (see OpenEditor).
    SessionUpdate List1_KeyDown(ListKey key);

    // The in-place editor `TexEdit`: whether it may open over the selected entry, opening
    // (returns the text to edit), Esc, Enter and the loss of focus.
    bool CanOpenEditor() const;
    std::string OpenEditor();
    SessionUpdate EditorEscape();
    SessionUpdate EditorEnter(const std::string& typedText);
    SessionUpdate EditorLostFocus(const std::string& typedText);

    // Enter in the note-syllable box `TextK`: the current note's syllable is retyped.
    SessionUpdate TextK_Enter(const std::string& text);

    // The score's keys and pointer presses (`PicScore_KeyDown`, `PicScore_MouseDown`).
    SessionUpdate PicScore_KeyDown(int keyCode);
    SessionUpdate PicScore_MouseDown(double x, double y);

    // The refresh after a change of the current note: the preview note through the
    // engine and the karaoke line with the current syllable lit.
    SessionUpdate AggiornaScore();

    // Undo and redo of the lyric changes (nothing while the in-place editor is open).
    bool CanUndo() const { return !undo_.empty() && !state_.Editor.Open; }
    bool CanRedo() const { return !redo_.empty() && !state_.Editor.Open; }
    SessionUpdate Undo();
    SessionUpdate Redo();
    int UndoDepth() const { return static_cast<int>(undo_.size()); }

    // Carries out what a playback call asks of the song state (the first list entry
    // selected after a stop, `Row2PickPos` cleared), takes the position, time and tempo
    // texts the playback changed into the header, and hands the rest to the window.
    // The playback side of the window calls it with every PlaybackUpdate it gets.
    SessionUpdate ApplyPlayback(const playback::PlaybackUpdate& p);

    // "Exit": releases the engine's song.
    void ExiPrg();

private:
    struct UndoStep {
        LyricSnapshot Before;
        LyricSnapshot After;
    };

    LyricSnapshot Capture() const;
    void Restore(const LyricSnapshot& snap, bool restoreNotepad, SessionUpdate& u);
    // Keeps the step from `before` to the present state when anything changed.
    void Record(const LyricSnapshot& before);

    void RedrawScore(SessionUpdate& u);  // PutInScore over the present song
    void ShowFigures(SessionUpdate& u);  // LabNotes / LabHyphens / LabAcapi from the song
    void ShowNewList(bool bound, SessionUpdate& u);  // after an import replaced the list
    void ApplyEdit(const lyrics::ListEditResult& r, bool reselect, SessionUpdate& u);
    void SelectEntry(int index, SessionUpdate& u);
    void ShowNotepad(bool shown, SessionUpdate& u);
    void AddPlayback(const playback::PlaybackUpdate& p, SessionUpdate& u);
    void SyncDisplayTexts(SessionUpdate& u);

    SessionState state_;
    playback::Playback playback_;
    std::vector<UndoStep> undo_;
    std::vector<UndoStep> redo_;
    LyricSnapshot editorBefore_;  // the state before the in-place editor opened
    // The playback's display texts as last taken into the header (Label10, Label8, Label9).
    std::string shownBarText_, shownTimeText_, shownTempoText_;
};

// Merges `next` into `into`: flags add up, later frames, cursors and positions replace
// earlier ones.
void MergeUpdate(SessionUpdate& into, const SessionUpdate& next);

// Merges the one-shot requests of `next` into `into` (later frames replace earlier ones).
void MergePlaybackUpdate(playback::PlaybackUpdate& into, const playback::PlaybackUpdate& next);

// The syllable under record `record` of `Notes` in the words layout shown with `text`
// instead: the score after the note-syllable box retyped one syllable. Returns the
// layout unchanged when the record has no syllable mark (a line break, or no layout).
score::ScoreLayout RetypeSyllableMark(const score::ScoreLayout& layout, const Song& song,
                                      int record, const std::string& text);

}  // namespace lirovox::app
