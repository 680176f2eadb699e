#include "controls/skForms/skForms.h"

#include <uxtheme.h>

#include <algorithm>
#include <exception>

#include "controls/skForms/skFormsDraw.h"
#include "host/ColourWin.h"
#include "host/Form.h"
#include "host/Gdi.h"
#include "host/Numeric.h"
#include "host/PictureBox.h"
#include "host/WideText.h"

namespace fw {

using namespace skforms;

namespace {

constexpr COLORREF kButtonFace = 0x8000000Fu;
constexpr int kLookNormal = 0;
constexpr int kLookHover = 1;
constexpr int kLookPressed = 2;
constexpr int kKeyF4 = 115;
// Menu items by role.
constexpr int kItemRestore = 0;
constexpr int kItemMove = 1;
constexpr int kItemSize = 2;
constexpr int kItemMinimise = 3;
constexpr int kItemMaximise = 4;
constexpr int kItemClose = 6;
constexpr int kItemOnTop = 8;
// The smallest pointer position a grip drag follows (the host stays 5 more).
constexpr int kMinSizingX = 130;
constexpr int kMinSizingExtraY = 15;
constexpr COLORREF kWindowColour = 0x80000005u;
// DrawText: single line, vertically centred.
constexpr UINT kCaptionFlags = 36;

skforms::VisualStyle PlatformVisualStyle(HWND hwnd) {
  skforms::VisualStyle v;
  if (HTHEME theme = OpenThemeData(hwnd, L"ExplorerBar")) {
    v.opened = true;
    wchar_t file[260] = {};
    wchar_t colour[260] = {};
    if (SUCCEEDED(GetCurrentThemeName(file, 260, colour, 260, nullptr, 0))) {
      v.colourName = FromWide(std::wstring(colour, wcsnlen(colour, 260)));
    }
    CloseThemeData(theme);
  }
  v.appThemed = IsAppThemed() != FALSE;
  return v;
}

skForms::VisualStyleQuery& VisualStyleSource() {
  static skForms::VisualStyleQuery query;
  return query;
}

std::u16string EnglishLanguageName() {
  wchar_t name[128] = {};
  const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, name, 128);
  return n > 1 ? FromWide(std::wstring(name, static_cast<size_t>(n - 1))) : std::u16string();
}

bool NtFamily() {
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL ok = GetVersionExW(&v);
#pragma GCC diagnostic pop
  return !ok || v.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace

// -- Failures

void skForms::ReportFailure(std::u16string_view, const char*) noexcept {
  // The frame never troubles the user with its own failures.
}

template <typename Fn>
void skForms::Guarded(std::u16string_view procedure, Fn&& fn) noexcept {
  try {
    fn();
  } catch (const std::exception& e) {
    ReportFailure(procedure, e.what());
  } catch (...) {
    ReportFailure(procedure, "");
  }
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
  m_isUnicodeText = NtFamily();
  // The pointer over a caption button: the platform's hand.
  if (HCURSOR hand = LoadCursorW(nullptr, IDC_HAND)) {
    SetMouseIcon(Picture::FromIcon(unique_hicon(CopyIcon(hand))));
  }
}

// A new frame placed on a form.
void skForms::OnInitProperties() {
  Guarded(u"UserControl_InitProperties", [&] {
    Form* host = ParentForm();
    const Colour face(static_cast<uint32_t>(TranslateColor(Colour(kButtonFace))));
    // 1. Colours.
    m_settings = NewFrameSettings(face);
    m_settings.colorFrom = Colour(static_cast<uint32_t>(TranslateColor(m_settings.colorFrom)));
    m_settings.colorTo = Colour(static_cast<uint32_t>(TranslateColor(m_settings.colorTo)));
    SetThemeColor();
    // 2. Sizes and flags (already the new frame's settings).
    m_titleHeight = 30;
    // 3. What the host says of itself.
    if (host) {
      m_captionText = host->Caption();
      m_moveable = host->Moveable();
    }
    // 4. Menu captions by locale.
    TakeLocaleCaptions();
    // 5. Background and font.
    SetBackColor(Colour(kButtonFace));
    TakeAmbientFontBold();
    m_contentShifted = m_settings.style == 1;
    // 6. The host form: no border of its own, in the task bar, both boxes, normal.
    if (host) {
      host->SetBorderStyle(0);
      host->SetShowInTaskbar(true);
      host->SetMaxButton(true);
      host->SetMinButton(true);
      host->SetWindowState(0);
    }
    // 7. Over the host's client area, docked at its top.
    StretchOverHost();
    SetAlign(1);
    // 8.
    BorderStyleSetup();
  });
  // Placed by code in a running program: it starts as a loaded frame does.
  if (Ambient().userMode) Guarded(u"UserControl_InitProperties", [&] { LoadSteps(); });
}

void skForms::OnReadProperties(const PropertyStore& props) {
  Guarded(u"UserControl_ReadProperties", [&] {
    const Colour face(static_cast<uint32_t>(TranslateColor(Colour(kButtonFace))));
    m_settings = ReadSettings(props, face);
    TakeLocaleCaptions();
    SetThemeColor();
  });
  Guarded(u"UserControl_ReadProperties", [&] { LoadSteps(); });
}

void skForms::OnWriteProperties(PropertyStore& props) {
  Guarded(u"UserControl_WriteProperties", [&] {
    const Colour face(static_cast<uint32_t>(TranslateColor(Colour(kButtonFace))));
    WriteSettings(props, m_settings, face);
  });
}

// Loading, steps 2 to 9.
void skForms::LoadSteps() {
  Form* host = ParentForm();
  // 2.
  if (!m_settings.maxButton) m_settings.windowState = 0;
  // 3.
  if (host) {
    m_captionText = host->Caption();
    host->SetWindowState(0);
  }
  m_hostForm = host;
  m_activationTracking = true;
  m_pressedButton = -1;
  m_menuPopupOn = false;
  // 4. The contained controls were placed under the top area this font and icon
  // size give, so they already sit at their distance from it: nothing moves.
  m_contentShifted = m_settings.style == 1;
  // 5.
  ApplyBackColorStyle();
  TakeAmbientFontBold();
  TitleBarHeightSetup();
  // 6. The host's outer size: the same as its client area once its border is gone.
  if (host) {
    Move(0, 0, host->Width(), host->Height());
    TakeRestoreRect();
  }
  // 7.
  BorderStyleSetup();
  // 8.
  if (m_settings.windowState == 1) {
    m_litButton = -1;
    if (host) host->SetWindowState(1);
  }
  // 9.
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
  host->SetBorderStyle(0);
  StretchOverHost();
}

void skForms::zHookProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND hWnd, UINT uMsg,
                        WPARAM wParam, LPARAM lParam, LONG_PTR&) {
  Guarded(u"zHookProc", [&] {
    if (hWnd == this->hWnd()) {
      if (m_hover.OnMessage(hWnd, uMsg) == HoverChange::kLeft) {
        Cls();
        DrawTitleBar();
      }
      return;
    }
    switch (uMsg) {
      case WM_ACTIVATE:
        if (!m_activationTracking) return;
        m_isActive = LOWORD(wParam) != WA_INACTIVE;
        SetThemeColor();
        Refresh(false);
        break;
      case WM_SYSCOLORCHANGE:
        SetThemeColor();
        Refresh(true);
        break;
      case WM_SYSCOMMAND:
        if (bBefore && (wParam & 0xFFF0) == SC_CLOSE) {
          bHandled = true;
          lReturn = 0;
          AltF4();
        }
        break;
      case WM_SETCURSOR:
        StretchOverHost();
        if (m_settings.windowState == 0) TakeRestoreRect();
        break;
      case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) StretchOverHost();
        break;
      case WM_MOVE: HostMoved(); break;
      default: break;
    }
  });
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
  Guarded(u"Style", [&] {
    if (value == 1 && !m_contentShifted) {
      m_contentShifted = true;
      ShiftContents(10);
    } else if (value != 1 && m_contentShifted) {
      m_contentShifted = false;
      ShiftContents(-10);
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

void skForms::SetColorFrom(Colour value) {
  const uint32_t rgb = static_cast<uint32_t>(TranslateColor(value));
  m_settings.colorFrom = Colour(rgb);
  if (m_settings.themeColor == kThemeCustom) m_draw.dark = rgb;
  PropertyChanged(u"ColorFrom");
  Refresh(false);
}

void skForms::SetColorTo(Colour value) {
  const uint32_t rgb = static_cast<uint32_t>(TranslateColor(value));
  m_settings.colorTo = Colour(rgb);
  if (m_settings.themeColor == kThemeCustom) m_draw.light = rgb;
  PropertyChanged(u"ColorTo");
  Refresh(false);
}

void skForms::SetIconSize(int16_t value) {
  if (value == m_settings.iconSize) return;
  m_settings.iconSize = value;
  PropertyChanged(u"IconSize");
  const int oldTop = m_topHeight;
  TitleBarHeightSetup();
  // The contained controls keep their distance from the top area.
  Guarded(u"IconSize", [&] { ShiftContents(m_topHeight - oldTop); });
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

void skForms::TitleBarHeightSetup() {
  m_titleHeight = TitleHeightFor(TextHeight(u"H"), m_settings.iconSize);
  m_topHeight = TopHeightFor(m_titleHeight, m_settings.style);
}

void skForms::BorderStyleSetup() {
  Guarded(u"BorderStyleSetup", [&] {
    // 1.
    if (!Ambient().userMode) {
      if (Form* host = ParentForm()) {
        host->SetBorderStyle(0);
        host->SetShowInTaskbar(true);
      }
    }
    // 2.
    if (HostMaximised()) SetMenuEnabled(kItemRestore, m_settings.maxButton);
    SetMenuEnabled(kItemClose, m_settings.closeButton);
    // 3.
    m_slots[kSlotClose].visible = m_settings.closeButton;
    m_slots[kSlotMax].visible = m_settings.maxButton;
    m_slots[kSlotMin].visible = m_settings.minButton;
    m_leftmostButton = skforms::LeftmostButton(m_slots, m_leftmostButton);
    // 4.
    CaptionBtnSetup();
    DrawTitleBarInitial();
    if (Ambient().userMode) DrawTitleBar();
  });
}

void skForms::CaptionBtnSetup() {
  // 1.
  LayOutButtons(m_slots, ScaleWidth());
  // 2.
  const auto& captions = m_captionTable;
  for (int i : {0, 1, 2, 3, 4, 6, 8}) {
    if (PopupMenu::Item* item = m_sysMnu.At(i)) item->caption = captions[i];
  }
  // 3.
  m_slots[kSlotMin].toolTip = FirstChars(m_sysMnu.At(kItemMinimise)->caption, 3);
  m_slots[kSlotClose].toolTip = FirstChars(captions[6], 2);
  // 4. The popup shows move, close and always on top.
  for (int i : {kItemMinimise, kItemMaximise, kItemRestore, kItemSize}) {
    m_sysMnu.At(i)->visible = false;
  }
}

void skForms::ApplyBackColorStyle() {
  switch (m_settings.backColorStyle) {
    case kBackTheme: SetBackColor(Colour(m_draw.light)); break;
    case kBackCustom: SetBackColor(m_settings.customBackColor); break;
    default: SetBackColor(Colour(kButtonFace)); break;
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
  return m_settings.windowState == 2 || (host && host->WindowState() == 2);
}

// The frame maximises by covering the work area itself, not through the
// platform's maximised state, and comes back to the restore rectangle.
void skForms::skWindowState(bool apply) {
  Form* host = m_hostForm ? m_hostForm : ParentForm();
  if (!host) return;
  const int32_t state = m_settings.windowState;
  if (state == 1) {
    m_litButton = -1;
    host->SetWindowState(1);
    return;
  }
  if (state == 2 && apply) {
    EnableMenuForMaximised(true);
    FitToWorkArea();
  } else if (state == 2) {
    m_settings.windowState = 0;
    EnableMenuForMaximised(false);
    PlaceFromRestoreRect();
  } else if (apply) {
    EnableMenuForMaximised(false);
    PlaceFromRestoreRect();
  } else {
    m_settings.windowState = 2;
    EnableMenuForMaximised(true);
    FitToWorkArea();
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
  if (m_fitting || m_settings.windowState != 2 || !m_settings.maxButton || GripsCreated()) return;
  EnableMenuForMaximised(true);
  FitToWorkArea();
  StretchOverHost();
}

void skForms::FitToWorkArea() {
  Form* host = ParentForm();
  if (!host || host->WindowState() == 2) return;
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

void skForms::PlaceFromRestoreRect() {
  Form* host = ParentForm();
  if (!host) return;
  const RestoreRect& r = m_restoreRect;
  if (host->WindowState() == 2) {
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
    // 1.
    Cls();
    // 2.
    if (m_settings.changeAllBackgrounds) ChangeHostBackgrounds();
    // 3.
    DrawTitleBar();
    HWND self = hWnd();
    Raise(u"ReSize", ReSize);
    // 4.
    if (IsWindow(self) && GripsCreated()) PlaceGrips();
  });
}

void skForms::DrawTitleBarInitial() {
  Guarded(u"DrawTitleBarInitial", [&] {
    if (!hWnd()) return;
    HDC dc = hDC();
    // 1.
    Form* host = ParentForm();
    m_hostIcon.reset();
    if (host && host->Icon() && host->Icon()->Handle()) m_hostIcon = host->Icon();
    m_paintedWidth = m_hostIcon ? ScaleWidth() - 1 : 0;
    // The top area follows the style it is drawn for.
    m_topHeight = TopHeightFor(m_titleHeight, m_settings.style);
    // 2.
    ClearBackgroundPicture();
    Cls();
    // 3.
    PaintTitleBands(dc, m_settings.style, m_topHeight, -1, m_paintedWidth + 2, m_draw.dark,
                    m_draw.light, /*outlineStyle0=*/true);
    // 4.
    if (m_hostIcon) {
      const int size = m_settings.iconSize;
      m_hostIcon->Render(dc, 6, IconTopFor(m_topHeight, size, m_settings.style), size, size);
    }
    // 5.
    KeepImageAsBackground();
  });
}

void skForms::DrawTitleBar() {
  Guarded(u"DrawTitleBar", [&] {
    if (!hWnd()) return;
    HDC dc = hDC();
    const int w = ScaleWidth();
    const int h = ScaleHeight();
    const uint32_t dark = m_draw.dark;
    const uint32_t darker = Half(dark, kBlack);
    // 1. The lefts first (step 5's rule), so the caption stops at this width's buttons.
    LayOutButtons(m_slots, w);
    const int buttonHeight = m_slots[kSlotClose].visible ? m_slots[kSlotClose].height
                                                         : kNoCloseButtonHeight;
    int limit = w;
    for (const ButtonSlot& s : m_slots) {
      if (s.visible) limit = std::min(limit, s.left);
    }
    // 2.
    if (w > m_paintedWidth + 1) {
      m_topHeight = TopHeightFor(m_titleHeight, m_settings.style);
      PaintTitleBands(dc, m_settings.style, m_topHeight, m_paintedWidth, w + 1, dark, m_draw.light,
                      /*outlineStyle0=*/false);
    }
    const int t = m_topHeight;
    // 3.
    Rect caption = CaptionRectFor(m_settings.style, t, limit, false, 0);
    if (m_settings.style == 1) PaintShpInBar(m_draw.light, darker, 7);
    m_buttonTop = ButtonTopFor(t, buttonHeight, m_settings.style);
    // 4.
    ApiRectangle(dc, 0, t + 1, w - 1, h - t - 2, dark);
    ApiRectangle(dc, 1, t + 1, w - 3, h - t - 3, dark);
    ApiRectangle(dc, 2, t + 1, w - 5, h - t - 4, darker);
    // 5.
    for (ButtonSlot& s : m_slots) {
      if (s.visible) s.top = m_buttonTop + 2;
    }
    // 6.
    if (m_settings.titleBarShadow) {
      const int32_t back = TranslateColor(BackColor());
      const uint32_t b = back < 0 ? 0u : static_cast<uint32_t>(back);
      DrawGradientInRectangle(dc, b, Half(b, kBlack), 3, t, w - 6, 8, 0, false, 0, 0);
      APILineEx(dc, -1, t, w + 1, t, dark);
      APILineEx(dc, 5, t, w - 5, t, darker);
    } else if (m_settings.style != 0) {
      APILineEx(dc, -1, t, w + 1, t, dark);
    }
    // 7.
    for (auto [x, y] : {std::pair{2, t + 1}, {2, t + 2}, {3, t + 1}, {w - 3, t + 1}, {w - 3, t + 2},
                        {w - 4, t + 1}}) {
      SetPixelV(dc, x, y, dark);
    }
    for (auto [x, y] : {std::pair{4, t + 1}, {3, t + 2}, {w - 5, t + 1}, {w - 4, t + 2}}) {
      SetPixelV(dc, x, y, darker);
    }
    // 8.
    if (m_hostIcon) caption = CaptionRectFor(m_settings.style, t, limit, true, m_settings.iconSize);
    m_captionRect = caption;
    // 9.
    if (Ambient().userMode) {
      if (Form* host = ParentForm()) {
        const std::u16string hostCaption = host->Caption();
        if (!hostCaption.empty() && hostCaption != m_captionText) m_captionText = hostCaption;
      }
    }
    // 10.
    m_drawnCaption.clear();
    if (!m_captionText.empty()) {
      m_drawnCaption = TrimWord(m_captionText, caption.right - caption.left);
      RECT rc{caption.left, caption.top, caption.right, caption.bottom};
      SetTextColor(dc, m_draw.light);
      DrawTextAuto(dc, m_drawnCaption, rc, kCaptionFlags);
      if (m_settings.style != 2 && m_settings.style != 5) {
        OffsetRect(&rc, -1, -1);
        SetTextColor(dc, darker);
        DrawTextAuto(dc, m_drawnCaption, rc, kCaptionFlags);
      }
      SetTextColor(dc, ToColorRef(ForeColor()));
    }
    // 11.
    PaintCaptionBtns(-1);
  });
}

void skForms::PaintShpInBar(uint32_t a, uint32_t b, int h) {
  const int w = ScaleWidth();
  const int x0 = RoundHalfEven((w - 18 - 16) / 2.0);
  const int y0 = RoundHalfEven((h - 2) / 2.0);
  for (int i = 0; i <= 8; ++i) {
    ApiRectangle(hDC(), x0 + 4 * i + 1, y0 + 1, 1, 1, a);
    ApiRectangle(hDC(), x0 + 4 * i, y0, 1, 1, b);
  }
}

std::u16string skForms::TrimWord(std::u16string_view text, int width) const {
  return skforms::TrimWord(text, width, [this](std::u16string_view s) { return TextWidth(s); });
}

void skForms::DrawTextAuto(HDC dc, std::u16string_view text, RECT& rc, UINT flags) const {
  if (m_isUnicodeText) {
    const std::wstring wide = ToWide(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rc, flags);
    return;
  }
  // The 8-bit form in the system's code page; what it cannot hold shows as its
  // default character.
  const std::wstring wide = ToWide(text);
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(std::max(n, 0)), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), narrow.data(), n,
                      nullptr, nullptr);
  DrawTextA(dc, narrow.c_str(), n, &rc, flags);
}

// -- Caption buttons

void skForms::DrawCaptionBtns(int look, uint32_t colour, int slot) {
  Guarded(u"DrawCaptionBtns", [&] {
    if (!hWnd()) return;
    if (slot == -1) {
      for (int i = 0; i < kSlotCount; ++i) {
        if (m_slots[i].visible) DrawOneButton(look, colour, i);
      }
    } else if (slot >= 0 && slot < kSlotCount && m_slots[slot].visible) {
      DrawOneButton(look, colour, slot);
    }
    UserControl::Refresh();
  });
}

void skForms::DrawOneButton(int look, uint32_t c, int slot) {
  HDC dc = hDC();
  const ButtonSlot& s = m_slots[slot];
  int l = s.left;
  int t = s.top;
  const int w = s.width;
  const int h = s.height;
  const int style = m_settings.style;
  const uint32_t o = (style == 2 || style == 5) ? kBlack : Half(m_draw.dark, kBlack);
  auto outline = [&] {
    APILineEx(dc, l + 1, t, l + w, t, o);
    APILineEx(dc, l, t + 1, l, t + h, o);
    APILineEx(dc, l + 1, t + h, l + w, t + h, o);
    APILineEx(dc, l + w, t + 1, l + w, t + h, o);
  };
  if (look == kLookHover) {
    DrawGradientInRectangle(dc, Half(c, kWhite), kWhite, l + 1, t, w - 1, h, 2, false, 0, 2.01);
    outline();
    if (slot == kSlotMax) {
      m_slots[kSlotMax].toolTip = HostMaximised()
                                      ? FirstChars(m_sysMnu.At(kItemRestore)->caption, 2) + u" "
                                      : FirstChars(m_sysMnu.At(kItemMaximise)->caption, 3);
    }
  } else {
    // The pressed and the normal look start from the title background over the
    // button's columns, so that a hover face it had goes; every button drawn
    // gets it, also when all are drawn just after the title bar.
    PaintTitleBands(dc, style, m_topHeight, l - 1, w + 4, m_draw.dark, m_draw.light, false);
    if (look == kLookPressed) {
      ++l;
      ++t;
      DrawGradientInRectangle(dc, Half(m_draw.dark, kWhite), kWhite, l + 1, t + 1, w, h, 2, false,
                              0, 2.01);
      outline();
    }
  }
  // Styles 2 and 5 put the glyphs of the normal look on a band solid in the dark
  // colour: there they take the light colour their caption is drawn in, or the
  // buttons could not be seen until the pointer found them.
  if (look == kLookNormal && (style == 2 || style == 5)) c = m_draw.light;
  DrawGlyph(dc, slot, l, t, c);
}

void skForms::DrawGlyph(HDC dc, int slot, int l, int t, uint32_t c) const {
  auto line = [&](int x1, int y1, int x2, int y2) { APILineEx(dc, x1, y1, x2, y2, c); };
  switch (slot) {
    case kSlotClose:
      line(l + 6, t + 5, l + 14, t + 13);
      line(l + 5, t + 5, l + 14, t + 14);
      line(l + 5, t + 6, l + 13, t + 14);
      line(l + 5, t + 12, l + 13, t + 4);
      line(l + 5, t + 13, l + 14, t + 4);
      line(l + 6, t + 13, l + 14, t + 5);
      break;
    case kSlotMax:
      if (HostMaximised()) {
        line(l + 7, t + 5, l + 7, t + 8);
        line(l + 7, t + 5, l + 16, t + 5);
        line(l + 7, t + 4, l + 16, t + 4);
        line(l + 15, t + 4, l + 15, t + 11);
        line(l + 15, t + 11, l + 11, t + 11);
        line(l + 3, t + 9, l + 11, t + 9);
        ApiRectangle(dc, l + 3, t + 8, 8, 7, c);
      } else {
        line(l + 4, t + 5, l + 15, t + 5);
        ApiRectangle(dc, l + 4, t + 6, 10, 8, c);
      }
      break;
    case kSlotMin:
      line(l + 5, t + 11, l + 14, t + 11);
      line(l + 5, t + 12, l + 14, t + 12);
      line(l + 5, t + 13, l + 14, t + 13);
      break;
    default: break;
  }
}

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
    if (m_slots[i].visible) DrawCaptionBtns(i == slot ? kLookHover : kLookNormal, m_draw.dark, i);
  }
}

void skForms::SetControlToolTip(const std::u16string& text) {
  if (ToolTipText() != text) SetToolTipText(text);
}

void skForms::OnMouseMove(int button, int shift, float x, float y) {
  HWND self = hWnd();
  Raise(u"MouseMove", MouseMove, button, shift, x, y);
  if (!IsWindow(self)) return;
  Guarded(u"UserControl_MouseMove", [&] {
    // 1.
    if (!GripsCreated()) CreateGrips();
    // 2.
    m_inTitle = y < m_topHeight;
    m_hoverButton = HitCaptionButton(m_slots, x, y);
    if (m_hoverButton != -1) {
      SetControlToolTip(m_slots[m_hoverButton].toolTip);
      if (m_litButton != m_hoverButton) {
        if (m_litButton != -1) DrawCaptionBtns(kLookNormal, m_draw.dark, m_litButton);
        if (m_pressedButton == -1) {
          DrawCaptionBtns(kLookHover, m_draw.dark, m_hoverButton);
        } else if (m_pressedButton == m_hoverButton) {
          DrawCaptionBtns(kLookPressed, m_draw.dark, m_hoverButton);
        }
        SetMousePointer(kPointerCustom);
        ShowPointer();
        m_litButton = m_hoverButton;
      }
    } else {
      SetControlToolTip(u"");
      if (m_litButton != -1) {
        SetMousePointer(kPointerDefault);
        ShowPointer();
        DrawCaptionBtns(kLookNormal, m_draw.dark, m_litButton);
        m_litButton = -1;
      }
    }
    // 3.
    if (HostMaximised()) return;
    // 4.
    if (!(button & kButtonLeft)) {
      for (PictureBox* grip : {m_gripRight, m_gripBottom}) {
        if (grip) grip->SetMousePointer(kPointerDefault);
      }
      return;
    }
    Form* host = m_hostForm;
    if (!host) return;
    // 5.
    if (m_sizingMode != 0) {
      const double px = TwipsPerPixelX();
      const double py = TwipsPerPixelY();
      const double sx = std::max<double>(x, kMinSizingX);
      const double sy = std::max<double>(y, m_topHeight + kMinSizingExtraY);
      int32_t width = host->Width();
      int32_t height = host->Height();
      if (m_sizingMode == kPointerSizeNS || m_sizingMode == kPointerSizeNWSE) {
        height = RoundHalfEven((sy + 5) * py);
      }
      if (m_sizingMode == kPointerSizeWE || m_sizingMode == kPointerSizeNWSE) {
        width = RoundHalfEven((sx + 5) * px);
      }
      host->Move(host->Left(), host->Top(), width, height);
      StretchOverHost();
      host->Refresh();
      return;
    }
    // 6.
    if (m_pressedButton == -1 && y < m_topHeight && m_moveable && x < ButtonsLeft()) {
      ReleaseCapture();
      // The platform drags the window until the button comes up, by the pointer's
      // way from where the button went down.
      SendMessageW(host->hWnd(), WM_NCLBUTTONDOWN, HTCAPTION,
                   MAKELPARAM(m_pressPoint.x, m_pressPoint.y));
      if (IsWindow(self)) TakeRestoreRect();
    }
  });
}

int skForms::ButtonsLeft() const {
  const ButtonSlot& s = m_slots[m_leftmostButton];
  return s.visible ? s.left : ScaleWidth();
}

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
    const int hit = HitCaptionButton(m_slots, x, y);
    if (hit != -1) {
      DrawCaptionBtns(kLookPressed, m_draw.dark, hit);
      m_pressedButton = hit;
    }
    // The icon opens the menu.
    if (m_menuPopupOn && y < m_topHeight && x > 2 && x < m_settings.iconSize + 8) ShowSysMenu();
  });
  if (IsWindow(self)) Raise(u"MouseDown", MouseDown, button, shift, x, y);
}

