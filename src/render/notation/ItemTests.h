#pragma once
// Small questions the notation drawers ask of the model and the records.

#include "platform/canvas/Graphics.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ElementBlocks.h"
#include "score/model/ItemKinds.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"
#include "score/model/Vorschlag.h"

namespace render {

// A voice whose visibility byte is 0 hides its items.
inline bool VoiceHidden(const TKVVoice* Voice) { return Voice && Voice->Data().u8(VoiceBlock::Visible) == 0; }

inline bool IsTablature(const TKVStaff* Staff) { return Staff && Staff->Data().u8(StaffBlock::Tablature) > 0; }

// The staff line a record stands on, when it is shown on this system.
inline const TKVStaffLineRecord* ShownLine(const TKVDisplayItem& Record) {
  return Record.StaffLine && (Record.StaffLine->Flags & 1) && Record.StaffLine->Staff ? Record.StaffLine : nullptr;
}

// The grace group an item belongs to, or nil.
inline const TKVVorschlag* GraceGroupOf(const TKVItem& Item) {
  auto* owner = dynamic_cast<const TKVItem*>(Item.Owner());
  return owner && owner->Kind() == ItemKind::GraceGroup ? dynamic_cast<const TKVVorschlag*>(owner) : nullptr;
}

// The staff of a note's own measure that its staff nibble names.
inline const TKVStaff* NoteStaff(const TKVNote& Note) {
  const TKVMeasure* measure = Note.GetMeasure();
  return measure && measure->Part() ? measure->Part()->GetStaff(Note.StaffVoice() >> 4) : nullptr;
}

// A stored pen style (TPenStyle order) as a dash of the smooth pen; false
// for the clear pen, which draws no line. Styles past the dashed ones draw
// solid.
inline bool DashOf(uint8_t PenStyle, canvas::TDashStyle& Dash) {
  if (PenStyle == canvas::psClear) return false;
  Dash = PenStyle <= canvas::psDashDotDot ? canvas::TDashStyle(PenStyle) : canvas::dsSolid;
  return true;
}

}  // namespace render
