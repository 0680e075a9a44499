#include "app/SoundClips.h"

#include "base/Log.h"
#include "media/audio/AuException.h"
#include "media/audio/AuOutput.h"
#include "score/model/Sound.h"

namespace {

class TSoundClipPlayer final : public TKVClipPlayer {
public:
  int32_t TotalSeconds(TKVSound& Sound) override { return Sound.GetTotalTime(); }

  void Run(TKVSound& Sound, int32_t OffsetSeconds) override {
    Sound.PrepareAudio();
    auto* input = dynamic_cast<TAuStreamedInput*>(Sound.Input());
    auto* output = dynamic_cast<TAuOutput*>(Sound.Output());
    if (!input || !output) return;
    input->SetStartTime(OffsetSeconds / 60, OffsetSeconds % 60);
    try {
      output->Run();
    } catch (const EAuException& e) {
      // The score plays on without the clip.
      Log(std::string("sound clip: ") + e.what());
    }
  }

  void Stop(TKVSound& Sound) override {
    if (auto* output = dynamic_cast<TAuOutput*>(Sound.Output())) output->Stop(true);
  }
};

}  // namespace

TKVClipPlayer& SoundClipPlayer() {
  static TSoundClipPlayer player;
  return player;
}
