#include "controls/skLabel/skLabelModel.h"

#include <algorithm>

#include "host/Numeric.h"

namespace fw::sklabel {

namespace {

constexpr uint32_t Pack(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) |
         (static_cast<uint32_t>(b) << 16);
}

// The glossy bar's rows, top band then bottom band, as (grey, blue).
struct BarRow {
  int32_t fromTop;     // row 1 .. 11, or 0 for a row counted from the bottom
  int32_t fromBottom;  // n of SH - n
  uint32_t grey;
  uint32_t blue;
};
constexpr BarRow kBarRows[] = {
    {1, 0, 0xF5F4F6, 0xF1D4C9},  {2, 0, 0xF3F2F4, 0xE5C8BD},  {3, 0, 0xEEEEEE, 0xE8C0A1},
    {4, 0, 0xEBEBEB, 0xE0B898},  {5, 0, 0xEBE8EA, 0xE3B48E},  {6, 0, 0xEBE8EA, 0xE0B18B},
    {7, 0, 0xEAEAEA, 0xE9B47F},  {8, 0, 0xE1E1E1, 0xCE9963},  {9, 0, 0xE5E2E3, 0xDDA064},
    {10, 0, 0xEAE7E8, 0xE2A66A}, {11, 0, 0xE8EBE9, 0xE6AC76}, {0, 11, 0xE8EBE9, 0xE6AC76},
    {0, 10, 0xEEF1EF, 0xF1B681}, {0, 9, 0xF2F2F2, 0xF3BD8A},  {0, 8, 0xF5F5F5, 0xFCC592},
    {0, 7, 0xFFFEFE, 0xF8CE97},  {0, 6, 0xFFFFFF, 0xFED59E},  {0, 5, 0xFDFDFD, 0xF7DDA3},
    {0, 4, 0xFEFEFE, 0xFFE6AD},  {0, 3, 0xFBFBFB, 0xE9E2C5},  {0, 2, 0xFBFBFB, 0xE9E2C5},
    {0, 1, 0xFBFBFB, 0xE9E2C5},
};

int32_t Channel(uint32_t c, int shift) { return static_cast<int32_t>((c >> shift) & 0xFFu); }

}  // namespace

ThemeColours ThemeColoursFor(int32_t theme, Colour colorFrom, Colour colorTo, Colour frameColor) {
  switch (theme) {
    case 0: return {Rgb(129, 169, 226), Rgb(221, 236, 254), Rgb(0, 0, 128)};
    case 2: return {Rgb(181, 197, 143), Rgb(247, 249, 225), Rgb(63, 93, 56)};
    case 3: return {Rgb(194, 194, 171), Rgb(248, 248, 242), Rgb(145, 145, 115)};
    case 4: return {Rgb(217, 172, 1), Rgb(255, 239, 165), Rgb(117, 91, 30)};
    case 5: return {colorFrom, colorTo, frameColor};
    default: return {Rgb(153, 151, 180), Rgb(244, 244, 251), Rgb(75, 75, 111)};
  }
}

uint32_t TextFormatFor(int32_t alignment) {
  switch (alignment) {
    case 0: return 36;
    case 1: return 38;
    default: return 37;
  }
}

std::optional<StyleDefaults> StyleDefaultsFor(int32_t style, Colour ambientBack) {
  StyleDefaults d;
  switch (style) {
    case 0:
      d.textColor = Colour(0xCF3603);
      d.frameColor = Rgb(195, 195, 195);
      d.textBoxColor = Colour(0xFFFFFF);
      d.alignment = 0;
      d.fillColor = ambientBack;
      return d;
    case 2:
      d.textColor = Colour(0);
      d.frameColor = Colour(0x6A6A6A);
      d.textBoxColor = Colour(0xB0EFF0);
      d.roundedCorners = true;
      return d;
    case 3:
      d.textColor = Colour(0);
      d.frameColor = Colour(0);
      d.textBoxColor = Colour(0xB0EFF0);
      d.fillColor = Colour(0xE0FFFF);
      return d;
    case 1:
    case 4:
      d.textColor = Colour(0);
      d.frameColor = Colour(0);
      d.textBoxColor = Colour(0xFFFFFF);
      d.themeColor = 0;
      return d;
    default: return std::nullopt;
  }
}

