#include "controls/skForms/skFormsDraw.h"

#include "controls/skForms/skFormsModel.h"
#include "host/Gdi.h"
#include "host/Numeric.h"

namespace fw::skforms {

void APILineEx(HDC dc, int x1, int y1, int x2, int y2, uint32_t colour) {
  unique_hpen pen = MakePen(PS_SOLID, 1, colour);
  unique_select selected(dc, pen.get());
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

void ApiRectangle(HDC dc, int x, int y, int w, int h, uint32_t colour) {
  unique_hpen pen = MakePen(PS_SOLID, 1, colour);
  unique_select selected(dc, pen.get());
  const POINT outline[5] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}, {x, y}};
  Polyline(dc, outline, 5);
}

void DrawGradientLines(HDC dc, uint32_t s, uint32_t e, int x1, int y1, int a, int b, bool vertical) {
  const int n = vertical ? b : a;
  for (int i = 1; i <= n - 1; ++i) {
    const uint32_t c = GradientLineColour(s, e, n, i);
    if (vertical) {
      APILineEx(dc, x1, y1 + i, a, y1 + i, c);
    } else {
      APILineEx(dc, x1 + i, y1, x1 + i, b, c);
    }
  }
}

void DrawGradCilinder(HDC dc, uint32_t a, uint32_t b, int x, int y, int w, int h, bool vertical,
                      double f) {
  if (f <= 1) f = 1.01;
  if (vertical) {
    DrawGradientLines(dc, a, b, x, y, x + w, RoundHalfEven(h / f), true);
    DrawGradientLines(dc, b, a, x, RoundHalfEven(h / f + y - 1), x + w,
                      RoundHalfEven((f - 1) * h / f + 1), true);
  } else {
    DrawGradientLines(dc, a, b, x, y, RoundHalfEven(w / f), y + h, false);
    DrawGradientLines(dc, b, a, RoundHalfEven(w / f + x - 1), y, RoundHalfEven((f - 1) * w / f + 1),
                      y + h, false);
  }
}

void DrawGradientInRectangle(HDC dc, uint32_t a, uint32_t b, int x, int y, int w, int h, int kind,
                             bool outline, uint32_t outlineColour, double f) {
  switch (kind) {
    case kLinesDown: DrawGradientLines(dc, b, a, x, y, x + w, h, true); break;
    case kLinesAcross: DrawGradientLines(dc, b, a, x, y, w, y + h, false); break;
    case kCylinderDown: DrawGradCilinder(dc, a, b, x, y, w, h, true, f); break;
    case kCylinderAcross: DrawGradCilinder(dc, a, b, x, y, w, h, false, f); break;
    default: break;
  }
  if (outline) ApiRectangle(dc, x, y, w, h, outlineColour);
}

void PaintTitleBands(HDC dc, int style, int t, int x, int width, uint32_t dark, uint32_t light,
                     bool outlineStyle0, int dpi) {
  auto P = [dpi](int px) { return ScaleToDpi(px, dpi); };
  const int k = P(1);
  switch (style) {
    case 0:
      DrawGradientInRectangle(dc, dark, light, x, -k, width, t + k, kCylinderDown, false, 0, 5.01);
      // The outline grows outwards, so that its bottom line starts at row t as
      // at 96 dpi.
      for (int i = 0; outlineStyle0 && i < k; ++i) {
        ApiRectangle(dc, x - i, -k - i, width + 2 * i, t + k + 2 * i, dark);
      }
      break;
    case 1:
      DrawGradientInRectangle(dc, dark, light, x, -P(2), width, P(10), kCylinderDown, false, 0, 5.01);
      DrawGradientInRectangle(dc, dark, light, x, P(7), width, t - P(7), kCylinderDown, false, 0, 5.01);
      break;
    case 2:
      DrawGradientInRectangle(dc, dark, light, x, -P(2), width, P(10), kLinesDown, false, 0, 0);
      DrawGradientInRectangle(dc, dark, dark, x, P(7), width, t - P(7), kCylinderDown, false, 0, 5.01);
      break;
    case 3:
      DrawGradientInRectangle(dc, dark, light, x, -k, width, t + k, kLinesDown, false, 0, 0);
      break;
    case 4:
      DrawGradientInRectangle(dc, dark, light, x, -P(2), width, P(7), kCylinderDown, false, 0, 5.01);
      DrawGradientInRectangle(dc, light, dark, x, P(4), width, t - P(4), kCylinderDown, false, 0, 1.01);
      break;
    case 5: {
      const uint32_t c1 = Half(dark, kBlack);
      const uint32_t c2 = Half(light, c1);
      DrawGradientInRectangle(dc, light, c2, x, -P(2), width, P(12), kCylinderDown, false, 0, 1.01);
      DrawGradientInRectangle(dc, dark, dark, x, P(8), width, t - P(8), kCylinderDown, false, 0, 7.01);
      // The lines run one pixel past the bands, to the surface's edge or beyond.
      for (int i = 0; i < k; ++i) {
        APILineEx(dc, x, P(8) + i, x + width + 1, P(8) + i, Half(dark, light));
        APILineEx(dc, x, i, x + width + 1, i, Half(kWhite, light));
      }
      break;
    }
    default: break;
  }
}

}  // namespace fw::skforms
