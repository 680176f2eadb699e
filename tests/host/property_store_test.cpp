// The property store: names without regard to case, typed reads with defaults,
// writes that leave defaults out, and the order a writer must keep.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/PropertyStore.h"

namespace fw {
namespace {

std::vector<std::u16string> Names(const PropertyStore& s) {
  std::vector<std::u16string> out;
  for (const auto& e : s.Entries()) out.push_back(e.name);
  return out;
}

TEST(PropertyNamesTest, AsciiCaseIsIgnoredEverythingElseIsExact) {
  EXPECT_TRUE(NamesEqual(u"PictureSize", u"pictureSize"));
  EXPECT_TRUE(NamesEqual(u"UseMaskCOlor", u"UseMaskColor"));
  EXPECT_FALSE(NamesEqual(u"Caption", u"Captio"));
  EXPECT_FALSE(NamesEqual(u"Ａbc", u"ａbc"));   // full-width A and a stay apart
  EXPECT_FALSE(NamesEqual(u"Écran", u"écran"));  // only ASCII letters fold
  EXPECT_FALSE(NamesEqual(u"a[", u"A{"));        // '[' and '{' are 0x20 apart, not letters
  EXPECT_TRUE(NamesEqual(u"城市", u"城市"));
}

TEST(PropertyStoreTest, ReadsFindNamesWrittenInAnotherCase) {
  // The button writes "pictureSize" and reads "PictureSize".
  PropertyStore s;
  s.Write(u"pictureSize", int32_t{3}, int32_t{0});
  EXPECT_EQ(s.ReadInt32(u"PictureSize", 0), 3);
  EXPECT_EQ(s.ReadInt32(u"PICTURESIZE", 0), 3);
  EXPECT_EQ(s.Entries().front().name, u"pictureSize");
}

TEST(PropertyStoreTest, MissingNamesGiveTheDefaultOfEveryKind) {
  const PropertyStore s;
  const FontValue font{u"Tahoma", 8.25, true, false, false, false, 0, 700};
  EXPECT_TRUE(s.ReadBool(u"x", true));
  EXPECT_EQ(s.ReadInt16(u"x", -7), -7);
  EXPECT_EQ(s.ReadInt32(u"x", 123456), 123456);
  EXPECT_EQ(s.ReadDouble(u"x", 10.5), 10.5);
  EXPECT_EQ(s.ReadText(u"x", u"skbutton"), u"skbutton");
  EXPECT_EQ(s.ReadColour(u"x", Colour(0x8000000F)), Colour(0x8000000F));
  EXPECT_EQ(s.ReadFont(u"x", font), font);
  EXPECT_EQ(s.ReadPicture(u"x", PictureRef{u"IDB_X"}), PictureRef{u"IDB_X"});
}

TEST(PropertyStoreTest, EveryKindReadsBackWhatWasWritten) {
  PropertyStore s;
  const FontValue font{u"宋体", 10.5, false, true, true, true, 134, 400};
  s.Write(u"B", true, false);
  s.Write(u"S", int16_t{-300}, int16_t{0});
  s.Write(u"L", int32_t{-70000}, int32_t{0});
  s.Write(u"D", 0.1, 0.0);
  s.Write(u"T", u"所在城市 \"q\"\r\n", u"");
  s.Write(u"C", Colour(0x00C8E5D8), Colour(0));
  s.Write(u"F", font, FontValue{});
  s.Write(u"P", PictureRef{u"IDI_FUELWISE"}, PictureRef{});
  EXPECT_EQ(s.ReadBool(u"b", false), true);
  EXPECT_EQ(s.ReadInt16(u"s", 0), -300);
  EXPECT_EQ(s.ReadInt32(u"l", 0), -70000);
  EXPECT_EQ(s.ReadDouble(u"d", 0), 0.1);
  EXPECT_EQ(s.ReadText(u"t", u""), u"所在城市 \"q\"\r\n");
  EXPECT_EQ(s.ReadColour(u"c", Colour(0)), Colour(0x00C8E5D8));
  EXPECT_EQ(s.ReadFont(u"f", FontValue{}), font);
  EXPECT_EQ(s.ReadPicture(u"p", PictureRef{}), PictureRef{u"IDI_FUELWISE"});
  // Each kind is kept as the kind it was written.
  EXPECT_TRUE(std::holds_alternative<int16_t>(*s.Find(u"S")));
  EXPECT_TRUE(std::holds_alternative<int32_t>(*s.Find(u"L")));
  EXPECT_TRUE(std::holds_alternative<Colour>(*s.Find(u"C")));
}

TEST(PropertyStoreTest, AStringLiteralIsStoredAsTextNotAsABoolean) {
  PropertyStore s;
  s.Write(u"Caption", u"OK", u"skbutton1");
  ASSERT_NE(s.Find(u"Caption"), nullptr);
  EXPECT_TRUE(std::holds_alternative<std::u16string>(*s.Find(u"Caption")));
}

TEST(PropertyStoreTest, AValueEqualToItsWriteDefaultIsLeftOut) {
  PropertyStore s;
  s.Write(u"ButtonStyle", int32_t{1}, int32_t{1});
  s.Write(u"Enabled", true, true);
  s.Write(u"MaskColor", Colour(0xE0E0E0), Colour(0xE0E0E0));
  s.Write(u"Picture", PictureRef{}, PictureRef{});
  s.Write(u"Font", FontValue{}, FontValue{});
  s.Write(u"Size", -0.0, 0.0);  // -0 equals 0 as a number
  EXPECT_TRUE(s.Empty());
  // A caption of exactly "skbutton1" is stored as absent and comes back as "skbutton".
  s.Write(u"Caption", u"skbutton1", u"skbutton1");
  EXPECT_EQ(s.ReadText(u"Caption", u"skbutton"), u"skbutton");
}

TEST(PropertyStoreTest, WritingTheDefaultRemovesAnEarlierValue) {
  PropertyStore s;
  s.Write(u"Theme", int32_t{3}, int32_t{0});
  s.Write(u"THEME", int32_t{0}, int32_t{0});
  EXPECT_FALSE(s.Contains(u"Theme"));
  EXPECT_EQ(s.ReadInt32(u"Theme", 9), 9);
}

TEST(PropertyStoreTest, DifferentReadAndWriteDefaultsKeepTheValue) {
  // The frame writes ThemeColor with default 6: a fresh frame's 0 is stored and
  // comes back as 0; a store without it reads 6.
  PropertyStore s;
  s.Write(u"ThemeColor", int32_t{0}, int32_t{6});
  EXPECT_EQ(s.ReadInt32(u"ThemeColor", 6), 0);
  EXPECT_EQ(PropertyStore{}.ReadInt32(u"ThemeColor", 6), 6);
}

TEST(PropertyStoreTest, EntriesKeepTheOrderOfWriting) {
  PropertyStore s;
  s.Write(u"HeaderLightColor", Colour(1), Colour(0));
  s.Write(u"Caption", u"x", u"XPContainer");
  s.Write(u"Style", int16_t{1}, int16_t{0});
  s.Write(u"Theme", int16_t{2}, int16_t{0});
  EXPECT_EQ(Names(s), (std::vector<std::u16string>{u"HeaderLightColor", u"Caption", u"Style", u"Theme"}));
}

TEST(PropertyStoreTest, RewritingMovesTheEntryToTheEndWithTheNewSpelling) {
  // A store loaded from a file, then saved again by a control in its table order.
  PropertyStore s;
  s.Set(u"PictureSize", int32_t{2});
  s.Set(u"ButtonStyle", int32_t{5});
  s.Set(u"Caption", std::u16string(u"Go"));
  s.Write(u"ButtonStyle", int32_t{5}, int32_t{1});
  s.Write(u"Caption", u"Go", u"skbutton1");
  s.Write(u"pictureSize", int32_t{2}, int32_t{0});
  EXPECT_EQ(Names(s), (std::vector<std::u16string>{u"ButtonStyle", u"Caption", u"pictureSize"}));
  // And every name is still found after the moves.
  EXPECT_EQ(s.ReadInt32(u"buttonstyle", 0), 5);
  EXPECT_EQ(s.ReadText(u"caption", u""), u"Go");
  EXPECT_EQ(s.ReadInt32(u"PictureSize", 0), 2);
}

TEST(PropertyStoreTest, RemovingAnEntryKeepsTheOthersFindable) {
  PropertyStore s;
  for (int i = 0; i < 6; ++i) s.Set(u"P" + std::u16string(1, char16_t(u'0' + i)), int32_t{i});
  EXPECT_TRUE(s.Remove(u"p2"));
  EXPECT_FALSE(s.Remove(u"P2"));
  for (int i = 0; i < 6; ++i) {
    const std::u16string name = u"P" + std::u16string(1, char16_t(u'0' + i));
    EXPECT_EQ(s.ReadInt32(name, -1), i == 2 ? -1 : i) << i;
  }
  EXPECT_TRUE(s.Remove(u"P5"));  // the last one
  EXPECT_EQ(s.ReadInt32(u"P4", -1), 4);
  EXPECT_EQ(s.Size(), 4u);
}

TEST(PropertyStoreConversionTest, SixteenBitReadsRefuseWhatDoesNotFit) {
  PropertyStore s;
  s.Set(u"a", int32_t{32767});
  s.Set(u"b", int32_t{-32768});
  s.Set(u"c", int32_t{32768});
  s.Set(u"d", int32_t{-32769});
  s.Set(u"e", int32_t{65536 + 5});  // would wrap to 5
  s.Set(u"f", Colour(0x0000FFFF));  // 65535: does not fit
  s.Set(u"g", 32767.49);  // a fraction
  s.Set(u"h", 32767.5);
  s.Set(u"i", 32767.0);   // a whole number written as a double
  EXPECT_EQ(s.ReadInt16(u"a", 1), 32767);
  EXPECT_EQ(s.ReadInt16(u"b", 1), -32768);
  EXPECT_EQ(s.ReadInt16(u"c", 1), 1);
  EXPECT_EQ(s.ReadInt16(u"d", 1), 1);
  EXPECT_EQ(s.ReadInt16(u"e", 1), 1);
  EXPECT_EQ(s.ReadInt16(u"f", 1), 1);
  EXPECT_EQ(s.ReadInt16(u"g", 1), 1);
  EXPECT_EQ(s.ReadInt16(u"h", 1), 1);
  EXPECT_EQ(s.ReadInt16(u"i", 1), 32767);
}

// A fraction where a whole number is read is refused, not rounded: the default
// is kept and the value noted (below); a double without a fraction is used.
TEST(PropertyStoreConversionTest, DoublesAreWholeNumbersOnlyWithoutAFraction) {
  struct Case {
    double stored;
    int32_t read;  // with the default 9
  };
  const Case cases[] = {
      {2.5, 9}, {3.5, 9}, {-2.5, 9}, {1.5, 9}, {2147483647.4, 9}, {2147483647.5, 9}, {-2147483648.5, 9},
      {1e10, 9}, {std::numeric_limits<double>::quiet_NaN(), 9}, {-std::numeric_limits<double>::infinity(), 9},
      {2.0, 2}, {-3.0, -3}, {1e3, 1000}, {-0.0, 0}, {2147483647.0, 2147483647}, {-2147483648.0, -2147483647 - 1},
  };
  for (const Case& c : cases) {
    PropertyStore s;
    s.Set(u"p", c.stored);
    EXPECT_EQ(s.ReadInt32(u"p", 9), c.read) << c.stored;
    EXPECT_EQ(s.Refusals().size(), c.read == 9 ? 1u : 0u) << c.stored;
  }
}

TEST(PropertyStoreConversionTest, ColoursAndIntegersShareTheir32Bits) {
  // Colours are saved as 32-bit values: one control may write a number and read a colour.
  PropertyStore s;
  s.Set(u"sys", Colour(0x8000000F));
  s.Set(u"neg", int32_t{-1});
  s.Set(u"neg16", int16_t{-1});
  s.Set(u"rgb", int32_t{0x00F7E0D3});
  EXPECT_EQ(s.ReadInt32(u"sys", 0), static_cast<int32_t>(0x8000000F));
  EXPECT_EQ(s.ReadColour(u"neg", Colour(0)), Colour(0xFFFFFFFF));
  EXPECT_EQ(s.ReadColour(u"neg16", Colour(0)), Colour(0xFFFFFFFF));
  EXPECT_EQ(s.ReadColour(u"rgb", Colour(0)), Colour(0x00F7E0D3));
  EXPECT_EQ(s.ReadDouble(u"rgb", 0), double{0x00F7E0D3});
}

TEST(PropertyStoreConversionTest, KindsThatDoNotConvertGiveTheDefault) {
  PropertyStore s;
  s.Set(u"text", std::u16string(u"12"));
  s.Set(u"flag", true);
  s.Set(u"font", FontValue{});
  s.Set(u"pic", PictureRef{u"X"});
  s.Set(u"num", int32_t{2});
  s.Set(u"colour", Colour(5));
  EXPECT_EQ(s.ReadInt32(u"text", 7), 7);
  EXPECT_EQ(s.ReadInt32(u"flag", 7), 7);
  EXPECT_EQ(s.ReadDouble(u"colour", 7), 7);
  EXPECT_EQ(s.ReadText(u"font", u"d"), u"d");
  EXPECT_EQ(s.ReadText(u"num", u"d"), u"d");
  EXPECT_EQ(s.ReadPicture(u"text", PictureRef{u"d"}), PictureRef{u"d"});
  EXPECT_EQ(s.ReadFont(u"pic", FontValue{u"d"}), FontValue{u"d"});
  EXPECT_EQ(s.ReadColour(u"text", Colour(7)), Colour(7));
  EXPECT_FALSE(s.ReadBool(u"colour", false));
  EXPECT_TRUE(s.ReadBool(u"num", false));
}

TEST(PropertyStoreRefusalTest, AValueAReadCannotUseIsNotedWithItsLine) {
  using Read = void (*)(const PropertyStore&);
  struct Case {
    PropertyValue stored;
    Read read;
    const char16_t* expected;  // nullptr: the read uses the value
  };
  const Case cases[] = {
      {std::u16string(u"Blue"), [](const PropertyStore& s) { s.ReadInt32(u"p", 0); }, u"a whole number"},
      {std::u16string(u"yes"), [](const PropertyStore& s) { s.ReadBool(u"p", false); }, u"True or False"},
      {std::u16string(u"white"), [](const PropertyStore& s) { s.ReadColour(u"p", Colour(0)); },
       u"a colour, &H and up to eight hex digits and &"},
      {int32_t{12}, [](const PropertyStore& s) { s.ReadText(u"p", u""); }, u"a text in double quotes"},
      {int32_t{-7}, [](const PropertyStore& s) { s.ReadInt32In(u"p", 0, 0, 2147483647); },
       u"a whole number 0 or above"},
      {int32_t{11}, [](const PropertyStore& s) { s.ReadInt32In(u"p", 0, 0, 10); },
       u"a whole number from 0 to 10"},
      {int32_t{40000}, [](const PropertyStore& s) { s.ReadInt16(u"p", 0); },
       u"a whole number from -32768 to 32767"},
      {1e10, [](const PropertyStore& s) { s.ReadInt32(u"p", 0); }, u"a whole number"},
      {true, [](const PropertyStore& s) { s.ReadFont(u"p", FontValue{}); },
       u"a font, BeginProperty ... EndProperty"},
      {std::u16string(u"x.bmp"), [](const PropertyStore& s) { s.ReadPicture(u"p", PictureRef{}); },
       u"a picture, res:NAME or data:\"...\""},
      {std::u16string(u"1.5"), [](const PropertyStore& s) { s.ReadDouble(u"p", 0); }, u"a number"},
      {2.5, [](const PropertyStore& s) { s.ReadInt32(u"p", 0); }, u"a whole number"},
      {1.5, [](const PropertyStore& s) { s.ReadInt32In(u"p", 0, 0, 3); }, u"a whole number"},
      // What converts is used.
      {int32_t{0}, [](const PropertyStore& s) { s.ReadBool(u"p", true); }, nullptr},
      {2.0, [](const PropertyStore& s) { s.ReadInt32(u"p", 0); }, nullptr},
      {int32_t{255}, [](const PropertyStore& s) { s.ReadColour(u"p", Colour(0)); }, nullptr},
      {int32_t{10}, [](const PropertyStore& s) { s.ReadInt32In(u"p", 0, 0, 10); }, nullptr},
      {int32_t{1}, [](const PropertyStore& s) { s.ReadText(u"missing", u""); }, nullptr},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    PropertyStore s;
    s.Set(u"P", cases[i].stored, 40);
    cases[i].read(s);
    cases[i].read(s);
    if (!cases[i].expected) {
      EXPECT_TRUE(s.Refusals().empty()) << "case " << i;
      continue;
    }
    ASSERT_EQ(s.Refusals().size(), 1u) << "case " << i << ": once per name";
    EXPECT_EQ(s.Refusals()[0].name, u"P") << "case " << i;
    EXPECT_EQ(s.Refusals()[0].line, 40) << "case " << i;
    EXPECT_EQ(s.Refusals()[0].expected, cases[i].expected) << "case " << i;
    s.ClearRefusals();
    EXPECT_TRUE(s.Refusals().empty());
  }
}

// The names a reader never asked for are the ones no control knows; the nearest
// asked name is offered for a slip (worked by hand: edits between the names).
TEST(PropertyStoreNamesTest, NamesNoReadAskedForAndTheNearestKnownName) {
  PropertyStore s;
  s.Set(u"Caption", std::u16string(u"x"), 3);
  s.Set(u"GripShap", int32_t{1}, 4);
  s.Set(u"captoin", std::u16string(u"y"), 5);
  s.Set(u"Colour", int32_t{2}, 6);
  s.ReadText(u"CAPTION", u"");
  s.ReadInt32(u"GripShape", 0);
  s.ReadColour(u"BackColor", Colour(0));
  s.ReadColour(u"ForeColor", Colour(0));
  EXPECT_TRUE(s.Contains(u"Caption"));
  std::vector<std::u16string> unasked;
  for (const PropertyStore::Entry* e : s.UnaskedEntries()) unasked.push_back(e->name);
  EXPECT_EQ(unasked, (std::vector<std::u16string>{u"GripShap", u"captoin", u"Colour"}));
  struct Case {
    std::u16string_view name, nearest;
  } const cases[] = {
      {u"GripShap", u"GripShape"},   // one letter left out
      {u"captoin", u"CAPTION"},      // two neighbours swapped, case ignored; spelt as asked
      {u"BakColor", u"BackColor"},
      {u"ForColour", u"ForeColor"},  // two edits in nine letters
      {u"Colour", u""},              // three edits from BackColor: no slip
      {u"Gap", u""},
      {u"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(s.NearestAskedName(c.name), c.nearest) << std::string(c.name.begin(), c.name.end());
  }
  s.ClearAsked();
  EXPECT_EQ(s.UnaskedEntries().size(), 4u);
  EXPECT_EQ(s.NearestAskedName(u"GripShap"), u"");
}

TEST(PropertyStoreEqualityTest, StoresCompareNamesOrderAndExactValues) {
  PropertyStore a, b;
  a.Set(u"x", std::numeric_limits<double>::quiet_NaN());
  b.Set(u"x", std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(a == b);  // a written NaN must read back "equal"
  a.Set(u"y", 0.0);
  b.Set(u"y", -0.0);
  EXPECT_FALSE(a == b);
  PropertyStore c, d;
  c.Set(u"p", int32_t{1});
  c.Set(u"q", int32_t{2});
  d.Set(u"q", int32_t{2});
  d.Set(u"p", int32_t{1});
  EXPECT_FALSE(c == d);  // order is part of a saved design
  PropertyStore e, f;
  e.Set(u"n", int16_t{1});
  f.Set(u"n", int32_t{1});
  EXPECT_FALSE(e == f);
  PropertyStore g, h;
  g.Set(u"Name", int32_t{1});
  h.Set(u"name", int32_t{1});
  EXPECT_FALSE(g == h);  // the spelling is written out, so it is part of equality
}

}  // namespace
}  // namespace fw
