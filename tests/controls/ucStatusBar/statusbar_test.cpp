// The status bar on a real form: the pixels it paints for each effective theme,
// its properties and their errors, what it saves and reads, and its behaviour
// under real input (clicks, double clicks, keys, the grip, hover). Expected
// colours are worked out by hand from the bar's colour rules.

#include "controls/ucStatusBar/ucStatusBar.h"

#include <array>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <oleacc.h>

#include "host/ColourWin.h"
#include "host/Form.h"
#include "host/Gdi.h"
#include "host/PictureBox.h"
#include "host/TextBox.h"
#include "tests/host/AccessibleRead.h"
#include "tests/host/HostTest.h"

namespace fw {

// The bar's inner state some cases check besides its pixels and events.
struct ucStatusBarTestAccess {
  static int32_t EffectiveTheme(const ucStatusBar& b) { return b.m_effectiveTheme; }
  static const std::vector<statusbar::StatusPanel>& Panels(const ucStatusBar& b) {
    return b.m_panels.Records();
  }
  static const TextBox& EditBox(const ucStatusBar& b) { return b.m_txtEdit; }
  static bool Hooked(const ucStatusBar& b) { return b.m_hooked; }
};

namespace {

using statusbar::StatusBarError;
using Access = ucStatusBarTestAccess;
using test::Event;
using test::ExpectSequence;

constexpr COLORREF kSentinel = RGB(0x12, 0x34, 0x56);
constexpr int32_t kBarWidthTwips = 6270;  // 418 pixels
constexpr int32_t kBarHeightTwips = 360;  // 24 pixels
constexpr int kW = 418;
constexpr int kH = 24;

std::string Hex(COLORREF c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06lX", static_cast<unsigned long>(c));
  return buf;
}
std::string Narrow(std::u16string_view s) { return std::string(s.begin(), s.end()); }

// Keeps pumping for a while: input from SendInput arrives through the server.
void PumpFor(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    UserControl::DoEvents();
    Sleep(5);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

void MouseInput(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

void KeyInput(WORD vk) {
  INPUT in[2]{};
  in[0].type = INPUT_KEYBOARD;
  in[0].ki.wVk = vk;
  in[1] = in[0];
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

POINT ScreenPoint(HWND hwnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(hwnd, &p);
  return p;
}

void ClickAt(HWND hwnd, int x, int y, int clicks = 1) {
  const POINT p = ScreenPoint(hwnd, x, y);
  SetCursorPos(p.x, p.y);
  PumpFor(30);
  for (int i = 0; i < clicks; ++i) {
    MouseInput(MOUSEEVENTF_LEFTDOWN);
    MouseInput(MOUSEEVENTF_LEFTUP);
  }
  PumpFor(150);
}

// A 16 x 16 24-bit picture: white (the bar's back colour, so left out) with a
// red square from 4 to 11.
std::shared_ptr<Picture> RedSquareIcon() {
  HDC screen = GetDC(nullptr);
  unique_hbitmap bmp(CreateCompatibleBitmap(screen, 16, 16));
  ReleaseDC(nullptr, screen);
  unique_hdc dc(CreateCompatibleDC(nullptr));
  {
    const unique_select sel(dc.get(), bmp.get());
    FillSolid(dc.get(), RECT{0, 0, 16, 16}, RGB(255, 255, 255));
    FillSolid(dc.get(), RECT{4, 4, 12, 12}, RGB(255, 0, 0));
  }
  return Picture::FromBitmap(std::move(bmp));
}

COLORREF PicturePixel(const Picture& p, int x, int y) {
  unique_hdc dc(CreateCompatibleDC(nullptr));
  const unique_select sel(dc.get(), p.Bitmap());
  return GetPixel(dc.get(), x, y);
}

// The system the bar asks: a version record and a colour scheme name.
StatusBarSystem FakeSystem(bool xp, const char16_t* scheme = u"NormalColor",
                           bool tracking = true) {
  StatusBarSystem s;
  s.version = [xp] {
    return std::optional<statusbar::OsVersion>(xp ? statusbar::OsVersion{5, 1, 2600, 2}
                                                  : statusbar::OsVersion{6, 1, 7601, 2});
  };
  s.themeColourName = [scheme]() -> std::optional<std::u16string> {
    if (!scheme) return std::nullopt;
    std::u16string buffer(255, u'\0');
    buffer.replace(0, std::u16string_view(scheme).size(), scheme);
    return buffer;
  };
  s.isFunctionExported = [tracking](std::wstring_view, std::wstring_view) { return tracking; };
  return s;
}

class StatusBarTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterUcStatusBar();
    s_form = new Form;
    ASSERT_TRUE(s_form->Create(640 * 15, 200 * 15, u"Status bar test"));
    s_form->SetStartUpPosition(0);
    s_form->Move(0, 0);
    s_form->Show();
    SetForegroundWindow(s_form->hWnd());
  }
  static void TearDownTestSuite() {
    s_form->Unload();
    delete s_form;
    s_form = nullptr;
  }

  void SetUp() override {
    ucStatusBar::SetSystem({});
    s_form->PropertyChangedHook = [this](Control&, std::u16string_view name) {
      m_changes.push_back(Narrow(name));
    };
  }
  void TearDown() override {
    s_form->PropertyChangedHook = nullptr;
    for (Control* c : m_placed) c->Destroy();
    ucStatusBar::SetSystem({});
    SetCursorPos(900, 700);
    PumpFor(30);
  }

  // A bar placed by code at the top left, 418 x 24.
  ucStatusBar* Place(const PropertyStore* props = nullptr) {
    auto* bar = s_form->Add<ucStatusBar>(u"ucStatusBar" + Serial(), nullptr, 0, 0, kBarWidthTwips,
                                         kBarHeightTwips, {}, props);
    if (bar) {
      m_placed.push_back(bar);
      Record(*bar);
    }
    PumpFor(20);
    m_changes.clear();
    return bar;
  }

  // Configured as the main window configures its bar, with its two panels.
  ucStatusBar* MainWindowBar(int32_t theme = 4, bool editable = false) {
    ucStatusBar* bar = Place();
    if (!bar) return nullptr;
    bar->SetBackColor(Colour(0xFFFFFF));
    bar->SetForeColor(Colour(0x80000012));
    bar->SetFont(Font::Create(u"Verdana", 9));
    bar->SetGripShape(1);
    bar->SetTheme(theme);
    bar->AddPanel(u"Design By fuelwise", 0, false, editable, RedSquareIcon(), 0, true,
                  Colour(0xFF00FF), Colour(0x80000012), nullptr, u"", 220);
    bar->AddPanel(u"2026/12/07", 1, false, false, RedSquareIcon(), 0, true, Colour(0xFF00FF),
                  Colour(0x80000012), nullptr, u"", 140);
    PumpFor(20);
    m_events.clear();
    m_changes.clear();
    return bar;
  }

  static std::u16string Serial() {
    const std::string s = std::to_string(++s_serial);
    return std::u16string(s.begin(), s.end());
  }

  void Record(ucStatusBar& bar) {
    auto mouse = [this](const char* name) {
      return [this, name](int16_t& b, int16_t& s, float& x, float& y) {
        m_events.push_back({name, b, s, x, y});
      };
    };
    auto panelMouse = [this](const char* name) {
      return [this, name](int32_t& i, int16_t& b, int16_t&, float&, float&) {
        m_events.push_back({name, i, b});
      };
    };
    bar.Click = [this] { m_events.push_back({"Click"}); };
    bar.DblClick = [this] { m_events.push_back({"DblClick"}); };
    bar.MouseDown = mouse("MouseDown");
    bar.MouseUp = mouse("MouseUp");
    bar.PanelClick = [this](int32_t& i) { m_events.push_back({"PanelClick", i}); };
    bar.PanelDblClick = [this](int32_t& i) { m_events.push_back({"PanelDblClick", i}); };
    bar.PanelMouseDown = panelMouse("PanelMouseDown");
    bar.PanelMouseUp = panelMouse("PanelMouseUp");
    bar.MouseEnter = [this] { m_events.push_back({"MouseEnter"}); };
    bar.MouseLeave = [this] { m_events.push_back({"MouseLeave"}); };
    bar.HandlerError = [this](const StatusBarError& e) {
      m_events.push_back({"Error:" + Narrow(e.Source()), e.Number()});
    };
  }

  static inline Form* s_form = nullptr;
  static inline int s_serial = 0;
  std::vector<Control*> m_placed;
  std::vector<std::string> m_changes;
  std::vector<Event> m_events;
};

// The colours the silver look leaves on rows 0 .. 23 of a white 24-row bar:
// white, the accent, base -37, base -9, the gradient (base 0xFEFEFE throughout),
// then the bottom rows darker by 8 per row.
const COLORREF kSilverRows[24] = {
    0xFFFFFF, 0x9F9D9D, 0xCED9D9, 0xF3F5F5, 0xFEFEFE, 0xFEFEFE, 0xFEFEFE, 0xFEFEFE,
    0xFEFEFE, 0xFEFEFE, 0xFEFEFE, 0xFEFEFE, 0xFEFEFE, 0xFEFEFE, 0xFEFEFE, 0xFEFEFE,
    0xFEFEFE, 0xFEFEFE, 0xFEFEFE, 0xFEFEFE, 0xF4F6F6, 0xE9EEEE, 0xDFE6E6, 0xD4DEDE};

// The grip's pixels, block by block as the grip is laid out: d = SW - 15, f = SH - 16.
std::map<std::pair<int, int>, COLORREF> DottedGrip(int sw, int sh, COLORREF dark) {
  std::map<std::pair<int, int>, COLORREF> px;
  const int d = sw - 15, f = sh - 16;
  auto block = [&](int x, int y, COLORREF c) {
    for (int dy = 0; dy < 2; ++dy)
      for (int dx = 0; dx < 2; ++dx) px[{d + x + dx, f + y + dy}] = c;
  };
  for (auto [x, y] : {std::pair{12, 4}, {12, 8}, {12, 12}, {8, 8}, {8, 12}, {4, 12}})
    block(x, y, 0xFFFFFF);
  for (auto [x, y] : {std::pair{11, 3}, {11, 7}, {11, 11}, {7, 7}, {7, 11}, {3, 11}})
    block(x, y, dark);
  return px;
}

// Lines up and to the right, their last point left out.
std::map<std::pair<int, int>, COLORREF> LinedGrip(int sw, int sh, COLORREF dark) {
  std::map<std::pair<int, int>, COLORREF> px;
  const int d = sw - 15, f = sh - 16;
  for (int a : {12, 9, 6, 3})
    for (int k = 0; k < 14 - a; ++k) px[{d + a + k, f + 13 - k}] = 0xFFFFFF;
  for (int a : {13, 12, 10, 9, 7, 6, 4, 3})
    for (int k = 0; k < 14 - a; ++k) px[{d + a + k, f + 14 - k}] = dark;
  return px;
}

template <typename Want>
std::string FirstMismatch(const ucStatusBar& bar, Want want) {
  for (int y = 0; y < bar.ScaleHeight(); ++y) {
    for (int x = 0; x < bar.ScaleWidth(); ++x) {
      const COLORREF got = bar.GetSurface().Pixel(x, y);
      if (got != want(x, y)) {
        return "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " + Hex(got) +
               ", expected " + Hex(want(x, y));
      }
    }
  }
  return {};
}

// -- Looks

TEST_F(StatusBarTest, GradientRowsAndDottedGripOnEveryPixel) {
  // The themes differ on white only in the accent (row 1): base shifted -64 =
  // (190, 190, 170) mixed half and half with the theme's colour.
  //   blue  0xB99D7F (127, 157, 185): 158.6, 173.6, 177.5 -> (159, 174, 177)
  //   olive 0x69A18B (139, 161, 105): 164.6, 175.6, 137.6 -> (165, 176, 138)
  struct Case {
    int32_t theme;
    COLORREF accent;
  } cases[] = {{2, RGB(159, 174, 177)}, {3, RGB(165, 176, 138)}, {4, kSilverRows[1]}};
  for (const Case& c : cases) {
    ucStatusBar* bar = Place();
    bar->SetBackColor(Colour(0xFFFFFF));
    bar->SetTheme(c.theme);
    bar->SetGripShape(1);
    ASSERT_EQ(bar->ScaleWidth(), kW);
    ASSERT_EQ(bar->ScaleHeight(), kH);
    // Blend(0x909090, white, 128): (127 * 255 + 128 * 144) / 255 = 199.3.
    const auto grip = DottedGrip(kW, kH, 0xC7C7C7);
    EXPECT_EQ(FirstMismatch(*bar,
                            [&](int x, int y) {
                              auto it = grip.find({x, y});
                              if (it != grip.end()) return it->second;
                              return y == 1 ? c.accent : kSilverRows[y];
                            }),
              "")
        << "theme " << c.theme;
  }
}

TEST_F(StatusBarTest, ClassicLookIsAPlainFillWithTheLinedGripAndSunkenPanels) {
  ucStatusBar* bar = Place();
  bar->SetBackColor(Colour(0xFFFFFF));
  bar->SetTheme(1);
  bar->SetGripShape(1);
  EXPECT_EQ(bar->GripShape(), 2) << "the classic look moves the grip to lines";
  // Blend(white, white shifted -112 = (143, 143, 107), 128): 199.2 and 181.3.
  const auto grip = LinedGrip(kW, kH, RGB(199, 199, 181));
  EXPECT_EQ(FirstMismatch(*bar, [&](int x, int y) {
              auto it = grip.find({x, y});
              return it != grip.end() ? it->second : RGB(255, 255, 255);
            }),
            "");
  bar->AddPanel(u"", 0, false, false, nullptr, 0, false, Colour(0), Colour(0), nullptr, u"", 100);
  // A sunken edge around (0, 2) .. (100, 22): shadow at its top left, highlight
  // at its bottom right.
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(Hex(bar->GetSurface().Pixel(0, 10)), Hex(shadow));
  EXPECT_EQ(Hex(bar->GetSurface().Pixel(50, 2)), Hex(shadow));
  EXPECT_EQ(Hex(bar->GetSurface().Pixel(99, 10)), Hex(light));
  EXPECT_EQ(Hex(bar->GetSurface().Pixel(50, 21)), Hex(light));
  EXPECT_EQ(Hex(bar->GetSurface().Pixel(50, 1)), "FFFFFF");
  EXPECT_EQ(Hex(bar->GetSurface().Pixel(100, 10)), "FFFFFF");
}

TEST_F(StatusBarTest, SeparatorsAndIconsOfTheMainWindowPanels) {
  ucStatusBar* bar = MainWindowBar();
  const Surface& s = bar->GetSurface();
  // Separators at x = 240 and 400 (the second panel ends at the grip area),
  // rows 5 to 18: Blend(0x909090, white, 128), then white.
  for (int x : {240, 400}) {
    for (int y = 5; y <= 18; ++y) {
      ASSERT_EQ(Hex(s.Pixel(x, y)), "C7C7C7") << x << ", " << y;
      ASSERT_EQ(Hex(s.Pixel(x + 1, y)), "FFFFFF") << x + 1 << ", " << y;
    }
    EXPECT_EQ(Hex(s.Pixel(x, 4)), Hex(kSilverRows[4]));
    EXPECT_EQ(Hex(s.Pixel(x, 19)), Hex(kSilverRows[19]));
  }
  // Icons at (2, 4) and (244, 4): the red square shows, the white is left out.
  for (int ix : {2, 244}) {
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const bool red = x >= 4 && x < 12 && y >= 4 && y < 12;
        ASSERT_EQ(Hex(s.Pixel(ix + x, 4 + y)), red ? "0000FF" : Hex(kSilverRows[4 + y]))
            << ix + x << ", " << 4 + y;
      }
    }
  }
  EXPECT_EQ(Access::Panels(*bar)[1].textRect, (statusbar::PanelRect{264, 5, 398, 19}));

