// What the spin text box knows without a window: its layout in twips, reading a
// text as a number, writing a number as text, and the step of the Up and Down
// keys and the mouse wheel. Portable: no platform header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fw::xptext {

// Child places and the control's size, in twips.
constexpr int32_t kMinWidth = 400;
constexpr int32_t kHeight = 315;
constexpr int32_t kTextLeft = 75;
constexpr int32_t kTextTop = 60;
constexpr int32_t kTextWidthInset = 111;
constexpr int32_t kTwipsPerPixel = 15;

struct Layout {
  int32_t width = 0;       // the control's, raised to kMinWidth
  int32_t height = kHeight;
  int32_t borderWidth = 0;  // ShapeBorder: the full width
  int32_t textLeft = kTextLeft;
  int32_t textTop = kTextTop;
  int32_t textWidth = 0;
  int32_t textHeight = 0;  // down to the border's bottom row
};
// `width` in twips; `fontPoints` the text's font size; the pixel rows it keeps
// free are 96-dpi pixels at `dpi`.
Layout LayoutFor(int32_t width, double fontPoints, int32_t dpi = 96);

// The longest leading part of `text` that reads as a number (leading blanks
// skipped; sign, digits, one decimal point, an exponent E or D with at least one
// digit), 0 when there is none. A number beyond the double range gives the
// largest double of its sign.
double LeadingNumber(std::u16string_view text);

// The shortest text that reads back as `value` ("2.5", "12", "1e+20").
std::u16string ShortestText(double value);

// `value` with `places` decimals (0: a whole number), halves to even; negative
// places count as 0 and more than 15 as 15. A result that shows as zero has no sign.
std::u16string FixedText(double value, int32_t places);

// The text after one step: the number `text` reads as, plus `direction` (+1 up,
// -1 down) times `largeChange`, with `places` decimals.
std::u16string Stepped(std::u16string_view text, int direction, double largeChange,
                       int32_t places);

// Defaults.
constexpr int16_t kDefaultDecimal = 0;
constexpr double kDefaultLargeChange = 1.0;
constexpr double kDefaultValue = 0.0;
constexpr std::u16string_view kDefaultText = u"Text1";
constexpr std::u16string_view kDesignText = u"0";

}  // namespace fw::xptext
