#pragma once
// ImageMagick as an independent maker and reader of picture files: tests
// write GIF, BMP, ICO and JPEG files with `convert` and compare what the
// program reads with ImageMagick's RGBA dump of the same file. GDK-PixBuf
// reads BMP bit fields, which ImageMagick scales roughly, and OS/2 2.x
// headers, which it misreads.

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

// The same through gdk-pixbuf-pixdata, whose file has a 24-byte big-endian header (magic,
// length, type, row stride, width, height), then raw RGB or RGBA rows.
inline std::vector<std::uint8_t> PixbufRgbaDump(const std::string& file) {
  std::string out = CommandOutput("gdk-pixbuf-pixdata '" + file + "' '" + file + ".pixdata' 2>/dev/null && cat '" + file + ".pixdata'");
  auto word = [&out](std::size_t at) {
    return std::size_t(std::uint8_t(out[at])) << 24 | std::size_t(std::uint8_t(out[at + 1])) << 16 |
           std::size_t(std::uint8_t(out[at + 2])) << 8 | std::uint8_t(out[at + 3]);
  };
  std::vector<std::uint8_t> rgba;
  if (out.size() < 24 || out.compare(0, 4, "GdkP") != 0) return rgba;
  std::size_t channels = (word(8) & 0xFF) == 2 ? 4 : 3, stride = word(12), width = word(16), height = word(20);
  for (std::size_t y = 0; y < height && 24 + (y + 1) * stride <= out.size(); ++y)
    for (std::size_t x = 0; x < width; ++x) {
      const char* p = &out[24 + y * stride + x * channels];
      rgba.insert(rgba.end(), {std::uint8_t(p[0]), std::uint8_t(p[1]), std::uint8_t(p[2]), std::uint8_t(channels == 4 ? p[3] : 255)});
    }
  return rgba;
}

}  // namespace test_support
