#include "controls/XPContainer/XPContainerModel.h"

#include "host/Numeric.h"

namespace fw::xpcontainer {

namespace {

constexpr ThemeColours Row(uint32_t headerLight, uint32_t headerDark, uint32_t backLight,
                           uint32_t backDark, uint32_t border, uint32_t text) {
  return {Colour(headerLight), Colour(headerDark), Colour(backLight),
          Colour(backDark),    Colour(border),     Colour(text)};
}

// A translated colour is a plain 0x00BBGGRR value; anything else (the -1 of a
// failed translation) has no channels a row can be drawn with.
constexpr bool IsDrawable(int32_t rgb) { return rgb >= 0 && rgb <= 0xFFFFFF; }

constexpr bool InChannelRange(int32_t v) { return v >= 0 && v <= 255; }

}  // namespace

const std::array<ThemeColours, kThemeCount> kThemes = {{
    Row(0xF7E0D3, 0xEDC5A7, 0xFCF4EF, 0xFAE8DC, 0xDCC1AD, 0x7B2D02),
    Row(0xECDCD3, 0xDABAA8, 0xF8F2EF, 0xF1E5DD, 0xD6B4A0, 0x4B2A17),
    Row(0xD8E5C8, 0xB1CB92, 0xF1F5EB, 0xE1EBD5, 0xAAC688, 0x213B00),
    Row(0xE0EAE8, 0xC2D6D1, 0xF4F8F7, 0xE7EFED, 0xBCD3CD, 0x324741),
    Row(0xF1E3C8, 0xE4C992, 0xFAF5EB, 0xF5EAD5, 0xE2C488, 0x553900),
    Row(0xDAF2E3, 0xB5E5C8, 0xF1FAF5, 0xE3F5EA, 0xAEE3C3, 0x245738),
    Row(0xD2E2FD, 0xA7C6FA, 0xEFF5FE, 0xDDE9FD, 0x9FC0FA, 0x16366D),
    Row(0xE3E3D6, 0xC9C9AE, 0xF5F5F0, 0xEAEAE0, 0xC4C4A6, 0x39391D),
    Row(0xEAD7DF, 0xD5B0BF, 0xF7F1F3, 0xEFE1E6, 0xD1A9B9, 0x46202F),
    Row(0xD6D2FB, 0xAEA6F8, 0xF0EFFE, 0xE0DDFC, 0xA79EF7, 0x1D156A),
    Row(0xECEAE9, 0xD9D6D3, 0xF8F7F7, 0xF1EFEE, 0xD6D2CF, 0x4A4744),
    Row(0xE4FAFC, 0xB9EEF4, 0xEEFCFD, 0xDCF7FA, 0x95E1EA, 0x66D5E1),
}};

const std::array<std::u16string_view, 6> kThemeColourNames = {
    u"HeaderLightColor", u"HeaderDarkColor", u"BackLightColor",
    u"BackDarkColor",    u"BorderColor",     u"TextColor",
};

const std::array<SavedProperty, 9> kSavedProperties = {{
    {u"HeaderLightColor", SavedKind::Colour32},
    {u"HeaderDarkColor", SavedKind::Colour32},
    {u"BackLightColor", SavedKind::Colour32},
    {u"BackDarkColor", SavedKind::Colour32},
    {u"BorderColor", SavedKind::Colour32},
    {u"TextColor", SavedKind::Colour32},
    {u"Caption", SavedKind::Text},
    {u"Style", SavedKind::Int16},
    {u"Theme", SavedKind::Int16},
}};

std::optional<ThemeColours> ThemeRow(int32_t theme) {
  if (theme < 0 || theme >= kThemeCount) return std::nullopt;
  return kThemes[static_cast<size_t>(theme)];
}

std::optional<Layout> ResizeLayout(int32_t innerWidth, int32_t innerHeight,
                                   int32_t captionHeight, int32_t dpi) {
  if (innerWidth == 0) return std::nullopt;
  const int32_t headerHeight = ScaleToDpi(kHeaderHeight, dpi);
  const int32_t border = ScaleToDpi(1, dpi);
  Layout l;
  // A plain division: an odd difference lands on .5 and rounds to even.
  l.captionTop = RoundHalfEven((headerHeight - captionHeight) / 2.0);
  l.headerWidth = innerWidth - 2 * border;
  l.bodyWidth = l.headerWidth;
  l.bodyHeight = innerHeight - (headerHeight + 2 * border);
  return l;
}

GradientRows VerticalGradient(int32_t first, int32_t last, int32_t divisor, int32_t rowCount) {
  GradientRows out;
  // Step 2 divides before any row is drawn.
  if (divisor == 0) {
    out.complete = false;
    return out;
  }
  if (rowCount <= 0) return out;
  if (!IsDrawable(first) || !IsDrawable(last)) {
    out.complete = false;
    return out;
  }
  const uint32_t a = static_cast<uint32_t>(first);
  const uint32_t b = static_cast<uint32_t>(last);
  const double n = divisor;
  const double stepR = (static_cast<double>(Red(a)) - Red(b)) / n;
  const double stepG = (static_cast<double>(Green(a)) - Green(b)) / n;
  const double stepB = (static_cast<double>(Blue(a)) - Blue(b)) / n;
  double r = Red(a);
  double g = Green(a);
  double bl = Blue(a);
  out.rows.reserve(static_cast<size_t>(rowCount));
  for (int32_t y = 0; y < rowCount; ++y) {
    const int32_t rr = RoundHalfEven(r);
    const int32_t gg = RoundHalfEven(g);
    const int32_t bb = RoundHalfEven(bl);
    if (!InChannelRange(rr) || !InChannelRange(gg) || !InChannelRange(bb)) {
      out.complete = false;
      return out;
    }
    out.rows.push_back(static_cast<uint32_t>(rr) | (static_cast<uint32_t>(gg) << 8) |
                       (static_cast<uint32_t>(bb) << 16));
    r -= stepR;
    g -= stepG;
    bl -= stepB;
  }
  return out;
}

}  // namespace fw::xpcontainer
