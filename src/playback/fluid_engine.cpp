#include "playback/fluid_engine.h"

#include <fluidsynth.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "smf/song.h"
#include "util/error.h"
#include "util/numeric.h"

namespace lirovox::playback {

namespace {

constexpr const char* kDefaultSoundfont = "/usr/share/sounds/sf2/default-GM.sf2";
constexpr const char* kFallbackSoundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
// Synth gain at master volume 0; a master volume of v hundredths of a decibel scales it
// by 10^(v / 2000).
constexpr double kFullGain = 1.0;
// The null output renders what it missed at once when it falls behind by less than this;
// beyond it (the machine was suspended, say) it starts counting afresh.
constexpr double kNullCatchUpLimitSeconds = 0.2;

// FluidSynth reports through a global log; keep its last error for our messages instead
// of letting it print.
std::mutex gLogMutex;
std::string gLastFluidError;

void FluidLog(int level, const char* message, void*) {
    if (level > FLUID_WARN || message == nullptr) return;
    std::lock_guard<std::mutex> lock(gLogMutex);
    gLastFluidError = message;
}

void InstallLogHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        fluid_set_log_function(FLUID_PANIC, FluidLog, nullptr);
        fluid_set_log_function(FLUID_ERR, FluidLog, nullptr);
        fluid_set_log_function(FLUID_WARN, FluidLog, nullptr);
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    });
}

std::string LastFluidError() {
    std::lock_guard<std::mutex> lock(gLogMutex);
    return gLastFluidError;
}

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

std::string CheckedSoundfont(const std::string& path, const std::string& origin) {
    if (!IsRegularFile(path)) {
        throw Error("soundfont \"" + path + "\"" + origin + " not found");
    }
    if (!fluid_is_soundfont(path.c_str())) {
        throw Error("\"" + path + "\"" + origin + " is not a SoundFont 2 file");
    }
    return path;
}

// True when ALSA lists a playback device; opening ALSA without one only prints noise.
bool AlsaHasPcm() {
    std::error_code ec;
    std::filesystem::directory_iterator it("/dev/snd", ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("pcm", 0) == 0 && name.back() == 'p') return true;
    }
    return false;
}

}  // namespace

std::string FindSoundfont(const std::string& requested) {
    if (!requested.empty()) return CheckedSoundfont(requested, "");
    if (const char* env = std::getenv("LIROVOX_SOUNDFONT"); env != nullptr && *env != '\0') {
        return CheckedSoundfont(env, " (from LIROVOX_SOUNDFONT)");
    }
    if (IsRegularFile(kDefaultSoundfont)) return CheckedSoundfont(kDefaultSoundfont, "");
    if (IsRegularFile(kFallbackSoundfont)) return CheckedSoundfont(kFallbackSoundfont, "");
    throw Error(std::string("no soundfont found: set LIROVOX_SOUNDFONT to a .sf2 file, or install one as ") +
                kDefaultSoundfont + " or " + kFallbackSoundfont);
}

FluidEngine::FluidEngine(FluidEngineOptions options) : options_(std::move(options)) {
    InstallLogHandler();
    for (auto& h : heldVolumes_) h.store(false);
    settings_ = new_fluid_settings();
    if (settings_ == nullptr) throw Error("the synthesizer cannot be created (out of memory)");
    fluid_settings_setnum(settings_, "synth.sample-rate", options_.sampleRate);
    // A song that ends must not reset the synthesizer (that would undo mute, solo and an
    // instrument choice).
    fluid_settings_setint(settings_, "player.reset-synth", 0);
    synth_ = new_fluid_synth(settings_);
    if (synth_ == nullptr) {
        delete_fluid_settings(settings_);
        throw Error("the synthesizer cannot be created: " + LastFluidError());
    }
    fluid_synth_set_gain(synth_, static_cast<float>(kFullGain));
    scratch_.assign(2 * kBlockFrames, 0.0f);
}

FluidEngine::~FluidEngine() {
    if (driver_ != nullptr) {
        delete_fluid_audio_driver(driver_);
        driver_ = nullptr;
    }
    stopNullThread_ = true;
    if (nullThread_.joinable()) nullThread_.join();
    if (soundfontThread_.joinable()) soundfontThread_.join();
    {
        std::lock_guard<std::mutex> lock(renderMutex_);
        DeletePlayerLocked();
    }
    delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
}

// ---- output ---------------------------------------------------------------------------

void FluidEngine::StartAudio() {
    if (audioStarted_) return;
    audioStarted_ = true;
    switch (options_.output) {
        case FluidEngineOptions::Output::Offline:
            output_ = OutputKind::Offline;
            leadMs_ = 0;
            BeginSoundfontLoad(true);
            return;
        case FluidEngineOptions::Output::Auto:
            if (TryOpenDevice()) break;
            [[fallthrough]];
        case FluidEngineOptions::Output::Null:
            StartNullOutput();
            break;
    }
    BeginSoundfontLoad(false);
}

