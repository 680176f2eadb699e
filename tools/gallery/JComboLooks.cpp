// The image combo box's looks: the drop button's four pictures on the control as
// the main window places it (1335 x 315 twips, 宋体 9 pt, "广东"), and the
// control with its list dropped over a white form.

#include <windows.h>

#include <algorithm>

#include "controls/JCombo/JCombo.h"
#include "host/Form.h"
#include "host/Gdi.h"
#include "tools/gallery/Gallery.h"

namespace fw::gallery {

namespace {

constexpr int32_t kWidthTwips = 1335;
constexpr int32_t kHeightTwips = 315;
constexpr int32_t kPlaceTwips = 300;
constexpr int kMargin = 8;  // white form around the dropped look

enum class ComboLook { Normal, Hot, Pressed, Disabled, Dropped };

JCombo* PlaceCombo(Form& stage) {
  PropertyStore p;
  FontValue font;
  font.face = u"\u5B8B\u4F53";  // 宋体
  font.size = 9;
  font.charset = 134;
  p.Set(u"Font", font);
  p.Set(u"Text", std::u16string(u"\u5E7F\u4E1C"));  // 广东
  auto* box = stage.Add<JCombo>(u"comWhere", nullptr, kPlaceTwips, kPlaceTwips, kWidthTwips,
                                kHeightTwips, 0, &p);
  if (!box) return nullptr;
  for (const char16_t* item : {u"\u5317\u4EAC", u"\u4E0A\u6D77", u"\u5E7F\u4E1C", u"\u6D59\u6C5F",
                               u"\u6C5F\u82CF", u"\u56DB\u5DDD"}) {
    box->AddItem(item);  // 北京 上海 广东 浙江 江苏 四川
  }
  box->SetListIndex(2);
  return box;
}

// What the screen shows in `rc` (screen coordinates): the dropped list is a
// window of its own, above the form, so only the screen has both.
PixelImage CaptureScreen(const RECT& rc) {
  PixelImage img;
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  if (w <= 0 || h <= 0) return img;
  BITMAPINFO bi = TopDownDibInfo(w, h);
  void* bits = nullptr;
  unique_hdc dc(CreateCompatibleDC(nullptr));
  unique_hbitmap bitmap(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bitmap || !bits) return img;
  unique_select select(dc.get(), bitmap.get());
  HDC screen = GetDC(nullptr);
  const BOOL copied = BitBlt(dc.get(), 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  if (!copied) return img;
  GdiFlush();
  img.width = w;
  img.height = h;
  const auto* p = static_cast<const uint32_t*>(bits);
  img.pixels.assign(p, p + static_cast<size_t>(w) * h);
  return img;
}

PixelImage RenderCombo(Form& stage, ComboLook look) {
  PixelImage image;
  const Colour oldBack = stage.BackColor();
  if (look == ComboLook::Dropped) stage.SetBackColor(Colour(0xFFFFFF));
  JCombo* box = PlaceCombo(stage);
  if (!box) return image;
  UserControl::DoEvents();
  HWND button = box->ButtonPart().hWnd();
  HWND inner = box->InnerComboHwnd();
  switch (look) {
    case ComboLook::Normal: image = CaptureWindowTree(box->hWnd()); break;
    case ComboLook::Hot:
      // The pointer over the button, as the button hears it.
      SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(8, 8));
      image = CaptureWindowTree(box->hWnd());
      break;
    case ComboLook::Pressed: {
      // The pressed picture shows while the list drops; the inner list says when.
      auto* list = dynamic_cast<ComboBox*>(Control::FromHwnd(inner));
      if (list) list->DropDown = [&] { image = CaptureWindowTree(box->hWnd()); };
      SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
      SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
      if (list) list->DropDown = nullptr;
      SendMessageW(inner, CB_SHOWDROPDOWN, FALSE, 0);
      break;
    }
    case ComboLook::Disabled:
      box->SetEnabled(false);
      image = CaptureWindowTree(box->hWnd());
      break;
    case ComboLook::Dropped: {
      SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
      SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
      COMBOBOXINFO info{};
      info.cbSize = sizeof info;
      RECT control{}, list{};
      GetWindowRect(box->hWnd(), &control);
      if (GetComboBoxInfo(inner, &info) && GetWindowRect(info.hwndList, &list)) {
        for (int i = 0; i < 5; ++i) {
          UserControl::DoEvents();
          RedrawWindow(info.hwndList, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
          Sleep(20);
        }
        const RECT rc{control.left - kMargin, control.top - kMargin,
                      std::max(control.right, list.right) + kMargin,
                      std::max(control.bottom, list.bottom) + kMargin};
        image = CaptureScreen(rc);
      }
      SendMessageW(inner, CB_SHOWDROPDOWN, FALSE, 0);
      break;
    }
  }
  box->Destroy();
  UserControl::DoEvents();
  if (look == ComboLook::Dropped) stage.SetBackColor(oldBack);
  return image;
}

}  // namespace

void JComboLooks(LookList& looks) {
  RegisterJCombo();
  const std::pair<const wchar_t*, ComboLook> all[] = {{L"normal", ComboLook::Normal},
                                                 {L"hot", ComboLook::Hot},
                                                 {L"pressed", ComboLook::Pressed},
                                                 {L"disabled", ComboLook::Disabled},
                                                 {L"dropped", ComboLook::Dropped}};
  for (const auto& [name, look] : all) {
    looks.push_back({L"JCombo", name, [look](Form& stage) { return RenderCombo(stage, look); }});
  }
}

}  // namespace fw::gallery
