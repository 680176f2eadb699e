// The developer's trace on Windows: the debugger output, which a debugger or a
// trace viewer shows (under Wine: WINEDEBUG=warn+seh).
#include <windows.h>

#include <string>

#include "host/Failure.h"
#include "host/WideText.h"

namespace fw {

void WriteDebugTrace(std::u16string_view line) noexcept {
  try {
    const std::wstring text = ToWide(line) + L"\n";
    OutputDebugStringW(text.c_str());
  } catch (...) {
    // Nothing more to do with a line that cannot even be copied.
  }
}

}  // namespace fw
