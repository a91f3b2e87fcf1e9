#!/usr/bin/env python3
"""No click meant for a screen falls through to a button that ends or
changes the game once that screen has closed.

Usage: screen_layout.py HEADLESS DEMO_DIR WORK_DIR

Read from the demo's frame files: every stack of screens the demo can
open (a screen opens another with its "newui" action; a save opens the
saved notice over the save box), and for each screen in it, whether one of
its buttons or clickable texts and pictures lies over a button of a screen
below it whose action ends or changes the game (END, START, a slot that
saves or loads, an option, a magic chosen, a talk's answer). Then the click
sequence a player makes, played headless: SAVE, SLOT 1, OK, and a click
where the save box's BACK was: the game goes on with the menu open."""
import csv
import pathlib
import sys

from harness_play import finish, game_copy, passes_of, play

# Actions that only open, close or explain screens.
HARMLESS_HEADS = ("d_newui_", "d_delui_", "d_msg_")
HARMLESS = {"NULL", "", "d_sys_closesave"}


class Element:
    def __init__(self, fields):
        kind = fields[0]
        # A picture and a button carry a picture name before the layer.
        at = 5 if kind in ("image", "button") else 3
        self.name = fields[2]
        x, y, _, _, dx, dy, hw, hh = (int(v) for v in fields[at + 1:at + 9])
        self.area = (x + dx, y + dy, x + dx + hw, y + dy + hh)
        self.clickable = fields[at + 9] == "True"
        self.actions = [a for a in fields[at + 11:at + 14] if a not in ("NULL", "")]
        self.takes_clicks = self.clickable and bool(self.actions)

    def changes_game(self):
        return self.clickable and any(a not in HARMLESS and not a.startswith(HARMLESS_HEADS) for a in self.actions)

    def overlaps(self, other):
        a, b = self.area, other.area
        return a[0] <= b[2] and b[0] <= a[2] and a[1] <= b[3] and b[1] <= a[3]


def read_frames(demo):
    frames = {}
    for path in sorted((demo / "ui").glob("*.jui")):
        text = path.read_bytes().decode("gbk")
        rows = [r for r in csv.reader(line for line in text.splitlines() if not line.startswith("//")) if r]
        frames[path.stem] = [Element(r) for r in rows if r[0] in ("image", "button", "string")]
    return frames


def opened_over(elements):
    """The screens a screen's elements open over it."""
    out = set()
    for e in elements:
        for a in e.actions:
            if a.startswith("d_newui_"):
                out.add(a[len("d_newui_"):])
            if a.startswith("d_sys_savegame_"):
                out.add("saved_frame")
    return out


def stacks(frames):
    """Every chain of screens, each opened over the one before it."""
    found = []

    def grow(chain):
        found.append(chain)
        for name in sorted(opened_over(frames[chain[-1]])):
            if name in frames and name not in chain:
                grow(chain + [name])

    for name in frames:
        grow([name])
    return found


def main():
    headless, demo, work = (pathlib.Path(a) for a in sys.argv[1:4])
    work.mkdir(parents=True, exist_ok=True)
    failures = []
    frames = read_frames(demo)
    chains = stacks(frames)
    for need in (["mainmenu_frame", "selectsave_frame", "saved_frame"], ["title_frame", "selectload_frame"],
                 ["dead_frame", "selectload_frame"], ["mainmenu_frame", "state_frame"]):
        if need not in chains:
            failures.append("the screens %s were not found opening over each other" % " > ".join(need))
    seen = set()
    for chain in chains:
        top = chain[-1]
        for below in chain[:-1]:
            for upper in frames[top]:
                if not upper.takes_clicks:
                    continue
                for lower in frames[below]:
                    key = (top, upper.name, below, lower.name)
                    if lower.changes_game() and upper.overlaps(lower) and key not in seen:
                        seen.add(key)
                        failures.append("%s's %s lies over %s's %s (%s)" % (top, upper.name, below, lower.name,
                                                                           ", ".join(lower.actions)))

    # SAVE, SLOT 1, OK: the notice and the save box close; a click where
    # the save box's BACK was finds the menu, and the game goes on.
    game = game_copy(demo, work / "game", 3, empty=("demo_monster", "demo_npc"))
    def centre(frame, name):
        e = next(e for e in frames[frame] if e.name == name)
        return ((e.area[0] + e.area[2]) // 2, (e.area[1] + e.area[3]) // 2)
    lines, cursor, at = ["10 key ESCAPE down", "13 key ESCAPE up"], (320, 240), 30
    for frame, name in (("mainmenu_frame", "menu_save"), ("selectsave_frame", "save_slot1"),
                        ("saved_frame", "saved_ok"), ("selectsave_frame", "save_back")):
        x, y = centre(frame, name)
        lines += ["%d mouse %d %d" % (at, x - cursor[0], y - cursor[1]), "%d button l down" % (at + 2),
                  "%d button l up" % (at + 5)]
        cursor, at = (x, y), at + 20
    log = play(headless, game, work, lines, at + 20)
    if not passes_of(log, r" ui load saved_frame$"):
        failures.append("SAVE, SLOT 1: no saved notice")
    if not passes_of(log, r"^P%d " % (at + 19)):
        failures.append("SAVE, SLOT 1, OK, then a click where the save box's BACK was: the game ended")
    elif len(passes_of(log, r" sound play closemenu$")) != 2:
        failures.append("SAVE, SLOT 1, OK, then a click where the save box's BACK was: %d screens closed, not the "
                        "notice and the save box" % len(passes_of(log, r" sound play closemenu$")))
    return finish(failures)


if __name__ == "__main__":
    sys.exit(main())
