#include "controls/XPContainer/HeaderStrip.h"

#include <algorithm>

#include "host/Gdi.h"

namespace fw::xpcontainer {

namespace {

constexpr wchar_t kStripClass[] = L"FuelwiseXPContainerHeader";

HINSTANCE ThisModule() { return GetModuleHandleW(nullptr); }

bool RegisterOnce(const wchar_t* name, WNDPROC proc) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(ThisModule(), name, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = ThisModule();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0;
}

// The object behind a window is kept in GWLP_USERDATA from WM_NCCREATE on.
template <typename T>
T* Attach(HWND hwnd, UINT msg, LPARAM l) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return self;
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace

// -- HeaderStrip

HeaderStrip::~HeaderStrip() { Destroy(); }

bool HeaderStrip::Create(HWND parent, const RECT& rc) {
  if (m_hwnd || !RegisterOnce(kStripClass, WndProc)) return false;
  if (!m_surface.Resize(rc.right - rc.left, rc.bottom - rc.top, RGB(0xFF, 0xFF, 0xFF)))
    return false;
  HWND hwnd = CreateWindowExW(0, kStripClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                              rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, parent,
                              nullptr, ThisModule(), this);
  if (!hwnd) return false;
  detail::CountHandle(HandleKind::Window, +1);
  return true;
}

void HeaderStrip::Destroy() {
  if (m_hwnd) DestroyWindow(m_hwnd);
}

void HeaderStrip::SetWidth(int width) {
  if (!m_hwnd) return;
  RECT rc;
  GetWindowRect(m_hwnd, &rc);
  SetWindowPos(m_hwnd, nullptr, 0, 0, width < 0 ? 0 : width, rc.bottom - rc.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void HeaderStrip::Place(const RECT& rc) {
  if (!m_hwnd) return;
  SetWindowPos(m_hwnd, nullptr, rc.left, rc.top, std::max(0L, rc.right - rc.left),
               std::max(0L, rc.bottom - rc.top), SWP_NOZORDER | SWP_NOACTIVATE);
}

void HeaderStrip::SetVisible(bool visible) {
  if (m_hwnd) ShowWindow(m_hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

bool HeaderStrip::Visible() const {
  return m_hwnd && (GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void HeaderStrip::Refresh() {
  if (m_hwnd) RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK HeaderStrip::WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  HeaderStrip* self = Attach<HeaderStrip>(hwnd, msg, l);
  if (!self) return DefWindowProcW(hwnd, msg, w, l);
  if (msg == WM_NCCREATE) self->m_hwnd = hwnd;
  try {
    return self->HandleMessage(msg, w, l);
  } catch (...) {
    // Nothing may leave a window procedure; a failed step just does not show.
    return DefWindowProcW(hwnd, msg, w, l);
  }
}

LRESULT HeaderStrip::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_SIZE: return OnWmSize(w, l);
    case WM_ERASEBKGND: return 1;  // the surface covers every pixel
    case WM_PAINT: return OnWmPaint(w, l);
    case WM_PRINTCLIENT: return OnWmPrintClient(w, l);
    case WM_NCDESTROY: return OnWmNcDestroy(w, l);
    default: return DefWindowProcW(m_hwnd, msg, w, l);
  }
}

LRESULT HeaderStrip::OnWmSize(WPARAM, LPARAM l) {
  // What was drawn stays; the container redraws after every resize step.
  m_surface.Resize(LOWORD(l), HIWORD(l), RGB(0xFF, 0xFF, 0xFF));
  return 0;
}

LRESULT HeaderStrip::OnWmPaint(WPARAM, LPARAM) {
  unique_hdc_paint dc(m_hwnd);
  if (dc) m_surface.CopyTo(dc.get(), dc.PaintRect());
  return 0;
}

LRESULT HeaderStrip::OnWmPrintClient(WPARAM w, LPARAM) {
  m_surface.CopyAllTo(reinterpret_cast<HDC>(w), 0, 0);
  return 0;
}

LRESULT HeaderStrip::OnWmNcDestroy(WPARAM w, LPARAM l) {
  SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
  HWND hwnd = m_hwnd;
  m_hwnd = nullptr;
  detail::CountHandle(HandleKind::Window, -1);
  return DefWindowProcW(hwnd, WM_NCDESTROY, w, l);
}

}  // namespace fw::xpcontainer
