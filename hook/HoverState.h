// The "inside" flag of the mouse-leave pattern shared by the frame, the button and
// the status bar. Portable: the caller maps its window messages onto the two calls.
#pragma once

namespace fw {

enum class HoverChange {
  kNone,
  kEntered,  // first move after being outside: ask for a leave notice, show hover
  kLeft,     // leave notice: show the normal look, raise the leave event
};

class HoverState {
 public:
  HoverChange OnMouseMove() {
    if (m_inside) return HoverChange::kNone;
    m_inside = true;
    return HoverChange::kEntered;
  }
  // Every leave notice counts, even when the owner cleared the flag itself on an
  // earlier move: the platform sends one only after a tracked entry, and an owner
  // that skipped it would lose its leave event and keep a stale hover look.
  HoverChange OnMouseLeave() {
    m_inside = false;
    return HoverChange::kLeft;
  }
  // For owners that end the hover look on their own (a press, a move off the shape).
  void Clear() { m_inside = false; }
  bool Inside() const { return m_inside; }

 private:
  bool m_inside = false;
};

}  // namespace fw
