// One surface every control draws its 96-dpi design on, at the dpi it is
// shown at. A place is a 96-dpi coordinate; DesignAxis maps it to the device
// (a 96-dpi pixel is the block from ScaleToDpi(x) to ScaleToDpi(x + 1), or,
// on a sized canvas, from the nearer side). At 96 dpi every place is its own
// device pixel and each step draws exactly what the platform's 1-pixel line,
// frame, fill or pixel call would, so a control has one drawing for every scale.
#pragma once

#include <windows.h>

#include "host/DesignGrid.h"

namespace fw {

class DesignCanvas {
 public:
  // The surface (0, 0, device.cx, device.cy) of `dc` at `dpi`, shifted to
  // `origin`: it is DesignLength of its device size at 96 dpi, and the places
  // of its right (bottom) half keep their distance from the right (bottom).
  DesignCanvas(HDC dc, int dpi, SIZE device, POINT origin = {0, 0});
  // A canvas with no far sides: every place counted from `origin`.
  static DesignCanvas Open(HDC dc, int dpi, POINT origin);

  HDC Dc() const { return dc_; }
  int Dpi() const { return x_.Dpi(); }
  // The canvas's size at 96 dpi (0 on an open canvas).
  int Width() const { return x_.Design(); }
  int Height() const { return y_.Design(); }

  // The device coordinates of a place, and of a 96-dpi rectangle's edges.
  int X(int x) const { return origin_.x + x_.Place(x); }
  int Y(int y) const { return origin_.y + y_.Place(y); }
  RECT Device(const RECT& design) const;
  // The device pixels [first, second) of a 96-dpi column or row (DesignAxis::Pixel).
  std::pair<int, int> Column(int x) const;
  std::pair<int, int> Row(int y) const;
  // The 96-dpi rectangle's device pixels nearest to a device rectangle.
  RECT Design(const RECT& device) const;

  // -- Steps; a colour is drawn as the platform's solid brush of it.
  // The 96-dpi rectangle filled (nothing when it is empty).
  void Fill(const RECT& design, COLORREF colour) const;
  // A device rectangle filled as it stands (a band already laid out in device pixels).
  void FillDevice(const RECT& device, COLORREF colour) const;
  // The 96-dpi pixel (x, y).
  void Pixel(int x, int y, COLORREF colour) const;
  // A 1-pixel line from (x1, y1) to (x2, y2), its end left out: a level or
  // upright one as the block of its pixels; any other one as the platform's
  // line between the device places of its ends.
  void Line(int x1, int y1, int x2, int y2, COLORREF colour) const;
  // The 1-pixel frame just inside (x, y, x + w, y + h).
  void Frame(int x, int y, int w, int h, COLORREF colour) const;
  // The platform's 3-D edge (BDR_ flags `outer`, then `inner`; 0 for none) on
  // the four sides of a device rectangle, each of its 1-pixel rings as thick
  // as one 96-dpi pixel, drawn ring by ring so both keep their colours.
  void Edge(RECT device, UINT outer, UINT inner) const;
  // The platform's dotted focus rectangle round the 96-dpi rectangle, each of
  // its dots inverted as the block its pixel becomes.
  void Focus(const RECT& design) const;

 private:
  DesignCanvas(HDC dc, DesignAxis x, DesignAxis y, POINT origin)
      : dc_(dc), x_(x), y_(y), origin_(origin) {}
  void Block(const RECT& device, COLORREF colour) const;

  HDC dc_;
  DesignAxis x_;
  DesignAxis y_;
  POINT origin_;
};

}  // namespace fw
