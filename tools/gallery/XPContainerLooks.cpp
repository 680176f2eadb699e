// The header container's looks: each theme with its header, and the headerless
// style, at the size and with the caption the main window gives it.

#include <cstdio>

#include "controls/XPContainer/XPContainer.h"
#include "host/Form.h"
#include "tools/gallery/Gallery.h"

namespace fw::gallery {

namespace {

// 3015 x 3015 twips: 201 x 201 pixels at 96 dpi.
constexpr int32_t kSideTwips = 3015;
constexpr char16_t kCaption[] = u"\u6240\u5728\u57CE\u5E02";  // 所在城市

PixelImage RenderContainer(Form& stage, int32_t theme, int32_t style) {
  PixelImage image;
  auto* box = stage.Add<XPContainer>(u"XPContainer1", nullptr, 0, 0, kSideTwips, kSideTwips);
  if (!box) return image;
  box->SetCaption(kCaption);
  box->SetTheme(theme);
  box->SetStyle(style);
  UserControl::DoEvents();
  image = CaptureWindowTree(box->hWnd());
  box->Destroy();
  return image;
}

}  // namespace

void XPContainerLooks(LookList& looks) {
  RegisterXPContainer();
  auto add = [&](int32_t theme, int32_t style) {
    wchar_t name[32];
    std::swprintf(name, 32, L"theme%02d-style%d", static_cast<int>(theme), static_cast<int>(style));
    looks.push_back({L"XPContainer", name, [theme, style](Form& stage) {
                       return RenderContainer(stage, theme, style);
                     }});
  };
  for (int32_t theme = 0; theme < 12; ++theme) add(theme, 0);
  add(2, 1);
}

}  // namespace fw::gallery
