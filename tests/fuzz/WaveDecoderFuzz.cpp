// The media player's reading of a WAVE file: header, data and decoding
// through the codec layer for any format tag the file names.

#include "FuzzInput.h"
#include "platform/audio/WaveDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  audio::TDecodedWave wave;
  if (audio::DecodeWaveFile(InputFile(data, size, ".wav"), wave) == 0)
    Check(wave.Rate > 0 && (wave.Channels == 1 || wave.Channels == 2) && wave.Samples.size() % wave.Channels == 0);
  return 0;
}
