#include "controls/skbutton/skbutton.h"

#include <oleacc.h>

#include <algorithm>
#include <string>

#include "hook/MouseLeave.h"
#include "host/ColourWin.h"
#include "host/Form.h"
#include "host/Gdi.h"
#include "host/Input.h"
#include "host/Numeric.h"
#include "host/WideText.h"

namespace fw {

using namespace skbtn;

namespace {

constexpr int32_t kMinimumTwips = 220;
// The caption the first button on a form gets from its name is not worth saving;
// a design without a caption gives the kind's name.
constexpr std::u16string_view kReadCaption = u"skbutton";
constexpr std::u16string_view kWriteCaption = u"skbutton1";

// A colour as the button stores a translated one: its value, -1 kept as all bits.
Colour Translated(Colour c) { return Colour(static_cast<uint32_t>(Translate(c))); }

}  // namespace

skbutton::skbutton() : UserControl(u"skbutton") {
  // Enter on the focused button reaches its key handler, and it may be the
  // form's default or cancel button.
  SetDefaultCancel(true);
}

skbutton::~skbutton() = default;

// -- Properties

void skbutton::SetBackColor(Colour colour) {
  m_backColor = colour;
  Redraw();
  PropertyChanged(u"BackColor");
}

void skbutton::SetButtonStyle(int32_t style) {
  m_buttonStyle = style;
  SetDefaultColors();
  BuildRegion();
  Redraw();
  PropertyChanged(u"ButtonStyle");
}

void skbutton::SetCaption(std::u16string_view caption) {
  m_caption = caption;
  SetWindowCaption(m_caption);
  DeriveAccessKey();
  Redraw();
  PropertyChanged(u"Caption");
}

void skbutton::SetCaptionAlign(int32_t align) {
  m_captionAlign = align;
  Redraw();
  PropertyChanged(u"CaptionAlign");
}

void skbutton::SetCheckBoxMode(bool mode) {
  m_checkBoxMode = mode;
  if (!mode) m_state = StateNormal;
  Redraw();
  PropertyChanged(u"Value");
  PropertyChanged(u"CheckBoxMode");
}

void skbutton::SetEnabled(bool enabled) {
  UserControl::SetEnabled(enabled);
  // A disabled window hears no pointer and gets no leave notice: its hover ends
  // here as a leave would end it, and the next entry is an entry again.
  const bool hoverEnds = !enabled && m_mouseInside;
  if (hoverEnds) {
    m_mouseInside = false;
    if (m_state == StateHot) m_state = StateNormal;
    WithdrawLeaveNotice();
  }
  Redraw();
  PropertyChanged(u"Enabled");
  if (hoverEnds && MouseLeave) MouseLeave();
}

void skbutton::SetFont(std::shared_ptr<Font> font) {
  if (!font) return;
  m_fontObject = std::move(font);
  SubscribeFont();
  RunFontChanged();
}

// A new font object and a change to the one kept end alike: the surface takes
// the font, the caption is drawn in it and "Font" is reported, once each.
void skbutton::RunFontChanged() {
  if (m_fontObject) UserControl::SetFont(m_fontObject);
  Refresh();
  Redraw();
  PropertyChanged(u"Font");
}

void skbutton::SubscribeFont() {
  m_fontChanged = m_fontObject ? m_fontObject->Subscribe([this] { RunFontChanged(); })
                               : FontSubscription{};
}

void skbutton::SetForeColor(Colour colour) {
  m_foreColor = colour;
  UserControl::SetForeColor(colour);
  OnResize();
  PropertyChanged(u"ForeColor");
}

void skbutton::SetHandPointer(bool hand) {
  // The cursor itself is loaded when the button starts running.
  m_handPointer = hand;
  PropertyChanged(u"HandPointer");
}

void skbutton::SetMaskColor(Colour colour) {
  m_maskColor = colour;
  Redraw();
  PropertyChanged(u"MaskColor");
}

void skbutton::SetMouseIcon(std::shared_ptr<Picture> icon) {
  const bool given = icon != nullptr;
  UserControl::SetMouseIcon(std::move(icon));
  UserControl::SetMousePointer(given ? kPointerCustom : kPointerDefault);
  PropertyChanged(u"MouseIcon");
}

void skbutton::SetMousePointer(int pointer) {
  UserControl::SetMousePointer(pointer);
  PropertyChanged(u"MousePointer");
}

void skbutton::SetPicture(std::shared_ptr<Picture> picture) {
  m_picture = std::move(picture);
  if (!m_picture) {
    OnResize();
    return;
  }
  Redraw();
  PropertyChanged(u"Picture");
}

void skbutton::SetPictureAlign(int32_t align) {
  m_pictureAlign = align;
  if (m_picture) Redraw();
  PropertyChanged(u"PictureAlign");
}

void skbutton::SetPictureHover(std::shared_ptr<Picture> picture) {
  if (!m_picture) {
    m_picture = picture;
    PropertyChanged(u"Picture");
  }
  m_pictureHover = std::move(picture);
  if (!m_pictureHover) {
    OnResize();
    return;
  }
  Redraw();
  PropertyChanged(u"PictureHover");
}

void skbutton::SetPictureSize(int32_t size) {
  m_pictureSize = size;
  Redraw();
  PropertyChanged(u"PictureSize");
}

void skbutton::SetShowFocusRect(bool show) {
  m_showFocusRect = show;
  PropertyChanged(u"ShowFocusRect");
}

void skbutton::SetUseMaskColor(bool use) {
  m_useMaskColor = use;
  if (m_picture) Redraw();
  PropertyChanged(u"UseMaskColor");
}

void skbutton::SetValue(bool value) {
  if (m_checkBoxMode) {
    m_value = value;
    if (!value) m_state = StateNormal;
    Redraw();
    PropertyChanged(u"Value");
    return;
  }
  // Outside check-box mode a button has no value to keep.
  m_state = StateNormal;
  Redraw();
}

// -- Methods

void skbutton::About() {
  MessageBoxW(hWnd(),
              L"SKButton\r\nA Multistyle Button Control\r\n\r\nWritten for Fuelwise by its developers",
              L"About", MB_ICONINFORMATION | MB_OK);
}

void skbutton::SetDefaultColors() {
  const StyleColours d = DefaultColours(m_buttonStyle);
  if (d.back) m_backColor = Translated(*d.back);
  m_foreColor = Translated(d.fore);
  m_showFocusRect = d.showFocusRect;
}

void skbutton::DeriveAccessKey() {
  SetAccessKeys(u"");
  m_hasAccessKey = false;
  if (m_caption.size() <= 1) return;
  const auto at = AccessKeyIndex(m_caption);
  if (!at) return;
  wchar_t key[2] = {static_cast<wchar_t>(m_caption[*at]), 0};
  CharLowerW(key);
  SetAccessKeys(std::u16string(1, static_cast<char16_t>(key[0])));
  m_hasAccessKey = true;
}

void skbutton::ReadSize() {
  m_width = ScaleWidth();
  m_height = ScaleHeight();
}

// -- Painting

void skbutton::BuildRegion() {
  HWND self = hWnd();
  if (!self) return;
  ReadSize();
  // Giving a region makes the window repaint; a region already made for this size
  // and style is not made again, so no paint can lead to another region.
  if (m_width == m_regionWidth && m_height == m_regionHeight && m_buttonStyle == m_regionStyle) {
    return;
  }
  const int32_t corner = RegionCorner(m_buttonStyle);
  HRGN region = corner > 0
                    ? CreateRoundRectRgn(0, 0, m_width + 1, m_height + 1, corner, corner)
                    : CreateRectRgn(0, 0, m_width, m_height);
  if (!region) return;
  // From here the window owns the region, and frees the one it had.
  if (!SetWindowRgn(self, region, TRUE)) {
    DeleteObject(region);
    return;
  }
  ++m_regionBuilds;
  m_regionWidth = m_width;
  m_regionHeight = m_height;
  m_regionStyle = m_buttonStyle;
}

ButtonState skbutton::PaintState() const {
  ButtonState b;
  b.style = m_buttonStyle;
  b.look = m_state;
  b.face = Translate(m_backColor);
  b.enabled = Enabled();
  b.checkBoxMode = m_checkBoxMode;
  b.value = m_value;
  b.hasFocus = m_hasFocus;
  b.isDefault = m_isDefault;
  b.parentActive = m_parentActive;
  b.mouseInside = m_mouseInside;
  b.leftDown = m_leftDown;
  b.showFocusRect = m_showFocusRect;
  b.userMode = Ambient().userMode;
  b.captionFocusRect = m_captionFocusRect;
  return b;
}

void skbutton::Redraw() {
  if (!hWnd()) return;
  Cls();
  ReadSize();
  m_clientRect = RECT{0, 0, m_width, m_height};
  if (m_checkBoxMode && m_value && !HasOwnCheckedLook(m_buttonStyle)) m_state = StatePressed;
  if (FacePainter paint = PainterFor(m_buttonStyle)) {
    // Outside these faces' shapes the form's colour shows; taking it clears the surface.
    if (PaintsOnAmbientBack(m_buttonStyle)) UserControl::SetBackColor(Ambient().backColor);
    const PaintResult painted = paint(hDC(), m_clientRect, PaintState());
    if (painted.region) BuildRegion();
    if (painted.foreColor) m_foreColor = *painted.foreColor;
  }
  DrawCaptionAndPicture();
  FollowAccessibleState();
}

void skbutton::DrawCaptionAndPicture() {
  const int32_t tw = TextWidth(m_caption);
  const int32_t th = TextHeight(m_caption);
  LayoutInput in;
  in.width = m_width;
  in.height = m_height;
  in.textWidth = tw;
  in.textHeight = th;
  in.hasPicture = m_picture != nullptr;
  in.pictureSize = m_pictureSize;
  if (m_picture) {
    // Both sides by the horizontal resolution.
    in.ownWidth = RoundHalfEven(HiMetricToPixelsX(m_picture->HiMetricWidth()));
    in.ownHeight = RoundHalfEven(HiMetricToPixelsX(m_picture->HiMetricHeight()));
  }
  in.pictureAlign = m_pictureAlign;
  in.captionAlign = m_captionAlign;
  in.hasAccessKey = m_hasAccessKey;
  const Layout at = LayoutCaptionAndPicture(in);
  const CaptionPlacement place = PlaceCaption(m_buttonStyle, m_state, at.tx, at.ty, tw, th);
  if (place.focus) m_captionFocusRect = *place.focus;
  if (m_picture) DrawPicture(at.px + place.pictureDx, at.py + place.pictureDy, at.pw, at.ph);
  DrawCaption(place.caption);
}

void skbutton::DrawPicture(int px, int py, int pw, int ph) {
  HDC dc = hDC();
  if (!Enabled()) {
    GrayPicture(dc, m_picture->Handle(), px, py, pw, ph);
    return;
  }
  const bool hoverSet = m_pictureHover != nullptr;
  // A hover picture of the other kind is not used: the picture stands in for it.
  Picture* hover = m_picture.get();
  if (hoverSet && m_pictureHover->GetType() == m_picture->GetType()) hover = m_pictureHover.get();
  Picture* shown = (m_state == StateNormal || !hoverSet) ? m_picture.get() : hover;
  const bool checked = m_checkBoxMode && m_value;
  if (m_picture->GetType() == Picture::Type::Icon) {
    shown->Render(dc, px, py, pw, ph);
    if (checked) hover->Render(dc, px, py, pw, ph);
    return;
  }
  if (checked) shown = hover;
  // The bitmap's top-left pw x ph pixels, at its own scale.
  const int cw = std::min(pw, shown->PixelWidth());
  const int ch = std::min(ph, shown->PixelHeight());
  unique_hdc mem(CreateCompatibleDC(dc));
  if (!mem || cw <= 0 || ch <= 0) return;
  unique_select select(mem.get(), shown->Bitmap());
  if (m_useMaskColor) {
    TransparentBlt(dc, px, py, cw, ch, mem.get(), 0, 0, cw, ch,
                   static_cast<UINT>(Translate(m_maskColor)));
  } else {
    BitBlt(dc, px, py, cw, ch, mem.get(), 0, 0, SRCCOPY);
  }
}

void skbutton::DrawCaption(const Box& place) {
  HDC dc = hDC();
  const int32_t colour = Translate(Enabled() ? m_foreColor : SystemColour(COLOR_GRAYTEXT));
  const COLORREF old = SetTextColor(dc, static_cast<COLORREF>(colour));
  RECT rc{place.left, place.top, place.right, place.bottom};
  // "&" marks the access key (underlined) and "&&" shows one ampersand.
  DrawTextW(dc, WPtr(m_caption), static_cast<int>(m_caption.size()), &rc,
            DT_SINGLELINE | DT_LEFT | DT_TOP);
  SetTextColor(dc, old);
}

// -- Running: hover tracking and the form's activation

void skbutton::StartRunning() {
  if (m_running || !hWnd()) return;
  m_running = true;
  if (m_handPointer) {
    m_handCursor = LoadCursorW(nullptr, IDC_HAND);
    if (!m_handCursor) m_handPointer = false;
  }
  // Without leave notices there is no hover to follow, and no hooks at all.
  m_trackingAvailable = MouseLeaveTracker::Available();
  if (!m_trackingAvailable) return;
  HWND self = hWnd();
  m_hook.HookStart(self);
  if (m_parentHwnd) m_hook.HookStart(m_parentHwnd);
  m_hook.HookAddMsg(self, WM_MOUSEMOVE, HookWhen::kAfter);
  m_hook.HookAddMsg(self, WM_MOUSELEAVE, HookWhen::kAfter);
  if (m_parentHwnd) {
    // An MDI child hears of its activation through the non-client message.
    m_hook.HookAddMsg(m_parentHwnd, IsMdiChild() ? WM_NCACTIVATE : WM_ACTIVATE, HookWhen::kAfter);
    // A button placed on a form that is already active hears no activation:
    // it starts with the form's.
    m_parentActive = FormIsActive();
  }
}

bool skbutton::FormIsActive() const {
  if (!IsMdiChild()) return GetActiveWindow() == m_parentHwnd;
  const HWND client = GetParent(m_parentHwnd);
  return GetActiveWindow() == GetAncestor(m_parentHwnd, GA_ROOT) &&
         reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0)) == m_parentHwnd;
}

