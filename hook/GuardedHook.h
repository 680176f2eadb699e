// The guarded hook: an owner control (the skinned frame) watches the messages of
// windows it does not own, before and/or after their own procedure.
//
//   class skForms {
//     fw::GuardedHook m_hook{L"skForms", [this](bool bBefore, bool& bHandled, LRESULT& lReturn,
//                                                HWND hWnd, UINT uMsg, WPARAM wParam,
//                                                LPARAM lParam, LONG_PTR& userValue) {
//       zHookProc(bBefore, bHandled, lReturn, hWnd, uMsg, wParam, lParam, userValue);
//     }};
//     void Run(HWND form) {
//       if (m_hook.sc_Subclass(form)) {
//         m_hook.sc_AddMsg(form, WM_ACTIVATE, fw::HookWhen::kAfter);
//         m_hook.sc_AddMsg(form, WM_SYSCOMMAND, fw::HookWhen::kBefore);
//       }
//     }
//   };
//
// Every failure is reported by name (see ErrorReporting.h) and leaves things as they
// were. A window's hook is released lazily: sc_UnSubclass empties its tables at once,
// and the hook leaves the window on the window's next message that is not nested
// inside another one running through it, so a release asked for from inside a
// callback never pulls the hook out from under a running message.
//
// All calls on the thread that owns the hooked windows.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hook/MessageTable.h"

namespace fw {

class GuardedRecord;

class GuardedHook {
 public:
  // zHookProc: bBefore is true for the call before the window's previous procedure.
  // Before: bHandled false and lReturn 0 on entry; bHandled = true returns lReturn at
  // once (no previous procedure, no after call). After: lReturn holds the previous
  // procedure's result and may be changed. userValue is the window's user value.
  using HookProc = std::function<void(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND hWnd,
                                      UINT uMsg, WPARAM wParam, LPARAM lParam, LONG_PTR& userValue)>;

  // `className` names the owner in reports ("Error in skForms.sc_Subclass").
  GuardedHook(std::wstring className, HookProc zHookProc);
  ~GuardedHook();  // sc_UnSubclassAll
  GuardedHook(const GuardedHook&) = delete;
  GuardedHook& operator=(const GuardedHook&) = delete;

  // Hooks hWnd with both tables empty. `callback` empty means the owner's own zHookProc.
  bool sc_Subclass(HWND hWnd, LONG_PTR userValue = 0, HookProc callback = {});
  // Empties the window's tables, forgets the window and lets the hook go on the
  // window's next message.
  void sc_UnSubclass(HWND hWnd);
  // sc_UnSubclass for every window, newest first; then a later sc_Subclass starts anew.
  void sc_UnSubclassAll();

  // uMsg may be ALL_MESSAGES. Message 0 is refused and reported: a freed slot
  // holds 0, so it could never be delivered.
  void sc_AddMsg(HWND hWnd, UINT uMsg, HookWhen when = HookWhen::kAfter);
  void sc_DelMsg(HWND hWnd, UINT uMsg, HookWhen when = HookWhen::kAfter);

  // The window's previous procedure, called directly; 0 when the window is not hooked.
  LRESULT sc_CallPrevWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

  // The window's user value (0 when not hooked), passed by reference to every callback.
  LONG_PTR sc_UserValue(HWND hWnd);
  void sc_UserValue(HWND hWnd, LONG_PTR value);

  // Windows registered now: hooked, not yet asked to release, not destroyed.
  std::size_t RegisteredCount() const { return m_registry ? m_registry->size() : 0; }

 private:
  friend class GuardedRecord;

  struct RegistryEntry {
    std::wstring key;  // "1234h"
    GuardedRecord* record;
  };

  GuardedRecord* zMap_hWnd(HWND hWnd);
  // The registry lookup alone, without a report.
  GuardedRecord* FindRecord(HWND hWnd) const;
  void zAddMsg(UINT uMsg, MessageTable& table);
  void zDelMsg(UINT uMsg, MessageTable& table);
  void zReportError(std::wstring_view routine, std::wstring_view message) const;
  // The window was destroyed while hooked: its record is gone.
  void Forget(const GuardedRecord* record);

  std::wstring m_className;
  HookProc m_zHookProc;
  // Created by the first sc_Subclass that passes its checks; dropped by sc_UnSubclassAll.
  std::optional<std::vector<RegistryEntry>> m_registry;
};

}  // namespace fw
