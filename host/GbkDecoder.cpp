#include "host/GbkDecoder.h"

#include <algorithm>
#include <iterator>

namespace fw {

namespace {

struct RangeRow {
  uint32_t pointer;
  char32_t codePoint;
};

constexpr RangeRow kRanges[] = {
#include "host/Gb18030Ranges.inc"
};

constexpr char16_t kReplacement = 0xFFFD;

bool IsLead(uint8_t b) { return b >= 0x81 && b <= 0xFE; }
bool IsTwoByteTrail(uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE); }
bool IsDigit(uint8_t b) { return b >= 0x30 && b <= 0x39; }

void AppendCodePoint(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

}  // namespace

char32_t Gb18030RangesCodePoint(uint32_t pointer) {
  if ((pointer > 39419 && pointer < 189000) || pointer > 1237575) return 0;
  if (pointer >= 189000) return 0x10000 + (pointer - 189000);
  if (pointer == 7457) return 0xE7C7;
  const RangeRow* row = std::upper_bound(
      std::begin(kRanges), std::end(kRanges), pointer,
      [](uint32_t p, const RangeRow& r) { return p < r.pointer; });
  --row;  // kRanges starts at pointer 0
  return row->codePoint + (pointer - row->pointer);
}

std::u16string DecodeGb18030(std::span<const uint8_t> bytes, const GbkRunDecoder& decodeRun) {
  std::u16string out;
  out.reserve(bytes.size());
  const size_t n = bytes.size();
  size_t runStart = 0;  // start of the run of ASCII and two-byte sequences not yet decoded
  size_t i = 0;
  auto flush = [&](size_t end) {
    if (end > runStart) decodeRun(bytes.subspan(runStart, end - runStart), out);
  };
  while (i < n) {
    const uint8_t b = bytes[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    if (b == 0x80 || b == 0xFF) {
      flush(i);
      out += b == 0x80 ? char16_t{0x20AC} : kReplacement;
      runStart = ++i;
      continue;
    }
    // A lead byte: two bytes, four bytes, or an error.
    if (i + 1 < n && IsTwoByteTrail(bytes[i + 1])) {
      i += 2;
      continue;
    }
    flush(i);
    if (i + 1 < n && IsDigit(bytes[i + 1])) {
      // A sequence cut off by the end of the input is one error.
      if (i + 2 >= n || (IsLead(bytes[i + 2]) && i + 3 >= n)) {
        out += kReplacement;
        runStart = i = n;
        continue;
      }
      if (IsLead(bytes[i + 2])) {
        if (IsDigit(bytes[i + 3])) {
          const uint32_t pointer = (b - 0x81) * 12600u + (bytes[i + 1] - 0x30) * 1260u +
                                   (bytes[i + 2] - 0x81) * 10u + (bytes[i + 3] - 0x30);
          const char32_t c = Gb18030RangesCodePoint(pointer);
          if (c) {
            AppendCodePoint(out, c);
          } else {
            out += kReplacement;
          }
          runStart = i += 4;
          continue;
        }
        // The fourth byte is wrong: the second, third and
        // fourth bytes are read again.
        out += kReplacement;
        runStart = i += 1;
        continue;
      }
      // The third byte is wrong: the second and third are read again.
      out += kReplacement;
      runStart = i += 1;
      continue;
    }
    // No usable second byte: an ASCII one is read again; 0xFF, the only
    // other, is consumed with the lead.
    out += kReplacement;
    i += (i + 1 < n && bytes[i + 1] >= 0x80) ? 2 : 1;
    runStart = i;
  }
  flush(n);
  return out;
}

}  // namespace fw
