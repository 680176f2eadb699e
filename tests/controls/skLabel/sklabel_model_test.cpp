// The gradient label's portable rules against its own tables and rules:
// the theme and style tables, the gradient and average arithmetic worked out by
// hand, and the caption and icon places (the glossy bar's rows are checked on the surface).

#include <gtest/gtest.h>

#include "controls/skLabel/skLabelModel.h"

namespace fw::sklabel {
namespace {

TEST(skLabelThemes, EachThemeGivesItsThreeColours) {
  const Colour from = Rgb(1, 2, 3), to = Rgb(4, 5, 6), frame = Rgb(7, 8, 9);
  struct Row {
    int32_t theme;
    ThemeColours want;
  } rows[] = {
      {0, {Rgb(129, 169, 226), Rgb(221, 236, 254), Rgb(0, 0, 128)}},
      {1, {Rgb(153, 151, 180), Rgb(244, 244, 251), Rgb(75, 75, 111)}},
      {2, {Rgb(181, 197, 143), Rgb(247, 249, 225), Rgb(63, 93, 56)}},
      {3, {Rgb(194, 194, 171), Rgb(248, 248, 242), Rgb(145, 145, 115)}},
      {4, {Rgb(217, 172, 1), Rgb(255, 239, 165), Rgb(117, 91, 30)}},
      {5, {from, to, frame}},
      {6, {Rgb(153, 151, 180), Rgb(244, 244, 251), Rgb(75, 75, 111)}},
      {-1, {Rgb(153, 151, 180), Rgb(244, 244, 251), Rgb(75, 75, 111)}},
  };
  for (const Row& r : rows) EXPECT_EQ(ThemeColoursFor(r.theme, from, to, frame), r.want) << r.theme;
}

TEST(skLabelStyles, DefaultsPerStyle) {
  const Colour ambient(0x8000000Fu);
  EXPECT_EQ(StyleDefaultsFor(0, ambient)->fillColor, ambient);
  EXPECT_FALSE(StyleDefaultsFor(2, ambient)->fillColor);
  EXPECT_EQ(StyleDefaultsFor(3, ambient)->fillColor, Colour(0xE0FFFF));
  EXPECT_EQ(StyleDefaultsFor(3, ambient)->textBoxColor, Colour(0xB0EFF0));
  for (int32_t s : {1, 4}) {
    EXPECT_EQ(StyleDefaultsFor(s, ambient)->themeColor, 0) << s;
    EXPECT_EQ(StyleDefaultsFor(s, ambient)->textBoxColor, Colour(0xFFFFFF)) << s;
  }
  EXPECT_FALSE(StyleDefaultsFor(5, ambient));
  EXPECT_FALSE(StyleDefaultsFor(-1, ambient));

  EXPECT_EQ(TextFormatFor(0), 36u);
  EXPECT_EQ(TextFormatFor(1), 38u);
  EXPECT_EQ(TextFormatFor(2), 37u);
  EXPECT_EQ(TextFormatFor(7), 37u);
}

TEST(skLabelColours, ThreeRowBandRoundsEachChannel) {
  // From (221, 236, 254) to (129, 169, 226) in 3 steps, worked by hand:
  // row 1 = (190.33, 213.67, 244.67), row 2 = (159.67, 191.33, 235.33).
  const uint32_t a = Rgb(221, 236, 254).value, b = Rgb(129, 169, 226).value;
  EXPECT_EQ(GradientRow(a, b, 0, 3), a);
  EXPECT_EQ(GradientRow(a, b, 1, 3), Rgb(190, 214, 245).value);
  EXPECT_EQ(GradientRow(a, b, 2, 3), Rgb(160, 191, 235).value);
  EXPECT_EQ(GradientRow(a, b, 3, 3), b);
  // Halves go to even: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2.
  EXPECT_EQ(GradientRow(0, Rgb(1, 3, 5).value, 1, 2), Rgb(0, 2, 2).value);
  EXPECT_FALSE(GradientRow(a, b, 0, 0));

  EXPECT_EQ(Average(0xFFFFFF, Rgb(129, 169, 226).value), Rgb(192, 212, 240).value);
  EXPECT_EQ(Average(0, Rgb(129, 169, 226).value), Rgb(64, 84, 113).value);
}

TEST(skLabelDots, NineDotsFourApartFromTheCentre) {
  const auto xs = GripDotsX(160);  // (160 - 34) / 2 = 63
  EXPECT_EQ(xs[0], 63);
  EXPECT_EQ(xs[8], 95);
  EXPECT_EQ(GripDotsX(161)[0], 64);  // 63.5 -> 64
  EXPECT_EQ(GripDotsX(163)[0], 64);  // 64.5 -> 64
}

TEST(skLabelLayout, CaptionAndIconPerStyleAndAlignment) {
  struct Case {
    const char* what;
    CaptionLayoutInput in;
    Rect caption;
    int32_t iconX, iconY;
  } cases[] = {
      // style, sw, sh, caption, alignment, picture, icon size, icon alignment
      {"style 1, icon left of a left caption", {1, 160, 24, true, 0, true, 16, 0},
       {28, 4, 154, 21}, 6, 7},
      {"style 1, icon left, centred", {1, 160, 24, true, 2, true, 16, 0},
       {28, 4, 132, 21}, 6, 7},
      {"style 1, icon right of a right caption", {1, 160, 24, true, 1, true, 16, 1},
       {6, 4, 132, 21}, 138, 7},
      {"style 1, icon right, centred", {1, 160, 24, true, 2, true, 16, 1},
       {28, 4, 132, 21}, 138, 7},
      {"style 1, no room made", {1, 160, 24, true, 0, true, 16, 2}, {6, 4, 154, 21}, 0, 7},
      {"style 1, tall icon raised to 5", {1, 160, 24, true, 0, true, 30, 0},
       {42, 4, 154, 21}, 6, 5},
      {"style 0, no picture", {0, 160, 24, true, 0, false, 16, 0}, {21, 0, 139, 24}, 0, 4},
      {"style 0, empty caption", {0, 160, 24, false, 0, true, 16, 0}, {43, 0, 139, 24}, 6, 0},
      {"style 2, icon left", {2, 160, 24, true, 2, true, 16, 0}, {46, 0, 114, 23}, 27, 4},
      {"style 2, icon right", {2, 160, 24, true, 0, true, 16, 1}, {24, 0, 114, 23}, 117, 4},
      {"style 2, no room made", {2, 160, 24, true, 0, true, 16, 3}, {24, 0, 136, 23}, 12, 4},
      {"style 3, icon taller than the bar", {3, 160, 10, true, 0, true, 16, 0},
       {28, 0, 154, 9}, 6, 3},
      {"style 4, icon under the band", {4, 160, 24, true, 2, true, 16, 0},
       {28, 8, 132, 24}, 6, 10},
      {"style 4, short label raised to 8", {4, 160, 10, true, 2, true, 16, 0},
       {28, 8, 132, 10}, 6, 8},
  };
  for (const Case& c : cases) {
    const auto got = LayoutCaption(c.in);
    ASSERT_TRUE(got) << c.what;
    EXPECT_EQ(got->caption, c.caption) << c.what << ": " << got->caption.left << ", "
                                       << got->caption.top << ", " << got->caption.right << ", "
                                       << got->caption.bottom;
    EXPECT_EQ(got->iconX, c.iconX) << c.what;
    EXPECT_EQ(got->iconY, c.iconY) << c.what;
  }
  EXPECT_FALSE(LayoutCaption({5, 160, 24, true, 0, false, 16, 0}));
}

}  // namespace
}  // namespace fw::sklabel
