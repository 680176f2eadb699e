// The flat element list: which elements exist, their order, link URLs,
// targets and innerText, and robustness on unclosed and deeply nested markup.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <optional>
#include <string>
#include <vector>

#include "app/price/html/Document.h"
#include "app/price/html/Tree.h"
#include "tests/app/price/html/Json.h"

namespace fw::html {
namespace {

constexpr std::u16string_view kPage = u"http://www.example.cn/map/youjiamap.asp";

std::vector<Element> Build(std::u16string_view html, std::u16string_view url = kPage) {
  return BuildElementList(html, url);
}

std::u16string TagNames(const std::vector<Element>& elements) {
  std::u16string s;
  for (const Element& e : elements) s += (s.empty() ? u"" : u" ") + e.tagName;
  return s;
}

std::vector<Element> Links(const std::vector<Element>& elements) {
  std::vector<Element> out;
  for (const Element& e : elements)
    if (e.tagName == u"A") out.push_back(e);
  return out;
}

const Element& First(const std::vector<Element>& elements, std::u16string_view tag) {
  for (const Element& e : elements)
    if (e.tagName == tag) return e;
  static const Element kNone{};
  ADD_FAILURE() << "no element " << std::string(tag.begin(), tag.end());
  return kNone;
}

TEST(ElementList, EveryElementOfTheTreeInTreeOrder) {
  auto els = Build(u"<!DOCTYPE html><html><head><title>t</title></head><body>"
                   u"<div><a href=a>x</a><img src=i><br></div><p>y</body></html>");
  EXPECT_EQ(TagNames(els), u"HTML HEAD TITLE BODY DIV A IMG BR P");
  // Elements the markup leaves out exist in the tree, as in a browser's document.
  EXPECT_EQ(TagNames(Build(u"<table><tr><td>x</table>")), u"HTML HEAD BODY TABLE TBODY TR TD");
  // A second <body> or <html> only adds attributes in a browser.
  EXPECT_EQ(TagNames(Build(u"<body><body><html><head><p>")), u"HTML HEAD BODY P");
  // "</br>" is a <br>, and "</p>" with no open paragraph an empty one.
  EXPECT_EQ(TagNames(Build(u"<i>a</br>b</p></i>")), u"HTML HEAD BODY I BR P");
}

TEST(ElementList, TagsInCommentsScriptsAndTextElementsDoNotExist) {
  auto els = Build(u"<!-- <a href=c1>x</a> -->"
                   u"<script>document.write('<a href=\"s\">s</a>')</script>"
                   u"<style>/*<a href=st>*/</style>"
                   u"<title><a href=t></title><textarea><a href=ta></textarea>"
                   u"<noscript><a href=ns>n</a></noscript>"
                   u"<!--><a href=real>r</a>");
  auto links = Links(els);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0].href, u"http://www.example.cn/map/real");
  // The head ends at the first element that cannot stand in it.
  EXPECT_EQ(TagNames(els), u"HTML HEAD SCRIPT STYLE TITLE BODY TEXTAREA NOSCRIPT A");
  // Those elements report their text as written.
  EXPECT_EQ(First(els, u"SCRIPT").innerText, u"document.write('<a href=\"s\">s</a>')");
  EXPECT_EQ(First(els, u"TITLE").innerText, u"<a href=t>");
}

TEST(ElementList, HrefResolvesAgainstThePageUrl) {
  auto links = Links(Build(u"<a href='city.html'>1</a><a href=\"/gd/\">2</a><a href=../x?q#f>3</a>"
                           u"<a href='//other.cn/p'>4</a><a href=' http://EXAMPLE.cn:80/a/./b/../c '>5</a>"
                           u"<a href=''>6</a><a>7</a><a href=\"javascript:void(0)\">8</a>"
                           u"<a href=\"mailto:x@y.cn\">9</a>"));
  ASSERT_EQ(links.size(), 9u);
  EXPECT_EQ(links[0].href, u"http://www.example.cn/map/city.html");
  EXPECT_EQ(links[1].href, u"http://www.example.cn/gd/");
  EXPECT_EQ(links[2].href, u"http://www.example.cn/x?q#f");
  EXPECT_EQ(links[3].href, u"http://other.cn/p");
  EXPECT_EQ(links[4].href, u"http://example.cn/a/c");
  EXPECT_EQ(links[5].href, u"http://www.example.cn/map/youjiamap.asp");
  EXPECT_EQ(links[6].href, u"");  // no href attribute
  EXPECT_EQ(links[7].href, u"javascript:void(0)");
  EXPECT_EQ(links[8].href, u"mailto:x@y.cn");
}

