// Captions as assistive technology reads them.
#include "host/AccessibleText.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(AccessibleText, FieldNamesFromLabels) {
  struct Case {
    std::u16string_view label, name;
  } const cases[] = {
      {u"省  份:", u"省份"},
      {u"城  市:", u"城市"},
      {u"省份：", u"省份"},
      {u"&Name:", u"Name"},
      {u" First name : ", u"First name"},
      {u"92 号汽油", u"92 号汽油"},  // a blank beside a digit stays
      {u"油价\u3000趋势", u"油价趋势"},  // an ideographic space spreads too
      {u"R&&D:", u"R&D"},
      {u"::", u":"},
      {u"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FieldNameFromLabel(c.label), c.name) << std::string(c.label.begin(), c.label.end());
  }
}

TEST(AccessibleText, SeveralLinesReadAsOne) {
  struct Case {
    std::u16string_view text, want;
  } const cases[] = {
      {u"数据来源于油价网\r\n(Http://a/)", u"数据来源于油价网 (Http://a/)"},
      {u"a\nb\rc", u"a b c"},
      {u"a \r\n b", u"a  b"},  // the blanks of the lines stay, none is added
      {u"\r\nab\r\n", u"ab"},
      {u"one line", u"one line"},
  };
  for (const Case& c : cases) EXPECT_EQ(OnOneLine(c.text), c.want);
}

}  // namespace
}  // namespace fw
