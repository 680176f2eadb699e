// The image combo box on a real form under the host: its parts' places, the
// pixels of its border and button, the events that real input and its methods
// raise (whole sequences), what it saves and reads, and its list file on disk.
// Expected places come from the control's layout in twips, expected
// colours from its border colours and from the button pictures' generator
// (res/make-buttons.py), text bytes from the UTF-8 and GB2312 code charts.

#include "controls/JCombo/JCombo.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/ColourWin.h"
#include "host/Form.h"
#include "host/Gdi.h"
#include "host/Label.h"
#include "host/PngFile.h"
#include "host/Utf8.h"
#include "host/WideText.h"
#include "tests/host/AccessibleRead.h"
#include "tests/host/HostTest.h"

namespace fw {
namespace {

using test::Event;
using test::ExpectSequence;

constexpr char16_t kGuangdong[] = u"\u5E7F\u4E1C";  // 广东
constexpr char16_t kGuangzhou[] = u"\u5E7F\u5DDE";  // 广州
constexpr char16_t kShantou[] = u"\u6C55\u5934";    // 汕头

FontValue SongTi9() {
  FontValue f;
  f.face = u"\u5B8B\u4F53";  // 宋体
  f.size = 9;
  f.charset = 134;
  return f;
}

RECT RectIn(HWND part, HWND in) {
  RECT rc{};
  GetWindowRect(part, &rc);
  MapWindowPoints(nullptr, in, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

// The same for a part without a window of its own (the border): the area its
// container draws it in.
RECT RectIn(const Control& part, HWND in) {
  if (part.hWnd()) return RectIn(part.hWnd(), in);
  RECT rc = part.PixelRect();
  MapWindowPoints(part.ContainerHwnd(), in, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

// Real input through the system's queue, as a user's.
void MouseTo(POINT screen) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}
void ClickAt(POINT screen) {
  MouseTo(screen);
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof in[0]);
}
void Key(WORD vk) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof in[0]);
}
POINT CentreOf(HWND hwnd) {
  RECT rc{};
  GetClientRect(hwnd, &rc);
  POINT p{rc.right / 2, rc.bottom / 2};
  ClientToScreen(hwnd, &p);
  return p;
}
// Lets the input arrive and be handled.
void Settle() {
  for (int i = 0; i < 10; ++i) {
    UserControl::DoEvents();
    Sleep(10);
  }
}

std::vector<uint8_t> FileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class JComboTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterJCombo();
    s_form = new Form;
    ASSERT_TRUE(s_form->Create(4500, 3000, u"JCombo test"));
    s_form->SetBackColor(Colour(0xFFFFFF));
    s_form->SetFont(Font::Create(SongTi9()));
    s_form->SetStartUpPosition(0);
    s_form->Move(0, 0);
    s_form->Show();
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    s_dir = std::wstring(temp) + L"jcombo-test";
    CreateDirectoryW(s_dir.c_str(), nullptr);
  }
  static void TearDownTestSuite() {
    s_form->Unload();
    delete s_form;
    s_form = nullptr;
  }

  void SetUp() override {
    SetForegroundWindow(s_form->hWnd());
    m_box = Place(u"comWhere", 1335);
    ASSERT_NE(m_box, nullptr);
    Record(*m_box);
    Settle();
    m_events.clear();
  }
  void TearDown() override {
    for (JCombo* box : m_placed) box->Destroy();
    UserControl::DoEvents();
  }

  JCombo* Place(std::u16string name, int32_t width, const PropertyStore* props = nullptr,
                int32_t top = 120) {
    JCombo* box = s_form->Add<JCombo>(std::move(name), nullptr, 120, top, width, 315,
                                      static_cast<int32_t>(m_placed.size()), props);
    if (box) m_placed.push_back(box);
    return box;
  }

  void Record(JCombo& box) {
    box.Click = [this] { m_events.push_back({"Click"}); };
    box.Change = [this] { m_events.push_back({"Change"}); };
    box.MouseMove = [this](int b, int s, float x, float y) {
      m_events.push_back({"MouseMove", b, s, x, y});
    };
    box.MouseDown = [this](int b, int s, float x, float y) {
      m_events.push_back({"MouseDown", b, s, x, y});
    };
    box.KeyPress = [this](int& k) {
      m_events.push_back({"KeyPress", k});
      if (m_cancelChars) k = 0;
    };
    box.KeyDown = [this](int& k, int s) { m_events.push_back({"KeyDown", k, s}); };
    box.KeyUp = [this](int& k, int s) { m_events.push_back({"KeyUp", k, s}); };
  }

  // The recorded events without the mouse moves, which real pointer travel
  // raises in numbers that depend on the path.
  std::vector<Event> WithoutMoves() const {
    std::vector<Event> out;
    std::copy_if(m_events.begin(), m_events.end(), std::back_inserter(out),
                 [](const Event& e) { return e.name != "MouseMove"; });
    return out;
  }

  void Fill(JCombo& box) {
    for (const char16_t* item : {kGuangdong, kGuangzhou, kShantou}) box.AddItem(item);
  }

  static inline Form* s_form = nullptr;
  static inline std::wstring s_dir;
  JCombo* m_box = nullptr;
  std::vector<JCombo*> m_placed;
  std::vector<Event> m_events;
  bool m_cancelChars = false;
};

// -- Layout and looks

