#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/event_loop.h"

namespace {

using namespace std::chrono_literals;

TEST(QueuedEventLoop, RunsEventsFromOtherThreadsOnTheProcessingThreadInOrder) {
  QueuedEventLoop loop;
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  std::thread poster([&] {
    for (int i = 0; i < 3; ++i) {
      loop.Post([&, i] {
        order.push_back(i);
        threads.push_back(std::this_thread::get_id());
      });
    }
  });
  poster.join();
  EXPECT_TRUE(order.empty());
  EXPECT_EQ(loop.ProcessPendingEvents(), 3);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  for (std::thread::id id : threads) EXPECT_EQ(id, std::this_thread::get_id());
  EXPECT_EQ(loop.ProcessPendingEvents(), 0);
}

TEST(QueuedEventLoop, EventsPostedByEventsWaitForTheNextCall) {
  QueuedEventLoop loop;
  int runs = 0;
  std::function<void()> again = [&] {
    ++runs;
    loop.Post(again);
  };
  loop.Post(again);
  EXPECT_EQ(loop.ProcessPendingEvents(), 1);
  EXPECT_EQ(loop.ProcessPendingEvents(), 1);
  EXPECT_EQ(runs, 2);
}

TEST(QueuedEventLoop, ProcessingInsideAnEventKeepsThePostingOrder) {
  QueuedEventLoop loop;
  std::vector<int> order;
  loop.Post([&] {
    order.push_back(0);
    loop.ProcessPendingEvents();  // a handler that waits and pumps
  });
  loop.Post([&] { order.push_back(1); });
  loop.Post([&] { order.push_back(2); });
  EXPECT_EQ(loop.ProcessPendingEvents(), 1);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(QueuedEventLoop, WaitForEventsWakesOnAPostAndTimesOutWithout) {
  QueuedEventLoop loop;
  EXPECT_FALSE(loop.WaitForEvents(5ms));
  std::thread poster([&] { loop.Post([] {}); });
  EXPECT_TRUE(loop.WaitForEvents(5s));
  poster.join();
  EXPECT_EQ(loop.ProcessPendingEvents(), 1);
}

}  // namespace
