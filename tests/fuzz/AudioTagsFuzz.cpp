// The ID3 tag readers on a file of the input's bytes, built once for each
// kind (TAG_KIND 1 for ID3v1, 2 for ID3v2): reading keeps the file's
// position (ID3v1, or a tag not read), or leaves it at the tag's end inside
// the file (ID3v2).

#include <sys/mman.h>
#include <unistd.h>

#include "FuzzInput.h"
#include "media/audio/tags/Id3v1Tags.h"
#include "media/audio/tags/Id3v2Tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The bytes as a file in memory: a descriptor like any open file's.
  const int file = ::memfd_create("tags", MFD_CLOEXEC);
  Check(file >= 0 && ::write(file, data, size) == ssize_t(size) && ::lseek(file, 0, SEEK_SET) == 0);
#if TAG_KIND == 1
  TId3v1Tags tags;
  const bool read = tags.ReadFromFile(file);
  Check(read == tags.TagPresent(file));
  Check(::lseek(file, 0, SEEK_CUR) == 0);
  Check(tags.Title().size() <= 30 && tags.Comment().size() <= 30 && tags.GenreId() < TId3v1Tags::GenreCount);
#else
  TId3v2Tags tags;
  const bool present = tags.TagPresent(file);
  const bool read = tags.ReadFromFile(file);
  Check(!read || present);
  const off_t at = ::lseek(file, 0, SEEK_CUR);
  Check(read ? at > 0 && at <= off_t(size) : at == 0);
  Check(tags.Title().size() <= size && tags.Artist().size() <= size);
#endif
  ::close(file);
  return 0;
}
