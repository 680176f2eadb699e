// xpText: a single-line text box with a flat look: a white face, a one-pixel
// border that shows whether the control is enabled (0xB99D7F enabled, 0xC0C0C0
// disabled) and a borderless text box inside it (TxtSpin). It reads and writes its
// text as a number through Value.
//
// Size: never narrower than 400 twips; always 315 twips high. TxtSpin sits 75
// twips in and 60 down, 111 twips narrower than the control; a font above 8 pt
// lifts it 15 twips per point above 8.
//
// Stepping: the Up and Down arrow keys in the text, and each notch of the mouse
// wheel over it (up: more), add or take away LargeChange from Value and show the
// result with Decimal places (0: a whole number), raising Change once per step. A
// text that does not start with a number steps from 0. A locked box does not step.
//
// Events: Change (the text changed), then KeyPress(KeyAscii) for each character
// typed; a handler that changes KeyAscii changes the character the text receives,
// 0 cancels it. The control filters nothing itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "controls/xpText/xpTextModel.h"
#include "host/Input.h"
#include "host/Shape.h"
#include "host/TextBox.h"
#include "host/UserControl.h"

namespace fw {

namespace xptext {
// TxtSpin: the host's text box made without a border.
class SpinBox : public TextBox {
 public:
  bool CreateBorderless(HWND parent, const RECT& pixels);
};
}  // namespace xptext

class xpText : public UserControl {
 public:
  xpText();
  ~xpText() override;

  // -- Properties
  // Also TxtSpin's enabled state and the border colour (reading a design sets
  // only the control's own state).
  void SetEnabled(bool enabled) override;
  bool Locked() const { return m_txtSpin.Locked(); }
  void SetLocked(bool locked);
  std::u16string Text() const { return m_txtSpin.Text(); }
  void SetText(std::u16string_view text);
  // The leading number of the text (0 when it has none); writing shows the
  // number's shortest text.
  double Value() const;
  void SetValue(double value);
  double LargeChange() const { return m_largeChange; }
  void SetLargeChange(double change);
  // TxtSpin's font object (the control's own surface font stays the base's);
  // writing it lays the control out again, as does any later change of that object.
  const std::shared_ptr<Font>& GetFont() const { return m_txtSpin.GetFont(); }
  void SetFont(std::shared_ptr<Font> font);
  // The decimal places a step shows, saved as "Decimal". Not a property the host
  // lists (it reports no change); code that sets the control up may write it.
  int16_t Decimal() const { return m_decimal; }
  void SetDecimal(int16_t places) { m_decimal = places; }
  // The "Value" entry read from the design, written back as it was.
  double StoredValue() const { return m_storedValue; }

  // One step up (+1) or down (-1), as the keys and the wheel do.
  void Step(int direction);

  // -- Events
  EventHandler Change;
  KeyPressHandler KeyPress;

 protected:
  void OnCreated() override;
  void OnInitProperties() override;
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  void OnResize() override;
  void OnTerminate() override;
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;
  // A spin box named by the label before it, its value the text (settable);
  // the text box inside stays its child.
  void OnAccessibleSelf(AccessibleItem& self) const override;
  bool OnAccessibleSetValue(int part, std::u16string_view value) override;

 private:
  // Tests reach the inner text box and the border through this type; it is
  // defined with the tests.
  friend struct xpTextTestAccess;

  void Wheel(int delta);
  void Layout();
  void SetBorderColour(bool enabled);
  void FollowFont();

  xptext::SpinBox m_txtSpin;
  Shape m_shapeBorder;
  FontSubscription m_fontSubscription;
  int16_t m_decimal = xptext::kDefaultDecimal;
  double m_largeChange = xptext::kDefaultLargeChange;
  double m_storedValue = xptext::kDefaultValue;
  int m_wheelRest = 0;     // wheel travel short of a notch
  bool m_laying = false;   // Layout moves the control, which resizes it again
};

// Lets design files place the kind "xpText".
void RegisterxpText();

}  // namespace fw
