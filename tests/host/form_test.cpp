// Forms: building from a design, twips, control arrays, modal shows over an owner
// with timers still running, and the dialog keyboard (tab order, access keys,
// default and cancel).
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "host/ComboBox.h"
#include "host/Label.h"
#include "host/Line.h"
#include "host/ListBox.h"
#include "host/TextBox.h"
#include "host/Timer.h"
#include "host/Utf8.h"
#include "host/WideText.h"
#include "tests/host/AccessibleRead.h"
#include "tests/host/HostTest.h"

namespace fw::test {
namespace {

// A container that paints a vertical gradient from dark red to white, one row per
// pixel: row y has red 255 - y and green, blue y (clamped at 255).
class GradientBox : public UserControl {
 public:
  GradientBox() : UserControl(u"GradientBox", /*container=*/true) { SetCanGetFocus(false); }
  static COLORREF RowColour(int y) {
    const int v = std::min(y * 3, 255);
    return RGB(255 - v / 2, v, v);
  }

 protected:
  void OnResize() override { Draw(); }
  void OnPaint() override { Draw(); }

 private:
  void Draw() {
    for (int y = 0; y < ScaleHeight(); ++y) {
      FillSolid(hDC(), RECT{0, y, ScaleWidth(), y + 1}, RowColour(y));
    }
  }
};

void RegisterTestKinds() {
  RegisterControlKind(u"GradientBox", [] { return std::make_unique<GradientBox>(); });
  RegisterControlKind(u"RecordingControl", [] { return std::make_unique<RecordingControl>(); });
}

DesignNode Parse(std::u16string_view text) {
  DesignParseResult r = ParseDesign(text);
  EXPECT_TRUE(r.root.has_value()) << "line " << r.errorLine << ": " << r.error;
  return r.root ? *r.root : DesignNode{};
}

// Positions in twips; at 96 dpi a pixel is 15 twips.
constexpr char16_t kDesign[] = uR"(Begin Form ForTest
   Caption = "Host test 测试"
   ClientWidth = 4800
   ClientHeight = 3600
   BackColor = &H00FFFFFF&
   Begin GradientBox boxMain
      Left = 150
      Top = 300
      Width = 3000
      Height = 2250
      Begin Label lblName
         Left = 150
         Top = 150
         Width = 900
         Height = 255
         Caption = "&Name 名称"
      End
      Begin TextBox txtName
         Left = 1200
         Top = 150
         Width = 1500
         Height = 300
         Text = "first"
      End
      Begin ComboBox comKind
         Left = 1200
         Top = 600
         Width = 1500
         Height = 315
         Style = 2
         List = "diesel\r\npetrol"
         ListIndex = 1
      End
      Begin Label labPrice
         Index = 0
         Left = 150
         Top = 1050
         Width = 600
         Height = 180
         Caption = "7.62"
      End
      Begin Label labPrice
         Index = 1
         Left = 150
         Top = 1410
         Width = 600
         Height = 180
         Caption = "7.98"
      End
      Begin Label labPrice
         Index = 2
         Left = 157
         Top = 1778
         Width = 607
         Height = 187
         Caption = "8.41"
      End
      Begin Line Line1
         X1 = 60
         Y1 = 1000
         X2 = 2950
         Y2 = 1000
         BorderColor = &H00808080&
      End
   End
   Begin ListBox lstHidden
      Left = 6000
      Top = 4080
      Width = 1500
      Height = 900
      Visible = False
   End
   Begin Timer Timer1
      Interval = 1000
      Enabled = False
   End
   Begin NoSuchKind mystery
      Left = 0
   End
End
)";

class FormDesignTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestKinds();
    ASSERT_TRUE(form.Load(Parse(kDesign)));
    form.Show();
    Pump();
  }
  // A control's rectangle in its container's client area, pixels: its window's,
  // or for a windowless control the area its container draws it in.
  static RECT PlacedRect(const Control* c) {
    if (!c->hWnd()) return c->PixelRect();
    RECT rc{};
    GetWindowRect(c->hWnd(), &rc);
    MapWindowPoints(nullptr, GetParent(c->hWnd()), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  }
  // The window a control lies in.
  static HWND ParentOf(const Control* c) { return c->hWnd() ? GetParent(c->hWnd()) : c->ContainerHwnd(); }
  Form form;
};

