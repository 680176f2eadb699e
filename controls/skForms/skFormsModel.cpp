#include "controls/skForms/skFormsModel.h"

#include <algorithm>

#include "host/Numeric.h"

namespace fw::skforms {

namespace {

constexpr uint32_t Pack(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }
constexpr uint32_t Channel(uint32_t c, int i) { return (c >> (8 * i)) & 0xFFu; }

}  // namespace

const std::array<ThemePair, 5> kThemePairs = {{
    {Pack(19, 97, 156), Pack(221, 236, 254)},   // blue
    {Pack(95, 95, 111), Pack(244, 244, 251)},   // silver
    {Pack(63, 93, 56), Pack(247, 249, 225)},    // olive
    {Pack(98, 107, 72), Pack(248, 248, 242)},   // sage
    {Pack(117, 91, 30), Pack(255, 239, 165)},   // gold
}};

uint32_t BlendColors(uint32_t a, uint32_t b, int alpha) {
  uint32_t out = 0;
  for (int i = 0; i < 3; ++i) {
    const double mixed = alpha / 255.0 * Channel(a, i) + (255 - alpha) / 255.0 * Channel(b, i);
    out |= static_cast<uint32_t>(std::clamp(RoundHalfEven(mixed), 0, 255)) << (8 * i);
  }
  return out;
}

uint32_t GradientLineColour(uint32_t s, uint32_t e, int n, int i) {
  uint32_t out = 0;
  for (int c = 0; c < 3; ++c) {
    const float step = (static_cast<float>(Channel(e, c)) - static_cast<float>(Channel(s, c))) /
                       static_cast<float>(n);
    const double value = Channel(s, c) + static_cast<double>(step) * i;
    out |= static_cast<uint32_t>(std::clamp(RoundHalfEven(value), 0, 255)) << (8 * c);
  }
  return out;
}

ThemePair Faded(ThemePair pair) {
  return {BlendColors(pair.dark, kWhite, 190), BlendColors(pair.light, kWhite, 190)};
}

std::u16string SchemeName(const VisualStyle& style) {
  return style.opened ? style.colourName : std::u16string(u"Classic");
}

ThemePair SystemThemePair(const VisualStyle& style, ThemePair previous) {
  if (!style.appThemed) return kThemePairs[kThemeBlue];
  const std::u16string scheme = SchemeName(style);
  if (scheme == u"NormalColor") return kThemePairs[kThemeBlue];
  if (scheme == u"Metallic") return kThemePairs[kThemeSilver];
  if (scheme == u"HomeStead") return kThemePairs[kThemeOlive];
  return previous;
}

ThemePair ThemePairFor(int32_t themeColor, uint32_t colorFrom, uint32_t colorTo, ThemePair previous,
                       const std::function<ThemePair()>& system) {
  if (themeColor >= kThemeBlue && themeColor <= kThemeGold) return kThemePairs[themeColor];
  if (themeColor == kThemeCustom) return {colorFrom, colorTo};
  if (themeColor == kThemeSystem) return system ? system() : previous;
  return previous;
}

// -- Saved settings

Settings NewFrameSettings(Colour customBackColor) {
  Settings s;
  s.customBackColor = customBackColor;
  return s;
}

// The saved names spell "Color" as designs have always stored them; reading and
// writing use the same names, only ThemeColor's two defaults differ.
Settings ReadSettings(const PropertyStore& p, Colour customBackColor) {
  const Settings d;  // the defaults both columns share
  Settings s;
  s.windowState = p.ReadInt32(u"WindowState", d.windowState);
  s.colorFrom = p.ReadColour(u"ColorFrom", d.colorFrom);
  s.colorTo = p.ReadColour(u"ColorTo", d.colorTo);
  // A design without it follows the system; a new frame starts blue (kThemeBlue).
  s.themeColor = p.ReadInt32(u"ThemeColor", kThemeSystem);
  s.backColorStyle = p.ReadInt32(u"BackColorStyle", d.backColorStyle);
  s.borderStyle = p.ReadInt32(u"BorderStyle", d.borderStyle);
  s.closeButton = p.ReadBool(u"CloseButton", d.closeButton);
  s.maxButton = p.ReadBool(u"MaxButton", d.maxButton);
  s.minButton = p.ReadBool(u"MinButton", d.minButton);
  s.customBackColor = p.ReadColour(u"CustomBackColor", customBackColor);
  s.style = p.ReadInt32(u"Style", d.style);
  s.iconSize = p.ReadInt16(u"IconSize", d.iconSize);
  s.changeAllBackgrounds = p.ReadBool(u"ChangeAllBackgrounds", d.changeAllBackgrounds);
  s.titleBarShadow = p.ReadBool(u"TitleBarShadow", d.titleBarShadow);
  return s;
}

void WriteSettings(PropertyStore& p, const Settings& s, Colour customBackColor) {
  const Settings d;
  p.Write(u"ColorFrom", s.colorFrom, d.colorFrom);
  p.Write(u"ColorTo", s.colorTo, d.colorTo);
  // Against the read default, so a new frame's blue (0) is stored, not lost.
  p.Write(u"ThemeColor", s.themeColor, int32_t{kThemeSystem});
  p.Write(u"BackColorStyle", s.backColorStyle, d.backColorStyle);
  p.Write(u"BorderStyle", s.borderStyle, d.borderStyle);
  p.Write(u"CloseButton", s.closeButton, d.closeButton);
  p.Write(u"MaxButton", s.maxButton, d.maxButton);
  p.Write(u"MinButton", s.minButton, d.minButton);
  p.Write(u"WindowState", s.windowState, d.windowState);
  p.Write(u"CustomBackColor", s.customBackColor, customBackColor);
  p.Write(u"Style", s.style, d.style);
  p.Write(u"IconSize", s.iconSize, d.iconSize);
  p.Write(u"ChangeAllBackgrounds", s.changeAllBackgrounds, d.changeAllBackgrounds);
  p.Write(u"TitleBarShadow", s.titleBarShadow, d.titleBarShadow);
}

// -- Menu captions

const CaptionTable kCreatedMenuCaptions = {
    u"\u8FD8\u539F",                        // 还原
    u"\u79FB\u52A8",                        // 移动
    u"\u5927\u5C0F",                        // 大小
    u"\u6700\u5C0F\u5316",                  // 最小化
    u"\u6700\u5927\u5316",                  // 最大化
    u"-",
    u"\u5173\u95ED(&C)        Alt+F4",      // 关闭(&C), 8 blanks
    u"-",
    u"\u603B\u5728\u6700\u524D\u9762",      // 总在最前面
};

const CaptionTable kChineseCaptions = {
    u"\u8FD8\u539F(&R)",        // 还原(&R)
    u"\u79FB\u52A8(&M)",        // 移动(&M)
    u"\u5927\u5C0F(&S)",        // 大小(&S)
    u"\u6700\u5C0F\u5316(&X)",  // 最小化(&X)
    u"\u6700\u5927\u5316(&N)",  // 最大化(&N)
    u"-",
    u"\u5173\u95ED(&C)",  // 关闭(&C)
    u"-",
    u"\u7F6E\u9876(&T)",  // 置顶(&T)
};

const CaptionTable kSpanishCaptions = {
    u"Restaurar", u"", u"", u"Minimizar", u"Maximizar", u"-", u"Cerrar", u"-", u"Siempre Visible",
};

const CaptionTable& CaptionsFor(std::u16string_view englishLanguageName) {
  return englishLanguageName == u"Spanish" ? kSpanishCaptions : kChineseCaptions;
}

std::u16string FirstChars(std::u16string_view text, size_t n) {
  return std::u16string(text.substr(0, std::min(n, text.size())));
}

std::u16string CommandName(std::u16string_view caption) {
  // The shortcut starts at a tab or at the first run of two blanks.
  size_t end = caption.find(u'\t');
  end = std::min(end, caption.find(u"  "));
  if (end != std::u16string_view::npos) caption = caption.substr(0, end);
  std::u16string name;
  for (size_t i = 0; i < caption.size(); ++i) {
    const char16_t c = caption[i];
    if (c == u'(' && i + 3 < caption.size() && caption[i + 1] == u'&' && caption[i + 3] == u')') {
      i += 3;  // "(&X)": the key in brackets after a name in a script without letters
      continue;
    }
    if (c == u'&') {
      // The marked character stays ("&&" leaves one "&"); a mark at the end goes.
      if (i + 1 < caption.size()) name.push_back(caption[++i]);
      continue;
    }
    name.push_back(c);
  }
  while (!name.empty() && name.back() == u' ') name.pop_back();
  return name;
}

// -- Title-bar geometry

void LayOutButtons(ButtonSlots& slots, int innerWidth, int dpi) {
  int k = 0;
  for (ButtonSlot& slot : slots) {
    if (!slot.visible) continue;
    ++k;
    slot.left = (innerWidth - ScaleToDpi(3, dpi)) - ScaleToDpi(21, dpi) * k;
    slot.width = ScaleToDpi(kButtonSize, dpi);
    slot.height = ScaleToDpi(kButtonSize, dpi);
  }
}

int HitCaptionButton(const ButtonSlots& slots, double x, double y) {
  for (int i = 0; i < kSlotCount; ++i) {
    const ButtonSlot& s = slots[i];
    if (s.visible && s.left < x && x < s.left + s.width && s.top < y && y < s.top + s.height) {
      return i;
    }
  }
  return -1;
}

int LeftmostButton(const ButtonSlots& slots, int previous) {
  for (int i = kSlotCount - 1; i >= 0; --i) {
    if (slots[i].visible) return i;
  }
  return previous;
}

int TitleHeightFor(int textHeightOfH, int iconSize, int dpi) {
  return std::max(textHeightOfH + ScaleToDpi(10, dpi), iconSize + ScaleToDpi(15, dpi));
}

int TopHeightFor(int titleHeight, int style, int dpi) {
  return style == kStyleGripBand ? titleHeight + ScaleToDpi(kGripBandHeight, dpi) : titleHeight;
}

int ButtonTopFor(int topHeight, int buttonHeight, int style, int dpi) {
  const double middle = (topHeight - buttonHeight) / 2.0;
  return RoundHalfEven(style == kStyleGripBand ? middle + ScaleToDpi(3, dpi) : middle);
}

int IconTopFor(int topHeight, int iconSize, int style, int dpi) {
  auto px = [dpi](int pixels) { return ScaleToDpi(pixels, dpi); };
  if (style == kStyleGripBand) return RoundHalfEven((topHeight - iconSize - px(8)) / 2.0 + px(10));
  return RoundHalfEven((topHeight - iconSize) / 2.0 + px(2));
}

Rect CaptionRectFor(int style, int topHeight, int limit, bool hasIcon, int iconSize, int dpi) {
  auto px = [dpi](int pixels) { return ScaleToDpi(pixels, dpi); };
  Rect r = style == kStyleGripBand ? Rect{px(9), px(11), limit - px(12), topHeight + px(3)}
                                   : Rect{px(9), px(4), limit - px(12), topHeight};
  if (hasIcon) {
    r.left += iconSize + px(6);
    r.right += iconSize + px(6) - iconSize;
  }
  return r;
}

// -- Text

std::u16string TrimWord(std::u16string_view text, int width,
                        const std::function<int(std::u16string_view)>& measure) {
  if (measure(text) <= width) return std::u16string(text);
  std::u16string cut(text);
  size_t n = cut.size();
  while (n != 0 && measure(cut + u"...") > width) {
    cut.pop_back();
    --n;
  }
  return n > 0 ? cut + u"..." : std::u16string();
}

}  // namespace fw::skforms
