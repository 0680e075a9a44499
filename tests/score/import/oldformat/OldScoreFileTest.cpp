// Older-generation score files written by the builder load through
// LoadFromFile (".sfd") into the tree their bytes describe.

#include <gtest/gtest.h>

#include "score/import/oldformat/OldScoreFile.h"
#include "score/model/Column.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ScoreImporters.h"
#include "support/OldScoreFileBuilder.h"

namespace {

using TInts = std::vector<int>;

class OldScoreFileTest : public testing::Test {
protected:
  OldScoreFileTest() { RegisterOldFormatLoader(LoadOldFormat); }
  ~OldScoreFileTest() override { RegisterOldFormatLoader({}); }
  std::string Load(TBytes Bytes, size_t Size = SIZE_MAX) try {  // the error's text, "" when loaded
    Bytes.resize(std::min(Size, Bytes.size()));
    const std::string path = testing::TempDir() + testing::UnitTest::GetInstance()->current_test_info()->name() + ".sfd";
    TMemoryStream(Bytes).SaveToFile(path);
    score.LoadFromFile(path);
    return "";
  } catch (const std::exception& e) {
    return e.what();
  }
  TKVPiece& Piece() { return *score.GetPiece(0); }
  TKVPart& Part(int Index) { return *Piece().GetPart(Index); }
  TKVMark& MarkOf(int Column, int Index) { return *static_cast<TKVMark*>(Piece().GetColumn(Column)->GetItem(Index)); }
  static TInts Kinds(const TKVItemHolder& Holder) {  // sorted
    TInts kinds;
    for (TKVItem* item : Holder.Items()) kinds.push_back(item->Kind());
    return std::sort(kinds.begin(), kinds.end()), kinds;
  }
  TKVScore score;
};

TEST_F(OldScoreFileTest, TheHeaderGivesMeterMarksSettingsAndTempo) {
  TOldScoreFile file;  // rung 13: 2 rows of L / 8 = 48 byte pairs; no part record
  file.Rungs = {{9, 0x0304}, {14, 7}, {23, 4}, {22, 3}, {33, 5}, {26, 2}, {28, 3}, {6, 70000}};
  file.SkippedRows = 2, file.PairsPerRow = 48;
  ASSERT_EQ(Load(file.Bytes()), "");
  EXPECT_EQ(TInts({score.Settings().Option(1), score.AutoJoin(), score.Align(), Piece().Tempo()}), TInts({7, 6, 103, 65535}));
  ASSERT_EQ(Kinds(*Piece().GetColumn(0)), (TInts{4, 27}));
  EXPECT_EQ(TInts({MarkOf(0, 0).Value(), MarkOf(0, 0).Data().u8(26), MarkOf(0, 1).Value()}), TInts({0x0304, 1, 5}));
  EXPECT_EQ(Kinds(*Part(0).GetMeasure(0)), (TInts{2, 3})) << "the part NewPart makes";
  const std::pair<std::map<int, int64_t>, TInts> rows[] = {  // H (0) and rungs; meter, symbol, AutoJoin, Align, tempo
      {{{0, 29}, {9, 0x0102}}, {0x0204, 2, 1, 12, 10}}, {{{0, 30}, {9, 0x0101}, {30, 3}}, {0x0101, 3, 1, 12, 10}},
      {{{0, 33}, {9, 0x0400}, {22, 7}, {33, 2}, {27, 1}}, {0x0404, 0, 2, 10, 10}}};
  for (const auto& [rungs, expected] : rows) {
    file.HeaderVersion = uint16_t(rungs.at(0)), file.Rungs = rungs, file.SkippedRows = 0;
    ASSERT_EQ(Load(file.Bytes()), "");
    EXPECT_EQ(TInts({MarkOf(0, 0).Value(), MarkOf(0, 0).Flags(), score.AutoJoin(), score.Align(), Piece().Tempo()}), expected);
  }
}

// One part record's staves are spread over parts (the table's zeros passed over).
TEST_F(OldScoreFileTest, PartRecordsWithDescriptorsStavesColumnMarksAndDrawingObjects) {
  const std::string codes = "GHIJKLPQRUVXc3WZ";
  const TInts kinds = {150, 151, 151, 153, 154, 28, 27, 158, 157, 155, 156, 42, 6, 0, 0, 0};
  TOldPartRecord part;
  part.Staves = {{0}, {2, {9, 9, 9}}, {0}}, part.Groups = {0, 0, 2};  // two clefs; two measures of content
  part.Descriptors = {{0x10, 0, 9, 9, 2, 0, 9, 9, 0, 0, 0, 0, 1, 0, 2, 7}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0}}, part.DescriptorSize = 20;
  for (char code : codes) part.Columns.push_back({{uint8_t(code), 0}});
  part.Columns[0] = {{'G'}, {}, {'G'}};
  part.Drawings = {OldText("Arial", {"Gr\xF6\xDF" "e", "2"}), OldPicture(0, 257, {}), {{'?'}}, OldPicture(1, 257, {1, 2, 3}),
                   OldPicture(1, 300, {4, 5}), {{'@'}}, {{}}, {{'B'}}, {{'Z'}}};
  TOldScoreFile file;
  file.FormatByte = 0xF5, file.Revision = 0x0355;
  file.Parts = {part};
  ASSERT_EQ(Load(file.Bytes()), "");
  ASSERT_EQ(Piece().GetPartCount(), 2);
  EXPECT_EQ(TInts({int(Part(0).VoiceList().size()), int(Part(1).VoiceList().size())}), TInts({2, 1}));
  EXPECT_EQ(TInts({Piece().SpacingArray(1)[0], Piece().SpacingArray(2)[0], Piece().SpacingArray(2)[1]}), TInts({0x80, 0xFFF0, 0}));
  EXPECT_EQ(Piece().ByteList(), (TBytes{107, 10}));
  ASSERT_EQ(Part(0).GetMeasureCount(), 2);
  EXPECT_EQ(Kinds(*Part(0).GetMeasure(0)), (TInts{2, 21, 21}));
  auto* rest = static_cast<TKVPause*>(Part(0).GetMeasure(1)->GetItem(1));
  EXPECT_EQ(TInts({rest->Position(), rest->Value(), rest->Duration(), rest->StaffVoice()}), TInts({0, 512, 512, 0x10}));
  EXPECT_EQ(score.ImportWarning, SOldFileWithoutNotes);
  for (size_t c = 0; c < codes.size(); ++c)
    EXPECT_EQ(Kinds(*Piece().GetColumn(int(c))), (c == 0 ? TInts{4, 27, 150} : kinds[c] ? TInts{kinds[c]} : TInts{})) << codes[c];
  EXPECT_EQ(MarkOf(12, 0).OffsetY(), -384);
  TInts drawings;
  for (int i = 0; i < score.GetItemCount(); ++i) drawings.push_back(score.GetItem(i)->Kind());
  EXPECT_EQ(drawings, (TInts{200, 201, 202, 201, 201, 203, 205}));
  EXPECT_EQ(static_cast<TKVText*>(score.GetItem(0))->Lines(), (TKVWideList{u"Größe", u"2"}));
}

