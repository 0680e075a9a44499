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
  // Why Create or Commit failed, or the stream's last write (its errno: no
  // permission, a full disk, a read-only file system ...); 0 when not known.
  int Error() const;

private:
  std::string FDest, FName;
  std::unique_ptr<TFileStream> FStream;
  int FError = 0;
};
