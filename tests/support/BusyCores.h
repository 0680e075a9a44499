#pragma once
// Keeps every core busy while it lives: the load under which the timing of
// the play thread and of takes is measured.

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

class TBusyCores {
public:
  TBusyCores() {
    for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
      FSpinners.emplace_back([this] {
        // Unsigned: a busy core passes the int limit within seconds.
        for (volatile unsigned x = 0; FBusy.load(std::memory_order_relaxed);) x = x + 1;
      });
  }
  ~TBusyCores() { Stop(); }
  TBusyCores(const TBusyCores&) = delete;
  TBusyCores& operator=(const TBusyCores&) = delete;

  void Stop() {
    FBusy = false;
    for (std::thread& t : FSpinners) t.join();
    FSpinners.clear();
  }

private:
  std::atomic<bool> FBusy{true};
  std::vector<std::thread> FSpinners;
};
