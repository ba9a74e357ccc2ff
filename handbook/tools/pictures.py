"""The handbook's illustrations, drawn as 240 x 240 one-bit pictures.

The array is row-major, 30 bytes a row, the least significant bit of a byte
is its leftmost pixel and a set bit is ink.
"""

import base64
import math

SIZE = 240


class Canvas:
    def __init__(self):
        self.bits = bytearray(SIZE * SIZE // 8)

    def dot(self, x, y, pen=1):
        for dx in range(-(pen // 2), pen - pen // 2):
            for dy in range(-(pen // 2), pen - pen // 2):
                px, py = round(x) + dx, round(y) + dy
                if 0 <= px < SIZE and 0 <= py < SIZE:
                    self.bits[py * 30 + px // 8] |= 1 << (px % 8)

    def line(self, x0, y0, x1, y1, pen=2, dash=0):
        steps = max(1, int(max(abs(x1 - x0), abs(y1 - y0))))
        for i in range(steps + 1):
            if dash and (i // dash) % 2:
                continue
            t = i / steps
            self.dot(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, pen)

    def circle(self, cx, cy, r, pen=2, start=0.0, end=360.0):
        steps = max(8, int(abs(end - start) / 360 * 2 * math.pi * r * 2))
        for i in range(steps + 1):
            a = math.radians(start + (end - start) * i / steps)
            self.dot(cx + r * math.cos(a), cy - r * math.sin(a), pen)

    def disc(self, cx, cy, r):
        for y in range(int(cy - r), int(cy + r) + 1):
            for x in range(int(cx - r), int(cx + r) + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.dot(x, y)

    def arrow(self, x0, y0, x1, y1, pen=2):
        self.line(x0, y0, x1, y1, pen)
        a = math.atan2(y1 - y0, x1 - x0)
        for side in (-1, 1):
            b = a + math.pi - side * 0.4
            self.line(x1, y1, x1 + 12 * math.cos(b), y1 + 12 * math.sin(b), pen)

    def hatch(self, x0, x1, y, down=True):
        self.line(x0, y, x1, y, 2)
        for x in range(int(x0), int(x1), 8):
            self.line(x, y, x - 6, y + (6 if down else -6), 1)


def inclined_plane():
    c = Canvas()
    c.hatch(15, 225, 200)
    c.line(30, 200, 210, 200, 2)
    c.line(210, 200, 210, 80, 2)
    c.line(30, 200, 210, 80, 2)
    c.circle(30, 200, 40, 1, 0, math.degrees(math.atan2(120, 180)))
    # The block on the slope, its weight and the normal reaction.
    a = math.atan2(120, 180)
    ux, uy = math.cos(a), -math.sin(a)
    nx, ny = -uy, ux
    bx, by = 120, 140
    corners = [(bx, by), (bx + 40 * ux, by + 40 * uy), (bx + 40 * ux - 28 * nx, by + 40 * uy - 28 * ny),
               (bx - 28 * nx, by - 28 * ny)]
    for (x0, y0), (x1, y1) in zip(corners, corners[1:] + corners[:1]):
        c.line(x0, y0, x1, y1, 2)
    mx, my = bx + 20 * ux - 14 * nx, by + 20 * uy - 14 * ny
    c.arrow(mx, my, mx, my + 60)
    c.arrow(mx, my, mx - 50 * nx, my - 50 * ny)
    c.arrow(mx, my, mx - 45 * ux, my - 45 * uy)
    return c


def pendulum():
    c = Canvas()
    c.hatch(70, 170, 30, down=False)
    c.line(120, 30, 120, 210, 1, dash=6)
    a = math.radians(25)
    x, y = 120 + 150 * math.sin(a), 30 + 150 * math.cos(a)
    c.line(120, 30, x, y, 2)
    c.disc(x, y, 12)
    c.circle(120, 30, 60, 1, -90, -90 + 25)
    c.circle(120, 30, 150, 1, -90 - 28, -90 + 28)
    c.arrow(x, y, x, y + 45)
    return c


def thin_lens():
    c = Canvas()
    c.line(10, 130, 230, 130, 1)
    c.line(120, 40, 120, 220, 2)
    c.arrow(120, 60, 120, 40)
    c.arrow(120, 200, 120, 220)
    c.line(120, 40, 112, 52, 2)
    c.line(120, 220, 128, 208, 2)
    for fx in (70, 170):
        c.disc(fx, 130, 3)
    # The object, its image and the two rays that find the image.
    c.arrow(20, 130, 20, 90)
    ix, iy = 220, 170
    c.arrow(ix, 130, ix, iy)
    c.line(20, 90, 120, 90, 1)
    c.line(120, 90, ix, iy, 1)
    c.line(20, 90, ix, iy, 1)
    return c


def beam():
    c = Canvas()
    c.line(20, 140, 220, 140, 3)
    c.line(20, 148, 220, 148, 3)
    for x in (30, 210):
        c.line(x, 150, x - 14, 176, 2)
        c.line(x, 150, x + 14, 176, 2)
        c.line(x - 18, 176, x + 18, 176, 2)
    for x in (200, 218):
        c.disc(x, 182, 4)
    c.hatch(12, 50, 180)
    c.hatch(190, 230, 190)
    # The uniform load drawn as a row of arrows over the span.
    c.line(30, 80, 210, 80, 2)
    for x in range(30, 211, 20):
        c.arrow(x, 80, x, 136)
    c.line(30, 205, 210, 205, 1)
    c.arrow(120, 205, 30, 205, 1)
    c.arrow(120, 205, 210, 205, 1)
    return c


DRAWINGS = {"наклонная плоскость": inclined_plane, "маятник": pendulum, "линза": thin_lens, "балка": beam}


def encode(name):
    bits = DRAWINGS[name]().bits
    assert len(bits) == 7200
    return base64.b64encode(bytes(bits)).decode("ascii")
