#include "host/Picture.h"

#include <objbase.h>
#include <wincodec.h>

#include <algorithm>
#include <cwctype>
#include <vector>

#include "host/Font.h"
#include "host/Numeric.h"
#include "host/PictureScaling.h"
#include "host/WideText.h"

namespace fw {

namespace {

// WIC wants COM on the thread; a caller that has not started it gets it here.
struct ComScope {
  ComScope() : hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr)) CoUninitialize();
  }
  HRESULT hr;
};

unique_hbitmap DibFromPixels(int width, int height, const std::vector<uint32_t>& pbgra) {
  BITMAPINFO bi = TopDownDibInfo(width, height);
  void* bits = nullptr;
  unique_hbitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bmp) std::copy(pbgra.begin(), pbgra.end(), static_cast<uint32_t*>(bits));
  return bmp;
}

// Decodes the first frame of an image through WIC into premultiplied BGRA.
bool DecodeWithWic(IWICBitmapDecoder* decoder, IWICImagingFactory* factory, int& width,
                   int& height, std::vector<uint32_t>& pixels) {
  com_ptr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, frame.put()))) return false;
  com_ptr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.put()))) return false;
  if (FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return false;
  }
  UINT w = 0, h = 0;
  if (FAILED(converter->GetSize(&w, &h)) || w == 0 || h == 0 || w > 16384 || h > 16384) return false;
  pixels.assign(static_cast<size_t>(w) * h, 0);
  if (FAILED(converter->CopyPixels(nullptr, w * 4, static_cast<UINT>(pixels.size() * 4),
                                   reinterpret_cast<BYTE*>(pixels.data())))) {
    return false;
  }
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

bool AnyTransparent(const std::vector<uint32_t>& pixels) {
  return std::any_of(pixels.begin(), pixels.end(), [](uint32_t p) { return (p >> 24) != 0xFF; });
}

std::wstring LowerExtension(std::u16string_view path) {
  const size_t dot = path.find_last_of(u'.');
  if (dot == std::u16string_view::npos) return {};
  std::wstring ext = ToWide(path.substr(dot));
  for (auto& c : ext) c = static_cast<wchar_t>(std::towlower(c));
  return ext;
}

SIZE BitmapSize(HBITMAP bmp) {
  BITMAP bm{};
  GetObjectW(bmp, sizeof bm, &bm);
  return SIZE{bm.bmWidth, std::abs(bm.bmHeight)};
}

SIZE IconSize(HICON icon) {
  ICONINFO ii{};
  if (!GetIconInfo(icon, &ii)) return SIZE{0, 0};
  // GetIconInfo hands over two bitmaps: they are ours to delete.
  unique_hbitmap colour(ii.hbmColor);
  unique_hbitmap mask(ii.hbmMask);
  if (colour) return BitmapSize(colour.get());
  SIZE s = BitmapSize(mask.get());
  s.cy /= 2;  // a monochrome icon's mask holds the AND and XOR halves
  return s;
}

}  // namespace

double HiMetricToPixels(double himetric, int dpi) { return himetric * dpi / 2540.0; }

int32_t PixelsToHiMetric(int pixels, int dpi) {
  return RoundHalfEven(static_cast<double>(pixels) * 2540.0 / (dpi > 0 ? dpi : 96));
}

std::shared_ptr<Picture> Picture::FromBitmap(unique_hbitmap bitmap, bool hasAlpha) {
  if (!bitmap) return nullptr;
  std::shared_ptr<Picture> p(new Picture());
  const SIZE s = BitmapSize(bitmap.get());
  p->m_type = Type::Bitmap;
  p->m_bitmap = std::move(bitmap);
  p->m_hasAlpha = hasAlpha;
  p->m_width = s.cx;
  p->m_height = s.cy;
  return p;
}

std::shared_ptr<Picture> Picture::FromIcon(unique_hicon icon) {
  if (!icon) return nullptr;
  std::shared_ptr<Picture> p(new Picture());
  const SIZE s = IconSize(icon.get());
  p->m_type = Type::Icon;
  p->m_icon = std::move(icon);
  p->m_width = s.cx;
  p->m_height = s.cy;
  return p;
}

