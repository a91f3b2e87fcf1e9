"""The world's share of the demo folder: the tile sheets and the maps drawn
with them.

Maps (all CR LF, as the editor writes them):
- demo   20x15, the village, a little larger than the view, walled round:
         obstacles, a pond, trees whose tops cover actors, the door "door1"
         in the north wall to the field; its NPC and monster placement lists;
- demo2  30x20, larger than the view, so the map scrolls, walled round: the
         field, with the door "door2" in the east wall back to the village,
         and the demon king's monsters;
- small  15x15, narrower and lower than the view; a marked tile at (5,5);
- large  150x150, the largest size the editor's dialog offers;
- huge   181x181 (32761 cells), the largest map the game reads; every cell
         of every layer is drawn. large and huge are for benchmarks.
"""
from demofiles import write_bmp24, write_text

BLUE = (0, 0, 255)  # the colour key

# ---------------------------------------------------------------- sheets
# Tile coordinates (column, row) in the sheets, 32x32 each.
GRASS, FLOWERS, DIRT, WATER, WALL, PLANKS, SAND, MAT = [(c, 0) for c in range(8)]
TRUNK, CANOPY_TOP, CANOPY_LOW, ROCK, FENCE, BLOSSOM, SIGN, MARK = [(c, 0) for c in range(8)]
ROOF, LAMP, BANNER = (0, 0), (1, 0), (2, 0)


def _noise(x, y, k=0):
    return ((x * 73856093) ^ (y * 19349663) ^ (k * 83492791)) & 0xFF


