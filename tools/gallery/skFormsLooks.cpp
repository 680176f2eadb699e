// The frame's looks: a host form of 320 x 200 pixels captioned as the program's
// main window, with its icon, in every style and theme, active and inactive; the
// caption buttons hovered and pressed; a host without an icon; and a narrow host
// whose caption is cut short; the sizing grips the first pointer move brings;
// and the host maximised over the screen's work area.

#include <cstdio>

#include "controls/skForms/skForms.h"
#include "tests/controls/skForms/skFormsTestAccess.h"
#include "host/Form.h"
#include "tools/gallery/Gallery.h"

namespace fw::gallery {

namespace {

constexpr char16_t kCaption[] = u"Fuelwise v1.0.0110";

enum class Pointer { None, HoverClose, PressedClose, HoverMax, HoverMin, Grips };

struct FrameLook {
  int32_t style = 0;
  int32_t theme = 0;
  bool active = true;
  bool icon = true;
  int32_t widthTwips = 4800;
  Pointer pointer = Pointer::None;
  bool maximised = false;
};

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

PixelImage RenderFrame(Form& stage, const FrameLook& look) {
  PixelImage image;
  Form host;
  if (!host.Create(look.widthTwips, 3000, kCaption)) return image;
  FontValue font;
  font.face = u"\u5B8B\u4F53";  // 宋体
  font.size = 9;
  font.charset = 134;
  host.GetFont()->SetValue(font);
  if (look.icon) host.SetIcon(Picture::FromResource(u"IDI_FUELWISE"));
  host.SetStartUpPosition(0);
  host.Move(15 * 700, 0);
  // The frame is shown at the stage's scale.
  if (!ShowAtDpi(host, stage.Dpi())) return image;
  auto* frame = host.Add<skForms>(u"skForms1", nullptr, 0, 0, look.widthTwips, 3000);
  if (!frame) return image;
  frame->SetThemeColor(look.theme);
  frame->SetStyle(look.style);
  host.Show();
  // Maximised over a 1024 x 768 work area whatever the screen (this process's
  // work area only; it is put back below).
  RECT workArea{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  if (look.maximised) {
    RECT small{0, 0, 1024, 768};
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &small, 0);
    frame->SetWindowState(2);
  }
  if (look.active) {
    SetForegroundWindow(host.hWnd());
    SetActiveWindow(host.hWnd());
  } else {
    SetForegroundWindow(stage.hWnd());
    SetActiveWindow(stage.hWnd());
  }
  UserControl::DoEvents();
  // The pointer's part through the frame's own messages, as the mouse would send them.
  HWND f = frame->hWnd();
  const auto& slots = Inside(frame).ButtonSlots();
  auto centre = [&](int slot) {
    return At(slots[slot].left + slots[slot].width / 2, slots[slot].top + slots[slot].height / 2);
  };
  switch (look.pointer) {
    case Pointer::HoverClose: SendMessageW(f, WM_MOUSEMOVE, 0, centre(0)); break;
    case Pointer::HoverMax: SendMessageW(f, WM_MOUSEMOVE, 0, centre(1)); break;
    case Pointer::HoverMin: SendMessageW(f, WM_MOUSEMOVE, 0, centre(2)); break;
    case Pointer::PressedClose:
      SendMessageW(f, WM_MOUSEMOVE, 0, centre(0));
      SendMessageW(f, WM_LBUTTONDOWN, MK_LBUTTON, centre(0));
      break;
    case Pointer::Grips: SendMessageW(f, WM_MOUSEMOVE, 0, At(100, 100)); break;
    case Pointer::None: break;
  }
  image = CaptureWindowTree(host.hWnd());
  if (look.maximised) SystemParametersInfoW(SPI_SETWORKAREA, 0, &workArea, 0);
  if (look.pointer == Pointer::PressedClose) {
    // Let go away from the buttons: nothing acts.
    SendMessageW(f, WM_MOUSEMOVE, MK_LBUTTON, At(40, 100));
    SendMessageW(f, WM_LBUTTONUP, 0, At(40, 100));
  }
  host.Unload();
  return image;
}

}  // namespace

void skFormsLooks(LookList& looks) {
  RegisterSkForms();
  auto add = [&](std::wstring name, FrameLook look) {
    looks.push_back({L"skForms", std::move(name),
                     [look](Form& stage) { return RenderFrame(stage, look); }, !look.maximised});
  };
  for (int32_t style = 0; style <= 5; ++style) {
    for (int32_t theme = 0; theme <= 5; ++theme) {
      for (bool active : {true, false}) {
        wchar_t name[64];
        std::swprintf(name, 64, L"style%d-theme%d-%ls", static_cast<int>(style),
                      static_cast<int>(theme), active ? L"active" : L"inactive");
        add(name, FrameLook{style, theme, active});
      }
    }
  }
  add(L"style0-theme0-hover-close", FrameLook{0, 0, true, true, 4800, Pointer::HoverClose});
  add(L"style0-theme0-pressed-close", FrameLook{0, 0, true, true, 4800, Pointer::PressedClose});
  add(L"style0-theme0-hover-max", FrameLook{0, 0, true, true, 4800, Pointer::HoverMax});
  add(L"style0-theme0-hover-min", FrameLook{0, 0, true, true, 4800, Pointer::HoverMin});
  add(L"style0-theme0-noicon-active", FrameLook{0, 0, true, false});
  add(L"style0-theme0-narrow-active", FrameLook{0, 0, true, true, 2250});
  add(L"style0-theme0-grips", FrameLook{0, 0, true, true, 4800, Pointer::Grips});
  add(L"maximised", FrameLook{0, 0, true, true, 4800, Pointer::None, true});
}

}  // namespace fw::gallery
