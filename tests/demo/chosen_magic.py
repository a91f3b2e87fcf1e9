#!/usr/bin/env python3
"""The chosen magic is shown by its name, played headless with the keys and
the mouse, and read off the frames (the harness's box font draws each text
byte as a box with the byte's bits marked in it).

Usage: chosen_magic.py HEADLESS DEMO_DIR WORK_DIR

A copy of the demo whose new game carries all three books. The panel under
the map names the chosen magic as a game starts and after each digit key;
the status screen names it; the panel follows a book clicked in the status
screen and a LOAD from the menu while the menu stays open over it; and a
game saved with thunder chosen, loaded in a fresh process, names thunder at
once."""
import pathlib
import shutil
import sys

from harness_play import finish, frame_of, frame_pixels, game_copy, play

WHITE = (255, 255, 255)
# Where the name is drawn: the panel under the map, the status screen.
PANEL = (282, 418)
STATE = (216, 194)
NAMES = {"1": "火球", "2": "冰刃", "3": "雷击"}


def game_with_books(demo, work, start_state):
    return game_copy(demo, work / ("game-%d" % start_state), start_state, [
        ("gameinit", 'AddItem("book1")', 'AddItem("book1")\r\nAddItem("book2")\r\nAddItem("book3")'),
        ("gameinit", "KeyTable(key2,0)", "KeyTable(key2,1)"),
        ("gameinit", "KeyTable(key3,0)", "KeyTable(key3,1)")], ("demo_monster", "demo_npc"))


def run(headless, game, work, lines, passes, looks):
    """Runs the input; gives {pass: frame file} for the passes in looks."""
    log = play(headless, game, work, lines, passes)
    frames = {at: frame_of(log, at) for at in looks}
    dumps = work / "frames"
    shutil.rmtree(dumps, ignore_errors=True)
    play(headless, game, work, lines, passes,
         ["--dump", ",".join(str(f) for f in frames.values()), "--dump-dir", str(dumps)])
    return {at: dumps / ("frame-%d.ppm" % f) for at, f in frames.items()}


def boxed_text(ppm, at, count):
    """The bytes of the box-font text whose first cell is at `at`."""
    pixel = frame_pixels(ppm)
    out = bytearray()
    for i in range(count):
        x, y = at[0] + 8 * i, at[1]
        if pixel(x + 1, y + 2) != WHITE:
            break
        out.append(sum(1 << bit for bit in range(8) if pixel(x + 3 + (bit & 1), y + 4 + bit) == WHITE))
    return bytes(out)


def main():
    headless, demo, work = (pathlib.Path(a) for a in sys.argv[1:4])
    work.mkdir(parents=True, exist_ok=True)
    failures = []

    def expect(frames, at, where, place, name, what):
        got = boxed_text(frames[at], place, 8)
        if got != name.encode("gbk"):
            failures.append("%s: the %s shows %r, not %s" % (what, where, got.decode("gbk", "replace"), name))

    # A new game; the digits; the menu: SAVE, SLOT 1, OK; STATE.
    game = game_with_books(demo, work, 3)
    lines, looks, at = [], {}, 10
    looks[at] = ("panel", PANEL, NAMES["1"], "a new game")
    for digit in "3211":
        at += 10
        lines += ["%d key %s down" % (at, digit), "%d key %s up" % (at + 3, digit)]
        looks[at + 7] = ("panel", PANEL, NAMES[digit], "digit " + digit)
    at += 10
    lines += ["%d key 3 down" % at, "%d key 3 up" % (at + 3)]
    at += 10
    lines += ["%d key ESCAPE down" % at, "%d key ESCAPE up" % (at + 3)]
    cursor, at = (320, 240), at + 10
    for x, y in ((320, 154), (320, 174), (320, 308), (320, 246)):  # SAVE, SLOT 1, OK, STATE
        lines += ["%d mouse %d %d" % (at, x - cursor[0], y - cursor[1]), "%d button l down" % (at + 2),
                  "%d button l up" % (at + 5)]
        cursor, at = (x, y), at + 15
    at += 10
    looks[at] = ("status screen", STATE, NAMES["3"], "thunder chosen, then STATE")

    def click(x, y):
        nonlocal cursor, at
        lines.extend(["%d mouse %d %d" % (at, x - cursor[0], y - cursor[1]), "%d button l down" % (at + 2),
                      "%d button l up" % (at + 5)])
        cursor, at = (x, y), at + 15

    # The fire book clicked in the status screen: both name fire at once.
    click(232, 240)
    at += 5
    looks[at] = ("status screen", STATE, NAMES["1"], "the fire book clicked in STATE")
    looks[at + 1] = ("panel", PANEL, NAMES["1"], "the fire book clicked in STATE, seen under it")
    # Back to play, ice chosen; the menu again, LOAD, SLOT 1 there: the
    # save's thunder under the menu, still open.
    at += 5
    click(320, 324)  # BACK
    click(320, 292)  # BACK
    lines += ["%d key 2 down" % at, "%d key 2 up" % (at + 3), "%d key ESCAPE down" % (at + 10),
              "%d key ESCAPE up" % (at + 13)]
    at += 25
    click(320, 200)  # LOAD
    click(320, 174)  # SLOT 1
    at += 10
    looks[at] = ("panel", PANEL, NAMES["3"], "LOAD, SLOT 1 from the menu, seen under the menu")
    frames = run(headless, game, work, lines, at + 5, looks)
    for pass_, (where, place, name, what) in looks.items():
        expect(frames, pass_, where, place, name, what)
    save = game / "Save" / "tev1.jsv"
    if not save.exists():
        failures.append("no game was saved to slot 1")
    else:
        # The save, loaded at start in a fresh process (start state 2).
        fresh = game_with_books(demo, work, 2)
        (fresh / "Save").mkdir(exist_ok=True)
        shutil.copy(save, fresh / "Save" / "tev1.jsv")
        frames = run(headless, fresh, work, [], 40, {30: None})
        expect(frames, 30, "panel", PANEL, NAMES["3"], "the save loaded in a fresh process")
    return finish(failures)


if __name__ == "__main__":
    sys.exit(main())
