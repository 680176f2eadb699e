// A persistent drawing surface: a memory DC holding a 32-bit top-down DIB section
// the size of a window's client area. Controls draw here at any time; the window's
// WM_PAINT only copies the invalid rectangle out, so nothing is drawn twice and
// nothing flickers.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/Gdi.h"

namespace fw {

class Surface {
 public:
  Surface() = default;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  ~Surface() = default;

  // Makes the surface `width` x `height` pixels. What was drawn stays at the top
  // left; new area is filled with `fill`. False (and the old surface kept) when
  // the bitmap cannot be created. A zero size keeps a 1 x 1 bitmap so that the
  // DC stays usable.
  bool Resize(int width, int height, COLORREF fill);

  HDC Dc() const { return m_dc.get(); }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  bool Valid() const { return m_bits != nullptr; }

  // The pixels, row after row from the top; each is 0x00RRGGBB in memory order B, G, R, x.
  const uint32_t* Bits() const { return m_bits; }
  uint32_t* Bits() { return m_bits; }
  // The pixel at (x, y) as a COLORREF (0x00BBGGRR), or CLR_INVALID outside.
  COLORREF Pixel(int x, int y) const;

  void Fill(COLORREF colour);
  // Copies `rc` (surface coordinates) to the same place on `dst`.
  void CopyTo(HDC dst, const RECT& rc) const;
  // Copies the whole surface to `dst` at (x, y).
  void CopyAllTo(HDC dst, int x, int y) const;

  // Keeps `font` selected into the surface DC (the caller keeps the font alive).
  void UseFont(HFONT font);

 private:
  // Destroyed bottom up: the selections are undone, then the bitmap is deleted,
  // then the DC.
  unique_hdc m_dc;
  unique_hbitmap m_bitmap;
  unique_select m_bitmapSelection;
  unique_select m_fontSelection;
  uint32_t* m_bits = nullptr;
  int m_width = 0;
  int m_height = 0;
  int m_bitmapWidth = 0;
  int m_bitmapHeight = 0;
};

}  // namespace fw
