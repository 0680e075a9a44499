#include "platform/ole/CompoundFile.h"

#include <algorithm>
#include <cstring>

#include "base/LittleEndian.h"
#include "base/Utf8.h"

namespace ole {

namespace {

constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE, kNoStream = 0xFFFFFFFF;
constexpr std::size_t kHeaderSize = 512, kHeaderDifat = 109, kDirEntrySize = 128, kMiniSectorSize = 64;
constexpr std::uint8_t kStorage = 1, kStream = 2, kRoot = 5;
// Storages nested deeper than this are taken for a damaged directory.
constexpr int kMaxDepth = 32;

[[noreturn]] void Damaged(const std::string& what) { throw ECompoundFileError(what); }

// A directory entry's name: at most 31 UTF-16 units before the terminator.
std::string EntryName(const std::uint8_t* e) {
  std::size_t bytes = le::load16(e + 64);
  if (bytes > 64 || bytes % 2) Damaged("a directory entry's name is longer than its field");
  std::u16string units;
  for (std::size_t i = 0; i + 2 < bytes; i += 2) units += char16_t(le::load16(e + i));
  std::string name;
  for (std::size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000)
      c = 0xFFFD;
    AppendUtf8(name, c);
  }
  return name;
}

}  // namespace

TCompoundFile::TCompoundFile(std::span<const std::uint8_t> bytes) : FBytes(bytes) {
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kSignature, 8) != 0) Damaged("no compound file header");
  const std::uint8_t* h = bytes.data();
  unsigned shift = le::load16(h + 0x1E);
  if (le::load16(h + 0x1C) != 0xFFFE || (shift != 9 && shift != 12) || le::load16(h + 0x20) != 6)
    Damaged("unknown sector sizes");
  FSectorSize = 1u << shift;
  FMiniCutoff = le::load32(h + 0x38);
  if (FMiniCutoff != 4096) Damaged("unknown mini stream cutoff");
  // Sector N starts at (N + 1) x the sector size; a last sector may be cut short.
  FSectorCount = std::uint32_t(std::min<std::uint64_t>((bytes.size() - 1) / FSectorSize, kEndOfChain - 1));
  ReadTables();
  ReadDirectory();
}

std::span<const std::uint8_t> TCompoundFile::Sector(std::uint32_t index) const {
  if (index >= FSectorCount) Damaged("a sector outside the file");
  std::size_t start = (std::size_t(index) + 1) * FSectorSize;
  return FBytes.subspan(start, std::min<std::size_t>(FSectorSize, FBytes.size() - start));
}

std::vector<std::uint32_t> TCompoundFile::Chain(const std::vector<std::uint32_t>& table, std::uint32_t start,
                                                std::size_t wanted) const {
  std::vector<std::uint32_t> chain;
  std::vector<bool> seen(table.size());
  for (std::uint32_t s = start; s != kEndOfChain && (wanted == 0 || chain.size() < wanted);) {
    if (s >= table.size()) Damaged("a chain leaves its table");
    if (seen[s]) Damaged("a chain runs in a loop");
    seen[s] = true;
    chain.push_back(s);
    s = table[s];
  }
  if (chain.size() < wanted) Damaged("a chain ends before its stream");
  return chain;
}

std::vector<std::uint8_t> TCompoundFile::ReadChain(std::uint32_t start, std::uint64_t size) const {
  if (size == 0) return {};
  if (size > std::uint64_t(FSectorCount) * FSectorSize) Damaged("a stream larger than the file");
  std::vector<std::uint32_t> chain = Chain(FFat, start, std::size_t((size + FSectorSize - 1) / FSectorSize));
  std::vector<std::uint8_t> out;
  out.reserve(std::size_t(size));
  for (std::uint32_t s : chain) {
    std::span<const std::uint8_t> sector = Sector(s);
    std::size_t n = std::min<std::size_t>(FSectorSize, std::size_t(size - out.size()));
    if (sector.size() < n) Damaged("a stream ends past the file");
    out.insert(out.end(), sector.begin(), sector.begin() + std::ptrdiff_t(n));
  }
  return out;
}

