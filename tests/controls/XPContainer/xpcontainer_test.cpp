// The header container on a real form under the host: the pixels it leaves on
// its surfaces, the property reports it sends, what it saves and reads, its
// lifecycle and its handle use. Expected row colours come from
// GradientReference.h, computed from the arithmetic and not from the control.

#include "controls/XPContainer/XPContainer.h"

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <oleacc.h>

#include "host/ColourWin.h"
#include "host/Form.h"
#include "host/Gdi.h"
#include "host/Numeric.h"
#include "host/PngFile.h"
#include "host/TextBox.h"
#include "tests/controls/XPContainer/GradientReference.h"
#include "tests/host/AccessibleRead.h"

namespace fw {

// The container's child parts and library handle, which some cases check
// besides its pixels.
struct XPContainerTestAccess {
  static const xpcontainer::HeaderStrip& HeaderStripPart(const XPContainer& b) {
    return b.m_header;
  }
  static const Label& CaptionLabelPart(const XPContainer& b) { return b.m_captionLabel; }
  // The body box shows nothing; its size gives the body gradient's extent.
  static RECT BodyBox(const XPContainer& b) { return b.m_bodyBox; }
  // Held while the container exists (null before and after).
  static HMODULE LibraryHandle(const XPContainer& b) { return b.m_shell32.get(); }
};

namespace {

using Access = XPContainerTestAccess;

using xpcontainer::testing::HexRows;
using xpcontainer::testing::ReferenceGradient;

constexpr COLORREF kSentinel = RGB(0x12, 0x34, 0x56);
// 201 x 201 pixels, as the main window places its containers.
constexpr int32_t kSideTwips = 3015;
constexpr int kSide = 201;

std::string Hex(COLORREF c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06lX", static_cast<unsigned long>(c));
  return buf;
}

std::string Narrow(std::u16string_view s) { return std::string(s.begin(), s.end()); }

// The first pixel of `rows` x `columns` of `surface` that differs from `want(x, y)`,
// as text; empty when all match.
template <typename Want>
std::string FirstMismatch(const Surface& surface, int x0, int x1, int y0, int y1, Want want) {
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const COLORREF got = surface.Pixel(x, y);
      const COLORREF expected = want(x, y);
      if (got != expected) {
        return "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " + Hex(got) +
               ", expected " + Hex(expected);
      }
    }
  }
  return {};
}

void Sentinel(HDC dc, int w, int h) { FillSolid(dc, RECT{0, 0, w, h}, kSentinel); }

class XPContainerTest : public ::testing::Test {
 protected:
  // One form for the whole suite: under Wine without a window manager, hiding a
  // top-level window waits for the X server, so each form costs seconds.
  static void SetUpTestSuite() {
    RegisterXPContainer();
    s_form = new Form;
    ASSERT_TRUE(s_form->Create(kSideTwips + 600, kSideTwips + 600, u"XPContainer test"));
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
    ASSERT_NE(s_form, nullptr);
    s_form->PropertyChangedHook = [this](Control&, std::u16string_view name) {
      m_changes.emplace_back(name);
    };
    m_box = Place(u"XPContainer1", kSideTwips, kSideTwips);
    ASSERT_NE(m_box, nullptr);
    UserControl::DoEvents();
    m_changes.clear();
  }
  void TearDown() override {
    s_form->PropertyChangedHook = nullptr;
    for (XPContainer* box : m_placed) box->Destroy();
    UserControl::DoEvents();
  }

  // A new container on the form, shown (the form is), 0, 0 in its top left corner.
  XPContainer* Place(std::u16string name, int32_t w, int32_t h, const PropertyStore* props = nullptr) {
    const std::string serial = std::to_string(++s_serial);
    name += u"_" + std::u16string(serial.begin(), serial.end());
    XPContainer* box = s_form->Add<XPContainer>(std::move(name), nullptr, 0, 0, w, h, {}, props);
    if (box) m_placed.push_back(box);
    return box;
  }

  // A paint request, as the window manager would make it: the host asks the
  // control to paint its surface anew.
  void Repaint(XPContainer* box) {
    box->InvalidateSurface();
    UpdateWindow(box->hWnd());
  }

