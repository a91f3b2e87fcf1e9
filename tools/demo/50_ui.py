"""UI frames and their pictures: the title screen, the in-game frame (the
border round the map view and the status panel under it), the main menu,
the status screen, the save and load screens with their slots, the notices
of saving, loading, level-up and death, and the yes/no choice box. Frame
files are GBK with CR LF; pure blue (0, 0, 255) is the pictures' transparent
colour."""
from demofiles import Canvas, write_text

BLUE = (0, 0, 255)
WHITE = 16777215        # text colours are 0x00BBGGRR values
YELLOW = 0x0000FFFF
GOLD = 0x0050D0F0
PALE = 0x00C8E6F0

BUTTON_W, BUTTON_H = 120, 36


def bmp(root, name):
    return root / "Resource" / "bmp" / (name + ".bmp")


def button_strip(root, name, label, w=BUTTON_W, h=BUTTON_H):
    """Four cells of w x h: normal, hover, pressed and a spare one."""
    fills = [((96, 66, 36), (60, 40, 20)), ((150, 110, 56), (100, 70, 34)), ((50, 32, 14), (70, 48, 24)),
             ((96, 66, 36), (60, 40, 20))]
    c = Canvas(w * 4, h, BLUE)
    for i, (top, bottom) in enumerate(fills):
        x = i * w
        for y in range(2, h - 2):
            t = (y - 2) / (h - 5)
            c.rect(x + 2, y, x + w - 2, y + 1, tuple(int(a + (b - a) * t) for a, b in zip(top, bottom)))
        c.frame(x + 2, 2, x + w - 2, h - 2, (230, 196, 110), 2)
        c.frame(x + 4, 4, x + w - 4, h - 4, (70, 46, 20), 1)
        shift = 1 if i == 2 else 0
        ink = (255, 244, 210) if i != 1 else (255, 255, 160)
        tx = x + (w - Canvas.text_width(label, 2)) // 2 + shift
        ty = (h - 14) // 2 + shift
        c.text(tx + 1, ty + 1, label, (40, 24, 10), 2)
        c.text(tx, ty, label, ink, 2)
    c.save(bmp(root, name))


