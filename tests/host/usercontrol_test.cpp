// The user-control base under real messages: event order and arguments, the
// drawing surface and its copy to the screen, cursors, focus, and handle leaks.
#include <windows.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include "host/ColourWin.h"
#include "host/Gdi.h"
#include "tests/host/HostTest.h"

namespace fw::test {
namespace {

class UserControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetModifiers(false, false, false);
    ASSERT_TRUE(form.Create(4500, 3000, u"User control test"));
    // 1500 x 750 twips: 100 x 50 pixels at 96 dpi.
    control = form.Add<RecordingControl>(u"rec", nullptr, 150, 150, 1500, 750);
    ASSERT_NE(control, nullptr);
    form.Show();
    Pump();
    control->events.clear();
  }
  void TearDown() override { SetModifiers(false, false, false); }

  LRESULT Send(UINT msg, WPARAM w, LPARAM l) { return SendMessageW(control->hWnd(), msg, w, l); }

  Form form;
  RecordingControl* control = nullptr;
};

TEST_F(UserControlTest, PlacedInTwipsAtFifteenTwipsPerPixel) {
  RECT rc{};
  GetWindowRect(control->hWnd(), &rc);
  MapWindowPoints(nullptr, form.hWnd(), reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ(rc.left, 10);
  EXPECT_EQ(rc.top, 10);
  EXPECT_EQ(control->ScaleWidth(), 100);
  EXPECT_EQ(control->ScaleHeight(), 50);
}

TEST_F(UserControlTest, LeftClickIsDownUpClick) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(11, 21));
  const Event want[] = {{"MouseDown", 1, 0, 10, 20}, {"MouseUp", 1, 0, 11, 21}, {"Click"}};
  ExpectSequence(control->events, want, "left click");
}

}  // namespace
}  // namespace fw::test
