// GBK text (the price pages, older list files) read as browsers read it, through the
// GB18030 decoder of the WHATWG Encoding Standard. The byte structure,
// the error handling (each ill-formed sequence becomes one U+FFFD; an ASCII
// byte that breaks a sequence is read again as itself) and the four-byte
// sequences are handled here; the two-byte table is the system's code page,
// handed in as a function. Portable: no platform header.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace fw {

// Appends the text of `run` to `out`. A run holds only ASCII bytes and
// well-formed two-byte sequences (lead 0x81-0xFE, trail 0x40-0x7E or 0x80-0xFE).
using GbkRunDecoder = std::function<void(std::span<const uint8_t> run, std::u16string& out)>;

// Decodes GBK/GB18030 bytes: 0x80 is the euro sign, four-byte sequences go
// through the GB18030 ranges, runs of ASCII and two-byte sequences through
// `decodeRun`, every ill-formed sequence becomes U+FFFD.
std::u16string DecodeGb18030(std::span<const uint8_t> bytes, const GbkRunDecoder& decodeRun);

// The code point of a four-byte sequence's pointer, or 0 when the pointer
// names none.
char32_t Gb18030RangesCodePoint(uint32_t pointer);

}  // namespace fw
