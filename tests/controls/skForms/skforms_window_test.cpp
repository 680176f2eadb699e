// The skinned frame as a window frame under Wine: its system menu (driven with
// real keys from another thread while the platform tracks it), the added items,
// always-on-top, maximise over the work area and back, double-click on the title,
// the sizing grips and the title-bar drag with real input, the moving of the
// controls it holds, and the recolouring of the host's controls.

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <oleacc.h>

#include "controls/skForms/skForms.h"
#include "tests/controls/skForms/skFormsTestAccess.h"
#include "tests/host/AccessibleRead.h"
#include "host/ColourWin.h"
#include "host/Form.h"
#include "host/Label.h"
#include "host/PictureBox.h"
#include "host/TextBox.h"

namespace fw {
namespace {

// Where the host's client area starts on the screen (pixels).
constexpr int kHostX = 100;
constexpr int kHostY = 100;

// Presses `keys` in the popup menu once the platform shows it. Start it before
// the action that opens the menu; Shown() (pumping meanwhile) says whether it
// showed within the wait.
class MenuDriver {
 public:
  explicit MenuDriver(std::vector<WORD> keys, int waitMs = 2000)
      : m_thread([this, keys, waitMs] {
          for (int waited = 0; waited < waitMs && !m_shown; waited += 10) {
            HWND menu = FindWindowW(L"#32768", nullptr);
            if (menu && IsWindowVisible(menu)) {
              m_shown = true;
              Sleep(50);
              for (WORD k : keys) {
                keybd_event(static_cast<BYTE>(k), 0, 0, 0);
                keybd_event(static_cast<BYTE>(k), 0, KEYEVENTF_KEYUP, 0);
                Sleep(30);
              }
            } else {
              Sleep(10);
            }
          }
          m_finished = true;
        }) {}
  ~MenuDriver() { m_thread.join(); }
  bool Shown() {
    while (!m_finished) {
      UserControl::DoEvents();
      Sleep(5);
    }
    UserControl::DoEvents();
    return m_shown;
  }

 private:
  std::atomic<bool> m_shown{false};
  std::atomic<bool> m_finished{false};
  std::thread m_thread;
};

class FrameWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterSkForms(); }

  void TearDown() override {
    ReleaseCapture();
    if (m_host && m_host->IsLoaded()) m_host->Unload();
    m_host.reset();
    UserControl::DoEvents();
  }

  // A shown, active host of widthPx x heightPx at (kHostX, kHostY) with the frame
  // placed on it at run time. `before` sets the host up before the frame loads.
  skForms* MakeHost(int widthPx = 320, int heightPx = 200,
                    const std::function<void(Form&)>& before = {}) {
    SetCursorPos(1000, 740);  // parked off the host
    m_host = std::make_unique<Form>();
    EXPECT_TRUE(m_host->Create(widthPx * 15, heightPx * 15, u"Fuelwise"));
    m_host->SetStartUpPosition(0);
    m_host->Move(kHostX * 15, kHostY * 15);
    if (before) before(*m_host);
    auto* frame = m_host->Add<skForms>(u"skForms1", nullptr, 0, 0, widthPx * 15, heightPx * 15);
    m_host->Show();
    SetForegroundWindow(m_host->hWnd());
    UserControl::DoEvents();
    return frame;
  }

  RECT HostRect() const {
    RECT r{};
    GetWindowRect(m_host->hWnd(), &r);
    return r;
  }
  static RECT WorkArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
  }

  // Pointer to the host's client point (x, y).
  void MoveTo(int x, int y) {
    const RECT r = HostRect();
    SetCursorPos(r.left + x, r.top + y);
    UserControl::DoEvents();
  }
  static void Mouse(DWORD flags, bool pump = true) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
    if (pump) UserControl::DoEvents();
  }
  static void Left(bool down) { Mouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP); }
  void RightClick(int x, int y) {
    MoveTo(x, y);
    Mouse(MOUSEEVENTF_RIGHTDOWN);
    Mouse(MOUSEEVENTF_RIGHTUP);
  }
  void DoubleClick(int x, int y) {
    MoveTo(x, y);
    for (int i = 0; i < 2; ++i) {
      Mouse(MOUSEEVENTF_LEFTDOWN, false);
      Mouse(MOUSEEVENTF_LEFTUP, false);
    }
    UserControl::DoEvents();
  }
  // A queued absolute move to screen point (x, y), not yet pumped.
  static void QueueMoveTo(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    SendInput(1, &in, sizeof in);
  }
  // Left press at client (x, y), one pixel's move to the right, then (from
  // another thread, while the platform may be dragging) the pointer taken by
  // (dx, dy) from the press in two steps and released.
  void Drag(int x, int y, int dx, int dy) {
    MoveTo(x, y);
    Left(true);
    POINT at{};
    GetCursorPos(&at);
    std::thread user([at, dx, dy] {
      Sleep(150);
      QueueMoveTo(at.x + dx / 2, at.y + dy / 2);
      Sleep(50);
      QueueMoveTo(at.x + dx, at.y + dy);
      Sleep(50);
      Mouse(MOUSEEVENTF_LEFTUP, false);
    });
    SetCursorPos(at.x + 1, at.y);
    UserControl::DoEvents();
    user.join();
    UserControl::DoEvents();
  }

  // This Wine leaves out of the topmost band a window that owns a topmost popup
  // (the host's tooltip window): tests of the band drop those first.
  void DropOwnedWindows() {
    EnumWindows(
        [](HWND w, LPARAM host) {
          if (GetWindow(w, GW_OWNER) == reinterpret_cast<HWND>(host)) DestroyWindow(w);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(m_host->hWnd()));
  }

  std::unique_ptr<Form> m_host;
};

