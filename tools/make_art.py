#!/usr/bin/env python3
"""Draws the program's artwork into a folder: the application icon (corvane.ico, 16x16 and 32x32,
32-bit with an AND mask), the maker's logo for the logo button (logo.bmp, 141x20, 24-bit) and the
data browser's tool icons (tool_*.ico, 24x24, 32-bit with an AND mask).

Everything is drawn here from shapes and a small hand-made pixel font, with the standard library
only, so the build needs no image files and no image tools.

    python3 tools/make_art.py OUTPUT_FOLDER
"""

import math
import os
import struct
import sys

# The palette: a deep blue tile, a lighter blue, the orange of the coil and the accent, and the
# button-face grey the logo sits on.
NAVY = (0x1B, 0x33, 0x5E)
BLUE = (0x2E, 0x6F, 0xC7)
SKY = (0x8F, 0xC8, 0xFF)
ORANGE = (0xF2, 0x8C, 0x28)
DARK_ORANGE = (0xB8, 0x5A, 0x10)
WHITE = (0xFF, 0xFF, 0xFF)
STEEL = (0x9A, 0xA6, 0xB4)
BUTTON_FACE = (0xF0, 0xF0, 0xF0)
# The tool icons' own colours.
GREEN = (0x2B, 0x96, 0x3F)
RED = (0xCC, 0x2E, 0x2E)
YELLOW = (0xF2, 0xC6, 0x3E)
FOLDER_EDGE = (0xB0, 0x6A, 0x26)
GREY = (0x74, 0x78, 0x7E)
PAPER = (0xFB, 0xFB, 0xFB)
LID = (0xDD, 0xE5, 0xF2)
INK = (0x1C, 0x1F, 0x26)


