#include "score/model/Piece.h"

#include <algorithm>
#include <climits>

#include "base/Exceptions.h"
#include "score/model/Column.h"
#include "score/model/Part.h"
#include "score/model/Persistent.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/TreeEvents.h"
#include "score/model/Voice.h"

TKVPiece::TKVPiece(TKVScore* Score) : FScore(Score) {
  if (!FScore) throw Exception("Is not owner of the Score");
  FData.setU16(PieceBlock::Tempo, 60);
  FData.setU16(PieceBlock::Word14, 1);
  FScore->AddPiece(this);
}

TKVPiece::~TKVPiece() {
  FParts.FreeAll();
  FColumns.FreeAll();
  FScore->RemovePiece(this);
}

void TKVPiece::AddPart(TKVPart* Part, int32_t Index) {
  if (FRegistrationSwitch) return;
  FParts.Insert(Index, Part);
  for (int32_t i = 0; i < FParts.Count(); ++i) FParts.Get(i)->SetIndex(i);
  NotifyAddItem(FScore, Part, nullptr);
}

void TKVPiece::RemovePart(TKVPart* Part) {
  if (!FRegistrationSwitch) NotifyDeleteItem(FScore, Part, nullptr);
  FParts.Remove(Part);
  for (int32_t i = 0; i < FParts.Count(); ++i) FParts.Get(i)->SetIndex(i);
}

TKVPart* TKVPiece::NewPart() {
  auto* part = new TKVPart(this);
  FScore->ReformatFromMeasure(GetIndex());
  FScore->InvalidateViews();
  return part;
}

void TKVPiece::AddColumn(TKVColumn* Column) {
  if (FRegistrationSwitch) return;
  FColumns.Append(Column);
  Column->SetIndex(FColumns.Count() - 1);
}

void TKVPiece::RemoveColumn(TKVColumn* Column) { FColumns.RemoveNumbered(Column); }

TKVColumn* TKVPiece::NewColumn() { return new TKVColumn(this); }

void TKVPiece::Reformat() { FScore->ReformatFromMeasure(GetIndex()); }

// Clamped into the laid-out records: an index past them must not reach a
// record that is allocated but not laid out, nor a negative one.
TKVMeasureRecord* TKVPiece::GetMeasureRecord(int32_t MeasureIndex) const {
  int32_t count = std::min<int32_t>(FLayout.MeasureRecordCount, int32_t(FLayout.MeasureRecords.size()));
  if (count < 1) return nullptr;
  return FLayout.MeasureRecords[size_t(std::clamp(MeasureIndex, 0, count - 1))].get();
}

int32_t TKVPiece::GetRangeLength(int32_t First, int32_t Last) const {
  if (Last < First) return 0;
  int32_t count = std::min<int32_t>(FLayout.MeasureRecordCount, int32_t(FLayout.MeasureRecords.size()));
  long long sum = 0;
  for (int32_t i = std::max(First, 0); i <= Last && i < count; ++i) sum += FLayout.MeasureRecords[size_t(i)]->Length;
  if (count > 0 && Last >= count) {
    long long repeats = (long long)Last - std::max(First, count) + 1;
    sum += repeats * FLayout.MeasureRecords[size_t(count - 1)]->Length;
  }
  return int32_t(std::min<long long>(sum, INT32_MAX));
}

// Channels are compared in their low four bits. Whether a voice that follows
// its part has been met is asked of each part's own voices.
uint8_t TKVPiece::FindFreeChannel(const TObject* Except) const {
  for (int32_t channel = 1; channel <= 15; ++channel) {
    if (channel == 9) continue;
    bool used = false;
    for (TKVPart* part : FParts) {
      bool followed = false;
      for (int32_t s = 0; s < part->GetStaffCount(); ++s) {
        TKVStaff* staff = part->GetStaff(s);
        for (TKVVoice* voice : staff->Voices()) {
          if (voice == Except || voice->Staff() != staff) continue;
          if (!voice->HasOwnSettings())
            followed = true;
          else if ((voice->Channel() & 15) == channel)
            used = true;
        }
      }
      if (part != Except && followed && (part->Channel() & 15) == channel) used = true;
    }
    if (!used) return uint8_t(channel);
  }
  return 0;
}

void TKVPiece::Assign(const TObject& Source) {
  const auto* source = dynamic_cast<const TKVPiece*>(&Source);
  if (!source) RaiseAssignError(Source, *this);
  if (source == this) return;
  CopyBlockBytes(FData, source->FData);
  FWordLists = source->FWordLists;
  FByteList = source->FByteList;
  FParts.FreeAll();
  FColumns.FreeAll();
  for (TKVPart* part : source->FParts.Items()) NewPart()->Assign(*part);
  for (TKVColumn* column : source->FColumns.Items()) NewColumn()->Assign(*column);
  NotifyItemChanged(FScore, this, nullptr);
}
