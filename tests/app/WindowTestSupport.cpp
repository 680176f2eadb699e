#include "tests/app/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "host/Form.h"
#include "host/WideText.h"

namespace fw::test {

namespace {

std::u16string g_title;
std::function<void(HWND)> g_act;
bool g_acted = false;
UINT_PTR g_timer = 0;

void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
  if (!g_act) return;
  HWND shown = FindShown(g_title);
  if (!shown) return;
  StopWaiting();
  auto act = std::move(g_act);
  g_act = nullptr;
  g_acted = true;
  act(shown);
}

}  // namespace

std::u16string WindowText(HWND hwnd) {
  const LRESULT n = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(n < 0 ? 0 : n) + 1, L'\0');
  const LRESULT got =
      SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(got < 0 ? 0 : got));
  return FromWide(text);
}

HWND FindShown(const std::u16string& title, DWORD pid) {
  struct Search {
    const std::u16string* title;
    DWORD pid;
    HWND found;
  } search{&title, pid ? pid : GetCurrentProcessId(), nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == s->pid && IsWindowVisible(hwnd) && WindowText(hwnd) == *s->title) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<ChildWindow> VisibleChildren(HWND parent) {
  struct Walk {
    HWND parent;
    std::vector<ChildWindow> found;
  } walk{parent, {}};
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM l) -> BOOL {
        auto* w = reinterpret_cast<Walk*>(l);
        if (!IsWindowVisible(hwnd)) return TRUE;
        RECT rc{};
        GetWindowRect(hwnd, &rc);
        MapWindowPoints(nullptr, w->parent, reinterpret_cast<POINT*>(&rc), 2);
        w->found.push_back({hwnd, WindowText(hwnd), rc});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
  return walk.found;
}

HWND ChildWithText(HWND parent, const std::u16string& text) {
  for (const ChildWindow& c : VisibleChildren(parent)) {
    if (c.text == text) return c.hwnd;
  }
  return nullptr;
}

void WhenShown(const std::u16string& title, std::function<void(HWND)> act) {
  StopWaiting();
  g_title = title;
  g_act = std::move(act);
  g_acted = false;
  g_timer = SetTimer(nullptr, 0, 20, Poll);
}

bool Acted() { return g_acted; }

void StopWaiting() {
  if (g_timer) KillTimer(nullptr, g_timer);
  g_timer = 0;
}

void PostClick(HWND hwnd) {
  RECT rc{};
  GetClientRect(hwnd, &rc);
  const LPARAM at = MAKELPARAM(rc.right / 2, rc.bottom / 2);
  PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
}

void PostClick(const Control& control) {
  if (control.hWnd()) return PostClick(control.hWnd());
  const RECT rc = control.PixelRect();
  const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  PostMessageW(control.ContainerHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(control.ContainerHwnd(), WM_LBUTTONUP, 0, at);
}

void PostKey(WORD vk) {
  HWND focus = GetFocus();
  PostMessageW(focus, WM_KEYDOWN, vk, 1);
  PostMessageW(focus, WM_KEYUP, vk, 0xC0000001);
}

void RealClick(HWND hwnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(hwnd, &p);
  SetCursorPos(p.x, p.y);
  Sleep(50);
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof in[0]);
}

bool PumpFor(int ms, const std::function<bool()>& until) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return until && until();
      }
      if (!Form::PreTranslateMessage(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    if (until && until()) return true;
    Sleep(5);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
  return until && until();
}

void ForgetUserSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Fuelwise"); }

bool StartProgram(const std::vector<std::wstring>& args, PROCESS_INFORMATION& process) {
  // The build's own exe, named by its Unix path, which the prefix's Z: drive reaches.
  // Tests that start the program are given its path (FUELWISE_PROGRAM_EXE);
  // the others have none.
#ifdef FUELWISE_PROGRAM_EXE
  const std::string unixPath = FUELWISE_PROGRAM_EXE;
#else
  const std::string unixPath;
#endif
  if (unixPath.empty()) return false;
  std::wstring path = L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
  std::replace(path.begin(), path.end(), L'/', L'\\');
  std::wstring line = L"\"" + path + L"\"";
  for (const std::wstring& arg : args) line += L" \"" + arg + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  return CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &process) != FALSE;
}

bool StartProgramUnderTest(const std::wstring& site, PROCESS_INFORMATION& process) {
  ForgetUserSettings();
  const std::wstring origin = L"http://" + site;
  return StartProgram({L"--price-site", origin, L"--chart-site", origin}, process);
}

void ChooseInList(HWND combo, std::u16string_view item) {
  const std::wstring w = ToWide(item);
  const LRESULT i = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(w.c_str()));
  ASSERT_GE(i, 0) << "the item to choose is not in the list";
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

}  // namespace fw::test