TEST_F(FormDesignTest, FormTakesItsCaptionAndClientSizeInTwips) {
  EXPECT_EQ(form.Caption(), u"Host test 测试");
  RECT rc{};
  GetClientRect(form.hWnd(), &rc);
  EXPECT_EQ(rc.right, 320);   // 4800 / 15
  EXPECT_EQ(rc.bottom, 240);  // 3600 / 15
  EXPECT_EQ(form.ScaleWidth(), 4800);
  EXPECT_EQ(form.Name(), u"ForTest");
}

TEST_F(FormDesignTest, ControlsArePlacedInPixelsFromTwips) {
  struct Case {
    const char16_t* name;
    std::optional<int32_t> index;
    RECT pixels;
  };
  const Case kCases[] = {
      {u"boxMain", {}, {10, 20, 210, 170}},
      {u"lblName", {}, {10, 10, 70, 27}},     // 255 twips = 17 pixels
      {u"txtName", {}, {80, 10, 180, 30}},
      {u"labPrice", 0, {10, 70, 50, 82}},
      {u"labPrice", 1, {10, 94, 50, 106}},
      // 157 -> 10.47 -> 10; 1778 -> 118.53 -> 119; 607 -> 40.47 -> 40; 187 -> 12.47 -> 12
      {u"labPrice", 2, {10, 119, 50, 131}},
  };
  for (const Case& c : kCases) {
    Control* control = form.Find(c.name, c.index);
    ASSERT_NE(control, nullptr) << ToWide(c.name).size();
    const RECT got = PlacedRect(control);
    EXPECT_EQ(got.left, c.pixels.left) << control->QualifiedName().size();
    EXPECT_EQ(got.top, c.pixels.top);
    EXPECT_EQ(got.right, c.pixels.right);
    EXPECT_EQ(got.bottom, c.pixels.bottom);
  }
}

TEST_F(FormDesignTest, NestedBlocksLiveInTheirContainer) {
  Control* box = form.Find(u"boxMain");
  for (const char16_t* name : {u"lblName", u"txtName", u"comKind"}) {
    Control* c = form.Find(name);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Container(), box);
    EXPECT_EQ(ParentOf(c), box->hWnd());
    EXPECT_EQ(c->ParentForm(), &form);
  }
  EXPECT_EQ(form.Find(u"lstHidden")->Container(), nullptr);
  EXPECT_EQ(GetParent(form.Find(u"lstHidden")->hWnd()), form.hWnd());
}

TEST_F(FormDesignTest, ControlArrayMembersInIndexOrder) {
  const std::vector<Control*> prices = form.Array(u"LABPRICE");
  ASSERT_EQ(prices.size(), 3u);
  const char16_t* kCaptions[] = {u"7.62", u"7.98", u"8.41"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(prices[i]->Index(), i);
    EXPECT_EQ(static_cast<Label*>(prices[i])->Caption(), kCaptions[i]);
  }
  EXPECT_EQ(prices[2]->QualifiedName(), u"labPrice(2)");
  // The host binds each member's index into its handlers.
  std::vector<int32_t> clicked;
  form.BindArray<Label>(u"labPrice", [&](Label& l, int32_t index) {
    l.Click = [&clicked, index] { clicked.push_back(index); };
  });
  for (int i : {2, 0}) {
    SendMouse(*prices[i], WM_LBUTTONDOWN, MK_LBUTTON, 2, 2);
    SendMouse(*prices[i], WM_LBUTTONUP, 0, 2, 2);
  }
  EXPECT_EQ(clicked, (std::vector<int32_t>{2, 0}));
}

