#include "app/picture/LoadPictureUrl.h"

#include <wincodec.h>

#include <climits>
#include <string>
#include <vector>

#include "host/Numeric.h"

namespace fw {

namespace {

// {7BF80980-BF32-101A-8BBB-00AA00300CAB}: the picture interface the loader is
// asked for; the result is handed out through its dispatch interface.
constexpr IID kPictureIid = {0x7BF80980, 0xBF32, 0x101A,
                             {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

constexpr double kHiMetricPerInch = 2540.0;

// "scheme:" with a scheme of two letters or more (a drive letter is one).
bool LooksLikeUrl(std::wstring_view text) {
  const size_t colon = text.find(L':');
  if (colon == std::wstring_view::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i) {
    const wchar_t c = text[i];
    const bool ok = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
                    (i > 0 && ((c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.'));
    if (!ok) return false;
  }
  return true;
}

// An empty answer decodes to a picture object that holds no picture; it is no
// more a picture to show than a failed load.
PictureDispPtr FromPicture(const com_ptr<IPicture>& picture) {
  PictureDispPtr disp;
  if (!picture) return disp;
  SHORT type = PICTYPE_UNINITIALIZED;
  if (FAILED(picture->get_Type(&type)) || type == PICTYPE_NONE || type == PICTYPE_UNINITIALIZED)
    return disp;
  picture->QueryInterface(IID_IPictureDisp, disp.put());
  return disp;
}

// Owns a file handle for the length of one read.
struct FileHandle {
  HANDLE h = INVALID_HANDLE_VALUE;
  ~FileHandle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

std::optional<std::vector<BYTE>> ReadWholeFile(const std::wstring& path) {
  FileHandle f;
  f.h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f.h == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER size{};
  // Pictures beyond 256 MB are not pictures this program shows.
  if (!GetFileSizeEx(f.h, &size) || size.QuadPart <= 0 || size.QuadPart > (256 << 20))
    return std::nullopt;
  std::vector<BYTE> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(f.h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
      read != bytes.size())
    return std::nullopt;
  return bytes;
}

com_ptr<IStream> StreamOver(std::span<const uint8_t> bytes) {
  // The stream owns the memory (fDeleteOnRelease), so nothing to free here
  // once it exists.
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!mem) return {};
  void* p = GlobalLock(mem);
  if (!p) {
    GlobalFree(mem);
    return {};
  }
  memcpy(p, bytes.data(), bytes.size());
  GlobalUnlock(mem);
  IStream* raw = nullptr;
  if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &raw)) || !raw) {
    GlobalFree(mem);
    return {};
  }
  return com_ptr<IStream>::attach(raw);
}

// Decodes the first frame with the imaging codecs into a top-down 32-bit DIB
// section and wraps it in a picture that owns it.
PictureDispPtr DecodeWithCodecs(const std::wstring& path) {
  // Each put() hands its reference over when its statement ends, so every
  // acquisition is a statement of its own.
  com_ptr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, factory.put())))
    return {};
  com_ptr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, decoder.put())))
    return {};
  com_ptr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, frame.put()))) return {};
  com_ptr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.put()))) return {};
  if (FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    return {};
  UINT w = 0, h = 0;
  if (FAILED(converter->GetSize(&w, &h)) || w == 0 || h == 0 || w > 32767 || h > 32767) return {};

  BITMAPINFO bi = TopDownDibInfo(static_cast<int>(w), static_cast<int>(h));
  void* bits = nullptr;
  unique_hbitmap bitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return {};
  const UINT stride = w * 4;
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * h, static_cast<BYTE*>(bits)))) return {};
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_BITMAP;
  desc.bmp.hbitmap = bitmap.get();
  PictureDispPtr disp;
  // fOwn = TRUE: once the picture exists it deletes the bitmap.
  if (FAILED(OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, disp.put()))) return {};
  if (disp) bitmap.release();
  return disp;
}

}  // namespace

PictureDispPtr LoadPictureUrl(std::wstring_view urlOrPath) {
  if (urlOrPath.empty()) return {};
  std::wstring text(urlOrPath);
  com_ptr<IPicture> picture;
  // The result code is not what decides: a call that gives no picture gives no
  // picture, whatever it answered.
  OleLoadPicturePath(text.data(), nullptr, 0, 0, kPictureIid, picture.put());
  if (PictureDispPtr disp = FromPicture(picture)) return disp;
  // The fallback is the local-file loader; a URL has no local file to try.
  if (LooksLikeUrl(text)) return {};
  return LoadPictureFile(text);
}

PictureDispPtr LoadPictureFile(std::wstring_view path) {
  if (path.empty()) return {};
  const std::wstring file(path);
  const auto bytes = ReadWholeFile(file);
  if (!bytes) return {};
  if (PictureDispPtr disp = LoadPictureBytes(*bytes)) return disp;
  return DecodeWithCodecs(file);
}

PictureDispPtr LoadPictureBytes(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > LONG_MAX) return {};
  com_ptr<IStream> stream = StreamOver(bytes);
  if (!stream) return {};
  com_ptr<IPicture> picture;
  OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, kPictureIid, picture.put());
  return FromPicture(picture);
}

std::optional<PixelSize> PictureSizeInPixels(IPictureDisp* picture, int dpi) {
  if (!picture || dpi <= 0) return std::nullopt;
  com_ptr<IPicture> p;
  picture->QueryInterface(IID_IPicture, p.put());
  if (!p) return std::nullopt;
  OLE_XSIZE_HIMETRIC w = 0;
  OLE_YSIZE_HIMETRIC h = 0;
  if (FAILED(p->get_Width(&w)) || FAILED(p->get_Height(&h))) return std::nullopt;
  return PixelSize{RoundHalfEven(w * dpi / kHiMetricPerInch),
                   RoundHalfEven(h * dpi / kHiMetricPerInch)};
}

}  // namespace fw
