#pragma once
// A Windows metafile (with or without the placeable header) or an enhanced
// metafile (EMF, and EMF+ dual files through their plain records), read
// from its bytes and drawn through the canvas into any rectangle. Its
// width and height are those of its header at 96 pixels per inch (see
// Header.h). Records it does not draw are skipped and counted; damage ends
// the drawing where it is found. The first drawing that skips or stops
// logs one line.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/canvas/Canvas.h"
#include "platform/metafile/Header.h"
#include "platform/metafile/PlayResult.h"

namespace metafile {

class TMetafileData {
public:
  // Raises canvas::EInvalidGraphic "Metafile is not valid" for bytes that
  // are no metafile.
  explicit TMetafileData(std::vector<std::uint8_t> bytes);

  const std::vector<std::uint8_t>& Bytes() const { return FBytes; }
  bool Enhanced() const { return FHeader.Kind == TKind::Emf; }
  int Width() const { return FHeader.Width; }
  int Height() const { return FHeader.Height; }

  TPlayResult Draw(canvas::TCanvas& canvas, const canvas::TRect& rect);

private:
  std::vector<std::uint8_t> FBytes;
  THeader FHeader;
  TBitmapCache FBitmaps;
  bool FLogged = false;
};

}  // namespace metafile
