// The page fetch behind the user's proxy settings, against the sample price
// site standing in for the proxy and serving the configuration script
// (/faults/proxy.pac: DIRECT for URLs that contain "direct", else the site
// itself). Built twice: as the plain test exe (this Wine reports 6.1) and with
// the program's manifest, run as Windows 10, the system the program meets.
#include <gtest/gtest.h>

#include <windows.h>
#include <versionhelpers.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/price/HttpClient.h"
#include "tests/app/price/SiteTestSupport.h"

namespace fw {
namespace {

using namespace std::chrono;

struct ProxySettings {
  std::wstring proxy;   // host:port, or empty
  std::wstring script;  // the configuration script's URL, or empty
  bool autoDetect = false;
};

ProxySettings ManualProxy(const std::wstring& hostPort) { return {hostPort, L"", false}; }
ProxySettings Script(const std::wstring& url) { return {L"", url, false}; }

// The current user's internet settings: the connection record the system
// keeps (a version, a counter, flags, then each text by its length). The
// record that was there before comes back at the end.
class UserProxySetting {
 public:
  explicit UserProxySetting(const ProxySettings& settings) {
    RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
    DWORD size = 0;
    if (RegQueryValueExW(m_key, kValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
      m_saved.resize(size);
      RegQueryValueExW(m_key, kValue, nullptr, nullptr, m_saved.data(), &size);
      m_hadValue = true;
    }
    Change(settings);
  }
  ~UserProxySetting() {
    if (m_hadValue) {
      RegSetValueExW(m_key, kValue, 0, REG_BINARY, m_saved.data(), static_cast<DWORD>(m_saved.size()));
    } else {
      RegDeleteValueW(m_key, kValue);
    }
    RegCloseKey(m_key);
  }
  UserProxySetting(const UserProxySetting&) = delete;
  UserProxySetting& operator=(const UserProxySetting&) = delete;

  void Change(const ProxySettings& settings) {
    std::vector<BYTE> blob;
    auto dword = [&blob](DWORD v) {
      blob.insert(blob.end(), reinterpret_cast<BYTE*>(&v), reinterpret_cast<BYTE*>(&v) + 4);
    };
    auto text = [&](const std::wstring& t) {
      dword(static_cast<DWORD>(t.size()));
      for (wchar_t c : t) blob.push_back(static_cast<BYTE>(c));  // ASCII here
    };
    dword(0x46);  // version
    dword(0);     // counter
    dword(1 | (settings.proxy.empty() ? 0 : 2) | (settings.script.empty() ? 0 : 4) |
          (settings.autoDetect ? 8 : 0));  // direct | named proxy | script | detection
    text(settings.proxy);
    text(L"");  // bypass list
    text(settings.script);
    blob.resize(blob.size() + 32);
    RegSetValueExW(m_key, kValue, 0, REG_BINARY, blob.data(), static_cast<DWORD>(blob.size()));
  }

 private:
  static constexpr wchar_t kKey[] =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
  static constexpr wchar_t kValue[] = L"DefaultConnectionSettings";
  HKEY m_key = nullptr;
  std::vector<BYTE> m_saved;
  bool m_hadValue = false;
};

// The site under the name "localhost": WinHTTP takes the address 127.0.0.1
// itself past any proxy, a name it does not.
std::string LocalOrigin() {
  const std::wstring host = SiteHost();
  return "http://localhost" + std::string(host.begin() + static_cast<std::ptrdiff_t>(host.find(L':')), host.end());
}
std::wstring LocalUrl(const std::string& path) {
  const std::string url = LocalOrigin() + path;
  return std::wstring(url.begin(), url.end());
}

// How the site saw `path` asked for since the log was cleared: "proxy" (the
// whole URL on the request line), "direct" (the path alone), or "" (not at all).
std::string HowRequested(const std::string& path) {
  std::string how;
  for (const std::string& line : RequestLog()) {
    const size_t tab = line.find('\t');
    const std::string target = line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1);
    if (target == path) how = "direct";
    if (target == LocalOrigin() + path) how = "proxy";
  }
  return how;
}

TEST(ProxySiteTest, TheUsersProxyCarriesTheRequest) {
  UserProxySetting setting(ManualProxy(SiteHost()));
  ClearRequestLog();
  const std::wstring page = GetBody(L"http://prices.fuelwise.invalid/hubei/wuhan.html", L"GBK");
  EXPECT_NE(page.find(L"<td>武汉92#汽油</td>"), std::wstring::npos);
  // A proxy is asked with the whole URL on the request line (the port may be spelt out).
  const std::vector<std::string> log = RequestLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(log[0] == "GET\thttp://prices.fuelwise.invalid/hubei/wuhan.html\t0" ||
              log[0] == "GET\thttp://prices.fuelwise.invalid:80/hubei/wuhan.html\t0")
      << log[0];
}

// The script decides per URL: two pages of one site may take different ways.
TEST(ProxySiteTest, TheScriptsAnswerHoldsForItsOwnUrl) {
  UserProxySetting setting(Script(SiteUrl(L"/faults/proxy.pac")));
  const struct {
    const char* path;
    const char* how;
  } kPages[] = {
      {"/hubei/wuhan.html", "proxy"},
      {"/hubei/wuhan.html?direct", "direct"},
      {"/hubei/wuhan.html", "proxy"},
      {"/sichuan/chengdu.html?direct", "direct"},
  };
  for (const auto& page : kPages) {
    ClearRequestLog();
    const std::string path = page.path;
    EXPECT_FALSE(GetBody(LocalUrl(path), L"GBK").empty()) << path;
    EXPECT_EQ(HowRequested(path), page.how) << path;
  }
}

// A changed setting is followed at once, not after the kept answers expire.
TEST(ProxySiteTest, ChangedSettingsAreFollowedAtOnce) {
  UserProxySetting setting(Script(SiteUrl(L"/faults/proxy.pac")));
  ClearRequestLog();
  EXPECT_FALSE(GetBody(LocalUrl("/hubei/xiangyang.html"), L"GBK").empty());
  EXPECT_EQ(HowRequested("/hubei/xiangyang.html"), "proxy");

  setting.Change(Script(SiteUrl(L"/faults/proxy.pac?answer=direct")));
  ClearRequestLog();
  EXPECT_FALSE(GetBody(LocalUrl("/hubei/xiangyang.html"), L"GBK").empty());
  EXPECT_EQ(HowRequested("/hubei/xiangyang.html"), "direct");

  setting.Change(ManualProxy(SiteHost()));
  ClearRequestLog();
  EXPECT_FALSE(GetBody(LocalUrl("/hubei/xiangyang.html"), L"GBK").empty());
  EXPECT_EQ(HowRequested("/hubei/xiangyang.html"), "proxy");
}

// A script that answers late costs the look-up's own bound, once: the fetch
// then goes the way the settings give without the script (here direct), and
// the next fetches do not wait for the script again. The look-up left behind
// ends by itself and closes what it opened.
TEST(ProxySiteTest, ASlowScriptCostsTheLookUpBoundOnce) {
  ClearRequestLog();  // while no script is set: the log's own fetches would ask it
  std::vector<milliseconds> took;
  {
    UserProxySetting setting(Script(SiteUrl(L"/faults/proxy.pac?ms=5000")));
    HttpLimits limits;
    limits.proxyLookupMs = 1500;
    for (int i = 0; i < 2; ++i) {
      const auto t0 = steady_clock::now();
      EXPECT_TRUE(HttpGet(LocalUrl("/guangdong/foshan.html"), limits).ok) << "fetch " << i;
      took.push_back(duration_cast<milliseconds>(steady_clock::now() - t0));
    }
  }
  EXPECT_EQ(HowRequested("/guangdong/foshan.html"), "direct");
  EXPECT_LT(took[0].count(), 4000) << "the first fetch waits for the look-up's bound";
  EXPECT_LT(took[1].count(), 1000) << "the next one does not wait again";
  for (int i = 0; i < 150 && HttpHandle::LiveCount() != 0; ++i) Sleep(100);
  EXPECT_EQ(HttpHandle::LiveCount(), 0);
}

// The manifested exe must really be the system the program meets there.
TEST(ProxySiteTest, TheSystemIsTheOneThisExeIsBuiltFor) {
#ifdef FUELWISE_TEST_AS_WINDOWS_10
  EXPECT_TRUE(IsWindows10OrGreater());
#else
  EXPECT_FALSE(IsWindows8Point1OrGreater());
#endif
}

}  // namespace
}  // namespace fw
