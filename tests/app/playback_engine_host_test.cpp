// The engine's start-up off the window's thread: commands wait in order (with the busy
// pointer) until the engine is there, the status note is said once, and a failed start
// leaves a silent engine behind.

#include <QApplication>
#include <QCursor>
#include <QSignalSpy>
#include <QTest>
#include <future>
#include <gtest/gtest.h>

#include "app/engine_host.h"
#include "playback/fake_engine.h"
#include "playback/playback.h"
#include "playback_fixture.h"
#include "util/error.h"

namespace lirovox::test {
namespace {

using app::EngineHost;
using playback::FakeEngine;
using playback::OutputKind;

// A factory that hands over `engine` once the test opens the gate.
struct GatedFactory {
    std::promise<void> gate;
    FakeEngine* engine = nullptr;

    EngineHost::Factory Make(OutputKind output) {
        auto fake = std::make_unique<FakeEngine>();
        fake->OutputInUse = output;
        engine = fake.get();
        auto shared = std::make_shared<std::unique_ptr<FakeEngine>>(std::move(fake));
        std::shared_future<void> opened = gate.get_future().share();
        return [shared, opened]() -> std::unique_ptr<playback::Engine> {
            opened.wait();
            return std::move(*shared);
        };
    }
};

TEST(EngineHost, CommandsWaitForTheEngineInOrderWithTheBusyPointer) {
    GatedFactory factory;
    EngineHost host(factory.Make(OutputKind::Device));
    QSignalSpy notes(&host, &EngineHost::statusMessage);
    host.Start();

    std::vector<int> ran;
    host.WhenReady([&] { ran.push_back(1); });
    host.WhenReady([&] { ran.push_back(2); });
    EXPECT_FALSE(host.Ready());
    EXPECT_EQ(host.Queued(), 2);
    // (No ASSERT before the gate opens: the host's end waits for its worker.)
    const QCursor* busy = QApplication::overrideCursor();
    EXPECT_TRUE(busy != nullptr && busy->shape() == Qt::BusyCursor);

    // The window's thread keeps running events meanwhile, and the stand-in is silent.
    QTest::qWait(20);
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(host.Engine().Output(), OutputKind::None);
    EXPECT_THROW(host.Engine().LoadSong("x", 480, 100), Error);

    factory.gate.set_value();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.Ready(); }, 5000));
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(notes.count(), 0);  // a device: nothing to say

    // Now commands run at once, and the engine behind the stand-in takes the calls.
    host.WhenReady([&] { ran.push_back(3); });
    EXPECT_EQ(ran.back(), 3);
    host.Engine().SendMessage(3, 0xC0, 40, 0);
    EXPECT_EQ(factory.engine->Calls, std::vector<std::string>{"Send C0 3 40 0"});
}

TEST(EngineHost, SaysOnceThatPlaybackRunsSilentlyWithoutADevice) {
    GatedFactory factory;
    EngineHost host(factory.Make(OutputKind::Null));
    QSignalSpy notes(&host, &EngineHost::statusMessage);
    host.Start();
    host.Start();  // a second start changes nothing
    factory.gate.set_value();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.Ready(); }, 5000));
    ASSERT_EQ(notes.count(), 1);
    EXPECT_TRUE(notes.at(0).at(0).toString().contains("playback runs silently"));

    // A song plays through the stand-in as through the engine itself.
    Song song = PanelSong();
    std::vector<ScoreNote> notePos = PanelNotePos(song);
    playback::Playback playback(host.Engine());
    playback.LoadSong(&song, &notePos);
    playback.sequencer().PlayMidiFile();
    EXPECT_TRUE(factory.engine->Running);
    EXPECT_EQ(notes.count(), 1);
}

TEST(EngineHost, AFailedStartLeavesASilentEngineAndSaysWhy) {
    EngineHost host([]() -> std::unique_ptr<playback::Engine> { throw Error("no synthesizer here"); });
    QSignalSpy notes(&host, &EngineHost::statusMessage);
    bool ran = false;
    host.Start();
    host.WhenReady([&] { ran = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.Ready(); }, 5000));
    EXPECT_TRUE(ran);
    ASSERT_EQ(notes.count(), 1);
    EXPECT_TRUE(notes.at(0).at(0).toString().contains("no synthesizer here"));

    // Loading and playing still work; the song just does not move.
    Song song = PanelSong();
    std::vector<ScoreNote> notePos = PanelNotePos(song);
    playback::Playback playback(host.Engine());
    EXPECT_NO_THROW(playback.LoadSong(&song, &notePos));
    playback.sequencer().PlayMidiFile();
    EXPECT_EQ(host.Engine().PlayPosition(), 0);
}

TEST(EngineHost, StatusNotes) {
    FakeEngine engine;
    engine.OutputInUse = OutputKind::Device;
    EXPECT_TRUE(app::EngineStatusNote(engine).isEmpty());
    engine.OutputInUse = OutputKind::Null;
    EXPECT_EQ(app::EngineStatusNote(engine), "No sound device could be opened: playback runs silently.");
}

}  // namespace
}  // namespace lirovox::test
