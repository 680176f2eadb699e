#include "host/ColourWin.h"

#include <ole2.h>
#include <olectl.h>

namespace fw {

int32_t TranslateColor(Colour c) {
  COLORREF out = 0;
  if (FAILED(OleTranslateColor(static_cast<OLE_COLOR>(c.value), nullptr, &out))) return -1;
  return static_cast<int32_t>(out & 0x00FFFFFFu);
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
