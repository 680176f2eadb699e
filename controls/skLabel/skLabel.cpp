#include "controls/skLabel/skLabel.h"

#include <oleacc.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "host/ColourWin.h"
#include "host/DesignCanvas.h"
#include "host/Form.h"
#include "host/Gdi.h"
#include "host/Numeric.h"
#include "host/WideText.h"

namespace fw {

using namespace sklabel;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

// The translated colour, or nothing when it cannot be translated.
std::optional<uint32_t> Translated(Colour c) {
  const int32_t rgb = TranslateColor(c);
  if (rgb < 0) return std::nullopt;
  return static_cast<uint32_t>(rgb);
}

// The surface as the drawing routines see it: the host's design canvas over
// the label. They are written at 96 dpi: Width() and Height() are the
// surface's size there, every place a 96-dpi pixel. A place in the left (top)
// half keeps its distance from the left (top) side and one in the right
// (bottom) half its distance from the right (bottom) side; a 1-pixel line is
// at least ScaleToDpi(1) wide and a gradient spans the scaled rows, one colour
// step per row.
using Canvas = DesignCanvas;

Canvas MakeCanvas(HDC dc, int deviceW, int deviceH, int dpi) {
  return DesignCanvas(dc, dpi, SIZE{deviceW, deviceH});
}

// The drawing routines. The line and the filled rectangle end silently on a
// colour they cannot use; the others report failure, which ends the drawing step.

void DrawLine(const Canvas& c, int x1, int y1, int x2, int y2, std::optional<uint32_t> rgb) {
  if (rgb) c.Line(x1, y1, x2, y2, *rgb);
}

void FillBox(const Canvas& c, int x, int y, int w, int h, std::optional<uint32_t> rgb) {
  if (!rgb || w <= 0 || h <= 0) return;
  c.Fill(RECT{x, y, x + w, y + h}, *rgb);
}

// The outline through the four corners (x, y), (x + w, y), (x + w, y + h), (x, y + h).
void Outline(const Canvas& c, int x, int y, int w, int h, std::optional<uint32_t> rgb) {
  DrawLine(c, x, y, x + w, y, rgb);
  DrawLine(c, x + w, y, x + w, y + h, rgb);
  DrawLine(c, x + w, y + h, x, y + h, rgb);
  DrawLine(c, x, y + h, x, y, rgb);
}

// Rows 0 .. n from (x, y + i) to (x2, y + i), from `a` (row 0) to `b` (row n),
// over the device rows the 96-dpi rows become, one colour step per device row.
bool VerticalGradient(const Canvas& c, std::optional<uint32_t> a, std::optional<uint32_t> b, int x,
                      int y, int x2, int n) {
  if (!a || !b || n == 0) return false;
  const int top = c.Row(y).first, bottom = c.Row(y + n).second;
  const int steps = std::max(bottom - top - 1, 1);
  for (int row = top; row < bottom; ++row) {
    if (const auto colour = GradientRow(*a, *b, row - top, steps)) {
      c.FillDevice(RECT{c.X(x), row, c.X(x2), row + 1}, *colour);
    }
  }
  return true;
}

bool FramedGradient(const Canvas& c, std::optional<uint32_t> a, std::optional<uint32_t> b, int x,
                    int y, int w, int h, std::optional<uint32_t> frame) {
  if (!VerticalGradient(c, a, b, x, y, w, h)) return false;
  Outline(c, x, y, w, h, frame);
  return true;
}

// The surface's filled and outlined shape over (0, 0) to (sw, sh): the outline
// on the outermost pixels, the fill inside; `ellipse` > 0 rounds the corners.
bool FilledShape(const Canvas& c, int sw, int sh, std::optional<uint32_t> fill,
                 std::optional<uint32_t> outline, int ellipse) {
  if (!fill || !outline) return false;
  HDC dc = c.Dc();
  // The outline as wide as the dpi makes a pixel, inside the shape.
  const unique_hpen wide(CreatePen(PS_INSIDEFRAME, ScaleToDpi(1, c.Dpi()), *outline));
  unique_select pen(dc, wide.get());
  unique_select brush(dc, GetStockObject(DC_BRUSH));
  SetDCBrushColor(dc, *fill);
  const int ew = ellipse > 0 ? ScaleToDpi(ellipse, c.Dpi()) : 0;
  if (ew > 0) RoundRect(dc, 0, 0, c.X(sw), c.Y(sh), ew, ew);
  else Rectangle(dc, 0, 0, c.X(sw), c.Y(sh));
  return true;
}

}  // namespace

