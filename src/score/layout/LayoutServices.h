#pragma once
// Services that the steps of a measure formatting call many times: display
// items from the record's reusable list, dynamics records, the time-ordered
// position list and copies into it, rectangle scaling, the choice of a
// symbol font for a glyph, and the text font of a role.

#include <cstdint>
#include <string>

#include "score/layout/measure/FormatContext.h"

class TKVScore;

// The next display item of the current record: reused from the list (every
// field reset; Link kept unless ClearLink) or appended. Owner, item, the
// current staff with its size percent and layout index (100 % and 0 without
// a staff) are set.
TKVDisplayItem& AddDisplayItem(TKVFormatContext& Ctx, TKVItem* Item, bool ClearLink);
// Scales a display item's size percent by an item's own size (0 = unchanged);
// kept within a byte.
void ApplyItemSize(TKVDisplayItem& Display, uint8_t ItemSize);

// A dynamics record of the current part. Among several of one part at one
// position the first made stays last and each later one goes just before it.
void AddDynamic(TKVFormatContext& Ctx, TKVItem* Item, uint16_t Position, uint16_t Length, bool Local);

// Enters Item at Position into the current record's position list (After 1:
// behind entries at the same position, 0: before the last of them). A
// negative position reaches back into the records of earlier measures; one
// before the first measure is stored as 0 in record 0.
TKVPositionEntry& InsertPositionEntry(TKVFormatContext& Ctx, TKVItem* Item, int32_t Position, int After);
// Takes out of earlier records the entries that an earlier formatting of the
// current column put there (called by the measure set-up).
void RemoveEarlierEntries(TKVFormatContext& Ctx);

// Copies the notes of voice byte Voice lying within From..To among the first
// Count entries of Source, shifted to start at Target.
void CopyVoicePositions(TKVFormatContext& Ctx, const TKVMeasureRecord& Source, int32_t Count, uint8_t Voice,
                        uint16_t From, uint16_t To, uint16_t Target);
// Copies the entries of an earlier measure record that belong to the staff
// and voice Selector of the part with index PartIndex (and the column-wide
// ones). Nothing for a record outside 0 .. current column - 1.
void CopyMeasurePositions(TKVFormatContext& Ctx, int32_t MeasureIndex, int32_t PartIndex, uint8_t Selector);
// The copies of two-measure repeats that continue into this measure.
void CopyRepeatedMeasurePositions(TKVFormatContext& Ctx);

// (Left, Top, Width, Bottom) times the score's Scale and Percent, div 10000,
// truncated toward zero and kept within 32 bits.
TKVLayoutRect ScaleLayoutRect(const TKVFormatContext& Ctx, int32_t Left, int32_t Top, int32_t Width, int32_t Bottom,
                              int32_t Percent);
// Value * Scale div 100 (truncated, within 32 bits).
int32_t ScaleByScore(const TKVFormatContext& Ctx, int32_t Value);
// Moves Rect down by an item's y offset and its left edge by its x offset,
// both scaled by the score.
void ApplyItemOffsets(const TKVFormatContext& Ctx, TKVLayoutRect& Rect, int16_t OffsetX, int16_t OffsetY);

// Chooses the canvas font for Ctx.Glyph: a user symbol font that replaces
// the glyph (Glyph becomes its replacement, the size its percentage), else
// music font FontIndex (entry 0, or the score's music font, when missing).
void SelectLayoutSymbolFont(TKVFormatContext& Ctx, uint8_t FontIndex);

// Width of Glyph in music font FontIndex at size 144 (a user symbol font
// that replaces the glyph draws it at its own percentage unless AtFullSize).
// The canvas is left at the score's music font, size 144.
int32_t SymbolGlyphWidth(TKVFormatContext& Ctx, uint8_t Glyph, uint8_t FontIndex, bool AtFullSize = false);

// An item's own font name, else the score's text font Role, else "Arial".
std::string TextFontName(const TKVScore& Score, int32_t Role, const std::string& Own);
