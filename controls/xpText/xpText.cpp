#include "controls/xpText/xpText.h"

#include <oleacc.h>

#include "host/Form.h"

namespace fw {

using namespace xptext;

namespace {

constexpr Colour kWhite{0xFFFFFFu};
constexpr Colour kBorderEnabled{0xB99D7Fu};
constexpr Colour kBorderDisabled{0xC0C0C0u};
constexpr int kWheelNotch = WHEEL_DELTA;

FontValue AmbientFontValue(const AmbientProperties& ambient) {
  return ambient.font ? ambient.font->Value() : Font::DefaultValue();
}

}  // namespace

bool xptext::SpinBox::CreateBorderless(HWND parent, const RECT& pixels) {
  PropertyStore settings;
  settings.Set(u"BorderStyle", int32_t{0});
  OnBeforeCreate(settings);
  return Create(parent, pixels, u"TxtSpin");
}

xpText::xpText() : UserControl(u"xpText", /*container=*/true) {
  // The text box inside takes the focus; the dialog manager enters the control
  // (a control parent) to reach it.
  SetCanGetFocus(false);
}

xpText::~xpText() = default;

// -- Properties

void xpText::SetEnabled(bool enabled) {
  UserControl::SetEnabled(enabled);
  m_txtSpin.SetEnabled(enabled);
  SetBorderColour(enabled);
  PropertyChanged(u"Enabled");
}

void xpText::SetLocked(bool locked) {
  m_txtSpin.SetLocked(locked);
  PropertyChanged(u"Locked");
}

void xpText::SetText(std::u16string_view text) {
  m_txtSpin.SetText(text);
  PropertyChanged(u"Text");
}

double xpText::Value() const { return LeadingNumber(m_txtSpin.Text()); }

void xpText::SetValue(double value) {
  m_txtSpin.SetText(ShortestText(value));
  PropertyChanged(u"Value");
}

void xpText::SetLargeChange(double change) {
  m_largeChange = change;
  PropertyChanged(u"LargeChange");
}

void xpText::SetFont(std::shared_ptr<Font> font) {
  if (!font) return;
  m_txtSpin.SetFont(std::move(font));
  FollowFont();
  Layout();
  PropertyChanged(u"Font");
}

void xpText::Step(int direction) {
  if (m_txtSpin.Locked() || direction == 0) return;
  const std::u16string text =
      Stepped(m_txtSpin.Text(), direction > 0 ? 1 : -1, m_largeChange, m_decimal);
  m_txtSpin.SetText(text);
  m_txtSpin.SetSelStart(static_cast<int32_t>(text.size()));
}

void xpText::Wheel(int delta) {
  m_wheelRest += delta;
  // A step may end in a handler that destroys the control: stop once its box is gone.
  while (m_wheelRest >= kWheelNotch && m_txtSpin.hWnd()) {
    m_wheelRest -= kWheelNotch;
    Step(1);
  }
  while (m_wheelRest <= -kWheelNotch && m_txtSpin.hWnd()) {
    m_wheelRest += kWheelNotch;
    Step(-1);
  }
}

bool xpText::OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  // The wheel over the border, where the platform sends it to the control itself.
  if (msg != WM_MOUSEWHEEL || m_txtSpin.Locked()) return false;
  Wheel(GET_WHEEL_DELTA_WPARAM(w));
  result = 0;
  return true;
}

// -- Assistive technology

void xpText::OnAccessibleSelf(AccessibleItem& self) const {
  self.role = ROLE_SYSTEM_SPINBUTTON;
  self.name = FieldLabel().value_or(u"");
  self.value = m_txtSpin.Text();
  long state = 0;
  if (!hWnd() || !IsWindowVisible(hWnd())) state |= STATE_SYSTEM_INVISIBLE;
  if (!Enabled()) state |= STATE_SYSTEM_UNAVAILABLE;
  else state |= STATE_SYSTEM_FOCUSABLE;
  if (m_txtSpin.Locked()) state |= STATE_SYSTEM_READONLY;
  const HWND focus = GetFocus();
  if (focus && (focus == hWnd() || IsChild(hWnd(), focus))) state |= STATE_SYSTEM_FOCUSED;
  self.state = state;
}

bool xpText::OnAccessibleSetValue(int part, std::u16string_view value) {
  // As typed: a locked or disabled box takes nothing.
  if (part != -1 || m_txtSpin.Locked() || !Enabled()) return false;
  m_txtSpin.SetText(value);
  return true;
}

// -- Layout and look

