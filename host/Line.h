// The Line control: a straight line from (X1, Y1) to (X2, Y2), twips in its
// container, drawn over the container; the mouse passes through it.
#pragma once

#include "host/Colour.h"
#include "host/GraphicControl.h"

namespace fw {

class Line : public GraphicControl {
 public:
  Line();

  int32_t X1() const { return m_x1; }
  int32_t Y1() const { return m_y1; }
  int32_t X2() const { return m_x2; }
  int32_t Y2() const { return m_y2; }
  void SetEnds(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  Colour BorderColor() const { return m_borderColor; }
  void SetBorderColor(Colour colour);
  int32_t BorderWidth() const { return m_borderWidth; }
  void SetBorderWidth(int32_t pixels);
  // 0 transparent, 1 solid, 2 dash, 3 dot, 4 dash-dot, 5 dash-dot-dot, 6 inside solid.
  int32_t BorderStyle() const { return m_borderStyle; }
  void SetBorderStyle(int32_t style);

 protected:
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  void Draw(HDC dc, const RECT& client) override;
  void ApplyDpi() override;
  // A separator: a line divides, it shows no picture.
  void Describe(AccessibleItem& item) const override;

 private:
  void Place();

  int32_t m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
  Colour m_borderColor = SystemColour(COLOR_WINDOWTEXT);
  int32_t m_borderWidth = 1;
  int32_t m_borderStyle = 1;
};

// The pen style of a BorderStyle value (PS_NULL for 0).
int PenStyleOf(int32_t borderStyle);

}  // namespace fw
