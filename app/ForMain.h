// ForMain: the start-up window. On the left the crude-oil chart, on the right
// the choice of province and city over the four price rows of the chosen city;
// closing it ends the program.
//
// The window owns the price lookup and hands it its controls: the province
// and city boxes, the hidden link lists, the hidden URL box and the rows. The
// lookup's gate (m_ready) keeps the window's handlers from acting on the
// changes its own list fills cause, and on anything the user does before the
// province index has been read.
//
// The chart picture and the index page depend on nothing the window builds:
// both are fetched from the moment the build begins, while the window is
// built, and each is taken at its own step of the start-up, which waits for
// it if it is still on its way. What each step does with its answer, and
// every failure's outcome, are those of the step fetching it itself.
//
// Everything sits inside the skinned frame skForms1, which shows one of five
// themes at random. The status bar carries the author credit and the date,
// which Timer1 keeps current; a click on it opens the about window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/ForMail.h"
#include "app/ForSettings.h"
#include "app/SiteSettings.h"
#include "app/Version.h"
#include "app/picture/PicturePrefetch.h"
#include "app/price/DocumentLoader.h"
#include "app/price/HttpClient.h"
#include "app/price/PriceLookup.h"
#include "host/Font.h"
#include "host/Form.h"

namespace fw {

class ForMain : public Form {
 public:
  static constexpr std::u16string_view kDesignName = u"ForMain";
  static constexpr std::u16string_view kCaption = u"Fuelwise v" FUELWISE_VERSION_TEXT;
  static constexpr std::u16string_view kChartPath = u"/cn/live_charts/t24_crude_cn188x166.gif";
  static constexpr std::u16string_view kCredit = u"Design By fuelwise-dev";
  // Posted to itself: a change of sites that waits for the lookup.
  static constexpr UINT kApplySitesMessage = WM_APP + 30;
  // Posted to itself: the price rows changed, a reader is told once.
  static constexpr UINT kRowsChangedMessage = WM_APP + 31;

  // `priceRoot` and `chartRoot` are the origins of the price site and of the
  // site serving the chart, each with "/" ("https://host[:port]/"): the
  // settings the program starts with (tests give their own).
  ForMain(std::u16string priceRoot, std::u16string chartRoot);
  ~ForMain() override;

  // The city chosen once the provinces are listed at start, through the same
  // path as the user's choice (nothing when it is no longer listed). Before
  // LoadDesign.
  void SetStartCity(std::optional<settings::CityChoice> city) { m_startCity = std::move(city); }
  // Whether each city the user chooses is kept for the next start.
  void SetRememberCity(bool remember) { m_rememberCity = remember; }
  bool RememberCity() const { return m_rememberCity; }
  // The sites the window reads ("https://host[:port]/").
  const std::u16string& PriceRoot() const { return m_priceRoot; }
  const std::u16string& ChartRoot() const { return m_chartRoot; }
  // Reads the provinces and the chart again from other sites, as at start;
  // the choice and the rows shown are dropped. While an operation of the
  // lookup is still running, the change waits for it to end.
  void ChangeSites(std::u16string priceRoot, std::u16string chartRoot);

  // Builds the window from its design resource in the exe; the load handler
  // runs before this returns (the index page is read by then). The chart and
  // the index are fetched from the start of the build on.
  bool LoadDesign();

  // m_ready: combo-box changes act only while this is on.
  bool Ready() const;
  // What the chart shows its pointer: where the prices come from.
  std::u16string ChartToolTip() const;

  // -- Handlers, named after the events they answer
  void OnWhereChange(int32_t index);
  // The refresh button's click: reloads the chosen city whatever the gate says.
  void OnRefreshClick();
  // Timer1: the date panel follows the clock (past midnight too).
  void OnTimerTick();
  // Any panel of the status bar: the about window, modally.
  // The credit panel, while it shows the site's problem: the settings window.
  void OnPanelClick(int32_t index);
  // F1, wherever the focus is in the window: the about window, as a panel's click.
  void OnHelp();
  // The frame's menu item 设置: the settings window, modally; what it stores
  // applies at once (other sites are read anew, the city choice is kept or not).
  void OnSettings();

  // The clock the date panel reads (local time); tests put their own in. An
  // empty one restores the system's.
  using Clock = std::function<SYSTEMTIME()>;
  void SetClock(Clock clock);
  // The about window, while it is open (and after, until the next opening).
  ForMail& About() { return m_about; }
  // The settings window, while it is open.
  ForSettings& SettingsWindow() { return m_settings; }

 protected:
  void OnLoad() override;
  void OnUnload() override;
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;
  // ShowMessageBox over this window: the warning of an empty city box, in the
  // program's own message box.
  virtual int32_t ShowMessageBox(std::u16string_view prompt, int32_t flags,
                                 std::u16string_view caption);
  // Called after each start-up step with the step's name; nothing by default.
  // The start-up benchmark times the steps through it.
  virtual void OnStartupStep(const char* step) {}

 private:
  struct Wiring;

  void StartFetches();
  std::wstring ChartUrl() const;
  void LoadChart();
  void AddPanels();
  std::u16string Today() const;
  void EmptyRows();
  void WireLookup();
  void BindEvents();
  void OnPictureMouseMove();
  void ChooseStartCity();
  // The site's problem in the credit panel (its tooltip the whole message),
  // or the credit again when there is none.
  void ShowProblem(const std::optional<SiteProblem>& problem);
  // Each price row reads as one element (the fuel its name, the price and
  // unit its value), the group of rows as a polite live region; the failure
  // text's panel too. The chart reads as its tooltip names it.
  void MakeRowsSpoken();
  // A row's caption changed: the live region is announced once the change is
  // done (the next time the window's queue is read).
  void OnRowCaptionChanged();
  void AnnounceRows();
  void StoreChosenCity();
  void ApplyPendingSites();
  // Adds 设置 to the frame's own menu and lets the menu open from the title.
  void AddSettingsMenu();

  std::u16string m_priceRoot;
  std::u16string m_chartRoot;
  WinHttpPageSource m_pages;
  DocumentLoader m_browser;
  std::unique_ptr<PicturePrefetch> m_chartAhead;
  std::unique_ptr<Wiring> m_wiring;
  std::unique_ptr<PriceLookup> m_lookup;
  Clock m_clock;
  std::shared_ptr<Font> m_creditFont;  // the credit panel's own, while a problem is shown
  std::optional<settings::CityChoice> m_startCity;
  bool m_rememberCity = false;
  bool m_choosingStartCity = false;
  bool m_rowsAnnouncementDue = false;
  std::optional<std::pair<std::u16string, std::u16string>> m_pendingSites;
  ForMail m_about;
  ForSettings m_settings;
  int16_t m_settingsMenuItem = -1;
};

}  // namespace fw
