// A push button for the demo, on the user-control base: raised face, pressed
// look while the left button is down inside, focus rectangle, an access key from
// its caption, and Enter/Escape as the form's default or cancel button.
#pragma once

#include <functional>

#include "host/UserControl.h"

namespace demo {

class DemoButton : public fw::UserControl {
 public:
  DemoButton();

  const std::u16string& Caption() const { return m_caption; }
  void SetCaption(std::u16string caption);

  std::function<void()> Click;

 protected:
  void OnInitProperties() override;
  void OnReadProperties(const fw::PropertyStore& props) override;
  void OnWriteProperties(fw::PropertyStore& props) override;
  void OnResize() override { Redraw(); }
  void OnPaint() override { Redraw(); }
  void OnMouseDown(int button, int shift, float x, float y) override;
  void OnMouseUp(int button, int shift, float x, float y) override;
  void OnClick() override;
  void OnKeyDown(int& keyCode, int shift) override;
  void OnGotFocus() override { Update(); }
  void OnLostFocus() override { Update(); }
  void OnAccessKeyPress(int keyAscii) override;
  void OnAmbientChanged(std::u16string_view name) override;

 private:
  void Redraw();
  void Update();
  void RaiseClick();

  std::u16string m_caption;
  bool m_pressed = false;
};

}  // namespace demo
