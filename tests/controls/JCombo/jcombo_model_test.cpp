// The image combo box's portable rules: layout, TAG=Text splitting, the tag-code
// table beside the list, and the list file's lines and bytes. Expected values are
// worked out by hand from the control's rules (twips, tables of cases) and
// from the Unicode, UTF-8, UTF-16 and GB2312 code charts.

#include "controls/JCombo/JComboModel.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace fw::jcombo {
namespace {

class VectorStore : public ItemStore {
 public:
  int32_t Count() const override { return static_cast<int32_t>(items.size()); }
  std::u16string Item(int32_t i) const override {
    return i >= 0 && i < Count() ? items[static_cast<size_t>(i)] : std::u16string();
  }
  void Insert(std::u16string_view text, std::optional<int32_t> index) override {
    if (index) items.insert(items.begin() + *index, std::u16string(text));
    else items.emplace_back(text);
  }
  void Replace(int32_t i, std::u16string_view text) override { items.at(static_cast<size_t>(i)) = text; }
  void Remove(int32_t i) override { items.erase(items.begin() + i); }
  void Clear() override { items.clear(); }
  std::vector<std::u16string> items;
};

std::u16string Num(const char16_t* prefix, int i) {
  std::u16string s = prefix;
  for (char c : std::to_string(i)) s += static_cast<char16_t>(c);
  return s;
}

TEST(JComboLayout, WidthHeightAndTextTopFollowTheRules) {
  struct Case {
    int32_t width;
    double points;
    int32_t wantWidth, wantButton, wantTop, wantTextWidth;
  };
  // Width at least 400; button at width - 285; text width = width - 375; top 60,
  // or 60 - 15 x round(size - 8) above 8 pt, halves to even.
  const Case cases[] = {
      {1335, 9, 1335, 1050, 45, 960},  {200, 8, 400, 115, 60, 25},   {0, 7, 400, 115, 60, 25},
      {399, 8.5, 400, 115, 60, 25},    {400, 9.5, 400, 115, 30, 25}, {1335, 10.5, 1335, 1050, 30, 960},
      {1335, 12, 1335, 1050, 0, 960},  {1335, 14, 1335, 1050, -30, 960},
  };
  for (const Case& c : cases) {
    const Layout l = ComputeLayout(c.width, c.points);
    SCOPED_TRACE(testing::Message() << c.width << " twips, " << c.points << " pt");
    EXPECT_EQ(l.width, c.wantWidth);
    EXPECT_EQ(l.height, 315);
    EXPECT_EQ(l.buttonLeft, c.wantButton);
    EXPECT_EQ(l.textTop, c.wantTop);
    EXPECT_EQ(l.textWidth, c.wantTextWidth);
    EXPECT_EQ(l.textTop + l.textHeight, 300);
  }
}

TEST(JComboSplit, TagAndTextAtTheFirstEquals) {
  struct Case {
    const char16_t* item;
    const char16_t* tag;
    const char16_t* text;
    bool separated;
  };
  const Case cases[] = {
      {u"x1 = Apple", u"x1", u"Apple", true},  {u"=Apple", u"Apple", u"Apple", false},
      {u"Apple=", u"Apple", u"Apple", false},  {u"a=b=c", u"a", u"b=c", true},
      {u"  a  =  b  ", u"a", u"b", true},      {u"Apple", u"Apple", u"Apple", false},
      {u" = ", u"", u"", false},               {u"=", u"", u"", false},
      {u"==a", u"", u"=a", true},              {u"a = ", u"a", u"a", false},
      {u"\t\u5E7F\u4E1C=GD\t", u"\u5E7F\u4E1C", u"GD", true},
  };
  for (const Case& c : cases) {
    const TaggedItem t = SplitTagItem(c.item);
    EXPECT_EQ(t.tag, c.tag) << "case " << (&c - cases);
    EXPECT_EQ(t.text, c.text) << "case " << (&c - cases);
    EXPECT_EQ(t.separated, c.separated) << "case " << (&c - cases);
  }
}

TEST(JComboTags, InsertMovesTheTagsWithTheirItems) {
  VectorStore store;
  TaggedList list(store);
  list.SetTagMode(true);
  for (const char16_t* item : {u"a=A", u"b=B", u"c=C"}) ASSERT_TRUE(list.Add(item, std::nullopt));
  EXPECT_EQ(list.Current(), 2);
  EXPECT_TRUE(list.Add(u"x = X", 1));
  EXPECT_EQ(store.items, (std::vector<std::u16string>{u"A", u"X", u"B", u"C"}));
  EXPECT_EQ(list.Current(), 1);
  EXPECT_EQ(list.LastTag(), 3);
  EXPECT_EQ(list.Get(1), u"x=X");
  EXPECT_EQ(list.Get(3), u"c=C");
  EXPECT_EQ(list.Get(std::nullopt), u"c=C");
  EXPECT_EQ(list.Get(-5), u"a=A");
  // Below 0 inserts at 0; beyond the last item appends.
  EXPECT_TRUE(list.Add(u"f=F", -3));
  EXPECT_TRUE(list.Add(u"l=L", 40));
  EXPECT_EQ(list.FileLines(),
            (std::vector<std::u16string>{u"f=F", u"a=A", u"x=X", u"b=B", u"c=C", u"l=L"}));
  EXPECT_EQ(list.Current(), 5);
  // Nothing to add: an empty text after splitting; in plain mode an empty item.
  EXPECT_FALSE(list.Add(u" = ", 0));
  list.SetTagMode(false);
  EXPECT_FALSE(list.Add(u"", std::nullopt));
  EXPECT_TRUE(list.Add(u" p=q ", std::nullopt));
  EXPECT_EQ(store.items.back(), u" p=q ");
  // Items added before tag-code mode have no tags: an insert among them tags
  // the new item itself.
  list.SetTagMode(true);
  ASSERT_TRUE(list.Add(u"t=T", 6));
  EXPECT_EQ(store.items[6], u"T");
  EXPECT_EQ(list.TagOf(6), u"t");
  EXPECT_EQ(list.TagOf(7), u"");
}

TEST(JComboTags, ItemsBeyondNinetyNineArePlainItems) {
  VectorStore store;
  TaggedList list(store);
  list.SetTagMode(true);
  for (int i = 0; i < 105; ++i) list.Add(Num(u"k", i) + u"=" + Num(u"v", i), std::nullopt);
  EXPECT_EQ(list.LastTag(), 99);
  EXPECT_EQ(list.TagOf(99), u"k99");
  EXPECT_EQ(list.TagOf(100), u"");
  EXPECT_EQ(list.Get(100), u"v100");
  EXPECT_EQ(list.Get(std::nullopt), u"v104");
  const auto lines = list.FileLines();
  EXPECT_EQ(lines[99], u"k99=v99");
  EXPECT_EQ(lines[100], u"v100");
  // An insert at the front pushes the tag of item 99 off the table.
  list.Add(u"n=N", 0);
  EXPECT_EQ(list.TagOf(0), u"n");
  EXPECT_EQ(list.TagOf(99), u"k98");
  EXPECT_EQ(list.LastTag(), 99);
  // A removal at the front pulls the tags down; item 100, now 99, has none.
  list.Remove(0);
  list.Remove(0);
  EXPECT_EQ(list.TagOf(0), u"k1");
  EXPECT_EQ(list.TagOf(97), u"k98");
  EXPECT_EQ(list.TagOf(98), u"");
  EXPECT_EQ(store.items[98], u"v99");
}

TEST(JComboTags, UpdateAndRemoveKeepTagsAligned) {
  VectorStore store;
  TaggedList list(store);
  list.SetTagMode(true);
  for (const char16_t* item : {u"a=A", u"b=B", u"c=C", u"d=D"}) list.Add(item, std::nullopt);
  EXPECT_TRUE(list.Update(u" n = N ", 0));
  EXPECT_FALSE(list.Update(u"z=Z", 4));
  EXPECT_TRUE(list.Remove(1));
  EXPECT_EQ(list.FileLines(), (std::vector<std::u16string>{u"n=N", u"c=C", u"d=D"}));
  EXPECT_TRUE(list.Remove(std::nullopt));
  EXPECT_THROW(list.Remove(2), std::out_of_range);
  EXPECT_EQ(list.FileLines(), (std::vector<std::u16string>{u"n=N", u"c=C"}));
  EXPECT_TRUE(list.Remove(-1));
  EXPECT_EQ(list.FileLines(), (std::vector<std::u16string>{u"c=C"}));
  list.Clear();
  EXPECT_FALSE(list.Remove(std::nullopt));
  EXPECT_EQ(list.Get(std::nullopt), u"");
  EXPECT_EQ(list.TagOf(0), u"");
}

TEST(JComboTags, SetTagCodeWalksThroughTheMatchesAndWraps) {
  VectorStore store;
  TaggedList list(store);
  list.SetTagMode(true);
  for (const char16_t* item : {u"x1=Apple", u"y=Pear", u"X1=Plum"}) list.Add(item, std::nullopt);
  int32_t from = 0;
  EXPECT_EQ(list.FindTag(u" x1 ", from), 0);
  EXPECT_EQ(from, 1);
  EXPECT_EQ(list.FindTag(u"X1", from), 2);
  EXPECT_EQ(from, 0) << "past the last item: back to the start";
  EXPECT_EQ(list.FindTag(u"x1", from), 0);
  from = 7;  // beyond the last item: from the start
  EXPECT_EQ(list.FindTag(u"Y", from), 1);
  EXPECT_EQ(from, 2);
  EXPECT_EQ(list.FindTag(u"y", from), std::nullopt) << "a match before the start is not found";
  EXPECT_EQ(list.FindTag(u"  ", from), std::nullopt);
  EXPECT_EQ(list.FindTag(u"q", from), std::nullopt);
}

TEST(JComboFile, LinesEndAtAnyBreakAreCutAndCommentsShrink) {
  const std::u16string long85(85, u'a');
  std::u16string surrogateAt80(79, u'b');
  surrogateAt80 += u"\U0001F600";
  const std::u16string text = u";note\r\nx\r\n" + long85 + u"\ra=b\nc=d\r\n\r\n  \r\n" + surrogateAt80 + u"\r\ne";
  const auto lines = ListFileLines(text);
  const std::vector<std::u16string> want{
      u";", u"x", std::u16string(80, u'a'), u"a=b", u"c=d", u"", u"  ", std::u16string(79, u'b'), u"e"};
  EXPECT_EQ(lines, want);
  EXPECT_EQ(ListFileLines(u"a\r\n"), std::vector<std::u16string>{u"a"});
  EXPECT_TRUE(ListFileLines(u"").empty());
}

TEST(JComboFile, LoadSkipsToTheFirstLongerLineAndTakesItsMode) {
  VectorStore store;
  TaggedList list(store);
  list.Add(u"old", std::nullopt);
  EXPECT_FALSE(list.Load(ListFileLines(u";x\r\ny\r\n\r\n;")));
  EXPECT_EQ(store.items, std::vector<std::u16string>{u"old"}) << "nothing readable: the list stays";

  ASSERT_TRUE(list.Load(ListFileLines(u";comment\r\nx\r\na=b\r\nc = d\r\n\r\n  \r\n;z\r\ne\r\n")));
  EXPECT_TRUE(list.TagMode());
  EXPECT_EQ(store.items, (std::vector<std::u16string>{u"b", u"d", u"e"}));
  EXPECT_EQ(list.TagOf(1), u"c");
  EXPECT_EQ(list.TagOf(2), u"e");

  ASSERT_TRUE(list.Load(ListFileLines(u"Beijing\r\n k=v\r\n")));
  EXPECT_FALSE(list.TagMode());
  EXPECT_EQ(store.items, (std::vector<std::u16string>{u"Beijing", u" k=v"}));
}

TEST(JComboFile, EncodingsAreRecognised) {
  // 广东: U+5E7F U+4E1C. UTF-8 E5 B9 BF E4 B8 9C; GB2312 B9 E3 B6 AB.
  const std::u16string want = u"\u5E7F\u4E1C\r\n";
  auto fakeGbk = [](std::span<const uint8_t> run, std::u16string& out) {
    for (size_t i = 0; i < run.size(); ++i) {
      if (run[i] < 0x80) {
        out += static_cast<char16_t>(run[i]);
      } else {
        const unsigned pair = run[i] << 8 | run[i + 1];
        out += pair == 0xB9E3 ? u'\u5E7F' : pair == 0xB6AB ? u'\u4E1C' : u'?';
        ++i;
      }
    }
  };
  struct Case {
    std::vector<uint8_t> bytes;
    ListEncoding encoding;
  };
  const Case cases[] = {
      {{0xEF, 0xBB, 0xBF, 0xE5, 0xB9, 0xBF, 0xE4, 0xB8, 0x9C, 0x0D, 0x0A}, ListEncoding::Utf8},
      {{0xE5, 0xB9, 0xBF, 0xE4, 0xB8, 0x9C, 0x0D, 0x0A}, ListEncoding::Utf8},
      {{0xFF, 0xFE, 0x7F, 0x5E, 0x1C, 0x4E, 0x0D, 0x00, 0x0A, 0x00}, ListEncoding::Utf16LE},
      {{0xFE, 0xFF, 0x5E, 0x7F, 0x4E, 0x1C, 0x00, 0x0D, 0x00, 0x0A}, ListEncoding::Utf16BE},
      {{0x7F, 0x5E, 0x1C, 0x4E, 0x0D, 0x00, 0x0A, 0x00}, ListEncoding::Utf16LE},
      {{0xB9, 0xE3, 0xB6, 0xAB, 0x0D, 0x0A}, ListEncoding::Gbk},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(DetectListEncoding(cases[i].bytes), cases[i].encoding) << "case " << i;
    EXPECT_EQ(DecodeListFile(cases[i].bytes, fakeGbk), want) << "case " << i;
  }
  // Written as UTF-8 with a byte order mark: the first case's bytes.
  const std::string written = EncodeListFile({u"\u5E7F\u4E1C"});
  EXPECT_EQ(std::vector<uint8_t>(written.begin(), written.end()), cases[0].bytes);
  EXPECT_EQ(EncodeListFile({}), "");
}

TEST(JComboFile, OnlyUtf16ShapedBytesAreReadAsUtf16) {
  auto asciiOnly = [](std::span<const uint8_t> run, std::u16string& out) {
    for (uint8_t c : run) out += c < 0x80 ? static_cast<char16_t>(c) : u'?';
  };
  auto bytes = [](std::string_view s) { return std::vector<uint8_t>(s.begin(), s.end()); };
  using namespace std::string_view_literals;
  struct Case {
    std::vector<uint8_t> bytes;
    ListEncoding encoding;
    std::u16string text;
  };
  const Case cases[] = {
      // One stray NUL in 8-bit text: the lines stay lines, the NUL is left out.
      {bytes("alpha\r\nbeta\r\ngam\0ma\r\ndelta\r\n"sv), ListEncoding::Utf8, u"alpha\r\nbeta\r\ngamma\r\ndelta\r\n"},
      {bytes("ab\0d\r\n"sv), ListEncoding::Utf8, u"abd\r\n"},
      {bytes("\xB9\xE3\0\r\n"sv), ListEncoding::Gbk, u"??\r\n"},
      // UTF-16 without a mark and without line ends: NULs on one side of most pairs.
      {bytes("a\0b\0c\0"sv), ListEncoding::Utf16LE, u"abc"},
      {bytes("\0a\0b\0c"sv), ListEncoding::Utf16BE, u"abc"},
      // Its line ends alone are enough (Chinese text has no NUL of its own).
      {bytes("\x7F\x5E\x1C\x4E\x7F\x5E\r\0\n\0"sv), ListEncoding::Utf16LE, u"\u5E7F\u4E1C\u5E7F\r\n"},
      {bytes("\x5E\x7F\x4E\x1C\x5E\x7F\0\r\0\n"sv), ListEncoding::Utf16BE, u"\u5E7F\u4E1C\u5E7F\r\n"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(DetectListEncoding(cases[i].bytes), cases[i].encoding) << "case " << i;
    EXPECT_EQ(DecodeListFile(cases[i].bytes, asciiOnly), cases[i].text) << "case " << i;
  }
}

TEST(JComboFile, UTF16IsTakenFromTheWholeFilesShape) {
  auto asciiOnly = [](std::span<const uint8_t> run, std::u16string& out) {
    for (uint8_t c : run) out += c < 0x80 ? static_cast<char16_t>(c) : u'?';
  };
  auto bytes = [](std::string_view s) { return std::vector<uint8_t>(s.begin(), s.end()); };
  auto join = [](std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  using namespace std::string_view_literals;
  // "gamma\r\n" in UTF-16 LE, and 广东\r\n (U+5E7F U+4E1C) likewise.
  const std::vector<uint8_t> gammaLE = bytes("g\0a\0m\0m\0a\0\r\0\n\0"sv);
  const std::vector<uint8_t> guangdongLE{0x7F, 0x5E, 0x1C, 0x4E, 0x0D, 0x00, 0x0A, 0x00};
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    ListEncoding encoding;
    std::optional<std::u16string> text;
  };
  const Case cases[] = {
      // Mixtures: one UTF-16 line end among 8-bit ones decides nothing.
      {"one UTF-16 line end in ASCII", bytes("alpha\r\nbeta\r\ngamma\r\0\n\0delta\r\nepsilon\r\n"sv),
       ListEncoding::Unknown, std::nullopt},
      // 广东 and 北京 in GB2312: B9E3 B6AB, B1B1 BEA9.
      {"one UTF-16 line end in GBK",
       {0xB9, 0xE3, 0xB6, 0xAB, 0x0D, 0x00, 0x0A, 0x00, 0xB1, 0xB1, 0xBE, 0xA9, 0x0D, 0x0A},
       ListEncoding::Unknown, std::nullopt},
      {"a UTF-16 line after 8-bit ones, odd offset", join(bytes("alpha\r\nbeta\r\n"sv), gammaLE),
       ListEncoding::Unknown, std::nullopt},
      {"a UTF-16 line after 8-bit ones, even offset", join(bytes("alpha\r\nbetas\r\n"sv), gammaLE),
       ListEncoding::Unknown, std::nullopt},
      {"a Chinese UTF-16 line after 8-bit ones", join(bytes("alpha\r\nbetas\r\n"sv), guangdongLE),
       ListEncoding::Unknown, std::nullopt},
      // Control bytes are no 8-bit text: 广东 in UTF-16 LE, no mark, no line end.
      {"UTF-16 without a mark or line end", {0x7F, 0x5E, 0x1C, 0x4E}, ListEncoding::Unknown, std::nullopt},
      // Chinese UTF-16 with LF only: 上海 不知 (U+4E0A U+6D77, U+4E0D U+77E5) put
      // 0A and 0D bytes inside the text, as the low byte of a unit.
      {"Chinese UTF-16 LE, LF only",
       {0x0A, 0x4E, 0x77, 0x6D, 0x0A, 0x00, 0x0D, 0x4E, 0xE5, 0x77, 0x0A, 0x00}, ListEncoding::Utf16LE,
       u"\u4E0A\u6D77\n\u4E0D\u77E5\n"},
      {"Chinese UTF-16 LE, LF only, 广东 北京",
       {0x7F, 0x5E, 0x1C, 0x4E, 0x0A, 0x00, 0x17, 0x53, 0xAC, 0x4E, 0x0A, 0x00}, ListEncoding::Utf16LE,
       u"\u5E7F\u4E1C\n\u5317\u4EAC\n"},
      {"Chinese UTF-16 BE, LF only",
       {0x5E, 0x7F, 0x4E, 0x1C, 0x00, 0x0A, 0x53, 0x17, 0x4E, 0xAC, 0x00, 0x0A}, ListEncoding::Utf16BE,
       u"\u5E7F\u4E1C\n\u5317\u4EAC\n"},
      // An odd byte after UTF-16 is dropped, with a mark or without.
      {"odd byte after UTF-16 LE", bytes("\xFF\xFE" "a\0b\0\r\0\n\0" "c"sv), ListEncoding::Utf16LE, u"ab\r\n"},
      {"odd byte after UTF-16 BE", bytes("\xFE\xFF" "\0a\0b\0\r\0\n" "c"sv), ListEncoding::Utf16BE, u"ab\r\n"},
      {"odd byte after unmarked UTF-16", bytes("a\0b\0\r\0\n\0c"sv), ListEncoding::Utf16LE, u"ab\r\n"},
      // Still 8-bit: LF only, CR only, a stray NUL, a lone LF at an even offset.
      {"8-bit, LF only", bytes("ab\ncde\nf\n"sv), ListEncoding::Utf8, u"ab\ncde\nf\n"},
      {"8-bit, CR only", bytes("ab\rcde\rf\r"sv), ListEncoding::Utf8, u"ab\rcde\rf\r"},
      {"8-bit, NUL before CR LF", bytes("ab\0\r\ncd\r\n"sv), ListEncoding::Utf8, u"ab\r\ncd\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DetectListEncoding(c.bytes), c.encoding) << c.what;
    EXPECT_EQ(DecodeListFile(c.bytes, asciiOnly), c.text) << c.what;
  }
}

}  // namespace
}  // namespace fw::jcombo