void skbutton::RequestLeaveNotice() {
  if (m_trackingAvailable) TrackMouseLeave(hWnd());
}

void skbutton::WithdrawLeaveNotice() {
  if (m_trackingAvailable) CancelMouseLeave(hWnd());
}

void skbutton::zSubclass_Proc(bool bBefore, bool&, LRESULT&, HWND& hWnd, UINT& uMsg, WPARAM& wParam,
                              LPARAM&) {
  if (bBefore) return;
  if (hWnd == this->hWnd()) {
    if (uMsg == WM_MOUSEMOVE) OnHookMouseMove();
    if (uMsg == WM_MOUSELEAVE) OnHookMouseLeave();
  } else if (hWnd == m_parentHwnd && (uMsg == WM_ACTIVATE || uMsg == WM_NCACTIVATE)) {
    OnFormActivation(wParam != 0);
  }
}

// The first move inside is the entry.
void skbutton::OnHookMouseMove() {
  if (m_mouseInside) return;
  m_mouseInside = true;
  RequestLeaveNotice();
  if (!m_spaceDown) m_state = StateHot;
  Redraw();
  if (MouseEnter) MouseEnter();
}

void skbutton::OnHookMouseLeave() {
  // Always: the flag may already be clear after a move seen outside.
  m_mouseInside = false;
  if (m_spaceDown) return;
  if (Enabled()) m_state = StateNormal;
  Redraw();
  if (MouseLeave) MouseLeave();
}

