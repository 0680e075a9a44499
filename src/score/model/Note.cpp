#include "score/model/Note.h"

#include "score/model/ItemFactory.h"
#include "score/model/Measure.h"

TKVNote::TKVNote(TObject* Owner) : TKVVoicedItem(Owner, ItemKind::Note, NoteBlock::Size) {
  Data().setU8(NoteBlock::Velocity, 64);
  Data().setU8(NoteBlock::StemLength, 20);
}

TKVNote::~TKVNote() {
  FreeItems();
  if (TKVMeasure* measure = GetMeasure()) measure->ForgetNote(this);
}

void TKVNote::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVNote>(Source, *this);
  if (&source == this) return;
  CopyBlock(source);
  FText = source.FText;
  CloneItems(source.Items(), this);
}