TEST_F(JComboTest, PartsSitWhereTheTwipsPutThem) {
  // 1335 x 315 twips: 89 x 21 pixels. Face 465 twips high (clipped by the
  // control); button at 1335 - 285 twips, 17 pixels; text box at 75, 60 - 15 x
  // (9 - 8) twips, 1335 - 375 wide, down to 300; the inner list at top 30.
  struct Want {
    const Control* part;
    RECT rc;
  };
  const Want parts[] = {{&m_box->FacePart(), {0, 0, 89, 31}},
                        {&m_box->ButtonPart(), {70, 2, 87, 19}},
                        {&m_box->TextPart(), {5, 3, 69, 20}},
                        {&m_box->BorderPart(), {0, 0, 89, 21}}};
  EXPECT_EQ(m_box->ScaleWidth(), 89);
  EXPECT_EQ(m_box->ScaleHeight(), 21);
  for (const Want& w : parts) {
    const RECT got = RectIn(*w.part, m_box->hWnd());
    EXPECT_TRUE(EqualRect(&got, &w.rc)) << &w - parts << ": " << got.left << ", " << got.top
                                        << ", " << got.right << ", " << got.bottom;
  }
  const RECT list = RectIn(m_box->InnerComboHwnd(), m_box->hWnd());
  EXPECT_EQ(list.top, 2);
  EXPECT_EQ(list.right, 89);
  // The face lies over the platform's combo box.
  EXPECT_EQ(GetWindow(m_box->InnerComboHwnd(), GW_HWNDNEXT), nullptr);
}

TEST_F(JComboTest, NeverNarrowerThan400TwipsNorOtherThan315High) {
  JCombo* narrow = Place(u"Narrow", 200, nullptr, 600);
  ASSERT_NE(narrow, nullptr);
  EXPECT_EQ(narrow->Width(), 400);
  EXPECT_EQ(narrow->Height(), 315);
  narrow->Move(narrow->Left(), narrow->Top(), 300, 900);
  EXPECT_EQ(narrow->Width(), 400);
  EXPECT_EQ(narrow->Height(), 315);
  // A bigger font raises the text box: 12 pt gives 60 - 15 x 4 = 0 twips.
  auto font = Font::Create(SongTi9());
  font->SetSize(12);
  narrow->SetFont(font);
  EXPECT_EQ(RectIn(narrow->TextPart().hWnd(), narrow->FacePart().hWnd()).top, 0);
  // A change to the font object itself lays out again: 10.5 pt, 2.5 rounds to 2.
  font->SetSize(10.5);
  EXPECT_EQ(RectIn(narrow->TextPart().hWnd(), narrow->FacePart().hWnd()).top, 2);
  EXPECT_EQ(RectIn(narrow->ButtonPart().hWnd(), narrow->hWnd()).left, 8);  // 115 twips
}

TEST_F(JComboTest, BorderAndButtonPixelsForEachState) {
  // The pictures' own pixels (make-buttons.py): the arrow's tip row starts at
  // (5, 7); pressed moves the arrow one pixel down and right.
  struct Want {
    COLORREF border, buttonEdge, arrowAt57, arrowAt68;
  };
  auto check = [&](const Want& w, const char* what) {
    const PixelImage img = CaptureWindowTree(m_box->hWnd());
    ASSERT_EQ(img.width, 89) << what;
    for (POINT p : {POINT{0, 0}, POINT{88, 0}, POINT{0, 20}, POINT{88, 20}, POINT{44, 0}, POINT{44, 20},
                    POINT{0, 10}, POINT{88, 10}}) {
      EXPECT_EQ(img.Pixel(p.x, p.y), w.border) << what << " border at " << p.x << ", " << p.y;
    }
    EXPECT_EQ(img.Pixel(2, 10), 0xFFFFFFu) << what << ": the face";
    EXPECT_EQ(img.Pixel(70, 2), w.buttonEdge) << what;
    EXPECT_EQ(img.Pixel(70 + 5, 2 + 7), w.arrowAt57) << what;
    EXPECT_EQ(img.Pixel(70 + 6, 2 + 8), w.arrowAt68) << what;
  };
  EXPECT_EQ(m_box->ShownLook(), JCombo::kLookNormal);
  check({0xB99D7F, 0xB99D7F, 0x85614D, 0x85614D}, "normal");

  // Hot: a real pointer over the button.
  MouseTo(CentreOf(m_box->ButtonPart().hWnd()));
  Settle();
  EXPECT_EQ(m_box->ShownLook(), JCombo::kLookHot);
  check({0xB99D7F, 0xB17F3C, 0x7A3F1F, 0x7A3F1F}, "hot");
  EXPECT_TRUE(WithoutMoves().empty());
  ASSERT_FALSE(m_events.empty());
  EXPECT_EQ(m_events.back().name, "MouseMove");
  EXPECT_EQ(m_events.back().x, 70.0f + 8);  // the control's own pixels
  m_box->ResetPic();
  EXPECT_EQ(m_box->ShownLook(), JCombo::kLookNormal);

  // Pressed: seen while the list drops (the inner list announces it).
  auto* inner = dynamic_cast<ComboBox*>(Control::FromHwnd(m_box->InnerComboHwnd()));
  ASSERT_NE(inner, nullptr);
  int pressedSeen = 0;
  inner->DropDown = [&] {
    ++pressedSeen;
    EXPECT_EQ(m_box->ShownLook(), JCombo::kLookPressed);
    check({0xB99D7F, 0x8B622C, 0xEED0B7 /* background of row 7 */, 0x5A2A0F}, "pressed");
  };
  HWND button = m_box->ButtonPart().hWnd();
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
  EXPECT_EQ(pressedSeen, 1);
  EXPECT_EQ(m_box->ShownLook(), JCombo::kLookNormal) << "ResetPic after the drop";
  SendMessageW(m_box->InnerComboHwnd(), CB_SHOWDROPDOWN, FALSE, 0);
  inner->DropDown = nullptr;

  m_box->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(m_box->TextPart().hWnd()));
  check({0xC0C0C0, 0xC0C0C0, 0xA6A6A6, 0xA6A6A6}, "disabled");
  // A disabled button neither lights up nor drops the list.
  m_events.clear();
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(8, 8));
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
  EXPECT_EQ(m_box->ShownLook(), JCombo::kLookDisabled);
  EXPECT_EQ(SendMessageW(m_box->InnerComboHwnd(), CB_GETDROPPEDSTATE, 0, 0), 0);
  ExpectSequence(m_events, nullptr, "disabled button");
  m_box->SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(m_box->TextPart().hWnd()));
  check({0xB99D7F, 0xB99D7F, 0x85614D, 0x85614D}, "enabled again");
}

