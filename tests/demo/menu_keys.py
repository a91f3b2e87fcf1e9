#!/usr/bin/env python3
"""Closing screens with Esc and the mouse, and Ctrl held, played headless.

Usage: menu_keys.py HEADLESS DEMO_DIR WORK_DIR

In play, Esc opens the main menu. A menu reads the keyboard only every
half second, so Esc is held until the menu closes and let go a moment
later, as a player does: whenever the press starts, the menu closes once
and stays closed. At the title no key reaches the screens: Esc leaves the
LOAD box open, and a right click or BACK closes it. Ctrl held down casts
again and again until the magic points run out."""
import pathlib
import sys

from harness_play import finish, game_copy, passes_of, play

REACTION = 12  # passes between the menu closing and the key let go
PHASES = range(0, 34, 3)  # passes from the menu's opening to the press


def game_at(demo, work, start_state):
    return game_copy(demo, work / ("game-%d" % start_state), start_state, empty=("demo_monster", "demo_npc"))


def click(lines, at, cursor, x, y, button="l"):
    lines += ["%d mouse %d %d" % (at, x - cursor[0], y - cursor[1]), "%d button %s down" % (at + 2, button),
              "%d button %s up" % (at + 5, button)]
    return (x, y), at + 15


def main():
    headless, demo, work = (pathlib.Path(a) for a in sys.argv[1:4])
    work.mkdir(parents=True, exist_ok=True)
    failures = []

    # In play: a short Esc opens the menu; Esc held until it closes.
    game = game_at(demo, work, 3)
    opening = ["20 key ESCAPE down", "23 key ESCAPE up"]
    for phase in PHASES:
        press = 24 + phase
        held = play(headless, game, work, opening + ["%d key ESCAPE down" % press], press + 60)
        closed = [p for p in passes_of(held, r" sound play closemenu$") if p >= press]
        if not passes_of(held, r" ui load mainmenu_frame$") or not closed:
            failures.append("Esc pressed %d passes after the menu opened: it never closed" % phase)
            continue
        let_go = closed[0] + REACTION
        log = play(headless, game, work, opening + ["%d key ESCAPE down" % press, "%d key ESCAPE up" % let_go],
                   let_go + 80)
        opened, closes = passes_of(log, r" ui load mainmenu_frame$"), passes_of(log, r" sound play closemenu$")
        if len(opened) != 1 or len(closes) != 1:
            failures.append("Esc pressed %d passes after the menu opened and let go %d passes after it closed: "
                            "%d openings, %d closings" % (phase, REACTION, len(opened), len(closes)))

    # At the title: LOAD, Esc, then a right click; LOAD again, then BACK.
    title = game_at(demo, work, 1)
    lines, cursor, at = [], (320, 240), 20
    cursor, at = click(lines, at, cursor, 320, 314)  # LOAD
    lines += ["%d key ESCAPE down" % at, "%d key ESCAPE up" % (at + 40)]
    esc_end = at + 40
    cursor, at = click(lines, at + 60, cursor, 40, 40, "r")
    right_end = at
    cursor, at = click(lines, at, cursor, 320, 314)  # LOAD
    cursor, at = click(lines, at, cursor, 320, 328)  # BACK
    log = play(headless, title, work, lines, at + 10)
    loads, closes = passes_of(log, r" ui load selectload_frame$"), passes_of(log, r" sound play closemenu$")
    if len(loads) != 2:
        failures.append("the title's LOAD opened its box %d times, not twice" % len(loads))
    elif [p for p in closes if p <= esc_end]:
        failures.append("Esc closed the title's LOAD box")
    elif len([p for p in closes if p <= right_end]) != 1 or len(closes) != 2:
        failures.append("the right click and BACK closed the title's LOAD box %d times, not twice" % len(closes))

    # Ctrl held: a cast again and again until the magic points run out;
    # none while they stay short.
    log = play(headless, game, work, ["20 key LCONTROL down", "260 key LCONTROL up"], 280)
    casts = passes_of(log, r" sound play fire$")
    mp, cost = 50, 5  # the role's magic points, the fireball's cost
    if len(casts) != mp // cost:
        failures.append("Ctrl held: %d fireballs, not the %d the magic points pay for" % (len(casts), mp // cost))
    return finish(failures)


if __name__ == "__main__":
    sys.exit(main())
