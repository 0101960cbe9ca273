// Helpers shared by the Qt front end's GUI tests: taking what the front end posted, and
// reading a menu item's state word back from what the menu shows.
#pragma once

#include <QAction>
#include <vector>

#include "platform/message_queue.h"

namespace krelmo::qt::testing {

// Every message waiting in the queue, oldest first; the queue is left empty.
inline std::vector<Message> Drain(platform::MessageQueue& queue) {
  std::vector<Message> out;
  Message message;
  while (queue.PeekMessage(message, 0, 0, true)) out.push_back(message);
  return out;
}

// The messages of one kind among those taken.
inline std::vector<Message> OfKind(const std::vector<Message>& messages, MessageId kind) {
  std::vector<Message> out;
  for (const Message& m : messages) {
    if (m.message == kind) out.push_back(m);
  }
  return out;
}

// Takes what the queue holds into `collected` and counts the messages of one kind there.
// Safe to evaluate over and over, as QTRY_ macros do.
inline std::size_t CollectAndCount(platform::MessageQueue& queue, std::vector<Message>& collected,
                                   MessageId kind) {
  for (const Message& m : Drain(queue)) collected.push_back(m);
  return OfKind(collected, kind).size();
}

// 0 enabled, 3 greyed, 8 checked, 11 greyed and checked; an unchecked item must show no
// check box at all, as the game's menus never do.
inline std::uint32_t ShownStateWord(const QAction& action) {
  if (!action.isChecked() && action.isCheckable()) return 0xFFFF;  // an empty check box
  return (action.isEnabled() ? 0u : 3u) | (action.isChecked() ? 8u : 0u);
}

}  // namespace krelmo::qt::testing
