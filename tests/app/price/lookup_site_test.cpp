// The document loader and the lookup as the main window runs them, against
// the sample price site: the province index, a province's cities, a city's
// rows, the warning, and the index wait with slow, failing and missing sites.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "app/price/DocumentLoader.h"
#include "app/price/HttpClient.h"
#include "app/price/MemoryControls.h"
#include "app/price/PriceLookup.h"
#include "app/price/PriceText.h"
#include "tests/app/price/SiteTestSupport.h"

namespace fw {
namespace {

using namespace std::chrono;
using Items = std::vector<std::u16string>;

const Items kProvinces = {u"广东", u"浙江", u"江苏", u"四川", u"山东", u"湖北"};
const Items kLinkTexts = {u"广东", u"广州", u"深圳", u"珠海", u"佛山", u"浙江", u"杭州",
                          u"宁波", u"温州", u"江苏", u"南京", u"苏州", u"无锡", u"四川",
                          u"成都", u"绵阳", u"宜宾", u"山东", u"济南", u"青岛", u"烟台",
                          u"湖北", u"武汉", u"宜昌", u"襄阳", u"十堰", u"荆州"};

// The window's part in miniature: its controls, the real fetch and loader,
// and a message box that records what it was asked to show.
struct Window {
  explicit Window(std::u16string host)
      : lookup(controls.Wire(), pages, browser,
               [this](std::u16string_view prompt, int32_t flags, std::u16string_view title) {
                 shown.push_back(std::u16string(prompt) + u"|" + std::u16string(title) + u"|" +
                                 std::u16string(1, char16_t(u'0' + flags)));
                 return 1;
               },
               u"http://" + host + u"/") {}

  void ChooseProvince(int index) {
    controls.comWhere[0].SetListIndex(index);
    lookup.OnWhereChange(0);
  }
  void ChooseCity(int index) {
    controls.comWhere[1].SetListIndex(index);
    lookup.OnWhereChange(1);
  }
  Items Infos() const {
    Items v;
    for (const auto& l : controls.labinfo) v.push_back(l.Caption());
    return v;
  }
  Items Prices() const {
    Items v;
    for (const auto& l : controls.labPrice) v.push_back(l.Caption());
    return v;
  }

