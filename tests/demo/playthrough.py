#!/usr/bin/env python3
"""A whole game of the demo, played headless with scripted input.

Usage: playthrough.py HEADLESS DEMO_DIR WORK_DIR

From the logo to END: a new game, a talk with its choice, a fight to a
kill and a level-up, each magic kind cast, a save, a door there and back, a
load, a death, a load from the death notice, the demon king fought and
beaten, the closing talk, the title again, and END there. Nothing but the
input plays it: no variable is set for it. The log must show each of these
steps and no message box; a second run of the same input must
present the same frames (their hashes)."""
import pathlib
import re
import shutil
import subprocess
import sys

MS_PER_PASS = 16


class Input:
    """Builds the harness's input file: events at passes, with the pass
    counter moving on by `wait`."""

    def __init__(self, start=1):
        self.at = start
        self.lines = []
        self.cursor = [320, 240]

    def wait(self, passes):
        self.at += passes

    def key(self, name, hold):
        self.lines.append("%d key %s down" % (self.at, name))
        self.lines.append("%d key %s up" % (self.at + hold, name))
        self.at += hold + 1

    def move_to(self, x, y):
        dx, dy = x - self.cursor[0], y - self.cursor[1]
        self.lines.append("%d mouse %d %d" % (self.at, dx, dy))
        self.cursor = [x, y]
        self.at += 2

    def click(self, x, y, button="l"):
        self.move_to(x, y)
        self.lines.append("%d button %s down" % (self.at, button))
        self.lines.append("%d button %s up" % (self.at + 3, button))
        self.at += 6

    def text(self):
        return "\n".join(self.lines) + "\n"


def fight_the_king(s):
    """To the field once more, and the fight won by the means a player has:
    the cursor left of the role (where the level-up notice has its OK, so
    one click closes it), the fireball chosen, and Ctrl with A every 20
    passes: a fireball to the west, and a blow when something stands
    there. The bats come first, then the king."""
    s.wait(160)  # the slimes roam off the way north first
    s.key("A", 30)
    s.key("W", 110)
    s.wait(40)
    s.move_to(320, 198)
    s.key("1", 2)
    start = s.at
    for t in range(start, start + FIGHT_PASSES, 20):
        s.lines += ["%d key A down" % t, "%d key LCONTROL down" % t, "%d key LCONTROL up" % (t + 2),
                    "%d key A up" % (t + 2)]
    # OK on the level-up notices the kills bring, as they come.
    for t in LEVEL_UPS:
        s.lines += ["%d button l down" % (start + t), "%d button l up" % (start + t + 3)]
    s.lines.sort(key=lambda line: int(line.split()[0]))
    s.at = start + FIGHT_PASSES


# The fight's length in passes, and the passes after its start at which a
# level-up notice is open and clicked away.
FIGHT_PASSES = 480
LEVEL_UPS = (150,)


def run(headless, demo, work, name, script, passes, extra=(), before=None):
    game = work / name
    if game.exists():
        shutil.rmtree(game)
    shutil.copytree(demo, game, symlinks=True)
    if before:
        before(game)
    (work / (name + ".in")).write_text(script.text())
    log = work / (name + ".log")
    cmd = [str(headless), "--root", str(game), "--passes", str(passes), "--ms-per-pass", str(MS_PER_PASS), "--input",
           str(work / (name + ".in")), "--log", str(log), "--hash", *extra]
    done = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=600)
    return done.returncode, log.read_text(encoding="utf-8", errors="replace").splitlines(), done.stderr


