#include "app/Settings.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace fw {

namespace {

// One open registry key, closed with its owner.
class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (m_key) RegCloseKey(m_key);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  static RegistryKey Open() {
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key.m_key) != ERROR_SUCCESS) {
      key.m_key = nullptr;
    }
    return key;
  }
  static RegistryKey Create() {
    RegistryKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key.m_key, nullptr) != ERROR_SUCCESS) {
      key.m_key = nullptr;
    }
    return key;
  }
  RegistryKey(RegistryKey&& other) noexcept : m_key(std::exchange(other.m_key, nullptr)) {}

  explicit operator bool() const { return m_key != nullptr; }

  // A text value; "" when it holds another type; nullopt when it is absent.
  std::optional<std::u16string> Text(const wchar_t* name) const {
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::u16string();
    // A value longer than any setting is read no further than this.
    constexpr DWORD kMaxBytes = 8192;
    bytes = std::min(bytes, kMaxBytes);
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD read = bytes;
    const LONG result = RegQueryValueExW(m_key, name, nullptr, &type,
                                         reinterpret_cast<BYTE*>(buffer.data()), &read);
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) return std::u16string();
    std::wstring text(buffer.data(), std::min<size_t>(read / sizeof(wchar_t), buffer.size() - 1));
    // Stored strings end with their terminator, which is not part of the value.
    if (const size_t nul = text.find(L'\0'); nul != std::wstring::npos) text.resize(nul);
    return std::u16string(text.begin(), text.end());
  }
  std::optional<DWORD> Number(const wchar_t* name) const {
    DWORD type = 0, value = 0, bytes = sizeof value;
    if (RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_DWORD) {
      return std::nullopt;
    }
    return value;
  }
  bool SetText(const wchar_t* name, std::u16string_view text) {
    const std::wstring value(text.begin(), text.end());
    return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  bool SetNumber(const wchar_t* name, DWORD value) {
    return RegSetValueExW(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
  }
  bool Remove(const wchar_t* name) {
    const LONG result = RegDeleteValueW(m_key, name);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
  }

 private:
  HKEY m_key = nullptr;
};

}  // namespace

StoredSettings ReadStoredSettings() {
  StoredSettings stored;
  const RegistryKey key = RegistryKey::Open();
  if (!key) return stored;
  stored.priceSite = key.Text(kPriceSiteValue);
  stored.chartSite = key.Text(kChartSiteValue);
  if (const auto remember = key.Number(kRememberCityValue)) stored.rememberCity = *remember != 0;
  const auto province = key.Text(kLastProvinceValue);
  const auto city = key.Text(kLastCityValue);
  if (province && city && !province->empty() && !city->empty()) {
    stored.lastCity = settings::CityChoice{*province, *city};
  }
  return stored;
}

bool StoreSites(const std::optional<std::u16string>& priceSite,
                const std::optional<std::u16string>& chartSite) {
  RegistryKey key = RegistryKey::Create();
  if (!key) return false;
  const auto store = [&key](const wchar_t* name, const std::optional<std::u16string>& value) {
    return value ? key.SetText(name, *value) : key.Remove(name);
  };
  const bool price = store(kPriceSiteValue, priceSite);
  const bool chart = store(kChartSiteValue, chartSite);
  return price && chart;
}

bool StoreRememberCity(bool remember) {
  RegistryKey key = RegistryKey::Create();
  return key && key.SetNumber(kRememberCityValue, remember ? 1 : 0);
}

bool StoreLastCity(const settings::CityChoice& city) {
  RegistryKey key = RegistryKey::Create();
  if (!key) return false;
  const bool province = key.SetText(kLastProvinceValue, city.province);
  return key.SetText(kLastCityValue, city.city) && province;
}

RunSettings ChooseRunSettings(const settings::CommandLine& line, const StoredSettings& stored,
                              std::u16string_view builtPrice, std::u16string_view builtChart) {
  RunSettings run;
  run.price = settings::ChooseSite(settings::Site::kPrice, line.priceSite, stored.priceSite,
                                   builtPrice, run.refusals);
  run.chart = settings::ChooseSite(settings::Site::kChart, line.chartSite, stored.chartSite,
                                   builtChart, run.refusals);
  run.rememberCity = stored.rememberCity;
  if (line.city) {
    run.startCity = settings::ParseCityChoice(*line.city);
    run.startCityFromCommandLine = run.startCity.has_value();
  }
  if (!run.startCity && stored.rememberCity) run.startCity = stored.lastCity;
  return run;
}

}  // namespace fw
