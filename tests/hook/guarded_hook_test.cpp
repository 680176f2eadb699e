#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "hook/GuardedHook.h"
#include "hook/HookChain.h"
#include "hook/HookReport.h"
#include "tests/hook/HookTestSupport.h"

namespace fw::test {
namespace {

using hook_detail::LiveHookChains;
using hook_detail::LiveHookLayers;

// A frame-like owner: records both calls, then runs the test's action.
class GuardedHookTest : public ::testing::Test {
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
    EXPECT_EQ(LiveHookLayers(), m_layersBefore) << "a hook record outlived its window";
  }

  GuardedHook& Hook() { return *m_hook; }

  std::function<void(bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&)> m_action;
  std::unique_ptr<GuardedHook> m_hook = std::make_unique<GuardedHook>(
      L"skForms", [this](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND hWnd, UINT uMsg, WPARAM wParam,
                         LPARAM lParam, LONG_PTR& userValue) {
        Rec().Log(bBefore ? Who::Before : Who::After, uMsg, wParam, lParam);
        if (m_action) m_action(bBefore, bHandled, lReturn, hWnd, uMsg, wParam, lParam, userValue);
      });
  ReportCatcher m_reports;
  HWND m_wnd = nullptr;
  size_t m_layersBefore = 0;
};

TEST_F(GuardedHookTest, BeforePreviousAfterInOrderForListedMessagesOnly) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  EXPECT_TRUE(hook_detail::IsHookProcedure(ProcOf(m_wnd)));
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kBoth);
  Hook().sc_AddMsg(m_wnd, kMsgB, HookWhen::kAfter);
  Hook().sc_AddMsg(m_wnd, kMsgC, HookWhen::kBefore);
  Rec().Start();
  EXPECT_EQ(SendMessageW(m_wnd, kMsgA, 1, 2), AnswerOf(kMsgA));
  EXPECT_EQ(SendMessageW(m_wnd, kMsgB, 3, 4), AnswerOf(kMsgB));
  EXPECT_EQ(SendMessageW(m_wnd, kMsgC, 5, 6), AnswerOf(kMsgC));
  EXPECT_EQ(SendMessageW(m_wnd, kMsgD, 7, 8), AnswerOf(kMsgD));
  const Step expected[] = {
      {Who::Before, kMsgA, 1, 2}, {Who::Prev, kMsgA, 1, 2}, {Who::After, kMsgA, 1, 2},
      {Who::Prev, kMsgB, 3, 4},   {Who::After, kMsgB, 3, 4},
      {Who::Before, kMsgC, 5, 6}, {Who::Prev, kMsgC, 5, 6},
      {Who::Prev, kMsgD, 7, 8},
  };
  ExpectSequence(Rec().steps, expected, "listed messages through the guarded hook");
  ExpectReports(m_reports.reports, {}, "no failure");
}

TEST_F(GuardedHookTest, HandledBeforeCallShortCircuitsWithItsResult) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kBoth);
  m_action = [](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) {
    EXPECT_FALSE(bHandled);
    if (bBefore) {
      EXPECT_EQ(lReturn, 0) << "lReturn starts at 0 in the before call";
      lReturn = 77;
      bHandled = true;
    }
  };
  Rec().Start();
  EXPECT_EQ(SendMessageW(m_wnd, kMsgA, 0, 0), 77);
  const Step expected[] = {{Who::Before, kMsgA}};
  ExpectSequence(Rec().steps, expected, "handled in the before call");
}

TEST_F(GuardedHookTest, AfterCallSeesAndChangesTheResult) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, kMsgB, HookWhen::kAfter);
  LRESULT seen = -1;
  m_action = [&](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) {
    if (bBefore) return;
    seen = lReturn;
    lReturn += 1000;
    bHandled = true;  // no effect after the fact
  };
  EXPECT_EQ(SendMessageW(m_wnd, kMsgB, 0, 0), AnswerOf(kMsgB) + 1000);
  EXPECT_EQ(seen, AnswerOf(kMsgB));
}

