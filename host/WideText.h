// UTF-16 text crosses between the portable core (std::u16string) and the wide
// Windows API (wchar_t, also 16 bits on this platform) without conversion.
#pragma once

#include <string>
#include <string_view>

namespace fw {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide characters are UTF-16 code units");

inline const wchar_t* WStr(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline const wchar_t* WPtr(std::u16string_view s) { return reinterpret_cast<const wchar_t*>(s.data()); }
inline std::wstring ToWide(std::u16string_view s) { return std::wstring(WPtr(s), s.size()); }
inline std::u16string FromWide(std::wstring_view s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size());
}

}  // namespace fw
