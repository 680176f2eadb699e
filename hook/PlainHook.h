// The plain hook: a control (the button, the status bar) watches the messages of its
// own window and of its form. No validation, no reports, growable message lists,
// parameters by reference, and release at once.
//
//   class skbutton {
//     fw::PlainHook m_hook{[this](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hWnd,
//                                 UINT& uMsg, WPARAM& wParam, LPARAM& lParam) {
//       zSubclass_Proc(bBefore, bHandled, lReturn, hWnd, uMsg, wParam, lParam);
//     }};
//     void Run(HWND self) {
//       if (m_hook.HookStart(self) >= 0) {
//         m_hook.HookAddMsg(self, WM_MOUSEMOVE, fw::HookWhen::kAfter);
//         m_hook.HookAddMsg(self, WM_MOUSELEAVE, fw::HookWhen::kAfter);
//       }
//     }
//   };
//
// All calls on the thread that owns the hooked windows.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

#include "hook/MessageTable.h"

namespace fw {

class PlainRecord;

class PlainHook {
 public:
  // zSubclass_Proc: a before call may change hWnd, uMsg, wParam and lParam, and the
  // previous procedure then receives the changed values (so does the after call,
  // which is due when the after list holds the message as changed).
  // bHandled = true in the before call returns lReturn at once.
  using SubclassProc = std::function<void(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hWnd,
                                          UINT& uMsg, WPARAM& wParam, LPARAM& lParam)>;

  explicit PlainHook(SubclassProc zSubclass_Proc);
  ~PlainHook();  // HookStopAll
  PlainHook(const PlainHook&) = delete;
  PlainHook& operator=(const PlainHook&) = delete;

  // Hooks hWnd with both lists empty and returns its entry index; a window already
  // hooked here keeps its entry (same index). -1 when the window cannot be hooked.
  int HookStart(HWND hWnd);
  // Unhooks at once; the window gets its previous procedure back. Safe from inside the
  // window's own callback: the running message finishes without further callbacks.
  void HookStop(HWND hWnd);
  void HookStopAll();

  // uMsg may be ALL_MESSAGES. Message 0 is ignored: it could never be delivered.
  void HookAddMsg(HWND hWnd, UINT uMsg, HookWhen when);
  void HookDelMsg(HWND hWnd, UINT uMsg, HookWhen when);

  bool IsHooked(HWND hWnd) const { return Find(hWnd) >= 0; }
  // Entries in use (a destroyed window frees its entry).
  std::size_t ActiveCount() const;

 private:
  friend class PlainRecord;

  struct Entry {
    HWND hWnd = nullptr;  // nullptr: free
    PlainRecord* record = nullptr;
  };

  int Find(HWND hWnd) const;
  void Forget(const PlainRecord* record);

  SubclassProc m_zSubclass_Proc;
  std::vector<Entry> m_entries;
};

}  // namespace fw
