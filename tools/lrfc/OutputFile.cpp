#include "lrfc/OutputFile.h"

#include <filesystem>
#include <fstream>

namespace lrfc {

bool WriteOutputFile(const std::string& fileName, const std::vector<uint8_t>& bytes) {
  std::filesystem::path target(fileName);
  std::error_code ignored;
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ignored);
  std::string temporary = fileName + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, target, error);
  return !error;
}

}  // namespace lrfc
