#pragma once
// A file written under a temporary name beside its destination and renamed
// into place only when complete: a failed or stopped write leaves no partial
// file, and a file the destination named before stays as it was.

#include <memory>
#include <string>

#include "base/Exceptions.h"
#include "base/Streams.h"

class TPartialFile {
public:
  explicit TPartialFile(const std::string& dest) : FDest(dest) {}
  // Removes the temporary file unless Commit renamed it.
  ~TPartialFile();
  TPartialFile(const TPartialFile&) = delete;
  TPartialFile& operator=(const TPartialFile&) = delete;

  // False when the destination cannot be written or the folder takes no new file.
  bool Create();
  TFileStream& Stream() { return *FStream; }
  // Flushes, closes and renames into place; false when any of it fails.
  bool Commit();

private:
  std::string FDest, FName;
  std::unique_ptr<TFileStream> FStream;
};
