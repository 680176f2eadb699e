#include "tests/hook/HookTestSupport.h"

#include <sstream>

#include "hook/HookReport.h"

namespace fw::test {
namespace {

constexpr wchar_t kClassName[] = L"FuelwiseHookRecorder";

LRESULT CALLBACK RecordingWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  Recorder& rec = Rec();
  if (rec.on && Recorder::Watched(uMsg)) {
    rec.Log(Who::Prev, uMsg, wParam, lParam);
    if (rec.inPrev) rec.inPrev(hWnd, uMsg, wParam, lParam);
  }
  if (uMsg >= WM_APP && uMsg < WM_APP + 0x100) return AnswerOf(uMsg);
  return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

const char* NameOf(Who who) {
  switch (who) {
    case Who::Before: return "before";
    case Who::Prev: return "prev";
    case Who::After: return "after";
    case Who::Outer: return "outer";
  }
  return "?";
}

std::string Dump(std::span<const Step> steps) {
  std::ostringstream out;
  for (size_t i = 0; i < steps.size(); ++i) {
    out << "  [" << i << "] " << NameOf(steps[i].who) << " 0x" << std::hex << steps[i].msg << " w=" << std::dec
        << steps[i].wParam << " l=" << steps[i].lParam << "\n";
  }
  return out.str();
}

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

}  // namespace

Recorder& Rec() {
  static Recorder recorder;
  return recorder;
}

WNDPROC RecordingProc() { return &RecordingWndProc; }

HWND CreateRecordingWindow() {
  static const ATOM atom = [] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &RecordingWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    return RegisterClassExW(&wc);
  }();
  EXPECT_NE(atom, 0);
  return CreateWindowExW(0, kClassName, L"hook test", WS_OVERLAPPEDWINDOW, 0, 0, 160, 120, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

void ExpectSequence(const std::vector<Step>& got, std::span<const Step> expected, const char* context) {
  size_t i = 0;
  for (; i < got.size() && i < expected.size(); ++i) {
    if (!(got[i] == expected[i])) break;
  }
  if (i == got.size() && i == expected.size()) return;
  ADD_FAILURE() << context << ": sequences differ at index " << i << "\nexpected:\n"
                << Dump(expected) << "got:\n" << Dump(got);
}

void ExpectReports(const std::vector<ErrorReport>& got,
                   std::initializer_list<std::pair<std::wstring, std::wstring>> routineAndMessage,
                   const char* context) {
  std::vector<ErrorReport> expected;
  for (const auto& [routine, message] : routineAndMessage) {
    expected.push_back(ComposeErrorReport(L"skForms", routine, message));
  }
  bool same = got.size() == expected.size();
  for (size_t i = 0; same && i < got.size(); ++i) {
    same = got[i].eventText == expected[i].eventText && got[i].boxText == expected[i].boxText &&
           got[i].boxTitle == expected[i].boxTitle;
  }
  if (same) return;
  std::string text;
  for (const auto& r : expected) text += "  " + Narrow(r.eventText) + "\n";
  text += "got:\n";
  for (const auto& r : got) text += "  " + Narrow(r.eventText) + " | " + Narrow(r.boxTitle) + " | " + Narrow(r.boxText) + "\n";
  ADD_FAILURE() << context << ": reports differ\nexpected:\n" << text;
}

WNDPROC ProcOf(HWND hWnd) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC)); }

}  // namespace fw::test
