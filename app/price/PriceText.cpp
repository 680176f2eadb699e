#include "app/price/PriceText.h"

namespace fw {

namespace {

// The `count` characters of `text` from 1-based position `from`; a start past
// the end gives "". Callers pass from >= 1.
std::u16string_view Mid(std::u16string_view text, size_t from, size_t count) {
  if (from > text.size()) return {};
  return text.substr(from - 1, count);
}

// Position of the last `c` in `text` at or before position `at`, or 0.
size_t FindLastAtOrBefore(std::u16string_view text, char16_t c, size_t at) {
  if (at < 1 || text.empty()) return 0;
  const size_t index = text.rfind(c, at - 1);
  return index == std::u16string_view::npos ? 0 : index + 1;
}

}  // namespace

size_t FindStr(std::u16string_view text, std::u16string_view needle, size_t from) {
  if (from < 1 || from > text.size()) return 0;
  const size_t index = text.find(needle, from - 1);
  return index == std::u16string_view::npos ? 0 : index + 1;
}

std::u16string FindStrMulti(std::u16string_view Strall, std::u16string_view FirstStr,
                            std::u16string_view EndStr, std::u16string_view SplitStr) {
  std::u16string result;
  if (FirstStr.empty()) return result;
  size_t from = 1;
  for (;;) {
    const size_t b = FindStr(Strall, FirstStr, from);
    if (b == 0) return result;
    const size_t c = b + FirstStr.size();
    const size_t e = FindStr(Strall, EndStr, c);
    if (e < 1) return result;
    const std::u16string_view piece = Mid(Strall, c, e - c);
    if (!result.empty()) result += SplitStr;
    result += piece;
    // e > b always (c > b and e >= c), so the search moves on every time.
    from = e;
  }
}

std::u16string FuelCaption(std::u16string_view fuel) {
  std::u16string caption(fuel);
  caption += u':';
  caption.append(fuel.size() == 7 ? 14 : 15, u' ');
  caption += kPriceUnit;
  return caption;
}

SpokenPriceRow SpokenRow(std::u16string_view info, std::u16string_view price) {
  const auto trim = [](std::u16string_view t) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; };
    while (!t.empty() && blank(t.front())) t.remove_prefix(1);
    while (!t.empty() && blank(t.back())) t.remove_suffix(1);
    return std::u16string(t);
  };
  const size_t colon = info.find(u':');
  SpokenPriceRow row;
  row.name = trim(info.substr(0, colon));
  const std::u16string unit = colon == std::u16string_view::npos ? u"" : trim(info.substr(colon + 1));
  const std::u16string amount = trim(price);
  if (!amount.empty()) row.value = unit.empty() ? amount : amount + u" " + unit;
  return row;
}

std::array<PriceRowUpdate, kPriceRows> ExtractPriceRows(std::u16string_view table,
                                                        std::u16string_view city) {
  std::array<PriceRowUpdate, kPriceRows> rows;
  // A page without a price table changes nothing.
  if (table.empty()) return rows;
  size_t start = 1;
  bool cityLost = false;
  for (PriceRowUpdate& row : rows) {
    // 1. A city that is not found from here on has no more rows: the row is shown
    // empty rather than read from the table's start, which would pair a made-up
    // fuel name with another row's price.
    const size_t found = cityLost ? 0 : FindStr(table, city, start);
    if (found < 1) {
      cityLost = true;
      row.info = std::u16string();
      row.price = std::u16string();
      continue;
    }
    const size_t p = found + city.size();
    // 2.-4. The fuel name runs from p to the next "<"; without one there is no name.
    const size_t lt = FindStr(table, u"<", p);
    if (lt < 1) continue;  // the unit is searched from lt, so the rest is skipped too
    row.info = FuelCaption(Mid(table, p, lt - p));
    // 5.-7. The price: the text between the last tag before the unit and the unit.
    const size_t unit = FindStr(table, kPriceUnit, lt);
    if (unit < 1) continue;  // price unchanged, and the next row starts where this one did
    const size_t gt = FindLastAtOrBefore(table, u'>', unit) + 1;
    row.price = std::u16string(Mid(table, gt, unit - gt));
    // 8. The next row looks for the city after this price.
    start = gt;
  }
  return rows;
}

std::vector<size_t> SelectCityLinks(std::u16string_view prov,
                                    std::span<const std::u16string> urls) {
  std::vector<size_t> picked;
  if (prov.empty()) return picked;
  for (size_t k = 0; k < urls.size(); ++k) {
    const std::u16string& url = urls[k];
    if (FindStr(url, prov, 1) != 0 && url != prov) picked.push_back(k);
  }
  return picked;
}

}  // namespace fw
