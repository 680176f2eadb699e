// Fuelwise as a user meets it: the program runs as a process of its own
// against the sample price site, and this test drives it only from outside,
// with the pointer and window messages any other program could send, and
// reads it as assistive technology does: through the window texts and lists
// (WM_GETTEXT, CB_GETLBTEXT), and through the accessible objects (MSAA) for the
// labels, which have no window of their own.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "app/price/HttpClient.h"
#include "host/Utf8.h"
#include "tests/app/WindowTestSupport.h"
#include "tests/app/price/SiteTestSupport.h"
#include "tests/host/AccessibleRead.h"

namespace fw {
namespace {

using Texts = std::vector<std::u16string>;
using test::ChildWithText;
using test::PumpFor;

constexpr char16_t kCaption[] = u"Fuelwise v1.0.0110";

// Whether a label of `window` (or of a window in it) shows `text`, as a screen
// reader would find it.
bool ShowsText(HWND window, const std::u16string& text) {
  const std::vector<std::u16string> texts = test::AccessibleTexts(window);
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

void Click(HWND hwnd) {
  RECT rc{};
  GetClientRect(hwnd, &rc);
  test::RealClick(hwnd, rc.right / 2, rc.bottom / 2);
}

Texts ComboItems(HWND combo) {
  Texts items;
  const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    wchar_t buf[256] = {};
    const LRESULT got = SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
    items.push_back(ToU16(std::wstring(buf, static_cast<size_t>(got < 0 ? 0 : got))));
  }
  return items;
}

// What a choice in the dropped list does: the list selects, the box tells its parent.
void Choose(HWND combo, const std::wstring& item) {
  const LRESULT i = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(item.c_str()));
  ASSERT_GE(i, 0) << "no such item";
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

size_t Fetches(const std::string& page) {
  size_t n = 0;
  for (const std::string& line : RequestLog()) n += line.find(page) != std::string::npos;
  return n;
}

// The rows of a city, as a screen reader finds them in the window.
// Each price read in a row of its own, as its fuel, the price and the unit.
bool ShowsPrices(HWND window, std::initializer_list<const char16_t*> prices) {
  const std::vector<std::u16string> shown = test::AccessibleTexts(window);
  for (const char16_t* price : prices) {
    const std::u16string row = u" " + std::u16string(price) + u" 元/升";
    if (std::none_of(shown.begin(), shown.end(), [&](const auto& t) { return t.ends_with(row); })) {
      return false;
    }
  }
  return true;
}

class ProgramTest : public ::testing::Test {
 protected:
  void TearDown() override { End(); }

  // Starts the program against `site` and waits for its window.
  void Start(const std::wstring& site) {
    ASSERT_TRUE(test::StartProgramUnderTest(site, m_process));
    WaitForWindow();
  }
  // Starts the program with `args`, the user's settings as they are.
  void StartWith(const std::vector<std::wstring>& args) {
    ASSERT_TRUE(test::StartProgram(args, m_process));
    WaitForWindow();
  }
  void WaitForWindow() {
    const DWORD start = GetTickCount();
    ASSERT_TRUE(PumpFor(30000, [&] { return (m_main = Shown(kCaption)); })) << "no window";
    m_startMs = GetTickCount() - start;
    SetForegroundWindow(m_main);
    PumpFor(300);
  }

  HWND Shown(const std::u16string& title) const {
    return test::FindShown(title, m_process.dwProcessId);
  }

  // The platform's combo boxes inside the province and the city box, top to bottom.
  std::vector<HWND> Combos() const {
    std::vector<test::ChildWindow> combos;
    for (const auto& c : test::VisibleChildren(m_main)) {
      wchar_t kind[32] = {};
      GetClassNameW(c.hwnd, kind, 32);
      if (std::wstring(kind) == L"ComboBox") combos.push_back(c);
    }
    std::sort(combos.begin(), combos.end(), [](auto& a, auto& b) { return a.rect.top < b.rect.top; });
    std::vector<HWND> out;
    for (const auto& c : combos) out.push_back(c.hwnd);
    return out;
  }

  // What the province and the city box show, top to bottom: the texts of their
  // text fields (the platform's combo boxes keep a selection of their own,
  // which the shown text need not be).
  Texts Shown() const {
    std::vector<test::ChildWindow> fields;
    for (const auto& c : test::VisibleChildren(m_main)) {
      wchar_t kind[32] = {};
      GetClassNameW(c.hwnd, kind, 32);
      if (std::wstring(kind) == L"Edit") fields.push_back(c);
    }
    std::sort(fields.begin(), fields.end(), [](auto& a, auto& b) { return a.rect.top < b.rect.top; });
    Texts out;
    for (const auto& c : fields) out.push_back(test::WindowText(c.hwnd));
    return out;
  }

