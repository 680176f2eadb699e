#include "hook/MouseLeave.h"

#include <string>

namespace fw {
namespace {

using TrackMouseEventFn = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);

// GetProcAddress takes narrow names; export names are ASCII.
bool ToAscii(std::wstring_view in, std::string& out) {
  out.clear();
  for (wchar_t c : in) {
    if (c == 0 || c > 0x7F) return false;
    out.push_back(static_cast<char>(c));
  }
  return !out.empty();
}

// Resolved once. Comctl32, once loaded for this, stays loaded: its entry point is kept.
TrackMouseEventFn ResolveTracker() {
  static const TrackMouseEventFn fn = [] {
    if (HMODULE user32 = GetModuleHandleW(L"User32")) {
      if (auto p = reinterpret_cast<TrackMouseEventFn>(
              reinterpret_cast<void*>(GetProcAddress(user32, "TrackMouseEvent")))) {
        return p;
      }
    }
    HMODULE comctl = GetModuleHandleW(L"Comctl32");
    if (comctl == nullptr) comctl = LoadLibraryExW(L"Comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (comctl == nullptr) return TrackMouseEventFn{};
    return reinterpret_cast<TrackMouseEventFn>(
        reinterpret_cast<void*>(GetProcAddress(comctl, "_TrackMouseEvent")));
  }();
  return fn;
}

}  // namespace

bool IsFunctionExported(std::wstring_view functionName, std::wstring_view moduleName) {
  std::string name;
  if (!ToAscii(functionName, name) || moduleName.empty()) return false;
  const std::wstring module(moduleName);
  HMODULE handle = GetModuleHandleW(module.c_str());
  bool loadedHere = false;
  if (handle == nullptr) {
    // Only from the system directory: a probe must not run a DLL planted beside the exe.
    handle = LoadLibraryExW(module.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (handle == nullptr) return false;
    loadedHere = true;
  }
  const bool found = GetProcAddress(handle, name.c_str()) != nullptr;
  if (loadedHere) FreeLibrary(handle);
  return found;
}

namespace {

bool RequestLeave(HWND hWnd, DWORD flags) {
  const TrackMouseEventFn track = ResolveTracker();
  if (track == nullptr) return false;
  TRACKMOUSEEVENT request = {};
  request.cbSize = sizeof(request);
  request.dwFlags = flags;
  request.hwndTrack = hWnd;
  request.dwHoverTime = 0;
  return track(&request) != FALSE;
}

}  // namespace

bool TrackMouseLeave(HWND hWnd) { return RequestLeave(hWnd, TME_LEAVE); }

bool CancelMouseLeave(HWND hWnd) { return RequestLeave(hWnd, TME_LEAVE | TME_CANCEL); }

bool MouseLeaveTracker::Available() {
  static const bool available =
      IsFunctionExported(L"TrackMouseEvent", L"User32") || IsFunctionExported(L"_TrackMouseEvent", L"Comctl32");
  return available;
}

HoverChange MouseLeaveTracker::OnMessage(HWND hWnd, UINT uMsg) {
  if (uMsg == WM_MOUSEMOVE) {
    const HoverChange change = m_state.OnMouseMove();
    if (change == HoverChange::kEntered) TrackMouseLeave(hWnd);
    return change;
  }
  if (uMsg == WM_MOUSELEAVE) return m_state.OnMouseLeave();
  return HoverChange::kNone;
}

}  // namespace fw