  // Fills both surfaces with the sentinel, then repaints.
  void SentinelAndRepaint(XPContainer* box) {
    Sentinel(box->hDC(), box->ScaleWidth(), box->ScaleHeight());
    const auto& strip = Access::HeaderStripPart(*box);
    Sentinel(strip.hDC(), strip.ScaleWidth(), strip.ScaleHeight());
    Repaint(box);
  }

  COLORREF Back(const XPContainer* box) const { return ToColorRef(box->BackColor()); }

  static inline Form* s_form = nullptr;
  static inline int s_serial = 0;
  XPContainer* m_box = nullptr;
  std::vector<XPContainer*> m_placed;
  std::vector<std::u16string> m_changes;
};

// -- Looks

TEST_F(XPContainerTest, ThemeTwoDrawsItsRowsOnEveryPixel) {
  m_box->SetTheme(2);
  EXPECT_EQ(m_box->Theme(), 2);
  EXPECT_EQ(m_box->HeaderLightColor(), Colour(0xD8E5C8));
  EXPECT_EQ(m_box->HeaderDarkColor(), Colour(0xB1CB92));
  EXPECT_EQ(m_box->BackLightColor(), Colour(0xF1F5EB));
  EXPECT_EQ(m_box->BackDarkColor(), Colour(0xE1EBD5));
  EXPECT_EQ(m_box->BorderColor(), Colour(0xAAC688));
  EXPECT_EQ(m_box->TextColor(), Colour(0x213B00));
  SentinelAndRepaint(m_box);

  ASSERT_EQ(m_box->ScaleWidth(), kSide);
  ASSERT_EQ(m_box->ScaleHeight(), kSide);
  const auto& strip = Access::HeaderStripPart(*m_box);
  ASSERT_EQ(strip.ScaleWidth(), kSide - 2);
  ASSERT_EQ(strip.ScaleHeight(), 23);
  EXPECT_TRUE(IsWindowVisible(strip.hWnd()));
  RECT stripRect;
  GetWindowRect(strip.hWnd(), &stripRect);
  MapWindowPoints(nullptr, m_box->hWnd(), reinterpret_cast<POINT*>(&stripRect), 2);
  EXPECT_EQ(stripRect.left, 1);
  EXPECT_EQ(stripRect.top, 1);

  // Header: rows 0 .. 22 of the strip, divisor 22, every column.
  const auto header = ReferenceGradient(0xD8E5C8, 0xB1CB92, 22, 23);
  EXPECT_EQ(header.front(), 0xD8E5C8u);
  EXPECT_EQ(header.back(), 0xB1CB92u);
  EXPECT_EQ(FirstMismatch(strip.GetSurface(), 0, kSide - 3, 0, 22,
                          [&](int, int y) { return COLORREF{header[y]}; }),
            "")
      << "header rows " << HexRows(header);

  // Body: rows 24 .. 200 of the container, divisor = body height - 1 = 175; the
  // border covers row 200 and columns 0 and 200.
  const auto body = ReferenceGradient(0xF1F5EB, 0xE1EBD5, 175, 177);
  EXPECT_EQ(body[175], 0xE1EBD5u);
  EXPECT_EQ(FirstMismatch(m_box->GetSurface(), 1, kSide - 2, 24, kSide - 2,
                          [&](int, int y) { return COLORREF{body[y - 24]}; }),
            "")
      << "body rows " << HexRows(body);

  // Under the strip the surface was cleared to the back colour.
  const COLORREF back = Back(m_box);
  EXPECT_EQ(FirstMismatch(m_box->GetSurface(), 1, kSide - 2, 1, 23, [&](int, int) { return back; }),
            "");

  // The border: all four edges, every pixel.
  const COLORREF border = 0xAAC688;
  const auto& s = m_box->GetSurface();
  EXPECT_EQ(FirstMismatch(s, 0, kSide - 1, 0, 0, [&](int, int) { return border; }), "") << "top";
  EXPECT_EQ(FirstMismatch(s, 0, kSide - 1, kSide - 1, kSide - 1, [&](int, int) { return border; }),
            "")
      << "bottom";
  EXPECT_EQ(FirstMismatch(s, 0, 0, 0, kSide - 1, [&](int, int) { return border; }), "") << "left";
  EXPECT_EQ(FirstMismatch(s, kSide - 1, kSide - 1, 0, kSide - 1, [&](int, int) { return border; }),
            "")
      << "right";

  EXPECT_EQ(Access::CaptionLabelPart(*m_box).ForeColor(), Colour(0x213B00));
}

