// The header container's header strip: a child window with a drawing surface of
// its own that keeps what was drawn on it (the header gradient) until it is
// drawn again, and shows it to the caption label lying on it (WM_PRINTCLIENT).
// A window of its own, so that hiding it hides the caption with it.
#pragma once

#include <windows.h>

#include "host/Surface.h"

namespace fw::xpcontainer {

class HeaderStrip {
 public:
  HeaderStrip() = default;
  HeaderStrip(const HeaderStrip&) = delete;
  HeaderStrip& operator=(const HeaderStrip&) = delete;
  ~HeaderStrip();

  // Creates the strip (hidden) as a child of `parent` at `rc` (parent's client
  // coordinates).
  bool Create(HWND parent, const RECT& rc);
  void Destroy();

  HWND hWnd() const { return m_hwnd; }
  HDC hDC() const { return m_surface.Dc(); }
  const Surface& GetSurface() const { return m_surface; }
  // The inner size (the strip has no border): its surface's size.
  int ScaleWidth() const { return m_surface.Width(); }
  int ScaleHeight() const { return m_surface.Height(); }

  void SetWidth(int width);
  // Moves and sizes the strip (its place in the container, in pixels).
  void Place(const RECT& rc);
  void SetVisible(bool visible);
  bool Visible() const;
  // Shows what was drawn on the surface (and the label over it).
  void Refresh();

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l);

  // -- Message handlers
  LRESULT OnWmSize(WPARAM w, LPARAM l);
  LRESULT OnWmPaint(WPARAM w, LPARAM l);
  LRESULT OnWmPrintClient(WPARAM w, LPARAM l);
  LRESULT OnWmNcDestroy(WPARAM w, LPARAM l);

  HWND m_hwnd = nullptr;
  Surface m_surface;
};

}  // namespace fw::xpcontainer
