// The WinHTTP client against the sample price site (FUELWISE_TEST_SITE):
// decoding, the no-cache header and method on the wire, and every fault path
// ending in a result rather than a hang, a crash or a dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/price/DocumentLoader.h"
#include "app/price/HttpClient.h"
#include "app/price/MemoryControls.h"
#include "app/price/PriceLookup.h"
#include "app/price/PriceText.h"
#include "host/Utf8.h"
#include "tests/app/price/SiteTestSupport.h"

namespace fw {
namespace {

using namespace std::chrono;

TEST(HttpSiteTest, GbkPageDecodes) {
  const std::wstring page = GetBody(SiteUrl(L"/guangdong/guangzhou.html"), L"GBK");
  EXPECT_NE(page.find(L"元/升"), std::wstring::npos);
  EXPECT_NE(page.find(L"<td>广州92#汽油</td><td align=\"center\">7.74元/升</td>"),
            std::wstring::npos);
  EXPECT_EQ(page.find(L'\xFFFD'), std::wstring::npos);
  // The page's own <meta> charset (gb2312) decides, whatever the caller names.
  EXPECT_EQ(GetBody(SiteUrl(L"/guangdong/guangzhou.html"), L"windows-1252"), page);
  EXPECT_EQ(GetBody(SiteUrl(L"/guangdong/guangzhou.html"), L"utf-8"), page);
}

// A page that names no charset anywhere is read in the one the caller names,
// as a browser reads it ("GBK", " gb2312 ", "x-gbk" are all GBK).
TEST(HttpSiteTest, TheCallersCharsetServesPagesThatNameNone) {
  const std::wstring url = SiteUrl(L"/faults/undeclared.asp");
  const std::wstring page = GetBody(url, L"GBK");
  EXPECT_NE(page.find(L"7.04元/升"), std::wstring::npos);
  EXPECT_EQ(GetBody(url, L" gb2312 "), page);
  EXPECT_EQ(GetBody(url, L"x-gbk"), page);
  // The same bytes read in another charset are other text.
  const std::wstring latin = GetBody(url, L"windows-1252");
  EXPECT_FALSE(latin.empty());
  EXPECT_EQ(latin.find(L"元/升"), std::wstring::npos);
}

// A name that is no charset (or none the system decodes) leaves GBK, the
// site's own encoding, rather than no text at all.
TEST(HttpSiteTest, UnknownCharsetMeansGbk) {
  const std::wstring url = SiteUrl(L"/faults/undeclared.asp");
  const std::wstring page = GetBody(url, L"GBK");
  ASSERT_NE(page.find(L"7.04元/升"), std::wstring::npos);
  EXPECT_EQ(GetBody(url, L"no-such-charset"), page);
  EXPECT_EQ(GetBody(url, L""), page);
  EXPECT_EQ(GetBody(url, L"中文"), page);
  EXPECT_EQ(GetBody(url, L"x-user-defined"), page);
}

TEST(HttpSiteTest, EveryCallReachesTheServerWithGetAndNoCache) {
  ClearRequestLog();
  const std::wstring url = SiteUrl(L"/hubei/wuhan.html");
  const std::wstring first = GetBody(url, L"GBK");
  const std::wstring second = GetBody(url, L"GBK");
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(first, second);
  const std::vector<std::string> log = RequestLog();
  ASSERT_EQ(log.size(), 2u);
  for (const std::string& line : log) EXPECT_EQ(line, "GET\t/hubei/wuhan.html\t0");
}

TEST(HttpSiteTest, EmptyBodyGivesEmptyText) {
  EXPECT_EQ(GetBody(SiteUrl(L"/faults/empty.asp"), L"GBK"), L"");
  const HttpResponse r = HttpGet(SiteUrl(L"/faults/empty.asp"));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.status, 200u);
  EXPECT_TRUE(r.body.empty());
}

TEST(HttpSiteTest, ConnectionResetGivesEmptyText) {
  const auto t0 = steady_clock::now();
  EXPECT_EQ(GetBody(SiteUrl(L"/faults/reset.asp"), L"GBK"), L"");
  EXPECT_LT(steady_clock::now() - t0, seconds(10));
  EXPECT_FALSE(HttpGet(SiteUrl(L"/faults/reset.asp")).ok);
}

TEST(HttpSiteTest, ErrorStatusBodiesAreDecodedAndReturned) {
  const HttpResponse notFound = HttpGet(SiteUrl(L"/faults/404.asp"));
  EXPECT_TRUE(notFound.ok);
  EXPECT_EQ(notFound.status, 404u);
  const std::wstring page404 = GetBody(SiteUrl(L"/faults/404.asp"), L"GBK");
  EXPECT_NE(page404.find(L"7.04元/升"), std::wstring::npos);
  const std::wstring page500 = GetBody(SiteUrl(L"/faults/500.asp"), L"GBK");
  EXPECT_NE(page500.find(L"6.95元/升"), std::wstring::npos);
  // A missing file is an error status with a body like any other.
  EXPECT_EQ(HttpGet(SiteUrl(L"/no/such/page.html")).status, 404u);
}

TEST(HttpSiteTest, SlowAnswerStillArrives) {
  const auto t0 = steady_clock::now();
  const std::wstring page = GetBody(SiteUrl(L"/faults/slow.asp?ms=3000"), L"GBK");
  const auto took = steady_clock::now() - t0;
  EXPECT_FALSE(page.empty());
  EXPECT_GE(took, milliseconds(2900));
}

TEST(HttpSiteTest, InvalidGbkNeverBreaksTheRest) {
  const std::wstring page = GetBody(SiteUrl(L"/faults/badgbk.asp"), L"GBK");
  EXPECT_NE(page.find(L'\xFFFD'), std::wstring::npos) << "bad bytes show as U+FFFD";
  const std::wstring table = ToWide(FindStrMulti(ToU16(page), kTableStart, kTableEnd, u""));
  const auto rows = ExtractPriceRows(ToU16(table), u"广州");
  const char16_t* prices[] = {u"7.77", u"7.88", u"8.09", u"7.66"};
  for (size_t i = 0; i < 4; ++i) {
    ASSERT_TRUE(rows[i].price) << "row " << i;
    EXPECT_EQ(*rows[i].price, prices[i]) << "row " << i;
  }
}

// How each fetch ended, as the window will tell the user: the kind, the
// status, where it ended. An error status keeps its page.
TEST(HttpSiteTest, EachFailureHasItsKind) {
  struct Case {
    const char* what;
    std::wstring url;
    int receiveMs;
    bool ok;
    FetchFailure failure;
    DWORD status;
    std::wstring finalUrl;  // "" for the URL asked for
  };
  const std::wstring closed = L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/youjiamap.asp";
  const Case cases[] = {
      {"a page", SiteUrl(L"/guangdong/guangzhou.html"), 30000, true, FetchFailure::kNone, 200, L""},
      {"404 with its page", SiteUrl(L"/faults/404.asp"), 30000, true, FetchFailure::kHttpStatus, 404, L""},
      {"500 with its page", SiteUrl(L"/faults/500.asp"), 30000, true, FetchFailure::kHttpStatus, 500, L""},
      {"a missing page", SiteUrl(L"/no/such/page.html"), 30000, true, FetchFailure::kHttpStatus, 404, L""},
      {"nothing listening", closed, 30000, false, FetchFailure::kCannotConnect, 0, L""},
      {"a name that does not resolve", L"http://fuelwise-test.invalid/youjiamap.asp", 30000, false,
       FetchFailure::kNameNotResolved, 0, L""},
      {"no answer within the limit", SiteUrl(L"/faults/slow.asp?ms=4000"), 500, false,
       FetchFailure::kTimeout, 0, L""},
      {"half an answer within the limit", SiteUrl(L"/faults/stall.asp?ms=4000"), 500, false,
       FetchFailure::kTimeout, 200, L""},
      {"a reset", SiteUrl(L"/faults/reset.asp"), 30000, false, FetchFailure::kOther, 0, L""},
      {"not http", L"ftp://127.0.0.1/x", 30000, false, FetchFailure::kOther, 0, L""},
      {"a folder without its slash", SiteUrl(L"/guangdong"), 30000, true, FetchFailure::kNone, 200,
       SiteUrl(L"/guangdong/")},
      {"a redirect loop", SiteUrl(L"/faults/loop.asp"), 30000, false, FetchFailure::kOther, 302, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HttpLimits limits;
    limits.receiveMs = c.receiveMs;
    const auto t0 = steady_clock::now();
    const HttpResponse r = HttpGet(c.url, limits);
    EXPECT_LT(steady_clock::now() - t0, seconds(3)) << "no failure here should take long";
    EXPECT_EQ(r.ok, c.ok);
    EXPECT_EQ(r.failure, c.failure) << Utf16ToUtf8(DescribeFailure(OutcomeOf(r)));
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.finalUrl, c.finalUrl.empty() ? c.url : c.finalUrl);
    EXPECT_EQ(r.body.empty(), !c.ok);
  }
  EXPECT_EQ(HttpHandle::LiveCount(), 0);
}

// A redirect loop is given up after ten redirects: eleven requests.
TEST(HttpSiteTest, RedirectsAreFollowedTenTimesAtMost) {
  ClearRequestLog();
  EXPECT_FALSE(HttpGet(SiteUrl(L"/faults/loop.asp")).ok);
  EXPECT_EQ(RequestLog(), std::vector<std::string>(11, "GET\t/faults/loop.asp\t0"));
  ClearRequestLog();
  HttpLimits none;
  none.maxRedirects = 0;
  const HttpResponse r = HttpGet(SiteUrl(L"/guangdong"), none);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.status, 301u);
  EXPECT_EQ(RequestLog().size(), 1u);
}

