#include "app/engine_host.h"

#include <QApplication>
#include <QCursor>
#include <QMetaObject>
#include <exception>

#include "playback/fluid_engine.h"
#include "util/error.h"

namespace lirovox::app {

// ---- DeferredEngine --------------------------------------------------------------------

void DeferredEngine::StartAudio() {
    if (target_) target_->StartAudio();
}

void DeferredEngine::LoadSong(const std::string& smfBytes, int division, int32_t lengthMusicTime) {
    if (!target_) throw Error("The sound engine is still starting; try again in a moment");
    target_->LoadSong(smfBytes, division, lengthMusicTime);
}

int32_t DeferredEngine::Length() const { return target_ ? target_->Length() : 0; }

void DeferredEngine::SetStartPoint(int32_t musicTime) {
    if (target_) target_->SetStartPoint(musicTime);
}

void DeferredEngine::Start() {
    if (target_) target_->Start();
}

void DeferredEngine::Stop() {
    if (target_) target_->Stop();
}

int32_t DeferredEngine::PlayPosition() const { return target_ ? target_->PlayPosition() : 0; }

void DeferredEngine::SendMessage(int channel, int status, int data1, int data2) {
    if (target_) target_->SendMessage(channel, status, data1, data2);
}

void DeferredEngine::SetTempoFactor(float factor) {
    if (target_) target_->SetTempoFactor(factor);
}

void DeferredEngine::SetMasterVolume(int32_t hundredthsDb) {
    if (target_) target_->SetMasterVolume(hundredthsDb);
}

void DeferredEngine::Release() {
    if (target_) target_->Release();
}

void DeferredEngine::HoldVolume(int channel, bool held) {
    if (target_) target_->HoldVolume(channel, held);
}

playback::OutputKind DeferredEngine::Output() const {
    return target_ ? target_->Output() : playback::OutputKind::None;
}

bool DeferredEngine::SoundfontReady() const { return target_ && target_->SoundfontReady(); }

std::string DeferredEngine::SoundfontProblem() const {
    return target_ ? target_->SoundfontProblem() : std::string();
}

double DeferredEngine::LeadMs() const { return target_ ? target_->LeadMs() : 0.0; }

// ---- the stand-in when no engine could be made -----------------------------------------

namespace {

// Plays nothing: the position stays at the start point. Keeps the window usable (score,
// lyrics, export) when the synthesizer itself cannot be created.
class InertEngine : public playback::Engine {
public:
    explicit InertEngine(std::string problem) : problem_(std::move(problem)) {}
    void StartAudio() override {}
    void LoadSong(const std::string&, int, int32_t lengthMusicTime) override { length_ = lengthMusicTime; }
    int32_t Length() const override { return length_; }
    void SetStartPoint(int32_t musicTime) override { start_ = musicTime; }
    void Start() override {}
    void Stop() override {}
    int32_t PlayPosition() const override { return start_; }
    void SendMessage(int, int, int, int) override {}
    void SetTempoFactor(float) override {}
    void SetMasterVolume(int32_t) override {}
    void Release() override { length_ = 0; }
    void HoldVolume(int, bool) override {}
    playback::OutputKind Output() const override { return playback::OutputKind::None; }
    bool SoundfontReady() const override { return false; }
    std::string SoundfontProblem() const override { return problem_; }
    double LeadMs() const override { return 0; }

private:
    std::string problem_;
    int32_t length_ = 0;
    int32_t start_ = 0;
};

}  // namespace

QString EngineStatusNote(const playback::Engine& engine) {
    const std::string problem = engine.SoundfontProblem();
    if (engine.Output() == playback::OutputKind::None) {
        return QStringLiteral("The sound engine could not start (%1): playback does not run.")
            .arg(QString::fromLocal8Bit(problem.c_str()));
    }
    if (!problem.empty()) {
        return QStringLiteral("No sound font (%1): playback runs silently.")
            .arg(QString::fromLocal8Bit(problem.c_str()));
    }
    if (engine.Output() == playback::OutputKind::Null) {
        return QStringLiteral("No sound device could be opened: playback runs silently.");
    }
    return {};
}

// ---- EngineHost ------------------------------------------------------------------------

EngineHost::Factory EngineHost::FluidFactory() {
    return [] {
        auto engine = std::make_unique<playback::FluidEngine>();
        engine->StartAudio();
        try {
            engine->WaitForSoundfont();
        } catch (const Error&) {
            // The engine stays silent and says why through SoundfontProblem.
        }
        return std::unique_ptr<playback::Engine>(std::move(engine));
    };
}

EngineHost::EngineHost(Factory factory, QObject* parent) : QObject(parent), factory_(std::move(factory)) {}

EngineHost::~EngineHost() {
    if (worker_.joinable()) worker_.join();
    if (busyCursor_) QApplication::restoreOverrideCursor();
    deferred_.Attach(nullptr);
}

void EngineHost::Start() {
    if (started_) return;
    started_ = true;
    worker_ = std::thread([this] {
        std::unique_ptr<playback::Engine> made;
        std::string problem;
        try {
            made = factory_();
            if (!made) problem = "no engine";
        } catch (const std::exception& e) {
            problem = e.what();
        } catch (...) {
            problem = "unknown failure";
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            made_ = std::move(made);
            problem_ = std::move(problem);
        }
        QMetaObject::invokeMethod(this, [this] { Finish(); }, Qt::QueuedConnection);
    });
}

void EngineHost::Finish() {
    if (worker_.joinable()) worker_.join();
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        engine_ = made_ ? std::move(made_) : std::make_unique<InertEngine>(problem_);
    }
    deferred_.Attach(engine_.get());
    ready_ = true;

    const QString note = EngineStatusNote(*engine_);
    if (!note.isEmpty()) emit statusMessage(note);

    // Commands queued meanwhile run in order; one may queue no further ones (ready now).
    std::vector<std::function<void()>> queued;
    queued.swap(queue_);
    for (auto& command : queued) command();
    if (busyCursor_) {
        busyCursor_ = false;
        QApplication::restoreOverrideCursor();
    }
    emit ready();
}

void EngineHost::WhenReady(std::function<void()> command) {
    if (ready_) {
        command();
        return;
    }
    queue_.push_back(std::move(command));
    if (!busyCursor_) {
        busyCursor_ = true;
        QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    }
}

}  // namespace lirovox::app
