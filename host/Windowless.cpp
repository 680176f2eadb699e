#include "host/Windowless.h"

#include <commctrl.h>
#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <unordered_map>

#include "host/Form.h"
#include "host/Gdi.h"
#include "host/GraphicControl.h"
#include "host/Input.h"
#include "host/UserControl.h"

namespace fw {

namespace {

constexpr UINT_PTR kSubclassId = 0x46574C53;  // "FWLS"

// A form or a user control: it draws and routes its windowless controls itself.
bool IsHostWindow(HWND hwnd) {
  return Form::FromHwnd(hwnd) != nullptr ||
         dynamic_cast<UserControl*>(Control::FromHwnd(hwnd)) != nullptr;
}

// The sites of the windows of this thread. Looked up on every paint and mouse
// message of a container: a window property would cost a round trip to the
// window server each time under Wine. A window's messages arrive on the thread
// that made it, which is where its windowless controls live too.
std::unordered_map<HWND, WindowlessSite*>& Sites() {
  thread_local std::unordered_map<HWND, WindowlessSite*> sites;
  return sites;
}

}  // namespace

bool IsRoutedMouseMessage(UINT msg) {
  switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: return true;
    default: return false;
  }
}

WindowlessSite* WindowlessSite::Of(HWND container) {
  const auto& sites = Sites();
  if (sites.empty()) return nullptr;
  const auto it = sites.find(container);
  return it == sites.end() ? nullptr : it->second;
}

WindowlessSite* WindowlessSite::Attach(HWND container) {
  if (!IsWindow(container)) return nullptr;
  if (WindowlessSite* site = Of(container)) return site;
  auto* site = new WindowlessSite(container);
  Sites()[container] = site;
  if (!IsHostWindow(container)) {
    site->m_subclassed = SetWindowSubclass(container, &WindowlessSite::SubclassProc, kSubclassId,
                                           reinterpret_cast<DWORD_PTR>(site)) != FALSE;
  }
  return site;
}

void WindowlessSite::Release(HWND container) {
  WindowlessSite* site = Of(container);
  if (!site) return;
  Sites().erase(container);
  if (site->m_subclassed) RemoveWindowSubclass(container, &WindowlessSite::SubclassProc, kSubclassId);
  // The controls outlive their container's window (their owner destroys them
  // later); from now on they are drawn nowhere.
  const std::vector<GraphicControl*> controls = std::move(site->m_controls);
  site->m_controls.clear();
  for (GraphicControl* c : controls) c->ContainerGone();
  delete site;
}

void WindowlessSite::Add(GraphicControl* control) {
  if (IndexOf(control) >= 0) return;
  m_controls.push_back(control);
  Invalidate(AreaOf(*control));
}

void WindowlessSite::Remove(GraphicControl* control) {
  const int i = IndexOf(control);
  if (i < 0) return;
  m_controls.erase(m_controls.begin() + i);
  if (m_pressed == control) {
    m_pressed = nullptr;
    if (GetCapture() == m_hwnd) ReleaseCapture();
  }
  if (control->Visible()) Invalidate(AreaOf(*control));
}

void WindowlessSite::Raise(GraphicControl* control, bool toTop) {
  const int i = IndexOf(control);
  if (i < 0) return;
  m_controls.erase(m_controls.begin() + i);
  if (toTop) m_controls.push_back(control);
  else m_controls.insert(m_controls.begin(), control);
  Invalidate(AreaOf(*control));
}

int WindowlessSite::IndexOf(const GraphicControl* control) const {
  const auto it = std::find(m_controls.begin(), m_controls.end(), control);
  return it == m_controls.end() ? -1 : static_cast<int>(it - m_controls.begin());
}

RECT WindowlessSite::AreaOf(const GraphicControl& control) { return control.PixelRect(); }

bool WindowlessSite::HasShownControls() const {
  return std::any_of(m_controls.begin(), m_controls.end(),
                     [](const GraphicControl* c) { return c->Visible(); });
}

bool WindowlessSite::Overlaps(const RECT& area) const {
  for (const GraphicControl* c : m_controls) {
    RECT rc = AreaOf(*c), both{};
    if (c->Visible() && IntersectRect(&both, &rc, &area)) return true;
  }
  return false;
}

