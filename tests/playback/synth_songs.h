#pragma once
// Small MIDI files for the tests that play through the real synthesizer, and the audio
// measurements they use.

#include <cmath>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace lirovox::playback::test {

inline constexpr int kDivision = 480;  // ticks per quarter; 120 BPM: a quarter is 500 ms

// Control change on `channel`.
inline lirovox::test::TrackBytes& Cc(lirovox::test::TrackBytes& t, uint32_t delta, int channel, int controller,
                                     int value) {
    return t.Delta(delta).Bytes({0xB0 + channel, controller, value});
}

// Eight quarter notes of melody on channel 4 (index 3) in bars 1 and 2, with the song's
// own volume change to 127 at the fifth note; a quiet bass note on channel 1 under every
// bar, and a third bar of bass alone. Length: 3 bars = 12 quarters = 6 s.
inline std::string MelodyAndBassSong() {
    using lirovox::test::TrackBytes;
    TrackBytes tempo;
    tempo.Tempo(0, 500000).EndOfTrack(0);

    TrackBytes melody;
    melody.Delta(0).Bytes({0xC3, 73});
    Cc(melody, 0, 3, 7, 100);
    for (int k = 0; k < 8; ++k) {
        if (k == 4) Cc(melody, 0, 3, 7, 127);
        melody.NoteOn(0, 3, 72 + (k % 4) * 2, 100).NoteOff(kDivision, 3, 72 + (k % 4) * 2);
    }
    melody.EndOfTrack(4 * kDivision);

    TrackBytes bass;
    bass.Delta(0).Bytes({0xC0, 32});
    Cc(bass, 0, 0, 7, 70);
    for (int bar = 0; bar < 3; ++bar) bass.NoteOn(0, 0, 40, 80).NoteOff(4 * kDivision, 0, 40);
    bass.EndOfTrack(0);

    return lirovox::test::MakeSmf(1, kDivision, {tempo, melody, bass});
}
inline constexpr int32_t kMelodyAndBassLength = 12 * 768;

// A song of `quarters` quarter notes on channel 4 (for timing tests).
inline std::string LongMelodySong(int quarters) {
    using lirovox::test::TrackBytes;
    TrackBytes t;
    t.Tempo(0, 500000);
    for (int k = 0; k < quarters; ++k) t.NoteOn(0, 3, 60 + k % 12, 90).NoteOff(kDivision, 3, 60 + k % 12);
    t.EndOfTrack(0);
    return lirovox::test::MakeSmf(0, kDivision, {t});
}

// Root mean square of both channels over frames [from, to) of interleaved stereo audio.
inline double Rms(const std::vector<float>& s, size_t from, size_t to) {
    to = std::min(to, s.size() / 2);
    if (from >= to) return 0;
    double sum = 0;
    for (size_t i = 2 * from; i < 2 * to; ++i) sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / static_cast<double>(2 * (to - from)));
}

// RMS over the time span [fromMs, toMs) at `rate` frames per second.
inline double RmsMs(const std::vector<float>& s, int rate, double fromMs, double toMs) {
    return Rms(s, static_cast<size_t>(fromMs * rate / 1000.0), static_cast<size_t>(toMs * rate / 1000.0));
}

}  // namespace lirovox::playback::test