void skbutton::OnFormActivation(bool active) {
  if (!active) {
    EndSpaceCapture();
    m_leftDown = m_spaceDown = m_hasFocus = false;
  }
  m_parentActive = active;
  m_state = StateNormal;
  Redraw();
}

// -- Events from the host

void skbutton::OnCreated() {
  UserControl::OnCreated();
  m_fontObject = UserControl::GetFont();
  SubscribeFont();
}

void skbutton::OnInitProperties() {
  m_showFocusRect = true;
  UserControl::SetEnabled(true);
  m_buttonStyle = StyleStandard;
  m_caption = Ambient().displayName;
  SetWindowCaption(m_caption);
  if (m_fontObject) {
    FontValue v = m_fontObject->Value();
    v.face = u"Tahoma";
    m_fontObject = Font::Create(v);
    UserControl::SetFont(m_fontObject);
    SubscribeFont();
  }
  m_pictureAlign = PictureLeftOfCaption;
  m_captionAlign = CaptionCentre;
  m_useMaskColor = false;
  m_maskColor = kDefaultMaskColour;
  ReadSize();
  SetDefaultColors();
  DeriveAccessKey();
  m_parentHwnd = ParentHwnd();
  // A button placed by code while the program runs follows the pointer and its
  // form as a built one does.
  if (Ambient().userMode) StartRunning();
}

