#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "hook/GuardedHook.h"
#include "hook/HookChain.h"
#include "hook/PlainHook.h"
#include "tests/hook/HookTestSupport.h"

namespace fw::test {
namespace {

using hook_detail::IsHookProcedure;
using hook_detail::LiveHookChains;
using hook_detail::LiveHookLayers;

class PlainHookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Rec() = Recorder{};
    m_wnd = CreateRecordingWindow();
    ASSERT_NE(m_wnd, nullptr);
    m_layersBefore = LiveHookLayers();
  }
  void TearDown() override {
    m_hook.reset();
    if (IsWindow(m_wnd)) DestroyWindow(m_wnd);
    Rec() = Recorder{};
    EXPECT_EQ(LiveHookLayers(), m_layersBefore);
    EXPECT_EQ(LiveHookChains(), 0u);
  }
  PlainHook& Hook() { return *m_hook; }

  std::function<void(bool, bool&, LRESULT&, HWND&, UINT&, WPARAM&, LPARAM&)> m_action;
  std::unique_ptr<PlainHook> m_hook = std::make_unique<PlainHook>(
      [this](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hWnd, UINT& uMsg, WPARAM& wParam,
             LPARAM& lParam) {
        Rec().Log(bBefore ? Who::Before : Who::After, uMsg, wParam, lParam);
        if (m_action) m_action(bBefore, bHandled, lReturn, hWnd, uMsg, wParam, lParam);
      });
  HWND m_wnd = nullptr;
  size_t m_layersBefore = 0;
};

// The after call is due for the message as the before call changed it: kMsgA is
// only in the before list, kMsgC only in the after list.
TEST_F(PlainHookTest, BeforeCallChangesWhatThePreviousProcedureReceives) {
  ASSERT_EQ(Hook().HookStart(m_wnd), 0);
  Hook().HookAddMsg(m_wnd, kMsgA, HookWhen::kBefore);
  Hook().HookAddMsg(m_wnd, kMsgC, HookWhen::kAfter);
  m_action = [](bool bBefore, bool&, LRESULT& lReturn, HWND&, UINT& uMsg, WPARAM& wParam, LPARAM& lParam) {
    if (bBefore) {
      uMsg = kMsgC;
      wParam = 20;
      lParam = 30;
    } else {
      lReturn += 1;
    }
  };
  Rec().Start();
  EXPECT_EQ(SendMessageW(m_wnd, kMsgA, 1, 2), AnswerOf(kMsgC) + 1);
  const Step expected[] = {{Who::Before, kMsgA, 1, 2}, {Who::Prev, kMsgC, 20, 30}, {Who::After, kMsgC, 20, 30}};
  ExpectSequence(Rec().steps, expected, "changed parameters reach the previous procedure");
}

TEST_F(PlainHookTest, HandledAndAllMessagesAndDeletion) {
  ASSERT_EQ(Hook().HookStart(m_wnd), 0);
  Hook().HookAddMsg(m_wnd, ALL_MESSAGES, HookWhen::kBefore);
  Hook().HookAddMsg(m_wnd, kMsgB, HookWhen::kAfter);
  m_action = [](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND&, UINT& uMsg, WPARAM&, LPARAM&) {
    if (bBefore && uMsg == kMsgA) {
      bHandled = true;
      lReturn = -4;
    }
  };
  Rec().Start();
  EXPECT_EQ(SendMessageW(m_wnd, kMsgA, 0, 0), -4);
  EXPECT_EQ(SendMessageW(m_wnd, kMsgB, 0, 0), AnswerOf(kMsgB));
  Hook().HookDelMsg(m_wnd, ALL_MESSAGES, HookWhen::kBefore);
  Hook().HookDelMsg(m_wnd, kMsgB, HookWhen::kAfter);
  Hook().HookDelMsg(m_wnd, kMsgD, HookWhen::kAfter);  // never added: ignored
  SendMessageW(m_wnd, kMsgA, 0, 0);
  SendMessageW(m_wnd, kMsgB, 0, 0);
  const Step expected[] = {
      {Who::Before, kMsgA},
      {Who::Before, kMsgB}, {Who::Prev, kMsgB}, {Who::After, kMsgB},
      {Who::Prev, kMsgA}, {Who::Prev, kMsgB},
  };
  ExpectSequence(Rec().steps, expected, "plain hook lists");
}