void WindowlessSite::Paint(HDC dc, const RECT& area) const {
  for (GraphicControl* c : m_controls) {
    const RECT rc = AreaOf(*c);
    RECT both{};
    if (!c->Visible() || !IntersectRect(&both, &rc, &area)) continue;
    unique_dc_state state(dc);
    // Clipped to its own rectangle, drawn in its own coordinates, as its own
    // window would have been.
    IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
    OffsetViewportOrgEx(dc, rc.left, rc.top, nullptr);
    c->Draw(dc, RECT{0, 0, rc.right - rc.left, rc.bottom - rc.top});
  }
}

void WindowlessSite::Compose(HDC target, const RECT& area,
                             const std::function<void(HDC)>& background) const {
  const int w = area.right - area.left;
  const int h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return;
  unique_hdc mem(CreateCompatibleDC(target));
  unique_hbitmap bitmap(mem ? CreateCompatibleBitmap(target, w, h) : nullptr);
  if (!bitmap) {
    // No memory for the composition: draw in place rather than not at all.
    background(target);
    Paint(target, area);
    return;
  }
  {
    unique_select selection(mem.get(), bitmap.get());
    SetViewportOrgEx(mem.get(), -area.left, -area.top, nullptr);
    background(mem.get());
    Paint(mem.get(), area);
    SetViewportOrgEx(mem.get(), 0, 0, nullptr);
    BitBlt(target, area.left, area.top, w, h, mem.get(), 0, 0, SRCCOPY);
  }
}

GraphicControl* WindowlessSite::HitTest(POINT pt) const {
  for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
    GraphicControl* c = *it;
    if (!c->Visible() || !c->Enabled() || c->MouseTransparent()) continue;
    const RECT rc = AreaOf(*c);
    if (PtInRect(&rc, pt)) return c;
  }
  return nullptr;
}

bool WindowlessSite::RouteMouse(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_CAPTURECHANGED) {
    // Another window took the pointer: the press can no longer end in a click.
    if (reinterpret_cast<HWND>(l) != m_hwnd) m_pressed = nullptr;
    return false;
  }
  if (!IsRoutedMouseMessage(msg)) return false;
  const POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  GraphicControl* target = m_pressed;
  if (!target) {
    // A press on the container itself keeps its moves and its release.
    if (GetCapture() == m_hwnd) return false;
    target = HitTest(pt);
    if (!target) return false;
  }
  const RECT rc = AreaOf(*target);
  MouseArgs a = DecodeMouse(msg, w, l);
  a.x -= static_cast<float>(rc.left);
  a.y -= static_cast<float>(rc.top);
  const bool inside = PtInRect(&rc, pt) != FALSE;
  const HWND container = m_hwnd;
  // A handler may destroy the control, or the container with this site: after
  // each one, go on only while both are still here.
  auto alive = [&] { return IsWindow(container) && Of(container) == this && IndexOf(target) >= 0; };
  switch (msg) {
    case WM_LBUTTONDOWN:
      m_pressed = target;
      SetCapture(container);
      target->RaiseMouseDown(a);
      break;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: target->RaiseMouseDown(a); break;
    case WM_LBUTTONUP: {
      const bool click = m_pressed == target && inside;
      m_pressed = nullptr;
      if (GetCapture() == container) ReleaseCapture();
      target->RaiseMouseUp(a);
      if (click && alive()) target->RaiseClick();
      break;
    }
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: target->RaiseMouseUp(a); break;
    case WM_LBUTTONDBLCLK:
      // The second press of a double click gives no MouseDown, and its release no Click.
      m_pressed = nullptr;
      target->RaiseDblClick();
      break;
    case WM_MOUSEMOVE: target->RaiseMouseMove(a); break;
    default: break;
  }
  return true;
}

void WindowlessSite::Invalidate(const RECT& area) const {
  if (area.right > area.left && area.bottom > area.top) InvalidateRect(m_hwnd, &area, FALSE);
}

