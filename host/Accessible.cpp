#include "host/Accessible.h"

#include <oleacc.h>
#include <oleauto.h>

#include <commctrl.h>

#include <atomic>
#include <climits>
#include <vector>

#include "host/Gdi.h"
#include "host/WideText.h"

namespace fw {

namespace {

using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using AccessibleObjectFromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);

struct OleaccApi {
  LresultFromObjectFn lresultFromObject = nullptr;
  CreateStdAccessibleObjectFn createStd = nullptr;
  AccessibleObjectFromWindowFn fromWindow = nullptr;
};

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const OleaccApi& Oleacc() {
  static const OleaccApi api = [] {
    OleaccApi a;
    // Kept loaded for the rest of the process: the objects handed out to tools
    // are marshalled through it.
    HMODULE module = LoadLibraryW(L"oleacc.dll");
    if (!module) return a;
    a.lresultFromObject = Lookup<LresultFromObjectFn>(module, "LresultFromObject");
    a.createStd = Lookup<CreateStdAccessibleObjectFn>(module, "CreateStdAccessibleObject");
    a.fromWindow = Lookup<AccessibleObjectFromWindowFn>(module, "AccessibleObjectFromWindow");
    return a;
  }();
  return api;
}

HRESULT ToBstr(const std::optional<std::u16string>& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!text || text->empty()) return S_FALSE;
  const std::wstring wide = ToWide(*text);
  *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

// UI Automation's LiveSetting property and the property services' class, spelt
// out here: the import library's GUIDs are data imports, which a static link
// resolves to wrong addresses.
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr GUID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};

// Where `to` lies from `from` in direction `dir` (NAVDIR_LEFT .. NAVDIR_DOWN):
// a distance to rank neighbours by, or LONG_MAX when it does not lie that way
// (its centre not beyond `from`'s edge). Off the straight line counts double,
// so the neighbour in the same row or column wins over a nearer one beside it.
long DirectionalDistance(const RECT& from, const RECT& to, long dir) {
  const long fx = (from.left + from.right) / 2, fy = (from.top + from.bottom) / 2;
  const long tx = (to.left + to.right) / 2, ty = (to.top + to.bottom) / 2;
  long along = 0, across = 0;
  switch (dir) {
    case NAVDIR_LEFT: along = from.left - tx; across = ty - fy; break;
    case NAVDIR_RIGHT: along = tx - from.right; across = ty - fy; break;
    case NAVDIR_UP: along = from.top - ty; across = tx - fx; break;
    case NAVDIR_DOWN: along = ty - from.bottom; across = tx - fx; break;
    default: return LONG_MAX;
  }
  if (along < 0) return LONG_MAX;
  return along + 2 * (across < 0 ? -across : across);
}

HRESULT ToI4(long value, VARIANT* out) {
  if (!out) return E_POINTER;
  VariantInit(out);
  out->vt = VT_I4;
  out->lVal = value;
  return S_OK;
}

// The selection of several parts, as get_accSelection hands it out.
class ChildIdList final : public IEnumVARIANT {
 public:
  explicit ChildIdList(std::vector<VARIANT> ids, size_t at = 0) : m_ids(std::move(ids)), m_at(at) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != __uuidof(IUnknown) && iid != __uuidof(IEnumVARIANT)) return E_NOINTERFACE;
    *out = static_cast<IEnumVARIANT*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refs); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --m_refs;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG n, VARIANT* out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG k = 0;
    for (; k < n && m_at < m_ids.size(); ++k, ++m_at) {
      VariantInit(&out[k]);
      VariantCopy(&out[k], &m_ids[m_at]);
    }
    if (fetched) *fetched = k;
    return k == n ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG n) override {
    m_at = std::min(m_ids.size(), m_at + n);
    return m_at < m_ids.size() ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    m_at = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
    if (!out) return E_POINTER;
    *out = new ChildIdList(m_ids, m_at);
    return S_OK;
  }

 private:
  std::atomic<long> m_refs{1};
  std::vector<VARIANT> m_ids;  // VT_I4 only: nothing to clear
  size_t m_at;
};

