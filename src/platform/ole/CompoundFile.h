#pragma once
// A reader of compound files (the structured-storage format of embedded
// objects): the header, the sector allocation table with its extension
// chain, the directory tree and the mini stream of small streams. Every
// chain is checked against the file's sectors and for loops, and nothing is
// read or allocated beyond the bytes given.

#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "base/Exceptions.h"

namespace ole {

// A compound file that cannot be read: what is wrong comes after the colon.
class ECompoundFileError : public Exception {
public:
  explicit ECompoundFileError(const std::string& what) : Exception("Damaged compound file: " + what) {}
};

struct TStorageEntry {
  std::string Path;  // UTF-8; storages and the stream joined by "/"
  bool IsStream = false;
  std::uint64_t Size = 0;
};

class TCompoundFile {
public:
  // Reads the tables of Bytes, which must outlive the reader; raises
  // ECompoundFileError when they are damaged.
  explicit TCompoundFile(std::span<const std::uint8_t> bytes);

  // The storages and streams below the root, each storage before its children.
  const std::vector<TStorageEntry>& Entries() const { return FEntries; }
  // The bytes of the stream at Path; ECompoundFileError when it is missing
  // or its chain is damaged.
  std::vector<std::uint8_t> ReadStream(const std::string& path) const;

private:
  struct TDirEntry {
    std::string Name;
    std::uint8_t Type = 0;
    std::uint32_t Left = 0, Right = 0, Child = 0, Start = 0;
    std::uint64_t Size = 0;
  };

  std::span<const std::uint8_t> Sector(std::uint32_t index) const;
  // Sector numbers of the chain from Start, at most Wanted of them (all when
  // 0); raises when it leaves the table, loops or ends before Wanted.
  std::vector<std::uint32_t> Chain(const std::vector<std::uint32_t>& table, std::uint32_t start, std::size_t wanted) const;
  std::vector<std::uint8_t> ReadChain(std::uint32_t start, std::uint64_t size) const;
  void ReadTables();
  void ReadDirectory();
  void ListChildren(std::uint32_t storage, const std::string& prefix, std::vector<bool>& seen, int depth);

  std::span<const std::uint8_t> FBytes;
  unsigned FSectorSize = 512;
  std::uint32_t FSectorCount = 0;
  std::uint32_t FMiniCutoff = 4096;
  std::vector<std::uint32_t> FFat, FMiniFat;
  std::vector<TDirEntry> FDir;
  std::vector<std::uint8_t> FMiniStream;
  std::vector<TStorageEntry> FEntries;
  std::vector<std::uint32_t> FEntryIds;  // directory entry of each of FEntries
  std::set<std::string> FPaths;
};

}  // namespace ole