TEST_F(PlainHookTest, HookStopReleasesAtOnceEvenFromInsideTheCallback) {
  ASSERT_EQ(Hook().HookStart(m_wnd), 0);
  Hook().HookAddMsg(m_wnd, kMsgA, HookWhen::kBoth);
  m_action = [this](bool bBefore, bool&, LRESULT&, HWND& hWnd, UINT&, WPARAM&, LPARAM&) {
    if (bBefore) Hook().HookStop(hWnd);
  };
  Rec().Start();
  EXPECT_EQ(SendMessageW(m_wnd, kMsgA, 0, 0), AnswerOf(kMsgA));
  EXPECT_EQ(ProcOf(m_wnd), RecordingProc()) << "back as soon as the message returned";
  SendMessageW(m_wnd, kMsgA, 0, 0);
  const Step expected[] = {{Who::Before, kMsgA}, {Who::Prev, kMsgA}, {Who::Prev, kMsgA}};
  ExpectSequence(Rec().steps, expected, "stop from inside the before call");
  EXPECT_FALSE(Hook().IsHooked(m_wnd));

  m_action = nullptr;
  ASSERT_EQ(Hook().HookStart(m_wnd), 0) << "the freed entry is reused";
  EXPECT_TRUE(IsHookProcedure(ProcOf(m_wnd)));
  Hook().HookStop(m_wnd);
  EXPECT_EQ(ProcOf(m_wnd), RecordingProc()) << "outside a message: at once";
}

TEST_F(PlainHookTest, EntriesAreReusedFromTheHighestFreeIndexDown) {
  HWND w[5];
  for (HWND& h : w) h = CreateRecordingWindow();
  EXPECT_EQ(Hook().HookStart(w[0]), 0);
  EXPECT_EQ(Hook().HookStart(w[1]), 1);
  EXPECT_EQ(Hook().HookStart(w[2]), 2);
  EXPECT_EQ(Hook().HookStart(w[1]), 1) << "a window already hooked keeps its entry";
  Hook().HookStop(w[0]);
  Hook().HookStop(w[2]);
  EXPECT_EQ(Hook().HookStart(w[3]), 2);
  EXPECT_EQ(Hook().HookStart(w[4]), 0);
  EXPECT_EQ(Hook().HookStart(nullptr), -1);
  EXPECT_EQ(Hook().HookStart(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFF1234))), -1);
  EXPECT_EQ(Hook().ActiveCount(), 3u);
  Hook().HookStopAll();
  EXPECT_EQ(Hook().ActiveCount(), 0u);
  for (HWND h : w) {
    EXPECT_EQ(ProcOf(h), RecordingProc());
    DestroyWindow(h);
  }
}

TEST_F(PlainHookTest, DestroyedWhileHookedFreesTheEntry) {
  ASSERT_EQ(Hook().HookStart(m_wnd), 0);
  Hook().HookAddMsg(m_wnd, WM_DESTROY, HookWhen::kAfter);
  int destroyCalls = 0;
  m_action = [&](bool, bool&, LRESULT&, HWND&, UINT& uMsg, WPARAM&, LPARAM&) { destroyCalls += uMsg == WM_DESTROY; };
  HWND dead = m_wnd;
  DestroyWindow(m_wnd);
  EXPECT_EQ(destroyCalls, 1);
  EXPECT_FALSE(Hook().IsHooked(dead));
  Hook().HookAddMsg(dead, kMsgA, HookWhen::kBefore);  // ignored, like any unknown window
  Hook().HookStop(dead);
  EXPECT_EQ(LiveHookLayers(), m_layersBefore);
}

