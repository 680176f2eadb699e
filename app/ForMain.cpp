#include "app/ForMain.h"

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <array>
#include <functional>
#include <source_location>
#include <string_view>
#include <utility>

#include "app/ModMain.h"
#include "app/Settings.h"
#include "app/price/MemoryControls.h"
#include "app/price/PriceText.h"
#include "controls/JCombo/JCombo.h"
#include "controls/skForms/skForms.h"
#include "controls/skbutton/skbutton.h"
#include "controls/ucStatusBar/ucStatusBar.h"
#include "host/Accessible.h"
#include "host/AccessibleText.h"
#include "host/Failure.h"
#include "host/Font.h"
#include "host/Image.h"
#include "host/Label.h"
#include "host/ListBox.h"
#include "host/PictureBox.h"
#include "host/TextBox.h"
#include "host/Timer.h"

namespace fw {

namespace {

constexpr int kRows = 4;
constexpr int32_t kCreditPanel = 1;
constexpr int32_t kDatePanel = 2;

// The province and city boxes as the lookup sees them: the image combo box
// keeps its selection apart from its shown text, as the lookup expects.
class ComboAdapter : public ComboControl {
 public:
  explicit ComboAdapter(JCombo& box) : m_box(box) {}

  void AddItem(std::u16string_view item) override { m_box.AddItem(item); }
  void Clear() override { m_box.Clear(); }
  size_t ListCount() const override { return static_cast<size_t>(std::max(0, m_box.ListCount())); }
  std::u16string List(size_t k) const override {
    return k < ListCount() ? m_box.GetItem(static_cast<int32_t>(k)) : std::u16string();
  }
  int ListIndex() const override { return m_box.ListIndex(); }
  bool SetListIndex(int index) override {
    if (index < 0 || index >= m_box.ListCount()) return false;
    m_box.SetListIndex(index);
    return true;
  }
  std::u16string Text() const override { return m_box.Text(); }
  void SetText(std::u16string_view text) override { m_box.SetText(text); }

 private:
  JCombo& m_box;
};

class ListAdapter : public ListControl {
 public:
  explicit ListAdapter(ListBox& list) : m_list(list) {}
  void AddItem(std::u16string_view item) override { m_list.AddItem(item); }
  void Clear() override { m_list.Clear(); }
  size_t ListCount() const override { return static_cast<size_t>(m_list.ListCount()); }
  std::u16string List(size_t k) const override {
    return k < ListCount() ? m_list.List(static_cast<int32_t>(k)) : std::u16string();
  }

 private:
  ListBox& m_list;
};

class LabelAdapter : public LabelControl {
 public:
  explicit LabelAdapter(Label& label, std::function<void()> changed = {})
      : m_label(label), m_changed(std::move(changed)) {}
  void SetCaption(std::u16string_view caption) override {
    const bool differs = m_label.Caption() != caption;
    m_label.SetCaption(caption);
    if (differs && m_changed) m_changed();
  }
  std::u16string Caption() const override { return m_label.Caption(); }

 private:
  Label& m_label;
  std::function<void()> m_changed;  // a price row's caption changed
};

class TextBoxAdapter : public TextBoxControl {
 public:
  explicit TextBoxAdapter(TextBox& box) : m_box(box) {}
  void SetText(std::u16string_view text) override { m_box.SetText(text); }
  std::u16string Text() const override { return m_box.Text(); }

 private:
  TextBox& m_box;
};

// The bare name of the routine a step runs in, from the compiler's signature
// ("void fw::ForMain::OnLoad()" gives "OnLoad"), for the failure's trace.
std::u16string RoutineName(std::string_view signature) {
  signature = signature.substr(0, signature.find('('));
  if (const size_t colon = signature.rfind(':'); colon != std::string_view::npos) {
    signature.remove_prefix(colon + 1);
  }
  return std::u16string(signature.begin(), signature.end());
}

// Runs one step of a handler; a failing step is skipped and the next one runs.
template <typename Step>
void Skipping(Step&& step, const std::source_location at = std::source_location::current()) {
  Contain(u"ForMain", RoutineName(at.function_name()), std::forward<Step>(step));
}

}  // namespace

// The lookup's view of the window's controls. A control missing from the
// design is stood in for by an in-memory one, so the lookup's steps on it do
// nothing visible instead of failing.
struct ForMain::Wiring {
  std::array<std::unique_ptr<ComboControl>, 2> comWhere;
  std::array<std::unique_ptr<ListControl>, 4> ListCity;
  std::unique_ptr<TextBoxControl> Text1;
  std::array<std::unique_ptr<LabelControl>, kRows> labinfo;
  std::array<std::unique_ptr<LabelControl>, kRows> labPrice;

