// Shared pieces of the hook tests: a recording window procedure that plays "the
// previous procedure", a log of steps compared whole against const tables, and the
// error reports caught on their way to the warning box.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "hook/ErrorReporting.h"

namespace fw::test {

enum class Who { Before, Prev, After, Outer };

struct Step {
  Who who;
  UINT msg;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  bool operator==(const Step&) const = default;
};

// Test messages; the recording procedure answers kMsgA..kMsgZ with (msg - WM_APP) * 10.
constexpr UINT kMsgA = WM_APP + 1;
constexpr UINT kMsgB = WM_APP + 2;
constexpr UINT kMsgC = WM_APP + 3;
constexpr UINT kMsgD = WM_APP + 4;
constexpr LRESULT AnswerOf(UINT msg) { return static_cast<LRESULT>(msg - WM_APP) * 10; }

struct Recorder {
  std::vector<Step> steps;
  bool on = false;
  // Runs inside the recording procedure after it logged the message (re-entrant sends).
  std::function<void(HWND, UINT, WPARAM, LPARAM)> inPrev;

  // Messages worth logging: the test range, the mouse pair and the "next message".
  static bool Watched(UINT msg) {
    return (msg >= WM_APP && msg < WM_APP + 0x100) || msg == WM_MOUSEMOVE || msg == WM_MOUSELEAVE ||
           msg == WM_NULL;
  }
  void Log(Who who, UINT msg, WPARAM w = 0, LPARAM l = 0) {
    if (on && Watched(msg)) steps.push_back({who, msg, w, l});
  }
  void Start() {
    steps.clear();
    on = true;
  }
};

Recorder& Rec();

// The window class whose procedure records as Who::Prev.
HWND CreateRecordingWindow();
WNDPROC RecordingProc();

void ExpectSequence(const std::vector<Step>& got, std::span<const Step> expected, const char* context);

// Catches every failure report for the lifetime of a test.
class ReportCatcher {
 public:
  ReportCatcher()
      : m_scope([this](const ErrorReport& r) { reports.push_back(r); }) {}
  std::vector<ErrorReport> reports;

 private:
  ScopedErrorReportSink m_scope;
};

// One expected report: routine and message as the box shows them.
void ExpectReports(const std::vector<ErrorReport>& got,
                   std::initializer_list<std::pair<std::wstring, std::wstring>> routineAndMessage,
                   const char* context);

WNDPROC ProcOf(HWND hWnd);

}  // namespace fw::test
