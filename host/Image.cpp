#include "host/Image.h"

#include <oleacc.h>

#include "host/Gdi.h"

namespace fw {

Image::Image() : GraphicControl(u"Image", false) {}

void Image::SetPicture(std::shared_ptr<Picture> picture) {
  m_picture = std::move(picture);
  FitToPicture();
  Redraw();
}

void Image::SetStretch(bool stretch) {
  m_stretch = stretch;
  FitToPicture();
  Redraw();
}

void Image::SetBorderStyle(int32_t style) {
  m_borderStyle = style;
  FitToPicture();
  Redraw();
}

// The picture keeps its own size as a 96-dpi size: at another dpi the control
// shows it scaled, so the window's layout around it scales with the rest.
void Image::FitToPicture() {
  if (m_stretch || !m_picture) return;
  const int border = m_borderStyle ? 2 * Scaled(1) : 0;
  const SIZE shown = m_picture->SizeAt(Dpi());
  Move(Left(), Top(), PixelsToTwipsX(shown.cx + border), PixelsToTwipsY(shown.cy + border));
}

void Image::OnReadProperties(const PropertyStore& p) {
  m_stretch = p.ReadBool(u"Stretch", false);
  m_borderStyle = p.ReadInt32(u"BorderStyle", 0);
  SetEnabled(p.ReadBool(u"Enabled", true));
  const PictureRef ref = p.ReadPicture(u"Picture", {});
  if (!ref.empty()) SetPicture(LoadPictureRef(ref));
}

void Image::OnWriteProperties(PropertyStore& p) {
  p.Write(u"Stretch", m_stretch, false);
  p.Write(u"BorderStyle", m_borderStyle, int32_t{0});
  p.Write(u"Enabled", Enabled(), true);
  p.Write(u"Picture", PictureRefOf(m_picture.get()), PictureRef{});
}

void Image::Draw(HDC dc, const RECT& client) {
  RECT rc = client;
  if (m_borderStyle) {
    FrameSolid(dc, rc, GetSysColor(COLOR_WINDOWFRAME), Scaled(1));
  }
  if (!m_picture) return;
  if (m_stretch) {
    m_picture->Draw(dc, rc, Dpi());
  } else {
    const SIZE shown = m_picture->SizeAt(Dpi());
    m_picture->Draw(dc, RECT{rc.left, rc.top, rc.left + shown.cx, rc.top + shown.cy}, Dpi());
  }
}

void Image::ApplyDpi() {
  FitToPicture();
  GraphicControl::ApplyDpi();
}

void Image::Describe(AccessibleItem& item) const {
  item.role = ROLE_SYSTEM_GRAPHIC;
  // A picture's words are its tooltip, when it has one.
  if (!ToolTipText().empty()) item.name = ToolTipText();
}

}  // namespace fw