def main():
    headless, demo, work = (pathlib.Path(a) for a in sys.argv[1:4])
    work.mkdir(parents=True, exist_ok=True)
    s = Input()
    s.wait(280)
    s.click(160, 314)  # START
    s.wait(40)
    # The girl east of the start: her question, YES, too little gold.
    s.key("D", 40)
    s.wait(70)
    s.key("SPACE", 3)
    s.wait(70)
    s.key("SPACE", 3)
    s.wait(20)
    s.click(250, 298)
    s.wait(80)
    s.key("SPACE", 3)
    s.wait(20)
    # The elder west of it: his question, YES, his gift.
    s.key("W", 10)
    s.key("A", 70)
    s.wait(70)
    s.key("SPACE", 3)
    s.wait(20)
    s.click(250, 298)
    s.wait(80)
    s.key("SPACE", 3)
    s.wait(20)
    # The bat comes; the role walks into it until it falls, and levels up.
    s.key("S", 120)
    s.wait(10)
    s.click(320, 198)  # OK on the level-up notice
    s.wait(10)
    # The fireball, then the ice blades.
    s.key("1", 2)
    s.key("LCONTROL", 3)
    s.wait(60)
    s.key("2", 2)
    s.key("LCONTROL", 3)
    s.wait(150)
    # Back to the girl: YES, and she sells the thunder book.
    s.key("D", 60)
    s.wait(70)
    s.key("SPACE", 3)
    s.wait(70)
    s.key("SPACE", 3)
    s.wait(20)
    s.click(250, 298)
    s.wait(80)
    s.key("SPACE", 3)
    s.wait(20)
    # Thunder.
    s.key("3", 2)
    s.key("LCONTROL", 3)
    s.wait(60)
    # The menu: save to slot 1, OK; the status screen, the thunder book
    # chosen there; back, back.
    s.key("ESCAPE", 3)
    s.wait(10)
    s.click(320, 154)  # SAVE
    s.wait(10)
    s.click(320, 174)  # SLOT 1
    s.wait(10)
    s.click(320, 308)  # OK
    s.wait(10)
    s.click(320, 246)  # STATE
    s.wait(20)
    s.click(320, 240)  # the thunder book
    s.wait(20)
    s.click(320, 324)  # BACK
    s.wait(10)
    s.click(320, 292)  # BACK
    s.wait(10)
    # North through the door to the field, and back through its east door.
    s.key("A", 30)
    s.key("W", 110)
    s.wait(60)
    s.key("D", 30)
    s.wait(100)
    # Esc, LOAD, slot 1: back beside the girl; the menu closed.
    s.key("ESCAPE", 3)
    s.wait(10)
    s.click(320, 200)  # LOAD
    s.wait(10)
    s.click(320, 174)  # SLOT 1
    s.wait(20)
    s.click(320, 292)  # BACK
    s.wait(10)
    # The girl once more: one potion, typed into the number box.
    s.key("D", 3)
    s.wait(70)
    s.key("SPACE", 3)
    s.wait(70)
    s.key("SPACE", 3)
    s.wait(20)
    s.click(264, 164)  # 1
    s.wait(5)
    s.click(320, 322)  # OK
    s.wait(80)
    s.key("SPACE", 3)
    s.wait(20)
    # To the field again, where the demon king comes for the role.
    s.wait(120)  # a slime roams across the way north first
    s.key("A", 30)
    s.key("W", 110)
    s.wait(1200)
    # The death notice: LOAD, slot 1: beside the girl again.
    s.click(238, 214)  # LOAD
    s.wait(10)
    s.click(320, 174)  # SLOT 1
    s.wait(40)
    fight_the_king(s)
    # The closing talk, its two boxes, and the title again; END there.
    s.wait(100)
    s.key("SPACE", 3)
    s.wait(100)
    s.key("SPACE", 3)
    s.wait(150)
    s.click(480, 314)  # END
    passes = s.at + 200
    first = run(headless, demo, work, "first", s, passes, ["--dump-vars", str(work / "vars.txt")])
    second = run(headless, demo, work, "second", s, passes)
    failures = check_story(first, passes, (work / "vars.txt").read_text(encoding="utf-8", errors="replace"))
    if hashes(first[1]) != hashes(second[1]):
        failures.append("the second run of the same input presented other frames")
    for f in failures:
        print("FAIL: " + f)
    print("%d passes, %d frames; %d failures" % (passes, len(hashes(first[1])), len(failures)))
    return 1 if failures else 0


