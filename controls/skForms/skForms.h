// skForms: the skinned frame. Placed once at the top of a form, at run time it
// takes over the form's look: the form loses its own border and caption, the
// frame stretches over the form's client area and draws its own title bar (in
// six styles and six colour themes, faded while the form is inactive), icon,
// caption, border and caption buttons, and carries out what the buttons ask. It
// has its own system menu (to which the program may add items), maximises by
// covering the work area and comes back to a remembered rectangle, lets the
// user drag the form by the title and size it with two grips along the right
// and bottom edges, and keeps the controls it holds under its top area.
//
// It watches its own window (the pointer leaving it) and the host form
// (activation, system colours, the system close command, set-cursor, size)
// through the guarded hook, after the form's own procedure, except the close
// command, which must be stopped before the form's procedure closes the window.
//
// Every procedure keeps its own failures: they are traced for the developer
// (host/Failure.h), nothing is shown, and the frame carries on.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "controls/skForms/skFormsLayout.h"
#include "controls/skForms/skFormsModel.h"
#include "controls/skForms/skFormsPaint.h"
#include "hook/GuardedHook.h"
#include "hook/MouseLeave.h"
#include "host/Input.h"
#include "host/PopupMenu.h"
#include "host/UserControl.h"

namespace fw {

class Form;
class PictureBox;

class skForms : public UserControl {
 public:
  // Tests (and the picture gallery) read the run-time state through it.
  friend struct skFormsTestAccess;
  skForms();
  ~skForms() override;

  // -- Properties (each write marks the property changed and redraws)
  // skforms::ThemeColorValue: 0 .. 4 built-in, 5 custom, 6 the system's.
  int32_t ThemeColor() const { return m_settings.themeColor; }
  void SetThemeColor(int32_t value);
  // 0 .. 5: the title bar's look.
  int32_t Style() const { return m_settings.style; }
  void SetStyle(int32_t value);
  // skforms::BackColorStyleValue.
  int32_t BackColorStyle() const { return m_settings.backColorStyle; }
  void SetBackColorStyle(int32_t value);
  bool MaxButton() const { return m_settings.maxButton; }
  void SetMaxButton(bool value);
  bool MinButton() const { return m_settings.minButton; }
  void SetMinButton(bool value);
  bool CloseButton() const { return m_settings.closeButton; }
  void SetCloseButton(bool value);
  // skforms::WindowStateValue: 0 normal, 1 minimised, 2 maximised.
  int32_t WindowState() const { return m_settings.windowState; }
  void SetWindowState(int32_t value);
  bool ChangeAllBackgrounds() const { return m_settings.changeAllBackgrounds; }
  void SetChangeAllBackgrounds(bool value);
  // skforms::BorderStyleValue: 0 fixed, 1 sizable.
  int32_t BorderStyle() const { return m_settings.borderStyle; }
  void SetBorderStyle(int32_t value);
  Colour CustomBackColor() const { return m_settings.customBackColor; }
  void SetCustomBackColor(Colour value);
  Colour ColorFrom() const { return m_settings.colorFrom; }
  void SetColorFrom(Colour value);
  Colour ColorTo() const { return m_settings.colorTo; }
  void SetColorTo(Colour value);
  int16_t IconSize() const { return m_settings.iconSize; }
  void SetIconSize(int16_t value);
  bool TitleBarShadow() const { return m_settings.titleBarShadow; }
  void SetTitleBarShadow(bool value);

  // -- Methods
  // Redraws the static parts and lays the frame out again; with `force` (or
  // ChangeAllBackgrounds) the background colour is set from BackColorStyle first.
  void Refresh(bool force = false);
  // Recomputes the theme pair and the pair drawn with.
  void SetThemeColor();
  // The pair the platform's visual style gives (ThemeColor 6).
  void GetGradientColor(HWND hwnd);
  // A system colour's current value, a plain colour itself, or -1.
  static int32_t TranslateColor(Colour colour);
  // Per channel alpha/255 of a and the rest of b, rounded half to even.
  static uint32_t BlendColors(uint32_t a, uint32_t b, int alpha) {
    return skforms::BlendColors(a, b, alpha);
  }

