// The base of the controls the host draws itself over their container's
// background: Label, Image, Line and Shape. Each is a real child window (so its
// text can be read with WM_GETTEXT), painted through a memory DC: first the part
// of the container under it (the container's surface, through WM_PRINTCLIENT),
// then its own drawing. So a label sits on a gradient with no box around it.
#pragma once

#include <windows.h>

#include "host/Control.h"
#include "host/Input.h"

namespace fw {

class GraphicControl : public Control {
 public:
  // Mouse events (labels and images; lines and shapes let the mouse through).
  EventHandler Click;
  EventHandler DblClick;
  MouseHandler MouseDown;
  MouseHandler MouseMove;
  MouseHandler MouseUp;

  ~GraphicControl() override;

  bool IsTransparent() const override { return true; }
  // Repaints now.
  void Refresh();

 protected:
  // `mouseTransparent`: the control lets mouse messages through to its container.
  GraphicControl(std::u16string kind, bool mouseTransparent);

  // Draws the control over the background already in `dc` (client coordinates).
  virtual void Draw(HDC dc, const RECT& client) = 0;
  // True: the container shows through; false: Draw paints every pixel.
  virtual bool ShowsContainer() const { return true; }
  // Marks the window for repainting.
  void Redraw();

  HWND CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) override;

 private:
  static bool RegisterWindowClass();
  static LRESULT CALLBACK WndProcThunk(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l);

  // -- Message handlers
  LRESULT OnWmPaint(WPARAM w, LPARAM l);
  LRESULT OnWmPrintClient(WPARAM w, LPARAM l);
  LRESULT OnWmNcHitTest(WPARAM w, LPARAM l);
  LRESULT OnWmMouse(UINT msg, WPARAM w, LPARAM l);

  void PaintTo(HDC dc);

  bool m_mouseTransparent = false;
  bool m_leftDown = false;
};

}  // namespace fw