bool IsTopmost(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
std::u16string CaptionOf(const skForms& f, int index) {
  const auto v = f.GetMenuItemValue(index, 0);
  return std::holds_alternative<std::u16string>(v) ? std::get<std::u16string>(v) : u"<none>";
}
bool FlagOf(const skForms& f, int index, int property) {
  const auto v = f.GetMenuItemValue(index, property);
  EXPECT_TRUE(std::holds_alternative<bool>(v)) << "item " << index << " property " << property;
  return std::holds_alternative<bool>(v) && std::get<bool>(v);
}

// -- The menu's items

TEST_F(FrameWindowTest, AddedItemsFollowTheFixedOnesAndARemovedLastItemTakesItsSeparator) {
  skForms* f = MakeHost();
  // The Chinese table, and only move, close and always-on-top with two separators shown.
  const std::vector<std::u16string> chinese = {
      u"\u8FD8\u539F(&R)", u"\u79FB\u52A8(&M)", u"\u5927\u5C0F(&S)",
      u"\u6700\u5C0F\u5316(&X)", u"\u6700\u5927\u5316(&N)", u"-",
      u"\u5173\u95ED(&C)", u"-", u"\u7F6E\u9876(&T)"};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(CaptionOf(*f, i), chinese[i]) << "item " << i;
  EXPECT_EQ(Inside(f).SysMnu().Caption(), u"Menu");
  EXPECT_EQ(Inside(f).SysMnu().VisibleIndexes(), (std::vector<int>{1, 5, 6, 7, 8}));
  EXPECT_FALSE(Inside(f).MenuPopupOn());

  f->FormMenuAdd(u"Refresh", true);
  EXPECT_EQ(CaptionOf(*f, 9), u"-");
  EXPECT_EQ(CaptionOf(*f, 10), u"Refresh");
  EXPECT_TRUE(FlagOf(*f, 10, 1));
  EXPECT_FALSE(FlagOf(*f, 10, 2));
  EXPECT_TRUE(FlagOf(*f, 10, 3));
  EXPECT_TRUE(std::holds_alternative<std::monostate>(f->GetMenuItemValue(10, 4)));

  // The fixed items are out of reach of both.
  for (int16_t i : {0, 5, 6, 8}) {
    f->ModifyAddedMenu(i, u"x", false, true, false);
    f->FormMenuRemove(i);
    EXPECT_EQ(CaptionOf(*f, i), chinese[i]);
    EXPECT_TRUE(FlagOf(*f, i, 1));
  }
  f->ModifyAddedMenu(10, u"", false, true, false);
  EXPECT_EQ(CaptionOf(*f, 10), u"Refresh") << "an empty caption keeps the old one";
  EXPECT_FALSE(FlagOf(*f, 10, 1));
  EXPECT_TRUE(FlagOf(*f, 10, 2));
  EXPECT_FALSE(FlagOf(*f, 10, 3));

  f->FormMenuRemove(10);
  EXPECT_FALSE(Inside(f).SysMnu().Exists(10));
  EXPECT_FALSE(Inside(f).SysMnu().Exists(9)) << "the separator left last goes too";
  EXPECT_EQ(Inside(f).SysMnu().UBound(), 8);

  // Fixed captions: close and minimise give their tooltips; empty and separators change nothing.
  f->SetskFormsMenuCaption(6, u"Quit");
  EXPECT_EQ(CaptionOf(*f, 6), u"Quit            Alt+F4");
  EXPECT_EQ(Inside(f).ButtonSlots()[0].toolTip, u"Quit");
  f->SetskFormsMenuCaption(3, u"Down");
  EXPECT_EQ(CaptionOf(*f, 3), u"Down");
  EXPECT_EQ(Inside(f).ButtonSlots()[2].toolTip, u"Down");
  f->SetskFormsMenuCaption(6, u"");
  f->SetskFormsMenuCaption(5, u"x");
  EXPECT_EQ(CaptionOf(*f, 6), u"Quit            Alt+F4");
  EXPECT_EQ(CaptionOf(*f, 5), u"-");

  // The close item follows the close button.
  f->SetCloseButton(false);
  EXPECT_FALSE(FlagOf(*f, 6, 1));
  auto built = Inside(f).SysMnu().Build();
  EXPECT_EQ(GetMenuItemCount(built.get()), 5);  // 1, 5, 6, 7 and 8
  EXPECT_TRUE(GetMenuState(built.get(), 6 + 1, MF_BYCOMMAND) & MF_GRAYED);
}

// The user's language is taken from the locale the process starts with, so this
// test has its own CTest entry, which runs it under a Spanish locale.
TEST_F(FrameWindowTest, ASpanishUserGetsTheSpanishTable) {
  if (!std::getenv("FW_SPANISH_RUN")) GTEST_SKIP() << "runs in its own entry, in Spanish";
  wchar_t language[64] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, language, 64);
  ASSERT_EQ(std::wstring(language), L"Spanish");
  skForms* f = MakeHost();
  const std::vector<std::u16string> spanish = {u"Restaurar", u"", u"", u"Minimizar", u"Maximizar",
                                               u"-", u"Cerrar", u"-", u"Siempre Visible"};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(CaptionOf(*f, i), spanish[i]) << "item " << i;
  EXPECT_EQ(Inside(f).ButtonSlots()[0].toolTip, u"Ce");
  EXPECT_EQ(Inside(f).ButtonSlots()[2].toolTip, u"Min");
  std::vector<std::u16string> names;
  for (const auto& part : test::AccessibleParts(f->hWnd())) names.push_back(part.name);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Fuelwise", u"Minimizar", u"Maximizar", u"Cerrar"}));
}

