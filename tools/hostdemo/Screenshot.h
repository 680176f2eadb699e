// The demo's screenshot: what the form's client area shows, read from its DC (a hidden
// form is composed off screen instead: each window prints itself through
// WM_PRINT, children over their parent in z-order), written as a PNG.
#pragma once

#include <windows.h>

#include <string>

namespace demo {

bool SaveWindowPng(HWND hwnd, const std::wstring& path);

}  // namespace demo