  // Ends the program as Alt+F4 does; true when it ended by itself with 0.
  bool Close() {
    PostMessageW(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = 99;
    const bool ended = WaitForSingleObject(m_process.hProcess, 15000) == WAIT_OBJECT_0;
    GetExitCodeProcess(m_process.hProcess, &code);
    return ended && code == 0;
  }
  void End() {
    if (!m_process.hProcess) return;
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_process.hProcess, 9);
    CloseHandle(m_process.hProcess);
    CloseHandle(m_process.hThread);
    m_process = {};
  }

  PROCESS_INFORMATION m_process{};
  HWND m_main = nullptr;
  DWORD m_startMs = 0;
};

TEST_F(ProgramTest, AUsersSession) {
  Start(SiteHost());
  const std::vector<HWND> combos = Combos();
  ASSERT_EQ(combos.size(), 2u);
  EXPECT_EQ(ComboItems(combos[0]), (Texts{u"广东", u"浙江", u"江苏", u"四川", u"山东", u"湖北"}));
  EXPECT_TRUE(ComboItems(combos[1]).empty());

  // Refresh with no city: the program's own warning box; OK closes it.
  HWND refresh = ChildWithText(m_main, u"刷新");
  ASSERT_TRUE(refresh);
  Click(refresh);
  HWND box = nullptr;
  ASSERT_TRUE(PumpFor(5000, [&] { return (box = Shown(u"提示")); })) << "no warning box";
  EXPECT_TRUE(ShowsText(box, u"您还没有选择城市了!"));
  EXPECT_FALSE(IsWindowEnabled(m_main));
  Click(ChildWithText(box, u"OK"));
  EXPECT_TRUE(PumpFor(3000, [&] { return !Shown(u"提示"); }));
  EXPECT_TRUE(IsWindowEnabled(m_main));

  // A province and a city: the four prices.
  Choose(combos[0], L"广东");
  EXPECT_EQ(ComboItems(combos[1]), (Texts{u"广州", u"深圳", u"珠海", u"佛山"}));
  ClearRequestLog();
  Choose(combos[1], L"广州");
  for (const char16_t* price : {u"7.17", u"7.74", u"8.38", u"7.41"}) {
    EXPECT_TRUE(ShowsPrices(m_main, {price})) << "price " << char(price[0]) << char(price[2]);
  }
  EXPECT_EQ(Fetches("guangzhou"), 1u);

  // Refresh fetches the city's page again.
  Click(refresh);
  EXPECT_TRUE(PumpFor(3000, [] { return Fetches("guangzhou") == 2; }));
  EXPECT_TRUE(ShowsPrices(m_main, {u"8.38"}));

  // The status bar along the bottom: the credit and today's date; a click
  // opens the about window, and the main window takes no input until it is closed.
  RECT client{};
  GetClientRect(m_main, &client);
  POINT bottom{100, client.bottom - 10};
  ClientToScreen(m_main, &bottom);
  HWND bar = WindowFromPoint(bottom);
  SYSTEMTIME today{};
  GetLocalTime(&today);
  wchar_t date[64] = {};
  GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &today, nullptr, date, 64, nullptr);
  EXPECT_EQ(test::WindowText(bar), u"Design By fuelwise-dev\t" + ToU16(date));
  test::RealClick(m_main, 100, client.bottom - 10);
  HWND about = nullptr;
  ASSERT_TRUE(PumpFor(5000, [&] { return (about = Shown(u"关于")); })) << "no about window";
  EXPECT_TRUE(ShowsText(about, kCaption)) << "the title line";
  EXPECT_FALSE(IsWindowEnabled(m_main));
  Click(ChildWithText(about, u"退出"));
  EXPECT_TRUE(PumpFor(3000, [&] { return !Shown(u"关于"); }));
  EXPECT_TRUE(IsWindowEnabled(m_main));

