// `lirovox score SONG.mid [--syllables LIST.txt] -o score.png [--page N]`: draws the score
// with its staff heading into a PNG picture, through the window's own drawing code, with
// no display needed.

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/score_song.h"
#include "score/layout.h"
#include "score/qt/score_painter.h"
#include "util/error.h"
#include "util/file_io.h"

namespace lirovox::cli {
namespace {

// Keeps the platform layer's remarks about the missing desktop session (no runtime
// folder, no screen) off the command's error output; other messages pass.
void QuietPlatformMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool platformNoise = type != QtCriticalMsg && type != QtFatalMsg &&
                               (message.startsWith(QStringLiteral("QStandardPaths:")) ||
                                (context.category != nullptr &&
                                 QByteArray(context.category).startsWith("qt.qpa")));
    if (platformNoise) return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

int RunScore(const std::vector<std::string>& args) {
    ScoreOptions options = ParseScoreOptions(args, false, true, true);
    if (options.outputPath.empty()) throw UsageError("no picture file given: add -o score.png");
    Song song;
    const score::ScoreLayout layout = LayOutSong(options, song);

    // Drawing needs the GUI layer but no screen: the offscreen platform serves unless the
    // user chose another one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietPlatformMessages);
    int argc = 1;
    char name[] = "lirovox";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    const std::optional<int> page =
        options.hasPage ? std::optional<int>(options.page) : std::nullopt;
    const QImage image = score::qt::RenderScoreImage(layout, page);
    if (image.isNull()) {
        throw Error("the score of " + options.songPath +
                    " is too wide for one picture; draw it page by page with --page");
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) throw Error("could not encode the picture for " + options.outputPath);
    WriteFileAtomically(options.outputPath, std::string(png.constData(), static_cast<size_t>(png.size())));
    return kExitOk;
}

const CommandRegistrar kScore({
    "score",
    "lirovox score SONG.mid [--syllables LIST.txt] -o score.png [--page N]",
    "Draws the song's score as the window shows it (staff heading, two rows of notes, bar "
    "lines and numbers, accidentals, ledger lines, the syllables with --syllables, the red "
    "cursor on the first note) into a PNG picture: the whole width of the score, or with "
    "--page N the N-th page (from 0) of 588 pixels. Needs no display.",
    &RunScore,
});

}  // namespace
}  // namespace lirovox::cli
