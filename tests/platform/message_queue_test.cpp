// The message queue: order, filters, the remove flag, coalesced timer ticks and mouse
// moves, and quit.
#include "platform/message_queue.h"

#include <gtest/gtest.h>

#include <vector>

namespace krelmo {
namespace {

using platform::MessageQueue;

// Ticks are coalesced to one pending per timer; ticks and quit come after posted messages; a
// filter takes the oldest match and leaves the rest; a peek without remove leaves it queued.
TEST(MessageQueue, FiltersTakeTheOldestMatchAndTicksAndQuitComeLast) {
  MessageQueue q;
  q.PostTimer(1);
  q.PostTimer(1);
  q.PostTimer(2);
  q.PostQuitMessage(3);
  q.PostMessage(WM_KEYDOWN, VK_F2, 3);
  q.PostMessage(WM_MOUSEMOVE, 0, 100);
  q.PostMessage(WM_RBUTTONDOWN, 1, 2);
  Message m;
  EXPECT_FALSE(q.PeekMessage(m, WM_LBUTTONDOWN, WM_LBUTTONDOWN, true));
  ASSERT_TRUE(q.PeekMessage(m, WM_RBUTTONDOWN, WM_RBUTTONDOWN, false));
  ASSERT_TRUE(q.PeekMessage(m, WM_MOUSEMOVE, WM_MOUSEMOVE, true));
  EXPECT_EQ(m.lParam, 100);
  std::vector<std::pair<MessageId, WPARAM>> taken;
  for (int i = 0; i < 8 && q.PeekMessage(m, 0, 0, true); ++i)
    taken.emplace_back(m.message, m.wParam);
  EXPECT_EQ(
      taken,
      (std::vector<std::pair<MessageId, WPARAM>>{
          {WM_KEYDOWN, VK_F2}, {WM_RBUTTONDOWN, 1}, {WM_QUIT, 3}, {WM_TIMER, 1}, {WM_TIMER, 2}}));
  q.PostTimer(1);  // due again once the pending one was taken
  EXPECT_EQ(q.Size(), 1u);
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

}  // namespace
}  // namespace krelmo
