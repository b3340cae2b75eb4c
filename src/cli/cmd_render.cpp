// `lirovox render SONG.mid -o OUT.wav [...]`: plays a song through the sound engine as
// fast as the synthesizer allows and writes what it hears to a WAV file.

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"
#include "playback/offline_render.h"
#include "playback/playback_state.h"
#include "smf/reader.h"
#include "util/file_io.h"

namespace lirovox::cli {
namespace {

// A progress bar on stderr: "render [#########...........]  45%".
class ProgressBar {
public:
    explicit ProgressBar(bool enabled) : enabled_(enabled) {}
    ~ProgressBar() {
        if (enabled_ && shown_) std::fputs("\n", stderr);
    }
    void Show(double fraction) {
        if (!enabled_) return;
        const int percent = static_cast<int>(fraction * 100.0 + 0.5);
        if (shown_ && percent == lastPercent_) return;
        const int width = 40;
        const int filled = static_cast<int>(fraction * width + 0.5);
        std::string bar(static_cast<size_t>(filled), '#');
        bar.append(static_cast<size_t>(width - filled), '.');
        std::fprintf(stderr, "\rrender [%s] %3d%%", bar.c_str(), percent);
        std::fflush(stderr);
        shown_ = true;
        lastPercent_ = percent;
    }

private:
    bool enabled_;
    bool shown_ = false;
    int lastPercent_ = -1;
};

int RunRender(const std::vector<std::string>& args) {
    std::string songPath, outPath;
    playback::RenderOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" || a == "--output") {
            outPath = TakeValue(args, i);
        } else if (a == "--soundfont") {
            options.soundfont = TakeValue(args, i);
        } else if (a == "--tempo") {
            options.tempoPercent = ParseIntArg(a, TakeValue(args, i));
            if (options.tempoPercent < playback::kSpeedMin || options.tempoPercent > playback::kSpeedMax) {
                throw UsageError("--tempo must lie between " + std::to_string(playback::kSpeedMin) + " and " +
                                 std::to_string(playback::kSpeedMax) + " (percent of the file's tempo)");
            }
        } else if (a == "--mute") {
            options.mute = true;
        } else if (a == "--solo") {
            options.solo = true;
        } else if (a == "--program") {
            options.program = ParseIntArg(a, TakeValue(args, i));
            if (options.program < 0 || options.program > 127) {
                throw UsageError("--program must lie between 0 and 127");
            }
        } else if (a == "--from-bar") {
            options.fromBar = ParseIntArg(a, TakeValue(args, i));
            if (options.fromBar < 0) throw UsageError("--from-bar must be 0 or more");
        } else if (!a.empty() && a[0] == '-') {
            throw UsageError("unknown option " + a);
        } else if (songPath.empty()) {
            songPath = a;
        } else {
            throw UsageError("only one song can be rendered at a time");
        }
    }
    if (songPath.empty()) throw UsageError("no song given");
    if (outPath.empty()) throw UsageError("no output file given (-o OUT.wav)");

    Song song = smf::ReadSong(songPath);
    ProgressBar bar(::isatty(STDERR_FILENO) == 1);
    options.progress = [&bar](double fraction) { bar.Show(fraction); };
    playback::RenderedAudio audio = playback::RenderSong(song, options);
    WriteFileAtomically(outPath, playback::EncodeWav(audio.Samples, audio.SampleRate));
    return kExitOk;
}

const CommandRegistrar kRender({
    "render",
    "lirovox render SONG.mid -o OUT.wav [--soundfont FILE] [--tempo PERCENT] [--mute] [--solo] "
    "[--program N] [--from-bar N]",
    "Plays a song through the sound engine as fast as it can and writes the sound to a 16-bit "
    "stereo WAV file. --tempo sets the tempo control (25..200, 100 = the file's tempo); --mute, "
    "--solo and --program N (General MIDI instrument 0..127) act on the melody channel 4 as the "
    "window's channel strip does; --from-bar N starts at 4/4 bar N (0 = the beginning). The "
    "soundfont is FILE, else $LIROVOX_SOUNDFONT, else /usr/share/sounds/sf2/default-GM.sf2, else "
    "TimGM6mb.sf2.",
    &RunRender,
});

}  // namespace
}  // namespace lirovox::cli