TEST_F(PlainHookTest, OwnerDestroyedFromInsideItsCallback) {
  ASSERT_EQ(Hook().HookStart(m_wnd), 0);
  Hook().HookAddMsg(m_wnd, kMsgA, HookWhen::kBoth);
  m_action = [this](bool, bool&, LRESULT&, HWND&, UINT&, WPARAM&, LPARAM&) { m_hook.reset(); };
  Rec().Start();
  EXPECT_EQ(SendMessageW(m_wnd, kMsgA, 0, 0), AnswerOf(kMsgA));
  const Step expected[] = {{Who::Before, kMsgA}, {Who::Prev, kMsgA}};
  ExpectSequence(Rec().steps, expected, "a button deleted by its own click");
  EXPECT_EQ(ProcOf(m_wnd), RecordingProc());
}

// Several owners on one window, as on a form that carries a frame, buttons and a bar.
class StackedHooksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Rec() = Recorder{};
    m_wnd = CreateRecordingWindow();
    m_layersBefore = LiveHookLayers();
  }
  void TearDown() override {
    if (IsWindow(m_wnd)) DestroyWindow(m_wnd);
    Rec() = Recorder{};
  }

  // Each owner logs its tag in the wParam column, so the table shows who was called.
  static GuardedHook::HookProc Guarded(int tag) {
    return [tag](bool bBefore, bool&, LRESULT&, HWND, UINT uMsg, WPARAM, LPARAM, LONG_PTR&) {
      Rec().Log(bBefore ? Who::Before : Who::After, uMsg, static_cast<WPARAM>(tag));
    };
  }
  static PlainHook::SubclassProc Plain(int tag) {
    return [tag](bool bBefore, bool&, LRESULT&, HWND&, UINT& uMsg, WPARAM&, LPARAM&) {
      Rec().Log(bBefore ? Who::Before : Who::After, uMsg, static_cast<WPARAM>(tag));
    };
  }

  HWND m_wnd = nullptr;
  size_t m_layersBefore = 0;
  ReportCatcher m_reports;
};

TEST_F(StackedHooksTest, NewestSeesFirstAndAnyLayerMayLeave) {
  GuardedHook frame(L"skForms", Guarded(1));
  PlainHook button(Plain(2));
  GuardedHook frame2(L"skForms", Guarded(3));
  ASSERT_TRUE(frame.sc_Subclass(m_wnd));
  ASSERT_GE(button.HookStart(m_wnd), 0);
  ASSERT_TRUE(frame2.sc_Subclass(m_wnd));
  frame.sc_AddMsg(m_wnd, kMsgA, HookWhen::kBoth);
  button.HookAddMsg(m_wnd, kMsgA, HookWhen::kBoth);
  frame2.sc_AddMsg(m_wnd, kMsgA, HookWhen::kBoth);

  Rec().Start();
  SendMessageW(m_wnd, kMsgA, 0, 0);
  const Step all[] = {{Who::Before, kMsgA, 3}, {Who::Before, kMsgA, 2}, {Who::Before, kMsgA, 1},
                      {Who::Prev, kMsgA},
                      {Who::After, kMsgA, 1},  {Who::After, kMsgA, 2},  {Who::After, kMsgA, 3}};
  ExpectSequence(Rec().steps, all, "three layers");

  button.HookStop(m_wnd);  // the middle one leaves
  Rec().Start();
  SendMessageW(m_wnd, kMsgA, 0, 0);
  const Step twoLeft[] = {{Who::Before, kMsgA, 3}, {Who::Before, kMsgA, 1}, {Who::Prev, kMsgA},
                          {Who::After, kMsgA, 1},  {Who::After, kMsgA, 3}};
  ExpectSequence(Rec().steps, twoLeft, "middle layer gone");

  frame.sc_UnSubclass(m_wnd);  // the oldest leaves (on the next message)
  SendMessageW(m_wnd, WM_NULL, 0, 0);
  Rec().Start();
  SendMessageW(m_wnd, kMsgA, 0, 0);
  const Step oneLeft[] = {{Who::Before, kMsgA, 3}, {Who::Prev, kMsgA}, {Who::After, kMsgA, 3}};
  ExpectSequence(Rec().steps, oneLeft, "oldest layer gone");
  EXPECT_TRUE(IsHookProcedure(ProcOf(m_wnd)));

  frame2.sc_UnSubclass(m_wnd);
  SendMessageW(m_wnd, WM_NULL, 0, 0);
  EXPECT_EQ(ProcOf(m_wnd), RecordingProc());
  EXPECT_EQ(LiveHookLayers(), m_layersBefore);
  EXPECT_EQ(LiveHookChains(), 0u);
  ExpectReports(m_reports.reports, {}, "no failure");
}

