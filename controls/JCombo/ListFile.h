// The list file on disk: read whole, and replaced so that a failed save never
// costs the previous file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fw::jcombo {

// The file's bytes; nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::wstring& path);

// Writes `bytes` to a new file beside `path`, flushes it, then renames it over
// `path` in one step. On any failure the previous file is left as it was and the
// new one is deleted. True when `path` now holds `bytes`.
bool ReplaceFileContents(const std::wstring& path, std::string_view bytes);

// A run of ASCII bytes and two-byte GBK sequences, through the system's GB18030
// code page where there is one, else its GBK code page (936).
void DecodeGbkRun(std::span<const uint8_t> run, std::u16string& out);

}  // namespace fw::jcombo
