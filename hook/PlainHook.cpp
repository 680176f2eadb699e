#include "hook/PlainHook.h"

#include <memory>

#include "hook/HookChain.h"

namespace fw {

class PlainRecord final : public hook_detail::HookLayer {
 public:
  PlainRecord(PlainHook* owner, PlainHook::SubclassProc callback)
      : m_owner(owner), m_callback(std::move(callback)) {}

  PlainHook* m_owner;
  PlainHook::SubclassProc m_callback;
  MessageList m_before;
  MessageList m_after;

 protected:
  LRESULT OnMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    LRESULT lReturn = 0;
    bool bHandled = false;
    // The after list is asked about the message as the before call left it: that is
    // the message the previous procedure ran.
    if (WantsMessage(m_before, uMsg)) Call(true, bHandled, lReturn, hWnd, uMsg, wParam, lParam);
    if (bHandled) return lReturn;
    lReturn = CallPrevious(hWnd, uMsg, wParam, lParam);
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
  void Call(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hWnd, UINT& uMsg, WPARAM& wParam,
            LPARAM& lParam) {
    try {
      m_callback(bBefore, bHandled, lReturn, hWnd, uMsg, wParam, lParam);
    } catch (...) {
      if (bBefore) bHandled = false;
    }
  }
};

PlainHook::PlainHook(SubclassProc zSubclass_Proc) : m_zSubclass_Proc(std::move(zSubclass_Proc)) {}

PlainHook::~PlainHook() { HookStopAll(); }

int PlainHook::HookStart(HWND hWnd) {
  // An entry of a window that died unseen must not be taken for this one.
  hook_detail::ReleaseDeadWindows(hWnd);
  if (const int existing = Find(hWnd); existing >= 0) return existing;
  if (hWnd == nullptr || !IsWindow(hWnd)) return -1;
  auto record = std::make_unique<PlainRecord>(this, m_zSubclass_Proc);
  PlainRecord* raw = record.get();
  hook_detail::AttachError error;
  if (hook_detail::AttachLayer(hWnd, std::move(record), error) == nullptr) return -1;

  int index = -1;
  for (int i = static_cast<int>(m_entries.size()); i-- > 0;) {
    if (m_entries[i].hWnd == nullptr) {
      index = i;
      break;
    }
  }
  if (index < 0) {
    m_entries.emplace_back();
    index = static_cast<int>(m_entries.size()) - 1;
  }
  m_entries[index] = {hWnd, raw};
  return index;
}

void PlainHook::HookStop(HWND hWnd) {
  const int index = Find(hWnd);
  if (index < 0) return;
  PlainRecord* record = m_entries[index].record;
  m_entries[index] = {};
  DeleteMessage(record->m_before, ALL_MESSAGES);
  DeleteMessage(record->m_after, ALL_MESSAGES);
  record->m_owner = nullptr;
  record->Detach();  // may destroy the record
}

void PlainHook::HookStopAll() {
  for (int i = static_cast<int>(m_entries.size()); i-- > 0;) {
    if (m_entries[i].hWnd != nullptr) HookStop(m_entries[i].hWnd);
  }
}

void PlainHook::HookAddMsg(HWND hWnd, UINT uMsg, HookWhen when) {
  const int index = Find(hWnd);
  if (index < 0) return;
  PlainRecord* record = m_entries[index].record;
  if (Selects(when, HookWhen::kBefore)) AddMessage(record->m_before, uMsg);
  if (Selects(when, HookWhen::kAfter)) AddMessage(record->m_after, uMsg);
}

void PlainHook::HookDelMsg(HWND hWnd, UINT uMsg, HookWhen when) {
  const int index = Find(hWnd);
  if (index < 0) return;
  PlainRecord* record = m_entries[index].record;
  if (Selects(when, HookWhen::kBefore)) DeleteMessage(record->m_before, uMsg);
  if (Selects(when, HookWhen::kAfter)) DeleteMessage(record->m_after, uMsg);
}

std::size_t PlainHook::ActiveCount() const {
  std::size_t n = 0;
  for (const Entry& e : m_entries) n += e.hWnd != nullptr ? 1 : 0;
  return n;
}

int PlainHook::Find(HWND hWnd) const {
  if (hWnd == nullptr) return -1;
  for (int i = static_cast<int>(m_entries.size()); i-- > 0;) {
    if (m_entries[i].hWnd == hWnd) return i;
  }
  return -1;
}

void PlainHook::Forget(const PlainRecord* record) {
  for (Entry& e : m_entries) {
    if (e.record == record) e = {};
  }
}

}  // namespace fw
