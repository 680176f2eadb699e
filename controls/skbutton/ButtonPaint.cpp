#include "controls/skbutton/ButtonPaint.h"

#include <vector>

#include "host/ColourWin.h"
#include "host/DesignCanvas.h"
#include "host/Gdi.h"
#include "host/Numeric.h"

namespace fw::skbtn {

// The portable model names these two by their indices.
static_assert(kButtonFace == SystemColour(COLOR_BTNFACE));
static_assert(kButtonText == SystemColour(COLOR_BTNTEXT));

namespace {

// -1 stays -1 for the platform, as the button has always handed it over.
COLORREF Ref(int32_t colour) { return static_cast<COLORREF>(colour); }

// A 0x00BBGGRR value as a 32-bit DIB pixel (memory order B, G, R, x).
uint32_t DibPixel(int32_t c) {
  return (static_cast<uint32_t>(ChannelRed(c)) << 16) |
         (static_cast<uint32_t>(ChannelGreen(c)) << 8) | static_cast<uint32_t>(ChannelBlue(c));
}

// The pixels of a bitmap as a 24-bit bottom-up image, rows padded to 4 bytes.
struct Bits24 {
  BITMAPINFO info{};
  std::vector<uint8_t> bytes;
  int width = 0;
  int height = 0;
};

bool ReadBits24(HBITMAP bitmap, Bits24& out) {
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
    return false;
  }
  out.width = bm.bmWidth;
  out.height = bm.bmHeight;
  out.info.bmiHeader.biSize = sizeof out.info.bmiHeader;
  out.info.bmiHeader.biWidth = bm.bmWidth;
  out.info.bmiHeader.biHeight = bm.bmHeight;
  out.info.bmiHeader.biPlanes = 1;
  out.info.bmiHeader.biBitCount = 24;
  out.info.bmiHeader.biCompression = BI_RGB;
  const size_t stride = (static_cast<size_t>(bm.bmWidth) * 3 + 3) & ~size_t{3};
  out.bytes.assign(stride * static_cast<size_t>(bm.bmHeight), 0);
  unique_hdc_window screen(nullptr);
  return GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(bm.bmHeight), out.bytes.data(),
                   &out.info, DIB_RGB_COLORS) != 0;
}

}  // namespace

int32_t Translate(Colour c) { return TranslateColor(c); }

void DrawLine(HDC dc, int x1, int y1, int x2, int y2, int32_t colour) {
  unique_hpen pen = MakePen(PS_SOLID, 1, Ref(colour));
  unique_select select(dc, pen.get());
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

void DrawRectangle(HDC dc, int x, int y, int w, int h, int32_t colour) {
  unique_hbrush brush = MakeSolidBrush(Ref(colour));
  const RECT rc{x, y, x + w, y + h};
  FrameRect(dc, &rc, brush.get());
}

void FillRectangle(HDC dc, int32_t colour, const RECT& rc) {
  unique_hbrush brush = MakeSolidBrush(Ref(colour));
  FillRect(dc, &rc, brush.get());
}

void DrawCorners(HDC dc, int W, int H, int32_t colour) {
  SetPixelV(dc, 1, 1, Ref(colour));
  SetPixelV(dc, 1, H - 2, Ref(colour));
  SetPixelV(dc, W - 2, 1, Ref(colour));
  SetPixelV(dc, W - 2, H - 2, Ref(colour));
}

void DrawGradient(HDC dc, int x, int y, int w, int h, int32_t c1, int32_t c2, int32_t direction) {
  const std::vector<int32_t> pixels = GradientPixels(w, h, c1, c2, direction);
  if (pixels.empty()) return;
  std::vector<uint32_t> dib(pixels.size());
  for (size_t i = 0; i < pixels.size(); ++i) dib[i] = DibPixel(pixels[i]);
  BITMAPINFO bi = TopDownDibInfo(w, h);
  SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                    static_cast<UINT>(h), dib.data(), &bi, DIB_RGB_COLORS);
}

void GrayPicture(HDC dc, HANDLE handle, int x, int y, int w, int h) {
  if (!handle) return;
  // An icon is no GDI object: its colour bitmap is greyed and its mask keeps its
  // transparency. A bitmap has no mask, so it ends up grey and opaque.
  unique_hbitmap iconColour;
  unique_hbitmap iconMask;
  HBITMAP colour = nullptr;
  if (GetObjectType(handle) == 0) {
    ICONINFO ii{};
    if (!GetIconInfo(static_cast<HICON>(handle), &ii)) return;
    iconColour = unique_hbitmap(ii.hbmColor);
    iconMask = unique_hbitmap(ii.hbmMask);
    colour = ii.hbmColor;
  } else {
    colour = static_cast<HBITMAP>(handle);
  }
  Bits24 image;
  if (!ReadBits24(colour, image)) return;
  GrayRun(image.bytes);

  Bits24 mask;
  if (!iconMask || !ReadBits24(iconMask.get(), mask) || mask.width != image.width ||
      mask.height != image.height) {
    // Without a mask the first copy is all black.
    mask.info = image.info;
    mask.bytes.assign(image.bytes.size(), 0);
  }
  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, x, y, w, h, 0, 0, image.width, image.height, mask.bytes.data(), &mask.info,
                DIB_RGB_COLORS, SRCAND);
  StretchDIBits(dc, x, y, w, h, 0, 0, image.width, image.height, image.bytes.data(), &image.info,
                DIB_RGB_COLORS, SRCPAINT);
  SetStretchBltMode(dc, oldMode);
}

void DrawEdgeOf(HDC dc, RECT rc, EdgeKind kind, int dpi) {
  UINT outer = BDR_RAISEDOUTER;
  UINT inner = BDR_RAISEDINNER;
  if (kind == EdgeKind::ThinRaised) outer = 0;
  if (kind == EdgeKind::Sunken) {
    outer = BDR_SUNKENOUTER;
    inner = BDR_SUNKENINNER;
  }
  DesignCanvas::Open(dc, dpi, POINT{0, 0}).Edge(rc, outer, inner);
}

void DrawFocus(HDC dc, RECT rc) { DrawFocusRect(dc, &rc); }

FacePainter PainterFor(int32_t style) {
  switch (style) {
    case StyleStandard:
    case StyleFlat:
    case StyleHoverEdge:
    case StyleHoverThin: return PaintStandard;
    case StyleSoftGradient: return PaintSoftGradient;
    case StyleLightHover: return PaintLightHover;
    case StyleLitEnds: return PaintLitEnds;
    case StyleDropShadow: return PaintDropShadow;
    case StyleHalfGloss: return PaintHalfGloss;
    case StyleTwoBand: return PaintTwoBand;
    case StyleFramedHover: return PaintFramedHover;
    case StyleSolidHover: return PaintSolidHover;
    case StyleTopBand: return PaintTopBand;
    case StyleHalfShade: return PaintHalfShade;
    case StylePixelMapped: return PaintPixelMapped;
    case StyleSideGradient: return PaintSideGradient;
    default: return nullptr;
  }
}

}  // namespace fw::skbtn