bool FluidEngine::TryOpenDevice() {
    std::vector<const char*> drivers = {"pulseaudio"};
    if (AlsaHasPcm()) drivers.push_back("alsa");
    for (const char* name : drivers) {
        fluid_settings_setstr(settings_, "audio.driver", name);
        driver_ = new_fluid_audio_driver2(settings_, &FluidEngine::DeviceCallback, this);
        if (driver_ == nullptr) continue;
        int periodSize = 0, periods = 0;
        double rate = options_.sampleRate;
        fluid_settings_getint(settings_, "audio.period-size", &periodSize);
        fluid_settings_getint(settings_, "audio.periods", &periods);
        fluid_settings_getnum(settings_, "synth.sample-rate", &rate);
        leadMs_ = rate > 0 ? 1000.0 * periodSize * periods / rate : 0;
        output_ = OutputKind::Device;
        deviceDriver_ = name;
        return true;
    }
    return false;
}

void FluidEngine::StartNullOutput() {
    output_ = OutputKind::Null;
    leadMs_ = 0;
    stopNullThread_ = false;
    nullThread_ = std::thread([this] { NullOutputLoop(); });
}

void FluidEngine::NullOutputLoop() {
    using Clock = std::chrono::steady_clock;
    const std::chrono::duration<double> blockTime(static_cast<double>(kBlockFrames) / options_.sampleRate);
    std::vector<float> left(kBlockFrames), right(kBlockFrames);
    Clock::time_point origin = Clock::now();
    uint64_t blocks = 0;
    while (!stopNullThread_.load()) {
        const auto due = origin + std::chrono::duration_cast<Clock::duration>(blockTime * static_cast<double>(blocks));
        const auto now = Clock::now();
        if (now < due) {
            std::this_thread::sleep_until(due);
        } else if (std::chrono::duration<double>(now - due).count() > kNullCatchUpLimitSeconds) {
            origin = now;
            blocks = 0;
        }
        {
            std::lock_guard<std::mutex> lock(renderMutex_);
            RenderBlockLocked(kBlockFrames, left.data(), right.data());
        }
        ++blocks;
    }
}

int FluidEngine::DeviceCallback(void* data, int len, int, float*[], int nout, float* out[]) {
    auto* self = static_cast<FluidEngine*>(data);
    for (int i = 0; i < nout; ++i) std::memset(out[i], 0, sizeof(float) * static_cast<size_t>(len));
    std::lock_guard<std::mutex> lock(self->renderMutex_);
    if (!self->soundfontReady_.load()) return FLUID_OK;
    self->FlushPending();
    // The output buffers serve as the effects buffers too, so reverb and chorus are mixed
    // into what is heard.
    const int result = fluid_synth_process(self->synth_, len, nout, out, nout, out);
    self->AfterBlockLocked();
    return result;
}

void FluidEngine::RenderBlockLocked(int frames, float* left, float* right) {
    if (!soundfontReady_.load()) {
        std::fill(left, left + frames, 0.0f);
        std::fill(right, right + frames, 0.0f);
        return;
    }
    FlushPending();
    fluid_synth_write_float(synth_, frames, left, 0, 1, right, 0, 1);
    AfterBlockLocked();
}

void FluidEngine::AfterBlockLocked() {
    // The player has now applied the seek of the last start: its own tick counts again.
    if (playing_) positionOverride_.store(-1);
    // And it has carried out a stop: what was sent since goes to the synth now.
    std::lock_guard<std::mutex> lock(pendingMutex_);
    if (stopPending_) {
        for (auto& f : afterStop_) f();
        afterStop_.clear();
        stopPending_ = false;
    }
}

void FluidEngine::RenderOffline(int frames, std::vector<float>& interleaved) {
    if (output_ != OutputKind::Offline) return;
    std::lock_guard<std::mutex> lock(renderMutex_);
    float* left = scratch_.data();
    float* right = scratch_.data() + kBlockFrames;
    while (frames > 0) {
        const int n = std::min(frames, kBlockFrames);
        RenderBlockLocked(n, left, right);
        for (int i = 0; i < n; ++i) {
            interleaved.push_back(left[i]);
            interleaved.push_back(right[i]);
        }
        frames -= n;
    }
}

// ---- sound font -----------------------------------------------------------------------

