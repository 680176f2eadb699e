// The skinned frame on real host forms under Wine: the pixels of its title bar,
// border and caption buttons against rows computed here from the drawing rules
// (not from the code), property persistence, activation, the caption buttons
// driven by real input, Alt+F4 and the close command, and the hooks' release.

#include "controls/skForms/skForms.h"
#include "tests/controls/skForms/skFormsTestAccess.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "host/ColourWin.h"
#include "host/Form.h"
#include "controls/skForms/skFormsDraw.h"
#include "host/Failure.h"
#include "host/Gdi.h"
#include "host/PictureBox.h"
#include "host/Surface.h"

namespace fw {
namespace {

using skforms::kBlack;
using skforms::kWhite;

constexpr uint32_t RGB3(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }
constexpr uint32_t kBlueDark = RGB3(19, 97, 156);
constexpr uint32_t kBlueLight = RGB3(221, 236, 254);
constexpr uint32_t kFadedDark = RGB3(79, 137, 181);
constexpr uint32_t kFadedLight = RGB3(230, 241, 254);

std::string Hex(uint32_t c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(c));
  return buf;
}

// -- The drawing rules, restated for the expectations

// alpha/255 of a plus the rest of b, per channel, rounded half to even.
uint32_t Mix(uint32_t a, uint32_t b, int alpha) {
  uint32_t out = 0;
  for (int c = 0; c < 3; ++c) {
    const double v = alpha / 255.0 * ((a >> (8 * c)) & 0xFF) + (255 - alpha) / 255.0 * ((b >> (8 * c)) & 0xFF);
    out |= static_cast<uint32_t>(std::nearbyint(v)) << (8 * c);
  }
  return out;
}
uint32_t HalfOf(uint32_t a, uint32_t b) { return Mix(a, b, 128); }

int Round(double v) { return static_cast<int>(std::nearbyint(v)); }

// Rows of one column: line i (1 .. n - 1) of a gradient s -> e at row y1 + i.
void Lines(std::map<int, uint32_t>& rows, uint32_t s, uint32_t e, int y1, int n) {
  for (int i = 1; i <= n - 1; ++i) {
    uint32_t c = 0;
    for (int ch = 0; ch < 3; ++ch) {
      const float sc = static_cast<float>((s >> (8 * ch)) & 0xFF);
      const float ec = static_cast<float>((e >> (8 * ch)) & 0xFF);
      const float step = (ec - sc) / static_cast<float>(n);
      c |= static_cast<uint32_t>(std::nearbyint(sc + static_cast<double>(step) * i)) << (8 * ch);
    }
    rows[y1 + i] = c;
  }
}
void Cylinder(std::map<int, uint32_t>& rows, uint32_t a, uint32_t b, int y, int h, double f) {
  if (f <= 1) f = 1.01;
  Lines(rows, a, b, y, Round(h / f));
  Lines(rows, b, a, Round(h / f + y - 1), Round((f - 1) * h / f + 1));
}

// The title background of a column, rows 0 .. t - 1, by style.
std::vector<uint32_t> TitleColumn(int style, int t, uint32_t dark, uint32_t light) {
  std::map<int, uint32_t> rows;
  switch (style) {
    case 0: Cylinder(rows, dark, light, -1, t + 1, 5.01); break;
    case 1:
      Cylinder(rows, dark, light, -2, 10, 5.01);
      Cylinder(rows, dark, light, 7, t - 7, 5.01);
      break;
    case 2:
      Lines(rows, light, dark, -2, 10);
      Cylinder(rows, dark, dark, 7, t - 7, 5.01);
      break;
    case 3: Lines(rows, light, dark, -1, t + 1); break;
    case 4:
      Cylinder(rows, dark, light, -2, 7, 5.01);
      Cylinder(rows, light, dark, 4, t - 4, 1.01);
      break;
    case 5: {
      const uint32_t c1 = HalfOf(dark, kBlack);
      Cylinder(rows, light, HalfOf(light, c1), -2, 12, 1.01);
      Cylinder(rows, dark, dark, 8, t - 8, 7.01);
      rows[8] = HalfOf(dark, light);
      rows[0] = HalfOf(kWhite, light);
      break;
    }
  }
  std::vector<uint32_t> column;
  for (int y = 0; y < t; ++y) column.push_back(rows.count(y) ? rows[y] : 0xFFFFFFFFu);
  return column;
}

// The pixels of a glyph, lines without their end points, outlines closed.
std::set<std::pair<int, int>> GlyphPixels(int slot, bool restore, int l, int t) {
  std::set<std::pair<int, int>> px;
  auto line = [&](int x1, int y1, int x2, int y2) {
    const int dx = (x2 > x1) - (x2 < x1);
    const int dy = (y2 > y1) - (y2 < y1);
    for (int x = x1, y = y1; x != x2 || y != y2; x += dx, y += dy) px.insert({x, y});
  };
  auto outline = [&](int x, int y, int w, int h) {
    for (int i = 0; i <= w; ++i) px.insert({x + i, y}), px.insert({x + i, y + h});
    for (int j = 0; j <= h; ++j) px.insert({x, y + j}), px.insert({x + w, y + j});
  };
  switch (slot) {
    case 0:
      line(l + 6, t + 5, l + 14, t + 13);
      line(l + 5, t + 5, l + 14, t + 14);
      line(l + 5, t + 6, l + 13, t + 14);
      line(l + 5, t + 12, l + 13, t + 4);
      line(l + 5, t + 13, l + 14, t + 4);
      line(l + 6, t + 13, l + 14, t + 5);
      break;
    case 1:
      if (restore) {
        line(l + 7, t + 5, l + 7, t + 8);
        line(l + 7, t + 5, l + 16, t + 5);
        line(l + 7, t + 4, l + 16, t + 4);
        line(l + 15, t + 4, l + 15, t + 11);
        line(l + 15, t + 11, l + 11, t + 11);
        line(l + 3, t + 9, l + 11, t + 9);
        outline(l + 3, t + 8, 8, 7);
      } else {
        line(l + 4, t + 5, l + 15, t + 5);
        outline(l + 4, t + 6, 10, 8);
      }
      break;
    case 2:
      for (int y : {11, 12, 13}) line(l + 5, t + y, l + 14, t + y);
      break;
  }
  return px;
}

// -- Fixture

class SkFormsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterSkForms(); }

  void TearDown() override {
    if (m_host && m_host->IsLoaded()) m_host->Unload();
    m_host.reset();
    skFormsTestAccess::SetVisualStyleQuery({});
    UserControl::DoEvents();
  }

  // A shown host form of widthPx x 200 pixels at the screen's top left, with the
  // frame placed on it at run time; active unless told otherwise.
  skForms* MakeHost(std::u16string caption = u"", bool icon = false, int widthPx = 320,
                    const PropertyStore* props = nullptr, bool activate = true) {
    m_host = std::make_unique<Form>();
    EXPECT_TRUE(m_host->Create(widthPx * 15, 3000, caption));
    m_host->SetCaption(caption);
    FontValue font;
    font.face = u"\u5B8B\u4F53";
    font.size = 9;
    font.charset = 134;
    m_host->GetFont()->SetValue(font);
    if (icon) {
      unique_hicon app(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)));
      m_host->SetIcon(Picture::FromIcon(std::move(app)));
    }
    m_host->SetStartUpPosition(0);
    m_host->Move(0, 0);
    auto* frame = m_host->Add<skForms>(u"skForms1", nullptr, 0, 0, widthPx * 15, 3000, {}, props);
    m_host->Show();
    if (activate) Activate(m_host->hWnd());
    UserControl::DoEvents();
    return frame;
  }

  static void Activate(HWND hwnd) {
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    UserControl::DoEvents();
  }

  static std::string RowMismatch(const skForms& f, int y, int x0, int x1, uint32_t want) {
    for (int x = x0; x <= x1; ++x) {
      const COLORREF got = f.GetSurface().Pixel(x, y);
      if (got != want) {
        return "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " + Hex(got) +
               ", expected " + Hex(want);
      }
    }
    return {};
  }

  // Whole title rows 0 .. T - 1 between x0 and x1.
  static void ExpectTitleRows(const skForms& f, int style, uint32_t dark, uint32_t light, int x0,
                              int x1, const std::string& what) {
    const auto column = TitleColumn(style, Inside(f).TopHeight(), dark, light);
    for (int y = 0; y < Inside(f).TopHeight(); ++y) {
      ASSERT_NE(column[y], 0xFFFFFFFFu) << what << ": row " << y << " left undrawn";
      EXPECT_EQ(RowMismatch(f, y, x0, x1, column[y]), "") << what;
    }
  }

  // Everything below the title of a w x h frame whose top area is t high, at 96
  // dpi: the three outlines, the shadow, the corners and the back colour inside
  // (rows above t are left as the back colour).
  static std::vector<uint32_t> BorderAndShadow96(int w, int h, int t, uint32_t dark, uint32_t back) {
    const uint32_t darker = HalfOf(dark, kBlack);
    std::vector<uint32_t> want(static_cast<size_t>(w) * h, back);
    auto at = [&](int x, int y) -> uint32_t& { return want[static_cast<size_t>(y) * w + x]; };
    auto outline = [&](int x, int y, int ow, int oh, uint32_t c) {
      for (int i = 0; i <= ow; ++i) at(x + i, y) = at(x + i, y + oh) = c;
      for (int j = 0; j <= oh; ++j) at(x, y + j) = at(x + ow, y + j) = c;
    };
    outline(0, t + 1, w - 1, h - t - 2, dark);
    outline(1, t + 1, w - 3, h - t - 3, dark);
    outline(2, t + 1, w - 5, h - t - 4, darker);
    std::map<int, uint32_t> shadow;
    Lines(shadow, HalfOf(back, kBlack), back, t, 8);
    for (auto [y, c] : shadow) {
      for (int x = 3; x <= w - 4; ++x) at(x, y) = c;
    }
    for (int x = 0; x < w; ++x) at(x, t) = (x >= 5 && x < w - 5) ? darker : dark;
    for (auto [x, y] : {std::pair{2, t + 1}, {2, t + 2}, {3, t + 1}, {w - 3, t + 1}, {w - 3, t + 2},
                        {w - 4, t + 1}}) {
      at(x, y) = dark;
    }
    for (auto [x, y] : {std::pair{4, t + 1}, {3, t + 2}, {w - 5, t + 1}, {w - 4, t + 2}}) {
      at(x, y) = darker;
    }
    return want;
  }

  static void ExpectBorderAndShadow(const skForms& f, uint32_t dark, const std::string& what) {
    const int w = f.ScaleWidth();
    const int h = f.ScaleHeight();
    const int t = Inside(f).TopHeight();
    const uint32_t back = static_cast<uint32_t>(TranslateColor(f.BackColor()));
    const std::vector<uint32_t> want = BorderAndShadow96(w, h, t, dark, back);
    for (int y = t; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const COLORREF got = f.GetSurface().Pixel(x, y);
        if (got != want[static_cast<size_t>(y) * w + x]) {
          ADD_FAILURE() << what << ": (" << x << ", " << y << ") is " << Hex(got) << ", expected "
                        << Hex(want[static_cast<size_t>(y) * w + x]);
          return;
        }
      }
    }
  }

  std::unique_ptr<Form> m_host;
};

