// The gradient label on a real form under the host: the pixels of each style,
// worked out from the label's drawing routines (rows listed by hand, or for long
// gradients from the formula a + i * (b - a) / n written out here), what each
// write reports, and what the label saves and reads back.

#include "controls/skLabel/skLabel.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <oleacc.h>

#include "host/ColourWin.h"
#include "host/DesignFile.h"
#include "host/Form.h"
#include "host/Gdi.h"
#include "tests/host/AccessibleRead.h"

namespace fw {
namespace {

constexpr COLORREF kSentinel = RGB(0x12, 0x34, 0x56);
constexpr int kW = 160, kH = 24;  // 2400 x 360 twips
constexpr COLORREF kBlack = 0, kWhite = 0xFFFFFF;

std::string Hex(COLORREF c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06lX", static_cast<unsigned long>(c));
  return buf;
}

// Row y, columns x0 .. x1: the first pixel that differs from want(x), as text.
std::string RowMismatch(const Surface& s, int y, int x0, int x1,
                        const std::function<COLORREF(int)>& want) {
  for (int x = x0; x <= x1; ++x) {
    if (s.Pixel(x, y) != want(x)) {
      return "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " + Hex(s.Pixel(x, y)) +
             ", expected " + Hex(want(x));
    }
  }
  return {};
}
std::string RowIs(const Surface& s, int y, COLORREF c) {
  return RowMismatch(s, y, 0, s.Width() - 1, [c](int) { return c; });
}
// A framed row: the frame colour at both ends, `inside` between.
std::string FramedRow(const Surface& s, int y, COLORREF frame, COLORREF inside) {
  const int last = s.Width() - 1;
  return RowMismatch(s, y, 0, last, [&](int x) { return x == 0 || x == last ? frame : inside; });
}

// Row i of n from a to b, per channel rounded half to even (the C library's
// nearbyint rounds so in the default mode).
COLORREF Mix(COLORREF a, COLORREF b, int i, int n) {
  COLORREF out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    out |= static_cast<COLORREF>(std::nearbyint(ca + i * (cb - ca) / n)) << shift;
  }
  return out;
}

class skLabelTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterskLabel();
    s_form = new Form;
    ASSERT_TRUE(s_form->Create(6000, 3000, u"skLabel test"));
    s_form->SetStartUpPosition(0);
    s_form->Move(0, 0);
    s_form->Show();
  }
  static void TearDownTestSuite() {
    s_form->Unload();
    delete s_form;
    s_form = nullptr;
  }
  void SetUp() override {
    s_form->PropertyChangedHook = [this](Control&, std::u16string_view name) {
      m_changes.emplace_back(name);
    };
    m_label = Place(kW, kH);
    ASSERT_NE(m_label, nullptr);
    m_label->SetCaption(u"");
    m_changes.clear();
  }
  void TearDown() override {
    s_form->PropertyChangedHook = nullptr;
    for (skLabel* l : m_placed) l->Destroy();
    UserControl::DoEvents();
  }

  skLabel* Place(int w, int h, const PropertyStore* props = nullptr) {
    const std::string n = std::to_string(++s_serial);
    auto* l = s_form->Add<skLabel>(u"skLabel" + std::u16string(n.begin(), n.end()), nullptr, 0, 0,
                                   w * 15, h * 15, {}, props);
    if (l) m_placed.push_back(l);
    return l;
  }
  // The sentinel everywhere, then the label draws itself anew.
  static void Repaint(skLabel* l) {
    FillSolid(l->hDC(), RECT{0, 0, l->ScaleWidth(), l->ScaleHeight()}, kSentinel);
    l->Redraw();
  }
  COLORREF AmbientBack() const { return ToColorRef(s_form->BackColor()); }

  static inline Form* s_form = nullptr;
  static inline int s_serial = 0;
  skLabel* m_label = nullptr;
  std::vector<skLabel*> m_placed;
  std::vector<std::u16string> m_changes;
};

