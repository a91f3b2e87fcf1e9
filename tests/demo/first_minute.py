#!/usr/bin/env python3
"""The demo's first minute, for a player still reading the controls,
played headless.

Usage: first_minute.py HEADLESS DEMO_DIR WORK_DIR

From START, the village bat comes for the role at once. A role left
standing for a minute is bitten again and again and still stands. While
the bat bites, a short Esc opens the menu, and so does one pressed while
the right button casts (away from the bat, which would fall to it) and is
let go after the menu opened."""
import pathlib
import sys

from harness_play import MS_PER_PASS, finish, game_copy, passes_of, play

MINUTE = 60000 // MS_PER_PASS
TAP = 150 // MS_PER_PASS  # a short press of a key


def main():
    headless, demo, work = (pathlib.Path(a) for a in sys.argv[1:4])
    work.mkdir(parents=True, exist_ok=True)
    failures = []
    game = game_copy(demo, work / "game", 3)

    # A minute standing still.
    log = play(headless, game, work, [], MINUTE)
    bites = passes_of(log, r" sound play rolehitted$")
    if len(bites) < 10:
        failures.append("the bat bit the role %d times in a minute: it did not come" % len(bites))
    if passes_of(log, r" ui load dead_frame$"):
        failures.append("a role left standing fell %.1f s after START"
                        % (passes_of(log, r" ui load dead_frame$")[0] * MS_PER_PASS / 1000))

    # Esc while the bat bites, at bites spread over the minute; with the
    # right button held down as well, let go after the menu opened.
    later = [b for b in bites if b > bites[0] + 60]
    for at in later[:30:10]:
        for held in (False, True):
            lines = ["%d key ESCAPE down" % at, "%d key ESCAPE up" % (at + TAP)]
            if held:
                lines = ["%d mouse 200 -100" % (at - 40), "%d button r down" % (at - 30)] + lines + \
                        ["%d button r up" % (at + TAP + 20)]
            run = play(headless, game, work, lines, at + TAP + 60)
            how = "with the right button held" if held else "alone"
            if not [p for p in passes_of(run, r" ui load mainmenu_frame$") if p >= at]:
                failures.append("Esc %s at a bite %.1f s after START: no menu" % (how, at * MS_PER_PASS / 1000))
            elif passes_of(run, r" sound play closemenu$"):
                failures.append("Esc %s at a bite %.1f s after START: the menu closed again" %
                                (how, at * MS_PER_PASS / 1000))
    return finish(failures)


if __name__ == "__main__":
    sys.exit(main())
