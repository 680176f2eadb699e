// A form: a top-level window laid out in twips that holds controls, built from a
// design file or in code. Load builds it hidden, Show shows it, ShowModal runs a
// nested message loop over a disabled owner until Unload. Keyboard navigation is
// the platform dialog manager's (IsDialogMessage: Tab, Shift+Tab, arrows), plus
// access keys, and Enter and Escape for the default and cancel controls.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/Colour.h"
#include "host/Control.h"
#include "host/DesignFile.h"
#include "host/Font.h"
#include "host/Picture.h"

namespace fw {

class Timer;
class UserControl;
struct AccessibleItem;

class Form {
 public:
  Form();
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // -- Building
  // Builds the window (hidden) and its controls from a design: the form's own
  // properties (Caption, ClientWidth, ClientHeight in twips, Icon = res:NAME,
  // BorderStyle, BackColor, Font, Moveable, StartUpPosition ...), then one control
  // per child block, of the kind registered under the block's kind, at its Left,
  // Top, Width and Height (twips, relative to its container), reading its
  // properties; nested blocks go into their container. Then raises OnLoad.
  // A block of an unknown kind is skipped (and listed in BuildErrors), and so is
  // a saved value a control cannot use (listed with its line; the control keeps
  // its default).
  bool Load(const DesignNode& design);
  // The same from a design compiled into the module as a resource of type DESIGN
  // (or RCDATA), UTF-8.
  bool LoadFromResource(std::u16string_view name, HINSTANCE module = nullptr);
  // An empty form built in code; controls are then added with Add.
  bool Create(int32_t clientWidthTwips, int32_t clientHeightTwips, std::u16string caption = {});
  // Places a new control of a registered kind (InitProperties) or reads it from
  // `props` when given. `container` null: on the form.
  Control* Add(std::u16string_view kind, std::u16string name, Control* container, int32_t left,
               int32_t top, int32_t width, int32_t height, std::optional<int32_t> index = {},
               const PropertyStore* props = nullptr);
  template <typename T>
  T* Add(std::u16string name, Control* container, int32_t left, int32_t top, int32_t width,
         int32_t height, std::optional<int32_t> index = {}, const PropertyStore* props = nullptr) {
    return AddControl<T>(std::make_unique<T>(), std::move(name), container, left, top, width,
                         height, index, props);
  }
  // Writes the form and its controls back as a design.
  DesignNode SaveDesign();
  // What Load could not use: the kind and name of each block it could not
  // build, and each saved value of the wrong kind or range, as
  // "<design> line <n>: <control> property <name> = <value>: expected <what>;
  // the default is kept" (the design is the resource's name, or the window's),
  // and each value under a name neither the form nor the control asked for, as
  // "... property <name> = <value>: no such property (did you mean <nearest>?);
  // the value is ignored".
  const std::vector<std::u16string>& BuildErrors() const { return m_buildErrors; }

  // -- Showing
  void Show();
  // Shows the form over `owner` (may be null) and runs a message loop until the
  // form is unloaded or hidden; the owner is disabled meanwhile and enabled again
  // before the form goes away. Its timers, and every other window's, keep running.
  void ShowModal(Form* owner);
  void Hide();
  // Raises OnQueryUnload (which may cancel) and OnUnload, destroys the controls
  // and the window, and ends a modal show. False when cancelled.
  bool Unload();
  bool IsLoaded() const { return m_hwnd != nullptr; }
  bool IsModal() const { return m_modalDepth > 0; }
  bool Visible() const { return m_hwnd && IsWindowVisible(m_hwnd); }