TEST_F(JComboTest, ThousandsOfPictureChangesLeakNoHandle) {
  HWND button = m_box->ButtonPart().hWnd();
  const int gdi = LiveGdiHandles();
  const int selections = LiveHandles(HandleKind::Selection);
  for (int i = 0; i < 5000; ++i) {
    SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(8, 8));
    UpdateWindow(button);
    m_box->ResetPic();
    UpdateWindow(button);
  }
  EXPECT_EQ(LiveGdiHandles(), gdi);
  EXPECT_EQ(LiveHandles(HandleKind::Selection), selections);
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(8, 8));
  EXPECT_EQ(CaptureWindowTree(m_box->hWnd()).Pixel(70, 2), 0xB17F3Cu) << "and still draws";
}

TEST_F(JComboTest, TabReachesTheTextBox) {
  JCombo* second = Place(u"Second", 1335, nullptr, 600);
  ASSERT_NE(second, nullptr);
  SetFocus(m_box->TextPart().hWnd());
  MSG tab{s_form->hWnd(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  tab.hwnd = GetFocus();
  ASSERT_TRUE(Form::PreTranslateMessage(tab));
  EXPECT_EQ(GetFocus(), second->TextPart().hWnd());
  second->SetFocus();  // the control itself passes the focus to its text box
  EXPECT_EQ(GetFocus(), second->TextPart().hWnd());
}

// -- Events from real input

TEST_F(JComboTest, TypingRaisesKeysAndChange) {
  m_box->SetText(u"");
  SetFocus(m_box->TextPart().hWnd());
  m_events.clear();
  Key('A');
  Settle();
  const Event typed[] = {{"KeyDown", 'A', 0}, {"KeyPress", 'a'}, {"Change"}, {"KeyUp", 'A', 0}};
  ExpectSequence(m_events, typed, "typing a");
  EXPECT_EQ(m_box->Text(), u"a");
  EXPECT_EQ(m_box->WindowCaption(), u"a") << "the control's window text follows";

  // KeyAscii set to 0 by the host cancels the character.
  m_cancelChars = true;
  m_events.clear();
  Key('B');
  Settle();
  const Event cancelled[] = {{"KeyDown", 'B', 0}, {"KeyPress", 'b'}, {"KeyUp", 'B', 0}};
  ExpectSequence(m_events, cancelled, "typing b, cancelled");
  EXPECT_EQ(m_box->Text(), u"a");
}

TEST_F(JComboTest, AClickInTheTextBoxRaisesMouseDownThenClick) {
  HWND text = m_box->TextPart().hWnd();
  POINT p{10, 5};
  ClientToScreen(text, &p);
  ClickAt(p);
  Settle();
  // The text box lies at (5, 3) in the control.
  const Event want[] = {{"MouseDown", 1, 0, 15, 8}, {"Click"}};
  ExpectSequence(WithoutMoves(), want, "click in the text box");
  EXPECT_EQ(GetFocus(), text);
}

TEST_F(JComboTest, ChoosingWithTheMouse) {
  Fill(*m_box);
  // What a Change handler reads (the main window reads both): already the choice.
  std::vector<std::pair<int32_t, std::u16string>> seen;
  m_box->Change = [&] {
    m_events.push_back({"Change"});
    seen.emplace_back(m_box->ListIndex(), m_box->Text());
  };
  m_events.clear();
  ClickAt(CentreOf(m_box->ButtonPart().hWnd()));
  Settle();
  HWND inner = m_box->InnerComboHwnd();
  ASSERT_NE(SendMessageW(inner, CB_GETDROPPEDSTATE, 0, 0), 0) << "the list drops";
  EXPECT_EQ(m_box->ShownLook(), JCombo::kLookNormal) << "ResetPic once the list dropped";
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(inner, &info));
  RECT item{};
  SendMessageW(info.hwndList, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  POINT p{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  ClientToScreen(info.hwndList, &p);
  ClickAt(p);
  Settle();
  const Event want[] = {{"Change"}};
  ExpectSequence(WithoutMoves(), want, "choosing item 1 with the mouse");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].first, 1);
  EXPECT_EQ(seen[0].second, kGuangzhou);
  EXPECT_EQ(m_box->ListIndex(), 1);
  EXPECT_EQ(m_box->Text(), kGuangzhou);
  EXPECT_EQ(SendMessageW(inner, CB_GETDROPPEDSTATE, 0, 0), 0);
  EXPECT_EQ(GetFocus(), m_box->TextPart().hWnd()) << "the text box takes the keyboard back";
}

TEST_F(JComboTest, ChoosingWithTheKeyboard) {
  Fill(*m_box);
  m_box->SetListIndex(0);
  SetFocus(m_box->TextPart().hWnd());
  Settle();
  m_events.clear();
  Key(VK_F4);
  Settle();
  HWND inner = m_box->InnerComboHwnd();
  EXPECT_NE(SendMessageW(inner, CB_GETDROPPEDSTATE, 0, 0), 0);
  Key(VK_DOWN);
  Settle();
  Key(VK_DOWN);
  Settle();
  Key(VK_RETURN);
  Settle();
  // F4's release and the arrows reach the dropped list, not the text box; the
  // platform's list announces its selection when it closes (Wine) or at each
  // arrow; Enter's release finds the text box again.
  std::vector<Event> got = WithoutMoves();
  const size_t changes = static_cast<size_t>(std::count(got.begin(), got.end(), Event{"Change"}));
  EXPECT_GE(changes, 1u);
  got.erase(std::remove(got.begin(), got.end(), Event{"Change"}), got.end());
  const Event want[] = {{"KeyDown", VK_F4, 0}, {"KeyUp", VK_RETURN, 0}};
  ExpectSequence(got, want, "F4, Down, Down, Enter");
  EXPECT_EQ(m_events.back(), (Event{"KeyUp", VK_RETURN, 0}));
  EXPECT_EQ(m_box->ListIndex(), 2);
  EXPECT_EQ(m_box->Text(), kShantou);
  EXPECT_EQ(SendMessageW(inner, CB_GETDROPPEDSTATE, 0, 0), 0);
  EXPECT_EQ(GetFocus(), m_box->TextPart().hWnd());
}

TEST_F(JComboTest, OutsideToolsReadTheInnerComboBox) {
  Fill(*m_box);
  m_box->SetListIndex(1);
  HWND inner = m_box->InnerComboHwnd();
  wchar_t cls[32];
  GetClassNameW(inner, cls, 32);
  EXPECT_STREQ(cls, L"ComboBox");
  EXPECT_EQ(SendMessageW(inner, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(inner, CB_GETCURSEL, 0, 0), 1);
  wchar_t buf[32]{};
  SendMessageW(inner, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(buf));
  EXPECT_EQ(FromWide(buf), kShantou);
  GetWindowTextW(inner, buf, 32);
  EXPECT_EQ(FromWide(buf), kGuangzhou);
  GetWindowTextW(m_box->hWnd(), buf, 32);
  EXPECT_EQ(FromWide(buf), kGuangzhou);
  // A tool's choice: the selection, then the notification a user's choice sends.
  m_events.clear();
  SendMessageW(inner, CB_SETCURSEL, 2, 0);
  SendMessageW(GetParent(inner), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(inner), CBN_SELCHANGE), reinterpret_cast<LPARAM>(inner));
  const Event want[] = {{"Change"}};
  ExpectSequence(m_events, want, "a tool's choice");
  EXPECT_EQ(m_box->Text(), kShantou);
}

// -- Assistive technology

TEST_F(JComboTest, ReadByAssistiveTechnology) {
  // Named by the label placed just before it; the first box has none.
  ASSERT_NE(s_form->Add<Label>(u"Label5", nullptr, 120, 560, 630, 180), nullptr);
  s_form->Get<Label>(u"Label5")->SetCaption(u"省  份:");
  JCombo* named = Place(u"Named", 1335, nullptr, 600);
  ASSERT_NE(named, nullptr);
  Fill(*named);
  constexpr long kAsked = STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED |
                          STATE_SYSTEM_EXPANDED | STATE_SYSTEM_COLLAPSED;
  struct Case {
    const char* what;
    JCombo* box;
    int32_t choose;
    bool enabled, focused;
    std::u16string_view name, value;
    long state;
  } const cases[] = {
      {"labelled, first item", named, 0, true, false, u"省份", kGuangdong,
       STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_COLLAPSED},
      {"labelled, focused", named, 2, true, true, u"省份", kShantou,
       STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_COLLAPSED},
      {"labelled, disabled", named, 1, false, false, u"省份", kGuangzhou,
       STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_COLLAPSED},
      {"no label before it", m_box, -1, true, false, u"", u"0",
       STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_COLLAPSED},
  };
  for (const Case& c : cases) {
    c.box->SetEnabled(c.enabled);
    if (c.choose >= 0) c.box->SetListIndex(c.choose);
    SetFocus(c.focused ? c.box->TextPart().hWnd() : s_form->hWnd());
    Settle();
    const test::AccessiblePart read = test::AccessibleSelf(c.box->hWnd());
    EXPECT_EQ(read.role, ROLE_SYSTEM_COMBOBOX) << c.what;
    EXPECT_EQ(read.name, c.name) << c.what;
    EXPECT_EQ(read.value, c.value) << c.what;
    EXPECT_EQ(read.state & kAsked, c.state) << c.what << " state " << std::hex << read.state;
  }
  // Its children: the text box, and the platform's list with the items (whose
  // object is the platform's: this Wine gives a plain client object).
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(named->InnerComboHwnd(), &info));
  EXPECT_EQ(test::AccessibleChildWindows(named->hWnd()),
            (std::vector<HWND>{named->TextPart().hWnd(), info.hwndList}));
  EXPECT_EQ(SendMessageW(info.hwndList, LB_GETCOUNT, 0, 0), 3);
}

