#!/usr/bin/env python3
"""Talking by walking into a person, played headless with the keys.

Usage: walk_talks.py HEADLESS DEMO_DIR WORK_DIR

From the start of a new game, A walks into the elder and D into the girl.
For every person the demo's placement lists put on its two maps, and each
of the four sides, the role is put a little way off at several offsets
across the person and walks straight at them with W, A, S or D, the
automatic side step on as a new game has it: the person's talk must open.
For a person whose talk ends by itself (the hunter), the talk is then read
to its end and the role walks away: the talk must not start again."""
import pathlib
import sys

from harness_play import finish, game_copy, play

# The role's collision box is 24 x 36 pixels; it is placed by its centre.
ROLE_HALF = (12, 18)
GAP = 40  # pixels between the boxes before the walk
MAPS = ("demo", "demo2")
# side the role comes from: (key walked, the key walking away, unit step)
SIDES = {
    "east": ("A", "D", (1, 0)),
    "west": ("D", "A", (-1, 0)),
    "north": ("S", "W", (0, -1)),
    "south": ("W", "S", (0, 1)),
}
OFFSETS = (-20, -12, -4, 4, 12, 20)
# Talks of nothing but lines, read to their end with Space.
PLAIN_TALKS = ("hunter",)
# From where a new game starts, one key held walks into a person.
FROM_START = (("A", "afu"), ("D", "xiaocui"))


def game_on(demo, work, map_name):
    """A copy of the demo whose new game starts on the map, without
    monsters in the way."""
    edits = [] if map_name == "demo" else [
        ("gameinit", 'ChangeMap("demo")', 'ChangeMap("%s")' % map_name),
        ("gameinit", 'ReadAScriptFile("demo_npc")', 'ReadAScriptFile("%s_npc")' % map_name)]
    return game_copy(demo, work / ("game-" + map_name), 3, edits, ("demo_monster", "demo2_monster"))


def people(demo, map_name):
    """(talk script, box centre, box half sizes) of each person the map's
    placement list adds."""
    found = []
    for line in (demo / "Script" / (map_name + "_npc.jsr")).read_bytes().split(b"\r\n"):
        if line.startswith(b"AddNpc("):
            v = line.decode("gbk").split(",")[1:]
            x, y = float(v[3]), float(v[4])
            left, top, right, bottom = (int(n) for n in v[8:12])
            found.append((v[5], (x + (left + right) / 2, y + (top + bottom) / 2),
                          ((right - left) / 2, (bottom - top) / 2)))
    return found


def start_point(centre, half, side, offset):
    _, _, (ux, uy) = SIDES[side]
    cx, cy = centre
    if ux:
        return int(cx + ux * (half[0] + ROLE_HALF[0] + GAP)), int(cy + offset)
    return int(cx + offset), int(cy + uy * (half[1] + ROLE_HALF[1] + GAP))


def walk(headless, game, work, start, key, away):
    """The role placed at start (None: where the game put it), walking with
    key; with away, the talk is read to its end with Space and the role
    walks off with that key. Gives the log's text."""
    place = b"SetMePos(%d,%d)\r\n" % start if start else b""
    (game / "Script" / "place.jsr").write_bytes(place + b"EOF")
    lines = ["10 key %s down" % key, "70 key %s up" % key]
    passes = 90
    if away:
        at = 150
        for _ in range(3):
            lines += ["%d key SPACE down" % at, "%d key SPACE up" % (at + 3)]
            at += 80
        lines += ["%d key %s down" % (at, away), "%d key %s up" % (at + 40, away)]
        passes = at + 60
    return "\n".join(play(headless, game, work, lines, passes, ["--script", "place"])) + "\n"


def main():
    headless, demo, work = (pathlib.Path(a) for a in sys.argv[1:4])
    work.mkdir(parents=True, exist_ok=True)
    failures = []
    game = game_on(demo, work, "demo")
    for key, script in FROM_START:
        if " script open %s\n" % script not in walk(headless, game, work, None, key, None):
            failures.append("%s: not reached by %s held from the start of a new game" % (script, key))
    for map_name in MAPS:
        game = game_on(demo, work, map_name)
        for script, centre, half in people(demo, map_name):
            for side, (key, away, _) in SIDES.items():
                for offset in OFFSETS:
                    start = start_point(centre, half, side, offset)
                    if " script open %s\n" % script not in walk(headless, game, work, start, key, None):
                        failures.append("%s from the %s at offset %d (role at %s, key %s): no talk"
                                        % (script, side, offset, start, key))
                if script in PLAIN_TALKS:
                    log = walk(headless, game, work, start_point(centre, half, side, 0), key, away)
                    opened = log.count(" script open %s\n" % script)
                    if opened != 1:
                        failures.append("%s from the %s, then walking off with %s: the talk opened %d times"
                                        % (script, side, away, opened))
    return finish(failures)


if __name__ == "__main__":
    sys.exit(main())
