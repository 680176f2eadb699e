// The face painters, one per style. Each step is one helper call, in the order
// the look is built up; where two steps overlap the later one wins. Fractional
// sizes (H / 2, H / 2.7, H / 1.7) are worked out in floating point and rounded
// half to even, as every size of the button is. A painter reads the button's
// state and draws; what the button must change itself (its window region, the
// caption colour of style 3) goes back in the PaintResult.

#include <cmath>
#include <utility>

#include "controls/skbutton/ButtonPaint.h"
#include "controls/skbutton/PixelMappedArt.h"
#include "host/DesignCanvas.h"
#include "host/Gdi.h"
#include "host/Numeric.h"

namespace fw::skbtn {

namespace {

int32_t T(uint32_t colour) { return Translate(Colour(colour)); }
int32_t T(Colour colour) { return Translate(colour); }
int32_t S(int32_t colour, float f) { return ShiftColor(colour, f); }
int32_t M(int32_t a, int32_t b) { return MixColors(a, b); }
int Whole(double v) { return static_cast<int>(std::nearbyint(v)); }

// The steps of one painting, on one DC, and what the painting asks of the button.
//
// The painters are written at 96 dpi: W and H are the button's size there and
// every place is a 96-dpi pixel, drawn on the host's design canvas over the
// button's client area. A place in the left (top) half keeps its distance from
// the left (top) side, one in the right (bottom) half its distance from the
// right (bottom) side, so a 1-pixel line is ScaleToDpi(1) wide and stays against
// the side it is drawn against, and a gradient spans the scaled length, with as
// many colour steps as it has pixels.
class Steps {
 public:
  Steps(HDC dc, const RECT& client, const ButtonState& b)
      : canvas_(dc, b.dpi, SIZE{client.right, client.bottom}), W(canvas_.Width()),
        H(canvas_.Height()), face(b.face), b_(b), deviceW_(client.right), deviceH_(client.bottom) {}

  void G(double x, double y, double w, double h, int32_t c1, int32_t c2, bool vertical) const {
    const int dir = vertical ? GradientVertical : GradientHorizontal;
    const RECT rc = canvas_.Device(RECT{Whole(x), Whole(y), Whole(x) + Whole(w), Whole(y) + Whole(h)});
    DrawGradient(canvas_.Dc(), rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, c1, c2, dir);
  }
  void L(int x1, int y1, int x2, int y2, int32_t c) const { canvas_.Line(x1, y1, x2, y2, Ref(c)); }
  void R(int x, int y, int w, int h, int32_t c) const { canvas_.Frame(x, y, w, h, Ref(c)); }
  void Fill(int32_t c) const { FillRectangle(canvas_.Dc(), c, RECT{0, 0, deviceW_, deviceH_}); }
  void Fill(int32_t c, RECT rc) const { FillRectangle(canvas_.Dc(), c, canvas_.Device(rc)); }
  void Corners(int32_t c) const {
    for (const POINT p : {POINT{1, 1}, POINT{1, H - 2}, POINT{W - 2, 1}, POINT{W - 2, H - 2}}) {
      canvas_.Pixel(p.x, p.y, Ref(c));
    }
  }
  void Edge(RECT rc, EdgeKind kind) const {
    DrawEdgeOf(canvas_.Dc(), canvas_.Device(rc), kind, canvas_.Dpi());
  }
  void Focus(int l, int t, int r, int b) const { canvas_.Focus(RECT{l, t, r, b}); }
  // A focus rectangle already in device pixels (one laid out round the caption).
  void FocusAt(RECT rc) const { canvas_.Focus(canvas_.Design(rc)); }
  // An artwork pixel: the block between the places of its edges, which may be
  // empty where the art is denser than the device.
  void Pixel(int x, int y, uint32_t c) const {
    canvas_.Fill(RECT{x, y, x + 1, y + 1}, static_cast<COLORREF>(c));
  }

  // The step named "region".
  void Region() { result_.region = true; }
  void CaptionColour(Colour c) { result_.foreColor = c; }
  PaintResult Result() const { return result_; }

  bool Checked() const { return b_.checkBoxMode && b_.value; }
  bool FocusOrDefault() const { return b_.hasFocus || b_.isDefault; }

 private:
  // Declared first: W and H are read from it.
  DesignCanvas canvas_;

 public:
  // The button's size at 96 dpi.
  const int W;
  const int H;
  const int32_t face;

