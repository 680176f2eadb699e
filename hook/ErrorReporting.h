// Where the guarded hook's failure reports go. By default each report becomes one
// error entry in the application's event log and a modal warning box; tests and
// unattended runs replace the destination so that nothing waits for a click.
#pragma once

#include <functional>
#include <string_view>

#include "hook/HookReport.h"

namespace fw {

using ErrorReportSink = std::function<void(const ErrorReport&)>;

// Hands a report to the current sink.
void DeliverErrorReport(const ErrorReport& report);

// Replaces the sink; an empty one restores the default. Returns the previous sink.
ErrorReportSink SetErrorReportSink(ErrorReportSink sink);

// The default sink's two halves, usable on their own.
// Writes one error entry, source: the program's file name. False when the log refused it.
bool WriteEventLogError(std::wstring_view text);
// MB_ICONWARNING box, modal to the active window of this thread.
void ShowWarningBox(std::wstring_view text, std::wstring_view title);

// Installs a sink for the lifetime of a scope.
class ScopedErrorReportSink {
 public:
  explicit ScopedErrorReportSink(ErrorReportSink sink) : m_previous(SetErrorReportSink(std::move(sink))) {}
  ~ScopedErrorReportSink() { SetErrorReportSink(std::move(m_previous)); }
  ScopedErrorReportSink(const ScopedErrorReportSink&) = delete;
  ScopedErrorReportSink& operator=(const ScopedErrorReportSink&) = delete;

 private:
  ErrorReportSink m_previous;
};

}  // namespace fw
