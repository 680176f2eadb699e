// The design-file reader and writer. The grammar is in docs/design-files.md;
// the reader works line by line (a literal never spans lines: line breaks in
// text are written as escapes), so every fault has a line to report.
#include "host/DesignFile.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <unordered_map>
#include <utility>

#include "host/Utf8.h"

namespace fw {

namespace {

// Pictures that are not resources travel as base64 (RFC 4648, with padding).
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

void AppendBase64(std::u16string& out, const std::vector<uint8_t>& bytes) {
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const uint32_t v = (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
    for (int shift = 18; shift >= 0; shift -= 6) out.push_back(static_cast<char16_t>(kBase64[(v >> shift) & 63]));
  }
  const size_t rest = bytes.size() - i;
  if (rest == 0) return;
  uint32_t v = uint32_t{bytes[i]} << 16;
  if (rest == 2) v |= uint32_t{bytes[i + 1]} << 8;
  out.push_back(static_cast<char16_t>(kBase64[(v >> 18) & 63]));
  out.push_back(static_cast<char16_t>(kBase64[(v >> 12) & 63]));
  out.push_back(rest == 2 ? static_cast<char16_t>(kBase64[(v >> 6) & 63]) : u'=');
  out.push_back(u'=');
}

// False for any character outside the alphabet, a length that is not a multiple
// of 4, or padding anywhere but at the end.
bool DecodeBase64(std::u16string_view text, std::vector<uint8_t>& out) {
  out.clear();
  if (text.size() % 4 != 0) return false;
  auto value = [](char16_t c) -> int {
    if (c >= u'A' && c <= u'Z') return c - u'A';
    if (c >= u'a' && c <= u'z') return c - u'a' + 26;
    if (c >= u'0' && c <= u'9') return c - u'0' + 52;
    if (c == u'+') return 62;
    if (c == u'/') return 63;
    return -1;
  };
  for (size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    const int pad = last ? (text[i + 3] == u'=') + (text[i + 2] == u'=') : 0;
    if (pad == 1 && text[i + 2] == u'=') return false;
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) {
      const int d = k >= 4 - pad ? 0 : value(text[i + k]);
      if (d < 0) return false;
      v = (v << 6) | static_cast<uint32_t>(d);
    }
    out.push_back(static_cast<uint8_t>(v >> 16));
    if (pad < 2) out.push_back(static_cast<uint8_t>(v >> 8));
    if (pad < 1) out.push_back(static_cast<uint8_t>(v));
  }
  return true;
}

constexpr std::u16string_view kBegin = u"Begin";
constexpr std::u16string_view kEnd = u"End";
constexpr std::u16string_view kBeginProperty = u"BeginProperty";
constexpr std::u16string_view kEndProperty = u"EndProperty";
constexpr std::u16string_view kIndex = u"Index";

// Font sub-block keys, in the order the writer puts them.
constexpr std::u16string_view kFontName = u"Name";
constexpr std::u16string_view kFontSize = u"Size";
constexpr std::u16string_view kFontCharset = u"Charset";
constexpr std::u16string_view kFontWeight = u"Weight";
constexpr std::u16string_view kFontBold = u"Bold";
constexpr std::u16string_view kFontItalic = u"Italic";
constexpr std::u16string_view kFontUnderline = u"Underline";
constexpr std::u16string_view kFontStrikethrough = u"Strikethrough";

constexpr double kMaxFontSize = 4096.0;

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Spaces other than the blank and the tab. They look like a blank in an editor,
// so they are neither white space nor part of a name: a clear error instead.
bool IsOtherSpace(char16_t c) {
  return c == 0x00A0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200B) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

// Names: an ASCII letter, '_' or any non-ASCII character (so a control may carry
// a Chinese name), then the same or digits.
bool IsNameStart(char16_t c) { return IsAsciiLetter(c) || c == u'_' || (c >= 0x80 && !IsOtherSpace(c)); }
bool IsNameChar(char16_t c) { return IsNameStart(c) || IsDigit(c); }

bool IsResourceChar(char16_t c) {
  return IsAsciiLetter(c) || IsDigit(c) || c == u'_' || c == u'.' || c == u'-';
}

bool IsKeyword(std::u16string_view word) {
  return NamesEqual(word, kBegin) || NamesEqual(word, kEnd) || NamesEqual(word, kBeginProperty) ||
         NamesEqual(word, kEndProperty) || NamesEqual(word, kIndex);
}

std::string Hex4(char16_t c) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string s = "U+";
  for (int shift = 12; shift >= 0; shift -= 4) s.push_back(kDigits[(c >> shift) & 0xF]);
  return s;
}

