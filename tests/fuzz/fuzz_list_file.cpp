// The image combo box's list file on any bytes: decoding in every encoding it
// recognises, cutting into lines and reading them into a list must never fault;
// every line is at most 80 units, holds no line break, and a comment reads as
// ";"; the list read holds no empty item and no more items than lines.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "controls/JCombo/JComboModel.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

class VectorStore : public fw::jcombo::ItemStore {
 public:
  int32_t Count() const override { return static_cast<int32_t>(items.size()); }
  std::u16string Item(int32_t i) const override {
    return i >= 0 && i < Count() ? items[static_cast<size_t>(i)] : std::u16string();
  }
  void Insert(std::u16string_view text, std::optional<int32_t> index) override {
    Require(!index || (*index >= 0 && *index < Count()));
    if (index) items.insert(items.begin() + *index, std::u16string(text));
    else items.emplace_back(text);
  }
  void Replace(int32_t i, std::u16string_view text) override { items.at(static_cast<size_t>(i)) = text; }
  void Remove(int32_t i) override { items.erase(items.begin() + i); }
  void Clear() override { items.clear(); }
  std::vector<std::u16string> items;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<std::u16string> decoded = fw::jcombo::DecodeListFile(
      std::span<const uint8_t>(data, size), [](std::span<const uint8_t> run, std::u16string& out) {
        for (uint8_t b : run) out += static_cast<char16_t>(b < 0x80 ? b : 0x4E00 + b);
      });
  if (!decoded) return 0;
  const std::u16string& text = *decoded;
  for (char16_t c : text) Require(c != u'\0');
  const auto lines = fw::jcombo::ListFileLines(text);
  for (const std::u16string& line : lines) {
    Require(line.size() <= fw::jcombo::kMaxLineLength);
    Require(line.find(u'\r') == std::u16string::npos && line.find(u'\n') == std::u16string::npos);
    Require(line.empty() || line[0] != u';' || line == u";");
  }
  VectorStore store;
  fw::jcombo::TaggedList list(store);
  if (list.Load(lines)) {
    Require(store.items.size() <= lines.size());
    for (const std::u16string& item : store.items) Require(!item.empty());
    Require(list.FileLines().size() == store.items.size());
  }
  return 0;
}
