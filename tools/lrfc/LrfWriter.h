#pragma once
// Writes the binary UI language format as the language components read it
// (ui/LanguageBlock.h): header, search tree over the section names, then the
// sections. It writes what it is given, limits of the reader included, so
// that tests can build files the reader must refuse; the compiler checks the
// limits before it calls it. Only what the format cannot hold at all (a
// length above 65535, a tree distance above 65535) raises ELrfWriteError.

#include <cstdint>
#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "ui/LanguageBlock.h"

namespace lrfc {

class ELrfWriteError : public Exception {
  using Exception::Exception;
};

struct TLrfSection {
  std::string Name;
  std::vector<lrf::TEntry> Entries;
  std::vector<std::string> Strings;  // numbered messages, from 0
};

// Marks tree nodes where no section name ends: an offset no block reaches,
// so that a prefix of a section name is not found.
constexpr uint32_t kNoSection = 0xFFFFFFFF;

// The data block: tree first (its root at offset 0), sections in the given order.
std::vector<uint8_t> WriteLrfBlock(const std::vector<TLrfSection>& sections);

// A whole file: header text 1, the mark, header text 2, the data block.
std::vector<uint8_t> WriteLrfFile(const std::string& text1, const std::string& text2,
                                  const std::vector<TLrfSection>& sections);

}  // namespace lrfc
