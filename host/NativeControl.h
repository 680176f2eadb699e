// The base of the standard controls that are the platform's own window classes
// (TextBox over EDIT, ComboBox over COMBOBOX, ListBox over LISTBOX). The host
// subclasses each window for its key, mouse and focus events (keys by reference:
// a handler that sets the key to 0 cancels it), gives it the shared font, and
// answers the container's reflected WM_CTLCOLOR* with its colours.
#pragma once

#include <windows.h>

#include <memory>

#include "host/Colour.h"
#include "host/Control.h"
#include "host/Font.h"
#include "host/Input.h"

namespace fw {

class NativeControl : public Control {
 public:
  ~NativeControl() override;

  Colour BackColor() const { return m_backColor; }
  void SetBackColor(Colour colour);
  std::optional<Colour> BackColorValue() const override { return BackColor(); }
  bool SetBackColorValue(Colour colour) override {
    SetBackColor(colour);
    return true;
  }
  Colour ForeColor() const { return m_foreColor; }
  void SetForeColor(Colour colour);
  const std::shared_ptr<Font>& GetFont() const { return m_font; }
  void SetFont(std::shared_ptr<Font> font);
  bool CanGetFocus() const override { return true; }

  EventHandler GotFocus;
  EventHandler LostFocus;
  KeyHandler KeyDown;
  KeyPressHandler KeyPress;
  KeyHandler KeyUp;
  MouseHandler MouseDown;
  MouseHandler MouseMove;
  MouseHandler MouseUp;
  WheelHandler MouseWheel;

 protected:
  NativeControl(std::u16string kind, Colour defaultBack);

  // Creates a window of a platform class and subclasses it.
  HWND MakeWindow(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent,
                  const RECT& pixels);
  // Subclasses a part of the control (the edit box inside a combo box) too.
  void SubclassPart(HWND part);
  // Reads and writes Font, BackColor, ForeColor and Enabled.
  void ReadCommon(const PropertyStore& props);
  void WriteCommon(PropertyStore& props);

  void OnCreated() override;
  // The platform's control draws the text: it takes the font at the new dpi.
  void ApplyDpi() override { ApplyFont(); }
  bool OnReflectedMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;
  // The reflected WM_COMMAND notification code; true when handled.
  virtual bool OnNotify(UINT code) { return false; }
  // The answer to WM_GETOBJECT on the control's own window: 0 leaves it to
  // the platform (its standard object for the window class).
  virtual LRESULT OnGetObject(WPARAM w, LPARAM l) { return 0; }

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR id,
                                       DWORD_PTR data);
  LRESULT PartProc(HWND part, UINT msg, WPARAM w, LPARAM l);
  void ApplyFont();

  Colour m_defaultBack;
  Colour m_backColor;
  Colour m_foreColor = SystemColour(COLOR_WINDOWTEXT);
  std::shared_ptr<Font> m_font;
  FontSubscription m_fontSubscription;
  unique_hfont m_hfont;
  unique_hbrush m_backBrush;
  std::vector<HWND> m_parts;
};

}  // namespace fw
