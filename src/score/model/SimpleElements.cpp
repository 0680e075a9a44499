#include "score/model/SimpleElements.h"

#include <algorithm>

#include "score/model/ItemKinds.h"

TKVBend::TKVBend(TObject* Owner) : TKVVoicedItem(Owner, ItemKind::Bend, BendBlock::Size) {
  Data().setU8(BendBlock::Size100, 100);
}

void TKVBend::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVBend>(Source, *this);
  CopyBlock(source);
  FText1 = source.FText1;
  FText2 = source.FText2;
}

TKVEffect::TKVEffect(TObject* Owner) : TKVItem(Owner, ItemKind::Effect, EffectBlock::Size) {
  Data().setU8(EffectBlock::Velocity, 64);
}
void TKVEffect::Assign(const TKVItem& Source) { CopyBlock(SourceAs<TKVEffect>(Source, *this)); }

TKVLine::TKVLine(TObject* Owner) : TKVItem(Owner, ItemKind::Line, LineBlock::Size) {}
void TKVLine::Assign(const TKVItem& Source) { CopyBlock(SourceAs<TKVLine>(Source, *this)); }

TKVRectangle::TKVRectangle(TObject* Owner) : TKVItem(Owner, 0, RectangleBlock::Size) {}
void TKVRectangle::Assign(const TKVItem& Source) { CopyBlock(SourceAs<TKVRectangle>(Source, *this)); }

TKVArc::TKVArc(TObject* Owner) : TKVItem(Owner, 0, ArcBlock::Size) {}
void TKVArc::Assign(const TKVItem& Source) { CopyBlock(SourceAs<TKVArc>(Source, *this)); }

TKVMIDIEvent::TKVMIDIEvent(TObject* Owner) : TKVItem(Owner, ItemKind::MidiEvent, MidiEventBlock::Size) {}

void TKVMIDIEvent::SetData(const uint8_t* Data, uint16_t Length) {
  FData.assign(Data, Data + Length);
  TKVItem::Data().setU16(MidiEventBlock::DataLength, Length);
}

// A source whose data is shorter than its block says gives zeros for the rest.
void TKVMIDIEvent::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVMIDIEvent>(Source, *this);
  if (&source == this) return;
  CopyBlock(source);
  FData.assign(DataLength(), 0);
  std::copy_n(source.FData.begin(), std::min(FData.size(), source.FData.size()), FData.begin());
}
