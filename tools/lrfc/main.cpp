// lrfc: compiles a UI language source into the binary language file.
// Usage: lrfc SOURCE OUTPUT [OUTPUT...] — the same file is written to every
// output. Each output is written beside its place and renamed into it, so a
// failed run never leaves a half-written language file.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "lrfc/LangSource.h"

namespace {

bool WriteFile(const std::string& fileName, const std::vector<uint8_t>& bytes) {
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: lrfc SOURCE OUTPUT [OUTPUT...]\n";
    return 2;
  }
  try {
    std::vector<uint8_t> bytes = lrfc::CompileLangSource(lrfc::ReadLangSource(argv[1]));
    for (int i = 2; i < argc; ++i)
      if (!WriteFile(argv[i], bytes)) {
        std::cerr << "lrfc: cannot write " << argv[i] << "\n";
        return 1;
      }
  } catch (const Exception& e) {
    std::cerr << "lrfc: error: " << e.Message() << "\n";
    return 1;
  }
  return 0;
}
