// Fuelwise as a user meets it: the program runs as a process of its own
// against the sample price site, and this test drives it only from outside,
// with the pointer, keys and window messages any other program could send,
// and reads it through the window texts and lists (WM_GETTEXT, CB_GETLBTEXT).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/app/price/SiteTestSupport.h"

namespace fw {
namespace {

using Texts = std::vector<std::wstring>;

constexpr wchar_t kCaption[] = L"Fuelwise v1.0.0110";

std::wstring Text(HWND hwnd) {
  wchar_t buf[512] = {};
  const LRESULT n = SendMessageW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf));
  return std::wstring(buf, static_cast<size_t>(n < 0 ? 0 : n));
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t buf[128] = {};
  return std::wstring(buf, static_cast<size_t>(GetClassNameW(hwnd, buf, 128)));
}

struct Child {
  HWND hwnd;
  std::wstring text, kind;
  RECT rect;  // screen
};

std::vector<Child> Children(HWND parent) {
  std::vector<Child> found;
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM l) -> BOOL {
        if (!IsWindowVisible(hwnd)) return TRUE;
        RECT rc{};
        GetWindowRect(hwnd, &rc);
        reinterpret_cast<std::vector<Child>*>(l)->push_back({hwnd, Text(hwnd), ClassOf(hwnd), rc});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND ChildWithText(HWND parent, const std::wstring& text) {
  for (const Child& c : Children(parent)) {
    if (c.text == text) return c.hwnd;
  }
  return nullptr;
}

// A visible top-level window of process `pid` titled `title`.
HWND FindShown(DWORD pid, const std::wstring& title) {
  struct Search {
    DWORD pid;
    const std::wstring* title;
    HWND found;
  } s{pid, &title, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == s->pid && IsWindowVisible(hwnd) && Text(hwnd) == *s->title) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

bool WaitFor(int ms, const std::function<bool()>& done) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (!done()) {
    if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
    Sleep(20);
  }
  return true;
}

void Click(HWND hwnd, int x = -1, int y = -1) {
  RECT rc{};
  GetClientRect(hwnd, &rc);
  POINT p{x < 0 ? rc.right / 2 : x, y < 0 ? rc.bottom / 2 : y};
  ClientToScreen(hwnd, &p);
  SetCursorPos(p.x, p.y);
  Sleep(50);
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof in[0]);
  Sleep(100);
}

Texts ComboItems(HWND combo) {
  Texts items;
  const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    wchar_t buf[256] = {};
    const LRESULT got = SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
    items.emplace_back(buf, static_cast<size_t>(got < 0 ? 0 : got));
  }
  return items;
}

// What a choice in the dropped list does: the list selects, the box tells its parent.
void Choose(HWND combo, const std::wstring& item) {
  const LRESULT i = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(item.c_str()));
  ASSERT_GE(i, 0) << "no such item";
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

size_t Fetches(const std::string& page) {
  size_t n = 0;
  for (const std::string& line : RequestLog()) n += line.find(page) != std::string::npos;
  return n;
}

class ProgramTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (m_process.hProcess) {
      if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_process.hProcess, 9);
      CloseHandle(m_process.hProcess);
      CloseHandle(m_process.hThread);
    }
  }

  // Starts the program against `site` and waits for its window.
  void Start(const std::wstring& site) {
    SetEnvironmentVariableW(L"FUELWISE_TEST_SITE", site.c_str());
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path(exe);
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"FuelwiseUnderTest.exe";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    ASSERT_TRUE(CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &m_process))
        << "cannot start " << std::string(path.begin(), path.end());
    const DWORD start = GetTickCount();
    ASSERT_TRUE(WaitFor(30000, [&] { return (m_main = FindShown(m_process.dwProcessId, kCaption)); }))
        << "the window did not show";
    m_startMs = GetTickCount() - start;
    SetForegroundWindow(m_main);
    Sleep(300);
  }

  // The province and the city box: the platform's combo boxes inside the
  // image combo boxes, top to bottom.
  std::vector<HWND> Combos() const {
    std::vector<Child> combos;
    for (const Child& c : Children(m_main)) {
      if (c.kind == L"ComboBox") combos.push_back(c);
    }
    std::sort(combos.begin(), combos.end(), [](auto& a, auto& b) { return a.rect.top < b.rect.top; });
    std::vector<HWND> out;
    for (const Child& c : combos) out.push_back(c.hwnd);
    return out;
  }

  bool Shows(const std::wstring& text) const { return ChildWithText(m_main, text) != nullptr; }

  // Ends the program as Alt+F4 does; true when the process ended with 0.
  bool Close() {
    PostMessageW(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (WaitForSingleObject(m_process.hProcess, 15000) != WAIT_OBJECT_0) return false;
    DWORD code = 99;
    GetExitCodeProcess(m_process.hProcess, &code);
    return code == 0;
  }

  PROCESS_INFORMATION m_process{};
  HWND m_main = nullptr;
  DWORD m_startMs = 0;
};

