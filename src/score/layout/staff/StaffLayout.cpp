#include "score/layout/staff/StaffLayout.h"

#include <algorithm>

#include "base/Strings.h"
#include "score/layout/measure/ColumnArrangement.h"
#include "score/layout/LayoutServices.h"
#include "score/layout/measure/MeasureSetup.h"
#include "score/layout/measure/NoteLayout.h"
#include "score/layout/staff/StaffHooks.h"
#include "score/layout/staff/StaffSignatures.h"
#include "score/layout/staff/StaffSupport.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Page.h"
#include "score/model/Part.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/Vorschlag.h"

void TKVStaffPass::RaiseHeadExtent(int32_t Line, int32_t Pixels) {
  for (int32_t l = Line; l <= Line + 1; ++l) {
    if (l < 0 || l >= int32_t(LineExtents.size())) continue;
    TKVLineExtent& e = LineExtents[size_t(l)];
    e.HeadExtent = std::max(e.HeadExtent, ExtentByte(Pixels));
    e.OuterExtent = std::max(e.OuterExtent, ExtentByte(Pixels));
  }
}

void CalcStaffSteps(const TKVFormatContext& Ctx, const TKVStaff& Staff, int32_t& LineStep, int32_t& WideStep) {
  const long double space = Ctx.Score.Page().InternalValue(pvLineSpace);
  LineStep = ::LineStep(space, Ctx.Scale(), Staff.SizePercent());
  WideStep = ::LineStep(space * 13 / 10, Ctx.Scale(), Staff.SizePercent());
}

void EnterColumn(TKVFormatContext& Ctx, TKVStaffPass& Pass, uint16_t Position) {
  if (Position == Pass.ColumnPosition) return;
  ArrangeColumn(Ctx, Pass);
  Pass.ColumnPosition = Position;
}

namespace {

bool IsStaffObject(uint8_t Kind) {
  switch (Kind) {
    case ItemKind::Rest: case ItemKind::BeatRepeat: case ItemKind::MeasureRepeat: case ItemKind::SecondNote:
    case ItemKind::Tuplet: case ItemKind::Arpeggio: case ItemKind::HalfBracket: case ItemKind::Tremolo:
    case ItemKind::OleObject: case ItemKind::OctaveLine: case ItemKind::SquareBracket:
      return true;
    default:
      return Kind >= ItemKind::Text && Kind <= ItemKind::ArcChord;
  }
}

// Beam records of the measure before that hold stems of this record from an
// earlier formatting let go of them: they are made again.
void ReleaseBeamStems(TKVFormatContext& Ctx) {
  TKVMeasure* previous = Ctx.Part->GetMeasure(Ctx.ColumnIndex - 1);
  if (!previous) return;
  for (TKVBeamGroupRange& range : previous->GroupRanges())
    if (range.Beam) std::erase_if(range.Beam->Links, [&](const TKVDisplayItem* d) { return d->Owner == Ctx.Record; });
}

void SetUpMeasure(TKVFormatContext& Ctx) {
  TKVMeasure& measure = *Ctx.Measure;
  const std::vector<TKVPart*> parts = PartsLaidOut(Ctx);
  if (!parts.empty() && parts.front() == Ctx.Part) DropEarlierCancellations(Ctx);
  const size_t staves = size_t(Ctx.Part->GetStaffCount());
  measure.StaffNoteCounts.assign(staves, 0);
  measure.StaffBytes().resize(staves);
  for (size_t i = 0; i < staves; ++i) {
    Ctx.Staff = Ctx.Part->GetStaff(int32_t(i));
    // The staff's background: it stands for the measure itself.
    AddDisplayItem(Ctx, nullptr, true).RecordType = DisplayRecordType::Background;
  }
  for (TKVBeamGroupRange& range : measure.GroupRanges()) range.Beam = nullptr;
  ReleaseBeamStems(Ctx);
}

void WalkStaff(TKVFormatContext& Ctx, TKVStaffPass& Pass, int32_t StaffIndex) {
  TKVStaff* staff = Ctx.Part->GetStaff(StaffIndex);
  Ctx.Staff = staff;
  Pass.StaffIndex = StaffIndex;
  CalcStaffSteps(Ctx, *staff, Pass.LineStep, Pass.WideStep);
  Pass.Collection.clear();
  Pass.ColumnPosition = -1;
  Pass.NoteWidth = 0;
  Pass.LineExtents = {};
  Ctx.Measure->StaffNoteCounts[size_t(StaffIndex)] = 0;
  InitKeyAccidentals(Ctx);
  for (auto& [voice, run] : Pass.Voices) run.StemLink = nullptr;
  const std::vector<TKVItem*> items = Ctx.Measure->Items().Items();
  for (TKVItem* item : items) {
    const uint8_t kind = item->Kind();
    if (kind == ItemKind::Clef || kind == ItemKind::KeySignature) {
      auto* mark = static_cast<TKVMark*>(item);
      if (mark->Position() == 0) continue;  // a measure-start signature: laid out already
      if (kind == ItemKind::Clef) {
        if ((mark->StaffVoice() >> 4) != StaffIndex || !mark->DisplayLink) continue;
        EnterColumn(Ctx, Pass, mark->Position());
        Pass.Collection.push_back(mark->DisplayLink);
        continue;
      }
      // A key change holds for every staff of the part.
      EnterColumn(Ctx, Pass, mark->Position());
      for (TKVDisplayItem* d = mark->DisplayLink; d; d = d->Link)
        if (d->Owner == Ctx.Record && d->Param == mark->Position() && d->Staff == staff) Pass.Collection.push_back(d);
      // Accidentals of the measure end where the key changes.
      Ctx.KeyAccidentals.fill(0);
      ApplyKeySignature(Ctx, *mark);
    } else if (kind == ItemKind::Note) {
      auto* note = static_cast<TKVNote*>(item);
      if ((note->StaffVoice() >> 4) != StaffIndex) continue;
      EnterColumn(Ctx, Pass, note->Position());
      LayoutNoteItem(Ctx, Pass, *note);
    } else if (kind == ItemKind::GraceGroup) {
      auto* group = static_cast<TKVVorschlag*>(item);
      if ((group->StaffVoice() >> 4) != StaffIndex) continue;
      EnterColumn(Ctx, Pass, group->Position());
      LayoutGraceGroupItem(Ctx, Pass, *group);
    } else if (IsStaffObject(kind)) {
      LayoutStaffObject(Ctx, Pass, *item);
    }
  }
  ArrangeColumn(Ctx, Pass);
}

}  // namespace

void LayoutStaff(TKVFormatContext& Ctx) {
  if (!Ctx.Part || !Ctx.Measure || Ctx.ColumnIndex >= Ctx.Part->GetMeasureCount()) return;
  Ctx.Result = true;
  if (Ctx.Record->CoveredMeasures != 0) return;
  TKVStaffPass pass;
  SetUpMeasure(Ctx);
  LayoutSignatures(Ctx);
  for (int32_t i = 0; i < Ctx.Part->GetStaffCount(); ++i) WalkStaff(Ctx, pass, i);
  LayoutItemPass(Ctx, pass);
}
