// xcfc: compiles a folder of help page sources and a folder of pictures
// into a help page container.
// Usage: xcfc LANGUAGE PAGES PICTURES OUTPUT [OUTPUT...] — LANGUAGE is the
// three-letter code that picks the code page; the same file is written to
// every output.

#include <iostream>

#include "lrfc/OutputFile.h"
#include "xcfc/XcfCompile.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    std::cerr << "usage: xcfc LANGUAGE PAGES PICTURES OUTPUT [OUTPUT...]\n";
    return 2;
  }
  std::vector<std::string> errors;
  xcfc::THelpSources sources = xcfc::ReadHelpSources(argv[2], argv[3], xcfc::CodePageOf(argv[1]), errors);
  for (const std::string& error : errors) std::cerr << error << "\n";
  if (!errors.empty()) return 1;
  if (sources.Pages.empty()) {
    std::cerr << "xcfc: no pages in " << argv[2] << "\n";
    return 1;
  }
  std::vector<std::uint8_t> bytes = xcfc::WriteContainer(sources);
  for (int i = 4; i < argc; ++i)
    if (!lrfc::WriteOutputFile(argv[i], bytes)) {
      std::cerr << "xcfc: cannot write " << argv[i] << "\n";
      return 1;
    }
  return 0;
}