  // Greyed: red (255, 0, 0) goes to a grey of the table near (85, 85, 85), the
  // nearest by distance (the platform picks it; Wine's palette lookup works at
  // reduced precision and gives 87); the panel's picture keeps its colours.
  std::shared_ptr<Picture> icon = bar->PanelIcon(2);
  ucStatusBar* grey = Place();
  grey->SetBackColor(Colour(0xFFFFFF));
  grey->SetTheme(2);
  grey->AddPanel(u"", 0, false, false, icon, 1, false, Colour(0), Colour(0), nullptr, u"", 100);
  const COLORREF g = grey->GetSurface().Pixel(2 + 6, 4 + 6);
  EXPECT_TRUE(GetRValue(g) == GetGValue(g) && GetGValue(g) == GetBValue(g)) << Hex(g);
  EXPECT_NEAR(GetRValue(g), 85, 3) << Hex(g);
  EXPECT_EQ(Hex(PicturePixel(*icon, 6, 6)), "0000FF");
}

TEST_F(StatusBarTest, ThemeResolutionThroughTheSystem) {
  struct Case {
    bool xp;
    const char16_t* scheme;  // null: the visual-style service fails
    int32_t theme;
    int32_t effective;
  } cases[] = {{false, u"NormalColor", 0, 1}, {true, u"Metallic", 0, 4}, {true, nullptr, 0, 1},
               {true, u"", 0, 1},              {false, nullptr, 7, 2}};
  for (const Case& c : cases) {
    ucStatusBar::SetSystem(FakeSystem(c.xp, c.scheme));
    ucStatusBar* bar = Place();
    bar->SetBackColor(Colour(0xFF8040));
    bar->SetGripShape(2);
    bar->SetTheme(c.theme);
    EXPECT_EQ(Access::EffectiveTheme(*bar), c.effective) << "case theme " << c.theme;
    EXPECT_EQ(bar->GripShape(), c.effective == 1 ? 2 : 1);
    // The classic look fills with the back colour; the others start white.
    EXPECT_EQ(Hex(bar->GetSurface().Pixel(100, 0)), c.effective == 1 ? "FF8040" : "FFFFFF");
  }
  // This system (6.1) answers with the classic look.
  ucStatusBar::SetSystem({});
  ucStatusBar* bar = Place();
  EXPECT_FALSE(bar->IsWinXP());
  bar->SetTheme(0);
  EXPECT_EQ(Access::EffectiveTheme(*bar), 1);
}

TEST_F(StatusBarTest, GripShapeSetToItsValueChangesNothing) {
  ucStatusBar* bar = Place();
  bar->SetTheme(2);
  bar->SetGripShape(1);
  m_changes.clear();
  FillSolid(bar->hDC(), RECT{0, 0, kW, kH}, kSentinel);
  bar->SetGripShape(1);
  EXPECT_TRUE(m_changes.empty());
  EXPECT_EQ(bar->GetSurface().Pixel(100, 10), kSentinel) << "repainted";
  bar->SetGripShape(0);
  EXPECT_EQ(m_changes, std::vector<std::string>{"GripShape"});
  EXPECT_NE(bar->GetSurface().Pixel(100, 10), kSentinel);
}

TEST_F(StatusBarTest, SizableGivesTheGripOfTheSystem) {
  ucStatusBar::SetSystem(FakeSystem(false));
  ucStatusBar* bar = Place();
  bar->SetTheme(2);
  m_changes.clear();
  bar->SetSizable(true);
  EXPECT_EQ(m_changes, (std::vector<std::string>{"GripShape", "Sizable"}));
  // Lines asked for; the themed look then shows dots.
  EXPECT_EQ(bar->GripShape(), 1);
  bar->SetTheme(1);
  EXPECT_EQ(bar->GripShape(), 2);
  bar->SetSizable(false);
  EXPECT_EQ(bar->GripShape(), 0);
  ucStatusBar::SetSystem(FakeSystem(true));
  bar->SetSizable(true);
  EXPECT_EQ(bar->GripShape(), 2) << "classic look on an XP system: lines after the repaint";
}

// -- Properties

TEST_F(StatusBarTest, PanelPropertiesAndTheirErrors) {
  ucStatusBar* bar = Place();
  auto expectError = [](auto read, const char* source) {
    try {
      read();
      ADD_FAILURE() << source << ": no error";
    } catch (const StatusBarError& e) {
      EXPECT_EQ(e.Number(), 9);
      EXPECT_EQ(Narrow(e.Source()), source);
    }
  };
  expectError([&] { bar->PanelWidth(1); }, "ucStatusBar.PanelWidth");
  expectError([&] { bar->PanelText(0); }, "ucStatusBar.PanelText");
  expectError([&] { bar->PanelAlignment(3); }, "ucStatusBar.PanelAlignment");
  expectError([&] { bar->PanelFont(1); }, "ucStatusBar.PanelFont");
  FillSolid(bar->hDC(), RECT{0, 0, kW, kH}, kSentinel);
  bar->SetPanelWidth(1, 5);
  bar->SetPanelText(1, u"x");
  EXPECT_EQ(bar->GetSurface().Pixel(100, 10), kSentinel) << "a write without panels repaints";
  EXPECT_EQ(bar->PanelCount(), 0);

  auto barFont = Font::Create(u"Verdana", 9);
  bar->SetFont(barFont);
  bar->AddPanel(u"one", 5, true, true, nullptr, 0, true, Colour(0xFF00FF), Colour(0xFF), nullptr,
                u"tip", 0);
  bar->AddPanel(u"two", 2, false, false, nullptr, 0, false, Colour(0), Colour(0), nullptr, u"", 30);
  EXPECT_EQ(bar->PanelCount(), 2);
  EXPECT_EQ(bar->PanelFont(1), barFont) << "the bar's font object itself";
  EXPECT_EQ(bar->PanelWidth(1), 40);
  EXPECT_EQ(bar->PanelAlignment(1), 0);
  EXPECT_EQ(bar->PanelAlignment(2), 2);
  EXPECT_EQ(Narrow(bar->PanelText(0)), "one");
  EXPECT_EQ(Narrow(bar->PanelText(99)), "two");
  bar->SetPanelText(99, u"last");
  EXPECT_EQ(Narrow(bar->PanelText(2)), "last");
  bar->SetPanelWidth(2, 0);
  EXPECT_EQ(bar->PanelWidth(2), 0);
  bar->SetPanelAlignment(2, 7);
  EXPECT_EQ(bar->PanelAlignment(2), 2);
  // An auto-sized panel follows its text in its font: wider text, later separator.
  const int32_t before = Access::Panels(*bar)[0].textRect.right;
  bar->SetPanelText(1, u"one and a much longer text");
  EXPECT_GT(Access::Panels(*bar)[0].textRect.right, before + 50);

  bar->SetBackColor(Colour(0x00FF00));
  bar->SetForeColor(Colour(0x0000FF));
  EXPECT_EQ(bar->BackColor(), Colour(0x00FF00));
  EXPECT_EQ(m_changes, (std::vector<std::string>{"Font", "BackColor", "ForeColor"}));
}

// A width that takes the layout beyond 32 bits: error 6 from the operation that
// set it; the paint stops at that panel, the one before it drawn.
TEST_F(StatusBarTest, AWidthBeyondTheLayoutsRangeIsAnOverflow) {
  ucStatusBar* bar = MainWindowBar();
  auto expectOverflow = [](auto call, const char* source) {
    try {
      call();
      ADD_FAILURE() << source << ": no error";
    } catch (const StatusBarError& e) {
      EXPECT_EQ(e.Number(), 6);
      EXPECT_EQ(Narrow(e.Description()), "Overflow");
      EXPECT_EQ(Narrow(e.Source()), source);
    }
  };
  // Panel 2 starts at 240: 240 + 2147483647 + 20 for its icon.
  expectOverflow([&] { bar->SetPanelWidth(2, 2147483647); }, "ucStatusBar.PanelWidth");
  EXPECT_EQ(bar->PanelWidth(2), 2147483647) << "stored before the paint failed";
  const Surface& s = bar->GetSurface();
  EXPECT_EQ(Hex(s.Pixel(240, 10)), "C7C7C7") << "panel 1 is drawn";
  EXPECT_EQ(Hex(s.Pixel(400, 10)), Hex(kSilverRows[10])) << "panel 2 is not";
  expectOverflow([&] { bar->AddPanel(u"", 0, false, false, nullptr, 0, false, Colour(0), Colour(0), nullptr, u"", 5); },
                 "ucStatusBar.AddPanel");
  EXPECT_EQ(bar->PanelCount(), 3);
}

// The same rule above 96 dpi: a first panel of 1,500,000,000 design pixels is
// 3,000,000,000 device pixels at 192, beyond 32 bits, though the width fits.
TEST_F(StatusBarTest, AWidthScaledBeyondTheLayoutsRangeIsAnOverflowAbove96Dpi) {
  ucStatusBar* bar = MainWindowBar();
  auto moveTo = [](int dpi) {
    RECT rc{};
    GetWindowRect(s_form->hWnd(), &rc);
    SendMessageW(s_form->hWnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&rc));
    UserControl::DoEvents();
  };
  struct Case {
    int dpi;
    int32_t width;
    bool overflow;
  } const cases[] = {{192, 1500000000, true}, {144, 1500000000, true}, {120, 1500000000, false},
                     {192, 1000000000, false}};
  for (const Case& c : cases) {
    moveTo(c.dpi);
    ASSERT_EQ(bar->Dpi(), c.dpi);
    int32_t number = 0;
    std::string source;
    try {
      bar->SetPanelWidth(1, c.width);
    } catch (const StatusBarError& e) {
      number = e.Number();
      source = Narrow(e.Source());
    }
    EXPECT_EQ(number, c.overflow ? 6 : 0) << c.width << " at " << c.dpi;
    EXPECT_EQ(source, c.overflow ? "ucStatusBar.PanelWidth" : "") << c.width << " at " << c.dpi;
    EXPECT_EQ(bar->PanelWidth(1), c.width) << "stored before the paint";
    bar->SetPanelWidth(1, 220);
  }
  moveTo(96);
}