TEST_F(GuardedHookTest, UnSubclassInsideAfterCallReleasesOnTheNextMessage) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kAfter);
  Hook().sc_AddMsg(m_wnd, kMsgB, HookWhen::kBoth);
  m_action = [this](bool bBefore, bool&, LRESULT&, HWND hWnd, UINT uMsg, WPARAM, LPARAM, LONG_PTR&) {
    if (!bBefore && uMsg == kMsgA) Hook().sc_UnSubclass(hWnd);
  };
  Rec().Start();
  EXPECT_EQ(SendMessageW(m_wnd, kMsgA, 0, 0), AnswerOf(kMsgA));
  EXPECT_TRUE(hook_detail::IsHookProcedure(ProcOf(m_wnd))) << "kept until the next message";
  EXPECT_EQ(Hook().RegisteredCount(), 0u) << "but already forgotten by its owner";
  EXPECT_EQ(SendMessageW(m_wnd, kMsgB, 0, 0), AnswerOf(kMsgB));
  EXPECT_EQ(ProcOf(m_wnd), RecordingProc()) << "the window's own procedure is back";
  EXPECT_EQ(SendMessageW(m_wnd, kMsgB, 0, 0), AnswerOf(kMsgB));
  const Step expected[] = {
      {Who::Prev, kMsgA}, {Who::After, kMsgA},
      {Who::Prev, kMsgB},  // the next message: tables emptied, reaches the procedure, releases
      {Who::Prev, kMsgB},  // no hook any more
  };
  ExpectSequence(Rec().steps, expected, "release from inside the after call");
  EXPECT_EQ(LiveHookLayers(), m_layersBefore);
  EXPECT_EQ(LiveHookChains(), 0u);
  ExpectReports(m_reports.reports, {}, "no failure");
}

TEST_F(GuardedHookTest, ReleaseAskedInANestedMessageWaitsUntilNestingIsZero) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kBoth);
  Hook().sc_AddMsg(m_wnd, kMsgB, HookWhen::kBoth);
  bool hookedAfterInner = false;
  Rec().inPrev = [&](HWND hWnd, UINT uMsg, WPARAM, LPARAM) {
    if (uMsg != kMsgA) return;
    SendMessageW(hWnd, kMsgB, 0, 0);  // re-entrant dispatch from the previous procedure
    hookedAfterInner = hook_detail::IsHookProcedure(ProcOf(hWnd));
    Rec().Log(Who::Outer, kMsgB);
  };
  m_action = [this](bool bBefore, bool&, LRESULT&, HWND hWnd, UINT uMsg, WPARAM, LPARAM, LONG_PTR&) {
    if (bBefore && uMsg == kMsgB) Hook().sc_UnSubclass(hWnd);
  };
  Rec().Start();
  EXPECT_EQ(SendMessageW(m_wnd, kMsgA, 0, 0), AnswerOf(kMsgA));
  const Step expected[] = {
      {Who::Before, kMsgA}, {Who::Prev, kMsgA},
      {Who::Before, kMsgB},  // asks for the release
      {Who::Prev, kMsgB},    // inner: nesting 2 -> 1, no release, tables already empty
      {Who::Outer, kMsgB},   // back in the outer previous procedure
      // outer: nesting 1 -> 0, released at once, no after call
  };
  ExpectSequence(Rec().steps, expected, "release requested during re-entrant dispatch");
  EXPECT_TRUE(hookedAfterInner) << "released while the outer message was still inside";
  EXPECT_EQ(ProcOf(m_wnd), RecordingProc());
  EXPECT_EQ(LiveHookLayers(), m_layersBefore);
}

TEST_F(GuardedHookTest, ReleaseAskedInABeforeCallThatSendsAgainWaitsForTheOuterMessage) {
  // The outer message is still inside its before callback when the inner one finds
  // nesting 0: the record must survive until the outer call is done with it.
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kBoth);
  m_action = [this](bool bBefore, bool&, LRESULT& lReturn, HWND hWnd, UINT uMsg, WPARAM, LPARAM, LONG_PTR&) {
    if (!bBefore || uMsg != kMsgA) return;
    Hook().sc_UnSubclass(hWnd);
    SendMessageW(hWnd, kMsgB, 0, 0);
    lReturn = 5;
  };
  Rec().Start();
  EXPECT_EQ(SendMessageW(m_wnd, kMsgA, 0, 0), AnswerOf(kMsgA));
  const Step expected[] = {{Who::Before, kMsgA}, {Who::Prev, kMsgB}, {Who::Prev, kMsgA}};
  ExpectSequence(Rec().steps, expected, "release asked in a before call that sends");
  EXPECT_EQ(ProcOf(m_wnd), RecordingProc());
}

