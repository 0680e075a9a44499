#pragma once
// The graphics of a score's pictures. A score keeps each picture as its
// stored type code and bytes; the painting turns them into a graphic of the
// picture classes once and keeps it with the type and bytes it was made
// from, so that a repaint decodes nothing until they change. Pictures whose
// bytes do not decode are remembered as empty. Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

class TKVPicture;
namespace forms {
class TGraphic;
class TPicture;
}

namespace render {

class TKVPictureGraphics {
public:
  // The pictures kept: enough for the pictures of many pages; the one used
  // longest ago makes room.
  static constexpr size_t kCapacity = 64;

  TKVPictureGraphics();
  ~TKVPictureGraphics();

  // The graphic of Picture; nil when the picture is empty, of a type no
  // picture class reads, or its bytes do not decode (logged once).
  forms::TGraphic* GraphicOf(const TKVPicture& Picture);
  // Graphics made so far, decoded or not.
  int64_t Made() const { return FMade; }
  void Clear();

private:
  struct TEntry;
  std::vector<std::unique_ptr<TEntry>> FEntries;  // the most recently used last
  int64_t FMade = 0;
};

// The graphics every view's painting shares.
TKVPictureGraphics& PictureGraphics();

}  // namespace render
