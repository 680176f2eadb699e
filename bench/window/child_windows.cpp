// The floor of a repaint on this platform: a window holding plain child windows
// (35 by default, as many as the main window held while every control had a
// window of its own), each copying a ready bitmap on WM_PAINT and nothing else.
// Prints the median full repaint.
//
//   bench_child_windows [COUNT]
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "bench/window/Report.h"

namespace {

HDC g_ready = nullptr;

LRESULT CALLBACK CopyingChild(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_ERASEBKGND) return 1;
  if (msg != WM_PAINT) return DefWindowProcW(hwnd, msg, w, l);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  const RECT& r = ps.rcPaint;
  BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, g_ready, r.left, r.top, SRCCOPY);
  EndPaint(hwnd, &ps);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int count = argc > 1 ? std::max(1, _wtoi(argv[1])) : 35;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW child{};
  child.lpfnWndProc = CopyingChild;
  child.hInstance = instance;
  child.lpszClassName = L"FuelwiseCopyingChild";
  RegisterClassW(&child);
  WNDCLASSW top{};
  top.lpfnWndProc = DefWindowProcW;
  top.hInstance = instance;
  top.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  top.lpszClassName = L"FuelwiseChildHolder";
  RegisterClassW(&top);
  HWND form = CreateWindowExW(0, top.lpszClassName, L"Child windows", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                              428 + 16, 274 + 39, nullptr, nullptr, instance, nullptr);
  HDC screen = GetDC(form);
  g_ready = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 428, 274);
  HGDIOBJ old = SelectObject(g_ready, bitmap);
  ReleaseDC(form, screen);
  for (int i = 0; i < count; ++i) {
    CreateWindowExW(0, child.lpszClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, (i % 7) * 61,
                    (i / 7) * 54, 58, 50, form, nullptr, instance, nullptr);
  }
  ShowWindow(form, SW_SHOWNORMAL);
  UpdateWindow(form);
  std::vector<double> us;
  for (int k = 0; k < 31; ++k) {
    LARGE_INTEGER t0, t1, f;
    QueryPerformanceCounter(&t0);
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    QueryPerformanceCounter(&t1);
    QueryPerformanceFrequency(&f);
    us.push_back(static_cast<double>(t1.QuadPart - t0.QuadPart) * 1e6 / static_cast<double>(f.QuadPart));
  }
  std::sort(us.begin(), us.end());
  bench::Print("repaint_us", us[us.size() / 2]);
  DestroyWindow(form);
  SelectObject(g_ready, old);
  DeleteObject(bitmap);
  DeleteDC(g_ready);
  return 0;
}
