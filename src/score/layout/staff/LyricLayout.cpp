#include "score/layout/staff/LyricLayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "score/layout/LayoutServices.h"
#include "score/layout/play/PlayActions.h"
#include "score/layout/staff/StaffSupport.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/Part.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace {

// The staff index clamped into the part's staves (the last one for an index
// past them).
int32_t ClampedStaff(const TKVFormatContext& Ctx, int32_t Staff) {
  const int32_t count = Ctx.Part ? Ctx.Part->GetStaffCount() : 0;
  return std::max(0, std::min(Staff, count - 1));
}

void RunTextAction(TKVFormatContext& Ctx, TKVLyric& Lyric) {
  const uint16_t position = Lyric.Position();
  if (TKVDynamicsSetting* action = Lyric.Dynamics()) {
    RunPlayAction(Ctx, Lyric, position, action->ActionKind(), int16_t(action->FirstValue()),
                  int16_t(action->SecondValue()), action->Text, Lyric.MidiBytes);
  } else if (Ctx.Score.OnGetTerms && !Lyric.Lines().empty()) {
    const int32_t result =
        Ctx.Score.OnGetTerms(&Ctx.Score, 0, &Lyric.Lines(), Ctx.TermsValue1, Ctx.TermsValue2, Ctx.TermsData);
    // A recognised tempo term is always a relative change.
    if (result == PlayActionKind::Dynamics || result == PlayActionKind::Tempo || result == PlayActionKind::Midi)
      RunPlayAction(Ctx, Lyric, position, uint8_t(result), result == PlayActionKind::Midi ? Ctx.TermsValue1 : 0,
                    Ctx.TermsValue2, Ctx.TermsData, Lyric.MidiBytes);
  }
  Ctx.Record->PlayMarks.push_back(&Lyric);
}

// The bounding box of Rect turned by the lyric's angle about its top left.
void TurnRect(TKVFormatContext& Ctx, TKVLayoutRect& Rect, uint16_t Angle) {
  const long double radians = Angle * std::numbers::pi_v<long double> / 180;
  Ctx.RotationCos = std::cos(radians);
  Ctx.RotationSin = std::sin(radians);
  const int32_t h = Rect.Bottom - Rect.Top;
  int32_t minX = Rect.Left, maxX = Rect.Left, minY = Rect.Top, maxY = Rect.Top;
  for (TKVPoint corner : {TKVPoint{0, h}, TKVPoint{Rect.Width, 0}, TKVPoint{Rect.Width, h}}) {
    TKVPoint q = RotatePoint(Ctx, corner);
    minX = std::min(minX, Rect.Left + q.X);
    maxX = std::max(maxX, Rect.Left + q.X);
    minY = std::min(minY, Rect.Top + q.Y);
    maxY = std::max(maxY, Rect.Top + q.Y);
  }
  Rect = {minX, minY, maxX - minX, maxY};
}

}  // namespace

void LayoutLyric(TKVFormatContext& Ctx, TKVLyric& Lyric) {
  const uint8_t kind = Lyric.Kind();
  TKVMeasureRecord& record = *Ctx.Record;
  const int32_t staffIndex = Lyric.StaffVoice() >> 4;
  Lyric.DisplayLink = nullptr;
  Ctx.Staff = Ctx.Part ? Ctx.Part->GetStaff(kind == ItemKind::LyricLine ? 0 : ClampedStaff(Ctx, staffIndex)) : nullptr;
  Lyric.RuntimeStaff = uint8_t(staffIndex);
  if (kind == ItemKind::Syllable && Ctx.Part) {
    const size_t part = size_t(Ctx.Part->Index()), staff = size_t(ClampedStaff(Ctx, staffIndex));
    if (part < record.PartRecords.size() && staff < record.PartRecords[part]->StaffRecords.size())
      record.PartRecords[part]->StaffRecords[staff]->LyricFlag |= 1;
  }

  TKVDisplayItem* R;
  if (kind == ItemKind::LyricLine && (Lyric.Flags() & 1)) {
    // A record of its own, outside the measure's display list.
    record.OwnTextDisplays.push_back(std::make_unique<TKVDisplayItem>());
    R = record.OwnTextDisplays.back().get();
    R->Item = &Lyric;
  } else {
    R = &AddDisplayItem(Ctx, &Lyric, true);
  }
  if (kind == ItemKind::LyricLine) record.TextDisplays.push_back(R);
  Lyric.DisplayLink = R;

  if (kind == ItemKind::LyricText) RunTextAction(Ctx, Lyric);
  if (kind == ItemKind::Syllable) {
    Lyric.SyllableLink = nullptr;
    InsertPositionEntry(Ctx, &Lyric, Lyric.Position(), 1);
  }

  const bool measureNow = Lyric.BoxWidth() == 0 || Lyric.BoxHeight() == 0;
  int32_t w = Lyric.BoxWidth(), h = Lyric.BoxHeight();
  if (measureNow) {
    Ctx.Canvas.Font = Lyric.LayoutFont();
    const TKVTextSize size = LyricTextSize(text::CurrentMeasurer(), Lyric);
    w = size.Width;
    h = size.Height + 24;
  }
  const int32_t ys = ScaleByScore(Ctx, Lyric.OffsetY());
  int32_t left = 0;
  if (kind == ItemKind::Syllable) left = ScaleByScore(Ctx, Lyric.OffsetX()) - w / 2;
  if (kind == ItemKind::LyricText) {
    const int64_t staffSize = Ctx.Staff ? Ctx.Staff->SizePercent() : 100;
    left = measureNow ? int32_t(int64_t(Lyric.OffsetX()) * Ctx.Scale() * staffSize / 10000)
                      : ScaleByScore(Ctx, Lyric.OffsetX());
  }
  R->Bounds = {left, ys, w, ys + h};
  if (measureNow) {
    if (Lyric.Angle() == 0)
      Lyric.SetBox(uint16_t(std::min(w, 65535)), uint16_t(std::min(h, 65535)));
    else
      TurnRect(Ctx, R->Bounds, Lyric.Angle());
  }

  if (kind == ItemKind::Syllable) {
    uint8_t sv = Lyric.StaffVoice();
    const int32_t staffCount = Ctx.Part ? Ctx.Part->GetStaffCount() : 0;
    if ((sv >> 4) >= staffCount && staffCount > 0) sv = uint8_t(((staffCount - 1) << 4) | (sv & 0x0F));
    TKVStaff* staff = Ctx.Part ? Ctx.Part->GetStaff(sv >> 4) : nullptr;
    const int32_t voices = staff ? staff->GetVoiceCount() : 0;
    if ((sv & 0x0F) >= voices) sv = uint8_t((sv & 0xF0) | std::max(voices - 1, 0));
    Lyric.SetStaffVoice(sv);
    record.LyricDisplays.push_back(R);
    R->LyricMarker = 1;
  }
}
