#include "app/playback_panel.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "playback/mixer.h"
#include "playback/qt/karaoke_view.h"
#include "score/qt/score_widget.h"

namespace lirovox::app {

namespace {

QString FromLatin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A button that acts on the press of any pointer button, once per press (holding it
// does not repeat), and on Space or Enter from the keyboard.
class PressButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    std::function<void()> onPress;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        QPushButton::mousePressEvent(event);
        if (onPress) onPress();
        event->accept();
    }
    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (!event->isAutoRepeat() && onPress) onPress();
            event->accept();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
    void keyReleaseEvent(QKeyEvent* event) override {
        // The press already acted; keep the base class from clicking as well.
        if (event->key() == Qt::Key_Space) {
            setDown(false);
            event->accept();
            return;
        }
        QPushButton::keyReleaseEvent(event);
    }
};

// The go-to box: Enter goes to the typed bar, Escape and the loss of focus hide it.
class GoToBox : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    std::function<void(const QString&)> onEnter;
    std::function<void()> onLeave;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (onEnter) onEnter(text());
                event->accept();
                return;
            case Qt::Key_Escape:
                if (onLeave) onLeave();
                event->accept();
                return;
            default: QLineEdit::keyPressEvent(event);
        }
    }
    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        if (isVisible() && onLeave) onLeave();
    }
};

// The instrument list: a press on an entry chooses it, the pointer's release hides the
// list; from the keyboard the arrows choose and Enter or Escape hide it.
class InstrumentList : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void(int)> onChoose;
    std::function<void()> onRelease;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        QListWidget::mousePressEvent(event);
        QListWidgetItem* item = itemAt(event->position().toPoint());
        if (item && onChoose) onChoose(row(item));
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QListWidget::mouseReleaseEvent(event);
        if (onRelease) onRelease();
    }
    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            if (onRelease) onRelease();
            event->accept();
            return;
        }
        const int before = currentRow();
        QListWidget::keyPressEvent(event);
        if (currentRow() != before && currentRow() >= 0 && onChoose) onChoose(currentRow());
    }
    void focusOutEvent(QFocusEvent* event) override {
        QListWidget::focusOutEvent(event);
        if (isVisible() && onRelease) onRelease();
    }
};

QLabel* NewValueLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setMinimumWidth(40);
    return label;
}

}  // namespace

bool SameDisplays(const playback::Displays& a, const playback::Displays& b) {
    return a.BarText == b.BarText && a.BarEnabled == b.BarEnabled && a.FwdRewEnabled == b.FwdRewEnabled &&
           a.TimeText == b.TimeText && a.Lamp == b.Lamp && a.Cursor == b.Cursor && a.ScoreLeft == b.ScoreLeft &&
           a.Strip == b.Strip && a.TempoText == b.TempoText && a.SpeedValue == b.SpeedValue &&
           a.InstrumentListVisible == b.InstrumentListVisible;
}

int PageOfScoreLeft(double scoreLeft) {
    return static_cast<int>(std::lround((kScoreLeftMargin - scoreLeft) / kScorePageWidth));
}

