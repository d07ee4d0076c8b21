#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

// The hook through which code running on the user-interface thread hands work
// to that thread from anywhere (a capture thread posting a frame) and lets
// pending work run inside a long handler (waiting for the trigger key).
class EventLoop {
public:
  virtual ~EventLoop() = default;

  // Queues `event` to run later on the thread that processes events. Safe to
  // call from any thread.
  virtual void Post(std::function<void()> event) = 0;

  // Runs, on the calling thread and in posting order, the events that were
  // queued when the call began; events they post wait for the next call, so
  // a chain of events that re-post themselves cannot starve the caller.
  // Returns the number of events run.
  virtual int ProcessPendingEvents() = 0;

  // Blocks until an event is pending or `timeout` has passed; true when one
  // is pending.
  virtual bool WaitForEvents(std::chrono::milliseconds timeout) = 0;
};

// A plain queue for headless use (tests, the command line): Post enqueues,
// ProcessPendingEvents runs the queue on the calling thread.
class QueuedEventLoop final : public EventLoop {
public:
  void Post(std::function<void()> event) override;
  int ProcessPendingEvents() override;
  bool WaitForEvents(std::chrono::milliseconds timeout) override;

private:
  struct Entry {
    std::uint64_t sequence;
    std::function<void()> event;
  };

  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<Entry> queue_;
  std::uint64_t nextSequence_ = 0;
};