def _map1(x, y):
    c, r = x // 32, y // 32
    tx, ty = x % 32, y % 32
    n = _noise(x, y) % 24
    if r == 0:
        if c == 0:
            return (40 + n, 140 + n, 40)
        if c == 1:
            if (tx - 8) ** 2 + (ty - 8) ** 2 < 9 or (tx - 22) ** 2 + (ty - 20) ** 2 < 9:
                return (230, 200, 40)
            return (40 + n, 140 + n, 40)
        if c == 2:
            return (150 + n, 110 + n, 60)
        if c == 3:
            return (30, 80 + n, 190 + (ty % 8) * 4)
        if c == 4:
            brick = (ty // 8 + (tx // 16 if (ty // 8) % 2 else (tx + 8) // 16)) % 2
            edge = ty % 8 == 0 or (tx + (8 if (ty // 8) % 2 else 0)) % 16 == 0
            return (70, 70, 70) if edge else ((130 + n, 120, 110) if brick else (115 + n, 105, 95))
        if c == 5:
            return (170, 120, 70) if ty % 8 else (110, 70, 40)
        if c == 6:
            return (220, 200, 140 + n)
        return (160, 30, 30) if 4 <= tx < 28 and 4 <= ty < 28 else (150 + n, 110, 60)
    # Further rows: distinct muted colours, numbered by a dot pattern.
    base = ((c * 37 + r * 91) % 160 + 50, (c * 71 + r * 13) % 160 + 50, (c * 17 + r * 53) % 160 + 50)
    return base if (tx // 4 + ty // 4) % 2 else tuple(v - 30 for v in base)


def _map2(x, y):
    c, r = x // 32, y // 32
    tx, ty = x % 32, y % 32
    if r != 0:
        return BLUE
    if c == 0:  # trunk
        return (110, 70, 30) if 12 <= tx < 20 else BLUE
    if c == 1:  # canopy, upper half of a disc that continues below
        return (20, 110 + (tx * ty) % 40, 30) if (tx - 16) ** 2 + (ty - 32) ** 2 < 30 ** 2 else BLUE
    if c == 2:  # canopy, lower part over the trunk's top
        return (20, 110 + (tx * ty) % 40, 30) if (tx - 16) ** 2 + ty ** 2 < 30 ** 2 and ty < 18 else BLUE
    if c == 3:  # rock
        return (120 + tx, 120 + tx, 125) if (tx - 16) ** 2 + ((ty - 18) * 1.4) ** 2 < 13 ** 2 else BLUE
    if c == 4:  # fence
        return (150, 100, 50) if ty in (8, 9, 20, 21) or tx % 16 in (3, 4, 5) else BLUE
    if c == 5:  # blossoms
        return (240, 80, 160) if (tx % 10 < 3 and ty % 10 < 3) else BLUE
    if c == 6:  # sign post
        return (200, 170, 90) if (6 <= ty < 16 and 4 <= tx < 28) or (14 <= tx < 18) else BLUE
    if c == 7:  # marker: a white frame, to check where tiles land
        return (255, 255, 255) if tx in (0, 31) or ty in (0, 31) or tx == ty else BLUE
    return BLUE


def _map3(x, y):
    c, r = x // 32, y // 32
    tx, ty = x % 32, y % 32
    if r != 0:
        return BLUE
    if c == 0:  # roof tiles
        return (170, 40, 30) if ty % 8 else (100, 20, 20)
    if c == 1:  # lamp head
        return (250, 240, 150) if (tx - 16) ** 2 + (ty - 16) ** 2 < 36 else BLUE
    if c == 2:  # banner
        return (40, 60, 200) if 8 <= tx < 24 and ty < 28 else BLUE
    return BLUE


def _write_sheets(root):
    bmp = root / "Resource" / "bmp"
    sheets = {
        "map1.bmp": (256, 256, _map1),
        "map2.bmp": (256, 256, _map2),
        "map3.bmp": (256, 256, _map3),
    }
    for name, (w, h, pixel) in sheets.items():
        write_bmp24(bmp / name, w, h, pixel)


# ---------------------------------------------------------------- maps
class MapBuilder:
    def __init__(self, w, h, direction, x, y):
        self.w, self.h = w, h
        self.header = f"{w},{h},{direction},{x},{y}"
        n = w * h
        self.ground = [[0, 0, 0, 0, 0, -1, "N"] for _ in range(n)]
        self.upper = [[[0, 0, 0, 0, -1] for _ in range(n)] for _ in range(6)]

    def tile(self, layer, c, r, sheet, src, obstacle=None, event=None):
        i = r * self.w + c
        sx, sy = src[0] * 32, src[1] * 32
        if layer == 0:
            cell = self.ground[i]
            cell[0:4] = [sx, sy, c * 32, r * 32]
            cell[5] = sheet
            if obstacle is not None:
                cell[4] = obstacle
            if event is not None:
                cell[6] = event
        else:
            self.upper[layer - 1][i] = [sx, sy, c * 32, r * 32, sheet]

    def block(self, c, r, obstacle=1):
        self.ground[r * self.w + c][4] = obstacle

    def wall_round(self):
        """A wall on every border cell that is not a door (a cell with an
        event), so nothing walks to the map's edge and under the frame."""
        for r in range(self.h):
            for c in range(self.w):
                if r in (0, self.h - 1) or c in (0, self.w - 1):
                    if self.ground[r * self.w + c][6] == "N":
                        self.tile(0, c, r, 0, WALL, obstacle=1)

    def tree(self, c, r):
        """Trunk at (c, r), its canopy over the cell above and the trunk's top."""
        self.tile(1, c, r, 1, TRUNK)
        self.block(c, r)
        self.tile(4, c, r, 1, CANOPY_LOW)
        if r > 0:
            self.tile(4, c, r - 1, 1, CANOPY_TOP)

    def lines(self):
        out = [self.header]
        out += [",".join(str(v) for v in cell) for cell in self.ground]
        for layer in self.upper:
            out += [",".join(str(v) for v in cell) for cell in layer]
        return out

    def write(self, root, name):
        write_text(root / "Map" / (name + ".jmap"), self.lines())


def _demo():
    m = MapBuilder(20, 15, 1, 320, 240)
    for r in range(15):
        for c in range(20):
            m.tile(0, c, r, 0, FLOWERS if (c * 7 + r * 3) % 11 == 0 else GRASS)
    for c in range(20):  # the path east-west, then north to the door
        m.tile(0, c, 8, 0, DIRT)
    for r in range(9):
        m.tile(0, 10, r, 0, DIRT)
    for c in range(20):  # a wall along the top, with the door in it
        if c != 10:
            m.tile(0, c, 0, 0, WALL, obstacle=1)
    m.tile(0, 10, 0, 0, MAT, event="door1")
    m.wall_round()
    for c in range(14, 18):  # a pond
        for r in range(2, 5):
            m.tile(0, c, r, 0, WATER, obstacle=1)
    m.tile(0, 3, 11, 0, SAND, obstacle=2)  # soft ground: walkable, avoided by paths
    m.tile(2, 3, 11, 1, BLOSSOM)
    for c, r in ((4, 4), (6, 5), (5, 12), (15, 11), (17, 12), (8, 12)):
        m.tree(c, r)
    m.tile(1, 12, 6, 1, ROCK)
    m.block(12, 6)
    for c in range(1, 6):
        m.tile(3, c, 9, 1, FENCE)
    m.tile(5, 11, 7, 1, SIGN)
    m.tile(6, 9, 1, 2, LAMP)
    return m


def _demo2():
    m = MapBuilder(30, 20, 3, 64, 320)
    for r in range(20):
        for c in range(30):
            m.tile(0, c, r, 0, SAND if (c + r) % 9 == 0 else GRASS)
    for c in range(30):
        m.tile(0, c, 10, 0, DIRT)
    for r in range(20):
        m.tile(0, 29, r, 0, WALL, obstacle=1)
    m.tile(0, 29, 10, 0, MAT, event="door2")
    m.wall_round()
    for c in range(8, 13):
        for r in range(3, 7):
            m.tile(0, c, r, 0, PLANKS)
            m.tile(6, c, r, 2, ROOF)
    for k in range(12):
        m.tree(2 + (k * 7) % 26, 13 + (k * 3) % 6)
    for c in range(18, 24):
        for r in range(2, 6):
            m.tile(0, c, r, 0, WATER, obstacle=1)
    m.tile(5, 15, 9, 2, BANNER)
    return m


def _small():
    m = MapBuilder(15, 15, 1, 32, 192)
    for r in range(15):
        for c in range(15):
            m.tile(0, c, r, 0, PLANKS if (c + r) % 2 else SAND)
    for c in range(15):
        m.tile(0, c, 14, 0, WALL, obstacle=1)
    m.tile(1, 5, 5, 1, MARK)  # the marked tile (5,5)
    m.tree(2, 9)
    m.tree(11, 3)
    return m


def _full(w, h):
    """Every cell of every layer drawn: the heaviest map of its size."""
    m = MapBuilder(w, h, 1, (w // 2) * 32, (h // 2) * 32)
    for r in range(h):
        for c in range(w):
            m.tile(0, c, r, 0, (c % 8, r % 8))
            for layer in range(1, 7):
                m.tile(layer, c, r, 1 + layer % 2, ((c + layer) % 8, 0))
            if (c * 13 + r * 7) % 29 == 0:
                m.block(c, r)
    return m


def _placement(head, values):
    return head + "," + "".join(str(v) + "," for v in values) + ");"


def _write_list(path, lines):
    """Entries with CR LF, then "EOF" without a line end, as the editor's
    placement tools write them."""
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(b"".join(l.encode("gbk") + b"\r\n" for l in lines) + b"EOF")


def _npc(id_, name, frame, x, y, script, active):
    """An NPC of 32x48 that walks at speed 1; active 0 stands still."""
    return _placement("AddNpc(", [id_, name, frame, x, y, script, 1, 4, 4, 32, 28, 46, 30, active, 100, -1])


def _monster(id_, name, x, y, hp, attack, defence, exp, gold, death, chase=0, level=1, interval=1000):
    """A monster of 64x64 standing facing down; chase 2 makes it chase the
    role from the start, otherwise it wanders until it is hit."""
    return _placement("AddMonster(", [id_, name, 6, x, y, "NULL", 1, 4, 8, 24, 56, 60, 40, hp, 0, attack, defence,
                                      -1, 5, 1, level, chase, 0, exp, gold, "NULL", death, -1, interval])


def _placements(root):
    """The NPCs and monsters of both maps, on free cells of them: the
    village elder and the girl who sells a magic book stand in the village,
    with two slimes and a bat; a hunter stands in the field, where bats,
    a slime and the demon king, who hunts the role at once, wait. Each
    person stands still where a straight walk from any side reaches them."""
    script = root / "Script"
    _write_list(script / "demo_npc.jsr", [
        # Level with the role's start, so walking west from there meets him.
        _npc(0, "阿福", 12, 256, 224, "afu", 0),
        _npc(1, "小翠", 8, 416, 224, "xiaocui", 0),
    ])
    _write_list(script / "demo_monster.jsr", [
        _monster(0, "史莱姆", 512, 160, 50, 10, 2, 30, 12, "slimedie"),
        _monster(0, "史莱姆", 384, 352, 50, 10, 2, 30, 12, "slimedie"),
        # The village bat chases at once but bites lightly: a hit point a
        # second (two at a rare critical blow), little more than standing
        # still brings back, so a player still reading the controls has
        # minutes before it matters.
        _monster(1, "蝙蝠", 64, 320, 40, 7, 2, 25, 12, "batdie", chase=2),
    ])
    # The hunter stands still on open ground beside the way in, clear of
    # trees and water on every side: a blocked step turns the role aside
    # (the automatic side step), so a person beside an obstacle, or one who
    # walks off, is easily passed by instead of talked to.
    _write_list(script / "demo2_npc.jsr", [_npc(0, "猎人", 12, 640, 256, "hunter", 0)])
    _write_list(script / "demo2_monster.jsr", [
        _monster(1, "蝙蝠", 448, 320, 40, 12, 2, 25, 12, "batdie", chase=2),
        _monster(1, "蝙蝠", 640, 448, 40, 12, 2, 25, 12, "batdie", chase=2),
        _monster(0, "史莱姆", 736, 224, 50, 10, 2, 30, 12, "slimedie"),
        _monster(2, "魔王", 128, 192, 300, 24, 8, 200, 100, "demondie", chase=2, level=5, interval=1000),
    ])


def generate(root):
    _write_sheets(root)
    _demo().write(root, "demo")
    _placements(root)
    _demo2().write(root, "demo2")
    _small().write(root, "small")
    _full(150, 150).write(root, "large")
    _full(181, 181).write(root, "huge")
