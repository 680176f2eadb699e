// The button's portable rules against values worked out by hand from the
// button's rules: access keys, colour shifts and mixes, gradient tables
// and pixels, the caption and picture layout, caption offsets, greying.

#include "controls/skbutton/SkbuttonModel.h"

#include <algorithm>
#include <span>

#include "controls/skbutton/PixelMappedArt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fw::skbtn {
namespace {

TEST(SkbuttonModel, AccessKeys) {
  struct Case {
    std::u16string_view caption;
    int index;  // -1: no access key
  } const cases[] = {
      {u"&File", 1},      // an ampersand before the first letter
      {u"Sa&ve", 3},
      {u"&&x", -1},       // only a doubled pair: a literal ampersand
      {u"a&&b&c", 5},     // a single ampersand after a doubled pair
      {u"&&&x", 3},
      {u"&&&&x", -1},     // the second pair is literal too
      {u"ab&", -1},       // last character
      {u"a&&b&", -1},
      {u"&", -1},         // one character
      {u"plain", -1},
  };
  for (const Case& c : cases) {
    const auto got = AccessKeyIndex(c.caption);
    EXPECT_EQ(got ? static_cast<int>(*got) : -1, c.index)
        << std::string(c.caption.begin(), c.caption.end());
  }
}

TEST(SkbuttonModel, ShiftColorClampsOnlyTheSideItMovesTo) {
  EXPECT_EQ(ShiftColor(0x123456, 0.0f), 0x123456);
  // -0.05 x 255 = -12.75: a channel of 5 gives -7.75, clamped to 0; 255 gives 242.25.
  EXPECT_EQ(ShiftColor(0x05FF05, -0.05f), 0x00F200);
  // 0.3 x 255 = 76.5 in single precision: halves go to even.
  EXPECT_EQ(ShiftColor(0x000000, 0.3f), 0x4C4C4C);
  EXPECT_EQ(ShiftColor(0x010101, 0.3f), 0x4E4E4E);
  EXPECT_EQ(ShiftColor(0xFFC8FF, 0.3f), 0xFFFFFF);
  // 0.02 x 255 = 5.1.
  EXPECT_EQ(ShiftColor(0xF5F5F5, 0.02f), 0xFAFAFA);
}

TEST(SkbuttonModel, MixColorsRoundsHalvesToEven) {
  // red (1 + 2) / 2 = 1.5 -> 2; green (2 + 3) / 2 = 2.5 -> 2; blue (0 + 255) / 2 = 127.5 -> 128.
  EXPECT_EQ(MixColors(0x000201, 0xFF0302), 0x800202);
}

TEST(SkbuttonModel, StyleFourStartsFromAShiftedGrey) {
  // 0xD4 + 0.06 x 255 = 212 + 15.3 -> 227.
  EXPECT_EQ(DefaultColours(4).back, Colour(0xE3E3E3u));
  EXPECT_FALSE(DefaultColours(16).back.has_value());
  EXPECT_EQ(DefaultColours(5).fore, Colour(0xFFFFFFu));
}

std::vector<int32_t> Reds(std::initializer_list<int32_t> reds) {
  std::vector<int32_t> v;
  for (int32_t r : reds) v.push_back(r);
  return v;
}

TEST(SkbuttonModel, GradientInFourDirections) {
  // Horizontal, 5 x 2, black to red: n = 4, red = 255 i / 4 truncated.
  EXPECT_EQ(GradientPixels(5, 2, 0x000000, 0x0000FF, GradientHorizontal),
            Reds({0, 63, 127, 191, 255, 0, 63, 127, 191, 255}));
  // Falling channels truncate toward zero: 255 - 127.5 -> 128.
  EXPECT_EQ(GradientPixels(3, 1, 0x0000FF, 0x000000, GradientHorizontal), Reds({255, 128, 0}));
  // Vertical of height 2: exactly c1 on top, c2 below.
  EXPECT_EQ(GradientPixels(2, 2, 0x102030, 0x405060, GradientVertical),
            (std::vector<int32_t>{0x102030, 0x102030, 0x405060, 0x405060}));
  // Diagonals, 3 x 2: n = 3, entries 0, 85, 170, 255.
  EXPECT_EQ(GradientPixels(3, 2, 0x000000, 0x0000FF, GradientDiagonalDown),
            Reds({0, 85, 170, 85, 170, 255}));
  EXPECT_EQ(GradientPixels(3, 2, 0x000000, 0x0000FF, GradientDiagonalUp),
            Reds({85, 170, 255, 0, 85, 170}));
}

TEST(SkbuttonModel, GradientEdgeCases) {
  // One pixel wide, horizontal: the truncated halves of both ends added.
  EXPECT_EQ(GradientPixels(1, 3, 0xFF0101, 0x010101, GradientHorizontal),
            (std::vector<int32_t>{0x7F0000, 0x7F0000, 0x7F0000}));
  EXPECT_TRUE(GradientPixels(0, 5, 0, 0xFFFFFF, GradientVertical).empty());
  EXPECT_TRUE(GradientPixels(5, -1, 0, 0xFFFFFF, GradientVertical).empty());
  // The untranslatable -1 counts as white.
  EXPECT_EQ(GradientTable(-1, 0x000000, 1), (std::vector<int32_t>{0xFFFFFF, 0x000000}));
}

TEST(SkbuttonModel, CaptionAndPictureLayout) {
  // An 80 x 25 button, caption 37 x 13, a 16 x 16 picture (PictureSize 1).
  struct Row {
    int pictureAlign, captionAlign;
    bool picture, accessKey;
    Layout want;  // px, py, pw, ph, tx, ty
  } const rows[] = {
      {0, 1, true, false, {4, 4, 16, 16, 30, 6}},
      {1, 1, true, false, {13, 4, 16, 16, 33, 6}},
      {2, 1, true, false, {60, 4, 16, 16, 22, 6}},  // centred: the right place was on the button
      {3, 1, true, false, {50, 4, 16, 16, 11, 6}},
      {4, 1, true, false, {32, 4, 16, 16, 22, 6}},
      {5, 1, true, false, {32, 4, 16, 16, 22, 16}},
      {6, 1, true, false, {32, 4, 16, 16, 22, 16}},
      {7, 1, true, false, {32, 5, 16, 16, 22, -4}},
      {8, 1, true, false, {32, 5, 16, 16, 22, -4}},
      {9, 1, true, false, {1, 1, 16, 16, 0, 0}},
      {0, 0, true, false, {4, 4, 16, 16, 24, 6}},
      {1, 0, true, false, {4, 4, 16, 16, 24, 6}},
      {2, 0, true, false, {60, 4, 16, 16, 4, 6}},
      {3, 0, true, false, {41, 4, 16, 16, 4, 6}},
      {6, 0, true, false, {32, 4, 16, 16, 4, 16}},
      {0, 2, true, false, {4, 4, 16, 16, 39, 6}},
      {1, 2, true, false, {19, 4, 16, 16, 39, 6}},
      {2, 2, true, false, {60, 4, 16, 16, 23, 6}},
      {3, 2, true, false, {60, 4, 16, 16, 23, 6}},
      {8, 2, true, false, {32, 5, 16, 16, 39, -4}},
      // Without a picture only CaptionAlign counts, and the picture is at 0, 0.
      {3, 0, false, false, {0, 0, 16, 16, 4, 6}},
      {7, 1, false, false, {0, 0, 16, 16, 22, 6}},
      {0, 2, false, false, {0, 0, 16, 16, 39, 6}},
      {7, 1, false, true, {0, 0, 16, 16, 25, 6}},
  };
  for (const Row& r : rows) {
    LayoutInput in;
    in.width = 80;
    in.height = 25;
    in.textWidth = 37;
    in.textHeight = 13;
    in.hasPicture = r.picture;
    in.pictureSize = 1;
    in.pictureAlign = r.pictureAlign;
    in.captionAlign = r.captionAlign;
    in.hasAccessKey = r.accessKey;
    const Layout got = LayoutCaptionAndPicture(in);
    const std::string where = "PictureAlign " + std::to_string(r.pictureAlign) + ", CaptionAlign " +
                              std::to_string(r.captionAlign) + (r.picture ? "" : ", no picture");
    EXPECT_EQ(got.px, r.want.px) << where;
    EXPECT_EQ(got.py, r.want.py) << where;
    EXPECT_EQ(got.pw, r.want.pw) << where;
    EXPECT_EQ(got.ph, r.want.ph) << where;
    EXPECT_EQ(got.tx, r.want.tx) << where;
    EXPECT_EQ(got.ty, r.want.ty) << where;
  }
}

TEST(SkbuttonModel, PicturesLargerThanTheButtonShrink) {
  LayoutInput in;
  in.width = 80;
  in.height = 24;
  in.textWidth = 37;
  in.textHeight = 13;
  in.hasPicture = true;
  in.pictureSize = 2;
  in.pictureAlign = 4;
  // py = 0 becomes 1, then 1 + 24 > 24 gives ph = H - 4.
  Layout got = LayoutCaptionAndPicture(in);
  EXPECT_EQ(got.py, 1);
  EXPECT_EQ(got.ph, 20);
  EXPECT_EQ(got.pw, 24);
  // 32 wide on a 30-pixel button: px = -1 becomes 1, then pw = W - 8.
  in.width = 30;
  in.pictureSize = 3;
  in.height = 40;
  got = LayoutCaptionAndPicture(in);
  EXPECT_EQ(got.px, 1);
  EXPECT_EQ(got.pw, 22);
  // PictureSize 0 takes the picture's own size.
  in.pictureSize = 0;
  in.ownWidth = 10;
  in.ownHeight = 7;
  got = LayoutCaptionAndPicture(in);
  EXPECT_EQ(got.pw, 10);
  EXPECT_EQ(got.ph, 7);
}

TEST(SkbuttonModel, CaptionOffsetsByStyleAndState) {
  // tx 10, ty 6, caption 30 x 13.
  struct Row {
    int32_t style, state;
    int dx;
    Box caption;
    bool focus;
  } const rows[] = {
      {0, StatePressed, 1, {11, 7, 41, 20}, false},
      {8, StatePressed, 1, {11, 7, 41, 20}, false},
      {5, StatePressed, 2, {11, 8, 41, 20}, false},
      {5, StateHot, -1, {8, 4, 38, 17}, false},
      {14, StateNormal, 0, {10, 5, 40, 18}, false},
      {14, StatePressed, 0, {10, 5, 40, 18}, false},
      {2, StatePressed, 0, {10, 6, 40, 19}, false},
      {3, StateNormal, 0, {10, 6, 40, 19}, true},
      {15, StateHot, 0, {10, 6, 40, 19}, true},
  };
  for (const Row& r : rows) {
    const CaptionPlacement got = PlaceCaption(r.style, r.state, 10, 6, 30, 13);
    EXPECT_EQ(got.pictureDx, r.dx) << "style " << r.style;
    EXPECT_EQ(got.pictureDy, r.dx) << "style " << r.style;
    EXPECT_EQ(got.caption, r.caption) << "style " << r.style;
    EXPECT_EQ(got.focus.has_value(), r.focus) << "style " << r.style;
    if (r.focus) {
      EXPECT_EQ(*got.focus, (Box{8, 6, 41, 20})) << "style " << r.style;
    }
  }
}

// At 192 dpi the layout of a 160 x 50 button, caption 74 x 26, is the 80 x 25
// one's with every gap and picture size doubled (worked out from the rows above
// with each 96-dpi gap times two); at 144 a 4-pixel gap is 6 and 16 is 24.
TEST(SkbuttonModel, LayoutAtHigherDpi) {
  struct Row {
    int dpi, width, height, textWidth, textHeight, pictureAlign, captionAlign;
    bool accessKey;
    Layout want;
  } const rows[] = {
      {192, 160, 50, 74, 26, 0, 0, false, {8, 9, 32, 32, 48, 12}},
      {192, 160, 50, 74, 26, 2, 2, false, {120, 9, 32, 32, 46, 12}},
      {192, 160, 50, 74, 26, 5, 1, true, {64, 8, 32, 32, 49, 32}},
      {144, 120, 38, 56, 20, 0, 0, false, {6, 7, 24, 24, 36, 9}},
      {144, 120, 38, 56, 20, 1, 2, false, {28, 7, 24, 24, 58, 9}},
  };
  for (const Row& r : rows) {
    LayoutInput in;
    in.width = r.width;
    in.height = r.height;
    in.textWidth = r.textWidth;
    in.textHeight = r.textHeight;
    in.hasPicture = true;
    in.pictureSize = 1;
    in.pictureAlign = r.pictureAlign;
    in.captionAlign = r.captionAlign;
    in.hasAccessKey = r.accessKey;
    in.dpi = r.dpi;
    const Layout got = LayoutCaptionAndPicture(in);
    const std::string where = std::to_string(r.dpi) + " dpi, PictureAlign " +
                              std::to_string(r.pictureAlign) + ", CaptionAlign " + std::to_string(r.captionAlign);
    EXPECT_EQ(std::vector<int32_t>({got.px, got.py, got.pw, got.ph, got.tx, got.ty}),
              std::vector<int32_t>({r.want.px, r.want.py, r.want.pw, r.want.ph, r.want.tx, r.want.ty}))
        << where;
  }
  // The pressed and focus offsets: 1 pixel is 2 at both.
  EXPECT_EQ(PlaceCaption(0, StatePressed, 10, 6, 30, 13, 144).caption, (Box{12, 8, 42, 21}));
  EXPECT_EQ(PlaceCaption(5, StateHot, 10, 6, 30, 13, 192).caption, (Box{6, 2, 36, 15}));
  EXPECT_EQ(PlaceCaption(14, StateNormal, 10, 6, 30, 13, 192).caption, (Box{10, 4, 40, 17}));
  EXPECT_EQ(*PlaceCaption(3, StateNormal, 10, 6, 30, 13, 192).focus, (Box{6, 6, 42, 21}));
}

TEST(SkbuttonModel, GrayRunWalksThroughRowPadding) {
  // Groups start at bytes 0 and 3 whatever the rows are; a last byte short of a
  // group stays.
  std::vector<uint8_t> padded{10, 20, 30, 1, 2, 3, 9};
  GrayRun(padded);
  EXPECT_EQ(padded, (std::vector<uint8_t>{20, 20, 20, 2, 2, 2, 9}));
  // The last whole group is greyed too.
  std::vector<uint8_t> exact{10, 20, 30, 40, 50, 61};
  GrayRun(exact);
  EXPECT_EQ(exact, (std::vector<uint8_t>{20, 20, 20, 50, 50, 50}));
}

}  // namespace
}  // namespace fw::skbtn

