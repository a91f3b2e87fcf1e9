#!/usr/bin/env python3
"""Every file the demo game asks for exists.

Usage: check_files.py SOURCE_DIR DEMO_DIR

Collects the names the game itself loads (string literals of its picture
table, sound, music, frame and script calls in game/) and every name the
demo's own data refers to (map events, script commands and records, frame
pictures and actions), and reports each one whose file is missing from the
demo folder. Names are matched without regard to letter case, as the game
matches them. Exit status 1 when anything is missing."""
import pathlib
import re
import sys

FOLDERS = {"bmp": "Resource/bmp", "wav": "Resource/wav", "mid": "Resource/mid", "jui": "ui", "jsr": "Script",
           "jmap": "Map"}

# The game's fixed names: a call with a quoted name, and the file it opens.
ENGINE_CALLS = [
    (r'PlayWave(?:Owned)?\("([^"]+)"', "wav"),
    (r'PlayMidi\("([^"]+)"', "mid"),
    (r'LoadFrame\("([^"]+)"', "jui"),
    (r'(?:OpenScript|RunToEnd)\("([^"]+)"', "jsr"),
]
# The built-in picture table: {"name", PIC_...
ENGINE_PICTURE = r'\{"([A-Za-z0-9_]+)",\s*PIC_'

# Script commands with one quoted name, and the file each opens.
SCRIPT_COMMANDS = {
    "PlayWave": "wav", "PlayMidi": "mid", "LoadUIFrame": "jui", "ChangeMap": "jmap", "ReadAScriptFile": "jsr",
    "OpenClockScript": "jsr",
}


def values(line, head):
    """The comma-separated values of a record line after its head."""
    body = line.split(head, 1)[1]
    return [v.strip() for v in body.split(",")]


class Needs:
    def __init__(self):
        self.wanted = {}  # (kind, name lower) -> (name, where)

    def add(self, kind, name, where):
        name = name.strip()
        if not name or name.upper() == "NULL":
            return
        self.wanted.setdefault((kind, name.lower()), (name, where))


def engine_names(source, needs):
    for path in sorted((source / "game").rglob("*.cpp")):
        if "platform" in path.parts or "tools" in path.parts:
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        rel = path.relative_to(source)
        for pattern, kind in ENGINE_CALLS:
            for m in re.finditer(pattern, text):
                needs.add(kind, m.group(1), "the game (%s)" % rel)
        for m in re.finditer(ENGINE_PICTURE, text):
            needs.add("bmp", m.group(1), "the game's picture table (%s)" % rel)


def demo_names(demo, needs):
    for path in sorted((demo / "Map").glob("*.jmap")):
        lines = path.read_bytes().decode("gbk").split("\r\n")
        w, h = (int(v) for v in lines[0].split(",")[:2])
        for line in lines[1:1 + w * h]:
            event = line.split(",")[6] if line.count(",") >= 6 else "N"
            if event != "N":
                needs.add("jsr", event, "event of %s" % path.name)
    for path in sorted((demo / "Script").glob("*.jsr")):
        text = path.read_bytes().decode("gbk")
        where = "Script/" + path.name
        for line in text.splitlines():
            line = line.split("//", 1)[0].strip()
            m = re.match(r'([A-Za-z]+)\s*\(\s*"([^"]*)"', line)
            if m and m.group(1) in SCRIPT_COMMANDS:
                needs.add(SCRIPT_COMMANDS[m.group(1)], m.group(2), where)
            if line.startswith("AddToMagicList("):
                v = values(line, "AddToMagicList(")
                needs.add("bmp", v[1], where)
                needs.add("wav", v[9], where)
            elif line.startswith("AddRole("):
                needs.add("wav", values(line, "AddRole(")[19], where)
            elif line.startswith("AddNpc("):
                needs.add("jsr", values(line, "AddNpc(")[6], where)
            elif line.startswith("AddMonster("):
                v = values(line, "AddMonster(")
                needs.add("jsr", v[6], where)
                needs.add("wav", v[27], where)
    for path in sorted((demo / "ui").glob("*.jui")):
        where = "ui/" + path.name
        for line in path.read_bytes().decode("gbk").splitlines():
            fields = re.findall(r'"([^"]*)"', line)
            if not fields or fields[0] not in ("image", "button", "string"):
                continue
            if fields[0] in ("image", "button"):
                needs.add("bmp", fields[2], where)
            for action in fields[-3:] if fields[0] != "string" else fields[4:7]:
                if action.startswith("s_"):
                    name = action[2:]
                    needs.add("jsr", name.split("_", 1)[1] if "_" in name else name, where)
                elif action.startswith("d_newui_"):
                    needs.add("jui", action[len("d_newui_"):], where)


def present(demo):
    files = set()
    for path in demo.rglob("*"):
        if path.is_file():
            files.add(path.relative_to(demo).as_posix().lower())
    return files


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    source, demo = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    needs = Needs()
    engine_names(source, needs)
    engine_count = len(needs.wanted)
    demo_names(demo, needs)
    files = present(demo)
    missing = []
    for (kind, _), (name, where) in sorted(needs.wanted.items()):
        rel = "%s/%s.%s" % (FOLDERS[kind], name.replace("\\", "/"), kind)
        if rel.lower() not in files:
            missing.append("%s, asked for by %s" % (rel, where))
    if engine_count < 20:
        print("only %d fixed names found in the game's sources: has the way it names them changed?" % engine_count)
        return 1
    for line in missing:
        print("missing: " + line)
    print("%d names checked (%d fixed in the game), %d missing" % (len(needs.wanted), engine_count, len(missing)))
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
