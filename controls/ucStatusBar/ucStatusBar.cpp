#include "controls/ucStatusBar/ucStatusBar.h"

#include <oleacc.h>
#include <uxtheme.h>

#include <algorithm>
#include <exception>
#include <limits>
#include <vector>

#include "host/ColourWin.h"
#include "host/DesignCanvas.h"
#include "host/Form.h"
#include "host/Gdi.h"
#include "host/Numeric.h"
#include "host/WideText.h"

namespace fw {

using namespace statusbar;

namespace {

constexpr int32_t kBarHeightTwips = 360;

// The Align values the bar uses: it docks itself to the bottom edge.
constexpr int32_t kDockNone = 0;
constexpr int32_t kDockBottom = 2;

// The panel formats are the platform's text-drawing flags, passed on as they are.
static_assert(kFormatLeft == (DT_WORD_ELLIPSIS | DT_VCENTER | DT_LEFT));
static_assert(kFormatCentre == (DT_WORD_ELLIPSIS | DT_VCENTER | DT_CENTER));
static_assert(kFormatRight == (DT_WORD_ELLIPSIS | DT_VCENTER | DT_RIGHT));
static_assert(kNewBackColor == SystemColour(COLOR_BTNFACE));
static_assert(kNewForeColor == SystemColour(COLOR_BTNTEXT));
constexpr int kCaps1 = 94;           // device capability: CAPS1
constexpr int kCaps1Transparent = 1;  // C1_TRANSPARENT
constexpr int kNewTransparent = 3;    // background mode NEWTRANSPARENT

StatusBarSystem& CurrentSystem() {
  static StatusBarSystem system = StatusBarSystem::Platform();
  return system;
}

int16_t To16(int v) {
  return static_cast<int16_t>(std::clamp<int>(v, std::numeric_limits<int16_t>::min(),
                                              std::numeric_limits<int16_t>::max()));
}

// A control bound to a panel that is still there: its window lives and is still
// the one it had when it was bound.
Control* LiveBound(const StatusPanel& p) {
  HWND h = static_cast<HWND>(p.boundWindow);
  if (!p.boundControl || !h || !IsWindow(h)) return nullptr;
  return Control::FromHwnd(h) == p.boundControl ? p.boundControl : nullptr;
}

int32_t ToTwipsX(double pixels) { return RoundHalfEven(pixels * TwipsPerPixelX()); }
int32_t ToTwipsY(double pixels) { return RoundHalfEven(pixels * TwipsPerPixelY()); }

}  // namespace

StatusBarSystem StatusBarSystem::Platform() {
  StatusBarSystem s;
  s.version = []() -> std::optional<OsVersion> {
    OSVERSIONINFOEXW v{};
    v.dwOSVersionInfoSize = sizeof v;
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&v))) return std::nullopt;
    return OsVersion{v.dwMajorVersion, v.dwMinorVersion, v.dwBuildNumber, v.dwPlatformId};
  };
  s.themeColourName = []() -> std::optional<std::u16string> {
    wchar_t file[256] = {};
    wchar_t colour[256] = {};
    if (FAILED(GetCurrentThemeName(file, 255, colour, 255, nullptr, 0))) return std::nullopt;
    return std::u16string(reinterpret_cast<const char16_t*>(colour), 255);
  };
  s.isFunctionExported = [](std::wstring_view function, std::wstring_view module) {
    return IsFunctionExported(function, module);
  };
  return s;
}

void ucStatusBar::SetSystem(StatusBarSystem system) {
  const StatusBarSystem platform = StatusBarSystem::Platform();
  StatusBarSystem& s = CurrentSystem();
  s.version = system.version ? std::move(system.version) : platform.version;
  s.themeColourName = system.themeColourName ? std::move(system.themeColourName)
                                             : platform.themeColourName;
  s.isFunctionExported = system.isFunctionExported ? std::move(system.isFunctionExported)
                                                   : platform.isFunctionExported;
}

ucStatusBar::ucStatusBar() : UserControl(u"ucStatusBar") {}

ucStatusBar::~ucStatusBar() = default;

template <typename F>
void ucStatusBar::Handler(std::u16string_view name, F&& body) {
  try {
    Trap(name, std::forward<F>(body));
  } catch (const StatusBarError& e) {
    if (HandlerError) HandlerError(e);
  }
}

// -- Operations and properties

void ucStatusBar::AddPanel(std::u16string_view sText, int32_t uTextAlign, bool bAutoSize,
                           bool bEditable, std::shared_ptr<Picture> oIcon, int32_t bIconState,
                           bool bUseMaskColor, Colour lMaskColor, Colour lForeColor,
                           std::shared_ptr<fw::Font> oFont, std::u16string_view sToolTipText,
                           int32_t lWidth) {
  Trap(u"AddPanel", [&] {
    // The panel shares the font object it is given, else the bar's, else the
    // host's: a later change to that object shows in the panel.
    std::shared_ptr<fw::Font> font = oFont ? std::move(oFont) : m_font ? m_font : Ambient().font;
    m_panels.Add(std::u16string(sText), uTextAlign, bAutoSize, bEditable, std::move(oIcon),
                 bIconState, bUseMaskColor, lMaskColor, lForeColor, std::move(font),
                 std::u16string(sToolTipText), lWidth);
    Refresh();
  });
}

Colour ucStatusBar::BackColor() const { return m_backColor; }

void ucStatusBar::SetBackColor(Colour colour) {
  Trap(u"BackColor", [&] {
    m_backColor = colour;
    UserControl::SetBackColor(colour);
    Refresh();
    PropertyChanged(u"BackColor");
  });
}

