// The frame's portable rules. Expected colours are the theme tables' values
// written out as RGB triples, not the code's formulas.

#include <gtest/gtest.h>

#include <vector>

#include <string>

#include "controls/skForms/skFormsModel.h"

namespace fw::skforms {
namespace {

constexpr uint32_t RGB3(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

TEST(SkFormsThemes, EachThemeColorGivesItsPair) {
  const uint32_t from = RGB3(128, 64, 64);
  const uint32_t to = RGB3(255, 224, 192);
  const ThemePair previous{RGB3(1, 2, 3), RGB3(4, 5, 6)};
  const ThemePair system{RGB3(7, 8, 9), RGB3(10, 11, 12)};
  struct Row {
    int32_t value;
    ThemePair pair;
  };
  const Row rows[] = {
      {0, {RGB3(19, 97, 156), RGB3(221, 236, 254)}},
      {1, {RGB3(95, 95, 111), RGB3(244, 244, 251)}},
      {2, {RGB3(63, 93, 56), RGB3(247, 249, 225)}},
      {3, {RGB3(98, 107, 72), RGB3(248, 248, 242)}},
      {4, {RGB3(117, 91, 30), RGB3(255, 239, 165)}},
      {5, {from, to}},
      {6, system},
      {7, previous},
      {-1, previous},
  };
  for (const Row& r : rows) {
    int asked = 0;
    const ThemePair got = ThemePairFor(r.value, from, to, previous, [&] {
      ++asked;
      return system;
    });
    EXPECT_EQ(got, r.pair) << "ThemeColor " << r.value;
    EXPECT_EQ(asked, r.value == 6 ? 1 : 0) << "the platform is asked only for 6";
  }
}

TEST(SkFormsThemes, TheFadedBluePairAndHalfwayBlends) {
  const ThemePair faded = Faded(kThemePairs[kThemeBlue]);
  EXPECT_EQ(faded.dark, RGB3(79, 137, 181));
  EXPECT_EQ(faded.light, RGB3(230, 241, 254));
  // 128/255 * 255 + 127/255 * 0 = 128 exactly; 128/255 * 1 + 127/255 * 0 rounds to 1.
  EXPECT_EQ(Half(kWhite, kBlack), RGB3(128, 128, 128));
  EXPECT_EQ(BlendColors(RGB3(1, 0, 0), kBlack, 128), RGB3(1, 0, 0));
  // 255 * 127/255 = 127 from b only; alpha 0 is b, 255 is a.
  EXPECT_EQ(BlendColors(kBlack, kWhite, 128), RGB3(127, 127, 127));
  EXPECT_EQ(BlendColors(RGB3(10, 20, 30), RGB3(40, 50, 60), 0), RGB3(40, 50, 60));
  EXPECT_EQ(BlendColors(RGB3(10, 20, 30), RGB3(40, 50, 60), 255), RGB3(10, 20, 30));
  // 2 * 128/255 + 3 * 127/255 = 2.498 -> 2 (a true tie needs alpha 127.5; ties are
  // checked on the gradient lines below).
  EXPECT_EQ(BlendColors(RGB3(2, 0, 0), RGB3(3, 0, 0), 128), RGB3(2, 0, 0));
}

TEST(SkFormsThemes, GradientLinesStepInSinglePrecisionAndRoundHalvesToEven) {
  // 0 -> 5 over 2 lines: line 1 is 2.5, which rounds to 2; 0 -> 3 over 2: 1.5 -> 2.
  EXPECT_EQ(GradientLineColour(0, RGB3(5, 3, 7), 2, 1), RGB3(2, 2, 4));
  // Downwards: 200 -> 100 over 4: 175, 150, 125.
  EXPECT_EQ(GradientLineColour(RGB3(200, 0, 0), RGB3(100, 0, 0), 4, 3), RGB3(125, 0, 0));
}

TEST(SkFormsThemes, TheSystemThemeFollowsTheSchemeName) {
  const ThemePair previous{RGB3(1, 2, 3), RGB3(4, 5, 6)};
  struct Row {
    VisualStyle style;
    std::u16string scheme;
    ThemePair pair;
  };
  const Row rows[] = {
      {{true, u"NormalColor", true}, u"NormalColor", kThemePairs[kThemeBlue]},
      {{true, u"Metallic", true}, u"Metallic", kThemePairs[kThemeSilver]},
      {{true, u"HomeStead", true}, u"HomeStead", kThemePairs[kThemeOlive]},
      {{true, u"Blue", true}, u"Blue", previous},
      // The style data could not be opened (as under Wine): "Classic", unknown.
      {{false, u"", true}, u"Classic", previous},
      // Not themed: blue whatever the scheme.
      {{true, u"Metallic", false}, u"Metallic", kThemePairs[kThemeBlue]},
      {{false, u"", false}, u"Classic", kThemePairs[kThemeBlue]},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(SchemeName(r.style), r.scheme);
    EXPECT_EQ(SystemThemePair(r.style, previous), r.pair)
        << std::string(r.scheme.begin(), r.scheme.end());
  }
}

TEST(SkFormsSettings, ThemeColorZeroIsSavedAndAnAbsentOneReadsAsSix) {
  const Colour face(RGB3(240, 240, 240));
  PropertyStore saved;
  WriteSettings(saved, NewFrameSettings(face), face);
  // Only ThemeColor differs from its read default in a new frame.
  ASSERT_EQ(saved.Size(), 1u);
  EXPECT_EQ(saved.Entries()[0].name, u"ThemeColor");
  EXPECT_EQ(ReadSettings(saved, face).themeColor, 0);

  const Settings absent = ReadSettings(PropertyStore{}, face);
  EXPECT_EQ(absent.themeColor, 6);
  EXPECT_EQ(absent.customBackColor, face);
  EXPECT_EQ(absent.colorFrom, Colour(0x404080));
  EXPECT_EQ(absent.colorTo, Colour(0xC0E0FF));
  EXPECT_EQ(absent.iconSize, 16);
  EXPECT_EQ(absent.borderStyle, 1);
  EXPECT_TRUE(absent.maxButton && absent.minButton && absent.closeButton && absent.titleBarShadow);
}

TEST(SkFormsSettings, EverySettingIsWrittenInTheSavedOrderAndReadBack) {
  const Colour face(RGB3(240, 240, 240));
  Settings s;
  s.colorFrom = Colour(1);
  s.colorTo = Colour(2);
  s.themeColor = 3;
  s.backColorStyle = 2;
  s.borderStyle = 0;
  s.closeButton = false;
  s.maxButton = false;
  s.minButton = false;
  s.windowState = 2;
  s.customBackColor = Colour(3);
  s.style = 5;
  s.iconSize = 32;
  s.changeAllBackgrounds = true;
  s.titleBarShadow = false;
  PropertyStore p;
  WriteSettings(p, s, face);
  const char16_t* order[] = {u"ColorFrom",       u"ColorTo",     u"ThemeColor", u"BackColorStyle",
                             u"BorderStyle",     u"CloseButton", u"MaxButton",  u"MinButton",
                             u"WindowState",     u"CustomBackColor", u"Style",  u"IconSize",
                             u"ChangeAllBackgrounds", u"TitleBarShadow"};
  ASSERT_EQ(p.Size(), std::size(order));
  for (size_t i = 0; i < std::size(order); ++i) EXPECT_EQ(p.Entries()[i].name, order[i]) << i;
  // Read back and written again, nothing changes.
  PropertyStore again;
  WriteSettings(again, ReadSettings(p, face), face);
  EXPECT_EQ(again, p);
}

TEST(SkFormsCaptions, TheTooltipsAreCutFromTheLanguagesTable) {
  const CaptionTable& zh = CaptionsFor(u"Chinese (Simplified)");
  EXPECT_EQ(FirstChars(zh[3], 3), u"\u6700\u5C0F\u5316");  // 最小化
  EXPECT_EQ(FirstChars(zh[6], 2), u"\u5173\u95ED");        // 关闭
  EXPECT_EQ(FirstChars(zh[0], 2) + u" ", u"\u8FD8\u539F ");  // 还原
  EXPECT_EQ(&CaptionsFor(u"English"), &zh);
  EXPECT_EQ(&CaptionsFor(u"spanish"), &zh);
  const CaptionTable& es = CaptionsFor(u"Spanish");
  EXPECT_EQ(es[6], u"Cerrar");
  EXPECT_EQ(es[8], u"Siempre Visible");
  EXPECT_EQ(es[1], u"");
  EXPECT_EQ(FirstChars(es[4], 3), u"Max");
  EXPECT_EQ(FirstChars(u"ab", 3), u"ab");
}

// The names the caption buttons are read by: the menu's captions without the
// access key and the shortcut.
TEST(SkFormsCaptions, ACommandIsNamedByItsCaptionWithoutKeyOrShortcut) {
  const struct {
    std::u16string_view caption;
    std::u16string_view name;
  } kCases[] = {
      {u"\u5173\u95ED(&C)", u"\u5173\u95ED"},                            // 关闭(&C)
      {u"\u5173\u95ED(&C)        Alt+F4", u"\u5173\u95ED"},              // as created
      {u"\u5173\u95ED(&C)            Alt+F4", u"\u5173\u95ED"},          // as renamed
      {u"\u6700\u5927\u5316", u"\u6700\u5927\u5316"},                     // 最大化, no key
      {u"Cerrar", u"Cerrar"},
      {u"Siempre Visible", u"Siempre Visible"},                          // one blank stays
      {u"&Restore\tAlt+R", u"Restore"},
      {u"Save && E&xit", u"Save & Exit"},
      {u"Odd&", u"Odd"},
      {u"", u""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(CommandName(c.caption), c.name) << std::string(c.name.begin(), c.name.end());
  }
}

TEST(SkFormsGeometry, AHitIsStrictlyInsideAVisibleButton) {
  ButtonSlots slots;
  LayOutButtons(slots, 320);  // lefts 296, 275, 254
  for (auto& s : slots) s.top = 8;
  EXPECT_EQ(HitCaptionButton(slots, 297, 9), 0);
  EXPECT_EQ(HitCaptionButton(slots, 313, 25), 0);
  EXPECT_EQ(HitCaptionButton(slots, 296, 9), -1);  // on the left edge
  EXPECT_EQ(HitCaptionButton(slots, 314, 9), -1);  // on the right edge
  EXPECT_EQ(HitCaptionButton(slots, 297, 8), -1);
  EXPECT_EQ(HitCaptionButton(slots, 297, 26), -1);
  EXPECT_EQ(HitCaptionButton(slots, 260, 15), 2);
  EXPECT_EQ(HitCaptionButton(slots, 274.5, 15), -1);  // the gap between max and min
  slots[2].visible = false;
  EXPECT_EQ(HitCaptionButton(slots, 260, 15), -1);
  EXPECT_EQ(LeftmostButton(slots, 0), 1);
  for (auto& s : slots) s.visible = false;
  EXPECT_EQ(LeftmostButton(slots, 2), 2);
}

// At 192 dpi every 96-dpi pixel of the title is two: buttons 36 square, 42
// apart, the first 6 + 42 from the right; at 144 a pixel is 1.5, rounded half
// away from zero (3 -> 5, 21 -> 32, 18 -> 27).
TEST(SkFormsGeometry, AtTwiceTheDpiTheTitleIsTwiceTheSize) {
  ButtonSlots slots;
  LayOutButtons(slots, 640, 192);  // lefts 592, 550, 508
  for (auto& s : slots) s.top = 16;
  EXPECT_EQ((std::vector<int>{slots[0].left, slots[1].left, slots[2].left, slots[0].width, slots[0].height}),
            (std::vector<int>{592, 550, 508, 36, 36}));
  EXPECT_EQ(HitCaptionButton(slots, 593, 17), 0);
  EXPECT_EQ(HitCaptionButton(slots, 627, 51), 0);
  EXPECT_EQ(HitCaptionButton(slots, 628, 17), -1);  // on the right edge
  EXPECT_EQ(HitCaptionButton(slots, 588, 30), -1);  // the gap between close and max
  EXPECT_EQ(HitCaptionButton(slots, 520, 30), 2);
  LayOutButtons(slots, 480, 144);  // lefts 480 - 5 - 32 k
  EXPECT_EQ((std::vector<int>{slots[0].left, slots[1].left, slots[2].left, slots[0].width}),
            (std::vector<int>{443, 411, 379, 27}));
  // "H" 28 high at 192 dpi + 20; the icon 32 + 30; style 1's band 20 more.
  EXPECT_EQ(TitleHeightFor(28, 32, 192), 62);
  EXPECT_EQ(TopHeightFor(62, 1, 192), 82);
  // (82 - 36) / 2 + 6 = 29; (82 - 32 - 16) / 2 + 20 = 37.
  EXPECT_EQ(ButtonTopFor(82, 36, 1, 192), 29);
  EXPECT_EQ(IconTopFor(82, 32, 1, 192), 37);
  EXPECT_EQ(CaptionRectFor(1, 82, 508, true, 32, 192), (Rect{18 + 44, 22, 484 + 12, 88}));
}

TEST(SkFormsGeometry, TheTitleIsAtLeastTheIconAndStyleOneAddsTen) {
  EXPECT_EQ(TitleHeightFor(14, 16), 31);
  EXPECT_EQ(TitleHeightFor(24, 16), 34);
  EXPECT_EQ(TopHeightFor(31, 1), 41);
  // (41 - 18) / 2 + 3 = 14.5 -> 14; (41 - 16 - 8) / 2 + 10 = 18.5 -> 18.
  EXPECT_EQ(ButtonTopFor(41, 18, 1), 14);
  EXPECT_EQ(IconTopFor(41, 16, 1), 18);
  EXPECT_EQ(CaptionRectFor(1, 41, 254, false, 16), (Rect{9, 11, 242, 44}));
}

TEST(SkFormsText, TrimWordShortensToFitDownToNothing) {
  // Every character 7 pixels wide, as a fixed-pitch face would draw them.
  auto measure = [](std::u16string_view s) { return static_cast<int>(s.size()) * 7; };
  const std::u16string text = u"Fuelwise";  // 56 pixels
  struct Row {
    int width;
    std::u16string expected;
  };
  const Row rows[] = {
      {56, u"Fuelwise"},   // fits exactly
      {55, u"Fuel..."},    // "Fuelw..." would be 56
      {49, u"Fuel..."},
      {48, u"Fue..."},
      {28, u"F..."},
      {27, u""},           // not even one character and "..."
      {0, u""},
  };
  for (const Row& r : rows) EXPECT_EQ(TrimWord(text, r.width, measure), r.expected) << r.width;
  EXPECT_EQ(TrimWord(u"", 0, measure), u"");
}

}  // namespace
}  // namespace fw::skforms
