// A container for the demo: a vertical gradient from ColorTop to ColorBottom with
// a bold caption at the top and a one-pixel border; other controls sit on it.
#pragma once

#include "host/UserControl.h"

namespace demo {

class GradientPanel : public fw::UserControl {
 public:
  GradientPanel();

  const std::u16string& Caption() const { return m_caption; }
  void SetCaption(std::u16string caption);
  void SetColors(fw::Colour top, fw::Colour bottom);

 protected:
  void OnInitProperties() override;
  void OnReadProperties(const fw::PropertyStore& props) override;
  void OnWriteProperties(fw::PropertyStore& props) override;
  void OnResize() override { Redraw(); }
  void OnPaint() override { Redraw(); }

 private:
  void Redraw();

  std::u16string m_caption;
  fw::Colour m_top{0x00FFFFFFu};
  fw::Colour m_bottom{0x00C0C0C0u};
};

}  // namespace demo
