#include "controls/xpText/xpTextModel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "host/Numeric.h"

namespace fw::xptext {

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string Widen(const char* first, const char* last) { return std::u16string(first, last); }

}  // namespace

Layout LayoutFor(int32_t width, double fontPoints, int32_t dpi) {
  // A 96-dpi pixel in twips at `dpi`: ScaleToDpi(1) pixels of 1440 / dpi twips.
  const int32_t pixel = dpi > 0 ? ScaleToDpi(1, dpi) * 1440 / dpi : kTwipsPerPixel;
  Layout l;
  l.width = std::max(width, kMinWidth);
  l.borderWidth = l.width;
  l.textWidth = l.width - kTextWidthInset;
  if (fontPoints > 8) l.textTop = kTextTop - pixel * RoundHalfEven(fontPoints - 8);
  l.textHeight = std::max(l.height - pixel - l.textTop, 0);
  return l;
}

double LeadingNumber(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  std::string number;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    if (text[i] == u'-') number.push_back('-');
    ++i;
  }
  size_t digits = 0;
  auto takeDigits = [&](std::string& into, size_t& at) {
    size_t taken = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at, ++taken) into.push_back(static_cast<char>(text[at]));
    return taken;
  };
  digits += takeDigits(number, i);
  if (i < text.size() && text[i] == u'.') {
    number.push_back('.');
    ++i;
    digits += takeDigits(number, i);
  }
  if (digits == 0) return 0.0;
  // An exponent counts only with a digit after its letter and sign.
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
    size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
      exponent.push_back(static_cast<char>(text[j++]));
    }
    if (takeDigits(exponent, j) > 0) number += exponent;
  }
  double value = 0.0;
  const auto r = std::from_chars(number.data(), number.data() + number.size(), value);
  if (r.ec == std::errc::result_out_of_range) {
    // Too small rounds to zero; too large saturates.
    const bool negative = number.front() == '-';
    const size_t e = number.find('e');
    const bool tiny = e != std::string::npos && number.find('-', e) != std::string::npos;
    if (tiny) return negative ? -0.0 : 0.0;
    return negative ? std::numeric_limits<double>::lowest() : std::numeric_limits<double>::max();
  }
  return value;
}

std::u16string ShortestText(double value) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  return Widen(buf, r.ptr);
}

std::u16string FixedText(double value, int32_t places) {
  places = std::clamp(places, 0, 15);
  if (!std::isfinite(value)) return ShortestText(value);
  char buf[400];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, places);
  std::string s(buf, r.ptr);
  if (!s.empty() && s.front() == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return std::u16string(s.begin(), s.end());
}

std::u16string Stepped(std::u16string_view text, int direction, double largeChange,
                       int32_t places) {
  return FixedText(LeadingNumber(text) + direction * largeChange, places);
}

}  // namespace fw::xptext
