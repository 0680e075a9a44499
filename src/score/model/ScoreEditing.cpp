// Editing operations of the score: where a new item goes in a measure, a new
// part with its first measure, page marks, plug-in handles and the page
// count asked for.

#include <algorithm>
#include <memory>
#include <utility>

#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Piece.h"
#include "score/model/RegistrationPause.h"
#include "score/model/Score.h"
#include "score/model/ScoreRoutines.h"
#include "score/model/ScoreView.h"
#include "score/model/Staff.h"
#include "score/model/TreeEvents.h"
#include "score/model/Voice.h"
#include "score/model/Vorschlag.h"

namespace {

// Time position of the items FindInsertIndex orders by; -1 for the others.
int32_t InsertTime(const TKVItem* item) {
  if (const auto* note = ItemCast<const TKVNote>(item)) return note->Position();
  if (const auto* rest = ItemCast<const TKVPause>(item)) return rest->Position();
  if (const auto* mark = ItemCast<const TKVMark>(item)) return mark->Position();
  if (const auto* group = ItemCast<const TKVVorschlag>(item)) return group->Position();
  return -1;
}

// The score's new-part defaults go into the first marks of a new part: the
// 8-bit default as the music font, the low byte of the third as the size
// percent, the 32-bit default as the colour.
void ApplyNewPartDefaults(TKVMark& mark, const TKVNewPartDefaults& defaults) {
  mark.SetFontIndex(defaults.Value8);
  mark.SetSizePercent(uint8_t(defaults.Third));
  mark.SetColor(uint32_t(defaults.Value32));
}

}  // namespace

int32_t TKVScore::FindInsertIndex(const TKVMeasure* Measure, const TKVVoiceKey& OrderKey, bool First,
                                  int32_t StartIndex, int32_t Time) const {
  if (!Measure) return 0;
  const int32_t order = OrderKey.VoiceNumber;
  for (int32_t i = std::max(StartIndex, 0); i < Measure->GetItemCount(); ++i) {
    const TKVItem* item = Measure->GetItem(i);
    const int32_t time = InsertTime(item);
    if (time < 0) continue;
    switch (item->Kind()) {
      case ItemKind::Note:
      case ItemKind::BeatRepeat:
      case ItemKind::Rest: {
        const int32_t itemOrder = item->GetVoiceKey()->VoiceNumber;
        if (Time < time) return i;
        if (Time == time && ((First && itemOrder >= order) || itemOrder > order)) return i;
        break;
      }
      case ItemKind::Clef:
      case ItemKind::KeySignature:
      case ItemKind::GraceGroup:
      case ItemKind::Arpeggio:
      case ItemKind::HalfBracket:
      case ItemKind::Tremolo:
      case ItemKind::SquareBracket:
        if (Time < time || (First && Time == time)) return i;
        break;
      default:
        break;
    }
  }
  return First ? 0 : Measure->GetItemCount();
}

TKVPart* TKVScore::NewPart() {
  TKVScoreView* view = GetActiveWindow();
  if (!view) return nullptr;
  return MakePart(view->GetCursorPiece(), view);
}

TKVPart* TKVScore::NewPart(TKVPiece* Piece) { return MakePart(Piece, nullptr); }

TKVPart* TKVScore::MakePart(TKVPiece* Piece, TKVScoreView* View) {
  BeginUpdate();
  TKVPart* part = nullptr;
  try {
    if (Piece) {
      part = Piece->NewPart();
      if (part->Channel() == 0) {
        part->SetChannel(Piece->FindFreeChannel(part));
        NotifyItemChanged(this, part, nullptr);
      }
      TKVMeasure* measure = part->NewMeasure();
      auto* key = static_cast<TKVMark*>(CreateItemByKind(ItemKind::KeySignature, measure));
      ApplyNewPartDefaults(*key, NewPartDefaults);
      std::unique_ptr<TKVMark> clef;
      {
        TRegistrationPause<TKVMeasure> pause(*measure);
        clef.reset(static_cast<TKVMark*>(CreateItemByKind(ItemKind::Clef, measure)));
      }
      clef->SetVariant(1);
      ApplyNewPartDefaults(*clef, NewPartDefaults);
      measure->InsertItem(FindInsertIndex(measure, clef->VoiceKey(), false, 0, 0), clef.get());
      clef.release();
      if (TKVStaff* staff = part->NewStaff()) {
        staff->NewVoice();
        if (View) {
          View->SetActivePart(part->Index());
          View->ValidateCursor(false);
          View->CursorChanged(part);
        }
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  if (part) Changed();
  return part;
}

TKVItem* TKVScore::AddPageMark(bool Numbered, uint8_t A2, uint8_t A3, int16_t X, int16_t Y,
                               const std::string& FontName, uint8_t A7, uint8_t A8, int32_t A9, int16_t A10) {
  TKVScoreView* view = GetActiveWindow();
  if (!view) return nullptr;
  const int32_t page = view->ActivePage();
  // Before the first item anchored on a later page than the view's index.
  auto placeOf = [page](const auto& items, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
      if (GetItemPage(items(i)) > page) return i;
    return count;
  };
  TKVPageMark* mark;
  if (ViewStyle() == vsPart) {
    TKVPart* part = GetActivePart();
    if (!part) return nullptr;
    {
      TRegistrationPause<TKVPart> pause(*part);
      mark = new TKVPageMark(part);
    }
    part->InsertItem(placeOf([part](int32_t i) { return part->GetItem(i); }, part->GetItemCount()), mark);
  } else {
    {
      TRegistrationPause<TKVScore> pause(*this);
      mark = new TKVPageMark(this);
    }
    InsertItem(placeOf([this](int32_t i) { return GetItem(i); }, GetItemCount()), mark);
  }
  TByteBlock& data = mark->Data();
  data.setU8(PageMarkBlock::Numbered, Numbered ? 1 : 0);
  data.setI16(PageObjectBlock::X, X);
  data.setI16(PageObjectBlock::Y, Y);
  mark->SetText(FontName);
  data.setU8(PageMarkBlock::FontSize, A7);
  data.setU8(PageMarkBlock::FontStyle, A8);
  data.setI32(PageMarkBlock::FontColor, A9);
  data.setU8(PageMarkBlock::Flags, A2);
  data.setU8(PageMarkBlock::Format, A3);
  data.setI16(PageMarkBlock::PageNumberOffset, A10);
  data.setU16(PageMarkBlock::Page, Numbered ? uint16_t(page + 1) : 0);
  Reformat(page);
  InvalidateViews();
  Changed();
  return mark;
}

void TKVScore::UpdateVSTHandles() {
  if (!OnGetVSTHandle) return;
  for (TKVPiece* piece : FPieces)
    for (int32_t p = 0; p < piece->GetPartCount(); ++p) {
      TKVPart* part = piece->GetPart(p);
      part->VSTHandle = part->SecondName().empty() ? 0 : OnGetVSTHandle(this, part->SecondName());
    }
}

int32_t TKVScore::GetUserPages() {
  if (ViewStyle() == vsPart) {
    TKVPart* part = GetActivePart();
    return part ? part->UserPages : 0;
  }
  return FSettings.UserPages();
}

void TKVScore::SetUserPages(int32_t Value) {
  if (ViewStyle() == vsPart) {
    TKVPart* part = GetActivePart();
    if (!part || part->UserPages == Value) return;
    part->UserPages = Value;
  } else {
    if (FSettings.UserPages() == Value) return;
    FSettings.SetUserPages(Value);
  }
  Reformat(0);
  InvalidateViews();
  Changed();
}