// One object handed to a tool. It holds the window and a weak link to its
// source; every answer is read from the source when asked.
class AccessibleObject final : public IAccessible, public IOleWindow {
 public:
  AccessibleObject(std::shared_ptr<AccessibleSource*> anchor, HWND hwnd)
      : m_anchor(std::move(anchor)), m_hwnd(hwnd) {}

  // -- IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
    } else if (iid == __uuidof(IOleWindow)) {
      *out = static_cast<IOleWindow*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refs); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --m_refs;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // -- IOleWindow (WindowFromAccessibleObject asks it)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
    if (!out) return E_POINTER;
    *out = m_hwnd;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // -- IDispatch: tools use the interface's own methods
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // -- IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
    if (!Live()) return CO_E_OBJNOTCONNECTED;
    IAccessible* std = Standard();
    return std ? std->get_accParent(out) : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* out) override {
    if (!out) return E_POINTER;
    if (!Live()) return CO_E_OBJNOTCONNECTED;
    *out = static_cast<long>(Source().PartCount() + ChildWindows().size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!Live()) return CO_E_OBJNOTCONNECTED;
    const Target t = Resolve(child);
    switch (t.kind) {
      case Kind::Part: return S_FALSE;  // a simple element: its parent answers for it
      case Kind::Window: {
        const auto& api = Oleacc();
        if (!api.fromWindow) return E_FAIL;
        return api.fromWindow(t.window, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                              reinterpret_cast<void**>(out));
      }
      default: return E_INVALIDARG;
    }
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
    return Text(child, out, &AccessibleItem::name, &IAccessible::get_accName);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
    return Text(child, out, &AccessibleItem::value, &IAccessible::get_accValue);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
    return Text(child, out, &AccessibleItem::description, &IAccessible::get_accDescription);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
    return Text(child, out, &AccessibleItem::defaultAction, &IAccessible::get_accDefaultAction);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
    return Number(child, out, &AccessibleItem::role, &IAccessible::get_accRole);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
    return Number(child, out, &AccessibleItem::state, &IAccessible::get_accState);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
    return Delegated(child, [&](IAccessible* a, VARIANT v) { return a->get_accHelp(v, out); },
                     [&] { return ToBstr(std::nullopt, out); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return Delegated(
        child, [&](IAccessible* a, VARIANT v) { return a->get_accHelpTopic(file, v, topic); },
        [&] { return ToBstr(std::nullopt, file); });
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
    return Text(child, out, &AccessibleItem::keyboardShortcut,
                &IAccessible::get_accKeyboardShortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
    if (!Live()) return CO_E_OBJNOTCONNECTED;
    IAccessible* std = Standard();
    return std ? std->get_accFocus(out) : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    if (!Live()) return CO_E_OBJNOTCONNECTED;
    const std::vector<int> selected = Source().SelectedParts();
    if (selected.size() == 1) return ToI4(selected.front() + 1, out);
    if (selected.size() > 1) {
      // Several: the platform's enumerator of child ids.
      std::vector<VARIANT> ids(selected.size());
      for (size_t i = 0; i < selected.size(); ++i) ToI4(selected[i] + 1, &ids[i]);
      IEnumVARIANT* list = MakeEnum(ids);
      if (!list) return E_OUTOFMEMORY;
      out->vt = VT_UNKNOWN;
      out->punkVal = list;
      return S_OK;
    }
    IAccessible* std = Standard();
    return std ? std->get_accSelection(out) : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    if (!Live()) return CO_E_OBJNOTCONNECTED;
    const Target t = Resolve(child);
    if (t.kind == Kind::Self || t.kind == Kind::Part) {
      return Source().Select(t.part, flags) ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
    if (t.kind != Kind::Window) return E_INVALIDARG;
    // A child window answers for itself through its client object (the
    // platform's window object takes no selection); a platform window that
    // does not, still takes the focus.
    IAccessible* client = nullptr;
    if (SUCCEEDED(AccessibleFromWindow(t.window, OBJID_CLIENT, &client)) && client) {
      com_ptr<IAccessible> own = com_ptr<IAccessible>::attach(client);
      VARIANT self;
      VariantInit(&self);
      self.vt = VT_I4;
      self.lVal = CHILDID_SELF;
      if (own->accSelect(flags, self) == S_OK) return S_OK;
    }
    if (flags != SELFLAG_TAKEFOCUS || !IsWindowVisible(t.window) || !IsWindowEnabled(t.window)) {
      return DISP_E_MEMBERNOTFOUND;
    }
    ::SetFocus(t.window);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    if (!Live()) return CO_E_OBJNOTCONNECTED;
    const Target t = Resolve(child);
    std::optional<RECT> rc;
    if (t.kind == Kind::Self || t.kind == Kind::Part) rc = Describe(t).location;
    if (!rc) {
      return Delegated(child, [&](IAccessible* a, VARIANT v) {
        return a->accLocation(left, top, width, height, v);
      }, [] { return S_FALSE; });
    }
    *left = rc->left;
    *top = rc->top;
    *width = rc->right - rc->left;
    *height = rc->bottom - rc->top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    if (!Live()) return CO_E_OBJNOTCONNECTED;
    const Target t = Resolve(start);
    if (t.kind == Kind::Invalid) return E_INVALIDARG;
    const long count = static_cast<long>(Source().PartCount() + ChildWindows().size());
    long id = -1;
    if (t.kind == Kind::Self && (dir == NAVDIR_FIRSTCHILD || dir == NAVDIR_LASTCHILD)) {
      id = count == 0 ? -1 : dir == NAVDIR_FIRSTCHILD ? 1 : count;
    } else if (t.kind != Kind::Self && (dir == NAVDIR_NEXT || dir == NAVDIR_PREVIOUS)) {
      id = t.id + (dir == NAVDIR_NEXT ? 1 : -1);
      if (id < 1 || id > count) id = -1;
    } else if (t.kind == Kind::Self) {
      IAccessible* std = Standard();
      return std ? std->accNavigate(dir, start, out) : S_FALSE;
    } else {
      id = Neighbour(t.id, dir);
    }
    if (id < 0) return S_FALSE;
    return AsChild(id, out);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    if (!Live()) return CO_E_OBJNOTCONNECTED;
    POINT pt{x, y};
    RECT client{};
    GetClientRect(m_hwnd, &client);
    ScreenToClient(m_hwnd, &pt);
    if (!PtInRect(&client, pt)) return S_FALSE;
    HWND below = ChildWindowFromPointEx(m_hwnd, pt, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (below && below != m_hwnd && Source().ListsChildWindows()) {
      const std::vector<HWND> windows = ChildWindows();
      for (size_t i = 0; i < windows.size(); ++i) {
        if (windows[i] == below) return AsChild(Source().PartCount() + static_cast<long>(i) + 1, out);
      }
    }
    // The parts are listed bottom first: the last one under the point is on top.
    const POINT screen{x, y};
    for (int part = Source().PartCount() - 1; part >= 0; --part) {
      AccessibleItem item;
      Source().DescribePart(part, item);
      if (item.state && (*item.state & STATE_SYSTEM_INVISIBLE)) continue;
      if (item.location && PtInRect(&*item.location, screen)) return ToI4(part + 1, out);
    }
    return ToI4(CHILDID_SELF, out);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (!Live()) return CO_E_OBJNOTCONNECTED;
    const Target t = Resolve(child);
    if (t.kind == Kind::Part) {
      return Source().DoDefaultAction(t.part) ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
    if (t.kind == Kind::Self && Source().DoDefaultAction(-1)) return S_OK;
    return Delegated(child, [](IAccessible* a, VARIANT v) { return a->accDoDefaultAction(v); },
                     [] { return DISP_E_MEMBERNOTFOUND; });
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    if (!Live()) return CO_E_OBJNOTCONNECTED;
    const Target t = Resolve(child);
    if (t.kind == Kind::Self || t.kind == Kind::Part) {
      const std::u16string text = value ? FromWide(std::wstring_view(value, SysStringLen(value)))
                                        : std::u16string();
      return Source().SetValue(t.part, text) ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
    return Delegated(child, [&](IAccessible* a, VARIANT v) { return a->put_accValue(v, value); },
                     [] { return DISP_E_MEMBERNOTFOUND; });
  }

 private:
  enum class Kind { Self, Part, Window, Invalid };
  struct Target {
    Kind kind = Kind::Invalid;
    long id = 0;
    int part = -1;
    HWND window = nullptr;
  };

  bool Live() const { return *m_anchor != nullptr && IsWindow(m_hwnd); }
  AccessibleSource& Source() const { return **m_anchor; }

  std::vector<HWND> ChildWindows() const {
    if (!Source().ListsChildWindows()) return {};
    return Source().ChildWindows();
  }

  Target Resolve(const VARIANT& v) const {
    Target t;
    if (v.vt != VT_I4) return t;
    t.id = v.lVal;
    const int parts = Source().PartCount();
    if (t.id == CHILDID_SELF) {
      t.kind = Kind::Self;
    } else if (t.id >= 1 && t.id <= parts) {
      t.kind = Kind::Part;
      t.part = static_cast<int>(t.id - 1);
    } else if (t.id > parts) {
      const std::vector<HWND> windows = ChildWindows();
      const size_t i = static_cast<size_t>(t.id - parts - 1);
      if (i < windows.size()) {
        t.kind = Kind::Window;
        t.window = windows[i];
      }
    }
    return t;
  }

  AccessibleItem Describe(const Target& t) const {
    AccessibleItem item;
    if (t.kind == Kind::Self) Source().DescribeSelf(item);
    else if (t.kind == Kind::Part) Source().DescribePart(t.part, item);
    return item;
  }

  // The place of child `id` on the screen, if it is shown.
  std::optional<RECT> PlaceOf(long id) const {
    const int parts = Source().PartCount();
    if (id >= 1 && id <= parts) {
      AccessibleItem item;
      Source().DescribePart(static_cast<int>(id - 1), item);
      if (item.state && (*item.state & STATE_SYSTEM_INVISIBLE)) return std::nullopt;
      return item.location;
    }
    const std::vector<HWND> windows = ChildWindows();
    const size_t i = static_cast<size_t>(id - parts - 1);
    if (id <= parts || i >= windows.size() || !IsWindowVisible(windows[i])) return std::nullopt;
    RECT rc{};
    GetWindowRect(windows[i], &rc);
    return rc;
  }

  // The child nearest to child `from` in direction `dir` on the screen, -1
  // when none lies that way.
  long Neighbour(long from, long dir) const {
    const std::optional<RECT> start = PlaceOf(from);
    if (!start) return -1;
    const long count = static_cast<long>(Source().PartCount() + ChildWindows().size());
    long best = -1, bestDistance = LONG_MAX;
    for (long id = 1; id <= count; ++id) {
      if (id == from) continue;
      const std::optional<RECT> place = PlaceOf(id);
      if (!place || place->right <= place->left || place->bottom <= place->top) continue;
      const long d = DirectionalDistance(*start, *place, dir);
      if (d < bestDistance) {
        bestDistance = d;
        best = id;
      }
    }
    return best;
  }

  // An enumerator over `ids` (which it takes), made by the platform's
  // standard object of a list (CreateStdAccessibleObject gives none of its
  // own): a small one of ours.
  static IEnumVARIANT* MakeEnum(std::vector<VARIANT> ids);

  HRESULT AsChild(long id, VARIANT* out) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    IDispatch* window = nullptr;
    if (get_accChild(v, &window) == S_OK && window) {
      out->vt = VT_DISPATCH;
      out->pdispVal = window;
      return S_OK;
    }
    return ToI4(id, out);
  }

  // The platform's standard object for the window itself, made on first use.
  IAccessible* Standard() {
    if (!m_std) {
      IAccessible* std = nullptr;
      if (SUCCEEDED(StandardAccessible(m_hwnd, OBJID_CLIENT, &std)) && std) {
        m_std = com_ptr<IAccessible>::attach(std);
      }
    }
    return m_std ? m_std.get() : nullptr;
  }

  // Asks the one who knows: the standard object for the window itself, a child
  // window's own object for a child window; `none` answers for a part.
  template <typename Ask, typename None>
  HRESULT Delegated(VARIANT child, Ask ask, None none) {
    if (!Live()) return CO_E_OBJNOTCONNECTED;
    const Target t = Resolve(child);
    switch (t.kind) {
      case Kind::Self: {
        IAccessible* std = Standard();
        return std ? ask(std, child) : E_FAIL;
      }
      case Kind::Part: return none();
      case Kind::Window: {
        IAccessible* window = nullptr;
        if (FAILED(AccessibleFromWindow(t.window, OBJID_WINDOW, &window)) || !window) return E_FAIL;
        com_ptr<IAccessible> own = com_ptr<IAccessible>::attach(window);
        VARIANT self;
        VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        return ask(own.get(), self);
      }
      default: return E_INVALIDARG;
    }
  }

  template <typename Getter>
  HRESULT Text(VARIANT child, BSTR* out, std::optional<std::u16string> AccessibleItem::*field,
               Getter getter) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!Live()) return CO_E_OBJNOTCONNECTED;
    const Target t = Resolve(child);
    if (t.kind == Kind::Part) return ToBstr(Describe(t).*field, out);
    if (t.kind == Kind::Self) {
      const AccessibleItem self = Describe(t);
      if (self.*field) return ToBstr(self.*field, out);
    }
    return Delegated(child, [&](IAccessible* a, VARIANT v) { return (a->*getter)(v, out); },
                     [] { return S_FALSE; });
  }

  template <typename Getter>
  HRESULT Number(VARIANT child, VARIANT* out, std::optional<long> AccessibleItem::*field,
                 Getter getter) {
    if (!out) return E_POINTER;
    VariantInit(out);
    if (!Live()) return CO_E_OBJNOTCONNECTED;
    const Target t = Resolve(child);
    if (t.kind == Kind::Part) return ToI4((Describe(t).*field).value_or(0), out);
    if (t.kind == Kind::Self) {
      const AccessibleItem self = Describe(t);
      if (self.*field) return ToI4(*(self.*field), out);
    }
    return Delegated(child, [&](IAccessible* a, VARIANT v) { return (a->*getter)(v, out); },
                     [] { return S_FALSE; });
  }

  std::atomic<long> m_refs{1};
  std::shared_ptr<AccessibleSource*> m_anchor;
  HWND m_hwnd;
  com_ptr<IAccessible> m_std;
};

IEnumVARIANT* AccessibleObject::MakeEnum(std::vector<VARIANT> ids) {
  return new ChildIdList(std::move(ids));
}

constexpr UINT_PTR kForeignSubclassId = 0x46574143;  // "FWAC"

}  // namespace

bool AccessibleSource::Select(int part, long flags) {
  if (part != -1 || !(flags & SELFLAG_TAKEFOCUS)) return false;
  HWND hwnd = AccessibleWindow();
  if (!hwnd || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return false;
  ::SetFocus(hwnd);
  return GetFocus() == hwnd || IsChild(hwnd, GetFocus());
}

ForeignAccessibleSource::~ForeignAccessibleSource() { Stop(); }

bool ForeignAccessibleSource::AnswerFor(HWND hwnd) {
  if (hwnd == m_hwnd) return hwnd != nullptr;
  Stop();
  if (!hwnd || !SetWindowSubclass(hwnd, &ForeignAccessibleSource::SubclassProc, kForeignSubclassId,
                                  reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  m_hwnd = hwnd;
  return true;
}

void ForeignAccessibleSource::Stop() {
  if (m_hwnd && IsWindow(m_hwnd)) {
    RemoveWindowSubclass(m_hwnd, &ForeignAccessibleSource::SubclassProc, kForeignSubclassId);
  }
  m_hwnd = nullptr;
}

LRESULT CALLBACK ForeignAccessibleSource::SubclassProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l,
                                                       UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<ForeignAccessibleSource*>(data);
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &ForeignAccessibleSource::SubclassProc, kForeignSubclassId);
    if (self->m_hwnd == hwnd) self->m_hwnd = nullptr;
  } else if (msg == WM_GETOBJECT) {
    if (const LRESULT r = self->AnswerGetObject(w, l)) return r;
  }
  return DefSubclassProc(hwnd, msg, w, l);
}

HRESULT SetLiveSetting(HWND hwnd, long childId, LiveSetting setting) {
  IAccPropServices* raw = nullptr;
  HRESULT hr = CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                kAccPropServicesInterface, reinterpret_cast<void**>(&raw));
  if (FAILED(hr) || !raw) return FAILED(hr) ? hr : E_FAIL;
  com_ptr<IAccPropServices> services = com_ptr<IAccPropServices>::attach(raw);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = static_cast<long>(setting);
  return services->SetHwndProp(hwnd, static_cast<DWORD>(OBJID_CLIENT), static_cast<DWORD>(childId),
                               kLiveSettingProperty, v);
}

void NotifyLiveRegionChanged(HWND hwnd, long childId) {
  if (hwnd) NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, hwnd, OBJID_CLIENT, childId);
}

