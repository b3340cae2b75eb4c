#include "app/window_main.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/engine_host.h"
#include "app/main_window.h"
#include "app/window_autopilot.h"

namespace lirovox::app {

namespace {

bool Set(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr && *v != '\0';
}

// A desktop to show the window on: X11 or Wayland, or a Qt platform chosen explicitly
// (for example "offscreen").
bool HasDisplay() { return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM"); }

struct WindowOptions {
    std::string song;
    std::string lyrics;  // a lyric text imported by "Hyphenation 1" and synchronized
};

// The window's own arguments: [--lyrics FILE.txt] [SONG.mid]. The lyric text may also be
// named by the environment variable LIROVOX_LYRICS. Arguments Qt knows are left to Qt.
WindowOptions ParseOptions(int argc, char** argv, const std::string& songPath) {
    WindowOptions o;
    o.song = songPath;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--lyrics" && i + 1 < argc) {
            o.lyrics = argv[++i];
        } else if (a.rfind("--lyrics=", 0) == 0) {
            o.lyrics = a.substr(std::strlen("--lyrics="));
        } else if (o.song.empty() && !a.empty() && a[0] != '-') {
            o.song = a;
        }
    }
    if (o.lyrics.empty() && Set("LIROVOX_LYRICS")) o.lyrics = std::getenv("LIROVOX_LYRICS");
    return o;
}

}  // namespace

int RunWindow(int argc, char** argv, const std::string& songPath) {
    const WindowOptions options = ParseOptions(argc, argv, songPath);
    if (!HasDisplay()) {
        std::fprintf(stderr,
                     "lirovox: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set); "
                     "the subcommands run without one (see lirovox --help)\n");
        return 1;
    }
    int qtArgc = argc;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Lirovox"));

    // The engine starts on a worker thread; the window shows at once and runs the
    // commands that need the engine when it is ready.
    EngineHost host(EngineHost::FluidFactory());
    MainWindow window(host.Engine());
    window.SetEngineGate([&host](std::function<void()> command) { host.WhenReady(std::move(command)); });
    QObject::connect(&host, &EngineHost::statusMessage, &window, &MainWindow::SetStatusNote);
    // Tools that drive the real window (tools/screenshot) ask for it in the environment.
    std::unique_ptr<WindowAutopilot> autopilot = WindowAutopilot::FromEnvironment(window, host);
    window.show();
    host.Start();

    if (!options.song.empty()) {
        host.WhenReady([&window, options] {
            if (!window.OpenSong(options.song) || options.lyrics.empty()) return;
            if (window.ImportLyricsFile(options.lyrics, false)) window.UpdateTXT_Click();
        });
    } else if (!options.lyrics.empty()) {
        window.ImportLyricsFile(options.lyrics, false);
    }
    if (autopilot) autopilot->Arm();
    return app.exec();
}

}  // namespace lirovox::app
