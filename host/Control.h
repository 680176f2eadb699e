// What a form knows of every control it holds, whatever its kind: its name and
// array index, its container, its place in twips, visibility, tab order and the
// other extender settings the form keeps for it. User controls (UserControl.h)
// and the standard child controls derive from it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/Colour.h"
#include "host/PropertyStore.h"

namespace fw {

class Form;
class Label;

class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  // -- Identity
  const std::u16string& Kind() const { return m_kind; }
  const std::u16string& Name() const { return m_name; }
  std::optional<int32_t> Index() const { return m_index; }
  // "labPrice(3)" for a member of an array, else the name.
  std::u16string QualifiedName() const;
  // The control's own window; null for a control without one (a timer; labels,
  // images, lines and shapes, which their container draws).
  HWND hWnd() const { return m_hwnd; }
  // The window the control sits in (the form's or its container's).
  HWND ContainerHwnd() const { return m_parentHwnd; }
  // The container control, or null when the control sits on the form itself.
  Control* Container() const;
  // The form holding the control (through any containers), or null.
  Form* ParentForm() const;
  // The dpi the control is drawn at: its form's (the screen's before it has one).
  int Dpi() const;
  // What is `pixels` at 96 dpi, at the control's dpi (ScaleToDpi): every pixel
  // quantity of a control's drawing and layout goes through it, so the 96-dpi
  // numbers stay in the code as designed.
  int Scaled(int pixels) const;
  // Twips <-> pixels at the control's dpi. They carry the names of the
  // screen-wide conversions on purpose: inside a control (and a form) the
  // unqualified names find these, so every place and size a control computes
  // follows its form's dpi, also after the form moved to another scale.
  int TwipsToPixelsX(int32_t twips) const;
  int TwipsToPixelsY(int32_t twips) const;
  int32_t PixelsToTwipsX(int pixels) const;
  int32_t PixelsToTwipsY(int pixels) const;
  double TwipsPerPixelX() const;
  double TwipsPerPixelY() const;

  // The name a field takes from the label placed just before it in its
  // container, as dialogs name their fields (FieldNameFromLabel); none when the
  // control before it is not a label.
  std::optional<std::u16string> FieldLabel() const;
  // That label itself (its access key is the field's), or null.
  const Label* LabelBefore() const;

  // The window's text, as WM_GETTEXT answers it. A user control that shows a
  // caption sets it here too, so assistive tools and automation can read it.
  std::u16string WindowCaption() const;
  void SetWindowCaption(std::u16string_view text);

  // -- Building
  // Creates the window as a child of `parent` at `pixels` (client coordinates of
  // the parent), hidden; Show makes it visible. `name` and `index` identify it.
  bool Create(HWND parent, const RECT& pixels, std::u16string name = {},
              std::optional<int32_t> index = {});
  // A newly placed control takes its defaults; a built one reads its saved
  // properties; saving writes them. Each raises the matching event.
  void InitProperties();
  void ReadProperties(const PropertyStore& props);
  void WriteProperties(PropertyStore& props);
  // Raises OnTerminate and destroys the window (its children go with it).
  virtual void Destroy();
  // Moves the control's window into another window at run time (a control that
  // shows it inside one of its parts: the status bar's bound controls). The
  // control then lives there: Container(), the ambient values, the position in
  // twips (now relative to `parent`) and saving all follow. False when the
  // control is not placed or `parent` is not a window.
  virtual bool MoveToContainer(HWND parent);

  virtual bool IsContainer() const { return false; }
  // Takes the focus when clicked or tabbed to.
  virtual bool CanGetFocus() const { return false; }

  // The background colour of any kind that has one, for a container that
  // recolours everything it holds (the skinned frame's ChangeAllBackgrounds):
  // empty for a kind without one. Setting it is the kind's own BackColor write,
  // redraw included; false when the kind has none.
  virtual std::optional<Colour> BackColorValue() const { return std::nullopt; }
  virtual bool SetBackColorValue(Colour colour) { return false; }

  // -- Extender: position and size in twips, relative to the container's client area
  int32_t Left() const { return m_left; }
  int32_t Top() const { return m_top; }
  int32_t Width() const { return m_width; }
  int32_t Height() const { return m_height; }
  void Move(int32_t left, int32_t top, int32_t width, int32_t height);
  void SetLeft(int32_t twips) { Move(twips, m_top, m_width, m_height); }
  void SetTop(int32_t twips) { Move(m_left, twips, m_width, m_height); }
  void SetWidth(int32_t twips) { Move(m_left, m_top, twips, m_height); }
  void SetHeight(int32_t twips) { Move(m_left, m_top, m_width, twips); }
  // The window's rectangle in the container's client area, in pixels.
  RECT PixelRect() const;

