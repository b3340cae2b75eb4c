#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <filesystem>

#include "app/playback_panel.h"
#include "app/window_widgets.h"
#include "playback/qt/karaoke_view.h"
#include "score/qt/score_widget.h"
#include "smf/export.h"
#include "util/error.h"
#include "util/file_io.h"

namespace lirovox::app {

namespace {

constexpr int kNotepadTop = 6;
constexpr int kTextKWidth = 60;

QString Latin1(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

std::string ToLatin1(const QString& s) {
    const QByteArray b = s.toLatin1();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

// The notepad keeps CR LF line ends; the text box shows plain line breaks.
QString NotepadToWidget(const std::string& text) {
    QString s = Latin1(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

std::string NotepadFromWidget(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return ToLatin1(s);
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// The hourglass pointer for the length of a command.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

template <class T>
T* Named(T* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QLabel* Caption(QWidget* parent, const char* name, const char* text) {
    return Named(new QLabel(QString::fromLatin1(text), parent), name);
}

}  // namespace

MainWindow::MainWindow(playback::Engine& engine, WindowDialogs dialogs, QWidget* parent)
    : QMainWindow(parent), session_(engine), dialogs_(std::move(dialogs)) {
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("Lirovox"));
    const WindowDialogs qt = QtDialogs(this);
    if (!dialogs_.ChooseFile) dialogs_.ChooseFile = qt.ChooseFile;
    if (!dialogs_.Confirm) dialogs_.Confirm = qt.Confirm;
    if (!dialogs_.Message) dialogs_.Message = qt.Message;

    BuildControls();
    BuildMenus();
    Connect();

    // Form_Load: the instrument names are in the channel strip's list; nothing is loaded.
    c_.Playback->Refresh();
    ShowHeader();
    ShowUndoState();
}

MainWindow::~MainWindow() = default;

// ---------------------------------------------------------------------------------------
// Building the window

void MainWindow::BuildControls() {
    auto* surface = Named(new WindowSurface(this), "Surface");
    c_.Surface = surface;
    setCentralWidget(surface);
    auto* root = new QVBoxLayout(surface);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(6);

    // Header panel: caption and value pairs, the line count, the lamp, the file name.
    auto* header = new QGridLayout();
    header->setHorizontalSpacing(6);
    c_.Label11 = Caption(surface, "Label11", "Bars:");
    c_.Label10 = Named(new QLabel(surface), "Label10");
    c_.Label12 = Caption(surface, "Label12", "BPM:");
    c_.Label9 = Named(new QLabel(surface), "Label9");
    c_.Label13 = Caption(surface, "Label13", "Time:");
    c_.Label8 = Named(new QLabel(surface), "Label8");
    c_.Label14 = Caption(surface, "Label14", "Length:");
    c_.Label7 = Named(new QLabel(surface), "Label7");
    c_.Label15 = Caption(surface, "Label15", "Notes:");
    c_.LabNotes = Named(new QLabel(surface), "LabNotes");
    c_.Label16 = Caption(surface, "Label16", "Hyphens:");
    c_.LabHyphens = Named(new QLabel(surface), "LabHyphens");
    c_.LabAcapi = Named(new QLabel(surface), "LabAcapi");
    c_.Label17 = Caption(surface, "Label17", "Lines:");  // beside the line count
    c_.Label18 = Named(new QLabel(surface), "Label18");
    c_.LabFileName = Named(new QLabel(surface), "LabFileName");
    c_.LabFileName->setTextInteractionFlags(Qt::NoTextInteraction);
    QWidget* headerRow[] = {c_.Label11, c_.Label10, c_.Label12, c_.Label9, c_.Label13, c_.Label8,
                            c_.Label14, c_.Label7, c_.Label15, c_.LabNotes, c_.Label16, c_.LabHyphens,
                            c_.Label17, c_.LabAcapi};
    int col = 0;
    for (QWidget* w : headerRow) {
        header->addWidget(w, 0, col++);
        if (auto* label = qobject_cast<QLabel*>(w); label && label->text().isEmpty()) label->setMinimumWidth(44);
    }
    header->setColumnStretch(col, 1);
    header->addWidget(c_.LabFileName, 1, 0, 1, col);
    header->addWidget(c_.Label18, 1, col);
    root->addLayout(header);

    // The score with its heading, the karaoke view below it, the list beside them.
    auto* middle = new QHBoxLayout();
    auto* left = new QVBoxLayout();
    c_.ScoreFrame = Named(new score::qt::ScoreFrame(surface), "ScoreFrame");
    c_.PicScore = Named(c_.ScoreFrame->Score(), "PicScore");
    c_.Pic2 = Named(c_.ScoreFrame->Heading(), "Pic2");
    left->addWidget(c_.ScoreFrame);
    c_.PicKara = Named(new playback::qt::KaraokeView(surface), "PicKara");
    c_.PicKara->setFixedSize(c_.ScoreFrame->sizeHint().width(), playback::qt::kKaraHeight);
    left->addWidget(c_.PicKara);
    left->addStretch(1);
    middle->addLayout(left);
    c_.List1 = Named(new SyllableList(surface), "List1");
    c_.List1->setMinimumWidth(180);
    middle->addWidget(c_.List1, 1);
    root->addLayout(middle, 1);

    // Transport, tempo and the channel strip, with the playback timers (playback_panel.h):
    // it draws the playback state and sends its results through the session.
    c_.Picture1 = Named(new QFrame(surface), "Picture1");
    c_.Picture1->setFrameShape(QFrame::StyledPanel);
    auto* bottom = new QHBoxLayout(c_.Picture1);
    bottom->setContentsMargins(0, 0, 0, 0);
    c_.Playback = new PlaybackPanel(session_.Playback(), c_.PicKara, c_.PicScore, c_.Picture1);
    bottom->addWidget(c_.Playback);
    c_.Playback->AttachPositionLabels(c_.Label8, c_.Label9, c_.Label10);
    PlaybackPanel& panel = *c_.Playback;
    c_.BtnPlay = panel.BtnPlay();
    c_.BtnPause = panel.BtnPause();
    c_.BtnStop = panel.BtnStop();
    c_.BtnFwd = panel.BtnFwd();
    c_.BtnRew = panel.BtnRew();
    c_.BtnMute = panel.BtnMute();
    c_.BtnSolo = panel.BtnSolo();
    c_.ImgPlayLed = panel.ImgPlayLed();
    c_.TxtGoTo = panel.TxtGoTo();
    c_.Speed = panel.Speed();
    for (int i = 0; i < 8; ++i) c_.LabPar[static_cast<size_t>(i)] = panel.LabPar(i);
    c_.Label1 = panel.Caption(1);
    c_.Label2 = panel.Caption(2);
    c_.Label3 = panel.Caption(3);
    c_.Label4 = panel.Caption(4);
    c_.Label5 = panel.Caption(5);
    c_.Label6 = panel.Caption(6);
    c_.List3 = panel.List3();
    c_.List4 = panel.List4();
    c_.Timer1 = panel.Timer1();
    c_.Timer2 = panel.Timer2();
    c_.Text1 = Named(new QLineEdit(c_.Picture1), "Text1");
    c_.Text1->setFont(QFont(QStringLiteral("Arial")));
    c_.Text1->hide();
    root->addWidget(c_.Picture1);

    c_.MediaPlayer1 = Named(new QFrame(surface), "MediaPlayer1");
    c_.MediaPlayer1->hide();

    // Floating elements: the notepad and the two syllable boxes.
    c_.NoteP = Named(new QPlainTextEdit(surface), "NoteP");
    c_.NoteP->setGeometry(6, kNotepadTop, 420, 340);
    c_.NoteP->setLineWrapMode(QPlainTextEdit::NoWrap);
    c_.NoteP->hide();
    c_.TextK = Named(new KeyLineEdit(surface), "TextK");
    c_.TextK->setFont(QFont(QStringLiteral("Arial")));
    c_.TextK->resize(kTextKWidth, c_.TextK->sizeHint().height());
    c_.TextK->hide();
    c_.TexEdit = Named(new KeyLineEdit(c_.List1->viewport()), "TexEdit");
    c_.TexEdit->setFrame(false);
    c_.TexEdit->setEnabled(false);
    c_.TexEdit->hide();

    c_.StatusNote = Named(new QLabel(this), "StatusNote");
    statusBar()->addPermanentWidget(c_.StatusNote);
    resize(900, 560);
}

void MainWindow::BuildMenus() {
    auto action = [this](QMenu* menu, const char* name, const char* text) {
        QAction* a = menu->addAction(QString::fromLatin1(text));
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    auto separator = [](QMenu* menu, const char* name) {
        QAction* a = menu->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    c_.FileMenu = Named(menuBar()->addMenu(QStringLiteral("File")), "FileMenu");
    c_.ImportMenu = Named(c_.FileMenu->addMenu(QStringLiteral("Import TXT File")), "ImportMenu");
    c_.Italian = action(c_.ImportMenu, "Italian", "Hyphenation 1");
    c_.Other = action(c_.ImportMenu, "Other", "Hyphenation 2");
    c_.ReadyTXT = action(c_.ImportMenu, "ReadyTXT", "Ready");
    c_.SaveTXT = action(c_.FileMenu, "SaveTXT", "Save TXT File");
    c_.sep = separator(c_.FileMenu, "sep");
    c_.LoadSMF = action(c_.FileMenu, "LoadSMF", "Load Midifile");
    c_.LoadSMF->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    c_.ExportSMF = action(c_.FileMenu, "ExportSMF", "Save Midifile");
    c_.ExportSMF->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    c_.sep5 = separator(c_.FileMenu, "sep5");
    c_.OpenAudio = action(c_.FileMenu, "OpenAudio", "Open Audio File");
    c_.OpenAudio->setEnabled(false);  // the program plays no audio file
    c_.sep3 = separator(c_.FileMenu, "sep3");
    c_.ExiPrg = action(c_.FileMenu, "ExiPrg", "Exit");
    c_.ExiPrg->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    c_.Notepz = Named(menuBar()->addMenu(QStringLiteral("Notepad")), "Notepz");
    c_.NotePadz = action(c_.Notepz, "NotePadz", "Notepad Show/Hide");
    c_.NotePadz->setCheckable(true);
    c_.UpdateTXT = action(c_.Notepz, "UpdateTXT", "Synchronize TXT");

    // Undo and redo of the list's changes: window-wide keys, outside the menu tree.
    c_.Undo = Named(new QAction(QStringLiteral("Undo"), this), "Undo");
    c_.Undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    c_.Redo = Named(new QAction(QStringLiteral("Redo"), this), "Redo");
    c_.Redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    addAction(c_.Undo);
    addAction(c_.Redo);
}

void MainWindow::Connect() {
    connect(c_.LoadSMF, &QAction::triggered, this, &MainWindow::LoadSMF_Click);
    connect(c_.ExportSMF, &QAction::triggered, this, &MainWindow::ExportSMF_Click);
    connect(c_.Italian, &QAction::triggered, this, &MainWindow::Italian_Click);
    connect(c_.Other, &QAction::triggered, this, &MainWindow::Other_Click);
    connect(c_.ReadyTXT, &QAction::triggered, this, &MainWindow::ReadyTXT_Click);
    connect(c_.SaveTXT, &QAction::triggered, this, &MainWindow::SaveTXT_Click);
    connect(c_.ExiPrg, &QAction::triggered, this, &MainWindow::ExiPrg_Click);
    connect(c_.NotePadz, &QAction::triggered, this, &MainWindow::NotePadz_Click);
    connect(c_.UpdateTXT, &QAction::triggered, this, &MainWindow::UpdateTXT_Click);
    connect(c_.Undo, &QAction::triggered, this, &MainWindow::Undo_Click);
    connect(c_.Redo, &QAction::triggered, this, &MainWindow::Redo_Click);

    connect(c_.Surface, &WindowSurface::rightPressed, this, &MainWindow::Form_MouseDown);
    connect(c_.Surface, &WindowSurface::doubleClicked, this, &MainWindow::Form_DblClick);

    connect(c_.List1, &QListWidget::currentRowChanged, this, &MainWindow::OnListRowChanged);
    connect(c_.List1, &SyllableList::selectedEntryClicked, this, &MainWindow::SelectListEntry);
    connect(c_.List1, &SyllableList::listKeyPressed, this, &MainWindow::OnListKey);
    connect(c_.List1, &SyllableList::listPressed, this, &MainWindow::OnListPressed);
    // Moving the selection from the keyboard ends a row-2 pick as a press on the list
    // does, so the cursor follows the selected entry.
    connect(c_.List1, &SyllableList::navigationKeyPressed, this, [this] { session_.List1_MouseDown(); });
    connect(c_.TexEdit, &KeyLineEdit::enterPressed, this, &MainWindow::OnTexEditEnter);
    connect(c_.TexEdit, &KeyLineEdit::escapePressed, this, &MainWindow::OnTexEditEscape);
    connect(c_.TexEdit, &KeyLineEdit::focusLost, this, &MainWindow::OnTexEditFocusLost);
    connect(c_.TextK, &KeyLineEdit::enterPressed, this, &MainWindow::OnTextKEnter);
    connect(c_.TextK, &KeyLineEdit::escapePressed, c_.TextK, &QWidget::hide);
    connect(c_.TextK, &KeyLineEdit::focusLost, c_.TextK, &QWidget::hide);
    connect(c_.NoteP, &QPlainTextEdit::textChanged, this, &MainWindow::OnNotepadEdited);

    connect(c_.PicScore, &score::qt::ScoreWidget::scorePressed, this,
            [this](double x, double y) { Apply(session_.PicScore_MouseDown(x, y)); });
    connect(c_.PicScore, &score::qt::ScoreWidget::scoreKeyPressed, this,
            [this](int key) { Apply(session_.PicScore_KeyDown(key)); });
    // A double click on a note opens the note-syllable box there (after its presses
    // have picked the note).
    c_.PicScore->installEventFilter(this);

    // The playback panel's own results go through the session (list selection after a
    // stop, Row2PickPos, header texts) and come back here to be drawn.
    c_.Playback->SetUpdateSink([this](const playback::PlaybackUpdate& p) { Apply(session_.ApplyPlayback(p)); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.PicScore && event->type() == QEvent::MouseButtonDblClick) {
        QTimer::singleShot(0, this, &MainWindow::ShowTextK);
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------
// Drawing what the session computed

void MainWindow::Apply(const SessionUpdate& u) {
    const SessionState& st = session_.State();
    if (u.ListChanged) ShowList();
    if (u.ListChanged || u.SelectionChanged) ShowSelection();
    if (u.ScoreChanged) c_.ScoreFrame->SetLayout(st.Layout);
    if (u.PlaybackChanged) c_.Playback->Show(u.Playback);
    if (u.LyricLinesChanged) c_.PicKara->FitFontToLines(st.Song.LyricLines);
    if (u.Karaoke) c_.PicKara->ShowFrame(*u.Karaoke);
    if (u.Cursor) {
        c_.PicScore->SetCursor(u.Cursor->X, u.Cursor->Bottom);
        c_.PicScore->SetPage(u.Cursor->Page);
    }
    if (u.HeaderChanged) ShowHeader();
    if (u.NotepadChanged) ShowNotepadText();
    if (u.NotepadShownChanged) {
        ShowNotepadPlace();
        if (u.FocusNotepad && st.NotepadShown) c_.NoteP->setFocus(Qt::OtherFocusReason);
    }
    if (u.FocusList) c_.List1->setFocus(Qt::OtherFocusReason);
    ShowUndoState();
}

void MainWindow::ShowList() {
    const SessionState& st = session_.State();
    const std::vector<std::string>& list = st.Song.List1;
    syncing_ = true;
    c_.List1->setUpdatesEnabled(false);
    const int count = c_.List1->count();
    const int n = static_cast<int>(list.size());
    for (int i = 0; i < n; ++i) {
        const QString text = Latin1(list[static_cast<size_t>(i)]);
        if (i < count) {
            QListWidgetItem* item = c_.List1->item(i);
            if (item->text() != text) item->setText(text);
        } else {
            c_.List1->addItem(text);
        }
    }
    for (int i = c_.List1->count() - 1; i >= n; --i) delete c_.List1->takeItem(i);
    c_.List1->setUpdatesEnabled(true);
    syncing_ = false;
}

void MainWindow::ShowSelection() {
    const int index = session_.State().ListIndex;
    syncing_ = true;
    if (index >= 0 && index < c_.List1->count()) {
        c_.List1->setCurrentRow(index);
        c_.List1->scrollToItem(c_.List1->item(index));
    } else {
        c_.List1->setCurrentRow(-1);
    }
    syncing_ = false;
}

void MainWindow::ShowHeader() {
    const HeaderTexts& h = session_.State().Header;
    c_.LabFileName->setText(QFile::decodeName(QByteArray::fromStdString(h.LabFileName)));
    c_.Label7->setText(Latin1(h.Label7));
    c_.Label8->setText(Latin1(h.Label8));
    c_.Label9->setText(Latin1(h.Label9));
    c_.Label10->setText(Latin1(h.Label10));
    c_.LabNotes->setText(Latin1(h.LabNotes));
    c_.LabHyphens->setText(Latin1(h.LabHyphens));
    c_.LabAcapi->setText(Latin1(h.LabAcapi));
}

void MainWindow::ShowNotepadText() {
    syncing_ = true;
    {
        const QSignalBlocker block(c_.NoteP);
        c_.NoteP->setPlainText(NotepadToWidget(session_.State().NotepadText));
    }
    syncing_ = false;
}

void MainWindow::ShowNotepadPlace() {
    const bool shown = session_.State().NotepadShown;
    c_.NotePadz->setChecked(shown);
    c_.NoteP->move(c_.NoteP->x(), kNotepadTop);
    c_.NoteP->setVisible(shown);
    if (shown) c_.NoteP->raise();
}

void MainWindow::ShowUndoState() {
    c_.Undo->setEnabled(session_.CanUndo());
    c_.Redo->setEnabled(session_.CanRedo());
}

// ---------------------------------------------------------------------------------------
// Dialogs

std::string MainWindow::ChooseOpen(const char* title, const char* filter) {
    return dialogs_.ChooseFile(FileRequest{FileDialogKind::Open, title, filter});
}

std::string MainWindow::ChooseSave(const char* title, const char* filter) {
    return dialogs_.ChooseFile(FileRequest{FileDialogKind::Save, title, filter});
}

bool MainWindow::MayReplace(const std::string& chosen, const std::string& target) {
    if (target == chosen || !FileExists(target)) return true;
    const QString name = QFile::decodeName(QByteArray::fromStdString(target));
    return dialogs_.Confirm(QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(name).toStdString());
}

void MainWindow::ShowError(const std::string& what, const std::exception& e) {
    dialogs_.Message(what + "\n\n" + e.what());
}

// ---------------------------------------------------------------------------------------
// Commands

bool MainWindow::OpenSong(const std::string& path) {
    try {
        WaitCursor wait;
        Apply(session_.LoadSMF(path));
    } catch (const std::exception& e) {
        ShowError("The MIDI file was not loaded.", e);
        return false;
    }
    statusBar()->showMessage(QStringLiteral("Loaded %1").arg(QFile::decodeName(QByteArray::fromStdString(path))), 5000);
    return true;
}

void MainWindow::LoadSMF_Click() {
    const std::string path = ChooseOpen("Open SMF", "MIDI File (*.mid)");
    if (path.empty()) return;
    if (gate_) {
        gate_([this, path] { OpenSong(path); });
    } else {
        OpenSong(path);
    }
}

void MainWindow::SetStatusNote(const QString& text) { c_.StatusNote->setText(text); }

void MainWindow::ExportSMF_Click() {
    if (!session_.CanExport()) return;
    const std::string chosen = ChooseSave("Save Midifile", "MIDI File (*.mid)");
    if (chosen.empty()) return;
    const std::string target = smf::KaraokeFileName(chosen);
    const std::string& loaded = session_.State().Song.FilePath;
    if (ResolvePath(target) != ResolvePath(loaded) && !MayReplace(chosen, target)) return;
    try {
        const std::string written = session_.ExportSMF(chosen);
        statusBar()->showMessage(
            QStringLiteral("Saved %1").arg(QFile::decodeName(QByteArray::fromStdString(written))), 5000);
    } catch (const smf::SameFileError& e) {
        dialogs_.Message(e.what());
    } catch (const std::exception& e) {
        ShowError("The karaoke MIDI file was not saved.", e);
    }
}

bool MainWindow::ImportLyricsFile(const std::string& path, bool otherLang) {
    try {
        Apply(session_.ImportLyrics(path, otherLang));
    } catch (const std::exception& e) {
        ShowError("The lyric text was not imported.", e);
        return false;
    }
    return true;
}

bool MainWindow::ReadyFile(const std::string& path) {
    try {
        Apply(session_.ReadyTXT(path));
    } catch (const std::exception& e) {
        ShowError("The syllable list was not imported.", e);
        return false;
    }
    return true;
}

void MainWindow::Italian_Click() {
    const std::string path = ChooseOpen("Open TXT", "Text ASCII Files(*.txt)");
    if (!path.empty()) ImportLyricsFile(path, false);
}

void MainWindow::Other_Click() {
    const std::string path = ChooseOpen("Open TXT", "Text ASCII Files(*.txt)");
    if (!path.empty()) ImportLyricsFile(path, true);
}

void MainWindow::ReadyTXT_Click() {
    const std::string path = ChooseOpen("Open TXT", "Text ASCII Files(*.txt)");
    if (!path.empty()) ReadyFile(path);
}

void MainWindow::SaveTXT_Click() {
    if (!session_.CanSaveText()) return;
    const std::string chosen = ChooseSave("Save TXT File", "TXT File (*.txt)");
    if (chosen.empty()) return;
    if (!MayReplace(chosen, SongSession::TextFileName(chosen))) return;
    try {
        const std::string written = session_.SaveTXT(chosen);
        statusBar()->showMessage(
            QStringLiteral("Saved %1").arg(QFile::decodeName(QByteArray::fromStdString(written))), 5000);
    } catch (const std::exception& e) {
        ShowError("The text was not saved.", e);
    }
}

void MainWindow::NotePadz_Click() { Apply(session_.NotePadz()); }

void MainWindow::UpdateTXT_Click() { Apply(session_.UpdateTXT()); }

void MainWindow::Undo_Click() { Apply(session_.Undo()); }

void MainWindow::Redo_Click() { Apply(session_.Redo()); }

void MainWindow::ExiPrg_Click() {
    session_.ExiPrg();
    hide();
    QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    session_.ExiPrg();
    event->accept();
    QCoreApplication::quit();
}

void MainWindow::Form_MouseDown(const QPoint& globalPos) { c_.FileMenu->popup(globalPos); }

void MainWindow::Form_DblClick() { Apply(session_.CopyListToNotepad()); }

void MainWindow::OnNotepadEdited() {
    if (syncing_) return;
    session_.SetNotepadText(NotepadFromWidget(c_.NoteP->toPlainText()));
}

// ---------------------------------------------------------------------------------------
// The syllable list and its editors

void MainWindow::SelectListEntry(int index) { Apply(session_.SelectListEntry(index)); }

void MainWindow::OnListRowChanged(int row) {
    if (syncing_ || row < 0) return;
    SelectListEntry(row);
}

void MainWindow::OnListKey(int keyCode) {
    if (keyCode == static_cast<int>(ListKey::Enter)) {
        OpenTexEdit();
        return;
    }
    Apply(session_.List1_KeyDown(static_cast<ListKey>(keyCode)));
}

void MainWindow::OnListPressed(int button, int row, bool* handled) {
    session_.List1_MouseDown();
    if (button != 2) return;
    // The right button selects the entry under the pointer and opens the editor on it.
    *handled = true;
    if (row < 0 || session_.State().Editor.Open) return;
    SelectListEntry(row);
    OpenTexEdit();
}

void MainWindow::OpenTexEdit() {
    if (!session_.CanOpenEditor()) return;
    const int index = session_.State().ListIndex;
    const std::string text = session_.OpenEditor();
    ShowList();  // the entry stands blank while the editor is open
    QListWidgetItem* item = c_.List1->item(index);
    const QRect r = c_.List1->visualItemRect(item);
    const QFontMetrics fm(c_.TexEdit->font());
    const QString shown = Latin1(text);
    const int width = std::max(60, fm.horizontalAdvance(shown) + 8);
    c_.TexEdit->setGeometry(r.left(), r.top(), width, std::max(r.height(), fm.height() + 2));
    c_.TexEdit->setEnabled(true);
    c_.TexEdit->setText(shown);
    c_.TexEdit->show();
    c_.TexEdit->raise();
    c_.TexEdit->setFocus(Qt::OtherFocusReason);
    ShowUndoState();
}

void MainWindow::HideTexEdit() {
    syncing_ = true;
    c_.TexEdit->setEnabled(false);
    c_.TexEdit->hide();
    c_.TexEdit->clear();
    syncing_ = false;
}

void MainWindow::OnTexEditEnter() {
    if (!session_.State().Editor.Open) return;
    const std::string typed = ToLatin1(c_.TexEdit->text());
    const SessionUpdate u = session_.EditorEnter(typed);
    HideTexEdit();
    Apply(u);
}

void MainWindow::OnTexEditEscape() {
    if (!session_.State().Editor.Open) return;
    const SessionUpdate u = session_.EditorEscape();
    HideTexEdit();
    Apply(u);
}

void MainWindow::OnTexEditFocusLost() {
    if (syncing_ || !session_.State().Editor.Open) return;
    const std::string typed = ToLatin1(c_.TexEdit->text());
    const SessionUpdate u = session_.EditorLostFocus(typed);
    HideTexEdit();
    Apply(u);
}

void MainWindow::ShowTextK() {
    const SessionState& st = session_.State();
    const Song& song = st.Song;
    if (!st.Loaded || st.CurNote < 0 || st.CurNote > UBound(song.Notes)) return;
    const int cur = st.CurNote;
    // Over the syllable strip of the note's row (see the words layout's columns).
    const int last = UBound(song.Notes);
    const int h = last / 2;
    const bool row2 = cur > h;
    const int x = score::kColumnWidth * (row2 ? cur - h : cur + 1);
    const int y = (row2 ? score::kRow2OffsetY : 0) + 90;
    const int viewX = x - c_.PicScore->Page() * kScorePageWidth;
    const QPoint at = c_.PicScore->mapTo(c_.Surface, QPoint(viewX - 4, y - 4));
    c_.TextK->setText(Latin1(song.Notes[static_cast<size_t>(cur)].Text));
    c_.TextK->move(at);
    c_.TextK->show();
    c_.TextK->raise();
    c_.TextK->setFocus(Qt::OtherFocusReason);
    c_.TextK->selectAll();
}

void MainWindow::OnTextKEnter() { Apply(session_.TextK_Enter(ToLatin1(c_.TextK->text()))); }

}  // namespace lirovox::app
