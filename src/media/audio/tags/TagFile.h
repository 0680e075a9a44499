#pragma once
// File access of the tag readers and writers. Reading never moves the
// descriptor's position (pread). Writing makes the new file beside the old
// one in the same folder and renames it over the old one, so a failure at
// any point leaves the old file as it was; the file keeps its permissions.

#include <cstdint>
#include <string>
#include <vector>

namespace tagfile {

// The file's length; -1 when it cannot be told.
int64_t FileSize(int file);
// Count bytes at Offset; false when fewer are there.
bool ReadAt(int file, int64_t offset, void* buffer, size_t count);
// Writes FileName anew: Head, the old content without its first Skip and
// last Cut bytes, then Tail. False, the file unchanged, when any step fails.
bool Rewrite(const std::string& fileName, const std::vector<uint8_t>& head, int64_t skip, int64_t cut,
             const std::vector<uint8_t>& tail);

}  // namespace tagfile
