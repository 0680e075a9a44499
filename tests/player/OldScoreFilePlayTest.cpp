#include "PlayFixture.h"
#include "score/import/oldformat/OldScoreFile.h"
#include "score/model/ScoreImporters.h"
#include "support/OldScoreFileBuilder.h"

// An older score file (its notes not read) plays for its measures.
TEST_F(PlayTest, AnOlderScoreFilePlaysForItsMeasuresAndEnds) {
  TOldScoreFile file;
  file.HeaderVersion = 9, file.Rungs = {{6, 60}, {9, 0x0304}}, file.Parts = {{{{4, {0, 0, 0, 0}}}}};
  TMemoryStream(file.Bytes()).SaveToFile(testing::TempDir() + "older-plays.sfd");
  RegisterOldFormatLoader(LoadOldFormat);
  score->LoadFromFile(testing::TempDir() + "older-plays.sfd");
  RegisterOldFormatLoader({});
  EXPECT_DOUBLE_EQ(view.GetTotalTime(), 12000);
  PlayAll();
  EXPECT_EQ(stops.size(), 1u) << "the run ends by itself";
  EXPECT_DOUBLE_EQ(clock.NowMs() - start, 12000);
}
