#pragma once
// User symbols (marks of kind 160) and the play actions that they and staff
// texts carry: a dynamics point, a tempo change, a raw MIDI message or a
// jump, turned into the current measure record's dynamics, position entries,
// tempo segments and play marks.

#include <cstdint>
#include <string>
#include <vector>

#include "score/layout/measure/FormatContext.h"

class TKVMark;

namespace PlayActionKind {
constexpr uint8_t Dynamics = 1, Tempo = 2, Midi = 3, Jump = 4;
}

// Runs play action Kind of Item at Position. A tempo change is absolute when
// First is above 0 (tempo Second), else relative (by Second); the tempo
// never drops below 1. A MIDI message's bytes come from the hexadecimal
// pairs of Data into Bytes; with First not 0 its first byte takes the
// channel of the item's part. Jumps and other kinds do nothing here.
void RunPlayAction(TKVFormatContext& Ctx, TKVItem& Item, uint16_t Position, uint8_t Kind, int32_t First,
                   int32_t Second, const std::string& Data, std::vector<uint8_t>& Bytes);

// A hold (fermata) at Position: its position entry carries the longest note
// overhang there, by which the first hold at a tick of the column lengthens
// the measure.
void AddHold(TKVFormatContext& Ctx, TKVItem& Mark, uint16_t Position);

// Lays out a user symbol of the current part's measure with its play action.
// A symbol at or past the measure's end goes on the removal list.
void LayoutUserSymbol(TKVFormatContext& Ctx, TKVMark& Mark);
