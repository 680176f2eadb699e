#include "app/price/PriceLookup.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "app/price/PriceText.h"
#include "app/price/html/Url.h"
#include "host/Failure.h"

namespace fw {

// Holds m_ready off while an operation runs and turns it back on however the
// operation ends, once no other operation is still running beneath it.
class PriceLookup::Busy {
 public:
  explicit Busy(PriceLookup& owner) : m_owner(owner) {
    m_owner.m_ready = false;
    ++m_owner.m_busy;
  }
  ~Busy() {
    if (--m_owner.m_busy == 0) m_owner.m_ready = true;
  }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  PriceLookup& m_owner;
};

std::u16string ProblemReason(const SiteProblem& problem) {
  if (problem.outcome.failure != FetchFailure::kNone) return DescribeFailure(problem.outcome);
  return problem.page == SiteProblem::Page::kIndex ? u"页面中没有省份" : u"页面中没有油价";
}

std::u16string ProblemSummary(const SiteProblem& problem) {
  return ProblemReason(problem) + u": " + problem.site;
}

std::u16string ProblemMessage(const SiteProblem& problem) {
  if (problem.page == SiteProblem::Page::kIndex) {
    return u"无法从 " + problem.site + u" 读取省份列表: " + ProblemReason(problem) +
           u"。请单击“刷新”重试, 或单击这里在“设置”中更改网站。";
  }
  return u"无法读取 " + problem.site + u": " + ProblemReason(problem) + u"。请单击“刷新”重试。";
}

namespace {

// "scheme://authority/" of an absolute URL, and its host without the port.
struct RootParts {
  std::u16string_view scheme;
  std::u16string_view host;
};
std::optional<RootParts> SplitRoot(std::u16string_view url) {
  const size_t colon = url.find(u"://");
  if (colon == std::u16string_view::npos) return std::nullopt;
  std::u16string_view authority = url.substr(colon + 3);
  authority = authority.substr(0, authority.find(u'/'));
  // An IPv6 host keeps its brackets; a port follows the last colon after them.
  const size_t bracket = authority.rfind(u']');
  const size_t port = authority.rfind(u':');
  if (port != std::u16string_view::npos && (bracket == std::u16string_view::npos || port > bracket)) {
    authority = authority.substr(0, port);
  }
  if (authority.empty()) return std::nullopt;
  return RootParts{url.substr(0, colon), authority};
}

}  // namespace

std::optional<std::u16string> RedirectedRoot(std::u16string_view siteRoot,
                                             std::u16string_view finalUrl) {
  const auto site = SplitRoot(siteRoot);
  const std::optional<std::u16string> root = html::ResolveUrl(u"/", finalUrl);
  if (!site || !root) return std::nullopt;
  const auto ended = SplitRoot(*root);
  if (!ended || site->scheme != u"http" || ended->scheme != u"https" || site->host != ended->host) {
    return std::nullopt;
  }
  return *root;
}

std::u16string IndexPageUrl(std::u16string_view siteRoot) {
  return std::u16string(siteRoot) + std::u16string(kIndexPage);
}

PriceLookup::PriceLookup(const PriceWindowControls& controls, PageSource& pages,
                         WebBrowser& browser, ShowMessageBoxFn showMessageBox,
                         std::u16string siteRoot)
    : m_controls(controls),
      m_pages(pages),
      m_browser(browser),
      m_showMessageBox(std::move(showMessageBox)),
      m_siteRoot(std::move(siteRoot)) {}

// The operations skip whatever fails and go on; a failure that escapes a step
// (out of memory) ends the operation, traced, with m_ready restored.
void PriceLookup::LoadProvince() {
  Contain(u"PriceLookup", u"LoadProvince", [&] { LoadProvinceSteps(); });
}

void PriceLookup::FillCityList() {
  Contain(u"PriceLookup", u"FillCityList", [&] { FillCityListSteps(); });
}

void PriceLookup::LoadCity() {
  Contain(u"PriceLookup", u"LoadCity", [&] { LoadCitySteps(); });
}

void PriceLookup::OnWhereChange(int index) {
  if (!m_ready) return;
  if (index == 0) FillCityList();
  if (index == 1) LoadCity();
}

void PriceLookup::OnRefreshClick() {
  if (m_index == Index::kNoProvince) {
    LoadProvince();
  } else {
    LoadCity();
  }
}

void PriceLookup::Report(std::optional<SiteProblem> problem) {
  if (!problem && !m_problem) return;
  m_problem = std::move(problem);
  if (m_onProblem) m_onProblem(m_problem);
}

// A second reading of the index starts from empty lists, as the first did.
void PriceLookup::ClearIndex() {
  m_controls.comWhere[0]->Clear();
  m_controls.comWhere[1]->Clear();
  for (ListControl* list : m_controls.ListCity) list->Clear();
}

void PriceLookup::LoadProvinceSteps() {
  Busy busy(*this);  // 1.
  if (m_index != Index::kNotRead) ClearIndex();
  m_index = Index::kReading;
  // 2.-3.
  m_browser.Navigate(m_siteRoot + std::u16string(kIndexPage));
  m_browser.SetSilent(true);
  // 4. The document is read once it is interactive; a load that fails or goes
  // straight to complete also ends the wait.
  while (m_browser.ReadyState() < WebBrowser::kInteractive) {
    if (!m_browser.DoEvents()) break;
  }
  // 5. A copy: the window's handlers may run while the lists are filled.
  const std::vector<html::Element> all = m_browser.All();
  const FetchOutcome outcome = m_browser.Outcome();
  ComboControl& provinces = *m_controls.comWhere[0];
  // 6. An http site whose index moved to https on its own host keeps its
  // links under either origin.
  const std::optional<std::u16string> movedRoot = RedirectedRoot(m_siteRoot, outcome.finalUrl);
  const auto belongs = [&](const std::u16string& href) {
    return FindStr(href, m_siteRoot, 1) != 0 || (movedRoot && FindStr(href, *movedRoot, 1) != 0);
  };
  for (const html::Element& e : all) {
    if (e.tagName != u"A") continue;
    if (!belongs(e.href) || e.target != kLinkTarget) continue;
    m_controls.ListCity[2]->AddItem(e.innerText);
    m_controls.ListCity[3]->AddItem(e.href);
    if (e.href.back() != u'/') continue;  // href holds the site root, so it is not empty
    // The combo box refuses an empty name; its URL then stays out too, so
    // that item n of the box still belongs to URL n.
    const size_t before = provinces.ListCount();
    provinces.AddItem(e.innerText);
    if (provinces.ListCount() > before) m_controls.ListCity[0]->AddItem(e.href);
  }
  // 7. An empty box cannot select item 0; it still shows the prompt, or,
  // when there is no province, why.
  provinces.SetListIndex(0);
  m_index = provinces.ListCount() > 0 ? Index::kListed : Index::kNoProvince;
  if (m_index == Index::kListed) {
    provinces.SetText(kProvincePrompt);
    Report(std::nullopt);
    return;
  }
  SiteProblem problem{SiteProblem::Page::kIndex, outcome, m_siteRoot};
  provinces.SetText(ProblemSummary(problem));
  Report(std::move(problem));
}  // 8.

void PriceLookup::FillCityListSteps() {
  Busy busy(*this);  // 1.
  ComboControl& cities = *m_controls.comWhere[1];
  ListControl& cityUrls = *m_controls.ListCity[1];
  ListControl& linkTexts = *m_controls.ListCity[2];
  ListControl& linkUrls = *m_controls.ListCity[3];
  // 2.
  cities.Clear();
  cityUrls.Clear();
  // 3.
  const int chosen = m_controls.comWhere[0]->ListIndex();
  const std::u16string prov =
      chosen >= 0 ? m_controls.ListCity[0]->List(static_cast<size_t>(chosen)) : std::u16string();
  // 4.
  std::vector<std::u16string> urls(linkTexts.ListCount());
  for (size_t k = 0; k < urls.size(); ++k) urls[k] = linkUrls.List(k);
  for (size_t k : SelectCityLinks(prov, urls)) {
    const size_t before = cities.ListCount();
    cities.AddItem(linkTexts.List(k));
    if (cities.ListCount() > before) cityUrls.AddItem(urls[k]);
  }
  // 5.
  cities.SetListIndex(0);
  cities.SetText(kCityPrompt);
}  // 6.

void PriceLookup::LoadCitySteps() {
  Busy busy(*this);  // 1.
  ComboControl& cities = *m_controls.comWhere[1];
  // 2. The prompt is not a city either: searching a page for it would show
  // whatever text follows the prompt's length in the table.
  const std::u16string city = cities.Text();
  if (city.empty() || city == kCityPrompt) {
    if (m_showMessageBox) m_showMessageBox(kNoCityWarning, 0, kNoCityTitle);
    return;
  }
  // 3.
  const int chosen = cities.ListIndex();
  const std::u16string url =
      chosen >= 0 ? m_controls.ListCity[1]->List(static_cast<size_t>(chosen)) : std::u16string();
  // 4.-5.
  const std::u16string page = m_pages.GetBody(url, kPriceCharset);
  const FetchOutcome outcome = m_pages.LastOutcome();
  m_controls.Text1->SetText(url);
  // 6.-7.
  const std::u16string table = FindStrMulti(page, kTableStart, kTableEnd, u"");
  const auto rows = ExtractPriceRows(table, city);
  const bool anyRow = std::any_of(rows.begin(), rows.end(),
                                  [](const auto& row) { return row.info || row.price; });
  // A page that did not come, or an error page without prices: the rows of
  // the city shown before are not this city's, so none stays.
  const bool failed = outcome.failure != FetchFailure::kNone &&
                      (outcome.failure != FetchFailure::kHttpStatus || !anyRow);
  if (failed) {
    for (size_t i = 0; i < rows.size(); ++i) {
      m_controls.labinfo[i]->SetCaption(u"");
      m_controls.labPrice[i]->SetCaption(u"");
    }
    Report(SiteProblem{SiteProblem::Page::kCity, outcome, url});
    return;
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].info) m_controls.labinfo[i]->SetCaption(*rows[i].info);
    if (rows[i].price) m_controls.labPrice[i]->SetCaption(*rows[i].price);
  }
  Report(std::nullopt);
}  // 8.

}  // namespace fw
