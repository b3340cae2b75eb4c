#include "playback/playback_context.h"

#include <cmath>
#include <string>

#include "util/numeric.h"

namespace lirovox::playback {

void PlaybackContext::SendVolume(int channel, int value) {
    engine.SendMessage(channel, kControlChange, kVolumeController, value);
}

void PlaybackContext::AllSoundOff(int channel) {
    engine.SendMessage(channel, kControlChange, kAllSoundOffController, 0);
}

void PlaybackContext::AllSoundOffAllChannels() {
    for (int c = 0; c < 16; ++c) AllSoundOff(c);
}

void PlaybackContext::SyncVolumeHolds() {
    bool anySolo = false;
    for (bool s : state.Soloed) anySolo = anySolo || s;
    for (size_t c = 0; c < 16; ++c) {
        const bool held = state.Muted[c] || (anySolo && !state.Soloed[c]);
        if (held != heldVolumes[c]) {
            heldVolumes[c] = held;
            engine.HoldVolume(static_cast<int>(c), held);
        }
    }
}

void PlaybackContext::StartSongAt(int32_t musicTime) {
    SyncVolumeHolds();
    engine.SetStartPoint(musicTime);
    engine.Start();
}

double PlaybackContext::LyricClock(double musicTime) const {
    const double tempoUs = song ? song->TempoUs : 500000.0;
    return tempoUs * musicTime / (kMusicPpq * 1000.0) - engine.LeadMs();
}

std::string PlaybackContext::BarText(int32_t musicTime) const {
    const long long bar = static_cast<long long>(IntPart(musicTime / static_cast<double>(kMusicBar))) + 1;
    return std::to_string(bar) + " of " + std::to_string(song ? song->Bars : 0);
}

void PlaybackContext::PlaceCursor(const ScoreNote& n) {
    state.Display.Cursor.X1 = n.X;
    state.Display.Cursor.X2 = n.X;
    state.Display.Cursor.Y1 = n.Y;
    state.Display.Cursor.Y2 = n.Y - 32;
    state.Display.ScoreLeft = -(n.Page * kScorePageWidth) + kScoreLeftMargin;
}

}  // namespace lirovox::playback
