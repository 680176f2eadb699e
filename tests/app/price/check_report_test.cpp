// The pricecheck report: JSON string escaping and UTF-8 output.
#include <gtest/gtest.h>

#include "app/price/CheckReport.h"
#include "app/price/MemoryControls.h"

namespace fw {
namespace {

TEST(CheckReportTest, JsonStringEscapes) {
  EXPECT_EQ(JsonString(u""), "\"\"");
  EXPECT_EQ(JsonString(u"a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
  EXPECT_EQ(JsonString(u"\n\t\r"), "\"\\u000a\\u0009\\u000d\"");
  EXPECT_EQ(JsonString(std::u16string(1, u'\0') + u"\x1f "), "\"\\u0000\\u001f \"");
  EXPECT_EQ(JsonString(u"\x7f"), "\"\x7f\"");
}

TEST(CheckReportTest, Utf8OfEveryPlane) {
  EXPECT_EQ(ToUtf8(u"元/升"), "\xE5\x85\x83/\xE5\x8D\x87");
  EXPECT_EQ(ToUtf8(u"\u00e9"), "\xC3\xA9");
  EXPECT_EQ(ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  // Unpaired surrogates, leading and trailing, become U+FFFD.
  EXPECT_EQ(ToUtf8(std::u16string{0xD800, u'a'}), "\xEF\xBF\xBD" "a");
  EXPECT_EQ(ToUtf8(std::u16string{u'a', 0xDC00}), "a\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8(std::u16string{0xD83D}), "\xEF\xBF\xBD");
}

TEST(CheckReportTest, KeysOnlyWhenComputed) {
  PriceCheckReport report;
  EXPECT_EQ(PriceCheckJson(report), "{}\n");
  report.provinces.emplace();
  report.rows = std::vector<RowCaptions>{{u"92#汽油:", u"7.74"}, {u"", u""}};
  EXPECT_EQ(PriceCheckJson(report),
            "{\"provinces\":[],\"rows\":[{\"info\":\"92#\xE6\xB1\xBD\xE6\xB2\xB9:\","
            "\"price\":\"7.74\"},{\"info\":\"\",\"price\":\"\"}]}\n");
  report.provinces = std::vector<TextUrl>{{u"广东", u"http://h/g/"}};
  report.links = std::vector<TextUrl>{};
  report.cities = std::vector<TextUrl>{{u"a\"", u"u"}};
  report.rows.reset();
  EXPECT_EQ(PriceCheckJson(report),
            "{\"provinces\":[{\"text\":\"\xE5\xB9\xBF\xE4\xB8\x9C\",\"url\":\"http://h/g/\"}],"
            "\"links\":[],\"cities\":[{\"text\":\"a\\\"\",\"url\":\"u\"}]}\n");
}

TEST(CheckReportTest, PairsRunToTheLongerList) {
  MemoryList texts, urls;
  texts.AddItem(u"a");
  urls.AddItem(u"1");
  urls.AddItem(u"2");
  const auto pairs = PairLists(texts, urls);
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[1].text, u"");
  EXPECT_EQ(pairs[1].url, u"2");
}

}  // namespace
}  // namespace fw
