#include "host/PictureBox.h"

#include <oleacc.h>

#include "host/AccessibleText.h"

namespace fw {

PictureBox::PictureBox() : UserControl(u"PictureBox", true) {
  SetCanGetFocus(false);
  SetTabStop(false);
}

void PictureBox::OnInitProperties() { ApplyBorder(); }

void PictureBox::OnReadProperties(const PropertyStore& p) {
  const AmbientProperties a = Ambient();
  SetBackColor(p.ReadColour(u"BackColor", a.backColor));
  SetForeColor(p.ReadColour(u"ForeColor", a.foreColor));
  if (p.Contains(u"Font")) GetFont()->SetValue(p.ReadFont(u"Font", GetFont()->Value()));
  m_autoSize = p.ReadBool(u"AutoSize", false);
  m_borderStyle = p.ReadInt32(u"BorderStyle", 1);
  SetEnabled(p.ReadBool(u"Enabled", true));
  ApplyBorder();
  const PictureRef ref = p.ReadPicture(u"Picture", {});
  if (!ref.empty()) m_picture = LoadPictureRef(ref);
  FitToPicture();
}

void PictureBox::OnWriteProperties(PropertyStore& p) {
  const AmbientProperties a = Ambient();
  p.Write(u"BackColor", BackColor(), a.backColor);
  p.Write(u"ForeColor", ForeColor(), a.foreColor);
  if (a.font) p.Write(u"Font", GetFont()->Value(), a.font->Value());
  p.Write(u"AutoSize", m_autoSize, false);
  p.Write(u"BorderStyle", m_borderStyle, int32_t{1});
  p.Write(u"Enabled", Enabled(), true);
  p.Write(u"Picture", PictureRefOf(m_picture.get()), PictureRef{});
}

void PictureBox::SetPicture(std::shared_ptr<Picture> picture) {
  m_picture = std::move(picture);
  FitToPicture();
  Redraw();
}

void PictureBox::SetAutoSize(bool autoSize) {
  m_autoSize = autoSize;
  FitToPicture();
}

void PictureBox::SetBorderStyle(int32_t style) {
  m_borderStyle = style;
  ApplyBorder();
}

void PictureBox::ApplyBorder() {
  if (!hWnd()) return;
  LONG_PTR ex = GetWindowLongPtrW(hWnd(), GWL_EXSTYLE);
  ex = m_borderStyle ? (ex | WS_EX_CLIENTEDGE) : (ex & ~WS_EX_CLIENTEDGE);
  SetWindowLongPtrW(hWnd(), GWL_EXSTYLE, ex);
  SetWindowPos(hWnd(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void PictureBox::FitToPicture() {
  if (!m_autoSize || !m_picture || !hWnd()) return;
  RECT window{}, client{};
  GetWindowRect(hWnd(), &window);
  GetClientRect(hWnd(), &client);
  const int frameW = (window.right - window.left) - client.right;
  const int frameH = (window.bottom - window.top) - client.bottom;
  const SIZE shown = m_picture->SizeAt(Dpi());
  Move(Left(), Top(), PixelsToTwipsX(shown.cx + frameW), PixelsToTwipsY(shown.cy + frameH));
}

// The picture at its own size taken as a 96-dpi size: at another dpi it is
// scaled by the same factor as the box around it (smoothly: a picture fetched
// from elsewhere has no larger variant), so the box shows the same part of it
// at every scale.
void PictureBox::DrawPicture() {
  if (!m_picture) return;
  const SIZE shown = m_picture->SizeAt(Dpi());
  m_picture->Draw(hDC(), RECT{0, 0, shown.cx, shown.cy}, Dpi());
}

void PictureBox::Redraw() {
  Cls();
  DrawPicture();
  Refresh();
}

void PictureBox::OnResize() {
  Redraw();
  if (Resize) Resize();
}

void PictureBox::OnPaint() {
  Cls();
  DrawPicture();
}

void PictureBox::OnMouseDown(int b, int s, float x, float y) { if (MouseDown) MouseDown(b, s, x, y); }
void PictureBox::OnMouseMove(int b, int s, float x, float y) { if (MouseMove) MouseMove(b, s, x, y); }
void PictureBox::OnMouseUp(int b, int s, float x, float y) { if (MouseUp) MouseUp(b, s, x, y); }
void PictureBox::OnClick() { if (Click) Click(); }
void PictureBox::OnDblClick() { if (DblClick) DblClick(); }

void PictureBox::OnAccessibleSelf(AccessibleItem& self) const {
  self.role = ROLE_SYSTEM_GRAPHIC;
  if (!ToolTipText().empty()) self.name = OnOneLine(ToolTipText());
}

}  // namespace fw
