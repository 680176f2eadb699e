#include "controls/skForms/skForms.h"

#include <oleacc.h>
#include <uxtheme.h>

#include <algorithm>
#include <span>

#include "controls/skForms/skFormsDraw.h"
#include "controls/skForms/skFormsPaint.h"
#include "host/ColourWin.h"
#include "host/Failure.h"
#include "host/Form.h"
#include "host/Gdi.h"
#include "host/Numeric.h"
#include "host/PictureBox.h"
#include "host/WideText.h"

namespace fw {

using namespace skforms;

namespace {

constexpr Colour kButtonFace = SystemColour(COLOR_BTNFACE);
// Text and list boxes keep the window colour their text is written on.
constexpr Colour kWindowColour = SystemColour(COLOR_WINDOW);

// The fixed menu items by role.
enum MenuItem : int {
  kItemRestore = 0,
  kItemMove = 1,
  kItemSize = 2,
  kItemMinimise = 3,
  kItemMaximise = 4,
  kItemSeparatorBeforeClose = 5,
  kItemClose = 6,
  kItemSeparatorBeforeOnTop = 7,
  kItemOnTop = 8,
};
// The numbers GetMenuItemValue takes for an item's parts.
enum MenuItemPart : int { kPartCaption = 0, kPartEnabled = 1, kPartChecked = 2, kPartVisible = 3 };
// A caption the program gives the close item keeps the shortcut, set apart.
constexpr std::u16string_view kCloseShortcut = u"            Alt+F4";  // 12 blanks
// The tooltips are the menu captions without their access keys: "最小化(&X)"
// gives "最小化", "关闭(&C)" "关闭", "还原(&R)" "还原", "最大化(&N)" "最大化".
constexpr size_t kMinimiseTipLength = 3;
constexpr size_t kCloseTipLength = 2;
constexpr size_t kRestoreTipLength = 2;
constexpr size_t kMaximiseTipLength = 3;

// The host form's values the frame sets (Form and Control number them so).
// A caption button pressed by assistive technology acts once the tool's call
// has returned: its action may close the window or open a modal one, which
// must not hold the tool waiting.
constexpr UINT kWmPressCaptionButton = WM_APP + 0x201;
// What the default action of a caption button is called: the platform's verb
// for a push button, as the other buttons of the program say it.
constexpr std::u16string_view kPressVerb = u"Press";

constexpr int32_t kFormBorderNone = 0;  // a bare popup: the frame draws border and caption
constexpr int32_t kAlignTop = 1;        // docked at the form's top
constexpr int kZOrderFront = 0;         // in front of the form's other controls

// The grips are 3 pixels thick, 4 pixels in from the frame's edges (over the
// inner lines of its border); the right one starts below the top area.
constexpr int kGripThickness = 3;
constexpr int kGripInset = 4;
// The smallest pointer position a grip drag follows (the host stays 5 more),
// in 96-dpi pixels, scaled with the rest of the frame.
constexpr int kMinSizingX = 130;
constexpr int kMinSizingExtraY = 15;
// A keyboard move grabs the host 240 twips (16 pixels at 96 dpi) below its top
// edge, inside its title; twips are the form's pixels at its dpi times
// 1440 / dpi, so the grab scales with the title.
constexpr int32_t kMoveGrabBelowTop = 240;


skforms::VisualStyle PlatformVisualStyle(HWND hwnd) {
  skforms::VisualStyle v;
  if (HTHEME theme = OpenThemeData(hwnd, L"ExplorerBar")) {
    v.opened = true;
    wchar_t file[MAX_PATH] = {};
    wchar_t colour[MAX_PATH] = {};
    if (SUCCEEDED(GetCurrentThemeName(file, MAX_PATH, colour, MAX_PATH, nullptr, 0))) {
      v.colourName = FromWide(std::wstring(colour, wcsnlen(colour, MAX_PATH)));
    }
    CloseThemeData(theme);
  }
  v.appThemed = IsAppThemed() != FALSE;
  return v;
}

std::function<skforms::VisualStyle(HWND)>& VisualStyleSource() {
  static std::function<skforms::VisualStyle(HWND)> query;
  return query;
}

std::u16string EnglishLanguageName() {
  wchar_t name[128] = {};
  const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, name, 128);
  return n > 1 ? FromWide(std::wstring(name, static_cast<size_t>(n - 1))) : std::u16string();
}

// A colour as the frame keeps it: translated (-1, an untranslatable colour, is
// kept as all bits set).
Colour Translated(Colour colour) {
  return Colour(static_cast<uint32_t>(fw::TranslateColor(colour)));
}

}  // namespace

// -- Failures

// The frame never troubles the user with its own failures: the procedure's
// failure is traced for the developer and the frame carries on after it.
template <typename Fn>
void skForms::Guarded(std::u16string_view procedure, Fn&& fn) noexcept {
  Contain(u"skForms", procedure, std::forward<Fn>(fn));
}

template <typename Handler, typename... Args>
void skForms::Raise(std::u16string_view event, const Handler& handler, Args... args) noexcept {
  if (!handler) return;
  // A copy: a handler may replace or clear itself while it runs.
  const Handler call = handler;
  Guarded(event, [&] { call(args...); });
}

// -- Construction

skForms::skForms()
    : UserControl(u"skForms", /*container=*/true),
      m_hook(L"skForms", [this](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND hWnd,
                                UINT uMsg, WPARAM wParam, LPARAM lParam, LONG_PTR& userValue) {
        zHookProc(bBefore, bHandled, lReturn, hWnd, uMsg, wParam, lParam, userValue);
      }) {
  SetCanGetFocus(false);
  LoadFixedMenuItems();
  TakeLocaleCaptions();
}

skForms::~skForms() = default;

skForms::VisualStyleQuery skForms::SetVisualStyleQuery(VisualStyleQuery query) {
  return std::exchange(VisualStyleSource(), std::move(query));
}

int32_t skForms::TranslateColor(Colour colour) { return fw::TranslateColor(colour); }

void skForms::OnCreated() {
  UserControl::OnCreated();
  // The pointer over a caption button: the platform's hand.
  if (HCURSOR hand = LoadCursorW(nullptr, IDC_HAND)) {
    SetMouseIcon(Picture::FromIcon(unique_hicon(CopyIcon(hand))));
  }
}

