#pragma once
// The engine on FluidSynth: one synthesizer, one MIDI-file player per loaded song (fed
// from memory), and an output:
//   - Device: the desktop's audio device, rendering in its own callback;
//   - Null: when no device opens, a thread of ours renders 64-frame blocks paced by the
//     monotonic clock and throws them away, so the song advances in real time, silently;
//   - Offline: nothing runs by itself; `RenderOffline` renders as fast as the synth can.
//
// The sound font is found with `FindSoundfont` and loaded on a worker thread when the
// audio starts (offline: at once, on the caller's thread). Nothing renders while it
// loads (a load holds the synth's lock for its whole length), and channel messages sent
// meanwhile are kept and applied, in order, once it is ready. A missing sound font does not
// stop the program: `SoundfontProblem` tells what is wrong and the engine stays silent.
//
// Threads: every public operation is for one thread (the window's or the caller's). The
// render thread (device callback or null output) takes an internal lock for one block at
// a time; operations that touch the player take it too, so they wait at most one block.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "playback/engine.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;
typedef struct _fluid_audio_driver_t fluid_audio_driver_t;
typedef struct _fluid_midi_event_t fluid_midi_event_t;

namespace lirovox::playback {

struct FluidEngineOptions {
    enum class Output {
        Auto,     // the desktop's device, else the null output
        Null,     // the null output even when a device exists
        Offline,  // no output thread; render with RenderOffline
    };
    Output output = Output::Auto;
    std::string soundfont;  // empty: looked up (see FindSoundfont)
    int sampleRate = 44100;
};

// Where the sound font comes from: `requested` when not empty, else the file named by
// the environment variable LIROVOX_SOUNDFONT when set, else
// /usr/share/sounds/sf2/default-GM.sf2, else /usr/share/sounds/sf2/TimGM6mb.sf2.
// Throws lirovox::Error naming the file (or the places looked at) when there is none or
// it is not a sound font.
std::string FindSoundfont(const std::string& requested);

class FluidEngine : public Engine {
public:
    // Frames per rendered block (the synth's own block size).
    static constexpr int kBlockFrames = 64;

    explicit FluidEngine(FluidEngineOptions options = {});
    ~FluidEngine() override;
    FluidEngine(const FluidEngine&) = delete;
    FluidEngine& operator=(const FluidEngine&) = delete;

    // Opens the output and starts loading the sound font (offline: loads it now and
    // throws lirovox::Error when it is missing or unreadable).
    void StartAudio() override;
    void LoadSong(const std::string& smfBytes, int division, int32_t lengthMusicTime) override;
    int32_t Length() const override { return length_; }
    void SetStartPoint(int32_t musicTime) override { startPoint_ = musicTime; }
    void Start() override;
    void Stop() override;
    int32_t PlayPosition() const override;
    void SendMessage(int channel, int status, int data1, int data2) override;
    void SetTempoFactor(float factor) override;
    void SetMasterVolume(int32_t hundredthsDb) override;
    void Release() override;
    void HoldVolume(int channel, bool held) override;
    OutputKind Output() const override { return output_; }
    bool SoundfontReady() const override { return soundfontReady_.load(); }
    std::string SoundfontProblem() const override;
    double LeadMs() const override { return leadMs_; }

    // Waits until the sound font has loaded; throws lirovox::Error when it cannot be.
    void WaitForSoundfont();

    // Offline output only: renders `frames` frames and appends them to `interleaved` as
    // stereo float samples (left, right, ...).
    void RenderOffline(int frames, std::vector<float>& interleaved);

    // True when the song was started and its player has finished (it ran past the end).
    bool PlayerFinished() const;

    // Voices sounding now (for tests and diagnostics).
    int ActiveVoiceCount() const;

    int SampleRate() const { return options_.sampleRate; }
    // The audio driver in use for the device output ("pulseaudio", "alsa"), else empty.
    const std::string& DeviceDriver() const { return deviceDriver_; }

private:
    static int DeviceCallback(void* data, int len, int nfx, float* fx[], int nout, float* out[]);
    static int OnPlayerEvent(void* data, fluid_midi_event_t* event);

    bool TryOpenDevice();
    void StartNullOutput();
    void NullOutputLoop();
    void BeginSoundfontLoad(bool wait);
    // Renders one block with the render lock held (silence while the sound font loads).
    void RenderBlockLocked(int frames, float* left, float* right);
    void AfterBlockLocked();
    // Applies the messages kept while the sound font loaded.
    void FlushPending();
    void FlushPendingLocked();  // with pendingMutex_ held
    void Dispatch(int channel, int status, int data1, int data2);
    void DeletePlayerLocked();
    int32_t TicksToMusic(double ticks) const;

    FluidEngineOptions options_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_audio_driver_t* driver_ = nullptr;
    fluid_player_t* player_ = nullptr;  // changed only with renderMutex_ held
    OutputKind output_ = OutputKind::None;
    std::string deviceDriver_;
    double leadMs_ = 0;
    bool audioStarted_ = false;

    // Render lock: held by the render thread for one block, and by operations on the player.
    mutable std::mutex renderMutex_;
    std::thread nullThread_;
    std::atomic<bool> stopNullThread_{false};
    std::vector<float> scratch_;

    // Sound font.
    std::thread soundfontThread_;
    std::atomic<bool> soundfontReady_{false};
    std::atomic<bool> soundfontLoading_{false};
    mutable std::mutex problemMutex_;
    std::string soundfontProblem_;

    // Messages (and the gain) kept while the sound font loads, and messages sent after a
    // stop before the player has rendered the block that carries the stop out.
    std::mutex pendingMutex_;
    std::vector<std::function<void()>> pending_;
    std::vector<std::function<void()>> afterStop_;
    bool stopPending_ = false;  // guarded by pendingMutex_

    // Song.
    std::string songBytes_;
    int division_ = 0;
    int32_t length_ = 0;
    int32_t startPoint_ = 0;
    float tempoFactor_ = 1.0f;
    bool playing_ = false;  // between Start and Stop (changed with renderMutex_ held)
    // The requested start point, reported as the position until a block has rendered
    // after the start (the player applies a seek only when it next renders); -1 when none.
    std::atomic<int32_t> positionOverride_{0};
    std::array<std::atomic<bool>, 16> heldVolumes_{};
};

}  // namespace lirovox::playback
