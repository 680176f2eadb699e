// What the multistyle button knows without a window: its styles and states, the
// colours each style starts with, the access key of a caption, the colour
// arithmetic of its painters, the colour table and pixels of its gradients, the
// layout of caption and picture, and the greying of a picture's pixels.
// Portable: no platform header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "host/Colour.h"

namespace fw::skbtn {

// -- Styles and states

enum ButtonStyle : int32_t {
  StyleStandard = 0,
  StyleFlat = 1,
  StyleSoftGradient = 2,
  StyleLightHover = 3,
  StyleLitEnds = 4,
  StyleDropShadow = 5,
  StyleHalfGloss = 6,
  StyleTwoBand = 7,
  StyleFramedHover = 8,
  StyleSolidHover = 9,
  StyleTopBand = 10,
  StyleHoverEdge = 11,
  StyleHoverThin = 12,
  StyleHalfShade = 13,
  StylePixelMapped = 14,
  StyleSideGradient = 15,
};
constexpr int32_t kStyleCount = 16;

// The look a button is drawn in: its `state`.
enum Look : int32_t { StateNormal = 0, StateHot = 1, StatePressed = 2 };

// A checked button (CheckBoxMode with Value true) is painted as pressed, except
// in the styles that have a checked look of their own.
constexpr bool HasOwnCheckedLook(int32_t style) {
  return style == StyleStandard || style == StyleLightHover || style == StyleSolidHover;
}

// The styles whose face leaves the outside of its shape to the form: their
// surface takes the host's ambient back colour before they paint.
constexpr bool PaintsOnAmbientBack(int32_t style) {
  return style == StyleLightHover || style == StyleDropShadow || style == StylePixelMapped;
}

// The corner ellipse of the window region a style gives its window (its width and
// height), or 0 for a plain rectangle.
int32_t RegionCorner(int32_t style);

// -- Colours

// The platform's button face and button text, as a property stores them: system
// colours 15 (COLOR_BTNFACE) and 18 (COLOR_BTNTEXT). This header stays free of the
// platform's, so the indices are written out; the Win32 side checks them.
inline constexpr Colour kButtonFace = SystemColour(15);
inline constexpr Colour kButtonText = SystemColour(18);
// The MaskColor a new button starts with.
inline constexpr Colour kDefaultMaskColour{0xE0E0E0u};

// The channel arithmetic below treats a colour as 0x00BBGGRR and ignores its top
// byte, so the untranslatable value -1 acts as white, as it does when it is drawn.
int32_t ChannelRed(int32_t c);
int32_t ChannelGreen(int32_t c);
int32_t ChannelBlue(int32_t c);
int32_t RgbValue(int32_t red, int32_t green, int32_t blue);

// Each channel + f x 255 (the product in single precision), rounded half to even;
// when f > 0 a result above 255 becomes 255, otherwise a result below 0 becomes 0.
// Only that side is clamped: the other cannot be passed by a channel of 0 .. 255.
int32_t ShiftColor(int32_t colour, float f);
// Each channel the rounded (half to even) mean of the two.
int32_t MixColors(int32_t a, int32_t b);

// The colours a style starts with (SetDefaultColors). `back` is empty for a style
// outside 0 .. 15, which keeps the button's BackColor. Colours are untranslated.
struct StyleColours {
  std::optional<Colour> back;
  Colour fore;
  bool showFocusRect = false;
};
StyleColours DefaultColours(int32_t style);

// -- Caption

// The index of the access-key character in `caption`, or nothing. The caller
// lower-cases the character. An "&&" pair is a literal ampersand.
std::optional<size_t> AccessKeyIndex(std::u16string_view caption);

// -- Gradients

enum GradientDirection : int32_t {
  GradientHorizontal = 0,  // c1 on the left
  GradientVertical = 1,    // c1 on the top row
  GradientDiagonalDown = 2,  // c1 top left, c2 bottom right
  GradientDiagonalUp = 3,    // c1 bottom left, c2 top right
};

// The n + 1 colours of a gradient of length n (0x00BBGGRR): entry i has each
// channel c1 + (c2 - c1) x i / n, the division truncated toward zero; for n = 0
// the single entry is the sum of the channels' truncated halves.
std::vector<int32_t> GradientTable(int32_t c1, int32_t c2, int32_t n);

// The w x h pixels of a gradient, top row first (0x00BBGGRR each); empty when w
// or h is 0 or less.
std::vector<int32_t> GradientPixels(int32_t w, int32_t h, int32_t c1, int32_t c2,
                                    int32_t direction);

// -- Caption and picture layout

// The values of PictureSize, PictureAlign and CaptionAlign. The properties stay
// whole numbers: a value outside these is kept and lays nothing out.
enum PictureSize : int32_t { PictureOwnSize = 0, Picture16 = 1, Picture24 = 2, Picture32 = 3 };
enum PictureAlign : int32_t {
  PictureLeftEdge = 0,        // the caption centred in the rest
  PictureLeftOfCaption = 1,   // the pair centred
  PictureRightEdge = 2,       // the caption right-aligned before it
  PictureRightOfCaption = 3,  // the pair centred
  PictureBehindCaption = 4,   // both centred
  PictureTopEdge = 5,         // the caption below
  PictureAboveCaption = 6,    // the pair centred
  PictureBottomEdge = 7,      // the caption above
  PictureBelowCaption = 8,    // the pair centred
};
enum CaptionAlign : int32_t { CaptionLeft = 0, CaptionCentre = 1, CaptionRight = 2 };

struct LayoutInput {
  int32_t width = 0;   // W
  int32_t height = 0;  // H
  int32_t textWidth = 0;
  int32_t textHeight = 0;
  bool hasPicture = false;
  int32_t pictureSize = PictureOwnSize;
  // The picture's own size in pixels (PictureSize 0); 0 without a picture.
  int32_t ownWidth = 0;
  int32_t ownHeight = 0;
  int32_t pictureAlign = PictureLeftOfCaption;
  int32_t captionAlign = CaptionCentre;
  bool hasAccessKey = false;
  // The dpi of the button: every gap and picture size is a 96-dpi one scaled to it.
  int32_t dpi = 96;
};

struct Layout {
  int32_t px = 0, py = 0, pw = 0, ph = 0;  // picture place and drawn size
  int32_t tx = 0, ty = 0;                  // caption's top left
};

Layout LayoutCaptionAndPicture(const LayoutInput& in);

// Where a style in a state draws what Layout placed: the picture's offset, the
// caption rectangle (left, top, right, bottom) and, for the styles whose focus
// rectangle follows the caption, the new captionFocusRect.
struct Box {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend constexpr bool operator==(const Box&, const Box&) = default;
};
struct CaptionPlacement {
  int32_t pictureDx = 0;
  int32_t pictureDy = 0;
  Box caption;
  std::optional<Box> focus;
};
CaptionPlacement PlaceCaption(int32_t style, int32_t state, int32_t tx, int32_t ty, int32_t tw,
                              int32_t th, int32_t dpi = 96);

// -- Greyed pictures

// Greys a 24-bit pixel buffer in place, walking it as one run of 3-byte groups
// from its first byte (rows padded to 4 bytes are not skipped): each group's three
// bytes become their truncated mean.
void GrayRun(std::vector<uint8_t>& bytes);

}  // namespace fw::skbtn
