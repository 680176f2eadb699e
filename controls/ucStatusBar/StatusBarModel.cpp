#include "controls/ucStatusBar/StatusBarModel.h"

#include <algorithm>

#include "host/Numeric.h"

namespace fw::statusbar {

namespace {

// A 96-dpi pixel quantity at the bar's dpi, and back.
struct Px {
  int32_t dpi;
  int32_t operator()(int32_t pixels) const { return ScaleToDpi(pixels, dpi); }
  // A width the user gave, scaled without saturating: the layout's overflow
  // rule has to see it leave 32 bits at every dpi, not a value cut to the limit.
  int64_t Given(int32_t pixels) const { return ScaleToDpiExact(pixels, dpi); }
  int32_t Back(int32_t pixels) const {
    return dpi > 0 ? static_cast<int32_t>((int64_t{pixels} * 96 + dpi / 2) / dpi) : pixels;
  }
  // A margin at the far side of a span whose near margin is P(pixels): there
  // halves round down, so the span between grows by the scale as the font's
  // height does (the 14 text rows of a 24-row bar are 21 of 36 at 144 dpi, not
  // the 20 two margins rounded up would leave).
  int32_t Far(int32_t pixels) const {
    return dpi > 0 && dpi != 96 ? static_cast<int32_t>((int64_t{pixels} * dpi + 47) / 96) : pixels;
  }
};

}  // namespace


namespace {

std::string Ascii(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

// n / d rounded to the nearest integer, halves to even (d > 0, n >= 0).
int32_t RoundedQuotient(int64_t n, int64_t d) {
  int64_t q = n / d;
  const int64_t r2 = 2 * (n % d);
  if (r2 > d || (r2 == d && (q & 1) != 0)) ++q;
  return static_cast<int32_t>(q);
}

// A 32-bit result, or the overflow error when the value does not fit.
int32_t Checked(int64_t value) {
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    throw OverflowError();
  }
  return static_cast<int32_t>(value);
}

int32_t Channel(int32_t rgb, int shift) {
  return static_cast<int32_t>((static_cast<uint32_t>(rgb) >> shift) & 0xFFu);
}

uint32_t Pack(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) |
         (static_cast<uint32_t>(b) << 16);
}

}  // namespace

StatusBarError::StatusBarError(int32_t number, std::u16string description, std::u16string source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)) {
  m_what = Ascii(m_description);
}

StatusBarError SubscriptOutOfRange() { return StatusBarError(kErrSubscript, u"Subscript out of range"); }
StatusBarError OverflowError() { return StatusBarError(kErrOverflow, u"Overflow"); }

std::u16string ErrorSource(std::u16string_view operation) {
  return u"ucStatusBar." + std::u16string(operation);
}

// -- Panels

int32_t FormatFromAlignment(int32_t alignment) {
  switch (alignment) {
    case kAlignLeft: return kFormatLeft;
    case kAlignCentre: return kFormatCentre;
    case kAlignRight: return kFormatRight;
    default: return 0;
  }
}

int32_t AlignmentFromFormat(int32_t format) {
  switch (format) {
    case kFormatCentre: return kAlignCentre;
    case kFormatRight: return kAlignRight;
    default: return kAlignLeft;
  }
}

bool PtInRect(const PanelRect& rc, int32_t x, int32_t y) {
  return rc.left <= x && x <= rc.right && rc.top <= y && y <= rc.bottom;
}

StatusPanel& PanelList::Add(std::u16string text, int32_t textAlign, bool autoSize, bool editable,
                            std::shared_ptr<Picture> icon, int32_t iconState, bool useMaskColor,
                            Colour maskColor, Colour foreColor, std::shared_ptr<Font> font,
                            std::u16string toolTipText, int32_t width) {
  if (m_count == std::numeric_limits<int32_t>::max()) throw OverflowError();
  // The count may have come from a saved design with no records behind it; the
  // list grows to the new count, the new panel being the last record.
  const int32_t count = m_count + 1;
  m_records.resize(static_cast<size_t>(count));
  m_count = count;
  StatusPanel& p = m_records.back();
  p.textFormat = FormatFromAlignment(textAlign);
  p.autoSize = autoSize;
  p.editable = editable;
  p.foreColor = foreColor;
  p.iconState = iconState;
  p.maskColor = maskColor;
  p.text = std::move(text);
  p.toolTipText = std::move(toolTipText);
  p.useMaskColor = useMaskColor;
  p.font = std::move(font);
  p.icon = std::move(icon);
  p.width = width >= 1 ? width : kDefaultPanelWidth;
  return p;
}

