// Reading windows as assistive technology does: through the accessible object
// of a window's client area (IAccessible), in this process or in another one.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace fw {
class Control;
}

namespace fw::test {

// One simple element (a part with no window of its own) of a client object.
struct AccessiblePart {
  long childId = 0;
  long role = 0;
  std::u16string name;
  long state = 0;
  RECT location{};  // screen coordinates
  std::u16string value;
  std::u16string shortcut;       // accKeyboardShortcut
  std::u16string description;    // accDescription
  std::u16string defaultAction;  // accDefaultAction
};

// The simple elements the client object of `hwnd` lists, in its order; empty
// when it has none or gives no object.
std::vector<AccessiblePart> AccessibleParts(HWND hwnd);

// The client object of `hwnd` itself (child id 0).
AccessiblePart AccessibleSelf(HWND hwnd);

// Performs the default action of child `childId` of `hwnd`'s client object, as
// a tool does (accDoDefaultAction); true when it was done.
bool AccessibleDefaultAction(HWND hwnd, long childId);

// Sets the value of child `childId` as a tool does (put_accValue); true when set.
bool AccessibleSetValue(HWND hwnd, long childId, std::u16string_view value);

// Takes the focus or the selection (SELFLAG_*) for child `childId`, as a tool
// does (accSelect); true when done.
bool AccessibleSelect(HWND hwnd, long childId, long flags);

// The child ids get_accSelection names (one, or each of an enumeration).
std::vector<long> AccessibleSelection(HWND hwnd);

// Where accNavigate leads from child `start` in direction `dir` (NAVDIR_*): a
// child id of the same object, or the window of an object it hands out
// (childId 0 then); none: childId -1.
struct Navigated {
  long childId = -1;
  HWND window = nullptr;
  friend bool operator==(const Navigated&, const Navigated&) = default;
};
Navigated AccessibleNavigate(HWND hwnd, long start, long dir);

// The windows the client object of `hwnd` lists as children (get_accChild
// handing out an object of a window), in its order.
std::vector<HWND> AccessibleChildWindows(HWND hwnd);

// The events assistive technology hears (SetWinEventHook, out of context),
// from its making on, for the windows asked about. One at a time.
struct WinEvent {
  DWORD event = 0;
  HWND hwnd = nullptr;
  long object = 0;
  long child = 0;
  friend bool operator==(const WinEvent&, const WinEvent&) = default;
};
std::string Describe(const WinEvent& e);

class WinEventRecorder {
 public:
  // Hears events from `first` to `last` raised for `windows`.
  WinEventRecorder(std::vector<HWND> windows, DWORD first = EVENT_OBJECT_FOCUS,
                   DWORD last = EVENT_OBJECT_VALUECHANGE);
  ~WinEventRecorder();
  WinEventRecorder(const WinEventRecorder&) = delete;
  WinEventRecorder& operator=(const WinEventRecorder&) = delete;
  // The events heard so far (after the waiting ones are delivered), then forgets them.
  std::vector<WinEvent> Take();

 private:
  static void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                             DWORD);
  HWINEVENTHOOK m_hook = nullptr;
  std::vector<HWND> m_windows;
  std::vector<WinEvent> m_heard;
};

// The shown static-text parts of `window` and of its visible descendants,
// window by window in the order the window tree lists them, as a reader says
// them: the name, and the value after it when there is one ("92#汽油 7.74 元/升").
std::vector<std::u16string> AccessibleTexts(HWND window);

// The name assistive technology reads for a windowless control: the part of its
// container's accessible object at the control's place ("<none>" when none is).
std::u16string AccessibleName(const Control& control);

}  // namespace fw::test
