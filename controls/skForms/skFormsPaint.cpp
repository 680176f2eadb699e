#include "controls/skForms/skFormsPaint.h"

#include <array>
#include <span>
#include <string>

#include "controls/skForms/skFormsDraw.h"
#include "host/Numeric.h"
#include "host/Picture.h"
#include "host/WideText.h"

namespace fw::skforms {

namespace {

// The caption is one line, centred in the title's height.
constexpr UINT kCaptionFlags = DT_SINGLELINE | DT_VCENTER;

// The caption buttons' glyphs: 1-pixel lines from (x1, y1) to (x2, y2), the end
// point left out, from the button's left and top, and for the maximise and
// restore glyphs a window outline (x, y, w, h).
struct GlyphLine {
  int x1, y1, x2, y2;
};
struct Glyph {
  std::span<const GlyphLine> lines;
  std::array<int, 4> outline;  // w 0: none
};
constexpr GlyphLine kCloseLines[] = {{6, 5, 14, 13}, {5, 5, 14, 14}, {5, 6, 13, 14},
                                     {5, 12, 13, 4}, {5, 13, 14, 4}, {6, 13, 14, 5}};
constexpr GlyphLine kRestoreLines[] = {{7, 5, 7, 8},    {7, 5, 16, 5},    {7, 4, 16, 4},
                                       {15, 4, 15, 11}, {15, 11, 11, 11}, {3, 9, 11, 9}};
constexpr GlyphLine kMaximiseLines[] = {{4, 5, 15, 5}};
constexpr GlyphLine kMinimiseLines[] = {{5, 11, 14, 11}, {5, 12, 14, 12}, {5, 13, 14, 13}};
constexpr Glyph kCloseGlyph{kCloseLines, {}};
constexpr Glyph kRestoreGlyph{kRestoreLines, {3, 8, 8, 7}};
constexpr Glyph kMaximiseGlyph{kMaximiseLines, {4, 6, 10, 8}};
constexpr Glyph kMinimiseGlyph{kMinimiseLines, {}};

// Three outlines below the top area (two dark, the inner one darker), the
// shadow the title casts on the form, and the corners where they meet the
// title. Each 96-dpi pixel of them is a block of the canvas below the top
// area: the columns count from the nearer side, the rows from the top area or
// from the bottom, so the lines are as thick as the title's and a frame at
// twice the scale is the 96-dpi one doubled.
void PaintBorderAndShadow(const DesignCanvas& canvas, const FrameLayout& layout,
                          const FrameColours& colours) {
  const int t = layout.topHeight;
  const DesignCanvas below(canvas.Dc(), canvas.Dpi(), SIZE{layout.width, layout.height - t}, POINT{0, t});
  const int W = below.Width();
  const int H = below.Height();
  const uint32_t dark = colours.dark;
  const uint32_t darker = Half(dark, kBlack);
  // Outline i lies i pixels in from the sides and the bottom; each outline's
  // top row is the first below the top area.
  for (int i = 0; i < 3; ++i) {
    const uint32_t c = i == 2 ? darker : dark;
    below.Fill(RECT{i, 1, W - i, 2}, c);
    below.Fill(RECT{i, H - i - 1, W - i, H - i}, c);
    below.Fill(RECT{i, 1, i + 1, H - i}, c);
    below.Fill(RECT{W - i - 1, 1, W - i, H - i}, c);
  }
  if (layout.shadow) {
    const uint32_t b = colours.back;
    // Seven rows fading from half black to the back colour.
    for (int i = 1; i < 8; ++i) {
      below.Fill(RECT{3, i, W - 3, i + 1}, GradientLineColour(Half(b, kBlack), b, 8, i));
    }
    below.Fill(RECT{0, 0, W, 1}, dark);
    below.Fill(RECT{5, 0, W - 5, 1}, darker);
  } else if (layout.style != 0) {
    below.Fill(RECT{0, 0, W, 1}, dark);
  }
  // The corner pixels, the same on both sides.
  auto corner = [&](int x, int y, uint32_t c) {
    below.Fill(RECT{x, y, x + 1, y + 1}, c);
    below.Fill(RECT{W - x - 1, y, W - x, y + 1}, c);
  };
  for (auto [x, y] : {std::pair{2, 1}, {2, 2}, {3, 1}}) corner(x, y, dark);
  for (auto [x, y] : {std::pair{4, 1}, {3, 2}}) corner(x, y, darker);
}

// Style 1's grip dots: nine pairs in the middle of the grip band, each a
// 2-pixel square in `a` a pixel below and right of one in `b`.
void PaintGripDots(const DesignCanvas& canvas, const FrameLayout& layout, uint32_t a, uint32_t b) {
  const DesignCanvas row = DesignCanvas::Open(canvas.Dc(), canvas.Dpi(), POINT{layout.gripDotsLeft, 0});
  const int y0 = layout.gripDotsTop;
  for (int i = 0; i <= 8; ++i) {
    row.Fill(RECT{4 * i + 1, y0 + 1, 4 * i + 3, y0 + 3}, a);
    row.Fill(RECT{4 * i, y0, 4 * i + 2, y0 + 2}, b);
  }
}

// The caption in the light colour, and except on the solid bands once more in
// a darker one a pixel up and left, so that the light copy shows as its edge.
void PaintCaption(const DesignCanvas& canvas, const FrameLayout& layout, const FrameColours& colours) {
  if (layout.caption.empty()) return;
  HDC dc = canvas.Dc();
  const std::wstring text = ToWide(layout.caption);
  const Rect& caption = layout.captionRect;
  RECT rc{caption.left, caption.top, caption.right, caption.bottom};
  const COLORREF before = GetTextColor(dc);
  auto draw = [&](uint32_t colour) {
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, kCaptionFlags);
  };
  draw(colours.light);
  if (!SolidTitleBand(layout.style)) {
    // The dark copy lies one design pixel up and left, at every scale.
    const int k = ScaleToDpi(1, canvas.Dpi());
    OffsetRect(&rc, -k, -k);
    draw(Half(colours.dark, kBlack));
  }
  SetTextColor(dc, before);
}

// A glyph's 1-pixel lines are as thick as one 96-dpi pixel: a level line is
// repeated downwards, any other one to the right.
void PaintGlyph(const DesignCanvas& button, const Glyph& glyph, uint32_t c) {
  HDC dc = button.Dc();
  const int thick = ScaleToDpi(1, button.Dpi());
  for (const GlyphLine& g : glyph.lines) {
    const int x1 = button.X(g.x1), y1 = button.Y(g.y1), x2 = button.X(g.x2), y2 = button.Y(g.y2);
    for (int i = 0; i < thick; ++i) {
      if (y1 == y2) APILineEx(dc, x1, y1 + i, x2, y2 + i, c);
      else APILineEx(dc, x1 + i, y1, x2 + i, y2, c);
    }
  }
  const auto [x, y, w, h] = glyph.outline;
  const int dpi = button.Dpi();
  for (int i = 0; w != 0 && i < thick; ++i) {
    ApiRectangle(dc, button.X(x) + i, button.Y(y) + i, ScaleToDpi(w, dpi) - 2 * i,
                 ScaleToDpi(h, dpi) - 2 * i, c);
  }
}

}  // namespace

