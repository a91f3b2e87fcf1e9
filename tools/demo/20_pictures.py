"""The built-in pictures: sprite sheets of the role, its fall, the NPCs and
the monsters, the cursor, the dialog frame and the logo. Pure blue
(0, 0, 255) is the transparent colour. Every figure is drawn from shapes and
given a dark edge, so it reads on grass, sand and planks alike."""
import math

from demofiles import Canvas

BLUE = (0, 0, 255)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
EDGE = (34, 24, 20)

# Facings of a figure as (dx, dy): where its eyes look.
RIGHT, DOWN_RIGHT, DOWN, DOWN_LEFT = (1, 0), (1, 1), (0, 1), (-1, 1)
LEFT, UP_LEFT, UP, UP_RIGHT = (-1, 0), (-1, -1), (0, -1), (1, -1)

HERO = dict(skin=(244, 204, 164), hair=(120, 70, 30), tunic=(50, 90, 200), trim=(240, 200, 60),
            legs=(70, 60, 50), boots=(90, 50, 20), robe=False)
ELDER = dict(skin=(236, 196, 160), hair=(215, 215, 220), tunic=(60, 140, 80), trim=(200, 170, 90),
             legs=(60, 110, 60), boots=(80, 60, 40), robe=True)
GIRL = dict(skin=(250, 214, 180), hair=(40, 30, 30), tunic=(200, 60, 80), trim=(255, 230, 120),
            legs=(170, 40, 60), boots=(120, 40, 40), robe=True)