// A name for a message: UTF-8, cut short so a hostile file cannot make a huge one.
std::string Quote(std::u16string_view name) {
  constexpr size_t kMax = 40;
  std::string s = "'" + Utf16ToUtf8(name.substr(0, kMax));
  if (name.size() > kMax) s += "...";
  return s + "'";
}

std::u16string FoldedKey(std::u16string_view name) {
  std::u16string key(name);
  for (char16_t& c : key)
    if (c >= u'A' && c <= u'Z') c = char16_t(c + (u'a' - u'A'));
  return key;
}

// ---------------------------------------------------------------------------
// Reading

// The literal kinds a value can have in the file; fonts have their own block.
struct Literal {
  PropertyValue value;
  bool integer = false;  // written as an integer (a font Size accepts both)
};

class LineLexer {
 public:
  explicit LineLexer(std::u16string_view line) : m_line(line) {}

  void SkipBlanks() {
    while (m_pos < m_line.size() && IsBlank(m_line[m_pos])) ++m_pos;
  }
  // Nothing but blanks and perhaps a comment left.
  bool AtEnd() {
    SkipBlanks();
    return m_pos == m_line.size() || m_line[m_pos] == u'\'';
  }
  bool Peek(char16_t c) {
    SkipBlanks();
    return m_pos < m_line.size() && m_line[m_pos] == c;
  }
  bool Take(char16_t c) {
    if (!Peek(c)) return false;
    ++m_pos;
    return true;
  }
  const std::string& Error() const { return m_error; }

  // A name: bare, or quoted like a text. `quoted` tells which, because only a
  // bare word can be a keyword.
  bool ReadName(std::u16string& out, bool& quoted, const char* what) {
    SkipBlanks();
    if (m_pos < m_line.size() && m_line[m_pos] == u'"') {
      quoted = true;
      return ReadString(out);
    }
    quoted = false;
    if (m_pos >= m_line.size() || !IsNameStart(m_line[m_pos])) return Unexpected(what);
    const size_t start = m_pos;
    while (m_pos < m_line.size() && IsNameChar(m_line[m_pos])) ++m_pos;
    out.assign(m_line.substr(start, m_pos - start));
    return true;
  }

  bool ReadValue(Literal& out) {
    SkipBlanks();
    if (m_pos >= m_line.size() || m_line[m_pos] == u'\'') return Fail("a value is missing after '='");
    const char16_t c = m_line[m_pos];
    if (c == u'"') {
      std::u16string text;
      if (!ReadString(text)) return false;
      out.value = std::move(text);
      return true;
    }
    if (c == u'&') return ReadColour(out);
    if (c == u'-' || IsDigit(c)) return ReadNumber(out);
    if (IsNameStart(c)) return ReadWord(out);
    return Unexpected("a value");
  }

  // The rest of the line must be blank or a comment.
  bool ExpectEnd(const char* after) {
    if (AtEnd()) return true;
    return Fail(std::string("unexpected ") + Describe(m_line[m_pos]) + " after " + after);
  }

  bool Unexpected(const char* wanted) {
    if (m_pos >= m_line.size()) return Fail(std::string(wanted) + " is missing");
    return Fail(std::string("expected ") + wanted + ", found " + Describe(m_line[m_pos]));
  }

 private:
  bool Fail(std::string message) {
    m_error = std::move(message);
    return false;
  }

