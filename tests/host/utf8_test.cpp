// UTF-8 <-> UTF-16. Expected replacement counts follow the WHATWG Encoding
// Standard's UTF-8 decoder (one U+FFFD per maximal ill-formed subpart).
#include <gtest/gtest.h>

#include "host/Utf8.h"

namespace fw {
namespace {

using namespace std::string_view_literals;

TEST(Utf8Test, DecodesEveryLength) {
  EXPECT_EQ(Utf8ToUtf16("A"), u"A");
  EXPECT_EQ(Utf8ToUtf16("\xC3\xA9"), u"é");
  EXPECT_EQ(Utf8ToUtf16("\xE5\xAE\x8B\xE4\xBD\x93"), u"宋体");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Utf8ToUtf16("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
  EXPECT_EQ(Utf8ToUtf16(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
  EXPECT_EQ(Utf8ToUtf16("\xEF\xBB\xBFx"), u"\uFEFFx");  // the BOM is the reader's business
}

TEST(Utf8Test, IllFormedBytesBecomeOneReplacementPerSubpart) {
  struct Case {
    std::string_view in;
    std::u16string_view out;
  };
  const Case kCases[] = {
      {"\x80", u"\uFFFD"},                       // stray continuation
      {"\xC0\xAF", u"\uFFFD\uFFFD"},             // overlong '/': C0 is never a lead byte
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},   // overlong three-byte form
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},   // a surrogate code point
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xF0\x9F\x98", u"\uFFFD"},               // truncated at the end
      {"\xF0\x9F\x98x", u"\uFFFDx"},             // truncated, then ASCII (kept)
      {"\xE5\xAE\xE4\xBD\x93", u"\uFFFD体"},     // truncated, then a whole character
      {"\xFF\xFE", u"\uFFFD\uFFFD"},
  };
  for (const Case& c : kCases) EXPECT_EQ(Utf8ToUtf16(c.in), c.out) << testing::PrintToString(std::string(c.in));
}

TEST(Utf8Test, EncodesAndRoundTrips) {
  const std::u16string text(u"所在城市 \U0001F600 é \0 end"sv);
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8(u"\u07FF\u0800"), "\xDF\xBF\xE0\xA0\x80");
}

TEST(Utf8Test, UnpairedSurrogatesEncodeAsReplacement) {
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
  // A high surrogate at the very end, and one followed by another high one.
  EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xD83D), char16_t(0xD83D), char16_t(0xDE00)}),
            "\xEF\xBF\xBD\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace fw
