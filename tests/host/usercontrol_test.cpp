// The user-control base under real messages: event order and arguments, the
// drawing surface and its copy to the screen, cursors, focus, and handle leaks.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "host/ColourWin.h"
#include "host/Gdi.h"
#include "host/Label.h"
#include "tests/host/AccessibleRead.h"
#include "tests/host/HostTest.h"

namespace fw::test {
namespace {

class UserControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetModifiers(false, false, false);
    ASSERT_TRUE(form.Create(4500, 3000, u"User control test"));
    // 1500 x 750 twips at (150, 150): 100 x 50 pixels at (10, 10) at 96 dpi.
    control = form.Add<RecordingControl>(u"rec", nullptr, 150, 150, 1500, 750);
    ASSERT_NE(control, nullptr);
    form.Show();
    Pump();
    control->events.clear();
  }
  void TearDown() override { SetModifiers(false, false, false); }

  LRESULT Send(UINT msg, WPARAM w, LPARAM l) { return SendMessageW(control->hWnd(), msg, w, l); }

  Form form;
  RecordingControl* control = nullptr;
};

TEST_F(UserControlTest, PlacedInTwipsAtFifteenTwipsPerPixel) {
  RECT rc{};
  GetWindowRect(control->hWnd(), &rc);
  MapWindowPoints(nullptr, form.hWnd(), reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ(rc.left, 10);
  EXPECT_EQ(rc.top, 10);
  EXPECT_EQ(control->ScaleWidth(), 100);
  EXPECT_EQ(control->ScaleHeight(), 50);
  EXPECT_EQ(control->Left(), 150);
  EXPECT_EQ(control->Width(), 1500);
}

// What every control draws with: values with stray high bytes are refused on
// every system, system colours come from the platform's table.
TEST(ColourTranslation, ThePathControlsDrawWith) {
  for (uint32_t refused : {0x01000005u, 0x02FFFFFFu, 0x80FF000Fu, 0x80000100u, 0x8000001Fu}) {
    EXPECT_EQ(TranslateColor(Colour(refused)), -1) << std::hex << refused;
    EXPECT_EQ(ToColorRef(Colour(refused), 0x123456), 0x123456u) << std::hex << refused;
  }
  EXPECT_EQ(TranslateColor(Colour(0x8000000F)), static_cast<int32_t>(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(TranslateColor(Colour(0x80000012)), static_cast<int32_t>(GetSysColor(COLOR_BTNTEXT)));
  EXPECT_EQ(TranslateColor(Colour(0x00C8E5D8)), 0x00C8E5D8);
}

TEST(UserControlLifecycle, NewInstanceInitialisesThenResizesThenShows) {
  Form form;
  ASSERT_TRUE(form.Create(3000, 3000));
  auto* c = form.Add<RecordingControl>(u"rec", nullptr, 0, 0, 600, 300);
  PropertyStore saved;
  saved.Set(u"Caption", std::u16string(u"x"));
  auto* r = form.Add<RecordingControl>(u"read", nullptr, 0, 600, 600, 300, {}, &saved);
  form.Show();
  Pump();
  // The first control in tab order takes the focus when the form first shows.
  const Event kNew[] = {{"InitProperties"}, {"Resize"}, {"Show"}, {"GotFocus"}};
  ExpectSequence(c->events, kNew, "a control placed new");
  const Event kRead[] = {{"ReadProperties"}, {"Resize"}, {"Show"}};
  ExpectSequence(r->events, kRead, "a control read from its saved properties");
}

TEST(UserControlLifecycle, UnloadInsideTheControlsOwnClick) {
  Form form;
  ASSERT_TRUE(form.Create(3000, 3000));
  auto* c = form.Add<RecordingControl>(u"rec", nullptr, 0, 0, 600, 300);
  form.Show();
  Pump();
  c->events.clear();
  c->onClick = [&] { form.Unload(); };
  HWND hwnd = c->hWnd();
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(form.IsLoaded());
  // The object outlives its window until the form is built again or goes.
  const Event want[] = {{"MouseDown", 1, 0, 3, 3}, {"MouseUp", 1, 0, 3, 3}, {"Click"},
                        {"LostFocus"},             {"Terminate", 1}};
  ExpectSequence(c->events, want, "unload from a click handler");
}

TEST(UserControlLifecycle, ShowAndHideReachConstituentsAndContents) {
  // A container holding a recording control, and a recording control made by
  // code inside another one (a constituent, not in the form's list).
  class Holder : public UserControl {
   public:
    Holder() : UserControl(u"Holder", true) {}
    std::unique_ptr<RecordingControl> part = std::make_unique<RecordingControl>();

   protected:
    void OnInitProperties() override {
      part->Create(hWnd(), RECT{0, 0, 20, 20}, u"part");
      part->InitProperties();
      ShowWindow(part->hWnd(), SW_SHOWNA);
    }
  };
  Form form;
  ASSERT_TRUE(form.Create(3000, 3000));
  auto* holder = form.Add<Holder>(u"holder", nullptr, 0, 0, 1500, 1500);
  auto* inner = form.Add<RecordingControl>(u"inner", holder, 0, 600, 300, 300);
  form.Show();
  holder->SetVisible(false);
  holder->SetVisible(true);
  // Focus moves as controls hide; only the show events matter here.
  auto withoutFocus = [](const std::vector<Event>& events) {
    std::vector<Event> kept;
    for (const Event& e : events) {
      if (e.name != "GotFocus" && e.name != "LostFocus") kept.push_back(e);
    }
    return kept;
  };
  const Event kWant[] = {{"InitProperties"}, {"Resize"}, {"Show"}, {"Hide"}, {"Show"}};
  ExpectSequence(withoutFocus(holder->part->events), kWant, "constituent");
  ExpectSequence(withoutFocus(inner->events), kWant, "control in a container");
}

// -- Mouse: (button, shift, x, y); buttons 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt

TEST_F(UserControlTest, LeftClickWithShiftAndCtrl) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT | MK_CONTROL, MAKELPARAM(10, 20));
  Send(WM_LBUTTONUP, MK_SHIFT | MK_CONTROL, MAKELPARAM(11, 21));
  const Event want[] = {{"MouseDown", 1, 3, 10, 20}, {"MouseUp", 1, 3, 11, 21}, {"Click"}};
  ExpectSequence(control->events, want, "left click with Shift+Ctrl");
}

TEST_F(UserControlTest, RightAndMiddleButtonsGiveNoClick) {
  SetModifiers(false, false, true);  // Alt held: mouse messages carry no Alt bit
  Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 6));
  Send(WM_RBUTTONUP, 0, MAKELPARAM(5, 6));
  Send(WM_MBUTTONDOWN, MK_MBUTTON | MK_SHIFT, MAKELPARAM(7, 8));
  Send(WM_MBUTTONUP, MK_SHIFT, MAKELPARAM(7, 8));
  const Event want[] = {{"MouseDown", 2, 4, 5, 6}, {"MouseUp", 2, 4, 5, 6},
                        {"MouseDown", 4, 5, 7, 8}, {"MouseUp", 4, 5, 7, 8}};
  ExpectSequence(control->events, want, "right then middle button with Alt");
}

