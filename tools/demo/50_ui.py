"""UI frames: the title screen with a working exit button, the in-game frame
with the role's status panel, and the main menu. Frame files are GBK with
CR LF; pure blue (0, 0, 255) is the pictures' transparent colour."""
from demofiles import Canvas, write_text

BLUE = (0, 0, 255)
WHITE = 16777215        # text colours are 0x00BBGGRR values
YELLOW = 0x0000FFFF


def button_strip(root, name, label, w, h):
    """Four cells of w x h: normal, hover, pressed and a spare one."""
    fills = [(70, 50, 30), (130, 95, 50), (40, 25, 10), (70, 50, 30)]
    c = Canvas(w * 4, h, BLUE)
    for i, fill in enumerate(fills):
        x = i * w
        c.rect(x + 2, 2, x + w - 2, h - 2, fill)
        c.frame(x + 2, 2, x + w - 2, h - 2, (230, 200, 120), 2)
        shift = 1 if i == 2 else 0
        ink = (255, 240, 200)
        if label == "<":
            # An arrow pointing back: the font has no letters for "back".
            cx, cy = x + w // 2 + shift, h // 2 + shift
            for d in range(10):
                c.rect(cx - 10 + d, cy - d, cx - 9 + d, cy + d + 1, ink)
            c.rect(cx, cy - 3, cx + 16, cy + 4, ink)
        else:
            c.text(x + (w - len(label) * 8) // 2 + shift, (h - 10) // 2 + shift, label, ink, 2)
    c.save(root / "Resource" / "bmp" / (name + ".bmp"))


def panel(root, name, w, h, fill, edge):
    c = Canvas(w, h, fill)
    c.frame(0, 0, w, h, edge, 3)
    c.save(root / "Resource" / "bmp" / (name + ".bmp"))


def bar(root, name, w, h, colour):
    c = Canvas(w, h, colour)
    c.save(root / "Resource" / "bmp" / (name + ".bmp"))


def title_background(root):
    """640x480: a dusk sky fading to dark hills."""
    c = Canvas(640, 480, (0, 0, 0))
    for y in range(480):
        t = y / 479
        c.rect(0, y, 640, y + 1, (int(40 + 120 * t), int(30 + 60 * t), int(90 - 60 * t)))
    for x in range(0, 640, 4):
        top = 360 + int(30 * abs(((x / 160) % 2) - 1))
        c.rect(x, top, x + 4, 480, (25, 40, 25))
    c.text(220, 120, "TEV LEGEND", (255, 230, 150), 5)
    c.save(root / "Resource" / "bmp" / "ui_title_bg.bmp")


def element(kind, id_, name, picture, layer, x, y, w, h, clickable, visible, left="NULL", right="NULL",
            hover="NULL"):
    flag = lambda v: '"True"' if v else '"False"'
    return ('"%s",%d,"%s","%s",0,%d,%d,%d,%d,%d,0,0,%d,%d,%s,%s,"%s","%s","%s"'
            % (kind, id_, name, picture, layer, x, y, w, h, w, h, flag(clickable), flag(visible), left, right,
               hover))


def text(id_, name, layer, x, y, w, h, shown, height=16, colour=WHITE, bold=False):
    return ('"string",%d,"%s",%d,%d,%d,%d,%d,0,0,%d,%d,"False","True","NULL","NULL","NULL","%s","宋体",%d,%d,"%s","False"'
            % (id_, name, layer, x, y, w, h, w, h, shown, height, colour, "True" if bold else "False"))


def generate(root):
    title_background(root)
    button_strip(root, "ui_btn_start", "START", 120, 40)
    button_strip(root, "ui_btn_exit", "END", 120, 40)
    button_strip(root, "ui_btn_back", "<", 120, 40)
    panel(root, "ui_main_panel", 640, 136, (60, 45, 30), (150, 110, 60))
    panel(root, "ui_menu_panel", 240, 200, (50, 40, 30), (200, 160, 90))
    bar(root, "ui_bar_hp", 150, 10, (200, 30, 30))
    bar(root, "ui_bar_mp", 150, 10, (40, 60, 220))

    write_text(root / "ui" / "title_frame.jui", [
        "// The title screen: its picture, a line of text, the start and exit buttons.",
        '"frame",1,"title_frame"',
        element("image", 1, "title_bg", "ui_title_bg", 0, 0, 0, 640, 480, False, True),
        text(2, "title_hint", 1, 200, 300, 240, 20, "开始游戏，或者离开", 16, YELLOW),
        element("button", 3, "title_exit", "ui_btn_exit", 2, 260, 400, 120, 40, True, True,
                left="d_sys_exitgame"),
        element("button", 4, "title_start", "ui_btn_start", 2, 260, 345, 120, 40, True, True,
                left="s_gameinit"),
        '"EOF"',
    ])
    write_text(root / "ui" / "main_frame.jui", [
        "// The in-game frame: the status panel under the map view.",
        '"frame",1,"main_frame"',
        element("image", 1, "main_panel", "ui_main_panel", 0, 0, 344, 640, 136, False, True),
        element("image", 2, "role_hp", "ui_bar_hp", 1, 30, 370, 150, 10, False, True),
        element("image", 3, "role_mp", "ui_bar_mp", 1, 30, 395, 150, 10, False, True),
        text(4, "role_hpnum", 1, 190, 366, 100, 18, "0/0"),
        text(5, "role_mpnum", 1, 190, 391, 100, 18, "0/0"),
        text(6, "role_expnum", 1, 30, 420, 200, 18, "0"),
        text(7, "role_goldnum", 1, 30, 445, 200, 18, "0"),
        '"EOF"',
    ])
    write_text(root / "ui" / "mainmenu_frame.jui", [
        "// The main menu: Esc or a right click closes it.",
        '"frame",1,"mainmenu_frame"',
        element("image", 1, "menu_panel", "ui_menu_panel", 3, 200, 120, 240, 200, False, True),
        text(2, "menu_title", 4, 220, 135, 200, 20, "主菜单", 18, YELLOW, True),
        element("button", 3, "menu_back", "ui_btn_back", 4, 260, 190, 120, 40, True, True,
                left="d_delui_mainmenu_frame"),
        element("button", 4, "menu_exit", "ui_btn_exit", 4, 260, 250, 120, 40, True, True,
                left="d_sys_exitgame"),
        '"EOF"',
    ])
