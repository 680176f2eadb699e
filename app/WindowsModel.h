// The rules of the program's small windows that need no window: the message
// box's flag reduction, button sets, button row and results, and the random
// theme the main and about windows start with. Portable: no platform header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fw::windows {

// -- The message box

// The box's width and the row's place and gap, twips.
inline constexpr int32_t kBoxClientWidth = 5070;
inline constexpr int32_t kButtonRowTop = 1680;
inline constexpr int32_t kButtonGap = 120;

// Results, the system's own numbering (not the platform's IDOK ... IDNO).
inline constexpr int32_t kResultNone = 0;
inline constexpr int32_t kResultOk = 1;
inline constexpr int32_t kResultCancel = 2;
inline constexpr int32_t kResultIgnore = 3;
inline constexpr int32_t kResultYes = 4;
inline constexpr int32_t kResultNo = 5;

// Flags without its icon part: 16..31, 32..47, 48..63 and 64..79 lose 16, 32,
// 48 and 64; any other value stays as it is.
int32_t ButtonSetOf(int32_t flags);

// The captions of the buttons shown, left to right, for a reduced Flags value;
// none for a value outside 0 to 4.
std::vector<std::u16string_view> ButtonCaptions(int32_t buttonSet);

// The result a button's caption gives, by exact comparison; a caption outside
// the table leaves the result as it was (`previous`).
int32_t ResultOf(std::u16string_view caption, int32_t previous);

// The lefts of a row of buttons of the given widths, centred in `windowWidth`
// with `gap` between neighbours (halving truncates toward zero).
std::vector<int32_t> RowLefts(int32_t windowWidth, const std::vector<int32_t>& widths,
                              int32_t gap = kButtonGap);

// -- The random theme

// A theme from 1 to 5 from a uniform number in [0, 1): its integer part times
// 5, plus 1. Values outside [0, 1) are clamped into it.
int32_t ThemeFromUniform(double uniform);

}  // namespace fw::windows
