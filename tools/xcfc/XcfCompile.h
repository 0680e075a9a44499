#pragma once
// The help compiler: a folder of page sources (UTF-8 markup) and a folder of
// pictures become one page container. Sources the page reader would read
// otherwise than their author meant are refused, each with its file and line.

#include <cstdint>
#include <string>
#include <vector>

namespace xcfc {

struct TPageSource {
  std::string Name;   // the file name, which is the page name
  std::string Bytes;  // the text in the language's code page
};

struct TPictureSource {
  std::string Name;
  unsigned Format;  // 256 bitmap, 257 GIF, 258 JPEG, 259 icon
  std::vector<std::uint8_t> Bytes;
};

struct THelpSources {
  std::vector<TPageSource> Pages;
  std::vector<TPictureSource> Pictures;
};

// Windows-1251 for the Cyrillic languages, Windows-1252 for the others.
int CodePageOf(const std::string& languageCode);

// Reads every ".xml" page of PagesFolder and every picture of
// PicturesFolder (files of other kinds are left out), in name order;
// Errors receives "file:line: problem" for each refused source.
THelpSources ReadHelpSources(const std::string& pagesFolder, const std::string& picturesFolder, int codePage,
                             std::vector<std::string>& errors);

// Page table, picture table, then the page and picture records.
std::vector<std::uint8_t> WriteContainer(const THelpSources& sources);

}  // namespace xcfc
