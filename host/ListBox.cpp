#include "host/ListBox.h"

#include "host/WideText.h"

namespace fw {

ListBox::ListBox() : NativeControl(u"ListBox", Colour(0x80000005u)) {}

void ListBox::OnBeforeCreate(const PropertyStore& p) { m_sorted = p.ReadBool(u"Sorted", false); }

HWND ListBox::CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) {
  windowless = false;
  DWORD style = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
  if (m_sorted) style |= LBS_SORT;
  return MakeWindow(L"LISTBOX", style, WS_EX_CLIENTEDGE, parent, pixels);
}

void ListBox::OnReadProperties(const PropertyStore& p) {
  ReadCommon(p);
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
}

void ListBox::OnWriteProperties(PropertyStore& p) {
  WriteCommon(p);
  p.Write(u"Sorted", m_sorted, false);
  std::u16string list;
  for (int32_t i = 0; i < ListCount(); ++i) {
    if (i) list += u"\r\n";
    list += List(i);
  }
  p.Write(u"List", list, u"");
}

void ListBox::AddItem(std::u16string_view item, std::optional<int32_t> index) {
  if (!hWnd()) return;
  const std::wstring text = ToWide(item);
  if (index && *index >= 0 && *index <= ListCount()) {
    SendMessageW(hWnd(), LB_INSERTSTRING, static_cast<WPARAM>(*index), reinterpret_cast<LPARAM>(text.c_str()));
  } else {
    SendMessageW(hWnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

void ListBox::RemoveItem(int32_t index) {
  if (hWnd()) SendMessageW(hWnd(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void ListBox::Clear() {
  if (hWnd()) SendMessageW(hWnd(), LB_RESETCONTENT, 0, 0);
}

int32_t ListBox::ListCount() const {
  if (!hWnd()) return 0;
  const LRESULT n = SendMessageW(hWnd(), LB_GETCOUNT, 0, 0);
  return n < 0 ? 0 : static_cast<int32_t>(n);
}

std::u16string ListBox::List(int32_t index) const {
  if (!hWnd()) return {};
  const LRESULT len = SendMessageW(hWnd(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (len < 0) return {};
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  const LRESULT got = SendMessageW(hWnd(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got < 0 ? 0 : static_cast<size_t>(got));
  return FromWide(text);
}

int32_t ListBox::ListIndex() const {
  return hWnd() ? static_cast<int32_t>(SendMessageW(hWnd(), LB_GETCURSEL, 0, 0)) : -1;
}

void ListBox::SetListIndex(int32_t index) {
  if (!hWnd()) return;
  SendMessageW(hWnd(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  if (Click) Click();
}

intptr_t ListBox::ItemData(int32_t index) const {
  return hWnd() ? static_cast<intptr_t>(SendMessageW(hWnd(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0)) : 0;
}

void ListBox::SetItemData(int32_t index, intptr_t data) {
  if (hWnd()) SendMessageW(hWnd(), LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

std::u16string ListBox::Text() const {
  const int32_t i = ListIndex();
  return i >= 0 ? List(i) : std::u16string();
}

bool ListBox::OnNotify(UINT code) {
  switch (code) {
    case LBN_SELCHANGE:
      if (Click) Click();
      return true;
    case LBN_DBLCLK:
      if (DblClick) DblClick();
      return true;
    default: return false;
  }
}

}  // namespace fw