TEST_F(XPContainerTest, EveryThemeReachesTheSurfaceCorners) {
  // One pixel of each gradient end and the border per theme: a row of the table
  // read from the wrong column shows here.
  for (int t = 0; t < 12; ++t) {
    m_box->SetTheme(t);
    const auto row = *xpcontainer::ThemeRow(t);
    SentinelAndRepaint(m_box);
    const auto& strip = Access::HeaderStripPart(*m_box).GetSurface();
    EXPECT_EQ(strip.Pixel(5, 0), row.headerLight.value) << "theme " << t;
    EXPECT_EQ(strip.Pixel(5, 22), row.headerDark.value) << "theme " << t;
    EXPECT_EQ(m_box->GetSurface().Pixel(5, 24), row.backLight.value) << "theme " << t;
    EXPECT_EQ(m_box->GetSurface().Pixel(5, kSide - 2), row.backDark.value) << "theme " << t;
    EXPECT_EQ(m_box->GetSurface().Pixel(0, 100), row.border.value) << "theme " << t;
    EXPECT_EQ(Access::CaptionLabelPart(*m_box).ForeColor(), row.text) << "theme " << t;
  }
}

TEST_F(XPContainerTest, ThemeTwelveIsKeptAndSavedButChangesNoColour) {
  m_box->SetTheme(2);
  m_changes.clear();
  m_box->SetTheme(12);
  EXPECT_EQ(m_box->Theme(), 12);
  EXPECT_EQ(m_box->HeaderLightColor(), Colour(0xD8E5C8));
  EXPECT_EQ(m_box->TextColor(), Colour(0x213B00));
  ASSERT_EQ(m_changes.size(), 1u);
  EXPECT_EQ(m_changes[0], u"Theme");
  PropertyStore saved;
  m_box->WriteProperties(saved);
  EXPECT_EQ(saved.ReadInt16(u"Theme", 0), 12);
  EXPECT_NE(saved.Find(u"Theme"), nullptr);
}

