#include "host/PopupMenu.h"

#include "host/WideText.h"

namespace fw {

bool PopupMenu::Load(int index, Item item) {
  if (index < 0 || Exists(index)) return false;
  m_items.emplace(index, std::move(item));
  return true;
}

int PopupMenu::Append(Item item) {
  const int index = UBound() + 1;
  m_items.emplace(index, std::move(item));
  return index;
}

bool PopupMenu::Unload(int index) { return m_items.erase(index) != 0; }

PopupMenu::Item* PopupMenu::At(int index) {
  auto it = m_items.find(index);
  return it == m_items.end() ? nullptr : &it->second;
}

const PopupMenu::Item* PopupMenu::At(int index) const {
  auto it = m_items.find(index);
  return it == m_items.end() ? nullptr : &it->second;
}

std::vector<int> PopupMenu::VisibleIndexes() const {
  std::vector<int> shown;
  for (const auto& [index, item] : m_items) {
    if (item.visible) shown.push_back(index);
  }
  return shown;
}

PopupMenu::unique_hmenu PopupMenu::Build() const {
  unique_hmenu menu(CreatePopupMenu());
  if (!menu) return menu;
  for (int index : VisibleIndexes()) {
    const Item& item = m_items.at(index);
    const UINT_PTR id = static_cast<UINT_PTR>(index) + 1;
    if (item.caption == u"-") {
      AppendMenuW(menu.get(), MF_SEPARATOR, id, nullptr);
      continue;
    }
    UINT flags = MF_STRING;
    if (!item.enabled) flags |= MF_GRAYED;
    if (item.checked) flags |= MF_CHECKED;
    const std::wstring text = ToWide(item.caption);
    AppendMenuW(menu.get(), flags, id, text.c_str());
  }
  return menu;
}

int PopupMenu::Show(HWND owner, POINT screen) const {
  unique_hmenu menu = Build();
  if (!menu || GetMenuItemCount(menu.get()) <= 0) return -1;
  // Without the foreground the menu would stay open after a click elsewhere.
  SetForegroundWindow(owner);
  const int chosen = static_cast<int>(TrackPopupMenu(
      menu.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_NONOTIFY,
      screen.x, screen.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  return chosen > 0 ? chosen - 1 : -1;
}

}  // namespace fw
