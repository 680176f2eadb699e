// ucStatusBar: a bar of panels docked at the bottom of its host. A panel has a
// text, an optional 16 x 16 icon, its own font and text colour, a fixed width or
// one that follows its text, and may hold another control of the window (a bound
// control). The bar paints a themed background (classic, or a gradient in blue,
// olive or silver) and a sizing grip, edits a panel's text in place on a double
// click, lets its grip size the host window and reports the pointer entering and
// leaving it.
//
// Errors: every operation passes a failure on as fw::statusbar::StatusBarError
// with its number and description and the source "ucStatusBar." followed by the
// operation's name; what it stored before the failing step stays stored. The
// handlers of window messages cannot throw past the window procedure: their
// errors, with the handler's name as source, go to HandlerError.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/ucStatusBar/StatusBarModel.h"
#include "hook/MouseLeave.h"
#include "hook/PlainHook.h"
#include "host/Gdi.h"
#include "host/TextBox.h"
#include "host/UserControl.h"

namespace fw {

// What the bar asks the system, replaceable so that every branch can be tried.
struct StatusBarSystem {
  // The version record; nothing when the request fails.
  std::function<std::optional<statusbar::OsVersion>()> version;
  // The colour-name buffer (255 characters) of the current visual style; nothing
  // when the service fails.
  std::function<std::optional<std::u16string>()> themeColourName;
  // Whether a module exports a function (the mouse-leave tracking probe).
  std::function<bool(std::wstring_view function, std::wstring_view module)> isFunctionExported;

  // The platform's answers: GetVersionExW, GetCurrentThemeName, the export probe.
  static StatusBarSystem Platform();
};

class ucStatusBar : public UserControl {
 public:
  ucStatusBar();
  ~ucStatusBar() override;

  // The system every bar asks from now on; a member left empty keeps the
  // platform's answer.
  static void SetSystem(StatusBarSystem system);

  // -- Operations and properties, in the order the host lists them
  void AddPanel(std::u16string_view sText, int32_t uTextAlign, bool bAutoSize, bool bEditable,
                std::shared_ptr<Picture> oIcon, int32_t bIconState, bool bUseMaskColor,
                Colour lMaskColor, Colour lForeColor, std::shared_ptr<fw::Font> oFont,
                std::u16string_view sToolTipText, int32_t lWidth);
  Colour BackColor() const;
  void SetBackColor(Colour colour);
  // Moves `control`'s window into panel `index` (none: gives the panel's bound
  // control back to its former parent). `sizeMethod` 0 keeps its width; any
  // other value stretches it over the panel.
  void BoundControl(int32_t index, Control* control, int32_t sizeMethod);
  // Fills the bar with its BackColor.
  void Clear();
  Colour ForeColor() const;
  void SetForeColor(Colour colour);
  // The default font of new panels.
  std::shared_ptr<fw::Font> Font() const;
  void SetFont(std::shared_ptr<fw::Font> font);
  // 0 none, 1 dots, 2 lines.
  int32_t GripShape() const;
  void SetGripShape(int32_t lShape);
  bool IsWinXP() const;
  int32_t PanelCount();
  // 0 left, 1 centred, 2 right.
  int32_t PanelAlignment(int32_t index) const;
  void SetPanelAlignment(int32_t index, int32_t alignment);
  bool PanelAutoSize(int32_t index) const;
  void SetPanelAutoSize(int32_t index, bool autoSize);
  bool PanelEditable(int32_t index) const;
  void SetPanelEditable(int32_t index, bool editable);
  Colour PanelForeColor(int32_t index) const;
  void SetPanelForeColor(int32_t index, Colour colour);
  std::shared_ptr<fw::Font> PanelFont(int32_t index) const;
  void SetPanelFont(int32_t index, std::shared_ptr<fw::Font> font);
  std::shared_ptr<Picture> PanelIcon(int32_t index) const;
  void SetPanelIcon(int32_t index, std::shared_ptr<Picture> icon);
  std::u16string PanelText(int32_t index) const;
  void SetPanelText(int32_t index, std::u16string_view text);
  std::u16string PanelToolTipText(int32_t index) const;
  void SetPanelToolTipText(int32_t index, std::u16string_view text);
  int32_t PanelWidth(int32_t index) const;
  void SetPanelWidth(int32_t index, int32_t width);
  // Repaints the whole bar.
  void Refresh();
  bool Sizable() const;
  void SetSizable(bool sizable);
  // 0 follows the desktop, 1 classic, 2 blue, 3 olive, 4 silver; others paint as 2.
  int32_t Theme() const;
  void SetTheme(int32_t theme);
  // Copies `nWidth` x `nHeight` of the picture from (XSrc, YSrc) to (x, y) of
  // `hDestDC`, leaving out every pixel of `TransColor`; greyed when `Disabled`.
  void TransBltEx(HDC hDestDC, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight,
                  const Picture* hSrcImg, int32_t XSrc, int32_t YSrc, Colour TransColor,
                  bool Disabled);
  std::u16string Version(bool bDateTime) const;

