#include "app/song_session.h"

#include <utility>

#include "lyrics/binding.h"
#include "lyrics/import.h"
#include "playback/karaoke.h"
#include "score/navigation.h"
#include "smf/export.h"
#include "smf/reader.h"
#include "util/error.h"
#include "util/file_io.h"
#include "util/numeric.h"

namespace lirovox::app {

namespace {

bool SameNote(const NoteRec& a, const NoteRec& b) {
    return a.Time == b.Time && a.Tick == b.Tick && a.Note == b.Note && a.Text == b.Text &&
           a.Mark == b.Mark;
}

bool SameRec(const LyricRec& a, const LyricRec& b) {
    return a.Time == b.Time && a.Text == b.Text && a.Length == b.Length &&
           a.CharPos == b.CharPos && a.Line == b.Line && a.Tick == b.Tick;
}

template <class T, class Eq>
bool SameTable(const std::vector<T>& a, const std::vector<T>& b, Eq eq) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (!eq(a[i], b[i])) return false;
    }
    return true;
}

std::shared_ptr<const score::ScoreLayout> EmptyLayout() {
    return std::make_shared<const score::ScoreLayout>();
}

}  // namespace

bool LyricsDiffer(const LyricSnapshot& a, const LyricSnapshot& b) {
    return a.List1 != b.List1 || a.NoteCount != b.NoteCount || a.HyphenCount != b.HyphenCount ||
           a.LineCount != b.LineCount || a.HasWords != b.HasWords || a.OtherLang != b.OtherLang ||
           a.NotepadText != b.NotepadText || a.LyricLines != b.LyricLines ||
           !SameTable(a.Notes, b.Notes, SameNote) || !SameTable(a.LyricEvents, b.LyricEvents, SameNote) ||
           !SameTable(a.LyricRecs, b.LyricRecs, SameRec);
}

void MergePlaybackUpdate(playback::PlaybackUpdate& into, const playback::PlaybackUpdate& next) {
    if (next.Karaoke) into.Karaoke = next.Karaoke;
    into.CursorMoved = into.CursorMoved || next.CursorMoved;
    into.ProcessPendingEvents = into.ProcessPendingEvents || next.ProcessPendingEvents;
    into.SelectFirstListEntry = into.SelectFirstListEntry || next.SelectFirstListEntry;
    into.ResetRow2PickPos = into.ResetRow2PickPos || next.ResetRow2PickPos;
    into.HideGoToBox = into.HideGoToBox || next.HideGoToBox;
}

void MergeUpdate(SessionUpdate& into, const SessionUpdate& next) {
    into.ListChanged = into.ListChanged || next.ListChanged;
    into.SelectionChanged = into.SelectionChanged || next.SelectionChanged;
    into.ScoreChanged = into.ScoreChanged || next.ScoreChanged;
    into.HeaderChanged = into.HeaderChanged || next.HeaderChanged;
    into.NotepadChanged = into.NotepadChanged || next.NotepadChanged;
    into.NotepadShownChanged = into.NotepadShownChanged || next.NotepadShownChanged;
    into.FocusNotepad = into.FocusNotepad || next.FocusNotepad;
    into.FocusList = into.FocusList || next.FocusList;
    into.LyricLinesChanged = into.LyricLinesChanged || next.LyricLinesChanged;
    if (next.Karaoke) into.Karaoke = next.Karaoke;
    if (next.Cursor) into.Cursor = next.Cursor;
    if (next.PlaybackChanged) {
        into.PlaybackChanged = true;
        MergePlaybackUpdate(into.Playback, next.Playback);
    }
}

score::ScoreLayout RetypeSyllableMark(const score::ScoreLayout& layout, const Song& song,
                                      int record, const std::string& text) {
    score::ScoreLayout out = layout;
    const int last = UBound(song.Notes);
    if (!layout.Drawn || record < 0 || record > last) return out;
    // Records 0..H stand on row 1 at x = 32 (k + 1); the others on row 2, whose columns
    // start again at x = 32 (every record takes a column, line breaks included).
    const int h = static_cast<int>(IntPart(last / 2.0));
    const bool row2 = record > h;
    const int x = score::kColumnWidth * (row2 ? record - h : record + 1);
    const int y = (row2 ? score::kRow2OffsetY : 0) + 90;
    for (score::ScoreMark& m : out.Marks) {
        if (m.Kind == score::MarkKind::Text && m.Font == score::MarkFont::Arial && m.X == x &&
            m.Y == y) {
            m.Text = text;
            break;
        }
    }
    return out;
}

