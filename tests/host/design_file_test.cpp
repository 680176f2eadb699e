// Design files: reading a window's design, writing it back, and the faults a
// hand-edited file can hold, each reported with its line.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/DesignFile.h"
#include "host/Utf8.h"

namespace fw {
namespace {

using namespace std::string_view_literals;

DesignNode ParseOk(std::u16string_view text) {
  DesignParseResult r = ParseDesign(text);
  EXPECT_TRUE(r.root.has_value()) << "line " << r.errorLine << ": " << r.error;
  return r.root ? std::move(*r.root) : DesignNode{};
}

// The main window's design in short, as a designer would write it.
constexpr std::u16string_view kForm =
    u"' The main window.\n"
    u"Begin Form ForMain\n"
    u"   Caption = \"Fuelwise\"\n"
    u"   ClientWidth = 6420\n"
    u"   Icon = res:IDI_FUELWISE\n"
    u"   Begin XPContainer XPContainer1\n"
    u"      Left = 3240\n"
    u"      Caption = \"所在城市\"\n"
    u"      HeaderLightColor = &H00C8E5D8&\n"
    u"      Theme = 2   ' olive\n"
    u"      Begin Label Label5\n"
    u"         Caption = \"省  份:\"\n"
    u"      End\n"
    u"      Begin JCombo comWhere\n"
    u"         Index = 0\n"
    u"         BeginProperty Font\n"
    u"            Name = \"宋体\"\n"
    u"            Size = 9\n"
    u"            Charset = 134\n"
    u"            Bold = False\n"
    u"         EndProperty\n"
    u"      End\n"
    u"      Begin JCombo comWhere\n"
    u"         Index = 1\n"
    u"         Top = 900\n"
    u"      End\n"
    u"   End\n"
    u"   Begin skbutton cmdRefresh\n"
    u"      BackColor = &H8000000F&\n"
    u"      Ratio = 0.75\n"
    u"      Enabled = False\n"
    u"   End\n"
    u"End\n";

TEST(DesignReadTest, ReadsTheTreeOfAWindow) {
  const DesignNode root = ParseOk(kForm);
  EXPECT_EQ(root.kind, u"Form");
  EXPECT_EQ(root.name, u"ForMain");
  EXPECT_FALSE(root.index);
  EXPECT_EQ(root.props.ReadText(u"caption", u""), u"Fuelwise");
  EXPECT_EQ(root.props.ReadInt32(u"ClientWidth", 0), 6420);
  EXPECT_EQ(root.props.ReadPicture(u"Icon", {}), PictureRef{u"IDI_FUELWISE"});
  ASSERT_EQ(root.children.size(), 2u);
  const DesignNode& box = root.children[0];
  EXPECT_EQ(box.kind, u"XPContainer");
  EXPECT_EQ(box.props.ReadText(u"Caption", u""), u"所在城市");
  EXPECT_EQ(box.props.ReadColour(u"HeaderLightColor", Colour(0)), Colour(0x00C8E5D8));
  EXPECT_EQ(box.props.ReadInt16(u"Theme", 0), 2);
  ASSERT_EQ(box.children.size(), 3u);
  EXPECT_EQ(box.children[0].props.ReadText(u"Caption", u""), u"省  份:");
  EXPECT_EQ(root.children[1].props.ReadColour(u"BackColor", Colour(0)), SystemColour(15));
  EXPECT_EQ(root.children[1].props.ReadDouble(u"Ratio", 0), 0.75);
  EXPECT_FALSE(root.children[1].props.ReadBool(u"Enabled", true));
}

TEST(DesignReadTest, FindsControlsAndArrayMembersAtAnyDepth) {
  const DesignNode root = ParseOk(kForm);
  const DesignNode* first = FindChild(root, u"COMWHERE", 0);
  const DesignNode* second = FindChild(root, u"comwhere", 1);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->index, 0);
  EXPECT_EQ(second->props.ReadInt32(u"Top", 0), 900);
  EXPECT_EQ(FindChild(root, u"comWhere"), nullptr);  // an array member needs its index
  EXPECT_EQ(FindChild(root, u"comWhere", 2), nullptr);
  EXPECT_NE(FindChild(root, u"label5"), nullptr);
  EXPECT_EQ(FindChild(root, u"Label5", 0), nullptr);
  EXPECT_EQ(FindChild(root, u"ForMain"), nullptr);  // the root itself is not below itself
  const auto members = FindChildren(root, u"comWhere");
  ASSERT_EQ(members.size(), 2u);
  EXPECT_EQ(members[0], first);
  EXPECT_EQ(members[1], second);
}

TEST(DesignReadTest, ReadsAFontSubBlock) {
  const DesignNode root = ParseOk(kForm);
  const FontValue f = FindChild(root, u"comWhere", 0)->props.ReadFont(u"Font", {});
  EXPECT_EQ(f.face, u"宋体");
  EXPECT_EQ(f.size, 9.0);
  EXPECT_EQ(f.charset, 134);
  EXPECT_FALSE(f.bold);
  EXPECT_EQ(f.weight, 400);
}

TEST(DesignReadTest, BoldAndWeightFollowEachOtherWhenOnlyOneIsGiven) {
  auto font = [](std::u16string_view lines) {
    const DesignNode n = ParseOk(u"Begin A B\nBeginProperty F\n" + std::u16string(lines) + u"EndProperty\nEnd\n");
    return n.props.ReadFont(u"F", {});
  };
  EXPECT_EQ(font(u"Bold = True\n").weight, 700);
  EXPECT_EQ(font(u"Bold = False\n").weight, 400);
  EXPECT_TRUE(font(u"Weight = 600\n").bold);
  EXPECT_FALSE(font(u"Weight = 599\n").bold);
  const FontValue both = font(u"Weight = 300\nBold = True\n");  // as written, contradiction and all
  EXPECT_EQ(both.weight, 300);
  EXPECT_TRUE(both.bold);
  const FontValue fractional = font(u"size = 10.5\nNAME = \"Tahoma\"\n");  // keys in any case
  EXPECT_EQ(fractional.size, 10.5);
  EXPECT_EQ(fractional.face, u"Tahoma");
}

TEST(DesignReadTest, LiteralsBecomeTypedValues) {
  struct Case {
    std::u16string_view literal;
    PropertyValue value;
  };
  const Case kCases[] = {
      {u"0", int32_t{0}},
      {u"-15", int32_t{-15}},
      {u"2147483647", int32_t{2147483647}},
      {u"-2147483648", std::numeric_limits<int32_t>::min()},
      {u"007", int32_t{7}},
      {u"10.5", 10.5},
      {u"-0.25", -0.25},
      {u"1e3", 1000.0},
      {u"2.5E-1", 0.25},
      {u"-0.0", -0.0},
      {u"Infinity", std::numeric_limits<double>::infinity()},
      {u"-infinity", -std::numeric_limits<double>::infinity()},
      {u"True", true},
      {u"FALSE", false},
      {u"&H00C8E5D8&", Colour(0x00C8E5D8)},
      {u"&hff&", Colour(0xFF)},
      {u"&H8000000f&", Colour(0x8000000F)},
      {u"\"\"", std::u16string()},
      {u"\"say \"\"hi\"\"\"", std::u16string(u"say \"hi\"")},
      {u"\"a\\r\\nb\\tc\\\\d\\\"e\"", std::u16string(u"a\r\nb\tc\\d\"e")},
      {u"\"\\u0000\\u4E2D\"", std::u16string(u"\0中"sv)},
      {u"\"'not a comment'\"", std::u16string(u"'not a comment'")},
      {u"res:IDB_CHART.gif", PictureRef{u"IDB_CHART.gif"}},
      {u"RES:\"two words\"", PictureRef{u"two words"}},
      {u"res:\"\"", PictureRef{}},
      // A picture's own bytes, base64 (RFC 4648 padding).
      {u"data:\"AAEC/w==\"", PictureRef{u"", {0, 1, 2, 255}}},
      {u"DATA:\"+/8A\"", PictureRef{u"", {0xFB, 0xFF, 0}}},
  };
  for (const Case& c : kCases) {
    const DesignNode n = ParseOk(u"Begin A B\nV = " + std::u16string(c.literal) + u"\nEnd");
    const PropertyValue* v = n.props.Find(u"V");
    ASSERT_NE(v, nullptr) << Utf16ToUtf8(c.literal);
    EXPECT_TRUE(SameValue(*v, c.value)) << Utf16ToUtf8(c.literal);
  }
  const DesignNode n = ParseOk(u"Begin A B\nV = nan\nEnd");
  EXPECT_TRUE(std::isnan(n.props.ReadDouble(u"V", 0)));
}

TEST(DesignReadTest, LineEndsIndentationAndByteOrderMarkDoNotMatter) {
  const DesignNode lf = ParseOk(u"Begin A B\n   X = 1\n   Begin C D\n   End\nEnd\n");
  EXPECT_EQ(ParseOk(u"Begin A B\r\n\tX = 1\r\nBegin C D\r\nEnd\r\nEnd"), lf);
  EXPECT_EQ(ParseOk(u"Begin A B\rX=1\r  Begin C D\rEnd\rEnd\r"), lf);
  EXPECT_EQ(ParseOk(u"\uFEFFBegin   A   B  ' c\n\n  ' c\n X = 1 'c\nBegin C D\nEnd 'c\nEnd\n\n"), lf);
  const DesignParseResult utf8 = ParseDesignUtf8("\xEF\xBB\xBF" "Begin A B\r\n X = 1\r\n Begin C D\r\n End\r\nEnd\r\n");
  ASSERT_TRUE(utf8.root);
  EXPECT_EQ(*utf8.root, lf);
}

TEST(DesignReadTest, NamesMayBeQuotedAndQuotedKeywordsAreProperties) {
  const DesignNode n = ParseOk(
      u"Begin \"odd kind\" 城市\n"
      u"   \"Index\" = 4\n"
      u"   \"End\" = True\n"
      u"   \"two words\" = 1\n"
      u"   Index = 2\n"
      u"End\n");
  EXPECT_EQ(n.kind, u"odd kind");
  EXPECT_EQ(n.name, u"城市");
  EXPECT_EQ(n.index, 2);
  EXPECT_EQ(n.props.ReadInt32(u"index", 0), 4);
  EXPECT_TRUE(n.props.ReadBool(u"end", false));
  EXPECT_EQ(n.props.ReadInt32(u"two words", 0), 1);
}

TEST(DesignReadTest, PropertiesAndChildrenMayInterleave) {
  const DesignNode n = ParseOk(u"Begin A B\nX = 1\nBegin C D\nEnd\nY = 2\nIndex = 0\nEnd\n");
  EXPECT_EQ(n.props.Size(), 2u);
  EXPECT_EQ(n.children.size(), 1u);
  EXPECT_EQ(n.index, 0);
}

TEST(DesignReadTest, NestingUpToTheLimitIsAccepted) {
  // Names must be unique: each level gets its own.
  std::u16string text;
  for (int i = 0; i < kMaxDesignDepth; ++i) {
    text += u"Begin K N";
    for (char c : std::to_string(i)) text.push_back(static_cast<char16_t>(c));
    text += u"\n";
  }
  for (int i = 0; i < kMaxDesignDepth; ++i) text += u"End\n";
  const DesignNode root = ParseOk(text);
  EXPECT_NE(FindChild(root, u"N63"), nullptr);
}

// ---------------------------------------------------------------------------

TEST(DesignWriteTest, WritesTheDocumentedLayout) {
  DesignNode root{u"Form", u"ForMain", {}, {}, {}};
  root.props.Write(u"Caption", u"Fuelwise", u"");
  root.props.Write(u"Icon", PictureRef{u"IDI_FUELWISE"}, PictureRef{});
  DesignNode label{u"skLabel", u"labPrice", 3, {}, {}};
  label.props.Write(u"ForeColor", Colour(0x80000012), Colour(0));
  label.props.Write(u"Font", FontValue{u"宋体", 10.5, true, false, false, false, 134, 700}, FontValue{});
  label.props.Write(u"Scale", 2.0, 1.0);
  label.props.Write(u"Style", int16_t{-1}, int16_t{0});
  root.children.push_back(label);
  const std::u16string expected =
      u"Begin Form ForMain\r\n"
      u"   Caption = \"Fuelwise\"\r\n"
      u"   Icon = res:IDI_FUELWISE\r\n"
      u"   Begin skLabel labPrice\r\n"
      u"      Index = 3\r\n"
      u"      ForeColor = &H80000012&\r\n"
      u"      BeginProperty Font\r\n"
      u"         Name = \"宋体\"\r\n"
      u"         Size = 10.5\r\n"
      u"         Charset = 134\r\n"
      u"         Weight = 700\r\n"
      u"         Bold = True\r\n"
      u"         Italic = False\r\n"
      u"         Underline = False\r\n"
      u"         Strikethrough = False\r\n"
      u"      EndProperty\r\n"
      u"      Scale = 2.0\r\n"
      u"      Style = -1\r\n"
      u"   End\r\n"
      u"End\r\n";
  EXPECT_EQ(WriteDesign(root), expected) << Utf16ToUtf8(WriteDesign(root));
}

TEST(DesignWriteTest, EscapesWhatALineCannotHold) {
  DesignNode n{u"A", u"B", {}, {}, {}};
  n.props.Set(u"T", std::u16string(u"q\"\\\r\n\t\x01\x7F"sv) + std::u16string(1, char16_t(0xDC00)) + u"中");
  const std::u16string text = WriteDesign(n);
  EXPECT_NE(text.find(u"T = \"q\"\"\\\\\\r\\n\\t\\u0001\\u007F\\uDC00中\""), std::u16string::npos)
      << Utf16ToUtf8(text);
}

// Every kind of value, awkward names and texts, arrays and nesting: written,
// saved as UTF-8, read back, equal.
TEST(DesignRoundTripTest, EverythingWrittenReadsBackEqual) {
  DesignNode root{u"Form", u"ForMain", {}, {}, {}};
  PropertyStore& p = root.props;
  p.Set(u"Flag", true);
  p.Set(u"Off", false);
  p.Set(u"Long", int32_t{-2147483647 - 1});
  p.Set(u"Max", int32_t{2147483647});
  p.Set(u"pictureSize", int32_t{2});  // spelled as the button writes it
  for (double d : {0.1, -0.0, 1e300, 5e-324, 2.0, -1.5e-7, std::numeric_limits<double>::quiet_NaN(),
                   std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
    p.Set(u"D" + std::u16string(1, char16_t(u'a' + p.Size())), d);
  }
  p.Set(u"Caption", std::u16string(u"Fuelwise \"v1\" 所在城市\r\nline 2\n\\path\t\0end"sv));
  p.Set(u"Lone", std::u16string{char16_t(0xD800), u'x', char16_t(0xDFFF)});
  p.Set(u"Emoji", std::u16string(u"\U0001F600"));
  p.Set(u"Empty", std::u16string());
  p.Set(u"Sys", Colour(0x8000000F));
  p.Set(u"Rgb", Colour(0));
  p.Set(u"White", Colour(0x00FFFFFF));
  p.Set(u"Font", FontValue{u"Tahoma \"x\"", 8.25, true, true, true, true, 255, 1000});
  p.Set(u"Odd font", FontValue{u"", 0.5, false, false, false, false, 0, 0});
  p.Set(u"Icon", PictureRef{u"IDI_FUELWISE"});
  p.Set(u"Pic", PictureRef{u"with space & \"quote\""});
  p.Set(u"NoPic", PictureRef{});
  for (size_t n = 1; n <= 4; ++n) {  // every padding
    PictureRef bytes;
    for (size_t i = 0; i < n; ++i) bytes.data.push_back(static_cast<uint8_t>(0xF0 + i));
    p.Set(u"Bytes" + std::u16string(1, static_cast<char16_t>(u'0' + n)), bytes);
  }
  p.Set(u"Index", int32_t{5});  // a property, not the block's index
  p.Set(u"end", int32_t{6});
  p.Set(u"Begin", int32_t{7});
  p.Set(u"名称", std::u16string(u"名"));
  p.Set(u"9lives", int32_t{9});
  p.Set(u"with space", int32_t{1});
  DesignNode box{u"XPContainer", u"Frame 1", {}, {}, {}};
  box.props.Set(u"Theme", int32_t{2});
  for (int32_t i = 0; i < 3; ++i) {
    DesignNode member{u"skLabel", u"labPrice", i, {}, {}};
    member.props.Set(u"Caption", std::u16string(u"价格"));
    box.children.push_back(member);
  }
  DesignNode inner{u"XPContainer", u"Inner", {}, {}, {}};
  inner.children.push_back(DesignNode{u"JCombo", u"comWhere", 0, {}, {}});
  inner.children.push_back(DesignNode{u"JCombo", u"comWhere", 2147483647, {}, {}});
  box.children.push_back(inner);
  root.children.push_back(box);
  root.children.push_back(DesignNode{u"\"kind\"", u"", {}, {}, {}});

  const std::string saved = Utf16ToUtf8(WriteDesign(root));
  const DesignParseResult back = ParseDesignUtf8(saved);
  ASSERT_TRUE(back.root) << "line " << back.errorLine << ": " << back.error << "\n" << saved;
  EXPECT_EQ(*back.root, root) << saved;
  EXPECT_EQ(back.root->props.ReadInt32(u"PictureSize", 0), 2);
}

TEST(DesignRoundTripTest, SixteenBitValuesComeBackAsNumbersOfTheSameValue) {
  DesignNode n{u"XPContainer", u"X", {}, {}, {}};
  n.props.Write(u"Style", int16_t{-32768}, int16_t{0});
  const DesignParseResult back = ParseDesign(WriteDesign(n));
  ASSERT_TRUE(back.root);
  EXPECT_EQ(back.root->props.ReadInt16(u"Style", 0), -32768);
}

// ---------------------------------------------------------------------------

struct BadCase {
  const char* what;
  std::u16string_view text;
  int line;
  const char* message;  // a part of the message
};

const BadCase kBadCases[] = {
    {"empty file", u"", 1, "no Begin block"},
    {"comments only", u"' a\n' b\n", 2, "no Begin block"},
    {"unterminated text", u"Begin A B\n X = 1\n Caption = \"abc\nEnd\n", 3, "no closing quote"},
    {"text ends in an escape", u"Begin A B\nX = \"ab\\\nEnd", 2, "middle of an escape"},
    {"unknown escape", u"Begin A B\nX = \"C:\\x\"\nEnd", 2, "unknown escape \\x"},
    {"short \\u", u"Begin A B\nX = \"\\u12\"\nEnd", 2, "four hex digits"},
    {"raw control character", u"Begin A B\nX = \"a\x01\"\nEnd", 2, "U+0001 in a text"},
    {"missing End", u"Begin Form F\n Begin Label L\n X = 1\nEnd\n", 1, "Begin Form 'F' has no End"},
    {"End without Begin", u"Begin A B\nEnd\nEnd\n", 3, "text after the End"},
    {"lone End", u"' x\nEnd\n", 2, "End without a Begin"},
    {"text after the window", u"Begin A B\nEnd\nBegin C D\nEnd\n", 3, "one window"},
    {"property outside", u"X = 1\nBegin A B\nEnd\n", 1, "outside any Begin block"},
    {"bare word value", u"Begin A B\n\nCaption = Fuelwise\nEnd", 3, "unknown value 'Fuelwise'"},
    {"missing value", u"Begin A B\nX =   ' nothing\nEnd", 2, "value is missing"},
    {"missing '='", u"Begin A B\nX 5\nEnd", 2, "expected '='"},
    {"two values", u"Begin A B\nLeft = 5 6\nEnd", 2, "after the value"},
    {"Begin without a name", u"Begin Form\nEnd", 1, "name after its kind is missing"},
    {"Begin with extra text", u"Begin Form F G\nEnd", 1, "after the control's name"},
    {"End with extra text", u"Begin Form F\nEnd F\n", 2, "after End"},
    {"integer too large", u"Begin A B\nX = 2147483648\nEnd", 2, "out of the 32-bit range"},
    {"integer too small", u"Begin A B\nX = -2147483649\nEnd", 2, "out of the 32-bit range"},
    {"huge integer", u"Begin A B\nX = 99999999999999999999999999999999\nEnd", 2, "out of the 32-bit range"},
    {"double too large", u"Begin A B\nX = 1e999\nEnd", 2, "out of range"},
    {"double underflows", u"Begin A B\nX = 1e-999\nEnd", 2, "out of range"},
    {"dot without digits", u"Begin A B\nX = 1.\nEnd", 2, "follow the decimal point"},
    {"lone minus", u"Begin A B\nX = -\nEnd", 2, "digit must follow '-'"},
    {"minus NaN", u"Begin A B\nX = -NaN\nEnd", 2, "Infinity may follow"},
    {"number glued to a word", u"Begin A B\nX = 12px\nEnd", 2, "after the value"},
    {"colour too long", u"Begin A B\nX = &H123456789&\nEnd", 2, "at most 8 hex digits"},
    {"colour without end", u"Begin A B\nX = &HFF\nEnd", 2, "end with '&'"},
    {"colour without digits", u"Begin A B\nX = &H&\nEnd", 2, "hex digits after &H"},
    {"colour without H", u"Begin A B\nX = &FF&\nEnd", 2, "&H followed by"},
    {"empty resource name", u"Begin A B\nX = res:\nEnd", 2, "resource name must follow"},
    {"picture data unquoted", u"Begin A B\nX = data:AAEC\nEnd", 2, "quoted text must follow data:"},
    {"picture data bad length", u"Begin A B\nX = data:\"AAE\"\nEnd", 2, "not valid base64"},
    {"picture data bad letter", u"Begin A B\nX = data:\"AA-C\"\nEnd", 2, "not valid base64"},
    {"picture data inner pad", u"Begin A B\nX = data:\"AA==AAAA\"\nEnd", 2, "not valid base64"},
    {"property twice", u"Begin A B\nCaption = \"a\"\n\ncaption = \"b\"\nEnd", 4, "set twice in this block (also at line 2)"},
    {"font and property clash", u"Begin A B\nFont = 1\nBeginProperty font\nEndProperty\nEnd", 3, "set twice"},
    {"NUL outside a text", u"Begin A B\nX\0 = 1\nEnd"sv, 2, "U+0000"},
    {"ideographic space", u"Begin A B\nX\u3000= 1\nEnd", 2, "U+3000"},
    {"Index twice", u"Begin A B\nIndex = 1\nIndex = 2\nEnd", 3, "Index is set twice"},
    {"negative Index", u"Begin A B\nIndex = -1\nEnd", 2, "0 or above"},
    {"Index not a number", u"Begin A B\nIndex = \"1\"\nEnd", 2, "0 or above"},
    {"same name twice", u"Begin F F1\nBegin L lab\nEnd\nBegin C Box\nBegin L LAB\nEnd\nEnd\nEnd", 5,
     "'LAB' is also used at line 2"},
    {"array index twice", u"Begin F F1\nBegin L lab\nIndex = 1\nEnd\nBegin L lab\nIndex = 1\nEnd\nEnd", 5,
     "Index 1 is also defined at line 2"},
    {"array member then plain", u"Begin F F1\nBegin L lab\nIndex = 0\nEnd\nBegin L lab\nEnd\nEnd", 5,
     "give this control an Index too"},
    {"plain then array member", u"Begin F F1\nBegin L lab\nEnd\nBegin L lab\nIndex = 0\nEnd\nEnd", 4,
     "also used without an Index at line 2"},
    {"control named like the window", u"Begin Form F\nBegin L f\nEnd\nEnd", 1, "'F' is also used at line 2"},
    {"unknown font key", u"Begin A B\nBeginProperty Font\nColour = 1\nEndProperty\nEnd", 3, "unknown font key 'Colour'"},
    {"font key twice", u"Begin A B\nBeginProperty Font\nSize = 9\nsize = 9\nEndProperty\nEnd", 4, "set twice"},
    {"font size zero", u"Begin A B\nBeginProperty Font\nSize = 0\nEndProperty\nEnd", 3, "Size must be"},
    {"font size huge", u"Begin A B\nBeginProperty Font\nSize = 5000.5\nEndProperty\nEnd", 3, "Size must be"},
    {"font charset", u"Begin A B\nBeginProperty Font\nCharset = 256\nEndProperty\nEnd", 3, "from 0 to 255"},
    {"font weight", u"Begin A B\nBeginProperty Font\nWeight = -1\nEndProperty\nEnd", 3, "from 0 to 1000"},
    {"font bold as number", u"Begin A B\nBeginProperty Font\nBold = 1\nEndProperty\nEnd", 3, "True or False"},
    {"font name as number", u"Begin A B\nBeginProperty Font\nName = 1\nEndProperty\nEnd", 3, "Name must be a text"},
    {"End inside a font", u"Begin A B\nBeginProperty Font\nEnd\n", 3, "End before the EndProperty"},
    {"Begin inside a font", u"Begin A B\nBeginProperty Font\nBegin C D\n", 3, "Begin inside BeginProperty"},
    {"font inside a font", u"Begin A B\nBeginProperty Font\nBeginProperty G\n", 3, "BeginProperty inside"},
    {"font never closed", u"Begin A B\nX = 1\nBeginProperty Font\nSize = 9\n", 3, "has no EndProperty"},
    {"keyword as a property", u"Begin A B\nend = 1\nEnd", 2, "written in quotes: \"end\" = ..."},
    {"EndProperty alone", u"Begin A B\nEndProperty\nEnd", 2, "EndProperty without"},
    {"font outside a block", u"BeginProperty Font\nEndProperty\n", 1, "outside any Begin block"},
};

TEST(DesignErrorTest, FaultsAreReportedWithTheirLine) {
  for (const BadCase& c : kBadCases) {
    const DesignParseResult r = ParseDesign(c.text);
    EXPECT_FALSE(r.root.has_value()) << c.what;
    EXPECT_EQ(r.errorLine, c.line) << c.what << ": " << r.error;
    EXPECT_NE(r.error.find(c.message), std::string::npos) << c.what << ": got \"" << r.error << "\"";
  }
}

TEST(DesignErrorTest, NestingBeyondTheLimitIsRefused) {
  std::u16string text;
  for (int i = 0; i <= kMaxDesignDepth; ++i) text += u"Begin K N\n";
  const DesignParseResult r = ParseDesign(text);
  EXPECT_FALSE(r.root);
  EXPECT_EQ(r.errorLine, kMaxDesignDepth + 1);
  EXPECT_NE(r.error.find("nested more than 64"), std::string::npos) << r.error;
}

TEST(DesignErrorTest, MessagesCutLongNamesShort) {
  const std::u16string name(100000, u'x');
  const DesignParseResult r = ParseDesign(u"Begin A B\nC = " + name + u"\nEnd");
  EXPECT_FALSE(r.root);
  EXPECT_LT(r.error.size(), 200u);
}

TEST(DesignErrorTest, ManyPropertiesAndControlsStayLinear) {
  // A hostile file with very many entries must not take quadratic time.
  std::u16string text = u"Begin F Form1\n";
  for (int i = 0; i < 50000; ++i) {
    std::u16string n;
    for (char c : std::to_string(i)) n.push_back(static_cast<char16_t>(c));
    text += u"P" + n + u" = " + n + u"\nBegin L lab\nIndex = " + n + u"\nEnd\n";
  }
  text += u"End\n";
  const DesignParseResult r = ParseDesign(text);
  ASSERT_TRUE(r.root) << r.error;
  EXPECT_EQ(r.root->props.Size(), 50000u);
  EXPECT_EQ(r.root->children.size(), 50000u);
}

}  // namespace
}  // namespace fw
