#pragma once
// The channel strip of the melody channel (MIDI channel 4, index 3): mute, solo and the
// instrument choice, by volume and program-change messages to the engine and the
// per-channel `Muted` / `Soloed` flags that every start of the song re-applies; and the
// instrument-name lists.

#include <string>
#include <vector>

#include "playback/playback_context.h"

namespace lirovox::playback {

// The General MIDI program names (`List3`, index = program 0..127) and the drum-kit list
// (`List4`: 128 entries, empty but for ten kit names at their kit numbers).
struct PatchLists {
    std::vector<std::string> List3;
    std::vector<std::string> List4;
};
PatchLists LoadPatches();

// The `List3` name of program `program` (empty outside 0..127).
std::string InstrumentName(int program);

class Mixer {
public:
    explicit Mixer(PlaybackContext& ctx) : ctx_(ctx) {}

    // `BtnMute` click: toggles the mute of channel 3; refused while any solo is on.
    void ToggleMute();
    // `BtnSolo` click: toggles the solo of channel 3.
    void ToggleSolo();
    // `List3` click on entry `program`: program change to channel 3 at once; the strip's
    // instrument label shows the chosen name. The song's own program changes still win.
    void ChooseInstrument(int program);
    // Any `LabPar` label clicked: show `List3` (Display.InstrumentListVisible).
    void ShowInstrumentList();
    // `List3` pointer release: hide it (also when no song is loaded).
    void HideInstrumentList();

    // Re-application of mute and solo when the song starts: for each channel in order, a
    // muted channel gets volume 0; a soloed one silences every channel (clearing their
    // mutes) and then gets its own volume from the file.
    void Reapply();

    // The strip's labels 0..5 after a load: "4", instrument, volume, chorus, reverb, pan.
    void ShowStripAfterLoad();

private:
    PlaybackContext& ctx_;
};

}  // namespace lirovox::playback
