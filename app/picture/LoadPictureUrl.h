// A picture from a web URL or a local path, as the platform's standard picture
// object (the kind a picture box shows).
//
// The caller must have initialised COM on the calling thread, apartment-threaded
// (OleInitialize, or CoInitializeEx with COINIT_APARTMENTTHREADED), and keep it
// initialised while it holds the picture. A load blocks the calling thread until
// the picture has been read or the fetch has failed; it never shows a dialog.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "host/Gdi.h"

namespace fw {

// The picture, through its dispatch interface; Picture::FromIPicture turns it
// into the host's picture for a picture box.
using PictureDispPtr = com_ptr<IPictureDisp>;

// Loads `urlOrPath` (an http URL, a file: URL or a local path) with the
// platform's path-or-URL picture loader; when that gives nothing for a local
// path, the local-file loader tries again. Empty when neither gives a picture: an
// unreachable URL, an answer that is not a picture, an unreadable file.
PictureDispPtr LoadPictureUrl(std::wstring_view urlOrPath);

// The local-file loader: reads the file and decodes it as a picture (bitmap,
// GIF, JPEG, icon, metafile), or, for a format the picture object cannot read
// itself (PNG, TIFF), through the platform's imaging codecs into a bitmap picture.
PictureDispPtr LoadPictureFile(std::wstring_view path);

// The picture object's own loader over bytes in memory (bitmap, GIF, JPEG,
// icon, metafile): what the path-or-URL loader does with what it downloaded.
PictureDispPtr LoadPictureBytes(std::span<const uint8_t> bytes);

// A picture's size in pixels at `dpi`, from its size in HiMetric units
// (0.01 mm), rounded to the nearest pixel (halves to even).
struct PixelSize {
  int width = 0;
  int height = 0;
};
std::optional<PixelSize> PictureSizeInPixels(IPictureDisp* picture, int dpi = 96);

}  // namespace fw