std::shared_ptr<Picture> Picture::FromBytes(const void* data, size_t size) {
  if (!data || size == 0 || size > 0x7FFFFFFF) return nullptr;
  ComScope com;
  com_ptr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, factory.put()))) {
    return nullptr;
  }
  com_ptr<IWICStream> stream;
  if (FAILED(factory->CreateStream(stream.put()))) return nullptr;
  if (FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)),
                                          static_cast<DWORD>(size)))) {
    return nullptr;
  }
  com_ptr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.put()))) {
    return nullptr;
  }
  int w = 0, h = 0;
  std::vector<uint32_t> pixels;
  if (!DecodeWithWic(decoder.get(), factory.get(), w, h, pixels)) return nullptr;
  return FromBitmap(DibFromPixels(w, h, pixels), AnyTransparent(pixels));
}

namespace {

const LPCWSTR kGroupIcon = MAKEINTRESOURCEW(14);  // RT_GROUP_ICON
const LPCWSTR kIconImage = MAKEINTRESOURCEW(3);   // RT_ICON
const LPCWSTR kBitmap = MAKEINTRESOURCEW(2);      // RT_BITMAP
const LPCWSTR kData = MAKEINTRESOURCEW(10);       // RT_RCDATA
// The system icon size at 96 dpi: what an icon resource is loaded at.
constexpr int kIconSize96 = 32;

// Every frame of an icon group resource, each at its own size. The group's
// directory (a 6-byte header, then 14-byte entries: width, height, colours,
// reserved, planes, bits, bytes, and the id of the RT_ICON holding the frame).
std::vector<unique_hicon> IconFrames(HINSTANCE module, const std::wstring& name) {
  std::vector<unique_hicon> frames;
  HRSRC group = FindResourceW(module, name.c_str(), kGroupIcon);
  HGLOBAL data = group ? LoadResource(module, group) : nullptr;
  const auto* dir = data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
  const DWORD size = group ? SizeofResource(module, group) : 0;
  if (!dir || size < 6) return frames;
  const size_t count = static_cast<size_t>(dir[4] | (dir[5] << 8));
  for (size_t k = 0; k < count && 6 + 14 * (k + 1) <= size; ++k) {
    const uint8_t* e = dir + 6 + 14 * k;
    const int w = e[0] ? e[0] : 256;
    const int h = e[1] ? e[1] : 256;
    const WORD id = static_cast<WORD>(e[12] | (e[13] << 8));
    HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(id), kIconImage);
    HGLOBAL bits = image ? LoadResource(module, image) : nullptr;
    auto* bytes = bits ? static_cast<BYTE*>(LockResource(bits)) : nullptr;
    if (!bytes) continue;
    unique_hicon icon(CreateIconFromResourceEx(bytes, SizeofResource(module, image), TRUE, 0x00030000,
                                               w, h, LR_DEFAULTCOLOR));
    if (icon) frames.push_back(std::move(icon));
  }
  return frames;
}

}  // namespace

std::shared_ptr<Picture> Picture::LoadOne(const std::wstring& wname, HINSTANCE module) {
  std::shared_ptr<Picture> p;
  if (FindResourceW(module, wname.c_str(), kGroupIcon)) {
    p = FromIcon(unique_hicon(static_cast<HICON>(LoadImageW(
        module, wname.c_str(), IMAGE_ICON, kIconSize96, kIconSize96, LR_DEFAULTCOLOR))));
  } else if (FindResourceW(module, wname.c_str(), kBitmap)) {
    p = FromBitmap(unique_hbitmap(static_cast<HBITMAP>(
        LoadImageW(module, wname.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))));
  } else if (HRSRC res = FindResourceW(module, wname.c_str(), kData)) {
    HGLOBAL data = LoadResource(module, res);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (bytes) p = FromBytes(bytes, SizeofResource(module, res));
  }
  return p;
}

