#include "hook/GuardedHook.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

#include "hook/ErrorReporting.h"
#include "hook/HookChain.h"
#include "hook/HookReport.h"

namespace fw {

// The hook of one window. Its owner forgets it on sc_UnSubclass; from then on it
// calls nobody and waits for the message that releases it.
class GuardedRecord final : public hook_detail::HookLayer {
 public:
  GuardedRecord(GuardedHook* owner, HWND hWnd, GuardedHook::HookProc callback, LONG_PTR userValue)
      : m_owner(owner), m_hWnd(hWnd), m_callback(std::move(callback)), m_userValue(userValue) {}

  GuardedHook* m_owner;
  HWND m_hWnd;
  GuardedHook::HookProc m_callback;
  MessageTable m_before;
  MessageTable m_after;
  LONG_PTR m_userValue;
  int m_nesting = 0;  // previous-procedure calls in progress through this hook
  bool m_shutdown = false;

  LRESULT CallPreviousCounted(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    hook_detail::CountGuard nesting(m_nesting);
    return CallPrevious(hWnd, uMsg, wParam, lParam);
  }

 protected:
  LRESULT OnMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    LRESULT lReturn = 0;
    bool bHandled = false;
    if (WantsMessage(m_before, uMsg)) Call(true, bHandled, lReturn, hWnd, uMsg, wParam, lParam);
    if (bHandled) return lReturn;

    lReturn = CallPreviousCounted(hWnd, uMsg, wParam, lParam);

    // Released only when no call of the previous procedure runs through the hook, and
    // no outer message is still inside this hook's own callback either.
    if (m_shutdown && m_nesting == 0 && ActiveCalls() == 1) {
      Detach();  // destroyed once this call returns
      return lReturn;
    }
    // A window destroyed meanwhile gets no after call: its owner has forgotten it.
    if (!Detached() && WantsMessage(m_after, uMsg)) {
      bool ignored = false;
      Call(false, ignored, lReturn, hWnd, uMsg, wParam, lParam);
    }
    return lReturn;
  }

  void OnWindowDestroyed() override {
    if (m_owner != nullptr) m_owner->Forget(this);
    m_owner = nullptr;
  }

 private:
  void Call(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND hWnd, UINT uMsg, WPARAM wParam,
            LPARAM lParam) {
    try {
      m_callback(bBefore, bHandled, lReturn, hWnd, uMsg, wParam, lParam, m_userValue);
    } catch (...) {
      // The owner's failure stays the owner's: the message goes on as if unhandled.
      if (bBefore) bHandled = false;
    }
  }
};

namespace {

std::wstring KeyOf(HWND hWnd) {
  return RegistryKey(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(hWnd)));
}

}  // namespace

GuardedHook::GuardedHook(std::wstring className, HookProc zHookProc)
    : m_className(std::move(className)), m_zHookProc(std::move(zHookProc)) {}

GuardedHook::~GuardedHook() { sc_UnSubclassAll(); }