  EXPECT_TRUE(Close()) << "closing the window did not end the program";
}

std::wstring Variant(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::wstring(value, value + std::strlen(value)) : std::wstring();
}

// The status bar's text, its panels joined by tabs, as a tool reads it.
std::u16string StatusText(HWND main) {
  RECT client{};
  GetClientRect(main, &client);
  POINT bottom{100, client.bottom - 10};
  ClientToScreen(main, &bottom);
  return test::WindowText(WindowFromPoint(bottom));
}

// A site that cannot be read: the window opens all the same, without a box of
// any kind, and says where the user looks (the province box, the status bar)
// which site failed and why; 刷新 reads the index again instead of asking
// for a city.
TEST_F(ProgramTest, ABrokenSiteSaysWhy) {
  ASSERT_FALSE(Variant("FUELWISE_TEST_FAULT_SITE").empty()) << "run through with-site-variants.sh";
  struct Case {
    std::wstring site;
    std::u16string reason;
  };
  const Case cases[] = {
      {L"http://127.0.0.1:" + std::to_wstring(ClosedPort()), u"无法连接到服务器"},
      {L"http://fuelwise-test.invalid", u"找不到服务器"},
      {L"http://" + Variant("FUELWISE_TEST_FAULT_SITE"), u"服务器返回 HTTP 500"},
      {L"http://" + SiteHost() + L"/", u""},  // listed: nothing to say
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(ToU16(c.site)));
    test::ForgetUserSettings();
    StartWith({L"--price-site", c.site, L"--chart-site", c.site});
    EXPECT_LT(m_startMs, 20000u);
    std::u16string root = ToU16(c.site);
    if (root.back() != u'/') root += u'/';
    const std::u16string summary = c.reason + u": " + root;
    if (c.reason.empty()) {
      EXPECT_EQ(Shown()[0], u"请选择省份");
      EXPECT_TRUE(StatusText(m_main).starts_with(u"Design By fuelwise-dev\t"));
    } else {
      EXPECT_TRUE(ComboItems(Combos()[0]).empty());
      EXPECT_EQ(Shown()[0], summary);
      EXPECT_TRUE(StatusText(m_main).starts_with(summary + u"\t")) << Utf16ToUtf8(StatusText(m_main));
      ClearRequestLog();
      Click(ChildWithText(m_main, u"刷新"));
      PumpFor(1500);
      EXPECT_FALSE(Shown(u"提示")) << "no city warning while there is no province";
      if (c.site.find(Variant("FUELWISE_TEST_FAULT_SITE")) != std::wstring::npos) {
        EXPECT_EQ(Fetches("youjiamap.asp"), 0u) << "the fault site has a log of its own";
      }
      EXPECT_EQ(Shown()[0], summary) << "read again, failed again";
      // The message in the status bar leads to the settings.
      RECT client{};
      GetClientRect(m_main, &client);
      test::RealClick(m_main, 100, client.bottom - 10);
      HWND settings = nullptr;
      ASSERT_TRUE(PumpFor(5000, [&] { return (settings = Shown(u"设置")); })) << "no settings window";
      EXPECT_FALSE(IsWindowEnabled(m_main));
      Click(ChildWithText(settings, u"取消"));
      EXPECT_TRUE(PumpFor(3000, [&] { return !Shown(u"设置"); }));
      EXPECT_FALSE(Shown(u"关于")) << "the about window is for the credit, not the problem";
    }
    EXPECT_FALSE(Shown(u"提示"));
    EXPECT_FALSE(Shown(u"Fuelwise"));
    EXPECT_TRUE(Close());
    End();
  }
}

// An index whose markup a browser repairs (the sample site's
// repaired/youjiamap.asp as the index): the program lists the provinces and
// cities a browser's document holds.
TEST_F(ProgramTest, ARepairedIndexListsWhatABrowserBuilds) {
  ASSERT_FALSE(Variant("FUELWISE_TEST_REPAIRED_SITE").empty()) << "run through with-site-variants.sh";
  test::ForgetUserSettings();
  const std::wstring site = L"http://" + Variant("FUELWISE_TEST_REPAIRED_SITE");
  StartWith({L"--price-site", site, L"--chart-site", site});
  const std::vector<HWND> combos = Combos();
  ASSERT_EQ(combos.size(), 2u);
  EXPECT_EQ(ComboItems(combos[0]), (Texts{u"广东", u"浙江", u"江苏", u"四川", u"山东", u"Hubei 湖北"}));
  Choose(combos[0], L"四川");
  EXPECT_EQ(ComboItems(combos[1]), (Texts{u"宜宾", u"成都", u"绵阳"}));
  Choose(combos[0], L"江苏");
  EXPECT_EQ(ComboItems(combos[1]), (Texts{u"南京", u"苏州", u"WUXI 无锡"}));
  EXPECT_TRUE(Close());
}