TEST(ElementList, UnparsableHrefIsKeptAsWritten) {
  auto links = Links(Build(u"<a href='http://a b/'>1</a><a href='http://[::1/'>2</a><a href='x'>3</a>"));
  EXPECT_EQ(links[0].href, u"http://a b/");
  EXPECT_EQ(links[1].href, u"http://[::1/");
  // With no usable page URL a relative link cannot resolve either.
  auto noBase = Links(Build(u"<a href='x.html'>1</a><a href='http://h/'>2</a>", u""));
  EXPECT_EQ(noBase[0].href, u"x.html");
  EXPECT_EQ(noBase[1].href, u"http://h/");
}

TEST(ElementList, ReferencesInHrefAreDecodedTheAttributeWay) {
  auto links = Links(Build(u"<a href='s.asp?a=1&amp;b=2'>1</a><a href='s.asp?a=1&copy=2'>2</a>"
                           u"<a href='s.asp?a=1&copy;'>3</a><a href='s.asp?x=&#37;41'>4</a>"));
  EXPECT_EQ(links[0].href, u"http://www.example.cn/map/s.asp?a=1&b=2");
  EXPECT_EQ(links[1].href, u"http://www.example.cn/map/s.asp?a=1&copy=2");
  EXPECT_EQ(links[2].href, u"http://www.example.cn/map/s.asp?a=1%C2%A9");
  EXPECT_EQ(links[3].href, u"http://www.example.cn/map/s.asp?x=%41");
}

TEST(ElementList, FirstBaseHrefIsTheBaseOfEveryLink) {
  auto links = Links(Build(u"<a href=before>0</a><base target=_top><base href='/site/'>"
                           u"<base href='http://ignored/'><a href=after>1</a><area href=ar>"));
  EXPECT_EQ(links[0].href, u"http://www.example.cn/site/before");
  EXPECT_EQ(links[1].href, u"http://www.example.cn/site/after");
  auto area = Build(u"<base href='http://h.cn/d/'><map><area href='m.html' target=_blank></map>");
  EXPECT_EQ(First(area, u"AREA").href, u"http://h.cn/d/m.html");
  EXPECT_EQ(First(area, u"AREA").target, u"_blank");
  // An unusable base leaves the page URL in charge.
  EXPECT_EQ(Links(Build(u"<base href='http://a b/'><a href=x>"))[0].href, u"http://www.example.cn/map/x");
}

TEST(ElementList, TargetAndQuotingAsWritten) {
  auto links = Links(Build(u"<A HREF=a.html TARGET=_blank>1</A><a target='_Blank' href=\"b\">2</a>"
                           u"<a href=c target>3</a><a href=d target=\" _blank\" target=_self>4</a>"));
  EXPECT_EQ(links[0].target, u"_blank");
  EXPECT_EQ(links[0].href, u"http://www.example.cn/map/a.html");
  EXPECT_EQ(links[1].target, u"_Blank");
  EXPECT_EQ(links[2].target, u"");
  EXPECT_EQ(links[3].target, u" _blank");
  EXPECT_EQ(First(Build(u"<div target=x>"), u"DIV").target, u"x");
}

TEST(InnerText, InlineMarkupWhiteSpaceAndBreaks) {
  auto text = [](std::u16string_view html) { return First(Build(html), u"A").innerText; };
  EXPECT_EQ(text(u"<a href=x>\n  <b>Guang</b><i>zhou</i>  city\t</a>"), u"Guangzhou city");
  EXPECT_EQ(text(u"<a> a <span> b </span> c </a>"), u"a b c");
  EXPECT_EQ(text(u"<a>line1<br>line2</a>"), u"line1\nline2");
  EXPECT_EQ(text(u"<a>x <br> <br/> y</a>"), u"x\n\ny");
  // A <br> gives a line feed that is not trimmed away, as the required line
  // breaks of blocks are.
  EXPECT_EQ(text(u"<a><br>x<br></a>"), u"\nx\n");
  EXPECT_EQ(text(u"<a>&nbsp;x&nbsp;</a>"), u"\u00A0x\u00A0");
  EXPECT_EQ(text(u"<a>x<script>no</script><style>no</style>y</a>"), u"xy");
  EXPECT_EQ(text(u"<a>1 &lt; 2<img alt=pic>3</a>"), u"1 < 23");
  static constexpr char16_t kControls[] = u"<a>x\uFDD0y\0z</a>";  // a marker code point and a NUL
  EXPECT_EQ(text(std::u16string_view(kControls, std::size(kControls) - 1)), u"x\uFFFDyz");
  EXPECT_EQ(text(u"<a></a>"), u"");
}

