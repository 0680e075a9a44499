// Key signatures of the signature pass: one record per standard staff of
// the part, and the naturals of the key in force before them.

#include <algorithm>
#include <vector>

#include "score/layout/LayoutServices.h"
#include "score/layout/staff/SignatureWidths.h"
#include "score/layout/staff/StaffSignatures.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace {

constexpr uint8_t CancellationAtPreviousEnd = 0x20;

uint16_t Word16(int64_t V) { return uint16_t(std::clamp<int64_t>(V, 0, 65535)); }

const TKVMark* MarkOf(const TKVDisplayItem* Display) {
  return Display ? ItemCast<const TKVMark>(Display->Item) : nullptr;
}

// What one round of records over the part's staves gets besides its width.
struct TKeyRecords {
  int32_t Width = 0;
  bool ClearLink = true;
  int32_t Left = 0;
  std::vector<TKVDisplayItem*> Links;
  uint8_t Flags = 0;
  bool Placed = false;   // a change inside the measure: Left is also the second rectangle's
  int32_t RoomPixels = 0;  // room for a change inside the measure, in layout units
};

class TKeyLayout {
public:
  TKeyLayout(TKVFormatContext& Ctx, TKVMark& Key) : Ctx(Ctx), Key(Key) {
    for (int32_t i = 0; i < Ctx.Part->GetStaffCount(); ++i)
      MaxStaffSize = std::max<int32_t>(MaxStaffSize, Ctx.Part->GetStaff(i)->SizePercent());
    // A stored size of 0 means unchanged, as for the display size.
    KeySize = Key.SizePercent() == 0 ? 100 : Key.SizePercent();
  }

  int32_t Scaled(int32_t W) const {
    if (MaxStaffSize == 100 && KeySize == 100 && Ctx.Scale() == 100) return W;
    return int32_t(std::clamp<int64_t>(int64_t(W) * MaxStaffSize * KeySize * Ctx.Scale() / 1000000, INT32_MIN,
                                       INT32_MAX));
  }

  // One record per standard staff, each linked to the one made before it.
  void MakeRecords(const TKeyRecords& Round) {
    TKVStaff* const current = Ctx.Staff;
    for (int32_t i = 0; i < Ctx.Part->GetStaffCount(); ++i) {
      TKVStaff* staff = Ctx.Part->GetStaff(i);
      if (staff->Data().u8(StaffBlock::Tablature) != 0) continue;
      Ctx.Staff = staff;
      TKVDisplayItem& d = AddDisplayItem(Ctx, &Key, Round.ClearLink);
      ApplyItemSize(d, Key.SizePercent());
      Key.DisplayLink = &d;
      d.Link = Last;
      d.Param = Key.Position();
      d.Bounds = ScaleLayoutRect(Ctx, 0, -120, 0, 192, d.SizePercent);
      d.Bounds.Width = Round.Width;
      ApplyItemOffsets(Ctx, d.Bounds, 0, Key.OffsetY());
      d.Bounds.Left = Round.Left;
      d.Links = Round.Links;
      d.Flags = Round.Flags;
      if (Round.Placed) {
        d.Bounds2.Left = Round.Left;
        d.LeftSpace = d.RightSpace = Word16(int64_t(d.SizePercent) * Round.RoomPixels / 8 / 100);
      }
      Last = &d;
    }
    Ctx.Staff = current;
    Key.Channel = Ctx.Part->Channel();
  }

  TKVFormatContext& Ctx;
  TKVMark& Key;
  int32_t MaxStaffSize = 0;
  int32_t KeySize = 100;
  TKVDisplayItem* Last = nullptr;
};

// Whether record R' (the column before) stands after a repeat-end bar, or
// asks for no naturals at all.
void ScanPreviousMarks(const TKVMeasureRecord& Previous, bool& RepeatBefore, bool& Suppressed) {
  for (const TKVItem* mark : Previous.PlayMarks) {
    if (!mark) continue;
    if (mark->Kind() == ItemKind::FinalBar) {
      Suppressed = true;
      return;
    }
    if (mark->Kind() == ItemKind::RepeatEnd) RepeatBefore = true;
  }
}

}  // namespace

