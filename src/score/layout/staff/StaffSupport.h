#pragma once
// Small routines of the per-staff layout: the clef in force at a tick, the
// key signature's alteration per diatonic line, the display item of a
// chord's note, the rotation of a point, and the largest note overhang.

#include <array>
#include <cstdint>

#include "score/layout/measure/FormatContext.h"

class TKVMark;

// Staff-position offset of each clef type (half line spaces).
extern const std::array<int32_t, 16> ClefLineOffsets;

// Offset of the clef in force at Tick on the current staff (0 when the staff
// has no clef entry or the clef type has none); sets Ctx.PercussionClef for
// clef types 14 and 15.
int32_t GetClefOffset(TKVFormatContext& Ctx, uint16_t Tick);

// The display item of Part's note with voice byte VoiceByte at Tick,
// extended to the last note of its chord; a chord ends at a note whose
// stem-side bit (bit 2 of its flags) equals SideBit (0 or 4). With AlsoRests
// a rest of the same staff at Tick is taken as well. Nil when none matches.
TKVDisplayItem* FindNoteDisplayItem(TKVFormatContext& Ctx, const TKVPart* Part, uint8_t VoiceByte, uint16_t Tick,
                                    bool AlsoRests, uint8_t SideBit);

struct TKVPoint {
  int32_t X = 0, Y = 0;
  bool operator==(const TKVPoint&) const = default;
};
// P turned by the angle whose cosine and sine the context holds.
TKVPoint RotatePoint(const TKVFormatContext& Ctx, TKVPoint P);

// Fills Ctx.KeyAccidentals from a key-signature mark (kind 3).
void ApplyKeySignature(TKVFormatContext& Ctx, const TKVMark& KeyMark);
// Clears the table and applies the key in force at the current measure's
// start (from the current part's key-signature display items).
void InitKeyAccidentals(TKVFormatContext& Ctx);
// Alteration of diatonic line Line; a line outside the table takes its
// step's.
int16_t KeyAccidental(const TKVFormatContext& Ctx, int32_t Line);

// Largest excess of a note's played length over its written length among
// the current measure's notes at Tick; 0 when none.
int32_t GetMaxNoteOverhang(const TKVFormatContext& Ctx, uint16_t Tick);
