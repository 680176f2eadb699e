#include "tests/host/AccessibleRead.h"

#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

#include "host/Control.h"
#include "host/WideText.h"

namespace fw::test {

namespace {

// Asking another process needs COM on the asking thread; once is enough.
void EnsureCom() {
  static const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  (void)initialised;
}

struct Released {
  void operator()(IUnknown* p) const {
    if (p) p->Release();
  }
};

VARIANT Child(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::u16string Name(IAccessible* acc, long id) {
  BSTR name = nullptr;
  std::u16string out;
  if (acc->get_accName(Child(id), &name) == S_OK && name) {
    out = FromWide(std::wstring(name, SysStringLen(name)));
  }
  SysFreeString(name);
  return out;
}

std::u16string Text(IAccessible* acc, long id, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
  BSTR text = nullptr;
  std::u16string out;
  if ((acc->*get)(Child(id), &text) == S_OK && text) {
    out = FromWide(std::wstring(text, SysStringLen(text)));
  }
  SysFreeString(text);
  return out;
}

std::unique_ptr<IAccessible, Released> ClientObject(HWND hwnd) {
  EnsureCom();
  IAccessible* raw = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible), reinterpret_cast<void**>(&raw)))) {
    raw = nullptr;
  }
  return std::unique_ptr<IAccessible, Released>(raw);
}

void ReadMore(IAccessible* acc, long id, AccessiblePart& part) {
  part.value = Text(acc, id, &IAccessible::get_accValue);
  part.shortcut = Text(acc, id, &IAccessible::get_accKeyboardShortcut);
  part.description = Text(acc, id, &IAccessible::get_accDescription);
  part.defaultAction = Text(acc, id, &IAccessible::get_accDefaultAction);
}

long Number(IAccessible* acc, long id, bool role) {
  VARIANT v;
  VariantInit(&v);
  const HRESULT hr = role ? acc->get_accRole(Child(id), &v) : acc->get_accState(Child(id), &v);
  const long n = SUCCEEDED(hr) && v.vt == VT_I4 ? v.lVal : 0;
  VariantClear(&v);
  return n;
}

}  // namespace

std::vector<AccessiblePart> AccessibleParts(HWND hwnd) {
  EnsureCom();
  std::vector<AccessiblePart> parts;
  IAccessible* raw = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible), reinterpret_cast<void**>(&raw))) ||
      !raw) {
    return parts;
  }
  std::unique_ptr<IAccessible, Released> acc(raw);
  long count = 0;
  if (FAILED(acc->get_accChildCount(&count))) return parts;
  for (long id = 1; id <= count; ++id) {
    IDispatch* window = nullptr;
    const HRESULT hr = acc->get_accChild(Child(id), &window);
    if (window) {
      window->Release();  // a child window: an object of its own
      continue;
    }
    if (FAILED(hr)) continue;
    AccessiblePart part;
    part.childId = id;
    part.role = Number(acc.get(), id, true);
    part.state = Number(acc.get(), id, false);
    part.name = Name(acc.get(), id);
    ReadMore(acc.get(), id, part);
    long x = 0, y = 0, w = 0, h = 0;
    if (SUCCEEDED(acc->accLocation(&x, &y, &w, &h, Child(id)))) part.location = RECT{x, y, x + w, y + h};
    parts.push_back(std::move(part));
  }
  return parts;
}

AccessiblePart AccessibleSelf(HWND hwnd) {
  EnsureCom();
  AccessiblePart self;
  IAccessible* raw = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible), reinterpret_cast<void**>(&raw))) ||
      !raw) {
    return self;
  }
  std::unique_ptr<IAccessible, Released> acc(raw);
  self.role = Number(acc.get(), CHILDID_SELF, true);
  self.state = Number(acc.get(), CHILDID_SELF, false);
  self.name = Name(acc.get(), CHILDID_SELF);
  ReadMore(acc.get(), CHILDID_SELF, self);
  long x = 0, y = 0, w = 0, h = 0;
  if (SUCCEEDED(acc->accLocation(&x, &y, &w, &h, Child(CHILDID_SELF)))) self.location = RECT{x, y, x + w, y + h};
  return self;
}

bool AccessibleDefaultAction(HWND hwnd, long childId) {
  EnsureCom();
  IAccessible* raw = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible), reinterpret_cast<void**>(&raw))) ||
      !raw) {
    return false;
  }
  std::unique_ptr<IAccessible, Released> acc(raw);
  return acc->accDoDefaultAction(Child(childId)) == S_OK;
}

bool AccessibleSetValue(HWND hwnd, long childId, std::u16string_view value) {
  auto acc = ClientObject(hwnd);
  if (!acc) return false;
  const std::wstring wide = ToWide(value);
  BSTR text = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  const HRESULT hr = acc->put_accValue(Child(childId), text);
  SysFreeString(text);
  return hr == S_OK;
}

