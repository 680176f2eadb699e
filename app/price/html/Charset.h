// Choosing and naming the character encoding of a fetched page, the way a
// browser does before it builds the document. Portable: no platform header;
// the Win32 side maps the result to a code page and decodes with the system.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace fw::html {

// Resolves a charset label as a browser does (WHATWG Encoding Standard labels,
// trimmed of ASCII white space, ASCII case-insensitive: "GBK", "gb2312",
// "GB18030", "x-gbk", "utf-8", "utf8", "big5", "windows-1252", "iso-8859-1"
// (-> "windows-1252"), "shift_jis", "euc-kr", "utf-16le", ...) to its canonical
// encoding name (lower case, e.g. "gbk", "utf-8"), or "" when the label is unknown.
std::string ResolveCharsetLabel(std::string_view label);

// The Windows code page that decodes that encoding: "gbk" and "gb18030" ->
// 54936 (the GB18030 decoder, so four-byte sequences survive, as browsers
// decode GBK), "utf-8" -> 65001, "big5" -> 950, "shift_jis" -> 932, "euc-kr" ->
// 949, "windows-1252" -> 1252, "utf-16le" -> 1200, "utf-16be" -> 1201, the other
// single-byte windows-125x / iso-8859-x / koi8 encodings as Windows numbers
// them; 0 when Windows has no code page for it (e.g. "replacement",
// "x-user-defined"). Note: Wine 8's MultiByteToWideChar rejects 54936
// (ERROR_INVALID_PARAMETER); a caller falls back to 936, which decodes all
// two-byte GBK text the same way.
unsigned CodePageForEncoding(std::string_view encoding);

// The encoding a browser picks for these bytes: a byte order mark (UTF-8,
// UTF-16LE/BE) first, then the charset parameter of the Content-Type header,
// then the HTML standard's prescan of the first 1024 bytes (<meta charset>,
// <meta http-equiv="content-type" content="...charset=...">, comments and other
// tags skipped; a UTF-16 label found there means UTF-8, x-user-defined means
// windows-1252), else `fallback` (resolved as a label; the caller passes "gbk").
// Returns a canonical encoding name.
std::string SniffEncoding(std::span<const uint8_t> bytes, std::string_view contentType,
                          std::string_view fallback);

// UTF-8 -> UTF-16 as the WHATWG Encoding Standard's UTF-8 decoder: each
// maximal ill-formed subsequence becomes one U+FFFD; a leading BOM is dropped.
std::u16string DecodeUtf8(std::span<const uint8_t> bytes);

// UTF-16 (little or big endian) -> UTF-16 as the WHATWG decoder does: a
// leading BOM of that byte order is dropped, an unpaired surrogate or an odd
// trailing byte becomes U+FFFD. (Code pages 1200/1201 are not usable with the
// system's multi-byte converter, so the Win32 side decodes UTF-16 with this.)
std::u16string DecodeUtf16(std::span<const uint8_t> bytes, bool bigEndian);

// The charset parameter of a Content-Type value ("text/html; charset=GBK" ->
// "GBK"), quotes removed; empty when there is none.
std::string CharsetFromContentType(std::string_view contentType);

}  // namespace fw::html