// Someone else's subclass on top of ours, in the classic chained way.
WNDPROC g_foreignPrevious = nullptr;
LRESULT CALLBACK ForeignProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  Rec().Log(Who::Outer, uMsg);
  return CallWindowProcW(g_foreignPrevious, hWnd, uMsg, wParam, lParam);
}

TEST_F(StackedHooksTest, ForeignProcedureOnTopKeepsWorkingAfterWeLeave) {
  auto button = std::make_unique<PlainHook>(Plain(2));
  ASSERT_GE(button->HookStart(m_wnd), 0);
  button->HookAddMsg(m_wnd, kMsgA, HookWhen::kBefore);
  g_foreignPrevious = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(m_wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
  ASSERT_TRUE(IsHookProcedure(g_foreignPrevious));

  button.reset();  // we leave while the foreign procedure still calls ours
  EXPECT_EQ(ProcOf(m_wnd), &ForeignProc) << "not ours to restore";
  EXPECT_EQ(LiveHookLayers(), m_layersBefore);
  EXPECT_EQ(LiveHookChains(), 1u) << "an empty pass-through stays for the foreign caller";
  Rec().Start();
  EXPECT_EQ(SendMessageW(m_wnd, kMsgA, 0, 0), AnswerOf(kMsgA));
  const Step passThrough[] = {{Who::Outer, kMsgA}, {Who::Prev, kMsgA}};
  ExpectSequence(Rec().steps, passThrough, "foreign on top of an empty hook");

  // A new hook joins the surviving stack.
  PlainHook bar(Plain(4));
  ASSERT_GE(bar.HookStart(m_wnd), 0);
  bar.HookAddMsg(m_wnd, kMsgA, HookWhen::kAfter);
  Rec().Start();
  SendMessageW(m_wnd, kMsgA, 0, 0);
  const Step joined[] = {{Who::Outer, kMsgA}, {Who::Prev, kMsgA}, {Who::After, kMsgA, 4}};
  ExpectSequence(Rec().steps, joined, "new hook under the foreign one");
  bar.HookStopAll();

  // The foreign procedure leaves; the next message finds ours on top and tidies up.
  SetWindowLongPtrW(m_wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_foreignPrevious));
  SendMessageW(m_wnd, WM_NULL, 0, 0);
  EXPECT_EQ(ProcOf(m_wnd), RecordingProc());
  EXPECT_EQ(LiveHookChains(), 0u);
}

