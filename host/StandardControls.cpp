#include "host/Form.h"
#include "host/Timer.h"

namespace fw {

void RegisterStandardControls() {
  static const bool once = [] {
    RegisterControlKind(u"Timer", [] { return std::make_unique<Timer>(); });
    return true;
  }();
  (void)once;
}

}  // namespace fw
