#pragma once
// How loud the opened file's marks play: the answer the score's
// OnGetDinamics event gives for an item type and its sub-kind. Dynamics
// marks set a level, hairpins move it, accents (sf, sfz, fz and fp among
// them) lift one note above it; the performance effects that ask the same
// event get the values they take when nobody answers.

#include <cstdint>

int32_t DynamicLevel(int32_t ItemType, int32_t Kind);