TEST_F(JComboTest, UpAndDownChooseAsTheListDoes) {
  Fill(*m_box);
  SetFocus(m_box->TextPart().hWnd());
  Settle();
  std::vector<int32_t> indexAtChange;
  m_box->Change = [&] {
    m_events.push_back({"Change"});
    indexAtChange.push_back(m_box->ListIndex());
  };
  const test::WinEvent valueChanged{EVENT_OBJECT_VALUECHANGE, m_box->hWnd(), OBJID_CLIENT,
                                    CHILDID_SELF};
  struct Case {
    int32_t from;
    const char16_t* text;  // shown instead of the item's (null: the item's)
    WORD key;
    int32_t to;  // the same: no choice, no Change
  } const cases[] = {
      {-1, u"", VK_DOWN, 0}, {-1, u"", VK_UP, 0}, {0, nullptr, VK_DOWN, 1},
      {1, nullptr, VK_DOWN, 2}, {2, nullptr, VK_DOWN, 2}, {2, nullptr, VK_UP, 1},
      {0, nullptr, VK_UP, 0},
      // The list keeps a selection the text no longer shows: a prompt starts
      // from none, an item's text from that item.
      {1, u"请选择", VK_DOWN, 0}, {0, kShantou, VK_UP, 1},
  };
  for (const Case& c : cases) {
    m_box->SetListIndex(c.from);
    if (c.text) m_box->SetText(c.text);
    Settle();
    m_events.clear();
    indexAtChange.clear();
    test::WinEventRecorder heard({m_box->hWnd()}, EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE);
    Key(c.key);
    Settle();
    const std::string what = std::to_string(c.from) + (c.text ? " with another text" : "") +
                             (c.key == VK_UP ? " up" : " down");
    if (c.to != c.from || c.text) {
      const Event want[] = {{"KeyDown", c.key, 0}, {"Change"}, {"KeyUp", c.key, 0}};
      ExpectSequence(m_events, want, what.c_str());
      EXPECT_EQ(indexAtChange, std::vector<int32_t>{c.to}) << what;
      EXPECT_EQ(heard.Take(), std::vector<test::WinEvent>{valueChanged}) << what;
    } else {
      const Event want[] = {{"KeyDown", c.key, 0}, {"KeyUp", c.key, 0}};
      ExpectSequence(m_events, want, what.c_str());
      EXPECT_TRUE(heard.Take().empty()) << what;
    }
    EXPECT_EQ(m_box->ListIndex(), c.to) << what;
    EXPECT_EQ(m_box->Text(), m_box->GetItem(c.to)) << what;
    EXPECT_EQ(SendMessageW(m_box->InnerComboHwnd(), CB_GETDROPPEDSTATE, 0, 0), 0) << what;
    EXPECT_EQ(GetFocus(), m_box->TextPart().hWnd()) << what;
  }
}

