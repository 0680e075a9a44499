#pragma once
// The signature pass of the per-staff layout: the part's bracket marks,
// its clefs (at the measure's start and changes inside it) and its key
// signatures with the naturals that cancel the key before them.

#include <cstdint>

#include "score/layout/measure/FormatContext.h"

class TKVMark;

// Walks the current measure's items and lays out kinds 1, 2 and 3.
void LayoutSignatures(TKVFormatContext& Ctx);

// A clef mark; the record joins its staff record's clef list.
void LayoutClef(TKVFormatContext& Ctx, TKVMark& Clef);
// A key-signature mark: one record per standard staff of the part, and the
// naturals of the key it replaces (at the end of the previous measure, or
// here after a repeat-end bar).
void LayoutKeySignature(TKVFormatContext& Ctx, TKVMark& Key);

// Takes out of the previous record the naturals that an earlier formatting
// of this column put there, so that formatting a column again makes them
// once.
void DropEarlierCancellations(TKVFormatContext& Ctx);

// Glyph of a clef type in the music font.
uint8_t ClefGlyph(uint8_t Type);
// The canvas back at the score's music font at size 144.
void ResetLayoutCanvas(TKVFormatContext& Ctx);
