#pragma once
// A driver for tools that need the real window to act on its own (tools/screenshot):
// set by the environment, it presses Play once the song given on the command line is
// loaded, lets it play, then saves a picture of the window, prints what it measured and
// closes the program. Without its environment variables it does nothing.
//
//   LIROVOX_AUTOPLAY_MS   how long to let the song play before the picture (required)
//   LIROVOX_SCREENSHOT    where to write the PNG (optional)
//   LIROVOX_LAUNCH_NS     CLOCK_REALTIME in nanoseconds when the program was launched, for
//                         the start-up figure (optional; else the process start time)
//
// Figures, one "name=value" per line on stdout:
//   startup_to_shown_ms       launch to the window's first paint
//   engine_ready_when_shown   yes/no: whether the sound engine had already started then
//   engine_ready_ms           launch to the engine being ready (sound font loaded)
//   window_thread_cpu_percent CPU of the window's thread while the song played
//   process_cpu_percent       CPU of the whole process meanwhile (audio rendering included)
//   output                    the engine's output: device, null, offline or none

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

namespace lirovox::app {

class EngineHost;
class MainWindow;

class WindowAutopilot : public QObject {
    Q_OBJECT
public:
    // The autopilot the environment asks for, or null. Make it before the window is
    // shown (it watches for the first paint).
    static std::unique_ptr<WindowAutopilot> FromEnvironment(MainWindow& window, EngineHost& host);

    WindowAutopilot(MainWindow& window, EngineHost& host, int playMs, QString screenshot, int64_t launchNs);

    // Queues the run behind the commands already waiting for the engine (the song's
    // load), so it starts with the song loaded.
    void Arm();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StartPlaying();
    void Finish();

    MainWindow& window_;
    EngineHost& host_;
    int playMs_;
    QString screenshot_;
    int64_t launchNs_;
    double shownMs_ = -1;
    bool readyWhenShown_ = false;
    double readyMs_ = -1;
    int64_t threadCpuStartNs_ = 0;
    int64_t processCpuStartNs_ = 0;
    int64_t wallStartNs_ = 0;
};

}  // namespace lirovox::app
