#include "host/TextBox.h"

#include <oleacc.h>
#include <windowsx.h>

#include <limits>

#include "host/Accessible.h"
#include "host/Label.h"
#include "host/WideText.h"

namespace fw {

class TextBox::Accessibility : public AccessibleSource {
 public:
  explicit Accessibility(const TextBox& box) : m_box(box) {}
  HWND AccessibleWindow() const override { return m_box.hWnd(); }
  void DescribeSelf(AccessibleItem& self) const override {
    if (const Label* label = m_box.LabelBefore()) {
      self.name = FieldNameFromLabel(label->Caption());
      if (const char16_t key = label->UseMnemonic() ? MnemonicOf(label->Caption()) : 0) {
        const char16_t upper = key >= u'a' && key <= u'z' ? static_cast<char16_t>(key - 32) : key;
        self.keyboardShortcut = u"Alt+" + std::u16string(1, upper);
      }
    }
    if (!m_box.AccessibleDescription().empty()) self.description = m_box.AccessibleDescription();
  }

 private:
  const TextBox& m_box;
};

TextBox::TextBox() : NativeControl(u"TextBox", SystemColour(COLOR_WINDOW)) {}
TextBox::~TextBox() = default;

LRESULT TextBox::OnGetObject(WPARAM w, LPARAM l) {
  if (!m_accessibility) m_accessibility = std::make_unique<Accessibility>(*this);
  return m_accessibility->AnswerGetObject(w, l);
}

void TextBox::SetAccessibleDescription(std::u16string_view description) {
  if (m_accessibleDescription == description) return;
  m_accessibleDescription = std::u16string(description);
  if (hWnd()) NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, hWnd(), OBJID_CLIENT, CHILDID_SELF);
}

DWORD TextBox::StyleBits() const {
  DWORD s = WS_TABSTOP | ES_AUTOHSCROLL;
  if (m_multiLine) s |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (m_alignment == 1) s |= ES_RIGHT;
  else if (m_alignment == 2) s |= ES_CENTER;
  if (m_locked) s |= ES_READONLY;
  if (!m_passwordChar.empty()) s |= ES_PASSWORD;
  if (m_scrollBars & 1) s |= WS_HSCROLL;
  if (m_scrollBars & 2) s |= WS_VSCROLL;
  return s;
}

HWND TextBox::CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) {
  windowless = false;
  return MakeWindow(L"EDIT", StyleBits(), m_borderStyle ? WS_EX_CLIENTEDGE : 0, parent, pixels);
}

void TextBox::OnInitProperties() { SetText(Name()); }

void TextBox::OnBeforeCreate(const PropertyStore& p) {
  m_multiLine = p.ReadBool(u"MultiLine", false);
  m_alignment = p.ReadInt32(u"Alignment", 0);
  m_borderStyle = p.ReadInt32(u"BorderStyle", 1);
  m_passwordChar = p.ReadText(u"PasswordChar", u"");
  m_scrollBars = p.ReadInt32(u"ScrollBars", 0);
  m_locked = p.ReadBool(u"Locked", false);
}

void TextBox::OnReadProperties(const PropertyStore& p) {
  ReadCommon(p);
  if (!m_passwordChar.empty()) SendMessageW(hWnd(), EM_SETPASSWORDCHAR, m_passwordChar[0], 0);
  SetLocked(p.ReadBool(u"Locked", false));
  SetMaxLength(p.ReadInt32In(u"MaxLength", 0, 0, std::numeric_limits<int32_t>::max()));
  SetText(p.ReadText(u"Text", u""));
}

void TextBox::OnWriteProperties(PropertyStore& p) {
  p.Write(u"Text", Text(), u"");
  WriteCommon(p);
  p.Write(u"Locked", m_locked, false);
  p.Write(u"MaxLength", m_maxLength, int32_t{0});
  p.Write(u"MultiLine", m_multiLine, false);
  p.Write(u"Alignment", m_alignment, int32_t{0});
  p.Write(u"BorderStyle", m_borderStyle, int32_t{1});
  p.Write(u"PasswordChar", m_passwordChar, u"");
  p.Write(u"ScrollBars", m_scrollBars, int32_t{0});
}

std::u16string TextBox::Text() const { return WindowCaption(); }

void TextBox::SetText(std::u16string_view text) {
  if (hWnd()) SetWindowTextW(hWnd(), ToWide(text).c_str());
}

void TextBox::SetLocked(bool locked) {
  m_locked = locked;
  if (hWnd()) SendMessageW(hWnd(), EM_SETREADONLY, locked, 0);
}

void TextBox::SetMaxLength(int32_t length) {
  m_maxLength = length < 0 ? 0 : length;
  if (hWnd()) SendMessageW(hWnd(), EM_LIMITTEXT, static_cast<WPARAM>(m_maxLength), 0);
}

int32_t TextBox::SelStart() const {
  DWORD start = 0, end = 0;
  if (hWnd()) SendMessageW(hWnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int32_t>(start);
}

int32_t TextBox::SelLength() const {
  DWORD start = 0, end = 0;
  if (hWnd()) SendMessageW(hWnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int32_t>(end - start);
}

std::u16string TextBox::SelText() const {
  const std::u16string text = Text();
  const size_t start = std::min<size_t>(static_cast<size_t>(SelStart()), text.size());
  return text.substr(start, static_cast<size_t>(SelLength()));
}

void TextBox::SetSelStart(int32_t start) {
  if (hWnd()) SendMessageW(hWnd(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start));
}

void TextBox::SetSelLength(int32_t length) {
  const int32_t start = SelStart();
  if (hWnd()) SendMessageW(hWnd(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
}

void TextBox::SetSelText(std::u16string_view text) {
  if (hWnd()) SendMessageW(hWnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(ToWide(text).c_str()));
}

bool TextBox::OnNotify(UINT code) {
  if (code == EN_CHANGE) {
    if (Change) Change();
    return true;
  }
  return false;
}

}  // namespace fw
