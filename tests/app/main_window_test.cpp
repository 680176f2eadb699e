// The main window end to end against the sample price site: built from its
// design as the program builds it, driven with the messages a user's actions
// send (a choice in a combo box's list, typed characters, a mouse move,
// the close box, the timer), and read back as a tool reads them: through the
// windows themselves (WM_GETTEXT, CB_GETLBTEXT), and for the labels, which have
// no window, through their containers' accessible objects. The refresh button, the warning box and the
// about window are driven from outside the process by program_test.cpp.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>
#include <ole2.h>

#include <atomic>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/ForMain.h"
#include "app/ModMain.h"
#include "app/Settings.h"
#include "controls/JCombo/JCombo.h"
#include "controls/skbutton/skbutton.h"
#include "controls/skForms/skForms.h"
#include "controls/ucStatusBar/ucStatusBar.h"
#include "host/Failure.h"
#include "host/Font.h"
#include "host/Gdi.h"
#include "host/Label.h"
#include "host/ListBox.h"
#include "host/PictureBox.h"
#include "host/PngFile.h"
#include "host/TextBox.h"
#include "tests/app/WindowTestSupport.h"
#include "tests/app/price/SiteTestSupport.h"
#include "tests/host/AccessibleRead.h"

namespace fw {
namespace {

using Items = std::vector<std::u16string>;

const Items kProvinces = {u"广东", u"浙江", u"江苏", u"四川", u"山东", u"湖北"};
const std::u16string k15(15, u' ');
const std::u16string k14(14, u' ');

std::u16string Host() { return ToU16(SiteHost()); }
std::u16string Root() { return u"http://" + Host() + u"/"; }
// A site's root for the window: the sample site's host, or a fault path glued to it.
std::u16string RootOf(std::u16string_view host) { return u"http://" + std::u16string(host) + u"/"; }

// The window with its message box replaced by a record of what it was asked
// to show, so that a warning does not wait for a user.
class RecordingMain : public ForMain {
 public:
  using ForMain::ForMain;
  Items shown;

 protected:
  int32_t ShowMessageBox(std::u16string_view prompt, int32_t flags,
                         std::u16string_view caption) override {
    shown.push_back(std::u16string(prompt) + u"|" + std::u16string(caption) + u"|" +
                    std::u16string(1, char16_t(u'0' + flags)));
    return 1;
  }
};

using test::WindowText;

// The items of an image combo box, read from its inner list as a tool would.
Items ComboItems(const JCombo& box) {
  const HWND combo = box.InnerComboHwnd();
  Items items;
  const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    const LRESULT len = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
    std::wstring text(static_cast<size_t>(len < 0 ? 0 : len) + 1, L'\0');
    const LRESULT got = SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got < 0 ? 0 : got));
    items.push_back(ToU16(text));
  }
  return items;
}

// What the box shows: its own window text follows its Text.
std::u16string WindowText(const JCombo& box) { return WindowText(box.hWnd()); }

Items ListItems(HWND list) {
  Items items;
  const LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    const LRESULT len = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    std::wstring text(static_cast<size_t>(len < 0 ? 0 : len) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got < 0 ? 0 : got));
    items.push_back(ToU16(text));
  }
  return items;
}

