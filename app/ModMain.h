// ModMain: what the program's windows share. The message box entry that every
// message of the program goes through (the skinned box, not the platform's),
// the main window the small windows take their caption and icon from, the
// random generator the windows pick their themes with, and the date text of
// the status bar.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace fw {

class Form;

// Opens the message box modally over `iForm` (may be null) with `Prompt`, the
// buttons `Flags` chooses and the title `PromptCaption`; returns the result of
// the button pressed (1 OK, 2 Cancel, 3 Ignore, 4 Yes, 5 No), or 0 when the
// box was closed without one. One box at a time: a call made while the box is
// open (from a timer, say) shows nothing and returns 0.
int32_t ShowMessageBox(std::u16string_view Prompt, int32_t Flags, std::u16string_view PromptCaption,
                       Form* iForm);

// The main window: its caption and icon are the message box's before the box
// is given its own, and its caption is the about window's title line.
Form* MainWindow();
void SetMainWindow(Form* form);

// Seeds the random generator from the clock (finer than a second, so windows
// opened within one second still differ).
void Randomize();
// A uniform number in [0, 1).
double Rnd();
// Randomize, then a theme from 1 to 5.
int32_t RandomTheme();

// Lets designs place every control kind the program's windows hold; once,
// before the first window is built.
void RegisterWindowKinds();

// Whether a message a small window receives is the user's Escape: the dialog
// manager's cancel command, or the key itself when nothing inside has the
// focus (a window with no button shown).
bool IsEscape(UINT msg, WPARAM w, LPARAM l);

// The date in the user's short date form ("12/7/2026", "2026/12/7" ...).
std::u16string ShortDate(const SYSTEMTIME& when);

}  // namespace fw
