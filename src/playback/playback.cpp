#include "playback/playback.h"

namespace lirovox::playback {

Playback::Playback(Engine& engine)
    : ctx_(engine), mixer_(ctx_), sequencer_(ctx_, mixer_), transport_(ctx_, sequencer_, mixer_) {}

PlaybackUpdate Playback::LoadSong(Song* song, const std::vector<ScoreNote>* notePos) {
    PlaybackUpdate update;
    Engine& engine = ctx_.engine;
    engine.StartAudio();
    engine.LoadSong(song->FileData, song->Division, song->LengthMusicTime);

    ctx_.song = song;
    ctx_.notePos = notePos;
    PlaybackState& st = ctx_.state;
    engine.SetTempoFactor(1.0f);
    st.ResumePos = 0;
    engine.SetMasterVolume(kMasterVolumeAtLoad);
    st.LyricIndex = 0;
    st.NoteIndex = 0;
    st.Playing = false;
    st.Display.BarText = "1 of " + std::to_string(song->Bars);
    st.Display.TempoText = std::to_string(song->Bpm);
    st.Display.SpeedValue = kSpeedNormal;
    mixer_.ShowStripAfterLoad();
    ctx_.loaded = true;
    return update;
}

PlaybackUpdate Playback::CloseDevice() {
    PlaybackUpdate update;
    PlaybackState& st = ctx_.state;
    st.Timer1Enabled = false;
    if (ctx_.loaded) {
        ctx_.engine.Stop();
        ctx_.engine.Release();
    }
    st.Display.Cursor.Y1 = 64;
    st.Display.Cursor.Y2 = 32;
    st.LyricIndex = 0;
    st.Display.FwdRewEnabled = false;
    st.Display.BarEnabled = false;
    st.Display.Strip.fill(std::string());
    st.Muted.fill(false);
    st.Soloed.fill(false);
    ctx_.SyncVolumeHolds();
    update.Karaoke = KaraokeFrame{};
    update.CursorMoved = true;
    ctx_.loaded = false;
    ctx_.song = nullptr;
    ctx_.notePos = nullptr;
    return update;
}

void Playback::Exit() { ctx_.engine.Release(); }

}  // namespace lirovox::playback
