#include "host/ItemList.h"

#include "host/WideText.h"

namespace fw {

void ItemList::Add(std::u16string_view item, std::optional<int32_t> index) const {
  if (!m_hwnd) return;
  const std::wstring text = ToWide(item);
  const LPARAM l = reinterpret_cast<LPARAM>(text.c_str());
  if (index && *index >= 0 && *index <= Count()) {
    Send(m_msg.insert, static_cast<WPARAM>(*index), l);
  } else {
    Send(m_msg.add, 0, l);
  }
}

void ItemList::Remove(int32_t index) const { Send(m_msg.remove, static_cast<WPARAM>(index)); }

void ItemList::Clear() const { Send(m_msg.reset); }

int32_t ItemList::Count() const {
  const LRESULT n = Send(m_msg.count);
  return n < 0 ? 0 : static_cast<int32_t>(n);
}

std::u16string ItemList::Item(int32_t index) const {
  if (!m_hwnd) return {};
  const LRESULT len = Send(m_msg.textLength, static_cast<WPARAM>(index));
  if (len < 0) return {};
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  const LRESULT got = Send(m_msg.text, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got < 0 ? 0 : static_cast<size_t>(got));
  return FromWide(text);
}

int32_t ItemList::Selection() const {
  return m_hwnd ? static_cast<int32_t>(Send(m_msg.getSelection)) : -1;
}

void ItemList::Select(int32_t index) const { Send(m_msg.setSelection, static_cast<WPARAM>(index)); }

intptr_t ItemList::Data(int32_t index) const {
  return static_cast<intptr_t>(Send(m_msg.getData, static_cast<WPARAM>(index)));
}

void ItemList::SetData(int32_t index, intptr_t data) const {
  Send(m_msg.setData, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

void ItemList::ReadList(const PropertyStore& props) const {
  const std::u16string list = props.ReadText(u"List", u"");
  // Items are separated, not ended, by line breaks: a break at the end is
  // followed by an empty last item, as the list that was written had.
  size_t start = 0;
  while (!list.empty() && start <= list.size()) {
    size_t end = list.find(u'\n', start);
    if (end == std::u16string::npos) end = list.size();
    std::u16string item = list.substr(start, end - start);
    if (!item.empty() && item.back() == u'\r') item.pop_back();
    Add(item, std::nullopt);
    start = end + 1;
  }
}

void ItemList::WriteList(PropertyStore& props) const {
  std::u16string list;
  const int32_t count = Count();
  for (int32_t i = 0; i < count; ++i) {
    if (i) list += u"\r\n";
    list += Item(i);
  }
  props.Write(u"List", list, u"");
}

}  // namespace fw