// A fraction where the grip's shape, a whole number, is read: refused and noted,
// not rounded to 2; a whole number written as a double is used.
TEST_F(StatusBarTest, AFractionalGripShapeIsRefusedNotRounded) {
  struct Case {
    double stored;
    int32_t shape;
    bool refused;
  } const cases[] = {{1.5, 0, true}, {2.0, 2, false}};
  for (const Case& c : cases) {
    PropertyStore props;
    props.Set(u"GripShape", c.stored, 12);
    ucStatusBar* bar = Place(&props);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GripShape(), c.shape) << c.stored;
    ASSERT_EQ(props.Refusals().size(), c.refused ? 1u : 0u) << c.stored;
    if (c.refused) {
      EXPECT_EQ(props.Refusals()[0].expected, u"a whole number");
      EXPECT_EQ(props.Refusals()[0].line, 12);
    }
  }
}

TEST_F(StatusBarTest, SavedAndReadBackDockedAtTheBottom) {
  ucStatusBar* bar = Place();
  PropertyStore defaults;
  bar->WriteProperties(defaults);
  // A new bar on a form with the form's own colours and font saves nothing but
  // what differs from them.
  std::vector<std::string> names;
  for (const auto& e : defaults.Entries()) names.push_back(Narrow(e.name));
  EXPECT_EQ(names, std::vector<std::string>{}) << "new bar";

  bar->SetBackColor(Colour(0xFFFFFF));
  bar->SetFont(Font::Create(u"Verdana", 9));
  bar->SetGripShape(1);
  bar->SetTheme(4);
  bar->SetSizable(true);
  bar->AddPanel(u"a", 0, false, false, nullptr, 0, false, Colour(0), Colour(0), nullptr, u"", 50);
  PropertyStore saved;
  bar->WriteProperties(saved);
  names.clear();
  for (const auto& e : saved.Entries()) names.push_back(Narrow(e.name));
  EXPECT_EQ(names, (std::vector<std::string>{"BackColor", "Font", "GripShape", "PanelCount",
                                             "Sizable", "Theme"}));

  ucStatusBar* read = Place(&saved);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->BackColor(), Colour(0xFFFFFF));
  EXPECT_EQ(read->ForeColor(), Colour(0x80000012));
  EXPECT_EQ(Narrow(read->Font()->Name()), "Verdana");
  EXPECT_EQ(read->Theme(), 4);
  EXPECT_TRUE(read->Sizable());
  EXPECT_EQ(read->GripShape(), 1);
  EXPECT_EQ(read->PanelCount(), 0) << "panels are not saved";
  EXPECT_TRUE(Access::Hooked(*read));
  EXPECT_EQ(read->Align(), 2);
  RECT rc{};
  GetWindowRect(read->hWnd(), &rc);
  MapWindowPoints(nullptr, s_form->hWnd(), reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ(rc.bottom, 200);
  EXPECT_EQ(rc.right - rc.left, 640);
  EXPECT_EQ(rc.bottom - rc.top, 24);
}