int32_t PanelList::Recount() {
  m_count = static_cast<int32_t>(m_records.size());
  return m_count;
}

StatusPanel& PanelList::Record(int32_t index) {
  if (index < 1 || static_cast<size_t>(index) > m_records.size()) throw SubscriptOutOfRange();
  return m_records[static_cast<size_t>(index) - 1];
}

const StatusPanel& PanelList::ForRead(int32_t index) const {
  if (index < 1) index = 1;
  if (index > m_count) index = m_count;
  return const_cast<PanelList*>(this)->Record(index);
}

int32_t PanelList::WriteIndex(int32_t index) const {
  if (m_count == 0) return 0;
  if (index < 1) index = 1;
  if (index > m_count) index = m_count;
  return index;
}

StatusPanel* PanelList::ForWrite(int32_t index) {
  const int32_t i = WriteIndex(index);
  return i == 0 ? nullptr : &Record(i);
}

std::u16string Version(bool withDateTime) {
  std::u16string v = u"1.0.60";
  if (withDateTime) v += u" (8/3/2007 11:43:17 AM )";
  return v;
}

// -- Themes

bool IsWinXP(const std::optional<OsVersion>& v) {
  constexpr uint32_t kPlatformNt = 2;  // VER_PLATFORM_WIN32_NT
  return v && v->major == 5 && v->minor == 1 && v->build >= 2600 && v->platformId == kPlatformNt;
}

std::u16string ThemeInfo(bool isWinXP, const std::optional<std::u16string>& colourBuffer) {
  if (!isWinXP) return u"None";
  if (!colourBuffer) return u"UxTheme_Error";
  const std::u16string& buffer = *colourBuffer;
  const size_t lastZero = buffer.rfind(u'\0');
  std::u16string name = lastZero == std::u16string::npos ? std::u16string() : buffer.substr(0, lastZero + 1);
  std::erase(name, u'\0');
  if (name.find_first_not_of(u' ') == std::u16string::npos) return u"None";
  return name;
}

ResolvedTheme ResolveTheme(int32_t theme, int32_t gripShape,
                           const std::function<std::u16string()>& themeInfo) {
  ResolvedTheme r;
  r.gripShape = gripShape;
  auto themed = [&](int32_t effective) {
    r.effective = effective;
    if (r.gripShape != kGripNone) r.gripShape = kGripDots;
  };
  auto classic = [&] {
    r.effective = kThemeClassic;
    if (r.gripShape != kGripNone) r.gripShape = kGripLines;
  };
  switch (theme) {
    case kThemeFollowDesktop: {
      const std::u16string info = themeInfo ? themeInfo() : u"None";
      if (info == u"None" || info == u"UxTheme_Error") classic();
      else if (info == u"HomeStead") themed(kThemeOlive);
      else if (info == u"Metallic") themed(kThemeSilver);
      else themed(kThemeBlue);  // "NormalColor" and any other scheme
      break;
    }
    case kThemeClassic: classic(); break;
    case kThemeBlue:
    case kThemeOlive:
    case kThemeSilver: themed(theme); break;
    default: themed(kThemeBlue); break;
  }
  return r;
}

int32_t GripReserve(int32_t effective, int32_t dpi) {
  return ScaleToDpi(effective == kThemeClassic ? 16 : 18, dpi);
}

// -- Colours

uint32_t ShiftColor(int32_t rgb, int32_t amount) {
  int32_t r = Channel(rgb, 0) + amount;
  int32_t g = Channel(rgb, 8) + amount;
  const int32_t blue = Channel(rgb, 16);
  int32_t b = blue + blue * amount / 192;
  if (amount > 0) {
    r = std::min(r, 255);
    g = std::min(g, 255);
    b = std::min(b, 255);
  } else if (amount < 0) {
    r = std::max(r, 0);
    g = std::max(g, 0);
    b = std::max(b, 0);
  }
  return Pack(r, g, b);
}

