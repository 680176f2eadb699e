// Hooking many windows: each of 100, 300 or 1000 windows hooked by a guarded hook
// (as the frame hooks its form) and a plain one (as a button hooks itself), then
// released. What a new hook costs must not grow with the windows already hooked.
#include <windows.h>

#include <map>
#include <vector>

#include "bench/Bench.h"
#include "hook/ErrorReporting.h"
#include "hook/GuardedHook.h"
#include "hook/PlainHook.h"

namespace {

// Message-only windows: a window of this process is all a hook needs.
const std::vector<HWND>& Windows(int count) {
  static std::map<int, std::vector<HWND>> made;
  std::vector<HWND>& windows = made[count];
  if (windows.empty()) {
    static const ATOM cls = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"FuelwiseBenchHooked";
      return RegisterClassW(&wc);
    }();
    for (int i = 0; i < count; ++i) {
      windows.push_back(CreateWindowExW(0, MAKEINTATOM(cls), L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, GetModuleHandleW(nullptr), nullptr));
    }
  }
  return windows;
}

void HookAndRelease(int count) {
  const std::vector<HWND>& windows = Windows(count);
  fw::ScopedErrorReportSink quiet([](const fw::ErrorReport&) {});
  {
    fw::GuardedHook frame(L"skForms", [](bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) {});
    fw::PlainHook button([](bool, bool&, LRESULT&, HWND&, UINT&, WPARAM&, LPARAM&) {});
    for (HWND h : windows) {
      frame.sc_Subclass(h);
      button.HookStart(h);
    }
  }
  // The guarded hook lets go on each window's next message.
  for (HWND h : windows) SendMessageW(h, WM_NULL, 0, 0);
}

}  // namespace

FW_BENCH(HookWindows_100, 9) { HookAndRelease(100); }
FW_BENCH(HookWindows_300, 5) { HookAndRelease(300); }
FW_BENCH(HookWindows_1000, 3) { HookAndRelease(1000); }
