// The price page cutting on any text: the input is "CITY\nPAGE" in UTF-8 (so
// the seeds are readable city pages). The table cutter, the row reader and the
// city choice must never fault, and what they return must be cut from the
// page the way the rows are read.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/price/PriceText.h"
#include "app/price/html/Charset.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

bool Contains(std::u16string_view text, std::u16string_view part) {
  return text.find(part) != std::u16string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string input = fw::html::DecodeUtf8(std::span<const uint8_t>(data, size));
  const size_t newline = input.find(u'\n');
  const std::u16string_view all(input);
  const std::u16string_view city =
      newline == std::u16string::npos ? std::u16string_view() : all.substr(0, newline);
  const std::u16string_view page = newline == std::u16string::npos ? all : all.substr(newline + 1);

  // The cut tables are made of the page's text only.
  const std::u16string table = fw::FindStrMulti(page, fw::kTableStart, fw::kTableEnd, u"");
  Require(table.size() <= page.size());
  const std::u16string joined = fw::FindStrMulti(page, fw::kTableStart, fw::kTableEnd, u"\x1f");
  Require(joined.size() >= table.size());
  if (!Contains(page, u"\x1f")) {
    std::u16string stripped;
    for (char16_t c : joined) {
      if (c != u'\x1f') stripped += c;
    }
    Require(stripped == table);
  }
  Require(fw::FindStrMulti(page, u"", fw::kTableEnd, u",").empty());

  // Each row: a fuel caption ends in the unit after 14 or 15 spaces and
  // holds a fuel name from the table without "<"; a price is table text
  // without ">".
  // A row whose city is not found is emptied (both captions ""), and so is every
  // row after it; an empty table changes nothing.
  const auto rows = fw::ExtractPriceRows(table, city);
  bool emptied = false;
  for (const fw::PriceRowUpdate& row : rows) {
    const bool empty = row.info && row.info->empty() && row.price && row.price->empty();
    if (emptied) Require(empty);
    if (table.empty()) Require(!row.info && !row.price);
    if (empty) {
      emptied = true;
      continue;
    }
    if (row.info) {
      const std::u16string_view info = *row.info;
      const size_t colon = info.rfind(u':');
      Require(colon != std::u16string_view::npos);
      const std::u16string_view fuel = info.substr(0, colon);
      Require(!Contains(fuel, u"<"));
      Require(Contains(table, fuel));
      Require(info == fw::FuelCaption(fuel));
    }
    if (row.price) {
      Require(!Contains(*row.price, u">"));
      Require(Contains(table, *row.price + std::u16string(fw::kPriceUnit)));
      Require(row.info.has_value());  // the unit is searched from the "<" the caption needed
    }
  }

  // The city choice, with the page's lines as link URLs and the city as the
  // province's URL.
  std::vector<std::u16string> urls;
  size_t from = 0;
  while (from <= page.size() && urls.size() < 64) {
    const size_t end = page.find(u'\n', from);
    urls.emplace_back(page.substr(from, end == std::u16string_view::npos ? page.npos : end - from));
    if (end == std::u16string_view::npos) break;
    from = end + 1;
  }
  size_t previous = 0;
  bool first = true;
  for (size_t k : fw::SelectCityLinks(city, urls)) {
    Require(k < urls.size() && (first || k > previous));
    Require(Contains(urls[k], city) && urls[k] != city);
    previous = k;
    first = false;
  }
  return 0;
}
