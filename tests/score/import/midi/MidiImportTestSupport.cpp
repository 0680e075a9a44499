#include "score/import/midi/MidiImportTestSupport.h"

#include <algorithm>
#include <cstdio>

#include "score/model/Liga.h"
#include "score/model/Mark.h"
#include "score/model/Pause.h"
#include "score/model/ScoreTypes.h"

namespace {

const TKVLiga* TieOf(const TKVNote& note) {
  for (const TKVItem* item : note.Items())
    if (const auto* liga = dynamic_cast<const TKVLiga*>(item); liga && liga->Flag(LigaFlag::Tie)) return liga;
  return nullptr;
}

TKVNote* NoteAt(const TKVMeasure* measure, int position, uint8_t staffVoice, uint8_t key) {
  if (!measure) return nullptr;
  for (TKVItem* item : measure->Items())
    if (auto* n = dynamic_cast<TKVNote*>(item);
        n && n->Position() == position && n->StaffVoice() == staffVoice && n->MidiKey == key)
      return n;
  return nullptr;
}

}  // namespace

std::vector<TKVNote*> WrittenNotes(const TKVPart& part) {
  std::vector<TKVNote*> notes;
  for (int m = 0; m < part.GetMeasureCount(); ++m)
    for (TKVItem* item : part.GetMeasure(m)->Items())
      if (auto* n = dynamic_cast<TKVNote*>(item); n && n->Kind() == 20) notes.push_back(n);
  return notes;
}

std::vector<TKVNote*> NoteStarts(const TKVPart& part) {
  std::vector<TKVNote*> targets;
  for (int m = 0; m < part.GetMeasureCount(); ++m)
    for (TKVItem* item : part.GetMeasure(m)->Items()) {
      auto* n = dynamic_cast<TKVNote*>(item);
      const TKVLiga* tie = n ? TieOf(*n) : nullptr;
      if (!tie) continue;
      int end = n->Position() + tie->Data().u16(LigaBlock::Length);
      TKVNote* next = NoteAt(part.GetMeasure(m), end, n->StaffVoice(), n->MidiKey);
      if (!next) next = NoteAt(part.GetMeasure(m + 1), 0, n->StaffVoice(), n->MidiKey);
      if (next) targets.push_back(next);
    }
  std::vector<TKVNote*> starts;
  for (TKVNote* n : WrittenNotes(part))
    if (std::find(targets.begin(), targets.end(), n) == targets.end()) starts.push_back(n);
  return starts;
}

std::string DumpItems(const TKVItemHolder& holder) {
  std::string out;
  char line[96];
  for (const TKVItem* item : holder.Items()) {
    if (const auto* n = dynamic_cast<const TKVNote*>(item)) {
      std::snprintf(line, sizeof line, "N%d@%d/%d v%02x", n->MidiKey, n->Position(), n->Duration(), n->StaffVoice());
      out += line;
      for (const TKVItem* a : n->Items()) {
        if (const auto* m = dynamic_cast<const TKVMark*>(a))
          out += m->Kind() == 45 ? " dot" : m->Variant() == 0 ? " flat" : m->Variant() == 2 ? " sharp" : " natural";
        else if (dynamic_cast<const TKVLiga*>(a))
          out += " tie";
      }
      if (n->Flag(NoteFlag::Chord)) out += " chord";
    } else if (const auto* r = dynamic_cast<const TKVPause*>(item)) {
      std::snprintf(line, sizeof line, "R@%d/%d v%02x", r->Position(), r->Duration(), r->StaffVoice());
      out += line;
    } else if (const auto* m = dynamic_cast<const TKVMark*>(item)) {
      std::snprintf(line, sizeof line, "M%d:%d@%d=%d", m->Kind(), m->Variant(), m->Position(), m->Value());
      out += line;
    } else {
      out += "K" + std::to_string(item->Kind());
    }
    out += "\n";
  }
  return out;
}
