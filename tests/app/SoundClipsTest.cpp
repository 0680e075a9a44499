// The play thread's clip player with a clip it cannot play.

#include <gtest/gtest.h>

#include "app/SoundClips.h"
#include "media/services/MediaServices.h"
#include "score/model/Sound.h"
#include "support/wma/WindowsMediaClips.h"

namespace {

TEST(SoundClips, AProtectedClipIsLeftOutAndRaisesNothingIntoThePlayThread) {
  InstallMediaServices();
  {
    TKVSound sound(nullptr);
    sound.SetFormat(1);
    sound.AudioData().WriteBytes(
        wmatest::WithHeaderObject(wmatest::StereoClip().Bytes, wmatest::ContentEncryptionObject()));
    EXPECT_EQ(SoundClipPlayer().TotalSeconds(sound), 0);
    SoundClipPlayer().Run(sound, 0);
    SoundClipPlayer().Stop(sound);
  }
  SetMediaServices(nullptr);
}

}  // namespace