void ucStatusBar::BoundControl(int32_t index, Control* control, int32_t sizeMethod) {
  Trap(u"BoundControl", [&] {
    StatusPanel* p = m_panels.ForWrite(index);
    if (!p) return;
    if (control) {
      // A control bound before is replaced without being given back.
      HWND parent = control->hWnd() ? GetParent(control->hWnd()) : nullptr;
      if (parent == hWnd()) {
        // Bound again (to this panel or another): it came from where it was
        // first taken, not from the bar, or it could never be given back.
        for (const StatusPanel& other : m_panels.Records()) {
          if (other.boundWindow == control->hWnd() && other.formerParent) {
            parent = static_cast<HWND>(other.formerParent);
            break;
          }
        }
      }
      p->formerParent = parent;
      p->boundControl = control;
      p->boundWindow = control->hWnd();
      control->MoveToContainer(hWnd());
    } else {
      if (Control* bound = LiveBound(*p)) {
        bound->MoveToContainer(static_cast<HWND>(p->formerParent));
      }
      p->boundControl = nullptr;
      p->boundWindow = nullptr;
    }
    p->sizeMethod = sizeMethod;
    Refresh();
  });
}

void ucStatusBar::Clear() {
  Trap(u"Clear", [&] {
    const unique_hbrush brush = MakeSolidBrush(ToColorRef(m_backColor));
    const RECT rc{0, 0, ScaleWidth(), ScaleHeight()};
    FillRect(hDC(), &rc, brush.get());
  });
}

Colour ucStatusBar::ForeColor() const { return m_foreColor; }

void ucStatusBar::SetForeColor(Colour colour) {
  Trap(u"ForeColor", [&] {
    m_foreColor = colour;
    UserControl::SetForeColor(colour);
    Refresh();
    PropertyChanged(u"ForeColor");
  });
}

std::shared_ptr<fw::Font> ucStatusBar::Font() const { return m_font; }

void ucStatusBar::SetFont(std::shared_ptr<fw::Font> font) {
  Trap(u"Font", [&] {
    m_font = std::move(font);
    Refresh();
    PropertyChanged(u"Font");
  });
}

int32_t ucStatusBar::GripShape() const { return m_gripShape; }

void ucStatusBar::SetGripShape(int32_t lShape) {
  Trap(u"GripShape", [&] {
    if (lShape == m_gripShape) return;
    m_gripShape = lShape;
    Refresh();
    PropertyChanged(u"GripShape");
  });
}

bool ucStatusBar::IsWinXP() const {
  return Trap(u"IsWinXP", [&] { return statusbar::IsWinXP(CurrentSystem().version()); });
}

std::u16string ucStatusBar::GetThemeInfo() const {
  return Trap(u"GetThemeInfo", [&] {
    const bool xp = IsWinXP();
    return ThemeInfo(xp, xp ? CurrentSystem().themeColourName() : std::nullopt);
  });
}

int32_t ucStatusBar::PanelCount() {
  return Trap(u"PanelCount", [&] { return m_panels.Recount(); });
}

int32_t ucStatusBar::PanelAlignment(int32_t index) const {
  return Trap(u"PanelAlignment",
              [&] { return AlignmentFromFormat(m_panels.ForRead(index).textFormat); });
}

void ucStatusBar::SetPanelAlignment(int32_t index, int32_t alignment) {
  Trap(u"PanelAlignment", [&] {
    StatusPanel* p = m_panels.ForWrite(index);
    if (!p) return;
    if (alignment >= kAlignLeft && alignment <= kAlignRight) p->textFormat = FormatFromAlignment(alignment);
    Refresh();
  });
}

// The per-panel properties: a read clamps the index and fails with no such
// panel; a write does nothing without panels, else stores and repaints.
#define FW_PANEL_PROPERTY(Name, Type, field)                                           \
  Type ucStatusBar::Name(int32_t index) const {                                        \
    return Trap(u## #Name, [&]() -> Type { return m_panels.ForRead(index).field; });   \
  }                                                                                    \
  void ucStatusBar::Set##Name(int32_t index, Type value) {                             \
    Trap(u## #Name, [&] {                                                              \
      if (StatusPanel* p = m_panels.ForWrite(index)) {                                 \
        p->field = std::move(value);                                                   \
        Refresh();                                                                     \
      }                                                                                \
    });                                                                                \
  }

FW_PANEL_PROPERTY(PanelAutoSize, bool, autoSize)
FW_PANEL_PROPERTY(PanelEditable, bool, editable)
FW_PANEL_PROPERTY(PanelForeColor, Colour, foreColor)
FW_PANEL_PROPERTY(PanelFont, std::shared_ptr<fw::Font>, font)
FW_PANEL_PROPERTY(PanelIcon, std::shared_ptr<Picture>, icon)
FW_PANEL_PROPERTY(PanelWidth, int32_t, width)
#undef FW_PANEL_PROPERTY

std::u16string ucStatusBar::PanelText(int32_t index) const {
  return Trap(u"PanelText", [&] { return m_panels.ForRead(index).text; });
}

void ucStatusBar::SetPanelText(int32_t index, std::u16string_view text) {
  Trap(u"PanelText", [&] {
    if (m_panels.ForWrite(index)) {
      StorePanelText(index, text);
      Refresh();
    }
  });
}

void ucStatusBar::StorePanelText(int32_t index, std::u16string_view text) {
  StatusPanel* p = m_panels.ForWrite(index);
  if (!p || p->text == text) return;
  p->text = text;
  // The record written: the index clamped as the write clamps it.
  const auto& records = m_panels.Records();
  for (size_t i = 0; i < records.size(); ++i) {
    if (&records[i] == p) NotifyAccessibleNameChange(static_cast<int>(i));
  }
}

