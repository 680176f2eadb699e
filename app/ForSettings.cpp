#include "app/ForSettings.h"

#include <oleacc.h>

#include "app/ModMain.h"
#include "app/Settings.h"
#include "controls/skForms/skForms.h"
#include "controls/skbutton/skbutton.h"
#include "host/Accessible.h"
#include "host/Label.h"
#include "host/Shape.h"
#include "host/TextBox.h"

namespace fw {

namespace {

constexpr std::u16string_view kPriceBox = u"txtPriceSite";
constexpr std::u16string_view kChartBox = u"txtChartSite";
constexpr std::u16string_view kPriceError = u"lbPriceError";
constexpr std::u16string_view kChartError = u"lbChartError";
constexpr std::u16string_view kRemember = u"chkRememberCity";
// A field's border (the text box has none of its own), and while it has the focus.
constexpr Colour kBorder{0xB99D7Fu};
constexpr Colour kFocusBorder{0xB17F3Cu};

// What is stored for a site: nothing when it is the build's own, so that a
// later build's default applies to it.
std::optional<std::u16string> StoredForm(const settings::Origin& site, std::u16string_view built) {
  const auto builtOrigin = settings::ParseOrigin(built);
  if (builtOrigin && *builtOrigin == site) return std::nullopt;
  return site.Text();
}

}  // namespace

ForSettings::ForSettings() = default;
ForSettings::~ForSettings() = default;

std::optional<ForSettings::Values> ForSettings::ShowSettings(Form* owner, const Values& current,
                                                             const Defaults& defaults) {
  if (IsLoaded()) return std::nullopt;
  m_defaults = defaults;
  m_stored.reset();
  if (!LoadFromResource(kDesignName)) return std::nullopt;
  if (auto* box = Get<TextBox>(kPriceBox)) box->SetText(current.priceSite.Text());
  if (auto* box = Get<TextBox>(kChartBox)) box->SetText(current.chartSite.Text());
  if (auto* remember = Get<skbutton>(kRemember)) remember->SetValue(current.rememberCity);
  if (auto* first = Get<TextBox>(kPriceBox)) {
    // The first field takes the focus with its text selected, ready to be typed over.
    first->SetSelStart(0);
    first->SetSelLength(static_cast<int32_t>(first->Text().size()));
  }
  ShowModal(owner);
  // Closed by the frame or hidden: either way it goes.
  Unload();
  return m_stored;
}

void ForSettings::OnLoad() {
  // The main window's theme, so the two frames match.
  if (auto* frame = Get<skForms>(u"skForms1")) {
    const Form* main = MainWindow();
    const auto* mainFrame = main && main != this ? main->Get<skForms>(u"skForms1") : nullptr;
    frame->SetThemeColor(mainFrame ? mainFrame->ThemeColor() : RandomTheme());
  }
  const struct {
    std::u16string_view box, border;
  } fields[] = {{kPriceBox, u"shpPriceSite"}, {kChartBox, u"shpChartSite"}};
  for (const auto& field : fields) {
    auto* box = Get<TextBox>(field.box);
    auto* border = Get<Shape>(field.border);
    if (!box || !border) continue;
    box->GotFocus = [border] { border->SetBorderColor(kFocusBorder); };
    box->LostFocus = [border] { border->SetBorderColor(kBorder); };
  }
  if (auto* ok = Get<skbutton>(u"cmdOK")) ok->Click = [this] { OnOkClick(); };
  if (auto* cancel = Get<skbutton>(u"cmdCancel")) cancel->Click = [this] { OnCancelClick(); };
  if (auto* defaults = Get<skbutton>(u"cmdDefaults")) {
    defaults->Click = [this] { OnDefaultsClick(); };
  }
  // A button keeps Escape for itself: it closes the window from there too.
  for (const char16_t* name : {u"cmdOK", u"cmdCancel", u"cmdDefaults", u"chkRememberCity"}) {
    if (auto* button = Get<skbutton>(name)) {
      button->KeyDown = [this](int& keyCode, int) {
        if (keyCode == VK_ESCAPE) OnCancelClick();
      };
    }
  }
}

void ForSettings::ShowReason(std::u16string_view box, std::u16string_view error,
                             std::u16string_view why) {
  if (auto* label = Get<Label>(error)) {
    label->SetCaption(why);
    label->SetVisible(!why.empty());
  }
  if (auto* field = Get<TextBox>(box)) field->SetAccessibleDescription(why);
}

std::optional<settings::Origin> ForSettings::CheckField(std::u16string_view box,
                                                        std::u16string_view error) {
  const auto* field = Get<TextBox>(box);
  if (!field) return std::nullopt;
  std::u16string why;
  auto origin = settings::ParseOrigin(field->Text(), &why);
  ShowReason(box, error, origin ? std::u16string_view() : std::u16string_view(why));
  return origin;
}

void ForSettings::OnOkClick() {
  // Every field is checked, so each refused one shows its reason at once.
  const auto price = CheckField(kPriceBox, kPriceError);
  const auto chart = CheckField(kChartBox, kChartError);
  if (!price || !chart) {
    if (auto* first = Get<TextBox>(!price ? kPriceBox : kChartBox)) {
      first->SetFocus();
      first->SetSelStart(0);
      first->SetSelLength(static_cast<int32_t>(first->Text().size()));
    }
    return;
  }
  Values values{*price, *chart, true};
  if (const auto* remember = Get<skbutton>(kRemember)) values.rememberCity = remember->Value();
  const bool sites = StoreSites(StoredForm(values.priceSite, m_defaults.priceSite),
                                StoredForm(values.chartSite, m_defaults.chartSite));
  const bool remember = StoreRememberCity(values.rememberCity);
  if (!sites || !remember) {
    // The program still runs with the new settings; only the next start will not.
    ShowMessageBox(u"设置无法保存到注册表 (HKCU\\Software\\Fuelwise), 下次启动时不会生效。"
                   u"本次运行仍使用新的设置。",
                   0, u"设置", this);
  }
  m_stored = values;
  Unload();
}

void ForSettings::OnCancelClick() { Unload(); }

void ForSettings::OnDefaultsClick() {
  // Written as the fields show every origin: without the closing slash.
  const auto shown = [](std::u16string_view built) {
    const auto origin = settings::ParseOrigin(built);
    return origin ? origin->Text() : std::u16string(built);
  };
  if (auto* box = Get<TextBox>(kPriceBox)) box->SetText(shown(m_defaults.priceSite));
  if (auto* box = Get<TextBox>(kChartBox)) box->SetText(shown(m_defaults.chartSite));
  // The build's sites are good addresses: no reason stays beside them.
  ShowReason(kPriceBox, kPriceError, u"");
  ShowReason(kChartBox, kChartError, u"");
}

bool ForSettings::OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  if (!IsEscape(msg, w, l)) return false;
  OnCancelClick();
  result = 0;
  return true;
}

void ForSettings::OnAccessibleSelf(AccessibleItem& self) const { self.role = ROLE_SYSTEM_DIALOG; }

}  // namespace fw
