#include "controls/skbutton/SkbuttonModel.h"

#include <algorithm>
#include <cmath>

#include "host/Numeric.h"

namespace fw::skbtn {

namespace {

// Halves to even, as every whole-number conversion of the button.
int32_t RoundEven(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

}  // namespace

int32_t RegionCorner(int32_t style) {
  switch (style) {
    case StyleSoftGradient:
    case StyleLitEnds:
    case StyleHalfGloss:
    case StyleFramedHover: return 3;
    case StyleLightHover:
    case StyleTopBand: return 4;
    case StylePixelMapped: return 18;
    default: return 0;
  }
}

int32_t ChannelRed(int32_t c) { return static_cast<int32_t>(static_cast<uint32_t>(c) & 0xFFu); }
int32_t ChannelGreen(int32_t c) {
  return static_cast<int32_t>((static_cast<uint32_t>(c) >> 8) & 0xFFu);
}
int32_t ChannelBlue(int32_t c) {
  return static_cast<int32_t>((static_cast<uint32_t>(c) >> 16) & 0xFFu);
}
int32_t RgbValue(int32_t red, int32_t green, int32_t blue) {
  return static_cast<int32_t>((static_cast<uint32_t>(blue & 0xFF) << 16) |
                              (static_cast<uint32_t>(green & 0xFF) << 8) |
                              static_cast<uint32_t>(red & 0xFF));
}

int32_t ShiftColor(int32_t colour, float f) {
  // The step is a single-precision product: 0.3 x 255 is then exactly 76.5, and
  // the half goes to even like every other rounding.
  const float step = f * 255.0f;
  auto shift = [&](int32_t channel) {
    int32_t v = RoundEven(static_cast<double>(channel) + static_cast<double>(step));
    if (f > 0) v = std::min(v, 255);
    else v = std::max(v, 0);
    return v;
  };
  return RgbValue(shift(ChannelRed(colour)), shift(ChannelGreen(colour)),
                  shift(ChannelBlue(colour)));
}

int32_t MixColors(int32_t a, int32_t b) {
  auto mix = [](int32_t x, int32_t y) { return RoundEven((x + y) / 2.0); };
  return RgbValue(mix(ChannelRed(a), ChannelRed(b)), mix(ChannelGreen(a), ChannelGreen(b)),
                  mix(ChannelBlue(a), ChannelBlue(b)));
}

StyleColours DefaultColours(int32_t style) {
  switch (style) {
    case StyleStandard:
    case StyleFlat: return {kButtonFace, kButtonText, true};
    case StyleSoftGradient: return {Colour(0xE7EBECu), kButtonText, false};
    case StyleLightHover: return {kButtonFace, kButtonText, false};
    case StyleLitEnds:
      return {Colour(static_cast<uint32_t>(ShiftColor(0xD4D4D4, 0.06f))), kButtonText, false};
    case StyleDropShadow: return {Colour(0xAA6D00u), Colour(0xFFFFFFu), true};
    case StyleHalfGloss: return {Colour(0xE1D6D5u), kButtonText, true};
    case StyleTwoBand: return {Colour(0xFFD1ADu), kButtonText, false};
    case StyleFramedHover:
    case StyleSolidHover: return {kButtonFace, kButtonText, false};
    case StyleTopBand: return {Colour(0xFFD1ADu), kButtonText, false};
    case StyleHoverEdge:
    case StyleHoverThin: return {kButtonFace, kButtonText, false};
    case StyleHalfShade: return {Colour(0xFCE1CAu), kButtonText, false};
    case StylePixelMapped: return {Colour(0xD0D0D0u), kButtonText, false};
    case StyleSideGradient: return {Colour(0xE6CAA7u), kButtonText, true};
    default: return {std::nullopt, kButtonText, false};
  }
}

std::optional<size_t> AccessKeyIndex(std::u16string_view caption) {
  if (caption.size() <= 1) return std::nullopt;
  const size_t p = caption.find(u'&');
  if (p == std::u16string_view::npos || p + 1 >= caption.size()) return std::nullopt;
  if (caption[p + 1] != u'&') return p + 1;
  // A doubled ampersand is a literal one; a later single one may still mark the key.
  const size_t q = caption.find(u'&', p + 2);
  if (q == std::u16string_view::npos || q + 1 >= caption.size()) return std::nullopt;
  if (caption[q + 1] == u'&') return std::nullopt;
  return q + 1;
}

std::vector<int32_t> GradientTable(int32_t c1, int32_t c2, int32_t n) {
  const int32_t r1 = ChannelRed(c1), g1 = ChannelGreen(c1), b1 = ChannelBlue(c1);
  const int32_t r2 = ChannelRed(c2), g2 = ChannelGreen(c2), b2 = ChannelBlue(c2);
  if (n <= 0) return {RgbValue(r1 / 2 + r2 / 2, g1 / 2 + g2 / 2, b1 / 2 + b2 / 2)};
  std::vector<int32_t> table(static_cast<size_t>(n) + 1);
  for (int32_t i = 0; i <= n; ++i) {
    // Products of two channel differences and an index stay far inside 32 bits
    // for any size a window can have; 64 bits keeps that true for any n.
    auto at = [&](int32_t a, int32_t b) {
      return static_cast<int32_t>(a + static_cast<int64_t>(b - a) * i / n);
    };
    table[static_cast<size_t>(i)] = RgbValue(at(r1, r2), at(g1, g2), at(b1, b2));
  }
  return table;
}

std::vector<int32_t> GradientPixels(int32_t w, int32_t h, int32_t c1, int32_t c2,
                                    int32_t direction) {
  if (w <= 0 || h <= 0) return {};
  int32_t n = 0;
  switch (direction) {
    case GradientHorizontal: n = w - 1; break;
    case GradientVertical: n = h - 1; break;
    default: n = w + h - 2; break;
  }
  const std::vector<int32_t> table = GradientTable(c1, c2, n);
  auto entry = [&](int64_t i) {
    return table[static_cast<size_t>(std::clamp<int64_t>(i, 0, static_cast<int64_t>(table.size()) - 1))];
  };
  std::vector<int32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      int64_t i = 0;
      switch (direction) {
        case GradientHorizontal: i = x; break;
        case GradientVertical: i = y; break;
        case GradientDiagonalDown: i = static_cast<int64_t>(y) + x; break;
        default: i = static_cast<int64_t>(h - 1 - y) + x; break;
      }
      pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = entry(i);
    }
  }
  return pixels;
}

