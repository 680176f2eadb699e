// The fetch against the other copies of the sample site that
// tests/tools/with-site-variants.sh serves: HTTPS with the run's own CA trusted
// (price_tls_tests) and not trusted (price_tls_untrusted_tests, the *Untrusted*
// tests), an http site that redirects to the HTTPS one, and the site in UTF-8
// declared by the header alone or by a meta tag alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/price/DocumentLoader.h"
#include "app/price/HttpClient.h"
#include "app/price/MemoryControls.h"
#include "app/price/PriceLookup.h"
#include "host/Utf8.h"
#include "tests/app/price/SiteTestSupport.h"

namespace fw {
namespace {

using Items = std::vector<std::u16string>;

std::wstring Env(const char* name) {
  const char* value = std::getenv(name);
  if (!value) return {};
  return std::wstring(value, value + std::char_traits<char>::length(value));
}

std::wstring TlsHost() { return Env("FUELWISE_TEST_TLS_SITE"); }
std::wstring TlsUrl(const std::wstring& path) { return L"https://" + TlsHost() + path; }
std::wstring RedirectUrl(const std::wstring& path) {
  return L"http://" + Env("FUELWISE_TEST_REDIRECT_SITE") + path;
}

// The site's six provinces as the index lists them (text, URL) under `origin`.
Items Provinces(const std::u16string& origin) {
  const char16_t* slugs[][2] = {{u"广东", u"guangdong"}, {u"浙江", u"zhejiang"},
                                {u"江苏", u"jiangsu"},   {u"四川", u"sichuan"},
                                {u"山东", u"shandong"},  {u"湖北", u"hubei"}};
  Items v;
  for (const auto& s : slugs) v.push_back(std::u16string(s[0]) + u" " + origin + u"/" + s[1] + u"/");
  return v;
}

// The site links of a loaded index that end in "/" (the provinces), as
// "text URL", in document order.
Items ProvinceLinks(DocumentLoader& loader, const std::u16string& origin) {
  Items v;
  for (const html::Element& e : loader.All()) {
    if (e.tagName == u"A" && e.target == u"_blank" && e.href.rfind(origin + u"/", 0) == 0 &&
        !e.href.empty() && e.href.back() == u'/') {
      v.push_back(e.innerText + u" " + e.href);
    }
  }
  return v;
}

void Load(DocumentLoader& loader, const std::wstring& url) {
  loader.Navigate(ToU16(url));
  while (loader.ReadyState() < WebBrowser::kInteractive) ASSERT_TRUE(loader.DoEvents());
}

void ExpectFailure(const FetchOutcome& outcome, FetchFailure failure, const std::wstring& finalUrl,
                   const char* what) {
  EXPECT_EQ(outcome.failure, failure) << what << ": " << Utf16ToUtf8(DescribeFailure(outcome));
  EXPECT_EQ(outcome.finalUrl, ToU16(finalUrl)) << what;
}

class TlsSiteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(TlsHost().empty()) << "run through tests/tools/with-site-variants.sh";
    ASSERT_EQ(Env("FUELWISE_TEST_CA_TRUSTED"), L"1")
        << "these tests need the CA trusted: with-site-variants.sh --trust-ca";
  }
  const std::u16string origin = u"https://" + ToU16(TlsHost());
};

TEST_F(TlsSiteTest, HttpsPagesArriveWhenTheCaIsTrusted) {
  const HttpResponse r = HttpGet(TlsUrl(L"/youjiamap.asp"));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.failure, FetchFailure::kNone);
  EXPECT_EQ(r.status, 200u);
  EXPECT_EQ(r.finalUrl, TlsUrl(L"/youjiamap.asp"));

  DocumentLoader loader;
  Load(loader, TlsUrl(L"/youjiamap.asp"));
  EXPECT_EQ(ProvinceLinks(loader, origin), Provinces(origin));
  ExpectFailure(loader.Outcome(), FetchFailure::kNone, TlsUrl(L"/youjiamap.asp"), "loader");
  EXPECT_EQ(loader.Outcome().status, 200u);

  WinHttpPageSource pages;
  const std::u16string page = pages.GetBody(ToU16(TlsUrl(L"/guangdong/guangzhou.html")), u"GBK");
  EXPECT_NE(page.find(u"<td>广州92#汽油</td><td align=\"center\">7.74元/升</td>"),
            std::u16string::npos);
  ExpectFailure(pages.LastOutcome(), FetchFailure::kNone, TlsUrl(L"/guangdong/guangzhou.html"),
                "page source");
}

