#!/usr/bin/env python3
"""Draws the image combo box's four drop-button pictures, 17 x 17 pixels, as
24-bit BMP files: normal, hot (mouse over), pressed and disabled. Run it here to
remake them; the BMP files are committed and compiled in through JCombo.rc."""
import struct

SIZE = 17


def rgb(hex_value):
    return ((hex_value >> 16) & 0xFF, (hex_value >> 8) & 0xFF, hex_value & 0xFF)


def blend(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


# Colours as RGB. The normal border is the control's own border colour.
LOOKS = {
    "normal":   dict(top=0xF7FAFD, bottom=0xDCE6F2, border=0x7F9DB9, arrow=0x4D6185, shift=0),
    "hot":      dict(top=0xFDFEFF, bottom=0xC6DDF7, border=0x3C7FB1, arrow=0x1F3F7A, shift=0),
    "pressed":  dict(top=0xA9C6EA, bottom=0xC9DCF4, border=0x2C628B, arrow=0x0F2A5A, shift=1),
    "disabled": dict(top=0xF4F4F4, bottom=0xF4F4F4, border=0xC0C0C0, arrow=0xA6A6A6, shift=0),
}


def draw(look):
    top, bottom = rgb(look["top"]), rgb(look["bottom"])
    border, arrow = rgb(look["border"]), rgb(look["arrow"])
    px = [[blend(top, bottom, y / (SIZE - 1)) for _ in range(SIZE)] for y in range(SIZE)]
    for i in range(SIZE):
        px[0][i] = px[SIZE - 1][i] = px[i][0] = px[i][SIZE - 1] = border
    # A downward arrow 7 pixels wide and 4 high, centred; pressed moves it one
    # pixel down and right.
    s = look["shift"]
    for row in range(4):
        y = 7 + row + s
        for x in range(5 + row + s, 12 - row + s):
            px[y][x] = arrow
    return px


def write_bmp(path, px):
    stride = (SIZE * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(px):  # bottom-up rows
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + bytes(stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


for name, look in LOOKS.items():
    write_bmp(f"button-{name}.bmp", draw(look))
