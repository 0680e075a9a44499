#include "media/audio/WMAReader.h"

#include <algorithm>

using namespace wma;

namespace {

// Takes Type's format as the state's choice.
void Choose(WMAReaderState& s, uint32_t output, const TMediaType& type) {
  s.Found = true;
  s.OutputNumber = output;
  s.Channels = type.Format.nChannels();
  s.SampleRate = int32_t(type.Format.nSamplesPerSec());
  s.BitsPerSample = type.Format.wBitsPerSample();
  s.SyncReader->SetOutputProps(output, type);
}

void ChooseFormat(WMAReaderState& s, uint32_t output, bool highPrecision, int request) {
  TSyncReader& reader = *s.SyncReader;
  TMediaType current;
  if (reader.GetOutputProps(output, current) != S_OK || current.MajorType != TMajorType::Audio) return;
  const uint32_t discrete = highPrecision ? 0xFFFFFFFF : 0;
  reader.SetOutputSetting(output, "EnableDiscreteOutput", WMT_TYPE_BOOL, reinterpret_cast<const uint8_t*>(&discrete),
                          4);
  const int rate = int(current.Format.nSamplesPerSec()), channels = current.Format.nChannels();
  if (request > 2) {
    const uint32_t speakers = uint32_t(request);
    reader.SetOutputSetting(output, "SpeakerConfig", WMT_TYPE_DWORD, reinterpret_cast<const uint8_t*>(&speakers), 4);
  }
  uint32_t formats = 0;
  if (reader.GetOutputFormatCount(output, formats) != S_OK) return;
  for (uint32_t j = 0; j < formats; ++j) {
    TMediaType type;
    if (reader.GetOutputFormat(output, j, type) != S_OK || type.FormatType != TFormatType::WaveFormatEx) continue;
    const int c = type.Format.nChannels(), r = int(type.Format.nSamplesPerSec()), b = type.Format.wBitsPerSample();
    const bool take = request == 0  ? b >= s.BitsPerSample && r == rate && c == channels
                      : request > 0 ? c == request
                                    : c >= s.Channels && r >= s.SampleRate && b >= s.BitsPerSample;
    if (take) Choose(s, output, type);
  }
}

}  // namespace

void OpenWMAReader(WMAReaderState& state, TStream& stream, bool highPrecision, int request) {
  CloseWMAReader(state);
  state = WMAReaderState();
  state.SyncReader = std::make_unique<TSyncReader>();
  state.StreamAdapter = std::make_unique<TAudioStream>(stream);
  TSyncReader& reader = *state.SyncReader;
  if (reader.OpenStream(*state.StreamAdapter) != S_OK) {
    // A clip may come after a 30-byte head of its own.
    stream.SetPosition(30);
    if (reader.OpenStream(*state.StreamAdapter) != S_OK) {
      state.SyncReader.reset();
      return;
    }
  }
  uint32_t outputs = 0;
  if (reader.GetOutputCount(outputs) != S_OK) {
    state.SyncReader.reset();
    return;
  }
  for (uint32_t i = 0; i < outputs; ++i) ChooseFormat(state, i, highPrecision, request);
  if (state.Found && reader.GetStreamNumberForOutput(state.OutputNumber, state.StreamNumber) == S_OK)
    state.Protected = reader.SetReadStreamSamples(state.StreamNumber, false) == NS_E_PROTECTED_CONTENT;
  uint8_t duration[8];
  uint16_t length = sizeof duration;
  TAttrDataType type;
  state.Duration = 0;
  if (reader.GetAttributeByName(0, "Duration", type, duration, length) == S_OK && length == 8)
    for (int i = 7; i >= 0; --i) state.Duration = state.Duration << 8 | duration[i];
}

void ReadWMAData(WMAReaderState& state, uint8_t*& buffer, uint32_t& size) {
  uint64_t time;
  while (state.BufferOffset >= state.SampleBuffer.size()) {
    state.SampleBuffer.clear();
    state.BufferOffset = 0;
    if (!state.SyncReader || state.SyncReader->GetNextSample(state.StreamNumber, state.SampleBuffer, time) != S_OK) {
      buffer = nullptr;
      size = 0;
      return;
    }
  }
  buffer = state.SampleBuffer.data() + state.BufferOffset;
  size = std::min<uint32_t>(size, uint32_t(state.SampleBuffer.size() - state.BufferOffset));
  state.BufferOffset += size;
}

void SeekWMAReader(WMAReaderState& state, int64_t positionCs) {
  if (!state.SyncReader) return;
  // What is left of the sample before the seek is not played after it.
  state.SampleBuffer.clear();
  state.BufferOffset = 0;
  state.SyncReader->SetRange(uint64_t(std::max<int64_t>(0, positionCs)) * 100000);
}

void CloseWMAReader(WMAReaderState& state) {
  if (state.SyncReader) state.SyncReader->Close();
  state.SampleBuffer.clear();
  state.BufferOffset = 0;
  state.SyncReader.reset();
  state.StreamAdapter.reset();
}

void GetWMAFormat(const WMAReaderState& state, int32_t& channels, int32_t& bits, int32_t& rate) {
  channels = state.Channels;
  bits = state.BitsPerSample;
  rate = state.SampleRate;
}

std::u16string GetWMAAttribute(WMAReaderState& state, const std::string& name) {
  if (!state.SyncReader) return u"";
  TAttrDataType type;
  uint16_t length = 0;
  if (state.SyncReader->GetAttributeByName(0, name, type, nullptr, length) != S_OK || length < 2) return u"";
  std::vector<uint8_t> bytes(length);
  if (state.SyncReader->GetAttributeByName(0, name, type, bytes.data(), length) != S_OK) return u"";
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t c = char16_t(bytes[i] | bytes[i + 1] << 8);
    if (c == 0) break;
    text += c;
  }
  return text;
}
