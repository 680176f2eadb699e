#include "host/Colour.h"

namespace fw {

int32_t TranslateColor(Colour c, const SystemColourLookup& lookup) {
  if (IsSystemColour(c)) {
    if (!lookup) return -1;
    const std::optional<uint32_t> rgb = lookup(SystemColourIndex(c));
    if (!rgb) return -1;
    // A table can only answer RGB; anything in the top byte is not colour.
    return static_cast<int32_t>(*rgb & 0x00FFFFFFu);
  }
  if ((c.value & kNonRgbBits) != 0) return -1;
  return static_cast<int32_t>(c.value);
}

}  // namespace fw
