#!/usr/bin/env python3
"""Draws the pictures of the program's windows into app/res/ from geometry here:

- refresh.ico: the refresh button's 32 x 32 picture (two arrows round a circle),
  32-bit with alpha, on white where it is not drawn (the button's mask colour);
- status-credit.bmp, status-date.bmp: the status bar's 16 x 16 panel icons,
  24 bits per pixel on white: the bar leaves out the pixels of its own back
  colour (white in the main window), not those of the panels' mask colour,
  so nothing drawn may be pure white;
- msgbox-1.ico ... msgbox-9.ico: the message box's picture, a 48 x 48 warning
  sign cut into nine 16 x 16 tiles, left to right, then top to bottom;
- about.ico: the about window's 64 x 64 product picture (the program's icon).

Each is drawn again for 150 and 200 % display scales, at its size scaled the
way the program scales a pixel (make_icon.scaled), into NAME@150 and NAME@200
(refresh@150.ico is 48 x 48, msgbox-1@200.ico 32 x 32, ...); the program
compiles them in as the resources NAME_150 and NAME_200 and draws from the
nearest one not smaller than it needs. The 100 % files stay as they were.

Run it here to remake them; the files are committed and compiled in.
"""
import math
import struct
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_icon  # noqa: E402

RES = Path(__file__).resolve().parents[2] / 'app/res'


def bmp24(rows, background):
    """A bottom-up 24-bit BMP; transparent pixels take `background`."""
    size = len(rows)
    stride = (size * 3 + 3) // 4 * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b, a in row:
            t = a / 255
            r, g, b = (round(c * t + bc * (1 - t)) for c, bc in zip((r, g, b), background))
            line += bytes((b, g, r))
        data += line + bytes(stride - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, size, size, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def refresh(u, v):
    """Two green arrows chasing each other round a circle."""
    du, dv = u - 0.5, v - 0.5
    r = math.hypot(du, dv)
    angle = math.degrees(math.atan2(dv, du)) % 360
    green = (30, 140, 60, 255)
    # The ring, broken where the arrow heads sit.
    if 0.26 <= r <= 0.38 and not (330 <= angle or angle < 20) and not (150 <= angle < 200):
        return green
    # Arrow heads: triangles at 0 and 180 degrees, pointing down and up.
    for cx, cy, down in ((0.82, 0.46, True), (0.18, 0.54, False)):
        x, y = u - cx, (v - cy) if down else (cy - v)
        if -0.02 <= y <= 0.16 and abs(x) <= 0.16 - y:
            return green
    return (0, 0, 0, 0)


def credit(u, v):
    """A person: a head over shoulders, in blue."""
    blue = (40, 90, 170, 255)
    if (u - 0.5) ** 2 + (v - 0.32) ** 2 <= 0.035:
        return blue
    if v >= 0.62 and (u - 0.5) ** 2 + ((v - 1.05) * 0.9) ** 2 <= 0.16:
        return blue
    return (0, 0, 0, 0)


def date(u, v):
    """A calendar leaf: a red band over a white page with a grid of days."""
    if not (0.1 <= u <= 0.9 and 0.12 <= v <= 0.92):
        return (0, 0, 0, 0)
    if u < 0.16 or u > 0.84 or v > 0.86:
        return (90, 90, 90, 255)
    if v < 0.36:
        return (200, 40, 40, 255)
    for gx in (0.30, 0.50, 0.70):
        for gy in (0.50, 0.70):
            if abs(u - gx) <= 0.06 and abs(v - gy) <= 0.05:
                return (90, 90, 90, 255)
    return (250, 250, 250, 255)


def warning(u, v):
    """A yellow warning triangle with a black exclamation mark."""
    top, bottom = 0.06, 0.92
    if v < top or v > bottom:
        return (0, 0, 0, 0)
    half = (v - top) / (bottom - top) * 0.46
    if abs(u - 0.5) > half:
        return (0, 0, 0, 0)
    if abs(u - 0.5) > half - 0.05 or v > bottom - 0.05:
        return (150, 110, 0, 255)
    if abs(u - 0.5) <= 0.045 and (0.34 <= v <= 0.66 or 0.74 <= v <= 0.82):
        return (20, 20, 20, 255)
    return (255, 205, 40, 255)


def variant(name, percent):
    stem, ext = name.rsplit('.', 1)
    return name if percent == 100 else f'{stem}@{percent}.{ext}'


def main():
    for p in make_icon.SCALES:
        def px(n):
            return make_icon.scaled(n, p)

        (RES / variant('refresh.ico', p)).write_bytes(make_icon.ico(make_icon.supersample(refresh, px(32))))
        (RES / variant('status-credit.bmp', p)).write_bytes(
            bmp24(make_icon.supersample(credit, px(16)), (255, 255, 255)))
        (RES / variant('status-date.bmp', p)).write_bytes(
            bmp24(make_icon.supersample(date, px(16)), (255, 255, 255)))
        tile = px(16)
        for k in range(9):
            rows = make_icon.supersample(warning, tile, x0=tile * (k % 3), y0=tile * (k // 3), full=3 * tile)
            (RES / variant(f'msgbox-{k + 1}.ico', p)).write_bytes(make_icon.ico(rows))
        (RES / variant('about.ico', p)).write_bytes(make_icon.ico(make_icon.render(px(64))))


if __name__ == '__main__':
    main()
