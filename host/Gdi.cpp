#include "host/Gdi.h"

#include <array>
#include <atomic>

namespace fw {

namespace {
std::array<std::atomic<int>, static_cast<size_t>(HandleKind::Count)> g_live{};
}

namespace detail {
void CountHandle(HandleKind kind, int delta) {
  g_live[static_cast<size_t>(kind)].fetch_add(delta, std::memory_order_relaxed);
}
}  // namespace detail

int LiveHandles(HandleKind kind) {
  return g_live[static_cast<size_t>(kind)].load(std::memory_order_relaxed);
}

int LiveGdiHandles() {
  int total = 0;
  for (HandleKind k : {HandleKind::Bitmap, HandleKind::Brush, HandleKind::Pen, HandleKind::Font,
                       HandleKind::Region, HandleKind::MemoryDc, HandleKind::Icon,
                       HandleKind::Cursor}) {
    total += LiveHandles(k);
  }
  return total;
}

unique_hbrush MakeSolidBrush(COLORREF colour) { return unique_hbrush(CreateSolidBrush(colour)); }

unique_hpen MakePen(int style, int width, COLORREF colour) {
  return unique_hpen(CreatePen(style, width, colour));
}

void FrameSolid(HDC dc, RECT& rc, COLORREF colour, int width) {
  for (int i = 0; i < width && rc.right > rc.left && rc.bottom > rc.top; ++i) {
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    FillSolid(dc, RECT{rc.left, rc.top, rc.right, rc.top + 1}, colour);
    if (h > 1) FillSolid(dc, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom}, colour);
    FillSolid(dc, RECT{rc.left, rc.top, rc.left + 1, rc.bottom}, colour);
    if (w > 1) FillSolid(dc, RECT{rc.right - 1, rc.top, rc.right, rc.bottom}, colour);
    InflateRect(&rc, -1, -1);
  }
}

void FillSolid(HDC dc, const RECT& rc, COLORREF colour) {
  // ExtTextOut with an opaque rectangle fills without creating a brush at all.
  const COLORREF old = SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

BITMAPINFO TopDownDibInfo(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

unique_hbitmap CreateTopDownDib(HDC dc, int width, int height, uint32_t** bits) {
  BITMAPINFO bi = TopDownDibInfo(width, height);
  void* raw = nullptr;
  unique_hbitmap bmp(CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &raw, nullptr, 0));
  if (bits) *bits = bmp ? static_cast<uint32_t*>(raw) : nullptr;
  return bmp;
}

}  // namespace fw
