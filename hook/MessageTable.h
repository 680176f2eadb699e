// The message tables of the window hooks: which messages an owner wants to see
// before and after a hooked window's own procedure. Plain data, no platform header,
// so the rules are tested natively.
//
// Two flavours with different rules:
//  - MessageTable (guarded hook): a count and MSG_ENTRIES fixed slots. A freed slot
//    holds 0 and keeps its place in the count; once the count has reached
//    MSG_ENTRIES every further add is refused, even when a slot is free, so that
//    an owner that outgrows its table learns about it at once.
//  - MessageList (plain hook): grows by one slot per message, no limit.
// In both, a count of -1 means "every message".
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace fw {

inline constexpr int32_t MSG_ENTRIES = 32;
// Passed as the message number: every message (count -1) on add, none on delete.
inline constexpr uint32_t ALL_MESSAGES = 0xFFFFFFFFu;

// Which of a hooked window's two message tables an add or a delete goes to: the
// one consulted before the window's own procedure, the one after it, or both.
// One bit each, the same for both hooks (sc_AddMsg / sc_DelMsg and
// HookAddMsg / HookDelMsg).
enum class HookWhen : uint32_t { kBefore = 1, kAfter = 2, kBoth = 3 };

// Whether `when` selects `table` (kBefore or kAfter).
constexpr bool Selects(HookWhen when, HookWhen table) {
  return (static_cast<uint32_t>(when) & static_cast<uint32_t>(table)) != 0;
}

enum class TableEdit {
  kDone,      // changed, or already as asked
  kOverflow,  // the table's count had reached MSG_ENTRIES
  kNotFound,  // the message to delete was not in the table
  kInvalid,   // message 0: it could never be delivered (a freed slot holds 0)
};

struct MessageTable {
  int32_t count = 0;  // 0 none, -1 all, else slots in use (freed ones included)
  std::array<uint32_t, MSG_ENTRIES> slots{};
};

TableEdit AddMessage(MessageTable& table, uint32_t msg);
TableEdit DeleteMessage(MessageTable& table, uint32_t msg);
// A freed slot (0) never matches, so message 0 is only seen through ALL_MESSAGES.
bool WantsMessage(const MessageTable& table, uint32_t msg);

struct MessageList {
  bool all = false;             // count -1
  std::vector<uint32_t> slots;  // count = slots.size() when !all; freed slots hold 0

  int32_t Count() const { return all ? -1 : static_cast<int32_t>(slots.size()); }
};

// Message 0 is refused (false), as in the table: it would take a slot and never match.
bool AddMessage(MessageList& list, uint32_t msg);
// A message that is not in the list is ignored.
void DeleteMessage(MessageList& list, uint32_t msg);
bool WantsMessage(const MessageList& list, uint32_t msg);

}  // namespace fw
