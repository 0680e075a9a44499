#include "score/layout/ItemFields.h"

#include <algorithm>

#include "score/model/Chord.h"
#include "score/model/Frame.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Pause.h"
#include "score/model/SimpleElements.h"
#include "score/model/Sound.h"
#include "score/model/Vorschlag.h"

namespace {

// Field(item) with the item as its element class for the classes that keep
// a position and a staff/voice byte; Otherwise() for any other item or nil.
template <class F, class G>
auto WithVoicedElement(const TKVItem* Item, F Field, G Otherwise) {
  switch (Item ? Item->ItemClass() : TKVItemClass::Item) {
    case TKVItemClass::Note: return Field(*static_cast<const TKVNote*>(Item));
    case TKVItemClass::Pause: return Field(*static_cast<const TKVPause*>(Item));
    case TKVItemClass::Mark: return Field(*static_cast<const TKVMark*>(Item));
    case TKVItemClass::Lyric: return Field(*static_cast<const TKVLyric*>(Item));
    case TKVItemClass::Chord: return Field(*static_cast<const TKVChord*>(Item));
    case TKVItemClass::Vorschlag: return Field(*static_cast<const TKVVorschlag*>(Item));
    case TKVItemClass::Frame: return Field(*static_cast<const TKVFrame*>(Item));
    case TKVItemClass::Bend: return Field(*static_cast<const TKVBend*>(Item));
    default: return Otherwise();
  }
}

}  // namespace

uint16_t ItemPosition(const TKVItem* Item) {
  return WithVoicedElement(
      Item, [](const auto& element) -> uint16_t { return element.Position(); },
      [Item]() -> uint16_t {
        if (auto* event = ItemCast<const TKVMIDIEvent>(Item)) return event->Position();
        if (ItemCast<const TKVSound>(Item)) return Item->Data().u16(2);  // a sound's tick is its second word
        return 0;
      });
}

uint8_t ItemStaffVoice(const TKVItem* Item) {
  return WithVoicedElement(
      Item, [](const auto& element) -> uint8_t { return element.StaffVoice(); }, []() -> uint8_t { return 0; });
}

uint16_t ItemEnd(const TKVItem* Item) {
  int32_t end = ItemPosition(Item);
  if (auto* note = ItemCast<const TKVNote>(Item)) end += note->Duration();
  else if (auto* rest = ItemCast<const TKVPause>(Item)) end += rest->Duration();
  else if (auto* mark = ItemCast<const TKVMark>(Item)) end += mark->Value();
  else if (auto* slur = ItemCast<const TKVLiga>(Item)) {
    // A span of 0 lasts as long as the note the slur starts at.
    auto* owner = slur->OwnerItem();
    const uint16_t span = slur->Data().u16(LigaBlock::Length);
    auto* note = ItemCast<const TKVNote>(owner);
    end = ItemPosition(owner) + (span == 0 && note ? note->Duration() : span);
  }
  return uint16_t(std::min(end, 65535));
}

TKVPart* ItemPart(const TKVItem* Item) {
  TKVMeasure* measure = Item ? Item->GetMeasure() : nullptr;
  return measure ? measure->Part() : nullptr;
}
