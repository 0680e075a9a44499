// Copying one score into another.

#include <algorithm>

#include "score/model/Item.h"
#include "score/model/ItemFactory.h"
#include "score/model/Persistent.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"

// Copies the page, the pieces, the named records, the user data and the
// score items, and of the settings only Scale (through its writer), the view
// style to the option bytes after AutoJoin, the version-14 word and the
// metric words, the spacing words, the system distance and the two layout
// options. Every other setting (NoteInterval, StemLength, UserPages, Flags,
// the texts, the fonts, user symbols and drum entries) keeps its value.
void TKVScore::Assign(const TObject& Source) {
  const auto* source = dynamic_cast<const TKVScore*>(&Source);
  if (!source) RaiseAssignError(Source, *this);
  if (source == this) return;  // clearing first would lose everything
  // The bracket is closed however the copy ends, so that a failing piece or
  // item cannot leave the score deferring its layout for ever.
  BeginUpdate();
  try {
    AssignScore(*source);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TKVScore::AssignScore(const TKVScore& Source) {
  FPage->Assign(Source.Page());
  ClearPieces();
  ClearItems();
  SetScale(Source.Scale());
  FSettings.CopyRange(Source.FSettings, ScoreBlock::ViewStyle, 8);  // view style .. five option bytes
  FSettings.CopyRange(Source.FSettings, ScoreBlock::Version14Word, 12);  // version-14 word, metric words
  FSettings.CopyRange(Source.FSettings, ScoreBlock::SpacingWords, 6);
  FSettings.CopyRange(Source.FSettings, ScoreBlock::SystemDistance, 10);
  FLayoutOptions = Source.FLayoutOptions;
  for (TKVPiece* piece : Source.FPieces) NewPiece()->Assign(*piece);
  CopyNamedRecords(Source);
  CopyUserData(Source);
  for (TKVItem* item : Source.FItems)
    if (TKVItem* copy = CreateItemByKind(item->Kind(), this)) copy->Assign(*item);
}

void TKVScore::CopyNamedRecords(const TKVScore& Source) {
  FNamedRecords.Clear();
  for (int i = 0; i < Source.FNamedRecords.Count(); ++i) {
    auto* record = new TKVNamedRecord;
    if (const auto* from = dynamic_cast<const TKVNamedRecord*>(Source.FNamedRecords.Objects(i))) {
      record->Data = from->Data;
      record->Text = from->Text;
    }
    FNamedRecords.AddObject(Source.FNamedRecords.Strings(i), record);
  }
}

void TKVScore::CopyUserData(const TKVScore& Source) {
  uint16_t size = Source.UserDataSize();
  if (!Source.FUserData || size == 0) {
    FUserData.reset();
  } else {
    // A source block shorter than its stated size gives zeros for the rest.
    auto copy = std::make_unique<TByteBlock>(size);
    copy->Write(0, Source.FUserData->Data(), std::min<size_t>(size, Source.FUserData->Size()));
    FUserData = std::move(copy);
  }
  FSettings.SetUserDataSize(size);
}
