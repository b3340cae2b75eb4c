#!/usr/bin/python3
"""Reads a MIDI file with mido (an independent reader) and prints its events.

First line: "type F ticks D tracks N". One line per track: "track N". Then one line per message: "<absolute tick> <type> channel=.. field=value..." (channel first)
with lyrics and texts as hex bytes ("lyrics 61 6d"), so tests can compare exactly.
Exits 1 with the reason on stderr when mido refuses the file."""
import sys

import mido


def main() -> int:
    try:
        mid = mido.MidiFile(sys.argv[1], clip=False)
    except Exception as exc:  # noqa: BLE001 - any refusal is the answer
        print(f"mido refused the file: {exc}", file=sys.stderr)
        return 1
    print(f"type {mid.type} ticks {mid.ticks_per_beat} tracks {len(mid.tracks)}")
    for n, track in enumerate(mid.tracks):
        print(f"track {n}")
        tick = 0
        for msg in track:
            tick += msg.time
            if msg.is_meta and msg.type in ("lyrics", "text", "copyright", "track_name"):
                text = msg.name if msg.type == "track_name" else msg.text
                raw = text.encode("latin-1", errors="replace")
                print(f"{tick} {msg.type} {raw.hex(' ')}".rstrip())
            elif msg.is_meta:
                print(f"{tick} {msg.type}")
            else:
                d = msg.dict()
                keys = (["channel"] if "channel" in d else []) + [k for k in d if k not in ("type", "time", "channel")]
                fields = " ".join(f"{k}={d[k]}" for k in keys)
                print(f"{tick} {msg.type} {fields}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
