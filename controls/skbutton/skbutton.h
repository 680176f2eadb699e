// skbutton: a push button with sixteen looks, a caption with an access key, an
// optional picture with a separate hover picture, a toggle (check-box) mode, hover
// tracking and full keyboard handling.
//
// Every state change ends in Redraw: the surface is cleared, the face of the
// current ButtonStyle is painted by that style's painter (ButtonPaint.h), and the
// caption and picture are drawn over it. Hover is followed through the plain hook:
// the button's own mouse moves and mouse-leave notices, and its form's activation.
//
// Events, in the order a left click raises them: MouseDown on the press, Click and
// then MouseUp on a release strictly inside; a release elsewhere raises MouseUp
// only. A double click: MouseDown, Click, MouseUp, MouseDown, DblClick, Click,
// MouseUp. The button raises Click itself; the host's own click is not used.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "controls/skbutton/ButtonPaint.h"
#include "controls/skbutton/SkbuttonModel.h"
#include "hook/PlainHook.h"
#include "host/Font.h"
#include "host/Picture.h"
#include "host/UserControl.h"

namespace fw {

class skbutton : public UserControl {
 public:
  // Defined by the tests, which read the state the button draws from.
  friend struct SkbuttonTestAccess;

  skbutton();
  ~skbutton() override;

  // -- Properties (each setter stores, then does its side effects in order)
  Colour BackColor() const { return m_backColor; }
  void SetBackColor(Colour colour);
  std::optional<Colour> BackColorValue() const override { return BackColor(); }
  bool SetBackColorValue(Colour colour) override {
    SetBackColor(colour);
    return true;
  }
  int32_t ButtonStyle() const { return m_buttonStyle; }
  void SetButtonStyle(int32_t style);
  const std::u16string& Caption() const { return m_caption; }
  void SetCaption(std::u16string_view caption);
  int32_t CaptionAlign() const { return m_captionAlign; }
  void SetCaptionAlign(int32_t align);
  bool CheckBoxMode() const { return m_checkBoxMode; }
  void SetCheckBoxMode(bool mode);
  void SetEnabled(bool enabled) override;
  const std::shared_ptr<Font>& GetFont() const { return m_fontObject; }
  void SetFont(std::shared_ptr<Font> font);
  Colour ForeColor() const { return m_foreColor; }
  void SetForeColor(Colour colour);
  bool HandPointer() const { return m_handPointer; }
  void SetHandPointer(bool hand);
  Colour MaskColor() const { return m_maskColor; }
  void SetMaskColor(Colour colour);
  const std::shared_ptr<Picture>& MouseIcon() const { return UserControl::MouseIcon(); }
  void SetMouseIcon(std::shared_ptr<Picture> icon);
  int MousePointer() const { return UserControl::MousePointer(); }
  void SetMousePointer(int pointer);
  const std::shared_ptr<Picture>& GetPicture() const { return m_picture; }
  void SetPicture(std::shared_ptr<Picture> picture);
  int32_t PictureAlign() const { return m_pictureAlign; }
  void SetPictureAlign(int32_t align);
  const std::shared_ptr<Picture>& PictureHover() const { return m_pictureHover; }
  void SetPictureHover(std::shared_ptr<Picture> picture);
  int32_t PictureSize() const { return m_pictureSize; }
  void SetPictureSize(int32_t size);
  bool ShowFocusRect() const { return m_showFocusRect; }
  void SetShowFocusRect(bool show);
  bool UseMaskColor() const { return m_useMaskColor; }
  void SetUseMaskColor(bool use);
  bool Value() const { return m_value; }
  void SetValue(bool value);

  // -- Methods
  // The information box about the control.
  void About();
  // Applies the colours and focus-rectangle setting a style starts with.
  void SetDefaultColors();
  // Clears the surface and paints the face, the picture and the caption.
  void Redraw();

  // -- Events
  std::function<void()> Click;
  std::function<void()> DblClick;
  std::function<void()> MouseEnter;
  std::function<void()> MouseLeave;
  std::function<void(int button, int shift, float x, float y)> MouseMove;
  std::function<void(int button, int shift, float x, float y)> MouseUp;
  std::function<void(int button, int shift, float x, float y)> MouseDown;
  std::function<void(int& keyCode, int shift)> KeyDown;
  std::function<void(int& keyCode, int shift)> KeyUp;