void xpText::Layout() {
  if (m_laying || !hWnd()) return;
  m_laying = true;
  const auto font = m_txtSpin.GetFont();
  const xptext::Layout l = LayoutFor(Width(), font ? font->Size() : 8.0);
  // Moving the control resizes it, which runs the layout again: the guard keeps
  // that inner run out, and this one goes on with the new size.
  Move(Left(), Top(), l.width, l.height);
  m_shapeBorder.Move(0, 0, l.borderWidth, l.height);
  m_txtSpin.Move(l.textLeft, l.textTop, l.textWidth, l.textHeight);
  m_laying = false;
}

void xpText::SetBorderColour(bool enabled) {
  m_shapeBorder.SetBorderColor(enabled ? kBorderEnabled : kBorderDisabled);
}

void xpText::FollowFont() {
  if (const auto& font = m_txtSpin.GetFont()) {
    m_fontSubscription = font->Subscribe([this] { Layout(); });
  }
}

// -- Events from the host

void xpText::OnCreated() {
  UserControl::OnCreated();
  UserControl::SetBackColor(kWhite);
  RECT client{};
  GetClientRect(hWnd(), &client);
  if (m_shapeBorder.Create(hWnd(), client, u"ShapeBorder")) {
    m_shapeBorder.InitProperties();
    m_shapeBorder.SetBorderColor(kBorderEnabled);
    m_shapeBorder.SetVisible(true);
  }
  if (m_txtSpin.CreateBorderless(hWnd(), RECT{5, 4, 5, 4})) {
    m_txtSpin.InitProperties();
    m_txtSpin.SetBackColor(kWhite);
    m_txtSpin.SetText(kDesignText);
    m_txtSpin.SetVisible(true);
    // The text box lies above the border, which lets the mouse through to it.
    m_shapeBorder.ZOrder(1);
    m_txtSpin.Change = [this] {
      NotifyAccessibleValueChange();
      if (Change) Change();
    };
    // A reader hears the platform announce the text box, then the spin box it
    // belongs to.
    m_txtSpin.GotFocus = [this] { NotifyAccessibleFocus(); };
    m_txtSpin.KeyPress = [this](int& keyAscii) {
      if (KeyPress) KeyPress(keyAscii);
    };
    m_txtSpin.KeyDown = [this](int& keyCode, int) {
      if ((keyCode != VK_UP && keyCode != VK_DOWN) || m_txtSpin.Locked()) return;
      const int direction = keyCode == VK_UP ? 1 : -1;
      keyCode = 0;  // the step replaces the caret move
      Step(direction);
    };
    m_txtSpin.MouseWheel = [this](int& delta, int) {
      if (m_txtSpin.Locked()) return;
      Wheel(delta);
      delta = 0;
    };
    FollowFont();
  }
}

void xpText::OnInitProperties() {
  // A new control: white, no decimals, a large change of 1, a stored value of 0
  // and the container's font (TxtSpin took a copy of it when it was made).
  m_decimal = kDefaultDecimal;
  m_largeChange = kDefaultLargeChange;
  m_storedValue = kDefaultValue;
}

void xpText::OnReadProperties(const PropertyStore& p) {
  // Only the control's own state: the text box and the border keep theirs.
  Control::SetEnabled(p.ReadBool(u"Enabled", true));
  m_txtSpin.SetLocked(p.ReadBool(u"Locked", false));
  m_txtSpin.SetText(p.ReadText(u"Text", kDefaultText));
  m_decimal = p.ReadInt16(u"Decimal", kDefaultDecimal);
  m_largeChange = p.ReadDouble(u"LargeChange", kDefaultLargeChange);
  m_storedValue = p.ReadDouble(u"Value", kDefaultValue);
  if (const auto& font = m_txtSpin.GetFont()) {
    font->SetValue(p.ReadFont(u"Font", AmbientFontValue(Ambient())));
  }
  Layout();
}

void xpText::OnWriteProperties(PropertyStore& p) {
  p.Write(u"Enabled", Enabled(), true);
  p.Write(u"Locked", m_txtSpin.Locked(), false);
  p.Write(u"Text", std::u16string_view(m_txtSpin.Text()), kDefaultText);
  p.Write(u"Decimal", m_decimal, kDefaultDecimal);
  p.Write(u"LargeChange", m_largeChange, kDefaultLargeChange);
  p.Write(u"Value", m_storedValue, kDefaultValue);
  if (const auto& font = m_txtSpin.GetFont()) {
    p.Write(u"Font", font->Value(), AmbientFontValue(Ambient()));
  }
}

void xpText::OnResize() { Layout(); }

void xpText::OnTerminate() { m_fontSubscription.reset(); }

void RegisterxpText() {
  RegisterControlKind(u"xpText", [] { return std::make_unique<xpText>(); });
}

}  // namespace fw
