#pragma once
// Splits raw MIDI bytes, as a long message carries them, into what a
// synthesiser or a sequencer takes one at a time: short messages (packed
// words, status in the low byte) and whole system-exclusive blocks
// (F0 .. F7). Running status is honoured; real-time bytes may stand inside
// a block; a block cut off by another status byte is dropped, and so are
// stray data bytes and an unfinished message at the end.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace midi {

struct TMidiStreamSink {
  std::function<void(uint32_t message)> Short;
  std::function<void(const uint8_t* block, size_t length)> SysEx;  // F0 .. F7 included
};

void SplitMidiStream(const uint8_t* data, size_t length, const TMidiStreamSink& sink);

// Number of data bytes after a status byte; -1 for a byte that starts
// nothing (data bytes, undefined and end-of-exclusive bytes).
int MidiDataLength(uint8_t status);

}  // namespace midi
