// The main window at the display's scale, with a city's prices from the sample
// site. The test runs once per scale, each time in a Wine prefix of its own
// whose LogPixels is that scale (tests/tools/with-dpi.sh). At 96 dpi it records
// where every control lies; at 120, 144 and 192 it checks that every control
// lies at its 96-dpi rectangle times the scale, within a pixel. At every scale
// no text may be cut: each caption, panel text and price row fits its box.
// Each run also saves the window as fuelwise@<dpi>.png, for review.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/ForMain.h"
#include "app/ModMain.h"
#include "controls/JCombo/JCombo.h"
#include "controls/XPContainer/XPContainer.h"
#include "controls/skbutton/skbutton.h"
#include "controls/ucStatusBar/ucStatusBar.h"
#include "host/Font.h"
#include "host/Gdi.h"
#include "host/Label.h"
#include "host/Numeric.h"
#include "host/PngFile.h"
#include "host/Utf8.h"
#include "host/WideText.h"
#include "tests/app/WindowTestSupport.h"
#include "tests/app/price/SiteTestSupport.h"

namespace fw {

// Where the bar last drew each panel's text.
struct ucStatusBarTestAccess {
  static const std::vector<statusbar::StatusPanel>& Panels(const ucStatusBar& b) {
    return b.m_panels.Records();
  }
};

// The header container's caption label and the strip it lies on.
struct XPContainerTestAccess {
  static const xpcontainer::HeaderStrip& HeaderStripPart(const XPContainer& b) { return b.m_header; }
  static const Label& CaptionLabelPart(const XPContainer& b) { return b.m_captionLabel; }
};

namespace {

class QuietMain : public ForMain {
 public:
  using ForMain::ForMain;

 protected:
  int32_t ShowMessageBox(std::u16string_view, int32_t, std::u16string_view) override { return 1; }
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The size `text` takes in `font` at `dpi`, on a single line.
SIZE TextExtent(const Font& font, int dpi, std::u16string_view text) {
  unique_hfont handle = font.CreateHandle(dpi);
  unique_hdc_window screen(nullptr);
  unique_select sel(screen.get(), handle.get());
  const std::wstring w = ToWide(text);
  RECT calc{0, 0, 0, 0};
  DrawTextW(screen.get(), w.c_str(), static_cast<int>(w.size()), &calc,
            DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
  return SIZE{calc.right, calc.bottom};
}

std::string Name(const Control& c) { return Utf16ToUtf8(c.QualifiedName()); }

// A control's rectangle in the form's client area.
RECT InForm(const Control& c, HWND form) {
  RECT rc{};
  if (c.hWnd()) {
    GetWindowRect(c.hWnd(), &rc);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rc), 2);
  } else {
    rc = c.PixelRect();
    MapWindowPoints(c.ContainerHwnd(), form, reinterpret_cast<POINT*>(&rc), 2);
  }
  return rc;
}

class DpiLayoutTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    OleInitialize(nullptr);
    RegisterWindowKinds();
  }
  static void TearDownTestSuite() { OleUninitialize(); }

  void SetUp() override {
    const std::u16string root = u"http://" + ToU16(SiteHost()) + u"/";
    form = std::make_unique<QuietMain>(root, root);
    ASSERT_TRUE(form->LoadDesign());
    form->Show();
    Pump();
    test::ChooseInList(form->Get<JCombo>(u"comWhere", 0)->InnerComboHwnd(), u"广东");
    test::ChooseInList(form->Get<JCombo>(u"comWhere", 1)->InnerComboHwnd(), u"广州");
    Pump();
    RedrawWindow(form->hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
  }
  void TearDown() override {
    if (form && form->IsLoaded()) form->Unload();
    form.reset();
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }

  // "<name> <left> <top> <right> <bottom>" per control, the form's client area first.
  std::map<std::string, RECT> Layout() const {
    std::map<std::string, RECT> layout;
    RECT client{};
    GetClientRect(form->hWnd(), &client);
    layout["ForMain"] = client;
    for (const auto& c : form->Controls()) {
      if (c->hWnd() || c->ContainerHwnd()) layout[Name(*c)] = InForm(*c, form->hWnd());
    }
    return layout;
  }

  static std::string RecordPath() {
    const char* dir = std::getenv("FUELWISE_DPI_RECORD_DIR");
    return std::string(dir ? dir : ".") + "/dpi-layout-96.txt";
  }

  std::unique_ptr<QuietMain> form;
};

TEST_F(DpiLayoutTest, EveryControlIsItsDesignTimesTheScale) {
  const int dpi = form->Dpi();
  EXPECT_EQ(dpi, ScreenDpi());
  const std::map<std::string, RECT> now = Layout();
  if (dpi == 96) {
    std::ofstream out(RecordPath());
    for (const auto& [name, rc] : now) {
      out << name << ' ' << rc.left << ' ' << rc.top << ' ' << rc.right << ' ' << rc.bottom << '\n';
    }
    ASSERT_TRUE(out.good()) << RecordPath();
    return;
  }
  std::ifstream in(RecordPath());
  ASSERT_TRUE(in.good()) << "the 96-dpi run records " << RecordPath() << " first";
  std::map<std::string, RECT> at96;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream row(line);
    std::string name;
    RECT rc{};
    if (row >> name >> rc.left >> rc.top >> rc.right >> rc.bottom) at96[name] = rc;
  }
  for (const auto& [name, rc] : now) EXPECT_TRUE(at96.count(name)) << name << " only at " << dpi;
  for (const auto& [name, rc] : at96) {
    auto it = now.find(name);
    if (it == now.end()) {
      ADD_FAILURE() << name << " at 96 dpi only";
      continue;
    }
    const RECT& got = it->second;
    // A label that sizes itself to its text is as large as its text measures
    // (glyphs do not grow in exact proportion); its corner is still scaled.
    const auto* label = dynamic_cast<const Label*>(form->Find(
        Utf8ToUtf16(name.substr(0, name.find('('))),
        name.find('(') == std::string::npos ? std::optional<int32_t>{}
                                            : std::optional<int32_t>{std::stoi(name.substr(name.find('(') + 1))}));
    const bool sized = label && label->AutoSize();
    const LONG want[] = {MulDiv(rc.left, dpi, 96), MulDiv(rc.top, dpi, 96),
                         MulDiv(rc.right, dpi, 96), MulDiv(rc.bottom, dpi, 96)};
    const LONG have[] = {got.left, got.top, got.right, got.bottom};
    for (int edge = 0; edge < (sized ? 2 : 4); ++edge) {
      EXPECT_NEAR(have[edge], want[edge], 1) << name << " edge " << "ltrb"[edge] << " at " << dpi;
    }
  }
}

