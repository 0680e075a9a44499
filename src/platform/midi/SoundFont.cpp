#include "platform/midi/SoundFont.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace midi {

std::vector<std::string> SoundFontDataDirs() {
  std::vector<std::string> dirs;
  const char* env = std::getenv("XDG_DATA_DIRS");
  std::string list = (env && *env) ? env : "/usr/local/share:/usr/share";
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) dirs.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return dirs;
}

std::string FindSoundFont(const std::vector<std::string>& dataDirs) {
  static const char* const preferred[] = {
      "sounds/sf2/FluidR3_GM.sf2",
      "sounds/sf2/TimGM6mb.sf2",
      "sounds/sf2/default-GM.sf2",
      "sounds/sf3/default-GM.sf3",
  };
  namespace fs = std::filesystem;
  for (const char* name : preferred) {
    for (const std::string& dir : dataDirs) {
      const fs::path path = fs::path(dir) / name;
      std::error_code ec;
      // is_regular_file follows the default-GM links; a dangling one fails.
      if (fs::is_regular_file(path, ec) && fs::file_size(path, ec) > 0 && !ec) return path.string();
    }
  }
  return {};
}

}  // namespace midi
