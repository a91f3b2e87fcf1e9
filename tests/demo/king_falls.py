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
import sys

from harness_play import finish, frame_of, frame_pixels, game_copy, passes_of, play

# Where the role is put, and the key it walks with: the king comes for it
# from the west, so it meets him walking west, or waits for him.
APPROACHES = [("A", (300, 234)), ("A", (420, 300)), ("S", (160, 140)), ("W", (200, 330))]


def field_game(demo, work):
    game = game_copy(demo, work / "game", 3, [
        ("gameinit", 'ChangeMap("demo")', 'ChangeMap("demo2")'),
        ("gameinit", 'ReadAScriptFile("demo_monster")', 'ReadAScriptFile("demo2_monster")'),
        ("gameinit", 'ReadAScriptFile("demo_npc")', 'ReadAScriptFile("demo2_npc")')])
    monsters = game / "Script" / "demo2_monster.jsr"
    king = [line for line in monsters.read_bytes().split(b"\r\n") if "魔王".encode("gbk") in line]
    fields = king[0].split(b",")
    fields[14] = b"20"  # hit points: a few blows
    monsters.write_bytes(b",".join(fields) + b"\r\nEOF")
    return game


def run(headless, game, work, key, start, dump=None):
    (game / "Script" / "place.jsr").write_bytes(b"SetMePos(%d,%d)\r\nEOF" % start)
    dumped = work / "vars.txt"
    extra = ["--script", "place", "--dump-vars", str(dumped)]
    if dump:
        extra += ["--dump", str(dump), "--dump-dir", str(work / "frames")]
    log = play(headless, game, work, ["10 key %s down" % key, "400 key %s up" % key], 700, extra)
    return log, dumped.read_text(encoding="utf-8", errors="replace").splitlines()


def king_skin(ppm):
    """Pixels of the king's red skin in the map view of a dumped frame."""
    pixel = frame_pixels(ppm)
    return sum(1 for y in range(23, 344) for x in range(23, 616)
               if (lambda p: 160 <= p[0] <= 180 and 30 <= p[1] <= 50 and 30 <= p[2] <= 50)(pixel(x, y)))


def main():
    headless, demo, work = (pathlib.Path(a) for a in sys.argv[1:4])
    work.mkdir(parents=True, exist_ok=True)
    game = field_game(demo, work)
    failures = []
    for key, start in APPROACHES:
        what = "role at %s walking with %s" % (start, key)
        log, dumped = run(headless, game, work, key, start)
        talk = passes_of(log, r" stmt ending Talk$")
        if not passes_of(log, r" monster hit 魔王 ") or not talk:
            failures.append("%s: the king was not beaten or no closing talk came" % what)
            continue
        gone = passes_of(dumped, r" local int 魔王_dead 1$")
        if not gone or gone[0] > talk[0]:
            failures.append("%s: the talk began at pass %d, the king was removed at %s"
                            % (what, talk[0], gone[:1] or "none"))
        frame = frame_of(log, talk[0] + 5)
        run(headless, game, work, key, start, dump=frame)
        skin = king_skin(work / "frames" / ("frame-%d.ppm" % frame))
        if skin:
            failures.append("%s: %d pixels of the king in the view as the talk is shown" % (what, skin))
    return finish(failures)


if __name__ == "__main__":
    sys.exit(main())
