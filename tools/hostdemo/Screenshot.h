// The demo's screenshot: the form and its children composed off screen (each
// window prints itself through WM_PRINT, children over their parent in z-order)
// and written as a 24-bit PNG through the platform's imaging component.
#pragma once

#include <windows.h>

#include <string>

namespace demo {

bool SaveWindowPng(HWND hwnd, const std::wstring& path);

}  // namespace demo