bool AccessibleSelect(HWND hwnd, long childId, long flags) {
  auto acc = ClientObject(hwnd);
  return acc && acc->accSelect(flags, Child(childId)) == S_OK;
}

std::vector<long> AccessibleSelection(HWND hwnd) {
  std::vector<long> ids;
  auto acc = ClientObject(hwnd);
  VARIANT v;
  VariantInit(&v);
  if (!acc || acc->get_accSelection(&v) != S_OK) return ids;
  if (v.vt == VT_I4) {
    ids.push_back(v.lVal);
  } else if (v.vt == VT_UNKNOWN && v.punkVal) {
    IEnumVARIANT* list = nullptr;
    if (SUCCEEDED(v.punkVal->QueryInterface(__uuidof(IEnumVARIANT), reinterpret_cast<void**>(&list)))) {
      VARIANT item;
      VariantInit(&item);
      ULONG got = 0;
      while (list->Next(1, &item, &got) == S_OK && got == 1) {
        if (item.vt == VT_I4) ids.push_back(item.lVal);
        VariantClear(&item);
      }
      list->Release();
    }
  }
  VariantClear(&v);
  return ids;
}

Navigated AccessibleNavigate(HWND hwnd, long start, long dir) {
  Navigated to;
  auto acc = ClientObject(hwnd);
  VARIANT v;
  VariantInit(&v);
  if (!acc || acc->accNavigate(dir, Child(start), &v) != S_OK) return to;
  if (v.vt == VT_I4) {
    to.childId = v.lVal;
  } else if (v.vt == VT_DISPATCH && v.pdispVal) {
    IAccessible* object = nullptr;
    if (SUCCEEDED(v.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&object)))) {
      WindowFromAccessibleObject(object, &to.window);
      object->Release();
    }
    to.childId = 0;
  }
  VariantClear(&v);
  return to;
}

std::vector<HWND> AccessibleChildWindows(HWND hwnd) {
  std::vector<HWND> windows;
  auto acc = ClientObject(hwnd);
  long count = 0;
  if (!acc || FAILED(acc->get_accChildCount(&count))) return windows;
  for (long id = 1; id <= count; ++id) {
    IDispatch* child = nullptr;
    if (acc->get_accChild(Child(id), &child) != S_OK || !child) continue;
    HWND window = nullptr;
    IAccessible* object = nullptr;
    if (SUCCEEDED(child->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&object)))) {
      WindowFromAccessibleObject(object, &window);
      object->Release();
    }
    child->Release();
    windows.push_back(window);
  }
  return windows;
}

namespace {
WinEventRecorder* g_recorder = nullptr;
}

std::string Describe(const WinEvent& e) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "{0x%lX %p %ld %ld}", static_cast<unsigned long>(e.event),
                static_cast<void*>(e.hwnd), e.object, e.child);
  return buf;
}

WinEventRecorder::WinEventRecorder(std::vector<HWND> windows, DWORD first, DWORD last)
    : m_windows(std::move(windows)) {
  g_recorder = this;
  m_hook = SetWinEventHook(first, last, nullptr, &WinEventRecorder::Heard, GetCurrentProcessId(), 0,
                           WINEVENT_OUTOFCONTEXT);
}

WinEventRecorder::~WinEventRecorder() {
  if (m_hook) UnhookWinEvent(m_hook);
  g_recorder = nullptr;
}

std::vector<WinEvent> WinEventRecorder::Take() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return std::exchange(m_heard, {});
}

void CALLBACK WinEventRecorder::Heard(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child,
                                      DWORD, DWORD) {
  WinEventRecorder* r = g_recorder;
  if (!r || std::find(r->m_windows.begin(), r->m_windows.end(), hwnd) == r->m_windows.end()) return;
  r->m_heard.push_back({event, hwnd, object, child});
}

std::vector<std::u16string> AccessibleTexts(HWND window) {
  std::vector<HWND> windows{window};
  EnumChildWindows(
      window,
      [](HWND hwnd, LPARAM l) -> BOOL {
        if (IsWindowVisible(hwnd)) reinterpret_cast<std::vector<HWND>*>(l)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  std::vector<std::u16string> texts;
  for (HWND hwnd : windows) {
    for (const AccessiblePart& part : AccessibleParts(hwnd)) {
      if (part.role == ROLE_SYSTEM_STATICTEXT && !(part.state & STATE_SYSTEM_INVISIBLE)) {
        texts.push_back(part.value.empty() ? part.name : part.name + u" " + part.value);
      }
    }
  }
  return texts;
}

std::u16string AccessibleName(const Control& control) {
  RECT at = control.PixelRect();
  MapWindowPoints(control.ContainerHwnd(), nullptr, reinterpret_cast<POINT*>(&at), 2);
  for (const AccessiblePart& part : AccessibleParts(control.ContainerHwnd())) {
    if (EqualRect(&part.location, &at)) return part.name;
  }
  return u"<none>";
}

}  // namespace fw::test
