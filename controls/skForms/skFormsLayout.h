// Where the frame's title bar puts each of its parts, worked out when the
// frame's size, its settings, its caption or its dpi change. The painters
// (skFormsPaint.h) only read it; hit-testing, the tooltips and assistive
// technology read the same places. Portable: no platform header.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "controls/skForms/skFormsModel.h"

namespace fw::skforms {

// Style 1's grip dots are centred in the top 7 pixels of the grip band: nine
// pairs 4 pixels apart, 18 + 16 pixels wide in all.
constexpr int kGripDotsHeight = 7;
constexpr int kGripDotsWidth = 18 + 16;

struct FrameLayout {
  // The frame's inner size in device pixels, and the dpi it is drawn at.
  int width = 0;
  int height = 0;
  int dpi = 96;
  int style = 0;
  // TitleBarShadow: the shadow the title casts on the form.
  bool shadow = true;
  // The top area: the title, and style 1's grip band above it.
  int topHeight = kInitialTitleHeight;
  // The persistent background's width (the whole width with an icon, none
  // without; the live title paints the rest), and the icon on it.
  int paintedWidth = 0;
  bool hasIcon = false;
  Rect icon;
  // The caption buttons (their visibility and tooltips are the frame's).
  ButtonSlots slots;
  int buttonTop = 0;
  // The caption as drawn (shortened to fit) and the rectangle it is drawn in.
  Rect captionRect;
  std::u16string caption;
  // The left of style 1's row of grip dots (device) and their top (96 dpi).
  int gripDotsLeft = 0;
  int gripDotsTop = 0;
};

// What the title is laid out from.
struct TitleInput {
  int width = 0;
  int height = 0;
  int dpi = 96;
  int style = 0;
  bool shadow = true;
  int titleHeight = kInitialTitleHeight;
  int iconSize = 16;  // device pixels
  int leftmostButton = 0;
  std::u16string_view caption;
};

// The persistent background at `in`: the top area, and the whole width when
// the host has an icon (drawn iconSize device pixels square at 6 from the
// left, as IconTopFor puts it), none without one.
void LayOutBackground(FrameLayout& layout, const TitleInput& in, bool hasIcon);

// The title at `in`: the top area, the visible buttons from the right edge
// (centred in the title, 18 high when the close button is not there to say),
// and the caption between the icon (or the left edge) and the leftmost
// visible button, shortened as `measure` says it fits.
void LayOutTitle(FrameLayout& layout, const TitleInput& in,
                 const std::function<int(std::u16string_view)>& measure);

// The left of the leftmost visible button, or the inner width without one.
int ButtonsLeft(const FrameLayout& layout, int leftmostButton);

}  // namespace fw::skforms
