// The spin text box's looks: enabled and disabled, 89 x 21 pixels, showing 12.5.

#include "controls/xpText/xpText.h"
#include "host/Form.h"
#include "tools/gallery/Gallery.h"

namespace fw::gallery {

namespace {

// 1335 twips: 89 pixels at 96 dpi; the height is the control's own 315 twips.
constexpr int32_t kWidthTwips = 1335;
constexpr int32_t kHeightTwips = 315;

PixelImage RenderText(Form& stage, bool enabled) {
  PixelImage image;
  const ProgramFontOnStage font(stage);
  auto* box = stage.Add<xpText>(u"xpText1", nullptr, 0, 0, kWidthTwips, kHeightTwips);
  if (!box) return image;
  box->SetText(u"12.5");
  box->SetEnabled(enabled);
  UserControl::DoEvents();
  image = CaptureWindowTree(box->hWnd());
  box->Destroy();
  return image;
}

}  // namespace

void xpTextLooks(LookList& looks) {
  RegisterxpText();
  looks.push_back({L"xpText", L"enabled", [](Form& stage) { return RenderText(stage, true); }});
  looks.push_back({L"xpText", L"disabled", [](Form& stage) { return RenderText(stage, false); }});
}

}  // namespace fw::gallery