  // -- The system menu: items 0 .. 8 are the frame's own (restore, move, size,
  // minimise, maximise, a separator, close, a separator, always on top); a
  // program's items follow from 9.
  // Appends an item; with `addSeparator` a separator goes first.
  void FormMenuAdd(std::u16string_view caption, bool addSeparator = false, bool enabled = true,
                   bool checked = false, bool visible = true);
  // An added item (index above 8): a non-empty caption, then the three flags.
  void ModifyAddedMenu(int16_t index, std::u16string_view caption, bool enabled, bool checked,
                       bool visible);
  // 1 lets the icon and a right click on the title pop the menu up; anything else
  // stops it.
  void FormMenuShow(int16_t flag);
  // Unloads an added item (index above 8), and a separator left last before it.
  void FormMenuRemove(int index);
  // 0 caption, 1 enabled, 2 checked, 3 visible; empty for any other number or a
  // missing item.
  using MenuValue = std::variant<std::monostate, std::u16string, bool>;
  MenuValue GetMenuItemValue(int index, int property) const;
  // A fixed item's caption (0 .. 4, 6, 8); close and minimise also give their
  // buttons' tooltips. An empty caption changes nothing.
  void SetskFormsMenuCaption(int index, std::u16string_view caption);
  // Into or out of the topmost band; item 8's check mark follows.
  void SetAlwaysOnTop(bool flag);

  // -- Events, in their order
  EventHandler Click;
  EventHandler DblClick;
  MouseHandler MouseDown;
  MouseHandler MouseMove;
  MouseHandler MouseUp;
  EventHandler skCloseClick;
  EventHandler ReSize;
  // An added item (index 9 and above) was chosen.
  std::function<void(int16_t index, const std::u16string& caption)> MenuItemSelected;

 protected:
  // -- Events from the host
  void OnCreated() override;
  void OnInitProperties() override;
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  void OnResize() override;
  void OnDpiChanged() override;
  void OnTerminate() override;
  void OnMouseDown(int button, int shift, float x, float y) override;
  void OnMouseMove(int button, int shift, float x, float y) override;
  void OnMouseUp(int button, int shift, float x, float y) override;
  void OnClick() override;
  void OnDblClick() override;
  void OnKeyDown(int& keyCode, int shift) override;
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

  // -- Assistive technology: part 0 the title bar (named by the caption), then
  // the visible caption buttons left to right, named as the menu names their
  // commands; a button's default action is its click.
  int OnAccessiblePartCount() const override;
  void OnAccessiblePart(int part, AccessibleItem& item) const override;
  bool OnAccessibleDefaultAction(int part) override;

 private:
  // The host's place in the normal state: left, top, width, height (twips).
  struct RestoreRect {
    int32_t left = 0, top = 0, width = 0, height = 0;
  };
  // The visual-style queries (open "ExplorerBar", theme and colour names, whether
  // the application is themed). Tests put their own answers in; an empty query
  // restores the platform's. Returns the previous one.
  using VisualStyleQuery = std::function<skforms::VisualStyle(HWND)>;
  static VisualStyleQuery SetVisualStyleQuery(VisualStyleQuery query);

  // -- Set-up (creation and loading, in their orders)
  void LoadSteps();
  void StartHooks();
  void zHookProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND hWnd, UINT uMsg,
                 WPARAM wParam, LPARAM lParam, LONG_PTR& userValue);
  void OnHostActivate(bool active);
  void OnHostSysCommand(WPARAM command, LPARAM keyChar, bool& bHandled, LRESULT& lReturn);
  void OnHostSetCursor();
  void TitleBarHeightSetup();
  void BorderStyleSetup();
  void CaptionBtnSetup();
  void ApplyBackColorStyle();
  void TakeAmbientFontBold();
  // The frame at the host's origin with the host's inner size.
  void StretchOverHost();
  void TakeRestoreRect();

  // -- System menu and window state
  void LoadFixedMenuItems();
  void TakeLocaleCaptions();
  void ShowSysMenu();
  // Alt+Space: the menu drops from the title's left end, as the platform's does.
  void ShowSysMenuFromKeyboard();
  void MenuItemChosen(int index);
  void BeginKeyboardMoveSize();
  // Item 0 (restore) enabled, items 1, 2 and 4 (move, size, maximise) the opposite.
  void EnableMenuForMaximised(bool maximised);
  void SetMenuEnabled(int index, bool enabled);
  bool HostMaximised() const;
  void skWindowState(bool apply);
  void FitToWorkArea();
  void PlaceFromRestoreRect();
  void HostMoved();