std::shared_ptr<Picture> Picture::FromResource(std::u16string_view name, HINSTANCE module) {
  if (name.empty()) return nullptr;
  if (!module) module = GetModuleHandleW(nullptr);
  const std::wstring wname = ToWide(name);
  std::shared_ptr<Picture> p = LoadOne(wname, module);
  if (!p) return nullptr;
  p->m_resourceName = std::u16string(name);
  for (const wchar_t* suffix : {L"", L"_150", L"_200"}) {
    const std::wstring variant = wname + suffix;
    if (FindResourceW(module, variant.c_str(), kGroupIcon)) {
      for (unique_hicon& frame : IconFrames(module, variant)) {
        if (auto f = FromIcon(std::move(frame))) p->m_sources.push_back(std::move(f));
      }
    } else if (*suffix) {
      if (auto v = LoadOne(variant, module)) p->m_sources.push_back(std::move(v));
    }
  }
  return p;
}

std::shared_ptr<Picture> Picture::FromFile(std::u16string_view path) {
  if (path.empty()) return nullptr;
  const std::wstring wpath = ToWide(path);
  const std::wstring ext = LowerExtension(path);
  const bool isUrl = path.find(u"://") != std::u16string_view::npos;
  if (!isUrl && ext == L".bmp") {
    if (auto p = FromBitmap(unique_hbitmap(static_cast<HBITMAP>(LoadImageW(
            nullptr, wpath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION))))) {
      return p;
    }
  }
  if (!isUrl && (ext == L".ico" || ext == L".cur")) {
    if (auto p = FromIcon(unique_hicon(static_cast<HICON>(LoadImageW(
            nullptr, wpath.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE))))) {
      return p;
    }
  }
  if (!isUrl) {
    ComScope com;
    com_ptr<IWICImagingFactory> factory;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, factory.put()))) {
      com_ptr<IWICBitmapDecoder> decoder;
      if (SUCCEEDED(factory->CreateDecoderFromFilename(wpath.c_str(), nullptr, GENERIC_READ,
                                                       WICDecodeMetadataCacheOnDemand,
                                                       decoder.put()))) {
        int w = 0, h = 0;
        std::vector<uint32_t> pixels;
        if (DecodeWithWic(decoder.get(), factory.get(), w, h, pixels)) {
          return FromBitmap(DibFromPixels(w, h, pixels), AnyTransparent(pixels));
        }
      }
    }
  }
  // Anything else (a URL among them) goes to the platform's picture loader.
  ComScope com;
  com_ptr<IPicture> picture;
  std::wstring mutablePath = wpath;
  if (FAILED(OleLoadPicturePath(mutablePath.data(), nullptr, 0, 0, IID_IPicture, picture.put()))) {
    return nullptr;
  }
  return FromIPicture(picture.get());
}

std::shared_ptr<Picture> Picture::FromIPicture(IPicture* picture) {
  if (!picture) return nullptr;
  SHORT type = 0;
  OLE_HANDLE handle = 0;
  if (FAILED(picture->get_Type(&type)) || FAILED(picture->get_Handle(&handle)) || !handle) {
    return nullptr;
  }
  // The IPicture keeps its own handle; this picture gets a copy it owns.
  const HANDLE h = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle));
  if (type == PICTYPE_BITMAP) {
    return FromBitmap(unique_hbitmap(static_cast<HBITMAP>(
        CopyImage(h, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))));
  }
  if (type == PICTYPE_ICON) {
    return FromIcon(unique_hicon(CopyIcon(static_cast<HICON>(h))));
  }
  return nullptr;
}

HANDLE Picture::Handle() const {
  return m_type == Type::Icon ? static_cast<HANDLE>(m_icon.get())
                              : static_cast<HANDLE>(m_bitmap.get());
}

int32_t Picture::HiMetricWidth() const { return PixelsToHiMetric(m_width, ScreenDpi()); }
int32_t Picture::HiMetricHeight() const { return PixelsToHiMetric(m_height, ScreenDpi()); }

void Picture::Render(HDC dc, int x, int y, int w, int h) const {
  if (w <= 0 || h <= 0) return;
  if (m_type == Type::Icon) {
    DrawIconEx(dc, x, y, m_icon.get(), w, h, 0, nullptr, DI_NORMAL);
    return;
  }
  unique_hdc mem(CreateCompatibleDC(dc));
  if (!mem) return;
  unique_select sel(mem.get(), m_bitmap.get());
  if (m_hasAlpha) {
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, w, h, mem.get(), 0, 0, m_width, m_height, blend);
  } else {
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x, y, w, h, mem.get(), 0, 0, m_width, m_height, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
  }
}

