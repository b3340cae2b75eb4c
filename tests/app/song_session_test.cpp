// The song session without the window: a load the engine refuses, and the syllable that
// the note-syllable box retypes, drawn under its own note on either row.

#include "app/song_session.h"
#include "util/error.h"
#include "window_fixture.h"

namespace lirovox::test {
namespace {

class RefusingEngine : public playback::FakeEngine {
public:
    int32_t refuseLength = -1;  // refuses the songs of this length
    void LoadSong(const std::string& bytes, int division, int32_t length) override {
        if (length == refuseLength) throw Error("the sound engine cannot take this song");
        FakeEngine::LoadSong(bytes, division, length);
    }
};

TEST(SongSessionTest, EngineRefusalPutsThePreviousSongBack) {
    RefusingEngine engine;
    app::SongSession session(engine);
    TempDir dir;
    const std::string first = dir.Write("a.mid", MelodyFile({60, 62, 64}, 500000, 288));
    session.LoadSMF(first);
    session.ReadyTXT(dir.Write("list.txt", "do \r\nre \r\nmi \r\n"));
    const std::vector<std::string> list = session.State().Song.List1;

    engine.refuseLength = 192 * 768 / 96;
    EXPECT_THROW(session.LoadSMF(dir.Write("b.mid", MelodyFile({70, 72}, 400000, 192))), Error);
    const app::SessionState& st = session.State();
    EXPECT_EQ(st.Song.FilePath, first);
    EXPECT_EQ(st.Song.List1, list);
    EXPECT_TRUE(st.Song.HasWords);
    EXPECT_EQ(st.Header.LabFileName, first);
    EXPECT_TRUE(st.Loaded);
    EXPECT_TRUE(session.Playback().Loaded());

    // The engine took the first song back and plays it.
    EXPECT_EQ(engine.SongLength, 288 * 768 / 96);
    session.ApplyPlayback(session.Playback().sequencer().PlayMidiFile());
    EXPECT_TRUE(engine.Running);
}

TEST(SongSessionTest, FileThatCannotBeReadChangesNothing) {
    playback::FakeEngine engine;
    app::SongSession session(engine);
    TempDir dir;
    EXPECT_THROW(session.LoadSMF(dir.Write("x.mid", "MThd")), Error);
    EXPECT_FALSE(session.State().Loaded);
    EXPECT_FALSE(session.State().SongOpen);
    EXPECT_TRUE(engine.Calls.empty());
}

TEST(SongSessionTest, RetypedSyllableShowsUnderItsOwnNoteOnEitherRow) {
    playback::FakeEngine engine;
    app::SongSession session(engine);
    TempDir dir;
    const int notes = 7;
    session.LoadSMF(dir.Write("a.mid", MelodyFile(Pitches(notes), 500000, notes * 96)));
    session.ReadyTXT(dir.Write("list.txt", "a \r\nb \r\n---\r\nc \r\nd \r\ne \r\nf \r\ng \r\n"));
    const app::SessionState& st = session.State();
    ASSERT_TRUE(st.Layout->Drawn);

    // Every record that is drawn as a note (the line mark is not).
    for (int k = 0; k <= UBound(st.Song.Notes); ++k) {
        if (st.Song.Notes[static_cast<size_t>(k)].Mark > 0) continue;
        session.SelectListEntry(k);
        const std::string text = "X" + std::to_string(k);
        session.TextK_Enter(text);
        EXPECT_EQ(st.Song.Notes[static_cast<size_t>(k)].Text, text);
        const int drawn = k - lyrics::LineMarksBefore(st.Song.List1, k);
        const ScoreNote& n = st.NotePos[static_cast<size_t>(drawn)];
        int found = 0;
        for (const score::ScoreMark& m : st.Layout->Marks) {
            if (m.Font == score::MarkFont::Arial && m.Text == text) {
                ++found;
                EXPECT_EQ(m.X, static_cast<int>(n.X)) << text;
                EXPECT_EQ(m.Y, n.Y - 64 + 90) << text;
            }
        }
        EXPECT_EQ(found, 1) << text;
    }
    // Each retype is a step of its own.
    const std::string last = st.Song.Notes[static_cast<size_t>(UBound(st.Song.Notes))].Text;
    session.Undo();
    EXPECT_NE(st.Song.Notes[static_cast<size_t>(UBound(st.Song.Notes))].Text, last);
}

}  // namespace
}  // namespace lirovox::test
