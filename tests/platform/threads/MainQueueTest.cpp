#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/threads/MainQueue.h"

namespace {

TEST(MainQueue, RunsPostsFromOtherThreadsInOrderOnTheCaller) {
  TMainQueue& q = TMainQueue::Instance();
  q.ProcessPending();
  std::vector<int> seen;
  std::thread::id ranOn;
  std::thread producer([&] {
    for (int i = 0; i < 100; ++i) q.Post([&seen, &ranOn, i] {
        seen.push_back(i);
        ranOn = std::this_thread::get_id();
      });
  });
  producer.join();
  ASSERT_TRUE(q.WaitForPosts(1000));
  EXPECT_EQ(q.ProcessPending(), 100);
  ASSERT_EQ(seen.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[size_t(i)], i);
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(MainQueue, CancelDropsAnOwnersCallsAndWakeupFires) {
  TMainQueue& q = TMainQueue::Instance();
  q.ProcessPending();
  std::atomic<int> wakes{0};
  q.SetWakeup([&] { ++wakes; });
  int a = 0, b = 0;
  int ownerA, ownerB;
  q.Post([&] { ++a; }, &ownerA);
  q.Post([&] { ++b; }, &ownerB);
  q.Cancel(&ownerA);
  q.ProcessPending();
  q.SetWakeup(nullptr);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(wakes.load(), 2);
}

TEST(MainQueue, CallsPostedWhileProcessingWaitForTheNextRound) {
  TMainQueue& q = TMainQueue::Instance();
  q.ProcessPending();
  int inner = 0;
  q.Post([&] { q.Post([&] { ++inner; }); });
  EXPECT_EQ(q.ProcessPending(), 1);
  EXPECT_EQ(inner, 0);
  EXPECT_EQ(q.ProcessPending(), 1);
  EXPECT_EQ(inner, 1);
  EXPECT_FALSE(q.WaitForPosts(1));
}

}  // namespace
