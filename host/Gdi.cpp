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

void FillSolid(HDC dc, const RECT& rc, COLORREF colour) {
  // ExtTextOut with an opaque rectangle fills without creating a brush at all.
  const COLORREF old = SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

}  // namespace fw