TEST_F(UserControlTest, DoubleClickOrder) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 10));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(30, 10));
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(30, 10));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(30, 10));
  const Event want[] = {{"MouseDown", 1, 0, 30, 10}, {"MouseUp", 1, 0, 30, 10}, {"Click"},
                        {"DblClick"},                {"MouseUp", 1, 0, 30, 10}};
  ExpectSequence(control->events, want, "double click");
}

TEST_F(UserControlTest, ReleaseOutsideOrOnTheFarEdgeGivesNoClick) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(GetCapture(), control->hWnd()) << "a press captures the mouse";
  Send(WM_LBUTTONUP, 0, MAKELPARAM(-3, 10));
  EXPECT_EQ(GetCapture(), nullptr);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(100, 10));  // x == ScaleWidth is outside
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(0, 0));  // the top left pixel is inside
  const Event want[] = {{"MouseDown", 1, 0, 10, 10}, {"MouseUp", 1, 0, -3, 10},
                        {"MouseDown", 1, 0, 10, 10}, {"MouseUp", 1, 0, 100, 10},
                        {"MouseDown", 1, 0, 10, 10}, {"MouseUp", 1, 0, 0, 0},
                        {"Click"}};
  ExpectSequence(control->events, want, "releases inside and outside");
}

TEST_F(UserControlTest, MouseMoveCarriesEveryButtonHeld) {
  control->recordMoves = true;
  Send(WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON | MK_CONTROL, MAKELPARAM(40, 41));
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(42, 43));
  const Event want[] = {{"MouseMove", 3, 2, 40, 41}, {"MouseMove", 0, 0, 42, 43}};
  ExpectSequence(control->events, want, "moves");
}