TEST_F(skLabelTest, NewLabelTakesTheDefaultsAndSavesNothing) {
  skLabel* fresh = Place(kW, kH);
  EXPECT_EQ(fresh->Caption(), fresh->Name());
  EXPECT_EQ(fresh->Style(), 1);
  EXPECT_EQ(fresh->ThemeColor(), 0);
  EXPECT_EQ(fresh->Alignment(), 2);
  EXPECT_EQ(fresh->TextFormat(), 37u);
  EXPECT_EQ(fresh->IconSize(), 16);
  EXPECT_EQ(fresh->BackColor(), s_form->BackColor());
  EXPECT_EQ(fresh->FillColor(), s_form->BackColor());
  EXPECT_NE(fresh->GetFont(), s_form->GetFont()) << "a font object of its own";
  PropertyStore saved;
  fresh->WriteProperties(saved);
  EXPECT_TRUE(saved.Empty()) << "the new label's values are the saved defaults";
}

TEST_F(skLabelTest, StyleOneThemeZeroBandsAndBody) {
  Repaint(m_label);
  const Surface& s = m_label->GetSurface();
  const COLORREF end = RGB(221, 236, 254), start = RGB(129, 169, 226), frame = RGB(0, 0, 128);
  // The three-row bands, by hand: (190.33, 213.67, 244.67) and (159.67, 191.33, 235.33).
  const COLORREF band1 = RGB(190, 214, 245), band2 = RGB(160, 191, 235);
  EXPECT_EQ(RowIs(s, 0, frame), "");
  EXPECT_EQ(FramedRow(s, 1, frame, band1), "");
  EXPECT_EQ(FramedRow(s, 2, frame, band2), "");
  EXPECT_EQ(RowIs(s, 3, frame), "");
  // The body's gradient runs over SH = 24 steps from row 3; row 15 is step 12,
  // whose green 236 - 33.5 = 202.5 rounds to the even 202.
  EXPECT_EQ(FramedRow(s, 15, frame, RGB(175, 202, 240)), "");
  EXPECT_EQ(FramedRow(s, 4, frame, RGB(217, 233, 253)), "");
  for (int y = 4; y <= 19; ++y) EXPECT_EQ(FramedRow(s, y, frame, Mix(end, start, y - 3, 24)), "");
  EXPECT_EQ(RowIs(s, 20, frame), "");
  EXPECT_EQ(FramedRow(s, 21, frame, band1), "");
  EXPECT_EQ(FramedRow(s, 22, frame, band2), "");
  EXPECT_EQ(RowIs(s, 23, frame), "");
}

TEST_F(skLabelTest, CustomThemeBandsRunFromBlueToRed) {
  m_label->SetColorFrom(Rgb(255, 0, 0));
  m_label->SetColorTo(Rgb(0, 0, 255));
  m_label->SetFrameColor(Rgb(0, 128, 0));
  m_label->SetThemeColor(5);
  Repaint(m_label);
  const Surface& s = m_label->GetSurface();
  const COLORREF frame = RGB(0, 128, 0);
  EXPECT_EQ(FramedRow(s, 1, frame, RGB(85, 0, 170)), "");
  EXPECT_EQ(FramedRow(s, 2, frame, RGB(170, 0, 85)), "");
  EXPECT_EQ(FramedRow(s, 4, frame, RGB(11, 0, 244)), "");  // 10.625 and 244.375
  EXPECT_EQ(FramedRow(s, 21, frame, RGB(85, 0, 170)), "");
  // Under theme 5 a new frame colour is the frame in use at once.
  m_label->SetFrameColor(Rgb(1, 2, 3));
  EXPECT_EQ(RowIs(m_label->GetSurface(), 0, RGB(1, 2, 3)), "");
}

