// The button on a real form under the host: whole event sequences from real
// input and real messages, what it saves and reads, the pixels its painting core
// and its standard painter leave, its window region and its hooks.

#include "controls/skbutton/skbutton.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "controls/skbutton/ButtonPaint.h"
#include "host/DesignFile.h"
#include "host/Form.h"
#include "host/Gdi.h"
#include "tests/host/HostTest.h"

namespace fw {
namespace {

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
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
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
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
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
  EXPECT_EQ(b->State(), StateHot);
  PointerTo(POINT{1000, 700});
  ASSERT_TRUE(PumpUntil([&] { return events.size() >= 2; }, 2000));
  const Event want[] = {{"MouseEnter"}, {"MouseLeave"}};
  ExpectSequence(events, want, "enter and leave");
  EXPECT_EQ(b->State(), StateNormal);
  EXPECT_FALSE(b->MouseInside());
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
  PumpUntil([&] { return b->MouseInside(); }, 1000);
  events.clear();
  MouseInput(MOUSEEVENTF_LEFTDOWN);
  PumpUntil([&] { return !events.empty(); }, 1000);
  EXPECT_EQ(b->State(), StatePressed);
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
  EXPECT_EQ(b->State(), StatePressed);
  EXPECT_EQ(GetCapture(), b->hWnd());
  SendMessageW(b->hWnd(), WM_KEYUP, VK_SPACE, 0xC0390001);
  {
    const Event want[] = {{"KeyDown", 32, 0}, {"Click"}, {"KeyUp", 32, 0}};
    ExpectSequence(Clicks(), want, "space with the pointer outside");
  }
  EXPECT_EQ(b->State(), StateNormal);
  EXPECT_NE(GetCapture(), b->hWnd()) << "the space press keeps the mouse captured";

