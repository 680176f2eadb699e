#include "host/ComboBox.h"

#include "host/ItemList.h"

#include "host/WideText.h"

namespace fw {

ComboBox::ComboBox() : NativeControl(u"ComboBox", SystemColour(COLOR_WINDOW)) {}

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
  if (m_style != 1) rc.bottom = rc.top + (pixels.bottom - pixels.top) + Scaled(kComboListPixels);
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
  SetWindowPos(hWnd(), nullptr, 0, 0, rc.right - rc.left,
               rc.bottom - rc.top + Scaled(kComboListPixels),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ComboBox::OnInitProperties() { SetText(Name()); }

void ComboBox::OnReadProperties(const PropertyStore& p) {
  ReadCommon(p);
  // "List" holds the design's items, one per line.
  Items().ReadList(p);
  if (m_style != 2) SetText(p.ReadText(u"Text", u""));
  const int32_t index = p.ReadInt32(u"ListIndex", -1);
  if (index >= 0) SetListIndex(index);
}

void ComboBox::OnWriteProperties(PropertyStore& p) {
  WriteCommon(p);
  p.Write(u"Style", m_style, int32_t{0});
  p.Write(u"Sorted", m_sorted, false);
  Items().WriteList(p);
  if (m_style != 2) p.Write(u"Text", Text(), u"");
}

void ComboBox::AddItem(std::u16string_view item, std::optional<int32_t> index) {
  Items().Add(item, index);
}

void ComboBox::RemoveItem(int32_t index) { Items().Remove(index); }

void ComboBox::Clear() { Items().Clear(); }

int32_t ComboBox::ListCount() const { return Items().Count(); }

std::u16string ComboBox::List(int32_t index) const { return Items().Item(index); }

int32_t ComboBox::ListIndex() const { return Items().Selection(); }

void ComboBox::SetListIndex(int32_t index) {
  if (!hWnd()) return;
  Items().Select(index);
  // A selection made in code is announced like one made with the mouse.
  if (Click) Click();
}

intptr_t ComboBox::ItemData(int32_t index) const { return Items().Data(index); }

void ComboBox::SetItemData(int32_t index, intptr_t data) { Items().SetData(index, data); }

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
