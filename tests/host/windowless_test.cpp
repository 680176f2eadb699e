// Labels, images, lines and shapes have no window: their container draws them
// in z-order, routes the mouse to them and lists them to assistive technology.
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <functional>

#include "host/Image.h"
#include "host/Label.h"
#include "host/Line.h"
#include "host/PictureBox.h"
#include "host/TextBox.h"
#include "tests/host/AccessibleRead.h"
#include "tests/host/HostTest.h"

namespace fw::test {
namespace {

constexpr COLORREF kFormBack = RGB(0xE0, 0xF0, 0xFF);  // 0x00FFF0E0
constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 200);

// An expected part of an accessible object.
struct Want {
  long role;
  const char16_t* name;
};

class WindowlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetModifiers(false, false, false);
    ASSERT_TRUE(form.Create(6000, 4500, u"Windowless"));
    form.SetBackColor(Colour(0x00FFF0E0u));
    form.SetStartUpPosition(0);
    form.Move(0, 0);
    form.Show();
    Pump();
  }
  // An opaque, captionless label: a block of one colour.
  Label* Block(const char16_t* name, Control* container, int x, int y, int w, int h, COLORREF c) {
    auto* l = form.Add<Label>(name, container, x * 15, y * 15, w * 15, h * 15);
    l->SetCaption(u"");
    l->SetBackStyle(1);
    l->SetBackColor(Colour(c));
    return l;
  }
  // The form's client pixel as printed, and as the screen shows it.
  COLORREF Printed(int x, int y) {
    Surface shot;
    shot.Resize(1, 1, RGB(1, 2, 3));
    SetViewportOrgEx(shot.Dc(), -x, -y, nullptr);
    SendMessageW(form.hWnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.Dc()), PRF_CLIENT);
    return shot.Pixel(0, 0);
  }
  COLORREF OnScreen(int x, int y) {
    UpdateWindow(form.hWnd());
    unique_hdc_window dc(form.hWnd());
    return GetPixel(dc.get(), x, y);
  }
  Form form;
};

TEST_F(WindowlessTest, DrawnByTheContainerInZOrder) {
  Label* a = Block(u"a", nullptr, 10, 10, 20, 10, kRed);
  Label* b = Block(u"b", nullptr, 20, 10, 20, 10, kBlue);
  EXPECT_EQ(GetWindow(form.hWnd(), GW_CHILD), nullptr) << "no window for either";
  struct Step {
    const char* what;
    std::function<void()> act;
    COLORREF overlap, bOnly;  // at (25, 15) and (35, 15)
  };
  const Step kSteps[] = {
      {"the later one lies on top", [] {}, kBlue, kBlue},
      {"ZOrder 0 brings the first up", [&] { a->ZOrder(0); }, kRed, kBlue},
      {"ZOrder 1 sends it down again", [&] { a->ZOrder(1); }, kBlue, kBlue},
      {"hidden: the form shows", [&] { b->SetVisible(false); }, kRed, kFormBack},
      {"moved away: drawn where it went",
       [&] {
         b->SetVisible(true);
         b->Move(600, 600, 300, 150);
       },
       kRed, kFormBack},
  };
  for (const Step& s : kSteps) {
    s.act();
    EXPECT_EQ(Printed(25, 15), s.overlap) << s.what;
    EXPECT_EQ(Printed(35, 15), s.bOnly) << s.what;
    EXPECT_EQ(OnScreen(25, 15), s.overlap) << s.what << ", on the screen";
    EXPECT_EQ(OnScreen(35, 15), s.bOnly) << s.what << ", on the screen";
  }
  EXPECT_EQ(OnScreen(45, 45), kBlue);
}