TEST(InnerText, BlocksStartNewLines) {
  EXPECT_EQ(First(Build(u"<a href=x><div>a</div> <div> b </div>c</a>"), u"A").innerText, u"a\nb\nc");
  EXPECT_EQ(First(Build(u"<div><p>a</p> <p>b</p></div>"), u"DIV").innerText, u"a\n\nb");
  EXPECT_EQ(First(Build(u"<ul><li>a<li>b</ul>"), u"UL").innerText, u"a\nb");
  EXPECT_EQ(First(Build(u"<div><h1>T</h1>x<hr>y</div>"), u"DIV").innerText, u"T\nx\ny");
  EXPECT_EQ(First(Build(u"<table><tr><td> a </td><td>b</td></tr><tr><td>c</td></tr></table>"), u"TABLE").innerText,
            u"a\tb\nc");
}

TEST(ContentEnds, ImpliedEndsCloseUnclosedLinks) {
  auto links = Links(Build(u"<a href=1>one<a href=2>two</a>"));
  EXPECT_EQ(links[0].innerText, u"one");
  EXPECT_EQ(links[1].innerText, u"two");
  links = Links(Build(u"<table><tr><td><a href=1>t</td><td>u</td></tr></table>after"));
  EXPECT_EQ(links[0].innerText, u"t");
  links = Links(Build(u"<p><a href=1>t</p>rest"));
  EXPECT_EQ(links[0].innerText, u"t");
  links = Links(Build(u"<ul><li><a href=1>x<li>y</ul>"));
  EXPECT_EQ(links[0].innerText, u"x");
  links = Links(Build(u"<table><tr><td><a href=1>x<tr><td>y</table>"));
  EXPECT_EQ(links[0].innerText, u"x");
  // The end of input ends everything.
  auto els = Build(u"<div><a href=x>t");
  EXPECT_EQ(First(els, u"A").innerText, u"t");
  EXPECT_EQ(First(els, u"DIV").innerText, u"t");
}

TEST(ContentEnds, StrayEndTagsAreIgnoredAndScopesHold) {
  auto els = Build(u"</div></span><a href=x>a</b>b</a>c");
  EXPECT_EQ(First(els, u"A").innerText, u"ab");
  // An end tag does not reach out of a table cell.
  els = Build(u"<div><table><tr><td>x</div>y</td></tr></table>z</div>");
  EXPECT_EQ(First(els, u"TD").innerText, u"xy");
  EXPECT_EQ(First(els, u"DIV").innerText, u"xy\nz");
}

TEST(Robustness, DeepAndUnclosedMarkupStaysBounded) {
  std::u16string deep;
  for (int i = 0; i < 20000; ++i) deep += u"<div>x";
  auto els = Build(deep);
  ASSERT_EQ(els.size(), 20003u);  // with html, head and body
  size_t total = 0;
  for (const Element& e : els) total += e.innerText.size();
  EXPECT_LE(total, 8 * deep.size() + (1u << 16));
  EXPECT_EQ(els.back().innerText, u"x");
  // A link below very deep nesting keeps its own text.
  std::u16string nested;
  for (int i = 0; i < 2000; ++i) nested += u"<span>";
  auto deepLink = Build(nested + u"<a href=x>link</a>tail");
  EXPECT_EQ(First(deepLink, u"A").innerText, u"link");

  std::u16string links;
  for (int i = 0; i < 10000; ++i) links += u"<a href=" + std::u16string(1, char16_t(u'a' + i % 26)) + u">t";
  auto l = Links(Build(links));
  ASSERT_EQ(l.size(), 10000u);
  EXPECT_EQ(l[0].innerText, u"t");
  EXPECT_EQ(l[9999].href, u"http://www.example.cn/map/" + std::u16string(1, char16_t(u'a' + 9999 % 26)));

  std::u16string ends(50000, u'x');
  for (size_t i = 0; i < ends.size(); i += 10) ends.replace(i, 4, u"</a>");
  EXPECT_EQ(TagNames(Build(ends)), u"HTML HEAD BODY");
}