skLabel::skLabel() : UserControl(u"skLabel") {
  // A label: a click leaves the focus where it was.
  SetCanGetFocus(false);
}

// -- Properties

void skLabel::Written(std::u16string_view name) {
  PropertyChanged(name);
  Redraw();
}

void skLabel::SetFrameColor(Colour colour) {
  m_frameColor = colour;
  if (m_themeColor == 5) m_inUse.frame = colour;
  Written(u"FrameColor");
}

void skLabel::SetFillColor(Colour colour) {
  m_fillColor = colour;
  Written(u"FillColor");
}

void skLabel::SetRoundedCornerTxtBox(bool rounded) {
  m_roundedCorners = rounded;
  Written(u"RoundedCornerTxtBox");
}

void skLabel::SetCaption(std::u16string_view caption) {
  const bool changed = m_caption != caption;
  m_caption = caption;
  SetWindowCaption(m_caption);
  Written(u"Caption");
  if (changed) NotifyAccessibleNameChange(-1);
}

void skLabel::OnAccessibleSelf(AccessibleItem& self) const {
  self.role = ROLE_SYSTEM_STATICTEXT;
  self.name = m_caption;
  self.state = STATE_SYSTEM_READONLY | (hWnd() && IsWindowVisible(hWnd()) ? 0 : STATE_SYSTEM_INVISIBLE);
}

void skLabel::SetAlignment(int32_t alignment) {
  m_alignment = alignment;
  m_textFormat = TextFormatFor(alignment);
  Written(u"Alignment");
}

void skLabel::SetStyle(int32_t style) {
  m_style = style;
  ApplyStyleDefaults();
  Written(u"Style");
}

void skLabel::SetTextColor(Colour colour) {
  m_textColor = colour;
  Written(u"TextColor");
}

void skLabel::SetTextBoxColor(Colour colour) {
  m_textBoxColor = colour;
  Written(u"TextBoxColor");
}

void skLabel::SetBackColor(Colour colour) {
  UserControl::SetBackColor(colour);
  Written(u"BackColor");
}

void skLabel::SetFont(const std::shared_ptr<Font>& font) {
  if (!font) return;
  CopyFont(font->Value());
  Written(u"Font");
}

void skLabel::SetPicture(std::shared_ptr<fw::Picture> picture) {
  m_picture = std::move(picture);
  Written(u"Picture");
}

void skLabel::SetIconSize(int16_t size) {
  m_iconSize = size;
  Written(u"IconSize");
}

void skLabel::SetIconAlignment(int32_t alignment) {
  m_iconAlignment = alignment;
  Written(u"IconAlignment");
}

void skLabel::SetThemeColor(int32_t theme) {
  if (theme == m_themeColor) return;
  m_themeColor = theme;
  ApplyThemeColor();
  Redraw();
  PropertyChanged(u"ThemeColor");
}

void skLabel::SetColorFrom(Colour colour) {
  m_colorFrom = colour;
  m_inUse.gradientStart = colour;
  Written(u"ColorFrom");
}

void skLabel::SetColorTo(Colour colour) {
  m_colorTo = colour;
  m_inUse.gradientEnd = colour;
  Written(u"ColorTo");
}

void skLabel::ApplyThemeColor() {
  m_inUse = ThemeColoursFor(m_themeColor, m_colorFrom, m_colorTo, m_frameColor);
}

void skLabel::ApplyStyleDefaults() {
  const auto d = StyleDefaultsFor(m_style, Ambient().backColor);
  if (!d) return;
  m_textColor = d->textColor;
  m_frameColor = d->frameColor;
  m_textBoxColor = d->textBoxColor;
  m_alignment = d->alignment;
  if (d->fillColor) m_fillColor = *d->fillColor;
  if (d->roundedCorners) m_roundedCorners = *d->roundedCorners;
  // Stored only: the colours in use stay until ThemeColor is written.
  if (d->themeColor) m_themeColor = *d->themeColor;
  m_textFormat = TextFormatFor(m_alignment);
}

void skLabel::CopyFont(const FontValue& from) {
  FontValue v = GetFont()->Value();
  v.face = from.face;
  v.size = from.size;
  v.bold = from.bold;
  v.weight = from.bold ? std::max(v.weight, 700) : std::min(v.weight, 400);
  v.italic = from.italic;
  GetFont()->SetValue(v);  // the surface follows the font object
}

// -- Drawing