PlaybackPanel::PlaybackPanel(playback::Playback& playback, playback::qt::KaraokeView* karaoke,
                             score::qt::ScoreWidget* score, QWidget* parent)
    : QWidget(parent), playback_(playback), karaoke_(karaoke), score_(score) {
    setObjectName(QStringLiteral("PlaybackPanel"));

    // Transport.
    btnPlay_ = new QPushButton(QStringLiteral("Play"), this);
    btnPlay_->setObjectName(QStringLiteral("BtnPlay"));
    btnPause_ = new QPushButton(QStringLiteral("Pause"), this);
    btnPause_->setObjectName(QStringLiteral("BtnPause"));
    btnStop_ = new QPushButton(QStringLiteral("Stop"), this);
    btnStop_->setObjectName(QStringLiteral("BtnStop"));
    auto* rew = new PressButton(this);
    rew->setObjectName(QStringLiteral("BtnRew"));
    rew->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
    rew->setToolTip(QStringLiteral("Rewind"));
    rew->onPress = [this] { Rewind(); };
    btnRew_ = rew;
    auto* fwd = new PressButton(this);
    fwd->setObjectName(QStringLiteral("BtnFwd"));
    fwd->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    fwd->setToolTip(QStringLiteral("Forward"));
    fwd->onPress = [this] { Forward(); };
    btnFwd_ = fwd;
    connect(btnPlay_, &QPushButton::clicked, this, [this] { Play(); });
    connect(btnPause_, &QPushButton::clicked, this, [this] { Pause(); });
    connect(btnStop_, &QPushButton::clicked, this, [this] { Stop(); });

    imgPlayLed_ = new QLabel(this);
    imgPlayLed_->setObjectName(QStringLiteral("ImgPlayLed"));
    imgPlayLed_->setFixedSize(16, 16);
    imgPlayLed_->setAutoFillBackground(true);
    imgPlayLed_->setFrameShape(QFrame::Panel);
    imgPlayLed_->setFrameShadow(QFrame::Sunken);
    SetLamp(playback::kLampStopped);

    // Tempo.
    speed_ = new QScrollBar(Qt::Horizontal, this);
    speed_->setObjectName(QStringLiteral("Speed"));
    speed_->setRange(playback::kSpeedMin, playback::kSpeedMax);
    speed_->setSingleStep(1);
    speed_->setPageStep(10);
    speed_->setValue(playback::kSpeedNormal);
    speed_->setMinimumWidth(160);
    speed_->setToolTip(QStringLiteral("Tempo (100 = the song's own tempo)"));
    connect(speed_, &QScrollBar::valueChanged, this, [this](int value) { SetSpeed(value); });

    // Position and tempo values (the window may use its header's labels instead).
    label8_ = NewValueLabel("Label8", this);
    label9_ = NewValueLabel("Label9", this);
    label10_ = NewValueLabel("Label10", this);
    label10_->setEnabled(false);
    label9_->setToolTip(QStringLiteral("Click: back to the song's own tempo"));
    label10_->setToolTip(QStringLiteral("Click: go to a bar"));
    label9_->installEventFilter(this);
    label10_->installEventFilter(this);

    auto* goTo = new GoToBox(this);
    goTo->setObjectName(QStringLiteral("TxtGoTo"));
    goTo->setFont(QFont(QStringLiteral("Arial")));
    goTo->setPlaceholderText(QStringLiteral("bar"));
    goTo->hide();
    goTo->onEnter = [this](const QString& text) { GoTo(text); };
    goTo->onLeave = [this] {
        txtGoTo_->clear();
        txtGoTo_->hide();
    };
    txtGoTo_ = goTo;

    // Channel strip: rows Channel, Instr., Volume, Chorus, Reverb, Pan; Solo and Mute to
    // the right of the top row.
    static const char* const kCaptions[6] = {"Instr.", "Volume", "Reverb", "Chorus", "Pan", "Channel"};
    for (int i = 0; i < 6; ++i) {
        auto* caption = new QLabel(QString::fromLatin1(kCaptions[i]), this);
        caption->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        captions_[static_cast<size_t>(i)] = caption;
    }
    for (int i = 0; i < 8; ++i) {
        auto* value = new QLabel(this);
        value->setObjectName(QStringLiteral("LabPar%1").arg(i));  // the array's element i
        value->setProperty("Index", i);
        value->installEventFilter(this);
        value->setToolTip(QStringLiteral("Click: choose the melody's instrument"));
        labPar_[static_cast<size_t>(i)] = value;
    }
    labPar_[1]->setMinimumWidth(150);
    btnMute_ = new QPushButton(QStringLiteral("Mute"), this);
    btnMute_->setObjectName(QStringLiteral("BtnMute"));
    btnSolo_ = new QPushButton(QStringLiteral("Solo"), this);
    btnSolo_->setObjectName(QStringLiteral("BtnSolo"));
    connect(btnMute_, &QPushButton::clicked, this, [this] { ToggleMute(); });
    connect(btnSolo_, &QPushButton::clicked, this, [this] { ToggleSolo(); });

    // Instrument names.
    const playback::PatchLists patches = playback::LoadPatches();
    auto* list3 = new InstrumentList(this);
    list3->setObjectName(QStringLiteral("List3"));
    list3->setFont(QFont(QStringLiteral("Arial")));
    for (const std::string& name : patches.List3) list3->addItem(FromLatin1(name));
    list3->hide();
    list3->onChoose = [this](int program) { ChooseInstrument(program); };
    list3->onRelease = [this] { HideInstrumentList(); };
    list3_ = list3;
    list4_ = new QListWidget(this);
    list4_->setObjectName(QStringLiteral("List4"));
    list4_->setFont(QFont(QStringLiteral("Arial")));
    for (const std::string& name : patches.List4) list4_->addItem(FromLatin1(name));
    list4_->hide();  // read by no command; kept with the drum-kit names

    // Timers.
    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setTimerType(Qt::PreciseTimer);
    timer1_->setInterval(kTimer1IntervalMs);
    connect(timer1_, &QTimer::timeout, this, [this] { Timer1Tick(); });
    timer2_ = new QTimer(this);
    timer2_->setObjectName(QStringLiteral("Timer2"));
    timer2_->setTimerType(Qt::PreciseTimer);
    timer2_->setInterval(kTimer2IntervalMs);
    connect(timer2_, &QTimer::timeout, this, [this] { Timer2Tick(); });

    // Layout: transport and tempo on the left, the channel strip on the right.
    auto* transport = new QHBoxLayout;
    transport->setSpacing(4);
    for (QWidget* w : {static_cast<QWidget*>(btnRew_), static_cast<QWidget*>(btnPlay_),
                       static_cast<QWidget*>(btnPause_), static_cast<QWidget*>(btnStop_),
                       static_cast<QWidget*>(btnFwd_)}) {
        transport->addWidget(w);
    }
    transport->addSpacing(6);
    transport->addWidget(imgPlayLed_);
    transport->addStretch(1);

    auto* position = new QHBoxLayout;
    position->setObjectName(QStringLiteral("PositionRow"));
    position->addWidget(label10_);
    position->addWidget(label8_);
    position->addWidget(label9_);
    position->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addLayout(transport);
    left->addWidget(speed_);
    left->addLayout(position);
    left->addStretch(1);

    auto* strip = new QGridLayout;
    strip->setHorizontalSpacing(8);
    strip->setVerticalSpacing(1);
    const int captionOfElement[6] = {6, 1, 2, 4, 3, 5};  // "Channel", "Instr.", "Volume", "Chorus", "Reverb", "Pan"
    for (int element = 0; element < 6; ++element) {
        strip->addWidget(captions_[static_cast<size_t>(captionOfElement[element] - 1)], element, 0);
        strip->addWidget(labPar_[static_cast<size_t>(element)], element, 1, 1, element == 0 ? 1 : 5);
    }
    strip->addWidget(btnSolo_, 0, 2);
    strip->addWidget(labPar_[6], 0, 3);
    strip->addWidget(btnMute_, 0, 4);
    strip->addWidget(labPar_[7], 0, 5);

    auto* main = new QHBoxLayout(this);
    main->setContentsMargins(4, 4, 4, 4);
    main->addLayout(left, 1);
    main->addSpacing(12);
    main->addLayout(strip);

    DrawDisplays();
}