// -- The pixel-mapped style's artwork against its row counts, totals and telling
// pixels, written out by hand.

namespace fw::skbtn {
namespace {

// Pixels of one map per row, outermost row first (a map's y is its row index
// counted from the outer edge).
std::vector<int> RowCounts(std::span<const ArtPixel> map) {
  std::vector<int> counts;
  for (const ArtPixel& p : map) {
    if (p.y >= static_cast<int>(counts.size())) counts.resize(static_cast<size_t>(p.y) + 1, 0);
    ++counts[static_cast<size_t>(p.y)];
  }
  return counts;
}

TEST(SkbuttonArt, CornerRunLengthsAndCounts) {
  using V = std::vector<int>;
  const V normal[4] = {{12, 13, 15, 15, 16, 17, 17, 17, 18, 18, 18, 18, 18},
                       {11, 13, 15, 16, 16, 16, 13, 18, 18, 18, 18},
                       {11, 13, 14, 15, 16, 17, 17, 17, 18, 18, 18, 18, 18},
                       {10, 12, 13, 14, 14, 14, 11, 16, 17, 17, 17}};
  const V other[4] = {{12, 13, 15, 15, 16, 17, 17, 17, 18, 18, 18},
                      {11, 13, 15, 16, 16, 17, 17, 18, 18, 18, 18, 18, 18},
                      {11, 13, 14, 15, 16, 17, 17, 17, 18, 18, 18},
                      {10, 12, 13, 14, 15, 16, 16, 16, 17, 17, 17, 17, 17}};
  const int totals[3] = {749, 760, 760};
  for (size_t look = 0; look < 3; ++look) {
    int total = 0;
    for (size_t map = 0; map < 4; ++map) {
      const auto& corner = kPixelArt[look].corners[map];
      EXPECT_EQ(RowCounts(corner), look == 0 ? normal[map] : other[map]) << "look " << look << " map " << map;
      for (const ArtPixel& p : corner) {
        EXPECT_TRUE(p.x >= 0 && p.x <= 17) << "look " << look << " map " << map;
        // Runs start at the inner side: x 17 on the left, W - 17 on the right.
        if (map == CornerTopLeft || map == CornerBottomLeft) {
          EXPECT_TRUE(std::any_of(corner.begin(), corner.end(),
                                  [&](const ArtPixel& q) { return q.y == p.y && q.x == 17; }));
        } else {
          EXPECT_TRUE(std::any_of(corner.begin(), corner.end(),
                                  [&](const ArtPixel& q) { return q.y == p.y && q.x == 0; }));
        }
      }
      total += static_cast<int>(corner.size());
    }
    EXPECT_EQ(total, totals[look]) << "look " << look;
  }
  // The top-right maps also set column W in rows 0 to 7.
  for (const PixelArt& art : kPixelArt) {
    for (int y = 0; y < 8; ++y) {
      EXPECT_TRUE(std::any_of(art.corners[CornerTopRight].begin(), art.corners[CornerTopRight].end(),
                              [&](const ArtPixel& p) { return p.y == y && p.x == 17; }));
    }
  }
}

TEST(SkbuttonArt, TellingRowsOfTheTopLeftMap) {
  struct Px {
    int x, y;
    uint32_t colour;
  };
  const std::vector<Px> rows[3] = {
      {{6, 0, 0xFEFEFE}, {10, 0, 0x6C6C6C}, {17, 0, 0x67696A}, {5, 1, 0xEFEFEF}, {7, 1, 0x676767},
       {17, 1, 0xF5F4F6}, {3, 2, 0xFEFEFE}, {6, 2, 0x656565}, {17, 2, 0xF3F2F4}},
      {{8, 0, 0xA9A5A5}, {10, 0, 0x482729}, {17, 0, 0x450608}, {8, 1, 0x661F1A}, {9, 1, 0x9B6A63},
       {4, 2, 0xE5E5E5}, {6, 2, 0x41070C}, {17, 2, 0xE5C8BD}},
      {{7, 0, 0xE5E4E4}, {9, 0, 0x675C5C}, {17, 0, 0x3C090A}, {6, 1, 0x9D888A}, {17, 1, 0xDEC7BE},
       {5, 2, 0x6F5C5C}, {7, 2, 0x712E2A}}};
  for (size_t look = 0; look < 3; ++look) {
    const auto& map = kPixelArt[look].corners[CornerTopLeft];
    for (const Px& want : rows[look]) {
      const auto it = std::find_if(map.begin(), map.end(),
                                   [&](const ArtPixel& p) { return p.x == want.x && p.y == want.y; });
      ASSERT_NE(it, map.end()) << "look " << look << " at " << want.x << ", " << want.y;
      EXPECT_EQ(it->colour, want.colour) << "look " << look << " at " << want.x << ", " << want.y;
    }
    // The outermost pixel of row 0 is x = 6.
    EXPECT_FALSE(std::any_of(map.begin(), map.end(), [](const ArtPixel& p) { return p.y == 0 && p.x < 6; }));
  }
}

}  // namespace
}  // namespace fw::skbtn
