// Helpers shared by the Qt front end's GUI tests: taking what the front end posted, up to a
// marker where nothing must come, and reading a menu item's state word back from the menu.
#pragma once

#include <QAction>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "platform/menu_model.h"
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

// Takes into `before` what was posted before a marker that a timer of `ms` posts: any timer
// of the front end started earlier and due no later has fired by then, however slow the
// machine. False when the marker never came.
inline bool TakeUntilMarker(platform::MessageQueue& queue, int ms, std::vector<Message>& before) {
  constexpr MessageId kMarker = kFirstRegisteredMessage;
  QTimer::singleShot(ms, Qt::PreciseTimer, [&queue] { queue.PostMessage(kMarker); });
  const bool came =
      QTest::qWaitFor([&] { return CollectAndCount(queue, before, kMarker) > 0; }, 60'000);
  before.erase(std::find_if(before.begin(), before.end(),
                            [](const Message& m) { return m.message == kMarker; }),
               before.end());
  return came;
}

// The menu's state word of what the item shows; an unchecked item must show no check box at
// all, as the game's menus never do.
inline std::uint32_t ShownStateWord(const QAction& action) {
  if (!action.isChecked() && action.isCheckable()) return 0xFFFF;  // an empty check box
  return (action.isEnabled() ? 0u : platform::MFS_GRAYED) |
         (action.isChecked() ? platform::MFS_CHECKED : 0u);
}

}  // namespace krelmo::qt::testing
