#include "tests/host/AccessibleRead.h"

#include <oleacc.h>

#include <memory>

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
        texts.push_back(part.name);
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