TEST_F(GuardedHookTest, TableOverflowsAtThirtyTwoEntries) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  for (UINT i = 0; i < MSG_ENTRIES; ++i) Hook().sc_AddMsg(m_wnd, WM_APP + 0x20 + i, HookWhen::kBefore);
  ExpectReports(m_reports.reports, {}, "32 entries fit");
  Hook().sc_AddMsg(m_wnd, WM_APP + 0x80, HookWhen::kBefore);  // a 33rd
  Hook().sc_AddMsg(m_wnd, WM_APP + 0x20, HookWhen::kBefore);  // already present
  Hook().sc_DelMsg(m_wnd, WM_APP + 0x21, HookWhen::kBefore);  // frees a slot, count stays 32
  Hook().sc_AddMsg(m_wnd, WM_APP + 0x80, HookWhen::kBefore);
  Hook().sc_AddMsg(m_wnd, WM_APP + 0x81, HookWhen::kAfter);  // the other table is not full
  ExpectReports(m_reports.reports,
                {{L"zAddMsg", std::wstring(kTableOverflow)},
                 {L"zAddMsg", std::wstring(kTableOverflow)},
                 {L"zAddMsg", std::wstring(kTableOverflow)}},
                "adds once the count reached 32");
  Rec().Start();
  SendMessageW(m_wnd, WM_APP + 0x20, 0, 0);
  SendMessageW(m_wnd, WM_APP + 0x21, 0, 0);
  SendMessageW(m_wnd, WM_APP + 0x3F, 0, 0);
  SendMessageW(m_wnd, WM_APP + 0x80, 0, 0);
  const Step expected[] = {
      {Who::Before, WM_APP + 0x20}, {Who::Prev, WM_APP + 0x20},
      {Who::Prev, WM_APP + 0x21},  // deleted
      {Who::Before, WM_APP + 0x3F}, {Who::Prev, WM_APP + 0x3F},
      {Who::Prev, WM_APP + 0x80},  // refused
  };
  ExpectSequence(Rec().steps, expected, "a full table keeps working");
}

TEST_F(GuardedHookTest, BelowThirtyTwoAFreedSlotIsReused) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kBefore);
  Hook().sc_AddMsg(m_wnd, kMsgB, HookWhen::kBefore);
  Hook().sc_DelMsg(m_wnd, kMsgA, HookWhen::kBefore);
  Hook().sc_AddMsg(m_wnd, kMsgC, HookWhen::kBefore);
  Hook().sc_AddMsg(m_wnd, kMsgB, HookWhen::kBefore);
  for (UINT i = 0; i < MSG_ENTRIES - 2; ++i) Hook().sc_AddMsg(m_wnd, WM_APP + 0x20 + i, HookWhen::kBefore);
  ExpectReports(m_reports.reports, {}, "the reused slot left room for 30 more");
  Rec().Start();
  for (UINT m : {kMsgA, kMsgB, kMsgC}) SendMessageW(m_wnd, m, 0, 0);
  const Step expected[] = {{Who::Prev, kMsgA}, {Who::Before, kMsgB}, {Who::Prev, kMsgB},
                           {Who::Before, kMsgC}, {Who::Prev, kMsgC}};
  ExpectSequence(Rec().steps, expected, "delete and reuse");
}

TEST_F(GuardedHookTest, AllMessagesThenOneSpecificMessage) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, ALL_MESSAGES, HookWhen::kBefore);
  Rec().Start();
  SendMessageW(m_wnd, kMsgA, 0, 0);
  SendMessageW(m_wnd, WM_NULL, 0, 0);
  Hook().sc_AddMsg(m_wnd, kMsgC, HookWhen::kBefore);
  SendMessageW(m_wnd, kMsgA, 0, 0);
  SendMessageW(m_wnd, kMsgC, 0, 0);
  const Step expected[] = {
      {Who::Before, kMsgA}, {Who::Prev, kMsgA}, {Who::Before, WM_NULL}, {Who::Prev, WM_NULL},
      {Who::Prev, kMsgA}, {Who::Before, kMsgC}, {Who::Prev, kMsgC},
  };
  ExpectSequence(Rec().steps, expected, "ALL_MESSAGES, then only kMsgC");
}

