#include "host/AccessibleText.h"

namespace fw {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\x3000'; }

// The unified ideographs (and their first extension): characters that a
// label spreads apart with blanks to line up with a longer one.
bool IsIdeograph(char16_t c) { return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF); }

}  // namespace

std::u16string WithoutAccessKeyMarks(std::u16string_view caption) {
  std::u16string out;
  out.reserve(caption.size());
  for (size_t i = 0; i < caption.size(); ++i) {
    // "(&P)": a key written in brackets after a caption in a script without
    // letters says nothing of the caption itself; it goes, with the blanks before it.
    if (caption.substr(i, 2) == u"(&" && i + 3 < caption.size() && caption[i + 2] != u'&' &&
        caption[i + 3] == u')') {
      while (!out.empty() && IsBlank(out.back())) out.pop_back();
      i += 3;
      continue;
    }
    if (caption[i] == u'&' && i + 1 < caption.size()) ++i;
    else if (caption[i] == u'&') break;  // a lone mark at the end shows nothing
    out.push_back(caption[i]);
  }
  return out;
}

std::u16string FieldNameFromLabel(std::u16string_view caption) {
  const std::u16string plain = WithoutAccessKeyMarks(caption);
  size_t begin = 0;
  size_t end = plain.size();
  auto trim = [&] {
    while (begin < end && IsBlank(plain[begin])) ++begin;
    while (end > begin && IsBlank(plain[end - 1])) --end;
  };
  trim();
  if (end > begin && (plain[end - 1] == u':' || plain[end - 1] == u'\xFF1A')) --end;
  trim();
  std::u16string out;
  for (size_t i = begin; i < end; ++i) {
    if (IsBlank(plain[i])) {
      size_t next = i;
      while (next < end && IsBlank(plain[next])) ++next;
      if (!out.empty() && IsIdeograph(out.back()) && next < end && IsIdeograph(plain[next])) {
        i = next - 1;
        continue;
      }
    }
    out.push_back(plain[i]);
  }
  return out;
}

std::u16string OnOneLine(std::u16string_view text) {
  std::u16string out;
  bool broken = false;  // a line break waits to become a space
  for (char16_t c : text) {
    if (c == u'\r' || c == u'\n') {
      broken = true;
      continue;
    }
    if (broken && !out.empty() && out.back() != u' ' && c != u' ') out += u' ';
    broken = false;
    out += c;
  }
  return out;
}

}  // namespace fw
