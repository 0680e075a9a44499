#include "media/services/MediaServices.h"

#include "media/audio/DXAudioOut.h"
#include "media/audio/WMIn.h"
#include "media/audio/WaveIn.h"
#include "media/ole/OleContainer.h"

std::unique_ptr<TKVAudioInput> TKVMediaSupport::CreateAudioInput(uint8_t Format) {
  if (Format == 0) return std::make_unique<TWaveIn>();
  if (Format == 1 || Format == 2) return std::make_unique<TWMIn>();
  return nullptr;
}

std::unique_ptr<TKVAudioOutput> TKVMediaSupport::CreateAudioOutput() { return std::make_unique<TDXAudioOut>(); }

// Each embedded object gets a container control of its own, on no form.
std::unique_ptr<TKVOleContainer> TKVMediaSupport::CreateOleContainer() {
  auto container = std::make_unique<TOleContainer>(nullptr);
  container->SetSizeMode(smAutoSize);
  return container;
}

void InstallMediaServices() { SetMediaServices(std::make_unique<TKVMediaSupport>()); }
