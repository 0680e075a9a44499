#pragma once
// ImageMagick as an independent maker and reader of picture files: tests
// write GIF, BMP, ICO and JPEG files with `convert` and compare what the
// program reads with ImageMagick's RGBA dump of the same file.

#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

// What a shell command writes to its standard output ("" and Ok false when it fails).
inline std::string CommandOutput(const std::string& command, bool* ok = nullptr) {
  std::string out;
  char buffer[65536];
  FILE* pipe = ::popen(command.c_str(), "r");
  for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  bool done = pipe && ::pclose(pipe) == 0;
  if (ok) *ok = done;
  return out;
}

// Red, green, blue and alpha bytes of each pixel, row by row.
inline std::vector<std::uint8_t> RgbaDump(const std::string& file) {
  std::string out = CommandOutput("convert '" + file + "' -depth 8 rgba:- 2>/dev/null");
  return std::vector<std::uint8_t>(out.begin(), out.end());
}

}  // namespace test_support