// Other code that subclassed first puts its older procedure back over ours: our
// procedure is out of the window's path, so the window's end never reaches us.
TEST_F(StackedHooksTest, OlderProcedureRestoredOverOursLeavesNothingOnceTheWindowDies) {
  HWND victim = CreateRecordingWindow();
  g_foreignPrevious = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(victim, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
  GuardedHook frame(L"skForms", [](bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) {});
  PlainHook button(Plain(2));
  ASSERT_TRUE(frame.sc_Subclass(victim));
  ASSERT_GE(button.HookStart(victim), 0);
  SetWindowLongPtrW(victim, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_foreignPrevious));
  button.HookStop(victim);
  DestroyWindow(victim);
  // Hooking any other window first ends what the dead one left.
  ASSERT_GE(button.HookStart(m_wnd), 0);
  EXPECT_FALSE(button.IsHooked(victim));
  EXPECT_EQ(frame.RegisteredCount(), 0u) << "the frame was told its window is gone";
  EXPECT_EQ(LiveHookLayers(), m_layersBefore + 1);
  EXPECT_EQ(LiveHookChains(), 1u);
  button.HookStopAll();
}

// Windows are not all checked on every new hook (that made hooking n windows cost
// n squared), yet a dead one among many is still ended, and its owner told, once
// about as many new hooks as there are stacks have come.
TEST_F(StackedHooksTest, ADeadWindowAmongManyHookedOnesIsStillEnded) {
  constexpr int kWindows = 40;
  std::vector<HWND> windows;
  for (int i = 0; i < 2 * kWindows; ++i) windows.push_back(CreateRecordingWindow());
  PlainHook button(Plain(2));
  for (int i = 0; i < kWindows; ++i) ASSERT_GE(button.HookStart(windows[i]), 0);
  HWND victim = CreateRecordingWindow();
  g_foreignPrevious = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(victim, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
  GuardedHook frame(L"skForms", [](bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) {});
  ASSERT_TRUE(frame.sc_Subclass(victim));
  SetWindowLongPtrW(victim, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_foreignPrevious));
  DestroyWindow(victim);
  int hooks = 0;
  for (int i = kWindows; i < 2 * kWindows && frame.RegisteredCount() != 0; ++i, ++hooks) {
    ASSERT_GE(button.HookStart(windows[i]), 0);
  }
  EXPECT_EQ(frame.RegisteredCount(), 0u) << "the frame was told its window is gone";
  EXPECT_LE(hooks, kWindows + 1);
  EXPECT_EQ(LiveHookChains(), static_cast<size_t>(kWindows + hooks));
  button.HookStopAll();
  for (HWND h : windows) DestroyWindow(h);
  EXPECT_EQ(LiveHookChains(), 0u);
}

// A stack is marked on its window (a property) so that a dead window's stack can be
// told from a live one. When the mark cannot be set, here because the system's atom
// table is full, the hook is undone: a stack without its mark would be ended as a
// dead window's while its window lives.
TEST_F(StackedHooksTest, AHookWhoseMarkCannotBeSetIsUndone) {
  ASSERT_EQ(LiveHookChains(), 0u) << "a live stack would keep the mark's atom";
  std::vector<ATOM> filler;
  for (int i = 0; i < 0x10000; ++i) {
    const std::wstring name = L"Fuelwise.Test.AtomFiller." + std::to_wstring(i);
    const ATOM atom = GlobalAddAtomW(name.c_str());
    if (atom == 0) break;
    filler.push_back(atom);
  }
  PlainHook button(Plain(2));
  GuardedHook frame(L"skForms", Guarded(1));
  const int index = button.HookStart(m_wnd);
  const bool subclassed = frame.sc_Subclass(m_wnd);
  const WNDPROC procedure = ProcOf(m_wnd);
  const size_t chains = LiveHookChains();
  for (ATOM atom : filler) GlobalDeleteAtom(atom);
  EXPECT_EQ(index, -1);
  EXPECT_FALSE(subclassed);
  EXPECT_EQ(procedure, RecordingProc());
  EXPECT_EQ(chains, 0u);
  EXPECT_EQ(LiveHookLayers(), m_layersBefore);
  ASSERT_EQ(m_reports.reports.size(), 1u);
  // The call that failed is named: the mark's SetProp, not the procedure's SetWindowLong.
  EXPECT_EQ(m_reports.reports[0].eventText.rfind(L"skForms.sc_Subclass: SetProp failed, error #", 0), 0u)
      << "with the failing call's error";
  // With room in the table again, both hook the window.
  EXPECT_GE(button.HookStart(m_wnd), 0);
  EXPECT_TRUE(frame.sc_Subclass(m_wnd));
}