TEST_F(WindowlessTest, BelowTheControlsWithWindows) {
  auto* box = form.Add<PictureBox>(u"pic", nullptr, 300, 300, 600, 600);  // (20, 20) 40 x 40
  box->SetBorderStyle(0);
  box->SetBackColor(Colour(0x0000C800u));
  Label* label = Block(u"over", nullptr, 10, 10, 40, 40, kRed);
  label->ZOrder(0);
  EXPECT_EQ(OnScreen(15, 15), kRed);
  EXPECT_EQ(OnScreen(30, 30), RGB(0, 200, 0)) << "the picture box covers the label";
}

// Mouse messages to the container, and the events they raise on a label lying
// on a picture box, and on the box itself.
TEST_F(WindowlessTest, TheContainerRoutesTheMouse) {
  auto* box = form.Add<PictureBox>(u"pic", nullptr, 150, 150, 1500, 1500);  // 100 x 100
  box->SetBorderStyle(0);
  Label* label = Block(u"lbl", box, 10, 20, 30, 10, kRed);  // (10, 20) to (40, 30)
  std::vector<Event> got;
  auto record = [&](const char* who) {
    return [&got, who](int b, int s, float x, float y) { got.push_back({who, b, s, x, y}); };
  };
  label->MouseDown = record("MouseDown");
  label->MouseUp = record("MouseUp");
  label->Click = [&] { got.push_back({"Click"}); };
  label->DblClick = [&] { got.push_back({"DblClick"}); };
  box->MouseDown = record("box:MouseDown");
  box->MouseUp = record("box:MouseUp");
  box->Click = [&] { got.push_back({"box:Click"}); };
  struct Msg {
    UINT msg;
    WPARAM keys;
    int x, y;  // box client
  };
  struct Case {
    const char* what;
    bool enabled;
    std::vector<Msg> msgs;
    std::vector<Event> want;
  };
  const Case kCases[] = {
      {"click on the label",
       true,
       {{WM_LBUTTONDOWN, MK_LBUTTON, 15, 25}, {WM_LBUTTONUP, 0, 15, 25}},
       {{"MouseDown", 1, 0, 5, 5}, {"MouseUp", 1, 0, 5, 5}, {"Click"}}},
      {"released beyond it: the label keeps the release, no click",
       true,
       {{WM_LBUTTONDOWN, MK_LBUTTON, 15, 25}, {WM_LBUTTONUP, 0, 60, 25}},
       {{"MouseDown", 1, 0, 5, 5}, {"MouseUp", 1, 0, 50, 5}}},
      {"double click",
       true,
       {{WM_LBUTTONDOWN, MK_LBUTTON, 15, 25},
        {WM_LBUTTONUP, 0, 15, 25},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, 15, 25},
        {WM_LBUTTONUP, 0, 15, 25}},
       {{"MouseDown", 1, 0, 5, 5}, {"MouseUp", 1, 0, 5, 5}, {"Click"}, {"DblClick"},
        {"MouseUp", 1, 0, 5, 5}}},
      {"right button: no click",
       true,
       {{WM_RBUTTONDOWN, MK_RBUTTON, 39, 29}, {WM_RBUTTONUP, 0, 39, 29}},
       {{"MouseDown", 2, 0, 29, 9}, {"MouseUp", 2, 0, 29, 9}}},
      {"beside the label: the box's",
       true,
       {{WM_LBUTTONDOWN, MK_LBUTTON, 40, 25}, {WM_LBUTTONUP, 0, 40, 25}},
       {{"box:MouseDown", 1, 0, 40, 25}, {"box:MouseUp", 1, 0, 40, 25}, {"box:Click"}}},
      {"pressed on the box, released on the label: the box's",
       true,
       {{WM_LBUTTONDOWN, MK_LBUTTON, 5, 5}, {WM_LBUTTONUP, 0, 15, 25}},
       {{"box:MouseDown", 1, 0, 5, 5}, {"box:MouseUp", 1, 0, 15, 25}, {"box:Click"}}},
      {"a disabled label lets it through",
       false,
       {{WM_LBUTTONDOWN, MK_LBUTTON, 15, 25}, {WM_LBUTTONUP, 0, 15, 25}},
       {{"box:MouseDown", 1, 0, 15, 25}, {"box:MouseUp", 1, 0, 15, 25}, {"box:Click"}}},
  };
  for (const Case& c : kCases) {
    label->SetEnabled(c.enabled);
    got.clear();
    for (const Msg& m : c.msgs) SendMessageW(box->hWnd(), m.msg, m.keys, MAKELPARAM(m.x, m.y));
    EXPECT_EQ(got.size(), c.want.size()) << c.what;
    for (size_t i = 0; i < std::min(got.size(), c.want.size()); ++i) {
      EXPECT_EQ(got[i], c.want[i]) << c.what << ", event " << i << ": " << Describe(got[i]);
    }
    EXPECT_NE(GetCapture(), box->hWnd()) << c.what << ": the capture is let go";
  }
}