// The page source and the loader keep the outcome for the window.
TEST(HttpSiteTest, PageSourceAndLoaderReportTheOutcome) {
  const std::wstring closed = L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/";
  WinHttpPageSource pages;
  EXPECT_EQ(pages.LastOutcome().failure, FetchFailure::kNone);
  EXPECT_NE(pages.GetBody(ToU16(SiteUrl(L"/faults/404.asp")), u"GBK").find(u"7.04元/升"),
            std::u16string::npos);
  EXPECT_EQ(pages.LastOutcome().failure, FetchFailure::kHttpStatus);
  EXPECT_EQ(pages.LastOutcome().status, 404u);
  EXPECT_EQ(DescribeFailure(pages.LastOutcome()), u"服务器返回 HTTP 404");
  EXPECT_EQ(pages.GetBody(ToU16(closed), u"GBK"), u"");
  EXPECT_EQ(pages.LastOutcome().failure, FetchFailure::kCannotConnect);
  EXPECT_EQ(pages.LastOutcome().finalUrl, ToU16(closed));
  EXPECT_FALSE(pages.GetBody(ToU16(SiteUrl(L"/guangdong")), u"GBK").empty());
  EXPECT_EQ(pages.LastOutcome().failure, FetchFailure::kNone);
  EXPECT_EQ(pages.LastOutcome().finalUrl, ToU16(SiteUrl(L"/guangdong/")));

  DocumentLoader loader;
  EXPECT_EQ(loader.Outcome().failure, FetchFailure::kNone);
  const struct {
    std::wstring url;
    FetchFailure failure;
    uint32_t status;
  } loads[] = {
      {closed, FetchFailure::kCannotConnect, 0},
      {SiteUrl(L"/faults/500.asp"), FetchFailure::kHttpStatus, 500},
      {SiteUrl(L"/youjiamap.asp"), FetchFailure::kNone, 200},
      {L"http://fuelwise-test.invalid/", FetchFailure::kNameNotResolved, 0},
  };
  for (const auto& load : loads) {
    loader.Navigate(ToU16(load.url));
    while (loader.ReadyState() < WebBrowser::kInteractive) ASSERT_TRUE(loader.DoEvents());
    EXPECT_EQ(loader.Outcome().failure, load.failure) << Utf16ToUtf8(ToU16(load.url));
    EXPECT_EQ(loader.Outcome().status, load.status) << Utf16ToUtf8(ToU16(load.url));
    EXPECT_EQ(loader.Outcome().finalUrl, ToU16(load.url));
  }
}