TEST_F(JComboTest, AltDownDropsTheList) {
  Fill(*m_box);
  m_box->SetListIndex(0);
  SetFocus(m_box->TextPart().hWnd());
  Settle();
  MouseTo(POINT{1000, 700});  // a dropped list follows the pointer over it
  Settle();
  m_events.clear();
  SendMessageW(m_box->TextPart().hWnd(), WM_SYSKEYDOWN, VK_DOWN, 0x21500001);
  Settle();
  EXPECT_NE(SendMessageW(m_box->InnerComboHwnd(), CB_GETDROPPEDSTATE, 0, 0), 0);
  EXPECT_EQ(m_box->ListIndex(), 0) << "Alt+Down drops the list and chooses nothing";
  SendMessageW(m_box->InnerComboHwnd(), CB_SHOWDROPDOWN, FALSE, 0);
  Settle();
  // Alt+F4 is the window's close key, not the list's: the list stays closed and
  // the platform asks the window to close (taken back here: the form serves on).
  SendMessageW(m_box->TextPart().hWnd(), WM_SYSKEYDOWN, VK_F4, 0x203E0001);
  EXPECT_EQ(SendMessageW(m_box->InnerComboHwnd(), CB_GETDROPPEDSTATE, 0, 0), 0);
  MSG close{};
  EXPECT_TRUE(PeekMessageW(&close, nullptr, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
  EXPECT_EQ(close.wParam & 0xFFF0, static_cast<WPARAM>(SC_CLOSE));
}

TEST_F(JComboTest, AToolChoosesAndDropsThroughTheAccessibleObject) {
  Fill(*m_box);
  m_box->SetListIndex(0);
  Settle();
  m_events.clear();
  ASSERT_TRUE(test::AccessibleSetValue(m_box->hWnd(), CHILDID_SELF, kShantou));
  const Event chosen[] = {{"Change"}};
  ExpectSequence(m_events, chosen, "an item's text set as the value");
  EXPECT_EQ(m_box->ListIndex(), 2);
  EXPECT_EQ(m_box->Text(), kShantou);

  ASSERT_TRUE(test::AccessibleDefaultAction(m_box->hWnd(), CHILDID_SELF));
  Settle();
  EXPECT_NE(SendMessageW(m_box->InnerComboHwnd(), CB_GETDROPPEDSTATE, 0, 0), 0);
  EXPECT_EQ(test::AccessibleSelf(m_box->hWnd()).defaultAction, u"Close");
  ASSERT_TRUE(test::AccessibleDefaultAction(m_box->hWnd(), CHILDID_SELF));
  Settle();
  EXPECT_EQ(SendMessageW(m_box->InnerComboHwnd(), CB_GETDROPPEDSTATE, 0, 0), 0);
}

TEST_F(JComboTest, TheTextBoxTakingTheFocusIsTheComboBoxTakingIt) {
  SetFocus(s_form->hWnd());
  Settle();
  HWND text = m_box->TextPart().hWnd();
  test::WinEventRecorder heard({m_box->hWnd(), text}, EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS);
  m_box->SetFocus();
  Settle();
  // The platform's for the control's window, which hands the focus on, and for
  // the text box; then the combo box's own, the last a reader hears.
  const std::vector<test::WinEvent> want = {
      {EVENT_OBJECT_FOCUS, m_box->hWnd(), OBJID_CLIENT, CHILDID_SELF},
      {EVENT_OBJECT_FOCUS, text, OBJID_CLIENT, CHILDID_SELF},
      {EVENT_OBJECT_FOCUS, m_box->hWnd(), OBJID_CLIENT, CHILDID_SELF}};
  EXPECT_EQ(heard.Take(), want);
}

TEST_F(JComboTest, HasTheStandardChildrenNamedByTheLabel) {
  ASSERT_NE(s_form->Add<Label>(u"LabelCity", nullptr, 120, 1160, 630, 180), nullptr);
  s_form->Get<Label>(u"LabelCity")->SetCaption(u"城  市:");
  JCombo* box = Place(u"City", 1335, nullptr, 1200);
  ASSERT_NE(box, nullptr);
  Fill(*box);
  box->SetListIndex(0);
  Settle();
  HWND inner = box->InnerComboHwnd();
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(inner, &info));

  // The drop button: a push button saying what it does, with its key.
  std::vector<test::AccessiblePart> parts = test::AccessibleParts(box->hWnd());
  ASSERT_EQ(parts.size(), 1u);
  RECT button{};
  GetWindowRect(box->ButtonPart().hWnd(), &button);
  EXPECT_EQ(parts[0].role, ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(parts[0].name, u"Open");
  EXPECT_EQ(parts[0].defaultAction, u"Open");
  EXPECT_EQ(parts[0].shortcut, u"Alt+Down");
  EXPECT_TRUE(EqualRect(&parts[0].location, &button));
  // The text field and the platform's box behind the face: named by the label.
  const test::AccessiblePart field = test::AccessibleSelf(box->TextPart().hWnd());
  EXPECT_EQ(field.role, ROLE_SYSTEM_TEXT);
  EXPECT_EQ(field.name, u"城市");
  EXPECT_EQ(field.value, kGuangdong);
  EXPECT_EQ(test::AccessibleSelf(inner).name, u"城市");
  EXPECT_EQ(test::AccessibleSelf(inner).value, kGuangdong);

  // Pressed by a tool: the list drops, the button now closes it.
  ASSERT_TRUE(test::AccessibleDefaultAction(box->hWnd(), 1));
  Settle();
  ASSERT_NE(SendMessageW(inner, CB_GETDROPPEDSTATE, 0, 0), 0);
  EXPECT_EQ(test::AccessibleParts(box->hWnd())[0].name, u"Close");

  // The dropped list: a list named by the label, its items list items, the
  // selected one selected and focused.
  const test::AccessiblePart list = test::AccessibleSelf(info.hwndList);
  EXPECT_EQ(list.role, ROLE_SYSTEM_LIST);
  EXPECT_EQ(list.name, u"城市");
  parts = test::AccessibleParts(info.hwndList);
  ASSERT_EQ(parts.size(), 3u);
  const char16_t* const items[] = {kGuangdong, kGuangzhou, kShantou};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(parts[i].role, ROLE_SYSTEM_LISTITEM) << i;
    EXPECT_EQ(parts[i].name, items[i]) << i;
    const long mark = STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED;
    EXPECT_EQ(parts[i].state & mark, i == 0 ? mark : 0) << i;
  }
  EXPECT_EQ(test::AccessibleSelection(info.hwndList), std::vector<long>{1});

  // A tool selects the third item: selected, not yet chosen; the list closes on it.
  m_events.clear();
  Record(*box);
  ASSERT_TRUE(test::AccessibleSelect(info.hwndList, 3, SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS));
  EXPECT_EQ(test::AccessibleSelection(info.hwndList), std::vector<long>{3});
  EXPECT_TRUE(m_events.empty()) << "chosen before the list closed";
  EXPECT_EQ(box->Text(), kGuangdong);
  SetFocus(inner);
  Key(VK_RETURN);
  Settle();
  EXPECT_EQ(SendMessageW(inner, CB_GETDROPPEDSTATE, 0, 0), 0);
  EXPECT_EQ(std::count(m_events.begin(), m_events.end(), Event{"Change"}), 1);
  EXPECT_EQ(box->Text(), kShantou);

  // The control takes the focus for a tool; the closed list's selection is a choice.
  SetFocus(s_form->hWnd());
  ASSERT_TRUE(test::AccessibleSelect(box->hWnd(), CHILDID_SELF, SELFLAG_TAKEFOCUS));
  EXPECT_EQ(GetFocus(), box->TextPart().hWnd());
  ASSERT_TRUE(test::AccessibleSelect(info.hwndList, 2, SELFLAG_TAKESELECTION));
  EXPECT_EQ(box->Text(), kGuangzhou);
}

TEST_F(JComboTest, ArrowsInADroppedListChooseOnlyWhenItCloses) {
  Fill(*m_box);
  HWND inner = m_box->InnerComboHwnd();
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(inner, &info));
  HWND list = info.hwndList;
  struct Case {
    const char* what;
    WORD closing;        // the key that closes the list
    const char16_t* text;  // the text after it
    int changes;
  } const cases[] = {
      {"Enter takes the item reached", VK_RETURN, kShantou, 1},
      {"Escape takes nothing", VK_ESCAPE, kGuangdong, 0},
  };
  for (const Case& c : cases) {
    m_box->SetListIndex(0);
    SetFocus(m_box->TextPart().hWnd());
    Settle();
    Key(VK_F4);
    Settle();
    ASSERT_NE(SendMessageW(inner, CB_GETDROPPEDSTATE, 0, 0), 0) << c.what;
    m_events.clear();
    test::WinEventRecorder heard({list}, EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS);
    Key(VK_DOWN);
    Settle();
    Key(VK_DOWN);
    Settle();
    // Each arrow: the item reached takes the focus; nothing is chosen yet.
    const std::vector<test::WinEvent> focus = {{EVENT_OBJECT_FOCUS, list, OBJID_CLIENT, 2},
                                               {EVENT_OBJECT_FOCUS, list, OBJID_CLIENT, 3}};
    EXPECT_EQ(heard.Take(), focus) << c.what;
    EXPECT_EQ(std::count(m_events.begin(), m_events.end(), Event{"Change"}), 0) << c.what;
    EXPECT_EQ(m_box->Text(), kGuangdong) << c.what;
    Key(c.closing);
    Settle();
    EXPECT_EQ(SendMessageW(inner, CB_GETDROPPEDSTATE, 0, 0), 0) << c.what;
    EXPECT_EQ(std::count(m_events.begin(), m_events.end(), Event{"Change"}), c.changes) << c.what;
    EXPECT_EQ(m_box->Text(), c.text) << c.what;
    EXPECT_EQ(m_box->GetItem(m_box->ListIndex()), c.text) << c.what << ": the selection is the text's";
  }
}