TEST_F(UserControlTest, CaptureLossCancelsTheClick) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SetCapture(form.hWnd());
  ReleaseCapture();
  Send(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  const Event want[] = {{"MouseDown", 1, 0, 10, 10}, {"MouseUp", 1, 0, 10, 10}};
  ExpectSequence(control->events, want, "press, capture taken away, release");
}

// A control may let the capture go on its own press (the frame does, to hand the
// drag to the system); only another window taking the capture cancels the click.
TEST_F(UserControlTest, ReleasingItsOwnCaptureKeepsTheClick) {
  control->onMouseDown = [] { ReleaseCapture(); };
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  control->onMouseDown = nullptr;
  Send(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  // A press whose release went elsewhere: the next move without the button held
  // forgets it, so a later release alone is no click.
  control->onMouseDown = [] { ReleaseCapture(); };
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(12, 10));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(12, 10));
  const Event want[] = {{"MouseDown", 1, 0, 10, 10}, {"MouseUp", 1, 0, 10, 10}, {"Click"},
                        {"MouseDown", 1, 0, 10, 10}, {"MouseUp", 1, 0, 12, 10}};
  ExpectSequence(control->events, want, "own capture released on the press");
}

// -- Keys

TEST_F(UserControlTest, KeyEventsWithShiftStates) {
  SetModifiers(true, false, false);
  Send(WM_KEYDOWN, 'A', 0x001E0001);
  Send(WM_CHAR, 'A', 0x001E0001);
  Send(WM_KEYUP, 'A', 0xC01E0001);
  SetModifiers(false, true, false);
  Send(WM_KEYDOWN, VK_LEFT, 0x014B0001);
  SetModifiers(false, false, false);
  // Alt from the message itself: WM_SYSKEYDOWN with the context bit (29).
  Send(WM_SYSKEYDOWN, VK_SPACE, 0x20390001);
  Send(WM_SYSKEYUP, VK_SPACE, 0xE0390001);
  const Event want[] = {{"KeyDown", 'A', 1},       {"KeyPress", 'A', 0},
                        {"KeyUp", 'A', 1},         {"KeyDown", VK_LEFT, 2},
                        {"KeyDown", VK_SPACE, 4},  {"KeyUp", VK_SPACE, 4}};
  ExpectSequence(control->events, want, "keys");
}

TEST_F(UserControlTest, FocusEventsFollowTheFocus) {
  SetFocus(form.hWnd());
  SetFocus(control->hWnd());
  SetFocus(form.hWnd());
  const Event want[] = {{"LostFocus"}, {"GotFocus"}, {"LostFocus"}};
  ExpectSequence(control->events, want, "focus out, in and out");
}

TEST_F(UserControlTest, AssistiveTechnologyHearsTheFocusComeOnce) {
  SetFocus(form.hWnd());
  WinEventRecorder heard({control->hWnd(), form.hWnd()}, EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS);
  SetFocus(control->hWnd());
  SetFocus(form.hWnd());
  const std::vector<WinEvent> got = heard.Take();
  const std::vector<WinEvent> want = {{EVENT_OBJECT_FOCUS, control->hWnd(), OBJID_CLIENT, CHILDID_SELF},
                                      {EVENT_OBJECT_FOCUS, form.hWnd(), OBJID_CLIENT, CHILDID_SELF}};
  EXPECT_EQ(got, want) << [&] {
    std::string text;
    for (const WinEvent& e : got) text += Describe(e) + " ";
    return text;
  }();
}

TEST_F(UserControlTest, PressTakesTheFocusFirst) {
  SetFocus(form.hWnd());
  control->events.clear();
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 2));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(1, 2));
  const Event want[] = {{"GotFocus"}, {"MouseDown", 1, 0, 1, 2}, {"MouseUp", 1, 0, 1, 2}, {"Click"}};
  ExpectSequence(control->events, want, "click on an unfocused control");
  EXPECT_EQ(GetFocus(), control->hWnd());
}

// -- The drawing surface

// Reads a window's client pixels through its window DC.
COLORREF WindowPixel(HWND hwnd, int x, int y) {
  unique_hdc_window dc(hwnd);
  return GetPixel(dc.get(), x, y);
}

TEST_F(UserControlTest, ClsFillsEveryPixelWithTheBackColour) {
  control->SetBackColor(Colour(0x00336699u));
  control->Cls();
  const Surface& s = control->GetSurface();
  int wrong = 0;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) wrong += s.Pixel(x, y) != RGB(0x99, 0x66, 0x33);
  }
  EXPECT_EQ(wrong, 0) << "pixels not of the back colour; (0,0) is " << std::hex << s.Pixel(0, 0);
}

