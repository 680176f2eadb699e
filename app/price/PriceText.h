// Text cutting for the price pages: the table cutter, the four price rows of a
// city page and the choice of a province's cities among the site's links.
// Portable: no platform header, UTF-16 text as std::u16string.
//
// Positions here are 1-based character (UTF-16 code unit) positions, 0 meaning
// "not found", as the window's logic reasons about them. They are size_t, so a
// page of any length is handled (a 16-bit position would wrap after 32767).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// The markers and texts the city page is read with.
inline constexpr std::u16string_view kTableStart = u"<table width=\"300\"";
inline constexpr std::u16string_view kTableEnd = u"</table>";
inline constexpr std::u16string_view kPriceUnit = u"元/升";
inline constexpr size_t kPriceRows = 4;

// Position of the first `needle` in `text` at or after position `from`, or 0.
// A `from` below 1 is not a position and finds nothing; an empty needle is
// found at `from` while `from` lies inside the text.
size_t FindStr(std::u16string_view text, std::u16string_view needle, size_t from);

// Every piece of `Strall` between an occurrence of `FirstStr` and the next
// `EndStr` after it (markers excluded), joined by `SplitStr`; empty pieces
// before the first non-empty one leave no separator. A start marker without an
// end marker after it ends the search. An empty `FirstStr` would never move
// the search on, so it gives "" at once.
std::u16string FindStrMulti(std::u16string_view Strall, std::u16string_view FirstStr,
                            std::u16string_view EndStr, std::u16string_view SplitStr);

// The caption of a fuel row: the fuel name, ":", the spaces the price label
// covers (14 after a name of exactly 7 UTF-16 units, else 15) and the unit.
std::u16string FuelCaption(std::u16string_view fuel);

// One price row as a screen reader speaks it, whole: the fuel (the caption
// before its ":") as the name, the price followed by the unit the caption ends
// with as the value ("7.71 元/升"). Blanks around the pieces are dropped; a row
// without a price has no value, and a caption without ":" is all name.
struct SpokenPriceRow {
  std::u16string name;
  std::u16string value;
  friend bool operator==(const SpokenPriceRow&, const SpokenPriceRow&) = default;
};
SpokenPriceRow SpokenRow(std::u16string_view info, std::u16string_view price);

// What one price row changes: a caption that could not be worked out is
// absent and the label keeps what it showed.
struct PriceRowUpdate {
  std::optional<std::u16string> info;   // labinfo(i)
  std::optional<std::u16string> price;  // labPrice(i)
};

// Reads the four rows out of the run-together price tables of a city page.
// Row i: the fuel name follows `city` directly and runs to the next "<"; the
// price is the text between the last ">" before the next unit and the unit;
// the next row searches for the city after that price. A row whose city is not
// found (a page with fewer rows, a typed name the page spells otherwise) gets two
// empty captions, and so does every row after it. An empty table changes
// nothing. A step whose position is missing ("<" or the unit not found) is
// skipped together with every step that needs it: the caption is not changed
// and the next row starts where this one did.
std::array<PriceRowUpdate, kPriceRows> ExtractPriceRows(std::u16string_view table,
                                                        std::u16string_view city);

// Indexes of the links that belong to the province whose page is `prov`:
// those whose URL contains `prov` and is not `prov` itself, in list order,
// repeats kept. A province without a URL (nothing chosen) has no cities.
std::vector<size_t> SelectCityLinks(std::u16string_view prov,
                                    std::span<const std::u16string> urls);

}  // namespace fw