// -- Methods and their events

TEST_F(JComboTest, MethodsRaiseChangeForTheTextAndOnceOfTheirOwn) {
  m_box->AddItem(kGuangdong);  // the text changes, then AddItem's own Change
  m_box->AddItem(u"");         // nothing added, the item selected again: AddItem's Change
  const Event added[] = {{"Change"}, {"Change"}, {"Change"}};
  ExpectSequence(m_events, added, "AddItem twice");
  EXPECT_EQ(m_box->ListCount(), 1);
  EXPECT_EQ(m_box->Text(), kGuangdong);

  m_box->AddItem(kGuangzhou);
  m_events.clear();
  m_box->SetListIndex(0);
  m_box->SetListIndex(0);  // same text: no change
  const Event selected[] = {{"Change"}};
  ExpectSequence(m_events, selected, "ListIndex");
  EXPECT_THROW(m_box->SetListIndex(2), std::out_of_range);

  m_events.clear();
  m_box->Clear();
  ExpectSequence(m_events, nullptr, "Clear");
  EXPECT_EQ(m_box->ListCount(), 0);
  EXPECT_EQ(m_box->Text(), kGuangdong) << "the text box keeps its text";

  m_box->SetTagCode(true);
  m_box->AddItem(u"gd = \u5E7F\u4E1C");
  m_box->AddItem(u"st=\u6C55\u5934");
  EXPECT_EQ(m_box->GetTagCode(), u"st");
  m_events.clear();
  int32_t from = 0;
  EXPECT_TRUE(m_box->SetTagCode(u" GD ", from));
  EXPECT_EQ(from, 1);
  EXPECT_EQ(m_box->Text(), kGuangdong);
  EXPECT_FALSE(m_box->SetTagCode(u"xx", from));
  EXPECT_EQ(m_box->ListIndex(), -1);
  EXPECT_EQ(m_box->Text(), u"");
  const Event tagged[] = {{"Change"}, {"Change"}, {"Change"}, {"Change"}};
  ExpectSequence(m_events, tagged, "SetTagCode found, then not found");

  m_box->SetListIndex(1);
  m_events.clear();
  m_box->UpdateItem(u"sz=\u6DF1\u5733", 1);
  EXPECT_EQ(m_box->Text(), u"\u6DF1\u5733");
  m_box->UpdateItem(u"x", 5);  // outside the list: nothing
  m_box->RemoveItem(0);
  const Event updated[] = {{"Change"}, {"Change"}, {"Change"}};
  ExpectSequence(m_events, updated, "UpdateItem, then RemoveItem");
  EXPECT_THROW(m_box->RemoveItem(4), std::out_of_range);
}

