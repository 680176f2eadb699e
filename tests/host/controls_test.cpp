// The standard child controls: events from real messages, keys passed by
// reference, list contents, self-sizing, drawn pixels, mouse transparency,
// docking, timers, and the controls' own windows going with the form.
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include "host/ComboBox.h"
#include "host/Image.h"
#include "host/Label.h"
#include "host/Line.h"
#include "host/ListBox.h"
#include "host/PictureBox.h"
#include "host/Shape.h"
#include "host/TextBox.h"
#include "host/Timer.h"
#include "tests/host/AccessibleRead.h"
#include "tests/host/HostTest.h"

namespace fw::test {
namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetModifiers(false, false, false);
    ASSERT_TRUE(form.Create(6000, 4500, u"Controls"));
    form.SetBackColor(Colour(0x00E0F0FFu));
    form.Show();
    Pump();
  }
  Form form;
};

TEST_F(ControlsTest, TextBoxKeysByReferenceChangeWhatIsTyped) {
  auto* t = form.Add<TextBox>(u"txt", nullptr, 150, 150, 1500, 300);
  t->SetText(u"");
  std::vector<int> changes;
  t->Change = [&] { changes.push_back(static_cast<int>(t->Text().size())); };
  t->KeyPress = [](int& ascii) {
    if (ascii == 'x') ascii = 0;        // swallowed
    else if (ascii == 'a') ascii = 'b';  // replaced
  };
  for (wchar_t ch : {L'a', L'x', L'c'}) SendMessageW(t->hWnd(), WM_CHAR, ch, 1);
  EXPECT_EQ(t->Text(), u"bc");
  EXPECT_EQ(changes, (std::vector<int>{1, 2}));
  t->SetText(u"新文字");
  EXPECT_EQ(changes.back(), 3) << "setting the text raises Change too";
  t->SetSelStart(1);
  t->SetSelLength(1);
  EXPECT_EQ(t->SelText(), u"文");
}

TEST_F(ControlsTest, TextBoxKeyDownZeroCancelsTheKey) {
  auto* t = form.Add<TextBox>(u"txt", nullptr, 150, 150, 1500, 300);
  t->SetText(u"abc");
  t->SetSelStart(3);
  int seen = 0;
  t->KeyDown = [&](int& key, int shift) {
    seen = key;
    if (key == VK_BACK) key = 0;
  };
  SendMessageW(t->hWnd(), WM_KEYDOWN, VK_LEFT, 1);
  EXPECT_EQ(seen, VK_LEFT);
  EXPECT_EQ(t->SelStart(), 2) << "an arrow key the handler kept moves the caret";
  SendMessageW(t->hWnd(), WM_KEYDOWN, VK_BACK, 1);
  EXPECT_EQ(seen, VK_BACK);
}

TEST_F(ControlsTest, ComboBoxItemsAndEvents) {
  auto* c = form.Add<ComboBox>(u"com", nullptr, 150, 600, 1800, 315);
  std::vector<std::string> events;
  c->Click = [&] { events.push_back("Click"); };
  c->Change = [&] { events.push_back("Change"); };
  c->AddItem(u"广东省");
  c->AddItem(u"浙江省");
  c->AddItem(u"北京市", 0);
  EXPECT_EQ(c->ListCount(), 3);
  EXPECT_EQ(c->List(0), u"北京市");
  c->SetListIndex(2);
  EXPECT_EQ(c->Text(), u"浙江省");
  EXPECT_EQ(c->ListIndex(), 2);
  SendMessageW(c->EditHwnd(), WM_CHAR, 'z', 1);  // typing
  c->SetText(u"set");
  // The user choosing in the list: the combo tells its parent, which reflects it.
  SendMessageW(c->hWnd(), CB_SETCURSEL, 0, 0);
  SendMessageW(GetParent(c->hWnd()), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(c->hWnd()));
  const std::vector<std::string> want{"Click", "Change", "Change", "Click"};
  EXPECT_EQ(events, want);
  c->RemoveItem(0);
  EXPECT_EQ(c->ListCount(), 2);
  c->Clear();
  EXPECT_EQ(c->ListCount(), 0);
  EXPECT_EQ(c->ListIndex(), -1);
}