TEST_F(StackedHooksTest, HundredsOfWindowsLeaveNothingBehind) {
  constexpr int kWindows = 300;
  std::vector<HWND> windows;
  for (int i = 0; i < kWindows; ++i) windows.push_back(CreateRecordingWindow());
  int calls = 0;
  for (int round = 0; round < 3; ++round) {
    {
      GuardedHook frame(L"skForms", [&](bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) { ++calls; });
      PlainHook button([&](bool, bool&, LRESULT&, HWND&, UINT&, WPARAM&, LPARAM&) { ++calls; });
      for (HWND h : windows) {
        ASSERT_TRUE(frame.sc_Subclass(h));
        frame.sc_AddMsg(h, kMsgA, HookWhen::kBoth);
        ASSERT_GE(button.HookStart(h), 0);
        button.HookAddMsg(h, kMsgA, HookWhen::kAfter);
      }
      EXPECT_EQ(LiveHookLayers(), m_layersBefore + 2 * kWindows);
      EXPECT_EQ(LiveHookChains(), static_cast<size_t>(kWindows));
      for (HWND h : windows) SendMessageW(h, kMsgA, 0, 0);
      // Half released by hand, the rest by the owners' destructors.
      for (int i = 0; i < kWindows; i += 2) {
        frame.sc_UnSubclass(windows[i]);
        button.HookStop(windows[i]);
      }
    }
    for (HWND h : windows) SendMessageW(h, WM_NULL, 0, 0);  // the guarded hook's release
    EXPECT_EQ(LiveHookLayers(), m_layersBefore) << "round " << round;
    EXPECT_EQ(LiveHookChains(), 0u) << "round " << round;
    for (HWND h : windows) ASSERT_EQ(ProcOf(h), RecordingProc()) << "round " << round;
  }
  EXPECT_EQ(calls, 3 * kWindows * 3);
  ExpectReports(m_reports.reports, {}, "no failure");

  // What a message costs through two layers, for the record.
  GuardedHook frame(L"skForms", [](bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) {});
  PlainHook button([](bool, bool&, LRESULT&, HWND&, UINT&, WPARAM&, LPARAM&) {});
  LARGE_INTEGER f, t0, t1, t2;
  QueryPerformanceFrequency(&f);
  constexpr int kSends = 20000;
  QueryPerformanceCounter(&t0);
  for (int i = 0; i < kSends; ++i) SendMessageW(windows[0], kMsgB, 0, 0);
  QueryPerformanceCounter(&t1);
  frame.sc_Subclass(windows[0]);
  frame.sc_AddMsg(windows[0], kMsgB, HookWhen::kBoth);
  button.HookStart(windows[0]);
  button.HookAddMsg(windows[0], kMsgB, HookWhen::kBoth);
  for (int i = 0; i < kSends; ++i) SendMessageW(windows[0], kMsgB, 0, 0);
  QueryPerformanceCounter(&t2);
  const double plainUs = 1e6 * static_cast<double>(t1.QuadPart - t0.QuadPart) / f.QuadPart / kSends;
  const double hookedUs = 1e6 * static_cast<double>(t2.QuadPart - t1.QuadPart) / f.QuadPart / kSends;
  std::printf("[ measure  ] SendMessage: %.3f us unhooked, %.3f us through a guarded and a plain hook\n", plainUs,
              hookedUs);
  button.HookStopAll();
  frame.sc_UnSubclassAll();
  for (HWND h : windows) DestroyWindow(h);
  EXPECT_EQ(LiveHookLayers(), m_layersBefore);
  EXPECT_EQ(LiveHookChains(), 0u);
}

}  // namespace
}  // namespace fw::test
