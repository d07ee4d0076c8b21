#pragma once

// Runs the event loop until `done` holds or `milliseconds` passed; false on
// timeout. For the tools, tests and benchmarks that drive the program from
// outside its own event loop.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <functional>

inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 30000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > milliseconds) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(1);
  }
  return true;
}