// -- Interaction

TEST_F(StatusBarTest, RealClicksRaiseTheEventsWithThePanelUnderThePointer) {
  ucStatusBar* bar = MainWindowBar();
  ClickAt(bar->hWnd(), 100, 12);
  ClickAt(bar->hWnd(), 300, 12);
  ClickAt(bar->hWnd(), 230, 12);
  // The pointer comes in from outside: the bar first reports it entering.
  const Event want[] = {
      {"MouseEnter"},
      {"MouseDown", 1, 0, 100, 12}, {"PanelMouseDown", 1, 1}, {"MouseUp", 1, 0, 100, 12},
      {"PanelMouseUp", 1, 1},       {"Click"},                {"PanelClick", 1},
      {"MouseDown", 1, 0, 300, 12}, {"PanelMouseDown", 2, 1}, {"MouseUp", 1, 0, 300, 12},
      {"PanelMouseUp", 2, 1},       {"Click"},                {"PanelClick", 2},
      {"MouseDown", 1, 0, 230, 12}, {"PanelMouseDown", 0, 1}, {"MouseUp", 1, 0, 230, 12},
      {"PanelMouseUp", 0, 1},       {"Click"},                {"PanelClick", 0},
  };
  ExpectSequence(m_events, want, "clicks on panel 1, panel 2 and between them");
}

