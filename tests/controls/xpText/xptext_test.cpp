// The spin text box on a real form under the host: real messages to its text
// box, the whole run of events they raise, its layout, its enabled look and what
// it saves and reads.

#include "controls/xpText/xpText.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <oleacc.h>

#include "host/DesignFile.h"
#include "host/Form.h"
#include "host/Label.h"
#include "host/PngFile.h"
#include "tests/host/AccessibleRead.h"

namespace fw {

// The inner text box and the border, which some cases reach besides the pixels.
struct xpTextTestAccess {
  static TextBox& TxtSpin(xpText& b) { return b.m_txtSpin; }
  static const Shape& ShapeBorder(const xpText& b) { return b.m_shapeBorder; }
};

namespace {

using Access = xpTextTestAccess;

// The wParam of a wheel turn of `delta` with no key held.
WPARAM Wheel(int delta) {
  return static_cast<WPARAM>(static_cast<WORD>(static_cast<short>(delta))) << 16;
}

std::string Narrow(std::u16string_view s) { return std::string(s.begin(), s.end()); }

class xpTextTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterxpText();
    s_form = new Form;
    ASSERT_TRUE(s_form->Create(6000, 3000, u"xpText test"));
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
    m_box = Place(1335);
    ASSERT_NE(m_box, nullptr);
    m_changes.clear();
  }
  void TearDown() override {
    s_form->PropertyChangedHook = nullptr;
    for (xpText* b : m_placed) b->Destroy();
    UserControl::DoEvents();
  }

  xpText* Place(int32_t width, const PropertyStore* props = nullptr) {
    const std::string n = std::to_string(++s_serial);
    auto* b = s_form->Add<xpText>(u"xpText" + std::u16string(n.begin(), n.end()), nullptr, 150, 150,
                                  width, 600, {}, props);
    if (b) {
      m_placed.push_back(b);
      b->Change = [this] { m_events.push_back("Change"); };
      b->KeyPress = [this](int& k) {
        m_events.push_back("KeyPress " + std::to_string(k));
        if (m_replaceKey >= 0) k = m_replaceKey;
      };
    }
    return b;
  }
  HWND Edit() const { return Access::TxtSpin(*m_box).hWnd(); }

  static inline Form* s_form = nullptr;
  static inline int s_serial = 0;
  xpText* m_box = nullptr;
  std::vector<xpText*> m_placed;
  std::vector<std::u16string> m_changes;
  std::vector<std::string> m_events;
  int m_replaceKey = -1;
};

TEST_F(xpTextTest, ValueReadsTheLeadingNumberAndWritesTheShortestText) {
  m_box->SetText(u"12abc");
  EXPECT_EQ(m_box->Value(), 12.0);
  m_box->SetText(u"abc");
  EXPECT_EQ(m_box->Value(), 0.0);
  m_changes.clear();
  m_events.clear();
  m_box->SetValue(2.5);
  EXPECT_EQ(m_box->Text(), u"2.5");
  EXPECT_EQ(m_events, std::vector<std::string>{"Change"});
  EXPECT_EQ(m_changes, std::vector<std::u16string>{u"Value"});
}

TEST_F(xpTextTest, NarrowWidthIsRaisedAndHeightFixed) {
  xpText* narrow = Place(300);
  EXPECT_EQ(narrow->Width(), 400);
  EXPECT_EQ(narrow->Height(), 315);
  RECT rc;
  GetClientRect(narrow->hWnd(), &rc);
  EXPECT_EQ(rc.right, 27);  // 400 twips
  EXPECT_EQ(rc.bottom, 21);
  EXPECT_EQ(Access::TxtSpin(*narrow).Left(), 75);
  EXPECT_EQ(Access::TxtSpin(*narrow).Width(), 289);
  EXPECT_EQ(Access::ShapeBorder(*narrow).Width(), 400);
  // A later resize is laid out again.
  m_box->Move(m_box->Left(), m_box->Top(), 2000, 900);
  EXPECT_EQ(m_box->Height(), 315);
  EXPECT_EQ(Access::TxtSpin(*m_box).Width(), 2000 - 111);
}

