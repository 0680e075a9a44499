#pragma once
// The WAVE clip input: reads a RIFF WAVE clip from a file or from a sound
// element's memory stream and delivers 8-, 16-, 24- or 32-bit integer PCM.
// It decodes IMA and Microsoft ADPCM itself, turns float samples into
// 32-bit integers, and converts an MPEG Layer-3 clip once, whole, into a
// PCM image in memory. A clip it cannot play is invalid and delivers no
// data.

#include <memory>
#include <vector>

#include "media/audio/AuInput.h"
#include "media/audio/WaveHeader.h"

class TWaveIn : public TAuFileIn {
public:
  static constexpr uint32_t BufferBytes = 16384;

  TWaveIn();
  ~TWaveIn() override;
  TKVAudioInputKind Kind() const override { return TKVAudioInputKind::Wave; }
  wavein::TWaveKind HeaderKind() const { return FHeader.Kind; }

protected:
  void OpenFile() override;
  void CloseFile() override;
  void GetDataInternal(uint8_t*& buffer, uint32_t& bytes) override;
  bool SeekInternal(int64_t& sample) override;

private:
  void ReadHeader();
  bool ConvertMpeg();
  uint32_t Fill();

  wavein::TWaveHeader FHeader;
  std::unique_ptr<TStream> FFile;         // the file this input opened
  std::unique_ptr<TStream> FImage;        // an MPEG Layer-3 clip's PCM image
  TStream* FReplaced = nullptr;           // the stream the image stands for
  std::vector<uint8_t> FBuffer;
  std::vector<uint8_t> FBlock;            // one ADPCM block as read
};