  template <typename Adapter, typename Stand, typename Control, typename Interface>
  static void Wire(std::unique_ptr<Interface>& slot, Control* control) {
    if (control) {
      slot = std::make_unique<Adapter>(*control);
    } else {
      slot = std::make_unique<Stand>();
    }
  }

  PriceWindowControls Controls() const {
    PriceWindowControls c;
    for (size_t i = 0; i < comWhere.size(); ++i) c.comWhere[i] = comWhere[i].get();
    for (size_t i = 0; i < ListCity.size(); ++i) c.ListCity[i] = ListCity[i].get();
    c.Text1 = Text1.get();
    for (size_t i = 0; i < kRows; ++i) {
      c.labinfo[i] = labinfo[i].get();
      c.labPrice[i] = labPrice[i].get();
    }
    return c;
  }
};

ForMain::ForMain(std::u16string priceRoot, std::u16string chartRoot)
    : m_priceRoot(std::move(priceRoot)), m_chartRoot(std::move(chartRoot)) {}

ForMain::~ForMain() {
  if (MainWindow() == this) SetMainWindow(nullptr);
}

bool ForMain::LoadDesign() {
  StartFetches();
  return LoadFromResource(kDesignName);
}

// The two fetches the start-up makes, begun before the window is built: the
// index through the loader LoadProvince navigates with (the same URL, so the
// loader takes this fetch over), the chart fetched and decoded on a worker.
void ForMain::StartFetches() {
  Skipping([&] { m_browser.Prefetch(IndexPageUrl(m_priceRoot)); });
  Skipping([&] { m_chartAhead = std::make_unique<PicturePrefetch>(ChartUrl()); });
}

// The chart's path starts with its own slash.
std::wstring ForMain::ChartUrl() const {
  std::u16string_view origin = m_chartRoot;
  if (origin.ends_with(u'/')) origin.remove_suffix(1);
  return ToWide(origin) + ToWide(kChartPath);
}

bool ForMain::Ready() const { return m_lookup && m_lookup->Ready(); }

// The site as configured, its scheme with a capital: "Http://host/".
std::u16string ForMain::ChartToolTip() const {
  std::u16string site = m_priceRoot;
  if (!site.empty() && site[0] >= u'a' && site[0] <= u'z') site[0] = static_cast<char16_t>(site[0] - 32);
  return u"数据来源于油价网\r\n(" + site + u")";
}

// The start-up sequence; each step that fails is skipped.
void ForMain::OnLoad() {
  SetMainWindow(this);
  OnStartupStep("design");
  Skipping([&] { SetCaption(kCaption); });
  Skipping([&] {
    if (auto* frame = Get<skForms>(u"skForms1")) frame->SetThemeColor(RandomTheme());
  });
  OnStartupStep("caption and theme");
  Skipping([&] { LoadChart(); });
  OnStartupStep("chart");
  Skipping([&] { AddPanels(); });
  Skipping([&] { EmptyRows(); });
  Skipping([&] { MakeRowsSpoken(); });
  Skipping([&] {
    WireLookup();
    BindEvents();
  });
  OnStartupStep("panels and rows");
  Skipping([&] {
    if (m_lookup) m_lookup->LoadProvince();
  });
  OnStartupStep("index");
  Skipping([&] { ChooseStartCity(); });
}

// An item of a box by its text; -1 when the box does not list it.
static int32_t FindItem(const JCombo& box, std::u16string_view text) {
  for (int32_t i = 0; i < box.ListCount(); ++i) {
    if (box.GetItem(i) == text) return i;
  }
  return -1;
}

// Each choice goes through the box, which raises Change as a choice in its
// list does: the province fills the city list, the city loads the rows.
void ForMain::ChooseStartCity() {
  if (!m_startCity || !Ready()) return;
  auto* provinces = Get<JCombo>(u"comWhere", 0);
  auto* cities = Get<JCombo>(u"comWhere", 1);
  if (!provinces || !cities) return;
  const int32_t province = FindItem(*provinces, m_startCity->province);
  if (province < 0) return;
  m_choosingStartCity = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{m_choosingStartCity};
  provinces->SetListIndex(province);
  const int32_t city = FindItem(*cities, m_startCity->city);
  if (city >= 0) cities->SetListIndex(city);
}

// A city the user chose (not the one chosen for them at start) is kept for
// the next start, when that is wanted.
void ForMain::StoreChosenCity() {
  if (!m_rememberCity || m_choosingStartCity) return;
  auto* provinces = Get<JCombo>(u"comWhere", 0);
  auto* cities = Get<JCombo>(u"comWhere", 1);
  if (!provinces || !cities || provinces->ListIndex() < 0 || cities->ListIndex() < 0) return;
  StoreLastCity({provinces->GetItem(provinces->ListIndex()), cities->GetItem(cities->ListIndex())});
}

void ForMain::ChangeSites(std::u16string priceRoot, std::u16string chartRoot) {
  m_pendingSites.emplace(std::move(priceRoot), std::move(chartRoot));
  ApplyPendingSites();
}

// The lookup cannot be replaced under one of its own operations (the index
// wait runs the window's messages): the change is tried again when the
// operation has ended, from the message queue.
void ForMain::ApplyPendingSites() {
  if (!m_pendingSites) return;
  if (m_lookup && !m_lookup->Ready()) {
    PostMessageW(hWnd(), kApplySitesMessage, 0, 0);
    return;
  }
  auto [priceRoot, chartRoot] = std::move(*m_pendingSites);
  m_pendingSites.reset();
  m_priceRoot = std::move(priceRoot);
  m_chartRoot = std::move(chartRoot);
  Skipping([&] {
    for (int32_t i = 0; i < 2; ++i) {
      if (auto* box = Get<JCombo>(u"comWhere", i)) box->Clear();
    }
    for (int32_t i = 0; i < 4; ++i) {
      if (auto* list = Get<ListBox>(u"ListCity", i)) list->Clear();
    }
    if (auto* text = Get<TextBox>(u"Text1")) text->SetText(u"");
  });
  Skipping([&] { EmptyRows(); });
  Skipping([&] {
    if (auto* picture = Get<PictureBox>(u"Picture1")) picture->SetPicture(nullptr);
  });
  Skipping([&] { WireLookup(); });
  Skipping([&] { LoadChart(); });
  Skipping([&] {
    if (auto* picture = Get<PictureBox>(u"Picture1")) picture->SetAccessibleName(OnOneLine(ChartToolTip()));
  });
  Skipping([&] {
    if (m_lookup) m_lookup->LoadProvince();
  });
}

void ForMain::OnUnload() {
  // A modal window of ours still open goes first (its loop ends with it).
  if (m_about.IsLoaded()) m_about.Unload();
  if (m_settings.IsLoaded()) m_settings.Unload();
  PostQuitMessage(0);
}

int32_t ForMain::ShowMessageBox(std::u16string_view prompt, int32_t flags,
                                std::u16string_view caption) {
  return fw::ShowMessageBox(prompt, flags, caption, this);
}

void ForMain::SetClock(Clock clock) { m_clock = std::move(clock); }

std::u16string ForMain::Today() const {
  SYSTEMTIME now{};
  if (m_clock) {
    now = m_clock();
  } else {
    GetLocalTime(&now);
  }
  return ShortDate(now);
}

// Panel 1 the credit, panel 2 the date, each with its icon from the hidden
// images (the bar leaves out its own white around them).
void ForMain::AddPanels() {
  auto* bar = Get<ucStatusBar>(u"ucStatusBar1");
  if (!bar) return;
  auto icon = [this](const char16_t* name) -> std::shared_ptr<Picture> {
    auto* image = Get<Image>(name);
    return image ? image->GetPicture() : nullptr;
  };
  const Colour mask(0xFF00FFu), buttonText(SystemColour(COLOR_BTNTEXT));
  Skipping([&] {
    bar->AddPanel(kCredit, 0, false, false, icon(u"Image1"), 0, true, mask, buttonText, nullptr,
                  u"", 220);
  });
  Skipping([&] {
    bar->AddPanel(Today(), 1, false, false, icon(u"Image2"), 0, true, mask, buttonText, nullptr,
                  u"", 140);
  });
}

// The picture fetched ahead when there is one, else fetched now: the same
// fetch either way. The chart comes through the page fetch rather than the
// platform's path-or-URL loader: the same picture and the same failures, without
// that loader's own download stack (several MiB and tens of milliseconds to
// load at every start), and with the page fetch's limits.
void ForMain::LoadChart() {
  auto* picture = Get<PictureBox>(u"Picture1");
  if (!picture) return;
  const std::unique_ptr<PicturePrefetch> ahead = std::move(m_chartAhead);
  std::shared_ptr<Picture> chart = ahead ? ahead->Take() : FetchPicture(ChartUrl());
  if (chart) picture->SetPicture(std::move(chart));
}

void ForMain::EmptyRows() {
  for (const char16_t* name : {u"labinfo", u"labPrice"}) {
    for (int32_t i = 0; i < kRows; ++i) {
      if (auto* label = Get<Label>(name, i)) label->SetCaption(u"");
    }
  }
}

void ForMain::WireLookup() {
  auto w = std::make_unique<Wiring>();
  for (int32_t i = 0; i < 2; ++i) {
    Wiring::Wire<ComboAdapter, MemoryCombo>(w->comWhere[i], Get<JCombo>(u"comWhere", i));
  }
  for (int32_t i = 0; i < 4; ++i) {
    Wiring::Wire<ListAdapter, MemoryList>(w->ListCity[i], Get<ListBox>(u"ListCity", i));
  }
  Wiring::Wire<TextBoxAdapter, MemoryTextBox>(w->Text1, Get<TextBox>(u"Text1"));
  // The rows tell the window when they change, for the readers' live region.
  const auto row = [this](std::unique_ptr<LabelControl>& slot, Label* label) {
    if (label) {
      slot = std::make_unique<LabelAdapter>(*label, [this] { OnRowCaptionChanged(); });
    } else {
      slot = std::make_unique<MemoryLabel>();
    }
  };
  for (int32_t i = 0; i < kRows; ++i) {
    row(w->labinfo[i], Get<Label>(u"labinfo", i));
    row(w->labPrice[i], Get<Label>(u"labPrice", i));
  }
  m_lookup = std::make_unique<PriceLookup>(
      w->Controls(), m_pages, m_browser,
      [this](std::u16string_view prompt, int32_t flags, std::u16string_view caption) {
        return ShowMessageBox(prompt, flags, caption);
      },
      m_priceRoot);
  m_lookup->SetProblemHandler(
      [this](const std::optional<SiteProblem>& problem) { ShowProblem(problem); });
  m_wiring = std::move(w);
}

void ForMain::BindEvents() {
  BindArray<JCombo>(u"comWhere", [this](JCombo& box, int32_t index) {
    // A choice in the list, and a text typed or set: both change the box.
    box.Change = [this, index] { OnWhereChange(index); };
  });
  if (auto* picture = Get<PictureBox>(u"Picture1")) {
    picture->MouseMove = [this](int, int, float, float) { OnPictureMouseMove(); };
  }
  if (auto* refresh = Get<skbutton>(u"cmdRefresh")) refresh->Click = [this] { OnRefreshClick(); };
  if (auto* timer = Get<Timer>(u"Timer1")) timer->Tick = [this] { OnTimerTick(); };
  if (auto* bar = Get<ucStatusBar>(u"ucStatusBar1")) {
    bar->PanelClick = [this](int32_t& index) { OnPanelClick(index); };
  }
  AddSettingsMenu();
}

void ForMain::MakeRowsSpoken() {
  for (int32_t i = 0; i < kRows; ++i) {
    auto* info = Get<Label>(u"labinfo", i);
    auto* price = Get<Label>(u"labPrice", i);
    if (!info || !price) continue;
    // The price label is read as part of its row, not as a text of its own.
    price->SetAccessibleHidden(true);
    info->SetAccessibleDescriber([info, price](AccessibleItem& item) {
      const SpokenPriceRow spoken = SpokenRow(info->Caption(), price->Caption());
      item.name = spoken.name;
      if (!spoken.value.empty()) item.value = spoken.value;
      // A row that shows nothing yet is nothing to read.
      if (spoken.name.empty() && spoken.value.empty()) {
        item.state = item.state.value_or(0) | STATE_SYSTEM_INVISIBLE;
      }
      // Where the row is drawn: both labels.
      RECT at = price->PixelRect();
      MapWindowPoints(price->ContainerHwnd(), nullptr, reinterpret_cast<POINT*>(&at), 2);
      if (item.location) UnionRect(&*item.location, &*item.location, &at);
    });
  }
  // Windows honours the setting; a platform without it still passes the event.
  if (auto* first = Get<Label>(u"labinfo", 0)) {
    SetLiveSetting(first->ContainerHwnd(), CHILDID_SELF, LiveSetting::Polite);
  }
  if (auto* bar = Get<ucStatusBar>(u"ucStatusBar1")) {
    SetLiveSetting(bar->hWnd(), kCreditPanel, LiveSetting::Polite);
  }
  if (auto* picture = Get<PictureBox>(u"Picture1")) picture->SetAccessibleName(OnOneLine(ChartToolTip()));
}

void ForMain::OnRowCaptionChanged() {
  if (m_rowsAnnouncementDue || !hWnd()) return;
  m_rowsAnnouncementDue = PostMessageW(hWnd(), kRowsChangedMessage, 0, 0) != FALSE;
}

void ForMain::AnnounceRows() {
  m_rowsAnnouncementDue = false;
  // Rows emptied on the way to new ones (or by a failure, which the problem's
  // own announcement tells) have nothing to say.
  bool priced = false;
  for (int32_t i = 0; i < kRows; ++i) {
    if (auto* price = Get<Label>(u"labPrice", i)) priced = priced || !price->Caption().empty();
  }
  if (!priced) return;
  if (auto* first = Get<Label>(u"labinfo", 0)) NotifyLiveRegionChanged(first->ContainerHwnd());
}

void ForMain::ShowProblem(const std::optional<SiteProblem>& problem) {
  Skipping([&] {
    auto* bar = Get<ucStatusBar>(u"ucStatusBar1");
    if (!bar) return;
    // The credit's face has no Chinese glyphs wherever the system does not
    // link it to one; the problem is written in the face the windows' Chinese
    // texts use, and the credit gets the bar's own font back.
    if (problem && !m_creditFont) m_creditFont = bar->PanelFont(kCreditPanel);
    if (problem || m_creditFont) {
      bar->SetPanelFont(kCreditPanel, problem ? Font::Create(u"宋体", 9) : m_creditFont);
    }
    bar->SetPanelText(kCreditPanel, problem ? ProblemSummary(*problem) : std::u16string(kCredit));
    bar->SetPanelToolTipText(kCreditPanel, problem ? ProblemMessage(*problem) : std::u16string());
    // Spoken where it appears, without the focus moving there.
    if (problem) NotifyLiveRegionChanged(bar->hWnd(), kCreditPanel);
  });
}

void ForMain::OnWhereChange(int32_t index) {
  const bool acts = Ready();
  Skipping([&] {
    if (m_lookup) m_lookup->OnWhereChange(index);
  });
  if (acts && index == 1) Skipping([&] { StoreChosenCity(); });
}

void ForMain::OnRefreshClick() {
  Skipping([&] {
    if (m_lookup) m_lookup->OnRefreshClick();
  });
}

void ForMain::OnTimerTick() {
  Skipping([&] {
    if (auto* bar = Get<ucStatusBar>(u"ucStatusBar1")) bar->SetPanelText(kDatePanel, Today());
  });
}

// While the credit panel tells of the site's problem, its click leads to
// where the sites are set; otherwise, and on the date, to the about window.
void ForMain::OnPanelClick(int32_t index) {
  if (index == kCreditPanel && m_lookup && m_lookup->Problem()) {
    OnSettings();
    return;
  }
  Skipping([&] { m_about.ShowAbout(this); });
}

void ForMain::OnHelp() {
  Skipping([&] { m_about.ShowAbout(this); });
}

bool ForMain::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
  if (msg == kApplySitesMessage) {
    ApplyPendingSites();
    result = 0;
    return true;
  }
  if (msg == kRowsChangedMessage) {
    Skipping([&] { AnnounceRows(); });
    result = 0;
    return true;
  }
  // The platform turns F1 into a help request that climbs from the focused
  // control to its window.
  if (msg != WM_HELP) return false;
  OnHelp();
  result = TRUE;
  return true;
}

void ForMain::OnPictureMouseMove() {
  if (auto* picture = Get<PictureBox>(u"Picture1")) picture->SetToolTipText(ChartToolTip());
}

}  // namespace fw
