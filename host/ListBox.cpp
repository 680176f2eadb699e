#include "host/ListBox.h"

#include "host/ItemList.h"

#include "host/WideText.h"

namespace fw {

ListBox::ListBox() : NativeControl(u"ListBox", SystemColour(COLOR_WINDOW)) {}

void ListBox::OnBeforeCreate(const PropertyStore& p) { m_sorted = p.ReadBool(u"Sorted", false); }

HWND ListBox::CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) {
  windowless = false;
  DWORD style = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
  if (m_sorted) style |= LBS_SORT;
  return MakeWindow(L"LISTBOX", style, WS_EX_CLIENTEDGE, parent, pixels);
}

void ListBox::OnReadProperties(const PropertyStore& p) {
  ReadCommon(p);
  Items().ReadList(p);
}

void ListBox::OnWriteProperties(PropertyStore& p) {
  WriteCommon(p);
  p.Write(u"Sorted", m_sorted, false);
  Items().WriteList(p);
}

void ListBox::AddItem(std::u16string_view item, std::optional<int32_t> index) {
  Items().Add(item, index);
}

void ListBox::RemoveItem(int32_t index) { Items().Remove(index); }

void ListBox::Clear() { Items().Clear(); }

int32_t ListBox::ListCount() const { return Items().Count(); }

std::u16string ListBox::List(int32_t index) const { return Items().Item(index); }

int32_t ListBox::ListIndex() const { return Items().Selection(); }

void ListBox::SetListIndex(int32_t index) {
  if (!hWnd()) return;
  Items().Select(index);
  // A selection made in code is announced like one made with the mouse.
  if (Click) Click();
}

intptr_t ListBox::ItemData(int32_t index) const { return Items().Data(index); }

void ListBox::SetItemData(int32_t index, intptr_t data) { Items().SetData(index, data); }

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
