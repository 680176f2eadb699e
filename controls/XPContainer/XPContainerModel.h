// What the header container knows without a window: its twelve colour themes,
// the defaults of a new container, the saved-property table and the row
// arithmetic of its vertical gradients. Portable: no platform header.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "host/Colour.h"

namespace fw::xpcontainer {

// The six colours a theme sets, in the order ApplyThemeColors writes them.
struct ThemeColours {
  Colour headerLight;
  Colour headerDark;
  Colour backLight;
  Colour backDark;
  Colour border;
  Colour text;

  friend constexpr bool operator==(const ThemeColours&, const ThemeColours&) = default;
};

constexpr int32_t kThemeCount = 12;

// The built-in themes, indexed by `Theme` (values as 0x00BBGGRR).
extern const std::array<ThemeColours, kThemeCount> kThemes;

// The row of `theme`, or nothing for a value outside 0 .. 11 (such a `Theme` is
// kept and saved but changes no colour).
std::optional<ThemeColours> ThemeRow(int32_t theme);

// The names of the colour properties a theme writes, in the order it writes
// them; each write reports its own change to the host.
extern const std::array<std::u16string_view, 6> kThemeColourNames;

// Geometry fixed at design, in pixels of the container's surface.
constexpr int32_t kHeaderLeft = 1;
constexpr int32_t kHeaderTop = 1;
constexpr int32_t kHeaderHeight = 23;
constexpr int32_t kCaptionLeft = 10;
constexpr int32_t kBodyLeft = 1;
constexpr int32_t kBodyTop = 24;
// The body gradient of a container with a header starts on this row.
constexpr int32_t kBodyFirstRow = 24;
constexpr double kCaptionPoints = 9.0;

// Defaults of a new container, and the values assumed when the store lacks a name.
constexpr std::u16string_view kDefaultCaption = u"XPContainer";
constexpr int32_t kDefaultStyle = 0;
constexpr int32_t kDefaultTheme = 0;

// The saved properties, in the order they are written.
enum class SavedKind { Colour32, Text, Int16 };
struct SavedProperty {
  std::u16string_view name;
  SavedKind kind;
};
extern const std::array<SavedProperty, 9> kSavedProperties;

// The placement that follows the container's size (the resize step). Nothing
// changes while the container's width is 0.
struct Layout {
  int32_t captionTop = 0;
  int32_t headerWidth = 0;
  int32_t bodyWidth = 0;
  int32_t bodyHeight = 0;
};
// `innerWidth` and `innerHeight` are the container's inner (scale) size;
// `captionHeight` is the caption label's height.
// The 96-dpi geometry above is scaled to `dpi` (ScaleToDpi).
std::optional<Layout> ResizeLayout(int32_t innerWidth, int32_t innerHeight,
                                   int32_t captionHeight, int32_t dpi = 96);

// The colours of the rows of a vertical gradient, top to bottom.
//
// `first` and `last` are the translated colours (0x00BBGGRR, or -1 when the
// colour could not be translated); `divisor` is n; `rowCount` the number of rows
// in the range (none when it is 0 or less).
//
// Each channel steps by (first - last) / n per row, kept fractional; the running
// values start at the first colour's channels; a row's colour is the running
// values rounded to whole numbers (halves to even), then the steps are
// subtracted. The running values are carried by repeated subtraction, not
// recomputed from the row index, because that is the arithmetic the rows are
// drawn with.
//
// A failure ends the drawing step where it happens, so `rows` holds the rows
// drawn before it and `complete` is false:
//   - n = 0 (a strip of inner height 1): the step division fails before any row;
//   - an untranslated colour (-1) has channels out of range: its first row fails;
//   - a running channel that rounds outside 0 .. 255 fails on that row (only the
//     row past the last colour can get there, when a range is longer than n + 1).
struct GradientRows {
  std::vector<uint32_t> rows;
  bool complete = true;
};
GradientRows VerticalGradient(int32_t first, int32_t last, int32_t divisor, int32_t rowCount);

}  // namespace fw::xpcontainer
