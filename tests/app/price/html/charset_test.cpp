// Encoding labels, code pages, sniffing and the portable decoders. Expected
// names come from the WHATWG Encoding Standard's label table; the prescan
// cases follow the HTML standard's "prescan a byte stream" steps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/price/html/Charset.h"

namespace fw::html {
namespace {

std::vector<uint8_t> Bytes(std::string_view s) { return std::vector<uint8_t>(s.begin(), s.end()); }

std::string Sniff(std::string_view page, std::string_view contentType = "", std::string_view fallback = "gbk") {
  auto bytes = Bytes(page);
  return SniffEncoding(bytes, contentType, fallback);
}

TEST(CharsetLabel, ResolvesBrowserLabelsCaseAndSpaceInsensitively) {
  EXPECT_EQ(ResolveCharsetLabel("GBK"), "gbk");
  EXPECT_EQ(ResolveCharsetLabel("gb2312"), "gbk");
  EXPECT_EQ(ResolveCharsetLabel("GB_2312-80"), "gbk");
  EXPECT_EQ(ResolveCharsetLabel("x-gbk"), "gbk");
  EXPECT_EQ(ResolveCharsetLabel("chinese"), "gbk");
  EXPECT_EQ(ResolveCharsetLabel("GB18030"), "gb18030");
  EXPECT_EQ(ResolveCharsetLabel(" utf8 "), "utf-8");
  EXPECT_EQ(ResolveCharsetLabel("\t\nUTF-8\f\r"), "utf-8");
  EXPECT_EQ(ResolveCharsetLabel("unicode-1-1-utf-8"), "utf-8");
  EXPECT_EQ(ResolveCharsetLabel("Big5-HKSCS"), "big5");
  EXPECT_EQ(ResolveCharsetLabel("iso-8859-1"), "windows-1252");
  EXPECT_EQ(ResolveCharsetLabel("US-ASCII"), "windows-1252");
  EXPECT_EQ(ResolveCharsetLabel("latin2"), "iso-8859-2");
  EXPECT_EQ(ResolveCharsetLabel("Shift_JIS"), "shift_jis");
  EXPECT_EQ(ResolveCharsetLabel("windows-949"), "euc-kr");
  EXPECT_EQ(ResolveCharsetLabel("utf-16"), "utf-16le");
  EXPECT_EQ(ResolveCharsetLabel("UTF-16BE"), "utf-16be");
  EXPECT_EQ(ResolveCharsetLabel("hz-gb-2312"), "replacement");
}

TEST(CharsetLabel, UnknownLabelsGiveEmpty) {
  EXPECT_EQ(ResolveCharsetLabel(""), "");
  EXPECT_EQ(ResolveCharsetLabel("   "), "");
  EXPECT_EQ(ResolveCharsetLabel("bogus"), "");
  EXPECT_EQ(ResolveCharsetLabel("utf-8x"), "");
  EXPECT_EQ(ResolveCharsetLabel("u tf-8"), "");
  EXPECT_EQ(ResolveCharsetLabel("utf-8\xC2\xA0"), "");  // only ASCII white space is trimmed
  EXPECT_EQ(ResolveCharsetLabel(std::string(300, 'a')), "");
}

TEST(CharsetCodePage, MapsEncodingsToWindowsCodePages) {
  EXPECT_EQ(CodePageForEncoding("gbk"), 54936u);
  EXPECT_EQ(CodePageForEncoding("gb18030"), 54936u);
  EXPECT_EQ(CodePageForEncoding("utf-8"), 65001u);
  EXPECT_EQ(CodePageForEncoding("big5"), 950u);
  EXPECT_EQ(CodePageForEncoding("shift_jis"), 932u);
  EXPECT_EQ(CodePageForEncoding("euc-kr"), 949u);
  EXPECT_EQ(CodePageForEncoding("windows-1252"), 1252u);
  EXPECT_EQ(CodePageForEncoding("windows-1251"), 1251u);
  EXPECT_EQ(CodePageForEncoding("iso-8859-2"), 28592u);
  EXPECT_EQ(CodePageForEncoding("koi8-r"), 20866u);
  EXPECT_EQ(CodePageForEncoding("utf-16le"), 1200u);
  EXPECT_EQ(CodePageForEncoding("utf-16be"), 1201u);
  EXPECT_EQ(CodePageForEncoding("replacement"), 0u);
  EXPECT_EQ(CodePageForEncoding("x-user-defined"), 0u);
  EXPECT_EQ(CodePageForEncoding("GBK"), 0u);  // takes canonical names only
  EXPECT_EQ(CodePageForEncoding(""), 0u);
}

TEST(CharsetSniff, ByteOrderMarkWinsOverHeaderAndMeta) {
  EXPECT_EQ(Sniff("\xEF\xBB\xBF<meta charset=gbk>", "text/html; charset=big5"), "utf-8");
  EXPECT_EQ(Sniff("\xFF\xFE<\0m\0", "text/html; charset=gbk"), "utf-16le");
  EXPECT_EQ(Sniff("\xFE\xFF\0<", ""), "utf-16be");
}

TEST(CharsetSniff, HeaderCharsetWinsOverMetaWhenKnown) {
  EXPECT_EQ(Sniff("<meta charset=gbk>", "text/html; charset=UTF-8"), "utf-8");
  EXPECT_EQ(Sniff("<meta charset=gbk>", "text/html;charset=\"big5\""), "big5");
  EXPECT_EQ(Sniff("<meta charset=gbk>", "text/html; format=flowed; charset=utf-8"), "utf-8");
  // An unknown header label is skipped, and the prescan decides.
  EXPECT_EQ(Sniff("<meta charset=big5>", "text/html; charset=bogus"), "big5");
  EXPECT_EQ(Sniff("<meta charset=big5>", "text/html"), "big5");
}

TEST(CharsetSniff, MetaForms) {
  EXPECT_EQ(Sniff("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">", "", "utf-8"), "gbk");
  // The pragma may come after the content attribute.
  EXPECT_EQ(Sniff("<meta content='text/html;charset=utf-8' http-equiv=content-type>"), "utf-8");
  // Without the pragma a content attribute says nothing.
  EXPECT_EQ(Sniff("<meta content=\"text/html; charset=utf-8\">"), "gbk");
  EXPECT_EQ(Sniff("<META CHARSET=\"UTF-8\">"), "utf-8");
  EXPECT_EQ(Sniff("<meta/charset=big5>"), "big5");
  EXPECT_EQ(Sniff("<meta name=x charset = ' utf-8 '>"), "utf-8");
  // The first of duplicate attributes counts.
  EXPECT_EQ(Sniff("<meta charset=big5 charset=utf-8>"), "big5");
  // content: a quoted charset value must be closed.
  EXPECT_EQ(Sniff("<meta http-equiv=content-type content='charset=\"utf-8'>"), "gbk");
  EXPECT_EQ(Sniff("<meta http-equiv=content-type content='x; charsetcharset=utf-8'>"), "utf-8");
}

TEST(CharsetSniff, CommentsAndOtherTagsAreSkipped) {
  // A meta inside a comment is not seen; the real one after it is.
  EXPECT_EQ(Sniff("<!-- <meta charset=big5> --><meta charset=utf-8>"), "utf-8");
  EXPECT_EQ(Sniff("<!--><meta charset=big5>"), "big5");  // "<!-->" is a whole comment
  EXPECT_EQ(Sniff("<div title='<meta charset=big5>'><meta charset=utf-8>"), "utf-8");
  EXPECT_EQ(Sniff("<!DOCTYPE html><?xml encoding=big5?></p><meta charset=utf-8>"), "utf-8");
  EXPECT_EQ(Sniff("<metax charset=big5>"), "gbk");
  // An unterminated comment ends the scan.
  EXPECT_EQ(Sniff("<!-- <meta charset=big5>"), "gbk");
}

TEST(CharsetSniff, OnlyTheFirst1024BytesAreScanned) {
  std::string pad(1024 - 20, ' ');
  EXPECT_EQ(Sniff(pad + "<meta charset=big5>"), "big5");  // ends at byte 1023
  EXPECT_EQ(Sniff(pad + "    <meta charset=big5>"), "gbk");  // starts inside, ends beyond
  EXPECT_EQ(Sniff(std::string(1024, ' ') + "<meta charset=big5>"), "gbk");
}

TEST(CharsetSniff, Utf16AndUserDefinedLabelsAreCorrected) {
  EXPECT_EQ(Sniff("<meta charset=utf-16>"), "utf-8");
  EXPECT_EQ(Sniff("<meta charset=utf-16be>"), "utf-8");
  EXPECT_EQ(Sniff("<meta charset=x-user-defined>"), "windows-1252");
}

TEST(CharsetSniff, FallbackWhenNothingIsDeclared) {
  EXPECT_EQ(Sniff("<html><body>plain"), "gbk");
  EXPECT_EQ(Sniff("<meta charset=bogus>"), "gbk");
  EXPECT_EQ(Sniff(""), "gbk");
  EXPECT_EQ(Sniff("", "", "GB2312"), "gbk");        // the fallback is itself a label
  EXPECT_EQ(Sniff("", "", "nonsense"), "windows-1252");
}

TEST(CharsetContentType, ExtractsTheCharsetParameter) {
  EXPECT_EQ(CharsetFromContentType("text/html; charset=GBK"), "GBK");
  EXPECT_EQ(CharsetFromContentType("text/html;CHARSET=\"utf\\-8\";x=y"), "utf-8");
  EXPECT_EQ(CharsetFromContentType("text/html; x=\"a;charset=big5\"; charset=gbk"), "gbk");
  EXPECT_EQ(CharsetFromContentType("text/html; charset=gbk; charset=big5"), "gbk");
  EXPECT_EQ(CharsetFromContentType("text/html; charset"), "");
  EXPECT_EQ(CharsetFromContentType("text/html"), "");
  EXPECT_EQ(CharsetFromContentType(""), "");
}

TEST(DecodeUtf8, FollowsTheEncodingStandard) {
  auto d = [](std::string_view s) { return DecodeUtf8(Bytes(s)); };
  EXPECT_EQ(d("a\xE2\x82\xAC"), u"a\u20AC");
  EXPECT_EQ(d("\xEF\xBB\xBFx"), u"x");                      // BOM dropped
  EXPECT_EQ(d("\xF0\x9F\x98\x80"), u"\U0001F600");          // as a surrogate pair
  EXPECT_EQ(d("\xC3\x28"), u"\uFFFD(");                     // the bad byte is read again
  EXPECT_EQ(d("\xE2\x82"), u"\uFFFD");                      // cut off: one error
  EXPECT_EQ(d("\xC0\xAF"), u"\uFFFD\uFFFD");                // overlong
  EXPECT_EQ(d("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");      // surrogate
  EXPECT_EQ(d("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // above U+10FFFF
  EXPECT_EQ(d("\x80\xFF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(d(std::string_view("\0", 1)), std::u16string(1, u'\0'));
}

TEST(DecodeUtf16, BothByteOrdersWithErrors) {
  EXPECT_EQ(DecodeUtf16(Bytes(std::string_view("\xFF\xFE" "a\0\xAC\x20", 6)), false), u"a\u20AC");
  EXPECT_EQ(DecodeUtf16(Bytes(std::string_view("\xFE\xFF\0a", 4)), true), u"a");
  EXPECT_EQ(DecodeUtf16(Bytes(std::string_view("\x3D\xD8\x00\xDE", 4)), false), u"\U0001F600");
  EXPECT_EQ(DecodeUtf16(Bytes(std::string_view("\x00\xDC" "a\0", 4)), false), u"\uFFFDa");  // lone trail
  EXPECT_EQ(DecodeUtf16(Bytes(std::string_view("\x3D\xD8" "a\0", 4)), false), u"\uFFFDa");  // lone lead
  EXPECT_EQ(DecodeUtf16(Bytes(std::string_view("a\0b", 3)), false), u"a\uFFFD");            // odd byte
  EXPECT_EQ(DecodeUtf16(Bytes(std::string_view("\x3D\xD8x", 3)), false), u"\uFFFD");         // one error
}

}  // namespace
}  // namespace fw::html
