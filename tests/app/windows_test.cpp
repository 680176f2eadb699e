// The message box and the about window on real windows under Wine, driven from
// inside their modal loops with the messages a user's keys and clicks send,
// and read back as a tool would (window texts and places; the labels, which
// have no window, through their containers' accessible objects).
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <cwctype>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/ForMail.h"
#include "app/ForMsgx.h"
#include "app/ModMain.h"
#include "controls/skForms/skForms.h"
#include "controls/skLabel/skLabel.h"
#include "controls/xpText/xpText.h"
#include "host/Image.h"
#include "host/Label.h"
#include "host/PngFile.h"
#include "host/Utf8.h"
#include "tests/app/WindowTestSupport.h"
#include "tests/host/AccessibleRead.h"
#include "tools/hostdemo/DemoButton.h"
#include "tools/hostdemo/GradientPanel.h"

namespace fw {
namespace {

using test::WindowText;

constexpr int kTwipsPerPixel = 15;

// What a shown box offers: its title, its prompt, and its visible buttons'
// captions with their lefts and tops in twips, left to right.
struct Seen {
  std::u16string title, prompt;
  std::vector<std::u16string> buttons;
  std::vector<int> lefts, tops;
  bool ownerEnabled = true;
  long role = 0;  // what assistive technology reads the box as
};

class WindowsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterWindowKinds(); }

  void SetUp() override {
    ASSERT_TRUE(m_main.Create(6420, 4110, u"Fuelwise v1.0.0110"));
    m_main.SetIcon(Picture::FromResource(u"IDI_FUELWISE"));
    m_main.Show();
    SetMainWindow(&m_main);
  }
  void TearDown() override {
    test::StopWaiting();
    SetMainWindow(nullptr);
    m_main.Unload();
  }

  // The box as it shows itself; then `close` ends it.
  int32_t Show(int32_t flags, Seen& seen, const std::function<void(HWND)>& close) {
    const std::u16string title = u"提示";
    test::WhenShown(title, [&, close](HWND box) {
      seen.title = WindowText(box);
      seen.ownerEnabled = IsWindowEnabled(m_main.hWnd()) != FALSE;
      seen.role = test::AccessibleSelf(box).role;
      std::vector<test::ChildWindow> buttons;
      // The prompt is a label: its container names it to assistive technology.
      for (const std::u16string& text : test::AccessibleTexts(box)) {
        if (text == u"您还没有选择城市了!") seen.prompt = text;
      }
      for (const auto& c : test::VisibleChildren(box)) {
        if (c.text == u"OK" || c.text == u"Cancel" || c.text == u"Ignore" || c.text == u"Yes" ||
            c.text == u"No") {
          buttons.push_back(c);
        }
      }
      std::sort(buttons.begin(), buttons.end(),
                [](const auto& a, const auto& b) { return a.rect.left < b.rect.left; });
      for (const auto& b : buttons) {
        seen.buttons.push_back(b.text);
        seen.lefts.push_back(b.rect.left * kTwipsPerPixel);
        seen.tops.push_back(b.rect.top * kTwipsPerPixel);
      }
      close(box);
    });
    const int32_t result = ShowMessageBox(u"您还没有选择城市了!", flags, title, &m_main);
    EXPECT_TRUE(test::Acted()) << "the box did not show";
    EXPECT_TRUE(IsWindowEnabled(m_main.hWnd())) << "the owner stays disabled";
    EXPECT_FALSE(test::FindShown(title)) << "the box stays open";
    return result;
  }

  static std::function<void(HWND)> Press(std::u16string caption) {
    return [caption](HWND box) { test::PostClick(test::ChildWithText(box, caption)); };
  }
  static std::function<void(HWND)> Escape() {
    return [](HWND) { test::PostKey(VK_ESCAPE); };
  }

  Form m_main;
};

