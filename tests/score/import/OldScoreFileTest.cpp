// Older-generation score files written by the builder load through
// LoadFromFile (".sfd") into the tree their bytes describe.

#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "score/import/OldScoreFile.h"
#include "score/model/Column.h"
#include "score/model/Image.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ScoreImporters.h"
#include "score/model/Staff.h"
#include "support/OldScoreFileBuilder.h"

namespace {

using TInts = std::vector<int>;

class OldScoreFileTest : public testing::Test {
protected:
  OldScoreFileTest() { RegisterOldFormatLoader(LoadOldFormat); }
  ~OldScoreFileTest() override { RegisterOldFormatLoader({}); }
  // The error's text, or "" when the file (cut to Size) loaded.
  std::string Load(TBytes Bytes, size_t Size = SIZE_MAX) {
    Bytes.resize(std::min(Size, Bytes.size()));
    const std::string path = testing::TempDir() + testing::UnitTest::GetInstance()->current_test_info()->name() + ".sfd";
    TMemoryStream(Bytes).SaveToFile(path);
    try {
      score.LoadFromFile(path);
    } catch (const Exception& e) {
      return e.Message();
    }
    return "";
  }
  std::string Load(const TOldScoreFile& File) { return Load(File.Bytes()); }
  TKVPiece& Piece() { return *score.GetPiece(0); }
  TKVPart& Part(int Index) { return *Piece().GetPart(Index); }
  static TKVMark& MarkOf(const TKVItemHolder& Holder, int Index) { return *static_cast<TKVMark*>(Holder.GetItem(Index)); }
  static TInts Kinds(const TKVItemHolder& Holder) {  // sorted
    TInts kinds;
    for (TKVItem* item : Holder.Items()) kinds.push_back(item->Kind());
    return std::sort(kinds.begin(), kinds.end()), kinds;
  }
  TKVScore score;
};

TEST_F(OldScoreFileTest, AFileWithoutPartsHasItsMeterInColumn0AndOnePart) {
  TOldScoreFile file;
  file.HeaderVersion = 9, file.Rungs = {{9, 0x0304}};
  ASSERT_EQ(Load(file), "");
  TKVColumn& column = *Piece().GetColumn(0);
  ASSERT_EQ(Kinds(column), (TInts{4, 27}));
  const TKVMark& meter = MarkOf(column, 0);
  EXPECT_EQ(TInts({meter.Value(), meter.Flags(), meter.Data().u8(26), MarkOf(column, 1).Value()}), TInts({0x0304, 0, 1, 1}));
  ASSERT_EQ(Piece().GetPartCount(), 1);
  EXPECT_EQ(Kinds(*Part(0).GetMeasure(0)), (TInts{2, 3}));
  EXPECT_EQ(Part(0).GetStaff(0)->GetVoiceCount(), 1);
  // Rung 13's table holds 2 rows of L / 8 = 48 byte pairs; rung 14 follows.
  file.HeaderVersion = 14, file.SkippedRows = 2, file.PairsPerRow = 48, file.Rungs[14] = 7;
  ASSERT_EQ(Load(file), "");
  EXPECT_EQ(score.Settings().Option(1), 7);
  // Page lengths 1000 and NaN (kept as it was); named records of 9 and 3 bytes.
  file.HeaderVersion = 25, file.PageLengths[0] = file.PageLengths[1] = {0, 0, 0, 0, 0, 0, 0, 0xFA, 8, 0x40};
  ASSERT_EQ(Load(file), "");
  file.PageLengths[1] = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F};
  file.NamedRecords = {{{1, 2, 3, 4, 5, 6, 7, 8, 9}, "a", {{{'='}, {"x", "Snare"}}, {{}, {}}}}, {{1, 2, 3}, "b", {{{'='}, {""}}}}};
  ASSERT_EQ(Load(file), "");
  EXPECT_EQ(score.Page().InternalValue(pvHeight), 1000);
  const TInts named[] = {{1, 2, 5, 6, 9, 0, 83, 0, 100, 0, 0, 0}, {1, 2, 0, 0, 0, 0, 0, 0, 100, 0, 0, 0}};
  for (int r = 0; r < 2; ++r) {
    TInts bytes;
    for (size_t i = 0; i < 12; ++i) bytes.push_back(static_cast<TKVNamedRecord*>(score.NamedRecords().Objects(r))->Data.u8(i));
    EXPECT_EQ(bytes, named[r]);
  }
  for (const char* title : {"", "Any title"}) {
    TOldScoreFile older;
    older.FormatByte = 0xF5, older.Title = title, older.Revision = 0x0350;
    EXPECT_EQ(Load(older), "") << title;
  }
  EXPECT_EQ(Load(TBytes{0xF0}), "This is not Ostinel file");
}

