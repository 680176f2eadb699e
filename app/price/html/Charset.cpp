// Encoding labels, code pages and the encoding sniffing steps of the HTML
// standard (13.2.3.2 "Determining the character encoding").
#include "app/price/html/Charset.h"

#include "host/Utf8.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace fw::html {
namespace {

struct Label {
  std::string_view label;
  std::string_view encoding;
};

// The WHATWG Encoding Standard's label table ("Encodings", section 4.2),
// sorted by label for binary search.
constexpr Label kLabels[] = {
    {"866", "ibm866"},
    {"ansi_x3.4-1968", "windows-1252"},
    {"arabic", "iso-8859-6"},
    {"ascii", "windows-1252"},
    {"asmo-708", "iso-8859-6"},
    {"big5", "big5"},
    {"big5-hkscs", "big5"},
    {"chinese", "gbk"},
    {"cn-big5", "big5"},
    {"cp1250", "windows-1250"},
    {"cp1251", "windows-1251"},
    {"cp1252", "windows-1252"},
    {"cp1253", "windows-1253"},
    {"cp1254", "windows-1254"},
    {"cp1255", "windows-1255"},
    {"cp1256", "windows-1256"},
    {"cp1257", "windows-1257"},
    {"cp1258", "windows-1258"},
    {"cp819", "windows-1252"},
    {"cp866", "ibm866"},
    {"csbig5", "big5"},
    {"cseuckr", "euc-kr"},
    {"cseucpkdfmtjapanese", "euc-jp"},
    {"csgb2312", "gbk"},
    {"csibm866", "ibm866"},
    {"csiso2022jp", "iso-2022-jp"},
    {"csiso2022kr", "replacement"},
    {"csiso58gb231280", "gbk"},
    {"csiso88596e", "iso-8859-6"},
    {"csiso88596i", "iso-8859-6"},
    {"csiso88598e", "iso-8859-8"},
    {"csiso88598i", "iso-8859-8-i"},
    {"csisolatin1", "windows-1252"},
    {"csisolatin2", "iso-8859-2"},
    {"csisolatin3", "iso-8859-3"},
    {"csisolatin4", "iso-8859-4"},
    {"csisolatin5", "windows-1254"},
    {"csisolatin6", "iso-8859-10"},
    {"csisolatin9", "iso-8859-15"},
    {"csisolatinarabic", "iso-8859-6"},
    {"csisolatincyrillic", "iso-8859-5"},
    {"csisolatingreek", "iso-8859-7"},
    {"csisolatinhebrew", "iso-8859-8"},
    {"cskoi8r", "koi8-r"},
    {"csksc56011987", "euc-kr"},
    {"csmacintosh", "macintosh"},
    {"csshiftjis", "shift_jis"},
    {"csunicode", "utf-16le"},
    {"cyrillic", "iso-8859-5"},
    {"dos-874", "windows-874"},
    {"ecma-114", "iso-8859-6"},
    {"ecma-118", "iso-8859-7"},
    {"elot_928", "iso-8859-7"},
    {"euc-jp", "euc-jp"},
    {"euc-kr", "euc-kr"},
    {"gb18030", "gb18030"},
    {"gb2312", "gbk"},
    {"gb_2312", "gbk"},
    {"gb_2312-80", "gbk"},
    {"gbk", "gbk"},
    {"greek", "iso-8859-7"},
    {"greek8", "iso-8859-7"},
    {"hebrew", "iso-8859-8"},
    {"hz-gb-2312", "replacement"},
    {"ibm819", "windows-1252"},
    {"ibm866", "ibm866"},
    {"iso-10646-ucs-2", "utf-16le"},
    {"iso-2022-cn", "replacement"},
    {"iso-2022-cn-ext", "replacement"},
    {"iso-2022-jp", "iso-2022-jp"},
    {"iso-2022-kr", "replacement"},
    {"iso-8859-1", "windows-1252"},
    {"iso-8859-10", "iso-8859-10"},
    {"iso-8859-11", "windows-874"},
    {"iso-8859-13", "iso-8859-13"},
    {"iso-8859-14", "iso-8859-14"},
    {"iso-8859-15", "iso-8859-15"},
    {"iso-8859-16", "iso-8859-16"},
    {"iso-8859-2", "iso-8859-2"},
    {"iso-8859-3", "iso-8859-3"},
    {"iso-8859-4", "iso-8859-4"},
    {"iso-8859-5", "iso-8859-5"},
    {"iso-8859-6", "iso-8859-6"},
    {"iso-8859-6-e", "iso-8859-6"},
    {"iso-8859-6-i", "iso-8859-6"},
    {"iso-8859-7", "iso-8859-7"},
    {"iso-8859-8", "iso-8859-8"},
    {"iso-8859-8-e", "iso-8859-8"},
    {"iso-8859-8-i", "iso-8859-8-i"},
    {"iso-8859-9", "windows-1254"},
    {"iso-ir-100", "windows-1252"},
    {"iso-ir-101", "iso-8859-2"},
    {"iso-ir-109", "iso-8859-3"},
    {"iso-ir-110", "iso-8859-4"},
    {"iso-ir-126", "iso-8859-7"},
    {"iso-ir-127", "iso-8859-6"},
    {"iso-ir-138", "iso-8859-8"},
    {"iso-ir-144", "iso-8859-5"},
    {"iso-ir-148", "windows-1254"},
    {"iso-ir-149", "euc-kr"},
    {"iso-ir-157", "iso-8859-10"},
    {"iso-ir-58", "gbk"},
    {"iso8859-1", "windows-1252"},
    {"iso8859-10", "iso-8859-10"},
    {"iso8859-11", "windows-874"},
    {"iso8859-13", "iso-8859-13"},
    {"iso8859-14", "iso-8859-14"},
    {"iso8859-15", "iso-8859-15"},
    {"iso8859-2", "iso-8859-2"},
    {"iso8859-3", "iso-8859-3"},
    {"iso8859-4", "iso-8859-4"},
    {"iso8859-5", "iso-8859-5"},
    {"iso8859-6", "iso-8859-6"},
    {"iso8859-7", "iso-8859-7"},
    {"iso8859-8", "iso-8859-8"},
    {"iso8859-9", "windows-1254"},
    {"iso88591", "windows-1252"},
    {"iso885910", "iso-8859-10"},
    {"iso885911", "windows-874"},
    {"iso885913", "iso-8859-13"},
    {"iso885914", "iso-8859-14"},
    {"iso885915", "iso-8859-15"},
    {"iso88592", "iso-8859-2"},
    {"iso88593", "iso-8859-3"},
    {"iso88594", "iso-8859-4"},
    {"iso88595", "iso-8859-5"},
    {"iso88596", "iso-8859-6"},
    {"iso88597", "iso-8859-7"},
    {"iso88598", "iso-8859-8"},
    {"iso88599", "windows-1254"},
    {"iso_8859-1", "windows-1252"},
    {"iso_8859-15", "iso-8859-15"},
    {"iso_8859-1:1987", "windows-1252"},
    {"iso_8859-2", "iso-8859-2"},
    {"iso_8859-2:1987", "iso-8859-2"},
    {"iso_8859-3", "iso-8859-3"},
    {"iso_8859-3:1988", "iso-8859-3"},
    {"iso_8859-4", "iso-8859-4"},
    {"iso_8859-4:1988", "iso-8859-4"},
    {"iso_8859-5", "iso-8859-5"},
    {"iso_8859-5:1988", "iso-8859-5"},
    {"iso_8859-6", "iso-8859-6"},
    {"iso_8859-6:1987", "iso-8859-6"},
    {"iso_8859-7", "iso-8859-7"},
    {"iso_8859-7:1987", "iso-8859-7"},
    {"iso_8859-8", "iso-8859-8"},
    {"iso_8859-8:1988", "iso-8859-8"},
    {"iso_8859-9", "windows-1254"},
    {"iso_8859-9:1989", "windows-1254"},
    {"koi", "koi8-r"},
    {"koi8", "koi8-r"},
    {"koi8-r", "koi8-r"},
    {"koi8-ru", "koi8-u"},
    {"koi8-u", "koi8-u"},
    {"koi8_r", "koi8-r"},
    {"korean", "euc-kr"},
    {"ks_c_5601-1987", "euc-kr"},
    {"ks_c_5601-1989", "euc-kr"},
    {"ksc5601", "euc-kr"},
    {"ksc_5601", "euc-kr"},
    {"l1", "windows-1252"},
    {"l2", "iso-8859-2"},
    {"l3", "iso-8859-3"},
    {"l4", "iso-8859-4"},
    {"l5", "windows-1254"},
    {"l6", "iso-8859-10"},
    {"l9", "iso-8859-15"},
    {"latin1", "windows-1252"},
    {"latin2", "iso-8859-2"},
    {"latin3", "iso-8859-3"},
    {"latin4", "iso-8859-4"},
    {"latin5", "windows-1254"},
    {"latin6", "iso-8859-10"},
    {"logical", "iso-8859-8-i"},
    {"mac", "macintosh"},
    {"macintosh", "macintosh"},
    {"ms932", "shift_jis"},
    {"ms_kanji", "shift_jis"},
    {"replacement", "replacement"},
    {"shift-jis", "shift_jis"},
    {"shift_jis", "shift_jis"},
    {"sjis", "shift_jis"},
    {"sun_eu_greek", "iso-8859-7"},
    {"tis-620", "windows-874"},
    {"ucs-2", "utf-16le"},
    {"unicode", "utf-16le"},
    {"unicode-1-1-utf-8", "utf-8"},
    {"unicode11utf8", "utf-8"},
    {"unicode20utf8", "utf-8"},
    {"unicodefeff", "utf-16le"},
    {"unicodefffe", "utf-16be"},
    {"us-ascii", "windows-1252"},
    {"utf-16", "utf-16le"},
    {"utf-16be", "utf-16be"},
    {"utf-16le", "utf-16le"},
    {"utf-8", "utf-8"},
    {"utf8", "utf-8"},
    {"visual", "iso-8859-8"},
    {"windows-1250", "windows-1250"},
    {"windows-1251", "windows-1251"},
    {"windows-1252", "windows-1252"},
    {"windows-1253", "windows-1253"},
    {"windows-1254", "windows-1254"},
    {"windows-1255", "windows-1255"},
    {"windows-1256", "windows-1256"},
    {"windows-1257", "windows-1257"},
    {"windows-1258", "windows-1258"},
    {"windows-31j", "shift_jis"},
    {"windows-874", "windows-874"},
    {"windows-949", "euc-kr"},
    {"x-cp1250", "windows-1250"},
    {"x-cp1251", "windows-1251"},
    {"x-cp1252", "windows-1252"},
    {"x-cp1253", "windows-1253"},
    {"x-cp1254", "windows-1254"},
    {"x-cp1255", "windows-1255"},
    {"x-cp1256", "windows-1256"},
    {"x-cp1257", "windows-1257"},
    {"x-cp1258", "windows-1258"},
    {"x-euc-jp", "euc-jp"},
    {"x-gbk", "gbk"},
    {"x-mac-cyrillic", "x-mac-cyrillic"},
    {"x-mac-roman", "macintosh"},
    {"x-mac-ukrainian", "x-mac-cyrillic"},
    {"x-sjis", "shift_jis"},
    {"x-unicode20utf8", "utf-8"},
    {"x-user-defined", "x-user-defined"},
    {"x-x-big5", "big5"},
};

struct CodePage {
  std::string_view encoding;
  unsigned codePage;
};

// Windows' numbers for the encodings above. euc-jp uses 20932, the EUC-JP
// table the system converter accepts (51932 exists only in MLang).
constexpr CodePage kCodePages[] = {
    {"big5", 950},           {"euc-jp", 20932},        {"euc-kr", 949},
    {"gb18030", 54936},      {"gbk", 54936},           {"ibm866", 866},
    {"iso-2022-jp", 50220},  {"iso-8859-10", 28600},   {"iso-8859-13", 28603},
    {"iso-8859-14", 28604},  {"iso-8859-15", 28605},   {"iso-8859-16", 28606},
    {"iso-8859-2", 28592},   {"iso-8859-3", 28593},    {"iso-8859-4", 28594},
    {"iso-8859-5", 28595},   {"iso-8859-6", 28596},    {"iso-8859-7", 28597},
    {"iso-8859-8", 28598},   {"iso-8859-8-i", 38598},  {"koi8-r", 20866},
    {"koi8-u", 21866},       {"macintosh", 10000},     {"shift_jis", 932},
    {"utf-16be", 1201},      {"utf-16le", 1200},       {"utf-8", 65001},
    {"windows-1250", 1250},  {"windows-1251", 1251},   {"windows-1252", 1252},
    {"windows-1253", 1253},  {"windows-1254", 1254},   {"windows-1255", 1255},
    {"windows-1256", 1256},  {"windows-1257", 1257},   {"windows-1258", 1258},
    {"windows-874", 874},    {"x-mac-cyrillic", 10017},
};

constexpr bool IsAsciiWhitespace(uint8_t c) {
  return c == 0x09 || c == 0x0A || c == 0x0C || c == 0x0D || c == 0x20;
}

constexpr uint8_t AsciiLower(uint8_t c) { return (c >= 'A' && c <= 'Z') ? uint8_t(c + 0x20) : c; }

// "get an encoding" of the Encoding Standard: the label trimmed of ASCII
// white space and matched ASCII case-insensitively.
std::optional<std::string_view> LookUpLabel(std::string_view label) {
  size_t b = 0, e = label.size();
  while (b < e && IsAsciiWhitespace(uint8_t(label[b]))) ++b;
  while (e > b && IsAsciiWhitespace(uint8_t(label[e - 1]))) --e;
  // No label in the table is longer than 19 characters.
  if (e - b == 0 || e - b > 24) return std::nullopt;
  std::string lowered;
  lowered.reserve(e - b);
  for (size_t i = b; i < e; ++i) lowered.push_back(char(AsciiLower(uint8_t(label[i]))));
  auto it = std::lower_bound(std::begin(kLabels), std::end(kLabels), lowered,
                             [](const Label& l, const std::string& key) { return l.label < key; });
  if (it == std::end(kLabels) || it->label != lowered) return std::nullopt;
  return it->encoding;
}

// The HTML standard's "algorithm for extracting a character encoding from a
// meta element" (2.6.x), on the content attribute's value.
std::optional<std::string_view> EncodingFromMetaContent(std::string_view s) {
  size_t pos = 0;
  for (;;) {
    // 2. Find "charset", ASCII case-insensitively.
    size_t found = std::string_view::npos;
    for (size_t i = pos; i + 7 <= s.size(); ++i) {
      bool match = true;
      for (size_t k = 0; k < 7 && match; ++k) match = AsciiLower(uint8_t(s[i + k])) == "charset"[k];
      if (match) {
        found = i;
        break;
      }
    }
    if (found == std::string_view::npos) return std::nullopt;
    pos = found + 7;
    // 3. Skip white space.
    while (pos < s.size() && IsAsciiWhitespace(uint8_t(s[pos]))) ++pos;
    // 4. Not '=': look for the next "charset" from here.
    if (pos >= s.size() || s[pos] != '=') continue;
    ++pos;
    // 5. Skip white space after '='.
    while (pos < s.size() && IsAsciiWhitespace(uint8_t(s[pos]))) ++pos;
    if (pos >= s.size()) return std::nullopt;
    // 6. A quoted value needs its closing quote; an unquoted one ends at
    // white space or ';'.
    char c = s[pos];
    if (c == '"' || c == '\'') {
      size_t close = s.find(c, pos + 1);
      if (close == std::string_view::npos) return std::nullopt;
      return LookUpLabel(s.substr(pos + 1, close - pos - 1));
    }
    size_t end = pos;
    while (end < s.size() && !IsAsciiWhitespace(uint8_t(s[end])) && s[end] != ';') ++end;
    return LookUpLabel(s.substr(pos, end - pos));
  }
}

// 13.2.3.2 "prescan a byte stream to determine its encoding". The caller has
// already cut the stream to its first 1024 bytes; running off the end of it
// anywhere aborts the prescan, as it does in browsers.
class Prescan {
 public:
  explicit Prescan(std::span<const uint8_t> bytes) : m_b(bytes) {}

