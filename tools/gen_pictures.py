#!/usr/bin/env python3
"""Draws the demo pictures of the program folder (data/imgs/): the two logos
of the main window, the two small logos of the report headings, and a line
drawing per demo family and per version that looks different. Run by hand
after a change; its output is checked in.

    python3 tools/gen_pictures.py [output folder]

Plain Python: the pictures are drawn at twice their size, averaged down and
written as 24-bit BMP files; the product pictures are then turned into JPEG
by ImageMagick's `convert` (needed only here, never by the build).
"""
import math
import os
import struct
import subprocess
import sys

WHITE = (255, 255, 255)
INK = (52, 62, 74)          # outlines
PANEL = (226, 231, 236)     # cabinet sides
FRONT = (242, 245, 248)     # cabinet fronts
GRILLE = (150, 160, 170)
METAL = (200, 206, 212)
COIL = (196, 120, 84)       # copper of the coil
BLUE = (38, 104, 168)       # the firm's colour
RED = (196, 58, 48)         # the dealer's colour
SHADOW = (232, 234, 236)


class Canvas:
    def __init__(self, w, h, bg=WHITE, scale=2):
        self.s = scale
        self.w, self.h = w * scale, h * scale
        self.px = [list(bg) * self.w for _ in range(self.h)]

    def _put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            row = self.px[y]
            row[3 * x:3 * x + 3] = c

    def rect(self, x0, y0, x1, y1, c):
        """Filled, in output pixels (corners included, end exclusive)."""
        s = self.s
        xa, xb = max(0, int(x0 * s)), min(self.w, int(x1 * s))
        ya, yb = max(0, int(y0 * s)), min(self.h, int(y1 * s))
        if xb <= xa:
            return
        span = list(c) * (xb - xa)
        for y in range(ya, yb):
            self.px[y][3 * xa:3 * xb] = span

    def frame(self, x0, y0, x1, y1, c=INK, t=2):
        self.rect(x0, y0, x1, y0 + t, c)
        self.rect(x0, y1 - t, x1, y1, c)
        self.rect(x0, y0, x0 + t, y1, c)
        self.rect(x1 - t, y0, x1, y1, c)

    def box(self, x0, y0, x1, y1, fill, c=INK, t=2):
        self.rect(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, c, t)

    def line(self, x0, y0, x1, y1, c=INK, t=2):
        s = self.s
        x0, y0, x1, y1 = x0 * s, y0 * s, x1 * s, y1 * s
        n = int(max(abs(x1 - x0), abs(y1 - y0))) + 1
        r = t * s / 2
        for i in range(n + 1):
            x = x0 + (x1 - x0) * i / n
            y = y0 + (y1 - y0) * i / n
            for yy in range(int(y - r), int(y + r) + 1):
                for xx in range(int(x - r), int(x + r) + 1):
                    self._put(xx, yy, c)

    def poly(self, pts, fill, c=INK, t=2):
        s = self.s
        sp = [(x * s, y * s) for x, y in pts]
        ys = [p[1] for p in sp]
        for y in range(max(0, int(min(ys))), min(self.h, int(max(ys)) + 1)):
            xs = []
            for i in range(len(sp)):
                (xa, ya), (xb, yb) = sp[i], sp[(i + 1) % len(sp)]
                if (ya <= y < yb) or (yb <= y < ya):
                    xs.append(xa + (y - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for k in range(0, len(xs) - 1, 2):
                for x in range(int(xs[k]), int(xs[k + 1]) + 1):
                    self._put(x, y, fill)
        if c is not None:
            for i in range(len(pts)):
                self.line(*pts[i], *pts[(i + 1) % len(pts)], c, t)

    def circle(self, cx, cy, r, fill=None, c=INK, t=2):
        s = self.s
        cx, cy, r = cx * s, cy * s, r * s
        tt = t * s
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if c is not None and r - tt <= d <= r:
                    self._put(x, y, c)
                elif fill is not None and d < r - (tt if c is not None else 0):
                    self._put(x, y, fill)

    def text(self, x, y, s, c=INK, size=3):
        """Capitals, digits and a few signs in a 5 by 7 cell font."""
        for ch in s:
            rows = FONT.get(ch.upper(), FONT[' '])
            for j, bits in enumerate(rows):
                for i in range(5):
                    if bits & (1 << (4 - i)):
                        self.rect(x + i * size, y + j * size, x + (i + 1) * size, y + (j + 1) * size, c)
            x += 6 * size

    def image(self):
        """Averaged down to output pixels: rows of (r, g, b)."""
        s = self.s
        out = []
        for y in range(0, self.h, s):
            row = []
            for x in range(0, self.w, s):
                acc = [0, 0, 0]
                for dy in range(s):
                    r = self.px[y + dy]
                    for dx in range(s):
                        k = 3 * (x + dx)
                        acc[0] += r[k]
                        acc[1] += r[k + 1]
                        acc[2] += r[k + 2]
                row.append(tuple(v // (s * s) for v in acc))
            out.append(row)
        return out


FONT = {
    ' ': [0] * 7,
    'A': [14, 17, 17, 31, 17, 17, 17], 'C': [14, 17, 16, 16, 16, 17, 14], 'D': [30, 17, 17, 17, 17, 17, 30],
    'E': [31, 16, 16, 30, 16, 16, 31], 'F': [31, 16, 16, 30, 16, 16, 16], 'I': [14, 4, 4, 4, 4, 4, 14],
    'L': [16, 16, 16, 16, 16, 16, 31], 'M': [17, 27, 21, 21, 17, 17, 17], 'N': [17, 25, 21, 19, 17, 17, 17],
    'O': [14, 17, 17, 17, 17, 17, 14], 'P': [30, 17, 17, 30, 16, 16, 16], 'R': [30, 17, 17, 30, 20, 18, 17],
    'S': [15, 16, 16, 14, 1, 1, 30], 'T': [31, 4, 4, 4, 4, 4, 4], 'U': [17, 17, 17, 17, 17, 17, 14],
    'Y': [17, 17, 10, 4, 4, 4, 4], '.': [0, 0, 0, 0, 0, 12, 12], '-': [0, 0, 0, 31, 0, 0, 0],
    '7': [31, 1, 2, 4, 8, 8, 8],
}


def write_bmp(path, rows):
    h, w = len(rows), len(rows[0])
    pad = (4 - (w * 3) % 4) % 4
    data = bytearray()
    for row in reversed(rows):
        for r, g, b in row:
            data += bytes((b, g, r))
        data += b'\0' * pad
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


# ---------------------------------------------------------------------------
# Logos

def fan_mark(cv, cx, cy, r, colour):
    cv.circle(cx, cy, r, fill=WHITE, c=colour, t=max(2, r // 8))
    # Five swept blades: from the hub out along a curve to the tip, back in.
    for k in range(5):
        a = k * 2 * math.pi / 5
        pts = []
        for j in range(6):
            f = j / 5
            b = a + 0.9 * f * f
            rr = r * (0.2 + 0.6 * f)
            pts.append((cx + rr * math.cos(b), cy + rr * math.sin(b)))
        for j in range(5, -1, -1):
            f = j / 5
            b = a + 0.9 * f * f + 0.55 * (1 - f) + 0.15
            rr = r * (0.2 + 0.6 * f)
            pts.append((cx + rr * math.cos(b), cy + rr * math.sin(b)))
        cv.poly(pts, colour, c=None)
    cv.circle(cx, cy, r * 0.2, fill=colour, c=None)


def logo_firm(w, h, size):
    cv = Canvas(w, h)
    r = h * 0.36
    fan_mark(cv, h * 0.5, h * 0.5, r, BLUE)
    x = h * 0.5 + r + 5
    cv.text(x, h * 0.5 - 9 * size, 'DEMO', BLUE, size)
    cv.text(x, h * 0.5 + size, 'FAN COIL', INK, size)
    return cv.image()


def logo_dealer(w, h, size):
    cv = Canvas(w, h)
    # A drop above a flame-coloured bar: water and heat.
    d = h * 0.3
    cv.poly([(d, h * 0.14), (d - h * 0.2, h * 0.52), (d, h * 0.74), (d + h * 0.2, h * 0.52)], RED, c=None)
    cv.circle(d, h * 0.55, h * 0.2, fill=RED, c=None)
    x = h * 0.6
    cv.text(x, h * 0.5 - 9 * size, 'TERMOTECNICA', RED, size)
    cv.text(x, h * 0.5 + size, 'ESEMPIO', INK, size)
    return cv.image()


# ---------------------------------------------------------------------------
# Products (400 by 300)

W, H = 400, 300


def floor_shadow(cv, x0, x1, y):
    cv.rect(x0 - 10, y, x1 + 10, y + 8, SHADOW)


def slats(cv, x0, y0, x1, y1, n, vertical=False):
    cv.box(x0, y0, x1, y1, METAL)
    for i in range(1, n):
        if vertical:
            x = x0 + (x1 - x0) * i / n
            cv.line(x, y0 + 3, x, y1 - 3, GRILLE, 2)
        else:
            y = y0 + (y1 - y0) * i / n
            cv.line(x0 + 3, y, x1 - 3, y, GRILLE, 2)


def cabinet_vertical():
    cv = Canvas(W, H)
    x0, y0, x1, y1, d = 90, 60, 290, 250, 26
    floor_shadow(cv, x0, x1 + d, y1)
    cv.poly([(x1, y0), (x1 + d, y0 - 18), (x1 + d, y1 - 18), (x1, y1)], PANEL)
    cv.poly([(x0, y0), (x0 + d, y0 - 18), (x1 + d, y0 - 18), (x1, y0)], PANEL)
    slats(cv, x0 + 16, y0 - 13, x1 - 4, y0 - 4, 1)
    for i in range(1, 12):
        x = x0 + 20 + (x1 - x0 - 20) * i / 12
        cv.line(x, y0 - 12, x + 5, y0 - 5, GRILLE, 2)
    cv.box(x0, y0, x1, y1, FRONT)
    slats(cv, x0 + 18, y1 - 70, x1 - 18, y1 - 16, 6)
    cv.box(x1 - 46, y0 + 14, x1 - 16, y0 + 30, WHITE)   # controls
    cv.circle(x1 - 38, y0 + 22, 4, fill=BLUE, c=None)
    cv.rect(x0 + 8, y1, x0 + 22, y1 + 8, INK)             # feet
    cv.rect(x1 - 22, y1, x1 - 8, y1 + 8, INK)
    return cv


def cabinet_ceiling():
    cv = Canvas(W, H)
    cv.rect(0, 30, W, 36, GRILLE)                          # ceiling
    x0, y0, x1, y1, d = 60, 96, 300, 176, 34
    for x in (x0 + 30, x1 - 30):
        cv.line(x, 36, x, y0, INK, 2)                      # hangers
    cv.poly([(x1, y0), (x1 + d, y0 - 22), (x1 + d, y1 - 22), (x1, y1)], PANEL)
    cv.poly([(x0, y0), (x0 + d, y0 - 22), (x1 + d, y0 - 22), (x1, y0)], PANEL)
    cv.box(x0, y0, x1, y1, FRONT)
    slats(cv, x0 + 14, y0 + 12, x0 + 120, y1 - 12, 5)     # supply, to the room
    slats(cv, x0 + 136, y0 + 12, x1 - 14, y1 - 12, 5, vertical=True)
    for i in range(3):                                     # air throw
        y = 200 + i * 18
        cv.line(x0 + 30, y, x0 + 110, y + 10, BLUE, 2)
        cv.line(x0 + 110, y + 10, x0 + 100, y + 2, BLUE, 2)
        cv.line(x0 + 110, y + 10, x0 + 98, y + 14, BLUE, 2)
    return cv


def chassis_builtin():
    cv = Canvas(W, H)
    x0, y0, x1, y1 = 70, 60, 330, 250
    floor_shadow(cv, x0, x1, y1)
    cv.box(x0, y0, x1, y1, PANEL)
    # The coil: fins and copper bends.
    cv.box(x0 + 20, y0 + 18, x1 - 20, y0 + 84, WHITE)
    for i in range(1, 40):
        x = x0 + 20 + (x1 - x0 - 40) * i / 40
        cv.line(x, y0 + 20, x, y0 + 82, METAL, 1)
    for k in range(3):
        cv.circle(x1 - 14, y0 + 30 + 20 * k, 7, fill=None, c=COIL, t=3)
    # Two fan scrolls and the motor.
    for cx in (x0 + 80, x1 - 80):
        cv.circle(cx, y1 - 60, 38, fill=FRONT)
        cv.circle(cx, y1 - 60, 24, fill=None, c=GRILLE, t=2)
    cv.box(x0 + 118, y1 - 74, x1 - 118, y1 - 46, METAL)
    cv.box(x0 + 40, y0 - 20, x1 - 40, y0, METAL)          # duct collar
    return cv


def ducted(plenum=False, filters=False):
    cv = Canvas(W, H)
    x0, y0, x1, y1, d = 90, 110, 300, 210, 46
    if filters:
        x0 += 40
    if plenum:
        x0, x1 = x0 - 40, x1 - 40
    floor_shadow(cv, x0, x1 + d, y1)
    cv.poly([(x0, y0), (x0 + d, y0 - 30), (x1 + d, y0 - 30), (x1, y0)], PANEL)
    cv.poly([(x1, y0), (x1 + d, y0 - 30), (x1 + d, y1 - 30), (x1, y1)], FRONT)
    cv.box(x0, y0, x1, y1, PANEL)
    cv.frame(x0 - 6, y0 - 6, x0 + 6, y1 + 6)              # duct flange, intake
    cv.box(x1 + 6, y0 - 18, x1 + d - 6, y1 - 40, METAL)   # supply opening
    cv.box(x0 + 40, y0 + 20, x0 + 110, y1 - 20, FRONT)    # access panel
    for p in ((x0 + 46, y0 + 26), (x0 + 104, y0 + 26), (x0 + 46, y1 - 26), (x0 + 104, y1 - 26)):
        cv.circle(p[0], p[1], 3, fill=INK, c=None)
    cv.box(x1 - 70, y1 - 34, x1 - 20, y1 - 14, WHITE)     # electrical box
    if plenum:
        cv.box(x1 + d, y0 - 40, x1 + d + 50, y1 - 20, PANEL)
        for k in range(2):
            cy = y0 - 10 + 50 * k
            cv.circle(x1 + d + 50, cy + 10, 14, fill=METAL)
    if filters:
        cv.box(x0 - 90, y0 + 4, x0 - 6, y1 - 4, FRONT)
        for i in range(1, 10):
            x = x0 - 90 + 84 * i / 10
            cv.line(x, y0 + 10, x + 4, y1 - 10, GRILLE, 2)
        cv.text(x0 - 74, y1 + 14, 'F7', INK, 3)
    return cv


def unit_heater(vertical=False):
    cv = Canvas(W, H)
    if vertical:
        cv.rect(0, 30, W, 36, GRILLE)
        cv.line(200, 36, 200, 80, INK, 3)
        cv.poly([(120, 80), (280, 80), (300, 150), (100, 150)], PANEL)
        cv.box(100, 150, 300, 176, FRONT)
        for k in range(4):
            r = 90 - 18 * k
            cv.line(200 - r, 190 + 10 * k, 200 + r, 190 + 10 * k, GRILLE, 3)
        for dx in (-60, 0, 60):
            cv.line(200 + dx, 236, 200 + dx * 1.3, 276, RED, 2)
        return cv
    x0, y0, x1, y1 = 110, 60, 290, 240
    cv.rect(x0 - 40, y0 - 40, x0 - 30, y1 + 20, GRILLE)   # wall
    cv.box(x0 - 30, y0 + 60, x0, y0 + 80, METAL)          # bracket
    cv.poly([(x1, y0), (x1 + 24, y0 - 16), (x1 + 24, y1 - 16), (x1, y1)], PANEL)
    cv.poly([(x0, y0), (x0 + 24, y0 - 16), (x1 + 24, y0 - 16), (x1, y0)], PANEL)
    cv.box(x0, y0, x1, y1, FRONT)
    for i in range(1, 9):                                  # louvres
        y = y0 + (y1 - y0) * i / 9
        cv.line(x0 + 10, y, x1 - 10, y + 4, GRILLE, 3)
    for i in range(3):
        y = y0 + 40 + i * 50
        cv.line(x1 + 36, y, x1 + 86, y, RED, 2)
        cv.line(x1 + 86, y, x1 + 76, y - 6, RED, 2)
        cv.line(x1 + 86, y, x1 + 76, y + 6, RED, 2)
    return cv


def ventilation_box(wall=False):
    cv = Canvas(W, H)
    if wall:
        x0, y0, x1, y1 = 140, 40, 260, 260
        cv.rect(x0 - 30, 20, x0 - 20, 280, GRILLE)
        cv.box(x0, y0, x1, y1, PANEL)
        for cy in (y0, y1):
            cv.box(170, cy - 14 if cy == y0 else cy, 230, cy if cy == y0 else cy + 14, METAL)
        cv.circle(200, 150, 40, fill=FRONT)
        cv.circle(200, 150, 12, fill=METAL)
        cv.box(x0 + 16, y1 - 48, x0 + 60, y1 - 20, WHITE)
        return cv
    x0, y0, x1, y1, d = 100, 110, 300, 200, 40
    cv.rect(0, 30, W, 36, GRILLE)
    for x in (x0 + 20, x1 - 20):
        cv.line(x, 36, x, y0 - 26, INK, 2)
    cv.poly([(x0, y0), (x0 + d, y0 - 26), (x1 + d, y0 - 26), (x1, y0)], PANEL)
    cv.poly([(x1, y0), (x1 + d, y0 - 26), (x1 + d, y1 - 26), (x1, y1)], FRONT)
    cv.box(x0, y0, x1, y1, PANEL)
    cv.box(x0 - 30, y0 + 25, x0, y1 - 25, METAL)          # round spigot, side on
    cv.box(x1 + d, y0 + 2, x1 + d + 26, y1 - 46, METAL)
    cv.circle(200, 155, 30, fill=FRONT)
    for k in range(6):
        a = k * math.pi / 3
        cv.line(200, 155, 200 + 24 * math.cos(a), 155 + 24 * math.sin(a), GRILLE, 2)
    return cv


PRODUCTS = {
    'VENTO': cabinet_vertical,                 # its version M has no picture of its own
    'VENTO_MO': cabinet_ceiling,
    'VENTO_I': chassis_builtin,
    'CANAL': ducted,                           # version B
    'CANAL_P': lambda: ducted(plenum=True),
    'CANAL_F7': lambda: ducted(filters=True),
    'AEROTERMO': unit_heater,                  # version O
    'AEROTERMO_V': lambda: unit_heater(vertical=True),
    'RICAMBIO': ventilation_box,               # version H
    'RICAMBIO_W': lambda: ventilation_box(wall=True),
}


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'data', 'imgs')
    os.makedirs(out, exist_ok=True)
    # The main window shows the two logos side by side under the picture.
    write_bmp(os.path.join(out, 'Logo.bmp'), logo_firm(136, 44, 2))
    write_bmp(os.path.join(out, 'Logo1.bmp'), logo_dealer(140, 44, 1.5))
    # The report headings: the firm's and the dealer's.
    write_bmp(os.path.join(out, 'MiniLogo.bmp'), logo_firm(150, 48, 2))
    write_bmp(os.path.join(out, 'MiniLogo1.bmp'), logo_dealer(190, 48, 2))
    for name, draw in PRODUCTS.items():
        bmp = os.path.join(out, name + '.tmp.bmp')
        write_bmp(bmp, draw().image())
        subprocess.run(['convert', bmp, '-quality', '88', '-strip', os.path.join(out, name + '.jpg')], check=True)
        os.remove(bmp)


if __name__ == '__main__':
    main()