TEST_F(GuardedHookTest, DeletingAMessageNeverAddedIsReportedInHex) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_DelMsg(m_wnd, 512, HookWhen::kBefore);
  Hook().sc_DelMsg(m_wnd, 0xC0DE, HookWhen::kBoth);
  ExpectReports(m_reports.reports,
                {{L"zDelMsg", L"Message &H200 not found in table"},
                 {L"zDelMsg", L"Message &HC0DE not found in table"},
                 {L"zDelMsg", L"Message &HC0DE not found in table"}},
                "deleting what is not there");
  ASSERT_FALSE(m_reports.reports.empty());
  EXPECT_EQ(m_reports.reports[0].eventText, L"skForms.zDelMsg: Message &H200 not found in table");
  EXPECT_EQ(m_reports.reports[0].boxText, L"Message &H200 not found in table.");
  EXPECT_EQ(m_reports.reports[0].boxTitle, L"Error in skForms.zDelMsg");
}

TEST_F(GuardedHookTest, SameWindowTwiceIsRefusedAndTheFirstHookKeepsWorking) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kBefore);
  EXPECT_FALSE(Hook().sc_Subclass(m_wnd, 9));
  ExpectReports(m_reports.reports, {{L"sc_Subclass", L"Window handle is already subclassed"}}, "twice");
  EXPECT_EQ(LiveHookLayers(), m_layersBefore + 1) << "nothing allocated stays behind";
  EXPECT_EQ(Hook().sc_UserValue(m_wnd), 0) << "the first hook's user value is untouched";
  Rec().Start();
  SendMessageW(m_wnd, kMsgA, 0, 0);
  const Step expected[] = {{Who::Before, kMsgA}, {Who::Prev, kMsgA}};
  ExpectSequence(Rec().steps, expected, "the first hook after the refused second");
}

TEST_F(GuardedHookTest, InvalidHandlesAreRefused) {
  HWND dead = CreateRecordingWindow();
  DestroyWindow(dead);
  EXPECT_FALSE(Hook().sc_Subclass(nullptr));
  EXPECT_FALSE(Hook().sc_Subclass(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFF1234))));
  EXPECT_FALSE(Hook().sc_Subclass(dead));
  ExpectReports(m_reports.reports,
                {{L"sc_Subclass", L"Invalid window handle"},
                 {L"sc_Subclass", L"Invalid window handle"},
                 {L"sc_Subclass", L"Invalid window handle"}},
                "invalid handles");
  EXPECT_EQ(LiveHookLayers(), m_layersBefore);
  // A refusal before the registry exists leaves it unstarted.
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kBefore);
  EXPECT_EQ(m_reports.reports.back().eventText, L"skForms.zMap_hWnd: Subclassing hasn't been started");
}

TEST_F(GuardedHookTest, NoCallbackAnywhereIsRefused) {
  GuardedHook bare(L"skForms", nullptr);
  EXPECT_FALSE(bare.sc_Subclass(m_wnd));
  ExpectReports(m_reports.reports, {{L"sc_Subclass", L"Callback method not found"}}, "no callback");
  EXPECT_EQ(ProcOf(m_wnd), RecordingProc());
  // A callback passed to sc_Subclass stands in for the owner's own.
  int calls = 0;
  EXPECT_TRUE(bare.sc_Subclass(m_wnd, 0, [&](bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) {
    ++calls;
  }));
  bare.sc_AddMsg(m_wnd, kMsgA, HookWhen::kBefore);
  SendMessageW(m_wnd, kMsgA, 0, 0);
  EXPECT_EQ(calls, 1);
}

TEST_F(GuardedHookTest, LookupsWithoutAHookAreReportedByName) {
  HWND other = CreateRecordingWindow();
  Hook().sc_UnSubclass(m_wnd);
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kBefore);
  EXPECT_EQ(Hook().sc_UserValue(m_wnd), 0);
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(other, kMsgA, HookWhen::kBefore);
  EXPECT_EQ(Hook().sc_CallPrevWndProc(other, kMsgA, 0, 0), 0);
  Hook().sc_UnSubclass(other);
  Hook().sc_UnSubclassAll();
  Hook().sc_DelMsg(m_wnd, kMsgA, HookWhen::kBefore);
  ExpectReports(m_reports.reports,
                {{L"sc_UnSubclass", L"Window handle isn't subclassed"},
                 {L"zMap_hWnd", L"Subclassing hasn't been started"},
                 {L"zMap_hWnd", L"Subclassing hasn't been started"},
                 {L"zMap_hWnd", L"Window handle isn't subclassed"},
                 {L"zMap_hWnd", L"Window handle isn't subclassed"},
                 {L"zMap_hWnd", L"Window handle isn't subclassed"},
                 {L"zMap_hWnd", L"Subclassing hasn't been started"}},
                "lookups of windows that are not hooked");
  DestroyWindow(other);
}