TEST_F(skLabelTest, ThemeWrittenWithItsValueChangesNothing) {
  Repaint(m_label);
  FillSolid(m_label->hDC(), RECT{0, 0, kW, kH}, kSentinel);
  m_label->SetThemeColor(0);
  EXPECT_TRUE(m_changes.empty());
  EXPECT_EQ(m_label->GetSurface().Pixel(5, 5), kSentinel) << "not redrawn";
  m_label->SetThemeColor(2);
  EXPECT_EQ(m_changes, std::vector<std::u16string>{u"ThemeColor"});
  EXPECT_EQ(m_label->GetSurface().Pixel(0, 0), RGB(63, 93, 56));
}

TEST_F(skLabelTest, StyleZeroIsAFramedBoxInTheFillColour) {
  m_label->SetStyle(0);
  EXPECT_EQ(m_label->TextColor(), Colour(0xCF3603));
  EXPECT_EQ(m_label->FrameColor(), Rgb(195, 195, 195));
  EXPECT_EQ(m_label->Alignment(), 0);
  EXPECT_EQ(m_label->FillColor(), s_form->BackColor());
  m_label->SetFillColor(Rgb(250, 240, 230));
  Repaint(m_label);
  const Surface& s = m_label->GetSurface();
  const COLORREF frame = RGB(195, 195, 195);
  EXPECT_EQ(RowIs(s, 0, frame), "");
  for (int y = 1; y < kH - 1; ++y) EXPECT_EQ(FramedRow(s, y, frame, RGB(250, 240, 230)), "");
  EXPECT_EQ(RowIs(s, kH - 1, frame), "");
}

TEST_F(skLabelTest, StyleTwoTakesItsDefaultsAndRoundsItsEnds) {
  m_label->SetStyle(2);
  EXPECT_EQ(m_changes, std::vector<std::u16string>{u"Style"});
  EXPECT_EQ(m_label->TextColor(), Colour(0));
  EXPECT_EQ(m_label->FrameColor(), Colour(0x6A6A6A));
  EXPECT_EQ(m_label->TextBoxColor(), Colour(0xB0EFF0));
  EXPECT_EQ(m_label->Alignment(), 2);
  EXPECT_TRUE(m_label->RoundedCornerTxtBox());
  Repaint(m_label);
  const Surface& s = m_label->GetSurface();
  const COLORREF back = AmbientBack(), frame = 0x6A6A6A, fill = 0xB0EFF0;
  // Half circles of diameter SH at both ends: the corners stay the back colour,
  // the straight edges and the ends' outermost points are frame.
  for (POINT p : {POINT{0, 0}, POINT{2, 1}, POINT{159, 0}, POINT{0, 23}, POINT{157, 22}}) {
    EXPECT_EQ(s.Pixel(p.x, p.y), back) << p.x << ", " << p.y;
  }
  for (POINT p : {POINT{80, 0}, POINT{80, 23}, POINT{0, 12}, POINT{159, 12}}) {
    EXPECT_EQ(s.Pixel(p.x, p.y), frame) << p.x << ", " << p.y;
  }
  EXPECT_EQ(RowMismatch(s, 12, 1, kW - 2, [&](int) { return fill; }), "");
  m_label->SetRoundedCornerTxtBox(false);
  Repaint(m_label);
  EXPECT_EQ(RowIs(m_label->GetSurface(), 0, frame), "");
  EXPECT_EQ(FramedRow(m_label->GetSurface(), 1, frame, fill), "");
}

