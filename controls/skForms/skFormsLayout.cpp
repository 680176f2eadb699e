#include "controls/skForms/skFormsLayout.h"

#include "host/Numeric.h"

namespace fw::skforms {

void LayOutBackground(FrameLayout& layout, const TitleInput& in, bool hasIcon) {
  layout.dpi = in.dpi;
  layout.style = in.style;
  layout.topHeight = TopHeightFor(in.titleHeight, in.style, in.dpi);
  layout.hasIcon = hasIcon;
  layout.paintedWidth = hasIcon ? in.width - 1 : 0;
  const int left = ScaleToDpi(6, in.dpi);
  const int top = IconTopFor(layout.topHeight, in.iconSize, in.style, in.dpi);
  layout.icon = hasIcon ? Rect{left, top, left + in.iconSize, top + in.iconSize} : Rect{};
}

int ButtonsLeft(const FrameLayout& layout, int leftmostButton) {
  const ButtonSlot& s = layout.slots[static_cast<size_t>(leftmostButton)];
  return s.visible ? s.left : layout.width;
}

void LayOutTitle(FrameLayout& layout, const TitleInput& in,
                 const std::function<int(std::u16string_view)>& measure) {
  layout.width = in.width;
  layout.height = in.height;
  layout.dpi = in.dpi;
  layout.style = in.style;
  layout.shadow = in.shadow;
  layout.topHeight = TopHeightFor(in.titleHeight, in.style, in.dpi);
  LayOutButtons(layout.slots, in.width, in.dpi);
  const ButtonSlot& close = layout.slots[kSlotClose];
  const int buttonHeight = close.visible ? close.height : ScaleToDpi(kNoCloseButtonHeight, in.dpi);
  layout.buttonTop = ButtonTopFor(layout.topHeight, buttonHeight, in.style, in.dpi);
  for (ButtonSlot& s : layout.slots) {
    if (s.visible) s.top = layout.buttonTop + ScaleToDpi(2, in.dpi);
  }
  layout.captionRect = CaptionRectFor(in.style, layout.topHeight, ButtonsLeft(layout, in.leftmostButton),
                                      layout.hasIcon, in.iconSize, in.dpi);
  layout.caption = in.caption.empty()
                       ? std::u16string()
                       : TrimWord(in.caption, layout.captionRect.right - layout.captionRect.left, measure);
  layout.gripDotsTop = RoundHalfEven((kGripDotsHeight - 2) / 2.0);
  layout.gripDotsLeft = RoundHalfEven((in.width - ScaleToDpi(kGripDotsWidth, in.dpi)) / 2.0);
}

}  // namespace fw::skforms