TEST_F(UserControlTest, SystemBackColourIsTranslatedOnCls) {
  control->SetBackColor(Colour(0x80000000u | COLOR_HIGHLIGHT));
  control->Cls();
  EXPECT_EQ(control->GetSurface().Pixel(50, 25), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(UserControlTest, PaintCopiesOnlyTheInvalidRectangle) {
  control->SetBackColor(Colour(0x000000FFu));  // red
  control->Cls();
  control->Refresh();
  ASSERT_EQ(WindowPixel(control->hWnd(), 5, 5), RGB(255, 0, 0));
  const int paintsBefore = control->paints;
  // Draw blue over the whole surface, but let only a 10 x 10 square be copied.
  control->GetSurface();
  FillSolid(control->hDC(), RECT{0, 0, 100, 50}, RGB(0, 0, 255));
  RECT part{20, 20, 30, 30};
  InvalidateRect(control->hWnd(), &part, FALSE);
  UpdateWindow(control->hWnd());
  EXPECT_EQ(WindowPixel(control->hWnd(), 25, 25), RGB(0, 0, 255)) << "inside the invalid square";
  EXPECT_EQ(WindowPixel(control->hWnd(), 5, 5), RGB(255, 0, 0)) << "outside it nothing was copied";
  EXPECT_EQ(control->paints, paintsBefore) << "a plain repaint does not redraw the surface";
}

TEST_F(UserControlTest, PrintClientCopiesTheWholeSurface) {
  FillSolid(control->hDC(), RECT{0, 0, 100, 50}, RGB(10, 200, 30));
  FillSolid(control->hDC(), RECT{90, 40, 100, 50}, RGB(1, 2, 3));
  Surface target;
  ASSERT_TRUE(target.Resize(100, 50, RGB(255, 255, 255)));
  SendMessageW(control->hWnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target.Dc()), PRF_CLIENT);
  EXPECT_EQ(target.Pixel(0, 0), RGB(10, 200, 30));
  EXPECT_EQ(target.Pixel(99, 49), RGB(1, 2, 3));
}

TEST_F(UserControlTest, TextMeasuresInTheSurfaceFont) {
  control->SetFont(Font::Create(u"Tahoma", 12));
  unique_hfont same = control->GetFont()->CreateHandle(96);
  unique_hdc dc(CreateCompatibleDC(nullptr));
  unique_select sel(dc.get(), same.get());
  SIZE sz{};
  GetTextExtentPoint32W(dc.get(), L"Fuelwise", 8, &sz);
  EXPECT_EQ(control->TextWidth(u"Fuelwise"), sz.cx);
  EXPECT_EQ(control->TextHeight(u"Fuelwise"), sz.cy);
  EXPECT_EQ(control->TextWidth(u"Fuel\r\nFuelwise"), sz.cx) << "the widest line";
  EXPECT_EQ(control->TextHeight(u"a\nb"), 2 * sz.cy);
  // The font object itself is followed: a bigger size measures wider.
  const int before = control->TextWidth(u"Fuelwise");
  control->GetFont()->SetSize(24);
  EXPECT_GT(control->TextWidth(u"Fuelwise"), before);
}

TEST_F(UserControlTest, MousePointerSetsTheStandardCursor) {
  struct Case {
    int pointer;
    LPCWSTR cursor;
  };
  const Case kCases[] = {{1, IDC_ARROW},  {2, IDC_CROSS},    {3, IDC_IBEAM},     {4, IDC_ICON},
                         {5, IDC_SIZEALL}, {6, IDC_SIZENESW}, {7, IDC_SIZENS},    {8, IDC_SIZENWSE},
                         {9, IDC_SIZEWE}, {10, IDC_UPARROW}, {11, IDC_WAIT},      {12, IDC_NO},
                         {13, IDC_APPSTARTING}, {14, IDC_HELP}, {15, IDC_SIZEALL}};
  for (const Case& c : kCases) {
    control->SetMousePointer(c.pointer);
    SetCursor(nullptr);
    const LRESULT handled = Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(control->hWnd()),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_TRUE(handled) << "pointer " << c.pointer;
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, c.cursor)) << "pointer " << c.pointer;
  }
}

