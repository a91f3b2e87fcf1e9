"""The editor's event catalogue in the demo's script folder: the events the
demo maps use, each with a note on where it lies. Only the map
editor reads it (the script editor's "事件列表" tab)."""
from demofiles import write_text


EVENTS = [
    ("door1", "door1() 参数:无  演示地图(demo)上的门"),
    ("door2", "door2() 参数:无  第二张地图(demo2)上的门"),
]


def generate(root):
    lines = []
    for name, comment in EVENTS:
        lines += [name, comment]
    write_text(root / "Script" / "eventtable.txt", lines)
