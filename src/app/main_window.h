#pragma once
// The main window `Main`: every control under its name, the menu tree, and the handlers
// that forward the window's events to the song session and draw what it computed.

#include <QMainWindow>
#include <array>
#include <functional>
#include <string>

#include "app/song_session.h"
#include "app/window_dialogs.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QTimer;

namespace lirovox::playback::qt {
class KaraokeView;
}  // namespace lirovox::playback::qt

namespace lirovox::score::qt {
class ScoreFrame;
class ScoreWidget;
class StaffHeadingWidget;
}  // namespace lirovox::score::qt

namespace lirovox::app {

class KeyLineEdit;
class PlaybackPanel;
class SyllableList;
class WindowSurface;

// The window's elements, each also found by its objectName (the same name; array
// elements as "LabPar0".."LabPar7").
struct WindowControls {
    WindowSurface* Surface = nullptr;                 // the free area behind the controls
    score::qt::ScoreFrame* ScoreFrame = nullptr;      // `Pic2` and `PicScore` side by side
    score::qt::ScoreWidget* PicScore = nullptr;       // the score, cursor `Line1` included
    score::qt::StaffHeadingWidget* Pic2 = nullptr;    // clef and time signature
    QFrame* Picture1 = nullptr;                       // static panel behind the transport
    PlaybackPanel* Playback = nullptr;                // transport, tempo, channel strip, timers
    playback::qt::KaraokeView* PicKara = nullptr;     // the karaoke view
    QFrame* MediaPlayer1 = nullptr;                   // static, unused
    SyllableList* List1 = nullptr;                    // the syllable list
    QListWidget* List3 = nullptr;                     // instrument choice (hidden until asked)
    QListWidget* List4 = nullptr;                     // drum-kit names (never shown)
    QPlainTextEdit* NoteP = nullptr;                  // the notepad, over the window
    KeyLineEdit* TexEdit = nullptr;                   // in-place editor over a list entry
    KeyLineEdit* TextK = nullptr;                     // note-syllable box
    QLineEdit* TxtGoTo = nullptr;                     // go-to box (hidden until asked)
    QLineEdit* Text1 = nullptr;                       // static, unused
    QScrollBar* Speed = nullptr;                      // tempo control, 100 = file tempo
    QPushButton* BtnPlay = nullptr;
    QPushButton* BtnPause = nullptr;
    QPushButton* BtnStop = nullptr;
    QPushButton* BtnFwd = nullptr;
    QPushButton* BtnRew = nullptr;
    QPushButton* BtnMute = nullptr;
    QPushButton* BtnSolo = nullptr;
    std::array<QLabel*, 8> LabPar{};                  // channel strip values
    QLabel* Label1 = nullptr;   // "Instr."
    QLabel* Label2 = nullptr;   // "Volume"
    QLabel* Label3 = nullptr;   // "Reverb"
    QLabel* Label4 = nullptr;   // "Chorus"
    QLabel* Label5 = nullptr;   // "Pan"
    QLabel* Label6 = nullptr;   // "Channel"
    QLabel* Label7 = nullptr;   // length
    QLabel* Label8 = nullptr;   // elapsed time
    QLabel* Label9 = nullptr;   // BPM; a click resets the tempo
    QLabel* Label10 = nullptr;  // bar; a click opens the go-to box
    QLabel* Label11 = nullptr;  // "Bars:"
    QLabel* Label12 = nullptr;  // "BPM:"
    QLabel* Label13 = nullptr;  // "Time:"
    QLabel* Label14 = nullptr;  // "Length:"
    QLabel* Label15 = nullptr;  // "Notes:"
    QLabel* Label16 = nullptr;  // "Hyphens:"
    QLabel* Label17 = nullptr;  // static
    QLabel* Label18 = nullptr;  // static
    QLabel* LabFileName = nullptr;
    QLabel* LabNotes = nullptr;
    QLabel* LabHyphens = nullptr;
    QLabel* LabAcapi = nullptr;
    QLabel* ImgPlayLed = nullptr;  // the playing lamp
    QTimer* Timer1 = nullptr;      // playback tick, 4 ms, precise
    QTimer* Timer2 = nullptr;      // preview cut-off, 200 ms
    QLabel* StatusNote = nullptr;  // the status area's lasting note (how playback sounds)