// -- Saved properties

TEST_F(JComboTest, SavesInItsOrderLeavingDefaultsOut) {
  PropertyStore fresh;
  m_box->WriteProperties(fresh);
  EXPECT_TRUE(fresh.Empty()) << "a new control saves nothing";

  Fill(*m_box);
  m_box->SetListIndex(1);
  m_box->SetLocked(true);
  m_box->SetMaxLength(8);
  m_box->SetToolTipText(u"tip");
  m_box->SetFieldName(u"city");
  m_box->SetEnabled(true);
  m_box->SetTagCode(true);
  m_box->SetFileName(u"cities.txt");
  SendMessageW(m_box->TextPart().hWnd(), EM_SETSEL, 1, 2);
  PropertyStore saved;
  m_box->WriteProperties(saved);
  std::vector<std::string> names;
  for (const auto& e : saved.Entries()) names.push_back(Utf16ToUtf8(e.name));
  const std::vector<std::string> want{"Text",    "ListIndex", "Locked",   "MaxLength", "ToolTipText",
                                      "FieldName", "Enabled", "TagCode", "SelStart",  "SelLength",
                                      "SelText", "FileName"};
  EXPECT_EQ(names, want);
  EXPECT_EQ(saved.ReadText(u"SelText", u""), u"\u5DDE");
  EXPECT_EQ(saved.ReadInt16(u"ListIndex", -1), 1);
}

TEST_F(JComboTest, ReadsTheFlagsWithoutTheirLooksAndNeverTheSelection) {
  PropertyStore p;
  p.Set(u"Text", std::u16string(kGuangdong));
  p.Set(u"BackColor", Colour(0x00FF00));
  p.Set(u"Enabled", false);
  p.Set(u"TagCode", true);
  p.Set(u"FileName", std::u16string(u"a.txt"));
  p.Set(u"SelStart", int32_t{1});
  p.Set(u"SelLength", int32_t{1});
  p.Set(u"SelText", std::u16string(u"zz"));
  p.Set(u"ListIndex", int16_t{2});
  JCombo* read = Place(u"Read", 1335, &p, 600);
  ASSERT_NE(read, nullptr);
  Settle();
  EXPECT_EQ(read->Text(), kGuangdong);
  EXPECT_EQ(read->SelLength(), 0);
  EXPECT_EQ(read->ListIndex(), -1);
  EXPECT_TRUE(read->TagCode());
  EXPECT_EQ(read->FileName(), u"a.txt");
  EXPECT_FALSE(read->Enabled());
  EXPECT_TRUE(IsWindowEnabled(read->TextPart().hWnd())) << "the flag only";
  EXPECT_EQ(read->ShownLook(), JCombo::kLookNormal);
  EXPECT_EQ(read->BackColor(), Colour(0x00FF00));
  const PixelImage img = CaptureWindowTree(read->hWnd());
  EXPECT_EQ(img.Pixel(2, 10), 0xFFFFFFu) << "the face keeps its white";
  EXPECT_EQ(img.Pixel(0, 0), 0xB99D7Fu);
}

