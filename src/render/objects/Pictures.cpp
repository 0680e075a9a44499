// Pictures of a page at their natural size, centred or stretched into
// their box, transparent where their flags say; in print through a copy
// of their own size first.

#include <algorithm>
#include <cstdlib>

#include "platform/canvas/Bitmap.h"
#include "platform/forms/Graphic.h"
#include "player/Window.h"
#include "render/objects/PictureGraphics.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Image.h"

namespace render {

namespace {
constexpr uint8_t kTransparent = 0x20, kStretched = 0x40, kCentred = 0x80;
}

void TKVPageDrawer::DrawPictureObject(TKVImage& Image, const canvas::TRect& R) {
  forms::TGraphic* graphic = PictureGraphics().GraphicOf(Image.Picture());
  if (!graphic || graphic->GetEmpty()) return;
  const uint8_t flags = Image.Data().u8(ImageBlock::Flags);
  graphic->SetTransparent(flags & kTransparent);
  const int64_t width = graphic->GetWidth(), height = graphic->GetHeight();
  const int64_t w = width * XScale / 100, h = height * YScale / 100;
  canvas::TRect dest{R.Left, R.Top, ClampCoordinate(R.Left + w), ClampCoordinate(R.Top + h)};
  if (flags & kStretched)
    dest = R;
  else if (flags & kCentred)
    dest = {ClampCoordinate((R.Left + R.Right - w) / 2), ClampCoordinate((R.Top + R.Bottom - h) / 2),
            ClampCoordinate((R.Left + R.Right + w) / 2), ClampCoordinate((R.Top + R.Bottom + h) / 2)};
  if (View.Style() != wsPrint) return graphic->Draw(Canvas, dest);
  // A printer takes the picture as a plain bitmap of its own size; a
  // metafile's header may claim a size no bitmap holds, and then the copy
  // is made at the size it is drawn, within the canvas.
  int64_t copyW = width, copyH = height;
  if (copyW * copyH > canvas::TBitmap::kMaxPixels) {
    copyW = std::min<int64_t>(std::abs(dest.Width()), Canvas.Size().Cx);
    copyH = std::min<int64_t>(std::abs(dest.Height()), Canvas.Size().Cy);
  }
  canvas::TBitmap copy{int(copyW), int(copyH)};
  graphic->Draw(copy.Canvas(), {0, 0, int(copyW), int(copyH)});
  Canvas.StretchDraw(dest, copy);
}

}  // namespace render
