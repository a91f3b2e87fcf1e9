"""The events of the demo maps: the script each event cell runs (the doors
lead from one map to the other) and the editor's event catalogue in the
demo's script folder, each event with a note on where it lies. Only the map
editor reads the catalogue (the script editor's "事件列表" tab)."""
from demofiles import write_text


EVENTS = [
    ("door1", "door1() 参数:无  演示地图(demo)上的门"),
    ("door2", "door2() 参数:无  第二张地图(demo2)上的门"),
]


SCRIPTS = {
    "door1": [
        "// Through the door in the wall of the demo map to the second map.",
        'ChangeMap("demo2")',
        "EOF",
    ],
    "door2": [
        "// Back to the demo map, with its NPCs and monsters.",
        'ChangeMap("demo")',
        'ReadAScriptFile("demo_npc")',
        'ReadAScriptFile("demo_monster")',
        "EOF",
    ],
}


def generate(root):
    for name, lines in SCRIPTS.items():
        write_text(root / "Script" / (name + ".jsr"), lines)
    lines = []
    for name, comment in EVENTS:
        lines += [name, comment]
    write_text(root / "Script" / "eventtable.txt", lines)
