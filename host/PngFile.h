// Pictures of windows and surfaces written as PNG files, for the gallery and for
// screenshots under review. The encoder is the platform's imaging component.
//
// COM must be initialised on the calling thread (CoInitializeEx or OleInitialize).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace fw {

// Pixels in memory order B, G, R, x (a 32-bit top-down DIB, as Surface::Bits()
// holds them), row after row from the top. The x byte is ignored.
struct PixelImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  bool Empty() const { return width <= 0 || height <= 0; }
  // 0x00BBGGRR, as GetPixel answers; CLR_INVALID outside.
  COLORREF Pixel(int x, int y) const;
};

// Writes `width` x `height` pixels as a 24-bit PNG. False when the file cannot be
// written or the codec is missing.
bool SavePng(const std::wstring& path, const uint32_t* bgrx, int width, int height);
bool SavePng(const std::wstring& path, const PixelImage& image);

// What `hwnd` and its visible children show, composed bottom up: each window's
// client area is printed into the picture (WM_PRINTCLIENT) and its children are
// drawn over it at their places, in z-order. It does not depend on the window
// being on the screen, so a picture can be taken of a hidden or covered window.
PixelImage CaptureWindowTree(HWND hwnd);

// A copy of a DC's current bitmap area (0, 0, width, height).
PixelImage CaptureDc(HDC dc, int width, int height);

}  // namespace fw
