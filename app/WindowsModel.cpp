#include "app/WindowsModel.h"

#include <cmath>

namespace fw::windows {

int32_t ButtonSetOf(int32_t flags) {
  for (int32_t icon : {16, 32, 48, 64}) {
    if (flags >= icon && flags < icon + 16) return flags - icon;
  }
  return flags;
}

std::vector<std::u16string_view> ButtonCaptions(int32_t buttonSet) {
  switch (buttonSet) {
    case 0: return {u"OK"};
    case 1: return {u"OK", u"Cancel"};
    case 2: return {u"OK", u"Ignore"};
    case 3: return {u"Yes", u"No"};
    case 4: return {u"Yes", u"No", u"Cancel"};
    default: return {};
  }
}

int32_t ResultOf(std::u16string_view caption, int32_t previous) {
  if (caption == u"OK") return kResultOk;
  if (caption == u"Cancel") return kResultCancel;
  if (caption == u"Ignore") return kResultIgnore;
  if (caption == u"Yes") return kResultYes;
  if (caption == u"No") return kResultNo;
  return previous;
}

std::vector<int32_t> RowLefts(int32_t windowWidth, const std::vector<int32_t>& widths,
                              int32_t gap) {
  std::vector<int32_t> lefts;
  if (widths.empty()) return lefts;
  int64_t total = 0;
  for (int32_t w : widths) total += w;
  total += static_cast<int64_t>(gap) * static_cast<int64_t>(widths.size() - 1);
  int64_t left = (static_cast<int64_t>(windowWidth) - total) / 2;
  for (int32_t w : widths) {
    lefts.push_back(static_cast<int32_t>(left));
    left += w + gap;
  }
  return lefts;
}

int32_t ThemeFromUniform(double uniform) {
  if (!(uniform >= 0.0)) uniform = 0.0;
  if (uniform >= 1.0) uniform = std::nextafter(1.0, 0.0);
  return static_cast<int32_t>(std::floor(uniform * 5.0)) + 1;
}

}  // namespace fw::windows
