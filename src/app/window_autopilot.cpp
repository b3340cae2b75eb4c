#include "app/window_autopilot.h"

#include <QApplication>
#include <QEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "app/engine_host.h"
#include "app/main_window.h"

namespace lirovox::app {

namespace {

int64_t NowNs(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

int64_t ProcessCpuNs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ns = [](const timeval& t) { return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_usec * 1000; };
    return ns(usage.ru_utime) + ns(usage.ru_stime);
}

// CLOCK_REALTIME of the process's start, from the kernel's records (10 ms steps); 0 when
// they cannot be read.
int64_t ProcessStartNs() {
    std::ifstream statFile("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    long long startTicks = 0;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
        if (i == 22) startTicks = std::atoll(field.c_str());
    }
    std::ifstream procStat("/proc/stat");
    std::string key;
    long long bootSeconds = 0;
    while (procStat >> key) {
        if (key == "btime") {
            procStat >> bootSeconds;
            break;
        }
    }
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    if (bootSeconds == 0 || ticksPerSecond <= 0) return 0;
    return bootSeconds * 1000000000LL + startTicks * (1000000000LL / ticksPerSecond);
}

double MsSince(int64_t launchNs) {
    return launchNs > 0 ? static_cast<double>(NowNs(CLOCK_REALTIME) - launchNs) / 1e6 : -1;
}

}  // namespace

std::unique_ptr<WindowAutopilot> WindowAutopilot::FromEnvironment(MainWindow& window, EngineHost& host) {
    const char* play = std::getenv("LIROVOX_AUTOPLAY_MS");
    if (play == nullptr || *play == '\0') return nullptr;
    const char* shot = std::getenv("LIROVOX_SCREENSHOT");
    const char* launch = std::getenv("LIROVOX_LAUNCH_NS");
    const int64_t launchNs = (launch && *launch) ? std::atoll(launch) : ProcessStartNs();
    return std::make_unique<WindowAutopilot>(window, host, std::max(0, std::atoi(play)),
                                             shot ? QString::fromLocal8Bit(shot) : QString(), launchNs);
}

WindowAutopilot::WindowAutopilot(MainWindow& window, EngineHost& host, int playMs, QString screenshot,
                                 int64_t launchNs)
    : window_(window), host_(host), playMs_(playMs), screenshot_(std::move(screenshot)), launchNs_(launchNs) {
    qApp->installEventFilter(this);
    connect(&host_, &EngineHost::ready, this, [this] { readyMs_ = MsSince(launchNs_); });
}

bool WindowAutopilot::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && shownMs_ < 0) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == &window_) {
            shownMs_ = MsSince(launchNs_);
            readyWhenShown_ = host_.Ready();
            qApp->removeEventFilter(this);
        }
    }
    return QObject::eventFilter(watched, event);
}

void WindowAutopilot::Arm() {
    host_.WhenReady([this] {
        // A short pause after the load so the first frames are drawn, then Play.
        QTimer::singleShot(300, this, [this] { StartPlaying(); });
    });
}

void WindowAutopilot::StartPlaying() {
    window_.Controls().BtnPlay->click();
    threadCpuStartNs_ = NowNs(CLOCK_THREAD_CPUTIME_ID);
    processCpuStartNs_ = ProcessCpuNs();
    wallStartNs_ = NowNs(CLOCK_MONOTONIC);
    QTimer::singleShot(playMs_, this, [this] { Finish(); });
}

void WindowAutopilot::Finish() {
    const double wall = static_cast<double>(NowNs(CLOCK_MONOTONIC) - wallStartNs_);
    const double threadCpu = static_cast<double>(NowNs(CLOCK_THREAD_CPUTIME_ID) - threadCpuStartNs_);
    const double processCpu = static_cast<double>(ProcessCpuNs() - processCpuStartNs_);

    bool saved = false;
    if (!screenshot_.isEmpty()) {
        QPixmap picture;
        if (QScreen* screen = window_.screen()) picture = screen->grabWindow(window_.winId());
        if (picture.isNull()) picture = window_.grab();
        saved = picture.save(screenshot_, "PNG");
        if (!saved) std::fprintf(stderr, "lirovox: could not write %s\n", screenshot_.toLocal8Bit().constData());
    }

    std::printf("startup_to_shown_ms=%.1f\n", shownMs_);
    std::printf("engine_ready_when_shown=%s\n", readyWhenShown_ ? "yes" : "no");
    std::printf("engine_ready_ms=%.1f\n", readyMs_);
    std::printf("window_thread_cpu_percent=%.2f\n", wall > 0 ? 100.0 * threadCpu / wall : 0.0);
    std::printf("process_cpu_percent=%.2f\n", wall > 0 ? 100.0 * processCpu / wall : 0.0);
    std::printf("output=%s\n", playback::OutputKindName(host_.Engine().Output()));
    if (saved) std::printf("screenshot=%s\n", screenshot_.toLocal8Bit().constData());
    std::fflush(stdout);
    window_.ExiPrg_Click();
}

}  // namespace lirovox::app
