// The floor: a bare Win32 window, created, shown and painted once, built and
// run exactly like the program's own benchmark. Prints when its first paint
// ended and what the process holds then, and exits.
#include <windows.h>

#include "bench/window/Report.h"

namespace {

bool g_painted = false;

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      FillRect(dc, &ps.rcPaint, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
      EndPaint(hwnd, &ps);
      g_painted = true;
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, msg, w, l);
  }
}

}  // namespace

int wmain() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = BareProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"FuelwiseBareWindow";
  RegisterClassW(&wc);
  // The program's window size: 6420 x 4110 twips of client area at 96 dpi.
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 428 + 16, 274 + 39, nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  if (g_painted) bench::Print("painted", static_cast<double>(bench::NowTicks()));
  bench::PrintMemory();
  DestroyWindow(hwnd);
  return 0;
}
