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

uint16_t ItemPosition(const TKVItem* Item) {
  if (auto* note = dynamic_cast<const TKVNote*>(Item)) return note->Position();
  if (auto* rest = dynamic_cast<const TKVPause*>(Item)) return rest->Position();
  if (auto* mark = dynamic_cast<const TKVMark*>(Item)) return mark->Position();
  if (auto* lyric = dynamic_cast<const TKVLyric*>(Item)) return lyric->Position();
  if (auto* chord = dynamic_cast<const TKVChord*>(Item)) return chord->Position();
  if (auto* group = dynamic_cast<const TKVVorschlag*>(Item)) return group->Position();
  if (auto* frame = dynamic_cast<const TKVFrame*>(Item)) return frame->Position();
  if (auto* bend = dynamic_cast<const TKVBend*>(Item)) return bend->Position();
  if (auto* event = dynamic_cast<const TKVMIDIEvent*>(Item)) return event->Position();
  if (dynamic_cast<const TKVSound*>(Item)) return Item->Data().u16(2);  // a sound's tick is its second word
  return 0;
}

uint8_t ItemStaffVoice(const TKVItem* Item) {
  if (auto* note = dynamic_cast<const TKVNote*>(Item)) return note->StaffVoice();
  if (auto* rest = dynamic_cast<const TKVPause*>(Item)) return rest->StaffVoice();
  if (auto* mark = dynamic_cast<const TKVMark*>(Item)) return mark->StaffVoice();
  if (auto* lyric = dynamic_cast<const TKVLyric*>(Item)) return lyric->StaffVoice();
  if (auto* chord = dynamic_cast<const TKVChord*>(Item)) return chord->StaffVoice();
  if (auto* frame = dynamic_cast<const TKVFrame*>(Item)) return frame->StaffVoice();
  if (auto* group = dynamic_cast<const TKVVorschlag*>(Item)) return group->StaffVoice();
  if (auto* bend = dynamic_cast<const TKVBend*>(Item)) return bend->StaffVoice();
  return 0;
}

uint16_t ItemEnd(const TKVItem* Item) {
  int32_t end = ItemPosition(Item);
  if (auto* note = dynamic_cast<const TKVNote*>(Item)) end += note->Duration();
  else if (auto* rest = dynamic_cast<const TKVPause*>(Item)) end += rest->Duration();
  else if (auto* mark = dynamic_cast<const TKVMark*>(Item)) end += mark->Value();
  else if (auto* slur = dynamic_cast<const TKVLiga*>(Item)) {
    // A span of 0 lasts as long as the note the slur starts at.
    auto* owner = dynamic_cast<const TKVItem*>(slur->Owner());
    const uint16_t span = slur->Data().u16(LigaBlock::Length);
    auto* note = dynamic_cast<const TKVNote*>(owner);
    end = ItemPosition(owner) + (span == 0 && note ? note->Duration() : span);
  }
  return uint16_t(std::min(end, 65535));
}

TKVPart* ItemPart(const TKVItem* Item) {
  TKVMeasure* measure = Item ? Item->GetMeasure() : nullptr;
  return measure ? measure->Part() : nullptr;
}
