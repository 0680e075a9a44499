#pragma once
// Which passes of a repeat a volta or jump mark applies to.

#include <cstdint>

class TKVMark;

// 0 when the mark applies to pass Pass (counted from 1), else -1 or 1. A
// mark without a number text compares its number byte (the first byte of its
// block) with Pass. Otherwise its text (the caption, text 2) lists passes and
// ranges: "1." is pass 1, "1., 2." passes 1 and 2, "1.-3." and "1-3" passes 1
// to 3, "2.-4., 6." passes 2, 3, 4 and 6; a text without any digit matches
// pass 0 only, and a text with numbers never matches pass 0 unless it lists 0.
int32_t CompareRepeatNumber(const TKVMark* Item, int32_t Pass);