// A new frame placed on a form: the new frame's settings, the host's caption
// and menu captions, and a host form made ready for a frame that draws its
// own border and caption.
void skForms::OnInitProperties() {
  Guarded(u"UserControl_InitProperties", [&] {
    Form* host = ParentForm();
    m_settings = NewFrameSettings(Translated(kButtonFace));
    // The custom pair is kept translated, as the bands are drawn with it.
    m_settings.colorFrom = Translated(m_settings.colorFrom);
    m_settings.colorTo = Translated(m_settings.colorTo);
    SetThemeColor();
    m_titleHeight = kInitialTitleHeight;
    if (host) {
      m_captionText = host->Caption();
      m_moveable = host->Moveable();
    }
    TakeLocaleCaptions();
    SetBackColor(kButtonFace);
    TakeAmbientFontBold();
    // The new frame's contents were placed for the top area of its style.
    m_contentShifted = m_settings.style == kStyleGripBand;
    // The platform's border and caption go; the maximise and minimise boxes
    // stay on, as they tell the platform which states the window may take.
    if (host) {
      host->SetBorderStyle(kFormBorderNone);
      host->SetShowInTaskbar(true);
      host->SetMaxButton(true);
      host->SetMinButton(true);
      host->SetWindowState(kStateNormal);
    }
    StretchOverHost();
    SetAlign(kAlignTop);
    BorderStyleSetup();
  });
  // Placed by code in a running program: it starts as a loaded frame does.
  if (Ambient().userMode) Guarded(u"UserControl_InitProperties", [&] { LoadSteps(); });
}

void skForms::OnReadProperties(const PropertyStore& props) {
  Guarded(u"UserControl_ReadProperties", [&] {
    m_settings = ReadSettings(props, Translated(kButtonFace));
    TakeLocaleCaptions();
    SetThemeColor();
  });
  Guarded(u"UserControl_ReadProperties", [&] { LoadSteps(); });
}

void skForms::OnWriteProperties(PropertyStore& props) {
  Guarded(u"UserControl_WriteProperties",
          [&] { WriteSettings(props, m_settings, Translated(kButtonFace)); });
}

// A saved frame, once its settings are read: it takes the host's caption and
// place, lays itself out and, at run time, starts watching the host.
void skForms::LoadSteps() {
  Form* host = ParentForm();
  // Without a maximise button the user could not restore the host: it starts
  // in the normal state.
  if (!m_settings.maxButton) m_settings.windowState = kStateNormal;
  // The frame maximises by itself (over the work area): the platform's own
  // state stays normal.
  if (host) {
    m_captionText = host->Caption();
    host->SetWindowState(kStateNormal);
  }
  m_hostForm = host;
  m_activationTracking = true;
  m_pressedButton = -1;
  m_menuPopupOn = false;
  // The contained controls were placed under the top area this font and icon
  // size give, so they already sit at their distance from it: nothing moves.
  m_contentShifted = m_settings.style == kStyleGripBand;
  ApplyBackColorStyle();
  TakeAmbientFontBold();
  TitleBarHeightSetup();
  // The host's outer size: the same as its client area once its border is gone.
  if (host) {
    Move(0, 0, host->Width(), host->Height());
    TakeRestoreRect();
  }
  BorderStyleSetup();
  // Saved minimised, the host starts minimised, with no button left lit.
  if (m_settings.windowState == kStateMinimised) {
    m_litButton = -1;
    if (host) host->SetWindowState(kStateMinimised);
  }
  // Only a running frame watches its host; a design hooks nothing.
  if (Ambient().userMode) StartHooks();
}

void skForms::StartHooks() {
  Form* host = m_hostForm;
  if (!host || !hWnd() || !MouseLeaveTracker::Available()) return;
  if (m_hook.sc_Subclass(hWnd(), 0)) {
    m_hook.sc_AddMsg(hWnd(), WM_MOUSEMOVE, HookWhen::kAfter);
    m_hook.sc_AddMsg(hWnd(), WM_MOUSELEAVE, HookWhen::kAfter);
  }
  if (m_hook.sc_Subclass(host->hWnd(), 0)) {
    m_hook.sc_AddMsg(host->hWnd(), WM_SETCURSOR, HookWhen::kAfter);
    // The close command is stopped before the form's own procedure would close.
    m_hook.sc_AddMsg(host->hWnd(), WM_SYSCOMMAND, HookWhen::kBefore);
    m_hook.sc_AddMsg(host->hWnd(), WM_MOVE, HookWhen::kAfter);
    m_hook.sc_AddMsg(host->hWnd(), WM_ACTIVATE, HookWhen::kAfter);
    m_hook.sc_AddMsg(host->hWnd(), WM_SYSCOLORCHANGE, HookWhen::kAfter);
    // The frame stays stretched over the host whatever resizes it.
    m_hook.sc_AddMsg(host->hWnd(), WM_SIZE, HookWhen::kAfter);
  }
  m_moveable = host->Moveable();
  host->SetBorderStyle(kFormBorderNone);
  StretchOverHost();
}

void skForms::zHookProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND hWnd, UINT uMsg,
                        WPARAM wParam, LPARAM lParam, LONG_PTR&) {
  Guarded(u"zHookProc", [&] {
    if (hWnd == this->hWnd()) {
      // The pointer left the frame: the title is drawn again with no button lit.
      if (m_hover.OnMessage(hWnd, uMsg) == HoverChange::kLeft) {
        Cls();
        DrawTitleBar();
      }
      return;
    }
    switch (uMsg) {
      case WM_ACTIVATE: OnHostActivate(LOWORD(wParam) != WA_INACTIVE); break;
      case WM_SYSCOLORCHANGE:
        SetThemeColor();
        Refresh(true);
        break;
      case WM_SYSCOMMAND:
        if (bBefore) OnHostSysCommand(wParam, lParam, bHandled, lReturn);
        break;
      case WM_SETCURSOR: OnHostSetCursor(); break;
      case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) StretchOverHost();
        break;
      case WM_MOVE: HostMoved(); break;
      default: break;
    }
  });
}

// The title is drawn in the full theme pair while the host is active, faded
// while it is not.
void skForms::OnHostActivate(bool active) {
  if (!m_activationTracking) return;
  m_isActive = active;
  SetThemeColor();
  Refresh(false);
}

// The platform's close command (the task bar's, the keyboard's) closes as
// Alt+F4 does, only with the close button, and never reaches the form.
void skForms::OnHostSysCommand(WPARAM command, LPARAM keyChar, bool& bHandled,
                                 LRESULT& lReturn) {
  // The low four bits of a system command are the platform's own.
  const WPARAM kind = command & 0xFFF0;
  if (kind == SC_KEYMENU && keyChar == VK_SPACE) {
    // Alt+Space opens the frame's own menu: the form has no platform menu.
    bHandled = true;
    lReturn = 0;
    ShowSysMenuFromKeyboard();
    return;
  }
  if (kind != SC_CLOSE) return;
  bHandled = true;
  lReturn = 0;
  AltF4();
}

// The set-cursor message comes with every pointer move over the host: the frame
// keeps to the host's size, and the restore rectangle to its normal place.
void skForms::OnHostSetCursor() {
  StretchOverHost();
  if (m_settings.windowState == kStateNormal) TakeRestoreRect();
}