  static std::string Describe(char16_t c) {
    if (c >= 0x21 && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
    return "character " + Hex4(c);
  }

  // "text": "" is a quote; \\ \" \r \n \t and \uXXXX are escapes, so any UTF-16
  // text, line breaks and NULs included, fits on one line.
  bool ReadString(std::u16string& out) {
    ++m_pos;  // the opening quote
    out.clear();
    while (true) {
      if (m_pos >= m_line.size()) return Fail("the text has no closing quote");
      const char16_t c = m_line[m_pos++];
      if (c == u'"') {
        if (m_pos < m_line.size() && m_line[m_pos] == u'"') {
          out.push_back(u'"');
          ++m_pos;
          continue;
        }
        return true;
      }
      if (c == u'\\') {
        if (m_pos >= m_line.size()) return Fail("the text ends in the middle of an escape");
        const char16_t e = m_line[m_pos++];
        switch (e) {
          case u'\\': out.push_back(u'\\'); break;
          case u'"': out.push_back(u'"'); break;
          case u'r': out.push_back(u'\r'); break;
          case u'n': out.push_back(u'\n'); break;
          case u't': out.push_back(u'\t'); break;
          case u'u': {
            uint32_t v = 0;
            for (int i = 0; i < 4; ++i) {
              const int h = m_pos < m_line.size() ? HexValue(m_line[m_pos]) : -1;
              if (h < 0) return Fail("\\u in a text needs exactly four hex digits");
              v = (v << 4) | static_cast<uint32_t>(h);
              ++m_pos;
            }
            out.push_back(static_cast<char16_t>(v));
            break;
          }
          default:
            return Fail("unknown escape \\" + (e >= 0x21 && e < 0x7F ? std::string(1, static_cast<char>(e))
                                                                    : Describe(e)) +
                        " in a text (a backslash itself is written \\\\)");
        }
        continue;
      }
      if ((c < 0x20 && c != u'\t') || c == 0x7F)
        return Fail(Describe(c) + " in a text; write it as an escape such as \\u" + Hex4(c).substr(2));
      out.push_back(c);
    }
  }

  // &HBBGGRR&: one to eight hex digits between "&H" and "&".
  bool ReadColour(Literal& out) {
    ++m_pos;
    if (m_pos >= m_line.size() || (m_line[m_pos] != u'H' && m_line[m_pos] != u'h'))
      return Fail("a colour is written &H followed by hex digits and '&'");
    ++m_pos;
    uint32_t v = 0;
    int digits = 0;
    for (int h; m_pos < m_line.size() && (h = HexValue(m_line[m_pos])) >= 0; ++m_pos) {
      if (++digits > 8) return Fail("a colour has at most 8 hex digits");
      v = (v << 4) | static_cast<uint32_t>(h);
    }
    if (digits == 0) return Fail("a colour needs hex digits after &H");
    if (m_pos >= m_line.size() || m_line[m_pos] != u'&') return Fail("a colour must end with '&'");
    ++m_pos;
    out.value = Colour(v);
    return true;
  }

  // -?digits: a 32-bit integer. -?digits.digits[e[+-]digits] or -?digits e[+-]digits:
  // a double. Out of range is an error, never a wrapped or saturated number.
  bool ReadNumber(Literal& out) {
    const size_t start = m_pos;
    if (m_line[m_pos] == u'-') {
      ++m_pos;
      if (m_pos < m_line.size() && IsNameStart(m_line[m_pos])) {
        Literal word;
        const size_t wordStart = m_pos;
        if (!ReadWord(word)) return false;
        const double* d = std::get_if<double>(&word.value);
        if (!d || !std::isinf(*d)) {
          m_pos = wordStart;
          return Fail("only a number or Infinity may follow '-'");
        }
        out.value = -*d;
        return true;
      }
    }
    const size_t intStart = m_pos;
    while (m_pos < m_line.size() && IsDigit(m_line[m_pos])) ++m_pos;
    if (m_pos == intStart) return Fail("a digit must follow '-'");
    bool isDouble = false;
    if (m_pos < m_line.size() && m_line[m_pos] == u'.') {
      ++m_pos;
      const size_t fracStart = m_pos;
      while (m_pos < m_line.size() && IsDigit(m_line[m_pos])) ++m_pos;
      if (m_pos == fracStart) return Fail("a digit must follow the decimal point");
      isDouble = true;
    }
    if (m_pos < m_line.size() && (m_line[m_pos] == u'e' || m_line[m_pos] == u'E')) {
      ++m_pos;
      if (m_pos < m_line.size() && (m_line[m_pos] == u'+' || m_line[m_pos] == u'-')) ++m_pos;
      const size_t expStart = m_pos;
      while (m_pos < m_line.size() && IsDigit(m_line[m_pos])) ++m_pos;
      if (m_pos == expStart) return Fail("a digit must follow the exponent mark");
      isDouble = true;
    }
    // The digits are ASCII, so narrowing them is exact.
    std::string ascii;
    ascii.reserve(m_pos - start);
    for (size_t i = start; i < m_pos; ++i) ascii.push_back(static_cast<char>(m_line[i]));
    const char* first = ascii.data();
    const char* last = ascii.data() + ascii.size();
    if (isDouble) {
      double d = 0;
      const auto r = std::from_chars(first, last, d);
      if (r.ec == std::errc::result_out_of_range || !std::isfinite(d))
        return Fail("the number " + ascii + " is out of range");
      if (r.ec != std::errc() || r.ptr != last) return Fail("the number " + ascii + " cannot be read");
      out.value = d;
      return true;
    }
    int32_t i = 0;
    const auto r = std::from_chars(first, last, i);
    if (r.ec == std::errc::result_out_of_range)
      return Fail("the integer " + ascii + " is out of the 32-bit range");
    if (r.ec != std::errc() || r.ptr != last) return Fail("the number " + ascii + " cannot be read");
    out.value = i;
    out.integer = true;
    return true;
  }

  // True, False, NaN, Infinity, and res:NAME / res:"name" for a picture.
  bool ReadWord(Literal& out) {
    const size_t start = m_pos;
    while (m_pos < m_line.size() && IsNameChar(m_line[m_pos])) ++m_pos;
    const std::u16string_view word = m_line.substr(start, m_pos - start);
    if (NamesEqual(word, u"True")) {
      out.value = true;
    } else if (NamesEqual(word, u"False")) {
      out.value = false;
    } else if (NamesEqual(word, u"NaN")) {
      out.value = std::numeric_limits<double>::quiet_NaN();
    } else if (NamesEqual(word, u"Infinity")) {
      out.value = std::numeric_limits<double>::infinity();
    } else if (NamesEqual(word, u"data") && m_pos < m_line.size() && m_line[m_pos] == u':') {
      ++m_pos;
      std::u16string text;
      if (m_pos >= m_line.size() || m_line[m_pos] != u'"') return Fail("a quoted text must follow data:");
      if (!ReadString(text)) return false;
      PictureRef pic;
      if (!DecodeBase64(text, pic.data)) return Fail("the picture data is not valid base64");
      out.value = std::move(pic);
    } else if (NamesEqual(word, u"res") && m_pos < m_line.size() && m_line[m_pos] == u':') {
      ++m_pos;
      PictureRef pic;
      if (m_pos < m_line.size() && m_line[m_pos] == u'"') {
        if (!ReadString(pic.resource)) return false;
      } else {
        const size_t nameStart = m_pos;
        while (m_pos < m_line.size() && IsResourceChar(m_line[m_pos])) ++m_pos;
        if (m_pos == nameStart) return Fail("a resource name must follow res:");
        pic.resource.assign(m_line.substr(nameStart, m_pos - nameStart));
      }
      out.value = std::move(pic);
    } else {
      m_pos = start;
      return Fail("unknown value " + Quote(word) + " (a text is written in double quotes)");
    }
    return true;
  }

  std::u16string_view m_line;
  size_t m_pos = 0;
  std::string m_error;
};

class Parser {
 public:
  explicit Parser(std::u16string_view text) : m_text(text) {}