void Picture::RenderTransparent(HDC dc, int x, int y, int w, int h, COLORREF maskColour) const {
  if (m_type == Type::Icon) {
    Render(dc, x, y, w, h);
    return;
  }
  constexpr int kCaps1 = 94;            // CAPS1
  constexpr int kCTransparent = 0x800;  // C_TRANSPARENT
  if (GetDeviceCaps(dc, kCaps1) & kCTransparent) {
    unique_hdc mem(CreateCompatibleDC(dc));
    if (!mem) return;
    unique_select sel(mem.get(), m_bitmap.get());
    TransparentBlt(dc, x, y, w, h, mem.get(), 0, 0, m_width, m_height, maskColour);
    return;
  }
  RenderMasked(dc, x, y, w, h, maskColour);
}

void Picture::RenderMasked(HDC dc, int x, int y, int w, int h, COLORREF maskColour) const {
  if (m_type == Type::Icon) {
    Render(dc, x, y, w, h);
    return;
  }
  if (w <= 0 || h <= 0 || !m_bitmap) return;
  // The picture stretched to the target size, a monochrome mask of its mask-colour
  // pixels, then: destination AND mask, picture AND NOT mask, OR them together.
  unique_hdc src(CreateCompatibleDC(dc));
  unique_hdc stretched(CreateCompatibleDC(dc));
  unique_hdc maskDc(CreateCompatibleDC(dc));
  if (!src || !stretched || !maskDc) return;
  unique_hbitmap colour(CreateCompatibleBitmap(dc, w, h));
  unique_hbitmap mask(CreateBitmap(w, h, 1, 1, nullptr));
  if (!colour || !mask) return;
  unique_select selSrc(src.get(), m_bitmap.get());
  unique_select selColour(stretched.get(), colour.get());
  unique_select selMask(maskDc.get(), mask.get());
  SetStretchBltMode(stretched.get(), COLORONCOLOR);
  StretchBlt(stretched.get(), 0, 0, w, h, src.get(), 0, 0, m_width, m_height, SRCCOPY);
  // Colour -> monochrome: pixels of the background colour become 1 (white).
  SetBkColor(stretched.get(), maskColour);
  BitBlt(maskDc.get(), 0, 0, w, h, stretched.get(), 0, 0, SRCCOPY);
  // Blank the masked pixels of the picture: monochrome to colour maps 1 to the
  // target's back colour (black here) and 0 to its text colour (white), so
  // picture AND that leaves the picture where the mask is 0.
  SetBkColor(stretched.get(), RGB(0, 0, 0));
  SetTextColor(stretched.get(), RGB(255, 255, 255));
  BitBlt(stretched.get(), 0, 0, w, h, maskDc.get(), 0, 0, SRCAND);
  // Destination AND mask (monochrome to colour: 1 -> white keeps, 0 -> black clears).
  const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  BitBlt(dc, x, y, w, h, maskDc.get(), 0, 0, SRCAND);
  SetBkColor(dc, oldBk);
  SetTextColor(dc, oldText);
  BitBlt(dc, x, y, w, h, stretched.get(), 0, 0, SRCPAINT);
}

// -- Drawing at a display scale

SIZE Picture::SizeAt(int dpi) const { return SIZE{ScaleToDpi(m_width, dpi), ScaleToDpi(m_height, dpi)}; }

const Picture& Picture::SourceFor(int width, int height) const {
  std::vector<const Picture*> all{this};
  for (const auto& s : m_sources) all.push_back(s.get());
  std::vector<PixelSize> sizes;
  for (const Picture* s : all) sizes.push_back({s->m_width, s->m_height});
  const size_t k = ChooseSource(sizes, {width, height});
  return k < all.size() ? *all[k] : *this;
}

SIZE Picture::SourceSizeFor(int width, int height) const {
  const Picture& s = SourceFor(width, height);
  return SIZE{s.m_width, s.m_height};
}