// -- Assistive technology

TEST_F(StatusBarTest, PanelsReadAsStaticTextsWhereTheyAreClicked) {
  ucStatusBar* bar = MainWindowBar();
  EXPECT_EQ(test::AccessibleSelf(bar->hWnd()).role, ROLE_SYSTEM_STATUSBAR);
  const std::vector<test::AccessiblePart> parts = test::AccessibleParts(bar->hWnd());
  ASSERT_EQ(parts.size(), 2u);
  // The points a real click finds each panel at (and the gap between them).
  auto at = [&](int x) {
    POINT p{x, 12};
    ClientToScreen(bar->hWnd(), &p);
    return p;
  };
  const struct {
    std::u16string_view name;
    int inside;
  } want[] = {{u"Design By fuelwise", 100}, {u"2026/12/07", 300}};
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(parts[i].childId, static_cast<long>(i + 1));
    EXPECT_EQ(parts[i].role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(parts[i].name, want[i].name);
    EXPECT_EQ(parts[i].defaultAction, u"Click");
    EXPECT_TRUE(PtInRect(&parts[i].location, at(want[i].inside))) << i;
    EXPECT_FALSE(PtInRect(&parts[i].location, at(230))) << i;
  }
}

TEST_F(StatusBarTest, APanelsNewTextIsToldAndRead) {
  ucStatusBar* bar = MainWindowBar();
  const auto changed = [&](long child) {
    return test::WinEvent{EVENT_OBJECT_NAMECHANGE, bar->hWnd(), OBJID_CLIENT, child};
  };
  const struct {
    int32_t index;
    std::u16string_view text;
    std::vector<test::WinEvent> told;
    std::u16string_view first, second;
  } cases[] = {
      {2, u"2026/12/08", {changed(2)}, u"Design By fuelwise", u"2026/12/08"},
      {2, u"2026/12/08", {}, u"Design By fuelwise", u"2026/12/08"},  // the same text: no change
      {1, u"Ready", {changed(1)}, u"Ready", u"2026/12/08"},
      {9, u"beyond", {changed(2)}, u"Ready", u"beyond"},  // the write clamps to the last panel
  };
  for (const auto& c : cases) {
    test::WinEventRecorder heard({bar->hWnd()}, EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE);
    bar->SetPanelText(c.index, c.text);
    PumpFor(10);
    EXPECT_EQ(heard.Take(), c.told) << Narrow(c.text);
    const std::vector<test::AccessiblePart> parts = test::AccessibleParts(bar->hWnd());
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].name, c.first);
    EXPECT_EQ(parts[1].name, c.second);
  }
}