TEST_F(FormDesignTest, WindowTextsAreReadable) {
  // A label has no window: its container's accessible object names it, without
  // the access-key mark.
  std::vector<std::u16string> labels;
  for (const AccessiblePart& part : AccessibleParts(form.Find(u"boxMain")->hWnd())) {
    if (part.role == ROLE_SYSTEM_STATICTEXT) labels.push_back(part.name);
  }
  EXPECT_EQ(labels, (std::vector<std::u16string>{u"Name 名称", u"7.62", u"7.98", u"8.41"}));
  wchar_t text[64]{};
  GetWindowTextW(form.Find(u"txtName")->hWnd(), text, 64);
  EXPECT_STREQ(text, L"first");
  auto* combo = form.Get<ComboBox>(u"comKind");
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->ListCount(), 2);
  EXPECT_EQ(combo->ListIndex(), 1);
  EXPECT_EQ(combo->Text(), u"petrol");
}

TEST_F(FormDesignTest, UnknownKindsAndHiddenControlsAndTimers) {
  ASSERT_EQ(form.BuildErrors().size(), 1u);
  EXPECT_EQ(form.BuildErrors()[0], u"NoSuchKind mystery");
  Control* hidden = form.Find(u"lstHidden");
  EXPECT_FALSE(IsWindowVisible(hidden->hWnd()));
  EXPECT_TRUE(IsWindowVisible(form.Find(u"txtName")->hWnd()));
  auto* timer = form.Get<Timer>(u"Timer1");
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->hWnd(), nullptr);
  EXPECT_EQ(timer->Interval(), 1000);
  EXPECT_FALSE(timer->Enabled());
}

TEST_F(FormDesignTest, LineSpansItsEndsInPixels) {
  auto* line = form.Get<Line>(u"Line1");
  ASSERT_NE(line, nullptr);
  const RECT rc = PlacedRect(line);
  // X 60..2950 twips: pixels 4..197 (196.67 rounds up); one pixel high at y 67.
  EXPECT_EQ(rc.left, 4);
  EXPECT_EQ(rc.right, 4 + 193 + 1);
  EXPECT_EQ(rc.top, 67);
  EXPECT_EQ(rc.bottom, 68);
}

