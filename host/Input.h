// The event argument conventions of the host, shared by the user-control base and
// the standard controls:
//   button: 1 left, 2 right, 4 middle (MouseMove: the sum of the buttons held);
//   shift:  1 Shift, 2 Ctrl, 4 Alt;
//   x, y:   pixels of the control's client area, as float.
#pragma once

#include <windows.h>

#include <functional>

namespace fw {

constexpr int kButtonLeft = 1;
constexpr int kButtonRight = 2;
constexpr int kButtonMiddle = 4;
constexpr int kShiftMask = 1;
constexpr int kCtrlMask = 2;
constexpr int kAltMask = 4;

using MouseHandler = std::function<void(int button, int shift, float x, float y)>;
using KeyHandler = std::function<void(int& keyCode, int shift)>;
using KeyPressHandler = std::function<void(int& keyAscii)>;
using EventHandler = std::function<void()>;
// The wheel turned: `delta` in the platform's units (120 a notch, positive away
// from the user), shift as above. A handler that sets `delta` to 0 has used it:
// the window itself does not see it.
using WheelHandler = std::function<void(int& delta, int shift)>;

struct MouseArgs {
  int button = 0;
  int shift = 0;
  float x = 0;
  float y = 0;
};

// The buttons named by a mouse message's wParam (MK_LBUTTON ...).
int MouseButtons(WPARAM keys);
// Shift and Ctrl from a mouse message's wParam; Alt from the keyboard state.
int MouseShift(WPARAM keys);
// Shift, Ctrl and Alt from the keyboard state; `altFromMessage` adds Alt for a
// WM_SYSKEYDOWN whose context bit says Alt was held.
int KeyShift(bool altFromMessage = false);

// The arguments of a mouse message (button down, up, double click or move).
MouseArgs DecodeMouse(UINT msg, WPARAM w, LPARAM l);

}  // namespace fw