void FluidEngine::BeginSoundfontLoad(bool wait) {
    std::string path;
    try {
        path = FindSoundfont(options_.soundfont);
    } catch (const Error& e) {
        std::lock_guard<std::mutex> lock(problemMutex_);
        soundfontProblem_ = e.what();
        if (wait) throw;
        return;
    }
    auto load = [this, path] {
        const int id = fluid_synth_sfload(synth_, path.c_str(), 1);
        if (id == FLUID_FAILED) {
            std::lock_guard<std::mutex> lock(problemMutex_);
            soundfontProblem_ = "soundfont \"" + path + "\" cannot be loaded";
            const std::string detail = LastFluidError();
            if (!detail.empty()) soundfontProblem_ += ": " + detail;
        } else {
            soundfontReady_.store(true);
        }
        soundfontLoading_.store(false);
    };
    soundfontLoading_.store(true);
    if (wait) {
        load();
        WaitForSoundfont();
    } else {
        soundfontThread_ = std::thread(load);
    }
}

void FluidEngine::WaitForSoundfont() {
    if (soundfontThread_.joinable()) soundfontThread_.join();
    if (!soundfontReady_.load()) {
        std::string problem = SoundfontProblem();
        throw Error(problem.empty() ? std::string("no soundfont is loaded") : problem);
    }
    FlushPending();
}

std::string FluidEngine::SoundfontProblem() const {
    std::lock_guard<std::mutex> lock(problemMutex_);
    return soundfontProblem_;
}

// ---- song and player ------------------------------------------------------------------

void FluidEngine::DeletePlayerLocked() {
    if (player_ == nullptr) return;
    fluid_player_stop(player_);
    delete_fluid_player(player_);
    player_ = nullptr;
    playing_ = false;
}

void FluidEngine::LoadSong(const std::string& smfBytes, int division, int32_t lengthMusicTime) {
    if (division <= 0) throw Error("the song's division (ticks per quarter note) must be positive");
    if (smfBytes.size() < 14 || smfBytes.compare(0, 4, "MThd") != 0) {
        throw Error("the song is not a Standard MIDI File");
    }
    std::lock_guard<std::mutex> lock(renderMutex_);
    DeletePlayerLocked();
    if (soundfontReady_.load()) {
        // A fresh start for the new song: no notes, controllers and programs of the last.
        fluid_synth_all_sounds_off(synth_, -1);
        fluid_synth_system_reset(synth_);
    }
    // One player per song: a player cannot drop a song once queued.
    fluid_player_t* player = new_fluid_player(synth_);
    if (player == nullptr) throw Error("the song cannot be handed to the synthesizer: " + LastFluidError());
    fluid_player_set_playback_callback(player, &FluidEngine::OnPlayerEvent, this);
    if (fluid_player_add_mem(player, smfBytes.data(), smfBytes.size()) != FLUID_OK) {
        delete_fluid_player(player);
        throw Error("the song cannot be handed to the synthesizer: " + LastFluidError());
    }
    fluid_player_set_tempo(player, FLUID_PLAYER_TEMPO_INTERNAL, tempoFactor_);
    player_ = player;
    songBytes_ = smfBytes;
    division_ = division;
    length_ = std::max<int32_t>(lengthMusicTime, 0);
    startPoint_ = 0;
    playing_ = false;
    positionOverride_.store(0);
}

void FluidEngine::Release() {
    std::lock_guard<std::mutex> lock(renderMutex_);
    DeletePlayerLocked();
    if (soundfontReady_.load()) fluid_synth_all_sounds_off(synth_, -1);
    songBytes_.clear();
    length_ = 0;
    startPoint_ = 0;
    positionOverride_.store(0);
}

void FluidEngine::Start() {
    std::lock_guard<std::mutex> lock(renderMutex_);
    if (player_ == nullptr) return;
    const int32_t target = std::clamp<int32_t>(startPoint_, 0, length_);
    const int ticks = static_cast<int>(RoundHalfEven(static_cast<double>(target) * division_ / kMusicPpq));
    // Stopping first lets the seek take hold at once, also while the song runs.
    if (fluid_player_get_status(player_) == FLUID_PLAYER_PLAYING) fluid_player_stop(player_);
    if (fluid_player_seek(player_, ticks) != FLUID_OK) {
        // Past the player's own last event: start at its end.
        fluid_player_seek(player_, fluid_player_get_total_ticks(player_));
    }
    fluid_player_play(player_);
    playing_ = true;
    positionOverride_.store(target);
}

void FluidEngine::Stop() {
    std::lock_guard<std::mutex> lock(renderMutex_);
    if (player_ == nullptr) return;
    fluid_player_stop(player_);
    playing_ = false;
    std::lock_guard<std::mutex> pendingLock(pendingMutex_);
    stopPending_ = true;
}

