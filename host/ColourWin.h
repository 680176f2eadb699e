// The colour translation step on Windows: the portable rule of Colour.h with the
// platform's system-colour table (GetSysColor), -1 for a value the rule refuses.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/Colour.h"

namespace fw {

// The current 0x00BBGGRR value of `c`, or -1 when the platform cannot translate it
// (a system colour index beyond its table, a palette or other encoded form).
int32_t TranslateColor(Colour c);

// TranslateColor for drawing: an untranslatable colour gives `fallback`.
COLORREF ToColorRef(Colour c, COLORREF fallback = 0);

// The platform's system-colour table for the portable TranslateColor.
SystemColourLookup Win32SystemColours();

}  // namespace fw