TEST_F(skLabelTest, StyleThreeRowsFromTheTable) {
  m_label->SetStyle(3);
  Repaint(m_label);
  // Blue set, SH = 24: rows 1 .. 11 from the top, the fill on 12, then SH - 11 .. SH - 1.
  const COLORREF blue[kH] = {0,        0xF1D4C9, 0xE5C8BD, 0xE8C0A1, 0xE0B898, 0xE3B48E,
                             0xE0B18B, 0xE9B47F, 0xCE9963, 0xDDA064, 0xE2A66A, 0xE6AC76,
                             0xE2A66A, 0xE6AC76, 0xF1B681, 0xF3BD8A, 0xFCC592, 0xF8CE97,
                             0xFED59E, 0xF7DDA3, 0xFFE6AD, 0xE9E2C5, 0xE9E2C5, 0xE9E2C5};
  const Surface& s = m_label->GetSurface();
  EXPECT_EQ(RowIs(s, 0, AmbientBack()), "") << "row 0 keeps the background";
  for (int y = 1; y < kH; ++y) EXPECT_EQ(RowIs(s, y, blue[y]), "") << "blue row " << y;

  m_label->SetThemeColor(3);
  Repaint(m_label);
  EXPECT_EQ(RowIs(s, 8, 0xE1E1E1), "") << "grey set";
  EXPECT_EQ(RowIs(s, 18, 0xFFFFFF), "") << "grey set";

  // A bar 10 high: the bottom rows land on the top ones and cover them, row 0 too.
  skLabel* low = Place(kW, 10);
  low->SetCaption(u"");
  low->SetStyle(3);
  Repaint(low);
  const COLORREF shortBar[10] = {0xF1B681, 0xF3BD8A, 0xFCC592, 0xF8CE97, 0xFED59E,
                                 0xF7DDA3, 0xFFE6AD, 0xE9E2C5, 0xE9E2C5, 0xE9E2C5};
  for (int y = 0; y < 10; ++y) EXPECT_EQ(RowIs(low->GetSurface(), y, shortBar[y]), "") << y;
}

TEST_F(skLabelTest, StyleFourTitleBandAndDots) {
  m_label->SetStyle(4);
  Repaint(m_label);
  const Surface& s = m_label->GetSurface();
  // The body: the average of (129, 169, 226) and white, (192, 212, 240), framed black.
  const COLORREF body = RGB(192, 212, 240);
  // White to the gradient start in 6 steps, rows 1 .. 5 worked by hand (row 3's
  // blue is 240.5, to even 240).
  const COLORREF band[7] = {0, RGB(234, 241, 250), RGB(213, 226, 245), RGB(192, 212, 240),
                            RGB(171, 198, 236), RGB(150, 183, 231), 0};
  const COLORREF dark = RGB(64, 84, 113);  // the average of black and the start
  EXPECT_EQ(RowIs(s, 0, kBlack), "");
  EXPECT_EQ(FramedRow(s, 1, kBlack, band[1]), "");
  // Dots at x = 63, 67, ... 95: dark on (x, 2) to (x + 1, 3), white behind on
  // (x + 1, 3) to (x + 2, 4), the dark square drawn last.
  // The pixel (x, y) of rows 2 .. 4 for column k = x - 63 of the dot run.
  auto dotRow = [&](int y) {
    return [&, y](int x) -> COLORREF {
      if (x == 0 || x == kW - 1) return kBlack;
      const int k = x - 63, d = k % 4;
      const bool dot = k >= 0 && k / 4 < 9;
      if (dot && y < 4 && d < 2) return dark;
      if (dot && ((y == 3 && d == 2) || (y == 4 && (d == 1 || d == 2)))) return kWhite;
      return band[y];
    };
  };
  for (int y = 2; y <= 4; ++y) EXPECT_EQ(RowMismatch(s, y, 0, kW - 1, dotRow(y)), "") << y;
  EXPECT_EQ(FramedRow(s, 5, kBlack, band[5]), "");
  EXPECT_EQ(RowIs(s, 6, kBlack), "");
  for (int y = 7; y < kH - 1; ++y) EXPECT_EQ(FramedRow(s, y, kBlack, body), "") << y;
  EXPECT_EQ(RowIs(s, kH - 1, kBlack), "");
}

// A 16 x 16 picture of one colour, to find where the icon went.
std::shared_ptr<Picture> SolidPicture(COLORREF c) {
  unique_hdc_window screen(nullptr);
  unique_hbitmap bmp(CreateCompatibleBitmap(screen.get(), 16, 16));
  unique_hdc dc(CreateCompatibleDC(screen.get()));
  {
    unique_select sel(dc.get(), bmp.get());
    FillSolid(dc.get(), RECT{0, 0, 16, 16}, c);
  }
  return Picture::FromBitmap(std::move(bmp));
}

