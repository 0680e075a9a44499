#pragma once
// The largest single request to operator new while a watch is alive, for
// tests that a reader refuses a file before it asks for the memory its
// header promises. Linking this library replaces the test program's global
// operator new with one that counts (and otherwise just calls malloc).

#include <cstddef>

namespace test_support {

class TAllocationWatch {
public:
  TAllocationWatch();
  ~TAllocationWatch();
  TAllocationWatch(const TAllocationWatch&) = delete;
  TAllocationWatch& operator=(const TAllocationWatch&) = delete;
  // Bytes of the largest request since the watch began.
  std::size_t Largest() const;
};

}  // namespace test_support
