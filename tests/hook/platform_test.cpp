#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "hook/ErrorReporting.h"
#include "hook/GuardedHook.h"
#include "hook/HookChain.h"
#include "hook/MouseLeave.h"
#include "hook/PlainHook.h"
#include "tests/hook/HookTestSupport.h"

namespace fw::test {

// The other end of the cross-process test: this exe started with --child-window.
int RunChildWindow() {
  HWND wnd = CreateRecordingWindow();
  if (wnd == nullptr) return 2;
  std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(wnd)));
  std::fflush(stdout);
  SetTimer(wnd, 1, 30000, nullptr);  // never outlive a parent that forgot us
  MSG msg;
  while (IsWindow(wnd) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER || msg.message == WM_CLOSE) break;
    DispatchMessageW(&msg);
  }
  if (IsWindow(wnd)) DestroyWindow(wnd);
  return 0;
}

namespace {

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h != nullptr && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using unique_handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// Starts the child and reads the handle of its window.
class ChildWindow {
 public:
  ChildWindow() {
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &sa, 0)) return;
    unique_handle readEnd(read), writeEnd(write);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --child-window";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return;
    m_process.reset(pi.hProcess);
    CloseHandle(pi.hThread);
    writeEnd.reset();
    std::string line;
    char c = 0;
    DWORD got = 0;
    while (ReadFile(read, &c, 1, &got, nullptr) && got == 1 && c != '\n') line.push_back(c);
    if (!line.empty()) m_wnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::stoull(line)));
  }
  ~ChildWindow() {
    if (m_wnd != nullptr) PostMessageW(m_wnd, WM_CLOSE, 0, 0);
    if (m_process) WaitForSingleObject(m_process.get(), 10000);
  }
  HWND Window() const { return m_wnd; }

 private:
  unique_handle m_process;
  HWND m_wnd = nullptr;
};

TEST(CrossProcessTest, AWindowOfAnotherProcessIsRefused) {
  ChildWindow child;
  ASSERT_NE(child.Window(), nullptr);
  ASSERT_TRUE(IsWindow(child.Window()));
  DWORD pid = 0;
  GetWindowThreadProcessId(child.Window(), &pid);
  ASSERT_NE(pid, GetCurrentProcessId());

  ReportCatcher reports;
  const size_t layers = hook_detail::LiveHookLayers();
  GuardedHook frame(L"skForms", [](bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) {});
  EXPECT_FALSE(frame.sc_Subclass(child.Window()));
  ExpectReports(reports.reports, {{L"sc_Subclass", L"Window handle belongs to another process"}}, "other process");
  PlainHook button([](bool, bool&, LRESULT&, HWND&, UINT&, WPARAM&, LPARAM&) {});
  EXPECT_EQ(button.HookStart(child.Window()), -1);
  EXPECT_EQ(hook_detail::LiveHookLayers(), layers);
  EXPECT_EQ(hook_detail::LiveHookChains(), 0u);
  EXPECT_EQ(SendMessageW(child.Window(), kMsgC, 0, 0), AnswerOf(kMsgC)) << "the child still answers";
}

TEST(ExportProbeTest, FindsRealExportsOnly) {
  EXPECT_TRUE(IsFunctionExported(L"TrackMouseEvent", L"User32"));
  EXPECT_TRUE(IsFunctionExported(L"_TrackMouseEvent", L"Comctl32"));
  EXPECT_FALSE(IsFunctionExported(L"TrackMouseEventNoSuchThing", L"User32"));
  EXPECT_FALSE(IsFunctionExported(L"TrackMouseEvent", L"NoSuchModuleAnywhere"));
  EXPECT_FALSE(IsFunctionExported(L"", L"User32"));
  EXPECT_FALSE(IsFunctionExported(L"Track\u00e9", L"User32"));
  // A module that is not loaded is loaded for the probe and let go again.
  const struct { const wchar_t* module; const wchar_t* function; } candidates[] = {
      {L"msimg32.dll", L"TransparentBlt"}, {L"version.dll", L"GetFileVersionInfoW"},
      {L"winspool.drv", L"OpenPrinterW"}, {L"hid.dll", L"HidD_GetHidGuid"}};
  bool probed = false;
  for (const auto& c : candidates) {
    if (GetModuleHandleW(c.module) != nullptr) continue;
    EXPECT_TRUE(IsFunctionExported(c.function, c.module)) << c.module;
    EXPECT_EQ(GetModuleHandleW(c.module), nullptr) << "left loaded: " << c.module;
    probed = true;
    break;
  }
  EXPECT_TRUE(probed) << "every candidate module was already loaded";
  EXPECT_TRUE(MouseLeaveTracker::Available());
}

