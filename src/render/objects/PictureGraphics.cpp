#include "render/objects/PictureGraphics.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "base/Log.h"
#include "base/Streams.h"
#include "platform/forms/Picture.h"
#include "score/model/PageBackground.h"

namespace render {

struct TKVPictureGraphics::TEntry {
  const TKVPicture* Picture = nullptr;
  uint16_t Type = 0;
  std::vector<uint8_t> Bytes;
  forms::TPicture Decoded;
};

TKVPictureGraphics::TKVPictureGraphics() = default;
TKVPictureGraphics::~TKVPictureGraphics() = default;

forms::TGraphic* TKVPictureGraphics::GraphicOf(const TKVPicture& Picture) {
  if (Picture.Empty()) return nullptr;
  auto it = std::find_if(FEntries.begin(), FEntries.end(), [&](const auto& e) { return e->Picture == &Picture; });
  if (it != FEntries.end() && (*it)->Type == Picture.GraphicType() && (*it)->Bytes == Picture.Bytes()) {
    std::rotate(it, it + 1, FEntries.end());
    return FEntries.back()->Decoded.Graphic();
  }
  if (it != FEntries.end()) FEntries.erase(it);
  if (FEntries.size() >= kCapacity) FEntries.erase(FEntries.begin());
  auto entry = std::make_unique<TEntry>();
  entry->Picture = &Picture;
  entry->Type = Picture.GraphicType();
  entry->Bytes = Picture.Bytes();
  ++FMade;
  try {
    TMemoryStream stream(entry->Bytes);
    entry->Decoded.LoadFromFormatCode(entry->Type, stream);
    // Some classes decode on first use: make them do it here.
    if (forms::TGraphic* graphic = entry->Decoded.Graphic()) graphic->GetEmpty(), graphic->GetWidth();
  } catch (const Exception&) {
    LogFailure("A picture of type " + std::to_string(entry->Type) + " is not drawn");
    entry->Decoded.SetGraphic(nullptr);
  }
  FEntries.push_back(std::move(entry));
  return FEntries.back()->Decoded.Graphic();
}

void TKVPictureGraphics::Clear() { FEntries.clear(); }

TKVPictureGraphics& PictureGraphics() {
  static TKVPictureGraphics graphics;
  return graphics;
}

}  // namespace render
