#include "ui/help/HelpContainer.h"

#include <algorithm>

#include "base/Strings.h"

namespace {

constexpr std::uint8_t kPageTableMark = 0xF0, kPageMark = 0xF1, kPictureTableMark = 0xF2;

std::vector<THelpEntry> ReadTable(TStream& stream) {
  std::vector<THelpEntry> entries;
  unsigned count = stream.ReadU16();
  for (unsigned i = 0; i < count; ++i) {
    std::string name = stream.ReadString(stream.ReadU16());
    entries.push_back({std::move(name), stream.ReadU32()});
  }
  return entries;
}

const THelpEntry* Find(const std::vector<THelpEntry>& entries, const std::string& name) {
  for (const auto& entry : entries)
    if (SameText(entry.Name, name)) return &entry;
  return nullptr;
}

}  // namespace

THelpContainer::THelpContainer(TStream& stream) : FStream(stream), FSize(stream.GetSize()) {
  try {
    FStream.SetPosition(0);
    if (FSize < 1 || FStream.ReadU8() != kPageTableMark) return;
    FPages = ReadTable(FStream);
    if (FStream.Remaining() > 0 && FStream.ReadU8() == kPictureTableMark) FPictures = ReadTable(FStream);
  } catch (const EReadError&) {
    // A table cut short: what was read of the page table stays, the
    // pictures are left out.
  }
  std::stable_sort(FPages.begin(), FPages.end(),
                   [](const THelpEntry& a, const THelpEntry& b) { return UpperCase(a.Name) < UpperCase(b.Name); });
}

const THelpEntry* THelpContainer::FindPage(const std::string& name) const { return Find(FPages, name); }

const THelpEntry* THelpContainer::FindPicture(const std::string& name) const { return Find(FPictures, name); }

bool THelpContainer::ReadPage(const THelpEntry& entry, std::string& text) {
  if (std::int64_t(entry.Offset) + 5 > FSize) return false;
  FStream.SetPosition(entry.Offset);
  if (FStream.ReadU8() != kPageMark) return false;
  std::int64_t length = FStream.ReadU32();
  if (length > FStream.Remaining()) return false;
  text = FStream.ReadString(length);
  return true;
}

void THelpContainer::LoadPicture(const THelpEntry& entry, forms::TPicture& picture) {
  picture.SetGraphic(nullptr);
  if (std::int64_t(entry.Offset) + 8 > FSize) return;
  FStream.SetPosition(entry.Offset);
  if (FStream.ReadU16() != 1) return;
  unsigned format = FStream.ReadU16();
  std::int64_t length = FStream.ReadU32();
  if (length > FStream.Remaining()) return;
  TMemoryStream data(FStream.ReadBytes(length));
  try {
    picture.LoadFromFormatCode(format, data);
  } catch (const Exception&) {
    picture.SetGraphic(nullptr);  // data that do not decode: an empty picture
  }
}
