// The Label control: a caption the host draws over its container (transparent by
// default, so it sits on a gradient with no box), with alignment, font, fore
// colour, word wrap, AutoSize and an access key that moves the focus to the next
// control in tab order, as dialog labels do.
#pragma once

#include <memory>
#include <string>

#include "host/Colour.h"
#include "host/Font.h"
#include "host/GraphicControl.h"

namespace fw {

class Label : public GraphicControl {
 public:
  Label();

  // The text shown; assistive technology reads it as the label's name.
  const std::u16string& Caption() const { return m_caption; }
  void SetCaption(std::u16string_view caption);
  // 0 left, 1 right, 2 centre.
  int32_t Alignment() const { return m_alignment; }
  void SetAlignment(int32_t alignment);
  // 0 transparent (the container shows through), 1 opaque (BackColor).
  int32_t BackStyle() const { return m_backStyle; }
  void SetBackStyle(int32_t style);
  Colour BackColor() const { return m_backColor; }
  void SetBackColor(Colour colour);
  std::optional<Colour> BackColorValue() const override { return BackColor(); }
  bool SetBackColorValue(Colour colour) override {
    SetBackColor(colour);
    return true;
  }
  Colour ForeColor() const { return m_foreColor; }
  void SetForeColor(Colour colour);
  const std::shared_ptr<Font>& GetFont() const { return m_font; }
  void SetFont(std::shared_ptr<Font> font);
  bool AutoSize() const { return m_autoSize; }
  void SetAutoSize(bool autoSize);
  bool WordWrap() const { return m_wordWrap; }
  void SetWordWrap(bool wrap);
  // 0 none, 1 a single-line border.
  int32_t BorderStyle() const { return m_borderStyle; }
  void SetBorderStyle(int32_t style);
  // "&" marks the access key (and "&&" is an ampersand) when true.
  bool UseMnemonic() const { return m_useMnemonic; }
  void SetUseMnemonic(bool use);

  // Raised when the caption changes.
  EventHandler Change;

  bool HasAccessKey(char16_t ch) const override;
  void PressAccessKey(char16_t ch) override;

 protected:
  void OnCreated() override;
  void OnInitProperties() override;
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  void Draw(HDC dc, const RECT& client) override;
  void Describe(AccessibleItem& item) const override;
  void ApplyDpi() override;

 private:
  UINT TextFormat() const;
  void ApplyAutoSize();
  void FontChanged();

  std::u16string m_caption;
  int32_t m_alignment = 0;
  int32_t m_backStyle = 0;
  Colour m_backColor = SystemColour(COLOR_BTNFACE);
  Colour m_foreColor = SystemColour(COLOR_BTNTEXT);
  std::shared_ptr<Font> m_font;
  FontSubscription m_fontSubscription;
  unique_hfont m_hfont;
  bool m_autoSize = false;
  bool m_wordWrap = false;
  int32_t m_borderStyle = 0;
  bool m_useMnemonic = true;
};

// The access key of a caption ("&Save" -> 's', lower-cased), or 0: the character
// after the first single "&"; "&&" is a literal ampersand.
char16_t MnemonicOf(std::u16string_view caption);

}  // namespace fw
