#pragma once
// An audio clip (kind 221): its audio data, and the input that decodes it
// with the output that plays it (made when first needed).

#include <cstdint>
#include <memory>

#include "base/Streams.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"
#include "score/model/MediaServices.h"

class TKVSound : public TKVItem {
public:
  explicit TKVSound(TObject* Owner);
  TKVItemClass ItemClass() const override { return TKVItemClass::Sound; }
  ~TKVSound() override;

  // Block and a copy of the whole audio data.
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  // Makes the output when there is none and the input for the audio format
  // (replacing an input of the other kind), gives the input the audio data
  // and connects the output to it. A format above 2 makes no input and does
  // nothing more.
  void PrepareAudio();
  // PrepareAudio, then the input's length in whole seconds; 0 without one.
  int32_t GetTotalTime();

  TMemoryStream& AudioData() { return FAudioData; }
  uint8_t Format() const { return Data().u8(SoundBlock::Format); }
  void SetFormat(uint8_t V) { Data().setU8(SoundBlock::Format, V); }
  TKVAudioInput* Input() const { return FInput.get(); }
  TKVAudioOutput* Output() const { return FOutput.get(); }

private:
  TMemoryStream FAudioData;
  std::unique_ptr<TKVAudioInput> FInput;
  std::unique_ptr<TKVAudioOutput> FOutput;
};