void skForms::OnTerminate() {
  m_activationTracking = false;
  // The grips live on the form, which may outlast the frame.
  for (PictureBox* grip : {m_gripRight, m_gripBottom}) {
    if (!grip) continue;
    grip->MouseDown = nullptr;
    grip->MouseMove = nullptr;
    grip->MouseUp = nullptr;
  }
  m_hook.sc_UnSubclassAll();
  m_hostForm = nullptr;
}

// -- Properties

void skForms::SetThemeColor(int32_t value) {
  PropertyChanged(u"ThemeColor");
  if (value == m_settings.themeColor) return;
  m_settings.themeColor = value;
  SetThemeColor();
  Refresh(false);
}

void skForms::SetStyle(int32_t value) {
  PropertyChanged(u"Style");
  if (value == m_settings.style) return;
  m_settings.style = value;
  Refresh(false);
  // The grip band of style 1 makes the top area higher: the contents follow it
  // down when it comes and up when it goes.
  Guarded(u"Style", [&] {
    if (value == kStyleGripBand && !m_contentShifted) {
      m_contentShifted = true;
      ShiftContents(kGripBandHeight);
    } else if (value != kStyleGripBand && m_contentShifted) {
      m_contentShifted = false;
      ShiftContents(-kGripBandHeight);
    }
  });
}

void skForms::SetBackColorStyle(int32_t value) {
  m_settings.backColorStyle = value;
  PropertyChanged(u"BackColorStyle");
  Refresh(false);
}

void skForms::SetMaxButton(bool value) {
  m_settings.maxButton = value;
  PropertyChanged(u"MaxButton");
  BorderStyleSetup();
  Refresh(false);
}

void skForms::SetMinButton(bool value) {
  m_settings.minButton = value;
  PropertyChanged(u"MinButton");
  BorderStyleSetup();
  Refresh(false);
}

void skForms::SetCloseButton(bool value) {
  m_settings.closeButton = value;
  PropertyChanged(u"CloseButton");
  BorderStyleSetup();
  Refresh(false);
}

void skForms::SetWindowState(int32_t value) {
  m_settings.windowState = value;
  PropertyChanged(u"WindowState");
  if (Ambient().userMode) {
    Guarded(u"WindowState", [&] { skWindowState(true); });
    BorderStyleSetup();
  }
}

void skForms::SetChangeAllBackgrounds(bool value) {
  m_settings.changeAllBackgrounds = value;
  PropertyChanged(u"ChangeAllBackgrounds");
  Refresh(false);
}

void skForms::SetBorderStyle(int32_t value) {
  m_settings.borderStyle = value;
  PropertyChanged(u"BorderStyle");
  BorderStyleSetup();
  Refresh(false);
}

void skForms::SetCustomBackColor(Colour value) {
  m_settings.customBackColor = value;
  PropertyChanged(u"CustomBackColor");
  if (m_settings.backColorStyle == kBackCustom) Refresh(false);
}

// The custom pair is drawn at once, even while the host is inactive: it is
// faded only by the next SetThemeColor.
void skForms::SetColorFrom(Colour value) {
  const Colour rgb = Translated(value);
  m_settings.colorFrom = rgb;
  if (m_settings.themeColor == kThemeCustom) m_draw.dark = rgb.value;
  PropertyChanged(u"ColorFrom");
  Refresh(false);
}

void skForms::SetColorTo(Colour value) {
  const Colour rgb = Translated(value);
  m_settings.colorTo = rgb;
  if (m_settings.themeColor == kThemeCustom) m_draw.light = rgb.value;
  PropertyChanged(u"ColorTo");
  Refresh(false);
}

void skForms::SetIconSize(int16_t value) {
  if (value == m_settings.iconSize) return;
  m_settings.iconSize = value;
  PropertyChanged(u"IconSize");
  const int oldTop = m_layout.topHeight;
  TitleBarHeightSetup();
  // The contained controls keep their distance from the top area.
  Guarded(u"IconSize", [&] { ShiftContents(m_layout.topHeight - oldTop); });
  Refresh(false);
}

void skForms::SetTitleBarShadow(bool value) {
  m_settings.titleBarShadow = value;
  PropertyChanged(u"TitleBarShadow");
  Refresh(false);
}

// -- Methods

void skForms::Refresh(bool force) {
  Guarded(u"Refresh", [&] {
    if (m_settings.changeAllBackgrounds || force) ApplyBackColorStyle();
    DrawTitleBarInitial();
    ResizeHandling();
  });
}

void skForms::SetThemeColor() {
  Guarded(u"SetThemeColor", [&] {
    m_theme = ThemePairFor(m_settings.themeColor, m_settings.colorFrom.value,
                           m_settings.colorTo.value, m_theme, [&] {
                             GetGradientColor(hWnd());
                             return m_theme;
                           });
    // A design shows the full pair; a running frame fades it while its host is
    // not the active window.
    m_draw = (!Ambient().userMode || m_isActive) ? m_theme : Faded(m_theme);
  });
}

void skForms::GetGradientColor(HWND hwnd) {
  Guarded(u"GetGradientColor", [&] {
    const VisualStyleQuery& query = VisualStyleSource();
    const skforms::VisualStyle style = query ? query(hwnd) : PlatformVisualStyle(hwnd);
    m_schemeName = skforms::SchemeName(style);
    m_theme = SystemThemePair(style, m_theme);
  });
}

// -- Set-up

// The title's height follows the font and the icon at the new dpi; then the
// frame lays itself out and draws anew.
void skForms::OnDpiChanged() {
  TitleBarHeightSetup();
  UserControl::OnDpiChanged();
}

void skForms::TitleBarHeightSetup() {
  m_titleHeight = TitleHeightFor(TextHeight(u"H"), Scaled(m_settings.iconSize), Dpi());
  m_layout.topHeight = TopHeightFor(m_titleHeight, m_settings.style, Dpi());
}

// Brings the frame in line with its button flags and border style: the menu,
// the caption buttons and the title.
void skForms::BorderStyleSetup() {
  Guarded(u"BorderStyleSetup", [&] {
    // A design shows the form as it will run: without the platform's border,
    // in the task bar.
    if (!Ambient().userMode) {
      if (Form* host = ParentForm()) {
        host->SetBorderStyle(kFormBorderNone);
        host->SetShowInTaskbar(true);
      }
    }
    // The menu offers only what the buttons offer.
    if (HostMaximised()) SetMenuEnabled(kItemRestore, m_settings.maxButton);
    SetMenuEnabled(kItemClose, m_settings.closeButton);
    m_layout.slots[kSlotClose].visible = m_settings.closeButton;
    m_layout.slots[kSlotMax].visible = m_settings.maxButton;
    m_layout.slots[kSlotMin].visible = m_settings.minButton;
    m_leftmostButton = skforms::LeftmostButton(m_layout.slots, m_leftmostButton);
    CaptionBtnSetup();
    DrawTitleBarInitial();
    if (Ambient().userMode) DrawTitleBar();
  });
}