TEST_F(GuardedHookTest, UserValueIsPassedByReference) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd, 5));
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kBoth);
  std::vector<LONG_PTR> seen;
  m_action = [&](bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR& userValue) {
    seen.push_back(userValue);
    ++userValue;
  };
  SendMessageW(m_wnd, kMsgA, 0, 0);
  EXPECT_EQ(Hook().sc_UserValue(m_wnd), 7);
  Hook().sc_UserValue(m_wnd, 100);
  SendMessageW(m_wnd, kMsgA, 0, 0);
  EXPECT_EQ(seen, (std::vector<LONG_PTR>{5, 6, 100, 101}));
  EXPECT_EQ(Hook().sc_UserValue(m_wnd), 102);
}

TEST_F(GuardedHookTest, CallPrevWndProcGoesStraightToThePreviousProcedure) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, ALL_MESSAGES, HookWhen::kBoth);
  Rec().Start();
  EXPECT_EQ(Hook().sc_CallPrevWndProc(m_wnd, kMsgC, 1, 2), AnswerOf(kMsgC));
  const Step expected[] = {{Who::Prev, kMsgC, 1, 2}};
  ExpectSequence(Rec().steps, expected, "sc_CallPrevWndProc");
}

// The frame closes its form by handing WM_CLOSE straight to the previous
// procedure, outside any message of the form: the window dies during that call,
// and no later message will come to release what hooked it.
TEST_F(GuardedHookTest, WindowDestroyedThroughCallPrevWndProcLeavesNothingBehind) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, WM_NCDESTROY, HookWhen::kAfter);
  bool sawDestroy = false;
  m_action = [&](bool, bool&, LRESULT&, HWND, UINT uMsg, WPARAM, LPARAM, LONG_PTR&) {
    if (uMsg == WM_NCDESTROY) sawDestroy = true;
  };
  Hook().sc_CallPrevWndProc(m_wnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(m_wnd));
  EXPECT_TRUE(sawDestroy);
  EXPECT_EQ(Hook().RegisteredCount(), 0u);
  EXPECT_EQ(LiveHookLayers(), m_layersBefore);
  EXPECT_EQ(LiveHookChains(), 0u);
  ExpectReports(m_reports.reports, {}, "no failure");
}

TEST_F(GuardedHookTest, AThrowingCallbackDoesNotStopTheMessage) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kBoth);
  m_action = [](bool bBefore, bool& bHandled, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) {
    bHandled = true;
    throw std::runtime_error("owner failure");
  };
  Rec().Start();
  EXPECT_EQ(SendMessageW(m_wnd, kMsgA, 0, 0), AnswerOf(kMsgA));
  const Step expected[] = {{Who::Before, kMsgA}, {Who::Prev, kMsgA}, {Who::After, kMsgA}};
  ExpectSequence(Rec().steps, expected, "exceptions stay inside the hook");
}

// The window's own procedure throws: every count the hook keeps comes down, so the
// hook still leaves and the window gets its procedure back.
TEST_F(GuardedHookTest, AThrowingWindowProcedureDoesNotKeepTheHook) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kBoth);
  Rec().inPrev = [](HWND, UINT uMsg, WPARAM, LPARAM) {
    if (uMsg == kMsgA) throw std::runtime_error("window procedure failure");
  };
  Rec().Start();
  SendMessageW(m_wnd, kMsgA, 0, 0);
  Rec().inPrev = nullptr;
  Hook().sc_UnSubclass(m_wnd);
  SendMessageW(m_wnd, WM_NULL, 0, 0);  // the message that releases
  EXPECT_EQ(ProcOf(m_wnd), RecordingProc());
  EXPECT_EQ(LiveHookLayers(), m_layersBefore);
  EXPECT_EQ(LiveHookChains(), 0u);
}

