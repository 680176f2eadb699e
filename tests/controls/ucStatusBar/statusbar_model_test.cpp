// The status bar's portable rules: errors and their sources, the panel index
// rules, themes, colour arithmetic, background rows, panel layout and the hit
// test. Expected values are worked out by hand from the bar's rules (the
// working is in the comments), not from the code.

#include "controls/ucStatusBar/StatusBarModel.h"

#include <array>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "host/Failure.h"

namespace fw::statusbar {
namespace {

std::string Narrow(std::u16string_view s) { return std::string(s.begin(), s.end()); }

StatusPanel& AddPlain(PanelList& list, std::u16string text, int32_t align, int32_t width) {
  return list.Add(std::move(text), align, false, false, nullptr, 0, false, Colour(0), Colour(0),
                  nullptr, u"", width);
}

// -- Errors

TEST(StatusBarErrors, EachOperationRenamesTheSourceAndKeepsNumberAndDescription) {
  std::vector<std::u16string> traced;
  const FailureTrace previous =
      SetFailureTrace([&](std::u16string_view line) { traced.emplace_back(line); });
  try {
    Trap(u"AddPanel", [] { Trap(u"Refresh", [] { throw SubscriptOutOfRange(); }); });
    FAIL() << "no error";
  } catch (const StatusBarError& e) {
    EXPECT_EQ(e.Number(), 9);
    EXPECT_EQ(Narrow(e.Description()), "Subscript out of range");
    EXPECT_EQ(Narrow(e.Source()), "ucStatusBar.AddPanel");
  }
  try {
    Trap(u"PanelText", []() -> int { throw std::bad_alloc(); });
    FAIL() << "no error";
  } catch (const StatusBarError& e) {
    EXPECT_EQ(e.Number(), 7);
    EXPECT_EQ(Narrow(e.Source()), "ucStatusBar.PanelText");
  }
  SetFailureTrace(previous);
  // Each operation the error passes through traces it, the innermost first.
  EXPECT_EQ(traced, (std::vector<std::u16string>{
                        u"Fuelwise: ucStatusBar.Refresh: Subscript out of range",
                        u"Fuelwise: ucStatusBar.AddPanel: Subscript out of range",
                        u"Fuelwise: ucStatusBar.PanelText: std::bad_alloc"}));
}

// -- Panels

TEST(StatusBarPanels, IndexRulesClampReadsAndWrites) {
  PanelList list;
  EXPECT_EQ(list.ForWrite(1), nullptr);  // no panels: a write does nothing
  try {
    (void)list.ForRead(1);
    FAIL() << "read without panels";
  } catch (const StatusBarError& e) {
    EXPECT_EQ(e.Number(), 9);
  }
  AddPlain(list, u"one", 0, 10);
  AddPlain(list, u"two", 0, 10);
  EXPECT_EQ(Narrow(list.ForRead(0).text), "one");
  EXPECT_EQ(Narrow(list.ForRead(-7).text), "one");
  EXPECT_EQ(Narrow(list.ForRead(99).text), "two");
  list.ForWrite(99)->text = u"changed";
  EXPECT_EQ(Narrow(list.Records()[1].text), "changed");
}

TEST(StatusBarPanels, AddingBeyondTheLargestCountIsAnOverflow) {
  PanelList list;
  list.SetCount(std::numeric_limits<int32_t>::max());
  try {
    AddPlain(list, u"x", 0, 10);
    FAIL() << "no error";
  } catch (const StatusBarError& e) {
    EXPECT_EQ(e.Number(), 6);
  }
  EXPECT_EQ(list.Count(), std::numeric_limits<int32_t>::max());
  EXPECT_TRUE(list.Records().empty());
}

// -- Themes

TEST(StatusBarThemes, IsWinXPOnlyForFiveOneBuild2600OnNt) {
  struct Case {
    std::optional<OsVersion> v;
    bool want;
  } cases[] = {{OsVersion{5, 1, 2600, 2}, true},  {OsVersion{5, 1, 2599, 2}, false},
               {OsVersion{5, 1, 2600, 1}, false}, {OsVersion{6, 1, 7601, 2}, false},
               {std::nullopt, false}};
  for (const Case& c : cases) EXPECT_EQ(IsWinXP(c.v), c.want);
}

TEST(StatusBarThemes, ThemeInfoFromTheColourBuffer) {
  std::u16string blue(255, u'\0');
  blue.replace(0, 11, u"NormalColor");
  std::u16string blank(255, u'\0');
  blank.replace(0, 3, u"   ");
  EXPECT_EQ(Narrow(ThemeInfo(false, blue)), "None");
  EXPECT_EQ(Narrow(ThemeInfo(true, std::nullopt)), "UxTheme_Error");
  EXPECT_EQ(Narrow(ThemeInfo(true, blue)), "NormalColor");
  EXPECT_EQ(Narrow(ThemeInfo(true, blank)), "None");
  EXPECT_EQ(Narrow(ThemeInfo(true, std::u16string(255, u'\0'))), "None");
  // Everything up to the last zero stays, without its zeros.
  EXPECT_EQ(Narrow(ThemeInfo(true, std::u16string(u"Home\0Stead\0x", 12))), "HomeStead");
}

TEST(StatusBarThemes, ResolutionTable) {
  struct Case {
    int32_t theme;
    const char16_t* info;  // what the desktop answers for Theme 0
    int32_t grip;
    int32_t effective;
    int32_t gripAfter;
  } cases[] = {
      {0, u"None", 1, 1, 2},          // not 5.1: classic, lined grip
      {0, u"UxTheme_Error", 0, 1, 0}, // no grip stays none
      {0, u"NormalColor", 2, 2, 1},
      {0, u"HomeStead", 1, 3, 1},
      {0, u"Metallic", 2, 4, 1},
      {0, u"Royale", 2, 2, 1},
      {1, u"Metallic", 1, 1, 2},
      {2, u"None", 2, 2, 1},
      {3, u"None", 1, 3, 1},
      {4, u"None", 0, 4, 0},
      {7, u"None", 2, 2, 1},
      {-1, u"None", 5, 2, 1},
  };
  for (const Case& c : cases) {
    int asked = 0;
    const ResolvedTheme r = ResolveTheme(c.theme, c.grip, [&] {
      ++asked;
      return std::u16string(c.info);
    });
    EXPECT_EQ(r.effective, c.effective) << "Theme " << c.theme << " " << Narrow(c.info);
    EXPECT_EQ(r.gripShape, c.gripAfter) << "Theme " << c.theme << " " << Narrow(c.info);
    EXPECT_EQ(asked, c.theme == 0 ? 1 : 0);
  }
}

// -- Colours

TEST(StatusBarColours, ShiftAndBlend) {
  // Red 64, green 128, blue 255 by -64: blue 255 - 85.
  EXPECT_EQ(ShiftColor(0xFF8040, -64), 0xAA4000u);
  // Upwards every channel is capped at 255; blue 200 + 200 * 100 / 192 = 304.
  EXPECT_EQ(ShiftColor(0xC8C8C8, 100), 0xFFFFFFu);
  // Downwards at 0: blue 10 + 10 * -50 / 192 = 8 (truncated).
  EXPECT_EQ(ShiftColor(0x0A1E28, -50), 0x080000u);
  EXPECT_EQ(BlendColor(0xFFFFFF, 0x000000, 128), 0x808080u);
  EXPECT_EQ(BlendColor(0x123456, 0xABCDEF, 0), 0xABCDEFu);
  EXPECT_EQ(BlendColor(0x123456, 0xABCDEF, 255), 0x123456u);
  // (127 * 1 + 128 * 0) / 255 = 0.498 -> 0; (127 * 3) / 255 = 1.494 -> 1.
  EXPECT_EQ(BlendColor(0x000000, 0x000301, 128), 0x000100u);
  EXPECT_THROW(BlendColor(0, 0, 256), StatusBarError);
  EXPECT_THROW(BlendColor(0, 0, -1), StatusBarError);
}

// The colour each row of a 24-row bar ends with (later lines over earlier ones).
std::vector<uint32_t> FinalRows(int32_t effective, int32_t back) {
  std::vector<uint32_t> rows(25, 0xDEADu);
  for (const Row& r : GradientRows(effective, back, 24)) {
    if (r.y >= 0 && r.y < 25) rows[static_cast<size_t>(r.y)] = r.colour;
  }
  return rows;
}

TEST(StatusBarColours, GradientRowsGrowLighter) {
  // base of (64, 128, 255) = (63, 127, 254). Row 10, weight 20:
  // (235*63 + 20*255)/255 = 78.06, (235*127 + 5100)/255 = 137.04,
  // (235*254 + 5100)/255 = 254.08. Row 12, weight 24: 81.07, 139.05, 254.09.
  const std::vector<uint32_t> rows = FinalRows(2, 0xFF8040);
  EXPECT_EQ(rows[10], 0xFE894Eu);
  EXPECT_EQ(rows[12], 0xFE8B51u);
  // Accent of blue: base -64 = (0, 63, 254 - 84 = 170) with 0xB99D7F (127, 157,
  // 185): (127*127)/255 = 63.25, (127*157 + 128*63)/255 = 109.8,
  // (127*185 + 128*170)/255 = 177.47.
  EXPECT_EQ(rows[1], BlendColor(static_cast<int32_t>(ShiftColor(0xFE7F3F, -64)), 0xB99D7F, 128));
  EXPECT_EQ(rows[1], 0xB16E3Fu);
  EXPECT_TRUE(GradientRows(1, 0xFFFFFF, 24).empty());
}

// -- Layout

std::vector<PanelInput> Fixed(std::initializer_list<int32_t> widths, bool icons,
                              std::initializer_list<int32_t> aligns = {}) {
  std::vector<PanelInput> out;
  auto a = aligns.begin();
  for (int32_t w : widths) {
    PanelInput in;
    in.width = w;
    in.hasIcon = icons;
    in.textEmpty = false;
    in.alignment = a != aligns.end() ? *a++ : 0;
    out.push_back(in);
  }
  return out;
}

TEST(StatusBarLayout, TwoFixedPanelsThemed) {
  const auto p = LayoutPanels(Fixed({220, 140}, false), 500, 24, 2);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[0].textRect, (PanelRect{4, 5, 216, 19}));
  EXPECT_EQ(p[1].textRect, (PanelRect{224, 5, 356, 19}));
  EXPECT_EQ(p[0].x, 220);
  EXPECT_EQ(p[1].x, 360);
  EXPECT_TRUE(p[0].textDrawn && p[1].textDrawn);
}

TEST(StatusBarLayout, ClassicEdgesAndCutAtTheGrip) {
  // Reserve 16 on 300: the second panel (200 + 200) is cut at 284; the third
  // starts there with no room for its text.
  const auto p = LayoutPanels(Fixed({200, 200, 50}, false), 300, 24, 1);
  EXPECT_EQ(p[0].edge, (PanelRect{0, 2, 200, 22}));
  EXPECT_EQ(p[0].textRect, (PanelRect{5, 5, 195, 19}));
  EXPECT_EQ(p[1].edge, (PanelRect{200, 2, 284, 22}));
  EXPECT_EQ(p[1].x, 284);
  EXPECT_EQ(p[2].edge, (PanelRect{284, 2, 284, 22}));
  EXPECT_FALSE(p[2].textDrawn);  // 284 < 289 + 2
}

TEST(StatusBarLayout, AutoSizedPanels) {
  std::vector<PanelInput> in(2);
  in[0].autoSize = true;  // empty text, no icon: 8 wide, advances 20
  in[1].autoSize = true;
  in[1].textEmpty = false;
  in[1].textWidth = 50;
  in[1].hasIcon = true;
  const auto p = LayoutPanels(in, 500, 24, 2);
  EXPECT_EQ(p[0].textRect, (PanelRect{4, 5, 4, 19}));
  EXPECT_EQ(p[0].x, 20);
  // 20 + 50 + 8 + 20 = 98; icon at 24, text from 44.
  EXPECT_EQ(p[1].x, 98);
  EXPECT_EQ(p[1].iconX, 24);
  EXPECT_EQ(p[1].textRect, (PanelRect{44, 5, 94, 19}));
}

TEST(StatusBarLayout, ArithmeticBeyond32BitsIsAnOverflowAtThePanelItHappensIn) {
  constexpr int32_t kMax = 2147483647;
  constexpr int32_t kMin = -2147483647 - 1;
  auto panel = [](int32_t width, bool icon) {
    PanelInput in;
    in.width = width;
    in.hasIcon = icon;
    in.textEmpty = false;
    return in;
  };
  PanelInput wideText = panel(0, false);
  wideText.autoSize = true;
  wideText.textWidth = kMax;
  struct Case {
    std::vector<PanelInput> panels;
    int32_t effective;
    size_t failing;  // the panel whose arithmetic leaves 32 bits
  };
  const Case cases[] = {
      {{panel(kMax, true)}, 2, 0},                    // 0 + kMax + 20
      {{panel(220, true), panel(kMax, true)}, 2, 1},  // 240 + kMax
      {{wideText}, 2, 0},                             // kMax + 0 + 8
      {{panel(kMin, false)}, 2, 0},                   // right kMin, then - 4 inside the border
      {{panel(kMin + 3, false)}, 1, 0},               // kMin + 3 - 5
      {{panel(kMin + 10, false), panel(-100, false)}, 2, 1},  // kMin + 10 - 100
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    PanelLayout layout(500, 24, c.effective);
    size_t reached = 0;
    try {
      for (; reached < c.panels.size(); ++reached) {
        PanelPaint p = layout.Begin(c.panels[reached]);
        layout.Finish(c.panels[reached], p);
      }
      ADD_FAILURE() << "case " << i << ": no error";
    } catch (const StatusBarError& e) {
      EXPECT_EQ(e.Number(), 6) << "case " << i;
      EXPECT_EQ(Narrow(e.Description()), "Overflow") << "case " << i;
      EXPECT_EQ(reached, c.failing) << "case " << i;
    }
  }
  // The largest width itself fits: the panel is cut at the grip (500 - 18).
  EXPECT_EQ(LayoutPanels({panel(kMax, false)}, 500, 24, 2)[0].textRect, (PanelRect{4, 5, 478, 19}));
}

// The overflow rule at every dpi: a width whose scaled value leaves 32 bits
// is error 6 even though the width itself fits (worked by hand: width * dpi / 96).
TEST(StatusBarLayout, AScaledWidthBeyond32BitsIsAnOverflowAtEveryDpi) {
  auto panel = [](int32_t width) {
    PanelInput in;
    in.width = width;
    in.textEmpty = false;
    return in;
  };
  struct Case {
    int32_t width, dpi;
    bool overflow;
  };
  const Case cases[] = {
      {1500000000, 96, false},    // cut at the grip
      {1500000000, 120, false},   // 1,875,000,000
      {1500000000, 144, true},    // 2,250,000,000
      {1500000000, 192, true},    // 3,000,000,000
      {1073741823, 192, false},   // 2,147,483,646
      {1073741824, 192, true},    // 2,147,483,648
      {-1500000000, 144, true},   // -2,250,000,000
      {-1073741824, 192, true},   // -2,147,483,648, then the border's inset
      {2147483647, 240, true},
  };
  for (const Case& c : cases) {
    bool overflow = false;
    try {
      LayoutPanels({panel(c.width)}, 500, 24, 2, c.dpi);
    } catch (const StatusBarError& e) {
      overflow = e.Number() == 6;
    }
    EXPECT_EQ(overflow, c.overflow) << c.width << " at " << c.dpi;
  }
  // Fitting, the panel is cut at the grip as at 96 dpi: 500 - 36 at 192.
  EXPECT_EQ(LayoutPanels({panel(1073741823)}, 500, 48, 2, 192)[0].textRect, (PanelRect{8, 10, 456, 38}));
}

TEST(StatusBarHits, AdjustmentsBeyond32BitsAreAnOverflow) {
  constexpr int32_t kMax = 2147483647;
  constexpr int32_t kMin = -2147483647 - 1;
  const PanelRect wide{kMin, 5, kMax, 19};
  auto overflow = [](auto call) {
    try {
      call();
    } catch (const StatusBarError& e) {
      return e.Number() == 6;
    }
    return false;
  };
  EXPECT_TRUE(overflow([&] { PanelAt({{PanelRect{kMin + 10, 5, 0, 19}, true, 0}}, 0, 10); }));  // left - 16
  EXPECT_TRUE(overflow([&] { PanelAt({{PanelRect{0, 5, kMax - 1, 19}, true, 2}}, 0, 10); }));   // right + 2
  EXPECT_TRUE(overflow([&] { EditBoxPlacement(2, wide, false); }));
  EXPECT_TRUE(overflow([&] { EditBoxPlacement(1, PanelRect{0, 5, kMax - 7, 19}, false); }));  // width + 8
  EXPECT_TRUE(overflow([&] { StretchedBound(1, PanelRect{kMin + 3, 5, 0, 19}); }));           // left - 4
  EXPECT_FALSE(overflow([&] { StretchedBound(2, PanelRect{0, 5, kMax, 19}); }));
}

// -- Interaction

TEST(StatusBarHits, MainWindowHitAreas) {
  const auto layout = LayoutPanels(Fixed({220, 140}, true, {0, 1}), 420, 24, 4);
  std::vector<HitPanel> hits;
  for (size_t i = 0; i < layout.size(); ++i) {
    hits.push_back({layout[i].textRect, true, i == 0 ? 0 : 1});
  }
  struct Case {
    int32_t x, y, want;
  } cases[] = {{6, 5, 1},    {218, 19, 1}, {5, 10, 0},   {219, 10, 0}, {241, 10, 0},
               {242, 10, 2}, {386, 5, 2},  {386, 19, 2}, {387, 10, 0}, {100, 4, 0},
               {100, 20, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(PanelAt(hits, c.x, c.y), c.want) << c.x << ", " << c.y;
  }
  EXPECT_TRUE(PtInRect({10, 5, 20, 15}, 20, 15));
  EXPECT_FALSE(PtInRect({10, 5, 20, 15}, 21, 15));
  EXPECT_EQ(PanelAt({}, 10, 10), 0);
}

// The main window's two panels (220 and 140 wide, icons, left and centred) on
// bars 1.5 and 2 times the 96-dpi one (420 x 24): the hit areas above, 6 .. 218
// and 242 .. 386 by 5 .. 19, scaled: 9 .. 327 and 363 .. 579 by 8 .. 29 at 144
// dpi, 12 .. 436 and 484 .. 772 by 10 .. 38 at 192 (each gap and the panel
// widths scaled, worked out step by step as in the 96-dpi comments). At 144
// the 5-row margins are 7.5: 8 above, 7 below, so that the 14 text rows are
// 21 (36 - 8 - 7), as tall as the font has grown.
TEST(StatusBarHits, HitAreasAtHigherDpi) {
  struct Case {
    int32_t dpi, sw, sh;
    std::vector<std::array<int32_t, 3>> points;  // x, y, panel
  } const cases[] = {
      {144, 630, 36, {{9, 8, 1}, {327, 29, 1}, {8, 20, 0}, {328, 20, 0}, {362, 20, 0}, {363, 20, 2},
                      {579, 20, 2}, {580, 20, 0}, {100, 7, 0}, {100, 30, 0}}},
      {192, 840, 48, {{12, 10, 1}, {436, 38, 1}, {11, 20, 0}, {437, 20, 0}, {483, 20, 0}, {484, 20, 2},
                      {772, 10, 2}, {773, 20, 0}, {100, 9, 0}, {100, 39, 0}}},
  };
  for (const Case& c : cases) {
    const auto layout = LayoutPanels(Fixed({220, 140}, true, {0, 1}), c.sw, c.sh, 4, c.dpi);
    std::vector<HitPanel> hits;
    for (size_t i = 0; i < layout.size(); ++i) hits.push_back({layout[i].textRect, true, i == 0 ? 0 : 1});
    EXPECT_EQ(layout[0].iconY, c.sh / 2 - c.dpi / 12) << c.dpi;  // 8 pixels at 96 dpi above the middle
    for (const auto& [x, y, want] : c.points) {
      EXPECT_EQ(PanelAt(hits, x, y, c.dpi), want) << c.dpi << " dpi: " << x << ", " << y;
    }
  }
  // The edit box: 1 and 8 pixels round a classic panel, 16 high on a themed one.
  EXPECT_EQ(EditBoxPlacement(1, PanelRect{40, 10, 100, 38}, true, 192).left, 38);
  EXPECT_EQ(EditBoxPlacement(1, PanelRect{40, 10, 100, 38}, false, 144).width, 72);
  EXPECT_EQ(EditBoxPlacement(2, PanelRect{40, 10, 100, 38}, false, 192).height, 32);
  EXPECT_EQ(EditTop(1, 48, 30, 192), 7);
}

// The grip and the edge rows at 192 dpi on an 836 x 48 bar (418 x 24 at 96):
// the grip's square 13 x 15 from the corner is 26 x 30; the dot at (12, 4) of
// the grip (3 and 12 pixels from the right and bottom) is a 4 x 4 square at
// (830, 24); the lined grip has its 74 line pixels as 2 x 2 squares; each of
// the six bottom rows is two rows, from 38 down to 49, i x 8 darker (i x 24 / 3).
TEST(StatusBarLayout, GripAndRowsAtHigherDpi) {
  EXPECT_EQ(GripRect(836, 48, 192), (PanelRect{810, 18, 836, 48}));
  EXPECT_EQ(GripRect(627, 36, 144), (PanelRect{607, 13, 627, 36}));
  const auto dots = GripMarks(kGripDots, kThemeBlue, 836, 48, 192);
  ASSERT_EQ(dots.size(), 12u);
  EXPECT_EQ(std::vector<int32_t>({dots[0].x1, dots[0].y1, dots[0].side}), std::vector<int32_t>({830, 24, 4}));
  EXPECT_TRUE(dots[0].white);
  const auto lines = GripMarks(kGripLines, kThemeClassic, 836, 48, 192);
  ASSERT_EQ(lines.size(), 74u);
  // The first white line from (d + 12, f + 13) up to the right: 3 and 3 from the corner.
  EXPECT_EQ(std::vector<int32_t>({lines[0].x1, lines[0].y1, lines[0].side}), std::vector<int32_t>({830, 42, 2}));
  EXPECT_EQ(std::vector<int32_t>({lines[1].x1, lines[1].y1}), std::vector<int32_t>({832, 40}));

  const std::vector<Row> rows = GradientRows(kThemeBlue, 0xFF8040, 48, 192);
  ASSERT_EQ(rows.size(), 49u + 8u + 12u);
  const uint32_t base = ShiftColor(0xFF8040, -1);
  EXPECT_EQ(rows[49].y, 0);
  EXPECT_EQ(rows[50].y, 1);
  EXPECT_EQ(rows[50].colour, 0xFFFFFFu);
  EXPECT_EQ(rows[51].y, 2);
  for (int32_t i = 0; i < 12; ++i) {
    const Row& r = rows[57 + static_cast<size_t>(i)];
    EXPECT_EQ(r.y, 38 + i);
    EXPECT_EQ(r.colour, ShiftColor(static_cast<int32_t>(base), -8 * (i / 2))) << i;
  }
}

}  // namespace
}  // namespace fw::statusbar