void TCompoundFile::ReadTables() {
  const std::uint8_t* h = FBytes.data();
  std::uint32_t fatCount = le::load32(h + 0x2C), difatCount = le::load32(h + 0x48);
  if (fatCount > FSectorCount || difatCount > FSectorCount) Damaged("more table sectors than the file holds");
  std::vector<std::uint32_t> fatSectors;
  for (std::size_t i = 0; i < std::min<std::size_t>(fatCount, kHeaderDifat); ++i)
    fatSectors.push_back(le::load32(h + 0x4C + 4 * i));
  // The extension chain: each sector lists table sectors and ends with the next one.
  std::uint32_t next = le::load32(h + 0x44);
  const std::size_t perSector = FSectorSize / 4 - 1;
  for (std::uint32_t k = 0; k < difatCount && fatSectors.size() < fatCount; ++k) {
    std::span<const std::uint8_t> s = Sector(next);
    if (s.size() < FSectorSize) Damaged("a table sector cut short");
    for (std::size_t i = 0; i < perSector && fatSectors.size() < fatCount; ++i) fatSectors.push_back(le::load32(s.data() + 4 * i));
    next = le::load32(s.data() + 4 * perSector);
  }
  if (fatSectors.size() < fatCount) Damaged("the table's sector list ends early");
  FFat.reserve(std::size_t(fatCount) * FSectorSize / 4);
  for (std::uint32_t f : fatSectors) {
    std::span<const std::uint8_t> s = Sector(f);
    if (s.size() < FSectorSize) Damaged("a table sector cut short");
    for (std::size_t i = 0; i < FSectorSize / 4; ++i) FFat.push_back(le::load32(s.data() + 4 * i));
  }
  std::uint32_t miniStart = le::load32(h + 0x3C);
  if (miniStart != kEndOfChain) {
    for (std::uint32_t s : Chain(FFat, miniStart, 0)) {
      std::span<const std::uint8_t> sector = Sector(s);
      for (std::size_t i = 0; i + 4 <= sector.size(); i += 4) FMiniFat.push_back(le::load32(sector.data() + i));
    }
  }
}

void TCompoundFile::ReadDirectory() {
  std::uint32_t start = le::load32(FBytes.data() + 0x30);
  for (std::uint32_t s : Chain(FFat, start, 0)) {
    std::span<const std::uint8_t> sector = Sector(s);
    for (std::size_t at = 0; at + kDirEntrySize <= sector.size(); at += kDirEntrySize) {
      const std::uint8_t* e = sector.data() + at;
      TDirEntry d;
      d.Type = e[66];
      if (d.Type == kStorage || d.Type == kStream || d.Type == kRoot) d.Name = EntryName(e);
      d.Left = le::load32(e + 68), d.Right = le::load32(e + 72), d.Child = le::load32(e + 76);
      d.Start = le::load32(e + 116);
      d.Size = le::load32(e + 120);
      // The high half of the size counts only in files of 4096-byte sectors.
      if (FSectorSize == 4096) d.Size |= std::uint64_t(le::load32(e + 124)) << 32;
      FDir.push_back(d);
    }
  }
  if (FDir.empty() || FDir[0].Type != kRoot) Damaged("no root entry");
  const TDirEntry& root = FDir[0];
  FMiniStream = ReadChain(root.Start, root.Size);
  std::vector<bool> seen(FDir.size());
  seen[0] = true;
  ListChildren(0, "", seen, 0);
}

void TCompoundFile::ListChildren(std::uint32_t storage, const std::string& prefix, std::vector<bool>& seen, int depth) {
  if (depth > kMaxDepth) Damaged("storages nested too deep");
  // The children form a tree by their left and right links; in order.
  std::vector<std::uint32_t> pending;
  std::uint32_t at = FDir[storage].Child;
  while (at != kNoStream || !pending.empty()) {
    while (at != kNoStream) {
      if (at >= FDir.size() || seen[at]) Damaged("the directory links an entry twice or outside it");
      seen[at] = true;
      pending.push_back(at);
      at = FDir[at].Left;
    }
    std::uint32_t id = pending.back();
    pending.pop_back();
    const TDirEntry& d = FDir[id];
    if (d.Type != kStorage && d.Type != kStream) Damaged("the directory links an unused entry");
    if (!FPaths.insert(prefix + d.Name).second) Damaged("two entries of one name");
    FEntries.push_back({prefix + d.Name, d.Type == kStream, d.Type == kStream ? d.Size : 0});
    FEntryIds.push_back(id);
    if (d.Type == kStorage) ListChildren(id, prefix + d.Name + "/", seen, depth + 1);
    at = d.Right;
  }
}

std::vector<std::uint8_t> TCompoundFile::ReadStream(const std::string& path) const {
  auto it = std::find_if(FEntries.begin(), FEntries.end(), [&](const TStorageEntry& e) { return e.IsStream && e.Path == path; });
  if (it == FEntries.end()) Damaged("no stream " + path);
  const TDirEntry& d = FDir[FEntryIds[std::size_t(it - FEntries.begin())]];
  if (d.Size >= FMiniCutoff || d.Size == 0) return ReadChain(d.Start, d.Size);
  // A small stream lives in 64-byte sectors of the mini stream.
  std::vector<std::uint32_t> chain = Chain(FMiniFat, d.Start, std::size_t((d.Size + kMiniSectorSize - 1) / kMiniSectorSize));
  std::vector<std::uint8_t> out;
  for (std::uint32_t s : chain) {
    std::size_t from = std::size_t(s) * kMiniSectorSize, n = std::min<std::size_t>(kMiniSectorSize, std::size_t(d.Size) - out.size());
    if (from > FMiniStream.size() || FMiniStream.size() - from < n) Damaged("a small stream ends past the mini stream");
    out.insert(out.end(), FMiniStream.begin() + std::ptrdiff_t(from), FMiniStream.begin() + std::ptrdiff_t(from + n));
  }
  return out;
}

}  // namespace ole
