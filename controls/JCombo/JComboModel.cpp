#include "controls/JCombo/JComboModel.h"

#include <algorithm>
#include <stdexcept>

#include "host/GbkDecoder.h"
#include "host/Numeric.h"
#include "host/Utf8.h"

namespace fw::jcombo {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool IsValidUtf8(std::span<const uint8_t> b) {
  size_t i = 0;
  while (i < b.size()) {
    const uint8_t c = b[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len = 0;
    uint8_t lo = 0x80, hi = 0xBF;  // bounds of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;  // no overlong forms
      if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    } else {
      return false;
    }
    if (i + len > b.size() || b[i + 1] < lo || b[i + 1] > hi) return false;
    for (size_t k = 2; k < len; ++k) {
      if (b[i + k] < 0x80 || b[i + k] > 0xBF) return false;
    }
    i += len;
  }
  return true;
}

}  // namespace

Layout ComputeLayout(int32_t widthTwips, double fontPoints) {
  Layout l;
  l.width = std::max(widthTwips, kMinWidth);
  l.height = kHeight;
  l.buttonLeft = l.width - kButtonInset;
  l.textTop = kTextTop;
  if (fontPoints > 8) l.textTop = kTextTop - 15 * RoundHalfEven(fontPoints - 8);
  l.textWidth = l.width - kTextInset;
  l.textHeight = kTextBottom - l.textTop;
  return l;
}

std::u16string TrimBlanks(std::u16string_view text) {
  size_t b = 0;
  size_t e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return std::u16string(text.substr(b, e - b));
}

std::u16string UpperAscii(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return out;
}

TaggedItem SplitTagItem(std::u16string_view item) {
  std::u16string s = TrimBlanks(item);
  const size_t p = s.find(u'=');
  if (p == std::u16string::npos) return {s, s, false};
  const bool onlyOne = s.find(u'=', p + 1) == std::u16string::npos;
  if (onlyOne && (p == 0 || p == s.size() - 1)) {
    s.erase(p, 1);
    s = TrimBlanks(s);
    return {s, s, false};
  }
  return {TrimBlanks(std::u16string_view(s).substr(0, p)),
          TrimBlanks(std::u16string_view(s).substr(p + 1)), true};
}

// -- TaggedList

bool TaggedList::Add(std::u16string_view item, std::optional<int32_t> index) {
  const int32_t count = m_store.Count();
  if (index) {
    if (*index < 0) index = 0;
    if (*index > count - 1) index.reset();
  }
  if (!m_tagMode) {
    if (item.empty()) return false;
    m_store.Insert(item, index);
    m_current = index ? *index : count;
    return true;
  }
  const TaggedItem t = SplitTagItem(item);
  if (t.text.empty()) return false;
  m_store.Insert(t.text, index);
  if (!index) {
    const int32_t k = count;
    if (k <= kMaxTcods) {
      m_tcods[static_cast<size_t>(k)] = t.tag;
      m_lastTag = k;
    }
    m_current = k;
    return true;
  }
  const int32_t at = *index;
  if (at <= kMaxTcods) {
    // The tags from `at` on move up with their items; the one pushed past 99 is
    // dropped. The new tag goes to the new item's own index, even when that lies
    // beyond the tags in use (items added before tag-code mode was on).
    for (int32_t j = m_lastTag; j >= at; --j) {
      if (j + 1 <= kMaxTcods) m_tcods[static_cast<size_t>(j + 1)] = m_tcods[static_cast<size_t>(j)];
    }
    m_tcods[static_cast<size_t>(at)] = t.tag;
    m_lastTag = std::min(std::max(m_lastTag + 1, at), kMaxTcods);
  }
  m_current = at;
  return true;
}

bool TaggedList::Update(std::u16string_view item, int32_t index) {
  if (index < 0 || index > m_store.Count() - 1) return false;
  if (m_tagMode && index <= kMaxTcods && index <= m_lastTag) {
    const TaggedItem t = SplitTagItem(item);
    m_store.Replace(index, t.text);
    m_tcods[static_cast<size_t>(index)] = t.tag;
    m_current = index;
  } else {
    m_store.Replace(index, item);
  }
  return true;
}

std::u16string TaggedList::Get(std::optional<int32_t> index) const {
  int32_t i = 0;
  if (!index) {
    if (m_store.Count() == 0) return {};
    i = m_store.Count() - 1;
  } else {
    i = std::max(*index, 0);
  }
  // Items beyond 99 have no tag: they read as plain items.
  if (m_tagMode && i <= kMaxTcods) return m_tcods[static_cast<size_t>(i)] + u"=" + m_store.Item(i);
  return m_store.Item(i);
}

