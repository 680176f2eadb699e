// The developer's trace where there is no debugger output (the native builds the
// portable core is tested in): standard error.
#include <cstdio>
#include <string>

#include "host/Failure.h"
#include "host/Utf8.h"

namespace fw {

void WriteDebugTrace(std::u16string_view line) noexcept {
  try {
    const std::string text = Utf16ToUtf8(line) + "\n";
    std::fputs(text.c_str(), stderr);
  } catch (...) {
    // Nothing more to do with a line that cannot even be copied.
  }
}

}  // namespace fw
