#pragma once
// Lyric syllables (kind 33), staff texts with play actions (kind 34) and
// texts at a part's measure start (kind 35): their display items, boxes
// measured in their own font (optionally turned), and the lists of the
// measure record they are filed in.

#include "score/layout/measure/FormatContext.h"

class TKVLyric;

// Lays out Lyric of the current part's measure.
void LayoutLyric(TKVFormatContext& Ctx, TKVLyric& Lyric);