void WindowlessSite::NotifyNameChanged(const GraphicControl& control) const {
  const int i = IndexOf(&control);
  if (i < 0) return;
  // A user control lists its own parts before the windowless controls on it.
  int own = 0;
  if (auto* uc = dynamic_cast<UserControl*>(Control::FromHwnd(m_hwnd))) own = uc->OwnAccessiblePartCount();
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hwnd, OBJID_CLIENT, own + i + 1);
}

void WindowlessSite::DescribePart(int part, AccessibleItem& item) const {
  if (part < 0 || part >= PartCount()) return;
  const GraphicControl& c = *m_controls[static_cast<size_t>(part)];
  item.role = ROLE_SYSTEM_GRAPHIC;
  c.Describe(item);
  long state = STATE_SYSTEM_READONLY;
  if (c.m_accessibleRole != 0) {
    item.role = c.m_accessibleRole;
    item.defaultAction = c.m_accessibleVerb;
    if (!c.m_accessibleValue.empty()) item.value = c.m_accessibleValue;
    if (c.m_accessibleRole == ROLE_SYSTEM_LINK) state = STATE_SYSTEM_LINKED;
  }
  if (!c.Visible() || !IsWindowVisible(m_hwnd)) state |= STATE_SYSTEM_INVISIBLE;
  if (!c.Enabled()) state |= STATE_SYSTEM_UNAVAILABLE;
  item.state = state;
  RECT rc = AreaOf(c);
  MapWindowPoints(m_hwnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
  item.location = rc;
  if (c.m_describe) c.m_describe(item);
  if (c.m_accessibleHidden) item.state = item.state.value_or(0) | STATE_SYSTEM_INVISIBLE;
}

bool WindowlessSite::DoDefaultAction(int part) {
  // Only a control its program gave an action has one; a tool clicks the
  // others with the pointer.
  if (part < 0 || part >= PartCount()) return false;
  GraphicControl& c = *m_controls[static_cast<size_t>(part)];
  if (c.m_accessibleRole == 0 || !c.Visible() || !c.Enabled()) return false;
  c.RaiseClick();
  return true;
}

// -- Any other window: the subclass draws, routes and answers for the controls

LRESULT CALLBACK WindowlessSite::SubclassProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR,
                                              DWORD_PTR data) {
  auto* site = reinterpret_cast<WindowlessSite*>(data);
  if (msg == WM_NCDESTROY) {
    Release(hwnd);
    return DefSubclassProc(hwnd, msg, w, l);
  }
  try {
    return site->HandleForeign(msg, w, l);
  } catch (...) {
    // Nothing may leave a window procedure.
    return DefSubclassProc(hwnd, msg, w, l);
  }
}

LRESULT WindowlessSite::HandleForeign(UINT msg, WPARAM w, LPARAM l) {
  HWND hwnd = m_hwnd;
  switch (msg) {
    case WM_ERASEBKGND:
      // The paint that follows composes the background with the controls.
      if (HasShownControls()) return 1;
      break;
    case WM_PAINT: {
      if (!HasShownControls()) break;
      unique_hdc_paint paint(hwnd);
      if (!paint) return 0;
      Compose(paint.get(), paint.PaintRect(), [&](HDC mem) {
        DefSubclassProc(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), 0);
        DefSubclassProc(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
      });
      return 0;
    }
    case WM_PRINTCLIENT: {
      const LRESULT r = DefSubclassProc(hwnd, msg, w, l);
      RECT client{};
      GetClientRect(hwnd, &client);
      if (WindowlessSite* site = Of(hwnd)) site->Paint(reinterpret_cast<HDC>(w), client);
      return r;
    }
    case WM_GETOBJECT: {
      // The window's own answer first; else the site's.
      const LRESULT r = DefSubclassProc(hwnd, msg, w, l);
      return r != 0 ? r : AnswerGetObject(w, l);
    }
    case WM_CAPTURECHANGED: RouteMouse(msg, w, l); break;
    default:
      if (IsRoutedMouseMessage(msg) && RouteMouse(msg, w, l)) return 0;
      break;
  }
  return DefSubclassProc(hwnd, msg, w, l);
}

}  // namespace fw
