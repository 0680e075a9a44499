#include "platform/midi/MidiStream.h"

#include <vector>

namespace midi {

int MidiDataLength(uint8_t status) {
  if (status < 0x80) return -1;
  if (status < 0xF0) {
    const uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
  }
  switch (status) {
    case 0xF1: case 0xF3: return 1;
    case 0xF2: return 2;
    case 0xF6: return 0;
    case 0xF4: case 0xF5: case 0xF7: return -1;
    default: return 0;  // F0 starts a block; F8..FF stand alone
  }
}

void SplitMidiStream(const uint8_t* data, size_t length, const TMidiStreamSink& sink) {
  uint8_t running = 0;       // channel status for running status, 0 = none
  uint8_t message[3] = {0, 0, 0};
  int have = 0, need = -1;   // bytes of the message so far, data bytes wanted
  std::vector<uint8_t> block;
  bool inBlock = false;
  auto emitShort = [&] {
    if (sink.Short) sink.Short(uint32_t(message[0]) | uint32_t(message[1]) << 8 | uint32_t(message[2]) << 16);
  };
  for (size_t i = 0; i < length; ++i) {
    const uint8_t b = data[i];
    if (b >= 0xF8) {  // real-time: alone, anywhere, changes nothing
      if (sink.Short) sink.Short(b);
      continue;
    }
    if (inBlock) {
      if (b < 0x80) { block.push_back(b); continue; }
      inBlock = false;
      if (b == 0xF7) {
        block.push_back(b);
        if (sink.SysEx) sink.SysEx(block.data(), block.size());
        continue;
      }
      // Any other status ends the block unfinished: drop it, read the byte.
    }
    if (b >= 0x80) {
      need = MidiDataLength(b);
      have = 0;
      if (b == 0xF0) {
        inBlock = true;
        running = 0;
        block.assign(1, b);
        need = -1;
        continue;
      }
      if (need < 0) { running = 0; continue; }
      running = b < 0xF0 ? b : 0;
      message[0] = b; message[1] = message[2] = 0;
      have = 1;
      if (need == 0) { emitShort(); have = 0; need = -1; }
      continue;
    }
    // A data byte.
    if (have == 0) {
      if (!running) continue;  // stray
      message[0] = running; message[1] = message[2] = 0;
      need = MidiDataLength(running);
      have = 1;
    }
    message[have++] = b;
    if (have == need + 1) { emitShort(); have = 0; need = -1; }
  }
}

}  // namespace midi
