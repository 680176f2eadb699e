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

std::u16string DecodeUtf16(std::span<const uint8_t> b, bool bigEndian) {
  std::u16string out;
  out.reserve(b.size() / 2 + 1);
  for (size_t i = 0; i + 1 < b.size(); i += 2) {
    out += bigEndian ? static_cast<char16_t>(b[i] << 8 | b[i + 1])
                     : static_cast<char16_t>(b[i + 1] << 8 | b[i]);
  }
  if (b.size() % 2) out += char16_t{0xFFFD};  // a half unit at the end
  return out;
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

ListEncoding DetectListEncoding(std::span<const uint8_t> b) {
  if (b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return ListEncoding::Utf8;
  if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) return ListEncoding::Utf16LE;
  if (b.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF) return ListEncoding::Utf16BE;
  // Without a mark, UTF-16 has to show its shape: its line ends (0D 00 0A 00,
  // or 00 0D 00 0A) or a NUL on the same side of most byte pairs, as ASCII
  // letters give. A stray NUL in an 8-bit file shows neither, and reading such
  // a file as UTF-16 would turn every item into one line of garbage.
  const size_t pairs = b.size() / 2;
  size_t lowNul = 0;   // 00 xx: the high byte first (big endian)
  size_t highNul = 0;  // xx 00: the low byte first (little endian)
  size_t endsLE = 0;
  size_t endsBE = 0;
  for (size_t k = 0; k < pairs; ++k) {
    const uint8_t first = b[2 * k];
    const uint8_t second = b[2 * k + 1];
    if (first == 0 && second != 0) ++lowNul;
    if (first != 0 && second == 0) ++highNul;
    if (k + 1 < pairs) {
      const uint8_t third = b[2 * k + 2];
      const uint8_t fourth = b[2 * k + 3];
      if (first == 0x0D && second == 0 && third == 0x0A && fourth == 0) ++endsLE;
      if (first == 0 && second == 0x0D && third == 0 && fourth == 0x0A) ++endsBE;
    }
  }
  if (highNul > lowNul && (endsLE > 0 || highNul * 2 > pairs)) return ListEncoding::Utf16LE;
  if (lowNul > highNul && (endsBE > 0 || lowNul * 2 > pairs)) return ListEncoding::Utf16BE;
  return IsValidUtf8(b) ? ListEncoding::Utf8 : ListEncoding::Gbk;
}

std::u16string DecodeListFile(std::span<const uint8_t> b, const GbkRunDecoder& gbkRun) {
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
