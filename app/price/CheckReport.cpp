#include "app/price/CheckReport.h"

#include <algorithm>

namespace fw {

std::vector<TextUrl> PairLists(const ListControl& texts, const ListControl& urls) {
  const size_t n = std::max(texts.ListCount(), urls.ListCount());
  std::vector<TextUrl> pairs(n);
  for (size_t k = 0; k < n; ++k) pairs[k] = {texts.List(k), urls.List(k)};
  return pairs;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string JsonString(std::u16string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  size_t plain = 0;  // start of the run not yet copied
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c != u'"' && c != u'\\' && c >= 0x20) continue;
    out += ToUtf8(text.substr(plain, i - plain));
    plain = i + 1;
    if (c == u'"' || c == u'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  out += ToUtf8(text.substr(plain));
  out += '"';
  return out;
}

namespace {

void AppendPairs(std::string& out, const char* key, const std::vector<TextUrl>& pairs) {
  out += '"';
  out += key;
  out += "\":[";
  for (size_t k = 0; k < pairs.size(); ++k) {
    if (k) out += ',';
    out += "{\"text\":" + JsonString(pairs[k].text) + ",\"url\":" + JsonString(pairs[k].url) + "}";
  }
  out += ']';
}

}  // namespace

std::string PriceCheckJson(const PriceCheckReport& report) {
  std::string out = "{";
  auto separate = [&out] {
    if (out.size() > 1) out += ',';
  };
  if (report.provinces) {
    separate();
    AppendPairs(out, "provinces", *report.provinces);
  }
  if (report.links) {
    separate();
    AppendPairs(out, "links", *report.links);
  }
  if (report.cities) {
    separate();
    AppendPairs(out, "cities", *report.cities);
  }
  if (report.rows) {
    separate();
    out += "\"rows\":[";
    for (size_t i = 0; i < report.rows->size(); ++i) {
      const RowCaptions& row = (*report.rows)[i];
      if (i) out += ',';
      out += "{\"info\":" + JsonString(row.info) + ",\"price\":" + JsonString(row.price) + "}";
    }
    out += ']';
  }
  out += "}\n";
  return out;
}

}  // namespace fw
