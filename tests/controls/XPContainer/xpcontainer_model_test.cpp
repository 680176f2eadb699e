// The header container's portable rules: the theme table and the gradient rows.
// Expected rows come from the reference loop in GradientReference.h, not from
// the code under test.

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "controls/XPContainer/XPContainerModel.h"
#include "tests/controls/XPContainer/GradientReference.h"

namespace fw::xpcontainer {
namespace {

using testing::HexRows;

TEST(XPContainerThemes, ThemeTwoIsTheGreenRowAndThemeZeroTheDefaults) {
  const auto two = ThemeRow(2);
  ASSERT_TRUE(two.has_value());
  EXPECT_EQ(two->headerLight, Colour(0xD8E5C8));
  EXPECT_EQ(two->headerDark, Colour(0xB1CB92));
  EXPECT_EQ(two->backLight, Colour(0xF1F5EB));
  EXPECT_EQ(two->backDark, Colour(0xE1EBD5));
  EXPECT_EQ(two->border, Colour(0xAAC688));
  EXPECT_EQ(two->text, Colour(0x213B00));

  const auto zero = ThemeRow(0);
  ASSERT_TRUE(zero.has_value());
  EXPECT_EQ(*zero, (ThemeColours{Colour(0xF7E0D3), Colour(0xEDC5A7), Colour(0xFCF4EF),
                                 Colour(0xFAE8DC), Colour(0xDCC1AD), Colour(0x7B2D02)}));
  // The last row, where the text colour is lighter than usual.
  EXPECT_EQ(ThemeRow(11)->text, Colour(0x66D5E1));
  EXPECT_EQ(ThemeRow(11)->border, Colour(0x95E1EA));
}

TEST(XPContainerThemes, ValuesOutsideTheTableHaveNoRow) {
  for (int32_t t : {-1, 12, 13, 32767, -32768, INT32_MIN, INT32_MAX}) {
    EXPECT_FALSE(ThemeRow(t).has_value()) << t;
  }
}

TEST(XPContainerThemes, EveryThemeIsDistinct) {
  // A copy-paste slip in the table would make two themes look alike.
  for (int i = 0; i < kThemeCount; ++i)
    for (int j = i + 1; j < kThemeCount; ++j) EXPECT_NE(kThemes[i], kThemes[j]) << i << " " << j;
}

TEST(XPContainerGradient, FullHeaderOfThemeTwoFollowsTheReference) {
  // A header strip of inner height 23: rows 0 .. 22, divisor 22.
  const auto got = VerticalGradient(0xD8E5C8, 0xB1CB92, 22, 23);
  const auto want = testing::ReferenceGradient(0xD8E5C8, 0xB1CB92, 22, 23);
  EXPECT_TRUE(got.complete);
  EXPECT_EQ(got.rows, want) << "got  " << HexRows(got.rows) << "\nwant " << HexRows(want);
  EXPECT_EQ(got.rows.front(), 0xD8E5C8u);
  EXPECT_EQ(got.rows.back(), 0xB1CB92u);
}

TEST(XPContainerGradient, TwoRowStripGivesLightThenDark) {
  const auto got = VerticalGradient(0xD8E5C8, 0xB1CB92, 1, 2);
  EXPECT_TRUE(got.complete);
  EXPECT_EQ(got.rows, (std::vector<uint32_t>{0xD8E5C8, 0xB1CB92})) << HexRows(got.rows);
}

TEST(XPContainerGradient, EqualColoursGiveAFlatFill) {
  const auto got = VerticalGradient(0xFFFFFF, 0xFFFFFF, 175, 177);
  EXPECT_TRUE(got.complete);
  ASSERT_EQ(got.rows.size(), 177u);
  for (size_t y = 0; y < got.rows.size(); ++y) ASSERT_EQ(got.rows[y], 0xFFFFFFu) << "row " << y;
}

TEST(XPContainerGradient, HalvesRoundToEvenInEachChannel) {
  // Red 10 -> 7 over 2: 10, 8.5 -> 8, 7. Green 11 -> 8: 11, 9.5 -> 10, 8.
  // Blue 7 -> 10 (rising): 7, 8.5 -> 8, 10.
  const uint32_t a = 10u | (11u << 8) | (7u << 16);
  const uint32_t b = 7u | (8u << 8) | (10u << 16);
  const auto got = VerticalGradient(static_cast<int32_t>(a), static_cast<int32_t>(b), 2, 3);
  EXPECT_TRUE(got.complete);
  const std::vector<uint32_t> want = {a, 8u | (10u << 8) | (8u << 16), b};
  EXPECT_EQ(got.rows, want) << "got " << HexRows(got.rows) << " want " << HexRows(want);
}

TEST(XPContainerGradient, ChannelsStayApart) {
  // Only one channel moves at a time: a mixed-up extractor shows here.
  EXPECT_EQ(VerticalGradient(0x0000FF, 0x000000, 1, 2).rows,
            (std::vector<uint32_t>{0x0000FF, 0x000000}));
  EXPECT_EQ(VerticalGradient(0x00FF00, 0x000000, 1, 2).rows,
            (std::vector<uint32_t>{0x00FF00, 0x000000}));
  EXPECT_EQ(VerticalGradient(0xFF0000, 0x000000, 1, 2).rows,
            (std::vector<uint32_t>{0xFF0000, 0x000000}));
  EXPECT_EQ(VerticalGradient(0x000000, 0x0000FF, 4, 5).rows,
            (std::vector<uint32_t>{0x00, 0x40, 0x80, 0xBF, 0xFF}));
}

TEST(XPContainerGradient, LongBodyMatchesRepeatedSubtraction) {
  // The body of a 201-pixel container: rows 24 .. 200, divisor 175. Odd fractions
  // accumulate; the reference subtracts the same way.
  const auto got = VerticalGradient(0xFCF4EF, 0xFAE8DC, 175, 177);
  const auto want = testing::ReferenceGradient(0xFCF4EF, 0xFAE8DC, 175, 177);
  EXPECT_EQ(got.rows, want) << "got  " << HexRows(got.rows) << "\nwant " << HexRows(want);
}

TEST(XPContainerGradient, DivisorZeroDrawsNothing) {
  const auto got = VerticalGradient(0xD8E5C8, 0xB1CB92, 0, 1);
  EXPECT_FALSE(got.complete);
  EXPECT_TRUE(got.rows.empty());
  // Even equal colours (0 / 0) fail.
  EXPECT_FALSE(VerticalGradient(0x808080, 0x808080, 0, 1).complete);
}

TEST(XPContainerGradient, UntranslatedColourDrawsNothing) {
  for (auto [a, b] : {std::pair{-1, 0xB1CB92}, std::pair{0xD8E5C8, -1}, std::pair{-1, -1}}) {
    const auto got = VerticalGradient(a, b, 22, 23);
    EXPECT_FALSE(got.complete) << a << " " << b;
    EXPECT_TRUE(got.rows.empty()) << a << " " << b;
  }
}

TEST(XPContainerGradient, ARowPastTheLastColourThatLeavesTheRangeEndsTheStep) {
  // 0x02 -> 0x00 over 2 with four rows: 2, 1, 0, then -1 fails.
  const auto falling = VerticalGradient(0x000002, 0x000000, 2, 4);
  EXPECT_FALSE(falling.complete);
  EXPECT_EQ(falling.rows, (std::vector<uint32_t>{2, 1, 0})) << HexRows(falling.rows);
  // 0xFD -> 0xFF: 253, 254, 255, then 256 fails.
  const auto rising = VerticalGradient(0x0000FD, 0x0000FF, 2, 4);
  EXPECT_FALSE(rising.complete);
  EXPECT_EQ(rising.rows, (std::vector<uint32_t>{0xFD, 0xFE, 0xFF})) << HexRows(rising.rows);
}

TEST(XPContainerGradient, EmptyAndNegativeRangesDrawNothingButSucceed) {
  EXPECT_TRUE(VerticalGradient(0x123456, 0x654321, 5, 0).complete);
  EXPECT_TRUE(VerticalGradient(0x123456, 0x654321, 5, 0).rows.empty());
  // A container shorter than its header: divisor and count go negative.
  const auto got = VerticalGradient(0x123456, 0x654321, -3, -1);
  EXPECT_TRUE(got.complete);
  EXPECT_TRUE(got.rows.empty());
}

TEST(XPContainerLayout, ResizeFollowsTheContainer) {
  const auto l = ResizeLayout(201, 201, 12);
  ASSERT_TRUE(l.has_value());
  EXPECT_EQ(l->captionTop, 6);  // (23 - 12) / 2 = 5.5, to even
  EXPECT_EQ(l->headerWidth, 199);
  EXPECT_EQ(l->bodyWidth, 199);
  EXPECT_EQ(l->bodyHeight, 176);
  EXPECT_EQ(ResizeLayout(201, 201, 14)->captionTop, 4);  // 4.5, to even
  EXPECT_EQ(ResizeLayout(201, 201, 13)->captionTop, 5);
  EXPECT_FALSE(ResizeLayout(0, 201, 12).has_value());
  EXPECT_EQ(ResizeLayout(1, 10, 12)->bodyHeight, -15);
}

// The 23-pixel strip and 1-pixel border scaled: 35 and 2 at 144 dpi (34.5 and
// 1.5 rounded up), 46 and 2 at 192.
TEST(XPContainerLayout, HeaderAndBodyAtHigherDpi) {
  struct Row {
    int32_t dpi, width, height, captionHeight;
    Layout want;
  } const rows[] = {
      {144, 300, 225, 24, {6, 296, 296, 186}},  // (35 - 24) / 2 = 5.5, to even
      {144, 300, 225, 19, {8, 296, 296, 186}},
      {192, 400, 300, 30, {8, 396, 396, 250}},
  };
  for (const Row& r : rows) {
    const auto l = ResizeLayout(r.width, r.height, r.captionHeight, r.dpi);
    ASSERT_TRUE(l.has_value());
    EXPECT_EQ(std::vector<int32_t>({l->captionTop, l->headerWidth, l->bodyWidth, l->bodyHeight}),
              std::vector<int32_t>({r.want.captionTop, r.want.headerWidth, r.want.bodyWidth,
                                    r.want.bodyHeight}))
        << r.dpi << " dpi";
  }
}

}  // namespace
}  // namespace fw::xpcontainer