std::u16string ucStatusBar::PanelToolTipText(int32_t index) const {
  return Trap(u"PanelToolTipText", [&] { return m_panels.ForRead(index).toolTipText; });
}

void ucStatusBar::SetPanelToolTipText(int32_t index, std::u16string_view text) {
  Trap(u"PanelToolTipText", [&] {
    if (StatusPanel* p = m_panels.ForWrite(index)) {
      p->toolTipText = text;
      Refresh();
    }
  });
}

bool ucStatusBar::Sizable() const { return m_sizable; }

void ucStatusBar::SetSizable(bool sizable) {
  Trap(u"Sizable", [&] {
    m_sizable = sizable;
    SetGripShape(sizable ? (IsWinXP() ? kGripDots : kGripLines) : kGripNone);
    Refresh();
    PropertyChanged(u"Sizable");
  });
}

int32_t ucStatusBar::Theme() const { return m_theme; }

void ucStatusBar::SetTheme(int32_t theme) {
  Trap(u"Theme", [&] {
    m_theme = theme;
    Refresh();
    PropertyChanged(u"Theme");
  });
}

std::u16string ucStatusBar::Version(bool bDateTime) const {
  return Trap(u"Version", [&] { return statusbar::Version(bDateTime); });
}

// -- Painting

// Every change the bar hears of (a property, its size, the desktop's theme or
// colours, a paint) lays it out again and draws it anew: the layout first (the
// theme in effect, the panels' rectangles, the bound controls moved into
// theirs), then the painters, which only read it.
void ucStatusBar::Refresh() {
  Trap(u"Refresh", [&] {
    if (!hWnd()) return;
    LayOut();
    PaintGradients();
    PaintGrip();
    PaintPanels();
    // The surface keeps what was drawn (in design mode too); show it.
    UserControl::Refresh();
  });
}

void ucStatusBar::LayOut() {
  const ResolvedTheme r = ResolveTheme(m_theme, m_gripShape, [this] { return GetThemeInfo(); });
  m_effectiveTheme = r.effective;
  m_gripShape = r.gripShape;
  LayOutPanels();
}

// The panels one at a time, in the order they are drawn, each panel's text
// rectangle kept in its record and a bound control moved into it as soon as
// the panel is laid out. An overflow ends the layout at the panel it happens
// in; the painting draws what was laid out before it and then reports it.
void ucStatusBar::LayOutPanels() {
  m_places = PanelPlaces{};
  m_panels.Recount();
  std::vector<StatusPanel>& panels = m_panels.Records();
  {
    std::vector<unique_hfont> fonts;
    m_places.inputs = MeasurePanels(hDC(), fonts);
  }
  PanelLayout layout(ScaleWidth(), ScaleHeight(), m_effectiveTheme, Dpi());
  try {
    for (size_t i = 0; i < panels.size() && i < m_places.inputs.size(); ++i) {
      StatusPanel& p = panels[i];
      // The border is drawn from the first half alone, as it stands when the
      // second half overflows.
      const PanelPaint outer = layout.Begin(m_places.inputs[i]);
      m_places.placed.push_back(outer);
      PanelPaint inner = outer;
      layout.Finish(m_places.inputs[i], inner);
      m_places.placed.back() = inner;
      p.textRect = inner.textRect;
      m_places.finished = i + 1;
      if (m_places.inputs[i].bound) PlaceBound(p);
    }
  } catch (...) {
    m_places.error = std::current_exception();
  }
}

void ucStatusBar::APILine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  Trap(u"APILine", [&] {
    HDC dc = hDC();
    const unique_hpen pen = MakePen(PS_SOLID, 1, ToColorRef(Colour(colour)));
    const unique_select selected(dc, pen.get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
  });
}

void ucStatusBar::PaintGradients() {
  Trap(u"PaintGradients", [&] {
    if (m_effectiveTheme == kThemeClassic) {
      Clear();
      return;
    }
    const std::vector<Row> rows =
        GradientRows(m_effectiveTheme, TranslateColor(UserControl::BackColor()), ScaleHeight(), Dpi());
    Clear();
    const int32_t sw = ScaleWidth();
    for (const Row& row : rows) APILine(0, row.y, sw, row.y, row.colour);
  });
}

void ucStatusBar::PaintGrip() {
  Trap(u"PaintGrip", [&] {
    const std::vector<GripMark> marks =
        GripMarks(m_gripShape, m_effectiveTheme, ScaleWidth(), ScaleHeight(), Dpi());
    if (marks.empty()) return;
    const int32_t back = TranslateColor(UserControl::BackColor());
    const bool lined = m_gripShape == kGripLines;
    const uint32_t dark = lined ? LinedGripDark(back) : DottedGripDark(back);
    HDC dc = hDC();
    for (const GripMark& m : marks) {
      const uint32_t colour = m.white ? 0xFFFFFFu : dark;
      UserControl::SetForeColor(Colour(colour));
      if (m.side > 0) {
        const unique_hbrush brush = MakeSolidBrush(ToColorRef(Colour(colour)));
        const RECT square{m.x1, m.y1, m.x1 + m.side, m.y1 + m.side};
        FillRect(dc, &square, brush.get());
      } else if (lined) {
        APILine(m.x1, m.y1, m.x2, m.y2, colour);
      } else {
        for (int dy = 0; dy < 2; ++dy) {
          for (int dx = 0; dx < 2; ++dx) SetPixel(dc, m.x1 + dx, m.y1 + dy, colour);
        }
      }
    }
  });
}

