// The WHATWG URL Standard's basic URL parser (section 4.4) and serializer
// (4.5), for the cases a link collector meets. State names follow the
// standard; the parser runs on code points (lone surrogates read as U+FFFD),
// and everything it stores is ASCII, since every non-ASCII code point is
// percent-encoded and hosts do not go through IDNA here.
#include "app/price/html/Url.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace fw::html {
namespace {

constexpr char32_t kEof = 0xFFFFFFFF;

struct Url {
  std::string scheme;
  std::string username;
  std::string password;
  bool hasHost = false;
  std::string host;  // serialised form (IPv4 dotted, IPv6 bracketed, or the domain / opaque host)
  int port = -1;     // -1: null
  bool opaquePath = false;
  std::vector<std::string> path;  // segments; opaque: one entry
  bool hasQuery = false;
  std::string query;
  bool hasFragment = false;
  std::string fragment;
};

constexpr bool IsAsciiAlpha(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool IsAsciiDigit(char32_t c) { return c >= '0' && c <= '9'; }
constexpr bool IsAsciiHexDigit(char32_t c) {
  return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
constexpr char32_t AsciiLower(char32_t c) { return (c >= 'A' && c <= 'Z') ? c + 0x20 : c; }

int DefaultPort(const std::string& scheme) {
  if (scheme == "http" || scheme == "ws") return 80;
  if (scheme == "https" || scheme == "wss") return 443;
  if (scheme == "ftp") return 21;
  return -1;
}

bool IsSpecialScheme(const std::string& scheme) {
  return scheme == "http" || scheme == "https" || scheme == "ws" || scheme == "wss" || scheme == "ftp" ||
         scheme == "file";
}

// The percent-encode sets of section 1.3, for ASCII code points (everything
// above U+007E is in every set).
enum class EncodeSet { C0Control, Fragment, Query, SpecialQuery, Path, Userinfo };

bool InSet(char32_t c, EncodeSet set) {
  if (c < 0x20 || c > 0x7E) return true;
  switch (set) {
    case EncodeSet::C0Control:
      return false;
    case EncodeSet::Fragment:
      return c == ' ' || c == '"' || c == '<' || c == '>' || c == '`';
    case EncodeSet::SpecialQuery:
      if (c == '\'') return true;
      [[fallthrough]];
    case EncodeSet::Query:
      return c == ' ' || c == '"' || c == '#' || c == '<' || c == '>';
    case EncodeSet::Userinfo:
      if (c == '/' || c == ':' || c == ';' || c == '=' || c == '@' || (c >= '[' && c <= '^') || c == '|')
        return true;
      [[fallthrough]];
    case EncodeSet::Path:
      return InSet(c, EncodeSet::Query) || c == '?' || c == '^' || c == '`' || c == '{' || c == '}';
  }
  return true;
}

void PercentEncodeByte(std::string& out, uint8_t b) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out.push_back('%');
  out.push_back(kHex[b >> 4]);
  out.push_back(kHex[b & 0xF]);
}

// "UTF-8 percent-encode c using set".
void AppendEncoded(std::string& out, char32_t c, EncodeSet set) {
  if (!InSet(c, set)) {
    out.push_back(char(c));
    return;
  }
  if (c < 0x80) {
    PercentEncodeByte(out, uint8_t(c));
  } else if (c < 0x800) {
    PercentEncodeByte(out, uint8_t(0xC0 | (c >> 6)));
    PercentEncodeByte(out, uint8_t(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    PercentEncodeByte(out, uint8_t(0xE0 | (c >> 12)));
    PercentEncodeByte(out, uint8_t(0x80 | ((c >> 6) & 0x3F)));
    PercentEncodeByte(out, uint8_t(0x80 | (c & 0x3F)));
  } else {
    PercentEncodeByte(out, uint8_t(0xF0 | (c >> 18)));
    PercentEncodeByte(out, uint8_t(0x80 | ((c >> 12) & 0x3F)));
    PercentEncodeByte(out, uint8_t(0x80 | ((c >> 6) & 0x3F)));
    PercentEncodeByte(out, uint8_t(0x80 | (c & 0x3F)));
  }
}

// UTF-16 -> code points; an unpaired surrogate reads as U+FFFD, as the
// standard's input is a scalar value string.
std::u32string ToCodePoints(std::u16string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    out.push_back(c);
  }
  return out;
}

// ---- hosts (section 3.5) ----

bool IsForbiddenHostCodePoint(char32_t c) {
  switch (c) {
    case 0x00: case 0x09: case 0x0A: case 0x0D: case ' ': case '#': case '/': case ':': case '<':
    case '>': case '?': case '@': case '[': case '\\': case ']': case '^': case '|':
      return true;
    default:
      return false;
  }
}

bool IsForbiddenDomainCodePoint(char32_t c) {
  return IsForbiddenHostCodePoint(c) || c <= 0x1F || c == '%' || c == 0x7F;
}

// "IPv4 number parser": nullopt on failure. Values saturate above 2^32 so that
// long digit strings cannot overflow; they fail the range checks anyway.
std::optional<uint64_t> ParseIpv4Number(std::u32string_view input) {
  if (input.empty()) return std::nullopt;
  unsigned radix = 10;
  if (input.size() >= 2 && input[0] == '0' && (input[1] == 'x' || input[1] == 'X')) {
    input.remove_prefix(2);
    radix = 16;
  } else if (input.size() >= 2 && input[0] == '0') {
    input.remove_prefix(1);
    radix = 8;
  }
  if (input.empty()) return 0;
  uint64_t value = 0;
  for (char32_t c : input) {
    unsigned digit;
    if (IsAsciiDigit(c)) digit = unsigned(c - '0');
    else if (c >= 'a' && c <= 'f') digit = unsigned(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') digit = unsigned(c - 'A' + 10);
    else return std::nullopt;
    if (digit >= radix) return std::nullopt;
    value = value * radix + digit;
    if (value > (uint64_t(1) << 40)) value = uint64_t(1) << 40;
  }
  return value;
}

std::vector<std::u32string_view> SplitOnDots(std::u32string_view s) {
  std::vector<std::u32string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t dot = s.find(U'.', start);
    if (dot == std::u32string_view::npos) {
      parts.push_back(s.substr(start));
      return parts;
    }
    parts.push_back(s.substr(start, dot - start));
    start = dot + 1;
  }
}

// "ends in a number checker".
bool EndsInANumber(std::u32string_view domain) {
  // The last label, ignoring one trailing dot.
  if (!domain.empty() && domain.back() == '.') {
    if (domain.size() == 1) return false;
    domain.remove_suffix(1);
  }
  size_t dot = domain.rfind(U'.');
  std::u32string_view last = dot == std::u32string_view::npos ? domain : domain.substr(dot + 1);
  if (!last.empty()) {
    bool allDigits = true;
    for (char32_t c : last) allDigits = allDigits && IsAsciiDigit(c);
    if (allDigits) return true;
  }
  return ParseIpv4Number(last).has_value();
}

// "IPv4 parser", serialised on success.
std::optional<std::string> ParseIpv4(std::u32string_view input) {
  auto parts = SplitOnDots(input);
  if (parts.back().empty() && parts.size() > 1) parts.pop_back();
  if (parts.size() > 4) return std::nullopt;
  std::vector<uint64_t> numbers;
  for (auto part : parts) {
    auto n = ParseIpv4Number(part);
    if (!n) return std::nullopt;
    numbers.push_back(*n);
  }
  for (size_t i = 0; i + 1 < numbers.size(); ++i)
    if (numbers[i] > 255) return std::nullopt;
  if (numbers.back() >= (uint64_t(1) << (8 * (5 - numbers.size())))) return std::nullopt;
  uint64_t ipv4 = numbers.back();
  for (size_t i = 0; i + 1 < numbers.size(); ++i) ipv4 += numbers[i] << (8 * (3 - i));
  return std::to_string((ipv4 >> 24) & 0xFF) + "." + std::to_string((ipv4 >> 16) & 0xFF) + "." +
         std::to_string((ipv4 >> 8) & 0xFF) + "." + std::to_string(ipv4 & 0xFF);
}

// "IPv6 parser" and "IPv6 serializer".
std::optional<std::string> ParseIpv6(std::u32string_view input) {
  std::array<uint16_t, 8> address{};
  size_t pieceIndex = 0;
  int compress = -1;
  size_t p = 0;
  auto at = [&](size_t i) -> char32_t { return i < input.size() ? input[i] : kEof; };
  if (at(p) == ':') {
    if (at(p + 1) != ':') return std::nullopt;
    p += 2;
    compress = int(++pieceIndex);
  }
  while (at(p) != kEof) {
    if (pieceIndex == 8) return std::nullopt;
    if (at(p) == ':') {
      if (compress != -1) return std::nullopt;
      ++p;
      compress = int(++pieceIndex);
      continue;
    }
    uint32_t value = 0;
    size_t length = 0;
    while (length < 4 && IsAsciiHexDigit(at(p))) {
      char32_t c = at(p);
      value = value * 16 + (IsAsciiDigit(c) ? c - '0' : AsciiLower(c) - 'a' + 10);
      ++p;
      ++length;
    }
    if (at(p) == '.') {
      if (length == 0) return std::nullopt;
      p -= length;
      if (pieceIndex > 6) return std::nullopt;
      int numbersSeen = 0;
      while (at(p) != kEof) {
        int ipv4Piece = -1;
        if (numbersSeen > 0) {
          if (at(p) == '.' && numbersSeen < 4) ++p;
          else return std::nullopt;
        }
        if (!IsAsciiDigit(at(p))) return std::nullopt;
        while (IsAsciiDigit(at(p))) {
          int number = int(at(p) - '0');
          if (ipv4Piece == -1) ipv4Piece = number;
          else if (ipv4Piece == 0) return std::nullopt;
          else ipv4Piece = ipv4Piece * 10 + number;
          if (ipv4Piece > 255) return std::nullopt;
          ++p;
        }
        address[pieceIndex] = uint16_t(address[pieceIndex] * 0x100 + ipv4Piece);
        ++numbersSeen;
        if (numbersSeen == 2 || numbersSeen == 4) ++pieceIndex;
      }
      if (numbersSeen != 4) return std::nullopt;
      break;
    } else if (at(p) == ':') {
      ++p;
      if (at(p) == kEof) return std::nullopt;
    } else if (at(p) != kEof) {
      return std::nullopt;
    }
    address[pieceIndex] = uint16_t(value);
    ++pieceIndex;
  }
  if (compress != -1) {
    size_t swaps = pieceIndex - size_t(compress);
    pieceIndex = 7;
    while (pieceIndex != 0 && swaps > 0) {
      std::swap(address[pieceIndex], address[size_t(compress) + swaps - 1]);
      --pieceIndex;
      --swaps;
    }
  } else if (pieceIndex != 8) {
    return std::nullopt;
  }
  // Serialise: the first longest run of two or more zero pieces becomes "::".
  int bestStart = -1, bestLength = 1;
  for (int i = 0; i < 8;) {
    int j = i;
    while (j < 8 && address[size_t(j)] == 0) ++j;
    if (j - i > bestLength) {
      bestStart = i;
      bestLength = j - i;
    }
    i = j == i ? i + 1 : j;
  }
  std::string out = "[";
  bool ignore0 = false;
  static constexpr char kHex[] = "0123456789abcdef";
  for (int i = 0; i < 8; ++i) {
    if (ignore0 && address[size_t(i)] == 0) continue;
    ignore0 = false;
    if (i == bestStart) {
      out += i == 0 ? "::" : ":";
      ignore0 = true;
      continue;
    }
    uint16_t v = address[size_t(i)];
    bool started = false;
    for (int shift = 12; shift >= 0; shift -= 4) {
      unsigned d = (v >> shift) & 0xF;
      if (d || started || shift == 0) {
        out.push_back(kHex[d]);
        started = true;
      }
    }
    if (i != 7) out.push_back(':');
  }
  return out + "]";
}

int HexValue(char32_t c) {
  if (IsAsciiDigit(c)) return int(c - '0');
  if (c >= 'a' && c <= 'f') return int(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return int(c - 'A' + 10);
  return -1;
}

// "host parser". Non-ASCII domains need IDNA, which is not done here: they fail.
std::optional<std::string> ParseHost(std::u32string_view input, bool isOpaque) {
  if (!input.empty() && input[0] == '[') {
    if (input.back() != ']' || input.size() < 2) return std::nullopt;
    return ParseIpv6(input.substr(1, input.size() - 2));
  }
  if (isOpaque) {
    // "opaque-host parser".
    std::string out;
    for (char32_t c : input) {
      if (IsForbiddenHostCodePoint(c)) return std::nullopt;
      AppendEncoded(out, c, EncodeSet::C0Control);
    }
    return out;
  }
  // Percent-decode (on the UTF-8 bytes of the input), then read as UTF-8:
  // only an all-ASCII result can go on without IDNA.
  std::u32string domain;
  for (size_t i = 0; i < input.size(); ++i) {
    char32_t c = input[i];
    if (c == '%' && i + 2 < input.size() && HexValue(input[i + 1]) >= 0 && HexValue(input[i + 2]) >= 0) {
      c = char32_t(HexValue(input[i + 1]) * 16 + HexValue(input[i + 2]));
      i += 2;
    }
    if (c >= 0x80) return std::nullopt;  // would need IDNA (UTS #46)
    domain.push_back(AsciiLower(c));
  }
  if (domain.empty()) return std::nullopt;
  for (char32_t c : domain)
    if (IsForbiddenDomainCodePoint(c)) return std::nullopt;
  if (EndsInANumber(domain)) return ParseIpv4(domain);
  return std::string(domain.begin(), domain.end());
}

// ---- the basic URL parser (4.4) ----

enum class State {
  SchemeStart, Scheme, NoScheme, SpecialRelativeOrAuthority, PathOrAuthority, Relative, RelativeSlash,
  SpecialAuthoritySlashes, SpecialAuthorityIgnoreSlashes, Authority, Host, Port, File, FileSlash,
  FileHost, PathStart, Path, OpaquePath, Query, Fragment,
};

bool IsWindowsDriveLetter(std::u32string_view s, bool normalizedOnly) {
  return s.size() == 2 && IsAsciiAlpha(s[0]) && (s[1] == ':' || (!normalizedOnly && s[1] == '|'));
}
bool IsNormalizedWindowsDriveLetter(const std::string& s) {
  return s.size() == 2 && IsAsciiAlpha(char32_t(s[0])) && s[1] == ':';
}
// "starts with a Windows drive letter".
bool StartsWithWindowsDriveLetter(std::u32string_view s) {
  if (s.size() < 2 || !IsWindowsDriveLetter(s.substr(0, 2), false)) return false;
  if (s.size() == 2) return true;
  char32_t c = s[2];
  return c == '/' || c == '\\' || c == '?' || c == '#';
}

bool IsSingleDot(const std::string& s) { return s == "." || s == "%2e" || s == "%2E"; }
bool IsDoubleDot(const std::string& s) {
  if (s.size() < 2 || s.size() > 6) return false;
  std::string lower;
  for (char c : s) lower.push_back(char(AsciiLower(char32_t(c))));
  return lower == ".." || lower == ".%2e" || lower == "%2e." || lower == "%2e%2e";
}

void ShortenPath(Url& url) {
  if (url.scheme == "file" && url.path.size() == 1 && IsNormalizedWindowsDriveLetter(url.path[0])) return;
  if (!url.path.empty()) url.path.pop_back();
}

std::optional<Url> BasicParse(std::u16string_view input16, const Url* base,
                              const QueryEncoder* queryEncoder = nullptr) {
  // Leading and trailing C0 control or space removed; tab and newlines anywhere.
  size_t b = 0, e = input16.size();
  while (b < e && input16[b] <= 0x20) ++b;
  while (e > b && input16[e - 1] <= 0x20) --e;
  std::u32string s = ToCodePoints(input16.substr(b, e - b));
  std::erase_if(s, [](char32_t c) { return c == 0x09 || c == 0x0A || c == 0x0D; });

  Url url;
  State state = State::SchemeStart;
  std::u32string buffer;        // scheme, authority and host text
  std::string pathBuffer;       // the current path segment, already encoded
  bool atSignSeen = false, insideBrackets = false, passwordTokenSeen = false;
  bool isSpecial = false;  // IsSpecialScheme(url.scheme), kept up to date
  auto remaining = [&](size_t p) { return p + 1 <= s.size() ? std::u32string_view(s).substr(p + 1) : std::u32string_view(); };

  // The pointer runs one past the end, where c is EOF. A "decrease pointer by
  // 1" before 0 is modelled with ptrdiff_t.
  for (std::ptrdiff_t p = 0;; ++p) {
    char32_t c = size_t(p) < s.size() ? s[size_t(p)] : kEof;
    switch (state) {
      case State::SchemeStart:
        if (IsAsciiAlpha(c)) {
          buffer.push_back(AsciiLower(c));
          state = State::Scheme;
        } else {
          state = State::NoScheme;
          --p;
        }
        break;
      case State::Scheme:
        if (IsAsciiAlpha(c) || IsAsciiDigit(c) || c == '+' || c == '-' || c == '.') {
          buffer.push_back(AsciiLower(c));
        } else if (c == ':') {
          url.scheme.assign(buffer.begin(), buffer.end());
          isSpecial = IsSpecialScheme(url.scheme);
          buffer.clear();
          if (url.scheme == "file") {
            state = State::File;
          } else if (isSpecial && base && base->scheme == url.scheme) {
            state = State::SpecialRelativeOrAuthority;
          } else if (isSpecial) {
            state = State::SpecialAuthoritySlashes;
          } else if (!remaining(size_t(p)).empty() && remaining(size_t(p))[0] == '/') {
            state = State::PathOrAuthority;
            ++p;
          } else {
            url.opaquePath = true;
            url.path.assign(1, std::string());
            state = State::OpaquePath;
          }
        } else {
          buffer.clear();
          state = State::NoScheme;
          p = -1;  // start over from the first code point
        }
        break;
      case State::NoScheme:
        if (!base || (base->opaquePath && c != '#')) return std::nullopt;
        if (base->opaquePath && c == '#') {
          url.scheme = base->scheme;
          isSpecial = IsSpecialScheme(url.scheme);
          url.opaquePath = true;
          url.path = base->path;
          url.hasQuery = base->hasQuery;
          url.query = base->query;
          url.hasFragment = true;
          url.fragment.clear();
          state = State::Fragment;
        } else if (base->scheme != "file") {
          state = State::Relative;
          --p;
        } else {
          state = State::File;
          --p;
        }
        break;
      case State::SpecialRelativeOrAuthority:
        if (c == '/' && !remaining(size_t(p)).empty() && remaining(size_t(p))[0] == '/') {
          state = State::SpecialAuthorityIgnoreSlashes;
          ++p;
        } else {
          state = State::Relative;
          --p;
        }
        break;
      case State::PathOrAuthority:
        if (c == '/') {
          state = State::Authority;
        } else {
          state = State::Path;
          --p;
        }
        break;
      case State::Relative:
        url.scheme = base->scheme;
        isSpecial = IsSpecialScheme(url.scheme);
        if (c == '/' || (isSpecial && c == '\\')) {
          state = State::RelativeSlash;
        } else {
          url.username = base->username;
          url.password = base->password;
          url.hasHost = base->hasHost;
          url.host = base->host;
          url.port = base->port;
          url.path = base->path;
          url.hasQuery = base->hasQuery;
          url.query = base->query;
          if (c == '?') {
            url.hasQuery = true;
            url.query.clear();
            state = State::Query;
          } else if (c == '#') {
            url.hasFragment = true;
            url.fragment.clear();
            state = State::Fragment;
          } else if (c != kEof) {
            url.hasQuery = false;
            url.query.clear();
            ShortenPath(url);
            state = State::Path;
            --p;
          }
        }
        break;
      case State::RelativeSlash:
        if (isSpecial && (c == '/' || c == '\\')) {
          state = State::SpecialAuthorityIgnoreSlashes;
        } else if (c == '/') {
          state = State::Authority;
        } else {
          url.username = base->username;
          url.password = base->password;
          url.hasHost = base->hasHost;
          url.host = base->host;
          url.port = base->port;
          state = State::Path;
          --p;
        }
        break;
      case State::SpecialAuthoritySlashes:
        if (c == '/' && !remaining(size_t(p)).empty() && remaining(size_t(p))[0] == '/') {
          state = State::SpecialAuthorityIgnoreSlashes;
          ++p;
        } else {
          state = State::SpecialAuthorityIgnoreSlashes;
          --p;
        }
        break;
      case State::SpecialAuthorityIgnoreSlashes:
        if (c != '/' && c != '\\') {
          state = State::Authority;
          --p;
        }
        break;
      case State::Authority:
        if (c == '@') {
          if (atSignSeen) buffer.insert(0, U"%40");
          atSignSeen = true;
          for (char32_t cp : buffer) {
            if (cp == ':' && !passwordTokenSeen) {
              passwordTokenSeen = true;
              continue;
            }
            AppendEncoded(passwordTokenSeen ? url.password : url.username, cp, EncodeSet::Userinfo);
          }
          buffer.clear();
        } else if (c == kEof || c == '/' || c == '?' || c == '#' || (isSpecial && c == '\\')) {
          if (atSignSeen && buffer.empty()) return std::nullopt;
          p -= std::ptrdiff_t(buffer.size()) + 1;
          buffer.clear();
          state = State::Host;
        } else {
          buffer.push_back(c);
        }
        break;
      case State::Host:
        if (c == ':' && !insideBrackets) {
          if (buffer.empty()) return std::nullopt;
          auto host = ParseHost(buffer, !isSpecial);
          if (!host) return std::nullopt;
          url.hasHost = true;
          url.host = *host;
          buffer.clear();
          state = State::Port;
        } else if (c == kEof || c == '/' || c == '?' || c == '#' || (isSpecial && c == '\\')) {
          --p;
          if (isSpecial && buffer.empty()) return std::nullopt;
          auto host = ParseHost(buffer, !isSpecial);
          if (!host) return std::nullopt;
          url.hasHost = true;
          url.host = *host;
          buffer.clear();
          state = State::PathStart;
        } else {
          if (c == '[') insideBrackets = true;
          if (c == ']') insideBrackets = false;
          buffer.push_back(c);
        }
        break;
      case State::Port:
        if (IsAsciiDigit(c)) {
          buffer.push_back(c);
        } else if (c == kEof || c == '/' || c == '?' || c == '#' || (isSpecial && c == '\\')) {
          if (!buffer.empty()) {
            uint32_t port = 0;
            for (char32_t d : buffer) {
              port = port * 10 + uint32_t(d - '0');
              if (port > 65535) return std::nullopt;
            }
            url.port = int(port) == DefaultPort(url.scheme) ? -1 : int(port);
            buffer.clear();
          }
          state = State::PathStart;
          --p;
        } else {
          return std::nullopt;
        }
        break;
      case State::File:
        url.scheme = "file";
        isSpecial = IsSpecialScheme(url.scheme);
        url.hasHost = true;
        url.host.clear();
        if (c == '/' || c == '\\') {
          state = State::FileSlash;
        } else if (base && base->scheme == "file") {
          url.hasHost = base->hasHost;
          url.host = base->host;
          url.path = base->path;
          url.hasQuery = base->hasQuery;
          url.query = base->query;
          if (c == '?') {
            url.hasQuery = true;
            url.query.clear();
            state = State::Query;
          } else if (c == '#') {
            url.hasFragment = true;
            url.fragment.clear();
            state = State::Fragment;
          } else if (c != kEof) {
            url.hasQuery = false;
            url.query.clear();
            if (!StartsWithWindowsDriveLetter(std::u32string_view(s).substr(size_t(p))))
              ShortenPath(url);
            else
              url.path.clear();
            state = State::Path;
            --p;
          }
        } else {
          state = State::Path;
          --p;
        }
        break;
      case State::FileSlash:
        if (c == '/' || c == '\\') {
          state = State::FileHost;
        } else {
          if (base && base->scheme == "file") {
            url.hasHost = base->hasHost;
            url.host = base->host;
            if (!StartsWithWindowsDriveLetter(std::u32string_view(s).substr(std::min(size_t(p), s.size()))) &&
                !base->path.empty() && IsNormalizedWindowsDriveLetter(base->path[0]))
              url.path.push_back(base->path[0]);
          }
          state = State::Path;
          --p;
        }
        break;
      case State::FileHost:
        if (c == kEof || c == '/' || c == '\\' || c == '?' || c == '#') {
          --p;
          if (IsWindowsDriveLetter(buffer, false)) {
            // The buffer is not reset: the path state uses it.
            pathBuffer.assign(buffer.begin(), buffer.end());
            buffer.clear();
            state = State::Path;
          } else if (buffer.empty()) {
            url.hasHost = true;
            url.host.clear();
            state = State::PathStart;
          } else {
            auto host = ParseHost(buffer, !isSpecial);
            if (!host) return std::nullopt;
            if (*host == "localhost") host->clear();
            url.hasHost = true;
            url.host = *host;
            buffer.clear();
            state = State::PathStart;
          }
        } else {
          buffer.push_back(c);
        }
        break;
      case State::PathStart:
        if (isSpecial) {
          state = State::Path;
          if (c != '/' && c != '\\') --p;
        } else if (c == '?') {
          url.hasQuery = true;
          url.query.clear();
          state = State::Query;
        } else if (c == '#') {
          url.hasFragment = true;
          url.fragment.clear();
          state = State::Fragment;
        } else if (c != kEof) {
          state = State::Path;
          if (c != '/') --p;
        }
        break;
      case State::Path:
        if (c == kEof || c == '/' || (isSpecial && c == '\\') || c == '?' || c == '#') {
          bool slash = c == '/' || (isSpecial && c == '\\');
          if (IsDoubleDot(pathBuffer)) {
            ShortenPath(url);
            if (!slash) url.path.emplace_back();
          } else if (IsSingleDot(pathBuffer) && !slash) {
            url.path.emplace_back();
          } else if (!IsSingleDot(pathBuffer)) {
            if (url.scheme == "file" && url.path.empty() && pathBuffer.size() == 2 &&
                IsAsciiAlpha(char32_t(pathBuffer[0])) && pathBuffer[1] == '|')
              pathBuffer[1] = ':';
            url.path.push_back(pathBuffer);
          }
          pathBuffer.clear();
          if (c == '?') {
            url.hasQuery = true;
            url.query.clear();
            state = State::Query;
          } else if (c == '#') {
            url.hasFragment = true;
            url.fragment.clear();
            state = State::Fragment;
          }
        } else {
          AppendEncoded(pathBuffer, c, EncodeSet::Path);
        }
        break;
      case State::OpaquePath:
        if (c == '?') {
          url.hasQuery = true;
          url.query.clear();
          state = State::Query;
        } else if (c == '#') {
          url.hasFragment = true;
          url.fragment.clear();
          state = State::Fragment;
        } else if (c == ' ') {
          // A space just before the query or fragment would be lost on a
          // round trip; it is encoded there.
          auto rest = remaining(size_t(p));
          url.path[0] += (!rest.empty() && (rest[0] == '?' || rest[0] == '#')) ? "%20" : " ";
        } else if (c != kEof) {
          AppendEncoded(url.path[0], c, EncodeSet::C0Control);
        }
        break;
      case State::Query:
        if (c == '#') {
          url.hasFragment = true;
          url.fragment.clear();
          state = State::Fragment;
        } else if (c != kEof) {
          // The query state's encoding: the document's, but UTF-8 for ws, wss
          // and non-special schemes ("percent-encode after encoding").
          const bool documentEncoding = queryEncoder && *queryEncoder && isSpecial &&
                                        url.scheme != "ws" && url.scheme != "wss";
          if (documentEncoding && c >= 0x80) {
            if (auto bytes = (*queryEncoder)(c)) {
              // Each byte as its own code point: a trail byte in the ASCII range
              // is kept or escaped as that ASCII character would be.
              const EncodeSet set = EncodeSet::SpecialQuery;
              for (char ch : *bytes) {
                const uint8_t byte = uint8_t(ch);
                if (byte >= 0x80 || InSet(byte, set)) {
                  PercentEncodeByte(url.query, byte);
                } else {
                  url.query.push_back(char(byte));
                }
              }
            } else {
              url.query += "%26%23" + std::to_string(uint32_t(c)) + "%3B";
            }
          } else {
            AppendEncoded(url.query, c, isSpecial ? EncodeSet::SpecialQuery : EncodeSet::Query);
          }
        }
        break;
      case State::Fragment:
        if (c != kEof) AppendEncoded(url.fragment, c, EncodeSet::Fragment);
        break;
    }
    if (p >= std::ptrdiff_t(s.size())) break;
  }
  return url;
}

// "URL serializer".
std::string Serialize(const Url& url) {
  std::string out;
  size_t size = url.scheme.size() + url.username.size() + url.password.size() + url.host.size() +
                url.query.size() + url.fragment.size() + 16;
  for (const std::string& segment : url.path) size += segment.size() + 1;
  out.reserve(size);
  out += url.scheme;
  out += ':';
  if (url.hasHost) {
    out += "//";
    if (!url.username.empty() || !url.password.empty()) {
      out += url.username;
      if (!url.password.empty()) {
        out += ':';
        out += url.password;
      }
      out += '@';
    }
    out += url.host;
    if (url.port >= 0) {
      out += ':';
      out += std::to_string(url.port);
    }
  }
  if (url.opaquePath) {
    if (!url.path.empty()) out += url.path[0];
  } else {
    if (!url.hasHost && url.path.size() > 1 && url.path[0].empty()) out += "/.";
    for (const std::string& segment : url.path) {
      out += '/';
      out += segment;
    }
  }
  if (url.hasQuery) {
    out += '?';
    out += url.query;
  }
  if (url.hasFragment) {
    out += '#';
    out += url.fragment;
  }
  return out;
}

}  // namespace

struct UrlResolver::ParsedBase {
  Url url;
  std::u16string origin;  // "http://host[:port]" of an http(s) base with a host, else empty
};

namespace {

// The shortcut: most links of a page are already written the way the parser
// would serialise them, either whole ("http://host/path") or as a path from the
// site's root ("/path"). Such a link is its own result, and the parser (which
// decodes to code points, percent-encodes, splits the path into segments and
// joins it again) need not run. Only the plainest forms qualify; anything that
// the parser could change (upper case, dot segments, numbers that read as
// IPv4, punycode, default ports, characters that would be encoded, a missing
// path, white space) goes the long way.

// Printable ASCII that none of the percent-encode sets touches, in any version
// of them (conservative: a character left out only costs the long way).
constexpr bool IsPlainChar(char16_t c) {
  if (c <= 0x20 || c >= 0x7F) return false;
  for (char16_t bad : u"\"#<>?`{}\\^|[]'") {
    if (c == bad) return false;
  }
  return true;
}

// "/path[?query][#fragment]" exactly as it would be serialised.
bool IsCanonicalPathQueryFragment(std::u16string_view rest) {
  if (rest.empty() || rest[0] != '/') return false;
  size_t i = 0;
  // Path: segments that are neither "." nor ".." in any spelling.
  while (i < rest.size() && rest[i] != '?' && rest[i] != '#') {
    const char16_t c = rest[i];
    if (!IsPlainChar(c)) return false;
    if (c == '/' && i + 1 < rest.size() && rest[i + 1] == '.') return false;
    if (c == '%' && i + 2 < rest.size() && rest[i + 1] == '2' && (rest[i + 2] == 'e' || rest[i + 2] == 'E')) {
      return false;
    }
    ++i;
  }
  if (i < rest.size() && rest[i] == '?') {
    for (++i; i < rest.size() && rest[i] != '#'; ++i) {
      if (!IsPlainChar(rest[i]) && rest[i] != '?') return false;
    }
  }
  if (i < rest.size() && rest[i] == '#') {
    for (++i; i < rest.size(); ++i) {
      if (!IsPlainChar(rest[i]) && rest[i] != '?') return false;
    }
  }
  return true;
}

// A lower-case domain of letters, digits, dots and hyphens whose labels the
// host parser keeps as they are, or a dotted quad in its shortest form.
bool IsCanonicalHost(std::u16string_view host) {
  if (host.empty() || host.front() == '.' || host.back() == '.') return false;
  size_t labelStart = 0;
  for (size_t i = 0; i <= host.size(); ++i) {
    if (i < host.size() && host[i] != '.') {
      const char16_t c = host[i];
      if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) return false;
      continue;
    }
    const std::u16string_view label = host.substr(labelStart, i - labelStart);
    if (label.empty() || label.find(u"--") != std::u16string_view::npos) return false;  // also "xn--"
    labelStart = i + 1;
  }
  // A last label that starts with a digit makes the host a number to the parser.
  const std::u16string_view last = host.substr(host.rfind('.') == std::u16string_view::npos ? 0 : host.rfind('.') + 1);
  if (last[0] < '0' || last[0] > '9') return true;
  int parts = 0;
  for (size_t at = 0; at <= host.size();) {
    const size_t dot = std::min(host.find('.', at), host.size());
    const std::u16string_view part = host.substr(at, dot - at);
    if (part.size() > 3 || (part.size() > 1 && part[0] == '0')) return false;
    int value = 0;
    for (char16_t c : part) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    if (value > 255) return false;
    ++parts;
    at = dot + 1;
  }
  return parts == 4;
}

// "http://host[:port]/..." or "https://...", written as it would be serialised.
bool IsCanonicalHttpUrl(std::u16string_view input) {
  std::u16string_view rest;
  int defaultPort = 0;
  if (input.starts_with(u"http://")) {
    rest = input.substr(7);
    defaultPort = 80;
  } else if (input.starts_with(u"https://")) {
    rest = input.substr(8);
    defaultPort = 443;
  } else {
    return false;
  }
  size_t end = 0;
  while (end < rest.size() && rest[end] != ':' && rest[end] != '/' && rest[end] != '?' && rest[end] != '#') ++end;
  if (!IsCanonicalHost(rest.substr(0, end))) return false;
  if (end < rest.size() && rest[end] == ':') {
    size_t digits = end + 1;
    long port = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9' && digits - end <= 5) {
      port = port * 10 + (rest[digits] - '0');
      ++digits;
    }
    const size_t count = digits - end - 1;
    if (count == 0 || count > 5 || rest[end + 1] == '0' || port > 65535 || port == defaultPort) return false;
    end = digits;
  }
  return IsCanonicalPathQueryFragment(rest.substr(end));
}

}  // namespace

UrlResolver::UrlResolver(std::u16string_view base, QueryEncoder queryEncoder)
    : m_queryEncoder(std::move(queryEncoder)) {
  if (base.empty()) return;
  auto parsed = BasicParse(base, nullptr);
  if (!parsed) return;
  m_base.reset(new ParsedBase{std::move(*parsed), {}});
  const Url& url = m_base->url;
  if ((url.scheme == "http" || url.scheme == "https") && url.hasHost && url.username.empty() &&
      url.password.empty()) {
    std::string origin = url.scheme + "://" + url.host;
    if (url.port >= 0) origin += ":" + std::to_string(url.port);
    m_base->origin.assign(origin.begin(), origin.end());
  }
}

UrlResolver::~UrlResolver() = default;

std::optional<std::u16string> UrlResolver::Resolve(std::u16string_view input) const {
  if (IsCanonicalHttpUrl(input)) return std::u16string(input);
  if (m_base && !m_base->origin.empty() && !input.starts_with(u"//") && IsCanonicalPathQueryFragment(input)) {
    std::u16string href = m_base->origin;
    href.append(input);
    return href;
  }
  auto url = BasicParse(input, m_base ? &m_base->url : nullptr, &m_queryEncoder);
  if (!url) return std::nullopt;
  std::string href = Serialize(*url);
  return std::u16string(href.begin(), href.end());
}

std::optional<std::u16string> ResolveUrl(std::u16string_view input, std::u16string_view base,
                                         const QueryEncoder& queryEncoder) {
  return UrlResolver(base, queryEncoder).Resolve(input);
}

}  // namespace fw::html
