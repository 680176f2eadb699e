// The base of the controls the host draws over their container: Label, Image,
// Line and Shape. None has a window of its own. The container draws them over
// its own drawing in their z-order (host/Windowless.h), hit-tests them and
// routes their mouse events, and lists them to assistive technology, so a
// label's text stays readable from outside. A label sits on a gradient with no
// box around it, because it is drawn on the gradient itself.
#pragma once

#include <windows.h>

#include <functional>

#include "host/Accessible.h"
#include "host/Control.h"
#include "host/Input.h"

namespace fw {

class WindowlessSite;

class GraphicControl : public Control {
 public:
  // Mouse events (labels and images; lines and shapes let the mouse through).
  EventHandler Click;
  EventHandler DblClick;
  MouseHandler MouseDown;
  MouseHandler MouseMove;
  MouseHandler MouseUp;

  ~GraphicControl() override;

  // Repaints its part of the container now.
  void Refresh();
  // True: the mouse passes through to the container (lines and shapes).
  bool MouseTransparent() const { return m_mouseTransparent; }
  // Placed in a container that still exists.
  bool Sited() const { return m_site != nullptr; }

  // Makes the control read as more than its kind (a label that is a link):
  // in `role`, with `value` when given, and with a default action named `verb`
  // that clicks it (Click, run inside the tool's call: a handler that opens a
  // modal window would hold the tool until it closes).
  void SetAccessibleAction(long role, std::u16string verb, std::u16string value = {});
  // Leaves the control out of what assistive technology reads, which then
  // takes it as invisible: a piece of a picture made of several, a text that
  // another control already reads out.
  void SetAccessibleHidden(bool hidden) { m_accessibleHidden = hidden; }
  bool AccessibleHidden() const { return m_accessibleHidden; }
  // Lets its program finish what the control reads as, asked at every reading
  // after the kind and the host filled it in (a row made of two labels read as
  // one: its name, its value, its place). Null: as its kind says.
  using AccessibleDescriber = std::function<void(AccessibleItem&)>;
  void SetAccessibleDescriber(AccessibleDescriber describe) { m_describe = std::move(describe); }

  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  void ZOrder(int position = 0) override;
  bool MoveToContainer(HWND parent) override;
  void Destroy() override;

 protected:
  // `mouseTransparent`: the control lets mouse messages through to its container.
  GraphicControl(std::u16string kind, bool mouseTransparent);

  // Draws the control over what its container drew (client coordinates of the
  // control; clipped to it).
  virtual void Draw(HDC dc, const RECT& client) = 0;
  // What assistive technology reads of it; the host fills in state and place.
  // A graphic by default.
  virtual void Describe(AccessibleItem& item) const {}
  // Marks the control's area of the container for repainting.
  void Redraw();
  // Tells assistive technology that its name changed.
  void NotifyNameChanged() const;

  HWND CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) override;
  void OnMoved() override;
  // Repaints the control at its place at the form's new dpi.
  void ApplyDpi() override;

 private:
  friend class WindowlessSite;
  // Events, raised by the container's site.
  void RaiseMouseDown(const MouseArgs& a) { if (MouseDown) MouseDown(a.button, a.shift, a.x, a.y); }
  void RaiseMouseMove(const MouseArgs& a) { if (MouseMove) MouseMove(a.button, a.shift, a.x, a.y); }
  void RaiseMouseUp(const MouseArgs& a) { if (MouseUp) MouseUp(a.button, a.shift, a.x, a.y); }
  void RaiseClick() { if (Click) Click(); }
  void RaiseDblClick() { if (DblClick) DblClick(); }
  // The container's window went: the control is drawn nowhere from now on.
  void ContainerGone();
  void Detach();
  // The placement changed from `before`: both areas repaint, the tooltip follows.
  void Replaced(const RECT& before);

  WindowlessSite* m_site = nullptr;
  long m_accessibleRole = 0;  // 0: as its kind describes it, with no action
  std::u16string m_accessibleVerb;
  std::u16string m_accessibleValue;
  bool m_accessibleHidden = false;
  AccessibleDescriber m_describe;
  RECT m_placed{};  // the area last drawn in, so that a move repaints where it was
  bool m_mouseTransparent = false;
};

}  // namespace fw
