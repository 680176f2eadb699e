// The ListBox control: the platform's LISTBOX (single selection).
#pragma once

#include <optional>
#include <string>

#include "host/ItemList.h"
#include "host/NativeControl.h"

namespace fw {

class ListBox : public NativeControl {
 public:
  ListBox();

  void AddItem(std::u16string_view item, std::optional<int32_t> index = {});
  void RemoveItem(int32_t index);
  void Clear();
  int32_t ListCount() const;
  std::u16string List(int32_t index) const;
  int32_t ListIndex() const;
  // -1 clears the selection. Raises Click.
  void SetListIndex(int32_t index);
  intptr_t ItemData(int32_t index) const;
  void SetItemData(int32_t index, intptr_t data);
  // The selected item's text, or empty.
  std::u16string Text() const;
  bool Sorted() const { return m_sorted; }

  EventHandler Click;
  EventHandler DblClick;

 protected:
  void OnBeforeCreate(const PropertyStore& props) override;
  HWND CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) override;
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  bool OnNotify(UINT code) override;

 private:
  ItemList Items() const { return ItemList(hWnd(), kListBoxMessages); }

  bool m_sorted = false;
};

}  // namespace fw
