#include "score/model/Sound.h"

#include "score/model/ItemKinds.h"

TKVSound::TKVSound(TObject* Owner) : TKVItem(Owner, ItemKind::Sound, SoundBlock::Size) {}

// The output lets go of the input before either is freed.
TKVSound::~TKVSound() {
  if (FOutput) FOutput->SetInput(nullptr);
}

void TKVSound::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVSound>(Source, *this);
  if (&source == this) return;
  CopyBlock(source);
  if (FOutput) FOutput->SetInput(nullptr);
  FInput.reset();
  FAudioData.Clear();
  FAudioData.WriteBytes(source.FAudioData.Bytes());
  FAudioData.SetPosition(0);
}

void TKVSound::PrepareAudio() {
  if (!FOutput) FOutput = MediaServices().CreateAudioOutput();
  uint8_t format = Format();
  if (format > 2) return;
  TKVAudioInputKind kind = format == 0 ? TKVAudioInputKind::Wave : TKVAudioInputKind::WindowsMedia;
  if (!FInput || FInput->Kind() != kind) {
    if (FOutput && FOutput->Input() == FInput.get()) FOutput->SetInput(nullptr);
    FInput = MediaServices().CreateAudioInput(format);
    if (!FInput) return;
  }
  FAudioData.SetPosition(0);
  FInput->SetStream(&FAudioData);
  if (FOutput && FOutput->Input() != FInput.get()) FOutput->SetInput(FInput.get());
}

int32_t TKVSound::GetTotalTime() {
  PrepareAudio();
  return FInput ? FInput->GetTotalTime() : 0;
}