bool TaggedList::Remove(std::optional<int32_t> index) {
  const int32_t count = m_store.Count();
  int32_t i = 0;
  if (!index) {
    if (count == 0) return false;
    i = count - 1;
  } else {
    i = std::max(*index, 0);
  }
  if (i >= count) throw std::out_of_range("RemoveItem: no item at that index");
  if (m_tagMode && m_lastTag > 0) {
    // The tag that would come from beyond the table is the empty one: item 100,
    // which moves to 99, has none.
    for (int32_t j = i; j <= m_lastTag; ++j) {
      m_tcods[static_cast<size_t>(j)] = j + 1 <= kMaxTcods ? m_tcods[static_cast<size_t>(j + 1)] : u"";
    }
  }
  m_store.Remove(i);
  return true;
}

void TaggedList::Clear() {
  m_store.Clear();
  m_lastTag = 0;
  // Old tags would otherwise be found again by items added later in plain mode.
  m_tcods.fill(std::u16string());
}

std::u16string TaggedList::TagOf(int32_t index) const {
  if (index < 0 || index > kMaxTcods) return {};
  return m_tcods[static_cast<size_t>(index)];
}

std::optional<int32_t> TaggedList::FindTag(std::u16string_view code, int32_t& startingFrom) const {
  const int32_t last = std::min(m_store.Count() - 1, kMaxTcods);
  if (startingFrom < 0 || last < startingFrom) startingFrom = 0;
  const std::u16string wanted = UpperAscii(TrimBlanks(code));
  if (wanted.empty()) return std::nullopt;
  for (int32_t b = startingFrom; b <= last; ++b) {
    if (UpperAscii(m_tcods[static_cast<size_t>(b)]) == wanted) {
      startingFrom = b + 1 > last ? 0 : b + 1;
      return b;
    }
  }
  return std::nullopt;
}

std::vector<std::u16string> TaggedList::FileLines() const {
  std::vector<std::u16string> lines;
  const int32_t count = m_store.Count();
  lines.reserve(static_cast<size_t>(std::max(count, 0)));
  for (int32_t i = 0; i < count; ++i) {
    if (m_tagMode && i <= kMaxTcods) {
      lines.push_back(m_tcods[static_cast<size_t>(i)] + u"=" + m_store.Item(i));
    } else {
      lines.push_back(m_store.Item(i));
    }
  }
  return lines;
}

bool TaggedList::Load(const std::vector<std::u16string>& lines) {
  size_t first = 0;
  while (first < lines.size() && lines[first].size() <= 1) ++first;
  if (first == lines.size()) return false;
  Clear();
  m_tagMode = SplitTagItem(lines[first]).separated;
  Add(lines[first], std::nullopt);
  for (size_t i = first + 1; i < lines.size(); ++i) {
    const std::u16string& line = lines[i];
    if (line == u";" || TrimBlanks(line).empty()) continue;
    Add(line, std::nullopt);
  }
  return true;
}

// -- The list file

std::vector<std::u16string> ListFileLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  auto finish = [&](std::u16string_view line) {
    if (line.size() > kMaxLineLength) {
      size_t cut = kMaxLineLength;
      if (line[cut - 1] >= 0xD800 && line[cut - 1] <= 0xDBFF) --cut;
      line = line.substr(0, cut);
    }
    if (!line.empty() && line.front() == u';') line = u";";
    lines.emplace_back(line);
  };
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c != u'\r' && c != u'\n') continue;
    finish(text.substr(start, i - start));
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) finish(text.substr(start));
  return lines;
}