// The form taken to another dpi, as the platform does when the window moves to
// a monitor of another scale: the message is sent, as this platform has one
// monitor.
class FormDpiTest : public FormDesignTest {
 protected:
  void SendDpi(int dpi, const RECT& window) {
    RECT suggested = window;
    SendMessageW(form.hWnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    Pump();
  }
  static int FontHeight(HFONT font) {
    LOGFONTW lf{};
    GetObjectW(font, sizeof lf, &lf);
    return lf.lfHeight;
  }
};

TEST_F(FormDpiTest, EveryControlIsLaidOutAgainAtTheNewDpiAndBackExactly) {
  auto* rec = form.Add<RecordingControl>(u"rec", nullptr, 3300, 300, 1200, 600);
  ASSERT_NE(rec, nullptr);
  std::vector<std::pair<Control*, RECT>> at96;
  for (const auto& c : form.Controls()) {
    if (c->hWnd() || c->ContainerHwnd()) at96.emplace_back(c.get(), PlacedRect(c.get()));
  }
  ASSERT_GE(at96.size(), 9u);
  RECT window{};
  GetWindowRect(form.hWnd(), &window);
  HWND text = form.Find(u"txtName")->hWnd();
  auto* box = form.Get<GradientBox>(u"boxMain");
  // Tahoma 8.25 pt: 8.25 * 96 / 72 = 11 pixels; * 144 / 72 = 16.5, which rounds to 16.
  EXPECT_EQ(FontHeight(reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0))), -11);
  rec->events.clear();
  const int paints = rec->paints;

  // What the platform suggests: the window whose client area is the old one at 150 %.
  RECT suggested{0, 0, 480, 360};  // 4800 x 3600 twips at 10 twips a pixel
  AdjustWindowRectEx(&suggested, static_cast<DWORD>(GetWindowLongPtrW(form.hWnd(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(form.hWnd(), GWL_EXSTYLE)));
  OffsetRect(&suggested, window.left - suggested.left, window.top - suggested.top);
  SendDpi(144, suggested);
  EXPECT_EQ(form.Dpi(), 144);
  RECT client{};
  GetClientRect(form.hWnd(), &client);
  EXPECT_EQ(client.right, 480);
  EXPECT_EQ(client.bottom, 360);
  EXPECT_EQ(form.ScaleWidth(), 4800);
  for (const auto& [c, rc] : at96) {
    // Each edge within a pixel of its place in twips at 10 twips a pixel (a
    // control off the 96-dpi pixel grid, labPrice(2), is nearer to that than
    // to its rounded 96-dpi rectangle times 1.5).
    const RECT got = PlacedRect(c);
    const double left = c->Left() / 10.0, top = c->Top() / 10.0;
    EXPECT_NEAR(got.left, left, 1) << Utf16ToUtf8(c->QualifiedName());
    EXPECT_NEAR(got.top, top, 1) << Utf16ToUtf8(c->QualifiedName());
    EXPECT_NEAR(got.right, left + c->Width() / 10.0, 1) << Utf16ToUtf8(c->QualifiedName());
    // A drop-down list's field is as tall as its font makes it.
    if (c->Kind() != u"ComboBox") {
      EXPECT_NEAR(got.bottom, top + c->Height() / 10.0, 1) << Utf16ToUtf8(c->QualifiedName());
    }
  }
  // A one-pixel line is two pixels thick at 150 %.
  const RECT line = PlacedRect(form.Find(u"Line1"));
  EXPECT_EQ(line.bottom - line.top, 2);
  EXPECT_EQ(FontHeight(reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0))), -16);
  EXPECT_EQ(FontHeight(static_cast<HFONT>(GetCurrentObject(box->hDC(), OBJ_FONT))), -16);
  EXPECT_EQ(box->ScaleWidth(), 300);
  // The user control laid itself out and drew anew.
  EXPECT_NE(std::find(rec->events.begin(), rec->events.end(), Event{"Resize"}), rec->events.end());
  UpdateWindow(rec->hWnd());
  EXPECT_GT(rec->paints, paints);

  SendDpi(96, window);
  EXPECT_EQ(form.Dpi(), 96);
  for (const auto& [c, rc] : at96) {
    const RECT got = PlacedRect(c);
    EXPECT_TRUE(EqualRect(&got, &rc)) << Utf16ToUtf8(c->QualifiedName()) << " " << got.left << ","
                                      << got.top << "," << got.right << "," << got.bottom;
  }
  EXPECT_EQ(FontHeight(reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0))), -11);
  EXPECT_EQ(FontHeight(static_cast<HFONT>(GetCurrentObject(box->hDC(), OBJ_FONT))), -11);
}

