#include "tests/app/price/html/Json.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fw::testjson {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : m_s(text) {}

  std::optional<Value> Document(std::string* error) {
    Value v;
    bool ok = ParseValue(v, 0);
    SkipSpace();
    if (ok && m_pos == m_s.size()) return v;
    if (error) *error = "malformed JSON near byte " + std::to_string(m_pos);
    return std::nullopt;
  }

 private:
  void SkipSpace() {
    while (m_pos < m_s.size() &&
           (m_s[m_pos] == ' ' || m_s[m_pos] == '\t' || m_s[m_pos] == '\n' || m_s[m_pos] == '\r'))
      ++m_pos;
  }
  bool Literal(std::string_view word) {
    if (m_s.substr(m_pos, word.size()) != word) return false;
    m_pos += word.size();
    return true;
  }
  bool ParseValue(Value& v, int depth) {
    if (depth > 200) return false;
    SkipSpace();
    if (m_pos >= m_s.size()) return false;
    char c = m_s[m_pos];
    if (c == '{') return ParseObject(v, depth);
    if (c == '[') return ParseArray(v, depth);
    if (c == '"') {
      v.kind = Value::Kind::String;
      return ParseString(v.string);
    }
    if (Literal("null")) return true;
    if (Literal("true")) {
      v.kind = Value::Kind::Bool;
      v.boolean = true;
      return true;
    }
    if (Literal("false")) {
      v.kind = Value::Kind::Bool;
      return true;
    }
    return ParseNumber(v);
  }
  bool ParseNumber(Value& v) {
    size_t start = m_pos;
    while (m_pos < m_s.size() && std::string_view("+-0123456789.eE").find(m_s[m_pos]) != std::string_view::npos)
      ++m_pos;
    if (m_pos == start) return false;
    v.kind = Value::Kind::Number;
    v.number = std::strtod(std::string(m_s.substr(start, m_pos - start)).c_str(), nullptr);
    return true;
  }
  bool Hex4(uint32_t& out) {
    if (m_s.size() - m_pos < 4) return false;
    out = 0;
    for (int i = 0; i < 4; ++i) {
      char c = m_s[m_pos++];
      out <<= 4;
      if (c >= '0' && c <= '9') out |= uint32_t(c - '0');
      else if (c >= 'a' && c <= 'f') out |= uint32_t(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') out |= uint32_t(c - 'A' + 10);
      else return false;
    }
    return true;
  }
  bool ParseString(std::u16string& out) {
    ++m_pos;  // the opening quote
    while (m_pos < m_s.size()) {
      unsigned char c = static_cast<unsigned char>(m_s[m_pos]);
      if (c == '"') {
        ++m_pos;
        return true;
      }
      if (c == '\\') {
        if (++m_pos >= m_s.size()) return false;
        char e = m_s[m_pos++];
        switch (e) {
          case '"': out.push_back(u'"'); break;
          case '\\': out.push_back(u'\\'); break;
          case '/': out.push_back(u'/'); break;
          case 'b': out.push_back(u'\b'); break;
          case 'f': out.push_back(u'\f'); break;
          case 'n': out.push_back(u'\n'); break;
          case 'r': out.push_back(u'\r'); break;
          case 't': out.push_back(u'\t'); break;
          case 'u': {
            uint32_t unit;
            if (!Hex4(unit)) return false;
            out.push_back(char16_t(unit));  // surrogates kept as they are written
            break;
          }
          default: return false;
        }
        continue;
      }
      // UTF-8 sequence (the files are valid UTF-8).
      uint32_t cp;
      int extra;
      if (c < 0x80) { cp = c; extra = 0; }
      else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
      else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
      else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
      else return false;
      ++m_pos;
      for (int i = 0; i < extra; ++i) {
        if (m_pos >= m_s.size()) return false;
        cp = (cp << 6) | (static_cast<unsigned char>(m_s[m_pos++]) & 0x3F);
      }
      if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(char16_t(0xD800 + (cp >> 10)));
        out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
      } else {
        out.push_back(char16_t(cp));
      }
    }
    return false;
  }
  bool ParseArray(Value& v, int depth) {
    v.kind = Value::Kind::Array;
    ++m_pos;
    SkipSpace();
    if (m_pos < m_s.size() && m_s[m_pos] == ']') {
      ++m_pos;
      return true;
    }
    for (;;) {
      Value item;
      if (!ParseValue(item, depth + 1)) return false;
      v.array.push_back(std::move(item));
      SkipSpace();
      if (m_pos >= m_s.size()) return false;
      if (m_s[m_pos] == ',') { ++m_pos; continue; }
      if (m_s[m_pos] == ']') { ++m_pos; return true; }
      return false;
    }
  }
  bool ParseObject(Value& v, int depth) {
    v.kind = Value::Kind::Object;
    ++m_pos;
    SkipSpace();
    if (m_pos < m_s.size() && m_s[m_pos] == '}') {
      ++m_pos;
      return true;
    }
    for (;;) {
      SkipSpace();
      if (m_pos >= m_s.size() || m_s[m_pos] != '"') return false;
      std::u16string key;
      if (!ParseString(key)) return false;
      SkipSpace();
      if (m_pos >= m_s.size() || m_s[m_pos] != ':') return false;
      ++m_pos;
      Value item;
      if (!ParseValue(item, depth + 1)) return false;
      v.object.push_back({std::move(key), std::move(item)});
      SkipSpace();
      if (m_pos >= m_s.size()) return false;
      if (m_s[m_pos] == ',') { ++m_pos; continue; }
      if (m_s[m_pos] == '}') { ++m_pos; return true; }
      return false;
    }
  }

  std::string_view m_s;
  size_t m_pos = 0;
};

}  // namespace

const Value* Value::Find(std::u16string_view key) const {
  for (const auto& [k, v] : object)
    if (k == key) return &v;
  return nullptr;
}

std::optional<Value> Parse(std::string_view text, std::string* error) { return Parser(text).Document(error); }

std::string ToUtf8(std::u16string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(char(cp));
    } else if (cp < 0x800) {
      out.push_back(char(0xC0 | (cp >> 6)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(char(0xE0 | (cp >> 12)));
      out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(char(0xF0 | (cp >> 18)));
      out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::optional<std::string> ReadSourceFile(std::string_view relativePath) {
  const char* root = std::getenv("FUELWISE_SOURCE_DIR");
  if (!root) return std::nullopt;
  std::string path;
#ifdef _WIN32
  if (root[0] == '/') path = "Z:";
#endif
  path += root;
  path += '/';
  path += relativePath;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace fw::testjson
