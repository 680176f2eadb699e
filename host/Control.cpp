#include "host/Control.h"

#include <commctrl.h>

#include <string>

#include "host/Font.h"
#include "host/AccessibleText.h"
#include "host/Form.h"
#include "host/Label.h"
#include "host/Gdi.h"
#include "host/Numeric.h"
#include "host/WideText.h"

namespace fw {

namespace {
// The window property that leads from a window to its control object. A property
// works for every window class, the platform's EDIT and COMBOBOX included.
constexpr wchar_t kControlProp[] = L"Fuelwise.Control";
}  // namespace

Control::Control(std::u16string kind) : m_kind(std::move(kind)) {}

Control::~Control() { DestroyDetached(); }

void Control::DestroyDetached() {
  if (!m_hwnd) return;
  HWND hwnd = m_hwnd;
  RemovePropW(hwnd, kControlProp);
  m_hwnd = nullptr;
  detail::CountHandle(HandleKind::Window, -1);
  if (IsWindow(hwnd)) DestroyWindow(hwnd);
}

std::u16string Control::QualifiedName() const {
  if (!m_index) return m_name;
  std::u16string s = m_name + u"(";
  for (char c : std::to_string(*m_index)) s.push_back(static_cast<char16_t>(c));
  return s + u")";
}

std::u16string Control::WindowCaption() const {
  if (!m_hwnd) return {};
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(m_hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(m_hwnd, text.data(), static_cast<int>(text.size()))));
  return FromWide(text);
}

void Control::SetWindowCaption(std::u16string_view text) {
  if (m_hwnd) SetWindowTextW(m_hwnd, ToWide(text).c_str());
}

Control* Control::Container() const {
  if (!m_parentHwnd) return nullptr;
  return FromHwnd(m_parentHwnd);
}

Form* Control::ParentForm() const {
  if (m_form) return m_form;
  HWND start = m_hwnd ? m_hwnd : m_parentHwnd;
  return start ? Form::FromHwnd(GetAncestor(start, GA_ROOT)) : nullptr;
}

int Control::Dpi() const {
  const Form* form = ParentForm();
  return form && form->hWnd() ? form->Dpi() : ScreenDpi();
}

int Control::Scaled(int pixels) const { return ScaleToDpi(pixels, Dpi()); }

int Control::TwipsToPixelsX(int32_t twips) const { return fw::TwipsToPixels(twips, Dpi()); }
int Control::TwipsToPixelsY(int32_t twips) const { return fw::TwipsToPixels(twips, Dpi()); }
int32_t Control::PixelsToTwipsX(int pixels) const { return fw::PixelsToTwips(pixels, Dpi()); }
int32_t Control::PixelsToTwipsY(int pixels) const { return fw::PixelsToTwips(pixels, Dpi()); }
double Control::TwipsPerPixelX() const { return 1440.0 / Dpi(); }
double Control::TwipsPerPixelY() const { return 1440.0 / Dpi(); }

bool Control::Create(HWND parent, const RECT& pixels, std::u16string name,
                     std::optional<int32_t> index) {
  if (m_hwnd) return false;
  m_name = std::move(name);
  m_index = index;
  m_parentHwnd = parent;
  m_left = PixelsToTwipsX(pixels.left);
  m_top = PixelsToTwipsY(pixels.top);
  m_width = PixelsToTwipsX(pixels.right - pixels.left);
  m_height = PixelsToTwipsY(pixels.bottom - pixels.top);
  bool windowless = false;
  HWND hwnd = CreateControlWindow(parent, pixels, windowless);
  if (windowless) {
    OnCreated();
    return true;
  }
  if (!hwnd) return false;
  // The window procedure of a host class may have set m_hwnd already (WM_NCCREATE).
  m_hwnd = hwnd;
  SetPropW(hwnd, kControlProp, this);
  detail::CountHandle(HandleKind::Window, +1);
  OnCreated();
  return true;
}

void Control::InitProperties() {
  OnInitProperties();
  OnSited();
}

void Control::ReadProperties(const PropertyStore& props) {
  OnReadProperties(props);
  OnSited();
}

void Control::WriteProperties(PropertyStore& props) { OnWriteProperties(props); }

void Control::Destroy() {
  Terminate();
  if (m_hwnd) {
    HWND hwnd = m_hwnd;
    DestroyWindow(hwnd);  // WM_NCDESTROY clears m_hwnd
  }
}

bool Control::MoveToContainer(HWND parent) {
  if (!m_hwnd || !IsWindow(parent) || parent == m_hwnd) return false;
  if (parent == m_parentHwnd) return true;
  // SetParent keeps the window's client position; the extender's twips stay as
  // they are and now count from the new container's corner.
  if (!SetParent(m_hwnd, parent)) return false;
  m_parentHwnd = parent;
  ApplyWindowRect();
  return true;
}

void Control::Terminate() {
  if (m_terminated) return;
  m_terminated = true;
  OnTerminate();
}

