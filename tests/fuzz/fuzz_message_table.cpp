// Random add/delete runs over both kinds of message table, checking what an owner
// relies on: an added message is seen, a deleted one is not, the count stays in range
// and only a full table refuses.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "hook/MessageTable.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fw::MessageTable table;
  fw::MessageList list;
  for (size_t i = 0; i + 1 < size; i += 2) {
    const uint8_t op = data[i] & 3;
    // A small range of numbers so that repeats, holes and reuse happen often.
    const uint32_t msg = data[i + 1] == 0xFF ? fw::ALL_MESSAGES : data[i + 1] % 48;
    const int32_t countBefore = table.count;
    switch (op) {
      case 0: {
        const fw::TableEdit r = fw::AddMessage(table, msg);
        Check((r == fw::TableEdit::kInvalid) == (msg == 0));
        Check((r == fw::TableEdit::kOverflow) ==
              (countBefore >= fw::MSG_ENTRIES && msg != fw::ALL_MESSAGES && msg != 0));
        if (r == fw::TableEdit::kDone) Check(fw::WantsMessage(table, msg));
        if (r != fw::TableEdit::kDone) Check(table.count == countBefore);
        break;
      }
      case 1: {
        const fw::TableEdit r = fw::DeleteMessage(table, msg);
        if (msg == fw::ALL_MESSAGES) Check(table.count == 0);
        if (r == fw::TableEdit::kDone && msg != fw::ALL_MESSAGES) {
          Check(!fw::WantsMessage(table, msg));
          Check(table.count == countBefore);
        }
        if (r == fw::TableEdit::kNotFound) Check(table.count == countBefore);
        break;
      }
      case 2:
        Check(fw::AddMessage(list, msg) == (msg != 0));
        if (msg != 0) Check(fw::WantsMessage(list, msg));
        break;
      case 3:
        fw::DeleteMessage(list, msg);
        if (msg != fw::ALL_MESSAGES) Check(!fw::WantsMessage(list, msg) || list.all);
        else Check(list.Count() == 0);
        break;
    }
    Check(table.count >= -1 && table.count <= fw::MSG_ENTRIES);
    Check(list.Count() >= -1);
  }
  return 0;
}
