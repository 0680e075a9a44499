#pragma once
// Loading help pages from a file: the requested pages of a ".xcf" container
// (every entry of each requested name, in table order; without a request
// the first page in sorted order) or the one page of a ".xml" file, with the
// pictures and embedded pages they name. A missing file, another extension,
// a wrong mark or a damaged container gives an empty page and no message.

#include <string>
#include <vector>

#include "ui/help/HelpParse.h"

struct THelpPages {
  THelpBlocks Blocks;
  int MaxDepth = 0;
  bool Container = false;
};

void LoadHelpPages(const std::string& fileName, const std::vector<std::string>& requested,
                   const THelpStyle& baseStyle, THelpPages& pages);

// A file of Folder named Name, letter case aside (the exact name first);
// "" when there is none.
std::string FindFileNoCase(const std::string& folder, const std::string& name);