TEST_F(StatusBarTest, APanelsDefaultActionRaisesWhatAClickOnItRaises) {
  ucStatusBar* bar = MainWindowBar();
  for (long child : {2L, 1L}) {
    m_events.clear();
    ASSERT_TRUE(test::AccessibleDefaultAction(bar->hWnd(), child));
    PumpFor(20);
    const Event want[] = {{"Click"}, {"PanelClick", static_cast<int>(child)}};
    ExpectSequence(m_events, want, "default action");
  }
  bar->SetEnabled(false);
  m_events.clear();
  EXPECT_FALSE(test::AccessibleDefaultAction(bar->hWnd(), 1));
  PumpFor(20);
  ExpectSequence(m_events, nullptr, "default action of a disabled bar");
}

TEST_F(StatusBarTest, DoubleClickOnAPanelThatIsNotEditable) {
  ucStatusBar* bar = MainWindowBar();
  ClickAt(bar->hWnd(), 300, 12, 2);
  const Event want[] = {
      {"MouseEnter"},
      {"MouseDown", 1, 0, 300, 12}, {"PanelMouseDown", 2, 1}, {"MouseUp", 1, 0, 300, 12},
      {"PanelMouseUp", 2, 1},       {"Click"},                {"PanelClick", 2},
      {"DblClick"},                 {"PanelDblClick", 2},     {"MouseUp", 1, 0, 300, 12},
      {"PanelMouseUp", 2, 1},
  };
  ExpectSequence(m_events, want, "double click on the date panel");
  EXPECT_FALSE(IsWindowVisible(Access::EditBox(*bar).hWnd()));
}

