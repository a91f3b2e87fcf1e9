"""The map editor's own files in the demo game folder: its folder "editor"
with the three attribute lists, the recent-map file naming the demo map and a
link to the built program; the backup folders; and, where no other module
wrote them, the tile and character sheets, a demo map with its event scripts
and its NPC and monster placement lists."""
import os
import pathlib

from demofiles import write_bmp24, write_text

BLUE = (0, 0, 255)

# ---------------------------------------------------------------- pictures


class Canvas:
    def __init__(self, w, h, fill=BLUE):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def rect(self, x, y, w, h, c):
        for yy in range(max(0, y), min(self.h, y + h)):
            row = self.px[yy]
            for xx in range(max(0, x), min(self.w, x + w)):
                row[xx] = c

    def disc(self, cx, cy, r, c):
        for yy in range(int(cy - r), int(cy + r) + 1):
            for xx in range(int(cx - r), int(cx + r) + 1):
                if 0 <= xx < self.w and 0 <= yy < self.h and (xx - cx) ** 2 + (yy - cy) ** 2 <= r * r:
                    self.px[yy][xx] = c

    def speckle(self, x, y, w, h, base, spread, seed):
        for yy in range(h):
            for xx in range(w):
                v = ((xx * 73 + yy * 151 + seed * 199) ^ (xx * yy + seed)) % 7
                d = (v - 3) * spread
                self.px[y + yy][x + xx] = tuple(max(0, min(255, ch + d)) for ch in base)

    def save(self, path):
        write_bmp24(path, self.w, self.h, lambda x, y: self.px[y][x])


