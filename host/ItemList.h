// The item list that the list box and the combo box share: the same operations
// under the LB_ and the CB_ message numbers. Both controls forward to it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/PropertyStore.h"

namespace fw {

struct ItemListMessages {
  UINT add, insert, remove, reset, count, textLength, text, getSelection, setSelection, getData,
      setData;
};

inline constexpr ItemListMessages kListBoxMessages{
    LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_GETCOUNT, LB_GETTEXTLEN,
    LB_GETTEXT,   LB_GETCURSEL,    LB_SETCURSEL,    LB_GETITEMDATA,  LB_SETITEMDATA};
inline constexpr ItemListMessages kComboBoxMessages{
    CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_GETCOUNT, CB_GETLBTEXTLEN,
    CB_GETLBTEXT, CB_GETCURSEL,    CB_SETCURSEL,    CB_GETITEMDATA,  CB_SETITEMDATA};

// A view of one window's items; every operation does nothing (or answers empty)
// while the window does not exist.
class ItemList {
 public:
  ItemList(HWND hwnd, const ItemListMessages& messages) : m_hwnd(hwnd), m_msg(messages) {}

  // Inserts at `index` when it lies within 0 .. count, else appends.
  void Add(std::u16string_view item, std::optional<int32_t> index) const;
  void Remove(int32_t index) const;
  void Clear() const;
  int32_t Count() const;
  std::u16string Item(int32_t index) const;
  int32_t Selection() const;
  void Select(int32_t index) const;
  intptr_t Data(int32_t index) const;
  void SetData(int32_t index, intptr_t data) const;

  // A design keeps the items as one "List" text, one item per line.
  void ReadList(const PropertyStore& props) const;
  void WriteList(PropertyStore& props) const;

 private:
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const {
    return m_hwnd ? SendMessageW(m_hwnd, msg, w, l) : 0;
  }

  HWND m_hwnd;
  const ItemListMessages& m_msg;
};

}  // namespace fw