// The shipped program against the site over HTTPS (a CA trusted in this
// prefix only), reached through an http-to-https redirect, and in UTF-8
// declared by the answer's header or by the page: the same provinces, cities
// and prices as the plain GBK site.
TEST_F(ProgramTest, SecureRedirectedAndUtf8SitesListTheSamePrices) {
  ASSERT_EQ(Variant("FUELWISE_TEST_CA_TRUSTED"), L"1") << "run through with-site-variants.sh --trust-ca";
  const std::wstring redirectPort = Variant("FUELWISE_TEST_REDIRECT_SITE").substr(
      Variant("FUELWISE_TEST_REDIRECT_SITE").find(L':'));
  const std::wstring sites[] = {
      L"https://" + Variant("FUELWISE_TEST_TLS_SITE"),
      // The redirect names localhost, so the site is asked as localhost too:
      // only a move to https on the site's own host keeps its links.
      L"http://localhost" + redirectPort,
      L"http://" + Variant("FUELWISE_TEST_UTF8_HEADER_SITE"),
      L"http://" + Variant("FUELWISE_TEST_UTF8_META_SITE"),
  };
  for (const std::wstring& site : sites) {
    SCOPED_TRACE(Utf16ToUtf8(ToU16(site)));
    test::ForgetUserSettings();
    StartWith({L"--price-site", site, L"--chart-site", site});
    EXPECT_EQ(ComboItems(Combos()[0]), (Texts{u"广东", u"浙江", u"江苏", u"四川", u"山东", u"湖北"}));
    Choose(Combos()[0], L"广东");
    EXPECT_EQ(ComboItems(Combos()[1]), (Texts{u"广州", u"深圳", u"珠海", u"佛山"}));
    Choose(Combos()[1], L"广州");
    EXPECT_TRUE(ShowsPrices(m_main, {u"7.17", u"7.74", u"8.38", u"7.41"}));
    EXPECT_TRUE(StatusText(m_main).starts_with(u"Design By fuelwise-dev\t"));
    EXPECT_TRUE(Close());
    End();
  }
}

// The same HTTPS site where its CA is trusted by nobody: refused, and the
// user sees why.
TEST_F(ProgramTest, UntrustedCertificateIsRefusedAndShown) {
  ASSERT_EQ(Variant("FUELWISE_TEST_CA_TRUSTED"), L"0");
  const std::wstring site = L"https://" + Variant("FUELWISE_TEST_TLS_SITE");
  test::ForgetUserSettings();
  StartWith({L"--price-site", site, L"--chart-site", site});
  EXPECT_TRUE(ComboItems(Combos()[0]).empty());
  const std::u16string summary = u"服务器证书不受信任: " + ToU16(site) + u"/";
  EXPECT_EQ(Shown()[0], summary);
  EXPECT_TRUE(StatusText(m_main).starts_with(summary + u"\t"));
  EXPECT_TRUE(Close());
}

HKEY SettingsKey() {
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Fuelwise", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &key, nullptr);
  return key;
}

