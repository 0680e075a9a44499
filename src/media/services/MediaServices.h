#pragma once
// The media subsystem's services for the score model: WAVE and Windows
// Media clip inputs, the clip output and the embedded-object container;
// pictures stay as the null services keep them.

#include "score/model/MediaServices.h"

class TKVMediaSupport : public TKVNullMediaServices {
public:
  std::unique_ptr<TKVAudioInput> CreateAudioInput(uint8_t Format) override;
  std::unique_ptr<TKVAudioOutput> CreateAudioOutput() override;
  std::unique_ptr<TKVOleContainer> CreateOleContainer() override;
};

// Installs the media services (at start, before any element exists).
void InstallMediaServices();
