// The lookup's three operations against in-memory controls, a scripted page
// source and a scripted browser: list order and alignment, the prompts, the
// warning, the gate flag on every way out, and captions kept on failure.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/price/MemoryControls.h"
#include "app/price/PriceLookup.h"
#include "app/price/PriceText.h"
#include "host/Failure.h"

namespace fw {
namespace {

const std::u16string kRoot = u"http://127.0.0.1:8080/";

class FakePages : public PageSource {
 public:
  std::u16string GetBody(std::u16string_view url, std::u16string_view coding) override {
    requests.emplace_back(url);
    codings.emplace_back(coding);
    if (onFetch) onFetch();
    const auto it = pages.find(std::u16string(url));
    return it == pages.end() ? std::u16string() : it->second;
  }
  FetchOutcome LastOutcome() const override { return outcome; }

  std::map<std::u16string, std::u16string> pages;
  std::vector<std::u16string> requests;
  std::vector<std::u16string> codings;
  std::function<void()> onFetch;
  FetchOutcome outcome;  // what LastOutcome reports
};

// Reports `states` in turn, one per read (the last one sticks), and counts
// the event pumps it was asked for.
class FakeBrowser : public WebBrowser {
 public:
  void Navigate(std::u16string_view url) override { navigated.emplace_back(url); }
  void SetSilent(bool s) override { silent = s; }
  int ReadyState() override {
    const int state = states[std::min(reads, states.size() - 1)];
    ++reads;
    return state;
  }
  const std::vector<html::Element>& All() override { return elements; }
  bool DoEvents() override {
    ++pumps;
    if (onPump) onPump();
    return !quitting;
  }
  FetchOutcome Outcome() const override { return outcome; }

  std::vector<int> states = {WebBrowser::kComplete};
  size_t reads = 0;
  int pumps = 0;
  bool quitting = false;
  bool silent = false;
  std::function<void()> onPump;
  std::vector<std::u16string> navigated;
  std::vector<html::Element> elements;
  FetchOutcome outcome;  // what Outcome reports
};

html::Element Link(std::u16string href, std::u16string text, std::u16string target = u"_blank") {
  return {u"A", std::move(href), std::move(text), std::move(target)};
}

struct Shown {
  std::u16string prompt;
  int32_t flags;
  std::u16string caption;
  bool readyWhileShown;
};

class PriceLookupTest : public ::testing::Test {
 protected:
  PriceLookupTest()
      : lookup(controls.Wire(), pages, browser,
               [this](std::u16string_view p, int32_t f, std::u16string_view c) {
                 shown.push_back({std::u16string(p), f, std::u16string(c), lookup.Ready()});
                 return 1;
               },
               kRoot) {}

  // The index page of the sample site, reduced to its links.
  void UseIndex() {
    browser.elements = {
        {u"HTML", u"", u"", u""},
        Link(kRoot, u"首页", u""),  // no target: not a site link
        Link(kRoot + u"guangdong/", u"广东"),
        Link(kRoot + u"guangdong/guangzhou.html", u"广州"),
        Link(kRoot + u"guangdong/shenzhen.html", u"深圳"),
        {u"TD", kRoot + u"zhejiang/", u"浙江", u"_blank"},  // not an A
        Link(kRoot + u"zhejiang/", u"浙江"),
        Link(kRoot + u"zhejiang/hangzhou.html", u"杭州"),
        Link(u"http://www.example.com/", u"能源资讯"),  // another host
        Link(kRoot + u"zhejiang/ningbo.html", u"宁波", u"_BLANK"),  // target is exact
        Link(kRoot + u"guangdong/guangzhou.html", u"广州"),  // repeated
        Link(u"http://other.example/?from=" + kRoot + u"hubei/", u"湖北"),  // root in the query
    };
  }

  void ChooseProvince(int index) {
    controls.comWhere[0].SetListIndex(index);
    lookup.OnWhereChange(0);
  }
  void ChooseCity(int index) {
    controls.comWhere[1].SetListIndex(index);
    lookup.OnWhereChange(1);
  }

  std::vector<std::u16string> Infos() const {
    std::vector<std::u16string> v;
    for (const auto& l : controls.labinfo) v.push_back(l.Caption());
    return v;
  }
  std::vector<std::u16string> Prices() const {
    std::vector<std::u16string> v;
    for (const auto& l : controls.labPrice) v.push_back(l.Caption());
    return v;
  }

