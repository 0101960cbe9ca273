// The message queue: order, filters, the remove flag, coalesced timer ticks and mouse
// moves, and quit.
#include "platform/message_queue.h"

#include <gtest/gtest.h>

#include <vector>

namespace krelmo {
namespace {

using platform::MessageQueue;

TEST(MessageQueue, PostedMessagesComeOutInOrder) {
  MessageQueue q;
  q.PostMessage(WM_LBUTTONDOWN, 1, 2);
  q.PostMessage(WM_KEYDOWN, VK_F2, 3);
  Message m;
  ASSERT_TRUE(q.PeekMessage(m, 0, 0, true));
  EXPECT_EQ(m.message, WM_LBUTTONDOWN);
  EXPECT_EQ(m.wParam, 1u);
  EXPECT_EQ(m.lParam, 2);
  ASSERT_TRUE(q.PeekMessage(m, 0, 0, true));
  EXPECT_EQ(m.message, WM_KEYDOWN);
  EXPECT_FALSE(q.PeekMessage(m, 0, 0, true));
}

TEST(MessageQueue, RangeFilterTakesTheOldestMatchingMessageAndLeavesTheRest) {
  MessageQueue q;
  q.PostMessage(WM_KEYDOWN);
  q.PostMessage(WM_MOUSEMOVE, 0, 100);
  q.PostMessage(WM_LBUTTONDOWN);
  q.PostMessage(WM_MOUSEMOVE, 0, 200);
  Message m;
  ASSERT_TRUE(q.PeekMessage(m, WM_MOUSEMOVE, WM_MOUSEMOVE, true));
  EXPECT_EQ(m.lParam, 100);
  EXPECT_FALSE(q.PeekMessage(m, WM_RBUTTONDOWN, WM_RBUTTONDOWN, true));
  ASSERT_TRUE(q.PeekMessage(m, 0, 0, true));
  EXPECT_EQ(m.message, WM_KEYDOWN) << "the filtered take left the older message in place";
  ASSERT_TRUE(q.PeekMessage(m, 0, 0, true));
  EXPECT_EQ(m.message, WM_LBUTTONDOWN);
  ASSERT_TRUE(q.PeekMessage(m, 0, 0, true));
  EXPECT_EQ(m.lParam, 200);
}

// Each row posts its messages in order (a move's lParam is its x) and lists what comes out.
TEST(MessageQueue, AMouseMoveMergesIntoAWaitingMoveThatNoClickOrKeyFollows) {
  struct Row {
    const char* what;
    std::vector<Message> posted;
    std::vector<Message> taken;
  };
  const Message key{WM_KEYDOWN, VK_F3, 0};
  const Message click{WM_LBUTTONDOWN, 1, 7};
  const Message command{WM_COMMAND, 40001, 0};
  const Row rows[] = {
      {"moves in a row",
       {{WM_MOUSEMOVE, 0, 1}, {WM_MOUSEMOVE, 1, 2}, {WM_MOUSEMOVE, 2, 3}},
       {{WM_MOUSEMOVE, 2, 3}}},
      {"a click between",
       {{WM_MOUSEMOVE, 0, 1}, click, {WM_MOUSEMOVE, 0, 2}},
       {{WM_MOUSEMOVE, 0, 1}, click, {WM_MOUSEMOVE, 0, 2}}},
      {"a key between",
       {{WM_MOUSEMOVE, 0, 1}, key, {WM_MOUSEMOVE, 0, 2}, {WM_MOUSEMOVE, 0, 3}},
       {{WM_MOUSEMOVE, 0, 1}, key, {WM_MOUSEMOVE, 0, 3}}},
      {"a command is no input",
       {{WM_MOUSEMOVE, 0, 1}, command, {WM_MOUSEMOVE, 0, 2}},
       {{WM_MOUSEMOVE, 0, 2}, command}},
      {"a click after",
       {{WM_MOUSEMOVE, 0, 1}, {WM_MOUSEMOVE, 0, 2}, click},
       {{WM_MOUSEMOVE, 0, 2}, click}},
  };
  for (const Row& row : rows) {
    MessageQueue q;
    for (const Message& m : row.posted) q.PostMessage(m.message, m.wParam, m.lParam);
    std::vector<Message> taken;
    Message m;
    while (q.PeekMessage(m, 0, 0, true)) taken.push_back(m);
    ASSERT_EQ(taken.size(), row.taken.size()) << row.what;
    for (std::size_t i = 0; i < taken.size(); ++i) {
      EXPECT_EQ(taken[i].message, row.taken[i].message) << row.what << " #" << i;
      EXPECT_EQ(taken[i].wParam, row.taken[i].wParam) << row.what << " #" << i;
      EXPECT_EQ(taken[i].lParam, row.taken[i].lParam) << row.what << " #" << i;
    }
  }
}

TEST(MessageQueue, AMoveAfterTheWaitingOneWasTakenQueuesAnew) {
  MessageQueue q;
  q.PostMessage(WM_MOUSEMOVE, 0, 1);
  Message m;
  ASSERT_TRUE(q.PeekMessage(m, WM_MOUSEMOVE, WM_MOUSEMOVE, true));
  q.PostMessage(WM_MOUSEMOVE, 0, 2);
  ASSERT_TRUE(q.PeekMessage(m, WM_MOUSEMOVE, WM_MOUSEMOVE, false));
  EXPECT_EQ(m.lParam, 2);
  EXPECT_EQ(q.Size(), 1u);
}

TEST(MessageQueue, PeekWithoutRemoveLeavesTheMessageQueued) {
  MessageQueue q;
  q.PostMessage(WM_RBUTTONDOWN);
  Message m;
  ASSERT_TRUE(q.PeekMessage(m, WM_RBUTTONDOWN, WM_RBUTTONDOWN, false));
  ASSERT_TRUE(q.PeekMessage(m, WM_RBUTTONDOWN, WM_RBUTTONDOWN, false));
  EXPECT_EQ(q.Size(), 1u);
}

TEST(MessageQueue, TimerTicksAreCoalescedToOnePendingPerTimer) {
  MessageQueue q;
  q.PostTimer(1);
  q.PostTimer(1);
  q.PostTimer(1);
  q.PostTimer(2);
  EXPECT_EQ(q.Size(), 2u);
  Message m;
  ASSERT_TRUE(q.PeekMessage(m, WM_TIMER, WM_TIMER, true));
  EXPECT_EQ(m.wParam, 1u);
  q.PostTimer(1);  // due again once the pending one was taken
  EXPECT_EQ(q.Size(), 2u);
}

TEST(MessageQueue, TimerTicksAndQuitComeAfterPostedMessages) {
  MessageQueue q;
  q.PostTimer(1);
  q.PostQuitMessage(0);
  q.PostMessage(WM_MOUSEMOVE);
  Message m;
  ASSERT_TRUE(q.PeekMessage(m, 0, 0, true));
  EXPECT_EQ(m.message, WM_MOUSEMOVE);
  ASSERT_TRUE(q.PeekMessage(m, 0, 0, true));
  EXPECT_EQ(m.message, WM_QUIT);
  ASSERT_TRUE(q.PeekMessage(m, 0, 0, true));
  EXPECT_EQ(m.message, WM_TIMER);
  EXPECT_TRUE(q.Empty());
}

TEST(MessageQueue, QuitCarriesItsExitCodeAndIsFilteredLikeAnyMessage) {
  MessageQueue q;
  q.PostQuitMessage(3);
  Message m;
  EXPECT_FALSE(q.PeekMessage(m, WM_MOUSEMOVE, WM_MOUSEMOVE, true));
  ASSERT_TRUE(q.PeekMessage(m, WM_QUIT, WM_QUIT, true));
  EXPECT_EQ(m.wParam, 3u);
  EXPECT_TRUE(q.Empty());
}

TEST(MessageParameters, KeyAndPointParametersPackAsTheWindowProcedureReadsThem) {
  const LPARAM first = MakeKeyLParam(0x3C, false, false, false);
  EXPECT_LE(static_cast<std::uint64_t>(first) >> 16 & 0xFFFF, 0x300u);
  const LPARAM held = MakeKeyLParam(0x3C, false, false, true);
  EXPECT_GT(static_cast<std::uint64_t>(held) >> 16 & 0xFFFF, 0x300u);
  const LPARAM alt = MakeKeyLParam(0x3C, false, true, false);
  EXPECT_GT(static_cast<std::uint64_t>(alt) >> 16 & 0xFFFF, 0x300u);
  const LPARAM point = MakePointLParam(561, 420);
  EXPECT_EQ(point & 0xFFFF, 561);
  EXPECT_EQ(point >> 16 & 0xFFFF, 420);
}

}  // namespace
}  // namespace krelmo
