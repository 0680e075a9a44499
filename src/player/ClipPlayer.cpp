#include "player/ClipPlayer.h"

namespace {

class TNullClipPlayer final : public TKVClipPlayer {
public:
  int32_t TotalSeconds(TKVSound&) override { return 0; }
  void Run(TKVSound&, int32_t) override {}
  void Stop(TKVSound&) override {}
};

}  // namespace

TKVClipPlayer& NullClipPlayer() {
  static TNullClipPlayer player;
  return player;
}