// The visible buttons from the right edge leftwards, the fixed items' captions,
// and the tooltips cut from them.
void skForms::CaptionBtnSetup() {
  LayOutButtons(m_layout.slots, ScaleWidth(), Dpi());
  const auto& captions = m_captionTable;
  for (int i : {kItemRestore, kItemMove, kItemSize, kItemMinimise, kItemMaximise, kItemClose,
                kItemOnTop}) {
    if (PopupMenu::Item* item = m_sysMnu.At(i)) item->caption = captions[i];
  }
  m_layout.slots[kSlotMin].toolTip = FirstChars(m_sysMnu.At(kItemMinimise)->caption, kMinimiseTipLength);
  m_layout.slots[kSlotClose].toolTip = FirstChars(captions[kItemClose], kCloseTipLength);
  // The buttons do what these items would: the popup shows move, close and
  // always on top.
  for (int i : {kItemMinimise, kItemMaximise, kItemRestore, kItemSize}) {
    m_sysMnu.At(i)->visible = false;
  }
}

void skForms::ApplyBackColorStyle() {
  switch (m_settings.backColorStyle) {
    case kBackTheme: SetBackColor(Colour(m_draw.light)); break;
    case kBackCustom: SetBackColor(m_settings.customBackColor); break;
    default: SetBackColor(kButtonFace); break;
  }
}

void skForms::TakeAmbientFontBold() {
  const AmbientProperties ambient = Ambient();
  auto font = ambient.font ? ambient.font->Clone() : Font::Create(Font::DefaultValue());
  font->SetBold(true);
  font->SetWeight(FW_BOLD);
  SetFont(std::move(font));
}

void skForms::StretchOverHost() {
  Form* host = ParentForm();
  if (!host || !hWnd()) return;
  const int32_t w = host->ScaleWidth();
  const int32_t h = host->ScaleHeight();
  if (Left() != 0 || Top() != 0 || Width() != w || Height() != h) Move(0, 0, w, h);
}

void skForms::TakeRestoreRect() {
  if (Form* host = ParentForm()) {
    m_restoreRect = {host->Left(), host->Top(), host->Width(), host->Height()};
  }
}

// -- Window state

bool skForms::HostMaximised() const {
  if (!Ambient().userMode) return false;
  const Form* host = ParentForm();
  return m_settings.windowState == kStateMaximised ||
         (host && host->WindowState() == kStateMaximised);
}

// The frame maximises by covering the work area itself, not through the
// platform's maximised state, and comes back to the restore rectangle. With
// `apply` the WindowState property is put into effect; without, the user
// toggles between maximised and normal.
void skForms::skWindowState(bool apply) {
  Form* host = m_hostForm ? m_hostForm : ParentForm();
  if (!host) return;
  const int32_t state = m_settings.windowState;
  if (state == kStateMinimised) {
    m_litButton = -1;
    host->SetWindowState(kStateMinimised);
    return;
  }
  bool maximise = state == kStateMaximised;
  if (!apply) {
    maximise = !maximise;
    m_settings.windowState = maximise ? kStateMaximised : kStateNormal;
  }
  EnableMenuForMaximised(maximise);
  if (maximise) {
    FitToWorkArea();
  } else {
    PlaceFromRestoreRect();
  }
  StretchOverHost();
}

void skForms::EnableMenuForMaximised(bool maximised) {
  SetMenuEnabled(kItemRestore, maximised);
  for (int i : {kItemMove, kItemSize, kItemMaximise}) SetMenuEnabled(i, !maximised);
}

void skForms::SetMenuEnabled(int index, bool enabled) {
  if (PopupMenu::Item* item = m_sysMnu.At(index)) item->enabled = enabled;
}

// The platform may move a maximised host (a display change, another program):
// it goes back over the work area.
void skForms::HostMoved() {
  if (m_fitting || m_settings.windowState != kStateMaximised || !m_settings.maxButton ||
      GripsCreated()) {
    return;
  }
  EnableMenuForMaximised(true);
  FitToWorkArea();
  StretchOverHost();
}

void skForms::FitToWorkArea() {
  Form* host = ParentForm();
  if (!host || host->WindowState() == kStateMaximised) return;
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  // The move raises the host's own move message, which would fit it again.
  const bool wasFitting = std::exchange(m_fitting, true);
  host->Move(PixelsToTwipsX(area.left), PixelsToTwipsY(area.top),
             PixelsToTwipsX(area.right - area.left), PixelsToTwipsY(area.bottom - area.top));
  m_fitting = wasFitting;
  if (m_gripRight) m_gripRight->SetVisible(true);
  if (m_gripBottom) m_gripBottom->SetVisible(true);
  host->Refresh();
}

// Back to the restore rectangle; a host the platform itself has maximised takes
// its size centred on the screen.
void skForms::PlaceFromRestoreRect() {
  Form* host = ParentForm();
  if (!host) return;
  const RestoreRect& r = m_restoreRect;
  if (host->WindowState() == kStateMaximised) {
    const int32_t sw = PixelsToTwipsX(GetSystemMetrics(SM_CXSCREEN));
    const int32_t sh = PixelsToTwipsY(GetSystemMetrics(SM_CYSCREEN));
    host->Move((sw - r.width) / 2, (sh - r.height) / 2, r.width, r.height);
  } else {
    host->Move(r.left, r.top, r.width, r.height);
  }
}

// -- Painting

void skForms::OnResize() { ResizeHandling(); }

void skForms::ResizeHandling() {
  Guarded(u"UserControl_Resize", [&] {
    if (!hWnd()) return;
    // Everything is drawn anew over the persistent background.
    Cls();
    if (m_settings.changeAllBackgrounds) ChangeHostBackgrounds();
    DrawTitleBar();
    HWND self = hWnd();
    Raise(u"ReSize", ReSize);
    // The grips follow the right and bottom edges.
    if (IsWindow(self) && GripsCreated()) PlaceGrips();
  });
}

// What the title is laid out from now.
TitleInput skForms::TitleNow() const {
  TitleInput in;
  in.width = ScaleWidth();
  in.height = ScaleHeight();
  in.dpi = Dpi();
  in.style = m_settings.style;
  in.shadow = m_settings.titleBarShadow;
  in.titleHeight = m_titleHeight;
  in.iconSize = Scaled(m_settings.iconSize);
  in.leftmostButton = m_leftmostButton;
  in.caption = m_captionText;
  return in;
}

FrameColours skForms::ColoursNow() const {
  const int32_t back = TranslateColor(BackColor());
  return FrameColours{m_draw.dark, m_draw.light, back < 0 ? 0u : static_cast<uint32_t>(back)};
}

DesignCanvas skForms::CanvasNow() {
  return DesignCanvas(hDC(), Dpi(), SIZE{ScaleWidth(), ScaleHeight()});
}

