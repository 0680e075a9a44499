#include "support/allocation/AllocationWatch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<int> gWatches{0};
std::atomic<std::size_t> gLargest{0};
}  // namespace

void* operator new(std::size_t size) {
  if (gWatches.load(std::memory_order_relaxed) > 0) {
    std::size_t seen = gLargest.load(std::memory_order_relaxed);
    while (size > seen && !gLargest.compare_exchange_weak(seen, size)) {
    }
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
// Every form of delete that can meet the memory of the forms above frees it
// with free: a sanitizer's own nothrow new would not pair with them.
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace test_support {

TAllocationWatch::TAllocationWatch() {
  gLargest = 0;
  ++gWatches;
}
TAllocationWatch::~TAllocationWatch() { --gWatches; }
std::size_t TAllocationWatch::Largest() const { return gLargest.load(); }

}  // namespace test_support
