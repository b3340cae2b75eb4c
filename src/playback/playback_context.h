#pragma once
// What the sequencer, the transport and the mixer share: the engine, the loaded song, the
// score's note table and the playback state. Owned by `Playback` (playback.h).

#include <array>
#include <cstdint>
#include <vector>

#include "playback/engine.h"
#include "playback/playback_state.h"
#include "score/score_note.h"
#include "smf/song.h"

namespace lirovox::playback {

struct PlaybackContext {
    explicit PlaybackContext(Engine& e) : engine(e) {}

    Engine& engine;
    Song* song = nullptr;                             // the loaded song (window-owned)
    const std::vector<ScoreNote>* notePos = nullptr;  // the score's `NotePos` (window-owned)
    bool loaded = false;                              // `Loaded`: play, mixer, score act only then
    PlaybackState state;
    std::array<bool, 16> heldVolumes{};               // holds last given to the engine

    bool Ready() const { return loaded && song != nullptr; }

    // Volume (control change 7) and All Sound Off (control change 120, value 0).
    void SendVolume(int channel, int value);
    void AllSoundOff(int channel);
    void AllSoundOffAllChannels();  // channels 0..15 in order

    // Gives the engine the volume holds that the mute and solo flags call for: a channel
    // is held while muted or while another channel is soloed. Only changes are sent.
    void SyncVolumeHolds();

    // Sets the engine's start point and starts the song (holds synced first, so the
    // song's own volume changes replayed at the start point are kept back too).
    void StartSongAt(int32_t musicTime);

    // Lyric clock in milliseconds of music time `p`: TempoUs x p / 768000 minus the
    // engine's lead (how far its position runs ahead of what is heard).
    double LyricClock(double musicTime) const;

    // "N of M": the bar of music time `p` (4/4 bars of 3072) and the song's bar count.
    std::string BarText(int32_t musicTime) const;

    // The score cursor on note `n`, with the score scrolled to its page.
    void PlaceCursor(const ScoreNote& n);
};

}  // namespace lirovox::playback
