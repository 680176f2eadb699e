// The windowless controls of one container window. Labels, images, lines and
// shapes have no window of their own: a window costs a round trip to the window
// server when it is made and a paint and flush of its own on every repaint. The
// window they lie in draws them over its own drawing, in their z-order (bottom
// first, all below the container's child windows), routes the mouse to the one
// under the pointer, and lists them to assistive technology as parts of its
// accessible object, so their texts stay readable from outside.
//
// A form and a user control draw their windowless controls themselves (their
// paint composes the surface and the controls in memory, then copies once). Any
// other window a windowless control is placed in is subclassed so that the same
// happens there; it must answer WM_PRINTCLIENT with its own drawing.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "host/Accessible.h"

namespace fw {

class GraphicControl;

class WindowlessSite final : public AccessibleSource {
 public:
  // The site of `container`, or null when none was made for it.
  static WindowlessSite* Of(HWND container);
  // The site of `container`, made on first use (null when `container` is no window).
  static WindowlessSite* Attach(HWND container);
  // The container window is going: its controls are told, the site ends. Host
  // windows call it at WM_NCDESTROY; the subclass does for any other window.
  static void Release(HWND container);

  HWND Container() const { return m_hwnd; }
  // Bottom of the z-order first.
  const std::vector<GraphicControl*>& Controls() const { return m_controls; }
  void Add(GraphicControl* control);
  void Remove(GraphicControl* control);
  // To the top (or the bottom) of the windowless controls.
  void Raise(GraphicControl* control, bool toTop);

  // Whether any control is shown (the container then composes every paint).
  bool HasShownControls() const;
  // Whether a shown control overlaps `area` (container client pixels).
  bool Overlaps(const RECT& area) const;
  // Draws the shown controls overlapping `area` on `dc`, whose coordinates are
  // the container's client pixels, bottom first.
  void Paint(HDC dc, const RECT& area) const;
  // Paints `area` of the container on `target`: `background` draws the
  // container's own pixels on a memory DC (container coordinates), the controls
  // go over them, and the result is copied in one step, so nothing flickers.
  void Compose(HDC target, const RECT& area, const std::function<void(HDC)>& background) const;
  // The topmost shown, enabled control at `pt` that takes the mouse, or null.
  GraphicControl* HitTest(POINT pt) const;
  // Offers a mouse message of the container to its windowless controls: the
  // control holding a left press, else the one under the pointer. True when a
  // control took it (the container must not act on it).
  bool RouteMouse(UINT msg, WPARAM w, LPARAM l);
  // Marks `area` of the container for repainting.
  void Invalidate(const RECT& area) const;
  // Tells assistive technology that `control`'s name changed.
  void NotifyNameChanged(const GraphicControl& control) const;

  // -- AccessibleSource: the controls are the parts, in drawing order
  HWND AccessibleWindow() const override { return m_hwnd; }
  int PartCount() const override { return static_cast<int>(m_controls.size()); }
  void DescribePart(int part, AccessibleItem& item) const override;
  bool DoDefaultAction(int part) override;

 private:
  explicit WindowlessSite(HWND container) : m_hwnd(container) {}

  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR id,
                                       DWORD_PTR data);
  LRESULT HandleForeign(UINT msg, WPARAM w, LPARAM l);

  int IndexOf(const GraphicControl* control) const;
  // Client rectangle of a control in the container.
  static RECT AreaOf(const GraphicControl& control);

  HWND m_hwnd = nullptr;
  std::vector<GraphicControl*> m_controls;
  GraphicControl* m_pressed = nullptr;  // holds the left button (and the capture)
  bool m_subclassed = false;
};

// True for the messages a container routes to its windowless controls.
bool IsRoutedMouseMessage(UINT msg);

}  // namespace fw
