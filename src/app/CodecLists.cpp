// The record format built from the format controls, and the lists of the
// codecs that can compress it and of the drivers that provide the chosen one.

#include "app/ProgramModule.h"
#include "platform/codec/Acm.h"

namespace {

// The lists show at most this much of a codec's and a driver's name.
constexpr size_t FormatTagChars = 48, DriverNameChars = 128;

}  // namespace

void TFProgramModule::SetupWaveFormat() {
  static constexpr uint32_t rates[] = {8000, 11025, 12000, 22050, 24000, 32000, 44100};
  const int index = CBSampleRate->ItemIndex();
  const uint32_t rate = index >= 0 && index < 7 ? rates[index] : 48000;
  FWaveFormat = codec::TWaveFormat::Pcm(CBChannels->Checked() ? 2 : 1, rate, CBResolution->Checked() ? 16 : 8);
}

bool TFProgramModule::FindCompressedFormat(uint32_t DriverID, uint16_t Tag) {
  return FindCompressedFormat(DriverID, Tag, FWaveFormat);
}

bool TFProgramModule::FindCompressedFormat(uint32_t DriverID, uint16_t Tag, const codec::TWaveFormat& Pcm) {
  FCodecFormat.reset();
  uint32_t largest = 0;
  FLastResult = codec::acmMetrics(codec::ACM_METRIC_MAX_SIZE_FORMAT, largest);
  codec::ACMFORMATDETAILS wanted;
  wanted.dwFormatTag = Tag;
  wanted.pwfx.SetFormatTag(Tag);
  wanted.pwfx.SetChannels(Pcm.nChannels());
  wanted.pwfx.SetSamplesPerSec(Pcm.nSamplesPerSec());
  wanted.pwfx.SetBitsPerSample(Pcm.wBitsPerSample());
  codec::HACMDRIVER driver = nullptr;
  if (DriverID) FLastResult += codec::acmDriverOpen(driver, DriverID);
  FLastResult += codec::acmFormatEnum(
      driver, wanted,
      [this](codec::HACMDRIVERID, const codec::ACMFORMATDETAILS& offered, uint32_t) {
        FCodecFormat = std::make_unique<codec::TWaveFormat>(offered.pwfx);
        return false;
      },
      codec::ACM_FORMATENUMF_WFORMATTAG | codec::ACM_FORMATENUMF_NCHANNELS | codec::ACM_FORMATENUMF_NSAMPLESPERSEC);
  if (FCodecFormat) {
    codec::HACMSTREAM stream = nullptr;
    FLastResult += codec::acmStreamOpen(stream, driver, Pcm, *FCodecFormat, 0);
    if (stream) codec::acmStreamClose(stream);
  }
  if (driver) codec::acmDriverClose(driver);
  return FLastResult == 0 && FCodecFormat;
}

void TFProgramModule::FillCompressions() {
  SetupWaveFormat();
  const int selected = CBCompressions->ItemIndex();
  const int64_t remembered = selected >= 0 ? CBCompressions->Items().Tags(selected) : 0;
  forms::TStrings& items = CBCompressions->Items();
  items.Clear();
  FLastResult = codec::acmFormatTagEnum(
      nullptr,
      [&](codec::HACMDRIVERID, const codec::ACMFORMATTAGDETAILS& tag, uint32_t) {
        const int64_t value = tag.dwFormatTag;
        bool listed = false;
        for (int i = 0; i < items.Count(); ++i) listed = listed || CBCompressions->Items().Tags(i) == value;
        if (value != 1 && !listed && FindCompressedFormat(0, uint16_t(value)))
          items.AddTagged(tag.szFormatTag.substr(0, FormatTagChars), value);
        return true;
      },
      0);
  CBCompressions->SetItemIndex(-1);
  for (int i = 0; i < items.Count(); ++i)
    if (CBCompressions->Items().Tags(i) == remembered) CBCompressions->SetItemIndex(i);
}

void TFProgramModule::FillDrivers() {
  CBDrivers->Items().Clear();
  const int selected = CBCompressions->ItemIndex();
  if (selected >= 0) {
    const uint16_t tag = uint16_t(CBCompressions->Items().Tags(selected));
    codec::acmDriverEnum(
        [&](codec::HACMDRIVERID id, uint32_t) {
          codec::ACMDRIVERDETAILS details;
          if (codec::acmDriverDetails(id, details) == 0 && FindCompressedFormat(id, tag))
            CBDrivers->Items().AddTagged(details.szLongName.substr(0, DriverNameChars), int64_t(id));
          return true;
        },
        0);
  }
  if (CBDrivers->Items().Count() > 0) CBDrivers->SetItemIndex(0);
}