void LayoutKeySignature(TKVFormatContext& Ctx, TKVMark& Key) {
  TKVMeasureRecord& R = *Ctx.Record;
  TKVPartLayoutRecord& P = *R.PartRecords[size_t(Ctx.Part->Index())];
  TKVDisplayItem* prev = P.CurrentItems.empty() ? nullptr : P.CurrentItems.back();
  const TKVMark* prevMark = MarkOf(prev);
  const uint8_t prevKey = prevMark ? prevMark->Variant() : 0;
  const uint8_t key = Key.Variant();
  // No key before and none now: nothing to show, nothing to cancel.
  if (key == 0 && prevKey == 0) return;
  Key.CancelledKey = 0;
  Key.DisplayLink = nullptr;
  ResetLayoutCanvas(Ctx);
  TKeyLayout layout(Ctx, Key);
  const uint8_t font = Key.FontIndex();
  const int32_t n = Ctx.ColumnIndex;
  const int32_t spacing = Ctx.Score.Settings().KeySpacing();
  const int32_t offsetX = ScaleByScore(Ctx, Key.OffsetX());
  if (prevKey != 0) Key.CancelledKey = prevKey;
  if (Key.Position() == 0) {
    int32_t w = 0, cancelRoom = 0;
    if (prevKey == 0) {
      w = GetKeySignatureWidth(Ctx, font, key, &Key.Extra(), 0, nullptr);
    } else if (key == 0 || n == 0) {
      w = GetKeySignatureWidth(Ctx, font, prevKey, &prevMark->Extra(), 0, nullptr);
    } else {
      auto& records = Ctx.Piece.Layout().MeasureRecords;
      TKVMeasureRecord& previous = *records[size_t(n - 1)];
      bool repeatBefore = false, suppressed = false;
      ScanPreviousMarks(previous, repeatBefore, suppressed);
      if (!suppressed) {
        const int32_t c =
            layout.Scaled(GetKeySignatureWidth(Ctx, font, prevKey, &prevMark->Extra(), key, &Key.Extra()));
        if (c > 0) {
          if (!repeatBefore) {
            // The naturals close the measure before.
            Ctx.Record = &previous;
            layout.MakeRecords({c, false, offsetX - previous.Extents[ExtentWord::ExtraEnd], {prev},
                                CancellationAtPreviousEnd});
            Ctx.Record = &R;
            uint16_t& endWidth = previous.Extents[ExtentWord::EndKeyWidth];
            endWidth = std::max(endWidth, Word16(int64_t(spacing) + c));
          } else {
            uint16_t& keyWidth = R.Extents[ExtentWord::KeyWidth];
            keyWidth = std::max(keyWidth, Word16(int64_t(spacing) + c));
            layout.MakeRecords({c, true, offsetX, {prev}});
            cancelRoom = c;
          }
        }
      }
      w = GetKeySignatureWidth(Ctx, font, key, &Key.Extra(), 0, nullptr);
    }
    w = layout.Scaled(w);
    layout.MakeRecords({w, true, ScaleByScore(Ctx, Key.OffsetX() + cancelRoom), {}});
    w += int32_t(int64_t(Ctx.Scale()) * cancelRoom / 100);
    uint16_t& keyWidth = R.Extents[ExtentWord::KeyWidth];
    keyWidth = std::max(keyWidth, Word16(int64_t(spacing) + w));
  } else {
    if (prevKey != 0 && key != 0 && n > 0) {
      const int32_t c =
          layout.Scaled(GetKeySignatureWidth(Ctx, font, prevKey, &prevMark->Extra(), key, &Key.Extra()));
      if (c > 0) layout.MakeRecords({c, true, Key.OffsetX() - c, {prev}, 0, true, c});
    }
    const int32_t w = layout.Scaled(GetKeySignatureWidth(Ctx, font, key, &Key.Extra(), 0, nullptr));
    layout.MakeRecords({w, true, Key.OffsetX() - w - spacing, {}, 0, true, spacing + w});
  }
  if (layout.Last) {
    P.CarriedItem = layout.Last;
    P.CurrentItems.push_back(layout.Last);
  }
  P.SecondFlag = key != 0 || Key.CancelledKey != 0 ? 1 : 0;
  InsertPositionEntry(Ctx, &Key, 0, 1);
}
