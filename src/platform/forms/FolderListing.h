#pragma once
// What a file dialog lists of a folder: its sub-folders and the files that
// match the filter, each with its size and date, sorted folders first by
// the column the user chose. Names are kept as the bytes on disk; the text
// shown is valid UTF-8 whatever those bytes are.

#include <cstdint>
#include <string>
#include <vector>

namespace forms {

struct TFolderEntry {
  std::string Name;   // as on disk
  std::string Shown;  // Name with each malformed UTF-8 byte as U+FFFD
  bool Folder = false;
  std::uintmax_t Size = 0;
  std::int64_t Modified = 0;  // seconds since 1970
};

enum TSortColumn : std::uint8_t { scName, scSize, scDate };

// The folders and the files matching one of Masks, hidden names (".")
// left out; Error is empty when the folder was read, else why not.
std::vector<TFolderEntry> ReadFolder(const std::string& folder, const std::vector<std::string>& masks,
                                     std::string& error);
// Folders first, then files; each by Column (names without regard to ASCII
// case, ties by name), the other way round when Descending.
void SortEntries(std::vector<TFolderEntry>& entries, TSortColumn column, bool descending);
// "" for a folder, else "512 bytes", "1.5 KB", "12.0 MB", "1.1 GB".
std::string SizeText(const TFolderEntry& entry);
// Local time "yyyy-mm-dd hh:mm".
std::string DateText(std::int64_t modified);
// Bytes as valid UTF-8: each byte that starts no well-formed sequence
// becomes U+FFFD.
std::string ShownText(const std::string& bytes);

}  // namespace forms
