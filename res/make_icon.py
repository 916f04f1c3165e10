#!/usr/bin/env python3
"""Draws the program's icon, a small white cloud over a blue disc, and writes it as a Windows
.ico file with nine images: 48, 32, 24 and 16 pixels at 8 bits per pixel, and 128, 48, 32, 24
and 16 pixels at 32 bits per pixel (with alpha). Usage: make_icon.py OUTPUT.ico"""

import math
import struct
import sys

SUPERSAMPLE = 4


def coverage_and_colour(x, y):
    """Colour (r, g, b, a) of the picture at (x, y) in the unit square, y pointing down."""
    # Background disc: a sky-blue badge with a darker rim.
    dx, dy = x - 0.5, y - 0.5
    r = math.hypot(dx, dy)
    if r > 0.48:
        return (0, 0, 0, 0)
    shade = 0.75 + 0.25 * (1 - y)
    colour = (int(40 * shade), int(120 * shade), int(215 * shade), 255)
    if r > 0.44:
        colour = (20, 60, 140, 255)
    # Cloud: three puffs and a flat base.
    puffs = [(0.36, 0.55, 0.14), (0.52, 0.45, 0.18), (0.68, 0.56, 0.12)]
    # Depth of the point inside the cloud: the largest depth inside any of its shapes.
    depths = [cr - math.hypot(x - cx, y - cy) for cx, cy, cr in puffs]
    depths.append(min(x - 0.24, 0.78 - x, y - 0.55, 0.68 - y))
    depth = min(max(depths), 0.68 - y)
    if depth > 0:
        grey = 240 if depth > 0.025 else 170
        colour = (grey, grey, 255, 255)
    return colour


def render(size):
    """Supersampled RGBA rows, top row first."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    c = coverage_and_colour(
                        (px + (sx + 0.5) / SUPERSAMPLE) / size,
                        (py + (sy + 0.5) / SUPERSAMPLE) / size,
                    )
                    for i in range(3):
                        acc[i] += c[i] * c[3]
                    acc[3] += c[3]
            n = SUPERSAMPLE * SUPERSAMPLE
            a = acc[3] / n
            if acc[3]:
                rgb = [int(acc[i] / acc[3]) for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[0], rgb[1], rgb[2], int(round(a))))
        rows.append(row)
    return rows


def palette():
    """A 6x7x6 colour cube plus greys: 252 + 4 entries."""
    entries = []
    for r in range(6):
        for g in range(7):
            for b in range(6):
                entries.append((r * 51, int(g * 42.5), b * 51))
    while len(entries) < 256:
        v = 64 * (len(entries) - 252)
        entries.append((v, v, v))
    return entries


def nearest(pal, rgb, cache={}):
    if rgb not in cache:
        cache[rgb] = min(
            range(len(pal)),
            key=lambda i: sum((pal[i][k] - rgb[k]) ** 2 for k in range(3)),
        )
    return cache[rgb]


def mask_bytes(rows, size):
    """1-bit AND mask, bottom row first, rows padded to 4 bytes; 1 = transparent."""
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bits
    return bytes(out)


def dib(rows, size, bpp):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, 0, 0)
    body = bytearray()
    if bpp == 32:
        for row in reversed(rows):
            for r, g, b, a in row:
                body += bytes((b, g, r, a))
    else:
        pal = palette()
        for r, g, b in pal:
            header += bytes((b, g, r, 0))
        stride = (size + 3) // 4 * 4
        for row in reversed(rows):
            line = bytearray(stride)
            for x, (r, g, b, a) in enumerate(row):
                line[x] = nearest(pal, (r, g, b)) if a >= 128 else 0
            body += line
    return header + bytes(body) + mask_bytes(rows, size)


def main():
    images = [(48, 8), (32, 8), (24, 8), (16, 8), (128, 32), (48, 32), (32, 32), (24, 32), (16, 32)]
    rendered = {}
    blobs = []
    for size, bpp in images:
        if size not in rendered:
            rendered[size] = render(size)
        blobs.append(dib(rendered[size], size, bpp))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bpp), blob in zip(images, blobs):
        colours = 0
        out += struct.pack(
            "<BBBBHHII", size % 256, size % 256, colours, 0, 1, bpp, len(blob), offset
        )
        offset += len(blob)
    for blob in blobs:
        out += blob
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
