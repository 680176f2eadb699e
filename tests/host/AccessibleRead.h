// Reading windows as assistive technology does: through the accessible object
// of a window's client area (IAccessible), in this process or in another one.
#pragma once

#include <windows.h>

#include <string>
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
};

// The simple elements the client object of `hwnd` lists, in its order; empty
// when it has none or gives no object.
std::vector<AccessiblePart> AccessibleParts(HWND hwnd);

// The client object of `hwnd` itself (child id 0).
AccessiblePart AccessibleSelf(HWND hwnd);

// Performs the default action of child `childId` of `hwnd`'s client object, as
// a tool does (accDoDefaultAction); true when it was done.
bool AccessibleDefaultAction(HWND hwnd, long childId);

// The names of the shown static-text parts of `window` and of its visible
// descendants, window by window in the order the window tree lists them.
std::vector<std::u16string> AccessibleTexts(HWND window);

// The name assistive technology reads for a windowless control: the part of its
// container's accessible object at the control's place ("<none>" when none is).
std::u16string AccessibleName(const Control& control);

}  // namespace fw::test