    QMenu* FileMenu = nullptr;
    QMenu* ImportMenu = nullptr;  // "Import TXT File"
    QMenu* Notepz = nullptr;      // "Notepad"
    QAction* Italian = nullptr;
    QAction* Other = nullptr;
    QAction* ReadyTXT = nullptr;
    QAction* SaveTXT = nullptr;
    QAction* sep = nullptr;
    QAction* LoadSMF = nullptr;
    QAction* ExportSMF = nullptr;
    QAction* sep5 = nullptr;
    QAction* OpenAudio = nullptr;
    QAction* sep3 = nullptr;
    QAction* ExiPrg = nullptr;
    QAction* NotePadz = nullptr;
    QAction* UpdateTXT = nullptr;
    QAction* Undo = nullptr;  // Ctrl+Z (a window action, not in the menu tree)
    QAction* Redo = nullptr;  // Ctrl+Shift+Z
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `engine` must outlive the window. Dialogs not given are Qt's own.
    explicit MainWindow(playback::Engine& engine, WindowDialogs dialogs = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    SongSession& Session() { return session_; }
    PlaybackPanel& Panel() { return *c_.Playback; }
    const WindowControls& Controls() const { return c_; }

    // Draws what a procedure computed: the list, selection, score, header, karaoke view,
    // notepad, playback displays and timers, focus. Every handler ends here.
    void Apply(const SessionUpdate& u);

    // Runs a command that needs the sound engine: at once, or, while the engine is still
    // starting, when it is ready (the gate decides; by default everything runs at once).
    using EngineGate = std::function<void(std::function<void()>)>;
    void SetEngineGate(EngineGate gate) { gate_ = std::move(gate); }
    // Shows a lasting note in the status area (how playback sounds).
    void SetStatusNote(const QString& text);

    // Loads `path` as "Load Midifile" does after its dialog; a failure shows a message
    // box and changes nothing. True when loaded.
    bool OpenSong(const std::string& path);
    // "Hyphenation 1" / "Hyphenation 2" on `path` without the dialog.
    bool ImportLyricsFile(const std::string& path, bool otherLang);
    // "Ready" on `path` without the dialog.
    bool ReadyFile(const std::string& path);

    // Menu commands and window events, as named in the command map.
    void LoadSMF_Click();
    void ExportSMF_Click();
    void Italian_Click();
    void Other_Click();
    void ReadyTXT_Click();
    void SaveTXT_Click();
    void NotePadz_Click();
    void UpdateTXT_Click();
    void ExiPrg_Click();
    void Undo_Click();
    void Redo_Click();
    void Form_MouseDown(const QPoint& globalPos);  // right button: the File menu pops up
    void Form_DblClick();                          // the list into the notepad

    // Selects entry `index` of `List1` and runs its selection handler, as a user's
    // click does.
    void SelectListEntry(int index);
    // Opens the note-syllable box `TextK` over the current note's syllable.
    void ShowTextK();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void Connect();

    std::string ChooseOpen(const char* title, const char* filter);
    std::string ChooseSave(const char* title, const char* filter);
    // True when `target` may be written: it does not exist, or it is the name the save
    // dialog already confirmed, or the user agrees to replace it.
    bool MayReplace(const std::string& chosen, const std::string& target);
    void ShowError(const std::string& what, const std::exception& e);

    // Handlers of the controls.
    void OnListRowChanged(int row);
    void OnListKey(int keyCode);
    void OnListPressed(int button, int row, bool* handled);
    void OpenTexEdit();
    void OnTexEditEnter();
    void OnTexEditEscape();
    void OnTexEditFocusLost();
    void HideTexEdit();
    void OnTextKEnter();
    void OnNotepadEdited();

    void ShowList();
    void ShowSelection();
    void ShowHeader();
    void ShowNotepadText();
    void ShowNotepadPlace();
    void ShowUndoState();

    SongSession session_;
    WindowDialogs dialogs_;
    WindowControls c_;
    EngineGate gate_;
    bool syncing_ = false;  // the window itself is changing the list or the notepad
};

}  // namespace lirovox::app