PlaybackPanel::~PlaybackPanel() = default;

void PlaybackPanel::AttachPositionLabels(QLabel* label8, QLabel* label9, QLabel* label10) {
    for (QPointer<QLabel>* own : {&label8_, &label9_, &label10_}) {
        if (*own && (*own)->parent() == this) delete own->data();
    }
    label8_ = label8;
    label9_ = label9;
    label10_ = label10;
    if (label9_) {
        label9_->installEventFilter(this);
        label9_->setToolTip(QStringLiteral("Click: back to the song's own tempo"));
    }
    if (label10_) {
        label10_->installEventFilter(this);
        label10_->setToolTip(QStringLiteral("Click: go to a bar"));
        label10_->setEnabled(playback_.State().Display.BarEnabled);
    }
    shown_.reset();
    DrawDisplays();
}

// ---- commands --------------------------------------------------------------------------

void PlaybackPanel::Deliver(const playback::PlaybackUpdate& update) {
    if (sink_) {
        sink_(update);
    } else {
        Show(update);
    }
}

void PlaybackPanel::Play() { Deliver(playback_.sequencer().PlayMidiFile()); }
void PlaybackPanel::Pause() { Deliver(playback_.sequencer().PauseMidiFile()); }
void PlaybackPanel::Stop() { Deliver(playback_.sequencer().StopMidiFile()); }
void PlaybackPanel::Forward() { Deliver(playback_.transport().JumpForward()); }
void PlaybackPanel::Rewind() { Deliver(playback_.transport().JumpBackward()); }