TEST_F(ControlsTest, ListBoxHoldsTextsAndData) {
  auto* l = form.Add<ListBox>(u"lst", nullptr, 150, 1200, 1800, 900);
  l->AddItem(u"http://a/");
  l->AddItem(u"http://b/");
  l->SetItemData(1, 42);
  int clicks = 0;
  l->Click = [&] { ++clicks; };
  l->SetListIndex(1);
  EXPECT_EQ(l->Text(), u"http://b/");
  EXPECT_EQ(l->ItemData(1), 42);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(l->List(5), u"") << "an index beyond the list reads empty";
}

TEST_F(ControlsTest, ListItemsWithEmptyOnesSurviveASave) {
  auto* l = form.Add<ListBox>(u"lstSaved", nullptr, 150, 1200, 1800, 900);
  l->AddItem(u"a");
  l->AddItem(u"");
  l->AddItem(u"b");
  l->AddItem(u"");
  PropertyStore saved;
  l->WriteProperties(saved);
  auto* again = form.Add<ListBox>(u"lstRead", nullptr, 150, 2200, 1800, 900, {}, &saved);
  ASSERT_NE(again, nullptr);
  ASSERT_EQ(again->ListCount(), 4) << "the empty last item is an item too";
  EXPECT_EQ(again->List(1), u"");
  EXPECT_EQ(again->List(3), u"");
}

TEST_F(ControlsTest, LabelAutoSizeFitsItsCaption) {
  auto* l = form.Add<Label>(u"lbl", nullptr, 150, 150, 300, 150);
  l->SetFont(Font::Create(u"Tahoma", 9));
  l->SetAutoSize(true);
  l->SetCaption(u"Fuelwise 油价");
  unique_hfont font = l->GetFont()->CreateHandle(96);
  unique_hdc dc(CreateCompatibleDC(nullptr));
  unique_select sel(dc.get(), font.get());
  RECT calc{};
  DrawTextW(dc.get(), L"Fuelwise 油价", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
  const RECT rc = l->PixelRect();
  EXPECT_EQ(rc.right - rc.left, calc.right);
  EXPECT_EQ(rc.bottom - rc.top, calc.bottom);
  const std::vector<AccessiblePart> parts = AccessibleParts(form.hWnd());
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0].name, u"Fuelwise 油价");
}

TEST_F(ControlsTest, OpaqueLabelFillsItsBackColour) {
  auto* l = form.Add<Label>(u"lbl", nullptr, 150, 150, 900, 300);
  l->SetCaption(u"");
  l->SetBackStyle(1);
  l->SetBackColor(Colour(0x00204060u));
  Surface shot;
  ASSERT_TRUE(shot.Resize(60, 20, 0));
  PrintArea(*l, shot.Dc());
  EXPECT_EQ(shot.Pixel(0, 0), RGB(0x60, 0x40, 0x20));
  EXPECT_EQ(shot.Pixel(59, 19), RGB(0x60, 0x40, 0x20));
  // Transparent again: the form's back colour shows through.
  l->SetBackStyle(0);
  PrintArea(*l, shot.Dc());
  EXPECT_EQ(shot.Pixel(30, 10), RGB(0xFF, 0xF0, 0xE0));
}