void skbutton::OnReadProperties(const PropertyStore& p) {
  const AmbientProperties ambient = Ambient();
  const FontValue ambientFont = ambient.font ? ambient.font->Value() : Font::DefaultValue();
  m_buttonStyle = p.ReadInt32(u"ButtonStyle", StyleFlat);
  m_showFocusRect = p.ReadBool(u"ShowFocusRect", false);
  m_fontObject = Font::Create(p.ReadFont(u"Font", ambientFont));
  UserControl::SetFont(m_fontObject);
  SubscribeFont();
  m_backColor = p.ReadColour(u"BackColor", Translated(kButtonFace));
  const bool enabled = p.ReadBool(u"Enabled", true);
  m_caption = p.ReadText(u"Caption", kReadCaption);
  m_value = p.ReadBool(u"Value", false);
  UserControl::SetMousePointer(p.ReadInt32(u"MousePointer", kPointerDefault));
  m_handPointer = p.ReadBool(u"HandPointer", false);
  UserControl::SetMouseIcon(LoadPictureRef(p.ReadPicture(u"MouseIcon", {})));
  m_picture = LoadPictureRef(p.ReadPicture(u"Picture", {}));
  m_pictureHover = LoadPictureRef(p.ReadPicture(u"PictureHover", {}));
  // Keys match without regard to case: this finds the "pictureSize" a design carries.
  m_pictureSize = p.ReadInt32(u"PictureSize", PictureOwnSize);
  m_maskColor = p.ReadColour(u"MaskColor", kDefaultMaskColour);
  // Spelled as existing designs carry it.
  m_useMaskColor = p.ReadBool(u"UseMaskCOlor", false);
  m_checkBoxMode = p.ReadBool(u"CheckBoxMode", false);
  m_pictureAlign = p.ReadInt32(u"PictureAlign", PictureLeftOfCaption);
  m_captionAlign = p.ReadInt32(u"CaptionAlign", CaptionCentre);
  m_foreColor = p.ReadColour(u"ForeColor", Translated(kButtonText));

  UserControl::SetForeColor(m_foreColor);
  UserControl::SetEnabled(enabled);
  SetWindowCaption(m_caption);
  DeriveAccessKey();
  ReadSize();
  m_parentHwnd = ParentHwnd();
  // The host raises the resize handler next (OnSited).
  if (ambient.userMode) StartRunning();
}

