#pragma once
// The state owned by playback (sequencer, transport and mixer) and what the window must
// show. The playback objects decide; the window only draws:
//   - after every call it redraws from `PlaybackState::Display` (persistent display state)
//     and switches its timers to `Timer1Enabled` / `Timer2Enabled`;
//   - it carries out the one-shot requests of the `PlaybackUpdate` the call returned.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "playback/karaoke_frame.h"

namespace lirovox::playback {

// Colours as 0xRRGGBB.
inline constexpr uint32_t kLampPlaying = 0x008000;  // RGB(0,128,0)
inline constexpr uint32_t kLampPaused = 0xC00000;   // RGB(192,0,0)
inline constexpr uint32_t kLampStopped = 0x000000;  // black

inline constexpr int kJumpSize = 6074;        // forward / rewind, music time
inline constexpr int kPauseBackoff = 100;     // a pause resumes this much earlier
inline constexpr int kEndBackoff = 10;        // a start at or past the end starts this much earlier
inline constexpr int kSpeedMin = 25;          // range of the tempo control (100 = file tempo)
inline constexpr int kSpeedMax = 200;
inline constexpr int kSpeedNormal = 100;

// The score cursor `Line1` (a vertical line over the current note) in score pixels.
struct CursorLine {
    double X1 = 32, X2 = 32;
    int Y1 = 64, Y2 = 32;
    bool operator==(const CursorLine&) const = default;
};

// Persistent display state; texts are Latin-1.
struct Displays {
    std::string BarText;           // `Label10`: "N of M"
    bool BarEnabled = false;       // `Label10` enabled (its click opens the go-to box)
    bool FwdRewEnabled = false;    // `BtnFwd` and `BtnRew` enabled
    std::string TimeText;          // `Label8`: "mm:ss"
    uint32_t Lamp = kLampStopped;  // `ImgPlayLed` background
    CursorLine Cursor;             // `Line1`
    double ScoreLeft = 54;         // left edge of `PicScore` inside its frame
    std::array<std::string, 8> Strip;  // `LabPar`(0..7): "4", instrument, volume, chorus,
                                       // reverb, pan, "Solo"/"", "Mute"/""
    std::string TempoText;         // `Label9`: BPM as whole-number text
    int SpeedValue = kSpeedNormal; // `Speed` scroll bar value
    bool InstrumentListVisible = false;  // `List3` shown
};

struct PlaybackState {
    bool Playing = false;     // from PlayMidiFile until a pause, stop or seek
    int32_t ResumePos = 0;    // where the next PlayMidiFile starts (music time)
    int32_t LyricIndex = 0;   // next entry of LyricRecs to light
    int32_t NoteIndex = 0;    // next entry of NotePos to receive the cursor
    std::array<bool, 16> Muted{};
    std::array<bool, 16> Soloed{};
    double SeekTarget = 0;    // target of the last forward / rewind jump (music time)
    bool Timer1Enabled = false;  // the playback tick
    bool Timer2Enabled = false;  // the preview cut-off
    Displays Display;
};

// One-shot requests of a call, for the window to carry out after redrawing `Display`.
struct PlaybackUpdate {
    std::optional<KaraokeFrame> Karaoke;  // clear the karaoke view and draw this frame
    bool CursorMoved = false;             // the cursor / score left edge changed
    bool ProcessPendingEvents = false;    // let pending window events run (after a lyric step)
    bool SelectFirstListEntry = false;    // select entry 0 of List1 when it has entries
                                          // (see Sequencer::StopMidiFile for the better way)
    bool ResetRow2PickPos = false;        // Row2PickPos = 0 (playback stopped)
    bool HideGoToBox = false;             // empty the go-to box's text and hide it
};

}  // namespace lirovox::playback
