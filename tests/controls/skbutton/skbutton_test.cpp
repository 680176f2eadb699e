// The button on a real form under the host: whole event sequences from real
// input and real messages, what it saves and reads, the pixels its painting core
// and every face painter leave, its window region and its hooks.

#include "controls/skbutton/skbutton.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "controls/skbutton/ButtonPaint.h"
#include "controls/skbutton/PixelMappedArt.h"
#include "host/DesignFile.h"
#include "host/Form.h"
#include "host/Gdi.h"
#include "tests/host/AccessibleRead.h"
#include "tests/host/HostTest.h"

namespace fw {

// What the button draws from, which only its looks show otherwise.
struct SkbuttonTestAccess {
  static skbtn::Look State(const skbutton* b) { return b->m_state; }
  static bool MouseInside(const skbutton* b) { return b->m_mouseInside; }
  static bool HasFocus(const skbutton* b) { return b->m_hasFocus; }
  static bool ParentActive(const skbutton* b) { return b->m_parentActive; }
  static bool IsDefault(const skbutton* b) { return b->m_isDefault; }
  static bool TrackingAvailable(const skbutton* b) { return b->m_trackingAvailable; }
  // How often the window was given a new region since the button was made.
  static int RegionBuilds(const skbutton* b) { return b->m_regionBuilds; }
};

namespace {

using Seen = SkbuttonTestAccess;
using test::Event;
using test::ExpectSequence;
using namespace skbtn;

constexpr COLORREF kSentinel = RGB(0x12, 0x34, 0x56);
constexpr Colour kFace{0x336699u};

std::string Hex(COLORREF c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06lX", static_cast<unsigned long>(c));
  return buf;
}

void PumpFor(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  do {
    test::Pump();
    Sleep(5);
  } while (std::chrono::steady_clock::now() < end);
}

template <typename Pred>
bool PumpUntil(Pred done, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    test::Pump();
    if (done()) return true;
    Sleep(5);
  }
  return done();
}

void MouseInput(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

// Moves the real pointer and waits until the platform has it there.
void PointerTo(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  PumpUntil([&] {
    POINT p{};
    GetCursorPos(&p);
    return p.x == screen.x && p.y == screen.y;
  }, 1000);
  PumpFor(60);
}

// A 32-bit top-down DIB selected into a memory DC, filled with the sentinel.
struct Canvas {
  unique_hdc dc;
  unique_hbitmap bitmap;
  unique_select select;
  uint32_t* bits = nullptr;
  int w = 0, h = 0;
  Canvas(int width, int height) : w(width), h(height) {
    BITMAPINFO bi = TopDownDibInfo(w, h);
    void* p = nullptr;
    dc = unique_hdc(CreateCompatibleDC(nullptr));
    bitmap = unique_hbitmap(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &p, nullptr, 0));
    bits = static_cast<uint32_t*>(p);
    select = unique_select(dc.get(), bitmap.get());
    FillSolid(dc.get(), RECT{0, 0, w, h}, kSentinel);
  }
  COLORREF Pixel(int x, int y) const {
    GdiFlush();
    const uint32_t v = bits[y * w + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
};

// A bitmap of w x h pixels, each colour(x, y) (0x00BBGGRR).
template <typename F>
unique_hbitmap MakeBitmap(int w, int h, F colour) {
  BITMAPINFO bi = TopDownDibInfo(w, h);
  void* p = nullptr;
  unique_hbitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0));
  auto* px = static_cast<uint32_t*>(p);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const COLORREF c = colour(x, y);
      px[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  }
  return bmp;
}

// A 4 x 4 icon: the left half opaque in `colour`, the right half transparent.
unique_hicon MakeHalfIcon(COLORREF colour) {
  unique_hbitmap image = MakeBitmap(4, 4, [&](int x, int) { return x < 2 ? colour : RGB(0, 0, 0); });
  // Monochrome AND mask: 1 (transparent) on the right half. Rows are 16-bit aligned.
  const BYTE maskBits[8] = {0x30, 0, 0x30, 0, 0x30, 0, 0x30, 0};
  unique_hbitmap mask(CreateBitmap(4, 4, 1, 1, maskBits));
  ICONINFO ii{TRUE, 0, 0, mask.get(), image.get()};
  return unique_hicon(CreateIconIndirect(&ii));
}

class SkbuttonTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterSkbutton();
    s_form = new Form;
    ASSERT_TRUE(s_form->Create(6000, 3000, u"skbutton test"));
    s_form->SetStartUpPosition(0);
    s_form->Move(0, 0);
    s_form->Show();
    SetForegroundWindow(s_form->hWnd());
    PumpFor(100);
  }
  static void TearDownTestSuite() {
    s_form->Unload();
    delete s_form;
    s_form = nullptr;
  }
  void TearDown() override {
    for (skbutton* b : m_placed) b->Destroy();
    PointerTo(POINT{1000, 700});
  }

  // An 80 x 25 button at (left, top) pixels of the form, events recorded.
  skbutton* Place(int left = 10, int top = 10, const PropertyStore* props = nullptr) {
    auto* b = s_form->Add<skbutton>(u"cmd" + std::u16string(1, static_cast<char16_t>(u'A' + m_placed.size())),
                                    nullptr, left * 15, top * 15, 1200, 375, std::nullopt, props);
    if (!b) return nullptr;
    m_placed.push_back(b);
    Record(*b, events);
    PumpFor(20);
    return b;
  }

  void Record(skbutton& b, std::vector<Event>& to) {
    b.Click = [&to] { to.push_back({"Click"}); };
    b.DblClick = [&to] { to.push_back({"DblClick"}); };
    b.MouseEnter = [&to] { to.push_back({"MouseEnter"}); };
    b.MouseLeave = [&to] { to.push_back({"MouseLeave"}); };
    b.MouseDown = [&to](int bt, int s, float x, float y) { to.push_back({"MouseDown", bt, s, x, y}); };
    b.MouseUp = [&to](int bt, int s, float x, float y) { to.push_back({"MouseUp", bt, s, x, y}); };
    b.KeyDown = [&to](int& k, int s) { to.push_back({"KeyDown", k, s}); };
    b.KeyUp = [&to](int& k, int s) { to.push_back({"KeyUp", k, s}); };
  }

  static POINT Screen(skbutton* b, int x, int y) {
    POINT p{x, y};
    ClientToScreen(b->hWnd(), &p);
    return p;
  }

  // Only the events of presses, clicks and keys.
  std::vector<Event> Clicks() const {
    std::vector<Event> out;
    for (const Event& e : events) {
      if (e.name != "MouseEnter" && e.name != "MouseLeave") out.push_back(e);
    }
    return out;
  }

  static Form* s_form;
  std::vector<skbutton*> m_placed;
  std::vector<Event> events;
};

Form* SkbuttonTest::s_form = nullptr;

// -- Events from real input

TEST_F(SkbuttonTest, PointerEntersAndLeaves) {
  skbutton* b = Place();
  PointerTo(Screen(b, 40, 12));
  ASSERT_TRUE(PumpUntil([&] { return !events.empty(); }, 2000)) << "no mouse move reached the button";
  EXPECT_EQ(Seen::State(b), StateHot);
  PointerTo(POINT{1000, 700});
  ASSERT_TRUE(PumpUntil([&] { return events.size() >= 2; }, 2000));
  const Event want[] = {{"MouseEnter"}, {"MouseLeave"}};
  ExpectSequence(events, want, "enter and leave");
  EXPECT_EQ(Seen::State(b), StateNormal);
  EXPECT_FALSE(Seen::MouseInside(b));
}

TEST_F(SkbuttonTest, EveryLeaveNoticeRaisesMouseLeave) {
  // The leave notice clears the flag and tells the owner even when the flag is
  // already clear (a move seen outside cleared it first).
  skbutton* b = Place();
  SendMessageW(b->hWnd(), WM_MOUSELEAVE, 0, 0);
  SendMessageW(b->hWnd(), WM_MOUSELEAVE, 0, 0);
  const Event want[] = {{"MouseLeave"}, {"MouseLeave"}};
  ExpectSequence(events, want, "two leave notices");
}

TEST_F(SkbuttonTest, LeftClickInside) {
  skbutton* b = Place();
  PointerTo(Screen(b, 40, 12));
  PumpUntil([&] { return Seen::MouseInside(b); }, 1000);
  events.clear();
  MouseInput(MOUSEEVENTF_LEFTDOWN);
  PumpUntil([&] { return !events.empty(); }, 1000);
  EXPECT_EQ(Seen::State(b), StatePressed);
  MouseInput(MOUSEEVENTF_LEFTUP);
  PumpUntil([&] { return events.size() >= 3; }, 1000);
  const Event want[] = {{"MouseDown", 1, 0, 40, 12}, {"Click"}, {"MouseUp", 1, 0, 40, 12}};
  ExpectSequence(Clicks(), want, "left click inside");
}

TEST_F(SkbuttonTest, ReleaseOutsideRaisesOnlyMouseUp) {
  skbutton* b = Place();
  PointerTo(Screen(b, 40, 12));
  events.clear();
  MouseInput(MOUSEEVENTF_LEFTDOWN);
  PumpFor(60);
  PointerTo(Screen(b, 140, 12));
  MouseInput(MOUSEEVENTF_LEFTUP);
  PumpUntil([&] { return Clicks().size() >= 2; }, 1000);
  const Event want[] = {{"MouseDown", 1, 0, 40, 12}, {"MouseUp", 1, 0, 140, 12}};
  ExpectSequence(Clicks(), want, "release outside");
}

TEST_F(SkbuttonTest, DoubleClick) {
  skbutton* b = Place();
  PointerTo(Screen(b, 30, 10));
  events.clear();
  for (int i = 0; i < 2; ++i) {
    MouseInput(MOUSEEVENTF_LEFTDOWN);
    PumpFor(20);
    MouseInput(MOUSEEVENTF_LEFTUP);
    PumpFor(20);
  }
  PumpUntil([&] { return Clicks().size() >= 7; }, 1000);
  const Event want[] = {{"MouseDown", 1, 0, 30, 10}, {"Click"}, {"MouseUp", 1, 0, 30, 10},
                        {"MouseDown", 1, 0, 30, 10}, {"DblClick"}, {"Click"},
                        {"MouseUp", 1, 0, 30, 10}};
  ExpectSequence(Clicks(), want, "double click");
}

// -- Events from messages

