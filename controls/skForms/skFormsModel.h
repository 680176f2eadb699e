// What the skinned frame knows without a window: its colour themes and their
// faded forms, the theme that follows the platform's visual style, the saved
// settings with their two sets of defaults, the menu caption tables the caption
// buttons take their tooltips from, the title-bar geometry and the text
// trimming. Portable: no platform header.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/Colour.h"
#include "host/PropertyStore.h"

namespace fw::skforms {

// -- Colours

// ThemeColor values; their numbers are what a design saves.
enum ThemeColorValue : int32_t {
  kThemeBlue = 0,
  kThemeSilver = 1,
  kThemeOlive = 2,
  kThemeSage = 3,
  kThemeGold = 4,
  kThemeCustom = 5,
  kThemeSystem = 6,
};

// BackColorStyle values.
enum BackColorStyleValue : int32_t { kBackSystem = 0, kBackTheme = 1, kBackCustom = 2 };

// WindowState values; the host form numbers its own states the same way.
enum WindowStateValue : int32_t { kStateNormal = 0, kStateMinimised = 1, kStateMaximised = 2 };

// BorderStyle values: only a sizable frame lets its grips size the host.
enum BorderStyleValue : int32_t { kBorderFixed = 0, kBorderSizable = 1 };

// Style 1 puts a band with grip dots above the title: the top area is
// kGripBandHeight pixels higher and the caption, icon and buttons sit lower.
constexpr int32_t kStyleGripBand = 1;
constexpr int kGripBandHeight = 10;
// Styles 2 and 5 lay the caption and the buttons on a band solid in the dark
// colour.
constexpr bool SolidTitleBand(int32_t style) { return style == 2 || style == 5; }

// A theme pair: the dark colour the bands and the border are drawn with, and the
// light one the bands fade to. Plain 0x00BBGGRR values.
struct ThemePair {
  uint32_t dark = 0;
  uint32_t light = 0;
  friend constexpr bool operator==(const ThemePair&, const ThemePair&) = default;
};

// The built-in pairs of themes 0 .. 4.
extern const std::array<ThemePair, 5> kThemePairs;

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

// Per channel alpha/255 of a plus (255 - alpha)/255 of b, the sum rounded to the
// nearest whole number, halves to even.
uint32_t BlendColors(uint32_t a, uint32_t b, int alpha);
// BlendColors with alpha 128: the mix most of the frame's drawing uses.
inline uint32_t Half(uint32_t a, uint32_t b) { return BlendColors(a, b, 128); }
// The colour of line i (1 .. n - 1) of a gradient from s to e over n lines: per
// channel s + step * i, the step (e - s) / n taken in single precision, the result
// rounded to the nearest whole number, halves to even.
uint32_t GradientLineColour(uint32_t s, uint32_t e, int n, int i);
// The pair drawn while the host form is inactive: each colour 190/255 of itself,
// the rest white.
ThemePair Faded(ThemePair pair);

// What the platform says of its visual style (the answers of the style queries).
struct VisualStyle {
  bool opened = false;        // the style data for "ExplorerBar" could be opened
  std::u16string colourName;  // the current theme's colour name, cut at its first NUL
  bool appThemed = false;     // the application is themed (a failed query: false)
};

// The scheme name the frame reports: the colour name, or "Classic" when the style
// data could not be opened.
std::u16string SchemeName(const VisualStyle& style);
// The pair ThemeColor 6 gives: "NormalColor" blue, "Metallic" silver, "HomeStead"
// olive; any other scheme keeps `previous`; an unthemed application gets blue.
ThemePair SystemThemePair(const VisualStyle& style, ThemePair previous);

// The pair of a ThemeColor value: 0 .. 4 from the table, 5 the custom pair, 6 the
// pair `system` answers (asked only then); any other value keeps `previous`.
ThemePair ThemePairFor(int32_t themeColor, uint32_t colorFrom, uint32_t colorTo, ThemePair previous,
                       const std::function<ThemePair()>& system);

// -- Saved settings

struct Settings {
  int32_t themeColor = kThemeBlue;
  int32_t style = 0;
  int32_t backColorStyle = kBackSystem;
  bool maxButton = true;
  bool minButton = true;
  bool closeButton = true;
  int32_t windowState = kStateNormal;
  bool changeAllBackgrounds = false;
  int32_t borderStyle = kBorderSizable;
  Colour customBackColor = SystemColour(15);  // COLOR_BTNFACE, untranslated
  Colour colorFrom{0x404080u};
  Colour colorTo{0xC0E0FFu};
  int16_t iconSize = 16;
  bool titleBarShadow = true;
};

// A new frame's settings; `customBackColor` is the translated button face.
Settings NewFrameSettings(Colour customBackColor);
// Reads in the saved order; a missing name gives the "read" default (ThemeColor 6,
// CustomBackColor `customBackColor`).
Settings ReadSettings(const PropertyStore& props, Colour customBackColor);
// Writes in the saved order, each against its "read" default, so a value equal to
// it is not stored (ThemeColor 0 is stored: its read default is 6).
void WriteSettings(PropertyStore& props, const Settings& s, Colour customBackColor);

// -- Menu captions (the caption buttons' tooltips are cut from them)

constexpr int kFixedMenuItems = 9;
using CaptionTable = std::array<std::u16string_view, kFixedMenuItems>;
// The fixed items' captions when the frame is made, before a table fills them.
extern const CaptionTable kCreatedMenuCaptions;
// The Chinese table, used unless the user's language is Spanish, and the Spanish one.
extern const CaptionTable kChineseCaptions;
extern const CaptionTable kSpanishCaptions;
// `englishLanguageName` is the platform's English name of the user's default
// language; exactly "Spanish" selects the Spanish table.
const CaptionTable& CaptionsFor(std::u16string_view englishLanguageName);

// The first `n` characters of a caption (all of it when shorter).
std::u16string FirstChars(std::u16string_view text, size_t n);

// A menu caption as a command's name is read aloud: without its access key
// (a bracketed "(&X)" goes whole, a lone "&" mark alone, "&&" reads as "&")
// and without a shortcut after a run of blanks or a tab ("关闭(&C)  Alt+F4"
// reads "关闭").
std::u16string CommandName(std::u16string_view caption);

// -- Title-bar geometry

// Caption-button slots, in their fixed order.
enum Slot : int { kSlotClose = 0, kSlotMax = 1, kSlotMin = 2, kSlotCount = 3 };
// The looks a caption button is drawn in.
enum ButtonLook : int { kLookNormal = 0, kLookHover = 1, kLookPressed = 2 };
constexpr int kButtonSize = 18;
// The button height when no close button is visible.
constexpr int kNoCloseButtonHeight = 18;

struct ButtonSlot {
  int left = 0;
  int top = 0;
  int width = kButtonSize;
  int height = kButtonSize;
  bool visible = true;
  std::u16string toolTip;
};
using ButtonSlots = std::array<ButtonSlot, kSlotCount>;

// The title bar's pixel numbers here are 96-dpi numbers; at another `dpi` each
// is ScaleToDpi of itself, so the title is the same design at every scale.
// The lefts of the visible slots: the first visible one (in slot order) rightmost,
// 21 pixels apart, the first at innerWidth - 3 - 21; each 18 pixels square.
void LayOutButtons(ButtonSlots& slots, int innerWidth, int dpi = 96);
// The first visible slot whose inside strictly contains (x, y); -1 when none.
int HitCaptionButton(const ButtonSlots& slots, double x, double y);
// The highest visible slot (leftmost on screen), or `previous` when none is visible.
int LeftmostButton(const ButtonSlots& slots, int previous);

// TitleHeight until a font has been measured.
constexpr int kInitialTitleHeight = 30;
// TitleHeight: the height of "H" + 10, at least iconSize + 15 (the text's
// height and the icon's size are taken as they are at `dpi`).
int TitleHeightFor(int textHeightOfH, int iconSize, int dpi = 96);
// TopHeight: TitleHeight, plus 10 in style 1.
int TopHeightFor(int titleHeight, int style, int dpi = 96);
// ButtonTop (the buttons' top minus 2).
int ButtonTopFor(int topHeight, int buttonHeight, int style, int dpi = 96);
// The icon's top at x 6.
int IconTopFor(int topHeight, int iconSize, int style, int dpi = 96);

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};
// The caption rectangle; `limit` is the left of the leftmost visible button (or the
// inner width without one); with an icon the text starts past it.
Rect CaptionRectFor(int style, int topHeight, int limit, bool hasIcon, int iconSize, int dpi = 96);

// -- Text

// The text shortened with "..." until it fits `width` as `measure` says; unchanged
// when it fits; empty when not even one character and "..." fit.
std::u16string TrimWord(std::u16string_view text, int width,
                        const std::function<int(std::u16string_view)>& measure);

}  // namespace fw::skforms