void skbutton::OnWriteProperties(PropertyStore& p) {
  const AmbientProperties ambient = Ambient();
  const FontValue ambientFont = ambient.font ? ambient.font->Value() : Font::DefaultValue();
  p.Write(u"ButtonStyle", m_buttonStyle, int32_t{StyleFlat});
  p.Write(u"ShowFocusRect", m_showFocusRect, false);
  p.Write(u"Enabled", Enabled(), true);
  p.Write(u"Font", m_fontObject ? m_fontObject->Value() : ambientFont, ambientFont);
  p.Write(u"BackColor", m_backColor, Translated(kButtonFace));
  p.Write(u"Caption", std::u16string_view(m_caption), kWriteCaption);
  p.Write(u"ForeColor", m_foreColor, Translated(kButtonText));
  p.Write(u"CheckBoxMode", m_checkBoxMode, false);
  p.Write(u"Value", m_value, false);
  p.Write(u"MousePointer", static_cast<int16_t>(UserControl::MousePointer()),
          int16_t{kPointerDefault});
  p.Write(u"HandPointer", m_handPointer, false);
  p.Write(u"MouseIcon", PictureRefOf(UserControl::MouseIcon().get()), PictureRef{});
  p.Write(u"Picture", PictureRefOf(m_picture.get()), PictureRef{});
  p.Write(u"PictureHover", PictureRefOf(m_pictureHover.get()), PictureRef{});
  p.Write(u"PictureAlign", m_pictureAlign, int32_t{PictureLeftOfCaption});
  // "pictureSize" and "UseMaskCOlor" are spelled as existing designs carry them.
  p.Write(u"pictureSize", m_pictureSize, int32_t{PictureOwnSize});
  p.Write(u"UseMaskCOlor", m_useMaskColor, false);
  p.Write(u"MaskColor", m_maskColor, kDefaultMaskColour);
  p.Write(u"CaptionAlign", m_captionAlign, int32_t{CaptionCentre});
}

