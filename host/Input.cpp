#include "host/Input.h"

#include <windowsx.h>

namespace fw {

int MouseButtons(WPARAM keys) {
  int b = 0;
  if (keys & MK_LBUTTON) b |= kButtonLeft;
  if (keys & MK_RBUTTON) b |= kButtonRight;
  if (keys & MK_MBUTTON) b |= kButtonMiddle;
  return b;
}

int MouseShift(WPARAM keys) {
  int s = 0;
  if (keys & MK_SHIFT) s |= kShiftMask;
  if (keys & MK_CONTROL) s |= kCtrlMask;
  if (GetKeyState(VK_MENU) < 0) s |= kAltMask;
  return s;
}

int KeyShift(bool altFromMessage) {
  int s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= kShiftMask;
  if (GetKeyState(VK_CONTROL) < 0) s |= kCtrlMask;
  if (altFromMessage || GetKeyState(VK_MENU) < 0) s |= kAltMask;
  return s;
}

MouseArgs DecodeMouse(UINT msg, WPARAM w, LPARAM l) {
  MouseArgs a;
  a.shift = MouseShift(w);
  a.x = static_cast<float>(GET_X_LPARAM(l));
  a.y = static_cast<float>(GET_Y_LPARAM(l));
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: a.button = kButtonLeft; break;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: a.button = kButtonRight; break;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: a.button = kButtonMiddle; break;
    default: a.button = MouseButtons(w); break;
  }
  return a;
}

}  // namespace fw
