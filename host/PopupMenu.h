// A popup menu whose items form one indexed array, as a control array does:
// items are loaded and unloaded by index (an unloaded index leaves a hole), each
// with a caption ("-" draws a separator), enabled, checked and visible flags. A
// control that draws its own caption keeps its system menu here; a program may
// append its own items after the fixed ones.
//
// Show builds the platform's menu from the visible items, in index order, tracks
// it at a screen point and answers the chosen index, so nothing of the menu lives
// on between two showings.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace fw {

class PopupMenu {
 public:
  struct Item {
    std::u16string caption;
    bool enabled = true;
    bool checked = false;
    bool visible = true;
  };

  explicit PopupMenu(std::u16string caption = {}) : m_caption(std::move(caption)) {}

  const std::u16string& Caption() const { return m_caption; }

  // Loads an item at `index`; false (and nothing changes) when the index is
  // negative or already loaded.
  bool Load(int index, Item item);
  // Loads an item after the highest loaded index; returns its index.
  int Append(Item item);
  // False when no item is loaded there.
  bool Unload(int index);
  bool Exists(int index) const { return m_items.count(index) != 0; }
  // The highest loaded index, -1 for an empty menu.
  int UBound() const { return m_items.empty() ? -1 : m_items.rbegin()->first; }
  int Count() const { return static_cast<int>(m_items.size()); }
  // The item at `index`, or null when none is loaded there.
  Item* At(int index);
  const Item* At(int index) const;

  // The loaded indexes of the visible items, in the order the menu shows them.
  std::vector<int> VisibleIndexes() const;

  // The platform's menu as Show tracks it: the visible items in index order, each
  // with the command index + 1.
  struct MenuDeleter {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
  };
  using unique_hmenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;
  unique_hmenu Build() const;

  // Tracks the menu at `screen` (owned by `owner`, which is brought to the
  // foreground so the menu closes when the user clicks elsewhere) and returns the
  // index of the chosen item, or -1 when the menu was dismissed.
  int Show(HWND owner, POINT screen) const;

 private:
  std::u16string m_caption;
  std::map<int, Item> m_items;
};

}  // namespace fw