  MemoryPriceControls controls;
  FakePages pages;
  FakeBrowser browser;
  std::vector<Shown> shown;
  PriceLookup lookup;
};

using Items = std::vector<std::u16string>;

TEST_F(PriceLookupTest, GateIsOffUntilTheProvinceIndexIsRead) {
  EXPECT_FALSE(lookup.Ready());
  lookup.OnWhereChange(0);
  lookup.OnWhereChange(1);
  EXPECT_TRUE(pages.requests.empty());
  EXPECT_TRUE(controls.comWhere[1].Text().empty()) << "the fill did not run";
  lookup.LoadProvince();
  EXPECT_TRUE(lookup.Ready());
}

TEST_F(PriceLookupTest, LoadProvinceListsSiteLinksInDocumentOrder) {
  UseIndex();
  lookup.LoadProvince();
  EXPECT_EQ(browser.navigated, Items{kRoot + u"youjiamap.asp"});
  // What the window fetches ahead is this very page.
  EXPECT_EQ(IndexPageUrl(kRoot), kRoot + u"youjiamap.asp");
  EXPECT_TRUE(browser.silent);
  EXPECT_EQ(controls.comWhere[0].Items(), (Items{u"广东", u"浙江", u"湖北"}));
  EXPECT_EQ(controls.ListCity[0].Items(),
            (Items{kRoot + u"guangdong/", kRoot + u"zhejiang/",
                   u"http://other.example/?from=" + kRoot + u"hubei/"}));
  EXPECT_EQ(controls.ListCity[2].Items(),
            (Items{u"广东", u"广州", u"深圳", u"浙江", u"杭州", u"广州", u"湖北"}));
  EXPECT_EQ(controls.ListCity[3].Items(),
            (Items{kRoot + u"guangdong/", kRoot + u"guangdong/guangzhou.html",
                   kRoot + u"guangdong/shenzhen.html", kRoot + u"zhejiang/",
                   kRoot + u"zhejiang/hangzhou.html", kRoot + u"guangdong/guangzhou.html",
                   u"http://other.example/?from=" + kRoot + u"hubei/"}));
  // Item 0 is selected, but the box shows the prompt.
  EXPECT_EQ(controls.comWhere[0].ListIndex(), 0);
  EXPECT_EQ(controls.comWhere[0].Text(), kProvincePrompt);
  EXPECT_TRUE(controls.ListCity[1].Items().empty());
}

TEST_F(PriceLookupTest, SiteRootLinkIsAProvince) {
  browser.elements = {Link(kRoot, u"首页"), Link(kRoot + u"a/", u"甲"), Link(kRoot + u"a/", u"甲")};
  lookup.LoadProvince();
  EXPECT_EQ(controls.comWhere[0].Items(), (Items{u"首页", u"甲", u"甲"}));
  EXPECT_EQ(controls.ListCity[0].Items(), (Items{kRoot, kRoot + u"a/", kRoot + u"a/"}));
}

TEST_F(PriceLookupTest, ProvinceWithoutNameStaysOutOfBothLists) {
  // An image link has no text; the combo box refuses an empty item, and the
  // URL list must not get ahead of it.
  browser.elements = {Link(kRoot + u"a/", u""), Link(kRoot + u"b/", u"乙"),
                      Link(kRoot + u"b/x.html", u"")};
  lookup.LoadProvince();
  EXPECT_EQ(controls.comWhere[0].Items(), Items{u"乙"});
  EXPECT_EQ(controls.ListCity[0].Items(), Items{kRoot + u"b/"});
  EXPECT_EQ(controls.ListCity[2].Items(), (Items{u"", u"乙", u""}));
  ChooseProvince(0);
  EXPECT_TRUE(controls.comWhere[1].Items().empty());
  EXPECT_TRUE(controls.ListCity[1].Items().empty());
}

TEST_F(PriceLookupTest, DocumentsBeyond32767ElementsAreReadToTheEnd) {
  browser.elements.assign(40000, html::Element{u"TD", u"", u"", u""});
  browser.elements.push_back(Link(kRoot + u"late/", u"末"));
  lookup.LoadProvince();
  EXPECT_EQ(controls.comWhere[0].Items(), Items{u"末"});
}

// An index without a province says so in the box, where the user looks for
// the provinces, and to the window; no message box.
TEST_F(PriceLookupTest, NoQualifyingLinkLeavesTheBoxEmptyAndSaysWhy) {
  std::vector<std::optional<SiteProblem>> reported;
  lookup.SetProblemHandler([&](const std::optional<SiteProblem>& p) { reported.push_back(p); });
  browser.elements = {Link(u"http://elsewhere/", u"x")};
  lookup.LoadProvince();
  EXPECT_TRUE(controls.comWhere[0].Items().empty());
  EXPECT_EQ(controls.comWhere[0].ListIndex(), -1);
  EXPECT_EQ(controls.comWhere[0].Text(), u"页面中没有省份: " + kRoot);
  ASSERT_EQ(reported.size(), 1u);
  ASSERT_TRUE(reported[0]);
  EXPECT_EQ(reported[0]->page, SiteProblem::Page::kIndex);
  EXPECT_EQ(reported[0]->site, kRoot);
  EXPECT_TRUE(lookup.Ready());
  EXPECT_TRUE(shown.empty());
}

TEST(SiteProblemText, NamesTheSiteAndTheReason) {
  struct Case {
    SiteProblem problem;
    std::u16string_view summary;
    std::u16string_view messageStart;
  };
  const Case cases[] = {
      {{SiteProblem::Page::kIndex, {FetchFailure::kCannotConnect, 0, u""}, u"http://a.cn/"},
       u"无法连接到服务器: http://a.cn/", u"无法从 http://a.cn/ 读取省份列表: 无法连接到服务器。"},
      {{SiteProblem::Page::kIndex, {FetchFailure::kNone, 200, u"http://a.cn/youjiamap.asp"}, u"http://a.cn/"},
       u"页面中没有省份: http://a.cn/", u"无法从 http://a.cn/ 读取省份列表: 页面中没有省份。"},
      {{SiteProblem::Page::kIndex, {FetchFailure::kHttpStatus, 503, u""}, u"https://a.cn/"},
       u"服务器返回 HTTP 503: https://a.cn/", u"无法从 https://a.cn/ 读取省份列表: 服务器返回 HTTP 503。"},
      {{SiteProblem::Page::kCity, {FetchFailure::kTimeout, 0, u""}, u"http://a.cn/gd/gz.html"},
       u"服务器没有及时响应: http://a.cn/gd/gz.html",
       u"无法读取 http://a.cn/gd/gz.html: 服务器没有及时响应。"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProblemSummary(c.problem), c.summary);
    EXPECT_TRUE(ProblemMessage(c.problem).starts_with(c.messageStart));
  }
  EXPECT_NE(ProblemMessage(cases[0].problem).find(u"设置"), std::u16string::npos)
      << "an index problem points at the settings";
}

TEST(SiteProblemText, AnHttpsRedirectOnTheSameHostAddsItsOrigin) {
  struct Case {
    std::u16string_view root, finalUrl;
    std::optional<std::u16string> moved;
  };
  const Case cases[] = {
      {u"http://a.cn/", u"https://a.cn/youjiamap.asp", u"https://a.cn/"},
      {u"http://a.cn:8080/", u"https://a.cn:8443/youjiamap.asp", u"https://a.cn:8443/"},
      {u"http://a.cn/", u"https://A.CN:443/x", u"https://a.cn/"},
      {u"http://[::1]:80/", u"https://[::1]:8443/", u"https://[::1]:8443/"},
      {u"http://a.cn/", u"http://a.cn/youjiamap.asp", std::nullopt},     // not moved to https
      {u"http://a.cn/", u"https://b.cn/youjiamap.asp", std::nullopt},    // another host
      {u"http://a.cn/", u"https://xa.cn/youjiamap.asp", std::nullopt},
      {u"https://a.cn/", u"https://a.cn:8443/youjiamap.asp", std::nullopt},  // already https
      {u"http://a.cn/", u"", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RedirectedRoot(c.root, c.finalUrl), c.moved) << std::string(c.finalUrl.begin(), c.finalUrl.end());
  }
}

TEST_F(PriceLookupTest, AnIndexMovedToHttpsKeepsLinksUnderEitherOrigin) {
  const std::u16string secure = u"https://127.0.0.1:8443/";
  browser.outcome = {FetchFailure::kNone, 200, secure + u"youjiamap.asp"};
  browser.elements = {Link(secure + u"guangdong/", u"广东"), Link(kRoot + u"zhejiang/", u"浙江"),
                      Link(u"https://127.0.0.2:8443/hubei/", u"湖北")};
  lookup.LoadProvince();
  EXPECT_EQ(controls.comWhere[0].Items(), (Items{u"广东", u"浙江"}));
}

// A fetch of the index that failed: the reason in the box; 刷新 reads the
// index again (not the city warning) into empty lists, and a good answer
// clears the problem.
TEST_F(PriceLookupTest, RefreshAfterAFailedIndexReadsItAgain) {
  std::vector<std::optional<SiteProblem>> reported;
  lookup.SetProblemHandler([&](const std::optional<SiteProblem>& p) { reported.push_back(p); });
  browser.outcome = {FetchFailure::kNameNotResolved, 0, u""};
  lookup.LoadProvince();
  EXPECT_EQ(controls.comWhere[0].Text(), u"找不到服务器: " + kRoot);
  ASSERT_TRUE(lookup.Problem());

  browser.outcome = {};
  UseIndex();
  lookup.OnRefreshClick();
  EXPECT_TRUE(shown.empty()) << "no city warning while there is no province";
  EXPECT_EQ(browser.navigated, (Items{kRoot + u"youjiamap.asp", kRoot + u"youjiamap.asp"}));
  const Items provinces = {u"广东", u"浙江", u"湖北"};
  EXPECT_EQ(controls.comWhere[0].Items(), provinces);
  EXPECT_EQ(controls.comWhere[0].Text(), kProvincePrompt);
  EXPECT_FALSE(lookup.Problem());
  ASSERT_EQ(reported.size(), 2u);
  EXPECT_FALSE(reported[1]);

  // Read once more: the lists start afresh, nothing twice.
  lookup.LoadProvince();
  EXPECT_EQ(controls.comWhere[0].Items(), provinces);
  EXPECT_EQ(controls.ListCity[0].Items().size(), 3u);
  // With provinces listed, 刷新 is the city's again: the warning.
  lookup.OnRefreshClick();
  EXPECT_EQ(shown.size(), 1u);
}

// A city page that did not come: no row of the city before stays, and the
// window is told; an error status whose page still holds the rows shows them.
TEST_F(PriceLookupTest, AFailedCityPageEmptiesTheRowsAndSaysWhy) {
  std::vector<std::optional<SiteProblem>> reported;
  lookup.SetProblemHandler([&](const std::optional<SiteProblem>& p) { reported.push_back(p); });
  UseIndex();
  lookup.LoadProvince();
  ChooseProvince(0);
  for (int i = 0; i < 4; ++i) {
    controls.labinfo[i].SetCaption(u"old info");
    controls.labPrice[i].SetCaption(u"old price");
  }
  pages.outcome = {FetchFailure::kCannotConnect, 0, u""};
  ChooseCity(1);
  EXPECT_EQ(Infos(), Items(4, u""));
  EXPECT_EQ(Prices(), Items(4, u""));
  ASSERT_EQ(reported.size(), 1u);
  ASSERT_TRUE(reported[0]);
  EXPECT_EQ(reported[0]->page, SiteProblem::Page::kCity);
  EXPECT_EQ(reported[0]->site, kRoot + u"guangdong/shenzhen.html");
  EXPECT_TRUE(lookup.Ready());
}

TEST_F(PriceLookupTest, WaitPumpsUntilInteractiveOrMore) {
  UseIndex();
  bool readyDuringWait = true;
  browser.onPump = [&] { readyDuringWait = readyDuringWait && lookup.Ready(); };
  browser.states = {0, 1, 1, 1, 3};
  lookup.LoadProvince();
  EXPECT_EQ(browser.pumps, 4);
  EXPECT_FALSE(readyDuringWait);
  EXPECT_EQ(controls.comWhere[0].ListCount(), 3u);

  // Straight from loading to complete also ends the wait.
  FakeBrowser direct;
  direct.states = {1, 4};
  MemoryPriceControls c2;
  PriceLookup second(c2.Wire(), pages, direct, nullptr, kRoot);
  second.LoadProvince();
  EXPECT_EQ(direct.pumps, 1);
  EXPECT_TRUE(second.Ready());
}

TEST_F(PriceLookupTest, WaitEndsWhenTheApplicationQuits) {
  UseIndex();
  browser.states = {1};
  browser.quitting = true;
  lookup.LoadProvince();
  EXPECT_EQ(browser.pumps, 1);
  EXPECT_TRUE(lookup.Ready());
}

TEST_F(PriceLookupTest, RefreshDuringTheWaitKeepsTheGateOff) {
  // The wait lets the window run; a refresh then must not open the gate
  // while the index is still being read.
  UseIndex();
  browser.states = {1, 1, 4};
  controls.comWhere[1].SetText(u"广州");
  bool readyAfterRefresh = true;
  browser.onPump = [&] {
    lookup.OnRefreshClick();
    readyAfterRefresh = lookup.Ready();
  };
  lookup.LoadProvince();
  EXPECT_EQ(pages.requests.size(), 2u);
  EXPECT_FALSE(readyAfterRefresh);
  EXPECT_TRUE(lookup.Ready());
}

TEST_F(PriceLookupTest, ProvinceChoiceFillsItsCities) {
  UseIndex();
  lookup.LoadProvince();
  ChooseProvince(0);
  EXPECT_EQ(controls.comWhere[1].Items(), (Items{u"广州", u"深圳", u"广州"}));
  EXPECT_EQ(controls.ListCity[1].Items(),
            (Items{kRoot + u"guangdong/guangzhou.html", kRoot + u"guangdong/shenzhen.html",
                   kRoot + u"guangdong/guangzhou.html"}));
  EXPECT_EQ(controls.comWhere[1].ListIndex(), 0);
  EXPECT_EQ(controls.comWhere[1].Text(), kCityPrompt);
  EXPECT_TRUE(lookup.Ready());
  EXPECT_TRUE(pages.requests.empty()) << "the city list needs no download";

  ChooseProvince(1);
  EXPECT_EQ(controls.comWhere[1].Items(), Items{u"杭州"});
  EXPECT_EQ(controls.ListCity[1].Items(), Items{kRoot + u"zhejiang/hangzhou.html"});
}

TEST_F(PriceLookupTest, ProvinceWithoutCitiesLeavesThePrompt) {
  UseIndex();
  lookup.LoadProvince();
  ChooseProvince(0);
  ChooseProvince(2);  // 湖北: its URL occurs in no other link
  EXPECT_TRUE(controls.comWhere[1].Items().empty());
  EXPECT_TRUE(controls.ListCity[1].Items().empty());
  EXPECT_EQ(controls.comWhere[1].ListIndex(), -1);
  EXPECT_EQ(controls.comWhere[1].Text(), kCityPrompt);
}

TEST_F(PriceLookupTest, TypedProvinceTextRefillsForTheSelectedItem) {
  UseIndex();
  lookup.LoadProvince();
  ChooseProvince(1);
  controls.comWhere[0].SetText(u"广");
  lookup.OnWhereChange(0);
  EXPECT_EQ(controls.comWhere[1].Items(), Items{u"杭州"});
}

TEST_F(PriceLookupTest, LoadCityFillsTheRowsAndText1) {
  UseIndex();
  const std::u16string url = kRoot + u"guangdong/guangzhou.html";
  pages.pages[url] =
      u"<p>广州</p><table width=\"300\"><tr><td>广州92#汽油</td><td>7.74元/升</td></tr>"
      u"<tr><td>广州95#汽油</td><td>8.38元/升</td></tr></table><table width=\"300\">"
      u"<tr><td>广州0#柴油</td><td>7.41元/升</td></tr><tr><td>广州89#汽油</td><td>7.17元/升</td>"
      u"</tr></table><table width=\"600\"><tr><td>广州新闻 9.99元/升</td></tr></table>";
  lookup.LoadProvince();
  ChooseProvince(0);
  ChooseCity(0);
  EXPECT_EQ(pages.requests, Items{url});
  EXPECT_EQ(pages.codings, Items{u"GBK"});
  EXPECT_EQ(controls.Text1.Text(), url);
  EXPECT_EQ(Infos(), (Items{FuelCaption(u"92#汽油"), FuelCaption(u"95#汽油"),
                            FuelCaption(u"0#柴油"), FuelCaption(u"89#汽油")}));
  EXPECT_EQ(Prices(), (Items{u"7.74", u"8.38", u"7.41", u"7.17"}));
  EXPECT_TRUE(lookup.Ready());
}

TEST_F(PriceLookupTest, FailedFetchKeepsCaptionsButSetsText1) {
  UseIndex();
  lookup.LoadProvince();
  ChooseProvince(0);
  for (int i = 0; i < 4; ++i) {
    controls.labinfo[i].SetCaption(u"old info");
    controls.labPrice[i].SetCaption(u"old price");
  }
  ChooseCity(1);  // no page scripted: GetBody gives ""
  EXPECT_EQ(controls.Text1.Text(), kRoot + u"guangdong/shenzhen.html");
  EXPECT_EQ(Infos(), Items(4, u"old info"));
  EXPECT_EQ(Prices(), Items(4, u"old price"));
  EXPECT_TRUE(lookup.Ready());
}

TEST_F(PriceLookupTest, EmptyCityTextWarnsOncePerPress) {
  UseIndex();
  lookup.LoadProvince();
  for (int press = 1; press <= 3; ++press) {
    lookup.OnRefreshClick();
    ASSERT_EQ(shown.size(), static_cast<size_t>(press));
    EXPECT_TRUE(lookup.Ready());
  }
  EXPECT_EQ(shown[0].prompt, u"您还没有选择城市了!");
  EXPECT_EQ(shown[0].caption, u"提示");
  EXPECT_EQ(shown[0].flags, 0);
  EXPECT_FALSE(shown[0].readyWhileShown) << "the gate stays off while the box is up";
  EXPECT_TRUE(pages.requests.empty());
  EXPECT_TRUE(controls.Text1.Text().empty());
  // Choosing a province afterwards still fills the city list.
  ChooseProvince(0);
  EXPECT_EQ(controls.comWhere[1].ListCount(), 3u);
}

TEST_F(PriceLookupTest, RefreshOnThePromptWarnsInsteadOfSearchingForIt) {
  UseIndex();
  lookup.LoadProvince();
  ChooseProvince(0);
  lookup.OnRefreshClick();
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_TRUE(pages.requests.empty());
  EXPECT_TRUE(lookup.Ready());
}

TEST_F(PriceLookupTest, RefreshIgnoresTheGateAndReloadsTheChosenCity) {
  UseIndex();
  lookup.LoadProvince();
  ChooseProvince(0);
  ChooseCity(1);
  lookup.OnRefreshClick();
  lookup.OnRefreshClick();
  EXPECT_EQ(pages.requests, Items(3, kRoot + u"guangdong/shenzhen.html"));
}

TEST_F(PriceLookupTest, TypedCityTextSearchesTheSelectedCitysPage) {
  UseIndex();
  const std::u16string url = kRoot + u"guangdong/guangzhou.html";
  pages.pages[url] = u"<table width=\"300\"><td>广州92#汽油</td><td>7.74元/升</td></table>";
  lookup.LoadProvince();
  ChooseProvince(0);
  ChooseCity(0);
  controls.comWhere[1].SetText(u"广州9");
  lookup.OnWhereChange(1);
  EXPECT_EQ(pages.requests, Items(2, url));
  EXPECT_EQ(controls.labinfo[0].Caption(), FuelCaption(u"2#汽油"));
}

TEST_F(PriceLookupTest, GateIsOffDuringTheFetch) {
  UseIndex();
  lookup.LoadProvince();
  ChooseProvince(0);
  bool readyDuringFetch = true;
  pages.onFetch = [&] {
    readyDuringFetch = lookup.Ready();
    // A change raised while the page loads is ignored.
    lookup.OnWhereChange(0);
  };
  ChooseCity(0);
  EXPECT_FALSE(readyDuringFetch);
  EXPECT_EQ(controls.comWhere[1].ListCount(), 3u);
  EXPECT_TRUE(lookup.Ready());
}

// A failure no step handles ends the operation: it goes no further, the gate
// comes back, and the developer's trace names it.
TEST_F(PriceLookupTest, AFailureEndsTheOperationTracedWithTheGateBack) {
  std::vector<std::u16string> traced;
  const FailureTrace previous =
      SetFailureTrace([&](std::u16string_view line) { traced.emplace_back(line); });
  UseIndex();
  lookup.LoadProvince();
  ChooseProvince(0);
  pages.onFetch = [] { throw std::runtime_error("no memory for the page"); };
  ChooseCity(0);
  SetFailureTrace(previous);
  EXPECT_EQ(controls.Text1.Text(), u"") << "the steps after the fetch did not run";
  EXPECT_TRUE(lookup.Ready());
  EXPECT_EQ(traced, Items{u"Fuelwise: PriceLookup.LoadCity: no memory for the page"});
}

TEST_F(PriceLookupTest, CityWithoutSelectionFetchesNothingUseful) {
  UseIndex();
  lookup.LoadProvince();
  controls.comWhere[1].SetText(u"广州");  // typed before any province was chosen
  lookup.OnRefreshClick();
  EXPECT_EQ(pages.requests, Items{u""});
  EXPECT_EQ(controls.Text1.Text(), u"");
  EXPECT_TRUE(lookup.Ready());
}

}  // namespace
}  // namespace fw