  // -- Properties
  HWND hWnd() const { return m_hwnd; }
  // The dpi the form is shown at: its window's when it was made, then each
  // WM_DPICHANGED's. Every control on it draws at this dpi.
  int Dpi() const { return m_dpi; }
  // Twips <-> pixels at the form's dpi (the names of the screen-wide ones, so
  // the form's own code follows its dpi; see Control).
  int TwipsToPixelsX(int32_t twips) const;
  int TwipsToPixelsY(int32_t twips) const;
  int32_t PixelsToTwipsX(int pixels) const;
  int32_t PixelsToTwipsY(int pixels) const;
  // The form's tooltip window, which shows every control's ToolTipText in the
  // form's font.
  HWND ToolTipHwnd() const { return m_toolTip; }
  const std::u16string& Name() const { return m_name; }
  std::u16string Caption() const;
  void SetCaption(std::u16string_view caption);
  const std::shared_ptr<Picture>& Icon() const { return m_icon; }
  void SetIcon(std::shared_ptr<Picture> icon);
  // 0 none (a bare popup; the skinned frame draws its own), 1 fixed single,
  // 2 sizable, 3 fixed dialog, 4 fixed tool window, 5 sizable tool window.
  int32_t BorderStyle() const { return m_borderStyle; }
  void SetBorderStyle(int32_t style);
  // The maximise and minimise boxes. Unset, each border style keeps its own
  // (style 2 both, styles 0 and 1 the minimise box only); set, they are applied
  // to whichever border style the form has. A frame drawing its own caption
  // buttons uses them to tell the platform which states the window may take.
  bool MaxButton() const;
  void SetMaxButton(bool on);
  bool MinButton() const;
  void SetMinButton(bool on);
  // 0 normal, 1 minimised, 2 maximised: the platform's state of the window. Set
  // while the form is hidden, it is taken when the form is shown.
  int32_t WindowState() const;
  void SetWindowState(int32_t state);
  // The pointer over the form's own client area (MousePointer values of
  // UserControl.h; 0 leaves it to the platform).
  int MousePointer() const { return m_mousePointer; }
  void SetMousePointer(int pointer) { m_mousePointer = pointer; }
  // Repaints the form and every control on it now.
  void Refresh();
  bool Moveable() const { return m_moveable; }
  void SetMoveable(bool moveable) { m_moveable = moveable; }
  bool ShowInTaskbar() const { return m_showInTaskbar; }
  void SetShowInTaskbar(bool show);
  Colour BackColor() const { return m_backColor; }
  void SetBackColor(Colour colour);
  Colour ForeColor() const { return m_foreColor; }
  void SetForeColor(Colour colour);
  const std::shared_ptr<Font>& GetFont() const { return m_font; }
  void SetFont(std::shared_ptr<Font> font);
  // Client area, twips.
  int32_t ScaleWidth() const;
  int32_t ScaleHeight() const;
  void SetClientSize(int32_t widthTwips, int32_t heightTwips);
  // Outer rectangle, twips, screen coordinates.
  int32_t Left() const;
  int32_t Top() const;
  int32_t Width() const;
  int32_t Height() const;
  void Move(int32_t left, int32_t top, std::optional<int32_t> width = {},
            std::optional<int32_t> height = {});
  // 0 manual, 1 centre over the owner, 2 centre on the screen, 3 system default.
  int32_t StartUpPosition() const { return m_startUpPosition; }
  void SetStartUpPosition(int32_t pos) { m_startUpPosition = pos; }
  // False while a form is designed; controls read it as ambient UserMode.
  bool UserMode() const { return m_userMode; }
  void SetUserMode(bool userMode);

  // -- Controls
  const std::vector<std::unique_ptr<Control>>& Controls() const { return m_controls; }
  Control* Find(std::u16string_view name, std::optional<int32_t> index = {}) const;
  template <typename T>
  T* Get(std::u16string_view name, std::optional<int32_t> index = {}) const {
    return dynamic_cast<T*>(Find(name, index));
  }
  // The members of a control array, by index order.
  std::vector<Control*> Array(std::u16string_view name) const;
  // Binds one handler to every member of an array: `bind(control, index)` sets the
  // member's callbacks, capturing its index, so the array's events carry it.
  template <typename T>
  void BindArray(std::u16string_view name, const std::function<void(T&, int32_t)>& bind) const {
    for (Control* c : Array(name)) {
      if (T* t = dynamic_cast<T*>(c)) bind(*t, c->Index().value_or(0));
    }
  }
  // Enter presses the default control, Escape the cancel control.
  Control* DefaultControl() const { return m_default; }
  void SetDefaultControl(Control* control);
  Control* CancelControl() const { return m_cancel; }
  void SetCancelControl(Control* control) { m_cancel = control; }
  // The visible, enabled tab stop with the next higher TabIndex (wrapping round).
  Control* NextInTabOrder(const Control& from) const;
  // The control that has (or had last) the focus.
  Control* ActiveControl() const;

