// The status bar's looks: each theme with each grip shape asked for, configured
// as the main window configures its bar (white, button-text colour, Verdana 9 pt,
// the credit and date panels with their icons), and panel 1 being edited in place.

#include <cstdio>

#include "controls/ucStatusBar/ucStatusBar.h"
#include "host/Form.h"
#include "host/Gdi.h"
#include "tools/gallery/Gallery.h"

namespace fw::gallery {

namespace {

// 6270 x 360 twips: 418 x 24 pixels at 96 dpi.
constexpr int32_t kBarWidthTwips = 6270;
constexpr int32_t kBarHeightTwips = 360;

// The main window's two status icons are 16 x 16 pictures of 24 bits per pixel
// on white (the bar's back colour, so the white is left out). Drawn here: a
// round badge for the credit and a calendar leaf for the date.
std::shared_ptr<Picture> StatusIcon(int which) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 16;
  info.bmiHeader.biHeight = -16;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  unique_hbitmap bmp(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bmp) return nullptr;
  unique_hdc dc(CreateCompatibleDC(nullptr));
  {
    const unique_select sel(dc.get(), bmp.get());
    FillSolid(dc.get(), RECT{0, 0, 16, 16}, RGB(255, 255, 255));
    if (which == 1) {
      const unique_hbrush blue = MakeSolidBrush(RGB(40, 90, 180));
      const unique_hpen edge = MakePen(PS_SOLID, 1, RGB(20, 50, 120));
      const unique_select b(dc.get(), blue.get());
      const unique_select p(dc.get(), edge.get());
      Ellipse(dc.get(), 1, 1, 15, 15);
      FillSolid(dc.get(), RECT{7, 4, 9, 6}, RGB(250, 250, 250));
      FillSolid(dc.get(), RECT{7, 7, 9, 12}, RGB(250, 250, 250));
    } else {
      FillSolid(dc.get(), RECT{2, 2, 14, 14}, RGB(120, 120, 120));
      FillSolid(dc.get(), RECT{3, 3, 13, 13}, RGB(250, 250, 250));
      FillSolid(dc.get(), RECT{3, 3, 13, 6}, RGB(200, 40, 40));
      for (int y = 7; y < 13; y += 2) {
        for (int x = 4; x < 12; x += 2) FillSolid(dc.get(), RECT{x, y, x + 1, y + 1}, RGB(80, 80, 80));
      }
    }
  }
  return Picture::FromBitmap(std::move(bmp));
}

ucStatusBar* PlaceBar(Form& stage, int32_t theme, int32_t grip, bool editable) {
  auto* bar = stage.Add<ucStatusBar>(u"ucStatusBar1", nullptr, 0, 0, kBarWidthTwips,
                                     kBarHeightTwips);
  if (!bar) return nullptr;
  bar->SetBackColor(Colour(0xFFFFFF));
  bar->SetForeColor(Colour(0x80000012));
  bar->SetFont(Font::Create(u"Verdana", 9));
  bar->SetGripShape(grip);
  bar->SetTheme(theme);
  bar->AddPanel(u"Design By fuelwise", 0, false, editable, StatusIcon(1), 0, true,
                Colour(0xFF00FF), Colour(0x80000012), nullptr, u"", 220);
  bar->AddPanel(u"2026/12/07", 1, false, false, StatusIcon(2), 0, true, Colour(0xFF00FF),
                Colour(0x80000012), nullptr, u"", 140);
  return bar;
}

PixelImage RenderBar(Form& stage, int32_t theme, int32_t grip) {
  PixelImage image;
  ucStatusBar* bar = PlaceBar(stage, theme, grip, false);
  if (!bar) return image;
  UserControl::DoEvents();
  image = CaptureWindowTree(bar->hWnd());
  bar->Destroy();
  return image;
}

// Panel 1 of the main window's look, double-clicked with the pointer over it.
PixelImage RenderEditing(Form& stage) {
  PixelImage image;
  ucStatusBar* bar = PlaceBar(stage, 4, 1, true);
  if (!bar) return image;
  UserControl::DoEvents();
  POINT p{100, 12};
  ClientToScreen(bar->hWnd(), &p);
  SetCursorPos(p.x, p.y);
  SendMessageW(bar->hWnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 12));
  SendMessageW(bar->hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(100, 12));
  UserControl::DoEvents();
  image = CaptureWindowTree(bar->hWnd());
  bar->Destroy();
  return image;
}

}  // namespace

void ucStatusBarLooks(LookList& looks) {
  RegisterUcStatusBar();
  for (int32_t theme = 1; theme <= 4; ++theme) {
    for (int32_t grip = 0; grip <= 2; ++grip) {
      wchar_t name[32];
      std::swprintf(name, 32, L"theme%d-grip%d", static_cast<int>(theme), static_cast<int>(grip));
      looks.push_back({L"ucStatusBar", name, [theme, grip](Form& stage) {
                         return RenderBar(stage, theme, grip);
                       }});
    }
  }
  looks.push_back({L"ucStatusBar", L"editing", [](Form& stage) { return RenderEditing(stage); }});
}

}  // namespace fw::gallery
