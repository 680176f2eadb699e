#!/usr/bin/env python3
"""Draws the image combo box's four drop-button pictures, 17 x 17 pixels, as
24-bit BMP files: normal, hot (mouse over), pressed and disabled. Run it here to
remake them; the BMP files are committed and compiled in through JCombo.rc.

Each look is drawn again for 150 and 200 % display scales (button-normal@150.bmp,
26 x 26; @200, 34 x 34): every pixel quantity scaled the way the program
scales one, rounded half away from zero (MulDiv), so the border is 2 pixels
there and the arrow keeps its shape. The 100 % files stay as they were."""
import struct

SIZE = 17
SCALES = [100, 150, 200]


def scaled(pixels, percent):
    return (pixels * percent + 50) // 100


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


def draw(look, percent=100):
    size = scaled(SIZE, percent)
    line = scaled(1, percent)
    top, bottom = rgb(look["top"]), rgb(look["bottom"])
    border, arrow = rgb(look["border"]), rgb(look["arrow"])
    px = [[blend(top, bottom, y / (size - 1)) for _ in range(size)] for y in range(size)]
    for i in range(size):
        for t in range(line):
            px[t][i] = px[size - 1 - t][i] = px[i][t] = px[i][size - 1 - t] = border
    # A downward arrow 7 pixels wide and 4 high, centred; pressed moves it one
    # pixel down and right.
    s = scaled(look["shift"], percent)
    width = scaled(7, percent)
    left = (size - width) // 2
    for row in range((width + 1) // 2):
        y = scaled(7, percent) + row + s
        for x in range(left + row + s, left + width - row + s):
            px[y][x] = arrow
    return px


def write_bmp(path, px):
    size = len(px)
    stride = (size * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(px):  # bottom-up rows
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + bytes(stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


for name, look in LOOKS.items():
    for percent in SCALES:
        suffix = "" if percent == 100 else f"@{percent}"
        write_bmp(f"button-{name}{suffix}.bmp", draw(look, percent))
