#pragma once
// An engine for tests: plays nothing and records every call in order. The play position
// is whatever the test sets (`Start` moves it to the start point, as a player would).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "playback/engine.h"

namespace lirovox::playback {

struct ChannelMessage {
    int Channel = 0;
    int Status = 0;
    int Data1 = 0;
    int Data2 = 0;
    bool operator==(const ChannelMessage&) const = default;
};

// "B0 3 7 100": status in hex, then channel, data1, data2 in decimal.
std::string ToString(const ChannelMessage& m);

class FakeEngine : public Engine {
public:
    // Every call as one line, e.g. "StartAudio", "LoadSong 480 12288", "SetStartPoint 0",
    // "Start", "Stop", "Send B0 3 7 0", "Tempo 1.5", "MasterVolume -312", "Release",
    // "Hold 3 1". Queries (Length, PlayPosition, status) are not recorded.
    std::vector<std::string> Calls;

    // Settable state.
    int32_t Position = 0;       // what PlayPosition returns
    int32_t SongLength = 0;     // what Length returns (LoadSong sets it)
    int32_t StartPoint = 0;     // last SetStartPoint
    bool Running = false;       // between Start and Stop
    float TempoFactor = 1.0f;
    int32_t MasterVolume = 0;
    std::array<bool, 16> Held{};
    OutputKind OutputInUse = OutputKind::Null;
    bool Ready = true;
    double Lead = 0;

    // The SendMessage calls only, in order.
    std::vector<ChannelMessage> Messages() const;
    // Forgets the recorded calls (the settable state stays).
    void ClearCalls() { Calls.clear(); }

    void StartAudio() override;
    void LoadSong(const std::string& smfBytes, int division, int32_t lengthMusicTime) override;
    int32_t Length() const override { return SongLength; }
    void SetStartPoint(int32_t musicTime) override;
    void Start() override;
    void Stop() override;
    int32_t PlayPosition() const override { return Position; }
    void SendMessage(int channel, int status, int data1, int data2) override;
    void SetTempoFactor(float factor) override;
    void SetMasterVolume(int32_t hundredthsDb) override;
    void Release() override;
    void HoldVolume(int channel, bool held) override;
    OutputKind Output() const override { return OutputInUse; }
    bool SoundfontReady() const override { return Ready; }
    std::string SoundfontProblem() const override { return {}; }
    double LeadMs() const override { return Lead; }

private:
    std::vector<ChannelMessage> messages_;
};

}  // namespace lirovox::playback
