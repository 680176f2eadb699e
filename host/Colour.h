// Colour values as the controls store and draw them, and the translation step
// every colour passes through before it is drawn. Portable: no platform header;
// the Win32 side supplies the system-colour table.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace fw {

// A colour in the platform's layout 0x00BBGGRR (red in the low byte), or, with
// the top bit set, 0x80000000 | n: the system colour n. A type of its own so a
// property store can tell a colour from a plain 32-bit number and a design file
// can write it in its hexadecimal form.
struct Colour {
  uint32_t value = 0;

  constexpr Colour() = default;
  constexpr explicit Colour(uint32_t v) : value(v) {}
  friend constexpr bool operator==(Colour, Colour) = default;
};

constexpr uint32_t kSystemColourFlag = 0x80000000u;

// Bits that must be clear in a plain RGB value; the platform's translation
// refuses a value that is not a system colour and has any of them set.
constexpr uint32_t kNonRgbBits = 0x7F000000u;

constexpr Colour Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return Colour(uint32_t{r} | (uint32_t{g} << 8) | (uint32_t{b} << 16));
}
// System colour `index` by the platform's name for it: SystemColour(COLOR_BTNFACE)
// is 0x8000000F.
constexpr Colour SystemColour(int index) {
  return Colour(kSystemColourFlag | static_cast<uint32_t>(index));
}

constexpr bool IsSystemColour(Colour c) { return (c.value & kSystemColourFlag) != 0; }
// n of 0x80000000 | n; meaningful only when IsSystemColour(c).
constexpr uint32_t SystemColourIndex(Colour c) { return c.value & ~kSystemColourFlag; }

// Channels of a 0x00BBGGRR value (the top byte is ignored).
constexpr uint8_t Red(uint32_t rgb) { return static_cast<uint8_t>(rgb & 0xFFu); }
constexpr uint8_t Green(uint32_t rgb) { return static_cast<uint8_t>((rgb >> 8) & 0xFFu); }
constexpr uint8_t Blue(uint32_t rgb) { return static_cast<uint8_t>((rgb >> 16) & 0xFFu); }
constexpr uint8_t Red(Colour c) { return Red(c.value); }
constexpr uint8_t Green(Colour c) { return Green(c.value); }
constexpr uint8_t Blue(Colour c) { return Blue(c.value); }

// Answers the current 0x00BBGGRR value of system colour n, or nothing when n is
// outside the platform's table. The Win32 side wraps GetSysColor (with the
// table's bound); tests pass a fake table.
using SystemColourLookup = std::function<std::optional<uint32_t>(uint32_t index)>;

// The translation step. The rule:
//   - top bit set: a system colour; its index n (the low 31 bits) is looked up,
//     and an index the lookup does not know gives -1; the looked-up value is
//     returned with its top byte cleared;
//   - top bit clear and any bit of 0x7F000000 set: -1 (palette forms and other
//     encodings are refused, as the platform's translation does without a palette);
//   - otherwise the value itself, a plain RGB colour.
// The result is a 0x00BBGGRR value in 0 .. 0xFFFFFF, or -1.
int32_t TranslateColor(Colour c, const SystemColourLookup& lookup);

}  // namespace fw