TEST_F(FormDesignTest, LabelsSitOnTheContainersGradient) {
  // An empty-captioned label is all background: every pixel must be the gradient
  // row the container drew under it, never a grey box.
  auto* box = form.Get<GradientBox>(u"boxMain");
  auto* label = form.Get<Label>(u"labPrice", 1);
  label->SetCaption(u"");
  const RECT at = PlacedRect(label);
  Surface shot;
  ASSERT_TRUE(shot.Resize(at.right - at.left, at.bottom - at.top, RGB(1, 2, 3)));
  PrintArea(*label, shot.Dc());
  int wrong = 0;
  for (int y = 0; y < shot.Height(); ++y) {
    for (int x = 0; x < shot.Width(); ++x) {
      wrong += shot.Pixel(x, y) != box->GetSurface().Pixel(at.left + x, at.top + y);
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(shot.Pixel(0, 0), GradientBox::RowColour(at.top));
  // With a caption, the pixels right of the text still show the gradient.
  label->SetCaption(u"1");
  PrintArea(*label, shot.Dc());
  const int right = shot.Width() - 1;
  for (int y = 0; y < shot.Height(); ++y) {
    EXPECT_EQ(shot.Pixel(right, y), GradientBox::RowColour(at.top + y)) << "row " << y;
  }
  // And on the screen, after the container repaints.
  box->Refresh();
  unique_hdc_window dc(box->hWnd());
  EXPECT_EQ(GetPixel(dc.get(), at.left + right, at.top + 3), GradientBox::RowColour(at.top + 3));
}

TEST_F(FormDesignTest, SavedDesignReadsBackTheSame) {
  const DesignNode saved = form.SaveDesign();
  const std::u16string text = WriteDesign(saved);
  const DesignNode again = Parse(text);
  EXPECT_EQ(saved, again);
  const DesignNode* price = FindChild(again, u"labPrice", 2);
  ASSERT_NE(price, nullptr);
  EXPECT_EQ(price->props.ReadText(u"Caption", u""), u"8.41");
  EXPECT_EQ(price->props.ReadInt32(u"Left", 0), 157) << "twips are kept as designed";
  const DesignNode* name = FindChild(again, u"txtName");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->props.ReadText(u"Text", u""), u"first");
}

TEST(FormBuild, TwipsToPixelsAtNinetySixDpi) {
  struct Case {
    int32_t twips;
    int pixels;
  };
  // twips * 96 / 1440, rounded to nearest.
  const Case kCases[] = {{0, 0}, {7, 0}, {8, 1}, {15, 1}, {22, 1}, {23, 2}, {1440, 96},
                         {6420, 428}, {4110, 274}, {-15, -1}, {-23, -2}};
  for (const Case& c : kCases) EXPECT_EQ(TwipsToPixelsX(c.twips), c.pixels) << c.twips;
  EXPECT_DOUBLE_EQ(TwipsPerPixelX(), 15.0);
  EXPECT_EQ(PixelsToTwipsY(17), 255);
}

TEST(FormBuild, DesignFromAResource) {
  Form form;
  ASSERT_TRUE(form.LoadFromResource(u"HOSTTEST")) << (form.BuildErrors().empty() ? "" : "error");
  EXPECT_EQ(form.Caption(), u"资源 design");
  ASSERT_NE(form.Find(u"lblOne"), nullptr);
  EXPECT_EQ(static_cast<Label*>(form.Find(u"lblOne"))->Caption(), u"价格");
  Form missing;
  EXPECT_FALSE(missing.LoadFromResource(u"NOSUCHDESIGN"));
  EXPECT_FALSE(missing.IsLoaded());
}

TEST(FormBuild, ValuesOfTheWrongKindAreListedAndTheDefaultsKept) {
  DesignNode design = Parse(uR"(Begin Form ForKinds
   BackColor = "white"
   Begin Label lblA
      Caption = 12
      Visible = "yes"
   End
   Begin TextBox txtA
      Index = 3
      MaxLength = -7
      Alignment = "Blue"
      Text = "kept"
   End
End
)");
  Form form;
  ASSERT_TRUE(form.Load(design));
  const std::vector<std::u16string> want{
      u"ForKinds line 2: ForKinds property BackColor = \"white\": expected a colour, &H and up to "
      u"eight hex digits and &; the default is kept",
      u"ForKinds line 5: lblA property Visible = \"yes\": expected True or False; the default is kept",
      u"ForKinds line 4: lblA property Caption = 12: expected a text in double quotes; the default is kept",
      u"ForKinds line 10: txtA(3) property Alignment = \"Blue\": expected a whole number; the default is kept",
      u"ForKinds line 9: txtA(3) property MaxLength = -7: expected a whole number 0 or above; the "
      u"default is kept",
  };
  EXPECT_EQ(form.BuildErrors(), want);
  EXPECT_EQ(form.BackColor(), Colour(0x8000000Fu));
  EXPECT_EQ(static_cast<Label*>(form.Find(u"lblA"))->Caption(), u"lblA") << "a label's default: its name";
  EXPECT_TRUE(form.Find(u"lblA")->Visible());
  auto* text = form.Get<TextBox>(u"txtA", 3);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->MaxLength(), 0);
  EXPECT_EQ(text->Text(), u"kept");
  form.Unload();
}