TEST_F(xpTextTest, LargerFontLiftsTheText) {
  m_box->SetFont(Font::Create(u"Tahoma", 8.0));
  EXPECT_EQ(Access::TxtSpin(*m_box).Top(), 60);
  EXPECT_EQ(m_changes.back(), u"Font");
  m_box->SetFont(Font::Create(u"Tahoma", 12.0));
  EXPECT_EQ(Access::TxtSpin(*m_box).Top(), 0) << "60 twips higher than at 8 pt";
  // A change of the font object itself is followed too.
  m_box->GetFont()->SetSize(9.0);
  EXPECT_EQ(Access::TxtSpin(*m_box).Top(), 45);
  EXPECT_EQ(m_box->Height(), 315);
}

TEST_F(xpTextTest, KeyAsciiByReference) {
  m_box->SetText(u"");
  m_events.clear();
  SendMessageW(Edit(), WM_CHAR, 'a', 1);
  EXPECT_EQ(m_box->Text(), u"a");
  m_replaceKey = 0;
  SendMessageW(Edit(), WM_CHAR, 'b', 1);
  EXPECT_EQ(m_box->Text(), u"a") << "0 cancels the character";
  m_replaceKey = 'Z';
  SendMessageW(Edit(), WM_CHAR, 'c', 1);
  EXPECT_EQ(m_box->Text(), u"aZ");
  const std::vector<std::string> want = {"KeyPress 97", "Change", "KeyPress 98", "KeyPress 99",
                                         "Change"};
  EXPECT_EQ(m_events, want);
}

TEST_F(xpTextTest, WheelStepsByLargeChangeWithDecimalPlaces) {
  PropertyStore props;
  props.Set(u"Decimal", int16_t{1});
  props.Set(u"LargeChange", 0.5);
  props.Set(u"Text", std::u16string(u"12.5"));
  m_box = Place(1335, &props);
  // Two notches in one message are two steps; two half notches make one.
  m_events.clear();
  SendMessageW(Edit(), WM_MOUSEWHEEL, Wheel(2 * WHEEL_DELTA), MAKELPARAM(20, 20));
  EXPECT_EQ(m_box->Text(), u"13.5");
  SendMessageW(Edit(), WM_MOUSEWHEEL, Wheel(-WHEEL_DELTA / 2), MAKELPARAM(20, 20));
  EXPECT_EQ(m_box->Text(), u"13.5");
  SendMessageW(Edit(), WM_MOUSEWHEEL, Wheel(-WHEEL_DELTA / 2), MAKELPARAM(20, 20));
  EXPECT_EQ(m_box->Text(), u"13.0");
  // Over the border the wheel reaches the control's own window.
  SendMessageW(m_box->hWnd(), WM_MOUSEWHEEL, Wheel(WHEEL_DELTA), MAKELPARAM(1, 1));
  EXPECT_EQ(m_box->Text(), u"13.5");
  EXPECT_EQ(m_events, std::vector<std::string>(4, "Change"));

  // A text that is no number steps from 0; no decimals show whole numbers.
  m_box->SetText(u"abc");
  m_box->SetDecimal(0);
  m_box->SetLargeChange(2.5);
  SendMessageW(Edit(), WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(m_box->Text(), u"-2");  // -2.5 to even
  // Locked: the keys and the wheel leave the text alone.
  m_box->SetLocked(true);
  m_events.clear();
  SendMessageW(Edit(), WM_KEYDOWN, VK_UP, 1);
  SendMessageW(Edit(), WM_MOUSEWHEEL, Wheel(WHEEL_DELTA), MAKELPARAM(20, 20));
  EXPECT_EQ(m_box->Text(), u"-2");
  EXPECT_TRUE(m_events.empty());
}

// Keys typed as a user types them: through the input queue and the form's
// dialog handling, which must leave Up and Down to the text box.
TEST_F(xpTextTest, TypedArrowKeysStepThroughTheFormsLoop) {
  m_box->SetText(u"7");
  SetForegroundWindow(s_form->hWnd());
  Access::TxtSpin(*m_box).SetFocus();
  UserControl::DoEvents();
  ASSERT_EQ(GetFocus(), Edit());
  m_events.clear();
  auto press = [](WORD key) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = key;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
  };
  press(VK_UP);
  press(VK_UP);
  press(VK_DOWN);
  for (int i = 0; i < 100 && m_events.size() < 3; ++i) {
    UserControl::DoEvents();
    Sleep(10);
  }
  EXPECT_EQ(m_box->Text(), u"8");
  EXPECT_EQ(m_events, std::vector<std::string>(3, "Change"));
  EXPECT_EQ(GetFocus(), Edit()) << "the keys did not move the focus";
}