def panel(root, name, w, h, top=(70, 52, 34), bottom=(36, 26, 18), edge=(210, 170, 90)):
    """A panel shading from top to bottom with a double edge."""
    c = Canvas(w, h, top)
    for y in range(h):
        t = y / max(1, h - 1)
        c.rect(0, y, w, y + 1, tuple(int(a + (b - a) * t) for a, b in zip(top, bottom)))
    c.frame(0, 0, w, h, edge, 3)
    c.frame(5, 5, w - 5, h - 5, tuple(v // 2 for v in edge), 1)
    c.save(bmp(root, name))


def bar(root, name, w, h, colour):
    """A status bar lit from above."""
    c = Canvas(w, h, colour)
    for y in range(h):
        k = 1.35 - 0.7 * y / max(1, h - 1)
        c.rect(0, y, w, y + 1, tuple(min(255, int(v * k)) for v in colour))
    c.save(bmp(root, name))


def border(root):
    """The frame round the 593x321 map view at (23, 23): the strips above,
    left and right of it (the status panel closes it below)."""
    stone = (78, 60, 44)

    def strip(name, w, h, inner_edges):
        c = Canvas(w, h, stone)
        for y in range(h):
            for x in range(0, w, 4):
                shade = ((x * 7 + y * 13) // 5) % 9 - 4
                c.rect(x, y, x + 4, y + 1, tuple(max(0, min(255, v + shade * 3)) for v in stone))
        for side in inner_edges:
            if side == "bottom":
                c.rect(0, h - 3, w, h - 1, (210, 170, 90))
                c.rect(0, h - 1, w, h, (30, 20, 12))
            elif side == "right":
                c.rect(w - 3, 0, w - 1, h, (210, 170, 90))
                c.rect(w - 1, 0, w, h, (30, 20, 12))
            elif side == "left":
                c.rect(1, 0, 3, h, (210, 170, 90))
                c.rect(0, 0, 1, h, (30, 20, 12))
        c.save(bmp(root, name))

    strip("ui_border_top", 640, 23, ["bottom"])
    strip("ui_border_left", 23, 321, ["right"])
    strip("ui_border_right", 24, 321, ["left"])


def title_background(root):
    """640x480: a dusk sky over dark hills, a castle on the far hill and
    the game's name."""
    c = Canvas(640, 480, (0, 0, 0))
    for y in range(480):
        t = y / 479
        c.rect(0, y, 640, y + 1, (int(40 + 150 * t), int(30 + 70 * t), int(90 - 50 * t)))
    for k in range(40):
        x, y = (k * 97) % 640, (k * 53) % 200
        c.rect(x, y, x + 2, y + 2, (255, 250, 220))
    c.ellipse(566, 58, 26, 26, (255, 236, 180))
    for x in range(0, 640, 2):
        top = 330 + int(40 * abs(((x / 200) % 2) - 1))
        c.rect(x, top, x + 2, 480, (40, 36, 50))
    for x in range(0, 640, 2):
        top = 380 + int(30 * abs(((x / 130 + 0.4) % 2) - 1))
        c.rect(x, top, x + 2, 480, (25, 40, 25))
    # A castle on the far hill.
    c.rect(60, 290, 160, 345, (30, 26, 40))
    for tx in (60, 96, 136):
        c.rect(tx, 270, tx + 24, 300, (30, 26, 40))
        for k in range(3):
            c.rect(tx + k * 9, 262, tx + k * 9 + 6, 270, (30, 26, 40))
    c.rect(104, 300, 112, 310, (250, 210, 90))
    label = "TEV LEGEND"
    x = (640 - Canvas.text_width(label, 7)) // 2
    c.text(x + 4, 104, label, (60, 20, 10), 7)
    c.text(x, 100, label, (255, 226, 140), 7)
    c.save(bmp(root, "ui_title_bg"))


def book_icon(root, name, cover, mark):
    """32x32: a closed book with a sign on its cover."""
    c = Canvas(32, 32, BLUE)
    c.rect(5, 3, 27, 29, cover)
    c.rect(5, 3, 9, 29, tuple(v // 2 for v in cover))
    c.rect(25, 5, 28, 28, (240, 232, 200))
    c.ellipse(17, 16, 5, 5, mark)
    c.outline(0, 0, 32, 32, (30, 20, 12))
    c.save(bmp(root, name))


def select_border(root):
    c = Canvas(34, 34, BLUE)
    c.frame(0, 0, 34, 34, (255, 240, 120), 2)
    c.save(bmp(root, "ui_selectborder"))


# ------------------------------------------------------------ frame files
def element(kind, id_, name, picture, layer, x, y, w, h, clickable, visible, left="NULL", right="NULL",
            hover="NULL", hit=True):
    """hit False gives the element no area for the pointer, so a click
    goes through it to what lies below."""
    flag = lambda v: '"True"' if v else '"False"'
    hw, hh = (w, h) if hit else (0, 0)
    return ('"%s",%d,"%s","%s",0,%d,%d,%d,%d,%d,0,0,%d,%d,%s,%s,"%s","%s","%s"'
            % (kind, id_, name, picture, layer, x, y, w, h, hw, hh, flag(clickable), flag(visible), left, right,
               hover))


def text(id_, name, layer, x, y, w, h, shown, height=16, colour=WHITE, bold=False, left="NULL"):
    """A text; one with a left action takes clicks."""
    clickable = '"True"' if left != "NULL" else '"False"'
    return ('"string",%d,"%s",%d,%d,%d,%d,%d,0,0,%d,%d,%s,"True","%s","NULL","NULL","%s","宋体",%d,%d,"%s","False"'
            % (id_, name, layer, x, y, w, h, w, h, clickable, left, shown, height, colour,
               "True" if bold else "False"))


class Frame:
    """Collects the records of one frame file; ids count up by themselves."""

    def __init__(self, name, comment):
        self.name = name
        self.lines = ["// " + comment, '"frame",1,"%s"' % name]
        self.next_id = 1

    def _id(self):
        self.next_id += 1
        return self.next_id - 1

    def image(self, name, picture, layer, x, y, w, h, visible=True, clickable=False, left="NULL", hit=True):
        self.lines.append(element("image", self._id(), name, picture, layer, x, y, w, h, clickable, visible, left,
                                  hit=hit))

    def button(self, name, picture, layer, x, y, left, w=BUTTON_W, h=BUTTON_H):
        self.lines.append(element("button", self._id(), name, picture, layer, x, y, w, h, True, True, left))

    def text(self, name, layer, x, y, w, h, shown, height=16, colour=WHITE, bold=False, left="NULL"):
        self.lines.append(text(self._id(), name, layer, x, y, w, h, shown, height, colour, bold, left))

    def write(self, root):
        write_text(root / "ui" / (self.name + ".jui"), self.lines + ['"EOF"'])


def dialog_box(name, comment, x, y, w, h, panel_picture, title, layer=5):
    """A frame of one panel with a title line."""
    f = Frame(name, comment)
    f.image(name + "_panel", panel_picture, layer, x, y, w, h)
    f.text(name + "_title", layer + 1, x + 20, y + 16, w - 40, 22, title, 18, YELLOW, True)
    return f


def centred(x, w, inner=BUTTON_W):
    return x + (w - inner) // 2


def generate(root):
    title_background(root)
    for name, label in (("start", "START"), ("load", "LOAD"), ("exit", "END"), ("back", "BACK"), ("save", "SAVE"),
                        ("state", "STATE"), ("ok", "OK"), ("yes", "YES"), ("no", "NO"), ("slot1", "SLOT 1"),
                        ("slot2", "SLOT 2"), ("slot3", "SLOT 3")):
        button_strip(root, "ui_btn_" + name, label)
    for label in "0123456789":
        button_strip(root, "ui_btn_num" + label, label, 48, 32)
    button_strip(root, "ui_btn_del", "DEL", 48, 32)
    button_strip(root, "ui_btn_clr", "CLR", 48, 32)
    border(root)
    panel(root, "ui_main_panel", 640, 136, (84, 64, 42), (44, 32, 22))
    panel(root, "ui_menu_panel", 240, 330)
    panel(root, "ui_slot_panel", 300, 270)
    panel(root, "ui_note_panel", 300, 130)
    panel(root, "ui_number_panel", 240, 290)
    panel(root, "ui_number_window", 160, 28, (16, 12, 8), (30, 24, 16), (150, 120, 70))
    panel(root, "ui_state_panel", 420, 320)
    panel(root, "ui_dead_panel", 380, 150, (60, 16, 16), (24, 6, 6), (200, 80, 60))
    bar(root, "ui_bar_hp", 150, 12, (200, 40, 40))
    bar(root, "ui_bar_mp", 150, 12, (50, 80, 220))
    bar(root, "ui_bar_back", 154, 16, (24, 16, 10))
    book_icon(root, "ui_book1", (170, 40, 30), (255, 170, 40))
    book_icon(root, "ui_book2", (40, 90, 170), (190, 240, 255))
    book_icon(root, "ui_book3", (120, 100, 30), (255, 240, 90))
    select_border(root)

    # The title screen: START opens a new game, LOAD the slots, END leaves.
    # START and END stand beside LOAD, clear of the LOAD box's buttons: a
    # click after the box has closed must not start or end a game.
    f = Frame("title_frame", "The title screen: its picture, a hint and the three buttons.")
    f.image("title_bg", "ui_title_bg", 0, 0, 0, 640, 480)
    f.text("title_hint", 1, 248, 190, 200, 20, "驱逐魔王，拯救村庄", 18, PALE)
    f.button("title_start", "ui_btn_start", 2, 100, 296, "s_gameinit")
    f.button("title_load", "ui_btn_load", 2, 260, 296, "d_newui_selectload_frame")
    f.button("title_exit", "ui_btn_exit", 2, 420, 296, "d_sys_exitgame")
    f.write(root)

    # In play: the border round the view and the status panel under it.
    f = Frame("main_frame", "The in-game frame: the border round the map view and the status panel.")
    f.image("border_top", "ui_border_top", 0, 0, 0, 640, 23)
    f.image("border_left", "ui_border_left", 0, 0, 23, 23, 321)
    f.image("border_right", "ui_border_right", 0, 616, 23, 24, 321)
    f.image("main_panel", "ui_main_panel", 0, 0, 344, 640, 136)
    f.image("hp_back", "ui_bar_back", 1, 78, 362, 154, 16)
    f.image("mp_back", "ui_bar_back", 1, 78, 388, 154, 16)
    f.image("role_hp", "ui_bar_hp", 2, 80, 364, 150, 12)
    f.image("role_mp", "ui_bar_mp", 2, 80, 390, 150, 12)
    f.text("hp_label", 3, 28, 362, 48, 18, "生命", 16, GOLD)
    f.text("mp_label", 3, 28, 388, 48, 18, "魔法", 16, GOLD)
    f.text("role_hpnum", 3, 240, 362, 80, 18, "0/0")
    f.text("role_mpnum", 3, 240, 388, 80, 18, "0/0")
    f.text("exp_label", 3, 28, 418, 48, 18, "经验", 16, GOLD)
    f.text("role_expnum", 3, 80, 418, 120, 18, "0")
    # The magic that Ctrl casts, by its name.
    f.text("magic_label", 3, 210, 418, 70, 18, "所选魔法", 16, GOLD)
    f.text("role_magicname", 3, 282, 418, 56, 18, "")
    f.text("gold_label", 3, 28, 444, 48, 18, "金钱", 16, GOLD)
    f.text("role_goldnum", 3, 80, 444, 120, 18, "0")
    f.text("enemy_label", 3, 340, 362, 48, 18, "敌人", 16, GOLD)
    f.image("enemy_back", "ui_bar_back", 1, 390, 362, 154, 16)
    f.image("monster_hp", "ui_bar_hp", 2, 392, 364, 150, 12)
    f.text("help1", 3, 340, 392, 290, 18, "W/A/S/D或按住左键行走，走向人物对话", 16, PALE)
    f.text("help2", 3, 340, 418, 290, 18, "1/2/3选魔法，Ctrl或右键施法", 16, PALE)
    f.text("help3", 3, 340, 444, 290, 18, "空格继续对话，Esc打开菜单", 16, PALE)
    f.write(root)

    # The main menu (Esc): save, load, status, back, end. END stands last,
    # below every button of the screens that open over the menu, and the
    # switch left of their buttons: a click after such a screen has closed
    # must not end the game or turn the switch.
    x, y, w = 200, 80, 240
    f = dialog_box("mainmenu_frame", "The main menu: Esc or a right click closes it as BACK does.", x, y, w, 330,
                   "ui_menu_panel", "主菜单", layer=4)
    for k, (name, left) in enumerate((("save", "d_newui_selectsave_frame"), ("load", "d_newui_selectload_frame"),
                                      ("state", "d_newui_state_frame"), ("back", "d_delui_mainmenu_frame"))):
        f.button("menu_" + name, "ui_btn_" + name, 5, centred(x, w), y + 56 + k * 46, left)
    f.button("menu_exit", "ui_btn_exit", 5, centred(x, w), y + 276, "d_sys_exitgame")
    # The role's automatic side step round obstacles, on at the start.
    f.text("autowalk_switch", 5, x + 14, y + 244, 40, 18, "√", 16, WHITE, True, left="d_option_autowalk")
    f.text("autowalk_label", 5, x + 56, y + 244, 120, 18, "自动绕行", 16, GOLD)
    f.write(root)

    # The save and load screens: three slots and back.
    for kind, title, action in (("save", "保存进度", "d_sys_savegame_"), ("load", "读取进度", "d_sys_loadgame_")):
        name = "select%s_frame" % kind
        x, y, w = 170, 100, 300
        f = dialog_box(name, "Choosing the slot to %s; BACK closes the screen." % kind, x, y, w, 270,
                       "ui_slot_panel", title, layer=6)
        for slot in (1, 2, 3):
            f.button("%s_slot%d" % (kind, slot), "ui_btn_slot%d" % slot, 7, centred(x, w), y + 56 + (slot - 1) * 46,
                     action + str(slot))
        f.button(kind + "_back", "ui_btn_back", 7, centred(x, w), y + 210, "d_delui_" + name)
        f.write(root)

    # The notices: saved (OK closes it and the save screen), loading. OK
    # lies below the save screen's slots and above the menu's END.
    f = dialog_box("saved_frame", "The game was saved; OK closes this and the save screen.", 170, 220, 300, 130,
                   "ui_note_panel", "进度已保存", layer=8)
    f.button("saved_ok", "ui_btn_ok", 9, centred(170, 300), 290, "d_sys_closesave")
    f.write(root)
    f = dialog_box("loading_frame", "Shown while a game is being loaded.", 170, 170, 300, 130, "ui_note_panel",
                   "读取中……", layer=8)
    f.text("loading_hint", 9, 190, 230, 260, 20, "请稍候", 16, PALE)
    f.write(root)

    # Level-up: OK (or Esc) goes back to play.
    f = dialog_box("levelup_frame", "The role's level went up; OK goes back to play.", 170, 110, 300, 130,
                   "ui_note_panel", "等级提升！", layer=4)
    f.text("levelup_hint", 5, 190, 150, 260, 20, "生命和魔法全满，攻防增强", 16, PALE)
    f.button("levelup_ok", "ui_btn_ok", 5, centred(170, 300), 180, "d_delui_levelup_frame")
    f.write(root)

    # Death: load a saved game or end.
    # END lies right of the LOAD box's buttons.
    f = dialog_box("dead_frame", "The role has fallen: load a saved game, or end.", 130, 110, 380, 150,
                   "ui_dead_panel", "你倒下了……", layer=4)
    f.button("dead_load", "ui_btn_load", 5, 178, 196, "d_newui_selectload_frame")
    f.button("dead_exit", "ui_btn_exit", 5, 382, 196, "d_sys_exitgame")
    f.text("dead_hint", 5, 180, 156, 280, 20, "读取进度，或者结束游戏", 16, PALE)
    f.write(root)

    # The status screen: the role's values, its items (a click on a book
    # selects its magic) and back.
    x, y, w = 110, 40, 420
    f = dialog_box("state_frame", "The role's status and items; a click on a book selects its magic.", x, y, w, 320,
                   "ui_state_panel", "状态", layer=6)
    rows = (("名字", "state_name"), ("等级", "state_level"), ("生命", "state_hp"), ("魔法", "state_mp"),
            ("攻击", "state_str"), ("防御", "state_def"), ("经验", "state_exp"), ("升级", "state_nextexp"),
            ("所选魔法", "state_magicname"), ("金钱", "state_gold"))
    for k, (label, name) in enumerate(rows):
        col, row = k % 2, k // 2
        lx, ly = x + 24 + col * 200, y + 50 + row * 26
        f.text(name + "_label", 7, lx, ly, 80, 18, label, 16, GOLD)
        f.text(name, 7, lx + 82, ly, 110, 18, "")
    f.text("items_label", 7, x + 24, y + 190, 80, 18, "物品", 16, GOLD)
    for k in (1, 2, 3):
        f.image("book%d" % k, "ui_book%d" % k, 7, x + 24 + 82 + (k - 1) * 44, y + 184, 32, 32, visible=False,
                clickable=True, left="d_seltool")
    f.image("selectborder", "ui_selectborder", 8, x + 105, y + 183, 34, 34, visible=False, hit=False)
    f.text("state_iteminfo", 7, x + 24, y + 226, 372, 18, "点击魔法书选择魔法", 16, PALE)
    f.button("state_back", "ui_btn_back", 7, centred(x, w), y + 266, "d_delui_state_frame")
    f.write(root)

    # The number box a talk may ask for: digits, DEL, CLR and OK; the
    # script waits for the number.
    x, y, w = 200, 60, 240
    f = dialog_box("number_frame", "A number for a talk: the digits, DEL, CLR and OK, which hands it over.", x, y, w,
                   290, "ui_number_panel", "数量", layer=4)
    f.image("number_window", "ui_number_window", 5, x + 40, y + 48, 160, 28)
    f.text("numberbox", 6, x + 50, y + 54, 140, 18, "", 16, WHITE, True)
    keys = ["1", "2", "3", "4", "5", "6", "7", "8", "9", "del", "0", "clr"]
    for k, key in enumerate(keys):
        action = {"del": "d_symbol_delete", "clr": "d_symbol_clear"}.get(key, "d_symbol_number" + key)
        picture = "ui_btn_" + key if key in ("del", "clr") else "ui_btn_num" + key
        f.button("number_" + key, picture, 5, x + 40 + (k % 3) * 56, y + 88 + (k // 3) * 38, action, 48, 32)
    f.button("number_ok", "ui_btn_ok", 5, centred(x, w), y + 244, "d_symbol_confirmnumber")
    f.write(root)

    # The yes/no choice a talk may ask for; the script waits for it.
    f = dialog_box("choice_frame", "A yes/no question of a talk: YES gives 1, NO gives 2.", 170, 220, 300, 130,
                   "ui_note_panel", "你的选择？", layer=4)
    f.button("choice_yes", "ui_btn_yes", 5, 190, 280, "d_choice_1")
    f.button("choice_no", "ui_btn_no", 5, 330, 280, "d_choice_2")
    f.write(root)
