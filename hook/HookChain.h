// The machinery under both window hooks: every hooked window gets one shared window
// procedure and a per-window stack of hook layers, found through a handle-to-stack map.
//
// Why a stack instead of one SetWindowLongPtrW per hook: a window is often hooked by
// several owners at once (the frame, the buttons and the status bar all hook their
// form). Chained procedures break as soon as a middle one leaves: the one above it
// still calls the departed procedure. Here the window procedure is replaced once, by
// the first hook, and each layer's "previous procedure" is found at call time: the
// next older layer that is still there, or the procedure the window had before.
//
// Release: a layer is taken out at once but destroyed only when no message is running
// through it. When the last layer is gone the window gets its procedure back, but only
// while the window's procedure is still ours. If someone hooked the window on top of us
// meanwhile, their procedure still calls ours: the stack then stays, empty, passing
// every message straight through, until the window is destroyed (or until ours is on
// top again, checked after each message). WM_NCDESTROY ends every layer of the window:
// their owners are told, so no owner keeps a record of a dead handle.
//
// Single-threaded, like the windows it serves: all calls on the window's thread.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string_view>

namespace fw::hook_detail {

class HookChain;

// Counters of messages in flight must come down however a call ends: a window
// procedure below may throw, and a count left up would keep a layer and its stack
// alive for good (and the window's procedure replaced).
class CountGuard {
 public:
  explicit CountGuard(int& count) : m_count(count) { ++m_count; }
  ~CountGuard() { --m_count; }
  CountGuard(const CountGuard&) = delete;
  CountGuard& operator=(const CountGuard&) = delete;

 private:
  int& m_count;
};

class HookLayer {
 public:
  HookLayer();
  HookLayer(const HookLayer&) = delete;
  HookLayer& operator=(const HookLayer&) = delete;
  virtual ~HookLayer();

  // Runs a message through what lies below this layer.
  LRESULT CallPrevious(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  // Takes the layer out of its window's stack: no further message reaches it. It is
  // destroyed at once, or when the last message running through it returns.
  void Detach();
  bool Detached() const { return m_detached; }
  // After a CallPrevious made outside any message of the window: releases what that
  // call left behind (this layer, the stack, when the window died meanwhile), as the
  // window's next message would. The layer must not be used after this.
  void ReleaseIdle();
  // Messages running through this layer right now (1 inside its own OnMessage).
  int ActiveCalls() const { return m_activeCalls; }

 protected:
  virtual LRESULT OnMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) = 0;
  // WM_NCDESTROY has passed through the window; the layer is already detached.
  virtual void OnWindowDestroyed() {}

 private:
  friend class HookChain;
  HookChain* m_chain = nullptr;
  int m_activeCalls = 0;
  bool m_detached = false;
};

// Why a hook could not be attached: the last-error code and the call that
// failed. Refusals that are not a call's own (another process's window, no
// memory for the stack) are reported as the procedure's replacement failing,
// which is what they prevent.
struct AttachError {
  DWORD code = 0;
  std::wstring_view call = L"SetWindowLong";
};

// Makes `layer` the newest hook of `hWnd`. On failure returns nullptr, leaves the
// window as it was and fills `error`. Call ReleaseDeadWindows(hWnd) first.
HookLayer* AttachLayer(HWND hWnd, std::unique_ptr<HookLayer> layer, AttachError& error);

// Ends the stacks (and tells the owners of their layers) of windows that died while
// some other code had put an older procedure back over ours, so that their
// WM_NCDESTROY never came through; and of handle values that now name another
// window. An owner calls it once per new hook, before looking `hWnd` up in its own
// records: the stack of `hWnd` is checked every time, the others now and then, so
// that the cost per hook stays constant on average however many windows are hooked
// (every stack checked on every hook made hooking n windows cost n squared).
void ReleaseDeadWindows(HWND hWnd);

// True when the window's procedure is the hook layer's shared one.
bool IsHookProcedure(WNDPROC proc);

// What the hook layer holds right now, for leak tests.
std::size_t LiveHookLayers();
std::size_t LiveHookChains();

}  // namespace fw::hook_detail
