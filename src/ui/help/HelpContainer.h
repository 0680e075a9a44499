#pragma once
// The help page container: a page table (mark 0xF0), an optional picture
// table (0xF2), and page (0xF1) and picture records anywhere in the file.
// Every offset and length is checked against the file's size before use; a
// record that breaks the bounds reads like one with a wrong mark.

#include <cstdint>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "platform/forms/Picture.h"

struct THelpEntry {
  std::string Name;
  std::uint32_t Offset;
};

class THelpContainer {
public:
  // Reads the tables; a wrong page table mark or a table cut short leaves
  // the container without pages.
  explicit THelpContainer(TStream& stream);

  // Sorted by name, letter case aside; of equal names the first in the file first.
  const std::vector<THelpEntry>& Pages() const { return FPages; }
  // The first entry of that name, letter case aside; nullptr when none.
  const THelpEntry* FindPage(const std::string& name) const;
  const THelpEntry* FindPicture(const std::string& name) const;
  // The page text; false for a wrong mark or a record beyond the file.
  bool ReadPage(const THelpEntry& entry, std::string& text);
  // The picture of a record; it stays empty when the record is wrong or
  // beyond the file or its data do not decode.
  void LoadPicture(const THelpEntry& entry, forms::TPicture& picture);

private:
  TStream& FStream;
  std::int64_t FSize;
  std::vector<THelpEntry> FPages, FPictures;
};
