// Mouse-leave tracking, shared by every control that shows hover feedback.
//
//   // once, when the control starts running:
//   if (fw::MouseLeaveTracker::Available()) {
//     hook.HookStart(self);
//     hook.HookAddMsg(self, WM_MOUSEMOVE, fw::HookWhen::kAfter);
//     hook.HookAddMsg(self, WM_MOUSELEAVE, fw::HookWhen::kAfter);
//   }
//   // in the hook callback:
//   switch (m_hover.OnMessage(hWnd, uMsg)) {
//     case fw::HoverChange::kEntered: Redraw(); RaiseMouseHover(); break;
//     case fw::HoverChange::kLeft: Redraw(); RaiseMouseOut(); break;
//     case fw::HoverChange::kNone: break;
//   }
#pragma once

#include <windows.h>

#include <string_view>

#include "hook/HoverState.h"

namespace fw {

// True when `moduleName` exports `functionName`. A module that is not loaded is loaded
// from the system directory for the test and unloaded again. Any failure gives false.
bool IsFunctionExported(std::wstring_view functionName, std::wstring_view moduleName);

// Asks the platform to post WM_MOUSELEAVE to hWnd when the pointer leaves it:
// TrackMouseEvent of User32, else _TrackMouseEvent of Comctl32. False when neither
// exists or the request was refused.
bool TrackMouseLeave(HWND hWnd);
// Withdraws that request: no WM_MOUSELEAVE comes for the pointer's next leave.
bool CancelMouseLeave(HWND hWnd);

class MouseLeaveTracker {
 public:
  // Whether leave tracking exists at all; looked up once per process. Without it an
  // owner should not hook for hover at all.
  static bool Available();

  // Feed every WM_MOUSEMOVE and WM_MOUSELEAVE of the window (others give kNone).
  // On the first move inside it requests the leave notice.
  HoverChange OnMessage(HWND hWnd, UINT uMsg);
  bool Inside() const { return m_state.Inside(); }
  // The owner ended the hover look itself; the next move counts as an entry again.
  void Clear() { m_state.Clear(); }

 private:
  HoverState m_state;
};

}  // namespace fw
