#!/usr/bin/env python3
"""Draws the demo illustrations of errview as 24-bit bitmaps beside this script:
a paper jam in two steps (jam1.bmp, jam2.bmp), roller cleaning (clean.bmp) and a
general check (general.bmp), each 300 x 200. illust.csv lists them.
Run it again after changing the drawing and commit the files.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "images"))
from scanutil_icon import circle, polygon, rgb, rounded_rect  # noqa: E402

W, H, SUB = 300, 200, 2

BODY = rgb("2f3b4c")
TOP = rgb("56677e")
PAPER = rgb("ffffff")
EDGE = rgb("7a8798")
ARROW = rgb("e5484d")
GREEN = rgb("1e9e55")


def scanner(cover_open):
    shapes = [(rounded_rect(0, 0, W, H, 0), rgb("eef2f6"))]
    if cover_open:
        shapes += [(polygon([(70, 95), (95, 30), (210, 42), (230, 95)]), TOP)]
    shapes += [
        (rounded_rect(50, 95, 250, 160, 10), BODY),
        (rounded_rect(56, 100, 244, 118, 6), TOP),
        (rounded_rect(100, 104, 200, 110, 2), rgb("141b24")),
        (polygon([(70, 158), (230, 158), (250, 182), (50, 182)]), rgb("b9c3cf")),
        (circle(225, 140, 6), rgb("3ddc84")),
    ]
    return shapes


def arrow_up(x, y0, y1):
    return [(rounded_rect(x - 5, y1 + 14, x + 5, y0, 2), ARROW), (polygon([(x - 14, y1 + 16), (x, y1), (x + 14, y1 + 16)]), ARROW)]


def jam1():
    # The cover open, a crumpled sheet showing in the feed path.
    return scanner(True) + [
        (polygon([(120, 60), (175, 52), (185, 100), (118, 104)]), EDGE),
        (polygon([(123, 63), (172, 56), (181, 98), (121, 101)]), PAPER),
    ] + arrow_up(270, 110, 40)


def jam2():
    # The sheet drawn out upwards, the cover still open.
    return scanner(True) + [
        (polygon([(125, 12), (180, 8), (186, 96), (121, 98)]), EDGE),
        (polygon([(128, 15), (177, 11), (183, 94), (124, 95)]), PAPER),
    ] + arrow_up(150, 70, 20)


def clean():
    # The rollers with a cloth passing over them.
    shapes = scanner(True)
    for cx in (120, 180):
        shapes += [(circle(cx, 80, 14), rgb("141b24")), (circle(cx, 80, 8), rgb("56677e"))]
    return shapes + [(polygon([(95, 55), (205, 50), (210, 62), (100, 68)]), GREEN)]


def general():
    return scanner(False) + [(circle(150, 45, 26), ARROW), (rounded_rect(146, 28, 154, 52, 3), PAPER),
                             (circle(150, 60, 4.5), PAPER)]


def render(shapes):
    rows = []
    for py in range(H):
        row = bytearray()
        for px in range(W):
            acc = [0, 0, 0]
            for sy in range(SUB):
                for sx in range(SUB):
                    x, y = px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB
                    colour = (0, 0, 0)
                    for inside, paint in shapes:
                        if inside(x, y):
                            colour = paint
                    for i in range(3):
                        acc[i] += colour[i]
            n = SUB * SUB
            row += bytes((round(acc[2] / n), round(acc[1] / n), round(acc[0] / n)))
        row += b"\0" * ((4 - len(row) % 4) % 4)
        rows.append(bytes(row))
    return rows


def bmp(rows):
    pixels = b"".join(reversed(rows))  # bottom-up
    header = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)) + header + pixels


if __name__ == "__main__":
    for name, drawing in [("jam1.bmp", jam1), ("jam2.bmp", jam2), ("clean.bmp", clean), ("general.bmp", general)]:
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(bmp(render(drawing())))
