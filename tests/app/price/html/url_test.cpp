// What the URL suite does not pin down: the resolver object, bases that do
// not parse, and the IDNA limit the resolver documents.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/price/html/Url.h"

namespace fw::html {
namespace {

TEST(UrlResolver, OneBaseManyLinksMatchesResolveUrl) {
  UrlResolver resolver(u"http://www.example.cn/map/youjiamap.asp?x=1#top");
  for (std::u16string_view link : {u"a.html", u"/b/", u"?q", u"#f", u"", u"//h.cn", u"../../../c", u"https://s/"}) {
    EXPECT_EQ(resolver.Resolve(link), ResolveUrl(link, u"http://www.example.cn/map/youjiamap.asp?x=1#top"))
        << std::string(link.begin(), link.end());
  }
  EXPECT_EQ(resolver.Resolve(u""), u"http://www.example.cn/map/youjiamap.asp?x=1");
  EXPECT_EQ(resolver.Resolve(u"../../../c"), u"http://www.example.cn/c");
}

TEST(UrlResolver, WithoutAUsableBaseOnlyAbsoluteLinksResolve) {
  for (std::u16string_view base : {u"", u"not a url", u"http://a b/", u"/relative/only"}) {
    UrlResolver resolver(base);
    EXPECT_FALSE(resolver.Resolve(u"x.html")) << std::string(base.begin(), base.end());
    EXPECT_EQ(resolver.Resolve(u"HTTP://Example.CN:80/a"), u"http://example.cn/a");
  }
}

TEST(UrlResolver, NonAsciiHostsFailWithoutIdna) {
  // A browser would give "http://xn--fiq228c.cn/"; without IDNA the link is
  // unparsable, so a link collector keeps it as written.
  EXPECT_FALSE(ResolveUrl(u"http://\u4E2D\u6587.cn/", u""));
  // Non-ASCII elsewhere is percent-encoded as UTF-8; a lone surrogate as U+FFFD.
  EXPECT_EQ(ResolveUrl(u"/\u6CB9\u4EF7?\u7701=\u5E7F#\u5E02", u"http://h.cn/"),
            u"http://h.cn/%E6%B2%B9%E4%BB%B7?%E7%9C%81=%E5%B9%BF#%E5%B8%82");
  EXPECT_EQ(ResolveUrl(std::u16string(u"/a") + char16_t(0xD800), u"http://h.cn/"), u"http://h.cn/a%EF%BF%BD");
}

TEST(UrlResolver, LinkShapesOfOldPages) {
  EXPECT_EQ(ResolveUrl(u" \t\nhttp:\\\\h.cn\\a\\..\\b\r ", u""), u"http://h.cn/b");
  EXPECT_EQ(ResolveUrl(u"http:x.html", u"http://h.cn/d/"), u"http://h.cn/d/x.html");
  EXPECT_EQ(ResolveUrl(u"./%2e/y/%2E%2e/../z", u"http://h.cn/d/e/"), u"http://h.cn/d/z");
  EXPECT_EQ(ResolveUrl(u"http://h.cn:8080/", u""), u"http://h.cn:8080/");
  EXPECT_EQ(ResolveUrl(u"https://h.cn:443/", u""), u"https://h.cn/");
  EXPECT_EQ(ResolveUrl(u"http://0x7f.1/", u""), u"http://127.0.0.1/");
  EXPECT_EQ(ResolveUrl(u"http://[0:0::1]:80/", u""), u"http://[::1]/");
  EXPECT_EQ(ResolveUrl(u"http://u:p@h.cn/", u""), u"http://u:p@h.cn/");
  EXPECT_EQ(ResolveUrl(u"javascript:window.open('a b')", u"http://h.cn/"), u"javascript:window.open('a b')");
  EXPECT_FALSE(ResolveUrl(u"http://h.cn:65536/", u""));
  EXPECT_FALSE(ResolveUrl(u"http://", u""));
  EXPECT_FALSE(ResolveUrl(u"http://h<.cn/", u""));
}

// A stand-in for a GBK page's encoder: two code points it knows (bytes from
// the GBK table: 广 B9E3, 州 D6DD), one whose second byte is the ASCII "@"
// (U+4E02 is 81 40), and nothing else.
std::optional<std::string> FakeGbk(char32_t c) {
  switch (c) {
    case U'广': return std::string("\xB9\xE3");
    case U'州': return std::string("\xD6\xDD");
    case U'\u4E02': return std::string("\x81\x40");
    default: return std::nullopt;
  }
}

TEST(UrlResolver, QueriesTakeThePageEncodingAndEverythingElseUtf8) {
  const QueryEncoder gbk = FakeGbk;
  const std::u16string_view base = u"http://h.cn/map/youjiamap.asp";
  const struct { std::u16string_view link, href; } cases[] = {
      {u"c.asp?n=广州", u"http://h.cn/map/c.asp?n=%B9%E3%D6%DD"},
      // The path and the fragment stay UTF-8 whatever the page's encoding.
      {u"广/c.asp?n=州#广", u"http://h.cn/map/%E5%B9%BF/c.asp?n=%D6%DD#%E5%B9%BF"},
      // A trail byte in the ASCII range is that character, not an escape.
      {u"?\u4E02", u"http://h.cn/map/youjiamap.asp?%81@"},
      // What the encoding cannot hold becomes the escaped "&#N;".
      {u"?e=\U0001F600", u"http://h.cn/map/youjiamap.asp?e=%26%23128512%3B"},
      // ws, wss and non-special schemes keep UTF-8.
      {u"ws://h.cn/s?n=广", u"ws://h.cn/s?n=%E5%B9%BF"},
      {u"foo://h/s?n=广", u"foo://h/s?n=%E5%B9%BF"},
  };
  UrlResolver resolver(base, gbk);
  for (const auto& c : cases) {
    EXPECT_EQ(resolver.Resolve(c.link), c.href) << std::string(c.href.begin(), c.href.end());
    EXPECT_EQ(ResolveUrl(c.link, base, gbk), c.href);
  }
  // Without an encoder (a UTF-8 page) the query is UTF-8.
  EXPECT_EQ(ResolveUrl(u"c.asp?n=广州", base), u"http://h.cn/map/c.asp?n=%E5%B9%BF%E5%B7%9E");
}

}  // namespace
}  // namespace fw::html