void PlaybackPanel::OpenGoToBox() {
    if (!label10_ || !label10_->isEnabled() || !playback_.transport().CanOpenGoToBox()) return;
    PlaceGoToBox();
    txtGoTo_->show();
    txtGoTo_->raise();
    txtGoTo_->setFocus(Qt::MouseFocusReason);
}

void PlaybackPanel::GoTo(const QString& text) {
    Deliver(playback_.transport().GoToBar(text.toLatin1().toStdString()));
}

void PlaybackPanel::ResetTempo() { Deliver(playback_.transport().ResetTempo()); }
void PlaybackPanel::SetSpeed(int value) { Deliver(playback_.transport().SpeedChanged(value)); }

void PlaybackPanel::ToggleMute() {
    playback_.mixer().ToggleMute();
    Deliver({});
}

void PlaybackPanel::ToggleSolo() {
    playback_.mixer().ToggleSolo();
    Deliver({});
}

void PlaybackPanel::ShowInstrumentList() {
    playback_.mixer().ShowInstrumentList();
    Deliver({});
}

void PlaybackPanel::ChooseInstrument(int program) {
    playback_.mixer().ChooseInstrument(program);
    Deliver({});
}

void PlaybackPanel::HideInstrumentList() {
    playback_.mixer().HideInstrumentList();
    Deliver({});
}

void PlaybackPanel::PreviewNote(int curNote) { Deliver(playback_.sequencer().PreviewNote(curNote)); }

void PlaybackPanel::Timer1Tick() {
    const playback::PlaybackUpdate update = playback_.sequencer().Timer1Tick();
    // Most ticks change nothing on screen (the position moves within a bar, a second and
    // a note): those end here, so the 4 ms tick costs next to nothing.
    const playback::PlaybackState& st = playback_.State();
    const bool requests = update.Karaoke || update.CursorMoved || update.HideGoToBox ||
                          update.SelectFirstListEntry || update.ResetRow2PickPos;
    if (!requests && shown_ && SameDisplays(*shown_, st.Display) && st.Timer1Enabled == timer1_->isActive() &&
        st.Timer2Enabled == timer2_->isActive()) {
        return;
    }
    Deliver(update);
}
void PlaybackPanel::Timer2Tick() { Deliver(playback_.sequencer().Timer2Tick()); }

// ---- drawing ---------------------------------------------------------------------------

void PlaybackPanel::Show(const playback::PlaybackUpdate& update) {
    DrawDisplays();
    const playback::PlaybackState& st = playback_.State();
    const playback::Displays& d = st.Display;

    if (st.Timer1Enabled) {
        if (!timer1_->isActive()) timer1_->start();
    } else if (timer1_->isActive()) {
        timer1_->stop();
    }
    if (st.Timer2Enabled) {
        if (!timer2_->isActive()) timer2_->start();
    } else if (timer2_->isActive()) {
        timer2_->stop();
    }

    if (update.Karaoke && karaoke_) karaoke_->ShowFrame(*update.Karaoke);
    if (update.CursorMoved && score_) {
        score_->SetCursor(d.Cursor.X1, d.Cursor.Y1);
        score_->SetPage(PageOfScoreLeft(d.ScoreLeft));
    }
    if (update.HideGoToBox) {
        txtGoTo_->clear();
        txtGoTo_->hide();
    }
    if (update.SelectFirstListEntry && selectFirstListEntry_) selectFirstListEntry_();
    if (update.ResetRow2PickPos && resetRow2PickPos_) resetRow2PickPos_();
}