TEST_F(xpTextTest, ReadAndSetAsASpinBox) {
  auto* label = s_form->Add<Label>(u"LabelPrice", nullptr, 150, 900, 900, 180);
  ASSERT_NE(label, nullptr);
  label->SetCaption(u"单  价:");
  xpText* named = Place(1335);
  ASSERT_NE(named, nullptr);
  named->SetText(u"7.62");
  UserControl::DoEvents();
  const test::AccessiblePart read = test::AccessibleSelf(named->hWnd());
  EXPECT_EQ(read.role, ROLE_SYSTEM_SPINBUTTON);
  EXPECT_EQ(read.name, u"单价");
  EXPECT_EQ(read.value, u"7.62");
  EXPECT_EQ(test::AccessibleChildWindows(named->hWnd()),
            std::vector<HWND>{Access::TxtSpin(*named).hWnd()});

  const test::WinEvent changed{EVENT_OBJECT_VALUECHANGE, named->hWnd(), OBJID_CLIENT, CHILDID_SELF};
  struct Case {
    const char* what;
    std::function<bool()> act;
    bool set;
    std::u16string_view value;
    int told;
    long state;  // of unavailable and read-only
  } const cases[] = {
      {"a tool sets it", [&] { return test::AccessibleSetValue(named->hWnd(), 0, u"8"); }, true, u"8",
       1, 0},
      {"an arrow key steps it",
       [&] {
         SendMessageW(Access::TxtSpin(*named).hWnd(), WM_KEYDOWN, VK_UP, 0x01480001);
         return true;
       },
       true, u"9", 1, 0},
      {"locked: a tool cannot",
       [&] {
         named->SetLocked(true);
         return test::AccessibleSetValue(named->hWnd(), 0, u"1");
       },
       false, u"9", 0, STATE_SYSTEM_READONLY},
      {"disabled: a tool cannot",
       [&] {
         named->SetLocked(false);
         named->SetEnabled(false);
         return test::AccessibleSetValue(named->hWnd(), 0, u"1");
       },
       false, u"9", 0, STATE_SYSTEM_UNAVAILABLE},
  };
  for (const Case& c : cases) {
    test::WinEventRecorder heard({named->hWnd()}, EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE);
    m_events.clear();
    EXPECT_EQ(c.act(), c.set) << c.what;
    UserControl::DoEvents();
    const test::AccessiblePart now = test::AccessibleSelf(named->hWnd());
    EXPECT_EQ(now.value, c.value) << c.what;
    EXPECT_EQ(now.state & (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_READONLY), c.state) << c.what;
    EXPECT_EQ(heard.Take(), std::vector<test::WinEvent>(c.told, changed)) << c.what;
    EXPECT_EQ(m_events, std::vector<std::string>(c.told, "Change")) << c.what;
  }
}

TEST_F(xpTextTest, TheTextTakingTheFocusIsTheSpinBoxTakingIt) {
  SetFocus(s_form->hWnd());
  UserControl::DoEvents();
  test::WinEventRecorder heard({m_box->hWnd(), Edit()}, EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS);
  Access::TxtSpin(*m_box).SetFocus();
  UserControl::DoEvents();
  // The platform's for the text box, then the spin box's own, the last a reader hears.
  const std::vector<test::WinEvent> want = {
      {EVENT_OBJECT_FOCUS, Edit(), OBJID_CLIENT, CHILDID_SELF},
      {EVENT_OBJECT_FOCUS, m_box->hWnd(), OBJID_CLIENT, CHILDID_SELF}};
  EXPECT_EQ(heard.Take(), want);
  EXPECT_TRUE(test::AccessibleSelf(m_box->hWnd()).state & STATE_SYSTEM_FOCUSED);
}