  PointerTo(Screen(b, 40, 12));
  ASSERT_TRUE(PumpUntil([&] { return b->MouseInside(); }, 1000));
  events.clear();
  SendMessageW(b->hWnd(), WM_KEYDOWN, VK_SPACE, 0x00390001);
  SendMessageW(b->hWnd(), WM_KEYUP, VK_SPACE, 0xC0390001);
  const Event want[] = {{"KeyDown", 32, 0}, {"Click"}, {"KeyUp", 32, 0}};
  ExpectSequence(Clicks(), want, "space with the pointer inside");
  EXPECT_EQ(b->State(), StateHot);
}

TEST_F(SkbuttonTest, AltSpaceOtherKeysAndEnter) {
  skbutton* b = Place();
  b->SetFocus();
  PumpFor(20);
  events.clear();
  // Alt from the message's context bit.
  SendMessageW(b->hWnd(), WM_SYSKEYDOWN, VK_SPACE, 0x20390001);
  ExpectSequence(events, nullptr, "Alt+Space");
  EXPECT_NE(b->State(), StatePressed);
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
  const int start = b->RegionBuilds();
  EXPECT_GE(start, 1);
  b->Move(b->Left(), b->Top(), 1500, 450);
  PumpFor(60);
  EXPECT_EQ(b->RegionBuilds(), start + 1);
  for (int i = 0; i < 20; ++i) b->Redraw();
  b->Refresh();
  PumpFor(60);
  EXPECT_EQ(b->RegionBuilds(), start + 1) << "paints built regions again";
  // A style with round corners: the corner pixel is cut off.
  b->SetButtonStyle(StylePixelMapped);
  PumpFor(30);
  EXPECT_EQ(b->RegionBuilds(), start + 2);
  unique_hrgn rgn(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(b->hWnd(), rgn.get()), ERROR);
  EXPECT_FALSE(PtInRegion(rgn.get(), 0, 0));
  EXPECT_TRUE(PtInRegion(rgn.get(), 9, 9));
  EXPECT_TRUE(PtInRegion(rgn.get(), 50, 1));
}

TEST_F(SkbuttonTest, HooksGoWithTheButton) {
  const LONG_PTR before = GetWindowLongPtrW(s_form->hWnd(), GWLP_WNDPROC);
  skbutton* b = Place();
  EXPECT_TRUE(b->TrackingAvailable());
  EXPECT_NE(GetWindowLongPtrW(s_form->hWnd(), GWLP_WNDPROC), before) << "the form is not hooked";
  b->Destroy();
  m_placed.clear();
  EXPECT_EQ(GetWindowLongPtrW(s_form->hWnd(), GWLP_WNDPROC), before);
}

TEST_F(SkbuttonTest, FormActivationIsFollowed) {
  skbutton* b = Place();
  SendMessageW(s_form->hWnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_TRUE(b->ParentActive());
  b->SetFocus();
  PumpFor(20);
  EXPECT_TRUE(b->HasFocus());
  SendMessageW(s_form->hWnd(), WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_FALSE(b->ParentActive());
  EXPECT_FALSE(b->HasFocus());
  EXPECT_EQ(b->State(), StateNormal);
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

// The drawn styles' faces on an 80 x 25 canvas (27 high for style 7) with the
// face 0x808080, checked against pixels worked out by hand from the steps of
// each style. Shifts of 128: +0.07 -> 146, +0.2 -> 179, +0.08 -> 148, -0.09 ->
// 105, -0.05 -> 115, -0.16 -> 87, -0.1 -> 102.5 -> 102, +0.3 -> 204.5 -> 204 ...
TEST(SkbuttonPaint, DrawnStylePixels) {
  struct Px {
    int x, y;
    COLORREF colour;  // 0x00BBGGRR
  };
  struct Look {
    int32_t style, state;
    int H;
    bool checked;
    std::vector<Px> pixels;
  };
  const COLORREF S = kSentinel;
  const Look looks[] = {
      // Style 2: body gradient 146 -> 128 (row 12: 137), top band 179, 172, 164 ...,
      // the soft lines, the frame 0x743C00 and its corners shifted by 0.3.
      {2, StateNormal, 25, false,
       {{0, 12, 0x743C00}, {1, 12, 0xC0C0C0}, {2, 12, 0x898989}, {78, 12, 0x6C6C6C},
        {1, 1, 0xC0884C}, {2, 1, 0xACACAC}, {40, 23, 0x696969}, {40, 22, 0x737373},
        {40, 21, 0x7D7D7D}, {79, 24, 0x743C00}}},
      {2, StateHot, 25, false,
       {{1, 12, 0x49BDF9}, {2, 12, 0x7AD2FC}, {3, 12, 0x898989}, {77, 12, 0x7AD2FC},
        {78, 12, 0x49BDF9}, {40, 1, 0xCFF0FF}, {40, 2, 0x89D8FD}, {40, 22, 0x30B3F8},
        {40, 23, 0x0097E5}}},
      {2, StatePressed, 25, false,
       {{1, 12, 0x575757}, {2, 12, 0x666666}, {3, 12, 0x737373}, {78, 12, 0x8A8A8A},
        {40, 1, 0x575757}, {40, 2, 0x666666}, {40, 23, 0x929292}}},
      // Style 3: its frame, bottom lines and shifted corners; the checked face.
      {3, StateHot, 25, false,
       {{0, 12, 0xC3CECE}, {40, 23, 0xC6D2D7}, {40, 22, 0xD6E1E4}, {40, 21, 0xE5EDEE},
        {1, 1, 0xBCC7C7}}},
      {3, StatePressed, 25, false, {{40, 12, 0xDDE4E5}, {0, 12, 0x929D9D}}},
      {3, StateNormal, 25, true, {{40, 12, 0xFEFEFE}, {0, 12, 0xAF987A}, {1, 1, 0x8E806D}}},
      // Style 4: 141 -> 128 above, 123 -> 90 from row 12, two frames, gold corners.
      {4, StateNormal, 25, false,
       {{40, 6, 0x8B8B8B}, {40, 12, 0x7B7B7B}, {40, 20, 0x6F6F6F}, {0, 12, 0x707070},
        {1, 12, 0xFFFFFF}, {1, 1, 0xBE965F}, {79, 24, 0x707070}}},
      // Style 5: the face and its 0.3-lighter frame over three shadow frames; the
      // rest is the ambient back colour (the canvas here).
      {5, StateNormal, 25, false,
       {{40, 12, 0x808080}, {75, 12, 0xCCCCCC}, {40, 20, 0xCCCCCC}, {76, 12, 0x808080},
        {77, 12, 0xA0A0A0}, {78, 12, 0xC0C0C0}, {79, 12, S}, {40, 21, 0x808080},
        {40, 22, 0xA0A0A0}, {40, 23, 0xC0C0C0}, {40, 24, S}, {2, 22, S}}},
      {5, StatePressed, 25, false,
       {{1, 1, S}, {3, 12, 0xCCCCCC}, {40, 12, 0x808080}, {79, 12, 0xCCCCCC}, {40, 3, 0xCCCCCC}}},
      // Style 6: white -> face over 12 rows (row 5: 198), the frame 0.2 darker, the
      // bottom line 0.25 darker from x = 2, corners 0.05 lighter; below, the surface.
      {6, StateNormal, 25, false,
       {{40, 5, 0xC6C6C6}, {40, 18, S}, {0, 18, 0x4D4D4D}, {40, 24, 0x404040},
        {1, 24, 0x4D4D4D}, {1, 1, 0x8D8D8D}, {1, 23, 0x8D8D8D}}},
      // Style 7 on 27 rows: the bands split at row 10; the frame 0.34 darker (41).
      {7, StateHot, 27, false,
       {{40, 9, 0xACEAFF}, {40, 10, 0x67D7FF}, {40, 26, 0x292929}, {0, 5, 0x292929},
        {40, 1, 0xDCFDFF}}},
      {7, StatePressed, 27, false, {{40, 9, 0x51AFFF}, {40, 10, 0x468FFF}, {40, 25, 0x5DCEFF}}},
      // Style 8 hot: the light gradient, its flat lower part from row 15, two frames.
      {8, StateHot, 25, false,
       {{40, 5, 0xFDF7EB}, {40, 16, 0xF8ECD0}, {0, 12, 0xCA9E61}, {1, 12, 0xFFFFFF},
        {1, 1, 0xFFEAAE}}},
      // Style 9: N = M(S(face, 0.26), white) = 224; row 12 of N -> face is 176.
      {9, StateNormal, 25, false, {{0, 12, 0xB0B0B0}, {79, 12, 0xB0B0B0}, {40, 0, 0xE0E0E0}}},
      {9, StateHot, 25, false, {{0, 12, 0xC56A31}, {40, 12, 0xEED2C1}}},
      {9, StatePressed, 25, false, {{0, 12, 0x6F4B4B}, {40, 12, 0xE2B598}}},
      {9, StateNormal, 25, true, {{0, 12, 0x7C5858}, {40, 12, 0xE8E6E1}}},
      // Style 10: top band from 218 (row 2: 173), row 5 left in the face, body from
      // 115 to 204 over 23 steps (row 12: 138), frame 44, corners 0.
      {10, StateNormal, 25, false,
       {{40, 2, 0xADADAD}, {40, 5, 0x808080}, {40, 12, 0x8A8A8A}, {0, 12, 0x2C2C2C},
        {40, 0, 0x2C2C2C}, {1, 1, 0x000000}, {78, 23, 0x000000}}},
      // Style 13 hot: 0xCCF4FF -> 0x91D0FF, row 12 0xAFE2FF, a navy frame.
      {13, StateHot, 25, false, {{40, 12, 0xAFE2FF}, {0, 12, 0x800000}, {40, 1, 0xCAF3FF}}},
      {13, StateNormal, 25, true, {{40, 1, 0x8AD4FF}, {79, 12, 0x800000}}},
      // Style 15: face -> 148 across 79 steps; a grey frame.
      {15, StateNormal, 25, false,
       {{1, 12, 0x808080}, {40, 12, 0x8A8A8A}, {78, 12, 0x939393}, {0, 12, 0x7D807E}}},
  };
  for (const Look& look : looks) {
    Canvas c(80, look.H);
    FaceContext f;
    f.dc = c.dc.get();
    f.W = 80;
    f.H = look.H;
    f.style = look.style;
    f.face = 0x808080;
    f.checkBoxMode = look.checked;
    f.value = look.checked;
    Colour fore(0x0000FFu);
    f.foreColor = &fore;
    ASSERT_NE(PainterFor(look.style), nullptr);
    PainterFor(look.style)(f, look.state);
    for (const Px& p : look.pixels) {
      EXPECT_EQ(Hex(c.Pixel(p.x, p.y)), Hex(p.colour))
          << "style " << look.style << " state " << look.state << (look.checked ? " checked" : "")
          << " at " << p.x << ", " << p.y;
    }
  }
}

// Style 14 at two sizes: the edge lines and rows of the artwork, the centre,
// the unpainted outer corner, and which artwork each state takes.
TEST(SkbuttonPaint, PixelMappedEdgesAtTwoSizes) {
  struct Px {
    int x, y;
    COLORREF colour;
  };
  struct Case {
    int W, H;
    int32_t state;
    bool focused, checked;
    std::vector<Px> pixels;
  };
  const Case cases[] = {
      {80, 25, StateNormal, false, false,
       {{2, 12, 0x999999}, {77, 12, 0xA3A3A3}, {79, 12, 0xF6F6F6}, {0, 12, 0xF7F7F7}, {40, 0, 0x67696A},
        {40, 23, 0x545454}, {40, 24, 0xC5C5C5}, {40, 14, 0xE8EBE9}, {40, 12, 0xEAE7E8}, {7, 0, 0xE6E6E6},
        {0, 0, kSentinel}}},
      {160, 40, StateNormal, false, false,
       {{2, 20, 0x999999}, {157, 20, 0xA3A3A3}, {17, 20, 0xEAE7E8}, {143, 20, 0xEAE7E8},
        {80, 0, 0x67696A}, {80, 5, 0xEBE8EA}, {80, 29, 0xE8EBE9}, {80, 38, 0x545454},
        {80, 20, 0xEAE7E8}, {0, 0, kSentinel}, {159, 39, kSentinel}}},
      // Focused (and the form active): the hot artwork while not pressed.
      {160, 40, StateNormal, true, false,
       {{2, 20, 0x712E13}, {157, 20, 0x7C3514}, {80, 0, 0x450608}, {80, 38, 0x635D40}, {80, 20, 0xE2A66A}}},
      {160, 40, StatePressed, true, false, {{2, 20, 0x632D17}, {80, 20, 0xCC9B6A}}},
      // Checked: the pressed artwork in every state.
      {160, 40, StateHot, false, true, {{2, 20, 0x632D17}, {80, 0, 0x3C090A}, {80, 20, 0xCC9B6A}}},
  };
  for (const Case& c : cases) {
    Canvas canvas(c.W, c.H);
    FaceContext f;
    f.dc = canvas.dc.get();
    f.W = c.W;
    f.H = c.H;
    f.style = StylePixelMapped;
    f.face = 0x808080;
    f.hasFocus = f.parentActive = c.focused;
    f.checkBoxMode = f.value = c.checked;
    PaintPixelMapped(f, c.state);
    for (const Px& p : c.pixels) {
      EXPECT_EQ(Hex(canvas.Pixel(p.x, p.y)), Hex(p.colour))
          << c.W << " x " << c.H << " state " << c.state << " at " << p.x << ", " << p.y;
    }
  }
}

TEST(SkbuttonPaint, StylesThatNeverDrawAFocusRectangle) {
  for (int32_t style : {7, 10}) {
    Canvas plain(80, 25), focused(80, 25);
    FaceContext f;
    f.W = 80;
    f.H = 25;
    f.style = style;
    f.face = 0x808080;
    f.dc = plain.dc.get();
    PainterFor(style)(f, StateNormal);
    f.dc = focused.dc.get();
    f.hasFocus = f.isDefault = f.parentActive = f.showFocusRect = true;
    PainterFor(style)(f, StateNormal);
    GdiFlush();
    EXPECT_TRUE(std::equal(plain.bits, plain.bits + 80 * 25, focused.bits)) << "style " << style;
  }
}

TEST(SkbuttonPaint, StyleThreeSetsItsCaptionColour) {
  Canvas c(80, 25);
  FaceContext f;
  f.dc = c.dc.get();
  f.W = 80;
  f.H = 25;
  f.style = 3;
  f.face = 0x808080;
  Colour fore(0x0000FFu);  // red, set by the program
  f.foreColor = &fore;
  PaintLightHover(f, StateNormal);
  EXPECT_EQ(fore, Colour(0x80000012u));
  PaintLightHover(f, StatePressed);
  EXPECT_EQ(fore, Colour(0xFFFFFFu));
}

// The standard painter's own lines; the platform's 3-D edges are left to it.
TEST_F(SkbuttonTest, StandardFacesPressedAndChecked) {
  const COLORREF face = kFace.value;
  const COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
  const COLORREF work = GetSysColor(COLOR_APPWORKSPACE);
  skbutton* b = Place();
  b->SetCaption(u"");
  auto row = [&](int y) {
    std::string s;
    for (int x = 0; x < 80; ++x) s += Hex(b->GetSurface().Pixel(x, y)) + " ";
    return s;
  };
  auto line = [&](std::initializer_list<std::pair<int, COLORREF>> runs) {
    std::string s;
    for (const auto& [n, colour] : runs) {
      for (int i = 0; i < n; ++i) s += Hex(colour) + " ";
    }
    return s;
  };
  struct Look {
    int32_t style;
    bool checked;
  };
  // Pressed by the space key, which needs no pointer.
  auto press = [&](int32_t style) {
    b->SetButtonStyle(style);
    b->SetBackColor(kFace);
    SendMessageW(b->hWnd(), WM_KEYDOWN, VK_SPACE, 0x00390001);
  };
  auto release = [&] { SendMessageW(b->hWnd(), WM_KEYUP, VK_SPACE, 0xC0390001); };

  press(StyleStandard);
  EXPECT_EQ(row(0), line({{80, 0}}));
  EXPECT_EQ(row(1), line({{1, 0}, {78, 0x99A8AC}, {1, 0}}));
  EXPECT_EQ(row(12), line({{1, 0}, {1, 0x99A8AC}, {76, face}, {1, 0x99A8AC}, {1, 0}}));
  EXPECT_EQ(row(23), line({{1, 0}, {78, 0x99A8AC}, {1, 0}}));
  release();

  press(StyleHoverThin);
  EXPECT_EQ(row(0), line({{80, gray}}));
  EXPECT_EQ(row(12), line({{1, gray}, {78, face}, {1, 0xFFFFFF}}));
  EXPECT_EQ(row(24), line({{1, gray}, {79, 0xFFFFFF}}));
  release();

  // Style 11 shows no edge at all until the pointer is over it.
  b->SetButtonStyle(StyleHoverEdge);
  b->SetBackColor(kFace);
  for (int y : {0, 1, 12, 24}) EXPECT_EQ(row(y), line({{80, face}})) << "row " << y;

  // Style 12 checked: the face shifted by 0.02 and nothing else.
  b->SetButtonStyle(StyleHoverThin);
  b->SetBackColor(kFace);
  b->SetCheckBoxMode(true);
  b->SetValue(true);
  const COLORREF shifted = RGB(0x99 + 5, 0x66 + 5, 0x33 + 5);
  for (int y : {0, 12, 24}) EXPECT_EQ(row(y), line({{80, shifted}})) << "row " << y;
  b->SetValue(false);
  b->SetCheckBoxMode(false);

  // Style 0 with the focus (and so drawn as the default button): a black frame,
  // the app-workspace line inside it on the right and bottom.
  b->SetButtonStyle(StyleStandard);
  b->SetBackColor(kFace);
  b->SetFocus();
  PumpFor(20);
  ASSERT_TRUE(b->IsDefault());
  EXPECT_EQ(row(0), line({{80, 0}}));
  EXPECT_EQ(row(24), line({{80, 0}}));
  EXPECT_EQ(Hex(b->GetSurface().Pixel(78, 12)), Hex(work));
  EXPECT_EQ(Hex(b->GetSurface().Pixel(79, 12)), Hex(0));
  EXPECT_EQ(Hex(b->GetSurface().Pixel(0, 12)), Hex(0));
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