TEST_F(ControlsTest, ShapeDrawsBorderAndFill) {
  auto* s = form.Add<Shape>(u"shp", nullptr, 150, 150, 300, 150);  // 20 x 10 pixels
  s->SetBorderColor(Colour(0x000000FFu));
  s->SetFillStyle(0);
  s->SetFillColor(Colour(0x0000FF00u));
  Surface shot;
  ASSERT_TRUE(shot.Resize(20, 10, 0));
  PrintArea(*s, shot.Dc());
  EXPECT_EQ(shot.Pixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(shot.Pixel(19, 9), RGB(255, 0, 0));
  EXPECT_EQ(shot.Pixel(10, 5), RGB(0, 255, 0));
  // Transparent fill: the form shows inside the border.
  s->SetFillStyle(1);
  PrintArea(*s, shot.Dc());
  EXPECT_EQ(shot.Pixel(10, 5), RGB(0xFF, 0xF0, 0xE0));
  // Clicks go through it to what lies below: here a label.
  auto* below = form.Add<Label>(u"lblBelow", nullptr, 0, 0, 600, 600);
  below->ZOrder(1);
  std::vector<std::string> clicks;
  below->Click = [&] { clicks.push_back("label"); };
  s->Click = [&] { clicks.push_back("shape"); };
  SendMouse(*s, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  SendMouse(*s, WM_LBUTTONUP, 0, 5, 5);
  EXPECT_EQ(clicks, std::vector<std::string>{"label"});
}

TEST_F(ControlsTest, LineDrawsBetweenItsEnds) {
  auto* l = form.Add<Line>(u"lin", nullptr, 0, 0, 0, 0);
  l->SetBorderColor(Colour(0x00123456u));
  l->SetEnds(150, 300, 1500, 300);  // (10, 20) to (100, 20)
  const RECT rc = l->PixelRect();
  EXPECT_EQ(rc.left, 10);
  EXPECT_EQ(rc.top, 20);
  EXPECT_EQ(rc.right - rc.left, 91);
  EXPECT_EQ(rc.bottom - rc.top, 1);
  Surface shot;
  ASSERT_TRUE(shot.Resize(91, 1, 0));
  PrintArea(*l, shot.Dc());
  EXPECT_EQ(shot.Pixel(0, 0), RGB(0x56, 0x34, 0x12));
  EXPECT_EQ(shot.Pixel(89, 0), RGB(0x56, 0x34, 0x12));
  EXPECT_EQ(shot.Pixel(90, 0), RGB(0xFF, 0xF0, 0xE0)) << "the end point itself is not drawn";
}

// A 3 x 2 picture, all one colour.
std::shared_ptr<Picture> Block(COLORREF colour) {
  Surface s;
  s.Resize(3, 2, colour);
  unique_hbitmap copy(static_cast<HBITMAP>(CopyImage(GetCurrentObject(s.Dc(), OBJ_BITMAP), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  return Picture::FromBitmap(std::move(copy));
}

TEST_F(ControlsTest, ImageTakesItsPicturesSizeUnlessStretched) {
  auto* img = form.Add<Image>(u"img", nullptr, 150, 150, 600, 600);
  img->SetPicture(Block(RGB(9, 99, 199)));
  const RECT rc = img->PixelRect();
  EXPECT_EQ(rc.right - rc.left, 3);
  EXPECT_EQ(rc.bottom - rc.top, 2);
  img->SetStretch(true);
  img->Move(150, 150, 600, 300);
  Surface shot;
  ASSERT_TRUE(shot.Resize(40, 20, 0));
  PrintArea(*img, shot.Dc());
  EXPECT_EQ(shot.Pixel(39, 19), RGB(9, 99, 199));
}

TEST_F(ControlsTest, PictureBoxShowsItsPictureAndTooltip) {
  auto* pb = form.Add<PictureBox>(u"pic", nullptr, 150, 150, 900, 600);
  pb->SetBorderStyle(0);
  pb->SetBackColor(Colour(0x00FFFFFFu));
  pb->SetPicture(Block(RGB(200, 10, 10)));
  EXPECT_EQ(pb->GetSurface().Pixel(2, 1), RGB(200, 10, 10));
  EXPECT_EQ(pb->GetSurface().Pixel(3, 1), RGB(255, 255, 255));
  pb->SetToolTipText(u"数据来源于油价网\r\n(Http://127.0.0.1/)");
  EXPECT_EQ(pb->ToolTipText(), u"数据来源于油价网\r\n(Http://127.0.0.1/)");
  std::vector<Event> moves;
  pb->MouseMove = [&](int b, int s, float x, float y) { moves.push_back({"MouseMove", b, s, x, y}); };
  SendMessageW(pb->hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
  const Event want[] = {{"MouseMove", 0, 0, 5, 6}};
  ExpectSequence(moves, want, "picture box mouse move");
}

TEST_F(ControlsTest, AlignedControlsDockToTheFormEdges) {
  auto* bottom = form.Add<PictureBox>(u"bar", nullptr, 0, 0, 1000, 360);
  bottom->SetAlign(2);
  RECT client{}, rc{};
  GetClientRect(form.hWnd(), &client);
  GetWindowRect(bottom->hWnd(), &rc);
  MapWindowPoints(nullptr, form.hWnd(), reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ(rc.left, 0);
  EXPECT_EQ(rc.right, client.right);
  EXPECT_EQ(rc.bottom, client.bottom);
  EXPECT_EQ(rc.bottom - rc.top, 24);
  form.SetClientSize(7500, 4500);
  GetClientRect(form.hWnd(), &client);
  GetWindowRect(bottom->hWnd(), &rc);
  EXPECT_EQ(rc.right - rc.left, client.right) << "follows the form's width";
}

TEST_F(ControlsTest, TimerTicksOnlyWhileEnabledWithAnInterval) {
  auto* t = form.Add<Timer>(u"tmr", nullptr, 0, 0, 0, 0);
  int ticks = 0;
  t->Tick = [&] { ++ticks; };
  auto wait = [](DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (GetTickCount() < end) {
      Pump();
      Sleep(5);
    }
  };
  wait(60);
  EXPECT_EQ(ticks, 0) << "no interval, no ticks";
  t->SetInterval(15);
  wait(200);
  EXPECT_GT(ticks, 2);
  t->SetEnabled(false);
  const int stopped = ticks;
  wait(80);
  EXPECT_EQ(ticks, stopped);
}

TEST_F(ControlsTest, ControlWindowsGoWithTheForm) {
  const int windows = LiveHandles(HandleKind::Window);
  form.Add<Label>(u"a", nullptr, 0, 0, 300, 300);
  form.Add<TextBox>(u"b", nullptr, 0, 300, 300, 300);
  form.Add<ComboBox>(u"c", nullptr, 0, 600, 300, 300);
  form.Add<ListBox>(u"d", nullptr, 0, 900, 300, 300);
  form.Add<PictureBox>(u"e", nullptr, 0, 1200, 300, 300);
  EXPECT_EQ(LiveHandles(HandleKind::Window), windows + 4) << "the label has none";
  const int gdi = LiveGdiHandles();
  EXPECT_GT(gdi, 0);
  form.Unload();
  EXPECT_EQ(LiveHandles(HandleKind::Window), windows - 1) << "the controls and the form itself";
}

TEST(ControlsStandalone, ConstituentDeletedWhileItsWindowLives) {
  Form form;
  ASSERT_TRUE(form.Create(3000, 3000));
  const int windows = LiveHandles(HandleKind::Window);
  {
    // Owned by code, not by the form: deleted without Destroy.
    auto label = std::make_unique<Label>();
    ASSERT_TRUE(label->Create(form.hWnd(), RECT{0, 0, 50, 20}, u"inner"));
    auto onBox = std::make_unique<Label>();  // outlives the box it lies on
    auto box = std::make_unique<PictureBox>();
    ASSERT_TRUE(box->Create(form.hWnd(), RECT{0, 20, 50, 40}, u"innerBox"));
    ASSERT_TRUE(onBox->Create(box->hWnd(), RECT{0, 0, 50, 20}, u"onBox"));
    box->InitProperties();
    label->InitProperties();
    onBox->InitProperties();
    EXPECT_EQ(LiveHandles(HandleKind::Window), windows + 1);
  }
  EXPECT_EQ(LiveHandles(HandleKind::Window), windows);
  EXPECT_EQ(GetWindow(form.hWnd(), GW_CHILD), nullptr);
  // The form no longer draws the label, nor lists it.
  form.Show();
  RedrawWindow(form.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_TRUE(AccessibleParts(form.hWnd()).empty());
}

}  // namespace
}  // namespace fw::test