TEST_F(XPContainerTest, TwoRowHeaderStripGivesLightThenDark) {
  // The strip's height is a design setting; at 2 rows the step is the whole difference.
  HWND strip = Access::HeaderStripPart(*m_box).hWnd();
  SetWindowPos(strip, nullptr, 0, 0, kSide - 2, 2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_EQ(Access::HeaderStripPart(*m_box).ScaleHeight(), 2);
  m_box->SetTheme(2);
  SentinelAndRepaint(m_box);
  const auto& s = Access::HeaderStripPart(*m_box).GetSurface();
  EXPECT_EQ(FirstMismatch(s, 0, kSide - 3, 0, 0, [](int, int) { return COLORREF{0xD8E5C8}; }), "");
  EXPECT_EQ(FirstMismatch(s, 0, kSide - 3, 1, 1, [](int, int) { return COLORREF{0xB1CB92}; }), "");
}

TEST_F(XPContainerTest, OneRowHeaderStripEndsTheStepSilently) {
  // Inner height 1: the divisor is 0; the step ends before any row, and the
  // caption keeps the colour it had.
  m_box->SetTheme(2);
  HWND strip = Access::HeaderStripPart(*m_box).hWnd();
  SetWindowPos(strip, nullptr, 0, 0, kSide - 2, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_box->SetTextColor(Colour(0x0000FF));
  SentinelAndRepaint(m_box);
  const auto& s = Access::HeaderStripPart(*m_box).GetSurface();
  EXPECT_EQ(FirstMismatch(s, 0, kSide - 3, 0, 0, [](int, int) { return kSentinel; }), "");
  EXPECT_EQ(Access::CaptionLabelPart(*m_box).ForeColor(), Colour(0x213B00));
  // The rest of the container still draws.
  EXPECT_EQ(m_box->GetSurface().Pixel(0, 0), COLORREF{0xAAC688});
  EXPECT_EQ(m_box->GetSurface().Pixel(5, 24), COLORREF{0xF1F5EB});
}

TEST_F(XPContainerTest, StyleOneHidesTheHeaderAndTheBodyStartsAtRowZero) {
  m_box->SetTheme(2);
  m_box->SetStyle(1);
  SentinelAndRepaint(m_box);
  EXPECT_FALSE(IsWindowVisible(Access::HeaderStripPart(*m_box).hWnd()));
  // Rows 0 .. 200, divisor 200, lines across the whole width.
  const auto rows = ReferenceGradient(0xF1F5EB, 0xE1EBD5, kSide - 1, kSide);
  EXPECT_EQ(FirstMismatch(m_box->GetSurface(), 1, kSide - 2, 1, kSide - 2,
                          [&](int, int y) { return COLORREF{rows[y]}; }),
            "")
      << HexRows(rows);
  m_box->SetStyle(0);
  EXPECT_TRUE(IsWindowVisible(Access::HeaderStripPart(*m_box).hWnd()));
  // Any non-zero Style hides it.
  m_box->SetStyle(-7);
  EXPECT_FALSE(IsWindowVisible(Access::HeaderStripPart(*m_box).hWnd()));
}

TEST_F(XPContainerTest, EqualLightAndDarkGiveAFlatBody) {
  m_box->SetBackLightColor(Colour(0xFFFFFF));
  m_box->SetBackDarkColor(Colour(0xFFFFFF));
  m_box->SetBorderColor(Colour(0x808080));
  SentinelAndRepaint(m_box);
  EXPECT_EQ(FirstMismatch(m_box->GetSurface(), 1, kSide - 2, 24, kSide - 2,
                          [](int, int) { return COLORREF{0xFFFFFF}; }),
            "");
  EXPECT_EQ(m_box->GetSurface().Pixel(kSide - 1, kSide - 1), COLORREF{0x808080});
}

TEST_F(XPContainerTest, SystemColoursAreTranslatedAndUntranslatableOnesDrawNothing) {
  m_box->SetBorderColor(Colour(0x80000012));  // button text
  m_box->SetBackLightColor(Colour(0x8000000F));
  m_box->SetBackDarkColor(Colour(0x8000000F));
  SentinelAndRepaint(m_box);
  EXPECT_EQ(m_box->GetSurface().Pixel(0, 50), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(m_box->GetSurface().Pixel(50, 50), GetSysColor(COLOR_BTNFACE));

  // An encoded form the platform refuses translates to -1: no body, no border,
  // and the cleared surface shows.
  m_box->SetBackLightColor(Colour(0x7F000000));
  m_box->SetBorderColor(Colour(0x7F808080));
  SentinelAndRepaint(m_box);
  const COLORREF back = Back(m_box);
  EXPECT_EQ(FirstMismatch(m_box->GetSurface(), 0, kSide - 1, 24, kSide - 1,
                          [&](int, int) { return back; }),
            "");
  EXPECT_EQ(m_box->GetSurface().Pixel(0, 0), back);
}

TEST_F(XPContainerTest, OtherSizesKeepTheBorderOnTheirOwnEdges) {
  // Not square, so a width used for a height shows.
  XPContainer* wide = Place(u"Wide", 150 * 15, 90 * 15);
  ASSERT_NE(wide, nullptr);
  wide->SetTheme(6);
  SentinelAndRepaint(wide);
  ASSERT_EQ(wide->ScaleWidth(), 150);
  ASSERT_EQ(wide->ScaleHeight(), 90);
  EXPECT_EQ(Access::HeaderStripPart(*wide).ScaleWidth(), 148);
  const COLORREF border = 0x9FC0FA;
  const auto& s = wide->GetSurface();
  auto is = [&](int, int) { return border; };
  EXPECT_EQ(FirstMismatch(s, 0, 149, 0, 0, is), "");
  EXPECT_EQ(FirstMismatch(s, 0, 149, 89, 89, is), "");
  EXPECT_EQ(FirstMismatch(s, 0, 0, 0, 89, is), "");
  EXPECT_EQ(FirstMismatch(s, 149, 149, 0, 89, is), "");
  // Nothing of the border inside: the column and row next to it are body.
  const auto body = ReferenceGradient(0xEFF5FE, 0xDDE9FD, 90 - 26, 90 - 24);
  EXPECT_EQ(FirstMismatch(s, 1, 148, 24, 88, [&](int, int y) { return COLORREF{body[y - 24]}; }),
            "");
}

TEST_F(XPContainerTest, ResizingFollowsTheNewSize) {
  m_box->SetTheme(2);
  m_box->Move(0, 0, 120 * 15, 60 * 15);
  UserControl::DoEvents();
  ASSERT_EQ(m_box->ScaleWidth(), 120);
  EXPECT_EQ(Access::HeaderStripPart(*m_box).ScaleWidth(), 118);
  const RECT body = Access::BodyBox(*m_box);
  EXPECT_EQ(body.right - body.left, 118);
  EXPECT_EQ(body.bottom - body.top, 60 - 25);
  EXPECT_EQ(m_box->GetSurface().Pixel(119, 30), COLORREF{0xAAC688});
  EXPECT_EQ(m_box->GetSurface().Pixel(5, 58), COLORREF{0xE1EBD5});
}

// -- Caption

TEST_F(XPContainerTest, NewContainerShowsItsDefaultCaptionCentredInTheStrip) {
  const auto& label = Access::CaptionLabelPart(*m_box);
  EXPECT_EQ(m_box->Caption(), u"XPContainer");
  EXPECT_EQ(label.Caption(), u"XPContainer");
  // The strip draws the label and names it to assistive technology.
  EXPECT_EQ(label.ContainerHwnd(), Access::HeaderStripPart(*m_box).hWnd());
  const std::vector<test::AccessiblePart> parts = test::AccessibleParts(label.ContainerHwnd());
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0].name, u"XPContainer");
  const RECT rc = label.PixelRect();
  EXPECT_EQ(rc.left, 10);
  EXPECT_GT(rc.bottom - rc.top, 0);
  EXPECT_EQ(rc.top, RoundHalfEven((23 - (rc.bottom - rc.top)) / 2.0));
}

TEST_F(XPContainerTest, AGroupingNamedByItsHeaderCaption) {
  const struct {
    std::u16string_view caption, name;
  } cases[] = {{u"所在城市", u"所在城市"}, {u"&Where", u"Where"}};
  for (const auto& c : cases) {
    test::WinEventRecorder heard({m_box->hWnd()}, EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE);
    m_box->SetCaption(c.caption);
    UserControl::DoEvents();
    const test::AccessiblePart read = test::AccessibleSelf(m_box->hWnd());
    EXPECT_EQ(read.role, ROLE_SYSTEM_GROUPING);
    EXPECT_EQ(read.name, c.name);
    const std::vector<test::WinEvent> want = {
        {EVENT_OBJECT_NAMECHANGE, m_box->hWnd(), OBJID_CLIENT, CHILDID_SELF}};
    EXPECT_EQ(heard.Take(), want);
  }
}

TEST_F(XPContainerTest, CaptionShowsOnTheHeaderGradient) {
  // What the screen shows, composed from the container, the strip and the label.
  m_box->SetTheme(2);
  UserControl::DoEvents();
  const auto& label = Access::CaptionLabelPart(*m_box);
  auto shown = [&] { return label.Visible() && IsWindowVisible(label.ContainerHwnd()); };
  ASSERT_TRUE(shown());
  const PixelImage shot = CaptureWindowTree(m_box->hWnd());
  ASSERT_EQ(shot.width, kSide);
  const auto header = ReferenceGradient(0xD8E5C8, 0xB1CB92, 22, 23);
  // In the label's rectangle (strip coordinates + (1, 1)) the text colour shows
  // somewhere; around the text the gradient shows through, with no box.
  const RECT rc = label.PixelRect();
  int text = 0;
  for (int y = rc.top; y < rc.bottom; ++y)
    for (int x = rc.left; x < rc.right; ++x)
      if (shot.Pixel(x + 1, y + 1) != header[y]) ++text;
  EXPECT_GT(text, 0) << "no caption drawn";
  for (int y = 0; y < 23; ++y) {
    EXPECT_EQ(shot.Pixel(rc.left, y + 1), header[y]) << "left of the caption, row " << y;
    EXPECT_EQ(shot.Pixel(rc.right + 1, y + 1), header[y]) << "right of the caption, row " << y;
  }
  // A caption with the header hidden is not shown either.
  m_box->SetStyle(1);
  EXPECT_FALSE(shown());
}

TEST_F(XPContainerTest, CaptionWidthFollowsTheText) {
  auto label_width = [&] {
    const RECT rc = Access::CaptionLabelPart(*m_box).PixelRect();
    return static_cast<int>(rc.right - rc.left);
  };
  const int before = label_width();
  m_box->SetCaption(u"\u6240\u5728\u57CE\u5E02\u6240\u5728\u57CE\u5E02");  // 所在城市所在城市
  EXPECT_EQ(Access::CaptionLabelPart(*m_box).Caption(), u"\u6240\u5728\u57CE\u5E02\u6240\u5728\u57CE\u5E02");
  EXPECT_NE(label_width(), before);
  EXPECT_GT(label_width(), 0);
}

// -- Property reports

TEST_F(XPContainerTest, ThemeWriteReportsThemeThenEachColourInOrder) {
  const std::u16string_view kThemeWrite[] = {u"Theme",          u"HeaderLightColor",
                                             u"HeaderDarkColor", u"BackLightColor",
                                             u"BackDarkColor",  u"BorderColor",
                                             u"TextColor"};
  m_box->SetTheme(4);
  ASSERT_EQ(m_changes.size(), std::size(kThemeWrite)) << "the whole sequence differs in length";
  for (size_t i = 0; i < std::size(kThemeWrite); ++i) {
    EXPECT_EQ(m_changes[i], kThemeWrite[i]) << "report " << i << " is " << Narrow(m_changes[i]);
  }
  // A write of the theme already held reports it all again: the host records writes.
  m_changes.clear();
  m_box->SetTheme(4);
  EXPECT_EQ(m_changes.size(), std::size(kThemeWrite));
}

TEST_F(XPContainerTest, EachPropertyWriteReportsItsName) {
  m_box->SetCaption(u"x");
  m_box->SetStyle(1);
  m_box->SetBorderColor(Colour(1));
  m_box->SetBackDarkColor(Colour(2));
  const std::vector<std::u16string> want = {u"Caption", u"Style", u"BorderColor", u"BackDarkColor"};
  EXPECT_EQ(m_changes, want);
}

// -- Saved properties

TEST_F(XPContainerTest, NewContainerSavesNothing) {
  PropertyStore saved;
  m_box->WriteProperties(saved);
  EXPECT_TRUE(saved.Empty()) << saved.Size() << " entries, first " << Narrow(saved.Entries()[0].name);
}

TEST_F(XPContainerTest, SavesInTableOrderLeavingDefaultsOut) {
  m_box->SetTheme(2);
  m_box->SetCaption(u"\u6240\u5728\u57CE\u5E02");
  m_box->SetStyle(1);
  m_box->SetBorderColor(Colour(0x808080));
  PropertyStore saved;
  m_box->WriteProperties(saved);
  const std::u16string_view kOrder[] = {u"HeaderLightColor", u"HeaderDarkColor", u"BackLightColor",
                                        u"BackDarkColor",    u"BorderColor",     u"TextColor",
                                        u"Caption",          u"Style",           u"Theme"};
  ASSERT_EQ(saved.Size(), std::size(kOrder));
  for (size_t i = 0; i < std::size(kOrder); ++i) {
    EXPECT_EQ(saved.Entries()[i].name, kOrder[i]) << "entry " << i;
  }
  // Colours as colours, Style and Theme as 16-bit values.
  EXPECT_EQ(std::get<Colour>(saved.Entries()[0].value), Colour(0xD8E5C8));
  EXPECT_EQ(std::get<Colour>(saved.Entries()[4].value), Colour(0x808080));
  EXPECT_EQ(std::get<std::u16string>(saved.Entries()[6].value), u"\u6240\u5728\u57CE\u5E02");
  EXPECT_EQ(std::get<int16_t>(saved.Entries()[7].value), 1);
  EXPECT_EQ(std::get<int16_t>(saved.Entries()[8].value), 2);

  // Only what differs from its default.
  XPContainer* other = Place(u"Other", kSideTwips, kSideTwips);
  other->SetBorderColor(Colour(0x808080));
  PropertyStore one;
  other->WriteProperties(one);
  ASSERT_EQ(one.Size(), 1u);
  EXPECT_EQ(one.Entries()[0].name, u"BorderColor");
}

TEST_F(XPContainerTest, SixteenBitValuesBeyondTheirRangeSaveTheNearest) {
  m_box->SetStyle(65536);  // would be 0 if wrapped: the header would come back
  m_box->SetTheme(-40000);
  PropertyStore saved;
  m_box->WriteProperties(saved);
  EXPECT_EQ(saved.ReadInt16(u"Style", 0), 32767);
  EXPECT_EQ(saved.ReadInt16(u"Theme", 0), -32768);
}

TEST_F(XPContainerTest, ReadingStoresWithoutApplyingTheThemeOrDrawing) {
  PropertyStore props;
  props.Write(u"theme", int16_t{5}, int16_t{0});  // names match without regard to case
  props.Write(u"HeaderLightColor", Colour(0x123456), Colour(0));
  props.Write(u"Caption", u"\u539F\u6CB9\u8D8B\u52BF", u"");  // 原油趋势
  props.Write(u"Style", int16_t{1}, int16_t{0});
  Sentinel(m_box->hDC(), kSide, kSide);
  m_box->ReadProperties(props);
  EXPECT_EQ(m_box->Theme(), 5);
  EXPECT_EQ(m_box->HeaderLightColor(), Colour(0x123456));
  // Not theme 5's colours: the theme was not applied.
  EXPECT_EQ(m_box->HeaderDarkColor(), xpcontainer::kThemes[0].headerDark);
  EXPECT_EQ(m_box->Caption(), u"\u539F\u6CB9\u8D8B\u52BF");
  EXPECT_EQ(m_box->Style(), 1);
  EXPECT_TRUE(m_changes.empty());
  EXPECT_EQ(FirstMismatch(m_box->GetSurface(), 0, kSide - 1, 0, kSide - 1,
                          [](int, int) { return kSentinel; }),
            "")
      << "a read must not draw";
  // Names the store lacks take their defaults.
  PropertyStore empty;
  m_box->ReadProperties(empty);
  EXPECT_EQ(m_box->Caption(), u"XPContainer");
  EXPECT_EQ(m_box->Theme(), 0);
  EXPECT_EQ(m_box->HeaderLightColor(), Colour(0xF7E0D3));
}

TEST_F(XPContainerTest, SavedPropertiesRoundTripThroughANewContainer) {
  m_box->SetTheme(9);
  m_box->SetCaption(u"\u6240\u5728\u57CE\u5E02");
  m_box->SetBackDarkColor(Colour(0x80000005));
  PropertyStore saved;
  m_box->WriteProperties(saved);
  XPContainer* copy = Place(u"Copy", kSideTwips, kSideTwips, &saved);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Theme(), 9);
  EXPECT_EQ(copy->Caption(), m_box->Caption());
  EXPECT_EQ(copy->HeaderLightColor(), m_box->HeaderLightColor());
  EXPECT_EQ(copy->BackDarkColor(), Colour(0x80000005));
  PropertyStore again;
  copy->WriteProperties(again);
  EXPECT_EQ(again, saved);
}

