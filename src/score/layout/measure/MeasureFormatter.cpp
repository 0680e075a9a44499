#include "score/layout/measure/MeasureFormatter.h"

#include <algorithm>

#include "score/layout/LayoutServices.h"
#include "score/layout/measure/MeasureSetup.h"
#include "score/layout/staff/StaffLayout.h"
#include "score/layout/measure/TempoMarks.h"
#include "score/model/Item.h"
#include "score/model/ItemHolder.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"

TKVLayoutSteps DefaultLayoutSteps() {
  TKVLayoutSteps steps;
  steps.LayoutStaff = LayoutStaff;
  steps.CalcMeasureExtents = [](TKVFormatContext&) {};
  steps.ApplyMeasureMinimums = [](TKVFormatContext&) {};
  steps.PaginatePages = [](TKVScore& Score, int32_t) { Score.SetFirstDirtyPage(-1); };
  steps.BuildPlayOrder = [](TKVScore&) {};
  return steps;
}

namespace {

// Item and everything it holds (a note's or rest's attached items, a grace
// group's notes and theirs): deleted with it.
void AddWithHeldItems(TKVItem* Item, std::vector<TKVItem*>& Out) {
  Out.push_back(Item);
  if (auto* holder = dynamic_cast<TKVItemHolder*>(Item))
    for (TKVItem* held : holder->Items().Items()) AddWithHeldItems(held, Out);
}

// Takes every reference to the items about to be deleted (sorted) out of
// the piece's records: display items (also those past a used count, which a
// later formatting or a continuing list may still reach), position entries,
// dynamics records and play marks.
void ForgetItems(TKVPiece& Piece, const std::vector<TKVItem*>& Items) {
  auto doomed = [&](const TKVItem* item) { return std::binary_search(Items.begin(), Items.end(), item); };
  for (auto& record : Piece.Layout().MeasureRecords) {
    for (auto& display : record->Displays)
      if (doomed(display->Item)) display->Item = nullptr;
    std::erase_if(record->Positions, [&](const auto& entry) { return doomed(entry->Item); });
    for (auto& dynamic : record->Dynamics)
      if (doomed(dynamic->Item)) {
        dynamic->Item = nullptr;
        dynamic->Disabled = 1;
      }
    std::erase_if(record->PlayMarks, doomed);
  }
}

}  // namespace

void RemoveLateItems(TKVFormatContext& Ctx) {
  std::vector<TKVItem*>& late = Ctx.RemovalList;
  if (late.empty()) return;
  std::sort(late.begin(), late.end());
  late.erase(std::unique(late.begin(), late.end()), late.end());
  std::vector<TKVItem*> doomed;
  for (TKVItem* item : late) AddWithHeldItems(item, doomed);
  std::sort(doomed.begin(), doomed.end());
  ForgetItems(Ctx.Piece, doomed);
  for (TKVItem* item : late) delete item;
  late.clear();
}

bool FormatMeasureColumn(TKVScore& Score, int32_t PieceIndex, int32_t ColumnIndex, const TKVLayoutSteps& Steps) {
  TKVPiece* piece = Score.GetPiece(PieceIndex);
  // Records grow one at a time: past the column after the last only the
  // record after the last one is made (the page composer's fill measures).
  if (!piece || ColumnIndex < 0) return false;
  if (ColumnIndex > std::max<int64_t>(piece->GetColumnCount(), int64_t(piece->Layout().MeasureRecords.size())))
    return false;
  TKVFormatContext ctx(Score, *piece, ColumnIndex);
  CollectStaves(ctx);
  if (ctx.Staves.empty()) return false;
  CalcMeasureLengths(ctx);
  CopyRepeatedMeasurePositions(ctx);
  LayoutTempoMarks(ctx);
  if (!ctx.Result) return false;
  ctx.NoteSpacing = int32_t(int64_t(Score.NoteInterval()) * 2 / 3);  // any stored interval, without overflow
  for (TKVPart* part : PartsLaidOut(ctx)) {
    ctx.Part = part;
    ctx.Measure = part->GetMeasure(ColumnIndex);
    if (ctx.Measure) ctx.Measure->Record = ctx.Record;
    ctx.TermsValue1 = ctx.TermsValue2 = 0;
    ctx.TermsData.clear();
    Steps.LayoutStaff(ctx);
    RemoveLateItems(ctx);
  }
  Steps.CalcMeasureExtents(ctx);
  Steps.ApplyMeasureMinimums(ctx);
  ctx.Timing.Close(*ctx.Record);
  return true;
}