TEST_F(skLabelTest, CaptionAndIconPlacedPerAlignment) {
  constexpr COLORREF kIcon = RGB(1, 200, 3);
  m_label->SetStyle(0);  // a white face inside the frame: the text is what differs
  m_label->SetFillColor(Colour(kWhite));
  m_label->SetPicture(SolidPicture(kIcon));
  m_label->SetCaption(u"WWWW");
  const int width = m_label->TextWidth(u"WWWW");
  struct Case {
    int32_t alignment, iconAlignment;
    int iconX, textLeft;  // the icon's corner; where the text starts, 2 pixels either way
  } cases[] = {{0, 0, 6, 21 + 22},
               {1, 1, kW - 6 - 16, kW - 21 - 22 - width},
               {2, 0, 6, 43 + (kW - 21 - 22 - 43 - width) / 2}};
  for (const Case& c : cases) {
    m_label->SetAlignment(c.alignment);
    m_label->SetIconAlignment(c.iconAlignment);
    Repaint(m_label);
    const Surface& s = m_label->GetSurface();
    // The icon covers exactly 16 x 16 pixels from (iconX, (24 - 16) / 2).
    EXPECT_EQ(s.Pixel(c.iconX, 4), kIcon) << c.alignment;
    EXPECT_EQ(s.Pixel(c.iconX + 15, 19), kIcon);
    EXPECT_NE(s.Pixel(c.iconX + 16, 19), kIcon);
    EXPECT_NE(s.Pixel(c.iconX + 15, 20), kIcon);
    int minX = kW, maxX = -1;
    for (int y = 1; y < kH - 1; ++y) {
      for (int x = 1; x < kW - 1; ++x) {
        if (s.Pixel(x, y) == kWhite || s.Pixel(x, y) == kIcon) continue;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
      }
    }
    EXPECT_NEAR(minX, c.textLeft, 2) << c.alignment;
    EXPECT_LE(maxX, c.textLeft + width + 2) << c.alignment;
  }
  // Another IconSize draws the picture scaled to it.
  m_label->SetIconAlignment(0);
  m_label->SetIconSize(20);
  Repaint(m_label);
  EXPECT_EQ(m_label->GetSurface().Pixel(6 + 19, 2 + 19), kIcon);
  EXPECT_NE(m_label->GetSurface().Pixel(6 + 20, 2 + 19), kIcon);
}

TEST_F(skLabelTest, WritesReportAndSavedPropertiesRoundTrip) {
  m_label->SetStyle(4);
  m_label->SetCaption(u"\u6240\u5728\u57CE\u5E02");
  m_label->SetAlignment(1);
  m_label->SetTextColor(Colour(0x112233));
  m_label->SetBackColor(Colour(0xFFFFFF));
  m_label->SetIconAlignment(1);
  m_label->SetIconSize(24);
  m_label->SetThemeColor(3);
  m_label->SetColorFrom(Colour(0x010203));
  m_label->SetColorTo(Colour(0x040506));
  m_label->SetFrameColor(Colour(0x070809));
  m_label->SetFillColor(Colour(0x0A0B0C));
  m_label->SetTextBoxColor(Colour(0x0D0E0F));
  m_label->SetRoundedCornerTxtBox(true);
  m_label->SetFont(Font::Create(u"Tahoma", 12.0, true));
  const std::vector<std::u16string> reported = {
      u"Style",      u"Caption",   u"Alignment",  u"TextColor",    u"BackColor",
      u"IconAlignment", u"IconSize", u"ThemeColor", u"ColorFrom",   u"ColorTo",
      u"FrameColor", u"FillColor", u"TextBoxColor", u"RoundedCornerTxtBox", u"Font"};
  EXPECT_EQ(m_changes, reported);
  EXPECT_EQ(m_label->GetFont()->Size(), 12.0);
  EXPECT_TRUE(m_label->GetFont()->Bold());

  PropertyStore saved;
  m_label->WriteProperties(saved);
  std::vector<std::u16string> names;
  for (const auto& e : saved.Entries()) names.push_back(e.name);
  const std::vector<std::u16string> order = {
      u"FrameColor", u"BackColor", u"FillColor",  u"TextBoxColor", u"Style",
      u"RoundedCornerTxtBox", u"Caption", u"TextColor", u"Alignment", u"IconAlignment",
      u"Font",       u"IconSize",  u"ThemeColor", u"ColorFrom",    u"ColorTo"};
  EXPECT_EQ(names, order);

  // Through a design file's text and back into a new label.
  DesignNode node;
  node.kind = u"Form";
  node.props = saved;
  const auto parsed = ParseDesign(WriteDesign(node));
  ASSERT_TRUE(parsed.root.has_value());
  skLabel* copy = Place(kW, kH, &parsed.root->props);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->TextFormat(), 38u);
  EXPECT_EQ(copy->ThemeInUse().gradientStart, Rgb(194, 194, 171)) << "theme applied after reading";
  PropertyStore again;
  copy->WriteProperties(again);
  EXPECT_EQ(again, saved);
}