  // -- Property-change record (what a design tool would mark as changed)
  struct PropertyChange {
    std::u16string control;  // qualified name
    std::u16string property;
  };
  const std::vector<PropertyChange>& ChangedProperties() const { return m_changes; }
  void ClearChangedProperties() { m_changes.clear(); }
  std::function<void(Control&, std::u16string_view)> PropertyChangedHook;

  // -- Message loop
  // Dialog keyboard handling for the form owning `msg.hwnd`: access keys, Enter
  // and Escape, then IsDialogMessage. True when the message was used (do not
  // translate or dispatch it).
  static bool PreTranslateMessage(MSG& msg);
  // Runs the thread's message loop until WM_QUIT; returns its exit code.
  static int RunMessageLoop();

  static Form* FromHwnd(HWND hwnd);

 protected:
  // -- Events
  virtual void OnLoad() {}
  virtual void OnQueryUnload(bool& cancel) {}
  virtual void OnUnload() {}
  virtual void OnActivate() {}
  virtual void OnDeactivate() {}
  virtual void OnResize() {}
  // The form and every control on it were laid out again at a new dpi.
  virtual void OnDpiChanged() {}
  // Any other message of the form's window; true when handled.
  virtual bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) { return false; }
  // What assistive technology reads of the form's client area itself (a
  // dialog's role, its description); what is left unset keeps the platform's
  // answer (the name is the caption). Asked each time a tool reads it.
  virtual void OnAccessibleSelf(AccessibleItem& self) const {}

 private:
  friend class Control;
  friend class GraphicControl;
  friend class NativeControl;
  friend class UserControl;
  friend class Timer;

  template <typename T>
  T* AddControl(std::unique_ptr<T> control, std::u16string name, Control* container, int32_t left,
                int32_t top, int32_t width, int32_t height, std::optional<int32_t> index,
                const PropertyStore* props) {
    T* raw = control.get();
    return PlaceControl(std::move(control), std::move(name), container, left, top, width, height,
                        index, props)
               ? raw
               : nullptr;
  }
  bool PlaceControl(std::unique_ptr<Control> control, std::u16string name, Control* container,
                    int32_t left, int32_t top, int32_t width, int32_t height,
                    std::optional<int32_t> index, const PropertyStore* props);
  bool CreateWindowFor(const PropertyStore& props, std::u16string caption);
  void ReadFormProperties(const PropertyStore& props);
  void BuildChildren(const DesignNode& node, Control* container);
  bool BuildFromDesign(const DesignNode& design, std::u16string source);
  // Lists the values the reads of `props` refused as build errors.
  void ReportRefusals(const PropertyStore& props, std::u16string_view control);
  // The stored values whose names the form or the control never asked for.
  void ReportUnknownNames(const PropertyStore& props, std::u16string_view control);
  void SaveChildren(DesignNode& parent, Control* container);
  void UpdateDisplayedDefault();
  void SortTabOrder();
  void ShowControls();
  void DockAligned();
  void PositionAtStart(HWND owner);
  bool TranslateKeys(MSG& msg);
  Control* FindAccessKeyTarget(char16_t ch) const;
  // The control drawn as the default button: the focused button-like control, or
  // else the form's default control.
  Control* DisplayAsDefaultControl() const;
  void FocusChanged(HWND focus);
  void QueueTab(bool shift);
  // The control's tooltip follows its text (and a windowless control's place).
  void UpdateToolTip(Control& control);
  void FontChanged();
  void ApplyToolTipFont();
  void RemoveToolTip(Control& control);
  HWND ToolTipWindow();
  void NotifyAmbient(Control* container, std::u16string_view name);
  void RecordChange(Control& control, std::u16string_view property);
  UINT_PTR StartTimer(Timer* timer, UINT interval);
  void StopTimer(UINT_PTR id);
  void DestroyControls();