// The persistent background every Cls comes back to: the title bands of the
// style as wide as the host's icon calls for, and the icon on them.
void skForms::DrawTitleBarInitial() {
  Guarded(u"DrawTitleBarInitial", [&] {
    if (!hWnd()) return;
    Form* host = ParentForm();
    m_hostIcon.reset();
    if (host && host->Icon() && host->Icon()->Handle()) m_hostIcon = host->Icon();
    // With an icon the background covers the whole width; without one the
    // live drawing paints all of the title.
    LayOutBackground(m_layout, TitleNow(), m_hostIcon != nullptr);
    ClearBackgroundPicture();
    Cls();
    PaintTitleBackground(CanvasNow(), m_layout, ColoursNow(), m_hostIcon.get());
    KeepImageAsBackground();
  });
}

// The title laid out at the frame's size and settings now. The program may
// have changed the host's caption since the last time.
void skForms::LayOutTitleBar() {
  if (Ambient().userMode) {
    if (Form* host = ParentForm()) {
      const std::u16string hostCaption = host->Caption();
      if (!hostCaption.empty() && hostCaption != m_captionText) {
        m_captionText = hostCaption;
        NotifyAccessibleNameChange(0);  // the title bar
      }
    }
  }
  LayOutTitle(m_layout, TitleNow(), [this](std::u16string_view s) { return TextWidth(s); });
}

// The live title over the persistent background: laid out at this width
// first, so that the caption stops where the buttons are drawn now, then the
// rest of the bands, the border, the shadow, the caption and the buttons.
void skForms::DrawTitleBar() {
  Guarded(u"DrawTitleBar", [&] {
    if (!hWnd()) return;
    LayOutTitleBar();
    PaintTitleBar(CanvasNow(), m_layout, ColoursNow());
    if (!m_captionText.empty()) SetTextColor(hDC(), ToColorRef(ForeColor()));
    PaintCaptionBtns(-1);
  });
}

// -- Caption buttons

void skForms::DrawCaptionBtns(ButtonLook look, uint32_t colour, int slot) {
  Guarded(u"DrawCaptionBtns", [&] {
    if (!hWnd()) return;
    // The maximise button's tooltip says which way it goes now.
    if (look == kLookHover && (slot == -1 || slot == kSlotMax) && m_layout.slots[kSlotMax].visible) {
      m_layout.slots[kSlotMax].toolTip = MaxButtonToolTip();
    }
    if (slot == -1) {
      for (int i = 0; i < kSlotCount; ++i) {
        if (m_layout.slots[i].visible) DrawOneButton(look, colour, i);
      }
    } else if (slot >= 0 && slot < kSlotCount && m_layout.slots[slot].visible) {
      DrawOneButton(look, colour, slot);
    }
    UserControl::Refresh();
  });
}

void skForms::DrawOneButton(ButtonLook look, uint32_t c, int slot) {
  PaintCaptionButton(CanvasNow(), m_layout, ColoursNow(), slot, look, c, HostMaximised());
}

// The maximise button tells which way it goes now.
std::u16string skForms::MaxButtonToolTip() const {
  return HostMaximised() ? FirstChars(m_sysMnu.At(kItemRestore)->caption, kRestoreTipLength) + u" "
                         : FirstChars(m_sysMnu.At(kItemMaximise)->caption, kMaximiseTipLength);
}

// -1: every visible button in the normal look, none lit any more; a slot: that
// one in the hover look, the others normal.
void skForms::PaintCaptionBtns(int slot) {
  if (slot == -1) {
    DrawCaptionBtns(kLookNormal, m_draw.dark, -1);
    SetMousePointer(kPointerDefault);
    ShowPointer();
    m_hoverButton = -1;
    m_litButton = -1;
    return;
  }
  for (int i = 0; i < kSlotCount; ++i) {
    if (m_layout.slots[i].visible) DrawCaptionBtns(i == slot ? kLookHover : kLookNormal, m_draw.dark, i);
  }
}

void skForms::SetControlToolTip(const std::u16string& text) {
  if (ToolTipText() != text) SetToolTipText(text);
}

// -- The pointer over the frame

void skForms::OnMouseMove(int button, int shift, float x, float y) {
  HWND self = hWnd();
  Raise(u"MouseMove", MouseMove, button, shift, x, y);
  if (!IsWindow(self)) return;
  Guarded(u"UserControl_MouseMove", [&] {
    // The sizing grips appear with the first pointer move over the frame.
    if (!GripsCreated()) CreateGrips();
    m_inTitle = y < m_layout.topHeight;
    HoverCaptionButtons(x, y);
    // A maximised host is neither dragged nor sized.
    if (HostMaximised()) return;
    if (!(button & kButtonLeft)) {
      // No drag: the grips show the default pointer until they are pointed at.
      for (PictureBox* grip : {m_gripRight, m_gripBottom}) {
        if (grip) grip->SetMousePointer(kPointerDefault);
      }
      return;
    }
    if (!m_hostForm) return;
    if (m_sizingMode != 0) {
      SizeByGrip(x, y);
    } else if (m_pressedButton == -1 && y < m_layout.topHeight && m_moveable && x < ButtonsLeft()) {
      DragByTitle();
    }
  });
}

// The button under the pointer is lit (pressed, if the press began on it), its
// tooltip shown and the hand put up; off the buttons the last lit one goes out.
void skForms::HoverCaptionButtons(float x, float y) {
  m_hoverButton = HitCaptionButton(m_layout.slots, x, y);
  if (m_hoverButton == -1) {
    SetControlToolTip(u"");
    if (m_litButton != -1) {
      SetMousePointer(kPointerDefault);
      ShowPointer();
      DrawCaptionBtns(kLookNormal, m_draw.dark, m_litButton);
      m_litButton = -1;
    }
    return;
  }
  SetControlToolTip(m_layout.slots[m_hoverButton].toolTip);
  if (m_litButton == m_hoverButton) return;
  if (m_litButton != -1) DrawCaptionBtns(kLookNormal, m_draw.dark, m_litButton);
  // A press that began on another button lights none.
  if (m_pressedButton == -1) {
    DrawCaptionBtns(kLookHover, m_draw.dark, m_hoverButton);
  } else if (m_pressedButton == m_hoverButton) {
    DrawCaptionBtns(kLookPressed, m_draw.dark, m_hoverButton);
  }
  SetMousePointer(kPointerCustom);
  ShowPointer();
  m_litButton = m_hoverButton;
}

