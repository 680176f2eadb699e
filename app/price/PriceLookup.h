// The price retrieval the main window runs: the province index, the city list
// of the chosen province and the four price rows of the chosen city. The
// window owns one PriceLookup and its controls; the lookup only refers to them.
// Portable: the page fetch and the browser are handed in.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/price/PriceControls.h"

namespace fw {

inline constexpr std::u16string_view kProvincePrompt = u"请选择省份";
inline constexpr std::u16string_view kCityPrompt = u"请选择城市";
inline constexpr std::u16string_view kNoCityWarning = u"您还没有选择城市了!";
inline constexpr std::u16string_view kNoCityTitle = u"提示";
inline constexpr std::u16string_view kPriceCharset = u"GBK";
inline constexpr std::u16string_view kIndexPage = u"youjiamap.asp";
inline constexpr std::u16string_view kLinkTarget = u"_blank";

// The index page LoadProvince navigates to, for the price site whose root is
// `siteRoot` ("https://host[:port]/").
std::u16string IndexPageUrl(std::u16string_view siteRoot);

// Why the site could not be read, as the window shows it: the index lists no
// province (its fetch failed, or the page holds none), or a city's page
// failed. The window names the site and the reason where the user looks.
struct SiteProblem {
  enum class Page { kIndex, kCity };
  Page page = Page::kIndex;
  FetchOutcome outcome;  // kNone for an index that arrived without provinces
  std::u16string site;   // the price site's root (the index), or the city page's URL
};

// The reason in a few words: the fetch's own, or "页面中没有省份".
std::u16string ProblemReason(const SiteProblem& problem);
// Short, for the province box and a status panel: "无法连接到服务器: http://host/".
std::u16string ProblemSummary(const SiteProblem& problem);
// In full, with what the user can do about it.
std::u16string ProblemMessage(const SiteProblem& problem);

// The origin an https redirect of the index led to, when it is the site's own
// host: "https://host[:port]/" for a site root "http://host[:port]/" whose
// index ended at `finalUrl` on https on the same host; nullopt otherwise.
std::optional<std::u16string> RedirectedRoot(std::u16string_view siteRoot,
                                             std::u16string_view finalUrl);

class PriceLookup {
 public:
  // Every pointer in `controls` must be set and outlive the lookup; so must
  // `pages` and `browser`. `siteRoot` is the price site's origin and "/"
  // ("http://host[:port]/"): the index lies under it, and a link belongs to
  // the site when it starts with it.
  PriceLookup(const PriceWindowControls& controls, PageSource& pages, WebBrowser& browser,
              ShowMessageBoxFn showMessageBox, std::u16string siteRoot);
  PriceLookup(const PriceLookup&) = delete;
  PriceLookup& operator=(const PriceLookup&) = delete;

  // Loads the index page and fills the province box and the link lists; the
  // last start-up step. Waits for the page while the window keeps running.
  void LoadProvince();
  // Fills the city box with the links of the province chosen in comWhere(0).
  void FillCityList();
  // Fetches the chosen city's page and fills the four price rows.
  void LoadCity();

  // The window's handlers: a change of comWhere(index) acts only while the
  // lookup is ready; the refresh button always loads.
  void OnWhereChange(int index);
  // Loads the chosen city, or, while the index has given no province, tries
  // the index again.
  void OnRefreshClick();

  // Told of each problem as it happens, and with nullopt when a load that
  // had one succeeds.
  using ProblemFn = std::function<void(const std::optional<SiteProblem>& problem)>;
  void SetProblemHandler(ProblemFn handler) { m_onProblem = std::move(handler); }
  // The problem shown now, if any.
  const std::optional<SiteProblem>& Problem() const { return m_problem; }

  // m_ready: combo-box changes act only while this is on.
  bool Ready() const { return m_ready; }
  // The site's origin and "/": what a link must contain to belong to the site.
  const std::u16string& SiteRoot() const { return m_siteRoot; }

 private:
  class Busy;

  void LoadProvinceSteps();
  void FillCityListSteps();
  void LoadCitySteps();
  void ClearIndex();
  void Report(std::optional<SiteProblem> problem);

  PriceWindowControls m_controls;
  PageSource& m_pages;
  WebBrowser& m_browser;
  ShowMessageBoxFn m_showMessageBox;
  std::u16string m_siteRoot;
  bool m_ready = false;
  // Where the reading of the index stands: a refresh reads it again only
  // once a reading has ended without a province.
  enum class Index { kNotRead, kReading, kNoProvince, kListed };
  Index m_index = Index::kNotRead;
  ProblemFn m_onProblem;
  std::optional<SiteProblem> m_problem;
  // Operations running, nested ones included (the index wait lets the window
  // run a refresh); m_ready comes back on when the outermost one ends.
  int m_busy = 0;
};

}  // namespace fw