// -- Looks

TEST_F(SkFormsTest, EveryStyleDrawsItsRowsBorderAndShadowActiveAndFaded) {
  skForms* f = MakeHost();
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(f->ScaleWidth(), 320);
  ASSERT_EQ(f->ScaleHeight(), 200);
  f->SetThemeColor(0);
  for (int style = 0; style <= 5; ++style) {
    f->SetStyle(style);
    for (bool active : {true, false}) {
      SendMessageW(m_host->hWnd(), WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
      const uint32_t dark = active ? kBlueDark : kFadedDark;
      const uint32_t light = active ? kBlueLight : kFadedLight;
      EXPECT_EQ(Inside(f).DrawDark(), dark);
      EXPECT_EQ(Inside(f).DrawLight(), light);
      const std::string what = "style " + std::to_string(style) + (active ? " active" : " faded");
      EXPECT_EQ(Inside(f).TopHeight(), Inside(f).TitleHeight() + (style == 1 ? 10 : 0)) << what;
      // No caption and no icon: the rows are whole from the left edge to the buttons,
      // except style 1's grip dots in the middle of its top band.
      const int buttons = Inside(f).ButtonSlots()[2].left;
      if (style == 1) {
        const int x0 = static_cast<int>(std::nearbyint((320 - 34) / 2.0));
        ExpectTitleRows(*f, style, dark, light, 0, x0 - 1, what);
        ExpectTitleRows(*f, style, dark, light, x0 + 37, buttons - 2, what);
      } else {
        ExpectTitleRows(*f, style, dark, light, 0, buttons - 2, what);
      }
      ExpectBorderAndShadow(*f, dark, what);
    }
  }
}

// On a host moved to 192 dpi the border, the shadow and the corners are their
// 96-dpi pixels drawn as 2 x 2 blocks: columns counted from the nearer side,
// rows from the top area or (the last three 96-dpi rows) from the bottom. The
// 96-dpi frame they are taken from is a 100 x 100 one with a 10-row top area,
// whose middle rows and columns are what any frame has between its edges.
TEST_F(SkFormsTest, At192DpiTheBorderAndShadowAreThe96DpiOnesDoubled) {
  skForms* f = MakeHost();
  ASSERT_NE(f, nullptr);
  f->SetThemeColor(0);
  for (int style : {0, 1, 5}) {
    f->SetStyle(style);
    RECT rc{};
    GetWindowRect(m_host->hWnd(), &rc);
    SendMessageW(m_host->hWnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&rc));
    UserControl::DoEvents();
    ASSERT_EQ(f->Dpi(), 192);
    const int w = f->ScaleWidth();
    const int h = f->ScaleHeight();
    const int t = Inside(f).TopHeight();
    ASSERT_GT(h - t, 40);
    const uint32_t back = static_cast<uint32_t>(TranslateColor(f->BackColor()));
    constexpr int kSide = 100, kTop = 10;
    const std::vector<uint32_t> small = BorderAndShadow96(kSide, kSide, kTop, kBlueDark, back);
    std::string first;
    for (int y = t; y < h && first.empty(); ++y) {
      const int fromBottom = (h - 1 - y) / 2;
      const int row = fromBottom < 20 ? kSide - 1 - fromBottom : kTop + std::min((y - t) / 2, 20);
      for (int x = 0; x < w && first.empty(); ++x) {
        const int col = x < w / 2 ? std::min(x / 2, 20) : kSide - 1 - std::min((w - 1 - x) / 2, 20);
        const uint32_t want = small[static_cast<size_t>(row) * kSide + col];
        const COLORREF got = f->GetSurface().Pixel(x, y);
        if (got != want) {
          first = "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " + Hex(got) +
                  ", expected " + Hex(want);
        }
      }
    }
    EXPECT_EQ(first, "") << "style " << style;
  }
}

