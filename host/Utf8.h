// UTF-8 <-> UTF-16 for the design files (kept in the exe as UTF-8, parsed as
// UTF-16) and the pages the price lookup reads. Portable: no platform header.
#pragma once

#include <string>
#include <string_view>

namespace fw {

// Decodes UTF-8. Every ill-formed sequence (stray continuation byte, truncated
// or overlong sequence, surrogate code point, value above U+10FFFF) becomes one
// U+FFFD per maximal ill-formed subpart, as the WHATWG decoder does. A byte
// order mark is kept: the reader of the text decides what it means.
std::u16string Utf8ToUtf16(std::string_view bytes);

// Appends one code point (at most U+10FFFF) as one or two UTF-16 units.
void AppendCodePoint(std::u16string& out, char32_t cp);

// Encodes UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace fw
