#include "host/GraphicControl.h"

#include "host/Gdi.h"

namespace fw {

namespace {
constexpr wchar_t kClassName[] = L"FuelwiseGraphic";
}

GraphicControl::GraphicControl(std::u16string kind, bool mouseTransparent)
    : Control(std::move(kind)), m_mouseTransparent(mouseTransparent) {
  SetTabStop(false);
}

GraphicControl::~GraphicControl() {
  if (hWnd()) SetWindowLongPtrW(hWnd(), GWLP_USERDATA, 0);
  DestroyDetached();
}

bool GraphicControl::RegisterWindowClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &GraphicControl::WndProcThunk;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  return registered;
}

HWND GraphicControl::CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) {
  windowless = false;
  if (!RegisterWindowClass()) return nullptr;
  return CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, pixels.left, pixels.top,
                         pixels.right - pixels.left, pixels.bottom - pixels.top, parent, nullptr,
                         GetModuleHandleW(nullptr), this);
}

void GraphicControl::Redraw() {
  if (hWnd()) InvalidateRect(hWnd(), nullptr, FALSE);
}

void GraphicControl::Refresh() {
  if (hWnd()) RedrawWindow(hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

LRESULT CALLBACK GraphicControl::WndProcThunk(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<GraphicControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<GraphicControl*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->AttachHwnd(hwnd);
  }
  if (!self) return DefWindowProcW(hwnd, msg, w, l);
  try {
    if (msg == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->WindowDestroyed();
      return DefWindowProcW(hwnd, msg, w, l);
    }
    return self->WndProc(msg, w, l);
  } catch (...) {
    return DefWindowProcW(hwnd, msg, w, l);
  }
}

LRESULT GraphicControl::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT: return OnWmPaint(w, l);
    case WM_PRINTCLIENT: return OnWmPrintClient(w, l);
    case WM_ERASEBKGND: return 1;
    case WM_NCHITTEST: return OnWmNcHitTest(w, l);
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE: return OnWmMouse(msg, w, l);
    case WM_DESTROY: Terminate(); return 0;
    default: break;
  }
  return DefWindowProcW(hWnd(), msg, w, l);
}

void GraphicControl::PaintTo(HDC target) {
  RECT rc{};
  GetClientRect(hWnd(), &rc);
  if (rc.right <= 0 || rc.bottom <= 0) return;
  // Composed off screen, copied in one step: no flicker between background and text.
  unique_hdc mem(CreateCompatibleDC(target));
  unique_hbitmap bmp(CreateCompatibleBitmap(target, rc.right, rc.bottom));
  if (!mem || !bmp) return;
  unique_select sel(mem.get(), bmp.get());
  if (ShowsContainer()) PaintParentBackground(hWnd(), mem.get());
  Draw(mem.get(), rc);
  BitBlt(target, 0, 0, rc.right, rc.bottom, mem.get(), 0, 0, SRCCOPY);
}

LRESULT GraphicControl::OnWmPaint(WPARAM, LPARAM) {
  unique_hdc_paint paint(hWnd());
  if (paint) PaintTo(paint.get());
  return 0;
}

LRESULT GraphicControl::OnWmPrintClient(WPARAM w, LPARAM) {
  PaintTo(reinterpret_cast<HDC>(w));
  return 0;
}

LRESULT GraphicControl::OnWmNcHitTest(WPARAM w, LPARAM l) {
  if (m_mouseTransparent) return HTTRANSPARENT;
  return DefWindowProcW(hWnd(), WM_NCHITTEST, w, l);
}

LRESULT GraphicControl::OnWmMouse(UINT msg, WPARAM w, LPARAM l) {
  HWND self = hWnd();
  const MouseArgs a = DecodeMouse(msg, w, l);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (msg == WM_LBUTTONDOWN) {
        m_leftDown = true;
        SetCapture(self);
      }
      if (MouseDown) MouseDown(a.button, a.shift, a.x, a.y);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const bool click = msg == WM_LBUTTONUP && m_leftDown;
      if (msg == WM_LBUTTONUP) {
        m_leftDown = false;
        if (GetCapture() == self) ReleaseCapture();
      }
      if (MouseUp) MouseUp(a.button, a.shift, a.x, a.y);
      if (!IsWindow(self)) return 0;
      RECT rc{};
      GetClientRect(self, &rc);
      const POINT pt{static_cast<LONG>(a.x), static_cast<LONG>(a.y)};
      if (click && PtInRect(&rc, pt) && Click) Click();
      break;
    }
    case WM_LBUTTONDBLCLK:
      m_leftDown = false;
      if (DblClick) DblClick();
      break;
    case WM_MOUSEMOVE:
      if (MouseMove) MouseMove(a.button, a.shift, a.x, a.y);
      break;
    default: break;
  }
  return 0;
}

}  // namespace fw