bool GuardedHook::sc_Subclass(HWND hWnd, LONG_PTR userValue, HookProc callback) {
  constexpr std::wstring_view kRoutine = L"sc_Subclass";
  if (hWnd == nullptr || !IsWindow(hWnd)) {
    zReportError(kRoutine, kInvalidWindowHandle);
    return false;
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(hWnd, &processId);
  if (processId != GetCurrentProcessId()) {
    zReportError(kRoutine, kOtherProcessWindow);
    return false;
  }
  if (!callback) callback = m_zHookProc;
  if (!callback) {
    zReportError(kRoutine, kCallbackNotFound);
    return false;
  }
  if (!m_registry) m_registry.emplace();

  std::unique_ptr<GuardedRecord> record;
  try {
    record = std::make_unique<GuardedRecord>(this, hWnd, std::move(callback), userValue);
    // Registering must not fail once the window is hooked.
    if (m_registry->size() == m_registry->capacity()) m_registry->reserve(m_registry->size() * 2 + 8);
  } catch (const std::bad_alloc&) {
    zReportError(kRoutine, AllocFailedText(ERROR_NOT_ENOUGH_MEMORY));
    return false;
  }

  // A window that died while an older procedure sat over ours was never seen to go;
  // its record must not make a new window with the same handle value look hooked.
  hook_detail::ReleaseDeadWindows(hWnd);
  std::wstring key = KeyOf(hWnd);
  const bool known = std::any_of(m_registry->begin(), m_registry->end(),
                                 [&key](const RegistryEntry& e) { return e.key == key; });
  if (known) {
    zReportError(kRoutine, kAlreadySubclassed);
    return false;
  }

  GuardedRecord* raw = record.get();
  hook_detail::AttachError error;
  if (hook_detail::AttachLayer(hWnd, std::move(record), error) == nullptr) {
    zReportError(kRoutine, CallFailedText(error.call, error.code));
    return false;
  }
  m_registry->push_back({std::move(key), raw});
  return true;
}

void GuardedHook::sc_UnSubclass(HWND hWnd) {
  if (!m_registry) {
    zReportError(L"sc_UnSubclass", kNotSubclassed);
    return;
  }
  GuardedRecord* record = zMap_hWnd(hWnd);
  if (record == nullptr) return;
  record->m_shutdown = true;
  // Emptying a table cannot fail, so nothing here can pump messages (a report
  // would) and the record stays valid throughout.
  DeleteMessage(record->m_before, ALL_MESSAGES);
  DeleteMessage(record->m_after, ALL_MESSAGES);
  record->m_owner = nullptr;
  Forget(record);
}

void GuardedHook::sc_UnSubclassAll() {
  if (!m_registry) return;
  // Newest first; each sc_UnSubclass takes its window out of the registry.
  while (!m_registry->empty()) {
    const std::size_t before = m_registry->size();
    sc_UnSubclass(m_registry->back().record->m_hWnd);
    if (m_registry->size() == before) m_registry->pop_back();  // cannot happen; never loop forever
  }
  m_registry.reset();
}

// A failed edit of the first table is reported in a warning box, whose message loop
// may destroy the window and its record: the second table is looked up afresh.
void GuardedHook::sc_AddMsg(HWND hWnd, UINT uMsg, HookWhen when) {
  GuardedRecord* record = zMap_hWnd(hWnd);
  if (record == nullptr) return;
  if (Selects(when, HookWhen::kBefore)) zAddMsg(uMsg, record->m_before);
  if (Selects(when, HookWhen::kAfter) && (record = FindRecord(hWnd)) != nullptr) {
    zAddMsg(uMsg, record->m_after);
  }
}

void GuardedHook::sc_DelMsg(HWND hWnd, UINT uMsg, HookWhen when) {
  GuardedRecord* record = zMap_hWnd(hWnd);
  if (record == nullptr) return;
  if (Selects(when, HookWhen::kBefore)) zDelMsg(uMsg, record->m_before);
  if (Selects(when, HookWhen::kAfter) && (record = FindRecord(hWnd)) != nullptr) {
    zDelMsg(uMsg, record->m_after);
  }
}

LRESULT GuardedHook::sc_CallPrevWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  GuardedRecord* record = zMap_hWnd(hWnd);
  if (record == nullptr) return 0;
  // Called outside the window's messages, the window may have died meanwhile; no
  // message would come after to release its hook.
  LRESULT result = 0;
  try {
    result = record->CallPreviousCounted(hWnd, uMsg, wParam, lParam);
  } catch (...) {
    record->ReleaseIdle();
    throw;
  }
  record->ReleaseIdle();
  return result;
}

LONG_PTR GuardedHook::sc_UserValue(HWND hWnd) {
  const GuardedRecord* record = zMap_hWnd(hWnd);
  return record != nullptr ? record->m_userValue : 0;
}

void GuardedHook::sc_UserValue(HWND hWnd, LONG_PTR value) {
  if (GuardedRecord* record = zMap_hWnd(hWnd)) record->m_userValue = value;
}

GuardedRecord* GuardedHook::zMap_hWnd(HWND hWnd) {
  if (!m_registry) {
    zReportError(L"zMap_hWnd", kNotStarted);
    return nullptr;
  }
  if (GuardedRecord* record = FindRecord(hWnd)) return record;
  zReportError(L"zMap_hWnd", kNotSubclassed);
  return nullptr;
}

GuardedRecord* GuardedHook::FindRecord(HWND hWnd) const {
  if (!m_registry) return nullptr;
  const std::wstring key = KeyOf(hWnd);
  for (const RegistryEntry& e : *m_registry) {
    if (e.key == key) return e.record;
  }
  return nullptr;
}

void GuardedHook::zAddMsg(UINT uMsg, MessageTable& table) {
  switch (AddMessage(table, uMsg)) {
    case TableEdit::kOverflow: zReportError(L"zAddMsg", kTableOverflow); break;
    case TableEdit::kInvalid: zReportError(L"zAddMsg", kInvalidMessage); break;
    default: break;
  }
}

void GuardedHook::zDelMsg(UINT uMsg, MessageTable& table) {
  if (DeleteMessage(table, uMsg) == TableEdit::kNotFound) {
    zReportError(L"zDelMsg", MessageNotFoundText(uMsg));
  }
}

void GuardedHook::zReportError(std::wstring_view routine, std::wstring_view message) const {
  DeliverErrorReport(ComposeErrorReport(m_className, routine, message));
}

void GuardedHook::Forget(const GuardedRecord* record) {
  if (!m_registry) return;
  std::erase_if(*m_registry, [record](const RegistryEntry& e) { return e.record == record; });
}

}  // namespace fw