uint32_t BlendColor(int32_t rgb1, int32_t rgb2, int32_t weight) {
  if (weight < 0 || weight > 255) throw OverflowError();
  auto mix = [&](int shift) {
    return RoundedQuotient(int64_t{255 - weight} * Channel(rgb2, shift) +
                               int64_t{weight} * Channel(rgb1, shift),
                           255);
  };
  return Pack(mix(0), mix(8), mix(16));
}

uint32_t AccentColour(int32_t effective, uint32_t base) {
  uint32_t c = 0xB99D7F;  // blue
  if (effective == kThemeOlive) c = 0x69A18B;
  if (effective == kThemeSilver) c = 0x947C7C;
  return BlendColor(static_cast<int32_t>(ShiftColor(static_cast<int32_t>(base), -64)),
                    static_cast<int32_t>(c), 128);
}

std::vector<Row> GradientRows(int32_t effective, int32_t translatedBack, int32_t sh,
                              int32_t dpi) {
  std::vector<Row> rows;
  if (effective == kThemeClassic) return rows;
  const Px P{dpi};
  // The rows of the 96-dpi row `y`, counted from the top or, for a bottom row
  // (one of the last six of the 96-dpi bar), from the bottom.
  const int32_t designH = P.Back(sh);
  auto push = [&](int32_t y, uint32_t colour) {
    const bool fromBottom = y > 3;
    const int32_t first = fromBottom ? sh - P(designH - y) : P(y);
    const int32_t end = fromBottom ? sh - P(designH - y - 1) : P(y + 1);
    for (int32_t row = first; row < end; ++row) rows.push_back({row, colour});
  };
  const uint32_t base = ShiftColor(translatedBack, -1);
  const auto b = static_cast<int32_t>(base);
  // A bar of no height has no rows to grade (the weight would divide by 0).
  if (sh > 0) {
    for (int32_t y = 0; y <= sh; ++y) {
      rows.push_back({y, BlendColor(0xFFFFFF, b, RoundedQuotient(int64_t{y} * 48, sh))});
    }
  }
  push(0, 0xFFFFFF);
  push(1, AccentColour(effective, base));
  push(2, ShiftColor(b, -37));
  push(3, ShiftColor(b, -9));
  for (int32_t i = 0; i <= 5; ++i) {
    const int32_t amount = designH >= 0 ? RoundedQuotient(int64_t{i} * designH, 3) : 0;
    if (dpi == 96 || dpi <= 0) rows.push_back({sh - 5 + i, ShiftColor(b, -amount)});
    else push(designH - 5 + i, ShiftColor(b, -amount));
  }
  return rows;
}

// -- Grip

namespace {

// A grip drawn at a dpi other than 96: each 96-dpi pixel of its lines, and each
// of its 2 x 2 dots, as a square at its place counted from the bottom right.
std::vector<GripMark> ScaledGrip(const std::vector<GripMark>& design, bool lined, int32_t sw,
                                 int32_t sh, int32_t dpi) {
  const Px P{dpi};
  const int32_t designW = P.Back(sw), designH = P.Back(sh);
  auto at = [&](int32_t x, int32_t y, int32_t side, bool white) {
    return GripMark{sw - P(designW - x), sh - P(designH - y), 0, 0, white, side};
  };
  std::vector<GripMark> marks;
  for (const GripMark& m : design) {
    if (!lined) {
      marks.push_back(at(m.x1, m.y1, P(2), m.white));
      continue;
    }
    // Diagonal and straight lines step one pixel at a time, the end left out.
    const int32_t dx = m.x2 > m.x1 ? 1 : (m.x2 < m.x1 ? -1 : 0);
    const int32_t dy = m.y2 > m.y1 ? 1 : (m.y2 < m.y1 ? -1 : 0);
    for (int32_t x = m.x1, y = m.y1; x != m.x2 || y != m.y2; x += dx, y += dy) {
      marks.push_back(at(x, y, P(1), m.white));
    }
  }
  return marks;
}

}  // namespace

