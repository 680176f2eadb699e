// The "inside" flag of the mouse-leave pattern shared by the frame, the button and
// the status bar. Portable: the caller maps its window messages onto the two calls.
#pragma once

namespace fw {

enum class HoverChange {
  kNone,
  kEntered,  // first move after being outside: ask for a leave notice, show hover
  kLeft,     // leave notice while inside: show the normal look
};

class HoverState {
 public:
  HoverChange OnMouseMove() {
    if (m_inside) return HoverChange::kNone;
    m_inside = true;
    return HoverChange::kEntered;
  }
  HoverChange OnMouseLeave() {
    if (!m_inside) return HoverChange::kNone;
    m_inside = false;
    return HoverChange::kLeft;
  }
  bool Inside() const { return m_inside; }

 private:
  bool m_inside = false;
};

}  // namespace fw
