// The header container's two child parts that show on screen: the header strip,
// a child window with a drawing surface of its own that carries the header
// gradient, and the caption label inside it.
//
// Both are real child windows: the strip so that it can be hidden with its
// label by one call, the label so that its text is the window text
// (WM_GETTEXT) that assistive tools read.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "host/Font.h"
#include "host/Gdi.h"
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
  void SetVisible(bool visible);
  bool Visible() const;
  // Shows what was drawn on the surface (and the label over it).
  void Refresh();

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l);

  // -- Message handlers
  LRESULT OnSize(WPARAM w, LPARAM l);
  LRESULT OnPaint(WPARAM w, LPARAM l);
  LRESULT OnPrintClient(WPARAM w, LPARAM l);
  LRESULT OnNcDestroy(WPARAM w, LPARAM l);

  HWND m_hwnd = nullptr;
  Surface m_surface;
};

class CaptionLabel {
 public:
  CaptionLabel() = default;
  CaptionLabel(const CaptionLabel&) = delete;
  CaptionLabel& operator=(const CaptionLabel&) = delete;
  ~CaptionLabel();

  // Creates the label (visible within its parent) at (left, top), sized to its text.
  bool Create(HWND parent, int left, int top, std::shared_ptr<Font> font);
  void Destroy();

  HWND hWnd() const { return m_hwnd; }
  std::u16string Text() const;
  // Sets the text and fits the label's width to it.
  void SetText(std::u16string_view text);
  COLORREF TextColour() const { return m_textColour; }
  void SetTextColour(COLORREF colour);
  void SetTop(int top);
  // The label's place in its parent.
  RECT Bounds() const;
  // The height of one line of the label's font: the label's height.
  int Height() const { return m_height; }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l);
  void Draw(HDC dc);
  SIZE MeasureText(std::u16string_view text) const;

  // -- Message handlers
  LRESULT OnPaint(WPARAM w, LPARAM l);
  LRESULT OnPrintClient(WPARAM w, LPARAM l);
  LRESULT OnNcHitTest(WPARAM w, LPARAM l);
  LRESULT OnNcDestroy(WPARAM w, LPARAM l);

  HWND m_hwnd = nullptr;
  std::shared_ptr<Font> m_font;
  unique_hfont m_hfont;
  COLORREF m_textColour = 0;
  int m_height = 0;
};

}  // namespace fw::xpcontainer
