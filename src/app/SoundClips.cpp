#include "app/SoundClips.h"

#include "base/Log.h"
#include "media/audio/AuException.h"
#include "media/audio/AuOutput.h"
#include "score/model/Sound.h"

namespace {

// A clip that cannot be played (a protected one, say) is left out: the
// score plays on without it.
void LogFailure(const EAuException& e) { Log(std::string("sound clip: ") + e.what()); }

class TSoundClipPlayer final : public TKVClipPlayer {
public:
  int32_t TotalSeconds(TKVSound& Sound) override {
    try {
      return Sound.GetTotalTime();
    } catch (const EAuException& e) {
      LogFailure(e);
      return 0;
    }
  }

  void Run(TKVSound& Sound, int32_t OffsetSeconds) override {
    // A clip still playing plays on. One that a Stop just before is still
    // ending is let end first: its pump reads the input that is prepared
    // anew here, and its end would undo the start time set here.
    if (auto* output = dynamic_cast<TAuOutput*>(Sound.Output()); output && !output->WaitUntilFree()) return;
    Sound.PrepareAudio();
    auto* input = dynamic_cast<TAuStreamedInput*>(Sound.Input());
    auto* output = dynamic_cast<TAuOutput*>(Sound.Output());
    if (!input || !output) return;
    try {
      input->SetStartTime(OffsetSeconds / 60, OffsetSeconds % 60);
      output->Run();
    } catch (const EAuException& e) {
      LogFailure(e);
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
