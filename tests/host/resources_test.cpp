// Colours through the platform's translation, the shared font object, pictures
// (sizes, stretching, transparency by a mask colour) and the drawing surface.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "host/ColourWin.h"
#include "host/Font.h"
#include "host/Gdi.h"
#include "host/Picture.h"
#include "host/Surface.h"

namespace fw {
namespace {

// -- Colours

TEST(TranslateColorWin, SystemColoursAreTheirCurrentValue) {
  for (uint32_t index = 0; index <= COLOR_MENUBAR; ++index) {
    const uint32_t expected = GetSysColor(static_cast<int>(index));
    EXPECT_EQ(TranslateColor(SystemColour(index)), static_cast<int32_t>(expected)) << "index " << index;
    // The portable rule over the platform's table agrees.
    EXPECT_EQ(TranslateColor(SystemColour(index), Win32SystemColours()), static_cast<int32_t>(expected));
  }
}

TEST(TranslateColorWin, PlainColoursPassAndOthersGiveMinusOne) {
  EXPECT_EQ(TranslateColor(Colour(0x00C0E0FFu)), 0x00C0E0FF);
  EXPECT_EQ(TranslateColor(Colour(0u)), 0);
  EXPECT_EQ(TranslateColor(Colour(0x800000FFu)), -1) << "beyond the system table";
  EXPECT_EQ(TranslateColor(Colour(0x80000040u)), -1);
  EXPECT_EQ(TranslateColor(Colour(0x12000000u)), -1) << "not a colour encoding";
  EXPECT_EQ(ToColorRef(Colour(0x800000FFu), RGB(1, 2, 3)), RGB(1, 2, 3));
}

// -- Fonts

TEST(FontObject, HeightIsSizeAtTheDpiRoundedHalfToEven) {
  struct Case {
    double points;
    int dpi;
    LONG height;
  };
  const Case kCases[] = {
      {9, 96, -12},     {8.25, 96, -11}, {10.5, 96, -14}, {12, 120, -20},
      {9.375, 96, -12},   // 12.5 -> 12 (even)
      {10.125, 96, -14},  // 13.5 -> 14 (even)
      {7.5, 96, -10},
  };
  for (const Case& c : kCases) {
    auto font = Font::Create(u"Tahoma", c.points);
    EXPECT_EQ(font->ToLogFont(c.dpi).lfHeight, c.height) << c.points << " pt at " << c.dpi;
  }
}

TEST(FontObject, LogFontCarriesEverySetting) {
  FontValue v;
  v.face = u"宋体";
  v.size = 9;
  v.bold = true;
  v.weight = 700;
  v.italic = true;
  v.underline = true;
  v.strikethrough = true;
  v.charset = 134;
  const LOGFONTW lf = Font::Create(v)->ToLogFont(96);
  EXPECT_STREQ(lf.lfFaceName, L"宋体");
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_TRUE(lf.lfItalic && lf.lfUnderline && lf.lfStrikeOut);
  EXPECT_EQ(lf.lfCharSet, 134);
  // Bold and weight disagreeing: bold decides.
  v.weight = 400;
  EXPECT_EQ(Font::Create(v)->ToLogFont(96).lfWeight, FW_BOLD);
}

TEST(FontObject, SubscribersHearEachRealChangeUntilTheyLeave) {
  auto font = Font::Create(u"Verdana", 9);
  int heard = 0;
  FontSubscription sub = font->Subscribe([&] { ++heard; });
  font->SetSize(10);
  font->SetSize(10);  // no change, no notice
  font->SetBold(true);
  font->SetName(u"Verdana");
  EXPECT_EQ(heard, 2);
  // A listener removing itself while being told does no harm to the others.
  int other = 0;
  FontSubscription second;
  second = font->Subscribe([&] {
    ++other;
    second.reset();
  });
  font->SetItalic(true);
  font->SetItalic(false);
  EXPECT_EQ(other, 1);
  sub.reset();
  font->SetSize(11);
  EXPECT_EQ(heard, 4);
}

TEST(FontObject, AListenerRemovedByAnEarlierOneIsNotCalled) {
  // Two controls sharing a font: the first one's notice may end the second (its
  // owner destroyed), whose listener then must not run on a dead object.
  auto font = Font::Create(u"Verdana", 9);
  int secondHeard = 0;
  FontSubscription second;
  FontSubscription first = font->Subscribe([&] { second.reset(); });
  second = font->Subscribe([&] { ++secondHeard; });
  font->SetSize(10);
  EXPECT_EQ(secondHeard, 0);
  // One added while the others are told hears the next change, not this one.
  int lateHeard = 0;
  FontSubscription late;
  bool added = false;
  FontSubscription adder = font->Subscribe([&] {
    if (added) return;
    added = true;
    late = font->Subscribe([&] { ++lateHeard; });
  });
  font->SetSize(11);
  EXPECT_EQ(lateHeard, 0);
  font->SetSize(12);
  EXPECT_EQ(lateHeard, 1);
}

TEST(FontObject, HandlesAreCountedAndReleased) {
  const int before = LiveHandles(HandleKind::Font);
  {
    unique_hfont a = Font::Create(u"Tahoma", 9)->CreateHandle(96);
    unique_hfont b = Font::Create(u"Tahoma", 12)->CreateHandle(96);
    EXPECT_EQ(LiveHandles(HandleKind::Font), before + 2);
    a = std::move(b);
    EXPECT_EQ(LiveHandles(HandleKind::Font), before + 1);
  }
  EXPECT_EQ(LiveHandles(HandleKind::Font), before);
}

// -- Pictures

// A 4 x 2 picture: top row red, green, mask, mask; bottom row blue, white, mask, black.
constexpr COLORREF kMask = RGB(255, 0, 255);
std::shared_ptr<Picture> SmallPicture() {
  Surface s;
  s.Resize(4, 2, kMask);
  const COLORREF px[2][4] = {{RGB(255, 0, 0), RGB(0, 255, 0), kMask, kMask},
                             {RGB(0, 0, 255), RGB(255, 255, 255), kMask, RGB(0, 0, 0)}};
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  unique_hbitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  auto* p = static_cast<uint32_t*>(bits);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      const COLORREF c = px[y][x];
      p[y * 4 + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  }
  return Picture::FromBitmap(std::move(bmp));
}

TEST(PictureObject, SizesInPixelsAndHiMetric) {
  auto pic = SmallPicture();
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->GetType(), Picture::Type::Bitmap);
  EXPECT_EQ(pic->PixelWidth(), 4);
  EXPECT_EQ(pic->PixelHeight(), 2);
  EXPECT_EQ(pic->HiMetricWidth(), 106);  // 4 * 2540 / 96 = 105.83
  EXPECT_EQ(pic->HiMetricHeight(), 53);  // 52.92
  EXPECT_DOUBLE_EQ(HiMetricToPixels(pic->HiMetricWidth(), 96), 106 * 96 / 2540.0);
}

TEST(PictureObject, StretchedDrawDoublesEachPixel) {
  auto pic = SmallPicture();
  Surface s;
  ASSERT_TRUE(s.Resize(10, 6, RGB(9, 9, 9)));
  pic->Render(s.Dc(), 1, 1, 8, 4);
  EXPECT_EQ(s.Pixel(0, 0), RGB(9, 9, 9)) << "outside the target";
  EXPECT_EQ(s.Pixel(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(s.Pixel(2, 2), RGB(255, 0, 0));
  EXPECT_EQ(s.Pixel(3, 1), RGB(0, 255, 0));
  EXPECT_EQ(s.Pixel(8, 4), RGB(0, 0, 0));
  EXPECT_EQ(s.Pixel(9, 5), RGB(9, 9, 9));
}

TEST(PictureObject, MaskColourLeavesTheBackgroundVisible) {
  auto pic = SmallPicture();
  for (bool viaCapability : {false, true}) {
    Surface s;
    ASSERT_TRUE(s.Resize(6, 4, RGB(10, 20, 30)));
    if (viaCapability) pic->RenderTransparent(s.Dc(), 1, 1, 4, 2, kMask);
    else pic->RenderMasked(s.Dc(), 1, 1, 4, 2, kMask);
    const COLORREF want[2][4] = {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(10, 20, 30), RGB(10, 20, 30)},
                                 {RGB(0, 0, 255), RGB(255, 255, 255), RGB(10, 20, 30), RGB(0, 0, 0)}};
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(s.Pixel(1 + x, 1 + y), want[y][x])
            << (viaCapability ? "transparent draw" : "mask path") << " at " << x << "," << y;
      }
    }
    EXPECT_EQ(s.Pixel(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(s.Pixel(5, 3), RGB(10, 20, 30));
  }
}

TEST(PictureObject, ImageFileBytesThroughTheCodec) {
  // A 2 x 1 24-bit BMP file: blue-green-red byte order, rows padded to 4 bytes.
  const unsigned char kBmp[] = {
      'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,           // file header
      40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0,           // info header
      0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0x30, 0x20, 0x10, 0xFF, 0xFF, 0xFF, 0, 0};                  // (16,32,48), white
  auto pic = Picture::FromBytes(kBmp, sizeof kBmp);
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->PixelWidth(), 2);
  EXPECT_EQ(pic->PixelHeight(), 1);
  Surface s;
  ASSERT_TRUE(s.Resize(2, 1, RGB(0, 0, 0)));
  pic->Render(s.Dc(), 0, 0);
  EXPECT_EQ(s.Pixel(0, 0), RGB(0x10, 0x20, 0x30));
  EXPECT_EQ(s.Pixel(1, 0), RGB(255, 255, 255));
  EXPECT_EQ(Picture::FromBytes("not an image", 12), nullptr);
}

TEST(PictureObject, IconsKeepTheirTypeAndMakeCursors) {
  std::vector<BYTE> andBits(32 * 32 / 8, 0x00), xorBits(32 * 32 / 8, 0xFF);
  unique_hicon icon(CreateIcon(GetModuleHandleW(nullptr), 32, 32, 1, 1, andBits.data(), xorBits.data()));
  auto pic = Picture::FromIcon(std::move(icon));
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->GetType(), Picture::Type::Icon);
  EXPECT_EQ(pic->PixelWidth(), 32);
  EXPECT_EQ(pic->PixelHeight(), 32);
  EXPECT_TRUE(pic->MakeCursor());
  EXPECT_FALSE(SmallPicture()->MakeCursor()) << "a bitmap makes no cursor";
  EXPECT_EQ(Picture::FromResource(u"NO_SUCH_PICTURE"), nullptr);
  EXPECT_EQ(Picture::FromFile(u"C:\\no\\such\\file.bmp"), nullptr);
}

