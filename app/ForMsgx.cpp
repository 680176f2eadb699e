#include "app/ForMsgx.h"

#include <oleacc.h>

#include <vector>

#include "app/ModMain.h"
#include "app/WindowsModel.h"
#include "controls/skForms/skForms.h"
#include "controls/skbutton/skbutton.h"
#include "host/Accessible.h"
#include "host/Image.h"
#include "host/Label.h"

namespace fw {

namespace {

constexpr int32_t kButtons = 3;
constexpr int kEscape = 27;
// What a reader calls the sign.
constexpr std::u16string_view kSignName = u"警告";

}  // namespace

ForMsgx::ForMsgx() = default;
ForMsgx::~ForMsgx() = default;

void ForMsgx::OnLoad() {
  // 1. The main window's caption and icon, until the message's own title is set.
  if (Form* main = MainWindow(); main && main != this) {
    SetCaption(main->Caption());
    if (main->Icon()) SetIcon(main->Icon());
  }
  // 2.
  if (auto* frame = Get<skForms>(u"skForms1")) {
    frame->SetMaxButton(false);
    frame->SetMinButton(false);
    frame->SetBorderStyle(0);
    frame->SetStyle(2);
  }
  // The warning sign, drawn in nine tiles, reads as one picture: the first
  // tile stands for the whole sign, the others are left out.
  Image* sign = Get<Image>(u"Image1");
  for (int k = 2; k <= 9 && sign; ++k) {
    if (auto* tile = Get<Image>(u"Image" + std::u16string(1, static_cast<char16_t>(u'0' + k)))) {
      tile->SetAccessibleHidden(true);
    }
  }
  if (sign) {
    sign->SetAccessibleDescriber([this](AccessibleItem& item) {
      item.name = std::u16string(kSignName);
      for (int k = 2; k <= 9; ++k) {
        const auto* tile = Get<Image>(u"Image" + std::u16string(1, static_cast<char16_t>(u'0' + k)));
        if (!tile || !item.location) continue;
        RECT at = tile->PixelRect();
        MapWindowPoints(tile->ContainerHwnd(), nullptr, reinterpret_cast<POINT*>(&at), 2);
        UnionRect(&*item.location, &*item.location, &at);
      }
    });
  }
  // 3.
  BindArray<skbutton>(u"cmdButton", [this](skbutton& button, int32_t index) {
    button.SetVisible(false);
    button.Click = [this, index] { OnButtonClick(index); };
    // A button that keeps Escape for itself still lets it close the box.
    button.KeyDown = [this](int& keyCode, int) {
      if (keyCode == kEscape) OnEscape();
    };
  });
}

int32_t ForMsgx::dwMessageBox(std::u16string_view Prompt, int32_t Flags,
                              std::u16string_view PromptCaption, Form* iForm) {
  // Each message starts without a result, so Escape never returns the last one's.
  m_result = windows::kResultNone;
  if (!IsLoaded() && !LoadFromResource(kDesignName)) return m_result;
  // 1.
  const int32_t buttonSet = windows::ButtonSetOf(Flags);
  // 2.
  if (auto* text = Get<Label>(u"lbText")) text->SetCaption(Prompt);
  SetCaption(PromptCaption);
  // 3.
  std::vector<skbutton*> shown;
  const auto captions = windows::ButtonCaptions(buttonSet);
  for (size_t k = 0; k < captions.size() && k < kButtons; ++k) {
    auto* button = Get<skbutton>(u"cmdButton", static_cast<int32_t>(k));
    if (!button) continue;
    button->SetCaption(captions[k]);
    button->SetVisible(true);
    shown.push_back(button);
  }
  // 4. One row, centred in the window's width.
  std::vector<int32_t> widths;
  for (skbutton* button : shown) widths.push_back(button->Width());
  const auto lefts = windows::RowLefts(ScaleWidth(), widths);
  for (size_t k = 0; k < shown.size(); ++k) {
    shown[k]->Move(lefts[k], windows::kButtonRowTop, shown[k]->Width(), shown[k]->Height());
  }
  if (auto* frame = Get<skForms>(u"skForms1")) frame->Refresh();
  m_shownButtons = shown.size();
  m_alertPending = IsAlert();
  // 5.
  ShowModal(iForm);
  m_alertPending = false;
  // 6.
  const int32_t result = m_result;
  Unload();
  return result;
}

void ForMsgx::OnButtonClick(int32_t index) {
  auto* button = Get<skbutton>(u"cmdButton", index);
  if (!button) return;
  m_result = windows::ResultOf(button->Caption(), m_result);
  Hide();
}

void ForMsgx::OnEscape() { Unload(); }

void ForMsgx::OnActivate() {
  if (!m_alertPending) return;
  m_alertPending = false;
  NotifyWinEvent(EVENT_SYSTEM_ALERT, hWnd(), OBJID_CLIENT, CHILDID_SELF);
}

void ForMsgx::OnAccessibleSelf(AccessibleItem& self) const {
  self.role = IsAlert() ? ROLE_SYSTEM_ALERT : ROLE_SYSTEM_DIALOG;
  if (const auto* text = Get<Label>(u"lbText")) self.description = text->Caption();
}

bool ForMsgx::OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  if (!IsEscape(msg, w, l)) return false;
  OnEscape();
  result = 0;
  return true;
}

}  // namespace fw
