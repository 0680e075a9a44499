#pragma once
// The Windows Media clip input's reader routines: the reader's state, its
// opening with the choice of output and PCM format, reading in place,
// seeking in hundredths of a second, closing, and the clip's attributes.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/audio/AudioStream.h"
#include "platform/wma/SyncReader.h"

struct WMAReaderState {
  std::unique_ptr<TAudioStream> StreamAdapter;
  std::unique_ptr<wma::TSyncReader> SyncReader;  // nil when the clip could not be opened
  std::vector<uint8_t> SampleBuffer;             // the sample being handed out
  uint32_t BufferOffset = 0;                     // its bytes already handed out
  uint16_t StreamNumber = 0;
  uint32_t OutputNumber = 0;
  bool Found = false;  // an audio output and a PCM format were chosen
  bool Protected = false;
  int32_t Channels = 0, SampleRate = 0, BitsPerSample = 0;
  uint64_t Duration = 0;  // 100-ns units; 0 when the clip does not say
};

// Opens a reader over Stream from its position, or from byte 30 when that
// fails. Request picks the format: 0 the clip's own rate and channels at
// the largest sample size, 6 or 8 that many channels, -1 the richest
// format offered. HighPrecision asks for discrete output.
void OpenWMAReader(WMAReaderState& state, TStream& stream, bool highPrecision, int request);
// Up to Size bytes of the current sample, in place (valid until the next
// call); Size 0 and Buffer nil at the end of the data.
void ReadWMAData(WMAReaderState& state, uint8_t*& buffer, uint32_t& size);
void SeekWMAReader(WMAReaderState& state, int64_t positionCs);
void CloseWMAReader(WMAReaderState& state);
void GetWMAFormat(const WMAReaderState& state, int32_t& channels, int32_t& bits, int32_t& rate);
// A text attribute of the clip; "" when it has none.
std::u16string GetWMAAttribute(WMAReaderState& state, const std::string& name);
