// `lirovox inspect SONG.mid [--json]`: the header panel of a song, or everything the
// reader made of it as JSON.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"
#include "playback/mixer.h"
#include "smf/reader.h"
#include "util/json.h"
#include "util/numeric.h"

namespace lirovox::cli {
namespace {

std::string LengthText(const Song& song) {
    double seconds = IntPart(song.LengthMusicTime / 768.0 * 60.0 / song.SongLengthBpm);
    return FormatMinutesSeconds(static_cast<int64_t>(seconds));
}

void WriteNoteRecs(JsonWriter& j, const std::vector<NoteRec>& table, int count, bool lyric) {
    j.BeginArray();
    for (int i = 0; i < count; ++i) {
        const NoteRec& r = table[static_cast<size_t>(i)];
        j.BeginObject();
        if (lyric) {
            j.Key("text").String(r.Text);
        } else {
            j.Key("note").Int(r.Note);
        }
        j.Key("tick").Number(r.Tick).Key("time_ms").Number(r.Time);
        if (lyric) j.Key("mark").Number(r.Mark);
        j.EndObject();
    }
    j.EndArray();
}

std::string SongJson(const Song& song) {
    JsonWriter j;
    j.BeginObject();
    j.Key("file").String(song.FilePath);
    j.Key("format").Int(song.Format);
    j.Key("tracks").Int(song.TrackCount);
    j.Key("division").Int(song.Division);
    j.Key("tempo_us").Number(song.TempoUs);
    j.Key("bpm").Int(song.Bpm);
    j.Key("ms_per_tick").Number(song.MsPerTick);
    j.Key("has_words").Bool(song.HasWords);
    j.Key("time_signature").BeginArray().Int(song.TimeSigNum).Int(song.TimeSigDen).EndArray();
    j.Key("length_music_time").Int(song.LengthMusicTime);
    j.Key("bars").Int(song.Bars);
    j.Key("length").String(LengthText(song));
    j.Key("counts").BeginObject()
        .Key("notes").Int(song.NoteCount)
        .Key("hyphens").Int(song.HyphenCount)
        .Key("lines").Int(song.LineCount)
        .EndObject();
    j.Key("melody_notes");
    WriteNoteRecs(j, song.MelodyNotes, song.NoteCount, false);
    j.Key("lyric_events");
    WriteNoteRecs(j, song.LyricEvents, song.LyricEventCount, true);
    j.Key("lyric_recs").BeginArray();
    for (int i = 0; i < song.LyricRecCount; ++i) {
        const LyricRec& r = song.LyricRecs[static_cast<size_t>(i)];
        j.BeginObject()
            .Key("text").String(r.Text)
            .Key("length").Int(r.Length)
            .Key("char_pos").Int(r.CharPos)
            .Key("time_ms").Number(r.Time)
            .Key("line").Int(r.Line)
            .Key("tick").Number(r.Tick)
            .EndObject();
    }
    j.EndArray();
    j.Key("lyric_lines").BeginArray();
    for (const std::string& line : song.LyricLines) j.String(line);
    j.EndArray();
    j.Key("syllable_list").BeginArray();
    for (const std::string& s : song.List1) j.String(s);
    j.EndArray();
    j.Key("channels").BeginArray();
    for (const ChannelRec& c : song.Channels) {
        j.BeginObject()
            .Key("program").Int(c.Program)
            .Key("channel_no").Int(c.ChannelNo)
            .Key("volume").Int(c.Volume)
            .Key("pan").Int(c.Pan)
            .Key("reverb").Int(c.Reverb)
            .Key("chorus").Int(c.Chorus)
            .EndObject();
    }
    j.EndArray();
    j.EndObject();
    return j.Text() + "\n";
}

std::string PanelText(const Song& song) {
    const ChannelRec& melody = song.Channels[kMelodyChannel];
    std::string out;
    auto line = [&](const std::string& caption, const std::string& value) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%-10s", caption.c_str());
        out += buf + Latin1ToUtf8(value) + "\n";
    };
    line("File:", song.FilePath);
    line("Length:", LengthText(song));
    line("BPM:", std::to_string(song.Bpm));
    line("Bars:", "1 of " + std::to_string(song.Bars));
    line("Notes:", std::to_string(song.NoteCount));
    line("Hyphens:", std::to_string(song.HyphenCount));
    line("Lines:", std::to_string(song.LineCount));
    line("Time sig:", std::to_string(song.TimeSigNum) + "/" + std::to_string(song.TimeSigDen));
    out += "Melody channel strip:\n";
    line("  Channel", "4");
    line("  Instr.", playback::InstrumentName(melody.Program));
    line("  Volume", std::to_string(melody.Volume));
    line("  Chorus", std::to_string(melody.Chorus));
    line("  Reverb", std::to_string(melody.Reverb));
    line("  Pan", std::to_string(melody.Pan));
    return out;
}

int RunInspect(const std::vector<std::string>& args) {
    std::string path;
    bool json = false;
    for (const std::string& a : args) {
        if (a == "--json") {
            json = true;
        } else if (!a.empty() && a[0] == '-') {
            throw UsageError("unknown option " + a);
        } else if (path.empty()) {
            path = a;
        } else {
            throw UsageError("only one song can be inspected at a time");
        }
    }
    if (path.empty()) throw UsageError("no song given");
    Song song = smf::ReadSong(path);
    std::string text = json ? SongJson(song) : PanelText(song);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitOk;
}

const CommandRegistrar kInspect({
    "inspect",
    "lirovox inspect SONG.mid [--json]",
    "Reads a MIDI file and prints its header panel (file, length, BPM, bars, notes, hyphens, "
    "lines, time signature, the melody channel strip); with --json, everything the reader made "
    "of it as one JSON object.",
    &RunInspect,
});

}  // namespace
}  // namespace lirovox::cli
