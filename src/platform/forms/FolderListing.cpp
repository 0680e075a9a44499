#include "platform/forms/FolderListing.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "base/Strings.h"
#include "base/Utf8.h"
#include "platform/forms/FileFilter.h"

namespace fs = std::filesystem;

namespace forms {

std::string ShownText(const std::string& bytes) {
  if (IsValidUtf8(bytes)) return bytes;
  std::string out;
  for (size_t i = 0; i < bytes.size();) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    const size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length && i + length <= bytes.size() && IsValidUtf8(std::string_view(bytes).substr(i, length))) {
      out.append(bytes, i, length);
      i += length;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

std::vector<TFolderEntry> ReadFolder(const std::string& folder, const std::vector<std::string>& masks,
                                     std::string& error) {
  std::vector<TFolderEntry> entries;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    TFolderEntry entry{name, ShownText(name)};
    struct stat st {};
    if (::stat(it->path().c_str(), &st) == 0) {
      entry.Folder = S_ISDIR(st.st_mode);
      entry.Size = std::uintmax_t(st.st_size);
      entry.Modified = st.st_mtime;
    }
    // A dangling link or an entry that cannot be asked about lists as a file.
    if (entry.Folder || MatchesAnyMask(name, masks)) entries.push_back(std::move(entry));
  }
  error = ec ? ec.message() : "";
  return entries;
}

void SortEntries(std::vector<TFolderEntry>& entries, TSortColumn column, bool descending) {
  std::vector<std::pair<std::string, size_t>> keys;
  keys.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) keys.emplace_back(LowerCase(entries[i].Shown), i);
  auto byName = [&](size_t a, size_t b) { return keys[a].first < keys[b].first; };
  std::vector<size_t> order(entries.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const TFolderEntry &x = entries[a], &y = entries[b];
    if (x.Folder != y.Folder) return x.Folder;
    if (descending) std::swap(a, b);
    const TFolderEntry &p = entries[a], &q = entries[b];
    if (column == scSize && p.Size != q.Size) return p.Size < q.Size;
    if (column == scDate && p.Modified != q.Modified) return p.Modified < q.Modified;
    return byName(a, b);
  });
  std::vector<TFolderEntry> sorted;
  sorted.reserve(entries.size());
  for (size_t i : order) sorted.push_back(std::move(entries[i]));
  entries = std::move(sorted);
}

std::string SizeText(const TFolderEntry& entry) {
  if (entry.Folder) return "";
  if (entry.Size < 1024) return std::to_string(entry.Size) + " bytes";
  double value = double(entry.Size) / 1024;
  const char* unit = "KB";
  for (const char* next : {"MB", "GB", "TB"}) {
    if (value < 1024) break;
    value /= 1024;
    unit = next;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, unit);
  return text;
}

std::string DateText(std::int64_t modified) {
  const std::time_t t = std::time_t(modified);
  std::tm local{};
  if (!localtime_r(&t, &local)) return "";
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

}  // namespace forms