SongSession::SongSession(playback::Engine& engine) : playback_(engine) {
    state_.Layout = EmptyLayout();
}

// ---------------------------------------------------------------------------------------
// Loading

SessionUpdate SongSession::LoadSMF(const std::string& path) {
    // ReadFile and ReadFour, into a song of its own: a file that cannot be read or parsed
    // leaves everything as it was.
    Song fresh = smf::ReadSong(path);

    SessionState previous = state_;
    const bool wasLoaded = state_.Loaded;
    SessionUpdate u;

    // The list is cleared and playback stops before the old song is released.
    state_.Song.List1.clear();
    state_.ListIndex = -1;
    AddPlayback(playback_.sequencer().StopMidiFile(), u);

    // OpenMusic: CloseDevice (which resets the song state), the new tables, Initialize and
    // the engine's song, Loaded, PutInScore.
    AddPlayback(playback_.CloseDevice(), u);
    state_.Loaded = false;
    state_.Song = std::move(fresh);
    state_.CurNote = 0;
    state_.Row2PickPos = 0;
    state_.Editor = lyrics::InPlaceEditor{};
    try {
        AddPlayback(playback_.LoadSong(&state_.Song, &state_.NotePos), u);
    } catch (const Error&) {
        state_ = std::move(previous);
        if (wasLoaded) {
            try {
                playback_.LoadSong(&state_.Song, &state_.NotePos);
            } catch (const Error&) {
                state_.Loaded = false;
            }
        }
        throw;
    }
    state_.Loaded = true;
    state_.Layout = EmptyLayout();
    state_.NotePos.clear();
    u.ScoreChanged = true;
    u.Karaoke = KaraokeFrame{};
    RedrawScore(u);

    // The header panel.
    const Song& song = state_.Song;
    HeaderTexts& h = state_.Header;
    h.LabFileName = song.FilePath;
    h.Label9 = std::to_string(song.Bpm);
    h.Label10 = "1 of " + std::to_string(song.Bars);
    h.Label8.clear();
    const double lengthBpm = song.SongLengthBpm > 0 ? song.SongLengthBpm : song.Bpm;
    const double length = playback_.engine().Length();
    const double seconds = lengthBpm > 0 ? IntPart(length / kMusicPpq * 60.0 / lengthBpm) : 0;
    h.Label7 = FormatMinutesSeconds(static_cast<int64_t>(seconds));
    ShowFigures(u);
    const playback::Displays& d = playback_.State().Display;
    shownBarText_ = d.BarText;
    shownTimeText_ = d.TimeText;
    shownTempoText_ = d.TempoText;

    state_.SongOpen = true;
    undo_.clear();
    redo_.clear();
    u.ListChanged = true;
    u.SelectionChanged = true;
    u.HeaderChanged = true;
    u.LyricLinesChanged = true;
    return u;
}

void SongSession::RedrawScore(SessionUpdate& u) {
    score::ScoreLayout layout = score::PutInScore(state_.Song, state_.Loaded);
    if (!layout.Drawn) return;  // not loaded, or a single record: the score stays as it is
    state_.NotePos = layout.NotePos;
    u.Karaoke = score::ScoreKaraokeFrame(layout);
    state_.Layout = std::make_shared<const score::ScoreLayout>(std::move(layout));
    u.ScoreChanged = true;
}

void SongSession::ShowFigures(SessionUpdate& u) {
    const Song& song = state_.Song;
    state_.Header.LabNotes = std::to_string(song.NoteCount);
    state_.Header.LabHyphens = std::to_string(song.HyphenCount);
    state_.Header.LabAcapi = std::to_string(song.LineCount);
    u.HeaderChanged = true;
}

