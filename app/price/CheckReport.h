// The report of the pricecheck tool: what the lookup put into the window's
// lists and labels, as UTF-8 JSON. Portable: no platform header.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/price/PriceControls.h"

namespace fw {

struct TextUrl {
  std::u16string text;
  std::u16string url;
};

struct RowCaptions {
  std::u16string info;
  std::u16string price;
};

// A list is present only when the step that fills it has run.
struct PriceCheckReport {
  std::optional<std::vector<TextUrl>> provinces;  // comWhere(0) / ListCity(0)
  std::optional<std::vector<TextUrl>> links;      // ListCity(2) / ListCity(3)
  std::optional<std::vector<TextUrl>> cities;     // comWhere(1) / ListCity(1)
  std::optional<std::vector<RowCaptions>> rows;   // labinfo(i) / labPrice(i)
};

// Item k of `texts` beside item k of `urls`, as many pairs as the longer list
// has items (a missing item reads "").
std::vector<TextUrl> PairLists(const ListControl& texts, const ListControl& urls);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// A JSON string literal: quotes, backslash and the control characters below
// U+0020 (as \u00XX) escaped, everything else as UTF-8.
std::string JsonString(std::u16string_view text);

// {"provinces":[{"text":..,"url":..}],"links":[..],"cities":[..],
//  "rows":[{"info":..,"price":..}]} with the absent keys left out, and a newline.
std::string PriceCheckJson(const PriceCheckReport& report);

}  // namespace fw
