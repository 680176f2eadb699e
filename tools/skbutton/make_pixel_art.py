#!/usr/bin/env python3
"""Writes controls/skbutton/PixelMappedArt.cpp: the artwork of the button's
pixel-mapped style (14) as tables.

The edge strips, the centre colours, the corner maps' extents and per-row counts
and the telling rows are the button's given artwork and are listed below as
they stand. The remaining corner pixels are drawn here once: each corner is a
rounded corner of radius 9 whose rings take the colours of the edge strips at
the same depth, blended by angle between the side strip and the top (or bottom)
strip, with the outermost partly covered pixels faded toward white. The output
is data; the painter only copies it.

    python3 tools/skbutton/make_pixel_art.py > controls/skbutton/PixelMappedArt.cpp
"""
import math

LOOKS = ["normal", "hot", "pressed"]
CENTRE = {"normal": 0xEAE7E8, "hot": 0xE2A66A, "pressed": 0xCC9B6A}

# Columns x = 0..17 and x = W-17..W-1, per look.
LEFT = {
    "normal": [0xF7F7F7, 0xA0A0A0, 0x999999, 0xC3C3C3, 0xC9C9C9, 0xD5D5D5, 0xD7D7D7, 0xDFDFDF, 0xE0E0E0,
               0xE0E0E0, 0xE4E4E4, 0xE6E8E6, 0xE8E7E7, 0xEAE7E8, 0xEAE7E8, 0xEAE7E8, 0xEAE7E8, 0xEAE7E8],
    "hot": [0xF7F7F7, 0xB0A09E, 0x712E13, 0xBD5F14, 0xD17327, 0xD47F31, 0xD98C3D, 0xD9944B, 0xD7944F,
            0xDC9C55, 0xDC9B57, 0xE3A362, 0xE3A265, 0xE2A367, 0xE0A165, 0xE3A66A, 0xE3A66A, 0xE2A66A],
    "pressed": [0xF7F7F7, 0xA99D9B, 0x632D17, 0xA65A1D, 0xB96C2E, 0xBC7738, 0xC18242, 0xC2894E, 0xC18A52,
                0xC59157, 0xC59159, 0xCC9863, 0xCC9665, 0xCB9767, 0xC99565, 0xCC9A6A, 0xCC9A6A, 0xCC9B6A],
}
RIGHT = {  # x = W-17 .. W-1
    "normal": [0xEAE7E8, 0xEAE7E8, 0xEAE7E8, 0xEAE7E8, 0xE7E7E7, 0xE6E6E6, 0xE4E4E4, 0xE0E0E0, 0xE0E0E0,
               0xDEDEDE, 0xD9D9D9, 0xD3D3D3, 0xCCCCCC, 0xC3C3C3, 0xA3A3A3, 0x9C9C9C, 0xF6F6F6],
    "hot": [0xE2A66A, 0xE2A66A, 0xE1A464, 0xE0A363, 0xE0A363, 0xE1A161, 0xE09F5B, 0xDE9855, 0xDC9752,
            0xDB934B, 0xD68D39, 0xD17F2D, 0xD67426, 0xC05D13, 0x7C3514, 0xAB9B98, 0xF6F6F6],
    "pressed": [0xCC9B6A, 0xCC9B6A, 0xCA9864, 0xC99763, 0xC99763, 0xCA9562, 0xC9945D, 0xC68E57, 0xC48C55,
                0xC3884E, 0xBE823E, 0xB97634, 0xBD6D2D, 0xA8581C, 0x6D3319, 0xA49794, 0xF6F6F6],
}
TOP = {  # rows y = 0..11
    "normal": [0x67696A, 0xF5F4F6, 0xF3F2F4, 0xEEEEEE, 0xEBEBEB, 0xEBE8EA, 0xEBE8EA, 0xEAEAEA, 0xE1E1E1,
               0xE5E2E3, 0xEAE7E8, 0xE8EBE9],
    "hot": [0x450608, 0xF1D4C9, 0xE5C8BD, 0xE8C0A1, 0xE0B898, 0xE3B48E, 0xE0B18B, 0xE9B47F, 0xCE9963,
            0xDDA064, 0xE2A66A, 0xE6AC76],
    "pressed": [0x3C090A, 0xDEC7BE, 0xD3BCB2, 0xD4B39A, 0xCCAC92, 0xCFA88A, 0xCCA587, 0xD2A77D, 0xB98E62,
                0xC69464, 0xCC9B6A, 0xD0A175],
}
BOTTOM = {  # rows y = H-11 .. H
    "normal": [0xE8EBE9, 0xEEF1EF, 0xF2F2F2, 0xF5F5F5, 0xFFFEFE, 0xFFFFFF, 0xFDFDFD, 0xFEFEFE, 0xFBFBFB,
               0x545454, 0xC5C5C5, 0xECECEC],
    "hot": [0xE6AC76, 0xF1B681, 0xF3BD8A, 0xFCC592, 0xF8CE97, 0xFED59E, 0xF7DDA3, 0xFFE6AD, 0xE9E2C5,
            0x635D40, 0xC5C5C5, 0xECECEC],
    "pressed": [0xD0A175, 0xDAAA7F, 0xDCB087, 0xE4B88E, 0xE1BF93, 0xE7C699, 0xE2CC9D, 0xE9D5A6, 0xD7D2BA,
                0x5A563E, 0xC5C5C5, 0xECECEC],
}
# Pixels per row, from the outermost row inward.
COUNTS = {
    "normal": {
        "TL": [12, 13, 15, 15, 16, 17, 17, 17, 18, 18, 18, 18, 18],
        "TR": [11, 13, 14, 15, 16, 17, 17, 17, 18, 18, 18, 18, 18],
        "BL": [11, 13, 15, 16, 16, 16, 13, 18, 18, 18, 18],
        "BR": [10, 12, 13, 14, 14, 14, 11, 16, 17, 17, 17],
    },
    "hot": {
        "TL": [12, 13, 15, 15, 16, 17, 17, 17, 18, 18, 18],
        "TR": [11, 13, 14, 15, 16, 17, 17, 17, 18, 18, 18],
        "BL": [11, 13, 15, 16, 16, 17, 17, 18, 18, 18, 18, 18, 18],
        "BR": [10, 12, 13, 14, 15, 16, 16, 16, 17, 17, 17, 17, 17],
    },
}
COUNTS["pressed"] = COUNTS["hot"]
# The normal look's rows H-5 and H-6 span one more column than they fill: these
# columns (counted outward from the inner side, 0 = x 17 or W-17) show the centre fill.
GAPS = {("BL", 5): [8], ("BL", 6): [2, 4, 7, 10, 13], ("BR", 5): [8], ("BR", 6): [1, 3, 6, 9, 12]}
# The telling rows of the top-left map: (y, x) -> colour.
TELLING = {
    "normal": {0: {6: 0xFEFEFE, 7: 0xE6E6E6, 8: 0xACACAC, 9: 0x7A7A7A, 10: 0x6C6C6C, 17: 0x67696A},
               1: {5: 0xEFEFEF, 6: 0x939393, 7: 0x676767, 8: 0x797979, 9: 0xB3B3B3, 17: 0xF5F4F6},
               2: {3: 0xFEFEFE, 4: 0xE5E5E5, 5: 0x737373, 6: 0x656565, 7: 0x939393, 17: 0xF3F2F4}},
    "hot": {0: {6: 0xFEFEFE, 7: 0xE6E5E5, 8: 0xA9A5A5, 9: 0x6C5E5E, 10: 0x482729, 17: 0x450608},
            1: {5: 0xF0EFEF, 6: 0xA38A8C, 7: 0x6E342F, 8: 0x661F1A, 9: 0x9B6A63, 17: 0xF1D4C9},
            2: {3: 0xFEFEFE, 4: 0xE5E5E5, 5: 0x755E5E, 6: 0x41070C, 7: 0x7F2D28, 17: 0xE5C8BD}},
    "pressed": {0: {6: 0xFEFEFE, 7: 0xE5E4E4, 8: 0xA5A2A2, 9: 0x675C5C, 10: 0x422729, 17: 0x3C090A},
                1: {5: 0xF0EEEE, 6: 0x9D888A, 7: 0x653531, 8: 0x5A201D, 9: 0x8D655F, 17: 0xDEC7BE},
                2: {3: 0xFEFEFE, 4: 0xE4E4E4, 5: 0x6F5C5C, 6: 0x390A0E, 7: 0x712E2A, 17: 0xD3BCB2}},
}

