// The Image control: a picture drawn over its container, at its own size
// scaled to the window's dpi (the control takes that size) or stretched to the
// control (Stretch); at another dpi than 96 from the picture's nearest source.
#pragma once

#include <memory>

#include "host/GraphicControl.h"
#include "host/Picture.h"

namespace fw {

class Image : public GraphicControl {
 public:
  Image();

  const std::shared_ptr<Picture>& GetPicture() const { return m_picture; }
  void SetPicture(std::shared_ptr<Picture> picture);
  bool Stretch() const { return m_stretch; }
  void SetStretch(bool stretch);
  // 0 none, 1 a single-line border.
  int32_t BorderStyle() const { return m_borderStyle; }
  void SetBorderStyle(int32_t style);

 protected:
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  void Draw(HDC dc, const RECT& client) override;
  void ApplyDpi() override;
  void Describe(AccessibleItem& item) const override;

 private:
  void FitToPicture();

  std::shared_ptr<Picture> m_picture;
  bool m_stretch = false;
  int32_t m_borderStyle = 0;
};

}  // namespace fw