// -- The menu popped up and chosen from with real keys

TEST_F(FrameWindowTest, TheMenuOpensOnlyAfterFormMenuShowAndItsItemsAct) {
  skForms* f = MakeHost();
  std::vector<std::string> log;
  f->MenuItemSelected = [&](int16_t index, const std::u16string& caption) {
    log.push_back(std::to_string(index) + (caption == u"Refresh" ? " Refresh" : " ?"));
  };
  f->skCloseClick = [&] { log.push_back("skCloseClick"); };
  const int iconX = 10;
  {
    MenuDriver driver({VK_ESCAPE}, 400);
    RightClick(100, 10);
    MoveTo(iconX, 10);
    Left(true);
    Left(false);
    EXPECT_FALSE(driver.Shown()) << "not before FormMenuShow(1)";
  }
  f->FormMenuShow(1);
  EXPECT_TRUE(Inside(f).MenuPopupOn());
  DropOwnedWindows();
  // Move, close, always on top: the third item.
  for (bool want : {true, false}) {
    MenuDriver driver({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    RightClick(100, 10);
    ASSERT_TRUE(driver.Shown());
    EXPECT_EQ(IsTopmost(m_host->hWnd()), want);
    EXPECT_EQ(FlagOf(*f, 8, 2), want);
  }
  // An added item after its separator raises MenuItemSelected; the icon opens it too.
  f->FormMenuAdd(u"Refresh", true);
  {
    MenuDriver driver({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    MoveTo(iconX, 10);
    Left(true);
    Left(false);
    ASSERT_TRUE(driver.Shown());
  }
  EXPECT_EQ(log, (std::vector<std::string>{"10 Refresh"}));
  {
    MenuDriver driver({VK_ESCAPE}, 400);
    RightClick(Inside(f).ButtonSlots()[2].left + 9, Inside(f).ButtonSlots()[2].top + 9);
    EXPECT_FALSE(driver.Shown()) << "not over the caption buttons";
  }
  f->FormMenuShow(2);
  {
    MenuDriver driver({VK_ESCAPE}, 400);
    RightClick(100, 10);
    EXPECT_FALSE(driver.Shown()) << "FormMenuShow with anything but 1 stops it";
  }
  f->FormMenuShow(1);
  {
    MenuDriver driver({VK_DOWN, VK_DOWN, VK_RETURN});
    RightClick(100, 10);
    ASSERT_TRUE(driver.Shown());
  }
  EXPECT_FALSE(m_host->IsLoaded()) << "the close item unloads the host";
  EXPECT_EQ(log, (std::vector<std::string>{"10 Refresh"})) << "without skCloseClick";
}

// Alt+Space drops the frame's own menu, whichever control has the focus: the
// third item (always on top) is the frame's and nothing else's.
TEST_F(FrameWindowTest, AltSpaceOpensTheFramesMenu) {
  skForms* f = MakeHost();
  auto* box = m_host->Add<TextBox>(u"Text1", nullptr, 600, 900, 1500, 300);
  DropOwnedWindows();
  for (HWND focus : {m_host->hWnd(), box->hWnd()}) {
    SetFocus(focus);
    const bool before = FlagOf(*f, 8, 2);
    MenuDriver driver({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    keybd_event(VK_MENU, 0, 0, 0);
    keybd_event(VK_SPACE, 0, 0, 0);
    keybd_event(VK_SPACE, 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
    ASSERT_TRUE(driver.Shown()) << "focus on " << (focus == box->hWnd() ? "the text box" : "the form");
    EXPECT_NE(FlagOf(*f, 8, 2), before);
    EXPECT_EQ(IsTopmost(m_host->hWnd()), !before);
  }
}

// -- What assistive technology reads and presses

// The title bar named by the caption, then the visible buttons left to right,
// named by the menu's commands, where they are drawn (lefts 320 - 3 - 21k).
TEST_F(FrameWindowTest, TheTitleAndTheVisibleButtonsAreReadAndPressedAsTheMouseDoes) {
  struct Expected {
    long role;
    std::u16string name;
    int left;  // client pixels; -1: the whole title
  };
  const std::u16string kMin = u"\u6700\u5C0F\u5316", kMax = u"\u6700\u5927\u5316",
                       kRestore = u"\u8FD8\u539F", kClose = u"\u5173\u95ED";
  skForms* f = MakeHost();
  // Name and state changes, as a listener in another process would get them.
  static std::vector<std::pair<DWORD, LONG>>* changes = nullptr;
  std::vector<std::pair<DWORD, LONG>> seen;
  changes = &seen;
  const HWINEVENTHOOK hook = SetWinEventHook(
      EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
      [](HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD) {
        if (changes && object == OBJID_CLIENT && event != EVENT_OBJECT_LOCATIONCHANGE) {
          changes->push_back({event, child});
        }
      },
      GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  auto takeChanges = [&] {
    UserControl::DoEvents();
    Sleep(50);
    UserControl::DoEvents();
    return std::exchange(seen, {});
  };
  using Changes = std::vector<std::pair<DWORD, LONG>>;
  auto check = [&](const std::vector<Expected>& want, const char* when) {
    const std::vector<test::AccessiblePart> parts = test::AccessibleParts(f->hWnd());
    ASSERT_EQ(parts.size(), want.size()) << when;
    const int top = Inside(f).ButtonTop() + 2;
    for (size_t i = 0; i < want.size(); ++i) {
      EXPECT_EQ(parts[i].role, want[i].role) << when << ", part " << i;
      EXPECT_TRUE(parts[i].name == want[i].name) << when << ", part " << i;
      const RECT& at = parts[i].location;
      const RECT expected = want[i].left < 0
          ? RECT{kHostX, kHostY, kHostX + f->ScaleWidth(), kHostY + Inside(f).TopHeight()}
          : RECT{kHostX + want[i].left, kHostY + top, kHostX + want[i].left + 18, kHostY + top + 18};
      EXPECT_TRUE(EqualRect(&at, &expected))
          << when << ", part " << i << " at " << at.left << "," << at.top << " " << at.right
          << "," << at.bottom;
    }
  };
  check({{ROLE_SYSTEM_TITLEBAR, u"Fuelwise", -1}, {ROLE_SYSTEM_PUSHBUTTON, kMin, 254},
         {ROLE_SYSTEM_PUSHBUTTON, kMax, 275}, {ROLE_SYSTEM_PUSHBUTTON, kClose, 296}},
        "all three");
  takeChanges();
  m_host->SetCaption(u"Prices");
  f->Refresh();
  EXPECT_EQ(takeChanges(), (Changes{{EVENT_OBJECT_NAMECHANGE, 1}})) << "the title bar renamed";
  check({{ROLE_SYSTEM_TITLEBAR, u"Prices", -1}, {ROLE_SYSTEM_PUSHBUTTON, kMin, 254},
         {ROLE_SYSTEM_PUSHBUTTON, kMax, 275}, {ROLE_SYSTEM_PUSHBUTTON, kClose, 296}},
        "a new caption");

  // Pressed by a tool, maximise acts once the tool's call is done, and reads
  // as restore from then on.
  ASSERT_TRUE(test::AccessibleDefaultAction(f->hWnd(), 3));
  UserControl::DoEvents();
  EXPECT_EQ(f->WindowState(), 2);
  EXPECT_EQ(test::AccessibleParts(f->hWnd())[2].name, kRestore);
  const Changes restore = takeChanges();
  for (const auto& change : {std::pair<DWORD, LONG>{EVENT_OBJECT_NAMECHANGE, 3},
                             std::pair<DWORD, LONG>{EVENT_OBJECT_STATECHANGE, 3}}) {
    EXPECT_NE(std::find(restore.begin(), restore.end(), change), restore.end())
        << "maximise turned into restore: event " << change.first;
  }
  ASSERT_TRUE(test::AccessibleDefaultAction(f->hWnd(), 3));
  UserControl::DoEvents();
  EXPECT_EQ(f->WindowState(), 0);

  f->SetMaxButton(false);
  check({{ROLE_SYSTEM_TITLEBAR, u"Prices", -1}, {ROLE_SYSTEM_PUSHBUTTON, kMin, 275},
         {ROLE_SYSTEM_PUSHBUTTON, kClose, 296}},
        "no maximise button");
  EXPECT_FALSE(test::AccessibleDefaultAction(f->hWnd(), 1)) << "the title has no action";

  // Close: the click's event, then the host goes.
  int closeClicks = 0;
  f->skCloseClick = [&] { ++closeClicks; };
  ASSERT_TRUE(test::AccessibleDefaultAction(f->hWnd(), 3));
  EXPECT_TRUE(m_host->IsLoaded()) << "not inside the tool's call";
  UserControl::DoEvents();
  EXPECT_EQ(closeClicks, 1);
  EXPECT_FALSE(m_host->IsLoaded());
  UnhookWinEvent(hook);
  changes = nullptr;
}

TEST_F(FrameWindowTest, TheMoveItemCapturesAndPlacesThePointerUntilTheNextPress) {
  skForms* f = MakeHost();
  f->FormMenuShow(1);
  {
    MenuDriver driver({VK_DOWN, VK_RETURN});
    RightClick(100, 10);
    ASSERT_TRUE(driver.Shown());
  }
  EXPECT_TRUE(Inside(f).KeyboardMoveMode());
  EXPECT_EQ(GetCapture(), f->hWnd());
  EXPECT_EQ(m_host->MousePointer(), 5);
  POINT at{};
  GetCursorPos(&at);
  // x: the host's middle; y: 240 twips below its top.
  EXPECT_EQ(at.x, (4800 / 2 + kHostX * 15) / 15);
  EXPECT_EQ(at.y, (kHostY * 15 + 240) / 15);
  // The frame holds the capture, so no set-cursor message shows the pointer:
  // it is on the screen all the same, and comes back after a caption button's.
  const HCURSOR sizeAll = LoadCursorW(nullptr, IDC_SIZEALL);
  EXPECT_EQ(GetCursor(), sizeAll) << "after the menu";
  const auto& close = Inside(f).ButtonSlots()[0];
  MoveTo(close.left + 9, close.top + 9);
  EXPECT_EQ(Inside(f).LitButton(), 0);
  EXPECT_NE(GetCursor(), sizeAll) << "the button's own pointer over it";
  SetCursorPos(at.x, at.y);
  UserControl::DoEvents();
  EXPECT_EQ(Inside(f).LitButton(), -1);
  EXPECT_EQ(GetCursor(), sizeAll) << "after a caption button";
  // A click where the pointer was put (on the title: pressed and released at
  // once, or the press would start a drag).
  Mouse(MOUSEEVENTF_LEFTDOWN, false);
  Mouse(MOUSEEVENTF_LEFTUP);
  EXPECT_NE(GetCapture(), f->hWnd());
  EXPECT_EQ(m_host->MousePointer(), 0);
  EXPECT_NE(GetCursor(), sizeAll) << "the press ends the four-way pointer too";
}

TEST_F(FrameWindowTest, AlwaysOnTopTwiceKeepsTheCheckMark) {
  skForms* f = MakeHost();
  DropOwnedWindows();
  for (bool flag : {true, true, false}) {
    f->SetAlwaysOnTop(flag);
    EXPECT_EQ(IsTopmost(m_host->hWnd()), flag);
    EXPECT_EQ(FlagOf(*f, 8, 2), flag);
    EXPECT_TRUE(IsWindowVisible(m_host->hWnd()));
  }
  const RECT r = HostRect();
  EXPECT_EQ(r.left, kHostX) << "position and size kept";
  EXPECT_EQ(r.right - r.left, 320);
}

// -- Window state

TEST_F(FrameWindowTest, MaximiseCoversTheWorkAreaAndRestoreReturnsToTheRestoreRectangle) {
  skForms* f = MakeHost();
  const auto& max = Inside(f).ButtonSlots()[1];
  auto restoreGlyphShown = [&] {
    // (L+15, T+9) lies on the restore glyph only, (L+4, T+10) on the maximise glyph only.
    const COLORREF a = f->GetSurface().Pixel(max.left + 15, max.top + 9);
    const COLORREF b = f->GetSurface().Pixel(max.left + 4, max.top + 10);
    EXPECT_NE(a == Inside(f).DrawDark(), b == Inside(f).DrawDark());
    return a == Inside(f).DrawDark();
  };
  EXPECT_FALSE(restoreGlyphShown());
  const auto rr = Inside(f).RestoreRectangle();
  EXPECT_EQ(std::vector<int>({rr.left, rr.top, rr.width, rr.height}),
            std::vector<int>({kHostX * 15, kHostY * 15, 4800, 3000}));

  f->SetWindowState(2);
  UserControl::DoEvents();
  const RECT area = WorkArea();
  RECT r = HostRect();
  EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
            std::vector<LONG>({area.left, area.top, area.right, area.bottom}));
  EXPECT_EQ(f->ScaleWidth(), area.right - area.left);
  EXPECT_EQ(m_host->WindowState(), 0) << "not the platform's maximised state";
  EXPECT_TRUE(restoreGlyphShown());
  EXPECT_TRUE(FlagOf(*f, 0, 1));
  for (int i : {1, 2, 4}) EXPECT_FALSE(FlagOf(*f, i, 1)) << "item " << i;

  // The maximise button toggles back.
  MoveTo(max.left + 9, max.top + 9);
  Left(true);
  Left(false);
  EXPECT_EQ(f->WindowState(), 0);
  r = HostRect();
  EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
            std::vector<LONG>({kHostX, kHostY, kHostX + 320, kHostY + 200}));
  EXPECT_EQ(f->ScaleWidth(), 320);
  EXPECT_FALSE(restoreGlyphShown());
  EXPECT_FALSE(FlagOf(*f, 0, 1));
  for (int i : {1, 2, 4}) EXPECT_TRUE(FlagOf(*f, i, 1)) << "item " << i;

  f->SetWindowState(1);
  UserControl::DoEvents();
  EXPECT_TRUE(IsIconic(m_host->hWnd()));
  EXPECT_EQ(Inside(f).LitButton(), -1);
}

TEST_F(FrameWindowTest, AMaximisedHostMovedElsewhereGoesBackOverTheWorkArea) {
  skForms* f = MakeHost();
  // Another window under the parked pointer keeps its moves from the frame, so
  // the grips are not made.
  HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE,
                               980, 720, 40, 40, nullptr, nullptr, nullptr, nullptr);
  UserControl::DoEvents();
  f->SetWindowState(2);
  UserControl::DoEvents();
  ASSERT_FALSE(Inside(f).GripsCreated()) << "the pointer never moved over the frame";
  SetWindowPos(m_host->hWnd(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  UserControl::DoEvents();
  const RECT area = WorkArea();
  const RECT r = HostRect();
  EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
            std::vector<LONG>({area.left, area.top, area.right, area.bottom}));
  EXPECT_EQ(f->ScaleWidth(), area.right - area.left);
  DestroyWindow(cover);
}

TEST_F(FrameWindowTest, DoubleClickOnTheTitleTogglesOnlyWithTheMaximiseButton) {
  for (bool maxButton : {true, false}) {
    skForms* f = MakeHost();
    f->SetMaxButton(maxButton);
    std::vector<std::string> log;
    f->DblClick = [&] { log.push_back("DblClick"); };
    DoubleClick(100, 10);
    EXPECT_EQ(f->WindowState(), maxButton ? 2 : 0) << "max button " << maxButton;
    DoubleClick(100, 10);
    EXPECT_EQ(f->WindowState(), 0);
    DoubleClick(100, 100);  // below the title: the event only
    EXPECT_EQ(f->WindowState(), 0);
    EXPECT_EQ(log.size(), maxButton ? 3u : 0u) << "max button " << maxButton;
    m_host->Unload();
  }
}

// -- Grips, sizing and dragging with real input

// At 192 dpi the grips lie twice as far in and are twice as thick, the right
// grip's corner part (its last 10 rows at 96 dpi) is 20 rows, and the smallest
// host a drag leaves is twice the 96-dpi one: 270 wide, the top area and 40 high.
TEST_F(FrameWindowTest, At192DpiTheGripsAndTheSmallestSizeAreDoubled) {
  skForms* f = MakeHost();
  RECT rc = HostRect();
  RECT twice{rc.left, rc.top, rc.left + 640, rc.top + 400};
  SendMessageW(m_host->hWnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&twice));
  UserControl::DoEvents();
  ASSERT_EQ(f->Dpi(), 192);
  ASSERT_EQ(f->ScaleWidth(), 640);
  MoveTo(300, 300);
  ASSERT_TRUE(Inside(f).GripsCreated());
  const int t = Inside(f).TopHeight();
  const RECT a = Inside(f).GripRight()->PixelRect();
  EXPECT_EQ(std::vector<LONG>({a.left, a.top, a.right, a.bottom}),
            std::vector<LONG>({632, t + 18, 638, 398}));
  MoveTo(634, 380);
  EXPECT_EQ(Inside(f).GripRight()->MousePointer(), 8);
  MoveTo(634, 376);
  EXPECT_EQ(Inside(f).GripRight()->MousePointer(), 9);
  MoveTo(634, 390);
  Left(true);
  MoveTo(10, 10);
  Left(false);
  const RECT r = HostRect();
  EXPECT_EQ(r.right - r.left, 270);
  EXPECT_EQ(r.bottom - r.top, t + 40);
}

TEST_F(FrameWindowTest, GripsAppearOnTheFirstMoveAndSizeTheHostNoSmallerThanTheMinimum) {
  skForms* f = MakeHost();
  EXPECT_FALSE(Inside(f).GripsCreated());
  MoveTo(100, 100);
  ASSERT_TRUE(Inside(f).GripsCreated());
  PictureBox* right = Inside(f).GripRight();
  PictureBox* bottom = Inside(f).GripBottom();
  EXPECT_EQ(right->Name(), u"m_picRight");
  EXPECT_EQ(bottom->Name(), u"m_picBottom");
  const int t = Inside(f).TopHeight();
  auto expectPlaces = [&](int w, int h) {
    const RECT a = right->PixelRect();
    const RECT b = bottom->PixelRect();
    EXPECT_EQ(std::vector<LONG>({a.left, a.top, a.right, a.bottom}),
              std::vector<LONG>({w - 4, t + 9, w - 1, h - 1}));
    EXPECT_EQ(std::vector<LONG>({b.left, b.top, b.right, b.bottom}),
              std::vector<LONG>({4, h - 4, w - 4, h - 1}));
    EXPECT_EQ(right->GetSurface().Pixel(1, 1), Inside(f).DrawDark());
    EXPECT_EQ(bottom->GetSurface().Pixel(1, 1), Inside(f).DrawDark());
  };
  expectPlaces(320, 200);

  // The right grip's lowest part sizes both ways; dragged far up and left it stops.
  MoveTo(317, 195);
  EXPECT_EQ(right->MousePointer(), 8);
  Left(true);
  EXPECT_EQ(Inside(f).SizingMode(), 8);
  MoveTo(10, 10);
  Left(false);
  EXPECT_EQ(Inside(f).SizingMode(), 0);
  RECT r = HostRect();
  EXPECT_EQ(r.right - r.left, 135);
  EXPECT_EQ(r.bottom - r.top, t + 20);
  EXPECT_EQ(f->ScaleWidth(), 135);
  expectPlaces(135, t + 20);

  // The bottom grip away from its right end: height only, to the pointer + 5.
  MoveTo(40, t + 17);
  EXPECT_EQ(bottom->MousePointer(), 7);
  Left(true);
  MoveTo(40, 250);
  Left(false);
  r = HostRect();
  EXPECT_EQ(r.right - r.left, 135);
  EXPECT_EQ(r.bottom - r.top, 255);

  // The right grip's upper part: width only.
  MoveTo(132, t + 20);
  EXPECT_EQ(right->MousePointer(), 9);
  Left(true);
  MoveTo(300, 80);
  Left(false);
  r = HostRect();
  EXPECT_EQ(r.right - r.left, 305);
  EXPECT_EQ(r.bottom - r.top, 255);
  expectPlaces(305, 255);

  // Maximised: the default pointer and no sizing.
  f->SetWindowState(2);
  UserControl::DoEvents();
  const RECT area = WorkArea();
  MoveTo(area.right - 3, area.bottom - 20);
  EXPECT_EQ(right->MousePointer(), 0);
  Left(true);
  EXPECT_EQ(Inside(f).SizingMode(), 0);
  MoveTo(300, 300);
  Left(false);
  r = HostRect();
  EXPECT_EQ(r.right - r.left, area.right - area.left);
}

TEST_F(FrameWindowTest, TheDialogSettingsGiveAFixedWindow) {
  // What the program's own dialogs set: BorderStyle 0, no maximise or minimise button.
  skForms* f = MakeHost();
  f->SetBorderStyle(0);
  f->SetMaxButton(false);
  f->SetMinButton(false);
  std::vector<std::string> log;
  f->DblClick = [&] { log.push_back("DblClick"); };
  MoveTo(100, 100);
  MoveTo(317, 195);
  EXPECT_EQ(Inside(f).GripRight()->MousePointer(), 0);
  Left(true);
  EXPECT_EQ(Inside(f).SizingMode(), 0);
  MoveTo(250, 150);
  Left(false);
  RECT r = HostRect();
  EXPECT_EQ(r.right - r.left, 320);
  EXPECT_EQ(r.bottom - r.top, 200);
  DoubleClick(100, 10);
  EXPECT_EQ(f->WindowState(), 0);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(Inside(f).ButtonSlots()[0].left, 296) << "the close button alone, at the right";
  EXPECT_FALSE(Inside(f).ButtonSlots()[1].visible || Inside(f).ButtonSlots()[2].visible);
}

TEST_F(FrameWindowTest, TheTitleDragsTheHostButNotFromTheButtonsNorWhenFixedOrMaximised) {
  skForms* f = MakeHost();
  // The platform's loop starts at the pointer's first step (one pixel to the right).
  const int movedX = kHostX + 50 - 1;
  Drag(60, 10, 50, 30);
  RECT r = HostRect();
  EXPECT_EQ(r.left, movedX);
  EXPECT_EQ(r.top, kHostY + 30);
  EXPECT_EQ(r.right - r.left, 320);
  auto rr = Inside(f).RestoreRectangle();
  EXPECT_EQ(rr.left, movedX * 15) << "the restore rectangle follows the drag";
  EXPECT_EQ(rr.top, (kHostY + 30) * 15);

  // Between and over the caption buttons (released below the title, off the buttons).
  const int buttonsLeft = Inside(f).ButtonSlots()[2].left;
  for (int x : {buttonsLeft, buttonsLeft + 19, 318}) {
    Drag(x, 3, -40, 60);
    EXPECT_EQ(HostRect().left, movedX) << "from x " << x;
  }
  // Below the title.
  Drag(60, 100, -40, 20);
  EXPECT_EQ(HostRect().left, movedX);

  f->SetWindowState(2);
  UserControl::DoEvents();
  Drag(60, 10, 40, 40);
  EXPECT_EQ(HostRect().left, WorkArea().left) << "not while maximised";
  m_host->Unload();

  MakeHost(320, 200, [](Form& host) { host.SetMoveable(false); });
  Drag(60, 10, 50, 30);
  EXPECT_EQ(HostRect().left, kHostX) << "not with Moveable false";
}

// -- The controls the frame holds, and the host's colours

TEST_F(FrameWindowTest, StyleOneAndIconSizeMoveTheControlsInsideTheFrame) {
  skForms* f = MakeHost();
  auto* inside = m_host->Add<PictureBox>(u"inside", f, 300, 900, 600, 300);
  auto* outside = m_host->Add<PictureBox>(u"outside", nullptr, 300, 1500, 600, 300);
  ASSERT_TRUE(inside && outside);
  const std::vector<std::pair<int, int>> steps = {
      {1, 900 + 150}, {1, 900 + 150}, {2, 900}, {1, 900 + 150}, {0, 900}};
  for (auto [style, top] : steps) {
    f->SetStyle(style);
    EXPECT_EQ(inside->Top(), top) << "style " << style;
    EXPECT_EQ(Inside(f).ContentShifted(), style == 1);
  }
  const int before = Inside(f).TopHeight();
  f->SetIconSize(40);
  const int grown = Inside(f).TopHeight() - before;
  EXPECT_EQ(grown, 40 + 15 - before) << "the icon decides the title height";
  EXPECT_EQ(inside->Top(), 900 + grown * 15);
  f->SetIconSize(16);
  EXPECT_EQ(inside->Top(), 900);
  EXPECT_EQ(outside->Top(), 1500) << "the form's own controls stay";
}

TEST_F(FrameWindowTest, ChangeAllBackgroundsRecoloursTheHostsControlsButTheWhiteOnesAndTheGrips) {
  skForms* f = MakeHost();
  MoveTo(100, 100);  // the grips
  auto* label = m_host->Add<Label>(u"lab", nullptr, 300, 900, 1200, 300);
  auto* text = m_host->Add<TextBox>(u"txt", nullptr, 300, 1500, 1200, 300);
  ASSERT_TRUE(label && text);
  text->SetBackColor(Colour(0x80000005u));
  const Colour labelBefore = label->BackColor();
  f->SetBackColorStyle(1);
  EXPECT_EQ(label->BackColor(), labelBefore) << "only with ChangeAllBackgrounds";
  f->SetChangeAllBackgrounds(true);
  EXPECT_EQ(label->BackColor(), Colour(Inside(f).DrawLight()));
  EXPECT_EQ(text->BackColor(), Colour(0x80000005u));
  EXPECT_EQ(Inside(f).GripRight()->BackColor(), Colour(Inside(f).DrawDark()));
  f->SetCustomBackColor(Colour(0x123456u));
  f->SetBackColorStyle(2);
  EXPECT_EQ(label->BackColor(), Colour(0x123456u));
}

}  // namespace
}  // namespace fw