TEST_F(UserControlTest, CustomPointerUsesTheMouseIcon) {
  // A 16 x 16 icon made here.
  std::vector<BYTE> andBits(16 * 16 / 8, 0x00), xorBits(16 * 16 / 8, 0xFF);
  unique_hicon icon(CreateIcon(GetModuleHandleW(nullptr), 16, 16, 1, 1, andBits.data(), xorBits.data()));
  ASSERT_TRUE(icon);
  const int cursorsBefore = LiveHandles(HandleKind::Cursor);
  control->SetMouseIcon(Picture::FromIcon(std::move(icon)));
  control->SetMousePointer(kPointerCustom);
  EXPECT_EQ(LiveHandles(HandleKind::Cursor), cursorsBefore + 1);
  Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(control->hWnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_NE(GetCursor(), nullptr);
  control->SetMousePointer(kPointerDefault);
  EXPECT_EQ(LiveHandles(HandleKind::Cursor), cursorsBefore) << "the custom cursor is released";
}

// A control that sets its pointer from its own move handler, as a sizing grip does.
class PointerByMoveControl : public RecordingControl {
 protected:
  void OnMouseMove(int, int, float x, float) override {
    SetMousePointer(x < 50 ? kPointerSizeNWSE : kPointerCross);
  }
};

// The platform asks for the cursor before the move reaches the control: a
// pointer set while the pointer is over the control shows at once, not a move late.
TEST(UserControlPointer, ShowsWhenSetOverTheControl) {
  Form form;
  ASSERT_TRUE(form.Create(3000, 1500));
  form.SetStartUpPosition(0);
  form.Move(0, 0);
  // 100 x 50 pixels at (10, 10).
  auto* c = form.Add<PointerByMoveControl>(u"grip", nullptr, 150, 150, 1500, 750);
  form.Show();
  Pump();
  auto pointerTo = [&](int x, int y) {
    POINT p{x, y};
    ClientToScreen(c->hWnd(), &p);
    SetCursorPos(p.x, p.y);
    for (int i = 0; i < 200; ++i) {
      Pump();
      POINT now{};
      GetCursorPos(&now);
      if (now.x == p.x && now.y == p.y) break;
      Sleep(5);
    }
    for (int i = 0; i < 10; ++i) {
      Pump();
      Sleep(5);
    }
  };
  pointerTo(300, 300);  // off the control and its form
  struct Step {
    const char* what;
    std::function<void()> act;
    LPCWSTR cursor;  // null: the cursor stays as it was set before the step
  } const steps[] = {
      {"the first move over it", [&] { pointerTo(20, 20); }, IDC_SIZENWSE},
      {"a move that changes it", [&] { pointerTo(80, 20); }, IDC_CROSS},
      {"set by the program, the pointer resting", [&] { c->SetMousePointer(kPointerIBeam); }, IDC_IBEAM},
      {"back to the default", [&] { c->SetMousePointer(kPointerDefault); }, IDC_ARROW},
      {"set with the pointer elsewhere", [&] {
         pointerTo(300, 300);
         SetCursor(nullptr);
         c->SetMousePointer(kPointerIBeam);
       }, nullptr},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_EQ(GetCursor(), s.cursor ? LoadCursorW(nullptr, s.cursor) : nullptr) << s.what;
  }
}

TEST_F(UserControlTest, PropertyChangedReachesTheFormRecord) {
  form.ClearChangedProperties();
  std::u16string hooked;
  form.PropertyChangedHook = [&](Control& c, std::u16string_view name) {
    hooked = c.Name() + u"." + std::u16string(name);
  };
  control->SetCaption(u"刷新");
  wchar_t text[16]{};
  GetWindowTextW(control->hWnd(), text, 16);
  EXPECT_STREQ(text, L"刷新");
  ASSERT_EQ(form.ChangedProperties().size(), 1u);
  EXPECT_EQ(form.ChangedProperties()[0].control, u"rec");
  EXPECT_EQ(form.ChangedProperties()[0].property, u"Caption");
  EXPECT_EQ(hooked, u"rec.Caption");
}

TEST_F(UserControlTest, AmbientComesFromTheContainer) {
  form.SetBackColor(Colour(0x00112233u));
  const AmbientProperties a = control->Ambient();
  EXPECT_EQ(a.backColor, Colour(0x00112233u));
  EXPECT_EQ(a.displayName, u"rec");
  EXPECT_TRUE(a.userMode);
  EXPECT_EQ(a.font, form.GetFont()) << "the container's font object itself";
  const Event want[] = {{"AmbientChanged:BackColor"}};
  ExpectSequence(control->events, want, "ambient change notice");
}

TEST_F(UserControlTest, HiMetricToPixels) {
  // 2540 HiMetric is one inch: 96 pixels on this screen.
  EXPECT_DOUBLE_EQ(control->HiMetricToPixelsX(2540), 96.0);
  EXPECT_DOUBLE_EQ(control->HiMetricToPixelsY(423), 423 * 96 / 2540.0);
  EXPECT_EQ(control->ParentHwnd(), form.hWnd());
  EXPECT_FALSE(control->IsMdiChild());
}

// -- Leaks

// Draws a three-band picture with a fresh pen, brush and font on every paint.
class BandsControl : public UserControl {
 public:
  BandsControl() : UserControl(u"Bands") {}
  int paints = 0;

 protected:
  void OnPaint() override {
    ++paints;
    const int w = ScaleWidth(), h = ScaleHeight();
    unique_hbrush red = MakeSolidBrush(RGB(200, 0, 0));
    RECT top{0, 0, w, h / 3};
    FillRect(hDC(), &top, red.get());
    unique_hpen pen = MakePen(PS_SOLID, 1, RGB(0, 150, 0));
    unique_hbrush green = MakeSolidBrush(RGB(0, 150, 0));
    unique_select selPen(hDC(), pen.get());
    unique_select selBrush(hDC(), green.get());
    Rectangle(hDC(), 0, h / 3, w, 2 * h / 3);
    unique_hfont font = GetFont()->CreateHandle(96);
    unique_select selFont(hDC(), font.get());
    FillSolid(hDC(), RECT{0, 2 * h / 3, w, h}, RGB(0, 0, 180));
  }
};

TEST(UserControlLeaks, TwentyThousandRepaintsLeaveNoHandleBehind) {
  Form form;
  ASSERT_TRUE(form.Create(3000, 3000));
  auto* c = form.Add<BandsControl>(u"bands", nullptr, 0, 0, 900, 450);  // 60 x 30 pixels
  // A label on it: every paint composes the surface with it.
  auto* label = form.Add<Label>(u"lbl", c, 600, 300, 150, 150);  // (40, 20) 10 x 10
  label->SetCaption(u"");
  label->SetBackStyle(1);
  label->SetBackColor(Colour(0x00336699u));
  form.Show();
  Pump();
  const int gdiBefore = LiveGdiHandles();
  const int selectionsBefore = LiveHandles(HandleKind::Selection);
  const int paintDcsBefore = LiveHandles(HandleKind::PaintDc);
  // A leak of one object per paint would exhaust the process's handle table
  // (10,000 GDI objects) well before the end.
  constexpr int kRepaints = 20000;
  for (int i = 0; i < kRepaints; ++i) {
    c->InvalidateSurface();
    UpdateWindow(c->hWnd());
  }
  EXPECT_EQ(c->paints, kRepaints + 1);
  EXPECT_EQ(LiveGdiHandles(), gdiBefore);
  EXPECT_EQ(LiveHandles(HandleKind::Selection), selectionsBefore);
  EXPECT_EQ(LiveHandles(HandleKind::PaintDc), paintDcsBefore);
  // And it still draws: the three bands, on the surface and on the screen.
  const Surface& s = c->GetSurface();
  EXPECT_EQ(s.Pixel(30, 2), RGB(200, 0, 0));
  EXPECT_EQ(s.Pixel(30, 15), RGB(0, 150, 0));
  EXPECT_EQ(s.Pixel(30, 27), RGB(0, 0, 180));
  EXPECT_EQ(WindowPixel(c->hWnd(), 30, 27), RGB(0, 0, 180));
  EXPECT_EQ(WindowPixel(c->hWnd(), 45, 25), RGB(0x99, 0x66, 0x33));
}

TEST(UserControlLeaks, UnloadReleasesEveryHandleOfTheControls) {
  const int gdiBefore = LiveGdiHandles();
  const int windowsBefore = LiveHandles(HandleKind::Window);
  {
    Form form;
    ASSERT_TRUE(form.Create(3000, 3000));
    form.Add<BandsControl>(u"bands", nullptr, 0, 0, 900, 450);
    form.Add<RecordingControl>(u"rec", nullptr, 0, 600, 900, 450);
    form.Show();
    Pump();
    EXPECT_GT(LiveGdiHandles(), gdiBefore);
    EXPECT_TRUE(form.Unload());
    EXPECT_FALSE(form.IsLoaded());
  }
  EXPECT_EQ(LiveGdiHandles(), gdiBefore);
  EXPECT_EQ(LiveHandles(HandleKind::Window), windowsBefore);
}

}  // namespace
}  // namespace fw::test