TEST_F(SkFormsTest, StyleOneGripDotsSitInTheMiddleOfTheTopBand) {
  skForms* f = MakeHost();
  f->SetThemeColor(2);
  f->SetStyle(1);
  const uint32_t dark = skforms::kThemePairs[2].dark;
  const uint32_t light = skforms::kThemePairs[2].light;
  // x0 = (320 - 34) / 2 = 143, y0 = (7 - 2) / 2 = 2.5 -> 2: each dot a dark 2 x 2
  // square at (x0 + 4i, 2) over a light one a pixel down and right.
  const uint32_t darker = HalfOf(dark, kBlack);
  const auto column = TitleColumn(1, Inside(f).TopHeight(), dark, light);
  for (int i = 0; i <= 8; ++i) {
    const int x = 143 + 4 * i;
    for (auto [dx, dy, c] : {std::tuple{0, 0, darker}, {1, 0, darker}, {0, 1, darker},
                             {1, 1, darker}, {2, 1, light}, {2, 2, light}, {1, 2, light},
                             {3, 1, column[3]}, {0, 2, column[4]}}) {
      EXPECT_EQ(f->GetSurface().Pixel(x + dx, 2 + dy), c) << "dot " << i << " +" << dx << "," << dy;
    }
  }
}

TEST_F(SkFormsTest, TheIconLeavesTheRowsBesideItAndMovesTheCaption) {
  skForms* f = MakeHost(u"Fuelwise v1.0.0110", /*icon=*/true);
  EXPECT_EQ(Inside(f).PaintedWidth(), 319);
  const int t = Inside(f).TopHeight();
  // Icon at x 6, (T - 16) / 2 + 2 rounded half to even.
  const int iconTop = static_cast<int>(std::nearbyint((t - 16) / 2.0 + 2));
  ExpectTitleRows(*f, 0, kBlueDark, kBlueLight, 0, 5, "left of the icon");
  const auto column = TitleColumn(0, t, kBlueDark, kBlueLight);
  int changed = 0;
  for (int y = iconTop; y < iconTop + 16; ++y) {
    for (int x = 6; x < 22; ++x) changed += f->GetSurface().Pixel(x, y) != column[y];
  }
  EXPECT_GT(changed, 40) << "the icon was drawn at (6, " << iconTop << ")";
  // ... and nowhere beside its square.
  for (int y : {iconTop - 1, iconTop + 16}) EXPECT_EQ(RowMismatch(*f, y, 6, 21, column[y]), "");
  // Up to where the caption's dark copy starts.
  for (int y = 0; y < t; ++y) EXPECT_EQ(RowMismatch(*f, y, 22, 29, column[y]), "");
  EXPECT_EQ(Inside(f).CaptionRect(), (skforms::Rect{31, 4, 254 - 6, t}));
  EXPECT_EQ(Inside(f).DrawnCaption(), u"Fuelwise v1.0.0110");
  ExpectBorderAndShadow(*f, kBlueDark, "with icon");
}