# The steps of the game, in the order they must happen: (what, log pattern).
STORY = [
    ("the logo ends in the title", r" state 0->1$"),
    ("START opens a new game", r" script open gameinit$"),
    ("play begins", r" state 1->3$"),
    ("the girl is talked to", r" script open xiaocui$"),
    ("she asks a question", r" ui load choice_frame$"),
    ("the elder is talked to", r" script open afu$"),
    ("he asks too", r" ui load choice_frame$"),
    ("his gift", r" sound play getitem$"),
    ("the role hits the bat", r" monster hit 蝙蝠 "),
    ("a level-up", r" ui load levelup_frame$"),
    ("the bat falls", r" sound play batdie$"),
    ("the fireball is cast", r" sound play fire$"),
    ("the ice blades are cast", r" sound play ice$"),
    ("the girl sells her book", r" sound play getitem$"),
    ("the thunder is cast", r" sound play thunder$"),
    ("the menu opens", r" ui load mainmenu_frame$"),
    ("a save to slot 1", r" save write 1$"),
    ("the saved notice", r" ui load saved_frame$"),
    ("the status screen", r" ui load state_frame$"),
    ("through the door to the field", r" script open door1$"),
    ("the field's music", r" midi run field$"),
    ("back through the field's door", r" script open door2$"),
    ("the village's music", r" midi run village$"),
    ("slot 1 is loaded", r" save load 1$"),
    ("the girl's number box", r" ui load number_frame$"),
    ("to the field again", r" script open door1$"),
    ("the role dies", r" sound play roledie$"),
    ("the death notice", r" ui load dead_frame$"),
    ("the slots from the death notice", r" ui load selectload_frame$"),
    ("slot 1 is loaded again", r" save load 1$"),
    ("to the field for the fight", r" script open door1$"),
    ("the role hits the demon king", r" monster hit 魔王 "),
    ("the demon king's fall is seen", r" script open ending$"),
    ("the king's death sound", r" sound play demondie$"),
    ("the ending's music", r" midi run ending$"),
    ("the closing talk", r" stmt ending Talk$"),
    ("back to the title", r" state 3->1$"),
]


def check_story(result, passes, dumped_vars):
    rc, log, stderr = result
    failures = []
    if rc != 0:
        failures.append("exit status %d: %s" % (rc, stderr.decode(errors="replace")[-500:]))
    boxes = [line for line in log if " msgbox " in line]
    if boxes:
        failures.append("message boxes: " + " | ".join(boxes[:5]))
    missing = first_missing(log, STORY)
    if missing:
        failures.append("never seen, in order: " + missing)
        return failures
    last = max(int(m.group(1)) for m in (re.match(r"P(\d+) ", line) for line in log) if m)
    if last >= passes:
        failures.append("END did not end the game: it ran to its last pass")
    # One potion bought with the last gold (2 of the 12 the bat gave).
    for var, value in (("findvar_number", "1"), ("cost", "2"), ("role_gold", "2")):
        if not re.search(r"local int %s %s$" % (var, value), dumped_vars, re.M):
            failures.append("the potion: %s never was %s" % (var, value))
    # The answers the talks remember.
    for var in ("elder_quest", "cui_sold", "魔王_dead"):
        values = re.findall(r"static s?int %s (-?\d+)" % var, dumped_vars)
        if not values or values[-1] != "1":
            failures.append("%s is not remembered as 1 (%s)" % (var, values[-1:] or "never set"))
    return failures


def first_missing(log, steps):
    """The first of (what, pattern) steps that no log line shows after the
    line of the step before it; None when all are seen in order."""
    at = 0
    for what, pattern in steps:
        while at < len(log) and not re.search(pattern, log[at]):
            at += 1
        if at == len(log):
            return what
        at += 1
    return None


def hashes(log):
    return [line.split(" hash ", 1)[1] for line in log if " hash " in line]


if __name__ == "__main__":
    sys.exit(main())
