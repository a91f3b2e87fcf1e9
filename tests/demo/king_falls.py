#!/usr/bin/env python3
"""The demon king falls at close range, played headless with the keys, and
the closing talk must show the field without him standing in it.

Usage: king_falls.py HEADLESS DEMO_DIR WORK_DIR

A copy of the demo whose new game starts in the field beside a king with
few hit points (no other monster); the role walks into him from each side
until he falls. When the ending's first talk is shown, the king must be
gone from the monster list (the variable the game sets on his removal) and
no pixel of his red skin may be in the view."""
import pathlib
import re
import shutil
import subprocess
import sys

MS_PER_PASS = 16
# Where the role is put, and the key it walks with: the king comes for it
# from the west, so it meets him walking west, or waits for him.
APPROACHES = [("A", (300, 234)), ("A", (420, 300)), ("S", (160, 140)), ("W", (200, 330))]


def field_game(demo, work):
    game = work / "game"
    if game.exists():
        shutil.rmtree(game)
    shutil.copytree(demo, game)
    config = game / "config.jcf"
    lines = config.read_bytes().split(b"\r\n")
    lines[1] = b"3" + lines[1][1:]  # start a new game at once
    config.write_bytes(b"\r\n".join(lines))
    init = game / "Script" / "gameinit.jsr"
    text = init.read_bytes().replace(b'ChangeMap("demo")', b'ChangeMap("demo2")')
    text = text.replace(b'ReadAScriptFile("demo_monster")', b'ReadAScriptFile("demo2_monster")')
    text = text.replace(b'ReadAScriptFile("demo_npc")', b'ReadAScriptFile("demo2_npc")')
    init.write_bytes(text)
    monsters = game / "Script" / "demo2_monster.jsr"
    king = [line for line in monsters.read_bytes().split(b"\r\n") if "魔王".encode("gbk") in line]
    fields = king[0].split(b",")
    fields[14] = b"20"  # hit points: a few blows
    monsters.write_bytes(b",".join(fields) + b"\r\nEOF")
    return game


def run(headless, game, work, key, start, dump=None):
    (game / "Script" / "place.jsr").write_bytes(b"SetMePos(%d,%d)\r\nEOF" % start)
    inp = work / "fight.in"
    inp.write_text("10 key %s down\n400 key %s up\n" % (key, key))
    log, vars_ = work / "fight.log", work / "vars.txt"
    cmd = [str(headless), "--root", str(game), "--passes", "700", "--ms-per-pass", str(MS_PER_PASS), "--script",
           "place", "--input", str(inp), "--log", str(log), "--dump-vars", str(vars_)]
    if dump:
        cmd += ["--dump", str(dump), "--dump-dir", str(work / "frames")]
    subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120, check=True)
    return (log.read_text(encoding="utf-8", errors="replace").splitlines(),
            vars_.read_text(encoding="utf-8", errors="replace"))


def first_pass(lines, pattern):
    for line in lines:
        if re.search(pattern, line):
            return int(re.match(r"P(\d+)", line).group(1))
    return None


def king_skin(ppm):
    """Pixels of the king's red skin in the map view of a dumped frame."""
    data = ppm.read_bytes()
    _, size, _, px = data.split(b"\n", 3)
    w = int(size.split()[0])
    n = 0
    for y in range(23, 344):
        row = px[(y * w + 23) * 3:(y * w + 616) * 3]
        for i in range(0, len(row), 3):
            r, g, b = row[i], row[i + 1], row[i + 2]
            if 160 <= r <= 180 and 30 <= g <= 50 and 30 <= b <= 50:
                n += 1
    return n


def main():
    headless, demo, work = (pathlib.Path(a) for a in sys.argv[1:4])
    work.mkdir(parents=True, exist_ok=True)
    game = field_game(demo, work)
    failures = []
    for key, start in APPROACHES:
        what = "role at %s walking with %s" % (start, key)
        log, dumped = run(headless, game, work, key, start)
        talk = first_pass(log, r" stmt ending Talk$")
        if first_pass(log, r" monster hit 魔王 ") is None or talk is None:
            failures.append("%s: the king was not beaten or no closing talk came" % what)
            continue
        gone = first_pass(dumped.splitlines(), r" local int 魔王_dead 1$")
        if gone is None or gone > talk:
            failures.append("%s: the talk began at pass %d, the king was removed at %s" % (what, talk, gone))
        # Frames are numbered by the presents, loading notices included.
        presents = [int(re.match(r"P(\d+)", line).group(1)) for line in log if " present " in line]
        frame = 1 + next(i for i, p in enumerate(presents) if p >= talk + 5)
        run(headless, game, work, key, start, dump=frame)
        skin = king_skin(work / "frames" / ("frame-%d.ppm" % frame))
        if skin:
            failures.append("%s: %d pixels of the king in the view as the talk is shown" % (what, skin))
    for f in failures:
        print("FAIL: " + f)
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
