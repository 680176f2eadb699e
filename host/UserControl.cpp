#include "host/UserControl.h"

#include <windowsx.h>

#include <algorithm>
#include <exception>

#include "host/ColourWin.h"
#include "host/Form.h"
#include "host/Input.h"
#include "host/Label.h"
#include "host/WideText.h"
#include "host/Windowless.h"

namespace fw {

namespace {

constexpr wchar_t kClassName[] = L"FuelwiseUserControl";

}  // namespace

bool UserControl::RegisterWindowClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &UserControl::WndProcThunk;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  return registered;
}

namespace {

char16_t LowerChar(char16_t ch) {
  return static_cast<char16_t>(reinterpret_cast<uintptr_t>(
      CharLowerW(reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(ch)))));
}

}  // namespace

LPCWSTR StandardCursorId(int mousePointer) {
  switch (mousePointer) {
    case kPointerArrow: return IDC_ARROW;
    case kPointerCross: return IDC_CROSS;
    case kPointerIBeam: return IDC_IBEAM;
    case kPointerIcon: return IDC_ICON;
    case kPointerSize: return IDC_SIZEALL;
    case kPointerSizeNESW: return IDC_SIZENESW;
    case kPointerSizeNS: return IDC_SIZENS;
    case kPointerSizeNWSE: return IDC_SIZENWSE;
    case kPointerSizeWE: return IDC_SIZEWE;
    case kPointerUpArrow: return IDC_UPARROW;
    case kPointerHourglass: return IDC_WAIT;
    case kPointerNoDrop: return IDC_NO;
    case kPointerArrowHourglass: return IDC_APPSTARTING;
    case kPointerArrowQuestion: return IDC_HELP;
    case kPointerSizeAll: return IDC_SIZEALL;
    default: return nullptr;
  }
}

// The control's accessible object: the control itself, its own parts, then the
// windowless controls lying on it, then its child windows.
class UserControl::Accessibility final : public AccessibleSource {
 public:
  explicit Accessibility(UserControl& owner) : m_owner(owner) {}

  HWND AccessibleWindow() const override { return m_owner.hWnd(); }
  void DescribeSelf(AccessibleItem& self) const override {
    m_owner.OnAccessibleSelf(self);
    if (m_owner.m_accessibleRole != 0) self.role = m_owner.m_accessibleRole;
    if (!m_owner.m_accessibleName.empty()) self.name = m_owner.m_accessibleName;
  }
  int PartCount() const override {
    const WindowlessSite* site = WindowlessSite::Of(m_owner.hWnd());
    return m_owner.OnAccessiblePartCount() + (site ? site->PartCount() : 0);
  }
  void DescribePart(int part, AccessibleItem& item) const override {
    const int own = m_owner.OnAccessiblePartCount();
    if (part < own) m_owner.OnAccessiblePart(part, item);
    else if (const WindowlessSite* site = WindowlessSite::Of(m_owner.hWnd())) site->DescribePart(part - own, item);
  }
  bool DoDefaultAction(int part) override {
    const int own = m_owner.OnAccessiblePartCount();
    if (part < own) return m_owner.OnAccessibleDefaultAction(part);
    WindowlessSite* site = WindowlessSite::Of(m_owner.hWnd());
    return site && site->DoDefaultAction(part - own);
  }
  bool SetValue(int part, std::u16string_view value) override {
    return part < m_owner.OnAccessiblePartCount() && m_owner.OnAccessibleSetValue(part, value);
  }
  std::vector<HWND> ChildWindows() const override {
    std::vector<HWND> windows = AccessibleSource::ChildWindows();
    m_owner.OnAccessibleChildWindows(windows);
    return windows;
  }

 private:
  UserControl& m_owner;
};

UserControl::UserControl(std::u16string kind, bool container)
    : Control(std::move(kind)), m_container(container) {}