TEST_F(SkFormsTest, WithoutAnIconTheCaptionStartsAtNine) {
  skForms* f = MakeHost(u"Fuelwise v1.0.0110");
  EXPECT_EQ(Inside(f).PaintedWidth(), 0);
  EXPECT_EQ(Inside(f).CaptionRect(), (skforms::Rect{9, 4, 254 - 12, Inside(f).TopHeight()}));
  // Nothing of the caption lies left of it or past its right edge.
  ExpectTitleRows(*f, 0, kBlueDark, kBlueLight, 0, 6, "left of the caption");
  // Without buttons the caption may run up to 12 pixels before the right edge.
  f->SetCloseButton(false);
  f->SetMaxButton(false);
  f->SetMinButton(false);
  EXPECT_EQ(Inside(f).CaptionRect().right, 320 - 12);
}

TEST_F(SkFormsTest, StylesTwoAndFiveDrawTheCaptionOnceTheOthersWithADarkCopy) {
  skForms* f = MakeHost(u"Fuelwise v1.0.0110");
  for (int style = 0; style <= 5; ++style) {
    f->SetStyle(style);
    const uint32_t darkCopy = HalfOf(kBlueDark, kBlack);
    const uint32_t light = kBlueLight;
    int darkPixels = 0;
    int lightPixels = 0;
    const auto r = Inside(f).CaptionRect();
    for (int y = r.top - 1; y < r.bottom; ++y) {
      for (int x = r.left - 1; x < r.right; ++x) {
        darkPixels += f->GetSurface().Pixel(x, y) == darkCopy;
        lightPixels += f->GetSurface().Pixel(x, y) == light;
      }
    }
    const bool once = style == 2 || style == 5;
    EXPECT_EQ(darkPixels > 20, !once) << "style " << style;
    EXPECT_GT(lightPixels, once ? 20 : 0) << "style " << style;
  }
}

TEST_F(SkFormsTest, ANarrowHostTrimsTheCaptionDownToNothing) {
  skForms* f = MakeHost(u"Fuelwise v1.0.0110", false, 150);
  const int width = Inside(f).CaptionRect().right - Inside(f).CaptionRect().left;
  const std::u16string drawn = Inside(f).DrawnCaption();
  ASSERT_GE(drawn.size(), 4u);
  EXPECT_EQ(drawn.substr(drawn.size() - 3), u"...");
  EXPECT_LE(f->TextWidth(drawn), width);
  // One character more would not fit.
  const std::u16string longer = std::u16string(u"Fuelwise v1.0.0110").substr(0, drawn.size() - 2) + u"...";
  EXPECT_GT(f->TextWidth(longer), width);

  // 9 + 12 + 3 * 21 + 3 = 87 pixels leave no room at all.
  f->SetMaxButton(false);
  m_host->SetClientSize(90 * 15, 3000);
  UserControl::DoEvents();
  EXPECT_EQ(f->ScaleWidth(), 90);
  EXPECT_LT(Inside(f).CaptionRect().right - Inside(f).CaptionRect().left, f->TextWidth(u"F..."));
  EXPECT_EQ(Inside(f).DrawnCaption(), u"");
}

TEST_F(SkFormsTest, GlyphsLinesAndTheRestoreGlyphOnlyWhileMaximised) {
  skForms* f = MakeHost();
  const auto column = TitleColumn(0, Inside(f).TopHeight(), kBlueDark, kBlueLight);
  auto expectGlyph = [&](int slot, bool restore) {
    const auto& s = Inside(f).ButtonSlots()[slot];
    const auto px = GlyphPixels(slot, restore, s.left, s.top);
    for (int y = s.top; y < s.top + 18; ++y) {
      for (int x = s.left; x < s.left + 18; ++x) {
        const uint32_t want = px.count({x, y}) ? kBlueDark : column[y];
        ASSERT_EQ(f->GetSurface().Pixel(x, y), want)
            << "slot " << slot << (restore ? " restore" : "") << " at (" << x << ", " << y << ")";
      }
    }
  };
  EXPECT_EQ(Inside(f).ButtonSlots()[0].left, 296);
  EXPECT_EQ(Inside(f).ButtonSlots()[0].top, Inside(f).ButtonTop() + 2);
  for (int slot = 0; slot < 3; ++slot) expectGlyph(slot, false);

  m_host->SetWindowState(2);
  UserControl::DoEvents();
  EXPECT_EQ(m_host->WindowState(), 2);
  EXPECT_GT(f->ScaleWidth(), 320) << "the frame follows the maximised host";
  expectGlyph(1, true);
  m_host->SetWindowState(0);
  UserControl::DoEvents();
  expectGlyph(1, false);

  // Only the minimise button: at the close button's place.
  f->SetCloseButton(false);
  f->SetMaxButton(false);
  EXPECT_EQ(Inside(f).ButtonSlots()[2].left, 296);
  EXPECT_EQ(Inside(f).LeftmostButton(), 2);
  expectGlyph(2, false);
}