// A failed edit of the before table opens the warning box, whose message loop runs
// the window's pending close: the after table must not be edited in a freed record.
TEST_F(GuardedHookTest, WindowClosedWhileAFailureIsReportedIsNotTouchedAgain) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  for (UINT m = 0; m < MSG_ENTRIES; ++m) Hook().sc_AddMsg(m_wnd, WM_APP + 0x40 + m, HookWhen::kBefore);
  std::vector<ErrorReport> reports;
  ScopedErrorReportSink pumping([&reports](const ErrorReport& r) {
    reports.push_back(r);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  });
  PostMessageW(m_wnd, WM_CLOSE, 0, 0);
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kBoth);
  ASSERT_FALSE(IsWindow(m_wnd));
  ExpectReports(reports, {{L"zAddMsg", std::wstring(kTableOverflow)}}, "one report, nothing after the close");
  EXPECT_EQ(Hook().RegisteredCount(), 0u);
  EXPECT_EQ(LiveHookChains(), 0u);
}

TEST_F(GuardedHookTest, MessageZeroIsRefused) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, 0, HookWhen::kBefore);
  ExpectReports(m_reports.reports, {{L"zAddMsg", std::wstring(kInvalidMessage)}}, "message 0");
}

TEST_F(GuardedHookTest, DestroyedWhileHookedLeavesNothingBehind) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, WM_NCDESTROY, HookWhen::kBoth);
  std::vector<bool> calls;
  m_action = [&](bool bBefore, bool&, LRESULT&, HWND, UINT uMsg, WPARAM, LPARAM, LONG_PTR&) {
    if (uMsg == WM_NCDESTROY) calls.push_back(bBefore);
  };
  HWND dead = m_wnd;
  DestroyWindow(m_wnd);
  EXPECT_EQ(calls, (std::vector<bool>{true, false})) << "the owner sees WM_NCDESTROY pass";
  EXPECT_EQ(Hook().RegisteredCount(), 0u);
  EXPECT_EQ(LiveHookLayers(), m_layersBefore);
  EXPECT_EQ(LiveHookChains(), 0u);
  // Later calls on the dead handle are reported, not followed.
  Hook().sc_AddMsg(dead, kMsgA, HookWhen::kBefore);
  Hook().sc_UnSubclass(dead);
  Hook().sc_UnSubclassAll();
  ExpectReports(m_reports.reports,
                {{L"zMap_hWnd", L"Window handle isn't subclassed"}, {L"zMap_hWnd", L"Window handle isn't subclassed"}},
                "the dead handle");
  // A window that gets the same handle value later can be hooked again.
  m_wnd = CreateRecordingWindow();
  EXPECT_TRUE(Hook().sc_Subclass(m_wnd));
}

TEST_F(GuardedHookTest, DestroyedFromInsideItsOwnCallback) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kBoth);
  m_action = [](bool bBefore, bool&, LRESULT&, HWND hWnd, UINT uMsg, WPARAM, LPARAM, LONG_PTR&) {
    if (bBefore && uMsg == kMsgA) DestroyWindow(hWnd);
  };
  Rec().Start();
  SendMessageW(m_wnd, kMsgA, 0, 0);
  const Step expected[] = {{Who::Before, kMsgA}, {Who::Prev, kMsgA}};
  ExpectSequence(Rec().steps, expected, "no after call for a window that died meanwhile");
  EXPECT_FALSE(IsWindow(m_wnd));
  EXPECT_EQ(LiveHookLayers(), m_layersBefore);
  EXPECT_EQ(LiveHookChains(), 0u);
  EXPECT_EQ(Hook().RegisteredCount(), 0u);
}

TEST_F(GuardedHookTest, OwnerDestroyedFromInsideItsOwnCallback) {
  ASSERT_TRUE(Hook().sc_Subclass(m_wnd));
  Hook().sc_AddMsg(m_wnd, kMsgA, HookWhen::kBoth);
  m_action = [this](bool bBefore, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) {
    if (bBefore) m_hook.reset();
  };
  Rec().Start();
  EXPECT_EQ(SendMessageW(m_wnd, kMsgA, 0, 0), AnswerOf(kMsgA));
  SendMessageW(m_wnd, kMsgB, 0, 0);
  const Step expected[] = {{Who::Before, kMsgA}, {Who::Prev, kMsgA}, {Who::Prev, kMsgB}};
  ExpectSequence(Rec().steps, expected, "owner gone mid-message");
  EXPECT_EQ(ProcOf(m_wnd), RecordingProc());
  EXPECT_EQ(LiveHookLayers(), m_layersBefore);
}

}  // namespace
}  // namespace fw::test
