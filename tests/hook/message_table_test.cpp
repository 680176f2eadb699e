#include <gtest/gtest.h>

#include <vector>

#include "hook/HookReport.h"
#include "hook/HoverState.h"
#include "hook/MessageTable.h"

namespace fw {
namespace {

constexpr uint32_t kMouseMove = 0x200;
constexpr uint32_t kMouseLeave = 0x2A3;

std::vector<uint32_t> Used(const MessageTable& t) {
  if (t.count <= 0) return {};
  return {t.slots.begin(), t.slots.begin() + t.count};
}

MessageTable Filled(uint32_t first, int n) {
  MessageTable t;
  for (int i = 0; i < n; ++i) EXPECT_EQ(AddMessage(t, first + i), TableEdit::kDone);
  return t;
}

TEST(MessageTableTest, EmptyWantsNothingAndAllWantsEverything) {
  MessageTable t;
  EXPECT_FALSE(WantsMessage(t, kMouseMove));
  EXPECT_EQ(AddMessage(t, ALL_MESSAGES), TableEdit::kDone);
  EXPECT_EQ(t.count, -1);
  for (uint32_t m : {0u, 1u, kMouseMove, 0xC123u, 0xFFFFu}) EXPECT_TRUE(WantsMessage(t, m)) << m;
  EXPECT_EQ(DeleteMessage(t, ALL_MESSAGES), TableEdit::kDone);
  EXPECT_EQ(t.count, 0);
  EXPECT_FALSE(WantsMessage(t, kMouseMove));
}

TEST(MessageTableTest, AddsInOrderAndLeavesAPresentMessageAlone) {
  MessageTable t;
  AddMessage(t, kMouseMove);
  AddMessage(t, kMouseLeave);
  AddMessage(t, kMouseMove);
  EXPECT_EQ(Used(t), (std::vector<uint32_t>{kMouseMove, kMouseLeave}));
  EXPECT_TRUE(WantsMessage(t, kMouseLeave));
  EXPECT_FALSE(WantsMessage(t, 0x201));
}

TEST(MessageTableTest, DeletionFreesASlotThatTheNextAddReuses) {
  MessageTable t = Filled(0x100, 3);
  EXPECT_EQ(DeleteMessage(t, 0x101), TableEdit::kDone);
  EXPECT_EQ(Used(t), (std::vector<uint32_t>{0x100, 0, 0x102}));  // the count stays
  EXPECT_FALSE(WantsMessage(t, 0x101));
  EXPECT_FALSE(WantsMessage(t, 0)) << "a freed slot is not message 0";
  AddMessage(t, 0x300);
  EXPECT_EQ(Used(t), (std::vector<uint32_t>{0x100, 0x300, 0x102}));
}

TEST(MessageTableTest, ReAddingBehindAHoleLeavesNoCopyBehind) {
  MessageTable t = Filled(0x100, 3);
  DeleteMessage(t, 0x100);
  AddMessage(t, 0x102);  // already in slot 3: the hole in slot 1 stays a hole
  EXPECT_EQ(Used(t), (std::vector<uint32_t>{0, 0x101, 0x102}));
  DeleteMessage(t, 0x102);
  EXPECT_FALSE(WantsMessage(t, 0x102)) << "one delete stops a message";
}

TEST(MessageTableTest, OverflowOnceTheCountReachesThirtyTwo) {
  MessageTable t = Filled(0x400, MSG_ENTRIES - 1);
  EXPECT_EQ(AddMessage(t, 0x500), TableEdit::kDone);  // the 32nd fits
  EXPECT_EQ(t.count, MSG_ENTRIES);
  EXPECT_TRUE(WantsMessage(t, 0x500));
  const MessageTable full = t;
  EXPECT_EQ(AddMessage(t, 0x501), TableEdit::kOverflow);
  EXPECT_EQ(AddMessage(t, 0x400), TableEdit::kOverflow) << "even a message already present";
  EXPECT_EQ(DeleteMessage(t, 0x405), TableEdit::kDone);
  EXPECT_EQ(AddMessage(t, 0x501), TableEdit::kOverflow) << "even with a freed slot";
  EXPECT_EQ(t.count, MSG_ENTRIES);
  EXPECT_FALSE(WantsMessage(t, 0x501));
  EXPECT_EQ(Used(t).size(), Used(full).size());
  // The way out the message names: every message.
  EXPECT_EQ(AddMessage(t, ALL_MESSAGES), TableEdit::kDone);
  EXPECT_EQ(t.count, -1);
}

TEST(MessageTableTest, AllMessagesThenOneMessageHoldsOnlyThatOne) {
  MessageTable t = Filled(0x100, 5);
  AddMessage(t, ALL_MESSAGES);
  AddMessage(t, kMouseLeave);
  EXPECT_EQ(t.count, 1);
  EXPECT_EQ(t.slots[0], kMouseLeave);
  EXPECT_TRUE(WantsMessage(t, kMouseLeave));
  EXPECT_FALSE(WantsMessage(t, 0x101)) << "what was there before ALL_MESSAGES is gone";
}

TEST(MessageTableTest, DeletingAMissingMessageReportsNotFound) {
  MessageTable t;
  EXPECT_EQ(DeleteMessage(t, kMouseMove), TableEdit::kNotFound);
  t = Filled(0x100, 2);
  EXPECT_EQ(DeleteMessage(t, kMouseMove), TableEdit::kNotFound);
  EXPECT_EQ(Used(t), (std::vector<uint32_t>{0x100, 0x101}));
  EXPECT_EQ(DeleteMessage(t, 0x101), TableEdit::kDone);
  EXPECT_EQ(DeleteMessage(t, 0x101), TableEdit::kNotFound) << "already freed";
}

TEST(MessageTableTest, MessageZeroIsRefusedAndTakesNoSlot) {
  MessageTable t = Filled(0x100, 2);
  EXPECT_EQ(AddMessage(t, 0), TableEdit::kInvalid);
  EXPECT_EQ(t.count, 2);
  MessageList l;
  EXPECT_FALSE(AddMessage(l, 0));
  EXPECT_EQ(l.Count(), 0);
}

TEST(MessageListTest, GrowsWithoutLimit) {
  MessageList l;
  for (uint32_t m = 1; m <= 100; ++m) AddMessage(l, m);
  EXPECT_EQ(l.Count(), 100);
  EXPECT_TRUE(WantsMessage(l, 100));
  AddMessage(l, 50);
  EXPECT_EQ(l.Count(), 100);
}

TEST(MessageListTest, DeleteFreesASlotForReuseAndIgnoresStrangers) {
  MessageList l;
  AddMessage(l, kMouseMove);
  AddMessage(l, kMouseLeave);
  DeleteMessage(l, 0x999);  // silently ignored
  EXPECT_EQ(l.slots, (std::vector<uint32_t>{kMouseMove, kMouseLeave}));
  DeleteMessage(l, kMouseMove);
  EXPECT_FALSE(WantsMessage(l, kMouseMove));
  EXPECT_FALSE(WantsMessage(l, 0));
  AddMessage(l, 0x20);
  EXPECT_EQ(l.slots, (std::vector<uint32_t>{0x20, kMouseLeave}));
}

TEST(MessageListTest, AllThenSpecificThenNone) {
  MessageList l;
  AddMessage(l, 0x10);
  AddMessage(l, ALL_MESSAGES);
  EXPECT_EQ(l.Count(), -1);
  EXPECT_TRUE(WantsMessage(l, 0x1234));
  AddMessage(l, kMouseMove);
  EXPECT_EQ(l.Count(), 1) << "not -1 + 1 = 0, which would silence the list";
  EXPECT_TRUE(WantsMessage(l, kMouseMove));
  EXPECT_FALSE(WantsMessage(l, 0x10));
  DeleteMessage(l, ALL_MESSAGES);
  EXPECT_EQ(l.Count(), 0);
  AddMessage(l, kMouseLeave);
  EXPECT_EQ(l.slots, std::vector<uint32_t>{kMouseLeave}) << "nothing stale survives a clear";
}

// Both hooks read the same bits: 1 the before table, 2 the after table, 3 both.
TEST(HookWhenTest, EachBitSelectsOneTableForEitherHook) {
  struct Case {
    HookWhen when;
    uint32_t bits;
    bool before, after;
  };
  const Case kCases[] = {{HookWhen::kBefore, 1, true, false},
                         {HookWhen::kAfter, 2, false, true},
                         {HookWhen::kBoth, 3, true, true}};
  for (const Case& c : kCases) {
    EXPECT_EQ(static_cast<uint32_t>(c.when), c.bits);
    EXPECT_EQ(Selects(c.when, HookWhen::kBefore), c.before) << c.bits;
    EXPECT_EQ(Selects(c.when, HookWhen::kAfter), c.after) << c.bits;
  }
}

TEST(HookReportTest, TextsAreTheSystemsOwn) {
  EXPECT_EQ(MessageNotFoundText(512), L"Message &H200 not found in table");
  EXPECT_EQ(MessageNotFoundText(0), L"Message &H0 not found in table");
  EXPECT_EQ(MessageNotFoundText(0xC0DE), L"Message &HC0DE not found in table");
  EXPECT_EQ(MessageNotFoundText(0xFFFFFFFEu), L"Message &HFFFFFFFE not found in table");
  EXPECT_EQ(AllocFailedText(8), L"VirtualAlloc failed, error: 8");
  EXPECT_EQ(SetWindowLongFailedText(1400), L"SetWindowLong failed, error #1400");
  EXPECT_EQ(CallFailedText(L"SetProp", 8), L"SetProp failed, error #8");
  EXPECT_EQ(RegistryKey(1234), L"1234h");
  EXPECT_EQ(RegistryKey(0xFFFFFFFFull), L"4294967295h");
}

TEST(HookReportTest, ComposesEventLineAndBox) {
  const ErrorReport r = ComposeErrorReport(L"skForms", L"zDelMsg", MessageNotFoundText(512));
  EXPECT_EQ(r.eventText, L"skForms.zDelMsg: Message &H200 not found in table");
  EXPECT_EQ(r.boxText, L"Message &H200 not found in table.");
  EXPECT_EQ(r.boxTitle, L"Error in skForms.zDelMsg");
}

TEST(HoverStateTest, EntersOnceAndEveryLeaveNoticeCounts) {
  HoverState h;
  auto cleared = [&h] {
    h.Clear();
    return HoverChange::kNone;
  };
  // The owner clears the flag itself on a move (step 4); the leave notice after it
  // must still reach the owner.
  const HoverChange seq[] = {h.OnMouseMove(), h.OnMouseMove(), h.OnMouseLeave(), h.OnMouseMove(),
                             cleared(),       h.OnMouseLeave(), h.OnMouseMove()};
  const HoverChange expected[] = {HoverChange::kEntered, HoverChange::kNone, HoverChange::kLeft,
                                  HoverChange::kEntered, HoverChange::kNone, HoverChange::kLeft,
                                  HoverChange::kEntered};
  for (size_t i = 0; i < std::size(seq); ++i) EXPECT_EQ(seq[i], expected[i]) << "step " << i;
}

}  // namespace
}  // namespace fw
