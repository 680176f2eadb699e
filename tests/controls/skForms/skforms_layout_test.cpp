// Where the title bar's parts are laid out. Each expected number is worked out
// by hand in the comment beside it, from the 96-dpi design (buttons 18 square,
// 21 apart, the first 3 + 21 in from the right; the caption 9 in from the left,
// 12 short of the buttons) and ScaleToDpi's rounding (halves away from zero).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/skForms/skFormsLayout.h"

namespace fw::skforms {
namespace {

// Every character 7 pixels wide.
int Measure(std::u16string_view s) { return 7 * static_cast<int>(s.size()); }

struct Case {
  const char* what;
  TitleInput in;
  bool icon;
  std::array<bool, kSlotCount> visible;  // close, max, min
  // expected
  int topHeight;
  std::vector<int> lefts;  // of the visible slots, close first
  int slotTop;
  int buttonTop;
  Rect captionRect;
  std::u16string caption;
  int gripDotsLeft;
};

TEST(SkFormsLayout, LaysOutTheTitleFromTheFrameSizeStyleAndDpi) {
  const std::u16string longCaption = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ";  // 182 pixels
  const Case kCases[] = {
      {"96 dpi, style 0, three buttons",
       {320, 200, 96, 0, true, 30, 16, 2, u"Fuelwise"}, false, {true, true, true},
       30,
       {296, 275, 254},   // 320 - 24, - 21, - 21
       8, 6,              // (30 - 18) / 2 = 6, the slots 2 lower
       {9, 4, 242, 30},   // 254 - 12
       u"Fuelwise",       // 56 of 233 pixels
       143},              // (320 - 34) / 2
      {"96 dpi, grip band and icon, the minimise button hidden",
       {200, 150, 96, 1, true, 31, 16, 1, longCaption}, true, {true, true, false},
       41,                // 31 + the band's 10
       {176, 155},
       16, 14,            // (41 - 18) / 2 + 3 = 14.5, halves to even
       {31, 11, 149, 44}, // 9 + 16 + 6; 155 - 12 + 6; 41 + 3
       u"ABCDEFGHIJKLM...",  // 118 pixels: 13 letters and the dots (112)
       83},               // (200 - 34) / 2
      {"144 dpi, the close button hidden",
       {480, 300, 144, 0, false, 45, 24, 2, u"Fuelwise"}, false, {false, true, true},
       45,
       {443, 411},        // 480 - 5 - 32, - 32 more (3 -> 4.5 -> 5, 21 -> 31.5 -> 32)
       12, 9,             // no close button: 18 -> 27 high; (45 - 27) / 2; 2 -> 3
       {14, 6, 393, 45},  // 9 -> 13.5 -> 14, 4 -> 6, 411 - 18
       u"Fuelwise",
       214},              // (480 - 51) / 2 = 214.5, halves to even
      {"no buttons, no caption",
       {100, 80, 96, 2, true, 30, 16, 0, u""}, false, {false, false, false},
       30,
       {},
       0, 6,
       {9, 4, 88, 30},    // the caption runs to the width: 100 - 12
       u"",
       33},               // (100 - 34) / 2
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    FrameLayout layout;
    for (int i = 0; i < kSlotCount; ++i) layout.slots[static_cast<size_t>(i)].visible = c.visible[static_cast<size_t>(i)];
    LayOutBackground(layout, c.in, c.icon);
    LayOutTitle(layout, c.in, Measure);
    EXPECT_EQ(layout.topHeight, c.topHeight);
    std::vector<int> lefts;
    for (const ButtonSlot& s : layout.slots) {
      if (!s.visible) continue;
      lefts.push_back(s.left);
      EXPECT_EQ(s.top, c.slotTop);
    }
    EXPECT_EQ(lefts, c.lefts);
    EXPECT_EQ(layout.buttonTop, c.buttonTop);
    EXPECT_EQ(layout.captionRect, c.captionRect);
    EXPECT_EQ(layout.caption, c.caption);
    EXPECT_EQ(layout.gripDotsLeft, c.gripDotsLeft);
    EXPECT_EQ(layout.gripDotsTop, 2);  // (7 - 2) / 2 = 2.5, halves to even
  }
}

TEST(SkFormsLayout, TheBackgroundCoversTheWidthOnlyUnderAnIcon) {
  struct Row {
    TitleInput in;
    bool icon;
    int paintedWidth;
    Rect iconRect;
  } const kRows[] = {
      // style 0: (30 - 16) / 2 + 2 = 9
      {{320, 200, 96, 0, true, 30, 16, 0, u""}, true, 319, {6, 9, 22, 25}},
      // style 1, top 41: (41 - 16 - 8) / 2 + 10 = 18.5, halves to even
      {{200, 150, 96, 1, true, 31, 16, 0, u""}, true, 199, {6, 18, 22, 34}},
      // 144 dpi: 6 -> 9; (45 - 24) / 2 + 3 = 13.5, halves to even
      {{480, 300, 144, 0, true, 45, 24, 0, u""}, true, 479, {9, 14, 33, 38}},
      {{320, 200, 96, 0, true, 30, 16, 0, u""}, false, 0, {}},
  };
  for (const Row& r : kRows) {
    FrameLayout layout;
    LayOutBackground(layout, r.in, r.icon);
    EXPECT_EQ(layout.paintedWidth, r.paintedWidth) << r.in.width << " at " << r.in.dpi;
    EXPECT_EQ(layout.icon, r.iconRect) << r.in.width << " at " << r.in.dpi;
  }
}

TEST(SkFormsLayout, ButtonsLeftIsTheLeftmostVisibleButtonOrTheWidth) {
  FrameLayout layout;
  LayOutTitle(layout, TitleInput{320, 200, 96, 0, true, 30, 16, 2, u""}, Measure);
  EXPECT_EQ(ButtonsLeft(layout, 2), 254);
  layout.slots[kSlotMin].visible = false;
  EXPECT_EQ(ButtonsLeft(layout, 2), 320);  // the leftmost one named is hidden
}

}  // namespace
}  // namespace fw::skforms
