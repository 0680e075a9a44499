// The top level of the own score file (current generation): header, then the
// rungs that the file's version selects, each present when the version is at
// least its number.

#include <algorithm>
#include <cmath>
#include <memory>

#include "base/Exceptions.h"
#include "score/model/Item.h"
#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/Piece.h"
#include "score/model/RecordFrame.h"
#include "score/model/Score.h"
#include "score/model/ScoreImporters.h"
#include "score/model/ScoreView.h"
#include "score/model/StreamStrings.h"

namespace {

constexpr uint8_t FormatCurrent = 0xFB;
constexpr uint8_t FormatOlderA = 0xF5;
constexpr uint8_t FormatOlderB = 0xFA;
constexpr const char* FileTitle = "Ostinel data file";
constexpr const char* SNotOstinelFile = "This is not Ostinel file";
constexpr int32_t MaxUserPages = 1000;
constexpr int32_t ZoomLimit = 1000;       // a stored zoom at or above it is not applied
constexpr uint16_t MinSecondMetric = 160; // below it the metric words are restored

// Lays a stored settings block over the score's: a damaged system distance
// (not finite, or beyond any page length) keeps the value it had.
void ReadSettingsBlock(TStream& stream, TKVScoreSettings& settings) {
  TByteBlock& block = settings.Block();
  const TExtended80 distance = block.ext(ScoreBlock::SystemDistance);
  ReadOnto(stream, block, stream.ReadU16());
  long double value = 0;
  if (!TryExtendedToLongDouble(block.ext(ScoreBlock::SystemDistance), value) ||
      std::fabs(value) > TKVPage::MaxInternalLength)
    block.setExt(ScoreBlock::SystemDistance, distance);
  if (settings.UserPages() > MaxUserPages) settings.SetUserPages(0);
}

}  // namespace

void TKVScore::LoadFromStream(TStream& Stream) {
  BeginUpdate();
  bool current = false;
  auto finish = [&] {
    if (current) RepairAfterLoad();
    EndUpdate();
    BuildDrumMap();
  };
  try {
    ReadScoreFile(Stream, current);
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TKVScore::ReadScoreFile(TStream& Stream, bool& CurrentGeneration) {
  FSettings.SetFlags(FSettings.Flags() & ~3);
  FFormatRevision = 0;
  ClearPieces();
  ClearItems();

  uint8_t format = Stream.ReadU8();
  if (format != FormatCurrent) {
    bool older = format == FormatOlderA || format == FormatOlderB;
    if (!older || !OldFormatLoader()) throw Exception(SNotOstinelFile);
    OldFormatLoader()(*this, Stream, format);
    return;
  }
  std::string title;
  ReadStreamString(Stream, title);
  if (title != FileTitle) throw Exception(SNotOstinelFile);
  CurrentGeneration = true;
  FFormatRevision = Stream.ReadU16();
  const uint16_t version = Stream.ReadU16();

  if (version >= 1) {
    ReadSettingsBlock(Stream, FSettings);
    // The user data exists only when the file carries it (version 15).
    FUserData.reset();
  }
  TKVScoreView* view = GetActiveWindow();
  if (version >= 2) FPage->ReadData(Stream);
  if (version >= 3) {
    uint16_t count = Stream.ReadU16();
    if (count > MaxListCount) throw Exception("Error reading pieces");
    for (uint16_t i = 0; i < count; ++i) NewPiece()->ReadData(Stream);
  }
  if (version >= 4) {
    uint16_t count = Stream.ReadU16();
    if (count > MaxListCount) throw Exception("Error reading score items");
    for (uint16_t i = 0; i < count; ++i) {
      uint8_t kind = Stream.ReadU8();
      TKVItem* item = CreateItemByKind(kind, this);
      if (!item) {
        SkipRecord(Stream);
        continue;
      }
      // Score-level lyrics are read and dropped.
      std::unique_ptr<TKVItem> dropped(kind == ItemKind::Syllable ? item : nullptr);
      item->ReadData(Stream);
    }
  }
  for (int i = 0; i < 3; ++i)
    if (version >= 5 + i) ReadStreamString(Stream, FFileTexts[size_t(i)]);
  if (version >= 8) ReadStreamStrings(Stream, FFileTextList);
  if (version >= 9) ReadNamedRecords(Stream);
  if (version >= 10) ReadDrumEntries(Stream);
  if (version >= 11) ReadUserSymbols(Stream);
  if (version >= 12) {
    int32_t zoom = Stream.ReadI32();
    if (view && zoom < ZoomLimit) view->SetZoom(zoom);
  }
  if (version >= 13) {
    // A scale of 0 or less would stop (or reverse) the play time.
    int32_t tempoScale = Stream.ReadI32();
    if (view && tempoScale >= 1) view->SetTempoScale(tempoScale);
  }
  if (version >= 14) FSettings.SetVersion14Word(Stream.ReadU16());
  if (version >= 15) {
    std::vector<uint8_t> bytes = Stream.ReadBytes(UserDataSize());
    auto data = std::make_unique<TByteBlock>(bytes.size());
    data->Write(0, bytes.data(), bytes.size());
    FUserData = std::move(data);
  }
  if (version >= 16) {
    uint16_t count = Stream.ReadU16();
    for (uint16_t i = 0; i < count; ++i) {
      std::string name;
      ReadStreamString(Stream, name);
      FTextFonts.SetEntry(i, name, Stream.ReadI32());
    }
  }
}

// Also after a failed load: the user data's size word must describe the
// block the score holds, whatever part of the file was read.
void TKVScore::RepairAfterLoad() {
  FSettings.SetUserDataSize(FUserData ? uint16_t(FUserData->Size()) : 0);
  if (FSettings.MetricWord(1) < MinSecondMetric) {
    for (int i = 0; i < ScoreBlock::MetricWordCount; ++i) FSettings.SetMetricWord(i, ScoreBlock::DefaultMetricWords[i]);
    for (int i = 0; i < ScoreBlock::SpacingWordCount; ++i) FSettings.SetSpacingWord(i, 0);
    FSettings.SetFurtherWord(0, 0);
    FSettings.SetFurtherWord(2, 0);
  }
}