void skLabel::Redraw() {
  if (!hWnd()) return;
  Cls();
  // Drawn and laid out at 96 dpi, placed at the label's dpi (see Canvas).
  const Canvas surface = MakeCanvas(hDC(), ScaleWidth(), ScaleHeight(), Dpi());
  const int sw = surface.Width();
  const int sh = surface.Height();
  // The caption's place does not depend on its measured size (see LayoutCaption).
  const bool hasCaption = !m_caption.empty();

  bool drawn = false;
  switch (m_style) {
    case 0: drawn = DrawFramedBox(sw, sh); break;
    case 1: drawn = DrawBandedBox(sw, sh); break;
    case 2: drawn = DrawTextBox(sw, sh); break;
    case 3: drawn = DrawGlossyBar(sw, sh); break;
    case 4: drawn = DrawTitledBox(sw, sh); break;
    default: break;
  }
  CaptionLayoutInput in;
  in.style = m_style;
  in.sw = sw;
  in.sh = sh;
  in.hasCaption = hasCaption;
  in.alignment = m_alignment;
  in.hasPicture = m_picture != nullptr;
  in.iconSize = m_iconSize;
  in.iconAlignment = m_iconAlignment;
  auto layout = drawn ? LayoutCaption(in) : std::nullopt;
  if (layout) {
    Rect& r = layout->caption;
    r = Rect{surface.X(r.left), surface.Y(r.top), surface.X(r.right), surface.Y(r.bottom)};
    layout->iconX = surface.X(layout->iconX);
    layout->iconY = surface.Y(layout->iconY);
    m_layout = *layout;
    HDC dc = hDC();
    if (hasCaption) {
      SetForeColor(m_textColor);
      RECT rc{layout->caption.left, layout->caption.top, layout->caption.right,
              layout->caption.bottom};
      DrawTextW(dc, WPtr(m_caption), static_cast<int>(m_caption.size()), &rc, m_textFormat);
    }
    const int iconSize = Scaled(m_iconSize);
    if (m_picture) {
      m_picture->Draw(dc, RECT{layout->iconX, layout->iconY, layout->iconX + iconSize,
                               layout->iconY + iconSize},
                      Dpi());
    }
  }
  Refresh();
}

bool skLabel::DrawFramedBox(int sw, int sh) {
  return FilledShape(MakeCanvas(hDC(), ScaleWidth(), ScaleHeight(), Dpi()), sw, sh, Translated(m_fillColor), Translated(m_frameColor), 0);
}

bool skLabel::DrawBandedBox(int sw, int sh) {
  const Canvas dc = MakeCanvas(hDC(), ScaleWidth(), ScaleHeight(), Dpi());
  const auto top = Translated(m_inUse.gradientEnd);
  const auto bottom = Translated(m_inUse.gradientStart);
  const auto frame = Translated(m_inUse.frame);
  return FramedGradient(dc, top, bottom, 0, 0, sw - 1, kBand, frame) &&
         FramedGradient(dc, top, bottom, 0, kBand, sw - 1, sh, frame) &&
         FramedGradient(dc, top, bottom, 0, sh - kBand - 1, sw - 1, kBand, frame);
}

bool skLabel::DrawTextBox(int sw, int sh) {
  return FilledShape(MakeCanvas(hDC(), ScaleWidth(), ScaleHeight(), Dpi()), sw, sh, Translated(m_textBoxColor), Translated(m_frameColor),
                     m_roundedCorners ? sh : 0);
}

bool skLabel::DrawGlossyBar(int sw, int sh) {
  const Canvas dc = MakeCanvas(hDC(), ScaleWidth(), ScaleHeight(), Dpi());
  const bool grey = m_themeColor != 0;
  FillBox(dc, 0, 12, sw, sh - 12, GlossyFill(grey));
  for (const BarLine& line : GlossyLines(grey, sh)) {
    DrawLine(dc, 0, line.row, sw, line.row, line.colour);
  }
  return true;
}

bool skLabel::DrawTitledBox(int sw, int sh) {
  const Canvas dc = MakeCanvas(hDC(), ScaleWidth(), ScaleHeight(), Dpi());
  const auto start = Translated(m_inUse.gradientStart);
  if (!start) return false;
  if (!FilledShape(dc, sw, sh, Average(*start, kWhite), kBlack, 0)) return false;
  if (!FramedGradient(dc, kWhite, start, 0, 0, sw - 1, 2 * kBand, kBlack)) return false;
  const uint32_t dark = Average(kBlack, *start);
  constexpr int y = 2;
  for (int32_t x : GripDotsX(sw)) {
    Outline(dc, x + 1, y + 1, 1, 1, kWhite);
    Outline(dc, x, y, 1, 1, dark);
  }
  return true;
}

