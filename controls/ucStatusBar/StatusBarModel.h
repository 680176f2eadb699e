// What the status bar knows without a window: its error type and the rule that
// names an error's source after the failing operation, the panel records and
// the index rules of the per-panel properties, the saved-property table, the
// theme resolution, the colour arithmetic, the background rows, the grips, the
// panel layout, the hit test and the placement of the in-place edit box.
// Portable: no platform header.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/Colour.h"
#include "host/Failure.h"

namespace fw {
class Control;
class Font;
class Picture;
}  // namespace fw

namespace fw::statusbar {

// -- Errors

// The run-time error numbers the bar raises, with their usual descriptions.
constexpr int32_t kErrOverflow = 6;
constexpr int32_t kErrOutOfMemory = 7;
constexpr int32_t kErrSubscript = 9;
constexpr int32_t kErrInternal = 51;

// A failure of one of the bar's operations: number and description as raised,
// source "ucStatusBar." followed by the operation that passed it on.
class StatusBarError : public std::exception {
 public:
  StatusBarError(int32_t number, std::u16string description, std::u16string source = {});
  int32_t Number() const { return m_number; }
  const std::u16string& Description() const { return m_description; }
  const std::u16string& Source() const { return m_source; }
  void SetSource(std::u16string source) { m_source = std::move(source); }
  const char* what() const noexcept override { return m_what.c_str(); }

 private:
  int32_t m_number;
  std::u16string m_description;
  std::u16string m_source;
  std::string m_what;
};

StatusBarError SubscriptOutOfRange();
StatusBarError OverflowError();

// "ucStatusBar." + operation.
std::u16string ErrorSource(std::u16string_view operation);

// Runs `body`. Whatever fails inside is traced and leaves as a StatusBarError
// with the same number and description and the source of this operation; each
// operation that passes an error on renames its source, so the caller sees the
// outermost name.
template <typename F>
decltype(auto) Trap(std::u16string_view operation, F&& body) {
  using Result = decltype(body());
  return Contain(u"ucStatusBar", operation, std::forward<F>(body), [&]() -> Result {
    try {
      throw;
    } catch (StatusBarError& e) {
      e.SetSource(ErrorSource(operation));
      throw;
    } catch (const std::bad_alloc&) {
      throw StatusBarError(kErrOutOfMemory, u"Out of memory", ErrorSource(operation));
    } catch (const std::exception&) {
      throw StatusBarError(kErrInternal, u"Internal error", ErrorSource(operation));
    }
  });
}

// -- Panels

// A panel's text alignment as PanelAlignment reads and writes it.
enum TextAlignment : int32_t { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };

// Text-drawing flags of a panel. The platform's values, named here because this
// file is portable: word ellipsis (DT_WORD_ELLIPSIS) + vertical centre
// (DT_VCENTER) + the horizontal placement (DT_LEFT, DT_CENTER, DT_RIGHT). Single
// line (DT_SINGLELINE) is left out on purpose: without it the vertical centring
// does not act and the text sits at the rectangle's top, where the bar shows it.
constexpr int32_t kDtCenter = 0x1;
constexpr int32_t kDtRight = 0x2;
constexpr int32_t kDtVCenter = 0x4;
constexpr int32_t kDtWordEllipsis = 0x40000;
constexpr int32_t kFormatLeft = kDtWordEllipsis | kDtVCenter;
constexpr int32_t kFormatCentre = kDtWordEllipsis | kDtVCenter | kDtCenter;
constexpr int32_t kFormatRight = kDtWordEllipsis | kDtVCenter | kDtRight;

// Left, centre and right give their formats; other values give 0.
int32_t FormatFromAlignment(int32_t alignment);
// The formats give their alignment; any other format reads as left.
int32_t AlignmentFromFormat(int32_t format);

struct PanelRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  friend bool operator==(const PanelRect&, const PanelRect&) = default;
};

// Left <= x <= right and top <= y <= bottom: both edges inside.
bool PtInRect(const PanelRect& rc, int32_t x, int32_t y);

// One panel, fields in record order.
struct StatusPanel {
  int32_t textFormat = 0;
  bool autoSize = false;
  Control* boundControl = nullptr;
  void* formerParent = nullptr;  // the bound control's window's parent before binding
  int32_t sizeMethod = 0;
  bool editable = false;
  Colour foreColor{};
  std::shared_ptr<Font> font;
  std::shared_ptr<Picture> icon;
  int32_t iconState = 0;
  PanelRect textRect{};  // where the last paint drew the text; hit tests use it
  Colour maskColor{};
  std::u16string text;
  std::u16string toolTipText;
  bool useMaskColor = false;
  int32_t width = 0;
  // The bound control's own window, so that a control gone before the bar is
  // recognised and left alone.
  void* boundWindow = nullptr;
};

// Width of a panel added with a width below 1.
constexpr int32_t kDefaultPanelWidth = 40;