  static bool RegisterWindowClass();
  static LRESULT CALLBACK WndProcThunk(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l);

  // -- Message handlers
  LRESULT OnWmClose(WPARAM w, LPARAM l);
  LRESULT OnWmActivate(WPARAM w, LPARAM l);
  LRESULT OnWmEraseBkgnd(WPARAM w, LPARAM l);
  LRESULT OnWmPaint(WPARAM w, LPARAM l);
  LRESULT OnWmGetObject(WPARAM w, LPARAM l);
  LRESULT OnWmPrintClient(WPARAM w, LPARAM l);
  LRESULT OnWmSize(WPARAM w, LPARAM l);
  LRESULT OnWmTimer(WPARAM w, LPARAM l);
  LRESULT OnWmSysCommand(WPARAM w, LPARAM l);
  LRESULT OnWmSetCursor(WPARAM w, LPARAM l);
  void ApplyBorderStyle();
  LRESULT OnWmSendTab(WPARAM w, LPARAM l);
  LRESULT OnWmSystemChange(UINT msg, WPARAM w, LPARAM l);
  LRESULT OnWmDpiChanged(WPARAM w, LPARAM l);

  class Accessibility;
  std::unique_ptr<Accessibility> m_accessibility;  // made when a tool first asks
  HWND m_hwnd = nullptr;
  std::u16string m_name;
  std::shared_ptr<Picture> m_icon;
  int32_t m_borderStyle = 2;
  int m_dpi = 96;
  std::optional<bool> m_maxButton;
  std::optional<bool> m_minButton;
  int32_t m_pendingWindowState = 0;  // taken by the next Show
  int m_mousePointer = 0;
  bool m_moveable = true;
  bool m_showInTaskbar = true;
  Colour m_backColor = SystemColour(COLOR_BTNFACE);
  Colour m_foreColor = SystemColour(COLOR_BTNTEXT);
  std::shared_ptr<Font> m_font;
  FontSubscription m_fontSubscription;
  int32_t m_clientWidth = 0;   // twips
  int32_t m_clientHeight = 0;  // twips
  int32_t m_startUpPosition = 3;
  bool m_userMode = true;
  std::vector<std::unique_ptr<Control>> m_controls;
  Control* m_default = nullptr;
  Control* m_cancel = nullptr;
  HWND m_lastFocus = nullptr;
  Control* m_displayedDefault = nullptr;
  HWND m_toolTip = nullptr;
  unique_hfont m_toolTipFont;  // what m_toolTip draws with
  // Controls of an unloaded form wait here until the next build or the form's end:
  // Unload may run inside one of their own event handlers.
  std::vector<std::unique_ptr<Control>> m_unloaded;
  std::vector<PropertyChange> m_changes;
  std::vector<std::u16string> m_buildErrors;
  std::u16string m_designSource;  // names the design in build errors
  std::map<UINT_PTR, Timer*> m_timers;
  UINT_PTR m_nextTimerId = 1;
  int m_modalDepth = 0;
  bool m_modalEnded = false;
  HWND m_modalOwner = nullptr;
  bool m_unloading = false;
};

// -- The kinds a design file may name
using ControlCreator = std::function<std::unique_ptr<Control>()>;
// Registers `kind` (matched without regard to ASCII case). A later registration
// of the same kind replaces the earlier one.
void RegisterControlKind(std::u16string_view kind, ControlCreator creator);
std::unique_ptr<Control> CreateControl(std::u16string_view kind);
bool IsControlKindRegistered(std::u16string_view kind);
// The standard kinds: Label, TextBox, ComboBox, ListBox, PictureBox, Image, Line,
// Shape, Timer. Called by Form on first use; safe to call again.
void RegisterStandardControls();

// Loads a design compiled into `module` (type DESIGN, else RCDATA) and parses it.
DesignParseResult LoadDesignResource(std::u16string_view name, HINSTANCE module = nullptr);

}  // namespace fw
