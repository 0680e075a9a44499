#pragma once
// What every fuzz target shares: the input as a memory stream or as a file,
// and the rule that a reader may fail only with the program's own
// exceptions (Exception and below); anything else escapes and is a finding.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Streams.h"

inline TMemoryStream InputStream(const uint8_t* data, size_t size) {
  return TMemoryStream(std::vector<uint8_t>(data, data + size));
}

// The input written to a file of this process (for readers that take a path),
// named with Extension, rewritten for every input.
inline std::string InputFile(const uint8_t* data, size_t size, const std::string& extension) {
  static const std::string path = "/tmp/sonarid-fuzz-" + std::to_string(getpid()) + extension;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();
  return path;
}

// Breaks off the run (a finding) when an invariant the reader promises fails.
inline void Check(bool condition) {
  if (!condition) std::abort();
}