// A grip drag: the host's right or bottom edge (or both) follows the pointer,
// never narrower than 135 pixels nor lower than the top area and 20 pixels.
void skForms::SizeByGrip(float x, float y) {
  Form* host = m_hostForm;
  const double sx = std::max<double>(x, Scaled(kMinSizingX));
  const double sy = std::max<double>(y, m_layout.topHeight + Scaled(kMinSizingExtraY));
  const int beyond = Scaled(5);
  int32_t width = host->Width();
  int32_t height = host->Height();
  if (m_sizingMode == kPointerSizeNS || m_sizingMode == kPointerSizeNWSE) {
    height = RoundHalfEven((sy + beyond) * TwipsPerPixelY());
  }
  if (m_sizingMode == kPointerSizeWE || m_sizingMode == kPointerSizeNWSE) {
    width = RoundHalfEven((sx + beyond) * TwipsPerPixelX());
  }
  host->Move(host->Left(), host->Top(), width, height);
  StretchOverHost();
  host->Refresh();
}

// A title drag is the platform's: the frame lets go of the pointer and hands
// the host a press on its caption, and takes the host's new place once the
// platform's move ends.
void skForms::DragByTitle() {
  HWND self = hWnd();
  ReleaseCapture();
  // The platform drags the window until the button comes up, by the pointer's
  // way from where the button went down.
  SendMessageW(m_hostForm->hWnd(), WM_NCLBUTTONDOWN, HTCAPTION,
               MAKELPARAM(m_pressPoint.x, m_pressPoint.y));
  if (IsWindow(self)) TakeRestoreRect();
}

int skForms::ButtonsLeft() const { return skforms::ButtonsLeft(m_layout, m_leftmostButton); }

void skForms::OnMouseDown(int button, int shift, float x, float y) {
  HWND self = hWnd();
  Guarded(u"UserControl_MouseDown", [&] {
    // A keyboard move or size ends here.
    ReleaseCapture();
    if (m_hostForm) m_hostForm->SetMousePointer(kPointerDefault);
    m_lastButton = button;
    m_pressPoint = {static_cast<LONG>(x), static_cast<LONG>(y)};
    ClientToScreen(hWnd(), &m_pressPoint);
    if (button != kButtonLeft) return;
    const int hit = HitCaptionButton(m_layout.slots, x, y);
    if (hit != -1) {
      DrawCaptionBtns(kLookPressed, m_draw.dark, hit);
      m_pressedButton = hit;
    }
    // The icon opens the menu.
    if (m_menuPopupOn && y < m_layout.topHeight && x > 2 && x < m_settings.iconSize + 8) ShowSysMenu();
  });
  if (IsWindow(self)) Raise(u"MouseDown", MouseDown, button, shift, x, y);
}

// A button acts when the left button comes up over it and the press began on it
// or on no button at all.
void skForms::OnMouseUp(int button, int shift, float x, float y) {
  HWND self = hWnd();
  Raise(u"MouseUp", MouseUp, button, shift, x, y);
  if (!IsWindow(self)) return;
  m_sizingMode = 0;
  Guarded(u"UserControl_MouseUp", [&] {
    // A right click on the title, left of the buttons, opens the menu.
    if (button == kButtonRight && m_menuPopupOn && y < m_layout.topHeight && x < ButtonsLeft()) {
      ShowSysMenu();
      return;
    }
    const int slot = m_hoverButton;
    if (button != kButtonLeft || slot == -1 || (m_pressedButton != slot && m_pressedButton != -1)) {
      return;
    }
    m_pressedButton = -1;
    PressCaptionButton(slot);
    if (IsWindow(self)) DrawCaptionBtns(kLookHover, m_draw.dark, slot);
  });
  m_pressedButton = -1;
}

// A double click on the title toggles maximised and normal, only where the
// maximise button offers it.
void skForms::OnDblClick() {
  if (!m_layout.slots[kSlotMax].visible) return;
  HWND self = hWnd();
  Guarded(u"UserControl_DblClick", [&] {
    if (m_lastButton == kButtonLeft && m_inTitle) skWindowState(false);
  });
  if (IsWindow(self)) Raise(u"DblClick", DblClick);
  m_lastButton = 0;
}

void skForms::OnClick() { Raise(u"Click", Click); }

void skForms::PressCaptionButton(int slot) {
  switch (slot) {
    case kSlotClose: CloseHost(/*raiseEvent=*/true); break;
    case kSlotMax:
      skWindowState(false);
      // Maximise became restore, or restore maximise.
      NotifySlotChanged(kSlotMax);
      break;
    case kSlotMin: MinimiseHost(); break;
    default: break;
  }
}

void skForms::MinimiseHost() {
  DrawCaptionBtns(kLookNormal, m_draw.dark, m_litButton);
  m_litButton = -1;
  if (m_hostForm) m_hostForm->SetWindowState(kStateMinimised);
}

void skForms::CloseHost(bool raiseEvent) {
  HWND self = hWnd();
  if (raiseEvent) Raise(u"skCloseClick", skCloseClick);
  if (!IsWindow(self)) return;
  m_activationTracking = false;
  if (Form* host = ParentForm()) host->Unload();
}

void skForms::AltF4() {
  if (m_settings.closeButton) CloseHost(/*raiseEvent=*/false);
}

void skForms::OnKeyDown(int& keyCode, int shift) {
  if (keyCode == VK_F4 && (shift & kAltMask)) {
    // Handled here either way, so the platform does not turn it into a close command.
    keyCode = 0;
    Guarded(u"UserControl_KeyDown", [&] { AltF4(); });
  }
}

// -- System menu

void skForms::TakeLocaleCaptions() {
  const CaptionTable& table = CaptionsFor(EnglishLanguageName());
  for (int i = 0; i < kFixedMenuItems; ++i) m_captionTable[i] = std::u16string(table[i]);
}

void skForms::LoadFixedMenuItems() {
  for (int i = 0; i < kFixedMenuItems; ++i) {
    m_sysMnu.Load(i, {std::u16string(kCreatedMenuCaptions[i]), true, false, true});
  }
}

void skForms::FormMenuAdd(std::u16string_view caption, bool addSeparator, bool enabled,
                          bool checked, bool visible) {
  Guarded(u"FormMenuAdd", [&] {
    if (addSeparator) m_sysMnu.Append({u"-", true, false, true});
    m_sysMnu.Append({std::u16string(caption), enabled, checked, visible});
  });
}

void skForms::ModifyAddedMenu(int16_t index, std::u16string_view caption, bool enabled,
                              bool checked, bool visible) {
  Guarded(u"ModifyAddedMenu", [&] {
    if (index < kFixedMenuItems) return;
    PopupMenu::Item* item = m_sysMnu.At(index);
    if (!item) return;
    if (!caption.empty()) item->caption = std::u16string(caption);
    item->enabled = enabled;
    item->checked = checked;
    item->visible = visible;
  });
}

void skForms::FormMenuShow(int16_t flag) { m_menuPopupOn = flag == 1; }

