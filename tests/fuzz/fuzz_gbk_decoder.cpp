// The GB18030 byte walker on any bytes: it must never fault, must hand the
// system's table only ASCII and well-formed two-byte sequences, and must
// give back a well-formed UTF-16 text no longer than one unit per byte plus
// the surrogate pairs of four-byte sequences.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "host/GbkDecoder.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t runBytes = 0;
  const std::u16string text = fw::DecodeGb18030(
      std::span<const uint8_t>(data, size), [&](std::span<const uint8_t> run, std::u16string& out) {
        Require(!run.empty());
        for (size_t i = 0; i < run.size(); ++i) {
          if (run[i] < 0x80) {
            out += char16_t(run[i]);
            continue;
          }
          Require(run[i] >= 0x81 && run[i] <= 0xFE && i + 1 < run.size());
          const uint8_t trail = run[++i];
          Require((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFE));
          out += char16_t(0x4E00);
        }
        runBytes += run.size();
      });
  Require(runBytes <= size);
  Require(text.size() <= size);
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      Require(i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF);
      ++i;
    } else {
      Require(c < 0xDC00 || c > 0xDFFF);
    }
  }
  return 0;
}