// Characters typed at the end of the box's text (a backspace is u'\b').
void Type(const JCombo& box, std::u16string_view text) {
  HWND edit = box.TextPart().hWnd();
  SetFocus(edit);
  SendMessageW(edit, WM_KEYDOWN, VK_END, 1);
  SendMessageW(edit, WM_KEYUP, VK_END, 0xC0000001);
  for (char16_t c : text) SendMessageW(edit, WM_CHAR, c, 1);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The quit message a closed main window leaves for the program's loop.
bool TakeQuit() {
  MSG msg;
  return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

int TextWidth(const Label& label, std::u16string_view text) {
  unique_hfont font = label.GetFont()->CreateHandle(ScreenDpi());
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font.get());
  SIZE size{};
  const std::wstring w = ToWide(text);
  GetTextExtentPoint32W(screen, w.c_str(), static_cast<int>(w.size()), &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return size.cx;
}

RECT RectInParent(HWND hwnd) {
  RECT rc{};
  GetWindowRect(hwnd, &rc);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    OleInitialize(nullptr);
    RegisterWindowKinds();
  }
  static void TearDownTestSuite() { OleUninitialize(); }

  void SetUp() override { Build(Host()); }
  void TearDown() override {
    if (form && form->IsLoaded()) form->Unload();
    form.reset();
    TakeQuit();
  }

  void Build(std::u16string priceHost) {
    form = std::make_unique<RecordingMain>(RootOf(priceHost), Root());
    ASSERT_TRUE(form->LoadDesign());
    EXPECT_TRUE(form->BuildErrors().empty());
  }

  JCombo& Combo(int i) const { return *form->Get<JCombo>(u"comWhere", i); }
  HWND List(int i) const { return form->Get<ListBox>(u"ListCity", i)->hWnd(); }
  HWND Text1() const { return form->Get<TextBox>(u"Text1")->hWnd(); }
  Label& Row(const char16_t* name, int i) const { return *form->Get<Label>(name, i); }
  Items Captions(const char16_t* name) const {
    Items v;
    for (int i = 0; i < 4; ++i) v.push_back(Row(name, i).Caption());
    return v;
  }
  // The rows as a reader reads them: each one element, "fuel | price unit".
  Items Spoken() const {
    Items v;
    for (const test::AccessiblePart& part : test::AccessibleParts(Row(u"labinfo", 0).ContainerHwnd())) {
      if (!part.value.empty()) {
        v.push_back(part.name + u" | " + part.value);
      }
    }
    return v;
  }

  std::unique_ptr<RecordingMain> form;
};

TEST_F(MainWindowTest, AfterLoadTheProvincesWaitForAChoice) {
  EXPECT_EQ(WindowText(form->hWnd()), u"Fuelwise v1.0.0110");
  EXPECT_TRUE(form->Ready());
  EXPECT_EQ(ComboItems(Combo(0)), kProvinces);
  EXPECT_EQ(WindowText(Combo(0)), u"请选择省份");
  EXPECT_TRUE(ComboItems(Combo(1)).empty());
  EXPECT_EQ(WindowText(Combo(1)), u"");
  // The design's placeholders are gone.
  EXPECT_EQ(Captions(u"labinfo"), Items(4));
  EXPECT_EQ(Captions(u"labPrice"), Items(4));
  EXPECT_EQ(WindowText(Text1()), u"");
  // The hidden lists hold the index: province URLs, and every site link.
  const Items urls = ListItems(List(0));
  ASSERT_EQ(urls.size(), 6u);
  EXPECT_EQ(urls[0], Root() + u"guangdong/");
  EXPECT_EQ(urls[5], Root() + u"hubei/");
  EXPECT_EQ(ListItems(List(2)).size(), 27u);
  EXPECT_EQ(ListItems(List(3)).size(), 27u);
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(IsWindowVisible(List(i))) << "ListCity(" << i << ")";
  EXPECT_FALSE(IsWindowVisible(Text1()));
  EXPECT_TRUE(form->shown.empty());

  auto* chart = form->Get<PictureBox>(u"Picture1");
  ASSERT_TRUE(chart->GetPicture());
  EXPECT_EQ(chart->GetPicture()->PixelWidth(), 188);
  EXPECT_EQ(chart->GetPicture()->PixelHeight(), 166);
}

// The window whose start-up is watched: at each step, whether the chart shows
// a picture, how many provinces the box lists and what the site was asked.
class WatchedMain : public RecordingMain {
 public:
  using RecordingMain::RecordingMain;
  struct Seen {
    bool picture = false;
    int provinces = 0;
    size_t requests = 0;
  };
  std::map<std::string, Seen> seen;

 protected:
  void OnStartupStep(const char* step) override {
    const std::string name(step);
    if (name == "design") {
      // The window is built: give both fetches time to be asked and answered.
      const DWORD start = GetTickCount();
      while (RequestLog().size() < 2 && GetTickCount() - start < 3000) Sleep(50);
      Sleep(300);
    }
    auto* chart = Get<PictureBox>(u"Picture1");
    seen[name] = {chart && chart->GetPicture() != nullptr, Get<JCombo>(u"comWhere", 0)->ListCount(),
                  RequestLog().size()};
  }
};

size_t Requests(const std::string& page) {
  size_t n = 0;
  for (const std::string& line : RequestLog()) n += line.find(page) != std::string::npos;
  return n;
}

TEST_F(MainWindowTest, TheFetchesRunWithTheBuildAndShowAtTheirSteps) {
  form.reset();
  TakeQuit();
  ClearRequestLog();
  auto watched = std::make_unique<WatchedMain>(Root(), Root());
  WatchedMain& w = *watched;
  form = std::move(watched);
  ASSERT_TRUE(form->LoadDesign());
  EXPECT_EQ(w.seen["design"].requests, 2u) << "both fetches are asked for while the window is built";
  EXPECT_FALSE(w.seen["caption and theme"].picture) << "the chart shows at its step, not before";
  EXPECT_TRUE(w.seen["chart"].picture);
  EXPECT_EQ(w.seen["panels and rows"].provinces, 0) << "the provinces are listed at their step";
  EXPECT_EQ(w.seen["index"].provinces, 6);
  EXPECT_EQ(Requests("youjiamap.asp"), 1u);
  EXPECT_EQ(Requests("t24_crude_cn188x166.gif"), 1u);
}

// The sites fail or take their time: each step ends as its own fetch would.
TEST_F(MainWindowTest, FailingAndSlowSites) {
  struct Case {
    const char* what;
    std::u16string priceHost;
    std::u16string chartHost;
    bool picture;
    size_t provinces;
    std::u16string_view reason;  // what the province box says first
  };
  const std::u16string down = u"127.0.0.1:" + ToU16(std::to_wstring(ClosedPort()));
  const Case cases[] = {
      {"down", down, down, false, 0, u"无法连接到服务器"},
      {"error status", Host() + u"/faults/500.asp?x=", Host() + u"/faults/500.asp?x=", false, 0,
       u"服务器返回 HTTP 500"},
      {"slow", Host() + u"/faults/slow.asp?ms=800&x=", Host() + u"/faults/slow.gif?ms=800&x=", true, 0,
       u"页面中没有省份"},
      {"slow index, chart at once", Host() + u"/faults/slow.asp?ms=800&x=", Host(), true, 0,
       u"页面中没有省份"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    form.reset();
    TakeQuit();
    form = std::make_unique<RecordingMain>(RootOf(c.priceHost), RootOf(c.chartHost));
    ASSERT_TRUE(form->LoadDesign());
    EXPECT_TRUE(form->Ready());
    EXPECT_EQ(ComboItems(Combo(0)).size(), c.provinces);
    EXPECT_EQ(WindowText(Combo(0)), std::u16string(c.reason) + u": " + RootOf(c.priceHost));
    const auto picture = form->Get<PictureBox>(u"Picture1")->GetPicture();
    ASSERT_EQ(picture != nullptr, c.picture);
    if (picture) {
      EXPECT_EQ(picture->PixelWidth(), 188);
    }
    EXPECT_TRUE(form->shown.empty());
  }
}

TEST_F(MainWindowTest, ChoosingAProvinceListsItsCitiesAndACityShowsItsPrices) {
  test::ChooseInList(Combo(0).InnerComboHwnd(), u"广东");
  EXPECT_EQ(ComboItems(Combo(1)), (Items{u"广州", u"深圳", u"珠海", u"佛山"}));
  EXPECT_EQ(WindowText(Combo(1)), u"请选择城市");
  EXPECT_EQ(ListItems(List(1)).size(), 4u);
  EXPECT_EQ(Captions(u"labinfo"), Items(4));

  test::ChooseInList(Combo(1).InnerComboHwnd(), u"广州");
  EXPECT_EQ(WindowText(Text1()), Root() + u"guangdong/guangzhou.html");
  EXPECT_EQ(Captions(u"labinfo"), (Items{u"89#汽油:" + k15 + u"元/升", u"92#汽油:" + k15 + u"元/升",
                                          u"95#汽油:" + k15 + u"元/升", u"0#柴油:" + k15 + u"元/升"}));
  EXPECT_EQ(Captions(u"labPrice"), (Items{u"7.17", u"7.74", u"8.38", u"7.41"}));
  EXPECT_EQ(Spoken(), (Items{u"89#汽油 | 7.17 元/升", u"92#汽油 | 7.74 元/升", u"95#汽油 | 8.38 元/升",
                             u"0#柴油 | 7.41 元/升"}));
  EXPECT_TRUE(form->Ready());
  EXPECT_TRUE(form->shown.empty());

  // Another province replaces the cities and leaves the rows as they were.
  test::ChooseInList(Combo(0).InnerComboHwnd(), u"湖北");
  EXPECT_EQ(ComboItems(Combo(1)), (Items{u"武汉", u"宜昌", u"襄阳", u"十堰", u"荆州"}));
  EXPECT_EQ(Captions(u"labPrice"), (Items{u"7.17", u"7.74", u"8.38", u"7.41"}));

  // The window as it shows the prices, for review.
  form->Show();
  Pump();
  RedrawWindow(form->hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  test::ChooseInList(Combo(0).InnerComboHwnd(), u"广东");
  test::ChooseInList(Combo(1).InnerComboHwnd(), u"广州");
  Pump();
  // The whole window, frame included, as a user would crop it.
  RECT outer{};
  GetWindowRect(form->hWnd(), &outer);
  HDC dc = GetWindowDC(form->hWnd());
  const PixelImage shot = CaptureDc(dc, outer.right - outer.left, outer.bottom - outer.top);
  ReleaseDC(form->hWnd(), dc);
  EXPECT_TRUE(SavePng(L"fuelwise-prices.png", shot));
}

// A key pressed and released on the focused window, through the form's keyboard
// routing as the program's loop delivers it.
void PressKey(WORD key) {
  for (UINT msg : {WM_KEYDOWN, WM_KEYUP}) {
    const LPARAM l = (MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16) | 1 | (msg == WM_KEYUP ? 0xC0000000 : 0);
    PostMessageW(GetFocus(), msg, key, l);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (!Form::PreTranslateMessage(m)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
      }
    }
  }
}

TEST_F(MainWindowTest, TheKeyboardReachesEverythingTheMouseDoes) {
  form->Show();
  SetForegroundWindow(form->hWnd());
  Pump();
  JCombo& provinces = Combo(0);
  JCombo& cities = Combo(1);
  skbutton& refresh = *form->Get<skbutton>(u"cmdRefresh");
  // Named by their labels, as assistive technology reads them.
  EXPECT_EQ(test::AccessibleSelf(provinces.hWnd()).name, u"省份");
  EXPECT_EQ(test::AccessibleSelf(cities.hWnd()).name, u"城市");
  const test::AccessiblePart button = test::AccessibleSelf(refresh.hWnd());
  EXPECT_EQ(button.role, ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(button.name, u"刷新");

  SetFocus(provinces.TextPart().hWnd());
  PressKey(VK_DOWN);
  EXPECT_EQ(WindowText(provinces), u"广东");
  EXPECT_EQ(ComboItems(cities), (Items{u"广州", u"深圳", u"珠海", u"佛山"}));

  PressKey(VK_TAB);
  ASSERT_EQ(GetFocus(), cities.TextPart().hWnd()) << "province, then city";
  PressKey(VK_DOWN);
  EXPECT_EQ(WindowText(cities), u"广州");
  EXPECT_EQ(Captions(u"labPrice"), (Items{u"7.17", u"7.74", u"8.38", u"7.41"}));

  PressKey(VK_TAB);
  ASSERT_EQ(GetFocus(), refresh.hWnd()) << "city, then refresh";
  for (WORD key : {VK_RETURN, VK_SPACE}) {
    ClearRequestLog();
    PressKey(key);
    const DWORD start = GetTickCount();
    while (Requests("guangzhou.html") == 0 && GetTickCount() - start < 3000) {
      Pump();
      Sleep(20);
    }
    EXPECT_EQ(Requests("guangzhou.html"), 1u) << key << " presses refresh: the page is fetched again";
  }
  EXPECT_TRUE(form->shown.empty());
}

// Presses `keys` in the platform's popup menu once it shows, from a thread of
// its own: the menu's loop runs on the window's.
class MenuKeys {
 public:
  explicit MenuKeys(std::vector<BYTE> keys)
      : m_thread([this, keys] {
          for (int waited = 0; waited < 3000 && !m_shown; waited += 10) {
            const HWND menu = FindWindowW(L"#32768", nullptr);
            if (menu && IsWindowVisible(menu)) {
              m_shown = true;
              Sleep(50);
              for (const BYTE key : keys) {
                keybd_event(key, 0, 0, 0);
                keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
                Sleep(30);
              }
            } else {
              Sleep(10);
            }
          }
        }) {}
  ~MenuKeys() { m_thread.join(); }
  bool Shown() const { return m_shown; }

 private:
  std::atomic<bool> m_shown{false};
  std::thread m_thread;
};

// 设置(&S) is the last item of the frame's own menu (Alt+Space). It opens the
// settings window modally over the main window with the sites in use; 确定
// with another chart site stores the settings and reads the provinces and the
// chart from the sites at once, and the check box's choice applies at once.
// 确定 with nothing changed reads nothing again.
TEST_F(MainWindowTest, TheSettingsWindowOpensFromTheFramesMenuAndAppliesAtOnce) {
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
  form->Show();
  SetForegroundWindow(form->hWnd());
  Pump();
  const std::u16string otherChart = u"http://127.0.0.1:" + ToU16(std::to_wstring(ClosedPort()));
  const bool rememberBefore = form->RememberCity();
  struct Round {
    std::u16string price, chart;
    bool ownerEnabled = true;
  };
  // Up from no selection is the menu's last item; S is the item's access key.
  const auto openAndConfirm = [&](std::vector<BYTE> keys,
                                  const std::function<void(ForSettings&)>& edit) {
    Round seen;
    test::WhenShown(u"设置", [&](HWND) {
      ForSettings& window = form->SettingsWindow();
      seen.price = WindowText(window.Get<TextBox>(u"txtPriceSite")->hWnd());
      seen.chart = WindowText(window.Get<TextBox>(u"txtChartSite")->hWnd());
      seen.ownerEnabled = IsWindowEnabled(form->hWnd()) != FALSE;
      edit(window);
      test::PostClick(*window.Get<skbutton>(u"cmdOK"));
    });
    MenuKeys chooser(std::move(keys));
    keybd_event(VK_MENU, 0, 0, 0);
    keybd_event(VK_SPACE, 0, 0, 0);
    keybd_event(VK_SPACE, 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
    test::PumpFor(5000, [&] { return test::Acted() && !form->SettingsWindow().IsLoaded(); });
    test::StopWaiting();
    EXPECT_TRUE(chooser.Shown()) << "Alt+Space dropped no menu";
    EXPECT_TRUE(test::Acted()) << "the settings window did not open";
    return seen;
  };

  ClearRequestLog();
  const Round first = openAndConfirm({VK_UP, VK_RETURN}, [&](ForSettings& window) {
    SetWindowTextW(window.Get<TextBox>(u"txtChartSite")->hWnd(), ToWide(otherChart).c_str());
    test::PostClick(*window.Get<skbutton>(u"chkRememberCity"));
    test::PumpFor(100);
  });
  EXPECT_EQ(first.price, u"http://" + Host());
  EXPECT_EQ(first.chart, u"http://" + Host());
  EXPECT_FALSE(first.ownerEnabled) << "not modal over the main window";
  EXPECT_EQ(form->PriceRoot(), Root());
  EXPECT_EQ(form->ChartRoot(), otherChart + u"/");
  EXPECT_NE(form->RememberCity(), rememberBefore);
  EXPECT_EQ(Requests("youjiamap.asp"), 1u) << "the provinces are read again";
  EXPECT_EQ(ComboItems(Combo(0)), kProvinces);
  const StoredSettings stored = ReadStoredSettings();
  EXPECT_EQ(stored.chartSite, otherChart);
  EXPECT_EQ(stored.priceSite, u"http://" + Host());
  EXPECT_EQ(stored.rememberCity, !rememberBefore);

  ClearRequestLog();
  const Round second = openAndConfirm({'S'}, [](ForSettings&) {});
  EXPECT_EQ(second.chart, otherChart);
  EXPECT_EQ(Requests("youjiamap.asp"), 0u) << "nothing changed, nothing is read again";
  EXPECT_EQ(form->ChartRoot(), otherChart + u"/");
  EXPECT_TRUE(form->shown.empty());
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

TEST_F(MainWindowTest, SevenCharacterNamesKeepFourteenSpaces) {
  test::ChooseInList(Combo(0).InnerComboHwnd(), u"湖北");
  test::ChooseInList(Combo(1).InnerComboHwnd(), u"襄阳");
  EXPECT_EQ(WindowText(Text1()), Root() + u"hubei/xiangyang.html");
  EXPECT_EQ(Captions(u"labinfo"),
            (Items{u"89#乙醇汽油:" + k14 + u"元/升", u"92#乙醇汽油:" + k14 + u"元/升",
                   u"95#乙醇汽油:" + k14 + u"元/升", u"0#柴油:" + k15 + u"元/升"}));
  EXPECT_EQ(Captions(u"labPrice"), (Items{u"7.14", u"7.69", u"8.25", u"7.38"}));
}

// Every row's labels are as wide as their captions; with five-character
// names the row fits the container and the price lies in the blank between
// the fuel name and its unit.
TEST_F(MainWindowTest, RowsShowTheirWholeCaptions) {
  RECT body{};
  GetClientRect(form->Get<Control>(u"XPContainer1")->hWnd(), &body);
  test::ChooseInList(Combo(0).InnerComboHwnd(), u"广东");
  test::ChooseInList(Combo(1).InnerComboHwnd(), u"广州");
  for (int i = 0; i < 4; ++i) {
    Label& info = Row(u"labinfo", i);
    Label& price = Row(u"labPrice", i);
    const std::u16string caption = info.Caption();
    const RECT infoRc = info.PixelRect();
    const RECT priceRc = price.PixelRect();
    EXPECT_GE(infoRc.right - infoRc.left, TextWidth(info, caption)) << "labinfo(" << i << ")";
    EXPECT_LE(infoRc.right, body.right) << "labinfo(" << i << ")";
    EXPECT_GE(priceRc.right - priceRc.left, TextWidth(price, price.Caption())) << "labPrice(" << i << ")";
    const size_t colon = caption.find(u':');
    ASSERT_NE(colon, std::u16string::npos);
    const int nameEnd = infoRc.left + TextWidth(info, caption.substr(0, colon + 1));
    const int unitStart = infoRc.left + TextWidth(info, caption.substr(0, caption.find(u'元')));
    EXPECT_GE(priceRc.left, nameEnd) << "the price of row " << i << " covers the name";
    EXPECT_LE(priceRc.left + TextWidth(price, price.Caption()), unitStart)
        << "the price of row " << i << " covers the unit";
  }
  // The captions before the boxes show whole and end before the boxes.
  for (const char16_t* name : {u"Label5", u"Label6"}) {
    Label& label = *form->Get<Label>(name);
    const RECT rc = label.PixelRect();
    EXPECT_GE(rc.right - rc.left, TextWidth(label, label.Caption())) << (name[5] == u'5' ? "Label5" : "Label6");
    EXPECT_LE(rc.right, RectInParent(Combo(0).hWnd()).left);
  }
  // Longer names: the labels grow with them.
  test::ChooseInList(Combo(0).InnerComboHwnd(), u"湖北");
  test::ChooseInList(Combo(1).InnerComboHwnd(), u"襄阳");
  for (int i = 0; i < 4; ++i) {
    Label& info = Row(u"labinfo", i);
    const RECT infoRc = info.PixelRect();
    EXPECT_GE(infoRc.right - infoRc.left, TextWidth(info, info.Caption())) << "labinfo(" << i << ")";
  }
}

TEST_F(MainWindowTest, TypedCityNamesAndAnEmptyCityBox) {
  test::ChooseInList(Combo(0).InnerComboHwnd(), u"广东");
  // The city box still points at its first city while it shows the prompt.
  Type(Combo(1), u"\b\b\b\b\b广州");
  EXPECT_EQ(WindowText(Combo(1)), u"广州");
  EXPECT_EQ(Captions(u"labPrice"), (Items{u"7.17", u"7.74", u"8.38", u"7.41"}));
  // Clearing the prompt's characters one by one reached an empty box once.
  ASSERT_EQ(form->shown.size(), 1u);
  EXPECT_EQ(form->shown[0], u"您还没有选择城市了!|提示|0");

  Type(Combo(1), u"\b\b");
  EXPECT_EQ(WindowText(Combo(1)), u"");
  EXPECT_EQ(form->shown.size(), 2u);
  EXPECT_TRUE(form->Ready());
}

TEST_F(MainWindowTest, TheChartSaysWhereThePricesComeFrom) {
  auto* chart = form->Get<PictureBox>(u"Picture1");
  EXPECT_EQ(chart->ToolTipText(), u"");
  SendMessageW(chart->hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(chart->ToolTipText(), u"数据来源于油价网\r\n(Http://" + Host() + u"/)");
  // The site as configured, an https one too.
  RecordingMain secure(u"https://prices.example.cn:8443/", Root());
  EXPECT_EQ(secure.ChartToolTip(), u"数据来源于油价网\r\n(Https://prices.example.cn:8443/)");
}

TEST_F(MainWindowTest, ClosingTheWindowEndsTheProgram) {
  form->Show();
  Pump();
  EXPECT_FALSE(TakeQuit());
  SendMessageW(form->hWnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form->IsLoaded());
  EXPECT_TRUE(TakeQuit());
}

// Before the province index has been read, the boxes' changes do nothing.
RecordingMain* g_loading = nullptr;
bool g_acted = false;
bool g_readyWhenActed = true;

void CALLBACK ActWhileLoading(HWND, UINT, UINT_PTR id, DWORD) {
  if (!g_loading || g_acted || !g_loading->Find(u"comWhere", 1)) return;
  KillTimer(nullptr, id);
  g_acted = true;
  g_readyWhenActed = g_loading->Ready();
  JCombo& cities = *g_loading->Get<JCombo>(u"comWhere", 1);
  // An empty city box would warn, and a city would be fetched, if the window acted.
  Type(cities, u"广州\b\b");
  const HWND inner = cities.InnerComboHwnd();
  SendMessageW(GetParent(inner), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(inner), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(inner));
  Type(*g_loading->Get<JCombo>(u"comWhere", 0), u"广东");
}

TEST_F(MainWindowTest, ChangesBeforeTheIndexIsReadDoNothing) {
  form.reset();
  TakeQuit();
  ClearRequestLog();
  // An index page that takes a while: the window runs meanwhile.
  form = std::make_unique<RecordingMain>(RootOf(Host() + u"/faults/slow.asp?ms=1500&x="), Root());
  g_loading = form.get();
  g_acted = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, ActWhileLoading);
  ASSERT_NE(timer, 0u);
  ASSERT_TRUE(form->LoadDesign());
  KillTimer(nullptr, timer);
  g_loading = nullptr;

  ASSERT_TRUE(g_acted) << "the window did not run while the index was read";
  EXPECT_FALSE(g_readyWhenActed);
  EXPECT_TRUE(form->shown.empty());
  EXPECT_TRUE(ComboItems(Combo(1)).empty());
  EXPECT_EQ(WindowText(Text1()), u"");
  for (const std::string& line : RequestLog()) {
    EXPECT_EQ(line.find("guangzhou"), std::string::npos) << line;
  }
  // Once ready, the same change acts.
  EXPECT_TRUE(form->Ready());
  Type(Combo(1), u"x\b");
  EXPECT_EQ(form->shown, Items{u"您还没有选择城市了!|提示|0"});
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

class MainWindowRunTest : public MainWindowTest {
 protected:
  ucStatusBar& Bar() const { return *form->Get<ucStatusBar>(u"ucStatusBar1"); }
};

// The start-up's theme and panels (their texts are read from outside by
// program_test.cpp).
TEST_F(MainWindowRunTest, StartUpThemeAndStatusPanels) {
  const int32_t theme = form->Get<skForms>(u"skForms1")->ThemeColor();
  EXPECT_TRUE(theme >= 1 && theme <= 5) << theme;
  ucStatusBar& bar = Bar();
  ASSERT_EQ(bar.PanelCount(), 2);
  EXPECT_EQ(bar.PanelWidth(1), 220);
  EXPECT_EQ(bar.PanelWidth(2), 140);
  EXPECT_EQ(bar.PanelAlignment(1), 0);
  EXPECT_EQ(bar.PanelAlignment(2), 1);
  ASSERT_TRUE(bar.PanelIcon(1) && bar.PanelIcon(2));
  // The credit and its icon (20 pixels with the gap) fit the panel.
  unique_hfont font = bar.Font()->CreateHandle(ScreenDpi());
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font.get());
  SIZE size{};
  const std::wstring credit = ToWide(bar.PanelText(1));
  GetTextExtentPoint32W(screen, credit.c_str(), static_cast<int>(credit.size()), &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  EXPECT_LE(20 + size.cx, 220 - 8);
}

// The bar keeps its designed place inside the frame (60, 3670, 6270 x 360 twips:
// 4, 245, 418 x 24 pixels), so the frame's border shows all round it: 4 pixels
// left and right, 5 below in the 428 x 274 client area.
TEST_F(MainWindowRunTest, TheBarLiesInsideTheFramesBorder) {
  RECT rc{};
  GetWindowRect(Bar().hWnd(), &rc);
  MapWindowPoints(nullptr, form->hWnd(), reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ((std::vector<LONG>{rc.left, rc.top, rc.right, rc.bottom}), (std::vector<LONG>{4, 245, 422, 269}));
  RECT client{};
  GetClientRect(form->hWnd(), &client);
  EXPECT_EQ((std::vector<LONG>{client.right, client.bottom}), (std::vector<LONG>{428, 274}));
}

// Left running past midnight, the date panel shows the new day within a second.
TEST_F(MainWindowRunTest, TheDatePanelFollowsMidnight) {
  SYSTEMTIME clock{2026, 12, 4, 31, 23, 59, 59, 500};
  form->SetClock([&] { return clock; });
  const std::u16string before = ShortDate(clock);
  test::PumpFor(1500, [&] { return Bar().PanelText(2) == before; });
  ASSERT_EQ(Bar().PanelText(2), before);
  clock = SYSTEMTIME{2027, 1, 5, 1, 0, 0, 0, 200};
  const std::u16string after = ShortDate(clock);
  ASSERT_NE(after, before);
  const DWORD start = GetTickCount();
  test::PumpFor(2000, [&] { return Bar().PanelText(2) == after; });
  EXPECT_EQ(Bar().PanelText(2), after);
  // One tick at most, with room for a busy machine.
  EXPECT_LE(GetTickCount() - start, 1500u);
}

// A step of a handler that fails is skipped and traced for the developer by the
// routine it ran in; the next tick works again.
TEST_F(MainWindowRunTest, AFailingTickIsTracedAndTheNextOneWorks) {
  std::vector<std::u16string> traced;
  const FailureTrace previous =
      SetFailureTrace([&](std::u16string_view line) { traced.emplace_back(line); });
  bool broken = true;
  const SYSTEMTIME clock{2027, 1, 5, 1, 0, 0, 0, 200};
  form->SetClock([&] {
    if (broken) throw std::runtime_error("no clock");
    return clock;
  });
  test::PumpFor(1500, [&] { return !traced.empty(); });
  broken = false;
  test::PumpFor(1500, [&] { return Bar().PanelText(2) == ShortDate(clock); });
  SetFailureTrace(previous);
  ASSERT_FALSE(traced.empty());
  EXPECT_EQ(traced.front(), u"Fuelwise: ForMain.OnTimerTick: no clock");
  EXPECT_EQ(Bar().PanelText(2), ShortDate(clock));
}

}  // namespace
}  // namespace fw
