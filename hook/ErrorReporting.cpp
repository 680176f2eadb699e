#include "hook/ErrorReporting.h"

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace fw {
namespace {

struct EventSourceCloser {
  void operator()(HANDLE h) const { DeregisterEventSource(h); }
};
using unique_event_source = std::unique_ptr<std::remove_pointer_t<HANDLE>, EventSourceCloser>;

std::wstring ProgramName() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path, n < MAX_PATH ? n : 0);
  if (const auto slash = name.find_last_of(L"\\/"); slash != std::wstring::npos) name.erase(0, slash + 1);
  if (const auto dot = name.rfind(L'.'); dot != std::wstring::npos) name.erase(dot);
  return name.empty() ? std::wstring(L"Fuelwise") : name;
}

void DefaultSink(const ErrorReport& report) {
  WriteEventLogError(report.eventText);
  ShowWarningBox(report.boxText, report.boxTitle);
}

ErrorReportSink& CurrentSink() {
  static ErrorReportSink sink = DefaultSink;
  return sink;
}

}  // namespace

void DeliverErrorReport(const ErrorReport& report) {
  // A copy: the sink may replace itself while it runs.
  const ErrorReportSink sink = CurrentSink();
  try {
    sink(report);
  } catch (...) {
    // A report must never become a failure of its own.
  }
}

ErrorReportSink SetErrorReportSink(ErrorReportSink sink) {
  ErrorReportSink previous = std::move(CurrentSink());
  CurrentSink() = sink ? std::move(sink) : ErrorReportSink(DefaultSink);
  return previous;
}

bool WriteEventLogError(std::wstring_view text) {
  const unique_event_source source(RegisterEventSourceW(nullptr, ProgramName().c_str()));
  if (!source) return false;
  const std::wstring line(text);
  LPCWSTR strings[] = {line.c_str()};
  return ReportEventW(source.get(), EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr) != FALSE;
}

void ShowWarningBox(std::wstring_view text, std::wstring_view title) {
  const std::wstring body(text), caption(title);
  MessageBoxW(GetActiveWindow(), body.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}

}  // namespace fw
