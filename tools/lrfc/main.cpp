// lrfc: compiles a UI language source into the binary language file.
// Usage: lrfc SOURCE OUTPUT [OUTPUT...] — the same file is written to every
// output. Each output is written beside its place and renamed into it, so a
// failed run never leaves a half-written language file.

#include <iostream>

#include "lrfc/LangSource.h"
#include "lrfc/OutputFile.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: lrfc SOURCE OUTPUT [OUTPUT...]\n";
    return 2;
  }
  try {
    std::vector<uint8_t> bytes = lrfc::CompileLangSource(lrfc::ReadLangSource(argv[1]));
    for (int i = 2; i < argc; ++i)
      if (!lrfc::WriteOutputFile(argv[i], bytes)) {
        std::cerr << "lrfc: cannot write " << argv[i] << "\n";
        return 1;
      }
  } catch (const Exception& e) {
    std::cerr << "lrfc: error: " << e.Message() << "\n";
    return 1;
  }
  return 0;
}