// The panel list with the bar's panel count. The count is a field of its own:
// reading the saved "PanelCount" sets it, and it equals the number of records
// again after the next recount (every paint recounts).
class PanelList {
 public:
  // One more record at the end, filled from the arguments, existing records
  // kept as they are. The font is the one the caller already chose (argument,
  // bar font or ambient font), so a panel can share a font object with the bar;
  // the caller repaints. A count already at the largest 32-bit value is an
  // overflow.
  StatusPanel& Add(std::u16string text, int32_t textAlign, bool autoSize, bool editable,
                   std::shared_ptr<Picture> icon, int32_t iconState, bool useMaskColor,
                   Colour maskColor, Colour foreColor, std::shared_ptr<Font> font,
                   std::u16string toolTipText, int32_t width);

  int32_t Count() const { return m_count; }
  void SetCount(int32_t count) { m_count = count; }
  // The count becomes the number of records.
  int32_t Recount();
  const std::vector<StatusPanel>& Records() const { return m_records; }
  std::vector<StatusPanel>& Records() { return m_records; }

  // Reading: an index below 1 is 1, above the count is the count; no such
  // record is error 9.
  const StatusPanel& ForRead(int32_t index) const;
  // Writing: null with no panels (nothing happens); otherwise clamped as for
  // reading.
  StatusPanel* ForWrite(int32_t index);
  // The clamped index of a write, 0 with no panels.
  int32_t WriteIndex(int32_t index) const;

 private:
  StatusPanel& Record(int32_t index);
  int32_t m_count = 0;
  std::vector<StatusPanel> m_records;
};

// -- Persistence and version

// The saved properties, in the order they are written.
enum class SavedKind { Colour32, Font, Int32, Int16, Bool };
struct SavedProperty {
  std::u16string_view name;
  SavedKind kind;
};
inline constexpr SavedProperty kSavedProperties[] = {
    {u"BackColor", SavedKind::Colour32}, {u"ForeColor", SavedKind::Colour32},
    {u"Font", SavedKind::Font},          {u"GripShape", SavedKind::Int32},
    {u"PanelCount", SavedKind::Int16},   {u"Sizable", SavedKind::Bool},
    {u"Theme", SavedKind::Int32},
};

// System colour indexes (the platform's COLOR_BTNFACE and COLOR_BTNTEXT), named
// here because this file is portable.
constexpr uint32_t kColourBtnFace = 15;
constexpr uint32_t kColourBtnText = 18;

// Defaults of a newly placed bar: the button colours, so it matches the
// window's other controls under any desktop scheme.
constexpr Colour kNewBackColor = SystemColour(kColourBtnFace);
constexpr Colour kNewForeColor = SystemColour(kColourBtnText);

// "1.0.60", and with the build stamp "1.0.60 (8/3/2007 11:43:17 AM )".
std::u16string Version(bool withDateTime);

// -- Themes

// The Theme property: 0 follows the desktop's visual style, 1 .. 4 pick a look;
// any other value paints as blue.
constexpr int32_t kThemeFollowDesktop = 0;
// The look a paint uses once Theme is resolved (the effective theme). Theme
// values 1 .. 4 are these looks themselves.
enum EffectiveTheme : int32_t {
  kThemeClassic = 1,
  kThemeBlue = 2,
  kThemeOlive = 3,
  kThemeSilver = 4,
};

constexpr int32_t kGripNone = 0;
constexpr int32_t kGripDots = 1;
constexpr int32_t kGripLines = 2;

struct OsVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  uint32_t platformId = 0;
};
// True exactly for an answered request of version 5.1, build 2600 or later, on
// the NT family (platform 2).
bool IsWinXP(const std::optional<OsVersion>& version);

// The theme name from the visual-style service: "None" when the system is not
// 5.1, "UxTheme_Error" when the service failed (no buffer), else the colour-name
// buffer cut after its last zero character with every zero removed, "None" when
// that leaves nothing but blanks.
std::u16string ThemeInfo(bool isWinXP, const std::optional<std::u16string>& colourBuffer);

struct ResolvedTheme {
  int32_t effective = kThemeClassic;  // an EffectiveTheme
  int32_t gripShape = 0;  // moved to the shape that fits
};
// The look and grip a paint uses. Theme 0 follows the desktop's scheme name, so
// `themeInfo` is asked only then (it reaches the visual-style service). The grip
// shape moves to the one the look draws (lines for classic, dots otherwise), so
// a bar keeps a grip when the desktop changes under it; "none" stays none.
ResolvedTheme ResolveTheme(int32_t theme, int32_t gripShape,
                           const std::function<std::u16string()>& themeInfo);

// Grip reserve at the right end: 16 for the classic look, else 18.
int32_t GripReserve(int32_t effective);

// -- Colours (translated 0x00BBGGRR values; -1, an untranslatable colour, has
// every channel 255)

