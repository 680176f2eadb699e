#!/usr/bin/env python3
"""Draws the Fuelwise icon (a fuel pump on a rounded tile) into app/res/Fuelwise.ico.

The icon is the project's own drawing, made from geometry here so that it can be
regenerated at any size, 32-bit with alpha: its 16, 24, 32 and 48 pixel frames
and the same four at 150 and 200 % (24, 36, 48, 72 and 32, 48, 64, 96), so that
a window at any display scale finds a frame at least as large as it needs.
"""
import struct
import sys
from pathlib import Path


def inside_round_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def pixel(u, v):
    """Colour (r, g, b, a) at unit coordinates u, v in [0, 1)."""
    if not inside_round_rect(u, v, 0.03, 0.03, 0.97, 0.97, 0.18):
        return (0, 0, 0, 0)
    # Tile: a green gradient from top to bottom.
    t = v
    r, g, b = int(60 + 20 * t), int(170 - 60 * t), int(90 - 30 * t)
    # Pump body.
    if 0.22 <= u <= 0.58 and 0.20 <= v <= 0.84:
        if 0.29 <= u <= 0.51 and 0.28 <= v <= 0.44:
            return (220, 240, 255, 255)  # the price window
        return (250, 250, 245, 255)
    # Base.
    if 0.16 <= u <= 0.64 and 0.84 < v <= 0.90:
        return (250, 250, 245, 255)
    # Hose: out of the body's side, down and up to the nozzle.
    if 0.58 < u <= 0.72 and 0.30 <= v <= 0.36:
        return (40, 40, 40, 255)
    if 0.70 <= u <= 0.76 and 0.30 <= v <= 0.70:
        return (40, 40, 40, 255)
    if 0.76 < u <= 0.84 and 0.64 <= v <= 0.70:
        return (40, 40, 40, 255)
    # A fuel drop in the corner.
    du, dv = u - 0.80, v - 0.20
    if du * du + (dv * 1.2) ** 2 <= 0.006 or (abs(du) < 0.06 - (0.20 - v) * 0.6 and 0.10 <= v < 0.20):
        return (255, 200, 40, 255)
    return (r, g, b, 255)


def supersample(pixel, size, samples=4, x0=0, y0=0, full=None):
    """RGBA rows of `pixel(u, v)` over a `full`-sized square, from (x0, y0)."""
    full = full or size
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    c = pixel((x0 + x + (sx + 0.5) / samples) / full, (y0 + y + (sy + 0.5) / samples) / full)
                    for i in range(3):
                        acc[i] += c[i] * c[3]
                    acc[3] += c[3]
            n = samples * samples
            if acc[3]:
                row.append(tuple(int(acc[i] / acc[3]) for i in range(3)) + (int(round(acc[3] / n)),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def render(size, samples=4):
    return supersample(pixel, size, samples)


def ico(rows):
    """A one-image .ico file of square RGBA rows: 32-bit pixels and the AND mask."""
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    image = header + pixels + bytes(mask)
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32,
                                                      len(image), 22) + image


def bmp_entry(size):
    image = ico(render(size))
    return image[22:]  # the image without its one-entry directory


def scaled(pixels, percent):
    """What is `pixels` at 100 %, at `percent`: rounded half away from zero, as
    the program scales every 96-dpi pixel quantity (MulDiv)."""
    return (pixels * percent + 50) // 100


SIZES = [16, 24, 32, 48]
SCALES = [100, 150, 200]


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2] / 'app/res/Fuelwise.ico'
    sizes = sorted({scaled(s, p) for s in SIZES for p in SCALES})
    images = [bmp_entry(s) for s in sizes]
    data = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        data += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    out.write_bytes(data + b''.join(images))


if __name__ == '__main__':
    main()
