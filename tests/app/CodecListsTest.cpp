// The record panel's codec lists follow the format controls: the chosen
// codec stays chosen while the new format still has it and is dropped when
// it has not; the driver list holds the chosen codec's drivers, the first one
// selected.

#include "ProgramTestSupport.h"
#include "platform/codec/WaveFormat.h"

namespace apptest {
namespace {

std::vector<std::string> Names(forms::TComboBox* list) {
  std::vector<std::string> names;
  for (int i = 0; i < list->Items().Count(); ++i) names.push_back(list->Items().Strings(i));
  return names;
}

intptr_t ChosenTag(forms::TComboBox* list) {
  const int i = list->ItemIndex();
  return i < 0 ? 0 : reinterpret_cast<intptr_t>(list->Items().Objects(i));
}

class CodecListsTest : public ProgramTest {
protected:
  CodecListsTest() { Start(); }

  void Choose(uint16_t tag) {
    for (int i = 0; i < Main->CBCompressions->Items().Count(); ++i)
      if (reinterpret_cast<intptr_t>(Main->CBCompressions->Items().Objects(i)) == tag) Main->CBCompressions->SetItemIndex(i);
    ASSERT_EQ(ChosenTag(Main->CBCompressions), tag);
    Main->FillDrivers();
  }
};

TEST_F(CodecListsTest, TheChosenCodecStaysWhileTheFormatHasItAndItsDriverIsSelected) {
  // 44100 Hz stereo: every codec but GSM 6.10, which codes one channel.
  EXPECT_EQ(Names(Main->CBCompressions),
            (std::vector<std::string>{"CCITT A-Law", "CCITT u-Law", "IMA ADPCM", "Microsoft ADPCM", "MPEG Layer-3"}));
  Choose(codec::WAVE_FORMAT_MPEGLAYER3);
  EXPECT_EQ(Names(Main->CBDrivers), (std::vector<std::string>{"MPEG Layer-3 codec (LAME encoder)"}));
  EXPECT_EQ(Main->CBDrivers->ItemIndex(), 0);

  Main->CBChannels->SetChecked(false);  // refills the codecs
  EXPECT_EQ(Main->CBCompressions->Items().Count(), 6);
  EXPECT_EQ(ChosenTag(Main->CBCompressions), codec::WAVE_FORMAT_MPEGLAYER3);
  Choose(codec::WAVE_FORMAT_GSM610);
  Main->CBSampleRate->SetItemIndex(0);  // 8000 Hz keeps GSM 6.10
  Main->FillCompressions();
  EXPECT_EQ(ChosenTag(Main->CBCompressions), codec::WAVE_FORMAT_GSM610);

  Main->CBChannels->SetChecked(true);
  EXPECT_EQ(Main->CBCompressions->ItemIndex(), -1);
  Main->FillDrivers();
  EXPECT_EQ(Main->CBDrivers->Items().Count(), 0);
  EXPECT_EQ(Main->CBDrivers->ItemIndex(), -1);
}

}  // namespace
}  // namespace apptest
