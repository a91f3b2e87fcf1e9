"""The magic kinds: a fireball sheet (8 frames of 64x64 on the transparent
blue), its sound, and the magic list that the start of a game reads."""
import math
import random

from demofiles import Canvas, write_text, write_wav

BLUE = (0, 0, 255)


def fireball(root):
    """4 frames a row, 2 rows: a ball whose flames turn and flicker."""
    c = Canvas(256, 128, BLUE)
    for frame in range(8):
        ox, oy = (frame % 4) * 64, (frame // 4) * 64
        turn = frame * math.pi / 4
        for y in range(64):
            for x in range(64):
                dx, dy = x - 32, y - 32
                r = math.hypot(dx, dy)
                angle = math.atan2(dy, dx)
                # The edge of the flames moves with the frame.
                edge = 20 + 5 * math.sin(5 * angle + turn) + 2 * math.sin(3 * angle - 2 * turn)
                if r > edge:
                    continue
                heat = 1 - r / edge
                if heat > 0.6:
                    colour = (255, 255, 200)
                elif heat > 0.3:
                    colour = (255, 200, 40)
                else:
                    colour = (230, 80, 0)
                c.put(ox + x, oy + y, colour)
        c.text(ox + 2, oy + 57, "%d" % frame, (255, 255, 255))
    c.save(root / "Resource" / "bmp" / "magic0.bmp")


def whoosh(seconds=0.35, rate=22050):
    """Noise that swells and dies away, with a falling tone under it."""
    rnd = random.Random(7)
    n = int(seconds * rate)
    out = []
    low = 0.0
    for i in range(n):
        t = i / n
        envelope = math.sin(math.pi * t) ** 2
        low = 0.85 * low + 0.15 * (rnd.random() * 2 - 1)
        tone = math.sin(2 * math.pi * (300 - 200 * t) * i / rate)
        out.append(0.6 * envelope * (0.7 * low + 0.3 * tone))
    return out


def generate(root):
    fireball(root)
    write_wav(root / "Resource" / "wav" / "fire.wav", whoosh())
    # Kind 0: ID 0 and the picture magic0, as the game pairs them by place.
    write_text(root / "Script" / "MagicKindList.jsr", [
        "AddToMagicList(,magic0,0,火球,64,64,4,2,100,fire,300,6,0,0,1,1500,25,0,0,0,0,0,16,16,48,48,0,0,40,1,0,5,);",
        "EOF",
    ])
