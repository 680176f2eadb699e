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
      // A key in brackets after a Chinese caption goes whole, blanks before it too.
      {u"油价网站(&P):", u"油价网站"},
      {u"走势图网站 (&C)：", u"走势图网站"},
      {u"(&&P):", u"(&P)"},  // an ampersand, not a key
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

TEST(AccessibleText, CaptionsWithoutTheirAccessKeys) {
  struct Case {
    std::u16string_view caption, read;
  } const cases[] = {
      {u"&Refresh", u"Refresh"},
      {u"恢复默认(&D)", u"恢复默认"},
      {u"设置(&S)...", u"设置..."},
      {u"A(&B) C", u"A C"},
      {u"(&D)", u""},
      {u"(&D", u"(D"},          // no closing bracket: only the mark goes
      {u"(&Dx)", u"(Dx)"},      // more than the key in the brackets
      {u"R&&D", u"R&D"},
      {u"Save&", u"Save"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WithoutAccessKeyMarks(c.caption), c.read)
        << std::string(c.caption.begin(), c.caption.end());
  }
}

}  // namespace
}  // namespace fw
