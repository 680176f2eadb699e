// One way to contain a failure. A routine that must not let a failure pass runs
// its body through Contain: whatever the body throws is caught there and traced
// for the developer as "Fuelwise: <owner>.<routine>: <what>" (on Windows through
// the debugger output, which a debugger or a trace viewer shows), and then the
// caller's own rule applies: skip the step and go on, hand the failure to a
// routine of its own, or pass it on to its caller. What the program does after
// a failure is the caller's rule; the trace only keeps the failure from being
// invisible. Portable: no platform header.
#pragma once

#include <functional>
#include <string_view>
#include <utility>

namespace fw {

// Traces the failure being handled; call it inside a catch block. Never throws.
void TraceCurrentFailure(std::u16string_view owner, std::u16string_view routine) noexcept;

// Runs `body`. When it throws, the failure is traced and `onFailure` runs inside
// the handler, so it may look at the failure (`throw;` in a try of its own) or
// pass it on; what it returns is then the result.
template <typename Body, typename OnFailure>
decltype(auto) Contain(std::u16string_view owner, std::u16string_view routine, Body&& body,
                       OnFailure&& onFailure) {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    TraceCurrentFailure(owner, routine);
    return std::forward<OnFailure>(onFailure)();
  }
}

// Skip and go on: runs `body`, traces a failure and returns whether there was one.
template <typename Body>
bool Contain(std::u16string_view owner, std::u16string_view routine, Body&& body) noexcept {
  return Contain(
      owner, routine,
      [&] {
        std::forward<Body>(body)();
        return false;
      },
      [] { return true; });
}

// Where the traced lines go. By default the platform's debugger trace; a test
// puts its own in, and an empty one restores the default. Returns the previous.
using FailureTrace = std::function<void(std::u16string_view line)>;
FailureTrace SetFailureTrace(FailureTrace trace);

// The platform's debugger trace (standard error where there is none).
void WriteDebugTrace(std::u16string_view line) noexcept;

}  // namespace fw