TEST_F(TlsSiteTest, HttpRedirectedToHttpsIsFollowed) {
  const HttpResponse r = HttpGet(RedirectUrl(L"/guangdong/guangzhou.html?x=1"));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.status, 200u);
  EXPECT_EQ(r.finalUrl, TlsUrl(L"/guangdong/guangzhou.html?x=1"));
  EXPECT_FALSE(r.body.empty());

  // The page's relative links are read against where it came from.
  DocumentLoader loader;
  Load(loader, RedirectUrl(L"/youjiamap.asp"));
  EXPECT_EQ(ProvinceLinks(loader, origin), Provinces(origin));
  bool news = false;
  for (const html::Element& e : loader.All()) news = news || e.href == origin + u"/news/";
  EXPECT_TRUE(news) << "the relative link /news/ is not under the https origin";
  ExpectFailure(loader.Outcome(), FetchFailure::kNone, TlsUrl(L"/youjiamap.asp"), "loader");
}

TEST_F(TlsSiteTest, HttpsToHttpIsRefused) {
  // The fault sends an https page to the plain-http index of the same port:
  // followed, that would fail some other way; refused, it is never asked for.
  const std::wstring url = TlsUrl(L"/faults/to-http.asp");
  const HttpResponse r = HttpGet(url);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failure, FetchFailure::kInsecureRedirect);
  EXPECT_EQ(r.status, 302u);
  EXPECT_EQ(r.finalUrl, url);
  EXPECT_TRUE(r.body.empty());

  DocumentLoader loader;
  Load(loader, url);
  EXPECT_TRUE(loader.All().empty());
  ExpectFailure(loader.Outcome(), FetchFailure::kInsecureRedirect, url, "loader");

  WinHttpPageSource pages;
  EXPECT_EQ(pages.GetBody(ToU16(url), u"GBK"), u"");
  ExpectFailure(pages.LastOutcome(), FetchFailure::kInsecureRedirect, url, "page source");

  // The scheme is https in any case.
  const std::wstring upper = L"HTTPS://" + TlsHost() + L"/faults/to-http.asp";
  EXPECT_EQ(HttpGet(upper).failure, FetchFailure::kInsecureRedirect);
  EXPECT_EQ(HttpHandle::LiveCount(), 0);
}

// The same server, in the project's prefix, where nobody trusts the run's CA.
class UntrustedTlsSiteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(TlsHost().empty()) << "run through tests/tools/with-site-variants.sh";
    ASSERT_EQ(Env("FUELWISE_TEST_CA_TRUSTED"), L"0")
        << "these tests need the CA untrusted: with-site-variants.sh without --trust-ca";
  }
};

TEST_F(UntrustedTlsSiteTest, AnUntrustedCertificateFailsEveryFetch) {
  const std::wstring url = TlsUrl(L"/youjiamap.asp");
  const HttpResponse r = HttpGet(url);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failure, FetchFailure::kCertificateUntrusted);
  EXPECT_EQ(r.status, 0u);
  EXPECT_TRUE(r.body.empty());

  DocumentLoader loader;
  Load(loader, url);
  EXPECT_TRUE(loader.All().empty());
  ExpectFailure(loader.Outcome(), FetchFailure::kCertificateUntrusted, url, "loader");

  WinHttpPageSource pages;
  EXPECT_EQ(pages.GetBody(ToU16(TlsUrl(L"/guangdong/guangzhou.html")), u"GBK"), u"");
  ExpectFailure(pages.LastOutcome(), FetchFailure::kCertificateUntrusted,
                TlsUrl(L"/guangdong/guangzhou.html"), "page source");

  // Redirected there from plain http: the failure is the https page's.
  const HttpResponse redirected = HttpGet(RedirectUrl(L"/youjiamap.asp"));
  EXPECT_EQ(redirected.failure, FetchFailure::kCertificateUntrusted);
  EXPECT_EQ(redirected.finalUrl, url);
  EXPECT_EQ(HttpHandle::LiveCount(), 0);
}