void skbutton::OnResize() {
  if (!hWnd()) return;
  if (Height() < kMinimumTwips) SetHeight(kMinimumTwips);
  if (Width() < kMinimumTwips) SetWidth(kMinimumTwips);
  BuildRegion();
  Redraw();
}

void skbutton::OnPaint() { Redraw(); }

void skbutton::OnTerminate() {
  if (!m_running) return;
  if (m_parentHwnd) m_hook.HookStop(m_parentHwnd);
  m_hook.HookStop(hWnd());
  m_hook.HookStopAll();
  m_running = false;
}

void skbutton::SetHandCursor() {
  if (m_handPointer && m_handCursor) SetCursor(m_handCursor);
}

HCURSOR skbutton::PointerCursor() const {
  // The hand is the answer to every cursor request over the button, from the
  // first move on; otherwise MousePointer and MouseIcon decide.
  if (m_handPointer && m_handCursor) return m_handCursor;
  return UserControl::PointerCursor();
}

void skbutton::OnMouseDown(int button, int shift, float x, float y) {
  m_savedButton = button;
  m_savedShift = shift;
  m_savedX = x;
  m_savedY = y;
  SetHandCursor();
  if (button != kButtonLeft) return;
  m_hasFocus = true;
  m_leftDown = true;
  m_pressedHere = true;
  if (m_mouseInside) m_state = StatePressed;
  Redraw();
  if (MouseDown) MouseDown(button, shift, x, y);
}

void skbutton::OnMouseMove(int button, int shift, float x, float y) {
  HWND self = hWnd();
  // The left button came up somewhere this button did not hear.
  if (!(button & kButtonLeft)) m_pressedHere = false;
  POINT pt{};
  GetCursorPos(&pt);
  if (WindowFromPoint(pt) != self) {
    m_mouseInside = false;
    if (MouseLeave) MouseLeave();
    if (!IsWindow(self)) return;
  }
  RequestLeaveNotice();
  if (m_mouseInside) {
    SetHandCursor();
    if (m_leftDown) m_state = StatePressed;
    else if (!m_spaceDown) m_state = StateHot;
    Redraw();
  }
  if (MouseMove) MouseMove(button, shift, x, y);
}

