#include "hook/HookChain.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

namespace fw::hook_detail {
namespace {

// Marks a window as the one a stack was made for. A handle value outlives its
// window and may be given to a new one; a stack whose window no longer carries the
// mark belongs to a dead window (one whose last messages never came through us,
// because other code put an older procedure back over ours).
constexpr wchar_t kChainMark[] = L"Fuelwise.HookChain";

std::size_t g_liveLayers = 0;
std::size_t g_liveChains = 0;

// When the stacks of other windows are checked next: after as many new hooks as
// there were stacks at the last check, so that a check of every stack costs no
// more, on average, than checking one stack per hook.
std::atomic<std::size_t> g_hooksSinceCheck{0};
std::atomic<std::size_t> g_stacksAtCheck{0};

// Window -> its stack. A map rather than a window property: every message looks its
// stack up, and a property read is a round trip to the window server on some systems
// (under Wine it made a hooked message 30 times dearer). The lock only guards the
// map; a stack itself is used on its window's thread alone.
class ChainMap {
 public:
  HookChain* Find(HWND hWnd) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_map.find(hWnd);
    return it != m_map.end() ? it->second : nullptr;
  }
  std::vector<HookChain*> All() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<HookChain*> all;
    all.reserve(m_map.size());
    for (const auto& [hWnd, chain] : m_map) all.push_back(chain);
    return all;
  }
  bool Add(HWND hWnd, HookChain* chain) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_map.emplace(hWnd, chain).second;
  }
  void Remove(HWND hWnd, const HookChain* chain) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_map.find(hWnd);
    if (it != m_map.end() && it->second == chain) m_map.erase(it);
  }
  std::size_t Size() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_map.size();
  }

 private:
  std::mutex m_mutex;
  std::unordered_map<HWND, HookChain*> m_map;
};

ChainMap& Chains() {
  static ChainMap* map = new ChainMap;  // never destroyed: windows may outlive static destruction
  return *map;
}

LRESULT CALLBACK SharedWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

}  // namespace

class HookChain {
 public:
  static HookChain* Of(HWND hWnd) { return Chains().Find(hWnd); }