// The panels from their layout: the separator (the sunken edge in the classic
// look), the icon and the text, each panel in its own font and colour.
void ucStatusBar::PaintPanels() {
  Trap(u"PaintPanels", [&] {
    HDC dc = hDC();
    const Colour savedFore = UserControl::ForeColor();
    const std::vector<StatusPanel>& panels = m_panels.Records();
    const DesignCanvas canvas(dc, Dpi(), SIZE{ScaleWidth(), ScaleHeight()});
    const int32_t px = Scaled(1);
    const uint32_t separator = BlendColor(0x909090, TranslateColor(m_backColor), 128);
    // The separator's two columns run from 5 below the top to 5 above the bottom.
    const int32_t top = canvas.Y(5), bottom = canvas.Y(canvas.Height() - 5);
    for (size_t i = 0; i < panels.size() && i < m_places.inputs.size(); ++i) {
      const StatusPanel& p = panels[i];
      UserControl::SetForeColor(p.foreColor);
      const unique_hfont handle = p.font ? p.font->CreateHandle(Dpi()) : unique_hfont();
      const unique_select font(dc, handle.get());
      // An overflow laid out no more: the paint stops where the layout did.
      if (i >= m_places.placed.size()) break;
      const PanelPaint& pp = m_places.placed[i];
      if (m_effectiveTheme == kThemeClassic) {
        canvas.Edge(RECT{pp.edge.left, pp.edge.top, pp.edge.right, pp.edge.bottom}, BDR_SUNKENOUTER,
                    BDR_SUNKENINNER);
      } else {
        canvas.FillDevice(RECT{pp.x, top, pp.x + px, bottom}, ToColorRef(Colour(separator)));
        canvas.FillDevice(RECT{pp.x + px, top, pp.x + 2 * px, bottom}, RGB(255, 255, 255));
      }
      if (i >= m_places.finished) break;
      if (m_places.inputs[i].bound) continue;
      if (pp.iconDrawn) {
        // The mask colour is the back colour as stored: a system colour is not
        // translated, so it matches no pixel.
        TransBltEx(dc, pp.iconX, pp.iconY, Scaled(16), Scaled(16), p.icon.get(), 0, 0, m_backColor,
                   p.iconState != 0);
      }
      if (pp.textDrawn) {
        RECT rc{pp.textRect.left, pp.textRect.top, pp.textRect.right, pp.textRect.bottom};
        const std::wstring text = ToWide(p.text);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc,
                  static_cast<UINT>(p.textFormat));
      }
    }
    if (m_places.error) std::rethrow_exception(m_places.error);
    UserControl::SetForeColor(savedFore);
    ShowPanelsAsCaption();
  });
}