TEST_F(ProgramTest, AUsersSession) {
  Start(SiteHost());
  // The provinces are offered.
  std::vector<HWND> combos = Combos();
  ASSERT_EQ(combos.size(), 2u);
  EXPECT_EQ(ComboItems(combos[0]),
            (Texts{L"广东", L"浙江", L"江苏", L"四川", L"山东", L"湖北"}));
  EXPECT_TRUE(ComboItems(combos[1]).empty());

  // Refresh with no city: the program's own warning box; OK closes it.
  HWND refresh = ChildWithText(m_main, L"刷新");
  ASSERT_TRUE(refresh);
  Click(refresh);
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor(5000, [&] { return (box = FindShown(m_process.dwProcessId, L"提示")); }));
  EXPECT_TRUE(ChildWithText(box, L"您还没有选择城市了!"));
  EXPECT_FALSE(IsWindowEnabled(m_main));
  Click(ChildWithText(box, L"OK"));
  EXPECT_TRUE(WaitFor(3000, [&] { return !IsWindow(box) || !IsWindowVisible(box); }));
  EXPECT_TRUE(IsWindowEnabled(m_main));

  // A province and a city: the four prices.
  Choose(combos[0], L"广东");
  EXPECT_EQ(ComboItems(combos[1]), (Texts{L"广州", L"深圳", L"珠海", L"佛山"}));
  ClearRequestLog();
  Choose(combos[1], L"广州");
  for (const wchar_t* price : {L"7.17", L"7.74", L"8.38", L"7.41"}) {
    EXPECT_TRUE(WaitFor(3000, [&] { return Shows(price); })) << "price " << char(price[0]);
  }
  EXPECT_EQ(Fetches("guangzhou"), 1u);

  // Refresh fetches the city's page again.
  Click(refresh);
  EXPECT_TRUE(WaitFor(3000, [] { return Fetches("guangzhou") == 2; }));
  EXPECT_TRUE(Shows(L"8.38"));

  // The status bar (along the bottom) opens the about window; the main window
  // takes no input until it is closed.
  RECT client{};
  GetClientRect(m_main, &client);
  Click(m_main, 100, client.bottom - 10);
  HWND about = nullptr;
  ASSERT_TRUE(WaitFor(5000, [&] { return (about = FindShown(m_process.dwProcessId, L"关于")); }));
  EXPECT_TRUE(ChildWithText(about, kCaption)) << "the about window's title line";
  EXPECT_TRUE(ChildWithText(about, L"2018/01/10"));
  EXPECT_FALSE(IsWindowEnabled(m_main));
  Click(ChildWithText(about, L"退出"));
  EXPECT_TRUE(WaitFor(3000, [&] { return !IsWindow(about) || !IsWindowVisible(about); }));
  EXPECT_TRUE(IsWindowEnabled(m_main));

  EXPECT_TRUE(Close()) << "closing the window did not end the program";
}

// A site that is down or answers errors: the window opens all the same,
// with no province and no box of any kind.
TEST_F(ProgramTest, ABrokenSiteOpensQuietly) {
  for (const std::wstring& site :
       {L"127.0.0.1:" + std::to_wstring(ClosedPort()), SiteHost() + L"/faults/500.asp?x="}) {
    Start(site);
    EXPECT_LT(m_startMs, 20000u);
    std::vector<HWND> combos = Combos();
    ASSERT_EQ(combos.size(), 2u);
    EXPECT_TRUE(ComboItems(combos[0]).empty());
    Sleep(300);
    EXPECT_FALSE(FindShown(m_process.dwProcessId, L"提示"));
    EXPECT_TRUE(Close());
    TearDown();
    m_process = {};
  }
}

}  // namespace
}  // namespace fw