UserControl::~UserControl() {
  // Deleted while its window lives (a constituent control, say): the window goes
  // now, while the surface still exists, and its last messages stay away from
  // this half-destroyed object.
  if (hWnd()) SetWindowLongPtrW(hWnd(), GWLP_USERDATA, 0);
  DestroyDetached();
  m_fontSubscription.reset();
  // m_hfont goes before m_surface (member order): take it out of the surface
  // DC first, or it would be deleted while selected, which the platform refuses.
  m_surface.UseFont(nullptr);
}

HWND UserControl::CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) {
  windowless = false;
  if (!RegisterWindowClass()) return nullptr;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (m_canGetFocus && TabStop()) style |= WS_TABSTOP;
  const DWORD exStyle = m_container ? WS_EX_CONTROLPARENT : 0;
  return CreateWindowExW(exStyle, kClassName, L"", style, pixels.left, pixels.top,
                         pixels.right - pixels.left, pixels.bottom - pixels.top, parent, nullptr,
                         GetModuleHandleW(nullptr), this);
}

void UserControl::OnCreated() {
  const AmbientProperties ambient = Ambient();
  // The control starts with its own copy of the container's font, so that setting
  // its size does not change the form's.
  m_font = ambient.font ? ambient.font->Clone() : Font::Create(Font::DefaultValue());
  m_fontSubscription = m_font->Subscribe([this] { ApplyFont(); });
  RECT rc{};
  GetClientRect(hWnd(), &rc);
  m_surface.Resize(rc.right, rc.bottom, ToColorRef(m_backColor));
  ApplyFont();
  ApplyTextColour();
  SetBkMode(hDC(), m_fontTransparent ? TRANSPARENT : OPAQUE);
  SetBkColor(hDC(), ToColorRef(m_backColor));
  SetROP2(hDC(), m_drawMode);
}

void UserControl::OnSited() {
  m_sited = true;
  m_surfaceStale = true;
  OnResize();
  Invalidate();
}

void UserControl::ApplyDpi() {
  ApplyFont();
  if (m_sited) OnDpiChanged();
}

void UserControl::OnDpiChanged() {
  OnResize();
  InvalidateSurface();
}

// -- The drawing surface

void UserControl::Cls() {
  m_surface.Fill(ToColorRef(m_backColor));
  ShowBackgroundPicture();
  Invalidate();
}

void UserControl::KeepImageAsBackground() {
  auto kept = std::make_unique<Surface>();
  const int w = m_surface.Width();
  const int h = m_surface.Height();
  if (!kept->Resize(w, h, ToColorRef(m_backColor))) return;
  BitBlt(kept->Dc(), 0, 0, w, h, m_surface.Dc(), 0, 0, SRCCOPY);
  m_background = std::move(kept);
}

void UserControl::ClearBackgroundPicture() { m_background.reset(); }

void UserControl::ShowBackgroundPicture() {
  if (!m_background) return;
  BitBlt(m_surface.Dc(), 0, 0, m_background->Width(), m_background->Height(), m_background->Dc(), 0,
         0, SRCCOPY);
}

int UserControl::TextWidth(std::u16string_view text) const {
  int widest = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    SIZE sz{};
    if (!line.empty()) GetTextExtentPoint32W(hDC(), WPtr(line), static_cast<int>(line.size()), &sz);
    widest = std::max<int>(widest, sz.cx);
    start = end + 1;
  }
  return widest;
}

int UserControl::TextHeight(std::u16string_view text) const {
  TEXTMETRICW tm{};
  GetTextMetricsW(hDC(), &tm);
  const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), u'\n'));
  return tm.tmHeight * lines;
}

void UserControl::SetBackColor(Colour colour) {
  m_backColor = colour;
  const COLORREF rgb = ToColorRef(colour);
  SetBkColor(hDC(), rgb);
  // As on the platform's containers, a new back colour clears the surface (back
  // to the persistent background, when there is one).
  m_surface.Fill(rgb);
  ShowBackgroundPicture();
  Invalidate();
  if (Form* form = ParentForm(); form && m_container) form->NotifyAmbient(this, u"BackColor");
}

