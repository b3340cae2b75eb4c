#include <gtest/gtest.h>

#include "support/test_support.h"

namespace lirovox {
namespace {

using test::RunLirovox;

TEST(InspectCli, JsonObjectHasEveryFieldWithTheReadersValues) {
    test::TempDir dir;
    test::TrackBytes t;
    t.Tempo(0, 500000).Lyric(0, "la ").Lyric(0, "\r").NoteOn(0, 3, 64, 90).Lyric(96, "\xE8").EndOfTrack(96);
    std::string song = dir.Write("s.mid", test::MakeSmf(0, 96, {t}));
    test::RunResult r = RunLirovox({"inspect", song, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string json = dir.Write("out.json", r.out);
    // An independent JSON parser checks the document and pulls the values out.
    test::RunResult check = test::RunCommand(
        "/usr/bin/python3 -c \"import json,sys; d=json.load(open(sys.argv[1], encoding='utf-8'));"
        "print(sorted(d.keys()));"
        "print(d['format'], d['tracks'], d['division'], d['tempo_us'], d['bpm'], d['has_words'], d['time_signature'],"
        " d['length_music_time'], d['bars'], d['length'], d['counts']);"
        "print(d['melody_notes']); print([e['text'] for e in d['lyric_events']], d['lyric_events'][1]['mark']);"
        "print(d['lyric_lines'], d['syllable_list'], len(d['channels']), d['channels'][3]);"
        "print(d['lyric_recs'][2])\" " + json);
    ASSERT_EQ(check.exitCode, 0) << check.err;
    EXPECT_EQ(check.out,
              "['bars', 'bpm', 'channels', 'counts', 'division', 'file', 'format', 'has_words', 'length', "
              "'length_music_time', 'lyric_events', 'lyric_lines', 'lyric_recs', 'melody_notes', "
              "'ms_per_tick', 'syllable_list', 'tempo_us', 'time_signature', 'tracks']\n"
              "0 1 96 500000 120 False [4, 4] 1536 2 00:01 {'notes': 1, 'hyphens': 2, 'lines': 1}\n"
              "[{'note': 64, 'tick': 0, 'time_ms': 0}]\n"
              "['la ', '\\r', '\xC3\xA8'] 13\n"
              "['la ', '\xC3\xA8'] ['la ', '---', '\xC3\xA8'] 16 {'program': 0, 'channel_no': 4, 'volume': 100, "
              "'pan': 64, 'reverb': 100, 'chorus': 64}\n"
              "{'text': '\xC3\xA8', 'length': 1, 'char_pos': 0, 'time_ms': 500, 'line': 1, 'tick': 96}\n");
}

TEST(InspectCli, PanelText) {
    test::RunResult r = RunLirovox({"inspect", test::SourcePath("examples/fra_martino.mid")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Bars:     1 of "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("BPM:      100"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Time sig: 4/4"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Instr.  Flute"), std::string::npos) << r.out;  // program 73
}

TEST(InspectCli, ErrorsAndExitCodes) {
    test::TempDir dir;
    std::string bad = dir.Write("bad.mid", "RIFF0000");
    test::RunResult r = RunLirovox({"inspect", bad});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("lirovox: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("bad.mid"), std::string::npos);
    EXPECT_TRUE(r.out.empty());

    EXPECT_EQ(RunLirovox({"inspect"}).exitCode, 2);
    EXPECT_EQ(RunLirovox({"inspect", bad, "--color"}).exitCode, 2);
    EXPECT_EQ(RunLirovox({"inspect", dir.File("missing.mid")}).exitCode, 1);
    EXPECT_EQ(RunLirovox({"frobnicate", "x", "y"}).exitCode, 2);

    test::RunResult help = RunLirovox({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("lirovox inspect SONG.mid [--json]"), std::string::npos);
}

}  // namespace
}  // namespace lirovox
