#include "media/services/MediaServices.h"

#include "media/audio/DXAudioOut.h"
#include "media/audio/WMIn.h"
#include "media/audio/WaveIn.h"

std::unique_ptr<TKVAudioInput> TKVMediaSupport::CreateAudioInput(uint8_t Format) {
  if (Format == 0) return std::make_unique<TWaveIn>();
  if (Format == 1 || Format == 2) return std::make_unique<TWMIn>();
  return nullptr;
}

std::unique_ptr<TKVAudioOutput> TKVMediaSupport::CreateAudioOutput() { return std::make_unique<TDXAudioOut>(); }

void InstallMediaServices() { SetMediaServices(std::make_unique<TKVMediaSupport>()); }