void skbutton::OnMouseUp(int button, int shift, float x, float y) {
  HWND self = hWnd();
  SetHandCursor();
  if (button == kButtonLeft) {
    m_leftDown = false;
    // Only a press of its own completes a click: not one that began on the form
    // or on a window that has since gone.
    const bool pressedHere = m_pressedHere;
    m_pressedHere = false;
    ReadSize();
    if (pressedHere && x > 0 && x < m_width && y > 0 && y < m_height) {
      if (m_checkBoxMode) m_value = !m_value;
      Redraw();
      if (Click) Click();
      if (!IsWindow(self)) return;
    }
  }
  // The pressed look stays until the next move, leave or focus change.
  if (MouseUp) MouseUp(button, shift, x, y);
}

void skbutton::OnDblClick() {
  SetHandCursor();
  if (m_savedButton != kButtonLeft) return;
  HWND self = hWnd();
  SetCapture(self);
  m_state = StatePressed;
  Redraw();
  OnMouseDown(m_savedButton, m_savedShift, m_savedX, m_savedY);
  if (!IsWindow(self)) return;
  if (DblClick) DblClick();
}

void skbutton::OnKeyDown(int& keyCode, int shift) {
  HWND self = hWnd();
  switch (keyCode) {
    case VK_RETURN:
      if (Click) Click();
      if (!IsWindow(self)) return;
      break;
    case VK_SPACE:
      if (!m_leftDown && shift == kAltMask) return;  // Alt+Space is the form's system menu
      // A held key repeats: its first press did all there is to do, and one
      // seen only from a repeat began on another window.
      if (KeyRepeating()) break;
      if (!m_leftDown) {
        m_spaceDown = true;
        if (m_checkBoxMode) {
          m_value = !m_value;
          FollowAccessibleState();
        } else if (m_state != StatePressed) {
          m_state = StatePressed;
          Redraw();
        }
      }
      if (GetCapture() != self) {
        ReleaseCapture();
        SetCapture(self);
        m_spaceCapture = GetCapture() == self;
      }
      break;
    case VK_LEFT:
    case VK_UP: SendTab(true); break;
    case VK_RIGHT:
    case VK_DOWN: SendTab(false); break;
    default: break;
  }
  if (KeyDown) KeyDown(keyCode, shift);
}

void skbutton::OnKeyUp(int& keyCode, int shift) {
  if (keyCode != VK_SPACE) return;
  HWND self = hWnd();
  // A release clicks only a press this button saw (the space may have gone down
  // on another button before the focus came here).
  const bool pressedHere = m_spaceDown;
  if (!m_mouseInside) {
    m_state = StateNormal;
    Redraw();
    if (pressedHere && Click) Click();
  } else if (m_leftDown) {
    m_state = StatePressed;
    Redraw();
  } else {
    m_state = StateHot;
    Redraw();
    if (pressedHere && Click) Click();
  }
  if (!IsWindow(self)) return;
  if (KeyUp) KeyUp(keyCode, shift);
  if (!IsWindow(self)) return;
  EndSpaceCapture();
  m_spaceDown = false;
  m_leftDown = false;
  FollowAccessibleState();
}

void skbutton::EndSpaceCapture() {
  // The capture a space press took goes with the press, or the next click
  // anywhere else on the form would come to this button. A held left button
  // keeps it: that press is still to be released here.
  if (!m_spaceCapture) return;
  m_spaceCapture = false;
  if (!m_leftDown && GetCapture() == hWnd()) ReleaseCapture();
}

void skbutton::OnGotFocus() {
  m_hasFocus = true;
  if (m_mouseInside) m_state = StateHot;
  else if (!m_leftDown) m_state = StateNormal;
}

void skbutton::OnLostFocus() {
  EndSpaceCapture();
  m_hasFocus = m_leftDown = m_spaceDown = false;
  m_state = (m_parentActive && m_mouseInside) ? StateHot : StateNormal;
  Redraw();
}

