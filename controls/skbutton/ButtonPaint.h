// The button's drawing helpers and its face painters. Each painter is a free
// function that draws one style's face on any DC from the button's state and
// returns what the button itself must apply, so it can be tested without a button.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "controls/skbutton/SkbuttonModel.h"
#include "host/Colour.h"

namespace fw::skbtn {

// The translation every colour passes through before it is drawn: its 0x00BBGGRR
// value, or -1 when it cannot be translated.
int32_t Translate(Colour c);

// -- Drawing helpers; colours are translated values (-1 is drawn as it stands)

// A solid 1-pixel line from (x1, y1) to (x2, y2), the end point left out.
void DrawLine(HDC dc, int x1, int y1, int x2, int y2, int32_t colour);
// The 1-pixel frame of (x, y, x + w, y + h), drawn with a solid brush.
void DrawRectangle(HDC dc, int x, int y, int w, int h, int32_t colour);
void FillRectangle(HDC dc, int32_t colour, const RECT& rc);
// The pixels (1, 1), (1, H - 2), (W - 2, 1) and (W - 2, H - 2).
void DrawCorners(HDC dc, int W, int H, int32_t colour);
// A gradient as one image copy (GradientPixels of the model).
void DrawGradient(HDC dc, int x, int y, int w, int h, int32_t c1, int32_t c2, int32_t direction);
// The picture `handle` (a bitmap, or an icon with its mask) greyed into (x, y, w, h).
void GrayPicture(HDC dc, HANDLE handle, int x, int y, int w, int h);

enum class EdgeKind { Raised, ThinRaised, Sunken };
// The platform's 3-D edge on all four sides of `rc`; above 96 dpi each of its
// 1-pixel borders is ScaleToDpi(1, dpi) pixels wide.
void DrawEdgeOf(HDC dc, RECT rc, EdgeKind kind, int dpi = 96);
// The platform's dotted focus rectangle.
void DrawFocus(HDC dc, RECT rc);

// -- Faces

// The button as a face painter sees it, taken afresh for each paint.
struct ButtonState {
  int32_t style = 0;
  Look look = StateNormal;
  int32_t face = 0;  // the translated BackColor
  bool enabled = true;
  bool checkBoxMode = false;
  bool value = false;
  bool hasFocus = false;
  bool isDefault = false;
  bool parentActive = false;
  bool mouseInside = false;
  bool leftDown = false;
  bool showFocusRect = false;
  bool userMode = true;
  Box captionFocusRect;
  // The dpi the face is drawn at; every painter is designed at 96.
  int dpi = 96;
};

// What a painter leaves to Redraw, which applies it after the face.
struct PaintResult {
  // The painter's "region" step: the window is to have the style's region
  // (RegionCorner), built when the size or style changed since the last one.
  bool region = false;
  // The caption colour a style chooses for itself (style 3 sets ForeColor).
  std::optional<Colour> foreColor;
};

// A face painter draws on `dc` only, inside `client` = (0, 0, W, H).
using FacePainter = PaintResult (*)(HDC dc, const RECT& client, const ButtonState& b);

// Styles 0, 1, 11 and 12: the raised, thin and hover-only edges.
PaintResult PaintStandard(HDC dc, const RECT& client, const ButtonState& b);
PaintResult PaintSoftGradient(HDC dc, const RECT& client, const ButtonState& b);  // style 2
PaintResult PaintLightHover(HDC dc, const RECT& client, const ButtonState& b);    // style 3
PaintResult PaintLitEnds(HDC dc, const RECT& client, const ButtonState& b);       // style 4
PaintResult PaintDropShadow(HDC dc, const RECT& client, const ButtonState& b);    // style 5
PaintResult PaintHalfGloss(HDC dc, const RECT& client, const ButtonState& b);     // style 6
PaintResult PaintTwoBand(HDC dc, const RECT& client, const ButtonState& b);       // style 7
PaintResult PaintFramedHover(HDC dc, const RECT& client, const ButtonState& b);   // style 8
PaintResult PaintSolidHover(HDC dc, const RECT& client, const ButtonState& b);    // style 9
PaintResult PaintTopBand(HDC dc, const RECT& client, const ButtonState& b);       // style 10
PaintResult PaintHalfShade(HDC dc, const RECT& client, const ButtonState& b);     // style 13
// Style 14, from its artwork.
PaintResult PaintPixelMapped(HDC dc, const RECT& client, const ButtonState& b);
PaintResult PaintSideGradient(HDC dc, const RECT& client, const ButtonState& b);  // style 15

// The painter of a style, or null for a style that paints no face.
FacePainter PainterFor(int32_t style);

}  // namespace fw::skbtn