// A fraction where a whole number is read is listed like any value of the wrong
// kind; a name neither the form nor the control asks for is listed with the
// nearest name it does ask for, when one is near.
TEST(FormBuild, FractionsForWholeNumbersAndMisspeltNamesAreListed) {
  DesignNode design = Parse(uR"(Begin Form ForSlips
   Captoin = "x"
   Begin TextBox txtA
      MaxLength = 1.5
      Txt = "kept"
      Left = 150.0
      Zorglub = 3
   End
   Begin Label lblA
      Index = 2
      captin = "y"
      Caption = "z"
   End
End
)");
  Form form;
  ASSERT_TRUE(form.Load(design));
  const std::vector<std::u16string> want{
      u"ForSlips line 2: ForSlips property Captoin = \"x\": no such property (did you mean Caption?); "
      u"the value is ignored",
      u"ForSlips line 4: txtA property MaxLength = 1.5: expected a whole number; the default is kept",
      u"ForSlips line 5: txtA property Txt = \"kept\": no such property (did you mean Text?); the value "
      u"is ignored",
      u"ForSlips line 7: txtA property Zorglub = 3: no such property; the value is ignored",
      u"ForSlips line 11: lblA(2) property captin = \"y\": no such property (did you mean Caption?); the "
      u"value is ignored",
  };
  EXPECT_EQ(form.BuildErrors(), want);
  auto* text = form.Get<TextBox>(u"txtA");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->MaxLength(), 0);
  EXPECT_EQ(text->Text(), u"") << "a misspelt name sets nothing";
  EXPECT_EQ(text->Left(), 150);
  EXPECT_EQ(form.Caption(), u"ForSlips");
  form.Unload();
}

// The form's tooltip draws in the form's font, so a Chinese tip shows in a
// Chinese form whatever face the platform gives tooltips.
TEST(FormBuild, TheTooltipDrawsInTheFormsFont) {
  DesignNode design = Parse(uR"(Begin Form ForTip
   BeginProperty Font
      Name = "宋体"
      Size = 9
      Charset = 134
   EndProperty
   Begin PictureBox picChart
      Width = 1500
      Height = 1500
      ToolTipText = "数据来源于油价网"
   End
End
)");
  Form form;
  ASSERT_TRUE(form.Load(design));
  auto tipFace = [&] {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(form.ToolTipHwnd(), WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return std::wstring(lf.lfFaceName);
  };
  EXPECT_EQ(tipFace(), L"宋体");
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(form.ToolTipHwnd(), WM_GETFONT, 0, 0));
  HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  const wchar_t text[] = L"数据来源于油价网";
  WORD glyphs[8]{};
  ASSERT_EQ(GetGlyphIndicesW(dc, text, 8, glyphs, GGI_MARK_NONEXISTING_GLYPHS), 8u);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(std::count(std::begin(glyphs), std::end(glyphs), WORD{0xFFFF}), 0) << "missing glyphs";
  form.GetFont()->SetName(u"Verdana");
  EXPECT_EQ(tipFace(), L"Verdana") << "follows the form's font";
  form.Unload();
}

// -- Modal forms

class TickingOwner : public Form {
 public:
  Form* modal = nullptr;
  int ticks = 0;
  bool ownerWasDisabled = true;
  bool modalWasVisible = true;

 protected:
  void OnLoad() override {
    auto* timer = Get<Timer>(u"tmr");
    timer->Tick = [this] {
      ++ticks;
      ownerWasDisabled = ownerWasDisabled && !IsWindowEnabled(hWnd());
      modalWasVisible = modalWasVisible && modal->Visible();
      if (ticks == 3) modal->Unload();
    };
  }
};