RADIUS = 9.0
WHITE = 0xFEFEFE


def channels(c):
    return [c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF]


def mix(a, b, t):
    ca, cb = channels(a), channels(b)
    r = [int(round(x + (y - x) * t)) for x, y in zip(ca, cb)]
    return r[0] | (r[1] << 8) | (r[2] << 16)


def strip_at(strip, d):
    """The strip's colour at depth d (fractional); outside (d < 0) faded to white."""
    if d < 0:
        return mix(WHITE, strip[0], max(0.0, 1.0 + d))
    i = int(math.floor(d))
    if i + 1 >= len(strip):
        return strip[-1]
    return mix(strip[i], strip[i + 1], d - i)


def corner_colour(side, edge, u, v, centre):
    """u: columns from the outer side edge (0 = outermost), v: rows from the outer
    top or bottom edge; `side` runs along u, `edge` along v."""
    cu, cv = u + 0.5, v + 0.5
    side = side + [centre] * 4
    edge = edge + [centre] * 4
    if cu >= RADIUS and cv >= RADIUS:
        return mix(strip_at(side, u), strip_at(edge, v), 0.5)
    if cu >= RADIUS:
        return strip_at(edge, v)
    if cv >= RADIUS:
        return strip_at(side, u)
    dist = math.hypot(RADIUS - cu, RADIUS - cv)
    depth = RADIUS - dist
    w = math.atan2(RADIUS - cv, RADIUS - cu) / (math.pi / 2)  # 0: beside the centre, 1: above it
    return mix(strip_at(side, depth), strip_at(edge, depth), w)


