#include "controls/XPContainer/XPContainer.h"

#include <oleacc.h>

#include <algorithm>
#include <limits>

#include "host/ColourWin.h"
#include "host/DesignCanvas.h"
#include "host/Form.h"
#include "host/Gdi.h"

namespace fw {

using namespace xpcontainer;

namespace {

// The caption face: bold 9 pt in the system's Chinese code page, so that Chinese
// captions show.
FontValue CaptionFont() {
  FontValue f;
  f.face = u"\u5B8B\u4F53";  // 宋体
  f.size = kCaptionPoints;
  f.bold = true;
  f.weight = FW_BOLD;
  f.charset = GB2312_CHARSET;
  return f;
}

// Style and Theme are 32-bit in the control but saved as 16-bit values; a value
// beyond that range is saved as the nearest one, which keeps its meaning (any
// non-zero Style hides the header, any Theme beyond 11 sets no colour).
int16_t To16(int32_t v) {
  return static_cast<int16_t>(std::clamp<int32_t>(v, std::numeric_limits<int16_t>::min(),
                                                  std::numeric_limits<int16_t>::max()));
}

// Draws one gradient row by row: a horizontal line from (0, y) to (right, y) per
// row, which GDI ends before `right`. The rows come from the portable arithmetic;
// when it stopped on a failing row, what came before it is drawn and the step ends.
bool DrawGradient(HDC dc, int32_t firstRow, int32_t rowCount, int32_t divisor, int32_t right,
                  Colour light, Colour dark) {
  const GradientRows g =
      VerticalGradient(TranslateColor(light), TranslateColor(dark), divisor, rowCount);
  if (!g.rows.empty()) {
    unique_select pen(dc, GetStockObject(DC_PEN));
    for (size_t i = 0; i < g.rows.size(); ++i) {
      const int y = firstRow + static_cast<int>(i);
      SetDCPenColor(dc, g.rows[i]);
      MoveToEx(dc, 0, y, nullptr);
      LineTo(dc, right, y);
    }
  }
  return g.complete;
}

}  // namespace

XPContainer::XPContainer() : UserControl(u"XPContainer", /*container=*/true) {
  // A group, not a field: a click on its background leaves the focus where it
  // is, and Tab passes through it to the controls it holds.
  SetCanGetFocus(false);
}

XPContainer::~XPContainer() = default;

// -- Properties

void XPContainer::WriteColour(Colour& field, Colour value, std::u16string_view name) {
  field = value;
  PropertyChanged(name);
  Redraw();
  Refresh();
}

void XPContainer::SetBackDarkColor(Colour colour) {
  WriteColour(m_backDarkColor, colour, u"BackDarkColor");
}
void XPContainer::SetBackLightColor(Colour colour) {
  WriteColour(m_backLightColor, colour, u"BackLightColor");
}
void XPContainer::SetBorderColor(Colour colour) {
  WriteColour(m_borderColor, colour, u"BorderColor");
}
void XPContainer::SetHeaderDarkColor(Colour colour) {
  WriteColour(m_headerDarkColor, colour, u"HeaderDarkColor");
}
void XPContainer::SetHeaderLightColor(Colour colour) {
  WriteColour(m_headerLightColor, colour, u"HeaderLightColor");
}
void XPContainer::SetTextColor(Colour colour) { WriteColour(m_textColor, colour, u"TextColor"); }

void XPContainer::SetCaption(std::u16string_view caption) {
  const bool changed = m_caption != caption;
  m_caption = caption;
  PropertyChanged(u"Caption");
  Redraw();
  Refresh();
  if (changed) NotifyAccessibleNameChange(-1);
}

void XPContainer::OnAccessibleSelf(AccessibleItem& self) const {
  self.role = ROLE_SYSTEM_GROUPING;
  self.name = WithoutAccessKeyMarks(m_caption);
}

void XPContainer::OnAccessibleChildWindows(std::vector<HWND>& windows) const {
  std::erase(windows, m_header.hWnd());
}

void XPContainer::SetStyle(int32_t style) {
  m_style = style;
  PropertyChanged(u"Style");
  Redraw();
  Refresh();
}

void XPContainer::SetTheme(int32_t theme) {
  m_theme = theme;
  PropertyChanged(u"Theme");
  ApplyThemeColors();
}

void XPContainer::ApplyThemeColors() {
  const auto row = ThemeRow(m_theme);
  if (!row) return;
  // Through the properties, so that each colour reports its change and redraws.
  SetHeaderLightColor(row->headerLight);
  SetHeaderDarkColor(row->headerDark);
  SetBackLightColor(row->backLight);
  SetBackDarkColor(row->backDark);
  SetBorderColor(row->border);
  SetTextColor(row->text);
}

// -- Drawing

void XPContainer::Redraw() {
  if (!hWnd()) return;
  Cls();
  m_captionLabel.SetCaption(m_caption);
  if (m_style != 0) {
    m_header.SetVisible(false);
  } else {
    m_header.SetVisible(true);
    DrawHeader(m_headerLightColor, m_headerDarkColor, m_textColor);
  }
  DrawBackground(m_backLightColor, m_backDarkColor);
  DrawBorder(m_borderColor);
}

void XPContainer::DrawHeader(Colour light, Colour dark, Colour text) {
  const int h = m_header.ScaleHeight();
  const bool drawn = DrawGradient(m_header.hDC(), 0, h, h - 1, m_header.ScaleWidth(), light, dark);
  m_header.Refresh();
  // A failure ends the step: the caption keeps its colour, and so does it when
  // the text colour itself cannot be translated.
  if (!drawn || TranslateColor(text) < 0) return;
  m_captionLabel.SetForeColor(text);
}

void XPContainer::DrawBackground(Colour light, Colour dark) {
  const int sw = ScaleWidth();
  const int sh = ScaleHeight();
  if (m_style != 0) {
    DrawGradient(hDC(), 0, sh, sh - 1, sw, light, dark);
    return;
  }
  const int bodyWidth = m_bodyBox.right - m_bodyBox.left;
  const int bodyHeight = m_bodyBox.bottom - m_bodyBox.top;
  // The rows run to the bottom of the body box; the lines run to its right edge
  // (it starts one pixel in), so that no column of the body is left in the back colour.
  DrawGradient(hDC(), Scaled(kBodyFirstRow), sh - Scaled(kBodyFirstRow), bodyHeight - 1,
               Scaled(kBodyLeft) + bodyWidth, light, dark);
}

void XPContainer::DrawBorder(Colour colour) {
  const int32_t rgb = TranslateColor(colour);
  if (rgb < 0) return;
  // The outline on the outermost 96-dpi pixels, as wide as the dpi makes one:
  // its corners are (0, 0) and (SW - 1, SH - 1).
  const DesignCanvas canvas(hDC(), Dpi(), SIZE{ScaleWidth(), ScaleHeight()});
  const int w = canvas.Width();
  const int h = canvas.Height();
  const COLORREF c = static_cast<COLORREF>(rgb);
  canvas.Fill(RECT{0, 0, w, 1}, c);
  canvas.Fill(RECT{0, h - 1, w, h}, c);
  canvas.Fill(RECT{0, 0, 1, h}, c);
  canvas.Fill(RECT{w - 1, 0, w, h}, c);
}

void XPContainer::Layout() {
  const int sw = ScaleWidth();
  const int sh = ScaleHeight();
  m_laidOut = SIZE{sw, sh};
  const RECT label = m_captionLabel.PixelRect();
  const auto layout = ResizeLayout(sw, sh, label.bottom - label.top, Dpi());
  if (!layout) return;
  m_captionLabel.SetTop(PixelsToTwipsY(layout->captionTop));
  m_captionLabel.SetLeft(PixelsToTwipsX(Scaled(kCaptionLeft)));
  m_header.Place(HeaderRect(layout->headerWidth));
  m_bodyBox.left = Scaled(kBodyLeft);
  m_bodyBox.top = Scaled(kBodyTop);
  m_bodyBox.right = m_bodyBox.left + layout->bodyWidth;
  m_bodyBox.bottom = m_bodyBox.top + layout->bodyHeight;
}

RECT XPContainer::HeaderRect(int width) const {
  const int left = Scaled(kHeaderLeft), top = Scaled(kHeaderTop);
  return RECT{left, top, left + width, top + Scaled(kHeaderHeight)};
}

void XPContainer::ResizeStep() {
  Layout();
  Redraw();
}

// -- Events from the host

void XPContainer::OnCreated() {
  UserControl::OnCreated();
  m_shell32.reset(LoadLibraryW(L"shell32.dll"));
  m_header.Create(hWnd(), HeaderRect(std::max(ScaleWidth() - 2 * Scaled(1), 0)));
  // The caption is a label of the host's, placed inside the strip and sized to its text.
  const int captionLeft = Scaled(kCaptionLeft);
  if (m_captionLabel.Create(m_header.hWnd(), RECT{captionLeft, 0, captionLeft, 0},
                            u"lblCaption")) {
    m_captionLabel.InitProperties();
    m_captionLabel.SetUseMnemonic(false);
    m_captionLabel.SetFont(Font::Create(CaptionFont()));
    m_captionLabel.SetAutoSize(true);
    m_captionLabel.SetCaption(m_caption);
    // The form shows the controls it placed; a part of the container shows with the strip.
    m_captionLabel.SetVisible(true);
  }
  // Placed, not drawn: the first show draws.
  Layout();
}

void XPContainer::OnInitProperties() {
  // A new container starts from the defaults its members were built with.
}

void XPContainer::OnReadProperties(const PropertyStore& props) {
  // Stored only: the first show applies and draws them.
  const ThemeColours& d = kThemes[0];
  m_headerLightColor = props.ReadColour(u"HeaderLightColor", d.headerLight);
  m_headerDarkColor = props.ReadColour(u"HeaderDarkColor", d.headerDark);
  m_backLightColor = props.ReadColour(u"BackLightColor", d.backLight);
  m_backDarkColor = props.ReadColour(u"BackDarkColor", d.backDark);
  m_borderColor = props.ReadColour(u"BorderColor", d.border);
  m_textColor = props.ReadColour(u"TextColor", d.text);
  m_caption = props.ReadText(u"Caption", kDefaultCaption);
  m_style = props.ReadInt16(u"Style", static_cast<int16_t>(kDefaultStyle));
  m_theme = props.ReadInt16(u"Theme", static_cast<int16_t>(kDefaultTheme));
}

void XPContainer::OnWriteProperties(PropertyStore& props) {
  const ThemeColours& d = kThemes[0];
  props.Write(u"HeaderLightColor", m_headerLightColor, d.headerLight);
  props.Write(u"HeaderDarkColor", m_headerDarkColor, d.headerDark);
  props.Write(u"BackLightColor", m_backLightColor, d.backLight);
  props.Write(u"BackDarkColor", m_backDarkColor, d.backDark);
  props.Write(u"BorderColor", m_borderColor, d.border);
  props.Write(u"TextColor", m_textColor, d.text);
  props.Write(u"Caption", std::u16string_view(m_caption), kDefaultCaption);
  props.Write(u"Style", To16(m_style), static_cast<int16_t>(kDefaultStyle));
  props.Write(u"Theme", To16(m_theme), static_cast<int16_t>(kDefaultTheme));
}

void XPContainer::OnShow() { ResizeStep(); }

void XPContainer::OnResize() {
  // The host also raises this once the saved properties have been read, at the
  // size the container already has; a read must not draw, so only a real change
  // of size runs the step.
  if (ScaleWidth() != m_laidOut.cx || ScaleHeight() != m_laidOut.cy) ResizeStep();
}

void XPContainer::OnPaint() { Redraw(); }

void XPContainer::OnTerminate() { m_shell32.reset(); }

void RegisterXPContainer() {
  RegisterControlKind(u"XPContainer", [] { return std::make_unique<XPContainer>(); });
}

}  // namespace fw
