"""Writers for the demo folder's files: GBK CR LF texts, BMP pictures, WAVE
sounds and MIDI music, with the Python standard library only."""
import math
import pathlib
import struct


def write_text(path: pathlib.Path, lines, encoding="gbk"):
    """Writes lines (str) as GBK with CR LF after every line."""
    path.parent.mkdir(parents=True, exist_ok=True)
    data = b"".join(line.encode(encoding) + b"\r\n" for line in lines)
    path.write_bytes(data)


def write_bmp24(path: pathlib.Path, width, height, pixel):
    """pixel(x, y) -> (r, g, b); a bottom-up 24-bit BMP."""
    path.parent.mkdir(parents=True, exist_ok=True)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - width * 3)
        rows.append(bytes(row))
    body = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    path.write_bytes(header + info + body)


def write_wav(path: pathlib.Path, samples, rate=22050):
    """samples: floats in -1..1, written as 16-bit mono PCM."""
    path.parent.mkdir(parents=True, exist_ok=True)
    data = b"".join(struct.pack("<h", max(-32767, min(32767, int(s * 32767)))) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)
    riff = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    path.write_bytes(b"RIFF" + struct.pack("<I", len(riff)) + riff)


def tone(freq, seconds, rate=22050, volume=0.4):
    n = int(seconds * rate)
    return [volume * math.sin(2 * math.pi * freq * i / rate) * (1 - i / n) for i in range(n)]


def _varlen(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, (n & 0x7F) | 0x80)
        n >>= 7
    return bytes(out)


def write_midi(path: pathlib.Path, notes, ticks_per_beat=96, tempo_us=500000, program=0):
    """notes: (midi note, length in ticks) pairs played one after another;
    note 0 is a rest. A format-0 file on channel 0."""
    path.parent.mkdir(parents=True, exist_ok=True)
    track = bytearray()
    track += b"\x00\xff\x51\x03" + tempo_us.to_bytes(3, "big")
    track += b"\x00" + bytes((0xC0, program))
    pending = 0
    for note, length in notes:
        if note == 0:
            pending += length
            continue
        track += _varlen(pending) + bytes((0x90, note, 90))
        track += _varlen(length) + bytes((0x80, note, 0))
        pending = 0
    track += _varlen(pending) + b"\xff\x2f\x00"
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, ticks_per_beat)
    path.write_bytes(header + b"MTrk" + struct.pack(">I", len(track)) + bytes(track))
