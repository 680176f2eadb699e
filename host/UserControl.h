// The user-control base: a child window with a persistent drawing surface and
// everything a control needs from its container. A control derives from it,
// draws on hDC() whenever its state changes, and overrides the events it cares
// about. See docs/host.md for the event orders.
//
// Surface: a 32-bit DIB the size of the client area. Every drawing goes there;
// WM_PAINT only copies the invalid rectangle out and WM_ERASEBKGND does nothing,
// so nothing flickers and a repaint never redraws what did not change. What is
// drawn shows after Refresh(), and after the host raised OnShow, OnResize or
// OnPaint. OnPaint is raised before the first copy of a new surface, after a
// resize, after a system colour or theme change, and after InvalidateSurface().
//
// Mouse: button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; x, y in
// pixels. A left press and release inside raise OnMouseDown, OnMouseUp, OnClick;
// a double click raises OnMouseDown, OnMouseUp, OnClick, OnDblClick, OnMouseUp (the
// second press gives no OnMouseDown). Right and middle buttons raise no click.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/Accessible.h"
#include "host/Colour.h"
#include "host/Control.h"
#include "host/Font.h"
#include "host/Gdi.h"
#include "host/Picture.h"
#include "host/Surface.h"

namespace fw {

// What the container tells a control about itself.
struct AmbientProperties {
  bool userMode = true;           // the program runs (false while a form is designed)
  bool displayAsDefault = false;  // the control is the button Enter presses
  std::u16string displayName;     // the control's name on the form
  Colour backColor = SystemColour(COLOR_BTNFACE);  // the container's back colour
  Colour foreColor = SystemColour(COLOR_BTNTEXT);  // the container's fore colour
  std::shared_ptr<Font> font;     // the container's font object
};

// MousePointer values.
enum MousePointerKind : int {
  kPointerDefault = 0, kPointerArrow = 1, kPointerCross = 2, kPointerIBeam = 3,
  kPointerIcon = 4, kPointerSize = 5, kPointerSizeNESW = 6, kPointerSizeNS = 7,
  kPointerSizeNWSE = 8, kPointerSizeWE = 9, kPointerUpArrow = 10, kPointerHourglass = 11,
  kPointerNoDrop = 12, kPointerArrowHourglass = 13, kPointerArrowQuestion = 14,
  kPointerSizeAll = 15, kPointerCustom = 99
};
// The system cursor of a MousePointer value (null for 0, 99 and unknown values).
LPCWSTR StandardCursorId(int mousePointer);

class UserControl : public Control {
 public:
  ~UserControl() override;

  // -- The drawing surface
  HDC hDC() const { return m_surface.Dc(); }
  const Surface& GetSurface() const { return m_surface; }
  int ScaleWidth() const { return m_surface.Width(); }
  int ScaleHeight() const { return m_surface.Height(); }
  // Clears the surface to BackColor, then shows the persistent background (if any)
  // at the top left.
  void Cls();
  // The persistent background (the platform's Picture of a user control): the
  // surface's current image is kept and every Cls, and every new BackColor, clears
  // back to it. ClearBackgroundPicture drops it, so Cls gives the bare back colour.
  void KeepImageAsBackground();
  void ClearBackgroundPicture();
  bool HasBackgroundPicture() const { return m_background != nullptr; }
  int TextWidth(std::u16string_view text) const;
  int TextHeight(std::u16string_view text) const;

  Colour BackColor() const { return m_backColor; }
  void SetBackColor(Colour colour);
  // A kind without a BackColor of its own draws from the surface's: it redraws
  // itself after the change.
  std::optional<Colour> BackColorValue() const override { return BackColor(); }
  bool SetBackColorValue(Colour colour) override {
    SetBackColor(colour);
    InvalidateSurface();
    return true;
  }
  Colour ForeColor() const { return m_foreColor; }
  // Also the surface's text colour.
  void SetForeColor(Colour colour);
  // The font object itself; the surface follows its changes.
  const std::shared_ptr<Font>& GetFont() const { return m_font; }
  void SetFont(std::shared_ptr<Font> font);
  bool FontTransparent() const { return m_fontTransparent; }
  void SetFontTransparent(bool transparent);
  // 1 .. 16, the platform's binary raster operations (13 copy pen, the default).
  int DrawMode() const { return m_drawMode; }
  void SetDrawMode(int mode);
  // A new pointer shows at once when the pointer is over the control, not only
  // from the next move.
  int MousePointer() const { return m_mousePointer; }
  void SetMousePointer(int pointer);
  const std::shared_ptr<Picture>& MouseIcon() const { return m_mouseIcon; }
  void SetMouseIcon(std::shared_ptr<Picture> icon);
  void SetEnabled(bool enabled) override;
  // The characters (any case) whose Alt+key raises OnAccessKeyPress.
  const std::u16string& AccessKeys() const { return m_accessKeys; }
  void SetAccessKeys(std::u16string keys);
  // A button-like control: Enter on it reaches OnKeyDown, and it may be the
  // form's default or cancel control.
  bool DefaultCancel() const { return m_defaultCancel; }
  void SetDefaultCancel(bool value) { m_defaultCancel = value; }
  bool CanGetFocus() const override { return m_canGetFocus; }
  void SetCanGetFocus(bool value);
  // Child controls may be placed in it (WS_EX_CONTROLPARENT: tab order enters it).
  bool IsContainer() const override { return m_container; }

