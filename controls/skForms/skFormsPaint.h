// The frame's painters: each draws one part of the title bar from the layout
// and the colours it is handed, on the frame's design canvas, and changes
// nothing else. They are written in 96-dpi pixels where a part is drawn pixel
// by pixel (the border, the shadow, the grip dots, a button's outline) and in
// the layout's device pixels where it is laid out so (the bands, the caption).
#pragma once

#include <windows.h>

#include <cstdint>

#include "controls/skForms/skFormsLayout.h"
#include "host/DesignCanvas.h"

namespace fw {
class Picture;
}

namespace fw::skforms {

struct FrameColours {
  // The theme pair as drawn now (faded while the host is inactive).
  uint32_t dark = 0;
  uint32_t light = 0;
  // The frame's own back colour, translated: where the shadow fades to.
  uint32_t back = 0;
};

// The persistent background every Cls comes back to: the title bands as wide
// as the layout's background, and the host's icon on them.
void PaintTitleBackground(const DesignCanvas& canvas, const FrameLayout& layout,
                          const FrameColours& colours, const Picture* icon);

// The live title over the background: the bands past it, style 1's grip dots,
// the border and the shadow, and the caption, in this order. The caption is
// drawn in the DC's font; the DC's text colour is left as it was.
void PaintTitleBar(const DesignCanvas& canvas, const FrameLayout& layout, const FrameColours& colours);

// One visible caption button in a look: the hover face, or the title's
// background under the normal and the pressed one (pressed, sunk a pixel down
// and right), then its glyph in `glyphColour` (the restore glyph when
// `restoreGlyph`).
void PaintCaptionButton(const DesignCanvas& canvas, const FrameLayout& layout,
                        const FrameColours& colours, int slot, ButtonLook look, uint32_t glyphColour,
                        bool restoreGlyph);

}  // namespace fw::skforms
