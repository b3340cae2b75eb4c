#pragma once
// Playback as the window uses it: one object that owns the playback state and the
// sequencer, transport and mixer, over an engine and the window's song state.
//
// Wiring (the window draws, these decide):
//   after every call below, redraw from State().Display, set the Qt timers to
//   State().Timer1Enabled (4 ms, precise) and State().Timer2Enabled (200 ms), and carry
//   out the returned PlaybackUpdate.
//
//   Load (OpenMusic):  CloseDevice() first, then parse, then
//                      LoadSong(&song, &notePos) (starts the audio, hands the song to the
//                      engine, resets the playback state, Loaded = true), then draw.
//   BtnPlay / BtnPause / BtnStop  -> sequencer().PlayMidiFile / PauseMidiFile / StopMidiFile
//   Timer1 tick / Timer2 tick     -> sequencer().Timer1Tick / Timer2Tick
//   note preview (AggiornaScore)  -> sequencer().PreviewNote(CurNote)
//   BtnFwd / BtnRew pointer press -> transport().JumpForward / JumpBackward
//   Label10 click                 -> if transport().CanOpenGoToBox(): show the go-to box
//   go-to box Enter               -> transport().GoToBar(text)
//   Speed value change            -> transport().SpeedChanged(value)
//   Label9 click                  -> transport().ResetTempo()
//   BtnMute / BtnSolo             -> mixer().ToggleMute / ToggleSolo
//   LabPar click                  -> mixer().ShowInstrumentList
//   List3 click / pointer release -> mixer().ChooseInstrument(index) / HideInstrumentList
//   Exit                          -> Exit()

#include <vector>

#include "playback/engine.h"
#include "playback/mixer.h"
#include "playback/playback_context.h"
#include "playback/sequencer.h"
#include "playback/transport.h"

namespace lirovox::playback {

class Playback {
public:
    explicit Playback(Engine& engine);
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    Sequencer& sequencer() { return sequencer_; }
    Transport& transport() { return transport_; }
    Mixer& mixer() { return mixer_; }
    Engine& engine() { return ctx_.engine; }
    const PlaybackState& State() const { return ctx_.state; }
    bool Loaded() const { return ctx_.loaded; }

    // The playback part of a load, after the file has been read into `song`: starts the
    // audio, hands the file to the engine (its bytes, division and length as read), sets
    // tempo factor 1.0, master volume -312, `ResumePos` and `LyricIndex` 0, the bar text
    // "1 of <Bars>", the tempo label, `Speed` 100 and the strip labels, then Loaded = true.
    // `song` and `notePos` must outlive the load (the window owns them; `notePos` may be
    // filled later by the score). Throws lirovox::Error when the engine cannot take the
    // song; nothing is loaded then.
    PlaybackUpdate LoadSong(Song* song, const std::vector<ScoreNote>* notePos);

    // Before a load: `Timer1` off; when a song is loaded, stop and release it in the
    // engine; then the playback part of the reset (`ZeroVariables`): indices 0, fwd /
    // rewind and the bar label disabled, strip labels empty, mute and solo cleared, karaoke
    // view cleared, Loaded = false.
    PlaybackUpdate CloseDevice();

    // Exit: releases the engine's song (playback is not stopped first).
    void Exit();

private:
    PlaybackContext ctx_;
    Mixer mixer_;
    Sequencer sequencer_;
    Transport transport_;
};

}  // namespace lirovox::playback
