#include "host/Label.h"

#include <oleacc.h>

#include <algorithm>

#include "host/ColourWin.h"
#include "host/Form.h"
#include "host/UserControl.h"
#include "host/WideText.h"

namespace fw {

namespace {

char16_t LowerChar(char16_t ch) {
  return static_cast<char16_t>(reinterpret_cast<uintptr_t>(
      CharLowerW(reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(ch)))));
}

// The font and colours of the container, for a label placed new.
AmbientProperties ContainerAmbient(const Control& c) {
  AmbientProperties a;
  if (auto* uc = dynamic_cast<UserControl*>(c.Container())) {
    a.backColor = uc->BackColor();
    a.foreColor = uc->ForeColor();
    a.font = uc->GetFont();
  } else if (Form* form = c.ParentForm()) {
    a.backColor = form->BackColor();
    a.foreColor = form->ForeColor();
    a.font = form->GetFont();
  }
  return a;
}

}  // namespace

char16_t MnemonicOf(std::u16string_view caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&') continue;
    if (caption[i + 1] == u'&') {
      ++i;  // a literal ampersand
      continue;
    }
    return LowerChar(caption[i + 1]);
  }
  return 0;
}

Label::Label() : GraphicControl(u"Label", false) {}

void Label::OnCreated() {
  const AmbientProperties a = ContainerAmbient(*this);
  m_foreColor = a.foreColor;
  m_backColor = a.backColor;
  SetFont(a.font ? a.font->Clone() : Font::Create(Font::DefaultValue()));
}

void Label::OnInitProperties() { SetCaption(Name()); }

void Label::OnReadProperties(const PropertyStore& p) {
  const AmbientProperties a = ContainerAmbient(*this);
  m_alignment = p.ReadInt32(u"Alignment", 0);
  m_backStyle = p.ReadInt32(u"BackStyle", 0);
  m_backColor = p.ReadColour(u"BackColor", a.backColor);
  m_foreColor = p.ReadColour(u"ForeColor", a.foreColor);
  m_autoSize = p.ReadBool(u"AutoSize", false);
  m_wordWrap = p.ReadBool(u"WordWrap", false);
  m_borderStyle = p.ReadInt32(u"BorderStyle", 0);
  m_useMnemonic = p.ReadBool(u"UseMnemonic", true);
  if (p.Contains(u"Font")) m_font->SetValue(p.ReadFont(u"Font", m_font->Value()));
  SetEnabled(p.ReadBool(u"Enabled", true));
  SetCaption(p.ReadText(u"Caption", Name()));
}

void Label::OnWriteProperties(PropertyStore& p) {
  const AmbientProperties a = ContainerAmbient(*this);
  p.Write(u"Caption", Caption(), Name());
  p.Write(u"Alignment", m_alignment, int32_t{0});
  p.Write(u"BackStyle", m_backStyle, int32_t{0});
  p.Write(u"BackColor", m_backColor, a.backColor);
  p.Write(u"ForeColor", m_foreColor, a.foreColor);
  p.Write(u"AutoSize", m_autoSize, false);
  p.Write(u"WordWrap", m_wordWrap, false);
  p.Write(u"BorderStyle", m_borderStyle, int32_t{0});
  p.Write(u"UseMnemonic", m_useMnemonic, true);
  p.Write(u"Enabled", Enabled(), true);
  if (a.font) p.Write(u"Font", m_font->Value(), a.font->Value());
}

void Label::SetCaption(std::u16string_view caption) {
  if (!Sited() || caption == m_caption) return;
  m_caption = caption;
  ApplyAutoSize();
  Redraw();
  // The price rows change their captions while the window is up: a screen
  // reader showing them hears of it.
  NotifyNameChanged();
  if (Change) Change();
}

void Label::SetAlignment(int32_t alignment) {
  if (alignment == m_alignment) return;
  m_alignment = alignment;
  Redraw();
}