// After the list was replaced by an import: no selection, the figures it moved, and the
// score again when the list was bound to the notes.
void SongSession::ShowNewList(bool bound, SessionUpdate& u) {
    state_.ListIndex = -1;
    u.ListChanged = true;
    u.SelectionChanged = true;
    state_.Header.LabHyphens = std::to_string(state_.Song.HyphenCount);
    state_.Header.LabAcapi = std::to_string(state_.Song.LineCount);
    u.HeaderChanged = true;
    if (bound) {
        RedrawScore(u);
        u.LyricLinesChanged = true;
    }
}

// ---------------------------------------------------------------------------------------
// Imports and the notepad

SessionUpdate SongSession::ImportLyrics(const std::string& path, bool otherLang) {
    std::string text = lyrics::ReadLyricText(path);  // a bad file changes nothing
    const LyricSnapshot before = Capture();
    SessionUpdate u;
    state_.NotepadText = std::move(text);
    u.NotepadChanged = true;
    state_.OtherLang = otherLang;
    ShowNotepad(true, u);
    const lyrics::SyllableImport imported =
        otherLang ? lyrics::OtherLanguage(state_.NotepadText) : lyrics::ImportTXT(state_.NotepadText);
    lyrics::ApplyImport(state_.Song, imported);
    ShowNewList(false, u);
    Record(before);
    return u;
}

SessionUpdate SongSession::ReadyTXT(const std::string& path) {
    std::string text = lyrics::ReadSyllableListText(path);
    const LyricSnapshot before = Capture();
    SessionUpdate u;
    state_.NotepadText = std::move(text);
    u.NotepadChanged = true;
    state_.OtherLang = false;
    const bool bound = lyrics::ReadyTXT(state_.Song, state_.NotepadText, state_.Loaded);
    ShowNewList(bound, u);
    Record(before);
    return u;
}

SessionUpdate SongSession::UpdateTXT() {
    const LyricSnapshot before = Capture();
    SessionUpdate u;
    // ImportTXT on the notepad, the notepad toggled, then the binding.
    const bool bound =
        lyrics::SynchronizeTXT(state_.Song, state_.NotepadText, state_.OtherLang, state_.Loaded);
    MergeUpdate(u, NotePadz());
    ShowNewList(bound, u);
    Record(before);
    return u;
}

void SongSession::ShowNotepad(bool shown, SessionUpdate& u) {
    state_.NotepadShown = shown;
    u.NotepadShownChanged = true;
}

SessionUpdate SongSession::NotePadz() {
    SessionUpdate u;
    ShowNotepad(!state_.NotepadShown, u);
    u.FocusNotepad = state_.NotepadShown;
    return u;
}

SessionUpdate SongSession::CopyListToNotepad() {
    SessionUpdate u;
    state_.NotepadText = lyrics::ListToText(state_.Song.List1);
    u.NotepadChanged = true;
    return u;
}

// ---------------------------------------------------------------------------------------
// Saving

bool SongSession::CanExport() const { return state_.Loaded && !state_.Song.List1.empty(); }

std::string SongSession::ExportSMF(const std::string& chosenName) {
    if (!CanExport()) throw Error("there is no song with syllables to save");
    return smf::ExportKaraoke(state_.Song, chosenName);
}

std::string SongSession::TextFileName(const std::string& chosenName) {
    if (chosenName.find(".txt") != std::string::npos) return chosenName;
    return chosenName + ".txt";
}

std::string SongSession::SaveTXT(const std::string& chosenName) {
    const std::string path = TextFileName(chosenName);
    WriteFileAtomically(path, state_.NotepadText);
    return path;
}

// ---------------------------------------------------------------------------------------
// The list, the editors and the score