void PlaybackPanel::SetLamp(uint32_t rgb) {
    QPalette palette = imgPlayLed_->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(static_cast<QRgb>(rgb)));
    imgPlayLed_->setPalette(palette);
}

void PlaybackPanel::DrawDisplays() {
    const playback::Displays& d = playback_.State().Display;
    const bool all = !shown_.has_value();
    const playback::Displays& old = all ? d : *shown_;

    if (label10_) {
        if (all || d.BarText != old.BarText) label10_->setText(FromLatin1(d.BarText));
        if (all || d.BarEnabled != old.BarEnabled) label10_->setEnabled(d.BarEnabled);
    }
    if (label8_ && (all || d.TimeText != old.TimeText)) label8_->setText(FromLatin1(d.TimeText));
    if (label9_ && (all || d.TempoText != old.TempoText)) label9_->setText(FromLatin1(d.TempoText));
    if (all || d.FwdRewEnabled != old.FwdRewEnabled) {
        btnFwd_->setEnabled(d.FwdRewEnabled);
        btnRew_->setEnabled(d.FwdRewEnabled);
    }
    if (all || d.Lamp != old.Lamp) SetLamp(d.Lamp);
    for (size_t i = 0; i < labPar_.size(); ++i) {
        if (all || d.Strip[i] != old.Strip[i]) labPar_[i]->setText(FromLatin1(d.Strip[i]));
    }
    // The bar follows the state also when a move of it was refused (no song loaded).
    if (speed_->value() != d.SpeedValue) {
        const QSignalBlocker block(speed_);
        speed_->setValue(d.SpeedValue);
    }
    if (d.InstrumentListVisible != list3_->isVisible()) {
        if (d.InstrumentListVisible) {
            PlaceInstrumentList();
            list3_->show();
            list3_->raise();
            list3_->setFocus(Qt::MouseFocusReason);
        } else {
            list3_->hide();
        }
    }
    shown_ = d;
}

void PlaybackPanel::PlaceGoToBox() {
    QWidget* host = label10_->parentWidget();
    if (txtGoTo_->parentWidget() != host) txtGoTo_->setParent(host);
    QRect r = label10_->geometry();
    r.setWidth(std::max(r.width(), 80));
    r.setHeight(std::max(r.height(), txtGoTo_->sizeHint().height()));
    txtGoTo_->setGeometry(r);
}

void PlaybackPanel::PlaceInstrumentList() {
    // Over the window, from the instrument label down, as far as the window allows.
    QWidget* host = window();
    if (list3_->parentWidget() != host) list3_->setParent(host);
    const QPoint at = labPar_[1]->mapTo(host, QPoint(0, 0));
    const int width = std::max(200, labPar_[1]->width());
    int height = std::min(260, std::max(80, host->height() - 4));
    int x = std::clamp(at.x(), 0, std::max(0, host->width() - width));
    int y = at.y();
    if (y + height > host->height()) y = std::max(0, host->height() - height);
    list3_->setGeometry(x, y, width, height);
    const int program = list3_->currentRow();
    if (program >= 0) list3_->scrollToItem(list3_->item(program));
}

bool PlaybackPanel::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease) {
        return QWidget::eventFilter(watched, event);
    }
    auto* label = qobject_cast<QLabel*>(watched);
    const bool ours = label && (label == label9_ || label == label10_ ||
                                std::find(labPar_.begin(), labPar_.end(), label) != labPar_.end());
    if (!ours || !label->isEnabled()) return QWidget::eventFilter(watched, event);

    auto* mouse = static_cast<QMouseEvent*>(event);
    if (type == QEvent::MouseButtonPress) {
        pressedLabel_ = label;
        return true;
    }
    // A click: the press and the release on the same label.
    const bool click = pressedLabel_ == label && label->rect().contains(mouse->position().toPoint());
    pressedLabel_ = nullptr;
    if (!click) return true;
    if (label == label9_) {
        ResetTempo();
    } else if (label == label10_) {
        OpenGoToBox();
    } else {
        ShowInstrumentList();
    }
    return true;
}

}  // namespace lirovox::app
