#include "playback/sequencer.h"

#include <cmath>
#include <string>

#include "playback/karaoke.h"
#include "util/numeric.h"

namespace lirovox::playback {

PlaybackUpdate Sequencer::PlayMidiFile() {
    PlaybackUpdate update;
    if (!ctx_.Ready()) return update;
    PlaybackState& st = ctx_.state;

    st.Timer2Enabled = false;
    st.Display.Lamp = kLampPlaying;

    if (st.ResumePos >= ctx_.engine.Length()) st.ResumePos -= kEndBackoff;
    if (st.ResumePos < 0) st.ResumePos = 0;

    ctx_.StartSongAt(st.ResumePos);
    mixer_.Reapply();

    st.Playing = true;
    st.Timer1Enabled = true;
    st.Display.FwdRewEnabled = true;
    st.Display.BarEnabled = true;
    return update;
}

PlaybackUpdate Sequencer::PauseMidiFile() {
    PlaybackUpdate update;
    if (!ctx_.Ready()) return update;
    PlaybackState& st = ctx_.state;

    st.ResumePos = ctx_.engine.PlayPosition() - kPauseBackoff;
    st.Playing = false;
    ctx_.AllSoundOffAllChannels();
    ctx_.engine.Stop();
    st.Timer1Enabled = false;
    st.Display.Lamp = kLampPaused;
    return update;
}

PlaybackUpdate Sequencer::StopMidiFile(const std::function<void()>& selectFirstListEntry) {
    PlaybackUpdate update;
    if (!ctx_.Ready()) return update;
    PlaybackState& st = ctx_.state;
    const Song& song = *ctx_.song;

    st.Display.Cursor.Y1 = 64;
    st.Display.Cursor.Y2 = 32;
    update.ResetRow2PickPos = true;

    st.Timer1Enabled = false;
    st.Timer2Enabled = false;
    st.Display.Lamp = kLampStopped;

    st.Display.Strip[1] = InstrumentName(song.Channels[static_cast<size_t>(kMelodyChannel)].Program);
    if (selectFirstListEntry) {
        selectFirstListEntry();
    } else {
        update.SelectFirstListEntry = true;
    }

    ctx_.AllSoundOffAllChannels();
    st.Display.BarText = "1 of " + std::to_string(song.Bars);

    ctx_.engine.Stop();
    ctx_.engine.SetStartPoint(0);

    st.Playing = false;
    st.ResumePos = 0;

    st.Display.Cursor.X1 = 32;
    st.Display.Cursor.X2 = 32;
    st.LyricIndex = 0;
    st.NoteIndex = 0;
    st.Display.ScoreLeft = kScoreLeftMargin;
    update.CursorMoved = true;

    st.Display.Strip[6] = "";
    st.Display.Strip[7] = "";
    st.Muted.fill(false);
    st.Soloed.fill(false);
    ctx_.SyncVolumeHolds();  // releases the holds; no volume message is sent

    update.Karaoke = StopFrame(song);
    return update;
}

PlaybackUpdate Sequencer::Timer1Tick() {
    PlaybackUpdate update;
    if (!ctx_.Ready()) return update;
    PlaybackState& st = ctx_.state;
    const Song& song = *ctx_.song;

    const int32_t p = ctx_.engine.PlayPosition();
    const double clock = ctx_.LyricClock(p);

    const int64_t barKey = (static_cast<int64_t>(song.Bars) << 32) | static_cast<uint32_t>(IntPart(p / static_cast<double>(kMusicBar)));
    if (barKey != shownBarKey_) {
        shownBarKey_ = barKey;
        shownBarText_ = ctx_.BarText(p);
    }
    if (st.Display.BarText != shownBarText_) st.Display.BarText = shownBarText_;

    // Elapsed song time at the file's own tempo (the tempo control does not change it).
    long long seconds = 0;
    if (song.SongLengthBpm > 0) {
        seconds = static_cast<long long>(IntPart(p / static_cast<double>(kMusicPpq) * 60.0 / song.SongLengthBpm));
    }
    if (seconds != shownSeconds_) {
        shownSeconds_ = seconds;
        shownTimeText_ = FormatMinutesSeconds(seconds);
    }
    if (st.Display.TimeText != shownTimeText_) st.Display.TimeText = shownTimeText_;

    // A jump to before the first entry leaves the indices at -1: go on from entry 0.
    if (st.LyricIndex == -1) st.LyricIndex = 0;
    if (st.NoteIndex == -1) st.NoteIndex = 0;

    if (st.LyricIndex >= 0 && st.LyricIndex <= UBound(song.LyricRecs) &&
        clock >= song.LyricRecs[static_cast<size_t>(st.LyricIndex)].Time) {
        update.Karaoke = DueEntryFrame(song, st.LyricIndex);
        st.LyricIndex += 1;
        update.ProcessPendingEvents = true;
    }

    if (ctx_.notePos && !ctx_.notePos->empty() && st.NoteIndex >= 0 &&
        st.NoteIndex <= UBound(*ctx_.notePos) &&
        clock >= (*ctx_.notePos)[static_cast<size_t>(st.NoteIndex)].Time) {
        ctx_.PlaceCursor((*ctx_.notePos)[static_cast<size_t>(st.NoteIndex)]);
        st.NoteIndex += 1;
        update.CursorMoved = true;
    }
    return update;
}

PlaybackUpdate Sequencer::Timer2Tick() {
    PlaybackUpdate update;
    PlaybackState& st = ctx_.state;
    if (!st.Playing) {
        ctx_.AllSoundOff(kMelodyChannel);
        st.Timer2Enabled = false;
    }
    return update;
}

PlaybackUpdate Sequencer::PreviewNote(int curNote) {
    PlaybackUpdate update;
    if (!ctx_.Ready()) return update;
    const Song& song = *ctx_.song;
    if (curNote < 0 || curNote > UBound(song.Notes)) return update;
    const int note = song.Notes[static_cast<size_t>(curNote)].Note;
    if (note <= 0) return update;
    ctx_.engine.SendMessage(kMelodyChannel, kNoteOn, note, kPreviewVelocity);
    ctx_.state.Timer2Enabled = true;
    return update;
}

}  // namespace lirovox::playback
