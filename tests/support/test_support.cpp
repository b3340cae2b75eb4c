#include "support/test_support.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace lirovox::test {

namespace {
void PutVlq(std::string& out, uint32_t v) {
    uint8_t buf[5];
    int n = 0;
    buf[n++] = v & 0x7F;
    while (v >>= 7) buf[n++] = 0x80 | (v & 0x7F);
    while (n--) out.push_back(static_cast<char>(buf[n]));
}
void PutBe(std::string& out, uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q.push_back(c);
    }
    return q + "'";
}
}  // namespace

TrackBytes& TrackBytes::Delta(uint32_t ticks) { PutVlq(data_, ticks); return *this; }
TrackBytes& TrackBytes::Bytes(std::initializer_list<int> bytes) {
    for (int b : bytes) data_.push_back(static_cast<char>(b));
    return *this;
}
TrackBytes& TrackBytes::Raw(const std::string& bytes) { data_ += bytes; return *this; }
TrackBytes& TrackBytes::NoteOn(uint32_t delta, int channel, int note, int velocity) {
    Delta(delta);
    return Bytes({0x90 + channel, note, velocity});
}
TrackBytes& TrackBytes::NoteOff(uint32_t delta, int channel, int note) {
    Delta(delta);
    return Bytes({0x80 + channel, note, 0});
}
TrackBytes& TrackBytes::Meta(uint32_t delta, int type, const std::string& text) {
    Delta(delta);
    Bytes({0xFF, type});
    PutVlq(data_, static_cast<uint32_t>(text.size()));
    data_ += text;
    return *this;
}
TrackBytes& TrackBytes::Tempo(uint32_t delta, uint32_t us) {
    Delta(delta);
    return Bytes({0xFF, 0x51, 0x03, static_cast<int>((us >> 16) & 0xFF),
                  static_cast<int>((us >> 8) & 0xFF), static_cast<int>(us & 0xFF)});
}
TrackBytes& TrackBytes::EndOfTrack(uint32_t delta) {
    Delta(delta);
    return Bytes({0xFF, 0x2F, 0x00});
}

std::string MakeSmfRaw(int format, int trackCount, int division,
                       const std::vector<std::string>& trackData) {
    std::string out = "MThd";
    PutBe(out, 6, 4);
    PutBe(out, static_cast<uint32_t>(format), 2);
    PutBe(out, static_cast<uint32_t>(trackCount), 2);
    PutBe(out, static_cast<uint32_t>(division), 2);
    for (const std::string& t : trackData) {
        out += "MTrk";
        PutBe(out, static_cast<uint32_t>(t.size()), 4);
        out += t;
    }
    return out;
}

std::string MakeSmf(int format, int division, const std::vector<TrackBytes>& tracks) {
    std::vector<std::string> data;
    for (const TrackBytes& t : tracks) data.push_back(t.Data());
    return MakeSmfRaw(format, static_cast<int>(tracks.size()), division, data);
}

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "lirovox-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}
TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}
std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    std::string p = File(name);
    std::ofstream f(p, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

RunResult RunCommand(const std::string& commandLine) {
    TempDir dir;
    std::string outFile = dir.File("out"), errFile = dir.File("err");
    std::string full = "(" + commandLine + ") >" + ShellQuote(outFile) + " 2>" + ShellQuote(errFile) + " </dev/null";
    int status = std::system(full.c_str());
    RunResult r;
    r.exitCode = (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    r.out = ReadFileBytes(outFile);
    r.err = ReadFileBytes(errFile);
    return r;
}

RunResult RunLirovox(const std::vector<std::string>& args) {
    std::string cmd = ShellQuote(LIROVOX_BINARY);
    for (const std::string& a : args) cmd += " " + ShellQuote(a);
    // Sanitizer reports of the child must not mix with the program's own stderr.
    return RunCommand("ASAN_OPTIONS=detect_leaks=0 " + cmd);
}

RunResult MidoDump(const std::string& midiPath) {
    return RunCommand("/usr/bin/python3 " + ShellQuote(SourcePath("tests/tools/mido_dump.py")) + " " +
                      ShellQuote(midiPath));
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::string SourcePath(const std::string& relative) {
    return std::string(LIROVOX_SOURCE_DIR) + "/" + relative;
}

}  // namespace lirovox::test