class Canvas:
    """An RGBA picture drawn with anti-aliased shapes (coverage found by supersampling)."""

    SAMPLES = 4

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[(0, 0, 0, 0.0) for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        if alpha <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        r0, g0, b0, a0 = self.pixels[y][x]
        a = alpha + a0 * (1.0 - alpha)
        if a <= 0.0:
            return
        mix = [(c * alpha + c0 * a0 * (1.0 - alpha)) / a for c, c0 in zip(colour, (r0, g0, b0))]
        self.pixels[y][x] = (mix[0], mix[1], mix[2], a)

    def shape(self, inside, colour, opacity=1.0):
        """Paints every pixel by the share of its sample points for which inside(x, y) holds."""
        n = self.SAMPLES
        for y in range(self.height):
            for x in range(self.width):
                hits = 0
                for sy in range(n):
                    for sx in range(n):
                        if inside(x + (sx + 0.5) / n, y + (sy + 0.5) / n):
                            hits += 1
                if hits:
                    self.blend(x, y, colour, opacity * hits / (n * n))

    def rounded_rect(self, left, top, right, bottom, radius, colour):
        def inside(px, py):
            if not (left <= px <= right and top <= py <= bottom):
                return False
            cx = min(max(px, left + radius), right - radius)
            cy = min(max(py, top + radius), bottom - radius)
            return (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2

        self.shape(inside, colour)

    def vertical_gradient_rect(self, left, top, right, bottom, radius, top_colour, bottom_colour):
        for y in range(int(top), int(math.ceil(bottom))):
            t = (y - top) / max(1.0, bottom - top - 1)
            colour = tuple(a + (b - a) * t for a, b in zip(top_colour, bottom_colour))

            def inside(px, py, y=y):
                if not (left <= px <= right and top <= py <= bottom) or not (y <= py < y + 1):
                    return False
                cx = min(max(px, left + radius), right - radius)
                cy = min(max(py, top + radius), bottom - radius)
                return (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2

            self.shape(inside, colour)

    def polyline(self, points, width, colour):
        half = width / 2.0
        segments = list(zip(points, points[1:]))

        def inside(px, py):
            for (x1, y1), (x2, y2) in segments:
                dx, dy = x2 - x1, y2 - y1
                length2 = dx * dx + dy * dy
                t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - x1) * dx + (py - y1) * dy) / length2))
                if (px - x1 - t * dx) ** 2 + (py - y1 - t * dy) ** 2 <= half * half:
                    return True
            return False

        self.shape(inside, colour)

    def rect(self, left, top, right, bottom, colour, opacity=1.0):
        self.shape(lambda px, py: left <= px <= right and top <= py <= bottom, colour, opacity)

    def frame(self, left, top, right, bottom, width, colour):
        def inside(px, py):
            if not (left <= px <= right and top <= py <= bottom):
                return False
            return px < left + width or px > right - width or py < top + width or py > bottom - width

        self.shape(inside, colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        self.shape(lambda px, py: ((px - cx) / rx) ** 2 + ((py - cy) / ry) ** 2 <= 1.0, colour)

    def polygon(self, points, colour):
        edges = list(zip(points, points[1:] + points[:1]))

        def inside(px, py):
            crossings = 0
            for (x1, y1), (x2, y2) in edges:
                if (y1 > py) != (y2 > py) and px < x1 + (py - y1) * (x2 - x1) / (y2 - y1):
                    crossings += 1
            return crossings % 2 == 1

        self.shape(inside, colour)

    def ellipse_ring(self, cx, cy, rx, ry, width, colour, lower_half_only=False):
        def inside(px, py):
            if lower_half_only and py < cy:
                return False
            outer = ((px - cx) / (rx + width / 2)) ** 2 + ((py - cy) / (ry + width / 2)) ** 2
            inner = ((px - cx) / max(0.1, rx - width / 2)) ** 2 + ((py - cy) / max(0.1, ry - width / 2)) ** 2
            return outer <= 1.0 and inner >= 1.0

        self.shape(inside, colour)


def response_curve(left, right, base, scale, steps=40):
    """A winding's frequency response: a falling gain with two resonant dips and a peak."""
    points = []
    for i in range(steps + 1):
        t = i / steps
        gain = 0.35 * t  # the slow fall with frequency
        gain += 0.45 * math.exp(-((t - 0.32) / 0.07) ** 2)  # first resonance (a dip)
        gain -= 0.30 * math.exp(-((t - 0.55) / 0.05) ** 2)  # anti-resonance (a peak)
        gain += 0.40 * math.exp(-((t - 0.78) / 0.06) ** 2)  # second resonance
        points.append((left + (right - left) * t, base + scale * gain))
    return points


def draw_icon(size):
    """The application icon: a coil on its core under a frequency-response curve, on a blue tile."""
    c = Canvas(size, size)
    s = size / 32.0
    c.vertical_gradient_rect(0.5 * s, 0.5 * s, 31.5 * s, 31.5 * s, 5 * s, BLUE, NAVY)

    # The core and the coil's turns: orange loops around a steel bar, lower half of the tile.
    if size >= 32:
        c.rounded_rect(6 * s, 15 * s, 26 * s, 19 * s, 1 * s, STEEL)
    turns = 4 if size >= 32 else 3
    for k in range(turns):
        x = (9 + k * (14.0 / (turns - 1))) * s
        c.ellipse_ring(x, 22 * s, max(1.3, 2.2 * s), 6.0 * s, max(1.0, 2.0 * s),
                       ORANGE if k % 2 == 0 or size < 32 else DARK_ORANGE)
    c.rounded_rect(6 * s, 15 * s, 26 * s, 17 * s, 0.5 * s, STEEL)  # the core in front of the turns' backs

    # The response curve across the top half, white with a light blue glow.
    curve = response_curve(3 * s, 29 * s, 4 * s, 13 * s)
    c.polyline(curve, max(2.2, 3.2 * s), SKY)
    c.polyline(curve, max(1.1, 1.6 * s), WHITE)
    return c


# --- The data browser's tool icons, 24 x 24 -----------------------------------------------------

TOOL_SIZE = 24


def cylinder(c, left, top, right, bottom):
    """A database: a blue drum with a light lid."""
    cx = (left + right) / 2.0
    rx = (right - left) / 2.0
    ry = max(1.5, (right - left) / 6.0)
    c.ellipse(cx, bottom - ry, rx, ry, BLUE)
    c.rect(left, top + ry, right, bottom - ry, BLUE)
    c.ellipse(cx, top + ry, rx, ry, NAVY)
    c.ellipse(cx, top + ry, rx - 1.0, ry - 0.8, LID)


def plus(c, cx, cy, arm, width, colour):
    c.rect(cx - arm, cy - width / 2, cx + arm, cy + width / 2, colour)
    c.rect(cx - width / 2, cy - arm, cx + width / 2, cy + arm, colour)


def arrow(c, x1, y1, x2, y2, width, head, colour):
    length = math.hypot(x2 - x1, y2 - y1)
    ux, uy = (x2 - x1) / length, (y2 - y1) / length
    bx, by = x2 - ux * head, y2 - uy * head
    c.polyline([(x1, y1), (bx, by)], width, colour)
    c.polygon([(x2, y2), (bx - uy * head * 0.7, by + ux * head * 0.7), (bx + uy * head * 0.7, by - ux * head * 0.7)],
              colour)


def document(c, left, top, right, bottom, line_colour):
    """A sheet with a turned corner and lines of text."""
    fold = 5
    c.polygon([(left, top), (right - fold, top), (right, top + fold), (right, bottom), (left, bottom)], GREY)
    c.polygon([(left + 1.2, top + 1.2), (right - fold - 0.5, top + 1.2), (right - 1.2, top + fold + 0.5),
               (right - 1.2, bottom - 1.2), (left + 1.2, bottom - 1.2)], PAPER)
    c.polygon([(right - fold, top), (right - fold, top + fold), (right, top + fold)], GREY)
    y = top + 5.5
    while y < bottom - 3:
        c.rect(left + 3.5, y, right - 4, y + 1.2, line_colour)
        y += 3.5


def grid(c, left, top, right, bottom, columns, rows, colour, header=True):
    c.rect(left, top, right, bottom, WHITE)
    if header:
        c.rect(left, top, right, top + (bottom - top) / rows, colour, opacity=0.55)
    c.frame(left, top, right, bottom, 1.4, colour)
    for k in range(1, columns):
        x = left + (right - left) * k / columns
        c.rect(x - 0.6, top, x + 0.6, bottom, colour)
    for k in range(1, rows):
        y = top + (bottom - top) * k / rows
        c.rect(left, y - 0.6, right, y + 0.6, colour)


def tool_new_database(c):
    cylinder(c, 2, 2, 16, 21)
    plus(c, 18, 16, 5, 3, GREEN)


def tool_open_database(c):
    c.polygon([(2, 5), (9, 5), (11, 7.5), (21, 7.5), (21, 20), (2, 20)], FOLDER_EDGE)
    c.polygon([(3.2, 6.2), (8.5, 6.2), (10.5, 8.7), (19.8, 8.7), (19.8, 18.8), (3.2, 18.8)], YELLOW)
    c.polygon([(6, 11), (23, 11), (19.5, 20.5), (2, 20.5)], FOLDER_EDGE)
    c.polygon([(6.9, 12.2), (21.3, 12.2), (18.7, 19.3), (3.7, 19.3)], (0xF7, 0xD7, 0x6A))


def tool_import(c):
    cylinder(c, 9, 8, 22, 22)
    arrow(c, 2, 2, 11, 11, 2.6, 5.5, GREEN)


def tool_export_xml(c):
    document(c, 3, 1.5, 18, 22.5, GREY)
    c.rect(11, 13, 23, 22.5, WHITE)
    c.polyline([(15, 14.5), (12.5, 17.75), (15, 21)], 1.8, ORANGE)
    c.polyline([(19, 14.5), (21.5, 17.75), (19, 21)], 1.8, ORANGE)


def tool_export_csv(c):
    document(c, 3, 1.5, 18, 22.5, BLUE)
    grid(c, 11, 13, 23, 22.5, 3, 2, GREEN, header=False)


def tool_export_excel(c):
    grid(c, 2, 3, 22, 21, 3, 4, GREEN)


def tool_diagnose(c):
    c.rect(1.5, 3, 22.5, 21, WHITE)
    c.frame(1.5, 3, 22.5, 21, 1.5, GREY)
    c.polyline([(2.5, 12), (7, 12), (9, 6), (12, 18), (14, 10), (15.5, 12), (21.5, 12)], 1.8, RED)


def tool_graph(c):
    c.rect(1.5, 3, 22.5, 21, INK)
    c.polyline(response_curve(3, 21, 9, 8, steps=24), 1.5, RED)
    c.polyline([(3, 18), (7, 15), (10, 8), (13, 6.5), (16, 9), (21, 16)], 1.5, SKY)


def tool_add(c):
    plus(c, 12, 12, 9, 4, GREEN)


def tool_edit(c):
    # A pencil from the lower left to the upper right: tip, painted body, red eraser.
    c.polygon([(2, 22), (3.5, 16.5), (7.5, 20.5)], INK)
    c.polygon([(3.5, 16.5), (16.5, 3.5), (20.5, 7.5), (7.5, 20.5)], YELLOW)
    c.polyline([(5.5, 18.5), (18.5, 5.5)], 0.9, (0xD8, 0xA2, 0x1E))
    c.polygon([(16.5, 3.5), (18.5, 1.5), (22.5, 5.5), (20.5, 7.5)], RED)


def tool_delete(c):
    c.polyline([(4, 4), (20, 20)], 4, RED)
    c.polyline([(20, 4), (4, 20)], 4, RED)


def tool_settings(c):
    teeth = 8

    def inside(px, py):
        dx, dy = px - 12, py - 12
        r = math.hypot(dx, dy)
        angle = math.atan2(dy, dx)
        tooth = math.cos(teeth * angle) > 0.35
        return 3.6 <= r <= (10.5 if tooth else 8.0)

    c.shape(inside, GREY)


def tool_fleet(c):
    # The fleet's server and the laptop's file, with the two ways between them.
    cylinder(c, 1, 2, 10, 14)
    cylinder(c, 14, 10, 23, 22)
    arrow(c, 9, 17, 13.5, 17, 1.8, 3.5, GREEN)
    arrow(c, 15, 5, 10.5, 5, 1.8, 3.5, GREEN)


TOOLS = [
    ("new_database", tool_new_database), ("open_database", tool_open_database), ("import", tool_import),
    ("export_xml", tool_export_xml), ("export_csv", tool_export_csv), ("export_excel", tool_export_excel),
    ("diagnose", tool_diagnose), ("graph", tool_graph), ("add", tool_add), ("edit", tool_edit),
    ("delete", tool_delete), ("settings", tool_settings), ("fleet", tool_fleet),
]


def draw_tool(draw):
    c = Canvas(TOOL_SIZE, TOOL_SIZE)
    draw(c)
    return c


# The maker's name in a hand-made pixel font: 8 x 12 cells with two-pixel strokes.
FONT = {
    "V": ["##....##", "##....##", "##....##", "##....##", "##....##", ".##..##.",
          ".##..##.", ".##..##.", "..####..", "..####..", "...##...", "...##..."],
    "E": ["########", "########", "##......", "##......", "##......", "#######.",
          "#######.", "##......", "##......", "##......", "########", "########"],
    "L": ["##......", "##......", "##......", "##......", "##......", "##......",
          "##......", "##......", "##......", "##......", "########", "########"],
    "T": ["########", "########", "...##...", "...##...", "...##...", "...##...",
          "...##...", "...##...", "...##...", "...##...", "...##...", "...##..."],
    "R": ["#######.", "########", "##....##", "##....##", "##....##", "########",
          "#######.", "##.##...", "##..##..", "##...##.", "##....##", "##....##"],
    "O": [".######.", "########", "##....##", "##....##", "##....##", "##....##",
          "##....##", "##....##", "##....##", "##....##", "########", ".######."],
    "N": ["##....##", "###...##", "####..##", "####..##", "##.##.##", "##.##.##",
          "##.##.##", "##.##.##", "##..####", "##..####", "##...###", "##....##"],
    "A": ["...##...", "..####..", "..####..", ".##..##.", ".##..##.", "##....##",
          "##....##", "########", "########", "##....##", "##....##", "##....##"],
}
GLYPH_WIDTH = 8
GLYPH_GAP = 3


def draw_logo():
    """The logo button's face: an emblem, the maker's name and a thin orange accent, 141 x 20."""
    width, height = 141, 20
    rows = [[BUTTON_FACE for _ in range(width)] for _ in range(height)]

    # The emblem: a small blue tile with a white response curve, anti-aliased onto the grey.
    emblem = Canvas(18, 18)
    emblem.vertical_gradient_rect(0.5, 0.5, 17.5, 17.5, 3, BLUE, NAVY)
    curve = response_curve(2, 16, 3.5, 8, steps=30)
    emblem.polyline(curve, 1.6, WHITE)
    emblem.rounded_rect(3, 13, 15, 15, 0.8, ORANGE)
    for y in range(18):
        for x in range(18):
            r, g, b, a = emblem.pixels[y][x]
            if a > 0:
                base = rows[1 + y][4 + x]
                rows[1 + y][4 + x] = tuple(round(cv * a + bv * (1 - a)) for cv, bv in zip((r, g, b), base))

    text = "VELTRONA"
    text_left = 30
    text_top = 2
    for i, letter in enumerate(text):
        glyph = FONT[letter]
        x0 = text_left + i * (GLYPH_WIDTH + GLYPH_GAP)
        for gy, line in enumerate(glyph):
            for gx, cell in enumerate(line):
                if cell == "#":
                    rows[text_top + gy][x0 + gx] = NAVY
    text_right = text_left + len(text) * (GLYPH_WIDTH + GLYPH_GAP) - GLYPH_GAP

    # The accent: a thin orange rule under the name, running on to the right edge's margin.
    for x in range(text_left, min(width - 4, text_right + 20)):
        rows[16][x] = ORANGE
    return rows


def write_bmp(path, rows):
    """A 24-bit bottom-up Windows bitmap file, rows padded to four bytes."""
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    image = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((int(b), int(g), int(r)))
        line += b"\0" * (stride - len(line))
        image += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + image)


def icon_image(canvas):
    """One image of an icon file: header (double height), BGRA pixels and the AND mask, bottom-up."""
    size = canvas.width
    pixels = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        row_mask = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = canvas.pixels[y][x]
            alpha = round(a * 255)
            pixels += bytes((round(b), round(g), round(r), alpha))
            if alpha < 128:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def write_ico(path, canvases):
    images = [icon_image(c) for c in canvases]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for canvas, image in zip(canvases, images):
        entries += struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(directory + entries + b"".join(images))


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_art.py OUTPUT_FOLDER\n")
        return 2
    folder = argv[1]
    os.makedirs(folder, exist_ok=True)
    write_ico(os.path.join(folder, "corvane.ico"), [draw_icon(16), draw_icon(32)])
    write_bmp(os.path.join(folder, "logo.bmp"), draw_logo())
    for name, draw in TOOLS:
        write_ico(os.path.join(folder, "tool_%s.ico" % name), [draw_tool(draw)])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
