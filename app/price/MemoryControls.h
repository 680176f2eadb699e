// In-memory stand-ins for the main window's controls, for the tests and the
// pricecheck tool. The combo box keeps the image combo box's plain-list rules
// that the lookup meets: an empty item is not added, an added item becomes the
// selection and the shown text, Clear keeps the text, and selecting outside
// the list changes nothing. Portable: no platform header.
#pragma once

#include <string>
#include <vector>

#include "app/price/PriceControls.h"

namespace fw {

class MemoryList : public ListControl {
 public:
  void AddItem(std::u16string_view item) override { m_items.emplace_back(item); }
  void Clear() override { m_items.clear(); }
  size_t ListCount() const override { return m_items.size(); }
  std::u16string List(size_t k) const override;

  const std::vector<std::u16string>& Items() const { return m_items; }

 private:
  std::vector<std::u16string> m_items;
};

class MemoryCombo : public ComboControl {
 public:
  void AddItem(std::u16string_view item) override;
  void Clear() override;
  size_t ListCount() const override { return m_items.size(); }
  std::u16string List(size_t k) const override;
  int ListIndex() const override { return m_index; }
  bool SetListIndex(int index) override;
  std::u16string Text() const override { return m_text; }
  void SetText(std::u16string_view text) override { m_text = text; }

  const std::vector<std::u16string>& Items() const { return m_items; }

 private:
  std::vector<std::u16string> m_items;
  int m_index = -1;
  std::u16string m_text;
};

class MemoryLabel : public LabelControl {
 public:
  void SetCaption(std::u16string_view caption) override { m_caption = caption; }
  std::u16string Caption() const override { return m_caption; }

 private:
  std::u16string m_caption;
};

class MemoryTextBox : public TextBoxControl {
 public:
  void SetText(std::u16string_view text) override { m_text = text; }
  std::u16string Text() const override { return m_text; }

 private:
  std::u16string m_text;
};

// The whole set of controls the lookup works on, wired into a
// PriceWindowControls by Wire().
struct MemoryPriceControls {
  MemoryCombo comWhere[2];
  MemoryList ListCity[4];
  MemoryTextBox Text1;
  MemoryLabel labinfo[4];
  MemoryLabel labPrice[4];

  PriceWindowControls Wire();
};

}  // namespace fw
