// The settings window on real windows under Wine, driven from inside its modal
// loop with the messages a user's keys and clicks send, read back as a tool
// reads it, and checked against what it leaves in the registry
// (HKCU\Software\Fuelwise of the test's own prefix, removed before and after
// each test).
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/ForSettings.h"
#include "app/ModMain.h"
#include "app/Settings.h"
#include "controls/skbutton/skbutton.h"
#include "host/Label.h"
#include "host/PngFile.h"
#include "host/Shape.h"
#include "host/TextBox.h"
#include "host/Utf8.h"
#include "host/WideText.h"
#include "tests/app/WindowTestSupport.h"
#include "tests/host/AccessibleRead.h"

namespace fw {
namespace {

using settings::Origin;
using test::WindowText;

const std::u16string kTitle = u"设置";
// The build's sites as the tests give them (the second with its slash, as a
// root is written): 恢复默认 shows them without it.
const ForSettings::Defaults kDefaults{u"https://prices.example.cn", u"https://charts.example.cn:8443/"};
const ForSettings::Values kCurrent{Origin{u"http", u"127.0.0.1", 8080},
                                   Origin{u"https", u"charts.example.net", 0}, true};

// A value under the settings key: absent, or its type and text (a number as its digits).
struct Stored {
  bool present = false;
  DWORD type = 0;
  std::u16string text;
  friend bool operator==(const Stored&, const Stored&) = default;
};
std::ostream& operator<<(std::ostream& out, const Stored& s) {
  if (!s.present) return out << "(absent)";
  return out << "type " << s.type << " \"" << Utf16ToUtf8(s.text) << "\"";
}
Stored Absent() { return {}; }
Stored Text(std::u16string text) { return {true, REG_SZ, std::move(text)}; }
Stored Number(DWORD n) { return {true, REG_DWORD, FromWide(std::to_wstring(n))}; }

Stored ReadStored(const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  Stored s;
  BYTE data[1024] = {};
  DWORD size = sizeof data - 2;
  if (RegQueryValueExW(key, name, nullptr, &s.type, data, &size) == ERROR_SUCCESS) {
    s.present = true;
    if (s.type == REG_DWORD) {
      s.text = FromWide(std::to_wstring(*reinterpret_cast<DWORD*>(data)));
    } else {
      s.text = FromWide(std::wstring(reinterpret_cast<const wchar_t*>(data)));
    }
  }
  RegCloseKey(key);
  return s;
}

bool KeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void StoreText(const wchar_t* name, const std::wstring& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

void DeleteSettingsKey() { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

// An access key as the focused window hears it: Alt and the letter.
void PostAltKey(char16_t letter) {
  PostMessageW(GetFocus(), WM_SYSCHAR, letter, 1 | (1 << 29));
}

void SetText(TextBox& box, std::u16string_view text) {
  SendMessageW(box.hWnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ToWide(text).c_str()));
}

class SettingsWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterWindowKinds(); }

  void SetUp() override {
    DeleteSettingsKey();
    ASSERT_TRUE(m_main.Create(6420, 4110, u"Fuelwise v1.0.0110"));
    m_main.Show();
    SetMainWindow(&m_main);
  }
  void TearDown() override {
    test::StopWaiting();
    if (m_window.IsLoaded()) m_window.Unload();
    SetMainWindow(nullptr);
    m_main.Unload();
    DeleteSettingsKey();
  }

  // Opens the window with `current`; `act` runs inside its modal loop.
  std::optional<ForSettings::Values> Open(const std::function<void(HWND)>& act,
                                          const ForSettings::Values& current = kCurrent) {
    // The window a user opens is the active one; a test's may not be, when
    // the platform still hands the activation back to the owner of the last.
    test::WhenShown(kTitle, [act](HWND window) {
      SetForegroundWindow(window);
      Settle([window] { return GetActiveWindow() == window && GetFocus() != nullptr; });
      act(window);
    });
    auto result = m_window.ShowSettings(&m_main, current, kDefaults);
    EXPECT_TRUE(test::Acted()) << "the window did not show";
    EXPECT_FALSE(m_window.IsLoaded()) << "the window stayed loaded";
    EXPECT_TRUE(IsWindowEnabled(m_main.hWnd())) << "the owner stays disabled";
    return result;
  }

