#!/usr/bin/env python3
"""A mouse button held down while a screen opens, played headless.

Usage: held_buttons.py HEADLESS DEMO_DIR WORK_DIR

A button pressed before a screen opened is let go on that screen: the
release is no click on it. The level-up notice brought by a kill made with
the right button held stays open when the button is let go; so does the
main menu opened with Esc while the right button casts, and the menu
opened while the left button walks, let go over its END, neither closes
nor ends the game. A press and release on the open screen still acts: a
right click then closes it."""
import pathlib
import sys

from harness_play import finish, game_copy, passes_of, play

CURSOR = (320, 240)


def main():
    headless, demo, work = (pathlib.Path(a) for a in sys.argv[1:4])
    work.mkdir(parents=True, exist_ok=True)
    failures = []
    # A new game in the village; the bat chases the role at once.
    fight = game_copy(demo, work / "fight", 3, empty=("demo_npc",))
    calm = game_copy(demo, work / "calm", 3, empty=("demo_npc", "demo_monster"))
    end = (320, 374)  # the main menu's END
    # (what, game, the screen's opening in the log, the cursor's place,
    #  the button held, input opening the screen while it is held)
    cases = [
        ("the level-up notice after a kill with the right button held", fight, r" ui load levelup_frame$",
         (120, 300), "r", []),
        ("the menu opened with Esc while the right button casts", calm, r" ui load mainmenu_frame$",
         (200, 240), "r", ["40 key ESCAPE down", "43 key ESCAPE up"]),
        ("the menu opened with Esc while the left button walks, let go over END", calm,
         r" ui load mainmenu_frame$", end, "l", ["40 key ESCAPE down", "43 key ESCAPE up"]),
    ]
    for what, game, opening, place, button, opener in cases:
        let_go, click, last = 400, 460, 520
        lines = ["5 mouse %d %d" % (place[0] - CURSOR[0], place[1] - CURSOR[1]), "20 button %s down" % button,
                 "%d button %s up" % (let_go, button), "%d mouse %d %d" % (click - 10, 40 - place[0], 40 - place[1]),
                 "%d button r down" % click, "%d button r up" % (click + 3)] + opener
        lines.sort(key=lambda line: int(line.split()[0]))
        log = play(headless, game, work, lines, last)
        opened = [p for p in passes_of(log, opening) if p < let_go]
        closes = passes_of(log, r" sound play closemenu$")
        if not opened:
            failures.append("%s: the screen did not open while the button was held" % what)
            continue
        if [p for p in closes if p < click]:
            failures.append("%s: the button let go closed the screen (pass %d)" % (what, closes[0]))
        if not passes_of(log, r"^P%d " % (last - 1)):
            failures.append("%s: the game ended before pass %d" % (what, last))
        elif len([p for p in closes if p >= click]) != 1:
            failures.append("%s: a right click on the open screen did not close it" % what)
    return finish(failures)


if __name__ == "__main__":
    sys.exit(main())
