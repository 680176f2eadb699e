// The table cutter, the row reader and the city choice, on hand-made pages
// shaped like the price site's (a name cell, then a cell with the price and
// the unit).
#include <gtest/gtest.h>

#include <string>

#include "app/price/PriceText.h"

namespace fw {
namespace {

const std::u16string k15(15, u' ');
const std::u16string k14(14, u' ');

// One row of a price table as the site writes it.
std::u16string Row(std::u16string_view city, std::u16string_view fuel, std::u16string_view price) {
  return u"<tr><td>" + std::u16string(city) + std::u16string(fuel) + u"</td><td align=\"center\">" +
         std::u16string(price) + u"元/升</td><td>0.00</td></tr>\n";
}

std::u16string Table(const std::u16string& rows) {
  return u"<table width=\"300\" border=\"1\">\n<tr><th>油品</th><th>今日价格</th></tr>\n" + rows +
         u"</table>\n";
}

TEST(FindStrTest, OneBasedFromAndNotFound) {
  EXPECT_EQ(FindStr(u"abcabc", u"bc", 1), 2u);
  EXPECT_EQ(FindStr(u"abcabc", u"bc", 2), 2u);
  EXPECT_EQ(FindStr(u"abcabc", u"bc", 3), 5u);
  EXPECT_EQ(FindStr(u"abcabc", u"bc", 6), 0u);
  EXPECT_EQ(FindStr(u"abcabc", u"bc", 99), 0u);
  EXPECT_EQ(FindStr(u"abcabc", u"x", 1), 0u);
  EXPECT_EQ(FindStr(u"abc", u"a", 0), 0u) << "0 is not a position";
  EXPECT_EQ(FindStr(u"", u"a", 1), 0u);
  EXPECT_EQ(FindStr(u"abc", u"", 2), 2u);
  EXPECT_EQ(FindStr(u"ABC", u"b", 1), 0u) << "case-sensitive";
}

TEST(FindStrMultiTest, PiecesBetweenMarkers) {
  EXPECT_EQ(FindStrMulti(u"a[1]b[2]c", u"[", u"]", u","), u"1,2");
  EXPECT_EQ(FindStrMulti(u"a[1]b[2]c", u"[", u"]", u""), u"12");
  EXPECT_EQ(FindStrMulti(u"[only]", u"[", u"]", u"--"), u"only");
  EXPECT_EQ(FindStrMulti(u"no markers", u"[", u"]", u","), u"");
  EXPECT_EQ(FindStrMulti(u"", u"[", u"]", u","), u"");
}

TEST(FindStrMultiTest, StartWithoutEndEndsTheSearch) {
  EXPECT_EQ(FindStrMulti(u"a[1]b[2", u"[", u"]", u","), u"1");
  EXPECT_EQ(FindStrMulti(u"a[1b]c[2]", u"[", u"]", u","), u"1b,2");
  // An end marker before any start marker is not a piece.
  EXPECT_EQ(FindStrMulti(u"]x[1]", u"[", u"]", u","), u"1");
}

TEST(FindStrMultiTest, EmptyLeadingPiecesLeaveNoSeparator) {
  EXPECT_EQ(FindStrMulti(u"[][]x[1][2]", u"[", u"]", u","), u"1,2");
  // Once something is in the result, an empty piece still adds its separator.
  EXPECT_EQ(FindStrMulti(u"[1][][2]", u"[", u"]", u","), u"1,,2");
}

TEST(FindStrMultiTest, NextSearchStartsAtTheEndMarker) {
  // The end marker is where the next start is looked for: "]" doubles as
  // both, so "[a]b]" gives "a" then "b".
  EXPECT_EQ(FindStrMulti(u"]a]b]", u"]", u"]", u","), u"a,b");
  // Overlapping multi-character markers.
  EXPECT_EQ(FindStrMulti(u"<t>1</t><t>2</t>", u"<t>", u"</t>", u"|"), u"1|2");
}

TEST(FindStrMultiTest, EmptyStartMarkerGivesNothing) {
  EXPECT_EQ(FindStrMulti(u"a[1]b", u"", u"]", u","), u"");
}

TEST(FindStrMultiTest, PriceTables) {
  const std::u16string page = u"<html><table width=\"600\">x</table>" +
                              Table(Row(u"广州", u"92#汽油", u"7.74")) + u"<p>" +
                              Table(Row(u"广州", u"0#柴油", u"7.41")) + u"</html>";
  const std::u16string table = FindStrMulti(page, kTableStart, kTableEnd, u"");
  EXPECT_NE(table.find(u"92#汽油"), std::u16string::npos);
  EXPECT_NE(table.find(u"0#柴油"), std::u16string::npos);
  EXPECT_EQ(table.find(u"</table>"), std::u16string::npos);
  EXPECT_EQ(table.find(u"<table"), std::u16string::npos);
  EXPECT_EQ(table.find(u"<p>"), std::u16string::npos);
}

TEST(SpokenRowTest, FuelNamesTheRowAndPriceWithUnitIsItsValue) {
  struct Case {
    std::u16string info, price;
    SpokenPriceRow want;
  } const cases[] = {
      {u"92#汽油:" + k15 + u"元/升", u"7.71", {u"92#汽油", u"7.71 元/升"}},
      {u"92#乙醇汽油:" + k14 + u"元/升", u" 7.74 ", {u"92#乙醇汽油", u"7.74 元/升"}},
      {u"0#柴油:" + k15 + u"元/升", u"", {u"0#柴油", u""}},  // no price yet
      {u"", u"", {u"", u""}},                                // an empty row
      {u"柴油", u"7.41", {u"柴油", u"7.41"}},               // no unit in the caption
  };
  for (const Case& c : cases) EXPECT_EQ(SpokenRow(c.info, c.price), c.want);
}

TEST(FuelCaptionTest, SpacesByNameLength) {
  EXPECT_EQ(FuelCaption(u"92#汽油"), u"92#汽油:" + k15 + u"元/升");
  EXPECT_EQ(FuelCaption(u"92#乙醇汽油"), u"92#乙醇汽油:" + k14 + u"元/升");
  EXPECT_EQ(FuelCaption(u"1234567"), u"1234567:" + k14 + u"元/升");
  EXPECT_EQ(FuelCaption(u"123456"), u"123456:" + k15 + u"元/升");
  EXPECT_EQ(FuelCaption(u"12345678"), u"12345678:" + k15 + u"元/升");
  EXPECT_EQ(FuelCaption(u""), u":" + k15 + u"元/升");
  // Length counts UTF-16 units: a character outside the BMP counts twice.
  EXPECT_EQ(FuelCaption(u"12345\U00020000"), u"12345\U00020000:" + k14 + u"元/升");
}

TEST(ExtractPriceRowsTest, FourCharacterFuelGets15Spaces) {
  const std::u16string table = u"<tr><td>广州92#汽油</td><td>7.62元/升</td></tr>";
  const auto rows = ExtractPriceRows(table, u"广州");
  ASSERT_TRUE(rows[0].info && rows[0].price);
  EXPECT_EQ(*rows[0].info, u"92#汽油:" + k15 + u"元/升");
  EXPECT_EQ(*rows[0].price, u"7.62");
}

TEST(ExtractPriceRowsTest, TwoTablesRunTogetherInPageOrder) {
  const std::u16string page =
      Table(Row(u"广州", u"89#汽油", u"7.17") + Row(u"广州", u"92#汽油", u"7.74") +
            Row(u"广州", u"95#汽油", u"8.38")) +
      u"<p>柴油价格</p>" + Table(Row(u"广州", u"0#柴油", u"7.41"));
  const auto rows = ExtractPriceRows(FindStrMulti(page, kTableStart, kTableEnd, u""), u"广州");
  const char16_t* fuels[] = {u"89#汽油", u"92#汽油", u"95#汽油", u"0#柴油"};
  const char16_t* prices[] = {u"7.17", u"7.74", u"8.38", u"7.41"};
  for (size_t i = 0; i < 4; ++i) {
    ASSERT_TRUE(rows[i].info && rows[i].price) << "row " << i;
    EXPECT_EQ(*rows[i].info, FuelCaption(fuels[i])) << "row " << i;
    EXPECT_EQ(*rows[i].price, prices[i]) << "row " << i;
  }
}

TEST(ExtractPriceRowsTest, SevenCharacterFuelGets14Spaces) {
  const std::u16string table =
      Row(u"襄阳", u"89#乙醇汽油", u"7.14") + Row(u"襄阳", u"92#乙醇汽油", u"7.69") +
      Row(u"襄阳", u"95#乙醇汽油", u"8.25") + Row(u"襄阳", u"0#柴油", u"7.38");
  const auto rows = ExtractPriceRows(table, u"襄阳");
  EXPECT_EQ(*rows[1].info, u"92#乙醇汽油:" + k14 + u"元/升");
  EXPECT_EQ(*rows[1].price, u"7.69");
  EXPECT_EQ(*rows[3].info, u"0#柴油:" + k15 + u"元/升");
  EXPECT_EQ(*rows[3].price, u"7.38");
}

TEST(ExtractPriceRowsTest, EmptyTableChangesNothing) {
  for (const auto& row : ExtractPriceRows(u"", u"广州")) {
    EXPECT_FALSE(row.info);
    EXPECT_FALSE(row.price);
  }
}

// A row whose city is not found from where it starts is emptied, and so is every
// row after it: no caption made up from the table's start.
TEST(ExtractPriceRowsTest, RowsWithoutTheirCityAreEmptied) {
  const std::u16string one = u"<td>杭州92#汽油</td><td>7.73元/升</td>";
  const std::u16string two = one + u"<td>杭州0#柴油</td><td>7.01元/升</td>";
  struct Case {
    const char* what;
    std::u16string table, city;
    size_t found;  // rows that keep their city
  } cases[] = {{"absent city", u"xyz<td>1.5元/升</td>", u"深圳", 0},
               {"one row", one, u"杭州", 1},
               {"two rows", two, u"杭州", 2}};
  for (const Case& c : cases) {
    const auto rows = ExtractPriceRows(c.table, c.city);
    for (size_t i = 0; i < 4; ++i) {
      ASSERT_TRUE(rows[i].info && rows[i].price) << c.what << " row " << i;
      EXPECT_EQ(rows[i].info->empty(), i >= c.found) << c.what << " row " << i;
      EXPECT_EQ(rows[i].price->empty(), i >= c.found) << c.what << " row " << i;
    }
  }
  EXPECT_EQ(*ExtractPriceRows(two, u"杭州")[1].price, u"7.01");
}

TEST(ExtractPriceRowsTest, MissingTagOpenerKeepsBothCaptions) {
  // No "<" after the fuel name: the name cannot be cut, and the unit, looked
  // for from that missing position, is not searched either.
  const auto rows = ExtractPriceRows(u"广州92#汽油 7.74元/升", u"广州");
  for (const auto& row : rows) {
    EXPECT_FALSE(row.info);
    EXPECT_FALSE(row.price);
  }
}

TEST(ExtractPriceRowsTest, MissingUnitKeepsOnlyThePrice) {
  // The fuel caption needs only "<"; the price needs the unit.
  const auto rows = ExtractPriceRows(u"<td>广州92#汽油</td><td>7.74</td>", u"广州");
  for (const auto& row : rows) {
    ASSERT_TRUE(row.info);
    EXPECT_EQ(*row.info, FuelCaption(u"92#汽油"));
    EXPECT_FALSE(row.price);
  }
}

TEST(ExtractPriceRowsTest, RowWithoutUnitLeavesTheNextRowWhereItWas) {
  // Row 0 finds its unit; after it, row 1 finds the city again but no unit,
  // so its start does not move and rows 2 and 3 read the same text.
  const std::u16string table = Row(u"广州", u"92#汽油", u"7.74") + u"<td>广州0#柴油</td>";
  const auto rows = ExtractPriceRows(table, u"广州");
  EXPECT_EQ(*rows[0].price, u"7.74");
  for (size_t i = 1; i < 4; ++i) {
    ASSERT_TRUE(rows[i].info) << "row " << i;
    EXPECT_EQ(*rows[i].info, FuelCaption(u"0#柴油")) << "row " << i;
    EXPECT_FALSE(rows[i].price) << "row " << i;
  }
}

TEST(ExtractPriceRowsTest, PriceWithoutTagBeforeItStartsAtOne) {
  // No ">" before the unit: the price runs from the first character.
  const auto rows = ExtractPriceRows(u"广州A<元/升", u"广州");
  EXPECT_EQ(*rows[0].info, FuelCaption(u"A"));
  EXPECT_EQ(*rows[0].price, u"广州A<");
}

TEST(ExtractPriceRowsTest, EmptyCityNameIsHandled) {
  const auto rows = ExtractPriceRows(u"<td>x</td><td>1元/升", u"");
  ASSERT_TRUE(rows[0].info);
  EXPECT_EQ(*rows[0].info, FuelCaption(u""));
}

TEST(ExtractPriceRowsTest, TablesLongerThan32767Characters) {
  // The rows lie far beyond what a 16-bit position reaches.
  std::u16string table(70000, u'x');
  table += Row(u"广州", u"89#汽油", u"7.17") + std::u16string(40000, u'y') +
           Row(u"广州", u"92#汽油", u"7.74") + Row(u"广州", u"95#汽油", u"8.38") +
           std::u16string(100000, u'z') + Row(u"广州", u"0#柴油", u"7.41");
  const auto rows = ExtractPriceRows(table, u"广州");
  EXPECT_EQ(*rows[0].price, u"7.17");
  EXPECT_EQ(*rows[1].price, u"7.74");
  EXPECT_EQ(*rows[2].price, u"8.38");
  EXPECT_EQ(*rows[3].info, FuelCaption(u"0#柴油"));
  EXPECT_EQ(*rows[3].price, u"7.41");
  const std::u16string page = u"<table width=\"300\">" + table + u"</table>";
  // The cut begins right after the marker, with the start tag's ">".
  EXPECT_TRUE(FindStrMulti(page, kTableStart, kTableEnd, u"") == u">" + table);
}

TEST(SelectCityLinksTest, LinksUnderTheProvince) {
  const std::u16string root = u"http://h/";
  const std::vector<std::u16string> urls = {
      root + u"guangdong/", root + u"guangdong/guangzhou.html", root + u"zhejiang/",
      root + u"zhejiang/hangzhou.html", root + u"guangdong/shenzhen.html",
      root + u"guangdong/guangzhou.html", u"http://x/?u=" + root + u"guangdong/a"};
  EXPECT_EQ(SelectCityLinks(root + u"guangdong/", urls), (std::vector<size_t>{1, 4, 5, 6}));
  EXPECT_EQ(SelectCityLinks(root + u"zhejiang/", urls), (std::vector<size_t>{3}));
  EXPECT_TRUE(SelectCityLinks(root + u"hubei/", urls).empty());
  EXPECT_TRUE(SelectCityLinks(u"", urls).empty()) << "no province chosen";
  EXPECT_TRUE(SelectCityLinks(root + u"guangdong/", {}).empty());
}

}  // namespace
}  // namespace fw