// Styles 2 and 5 put the buttons on a band solid in DrawDark: their normal glyphs
// are drawn in DrawLight (the caption's colour there), so they can be seen.
TEST_F(SkFormsTest, StylesTwoAndFiveDrawTheNormalGlyphsLight) {
  skForms* f = MakeHost();
  for (int style : {2, 5}) {
    f->SetStyle(style);
    const auto column = TitleColumn(style, Inside(f).TopHeight(), kBlueDark, kBlueLight);
    for (int slot = 0; slot < 3; ++slot) {
      const auto& b = Inside(f).ButtonSlots()[slot];
      const auto px = GlyphPixels(slot, false, b.left, b.top);
      for (int y = b.top; y < std::min(b.top + 18, Inside(f).TopHeight()); ++y) {
        for (int x = b.left; x < b.left + 18; ++x) {
          const uint32_t want = px.count({x, y}) ? kBlueLight : column[y];
          ASSERT_EQ(f->GetSurface().Pixel(x, y), want)
              << "style " << style << " slot " << slot << " at (" << x << ", " << y << ")";
        }
      }
    }
  }
}

TEST(SkFormsDrawTest, ACylinderFactorOfOneDrawsAsOnePointZeroOne) {
  auto draw = [](double f) {
    Surface s;
    s.Resize(4, 40, RGB(1, 2, 3));
    skforms::DrawGradCilinder(s.Dc(), kBlueDark, kBlueLight, 0, 0, 4, 40, true, f);
    std::vector<COLORREF> column;
    for (int y = 0; y < 40; ++y) column.push_back(s.Pixel(2, y));
    return column;
  };
  const auto one = draw(1.0);
  EXPECT_EQ(one, draw(1.01));
  EXPECT_EQ(draw(0.5), one);
  EXPECT_NE(draw(1.5), one);
  // 40 / 1.01 = 39.6 -> 40 lines from dark to light (rows 1 .. 39); the way back
  // is a single line, which draws nothing; row 0 is left as it was.
  std::map<int, uint32_t> rows;
  Cylinder(rows, kBlueDark, kBlueLight, 0, 40, 1.01);
  EXPECT_EQ(one[0], RGB(1, 2, 3));
  for (int y = 1; y < 40; ++y) EXPECT_EQ(one[y], rows.at(y)) << y;
}

// -- Colours and properties

TEST_F(SkFormsTest, TheTitleIsFadedUntilTheHostIsActivatedAndAgainAfter) {
  m_host = std::make_unique<Form>();
  ASSERT_TRUE(m_host->Create(4800, 3000, u""));
  m_host->SetStartUpPosition(0);
  m_host->Move(0, 0);
  skForms* f = m_host->Add<skForms>(u"skForms1", nullptr, 0, 0, 4800, 3000);
  ASSERT_NE(f, nullptr);
  // Before the first activation message.
  EXPECT_FALSE(Inside(f).IsActive());
  EXPECT_EQ(Inside(f).DrawDark(), kFadedDark);
  EXPECT_EQ(f->GetSurface().Pixel(100, 15),
            TitleColumn(0, Inside(f).TopHeight(), kFadedDark, kFadedLight)[15]);
  m_host->Show();
  Activate(m_host->hWnd());
  EXPECT_TRUE(Inside(f).IsActive());
  EXPECT_EQ(Inside(f).DrawDark(), kBlueDark);
  EXPECT_EQ(f->GetSurface().Pixel(100, 15), TitleColumn(0, Inside(f).TopHeight(), kBlueDark, kBlueLight)[15]);
  Form other;
  ASSERT_TRUE(other.Create(1500, 1500, u"other"));
  other.Show();
  Activate(other.hWnd());
  EXPECT_FALSE(Inside(f).IsActive());
  EXPECT_EQ(Inside(f).DrawDark(), kFadedDark);
  EXPECT_EQ(Inside(f).DrawLight(), kFadedLight);
  other.Unload();
}

TEST_F(SkFormsTest, CustomColoursReachTheDrawingAtOnceEvenWhileFaded) {
  skForms* f = MakeHost();
  SendMessageW(m_host->hWnd(), WM_ACTIVATE, WA_INACTIVE, 0);
  f->SetThemeColor(5);
  EXPECT_EQ(Inside(f).DrawDark(), Mix(0x404080, kWhite, 190));
  f->SetColorFrom(Colour(RGB3(10, 20, 30)));
  EXPECT_EQ(Inside(f).DrawDark(), RGB3(10, 20, 30)) << "no fading until the next SetThemeColor";
  f->SetColorTo(Colour(0x8000000F));  // a system colour is stored translated
  EXPECT_EQ(f->ColorTo(), Colour(static_cast<uint32_t>(TranslateColor(Colour(0x8000000F)))));
}

