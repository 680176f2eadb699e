// The user's settings, kept under HKCU\Software\Fuelwise: the two sites, whether
// the last city is chosen again at start, and that city. What the program runs
// with is chosen from the command line, these settings and the build's
// defaults (app/SiteSettings.h); only the settings window writes the sites.
#pragma once

#include <optional>
#include <string>

#include "app/SiteSettings.h"

namespace fw {

// The key under HKEY_CURRENT_USER and its values. The uninstaller removes the
// key with the program, so these names are also in package/Fuelwise.wxs.
inline constexpr wchar_t kSettingsKey[] = L"Software\\Fuelwise";
inline constexpr wchar_t kPriceSiteValue[] = L"PriceSite";            // REG_SZ, an origin
inline constexpr wchar_t kChartSiteValue[] = L"ChartSite";            // REG_SZ, an origin
inline constexpr wchar_t kRememberCityValue[] = L"RememberLastCity";  // REG_DWORD, 0 or 1
inline constexpr wchar_t kLastProvinceValue[] = L"LastProvince";      // REG_SZ
inline constexpr wchar_t kLastCityValue[] = L"LastCity";              // REG_SZ

struct StoredSettings {
  // As stored, not yet checked: a value of another type than text reads as "".
  std::optional<std::u16string> priceSite;
  std::optional<std::u16string> chartSite;
  bool rememberCity = true;
  std::optional<settings::CityChoice> lastCity;
};

// Reads what is stored; what is missing keeps its default.
StoredSettings ReadStoredSettings();

// Each returns false when the key could not be written. An absent site is
// removed, so the build's default applies again.
bool StoreSites(const std::optional<std::u16string>& priceSite,
                const std::optional<std::u16string>& chartSite);
bool StoreRememberCity(bool remember);
bool StoreLastCity(const settings::CityChoice& city);

// What the program runs with: the sites chosen from their sources, the city
// to choose at start (from --city, else the remembered one when that is on),
// and every value refused on the way.
struct RunSettings {
  settings::SiteChoice price;
  settings::SiteChoice chart;
  bool rememberCity = true;
  std::optional<settings::CityChoice> startCity;
  bool startCityFromCommandLine = false;
  std::vector<settings::Refusal> refusals;
};
// `builtPrice` and `builtChart` are the build's defaults.
RunSettings ChooseRunSettings(const settings::CommandLine& line, const StoredSettings& stored,
                              std::u16string_view builtPrice, std::u16string_view builtChart);

}  // namespace fw
