#include "tools/hostdemo/Screenshot.h"

#include "host/Gdi.h"
#include "host/PngFile.h"
#include "host/Surface.h"

namespace demo {

namespace {

// Prints `hwnd` (frame and client) at (x, y) of `dc`, then its visible children
// from the bottom of the z-order up.
void PrintTree(HWND hwnd, HDC dc, int x, int y) {
  POINT old{};
  SetViewportOrgEx(dc, x, y, &old);
  SendMessageW(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(dc),
               PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
  // Children are placed relative to the client area, which the frame offsets.
  RECT window{};
  GetWindowRect(hwnd, &window);
  POINT client{0, 0};
  ClientToScreen(hwnd, &client);
  const int cx = x + client.x - window.left, cy = y + client.y - window.top;
  for (HWND child = GetWindow(hwnd, GW_CHILD) ? GetWindow(GetWindow(hwnd, GW_CHILD), GW_HWNDLAST) : nullptr;
       child; child = GetWindow(child, GW_HWNDPREV)) {
    if (!IsWindowVisible(child)) continue;
    RECT rc{};
    GetWindowRect(child, &rc);
    POINT at{rc.left, rc.top};
    ScreenToClient(hwnd, &at);
    PrintTree(child, dc, cx + at.x, cy + at.y);
  }
}

}  // namespace

bool SaveWindowPng(HWND hwnd, const std::wstring& path) {
  // The client area: the frame is the window manager's (or, in the product, the
  // skinned frame control's), and no window manager runs under the test display.
  RECT client{};
  if (!GetClientRect(hwnd, &client)) return false;
  fw::Surface image;
  if (!image.Resize(client.right, client.bottom, RGB(255, 255, 255))) return false;
  if (IsWindowVisible(hwnd)) {
    // What the window shows, children included: its DC reads the window's own
    // pixels, whatever covers it on the screen.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    fw::unique_hdc_window window(hwnd);
    BitBlt(image.Dc(), 0, 0, image.Width(), image.Height(), window.get(), 0, 0, SRCCOPY);
  } else {
    RECT frame{};
    GetWindowRect(hwnd, &frame);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    PrintTree(hwnd, image.Dc(), frame.left - origin.x, frame.top - origin.y);
  }
  GdiFlush();
  return fw::SavePng(path, image.Bits(), image.Width(), image.Height());
}

}  // namespace demo
