#include "host/Surface.h"

#include <algorithm>

namespace fw {

bool Surface::Resize(int width, int height, COLORREF fill) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (!m_dc) {
    m_dc.reset(CreateCompatibleDC(nullptr));
    if (!m_dc) return false;
  }
  if (m_bits && width == m_width && height == m_height) return true;
  const int bw = std::max(width, 1);
  const int bh = std::max(height, 1);
  uint32_t* bits = nullptr;
  unique_hbitmap bmp = CreateTopDownDib(m_dc.get(), bw, bh, &bits);
  if (!bmp) return false;

  // Fill the new bitmap, then copy the old picture over its top left corner.
  const uint32_t px = (GetRValue(fill) << 16) | (GetGValue(fill) << 8) | GetBValue(fill);
  std::fill(bits, bits + static_cast<size_t>(bw) * bh, px);
  if (m_bits) {
    const int cw = std::min(m_width, width);
    const int ch = std::min(m_height, height);
    for (int y = 0; y < ch; ++y) {
      std::copy_n(m_bits + static_cast<size_t>(y) * m_bitmapWidth, cw,
                  bits + static_cast<size_t>(y) * bw);
    }
  }
  m_bitmapSelection.reset();
  m_bitmap = std::move(bmp);
  m_bitmapSelection = unique_select(m_dc.get(), m_bitmap.get());
  m_bits = bits;
  m_width = width;
  m_height = height;
  m_bitmapWidth = bw;
  m_bitmapHeight = bh;
  return true;
}

COLORREF Surface::Pixel(int x, int y) const {
  if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
  GdiFlush();
  const uint32_t p = m_bits[static_cast<size_t>(y) * m_bitmapWidth + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void Surface::Fill(COLORREF colour) {
  if (!m_bits) return;
  GdiFlush();
  const uint32_t px = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  std::fill(m_bits, m_bits + static_cast<size_t>(m_bitmapWidth) * m_bitmapHeight, px);
}

void Surface::CopyTo(HDC dst, const RECT& rc) const {
  if (!m_bits) return;
  const int w = std::min<int>(rc.right, m_width) - rc.left;
  const int h = std::min<int>(rc.bottom, m_height) - rc.top;
  if (w <= 0 || h <= 0) return;
  BitBlt(dst, rc.left, rc.top, w, h, m_dc.get(), rc.left, rc.top, SRCCOPY);
}

void Surface::CopyAllTo(HDC dst, int x, int y) const {
  if (!m_bits || m_width == 0 || m_height == 0) return;
  BitBlt(dst, x, y, m_width, m_height, m_dc.get(), 0, 0, SRCCOPY);
}

void Surface::UseFont(HFONT font) {
  m_fontSelection.reset();
  if (font && m_dc) m_fontSelection = unique_select(m_dc.get(), font);
}

}  // namespace fw