 protected:
  // -- Events from the host
  void OnCreated() override;
  void OnInitProperties() override;
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  void OnResize() override;
  void OnPaint() override;
  void OnTerminate() override;
  void OnMouseDown(int button, int shift, float x, float y) override;
  void OnMouseMove(int button, int shift, float x, float y) override;
  void OnMouseUp(int button, int shift, float x, float y) override;
  void OnDblClick() override;
  void OnKeyDown(int& keyCode, int shift) override;
  void OnKeyUp(int& keyCode, int shift) override;
  void OnGotFocus() override;
  void OnLostFocus() override;
  void OnAccessKeyPress(int keyAscii) override;
  void OnAmbientChanged(std::u16string_view name) override;
  HCURSOR PointerCursor() const override;
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;
  // A push button, or a check button in check-box mode, named by its caption.
  void OnAccessibleSelf(AccessibleItem& self) const override;
  bool OnAccessibleDefaultAction(int part) override;

 private:
  // The plain hook's callback: hover on the button, activation of the form.
  void zSubclass_Proc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hWnd, UINT& uMsg,
                      WPARAM& wParam, LPARAM& lParam);
  void OnHookMouseMove();
  void OnHookMouseLeave();
  void OnFormActivation(bool active);
  // Run-time start: the hand cursor, the tracking function, the hooks.
  void StartRunning();
  bool FormIsActive() const;
  // Asks for one leave notice, or withdraws the request (only while tracking).
  void RequestLeaveNotice();
  void WithdrawLeaveNotice();
  void DeriveAccessKey();
  void ReadSize();
  void BuildRegion();
  skbtn::ButtonState PaintState() const;
  void DrawCaptionAndPicture();
  void DrawPicture(int px, int py, int pw, int ph);
  void DrawCaption(const skbtn::Box& place);
  void SetHandCursor();
  void EndSpaceCapture();
  void RunFontChanged();
  void SubscribeFont();
  // The STATE_SYSTEM_* flags assistive technology reads.
  long AccessibleState() const;
  // Tells assistive technology when pressed, checked or unavailable changed.
  void FollowAccessibleState();
  // The click a tool asks for: a left press and release in the middle, as the
  // platform's own buttons click for it.
  void ClickForTool();

  // -- Properties
  Colour m_backColor{skbtn::kButtonFace};
  int32_t m_buttonStyle = skbtn::StyleFlat;
  std::u16string m_caption{u"skbutton"};
  int32_t m_captionAlign = skbtn::CaptionCentre;
  bool m_checkBoxMode = false;
  std::shared_ptr<Font> m_fontObject;
  FontSubscription m_fontChanged;
  Colour m_foreColor{skbtn::kButtonText};
  bool m_handPointer = false;
  Colour m_maskColor{skbtn::kDefaultMaskColour};
  std::shared_ptr<Picture> m_picture;
  int32_t m_pictureAlign = skbtn::PictureLeftOfCaption;
  std::shared_ptr<Picture> m_pictureHover;
  int32_t m_pictureSize = skbtn::PictureOwnSize;
  bool m_showFocusRect = false;
  bool m_useMaskColor = false;
  bool m_value = false;

  // -- State
  skbtn::Look m_state = skbtn::StateNormal;
  bool m_mouseInside = false;
  bool m_leftDown = false;
  bool m_pressedHere = false;  // the left button went down on this button, not yet up
  bool m_spaceDown = false;
  bool m_spaceCapture = false;  // the capture was taken by a space press
  bool m_hasFocus = false;
  bool m_parentActive = false;
  bool m_isDefault = false;
  bool m_trackingAvailable = false;
  HCURSOR m_handCursor = nullptr;  // a shared system cursor: never destroyed
  HWND m_parentHwnd = nullptr;
  bool m_running = false;  // hooks installed for the run
  int m_savedButton = 0;
  int m_savedShift = 0;
  float m_savedX = 0;
  float m_savedY = 0;
  int32_t m_width = 0;   // W
  int32_t m_height = 0;  // H
  int32_t m_pictureWidth = 0;
  int32_t m_pictureHeight = 0;
  RECT m_clientRect{};
  skbtn::Box m_captionFocusRect{};
  bool m_hasAccessKey = false;
  // The region last given to the window was built for this size and style.
  int32_t m_regionWidth = -1;
  int32_t m_regionHeight = -1;
  int32_t m_regionStyle = -1;
  int m_regionBuilds = 0;  // regions given since the button was made
  long m_toldState = -1;   // the pressed, checked and unavailable flags last told

  PlainHook m_hook{[this](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hWnd, UINT& uMsg,
                          WPARAM& wParam, LPARAM& lParam) {
    zSubclass_Proc(bBefore, bHandled, lReturn, hWnd, uMsg, wParam, lParam);
  }};
};

// Lets design files place the kind "skbutton".
void RegisterSkbutton();

}  // namespace fw
