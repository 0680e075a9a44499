#pragma once
// Grid choice and snapping of the notes of one measure and staff: a tree of
// duple cells (the measure, its beats, then halves down to the import
// quantum) and of triplet cells, scored by how far each note lies from a
// cell's start, end and length; the measure is refined only where the finer
// cells fit better, and every note is snapped onto the cell chosen for it.
// A note that runs past the bar line is split there first: its second half
// goes to the front of the next measure's work list.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "score/import/midi/MidiWorkRecord.h"

struct TMidiGridOptions {
  int32_t Quantum = 32;   // grid step and the finest cell; at least 1
  bool Triplets = false;  // triplet cells may be chosen
};

// A triplet cell the grid chose: three notes over Length ticks.
struct TMidiTripletCell {
  int32_t Start = 0;
  int32_t Length = 0;
  std::array<int32_t, 3> SubPoints{};  // 0, Length / 3, Length x 2 / 3
};

// Selects the notes of one staff; an empty filter takes every note.
using TMidiNoteFilter = std::function<bool(const TMidiWorkRecord&)>;

// Snaps the notes of List that pass Filter (measure of Length ticks and
// Numerator beats) and returns the triplet cells chosen for them. Records
// may move within List; split-off second halves go to the front of Next.
std::vector<TMidiTripletCell> QuantizeMeasure(TMidiWorkList& List, const TMidiNoteFilter& Filter, int32_t Length,
                                              int32_t Numerator, const TMidiGridOptions& Options,
                                              TMidiWorkList& Next);