namespace {

// A 96-dpi pixel quantity of the layout at the button's dpi.
struct Px {
  int32_t dpi;
  int32_t operator()(int32_t pixels) const { return ScaleToDpi(pixels, dpi); }
};

// The picture's drawn size by PictureSize; 0 x 0 for a value outside the set.
void SizePicture(const LayoutInput& in, Layout& o) {
  const Px P{in.dpi};
  switch (in.pictureSize) {
    case PictureOwnSize:
      o.pw = in.hasPicture ? in.ownWidth : 0;
      o.ph = in.hasPicture ? in.ownHeight : 0;
      break;
    case Picture16: o.pw = o.ph = P(16); break;
    case Picture24: o.pw = o.ph = P(24); break;
    case Picture32: o.pw = o.ph = P(32); break;
    default: break;
  }
}

// Picture and caption places by PictureAlign. Integer halves truncate toward
// zero, as C++ division does.
void PlaceByPictureAlign(const LayoutInput& in, Layout& o) {
  const Px P{in.dpi};
  const int32_t W = in.width, H = in.height, tw = in.textWidth, th = in.textHeight;
  const int32_t pw = o.pw, ph = o.ph;
  switch (in.pictureAlign) {
    case PictureLeftEdge:
      o.px = P(4);
      o.py = (H - ph) / 2;
      o.tx = std::max(W / 2 - tw / 2 + pw / 2, pw + P(8));
      o.ty = H / 2 - th / 2;
      break;
    case PictureLeftOfCaption:
      o.px = std::max((W - pw - tw) / 2, P(4));
      o.py = (H - ph) / 2;
      o.tx = std::max(W / 2 - tw / 2 + pw / 2 + P(3), pw + P(8));
      o.ty = H / 2 - th / 2;
      break;
    case PictureRightEdge:
      o.px = W - pw - P(4);
      o.py = (H - ph) / 2;
      o.tx = W - tw - pw - P(4);
      o.ty = H / 2 - th / 2;
      break;
    case PictureRightOfCaption:
      o.px = std::min((W - pw + tw) / 2, W - pw - P(4));
      o.py = (H - ph) / 2;
      o.tx = W / 2 - tw / 2 - pw / 2 - P(3);
      if (o.tx < 0) o.tx = W - tw - pw - P(4);
      o.ty = H / 2 - th / 2;
      break;
    case PictureBehindCaption:
      o.px = (W - pw) / 2;
      o.py = (H - ph) / 2;
      o.tx = W / 2 - tw / 2;
      o.ty = H / 2 - th / 2;
      break;
    case PictureTopEdge:
    case PictureAboveCaption:
      o.px = (W - pw) / 2;
      o.py = in.pictureAlign == PictureTopEdge ? P(4) : std::max((H - ph - th) / 2, P(4));
      o.tx = W / 2 - tw / 2;
      o.ty = ph / 2 + H / 2 - th / 2 + P(2);
      break;
    case PictureBottomEdge:
    case PictureBelowCaption:
      o.px = (W - pw) / 2;
      o.py = in.pictureAlign == PictureBottomEdge ? H - ph - P(4)
                                                  : std::min((H - ph + th) / 2, H - ph - P(4));
      o.tx = W / 2 - tw / 2;
      o.ty = H / 2 - ph / 2 - th / 2 - P(2);
      break;
    default: break;
  }
}

// The caption's x by CaptionAlign, which beside a picture may move the picture too.
void AlignCaption(const LayoutInput& in, Layout& o) {
  const Px P{in.dpi};
  const int32_t W = in.width, H = in.height, tw = in.textWidth, th = in.textHeight;
  const int32_t pw = o.pw;
  if (!in.hasPicture) {
    switch (in.captionAlign) {
      case CaptionLeft: o.tx = P(4); break;
      case CaptionCentre: o.tx = W / 2 - tw / 2; break;
      case CaptionRight: o.tx = W - tw - P(4); break;
      default: break;
    }
    o.px = o.py = 0;
    o.ty = H / 2 - th / 2;
    return;
  }
  // Behind, above or below the caption: the picture takes no room beside it.
  const bool acrossCaption =
      in.pictureAlign >= PictureBehindCaption && in.pictureAlign <= PictureBelowCaption;
  switch (in.captionAlign) {
    case CaptionLeft:
      switch (in.pictureAlign) {
        case PictureLeftEdge: o.tx = pw + P(8); break;
        case PictureLeftOfCaption: o.tx = pw + P(8); o.px = P(4); break;
        case PictureRightEdge: o.tx = o.tx > P(3) ? P(4) : W - tw - pw - P(4); break;
        case PictureRightOfCaption: o.px = tw + P(4); o.tx = P(4); break;
        default: if (acrossCaption) o.tx = P(4); break;
      }
      break;
    case CaptionCentre:
      // Centred only while the right-aligned place was on the button.
      if (in.pictureAlign == PictureRightEdge) o.tx = o.tx < 0 ? W - tw - pw - P(4) : W / 2 - tw / 2;
      break;
    case CaptionRight:
      switch (in.pictureAlign) {
        case PictureLeftEdge: o.tx = std::max(W - tw - P(4), pw + P(4)); break;
        case PictureLeftOfCaption: o.tx = W - tw - P(4); o.px = o.tx - pw - P(4); break;
        case PictureRightEdge: o.tx = W - tw - pw - P(4); break;
        case PictureRightOfCaption: o.px = W - pw - P(4); o.tx = W - tw - pw - P(4); break;
        default: if (acrossCaption) o.tx = W - tw - P(4); break;
      }
      break;
    default: break;
  }
}

}  // namespace