TEST_F(WindowlessTest, AClickMayUnloadTheForm) {
  Label* label = Block(u"lbl", nullptr, 10, 10, 30, 10, kRed);
  label->Click = [&] { form.Unload(); };
  SendMouse(*label, WM_LBUTTONDOWN, MK_LBUTTON, 2, 2);
  SendMouse(*label, WM_LBUTTONUP, 0, 2, 2);
  EXPECT_FALSE(form.IsLoaded());
}

// What a tool reads of the windowless controls: their containers' accessible
// objects list them in drawing order, with the live caption, role, state and place.
TEST_F(WindowlessTest, ReadableThroughTheContainersAccessibleObject) {
  auto* box = form.Add<PictureBox>(u"pic", nullptr, 150, 150, 3000, 1500);
  box->SetBorderStyle(0);
  auto* caption = form.Add<Label>(u"lblPrice", box, 150, 150, 600, 225);
  caption->SetCaption(u"7.62");
  auto* image = form.Add<Image>(u"img", box, 900, 150, 300, 300);
  image->SetToolTipText(u"油价图");
  form.Add<Line>(u"lin", box, 0, 0, 0, 0);
  form.Add<TextBox>(u"txt", box, 1500, 150, 1200, 300);
  RECT at = caption->PixelRect();
  MapWindowPoints(box->hWnd(), nullptr, reinterpret_cast<POINT*>(&at), 2);

  std::vector<AccessiblePart> parts = AccessibleParts(box->hWnd());
  ASSERT_EQ(parts.size(), 3u) << "the text box is a window of its own, listed as one";
  // A line divides: a separator, not a picture.
  const Want kWant[] = {{ROLE_SYSTEM_STATICTEXT, u"7.62"}, {ROLE_SYSTEM_GRAPHIC, u"油价图"},
                        {ROLE_SYSTEM_SEPARATOR, u""}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(parts[i].childId, static_cast<long>(i + 1));
    EXPECT_EQ(parts[i].role, kWant[i].role) << i;
    EXPECT_EQ(parts[i].name, kWant[i].name) << i;
    EXPECT_EQ(parts[i].state & STATE_SYSTEM_INVISIBLE, 0) << i;
  }
  EXPECT_TRUE(EqualRect(&parts[0].location, &at)) << "screen coordinates";

  // A caption change reads at once and is announced for the label's child id.
  struct Announced {
    HWND hwnd;
    LONG object, child;
  };
  static std::vector<Announced> announced;
  announced.clear();
  HWINEVENTHOOK hook = SetWinEventHook(
      EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
      [](HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
        announced.push_back({hwnd, object, child});
      },
      GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  caption->SetCaption(u"7.17");
  Pump();
  UnhookWinEvent(hook);
  ASSERT_EQ(announced.size(), 1u);
  EXPECT_EQ(announced[0].hwnd, box->hWnd());
  EXPECT_EQ(announced[0].object, OBJID_CLIENT);
  EXPECT_EQ(announced[0].child, 1);
  caption->SetVisible(false);
  parts = AccessibleParts(box->hWnd());
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].name, u"7.17");
  EXPECT_NE(parts[0].state & STATE_SYSTEM_INVISIBLE, 0);
}

