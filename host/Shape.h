// The Shape control: a rectangle, square, oval, circle, rounded rectangle or
// rounded square drawn over its container; the mouse passes through it.
#pragma once

#include "host/Colour.h"
#include "host/GraphicControl.h"

namespace fw {

class Shape : public GraphicControl {
 public:
  Shape();

  // 0 rectangle, 1 square, 2 oval, 3 circle, 4 rounded rectangle, 5 rounded square.
  int32_t ShapeKind() const { return m_shape; }
  void SetShapeKind(int32_t shape);
  Colour BorderColor() const { return m_borderColor; }
  void SetBorderColor(Colour colour);
  int32_t BorderWidth() const { return m_borderWidth; }
  void SetBorderWidth(int32_t pixels);
  // As Line's BorderStyle.
  int32_t BorderStyle() const { return m_borderStyle; }
  void SetBorderStyle(int32_t style);
  // 0 transparent, 1 opaque (BackColor under the fill).
  int32_t BackStyle() const { return m_backStyle; }
  void SetBackStyle(int32_t style);
  Colour BackColor() const { return m_backColor; }
  void SetBackColor(Colour colour);
  std::optional<Colour> BackColorValue() const override { return BackColor(); }
  bool SetBackColorValue(Colour colour) override {
    SetBackColor(colour);
    return true;
  }
  // 0 solid, 1 transparent, 2 .. 7 hatches (horizontal, vertical, down, up, cross, diagonal cross).
  int32_t FillStyle() const { return m_fillStyle; }
  void SetFillStyle(int32_t style);
  Colour FillColor() const { return m_fillColor; }
  void SetFillColor(Colour colour);

 protected:
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  void Draw(HDC dc, const RECT& client) override;

 private:
  int32_t m_shape = 0;
  Colour m_borderColor = SystemColour(COLOR_WINDOWTEXT);
  int32_t m_borderWidth = 1;
  int32_t m_borderStyle = 1;
  int32_t m_backStyle = 0;
  Colour m_backColor = SystemColour(COLOR_WINDOW);
  int32_t m_fillStyle = 1;
  Colour m_fillColor{0u};
};

}  // namespace fw
