#pragma once
// The data block of a UI language file, read in place. The block begins with
// a ternary search tree over the section names (11-byte nodes: the byte, the
// section's offset, and forward distances to the smaller, next-byte and
// greater children, each counted from the distance field itself), followed by
// the form sections: a string-table distance, the entry count, the property
// entries, and the string table of numbered messages.
//
// The file may be damaged or hostile, so every read is checked against the
// block's end: a lookup that would leave the block finds nothing, and a
// section whose entries run out of the block ends there, like a section whose
// text is too long.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lrf {

constexpr uint8_t kHeaderMark = 16;
constexpr size_t kNodeSize = 11;
constexpr size_t kMaxTextLength = 1024;  // any value or message text
constexpr unsigned kMaxEntries = 1024;   // a section with more applies none

// Value types of a property entry; any other type has no value bytes.
enum TValueType : uint8_t { vtString = 1, vtStrings = 2, vtFont = 3, vtText = 10 };

// One property entry as stored.
struct TEntry {
  std::string Path;
  uint8_t Type = 0;
  std::string Text;                // vtString and vtText: the value; vtFont: the font name
  std::vector<std::string> Items;  // vtStrings
  uint16_t Charset = 0;            // vtFont (its low byte is the character set)
  uint16_t Size = 0;               // vtFont, in points
};

// Bounded little-endian reads from a position in the block.
class TBlockCursor {
public:
  TBlockCursor(const std::vector<uint8_t>& block, size_t position) : FBlock(block), FPosition(position) {}

  bool U8(uint8_t& value);
  bool U16(uint16_t& value);
  bool U32(uint32_t& value);
  // A 16-bit length and that many bytes; fails past the block or when the
  // length is above Limit.
  bool Text(std::string& value, size_t limit);

  size_t Position() const { return FPosition; }

private:
  bool take(size_t count, const uint8_t*& at);

  const std::vector<uint8_t>& FBlock;
  size_t FPosition;
};

// Offset of the named section in the block, by the search tree; none for an
// empty name, a name not in the tree or an offset outside the block.
// Bytes are compared as unsigned values, letter case counts.
std::optional<size_t> FindSection(const std::vector<uint8_t>& block, const std::string& name);

// Message Index of the section's string table; empty when the index is
// negative or not below the table's count, the text is longer than the limit
// or anything lies outside the block.
std::string SectionString(const std::vector<uint8_t>& block, size_t section, int index);

// The section's property entries in file order.
class TSectionEntries {
public:
  TSectionEntries(const std::vector<uint8_t>& block, size_t section);

  // The next entry; false at the end of the entries, when a text is longer
  // than the limit or when the entry does not lie inside the block (the
  // section ends there). A section of more than kMaxEntries entries has none.
  bool Next(TEntry& entry);

private:
  bool read(TEntry& entry);

  TBlockCursor FCursor;
  unsigned FRemaining = 0;
};

}  // namespace lrf