void UserControl::SetForeColor(Colour colour) {
  m_foreColor = colour;
  ApplyTextColour();
  if (Form* form = ParentForm(); form && m_container) form->NotifyAmbient(this, u"ForeColor");
}

void UserControl::SetFont(std::shared_ptr<Font> font) {
  if (!font) return;
  m_font = std::move(font);
  m_fontSubscription = m_font->Subscribe([this] { ApplyFont(); });
  ApplyFont();
}

void UserControl::SetFontTransparent(bool transparent) {
  m_fontTransparent = transparent;
  SetBkMode(hDC(), transparent ? TRANSPARENT : OPAQUE);
}

void UserControl::SetDrawMode(int mode) {
  if (mode < R2_BLACK || mode > R2_WHITE) return;
  m_drawMode = mode;
  SetROP2(hDC(), mode);
}

void UserControl::SetMousePointer(int pointer) {
  // Controls set their pointer on every move (a grip under it or not): only a
  // change does anything.
  if (pointer == m_mousePointer) return;
  m_mousePointer = pointer;
  ApplyPointer();
}

void UserControl::SetMouseIcon(std::shared_ptr<Picture> icon) {
  m_mouseIcon = std::move(icon);
  ApplyPointer();
}

void UserControl::ApplyPointer() {
  // The cursor on the screen may be the old custom one: it goes once the new one shows.
  unique_hcursor old = std::move(m_customCursor);
  if (m_mousePointer == kPointerCustom && m_mouseIcon) m_customCursor = m_mouseIcon->MakeCursor();
  HWND self = hWnd();
  if (!self) return;
  // The platform asks for the cursor before a move is handled: a pointer the
  // control's own move handler changes would show one move late. Over the
  // control (and not held by another window's capture) it shows now.
  const HWND capture = GetCapture();
  POINT pt{};
  if ((capture && capture != self) || !GetCursorPos(&pt) || WindowFromPoint(pt) != self) return;
  HCURSOR cursor = PointerCursor();
  if (!cursor) cursor = reinterpret_cast<HCURSOR>(GetClassLongPtrW(self, GCLP_HCURSOR));
  SetCursor(cursor);
}

HCURSOR UserControl::PointerCursor() const {
  if (m_mousePointer == kPointerCustom) return m_customCursor.get();
  if (LPCWSTR id = StandardCursorId(m_mousePointer)) return LoadCursorW(nullptr, id);
  return nullptr;
}

void UserControl::SetEnabled(bool enabled) { Control::SetEnabled(enabled); }

void UserControl::SetAccessKeys(std::u16string keys) { m_accessKeys = std::move(keys); }

void UserControl::SetCanGetFocus(bool value) {
  m_canGetFocus = value;
  SetTabStop(TabStop());
}

void UserControl::ApplyFont() {
  if (!m_font) return;
  unique_hfont font = m_font->CreateHandle(Dpi());
  if (!font) return;
  m_surface.UseFont(font.get());
  m_hfont = std::move(font);
  if (Form* form = ParentForm(); form && m_container) form->NotifyAmbient(this, u"Font");
}

void UserControl::ApplyTextColour() { SetTextColor(hDC(), ToColorRef(m_foreColor)); }

// -- The host

AmbientProperties UserControl::Ambient() const {
  AmbientProperties a;
  Form* form = ParentForm();
  a.displayName = Name();
  if (form) {
    a.userMode = form->UserMode();
    a.displayAsDefault = form->DisplayAsDefaultControl() == this;
  }
  if (auto* uc = dynamic_cast<UserControl*>(Container())) {
    a.backColor = uc->BackColor();
    a.foreColor = uc->ForeColor();
    a.font = uc->GetFont();
  } else if (form) {
    a.backColor = form->BackColor();
    a.foreColor = form->ForeColor();
    a.font = form->GetFont();
  }
  if (!a.font) a.font = Font::Create(Font::DefaultValue());
  return a;
}

