#include "host/PngFile.h"

#include <wincodec.h>

#include <algorithm>
#include <cstring>

#include "host/Gdi.h"

namespace fw {

namespace {

// A DIB section and the memory DC it is selected into, for one capture.
struct CaptureBitmap {
  unique_hdc dc;
  unique_hbitmap bitmap;
  unique_select selection;
  uint32_t* bits = nullptr;
};

bool MakeCaptureBitmap(CaptureBitmap& out, int width, int height) {
  BITMAPINFO bi = TopDownDibInfo(width, height);
  void* bits = nullptr;
  out.dc = unique_hdc(CreateCompatibleDC(nullptr));
  if (!out.dc) return false;
  out.bitmap = unique_hbitmap(CreateDIBSection(out.dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!out.bitmap || !bits) return false;
  out.selection = unique_select(out.dc.get(), out.bitmap.get());
  out.bits = static_cast<uint32_t*>(bits);
  return true;
}

// Prints `hwnd`'s client area at (x, y) of `dc`, then its children over it.
void PrintTree(HWND hwnd, HDC dc, int x, int y) {
  {
    unique_dc_state state(dc);
    SetViewportOrgEx(dc, x, y, nullptr);
    RECT rc;
    GetClientRect(hwnd, &rc);
    IntersectClipRect(dc, 0, 0, rc.right, rc.bottom);
    SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                 PRF_CLIENT | PRF_ERASEBKGND);
  }
  // GW_CHILD gives the top of the z-order; draw from the bottom up.
  std::vector<HWND> children;
  for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    HWND c = *it;
    if (!IsWindowVisible(c)) continue;
    RECT rc;
    GetWindowRect(c, &rc);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rc), 2);
    RECT client;
    GetClientRect(c, &client);
    POINT origin{0, 0};
    ClientToScreen(c, &origin);
    ScreenToClient(hwnd, &origin);
    unique_dc_state state(dc);
    // Children are clipped to their parent's client area.
    RECT parent;
    GetClientRect(hwnd, &parent);
    IntersectClipRect(dc, x + std::max(0L, rc.left), y + std::max(0L, rc.top),
                      x + std::min(parent.right, rc.right), y + std::min(parent.bottom, rc.bottom));
    PrintTree(c, dc, x + origin.x, y + origin.y);
  }
}

}  // namespace

COLORREF PixelImage::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
  const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool SavePng(const std::wstring& path, const uint32_t* bgrx, int width, int height) {
  if (!bgrx || width <= 0 || height <= 0) return false;
  com_ptr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, factory.put())))
    return false;
  // Each put() hands its reference over when its statement ends, so every
  // acquisition is a statement of its own.
  com_ptr<IWICStream> stream;
  if (FAILED(factory->CreateStream(stream.put()))) return false;
  if (FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE))) return false;
  com_ptr<IWICBitmapEncoder> encoder;
  if (FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put()))) return false;
  if (FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache))) return false;
  com_ptr<IWICBitmapFrameEncode> frame;
  if (FAILED(encoder->CreateNewFrame(frame.put(), nullptr))) return false;
  if (FAILED(frame->Initialize(nullptr)) ||
      FAILED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))))
    return false;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(frame->SetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR) return false;
  // 24-bit rows, padded to four bytes.
  const UINT stride = (static_cast<UINT>(width) * 3 + 3) & ~3u;
  std::vector<BYTE> rows(static_cast<size_t>(stride) * height);
  for (int y = 0; y < height; ++y) {
    BYTE* out = rows.data() + static_cast<size_t>(y) * stride;
    const uint32_t* in = bgrx + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      out[3 * x + 0] = static_cast<BYTE>(in[x] & 0xFF);
      out[3 * x + 1] = static_cast<BYTE>((in[x] >> 8) & 0xFF);
      out[3 * x + 2] = static_cast<BYTE>((in[x] >> 16) & 0xFF);
    }
  }
  if (FAILED(frame->WritePixels(static_cast<UINT>(height), stride, static_cast<UINT>(rows.size()),
                                rows.data())) ||
      FAILED(frame->Commit()) || FAILED(encoder->Commit()))
    return false;
  return true;
}

bool SavePng(const std::wstring& path, const PixelImage& image) {
  if (image.Empty() || image.pixels.size() != static_cast<size_t>(image.width) * image.height)
    return false;
  return SavePng(path, image.pixels.data(), image.width, image.height);
}

PixelImage CaptureDc(HDC dc, int width, int height) {
  PixelImage img;
  if (width <= 0 || height <= 0) return img;
  CaptureBitmap cap;
  if (!MakeCaptureBitmap(cap, width, height)) return img;
  if (!BitBlt(cap.dc.get(), 0, 0, width, height, dc, 0, 0, SRCCOPY)) return img;
  GdiFlush();
  img.width = width;
  img.height = height;
  img.pixels.assign(cap.bits, cap.bits + static_cast<size_t>(width) * height);
  return img;
}

PixelImage CaptureWindowTree(HWND hwnd) {
  PixelImage img;
  RECT rc;
  if (!hwnd || !GetClientRect(hwnd, &rc) || rc.right <= 0 || rc.bottom <= 0) return img;
  CaptureBitmap cap;
  if (!MakeCaptureBitmap(cap, rc.right, rc.bottom)) return img;
  PrintTree(hwnd, cap.dc.get(), 0, 0);
  GdiFlush();
  img.width = rc.right;
  img.height = rc.bottom;
  img.pixels.assign(cap.bits, cap.bits + static_cast<size_t>(img.width) * img.height);
  return img;
}

}  // namespace fw