TEST_F(StatusBarTest, InPlaceEditingEnterEscapeAndFocusLoss) {
  ucStatusBar* bar = MainWindowBar(4, /*editable=*/true);
  HWND box = Access::EditBox(*bar).hWnd();

  ClickAt(bar->hWnd(), 100, 12, 2);
  ASSERT_TRUE(IsWindowVisible(box));
  EXPECT_EQ(GetFocus(), box);
  RECT rc{};
  GetWindowRect(box, &rc);
  MapWindowPoints(nullptr, bar->hWnd(), reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ(rc.left, 22);
  EXPECT_EQ(rc.right - rc.left, 212);
  EXPECT_EQ(rc.bottom - rc.top, 16);
  EXPECT_EQ(rc.top, 4);
  EXPECT_EQ(Narrow(Access::EditBox(*bar).Text()), "Design By fuelwise");
  EXPECT_EQ(Access::EditBox(*bar).SelLength(), 18);

  KeyInput('H');
  KeyInput('I');
  KeyInput(VK_RETURN);
  PumpFor(150);
  EXPECT_EQ(Narrow(bar->PanelText(1)), "hi");
  EXPECT_FALSE(IsWindowVisible(box));

  ClickAt(bar->hWnd(), 100, 12, 2);
  ASSERT_TRUE(IsWindowVisible(box));
  KeyInput('Z');
  KeyInput(VK_ESCAPE);
  PumpFor(150);
  EXPECT_EQ(Narrow(bar->PanelText(1)), "hi") << "Escape keeps the old text";
  EXPECT_FALSE(IsWindowVisible(box));

  ClickAt(bar->hWnd(), 100, 12, 2);
  ASSERT_TRUE(IsWindowVisible(box));
  KeyInput('Q');
  PumpFor(100);
  ClickAt(bar->hWnd(), 300, 12);
  EXPECT_EQ(Narrow(bar->PanelText(1)), "q") << "a click elsewhere stores through the focus loss";
  EXPECT_FALSE(IsWindowVisible(box));
  for (const Event& e : m_events) EXPECT_EQ(e.name.rfind("Error", 0), std::string::npos) << e.name;
}

TEST_F(StatusBarTest, TheGripSizesTheHostWithRealInput) {
  PropertyStore props;
  props.Set(u"Sizable", true);
  props.Set(u"Theme", int32_t{2});
  ucStatusBar* bar = Place(&props);
  ASSERT_NE(bar, nullptr);
  RECT before{};
  GetWindowRect(s_form->hWnd(), &before);
  const POINT grip = ScreenPoint(bar->hWnd(), bar->ScaleWidth() - 6, bar->ScaleHeight() - 6);
  SetCursorPos(grip.x, grip.y);
  PumpFor(60);
  EXPECT_EQ(bar->MousePointer(), kPointerSizeNWSE) << "the pointer over the grip";
  // The sizing loop runs inside the press: the rest of the drag comes from
  // another thread while this one is in it.
  std::thread drag([grip] {
    Sleep(300);
    SetCursorPos(grip.x + 20, grip.y + 15);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &move, sizeof move);
    Sleep(150);
    SetCursorPos(grip.x + 40, grip.y + 30);
    SendInput(1, &move, sizeof move);
    Sleep(150);
    MouseInput(MOUSEEVENTF_LEFTUP);
  });
  MouseInput(MOUSEEVENTF_LEFTDOWN);
  PumpFor(900);
  drag.join();
  PumpFor(100);
  RECT after{};
  GetWindowRect(s_form->hWnd(), &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left + 40);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 30);
  // The bar stays docked along the bottom, at its own height.
  RECT client{};
  GetClientRect(s_form->hWnd(), &client);
  EXPECT_EQ(bar->ScaleWidth(), client.right);
  EXPECT_EQ(bar->ScaleHeight(), 24);
  // The events of the press follow the end of the sizing.
  ASSERT_GE(m_events.size(), 2u);
  EXPECT_EQ(m_events[0].name, "MouseEnter");
  EXPECT_EQ(m_events[1].name, "MouseDown");
  SetWindowPos(s_form->hWnd(), nullptr, 0, 0, before.right - before.left,
               before.bottom - before.top, SWP_NOZORDER | SWP_NOMOVE);
  PumpFor(50);
}