std::optional<uint32_t> GradientRow(uint32_t a, uint32_t b, int32_t i, int32_t n) {
  if (n == 0) return std::nullopt;
  auto ch = [&](int shift) {
    const int32_t from = Channel(a, shift);
    const double delta = static_cast<double>(i) * (Channel(b, shift) - from) / n;
    return std::clamp(RoundHalfEven(from + delta), 0, 255);
  };
  return Pack(ch(0), ch(8), ch(16));
}

uint32_t Average(uint32_t c1, uint32_t c2) {
  auto ch = [&](int shift) {
    return RoundHalfEven((Channel(c1, shift) + Channel(c2, shift)) / 2.0);
  };
  return Pack(ch(0), ch(8), ch(16));
}

uint32_t GlossyFill(bool grey) { return grey ? 0xEAE7E8u : 0xE2A66Au; }

std::vector<BarLine> GlossyLines(bool grey, int32_t sh) {
  std::vector<BarLine> lines;
  lines.reserve(std::size(kBarRows));
  for (const BarRow& r : kBarRows) {
    lines.push_back({r.fromTop != 0 ? r.fromTop : sh - r.fromBottom, grey ? r.grey : r.blue});
  }
  return lines;
}

std::array<int32_t, 9> GripDotsX(int32_t sw) {
  std::array<int32_t, 9> xs{};
  const int32_t first = RoundHalfEven((sw - 34) / 2.0);
  for (int32_t i = 0; i < 9; ++i) xs[static_cast<size_t>(i)] = first + 4 * i;
  return xs;
}

std::optional<CaptionLayout> LayoutCaption(const CaptionLayoutInput& in) {
  const int32_t sw = in.sw;
  const int32_t sh = in.sh;
  const int32_t s = in.iconSize;
  CaptionLayout out;
  Rect& rc = out.caption;
  int32_t& y = out.iconY;
  switch (in.style) {
    case 0:
      // One rectangle inside the frame for every alignment, 21 pixels in from
      // either side; the alignment's own text format places the caption in it.
      rc = {kInnerMargin + kOuterMargin, 0, sw - kOuterMargin - kInnerMargin, sh};
      y = in.hasCaption ? RoundHalfEven((sh - s) / 2.0) : 0;
      break;
    case 1:
      rc = {kInnerMargin, kBand + 1, sw - kInnerMargin, sh - kBand};
      y = RoundHalfEven((sh + 2 * kBand - s) / 2.0);
      break;
    case 2:
      rc = {24, 0, sw - 24, sh - 1};
      y = RoundHalfEven((sh - s) / 2.0);
      break;
    case 3:
      rc = {kInnerMargin, 0, sw - kInnerMargin, sh - 1};
      y = RoundHalfEven((sh - s) / 2.0);
      break;
    case 4:
      rc = {kInnerMargin, 8, sw - kInnerMargin, sh};
      y = RoundHalfEven((sh - s) / 2.0) + 6;
      break;
    default: return std::nullopt;
  }
  out.iconX = in.style == 2 ? 12 : 0;
  if (!in.hasPicture) return out;

  const bool leftOrRight = in.alignment == 0 || in.alignment == 1;
  const int32_t room = kInnerMargin + s;
  if (in.iconAlignment == 0) {
    rc.left += room;
    if (!leftOrRight) rc.right -= room;
    out.iconX = in.style == 2 ? 27 : kInnerMargin;
  } else if (in.iconAlignment == 1) {
    rc.right -= room;
    if (!leftOrRight) rc.left += room;
    out.iconX = in.style == 2 ? sw - s - 27 : sw - kInnerMargin - s;
  }
  if (in.style == 4) y = std::max(y, 8);
  else if (in.style == 1) y = std::max(y, 5);
  else if (y < 0) y = 3;
  return out;
}

const std::array<std::u16string_view, 16> kSavedOrder = {
    u"FrameColor", u"BackColor",   u"FillColor",     u"TextBoxColor", u"Style",
    u"RoundedCornerTxtBox", u"Caption", u"TextColor", u"Alignment", u"IconAlignment",
    u"Font",       u"Picture",     u"IconSize",      u"ThemeColor",   u"ColorFrom",
    u"ColorTo",
};

}  // namespace fw::sklabel