  // -- Events, in order; every argument by reference
  std::function<void()> Click;
  std::function<void()> DblClick;
  std::function<void(int16_t& keyCode, int16_t& shift)> KeyDown;
  std::function<void(int16_t& keyAscii)> KeyPress;
  std::function<void(int16_t& keyCode, int16_t& shift)> KeyUp;
  std::function<void(int16_t& button, int16_t& shift, float& x, float& y)> MouseDown;
  std::function<void(int16_t& button, int16_t& shift, float& x, float& y)> MouseMove;
  std::function<void(int16_t& button, int16_t& shift, float& x, float& y)> MouseUp;
  std::function<void(int32_t& index)> PanelClick;
  std::function<void(int32_t& index)> PanelDblClick;
  std::function<void(int32_t& index, int16_t& button, int16_t& shift, float& x, float& y)>
      PanelMouseDown;
  std::function<void(int32_t& index, int16_t& button, int16_t& shift, float& x, float& y)>
      PanelMouseMove;
  std::function<void(int32_t& index, int16_t& button, int16_t& shift, float& x, float& y)>
      PanelMouseUp;
  std::function<void()> MouseEnter;
  std::function<void()> MouseLeave;
  // A failure inside a message handler (source "ucStatusBar.UserControl_Click" ...).
  std::function<void(const statusbar::StatusBarError&)> HandlerError;

 protected:
  // -- Events from the host
  void OnCreated() override;
  void OnInitProperties() override;
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  void OnShow() override;
  void OnResize() override;
  void OnPaint() override;
  void OnTerminate() override;
  void OnMouseDown(int button, int shift, float x, float y) override;
  void OnMouseMove(int button, int shift, float x, float y) override;
  void OnMouseUp(int button, int shift, float x, float y) override;
  void OnClick() override;
  void OnDblClick() override;
  void OnKeyDown(int& keyCode, int shift) override;
  void OnKeyPress(int& keyAscii) override;
  void OnKeyUp(int& keyCode, int shift) override;
  void OnLostFocus() override;
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;
  // A status bar whose panels are static texts a tool can click.
  void OnAccessibleSelf(AccessibleItem& self) const override;
  int OnAccessiblePartCount() const override;
  void OnAccessiblePart(int part, AccessibleItem& item) const override;
  bool OnAccessibleDefaultAction(int part) override;

 private:
  // Tests read the bar's inner state (effective theme, panel records, edit box,
  // hook) through this type; it is defined with the tests.
  friend struct ucStatusBarTestAccess;

  // The hook callback: repaints on colour, theme and sizing messages, and
  // follows the pointer in and out.
  void zSubclass_Proc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hWnd, UINT& uMsg,
                      WPARAM& wParam, LPARAM& lParam);

  // Lays the bar out: the theme in effect, then the panels (LayOutPanels).
  void LayOut();
  void LayOutPanels();
  void PaintGradients();
  void PaintGrip();
  void PaintPanels();
  // Each panel's font (made once, for measuring and drawing, into `fonts`) and
  // what the layout needs of the panel.
  std::vector<statusbar::PanelInput> MeasurePanels(HDC dc, std::vector<unique_hfont>& fonts) const;
  void ShowPanelsAsCaption();
  void PlaceBound(statusbar::StatusPanel& panel);
  void APILine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
  void GrayBlt(HDC dest, HDC source, int32_t width, int32_t height);
  std::u16string GetThemeInfo() const;
  void StartHooks();
  // Runs a message handler: its failure goes to HandlerError.
  template <typename F>
  void Handler(std::u16string_view name, F&& body);
  // Raises a mouse event and then its panel event, each with fresh by-reference
  // arguments; the panel event is skipped when the first one ended the bar.
  using MouseEvent = std::function<void(int16_t&, int16_t&, float&, float&)>;
  using PanelMouseEvent = std::function<void(int32_t&, int16_t&, int16_t&, float&, float&)>;
  void RaiseMouse(const MouseEvent& bar, const PanelMouseEvent& panel, int button, int shift, float x,
                  float y);
  // Stores the edit box's text in the edit panel and hides it (Enter, focus loss).
  void CommitEdit();
  void HideEdit();
  // The panel under the pointer, 0 for none.
  int32_t GetPanelIndex() const;
  // The shown panels as the hit test sees them.
  std::vector<statusbar::HitPanel> HitPanels() const;
  // Click, then PanelClick for panel `index` (from 1; 0 for none).
  void RaiseClick(int32_t index);
  // The panels shown (the count, at most the records there are).
  int32_t ShownPanels() const;
  // Sets a panel's text, telling assistive technology when it changed.
  void StorePanelText(int32_t index, std::u16string_view text);

  Colour m_backColor = statusbar::kNewBackColor;
  Colour m_foreColor = statusbar::kNewForeColor;
  std::shared_ptr<fw::Font> m_font;
  int32_t m_editPanel = 0;
  statusbar::PanelRect m_gripRect{};
  int32_t m_gripShape = statusbar::kGripNone;
  bool m_sizable = false;
  statusbar::PanelList m_panels;
  // The panels as last laid out: what each needs, the places of those laid
  // out (the last one only to its border when the layout overflowed there),
  // how many were laid out in full, and the overflow that ended the layout.
  struct PanelPlaces {
    std::vector<statusbar::PanelInput> inputs;
    std::vector<statusbar::PanelPaint> placed;
    size_t finished = 0;
    std::exception_ptr error;
  };
  PanelPlaces m_places;
  int32_t m_theme = statusbar::kThemeFollowDesktop;
  int32_t m_effectiveTheme = statusbar::kThemeFollowDesktop;  // until the first paint
  bool m_pointerInside = false;
  bool m_hooked = false;
  bool m_editing = false;  // the edit box is shown for m_editPanel
  PlainHook m_hook{[this](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hWnd, UINT& uMsg,
                          WPARAM& wParam, LPARAM& lParam) {
    zSubclass_Proc(bBefore, bHandled, lReturn, hWnd, uMsg, wParam, lParam);
  }};
  TextBox m_txtEdit;
};

// Lets design files place the kind "ucStatusBar".
void RegisterUcStatusBar();

}  // namespace fw