std::vector<PanelInput> ucStatusBar::MeasurePanels(HDC dc, std::vector<unique_hfont>& fonts) const {
  // The panels' fonts at the bar's dpi (the form's), which the screen's DC need not have.
  const int dpi = Dpi();
  std::vector<PanelInput> inputs;
  for (const StatusPanel& p : m_panels.Records()) {
    fonts.push_back(p.font ? p.font->CreateHandle(dpi) : unique_hfont());
    PanelInput in;
    in.hasIcon = p.icon != nullptr;
    in.autoSize = p.autoSize;
    in.bound = LiveBound(p) != nullptr;
    in.alignment = AlignmentFromFormat(p.textFormat);
    in.textEmpty = p.text.empty();
    in.width = p.width;
    if (p.autoSize) {
      const unique_select font(dc, fonts.back().get());
      const std::wstring text = ToWide(p.text);
      SIZE size{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      in.textWidth = size.cx;
    }
    inputs.push_back(in);
  }
  return inputs;
}

void ucStatusBar::ShowPanelsAsCaption() {
  // What the panels show is the window's text too (tab between panels), so
  // tools outside the process can read the bar as they read other controls.
  const std::vector<StatusPanel>& panels = m_panels.Records();
  std::u16string caption;
  const size_t shown = std::min(panels.size(), static_cast<size_t>(m_panels.Count()));
  for (size_t i = 0; i < shown; ++i) caption += (i ? u"\t" : u"") + panels[i].text;
  if (caption != WindowCaption()) SetWindowCaption(caption);
}

void ucStatusBar::PlaceBound(StatusPanel& p) {
  // Errors while placing are ignored: each step is tried on its own.
  Control* c = LiveBound(p);
  if (!c) return;
  const PanelRect& rc = p.textRect;
  if (p.sizeMethod != 0) {
    std::optional<BoundPlacement> b;
    try {
      b = StretchedBound(m_effectiveTheme, rc, Dpi());
    } catch (const StatusBarError&) {
      // Beyond 32 bits: left and width are not set, and a width not set counts
      // as refused.
    }
    const int32_t askedWidth = b ? ToTwipsX(b->width) : 0;
    if (b) c->SetLeft(ToTwipsX(b->left));
    if (b) c->SetWidth(askedWidth);
    const bool refused = !b || c->Width() != askedWidth;
    c->SetHeight(ToTwipsY(Scaled(16)));
    c->SetTop(Height() / 2 - c->Height() / 2);
    c->SetVisible(!(refused || c->Width() <= ToTwipsX(Scaled(2))));
    c->ZOrder(0);
  } else {
    c->SetLeft(ToTwipsX(rc.left));
    c->SetTop(ToTwipsY(rc.top));
    c->SetHeight(ToTwipsY(Scaled(16)));
    c->ZOrder(0);
  }
}

void ucStatusBar::TransBltEx(HDC hDestDC, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight,
                             const Picture* hSrcImg, int32_t XSrc, int32_t YSrc,
                             Colour TransColor, bool Disabled) {
  Trap(u"TransBltEx", [&] {
    if (!hSrcImg || nWidth <= 0 || nHeight <= 0) return;
    const COLORREF trans = TransColor.value;
    unique_hdc mem(CreateCompatibleDC(hDestDC));
    if (!mem) return;
    // The picture is copied before anything is done to it: greying works on
    // the copy, so the caller's picture (shared with others) keeps its colours.
    unique_hbitmap image;
    int imageWidth = nWidth;
    int imageHeight = nHeight;
    const int dpi = Dpi();
    if (dpi != 96 && !Disabled) {
      // Drawn from the picture's nearest source for this size, filtered, with
      // the transparent colour left out.
      hSrcImg->DrawTransparent(hDestDC, RECT{x, y, x + nWidth, y + nHeight}, dpi, trans);
      return;
    }
    if (hSrcImg->GetType() == Picture::Type::Bitmap && dpi != 96) {
      // A bitmap drawn for 96 dpi: its part from (XSrc, YSrc) grown to the box,
      // each pixel a block, so the transparent colour stays exact.
      image.reset(CreateCompatibleBitmap(hDestDC, nWidth, nHeight));
      if (!image) return;
      const unique_select sel(mem.get(), image.get());
      unique_hdc source(CreateCompatibleDC(hDestDC));
      const unique_select srcSel(source.get(), hSrcImg->Bitmap());
      const int oldMode = SetStretchBltMode(mem.get(), COLORONCOLOR);
      StretchBlt(mem.get(), 0, 0, nWidth, nHeight, source.get(), XSrc, YSrc,
                 MulDiv(nWidth, 96, dpi), MulDiv(nHeight, 96, dpi), SRCCOPY);
      SetStretchBltMode(mem.get(), oldMode);
      XSrc = YSrc = 0;
    } else if (hSrcImg->GetType() == Picture::Type::Bitmap) {
      imageWidth = hSrcImg->PixelWidth();
      imageHeight = hSrcImg->PixelHeight();
      image.reset(CreateCompatibleBitmap(hDestDC, imageWidth, imageHeight));
      if (!image) return;
      const unique_select sel(mem.get(), image.get());
      unique_hdc source(CreateCompatibleDC(hDestDC));
      const unique_select srcSel(source.get(), hSrcImg->Bitmap());
      BitBlt(mem.get(), 0, 0, imageWidth, imageHeight, source.get(), 0, 0, SRCCOPY);
    } else {
      image.reset(CreateCompatibleBitmap(hDestDC, nWidth, nHeight));
      if (!image) return;
      const unique_select sel(mem.get(), image.get());
      const unique_hbrush back = MakeSolidBrush(trans);
      const RECT all{0, 0, nWidth, nHeight};
      FillRect(mem.get(), &all, back.get());
      DrawIconEx(mem.get(), 0, 0, hSrcImg->Icon(), nWidth, nHeight, 0, back.get(), DI_NORMAL);
    }
    const unique_select imageSel(mem.get(), image.get());

    if ((GetDeviceCaps(hDestDC, kCaps1) & kCaps1Transparent) != 0) {
      const int oldMode = SetBkMode(hDestDC, kNewTransparent);
      const COLORREF oldBack = SetBkColor(hDestDC, trans);
      if (Disabled) GrayBlt(mem.get(), mem.get(), imageWidth, imageHeight);
      BitBlt(hDestDC, x, y, nWidth, nHeight, mem.get(), XSrc, YSrc, SRCCOPY);
      SetBkColor(hDestDC, oldBack);
      SetBkMode(hDestDC, oldMode);
      return;
    }

    // The mask: pixels of the transparent colour set.
    SetBkColor(mem.get(), trans);
    unique_hbitmap mask(CreateBitmap(nWidth, nHeight, 1, 1, nullptr));
    unique_hdc maskDc(CreateCompatibleDC(hDestDC));
    const unique_select maskSel(maskDc.get(), mask.get());
    BitBlt(maskDc.get(), 0, 0, nWidth, nHeight, mem.get(), XSrc, YSrc, SRCCOPY);
    unique_hbitmap inverse(CreateBitmap(nWidth, nHeight, 1, 1, nullptr));
    unique_hdc inverseDc(CreateCompatibleDC(hDestDC));
    const unique_select inverseSel(inverseDc.get(), inverse.get());
    BitBlt(inverseDc.get(), 0, 0, nWidth, nHeight, maskDc.get(), 0, 0, NOTSRCCOPY);
    // What stays of the destination: its pixels under the transparent ones.
    unique_hbitmap behind(CreateCompatibleBitmap(hDestDC, nWidth, nHeight));
    unique_hdc behindDc(CreateCompatibleDC(hDestDC));
    const unique_select behindSel(behindDc.get(), behind.get());
    SetTextColor(behindDc.get(), RGB(0, 0, 0));
    SetBkColor(behindDc.get(), RGB(255, 255, 255));
    BitBlt(behindDc.get(), 0, 0, nWidth, nHeight, hDestDC, x, y, SRCCOPY);
    BitBlt(behindDc.get(), 0, 0, nWidth, nHeight, maskDc.get(), 0, 0, SRCAND);
    if (Disabled) GrayBlt(mem.get(), mem.get(), imageWidth, imageHeight);
    // What shows of the picture: the other pixels.
    unique_hbitmap front(CreateCompatibleBitmap(hDestDC, nWidth, nHeight));
    unique_hdc frontDc(CreateCompatibleDC(hDestDC));
    const unique_select frontSel(frontDc.get(), front.get());
    SetTextColor(frontDc.get(), RGB(0, 0, 0));
    SetBkColor(frontDc.get(), RGB(255, 255, 255));
    BitBlt(frontDc.get(), 0, 0, nWidth, nHeight, mem.get(), XSrc, YSrc, SRCCOPY);
    BitBlt(frontDc.get(), 0, 0, nWidth, nHeight, inverseDc.get(), 0, 0, SRCAND);
    BitBlt(frontDc.get(), 0, 0, nWidth, nHeight, behindDc.get(), 0, 0, SRCINVERT);
    BitBlt(hDestDC, x, y, nWidth, nHeight, frontDc.get(), 0, 0, SRCCOPY);
  });
}

void ucStatusBar::GrayBlt(HDC dest, HDC source, int32_t width, int32_t height) {
  Trap(u"GrayBlt", [&] {
    if (width <= 0 || height <= 0) return;
    unique_hdc dc(CreateCompatibleDC(source));
    if (!dc) return;
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
      const auto g = static_cast<BYTE>(i);
      info.colours[i] = RGBQUAD{g, g, g, 0};
    }
    void* bits = nullptr;
    unique_hbitmap grey(CreateDIBSection(dc.get(), reinterpret_cast<BITMAPINFO*>(&info),
                                         DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!grey) return;
    const unique_select sel(dc.get(), grey.get());
    BitBlt(dc.get(), 0, 0, width, height, source, 0, 0, SRCCOPY);
    BitBlt(dest, 0, 0, width, height, dc.get(), 0, 0, SRCCOPY);
  });
}

// -- Interaction

int32_t ucStatusBar::GetPanelIndex() const {
  return Trap(u"GetPanelIndex", [&]() -> int32_t {
    if (m_panels.Count() == 0 || !hWnd()) return 0;
    POINT pt{};
    GetCursorPos(&pt);
    ScreenToClient(hWnd(), &pt);
    return PanelAt(HitPanels(), pt.x, pt.y, Dpi());
  });
}

std::vector<HitPanel> ucStatusBar::HitPanels() const {
  std::vector<HitPanel> hits;
  const auto& records = m_panels.Records();
  const size_t count = std::min(records.size(), static_cast<size_t>(std::max(m_panels.Count(), 0)));
  for (size_t i = 0; i < count; ++i) {
    hits.push_back({records[i].textRect, records[i].icon != nullptr,
                    AlignmentFromFormat(records[i].textFormat)});
  }
  return hits;
}

void ucStatusBar::HideEdit() {
  // The flag goes first: hiding the focused box moves the focus, and that focus
  // loss must not store the text.
  m_editing = false;
  m_txtEdit.SetVisible(false);
}

void ucStatusBar::CommitEdit() {
  if (!m_editing) return;
  StorePanelText(m_editPanel, m_txtEdit.Text());
  HideEdit();
}

void ucStatusBar::OnClick() { RaiseClick(-1); }

void ucStatusBar::RaiseClick(int32_t panel) {
  Handler(u"UserControl_Click", [&] {
    if (m_editing || IsWindowVisible(m_txtEdit.hWnd())) HideEdit();
    HWND self = hWnd();
    if (Click) Click();
    if (!IsWindow(self)) return;
    int32_t index = panel >= 0 ? panel : GetPanelIndex();
    if (PanelClick) PanelClick(index);
  });
}

// -- Assistive technology

namespace {

// Posted to itself with the panel: a tool's click runs once the tool's call has
// returned, so a click that opens a window does not hold the tool waiting.
UINT ToolClickMessage() {
  static const UINT message = RegisterWindowMessageW(L"FuelwiseStatusBarToolClick");
  return message;
}

}  // namespace

int32_t ucStatusBar::ShownPanels() const {
  return std::min(static_cast<int32_t>(m_panels.Records().size()), m_panels.Count());
}

void ucStatusBar::OnAccessibleSelf(AccessibleItem& self) const { self.role = ROLE_SYSTEM_STATUSBAR; }

int ucStatusBar::OnAccessiblePartCount() const { return std::max<int32_t>(ShownPanels(), 0); }

void ucStatusBar::OnAccessiblePart(int part, AccessibleItem& item) const {
  if (part < 0 || part >= ShownPanels()) return;
  const StatusPanel& p = m_panels.Records()[static_cast<size_t>(part)];
  item.role = ROLE_SYSTEM_STATICTEXT;
  item.name = p.text;
  item.defaultAction = u"Click";
  const bool shown = hWnd() && IsWindowVisible(hWnd());
  item.state = STATE_SYSTEM_READONLY | (shown ? 0 : STATE_SYSTEM_INVISIBLE);
  // Where a click finds the panel, so a tool clicking there clicks it. The hit
  // test counts both edges in: the rectangle reaches one pixel further.
  PanelRect hit{};
  try {
    hit = HitRect(HitPanels(), static_cast<size_t>(part), Dpi());
  } catch (const StatusBarError&) {
    hit = p.textRect;  // a panel beyond the 32-bit range: where its text is
  }
  RECT rc{hit.left, hit.top, hit.right + 1, hit.bottom + 1};
  if (hWnd()) MapWindowPoints(hWnd(), nullptr, reinterpret_cast<POINT*>(&rc), 2);
  item.location = rc;
}

bool ucStatusBar::OnAccessibleDefaultAction(int part) {
  if (part < 0 || part >= ShownPanels() || !Enabled() || !hWnd()) return false;
  return PostMessageW(hWnd(), ToolClickMessage(), static_cast<WPARAM>(part + 1), 0) != 0;
}

bool ucStatusBar::OnMessage(UINT msg, WPARAM w, LPARAM, LRESULT& result) {
  if (msg != ToolClickMessage()) return false;
  RaiseClick(static_cast<int32_t>(w));
  result = 0;
  return true;
}

void ucStatusBar::OnDblClick() {
  Handler(u"UserControl_DblClick", [&] {
    m_editPanel = GetPanelIndex();
    if (m_editPanel > 0 && m_panels.ForRead(m_editPanel).editable) {
      const StatusPanel& p = m_panels.ForRead(m_editPanel);
      const EditPlacement at =
          EditBoxPlacement(m_effectiveTheme, p.textRect, p.icon != nullptr, Dpi());
      m_txtEdit.SetBackColor(m_backColor);
      m_txtEdit.SetLeft(ToTwipsX(at.left));
      m_txtEdit.SetHeight(ToTwipsY(at.height));
      RECT box{};
      GetWindowRect(m_txtEdit.hWnd(), &box);
      m_txtEdit.SetTop(
          ToTwipsY(EditTop(m_effectiveTheme, ScaleHeight(), box.bottom - box.top, Dpi())));
      m_txtEdit.SetWidth(ToTwipsX(at.width));
      m_txtEdit.SetText(p.text);
      m_txtEdit.SetSelStart(0);
      m_txtEdit.SetSelLength(static_cast<int32_t>(p.text.size()));
      m_editing = true;
      m_txtEdit.SetVisible(true);
      m_txtEdit.ZOrder(0);
      m_txtEdit.SetFocus();
    }
    HWND self = hWnd();
    if (DblClick) DblClick();
    if (!IsWindow(self)) return;
    int32_t index = m_editPanel;
    if (PanelDblClick) PanelDblClick(index);
  });
}

void ucStatusBar::OnKeyDown(int& keyCode, int shift) {
  Handler(u"UserControl_KeyDown", [&] {
    int16_t k = To16(keyCode), s = To16(shift);
    if (KeyDown) KeyDown(k, s);
    keyCode = k;
  });
}

void ucStatusBar::OnKeyPress(int& keyAscii) {
  Handler(u"UserControl_KeyPress", [&] {
    int16_t k = To16(keyAscii);
    if (KeyPress) KeyPress(k);
    keyAscii = k;
  });
}

void ucStatusBar::OnKeyUp(int& keyCode, int shift) {
  Handler(u"UserControl_KeyUp", [&] {
    int16_t k = To16(keyCode), s = To16(shift);
    if (KeyUp) KeyUp(k, s);
    keyCode = k;
  });
}

void ucStatusBar::OnLostFocus() {
  Handler(u"UserControl_LostFocus", [&] {
    // The focus going to the edit box itself is how editing starts.
    if (m_editing && GetFocus() != m_txtEdit.hWnd()) CommitEdit();
  });
}

void ucStatusBar::RaiseMouse(const MouseEvent& bar, const PanelMouseEvent& panel, int button, int shift,
                             float x, float y) {
  HWND self = hWnd();
  int16_t b = To16(button), s = To16(shift);
  float fx = x, fy = y;
  if (bar) bar(b, s, fx, fy);
  if (!IsWindow(self)) return;
  int32_t index = GetPanelIndex();
  b = To16(button), s = To16(shift), fx = x, fy = y;
  if (panel) panel(index, b, s, fx, fy);
}

void ucStatusBar::OnMouseDown(int button, int shift, float x, float y) {
  Handler(u"UserControl_MouseDown", [&] {
    HWND self = hWnd();
    if (PtInRect(m_gripRect, RoundHalfEven(x), RoundHalfEven(y)) && m_sizable) {
      // The platform sizes the host from its bottom-right corner; this returns
      // when the sizing ends.
      ReleaseCapture();
      const DWORD pos = GetMessagePos();
      SendMessageW(ParentHwnd(), WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, static_cast<LPARAM>(pos));
      if (!IsWindow(self)) return;
    }
    RaiseMouse(MouseDown, PanelMouseDown, button, shift, x, y);
  });
}

void ucStatusBar::OnMouseMove(int button, int shift, float x, float y) {
  Handler(u"UserControl_MouseMove", [&] {
    const bool inGrip = PtInRect(m_gripRect, RoundHalfEven(x), RoundHalfEven(y));
    SetMousePointer(inGrip ? kPointerSizeNWSE : kPointerDefault);
    RaiseMouse(MouseMove, PanelMouseMove, button, shift, x, y);
  });
}

void ucStatusBar::OnMouseUp(int button, int shift, float x, float y) {
  Handler(u"UserControl_MouseUp", [&] {
    RaiseMouse(MouseUp, PanelMouseUp, button, shift, x, y);
  });
}

void ucStatusBar::zSubclass_Proc(bool bBefore, bool&, LRESULT&, HWND& hWnd, UINT& uMsg, WPARAM&,
                                 LPARAM&) {
  if (bBefore) return;
  try {
    switch (uMsg) {
      case WM_SYSCOLORCHANGE:
      case WM_NCPAINT:
      case WM_THEMECHANGED:
      case WM_SIZING: Refresh(); break;
      case WM_MOUSEMOVE:
        if (!m_pointerInside) {
          m_pointerInside = true;
          TrackMouseLeave(hWnd);
          if (MouseEnter) MouseEnter();
        }
        break;
      case WM_MOUSELEAVE:
        m_pointerInside = false;
        if (MouseLeave) MouseLeave();
        break;
      default: break;
    }
  } catch (const StatusBarError&) {
    // The callback passes nothing on: a failing repaint just ends it.
  }
}

void ucStatusBar::StartHooks() {
  const StatusBarSystem& sys = CurrentSystem();
  // Leave tracking comes from either system library; with neither there is
  // nothing to hook for.
  const bool trackingAvailable = sys.isFunctionExported(L"TrackMouseEvent", L"User32") ||
                                 sys.isFunctionExported(L"_TrackMouseEvent", L"Comctl32");
  if (!trackingAvailable || m_hooked) return;
  if (m_hook.HookStart(hWnd()) < 0) return;
  for (UINT msg : std::initializer_list<UINT>{WM_MOUSEMOVE, WM_MOUSELEAVE, WM_NCPAINT,
                   WM_THEMECHANGED, WM_SIZING, WM_SYSCOLORCHANGE}) {
    m_hook.HookAddMsg(hWnd(), msg, HookWhen::kAfter);
  }
  m_hooked = true;
}

// -- Events from the host

void ucStatusBar::OnCreated() {
  UserControl::OnCreated();
  if (m_txtEdit.Create(hWnd(), RECT{0, 0, 0, 0}, u"txtEdit")) {
    m_txtEdit.InitProperties();
    m_txtEdit.SetVisible(false);
    m_txtEdit.KeyUp = [this](int& keyCode, int) {
      Handler(u"txtEdit_KeyUp", [&] {
        if (keyCode == VK_ESCAPE && m_editing) {
          HideEdit();
        } else if (keyCode == VK_RETURN && m_editing) {
          CommitEdit();
          Refresh();
        }
      });
    };
    m_txtEdit.LostFocus = [this] { Handler(u"txtEdit_LostFocus", [&] { CommitEdit(); }); };
  }
}

void ucStatusBar::OnInitProperties() {
  Handler(u"UserControl_InitProperties", [&] {
    m_backColor = kNewBackColor;
    m_foreColor = kNewForeColor;
    m_font = UserControl::GetFont();
    m_gripShape = kGripNone;
    m_sizable = false;
    m_theme = kThemeFollowDesktop;
    m_effectiveTheme = kThemeFollowDesktop;  // resolved by the first paint
    UserControl::SetBackColor(m_backColor);
    UserControl::SetForeColor(m_foreColor);
    // A bar placed by code at run time follows the pointer as a built one does.
    if (Ambient().userMode) StartHooks();
  });
}

void ucStatusBar::OnReadProperties(const PropertyStore& props) {
  Handler(u"UserControl_ReadProperties", [&] {
    const AmbientProperties ambient = Ambient();
    m_backColor = props.ReadColour(u"BackColor", ambient.backColor);
    m_foreColor = props.ReadColour(u"ForeColor", ambient.foreColor);
    m_font = props.Contains(u"Font")
                 ? fw::Font::Create(props.ReadFont(u"Font", ambient.font->Value()))
                 : ambient.font;
    m_gripShape = props.ReadInt32(u"GripShape", kGripNone);
    m_panels.SetCount(props.ReadInt16(u"PanelCount", 0));
    m_sizable = props.ReadBool(u"Sizable", false);
    SetTheme(props.ReadInt32(u"Theme", kThemeFollowDesktop));
    UserControl::SetBackColor(m_backColor);
    UserControl::SetForeColor(m_foreColor);
    UserControl::SetFont(m_font);
    SetAlign(kDockBottom);
    m_effectiveTheme = m_theme;
    if (ambient.userMode) StartHooks();
  });
}

void ucStatusBar::OnWriteProperties(PropertyStore& props) {
  Handler(u"UserControl_WriteProperties", [&] {
    const AmbientProperties ambient = Ambient();
    props.Write(u"BackColor", m_backColor, ambient.backColor);
    props.Write(u"ForeColor", m_foreColor, ambient.foreColor);
    props.Write(u"Font", m_font ? m_font->Value() : ambient.font->Value(), ambient.font->Value());
    props.Write(u"GripShape", m_gripShape, int32_t{kGripNone});
    if (m_panels.Count() > std::numeric_limits<int16_t>::max()) throw OverflowError();
    props.Write(u"PanelCount", static_cast<int16_t>(m_panels.Count()), int16_t{0});
    props.Write(u"Sizable", m_sizable, false);
    props.Write(u"Theme", m_theme, int32_t{kThemeFollowDesktop});
  });
}

void ucStatusBar::OnShow() {
  Handler(u"UserControl_Show", [&] { Refresh(); });
}

void ucStatusBar::OnPaint() {
  Handler(u"UserControl_Paint", [&] { Refresh(); });
}

void ucStatusBar::OnResize() {
  Handler(u"UserControl_Resize", [&] {
    if (Height() != kBarHeightTwips) {
      SetHeight(kBarHeightTwips);
      // Docked: the new height is taken from the container's edge again.
      if (Align() != kDockNone) SetAlign(Align());
    }
    m_gripRect = GripRect(ScaleWidth(), ScaleHeight(), Dpi());
    UserControl::Refresh();
    Refresh();
  });
}

void ucStatusBar::OnTerminate() {
  // Bound controls go back to where they came from, so they outlive the bar.
  for (StatusPanel& p : m_panels.Records()) {
    if (Control* c = LiveBound(p)) c->MoveToContainer(static_cast<HWND>(p.formerParent));
    p.boundControl = nullptr;
    p.boundWindow = nullptr;
  }
  if (m_hooked) {
    m_hook.HookStopAll();
    m_hooked = false;
  }
}

void RegisterUcStatusBar() {
  RegisterControlKind(u"ucStatusBar", [] { return std::make_unique<ucStatusBar>(); });
}

}  // namespace fw
