"""The game folder's skeleton: configuration, folders and start scripts."""
from demofiles import write_text


def generate(root):
    write_text(root / "config.jcf", [
        "0!全屏(0窗口,1全屏)",
        "0!启动状态(0标志,1标题,2读档,3游戏)",
        "0!帧数限制(0关,1开)",
        "1!软件透明(0关,1开)",
        "0!音效音量(0最大,负数更小)",
    ])
    for folder in ("Save", "Map", "Script", "ui", "Resource/bmp", "Resource/wav", "Resource/mid"):
        (root / folder).mkdir(parents=True, exist_ok=True)
    # Start scripts that no later module writes.
    for name in ("title", "gameinit", "MagicKindList"):
        path = root / "Script" / (name + ".jsr")
        if not path.exists():
            write_text(path, ["EOF"])