  DesignParseResult Run() {
    if (!m_text.empty() && m_text.front() == 0xFEFF) m_text.remove_prefix(1);
    size_t pos = 0;
    while (pos < m_text.size() || m_line == 0) {
      // CRLF, LF and a lone CR each end a line.
      size_t end = pos;
      while (end < m_text.size() && m_text[end] != u'\n' && m_text[end] != u'\r') ++end;
      ++m_line;
      if (!ParseLine(m_text.substr(pos, end - pos))) return Failure();
      if (end < m_text.size() && m_text[end] == u'\r' && end + 1 < m_text.size() && m_text[end + 1] == u'\n')
        ++end;
      pos = end + 1;
      if (end >= m_text.size()) break;
    }
    if (m_font) {
      m_line = m_font->line;
      m_error = "BeginProperty " + Quote(m_font->name) + " has no EndProperty before the file ends";
      return Failure();
    }
    if (!m_open.empty()) {
      const Open& o = m_open.back();
      m_line = o.line;
      m_error = "Begin " + Utf16ToUtf8(o.node.kind.substr(0, 40)) + " " + Quote(o.node.name) +
                " has no End before the file ends";
      return Failure();
    }
    if (!m_root) {
      m_error = "the design holds no Begin block";
      return Failure();
    }
    DesignParseResult result;
    result.root = std::move(m_root);
    return result;
  }

 private:
  struct Open {
    DesignNode node;
    int line = 0;
    int indexLine = 0;
    std::unordered_map<std::u16string, int> propLines;  // folded name -> line
  };
  struct OpenFont {
    std::u16string name;
    int line = 0;
    FontValue font;
    std::unordered_map<std::u16string, int> keyLines;
  };
  struct NameUse {
    int plainLine = 0;               // a control without Index
    std::map<int32_t, int> indexed;  // index -> line of its Begin
  };

