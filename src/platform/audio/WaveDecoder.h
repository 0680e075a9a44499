#pragma once
// Reads a whole RIFF WAVE file into 16-bit samples for playback: PCM of 8
// or 16 bits as it stands, any other format the codec layer decodes through
// a conversion stream.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio/Mci.h"

namespace audio {

struct TDecodedWave {
  uint32_t Rate = 0;
  uint16_t Channels = 0;              // 1 or 2
  std::vector<int16_t> Samples;       // interleaved
  uint64_t Frames() const { return Channels ? Samples.size() / Channels : 0; }
};

// MCIERR_FILE_NOT_FOUND, MCIERR_INVALID_FILE (no WAVE file, damaged, more
// than two channels, a format no codec decodes, or more than an hour and a
// half of CD-quality sound), else 0.
MCIERROR DecodeWaveFile(const std::string& path, TDecodedWave& wave);

}  // namespace audio