SessionUpdate SongSession::List1_Click(int index) {
    SessionUpdate u;
    const std::vector<std::string>& list = state_.Song.List1;
    if (!state_.Loaded || index < 0 || index >= static_cast<int>(list.size())) return u;
    state_.CurNote = index;
    const int marks = lyrics::LineMarksBefore(list, index);
    const int pos = (state_.Row2PickPos > 0 ? state_.Row2PickPos : state_.CurNote) - marks;
    if (list[static_cast<size_t>(index)] == lyrics::kLineMark) return u;

    MergeUpdate(u, AggiornaScore());
    // Each of the following steps stands on its own: one whose table index is out of
    // range is skipped and the next still runs.
    if (pos >= 0 && pos < static_cast<int>(state_.NotePos.size())) {
        const ScoreNote& n = state_.NotePos[static_cast<size_t>(pos)];
        u.Cursor = CursorPlacement{n.X, n.Y, static_cast<int>(n.Page)};
    }
    const Song& song = state_.Song;
    if (state_.CurNote <= UBound(song.Notes) && song.TicksPerBar > 0) {
        const double bar = IntPart(song.Notes[static_cast<size_t>(state_.CurNote)].Tick / song.TicksPerBar);
        state_.Header.Label10 =
            std::to_string(static_cast<long long>(bar)) + " of " + std::to_string(song.Bars);
        u.HeaderChanged = true;
        // The next Play starts at the beginning of that bar.
        if (bar >= 0 && bar * kMusicBar <= playback_.engine().Length()) {
            playback_.sequencer().SetResumePos(static_cast<int32_t>(bar * kMusicBar));
        }
    }
    return u;
}

SessionUpdate SongSession::SelectListEntry(int index) {
    SessionUpdate u;
    const int count = static_cast<int>(state_.Song.List1.size());
    SelectEntry(index >= 0 && index < count ? index : -1, u);
    return u;
}

void SongSession::List1_MouseDown() {
    if (!state_.Song.List1.empty()) state_.Row2PickPos = 0;
}

void SongSession::SelectEntry(int index, SessionUpdate& u) {
    state_.ListIndex = index;
    u.SelectionChanged = true;
    if (index >= 0) MergeUpdate(u, List1_Click(index));
}

void SongSession::ApplyEdit(const lyrics::ListEditResult& r, bool reselect, SessionUpdate& u) {
    if (r.Changed) u.ListChanged = true;
    if (r.Redraw) {
        RedrawScore(u);
        ShowFigures(u);
        u.LyricLinesChanged = true;
    }
    if (r.Selection != state_.ListIndex || (reselect && r.Changed && r.Selection >= 0)) {
        SelectEntry(r.Selection, u);
    }
    if (r.RefreshScore) MergeUpdate(u, AggiornaScore());
    if (r.FocusList) u.FocusList = true;
}

SessionUpdate SongSession::List1_KeyDown(ListKey key) {
    SessionUpdate u;
    if (state_.Editor.Open) return u;
    const LyricSnapshot before = Capture();
    Song& song = state_.Song;
    const bool loaded = state_.Loaded;
    const int selected = state_.ListIndex;
    switch (key) {
    case ListKey::Delete:
        // The entry that moves up into the selected place is selected anew, which runs
        // the selection handler for it.
        ApplyEdit(lyrics::DeleteEntry(song, loaded, selected), true, u);
        break;
    case ListKey::Insert:
        ApplyEdit(lyrics::InsertEmptyEntry(song, loaded, selected), false, u);
        break;
    case ListKey::Backspace:
        ApplyEdit(lyrics::JoinWithPrevious(song, loaded, selected), false, u);
        break;
    case ListKey::F7:
        ApplyEdit(lyrics::InsertLineMark(song, loaded, selected), false, u);
        break;
    case ListKey::Enter:
        break;  // opens the in-place editor: CanOpenEditor / OpenEditor
    }
    Record(before);
    return u;
}

bool SongSession::CanOpenEditor() const {
    return lyrics::CanOpenEditor(state_.Song, state_.Editor, state_.ListIndex);
}

std::string SongSession::OpenEditor() {
    if (!CanOpenEditor()) return {};
    editorBefore_ = Capture();
    return lyrics::OpenEditor(state_.Song, state_.Editor, state_.ListIndex);
}

SessionUpdate SongSession::EditorEscape() {
    SessionUpdate u;
    if (!state_.Editor.Open) return u;
    ApplyEdit(lyrics::EditorEscape(state_.Song, state_.Editor), false, u);
    u.ListChanged = true;  // the entry shows its text again
    Record(editorBefore_);
    return u;
}

SessionUpdate SongSession::EditorEnter(const std::string& typedText) {
    SessionUpdate u;
    if (!state_.Editor.Open) return u;
    ApplyEdit(lyrics::EditorEnter(state_.Song, state_.Loaded, state_.Editor, typedText), false, u);
    u.ListChanged = true;
    Record(editorBefore_);
    return u;
}