// Each box as the user sees it (its buttons and their places in twips) and
// what closing it returns. The row: (5070 - widths - 120 per gap) / 2 on. A
// box that only tells is read as an alert, one that asks as a dialog.
TEST_F(WindowsTest, ButtonsPlacesAndResults) {
  using Texts = std::vector<std::u16string>;
  const auto close = [](HWND box) { PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); };
  struct Case {
    int32_t flags;
    std::function<void(HWND)> act;
    Texts buttons;
    std::vector<int> lefts;
    int32_t result;
    long role;
  } const cases[] = {
      {0, Press(u"OK"), {u"OK"}, {1935}, 1, ROLE_SYSTEM_ALERT},
      {1, Press(u"Cancel"), {u"OK", u"Cancel"}, {1275, 2595}, 2, ROLE_SYSTEM_DIALOG},
      {2, Press(u"Ignore"), {u"OK", u"Ignore"}, {1275, 2595}, 3, ROLE_SYSTEM_DIALOG},
      {3, Press(u"Yes"), {u"Yes", u"No"}, {1275, 2595}, 4, ROLE_SYSTEM_DIALOG},
      // Escape and the frame's close command set no result: the last Yes is gone.
      {3, Escape(), {u"Yes", u"No"}, {1275, 2595}, 0, ROLE_SYSTEM_DIALOG},
      {20, Press(u"No"), {u"Yes", u"No", u"Cancel"}, {615, 1935, 3255}, 5, ROLE_SYSTEM_DIALOG},
      {4, close, {u"Yes", u"No", u"Cancel"}, {615, 1935, 3255}, 0, ROLE_SYSTEM_DIALOG},
      {5, Escape(), {}, {}, 0, ROLE_SYSTEM_ALERT},
  };
  for (const Case& c : cases) {
    Seen seen;
    EXPECT_EQ(Show(c.flags, seen, c.act), c.result) << "Flags " << c.flags;
    EXPECT_EQ(seen.title, u"提示");
    EXPECT_EQ(seen.prompt, u"您还没有选择城市了!");
    EXPECT_FALSE(seen.ownerEnabled);
    EXPECT_EQ(seen.buttons, c.buttons) << "Flags " << c.flags;
    EXPECT_EQ(seen.lefts, c.lefts) << "Flags " << c.flags;
    EXPECT_EQ(seen.role, c.role) << "Flags " << c.flags;
    for (int top : seen.tops) EXPECT_EQ(top, 1680) << "Flags " << c.flags;
  }
}

TEST_F(WindowsTest, OneBoxAtATime) {
  int32_t nested = -1;
  Seen seen;
  const int32_t result = Show(0, seen, [&](HWND box) {
    nested = ShowMessageBox(u"second", 0, u"second", &m_main);
    // The window for review: the box alone.
    const PixelImage shot = CaptureWindowTree(box);
    EXPECT_TRUE(SavePng(L"message-box.png", shot));
    test::PostClick(test::ChildWithText(box, u"OK"));
  });
  EXPECT_EQ(nested, 0);
  EXPECT_EQ(result, 1);
}

