// An older score file, whose notes are not read, lays out and plays for
// the length of its measures.

#include "PlayFixture.h"
#include "base/Streams.h"
#include "score/import/OldScoreFile.h"
#include "score/model/ScoreImporters.h"
#include "support/OldScoreFileBuilder.h"

TEST_F(PlayTest, AnOlderScoreFilePlaysForItsMeasuresAndEnds) {
  TOldScoreFile file;
  file.HeaderVersion = 9, file.Rungs = {{6, 60}, {9, 0x0304}}, file.Parts = {{}};
  file.Parts[0].Staves = {{4, {0, 0, 0, 0}}};
  const std::string path = testing::TempDir() + "older-plays.sfd";
  TMemoryStream(file.Bytes()).SaveToFile(path);
  RegisterOldFormatLoader(LoadOldFormat);
  score->LoadFromFile(path);
  RegisterOldFormatLoader({});
  EXPECT_DOUBLE_EQ(view.GetTotalTime(), 12000);
  PlayAll();
  EXPECT_EQ(stops.size(), 1u);
  EXPECT_DOUBLE_EQ(clock.NowMs() - start, 12000);
}
