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


class Canvas:
    """An RGB picture in memory, written out as a bottom-up 24-bit BMP."""

    def __init__(self, width, height, colour=(0, 0, 0)):
        self.width = width
        self.height = height
        r, g, b = colour
        self.px = bytearray(bytes((b, g, r)) * (width * height))

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            i = (y * self.width + x) * 3
            r, g, b = colour
            self.px[i:i + 3] = bytes((b, g, r))

    def rect(self, x0, y0, x1, y1, colour):
        """Fills [x0, x1) x [y0, y1), cut to the picture."""
        x0, x1 = max(0, x0), min(self.width, x1)
        y0, y1 = max(0, y0), min(self.height, y1)
        if x0 >= x1:
            return
        r, g, b = colour
        run = bytes((b, g, r)) * (x1 - x0)
        for y in range(y0, y1):
            i = (y * self.width + x0) * 3
            self.px[i:i + len(run)] = run

    def frame(self, x0, y0, x1, y1, colour, thickness=1):
        t = thickness
        self.rect(x0, y0, x1, y0 + t, colour)
        self.rect(x0, y1 - t, x1, y1, colour)
        self.rect(x0, y0, x0 + t, y1, colour)
        self.rect(x1 - t, y0, x1, y1, colour)

    def get(self, x, y):
        i = (y * self.width + x) * 3
        b, g, r = self.px[i:i + 3]
        return (r, g, b)

    def ellipse(self, cx, cy, rx, ry, colour):
        """Fills the ellipse centred on (cx, cy) with radii rx, ry."""
        if rx <= 0 or ry <= 0:
            return
        for y in range(int(cy - ry), int(cy + ry) + 1):
            t = 1 - ((y + 0.5 - cy) / ry) ** 2
            if t < 0:
                continue
            half = rx * math.sqrt(t)
            self.rect(int(round(cx - half)), y, int(round(cx + half)), y + 1, colour)

    def line(self, x0, y0, x1, y1, colour, width=1):
        steps = int(max(abs(x1 - x0), abs(y1 - y0))) + 1
        for k in range(steps + 1):
            t = k / steps
            x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
            self.rect(int(x - width / 2 + 0.5), int(y - width / 2 + 0.5), int(x + width / 2 + 0.5),
                      int(y + width / 2 + 0.5), colour)

    def outline(self, x0, y0, x1, y1, colour, key=(0, 0, 255)):
        """Gives every shape in [x0, x1) x [y0, y1) a one-pixel edge: each
        pixel of the key colour beside a pixel of another colour takes
        `colour`. Pixels outside the box are never looked at."""
        edge = []
        for y in range(y0, y1):
            for x in range(x0, x1):
                if self.get(x, y) != key:
                    continue
                for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                    if x0 <= nx < x1 and y0 <= ny < y1 and self.get(nx, ny) not in (key, colour):
                        edge.append((x, y))
                        break
        for x, y in edge:
            self.put(x, y, colour)

    def text(self, x, y, text, colour, scale=1):
        """Draws capitals, digits and a few signs in the 5x7 font below,
        6 * scale pixels a character."""
        for ch in text:
            rows = FONT_5X7.get(ch.upper(), FONT_5X7[" "])
            for ry, bits in enumerate(rows):
                for rx in range(5):
                    if bits[rx] == "#":
                        self.rect(x + rx * scale, y + ry * scale, x + (rx + 1) * scale, y + (ry + 1) * scale, colour)
            x += 6 * scale

    @staticmethod
    def text_width(text, scale=1):
        return max(0, len(text) * 6 * scale - scale)

    def save(self, path: pathlib.Path):
        path.parent.mkdir(parents=True, exist_ok=True)
        stride = (self.width * 3 + 3) & ~3
        pad = b"\0" * (stride - self.width * 3)
        rows = []
        for y in range(self.height - 1, -1, -1):
            i = y * self.width * 3
            rows.append(bytes(self.px[i:i + self.width * 3]) + pad)
        body = b"".join(rows)
        header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
        path.write_bytes(header + info + body)


def _glyphs(spec):
    """'A': "rows" with rows of five characters, '#' for ink, split by '/'."""
    return {ch: tuple(rows.split("/")) for ch, rows in spec.items()}


FONT_5X7 = _glyphs({
    " ": "...../...../...../...../...../...../.....",
    "A": ".###./#...#/#...#/#####/#...#/#...#/#...#",
    "B": "####./#...#/#...#/####./#...#/#...#/####.",
    "C": ".###./#...#/#..../#..../#..../#...#/.###.",
    "D": "####./#...#/#...#/#...#/#...#/#...#/####.",
    "E": "#####/#..../#..../####./#..../#..../#####",
    "F": "#####/#..../#..../####./#..../#..../#....",
    "G": ".###./#...#/#..../#.###/#...#/#...#/.####",
    "H": "#...#/#...#/#...#/#####/#...#/#...#/#...#",
    "I": ".###./..#../..#../..#../..#../..#../.###.",
    "J": "..###/...#./...#./...#./...#./#..#./.##..",
    "K": "#...#/#..#./#.#../##.../#.#../#..#./#...#",
    "L": "#..../#..../#..../#..../#..../#..../#####",
    "M": "#...#/##.##/#.#.#/#.#.#/#...#/#...#/#...#",
    "N": "#...#/#...#/##..#/#.#.#/#..##/#...#/#...#",
    "O": ".###./#...#/#...#/#...#/#...#/#...#/.###.",
    "P": "####./#...#/#...#/####./#..../#..../#....",
    "Q": ".###./#...#/#...#/#...#/#.#.#/#..#./.##.#",
    "R": "####./#...#/#...#/####./#.#../#..#./#...#",
    "S": ".####/#..../#..../.###./....#/....#/####.",
    "T": "#####/..#../..#../..#../..#../..#../..#..",
    "U": "#...#/#...#/#...#/#...#/#...#/#...#/.###.",
    "V": "#...#/#...#/#...#/#...#/#...#/.#.#./..#..",
    "W": "#...#/#...#/#...#/#.#.#/#.#.#/#.#.#/.#.#.",
    "X": "#...#/#...#/.#.#./..#../.#.#./#...#/#...#",
    "Y": "#...#/#...#/.#.#./..#../..#../..#../..#..",
    "Z": "#####/....#/...#./..#../.#.../#..../#####",
    "0": ".###./#...#/#..##/#.#.#/##..#/#...#/.###.",
    "1": "..#../.##../..#../..#../..#../..#../.###.",
    "2": ".###./#...#/....#/...#./..#../.#.../#####",
    "3": "#####/...#./..#../...#./....#/#...#/.###.",
    "4": "...#./..##./.#.#./#..#./#####/...#./...#.",
    "5": "#####/#..../####./....#/....#/#...#/.###.",
    "6": "..##./.#.../#..../####./#...#/#...#/.###.",
    "7": "#####/....#/...#./..#../.#.../.#.../.#...",
    "8": ".###./#...#/#...#/.###./#...#/#...#/.###.",
    "9": ".###./#...#/#...#/.####/....#/...#./.##..",
    "!": "..#../..#../..#../..#../..#../...../..#..",
    "?": ".###./#...#/....#/...#./..#../...../..#..",
    ".": "...../...../...../...../...../.##../.##..",
    ":": "...../.##../.##../...../.##../.##../.....",
    "-": "...../...../...../#####/...../...../.....",
    "<": "...#./..#../.#.../#..../.#.../..#../...#.",
    ">": ".#.../..#../...#./....#/...#./..#../.#...",
})
