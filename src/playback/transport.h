#pragma once
// The user's controls over the running song beyond play / pause / stop: forward and
// rewind jumps of 6074 music-time units, go to a bar, and the tempo control.

#include <string>

#include "playback/mixer.h"
#include "playback/playback_context.h"
#include "playback/sequencer.h"

namespace lirovox::playback {

// The numeric value of a typed text: its leading number (blanks first, an optional sign,
// digits with an optional fraction); 0 when the text does not begin with a number.
double LeadingNumber(const std::string& text);

class Transport {
public:
    Transport(PlaybackContext& ctx, Sequencer& sequencer, Mixer& mixer)
        : ctx_(ctx), sequencer_(sequencer), mixer_(mixer) {}

    // `BtnFwd` / `BtnRew` pointer press: stop, and unless the target lies outside the
    // song or past the second-to-last note, find the lyric entry and note of the target,
    // move the cursor there and restart the song at the target (`Playing` stays false).
    PlaybackUpdate JumpForward();
    PlaybackUpdate JumpBackward();

    // `Label10` click: true when the go-to box may open (a song is loaded).
    bool CanOpenGoToBox() const { return ctx_.Ready(); }
    // Enter in the go-to box with its `text`: pause, then restart at the start of the bar
    // typed (0 = the beginning; a negative number keeps the paused position). Always asks
    // for the box to be emptied and hidden.
    PlaybackUpdate GoToBar(const std::string& text);

    // `Speed` value change: tempo factor value / 100 at once; `Label9` = Bpm + value - 100.
    PlaybackUpdate SpeedChanged(int value);
    // `Label9` click: back to the file's tempo (Bpm = BpmOriginal, Speed 100, factor 1.0).
    PlaybackUpdate ResetTempo();

    // The position search shared by the jumps and the go-to box: `LyricIndex` and
    // `NoteIndex` one before the first entry at or after `clock`, the cursor on that note.
    void PositionSearch(double clock, PlaybackUpdate& update);

private:
    PlaybackUpdate Jump(bool forward);
    // True when `clock` lies before the second-to-last entry of `Notes` (which needs two).
    bool BeforeLastNotes(double clock) const;

    PlaybackContext& ctx_;
    Sequencer& sequencer_;
    Mixer& mixer_;
};

}  // namespace lirovox::playback
