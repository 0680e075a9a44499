#pragma once
// What the clip input tests share: everything an input delivers, and bytes
// read as samples.

#include <cstdint>
#include <cstring>
#include <vector>

#include "media/audio/AuInput.h"

// Everything the input delivers, asked for in portions of Ask bytes.
inline std::vector<uint8_t> Drain(TAuInput& in, uint32_t ask = 40000, size_t limit = 1 << 26) {
  std::vector<uint8_t> out;
  in.Init();
  for (;;) {
    uint8_t* buffer = nullptr;
    uint32_t bytes = ask;
    in.GetData(buffer, bytes);
    if (bytes == 0 || out.size() >= limit) break;
    out.insert(out.end(), buffer, buffer + bytes);
  }
  in.Flush();
  return out;
}

template <class T>
std::vector<T> As(const std::vector<uint8_t>& bytes) {
  std::vector<T> v(bytes.size() / sizeof(T));
  std::memcpy(v.data(), bytes.data(), v.size() * sizeof(T));
  return v;
}