TEST_F(StatusBarTest, BoundTextBoxMovesIntoItsPanelAndFollowsIt) {
  ucStatusBar* bar = MainWindowBar(2);
  auto* box = s_form->Add<TextBox>(u"txtBound" + Serial(), nullptr, 3000, 1500, 900, 300);
  ASSERT_NE(box, nullptr);
  m_placed.push_back(box);
  bar->BoundControl(2, box, 1);
  EXPECT_EQ(GetParent(box->hWnd()), bar->hWnd());
  EXPECT_EQ(box->Container(), bar);
  // Saved where it lives: inside the bar's block.
  const DesignNode design = s_form->SaveDesign();
  const DesignNode* barNode = nullptr;
  for (const DesignNode& n : design.children) {
    if (n.name == bar->Name()) barNode = &n;
  }
  ASSERT_NE(barNode, nullptr);
  ASSERT_EQ(barNode->children.size(), 1u);
  EXPECT_EQ(barNode->children[0].name, box->Name());
  // Panel 2's text rectangle without its icon: 244 .. 396 (the icon is not
  // drawn for a panel holding a control).
  auto placed = [&] {
    RECT rc{};
    GetWindowRect(box->hWnd(), &rc);
    MapWindowPoints(nullptr, bar->hWnd(), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  };
  RECT rc = placed();
  EXPECT_EQ(rc.left, 244);
  EXPECT_EQ(rc.right, 396);
  EXPECT_EQ(rc.bottom - rc.top, 16);
  EXPECT_EQ(rc.top, 4);
  EXPECT_TRUE(IsWindowVisible(box->hWnd()));
  // A wider first panel moves the second one, and the box with it.
  bar->SetPanelWidth(1, 250);
  rc = placed();
  EXPECT_EQ(rc.left, 274);
  bar->SetWidth(500 * 15);
  PumpFor(20);
  rc = placed();
  EXPECT_EQ(rc.left, 274);
  EXPECT_EQ(rc.right, 426);
  // Too narrow to show (30 twips or less): a width of -10 with the icon's 20
  // gives a rectangle of 2 pixels. Hidden.
  bar->SetPanelWidth(2, -10);
  EXPECT_FALSE(IsWindowVisible(box->hWnd()));
  // Size method 0: at the text rectangle's corner, 16 high, its own width.
  bar->SetPanelWidth(2, 140);
  box->SetWidth(900);
  bar->BoundControl(2, box, 0);
  rc = placed();
  EXPECT_EQ(rc.left, 274);
  EXPECT_EQ(rc.top, 5);
  EXPECT_EQ(rc.right - rc.left, 60);
  EXPECT_EQ(rc.bottom - rc.top, 16);
  bar->BoundControl(2, nullptr, 0);
  EXPECT_EQ(GetParent(box->hWnd()), s_form->hWnd());
  EXPECT_EQ(box->Container(), nullptr);
}

TEST_F(StatusBarTest, InsideAContainerItKeepsItsDesignedPlace) {
  auto* box = s_form->Add<PictureBox>(u"picHost" + Serial(), nullptr, 300, 300, 6000, 1500);
  ASSERT_NE(box, nullptr);
  m_placed.push_back(box);
  PropertyStore props;
  props.Set(u"Theme", int32_t{2});
  // Designed at 150, 300, 1500 x 600 twips: 10, 20, 100 pixels wide; the bar
  // takes its own height (360 twips, 24 pixels) and is not docked.
  auto* bar = s_form->Add<ucStatusBar>(u"ucStatusBar" + Serial(), box, 150, 300, 1500, 600, {}, &props);
  ASSERT_NE(bar, nullptr);
  m_placed.insert(m_placed.begin(), bar);
  auto placed = [&] {
    RECT rc{};
    GetWindowRect(bar->hWnd(), &rc);
    MapWindowPoints(nullptr, box->hWnd(), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  };
  RECT rc = placed();
  EXPECT_EQ((std::array{rc.left, rc.top, rc.right, rc.bottom}), (std::array<LONG, 4>{10, 20, 110, 44}));
  EXPECT_EQ(bar->Align(), 2) << "the saved Align stays";
  box->Move(300, 300, 7500, 2250);
  PumpFor(20);
  rc = placed();
  EXPECT_EQ((std::array{rc.left, rc.top, rc.right, rc.bottom}), (std::array<LONG, 4>{10, 20, 110, 44}))
      << "a resize of the container leaves it";
}

TEST_F(StatusBarTest, RepaintsLeaveNoDrawingObjectsBehind) {
  ucStatusBar* bar = MainWindowBar(1);
  bar->SetPanelIcon(2, bar->PanelIcon(2));
  bar->AddPanel(u"", 0, true, false, bar->PanelIcon(1), 1, false, Colour(0), Colour(0), nullptr,
                u"", 10);
  bar->Refresh();
  const int before = LiveGdiHandles();
  for (int i = 0; i < 3000; ++i) {
    bar->SetTheme(1 + i % 4);
  }
  EXPECT_EQ(LiveGdiHandles(), before);
  EXPECT_EQ(Hex(bar->GetSurface().Pixel(100, 0)), "FFFFFF") << "still draws";
}

// With mouse-leave tracking the bar hooks its window: the pointer entering and
// leaving is reported, and a system colour change repaints at once. Without it
// there is no hook: moves only, and the message itself repaints nothing.
TEST_F(StatusBarTest, HoverAndRepaintThroughThePlainHook) {
  for (bool tracking : {true, false}) {
    ucStatusBar::SetSystem(FakeSystem(false, nullptr, tracking));
    m_events.clear();
    ucStatusBar* bar = Place();
    bar->SetTheme(2);
    EXPECT_EQ(Access::Hooked(*bar), tracking);
    int moves = 0;
    bar->MouseMove = [&](int16_t&, int16_t&, float&, float&) { ++moves; };
    const POINT in = ScreenPoint(bar->hWnd(), 100, 10);
    SetCursorPos(in.x, in.y);
    PumpFor(100);
    SetCursorPos(in.x + 5, in.y);
    PumpFor(100);
    SetCursorPos(in.x, in.y + 300);
    PumpFor(800);
    EXPECT_GT(moves, 0);
    const Event want[] = {{"MouseEnter"}, {"MouseLeave"}};
    if (tracking) ExpectSequence(m_events, want, "in, move, out");
    else ExpectSequence(m_events, nullptr, "no enter without tracking");
    FillSolid(bar->hDC(), RECT{0, 0, kW, kH}, kSentinel);
    SendMessageW(bar->hWnd(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(Hex(bar->GetSurface().Pixel(100, 0)), tracking ? "FFFFFF" : Hex(kSentinel));
    bar->Destroy();
  }
}

}  // namespace
}  // namespace fw
