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
  RECT rc{};
  if (!GetWindowRect(hwnd, &rc)) return false;
  fw::Surface image;
  if (!image.Resize(rc.right - rc.left, rc.bottom - rc.top, RGB(255, 255, 255))) return false;
  if (IsWindowVisible(hwnd)) {
    // What the window shows, frame and children included: its window DC reads
    // the window's own pixels, whatever covers it on the screen.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC window = GetWindowDC(hwnd);
    BitBlt(image.Dc(), 0, 0, image.Width(), image.Height(), window, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, window);
  } else {
    PrintTree(hwnd, image.Dc(), 0, 0);
  }
  GdiFlush();
  return fw::SavePng(path, image.Bits(), image.Width(), image.Height());
}

}  // namespace demo
