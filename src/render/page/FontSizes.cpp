// The ten nominal music-font sizes of the current display record: the page's
// ready-made size for a normal staff at 100 %, else the size worked out at
// the record's staff size (in print, the drawing scale does not enter).

#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/model/LayoutRecords.h"

namespace render {

void TKVPageDrawer::SetSymbolFontSize(int N) {
  int64_t p = CurrentRecord ? CurrentRecord->SizePercent : 100;
  int64_t size;
  if (p == 100 && ScaleProduct == 10000)
    size = SymbolFontSize(N);
  else if (View.Style() == wsPrint)
    size = RoundDiv(int64_t(ScoreScale) * N * p, 10000);
  else
    size = RoundDiv(ScaleProduct * N * p, 1000000);
  Canvas.Font.SetSize(ClampCoordinate(size));
}

void TKVPageDrawer::SetSymbolFontSize4() { SetSymbolFontSize(4); }
void TKVPageDrawer::SetSymbolFontSize5() { SetSymbolFontSize(5); }
void TKVPageDrawer::SetSymbolFontSize6() { SetSymbolFontSize(6); }
void TKVPageDrawer::SetSymbolFontSize7() { SetSymbolFontSize(7); }
void TKVPageDrawer::SetSymbolFontSize8() { SetSymbolFontSize(8); }
void TKVPageDrawer::SetSymbolFontSize9() { SetSymbolFontSize(9); }
void TKVPageDrawer::SetSymbolFontSize10() { SetSymbolFontSize(10); }
void TKVPageDrawer::SetSymbolFontSize11() { SetSymbolFontSize(11); }
void TKVPageDrawer::SetSymbolFontSize14() { SetSymbolFontSize(14); }
void TKVPageDrawer::SetSymbolFontSize18() { SetSymbolFontSize(18); }

}  // namespace render