void skbutton::OnAccessKeyPress(int keyAscii) {
  if (!Enabled()) return;
  HWND self = hWnd();
  if (m_spaceDown) m_spaceDown = m_leftDown = false;
  // Enter and Escape reach a default or cancel button: they click a check box
  // without turning it over.
  if (m_checkBoxMode && keyAscii != VK_ESCAPE && keyAscii != VK_RETURN) {
    m_value = !m_value;
    if (!m_value) m_state = StateNormal;
    Redraw();
  }
  DoEvents();
  if (!IsWindow(self)) return;
  if (Click) Click();
}

void skbutton::OnAmbientChanged(std::u16string_view name) {
  m_isDefault = Ambient().displayAsDefault;
  if (name == u"DisplayAsDefault") Redraw();
  if (name == u"BackColor") Redraw();
}

// -- Assistive technology

namespace {

// Posted to itself: a tool's click runs once the tool's call has returned, so a
// click that opens a window or fetches a page does not hold the tool waiting.
UINT ToolClickMessage() {
  static const UINT message = RegisterWindowMessageW(L"FuelwiseButtonToolClick");
  return message;
}

constexpr long kToldStates = STATE_SYSTEM_PRESSED | STATE_SYSTEM_CHECKED | STATE_SYSTEM_UNAVAILABLE;

}  // namespace

long skbutton::AccessibleState() const {
  HWND self = hWnd();
  long state = 0;
  if (!self || !IsWindowVisible(self)) state |= STATE_SYSTEM_INVISIBLE;
  if (!Enabled()) {
    state |= STATE_SYSTEM_UNAVAILABLE;
  } else if (CanGetFocus()) {
    state |= STATE_SYSTEM_FOCUSABLE;
  }
  if (self && GetFocus() == self) state |= STATE_SYSTEM_FOCUSED;
  if (m_spaceDown || (m_leftDown && m_mouseInside)) state |= STATE_SYSTEM_PRESSED;
  if (m_checkBoxMode && m_value) state |= STATE_SYSTEM_CHECKED;
  if (m_mouseInside) state |= STATE_SYSTEM_HOTTRACKED;
  if (m_isDefault) state |= STATE_SYSTEM_DEFAULT;
  return state;
}

void skbutton::FollowAccessibleState() {
  const long told = AccessibleState() & kToldStates;
  if (told == m_toldState) return;
  const bool first = m_toldState < 0;
  m_toldState = told;
  if (!first) NotifyAccessibleStateChange();
}

void skbutton::OnAccessibleSelf(AccessibleItem& self) const {
  self.role = m_checkBoxMode ? ROLE_SYSTEM_CHECKBUTTON : ROLE_SYSTEM_PUSHBUTTON;
  self.name = WithoutAccessKeyMarks(m_caption);
  if (m_hasAccessKey && !AccessKeys().empty()) {
    wchar_t key[2] = {static_cast<wchar_t>(AccessKeys()[0]), 0};
    CharUpperW(key);
    self.keyboardShortcut = u"Alt+" + std::u16string(1, static_cast<char16_t>(key[0]));
  } else {
    self.keyboardShortcut = u"";
  }
  self.defaultAction = !m_checkBoxMode ? u"Press" : m_value ? u"Uncheck" : u"Check";
  self.state = AccessibleState();
}

bool skbutton::OnAccessibleDefaultAction(int part) {
  if (part != -1 || !Enabled() || !hWnd()) return false;
  return PostMessageW(hWnd(), ToolClickMessage(), 0, 0) != 0;
}

bool skbutton::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
  if (msg != ToolClickMessage()) return false;
  ClickForTool();
  result = 0;
  return true;
}

void skbutton::ClickForTool() {
  HWND self = hWnd();
  if (!self || !Enabled()) return;
  const LPARAM middle = MAKELPARAM(ScaleWidth() / 2, ScaleHeight() / 2);
  SendMessageW(self, WM_LBUTTONDOWN, MK_LBUTTON, middle);
  if (IsWindow(self)) SendMessageW(self, WM_LBUTTONUP, 0, middle);
}

void RegisterSkbutton() {
  RegisterControlKind(u"skbutton", [] { return std::make_unique<skbutton>(); });
}

}  // namespace fw
