// What the marks of the item pass share: their start (staff, record, size)
// and their placement above or below the note they belong to.

#include <algorithm>

#include "score/layout/staff/ItemMarks.h"
#include "score/layout/LayoutServices.h"
#include "score/layout/staff/StaffLayout.h"
#include "score/layout/staff/StaffSupport.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

TKVDisplayItem& StartMark(TKVFormatContext& Ctx, TKVMark& Mark, bool Clamp) {
  int32_t staffIndex = Mark.StaffVoice() >> 4;
  if (staffIndex >= Ctx.Part->GetStaffCount()) {
    if (Clamp) Mark.SetStaffVoice(0);
    staffIndex = 0;
  }
  Ctx.Staff = Ctx.Part->GetStaff(staffIndex);
  Mark.RuntimeStaff = uint8_t(staffIndex);
  Mark.DisplayLink = nullptr;
  TKVDisplayItem& R = AddDisplayItem(Ctx, &Mark, true);
  ApplyItemSize(R, Mark.SizePercent());
  return R;
}

int32_t PlacementSpace(const TKVFormatContext& Ctx) {
  int32_t space = 0, wide = 0;
  if (Ctx.Staff) CalcStaffSteps(Ctx, *Ctx.Staff, space, wide);
  return std::max(space, 8);
}

TKVDisplayItem* FindMarkNote(TKVFormatContext& Ctx, const TKVMark& Mark, uint8_t SideBit) {
  return FindNoteDisplayItem(Ctx, Ctx.Part, Mark.StaffVoice(), Mark.Position(), false, SideBit);
}

namespace {

struct TPlacement {
  int32_t Ys, T, B, G, D, S;
  bool Option;     // the score's note-relative placement
  bool OtherSide;  // the mark's flag bit 0
  bool StemDown;   // the note's
  bool FirstVoice;

  // Beyond the stem's end on the mark's side, or next to the head on the
  // half-space grid.
  int32_t NoteRelative() const {
    if (OtherSide) return StemDown ? Ys + B + G + D + S / 2 : Ys + T - G - D - S / 2;
    const int32_t h = S / 2;
    return StemDown ? Ys + ((T - h) * 2 / S * S) / 2 - h : Ys + ((B + h) * 2 / S * S) / 2 + h;
  }
  int32_t Stroke(bool SeveralVoices) const {
    if (Option) return NoteRelative();
    if (SeveralVoices) return FirstVoice ? Ys + T - G - D : Ys + B + G + D;
    return StemDown ? Ys + B + 4 * S : Ys + T - 4 * S;
  }
};

int32_t Distance(const TPlacement& P, TKVPlacementRules Rules, bool StaffVoices, bool MeasureVoices) {
  const int32_t S = P.S, half = P.S / 2;
  switch (Rules) {
    case TKVPlacementRules::Symbol:
      if (P.Option) return P.NoteRelative();
      if (StaffVoices) return P.FirstVoice ? P.Ys + P.T - P.G : P.Ys + P.B + P.G;
      return P.StemDown ? P.Ys + P.T - S : P.Ys + P.B + S;
    case TKVPlacementRules::Fingering:
      return P.NoteRelative();
    case TKVPlacementRules::Technique:
      if (P.Option) return P.NoteRelative();
      if (MeasureVoices)
        return P.FirstVoice ? P.Ys + ((P.T - P.G - P.D - half) / S / 2) * 2 * S - half
                            : P.Ys + ((P.B + P.G + P.D + half) / S / 2) * 2 * S + half;
      return P.StemDown ? P.Ys + ((P.T - half) * 2 / S * S) / 2 - half : P.Ys + ((P.B + half) * 2 / S * S) / 2 + half;
    case TKVPlacementRules::Stroke:
      return P.Stroke(MeasureVoices);
    case TKVPlacementRules::Turn:
      if (!P.Option) return P.Stroke(MeasureVoices);
      if (P.OtherSide) return P.StemDown ? P.Ys + P.B + P.G + P.D + S : P.Ys + P.T - P.G - P.D - S;
      return P.StemDown ? P.Ys + P.T - half - S : P.Ys + P.B + half + S;
  }
  return P.Ys;
}

}  // namespace

void PlaceAgainstNote(TKVFormatContext& Ctx, const TKVMark& Mark, const TKVDisplayItem* Note, TKVLayoutRect& Rect,
                      TKVPlacementRules Rules) {
  const int32_t ys = ScaleByScore(Ctx, Mark.OffsetY());
  auto* M = Note ? ItemCast<const TKVNote>(Note->Item) : nullptr;
  int32_t dy = ys;
  if (M) {
    if (M->Flag(NoteFlag::OtherSide)) Rect.Left += M->StemDown() ? -Note->Bounds.Width : Note->Bounds.Width;
    const TPlacement p{ys,
                       Note->Bounds.Top,
                       Note->Bounds.Bottom,
                       M->StemLength() * 8,
                       Ctx.Score.Settings().StemExtra(),
                       PlacementSpace(Ctx),
                       (Ctx.Score.Settings().Option(0) & 1) != 0,
                       (Mark.Flags() & 1) != 0,
                       M->StemDown(),
                       (Mark.StaffVoice() & 0x0F) == 0};
    const int32_t staff = Mark.RuntimeStaff;
    dy = Distance(p, Rules, Ctx.Staff && Ctx.Staff->GetVoiceCount() > 1, Ctx.Measure->StaffHasVoices(staff));
  }
  Rect.Top += dy;
  Rect.Bottom += dy;
}
