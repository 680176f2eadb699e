// ForSettings: the settings window. The price site's and the chart site's
// addresses, each in a text box with a line under it that says why an address
// cannot be used, the choice of showing the last city at start, and the
// buttons 恢复默认 (the build's sites), 确定 and 取消. Opened modally over the
// main window from the frame's own menu (ForMain::OnSettings).
//
// 确定 checks both addresses as origins. A refused one shows its reason under
// its box and takes the focus; the window stays open. Otherwise the settings
// are stored (app/Settings.h): a site equal to the build's default is stored
// as absent, so a later build's default applies to it; the window closes and
// answers what was stored, for the main window to apply. 取消, Escape and the
// close button store and answer nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/SiteSettings.h"
#include "host/Form.h"

namespace fw {

class ForSettings : public Form {
 public:
  static constexpr std::u16string_view kDesignName = u"ForSettings";

  // What the window shows and answers: each site's origin, and whether the
  // city chosen last is chosen again at start.
  struct Values {
    settings::Origin priceSite;
    settings::Origin chartSite;
    bool rememberCity = true;
  };
  // The build's own sites (fw::kPriceSite, fw::kChartSite), as their texts.
  struct Defaults {
    std::u16string priceSite;
    std::u16string chartSite;
  };

  ForSettings();
  ~ForSettings() override;

  // Loads the window with `current` filled in, shows it modally over `owner`
  // and answers the values stored by 确定; nothing when it was closed another
  // way (or is already open: it is modal, so that is a nested request).
  std::optional<Values> ShowSettings(Form* owner, const Values& current, const Defaults& defaults);

  // The buttons, named after the events they answer.
  void OnOkClick();
  void OnCancelClick();
  void OnDefaultsClick();

 protected:
  void OnLoad() override;
  // Escape closes the window without storing, as 取消 does.
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;
  void OnAccessibleSelf(AccessibleItem& self) const override;

 private:
  // The origin a field holds; shows its reason (or hides it) either way.
  std::optional<settings::Origin> CheckField(std::u16string_view box, std::u16string_view error);
  void ShowReason(std::u16string_view box, std::u16string_view error, std::u16string_view why);

  Defaults m_defaults;
  std::optional<Values> m_stored;
};

}  // namespace fw
