// Colour values and the translation step, against a fake system-colour table.
#include <gtest/gtest.h>

#include <map>

#include "host/Colour.h"

namespace fw {
namespace {

// Two entries with values chosen to differ from every real table, and a bound
// like the platform's (indexes 0 .. 30).
std::optional<uint32_t> FakeTable(uint32_t index) {
  static const std::map<uint32_t, uint32_t> kKnown = {{15, 0x00ABCDEF}, {18, 0x00123456}};
  if (index > 30) return std::nullopt;
  const auto it = kKnown.find(index);
  return it == kKnown.end() ? 0x00000000u : it->second;
}

TEST(ColourTest, ChannelsFollowTheBgrLayout) {
  const Colour c = Rgb(0x12, 0x34, 0x56);
  EXPECT_EQ(c.value, 0x00563412u);  // red in the low byte
  EXPECT_EQ(Red(c), 0x12);
  EXPECT_EQ(Green(c), 0x34);
  EXPECT_EQ(Blue(c), 0x56);
  // The frame's default ColorTo 0xC0E0FF is RGB(255, 224, 192).
  EXPECT_EQ(Rgb(255, 224, 192), Colour(0xC0E0FF));
  // The top byte is not a channel.
  EXPECT_EQ(Blue(0xFF000000u), 0);
}

TEST(ColourTest, SystemColoursAreTheTopBitAndAnIndex) {
  EXPECT_TRUE(IsSystemColour(Colour(0x8000000F)));
  EXPECT_EQ(SystemColourIndex(Colour(0x8000000F)), 15u);
  EXPECT_EQ(SystemColourIndex(SystemColour(18)), 18u);
  static_assert(SystemColour(15) == Colour(0x8000000Fu), "button face, COLOR_BTNFACE");
  EXPECT_FALSE(IsSystemColour(Colour(0x00FFFFFF)));
  EXPECT_FALSE(IsSystemColour(Colour(0x7FFFFFFF)));
}

TEST(ColourTest, TranslateTurnsSystemColoursIntoTheirCurrentValue) {
  EXPECT_EQ(TranslateColor(Colour(0x8000000F), FakeTable), 0x00ABCDEF);
  EXPECT_EQ(TranslateColor(Colour(0x80000012), FakeTable), 0x00123456);
  EXPECT_EQ(TranslateColor(Colour(0x80000000), FakeTable), 0);
}

TEST(ColourTest, TranslateLeavesPlainColoursAlone) {
  for (uint32_t v : {0x0u, 0x00404080u, 0x00C0E0FFu, 0x00FFFFFFu})
    EXPECT_EQ(TranslateColor(Colour(v), FakeTable), static_cast<int32_t>(v)) << std::hex << v;
}

TEST(ColourTest, TranslateRefusesWhatCannotBeTranslated) {
  EXPECT_EQ(TranslateColor(Colour(0x8000001F), FakeTable), -1);  // index 31: beyond the table
  EXPECT_EQ(TranslateColor(Colour(0x80FF000F), FakeTable), -1);  // stray bits make a huge index
  EXPECT_EQ(TranslateColor(Colour(0xFFFFFFFF), FakeTable), -1);
  EXPECT_EQ(TranslateColor(Colour(0x01000005), FakeTable), -1);  // palette index form
  EXPECT_EQ(TranslateColor(Colour(0x02FFFFFF), FakeTable), -1);  // palette-relative form
  EXPECT_EQ(TranslateColor(Colour(0x7F000000), FakeTable), -1);
  EXPECT_EQ(TranslateColor(Colour(0x8000000F), SystemColourLookup{}), -1);  // no table at all
}

TEST(ColourTest, TranslateMasksATableAnswerToRgb) {
  auto noisy = [](uint32_t) -> std::optional<uint32_t> { return 0xFF102030u; };
  EXPECT_EQ(TranslateColor(Colour(0x80000001), noisy), 0x00102030);
}

}  // namespace
}  // namespace fw