  DesignParseResult Failure() {
    DesignParseResult r;
    r.errorLine = m_line;
    r.error = std::move(m_error);
    return r;
  }
  bool Fail(std::string message) {
    m_error = std::move(message);
    return false;
  }
  bool Fail(const LineLexer& lex) { return Fail(lex.Error()); }

  bool ParseLine(std::u16string_view line) {
    LineLexer lex(line);
    if (lex.AtEnd()) return true;  // blank or comment
    if (m_root) return Fail("text after the End of the window's block (a design holds one window)");
    std::u16string word;
    bool quoted = false;
    if (!lex.ReadName(word, quoted, "Begin, End or a property name")) return Fail(lex);
    if (!quoted) {
      if (!NamesEqual(word, kIndex) && IsKeyword(word) && lex.Peek(u'='))
        return Fail(Quote(word) + " is a keyword; a property of that name is written in quotes: \"" +
                    Utf16ToUtf8(word) + "\" = ...");
      if (NamesEqual(word, kBegin)) return OnBegin(lex);
      if (NamesEqual(word, kEnd)) return OnEnd(lex);
      if (NamesEqual(word, kBeginProperty)) return OnBeginProperty(lex);
      if (NamesEqual(word, kEndProperty)) return OnEndProperty(lex);
    }
    if (!lex.Take(u'=')) {
      lex.Unexpected("'=' after the property name");
      return Fail(lex);
    }
    Literal value;
    if (!lex.ReadValue(value)) return Fail(lex);
    if (!lex.ExpectEnd("the value")) return Fail(lex);
    if (m_font) return OnFontKey(word, value);
    return OnProperty(word, quoted, std::move(value));
  }

  bool OnBegin(LineLexer& lex) {
    if (m_font) return Fail("Begin inside BeginProperty " + Quote(m_font->name) + " (opened at line " +
                            std::to_string(m_font->line) + ")");
    if (static_cast<int>(m_open.size()) >= kMaxDesignDepth)
      return Fail("blocks are nested more than " + std::to_string(kMaxDesignDepth) + " deep");
    Open o;
    o.line = m_line;
    bool quoted = false;
    if (!lex.ReadName(o.node.kind, quoted, "the kind of control after Begin")) return Fail(lex);
    if (!lex.ReadName(o.node.name, quoted, "the control's name after its kind")) return Fail(lex);
    if (!lex.ExpectEnd("the control's name")) return Fail(lex);
    m_open.push_back(std::move(o));
    return true;
  }

  bool OnEnd(LineLexer& lex) {
    if (!lex.ExpectEnd("End")) return Fail(lex);
    if (m_font)
      return Fail("End before the EndProperty of " + Quote(m_font->name) + " (opened at line " +
                  std::to_string(m_font->line) + ")");
    if (m_open.empty()) return Fail("End without a Begin");
    Open closed = std::move(m_open.back());
    m_open.pop_back();
    if (!RegisterName(closed)) return false;
    if (m_open.empty()) {
      m_root = std::move(closed.node);
    } else {
      m_open.back().node.children.push_back(std::move(closed.node));
    }
    return true;
  }

  // Two controls of a window may share a name only as members of one control
  // array: each with an Index, no two alike. Checked when a block closes, as its
  // Index may come anywhere in it; the fault is reported at its Begin line.
  bool RegisterName(const Open& o) {
    NameUse& use = m_names[FoldedKey(o.node.name)];
    const std::string name = Quote(o.node.name);
    if (o.node.index) {
      if (use.plainLine != 0) {
        m_line = o.line;
        return Fail("the name " + name + " is also used without an Index at line " +
                    std::to_string(use.plainLine) + "; every member of a control array needs one");
      }
      const auto [it, added] = use.indexed.emplace(*o.node.index, o.line);
      if (!added) {
        m_line = o.line;
        return Fail(name + " with Index " + std::to_string(*o.node.index) + " is also defined at line " +
                    std::to_string(it->second));
      }
      return true;
    }
    if (use.plainLine != 0 || !use.indexed.empty()) {
      const int other = use.plainLine != 0 ? use.plainLine : use.indexed.begin()->second;
      m_line = o.line;
      return Fail("the name " + name + " is also used at line " + std::to_string(other) +
                  (use.plainLine != 0 ? "" : " as a control array member; give this control an Index too"));
    }
    use.plainLine = o.line;
    return true;
  }