// Red and green move by n, blue by n plus blue * n / 192 (truncated); clamped
// to 255 when n > 0 and to 0 when n < 0.
uint32_t ShiftColor(int32_t rgb, int32_t amount);
// Each channel ((255 - w) * c2 + w * c1) / 255, halves to even. A weight
// outside 0 .. 255 is an overflow.
uint32_t BlendColor(int32_t rgb1, int32_t rgb2, int32_t weight);
// The theme's accent colour (row 1): theme 2, 3, 4.
uint32_t AccentColour(int32_t effective, uint32_t base);

// One horizontal line of the background, drawn in this order.
struct Row {
  int32_t y;
  uint32_t colour;
};
// The lines PaintGradients draws after clearing (none for the classic look):
// the gradient rows 0 .. SH, the four top rows, the six bottom rows.
std::vector<Row> GradientRows(int32_t effective, int32_t translatedBack, int32_t sh);

// -- Grip

// A straight line, (x2, y2) not drawn, or a 2 x 2 block at (x1, y1).
struct GripMark {
  int32_t x1, y1, x2, y2;
  bool white;  // white, else the grip's dark colour
};
// The grip PaintGrip draws for the shape and effective theme (none when the
// shape does not fit the theme). Lines for the lined grip, blocks for the dots.
std::vector<GripMark> GripMarks(int32_t gripShape, int32_t effective, int32_t sw, int32_t sh);
// The dark colour of each grip, from the surface's back colour (translated).
uint32_t LinedGripDark(int32_t translatedBack);
uint32_t DottedGripDark(int32_t translatedBack);
// The grip's hit area: the bottom-right corner over the drawn grip.
PanelRect GripRect(int32_t sw, int32_t sh);

// -- Panel layout (PaintPanels)

struct PanelInput {
  bool hasIcon = false;
  bool autoSize = false;
  bool bound = false;
  int32_t alignment = 0;  // AlignmentFromFormat
  int32_t textWidth = 0;  // in the panel's font
  bool textEmpty = true;
  int32_t width = 0;
};
struct PanelPaint {
  PanelRect textRect;   // with every adjustment: kept in the record
  int32_t x = 0;        // running position after the panel: its separator column
  PanelRect edge;       // classic look: the sunken edge's rectangle
  bool iconDrawn = false;
  int32_t iconX = 0, iconY = 0;
  bool textDrawn = false;
};

// Lays the panels out one at a time in paint order, so that painting stops at
// the step that fails. All arithmetic is 32-bit, as the panel record's fields
// are: a result beyond that range is the overflow error, and the panel it
// happens in keeps what the failing call was given.
class PanelLayout {
 public:
  PanelLayout(int32_t sw, int32_t sh, int32_t effective);
  // The first half of the next panel, all the border needs before it is drawn:
  // its outer rectangle (in textRect), the running x after it (its separator
  // column), cut at the grip so no panel covers it, and, for the classic look,
  // the sunken edge's rectangle. Split from Finish so the border is drawn
  // before the rectangle shrinks inside it.
  PanelPaint Begin(const PanelInput& in);
  // The rest, on the panel Begin gave: the rectangle shrunk inside the border,
  // the icon's place and whether the text is drawn.
  void Finish(const PanelInput& in, PanelPaint& p);

 private:
  int32_t m_sh;
  int32_t m_limit;  // SW - grip reserve
  int32_t m_effective;
  int32_t m_x = 0;
  int32_t m_finished = 0;
};
// Every panel through Begin and Finish; an overflow throws.
std::vector<PanelPaint> LayoutPanels(const std::vector<PanelInput>& panels, int32_t sw,
                                     int32_t sh, int32_t effective);

// -- Interaction

struct HitPanel {
  PanelRect textRect;
  bool hasIcon = false;
  int32_t alignment = 0;
};
// GetPanelIndex from the pointer's client position: the first panel whose
// adjusted rectangle holds it, 1-based; 0 for none. Like the layout, the
// adjustments are 32-bit: one beyond that range is the overflow error, as are
// those of the two placements below.
int32_t PanelAt(const std::vector<HitPanel>& panels, int32_t x, int32_t y);
// The adjusted rectangle of panel `i` (from 0): where a click finds it.
PanelRect HitRect(const std::vector<HitPanel>& panels, size_t i);

// Where the in-place edit box goes: left, width and the height asked for; the
// top follows from the height the box really took (EditTop).
struct EditPlacement {
  int32_t left = 0;
  int32_t width = 0;
  int32_t height = 0;
};
EditPlacement EditBoxPlacement(int32_t effective, const PanelRect& textRect, bool hasIcon);
int32_t EditTop(int32_t effective, int32_t surfaceHeight, int32_t boxHeight);

// A bound control with a size method other than 0: its left and the width asked
// for, in pixels.
struct BoundPlacement {
  int32_t left = 0;
  int32_t width = 0;
};
BoundPlacement StretchedBound(int32_t effective, const PanelRect& textRect);

}  // namespace fw::statusbar
