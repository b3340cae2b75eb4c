#pragma once
// Rendering a song to audio as fast as the synthesizer allows, through the same engine,
// sequencer and mixer the window uses: the song starts at a bar, the tempo control, mute,
// solo and instrument choice act on the melody channel as the window's controls do.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "smf/song.h"

namespace lirovox::playback {

struct RenderOptions {
    std::string soundfont;   // empty: looked up as the engine does
    int tempoPercent = 100;  // the tempo control's value (100 = the file's tempo)
    bool mute = false;       // mute the melody channel
    bool solo = false;       // solo the melody channel
    int program = -1;        // instrument for the melody channel (0..127), -1 = the file's
    int fromBar = 0;         // start at this 4/4 bar (0 = the beginning)
    int sampleRate = 44100;
    // Called now and then with the share done (0..1).
    std::function<void(double)> progress;
};

struct RenderedAudio {
    std::vector<float> Samples;  // stereo, interleaved
    int SampleRate = 44100;
    int32_t StartMusicTime = 0;  // where the rendering began
    int32_t EndMusicTime = 0;    // the song's length

    size_t Frames() const { return Samples.size() / 2; }
    double Seconds() const { return SampleRate > 0 ? static_cast<double>(Frames()) / SampleRate : 0; }
};

// Renders `song` (as read by smf::ReadSong: its FileData, Division and length) from the
// start bar to the end of the song. The mixer choices are made as a user would make
// them right after pressing play, so the song's own program change at its start does
// not override the instrument choice. Throws lirovox::Error for a missing sound font or
// a start bar past the end.
RenderedAudio RenderSong(Song& song, const RenderOptions& options);

// A 16-bit PCM stereo WAV file of the samples (clipped to -1..1).
std::string EncodeWav(const std::vector<float>& interleavedStereo, int sampleRate);

}  // namespace lirovox::playback
