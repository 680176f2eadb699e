#include "host/ColourWin.h"

namespace fw {

// The documented rule first, then the platform's table: the platform's own
// translation accepts values with stray high bytes on some systems (and masking
// its answer would turn them into real colours), so it is not asked at all.
int32_t TranslateColor(Colour c) {
  static const SystemColourLookup lookup = Win32SystemColours();
  return TranslateColor(c, lookup);
}

COLORREF ToColorRef(Colour c, COLORREF fallback) {
  const int32_t rgb = TranslateColor(c);
  return rgb < 0 ? fallback : static_cast<COLORREF>(rgb);
}

SystemColourLookup Win32SystemColours() {
  return [](uint32_t index) -> std::optional<uint32_t> {
    // COLOR_MENUBAR (30) is the last entry of the table the platform keeps.
    if (index > COLOR_MENUBAR) return std::nullopt;
    return static_cast<uint32_t>(GetSysColor(static_cast<int>(index)));
  };
}

}  // namespace fw
