#include "ui/LanguageBlock.h"

#include "base/LittleEndian.h"

namespace lrf {

bool TBlockCursor::take(size_t count, const uint8_t*& at) {
  if (FPosition > FBlock.size() || count > FBlock.size() - FPosition) return false;
  at = FBlock.data() + FPosition;
  FPosition += count;
  return true;
}

bool TBlockCursor::U8(uint8_t& value) {
  const uint8_t* at;
  if (!take(1, at)) return false;
  value = *at;
  return true;
}

bool TBlockCursor::U16(uint16_t& value) {
  const uint8_t* at;
  if (!take(2, at)) return false;
  value = le::load16(at);
  return true;
}

bool TBlockCursor::U32(uint32_t& value) {
  const uint8_t* at;
  if (!take(4, at)) return false;
  value = le::load32(at);
  return true;
}

bool TBlockCursor::Text(std::string& value, size_t limit) {
  uint16_t length;
  const uint8_t* at;
  if (!U16(length) || length > limit || !take(length, at)) return false;
  value.assign(reinterpret_cast<const char*>(at), length);
  return true;
}

std::optional<size_t> FindSection(const std::vector<uint8_t>& block, const std::string& name) {
  if (name.empty()) return std::nullopt;
  size_t node = 0, i = 0;
  // Every distance points forward, so the walk ends at the block's end at the latest.
  while (node <= block.size() && block.size() - node >= kNodeSize) {
    const uint8_t* n = block.data() + node;
    uint8_t byte = uint8_t(name[i]);
    size_t field;
    if (byte == n[0]) {
      if (i + 1 == name.size()) {
        uint32_t offset = le::load32(n + 1);
        if (offset >= block.size()) return std::nullopt;
        return offset;
      }
      ++i;
      field = 7;
    } else {
      field = byte < n[0] ? 5 : 9;
    }
    uint16_t distance = le::load16(n + field);
    if (distance == 0) return std::nullopt;
    node += field + distance;
  }
  return std::nullopt;
}

std::string SectionString(const std::vector<uint8_t>& block, size_t section, int index) {
  TBlockCursor header(block, section);
  uint32_t tableDistance;
  if (index < 0 || !header.U32(tableDistance)) return {};
  uint64_t table = uint64_t(section) + 4 + tableDistance;
  if (table > block.size()) return {};
  TBlockCursor cursor(block, size_t(table));
  uint16_t count;
  if (!cursor.U16(count) || index >= count) return {};
  TBlockCursor slot(block, cursor.Position() + 4 * size_t(index));
  uint32_t offset;
  if (!slot.U32(offset) || uint64_t(section) + offset > block.size()) return {};
  TBlockCursor text(block, section + offset);
  std::string value;
  if (!text.Text(value, kMaxTextLength)) return {};
  return value;
}

TSectionEntries::TSectionEntries(const std::vector<uint8_t>& block, size_t section) : FCursor(block, section) {
  uint32_t tableDistance;
  uint16_t count;
  if (FCursor.U32(tableDistance) && FCursor.U16(count) && count <= kMaxEntries) FRemaining = count;
}

bool TSectionEntries::Next(TEntry& entry) {
  if (FRemaining == 0) return false;
  --FRemaining;
  if (read(entry)) return true;
  FRemaining = 0;
  return false;
}

bool TSectionEntries::read(TEntry& entry) {
  entry = TEntry{};
  if (!FCursor.Text(entry.Path, SIZE_MAX) || !FCursor.U8(entry.Type)) return false;
  switch (entry.Type) {
    case vtString:
    case vtText:
      return FCursor.Text(entry.Text, kMaxTextLength);
    case vtStrings: {
      uint16_t count;
      if (!FCursor.U16(count)) return false;
      for (unsigned i = 0; i < count; ++i) {
        std::string item;
        if (!FCursor.Text(item, kMaxTextLength)) return false;
        entry.Items.push_back(std::move(item));
      }
      return true;
    }
    case vtFont:
      return FCursor.Text(entry.Text, kMaxTextLength) && FCursor.U16(entry.Charset) && FCursor.U16(entry.Size);
    default:
      return true;
  }
}

}  // namespace lrf
