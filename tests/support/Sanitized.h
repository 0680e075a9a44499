#pragma once
// Under the sanitizers everything runs several times slower: a test that
// walks a whole corpus, or a long random walk, takes a share of it there,
// so that the sanitizer stage of CI stays short. The release build runs it
// whole.

#include <cstddef>
#include <vector>

namespace test_support {

#ifdef SONARID_SANITIZED
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Every Nth item, from the first, under the sanitizers; all of them otherwise.
template <class T>
std::vector<T> SanitizerShare(const std::vector<T>& items, size_t n) {
  if (!kSanitized) return items;
  std::vector<T> share;
  for (size_t i = 0; i < items.size(); i += n) share.push_back(items[i]);
  return share;
}

}  // namespace test_support