TEST_F(SkFormsTest, TheSystemThemeFollowsTheVisualStyleQueries) {
  skForms* f = MakeHost();
  // Under this Wine the style data does not open: "Classic" keeps the pair.
  f->SetThemeColor(2);
  f->SetThemeColor(6);
  EXPECT_EQ(Inside(f).SchemeName(), u"Classic");
  EXPECT_EQ(Inside(f).ThemePair(), skforms::kThemePairs[2]);
  skFormsTestAccess::SetVisualStyleQuery([](HWND) { return skforms::VisualStyle{true, u"Metallic", true}; });
  f->SetThemeColor();
  EXPECT_EQ(Inside(f).SchemeName(), u"Metallic");
  EXPECT_EQ(Inside(f).DrawDark(), skforms::kThemePairs[1].dark);
  skFormsTestAccess::SetVisualStyleQuery([](HWND) { return skforms::VisualStyle{true, u"Metallic", false}; });
  SendMessageW(m_host->hWnd(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(Inside(f).DrawDark(), kBlueDark) << "not themed: blue";
}

TEST_F(SkFormsTest, PersistenceKeepsThemeZeroAndAnEmptyDesignFollowsTheSystem) {
  skForms* f = MakeHost();
  PropertyStore saved;
  m_host->ClearChangedProperties();
  // A new frame: ThemeColor 0 is stored because it is read back with 6.
  f->SetIconSize(16);
  EXPECT_TRUE(m_host->ChangedProperties().empty()) << "IconSize set to its value changes nothing";
  PropertyStore p;
  static_cast<Control*>(f)->WriteProperties(p);
  ASSERT_TRUE(p.Contains(u"ThemeColor"));
  m_host->Unload();

  skForms* back = MakeHost(u"", false, 320, &p);
  EXPECT_EQ(back->ThemeColor(), 0);
  EXPECT_EQ(Inside(back).DrawDark(), kBlueDark);
  m_host->Unload();
  const PropertyStore empty;
  skForms* fresh = MakeHost(u"", false, 320, &empty);
  EXPECT_EQ(fresh->ThemeColor(), 6);
}

// -- Caption buttons with real input

class SkFormsInputTest : public SkFormsTest {
 protected:
  void SetUp() override {
    m_frame = MakeHost();
    m_frame->MouseDown = [this](int b, int, float, float) { m_log.push_back("down" + std::to_string(b)); };
    m_frame->MouseUp = [this](int b, int, float, float) { m_log.push_back("up" + std::to_string(b)); };
    m_frame->Click = [this] { m_log.push_back("click"); };
    m_frame->skCloseClick = [this] { m_log.push_back("skCloseClick"); };
    MoveTo(160, 120);
    m_log.clear();
  }

  POINT Centre(int slot) const {
    const auto& s = Inside(m_frame).ButtonSlots()[slot];
    return {s.left + 9, s.top + 9};
  }
  // Pointer to client point (x, y) of the host (at the screen's origin, no border).
  static void MoveTo(int x, int y) {
    SetCursorPos(x, y);
    UserControl::DoEvents();
  }
  static void MoveTo(POINT p) { MoveTo(p.x, p.y); }
  static void Button(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    UserControl::DoEvents();
  }

  skForms* m_frame = nullptr;
  std::vector<std::string> m_log;
};

TEST_F(SkFormsInputTest, HoverLightsOneButtonAtATimeWithItsTooltipAndPointer) {
  MoveTo(Centre(0));
  EXPECT_TRUE(Inside(m_frame).IsActive());
  EXPECT_EQ(Inside(m_frame).HoverButton(), 0);
  EXPECT_EQ(Inside(m_frame).LitButton(), 0);
  EXPECT_EQ(m_frame->MousePointer(), 99);
  EXPECT_EQ(m_frame->ToolTipText(), u"\u5173\u95ED");
  const auto& close = Inside(m_frame).ButtonSlots()[0];
  EXPECT_EQ(m_frame->GetSurface().Pixel(close.left, close.top + 5), HalfOf(kBlueDark, kBlack))
      << "the hover outline";
  MoveTo(Centre(2));
  EXPECT_EQ(Inside(m_frame).LitButton(), 2);
  EXPECT_EQ(m_frame->ToolTipText(), u"\u6700\u5C0F\u5316");
  // The close button is back to its normal look: the title row under its outline.
  const auto column = TitleColumn(0, Inside(m_frame).TopHeight(), kBlueDark, kBlueLight);
  EXPECT_EQ(m_frame->GetSurface().Pixel(close.left, close.top + 5), column[close.top + 5]);
  EXPECT_TRUE(Inside(m_frame).IsActive()) << "the tooltip takes no activation";
  MoveTo(100, 100);
  EXPECT_EQ(Inside(m_frame).LitButton(), -1);
  EXPECT_EQ(m_frame->MousePointer(), 0);
  EXPECT_EQ(m_frame->ToolTipText(), u"");
}

TEST_F(SkFormsInputTest, InStyleTwoTheLitButtonsGlyphIsDarkOnItsLightFace) {
  m_frame->SetStyle(2);
  const auto& close = Inside(m_frame).ButtonSlots()[0];
  const auto px = GlyphPixels(0, false, close.left, close.top);
  MoveTo(Centre(0));
  ASSERT_EQ(Inside(m_frame).LitButton(), 0);
  for (auto [x, y] : px) EXPECT_EQ(m_frame->GetSurface().Pixel(x, y), kBlueDark) << x << ", " << y;
  MoveTo(Centre(2));
  for (auto [x, y] : px) EXPECT_EQ(m_frame->GetSurface().Pixel(x, y), kBlueLight) << x << ", " << y;
}

TEST_F(SkFormsInputTest, LeavingTheFrameRedrawsTheTitleWithNoButtonLit) {
  MoveTo(Centre(1));
  ASSERT_EQ(Inside(m_frame).LitButton(), 1);
  EXPECT_EQ(m_frame->ToolTipText(), u"") << "the maximise tooltip is set by the first hover look";
  const auto& max = Inside(m_frame).ButtonSlots()[1];
  const auto column = TitleColumn(0, Inside(m_frame).TopHeight(), kBlueDark, kBlueLight);
  ASSERT_NE(m_frame->GetSurface().Pixel(max.left + 2, max.top + 2), column[max.top + 2]);
  MoveTo(600, 500);  // off the host: the leave notice comes from the platform's timer
  for (int i = 0; i < 300 && Inside(m_frame).LitButton() != -1; ++i) {
    Sleep(10);
    UserControl::DoEvents();
  }
  EXPECT_EQ(Inside(m_frame).LitButton(), -1);
  EXPECT_EQ(Inside(m_frame).HoverButton(), -1);
  EXPECT_EQ(m_frame->GetSurface().Pixel(max.left + 2, max.top + 2), column[max.top + 2]);
  MoveTo(Centre(1));
  MoveTo(Centre(1).x + 1, Centre(1).y);
  EXPECT_EQ(m_frame->ToolTipText(), u"\u6700\u5927\u5316");  // 最大化
}

TEST_F(SkFormsInputTest, APressOnCloseReleasedElsewhereDoesNothing) {
  MoveTo(Centre(0));
  Button(true);
  EXPECT_EQ(Inside(m_frame).PressedButton(), 0);
  MoveTo(100, 100);
  Button(false);
  EXPECT_TRUE(m_host->IsLoaded());
  EXPECT_EQ(Inside(m_frame).PressedButton(), -1);
  EXPECT_EQ(m_log, (std::vector<std::string>{"down1", "up1", "click"}));
}

TEST_F(SkFormsInputTest, APressOnMinimiseReleasedOverCloseDoesNothing) {
  MoveTo(Centre(2));
  Button(true);
  MoveTo(Centre(0));
  EXPECT_EQ(Inside(m_frame).LitButton(), 0) << "lit, but not pressed: another slot is";
  Button(false);
  EXPECT_TRUE(m_host->IsLoaded());
  EXPECT_EQ(m_host->WindowState(), 0);
  EXPECT_EQ(m_log, (std::vector<std::string>{"down1", "up1", "click"}));
}

TEST_F(SkFormsInputTest, APressOutsideReleasedOverCloseCloses) {
  MoveTo(100, 100);
  Button(true);
  MoveTo(Centre(0));
  Button(false);
  EXPECT_FALSE(m_host->IsLoaded());
  EXPECT_EQ(m_log, (std::vector<std::string>{"down1", "up1", "skCloseClick"}));
}

TEST_F(SkFormsInputTest, MinimiseAndMaximiseAct) {
  MoveTo(Centre(1));
  Button(true);
  Button(false);
  EXPECT_EQ(m_frame->WindowState(), 2);
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_EQ(m_frame->ScaleWidth(), area.right - area.left) << "the host covers the work area";
  MoveTo(Centre(1));
  Button(true);
  Button(false);
  EXPECT_EQ(m_frame->WindowState(), 0);
  EXPECT_EQ(m_frame->ScaleWidth(), 320) << "back at the restore rectangle";
  MoveTo(Centre(2));
  Button(true);
  Button(false);
  EXPECT_EQ(m_host->WindowState(), 1);
}

// A host handler that throws is contained where it is raised: what the frame
// does after raising the event still happens.
TEST_F(SkFormsTest, AFailingHandlerDoesNotStopTheFramesNextSteps) {
  auto click = [](int x, int y) {
    SetCursorPos(x, y);
    UserControl::DoEvents();
    for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
      INPUT in{};
      in.type = INPUT_MOUSE;
      in.mi.dwFlags = flags;
      SendInput(1, &in, sizeof in);
      UserControl::DoEvents();
    }
  };
  int raised = 0;
  const EventHandler fail = [&] {
    ++raised;
    throw std::runtime_error("handler");
  };
  const MouseHandler failMouse = [&](int, int, float, float) { fail(); };
  // The host is 320 x 200 at the screen's origin: close at 296, maximise at 275.
  struct Case {
    const char* event;
    std::function<void(skForms&)> arm;
    std::function<void(skForms&)> act;
    std::function<bool(skForms*)> done;  // null once the host is gone
  } const cases[] = {
      {"skCloseClick", [&](skForms& f) { f.skCloseClick = fail; },
       [&](skForms& f) { click(Inside(f).ButtonSlots()[0].left + 9, Inside(f).ButtonSlots()[0].top + 9); },
       [&](skForms* f) { return f == nullptr; }},
      {"ReSize", [&](skForms& f) { f.ReSize = fail; },
       [&](skForms&) {
         SetCursorPos(160, 120);  // the grips
         UserControl::DoEvents();
         m_host->SetClientSize(400 * 15, 3000);
         UserControl::DoEvents();
       },
       [&](skForms* f) { return f && Inside(f).GripsCreated() && Inside(f).GripRight()->PixelRect().left == 396; }},
      {"MouseMove", [&](skForms& f) { f.MouseMove = failMouse; },
       [&](skForms& f) {
         SetCursorPos(160, 120);
         UserControl::DoEvents();
         SetCursorPos(Inside(f).ButtonSlots()[0].left + 9, Inside(f).ButtonSlots()[0].top + 9);
         UserControl::DoEvents();
       },
       [&](skForms* f) { return f && Inside(f).GripsCreated() && Inside(f).LitButton() == 0; }},
      {"MouseUp", [&](skForms& f) { f.MouseUp = failMouse; },
       [&](skForms& f) { click(Inside(f).ButtonSlots()[1].left + 9, Inside(f).ButtonSlots()[1].top + 9); },
       [&](skForms* f) { return f && f->WindowState() == 2 && Inside(f).PressedButton() == -1; }},
      {"MouseDown", [&](skForms& f) { f.MouseDown = failMouse; },
       [&](skForms& f) { click(Inside(f).ButtonSlots()[1].left + 9, Inside(f).ButtonSlots()[1].top + 9); },
       [&](skForms* f) { return f && f->WindowState() == 2; }},
      {"Click", [&](skForms& f) { f.Click = fail; },
       [&](skForms& f) { click(Inside(f).ButtonSlots()[1].left + 9, Inside(f).ButtonSlots()[1].top + 9); },
       [&](skForms* f) { return f && f->WindowState() == 2; }},
      {"DblClick", [&](skForms& f) { f.DblClick = fail; },
       [&](skForms&) {
         click(100, 10);
         click(100, 10);
       },
       [&](skForms* f) { return f && f->WindowState() == 2; }},
  };
  std::vector<std::u16string> traced;
  const FailureTrace previous =
      SetFailureTrace([&](std::u16string_view line) { traced.emplace_back(line); });
  SetCursorPos(600, 500);
  for (const Case& c : cases) {
    skForms* f = MakeHost();
    c.arm(*f);
    raised = 0;
    traced.clear();
    c.act(*f);
    EXPECT_GT(raised, 0) << c.event << " was not raised";
    EXPECT_TRUE(c.done(m_host->IsLoaded() ? f : nullptr)) << "the frame stopped after a failing " << c.event << " handler";
    // Each failure is traced for the developer, by the event it came from.
    const std::string event = c.event;
    const std::u16string line = u"Fuelwise: skForms." + std::u16string(event.begin(), event.end()) + u": handler";
    EXPECT_EQ(traced, std::vector<std::u16string>(static_cast<size_t>(raised), line)) << c.event;
    if (m_host->IsLoaded()) m_host->Unload();
    SetCursorPos(600, 500);
    UserControl::DoEvents();
  }
  SetFailureTrace(previous);
}

TEST_F(SkFormsTest, AtDesignTimeTheFrameHooksNothingAndDrawsTheFullPair) {
  m_host = std::make_unique<Form>();
  ASSERT_TRUE(m_host->Create(4800, 3000, u"design"));
  m_host->SetUserMode(false);
  const LONG_PTR proc = GetWindowLongPtrW(m_host->hWnd(), GWLP_WNDPROC);
  skForms* f = m_host->Add<skForms>(u"skForms1", nullptr, 0, 0, 4800, 3000);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(m_host->hWnd(), GWLP_WNDPROC), proc);
  EXPECT_EQ(m_host->BorderStyle(), 0);
  EXPECT_TRUE(m_host->MaxButton() && m_host->MinButton());
  EXPECT_EQ(f->ThemeColor(), 0);
  EXPECT_EQ(Inside(f).DrawDark(), kBlueDark);
  EXPECT_EQ(Inside(f).CaptionText(), u"design");
  EXPECT_EQ(f->GetFont()->Bold(), true);
}