  // -- The host
  AmbientProperties Ambient() const;
  // Tells the host a property changed (the form records it for saving).
  void PropertyChanged(std::u16string_view name);
  // The holding form's window, and whether that form is an MDI child.
  HWND ParentHwnd() const;
  bool IsMdiChild() const;
  double HiMetricToPixelsX(double himetric) const;
  double HiMetricToPixelsY(double himetric) const;
  // Processes the messages waiting in the queue, as a form's loop would.
  static void DoEvents();
  // The "{TAB}" and "+{TAB}" key sends: the focus moves to the next (previous)
  // tab stop once the current message is done.
  void SendTab(bool shift);
  // Copies the surface to the screen now (with the windowless controls lying on it).
  void Refresh();
  // Copies part of the surface at the next paint.
  void Invalidate(const RECT* rc = nullptr);
  // Asks for OnPaint before the next copy.
  void InvalidateSurface();

  // -- Assistive technology (host/Accessible.h)
  // The parts the control lists of its own; the windowless controls lying on it
  // follow them.
  int OwnAccessiblePartCount() const { return OnAccessiblePartCount(); }
  // The role the control reads as, over what its kind says (a picture box that
  // is a frame's sizing grip); 0: as its kind says.
  void SetAccessibleRole(long role) { m_accessibleRole = role; }
  // The name the control reads as, over what its kind says (a picture named by
  // what it shows before its tooltip is set); empty: as its kind says.
  void SetAccessibleName(std::u16string name) { m_accessibleName = std::move(name); }

 protected:
  UserControl(std::u16string kind, bool container = false);

  // -- Events from the host (override the ones you need)
  void OnInitProperties() override {}
  void OnReadProperties(const PropertyStore& props) override {}
  void OnWriteProperties(PropertyStore& props) override {}
  virtual void OnShow() {}
  virtual void OnHide() {}
  virtual void OnResize() {}
  virtual void OnPaint() {}
  void OnTerminate() override {}
  virtual void OnMouseDown(int button, int shift, float x, float y) {}
  virtual void OnMouseMove(int button, int shift, float x, float y) {}
  virtual void OnMouseUp(int button, int shift, float x, float y) {}
  virtual void OnClick() {}
  virtual void OnDblClick() {}
  virtual void OnKeyDown(int& keyCode, int shift) {}
  virtual void OnKeyPress(int& keyAscii) {}
  virtual void OnKeyUp(int& keyCode, int shift) {}
  virtual void OnGotFocus() {}
  virtual void OnLostFocus() {}
  virtual void OnAccessKeyPress(int keyAscii) {}
  virtual void OnAmbientChanged(std::u16string_view name) {}
  // The form moved to another dpi: the window already has its new size and the
  // surface its font at the new dpi. By default the control lays itself out
  // and draws anew (OnResize, then OnPaint before the next copy); a control
  // that keeps things made at the old dpi (its own fonts, pictures, regions)
  // makes them anew here.
  virtual void OnDpiChanged();
  // Any other message of the control's window; true when handled.
  virtual bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) { return false; }
  // The cursor over the client area, the one answer to WM_SETCURSOR: the one
  // MousePointer and MouseIcon name, null for the window class's own. A control
  // with a pointer of its own answers here.
  virtual HCURSOR PointerCursor() const;
  // While OnKeyDown runs: the key was already down (the platform's auto-repeat).
  bool KeyRepeating() const { return m_keyRepeating; }