TEST(Robustness, TruncatedMarkupGivesNoSpuriousElements) {
  // A document always has html, head and body.
  EXPECT_EQ(TagNames(Build(u"<a href='x")), u"HTML HEAD BODY");
  EXPECT_EQ(TagNames(Build(u"<a href=x><!-- <b>")), u"HTML HEAD BODY A");
  EXPECT_EQ(TagNames(Build(u"<")), u"HTML HEAD BODY");
  EXPECT_EQ(TagNames(Build(u"")), u"HTML HEAD BODY");
}

// The sample site's index page, as the site serves it (host filled in). Its
// bytes are GBK; widened as Latin-1 the ASCII markup and URLs are intact.
TEST(SamplePage, SiteLinksAsABrowserSeesThem) {
  auto bytes = testjson::ReadSourceFile("tools/sample-site/www/youjiamap.asp");
  ASSERT_TRUE(bytes) << "cannot read the sample page (FUELWISE_SOURCE_DIR set?)";
  std::u16string text(bytes->begin(), bytes->end());
  for (char16_t& c : text) c = char16_t(static_cast<unsigned char>(c));
  for (size_t at; (at = text.find(u"__HOST__")) != std::u16string::npos;) text.replace(at, 8, u"127.0.0.1:18731");
  auto links = Links(Build(text, u"http://127.0.0.1:18731/youjiamap.asp"));

  std::vector<std::u16string> provinces;
  size_t blankSiteLinks = 0;
  for (const Element& a : links) {
    // Links inside the script and the comment are no elements.
    EXPECT_EQ(a.href.find(u"hainan"), std::u16string::npos);
    EXPECT_EQ(a.href.find(u"xizang"), std::u16string::npos);
    if (a.target != u"_blank" || a.href.find(u"http://127.0.0.1:18731/") == std::u16string::npos) continue;
    ++blankSiteLinks;
    if (a.href.back() == u'/') provinces.push_back(a.href);
  }
  EXPECT_EQ(provinces, (std::vector<std::u16string>{
                           u"http://127.0.0.1:18731/guangdong/", u"http://127.0.0.1:18731/zhejiang/",
                           u"http://127.0.0.1:18731/jiangsu/", u"http://127.0.0.1:18731/sichuan/",
                           u"http://127.0.0.1:18731/shandong/", u"http://127.0.0.1:18731/hubei/"}));
  EXPECT_EQ(blankSiteLinks, 27u);  // not the anchors in the script or the comment, nor the off-site ones
  // A relative link resolves against the page, and &amp; in a query is decoded.
  bool sawNews = false, sawSearch = false;
  for (const Element& a : links) {
    sawNews = sawNews || a.href == u"http://127.0.0.1:18731/news/";
    sawSearch = sawSearch || a.href == u"http://127.0.0.1:18731/search.asp?kw=%D3%CD%BC%DB&page=2";
  }
  EXPECT_TRUE(sawNews);
  EXPECT_TRUE(sawSearch);
}

