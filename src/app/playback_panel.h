#pragma once
// The playback side of the window: the transport buttons with the play lamp, the tempo
// bar, the position and tempo labels with the go-to box, the channel strip of the melody
// channel with its instrument list, and the two timers that drive the displays.
//
// Every control forwards to the playback objects (sequencer, transport, mixer) and the
// panel draws what they decided: after each call it redraws from `State().Display`,
// switches `Timer1` (4 ms, precise) and `Timer2` (200 ms) and carries out the one-shot
// requests of the returned update (karaoke frame, score cursor, go-to box).

#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "playback/playback.h"
#include "playback/qt/karaoke_view.h"
#include "score/qt/score_widget.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;
class QTimer;

namespace lirovox::app {

inline constexpr int kTimer1IntervalMs = 4;    // the playback tick
inline constexpr int kTimer2IntervalMs = 200;  // the preview cut-off

// True when the two show the same on screen.
bool SameDisplays(const playback::Displays& a, const playback::Displays& b);

// The page of the score whose left edge stands at `scoreLeft` inside the frame.
int PageOfScoreLeft(double scoreLeft);

class PlaybackPanel : public QWidget {
    Q_OBJECT
public:
    using UpdateSink = std::function<void(const playback::PlaybackUpdate&)>;

    // `karaoke` and `score` may be null (nothing is drawn there then); both must outlive
    // the panel, as must `playback`.
    PlaybackPanel(playback::Playback& playback, playback::qt::KaraokeView* karaoke,
                  score::qt::ScoreWidget* score, QWidget* parent = nullptr);
    ~PlaybackPanel() override;

    // Where the updates of the panel's own calls go. Without a sink they go to `Show`;
    // the window routes them through its song session first, which then calls `Show`.
    void SetUpdateSink(UpdateSink sink) { sink_ = std::move(sink); }

    // Requests that concern the syllable list, carried out when no sink is set.
    void SetListHooks(std::function<void()> selectFirstListEntry, std::function<void()> resetRow2PickPos) {
        selectFirstListEntry_ = std::move(selectFirstListEntry);
        resetRow2PickPos_ = std::move(resetRow2PickPos);
    }

    // Uses the header panel's value labels for the time (`Label8`), the tempo (`Label9`,
    // a click resets the tempo) and the position (`Label10`, a click opens the go-to box)
    // instead of the panel's own, which are then deleted.
    void AttachPositionLabels(QLabel* label8, QLabel* label9, QLabel* label10);

    // Redraws every playback display from the state, switches the timers, and carries
    // out the karaoke, cursor and go-to requests of `update`.
    void Show(const playback::PlaybackUpdate& update);
    // Redraws from the state only (no one-shot requests).
    void Refresh() { Show(playback::PlaybackUpdate{}); }

    // The commands as the controls give them (also for menus and tests).
    void Play();
    void Pause();
    void Stop();
    void Forward();
    void Rewind();
    void OpenGoToBox();  // the `Label10` click
    void GoTo(const QString& text);  // Enter in the go-to box
    void ResetTempo();   // the `Label9` click
    void SetSpeed(int value);
    void ToggleMute();
    void ToggleSolo();
    void ShowInstrumentList();  // a click on the strip
    void ChooseInstrument(int program);
    void HideInstrumentList();
    // The note preview of a change of the current note (see Sequencer::PreviewNote).
    void PreviewNote(int curNote);

    // The timer ticks (connected to the timers; public so a test can tick by hand).
    void Timer1Tick();
    void Timer2Tick();

    // The controls, under their names.
    QPushButton* BtnPlay() const { return btnPlay_; }
    QPushButton* BtnPause() const { return btnPause_; }
    QPushButton* BtnStop() const { return btnStop_; }
    QPushButton* BtnFwd() const { return btnFwd_; }
    QPushButton* BtnRew() const { return btnRew_; }
    QPushButton* BtnMute() const { return btnMute_; }
    QPushButton* BtnSolo() const { return btnSolo_; }
    QLabel* ImgPlayLed() const { return imgPlayLed_; }
    QLabel* Label8() const { return label8_; }
    QLabel* Label9() const { return label9_; }
    QLabel* Label10() const { return label10_; }
    QLineEdit* TxtGoTo() const { return txtGoTo_; }
    QScrollBar* Speed() const { return speed_; }
    QLabel* LabPar(int index) const { return labPar_.at(static_cast<size_t>(index)); }
    QLabel* Caption(int number) const { return captions_.at(static_cast<size_t>(number - 1)); }  // Label1..6
    QListWidget* List3() const { return list3_; }
    QListWidget* List4() const { return list4_; }
    QTimer* Timer1() const { return timer1_; }
    QTimer* Timer2() const { return timer2_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Deliver(const playback::PlaybackUpdate& update);
    void DrawDisplays();
    void PlaceGoToBox();
    void PlaceInstrumentList();
    void SetLamp(uint32_t rgb);

    playback::Playback& playback_;
    QPointer<playback::qt::KaraokeView> karaoke_;
    QPointer<score::qt::ScoreWidget> score_;
    UpdateSink sink_;
    std::function<void()> selectFirstListEntry_;
    std::function<void()> resetRow2PickPos_;

    QPushButton* btnPlay_ = nullptr;
    QPushButton* btnPause_ = nullptr;
    QPushButton* btnStop_ = nullptr;
    QPushButton* btnFwd_ = nullptr;
    QPushButton* btnRew_ = nullptr;
    QPushButton* btnMute_ = nullptr;
    QPushButton* btnSolo_ = nullptr;
    QLabel* imgPlayLed_ = nullptr;
    QPointer<QLabel> label8_;
    QPointer<QLabel> label9_;
    QPointer<QLabel> label10_;
    QLineEdit* txtGoTo_ = nullptr;
    QScrollBar* speed_ = nullptr;
    std::array<QLabel*, 8> labPar_{};
    std::array<QLabel*, 6> captions_{};
    QListWidget* list3_ = nullptr;
    QListWidget* list4_ = nullptr;
    QTimer* timer1_ = nullptr;
    QTimer* timer2_ = nullptr;

    // What the displays show now, so a tick only touches what changed.
    std::optional<playback::Displays> shown_;
    QObject* pressedLabel_ = nullptr;  // a label pressed and not yet released
};

}  // namespace lirovox::app
