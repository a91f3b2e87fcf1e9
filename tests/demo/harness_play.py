"""What the headless plays of the demo share: a copy of the demo folder set
up for one play, a run of the harness on scripted input, the log's passes
and the dumped frames."""
import pathlib
import re
import shutil
import subprocess

MS_PER_PASS = 16


def game_copy(demo, game, start_state=None, edits=(), empty=()):
    """A fresh copy of the demo at `game`: the config's start state set
    (1 title, 2 load slot 1, 3 a new game), each (script, old, new) of
    edits applied to its text, and the scripts in empty left with nothing
    but their end."""
    game = pathlib.Path(game)
    if game.exists():
        shutil.rmtree(game)
    shutil.copytree(demo, game)
    if start_state is not None:
        config = game / "config.jcf"
        lines = config.read_bytes().split(b"\r\n")
        lines[1] = b"%d" % start_state + lines[1][1:]
        config.write_bytes(b"\r\n".join(lines))
    for script, old, new in edits:
        path = game / "Script" / (script + ".jsr")
        text = path.read_bytes()
        assert old.encode("gbk") in text, (script, old)
        path.write_bytes(text.replace(old.encode("gbk"), new.encode("gbk")))
    for script in empty:
        (game / "Script" / (script + ".jsr")).write_bytes(b"EOF")
    return game


def play(headless, game, work, lines, passes, extra=()):
    """Runs the harness on the input lines; gives the log's lines."""
    work = pathlib.Path(work)
    inp, log = work / "play.in", work / "play.log"
    inp.write_text("\n".join(lines) + "\n")
    subprocess.run([str(headless), "--root", str(game), "--passes", str(passes), "--ms-per-pass", str(MS_PER_PASS),
                    "--input", str(inp), "--log", str(log), *extra],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120, check=True)
    return log.read_text(encoding="utf-8", errors="replace").splitlines()


def passes_of(log, pattern):
    """The passes of the log lines that match."""
    return [int(re.match(r"P(\d+)", line).group(1)) for line in log if re.search(pattern, line)]


def frame_of(log, at):
    """The number of the frame presented first at or after pass `at` (the
    dumps count every present, loading notices included)."""
    presents = passes_of(log, r" present ")
    return 1 + next(i for i, p in enumerate(presents) if p >= at)


def frame_pixels(ppm):
    """A dumped frame as a function of (x, y) giving (r, g, b)."""
    _, size, _, px = pathlib.Path(ppm).read_bytes().split(b"\n", 3)
    w = int(size.split()[0])
    return lambda x, y: tuple(px[(y * w + x) * 3:(y * w + x) * 3 + 3])


def finish(failures):
    for f in failures:
        print("FAIL: " + f)
    print("%d failures" % len(failures))
    return 1 if failures else 0