void skForms::FormMenuRemove(int index) {
  Guarded(u"FormMenuRemove", [&] {
    if (index < kFixedMenuItems || !m_sysMnu.Exists(index)) return;
    const bool wasLast = index == m_sysMnu.UBound();
    m_sysMnu.Unload(index);
    // A separator must not be left at the end with nothing after it.
    const PopupMenu::Item* before = m_sysMnu.At(index - 1);
    if (wasLast && index - 1 >= kFixedMenuItems && before && before->caption == u"-") {
      m_sysMnu.Unload(index - 1);
    }
  });
}

skForms::MenuValue skForms::GetMenuItemValue(int index, int property) const {
  const PopupMenu::Item* item = m_sysMnu.At(index);
  if (!item) return {};
  switch (property) {
    case kPartCaption: return item->caption;
    case kPartEnabled: return item->enabled;
    case kPartChecked: return item->checked;
    case kPartVisible: return item->visible;
    default: return {};
  }
}

void skForms::SetskFormsMenuCaption(int index, std::u16string_view caption) {
  Guarded(u"SetskFormsMenuCaption", [&] {
    if (caption.empty()) return;
    if (index < 0 || index > kItemOnTop || index == kItemSeparatorBeforeClose ||
        index == kItemSeparatorBeforeOnTop) {
      return;
    }
    m_captionTable[index] = std::u16string(caption);
    m_sysMnu.At(index)->caption = std::u16string(caption);
    // Close and minimise name their buttons too.
    if (index == kItemClose) {
      m_sysMnu.At(index)->caption += kCloseShortcut;
      m_layout.slots[kSlotClose].toolTip = std::u16string(caption);
    } else if (index == kItemMinimise) {
      m_layout.slots[kSlotMin].toolTip = std::u16string(caption);
    }
  });
}

