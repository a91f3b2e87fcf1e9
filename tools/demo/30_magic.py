"""The magic kinds, one of each way an effect moves, with their sheets (on
the transparent blue) and sounds, and the magic list that the start of a
game reads:
- 0 火球 (fireball): flies straight on, or toward the cursor while a
  mouse button is held ("shoot");
- 1 冰刃 (ice blades): circles the caster twice ("circle");
- 2 雷击 (thunder): strikes down on the caster's surroundings and bursts
  there ("fall").
A kind's place in the list, its ID and the digit in its picture's name
agree, as the game pairs them."""
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


def ice_blade(root):
    """4 frames of 48x48: a crystal shard turning about its centre."""
    c = Canvas(192, 48, BLUE)
    for frame in range(4):
        ox = frame * 48
        turn = frame * math.pi / 4
        for y in range(48):
            for x in range(48):
                dx, dy = x - 24, y - 24
                # A four-pointed star: its points turn with the frame.
                u = dx * math.cos(turn) + dy * math.sin(turn)
                v = -dx * math.sin(turn) + dy * math.cos(turn)
                reach = abs(u) / 20 + abs(v) / 7
                reach2 = abs(v) / 20 + abs(u) / 7
                k = min(reach, reach2)
                if k > 1:
                    continue
                if k < 0.35:
                    colour = (255, 255, 255)
                elif k < 0.7:
                    colour = (160, 230, 255)
                else:
                    colour = (60, 150, 230)
                c.put(ox + x, y, colour)
    c.save(root / "Resource" / "bmp" / "magic1.bmp")


def thunder(root):
    """8 frames of 128x128, 4 a row: a broad bolt comes down onto the
    middle (frames 0 to 3, the last with a flash where it strikes), then a
    burst spreads from there and fades (4 to 7). Each frame stays 0.1 s, so
    the whole strike is seen for most of a second."""
    c = Canvas(512, 256, BLUE)
    bolt = [(64, 0), (50, 12), (74, 24), (52, 36), (76, 48), (58, 60), (64, 70)]
    for frame in range(8):
        ox, oy = (frame % 4) * 128, (frame // 4) * 128
        if frame < 4:
            reach = 24 + frame * 16
            for (x0, y0), (x1, y1) in zip(bolt, bolt[1:]):
                if y0 > reach:
                    break
                t = min(1.0, (reach - y0) / max(1, y1 - y0))
                xe, ye = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
                c.line(ox + x0, oy + y0, ox + xe, oy + ye, (255, 200, 40), 13)
                c.line(ox + x0, oy + y0, ox + xe, oy + ye, (255, 240, 120), 8)
                c.line(ox + x0, oy + y0, ox + xe, oy + ye, (255, 255, 235), 3)
            if frame == 3:
                c.ellipse(ox + 64, oy + 70, 22, 14, (255, 250, 200))
        else:
            k = frame - 4
            outer = 26 + k * 11
            for y in range(128):
                for x in range(128):
                    r = math.hypot(x - 64, y - 70)
                    if outer - 12 <= r <= outer:
                        c.put(ox + x, oy + y, (255, 220, 60) if (x + y + k) % 3 else (255, 255, 220))
                    elif r < outer - 12 and k < 2:
                        c.put(ox + x, oy + y, (255, 250, 200))
            for a in range(8):
                ang = a * math.pi / 4 + k * 0.3
                c.line(ox + 64 + math.cos(ang) * (outer - 6), oy + 70 + math.sin(ang) * (outer - 6),
                       ox + 64 + math.cos(ang) * (outer + 6), oy + 70 + math.sin(ang) * (outer + 6),
                       (255, 240, 120), 3)
    c.save(root / "Resource" / "bmp" / "magic2.bmp")


def chimes(seconds=0.5, rate=22050):
    """Bright partials gliding up: the ice blades."""
    n = int(seconds * rate)
    out = []
    for i in range(n):
        t = i / n
        f = 1200 + 900 * t
        v = math.sin(2 * math.pi * f * i / rate) + 0.5 * math.sin(2 * math.pi * f * 1.5 * i / rate)
        out.append(0.3 * math.exp(-3 * t) * v)
    return out


def crash(seconds=0.9, rate=22050):
    """A sharp crack and a rumble after it: the thunder."""
    rnd = random.Random(13)
    n = int(seconds * rate)
    out = []
    low = 0.0
    for i in range(n):
        t = i / n
        white = rnd.random() * 2 - 1
        low = 0.96 * low + 0.04 * white
        crack = white * math.exp(-40 * t)
        out.append(0.8 * (0.6 * crack + 2.5 * low * math.exp(-3 * t)))
    return out


def generate(root):
    fireball(root)
    ice_blade(root)
    thunder(root)
    wav = root / "Resource" / "wav"
    write_wav(wav / "fire.wav", whoosh())
    write_wav(wav / "ice.wav", chimes())
    write_wav(wav / "thunder.wav", crash())
    # Kind n: ID n and the picture magicn, as the game pairs them by place.
    # The values: picture, ID, name, cell size, cells a row, rows, delay
    # (thirtieths of a millisecond), sound, cooldown, speed, accel, type,
    # once, life, attack, four unused bonuses, attribute, hit box, auto aim,
    # cross obstacles, radius, circles, one cycle, mp cost.
    write_text(root / "Script" / "MagicKindList.jsr", [
        "AddToMagicList(,magic0,0,火球,64,64,4,2,100,fire,300,6,0,0,1,1500,25,0,0,0,0,0,16,16,48,48,0,0,40,1,0,5,);",
        "AddToMagicList(,magic1,1,冰刃,48,48,4,1,150,ice,800,5,0,1,1,0,20,0,0,0,0,0,8,8,40,40,0,0,56,2,0,8,);",
        "AddToMagicList(,magic2,2,雷击,128,128,4,2,3000,thunder,1500,0,0,2,1,0,45,0,0,0,0,0,0,0,128,128,0,0,0,0,1,15,);",
        "EOF",
    ])
