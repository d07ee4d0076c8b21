#include "app/qt_event_loop.h"

#include <QCoreApplication>
#include <QMetaObject>

QtEventLoop::QtEventLoop() = default;
QtEventLoop::~QtEventLoop() = default;

void QtEventLoop::Post(std::function<void()> event) {
  queue_.Post(std::move(event));
  // One drain per post; a drain finding the queue already run does nothing.
  QMetaObject::invokeMethod(&receiver_, [this] { queue_.ProcessPendingEvents(); }, Qt::QueuedConnection);
}

int QtEventLoop::ProcessPendingEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  return queue_.ProcessPendingEvents();
}

bool QtEventLoop::WaitForEvents(std::chrono::milliseconds timeout) { return queue_.WaitForEvents(timeout); }