void UserControl::PropertyChanged(std::u16string_view name) {
  if (Form* form = ParentForm()) form->RecordChange(*this, name);
}

HWND UserControl::ParentHwnd() const {
  if (Form* form = ParentForm()) return form->hWnd();
  HWND start = hWnd() ? hWnd() : ContainerHwnd();
  return start ? GetAncestor(start, GA_ROOT) : nullptr;
}

bool UserControl::IsMdiChild() const {
  HWND form = ParentHwnd();
  return form && (GetWindowLongPtrW(form, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
}

double UserControl::HiMetricToPixelsX(double himetric) const {
  return fw::HiMetricToPixels(himetric, Dpi());
}

double UserControl::HiMetricToPixelsY(double himetric) const {
  return fw::HiMetricToPixels(himetric, Dpi());
}

void UserControl::DoEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave it for the loop that owns the thread.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!Form::PreTranslateMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

void UserControl::SendTab(bool shift) {
  if (Form* form = ParentForm()) form->QueueTab(shift);
}

void UserControl::Refresh() {
  HWND hwnd = hWnd();
  if (!hwnd) return;
  // The windowless controls lying on the surface are drawn in the same paint.
  InvalidateRect(hwnd, nullptr, FALSE);
  RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void UserControl::Invalidate(const RECT* rc) {
  if (HWND hwnd = hWnd()) InvalidateRect(hwnd, rc, FALSE);
}

void UserControl::InvalidateSurface() {
  m_surfaceStale = true;
  Invalidate();
}

// -- Keyboard routing

bool UserControl::HasAccessKey(char16_t ch) const {
  const char16_t lower = LowerChar(ch);
  return std::any_of(m_accessKeys.begin(), m_accessKeys.end(),
                     [&](char16_t k) { return LowerChar(k) == lower; });
}

void UserControl::PressAccessKey(char16_t ch) {
  if (!Enabled()) return;
  HWND self = hWnd();
  // A real access key brings the focus along; Enter and Escape for the default and
  // cancel controls leave it where it is.
  if (ch != 13 && ch != 27 && m_canGetFocus && self && GetFocus() != self) ::SetFocus(self);
  if (self && !IsWindow(self)) return;
  OnAccessKeyPress(ch);
}

void UserControl::RaiseShow() {
  if (m_shown) return;
  m_shown = true;
  OnShow();
  Invalidate();
}

void UserControl::RaiseHide() {
  if (!m_shown) return;
  m_shown = false;
  OnHide();
}

void UserControl::RaiseAmbientChanged(std::u16string_view name) { OnAmbientChanged(name); }

// -- The window procedure

LRESULT CALLBACK UserControl::WndProcThunk(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<UserControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<UserControl*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->AttachHwnd(hwnd);
  }
  if (!self) {
    // A control deleted while its window lived: the windowless controls on the
    // window still hear that it went.
    if (msg == WM_NCDESTROY) WindowlessSite::Release(hwnd);
    return DefWindowProcW(hwnd, msg, w, l);
  }
  try {
    const LRESULT r = self->WndProc(msg, w, l);
    if (msg == WM_NCDESTROY) {
      WindowlessSite::Release(hwnd);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->WindowDestroyed();
    }
    return r;
  } catch (...) {
    // No exception may cross into the platform's dispatcher.
    return DefWindowProcW(hwnd, msg, w, l);
  }
}

LRESULT UserControl::WndProc(UINT msg, WPARAM w, LPARAM l) {
  // After OnTerminate the control hears nothing more; the window just goes.
  if (Terminated()) return DefWindowProcW(hWnd(), msg, w, l);
  // A press or a move over a label or an image on the surface is that control's.
  if (IsRoutedMouseMessage(msg) || msg == WM_CAPTURECHANGED) {
    WindowlessSite* site = WindowlessSite::Of(hWnd());
    if (site && site->RouteMouse(msg, w, l)) return 0;
  }
  switch (msg) {
    case WM_SIZE: return OnWmSize(w, l);
    case WM_PAINT: return OnWmPaint(w, l);
    case WM_ERASEBKGND: return 1;
    case WM_PRINTCLIENT: return OnWmPrintClient(w, l);
    case WM_SETCURSOR: return OnWmSetCursor(w, l);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: return OnWmButtonDown(msg, w, l);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: return OnWmButtonUp(msg, w, l);
    case WM_LBUTTONDBLCLK: return OnWmLButtonDblClk(w, l);
    case WM_MOUSEMOVE: return OnWmMouseMove(w, l);
    case WM_CAPTURECHANGED: return OnWmCaptureChanged(w, l);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: return OnWmKeyDown(msg, w, l);
    case WM_KEYUP:
    case WM_SYSKEYUP: return OnWmKeyUp(msg, w, l);
    case WM_CHAR: return OnWmChar(w, l);
    case WM_GETDLGCODE: return OnWmGetDlgCode(w, l);
    case WM_SETFOCUS: return OnWmSetFocus(w, l);
    case WM_KILLFOCUS: return OnWmKillFocus(w, l);
    case WM_SHOWWINDOW: return OnWmShowWindow(w, l);
    case WM_GETOBJECT: return OnWmGetObject(w, l);
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
    case WM_SETTINGCHANGE: return OnWmSystemChange(msg, w, l);
    case WM_DESTROY: Terminate(); return 0;
    default: break;
  }
  LRESULT result = 0;
  if (ReflectToChild(hWnd(), msg, w, l, result)) return result;
  if (OnMessage(msg, w, l, result)) return result;
  return DefWindowProcW(hWnd(), msg, w, l);
}

LRESULT UserControl::OnWmSize(WPARAM, LPARAM l) {
  const int w = LOWORD(l);
  const int h = HIWORD(l);
  if (w == m_surface.Width() && h == m_surface.Height()) return 0;
  m_surface.Resize(w, h, ToColorRef(m_backColor));
  // The DIB section changed: the DC settings stay, the font selection too.
  m_surfaceStale = true;
  if (m_sited) OnResize();
  Invalidate();
  return 0;
}

LRESULT UserControl::OnWmPaint(WPARAM, LPARAM) {
  HWND self = hWnd();
  if (m_surfaceStale && m_sited) {
    m_surfaceStale = false;
    OnPaint();
    if (!IsWindow(self)) return 0;
  }
  unique_hdc_paint paint(self);
  if (!paint) return 0;
  const RECT area = paint.PaintRect();
  const WindowlessSite* site = WindowlessSite::Of(self);
  if (site && site->Overlaps(area)) {
    site->Compose(paint.get(), area, [&](HDC mem) { m_surface.CopyTo(mem, area); });
  } else {
    m_surface.CopyTo(paint.get(), area);
  }
  return 0;
}

LRESULT UserControl::OnWmPrintClient(WPARAM w, LPARAM) {
  if (m_surfaceStale && m_sited) {
    m_surfaceStale = false;
    OnPaint();
  }
  const HDC dc = reinterpret_cast<HDC>(w);
  m_surface.CopyAllTo(dc, 0, 0);
  if (const WindowlessSite* site = WindowlessSite::Of(hWnd())) {
    site->Paint(dc, RECT{0, 0, m_surface.Width(), m_surface.Height()});
  }
  return 0;
}

LRESULT UserControl::OnWmGetObject(WPARAM w, LPARAM l) {
  if (!m_accessibility) m_accessibility = std::make_unique<Accessibility>(*this);
  if (const LRESULT r = m_accessibility->AnswerGetObject(w, l)) return r;
  return DefWindowProcW(hWnd(), WM_GETOBJECT, w, l);
}

namespace {

void NotifyClientEvent(HWND hwnd, DWORD event, int part) {
  if (hwnd) NotifyWinEvent(event, hwnd, OBJID_CLIENT, part + 1);
}

}  // namespace

void UserControl::NotifyAccessibleNameChange(int part) const {
  NotifyClientEvent(hWnd(), EVENT_OBJECT_NAMECHANGE, part);
}

void UserControl::NotifyAccessibleValueChange(int part) const {
  NotifyClientEvent(hWnd(), EVENT_OBJECT_VALUECHANGE, part);
}

void UserControl::NotifyAccessibleStateChange(int part) const {
  NotifyClientEvent(hWnd(), EVENT_OBJECT_STATECHANGE, part);
}

void UserControl::NotifyAccessibleFocus(int part) const {
  NotifyClientEvent(hWnd(), EVENT_OBJECT_FOCUS, part);
}

LRESULT UserControl::OnWmSetCursor(WPARAM w, LPARAM l) {
  if (reinterpret_cast<HWND>(w) == hWnd() && LOWORD(l) == HTCLIENT) {
    if (HCURSOR cursor = PointerCursor()) {
      SetCursor(cursor);
      return TRUE;
    }
  }
  return DefWindowProcW(hWnd(), WM_SETCURSOR, w, l);
}

LRESULT UserControl::OnWmButtonDown(UINT msg, WPARAM w, LPARAM l) {
  HWND self = hWnd();
  const MouseArgs a = DecodeMouse(msg, w, l);
  if (m_canGetFocus && GetFocus() != self) {
    ::SetFocus(self);
    if (!IsWindow(self)) return 0;
  }
  if (m_buttonsDown == 0) SetCapture(self);
  m_buttonsDown |= a.button;
  OnMouseDown(a.button, a.shift, a.x, a.y);
  return 0;
}

LRESULT UserControl::OnWmButtonUp(UINT msg, WPARAM w, LPARAM l) {
  HWND self = hWnd();
  const MouseArgs a = DecodeMouse(msg, w, l);
  const bool wasDown = (m_buttonsDown & a.button) != 0;
  m_buttonsDown &= ~a.button;
  if (m_buttonsDown == 0 && GetCapture() == self) ReleaseCapture();
  const bool endsDblClick = a.button == kButtonLeft && m_afterDblClick;
  if (a.button == kButtonLeft) m_afterDblClick = false;
  OnMouseUp(a.button, a.shift, a.x, a.y);
  if (!IsWindow(self)) return 0;
  const bool inside = a.x >= 0 && a.y >= 0 && a.x < ScaleWidth() && a.y < ScaleHeight();
  if (a.button == kButtonLeft && wasDown && inside && !endsDblClick) OnClick();
  return 0;
}

LRESULT UserControl::OnWmLButtonDblClk(WPARAM w, LPARAM l) {
  HWND self = hWnd();
  if (m_canGetFocus && GetFocus() != self) {
    ::SetFocus(self);
    if (!IsWindow(self)) return 0;
  }
  if (m_buttonsDown == 0) SetCapture(self);
  m_buttonsDown |= kButtonLeft;
  m_afterDblClick = true;
  OnDblClick();
  return 0;
}

LRESULT UserControl::OnWmMouseMove(WPARAM w, LPARAM l) {
  // A press whose release this window never saw (it let its capture go, and the
  // button came up over another window) must not turn a later release into a click.
  int held = 0;
  if (w & MK_LBUTTON) held |= kButtonLeft;
  if (w & MK_RBUTTON) held |= kButtonRight;
  if (w & MK_MBUTTON) held |= kButtonMiddle;
  m_buttonsDown &= held;
  const MouseArgs a = DecodeMouse(WM_MOUSEMOVE, w, l);
  OnMouseMove(a.button, a.shift, a.x, a.y);
  return 0;
}

LRESULT UserControl::OnWmCaptureChanged(WPARAM, LPARAM l) {
  // Another window took the capture: the presses can no longer complete a click.
  // A capture simply released (no new owner) is the control's own doing, or the
  // release of the last button; neither cancels a press.
  const HWND newOwner = reinterpret_cast<HWND>(l);
  if (newOwner != nullptr && newOwner != hWnd()) m_buttonsDown = 0;
  return 0;
}

LRESULT UserControl::OnWmKeyDown(UINT msg, WPARAM w, LPARAM l) {
  HWND self = hWnd();
  int keyCode = static_cast<int>(w);
  const bool altFromMessage = msg == WM_SYSKEYDOWN && (l & (1 << 29)) != 0;
  m_keyRepeating = (l & (1 << 30)) != 0;
  OnKeyDown(keyCode, KeyShift(altFromMessage));
  if (IsWindow(self)) m_keyRepeating = false;
  // A system key the control did not cancel keeps its meaning (Alt+F4, the menu).
  if (msg == WM_SYSKEYDOWN && keyCode != 0 && IsWindow(self)) return DefWindowProcW(self, msg, w, l);
  return 0;
}

LRESULT UserControl::OnWmKeyUp(UINT msg, WPARAM w, LPARAM l) {
  HWND self = hWnd();
  int keyCode = static_cast<int>(w);
  OnKeyUp(keyCode, KeyShift(msg == WM_SYSKEYUP && (l & (1 << 29)) != 0));
  if (msg == WM_SYSKEYUP && keyCode != 0 && IsWindow(self)) return DefWindowProcW(self, msg, w, l);
  return 0;
}

LRESULT UserControl::OnWmChar(WPARAM w, LPARAM) {
  int keyAscii = static_cast<int>(w);
  OnKeyPress(keyAscii);
  return 0;
}

LRESULT UserControl::OnWmGetDlgCode(WPARAM w, LPARAM l) {
  LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
  // A button-like control handles its own Enter (and the form's keyboard routing
  // sends Enter to it rather than to the default control).
  const auto* msg = reinterpret_cast<const MSG*>(l);
  if (m_defaultCancel && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
    code |= DLGC_WANTMESSAGE;
  }
  return code;
}

LRESULT UserControl::OnWmSetFocus(WPARAM, LPARAM) {
  HWND self = hWnd();
  OnGotFocus();
  if (!IsWindow(self)) return 0;
  if (Form* form = ParentForm()) form->FocusChanged(self);
  return 0;
}

LRESULT UserControl::OnWmKillFocus(WPARAM w, LPARAM) {
  HWND self = hWnd();
  OnLostFocus();
  if (!IsWindow(self)) return 0;
  if (Form* form = ParentForm()) form->FocusChanged(reinterpret_cast<HWND>(w));
  return 0;
}

LRESULT UserControl::OnWmShowWindow(WPARAM w, LPARAM l) {
  Form* form = ParentForm();
  if (w && form && form->Visible()) {
    RaiseShow();
    RaiseShowBelow(hWnd(), true);
  }
  if (!w) {
    RaiseHide();
    RaiseShowBelow(hWnd(), false);
  }
  return DefWindowProcW(hWnd(), WM_SHOWWINDOW, w, l);
}

void UserControl::RaiseShowBelow(HWND parent, bool shown) {
  // Containers before what they hold; a hidden window's children stay unshown.
  for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    const bool visible = (GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown && !visible) continue;
    if (auto* uc = dynamic_cast<UserControl*>(Control::FromHwnd(h))) {
      shown ? uc->RaiseShow() : uc->RaiseHide();
    }
    RaiseShowBelow(h, shown);
  }
}

LRESULT UserControl::OnWmSystemChange(UINT msg, WPARAM w, LPARAM l) {
  // System colours may have changed under a translated back colour: draw anew.
  SetBkColor(hDC(), ToColorRef(m_backColor));
  ApplyTextColour();
  InvalidateSurface();
  return DefWindowProcW(hWnd(), msg, w, l);
}

}  // namespace fw