TEST(FormModal, OwnerIsDisabledWhileItsTimerStillFires) {
  TickingOwner owner;
  ASSERT_TRUE(owner.Load(Parse(uR"(Begin Form ForOwner
   ClientWidth = 3000
   ClientHeight = 2000
   Begin Timer tmr
      Interval = 20
   End
End
)")));
  owner.Show();
  Form modal;
  ASSERT_TRUE(modal.Create(2000, 1000, u"modal"));
  owner.modal = &modal;
  modal.ShowModal(&owner);
  EXPECT_EQ(owner.ticks, 3) << "the owner's timer ran inside the modal loop";
  EXPECT_TRUE(owner.ownerWasDisabled);
  EXPECT_TRUE(owner.modalWasVisible);
  EXPECT_TRUE(IsWindowEnabled(owner.hWnd())) << "enabled again afterwards";
  EXPECT_FALSE(modal.IsLoaded());
  EXPECT_FALSE(modal.IsModal());
}

TEST(FormModal, HideAlsoEndsTheModalLoop) {
  Form owner;
  ASSERT_TRUE(owner.Create(3000, 2000));
  owner.Show();
  Form modal;
  ASSERT_TRUE(modal.Create(2000, 1000));
  auto* timer = modal.Add<Timer>(u"t", nullptr, 0, 0, 0, 0);
  timer->SetInterval(20);
  timer->Tick = [&] { modal.Hide(); };
  modal.ShowModal(&owner);
  EXPECT_TRUE(modal.IsLoaded()) << "hidden, not unloaded";
  EXPECT_FALSE(modal.Visible());
  EXPECT_TRUE(IsWindowEnabled(owner.hWnd()));
}

class EndingTimer : public Timer {
 public:
  bool ended = false;

 protected:
  void OnTerminate() override {
    Timer::OnTerminate();
    ended = true;
  }
};

TEST(FormEnd, AFormWhoseWindowGoesWithItsOwnerEndsEveryControl) {
  Form owner;
  ASSERT_TRUE(owner.Create(3000, 2000, u"owner"));
  owner.Show();
  auto owned = std::make_unique<Form>();
  ASSERT_TRUE(owned->Create(2000, 1000, u"owned"));
  SetWindowLongPtrW(owned->hWnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner.hWnd()));
  auto* timer = owned->Add<EndingTimer>(u"tmrOwned", nullptr, 0, 0, 0, 0);
  timer->SetInterval(20);
  auto* text = owned->Add<TextBox>(u"txtOwned", nullptr, 0, 0, 900, 300);
  owned->Show();
  // The platform destroys the windows an owner owns along with it.
  owner.Unload();
  EXPECT_FALSE(owned->IsLoaded());
  EXPECT_EQ(text->hWnd(), nullptr);
  EXPECT_TRUE(timer->ended) << "a control without a window ends with the form too";
  // Its end must not reach into the form's timer table once that is gone.
  owned.reset();
}

// -- Keyboard

class FormKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestKinds();
    SetModifiers(false, false, false);
    ASSERT_TRUE(form.Load(Parse(uR"(Begin Form ForKeys
   ClientWidth = 4800
   ClientHeight = 3600
   Begin TextBox txtFirst
      Left = 150
      Top = 150
      Width = 1500
      Height = 300
   End
   Begin Label lblCity
      Left = 150
      Top = 600
      Width = 900
      Height = 255
      Caption = "&City"
   End
   Begin TextBox txtCity
      Left = 1200
      Top = 600
      Width = 1500
      Height = 300
   End
   Begin RecordingControl cmdGo
      Left = 150
      Top = 1050
      Width = 1200
      Height = 450
      Default = True
   End
   Begin RecordingControl cmdStop
      Left = 1500
      Top = 1050
      Width = 1200
      Height = 450
      Cancel = True
   End
   Begin Label lblNote
      Left = 150
      Top = 1650
      Width = 900
      Height = 255
      Caption = "no && key"
   End
End
)")));
    go = form.Get<RecordingControl>(u"cmdGo");
    stop = form.Get<RecordingControl>(u"cmdStop");
    go->SetAccessKeys(u"G");
    go->SetDefaultCancel(true);
    stop->SetDefaultCancel(true);
    form.Show();
    Pump();
    go->events.clear();
    stop->events.clear();
  }
  void TearDown() override { SetModifiers(false, false, false); }

  // Offers a key message to the form as its message loop would.
  bool Key(UINT message, WPARAM key, LPARAM lParam = 1) {
    MSG msg{GetFocus(), message, key, lParam, 0, {}};
    if (Form::PreTranslateMessage(msg)) {
      Pump();
      return true;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    Pump();
    return false;
  }
  HWND Hwnd(const char16_t* name) { return form.Find(name)->hWnd(); }

  Form form;
  RecordingControl* go = nullptr;
  RecordingControl* stop = nullptr;
};

TEST_F(FormKeysTest, FirstTabStopHasTheFocusAndTabWalksTheOrder) {
  EXPECT_EQ(GetFocus(), Hwnd(u"txtFirst"));
  const char16_t* kForward[] = {u"txtCity", u"cmdGo", u"cmdStop", u"txtFirst"};
  for (const char16_t* name : kForward) {
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(GetFocus(), Hwnd(name)) << "labels are skipped; after " << form.ActiveControl()->Name().size();
  }
  SetModifiers(true, false, false);
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_TAB));
  EXPECT_EQ(GetFocus(), Hwnd(u"cmdStop")) << "Shift+Tab goes back";
}

