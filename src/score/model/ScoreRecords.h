#pragma once
// Score-wide tables read from a score file: named records, drum-map entries
// and the text-style fonts. Their data bytes belong to the code that uses
// them; the score only stores them.

#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteBlock.h"
#include "base/Object.h"

// A named record: 12 data bytes and a text; kept as the object of a
// NamedRecords entry whose string is the record's name.
class TKVNamedRecord : public TObject {
public:
  static constexpr size_t DataBytes = 12;
  TByteBlock Data{DataBytes};
  std::string Text;
};

// A drum-map entry: 5 data bytes (sounding key, set index, staff position,
// an unused byte, enabled flag) and a name.
class TKVDrumEntry : public TObject {
public:
  static constexpr size_t DataBytes = 5;
  // Data bytes; the staff position counts diatonic steps, 23 being key 0.
  static constexpr size_t SoundingKey = 0, SetIndex = 1, StaffPosition = 2, Enabled = 4;
  TByteBlock Data{DataBytes};
  std::string Name;
};

// Font names of the text styles (index = text style), each with a 32-bit
// value.
class TKVTextFonts {
public:
  int32_t Count() const { return int32_t(FEntries.size()); }
  // "" and 0 for an index out of range.
  std::string Name(int32_t Index) const;
  int32_t Value(int32_t Index) const;
  // Stores entry Index, first growing the list with empty entries.
  void SetEntry(int32_t Index, const std::string& Name, int32_t Value);
  void Clear() { FEntries.clear(); }

private:
  struct Entry {
    std::string Name;
    int32_t Value = 0;
  };
  std::vector<Entry> FEntries;
};
