#include "host/Shape.h"

#include <algorithm>

#include "host/ColourWin.h"
#include "host/Gdi.h"
#include "host/Line.h"
#include "host/Numeric.h"

namespace fw {

Shape::Shape() : GraphicControl(u"Shape", true) {}

void Shape::SetShapeKind(int32_t shape) { m_shape = shape; Redraw(); }
void Shape::SetBorderColor(Colour colour) { m_borderColor = colour; Redraw(); }
void Shape::SetBorderWidth(int32_t pixels) { m_borderWidth = std::max(pixels, 1); Redraw(); }
void Shape::SetBorderStyle(int32_t style) { m_borderStyle = style; Redraw(); }
void Shape::SetBackStyle(int32_t style) { m_backStyle = style; Redraw(); }
void Shape::SetBackColor(Colour colour) { m_backColor = colour; Redraw(); }
void Shape::SetFillStyle(int32_t style) { m_fillStyle = style; Redraw(); }
void Shape::SetFillColor(Colour colour) { m_fillColor = colour; Redraw(); }

void Shape::OnReadProperties(const PropertyStore& p) {
  m_shape = p.ReadInt32(u"Shape", 0);
  m_borderColor = p.ReadColour(u"BorderColor", SystemColour(COLOR_WINDOWTEXT));
  m_borderWidth = std::max(p.ReadInt32(u"BorderWidth", 1), 1);
  m_borderStyle = p.ReadInt32(u"BorderStyle", 1);
  m_backStyle = p.ReadInt32(u"BackStyle", 0);
  m_backColor = p.ReadColour(u"BackColor", SystemColour(COLOR_WINDOW));
  m_fillStyle = p.ReadInt32(u"FillStyle", 1);
  m_fillColor = p.ReadColour(u"FillColor", Colour(0u));
  Redraw();
}

void Shape::OnWriteProperties(PropertyStore& p) {
  p.Write(u"Shape", m_shape, int32_t{0});
  p.Write(u"BorderColor", m_borderColor, SystemColour(COLOR_WINDOWTEXT));
  p.Write(u"BorderWidth", m_borderWidth, int32_t{1});
  p.Write(u"BorderStyle", m_borderStyle, int32_t{1});
  p.Write(u"BackStyle", m_backStyle, int32_t{0});
  p.Write(u"BackColor", m_backColor, SystemColour(COLOR_WINDOW));
  p.Write(u"FillStyle", m_fillStyle, int32_t{1});
  p.Write(u"FillColor", m_fillColor, Colour(0u));
}

void Shape::Draw(HDC dc, const RECT& client) {
  RECT rc = client;
  // Squares and circles take the shorter side, centred.
  if (m_shape == 1 || m_shape == 3 || m_shape == 5) {
    const int side = std::min(rc.right - rc.left, rc.bottom - rc.top);
    rc.left += HalveTowardZero(rc.right - rc.left - side);
    rc.top += HalveTowardZero(rc.bottom - rc.top - side);
    rc.right = rc.left + side;
    rc.bottom = rc.top + side;
  }
  unique_hbrush back;
  if (m_backStyle == 1) back = MakeSolidBrush(ToColorRef(m_backColor));
  unique_hbrush fill;
  if (m_fillStyle == 0) {
    fill = MakeSolidBrush(ToColorRef(m_fillColor));
  } else if (m_fillStyle >= 2 && m_fillStyle <= 7) {
    static const int kHatch[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
    fill = unique_hbrush(CreateHatchBrush(kHatch[m_fillStyle - 2], ToColorRef(m_fillColor)));
  }
  unique_hpen pen = MakePen(m_borderWidth > 1 ? PS_INSIDEFRAME : PenStyleOf(m_borderStyle),
                            Scaled(m_borderWidth), ToColorRef(m_borderColor));
  unique_hpen none(CreatePen(PS_NULL, 0, 0));
  const int radius = std::min(rc.right - rc.left, rc.bottom - rc.top) / 5;
  auto shapeWith = [&](HBRUSH brush, HPEN p) {
    unique_select selBrush(dc, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
    unique_select selPen(dc, p);
    switch (m_shape) {
      case 2:
      case 3: Ellipse(dc, rc.left, rc.top, rc.right, rc.bottom); break;
      case 4:
      case 5: RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, radius, radius); break;
      default: Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom); break;
    }
  };
  SetBkMode(dc, TRANSPARENT);
  if (back) shapeWith(back.get(), none.get());
  shapeWith(fill.get(), m_borderStyle == 0 ? none.get() : pen.get());
}

}  // namespace fw
