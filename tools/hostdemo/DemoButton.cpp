#include "tools/hostdemo/DemoButton.h"

#include "host/ColourWin.h"
#include "host/Gdi.h"
#include "host/Label.h"
#include "host/WideText.h"

namespace demo {

DemoButton::DemoButton() : fw::UserControl(u"DemoButton") { SetDefaultCancel(true); }

void DemoButton::OnInitProperties() { SetCaption(Name()); }

void DemoButton::OnReadProperties(const fw::PropertyStore& p) {
  m_caption = p.ReadText(u"Caption", Name());
  SetWindowCaption(m_caption);
  const char16_t key = fw::MnemonicOf(m_caption);
  SetAccessKeys(key ? std::u16string(1, key) : std::u16string());
}

void DemoButton::OnWriteProperties(fw::PropertyStore& p) { p.Write(u"Caption", m_caption, Name()); }

void DemoButton::SetCaption(std::u16string caption) {
  m_caption = std::move(caption);
  SetWindowCaption(m_caption);
  const char16_t key = fw::MnemonicOf(m_caption);
  SetAccessKeys(key ? std::u16string(1, key) : std::u16string());
  PropertyChanged(u"Caption");
  Update();
}

void DemoButton::Redraw() {
  const int w = ScaleWidth(), h = ScaleHeight();
  if (w <= 0 || h <= 0) return;
  RECT rc{0, 0, w, h};
  fw::FillSolid(hDC(), rc, GetSysColor(COLOR_BTNFACE));
  const bool isDefault = Ambient().displayAsDefault;
  if (isDefault) {
    fw::unique_hbrush frame = fw::MakeSolidBrush(RGB(0, 0, 0));
    FrameRect(hDC(), &rc, frame.get());
    InflateRect(&rc, -1, -1);
  }
  DrawEdge(hDC(), &rc, m_pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  RECT text = rc;
  if (m_pressed) OffsetRect(&text, 1, 1);
  SetBkMode(hDC(), TRANSPARENT);
  SetTextColor(hDC(), Enabled() ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT));
  DrawTextW(hDC(), fw::WStr(m_caption), static_cast<int>(m_caption.size()), &text,
            DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  if (GetFocus() == hWnd()) {
    RECT focus = rc;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(hDC(), &focus);
  }
}

void DemoButton::Update() {
  Redraw();
  Refresh();
}

void DemoButton::OnMouseDown(int button, int, float, float) {
  if (button != fw::kButtonLeft) return;
  m_pressed = true;
  Update();
}

void DemoButton::OnMouseUp(int button, int, float, float) {
  if (button != fw::kButtonLeft) return;
  m_pressed = false;
  Update();
}

void DemoButton::OnClick() { RaiseClick(); }

void DemoButton::OnKeyDown(int& keyCode, int) {
  if (keyCode == VK_RETURN || keyCode == VK_SPACE) RaiseClick();
}

void DemoButton::OnAccessKeyPress(int) { RaiseClick(); }

void DemoButton::OnAmbientChanged(std::u16string_view name) {
  if (name == u"DisplayAsDefault") Update();
}

void DemoButton::RaiseClick() {
  if (Click) Click();
}

}  // namespace demo
