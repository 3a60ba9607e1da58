#!/usr/bin/env python3
"""Draws the icons of errview: the window icon 128 (a warning sign over a page) and
the four illustration buttons 136 to 139 (next, start, previous, stop).

Writes errview.png (32 x 32) and errview_next.png, errview_start.png,
errview_previous.png, errview_stop.png (16 x 16), RGBA, beside this script.
Run it again after changing the drawing and commit the files.
"""
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from scanutil_icon import circle, polygon, rgb, rounded_rect  # noqa: E402

SUB = 8


def render(size, shapes):
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUB):
                for sx in range(SUB):
                    x = px + (sx + 0.5) / SUB
                    y = py + (sy + 0.5) / SUB
                    colour = (0, 0, 0, 0)
                    for inside, paint in shapes:
                        if inside(x, y):
                            colour = paint
                    a = colour[3] / 255.0
                    for i in range(3):
                        acc[i] += colour[i] * a
                    acc[3] += a
            n = SUB * SUB
            alpha = acc[3] / n
            row.append((0, 0, 0, 0) if alpha == 0 else
                       tuple(round(c / n / alpha) for c in acc[:3]) + (round(alpha * 255),))
        pixels.append(row)
    return pixels


def png(size, pixels):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


INK = rgb("2f3b4c")
WINDOW = [
    # A page with lines of text, a warning sign in front of it.
    (rounded_rect(4.5, 2.5, 22.5, 26.5, 1.5), rgb("7a8798")),
    (rounded_rect(5.5, 3.5, 21.5, 25.5, 1), rgb("ffffff")),
    (rounded_rect(8, 7, 19, 8.2, 0.5), rgb("9aa7b8")),
    (rounded_rect(8, 10.5, 19, 11.7, 0.5), rgb("9aa7b8")),
    (rounded_rect(8, 14, 15, 15.2, 0.5), rgb("9aa7b8")),
    (polygon([(20, 9.5), (31, 29.5), (9, 29.5)]), rgb("8a5a00")),
    (polygon([(20, 11.8), (29.2, 28.4), (10.8, 28.4)]), rgb("ffc21a")),
    (rounded_rect(19.0, 16.5, 21.0, 24.0, 0.8), INK),
    (circle(20, 26.2, 1.2), INK),
]
NEXT = [
    (polygon([(3, 2.5), (11, 8), (3, 13.5)]), INK),
    (rounded_rect(11.5, 2.5, 13.5, 13.5, 0.4), INK),
]
PREVIOUS = [
    (polygon([(13, 2.5), (5, 8), (13, 13.5)]), INK),
    (rounded_rect(2.5, 2.5, 4.5, 13.5, 0.4), INK),
]
START = [
    (polygon([(3.5, 1.5), (14, 8), (3.5, 14.5)]), rgb("1e7a3c")),
    (polygon([(5, 4.2), (11.4, 8), (5, 11.8)]), rgb("3ddc84")),
]
STOP = [
    (rounded_rect(2.5, 2.5, 13.5, 13.5, 1.5), rgb("9b1c1c")),
    (rounded_rect(4, 4, 12, 12, 1), rgb("e5484d")),
]

if __name__ == "__main__":
    for name, size, shapes in [("errview.png", 32, WINDOW), ("errview_next.png", 16, NEXT),
                               ("errview_previous.png", 16, PREVIOUS), ("errview_start.png", 16, START),
                               ("errview_stop.png", 16, STOP)]:
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(png(size, render(size, shapes)))
