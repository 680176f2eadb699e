// The gradient label's looks: each style in each colour theme, at the size of a
// caption row (160 x 24 pixels), centred, with the new label's other defaults;
// the text-box style's rounded ends and the framed style with an icon.

#include <cstdio>

#include "controls/skLabel/skLabel.h"
#include "host/Form.h"
#include "tools/gallery/Gallery.h"

namespace fw::gallery {

namespace {

// 2400 x 360 twips: 160 x 24 pixels at 96 dpi.
constexpr int32_t kWidthTwips = 2400;
constexpr int32_t kHeightTwips = 360;
constexpr char16_t kCaption[] = u"\u6240\u5728\u57CE\u5E02";  // 所在城市

PixelImage RenderLabel(Form& stage, const std::function<void(skLabel&)>& set) {
  PixelImage image;
  const ProgramFontOnStage font(stage);
  auto* label = stage.Add<skLabel>(u"skLabel1", nullptr, 0, 0, kWidthTwips, kHeightTwips);
  if (!label) return image;
  label->SetCaption(kCaption);
  set(*label);
  UserControl::DoEvents();
  image = CaptureWindowTree(label->hWnd());
  label->Destroy();
  return image;
}

}  // namespace

void skLabelLooks(LookList& looks) {
  RegisterskLabel();
  for (int32_t style = 0; style <= 4; ++style) {
    for (int32_t theme = 0; theme <= 5; ++theme) {
      wchar_t name[32];
      std::swprintf(name, 32, L"style%d-theme%d", static_cast<int>(style), static_cast<int>(theme));
      looks.push_back({L"skLabel", name, [style, theme](Form& stage) {
                         return RenderLabel(stage, [&](skLabel& l) {
                           l.SetStyle(style);  // its defaults first, then the look's settings
                           l.SetAlignment(2);
                           l.SetThemeColor(theme);
                         });
                       }});
    }
  }
  looks.push_back({L"skLabel", L"style2-rounded", [](Form& stage) {
                     return RenderLabel(stage, [](skLabel& l) {
                       l.SetStyle(2);
                       l.SetAlignment(2);
                       l.SetRoundedCornerTxtBox(true);
                     });
                   }});
  looks.push_back({L"skLabel", L"style0-icon", [](Form& stage) {
                     return RenderLabel(stage, [](skLabel& l) {
                       l.SetStyle(0);
                       l.SetAlignment(2);
                       l.SetIconSize(16);
                       l.SetIconAlignment(0);
                       l.SetPicture(Picture::FromResource(u"IDI_FUELWISE"));
                     });
                   }});
}

}  // namespace fw::gallery