  TextBox& Box(std::u16string_view name) { return *m_window.Get<TextBox>(name); }
  Label& Reason(std::u16string_view name) { return *m_window.Get<Label>(name); }
  skbutton& Button(std::u16string_view name) { return *m_window.Get<skbutton>(name); }
  void Click(std::u16string_view button) { test::PostClick(Button(button)); }
  // Pumps the window's loop until `done`, or a little while.
  static void Settle(const std::function<bool()>& done = {}) { test::PumpFor(done ? 1000 : 150, done); }

  Form m_main;
  ForSettings m_window;
};

// The fields show the sites in use as origins (no closing slash), the check
// box the stored choice; no reason shows. 取消 answers nothing.
TEST_F(SettingsWindowTest, FieldsShowTheSitesInUseAndTheStoredChoice) {
  for (const bool remember : {true, false}) {
    ForSettings::Values current = kCurrent;
    current.rememberCity = remember;
    std::u16string price, chart;
    bool checked = !remember, ownerEnabled = true, reasonShown = true;
    const auto result = Open(
        [&](HWND) {
          price = WindowText(Box(u"txtPriceSite").hWnd());
          chart = WindowText(Box(u"txtChartSite").hWnd());
          checked = Button(u"chkRememberCity").Value();
          ownerEnabled = IsWindowEnabled(m_main.hWnd()) != FALSE;
          reasonShown = Reason(u"lbPriceError").Visible() || Reason(u"lbChartError").Visible();
          Click(u"cmdCancel");
        },
        current);
    EXPECT_EQ(price, u"http://127.0.0.1:8080");
    EXPECT_EQ(chart, u"https://charts.example.net");
    EXPECT_EQ(checked, remember);
    EXPECT_FALSE(ownerEnabled) << "not modal";
    EXPECT_FALSE(reasonShown);
    EXPECT_FALSE(result.has_value());
    EXPECT_FALSE(KeyExists()) << "取消 stored something";
  }
}

// 确定 with a refused address: its reason under its box (the parser's own
// words, as the user reads them), the focus in the first refused box, the
// window open, nothing stored. A good address next to it shows no reason.
TEST_F(SettingsWindowTest, ARefusedAddressShowsWhyAndKeepsTheWindowOpen) {
  struct Case {
    std::u16string price, chart;
    std::u16string priceWhy, chartWhy;
    const char16_t* focus;
  } const cases[] = {
      {u"ftp://prices.example.cn", u"https://charts.example.net", u"网址必须以 http:// 或 https:// 开头。",
       u"", u"txtPriceSite"},
      {u"http://127.0.0.1:8080", u"https://charts.example.net/live", u"",
       u"网址不能带路径, 只能以主机名 (和端口) 或一个“/”结尾。", u"txtChartSite"},
      {u"", u"http://127.0.0.1:99999", u"网址是空的。", u"端口必须是 1 到 65535 之间的数字。",
       u"txtPriceSite"},
  };
  for (const Case& c : cases) {
    bool open = false, priceShown = false, chartShown = false;
    std::u16string priceWhy, chartWhy, focus, described;
    const auto result = Open([&](HWND window) {
      SetText(Box(u"txtPriceSite"), c.price);
      SetText(Box(u"txtChartSite"), c.chart);
      Click(u"cmdOK");
      Settle([&] {
        return Reason(u"lbPriceError").Visible() || Reason(u"lbChartError").Visible();
      });
      Settle();
      open = IsWindowVisible(window) != FALSE;
      priceShown = Reason(u"lbPriceError").Visible();
      chartShown = Reason(u"lbChartError").Visible();
      // Read as a tool reads them: the labels are parts of the frame.
      for (const auto& part : test::AccessibleParts(Reason(u"lbPriceError").ContainerHwnd())) {
        if (part.name == c.priceWhy && !c.priceWhy.empty()) priceWhy = part.name;
        if (part.name == c.chartWhy && !c.chartWhy.empty()) chartWhy = part.name;
      }
      // The focus, or where the window puts it back should another program on
      // the display have taken the activation meanwhile.
      const Control* active = m_window.ActiveControl();
      const HWND focused = GetActiveWindow() == window ? GetFocus() : active ? active->hWnd() : nullptr;
      for (const char16_t* name : {u"txtPriceSite", u"txtChartSite"}) {
        if (focused == Box(name).hWnd()) focus = name;
      }
      if (!focus.empty()) described = test::AccessibleSelf(focused).description;
      Click(u"cmdCancel");
    });
    const std::string at = Utf16ToUtf8(c.price + u" | " + c.chart);
    EXPECT_TRUE(open) << at;
    EXPECT_EQ(priceShown, !c.priceWhy.empty()) << at;
    EXPECT_EQ(chartShown, !c.chartWhy.empty()) << at;
    EXPECT_EQ(priceWhy, c.priceWhy) << at;
    EXPECT_EQ(chartWhy, c.chartWhy) << at;
    EXPECT_EQ(focus, c.focus) << at;
    EXPECT_EQ(described, focus == u"txtPriceSite" ? c.priceWhy : c.chartWhy) << at;
    EXPECT_FALSE(result.has_value()) << at;
    EXPECT_FALSE(KeyExists()) << at;
  }
}

// 确定 with good addresses stores each as its origin, a site equal to the
// build's default as absent (an older value goes), and the check box; the
// window closes and answers what it stored.
TEST_F(SettingsWindowTest, GoodAddressesAreStoredTheBuildsOwnAsAbsent) {
  struct Case {
    std::u16string price, chart;
    bool remember;
    Origin priceOrigin, chartOrigin;
    Stored priceStored, chartStored, rememberStored;
  } const cases[] = {
      // The build's price site in another spelling, a site of the user's own.
      {u"  HTTPS://Prices.Example.CN:443/ ", u"http://127.0.0.1:8081", false,
       Origin{u"https", u"prices.example.cn", 0}, Origin{u"http", u"127.0.0.1", 8081}, Absent(),
       Text(u"http://127.0.0.1:8081"), Number(0)},
      {u"http://[::1]:8082", u"https://charts.example.cn:8443", true, Origin{u"http", u"[::1]", 8082},
       Origin{u"https", u"charts.example.cn", 8443}, Text(u"http://[::1]:8082"), Absent(), Number(1)},
  };
  for (const Case& c : cases) {
    StoreText(kPriceSiteValue, L"http://old.example.cn");
    StoreText(kChartSiteValue, L"http://old.example.cn");
    const auto result = Open([&](HWND) {
      SetText(Box(u"txtPriceSite"), c.price);
      SetText(Box(u"txtChartSite"), c.chart);
      if (Button(u"chkRememberCity").Value() != c.remember) Click(u"chkRememberCity");
      Settle([&] { return Button(u"chkRememberCity").Value() == c.remember; });
      Click(u"cmdOK");
    });
    const std::string at = Utf16ToUtf8(c.price + u" | " + c.chart);
    ASSERT_TRUE(result.has_value()) << at;
    EXPECT_EQ(result->priceSite, c.priceOrigin) << at;
    EXPECT_EQ(result->chartSite, c.chartOrigin) << at;
    EXPECT_EQ(result->rememberCity, c.remember) << at;
    EXPECT_EQ(ReadStored(kPriceSiteValue), c.priceStored) << at;
    EXPECT_EQ(ReadStored(kChartSiteValue), c.chartStored) << at;
    EXPECT_EQ(ReadStored(kRememberCityValue), c.rememberStored) << at;
    // What the program reads at its next start.
    const StoredSettings next = ReadStoredSettings();
    EXPECT_EQ(next.rememberCity, c.remember) << at;
  }
}

// 恢复默认 (Alt+D) fills both fields with the build's sites and takes a reason
// shown away; Enter in a field is 确定, which stores both as absent.
TEST_F(SettingsWindowTest, RestoreDefaultsFillsTheBuildsSites) {
  std::u16string price, chart;
  bool reasonBefore = false, reasonAfter = true;
  const auto result = Open([&](HWND) {
    SetText(Box(u"txtPriceSite"), u"gopher://x");
    Click(u"cmdOK");
    Settle([&] { return Reason(u"lbPriceError").Visible(); });
    reasonBefore = Reason(u"lbPriceError").Visible();
    PostAltKey(u'd');
    Settle([&] { return WindowText(Box(u"txtPriceSite").hWnd()) != u"gopher://x"; });
    price = WindowText(Box(u"txtPriceSite").hWnd());
    chart = WindowText(Box(u"txtChartSite").hWnd());
    reasonAfter = Reason(u"lbPriceError").Visible();
    Box(u"txtChartSite").SetFocus();
    test::PostKey(VK_RETURN);
  });
  EXPECT_TRUE(reasonBefore);
  EXPECT_EQ(price, u"https://prices.example.cn");
  EXPECT_EQ(chart, u"https://charts.example.cn:8443");
  EXPECT_FALSE(reasonAfter);
  ASSERT_TRUE(result.has_value()) << "Enter did not press 确定";
  EXPECT_EQ(result->priceSite, (Origin{u"https", u"prices.example.cn", 0}));
  EXPECT_EQ(result->chartSite, (Origin{u"https", u"charts.example.cn", 8443}));
  EXPECT_EQ(ReadStored(kPriceSiteValue), Absent());
  EXPECT_EQ(ReadStored(kChartSiteValue), Absent());
  EXPECT_EQ(ReadStored(kRememberCityValue), Number(1));
}

// 取消, Escape and the frame's close command each leave the registry as it
// was, whatever was changed in the window.
TEST_F(SettingsWindowTest, CancelEscapeAndCloseStoreNothing) {
  const std::map<std::string, std::function<void(HWND)>> closers = {
      {"取消", [this](HWND) { Click(u"cmdCancel"); }},
      {"Escape", [](HWND) { test::PostKey(VK_ESCAPE); }},
      {"close", [](HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const auto& [name, close] : closers) {
    const auto result = Open([&, close = close](HWND window) {
      SetText(Box(u"txtPriceSite"), u"https://elsewhere.example.cn");
      Click(u"chkRememberCity");
      Settle([&] { return !Button(u"chkRememberCity").Value(); });
      Box(u"txtPriceSite").SetFocus();
      close(window);
    });
    EXPECT_FALSE(result.has_value()) << name;
    EXPECT_FALSE(KeyExists()) << name;
  }
}

// Tab walks the fields, the check box and the buttons in reading order and
// comes round; each access key reaches its control (a field's through its
// label); Alt+L turns the check box over.
TEST_F(SettingsWindowTest, TabOrderAndAccessKeys) {
  std::vector<std::u16string> tabbed, keyed;
  bool checkedAfterAltL = true;
  Open([&](HWND) {
    const std::map<HWND, std::u16string> names = {
        {Box(u"txtPriceSite").hWnd(), u"油价网站"},       {Box(u"txtChartSite").hWnd(), u"走势图网站"},
        {Button(u"chkRememberCity").hWnd(), u"check box"}, {Button(u"cmdDefaults").hWnd(), u"恢复默认"},
        {Button(u"cmdOK").hWnd(), u"确定"},               {Button(u"cmdCancel").hWnd(), u"取消"}};
    const auto focused = [&] {
      const auto it = names.find(GetFocus());
      return it == names.end() ? std::u16string(u"?") : it->second;
    };
    tabbed.push_back(focused());
    for (int k = 0; k < 6; ++k) {
      const HWND before = GetFocus();
      test::PostKey(VK_TAB);
      Settle([&] { return GetFocus() != before; });
      tabbed.push_back(focused());
    }
    for (const char16_t key : {u'c', u'p', u'l'}) {
      const HWND before = GetFocus();
      PostAltKey(key);
      Settle([&] { return GetFocus() != before; });
      keyed.push_back(focused());
    }
    Settle();
    checkedAfterAltL = Button(u"chkRememberCity").Value();
    Click(u"cmdCancel");
  });
  EXPECT_EQ(tabbed, (std::vector<std::u16string>{u"油价网站", u"走势图网站", u"check box", u"恢复默认",
                                                  u"确定", u"取消", u"油价网站"}));
  EXPECT_EQ(keyed, (std::vector<std::u16string>{u"走势图网站", u"油价网站", u"check box"}));
  EXPECT_FALSE(checkedAfterAltL) << "Alt+L did not turn the check box over";
}

// What assistive technology reads: a dialog named by its title; each field
// named by its label, with the label's access key; the check box as a check
// button with its state; the buttons by their captions.
TEST_F(SettingsWindowTest, ReadByAssistiveTechnology) {
  test::AccessiblePart self, price, chart, check;
  Open([&](HWND window) {
    self = test::AccessibleSelf(window);
    price = test::AccessibleSelf(Box(u"txtPriceSite").hWnd());
    chart = test::AccessibleSelf(Box(u"txtChartSite").hWnd());
    check = test::AccessibleSelf(Button(u"chkRememberCity").hWnd());
    Click(u"cmdCancel");
  });
  EXPECT_EQ(self.role, ROLE_SYSTEM_DIALOG);
  EXPECT_EQ(self.name, kTitle);
  EXPECT_EQ(price.role, ROLE_SYSTEM_TEXT);
  EXPECT_EQ(price.name, u"油价网站");
  EXPECT_EQ(price.value, u"http://127.0.0.1:8080");
  EXPECT_EQ(price.shortcut, u"Alt+P");
  EXPECT_EQ(price.description, u"");
  EXPECT_EQ(chart.name, u"走势图网站");
  EXPECT_EQ(chart.shortcut, u"Alt+C");
  EXPECT_EQ(check.role, ROLE_SYSTEM_CHECKBUTTON);
  EXPECT_EQ(check.name, u"启动时显示上次选择的城市");
  EXPECT_EQ(check.shortcut, u"Alt+L");
  EXPECT_NE(check.state & STATE_SYSTEM_CHECKED, 0);
}

// The window's tree as a tool reads it, leaving out what is hidden: the
// client object of each window, its parts, then its shown child windows.
void ReadTree(HWND hwnd, int depth, std::vector<std::string>& out) {
  const auto line = [&](const test::AccessiblePart& item, int at) {
    wchar_t role[64] = {};
    GetRoleTextW(static_cast<DWORD>(item.role), role, 64);
    std::string text = std::string(static_cast<size_t>(at) * 2, ' ') + Utf16ToUtf8(FromWide(role));
    if (!item.name.empty()) text += " \"" + Utf16ToUtf8(item.name) + "\"";
    if (!item.value.empty()) text += " value \"" + Utf16ToUtf8(item.value) + "\"";
    if (!item.description.empty()) text += " description \"" + Utf16ToUtf8(item.description) + "\"";
    if (!item.shortcut.empty()) text += " shortcut \"" + Utf16ToUtf8(item.shortcut) + "\"";
    if (item.state & STATE_SYSTEM_CHECKED) text += " checked";
    out.push_back(text);
  };
  line(test::AccessibleSelf(hwnd), depth);
  for (const auto& part : test::AccessibleParts(hwnd)) {
    if (!(part.state & STATE_SYSTEM_INVISIBLE)) line(part, depth + 1);
  }
  for (HWND child : test::AccessibleChildWindows(hwnd)) {
    if (IsWindowVisible(child)) ReadTree(child, depth + 1, out);
  }
}

// The fields named by their labels with the labels' keys, the check box with
// its state, the buttons by their captions; a refused address's reason as a
// text of its own and as its field's description; a hidden reason not at all
// (docs/accessibility.md shows this tree).
TEST_F(SettingsWindowTest, TheTreeAToolReads) {
  std::vector<std::string> tree, refused;
  bool renamed = false, described = false;
  Open([&](HWND window) {
    ReadTree(window, 0, tree);
    SetText(Box(u"txtChartSite"), u"https://charts.example.net?x=1");
    const HWND frame = Reason(u"lbChartError").ContainerHwnd(), box = Box(u"txtChartSite").hWnd();
    test::WinEventRecorder heard({frame, box});
    Click(u"cmdOK");
    Settle([&] { return Reason(u"lbChartError").Visible(); });
    Settle();
    for (const test::WinEvent& e : heard.Take()) {
      renamed |= e.event == EVENT_OBJECT_NAMECHANGE && e.hwnd == frame && e.object == OBJID_CLIENT;
      described |= e.event == EVENT_OBJECT_DESCRIPTIONCHANGE && e.hwnd == box &&
                   e.object == OBJID_CLIENT && e.child == CHILDID_SELF;
    }
    ReadTree(window, 0, refused);
    Click(u"cmdCancel");
  });
  EXPECT_TRUE(renamed) << "the reason's label raised no name change";
  EXPECT_TRUE(described) << "the field raised no description change";
  // The frame is an unnamed window ("client"); the two sizing grips ("grip")
  // are made when the pointer first passes over the frame, which a test does
  // not decide, so those lines are left out.
  const auto lines = [](const std::vector<std::string>& v) {
    std::string all;
    for (const std::string& l : v) {
      if (l != "  client" && l != "  grip") all += l + "\n";
    }
    return all;
  };
  // The shapes are the fields' borders; the reason comes after the labels,
  // as the design places it.
  std::vector<std::string> expected = {
      "dialog \"设置\"",
      "  client",
      "    title bar \"设置\"",
      "    push button \"关闭\"",
      "    static text \"油价网站:\"",
      "    graphic",
      "    static text \"走势图网站:\"",
      "    graphic",
      "    text \"油价网站\" value \"http://127.0.0.1:8080\" shortcut \"Alt+P\"",
      "    text \"走势图网站\" value \"https://charts.example.net\" shortcut \"Alt+C\"",
      "    check button \"启动时显示上次选择的城市\" shortcut \"Alt+L\" checked",
      "    push button \"恢复默认\" shortcut \"Alt+D\"",
      "    push button \"确定\"",
      "    push button \"取消\"",
  };
  EXPECT_EQ(lines(tree), lines(expected));
  const std::string why = "网址不能带查询 (“?”及其后的部分)。";
  expected.insert(expected.begin() + 8, "    static text \"" + why + "\"");
  expected[10] = "    text \"走势图网站\" value \"https://charts.example.net?x=1\" description \"" + why +
                 "\" shortcut \"Alt+C\"";
  EXPECT_EQ(lines(refused), lines(expected));
}

// The window at its design's places, at 96 dpi: the fields' borders 116
// pixels in, 320 wide, the text boxes inside them, one under the other; the buttons in one row; a refused address's
// reason drawn in red under its box, and nothing red while none shows. Saves
// the window for review (settings.png, settings@200.png at 192 dpi).
TEST_F(SettingsWindowTest, PlacesAndTheReasonInRed) {
  if (m_main.Dpi() != 96 && m_main.Dpi() != 192) GTEST_SKIP() << "pictures at 96 and 192 dpi";
  struct Seen {
    RECT price{}, chart{}, border{}, ok{}, cancel{}, defaults{};
    int redBefore = 0, redAfter = 0;
  } seen;
  const auto redIn = [](const PixelImage& shot, const RECT& r) {
    int red = 0;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        if (shot.Pixel(x, y) == RGB(0xC0, 0, 0)) ++red;
      }
    }
    return red;
  };
  Open([&](HWND window) {
    seen.price = Box(u"txtPriceSite").PixelRect();
    seen.chart = Box(u"txtChartSite").PixelRect();
    seen.border = m_window.Get<Shape>(u"shpPriceSite")->PixelRect();
    seen.ok = Button(u"cmdOK").PixelRect();
    seen.cancel = Button(u"cmdCancel").PixelRect();
    seen.defaults = Button(u"cmdDefaults").PixelRect();
    const RECT reason = Reason(u"lbPriceError").PixelRect();
    seen.redBefore = redIn(CaptureWindowTree(window), reason);
    const bool at96 = m_window.Dpi() == 96;
    EXPECT_TRUE(SavePng(at96 ? L"settings.png" : L"settings@200.png", CaptureWindowTree(window)));
    SetText(Box(u"txtPriceSite"), u"http://油价.example.cn");
    Click(u"cmdOK");
    Settle([&] { return Reason(u"lbPriceError").Visible(); });
    Settle();
    const PixelImage shot = CaptureWindowTree(window);
    seen.redAfter = redIn(shot, reason);
    EXPECT_TRUE(SavePng(at96 ? L"settings-refused.png" : L"settings-refused@200.png", shot));
    Click(u"cmdCancel");
  });
  if (m_main.Dpi() != 96) return;
  EXPECT_EQ(seen.border.left, 116);
  EXPECT_EQ(seen.border.top, 56);
  EXPECT_EQ(seen.border.right - seen.border.left, 320);
  EXPECT_EQ(seen.price.left, 120) << "4 pixels inside its border";
  EXPECT_EQ(seen.price.top, 60);
  EXPECT_EQ(seen.price.right, seen.border.right - 4);
  EXPECT_EQ(seen.chart.left, 120);
  EXPECT_EQ(seen.chart.top, 116);
  EXPECT_EQ(seen.defaults.left, 24);
  EXPECT_EQ(seen.ok.top, seen.defaults.top);
  EXPECT_EQ(seen.cancel.top, seen.defaults.top);
  EXPECT_EQ(seen.cancel.right, seen.border.right) << "the row ends where the fields end";
  EXPECT_EQ(seen.redBefore, 0);
  EXPECT_GT(seen.redAfter, 20) << "the reason is not drawn in red";
}

}  // namespace
}  // namespace fw
