#include "playback/mixer.h"

#include <array>

namespace lirovox::playback {

namespace {

constexpr std::array<const char*, 128> kInstrumentNames = {
    "Acoustic Grand", "Bright Acoustic", "Electric Grand", "Honky-Tonk", "Electric Piano 1",
    "Electric Piano 2", "Harpsichord", "Clavinet", "Celesta", "Glockenspiel", "Music Box",
    "Vibraphone", "Marimba", "Xylophone", "Tubular Bells", "Dulcimer", "Drawbar Organ",
    "Percussive Organ", "Rock Organ", "Church Organ", "Reed Organ", "Accordion", "Harmonica",
    "Tango Accordion", "Nylon String Guitar", "Steel String Guitar", "Electric Jazz Guitar",
    "Electric Clean Guitar", "Electric Muted Guitar", "Overdriven Guitar", "Distortion Guitar",
    "Guitar Harmonics", "Acoustic Bass", "Fingered Bass", "Picked Bass", "Fretless Bass",
    "Slap Bass 1", "Slap Bass 2", "Synth Bass 1", "Synth Bass 2", "Violin", "Viola", "Cello",
    "Contrabass", "Tremolo Strings", "Pizzicato Strings", "Orchestral Strings", "Timpani",
    "String Ensemble 1", "String Ensemble 2", "SynthStrings 1", "SynthStrings 2", "Choir Aahs",
    "Voice Oohs", "Synth Voice", "Orchestra Hit", "Trumpet", "Trombone", "Tuba",
    "Muted Trumpet", "French Horn", "Brass Section", "SynthBrass 1", "SynthBrass 2",
    "Soprano Sax", "Alto Sax", "Tenor Sax", "Baritone Sax", "Oboe", "English Horn", "Bassoon",
    "Clarinet", "Piccolo", "Flute", "Recorder", "Pan Flute", "Blown Bottle", "Skakuhachi",
    "Whistle", "Ocarina", "Lead 1 (square)", "Lead 2 (sawtooth)", "Lead 3 (calliope)",
    "Lead 4 (chiff)", "Lead 5 (charang)", "Lead 6 (voice)", "Lead 7 (fifths)",
    "Lead 8 (bass+lead)", "Pad 1 (new age)", "Pad 2 (warm)", "Pad 3 (polysynth)",
    "Pad 4 (choir)", "Pad 5 (bowed)", "Pad 6 (metallic)", "Pad 7 (halo)", "Pad 8 (sweep)",
    "FX 1 (rain)", "FX 2 (soundtrack)", "FX 3 (crystal)", "FX 4 (atmosphere)",
    "FX 5 (brightness)", "FX 6 (goblins)", "FX 7 (echoes)", "FX 8 (sci-fi)", "Sitar", "Banjo",
    "Shamisen", "Koto", "Kalimba", "Bagpipe", "Fiddle", "Shanai", "Tinkle Bell", "Agogo",
    "Steel Drums", "Woodblock", "Taiko Drum", "Melodic Tom", "Synth Drum", "Reverse Cymbal",
    "Guitar Fret Noise", "Breath Noise", "Seashore", "Bird Tweet", "Telephone Ring",
    "Helicopter", "Applause", "Gunshot"
};

struct DrumKit {
    int Program;
    const char* Name;
};
constexpr std::array<DrumKit, 10> kDrumKits = {{
    {0, "Standard Drum"}, {8, "Room Drum"}, {16, "Power Drum"}, {24, "Electronic Drum"},
    {25, "TR-808 Drum"}, {32, "Jazz Drum"}, {40, "Brush Drum"}, {48, "Orchestra Drum"},
    {56, "SFX"}, {127, "CM-64/32L"},
}};

constexpr size_t kMelody = static_cast<size_t>(kMelodyChannel);

}  // namespace

PatchLists LoadPatches() {
    PatchLists lists;
    lists.List3.assign(kInstrumentNames.begin(), kInstrumentNames.end());
    lists.List4.assign(128, std::string());
    for (const DrumKit& kit : kDrumKits) lists.List4[static_cast<size_t>(kit.Program)] = kit.Name;
    return lists;
}

std::string InstrumentName(int program) {
    if (program < 0 || program > 127) return std::string();
    return kInstrumentNames[static_cast<size_t>(program)];
}

void Mixer::ToggleMute() {
    if (!ctx_.Ready()) return;
    PlaybackState& st = ctx_.state;
    for (bool s : st.Soloed) {
        if (s) return;
    }
    if (!st.Muted[kMelody]) {
        st.Muted[kMelody] = true;
        st.Display.Strip[7] = "Mute";
        ctx_.SyncVolumeHolds();
        ctx_.SendVolume(kMelodyChannel, 0);
    } else {
        st.Display.Strip[7] = "";
        st.Muted[kMelody] = false;
        ctx_.SyncVolumeHolds();
        ctx_.SendVolume(kMelodyChannel, ctx_.song->Channels[kMelody].Volume);
    }
}

void Mixer::ToggleSolo() {
    if (!ctx_.Ready()) return;
    PlaybackState& st = ctx_.state;
    const auto& channels = ctx_.song->Channels;
    if (st.Soloed[kMelody]) {
        st.Display.Strip[6] = "";
        for (size_t c = 0; c < 16; ++c) {
            st.Muted[c] = false;
            st.Soloed[c] = false;
            ctx_.SendVolume(static_cast<int>(c), channels[c].Volume);
        }
        ctx_.SyncVolumeHolds();
    } else {
        for (size_t c = 0; c < 16; ++c) {
            st.Muted[c] = false;
            st.Soloed[c] = false;
            ctx_.SendVolume(static_cast<int>(c), 0);
        }
        st.Soloed[kMelody] = true;
        ctx_.SyncVolumeHolds();
        st.Display.Strip[6] = "Solo";
        st.Display.Strip[7] = "";
        ctx_.SendVolume(kMelodyChannel, channels[kMelody].Volume);
    }
}

void Mixer::ChooseInstrument(int program) {
    if (!ctx_.Ready()) return;
    if (program < 0 || program > 127) return;
    ctx_.engine.SendMessage(kMelodyChannel, kProgramChange, program, 0);
    ctx_.state.Display.Strip[1] = InstrumentName(program);
}

void Mixer::ShowInstrumentList() {
    if (!ctx_.Ready()) return;
    ctx_.state.Display.InstrumentListVisible = true;
}

void Mixer::HideInstrumentList() { ctx_.state.Display.InstrumentListVisible = false; }

void Mixer::Reapply() {
    PlaybackState& st = ctx_.state;
    const auto& channels = ctx_.song->Channels;
    for (size_t c = 0; c < 16; ++c) {
        if (st.Muted[c]) ctx_.SendVolume(static_cast<int>(c), 0);
        if (st.Soloed[c]) {
            for (size_t k = 0; k < 16; ++k) {
                st.Muted[k] = false;
                ctx_.SendVolume(static_cast<int>(k), 0);
            }
            ctx_.SendVolume(static_cast<int>(c), channels[c].Volume);
        }
    }
    ctx_.SyncVolumeHolds();
}

void Mixer::ShowStripAfterLoad() {
    if (!ctx_.song) return;
    const ChannelRec& ch = ctx_.song->Channels[kMelody];
    auto& strip = ctx_.state.Display.Strip;
    strip[0] = std::to_string(kMelodyChannel + 1);
    strip[1] = InstrumentName(ch.Program);
    strip[2] = std::to_string(ch.Volume);
    strip[3] = std::to_string(ch.Chorus);
    strip[4] = std::to_string(ch.Reverb);
    strip[5] = std::to_string(ch.Pan);
}

}  // namespace lirovox::playback
