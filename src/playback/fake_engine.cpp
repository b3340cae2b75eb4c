#include "playback/fake_engine.h"

#include <cstdio>

namespace lirovox::playback {

std::string ToString(const ChannelMessage& m) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02X %d %d %d", m.Status, m.Channel, m.Data1, m.Data2);
    return buf;
}

std::vector<ChannelMessage> FakeEngine::Messages() const { return messages_; }

void FakeEngine::StartAudio() { Calls.push_back("StartAudio"); }

void FakeEngine::LoadSong(const std::string&, int division, int32_t lengthMusicTime) {
    SongLength = lengthMusicTime;
    Calls.push_back("LoadSong " + std::to_string(division) + " " + std::to_string(lengthMusicTime));
}

void FakeEngine::SetStartPoint(int32_t musicTime) {
    StartPoint = musicTime;
    Calls.push_back("SetStartPoint " + std::to_string(musicTime));
}

void FakeEngine::Start() {
    Running = true;
    Position = StartPoint;
    Calls.push_back("Start");
}

void FakeEngine::Stop() {
    Running = false;
    Calls.push_back("Stop");
}

void FakeEngine::SendMessage(int channel, int status, int data1, int data2) {
    ChannelMessage m{channel, status, data1, data2};
    messages_.push_back(m);
    Calls.push_back("Send " + ToString(m));
}

void FakeEngine::SetTempoFactor(float factor) {
    TempoFactor = factor;
    char buf[32];
    std::snprintf(buf, sizeof buf, "Tempo %g", static_cast<double>(factor));
    Calls.push_back(buf);
}

void FakeEngine::SetMasterVolume(int32_t hundredthsDb) {
    MasterVolume = hundredthsDb;
    Calls.push_back("MasterVolume " + std::to_string(hundredthsDb));
}

void FakeEngine::Release() {
    Running = false;
    SongLength = 0;
    Calls.push_back("Release");
}

void FakeEngine::HoldVolume(int channel, bool held) {
    if (channel >= 0 && channel < 16) Held[static_cast<size_t>(channel)] = held;
    Calls.push_back("Hold " + std::to_string(channel) + " " + (held ? "1" : "0"));
}

}  // namespace lirovox::playback
