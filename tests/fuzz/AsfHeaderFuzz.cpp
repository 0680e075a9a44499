// The Windows Media reader on the input's bytes: the ASF header walk reads
// nothing past the header's bytes, and a clip that opens is read through
// its first outputs, formats, attributes, samples and a seek.

#include "FuzzInput.h"
#include "platform/wma/AsfHeader.h"
#include "platform/wma/SyncReader.h"
#include "support/wma/MemorySource.h"

using namespace wma;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  wmatest::TMemorySource source(std::vector<uint8_t>(data, data + size));
  const TAsfHeaderFacts facts = WalkAsfHeader(source, 0);
  uint64_t declared = 0;
  for (int i = 7; size >= 24 && i >= 0; --i) declared = declared << 8 | data[16 + i];
  Check(uint64_t(source.Furthest) <= std::max<uint64_t>(30, std::min<uint64_t>(declared, size)));
  Check(facts.Duration() <= facts.PlayDuration);
  if (!facts.Asf) return 0;

  source.Position = 0;
  TSyncReader reader;
  if (reader.OpenStream(source) != S_OK) return 0;
  uint32_t outputs = 0;
  Check(reader.GetOutputCount(outputs) == S_OK);
  for (uint32_t i = 0; i < std::min<uint32_t>(outputs, 4); ++i) {
    TMediaType type;
    if (reader.GetOutputProps(i, type) != S_OK || type.MajorType != TMajorType::Audio) continue;
    const uint32_t on = 1, speakers = 6;
    reader.SetOutputSetting(i, "EnableDiscreteOutput", WMT_TYPE_BOOL, reinterpret_cast<const uint8_t*>(&on), 4);
    reader.SetOutputSetting(i, "SpeakerConfig", WMT_TYPE_DWORD, reinterpret_cast<const uint8_t*>(&speakers), 4);
    uint32_t formats = 0;
    Check(reader.GetOutputFormatCount(i, formats) == S_OK && formats > 0);
    Check(reader.GetOutputFormat(i, (data[size - 1] % formats), type) == S_OK);
    Check(reader.SetOutputProps(i, type) == S_OK);
    std::vector<uint8_t> sample;
    uint64_t time;
    for (int n = 0; n < 8 && reader.GetNextSample(uint16_t(i + 1), sample, time) == S_OK; ++n)
      Check(sample.size() % type.Format.nBlockAlign() == 0);
    reader.SetRange(uint64_t(data[0]) * 1000000);
    for (int n = 0; n < 4 && reader.GetNextSample(uint16_t(i + 1), sample, time) == S_OK; ++n)
      Check(sample.size() % type.Format.nBlockAlign() == 0);
  }
  TAttrDataType type;
  uint16_t length = 0;
  reader.GetAttributeByName(0, "Title", type, nullptr, length);
  Check(length % 2 == 0);
  reader.Close();
  return 0;
}