TEST_F(xpTextTest, EnabledLookAndState) {
  const RECT rc = m_box->PixelRect();
  m_box->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(m_box->hWnd()));
  EXPECT_FALSE(IsWindowEnabled(Edit()));
  EXPECT_EQ(m_changes, std::vector<std::u16string>{u"Enabled"});
  UserControl::DoEvents();
  PixelImage off = CaptureWindowTree(m_box->hWnd());
  ASSERT_EQ(off.width, rc.right - rc.left);
  ASSERT_EQ(off.height, 21);
  for (POINT p : {POINT{0, 0}, POINT{44, 0}, POINT{88, 20}, POINT{0, 10}, POINT{88, 10}}) {
    EXPECT_EQ(off.Pixel(p.x, p.y), 0xC0C0C0u) << p.x << ", " << p.y;
  }
  EXPECT_EQ(off.Pixel(2, 2), 0xFFFFFFu) << "the white face";
  m_box->SetEnabled(true);
  UserControl::DoEvents();
  PixelImage on = CaptureWindowTree(m_box->hWnd());
  for (POINT p : {POINT{0, 0}, POINT{88, 20}}) EXPECT_EQ(on.Pixel(p.x, p.y), 0xB99D7Fu);
  EXPECT_TRUE(IsWindowEnabled(Edit()));
}

TEST_F(xpTextTest, SavedInOrderAndReadBackAsKept) {
  m_box->SetEnabled(false);
  m_box->SetLocked(true);
  m_box->SetText(u"7.25");
  m_box->SetDecimal(2);
  m_box->SetLargeChange(0.25);
  m_box->SetFont(Font::Create(u"Tahoma", 12.0));
  PropertyStore saved;
  m_box->WriteProperties(saved);
  std::vector<std::string> names;
  for (const auto& e : saved.Entries()) names.push_back(Narrow(e.name));
  EXPECT_EQ(names, (std::vector<std::string>{"Enabled", "Locked", "Text", "Decimal", "LargeChange",
                                             "Font"}));
  saved.Set(u"Value", 3.5);  // a stored value from an older design

  DesignNode node;
  node.kind = u"Form";
  node.props = saved;
  const auto parsed = ParseDesign(WriteDesign(node));
  ASSERT_TRUE(parsed.root.has_value());
  xpText* copy = Place(1335, &parsed.root->props);
  EXPECT_EQ(copy->Text(), u"7.25");
  EXPECT_TRUE(copy->Locked());
  EXPECT_EQ(copy->Decimal(), 2);
  EXPECT_EQ(copy->LargeChange(), 0.25);
  EXPECT_EQ(copy->StoredValue(), 3.5);
  EXPECT_EQ(copy->Value(), 7.25) << "the stored value is kept, not shown";
  EXPECT_EQ(copy->GetFont()->Size(), 12.0);
  EXPECT_EQ(Access::TxtSpin(*copy).Top(), 0) << "laid out after reading";
  // Reading sets only the control's own enabled state.
  EXPECT_FALSE(IsWindowEnabled(copy->hWnd()));
  EXPECT_TRUE(IsWindowEnabled(Access::TxtSpin(*copy).hWnd()));
  EXPECT_EQ(Access::ShapeBorder(*copy).BorderColor(), Colour(0xB99D7F));
  PropertyStore again;
  copy->WriteProperties(again);
  EXPECT_EQ(again.Size(), saved.Size());
  EXPECT_EQ(again.ReadDouble(u"Value", 0), 3.5);

  // A new control saves nothing but the text its box starts with.
  PropertyStore fresh;
  Place(1335)->WriteProperties(fresh);
  ASSERT_EQ(fresh.Size(), 1u);
  EXPECT_EQ(fresh.ReadText(u"Text", u""), u"0");
}

TEST_F(xpTextTest, DesignFilesKnowTheKindAndTabReachesTheText) {
  EXPECT_NE(dynamic_cast<xpText*>(CreateControl(u"XPTEXT").get()), nullptr);
  EXPECT_NE(GetWindowLongPtrW(m_box->hWnd(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT, 0);
  EXPECT_NE(GetWindowLongPtrW(Edit(), GWL_STYLE) & WS_TABSTOP, 0);
  EXPECT_EQ(GetWindowLongPtrW(Edit(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0) << "no border of its own";
}

}  // namespace
}  // namespace fw