  bool CheckNewProperty(std::u16string_view name) {
    if (m_open.empty()) return Fail("a property outside any Begin block");
    auto& lines = m_open.back().propLines;
    const auto [it, added] = lines.emplace(FoldedKey(name), m_line);
    if (!added)
      return Fail("the property " + Quote(name) + " is set twice in this block (also at line " +
                  std::to_string(it->second) + ")");
    return true;
  }

  bool OnProperty(const std::u16string& name, bool quoted, Literal value) {
    if (m_open.empty()) return Fail("a property outside any Begin block");
    Open& o = m_open.back();
    if (!quoted && NamesEqual(name, kIndex)) {
      if (o.indexLine != 0)
        return Fail("Index is set twice in this block (also at line " + std::to_string(o.indexLine) + ")");
      const int32_t* i = std::get_if<int32_t>(&value.value);
      if (!i || *i < 0) return Fail("Index must be a whole number 0 or above");
      o.node.index = *i;
      o.indexLine = m_line;
      return true;
    }
    if (!CheckNewProperty(name)) return false;
    o.node.props.Set(name, std::move(value.value), m_line);
    return true;
  }

  bool OnBeginProperty(LineLexer& lex) {
    if (m_font) return Fail("BeginProperty inside BeginProperty " + Quote(m_font->name) +
                            " (opened at line " + std::to_string(m_font->line) + ")");
    if (m_open.empty()) return Fail("BeginProperty outside any Begin block");
    OpenFont f;
    f.line = m_line;
    bool quoted = false;
    if (!lex.ReadName(f.name, quoted, "the property name after BeginProperty")) return Fail(lex);
    if (!lex.ExpectEnd("the property name")) return Fail(lex);
    if (!CheckNewProperty(f.name)) return false;
    m_font = std::move(f);
    return true;
  }

  bool OnEndProperty(LineLexer& lex) {
    if (!lex.ExpectEnd("EndProperty")) return Fail(lex);
    if (!m_font) return Fail("EndProperty without a BeginProperty");
    OpenFont& f = *m_font;
    // Bold and Weight say the same thing twice; when only one is given the other follows it.
    const bool hasBold = f.keyLines.count(FoldedKey(kFontBold)) != 0;
    const bool hasWeight = f.keyLines.count(FoldedKey(kFontWeight)) != 0;
    if (hasBold && !hasWeight) f.font.weight = f.font.bold ? 700 : 400;
    if (hasWeight && !hasBold) f.font.bold = f.font.weight >= 600;
    m_open.back().node.props.Set(f.name, std::move(f.font), f.line);
    m_font.reset();
    return true;
  }

  bool OnFontKey(const std::u16string& key, const Literal& value) {
    OpenFont& f = *m_font;
    const auto [it, added] = f.keyLines.emplace(FoldedKey(key), m_line);
    if (!added)
      return Fail("the font key " + Quote(key) + " is set twice (also at line " + std::to_string(it->second) + ")");
    const PropertyValue& v = value.value;
    auto flag = [&](bool& field) {
      if (const bool* b = std::get_if<bool>(&v)) {
        field = *b;
        return true;
      }
      return Fail("the font's " + Utf16ToUtf8(key) + " must be True or False");
    };
    auto whole = [&](int32_t& field, int32_t lo, int32_t hi) {
      const int32_t* i = std::get_if<int32_t>(&v);
      if (i && *i >= lo && *i <= hi) {
        field = *i;
        return true;
      }
      return Fail("the font's " + Utf16ToUtf8(key) + " must be a whole number from " + std::to_string(lo) +
                  " to " + std::to_string(hi));
    };
    if (NamesEqual(key, kFontName)) {
      if (const auto* s = std::get_if<std::u16string>(&v)) {
        f.font.face = *s;
        return true;
      }
      return Fail("the font's Name must be a text in double quotes");
    }
    if (NamesEqual(key, kFontSize)) {
      double size = -1;
      if (const int32_t* i = std::get_if<int32_t>(&v)) size = *i;
      if (const double* d = std::get_if<double>(&v)) size = *d;
      if (!(size > 0 && size <= kMaxFontSize))
        return Fail("the font's Size must be a number of points above 0 and at most 4096");
      f.font.size = size;
      return true;
    }
    if (NamesEqual(key, kFontCharset)) return whole(f.font.charset, 0, 255);
    if (NamesEqual(key, kFontWeight)) return whole(f.font.weight, 0, 1000);
    if (NamesEqual(key, kFontBold)) return flag(f.font.bold);
    if (NamesEqual(key, kFontItalic)) return flag(f.font.italic);
    if (NamesEqual(key, kFontUnderline)) return flag(f.font.underline);
    if (NamesEqual(key, kFontStrikethrough)) return flag(f.font.strikethrough);
    return Fail("unknown font key " + Quote(key) +
                " (known: Name, Size, Charset, Weight, Bold, Italic, Underline, Strikethrough)");
  }

