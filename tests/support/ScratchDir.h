#pragma once
// A fresh empty folder under the system's temporary folder for one test,
// removed with all it holds when the object goes, and whole files read and
// written as text or bytes. Tests that save files save them here, never
// next to a corpus file.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace test_support {

class TScratchDir {
public:
  TScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sonarid-test-XXXXXX").string();
    if (::mkdtemp(pattern.data())) FDir = std::filesystem::weakly_canonical(pattern);
  }
  ~TScratchDir() {
    std::error_code ignored;
    if (!FDir.empty()) std::filesystem::remove_all(FDir, ignored);
  }
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;

  const std::filesystem::path& Dir() const { return FDir; }
  // The folder itself, or Name inside it.
  std::string Path(const std::string& name = "") const { return name.empty() ? FDir.string() : (FDir / name).string(); }
  size_t FileCount() const {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(FDir)) ++n;
    return n;
  }

private:
  std::filesystem::path FDir;
};

inline std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
inline void WriteText(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}
inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& file) {
  const std::string text = ReadText(file);
  return {text.begin(), text.end()};
}
inline void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
  WriteText(file, std::string(bytes.begin(), bytes.end()));
}

}  // namespace test_support
