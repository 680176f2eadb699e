// A picture as the controls hold it: a bitmap (type 1) or an icon (type 3), with
// its size in HiMetric units (1/100 mm), as the platform's picture objects report
// it. Shared by reference: several controls may show one picture.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/Gdi.h"
#include "host/PropertyStore.h"

namespace fw {

class Picture {
 public:
  enum class Type { Bitmap = 1, Icon = 3 };

  // From a resource of the module (null: the exe): an RT_GROUP_ICON, an RT_BITMAP,
  // or an RCDATA holding an image file (PNG, GIF, JPEG, BMP, ICO) decoded by WIC.
  // The picture's own size is its 96-dpi size: an icon resource gives its
  // 32 x 32 frame (the system icon size at 96 dpi). Its sources for other
  // scales come along: every frame of the icon, and the resources NAME_150
  // and NAME_200 (any of the three kinds) when the module has them.
  static std::shared_ptr<Picture> FromResource(std::u16string_view name, HINSTANCE module = nullptr);
  // From a file: .bmp and .ico through LoadImage, other formats through WIC, and
  // anything else (including URLs) through OleLoadPicturePath.
  static std::shared_ptr<Picture> FromFile(std::u16string_view path);
  // From image-file bytes (PNG, GIF, JPEG, BMP, ICO) through WIC.
  static std::shared_ptr<Picture> FromBytes(const void* data, size_t size);
  // A copy of what an IPicture holds (bitmap or icon).
  static std::shared_ptr<Picture> FromIPicture(IPicture* picture);
  // Takes ownership of a bitmap; `hasAlpha` for premultiplied 32-bit pixels.
  static std::shared_ptr<Picture> FromBitmap(unique_hbitmap bitmap, bool hasAlpha = false);
  static std::shared_ptr<Picture> FromIcon(unique_hicon icon);

  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  Type GetType() const { return m_type; }
  // The handle (HBITMAP or HICON), as the platform's picture Handle property.
  HANDLE Handle() const;
  HBITMAP Bitmap() const { return m_bitmap.get(); }
  HICON Icon() const { return m_icon.get(); }
  int PixelWidth() const { return m_width; }
  int PixelHeight() const { return m_height; }
  // Size in HiMetric units at the screen's resolution.
  int32_t HiMetricWidth() const;
  int32_t HiMetricHeight() const;
  // The resource name it was loaded from (what a design file saves), or empty.
  const std::u16string& ResourceName() const { return m_resourceName; }

  // Draws the picture into (x, y, w, h), stretched; icons and pictures with alpha
  // keep their transparency.
  void Render(HDC dc, int x, int y, int w, int h) const;
  // Draws at its own size.
  void Render(HDC dc, int x, int y) const { Render(dc, x, y, m_width, m_height); }
  // Draws stretched with every pixel of `maskColour` left out. Uses TransparentBlt
  // when the device says it can; otherwise (Wine's screen reports no transparent
  // capability) a monochrome mask built here.
  void RenderTransparent(HDC dc, int x, int y, int w, int h, COLORREF maskColour) const;
  // The monochrome-mask path on its own, for tests and devices without the capability.
  void RenderMasked(HDC dc, int x, int y, int w, int h, COLORREF maskColour) const;

  // -- Drawing at a display scale
  // Draws the picture into `dest`, the caller's rectangle in pixels at `dpi`
  // (a control passes its 96-dpi rectangle scaled: Control::Scaled, or
  // ScaleToDpi). At 96 dpi this is exactly Render(dc, dest): every 96-dpi look
  // stays as it always was, the platform's stretch included. At any other dpi
  // the picture is drawn from the nearest of its sources not smaller than
  // `dest`: an icon resource's frames, or the variants of a resource NAME
  // drawn for 150 and 200 % and named NAME_150 and NAME_200 (see
  // FromResource). That source is scaled down by area averaging with its
  // alpha, and scaled up (linearly) only when no source is large enough.
  // Stateless for the caller; the last scaled result is kept for the next paint.
  void Draw(HDC dc, const RECT& dest, int dpi) const;
  // Draw with every pixel of `maskColour` left out (at 96 dpi exactly
  // RenderTransparent). Those pixels are made transparent before filtering,
  // so a scaled edge blends with what is under it, never with the mask colour.
  void DrawTransparent(HDC dc, const RECT& dest, int dpi, COLORREF maskColour) const;
  // The size of the picture at `dpi`: its own (96-dpi) size scaled by
  // ScaleToDpi, the size a control shows it at when it keeps its own size.
  SIZE SizeAt(int dpi) const;
  // The size of the source Draw starts from for a `width` x `height` target
  // at a dpi other than 96.
  SIZE SourceSizeFor(int width, int height) const;

  // A cursor made from an icon picture (MouseIcon), or null for a bitmap.
  unique_hcursor MakeCursor() const;

  // The picture as file bytes, so that a design can keep a picture that is no
  // resource: a .bmp file image (24-bit, or 32-bit with alpha) for a bitmap, an
  // .ico file image (one 32-bit image with its mask) for an icon. Empty on failure.
  std::vector<uint8_t> FileBytes() const;
  // Reads what FileBytes writes (an icon stays an icon); other image files go
  // through FromBytes.
  static std::shared_ptr<Picture> FromFileBytes(const void* data, size_t size);

 private:
  Picture() = default;
  static std::shared_ptr<Picture> LoadOne(const std::wstring& name, HINSTANCE module);
  // The picture as premultiplied BGRA rows, top-down; `mask` (a COLORREF, or
  // -1 for none) names the colour that becomes transparent. Empty on failure.
  std::vector<uint32_t> Pbgra(int64_t mask) const;
  const Picture& SourceFor(int width, int height) const;
  void DrawScaled(HDC dc, const RECT& dest, int64_t mask) const;

  Type m_type = Type::Bitmap;
  unique_hbitmap m_bitmap;
  unique_hicon m_icon;
  bool m_hasAlpha = false;
  int m_width = 0;
  int m_height = 0;
  std::u16string m_resourceName;
  // The picture's other sizes (an icon's frames, the 150 and 200 % variants);
  // the picture itself is always a source too.
  std::vector<std::shared_ptr<const Picture>> m_sources;
  // The last scaled result, premultiplied, for the next paint at that size.
  struct Scaled {
    int width = 0;
    int height = 0;
    int64_t mask = -1;
    unique_hbitmap bitmap;
  };
  mutable Scaled m_scaled;
};

// What a design saves for a picture: its resource name when it came from one,
// else its file bytes; an empty reference for none.
PictureRef PictureRefOf(const Picture* picture);
// The picture a saved reference names, or null (none, or it cannot be loaded).
std::shared_ptr<Picture> LoadPictureRef(const PictureRef& ref);

// HiMetric (1/100 mm) to pixels at `dpi`, fractional: 2540 HiMetric is one inch.
double HiMetricToPixels(double himetric, int dpi);
int32_t PixelsToHiMetric(int pixels, int dpi);

}  // namespace fw