// -- Closing

TEST_F(SkFormsTest, AltF4AndTheCloseCommandCloseOnlyWithTheCloseButton) {
  for (bool closeButton : {false, true}) {
    for (bool command : {false, true}) {
      skForms* f = MakeHost();
      int events = 0;
      f->skCloseClick = [&] { ++events; };
      f->SetCloseButton(closeButton);
      if (command) {
        SendMessageW(m_host->hWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
      } else {
        ::SetFocus(f->hWnd());
        keybd_event(VK_MENU, 0, 0, 0);
        keybd_event(VK_F4, 0, 0, 0);
        keybd_event(VK_F4, 0, KEYEVENTF_KEYUP, 0);
        keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
        UserControl::DoEvents();
      }
      const std::string what = std::string(command ? "close command" : "Alt+F4") +
                               (closeButton ? " with" : " without") + " the close button";
      EXPECT_EQ(m_host->IsLoaded(), !closeButton) << what;
      EXPECT_EQ(events, 0) << what;
      if (m_host->IsLoaded()) m_host->Unload();
    }
  }
}

TEST_F(SkFormsTest, TheHooksLeaveAndNoHandleStaysBehindOverManyRounds) {
  // Warm-up: the first round creates what lives for the process.
  MakeHost(u"x", true);
  m_host->Unload();
  UserControl::DoEvents();
  const int gdi = LiveGdiHandles();
  const int windows = LiveHandles(HandleKind::Window);
  for (int round = 0; round < 40; ++round) {
    skForms* f = MakeHost(u"Fuelwise", true);
    HWND host = m_host->hWnd();
    const auto proc = GetClassLongPtrW(host, GCLP_WNDPROC);
    ASSERT_NE(GetWindowLongPtrW(host, GWLP_WNDPROC), static_cast<LONG_PTR>(proc)) << "hooked";
    f->SetStyle(round % 6);
    f->Destroy();
    SendMessageW(host, WM_NULL, 0, 0);  // the hook leaves on the window's next message
    EXPECT_EQ(GetWindowLongPtrW(host, GWLP_WNDPROC), static_cast<LONG_PTR>(proc))
        << "the form's own procedure is back";
    m_host->Unload();
  }
  UserControl::DoEvents();
  EXPECT_EQ(LiveGdiHandles(), gdi);
  EXPECT_EQ(LiveHandles(HandleKind::Window), windows);
}

}  // namespace
}  // namespace fw