// -- Pictures at a display scale

constexpr COLORREF kGround = RGB(10, 20, 30);

TEST(PictureAtScale, DrawnFromTheNearestVariantNotSmallerThanNeeded) {
  // SCALED is 4 x 4 red; SCALED_150 6 x 6 green; SCALED_200 8 x 8 blue.
  auto pic = Picture::FromResource(u"SCALED");
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->PixelWidth(), 4) << "its own size is the 96-dpi one";
  struct Case {
    int dpi;
    int size;
    COLORREF colour;
  };
  const Case kCases[] = {
      {96, 4, RGB(255, 0, 0)},
      {96, 6, RGB(255, 0, 0)},   // 96 dpi draws as it always has: itself, stretched
      {120, 5, RGB(0, 255, 0)},  // 6 scaled down, never 4 scaled up
      {144, 6, RGB(0, 255, 0)},
      {168, 7, RGB(0, 0, 255)},
      {192, 8, RGB(0, 0, 255)},
      {240, 10, RGB(0, 0, 255)},  // larger than all: the largest, scaled up
  };
  for (const Case& c : kCases) {
    Surface s;
    ASSERT_TRUE(s.Resize(c.size + 2, c.size + 2, kGround));
    pic->Draw(s.Dc(), RECT{1, 1, 1 + c.size, 1 + c.size}, c.dpi);
    for (int y = 0; y < c.size + 2; ++y) {
      for (int x = 0; x < c.size + 2; ++x) {
        const bool inside = x >= 1 && y >= 1 && x <= c.size && y <= c.size;
        ASSERT_EQ(s.Pixel(x, y), inside ? c.colour : kGround)
            << c.size << " at " << c.dpi << " dpi, pixel " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(pic->SizeAt(144).cx, 6);
  EXPECT_EQ(pic->SizeAt(120).cy, 5);
}

TEST(PictureAtScale, AnIconIsDrawnFromItsNearestFrame) {
  // The program's icon: frames 16, 24, 32, 36, 48, 64, 72 and 96.
  auto pic = Picture::FromResource(u"MANYFRAMES");
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->PixelWidth(), 32) << "an icon resource is its 32-pixel frame";
  const int kCases[][2] = {{16, 16}, {20, 24}, {24, 24}, {30, 32}, {40, 48}, {48, 48}, {60, 64}, {100, 96}};
  for (const auto& c : kCases) EXPECT_EQ(pic->SourceSizeFor(c[0], c[0]).cx, c[1]) << "for " << c[0];
  // A frame of the program's icon has alpha: drawn at 120 dpi, its corner stays
  // the ground, its middle is the icon's.
  Surface s;
  ASSERT_TRUE(s.Resize(20, 20, kGround));
  pic->Draw(s.Dc(), RECT{0, 0, 20, 20}, 120);
  EXPECT_EQ(s.Pixel(0, 0), kGround);
  EXPECT_NE(s.Pixel(10, 10), kGround);
}

TEST(PictureAtScale, At96DpiEveryDrawIsTheOldOne) {
  auto pic = SmallPicture();
  struct Case {
    int w, h;
    bool masked;
  };
  const Case kCases[] = {{4, 2, false}, {8, 4, false}, {3, 1, false}, {4, 2, true}, {8, 4, true}, {3, 1, true}};
  for (const Case& c : kCases) {
    Surface before, after;
    ASSERT_TRUE(before.Resize(10, 6, kGround));
    ASSERT_TRUE(after.Resize(10, 6, kGround));
    if (c.masked) {
      pic->RenderTransparent(before.Dc(), 1, 1, c.w, c.h, kMask);
      pic->DrawTransparent(after.Dc(), RECT{1, 1, 1 + c.w, 1 + c.h}, 96, kMask);
    } else {
      pic->Render(before.Dc(), 1, 1, c.w, c.h);
      pic->Draw(after.Dc(), RECT{1, 1, 1 + c.w, 1 + c.h}, 96);
    }
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 10; ++x) {
        ASSERT_EQ(after.Pixel(x, y), before.Pixel(x, y)) << c.w << " x " << c.h << (c.masked ? " masked" : "");
      }
    }
  }
}

