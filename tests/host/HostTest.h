// Shared pieces of the host's Windows tests: a recording user control, event
// sequences compared whole, and a form built in code.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "host/Form.h"
#include "host/UserControl.h"

namespace fw::test {

// One recorded event: its name and, for mouse and key events, its arguments.
struct Event {
  std::string name;
  int a = 0;  // button / key code / key ascii
  int b = 0;  // shift
  float x = 0;
  float y = 0;
  friend bool operator==(const Event&, const Event&) = default;
};

inline std::string Describe(const Event& e) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%s(%d, %d, %g, %g)", e.name.c_str(), e.a, e.b, e.x, e.y);
  return buf;
}

// Compares a whole recorded run with the expected one; on mismatch names the
// first differing index and prints both lists.
template <size_t N>
void ExpectSequence(const std::vector<Event>& got, const Event (&want)[N], const char* context) {
  bool same = got.size() == N;
  size_t first = 0;
  for (; first < std::min(got.size(), N); ++first) {
    if (!(got[first] == want[first])) {
      same = false;
      break;
    }
  }
  if (same) return;
  std::string text = std::string(context) + ": differs at index " + std::to_string(first) + "\n  expected:";
  for (const Event& e : want) text += " " + Describe(e);
  text += "\n  got:     ";
  for (const Event& e : got) text += " " + Describe(e);
  ADD_FAILURE() << text;
}

inline void ExpectSequence(const std::vector<Event>& got, std::nullptr_t, const char* context) {
  if (!got.empty()) ADD_FAILURE() << context << ": expected no events, got " << Describe(got[0]);
}

// A user control that records every event the host raises.
class RecordingControl : public UserControl {
 public:
  RecordingControl() : UserControl(u"RecordingControl") {}
  std::vector<Event> events;
  int paints = 0;
  bool recordMoves = false;
  std::function<void()> onClick;
  std::function<void()> onMouseDown;

  // A property as controls write them: store, show, tell the host.
  void SetCaption(std::u16string caption) {
    m_caption = std::move(caption);
    SetWindowCaption(m_caption);
    PropertyChanged(u"Caption");
  }

 protected:
  std::u16string m_caption;
  void OnInitProperties() override { events.push_back({"InitProperties"}); }
  void OnReadProperties(const PropertyStore&) override { events.push_back({"ReadProperties"}); }
  void OnShow() override { events.push_back({"Show"}); }
  void OnHide() override { events.push_back({"Hide"}); }
  void OnResize() override { events.push_back({"Resize"}); }
  void OnPaint() override { ++paints; }
  void OnMouseDown(int b, int s, float x, float y) override {
    events.push_back({"MouseDown", b, s, x, y});
    if (onMouseDown) onMouseDown();
  }
  void OnMouseMove(int b, int s, float x, float y) override {
    if (recordMoves) events.push_back({"MouseMove", b, s, x, y});
  }
  void OnMouseUp(int b, int s, float x, float y) override { events.push_back({"MouseUp", b, s, x, y}); }
  void OnClick() override {
    events.push_back({"Click"});
    if (onClick) onClick();
  }
  void OnDblClick() override { events.push_back({"DblClick"}); }
  void OnKeyDown(int& k, int s) override { events.push_back({"KeyDown", k, s}); }
  void OnKeyPress(int& k) override { events.push_back({"KeyPress", k}); }
  void OnKeyUp(int& k, int s) override { events.push_back({"KeyUp", k, s}); }
  void OnGotFocus() override { events.push_back({"GotFocus"}); }
  void OnLostFocus() override { events.push_back({"LostFocus"}); }
  void OnAccessKeyPress(int k) override { events.push_back({"AccessKeyPress", k}); }
  void OnTerminate() override { events.push_back({"Terminate", IsWindow(hWnd()) ? 1 : 0}); }
  void OnAmbientChanged(std::u16string_view name) override {
    events.push_back({"AmbientChanged:" + std::string(name.begin(), name.end())});
  }
};

// Prints the part of `c`'s container that `c` covers at (0, 0) of `dc`: the
// container's drawing with its windowless controls over it, as the screen shows.
inline void PrintArea(const Control& c, HDC dc) {
  const RECT rc = c.PixelRect();
  POINT old{};
  OffsetViewportOrgEx(dc, -rc.left, -rc.top, &old);
  SendMessageW(c.ContainerHwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

// A mouse message at (x, y) of a windowless control, sent to its container.
inline void SendMouse(const Control& c, UINT msg, WPARAM keys, int x, int y) {
  const RECT rc = c.PixelRect();
  SendMessageW(c.ContainerHwnd(), msg, keys, MAKELPARAM(rc.left + x, rc.top + y));
}

// Pumps what is waiting in the queue.
inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!Form::PreTranslateMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

// Sets or clears the keyboard state of Shift, Ctrl and Alt for messages sent
// directly to a window (GetKeyState reads this state).
inline void SetModifiers(bool shift, bool ctrl, bool alt) {
  BYTE keys[256]{};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  keys[VK_MENU] = alt ? 0x80 : 0;
  SetKeyboardState(keys);
}

}  // namespace fw::test