void PaintTitleBackground(const DesignCanvas& canvas, const FrameLayout& layout,
                          const FrameColours& colours, const Picture* icon) {
  HDC dc = canvas.Dc();
  PaintTitleBands(dc, layout.style, layout.topHeight, -1, layout.paintedWidth + 2, colours.dark,
                  colours.light, /*outlineStyle0=*/true, canvas.Dpi());
  if (icon && layout.hasIcon) {
    const Rect& r = layout.icon;
    icon->Render(dc, r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
}

void PaintTitleBar(const DesignCanvas& canvas, const FrameLayout& layout, const FrameColours& colours) {
  if (layout.width > layout.paintedWidth + 1) {
    PaintTitleBands(canvas.Dc(), layout.style, layout.topHeight, layout.paintedWidth, layout.width + 1,
                    colours.dark, colours.light, /*outlineStyle0=*/false, canvas.Dpi());
  }
  if (layout.style == kStyleGripBand) PaintGripDots(canvas, layout, colours.light, Half(colours.dark, kBlack));
  PaintBorderAndShadow(canvas, layout, colours);
  PaintCaption(canvas, layout, colours);
}

void PaintCaptionButton(const DesignCanvas& canvas, const FrameLayout& layout,
                        const FrameColours& colours, int slot, ButtonLook look, uint32_t glyphColour,
                        bool restoreGlyph) {
  if (slot < 0 || slot >= kSlotCount) return;
  HDC dc = canvas.Dc();
  const ButtonSlot& s = layout.slots[static_cast<size_t>(slot)];
  const int dpi = canvas.Dpi();
  const int style = layout.style;
  const uint32_t o = SolidTitleBand(style) ? kBlack : Half(colours.dark, kBlack);
  // One 96-dpi pixel at the frame's dpi: the face's inset and the pressed
  // button's shift, in device pixels from the slot's place.
  const int k = ScaleToDpi(1, dpi);
  POINT at{s.left, s.top};
  // The outline round the button's 18 pixels, its corners left out.
  auto outline = [&] {
    const DesignCanvas button = DesignCanvas::Open(dc, dpi, at);
    const int n = kButtonSize;
    button.Fill(RECT{1, 0, n, 1}, o);
    button.Fill(RECT{0, 1, 1, n}, o);
    button.Fill(RECT{1, n, n, n + 1}, o);
    button.Fill(RECT{n, 1, n + 1, n}, o);
  };
  if (look == kLookHover) {
    DrawGradientInRectangle(dc, Half(glyphColour, kWhite), kWhite, at.x + k, at.y, s.width - k,
                            s.height, kCylinderDown, false, 0, 2.01);
    outline();
  } else {
    // The pressed and the normal look start from the title background over
    // the button's columns, so that a hover face it had goes.
    PaintTitleBands(dc, style, layout.topHeight, at.x - k, s.width + 4 * k, colours.dark, colours.light,
                    false, dpi);
    if (look == kLookPressed) {
      // Pressed, the button sinks a pixel down and right.
      at.x += k;
      at.y += k;
      DrawGradientInRectangle(dc, Half(colours.dark, kWhite), kWhite, at.x + k, at.y + k, s.width,
                              s.height, kCylinderDown, false, 0, 2.01);
      outline();
    }
  }
  // Styles 2 and 5 put the glyphs of the normal look on a band solid in the
  // dark colour: there they take the light colour their caption is drawn in,
  // or the buttons could not be seen until the pointer found them.
  uint32_t c = glyphColour;
  if (look == kLookNormal && SolidTitleBand(style)) c = colours.light;
  const Glyph* glyph = nullptr;
  switch (slot) {
    case kSlotClose: glyph = &kCloseGlyph; break;
    case kSlotMax: glyph = restoreGlyph ? &kRestoreGlyph : &kMaximiseGlyph; break;
    default: glyph = &kMinimiseGlyph; break;
  }
  PaintGlyph(DesignCanvas::Open(dc, dpi, at), *glyph, c);
}

}  // namespace fw::skforms