void Label::SetBackStyle(int32_t style) {
  if (style == m_backStyle) return;
  m_backStyle = style;
  Redraw();
}

void Label::SetBackColor(Colour colour) {
  m_backColor = colour;
  Redraw();
}

void Label::SetForeColor(Colour colour) {
  m_foreColor = colour;
  Redraw();
}

void Label::SetFont(std::shared_ptr<Font> font) {
  if (!font) return;
  m_font = std::move(font);
  m_fontSubscription = m_font->Subscribe([this] { FontChanged(); });
  FontChanged();
}

void Label::FontChanged() {
  m_hfont = m_font->CreateHandle(Dpi());
  ApplyAutoSize();
  Redraw();
}

void Label::SetAutoSize(bool autoSize) {
  m_autoSize = autoSize;
  ApplyAutoSize();
}

void Label::SetWordWrap(bool wrap) {
  m_wordWrap = wrap;
  ApplyAutoSize();
  Redraw();
}

void Label::SetBorderStyle(int32_t style) {
  m_borderStyle = style;
  Redraw();
}

void Label::SetUseMnemonic(bool use) {
  m_useMnemonic = use;
  Redraw();
}

UINT Label::TextFormat() const {
  UINT f = DT_WORDBREAK | DT_EXPANDTABS;
  if (!m_useMnemonic) f |= DT_NOPREFIX;
  if (m_alignment == 1) f |= DT_RIGHT;
  else if (m_alignment == 2) f |= DT_CENTER;
  return f;
}

void Label::ApplyAutoSize() {
  if (!m_autoSize || !Sited() || !m_hfont) return;
  unique_hdc_window screen(ContainerHwnd());
  unique_select sel(screen.get(), m_hfont.get());
  const std::wstring text = ToWide(Caption());
  const RECT now = PixelRect();
  const int border = m_borderStyle ? 2 * Scaled(1) : 0;
  RECT calc{0, 0, m_wordWrap ? std::max<int>(now.right - now.left - border, 1) : 0, 0};
  UINT f = TextFormat() | DT_CALCRECT;
  if (!m_wordWrap) f = (f & ~DT_WORDBREAK) | DT_SINGLELINE;
  if (text.empty()) {
    TEXTMETRICW tm{};
    GetTextMetricsW(screen.get(), &tm);
    calc.bottom = tm.tmHeight;
  } else {
    DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &calc, f);
  }
  const int w = m_wordWrap ? now.right - now.left : calc.right + border;
  Move(Left(), Top(), PixelsToTwipsX(w), PixelsToTwipsY(calc.bottom + border));
}

void Label::Draw(HDC dc, const RECT& client) {
  RECT rc = client;
  if (m_backStyle != 0) FillSolid(dc, rc, ToColorRef(m_backColor));
  if (m_borderStyle != 0) {
    FrameSolid(dc, rc, GetSysColor(COLOR_WINDOWFRAME), Scaled(1));
  }
  const std::wstring text = ToWide(Caption());
  if (text.empty()) return;
  unique_select sel(dc, m_hfont.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Enabled() ? ToColorRef(m_foreColor) : GetSysColor(COLOR_GRAYTEXT));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, TextFormat());
}

void Label::ApplyDpi() {
  FontChanged();
  GraphicControl::ApplyDpi();
}

void Label::Describe(AccessibleItem& item) const {
  item.role = ROLE_SYSTEM_STATICTEXT;
  item.name = m_useMnemonic ? WithoutAccessKeyMarks(m_caption) : m_caption;
}

bool Label::HasAccessKey(char16_t ch) const {
  if (!m_useMnemonic) return false;
  const char16_t key = MnemonicOf(Caption());
  return key != 0 && key == LowerChar(ch);
}

void Label::PressAccessKey(char16_t) {
  // A label takes no focus: its access key moves the focus to the control that
  // follows it in tab order.
  Form* form = ParentForm();
  if (!form) return;
  if (Control* next = form->NextInTabOrder(*this)) next->SetFocus();
}

}  // namespace fw
