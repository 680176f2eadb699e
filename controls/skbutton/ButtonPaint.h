// The button's drawing helpers and its face painters. Each painter is a free
// function that draws one style's face on any DC from a FaceContext and the
// button state, so it can be tested without a button.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

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
// The platform's 3-D edge on all four sides of `rc`.
void DrawEdgeOf(HDC dc, RECT rc, EdgeKind kind);
// The platform's dotted focus rectangle.
void DrawFocus(HDC dc, RECT rc);

// -- Faces

// Everything a face painter reads. `face` is the translated BackColor.
struct FaceContext {
  HDC dc = nullptr;
  int W = 0;
  int H = 0;
  int32_t style = 0;
  int32_t face = 0;
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
  // Gives the window its region (the step the painters name "region").
  std::function<void()> buildRegion;
  // Sets the surface's own back colour to the host's ambient back colour
  // (styles 3 and 5), which also clears the surface.
  std::function<void()> useAmbientBackColor;
  // The button's stored ForeColor, which style 3 changes as it paints.
  Colour* foreColor = nullptr;
};

using FacePainter = void (*)(FaceContext& f, int32_t state);

// Styles 0, 1, 11 and 12: the raised, thin and hover-only edges.
void PaintStandard(FaceContext& f, int32_t state);
void PaintSoftGradient(FaceContext& f, int32_t state);   // 2
void PaintLightHover(FaceContext& f, int32_t state);     // 3
void PaintLitEnds(FaceContext& f, int32_t state);        // 4
void PaintDropShadow(FaceContext& f, int32_t state);     // 5
void PaintHalfGloss(FaceContext& f, int32_t state);      // 6
void PaintTwoBand(FaceContext& f, int32_t state);        // 7
void PaintFramedHover(FaceContext& f, int32_t state);    // 8
void PaintSolidHover(FaceContext& f, int32_t state);     // 9
void PaintTopBand(FaceContext& f, int32_t state);        // 10
void PaintHalfShade(FaceContext& f, int32_t state);      // 13
void PaintPixelMapped(FaceContext& f, int32_t state);    // 14, from its artwork
void PaintSideGradient(FaceContext& f, int32_t state);   // 15

// The painter of a style, or null for a style that paints no face.
FacePainter PainterFor(int32_t style);

}  // namespace fw::skbtn
