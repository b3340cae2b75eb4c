#pragma once
// Starting, pausing and stopping the loaded song, and the two timer ticks: the playback
// tick (`Timer1`) that turns the play position into the displays, and the preview
// cut-off (`Timer2`).

#include <cstdint>
#include <functional>
#include <string>

#include "playback/mixer.h"
#include "playback/playback_context.h"

namespace lirovox::playback {

class Sequencer {
public:
    Sequencer(PlaybackContext& ctx, Mixer& mixer) : ctx_(ctx), mixer_(mixer) {}

    // `BtnPlay`: start or resume at `ResumePos` (10 earlier when at or past the end),
    // re-apply mute and solo, `Playing` on, `Timer1` on, lamp green.
    PlaybackUpdate PlayMidiFile();
    // `BtnPause`: `ResumePos` = position - 100, All Sound Off everywhere, stop, `Timer1`
    // off, lamp dark red.
    PlaybackUpdate PauseMidiFile();
    // `BtnStop` (and before a new load): stop and rewind; timers off, lamp black,
    // displays back to the start, mute and solo flags cleared without volume messages,
    // karaoke view reset.
    // The stop selects the first entry of `List1` (when it has entries) before its All
    // Sound Off: give `selectFirstListEntry` to have that done at that point (it should
    // select entry 0, raising the list's selection handler); the note preview the handler
    // sounds is then silenced by the stop, and the cursor and karaoke view it draws are
    // reset after it, as they must be. Without it, Update.SelectFirstListEntry asks the
    // window to select the entry afterwards.
    PlaybackUpdate StopMidiFile(const std::function<void()>& selectFirstListEntry = nullptr);

    // `Timer1` tick: bar and time texts from the play position; at most one further
    // lyric entry lit (Update.Karaoke) and one further note for the cursor.
    PlaybackUpdate Timer1Tick();
    // `Timer2` tick: when not playing, All Sound Off on the melody channel and `Timer2`
    // off (ends a note preview).
    PlaybackUpdate Timer2Tick();

    // The note preview of a change of the current note: when 0 <= `curNote` <= the last
    // index of `Notes` and its note number is above 0, a note-on (velocity 80) on the
    // melody channel and `Timer2` on.
    PlaybackUpdate PreviewNote(int curNote);

    // Sets where the next PlayMidiFile starts (the command line's start bar).
    void SetResumePos(int32_t musicTime) { ctx_.state.ResumePos = musicTime; }

private:
    PlaybackContext& ctx_;
    Mixer& mixer_;
    // The tick's texts change once a bar and once a second: they are built again only
    // then, since formatting them on every 4 ms tick is most of the tick's cost.
    int64_t shownBarKey_ = -1;
    std::string shownBarText_;
    long long shownSeconds_ = -1;
    std::string shownTimeText_;
};

}  // namespace lirovox::playback