void skForms::OnMouseUp(int button, int shift, float x, float y) {
  HWND self = hWnd();
  Raise(u"MouseUp", MouseUp, button, shift, x, y);
  if (!IsWindow(self)) return;
  m_sizingMode = 0;
  Guarded(u"UserControl_MouseUp", [&] {
    if (button == kButtonRight && m_menuPopupOn && y < m_topHeight && x < ButtonsLeft()) {
      ShowSysMenu();
      return;
    }
    const int slot = m_hoverButton;
    if (button != kButtonLeft || slot == -1 || (m_pressedButton != slot && m_pressedButton != -1)) {
      return;
    }
    m_pressedButton = -1;
    switch (slot) {
      case kSlotClose: CloseHost(/*raiseEvent=*/true); break;
      case kSlotMax: skWindowState(false); break;
      case kSlotMin:
        DrawCaptionBtns(kLookNormal, m_draw.dark, m_litButton);
        m_litButton = -1;
        if (m_hostForm) m_hostForm->SetWindowState(1);
        break;
      default: break;
    }
    if (IsWindow(self)) DrawCaptionBtns(kLookHover, m_draw.dark, slot);
  });
  m_pressedButton = -1;
}

void skForms::OnDblClick() {
  if (!m_slots[kSlotMax].visible) return;
  HWND self = hWnd();
  Guarded(u"UserControl_DblClick", [&] {
    if (m_lastButton == kButtonLeft && m_inTitle) skWindowState(false);
  });
  if (IsWindow(self)) Raise(u"DblClick", DblClick);
  m_lastButton = 0;
}

