#pragma once
// The sound engine behind the window, started off the window's thread so the window shows
// at once: the synthesizer is made, its output opened and its sound font loaded on a
// worker thread, then the engine is handed to the window's thread. Until then the window
// talks to a stand-in that forwards to the engine once it is there; a command that needs
// the engine is queued meanwhile and runs when it is ready, with the busy pointer shown.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "playback/engine.h"

namespace lirovox::app {

// An engine that forwards every call to a target engine once one is attached. Before
// that it is silent: operations do nothing, queries answer "none", and `LoadSong` throws.
class DeferredEngine : public playback::Engine {
public:
    void Attach(playback::Engine* target) { target_ = target; }
    playback::Engine* Target() const { return target_; }

    void StartAudio() override;
    void LoadSong(const std::string& smfBytes, int division, int32_t lengthMusicTime) override;
    int32_t Length() const override;
    void SetStartPoint(int32_t musicTime) override;
    void Start() override;
    void Stop() override;
    int32_t PlayPosition() const override;
    void SendMessage(int channel, int status, int data1, int data2) override;
    void SetTempoFactor(float factor) override;
    void SetMasterVolume(int32_t hundredthsDb) override;
    void Release() override;
    void HoldVolume(int channel, bool held) override;
    playback::OutputKind Output() const override;
    bool SoundfontReady() const override;
    std::string SoundfontProblem() const override;
    double LeadMs() const override;

private:
    playback::Engine* target_ = nullptr;
};

// The note for the status area about how playback will sound, or empty when it sounds
// normally: a missing sound font, or no sound device (playback then runs silently).
QString EngineStatusNote(const playback::Engine& engine);

class EngineHost : public QObject {
    Q_OBJECT
public:
    // Makes the engine, opens its output and waits for its sound font; runs on the worker
    // thread. May throw; the window then runs with a silent engine and says why.
    using Factory = std::function<std::unique_ptr<playback::Engine>()>;

    // The program's engine: FluidSynth, output on the desktop's device when one opens,
    // else the silent real-time output.
    static Factory FluidFactory();

    explicit EngineHost(Factory factory, QObject* parent = nullptr);
    ~EngineHost() override;

    // The engine the window talks to (stable for the host's life).
    playback::Engine& Engine() { return deferred_; }

    // Starts the engine on the worker thread (once).
    void Start();
    bool Ready() const { return ready_; }

    // Runs `command` now when the engine is ready; otherwise queues it (in order) and
    // shows the busy pointer until the queue has run.
    void WhenReady(std::function<void()> command);
    int Queued() const { return static_cast<int>(queue_.size()); }

signals:
    // The engine is ready (after the queued commands have run).
    void ready();
    // A note for the status area (said once).
    void statusMessage(const QString& text);

private:
    void Finish();

    Factory factory_;
    DeferredEngine deferred_;
    std::unique_ptr<playback::Engine> engine_;
    std::thread worker_;
    std::mutex mutex_;                            // guards made_ and problem_
    std::unique_ptr<playback::Engine> made_;      // handed over by the worker
    std::string problem_;                         // why the factory failed
    bool started_ = false;
    bool ready_ = false;
    bool busyCursor_ = false;
    std::vector<std::function<void()>> queue_;
};

}  // namespace lirovox::app