TEST_F(DpiLayoutTest, NoTextIsCut) {
  const int dpi = form->Dpi();
  for (const auto& c : form->Controls()) {
    if (c->hWnd() ? !IsWindowVisible(c->hWnd()) : !c->Visible()) continue;
    const RECT rc = c->hWnd() ? InForm(*c, form->hWnd()) : c->PixelRect();
    const LONG w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (const auto* label = dynamic_cast<const Label*>(c.get())) {
      if (label->Caption().empty()) continue;
      const SIZE text = TextExtent(*label->GetFont(), dpi, label->Caption());
      EXPECT_LE(text.cx, w) << Name(*c) << " at " << dpi;
      EXPECT_LE(text.cy, h) << Name(*c) << " at " << dpi;
      // And the label lies inside the window it is drawn on. The one excess
      // allowed is the font's own: a face whose glyph advances round up at
      // this size (the substitute for 宋体 here: half-width glyphs of 0.6 em,
      // 7 px at 12 px but 11 at 18) makes the text wider than its 96-dpi width
      // times the scale, which no placement can take back.
      const LONG proportional = MulDiv(TextExtent(*label->GetFont(), 96, label->Caption()).cx, dpi, 96);
      const LONG fontExcess = std::max<LONG>(0, text.cx - proportional);
      RECT holder{};
      GetClientRect(c->ContainerHwnd(), &holder);
      EXPECT_LE(rc.right, holder.right + fontExcess) << Name(*c) << " past its container at " << dpi;
      EXPECT_LE(rc.bottom, holder.bottom) << Name(*c) << " past its container at " << dpi;
    } else if (const auto* button = dynamic_cast<const skbutton*>(c.get())) {
      const SIZE text = TextExtent(*button->GetFont(), dpi, button->Caption());
      // Inside the button's border and its focus rectangle: 4 pixels a side at 96 dpi.
      EXPECT_LE(text.cx, w - 2 * ScaleToDpi(4, dpi)) << Name(*c) << " at " << dpi;
      EXPECT_LE(text.cy, h - 2 * ScaleToDpi(4, dpi)) << Name(*c) << " at " << dpi;
    } else if (const auto* box = dynamic_cast<const XPContainer*>(c.get())) {
      // The caption is a label lying on the header strip: the label holds its
      // text and the strip holds the label.
      const Label& caption = XPContainerTestAccess::CaptionLabelPart(*box);
      const SIZE text = TextExtent(*caption.GetFont(), dpi, box->Caption());
      const RECT place = caption.PixelRect();
      RECT strip{};
      GetClientRect(XPContainerTestAccess::HeaderStripPart(*box).hWnd(), &strip);
      EXPECT_LE(text.cx, place.right - place.left) << Name(*c) << " caption at " << dpi;
      EXPECT_LE(text.cy, place.bottom - place.top) << Name(*c) << " caption at " << dpi;
      EXPECT_LE(place.bottom, strip.bottom) << Name(*c) << " header strip at " << dpi;
    } else if (const auto* combo = dynamic_cast<const JCombo*>(c.get())) {
      RECT field{};
      GetClientRect(combo->TextPart().hWnd(), &field);
      const SIZE text = TextExtent(*combo->GetFont(), dpi, combo->Text());
      EXPECT_LE(text.cx, field.right) << Name(*c) << " at " << dpi;
      EXPECT_LE(text.cy, field.bottom) << Name(*c) << " at " << dpi;
    } else if (const auto* bar = dynamic_cast<const ucStatusBar*>(c.get())) {
      // Each panel's text against the place the bar last drew it in.
      const auto& panels = ucStatusBarTestAccess::Panels(*bar);
      for (size_t i = 0; i < panels.size(); ++i) {
        const statusbar::PanelRect& place = panels[i].textRect;
        const SIZE text = TextExtent(*bar->Font(), dpi, panels[i].text);
        EXPECT_LE(text.cx, place.right - place.left) << "panel " << i + 1 << " at " << dpi;
        EXPECT_LE(text.cy, place.bottom - place.top) << "panel " << i + 1 << " at " << dpi;
      }
    }
  }
}

TEST_F(DpiLayoutTest, TheWindowForReview) {
  RECT outer{};
  GetWindowRect(form->hWnd(), &outer);
  HDC dc = GetWindowDC(form->hWnd());
  const PixelImage shot = CaptureDc(dc, outer.right - outer.left, outer.bottom - outer.top);
  ReleaseDC(form->hWnd(), dc);
  const std::wstring file = L"fuelwise@" + std::to_wstring(form->Dpi()) + L".png";
  EXPECT_TRUE(SavePng(file, shot));
}

}  // namespace
}  // namespace fw
