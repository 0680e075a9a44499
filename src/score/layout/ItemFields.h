#pragma once
// Fields that several element classes keep in different places, read the
// same way by the layout steps that treat items of any kind.

#include <cstdint>

class TKVItem;
class TKVPart;

// Tick position in the measure (0 for kinds without one).
uint16_t ItemPosition(const TKVItem* Item);
// Staff/voice byte: staff index in the high nibble, voice in the low one.
uint8_t ItemStaffVoice(const TKVItem* Item);
// Tick at which the item ends, counted from the start of its own measure:
// position + length for notes, rests, slurs (from their note; a span of 0
// lasts as long as the note) and spanning marks; the position for
// everything else. At most 65535.
uint16_t ItemEnd(const TKVItem* Item);
// The part that owns the item's measure, or nil for items outside measures.
TKVPart* ItemPart(const TKVItem* Item);