def person(c, ox, oy, facing, phase, pal, squash=0.0):
    """A figure in the 32x48 cell at (ox, oy). phase 0 stands; 1 to 3 are
    steps. squash (0 to 1) sinks it towards the ground (the fall)."""
    dx, dy = facing
    side = dx != 0
    drop = int(squash * 20)

    def y(v):
        return oy + drop + int(v * (1 - squash * 0.4))

    swing = (0, 2, 0, -2)[phase % 4]
    # Legs and boots.
    if pal["robe"]:
        c.rect(ox + 9, y(30), ox + 23, y(44), pal["legs"])
        c.rect(ox + 10 + swing // 2, y(43), ox + 15 + swing // 2, y(46), pal["boots"])
        c.rect(ox + 17 - swing // 2, y(43), ox + 22 - swing // 2, y(46), pal["boots"])
    elif side:
        c.rect(ox + 13 + swing, y(33), ox + 18 + swing, y(43), pal["legs"])
        c.rect(ox + 14 - swing, y(33), ox + 19 - swing, y(43), pal["legs"])
        c.rect(ox + 12 + swing + dx, y(42), ox + 19 + swing + dx, y(46), pal["boots"])
        c.rect(ox + 13 - swing + dx, y(42), ox + 20 - swing + dx, y(46), pal["boots"])
    else:
        c.rect(ox + 10, y(33), ox + 15, y(43 - max(0, swing)), pal["legs"])
        c.rect(ox + 17, y(33), ox + 22, y(43 + min(0, swing)), pal["legs"])
        c.rect(ox + 10, y(42 - max(0, swing)), ox + 15, y(46 - max(0, swing)), pal["boots"])
        c.rect(ox + 17, y(42 + min(0, swing)), ox + 22, y(46 + min(0, swing)), pal["boots"])
    # Arms behind the body when seen from the side, beside it otherwise.
    if side:
        c.rect(ox + 14 - swing, y(21), ox + 18 - swing, y(32), pal["tunic"])
        c.rect(ox + 14 - swing, y(31), ox + 18 - swing, y(34), pal["skin"])
    else:
        c.rect(ox + 6, y(21 + swing), ox + 10, y(32 + swing), pal["tunic"])
        c.rect(ox + 22, y(21 - swing), ox + 26, y(32 - swing), pal["tunic"])
        c.rect(ox + 6, y(31 + swing), ox + 10, y(34 + swing), pal["skin"])
        c.rect(ox + 22, y(31 - swing), ox + 26, y(34 - swing), pal["skin"])
    # Body with its belt.
    c.rect(ox + 10, y(20), ox + 22, y(34), pal["tunic"])
    c.rect(ox + 10, y(29), ox + 22, y(31), pal["trim"])
    # Head, hair and eyes.
    c.ellipse(ox + 16, y(12), 7, 8 * (1 - squash * 0.4), pal["skin"])
    if dy < 0:
        c.ellipse(ox + 16, y(11), 8, 8 * (1 - squash * 0.4), pal["hair"])
    else:
        c.ellipse(ox + 16 - dx * 2, y(8), 8, 5 * (1 - squash * 0.4), pal["hair"])
        if dx:
            # The hair falls behind the head, on the side away from the face.
            back0, back1 = sorted((16 - dx * 8, 16 - dx * 3))
            c.rect(ox + back0, y(6), ox + back1, y(16), pal["hair"])
        eye_y = y(13)
        if dx == 0:
            c.rect(ox + 12, eye_y, ox + 14, eye_y + 2, EDGE)
            c.rect(ox + 18, eye_y, ox + 20, eye_y + 2, EDGE)
        else:
            c.rect(ox + 16 + dx * 4, eye_y, ox + 18 + dx * 4, eye_y + 2, EDGE)
    c.outline(ox, oy, ox + 32, oy + 48, EDGE)


def role_sheet(root):
    """64 cells of 32x48: standing cells 0 to 31 (the first of each four is
    used), walking cells 32 to 63; eight directions each."""
    order = (RIGHT, UP_RIGHT, UP, UP_LEFT, LEFT, DOWN_LEFT, DOWN, DOWN_RIGHT)
    c = Canvas(256, 384, BLUE)
    for cell in range(64):
        ox, oy = (cell % 8) * 32, (cell // 8) * 32 * 3 // 2
        facing = order[(cell % 32) // 4]
        person(c, ox, oy, facing, cell % 4 if cell >= 32 else 0, HERO)
    c.save(root / "Resource" / "bmp" / "role.bmp")


def deadrole_sheet(root):
    """Five cells: the role sinks to its knees, then lies on the ground."""
    c = Canvas(160, 48, BLUE)
    for cell in range(4):
        person(c, cell * 32, 0, DOWN, 0, HERO, squash=cell / 4)
    ox = 4 * 32
    c.rect(ox + 10, 38, ox + 29, 44, HERO["tunic"])
    c.rect(ox + 24, 39, ox + 31, 43, HERO["legs"])
    c.ellipse(ox + 6, 40, 5, 5, HERO["skin"])
    c.ellipse(ox + 5, 38, 5, 3, HERO["hair"])
    c.outline(ox, 0, ox + 32, 48, EDGE)
    c.save(root / "Resource" / "bmp" / "deadrole.bmp")


def npc_sheet(root):
    """Two NPC kinds of 16 cells: walking right, up, left and down."""
    c = Canvas(256, 192, BLUE)
    for kind, pal in enumerate((ELDER, GIRL)):
        for frame in range(16):
            cell = kind * 16 + frame
            facing = (RIGHT, UP, LEFT, DOWN)[frame // 4]
            person(c, (cell % 8) * 32, (cell // 8) * 48, facing, frame % 4, pal)
    c.save(root / "Resource" / "bmp" / "npc.bmp")


# -------------------------------------------------------------- monsters
MONSTER_FACINGS = (RIGHT, DOWN_RIGHT, DOWN, DOWN_LEFT, LEFT, UP_LEFT, UP, UP_RIGHT)


def slime(c, ox, oy, facing, phase):
    dx, dy = facing
    rx, ry = ((22, 16), (19, 20), (24, 13))[phase]
    cy = 60 - ry
    c.ellipse(ox + 32, oy + cy, rx, ry, (70, 190, 70))
    c.ellipse(ox + 32 - 4, oy + cy - 3, rx - 6, ry - 5, (110, 220, 100))
    c.ellipse(ox + 24 - dx * 2, oy + cy - ry // 2, 4, 3, (230, 255, 230))
    if dy <= 0 and facing == (0, -1):
        return
    ex = ox + 32 + dx * 8
    ey = oy + cy - 2 + dy * 2
    if dy >= 0:
        c.rect(ex - 8, ey, ex - 4, ey + 5, EDGE)
        c.rect(ex + 4, ey, ex + 8, ey + 5, EDGE)


def bat(c, ox, oy, facing, phase):
    dx, dy = facing
    body = (120, 60, 160)
    wing = (80, 40, 120)
    lift = (-8, 0, 8)[phase]
    cx, cy = ox + 32, oy + 30 + (phase == 1) * 2
    for side in (-1, 1):
        tip = (cx + side * 28, cy - 6 + lift)
        for k in range(12):
            t = k / 11
            c.line(cx + side * 6, cy - 4 + k, tip[0] - side * int(6 * t), tip[1] + int(12 * t), wing, 2)
    c.ellipse(cx, cy, 10, 12, body)
    c.rect(cx - 8, cy - 16, cx - 4, cy - 9, body)
    c.rect(cx + 4, cy - 16, cx + 8, cy - 9, body)
    if dy >= 0 or dx != 0:
        ex = cx + dx * 3
        c.rect(ex - 5, cy - 4, ex - 2, cy - 1, (255, 220, 60))
        c.rect(ex + 2, cy - 4, ex + 5, cy - 1, (255, 220, 60))


def demon(c, ox, oy, facing, phase):
    dx, dy = facing
    skin = (170, 40, 40)
    dark = (90, 20, 30)
    swing = (0, 3, -3)[phase]
    cx = ox + 32
    # Legs, body, arms, head and horns.
    c.rect(cx - 12 + swing, oy + 46, cx - 3 + swing, oy + 62, dark)
    c.rect(cx + 3 - swing, oy + 46, cx + 12 - swing, oy + 62, dark)
    c.ellipse(cx, oy + 36, 17, 14, skin)
    c.rect(cx - 24, oy + 26 - swing, cx - 16, oy + 46 - swing, skin)
    c.rect(cx + 16, oy + 26 + swing, cx + 24, oy + 46 + swing, skin)
    c.rect(cx - 26, oy + 44 - swing, cx - 14, oy + 50 - swing, dark)
    c.rect(cx + 14, oy + 44 + swing, cx + 26, oy + 50 + swing, dark)
    c.ellipse(cx, oy + 16, 11, 10, skin)
    for side in (-1, 1):
        c.line(cx + side * 7, oy + 9, cx + side * 15, oy + 1, (240, 230, 200), 3)
    c.rect(cx - 8, oy + 33, cx + 8, oy + 36, (240, 200, 60))
    if dy >= 0 or dx != 0:
        ex = cx + dx * 4
        c.rect(ex - 6, oy + 14, ex - 2, oy + 17, (255, 240, 80))
        c.rect(ex + 2, oy + 14, ex + 6, oy + 17, (255, 240, 80))


def monster_sheet(root):
    """Three monster kinds of 24 cells of 64x64, three cells a facing:
    the slime, the bat and the demon king."""
    painters = (slime, bat, demon)
    c = Canvas(192, 64 * 8 * len(painters), BLUE)
    for kind, paint in enumerate(painters):
        for k in range(24):
            cell = kind * 24 + k
            ox, oy = (cell % 3) * 64, (cell // 3) * 64
            paint(c, ox, oy, MONSTER_FACINGS[k // 3], k % 3)
            c.outline(ox, oy, ox + 64, oy + 64, EDGE)
    c.save(root / "Resource" / "bmp" / "monster.bmp")


# -------------------------------------------------------------- the rest
def cursor(root):
    """32x32: a white arrow with a black edge on blue, its tip at (0, 0)."""
    c = Canvas(32, 32, BLUE)
    c.rect(4, 12, 9, 26, BLACK)
    c.rect(5, 12, 8, 25, WHITE)
    for y in range(17):
        edge = y * 2 // 3
        c.rect(0, y, edge + 1, y + 1, BLACK if y == 16 else WHITE)
        c.put(0, y, BLACK)
        c.put(edge, y, BLACK)
    c.save(root / "Resource" / "bmp" / "cursor.bmp")


def dialog_frame(root):
    """594x206: the game puts it at (23, 264), the width of the map view, and
    paints it part see-through. Its upper 84 rows are a framed dark panel
    over the bottom of the view, where the talk's white lines fall (from
    y 284); the rest is black, so the status panel under it is dimmed and
    its texts do not show among the talk's."""
    c = Canvas(594, 206, (0, 0, 0))
    for y in range(84):
        c.rect(0, y, 594, y + 1, (30 + y // 4, 24 + y // 5, 60 - y // 4))
    c.frame(0, 0, 594, 84, (200, 160, 80), 3)
    c.frame(5, 5, 589, 79, (120, 90, 50), 1)
    c.save(root / "Resource" / "bmp" / "dialogframe.bmp")


def logo(root):
    """logoeffect1: 1024x256, 4 cells of 256x256, an emblem whose spokes
    turn from cell to cell; logowords: 256x64, the game's name."""
    c = Canvas(1024, 256, BLUE)
    for cell in range(4):
        ox = cell * 256
        turn = cell * math.pi / 8
        for y in range(256):
            dy = y - 128
            for x in range(256):
                dx = x - 128
                r = math.hypot(dx, dy)
                if r > 110:
                    continue
                if r > 96:
                    colour = (250, 200, 40)
                elif r > 90:
                    colour = (120, 40, 20)
                else:
                    a = (math.atan2(dy, dx) + turn) % (math.pi / 3)
                    colour = (200, 60, 40) if a < math.pi / 6 else (250, 150, 50)
                    if r < 24:
                        colour = (255, 240, 200)
                c.put(ox + x, y, colour)
    c.save(root / "Resource" / "bmp" / "logoeffect1.bmp")

    w = Canvas(256, 64, BLUE)
    label = "TEV LEGEND"
    x = (256 - Canvas.text_width(label, 4)) // 2
    w.text(x + 2, 20, label, (120, 40, 20), 4)
    w.text(x, 18, label, (250, 200, 40), 4)
    w.save(root / "Resource" / "bmp" / "logowords.bmp")


def generate(root):
    # The tile sheets come with the maps that use them (40_maps.py).
    cursor(root)
    dialog_frame(root)
    role_sheet(root)
    deadrole_sheet(root)
    npc_sheet(root)
    monster_sheet(root)
    logo(root)
