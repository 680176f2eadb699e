// The spin text box's portable rules: its layout in twips, the leading-number
// reading, the number texts and the step.

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "controls/xpText/xpTextModel.h"

namespace fw::xptext {
namespace {

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

TEST(xpTextLayout, WidthHeightAndTextTop) {
  struct Case {
    int32_t width;
    double points;
    int32_t wantWidth, wantTextWidth, wantTop;
  } cases[] = {
      {300, 8.0, 400, 289, 60},    // raised to 400
      {1335, 8.0, 1335, 1224, 60},
      {1335, 8.25, 1335, 1224, 60},  // 0.25 rounds to 0
      {1335, 8.5, 1335, 1224, 60},   // 0.5 rounds to even 0
      {1335, 9.0, 1335, 1224, 45},
      {1335, 9.5, 1335, 1224, 30},   // 1.5 rounds to even 2
      {1335, 12.0, 1335, 1224, 0},   // 60 twips higher than 8 pt
      {1335, 6.0, 1335, 1224, 60},
  };
  for (const Case& c : cases) {
    const Layout l = LayoutFor(c.width, c.points);
    EXPECT_EQ(l.width, c.wantWidth) << c.width << " " << c.points;
    EXPECT_EQ(l.height, 315);
    EXPECT_EQ(l.borderWidth, c.wantWidth);
    EXPECT_EQ(l.textLeft, 75);
    EXPECT_EQ(l.textWidth, c.wantTextWidth);
    EXPECT_EQ(l.textTop, c.wantTop) << c.points;
    EXPECT_EQ(l.textTop + l.textHeight, 300) << "down to the border's row";
  }
}

TEST(xpTextNumbers, LeadingNumberOfATable) {
  struct Case {
    const char16_t* text;
    double want;
  } cases[] = {
      {u"12abc", 12},    {u"abc", 0},        {u"", 0},          {u"12.5", 12.5},
      {u"  -3.5e2x", -350}, {u"1e", 1},      {u"1e+", 1},       {u".5", 0.5},
      {u"-.5", -0.5},    {u"+7", 7},         {u"1.2.3", 1.2},   {u"2D3", 2000},
      {u"-", 0},         {u".", 0},          {u"&H10", 0},      {u"007", 7},
      {u"1E-2", 0.01},   {u"\u0661", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LeadingNumber(c.text), c.want) << Narrow(c.text);
  }
  EXPECT_EQ(LeadingNumber(u"1e999"), std::numeric_limits<double>::max());
  EXPECT_EQ(LeadingNumber(u"-1e999"), std::numeric_limits<double>::lowest());
  EXPECT_EQ(LeadingNumber(u"1e-999"), 0.0);
}

TEST(xpTextNumbers, ShortestAndFixedTexts) {
  EXPECT_EQ(ShortestText(2.5), u"2.5");
  EXPECT_EQ(ShortestText(12), u"12");
  EXPECT_EQ(ShortestText(-0.1), u"-0.1");
  EXPECT_EQ(ShortestText(1e20), u"1e+20");
  EXPECT_EQ(LeadingNumber(ShortestText(0.1 + 0.2)), 0.1 + 0.2) << "reads back as written";

  EXPECT_EQ(FixedText(2.5, 0), u"2");
  EXPECT_EQ(FixedText(3.5, 0), u"4");
  EXPECT_EQ(FixedText(12.25, 1), u"12.2");  // 12.25 is exact: a half, to even
  EXPECT_EQ(FixedText(1.5, 2), u"1.50");
  EXPECT_EQ(FixedText(-0.4, 0), u"0");
  EXPECT_EQ(FixedText(1, -3), u"1");
  EXPECT_EQ(FixedText(1, 400), u"1.000000000000000");
}

TEST(xpTextNumbers, StepsAddTheLargeChange) {
  EXPECT_EQ(Stepped(u"12.5", 1, 1, 1), u"13.5");
  EXPECT_EQ(Stepped(u"12.5", -1, 1, 0), u"12");  // 11.5 shows as 12
  EXPECT_EQ(Stepped(u"abc", 1, 2.5, 1), u"2.5");
  EXPECT_EQ(Stepped(u"abc", -1, 1, 0), u"-1");
  EXPECT_EQ(Stepped(u"0.1", 1, 0.2, 1), u"0.3");
  EXPECT_EQ(Stepped(u"12abc", 1, 1, 0), u"13");
}

// A 96-dpi pixel is 2 pixels at 144 and 192 dpi (20 and 15 twips there) and 1
// at 120 (12 twips): the text moves up a pixel per point above 8 and keeps the
// border's bottom row free, in those twips.
TEST(XpTextLayout, PixelRowsAtHigherDpi) {
  struct Case {
    int32_t dpi, textTop, textHeight;
  } const cases[] = {{96, 30, 270}, {120, 36, 267}, {144, 20, 275}, {192, 30, 270}};
  for (const Case& c : cases) {
    const Layout l = LayoutFor(1335, 10.0, c.dpi);
    EXPECT_EQ(l.textTop, c.textTop) << c.dpi;
    EXPECT_EQ(l.textHeight, c.textHeight) << c.dpi;
  }
}

}  // namespace
}  // namespace fw::xptext
