#!/usr/bin/python3
"""Generates the demo song of Lirovox: "Fra Martino", a public-domain round, arranged for
melody (MIDI channel 4), bass and piano, format 1, with its Italian lyric text beside it.

Usage: tools/make_demo.py [OUTPUT_FOLDER]   (default: examples)
Writes fra_martino.mid and fra_martino.txt."""
import os
import sys

import mido

DIVISION = 480
Q = DIVISION          # quarter
E = DIVISION // 2     # eighth
H = DIVISION * 2      # half
BAR = DIVISION * 4
TEMPO_BPM = 100

# The melody in D major: (note, length). One pass is eight bars.
PHRASE = (
    [(62, Q), (64, Q), (66, Q), (62, Q)] * 2 +
    [(66, Q), (67, Q), (69, H)] * 2 +
    [(69, E), (71, E), (69, E), (67, E), (66, Q), (62, Q)] * 2 +
    [(62, Q), (57, Q), (62, H)] * 2
)
PASSES = 2
INTRO = BAR  # one bar of accompaniment before the melody comes in

# One chord root per bar of a pass (D major: I, I, I, I, I, I, I-V, I).
BASS_ROOTS = [38, 38, 38, 38, 38, 33, 38, 38]
CHORDS = {38: (62, 66, 69), 33: (61, 64, 69)}

LYRICS = (
    "Fra Martino campanaro,\n"
    "dormi tu? dormi tu?\n"
    "Suona le campane, suona le campane,\n"
    "din don dan, din don dan.\n"
)


def to_delta(events):
    """(absolute tick, message) pairs to a track with delta times, end of track last."""
    events.sort(key=lambda e: (e[0], 0 if e[1].type == "note_off" else 1))
    track = mido.MidiTrack()
    now = 0
    for tick, msg in events:
        track.append(msg.copy(time=tick - now))
        now = tick
    track.append(mido.MetaMessage("end_of_track", time=0))
    return track


def main() -> int:
    out_dir = sys.argv[1] if len(sys.argv) > 1 else "examples"
    os.makedirs(out_dir, exist_ok=True)
    mid = mido.MidiFile(type=1, ticks_per_beat=DIVISION)
    song_end = INTRO + PASSES * 8 * BAR

    conductor = [
        (0, mido.MetaMessage("track_name", name="Fra Martino")),
        (0, mido.MetaMessage("set_tempo", tempo=mido.bpm2tempo(TEMPO_BPM))),
        (0, mido.MetaMessage("time_signature", numerator=4, denominator=4)),
        (0, mido.MetaMessage("key_signature", key="D")),
    ]
    mid.tracks.append(to_delta(conductor))

    melody = [
        (0, mido.MetaMessage("track_name", name="Melody")),
        (0, mido.Message("program_change", channel=3, program=73)),
        (0, mido.Message("control_change", channel=3, control=7, value=110)),
        (0, mido.Message("control_change", channel=3, control=10, value=64)),
        (0, mido.Message("control_change", channel=3, control=91, value=40)),
    ]
    tick = INTRO
    for _ in range(PASSES):
        for note, length in PHRASE:
            melody.append((tick, mido.Message("note_on", channel=3, note=note, velocity=96)))
            melody.append((tick + length - 20, mido.Message("note_off", channel=3, note=note, velocity=0)))
            tick += length
    mid.tracks.append(to_delta(melody))

    bass = [
        (0, mido.MetaMessage("track_name", name="Bass")),
        (0, mido.Message("program_change", channel=0, program=32)),
        (0, mido.Message("control_change", channel=0, control=7, value=90)),
    ]
    piano = [
        (0, mido.MetaMessage("track_name", name="Piano")),
        (0, mido.Message("program_change", channel=1, program=0)),
        (0, mido.Message("control_change", channel=1, control=7, value=70)),
    ]
    bars = [BASS_ROOTS[0]] + BASS_ROOTS * PASSES
    for b, root in enumerate(bars):
        start = b * BAR
        for beat in range(4):
            t = start + beat * Q
            n = root if beat % 2 == 0 else root + 7
            bass.append((t, mido.Message("note_on", channel=0, note=n, velocity=80)))
            bass.append((t + Q - 30, mido.Message("note_off", channel=0, note=n, velocity=0)))
        for half in range(2):
            t = start + half * H
            for n in CHORDS[root]:
                piano.append((t, mido.Message("note_on", channel=1, note=n - 12, velocity=60)))
                piano.append((t + H - 40, mido.Message("note_off", channel=1, note=n - 12, velocity=0)))
    mid.tracks.append(to_delta(bass))
    mid.tracks.append(to_delta(piano))
    assert song_end == len(bars) * BAR

    mid.save(os.path.join(out_dir, "fra_martino.mid"))
    with open(os.path.join(out_dir, "fra_martino.txt"), "w", encoding="latin-1", newline="\r\n") as f:
        f.write(LYRICS * PASSES)
    return 0


if __name__ == "__main__":
    sys.exit(main())