// GBK bytes as text, the way the program's loader decodes the index page.
std::u16string DecodeGbk(const std::string& bytes) {
#ifdef _WIN32
  int n = MultiByteToWideChar(936, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  std::u16string text(size_t(n), u'\0');
  MultiByteToWideChar(936, 0, bytes.data(), int(bytes.size()), reinterpret_cast<wchar_t*>(text.data()), n);
  return text;
#else
  iconv_t cd = iconv_open("UTF-16LE", "GBK");
  std::string out(bytes.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char* o = out.data();
  size_t outLeft = out.size();
  iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return std::u16string(reinterpret_cast<const char16_t*>(out.data()), out.size() / 2);
#endif
}

// The sample site's index written with markup a browser repairs
// (tools/sample-site/generate.py, repaired_index_page): the links as a
// browser's document holds them, worked out by hand from the HTML standard.
TEST(SamplePage, RepairedMarkupAsABrowserBuildsIt) {
  auto bytes = testjson::ReadSourceFile("tools/sample-site/www/repaired/youjiamap.asp");
  ASSERT_TRUE(bytes) << "cannot read the repaired page (FUELWISE_SOURCE_DIR set?)";
  std::u16string text = DecodeGbk(*bytes);
  for (size_t at; (at = text.find(u"__HOST__")) != std::u16string::npos;) text.replace(at, 8, u"h.cn");
  const auto elements = Build(text, u"http://h.cn/repaired/youjiamap.asp");
  const std::u16string root = u"http://h.cn/repaired/";
  std::vector<std::pair<std::u16string, std::u16string>> links;
  for (const Element& e : elements)
    if (e.tagName == u"A" && e.target == u"_blank" && e.href.rfind(root, 0) == 0)
      links.emplace_back(e.href.substr(root.size()), e.innerText);
  const std::vector<std::pair<std::u16string, std::u16string>> expected = {
      // Left open in list items: each ends where the next item starts.
      {u"guangdong/", u"广东"}, {u"guangdong/guangzhou.html", u"广州"}, {u"guangdong/shenzhen.html", u"深圳"},
      // Misnested with <b>: the link keeps its text, "市" goes to a new <b> after it.
      {u"zhejiang/", u"浙江"}, {u"zhejiang/hangzhou.html", u"杭州"}, {u"zhejiang/ningbo.html", u"宁波"},
      // display:none, hidden, visibility:hidden parts; text-transform:uppercase.
      {u"jiangsu/", u"江苏"}, {u"jiangsu/nanjing.html", u"南京"}, {u"jiangsu/suzhou.html", u"苏州"},
      {u"jiangsu/wuxi.html", u"WUXI 无锡"},
      // The link between the table's rows stands before the table.
      {u"sichuan/yibin.html", u"宜宾"}, {u"sichuan/", u"四川"}, {u"sichuan/chengdu.html", u"成都"},
      {u"sichuan/mianyang.html", u"绵阳"},
      // Blocks inside links: a line each, no breaks at the ends.
      {u"shandong/", u"山东"}, {u"shandong/jinan.html", u"济南"}, {u"shandong/qingdao.html", u"青岛\n黄岛"},
      // text-transform:capitalize. (The SVG link to xizang/ is no HTML link.)
      {u"hubei/", u"Hubei 湖北"}, {u"hubei/wuhan.html", u"武汉"},
  };
  EXPECT_EQ(links, expected);
  // The SVG link is an element of the document all the same, as an SVG "a".
  size_t svgLinks = 0, table = 0, yibin = 0;
  for (size_t i = 0; i < elements.size(); ++i) {
    svgLinks += elements[i].tagName == u"a";
    if (elements[i].tagName == u"TABLE") table = i;
    if (elements[i].href == root + u"sichuan/yibin.html") yibin = i;
  }
  EXPECT_EQ(svgLinks, 1u);
  EXPECT_LT(yibin, table);
}

// The index page's tree stays within twice the page's size: the sample index
// repeated to 200 KB, as the bench reads it.
TEST(SamplePage, TreeOfTheIndexIsAtMostTwiceThePage) {
  auto one = testjson::ReadSourceFile("tools/sample-site/www/youjiamap.asp");
  ASSERT_TRUE(one) << "cannot read the sample page (FUELWISE_SOURCE_DIR set?)";
  std::string page;
  while (page.size() < 200 * 1024) page += *one;
  const Tree tree = ParseHtml(DecodeGbk(page));
  EXPECT_LE(tree.MemoryBytes(), 2 * page.size());
  EXPECT_GT(tree.nodes.size(), 9000u);  // the whole page is in it
}

TEST(ElementList, LinkQueriesAndTheBaseTakeThePageEncoding) {
  // 广 is B9 E3 in GBK; the encoder stands in for a GBK page's.
  const QueryEncoder gbk = [](char32_t c) -> std::optional<std::string> {
    if (c == U'广') return std::string("\xB9\xE3");
    return std::nullopt;
  };
  const auto links = Links(BuildElementList(
      u"<base href='/m/?b=广'><a href='c?n=广'>x</a><a href=''>y</a>", kPage, gbk));
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0].href, u"http://www.example.cn/m/c?n=%B9%E3");
  EXPECT_EQ(links[1].href, u"http://www.example.cn/m/?b=%B9%E3");
}

}  // namespace
}  // namespace fw::html
