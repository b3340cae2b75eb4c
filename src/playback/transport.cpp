#include "playback/transport.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <string>

#include "util/numeric.h"

namespace lirovox::playback {

double LeadingNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    double sign = 1;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') sign = -1;
        ++i;
    }
    double value = 0;
    bool digits = false;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        value = value * 10 + (text[i] - '0');
        digits = true;
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            value += (text[i] - '0') * scale;
            scale /= 10;
            digits = true;
            ++i;
        }
    }
    return digits ? sign * value : 0.0;
}

namespace {

// To the nearest Long (halves to the even one), kept inside the Long range.
int32_t ToMusicTime(double v) {
    const double r = RoundHalfEven(v);
    if (r >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    if (r <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    return static_cast<int32_t>(r);
}

}  // namespace

bool Transport::BeforeLastNotes(double clock) const {
    const auto& notes = ctx_.song->Notes;
    if (UBound(notes) < 1) return false;
    return clock < notes[static_cast<size_t>(UBound(notes) - 1)].Time;
}

void Transport::PositionSearch(double clock, PlaybackUpdate& update) {
    PlaybackState& st = ctx_.state;
    const auto& notes = ctx_.song->Notes;
    int i = 0;
    while (i <= UBound(notes) && notes[static_cast<size_t>(i)].Time < clock) ++i;
    st.LyricIndex = i - 1;

    if (!ctx_.notePos || ctx_.notePos->empty()) {
        st.NoteIndex = -1;
        return;
    }
    const auto& pos = *ctx_.notePos;
    int j = 0;
    while (pos[static_cast<size_t>(j)].Time < clock && j < UBound(pos)) ++j;
    st.NoteIndex = j - 1;
    ctx_.PlaceCursor(pos[static_cast<size_t>(j)]);
    update.CursorMoved = true;
}

PlaybackUpdate Transport::Jump(bool forward) {
    PlaybackUpdate update;
    if (!ctx_.Ready()) return update;
    PlaybackState& st = ctx_.state;

    const int32_t p = ctx_.engine.PlayPosition();
    st.SeekTarget = forward ? static_cast<double>(p) + kJumpSize : static_cast<double>(p) - kJumpSize;

    st.ResumePos = ctx_.engine.PlayPosition() - kPauseBackoff;
    st.Playing = false;
    ctx_.AllSoundOffAllChannels();
    ctx_.engine.Stop();
    st.Timer1Enabled = false;
    st.Timer2Enabled = false;

    if (forward ? !(st.SeekTarget < ctx_.engine.Length()) : !(st.SeekTarget >= 0)) return update;

    const double clock = ctx_.LyricClock(st.SeekTarget);
    if (!BeforeLastNotes(clock)) return update;

    PositionSearch(clock, update);

    st.Display.Lamp = kLampPlaying;
    ctx_.StartSongAt(ToMusicTime(st.SeekTarget));
    mixer_.Reapply();
    st.Timer1Enabled = true;
    return update;
}

PlaybackUpdate Transport::JumpForward() { return Jump(true); }
PlaybackUpdate Transport::JumpBackward() { return Jump(false); }

PlaybackUpdate Transport::GoToBar(const std::string& text) {
    PlaybackUpdate update;
    update.HideGoToBox = true;
    if (!ctx_.Ready()) return update;
    PlaybackState& st = ctx_.state;

    sequencer_.PauseMidiFile();

    const double v = LeadingNumber(text);
    if (v >= 0) st.ResumePos = ToMusicTime(v * kMusicBar);

    if (st.ResumePos > ctx_.engine.Length()) return update;

    const double clock = ctx_.LyricClock(st.ResumePos);
    if (!BeforeLastNotes(clock)) return update;

    PositionSearch(clock, update);
    ctx_.StartSongAt(st.ResumePos);
    mixer_.Reapply();
    st.Timer1Enabled = true;
    return update;
}

PlaybackUpdate Transport::SpeedChanged(int value) {
    PlaybackUpdate update;
    if (!ctx_.Ready()) return update;
    value = std::clamp(value, kSpeedMin, kSpeedMax);
    ctx_.state.Display.SpeedValue = value;
    ctx_.engine.SetTempoFactor(static_cast<float>(value) / 100.0f);
    ctx_.state.Display.TempoText = std::to_string(ctx_.song->Bpm + value - kSpeedNormal);
    return update;
}

PlaybackUpdate Transport::ResetTempo() {
    PlaybackUpdate update;
    if (!ctx_.Ready()) return update;
    ctx_.song->Bpm = ctx_.song->BpmOriginal;
    ctx_.state.Display.SpeedValue = kSpeedNormal;
    ctx_.engine.SetTempoFactor(1.0f);
    ctx_.state.Display.TempoText = std::to_string(ctx_.song->Bpm);
    return update;
}

}  // namespace lirovox::playback