TEST_F(SkbuttonTest, ReleasesOnTheEdgesAreOutside) {
  skbutton* b = Place();
  struct Release {
    int x, y;
    bool click;
  } const releases[] = {{1, 1, true}, {79, 24, true}, {0, 5, false}, {5, 0, false},
                        {80, 5, false}, {5, 25, false}, {-3, 5, false}};
  for (const Release& r : releases) {
    events.clear();
    SendMessageW(b->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(b->hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(r.x, r.y));
    const auto fx = static_cast<float>(r.x), fy = static_cast<float>(r.y);
    const std::string where = "release at " + std::to_string(r.x) + ", " + std::to_string(r.y);
    if (r.click) {
      const Event want[] = {{"MouseDown", 1, 0, 5, 5}, {"Click"}, {"MouseUp", 1, 0, fx, fy}};
      ExpectSequence(Clicks(), want, where.c_str());
    } else {
      const Event want[] = {{"MouseDown", 1, 0, 5, 5}, {"MouseUp", 1, 0, fx, fy}};
      ExpectSequence(Clicks(), want, where.c_str());
    }
  }
}

TEST_F(SkbuttonTest, RightAndMiddlePressesRaiseOnlyMouseUp) {
  skbutton* b = Place();
  SendMessageW(b->hWnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  SendMessageW(b->hWnd(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  SendMessageW(b->hWnd(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(6, 7));
  SendMessageW(b->hWnd(), WM_MBUTTONUP, 0, MAKELPARAM(6, 7));
  const Event want[] = {{"MouseUp", 2, 0, 5, 5}, {"MouseUp", 4, 0, 6, 7}};
  ExpectSequence(Clicks(), want, "right and middle");
}

TEST_F(SkbuttonTest, SpaceOutsideAndInside) {
  skbutton* b = Place();
  b->SetFocus();
  PumpFor(20);
  events.clear();
  SendMessageW(b->hWnd(), WM_KEYDOWN, VK_SPACE, 0x00390001);
  EXPECT_EQ(Seen::State(b), StatePressed);
  EXPECT_EQ(GetCapture(), b->hWnd());
  SendMessageW(b->hWnd(), WM_KEYUP, VK_SPACE, 0xC0390001);
  {
    const Event want[] = {{"KeyDown", 32, 0}, {"Click"}, {"KeyUp", 32, 0}};
    ExpectSequence(Clicks(), want, "space with the pointer outside");
  }
  EXPECT_EQ(Seen::State(b), StateNormal);
  EXPECT_NE(GetCapture(), b->hWnd()) << "the space press keeps the mouse captured";

  PointerTo(Screen(b, 40, 12));
  ASSERT_TRUE(PumpUntil([&] { return Seen::MouseInside(b); }, 1000));
  events.clear();
  SendMessageW(b->hWnd(), WM_KEYDOWN, VK_SPACE, 0x00390001);
  SendMessageW(b->hWnd(), WM_KEYUP, VK_SPACE, 0xC0390001);
  const Event want[] = {{"KeyDown", 32, 0}, {"Click"}, {"KeyUp", 32, 0}};
  ExpectSequence(Clicks(), want, "space with the pointer inside");
  EXPECT_EQ(Seen::State(b), StateHot);
}

TEST_F(SkbuttonTest, AltSpaceOtherKeysAndEnter) {
  skbutton* b = Place();
  b->SetFocus();
  PumpFor(20);
  events.clear();
  // Alt from the message's context bit.
  SendMessageW(b->hWnd(), WM_SYSKEYDOWN, VK_SPACE, 0x20390001);
  ExpectSequence(events, nullptr, "Alt+Space");
  EXPECT_NE(Seen::State(b), StatePressed);
  SendMessageW(b->hWnd(), WM_KEYDOWN, 'A', 0x001E0001);
  SendMessageW(b->hWnd(), WM_KEYUP, 'A', 0xC01E0001);
  // Enter through the form's keyboard routing, as the message loop delivers it.
  PostMessageW(b->hWnd(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
  PumpFor(30);
  const Event want[] = {{"KeyDown", 'A', 0}, {"Click"}, {"KeyDown", 13, 0}};
  ExpectSequence(events, want, "A, then Enter");
}

TEST_F(SkbuttonTest, ArrowKeysMoveTheFocus) {
  skbutton* first = Place(10, 10);
  skbutton* second = Place(100, 10);
  first->SetFocus();
  PumpFor(20);
  events.clear();
  PostMessageW(first->hWnd(), WM_KEYDOWN, VK_RIGHT, 0x014D0001);
  PumpFor(40);
  EXPECT_EQ(GetFocus(), second->hWnd());
  PostMessageW(second->hWnd(), WM_KEYDOWN, VK_UP, 0x01480001);
  PumpFor(40);
  EXPECT_EQ(GetFocus(), first->hWnd());
  PostMessageW(first->hWnd(), WM_KEYDOWN, VK_DOWN, 0x01500001);
  PumpFor(40);
  EXPECT_EQ(GetFocus(), second->hWnd());
  PostMessageW(second->hWnd(), WM_KEYDOWN, VK_LEFT, 0x014B0001);
  PumpFor(40);
  EXPECT_EQ(GetFocus(), first->hWnd());
  const Event want[] = {{"KeyDown", VK_RIGHT, 0}, {"KeyDown", VK_UP, 0}, {"KeyDown", VK_DOWN, 0},
                        {"KeyDown", VK_LEFT, 0}};
  ExpectSequence(events, want, "arrows");
}

TEST_F(SkbuttonTest, AccessKeys) {
  skbutton* b = Place();
  struct Case {
    std::u16string_view caption;
    std::u16string_view keys;
  } const cases[] = {{u"&File", u"f"}, {u"&&x", u""}, {u"a&&b&C", u"c"}, {u"ab&", u""}, {u"&", u""}};
  for (const Case& c : cases) {
    b->SetCaption(c.caption);
    EXPECT_EQ(b->AccessKeys(), c.keys) << std::string(c.caption.begin(), c.caption.end());
  }

  skbutton* other = Place(100, 10);
  b->SetCaption(u"&Go");
  b->SetCheckBoxMode(true);
  bool valueAtClick = false;
  b->Click = [&] {
    valueAtClick = b->Value();
    events.push_back({"Click"});
  };
  other->SetFocus();
  PumpFor(20);
  events.clear();
  PostMessageW(other->hWnd(), WM_SYSCHAR, 'g', 0x20220001);
  PumpFor(40);
  const Event want[] = {{"Click"}};
  ExpectSequence(events, want, "Alt+G");
  EXPECT_EQ(GetFocus(), b->hWnd());
  EXPECT_TRUE(valueAtClick) << "the access key inverts Value before Click";
  // Enter and Escape for a default or cancel button leave a check box alone.
  events.clear();
  static_cast<Control*>(b)->PressAccessKey(13);
  static_cast<Control*>(b)->PressAccessKey(27);
  const Event twice[] = {{"Click"}, {"Click"}};
  ExpectSequence(events, twice, "Enter and Escape");
  EXPECT_TRUE(b->Value());
}

// -- Assistive technology

TEST_F(SkbuttonTest, ReadByAssistiveTechnology) {
  skbutton* b = Place();
  skbutton* other = Place(100, 10);
  constexpr long kAsked = STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED |
                          STATE_SYSTEM_CHECKED | STATE_SYSTEM_PRESSED | STATE_SYSTEM_DEFAULT;
  struct Case {
    std::u16string_view caption;
    bool checkBox, value, enabled, focused;
    long role;
    std::u16string_view name, shortcut, action;
    long state;  // of kAsked
  } const cases[] = {
      {u"刷新", false, false, true, false, ROLE_SYSTEM_PUSHBUTTON, u"刷新", u"", u"Press",
       STATE_SYSTEM_FOCUSABLE},
      // The focused button is the one Enter presses: the default one.
      {u"&Refresh", false, false, true, true, ROLE_SYSTEM_PUSHBUTTON, u"Refresh", u"Alt+R", u"Press",
       STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_DEFAULT},
      {u"Save && &quit", false, false, false, false, ROLE_SYSTEM_PUSHBUTTON, u"Save & quit", u"Alt+Q",
       u"Press", STATE_SYSTEM_UNAVAILABLE},
      {u"&Bold", true, false, true, false, ROLE_SYSTEM_CHECKBUTTON, u"Bold", u"Alt+B", u"Check",
       STATE_SYSTEM_FOCUSABLE},
      {u"&Bold", true, true, true, false, ROLE_SYSTEM_CHECKBUTTON, u"Bold", u"Alt+B", u"Uncheck",
       STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_CHECKED},
  };
  for (const Case& c : cases) {
    const std::string label(c.caption.begin(), c.caption.end());
    b->SetEnabled(true);
    b->SetCheckBoxMode(c.checkBox);
    b->SetValue(c.value);
    b->SetCaption(c.caption);
    b->SetEnabled(c.enabled);
    (c.focused ? b : other)->SetFocus();
    PumpFor(20);
    const test::AccessiblePart read = test::AccessibleSelf(b->hWnd());
    EXPECT_EQ(read.role, c.role) << label;
    EXPECT_EQ(read.name, c.name) << label;
    EXPECT_EQ(read.shortcut, c.shortcut) << label;
    EXPECT_EQ(read.defaultAction, c.action) << label;
    EXPECT_EQ(read.state & kAsked, c.state) << label << " state " << std::hex << read.state;
  }
}

TEST_F(SkbuttonTest, DefaultActionClicksAsTheMouseDoes) {
  skbutton* b = Place();
  std::vector<bool> valueAtClick;
  const auto click = b->Click;
  b->Click = [&] {
    valueAtClick.push_back(b->Value());
    click();
  };
  // An 80 x 25 button: pressed and released in its middle.
  const Event want[] = {{"MouseDown", 1, 0, 40, 12}, {"Click"}, {"MouseUp", 1, 0, 40, 12}};
  ASSERT_TRUE(test::AccessibleDefaultAction(b->hWnd(), CHILDID_SELF));
  PumpFor(30);
  ExpectSequence(Clicks(), want, "default action");
  EXPECT_EQ(GetFocus(), b->hWnd());

  b->SetCheckBoxMode(true);
  events.clear();
  ASSERT_TRUE(test::AccessibleDefaultAction(b->hWnd(), CHILDID_SELF));
  PumpFor(30);
  ExpectSequence(Clicks(), want, "default action of a check box");
  EXPECT_EQ(valueAtClick, (std::vector<bool>{false, true})) << "checked before Click";

  b->SetEnabled(false);
  events.clear();
  EXPECT_FALSE(test::AccessibleDefaultAction(b->hWnd(), CHILDID_SELF));
  PumpFor(30);
  ExpectSequence(Clicks(), nullptr, "default action of a disabled button");
}

TEST_F(SkbuttonTest, StateChangesAreTold) {
  skbutton* b = Place();
  b->SetFocus();
  PumpFor(20);
  const test::WinEvent changed{EVENT_OBJECT_STATECHANGE, b->hWnd(), OBJID_CLIENT, CHILDID_SELF};
  struct Case {
    const char* what;
    std::function<void()> act;
    int told;
  } const cases[] = {
      {"space down: pressed", [&] { SendMessageW(b->hWnd(), WM_KEYDOWN, VK_SPACE, 0x00390001); }, 1},
      {"space up: released", [&] { SendMessageW(b->hWnd(), WM_KEYUP, VK_SPACE, 0xC0390001); }, 1},
      {"a redraw alone", [&] { b->Redraw(); }, 0},
      {"disabled", [&] { b->SetEnabled(false); }, 1},
      {"enabled", [&] { b->SetEnabled(true); }, 1},
      {"check-box mode, checked", [&] {
         b->SetCheckBoxMode(true);
         b->SetValue(true);
       }, 1},
      {"space down: unchecked and pressed",
       [&] { SendMessageW(b->hWnd(), WM_KEYDOWN, VK_SPACE, 0x00390001); }, 1},
      {"space up: released", [&] { SendMessageW(b->hWnd(), WM_KEYUP, VK_SPACE, 0xC0390001); }, 1},
  };
  for (const Case& c : cases) {
    test::WinEventRecorder heard({b->hWnd()}, EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE);
    c.act();
    PumpFor(10);
    EXPECT_EQ(heard.Take(), std::vector<test::WinEvent>(c.told, changed)) << c.what;
  }
  EXPECT_FALSE(b->Value());
}

TEST_F(SkbuttonTest, CheckBoxModeInvertsValueBeforeClick) {
  skbutton* b = Place();
  std::vector<bool> seen;
  b->Click = [&] { seen.push_back(b->Value()); };
  b->SetValue(true);
  EXPECT_FALSE(b->Value()) << "no value outside check-box mode";
  b->SetCheckBoxMode(true);
  for (int i = 0; i < 2; ++i) {
    SendMessageW(b->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(b->hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  }
  // Space inverts on the press; Click follows on the release.
  SendMessageW(b->hWnd(), WM_KEYDOWN, VK_SPACE, 0x00390001);
  EXPECT_TRUE(b->Value());
  SendMessageW(b->hWnd(), WM_KEYUP, VK_SPACE, 0xC0390001);
  EXPECT_EQ(seen, (std::vector<bool>{true, false, true}));
}

// A release completes a click only for a press the button saw: not one that
// began on the form's background, nor the press of a window that has since gone
// (a double click whose second press opened a window under the pointer).
TEST_F(SkbuttonTest, ReleaseClicksOnlyItsOwnPress) {
  skbutton* b = Place();
  struct Case {
    const char* what;
    bool realInput;
  } const cases[] = {{"pressed on the form, released on the button", true},
                     {"a release with no press before it", false}};
  for (const Case& c : cases) {
    PointerTo(POINT{1000, 700});
    events.clear();
    if (c.realInput) {
      POINT background{300, 150};
      ClientToScreen(s_form->hWnd(), &background);
      PointerTo(background);
      MouseInput(MOUSEEVENTF_LEFTDOWN);
      PumpFor(40);
      PointerTo(Screen(b, 40, 12));
      MouseInput(MOUSEEVENTF_LEFTUP);
      PumpUntil([&] { return !Clicks().empty(); }, 1000);
      PumpFor(40);
    } else {
      SendMessageW(b->hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(40, 12));
    }
    const Event want[] = {{"MouseUp", 1, 0, 40, 12}};
    ExpectSequence(Clicks(), want, c.what);
  }
}

// A space press belongs to the button it went down on: the focus moving on
// takes its capture along, and the release over the next button clicks nothing.
TEST_F(SkbuttonTest, SpacePressStaysWithItsButton) {
  skbutton* a = Place(10, 10);
  skbutton* b = Place(100, 10);
  std::vector<Event> aEvents, bEvents;
  Record(*a, aEvents);
  Record(*b, bEvents);
  a->SetFocus();
  PumpFor(20);
  SendMessageW(a->hWnd(), WM_KEYDOWN, VK_SPACE, 0x00390001);
  ASSERT_EQ(GetCapture(), a->hWnd());
  PostMessageW(a->hWnd(), WM_KEYDOWN, VK_TAB, 0x000F0001);
  PumpFor(40);
  ASSERT_EQ(GetFocus(), b->hWnd());
  EXPECT_NE(GetCapture(), a->hWnd()) << "the capture stayed with the button the focus left";
  SendMessageW(b->hWnd(), WM_KEYUP, VK_SPACE, 0xC0390001);
  // The next click on the second button is its own.
  PointerTo(Screen(b, 40, 12));
  MouseInput(MOUSEEVENTF_LEFTDOWN);
  PumpFor(20);
  MouseInput(MOUSEEVENTF_LEFTUP);
  PumpUntil([&] { return bEvents.size() >= 4; }, 1000);
  PumpFor(40);
  auto presses = [](const std::vector<Event>& all) {
    std::vector<Event> out;
    for (const Event& e : all) {
      if (e.name != "MouseEnter" && e.name != "MouseLeave") out.push_back(e);
    }
    return out;
  };
  const Event wantA[] = {{"KeyDown", 32, 0}};
  ExpectSequence(presses(aEvents), wantA, "the button the space went down on");
  const Event wantB[] = {{"KeyUp", 32, 0}, {"MouseDown", 1, 0, 40, 12}, {"Click"},
                         {"MouseUp", 1, 0, 40, 12}};
  ExpectSequence(presses(bEvents), wantB, "the button the focus moved to");
  EXPECT_EQ(GetFocus(), b->hWnd());

  // The form's deactivation ends the press too.
  b->SetFocus();
  PumpFor(20);
  SendMessageW(b->hWnd(), WM_KEYDOWN, VK_SPACE, 0x00390001);
  ASSERT_EQ(GetCapture(), b->hWnd());
  SendMessageW(s_form->hWnd(), WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_NE(GetCapture(), b->hWnd()) << "the capture outlived the form's activation";
  SendMessageW(s_form->hWnd(), WM_ACTIVATE, WA_ACTIVE, 0);
}

TEST_F(SkbuttonTest, HeldSpaceTogglesACheckBoxOnce) {
  skbutton* b = Place();
  b->SetCheckBoxMode(true);
  b->SetFocus();
  PumpFor(20);
  events.clear();
  std::vector<bool> valueAtClick;
  b->Click = [&] {
    valueAtClick.push_back(b->Value());
    events.push_back({"Click"});
  };
  // The first press, then three auto-repeats (the key was already down: bit 30).
  SendMessageW(b->hWnd(), WM_KEYDOWN, VK_SPACE, 0x00390001);
  for (int i = 0; i < 3; ++i) SendMessageW(b->hWnd(), WM_KEYDOWN, VK_SPACE, 0x40390001);
  SendMessageW(b->hWnd(), WM_KEYUP, VK_SPACE, 0xC0390001);
  const Event want[] = {{"KeyDown", 32, 0}, {"KeyDown", 32, 0}, {"KeyDown", 32, 0},
                        {"KeyDown", 32, 0}, {"Click"},          {"KeyUp", 32, 0}};
  ExpectSequence(Clicks(), want, "space held, then released");
  EXPECT_EQ(valueAtClick, std::vector<bool>{true});
}

TEST_F(SkbuttonTest, DisablingEndsTheHover) {
  // Style 11 shows an edge only when hot: white at (0, 0) in its normal look.
  skbutton* b = Place();
  b->SetButtonStyle(StyleHoverEdge);
  b->SetBackColor(Colour(0xFFFFFFu));
  b->SetCaption(u"");
  PointerTo(Screen(b, 40, 12));
  ASSERT_TRUE(PumpUntil([&] { return Seen::State(b) == StateHot; }, 1000));
  b->SetEnabled(false);
  PointerTo(POINT{1000, 700});
  PumpFor(60);
  b->SetEnabled(true);
  EXPECT_EQ(Seen::State(b), StateNormal);
  EXPECT_EQ(Hex(b->GetSurface().Pixel(0, 0)), Hex(0xFFFFFF)) << "the hot edge stayed";
  PointerTo(Screen(b, 40, 12));
  PumpUntil([&] { return events.size() >= 3; }, 1000);
  const Event want[] = {{"MouseEnter"}, {"MouseLeave"}, {"MouseEnter"}};
  ExpectSequence(events, want, "enter, disabled and enabled away, enter again");
}

// A button placed on a form that is already active shows its focus rectangle at
// once: as it does after the form's next activation.
TEST_F(SkbuttonTest, ButtonPlacedOnAnActiveFormShowsItsFocus) {
  SetForegroundWindow(s_form->hWnd());
  PumpFor(30);
  ASSERT_EQ(GetActiveWindow(), s_form->hWnd());
  skbutton* b = Place();
  b->SetCaption(u"");
  b->SetBackColor(kFace);
  b->SetFocus();
  PumpFor(20);
  // Row 4 crosses the focus rectangle (inset 4) and nothing else.
  auto row4 = [&] {
    std::string s;
    for (int x = 4; x < 76; ++x) s += Hex(b->GetSurface().Pixel(x, 4)) + " ";
    return s;
  };
  std::string face;
  for (int x = 4; x < 76; ++x) face += Hex(0x336699) + " ";
  const std::string placed = row4();
  SendMessageW(s_form->hWnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  const std::string activated = row4();
  EXPECT_NE(activated, face) << "no focus rectangle after the activation either";
  EXPECT_EQ(placed, activated);
}

// Over a button with the hand pointer the hand shows from the first move, and
// the platform's cursor request before each move keeps it.
TEST_F(SkbuttonTest, HandPointerFromTheFirstMove) {
  PropertyStore props;
  props.Set(u"HandPointer", true);
  skbutton* b = Place(10, 10, &props);
  const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  PointerTo(Screen(b, 40, 12));
  ASSERT_TRUE(PumpUntil([&] { return Seen::MouseInside(b); }, 1000));
  EXPECT_EQ(GetCursor(), hand) << "after the first move";
  SendMessageW(b->hWnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(b->hWnd()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), hand) << "asked before the next move";
}

// A new font object, and a change to the one the button keeps, is one change of
// "Font" each.
TEST_F(SkbuttonTest, EachFontChangeIsReportedOnce) {
  skbutton* b = Place();
  int reported = 0;
  s_form->PropertyChangedHook = [&](Control&, std::u16string_view name) { reported += name == u"Font"; };
  auto font = Font::Create(u"Arial", 12.0);
  b->SetFont(font);
  EXPECT_EQ(reported, 1) << "a new font";
  font->SetBold(true);
  EXPECT_EQ(reported, 2) << "the kept font made bold";
  s_form->PropertyChangedHook = nullptr;
}

// -- Saving and reading

TEST_F(SkbuttonTest, SavesInItsOrderWithItsSpellings) {
  skbutton* b = Place();
  b->SetButtonStyle(11);
  b->SetShowFocusRect(true);
  b->SetEnabled(false);
  auto font = Font::Create(u"Arial", 12.0, true);
  b->SetFont(font);
  b->SetBackColor(Colour(0x123456u));
  b->SetCaption(u"Go");
  b->SetForeColor(Colour(0x0000FFu));
  b->SetCheckBoxMode(true);
  b->SetValue(true);
  b->SetMousePointer(2);
  b->SetHandPointer(true);
  b->SetMouseIcon(Picture::FromIcon(MakeHalfIcon(RGB(1, 2, 3))));
  b->SetPicture(Picture::FromBitmap(MakeBitmap(3, 2, [](int x, int y) { return RGB(x * 80, y * 90, 7); })));
  b->SetPictureHover(Picture::FromIcon(MakeHalfIcon(RGB(200, 100, 50))));
  b->SetPictureAlign(4);
  b->SetPictureSize(2);
  b->SetUseMaskColor(true);
  b->SetMaskColor(Colour(0x00FF00u));
  b->SetCaptionAlign(2);
  PropertyStore saved;
  b->WriteProperties(saved);
  std::vector<std::u16string> names;
  for (const auto& e : saved.Entries()) names.push_back(e.name);
  const std::vector<std::u16string> order = {
      u"ButtonStyle", u"ShowFocusRect", u"Enabled", u"Font", u"BackColor", u"Caption",
      u"ForeColor", u"CheckBoxMode", u"Value", u"MousePointer", u"HandPointer", u"MouseIcon",
      u"Picture", u"PictureHover", u"PictureAlign", u"pictureSize", u"UseMaskCOlor", u"MaskColor",
      u"CaptionAlign"};
  EXPECT_EQ(names, order);

  // Through the design file's text and back, into a new button.
  DesignNode root;
  root.kind = u"Form";
  root.name = u"F";
  root.children.push_back(DesignNode{u"skbutton", u"cmdRead", std::nullopt, saved, {}});
  const DesignParseResult parsed = ParseDesign(WriteDesign(root));
  ASSERT_TRUE(parsed.root) << parsed.error;
  skbutton* r = Place(100, 10, &parsed.root->children.at(0).props);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->ButtonStyle(), 11);
  EXPECT_EQ(r->Caption(), u"Go");
  EXPECT_FALSE(r->Enabled());
  EXPECT_EQ(r->GetFont()->Name(), u"Arial");
  EXPECT_EQ(r->PictureSize(), 2);
  EXPECT_TRUE(r->UseMaskColor());
  EXPECT_TRUE(r->Value());
  EXPECT_EQ(r->MousePointer(), kPointerCustom);  // the icon set it to 99
  ASSERT_TRUE(r->GetPicture());
  ASSERT_EQ(r->GetPicture()->GetType(), Picture::Type::Bitmap);
  ASSERT_EQ(r->GetPicture()->PixelWidth(), 3);
  Canvas canvas(3, 2);
  r->GetPicture()->Render(canvas.dc.get(), 0, 0);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Hex(canvas.Pixel(x, y)), Hex(RGB(x * 80, y * 90, 7)));
  }
  ASSERT_TRUE(r->PictureHover());
  EXPECT_EQ(r->PictureHover()->GetType(), Picture::Type::Icon);
  ASSERT_TRUE(r->MouseIcon());
  EXPECT_EQ(r->MouseIcon()->GetType(), Picture::Type::Icon);
  Canvas icon(4, 4);
  r->PictureHover()->Render(icon.dc.get(), 0, 0);
  EXPECT_EQ(Hex(icon.Pixel(0, 0)), Hex(RGB(200, 100, 50)));
  EXPECT_EQ(Hex(icon.Pixel(3, 3)), Hex(kSentinel));
}

TEST_F(SkbuttonTest, ReadsWithItsDefaults) {
  // "skbutton1" is the written default: not stored, so it comes back as "skbutton".
  skbutton* b = Place();
  b->SetCaption(u"skbutton1");
  PropertyStore saved;
  b->WriteProperties(saved);
  EXPECT_FALSE(saved.Contains(u"Caption"));
  // Keys are found whatever their case; a missing style reads as 1.
  PropertyStore other;
  other.Set(u"PictureSize", int32_t{3});
  other.Set(u"usemaskcolor", true);
  skbutton* r = Place(100, 10, &saved);
  EXPECT_EQ(r->Caption(), u"skbutton");
  skbutton* s = Place(100, 40, &other);
  EXPECT_EQ(s->PictureSize(), 3);
  EXPECT_EQ(s->ButtonStyle(), 1);
  EXPECT_TRUE(s->UseMaskColor());
}

// -- Size, region and hooks

TEST_F(SkbuttonTest, NoSmallerThan220Twips) {
  skbutton* b = Place();
  b->Move(b->Left(), b->Top(), 100, 3000);
  EXPECT_EQ(b->Width(), 220);
  EXPECT_EQ(b->Height(), 3000);
  b->Move(b->Left(), b->Top(), 1200, 150);
  EXPECT_EQ(b->Width(), 1200);
  EXPECT_EQ(b->Height(), 220);
}

TEST_F(SkbuttonTest, OneRegionPerResizeAndNoRepaintLoop) {
  skbutton* b = Place();
  const int start = Seen::RegionBuilds(b);
  EXPECT_GE(start, 1);
  b->Move(b->Left(), b->Top(), 1500, 450);
  PumpFor(60);
  EXPECT_EQ(Seen::RegionBuilds(b), start + 1);
  for (int i = 0; i < 20; ++i) b->Redraw();
  b->Refresh();
  PumpFor(60);
  EXPECT_EQ(Seen::RegionBuilds(b), start + 1) << "paints built regions again";
  // A style with round corners: the corner pixel is cut off.
  b->SetButtonStyle(StylePixelMapped);
  PumpFor(30);
  EXPECT_EQ(Seen::RegionBuilds(b), start + 2);
  unique_hrgn rgn(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(b->hWnd(), rgn.get()), ERROR);
  EXPECT_FALSE(PtInRegion(rgn.get(), 0, 0));
  EXPECT_TRUE(PtInRegion(rgn.get(), 9, 9));
  EXPECT_TRUE(PtInRegion(rgn.get(), 50, 1));
}

// The window region at two sizes: per row from the top (and, mirrored, from the
// bottom) how many pixels each side loses. Every corner is cut alike, which the
// region's W + 1 by H + 1 rectangle gives; the platform cuts one pixel for the
// 3 x 3 and the 4 x 4 ellipse alike.
TEST_F(SkbuttonTest, RoundedCornersAtTwoSizes) {
  struct Case {
    int32_t style;
    std::vector<int> cut;  // from the outermost row inward; the rows after lose nothing
  };
  const Case cases[] = {{0, {}}, {13, {}}, {2, {1}}, {4, {1}}, {6, {1}}, {8, {1}},
                        {3, {1}}, {10, {1}}, {14, {6, 4, 3, 2, 1, 1}}};
  skbutton* b = Place();
  for (const auto& [w, h] : {std::pair{80, 25}, std::pair{121, 40}}) {
    b->Move(b->Left(), b->Top(), w * 15, h * 15);
    for (const Case& c : cases) {
      b->SetButtonStyle(c.style);
      unique_hrgn rgn(CreateRectRgn(0, 0, 0, 0));
      ASSERT_NE(GetWindowRgn(b->hWnd(), rgn.get()), ERROR);
      std::string actual, expected;
      for (int y = 0; y < h; ++y) {
        const size_t depth = static_cast<size_t>(std::min(y, h - 1 - y));
        const int cut = depth < c.cut.size() ? c.cut[depth] : 0;
        int left = 0, right = 0, inside = 0;
        while (left < w && !PtInRegion(rgn.get(), left, y)) ++left;
        while (right < w && !PtInRegion(rgn.get(), w - 1 - right, y)) ++right;
        for (int x = 0; x < w; ++x) inside += PtInRegion(rgn.get(), x, y) ? 1 : 0;
        // "!" marks a row whose inside is not one run.
        actual += std::to_string(left) + "/" + std::to_string(right) + (inside == w - left - right ? " " : "! ");
        expected += std::to_string(cut) + "/" + std::to_string(cut) + " ";
      }
      EXPECT_EQ(actual, expected) << "style " << c.style << " at " << w << " x " << h;
    }
  }
}

TEST_F(SkbuttonTest, HooksGoWithTheButton) {
  const LONG_PTR before = GetWindowLongPtrW(s_form->hWnd(), GWLP_WNDPROC);
  skbutton* b = Place();
  EXPECT_TRUE(Seen::TrackingAvailable(b));
  EXPECT_NE(GetWindowLongPtrW(s_form->hWnd(), GWLP_WNDPROC), before) << "the form is not hooked";
  b->Destroy();
  m_placed.clear();
  EXPECT_EQ(GetWindowLongPtrW(s_form->hWnd(), GWLP_WNDPROC), before);
}

TEST_F(SkbuttonTest, FormActivationIsFollowed) {
  skbutton* b = Place();
  SendMessageW(s_form->hWnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_TRUE(Seen::ParentActive(b));
  b->SetFocus();
  PumpFor(20);
  EXPECT_TRUE(Seen::HasFocus(b));
  SendMessageW(s_form->hWnd(), WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_FALSE(Seen::ParentActive(b));
  EXPECT_FALSE(Seen::HasFocus(b));
  EXPECT_EQ(Seen::State(b), StateNormal);
}

// -- Pixels

TEST(SkbuttonPaint, GradientImageLandsInPlace) {
  // Diagonal, 3 x 2 at (2, 3): entries 0, 85, 170, 255 of red.
  Canvas c(8, 7);
  DrawGradient(c.dc.get(), 2, 3, 3, 2, 0x000000, 0x0000FF, GradientDiagonalDown);
  const int want[2][3] = {{0, 85, 170}, {85, 170, 255}};
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 8; ++x) {
      const bool in = x >= 2 && x < 5 && y >= 3 && y < 5;
      const COLORREF expected = in ? RGB(want[y - 3][x - 2], 0, 0) : kSentinel;
      EXPECT_EQ(Hex(c.Pixel(x, y)), Hex(expected)) << x << ", " << y;
    }
  }
  // Vertical of height 2: c1 on the top row, c2 on the bottom.
  DrawGradient(c.dc.get(), 0, 0, 2, 2, 0x102030, 0x405060, GradientVertical);
  EXPECT_EQ(c.Pixel(1, 0), 0x102030u);
  EXPECT_EQ(c.Pixel(0, 1), 0x405060u);
}

TEST(SkbuttonPaint, GrayPictureOfABitmapIsOpaque) {
  // (30, 60, 90) averages to 60; 4 pixels wide, so no row padding.
  unique_hbitmap bmp = MakeBitmap(4, 2, [](int x, int) { return x == 3 ? RGB(0, 0, 255) : RGB(30, 60, 90); });
  Canvas c(6, 4);
  GrayPicture(c.dc.get(), bmp.get(), 1, 1, 4, 2);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) {
      COLORREF expected = kSentinel;
      if (x >= 1 && x < 5 && y >= 1 && y < 3) expected = x == 4 ? RGB(85, 85, 85) : RGB(60, 60, 60);
      EXPECT_EQ(Hex(c.Pixel(x, y)), Hex(expected)) << x << ", " << y;
    }
  }
}

TEST(SkbuttonPaint, GrayPictureOfAnIconKeepsItsMask) {
  unique_hicon icon = MakeHalfIcon(RGB(30, 60, 90));
  Canvas c(4, 4);
  GrayPicture(c.dc.get(), icon.get(), 0, 0, 4, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(Hex(c.Pixel(x, y)), Hex(x < 2 ? RGB(60, 60, 60) : kSentinel)) << x << ", " << y;
    }
  }
}

// -- The faces, from the steps of each style worked out by hand
//
// Every drawn style on an 80 x 25 canvas (27 high for style 7, where H / 2.7 is
// whole) with the face 0x808080. Whole rows and columns, written as runs; a run
// of a gradient lists its table entries (each channel c1 + (c2 - c1) x i / n,
// truncated). Shifts of the face's 128: +0.02 133, +0.03 136, +0.04 138, +0.05
// 141, +0.07 146, +0.08 148, +0.1 153.5 -> 154, +0.2 179, +0.25 192, +0.26 194,
// +0.3 204.5 -> 204; -0.01 125, -0.03 120, -0.05 115, -0.08 108, -0.09 105, -0.1
// 102.5 -> 102, -0.13 95, -0.15 90, -0.16 87, -0.2 77, -0.23 69, -0.25 64, -0.34
// 41, -0.5 0.5 -> 0. M(128, white) = 191.5 -> 192.

constexpr uint32_t g(uint32_t v) { return v * 0x010101u; }
constexpr uint32_t kGrey = g(128);
// The platform's colours, as system colour numbers: 3-D light, highlight, shadow,
// dark shadow, application work space, grey text.
constexpr uint32_t kLight = 0x80000016u, kHilite = 0x80000014u, kShadow = 0x80000010u,
                   kDark = 0x80000015u, kWork = 0x8000000Cu, kGrayText = 0x80000011u;
constexpr uint32_t kBare = 0x40000000u;  // nothing painted: the canvas shows

// Entry i of the gradient table from c1 to c2 in n steps.
constexpr uint32_t At(uint32_t c1, uint32_t c2, int n, int i) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((c1 >> shift) & 0xFF), b = static_cast<int>((c2 >> shift) & 0xFF);
    out |= static_cast<uint32_t>(a + (b - a) * i / n) << shift;
  }
  return out;
}

// n pixels of one colour, or entries from .. from + n - 1 of the gradient c1 -> c2 in `steps`.
struct Span {
  int n;
  uint32_t c1;
  uint32_t c2 = 0;
  int steps = 0;
  int from = 0;
};
struct Line {
  char axis;  // 'r': the row y = at; 'c': the column x = at
  int at;
  std::vector<Span> runs;
};
enum : int {
  kChecked = 1, kFocus = 2, kDefault = 4, kActive = 8, kShowFocus = 16, kInside = 32, kLeftDown = 64,
  kDisabled = 128
};

struct FaceCanvas {
  Canvas canvas;
  ButtonState b;
  FaceCanvas(int32_t style, int W, int H, int flags) : canvas(W, H) {
    b.style = style;
    b.face = static_cast<int32_t>(kGrey);
    b.checkBoxMode = b.value = (flags & kChecked) != 0;
    b.hasFocus = (flags & kFocus) != 0;
    b.isDefault = (flags & kDefault) != 0;
    b.parentActive = (flags & kActive) != 0;
    b.showFocusRect = (flags & kShowFocus) != 0;
    b.mouseInside = (flags & kInside) != 0;
    b.leftDown = (flags & kLeftDown) != 0;
    b.enabled = (flags & kDisabled) == 0;
    b.captionFocusRect = Box{10, 5, 50, 20};
  }
  PaintResult Paint(int32_t state) {
    b.look = static_cast<Look>(state);
    return PainterFor(b.style)(canvas.dc.get(), RECT{0, 0, canvas.w, canvas.h}, b);
  }
  std::string Actual(const Line& line) const {
    std::string s;
    const int n = line.axis == 'r' ? canvas.w : canvas.h;
    for (int i = 0; i < n; ++i) {
      s += Hex(line.axis == 'r' ? canvas.Pixel(i, line.at) : canvas.Pixel(line.at, i)) + " ";
    }
    return s;
  }
};

std::string Expected(const Line& line) {
  std::string s;
  for (const Span& r : line.runs) {
    for (int i = 0; i < r.n; ++i) {
      uint32_t c = r.steps ? At(r.c1, r.c2, r.steps, r.from + i) : r.c1;
      if (c == kBare) c = kSentinel;
      if (c & 0x80000000u) c = GetSysColor(static_cast<int>(c & 0xFF));
      s += Hex(c) + " ";
    }
  }
  return s;
}

void ExpectLines(FaceCanvas& fc, const std::vector<Line>& lines, const std::string& what) {
  for (const Line& line : lines) {
    int n = 0;
    for (const Span& r : line.runs) n += r.n;
    const bool row = line.axis == 'r';
    ASSERT_EQ(n, row ? fc.canvas.w : fc.canvas.h) << what << ": the runs of " << line.axis << line.at;
    EXPECT_EQ(fc.Actual(line), Expected(line)) << what << ", " << (row ? "row " : "column ") << line.at;
  }
}

TEST(SkbuttonPaint, DrawnFaces) {
  struct Face {
    int32_t style, state;
    int flags;
    std::vector<Line> lines;
    int H = 25;
  };
  constexpr int N = StateNormal, Hot = StateHot, P = StatePressed;
  const uint32_t W = 0xFFFFFF;
  // The platform's edges round the plain face, as styles 0, 1, 11 and 12 use them.
  const std::vector<Line> raised = {{'r', 12, {{1, kLight}, {1, kHilite}, {76, kGrey}, {1, kShadow},
                                               {1, kDark}}},
                                    {'c', 40, {{1, kLight}, {1, kHilite}, {21, kGrey}, {1, kShadow},
                                               {1, kDark}}}};
  const std::vector<Line> thin = {{'r', 12, {{1, kHilite}, {78, kGrey}, {1, kShadow}}},
                                  {'c', 40, {{1, kHilite}, {23, kGrey}, {1, kShadow}}}};
  const std::vector<Line> sunken = {{'r', 12, {{1, kShadow}, {1, kDark}, {76, kGrey}, {1, kLight},
                                               {1, kHilite}}},
                                    {'c', 40, {{1, kShadow}, {1, kDark}, {21, kGrey}, {1, kLight},
                                               {1, kHilite}}}};
  const std::vector<Line> plain = {{'r', 12, {{80, kGrey}}}, {'c', 40, {{25, kGrey}}}};
  // White inside, the grey-text frame's left and top sides.
  const std::vector<Line> flatPressed = {{'r', 12, {{1, kGrayText}, {78, kGrey}, {1, W}}},
                                         {'c', 40, {{1, kGrayText}, {23, kGrey}, {1, W}}},
                                         {'r', 24, {{1, kGrayText}, {79, W}}}};
  const std::vector<Line> style3Pressed = {
      {'r', 12, {{1, 0x929D9D}, {78, 0xDDE4E5}, {1, 0x929D9D}}},
      {'c', 40, {{1, 0x929D9D}, {1, 0xCCD5D7}, {1, 0xD5DCDE}, {19, 0xDDE4E5}, {1, 0xE3EAEB}, {1, 0xEAEFF0},
                 {1, 0x929D9D}}},
      {'r', 1, {{1, 0x929D9D}, {1, 0x788182}, {76, 0xCCD5D7}, {1, 0x788182}, {1, 0x929D9D}}}};
  const uint32_t F2 = 0x743C00, C2 = 0xC0884C;  // style 2's frame, and its corners 0.3 lighter
  const std::vector<Line> style5 = {
      {'r', 12, {{1, g(204)}, {74, kGrey}, {1, g(204)}, {1, 0x808080}, {1, 0xA0A0A0}, {1, 0xC0C0C0},
                 {1, kBare}}},
      {'c', 40, {{1, g(204)}, {19, kGrey}, {1, g(204)}, {1, 0x808080}, {1, 0xA0A0A0}, {1, 0xC0C0C0},
                 {1, kBare}}}};
  const std::vector<Line> style6 = {{'r', 12, {{1, g(77)}, {78, kBare}, {1, g(77)}}},
                                    {'c', 40, {{1, g(77)}, {11, W, g(128), 11, 1}, {12, kBare}, {1, g(64)}}},
                                    {'r', 1, {{1, g(77)}, {1, g(141)}, {76, g(244)}, {1, g(141)}, {1, g(77)}}},
                                    {'r', 24, {{2, g(77)}, {76, g(64)}, {2, g(77)}}}};
  const std::vector<Line> style7Pressed = {{'c', 40, {{1, g(41)}, {9, 0x58C1FF, 0x51AFFF, 9, 1},
                                                      {16, 0x468FFF, 0x5FD3FF, 16, 0}, {1, g(41)}}}};
  const std::vector<Line> style13Pressed = {{'c', 40, {{1, 0x800000}, {23, 0x4E91FE, 0x8ED3FF, 24, 1},
                                                       {1, 0x800000}}}};
  const std::vector<Line> style15 = {{'r', 12, {{1, 0x7D807E}, {78, g(128), g(148), 79, 1}, {1, 0x7D807E}}},
                                     {'c', 40, {{1, 0x7D807E}, {23, At(g(128), g(148), 79, 40)},
                                                {1, 0x7D807E}}}};
  const Face faces[] = {
      {0, N, 0, raised},
      {0, Hot, 0, raised},
      {0, P, 0,
       {{'r', 12, {{1, 0}, {1, 0x99A8AC}, {76, kGrey}, {1, 0x99A8AC}, {1, 0}}},
        {'c', 40, {{1, 0}, {1, 0x99A8AC}, {21, kGrey}, {1, 0x99A8AC}, {1, 0}}}}},
      // The default button: a second raised edge one smaller, the work-space and black frames.
      {0, Hot, kDefault | kActive,
       {{'r', 12, {{1, 0}, {1, kHilite}, {75, kGrey}, {1, kShadow}, {1, kWork}, {1, 0}}},
        {'c', 40, {{1, 0}, {1, kHilite}, {20, kGrey}, {1, kShadow}, {1, kWork}, {1, 0}}}}},
      // Checked and focused: 0.02 lighter in a sunken edge, the work-space frame at 4.
      {0, N, kChecked | kFocus | kActive | kShowFocus,
       {{'r', 12, {{1, kShadow}, {1, kDark}, {2, g(133)}, {1, kWork}, {71, g(133)}, {1, kWork}, {1, g(133)},
                   {1, kLight}, {1, kHilite}}},
        {'c', 40, {{1, kShadow}, {1, kDark}, {2, g(133)}, {1, kWork}, {16, g(133)}, {1, kWork}, {1, g(133)},
                   {1, kLight}, {1, kHilite}}}}},
      {1, N, 0, thin},
      {1, Hot, 0, thin},
      {1, P, 0, flatPressed},
      {11, N, 0, plain},
      {11, Hot, 0, raised},
      {11, P, 0, sunken},
      {12, N, 0, plain},
      {12, Hot, 0, thin},
      {12, P, 0, flatPressed},
      {12, N, kChecked, {{'r', 12, {{80, g(133)}}}, {'c', 40, {{25, g(133)}}}}},
      // Style 2: the face 146 -> 128 over 24 steps, the top band 179 -> 148 over 4.
      {2, N, 0,
       {{'r', 12, {{1, F2}, {1, g(192)}, {76, g(137)}, {1, g(108)}, {1, F2}}},
        {'c', 40, {{1, F2}, {4, g(179), g(148), 4, 1}, {16, g(146), g(128), 24, 5}, {1, g(125)},
                   {1, g(115)}, {1, g(105)}, {1, F2}}},
        {'r', 1, {{1, F2}, {1, C2}, {76, g(172)}, {1, C2}, {1, F2}}}}},
      {2, Hot, 0,
       {{'r', 12, {{1, F2}, {1, 0x49BDF9}, {1, 0x7AD2FC}, {74, g(137)}, {1, 0x7AD2FC}, {1, 0x49BDF9}, {1, F2}}},
        {'c', 40, {{1, F2}, {1, 0xCFF0FF}, {1, 0x89D8FD}, {2, g(179), g(148), 4, 3},
                   {17, g(146), g(128), 24, 5}, {1, 0x30B3F8}, {1, 0x0097E5}, {1, F2}}},
        {'r', 1, {{1, F2}, {1, C2}, {76, 0xCFF0FF}, {1, C2}, {1, F2}}}}},
      {2, P, 0,
       {{'r', 12, {{1, F2}, {1, g(87)}, {1, g(102)}, {75, g(115)}, {1, g(138)}, {1, F2}}},
        {'c', 40, {{1, F2}, {1, g(87)}, {1, g(102)}, {20, g(115)}, {1, g(146)}, {1, F2}}}}},
      {2, N, kDisabled, {{'r', 1, {{1, g(102)}, {1, g(179)}, {76, g(136)}, {1, g(179)}, {1, g(102)}}}}},
      {2, N, kFocus | kActive,
       {{'r', 12, {{1, F2}, {1, 0xE6AF8E}, {1, 0xF4D1B8}, {74, g(137)}, {1, 0xF4D1B8}, {1, 0xE6AF8E}, {1, F2}}},
        {'c', 40, {{1, F2}, {1, 0xFFE7CE}, {1, 0xF6D4BC}, {2, g(179), g(148), 4, 3},
                   {16, g(146), g(128), 24, 5}, {1, g(125)}, {1, 0xE4AD89}, {1, 0xEE8269}, {1, F2}}}}},
      // Style 3: the hot halves are 12 rows each (H / 2 = 12.5 rounds to 12).
      {3, N, 0, plain},
      {3, Hot, 0,
       {{'r', 12, {{1, 0xC3CECE}, {76, 0xEEF4F4}, {1, 0xEAF0F0}, {1, 0xE0E7EA}, {1, 0xC3CECE}}},
        {'c', 40, {{1, 0xC3CECE}, {11, 0xFDFEFE, 0xEEF4F4, 11, 1}, {9, 0xEEF4F4, 0xEAF1F1, 11, 0},
                   {1, 0xE5EDEE}, {1, 0xD6E1E4}, {1, 0xC6D2D7}, {1, 0xC3CECE}}},
        {'r', 1, {{1, 0xC3CECE}, {1, 0xBCC7C7}, {76, At(0xFDFEFE, 0xEEF4F4, 11, 1)}, {1, 0xBCC7C7},
                  {1, 0xC3CECE}}}}},
      {3, P, 0, style3Pressed},
      {3, N, kChecked | kLeftDown, style3Pressed},
      {3, N, kChecked,
       {{'r', 1, {{1, 0xAF987A}, {1, 0x8E806D}, {76, 0xFEFEFE}, {1, 0x8E806D}, {1, 0xAF987A}}},
        {'r', 12, {{1, 0xAF987A}, {78, 0xFEFEFE}, {1, 0xAF987A}}}}},
      {3, Hot, kChecked,
       {{'c', 78, {{1, 0xAF987A}, {1, 0x8E806D}, {19, 0xEDF0F2}, {1, 0xF8F9FA}, {1, 0xE8ECEF},
                   {1, 0x8E806D}, {1, 0xAF987A}}},
        {'c', 40, {{1, 0xAF987A}, {20, 0xFEFEFE}, {1, 0xF8F9FA}, {1, 0xE8ECEF}, {1, 0xD8DEE4},
                   {1, 0xAF987A}}}}},
      // Style 4: A = 141; the lower gradient 123 -> 90 from row 12 (H / 2 rounded).
      {4, N, 0,
       {{'r', 12, {{1, 0x707070}, {1, W}, {76, g(123)}, {1, W}, {1, 0x707070}}},
        {'c', 40, {{1, 0x707070}, {1, W}, {10, g(141), g(128), 24, 1}, {11, g(123), g(90), 22, 0}, {1, W},
                   {1, 0x707070}}},
        {'r', 1, {{1, 0x707070}, {1, 0xBE965F}, {76, W}, {1, 0xBE965F}, {1, 0x707070}}}}},
      // S(0xFDE1AC, 0.01) = 0xFFE4AF; the lit ends are 5 wide, 10 and 12 high.
      {4, Hot, 0,
       {{'r', 12, {{1, 0xA77532}, {1, W}, {4, 0xFAD68F, 0xFFE4AF, 4, 1}, {68, 0xFFE9C1},
                   {4, 0xFFE4AF, 0xFAD68F, 4, 0}, {1, W}, {1, 0xA77532}}},
        {'c', 40, {{1, 0xA77532}, {1, W}, {10, 0xFFF7E4, 0xFFF3DA, 11, 1}, {11, 0xFFE9C1, 0xFDE1AE, 22, 0},
                   {1, W}, {1, 0xA77532}}},
        {'c', 3, {{1, 0xA77532}, {1, W}, {1, At(0xFFF7E4, 0xFFF3DA, 11, 1)},
                  {9, At(0xFFEECD, 0xFFF7E4, 4, 2)}, {11, At(0xFAD68F, 0xFFE4AF, 4, 2)}, {1, W},
                  {1, 0xA77532}}}}},
      // Shifted: 0xE6C891 +0.02 0xEBCD96, 0xF6E4C2 -0.01 0xF3E1BF, 0xDCAB4E +0.02
      // 0xE1B053, 0xF0D29A -0.01 0xEDCF97; the second left line (12, 12) has no length.
      {4, P, 0,
       {{'r', 12, {{1, 0x5C411D}, {5, 0xE1B053, 0xEDCF97, 4, 0}, {68, 0xF0D29A},
                   {5, 0xEDCF97, 0xE1B053, 4, 0}, {1, 0x5C411D}}},
        {'c', 40, {{1, 0x5C411D}, {1, 0xB39C71}, {1, 0xD6C6A9}, {1, 0xECD9B9}, {8, 0xF6E4C2},
                   {12, 0xF0D29A}, {1, 0x5C411D}}},
        {'c', 1, {{1, 0x5C411D}, {1, 0xBE965F}, {1, 0xCFB073}, {9, 0xEBCD96}, {11, 0xE1B053}, {1, 0xBE965F},
                  {1, 0x5C411D}}}}},
      {4, N, kDisabled,
       {{'r', 1, {{1, g(64)}, {1, g(120)}, {76, g(192)}, {1, g(120)}, {1, g(64)}}},
        {'r', 12, {{1, g(64)}, {1, g(192)}, {76, g(136)}, {1, g(192)}, {1, g(64)}}}}},
      {4, N, kFocus | kActive, {{'r', 12, {{1, 0xA77532}, {1, 0xFBD848}, {76, g(123)}, {1, 0xFBD848},
                                           {1, 0xA77532}}}}},
      // Style 5 over the shadow frames; pressed, the face moves 3 down and right.
      {5, N, 0, style5},
      {5, Hot, 0, style5},
      {5, P, 0, {{'r', 12, {{3, kBare}, {1, g(204)}, {75, kGrey}, {1, g(204)}}}, {'c', 40, {{3, kBare},
                            {1, g(204)}, {20, kGrey}, {1, g(204)}}}}},
      // Disabled (checked, so pressed) it shows the normal look in the face 0.1 lighter (154; 230).
      {5, P, kDisabled | kChecked,
       {{'r', 12, {{1, g(230)}, {74, g(154)}, {1, g(230)}, {1, 0x808080}, {1, 0xA0A0A0}, {1, 0xC0C0C0},
                   {1, kBare}}}}},
      // Style 6: white -> face over the top 12 rows; below, the surface shows.
      {6, N, 0, style6},
      {6, Hot, 0, style6},
      {6, P, kDisabled | kChecked, style6},
      {6, P, 0,
       {{'r', 12, {{1, g(69)}, {1, W}, {76, g(102)}, {1, W}, {1, g(69)}}},
        {'c', 40, {{1, g(69)}, {1, W}, {10, W, g(102), 11, 2}, {12, g(102), g(115), 24, 0}, {1, g(26)}}},
        {'r', 1, {{1, g(69)}, {1, g(141)}, {76, W}, {1, g(141)}, {1, g(69)}}},
        {'r', 24, {{2, g(69)}, {76, g(26)}, {2, g(69)}}}}},
      // Style 7 on 27 rows: the bands split at row 10; the lower one 17 high.
      {7, N, 0,
       {{'c', 40, {{1, g(41)}, {9, g(203), g(137), 9, 1}, {16, g(128), g(136), 16, 0}, {1, g(41)}}},
        {'r', 12, {{1, g(41)}, {78, g(129)}, {1, g(41)}}}}, 27},
      {7, Hot, 0,
       {{'c', 40, {{1, g(41)}, {9, 0xE1FFFF, 0xACEAFF, 9, 1}, {16, 0x67D7FF, 0x99E4FF, 16, 0}, {1, g(41)}}},
        {'r', 12, {{1, g(41)}, {78, At(0x67D7FF, 0x99E4FF, 16, 2)}, {1, g(41)}}}}, 27},
      {7, P, 0, style7Pressed, 27},
      {7, N, kChecked, {{'c', 40, {{1, g(41)}, {9, 0xA9D9FF, 0x6FC0FF, 9, 1},
                                   {16, 0x3FABFF, 0x75E1FF, 16, 0}, {1, g(41)}}}}, 27},
      {7, N, kChecked | kInside, style7Pressed, 27},
      // Style 8: hot, flat from row 15 (H / 1.7 = 14.7).
      {8, N, 0, plain},
      {8, Hot, kDisabled, plain},
      {8, Hot, 0,
       {{'r', 12, {{1, 0xCA9E61}, {1, W}, {76, At(0xFDF9F1, 0xF8ECD0, 22, 11)}, {1, W}, {1, 0xCA9E61}}},
        {'c', 40, {{1, 0xCA9E61}, {1, W}, {13, 0xFDF9F1, 0xF8ECD0, 22, 1}, {8, 0xF8ECD0}, {1, W},
                   {1, 0xCA9E61}}},
        {'r', 1, {{1, 0xCA9E61}, {1, 0xFFEAAE}, {76, W}, {1, 0xFFEAAE}, {1, 0xCA9E61}}}}},
      {8, P, 0,
       {{'r', 12, {{1, 0xCA9E61}, {1, W}, {76, At(0xF1DEB0, 0xF9F1DB, 22, 11)}, {1, W}, {1, 0xCA9E61}}},
        {'c', 40, {{1, 0xCA9E61}, {1, W}, {21, 0xF1DEB0, 0xF9F1DB, 22, 1}, {1, W}, {1, 0xCA9E61}}}}},
      // Style 9: N = M(194, 255) = 224.5 -> 224, so 224 -> 128 falls 4 a row.
      {9, N, 0, {{'r', 12, {{80, g(176)}}}, {'c', 40, {{25, g(224), g(128), 24, 0}}}}},
      {9, Hot, 0, {{'r', 12, {{1, 0xC56A31}, {78, 0xEED2C1}, {1, 0xC56A31}}}, {'c', 40, {{1, 0xC56A31},
                              {23, 0xEED2C1}, {1, 0xC56A31}}}}},
      {9, P, 0, {{'r', 12, {{1, 0x6F4B4B}, {78, 0xE2B598}, {1, 0x6F4B4B}}}, {'c', 40, {{1, 0x6F4B4B},
                            {23, 0xE2B598}, {1, 0x6F4B4B}}}}},
      {9, N, kChecked, {{'r', 12, {{1, 0x7C5858}, {78, 0xE8E6E1}, {1, 0x7C5858}}}, {'c', 40, {{1, 0x7C5858},
                                   {23, 0xE8E6E1}, {1, 0x7C5858}}}}},
      {9, Hot, kChecked, {{'r', 12, {{1, 0xC56A31}, {78, 0xE2B598}, {1, 0xC56A31}}}}},
      // Style 10: band rows 0 to 4, row 5 the fill, the body from row 6.
      // Normal: band 218 -> 128, body 115 -> 204; hot: fill 141, band 236 -> 141, body
      // 128 -> 210; pressed: fill 120, body 108 -> 200. Frames 44, 57, 36; corners 0.
      {10, N, 0,
       {{'c', 40, {{1, g(44)}, {4, g(218), g(128), 4, 1}, {1, g(128)}, {18, g(115), g(204), 23, 0},
                   {1, g(44)}}},
        {'r', 1, {{1, g(44)}, {1, 0}, {76, g(196)}, {1, 0}, {1, g(44)}}},
        {'r', 12, {{1, g(44)}, {78, g(138)}, {1, g(44)}}}}},
      {10, Hot, 0,
       {{'c', 40, {{1, g(57)}, {4, g(236), g(141), 4, 1}, {1, g(141)}, {18, g(128), g(210), 23, 0},
                   {1, g(57)}}},
        {'r', 12, {{1, g(57)}, {78, At(g(128), g(210), 23, 6)}, {1, g(57)}}}}},
      {10, P, 0, {{'c', 40, {{1, g(36)}, {4, g(218), g(128), 4, 1}, {1, g(120)},
                             {18, g(108), g(200), 23, 0}, {1, g(36)}}}}},
      // Style 13: 141 -> 128 over rows 0 to 11, then 125 -> 95 over 14 rows.
      {13, N, 0, {{'c', 40, {{12, g(141), g(128), 11, 0}, {13, g(125), g(95), 13, 0}}},
                             {'r', 12, {{80, g(125)}}}}},
      {13, Hot, 0,
       {{'c', 40, {{1, 0x800000}, {23, 0xCCF4FF, 0x91D0FF, 24, 1}, {1, 0x800000}}},
        {'r', 12, {{1, 0x800000}, {78, At(0xCCF4FF, 0x91D0FF, 24, 12)}, {1, 0x800000}}}}},
      {13, P, 0, style13Pressed},
      {13, N, kChecked, {{'c', 40, {{1, 0x800000}, {23, 0x8CD5FF, 0x55ADFF, 24, 1}, {1, 0x800000}}}}},
      {13, N, kChecked | kInside, style13Pressed},
      // Style 15: across, face -> 148 (pressed 115 -> 136) over 79 steps.
      {15, N, 0, style15},
      {15, Hot, 0, style15},
      {15, P, 0, {{'r', 12, {{1, 0x7D807E}, {78, g(115), g(136), 79, 1}, {1, 0x7D807E}}}}},
  };
  for (const Face& face : faces) {
    FaceCanvas fc(face.style, 80, face.H, face.flags);
    fc.Paint(face.state);
    ExpectLines(fc, face.lines,
                "style " + std::to_string(face.style) + " state " + std::to_string(face.state) + " flags " +
                    std::to_string(face.flags));
  }
}

// Where each style draws its focus rectangle: the pixels that showing it
// changes all lie on the rectangle's outline, and reach its four sides. Styles 7
// and 10 draw none, and none is drawn while the form is not active.
TEST(SkbuttonPaint, FocusRectangles) {
  struct Case {
    int32_t style, state;
    int flags;
    RECT rc;  // empty: nothing changes
  };
  const RECT none{0, 0, 0, 0};
  const int F = kFocus | kActive, D = kDefault | kActive;
  const Case cases[] = {
      {0, StateNormal, F, {4, 4, 76, 21}},     {0, StatePressed, D, {4, 4, 76, 21}},
      {1, StateHot, F, {3, 3, 77, 22}},        {11, StatePressed, F, {4, 4, 76, 21}},
      {12, StateNormal, D, {3, 3, 77, 22}},    {0, StateNormal, kFocus, none},
      {2, StateNormal, F, {2, 2, 78, 23}},     {2, StatePressed, D, {2, 2, 78, 23}},
      {4, StateHot, F, {2, 2, 78, 23}},        {4, StateNormal, D, none},
      {5, StateNormal, F, {3, 3, 74, 19}},     {5, StatePressed, D, {6, 6, 77, 22}},
      {6, StateHot, D, {10, 5, 50, 20}},       {6, StatePressed, F, {10, 5, 50, 20}},
      {15, StateNormal, F, {3, 3, 77, 22}},    {15, StatePressed, D, {3, 3, 77, 22}},
      {7, StateNormal, F | D, none},           {10, StateNormal, F | D, none},
      {3, StateNormal, F | D, none},           {8, StateHot, F | D, none},
      {9, StateHot, F | D, none},              {13, StateHot, F | D, none},
  };
  for (const Case& c : cases) {
    FaceCanvas plain(c.style, 80, 25, c.flags), shown(c.style, 80, 25, c.flags | kShowFocus);
    plain.Paint(c.state);
    shown.Paint(c.state);
    RECT changed{80, 25, 0, 0};
    bool offOutline = false;
    for (int y = 0; y < 25; ++y) {
      for (int x = 0; x < 80; ++x) {
        if (plain.canvas.Pixel(x, y) == shown.canvas.Pixel(x, y)) continue;
        changed = RECT{std::min<LONG>(changed.left, x), std::min<LONG>(changed.top, y),
                       std::max<LONG>(changed.right, x + 1), std::max<LONG>(changed.bottom, y + 1)};
        offOutline |= x != c.rc.left && x != c.rc.right - 1 && y != c.rc.top && y != c.rc.bottom - 1;
      }
    }
    if (changed.right == 0) changed = none;
    const std::string what = "style " + std::to_string(c.style) + " state " + std::to_string(c.state);
    EXPECT_EQ(std::vector<LONG>({changed.left, changed.top, changed.right, changed.bottom}),
              std::vector<LONG>({c.rc.left, c.rc.top, c.rc.right, c.rc.bottom})) << what;
    EXPECT_FALSE(offOutline) << what;
  }
}

// Style 14 at two sizes: the middle row crosses the 18 left and 17 right edge
// lines and the centre; the middle column the 12 top and 11 bottom edge lines
// (row H lies outside). A focused button shows the hot artwork unless pressed; a
// checked one the pressed artwork.
TEST(SkbuttonPaint, PixelMappedEdgeLines) {
  struct Art {
    uint32_t centre;
    std::vector<uint32_t> left, right, top, bottom;
  };
  const Art arts[3] = {
      {0xEAE7E8,
       {0xF7F7F7, 0xA0A0A0, 0x999999, 0xC3C3C3, 0xC9C9C9, 0xD5D5D5, 0xD7D7D7, 0xDFDFDF, 0xE0E0E0,
        0xE0E0E0, 0xE4E4E4, 0xE6E8E6, 0xE8E7E7, 0xEAE7E8, 0xEAE7E8, 0xEAE7E8, 0xEAE7E8, 0xEAE7E8},
       {0xEAE7E8, 0xEAE7E8, 0xEAE7E8, 0xEAE7E8, 0xE7E7E7, 0xE6E6E6, 0xE4E4E4, 0xE0E0E0, 0xE0E0E0,
        0xDEDEDE, 0xD9D9D9, 0xD3D3D3, 0xCCCCCC, 0xC3C3C3, 0xA3A3A3, 0x9C9C9C, 0xF6F6F6},
       {0x67696A, 0xF5F4F6, 0xF3F2F4, 0xEEEEEE, 0xEBEBEB, 0xEBE8EA, 0xEBE8EA, 0xEAEAEA, 0xE1E1E1,
        0xE5E2E3, 0xEAE7E8, 0xE8EBE9},
       {0xE8EBE9, 0xEEF1EF, 0xF2F2F2, 0xF5F5F5, 0xFFFEFE, 0xFFFFFF, 0xFDFDFD, 0xFEFEFE, 0xFBFBFB, 0x545454, 0xC5C5C5}},
      {0xE2A66A,
       {0xF7F7F7, 0xB0A09E, 0x712E13, 0xBD5F14, 0xD17327, 0xD47F31, 0xD98C3D, 0xD9944B, 0xD7944F,
        0xDC9C55, 0xDC9B57, 0xE3A362, 0xE3A265, 0xE2A367, 0xE0A165, 0xE3A66A, 0xE3A66A, 0xE2A66A},
       {0xE2A66A, 0xE2A66A, 0xE1A464, 0xE0A363, 0xE0A363, 0xE1A161, 0xE09F5B, 0xDE9855, 0xDC9752,
        0xDB934B, 0xD68D39, 0xD17F2D, 0xD67426, 0xC05D13, 0x7C3514, 0xAB9B98, 0xF6F6F6},
       {0x450608, 0xF1D4C9, 0xE5C8BD, 0xE8C0A1, 0xE0B898, 0xE3B48E, 0xE0B18B, 0xE9B47F, 0xCE9963,
        0xDDA064, 0xE2A66A, 0xE6AC76},
       {0xE6AC76, 0xF1B681, 0xF3BD8A, 0xFCC592, 0xF8CE97, 0xFED59E, 0xF7DDA3, 0xFFE6AD, 0xE9E2C5, 0x635D40, 0xC5C5C5}},
      {0xCC9B6A,
       {0xF7F7F7, 0xA99D9B, 0x632D17, 0xA65A1D, 0xB96C2E, 0xBC7738, 0xC18242, 0xC2894E, 0xC18A52,
        0xC59157, 0xC59159, 0xCC9863, 0xCC9665, 0xCB9767, 0xC99565, 0xCC9A6A, 0xCC9A6A, 0xCC9B6A},
       {0xCC9B6A, 0xCC9B6A, 0xCA9864, 0xC99763, 0xC99763, 0xCA9562, 0xC9945D, 0xC68E57, 0xC48C55,
        0xC3884E, 0xBE823E, 0xB97634, 0xBD6D2D, 0xA8581C, 0x6D3319, 0xA49794, 0xF6F6F6},
       {0x3C090A, 0xDEC7BE, 0xD3BCB2, 0xD4B39A, 0xCCAC92, 0xCFA88A, 0xCCA587, 0xD2A77D, 0xB98E62,
        0xC69464, 0xCC9B6A, 0xD0A175},
       {0xD0A175, 0xDAAA7F, 0xDCB087, 0xE4B88E, 0xE1BF93, 0xE7C699, 0xE2CC9D, 0xE9D5A6, 0xD7D2BA, 0x5A563E, 0xC5C5C5}},
  };
  struct Case {
    int W, H;
    int32_t state;
    int flags;
    int look;
  };
  const Case cases[] = {
      {80, 25, StateNormal, 0, 0},  {80, 25, StateHot, 0, 1},  {80, 25, StatePressed, 0, 2},
      {160, 40, StateNormal, 0, 0}, {160, 40, StateHot, 0, 1}, {160, 40, StatePressed, 0, 2},
      {160, 40, StateNormal, kFocus | kActive, 1}, {160, 40, StatePressed, kDefault | kActive, 2},
      {160, 40, StateHot, kChecked, 2},
  };
  auto each = [](const std::vector<uint32_t>& colours) {
    std::vector<Span> runs;
    for (uint32_t c : colours) runs.push_back({1, c});
    return runs;
  };
  for (const Case& c : cases) {
    const Art& art = arts[c.look];
    Line row{'r', c.H / 2, each(art.left)}, column{'c', c.W / 2, each(art.top)};
    row.runs.push_back({c.W - 35, art.centre});
    column.runs.push_back({c.H - 23, art.centre});
    for (const Span& r : each(art.right)) row.runs.push_back(r);
    for (const Span& r : each(art.bottom)) column.runs.push_back(r);
    FaceCanvas fc(StylePixelMapped, c.W, c.H, c.flags);
    fc.Paint(c.state);
    ExpectLines(fc, {row, column},
                std::to_string(c.W) + " x " + std::to_string(c.H) + " state " + std::to_string(c.state));
  }
}

// At most 21 high the vertical edge lines have no length: outside the
// horizontal lines (columns 17 to W - 18) only the corner maps, set in their
// order, and the centre fill show; what no map covers stays bare.
TEST(SkbuttonPaint, PixelMappedLowButtonShowsOnlyTheMaps) {
  constexpr int W = 80;
  for (int H : {14, 21}) {
    for (int32_t look : {StateNormal, StatePressed}) {
      FaceCanvas fc(StylePixelMapped, W, H, 0);
      fc.Paint(look);
      std::vector<COLORREF> want(W * H, kSentinel);
      for (int y = 4; y < H - 4; ++y) {
        for (int x = 4; x < W - 4; ++x) want[y * W + x] = kPixelArt[look].centre;
      }
      for (int map : {CornerTopLeft, CornerBottomLeft, CornerTopRight, CornerBottomRight}) {
        for (const ArtPixel& p : kPixelArt[look].corners[map]) {
          const int x = map >= CornerTopRight ? W - 17 + p.x : p.x;
          const int y = map == CornerBottomLeft || map == CornerBottomRight ? H - p.y : p.y;
          if (x < W && y < H) want[y * W + x] = p.colour;
        }
      }
      for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; x = x == 16 ? W - 17 : x + 1) {
          EXPECT_EQ(Hex(fc.canvas.Pixel(x, y)), Hex(want[y * W + x]))
              << "height " << H << " look " << look << " at " << x << ", " << y;
        }
      }
    }
  }
}

// What a painter leaves to the button: the window region in the steps that
// name it (the normal look, and the disabled look of styles 2 and 4), and style
// 3's own caption colour, button text unless pressed.
TEST(SkbuttonPaint, WhatPaintersLeaveToTheButton) {
  struct Case {
    int32_t style, state;
    int flags;
    bool region;
    std::optional<Colour> fore;
  };
  const Colour text = SystemColour(COLOR_BTNTEXT), white(0xFFFFFFu);
  const Case cases[] = {
      {0, StateNormal, 0, true, {}},       {0, StateHot, 0, false, {}},
      {0, StateNormal, kChecked, false, {}}, {2, StateHot, kDisabled, true, {}},
      {4, StatePressed, kDisabled, true, {}}, {5, StatePressed, kDisabled, true, {}},
      {6, StateHot, 0, false, {}},         {7, StateNormal, 0, false, {}},
      {9, StateNormal, 0, false, {}},      {13, StateNormal, kChecked, false, {}},
      {14, StateNormal, 0, true, {}},      {14, StateNormal, kFocus | kActive, false, {}},
      {15, StateNormal, 0, true, {}},      {3, StateNormal, 0, true, text},
      {3, StateHot, 0, false, text},       {3, StatePressed, 0, false, white},
      {3, StateNormal, kChecked, false, text}, {3, StateNormal, kChecked | kLeftDown, false, white},
  };
  for (const Case& c : cases) {
    FaceCanvas fc(c.style, 80, 25, c.flags);
    const PaintResult r = fc.Paint(c.state);
    const std::string what = "style " + std::to_string(c.style) + " state " + std::to_string(c.state) +
                             " flags " + std::to_string(c.flags);
    EXPECT_EQ(r.region, c.region) << what;
    EXPECT_EQ(r.foreColor, c.fore) << what;
  }
}

// The focus makes a standard button the default one, which its frame shows (the
// painter's pixels are checked with the faces above).
TEST_F(SkbuttonTest, FocusedStandardButtonShowsTheDefaultFrame) {
  skbutton* b = Place();
  b->SetCaption(u"");
  b->SetButtonStyle(StyleStandard);
  b->SetBackColor(kFace);
  b->SetFocus();
  PumpFor(20);
  ASSERT_TRUE(Seen::IsDefault(b));
  for (int x : {0, 40, 79}) EXPECT_EQ(Hex(b->GetSurface().Pixel(x, 0)), Hex(0)) << x;
  EXPECT_EQ(Hex(b->GetSurface().Pixel(78, 12)), Hex(GetSysColor(COLOR_APPWORKSPACE)));
  EXPECT_EQ(Hex(b->GetSurface().Pixel(79, 12)), Hex(0));
}

TEST_F(SkbuttonTest, DisabledCaptionAndPicture) {
  skbutton* b = Place();
  b->SetButtonStyle(StyleHoverEdge);
  b->SetBackColor(Colour(0xFFFFFFu));
  b->SetCaption(u"");
  b->SetPictureSize(0);
  b->SetPicture(Picture::FromBitmap(MakeBitmap(4, 2, [](int, int) { return RGB(30, 60, 90); })));
  // Centred: px = (80 - 4 - 0) / 2 = 38, py = (25 - 2) / 2 = 11.
  EXPECT_EQ(Hex(b->GetSurface().Pixel(38, 11)), Hex(RGB(30, 60, 90)));
  b->SetEnabled(false);
  EXPECT_EQ(Hex(b->GetSurface().Pixel(38, 11)), Hex(RGB(60, 60, 60)));
  EXPECT_EQ(Hex(b->GetSurface().Pixel(41, 12)), Hex(RGB(60, 60, 60)));
  EXPECT_EQ(Hex(b->GetSurface().Pixel(42, 12)), Hex(RGB(255, 255, 255)));
}

TEST_F(SkbuttonTest, MaskColourAndCaptionColours) {
  skbutton* b = Place();
  b->SetButtonStyle(StyleHoverEdge);
  b->SetBackColor(Colour(0xFFFFFFu));
  b->SetCaption(u"");
  b->SetPicture(Picture::FromBitmap(
      MakeBitmap(4, 2, [](int x, int) { return x < 2 ? RGB(0, 255, 0) : RGB(30, 60, 90); })));
  // Drawn at (38, 11) as above; the mask colour is left out only with UseMaskColor.
  EXPECT_EQ(Hex(b->GetSurface().Pixel(38, 11)), Hex(RGB(0, 255, 0)));
  b->SetMaskColor(Colour(0x00FF00u));
  b->SetUseMaskColor(true);
  EXPECT_EQ(Hex(b->GetSurface().Pixel(38, 11)), Hex(RGB(255, 255, 255)));
  EXPECT_EQ(Hex(b->GetSurface().Pixel(40, 11)), Hex(RGB(30, 60, 90)));

  // The caption in ForeColor, and in the grey-text colour when disabled.
  b->SetPicture(nullptr);
  b->SetCaption(u"&Go");
  b->SetForeColor(Colour(0x0000FFu));
  auto count = [&](COLORREF colour) {
    int n = 0;
    for (int y = 0; y < 25; ++y) {
      for (int x = 0; x < 80; ++x) n += b->GetSurface().Pixel(x, y) == colour;
    }
    return n;
  };
  EXPECT_GT(count(RGB(255, 0, 0)), 10);
  b->SetEnabled(false);
  EXPECT_EQ(count(RGB(255, 0, 0)), 0);
  EXPECT_GT(count(GetSysColor(COLOR_GRAYTEXT)), 10);
}

TEST_F(SkbuttonTest, NewInstanceDefaults) {
  skbutton* b = Place();
  EXPECT_EQ(b->ButtonStyle(), 0);
  EXPECT_EQ(b->Caption(), b->Name());
  EXPECT_EQ(b->GetFont()->Name(), u"Tahoma");
  EXPECT_TRUE(b->ShowFocusRect());
  EXPECT_EQ(b->PictureAlign(), 1);
  EXPECT_EQ(b->CaptionAlign(), 1);
  EXPECT_EQ(b->MaskColor(), Colour(0xE0E0E0u));
  // The style's colours, stored translated.
  EXPECT_EQ(b->BackColor(), Colour(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(b->ForeColor(), Colour(GetSysColor(COLOR_BTNTEXT)));
  b->SetButtonStyle(5);
  EXPECT_EQ(b->BackColor(), Colour(0xAA6D00u));
  EXPECT_EQ(b->ForeColor(), Colour(0xFFFFFFu));
  b->SetButtonStyle(99);  // out of range: the face stays, the text colour is button text
  EXPECT_EQ(b->BackColor(), Colour(0xAA6D00u));
  EXPECT_EQ(b->ForeColor(), Colour(GetSysColor(COLOR_BTNTEXT)));
  EXPECT_FALSE(b->ShowFocusRect());
}

TEST_F(SkbuttonTest, RepaintsLeaveNoHandleBehind) {
  skbutton* b = Place();
  b->SetPicture(Picture::FromIcon(MakeHalfIcon(RGB(1, 2, 3))));
  b->Redraw();
  const int live = LiveGdiHandles();
  for (int i = 0; i < 3000; ++i) {
    b->SetEnabled(i % 2 == 0);
    b->Redraw();
  }
  EXPECT_EQ(LiveGdiHandles(), live);
}

}  // namespace
}  // namespace fw