// -- Lifecycle and resources

TEST_F(XPContainerTest, HoldsTheShellLibraryWhileItExists) {
  EXPECT_NE(Access::LibraryHandle(*m_box), nullptr);
  EXPECT_EQ(Access::LibraryHandle(*m_box), GetModuleHandleW(L"shell32.dll"));
  XPContainer* other = Place(u"Other", kSideTwips, kSideTwips);
  ASSERT_NE(other, nullptr);
  other->Destroy();
  EXPECT_EQ(Access::LibraryHandle(*other), nullptr);
  m_placed.pop_back();
}

TEST_F(XPContainerTest, AClickOnTheContainerLeavesTheFocusWhereItWas) {
  TextBox* text = s_form->Add<TextBox>(u"FocusHolder", nullptr, kSideTwips + 60, 0, 450, 300);
  ASSERT_NE(text, nullptr);
  SetForegroundWindow(s_form->hWnd());
  SetFocus(text->hWnd());
  ASSERT_EQ(GetFocus(), text->hWnd());
  SendMessageW(m_box->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
  SendMessageW(m_box->hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
  UserControl::DoEvents();
  EXPECT_EQ(GetFocus(), text->hWnd());
  EXPECT_EQ(GetWindowLongW(m_box->hWnd(), GWL_STYLE) & WS_TABSTOP, 0);
  text->Destroy();
}

TEST_F(XPContainerTest, ThousandsOfRepaintsLeakNoHandle) {
  m_box->SetTheme(2);
  Repaint(m_box);
  const int gdi = LiveGdiHandles();
  const int selections = LiveHandles(HandleKind::Selection);
  const int windows = LiveHandles(HandleKind::Window);
  const int paintDcs = LiveHandles(HandleKind::PaintDc);
  for (int i = 0; i < 5000; ++i) {
    Repaint(m_box);
    if (i % 500 == 0) m_box->SetTheme(i / 500 % 12);
  }
  m_box->SetTheme(2);
  EXPECT_EQ(LiveGdiHandles(), gdi);
  EXPECT_EQ(LiveHandles(HandleKind::Selection), selections);
  EXPECT_EQ(LiveHandles(HandleKind::Window), windows);
  EXPECT_EQ(LiveHandles(HandleKind::PaintDc), paintDcs);
  // And it still draws what it should.
  SentinelAndRepaint(m_box);
  EXPECT_EQ(Access::HeaderStripPart(*m_box).GetSurface().Pixel(3, 0), COLORREF{0xD8E5C8});
  EXPECT_EQ(m_box->GetSurface().Pixel(3, 24), COLORREF{0xF1F5EB});
  // The process's own count of GDI objects stays put too (where it is real).
  const DWORD objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 1000; ++i) Repaint(m_box);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), objects);
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

