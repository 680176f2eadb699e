// The ComboBox control: the platform's COMBOBOX. Style 0 a drop-down combo with an
// edit box, 1 a simple combo, 2 a drop-down list (fixed when the window is made).
#pragma once

#include <optional>
#include <string>

#include "host/ItemList.h"
#include "host/NativeControl.h"

namespace fw {

class ComboBox : public NativeControl {
 public:
  ComboBox();

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
  std::u16string Text() const;
  void SetText(std::u16string_view text);
  int32_t Style() const { return m_style; }
  bool Sorted() const { return m_sorted; }
  // The edit box of a style 0 or 1 combo, or null.
  HWND EditHwnd() const;

  // A new item was chosen in the list.
  EventHandler Click;
  // The text in the edit box changed, by typing or by SetText.
  EventHandler Change;
  // The list is about to drop down.
  EventHandler DropDown;

 protected:
  void OnBeforeCreate(const PropertyStore& props) override;
  HWND CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) override;
  void OnCreated() override;
  void OnInitProperties() override;
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  void OnMoved() override;
  bool OnNotify(UINT code) override;

 private:
  ItemList Items() const { return ItemList(hWnd(), kComboBoxMessages); }

  int32_t m_style = 0;
  bool m_sorted = false;
};

// How far a combo box's window reaches below its edit field: the dropped list.
constexpr int kComboListPixels = 160;

}  // namespace fw
