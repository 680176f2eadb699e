#include "hook/MessageTable.h"

#include <algorithm>

namespace fw {

TableEdit AddMessage(MessageTable& table, uint32_t msg) {
  if (msg == ALL_MESSAGES) {
    table.count = -1;
    return TableEdit::kDone;
  }
  if (msg == 0) return TableEdit::kInvalid;
  if (table.count >= MSG_ENTRIES) return TableEdit::kOverflow;
  if (table.count < 0) {
    // From "every message" to exactly this one.
    table.slots.fill(0);
    table.slots[0] = msg;
    table.count = 1;
    return TableEdit::kDone;
  }
  // Look for the message before reusing a freed slot: filling a hole in front of a
  // copy would leave a duplicate, and deleting the message once would then not
  // stop it.
  const auto used = table.slots.begin() + table.count;
  if (std::find(table.slots.begin(), used, msg) != used) return TableEdit::kDone;
  const auto hole = std::find(table.slots.begin(), used, 0u);
  if (hole != used) {
    *hole = msg;
    return TableEdit::kDone;
  }
  table.slots[table.count] = msg;
  ++table.count;
  return TableEdit::kDone;
}

TableEdit DeleteMessage(MessageTable& table, uint32_t msg) {
  if (msg == ALL_MESSAGES) {
    table.count = 0;
    table.slots.fill(0);
    return TableEdit::kDone;
  }
  for (int32_t i = 0; i < table.count; ++i) {
    if (table.slots[i] == msg) {
      table.slots[i] = 0;
      return TableEdit::kDone;
    }
  }
  return TableEdit::kNotFound;
}

bool WantsMessage(const MessageTable& table, uint32_t msg) {
  if (table.count < 0) return true;
  if (msg == 0) return false;
  const auto end = table.slots.begin() + std::min(table.count, MSG_ENTRIES);
  return std::find(table.slots.begin(), end, msg) != end;
}

bool AddMessage(MessageList& list, uint32_t msg) {
  if (msg == ALL_MESSAGES) {
    list.all = true;
    list.slots.clear();
    return true;
  }
  if (msg == 0) return false;
  if (list.all) {
    // Like the guarded table: "every message" followed by one message means that one.
    list.all = false;
    list.slots.assign(1, msg);
    return true;
  }
  // Presence first, then a freed slot (see the table above).
  if (std::find(list.slots.begin(), list.slots.end(), msg) != list.slots.end()) return true;
  const auto hole = std::find(list.slots.begin(), list.slots.end(), 0u);
  if (hole != list.slots.end()) {
    *hole = msg;
    return true;
  }
  list.slots.push_back(msg);
  return true;
}

void DeleteMessage(MessageList& list, uint32_t msg) {
  if (msg == ALL_MESSAGES) {
    list.all = false;
    list.slots.clear();
    return;
  }
  const auto it = std::find(list.slots.begin(), list.slots.end(), msg);
  if (it != list.slots.end()) *it = 0;
}

bool WantsMessage(const MessageList& list, uint32_t msg) {
  if (list.all) return true;
  if (msg == 0) return false;
  return std::find(list.slots.begin(), list.slots.end(), msg) != list.slots.end();
}

}  // namespace fw