TEST_F(FormKeysTest, LabelAccessKeyFocusesTheNextControl) {
  // Alt+C: WM_SYSCHAR 'c' (context bit set).
  EXPECT_TRUE(Key(WM_SYSCHAR, 'c', 0x20000001));
  EXPECT_EQ(GetFocus(), Hwnd(u"txtCity"));
  // A doubled ampersand is no access key: Alt+K finds nothing.
  SetFocus(Hwnd(u"txtFirst"));
  Key(WM_SYSCHAR, 'k', 0x20000001);
  EXPECT_EQ(GetFocus(), Hwnd(u"txtFirst"));
}

TEST_F(FormKeysTest, UserControlAccessKeyTakesFocusThenRaisesTheEvent) {
  EXPECT_TRUE(Key(WM_SYSCHAR, 'g', 0x20000001));
  const Event want[] = {{"GotFocus"}, {"AccessKeyPress", 'g'}};
  ExpectSequence(go->events, want, "Alt+G on the control owning G");
  EXPECT_EQ(GetFocus(), go->hWnd());
}

TEST_F(FormKeysTest, EnterPressesTheDefaultAndEscapeTheCancel) {
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_RETURN));
  EXPECT_TRUE(Key(WM_KEYDOWN, VK_ESCAPE));
  const Event kGo[] = {{"AccessKeyPress", 13}};
  const Event kStop[] = {{"AccessKeyPress", 27}};
  ExpectSequence(go->events, kGo, "Enter on a text box");
  ExpectSequence(stop->events, kStop, "Escape");
  EXPECT_EQ(GetFocus(), Hwnd(u"txtFirst")) << "the focus stays";
}

TEST_F(FormKeysTest, EnterOnAFocusedButtonGoesToThatButton) {
  SetFocus(stop->hWnd());
  stop->events.clear();
  go->events.clear();
  Key(WM_KEYDOWN, VK_RETURN);
  const Event want[] = {{"KeyDown", VK_RETURN, 0}, {"KeyPress", 13}};
  ExpectSequence(stop->events, want, "Enter on the focused button-like control");
  ExpectSequence(go->events, nullptr, "the default control");
}

TEST_F(FormKeysTest, DisplayAsDefaultFollowsTheFocus) {
  EXPECT_TRUE(go->Ambient().displayAsDefault);
  SetFocus(stop->hWnd());
  EXPECT_FALSE(go->Ambient().displayAsDefault);
  EXPECT_TRUE(stop->Ambient().displayAsDefault);
  const Event kGo[] = {{"AmbientChanged:DisplayAsDefault"}};
  ExpectSequence(go->events, kGo, "the default control loses the look");
}

TEST_F(FormKeysTest, SendTabMovesTheFocusAfterTheCurrentMessage) {
  SetFocus(go->hWnd());
  go->SendTab(false);
  EXPECT_EQ(GetFocus(), go->hWnd()) << "not before the queue runs";
  Pump();
  EXPECT_EQ(GetFocus(), stop->hWnd());
  stop->SendTab(true);
  stop->SendTab(true);
  Pump();
  EXPECT_EQ(GetFocus(), Hwnd(u"txtCity"));
}

TEST_F(FormKeysTest, FocusReturnsAfterDeactivation) {
  SetFocus(Hwnd(u"txtCity"));
  Form other;
  ASSERT_TRUE(other.Create(1500, 1500));
  other.Show();
  SetActiveWindow(other.hWnd());
  SetActiveWindow(form.hWnd());
  EXPECT_EQ(GetFocus(), Hwnd(u"txtCity"));
}

}  // namespace
}  // namespace fw::test
