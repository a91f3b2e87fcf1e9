"""The built-in pictures: tile sheets, sprite sheets, cursor, dialog frame
and the logo. Pure blue (0, 0, 255) is the transparent colour. Every cell
carries its number, so a frame dump shows which cell was painted."""
import math

from demofiles import Canvas

BLUE = (0, 0, 255)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)


def sprite_sheet(root, name, width, height, cell_w, cell_h, body, head=(240, 200, 160)):
    """Cells of a figure on blue, each numbered."""
    c = Canvas(width, height, BLUE)
    cols = width // cell_w
    for i in range(cols * (height // cell_h)):
        x, y = (i % cols) * cell_w, (i // cols) * cell_h
        hw = cell_w // 4
        # Head, body and a stride that moves with the cell's column.
        c.rect(x + cell_w // 2 - hw // 2, y + 2, x + cell_w // 2 + hw // 2 + 1, y + 2 + hw + 2, head)
        c.rect(x + cell_w // 2 - hw, y + hw + 5, x + cell_w // 2 + hw, y + cell_h * 2 // 3, body)
        step = (i % 4) - 1
        c.rect(x + cell_w // 2 - hw + step, y + cell_h * 2 // 3, x + cell_w // 2 - 1 + step, y + cell_h - 2, BLACK)
        c.rect(x + cell_w // 2 + 1 - step, y + cell_h * 2 // 3, x + cell_w // 2 + hw - step, y + cell_h - 2, BLACK)
        c.text(x + 1, y + cell_h - 7, "%d" % i, WHITE)
    c.save(root / "Resource" / "bmp" / (name + ".bmp"))


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
    """500x100: a framed panel; its size places the dialog at (70, 370)."""
    c = Canvas(500, 100, (236, 222, 180))
    c.frame(0, 0, 500, 100, (90, 60, 30), 4)
    c.frame(6, 6, 494, 94, (160, 120, 70), 2)
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
        c.text(ox + 4, 4, "%d" % cell, WHITE, 2)
    c.save(root / "Resource" / "bmp" / "logoeffect1.bmp")

    w = Canvas(256, 64, BLUE)
    w.text(10, 12, "TEV LEGEND", (250, 200, 40), 6)
    w.save(root / "Resource" / "bmp" / "logowords.bmp")


def generate(root):
    # The tile sheets come with the maps that use them (40_maps.py).
    cursor(root)
    dialog_frame(root)
    sprite_sheet(root, "role", 256, 384, 32, 48, (60, 90, 200))
    sprite_sheet(root, "deadrole", 160, 48, 32, 48, (90, 90, 90))
    sprite_sheet(root, "npc", 256, 96, 32, 48, (60, 160, 80))
    sprite_sheet(root, "monster", 192, 512, 64, 64, (170, 50, 50))
    logo(root)