void StoreText(const wchar_t* name, const std::wstring& value) {
  const HKEY key = SettingsKey();
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

std::optional<std::wstring> StoredText(const wchar_t* name) {
  wchar_t value[512] = {};
  DWORD bytes = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Fuelwise", name, RRF_RT_REG_SZ, nullptr, value,
                   &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(value);
}

std::wstring Origin() { return L"http://" + SiteHost(); }

// The sites stored in the user's settings, nothing on the command line.
TEST_F(ProgramTest, TheSitesComeFromTheUsersSettings) {
  test::ForgetUserSettings();
  StoreText(L"PriceSite", Origin());
  StoreText(L"ChartSite", Origin() + L"/");
  StartWith({});
  const std::vector<HWND> combos = Combos();
  ASSERT_EQ(combos.size(), 2u);
  EXPECT_EQ(ComboItems(combos[0]).size(), 6u);
  EXPECT_FALSE(Shown(u"Fuelwise")) << "a setting that is good is not complained about";
  EXPECT_TRUE(Close());
  test::ForgetUserSettings();
}

// A value that is no origin is refused in a message that names it, where it
// came from and the rule; the next source is used and nothing is written.
TEST_F(ProgramTest, ABadSiteIsRefusedAndTheNextSourceUsed) {
  test::ForgetUserSettings();
  StoreText(L"PriceSite", Origin());
  ASSERT_TRUE(test::StartProgram({L"--price-site", L"ftp://example.cn/prices", L"--chart-site", Origin()},
                                 m_process));
  HWND box = nullptr;
  ASSERT_TRUE(PumpFor(20000, [&] { return (box = Shown(u"Fuelwise")); })) << "no message";
  const std::vector<std::u16string> texts = test::AccessibleTexts(box);
  std::u16string all;
  for (const auto& t : texts) all += t + u"\n";
  for (std::u16string_view part : {std::u16string_view(u"命令行"), std::u16string_view(u"\u201Cftp://example.cn/prices\u201D"),
                                   std::u16string_view(u"http:// 或 https://")}) {
    EXPECT_NE(all.find(part), std::u16string::npos) << "the message: " << Utf16ToUtf8(all);
  }
  Click(ChildWithText(box, u"OK"));
  WaitForWindow();
  EXPECT_EQ(ComboItems(Combos()[0]).size(), 6u) << "the stored site is used";
  EXPECT_EQ(StoredText(L"PriceSite"), Origin()) << "nothing is written";
  EXPECT_TRUE(Close());
  test::ForgetUserSettings();
}

TEST_F(ProgramTest, HelpShowsTheUsageAndEnds) {
  for (const wchar_t* help : {L"/?", L"--help"}) {
    ASSERT_TRUE(test::StartProgram({help}, m_process));
    HWND box = nullptr;
    ASSERT_TRUE(PumpFor(20000, [&] { return (box = Shown(u"Fuelwise")); })) << "no usage";
    std::u16string all;
    for (const auto& t : test::AccessibleTexts(box)) all += t;
    EXPECT_NE(all.find(u"--price-site"), std::u16string::npos);
    EXPECT_NE(all.find(u"--city"), std::u16string::npos);
    EXPECT_FALSE(test::FindShown(kCaption, m_process.dwProcessId)) << "no main window";
    Click(ChildWithText(box, u"OK"));
    EXPECT_EQ(WaitForSingleObject(m_process.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(m_process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    End();
  }
}

// The city chosen last is chosen again at the next start, through the boxes:
// the rows load. Off in the settings, or no longer listed: the prompt.
TEST_F(ProgramTest, TheLastCityIsChosenAgainAtStart) {
  test::ForgetUserSettings();
  const std::vector<std::wstring> args = {L"--price-site", Origin(), L"--chart-site", Origin()};
  StartWith(args);
  Choose(Combos()[0], L"广东");
  Choose(Combos()[1], L"广州");
  EXPECT_EQ(StoredText(L"LastProvince"), L"广东");
  EXPECT_EQ(StoredText(L"LastCity"), L"广州");
  EXPECT_TRUE(Close());
  End();

  ClearRequestLog();
  StartWith(args);
  EXPECT_EQ(Shown(), (Texts{u"广东", u"广州"}));
  EXPECT_EQ(ComboItems(Combos()[1]), (Texts{u"广州", u"深圳", u"珠海", u"佛山"}));
  EXPECT_TRUE(ShowsPrices(m_main, {u"7.17", u"7.74", u"8.38", u"7.41"}));
  EXPECT_EQ(Fetches("guangzhou"), 1u);
  EXPECT_TRUE(Close());
  End();

  // --city chooses another for this run, and is not kept.
  StartWith({L"--price-site", Origin(), L"--chart-site", Origin(), L"--city", L"湖北/武汉"});
  EXPECT_EQ(Shown(), (Texts{u"湖北", u"武汉"}));
  EXPECT_EQ(StoredText(L"LastCity"), L"广州");
  EXPECT_TRUE(Close());
  End();

  struct Case {
    const char* what;
    std::wstring province, city;
    DWORD remember;
  };
  const Case cases[] = {{"off", L"广东", L"广州", 0},
                        {"province gone", L"西藏", L"拉萨", 1},
                        {"city gone", L"广东", L"汕头", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreText(L"LastProvince", c.province);
    StoreText(L"LastCity", c.city);
    const HKEY key = SettingsKey();
    RegSetValueExW(key, L"RememberLastCity", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&c.remember),
                   sizeof c.remember);
    RegCloseKey(key);
    ClearRequestLog();
    StartWith(args);
    const bool provinceListed = c.remember && c.province == L"广东";
    EXPECT_EQ(Shown(), provinceListed ? (Texts{u"广东", u"请选择城市"}) : (Texts{u"请选择省份", u""}));
    EXPECT_EQ(Fetches(".html"), 0u) << "no city page";
    EXPECT_TRUE(Close());
    End();
  }
  test::ForgetUserSettings();
}

}  // namespace
}  // namespace fw