TEST_F(OldScoreFileTest, HeaderRungsGiveMeterJoinAlignAndTempo) {
  const std::pair<std::map<int, int64_t>, TInts> rows[] = {  // H and rungs; meter, symbol, AutoJoin, Align, tempo
      {{{0, 29}, {9, 0x0101}, {6, 120}}, {0x0404, 1, 1, 12, 120}}, {{{0, 29}, {9, 0x0102}, {6, 70000}}, {0x0204, 2, 1, 12, 65535}},
      {{{0, 30}, {9, 0x0101}, {30, 3}, {6, 5}}, {0x0101, 3, 1, 12, 10}},
      {{{0, 33}, {9, 0x0400}, {22, 3}, {26, 2}, {28, 3}}, {0x0404, 0, 0, 103, 10}},
      {{{0, 33}, {22, 7}, {33, 5}, {27, 1}}, {0x0404, 0, 6, 10, 10}}, {{{0, 33}, {22, 3}, {33, 2}, {26, 1}}, {0x0404, 0, 0, 50, 10}},
      {{{0, 22}, {22, 7}}, {0x0404, 0, 2, 12, 10}}, {{{0, 8}, {6, 200}}, {0x0404, 0, 2, 12, 200}}};
  for (const auto& [rungs, expected] : rows) {
    TOldScoreFile file;
    file.HeaderVersion = uint16_t(rungs.at(0)), file.Rungs = rungs;
    score.Settings().SetAutoJoin(2), score.Settings().SetAlign(12);
    ASSERT_EQ(Load(file), "");
    const TKVMark& meter = MarkOf(*Piece().GetColumn(0), 0);
    EXPECT_EQ(TInts({meter.Value(), meter.Flags(), score.AutoJoin(), score.Align(), Piece().Tempo()}), expected) << rungs.at(0);
  }
}

TEST_F(OldScoreFileTest, StaffDescriptorsOfEachFormFillTheSpacingAndAlignment) {
  const TBytes tails[] = {{1, 0, 2, 7}, {1, 1, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}};  // data bytes 12-15
  for (auto [revision, size] : std::vector<std::pair<uint16_t, uint8_t>>{{0x027F, 16}, {0x0281, 16}, {0x0355, 8}, {0x0355, 20}}) {
    TOldScoreFile file;
    file.FormatByte = 0xF5, file.Revision = revision, file.Parts = {{}};
    file.Parts[0].DescriptorSize = size;
    for (const TBytes& tail : tails) {
      TBytes d = {0x10, 0, 0xEE, 0xEE, 2, 0, 0xEE, 0xEE, 0, 0, 0, 0};
      file.Parts[0].Descriptors.push_back((d.insert(d.end(), tail.begin(), tail.end()), d));
    }
    ASSERT_EQ(Load(file), "") << revision;
    EXPECT_EQ(Piece().SpacingArray(1), std::vector<uint16_t>(5, 0x80)) << revision;
    EXPECT_EQ(Piece().SpacingArray(2), std::vector<uint16_t>(5, 0xFFF0)) << revision;
    EXPECT_EQ(Piece().ByteList(), (size == 20 ? TBytes{107, 10, 12, 50, 0} : TBytes(5, 0))) << revision << " " << int(size);
  }
}

TEST_F(OldScoreFileTest, TheStavesOfTheOnlyPartRecordAreSpreadOverParts) {
  const std::tuple<std::vector<uint16_t>, size_t, size_t, TInts> rows[] = {  // groups, staves, records; staves by part
      {{}, 3, 1, {1, 1, 1}}, {{2, 1}, 3, 1, {2, 1}}, {{0, 0, 2}, 3, 1, {2, 1}}, {{5}, 3, 1, {1, 1, 1}},
      {{}, 2, 1, {2}},       {{2}, 4, 1, {2, 1, 1}}, {{}, 3, 2, {3, 3}}};
  for (const auto& [groups, staves, records, byPart] : rows) {
    TOldScoreFile file;
    file.Parts.assign(records, {});
    for (TOldPartRecord& part : file.Parts) part.Staves.resize(staves), part.Groups = groups;
    ASSERT_EQ(Load(file), "");
    TInts counts;
    for (int p = 0; p < Piece().GetPartCount(); ++p) counts.push_back(Part(p).GetStaffCount());
    EXPECT_EQ(counts, byPart) << staves << " staves, " << groups.size() << " groups";
  }
}