std::vector<GripMark> GripMarks(int32_t gripShape, int32_t effective, int32_t sw, int32_t sh,
                                int32_t dpi) {
  if (dpi != 96 && dpi > 0) {
    // Laid out on the 96-dpi bar of the same design size, then scaled.
    const Px P{dpi};
    return ScaledGrip(GripMarks(gripShape, effective, P.Back(sw), P.Back(sh)),
                      gripShape == kGripLines, sw, sh, dpi);
  }
  const int32_t d = sw - 15;
  const int32_t f = sh - 16;
  std::vector<GripMark> marks;
  if (gripShape == kGripLines && effective == kThemeClassic) {
    const int32_t white[][4] = {{12, 13, 14, 11}, {9, 13, 14, 8}, {6, 13, 14, 5}, {3, 13, 14, 2}};
    for (const auto& l : white) marks.push_back({d + l[0], f + l[1], d + l[2], f + l[3], true});
    const int32_t dark[][4] = {{13, 14, 14, 13}, {12, 14, 14, 12}, {10, 14, 14, 10},
                               {9, 14, 14, 9},   {7, 14, 14, 7},   {6, 14, 14, 6},
                               {4, 14, 14, 4},   {3, 14, 14, 3}};
    for (const auto& l : dark) marks.push_back({d + l[0], f + l[1], d + l[2], f + l[3], false});
  } else if (gripShape == kGripDots && effective != kThemeClassic) {
    const int32_t white[][2] = {{12, 4}, {12, 8}, {12, 12}, {8, 8}, {8, 12}, {4, 12}};
    for (const auto& p : white) marks.push_back({d + p[0], f + p[1], 0, 0, true});
    const int32_t dark[][2] = {{11, 3}, {11, 7}, {11, 11}, {7, 7}, {7, 11}, {3, 11}};
    for (const auto& p : dark) marks.push_back({d + p[0], f + p[1], 0, 0, false});
  }
  return marks;
}

uint32_t LinedGripDark(int32_t translatedBack) {
  return BlendColor(0xFFFFFF, static_cast<int32_t>(ShiftColor(translatedBack, -112)), 128);
}

uint32_t DottedGripDark(int32_t translatedBack) {
  return BlendColor(0x909090, translatedBack, 128);
}

PanelRect GripRect(int32_t sw, int32_t sh, int32_t dpi) {
  return PanelRect{sw - ScaleToDpi(13, dpi), sh - ScaleToDpi(15, dpi), sw, sh};
}

// -- Panel layout

PanelLayout::PanelLayout(int32_t sw, int32_t sh, int32_t effective, int32_t dpi)
    : m_sh(sh), m_limit(Checked(int64_t{sw} - GripReserve(effective, dpi))), m_effective(effective),
      m_dpi(dpi) {}

PanelPaint PanelLayout::Begin(const PanelInput& in) {
  const Px P{m_dpi};
  const int64_t iconSpace = in.hasIcon ? P(20) : 0;
  PanelRect rc{m_x, P(5), 0, Checked(int64_t{m_sh} - P.Far(5))};
  rc.right = Checked((in.autoSize ? int64_t{in.textWidth} + m_x + P(8) : int64_t{m_x} + P.Given(in.width)) +
                     iconSpace);
  int32_t x = (in.autoSize && in.textEmpty) ? Checked(int64_t{m_x} + P(20)) : rc.right;
  if (!(m_limit > x)) {
    rc.right = m_limit;
    x = rc.right;
  }
  PanelPaint p;
  if (m_effective == kThemeClassic) {
    p.edge = PanelRect{rc.left, Checked(int64_t{rc.top} - P(3)), rc.right,
                       Checked(int64_t{rc.bottom} + P(3))};
  }
  p.x = x;
  p.textRect = rc;
  m_x = x;
  return p;
}

