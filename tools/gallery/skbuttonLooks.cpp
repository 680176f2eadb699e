// The multistyle button's looks: every style in its normal, hot, pressed,
// focused, default, disabled and checked looks, at 80 x 25 pixels with the
// caption "Button" and the style's own colours, on a white form so that what the
// window region cuts off shows white; and the main window's refresh button.

#include <cstdio>

#include "controls/skbutton/skbutton.h"
#include "host/Form.h"
#include "host/Gdi.h"
#include "tools/gallery/Gallery.h"

namespace fw::gallery {

namespace {

constexpr COLORREF kFormBack = RGB(0xFF, 0xFF, 0xFF);

enum class ButtonLook { Normal, Hot, Pressed, Focused, Default, Disabled, Checked };

struct LookName {
  ButtonLook look;
  const wchar_t* name;
};
constexpr LookName kLooks[] = {{ButtonLook::Normal, L"normal"},     {ButtonLook::Hot, L"hot"},
                               {ButtonLook::Pressed, L"pressed"},   {ButtonLook::Focused, L"focused"},
                               {ButtonLook::Default, L"default"},   {ButtonLook::Disabled, L"disabled"},
                               {ButtonLook::Checked, L"checked"}};

// What the window shows: the surface inside the window's region, the form's
// white outside it.
PixelImage Capture(skbutton& b) {
  PixelImage image = CaptureWindowTree(b.hWnd());
  unique_hrgn region(CreateRectRgn(0, 0, 0, 0));
  if (image.Empty() || GetWindowRgn(b.hWnd(), region.get()) == ERROR) return image;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (!PtInRegion(region.get(), x, y)) image.pixels[y * image.width + x] = 0x00FFFFFFu;
    }
  }
  return image;
}

// A button placed new on the stage, running, with the stage active.
skbutton* PlaceButton(Form& stage, int32_t widthTwips, int32_t heightTwips) {
  stage.SetBackColor(Colour(kFormBack));
  auto* b = stage.Add<skbutton>(u"skbutton1", nullptr, 150, 150, widthTwips, heightTwips);
  if (!b) return nullptr;
  // The stage is the active window: tell the button as its activation would.
  SendMessageW(stage.hWnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  UserControl::DoEvents();
  return b;
}

PixelImage RenderStyle(Form& stage, int32_t style, ButtonLook look, int32_t widthTwips = 1200,
                       int32_t heightTwips = 375) {
  PixelImage image;
  skbutton* b = PlaceButton(stage, widthTwips, heightTwips);
  if (!b) return image;
  b->SetCaption(u"Button");
  b->SetButtonStyle(style);
  switch (look) {
    case ButtonLook::Normal: break;
    case ButtonLook::Hot:
      // The first move over the button, as the pointer gives it.
      SendMessageW(b->hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(40, 12));
      break;
    case ButtonLook::Pressed: SendMessageW(b->hWnd(), WM_KEYDOWN, VK_SPACE, 0x00390001); break;
    case ButtonLook::Focused:
      b->SetFocus();
      UserControl::DoEvents();
      break;
    case ButtonLook::Default: stage.SetDefaultControl(b); break;
    case ButtonLook::Disabled: b->SetEnabled(false); break;
    case ButtonLook::Checked:
      b->SetCheckBoxMode(true);
      b->SetValue(true);
      break;
  }
  image = Capture(*b);
  if (look == ButtonLook::Pressed) SendMessageW(b->hWnd(), WM_KEYUP, VK_SPACE, 0xC0390001);
  if (look == ButtonLook::Default) stage.SetDefaultControl(nullptr);
  b->Destroy();
  return image;
}

// A 32 x 32 refresh icon drawn here: a green circular arrow on a transparent ground.
std::shared_ptr<Picture> RefreshIcon() {
  constexpr int kSize = 32;
  BITMAPINFO bi = TopDownDibInfo(kSize, kSize);
  void* bits = nullptr;
  unique_hdc dc(CreateCompatibleDC(nullptr));
  unique_hbitmap colour(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !colour) return nullptr;
  {
    unique_select select(dc.get(), colour.get());
    FillSolid(dc.get(), RECT{0, 0, kSize, kSize}, RGB(0, 0, 0));
    unique_hpen pen = MakePen(PS_SOLID, 5, RGB(0x2E, 0x9B, 0x3A));
    unique_select selectPen(dc.get(), pen.get());
    Arc(dc.get(), 5, 5, 27, 27, 22, 3, 28, 8);
    unique_hbrush brush = MakeSolidBrush(RGB(0x2E, 0x9B, 0x3A));
    unique_select selectBrush(dc.get(), brush.get());
    const POINT head[] = {{20, 0}, {30, 9}, {18, 12}};
    Polygon(dc.get(), head, 3);
  }
  GdiFlush();
  // Opaque where something was drawn.
  auto* px = static_cast<uint32_t*>(bits);
  BYTE mask[kSize * 4] = {};
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if ((px[y * kSize + x] & 0xFFFFFFu) == 0) mask[y * 4 + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
  }
  unique_hbitmap maskBitmap(CreateBitmap(kSize, kSize, 1, 1, mask));
  ICONINFO ii{TRUE, 0, 0, maskBitmap.get(), colour.get()};
  return Picture::FromIcon(unique_hicon(CreateIconIndirect(&ii)));
}

PixelImage RenderRefresh(Form& stage) {
  PixelImage image;
  skbutton* b = PlaceButton(stage, 615, 675);
  if (!b) return image;
  b->SetButtonStyle(7);
  b->SetBackColor(Colour(0xC0C0C0u));
  b->SetCaption(u"\u5237\u65B0");  // 刷新
  FontValue song;
  song.face = u"\u5B8B\u4F53";  // 宋体, as the main window's design gives it
  song.size = 9.0;
  song.charset = GB2312_CHARSET;
  b->SetFont(Font::Create(song));
  b->SetPictureSize(3);
  b->SetMaskColor(Colour(0xFFFFFFu));
  b->SetPicture(RefreshIcon());
  image = Capture(*b);
  b->Destroy();
  return image;
}

}  // namespace

void SkbuttonLooks(LookList& looks) {
  RegisterSkbutton();
  for (int32_t style = 0; style < skbtn::kStyleCount; ++style) {
    if (!skbtn::PainterFor(style)) continue;  // styles still to come
    for (const LookName& l : kLooks) {
      wchar_t name[32];
      std::swprintf(name, 32, L"style%02d-%ls", static_cast<int>(style), l.name);
      const ButtonLook look = l.look;
      looks.push_back({L"skbutton", name, [style, look](Form& stage) {
                         return RenderStyle(stage, style, look);
                       }});
    }
  }
  // The pixel-mapped style scales its artwork: the same looks at 160 x 40.
  for (const LookName& l : kLooks) {
    wchar_t name[40];
    std::swprintf(name, 40, L"style14-%ls-160x40", l.name);
    const ButtonLook look = l.look;
    looks.push_back({L"skbutton", name, [look](Form& stage) {
                       return RenderStyle(stage, skbtn::StylePixelMapped, look, 2400, 600);
                     }});
  }
  looks.push_back({L"skbutton", L"refresh", [](Form& stage) { return RenderRefresh(stage); }});
}

}  // namespace fw::gallery
