#include "host/NativeControl.h"

#include <commctrl.h>

#include "host/ColourWin.h"
#include "host/Form.h"
#include "host/UserControl.h"

namespace fw {

namespace {
constexpr UINT_PTR kSubclassId = 0x46575343;  // "FWSC"
}

NativeControl::NativeControl(std::u16string kind, Colour defaultBack)
    : Control(std::move(kind)), m_defaultBack(defaultBack), m_backColor(defaultBack) {}

NativeControl::~NativeControl() {
  for (HWND part : m_parts) {
    if (IsWindow(part)) RemoveWindowSubclass(part, &NativeControl::SubclassProc, kSubclassId);
  }
}

HWND NativeControl::MakeWindow(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent,
                               const RECT& pixels) {
  HWND hwnd = CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_CLIPSIBLINGS | style,
                              pixels.left, pixels.top, pixels.right - pixels.left,
                              pixels.bottom - pixels.top, parent, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (hwnd) SubclassPart(hwnd);
  return hwnd;
}

void NativeControl::SubclassPart(HWND part) {
  if (!part) return;
  if (SetWindowSubclass(part, &NativeControl::SubclassProc, kSubclassId,
                        reinterpret_cast<DWORD_PTR>(this))) {
    m_parts.push_back(part);
  }
}

void NativeControl::OnCreated() {
  // A new control takes a copy of its container's font, as the platform's do.
  std::shared_ptr<Font> ambient;
  if (auto* uc = dynamic_cast<UserControl*>(Container())) ambient = uc->GetFont();
  else if (Form* form = ParentForm()) ambient = form->GetFont();
  SetFont(ambient ? ambient->Clone() : Font::Create(Font::DefaultValue()));
}

void NativeControl::ReadCommon(const PropertyStore& p) {
  m_backColor = p.ReadColour(u"BackColor", m_defaultBack);
  m_foreColor = p.ReadColour(u"ForeColor", SystemColour(COLOR_WINDOWTEXT));
  m_backBrush.reset();
  if (p.Contains(u"Font")) m_font->SetValue(p.ReadFont(u"Font", m_font->Value()));
  SetEnabled(p.ReadBool(u"Enabled", true));
}

void NativeControl::WriteCommon(PropertyStore& p) {
  p.Write(u"BackColor", m_backColor, m_defaultBack);
  p.Write(u"ForeColor", m_foreColor, SystemColour(COLOR_WINDOWTEXT));
  p.Write(u"Font", m_font->Value(), Font::DefaultValue());
  p.Write(u"Enabled", Enabled(), true);
}

void NativeControl::SetBackColor(Colour colour) {
  m_backColor = colour;
  m_backBrush.reset();
  if (hWnd()) InvalidateRect(hWnd(), nullptr, TRUE);
}

void NativeControl::SetForeColor(Colour colour) {
  m_foreColor = colour;
  if (hWnd()) InvalidateRect(hWnd(), nullptr, TRUE);
}

void NativeControl::SetFont(std::shared_ptr<Font> font) {
  if (!font) return;
  m_font = std::move(font);
  m_fontSubscription = m_font->Subscribe([this] { ApplyFont(); });
  ApplyFont();
}

void NativeControl::ApplyFont() {
  unique_hfont font = m_font->CreateHandle(Dpi());
  if (!font || !hWnd()) return;
  // The window goes on using the old font until told: swap, then delete the old.
  SendMessageW(hWnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  m_hfont = std::move(font);
}

bool NativeControl::OnReflectedMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  switch (msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(w);
      const COLORREF back = ToColorRef(m_backColor, GetSysColor(COLOR_WINDOW));
      SetTextColor(dc, ToColorRef(m_foreColor, GetSysColor(COLOR_WINDOWTEXT)));
      SetBkColor(dc, back);
      if (!m_backBrush) m_backBrush = MakeSolidBrush(back);
      result = reinterpret_cast<LRESULT>(m_backBrush.get());
      return true;
    }
    case WM_COMMAND: return OnNotify(HIWORD(w));
    default: return false;
  }
}

LRESULT CALLBACK NativeControl::SubclassProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR,
                                             DWORD_PTR data) {
  auto* self = reinterpret_cast<NativeControl*>(data);
  try {
    return self->PartProc(hwnd, msg, w, l);
  } catch (...) {
    return DefSubclassProc(hwnd, msg, w, l);
  }
}

LRESULT NativeControl::PartProc(HWND part, UINT msg, WPARAM w, LPARAM l) {
  const bool isMain = part == hWnd();
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      int key = static_cast<int>(w);
      const bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
      const bool isSys = msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP;
      const int shift = KeyShift(isSys && (l & (1 << 29)) != 0);
      if (down && KeyDown) KeyDown(key, shift);
      if (!down && KeyUp) KeyUp(key, shift);
      if (!IsWindow(part) || key == 0) return 0;
      return DefSubclassProc(part, msg, static_cast<WPARAM>(key), l);
    }
    case WM_CHAR: {
      int ascii = static_cast<int>(w);
      if (KeyPress) KeyPress(ascii);
      if (!IsWindow(part) || ascii == 0) return 0;
      return DefSubclassProc(part, msg, static_cast<WPARAM>(ascii), l);
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (MouseDown) {
        const MouseArgs a = DecodeMouse(msg, w, l);
        MouseDown(a.button, a.shift, a.x, a.y);
      }
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (MouseUp) {
        const MouseArgs a = DecodeMouse(msg, w, l);
        MouseUp(a.button, a.shift, a.x, a.y);
      }
      break;
    case WM_MOUSEMOVE:
      if (MouseMove) {
        const MouseArgs a = DecodeMouse(msg, w, l);
        MouseMove(a.button, a.shift, a.x, a.y);
      }
      break;
    case WM_MOUSEWHEEL:
      if (MouseWheel) {
        int delta = GET_WHEEL_DELTA_WPARAM(w);
        MouseWheel(delta, MouseShift(GET_KEYSTATE_WPARAM(w)));
        if (!IsWindow(part) || delta == 0) return 0;
        return DefSubclassProc(part, msg, MAKEWPARAM(GET_KEYSTATE_WPARAM(w), delta), l);
      }
      break;
    case WM_SETFOCUS:
      if (GotFocus) GotFocus();
      if (Form* form = ParentForm()) form->FocusChanged(part);
      break;
    case WM_KILLFOCUS:
      if (LostFocus) LostFocus();
      break;
    case WM_GETOBJECT:
      if (isMain) {
        if (const LRESULT r = OnGetObject(w, l)) return r;
      }
      break;
    case WM_DESTROY:
      if (isMain) Terminate();
      break;
    case WM_NCDESTROY: {
      RemoveWindowSubclass(part, &NativeControl::SubclassProc, kSubclassId);
      m_parts.erase(std::remove(m_parts.begin(), m_parts.end(), part), m_parts.end());
      const LRESULT r = DefSubclassProc(part, msg, w, l);
      if (isMain) WindowDestroyed();
      return r;
    }
    default: break;
  }
  if (!IsWindow(part)) return 0;
  return DefSubclassProc(part, msg, w, l);
}

}  // namespace fw