def tile_sheet(palette, seed):
    """A 256×256 sheet of 8×8 tiles: floors in the top rows, objects on a
    pure-blue ground below."""
    c = Canvas(256, 256)
    # grass, grass with flowers, dark grass, path, sand, water, stone, wall
    floors = list(palette)
    for i, base in enumerate(floors):
        c.speckle(i * 32, 0, 32, 32, base, 6, seed + i)
        c.speckle(i * 32, 32, 32, 32, tuple(max(0, ch - 18) for ch in base), 5, seed + 10 + i)
    # Flowers on tile 1, waves on the water, joints on the wall.
    for fx, fy in ((6, 8), (20, 5), (12, 22), (26, 24)):
        c.rect(32 + fx, fy, 3, 3, (240, 220, 60))
    for wy in (8, 18, 27):
        c.rect(5 * 32 + 4, wy, 10, 1, (200, 230, 255))
        c.rect(5 * 32 + 18, wy - 3, 9, 1, (200, 230, 255))
    for jy in range(0, 32, 8):
        c.rect(7 * 32, jy, 32, 1, (70, 60, 60))
        c.rect(7 * 32 + (0 if jy % 16 else 16), jy, 1, 8, (70, 60, 60))
    # Row 2: a 2×2 tree (crown above, trunk below), a rock, a bush, a chest,
    # a sign.
    trunk = (110, 70, 30)
    leaves = (30, 120 + seed % 40, 40)
    c.disc(32, 64 + 30, 28, leaves)           # crown over tiles (0,2) and (1,2)
    c.disc(24, 64 + 22, 10, tuple(min(255, ch + 30) for ch in leaves))
    c.rect(26, 96, 12, 26, trunk)             # trunk on tiles (0,3) and (1,3)
    c.rect(20, 118, 24, 6, (90, 55, 20))
    c.disc(2 * 32 + 16, 64 + 18, 12, (130, 130, 140))  # rock
    c.disc(2 * 32 + 12, 64 + 14, 4, (170, 170, 180))
    c.disc(3 * 32 + 16, 64 + 18, 13, (40, 140, 50))    # bush
    c.rect(4 * 32 + 4, 64 + 10, 24, 18, (150, 90, 30))  # chest
    c.rect(4 * 32 + 4, 64 + 16, 24, 2, (220, 190, 60))
    c.rect(5 * 32 + 14, 64 + 14, 4, 18, trunk)          # sign
    c.rect(5 * 32 + 5, 64 + 6, 22, 12, (200, 160, 90))
    # Rows 4..7: more floor variants so every tile holds something.
    for i in range(32):
        x, y = (i % 8) * 32, 128 + (i // 8) * 32
        base = floors[i % len(floors)]
        c.speckle(x, y, 32, 32, tuple((ch + 25 * (i // 8)) % 256 for ch in base), 4, seed + 40 + i)
    return c


def npc_sheet(kinds=2):
    """Eight 32×48 cells per row, two rows per kind: frames 0-3 face right,
    4-7 up, 8-11 left, 12-15 down."""
    c = Canvas(256, 96 * kinds)
    shirts = [(200, 60, 40), (60, 90, 200), (40, 160, 80)]
    for k in range(kinds):
        for f in range(16):
            x, y = (f % 8) * 32, k * 96 + (f // 8) * 48
            facing = f // 4
            step = f % 2
            c.rect(x + 10, y + 18, 12, 18, shirts[k % len(shirts)])
            c.disc(x + 16, y + 10, 7, (250, 210, 170))
            c.rect(x + 9, y + 3, 14, 4, (60, 40, 20))
            c.rect(x + 11, y + 36, 4, 10 - 2 * step, (50, 50, 90))
            c.rect(x + 17, y + 36, 4, 8 + 2 * step, (50, 50, 90))
            eyes = {0: [(20, 9)], 1: [], 2: [(10, 9)], 3: [(12, 9), (19, 9)]}[facing]
            for ex, ey in eyes:
                c.rect(x + ex, y + ey, 2, 2, (0, 0, 0))
    return c


def monster_sheet(kinds=2):
    """Three 64×64 cells per row, eight rows per kind."""
    c = Canvas(192, 512 * kinds)
    bodies = [(90, 200, 90), (200, 90, 160)]
    for k in range(kinds):
        for f in range(24):
            x, y = (f % 3) * 64, k * 512 + (f // 3) * 64
            squash = (f % 3) * 2
            c.disc(x + 32, y + 38 + squash, 20 - squash, bodies[k % len(bodies)])
            c.rect(x + 14, y + 50, 36, 8, bodies[k % len(bodies)])
            c.rect(x + 24, y + 32 + squash, 4, 5, (0, 0, 0))
            c.rect(x + 36, y + 32 + squash, 4, 5, (0, 0, 0))
    return c


# ---------------------------------------------------------- attribute lists


def attrib_line(i, name, var, data, control="textbox", restrict="number"):
    return '%d,"%s","%s","%s","%s","%s",#TRUE#,""' % (i, name, control, restrict, data, var)


NPC_ATTRIBS = [
    ("种类", "id", "0"), ("名字", "name", "村民", "textbox", "all"), ("图像帧", "curpicindex", "12"),
    ("X坐标", "lx", "0"), ("Y坐标", "ly", "0"), ("对话脚本", "script", "NULL", "textbox", "english"),
    ("速度", "speed", "1"), ("动画速度", "animspeed", "4"), ("碰撞框左", "eleft", "4"),
    ("碰撞框上", "etop", "32"), ("碰撞框右", "eright", "28"), ("碰撞框下", "ebottom", "46"),
    ("分割线", "division", "30"), ("活动", "active", "1", "combobox"), ("生命", "hp", "100"),
    ("透明度", "alpha", "-1"),
]

MONSTER_ATTRIBS = [
    ("种类", "id", "0"), ("名字", "name", "史莱姆", "textbox", "all"), ("图像帧", "curpicindex", "6"),
    ("X坐标", "lx", "0"), ("Y坐标", "ly", "0"), ("脚本", "script", "NULL", "textbox", "english"),
    ("速度", "speed", "1"), ("动画速度", "animspeed", "4"), ("碰撞框左", "eleft", "8"),
    ("碰撞框上", "etop", "24"), ("碰撞框右", "eright", "56"), ("碰撞框下", "ebottom", "60"),
    ("分割线", "division", "40"), ("生命", "hp", "50"), ("魔法", "mp", "0"), ("攻击", "attack", "10"),
    ("防御", "defence", "2"), ("魔法种类", "magickind", "-1"), ("暴击率", "critical", "5"),
    ("活动", "active", "1", "combobox"), ("等级", "level", "1"), ("寻路后模式", "astarmode", "0"),
    ("保留整数", "reserved", "0"), ("经验奖励", "exp", "10"), ("金钱奖励", "gold", "5"),
    ("保留文字", "reservedtext", "NULL", "textbox", "all"), ("死亡音效", "deathwave", "NULL", "textbox", "english"),
    ("透明度", "alpha", "-1"), ("攻击间隔", "attackinterval", "1000"),
]

ROLE_ATTRIBS = [
    ("种类", "id", "0"), ("名字", "name", "主角", "textbox", "all"), ("方向", "direction", "1"),
    ("X坐标", "lx", "320"), ("Y坐标", "ly", "240"), ("速度", "speed", "2"), ("动画速度", "animspeed", "4"),
    ("碰撞框左", "eleft", "4"), ("碰撞框上", "etop", "32"), ("碰撞框右", "eright", "28"),
    ("碰撞框下", "ebottom", "46"), ("生命", "hp", "100"), ("魔法", "mp", "50"), ("攻击", "attack", "12"),
    ("防御", "defence", "8"), ("等级", "level", "1"), ("经验", "exp", "0"), ("升级经验", "nextexp", "100"),
    ("脚步声", "footstep", "NULL", "textbox", "english"), ("金钱", "gold", "0"), ("透明度", "alpha", "-1"),
]


def attrib_lines(records):
    out = []
    for i, rec in enumerate(records):
        name, var, data = rec[:3]
        control = rec[3] if len(rec) > 3 else "textbox"
        restrict = rec[4] if len(rec) > 4 else "number"
        out.append(attrib_line(i, name, var, data, control, restrict))
    return out


# ------------------------------------------------------------------ the map

W, H = 20, 15


def tile(col, row):
    return col * 32, row * 32


def demo_map():
    """Header, then 7 layers of W×H cells. Tiles come from map1's layout
    above: floors in row 0, the tree at (0..1, 2..3), rock (2,2), bush (3,2),
    chest (4,2), sign (5,2)."""
    cells = W * H
    ground = [None] * cells
    layers = [[None] * cells for _ in range(6)]  # game layers 1..6
    for r in range(H):
        for c in range(W):
            i = r * W + c
            src = tile(0, 0) if (c * 7 + r * 3) % 5 else tile(1, 0)
            obstacle, event = 0, "N"
            if r == 7 or c == 10:
                src = tile(3, 0)                 # dirt paths crossing
            if 14 <= c <= 18 and 1 <= r <= 4:
                src = tile(5, 0)                 # pond
                obstacle = 1
            if 3 <= c <= 6 and 10 <= r <= 12:
                src = tile(6, 0)                 # stone yard
            ground[i] = [src[0], src[1], c * 32, r * 32, obstacle, 0, event]
    def put(layer, c, r, src, sheet=0):
        layers[layer - 2][r * W + c] = [src[0], src[1], c * 32, r * 32, sheet]
    # Trees: trunk on layer 4 (below actors), crown on layer 5 (above).
    for (c, r) in ((2, 2), (6, 3), (15, 9), (17, 11), (1, 12)):
        for dc in (0, 1):
            put(5, c + dc, r, tile(dc, 2))
            put(4, c + dc, r + 1, tile(dc, 3))
            ground[(r + 1) * W + c + dc][4] = 1
    for (c, r) in ((12, 2), (8, 12)):            # rocks block
        put(2, c, r, tile(2, 2))
        ground[r * W + c][4] = 1
    put(2, 4, 5, tile(3, 2))                      # a bush: keeps paths off only
    ground[5 * W + 4][4] = 2
    put(2, 5, 11, tile(4, 2))                     # the chest, an event
    ground[11 * W + 5][6] = "宝箱"
    put(2, 11, 6, tile(5, 2))                     # the sign, an event
    ground[6 * W + 11][6] = "路牌"
    lines = ["%d,%d,%d,%d,%d" % (W, H, 1, 320, 240)]
    for g in ground:
        lines.append(",".join(str(v) for v in g))
    for layer in layers:
        for cell in layer:
            lines.append(",".join(str(v) for v in (cell or [0, 0, 0, 0, -1])))
    return lines


def placement(head, values):
    return head + "," + "".join(str(v) + "," for v in values) + ");"


def write_list(path, lines):
    """Entries with CR LF, then "EOF" without a line end, as the editor's
    placement tools write them."""
    data = b"".join(l.encode("gbk") + b"\r\n" for l in lines) + b"EOF"
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(data)


def generate(root):
    root = pathlib.Path(root)
    bmp = root / "Resource" / "bmp"
    sheets = {
        "map1.bmp": lambda: tile_sheet([(80, 160, 70), (90, 170, 80), (60, 130, 55), (170, 130, 80),
                                        (220, 200, 140), (50, 100, 200), (150, 150, 150), (160, 90, 70)], 1),
        "map2.bmp": lambda: tile_sheet([(170, 120, 80), (180, 60, 60), (140, 100, 60), (200, 180, 150),
                                        (230, 220, 200), (60, 120, 180), (120, 120, 130), (110, 80, 60)], 7),
        "map3.bmp": lambda: tile_sheet([(70, 70, 80), (90, 80, 100), (50, 50, 60), (100, 90, 80),
                                        (120, 110, 90), (40, 60, 110), (110, 110, 120), (60, 60, 70)], 13),
        "npc.bmp": npc_sheet,
        "monster.bmp": monster_sheet,
    }
    for name, make in sheets.items():
        if not (bmp / name).exists():
            make().save(bmp / name)

    editor = root / "editor"
    editor.mkdir(parents=True, exist_ok=True)
    write_text(editor / "RoleAttribList.txt", attrib_lines(ROLE_ATTRIBS))
    write_text(editor / "NpcAttribList.txt", attrib_lines(NPC_ATTRIBS))
    write_text(editor / "MonsterAttribList.txt", attrib_lines(MONSTER_ATTRIBS))
    (root / "Map" / "BMap").mkdir(parents=True, exist_ok=True)
    (root / "Script" / "BScript").mkdir(parents=True, exist_ok=True)

    demo = root / "Map" / "demo.jmap"
    if not demo.exists():
        write_text(demo, demo_map())
        for event in ("宝箱", "路牌"):
            script = root / "Script" / (event + ".jsr")
            if not script.exists():
                write_text(script, ["EOF"])
        npcs = root / "Script" / "demo_npc.jsr"
        if not npcs.exists():
            write_list(npcs, [
                placement("AddNpc(", [0, "阿福", 12, 256, 192, "NULL", 1, 4, 4, 32, 28, 46, 30, 1, 100, -1]),
                placement("AddNpc(", [0, "小翠", 4, 448, 288, "NULL", 1, 4, 4, 32, 28, 46, 30, 1, 100, -1]),
            ])
        monsters = root / "Script" / "demo_monster.jsr"
        if not monsters.exists():
            write_list(monsters, [
                placement("AddMonster(", [0, "史莱姆", 6, 512, 160, "NULL", 1, 4, 8, 24, 56, 60, 40, 50, 0, 10, 2,
                                          -1, 5, 1, 1, 0, 0, 10, 5, "NULL", "NULL", -1, 1000]),
                placement("AddMonster(", [0, "紫史莱姆", 0, 64, 288, "NULL", 1, 4, 8, 24, 56, 60, 40, 80, 0, 14, 3,
                                          -1, 5, 1, 2, 0, 0, 20, 8, "NULL", "NULL", -1, 1000]),
            ])

    # The recent map, so that Ctrl+D opens the demo map at once.
    write_text(editor / "RecentMap.txt", ['"%s"' % demo.resolve()])

    # The program is reached through a link in its folder; the editor takes
    # the folder it was started from (without following the link) as its own.
    link = editor / "tilesmith"
    if not link.exists() and not link.is_symlink():
        os.symlink(os.path.join("..", "..", "editor", "tilesmith"), link)
