#pragma once

// The event-loop hook on Qt's loop: posted work runs on the user-interface
// thread in posting order, and a handler that waits processes the window
// system's events as well as the posted work.

#include <QObject>

#include "platform/event_loop.h"

class QtEventLoop final : public EventLoop {
public:
  QtEventLoop();
  ~QtEventLoop() override;

  void Post(std::function<void()> event) override;
  int ProcessPendingEvents() override;
  bool WaitForEvents(std::chrono::milliseconds timeout) override;

private:
  QueuedEventLoop queue_;
  QObject receiver_;
};
