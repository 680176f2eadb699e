#include "host/Failure.h"

#include <exception>
#include <string>

#include "host/Utf8.h"

namespace fw {
namespace {

FailureTrace& CurrentTrace() {
  static FailureTrace trace;
  return trace;
}

// The text of the failure being handled.
std::string CurrentWhat() {
  if (!std::current_exception()) return "no failure";
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "a failure that is not a standard exception";
  }
}

}  // namespace

void TraceCurrentFailure(std::u16string_view owner, std::u16string_view routine) noexcept {
  try {
    std::u16string line = u"Fuelwise: ";
    line.append(owner).append(u".").append(routine).append(u": ");
    line += Utf8ToUtf16(CurrentWhat());
    // A copy: the trace may replace itself while it runs.
    const FailureTrace trace = CurrentTrace();
    if (trace) {
      trace(line);
    } else {
      WriteDebugTrace(line);
    }
  } catch (...) {
    // A trace must never become a failure of its own.
  }
}

FailureTrace SetFailureTrace(FailureTrace trace) {
  return std::exchange(CurrentTrace(), std::move(trace));
}

}  // namespace fw