void PanelLayout::Finish(const PanelInput& in, PanelPaint& p) {
  const Px P{m_dpi};
  const bool first = m_finished++ == 0;
  // Computed on a copy, so that an overflow leaves `p` as Begin gave it.
  PanelRect rc = p.textRect;
  const int64_t inset = P(m_effective == kThemeClassic ? 5 : 4);
  rc.left = Checked(rc.left + inset);
  rc.right = Checked(rc.right - inset);
  bool iconDrawn = false;
  bool textDrawn = false;
  int32_t iconX = 0;
  int32_t iconY = 0;
  if (!in.bound) {
    if (!in.hasIcon) {
      textDrawn = m_limit >= int64_t{rc.left} + P(2);
    } else {
      if (first) {
        rc.left = Checked(int64_t{rc.left} - P(2));
        rc.right = Checked(int64_t{rc.right} - P(2));
      }
      if (m_limit >= int64_t{rc.left} + P(20)) {
        iconDrawn = true;
        iconX = rc.left;
        iconY = Checked(int64_t{m_sh / 2} - P(8));
        rc.left = Checked(int64_t{rc.left} + P(20));
        if (!(m_limit > m_x)) rc.right = in.alignment == kAlignLeft ? m_limit : Checked(int64_t{m_limit} - P(2));
      }
      const bool room = m_limit >= int64_t{rc.left} + P(in.alignment == kAlignCentre ? 10 : 20);
      textDrawn = Checked(int64_t{rc.right} - rc.left) > P(16) || room;
    }
  }
  p.textRect = rc;
  p.iconDrawn = iconDrawn;
  p.iconX = iconX;
  p.iconY = iconY;
  p.textDrawn = textDrawn;
}

std::vector<PanelPaint> LayoutPanels(const std::vector<PanelInput>& panels, int32_t sw,
                                     int32_t sh, int32_t effective, int32_t dpi) {
  std::vector<PanelPaint> out;
  PanelLayout layout(sw, sh, effective, dpi);
  for (const PanelInput& in : panels) {
    PanelPaint p = layout.Begin(in);
    layout.Finish(in, p);
    out.push_back(p);
  }
  return out;
}

// -- Interaction

PanelRect HitRect(const std::vector<HitPanel>& panels, size_t i, int32_t dpi) {
  const Px P{dpi};
  PanelRect rc = panels[i].textRect;
  auto move = [&](int64_t dl, int64_t dr) {
    rc.left = Checked(rc.left + dl);
    rc.right = Checked(rc.right + dr);
  };
  if (panels[i].hasIcon) {
    switch (panels[i].alignment) {
      case kAlignLeft: move(-P(16), -P(16)); break;
      case kAlignCentre: move(-P(8), -P(8)); break;
      default: move(-P(2), P(2)); break;
    }
  }
  if (i > 0 && Checked(int64_t{panels[i - 1].textRect.right} + P(10)) < rc.left) {
    move(-P(8), -P(8));
    move(-P(6), P(6));
  }
  return rc;
}

int32_t PanelAt(const std::vector<HitPanel>& panels, int32_t x, int32_t y, int32_t dpi) {
  for (size_t i = 0; i < panels.size(); ++i) {
    if (PtInRect(HitRect(panels, i, dpi), x, y)) return static_cast<int32_t>(i) + 1;
  }
  return 0;
}

EditPlacement EditBoxPlacement(int32_t effective, const PanelRect& rc, bool hasIcon, int32_t dpi) {
  const Px P{dpi};
  const int64_t width = int64_t{rc.right} - rc.left;
  if (effective == kThemeClassic) {
    return {Checked(int64_t{rc.left} - P(hasIcon ? 1 : 4)), Checked(width + P(8)), P(4)};
  }
  return {rc.left, Checked(width), P(16)};
}

int32_t EditTop(int32_t effective, int32_t surfaceHeight, int32_t boxHeight, int32_t dpi) {
  return Checked(int64_t{surfaceHeight / 2} - boxHeight / 2 -
                 (effective == kThemeClassic ? ScaleToDpi(1, dpi) : 0));
}

BoundPlacement StretchedBound(int32_t effective, const PanelRect& rc, int32_t dpi) {
  const Px P{dpi};
  const int64_t width = int64_t{rc.right} - rc.left;
  if (effective == kThemeClassic) return {Checked(int64_t{rc.left} - P(4)), Checked(width + P(9))};
  return {rc.left, Checked(width)};
}

}  // namespace fw::statusbar