  std::optional<std::string_view> Run() {
    while (m_pos < m_b.size()) {
      if (StartsWith("<!--")) {
        // Skip to the '>' that ends a "-->"; the dashes may be those of "<!--".
        size_t p = m_pos + 2;
        bool closed = false;
        for (; p + 2 < m_b.size(); ++p) {
          if (m_b[p] == '-' && m_b[p + 1] == '-' && m_b[p + 2] == '>') {
            closed = true;
            break;
          }
        }
        if (!closed) return std::nullopt;
        m_pos = p + 2;
      } else if (StartsWithMeta()) {
        m_pos += 6;
        auto found = Meta();
        if (m_aborted) return std::nullopt;
        if (found) return found;
      } else if (m_b[m_pos] == '<' &&
                 ((m_pos + 1 < m_b.size() && IsAsciiAlpha(m_b[m_pos + 1])) ||
                  (m_pos + 2 < m_b.size() && m_b[m_pos + 1] == '/' && IsAsciiAlpha(m_b[m_pos + 2])))) {
        // Another tag: skip its name, then its attributes.
        while (m_pos < m_b.size() && !IsAsciiWhitespace(m_b[m_pos]) && m_b[m_pos] != '>') ++m_pos;
        if (m_pos >= m_b.size()) return std::nullopt;
        std::string name, value;
        while (GetAttribute(name, value)) {
        }
        if (m_aborted) return std::nullopt;
      } else if (StartsWith("<!") || StartsWith("</") || StartsWith("<?")) {
        size_t p = m_pos + 2;
        while (p < m_b.size() && m_b[p] != '>') ++p;
        if (p >= m_b.size()) return std::nullopt;
        m_pos = p;
      }
      ++m_pos;  // "next byte"
    }
    return std::nullopt;
  }