 private:
  // -1 stays -1 for the platform, as the button has always handed it over.
  static COLORREF Ref(int32_t c) { return static_cast<COLORREF>(c); }

  const ButtonState& b_;
  int deviceW_;
  int deviceH_;
  PaintResult result_;
};

// Styles 0 and 11 show the wide edge, 1 and 12 the thin one.
bool WideEdge(int32_t style) { return style == StyleStandard || style == StyleHoverEdge; }

// The checked look of styles 0, 1, 11 and 12: the face 0.02 lighter in a sunken
// edge (style 12 without it), and style 0's focus frame.
void StandardChecked(const Steps& s, const ButtonState& b) {
  const RECT client{0, 0, s.W, s.H};
  s.Fill(S(b.face, 0.02f), client);
  if (b.style == StyleHoverThin) return;
  s.Edge(client, EdgeKind::Sunken);
  if (b.style == StyleStandard && b.showFocusRect && b.hasFocus) {
    s.R(4, 4, s.W - 7, s.H - 7, T(SystemColour(COLOR_APPWORKSPACE)));
  }
}

// The focus rectangle of a focused or default button, and style 0's default
// button look: a black frame round a smaller raised edge.
void StandardFocus(const Steps& s, const ButtonState& b) {
  if (!s.FocusOrDefault()) return;
  const int W = s.W, H = s.H;
  const int inset = WideEdge(b.style) ? 4 : 3;
  if (b.showFocusRect && b.userMode && b.parentActive) s.Focus(inset, inset, W - inset, H - inset);
  if (b.style == StyleStandard && b.look != StatePressed) {
    s.Edge(RECT{0, 0, W - 1, H - 1}, EdgeKind::Raised);
    s.R(0, 0, W - 1, H - 1, T(SystemColour(COLOR_APPWORKSPACE)));
    s.R(0, 0, W, H, T(0x000000u));
  }
}

}  // namespace

PaintResult PaintStandard(HDC dc, const RECT& client, const ButtonState& b) {
  Steps s(dc, client, b);
  const int W = s.W, H = s.H;
  const int32_t style = b.style;
  const RECT face{0, 0, W, H};
  if (s.Checked()) {
    StandardChecked(s, b);
    return s.Result();
  }
  switch (b.look) {
    case StateNormal:
      s.Region();
      s.Fill(s.face);
      if (style == StyleStandard) s.Edge(face, EdgeKind::Raised);
      if (style == StyleFlat) s.Edge(face, EdgeKind::ThinRaised);
      break;
    case StateHot:
      s.Fill(s.face);
      if (style == StyleFlat || style == StyleHoverThin) s.Edge(face, EdgeKind::ThinRaised);
      if (WideEdge(style)) s.Edge(face, EdgeKind::Raised);
      break;
    case StatePressed:
      s.Fill(s.face);
      if (style == StyleStandard) {
        s.R(1, 1, W - 2, H - 2, T(0x99A8ACu));
        s.R(0, 0, W, H, T(0x000000u));
      } else if (style == StyleFlat || style == StyleHoverThin) {
        s.R(0, 0, W, H, T(0xFFFFFFu));
        // Only its left and top sides fall inside the button.
        s.R(0, 0, W + 1, H + 1, T(SystemColour(COLOR_GRAYTEXT)));
      } else if (style == StyleHoverEdge) {
        s.Edge(face, EdgeKind::Sunken);
      }
      break;
    default: return s.Result();
  }
  StandardFocus(s, b);
  return s.Result();
}

namespace {

// Style 2's coloured rim, of the hot look and round a focused or default button:
// two top rows, the outer and the inner sides, two bottom rows.
struct Rim {
  uint32_t row2, row1, outer, inner, bottom3, bottom2;
};
constexpr Rim kHotRim{0x89D8FD, 0xCFF0FF, 0x49BDF9, 0x7AD2FC, 0x30B3F8, 0x0097E5};
constexpr Rim kFocusRim{0xF6D4BC, 0xFFE7CE, 0xE6AF8E, 0xF4D1B8, 0xE4AD89, 0xEE8269};

void DrawRim(const Steps& s, const Rim& c) {
  const int W = s.W, H = s.H;
  s.L(1, 2, W - 2, 2, T(c.row2));
  s.L(1, 1, W - 2, 1, T(c.row1));
  s.L(1, 1, 1, H - 2, T(c.outer));
  s.L(W - 2, 2, W - 2, H - 2, T(c.outer));
  s.L(2, 2, 2, H - 3, T(c.inner));
  s.L(W - 3, 3, W - 3, H - 3, T(c.inner));
  s.L(2, H - 3, W - 2, H - 3, T(c.bottom3));
  s.L(2, H - 2, W - 2, H - 2, T(c.bottom2));
}

}  // namespace

PaintResult PaintSoftGradient(HDC dc, const RECT& client, const ButtonState& b) {
  Steps s(dc, client, b);
  const int W = s.W, H = s.H;
  const int32_t face = s.face;
  if (!b.enabled) {
    s.Region();
    s.Fill(S(face, 0.03f));
    s.R(0, 0, W, H, S(face, -0.1f));
    s.Corners(S(face, 0.2f));
    return s.Result();
  }
  auto gradients = [&] {
    s.G(0, 0, W, H, S(face, 0.07f), face, true);
    s.G(0, 0, W, 5, S(face, 0.2f), S(face, 0.08f), true);
  };
  switch (b.look) {
    case StateNormal:
      s.Region();
      gradients();
      s.L(1, H - 2, W - 2, H - 2, S(face, -0.09f));
      s.L(1, H - 3, W - 2, H - 3, S(face, -0.05f));
      s.L(1, H - 4, W - 2, H - 4, S(face, -0.01f));
      s.L(W - 2, 2, W - 2, H - 2, S(face, -0.08f));
      s.L(1, 1, 1, H - 2, M(T(0xFFFFFF), face));
      if (s.FocusOrDefault() && b.parentActive) DrawRim(s, kFocusRim);
      break;
    case StateHot:
      gradients();
      DrawRim(s, kHotRim);
      break;
    case StatePressed:
      s.Fill(S(face, -0.05f));
      s.L(1, 1, W - 2, 1, S(face, -0.16f));
      s.L(1, 2, W - 2, 2, S(face, -0.1f));
      s.L(1, H - 2, W - 2, H - 2, S(face, 0.07f));
      s.L(1, 1, 1, H - 2, S(face, -0.16f));
      s.L(2, 2, 2, H - 2, S(face, -0.1f));
      s.L(W - 2, 2, W - 2, H - 2, S(face, 0.04f));
      break;
    default: return s.Result();
  }
  if (b.parentActive && b.showFocusRect && s.FocusOrDefault()) s.Focus(2, 2, W - 2, H - 2);
  s.R(0, 0, W, H, T(0x743C00));
  s.Corners(S(T(0x743C00), 0.3f));
  return s.Result();
}

namespace {

// Style 3's checked look, white in a frame, with a soft lower edge when hot.
void LightHoverChecked(Steps& s, Look look) {
  const int W = s.W, H = s.H;
  s.Fill(T(0xFEFEFE));
  s.CaptionColour(kButtonText);
  s.R(0, 0, W, H, T(0xAF987A));
  s.Corners(S(T(0xC1B3A0), -0.2f));
  if (look != StateHot) return;
  s.L(W - 2, 2, W - 2, H - 2, T(0xEDF0F2));
  s.L(2, H - 2, W - 2, H - 2, T(0xD8DEE4));
  s.L(1, H - 3, W - 1, H - 3, T(0xE8ECEF));
  s.L(1, H - 4, W - 1, H - 4, T(0xF8F9FA));
}

}  // namespace

PaintResult PaintLightHover(HDC dc, const RECT& client, const ButtonState& b) {
  Steps s(dc, client, b);
  Look state = b.look;
  const int W = s.W, H = s.H;
  if (s.Checked() && !b.leftDown) {
    LightHoverChecked(s, state);
    return s.Result();
  }
  // A checked button with the left button down is drawn as pressed.
  if (s.Checked()) state = StatePressed;
  switch (state) {
    case StateNormal:
      s.Region();
      s.Fill(s.face);
      break;
    case StateHot:
      s.G(0, 0, W, H / 2.0, T(0xFDFEFE), T(0xEEF4F4), true);
      s.G(0, H / 2.0, W, H / 2.0, T(0xEEF4F4), T(0xEAF1F1), true);
      s.L(W - 2, 2, W - 2, H - 2, T(0xE0E7EA));
      s.L(W - 3, 2, W - 3, H - 2, T(0xEAF0F0));
      s.L(0, H - 4, W, H - 4, T(0xE5EDEE));
      s.L(0, H - 3, W, H - 3, T(0xD6E1E4));
      s.L(0, H - 2, W, H - 2, T(0xC6D2D7));
      s.R(0, 0, W, H, T(0xC3CECE));
      s.Corners(S(T(0xC9D4D4), -0.05f));
      break;
    case StatePressed:
      s.Fill(T(0xDDE4E5));
      s.L(1, 1, W - 2, 1, S(T(0xD1DADC), -0.02f));
      s.L(1, 2, W - 2, 2, S(T(0xDAE1E3), -0.02f));
      s.L(1, H - 3, W - 2, H - 3, S(T(0xDEE5E6), 0.02f));
      s.L(1, H - 2, W - 2, H - 2, S(T(0xE5EAEB), 0.02f));
      s.R(0, 0, W, H, T(0x929D9D));
      s.Corners(S(T(0xABB4B5), -0.2f));
      break;
    default: return s.Result();
  }
  // The style sets its caption colour itself: white on the pressed face.
  s.CaptionColour(state == StatePressed ? Colour(0xFFFFFFu) : kButtonText);
  return s.Result();
}

namespace {

// Style 4's lit ends: five-pixel gradients across both ends, in the upper and the
// lower half, from the end's colour inward (mirrored on the right).
void LitEnds(const Steps& s, int32_t topEnd, int32_t topIn, int32_t bottomEnd, int32_t bottomIn) {
  const int W = s.W, H = s.H;
  const double half = H / 2.0;
  s.G(1, 3, 5, half - 2, topEnd, topIn, false);
  s.G(1, half, 5, H - half - 1, bottomEnd, bottomIn, false);
  s.G(W - 6, 3, 5, half - 2, topIn, topEnd, false);
  s.G(W - 6, half, 5, H - half - 1, bottomIn, bottomEnd, false);
}

}  // namespace

PaintResult PaintLitEnds(HDC dc, const RECT& client, const ButtonState& b) {
  Steps s(dc, client, b);
  const int W = s.W, H = s.H;
  const int32_t face = s.face;
  if (!b.enabled) {
    s.Region();
    s.Fill(S(face, 0.03f));
    s.R(0, 0, W, H, S(face, -0.25f));
    s.R(1, 1, W - 2, H - 2, S(face, 0.25f));
    s.Corners(S(face, -0.03f));
    return s.Result();
  }
  const double half = H / 2.0;
  switch (b.look) {
    case StateNormal: {
      const int32_t a = S(face, 0.05f);
      s.Region();
      s.G(1, 1, W - 1, H, a, face, true);
      s.G(1, half, W - 2, H - 2, S(face, -0.02f), S(face, -0.15f), true);
      s.R(0, 0, W, H, T(0x707070));
      s.R(1, 1, W - 2, H - 2, T(0xFFFFFF));
      break;
    }
    case StateHot:
      s.G(1, 1, W - 2, half, T(0xFFF7E4), T(0xFFF3DA), true);
      s.G(1, half, W - 2, H - 2, T(0xFFE9C1), T(0xFDE1AE), true);
      LitEnds(s, T(0xFFEECD), T(0xFFF7E4), T(0xFAD68F), S(T(0xFDE1AC), 0.01f));
      s.R(0, 0, W, H, T(0xA77532));
      s.R(1, 1, W - 2, H - 2, T(0xFFFFFF));
      break;
    case StatePressed:
      s.G(1, 1, W - 1, H, T(0xF6E4C2), T(0xF6E4C2), true);
      s.G(1, half, W - 2, H - 2, T(0xF0D29A), T(0xF0D29A), true);
      s.R(0, 0, W, H, T(0x5C411D));
      s.L(1, 1, W - 1, 1, T(0xB39C71));
      s.L(1, 2, W - 1, 2, T(0xD6C6A9));
      s.L(1, 3, W - 1, 3, T(0xECD9B9));
      s.L(1, 1, 1, Whole(half - 1), T(0xCFB073));
      s.L(1, Whole(half), 1, Whole(H - half - 1), T(0xC5912B));
      LitEnds(s, S(T(0xE6C891), 0.02f), S(T(0xF6E4C2), -0.01f), S(T(0xDCAB4E), 0.02f),
              S(T(0xF0D29A), -0.01f));
      break;
    default: return s.Result();
  }
  if (b.parentActive) {
    if (s.FocusOrDefault() && b.look == StateNormal) {
      s.R(0, 0, W, H, T(0xA77532));
      s.R(1, 1, W - 2, H - 2, T(0xFBD848));
    }
    if (b.showFocusRect && b.hasFocus) s.Focus(2, 2, W - 2, H - 2);
  }
  s.Corners(T(0xBE965F));
  return s.Result();
}

PaintResult PaintDropShadow(HDC dc, const RECT& client, const ButtonState& b) {
  Steps s(dc, client, b);
  Look state = b.look;
  const int W = s.W, H = s.H;
  const int32_t base = b.enabled ? s.face : S(s.face, 0.1f);
  // A disabled button, checked or not, shows the normal look in its lighter face.
  if (!b.enabled) state = StateNormal;
  switch (state) {
    case StateNormal:
    case StateHot:
      if (state == StateNormal) s.Region();
      s.R(6, 6, W - 9, H - 9, T(0x808080));
      s.R(5, 5, W - 7, H - 7, T(0xA0A0A0));
      s.R(4, 4, W - 5, H - 5, T(0xC0C0C0));
      s.Fill(base, RECT{0, 0, W - 5, H - 5});
      s.R(0, 0, W - 4, H - 4, S(base, 0.3f));
      break;
    case StatePressed:
      s.Fill(base, RECT{3, 3, W, H});
      s.R(3, 3, W - 3, H - 3, S(base, 0.3f));
      break;
    default: return s.Result();
  }
  if (b.parentActive && b.showFocusRect && s.FocusOrDefault()) {
    // Drawn inverting; the mode is put back after the rectangle, so that the
    // lines of a later paint are drawn as they are meant to be.
    const int old = SetROP2(dc, R2_NOT);
    if (state == StatePressed) s.Focus(6, 6, W - 3, H - 3);
    else s.Focus(3, 3, W - 6, H - 6);
    SetROP2(dc, old);
  }
  return s.Result();
}

PaintResult PaintHalfGloss(HDC dc, const RECT& client, const ButtonState& b) {
  Steps s(dc, client, b);
  Look state = b.look;
  const int W = s.W, H = s.H;
  const int32_t face = s.face;
  // A disabled button, checked or not, shows the normal look.
  if (!b.enabled) state = StateNormal;
  switch (state) {
    case StateNormal:
    case StateHot:
      if (state == StateNormal) s.Region();
      s.G(0, 0, W, H / 2.0, T(0xFFFFFF), face, true);
      s.R(0, 0, W, H, S(face, -0.2f));
      s.L(2, H - 1, W - 2, H - 1, S(face, -0.25f));
      break;
    case StatePressed:
      s.G(0, 0, W, H / 2.0, T(0xFFFFFF), S(face, -0.1f), true);
      s.G(0, H / 2.0, W, H, S(face, -0.1f), S(face, -0.05f), true);
      s.R(1, 1, W - 2, H, T(0xFFFFFF));
      s.R(0, 0, W, H, S(face, -0.23f));
      s.Corners(S(face, -0.1f));
      s.L(2, H - 1, W - 2, H - 1, S(face, -0.4f));
      break;
    default: return s.Result();
  }
  s.Corners(S(face, 0.05f));
  if (b.parentActive && b.showFocusRect && s.FocusOrDefault()) {
    const Box& r = b.captionFocusRect;
    s.FocusAt(RECT{r.left, r.top, r.right, r.bottom});
  }
  return s.Result();
}

PaintResult PaintTwoBand(HDC dc, const RECT& client, const ButtonState& b) {
  Steps s(dc, client, b);
  const int W = s.W, H = s.H;
  const int32_t face = s.face;
  const int top = Whole(H / 2.7);
  const double lower = H - H / 2.7;
  auto bands = [&](int32_t u1, int32_t u2, int32_t l1, int32_t l2) {
    s.G(0, 0, W, top, u1, u2, true);
    s.G(0, top, W, lower, l1, l2, true);
  };
  const int32_t frame = S(face, -0.34f);
  if (s.Checked()) {
    bands(T(0xA9D9FF), T(0x6FC0FF), T(0x3FABFF), T(0x75E1FF));
    s.R(0, 0, W, H, frame);
    if (b.mouseInside) bands(T(0x58C1FF), T(0x51AFFF), T(0x468FFF), T(0x5FD3FF));
  } else {
    switch (b.look) {
      case StateNormal:
        s.Fill(face);
        bands(M(S(face, 0.09f), T(0xFFFFFF)), M(S(face, 0.07f), face), face, S(face, 0.03f));
        break;
      case StateHot: bands(T(0xE1FFFF), T(0xACEAFF), T(0x67D7FF), T(0x99E4FF)); break;
      case StatePressed: bands(T(0x58C1FF), T(0x51AFFF), T(0x468FFF), T(0x5FD3FF)); break;
      default: return s.Result();
    }
  }
  s.R(0, 0, W, H, frame);
  return s.Result();
}

PaintResult PaintFramedHover(HDC dc, const RECT& client, const ButtonState& b) {
  Steps s(dc, client, b);
  const int W = s.W, H = s.H;
  const int32_t face = s.face;
  if (!b.enabled) {
    s.Fill(face);
    s.Corners(face);
    return s.Result();
  }
  switch (b.look) {
    case StateNormal:
      s.Region();
      s.Fill(face);
      break;
    case StateHot:
      s.G(1, 1, W - 2, H - 2, T(0xFDF9F1), T(0xF8ECD0), true);
      s.G(1, H / 1.7, W - 2, H - 2, T(0xF8ECD0), T(0xF8ECD0), true);
      s.R(0, 0, W, H, T(0xCA9E61));
      s.R(1, 1, W - 2, H - 2, T(0xFFFFFF));
      s.Corners(S(T(0xCA9E61), 0.3f));
      break;
    case StatePressed:
      s.G(1, 1, W - 2, H - 2, T(0xF1DEB0), T(0xF9F1DB), true);
      s.R(0, 0, W, H, T(0xCA9E61));
      s.R(1, 1, W - 2, H - 2, T(0xFFFFFF));
      s.Corners(S(T(0xCA9E61), 0.3f));
      break;
    default: break;
  }
  return s.Result();
}

PaintResult PaintSolidHover(HDC dc, const RECT& client, const ButtonState& b) {
  Steps s(dc, client, b);
  const int W = s.W, H = s.H;
  const int32_t face = s.face;
  const int32_t n = M(S(face, 0.26f), T(0xFFFFFF));
  if (!b.enabled) s.G(0, 0, W, H, n, face, true);
  if (s.Checked()) {
    s.Fill(T(0xE8E6E1));
    s.R(0, 0, W, H, S(T(0x6F4B4B), 0.05f));
    if (b.look == StateHot) {
      s.Fill(T(0xE2B598));
      s.R(0, 0, W, H, T(0xC56A31));
    }
    return s.Result();
  }
  switch (b.look) {
    case StateNormal: s.G(0, 0, W, H, n, face, true); break;
    case StateHot:
      s.Fill(T(0xEED2C1));
      s.R(0, 0, W, H, T(0xC56A31));
      break;
    case StatePressed:
      s.Fill(T(0xE2B598));
      s.R(0, 0, W, H, T(0x6F4B4B));
      break;
    default: break;
  }
  return s.Result();
}

PaintResult PaintTopBand(HDC dc, const RECT& client, const ButtonState& b) {
  Steps s(dc, client, b);
  const int W = s.W, H = s.H;
  const int32_t face = s.face;
  const int32_t white = T(0xFFFFFF);
  switch (b.look) {
    case StateNormal:
      s.Region();
      s.Fill(face);
      s.G(0, 0, W, 5, S(M(face, white), 0.1f), face, true);
      s.G(0, 6, W, H - 1, S(face, -0.05f), M(white, S(face, 0.1f)), true);
      s.R(0, 0, W, H, S(face, -0.33f));
      break;
    case StateHot: {
      const int32_t lit = S(face, 0.05f);
      s.Fill(lit);
      s.G(0, 0, W, 5, S(M(lit, white), 0.15f), lit, true);
      s.G(0, 6, W, H - 1, face, M(white, S(face, 0.15f)), true);
      s.R(0, 0, W, H, S(face, -0.28f));
      break;
    }
    case StatePressed:
      s.Fill(S(face, -0.03f));
      s.G(0, 0, W, 5, S(M(face, white), 0.1f), face, true);
      s.G(0, 6, W, H - 1, S(face, -0.08f), M(white, S(face, 0.07f)), true);
      s.R(0, 0, W, H, S(face, -0.36f));
      break;
    default: return s.Result();
  }
  s.Corners(S(face, -0.5f));
  return s.Result();
}

PaintResult PaintHalfShade(HDC dc, const RECT& client, const ButtonState& b) {
  Steps s(dc, client, b);
  const int W = s.W, H = s.H;
  const int32_t face = s.face;
  if (s.Checked()) {
    if (b.mouseInside) s.G(0, 0, W, H, T(0x4E91FE), T(0x8ED3FF), true);
    else s.G(0, 0, W, H, T(0x8CD5FF), T(0x55ADFF), true);
    s.R(0, 0, W, H, T(0x800000));
    return s.Result();
  }
  switch (b.look) {
    case StateNormal:
      s.Region();
      s.G(0, 0, W, H / 2.0, S(face, 0.05f), face, true);
      s.G(0, H / 2.0, W, H / 2.0 + 1, S(face, -0.01f), S(face, -0.13f), true);
      break;
    case StateHot:
      s.G(0, 0, W, H, T(0xCCF4FF), T(0x91D0FF), true);
      s.R(0, 0, W, H, T(0x800000));
      break;
    case StatePressed:
      s.G(0, 0, W, H, T(0x4E91FE), T(0x8ED3FF), true);
      s.R(0, 0, W, H, T(0x800000));
      break;
    default: break;
  }
  return s.Result();
}

PaintResult PaintSideGradient(HDC dc, const RECT& client, const ButtonState& b) {
  Steps s(dc, client, b);
  const int W = s.W, H = s.H;
  const int32_t face = s.face;
  switch (b.look) {
    case StateNormal:
      s.Region();
      s.G(0, 0, W, H, face, S(face, 0.08f), false);
      break;
    case StateHot: s.G(0, 0, W, H, face, S(face, 0.08f), false); break;
    case StatePressed: s.G(0, 0, W, H, S(face, -0.05f), S(face, 0.03f), false); break;
    default: return s.Result();
  }
  s.R(0, 0, W, H, T(0x7D807E));
  if (s.FocusOrDefault() && b.showFocusRect && b.userMode && b.parentActive) {
    s.Focus(3, 3, W - 3, H - 3);
  }
  return s.Result();
}

PaintResult PaintPixelMapped(HDC dc, const RECT& client, const ButtonState& b) {
  Steps s(dc, client, b);
  Look state = b.look;
  const int W = s.W, H = s.H;
  if (s.Checked()) state = StatePressed;
  if (b.parentActive && s.FocusOrDefault()) state = state == StatePressed ? StatePressed : StateHot;
  if (state < StateNormal || state > StatePressed) return s.Result();
  if (state == StateNormal) s.Region();
  const PixelArt& art = kPixelArt[static_cast<size_t>(state)];
  // The artwork is drawn as it is: its colours are not translated.
  const auto c = [](uint32_t colour) { return static_cast<int32_t>(colour); };
  s.Fill(c(art.centre), RECT{4, 4, W - 4, H - 4});
  for (int map = CornerTopLeft; map <= CornerBottomRight; ++map) {
    const bool right = map == CornerTopRight || map == CornerBottomRight;
    const bool bottom = map == CornerBottomLeft || map == CornerBottomRight;
    for (const ArtPixel& p : art.corners[static_cast<size_t>(map)]) {
      s.Pixel(right ? W - 17 + p.x : p.x, bottom ? H - p.y : p.y, p.colour);
    }
  }
  // On a button at most 21 high (34 wide) the edge lines have no length. A line
  // whose end lies before its start would be drawn backwards over the corner maps.
  if (H - 10 > 11) {
    for (int x = 0; x <= 17; ++x) s.L(x, 11, x, H - 10, c(art.left[static_cast<size_t>(x)]));
    for (int i = 0; i < 17; ++i) s.L(W - 17 + i, 11, W - 17 + i, H - 10, c(art.right[static_cast<size_t>(i)]));
  }
  if (W - 17 > 17) {
    for (int y = 0; y <= 11; ++y) s.L(17, y, W - 17, y, c(art.top[static_cast<size_t>(y)]));
    for (int i = 0; i < 12; ++i) s.L(17, H - 11 + i, W - 17, H - 11 + i, c(art.bottom[static_cast<size_t>(i)]));
  }
  return s.Result();
}

}  // namespace fw::skbtn
