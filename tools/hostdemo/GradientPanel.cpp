#include "tools/hostdemo/GradientPanel.h"

#include "host/ColourWin.h"
#include "host/Gdi.h"
#include "host/Numeric.h"
#include "host/WideText.h"

namespace demo {

GradientPanel::GradientPanel() : fw::UserControl(u"GradientPanel", /*container=*/true) {
  SetCanGetFocus(false);
}

void GradientPanel::OnInitProperties() { m_caption = Name(); }

void GradientPanel::OnReadProperties(const fw::PropertyStore& p) {
  m_caption = p.ReadText(u"Caption", Name());
  m_top = p.ReadColour(u"ColorTop", fw::Colour(0x00FFFFFFu));
  m_bottom = p.ReadColour(u"ColorBottom", fw::Colour(0x00C0C0C0u));
}

void GradientPanel::OnWriteProperties(fw::PropertyStore& p) {
  p.Write(u"Caption", m_caption, Name());
  p.Write(u"ColorTop", m_top, fw::Colour(0x00FFFFFFu));
  p.Write(u"ColorBottom", m_bottom, fw::Colour(0x00C0C0C0u));
}

void GradientPanel::SetCaption(std::u16string caption) {
  m_caption = std::move(caption);
  PropertyChanged(u"Caption");
  Redraw();
  Refresh();
}

void GradientPanel::SetColors(fw::Colour top, fw::Colour bottom) {
  m_top = top;
  m_bottom = bottom;
  PropertyChanged(u"ColorTop");
  PropertyChanged(u"ColorBottom");
  Redraw();
  Refresh();
}

void GradientPanel::Redraw() {
  const int w = ScaleWidth(), h = ScaleHeight();
  if (w <= 0 || h <= 0) return;
  const COLORREF a = fw::ToColorRef(m_top), b = fw::ToColorRef(m_bottom);
  // One row per pixel; each channel interpolated and rounded half to even.
  for (int y = 0; y < h; ++y) {
    const double t = h > 1 ? static_cast<double>(y) / (h - 1) : 0.0;
    auto mix = [t](int from, int to) { return fw::RoundHalfEven(from + (to - from) * t); };
    const COLORREF c = RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
                           mix(GetBValue(a), GetBValue(b)));
    fw::FillSolid(hDC(), RECT{0, y, w, y + 1}, c);
  }
  // Caption: the surface font, bold.
  auto bold = GetFont()->Clone();
  bold->SetBold(true);
  fw::unique_hfont font = bold->CreateHandle(fw::ScreenDpi());
  fw::unique_select sel(hDC(), font.get());
  SetBkMode(hDC(), TRANSPARENT);
  SetTextColor(hDC(), RGB(0x20, 0x30, 0x40));
  RECT caption{8, 0, w - 8, 24};
  DrawTextW(hDC(), fw::WStr(m_caption), static_cast<int>(m_caption.size()), &caption,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  // Border.
  fw::unique_hbrush frame = fw::MakeSolidBrush(RGB(0x80, 0x80, 0x80));
  RECT all{0, 0, w, h};
  FrameRect(hDC(), &all, frame.get());
}

}  // namespace demo