 private:
  static bool IsAsciiAlpha(uint8_t c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

  bool StartsWith(std::string_view s) const {
    if (m_b.size() - m_pos < s.size()) return false;
    return std::equal(s.begin(), s.end(), m_b.begin() + m_pos,
                      [](char a, uint8_t b) { return uint8_t(a) == b; });
  }

  bool StartsWithMeta() const {
    if (m_b.size() - m_pos < 6) return false;
    static constexpr char kMeta[] = "<meta";
    for (size_t k = 0; k < 5; ++k)
      if (AsciiLower(m_b[m_pos + k]) != uint8_t(kMeta[k])) return false;
    uint8_t c = m_b[m_pos + 5];
    return IsAsciiWhitespace(c) || c == '/';
  }

  // The <meta> branch: steps 2 to 11 of the prescan.
  std::optional<std::string_view> Meta() {
    std::vector<std::string> seen;
    bool gotPragma = false;
    enum class Need { Unset, Yes, No } needPragma = Need::Unset;
    std::optional<std::string_view> charset;
    std::string name, value;
    while (GetAttribute(name, value)) {
      if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
      seen.push_back(name);
      if (name == "http-equiv") {
        if (value == "content-type") gotPragma = true;
      } else if (name == "content") {
        auto enc = EncodingFromMetaContent(value);
        if (enc && !charset) {
          charset = enc;
          needPragma = Need::Yes;
        }
      } else if (name == "charset") {
        charset = LookUpLabel(value);
        needPragma = Need::No;
      }
    }
    if (m_aborted) return std::nullopt;
    if (needPragma == Need::Unset) return std::nullopt;
    if (needPragma == Need::Yes && !gotPragma) return std::nullopt;
    if (!charset) return std::nullopt;
    // A page cannot declare itself UTF-16 in bytes an ASCII-compatible scan read.
    if (*charset == "utf-16be" || *charset == "utf-16le") return std::string_view("utf-8");
    if (*charset == "x-user-defined") return std::string_view("windows-1252");
    return charset;
  }

  // "get an attribute". Returns false when there is none (the position is at
  // '>'), or sets m_aborted when the bytes end first.
  bool GetAttribute(std::string& name, std::string& value) {
    name.clear();
    value.clear();
    auto atEnd = [&] {
      if (m_pos >= m_b.size()) {
        m_aborted = true;
        return true;
      }
      return false;
    };
    // 1-2.
    while (!atEnd() && (IsAsciiWhitespace(m_b[m_pos]) || m_b[m_pos] == '/')) ++m_pos;
    if (m_aborted || m_b[m_pos] == '>') return false;
    // 4. The name.
    for (;;) {
      if (atEnd()) return false;
      uint8_t c = m_b[m_pos];
      if (c == '=' && !name.empty()) {
        ++m_pos;
        goto value;
      }
      if (IsAsciiWhitespace(c)) break;
      if (c == '/' || c == '>') return true;
      name.push_back(char(AsciiLower(c)));
      ++m_pos;
    }
    // 5-7. Spaces, then '=' or the end of a value-less attribute.
    while (!atEnd() && IsAsciiWhitespace(m_b[m_pos])) ++m_pos;
    if (m_aborted) return false;
    if (m_b[m_pos] != '=') return true;
    ++m_pos;
  value:
    // 8. Spaces before the value.
    while (!atEnd() && IsAsciiWhitespace(m_b[m_pos])) ++m_pos;
    if (m_aborted) return false;
    // 9.
    {
      uint8_t c = m_b[m_pos];
      if (c == '"' || c == '\'') {
        for (;;) {
          ++m_pos;
          if (atEnd()) return false;
          if (m_b[m_pos] == c) {
            ++m_pos;
            return true;
          }
          value.push_back(char(AsciiLower(m_b[m_pos])));
        }
      }
      if (c == '>') return true;
      value.push_back(char(AsciiLower(c)));
      ++m_pos;
    }
    // 10.
    for (;;) {
      if (atEnd()) return false;
      uint8_t c = m_b[m_pos];
      if (IsAsciiWhitespace(c) || c == '>') return true;
      value.push_back(char(AsciiLower(c)));
      ++m_pos;
    }
  }

  std::span<const uint8_t> m_b;
  size_t m_pos = 0;
  bool m_aborted = false;
};

}  // namespace

std::string ResolveCharsetLabel(std::string_view label) {
  auto enc = LookUpLabel(label);
  return enc ? std::string(*enc) : std::string();
}

unsigned CodePageForEncoding(std::string_view encoding) {
  for (const CodePage& cp : kCodePages)
    if (cp.encoding == encoding) return cp.codePage;
  return 0;
}

std::string CharsetFromContentType(std::string_view contentType) {
  // Parameters follow the first ';': name=value or name="value" with
  // backslash escapes; the first charset parameter wins.
  size_t pos = contentType.find(';');
  while (pos != std::string_view::npos && pos < contentType.size()) {
    ++pos;
    while (pos < contentType.size() && IsAsciiWhitespace(uint8_t(contentType[pos]))) ++pos;
    size_t nameEnd = pos;
    while (nameEnd < contentType.size() && contentType[nameEnd] != '=' && contentType[nameEnd] != ';')
      ++nameEnd;
    std::string name;
    for (size_t i = pos; i < nameEnd; ++i) name.push_back(char(AsciiLower(uint8_t(contentType[i]))));
    if (nameEnd >= contentType.size()) break;
    if (contentType[nameEnd] == ';') {
      pos = nameEnd;
      continue;
    }
    pos = nameEnd + 1;
    std::string value;
    if (pos < contentType.size() && contentType[pos] == '"') {
      ++pos;
      while (pos < contentType.size() && contentType[pos] != '"') {
        if (contentType[pos] == '\\' && pos + 1 < contentType.size()) ++pos;
        value.push_back(contentType[pos++]);
      }
      pos = contentType.find(';', pos);
    } else {
      size_t end = contentType.find(';', pos);
      value.assign(contentType.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
      while (!value.empty() && IsAsciiWhitespace(uint8_t(value.back()))) value.pop_back();
      pos = end;
    }
    if (name == "charset") return value;
  }
  return std::string();
}

std::string SniffEncoding(std::span<const uint8_t> bytes, std::string_view contentType,
                          std::string_view fallback) {
  // 1. A byte order mark decides.
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) return "utf-8";
  if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return "utf-16be";
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return "utf-16le";
  // 2. The transport layer's charset, when it names a known encoding.
  std::string fromHeader = CharsetFromContentType(contentType);
  if (!fromHeader.empty()) {
    if (auto enc = LookUpLabel(fromHeader)) return std::string(*enc);
  }
  // 3. The prescan of the first 1024 bytes.
  if (auto enc = Prescan(bytes.first(std::min<size_t>(bytes.size(), 1024))).Run())
    return std::string(*enc);
  // 4. The caller's default.
  if (auto enc = LookUpLabel(fallback)) return std::string(*enc);
  return "windows-1252";
}

std::u16string DecodeUtf8(std::span<const uint8_t> bytes) {
  // The sniffer already chose UTF-8 for a BOM; the BOM itself is not text.
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
    bytes = bytes.subspan(3);
  return Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::u16string DecodeUtf16(std::span<const uint8_t> bytes, bool bigEndian) {
  std::u16string out;
  out.reserve(bytes.size() / 2 + 1);
  size_t i = 0;
  auto unit = [&](size_t at) -> char16_t {
    return bigEndian ? char16_t((bytes[at] << 8) | bytes[at + 1]) : char16_t(bytes[at] | (bytes[at + 1] << 8));
  };
  if (bytes.size() >= 2 && unit(0) == 0xFEFF) i = 2;
  for (; i + 1 < bytes.size(); i += 2) {
    char16_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 3 < bytes.size()) {
        char16_t next = unit(i + 2);
        if (next >= 0xDC00 && next <= 0xDFFF) {
          out.push_back(u);
          out.push_back(next);
          i += 2;
          continue;
        }
      }
      out.push_back(u'\uFFFD');
      // A lead surrogate cut off by the end of the bytes is one error, not two.
      if (i + 3 == bytes.size()) return out;
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      out.push_back(u'\uFFFD');
    } else {
      out.push_back(u);
    }
  }
  if (i < bytes.size()) out.push_back(u'\uFFFD');
  return out;
}

}  // namespace fw::html