namespace {

// What the bytes of a file without a byte order mark show of their encoding.
struct FileShape {
  size_t endsLE = 0;      // UTF-16 LE line ends: units 0D 00 / 0A 00 at even offsets
  size_t endsBE = 0;      // UTF-16 BE line ends: units 00 0D / 00 0A at even offsets
  size_t againstLE = 0;   // 8-bit line ends UTF-16 LE could not read as text
  size_t againstBE = 0;   // likewise for BE
  size_t ends8 = 0;       // all 8-bit line ends
  size_t lowNul = 0;      // pairs 00 xx
  size_t highNul = 0;     // pairs xx 00
  size_t pairs = 0;
  bool controls = false;  // a control byte 8-bit text does not hold
};

bool IsLineByte(uint8_t c) { return c == 0x0D || c == 0x0A; }

FileShape ShapeOf(std::span<const uint8_t> b) {
  FileShape s;
  s.pairs = b.size() / 2;
  for (size_t k = 0; k < s.pairs; ++k) {
    const uint8_t first = b[2 * k];
    const uint8_t second = b[2 * k + 1];
    if (first == 0 && second != 0) ++s.lowNul;
    if (first != 0 && second == 0) ++s.highNul;
  }
  const size_t n = b.size();
  size_t i = 0;
  while (i < n) {
    const uint8_t c = b[i];
    if (!IsLineByte(c)) {
      if ((c != 0 && c < 0x20 && c != 0x09) || c == 0x7F) s.controls = true;
      ++i;
      continue;
    }
    // CR LF side by side is 8-bit: in UTF-16 the two bytes are never neighbours.
    if (c == 0x0D && i + 1 < n && b[i + 1] == 0x0A) {
      ++s.ends8;
      ++s.againstLE;
      ++s.againstBE;
      i += 2;
      continue;
    }
    if (i % 2 == 0 && i + 1 < n && b[i + 1] == 0) {
      ++s.endsLE;
      const bool crlf = c == 0x0D && i + 3 < n && b[i + 2] == 0x0A && b[i + 3] == 0;
      i += crlf ? 4 : 2;
      continue;
    }
    if (i % 2 == 1 && b[i - 1] == 0) {
      ++s.endsBE;
      const bool crlf = c == 0x0D && i + 2 < n && b[i + 1] == 0 && b[i + 2] == 0x0A;
      i += crlf ? 3 : 1;
      continue;
    }
    // A lone CR or LF. Where UTF-16 would read it as the low byte of a unit it
    // may be text (上 is 0A 4E in LE, 不 0D 4E); as the high byte it would be a
    // Gurmukhi or Malayalam letter, which no list of places holds.
    ++s.ends8;
    if (i % 2 == 1) ++s.againstLE;
    else ++s.againstBE;
    ++i;
  }
  return s;
}

// The UTF-16 units of `b`; an odd byte at the end is not half a character
// worth keeping, so it is dropped.
std::u16string DecodeUtf16(std::span<const uint8_t> b, bool bigEndian) {
  std::u16string out;
  out.reserve(b.size() / 2);
  for (size_t i = 0; i + 1 < b.size(); i += 2) {
    out += bigEndian ? static_cast<char16_t>(b[i] << 8 | b[i + 1])
                     : static_cast<char16_t>(b[i + 1] << 8 | b[i]);
  }
  return out;
}

}  // namespace

ListEncoding DetectListEncoding(std::span<const uint8_t> b) {
  if (b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return ListEncoding::Utf8;
  if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) return ListEncoding::Utf16LE;
  if (b.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF) return ListEncoding::Utf16BE;
  // Without a mark the whole file has to have UTF-16's shape: most of its line
  // ends UTF-16's, or, with no line end at all, a NUL on one side of most byte
  // pairs. One UTF-16 line end inside 8-bit lines (a line appended by another
  // tool, a damaged byte) is not enough: read as UTF-16 the file would turn the
  // user's list into items of garbage.
  const FileShape s = ShapeOf(b);
  const bool noEnds = s.endsLE == 0 && s.endsBE == 0 && s.ends8 == 0;
  if (s.highNul > s.lowNul &&
      (s.endsLE > s.againstLE + s.endsBE || (noEnds && s.highNul * 2 > s.pairs))) {
    return ListEncoding::Utf16LE;
  }
  if (s.lowNul > s.highNul &&
      (s.endsBE > s.againstBE + s.endsLE || (noEnds && s.lowNul * 2 > s.pairs))) {
    return ListEncoding::Utf16BE;
  }
  // Clean 8-bit text: no UTF-16 line end, NULs only here and there (a damaged
  // byte; they are left out), no control byte besides tab, CR and LF. Anything
  // else is a mixture that no one reading gives back.
  const bool strayNuls = std::max(s.lowNul, s.highNul) * 2 <= s.pairs;
  if (s.endsLE > 0 || s.endsBE > 0 || !strayNuls || s.controls) return ListEncoding::Unknown;
  return IsValidUtf8(b) ? ListEncoding::Utf8 : ListEncoding::Gbk;
}

std::optional<std::u16string> DecodeListFile(std::span<const uint8_t> b, const GbkRunDecoder& gbkRun) {
  const bool utf8Bom = b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF;
  const bool utf16Bom = b.size() >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF));
  std::u16string text;
  switch (DetectListEncoding(b)) {
    case ListEncoding::Utf8: {
      const auto body = b.subspan(utf8Bom ? 3 : 0);
      text = Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(body.data()), body.size()));
      break;
    }
    case ListEncoding::Utf16LE: text = DecodeUtf16(b.subspan(utf16Bom ? 2 : 0), false); break;
    case ListEncoding::Utf16BE: text = DecodeUtf16(b.subspan(utf16Bom ? 2 : 0), true); break;
    case ListEncoding::Gbk: text = DecodeGb18030(b, gbkRun); break;
    case ListEncoding::Unknown: return std::nullopt;
  }
  // The platform's list ends an item at a NUL, so one inside a line would cut
  // the item short there while the tag table kept the whole text.
  std::erase(text, u'\0');
  return text;
}

std::string EncodeListFile(const std::vector<std::u16string>& lines) {
  if (lines.empty()) return {};
  std::string out = "\xEF\xBB\xBF";
  for (const std::u16string& line : lines) {
    out += Utf16ToUtf8(line);
    out += "\r\n";
  }
  return out;
}

}  // namespace fw::jcombo