void Picture::Draw(HDC dc, const RECT& dest, int dpi) const {
  if (dpi == 96) {
    Render(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top);
    return;
  }
  DrawScaled(dc, dest, -1);
}

void Picture::DrawTransparent(HDC dc, const RECT& dest, int dpi, COLORREF maskColour) const {
  if (dpi == 96) {
    RenderTransparent(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
                      maskColour);
    return;
  }
  DrawScaled(dc, dest, m_type == Type::Icon ? -1 : static_cast<int64_t>(maskColour));
}

void Picture::DrawScaled(HDC dc, const RECT& dest, int64_t mask) const {
  const int w = dest.right - dest.left;
  const int h = dest.bottom - dest.top;
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384) return;
  if (!m_scaled.bitmap || m_scaled.width != w || m_scaled.height != h || m_scaled.mask != mask) {
    m_scaled = Scaled{};
    const Picture& source = SourceFor(w, h);
    const std::vector<uint32_t> pixels = source.Pbgra(mask);
    if (pixels.empty()) {
      // A picture whose pixels cannot be read (a monochrome icon) is stretched
      // by the platform, as at 96 dpi.
      Render(dc, dest.left, dest.top, w, h);
      return;
    }
    const std::vector<uint32_t> scaled =
        ResamplePbgra(pixels, {source.m_width, source.m_height}, {w, h});
    m_scaled.bitmap = DibFromPixels(w, h, scaled);
    if (!m_scaled.bitmap) return;
    m_scaled.width = w;
    m_scaled.height = h;
    m_scaled.mask = mask;
  }
  unique_hdc mem(CreateCompatibleDC(dc));
  if (!mem) return;
  unique_select sel(mem.get(), m_scaled.bitmap.get());
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(dc, dest.left, dest.top, w, h, mem.get(), 0, 0, w, h, blend);
}

unique_hcursor Picture::MakeCursor() const {
  if (m_type != Type::Icon || !m_icon) return unique_hcursor();
  ICONINFO ii{};
  if (!GetIconInfo(m_icon.get(), &ii)) return unique_hcursor();
  unique_hbitmap colour(ii.hbmColor);
  unique_hbitmap mask(ii.hbmMask);
  ii.fIcon = FALSE;
  ii.xHotspot = static_cast<DWORD>(m_width / 2);
  ii.yHotspot = static_cast<DWORD>(m_height / 2);
  return unique_hcursor(CreateIconIndirect(&ii));
}

// -- Pictures kept in a design as bytes

namespace {

template <typename T>
void Put(std::vector<uint8_t>& out, const T& value) {
  const auto* p = reinterpret_cast<const uint8_t*>(&value);
  out.insert(out.end(), p, p + sizeof value);
}

// The pixels of a bitmap as a bottom-up DIB of `bits` per pixel (24 or 32).
bool ReadDib(HBITMAP bitmap, int width, int height, int bits, std::vector<uint8_t>& pixels) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = static_cast<WORD>(bits);
  bi.bmiHeader.biCompression = BI_RGB;
  const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  pixels.assign(stride * static_cast<size_t>(height), 0);
  unique_hdc_window screen(nullptr);
  return GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &bi,
                   DIB_RGB_COLORS) == height;
}

// The 1-bit AND mask of an icon, bottom up, rows padded to 4 bytes.
bool ReadMask(HBITMAP mask, int width, int height, std::vector<uint8_t>& bits) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } bi{};
  bi.header.biSize = sizeof bi.header;
  bi.header.biWidth = width;
  bi.header.biHeight = height;
  bi.header.biPlanes = 1;
  bi.header.biBitCount = 1;
  bi.header.biCompression = BI_RGB;
  const size_t stride = ((static_cast<size_t>(width) + 31) / 32) * 4;
  bits.assign(stride * static_cast<size_t>(height), 0);
  unique_hdc_window screen(nullptr);
  return GetDIBits(screen.get(), mask, 0, static_cast<UINT>(height), bits.data(),
                   reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS) == height;
}

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

}  // namespace