// -- The list file

TEST_F(JComboTest, SavesAndLoadsChineseTextWithTags) {
  const std::wstring path = s_dir + L"\\round.txt";
  DeleteFileW(path.c_str());
  m_box->SetFileName(FromWide(path));
  m_box->SetTagCode(true);
  m_box->AddItem(u"gd=\u5E7F\u4E1C");
  m_box->AddItem(u"gz=\u5E7F\u5DDE");
  m_box->SaveToFile();

  JCombo* other = Place(u"Other", 1335, nullptr, 600);
  ASSERT_NE(other, nullptr);
  other->SetFileName(FromWide(path));
  ASSERT_TRUE(other->LoadedFromFile());
  EXPECT_TRUE(other->TagCode());
  EXPECT_EQ(other->ListCount(), 2);
  EXPECT_EQ(other->GetItem(1), u"gz=\u5E7F\u5DDE");
  int32_t from = 0;
  EXPECT_TRUE(other->SetTagCode(u"GZ", from));
  EXPECT_EQ(other->Text(), kGuangzhou);
}

TEST_F(JComboTest, ReadsAnOlderGbkFile) {
  // 广东 and 汕头 in GB2312: B9E3 B6AB, C9C7 CDB7; a comment and a one-letter line first.
  const std::wstring path = s_dir + L"\\gbk.txt";
  WriteBytes(path, {';', 'x', '\r', '\n', 'a', '\r', '\n', 0xB9, 0xE3, 0xB6, 0xAB, '\r', '\n', 0xC9, 0xC7, 0xCD, 0xB7});
  m_box->SetFileName(FromWide(path));
  ASSERT_TRUE(m_box->LoadedFromFile());
  EXPECT_FALSE(m_box->TagCode());
  ASSERT_EQ(m_box->ListCount(), 2);
  EXPECT_EQ(m_box->GetItem(0), kGuangdong);
  EXPECT_EQ(m_box->GetItem(1), kShantou);
}

TEST_F(JComboTest, AFileOfMixedEncodingsLeavesTheList) {
  // 8-bit lines with one UTF-16 line end, GBK likewise (广东, 北京), and 8-bit
  // lines with a UTF-16 LE line appended: none can be read whole.
  const std::string ascii("alpha\r\nbeta\r\ngamma\r\0\n\0delta\r\nepsilon\r\n", 38);
  const std::string appended("alpha\r\nbeta\r\ng\0a\0m\0m\0a\0\r\0\n\0", 27);
  const std::vector<std::vector<uint8_t>> files{
      {ascii.begin(), ascii.end()},
      {0xB9, 0xE3, 0xB6, 0xAB, 0x0D, 0x00, 0x0A, 0x00, 0xB1, 0xB1, 0xBE, 0xA9, 0x0D, 0x0A},
      {appended.begin(), appended.end()},
  };
  const std::wstring path = s_dir + L"\\mixed.txt";
  m_box->SetFileName(FromWide(path));
  Fill(*m_box);
  for (size_t i = 0; i < files.size(); ++i) {
    WriteBytes(path, files[i]);
    EXPECT_FALSE(m_box->LoadedFromFile()) << "file " << i;
    ASSERT_EQ(m_box->ListCount(), 3) << "file " << i;
    EXPECT_EQ(m_box->GetItem(2), kShantou) << "file " << i;
  }
  // Chinese UTF-16 LE without a mark, LF only (广东 汕头), and an odd byte after it.
  WriteBytes(path, {0x7F, 0x5E, 0x1C, 0x4E, 0x0A, 0x00, 0x55, 0x6C, 0x34, 0x59, 0x0A, 0x00, 0x41});
  ASSERT_TRUE(m_box->LoadedFromFile());
  ASSERT_EQ(m_box->ListCount(), 2);
  EXPECT_EQ(m_box->GetItem(0), kGuangdong);
  EXPECT_EQ(m_box->GetItem(1), kShantou);
}

TEST_F(JComboTest, AMissingFileLeavesTheList) {
  // The default file: the program's folder and the name of array member 0.
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const std::wstring folder(exe, std::wstring_view(exe).find_last_of(L"\\/"));
  EXPECT_EQ(m_box->ListFilePath(), folder + L"\\comWhere(0).Txt");
  Fill(*m_box);
  m_box->SetFileName(FromWide(s_dir + L"\\no-such-file.txt"));
  EXPECT_FALSE(m_box->LoadedFromFile());
  EXPECT_EQ(m_box->ListCount(), 3);
  m_box->SetFileName(FromWide(s_dir + L"\\no-such-folder\\list.txt"));
  m_box->SaveToFile();  // quietly nothing
  EXPECT_EQ(GetFileAttributesW((s_dir + L"\\no-such-folder\\list.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(JComboTest, AFailedSaveKeepsThePreviousFile) {
  const std::wstring path = s_dir + L"\\kept.txt";
  const std::vector<uint8_t> old{'o', 'l', 'd', '\r', '\n'};
  WriteBytes(path, old);
  Fill(*m_box);
  m_box->SetFileName(FromWide(path));
  {
    // Another program holds the file open without letting it be replaced.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    m_box->SaveToFile();
    CloseHandle(held);
  }
  EXPECT_EQ(FileBytes(path), old);
  // No half-written file is left beside it.
  WIN32_FIND_DATAW found{};
  HANDLE find = FindFirstFileW((s_dir + L"\\lst*.tmp").c_str(), &found);
  EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "left behind: " << Utf16ToUtf8(FromWide(found.cFileName));
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  // Once free, the save goes through.
  m_box->SaveToFile();
  EXPECT_NE(FileBytes(path), old);
}

}  // namespace
}  // namespace fw