// The message and the about window's lines are in the regular 宋体 9 pt of the
// main window's labels, not in the frame's bold title font: the labels that
// size themselves are as wide as their text in a regular 宋体 made here.
TEST_F(WindowsTest, TheSmallWindowsTextsAreRegularSongTi) {
  const std::u16string songTi = u"\u5B8B\u4F53";
  HDC screen = GetDC(nullptr);
  HFONT regular = CreateFontW(-MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL,
                              FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"\u5B8B\u4F53");
  HGDIOBJ old = SelectObject(screen, regular);
  auto regularWidth = [&](const std::u16string& text) {
    SIZE size{};
    GetTextExtentPoint32W(screen, reinterpret_cast<const wchar_t*>(text.c_str()),
                          static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  };
  ForMsgx box;
  ForMail about;
  ASSERT_TRUE(box.LoadFromResource(ForMsgx::kDesignName));
  ASSERT_TRUE(about.LoadFromResource(ForMail::kDesignName));
  struct Case {
    Form& window;
    std::string label;
  } const cases[] = {{box, "lbText"}, {about, "Label1"}, {about, "Label2"}};
  for (const Case& c : cases) {
    Label* label = c.window.Get<Label>(std::u16string(c.label.begin(), c.label.end()));
    ASSERT_NE(label, nullptr) << c.label;
    const FontValue& font = label->GetFont()->Value();
    EXPECT_EQ(font.face, songTi) << c.label;
    EXPECT_EQ(font.size, 9.0) << c.label;
    EXPECT_FALSE(font.bold) << c.label;
    EXPECT_EQ(font.weight, FW_NORMAL) << c.label;
    if (label->AutoSize()) {
      const RECT r = label->PixelRect();
      EXPECT_EQ(r.right - r.left, regularWidth(label->Caption())) << c.label;
    }
  }
  about.Unload();
  box.Unload();
  SelectObject(screen, old);
  DeleteObject(regular);
  ReleaseDC(nullptr, screen);
}

// -- The about window

class AboutTest : public WindowsTest {
 protected:
  void SetUp() override {
    WindowsTest::SetUp();
    m_previous = ForMail::SetShellOpen([this](HWND owner, std::wstring_view verb,
                                              std::wstring_view file) {
      m_opened.push_back(std::wstring(verb) + L" " + std::wstring(file) +
                         (owner == m_about.hWnd() ? L" (owned)" : L""));
    });
  }
  void TearDown() override {
    ForMail::SetShellOpen(m_previous);
    WindowsTest::TearDown();
  }

  ForMail m_about;
  ForMail::ShellOpen m_previous;
  std::vector<std::wstring> m_opened;
};

TEST_F(AboutTest, LabelsMailLinkAndExit) {
  std::vector<std::u16string> texts;
  bool ownerEnabled = true, stillOpen = false;
  Colour linkBefore{0}, linkAfter{0};
  test::WhenShown(u"关于", [&](HWND about) {
    ownerEnabled = IsWindowEnabled(m_main.hWnd()) != FALSE;
    for (const char16_t* name : {u"Label1", u"Label2", u"Label3"}) {
      texts.push_back(test::AccessibleName(*m_about.Get<Label>(name)));
    }
    EXPECT_TRUE(SavePng(L"about.png", CaptureWindowTree(about)));
    Label& link = *m_about.Get<Label>(u"Label3");
    linkBefore = link.ForeColor();
    test::PostClick(link);
    test::PumpFor(100, [&] { return !m_opened.empty(); });
    linkAfter = link.ForeColor();
    stillOpen = IsWindowVisible(about) != FALSE;
    test::PostClick(test::ChildWithText(about, u"退出"));
  });
  m_about.ShowAbout(&m_main);
  ASSERT_TRUE(test::Acted());
  // The date line is read as the link it is, named for what it does.
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"Fuelwise v1.0.0110", u"By fuelwise-dev",
                                                 u"发送邮件 fuelwise-dev@example.com"}));
  EXPECT_FALSE(ownerEnabled);
  EXPECT_EQ(m_opened, std::vector<std::wstring>{L"open mailto:fuelwise-dev@example.com (owned)"});
  EXPECT_TRUE(stillOpen) << "opening the link closed the window";
  EXPECT_NE(linkBefore.value, 0xC000C0u);
  EXPECT_EQ(linkAfter.value, 0xC000C0u);
  EXPECT_FALSE(m_about.IsLoaded());
  EXPECT_TRUE(IsWindowEnabled(m_main.hWnd()));

  // Opened again, the link has its first colour back.
  Colour again{0};
  test::WhenShown(u"关于", [&](HWND about) {
    again = m_about.Get<Label>(u"Label3")->ForeColor();
    PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  m_about.ShowAbout(&m_main);
  EXPECT_EQ(again.value, linkBefore.value);
  EXPECT_FALSE(m_about.IsLoaded());
}

// A tool reads the date line as the mail link it is and opens it by its
// default action, as a click does; Escape closes the window.
TEST_F(AboutTest, TheLinkOpensByItsDefaultActionAndEscapeCloses) {
  std::vector<test::AccessiblePart> parts;
  Colour link{0};
  bool stillOpen = false;
  test::WhenShown(u"关于", [&](HWND about) {
    // The labels lie in the frame, which lists them.
    const HWND frame = m_about.Get<Label>(u"Label3")->ContainerHwnd();
    parts = test::AccessibleParts(frame);
    for (const auto& part : parts) {
      if (part.role == ROLE_SYSTEM_LINK) {
        EXPECT_TRUE(test::AccessibleDefaultAction(frame, part.childId));
      }
    }
    link = m_about.Get<Label>(u"Label3")->ForeColor();
    stillOpen = IsWindowVisible(about) != FALSE;
    SetForegroundWindow(about);
    test::PostKey(VK_ESCAPE);
  });
  m_about.ShowAbout(&m_main);
  ASSERT_TRUE(test::Acted());
  const auto linkPart = std::find_if(parts.begin(), parts.end(),
                                     [](const auto& p) { return p.role == ROLE_SYSTEM_LINK; });
  ASSERT_NE(linkPart, parts.end());
  EXPECT_EQ(linkPart->name, u"发送邮件 fuelwise-dev@example.com");
  EXPECT_EQ(m_opened, std::vector<std::wstring>{L"open mailto:fuelwise-dev@example.com (owned)"});
  EXPECT_EQ(link.value, 0xC000C0u) << "visited, as after a click";
  EXPECT_TRUE(stillOpen);
  EXPECT_FALSE(m_about.IsLoaded()) << "Escape left the window open";
}

// Every opening picks a theme from 1 to 5; over many openings all five come up.
TEST_F(AboutTest, ThemesOneToFiveOverManyOpenings) {
  std::set<int32_t> seen;
  for (int i = 0; i < 60; ++i) {
    ASSERT_TRUE(m_about.LoadFromResource(ForMail::kDesignName));
    seen.insert(m_about.Get<skForms>(u"skForms1")->ThemeColor());
    m_about.Unload();
  }
  EXPECT_EQ(seen, (std::set<int32_t>{1, 2, 3, 4, 5}));
}

// The message box's nine tiles and the about picture keep their places in
// twips and show their pictures at the window's dpi, each drawn from a
// variant of exactly that size. Places worked out from the designs: tiles at
// 360, 600, 840 twips across and 840, 1080, 1320 down; the about picture at
// 720, 960; 15, 10 and 7.5 twips per pixel at 96, 144 and 192 dpi. The other
// dpis come as the platform brings them, by WM_DPICHANGED.
TEST(WindowPictures, TilesAndAboutPictureAtTheWindowsDpi) {
  RegisterWindowKinds();
  struct Row {
    int dpi;
    int tileLeft[3], tileTop[3];
    int tile;
    int aboutLeft, aboutTop, about;
  };
  const Row kRows[] = {
      {96, {24, 40, 56}, {56, 72, 88}, 16, 48, 64, 64},
      {144, {36, 60, 84}, {84, 108, 132}, 24, 72, 96, 96},
      {192, {48, 80, 112}, {112, 144, 176}, 32, 96, 128, 128},
  };
  auto toDpi = [](Form& form, int dpi) {
    if (form.Dpi() == dpi) return;
    RECT window{};
    GetWindowRect(form.hWnd(), &window);
    SendMessageW(form.hWnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&window));
  };
  for (const Row& row : kRows) {
    ForMsgx box;
    ASSERT_TRUE(box.LoadFromResource(ForMsgx::kDesignName));
    toDpi(box, row.dpi);
    ASSERT_EQ(box.Dpi(), row.dpi);
    for (int k = 0; k < 9; ++k) {
      const std::u16string name = u"Image" + std::u16string(1, static_cast<char16_t>(u'1' + k));
      const Image* tile = box.Get<Image>(name);
      ASSERT_NE(tile, nullptr);
      const RECT r = tile->PixelRect();
      EXPECT_EQ(r.left, row.tileLeft[k % 3]) << "tile " << k << " at " << row.dpi;
      EXPECT_EQ(r.top, row.tileTop[k / 3]) << "tile " << k << " at " << row.dpi;
      EXPECT_EQ(r.right - r.left, row.tile) << "tile " << k << " at " << row.dpi;
      EXPECT_EQ(r.bottom - r.top, row.tile) << "tile " << k << " at " << row.dpi;
      // Every scale has its own tile: none is drawn from a stretched other one.
      EXPECT_EQ(tile->GetPicture()->SourceSizeFor(row.tile, row.tile).cx, row.tile) << k;
    }
    box.Unload();
    ForMail about;
    ASSERT_TRUE(about.LoadFromResource(ForMail::kDesignName));
    toDpi(about, row.dpi);
    const Image* picture = about.Get<Image>(u"Image1");
    ASSERT_NE(picture, nullptr);
    const RECT r = picture->PixelRect();
    EXPECT_EQ(r.left, row.aboutLeft) << row.dpi;
    EXPECT_EQ(r.top, row.aboutTop) << row.dpi;
    EXPECT_EQ(r.right - r.left, row.about) << row.dpi;
    EXPECT_EQ(r.bottom - r.top, row.about) << row.dpi;
    EXPECT_EQ(picture->GetPicture()->SourceSizeFor(row.about, row.about).cx, row.about) << row.dpi;
    about.Unload();
  }
}