void skForms::OnClick() { Raise(u"Click", Click); }

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
  if (keyCode == kKeyF4 && (shift & kAltMask)) {
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
    case 0: return item->caption;
    case 1: return item->enabled;
    case 2: return item->checked;
    case 3: return item->visible;
    default: return {};
  }
}

void skForms::SetskFormsMenuCaption(int index, std::u16string_view caption) {
  Guarded(u"SetskFormsMenuCaption", [&] {
    if (caption.empty()) return;
    if (index < 0 || index > kItemOnTop || index == 5 || index == 7) return;
    m_captionTable[index] = std::u16string(caption);
    m_sysMnu.At(index)->caption = std::u16string(caption);
    if (index == kItemClose) {
      m_sysMnu.At(index)->caption += u"            Alt+F4";
      m_slots[kSlotClose].toolTip = std::u16string(caption);
    } else if (index == kItemMinimise) {
      m_slots[kSlotMin].toolTip = std::u16string(caption);
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

void skForms::MenuItemChosen(int index) {
  switch (index) {
    case kItemRestore:
    case kItemMaximise: skWindowState(false); break;
    case kItemMove:
      m_keyboardMoveMode = true;
      BeginKeyboardMoveSize();
      break;
    case kItemSize:
      m_keyboardMoveMode = false;
      BeginKeyboardMoveSize();
      break;
    case kItemMinimise:
      DrawCaptionBtns(kLookNormal, m_draw.dark, m_litButton);
      m_litButton = -1;
      if (m_hostForm) m_hostForm->SetWindowState(1);
      break;
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

// The pointer is put where a move (below the top of the host) or a size (the
// middle of the host) would start; the next press ends it.
void skForms::BeginKeyboardMoveSize() {
  Form* host = m_hostForm;
  if (!host) return;
  SetCapture(hWnd());
  const double px = TwipsPerPixelX();
  const double py = TwipsPerPixelY();
  const int x = RoundHalfEven((host->Width() / 2.0 + host->Left()) / px);
  const int y = m_keyboardMoveMode ? RoundHalfEven((host->Top() + 240) / py)
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
    auto* grip = host->Add<PictureBox>(name, nullptr, 0, 0, 45, 45);
    if (!grip) return nullptr;
    grip->SetBorderStyle(0);
    grip->SetBackColor(Colour(m_draw.dark));
    grip->ZOrder(0);
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

void skForms::PlaceGrips() {
  Form* host = m_hostForm;
  if (!host) return;
  const double px = TwipsPerPixelX();
  const double py = TwipsPerPixelY();
  const int32_t w = host->ScaleWidth();
  const int32_t h = host->ScaleHeight();
  const int t = m_topHeight;
  auto twipsX = [&](double pixels) { return static_cast<int32_t>(RoundHalfEven(pixels * px)); };
  auto twipsY = [&](double pixels) { return static_cast<int32_t>(RoundHalfEven(pixels * py)); };
  if (m_gripRight) {
    m_gripRight->Move(w - twipsX(4), twipsY(t + 9), twipsX(3), std::max(0, h - twipsY(t + 10)));
  }
  if (m_gripBottom) {
    m_gripBottom->Move(twipsX(4), h - twipsY(4), std::max(0, w - twipsX(8)), twipsY(3));
  }
  for (PictureBox* grip : {m_gripRight, m_gripBottom}) {
    if (!grip) continue;
    grip->SetBackColor(Colour(m_draw.dark));
    grip->Refresh();
  }
}

void skForms::GripMouseMove(PictureBox& grip, int button, int shift, float x, float y) {
  const bool right = &grip == m_gripRight;
  if (HostMaximised()) {
    grip.SetMousePointer(kPointerDefault);
  } else if (m_settings.borderStyle == 1) {
    if (right) {
      grip.SetMousePointer(y >= ScaleHeight() - m_topHeight - 20 ? kPointerSizeNWSE
                                                                 : kPointerSizeWE);
    } else {
      grip.SetMousePointer(x > ScaleWidth() - 15 ? kPointerSizeNWSE : kPointerSizeNS);
    }
  }
  if (m_sizingMode == 0) return;
  const float cx = static_cast<float>(grip.Left() / TwipsPerPixelX()) + x;
  const float cy = static_cast<float>(grip.Top() / TwipsPerPixelY()) + y;
  OnMouseMove(button, shift, cx, cy);
}

void skForms::ChangeHostBackgrounds() {
  Form* host = ParentForm();
  if (!host) return;
  Colour back(kButtonFace);
  if (m_settings.backColorStyle == kBackTheme) back = Colour(m_draw.light);
  if (m_settings.backColorStyle == kBackCustom) back = m_settings.customBackColor;
  const int32_t rgb = TranslateColor(back);
  if (rgb < 0) return;
  const Colour colour(static_cast<uint32_t>(rgb));
  for (const auto& control : host->Controls()) {
    Control* c = control.get();
    if (c == this || c == m_gripRight || c == m_gripBottom) continue;
    const std::optional<Colour> now = c->BackColorValue();
    if (!now || now->value == kWindowColour || *now == colour) continue;
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
