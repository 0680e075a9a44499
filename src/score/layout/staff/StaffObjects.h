#pragma once
// The items of the staff pass besides notes: rests, the second note kind,
// beat and measure repeats, tuplets, the marks that stand beside a note
// column (kinds 111, 112, 143, 169 and 173) and the free objects a measure
// holds (kinds 161 and 200 to 207). LayoutStaffObject (StaffHooks.h)
// dispatches to them; each checks that its item belongs to the staff being
// walked, enters the item's column and lays it out.

#include <cstdint>

#include "score/layout/staff/StaffPass.h"

class TKVMark;
class TKVNote;
class TKVPause;
class TKVScore;

void LayoutRest(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVPause& Rest);
void LayoutSecondNote(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note);
// Kinds 40 (beat repeat) and 41 (measure repeat): a sign and, for the
// player, the repeated notes copied into this measure's position list.
void LayoutRepeat(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVMark& Mark);
// Kinds 85, 111, 112, 143, 169 and 173.
void LayoutStaffMark(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVMark& Mark);
// Kinds 161 and 200 to 207.
void LayoutFreeObject(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVItem& Object);

class TKVVoice;
class TKVVoicedItem;
// The voice of the current staff that StaffVoice's low nibble names (nil
// when the staff has none), written with the part and staff into Item's
// run-time voice key.
TKVVoice* BindVoice(TKVFormatContext& Ctx, TKVVoicedItem& Item, uint8_t StaffVoice);

// Width of the music font's rest glyph for a rest of Duration ticks (the
// quarter's for any length without a glyph of its own), layout units.
int32_t RestGlyphWidth(const TKVScore& Score, uint16_t Duration);