  std::u16string_view m_text;
  int m_line = 0;
  std::string m_error;
  std::vector<Open> m_open;
  std::optional<OpenFont> m_font;
  std::optional<DesignNode> m_root;
  std::unordered_map<std::u16string, NameUse> m_names;
};

// ---------------------------------------------------------------------------
// Writing

void AppendAscii(std::u16string& out, std::string_view s) {
  for (char c : s) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
}

void AppendText(std::u16string& out, std::u16string_view text) {
  static const char kDigits[] = "0123456789ABCDEF";
  out.push_back(u'"');
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    switch (c) {
      case u'"': out += u"\"\""; continue;
      case u'\\': out += u"\\\\"; continue;
      case u'\r': out += u"\\r"; continue;
      case u'\n': out += u"\\n"; continue;
      case u'\t': out += u"\\t"; continue;
      default: break;
    }
    bool escape = c < 0x20 || c == 0x7F;
    // An unpaired surrogate could not survive the trip through UTF-8.
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        out.push_back(c);
        out.push_back(text[++i]);
        continue;
      }
      escape = true;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      escape = true;
    }
    if (!escape) {
      out.push_back(c);
      continue;
    }
    out += u"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(static_cast<char16_t>(kDigits[(c >> shift) & 0xF]));
  }
  out.push_back(u'"');
}

// Whether a name can be written bare: name characters only, not starting with a
// digit, surrogates only in pairs.
bool IsBareName(std::u16string_view name) {
  if (name.empty() || !IsNameStart(name[0])) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
    if (!IsNameChar(c)) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

void AppendName(std::u16string& out, std::u16string_view name) {
  if (IsBareName(name)) {
    out += name;
  } else {
    AppendText(out, name);
  }
}

// A property name starts a line, where a bare keyword would be read as one.
void AppendPropertyName(std::u16string& out, std::u16string_view name) {
  if (IsKeyword(name)) {
    AppendText(out, name);
  } else {
    AppendName(out, name);
  }
}

// Shortest form that reads back to the same bits; always with a '.' or an
// exponent unless `asInteger` allows a bare integer (a font's Size).
void AppendDouble(std::u16string& out, double d, bool asInteger) {
  if (std::isnan(d)) {
    out += u"NaN";
    return;
  }
  if (std::isinf(d)) {
    out += d < 0 ? u"-Infinity" : u"Infinity";
    return;
  }
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, d);
  std::string_view s(buf, static_cast<size_t>(r.ptr - buf));
  AppendAscii(out, s);
  if (!asInteger && s.find_first_of(".eE") == std::string_view::npos) out += u".0";
}

void AppendIndent(std::u16string& out, int level) { out.append(static_cast<size_t>(level) * 3, u' '); }

void AppendLine(std::u16string& out, int level, std::u16string_view name, std::u16string_view literal) {
  AppendIndent(out, level);
  out += name;
  out += u" = ";
  out += literal;
  out += u"\r\n";
}

void AppendFont(std::u16string& out, int level, std::u16string_view name, const FontValue& f) {
  AppendIndent(out, level);
  out += u"BeginProperty ";
  AppendName(out, name);
  out += u"\r\n";
  std::u16string v;
  AppendText(v, f.face);
  AppendLine(out, level + 1, kFontName, v);
  v.clear();
  AppendDouble(v, f.size, true);
  AppendLine(out, level + 1, kFontSize, v);
  v.clear();
  AppendAscii(v, std::to_string(f.charset));
  AppendLine(out, level + 1, kFontCharset, v);
  v.clear();
  AppendAscii(v, std::to_string(f.weight));
  AppendLine(out, level + 1, kFontWeight, v);
  AppendLine(out, level + 1, kFontBold, f.bold ? u"True" : u"False");
  AppendLine(out, level + 1, kFontItalic, f.italic ? u"True" : u"False");
  AppendLine(out, level + 1, kFontUnderline, f.underline ? u"True" : u"False");
  AppendLine(out, level + 1, kFontStrikethrough, f.strikethrough ? u"True" : u"False");
  AppendIndent(out, level);
  out += u"EndProperty\r\n";
}