// -- Events from the host

void skLabel::OnCreated() {
  // The base makes the label's own font (a copy of the container's) and applies it.
  UserControl::OnCreated();
  ApplyThemeColor();
}

void skLabel::OnInitProperties() {
  const AmbientProperties ambient = Ambient();
  m_caption = ambient.displayName;
  SetWindowCaption(m_caption);
  UserControl::SetBackColor(ambient.backColor);
  m_fillColor = ambient.backColor;
  m_roundedCorners = false;
  m_style = kDefaultStyle;
  m_themeColor = kDefaultThemeColor;
  m_textColor = kDefaultTextColor;
  m_frameColor = kDefaultFrameColor;
  m_textBoxColor = kDefaultTextBoxColor;
  m_textFormat = TextFormatFor(m_alignment);
}

void skLabel::OnReadProperties(const PropertyStore& p) {
  const AmbientProperties ambient = Ambient();
  m_frameColor = p.ReadColour(u"FrameColor", kDefaultFrameColor);
  const Colour back = p.ReadColour(u"BackColor", ambient.backColor);
  m_fillColor = p.ReadColour(u"FillColor", ambient.backColor);
  m_textBoxColor = p.ReadColour(u"TextBoxColor", kDefaultTextBoxColor);
  m_style = p.ReadInt32(u"Style", kDefaultStyle);
  m_roundedCorners = p.ReadBool(u"RoundedCornerTxtBox", false);
  m_caption = p.ReadText(u"Caption", ambient.displayName);
  m_textColor = p.ReadColour(u"TextColor", kDefaultTextColor);
  m_alignment = p.ReadInt32(u"Alignment", kDefaultAlignment);
  m_iconAlignment = p.ReadInt32(u"IconAlignment", kDefaultIconAlignment);
  const FontValue ambientFont = ambient.font ? ambient.font->Value() : Font::DefaultValue();
  const FontValue font = p.ReadFont(u"Font", ambientFont);
  const PictureRef picture = p.ReadPicture(u"Picture", PictureRef{});
  m_picture = picture.empty() ? nullptr : fw::Picture::FromResource(picture.resource);
  m_iconSize = p.ReadInt16(u"IconSize", kDefaultIconSize);
  m_themeColor = p.ReadInt32(u"ThemeColor", kDefaultThemeColor);
  m_colorFrom = p.ReadColour(u"ColorFrom", kDefaultColorFrom);
  m_colorTo = p.ReadColour(u"ColorTo", kDefaultColorTo);

  SetWindowCaption(m_caption);
  UserControl::SetBackColor(back);
  m_textFormat = TextFormatFor(m_alignment);
  CopyFont(font);
  ApplyThemeColor();
  Redraw();
}

void skLabel::OnWriteProperties(PropertyStore& p) {
  const AmbientProperties ambient = Ambient();
  p.Write(u"FrameColor", m_frameColor, kDefaultFrameColor);
  p.Write(u"BackColor", BackColor(), ambient.backColor);
  p.Write(u"FillColor", m_fillColor, ambient.backColor);
  p.Write(u"TextBoxColor", m_textBoxColor, kDefaultTextBoxColor);
  p.Write(u"Style", m_style, kDefaultStyle);
  p.Write(u"RoundedCornerTxtBox", m_roundedCorners, false);
  p.Write(u"Caption", std::u16string_view(m_caption), std::u16string_view(ambient.displayName));
  p.Write(u"TextColor", m_textColor, kDefaultTextColor);
  p.Write(u"Alignment", m_alignment, kDefaultAlignment);
  p.Write(u"IconAlignment", m_iconAlignment, kDefaultIconAlignment);
  const FontValue ambientFont = ambient.font ? ambient.font->Value() : Font::DefaultValue();
  p.Write(u"Font", GetFont()->Value(), ambientFont);
  // A picture that came from no resource cannot be named in a design: saved as none.
  p.Write(u"Picture", PictureRef{m_picture ? m_picture->ResourceName() : std::u16string()},
          PictureRef{});
  p.Write(u"IconSize", m_iconSize, kDefaultIconSize);
  p.Write(u"ThemeColor", m_themeColor, kDefaultThemeColor);
  p.Write(u"ColorFrom", m_colorFrom, kDefaultColorFrom);
  p.Write(u"ColorTo", m_colorTo, kDefaultColorTo);
}

void RegisterskLabel() {
  RegisterControlKind(u"skLabel", [] { return std::make_unique<skLabel>(); });
}

}  // namespace fw
