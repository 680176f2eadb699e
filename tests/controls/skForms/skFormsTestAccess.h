// The skinned frame's run-time state, for the tests (and the picture gallery,
// which points at the caption buttons): what the frame decided besides what it
// drew. `Inside(frame).LitButton()` reads it; the frame's public surface stays
// what a program uses.
#pragma once

#include "controls/skForms/skForms.h"

namespace fw {

struct skFormsTestAccess {
  const skForms& f;

  uint32_t DrawDark() const { return f.m_draw.dark; }
  uint32_t DrawLight() const { return f.m_draw.light; }
  skforms::ThemePair ThemePair() const { return f.m_theme; }
  bool IsActive() const { return f.m_isActive; }
  int TitleHeight() const { return f.m_titleHeight; }
  int TopHeight() const { return f.m_layout.topHeight; }
  const std::u16string& CaptionText() const { return f.m_captionText; }
  const std::u16string& SchemeName() const { return f.m_schemeName; }
  int PaintedWidth() const { return f.m_layout.paintedWidth; }
  int ButtonTop() const { return f.m_layout.buttonTop; }
  const skforms::ButtonSlots& ButtonSlots() const { return f.m_layout.slots; }
  int HoverButton() const { return f.m_hoverButton; }
  int LitButton() const { return f.m_litButton; }
  int PressedButton() const { return f.m_pressedButton; }
  int LeftmostButton() const { return f.m_leftmostButton; }
  // The caption as last drawn (after trimming), and where.
  const std::u16string& DrawnCaption() const { return f.m_layout.caption; }
  skforms::Rect CaptionRect() const { return f.m_layout.captionRect; }
  const PopupMenu& SysMnu() const { return f.m_sysMnu; }
  bool MenuPopupOn() const { return f.m_menuPopupOn; }
  bool KeyboardMoveMode() const { return f.m_keyboardMoveMode; }
  // 0, or the pointer shape of the grip being dragged (7, 8 or 9).
  int SizingMode() const { return f.m_sizingMode; }
  bool GripsCreated() const { return f.GripsCreated(); }
  PictureBox* GripRight() const { return f.m_gripRight; }
  PictureBox* GripBottom() const { return f.m_gripBottom; }
  bool ContentShifted() const { return f.m_contentShifted; }
  // The host's place in the normal state: left, top, width, height (twips).
  skForms::RestoreRect RestoreRectangle() const { return f.m_restoreRect; }

  // Puts answers of the test's own in for the platform's visual-style queries;
  // an empty query restores the platform's. Returns the previous one.
  static skForms::VisualStyleQuery SetVisualStyleQuery(skForms::VisualStyleQuery query) {
    return skForms::SetVisualStyleQuery(std::move(query));
  }
};

inline skFormsTestAccess Inside(const skForms& frame) { return {frame}; }
inline skFormsTestAccess Inside(const skForms* frame) { return {*frame}; }

}  // namespace fw