// The lookup as the window runs it, against one copy of the site.
struct Lookup {
  // `siteRoot`: the site's origin and "/".
  explicit Lookup(std::u16string siteRoot)
      : lookup(controls.Wire(), pages, browser,
               [](std::u16string_view, int32_t, std::u16string_view) { return 1; },
               std::move(siteRoot)) {}

  // The four rows (caption | price) of the city chosen after the province.
  Items Rows(int province, int city) {
    controls.comWhere[0].SetListIndex(province);
    lookup.OnWhereChange(0);
    controls.comWhere[1].SetListIndex(city);
    lookup.OnWhereChange(1);
    Items rows;
    for (size_t i = 0; i < 4; ++i) {
      rows.push_back(controls.labinfo[i].Caption() + u"|" + controls.labPrice[i].Caption());
    }
    return rows;
  }

  MemoryPriceControls controls;
  WinHttpPageSource pages;
  DocumentLoader browser;
  PriceLookup lookup;
};

// The whole lookup against the HTTPS site: its provinces, a province's
// cities, a city's rows, as the plain site gives them.
TEST_F(TlsSiteTest, TheLookupRunsOverHttps) {
  Lookup secure(origin + u"/");
  secure.lookup.LoadProvince();
  Lookup plain(u"http://" + ToU16(SiteHost()) + u"/");
  plain.lookup.LoadProvince();
  EXPECT_EQ(secure.controls.comWhere[0].Items(),
            (Items{u"广东", u"浙江", u"江苏", u"四川", u"山东", u"湖北"}));
  EXPECT_EQ(secure.controls.ListCity[0].List(5), origin + u"/hubei/");
  const Items rows = secure.Rows(5, 2);  // 襄阳
  EXPECT_EQ(rows, plain.Rows(5, 2));
  EXPECT_EQ(rows[1], u"92#乙醇汽油:" + std::u16string(14, u' ') + u"元/升|7.69");
  EXPECT_EQ(secure.controls.Text1.Text(), origin + u"/hubei/xiangyang.html");
  EXPECT_EQ(secure.browser.Outcome().failure, FetchFailure::kNone);
  EXPECT_EQ(secure.pages.LastOutcome().failure, FetchFailure::kNone);
}

// A UTF-8 site gives the rows the GBK site gives, whether the header or the
// page itself says UTF-8; the charset the lookup names (GBK) only stands for
// pages that say nothing.
TEST(Utf8SiteTest, SameRowsAsTheGbkSite) {
  const std::wstring header = Env("FUELWISE_TEST_UTF8_HEADER_SITE");
  const std::wstring meta = Env("FUELWISE_TEST_UTF8_META_SITE");
  ASSERT_FALSE(header.empty() || meta.empty()) << "run through tests/tools/with-site-variants.sh";
  struct City {
    int province, city;
    const char* name;
  };
  const City cities[] = {{0, 0, "Guangzhou"}, {5, 2, "Xiangyang"}, {3, 0, "Chengdu"}, {5, 3, "Shiyan"}};
  Lookup gbk(u"http://" + ToU16(SiteHost()) + u"/");
  gbk.lookup.LoadProvince();
  for (const std::wstring& site : {header, meta}) {
    Lookup utf8(u"http://" + ToU16(site) + u"/");
    utf8.lookup.LoadProvince();
    EXPECT_EQ(utf8.controls.comWhere[0].Items(), gbk.controls.comWhere[0].Items());
    for (const City& c : cities) {
      const Items expected = gbk.Rows(c.province, c.city);
      EXPECT_NE(expected[1], u"|") << c.name << ": the GBK site gave no rows";
      EXPECT_EQ(utf8.Rows(c.province, c.city), expected) << c.name;
      EXPECT_EQ(utf8.pages.LastOutcome().failure, FetchFailure::kNone) << c.name;
    }
  }
  // The page itself, through the fetch the lookup uses.
  for (const std::wstring& site : {header, meta}) {
    const std::wstring page = GetBody(L"http://" + site + L"/guangdong/guangzhou.html", L"GBK");
    EXPECT_NE(page.find(L"<td>广州92#汽油</td><td align=\"center\">7.74元/升</td>"),
              std::wstring::npos);
    EXPECT_EQ(page.find(L'\xFFFD'), std::wstring::npos);
  }
}

}  // namespace
}  // namespace fw
