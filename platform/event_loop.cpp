#include "platform/event_loop.h"

#include <utility>

void QueuedEventLoop::Post(std::function<void()> event) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back({nextSequence_++, std::move(event)});
  }
  posted_.notify_all();
}

// Events are taken one at a time under the lock and run outside it, so an
// event may post, or process pending events itself (a handler that waits),
// without breaking the posting order: the sequence bound keeps out whatever
// was posted after this call began.
int QueuedEventLoop::ProcessPendingEvents() {
  std::uint64_t bound = 0;
  {
    std::lock_guard lock(mutex_);
    bound = nextSequence_;
  }
  int ran = 0;
  for (;;) {
    std::function<void()> event;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty() || queue_.front().sequence >= bound) break;
      event = std::move(queue_.front().event);
      queue_.pop_front();
    }
    event();
    ++ran;
  }
  return ran;
}

bool QueuedEventLoop::WaitForEvents(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return posted_.wait_for(lock, timeout, [this] { return !queue_.empty(); });
}