def maps(look):
    """Per map: a list of (x, y, colour) with x, y as the painter's offsets:
    TL (x, y); BL (x, k) for y = H - k; TR (j, y) for x = W - 17 + j; BR (j, k)."""
    out = {}
    centre = CENTRE[look]
    left = LEFT[look]
    right_out = list(reversed(RIGHT[look]))  # u = 0 is x = W - 1
    top = TOP[look]
    bottom_out = list(reversed(BOTTOM[look]))[1:]  # v = 0 is y = H - 1
    counts = COUNTS[look]
    for name in ("TL", "BL", "TR", "BR"):
        pixels = []
        for k, n in enumerate(counts[name]):
            # Positions counted from the inner side outward: p = 0 is x 17 or W - 17.
            gaps = GAPS.get((name, k), []) if look == "normal" else []
            span = n + len(gaps)
            positions = [p for p in range(span) if p not in gaps]
            if name == "TR" and k <= 7:
                positions = list(range(n - 1)) + [17]  # and one pixel in column W
            for p in positions:
                if name in ("TL", "BL"):
                    x = 17 - p
                    u = x
                    side = left
                else:
                    x = p  # offset from W - 17
                    u = 16 - p  # 0 at W - 1, -1 at W
                    side = right_out
                if name in ("TL", "TR"):
                    y = k
                    v = k
                    edge = top
                else:
                    y = k  # y = H - k
                    v = k - 1  # 0 at H - 1, -1 at H
                    edge = bottom_out
                if u < 0 or v < 0:
                    colour = 0xECECEC if v < 0 else side[0]
                else:
                    colour = corner_colour(side, edge, u, v, centre)
                if name == "TL" and y in TELLING[look] and x in TELLING[look][y]:
                    colour = TELLING[look][y][x]
                pixels.append((x, y, colour))
        out[name] = pixels
    return out


def main():
    print("// Generated by tools/skbutton/make_pixel_art.py; do not edit by hand.")
    print("// The artwork of the button's pixel-mapped style: centre colours, edge strips")
    print("// and the four corner maps of each of the three looks (0x00BBGGRR, drawn as")
    print("// they are).")
    print()
    print('#include "controls/skbutton/PixelMappedArt.h"')
    print()
    print("namespace fw::skbtn {")
    print()
    print("namespace {")
    print()
    for look in LOOKS:
        m = maps(look)
        for name in ("TL", "BL", "TR", "BR"):
            px = m[name]
            print(f"constexpr ArtPixel k{look.capitalize()}{name}[] = {{")
            line = "   "
            for x, y, c in px:
                item = f" {{{x}, {y}, 0x{c:06X}}},"
                if len(line) + len(item) > 100:
                    print(line)
                    line = "   "
                line += item
            print(line)
            print("};")
    print()
    print("}  // namespace")
    print()
    print("const std::array<PixelArt, 3> kPixelArt = {{")
    for look in LOOKS:
        L = look.capitalize()
        def arr(v):
            return "{" + ", ".join(f"0x{c:06X}" for c in v) + "}"
        print(f"    {{0x{CENTRE[look]:06X},")
        print(f"     {arr(LEFT[look])},")
        print(f"     {arr(RIGHT[look])},")
        print(f"     {arr(TOP[look])},")
        print(f"     {arr(BOTTOM[look])},")
        print(f"     {{k{L}TL, k{L}BL, k{L}TR, k{L}BR}}}},")
    print("}};")
    print()
    print("}  // namespace fw::skbtn")


if __name__ == "__main__":
    main()
