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

}  // namespace
}  // namespace fw
