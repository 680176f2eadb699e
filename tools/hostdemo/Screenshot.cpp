#include "tools/hostdemo/Screenshot.h"

#include <wincodec.h>

#include <vector>

#include "host/Gdi.h"
#include "host/Surface.h"

namespace demo {

namespace {

// Prints `hwnd` (frame and client) at (x, y) of `dc`, then its visible children
// from the bottom of the z-order up.
void PrintTree(HWND hwnd, HDC dc, int x, int y) {
  POINT old{};
  SetViewportOrgEx(dc, x, y, &old);
  SendMessageW(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(dc),
               PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
  // Children are placed relative to the client area, which the frame offsets.
  RECT window{};
  GetWindowRect(hwnd, &window);
  POINT client{0, 0};
  ClientToScreen(hwnd, &client);
  const int cx = x + client.x - window.left, cy = y + client.y - window.top;
  for (HWND child = GetWindow(hwnd, GW_CHILD) ? GetWindow(GetWindow(hwnd, GW_CHILD), GW_HWNDLAST) : nullptr;
       child; child = GetWindow(child, GW_HWNDPREV)) {
    if (!IsWindowVisible(child)) continue;
    RECT rc{};
    GetWindowRect(child, &rc);
    POINT at{rc.left, rc.top};
    ScreenToClient(hwnd, &at);
    PrintTree(child, dc, cx + at.x, cy + at.y);
  }
}

bool WritePng(const std::wstring& path, const fw::Surface& image) {
  using fw::com_ptr;
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  bool ok = false;
  {
    com_ptr<IWICImagingFactory> factory;
    com_ptr<IWICStream> stream;
    com_ptr<IWICBitmapEncoder> encoder;
    com_ptr<IWICBitmapFrameEncode> frame;
    const int w = image.Width(), h = image.Height();
    // 24-bit BGR rows, as the encoder takes them.
    std::vector<BYTE> rows(static_cast<size_t>(w) * 3 * h);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const uint32_t p = image.Bits()[static_cast<size_t>(y) * w + x];
        BYTE* out = &rows[(static_cast<size_t>(y) * w + x) * 3];
        out[0] = static_cast<BYTE>(p & 0xFF);
        out[1] = static_cast<BYTE>((p >> 8) & 0xFF);
        out[2] = static_cast<BYTE>((p >> 16) & 0xFF);
      }
    }
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    ok = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IWICImagingFactory, factory.put())) &&
         SUCCEEDED(factory->CreateStream(stream.put())) &&
         SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
         SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) &&
         SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
         SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) &&
         SUCCEEDED(frame->Initialize(nullptr)) &&
         SUCCEEDED(frame->SetSize(static_cast<UINT>(w), static_cast<UINT>(h))) &&
         SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR &&
         SUCCEEDED(frame->WritePixels(static_cast<UINT>(h), static_cast<UINT>(w) * 3,
                                      static_cast<UINT>(rows.size()), rows.data())) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return ok;
}

}  // namespace

bool SaveWindowPng(HWND hwnd, const std::wstring& path) {
  RECT rc{};
  if (!GetWindowRect(hwnd, &rc)) return false;
  fw::Surface image;
  if (!image.Resize(rc.right - rc.left, rc.bottom - rc.top, RGB(255, 255, 255))) return false;
  if (IsWindowVisible(hwnd)) {
    // What the window shows, frame and children included: its window DC reads
    // the window's own pixels, whatever covers it on the screen.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC window = GetWindowDC(hwnd);
    BitBlt(image.Dc(), 0, 0, image.Width(), image.Height(), window, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, window);
  } else {
    PrintTree(hwnd, image.Dc(), 0, 0);
  }
  GdiFlush();
  return WritePng(path, image);
}

}  // namespace demo
