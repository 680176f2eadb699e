// The TextBox control: the platform's EDIT window.
#pragma once

#include <memory>
#include <string>

#include "host/NativeControl.h"

namespace fw {

class TextBox : public NativeControl {
 public:
  TextBox();
  ~TextBox() override;

  std::u16string Text() const;
  void SetText(std::u16string_view text);
  bool Locked() const { return m_locked; }
  void SetLocked(bool locked);
  int32_t MaxLength() const { return m_maxLength; }
  // 0: no limit beyond the platform's.
  void SetMaxLength(int32_t length);
  int32_t SelStart() const;
  int32_t SelLength() const;
  std::u16string SelText() const;
  void SetSelStart(int32_t start);
  void SetSelLength(int32_t length);
  void SetSelText(std::u16string_view text);
  // Fixed when the window is made (read from the design): multi-line, alignment
  // (0 left, 1 right, 2 centre), border (0 none, 1 fixed single), password char,
  // scroll bars (0 none, 1 horizontal, 2 vertical, 3 both).
  bool MultiLine() const { return m_multiLine; }
  int32_t Alignment() const { return m_alignment; }
  int32_t BorderStyle() const { return m_borderStyle; }

  // What assistive technology reads beside the name (the label before the
  // box): a hint or the reason its text was refused. Empty: none.
  const std::u16string& AccessibleDescription() const { return m_accessibleDescription; }
  void SetAccessibleDescription(std::u16string_view description);

  // Raised on every change of the text, by the user or by SetText.
  EventHandler Change;
  EventHandler Click;

 protected:
  HWND CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) override;
  void OnBeforeCreate(const PropertyStore& props) override;
  void OnInitProperties() override;
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  bool OnNotify(UINT code) override;
  // Named by the label placed just before it, as a dialog's field is, with
  // that label's access key; the rest is the platform's edit object.
  LRESULT OnGetObject(WPARAM w, LPARAM l) override;

 private:
  class Accessibility;
  DWORD StyleBits() const;

  std::unique_ptr<Accessibility> m_accessibility;  // made when a tool first asks
  std::u16string m_accessibleDescription;

  bool m_locked = false;
  int32_t m_maxLength = 0;
  bool m_multiLine = false;
  int32_t m_alignment = 0;
  int32_t m_borderStyle = 1;
  std::u16string m_passwordChar;
  int32_t m_scrollBars = 0;
};

}  // namespace fw
