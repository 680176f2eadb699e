// skLabel: a one-line label with five looks. Style 0 is a framed box, 1 a
// gradient box with bands, 2 a text-box look with optional rounded ends, 3 a
// glossy bar from a fixed colour table, 4 a box under a gradient title band with
// a row of grip dots. An optional icon is drawn at IconSize beside the caption.
// The gradient styles take their colours from six themes (ThemeColor 0 to 5; 5 is
// the custom pair ColorFrom to ColorTo framed in FrameColor). It raises no events.
//
// Every property write stores the value, reports it to the host and redraws the
// whole label; ThemeColor does nothing when written with the value it holds, and
// reports after it redrew. Writing Style first applies that style's defaults
// (text, frame and text-box colours, alignment, and per style the fill colour,
// rounded ends or the stored theme number).
//
// A drawing step that fails (a gradient over no rows, a colour that cannot be
// translated) ends silently; what was drawn before it stays.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "controls/skLabel/skLabelModel.h"
#include "host/Picture.h"
#include "host/UserControl.h"

namespace fw {

class skLabel : public UserControl {
 public:
  skLabel();

  // -- Properties, in the order the host lists them
  Colour FrameColor() const { return m_frameColor; }
  void SetFrameColor(Colour colour);
  Colour FillColor() const { return m_fillColor; }
  void SetFillColor(Colour colour);
  bool RoundedCornerTxtBox() const { return m_roundedCorners; }
  void SetRoundedCornerTxtBox(bool rounded);
  const std::u16string& Caption() const { return m_caption; }
  void SetCaption(std::u16string_view caption);
  // 0 left, 1 right, any other value centred.
  int32_t Alignment() const { return m_alignment; }
  void SetAlignment(int32_t alignment);
  // 0 .. 4; another value is kept, changes no default and draws no background.
  int32_t Style() const { return m_style; }
  void SetStyle(int32_t style);
  Colour TextColor() const { return m_textColor; }
  void SetTextColor(Colour colour);
  Colour TextBoxColor() const { return m_textBoxColor; }
  void SetTextBoxColor(Colour colour);
  // BackColor() is the surface's; writing it also clears the surface.
  void SetBackColor(Colour colour);
  // GetFont() is the label's own font object. Writing copies the given font's
  // name, size, bold and italic into it; the object given is not kept.
  void SetFont(const std::shared_ptr<Font>& font);
  const std::shared_ptr<fw::Picture>& Picture() const { return m_picture; }
  void SetPicture(std::shared_ptr<fw::Picture> picture);
  int16_t IconSize() const { return m_iconSize; }
  void SetIconSize(int16_t size);
  // 0 icon left of the caption, 1 right of it, other values: drawn at the left
  // edge with no room made for it.
  int32_t IconAlignment() const { return m_iconAlignment; }
  void SetIconAlignment(int32_t alignment);
  int32_t ThemeColor() const { return m_themeColor; }
  void SetThemeColor(int32_t theme);
  Colour ColorFrom() const { return m_colorFrom; }
  void SetColorFrom(Colour colour);
  Colour ColorTo() const { return m_colorTo; }
  void SetColorTo(Colour colour);

  // -- What the drawing used, for those who check it
  const sklabel::ThemeColours& ThemeInUse() const { return m_inUse; }
  uint32_t TextFormat() const { return m_textFormat; }
  // The caption rectangle and icon place of the last Redraw.
  const sklabel::CaptionLayout& LastLayout() const { return m_layout; }

  // Draws the whole label from its state.
  void Redraw();

 protected:
  void OnCreated() override;
  void OnInitProperties() override;
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  void OnResize() override { Redraw(); }
  void OnPaint() override { Redraw(); }
  // A static text with its caption.
  void OnAccessibleSelf(AccessibleItem& self) const override;

 private:
  void ApplyThemeColor();
  void ApplyStyleDefaults();
  // Report, then redraw: the common end of a property write.
  void Written(std::u16string_view name);
  void CopyFont(const FontValue& from);

  // The background of each style; false when the step failed.
  bool DrawFramedBox(int sw, int sh);
  bool DrawBandedBox(int sw, int sh);
  bool DrawTextBox(int sw, int sh);
  bool DrawGlossyBar(int sw, int sh);
  bool DrawTitledBox(int sw, int sh);

  Colour m_frameColor = sklabel::kDefaultFrameColor;
  Colour m_textBoxColor = sklabel::kDefaultTextBoxColor;
  Colour m_fillColor{SystemColour(COLOR_BTNFACE)};
  std::u16string m_caption;
  Colour m_textColor = sklabel::kDefaultTextColor;
  int32_t m_alignment = sklabel::kDefaultAlignment;
  bool m_roundedCorners = false;
  int32_t m_style = sklabel::kDefaultStyle;
  std::shared_ptr<fw::Picture> m_picture;
  int16_t m_iconSize = sklabel::kDefaultIconSize;
  int32_t m_iconAlignment = sklabel::kDefaultIconAlignment;
  int32_t m_themeColor = sklabel::kDefaultThemeColor;
  Colour m_colorTo = sklabel::kDefaultColorTo;
  Colour m_colorFrom = sklabel::kDefaultColorFrom;
  uint32_t m_textFormat = sklabel::TextFormatFor(sklabel::kDefaultAlignment);
  sklabel::ThemeColours m_inUse =
      sklabel::ThemeColoursFor(0, sklabel::kDefaultColorFrom, sklabel::kDefaultColorTo,
                               sklabel::kDefaultFrameColor);
  sklabel::CaptionLayout m_layout;
};

// Lets design files place the kind "skLabel".
void RegisterskLabel();

}  // namespace fw
