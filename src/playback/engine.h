#pragma once
// The sound engine as the rest of the program sees it: a MIDI-file player that is handed
// a whole song, started, stopped and steered, and whose play position is polled.
//
// Units: music time is 768 units per quarter note whatever the file's division; a 4/4 bar
// is 3072. Channel messages take a channel 0..15 and the message type without its
// channel (0xB0 control change, 0xC0 program change with data2 = 0, 0x90 note on).
//
// Life of an engine (the window's order): construct it (the synthesizer), `StartAudio`
// (opens the output), `LoadSong` for each song, `Release` before the next load and at
// exit. All operations are called from one thread (the window's); an implementation may
// render audio on a thread of its own.

#include <cstdint>
#include <string>

namespace lirovox::playback {

inline constexpr int kNoteOn = 0x90;
inline constexpr int kControlChange = 0xB0;
inline constexpr int kProgramChange = 0xC0;
inline constexpr int kVolumeController = 7;
inline constexpr int kAllSoundOffController = 120;
inline constexpr int kPreviewVelocity = 80;
// Master volume given after every load, in hundredths of a decibel.
inline constexpr int32_t kMasterVolumeAtLoad = -312;

// Which output the engine renders into.
enum class OutputKind {
    None,     // not started yet (or failed)
    Device,   // the desktop's audio device
    Null,     // no device could be opened: rendered in real time and discarded (silent)
    Offline,  // rendered on request as fast as possible (files, tests)
};

const char* OutputKindName(OutputKind kind);  // "none", "device", "null", "offline"

class Engine {
public:
    virtual ~Engine() = default;

    // Opens the audio output (once; later calls do nothing).
    virtual void StartAudio() = 0;

    // Makes the Standard MIDI File `smfBytes` the playable song, replacing (and silencing)
    // any previous one. `division` is the file's ticks per quarter note and
    // `lengthMusicTime` the song's length, both as our own reader found them. The song
    // does not play until `Start`. Throws lirovox::Error when the engine cannot take it.
    virtual void LoadSong(const std::string& smfBytes, int division, int32_t lengthMusicTime) = 0;

    // Length of the loaded song in music time (0 when none).
    virtual int32_t Length() const = 0;

    // The next `Start` plays from music time `musicTime`.
    virtual void SetStartPoint(int32_t musicTime) = 0;

    // Starts the song at the start point, at once. Also while it plays: it then restarts
    // from the start point.
    virtual void Start() = 0;

    // Stops the song at once; the position stays where it stopped.
    virtual void Stop() = 0;

    // Music time from the song's start of what the engine is rendering, held at the
    // song's length once the end has passed.
    virtual int32_t PlayPosition() const = 0;

    // Sends one channel message at once. Messages sent right after `Stop` act as soon as
    // the stop has taken effect (within one rendered block), so a previewed note is not
    // cut by the stop.
    virtual void SendMessage(int channel, int status, int data1, int data2) = 0;

    // Tempo factor: 1.0 = the file's own tempo; acts on the running song at once.
    virtual void SetTempoFactor(float factor) = 0;

    // Master volume in hundredths of a decibel (0 = full, -312 after each load).
    virtual void SetMasterVolume(int32_t hundredthsDb) = 0;

    // Stops and unloads the song (before the next load and at exit).
    virtual void Release() = 0;

    // While held, the song's own volume changes (control change 7) on `channel` are
    // kept back; messages sent with `SendMessage` still act. Used for channels that are
    // muted or silenced by a solo, so the song cannot unmute them mid-song.
    virtual void HoldVolume(int channel, bool held) = 0;

    // Status queries for the window.
    virtual OutputKind Output() const = 0;
    virtual bool SoundfontReady() const = 0;
    // Why there is no sound font (empty while loading or when ready).
    virtual std::string SoundfontProblem() const = 0;
    // How far the reported play position runs ahead of what is heard, in milliseconds
    // (the output's latency; 0 for the null and offline outputs).
    virtual double LeadMs() const = 0;
};

}  // namespace lirovox::playback