// A visible window whose hover state follows the real pointer.
class MouseLeaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Rec() = Recorder{};
    m_wnd = CreateRecordingWindow();
    ASSERT_TRUE(m_hook.HookStart(m_wnd) >= 0);
    m_hook.HookAddMsg(m_wnd, WM_MOUSEMOVE, HookWhen::kAfter);
    m_hook.HookAddMsg(m_wnd, WM_MOUSELEAVE, HookWhen::kAfter);
  }
  void TearDown() override {
    DestroyWindow(m_wnd);
    Rec() = Recorder{};
  }

  // Pumps until `done` or the time is up.
  template <typename Pred>
  bool PumpUntil(Pred done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done() && GetTickCount64() < end) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return done();
  }

  std::vector<HoverChange> m_changes;
  MouseLeaveTracker m_tracker;
  PlainHook m_hook{[this](bool, bool&, LRESULT&, HWND& hWnd, UINT& uMsg, WPARAM&, LPARAM&) {
    const HoverChange change = m_tracker.OnMessage(hWnd, uMsg);
    if (change != HoverChange::kNone) m_changes.push_back(change);
  }};
  HWND m_wnd = nullptr;
};

TEST_F(MouseLeaveTest, PatternFromMessagesSentDirectly) {
  const UINT sequence[] = {WM_MOUSEMOVE, WM_MOUSEMOVE, WM_MOUSELEAVE, WM_MOUSELEAVE, WM_MOUSEMOVE};
  for (UINT m : sequence) SendMessageW(m_wnd, m, 0, MAKELPARAM(5, 5));
  // Each leave notice reaches the owner, the second one too.
  const std::vector<HoverChange> expected = {HoverChange::kEntered, HoverChange::kLeft,
                                             HoverChange::kLeft, HoverChange::kEntered};
  EXPECT_EQ(m_changes, expected);
  EXPECT_TRUE(m_tracker.Inside());
}

TEST_F(MouseLeaveTest, RealPointerEntersAndLeaves) {
  SetWindowPos(m_wnd, HWND_TOPMOST, 200, 200, 200, 150, SWP_SHOWWINDOW);
  UpdateWindow(m_wnd);
  RECT r;
  GetWindowRect(m_wnd, &r);
  SetCursorPos(5, 5);
  PumpUntil([] { return false; }, 200);
  m_changes.clear();
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  const bool entered = PumpUntil([&] { return !m_changes.empty(); }, 3000);
  if (!entered) GTEST_SKIP() << "no WM_MOUSEMOVE from a moved pointer on this display";
  EXPECT_EQ(m_changes.front(), HoverChange::kEntered);
  SetCursorPos(r.right + 200, r.bottom + 200);
  ASSERT_TRUE(PumpUntil([&] { return m_changes.size() >= 2; }, 3000)) << "no WM_MOUSELEAVE arrived";
  const std::vector<HoverChange> expected = {HoverChange::kEntered, HoverChange::kLeft};
  EXPECT_EQ(m_changes, expected);
  EXPECT_FALSE(m_tracker.Inside());
}

TEST(ErrorReportingTest, EventLogAcceptsTheEntry) {
  EXPECT_TRUE(WriteEventLogError(L"skForms.zDelMsg: Message &H200 not found in table"));
}

// The real default sink: finds the warning box from another thread, reads it, closes it.
TEST(ErrorReportingTest, DefaultSinkShowsTheWarningBox) {
  std::atomic<bool> stop{false};
  std::wstring seenText;
  LONG_PTR seenStyle = 0;
  std::thread closer([&] {
    for (int i = 0; i < 500 && !stop; ++i) {
      if (HWND box = FindWindowW(L"#32770", L"Error in skForms.zDelMsg")) {
        wchar_t text[256] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        seenText = text;
        seenStyle = GetWindowLongPtrW(box, GWL_STYLE);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(20);
    }
  });
  HWND wnd = CreateRecordingWindow();
  GuardedHook frame(L"skForms", [](bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) {});
  ASSERT_TRUE(frame.sc_Subclass(wnd));
  frame.sc_DelMsg(wnd, 512, HookWhen::kBefore);  // blocks until the closer clicks OK
  stop = true;
  closer.join();
  EXPECT_EQ(seenText, L"Message &H200 not found in table.");
  EXPECT_NE(seenStyle, 0);
  DestroyWindow(wnd);
}

}  // namespace
}  // namespace fw::test
