#include "host/ComboBox.h"

#include "host/WideText.h"

namespace fw {

ComboBox::ComboBox() : NativeControl(u"ComboBox", Colour(0x80000005u)) {}

void ComboBox::OnBeforeCreate(const PropertyStore& p) {
  m_style = p.ReadInt32(u"Style", 0);
  m_sorted = p.ReadBool(u"Sorted", false);
}

HWND ComboBox::CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) {
  windowless = false;
  DWORD style = WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL;
  style |= m_style == 1 ? CBS_SIMPLE : m_style == 2 ? CBS_DROPDOWNLIST : CBS_DROPDOWN;
  if (m_sorted) style |= CBS_SORT;
  RECT rc = pixels;
  // The window's height includes the dropped list; the field's height is the platform's.
  if (m_style != 1) rc.bottom = rc.top + (pixels.bottom - pixels.top) + kComboListPixels;
  return MakeWindow(L"COMBOBOX", style, 0, parent, rc);
}

void ComboBox::OnCreated() {
  NativeControl::OnCreated();
  SubclassPart(EditHwnd());
}

HWND ComboBox::EditHwnd() const {
  if (!hWnd()) return nullptr;
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(hWnd(), &info)) return nullptr;
  return info.hwndItem != hWnd() ? info.hwndItem : nullptr;
}

void ComboBox::OnMoved() {
  if (!hWnd() || m_style == 1) return;
  const RECT rc = PixelRect();
  SetWindowPos(hWnd(), nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top + kComboListPixels,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ComboBox::OnInitProperties() { SetText(Name()); }

void ComboBox::OnReadProperties(const PropertyStore& p) {
  ReadCommon(p);
  // "List" holds the design's items, one per line.
  const std::u16string list = p.ReadText(u"List", u"");
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find(u'\n', start);
    if (end == std::u16string::npos) end = list.size();
    std::u16string item = list.substr(start, end - start);
    if (!item.empty() && item.back() == u'\r') item.pop_back();
    AddItem(item);
    start = end + 1;
  }
  if (m_style != 2) SetText(p.ReadText(u"Text", u""));
  const int32_t index = p.ReadInt32(u"ListIndex", -1);
  if (index >= 0) SetListIndex(index);
}

void ComboBox::OnWriteProperties(PropertyStore& p) {
  WriteCommon(p);
  p.Write(u"Style", m_style, int32_t{0});
  p.Write(u"Sorted", m_sorted, false);
  std::u16string list;
  for (int32_t i = 0; i < ListCount(); ++i) {
    if (i) list += u"\r\n";
    list += List(i);
  }
  p.Write(u"List", list, u"");
  if (m_style != 2) p.Write(u"Text", Text(), u"");
}

void ComboBox::AddItem(std::u16string_view item, std::optional<int32_t> index) {
  if (!hWnd()) return;
  const std::wstring text = ToWide(item);
  if (index && *index >= 0 && *index <= ListCount()) {
    SendMessageW(hWnd(), CB_INSERTSTRING, static_cast<WPARAM>(*index), reinterpret_cast<LPARAM>(text.c_str()));
  } else {
    SendMessageW(hWnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

void ComboBox::RemoveItem(int32_t index) {
  if (hWnd()) SendMessageW(hWnd(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void ComboBox::Clear() {
  if (hWnd()) SendMessageW(hWnd(), CB_RESETCONTENT, 0, 0);
}

int32_t ComboBox::ListCount() const {
  if (!hWnd()) return 0;
  const LRESULT n = SendMessageW(hWnd(), CB_GETCOUNT, 0, 0);
  return n < 0 ? 0 : static_cast<int32_t>(n);
}

std::u16string ComboBox::List(int32_t index) const {
  if (!hWnd()) return {};
  const LRESULT len = SendMessageW(hWnd(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (len < 0) return {};
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  const LRESULT got = SendMessageW(hWnd(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got < 0 ? 0 : static_cast<size_t>(got));
  return FromWide(text);
}

int32_t ComboBox::ListIndex() const {
  return hWnd() ? static_cast<int32_t>(SendMessageW(hWnd(), CB_GETCURSEL, 0, 0)) : -1;
}

void ComboBox::SetListIndex(int32_t index) {
  if (!hWnd()) return;
  SendMessageW(hWnd(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  // A selection made in code is announced like one made with the mouse.
  if (Click) Click();
}

intptr_t ComboBox::ItemData(int32_t index) const {
  return hWnd() ? static_cast<intptr_t>(SendMessageW(hWnd(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0)) : 0;
}

void ComboBox::SetItemData(int32_t index, intptr_t data) {
  if (hWnd()) SendMessageW(hWnd(), CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

std::u16string ComboBox::Text() const { return WindowCaption(); }

void ComboBox::SetText(std::u16string_view text) {
  if (!hWnd()) return;
  if (m_style == 2) {
    const std::wstring w = ToWide(text);
    const LRESULT i = SendMessageW(hWnd(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(w.c_str()));
    if (i >= 0) SendMessageW(hWnd(), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    return;
  }
  SetWindowTextW(hWnd(), ToWide(text).c_str());
  // Typing raises Change through the combo's notification; a text set in code
  // raises it here, as the platform's text boxes do.
  if (Change) Change();
}

bool ComboBox::OnNotify(UINT code) {
  switch (code) {
    case CBN_SELCHANGE:
      if (Click) Click();
      return true;
    case CBN_EDITCHANGE:
      if (Change) Change();
      return true;
    case CBN_DROPDOWN:
      if (DropDown) DropDown();
      return true;
    default: return false;
  }
}

}  // namespace fw