SessionUpdate SongSession::EditorLostFocus(const std::string& typedText) {
    SessionUpdate u;
    if (!state_.Editor.Open) return u;
    ApplyEdit(lyrics::EditorLostFocus(state_.Song, state_.Editor, typedText), false, u);
    u.ListChanged = true;
    Record(editorBefore_);
    return u;
}

SessionUpdate SongSession::TextK_Enter(const std::string& text) {
    SessionUpdate u;
    const LyricSnapshot before = Capture();
    const int cur = state_.CurNote;
    const lyrics::RetypeResult r = lyrics::RetypeNoteSyllable(state_.Song, cur, text);
    if (!r.Done) return u;
    if (r.RedrawLyricStrip && state_.Layout->Drawn) {
        state_.Layout = std::make_shared<const score::ScoreLayout>(
            RetypeSyllableMark(*state_.Layout, state_.Song, cur, text));
        u.ScoreChanged = true;
    }
    u.LyricLinesChanged = true;
    if (r.RedrawKaraoke) u.Karaoke = playback::DueEntryFrame(state_.Song, cur);
    Record(before);
    return u;
}

SessionUpdate SongSession::PicScore_KeyDown(int keyCode) {
    SessionUpdate u;
    score::ScoreNavState nav;
    nav.Loaded = state_.Loaded;
    nav.CurNote = state_.CurNote;
    nav.Row2PickPos = state_.Row2PickPos;
    nav.Row2FirstIndex = state_.Layout->Row2FirstIndex;
    nav.Row2FirstNote = state_.Layout->Row2FirstNote;
    nav.NotesUBound = UBound(state_.Song.Notes);
    nav.ListCount = static_cast<int>(state_.Song.List1.size());
    const score::ScorePick pick = score::PicScore_KeyDown(nav, keyCode);
    if (!pick.Handled) return u;
    state_.CurNote = pick.CurNote;
    state_.Row2PickPos = pick.Row2PickPos;
    if (pick.Select) SelectEntry(*pick.Select, u);
    return u;
}

SessionUpdate SongSession::PicScore_MouseDown(double x, double y) {
    SessionUpdate u;
    score::ScoreNavState nav;
    nav.Loaded = state_.Loaded;
    nav.CurNote = state_.CurNote;
    nav.Row2PickPos = state_.Row2PickPos;
    nav.Row2FirstIndex = state_.Layout->Row2FirstIndex;
    nav.Row2FirstNote = state_.Layout->Row2FirstNote;
    nav.NotesUBound = UBound(state_.Song.Notes);
    nav.ListCount = static_cast<int>(state_.Song.List1.size());
    const score::ScorePick pick = score::PicScore_MouseDown(nav, x, y);
    if (!pick.Handled) return u;
    state_.CurNote = pick.CurNote;
    state_.Row2PickPos = pick.Row2PickPos;
    if (pick.Select) SelectEntry(*pick.Select, u);
    return u;
}

SessionUpdate SongSession::AggiornaScore() {
    SessionUpdate u;
    const score::ScoreRefresh r = score::AggiornaScore(state_.Song, state_.CurNote);
    if (r.PreviewNote) AddPlayback(playback_.sequencer().PreviewNote(state_.CurNote), u);
    if (r.Karaoke) u.Karaoke = r.Karaoke;
    return u;
}

// ---------------------------------------------------------------------------------------
// Playback requests

void SongSession::AddPlayback(const playback::PlaybackUpdate& p, SessionUpdate& u) {
    playback::PlaybackUpdate rest = p;
    if (rest.ResetRow2PickPos) state_.Row2PickPos = 0;
    rest.ResetRow2PickPos = false;
    if (rest.SelectFirstListEntry && !state_.Song.List1.empty()) SelectEntry(0, u);
    rest.SelectFirstListEntry = false;
    u.PlaybackChanged = true;
    MergePlaybackUpdate(u.Playback, rest);
}

void SongSession::SyncDisplayTexts(SessionUpdate& u) {
    const playback::Displays& d = playback_.State().Display;
    HeaderTexts& h = state_.Header;
    if (d.BarText != shownBarText_) {
        shownBarText_ = d.BarText;
        h.Label10 = d.BarText;
        u.HeaderChanged = true;
    }
    if (d.TimeText != shownTimeText_) {
        shownTimeText_ = d.TimeText;
        h.Label8 = d.TimeText;
        u.HeaderChanged = true;
    }
    if (d.TempoText != shownTempoText_) {
        shownTempoText_ = d.TempoText;
        h.Label9 = d.TempoText;
        u.HeaderChanged = true;
    }
}

