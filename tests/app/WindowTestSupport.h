// What the windows' tests share: reading windows as a tool would (their texts
// and places), acting inside a modal loop, clicks by real messages and input.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace fw {
class Control;
}

namespace fw::test {

std::u16string WindowText(HWND hwnd);

// A visible top-level window of process `pid` (0: this one) whose text is `title`.
HWND FindShown(const std::u16string& title, DWORD pid = 0);

// The visible descendants of `parent`, each with its text and its rectangle in
// `parent`'s client pixels, in the order the window tree lists them.
struct ChildWindow {
  HWND hwnd;
  std::u16string text;
  RECT rect;
};
std::vector<ChildWindow> VisibleChildren(HWND parent);
// The first visible descendant whose text is `text`; null when there is none.
HWND ChildWithText(HWND parent, const std::u16string& text);

// Runs `act` once, from inside whatever message loop runs next, as soon as a
// visible window titled `title` exists (polled every 20 ms). False from
// Acted() until it ran.
void WhenShown(const std::u16string& title, std::function<void(HWND)> act);
bool Acted();
void StopWaiting();

// A left click as the window hears it: button down and up in its centre, posted.
void PostClick(HWND hwnd);
// The same on a control: in its window, or in its area of its container for a
// control without one (a label).
void PostClick(const Control& control);
// What a click on an item of a dropped list does: the platform selects the item
// in the combo box `combo` and tells its parent (an image combo box's inner one).
void ChooseInList(HWND combo, std::u16string_view item);
// A key as the focused window hears it, posted through the running loop.
void PostKey(WORD vk);
// The real pointer: moved to (x, y) of `hwnd`'s client area and clicked.
void RealClick(HWND hwnd, int x, int y);

// Pumps this thread's messages for `ms`; stops early, and answers true, when
// `until` is true.
bool PumpFor(int ms, const std::function<bool()>& until = {});

// Removes the user's settings (HKCU\Software\Fuelwise), so a start meets the
// program as a first start does: no sites stored, no city remembered.
void ForgetUserSettings();

// Starts the shipped program (Fuelwise.exe, the build's own) as a process of
// its own with `args` on its command line; false when it could not be started.
bool StartProgram(const std::vector<std::wstring>& args, PROCESS_INFORMATION& process);

// The user's settings forgotten, then the program started against the price
// and chart site at `site` (host[:port] of an http site) given on its command line.
bool StartProgramUnderTest(const std::wstring& site, PROCESS_INFORMATION& process);

}  // namespace fw::test