TEST(PictureAtScale, APictureWithNoLargerSourceIsEnlargedInSharpBlocks) {
  // Black beside white, then a white row (a fetched chart has no variants and
  // holds pixel text). Each pixel is repeated to the next whole multiple of the
  // scale and that is averaged down by area: at 192 and 288 dpi sharp blocks;
  // at 144 (x2, then 4 to 3 on each axis: (0 * 2 + 255 * 2) / 4 = 127.5 -> 128)
  // only where blocks meet is a pixel mixed. A linear enlargement at 192 gave
  // 0, 64, 191, 255 across the first row: grey at every edge.
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  unique_hbitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  ASSERT_TRUE(bmp);
  const uint32_t src[] = {0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
  std::copy(std::begin(src), std::end(src), static_cast<uint32_t*>(bits));
  auto pic = Picture::FromBitmap(std::move(bmp));
  struct Case {
    int dpi, w, h;
    std::vector<int> grey;  // row by row
  };
  const Case kCases[] = {
      {192, 4, 4, {0, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255}},
      // 3 x 3: across 0 0 255 255 -> 0, 128, 255; down the same for the first column.
      {144, 3, 3, {0, 128, 255, 128, 191, 255, 255, 255, 255}},
      // 6 x 6 (x3): pure repetition.
      {288, 6, 6, {0,   0,   0,   255, 255, 255, 0,   0,   0,   255, 255, 255, 0,   0,   0,   255, 255, 255,
                   255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255}},
  };
  for (const Case& c : kCases) {
    Surface s;
    ASSERT_TRUE(s.Resize(c.w, c.h, kGround));
    pic->Draw(s.Dc(), RECT{0, 0, c.w, c.h}, c.dpi);
    for (int y = 0; y < c.h; ++y) {
      for (int x = 0; x < c.w; ++x) {
        const int g = c.grey[static_cast<size_t>(y * c.w + x)];
        EXPECT_EQ(s.Pixel(x, y), RGB(g, g, g)) << x << "," << y << " at " << c.dpi;
      }
    }
  }
}

TEST(PictureAtScale, MaskedPixelsAreClearBeforeScaling) {
  // SmallPicture doubled at 192 dpi: top row red, green, mask, mask; bottom
  // row blue, white, mask, black, each pixel a 2 x 2 block.
  auto pic = SmallPicture();
  Surface s;
  ASSERT_TRUE(s.Resize(10, 6, kGround));
  pic->DrawTransparent(s.Dc(), RECT{1, 1, 9, 5}, 192, kMask);
  EXPECT_EQ(s.Pixel(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(s.Pixel(2, 2), RGB(255, 0, 0));
  EXPECT_EQ(s.Pixel(1, 4), RGB(0, 0, 255));
  EXPECT_EQ(s.Pixel(4, 2), RGB(0, 255, 0));
  EXPECT_EQ(s.Pixel(8, 4), RGB(0, 0, 0));
  EXPECT_EQ(s.Pixel(7, 4), RGB(0, 0, 0));
  for (int x : {5, 6, 7, 8}) EXPECT_EQ(s.Pixel(x, 1), kGround) << "mask pixels: clear, " << x;
  EXPECT_EQ(s.Pixel(0, 0), kGround);
  EXPECT_EQ(s.Pixel(9, 5), kGround);
  // At 120 dpi (4 x 2 to 5 x 3) target column 2 is half green, half mask:
  // green fades into the ground, no magenta in it.
  ASSERT_TRUE(s.Resize(10, 6, kGround));
  pic->DrawTransparent(s.Dc(), RECT{1, 1, 6, 4}, 120, kMask);
  const COLORREF c = s.Pixel(3, 1);
  EXPECT_NE(c, kGround);
  EXPECT_LE(GetRValue(c), 10);
  EXPECT_LE(GetBValue(c), 30);
  EXPECT_GT(GetGValue(c), 20);
}

TEST(PictureObject, ReleasedWithTheLastHolder) {
  const int bitmaps = LiveHandles(HandleKind::Bitmap);
  {
    auto a = SmallPicture();
    auto b = a;
    a.reset();
    EXPECT_EQ(LiveHandles(HandleKind::Bitmap), bitmaps + 1);
  }
  EXPECT_EQ(LiveHandles(HandleKind::Bitmap), bitmaps);
}

// -- The surface

TEST(SurfaceBits, ResizeKeepsTheDrawnCornerAndFillsTheRest) {
  Surface s;
  ASSERT_TRUE(s.Resize(4, 4, RGB(1, 1, 1)));
  FillSolid(s.Dc(), RECT{0, 0, 4, 4}, RGB(200, 100, 50));
  ASSERT_TRUE(s.Resize(6, 5, RGB(7, 8, 9)));
  EXPECT_EQ(s.Pixel(3, 3), RGB(200, 100, 50));
  EXPECT_EQ(s.Pixel(4, 3), RGB(7, 8, 9));
  EXPECT_EQ(s.Pixel(0, 4), RGB(7, 8, 9));
  EXPECT_EQ(s.Pixel(6, 0), CLR_INVALID);
  // Top-down bits, B G R x in memory.
  EXPECT_EQ(s.Bits()[0], 0x00C86432u);
  ASSERT_TRUE(s.Resize(0, 0, 0));
  EXPECT_NE(s.Dc(), nullptr) << "an empty surface keeps a usable DC";
}

}  // namespace
}  // namespace fw