void skForms::SetAlwaysOnTop(bool flag) {
  Guarded(u"SetAlwaysOnTop", [&] {
    Form* host = m_hostForm ? m_hostForm : ParentForm();
    if (host && host->hWnd()) {
      SetWindowPos(host->hWnd(), flag ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    }
    m_sysMnu.At(kItemOnTop)->checked = flag;
  });
}

void skForms::ShowSysMenu() {
  POINT at{};
  GetCursorPos(&at);
  const int chosen = m_sysMnu.Show(hWnd(), at);
  if (chosen >= 0) MenuItemChosen(chosen);
}

void skForms::ShowSysMenuFromKeyboard() {
  POINT at{2, m_layout.topHeight};
  ClientToScreen(hWnd(), &at);
  const int chosen = m_sysMnu.Show(hWnd(), at);
  if (chosen >= 0) MenuItemChosen(chosen);
}

void skForms::MenuItemChosen(int index) {
  switch (index) {
    case kItemRestore:
    case kItemMaximise:
      skWindowState(false);
      NotifySlotChanged(kSlotMax);
      break;
    case kItemMove:
      m_keyboardMoveMode = true;
      BeginKeyboardMoveSize();
      break;
    case kItemSize:
      m_keyboardMoveMode = false;
      BeginKeyboardMoveSize();
      break;
    case kItemMinimise: MinimiseHost(); break;
    case kItemClose: CloseHost(/*raiseEvent=*/false); break;
    case kItemOnTop: SetAlwaysOnTop(!m_sysMnu.At(kItemOnTop)->checked); break;
    default:
      if (index > kItemOnTop && MenuItemSelected) {
        const PopupMenu::Item* item = m_sysMnu.At(index);
        Raise(u"MenuItemSelected", MenuItemSelected, static_cast<int16_t>(index),
              item ? item->caption : std::u16string());
      }
      break;
  }
}

// The pointer is put where a move (just below the top of the host) or a size
// (the middle of the host) would start; the next press ends it.
void skForms::BeginKeyboardMoveSize() {
  Form* host = m_hostForm;
  if (!host) return;
  SetCapture(hWnd());
  const double px = TwipsPerPixelX();
  const double py = TwipsPerPixelY();
  const int x = RoundHalfEven((host->Width() / 2.0 + host->Left()) / px);
  const int y = m_keyboardMoveMode
                    ? RoundHalfEven((host->Top() + kMoveGrabBelowTop) / py)
                    : RoundHalfEven((host->Height() / 2.0 + host->Top()) / py);
  POINT now{};
  GetCursorPos(&now);
  SetCursorPos(x, now.y);
  SetCursorPos(x, y);
  host->SetMousePointer(kPointerSize);  // the four-way size pointer
  ShowPointer();
}

void skForms::ShowPointer() {
  HWND self = hWnd();
  if (!self || GetCapture() != self) return;
  if (MousePointer() != kPointerDefault) {
    // The frame's own pointer, as its set-cursor answer gives it.
    SendMessageW(self, WM_SETCURSOR, reinterpret_cast<WPARAM>(self),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return;
  }
  const LPCWSTR host = m_hostForm ? StandardCursorId(m_hostForm->MousePointer()) : nullptr;
  SetCursor(LoadCursorW(nullptr, host ? host : IDC_ARROW));
}

// -- Grips and the host's controls

void skForms::CreateGrips() {
  Form* host = m_hostForm;
  if (!host || !Ambient().userMode) return;
  auto make = [&](const char16_t* name) -> PictureBox* {
    // Any size will do: PlaceGrips gives them theirs.
    auto* grip = host->Add<PictureBox>(name, nullptr, 0, 0, 45, 45);
    if (!grip) return nullptr;
    grip->SetBorderStyle(0);  // a plain box
    grip->SetAccessibleRole(ROLE_SYSTEM_GRIP);  // read as what it is, not as a picture
    grip->SetBackColor(Colour(m_draw.dark));
    grip->ZOrder(kZOrderFront);
    grip->MouseDown = [this, grip](int, int, float, float) {
      if (!HostMaximised()) m_sizingMode = grip->MousePointer();
    };
    grip->MouseUp = [this](int, int, float, float) { m_sizingMode = 0; };
    grip->MouseMove = [this, grip](int b, int sh, float x, float y) {
      Guarded(u"m_picGrip_MouseMove", [&] { GripMouseMove(*grip, b, sh, x, y); });
    };
    return grip;
  };
  m_gripRight = make(u"m_picRight");
  m_gripBottom = make(u"m_picBottom");
  PlaceGrips();
}

// Along the right edge below the top area, and along the bottom edge.
void skForms::PlaceGrips() {
  Form* host = m_hostForm;
  if (!host) return;
  const int32_t w = host->ScaleWidth();
  const int32_t h = host->ScaleHeight();
  const int t = m_layout.topHeight;
  auto twipsX = [this](double pixels) { return RoundHalfEven(pixels * TwipsPerPixelX()); };
  auto twipsY = [this](double pixels) { return RoundHalfEven(pixels * TwipsPerPixelY()); };
  const int inset = Scaled(kGripInset), thickness = Scaled(kGripThickness);
  if (m_gripRight) {
    m_gripRight->Move(w - twipsX(inset), twipsY(t + Scaled(9)), twipsX(thickness),
                      std::max(0, h - twipsY(t + Scaled(10))));
  }
  if (m_gripBottom) {
    m_gripBottom->Move(twipsX(inset), h - twipsY(inset), std::max(0, w - twipsX(2 * inset)),
                       twipsY(thickness));
  }
  for (PictureBox* grip : {m_gripRight, m_gripBottom}) {
    if (!grip) continue;
    grip->SetBackColor(Colour(m_draw.dark));
    grip->Refresh();
  }
}

// A sizable frame's grip shows which way it sizes: both ways near the corner,
// else across its edge. A drag that began on it goes on as the frame's own.
void skForms::GripMouseMove(PictureBox& grip, int button, int shift, float x, float y) {
  const bool right = &grip == m_gripRight;
  if (HostMaximised()) {
    grip.SetMousePointer(kPointerDefault);
  } else if (m_settings.borderStyle == kBorderSizable) {
    // In grip coordinates: the last 11 pixels or so before the frame's
    // bottom-right corner, 96-dpi pixels scaled like the grips themselves.
    if (right) {
      grip.SetMousePointer(y >= ScaleHeight() - m_layout.topHeight - Scaled(20) ? kPointerSizeNWSE
                                                                         : kPointerSizeWE);
    } else {
      grip.SetMousePointer(x > ScaleWidth() - Scaled(15) ? kPointerSizeNWSE : kPointerSizeNS);
    }
  }
  if (m_sizingMode == 0) return;
  const float cx = static_cast<float>(grip.Left() / TwipsPerPixelX()) + x;
  const float cy = static_cast<float>(grip.Top() / TwipsPerPixelY()) + y;
  OnMouseMove(button, shift, cx, cy);
}

// The host's controls take the frame's background, except those on the window
// colour and the grips.
void skForms::ChangeHostBackgrounds() {
  Form* host = ParentForm();
  if (!host) return;
  Colour back = kButtonFace;
  if (m_settings.backColorStyle == kBackTheme) back = Colour(m_draw.light);
  if (m_settings.backColorStyle == kBackCustom) back = m_settings.customBackColor;
  const int32_t rgb = TranslateColor(back);
  if (rgb < 0) return;
  const Colour colour(static_cast<uint32_t>(rgb));
  for (const auto& control : host->Controls()) {
    Control* c = control.get();
    if (c == this || c == m_gripRight || c == m_gripBottom) continue;
    const std::optional<Colour> now = c->BackColorValue();
    if (!now || *now == kWindowColour || *now == colour) continue;
    c->SetBackColorValue(colour);
  }
}

void skForms::ShiftContents(int pixels) {
  Form* host = ParentForm();
  if (!host || pixels == 0) return;
  const int32_t dy = RoundHalfEven(pixels * TwipsPerPixelY());
  if (HostMaximised()) {
    m_restoreRect.height += dy;
    host->Move(host->Left(), host->Top(), host->Width(), host->Height() + dy);
  }
  for (const auto& control : host->Controls()) {
    Control* c = control.get();
    if (c->Container() == this) c->Move(c->Left(), c->Top() + dy, c->Width(), c->Height());
  }
}

void RegisterSkForms() {
  RegisterControlKind(u"skForms", [] { return std::make_unique<skForms>(); });
}

}  // namespace fw

namespace fw {

// -- Assistive technology

std::vector<int> skForms::SlotsLeftToRight() const {
  std::vector<int> slots;
  for (int slot : {kSlotMin, kSlotMax, kSlotClose}) {
    if (m_layout.slots[slot].visible) slots.push_back(slot);
  }
  return slots;
}

int skForms::PartOfSlot(int slot) const {
  const std::vector<int> slots = SlotsLeftToRight();
  const auto at = std::find(slots.begin(), slots.end(), slot);
  return at == slots.end() ? -1 : static_cast<int>(at - slots.begin()) + 1;
}

std::u16string skForms::CaptionButtonName(int slot) const {
  switch (slot) {
    case kSlotClose: return CommandName(m_captionTable[kItemClose]);
    case kSlotMax:
      return CommandName(m_captionTable[HostMaximised() ? kItemRestore : kItemMaximise]);
    case kSlotMin: return CommandName(m_captionTable[kItemMinimise]);
    default: return {};
  }
}

void skForms::NotifySlotChanged(int slot) const {
  const int part = PartOfSlot(slot);
  if (!hWnd() || part < 0) return;
  NotifyAccessibleNameChange(part);
  NotifyAccessibleStateChange(part);
}

int skForms::OnAccessiblePartCount() const {
  return 1 + static_cast<int>(SlotsLeftToRight().size());
}

void skForms::OnAccessiblePart(int part, AccessibleItem& item) const {
  HWND self = hWnd();
  const long hidden = self && IsWindowVisible(self) ? 0 : STATE_SYSTEM_INVISIBLE;
  RECT rc{};
  if (part == 0) {
    item.role = ROLE_SYSTEM_TITLEBAR;
    item.name = m_captionText;
    item.state = hidden;
    rc = {0, 0, ScaleWidth(), m_layout.topHeight};
  } else {
    const std::vector<int> slots = SlotsLeftToRight();
    if (part < 1 || part > static_cast<int>(slots.size())) return;
    const int slot = slots[static_cast<size_t>(part - 1)];
    const ButtonSlot& s = m_layout.slots[slot];
    item.role = ROLE_SYSTEM_PUSHBUTTON;
    item.name = CaptionButtonName(slot);
    item.defaultAction = std::u16string(kPressVerb);
    long state = hidden;
    if (m_pressedButton == slot) state |= STATE_SYSTEM_PRESSED;
    if (m_litButton == slot) state |= STATE_SYSTEM_HOTTRACKED;
    item.state = state;
    rc = {s.left, s.top, s.left + s.width, s.top + s.height};
  }
  if (self) MapWindowPoints(self, nullptr, reinterpret_cast<POINT*>(&rc), 2);
  item.location = rc;
}

bool skForms::OnAccessibleDefaultAction(int part) {
  const std::vector<int> slots = SlotsLeftToRight();
  if (part < 1 || part > static_cast<int>(slots.size()) || !hWnd()) return false;
  return PostMessageW(hWnd(), kWmPressCaptionButton,
                      static_cast<WPARAM>(slots[static_cast<size_t>(part - 1)]), 0) != FALSE;
}

bool skForms::OnMessage(UINT msg, WPARAM w, LPARAM, LRESULT& result) {
  if (msg != kWmPressCaptionButton) return false;
  result = 0;
  const int slot = static_cast<int>(w);
  // Hidden since the tool asked: nothing to press.
  if (slot < 0 || slot >= kSlotCount || !m_layout.slots[slot].visible) return true;
  Guarded(u"AccessiblePress", [&] { PressCaptionButton(slot); });
  return true;
}

}  // namespace fw