// Every design compiled into the program (and the host demo's) builds with no
// error: no unknown kind, no value a control could not use.
TEST(WindowDesigns, EveryDesignBuildsWithoutAnError) {
  RegisterWindowKinds();
  RegisterControlKind(u"GradientPanel", [] { return std::make_unique<demo::GradientPanel>(); });
  RegisterControlKind(u"DemoButton", [] { return std::make_unique<demo::DemoButton>(); });
  RegisterskLabel();
  RegisterxpText();
  std::set<std::u16string> names;
  EnumResourceNamesW(
      nullptr, L"DESIGN",
      [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
        if (!IS_INTRESOURCE(name)) {
          std::u16string n;
          for (const wchar_t* c = name; *c; ++c) n += static_cast<char16_t>(std::towupper(*c));
          reinterpret_cast<std::set<std::u16string>*>(found)->insert(n);
        }
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&names));
  EXPECT_EQ(names, (std::set<std::u16string>{u"FORDEMO", u"FORMAIL", u"FORMAIN", u"FORMSGX",
                                                       u"FORSETTINGS"}));
  for (const std::u16string& name : names) {
    Form form;
    EXPECT_TRUE(form.LoadFromResource(name)) << Utf16ToUtf8(name);
    std::string errors;
    for (const std::u16string& e : form.BuildErrors()) errors += Utf16ToUtf8(e) + "\n";
    EXPECT_EQ(errors, "") << Utf16ToUtf8(name);
    form.Unload();
  }
}

}  // namespace
}  // namespace fw
