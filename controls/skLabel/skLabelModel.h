// What the gradient label knows without a window: its colour themes, the style
// defaults, the text formats, the colour arithmetic of its drawing routines, the
// glossy bar's row table and where the caption and the icon go. Portable: no
// platform header. Positions and sizes are pixels of the label's surface.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "host/Colour.h"

namespace fw::sklabel {

// The three colours of a theme in use.
struct ThemeColours {
  Colour gradientStart;
  Colour gradientEnd;
  Colour frame;
  friend constexpr bool operator==(const ThemeColours&, const ThemeColours&) = default;
};

// The colours ApplyThemeColor puts in use for `theme`: 0, 2, 3 and 4 their own,
// 5 the custom pair (`colorFrom` to `colorTo`) framed in `frameColor`, and 1 or any
// other value the lilac row.
ThemeColours ThemeColoursFor(int32_t theme, Colour colorFrom, Colour colorTo, Colour frameColor);

// Text-drawing flags of an alignment: 36 left, 38 right, 37 centred (any other
// value): single line 32 + vertical centre 4 + horizontal 0, 2 or 1.
uint32_t TextFormatFor(int32_t alignment);

// The fields ApplyStyleDefaults sets for `style`; nothing for a style outside 0 .. 4.
// `themeColor` is stored only (styles 1 and 4); `fillColor` is set by styles 0 and 3.
struct StyleDefaults {
  Colour textColor;
  Colour frameColor;
  Colour textBoxColor;
  int32_t alignment = 2;
  std::optional<Colour> fillColor;
  std::optional<bool> roundedCorners;
  std::optional<int32_t> themeColor;
};
std::optional<StyleDefaults> StyleDefaultsFor(int32_t style, Colour ambientBack);

// Colour arithmetic on translated colours (0x00BBGGRR). Each channel is rounded
// to the nearest whole number, halves to even.
//
// The colour of row i of a vertical gradient of n steps from `a` to `b`:
// a + i * (b - a) / n per channel; nothing when n is 0.
std::optional<uint32_t> GradientRow(uint32_t a, uint32_t b, int32_t i, int32_t n);
// The average of two colours: (c1 + c2) / 2 per channel.
uint32_t Average(uint32_t c1, uint32_t c2);

// The glossy bar (style 3): the fill of rows 12 .. SH - 1, then one full-width line
// per entry, in drawing order (a later line may cover an earlier one on a short
// label; rows outside the surface are left to clipping). `grey` for a non-zero
// ThemeColor, else the blue set.
struct BarLine {
  int32_t row;
  uint32_t colour;
};
uint32_t GlossyFill(bool grey);
std::vector<BarLine> GlossyLines(bool grey, int32_t sh);

// The grip dots of style 4: the left x of each of the nine dark squares (y 2).
std::array<int32_t, 9> GripDotsX(int32_t sw);

// Where the caption and the icon go.
struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};
struct CaptionLayoutInput {
  int32_t style = 1;
  int32_t sw = 0, sh = 0;  // the surface's inner size
  bool hasCaption = false;
  int32_t alignment = 2;
  bool hasPicture = false;
  int32_t iconSize = 16;
  int32_t iconAlignment = 0;
};
struct CaptionLayout {
  Rect caption;
  int32_t iconX = 0;
  int32_t iconY = 0;  // after the per-style adjustments made just before drawing it
};
// Nothing for a style outside 0 .. 4 (such a label draws no background and no caption).
std::optional<CaptionLayout> LayoutCaption(const CaptionLayoutInput& in);

// Defaults of the saved properties that do not depend on the host.
constexpr int32_t kDefaultStyle = 1;
constexpr int32_t kDefaultAlignment = 2;
constexpr int32_t kDefaultIconAlignment = 0;
constexpr int16_t kDefaultIconSize = 16;
constexpr int32_t kDefaultThemeColor = 0;
constexpr Colour kDefaultFrameColor{0u};
constexpr Colour kDefaultTextColor{0u};
constexpr Colour kDefaultTextBoxColor{0xFFFFFFu};
constexpr Colour kDefaultColorFrom{0x9E9EFFu};
constexpr Colour kDefaultColorTo{0xF0F0FFu};

// The band height of styles 1 and 4, and the margins.
constexpr int32_t kBand = 3;
constexpr int32_t kOuterMargin = 15;
constexpr int32_t kInnerMargin = 6;

// The saved properties, in the order they are written.
extern const std::array<std::u16string_view, 16> kSavedOrder;

}  // namespace fw::sklabel