TEST_F(skLabelTest, ReadAsAStaticTextWithItsCaption) {
  m_label->SetVisible(true);
  for (std::u16string_view caption : {u"原油趋势", u"Crude & more", u""}) {
    test::WinEventRecorder heard({m_label->hWnd()}, EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE);
    m_label->SetCaption(caption);
    UserControl::DoEvents();
    const test::AccessiblePart read = test::AccessibleSelf(m_label->hWnd());
    EXPECT_EQ(read.role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(read.name, caption);
    EXPECT_TRUE(read.state & STATE_SYSTEM_READONLY);
    EXPECT_EQ(heard.Take().size(), 1u) << "one name change for a new caption";
  }
}

TEST_F(skLabelTest, DesignFilesKnowTheKind) {
  EXPECT_TRUE(IsControlKindRegistered(u"SKLABEL")) << "matched without regard to case";
  EXPECT_NE(dynamic_cast<skLabel*>(CreateControl(u"skLabel").get()), nullptr);
}

TEST_F(skLabelTest, RepaintsLeaveNoDrawingObjectBehind) {
  m_label->SetCaption(u"\u6240\u5728\u57CE\u5E02");
  m_label->SetPicture(Picture::FromIcon(unique_hicon(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)))));
  m_label->Redraw();
  const int before = LiveGdiHandles();
  for (int i = 0; i < 2000; ++i) {
    m_label->SetStyle(i % 5);
    m_label->SetRoundedCornerTxtBox(true);
  }
  EXPECT_EQ(LiveGdiHandles(), before);
  m_label->SetStyle(4);
  Repaint(m_label);
  EXPECT_EQ(m_label->GetSurface().Pixel(0, 0), kBlack) << "still draws";
}

TEST_F(skLabelTest, AFailingStepEndsTheDrawingQuietly) {
  // A gradient colour that cannot be translated: the first band fails, so the
  // label stays cleared, with no caption and no icon over it.
  m_label->SetCaption(u"WWWW");
  m_label->SetPicture(SolidPicture(RGB(1, 200, 3)));
  m_label->SetThemeColor(5);
  m_label->SetColorFrom(Colour(0x7F000000u));
  Repaint(m_label);
  const COLORREF back = AmbientBack();
  for (int y = 0; y < kH; ++y) EXPECT_EQ(RowIs(m_label->GetSurface(), y, back), "") << y;
  // The same for the framed box with a frame colour beyond the system table.
  m_label->SetStyle(0);
  m_label->SetFrameColor(Colour(0x80FFFFFFu));
  Repaint(m_label);
  for (int y = 0; y < kH; ++y) EXPECT_EQ(RowIs(m_label->GetSurface(), y, back), "") << y;
  // A label without height has a body gradient of no steps.
  skLabel* flat = Place(kW, 0);
  ASSERT_NE(flat, nullptr);
  flat->Redraw();
  EXPECT_EQ(flat->ScaleHeight(), 0);
}

}  // namespace
}  // namespace fw
