#include "host/DesignCanvas.h"

#include "host/Gdi.h"
#include "host/Numeric.h"

namespace fw {

DesignCanvas::DesignCanvas(HDC dc, int dpi, SIZE device, POINT origin)
    : DesignCanvas(dc, DesignAxis::Over(device.cx, dpi), DesignAxis::Over(device.cy, dpi), origin) {}

DesignCanvas DesignCanvas::Open(HDC dc, int dpi, POINT origin) {
  return DesignCanvas(dc, DesignAxis::Open(dpi), DesignAxis::Open(dpi), origin);
}

RECT DesignCanvas::Device(const RECT& design) const {
  return RECT{X(design.left), Y(design.top), X(design.right), Y(design.bottom)};
}

std::pair<int, int> DesignCanvas::Column(int x) const {
  const auto [from, to] = x_.Pixel(x);
  return {origin_.x + from, origin_.x + to};
}

std::pair<int, int> DesignCanvas::Row(int y) const {
  const auto [from, to] = y_.Pixel(y);
  return {origin_.y + from, origin_.y + to};
}

RECT DesignCanvas::Design(const RECT& device) const {
  const int dpi = Dpi();
  return RECT{DesignLength(device.left - origin_.x, dpi), DesignLength(device.top - origin_.y, dpi),
              DesignLength(device.right - origin_.x, dpi),
              DesignLength(device.bottom - origin_.y, dpi)};
}

void DesignCanvas::Block(const RECT& device, COLORREF colour) const {
  if (device.right <= device.left || device.bottom <= device.top) return;
  // A brush, not an opaque text fill: a colour the platform cannot take
  // (0xFFFFFFFF, an untranslatable one) is drawn as its brush draws it, as
  // the platform's lines and pixels would.
  unique_hbrush brush = MakeSolidBrush(colour);
  FillRect(dc_, &device, brush.get());
}

void DesignCanvas::Fill(const RECT& design, COLORREF colour) const { Block(Device(design), colour); }

void DesignCanvas::FillDevice(const RECT& device, COLORREF colour) const { Block(device, colour); }

void DesignCanvas::Pixel(int x, int y, COLORREF colour) const {
  const auto [left, right] = Column(x);
  const auto [top, bottom] = Row(y);
  Block(RECT{left, top, right, bottom}, colour);
}

void DesignCanvas::Line(int x1, int y1, int x2, int y2, COLORREF colour) const {
  if (x1 != x2 && y1 != y2) {
    unique_hpen pen = MakePen(PS_SOLID, 1, colour);
    unique_select select(dc_, pen.get());
    MoveToEx(dc_, X(x1), Y(y1), nullptr);
    LineTo(dc_, X(x2), Y(y2));
    return;
  }
  if (x1 == x2 && y1 == y2) return;
  // The pixels the line covers, its end left out, as one block.
  const bool across = y1 == y2;
  const int from = across ? x1 : y1;
  const int to = across ? x2 : y2;
  const int first = to > from ? from : to + 1;
  const int last = to > from ? to - 1 : from;
  if (across) {
    const auto [top, bottom] = Row(y1);
    Block(RECT{X(first), top, X(last + 1), bottom}, colour);
  } else {
    const auto [left, right] = Column(x1);
    Block(RECT{left, Y(first), right, Y(last + 1)}, colour);
  }
}

void DesignCanvas::Frame(int x, int y, int w, int h, COLORREF colour) const {
  if (w <= 0 || h <= 0) return;
  const auto [top0, top1] = Row(y);
  const auto [bottom0, bottom1] = Row(y + h - 1);
  const auto [left0, left1] = Column(x);
  const auto [right0, right1] = Column(x + w - 1);
  const int l = X(x), r = X(x + w);
  Block(RECT{l, top0, r, top1}, colour);
  Block(RECT{l, bottom0, r, bottom1}, colour);
  Block(RECT{left0, top1, left1, bottom0}, colour);
  Block(RECT{right0, top1, right1, bottom0}, colour);
}

void DesignCanvas::Edge(RECT device, UINT outer, UINT inner) const {
  const int width = ScaleToDpi(1, Dpi());
  for (UINT border : {outer, inner}) {
    if (!border) continue;
    for (int i = 0; i < width; ++i) {
      DrawEdge(dc_, &device, border, BF_RECT);
      InflateRect(&device, -1, -1);
    }
  }
}

void DesignCanvas::Focus(const RECT& design) const {
  const auto [l, t, r, b] = design;
  // Where a 96-dpi pixel is one device pixel the platform draws its dots
  // itself: its dotted brush takes the DC's text and background colours,
  // which the probe below, a DC of its own, does not have.
  if (Dpi() == 96) {
    const RECT rc = Device(design);
    DrawFocusRect(dc_, &rc);
    return;
  }
  // The platform's dots at 96 dpi, found on a probe, each inverted here as
  // the block its pixel becomes. A sized canvas bounds the probe.
  if (l < 0 || t < 0 || r <= l || b <= t) return;
  if (Width() > 0 && (r > 4 * Width() || b > 4 * Height())) return;
  uint32_t* bits = nullptr;
  unique_hdc probe(CreateCompatibleDC(dc_));
  if (!probe) return;
  unique_hbitmap bitmap = CreateTopDownDib(probe.get(), r, b, &bits);
  if (!bitmap || !bits) return;
  {
    unique_select select(probe.get(), bitmap.get());
    SetROP2(probe.get(), GetROP2(dc_));
    DrawFocusRect(probe.get(), &design);
    GdiFlush();
  }
  for (int y = t; y < b; ++y) {
    for (int x = l; x < r; ++x) {
      if (bits[static_cast<size_t>(y) * r + x] == 0) continue;
      const RECT dot = Device(RECT{x, y, x + 1, y + 1});
      PatBlt(dc_, dot.left, dot.top, dot.right - dot.left, dot.bottom - dot.top, DSTINVERT);
    }
  }
}

}  // namespace fw
