// The message box's flag reduction, button sets, row and results, and the
// random theme, against tables of button sets, places and results written out
// by hand.
#include "app/WindowsModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fw::windows {
namespace {

using Captions = std::vector<std::u16string_view>;

TEST(MessageBoxRules, FlagsChooseTheButtonSetWithoutTheirIconPart) {
  const Captions ok{u"OK"}, okCancel{u"OK", u"Cancel"}, okIgnore{u"OK", u"Ignore"};
  const Captions yesNo{u"Yes", u"No"}, yesNoCancel{u"Yes", u"No", u"Cancel"};
  struct Case {
    int32_t flags;
    Captions buttons;
  } const cases[] = {
      {0, ok},   {1, okCancel}, {2, okIgnore}, {3, yesNo},  {4, yesNoCancel},
      {16, ok},  {32, ok},      {48, ok},      {64, ok},    {20, yesNoCancel},
      {33, okCancel}, {50, okIgnore}, {67, yesNo}, {68, yesNoCancel},
      // Icon part with no known set left, and values outside every icon range.
      {5, {}},   {15, {}},      {21, {}},      {31, {}},    {79, {}},
      {80, {}},  {81, {}},      {-1, {}},      {-16, {}},   {1 << 30, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ButtonCaptions(ButtonSetOf(c.flags)), c.buttons) << "Flags " << c.flags;
  }
  // Only 16 to 79 lose their icon part; 80 and beyond stay as they are.
  EXPECT_EQ(ButtonSetOf(79), 15);
  EXPECT_EQ(ButtonSetOf(80), 80);
  EXPECT_EQ(ButtonSetOf(96), 96);
}

TEST(MessageBoxRules, TheRowIsCentredWithGapsOf120) {
  // Two buttons of 1200 in 5070: (5070 - 2400 - 120) / 2 = 1275, then 2595.
  EXPECT_EQ(RowLefts(kBoxClientWidth, {1200, 1200}), (std::vector<int32_t>{1275, 2595}));
  EXPECT_EQ(RowLefts(kBoxClientWidth, {1200}), (std::vector<int32_t>{1935}));
  EXPECT_EQ(RowLefts(kBoxClientWidth, {1200, 1200, 1200}),
            (std::vector<int32_t>{615, 1935, 3255}));
  // Odd remainders truncate toward zero, also when the row is wider than the window.
  EXPECT_EQ(RowLefts(101, {50}), (std::vector<int32_t>{25}));
  EXPECT_EQ(RowLefts(1000, {801, 400}), (std::vector<int32_t>{-160, 761}));
  EXPECT_TRUE(RowLefts(kBoxClientWidth, {}).empty());
}

TEST(MessageBoxRules, ResultsByExactCaption) {
  const std::pair<std::u16string_view, int32_t> table[] = {
      {u"OK", 1}, {u"Cancel", 2}, {u"Ignore", 3}, {u"Yes", 4}, {u"No", 5}};
  for (const auto& [caption, result] : table) {
    EXPECT_EQ(ResultOf(caption, 0), result) << std::string(caption.begin(), caption.end());
    EXPECT_EQ(ResultOf(caption, 4), result);
  }
  for (std::u16string_view other : {u"ok", u"OK ", u"", u"确定", u"cmdButton0"}) {
    EXPECT_EQ(ResultOf(other, 0), 0);
    EXPECT_EQ(ResultOf(other, 3), 3);
  }
}

TEST(RandomTheme, TheIntegerPartOfFiveTimesTheNumberPlusOne) {
  const std::pair<double, int32_t> table[] = {
      {0.0, 1},  {0.1999, 1}, {0.2, 2},  {0.3999, 2}, {0.4, 3}, {0.6, 4},
      {0.7999, 4}, {0.8, 5},  {0.999999, 5}, {1.0, 5}, {-0.5, 1}, {7.0, 5}};
  for (const auto& [uniform, theme] : table) {
    EXPECT_EQ(ThemeFromUniform(uniform), theme) << uniform;
  }
}

}  // namespace
}  // namespace fw::windows
