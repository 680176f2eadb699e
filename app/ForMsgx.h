// ForMsgx: the program's message box. A skinned frame around a prompt, a
// warning picture of nine tiles and up to three buttons in a centred row. It is
// one shared window object, loaded afresh for every message (so every message
// starts with its buttons hidden), shown modally over its owner and unloaded
// before the result is returned. Open it through ShowMessageBox (ModMain.h).
#pragma once

#include <cstdint>
#include <string_view>

#include "host/Form.h"

namespace fw {

class ForMsgx : public Form {
 public:
  static constexpr std::u16string_view kDesignName = u"ForMsgx";

  ForMsgx();
  ~ForMsgx() override;

  // Loads the window, shows `Prompt` under the title `PromptCaption` with the
  // buttons `Flags` chooses, waits modally over `iForm` and returns the result
  // of the button pressed (0 when the box was closed without one).
  int32_t dwMessageBox(std::u16string_view Prompt, int32_t Flags, std::u16string_view PromptCaption,
                       Form* iForm);

  // The result so far: 0 from the start of each message until a button is pressed.
  int32_t Result() const { return m_result; }

 protected:
  void OnLoad() override;
  void OnActivate() override;
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;
  // A box that only tells (one button or none) is an alert, one that asks for
  // a choice a dialog; its prompt is its description.
  void OnAccessibleSelf(AccessibleItem& self) const override;

 private:
  void OnButtonClick(int32_t index);
  void OnEscape();
  bool IsAlert() const { return m_shownButtons <= 1; }

  int32_t m_result = 0;
  size_t m_shownButtons = 0;
  // An alert is announced once, when it first becomes active.
  bool m_alertPending = false;
};

}  // namespace fw