TEST_F(OldScoreFileTest, StaffRecordsColumnsAndDrawings) {
  TOldScoreFile file;
  file.Parts = {{}};
  file.Parts[0].Staves = {{0}, {0}};
  ASSERT_EQ(Load(file), "");
  TInts clefs;
  for (TKVItem* item : Part(0).GetMeasure(0)->Items())
    if (item->Kind() == 2 && static_cast<TKVMark*>(item)->Variant() == 1) clefs.push_back(static_cast<TKVMark*>(item)->StaffVoice());
  EXPECT_EQ(clefs, (TInts{0x00, 0x10}));
  EXPECT_EQ(score.ImportWarning, "");

  const std::string codes = "GHIJKLPQRUVXc3WZ";
  const TInts kinds = {150, 151, 151, 153, 154, 28, 27, 158, 157, 155, 156, 42, 6, 0, 0, 0};
  TOldPartRecord& part = file.Parts[0];
  part.Staves = {{2, {9, 9, 9}}};
  for (char code : codes) part.Columns.push_back({{uint8_t(code), 0}});
  part.Columns[0] = {{'G'}, {}, {'G'}};
  part.Drawings = {OldText("Arial", {"Gr\xF6\xDF" "e", "2"}), OldPicture(0, 257, {}), {{'?'}}, OldPicture(1, 257, {1, 2, 3}),
                   OldPicture(1, 300, {4, 5}), {{'@'}}, {{}}, {{'B'}}, {{'Z'}}};
  for (int records : {1, 2}) {
    file.Parts.resize(size_t(records), part);
    ASSERT_EQ(Load(file), "");
    ASSERT_EQ(Part(0).GetMeasureCount(), 2);
    for (int m = 0; m < 2; ++m) {
      ASSERT_EQ(Kinds(*Part(0).GetMeasure(m)), (TInts{21})) << m;
      auto* rest = static_cast<TKVPause*>(Part(0).GetMeasure(m)->GetItem(0));
      EXPECT_EQ(TInts({rest->Position(), rest->Value(), rest->Duration()}), TInts({0, 512, 512}));
    }
    EXPECT_EQ(score.ImportWarning, SOldFileWithoutNotes);
    for (size_t c = 0; records == 1 && c < codes.size(); ++c)
      EXPECT_EQ(Kinds(*Piece().GetColumn(int(c))), (c == 0 ? TInts{4, 27, 150} : kinds[c] ? TInts{kinds[c]} : TInts{})) << codes[c];
    EXPECT_EQ(MarkOf(*Piece().GetColumn(12), 0).OffsetY(), -384);
    std::vector<TKVItem*> items(Part(1 % records).Items().begin(), Part(1 % records).Items().end());
    for (int i = 0; records == 1 && i < score.GetItemCount(); ++i) items.push_back(score.GetItem(i));
    TInts drawings;
    for (TKVItem* item : items) drawings.push_back(item->Kind());
    ASSERT_EQ(drawings, (TInts{200, 201, 202, 201, 201, 203, 205})) << records;
    EXPECT_EQ(static_cast<TKVText*>(items[0])->Lines(), (TKVWideList{u"Größe", u"2"}));
    EXPECT_TRUE(static_cast<TKVImage*>(items[1])->Picture().Empty());
    EXPECT_EQ(static_cast<TKVImage*>(items[3])->Picture().Bytes(), (TBytes{1, 2, 3}));
    EXPECT_TRUE(static_cast<TKVImage*>(items[4])->Picture().Empty());
  }
}

TEST_F(OldScoreFileTest, ADamagedRecordKeepsWhatItReadAndTheNextIsReadWhereItSays) {
  TOldScoreFile file;
  const TBytes header = file.Bytes();
  file.Parts = {{}};
  file.Parts[0].Name = "good", file.Parts[0].Staves = {{2, {1, 2}}};
  const TBytes bytes = file.Bytes(), record(bytes.begin() + std::ptrdiff_t(header.size()), bytes.end());
  // A wrong marker, a name past the record (program 9 read before it), lengths 0 and 3.
  const std::pair<TBytes, int> firsts[] = {
      {{7}, 0}, {{251, 13, 0, 0, 0, 2, 0, 9, 0, 0, 0, 50, 0}, 9}, {{251, 0, 0, 0, 0}, 0}, {{251, 3, 0, 0, 0}, 0}};
  for (const auto& [first, program] : firsts) {
    TBytes two = header;
    two[two.size() - 2] = 2;
    two.insert(two.end(), first.begin(), first.end());
    two.insert(two.end(), record.begin(), record.end());
    ASSERT_EQ(Load(two), "") << first.size();
    ASSERT_EQ(Piece().GetPartCount(), 2) << first.size();
    EXPECT_EQ(Part(1).Name(), "good") << first.size();
    EXPECT_EQ(TInts({Part(1).GetMeasureCount(), Part(0).Program(), Part(0).GetStaff(0)->GetVoiceCount()}), TInts({2, program, 1}));
    EXPECT_EQ(Kinds(*Part(0).GetMeasure(0)), (TInts{2, 21})) << first.size();
  }
  // Cut outside the part records: the stream's error; the bracket closes and the piece keeps a part.
  for (size_t size : {size_t(20), header.size() - 1}) {
    EXPECT_EQ(Load(bytes, size), "Stream read error") << size;
    EXPECT_EQ(TInts({score.UpdateCount(), Piece().GetPartCount()}), TInts({0, 1}));
  }
  EXPECT_EQ(Load(bytes, bytes.size() - 1), "") << "cut inside the last part record";
  EXPECT_EQ(Part(0).GetMeasureCount(), 2);
}

}  // namespace
