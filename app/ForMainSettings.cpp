// The main window's way into its settings: the frame's menu item and what the
// settings window's answer changes in the running window.
#include "app/ForMain.h"

#include <variant>

#include "app/Sites.h"
#include "controls/skForms/skForms.h"
#include "host/Failure.h"

namespace fw {

namespace {

constexpr std::u16string_view kSettingsItem = u"设置(&S)...";

// The origin of a root ("https://host[:port]/"); one that is none (a test's
// own root) stands as the empty origin, which shows as an empty field.
settings::Origin OriginOfRoot(std::u16string_view root) {
  return settings::ParseOrigin(root).value_or(settings::Origin{});
}

}  // namespace

void ForMain::AddSettingsMenu() {
  auto* frame = Get<skForms>(u"skForms1");
  if (!frame) return;
  frame->FormMenuAdd(kSettingsItem, /*addSeparator=*/true);
  // The frame answers no index for an added item: it is the last one with
  // this caption (the program's own items start at 9).
  for (int index = 9; index < 256; ++index) {
    const auto caption = frame->GetMenuItemValue(index, 0);
    if (const auto* text = std::get_if<std::u16string>(&caption); text && *text == kSettingsItem) {
      m_settingsMenuItem = static_cast<int16_t>(index);
    }
  }
  // The frame's icon and a right click on its title open the menu too.
  frame->FormMenuShow(1);
  auto previous = std::move(frame->MenuItemSelected);
  frame->MenuItemSelected = [this, previous](int16_t index, const std::u16string& caption) {
    if (index == m_settingsMenuItem) {
      OnSettings();
    } else if (previous) {
      previous(index, caption);
    }
  };
}

void ForMain::OnSettings() {
  Contain(u"ForMain", u"OnSettings", [&] {
    const ForSettings::Values current{OriginOfRoot(m_priceRoot), OriginOfRoot(m_chartRoot),
                                      m_rememberCity};
    const auto chosen = m_settings.ShowSettings(this, current, {kPriceSite, kChartSite});
    if (!chosen || !IsLoaded()) return;
    SetRememberCity(chosen->rememberCity);
    std::u16string priceRoot = chosen->priceSite.Root();
    std::u16string chartRoot = chosen->chartSite.Root();
    if (priceRoot != m_priceRoot || chartRoot != m_chartRoot) {
      ChangeSites(std::move(priceRoot), std::move(chartRoot));
    }
  });
}

}  // namespace fw