  // -- Moving and sizing
  bool GripsCreated() const { return m_gripRight != nullptr; }
  void CreateGrips();
  void PlaceGrips();
  void GripMouseMove(PictureBox& grip, int button, int shift, float x, float y);
  void ChangeHostBackgrounds();
  // The host's controls inside the frame move down by `pixels` (up when negative);
  // a maximised host, and its restore height, grow by as much.
  void ShiftContents(int pixels);
  void SizeByGrip(float x, float y);
  void DragByTitle();
  // The left of the leftmost visible caption button, or the inner width.
  int ButtonsLeft() const;

  // -- Painting
  void ResizeHandling();
  void DrawTitleBarInitial();
  void DrawTitleBar();
  // Lays the title out (FrameLayout) at the size, settings, caption and dpi now.
  void LayOutTitleBar();
  skforms::TitleInput TitleNow() const;
  skforms::FrameColours ColoursNow() const;
  // The frame's surface as its painters draw on it.
  DesignCanvas CanvasNow();

  // -- Caption buttons
  void DrawCaptionBtns(skforms::ButtonLook look, uint32_t colour, int slot);
  void DrawOneButton(skforms::ButtonLook look, uint32_t colour, int slot);
  std::u16string MaxButtonToolTip() const;
  void PaintCaptionBtns(int slot);
  void HoverCaptionButtons(float x, float y);
  void SetControlToolTip(const std::u16string& text);
  void MinimiseHost();
  void CloseHost(bool raiseEvent);
  // What a click on a visible button does once the pointer comes up over it.
  void PressCaptionButton(int slot);
  // The visible slots in their order on the screen, left to right.
  std::vector<int> SlotsLeftToRight() const;
  // The accessible part a visible slot is (-1 for a hidden one).
  int PartOfSlot(int slot) const;
  // The command a slot carries out, as the frame's menu names it.
  std::u16string CaptionButtonName(int slot) const;
  // Tells assistive technology that a slot's name and state changed.
  void NotifySlotChanged(int slot) const;
  void AltF4();

  // Runs a procedure whose failure must not stop the frame: it is traced for
  // the developer, nothing is shown, and the statements after it run.
  template <typename Fn>
  void Guarded(std::u16string_view procedure, Fn&& fn) noexcept;
  // Raises an event to the host on its own: a handler that fails is reported
  // as the frame's own failures are, and the statements after the raise run.
  template <typename Handler, typename... Args>
  void Raise(std::u16string_view event, const Handler& handler, Args... args) noexcept;
  // While the frame holds the capture no set-cursor message comes, so a
  // pointer it changes then is put on the screen here: its own pointer when it
  // has one, else the host's (the four-way pointer of a keyboard move or size).
  void ShowPointer();

  skforms::Settings m_settings;
  skforms::ThemePair m_theme = skforms::kThemePairs[skforms::kThemeBlue];
  skforms::ThemePair m_draw = skforms::kThemePairs[skforms::kThemeBlue];
  bool m_isActive = false;
  bool m_activationTracking = false;
  int m_titleHeight = skforms::kInitialTitleHeight;
  std::u16string m_captionText;
  bool m_moveable = true;
  std::u16string m_schemeName;
  Form* m_hostForm = nullptr;
  bool m_contentShifted = false;
  // The fixed items' captions by the user's language; SetskFormsMenuCaption
  // rewrites entries.
  std::array<std::u16string, skforms::kFixedMenuItems> m_captionTable;

  std::shared_ptr<Picture> m_hostIcon;
  // Where the title's parts are: laid out on a resize, a change of the
  // settings, the caption or the dpi, read by the painters and hit-testing.
  skforms::FrameLayout m_layout;

  int m_leftmostButton = 0;
  int m_hoverButton = -1;
  int m_litButton = -1;
  int m_pressedButton = -1;

  RestoreRect m_restoreRect;

  PopupMenu m_sysMnu{u"Menu"};
  bool m_menuPopupOn = false;
  bool m_keyboardMoveMode = false;
  bool m_fitting = false;

  PictureBox* m_gripRight = nullptr;
  PictureBox* m_gripBottom = nullptr;
  int m_sizingMode = 0;
  bool m_inTitle = false;
  int m_lastButton = 0;
  POINT m_pressPoint{};  // screen pixels

  MouseLeaveTracker m_hover;
  GuardedHook m_hook;
};

// Lets design files place the kind "skForms".
void RegisterSkForms();

}  // namespace fw
