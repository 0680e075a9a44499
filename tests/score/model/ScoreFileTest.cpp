// Loading score files of the own format built from the format's
// description: the whole tree and every rung, the settings repairs, the
// drum map, the top-level failures, the choice of reader by extension and a
// mutation run over a full file.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/Exceptions.h"
#include "score/model/Column.h"
#include "score/model/Image.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/ScoreImporters.h"
#include "score/model/Staff.h"
#include "score/model/UserSymbol.h"
#include "score/model/Voice.h"
#include "support/FakeScoreView.h"
#include "ScoreFileSamples.h"
#include "support/Raised.h"

namespace {

using W = TScoreFileWriter;

using sample::Drum;
using sample::FullFile;

TBytes BytesOf(const TByteBlock& block) { return TBytes(block.Data(), block.Data() + block.Size()); }

TEST(ScoreFile, AVersion16FileLoadsEveryBuiltValueAndMapsItsDrums) {
  TKVScore score;
  sample::Load(score, FullFile().Bytes());
  EXPECT_EQ(score.Scale(), 150);
  EXPECT_EQ(score.Page().Color(), 0xDDEEFFu);
  ASSERT_EQ(score.GetPieceCount(), 1);
  TKVPiece* piece = score.GetPiece(0);
  EXPECT_EQ(BytesOf(piece->Data()), TBytes(TBlockBytes(20).U16(4, 90)));
  EXPECT_EQ(piece->Title(), "Sonata");
  EXPECT_EQ(piece->WordLists()[0], (std::vector<uint16_t>{7, 8}));

  TKVPart* part = piece->GetPart(0);
  ASSERT_TRUE(part && part->GetStaffCount() == 2);
  EXPECT_EQ(BytesOf(part->Data()), TBytes(TBlockBytes(28).U8(1, 3)));
  EXPECT_EQ(part->Name() + part->SecondName(), "FluteVST");
  EXPECT_EQ(part->GetTranspose(), -2);
  EXPECT_EQ(part->ByteListB(), TBytes{9});
  TKVStaff* upper = part->GetStaff(0);
  TKVStaff* lower = part->GetStaff(1);
  EXPECT_EQ(upper->Data().u8(6), 100);  // a stored size of 0
  EXPECT_EQ(upper->LineArray()[4], 59);
  TKVVoice* crossing = upper->GetVoice(0);
  ASSERT_EQ(lower->GetVoiceCount(), 2);
  EXPECT_EQ(lower->GetVoice(1), crossing);
  EXPECT_EQ(crossing->SecondStaff(), lower);

  TKVMeasure* measure = part->GetMeasure(0);
  ASSERT_EQ(measure->GetItemCount(), 7);
  auto* clef = dynamic_cast<TKVMark*>(measure->GetItem(0));
  auto* key = dynamic_cast<TKVMark*>(measure->GetItem(1));
  auto* tied = dynamic_cast<TKVNote*>(measure->GetItem(2));
  auto* text = dynamic_cast<TKVLyric*>(measure->GetItem(4));
  auto* cross = dynamic_cast<TKVNote*>(measure->GetItem(6));
  ASSERT_TRUE(clef && key && tied && text && cross);
  EXPECT_EQ(BytesOf(clef->Data()), TBytes(TBlockBytes(28).U8(0, 1)));
  EXPECT_EQ(key->ExtraWord(0), 0x0305);
  EXPECT_EQ(BytesOf(tied->Data()), sample::Note(0, 0x00, 1));
  EXPECT_EQ(tied->Text(), "n1");
  ASSERT_EQ(tied->GetItemCount(), 1);
  EXPECT_EQ(BytesOf(tied->GetItem(0)->Data()), TBytes(TBlockBytes(26).U8(3, 0x10)));
  EXPECT_EQ(BytesOf(measure->GetItem(3)->Data()), sample::Note(64, 0x00));
  EXPECT_EQ(measure->Notes(), (std::vector<TKVNote*>{tied, static_cast<TKVNote*>(measure->GetItem(3))}));
  EXPECT_EQ(tied->BeamGroup, 1);
  EXPECT_EQ(text->Lines(), TKVWideList{u"dolce"});
  EXPECT_EQ(BytesOf(measure->GetItem(5)->Data()), sample::Rest(0, 0x10));
  EXPECT_EQ(cross->VoiceKey(), (TKVVoiceKey{0, uint16_t(crossing->Number()), 1, 1}));
  EXPECT_EQ(measure->Words(), (std::vector<uint16_t>{5, 6}));
  EXPECT_EQ(measure->StaffBytes(), (TBytes{1, 0}));
  EXPECT_EQ(part->GetMeasure(1)->GetItemCount(), 1);

  TKVColumn* column = piece->GetColumn(0);
  ASSERT_TRUE(column && column->GetItemCount() == 1);
  EXPECT_EQ(column->Data().u16(10), 1);
  auto* tempo = dynamic_cast<TKVMark*>(column->GetItem(0));
  ASSERT_TRUE(tempo);
  EXPECT_EQ(tempo->Value(), 120);
  EXPECT_EQ(tempo->Text1(), "TempoFont");

  ASSERT_EQ(score.GetItemCount(), 2);  // the lyric is dropped, the unknown kind passed over
  auto* title = dynamic_cast<TKVText*>(score.GetItem(0));
  auto* image = dynamic_cast<TKVImage*>(score.GetItem(1));
  ASSERT_TRUE(title && image);
  EXPECT_EQ(title->Lines(), TKVWideList{u"Title"});
  EXPECT_TRUE(image->Picture().Empty());
  EXPECT_EQ(image->Text(), "pic");  // after the 3 bytes of a picture of unknown type

  ASSERT_EQ(score.NamedRecords().Count(), 3);
  EXPECT_EQ(score.NamedRecords().Strings(1), "Kit2");  // the 14-byte record's extra bytes were passed over
  ASSERT_EQ(score.UserSymbols().Count(), 1);
  auto* symbol = static_cast<TKVUserSymbol*>(score.UserSymbols().Objects(0));
  ASSERT_EQ(symbol->GetItemCount(), 1);
  EXPECT_EQ(symbol->GetItem(0)->Data().u16(0), 5);

  const auto& entries = score.DrumEntries();
  auto entry = [&](size_t i) { return entries[i].get(); };
  const auto& notated = score.DrumMapByNotatedKey;
  // Staff position 58 is key 60; a later entry of the same key and set wins.
  EXPECT_EQ(notated[60], (std::vector<TKVDrumEntry*>{entry(1), entry(6)}));
  // Position 23 is key 0; a set index of 9 with 3 named records lands at 3.
  EXPECT_EQ(notated[0], (std::vector<TKVDrumEntry*>{nullptr, nullptr, nullptr, entry(2)}));
  EXPECT_EQ(notated[127], std::vector<TKVDrumEntry*>{entry(3)});  // position 100, limited
  size_t mapped = 0;
  for (const auto& sets : notated) mapped += sets.size();
  EXPECT_EQ(mapped, 7u);  // position 10 has no notated key; the disabled entry is left out
  EXPECT_EQ(score.DrumMapBySoundingKey[36], entry(0));
  EXPECT_EQ(score.DrumMapBySoundingKey[44], entry(5));
  EXPECT_EQ(score.DrumMapBySoundingKey[42], nullptr);
}

class ScoreFileLadder : public testing::TestWithParam<int> {};

// Every rung holds a value that differs from a new score's; bytes after the
// last rung of the version are never read.
TEST_P(ScoreFileLadder, EachRungIsReadFromItsVersionOn) {
  const int version = GetParam();
  TScoreFile file;
  file.Version = uint16_t(version);
  file.Settings = TScoreFile::DefaultSettings().U32(SettingsOffset::Scale, 150).U16(SettingsOffset::UserDataSize, 2);
  file.PageRecord = Written([](W& w) { w.Begin(1, TBlockBytes(4).U32(0, 0x123456)).End(); });
  file.Pieces = {Written([](W& w) { w.Begin(0).End(); })};
  file.ScoreItems = {Written([](W& w) { w.BeginItem(202, 0).End(); })};
  file.Texts = {"t5", "t6", "t7"};
  file.TextList = {"t8"};
  file.NamedRecords = {{{}, "n", ""}};
  file.DrumEntries = {{Drum(1, 0, 58), "d"}};
  file.UserSymbols = {{"s", Written([](W& w) { w.Begin(0).End(); })}};
  file.Zoom = 150, file.TempoScale = 80, file.Version14Word = 7;
  file.UserData = {1, 2};
  file.TextFonts = {{"X", 1}};
  file.Trailing = {0xFF, 0xFF, 0xFF};
  TKVScore score;
  TFakeScoreView view;
  score.AddWindow(&view);
  sample::Load(score, file.Bytes());
  const bool present[17] = {
      true, score.Scale() == 150, score.Page().Color() == 0x123456, score.GetPieceCount() == 1,
      score.GetItemCount() == 1, score.FileText(0) == "t5", score.FileText(1) == "t6", score.FileText(2) == "t7",
      score.FileTexts().Count() == 1, score.NamedRecords().Count() == 1, score.DrumEntries().size() == 1,
      score.UserSymbols().Count() == 1, view.Zoom() == 150, view.TempoScale() == 80,
      score.Settings().Version14Word() == 7, score.UserData() && score.UserDataSize() == 2,
      score.TextFonts().Name(0) == "X"};
  for (int rung = 1; rung <= 16; ++rung) EXPECT_EQ(present[rung], version >= rung) << "rung " << rung;
  EXPECT_EQ(score.UserDataSize(), version < 15 ? 0 : 2);
}

INSTANTIATE_TEST_SUITE_P(Versions, ScoreFileLadder, testing::Range(0, 17));

TEST(ScoreFile, SettingsBlockRepairs) {
  TScoreFile damaged;  // UserPages 1001, second metric word 100, a NaN system distance, zoom 1000
  damaged.Settings = TScoreFile::DefaultSettings().U32(SettingsOffset::UserPages, 1001).U16(SettingsOffset::MetricWords + 2, 100)
                         .U16(64, 5).U16(SettingsOffset::SystemDistance + 6, 0xC000).U16(SettingsOffset::SystemDistance + 8, 0x7FFF);
  damaged.Zoom = 1000;
  damaged.TempoScale = 0;
  TKVScore c;
  TFakeScoreView view;
  c.AddWindow(&view);
  c.Settings().SetSystemDistance(5);
  sample::Load(c, damaged.Bytes());
  EXPECT_EQ(view.Zoom(), 100);
  EXPECT_EQ(view.TempoScale(), 100);
  EXPECT_EQ(c.Settings().UserPages(), 0);
  EXPECT_EQ(c.Settings().MetricWord(1), 448);
  EXPECT_EQ(c.Settings().MetricWord(4), 64);
  EXPECT_EQ(c.Settings().ClefSpacing(), 0);
  EXPECT_EQ(c.Settings().FurtherWord(2), 0);
  EXPECT_EQ(c.Settings().StemExtra(), 5);
  EXPECT_EQ(c.Settings().SystemDistance(), 5);
}

TEST(ScoreFile, FormatFailuresRaiseTheirTextsAndCloseTheBracket) {
  const std::pair<void (*)(TScoreFile&), const char*> cases[] = {
      {[](TScoreFile& f) { f.FormatByte = 0; }, "This is not Ostinel file"},
      {[](TScoreFile& f) { f.FormatByte = 0xF5; }, "This is not Ostinel file"},  // no older-generation reader
      {[](TScoreFile& f) { f.Title = "ostinel data file"; }, "This is not Ostinel file"},
      {[](TScoreFile& f) { f.PieceCount = 10001; }, "Error reading pieces"}};
  for (const auto& [damage, message] : cases) {
    TScoreFile file = sample::File();
    damage(file);
    TKVScore score;
    EXPECT_EQ(RaisedBy([&] { sample::Load(score, file.Bytes()); }), message);
    EXPECT_EQ(score.UpdateCount(), 0);
  }
}

class ScoreFileLoading : public testing::Test {
protected:
  std::string Write(const std::string& name, const TBytes& bytes) {
    std::string path = testing::TempDir() + name;
    TMemoryStream(bytes).SaveToFile(path);
    return path;
  }
  void TearDown() override {
    RegisterScoreImporter(TKVImportFormat::MIDI, {});
    RegisterScoreImporter(TKVImportFormat::MusicXML, {});
    RegisterOldFormatLoader({});
  }
  TKVScore score;
};

TEST_F(ScoreFileLoading, TheLastExtensionInAnyCaseChoosesTheReader) {
  std::vector<std::string> imported;
  int afterLayoutBracket = -1;
  auto importer = [&](const char* format) {
    return [&, format](TKVScore& s, TStream&) { imported.push_back(std::string(format) + (s.Importing() ? "+" : "-")); };
  };
  RegisterScoreImporter(TKVImportFormat::MIDI, {importer("midi"), {}});
  RegisterScoreImporter(TKVImportFormat::MusicXML,
                        {importer("xml"), [&](TKVScore& s) { afterLayoutBracket = s.UpdateCount(); }});
  const TBytes own = sample::File().Bytes();
  for (const char* name : {"a.MID", "a.Kar", "a.rmi", "a.midi", "a.XML"}) score.LoadFromFile(Write(name, own));
  EXPECT_EQ(imported, (std::vector<std::string>{"midi+", "midi+", "midi+", "midi+", "xml+"}));
  EXPECT_EQ(afterLayoutBracket, 0);
  EXPECT_FALSE(score.Importing());
  score.LoadFromFile(Write("a.mid.bak", own));
  EXPECT_EQ(score.GetPieceCount(), 1);

  RegisterScoreImporter(TKVImportFormat::MIDI, {});  // without an importer: the own format's reader
  score.ClearPieces();
  score.LoadFromFile(Write("b.mid", own));
  EXPECT_EQ(score.GetPieceCount(), 1);
  score.LoadFromFile(testing::TempDir() + "missing.sfd");
  EXPECT_EQ(score.GetPieceCount(), 1);

  int olderFormat = 0;
  RegisterOldFormatLoader([&](TKVScore&, TStream&, uint8_t format) { olderFormat = format; });
  score.LoadFromFile(Write("old.sfd", {0xFA}));
  EXPECT_EQ(olderFormat, 0xFA);
  EXPECT_EQ(score.GetPieceCount(), 0);
}

TEST_F(ScoreFileLoading, NamedRecordsAreReplacedDrumEntriesAndSymbolsAdded) {
  TScoreFile file;
  file.NamedRecords = {{{1}, "n", ""}};
  file.DrumEntries = {{Drum(1, 0, 58), "d"}};
  file.UserSymbols = {{"s", Written([](W& w) { w.Begin(0).End(); })}};
  std::string path = Write("tables.sfd", file.Bytes());
  score.LoadFromFile(path);
  score.LoadFromFile(path);
  EXPECT_EQ(score.NamedRecords().Count(), 1);
  EXPECT_EQ(score.DrumEntries().size(), 2u);
  EXPECT_EQ(score.UserSymbols().Count(), 2);
  EXPECT_THROW(score.LoadFromFile(Write("bad.sfd", {0})), Exception);
  EXPECT_EQ(score.UpdateCount(), 0);
}

// Random byte flips and truncations of a full file: every load ends, with
// a clear error or without one, and nothing is touched out of bounds.
TEST(ScoreFileMutation, DamagedFilesLoadOrFailCleanly) {
  const TBytes original = FullFile().Bytes();
  std::mt19937 random(1234);
  int failures = 0;
  for (int run = 0; run < 3000; ++run) {
    TBytes bytes = original;
    std::uniform_int_distribution<size_t> at(0, bytes.size() - 1);
    int flips = 1 + int(random() % 8);
    for (int i = 0; i < flips; ++i) bytes[at(random)] = uint8_t(random());
    if (run % 4 == 0) bytes.resize(at(random));
    TKVScore score;
    try {
      sample::Load(score, bytes);
    } catch (const Exception&) {
      ++failures;
    }
    EXPECT_EQ(score.UpdateCount(), 0);
  }
  EXPECT_GT(failures, 0);
}

}  // namespace
