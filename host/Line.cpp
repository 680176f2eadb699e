#include "host/Line.h"

#include <oleacc.h>

#include <algorithm>

#include "host/ColourWin.h"
#include "host/Gdi.h"

namespace fw {

int PenStyleOf(int32_t borderStyle) {
  switch (borderStyle) {
    case 0: return PS_NULL;
    case 2: return PS_DASH;
    case 3: return PS_DOT;
    case 4: return PS_DASHDOT;
    case 5: return PS_DASHDOTDOT;
    case 6: return PS_INSIDEFRAME;
    default: return PS_SOLID;
  }
}

Line::Line() : GraphicControl(u"Line", true) {}

void Line::SetEnds(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  m_x1 = x1;
  m_y1 = y1;
  m_x2 = x2;
  m_y2 = y2;
  Place();
  Redraw();
}

void Line::SetBorderColor(Colour colour) {
  m_borderColor = colour;
  Redraw();
}

void Line::SetBorderWidth(int32_t pixels) {
  m_borderWidth = std::max(pixels, 1);
  Place();
  Redraw();
}

void Line::SetBorderStyle(int32_t style) {
  m_borderStyle = style;
  Redraw();
}

void Line::Place() {
  // The window spans the line's pixels, its pen width included.
  const int px1 = TwipsToPixelsX(m_x1), py1 = TwipsToPixelsY(m_y1);
  const int px2 = TwipsToPixelsX(m_x2), py2 = TwipsToPixelsY(m_y2);
  const int left = std::min(px1, px2), top = std::min(py1, py2);
  const int pen = Scaled(m_borderWidth);
  const int w = std::abs(px2 - px1) + pen;
  const int h = std::abs(py2 - py1) + pen;
  Move(PixelsToTwipsX(left), PixelsToTwipsY(top), PixelsToTwipsX(w), PixelsToTwipsY(h));
}

void Line::ApplyDpi() {
  Place();
  GraphicControl::ApplyDpi();
}

void Line::OnReadProperties(const PropertyStore& p) {
  m_borderColor = p.ReadColour(u"BorderColor", SystemColour(COLOR_WINDOWTEXT));
  m_borderWidth = std::max(p.ReadInt32(u"BorderWidth", 1), 1);
  m_borderStyle = p.ReadInt32(u"BorderStyle", 1);
  SetEnds(p.ReadInt32(u"X1", 0), p.ReadInt32(u"Y1", 0), p.ReadInt32(u"X2", 0), p.ReadInt32(u"Y2", 0));
}

void Line::OnWriteProperties(PropertyStore& p) {
  // The ends say where the line is; the extender's box is derived from them.
  p.Remove(u"Left");
  p.Remove(u"Top");
  p.Remove(u"Width");
  p.Remove(u"Height");
  p.Write(u"X1", m_x1, int32_t{0});
  p.Write(u"Y1", m_y1, int32_t{0});
  p.Write(u"X2", m_x2, int32_t{0});
  p.Write(u"Y2", m_y2, int32_t{0});
  p.Write(u"BorderColor", m_borderColor, SystemColour(COLOR_WINDOWTEXT));
  p.Write(u"BorderWidth", m_borderWidth, int32_t{1});
  p.Write(u"BorderStyle", m_borderStyle, int32_t{1});
}

void Line::Draw(HDC dc, const RECT&) {
  if (m_borderStyle == 0) return;
  const RECT me = PixelRect();
  const int width = Scaled(m_borderWidth);
  const int half = width / 2;
  const int x1 = TwipsToPixelsX(m_x1) - me.left + half, y1 = TwipsToPixelsY(m_y1) - me.top + half;
  const int x2 = TwipsToPixelsX(m_x2) - me.left + half, y2 = TwipsToPixelsY(m_y2) - me.top + half;
  const int style = m_borderWidth > 1 ? PS_SOLID : PenStyleOf(m_borderStyle);
  unique_hpen pen = MakePen(style, width, ToColorRef(m_borderColor));
  unique_select sel(dc, pen.get());
  SetBkMode(dc, TRANSPARENT);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

void Line::Describe(AccessibleItem& item) const { item.role = ROLE_SYSTEM_SEPARATOR; }

}  // namespace fw