std::vector<uint32_t> Picture::Pbgra(int64_t mask) const {
  const size_t count = static_cast<size_t>(m_width) * static_cast<size_t>(m_height);
  std::vector<uint8_t> bottomUp;
  std::vector<uint32_t> out;
  if (count == 0) return out;
  std::vector<uint8_t> andMask;
  bool straightAlpha = false;
  if (m_type == Type::Bitmap) {
    if (!m_bitmap || !ReadDib(m_bitmap.get(), m_width, m_height, 32, bottomUp)) return out;
  } else {
    ICONINFO ii{};
    if (!m_icon || !GetIconInfo(m_icon.get(), &ii)) return out;
    unique_hbitmap colour(ii.hbmColor);
    unique_hbitmap iconMask(ii.hbmMask);
    if (!colour || !ReadDib(colour.get(), m_width, m_height, 32, bottomUp) ||
        !ReadMask(iconMask.get(), m_width, m_height, andMask)) {
      return out;
    }
    straightAlpha = true;  // an icon's alpha is not premultiplied
  }
  out.resize(count);
  for (int y = 0; y < m_height; ++y) {
    const uint8_t* row = bottomUp.data() + static_cast<size_t>(m_height - 1 - y) * m_width * 4;
    for (int x = 0; x < m_width; ++x) {
      const uint8_t* p = row + static_cast<size_t>(x) * 4;
      out[static_cast<size_t>(y) * m_width + x] = uint32_t{p[0]} | (uint32_t{p[1]} << 8) |
                                                  (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
    }
  }
  const bool anyAlpha = std::any_of(out.begin(), out.end(), [](uint32_t p) { return (p >> 24) != 0; });
  const size_t maskStride = ((static_cast<size_t>(m_width) + 31) / 32) * 4;
  for (int y = 0; y < m_height; ++y) {
    for (int x = 0; x < m_width; ++x) {
      uint32_t& p = out[static_cast<size_t>(y) * m_width + x];
      if (m_type == Type::Icon && !anyAlpha) {
        // An icon without alpha values: its AND mask says what is transparent.
        const size_t row = static_cast<size_t>(m_height - 1 - y) * maskStride;
        const bool clear = (andMask[row + x / 8] >> (7 - x % 8)) & 1;
        p = clear ? 0 : (p | 0xFF000000u);
      } else if (straightAlpha) {
        const uint32_t a = p >> 24;
        auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
        p = (a << 24) | (mul((p >> 16) & 0xFF) << 16) | (mul((p >> 8) & 0xFF) << 8) | mul(p & 0xFF);
      } else if (m_type == Type::Bitmap && !m_hasAlpha) {
        p |= 0xFF000000u;
      }
      if (mask >= 0) {
        const COLORREF c = static_cast<COLORREF>(mask);
        const uint32_t bgr = (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) | GetBValue(c);
        if ((p & 0xFFFFFFu) == bgr && (p >> 24) == 0xFF) p = 0;
      }
    }
  }
  return out;
}

std::vector<uint8_t> Picture::FileBytes() const {
  std::vector<uint8_t> out;
  if (m_width <= 0 || m_height <= 0) return out;
  if (m_type == Type::Bitmap) {
    const int bits = m_hasAlpha ? 32 : 24;
    std::vector<uint8_t> pixels;
    if (!m_bitmap || !ReadDib(m_bitmap.get(), m_width, m_height, bits, pixels)) return out;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    info.biSize = sizeof info;
    info.biWidth = m_width;
    info.biHeight = m_height;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bits);
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(pixels.size());
    Put(out, file);
    Put(out, info);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
  }
  ICONINFO ii{};
  if (!m_icon || !GetIconInfo(m_icon.get(), &ii)) return out;
  unique_hbitmap colour(ii.hbmColor);
  unique_hbitmap mask(ii.hbmMask);
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> andMask;
  if (!colour || !ReadDib(colour.get(), m_width, m_height, 32, pixels) ||
      !ReadMask(mask.get(), m_width, m_height, andMask)) {
    return out;
  }
  // An icon without alpha values is drawn through its mask; give its pixels the
  // mask's opacity so that the image reads back the same everywhere.
  bool anyAlpha = false;
  for (size_t i = 3; i < pixels.size(); i += 4) anyAlpha = anyAlpha || pixels[i] != 0;
  if (!anyAlpha) {
    const size_t maskStride = ((static_cast<size_t>(m_width) + 31) / 32) * 4;
    for (int y = 0; y < m_height; ++y) {
      for (int x = 0; x < m_width; ++x) {
        const bool transparent = (andMask[y * maskStride + x / 8] >> (7 - x % 8)) & 1;
        pixels[(static_cast<size_t>(y) * m_width + x) * 4 + 3] = transparent ? 0 : 0xFF;
      }
    }
  }
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = m_width;
  info.biHeight = m_height * 2;  // the colour image and the mask
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  const uint32_t imageSize = static_cast<uint32_t>(sizeof info + pixels.size() + andMask.size());
  Put(out, uint16_t{0});
  Put(out, uint16_t{1});  // an icon
  Put(out, uint16_t{1});  // one image
  out.push_back(static_cast<uint8_t>(m_width >= 256 ? 0 : m_width));
  out.push_back(static_cast<uint8_t>(m_height >= 256 ? 0 : m_height));
  out.push_back(0);  // no palette
  out.push_back(0);
  Put(out, uint16_t{1});   // planes
  Put(out, uint16_t{32});  // bits per pixel
  Put(out, imageSize);
  Put(out, uint32_t{6 + 16});  // the image follows the directory
  Put(out, info);
  out.insert(out.end(), pixels.begin(), pixels.end());
  out.insert(out.end(), andMask.begin(), andMask.end());
  return out;
}

