// The PictureBox control: a window with its own drawing surface that shows a
// picture at its top left, at the picture's own size scaled to the window's
// dpi (AutoSize: the box takes that size), and may hold other controls. It
// takes no focus.
#pragma once

#include <memory>

#include "host/Input.h"
#include "host/Picture.h"
#include "host/UserControl.h"

namespace fw {

class PictureBox : public UserControl {
 public:
  PictureBox();

  const std::shared_ptr<Picture>& GetPicture() const { return m_picture; }
  void SetPicture(std::shared_ptr<Picture> picture);
  bool AutoSize() const { return m_autoSize; }
  void SetAutoSize(bool autoSize);
  // 0 none, 1 a sunken single border.
  int32_t BorderStyle() const { return m_borderStyle; }
  void SetBorderStyle(int32_t style);

  EventHandler Click;
  EventHandler DblClick;
  MouseHandler MouseDown;
  MouseHandler MouseMove;
  MouseHandler MouseUp;
  EventHandler Resize;

 protected:
  void OnInitProperties() override;
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  void OnResize() override;
  void OnPaint() override;
  void OnMouseDown(int button, int shift, float x, float y) override;
  void OnMouseMove(int button, int shift, float x, float y) override;
  void OnMouseUp(int button, int shift, float x, float y) override;
  void OnClick() override;
  void OnDblClick() override;
  // A graphic, named by its tooltip when it has one (a picture's words).
  void OnAccessibleSelf(AccessibleItem& self) const override;

 private:
  void Redraw();
  void ApplyBorder();
  void FitToPicture();
  void DrawPicture();

  std::shared_ptr<Picture> m_picture;
  bool m_autoSize = false;
  int32_t m_borderStyle = 1;
};

}  // namespace fw