TEST_F(OldScoreFileTest, ADamagedRecordKeepsWhatItReadAndTheNextIsReadWhereItSays) {
  TOldScoreFile file;
  const TBytes header = file.Bytes();
  file.Parts = {{.Staves = {{2, {1, 2}}, {0}, {0}}, .Drawings = {{{'?'}}}, .Name = "next"}};  // staves not spread
  const TBytes whole = file.Bytes();
  // A wrong marker, a name past the record (program 9 before it kept), lengths 0 and 3.
  for (const TBytes& first : {TBytes{7}, TBytes{251, 13, 0, 0, 0, 2, 0, 9, 0, 0, 0, 50, 0}, TBytes{251, 0, 0, 0, 0},
                              TBytes{251, 3, 0, 0, 0}}) {
    TBytes two(header.begin(), header.end() - 2);  // two part records
    two.insert(two.end(), {2, 0}), two.insert(two.end(), first.begin(), first.end());
    two.insert(two.end(), whole.begin() + std::ptrdiff_t(header.size()), whole.end());
    ASSERT_EQ(Load(two), "") << first.size();
    ASSERT_EQ(Piece().GetPartCount(), 2) << first.size();
    EXPECT_EQ(TInts({Part(1).Name() == "next", Part(1).GetMeasureCount(), int(Part(1).VoiceList().size()), Part(1).GetItemCount(),
                     Part(0).Program(), int(Part(0).VoiceList().size())}),
              TInts({1, 2, 3, 1, first.size() == 13 ? 9 : 0, 1}));
    EXPECT_EQ(Kinds(*Part(0).GetMeasure(0)), (TInts{2, 21})) << first.size();
    EXPECT_NE(score.ImportWarning.find(SOldFileDamaged), std::string::npos) << first.size();
  }
  ASSERT_EQ(Load(whole), "");
  EXPECT_EQ(score.ImportWarning.find(SOldFileDamaged), std::string::npos);
  // Cut outside the part records: the stream's error, the bracket closed, a part kept.
  EXPECT_EQ(Load(whole, 20), "Stream read error");
  EXPECT_EQ(TInts({score.UpdateCount(), Piece().GetPartCount()}), TInts({0, 1}));
  file.Parts.resize(10001);  // more parts than the current generation takes
  EXPECT_EQ(Load(file.Bytes()), "Error reading parts");
}

}  // namespace