  // The window's stack, installing the shared procedure when it has none.
  static HookChain* Ensure(HWND hWnd, AttachError& error) {
    if (HookChain* chain = Of(hWnd); chain != nullptr && !chain->m_destroyed) return chain;
    DWORD processId = 0;
    if (GetWindowThreadProcessId(hWnd, &processId) == 0 || processId != GetCurrentProcessId()) {
      // Another process's window: its procedure cannot be replaced from here.
      error.code = ERROR_ACCESS_DENIED;
      return nullptr;
    }
    auto chain = std::unique_ptr<HookChain>(new HookChain(hWnd));
    if (!Chains().Add(hWnd, chain.get())) {
      error.code = ERROR_NOT_ENOUGH_MEMORY;
      return nullptr;
    }
    SetLastError(0);
    const LONG_PTR previous =
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SharedWndProc));
    if (previous == 0) {
      error.code = GetLastError();
      Chains().Remove(hWnd, chain.get());
      return nullptr;
    }
    chain->m_original = reinterpret_cast<WNDPROC>(previous);
    if (!SetPropW(hWnd, kChainMark, chain.get())) {
      // Without its mark the stack would be taken for a dead window's and ended
      // while the window lives: no hook rather than one that vanishes.
      error = AttachError{GetLastError(), L"SetProp"};
      SetWindowLongPtrW(hWnd, GWLP_WNDPROC, previous);
      Chains().Remove(hWnd, chain.get());
      return nullptr;
    }
    return chain.release();
  }

  // Ends the stacks of windows that died without their WM_NCDESTROY passing through
  // us, or whose handle value now names another window, as their WM_NCDESTROY would:
  // the stack of `hWnd` now, the others when their turn comes (see g_hooksSinceCheck).
  static void ReleaseDead(HWND hWnd) {
    if (HookChain* chain = Of(hWnd); chain != nullptr) chain->EndIfDead();
    const std::size_t due = std::max<std::size_t>(1, std::min(g_stacksAtCheck.load(), Chains().Size()));
    if (++g_hooksSinceCheck < due) return;
    for (HookChain* chain : Chains().All()) chain->EndIfDead();
    g_hooksSinceCheck = 0;
    g_stacksAtCheck = Chains().Size();
  }

  void EndIfDead() {
    if (m_destroyed || IsAlive()) return;
    WindowDestroyed(/*restore=*/false);
    Sweep();  // may delete this
  }

  ~HookChain() { --g_liveChains; }

  void Push(std::unique_ptr<HookLayer> layer) {
    layer->m_chain = this;
    m_layers.push_back(std::move(layer));  // oldest first, newest last
  }

  // A message arriving at the window through the shared procedure.
  LRESULT Dispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    try {
      CountGuard depth(m_depth);
      result = RunFrom(m_layers.size(), hWnd, uMsg, wParam, lParam);
    } catch (...) {
      // The window's own procedure threw; it must not unwind through the system's
      // dispatcher, and the stack must still be released as usual below.
    }
    if (uMsg == WM_NCDESTROY) WindowDestroyed(/*restore=*/true);
    Sweep();  // may delete this
    return result;
  }

  // A layer's call of its previous procedure. It may come from outside any message
  // (a direct call by the owner): the layer and the stack are kept alive meanwhile,
  // and whatever detached during it is swept by the next message or detach.
  LRESULT CallBelow(HookLayer* layer, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    const std::size_t index = IndexOf(layer);
    if (index == m_layers.size()) return 0;  // not in this stack (any more)
    CountGuard depth(m_depth);
    CountGuard active(layer->m_activeCalls);
    return RunFrom(index, hWnd, uMsg, wParam, lParam);
  }

  void Detach(HookLayer* layer) {
    layer->m_detached = true;
    Sweep();  // may delete this
  }

  void ReleaseIdle() { Sweep(); }  // may delete this

 private:
  explicit HookChain(HWND hWnd) : m_hWnd(hWnd) { ++g_liveChains; }

  std::size_t IndexOf(const HookLayer* layer) const {
    const auto it = std::find_if(m_layers.begin(), m_layers.end(),
                                 [layer](const auto& p) { return p.get() == layer; });
    return static_cast<std::size_t>(it - m_layers.begin());
  }

  // Runs the message through the newest attached layer below index `end`, or through
  // the window's original procedure when there is none. Indexes are looked up afresh on
  // every call: layers come and go while messages nest.
  LRESULT RunFrom(std::size_t end, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    for (std::size_t i = std::min(end, m_layers.size()); i-- > 0;) {
      HookLayer* layer = m_layers[i].get();
      if (layer->m_detached) continue;
      LRESULT result = 0;
      try {
        CountGuard active(layer->m_activeCalls);
        result = layer->OnMessage(hWnd, uMsg, wParam, lParam);
      } catch (...) {
        // A layer's own failure, or one of a procedure below it, must not unwind
        // through the system's dispatcher.
      }
      if (layer->m_detached && layer->m_activeCalls == 0) Sweep(false);
      return result;
    }
    return CallWindowProcW(m_original, hWnd, uMsg, wParam, lParam);
  }

  // `restore`: the window still exists (its WM_NCDESTROY is running) and may get its
  // procedure back; a dead handle must not be touched.
  void WindowDestroyed(bool restore) {
    m_destroyed = true;
    Chains().Remove(m_hWnd, this);
    if (restore) {
      RemovePropW(m_hWnd, kChainMark);
      if (IsOurs()) SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_original));
    }
    for (std::size_t i = m_layers.size(); i-- > 0;) {
      HookLayer* layer = m_layers[i].get();
      if (layer->m_detached) continue;
      layer->m_detached = true;
      try {
        layer->OnWindowDestroyed();
      } catch (...) {
      }
    }
  }

  bool IsAlive() const { return IsWindow(m_hWnd) && GetPropW(m_hWnd, kChainMark) == this; }

  bool IsOurs() const {
    return GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SharedWndProc);
  }

  // Destroys detached layers no message runs through; when none is left and no message
  // is on its way through the window, gives the window its procedure back and deletes
  // the stack (only when `mayDelete`: the caller still uses it otherwise).
  void Sweep(bool mayDelete = true) {
    for (std::size_t i = m_layers.size(); i-- > 0;) {
      if (m_layers[i]->m_detached && m_layers[i]->m_activeCalls == 0) {
        m_layers.erase(m_layers.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
    if (!mayDelete || !m_layers.empty() || m_depth != 0) return;
    if (m_destroyed) {
      delete this;
    } else if (IsOurs()) {
      SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_original));
      RemovePropW(m_hWnd, kChainMark);
      Chains().Remove(m_hWnd, this);
      delete this;
    }
    // Otherwise another procedure sits on top of ours and still calls it: stay,
    // passing messages through, until the window is destroyed.
  }

  HWND m_hWnd;
  WNDPROC m_original = nullptr;
  std::vector<std::unique_ptr<HookLayer>> m_layers;
  int m_depth = 0;  // messages inside Dispatch right now
  bool m_destroyed = false;
};

namespace {

LRESULT CALLBACK SharedWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  HookChain* chain = HookChain::Of(hWnd);
  if (chain == nullptr) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
  return chain->Dispatch(hWnd, uMsg, wParam, lParam);
}

}  // namespace

HookLayer::HookLayer() { ++g_liveLayers; }

HookLayer::~HookLayer() { --g_liveLayers; }

LRESULT HookLayer::CallPrevious(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (m_chain == nullptr) return 0;
  return m_chain->CallBelow(this, hWnd, uMsg, wParam, lParam);
}

void HookLayer::ReleaseIdle() {
  if (m_chain != nullptr) m_chain->ReleaseIdle();
}

void HookLayer::Detach() {
  if (m_chain != nullptr && !m_detached) m_chain->Detach(this);
}

HookLayer* AttachLayer(HWND hWnd, std::unique_ptr<HookLayer> layer, AttachError& error) {
  HookChain* chain = HookChain::Ensure(hWnd, error);
  if (chain == nullptr) return nullptr;
  HookLayer* raw = layer.get();
  try {
    chain->Push(std::move(layer));
  } catch (const std::bad_alloc&) {
    // A stack created for this layer stays empty and goes with the window's next message.
    error.code = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  return raw;
}

bool IsHookProcedure(WNDPROC proc) { return proc == &SharedWndProc; }

void ReleaseDeadWindows(HWND hWnd) { HookChain::ReleaseDead(hWnd); }

std::size_t LiveHookLayers() { return g_liveLayers; }
std::size_t LiveHookChains() { return g_liveChains; }

}  // namespace fw::hook_detail