Layout LayoutCaptionAndPicture(const LayoutInput& in) {
  const Px P{in.dpi};
  Layout o;
  SizePicture(in, o);
  PlaceByPictureAlign(in, o);
  o.px = std::max(o.px, P(1));
  o.py = std::max(o.py, P(1));
  if (in.width < o.pw + o.px) o.pw = in.width - P(8);
  if (in.height < o.py + o.ph) o.ph = in.height - P(4);
  AlignCaption(in, o);
  // The underline of an access key needs room before the text.
  if (in.hasAccessKey) o.tx += P(3);
  return o;
}

CaptionPlacement PlaceCaption(int32_t style, int32_t state, int32_t tx, int32_t ty, int32_t tw,
                              int32_t th, int32_t dpi) {
  const Px P{dpi};
  CaptionPlacement c;
  const bool pressed = state == StatePressed;
  if (style == StylePixelMapped) {
    c.caption = {tx, ty - P(1), tx + tw, ty + th - P(1)};
  } else if (style == StyleDropShadow) {
    if (pressed) {
      c.pictureDx = c.pictureDy = P(2);
      c.caption = {tx + P(1), ty + P(2), tx + tw + P(1), ty + th + P(1)};
    } else {
      c.pictureDx = c.pictureDy = -P(1);
      c.caption = {tx - P(2), ty - P(2), tx + tw - P(2), ty + th - P(2)};
    }
  } else if (pressed) {
    if (style == StyleStandard || style == StyleFlat || style == StyleLightHover ||
        style == StyleFramedHover) {
      c.pictureDx = c.pictureDy = P(1);
      c.caption = {tx + P(1), ty + P(1), tx + tw + P(1), ty + th + P(1)};
    } else {
      c.caption = {tx, ty, tx + tw, ty + th};
    }
  } else {
    c.caption = {tx, ty, tx + tw, ty + th};
    if (style >= 0 && style < kStyleCount) c.focus = Box{tx - P(2), ty, tx + tw + P(1), ty + th + P(1)};
  }
  return c;
}

void GrayRun(std::vector<uint8_t>& bytes) {
  // Every whole group, the last one included.
  for (size_t i = 0; i + 3 <= bytes.size(); i += 3) {
    const uint8_t mean = static_cast<uint8_t>((bytes[i] + bytes[i + 1] + bytes[i + 2]) / 3);
    bytes[i] = bytes[i + 1] = bytes[i + 2] = mean;
  }
}

}  // namespace fw::skbtn
