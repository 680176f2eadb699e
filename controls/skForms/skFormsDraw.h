// The frame's drawing primitives: lines, outlines, gradients made of lines and the
// gradient "cylinders" every band of the title bar is built from. Each takes the
// device it draws on and plain 0x00BBGGRR colours; each pen lives for one call.
#pragma once

#include <windows.h>

#include <cstdint>

namespace fw::skforms {

// A solid 1-pixel line from (x1, y1) to (x2, y2), the end point not drawn.
void APILineEx(HDC dc, int x1, int y1, int x2, int y2, uint32_t colour);
// The outline (x, y) -> (x + w, y) -> (x + w, y + h) -> (x, y + h) -> (x, y).
void ApiRectangle(HDC dc, int x, int y, int w, int h, uint32_t colour);
// Lines 1 .. n - 1 of a gradient from s to e (n = b vertical, a horizontal).
// Vertical: line i from (x1, y1 + i) to (a, y1 + i); horizontal: from (x1 + i, y1)
// to (x1 + i, b). Lines 0 and n are not drawn.
void DrawGradientLines(HDC dc, uint32_t s, uint32_t e, int x1, int y1, int a, int b, bool vertical);
// A to B over the first 1/f of the band and back to A over the rest; a factor of 1
// or less draws as 1.01.
void DrawGradCilinder(HDC dc, uint32_t a, uint32_t b, int x, int y, int w, int h, bool vertical,
                      double f);
// The kinds of DrawGradientInRectangle: lines from B (top) down to A, lines from
// B (left) across to A, and the cylinders A/B down and across.
enum GradientKind : int {
  kLinesDown = 0,
  kLinesAcross = 1,
  kCylinderDown = 2,
  kCylinderAcross = 3,
};
// A gradient of `kind` (GradientKind) over the rectangle, then the outline when
// asked.
void DrawGradientInRectangle(HDC dc, uint32_t a, uint32_t b, int x, int y, int w, int h, int kind,
                             bool outline, uint32_t outlineColour, double f);

// The title-bar background of `style` for the columns x .. x + width (`topHeight`
// is T): its bands, and in style 5 its two lines. `outlineStyle0` outlines style
// 0's band in the dark colour, as the persistent background has it. The bands'
// rows are 96-dpi numbers scaled to `dpi`; their gradients run over the scaled
// heights and the lines are as thick as one 96-dpi pixel.
void PaintTitleBands(HDC dc, int style, int topHeight, int x, int width, uint32_t dark,
                     uint32_t light, bool outlineStyle0, int dpi = 96);

}  // namespace fw::skforms