std::shared_ptr<Picture> Picture::FromFileBytes(const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  if (!p || size == 0 || size > 0x7FFFFFFF) return nullptr;
  if (size >= 6 + 16 && Le16(p) == 0 && Le16(p + 2) == 1 && Le16(p + 4) >= 1) {
    const uint8_t* entry = p + 6;
    const int w = entry[0] ? entry[0] : 256;
    const int h = entry[1] ? entry[1] : 256;
    const uint32_t bytes = Le32(entry + 8);
    const uint32_t offset = Le32(entry + 12);
    if (offset > size || bytes > size - offset) return nullptr;
    return FromIcon(unique_hicon(CreateIconFromResourceEx(const_cast<BYTE*>(p + offset), bytes, TRUE,
                                                         0x00030000, w, h, LR_DEFAULTCOLOR)));
  }
  if (size >= sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) && p[0] == 'B' && p[1] == 'M') {
    BITMAPINFOHEADER info{};
    std::copy_n(p + sizeof(BITMAPFILEHEADER), sizeof info, reinterpret_cast<uint8_t*>(&info));
    const uint32_t offset = Le32(p + 10);
    const bool plain = info.biCompression == BI_RGB && info.biPlanes == 1 &&
                       (info.biBitCount == 24 || info.biBitCount == 32) && info.biWidth > 0 &&
                       info.biWidth <= 16384 && info.biHeight > 0 && info.biHeight <= 16384;
    const size_t stride = ((static_cast<size_t>(info.biWidth) * info.biBitCount + 31) / 32) * 4;
    if (plain && offset <= size && stride * static_cast<size_t>(info.biHeight) <= size - offset) {
      BITMAPINFO bi{};
      bi.bmiHeader = info;
      void* bits = nullptr;
      unique_hbitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
      if (!bmp || !bits) return nullptr;
      std::copy_n(p + offset, stride * static_cast<size_t>(info.biHeight), static_cast<uint8_t*>(bits));
      return FromBitmap(std::move(bmp), info.biBitCount == 32);
    }
  }
  return FromBytes(data, size);
}

PictureRef PictureRefOf(const Picture* picture) {
  PictureRef ref;
  if (!picture) return ref;
  if (!picture->ResourceName().empty()) {
    ref.resource = picture->ResourceName();
  } else {
    ref.data = picture->FileBytes();
  }
  return ref;
}

std::shared_ptr<Picture> LoadPictureRef(const PictureRef& ref) {
  if (!ref.resource.empty()) return Picture::FromResource(ref.resource);
  if (!ref.data.empty()) return Picture::FromFileBytes(ref.data.data(), ref.data.size());
  return nullptr;
}

}  // namespace fw
