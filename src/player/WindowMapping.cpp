// Between client pixels and the layout units of the page records: points,
// rectangles of display records (whose y may follow their staff's own line
// spacing), the line spacing at the zoom and the linked object under a
// point. An invalid page index leaves the page origin out.

#include <algorithm>

#include "base/Saturate.h"
#include "player/Rule.h"
#include "player/Window.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/DisplayUnits.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Image.h"
#include "score/model/ItemKinds.h"
#include "score/model/Page.h"
#include "score/model/PageTexts.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace {

canvas::TRect Moved(const canvas::TRect& R, int32_t DX, int32_t DY) {
  return {R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY};
}

bool Contains(const canvas::TRect& R, canvas::TPoint P) {
  return R.Left <= P.X && P.X < R.Right && R.Top <= P.Y && P.Y < R.Bottom;
}

// A text or picture that leads somewhere.
bool IsLinked(const TKVItem* Item) {
  if (!Item) return false;
  if (Item->Kind() == ItemKind::Text) return !static_cast<const TKVText*>(Item)->Text2().empty();
  if (Item->Kind() == ItemKind::Image) return !static_cast<const TKVImage*>(Item)->Text().empty();
  return false;
}

canvas::TRect RectOf(const TKVDisplayItem& D) { return {D.Bounds.Left, D.Bounds.Top, D.Bounds.Width, D.Bounds.Bottom}; }

}  // namespace

int32_t TKVWindow::GetLineSpacing(const TKVStaff* Staff) const {
  if (!FScore || !Staff) return 0;
  const long double product = FScore->Page().InternalValue(pvLineSpace) * 96 * FScore->Scale() *
                              Staff->SizePercent() * FZoom * FScreenResolution / 96;
  if (Staff->Data().u8(StaffBlock::Tablature) != 0) return RoundExtended(product * 13 / 2540000000.0L);
  return RoundExtended(product / 254000000.0L);
}

canvas::TPoint TKVWindow::ClientToScroll(canvas::TPoint P) const {
  const int32_t w = FRule->Visible() ? FRule->Width() : 0;
  return {P.X - w + HorzPosition(), P.Y - w + VertPosition()};
}

canvas::TPoint TKVWindow::ClientToScore(canvas::TPoint P, int32_t Page) const {
  const canvas::TPoint c = ClientToScroll(P);
  const TKVPageRect page = PageRect(Page);
  return {PixelsToScore(c.X - page.Left), PixelsToScore(c.Y - page.Top)};
}

int32_t TKVWindow::ScoreXToClient(int32_t X, int32_t Page) const {
  const int32_t w = FRule->Visible() ? FRule->Width() : 0;
  return ScoreToPixels(X) + w - HorzPosition() + PageRect(Page).Left;
}

// A staff-relative y follows the spacing its staff was painted with.
static int32_t ItemY(const TKVWindow& View, const TKVDisplayItem* Item, int32_t Y) {
  const TKVStaffLineRecord* line = Item ? Item->StaffLine : nullptr;
  if (!line || !(Item->DrawFlags & DisplayDrawFlag::StaffRelativeY) || line->LineSpacing == 0)
    return View.ScoreToPixels(Y);
  return Saturate32(int64_t(Y) * line->DrawnLineSpacing / line->LineSpacing + View.ScoreToPixels(line->Top));
}

canvas::TPoint TKVWindow::ScorePointToClient(const TKVDisplayItem* Item, canvas::TPoint P, int32_t Page) const {
  const int32_t w = FRule->Visible() ? FRule->Width() : 0;
  const TKVPageRect page = PageRect(Page);
  return {ScoreToPixels(P.X) + w - HorzPosition() + page.Left, ItemY(*this, Item, P.Y) + w - VertPosition() + page.Top};
}

canvas::TRect TKVWindow::ScoreRectToClient(const TKVDisplayItem* Item, const canvas::TRect& R, int32_t Page) const {
  const canvas::TPoint a = ScorePointToClient(Item, {R.Left, R.Top}, Page);
  const canvas::TPoint b = ScorePointToClient(Item, {R.Right, R.Bottom}, Page);
  return {a.X, a.Y, b.X, b.Y};
}

canvas::TRect TKVWindow::GetItemScoreRect(const TKVDisplayItem* Item, const canvas::TRect& R) const {
  return {ScoreToPixels(R.Left), ItemY(*this, Item, R.Top), ScoreToPixels(R.Right), ItemY(*this, Item, R.Bottom)};
}

// The page is the one whose records hold the record: a page object's page,
// else the page of its measure's system.
canvas::TRect TKVWindow::GetItemRect(const TKVDisplayItem* Item, const canvas::TRect& R, bool PageLevel) const {
  int32_t page = -1;
  if (Item && PageLevel) {
    for (int32_t i = 0; i < PageRecordCount() && page < 0; ++i) {
      const TKVPageRecord* p = PageRecord(i);
      for (uint16_t k = 0; k < p->PageObjectCount && k < p->PageObjects.size(); ++k)
        if (p->PageObjects[k].get() == Item) page = i;
    }
  } else if (Item && Item->Owner && Item->Owner->System && Item->Owner->System->Page) {
    page = Item->Owner->System->Page->PageIndex;
  }
  const canvas::TRect r = GetItemScoreRect(Item, {R.Left - 32, R.Top - 32, R.Right + 32, R.Bottom + 32});
  const int32_t w = FRule->Visible() ? FRule->Width() : 0;
  const TKVPageRect origin = PageRect(page);
  return Moved(r, origin.Left + w - HorzPosition(), origin.Top + w - VertPosition());
}

canvas::TRect TKVWindow::SortRect(const canvas::TRect& R) {
  return {std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right), std::max(R.Top, R.Bottom)};
}

canvas::TRect TKVWindow::RectFromAnchor(int32_t X, int32_t Y) const { return SortRect({DragRect.Left, DragRect.Top, X, Y}); }

// The measures' records first, system by system, then the page's own
// objects from the topmost down.
TKVDisplayItem* TKVWindow::FindLinkAt(canvas::TPoint P) {
  if (!FScore) return nullptr;
  const canvas::TPoint c = ClientToScroll(P);
  int32_t index = -1;
  for (int32_t i = 0; i < FPageCount && index < 0; ++i) {
    const TKVPageRect& r = FPageTable[size_t(i)];
    if (Contains({r.Left, r.Top, r.Right, r.Bottom}, c)) index = i;
  }
  const TKVPageRecord* page = PageRecord(index);
  if (!page) return nullptr;
  const TKVPageRect origin = FPageTable[size_t(index)];
  auto hits = [&](TKVDisplayItem* D) {
    return D && IsLinked(D->Item) && Contains(Moved(GetItemScoreRect(D, RectOf(*D)), origin.Left, origin.Top), c);
  };
  for (uint16_t s = 0; s < page->SystemCount && s < page->Systems.size(); ++s) {
    const TKVSystemRecord& system = *page->Systems[s];
    for (uint16_t m = 0; m < system.MeasureCount && m < system.Measures.size(); ++m) {
      const TKVMeasureRecord* R = system.Measures[m];
      for (int32_t d = 0; R && d < R->DisplayCount; ++d)
        if (hits(R->GetDisplay(d))) return R->GetDisplay(d);
    }
  }
  for (size_t k = std::min<size_t>(page->PageObjectCount, page->PageObjects.size()); k-- > 0;)
    if (hits(page->PageObjects[k].get())) return page->PageObjects[k].get();
  return nullptr;
}
