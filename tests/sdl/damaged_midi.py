#!/usr/bin/env python3
"""Writes damaged MIDI files, each named for what is wrong with it, made from
a good piece (the demo's title music); that piece itself as good.mid; and,
named good_*.mid, whole pieces that play although the synthesizer complains
about them.

    damaged_midi.py GOOD.mid OUT_DIR
"""
import os
import random
import struct
import sys


def chunk(kind, body, length=None):
    return kind + struct.pack(">I", len(body) if length is None else length) + body


def header(fmt=0, tracks=1, division=96, length=6):
    return chunk(b"MThd", struct.pack(">HHH", fmt, tracks, division) + bytes(length - 6), length)


END = b"\x00\xff\x2f\x00"
NOTE = b"\x00\x90\x3c\x50\x60\x80\x3c\x00"  # a note held 96 ticks


def main():
    good = open(sys.argv[1], "rb").read()
    out = sys.argv[2]
    os.makedirs(out, exist_ok=True)
    rnd = random.Random(7)
    files = {
        "empty": b"",
        "header_only": header(),
        "cut_in_half": good[: len(good) // 2],
        "huge_track_length": header() + chunk(b"MTrk", NOTE + END, 0x7FFFFFF0),
        "zero_track_length": header() + chunk(b"MTrk", b""),
        "wave_file": b"RIFF" + struct.pack("<I", 36) + b"WAVEfmt " + struct.pack("<IHHIIHH", 16, 1, 1, 22050, 44100, 2, 16)
        + b"data" + struct.pack("<I", 0),
        "random_after_header": header() + bytes(rnd.randrange(256) for _ in range(400)),
        "random_track": header() + chunk(b"MTrk", bytes(rnd.randrange(256) for _ in range(400))),
        "fewer_tracks_than_header": header(fmt=1, tracks=3) + chunk(b"MTrk", NOTE + END),
        "end_of_track_only": header() + chunk(b"MTrk", END),
        "notes_without_time": header() + chunk(b"MTrk", b"\x00\x90\x3c\x50\x00\x80\x3c\x00" + END),
        "data_byte_without_status": header() + chunk(b"MTrk", b"\x00\x3c\x50" + NOTE + END),
        "delta_longer_than_four_bytes": header() + chunk(b"MTrk", b"\x81\x81\x81\x81\x01\x90\x3c\x50" + END),
        "zero_division": header(division=0) + chunk(b"MTrk", NOTE + END),
        "huge_header_length": header()[:4] + struct.pack(">I", 0x7FFFFFF0) + good[8:],
        "text_file": b"this is not music\r\n" * 10,
        "chunk_before_track": header() + chunk(b"XFIH", b"abcd") + chunk(b"MTrk", NOTE + END),
        "tempo_of_two_bytes": header() + chunk(b"MTrk", b"\x00\xff\x51\x02\x07\xa1" + NOTE + END),
        "escaped_event": header() + chunk(b"MTrk", NOTE + b"\x00\xf7\x01\x00" + END),
        "frames_per_second_division": header(division=0xE728) + chunk(b"MTrk", NOTE + END),
        # After a meta event the synthesizer reads a data byte as another
        # meta event, here a tempo without its three bytes.
        "data_byte_after_meta": header() + chunk(b"MTrk", b"\x00\x90\x3c\x50\x00\xff\x01\x00\x60\x51\x00"
                                                 + b"\x00\x80\x3c\x00" + END),
        "good": good,
        # More notes at once than the synthesizer has voices for: it says so
        # for each note it drops, every time the piece comes round.
        "good_many_notes_at_once": header() + chunk(b"MTrk", b"".join(
            b"\x00" + bytes([0x90 | (i % 16), 20 + i % 90, 100]) for i in range(4000)) + b"\x60\xff\x2f\x00"),
    }
    for name, data in files.items():
        with open(os.path.join(out, name + ".mid"), "wb") as f:
            f.write(data)


main()
