#include "playback/offline_render.h"

#include <algorithm>
#include <cmath>

#include "playback/fluid_engine.h"
#include "playback/playback.h"
#include "util/error.h"

namespace lirovox::playback {

namespace {

void PutLe(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

RenderedAudio RenderSong(Song& song, const RenderOptions& options) {
    FluidEngineOptions engineOptions;
    engineOptions.output = FluidEngineOptions::Output::Offline;
    engineOptions.soundfont = options.soundfont;
    engineOptions.sampleRate = options.sampleRate;
    FluidEngine engine(engineOptions);
    Playback playback(engine);

    // No score is drawn here: the cursor table holds one zeroed entry, as after a reset.
    std::vector<ScoreNote> notePos(1);
    playback.LoadSong(&song, &notePos);

    const int32_t length = engine.Length();
    const double start = static_cast<double>(options.fromBar) * kMusicBar;
    if (options.fromBar < 0 || (options.fromBar > 0 && start >= length)) {
        throw Error("bar " + std::to_string(options.fromBar) + " is not inside " + song.FilePath + " (" +
                    std::to_string(song.Bars) + " bars)");
    }

    if (options.tempoPercent != kSpeedNormal) playback.transport().SpeedChanged(options.tempoPercent);
    playback.sequencer().SetResumePos(static_cast<int32_t>(start));
    playback.sequencer().PlayMidiFile();

    RenderedAudio audio;
    audio.SampleRate = engine.SampleRate();
    audio.StartMusicTime = playback.State().ResumePos;
    audio.EndMusicTime = length;

    // The first block plays the song's own settings at the start point; the choices come
    // right after it, as when a user presses the buttons once the song runs.
    engine.RenderOffline(FluidEngine::kBlockFrames, audio.Samples);
    if (options.solo) playback.mixer().ToggleSolo();
    if (options.mute) playback.mixer().ToggleMute();
    if (options.program >= 0) playback.mixer().ChooseInstrument(options.program);

    // A safety bound in case the player stops short of the length (a song whose tempo
    // changes make it much longer than the first tempo says is still bounded generously).
    const double factor = std::clamp(options.tempoPercent, kSpeedMin, kSpeedMax) / 100.0;
    const double expectedSeconds = (length - audio.StartMusicTime) * song.TempoUs / (kMusicPpq * 1e6) / factor;
    const size_t maxFrames = static_cast<size_t>((expectedSeconds * 20 + 60) * audio.SampleRate);

    const double span = std::max<double>(length - audio.StartMusicTime, 1);
    double lastReported = -1;
    while (engine.PlayPosition() < length && audio.Frames() < maxFrames && !engine.PlayerFinished()) {
        engine.RenderOffline(FluidEngine::kBlockFrames, audio.Samples);
        if (options.progress) {
            const double done = (engine.PlayPosition() - audio.StartMusicTime) / span;
            if (done - lastReported >= 0.005) {
                options.progress(std::clamp(done, 0.0, 1.0));
                lastReported = done;
            }
        }
    }
    if (options.progress) options.progress(1.0);
    playback.sequencer().StopMidiFile();
    playback.Exit();
    return audio;
}

std::string EncodeWav(const std::vector<float>& interleavedStereo, int sampleRate) {
    const uint32_t channels = 2, bits = 16;
    const uint32_t dataBytes = static_cast<uint32_t>(interleavedStereo.size() * (bits / 8));
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    PutLe(out, 36 + dataBytes, 4);
    out += "WAVE";
    out += "fmt ";
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);  // PCM
    PutLe(out, channels, 2);
    PutLe(out, static_cast<uint32_t>(sampleRate), 4);
    PutLe(out, static_cast<uint32_t>(sampleRate) * channels * bits / 8, 4);
    PutLe(out, channels * bits / 8, 2);
    PutLe(out, bits, 2);
    out += "data";
    PutLe(out, dataBytes, 4);
    for (float s : interleavedStereo) {
        const float c = std::clamp(s, -1.0f, 1.0f);
        const auto v = static_cast<int16_t>(std::lrint(c * 32767.0f));
        PutLe(out, static_cast<uint16_t>(v), 2);
    }
    return out;
}

}  // namespace lirovox::playback
