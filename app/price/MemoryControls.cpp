#include "app/price/MemoryControls.h"

namespace fw {

std::u16string MemoryList::List(size_t k) const {
  return k < m_items.size() ? m_items[k] : std::u16string();
}

void MemoryCombo::AddItem(std::u16string_view item) {
  if (item.empty()) return;
  m_items.emplace_back(item);
  m_index = static_cast<int>(m_items.size() - 1);
  m_text = m_items.back();
}

void MemoryCombo::Clear() {
  m_items.clear();
  m_index = -1;
}

std::u16string MemoryCombo::List(size_t k) const {
  return k < m_items.size() ? m_items[k] : std::u16string();
}

bool MemoryCombo::SetListIndex(int index) {
  if (index < 0 || static_cast<size_t>(index) >= m_items.size()) return false;
  m_index = index;
  m_text = m_items[static_cast<size_t>(index)];
  return true;
}

PriceWindowControls MemoryPriceControls::Wire() {
  PriceWindowControls c;
  for (int i = 0; i < 2; ++i) c.comWhere[i] = &comWhere[i];
  for (int i = 0; i < 4; ++i) {
    c.ListCity[i] = &ListCity[i];
    c.labinfo[i] = &labinfo[i];
    c.labPrice[i] = &labPrice[i];
  }
  c.Text1 = &Text1;
  return c;
}

}  // namespace fw
