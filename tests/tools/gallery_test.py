#!/usr/bin/env python3
"""Runs the gallery into a fresh folder and checks that every expected picture is
there, is a PNG, and has the expected size: at 96 dpi, then at 144 and 192 dpi
(the gallery moves its stage there as the platform does, with WM_DPICHANGED),
where every look must come out 1.5 and 2 times as large.

    gallery_test.py GALLERY_EXE
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"

# (file, width, height); None for a size that depends on the font (contact sheets).
EXPECTED = [("XPContainer-theme%02d-style0.png" % t, 201, 201) for t in range(12)] + [
    ("XPContainer-theme02-style1.png", 201, 201),
    ("XPContainer-sheet.png", None, None),
] + [("skForms-style%d-theme%d-%s.png" % (s, t, a), 320, 200)
     for s in range(6) for t in range(6) for a in ("active", "inactive")] + [
    ("skForms-style0-theme0-%s.png" % look, 320, 200)
    for look in ("hover-close", "pressed-close", "hover-max", "hover-min", "noicon-active",
                 "grips")] + [
    ("skForms-style0-theme0-narrow-active.png", 150, 200),
    ("skForms-maximised.png", 1024, 768),
    ("skForms-sheet.png", None, None),
] + [("JCombo-%s.png" % look, 89, 21) for look in ("normal", "hot", "pressed", "disabled")] + [
    ("JCombo-dropped.png", None, None),
    ("JCombo-sheet.png", None, None),
] + [("ucStatusBar-theme%d-grip%d.png" % (t, g), 418, 24) for t in range(1, 5) for g in range(3)] + [
    ("ucStatusBar-editing.png", None, None),
    ("ucStatusBar-sheet.png", None, None),
] + [("skbutton-style%02d-%s.png" % (n, look), 80, 25) for n in range(16)
     for look in ("normal", "hot", "pressed", "focused", "default", "disabled", "checked")] + [
    ("skbutton-style14-%s-160x40.png" % look, 160, 40)
    for look in ("normal", "hot", "pressed", "focused", "default", "disabled", "checked")] + [
    ("skbutton-refresh.png", 41, 45),
    ("skbutton-sheet.png", None, None),
] + [("skLabel-style%d-theme%d.png" % (s, t), 160, 24) for s in range(5) for t in range(6)] + [
    ("skLabel-style2-rounded.png", 160, 24),
    ("skLabel-style0-icon.png", 160, 24),
    ("skLabel-sheet.png", None, None),
    ("xpText-enabled.png", 89, 21),
    ("xpText-disabled.png", 89, 21),
    ("xpText-sheet.png", None, None),
]

# Looks the size of the screen, which does not grow with the scale.
SCREEN_SIZED = {"skForms-maximised.png"}
SCALES = (144, 192)


def at_dpi(name, dpi):
    return name[:-len(".png")] + "@%d.png" % dpi


def scaled_entries(dpi):
    """The 96-dpi entries at `dpi`: each size times dpi / 96 (a size that lands
    on a half may round either way, so the check allows one pixel)."""
    out = []
    for name, width, height in EXPECTED:
        if width is None or name in SCREEN_SIZED:
            out.append((at_dpi(name, dpi), width, height))
        else:
            out.append((at_dpi(name, dpi), width * dpi / 96.0, height * dpi / 96.0))
    return out


# The least size of a contact sheet where its grid of looks is known (columns x
# rows of cells); other sheets and captures must be at least a look's worth.
SHEET_MIN = {
    "XPContainer-sheet.png": (4 * 201, 4 * 201),  # 13 looks of 201 x 201
    "skLabel-sheet.png": (6 * 160, 6 * 24),       # 32 looks of 160 x 24
    "xpText-sheet.png": (2 * 89, 21),             # 2 looks of 89 x 21
}


def png_size(path):
    """Width and height from the IHDR chunk, which must come first."""
    with open(path, "rb") as f:
        head = f.read(33)
    if len(head) < 33 or head[:8] != PNG_SIGNATURE or head[12:16] != b"IHDR":
        raise ValueError("%s is not a PNG" % path)
    width, height = struct.unpack(">II", head[16:24])
    return width, height


def main():
    exe = sys.argv[1]
    out = tempfile.mkdtemp(prefix="fuelwise-gallery-")
    failures = []
    expected = list(EXPECTED)
    for dpi in SCALES:
        expected += scaled_entries(dpi)
    try:
        # Wine sees the Unix root as drive Z:.
        wine_out = "Z:" + out.replace("/", "\\")
        run = subprocess.run([os.path.join(ROOT, "tools", "wine-run.sh"), exe, wine_out],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, timeout=600)
        sys.stdout.write(run.stdout)
        sys.stderr.write(run.stderr)
        if run.returncode != 0:
            failures.append("gallery exited with %d" % run.returncode)
        for name, width, height in expected:
            path = os.path.join(out, name)
            if not os.path.exists(path):
                failures.append("%s missing" % name)
                continue
            try:
                w, h = png_size(path)
            except ValueError as e:
                failures.append(str(e))
                continue
            if width is None:
                least_w, least_h = SHEET_MIN.get(name, (40, 20))
                if w < least_w or h < least_h:
                    failures.append("%s is %dx%d, too small" % (name, w, h))
            elif abs(w - width) > (1 if "@" in name else 0) or abs(h - height) > (1 if "@" in name else 0):
                failures.append("%s is %dx%d, expected %gx%g" % (name, w, h, width, height))
        extra = sorted(set(os.listdir(out)) - {e[0] for e in expected})
        if extra:
            print("further files: %s" % ", ".join(extra))
    finally:
        shutil.rmtree(out, ignore_errors=True)
    for f in failures:
        print("FAIL: " + f)
    print("%d expected files, %d failures" % (len(expected), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