// A user control that draws two buttons of its own describes them; the
// windowless controls lying on it follow them.
class TwoButtons : public UserControl {
 public:
  TwoButtons() : UserControl(u"TwoButtons") {}
  std::vector<int> pressed;

 protected:
  void OnAccessibleSelf(AccessibleItem& self) const override { self.role = ROLE_SYSTEM_TOOLBAR; }
  int OnAccessiblePartCount() const override { return 2; }
  void OnAccessiblePart(int part, AccessibleItem& item) const override {
    item.role = ROLE_SYSTEM_PUSHBUTTON;
    item.name = part == 0 ? u"Yes" : u"No";
  }
  bool OnAccessibleDefaultAction(int part) override {
    pressed.push_back(part);
    return true;
  }
};

TEST_F(WindowlessTest, AControlsOwnPartsComeFirst) {
  auto* bar = form.Add<TwoButtons>(u"bar", nullptr, 150, 150, 3000, 450);
  bar->SetWindowCaption(u"工具");
  auto* note = form.Add<Label>(u"lblNote", bar, 1500, 0, 900, 225);
  note->SetCaption(u"注");
  const AccessiblePart self = AccessibleSelf(bar->hWnd());
  EXPECT_EQ(self.role, ROLE_SYSTEM_TOOLBAR) << "its own role";
  EXPECT_EQ(self.name, u"工具") << "the platform's answer: the window text";
  const std::vector<AccessiblePart> parts = AccessibleParts(bar->hWnd());
  ASSERT_EQ(parts.size(), 3u);
  const Want kWant[] = {{ROLE_SYSTEM_PUSHBUTTON, u"Yes"}, {ROLE_SYSTEM_PUSHBUTTON, u"No"},
                        {ROLE_SYSTEM_STATICTEXT, u"注"}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(parts[i].role, kWant[i].role) << i;
    EXPECT_EQ(parts[i].name, kWant[i].name) << i;
  }
  EXPECT_TRUE(AccessibleDefaultAction(bar->hWnd(), 2));
  EXPECT_FALSE(AccessibleDefaultAction(bar->hWnd(), 3)) << "a label has no default action";
  EXPECT_EQ(bar->pressed, std::vector<int>{1});
}

// The tooltip of a windowless control covers its area of the container and
// follows it when it moves; the form makes its tooltip window for the first tip.
TEST_F(WindowlessTest, TooltipFollowsTheArea) {
  auto ownedTip = [&] {
    struct Search {
      HWND owner, found;
    } search{form.hWnd(), nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM l) -> BOOL {
          auto* s = reinterpret_cast<Search*>(l);
          wchar_t kind[64]{};
          GetClassNameW(hwnd, kind, 64);
          if (lstrcmpiW(kind, TOOLTIPS_CLASSW) != 0 || GetWindow(hwnd, GW_OWNER) != s->owner) return TRUE;
          s->found = hwnd;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  };
  auto* image = form.Add<Image>(u"img", nullptr, 150, 300, 450, 300);
  EXPECT_EQ(ownedTip(), nullptr) << "no tip, no tooltip window";
  image->SetToolTipText(u"图");
  HWND tip = ownedTip();
  ASSERT_NE(tip, nullptr);
  auto toolRect = [&] {
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = form.hWnd();
    ti.uId = reinterpret_cast<UINT_PTR>(image);
    return SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)) ? ti.rect : RECT{-1, -1, -1, -1};
  };
  const RECT first = toolRect();
  EXPECT_EQ(first.left, 10);
  EXPECT_EQ(first.top, 20);
  EXPECT_EQ(first.right, 40);
  EXPECT_EQ(first.bottom, 40);
  image->Move(600, 300, 450, 300);
  EXPECT_EQ(toolRect().left, 40);
  image->SetVisible(false);
  const RECT hidden = toolRect();
  EXPECT_TRUE(IsRectEmpty(&hidden)) << "nothing to hover";
}

}  // namespace
}  // namespace fw::test
