#pragma once
// The key that names a voice across the parts of a piece: notes, rests,
// chords, grace-note groups, lyrics, frames, bends and marks carry one. The
// insertion and sorting rules order items by it.

#include <cstdint>

struct TKVVoiceKey {
  uint8_t PartIndex = 0;     // the part's Index
  uint16_t VoiceNumber = 0;  // the voice's Number: its place in the part's voice list (the order value)
  uint8_t StaffIndex = 0;    // the staff's Index in the part
  uint8_t VoiceIndex = 0;    // the voice's Index in its staff
  bool operator==(const TKVVoiceKey&) const = default;
};