TEST(HttpSiteTest, UnreachableHostFailsQuickly) {
  const auto t0 = steady_clock::now();
  EXPECT_EQ(GetBody(L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/youjiamap.asp",
                    L"GBK"),
            L"");
  EXPECT_LT(steady_clock::now() - t0, seconds(5));
}

TEST(HttpSiteTest, UrlsThatAreNotHttpGiveEmptyText) {
  EXPECT_EQ(GetBody(L"", L"GBK"), L"");
  EXPECT_EQ(GetBody(L"not a url", L"GBK"), L"");
  EXPECT_EQ(GetBody(L"ftp://127.0.0.1/x", L"GBK"), L"");
  EXPECT_EQ(GetBody(L"file:///c:/windows/win.ini", L"GBK"), L"");
  EXPECT_EQ(GetBody(L"http:///path", L"GBK"), L"");
}

TEST(HttpSiteTest, OversizedBodyCountsAsFailed) {
  HttpLimits small;
  small.maxBody = 100;
  EXPECT_FALSE(HttpGet(SiteUrl(L"/guangdong/guangzhou.html"), small).ok);
  small.maxBody = 1 << 20;
  EXPECT_TRUE(HttpGet(SiteUrl(L"/guangdong/guangzhou.html"), small).ok);
}

TEST(HttpSiteTest, NoHandleOutlivesAFetch) {
  for (int i = 0; i < 20; ++i) {
    GetBody(SiteUrl(L"/sichuan/chengdu.html"), L"GBK");
    GetBody(SiteUrl(L"/faults/reset.asp"), L"GBK");
    GetBody(L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/", L"GBK");
  }
  EXPECT_EQ(HttpHandle::LiveCount(), 0);
}

// Bytes that are not GBK become U+FFFD, under Wine (no GB18030 code page,
// and a GBK one that gives "?") as on Windows; the text around them survives.
TEST(DecodeBytesTest, InvalidGbkBecomesReplacementCharacters) {
  using Bytes = std::vector<uint8_t>;
  EXPECT_EQ(BytesToBstr(Bytes{'a', 0xD4, 0xAA}, L"GBK"), L"a元");
  EXPECT_EQ(BytesToBstr(Bytes{'a', 0xFF, 'b'}, L"GBK"), L"a\xFFFD" L"b");
  EXPECT_EQ(BytesToBstr(Bytes{'a', 0x81, 0x20, 'b'}, L"GBK"), L"a\xFFFD b");
  EXPECT_EQ(BytesToBstr(Bytes{'a', 0xB9}, L"GBK"), L"a\xFFFD");
  EXPECT_EQ(BytesToBstr(Bytes{0x81, 0x30, 0x81}, L"GBK"), L"\xFFFD");
  // Four-byte sequences survive the "GBK" name: 0x81 0x30 0x81 0x30 is U+0080.
  EXPECT_EQ(BytesToBstr(Bytes{0x81, 0x30, 0x81, 0x30}, L"GBK"), L"\x0080");
  EXPECT_EQ(BytesToBstr(Bytes{0x95, 0x32, 0x82, 0x36}, L"gb18030"), L"\xD840\xDC00");
  // GBK's single byte 0x80 is the euro sign.
  EXPECT_EQ(BytesToBstr(Bytes{0x80}, L"GBK"), L"\x20AC");
}

TEST(DecodeBytesTest, UnicodeCharsets) {
  EXPECT_EQ(BytesToBstr(std::vector<uint8_t>{0xEF, 0xBB, 0xBF, 0xE5, 0x85, 0x83, 0xFF}, L"utf-8"),
            L"元\xFFFD");
  EXPECT_EQ(BytesToBstr(std::vector<uint8_t>{0x43, 0x51, 0x61}, L"utf-16le"), L"元\xFFFD");
  EXPECT_EQ(BytesToBstr(std::vector<uint8_t>{0x51, 0x43}, L"utf-16be"), L"元");
  EXPECT_EQ(BytesToBstr({}, L"GBK"), L"");
}

TEST(EncodeCodePointTest, GbkBytesAndNothingForWhatGbkCannotHold) {
  // Bytes from the GBK table: 广 B9E3, 州 D6DD; U+4E02 has the ASCII trail byte 40.
  EXPECT_EQ(EncodeCodePoint(U'广', 936), std::optional<std::string>("\xB9\xE3"));
  EXPECT_EQ(EncodeCodePoint(U'州', 54936), std::optional<std::string>("\xD6\xDD"));
  EXPECT_EQ(EncodeCodePoint(U'\u4E02', 936), std::optional<std::string>("\x81\x40"));
  EXPECT_EQ(EncodeCodePoint(U'a', 936), std::optional<std::string>("a"));
  // No best-fit look-alike: a character outside the table is not representable.
  EXPECT_EQ(EncodeCodePoint(U'\u0E01', 936), std::nullopt);  // Thai ko kai
  EXPECT_EQ(EncodeCodePoint(U'\u00E9', 1252), std::optional<std::string>("\xE9"));
  EXPECT_EQ(EncodeCodePoint(U'\u0101', 1252), std::nullopt);  // a with macron: no best fit to "a"
  EXPECT_EQ(EncodeCodePoint(0xD800, 936), std::nullopt);
  EXPECT_EQ(EncodeCodePoint(0x110000, 936), std::nullopt);
}

}  // namespace
}  // namespace fw
