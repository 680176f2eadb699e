#include "host/ComboBox.h"
#include "host/Form.h"
#include "host/Image.h"
#include "host/Label.h"
#include "host/Line.h"
#include "host/ListBox.h"
#include "host/PictureBox.h"
#include "host/Shape.h"
#include "host/TextBox.h"
#include "host/Timer.h"

namespace fw {

void RegisterStandardControls() {
  static const bool once = [] {
    RegisterControlKind(u"Label", [] { return std::make_unique<Label>(); });
    RegisterControlKind(u"TextBox", [] { return std::make_unique<TextBox>(); });
    RegisterControlKind(u"ComboBox", [] { return std::make_unique<ComboBox>(); });
    RegisterControlKind(u"ListBox", [] { return std::make_unique<ListBox>(); });
    RegisterControlKind(u"PictureBox", [] { return std::make_unique<PictureBox>(); });
    RegisterControlKind(u"Image", [] { return std::make_unique<Image>(); });
    RegisterControlKind(u"Line", [] { return std::make_unique<Line>(); });
    RegisterControlKind(u"Shape", [] { return std::make_unique<Shape>(); });
    RegisterControlKind(u"Timer", [] { return std::make_unique<Timer>(); });
    return true;
  }();
  (void)once;
}

}  // namespace fw