  // -- What the control's window tells assistive technology. Every answer is
  // asked for when a tool reads it, so it follows the live properties.
  // The control itself: what is left unset keeps the platform's standard answer
  // (the name is the text set with SetWindowCaption).
  virtual void OnAccessibleSelf(AccessibleItem& self) const {}
  // Parts the control draws itself (a bar's panels, a frame's caption buttons),
  // numbered from 0, with their places on the screen.
  virtual int OnAccessiblePartCount() const { return 0; }
  virtual void OnAccessiblePart(int part, AccessibleItem& item) const {}
  // The default action of the control itself (part -1) or of a part; false
  // when it has none.
  virtual bool OnAccessibleDefaultAction(int part) { return false; }
  // Sets the value of the control itself (part -1) or of a part, as a tool
  // asks; false when it cannot be set.
  virtual bool OnAccessibleSetValue(int part, std::u16string_view value) { return false; }
  // The windows listed after the parts: the control's child windows unless it
  // says otherwise (a list the platform drops as a pop-up of its own).
  virtual void OnAccessibleChildWindows(std::vector<HWND>& windows) const {}
  // Tells assistive technology that the name, the value or the state of the
  // control (part -1) or of one of its own parts changed, or that a part took
  // the focus. The control's window taking the focus the platform tells itself
  // (SetFocus raises EVENT_OBJECT_FOCUS for it), so the host adds no second one.
  void NotifyAccessibleNameChange(int part) const;
  void NotifyAccessibleValueChange(int part = -1) const;
  void NotifyAccessibleStateChange(int part = -1) const;
  void NotifyAccessibleFocus(int part = -1) const;

  void OnCreated() override;
  void OnSited() override;
  void ApplyDpi() override;
  HWND CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) override;
  bool HasAccessKey(char16_t ch) const override;
  void PressAccessKey(char16_t ch) override;

 private:
  friend class Form;
  static bool RegisterWindowClass();
  static LRESULT CALLBACK WndProcThunk(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l);

  // -- Message handlers
  LRESULT OnWmSize(WPARAM w, LPARAM l);
  LRESULT OnWmPaint(WPARAM w, LPARAM l);
  LRESULT OnWmPrintClient(WPARAM w, LPARAM l);
  LRESULT OnWmSetCursor(WPARAM w, LPARAM l);
  LRESULT OnWmButtonDown(UINT msg, WPARAM w, LPARAM l);
  LRESULT OnWmButtonUp(UINT msg, WPARAM w, LPARAM l);
  LRESULT OnWmLButtonDblClk(WPARAM w, LPARAM l);
  LRESULT OnWmMouseMove(WPARAM w, LPARAM l);
  LRESULT OnWmCaptureChanged(WPARAM w, LPARAM l);
  LRESULT OnWmKeyDown(UINT msg, WPARAM w, LPARAM l);
  LRESULT OnWmKeyUp(UINT msg, WPARAM w, LPARAM l);
  LRESULT OnWmChar(WPARAM w, LPARAM l);
  LRESULT OnWmGetDlgCode(WPARAM w, LPARAM l);
  LRESULT OnWmSetFocus(WPARAM w, LPARAM l);
  LRESULT OnWmKillFocus(WPARAM w, LPARAM l);
  LRESULT OnWmSystemChange(UINT msg, WPARAM w, LPARAM l);
  LRESULT OnWmShowWindow(WPARAM w, LPARAM l);
  LRESULT OnWmGetObject(WPARAM w, LPARAM l);

  // Called by the form.
  static void RaiseShowBelow(HWND parent, bool shown);
  void RaiseShow();
  void RaiseHide();
  void RaiseAmbientChanged(std::u16string_view name);
  void ApplyFont();
  void ApplyTextColour();
  // The custom cursor made anew from MouseIcon, and shown if the pointer is here.
  void ApplyPointer();
  void ShowBackgroundPicture();

  class Accessibility;
  Surface m_surface;
  std::unique_ptr<Accessibility> m_accessibility;  // made when a tool first asks
  std::unique_ptr<Surface> m_background;  // the persistent background, or none
  Colour m_backColor = SystemColour(COLOR_BTNFACE);
  Colour m_foreColor = SystemColour(COLOR_BTNTEXT);
  std::shared_ptr<Font> m_font;
  unique_hfont m_hfont;
  FontSubscription m_fontSubscription;
  bool m_fontTransparent = true;
  int m_drawMode = R2_COPYPEN;
  int m_mousePointer = kPointerDefault;
  std::shared_ptr<Picture> m_mouseIcon;
  unique_hcursor m_customCursor;
  std::u16string m_accessKeys;
  bool m_defaultCancel = false;
  bool m_canGetFocus = true;
  bool m_container = false;
  bool m_sited = false;         // properties read: resizes now raise OnResize
  bool m_surfaceStale = true;   // OnPaint due before the next copy
  bool m_shown = false;
  int m_buttonsDown = 0;        // buttons pressed on the control, not yet released
  bool m_afterDblClick = false; // the left release ending a double click gives no OnClick
  bool m_keyRepeating = false;  // the key-down being handled repeats a held key
  long m_accessibleRole = 0;    // 0: as OnAccessibleSelf says
  std::u16string m_accessibleName;  // empty: as OnAccessibleSelf says
};

}  // namespace fw