SessionUpdate SongSession::ApplyPlayback(const playback::PlaybackUpdate& p) {
    SessionUpdate u;
    AddPlayback(p, u);
    SyncDisplayTexts(u);
    return u;
}

void SongSession::ExiPrg() { playback_.Exit(); }

// ---------------------------------------------------------------------------------------
// Undo and redo

LyricSnapshot SongSession::Capture() const {
    const Song& song = state_.Song;
    LyricSnapshot s;
    s.List1 = song.List1;
    s.NoteCount = song.NoteCount;
    s.HyphenCount = song.HyphenCount;
    s.LineCount = song.LineCount;
    s.HasWords = song.HasWords;
    s.Notes = song.Notes;
    s.LyricEvents = song.LyricEvents;
    s.LyricRecs = song.LyricRecs;
    s.LyricLines = song.LyricLines;
    s.LyricEventCount = song.LyricEventCount;
    s.LyricRecCount = song.LyricRecCount;
    s.Layout = state_.Layout;
    s.NotePos = state_.NotePos;
    s.LabHyphens = state_.Header.LabHyphens;
    s.LabAcapi = state_.Header.LabAcapi;
    s.ListIndex = state_.ListIndex;
    s.OtherLang = state_.OtherLang;
    s.NotepadText = state_.NotepadText;
    return s;
}

void SongSession::Record(const LyricSnapshot& before) {
    LyricSnapshot after = Capture();
    if (!LyricsDiffer(before, after)) return;
    undo_.push_back(UndoStep{before, std::move(after)});
    if (static_cast<int>(undo_.size()) > kUndoLimit) undo_.erase(undo_.begin());
    redo_.clear();
}

void SongSession::Restore(const LyricSnapshot& snap, bool restoreNotepad, SessionUpdate& u) {
    Song& song = state_.Song;
    song.List1 = snap.List1;
    song.NoteCount = snap.NoteCount;
    song.HyphenCount = snap.HyphenCount;
    song.LineCount = snap.LineCount;
    song.HasWords = snap.HasWords;
    song.Notes = snap.Notes;
    song.LyricEvents = snap.LyricEvents;
    song.LyricRecs = snap.LyricRecs;
    song.LyricLines = snap.LyricLines;
    song.LyricEventCount = snap.LyricEventCount;
    song.LyricRecCount = snap.LyricRecCount;
    state_.Layout = snap.Layout ? snap.Layout : EmptyLayout();
    state_.NotePos = snap.NotePos;  // assigned in place: playback keeps its address
    state_.Header.LabHyphens = snap.LabHyphens;
    state_.Header.LabAcapi = snap.LabAcapi;
    state_.OtherLang = snap.OtherLang;
    if (restoreNotepad) {
        state_.NotepadText = snap.NotepadText;
        u.NotepadChanged = true;
    }
    u.ListChanged = true;
    u.ScoreChanged = true;
    u.HeaderChanged = true;
    u.LyricLinesChanged = true;
    if (state_.Layout->Drawn) u.Karaoke = score::ScoreKaraokeFrame(*state_.Layout);
    const int index = snap.ListIndex < static_cast<int>(song.List1.size()) ? snap.ListIndex : -1;
    state_.ListIndex = -1;
    SelectEntry(index, u);
}

SessionUpdate SongSession::Undo() {
    SessionUpdate u;
    if (!CanUndo()) return u;
    UndoStep step = std::move(undo_.back());
    undo_.pop_back();
    Restore(step.Before, step.Before.NotepadText != step.After.NotepadText, u);
    redo_.push_back(std::move(step));
    return u;
}

SessionUpdate SongSession::Redo() {
    SessionUpdate u;
    if (!CanRedo()) return u;
    UndoStep step = std::move(redo_.back());
    redo_.pop_back();
    Restore(step.After, step.Before.NotepadText != step.After.NotepadText, u);
    undo_.push_back(std::move(step));
    return u;
}

}  // namespace lirovox::app