  MemoryPriceControls controls;
  WinHttpPageSource pages;
  DocumentLoader browser;
  Items shown;
  PriceLookup lookup;
};

std::u16string Host() { return ToU16(SiteHost()); }
std::u16string Root() { return u"http://" + Host() + u"/"; }

const std::u16string k15(15, u' ');
const std::u16string k14(14, u' ');

class LookupSiteTest : public ::testing::Test {
 protected:
  Window window{Host()};
};

TEST_F(LookupSiteTest, ProvinceIndexFromTheSite) {
  window.lookup.LoadProvince();
  const MemoryPriceControls& c = window.controls;
  EXPECT_TRUE(window.lookup.Ready());
  EXPECT_EQ(c.comWhere[0].Items(), kProvinces);
  EXPECT_EQ(c.comWhere[0].ListIndex(), 0);
  EXPECT_EQ(c.comWhere[0].Text(), u"请选择省份");
  EXPECT_EQ(c.ListCity[0].Items(),
            (Items{Root() + u"guangdong/", Root() + u"zhejiang/", Root() + u"jiangsu/",
                   Root() + u"sichuan/", Root() + u"shandong/", Root() + u"hubei/"}));
  // Every site link with target _blank, in document order; the links in the
  // comment and in the script string are not elements, the others lack the
  // target or point elsewhere.
  EXPECT_EQ(c.ListCity[2].Items(), kLinkTexts);
  ASSERT_EQ(c.ListCity[3].ListCount(), 27u);
  EXPECT_EQ(c.ListCity[3].List(1), Root() + u"guangdong/guangzhou.html");
  EXPECT_EQ(c.ListCity[3].List(24), Root() + u"hubei/xiangyang.html");
  for (const std::u16string& url : c.ListCity[3].Items()) {
    EXPECT_EQ(url.rfind(Root(), 0), 0u);
    EXPECT_EQ(url.find(u"hainan"), std::u16string::npos);
    EXPECT_EQ(url.find(u"xizang"), std::u16string::npos);
  }
  EXPECT_TRUE(window.shown.empty());
}

// The index written with markup a browser repairs (the sample site's
// repaired/youjiamap.asp, its links under /repaired/): the provinces and
// cities a browser's document gives, worked out from the HTML standard.
TEST(LookupRepairedSiteTest, ProvincesAndCitiesAsABrowserBuildsThePage) {
  Window window{Host() + u"/repaired"};
  const std::u16string root = Root() + u"repaired/";
  window.lookup.LoadProvince();
  const MemoryPriceControls& c = window.controls;
  EXPECT_EQ(c.comWhere[0].Items(), (Items{u"广东", u"浙江", u"江苏", u"四川", u"山东", u"Hubei 湖北"}));
  EXPECT_EQ(c.ListCity[0].Items(),
            (Items{root + u"guangdong/", root + u"zhejiang/", root + u"jiangsu/", root + u"sichuan/",
                   root + u"shandong/", root + u"hubei/"}));
  // Every site link in tree order: the link between the table's rows comes
  // before the table, the SVG link is none.
  EXPECT_EQ(c.ListCity[2].Items(),
            (Items{u"广东", u"广州", u"深圳", u"浙江", u"杭州", u"宁波", u"江苏", u"南京", u"苏州", u"WUXI 无锡",
                   u"宜宾", u"四川", u"成都", u"绵阳", u"山东", u"济南", u"青岛\n黄岛", u"Hubei 湖北", u"武汉"}));
  ASSERT_EQ(c.ListCity[3].ListCount(), 19u);
  EXPECT_EQ(c.ListCity[3].List(10), root + u"sichuan/yibin.html");
  struct Province {
    int index;
    Items cities;
  };
  const Province provinces[] = {
      {0, {u"广州", u"深圳"}},
      {1, {u"杭州", u"宁波"}},
      {2, {u"南京", u"苏州", u"WUXI 无锡"}},
      {3, {u"宜宾", u"成都", u"绵阳"}},
      {4, {u"济南", u"青岛\n黄岛"}},
      {5, {u"武汉"}},
  };
  for (const Province& p : provinces) {
    window.ChooseProvince(p.index);
    EXPECT_EQ(c.comWhere[1].Items(), p.cities) << "province " << p.index;
  }
  EXPECT_TRUE(window.shown.empty());
}

TEST_F(LookupSiteTest, ProvinceGivesItsCities) {
  window.lookup.LoadProvince();
  window.ChooseProvince(0);
  const MemoryPriceControls& c = window.controls;
  EXPECT_EQ(c.comWhere[1].Items(), (Items{u"广州", u"深圳", u"珠海", u"佛山"}));
  EXPECT_EQ(c.ListCity[1].Items(),
            (Items{Root() + u"guangdong/guangzhou.html", Root() + u"guangdong/shenzhen.html",
                   Root() + u"guangdong/zhuhai.html", Root() + u"guangdong/foshan.html"}));
  EXPECT_EQ(c.comWhere[1].Text(), u"请选择城市");
  window.ChooseProvince(5);
  EXPECT_EQ(c.comWhere[1].Items(), (Items{u"武汉", u"宜昌", u"襄阳", u"十堰", u"荆州"}));
}

TEST_F(LookupSiteTest, CityRows) {
  window.lookup.LoadProvince();
  window.ChooseProvince(0);
  window.ChooseCity(0);
  EXPECT_EQ(window.controls.Text1.Text(), Root() + u"guangdong/guangzhou.html");
  EXPECT_EQ(window.Infos(), (Items{u"89#汽油:" + k15 + u"元/升", u"92#汽油:" + k15 + u"元/升",
                                   u"95#汽油:" + k15 + u"元/升", u"0#柴油:" + k15 + u"元/升"}));
  EXPECT_EQ(window.Prices(), (Items{u"7.17", u"7.74", u"8.38", u"7.41"}));

  window.ChooseProvince(5);
  window.ChooseCity(2);  // 襄阳: seven-character petrol names
  EXPECT_EQ(window.controls.Text1.Text(), Root() + u"hubei/xiangyang.html");
  EXPECT_EQ(window.Infos(),
            (Items{u"89#乙醇汽油:" + k14 + u"元/升", u"92#乙醇汽油:" + k14 + u"元/升",
                   u"95#乙醇汽油:" + k14 + u"元/升", u"0#柴油:" + k15 + u"元/升"}));
  EXPECT_EQ(window.Prices(), (Items{u"7.14", u"7.69", u"8.25", u"7.38"}));
  EXPECT_TRUE(window.lookup.Ready());

  // Rows the page does not hold are shown empty, not made up from the table.
  window.ChooseCity(3);  // 十堰: two rows
  EXPECT_EQ(window.Infos(), (Items{u"92#乙醇汽油:" + k14 + u"元/升", u"0#柴油:" + k15 + u"元/升", u"", u""}));
  EXPECT_EQ(window.Prices(), (Items{u"7.71", u"7.40", u"", u""}));
  window.ChooseCity(4);  // 荆州: its table names the city 沙市
  EXPECT_EQ(window.Infos(), (Items{u"", u"", u"", u""}));
  EXPECT_EQ(window.Prices(), (Items{u"", u"", u"", u""}));
}

TEST_F(LookupSiteTest, RefreshWithoutCityWarnsOncePerPress) {
  window.lookup.LoadProvince();
  window.lookup.OnRefreshClick();
  window.lookup.OnRefreshClick();
  EXPECT_EQ(window.shown, Items(2, u"您还没有选择城市了!|提示|0"));
  EXPECT_TRUE(window.lookup.Ready());
  EXPECT_TRUE(window.controls.Text1.Text().empty());
  window.ChooseProvince(1);
  EXPECT_EQ(window.controls.comWhere[1].ListCount(), 3u);
}

// A city whose link points at a fault path: its page is read whatever the status.
TEST_F(LookupSiteTest, ErrorPagesAreStillSearched) {
  struct Fault {
    const char16_t* path;
    Items prices;
  };
  const Fault faults[] = {
      {u"faults/404.asp", {u"7.04", u"7.14", u"7.24", u"6.94"}},
      {u"faults/500.asp", {u"7.05", u"7.15", u"7.25", u"6.95"}},
      {u"faults/badgbk.asp", {u"7.77", u"7.88", u"8.09", u"7.66"}},
  };
  window.lookup.LoadProvince();
  window.ChooseProvince(0);
  for (const Fault& f : faults) {
    window.controls.ListCity[1].Clear();
    window.controls.ListCity[1].AddItem(Root() + f.path);
    window.ChooseCity(0);  // 广州
    EXPECT_EQ(window.Prices(), f.prices) << std::string(f.path, f.path + 14);
    EXPECT_EQ(window.controls.labinfo[1].Caption(), u"92#汽油:" + k15 + u"元/升");
  }
}

// A city page that did not come, or an error page without prices: no row of
// the city shown before stays, and the problem is reported. A page that came
// but holds no table (an empty answer) is read as it is: nothing found,
// nothing changed.
TEST_F(LookupSiteTest, AFailedPriceFetchLeavesNoRowsAndSaysWhy) {
  std::vector<std::optional<SiteProblem>> reported;
  window.lookup.SetProblemHandler([&](const std::optional<SiteProblem>& p) { reported.push_back(p); });
  window.lookup.LoadProvince();
  window.ChooseProvince(0);
  struct Case {
    const char16_t* path;
    std::u16string_view reason;  // "" when the page came
  };
  const Case cases[] = {{u"faults/reset.asp", u"无法读取页面"},
                        {u"no/such/page.html", u"服务器返回 HTTP 404"},
                        {u"faults/empty.asp", u""}};
  for (const Case& c : cases) {
    window.ChooseCity(1);
    const Items infos = window.Infos(), prices = window.Prices();
    ASSERT_NE(prices, Items(4, u""));
    reported.clear();
    window.controls.ListCity[1].Clear();
    window.controls.ListCity[1].AddItem(Root() + c.path);
    window.ChooseCity(0);
    EXPECT_EQ(window.controls.Text1.Text(), Root() + c.path);
    if (c.reason.empty()) {
      EXPECT_EQ(window.Infos(), infos);
      EXPECT_EQ(window.Prices(), prices);
      EXPECT_TRUE(reported.empty() || !reported.back());
    } else {
      EXPECT_EQ(window.Infos(), Items(4, u""));
      EXPECT_EQ(window.Prices(), Items(4, u""));
      ASSERT_FALSE(reported.empty());
      ASSERT_TRUE(reported.back());
      EXPECT_EQ(ProblemReason(*reported.back()), c.reason);
      EXPECT_EQ(reported.back()->site, Root() + c.path);
    }
    window.ChooseProvince(0);  // the province's own city links again
  }
  EXPECT_TRUE(window.shown.empty());
}

// The host setting may carry a path: these make the index request land on a
// fault (the server picks the fault by path; the rest is query).
TEST(LookupSiteFailureTest, ErrorIndexGivesAnEmptyBoxThatSaysWhy) {
  Window w(Host() + u"/faults/500.asp?x=");
  w.lookup.LoadProvince();
  EXPECT_TRUE(w.controls.comWhere[0].Items().empty());
  EXPECT_EQ(w.controls.comWhere[0].Text(),
            u"服务器返回 HTTP 500: http://" + Host() + u"/faults/500.asp?x=/");
  EXPECT_TRUE(w.lookup.Ready());
  EXPECT_TRUE(w.shown.empty());
}

TEST(LookupSiteFailureTest, UnreachableSiteEndsTheWaitQuickly) {
  Window w(u"127.0.0.1:" + ToU16(std::to_wstring(ClosedPort())));
  const auto t0 = steady_clock::now();
  w.lookup.LoadProvince();
  EXPECT_LT(steady_clock::now() - t0, seconds(5));
  EXPECT_TRUE(w.controls.comWhere[0].Items().empty());
  EXPECT_TRUE(w.controls.ListCity[2].Items().empty());
  EXPECT_TRUE(w.controls.comWhere[0].Text().starts_with(u"无法连接到服务器: http://127.0.0.1:"));
  EXPECT_TRUE(w.lookup.Ready());
}

// A message-only window whose timer counts its ticks.
struct TickCounter {
  TickCounter() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
      if (m == WM_TIMER) ++*reinterpret_cast<int*>(GetWindowLongPtrW(h, GWLP_USERDATA));
      return DefWindowProcW(h, m, w, l);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FuelwisePriceTickCounter";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&ticks));
    SetTimer(hwnd, 1, 50, nullptr);
  }
  ~TickCounter() { DestroyWindow(hwnd); }
  HWND hwnd;
  int ticks = 0;
};

double ThreadCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto value = [](FILETIME f) { return (uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
  return double(value(kernel) + value(user)) / 1e7;
}

TEST(LookupSiteFailureTest, SlowIndexKeepsTheWindowRunningWithoutSpinning) {
  Window w(Host() + u"/faults/slow.asp?ms=1500&x=");
  TickCounter timer;
  const double cpu0 = ThreadCpuSeconds();
  const auto t0 = steady_clock::now();
  w.lookup.LoadProvince();
  const auto took = steady_clock::now() - t0;
  const double cpu = ThreadCpuSeconds() - cpu0;
  EXPECT_GE(took, milliseconds(1400));
  EXPECT_LT(took, seconds(10));
  EXPECT_GE(timer.ticks, 5) << "the timer kept running during the wait";
  EXPECT_LT(cpu, 0.2) << "the wait must sleep, not spin";
  EXPECT_TRUE(w.lookup.Ready());
  EXPECT_TRUE(w.controls.comWhere[0].Text().starts_with(u"页面中没有省份: "));
}

TEST(LookupSiteFailureTest, QuitDuringTheWaitEndsItAndStaysPosted) {
  Window w(Host() + u"/faults/slow.asp?ms=3000&x=");
  PostQuitMessage(7);
  const auto t0 = steady_clock::now();
  w.lookup.LoadProvince();
  EXPECT_LT(steady_clock::now() - t0, seconds(2));
  EXPECT_TRUE(w.lookup.Ready());
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST(DocumentLoaderTest, NavigateReturnsAtOnceAndCompletes) {
  DocumentLoader loader;
  EXPECT_EQ(loader.ReadyState(), WebBrowser::kUninitialized);
  const auto t0 = steady_clock::now();
  loader.Navigate(ToU16(SiteUrl(L"/faults/slow.asp?ms=1000")));
  EXPECT_LT(steady_clock::now() - t0, milliseconds(500));
  EXPECT_EQ(loader.ReadyState(), WebBrowser::kLoading);
  EXPECT_TRUE(loader.All().empty());
  while (loader.ReadyState() < WebBrowser::kInteractive) ASSERT_TRUE(loader.DoEvents());
  EXPECT_EQ(loader.ReadyState(), WebBrowser::kComplete);
  EXPECT_FALSE(loader.All().empty());
}

TEST(DocumentLoaderTest, ElementsOfAPage) {
  DocumentLoader loader;
  loader.Navigate(ToU16(SiteUrl(L"/guangdong/")));
  while (loader.ReadyState() < WebBrowser::kInteractive) ASSERT_TRUE(loader.DoEvents());
  Items cities;
  for (const html::Element& e : loader.All()) {
    if (e.tagName == u"A" && e.target == u"_blank") cities.push_back(e.innerText);
  }
  EXPECT_EQ(cities, (Items{u"广州油价", u"深圳油价", u"珠海油价", u"佛山油价"}));
  // The site answers "/guangdong" with a redirect to "/guangdong/": links
  // resolve against where the page came from.
  DocumentLoader moved;
  moved.Navigate(ToU16(SiteUrl(L"/guangdong")));
  while (moved.ReadyState() < WebBrowser::kInteractive) ASSERT_TRUE(moved.DoEvents());
  ASSERT_EQ(moved.All().size(), loader.All().size());
  for (size_t i = 0; i < moved.All().size(); ++i) EXPECT_EQ(moved.All()[i].href, loader.All()[i].href);
}

TEST(DocumentLoaderTest, NewNavigationReplacesTheOneLoading) {
  DocumentLoader loader;
  loader.Navigate(ToU16(SiteUrl(L"/faults/slow.asp?ms=2000")));
  loader.Navigate(ToU16(SiteUrl(L"/youjiamap.asp")));
  while (loader.ReadyState() < WebBrowser::kInteractive) ASSERT_TRUE(loader.DoEvents());
  EXPECT_EQ(loader.LocationURL(), ToU16(SiteUrl(L"/youjiamap.asp")));
  size_t links = 0;
  for (const html::Element& e : loader.All()) links += e.tagName == u"A";
  EXPECT_GT(links, 25u);
}

// A page fetched ahead: nothing shows before the Navigate, the Navigate to
// the same URL asks the site nothing more, and it ends as a Navigate alone
// would, whatever the site does.
TEST(DocumentLoaderTest, AFetchAheadEndsAsTheNavigateAloneWould) {
  struct Case {
    const char* what;
    std::wstring url;
    int receiveMs;
    bool elements;  // the document has elements
  };
  const std::wstring down = L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/youjiamap.asp";
  const Case cases[] = {
      {"the index", SiteUrl(L"/youjiamap.asp"), 30000, true},
      {"an error status: its page", SiteUrl(L"/faults/500.asp"), 30000, true},
      {"a site that is down", down, 30000, false},
      {"a time-out", SiteUrl(L"/faults/stall.asp?ms=2500"), 400, false},
  };
  auto parts = [](DocumentLoader& loader) {
    while (loader.ReadyState() < WebBrowser::kInteractive) EXPECT_TRUE(loader.DoEvents());
    Items v;
    for (const html::Element& e : loader.All()) v.push_back(e.tagName + u"|" + e.href + u"|" + e.innerText);
    return v;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HttpLimits limits;
    limits.receiveMs = c.receiveMs;
    DocumentLoader alone;
    alone.SetLimits(limits);
    alone.Navigate(ToU16(c.url));
    const Items expected = parts(alone);
    EXPECT_EQ(!expected.empty(), c.elements);

    ClearRequestLog();
    DocumentLoader ahead;
    ahead.SetLimits(limits);
    ahead.Prefetch(ToU16(c.url));
    Sleep(c.receiveMs < 1000 ? 800 : 300);  // long enough for the fetch to end
    EXPECT_EQ(ahead.ReadyState(), WebBrowser::kUninitialized);
    EXPECT_TRUE(ahead.All().empty());
    EXPECT_TRUE(ahead.LocationURL().empty());
    ahead.Navigate(ToU16(c.url));
    EXPECT_EQ(parts(ahead), expected);
    if (c.url != down) {
      EXPECT_EQ(RequestLog().size(), 1u);
    }
  }
}

TEST(DocumentLoaderTest, AFetchAheadOfAnotherPageIsDropped) {
  DocumentLoader loader;
  loader.Prefetch(ToU16(SiteUrl(L"/faults/slow.asp?ms=2000")));
  const auto t0 = steady_clock::now();
  loader.Navigate(ToU16(SiteUrl(L"/youjiamap.asp")));
  while (loader.ReadyState() < WebBrowser::kInteractive) ASSERT_TRUE(loader.DoEvents());
  EXPECT_LT(steady_clock::now() - t0, milliseconds(1500));
  size_t links = 0;
  for (const html::Element& e : loader.All()) links += e.tagName == u"A";
  EXPECT_GT(links, 25u);
}

TEST(DocumentLoaderTest, AbandonedFetchesReleaseTheirHandles) {
  {
    DocumentLoader loader;
    loader.Navigate(ToU16(SiteUrl(L"/faults/slow.asp?ms=500")));
    DocumentLoader ahead;
    ahead.Prefetch(ToU16(SiteUrl(L"/faults/slow.asp?ms=500")));
  }  // destroyed while loading: the workers finish alone
  const auto deadline = steady_clock::now() + seconds(10);
  while (HttpHandle::LiveCount() != 0 && steady_clock::now() < deadline) Sleep(50);
  EXPECT_EQ(HttpHandle::LiveCount(), 0);
}

}  // namespace
}  // namespace fw