AccessibleSource::~AccessibleSource() {
  if (m_anchor) *m_anchor = nullptr;
}

HRESULT AccessibleSource::CreateObject(IAccessible** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  HWND hwnd = AccessibleWindow();
  if (!hwnd) return E_FAIL;
  if (!m_anchor) m_anchor = std::make_shared<AccessibleSource*>(this);
  *out = new AccessibleObject(m_anchor, hwnd);
  return S_OK;
}

LRESULT AccessibleSource::AnswerGetObject(WPARAM w, LPARAM l) {
  if (static_cast<DWORD>(l) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
  const auto& api = Oleacc();
  if (!api.lresultFromObject) return 0;
  IAccessible* object = nullptr;
  if (FAILED(CreateObject(&object))) return 0;
  const LRESULT r = api.lresultFromObject(__uuidof(IAccessible), w, object);
  object->Release();  // the answer holds its own reference
  return r > 0 ? r : 0;
}

void AccessibleSource::NotifyPartNameChanged(int part) const {
  NotifyEvent(EVENT_OBJECT_NAMECHANGE, part);
}

void AccessibleSource::NotifyEvent(DWORD event, int part) const {
  if (HWND hwnd = AccessibleWindow()) NotifyWinEvent(event, hwnd, OBJID_CLIENT, part + 1);
}

std::vector<HWND> AccessibleSource::ChildWindows() const {
  std::vector<HWND> windows;
  HWND self = AccessibleWindow();
  for (HWND h = self ? ::GetWindow(self, GW_CHILD) : nullptr; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    windows.push_back(h);
  }
  return windows;
}

HRESULT StandardAccessible(HWND hwnd, LONG objectId, IAccessible** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  const auto& api = Oleacc();
  if (!api.createStd) return E_FAIL;
  return api.createStd(hwnd, objectId, __uuidof(IAccessible), reinterpret_cast<void**>(out));
}

HRESULT AccessibleFromWindow(HWND hwnd, LONG objectId, IAccessible** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  const auto& api = Oleacc();
  if (!api.fromWindow) return E_FAIL;
  return api.fromWindow(hwnd, static_cast<DWORD>(objectId), __uuidof(IAccessible),
                        reinterpret_cast<void**>(out));
}

}  // namespace fw