  bool Visible() const { return m_visible; }
  virtual void SetVisible(bool visible);
  bool Enabled() const { return m_enabled; }
  virtual void SetEnabled(bool enabled);
  int32_t TabIndex() const { return m_tabIndex; }
  void SetTabIndex(int32_t index);
  bool TabStop() const { return m_tabStop; }
  void SetTabStop(bool stop);
  const std::u16string& Tag() const { return m_tag; }
  void SetTag(std::u16string tag) { m_tag = std::move(tag); }
  // 0 none, 1 top, 2 bottom, 3 left, 4 right: docked to that edge of the form.
  int32_t Align() const { return m_align; }
  void SetAlign(int32_t align);
  const std::u16string& ToolTipText() const { return m_toolTip; }
  void SetToolTipText(std::u16string text);
  void SetFocus();
  // 0 brings the control to the front of its siblings (and the start of the tab
  // order), 1 sends it to the back. The windowless controls always lie below the
  // controls with windows, as the container draws them on its own surface.
  virtual void ZOrder(int position = 0);

  // -- Keyboard routing (the form's dialog handling)
  // True when `ch` (lower-cased) is one of the control's access keys.
  virtual bool HasAccessKey(char16_t ch) const { return false; }
  // The access key was pressed, or Enter/Escape for a default/cancel control.
  virtual void PressAccessKey(char16_t ch) {}

  // The control whose window is `hwnd`, or null.
  static Control* FromHwnd(HWND hwnd);

 protected:
  explicit Control(std::u16string kind);

  // Settings that decide the window's class styles (an EDIT's multi-line state,
  // a COMBOBOX's style): read from the saved properties before the window is made.
  virtual void OnBeforeCreate(const PropertyStore& props) {}
  // Makes the control's window (hidden, a child of `parent`); a windowless control
  // returns null and sets `windowless`.
  virtual HWND CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) = 0;
  // The window now exists and belongs to this object.
  virtual void OnCreated() {}
  virtual void OnInitProperties() {}
  virtual void OnReadProperties(const PropertyStore& props) {}
  virtual void OnWriteProperties(PropertyStore& props) {}
  virtual void OnTerminate() {}
  // The properties are in (after OnInitProperties or OnReadProperties).
  virtual void OnSited() {}
  // After the extender moved or resized the window.
  virtual void OnMoved() {}
  // The form's dpi changed and the control's window already has its new place:
  // whatever the control made at the old dpi (fonts, a windowless control's
  // place and pen) is made anew.
  virtual void ApplyDpi() {}

  // Messages a container reflects back to the child that sent them: WM_COMMAND,
  // WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM. True when handled.
  virtual bool OnReflectedMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) { return false; }

  // A host window procedure learns its window at WM_NCCREATE, before Create returns.
  void AttachHwnd(HWND hwnd) { m_hwnd = hwnd; }
  // A windowless control moved into another window.
  void SetContainerHwnd(HWND parent) { m_parentHwnd = parent; }
  // Destroys the window without telling this object (its derived part is being
  // destroyed); a host window procedure stops forwarding to it first.
  void DestroyDetached();
  // The window is gone (WM_NCDESTROY): raises OnTerminate if Destroy did not.
  void WindowDestroyed();
  void Terminate();
  bool Terminated() const { return m_terminated; }

 private:
  friend class Form;
  friend class UserControl;
  friend bool ReflectToChild(HWND parent, UINT msg, WPARAM w, LPARAM l, LRESULT& result);

  void ApplyWindowRect();

  std::u16string m_kind;
  std::u16string m_name;
  std::optional<int32_t> m_index;
  HWND m_hwnd = nullptr;
  HWND m_parentHwnd = nullptr;
  Form* m_form = nullptr;
  int32_t m_left = 0;
  int32_t m_top = 0;
  int32_t m_width = 0;
  int32_t m_height = 0;
  bool m_visible = true;
  bool m_enabled = true;
  bool m_tabStop = true;
  bool m_terminated = false;
  int32_t m_tabIndex = 0;
  int32_t m_align = 0;
  std::u16string m_tag;
  std::u16string m_toolTip;
};

// The container side of reflection: hands a child's notification back to the
// child's control object. Form and UserControl call it from their procedures.
bool ReflectToChild(HWND parent, UINT msg, WPARAM w, LPARAM l, LRESULT& result);

// Tells every descendant window of `hwnd` that system colours, the theme or the
// settings changed (top-level windows get these messages; children do not).
void ForwardSystemChange(HWND hwnd, UINT msg, WPARAM w, LPARAM l);

// Twips <-> pixels at the screen's resolution (a control's and a form's own
// conversions follow their dpi instead).
int TwipsToPixelsX(int32_t twips);
int TwipsToPixelsY(int32_t twips);
int32_t PixelsToTwipsX(int pixels);
int32_t PixelsToTwipsY(int pixels);
// 1440 / dpi, as a fraction (15 at 96 dpi).
double TwipsPerPixelX();
double TwipsPerPixelY();

}  // namespace fw