int32_t FluidEngine::TicksToMusic(double ticks) const {
    if (division_ <= 0) return 0;
    const double music = RoundHalfEven(ticks * kMusicPpq / division_);
    return static_cast<int32_t>(std::clamp<double>(music, 0, length_));
}

int32_t FluidEngine::PlayPosition() const {
    const int32_t held = positionOverride_.load();
    if (held >= 0) return std::min(held, length_);
    if (player_ == nullptr) return 0;
    // The player runs on a little past the end of the song; the position stops there.
    return TicksToMusic(fluid_player_get_current_tick(player_));
}

bool FluidEngine::PlayerFinished() const {
    std::lock_guard<std::mutex> lock(renderMutex_);
    return player_ != nullptr && playing_ && positionOverride_.load() < 0 &&
           fluid_player_get_status(player_) == FLUID_PLAYER_DONE;
}

int FluidEngine::ActiveVoiceCount() const {
    if (!soundfontReady_.load()) return 0;
    return fluid_synth_get_active_voice_count(synth_);
}

int FluidEngine::OnPlayerEvent(void* data, fluid_midi_event_t* event) {
    auto* self = static_cast<FluidEngine*>(data);
    if (fluid_midi_event_get_type(event) == kControlChange &&
        fluid_midi_event_get_control(event) == kVolumeController) {
        const int channel = fluid_midi_event_get_channel(event);
        if (channel >= 0 && channel < 16 && self->heldVolumes_[static_cast<size_t>(channel)].load()) {
            return FLUID_OK;  // kept back: the channel is muted or silenced by a solo
        }
    }
    return fluid_synth_handle_midi_event(self->synth_, event);
}

// ---- messages and settings ------------------------------------------------------------

void FluidEngine::FlushPending() {
    std::lock_guard<std::mutex> lock(pendingMutex_);
    FlushPendingLocked();
}

void FluidEngine::FlushPendingLocked() {
    for (auto& f : pending_) f();
    pending_.clear();
}

void FluidEngine::Dispatch(int channel, int status, int data1, int data2) {
    switch (status) {
        case 0x80: fluid_synth_noteoff(synth_, channel, data1); break;
        case kNoteOn:
            if (data2 == 0) fluid_synth_noteoff(synth_, channel, data1);
            else fluid_synth_noteon(synth_, channel, data1, data2);
            break;
        case 0xA0: fluid_synth_key_pressure(synth_, channel, data1, data2); break;
        case kControlChange: fluid_synth_cc(synth_, channel, data1, data2); break;
        case kProgramChange: fluid_synth_program_change(synth_, channel, data1); break;
        case 0xD0: fluid_synth_channel_pressure(synth_, channel, data1); break;
        case 0xE0: fluid_synth_pitch_bend(synth_, channel, data1 | (data2 << 7)); break;
        default: break;
    }
}

void FluidEngine::SendMessage(int channel, int status, int data1, int data2) {
    if (channel < 0 || channel > 15 || data1 < 0 || data1 > 127 || data2 < 0 || data2 > 127) return;
    status &= 0xF0;
    auto message = [this, channel, status, data1, data2] { Dispatch(channel, status, data1, data2); };
    std::lock_guard<std::mutex> lock(pendingMutex_);
    if (!soundfontReady_.load()) {
        // The synth is locked while the sound font loads: keep the message for later.
        pending_.push_back(message);
        return;
    }
    FlushPendingLocked();
    if (stopPending_) {
        // The player silences everything on the first block it renders after a stop; a
        // note sent before that block would be cut at once. Messages wait for that block.
        afterStop_.push_back(message);
        return;
    }
    message();
}

void FluidEngine::SetTempoFactor(float factor) {
    if (!(factor > 0)) return;
    tempoFactor_ = std::clamp(factor, 0.001f, 1000.0f);
    std::lock_guard<std::mutex> lock(renderMutex_);
    if (player_ != nullptr) fluid_player_set_tempo(player_, FLUID_PLAYER_TEMPO_INTERNAL, tempoFactor_);
}

void FluidEngine::SetMasterVolume(int32_t hundredthsDb) {
    const double db = std::clamp<double>(hundredthsDb, -10000, 1000) / 100.0;
    const float gain = static_cast<float>(kFullGain * std::pow(10.0, db / 20.0));
    std::lock_guard<std::mutex> lock(pendingMutex_);
    if (!soundfontReady_.load()) {
        pending_.push_back([this, gain] { fluid_synth_set_gain(synth_, gain); });
        return;
    }
    FlushPendingLocked();
    fluid_synth_set_gain(synth_, gain);
}

void FluidEngine::HoldVolume(int channel, bool held) {
    if (channel < 0 || channel > 15) return;
    heldVolumes_[static_cast<size_t>(channel)].store(held);
}

}  // namespace lirovox::playback