void AppendValue(std::u16string& out, const PropertyValue& value) {
  if (const auto* b = std::get_if<bool>(&value)) {
    out += *b ? u"True" : u"False";
  } else if (const auto* i16 = std::get_if<int16_t>(&value)) {
    AppendAscii(out, std::to_string(*i16));
  } else if (const auto* i32 = std::get_if<int32_t>(&value)) {
    AppendAscii(out, std::to_string(*i32));
  } else if (const auto* d = std::get_if<double>(&value)) {
    AppendDouble(out, *d, false);
  } else if (const auto* s = std::get_if<std::u16string>(&value)) {
    AppendText(out, *s);
  } else if (const auto* c = std::get_if<Colour>(&value)) {
    static const char kDigits[] = "0123456789ABCDEF";
    out += u"&H";
    for (int shift = 28; shift >= 0; shift -= 4) out.push_back(static_cast<char16_t>(kDigits[(c->value >> shift) & 0xF]));
    out.push_back(u'&');
  } else if (const auto* p = std::get_if<PictureRef>(&value); p && p->resource.empty() &&
                                                                !p->data.empty()) {
    out += u"data:\"";
    AppendBase64(out, p->data);
    out += u"\"";
  } else if (const auto* p = std::get_if<PictureRef>(&value)) {
    out += u"res:";
    bool bare = !p->resource.empty();
    for (char16_t ch : p->resource) bare = bare && IsResourceChar(ch);
    if (bare) {
      out += p->resource;
    } else {
      AppendText(out, p->resource);
    }
  }
}

void WriteNode(std::u16string& out, const DesignNode& node, int level) {
  AppendIndent(out, level);
  out += u"Begin ";
  AppendName(out, node.kind);
  out.push_back(u' ');
  AppendName(out, node.name);
  out += u"\r\n";
  if (node.index) {
    std::u16string v;
    AppendAscii(v, std::to_string(*node.index));
    AppendLine(out, level + 1, kIndex, v);
  }
  for (const PropertyStore::Entry& e : node.props.Entries()) {
    if (const auto* font = std::get_if<FontValue>(&e.value)) {
      AppendFont(out, level + 1, e.name, *font);
      continue;
    }
    AppendIndent(out, level + 1);
    AppendPropertyName(out, e.name);
    out += u" = ";
    AppendValue(out, e.value);
    out += u"\r\n";
  }
  for (const DesignNode& child : node.children) WriteNode(out, child, level + 1);
  AppendIndent(out, level);
  out += u"End\r\n";
}

const DesignNode* FindIn(const DesignNode& node, std::u16string_view name, std::optional<int32_t> index) {
  for (const DesignNode& child : node.children) {
    if (child.index == index && NamesEqual(child.name, name)) return &child;
    if (const DesignNode* found = FindIn(child, name, index)) return found;
  }
  return nullptr;
}

void CollectIn(const DesignNode& node, std::u16string_view name, std::vector<const DesignNode*>& out) {
  for (const DesignNode& child : node.children) {
    if (NamesEqual(child.name, name)) out.push_back(&child);
    CollectIn(child, name, out);
  }
}

}  // namespace

DesignParseResult ParseDesign(std::u16string_view text) { return Parser(text).Run(); }

DesignParseResult ParseDesignUtf8(std::string_view bytes) {
  const std::u16string text = Utf8ToUtf16(bytes);
  return ParseDesign(text);
}

std::u16string DesignValueText(const PropertyValue& value) {
  if (std::holds_alternative<FontValue>(value)) return u"BeginProperty ... EndProperty";
  std::u16string out;
  AppendValue(out, value);
  return out;
}

std::u16string WriteDesign(const DesignNode& root) {
  std::u16string out;
  WriteNode(out, root, 0);
  return out;
}

const DesignNode* FindChild(const DesignNode& root, std::u16string_view name, std::optional<int32_t> index) {
  return FindIn(root, name, index);
}

std::vector<const DesignNode*> FindChildren(const DesignNode& root, std::u16string_view name) {
  std::vector<const DesignNode*> out;
  CollectIn(root, name, out);
  return out;
}

}  // namespace fw
