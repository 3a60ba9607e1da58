#!/usr/bin/env python3
"""Draws icon 130 of scanutil: a sheet-fed scanner with a page in its feeder.

Writes scanutil.png (32 x 32, RGBA) beside this script. Shapes are sampled 8 x 8
times per pixel, so edges come out smooth without any imaging library.
Run it again after changing the drawing and commit both files.
"""
import os
import struct
import zlib

SIZE = 32
SUB = 8  # samples per pixel along each axis


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rgb(text, alpha=255):
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4)) + (alpha,)


# Back to front: each shape is painted over the ones before it.
SHAPES = [
    # The feed chute leaning back from the top, with a page in it and its lines of text.
    (polygon([(5.5, 14), (9, 4), (28, 6.5), (26.5, 14)]), rgb("6f8098")),
    (polygon([(6.8, 13.5), (10, 5.1), (26.8, 7.4), (25.5, 13.5)]), rgb("8c9bb0")),
    (polygon([(10, 14), (12.6, 1.5), (24.6, 3.2), (22.6, 14)]), rgb("7a8798")),
    (polygon([(10.9, 14), (13.3, 2.4), (23.7, 3.9), (21.8, 14)]), rgb("ffffff")),
    (polygon([(13.6, 5.0), (21.4, 6.1), (21.25, 7.0), (13.45, 5.9)]), rgb("9aa7b8")),
    (polygon([(13.1, 7.5), (20.9, 8.6), (20.75, 9.5), (12.95, 8.4)]), rgb("9aa7b8")),
    (polygon([(12.6, 10.0), (18.3, 10.8), (18.15, 11.7), (12.45, 10.9)]), rgb("9aa7b8")),
    # The body, its lighter top and the dark feed slot the page goes into.
    (rounded_rect(2.5, 12.5, 29.5, 25.5, 3), rgb("2f3b4c")),
    (rounded_rect(3.5, 13.5, 28.5, 17.5, 2), rgb("56677e")),
    (rounded_rect(8.5, 14.4, 23.5, 15.9, 0.7), rgb("141b24")),
    # The output tray at the front, a scanned page lying on it.
    (polygon([(5, 25), (27, 25), (29.5, 30), (2.5, 30)]), rgb("b9c3cf")),
    (polygon([(9, 25), (23, 25), (24.2, 28.2), (7.8, 28.2)]), rgb("ffffff")),
    # Status lamp and button.
    (circle(24.5, 21.2, 1.7), rgb("3ddc84")),
    (rounded_rect(5.5, 20.2, 11.5, 22.2, 1), rgb("7d8da3")),
]


def render():
    pixels = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SUB):
                for sx in range(SUB):
                    x = px + (sx + 0.5) / SUB
                    y = py + (sy + 0.5) / SUB
                    colour = (0, 0, 0, 0)
                    for inside, paint in SHAPES:
                        if inside(x, y):
                            colour = paint
                    a = colour[3] / 255.0
                    acc[0] += colour[0] * a
                    acc[1] += colour[1] * a
                    acc[2] += colour[2] * a
                    acc[3] += a
            n = SUB * SUB
            alpha = acc[3] / n
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(c / n / alpha) for c in acc[:3]) + (round(alpha * 255),))
        pixels.append(row)
    return pixels


def png(pixels):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


if __name__ == "__main__":
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "scanutil.png")
    with open(out, "wb") as f:
        f.write(png(render()))
