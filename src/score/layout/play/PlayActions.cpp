#include "score/layout/play/PlayActions.h"

#include "score/layout/ItemFields.h"
#include "score/layout/LayoutServices.h"
#include "score/layout/staff/StaffSupport.h"
#include "score/model/Mark.h"
#include "score/model/Part.h"
#include "score/model/Score.h"
#include "score/model/ScoreRoutines.h"
#include "score/model/UserSymbol.h"

void RunPlayAction(TKVFormatContext& Ctx, TKVItem& Item, uint16_t Position, uint8_t Kind, int32_t First,
                   int32_t Second, const std::string& Data, std::vector<uint8_t>& Bytes) {
  switch (Kind) {
    case PlayActionKind::Dynamics:
      AddDynamic(Ctx, &Item, Position, 0, false);
      break;
    case PlayActionKind::Tempo: {
      TKVPositionEntry& entry = InsertPositionEntry(Ctx, &Item, Position, 1);
      entry.Action = PositionAction::TempoChange;
      entry.Param = uint8_t(First);
      entry.Word = uint16_t(Second + 100);
      Ctx.Timing.ChangeTempo(*Ctx.Record, Position, First > 0, Second);
      break;
    }
    case PlayActionKind::Midi: {
      InsertPositionEntry(Ctx, &Item, Position, 1).Action = PositionAction::MidiMessage;
      Bytes.resize(Data.size() / 2);
      for (size_t i = 0; i < Bytes.size(); ++i)
        Bytes[i] = uint8_t(HexDigitValue(Data[2 * i]) * 16 + HexDigitValue(Data[2 * i + 1]));
      TKVPart* part = ItemPart(&Item);
      if (First != 0 && !Bytes.empty() && part) Bytes[0] = uint8_t((Bytes[0] & 0xF0) | (part->Channel() & 0x0F));
      break;
    }
    default:
      break;
  }
}

void AddHold(TKVFormatContext& Ctx, TKVItem& Mark, uint16_t Position) {
  TKVPositionEntry& entry = InsertPositionEntry(Ctx, &Mark, Position, 1);
  entry.Word = uint16_t(GetMaxNoteOverhang(Ctx, Position));
  Ctx.Timing.Hold(*Ctx.Record, Position, entry.Word);
}

void LayoutUserSymbol(TKVFormatContext& Ctx, TKVMark& Mark) {
  if (Mark.Position() >= Ctx.Record->Length) {
    Ctx.RemovalList.push_back(&Mark);
    return;
  }
  Mark.DisplayLink = nullptr;
  Mark.RuntimeStaff = Mark.StaffVoice() >> 4;
  TStringList& symbols = Ctx.Score.UserSymbols();
  auto* symbol = Mark.Value() < symbols.Count() ? dynamic_cast<TKVUserSymbol*>(symbols.Objects(Mark.Value())) : nullptr;
  if (!symbol) return;
  const int32_t staffCount = Ctx.Part ? Ctx.Part->GetStaffCount() : 0;
  if ((Mark.StaffVoice() >> 4) >= staffCount) Mark.SetStaffVoice(0);
  Ctx.Staff = Ctx.Part ? Ctx.Part->GetStaff(Mark.StaffVoice() >> 4) : nullptr;
  TKVDisplayItem& R = AddDisplayItem(Ctx, &Mark, true);
  ApplyItemSize(R, Mark.SizePercent());
  R.Bounds = ScaleLayoutRect(Ctx, -(symbol->Width() / 2), 0, symbol->Width(), symbol->Height(), R.SizePercent);
  ApplyItemOffsets(Ctx, R.Bounds, Mark.OffsetX(), Mark.OffsetY());
  TKVDynamicsSetting* action = Mark.Dynamics();
  if (!action) return;
  if (action->ActionKind() == PlayActionKind::Jump) {
    Ctx.Record->PlayMarks.push_back(&Mark);
    return;
  }
  RunPlayAction(Ctx, Mark, Mark.Position(), action->ActionKind(), int16_t(action->FirstValue()),
                int16_t(action->SecondValue()), action->Text, Mark.MidiBytes);
}
