// What the URL suite does not pin down: the resolver object, bases that do
// not parse, and the IDNA limit the resolver documents.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace fw::html
