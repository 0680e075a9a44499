#pragma once
// The open objects behind a kind of handle. Handles count up from 1 and are
// never reused, so a notice posted for a handle closed since finds nothing.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace audio {

template <typename T>
class THandleTable {
public:
  uint32_t Add(std::shared_ptr<T> object) {
    std::lock_guard<std::mutex> lock(FLock);
    FObjects[FNext] = std::move(object);
    return FNext++;
  }
  std::shared_ptr<T> Find(uint32_t handle) {
    std::lock_guard<std::mutex> lock(FLock);
    auto it = FObjects.find(handle);
    return it == FObjects.end() ? nullptr : it->second;
  }
  // The object taken out, or null for a handle not open.
  std::shared_ptr<T> Remove(uint32_t handle) {
    std::lock_guard<std::mutex> lock(FLock);
    auto it = FObjects.find(handle);
    if (it == FObjects.end()) return nullptr;
    std::shared_ptr<T> object = std::move(it->second);
    FObjects.erase(it);
    return object;
  }

private:
  std::mutex FLock;
  std::map<uint32_t, std::shared_ptr<T>> FObjects;
  uint32_t FNext = 1;
};

}  // namespace audio
