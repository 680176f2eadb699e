// Any bytes, read as a UTF-8 design: the reader must not crash, and whatever it
// accepts must come back equal through the writer (write, read again, compare),
// and the writer's output must be stable (writing the second tree gives the
// same text).
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "host/DesignFile.h"
#include "host/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const fw::DesignParseResult first = fw::ParseDesignUtf8(bytes);
  if (!first.root) {
    if (first.errorLine < 1 || first.error.empty()) std::abort();
    return 0;
  }
  const std::u16string written = fw::WriteDesign(*first.root);
  // Through UTF-8 as the file would be saved: the writer escapes whatever UTF-8
  // cannot carry.
  const fw::DesignParseResult second = fw::ParseDesignUtf8(fw::Utf16ToUtf8(written));
  if (!second.root) std::abort();
  if (!(*second.root == *first.root)) std::abort();
  if (fw::WriteDesign(*second.root) != written) std::abort();
  return 0;
}