// -- Placed from a design, with a label inside

constexpr char16_t kDesign[] = uR"(Begin Form frmDesign
   ClientWidth = 3615
   ClientHeight = 3615
   Begin XPContainer XPContainer1
      Left = 0
      Top = 0
      Width = 3015
      Height = 3015
      Caption = "所在城市"
      HeaderLightColor = &H00D8E5C8&
      HeaderDarkColor = &H00B1CB92&
      BackLightColor = &H00F1F5EB&
      BackDarkColor = &H00E1EBD5&
      BorderColor = &H00808080&
      TextColor = &H00213B00&
      Theme = 2
      Begin Label Label5
         Left = 120
         Top = 530
         Width = 630
         Height = 180
         Caption = "省  份:"
      End
   End
End
)";

TEST(XPContainerDesign, PlacesItsChildrenOnTheBodyGradient) {
  RegisterXPContainer();
  const DesignParseResult parsed = ParseDesign(kDesign);
  ASSERT_TRUE(parsed.root.has_value()) << parsed.errorLine << ": " << parsed.error;
  Form form;
  ASSERT_TRUE(form.Load(*parsed.root));
  EXPECT_TRUE(form.BuildErrors().empty());
  auto* box = form.Get<XPContainer>(u"xpcontainer1");  // names match without regard to case
  Control* label = form.Find(u"Label5");
  ASSERT_NE(box, nullptr);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(box->Caption(), u"\u6240\u5728\u57CE\u5E02");
  EXPECT_EQ(box->Theme(), 2);
  EXPECT_EQ(box->BorderColor(), Colour(0x808080));
  // The label is the container's child.
  EXPECT_EQ(label->ContainerHwnd(), box->hWnd());
  EXPECT_EQ(label->Container(), box);

  form.SetStartUpPosition(0);
  form.Move(0, 0);
  form.Show();
  UserControl::DoEvents();
  const PixelImage shot = CaptureWindowTree(box->hWnd());
  ASSERT_EQ(shot.width, 201);
  const auto body = ReferenceGradient(0xF1F5EB, 0xE1EBD5, 175, 177);
  const RECT rc = label->PixelRect();
  ASSERT_GT(rc.bottom, rc.top);
  ASSERT_GE(rc.top, 24);
  // Around the text the body gradient shows through: no box in the container's
  // back colour, and most pixels are the row's gradient colour.
  const COLORREF back = ToColorRef(box->BackColor());
  int gradient = 0;
  int boxed = 0;
  int total = 0;
  for (int y = rc.top; y < rc.bottom; ++y) {
    for (int x = rc.left; x < rc.right; ++x) {
      ++total;
      const COLORREF c = shot.Pixel(x, y);
      if (c == body[y - 24]) ++gradient;
      if (c == back) ++boxed;
    }
  }
  EXPECT_EQ(boxed, 0);
  EXPECT_GT(gradient, total / 2) << gradient << " of " << total;
  EXPECT_LT(gradient, total) << "no text drawn";
  form.Unload();
}

}  // namespace
}  // namespace fw