void Control::WindowDestroyed() {
  Terminate();
  if (m_hwnd) {
    RemovePropW(m_hwnd, kControlProp);
    m_hwnd = nullptr;
    detail::CountHandle(HandleKind::Window, -1);
  }
}

void Control::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == m_left && top == m_top && width == m_width && height == m_height) return;
  m_left = left;
  m_top = top;
  m_width = width;
  m_height = height;
  ApplyWindowRect();
  OnMoved();
}

RECT Control::PixelRect() const {
  const int x = TwipsToPixelsX(m_left);
  const int y = TwipsToPixelsY(m_top);
  return RECT{x, y, x + TwipsToPixelsX(m_width), y + TwipsToPixelsY(m_height)};
}

void Control::ApplyWindowRect() {
  if (!m_hwnd) return;
  const RECT rc = PixelRect();
  SetWindowPos(m_hwnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::SetVisible(bool visible) {
  m_visible = visible;
  // A hidden form keeps its children off screen; they show with it.
  if (m_hwnd) ShowWindow(m_hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

void Control::SetEnabled(bool enabled) {
  m_enabled = enabled;
  if (m_hwnd) EnableWindow(m_hwnd, enabled);
}

void Control::SetTabIndex(int32_t index) {
  m_tabIndex = index;
  if (Form* form = ParentForm()) form->SortTabOrder();
}

void Control::SetTabStop(bool stop) {
  m_tabStop = stop;
  if (!m_hwnd) return;
  LONG_PTR style = GetWindowLongPtrW(m_hwnd, GWL_STYLE);
  style = (stop && CanGetFocus()) ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
  SetWindowLongPtrW(m_hwnd, GWL_STYLE, style);
}

void Control::SetAlign(int32_t align) {
  m_align = align;
  if (Form* form = ParentForm()) form->DockAligned();
}

void Control::SetToolTipText(std::u16string text) {
  m_toolTip = std::move(text);
  if (Form* form = ParentForm()) form->UpdateToolTip(*this);
}

void Control::SetFocus() {
  if (m_hwnd) ::SetFocus(m_hwnd);
}

void Control::ZOrder(int position) {
  if (!m_hwnd) return;
  SetWindowPos(m_hwnd, position == 0 ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

Control* Control::FromHwnd(HWND hwnd) {
  return hwnd ? static_cast<Control*>(GetPropW(hwnd, kControlProp)) : nullptr;
}

bool ReflectToChild(HWND parent, UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  HWND child = nullptr;
  switch (msg) {
    case WM_COMMAND: child = reinterpret_cast<HWND>(l); break;
    case WM_NOTIFY: child = reinterpret_cast<const NMHDR*>(l)->hwndFrom; break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR: child = reinterpret_cast<HWND>(l); break;
    case WM_DRAWITEM: child = reinterpret_cast<const DRAWITEMSTRUCT*>(l)->hwndItem; break;
    case WM_MEASUREITEM: {
      // The item's window may not exist yet (WM_MEASUREITEM arrives during its
      // creation); its id leads to it once it does.
      const auto* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(l);
      child = GetDlgItem(parent, static_cast<int>(mis->CtlID));
      break;
    }
    default: return false;
  }
  Control* c = Control::FromHwnd(child);
  if (!c) {
    // A COMBOBOX's list and edit parts report through the combo itself.
    c = Control::FromHwnd(child ? GetParent(child) : nullptr);
    if (!c) return false;
  }
  return c->OnReflectedMessage(msg, w, l, result);
}

void ForwardSystemChange(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageW(child, msg, w, l);
    ForwardSystemChange(child, msg, w, l);
  }
}

int TwipsToPixelsX(int32_t twips) { return fw::TwipsToPixels(twips, ScreenDpi()); }
int TwipsToPixelsY(int32_t twips) { return fw::TwipsToPixels(twips, ScreenDpi()); }
int32_t PixelsToTwipsX(int pixels) { return fw::PixelsToTwips(pixels, ScreenDpi()); }
int32_t PixelsToTwipsY(int pixels) { return fw::PixelsToTwips(pixels, ScreenDpi()); }
double TwipsPerPixelX() { return 1440.0 / ScreenDpi(); }
double TwipsPerPixelY() { return 1440.0 / ScreenDpi(); }

const Label* Control::LabelBefore() const {
  Form* form = ParentForm();
  if (!form) return nullptr;
  const Control* before = nullptr;
  for (const auto& c : form->Controls()) {
    // A control the form does not list (a part a control made for itself)
    // follows no label.
    if (c.get() == this) return dynamic_cast<const Label*>(before);
    if (c->ContainerHwnd() == ContainerHwnd() && !c->Terminated()) before = c.get();
  }
  return nullptr;
}

std::optional<std::u16string> Control::FieldLabel() const {
  const Label* label = LabelBefore();
  if (!label) return std::nullopt;
  return FieldNameFromLabel(label->Caption());
}

}  // namespace fw
