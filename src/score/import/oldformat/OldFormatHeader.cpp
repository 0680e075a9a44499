// The header of an older-generation score file: the score-wide settings,
// the page block and the sections, each rung present when the header
// version is at least its number; then the piece's first column.

#include <algorithm>
#include <memory>

#include "score/import/oldformat/OldFormatReader.h"
#include "score/import/oldformat/OldScoreFile.h"
#include "score/model/Column.h"
#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Piece.h"
#include "score/model/RecordFrame.h"
#include "score/model/Score.h"
#include "score/model/ScoreView.h"
#include "score/model/StreamStrings.h"

namespace {

constexpr uint8_t FormatWithTitle = 0xF5;
constexpr uint16_t RevisionWithoutTitle = 0x0300;
constexpr int32_t MinTempo = 10, MaxTempo = 0xFFFF;  // the piece keeps 16 bits
constexpr int32_t MinTempoScale = 10;
constexpr uint16_t CommonTime = 0x0404;
constexpr size_t MeterVisibleByte = 26;  // of a kind-4 mark

}  // namespace

TKVOldFormatReader::TKVOldFormatReader(TKVScore& Score, TStream& Stream, uint8_t FormatByte)
    : FScore(Score), FStream(Stream), FFormatByte(FormatByte) {}

void TKVOldFormatReader::ViewValue(void (TKVScoreView::*Read)(TStream&)) {
  if (FView)
    (FView->*Read)(FStream);
  else
    SkipBytes(FStream, 4);
}

void TKVOldFormatReader::ReadHeader() {
  FRevision = RevisionWithoutTitle;
  if (FFormatByte == FormatWithTitle) {
    std::string title;  // any title is taken
    ReadStreamString(FStream, title);
    FRevision = FStream.ReadU16();
  }
  FScore.SetFormatRevision(FRevision);
  FScore.Settings().SetStemLength(24);
  FPiece = FScore.NewPiece();

  const uint16_t h = FHeaderVersion = FStream.ReadU16();
  FView = FScore.GetActiveWindow();
  if (h >= 1) ViewValue(&TKVScoreView::ReadActivePage);
  if (h >= 2) ViewValue(&TKVScoreView::ReadActivePart);
  if (h >= 3) ViewValue(&TKVScoreView::ReadActiveMeasure);
  if (h >= 4) ViewValue(&TKVScoreView::ReadCursorTick);
  if (FView) {
    FView->SetActivePart(0);
    FView->SetActivePage(0);
    FView->SetActiveMeasure(0);
    FView->SetCursorTick(0);
  }
  if (h >= 5) SkipBytes(FStream, 2);
  if (h >= 6) FPiece->SetTempo(uint16_t(std::clamp(FStream.ReadI32(), MinTempo, MaxTempo)));
  if (h >= 7) FScore.Page().StoreMetrixByte(uint8_t(FStream.ReadU16()));
  if (h >= 8) ViewValue(&TKVScoreView::ReadZoom);
  ReadMeter();
  if (h >= 10) ReadPageBlock();
  if (h >= 11) SkipBytes(FStream, 1);
  if (h >= 12) FPiece->Data().setU16(PieceBlock::Meter, FStream.ReadU16());
  if (h >= 13) {
    // Byte pairs for each eighth of the measure, of no use any more.
    const int64_t rows = FStream.ReadU16();
    SkipBytes(FStream, rows * (FMeasureLength / 8) * 2);
  }
  TKVScoreSettings& settings = FScore.Settings();
  // The five option bytes after AutoJoin come in the order 2, 1, 3, 5, 4.
  if (h >= 14) settings.SetOption(1, FStream.ReadU8());
  if (h >= 15) settings.SetOption(0, FStream.ReadU8());
  if (h >= 16) ReadStreamString(FStream, FScore.FileText(0));
  if (h >= 17) ReadStreamStrings(FStream, FScore.FileTexts());
  if (h >= 18) settings.SetOption(2, FStream.ReadU8());
  if (h >= 19) settings.SetOption(4, FStream.ReadU8());
  if (h >= 20) settings.SetScale(FStream.ReadI32());
  if (h >= 21) settings.SetOption(3, FStream.ReadU8());
  ReadJoinAndAlign();
}

// Rung 9. A meter that gives no measure length (a zero numerator or
// denominator), or none at all, counts as 4/4: its length must be the 512
// ticks the measures get.
void TKVOldFormatReader::ReadMeter() {
  FMeter = CommonTime;
  if (FHeaderVersion < 9) return;
  uint16_t meter = FStream.ReadU16();
  if (FHeaderVersion < 30 && meter == 0x0101) meter = CommonTime, FMeterSymbol = 1;
  if (FHeaderVersion < 30 && meter == 0x0102) meter = 0x0204, FMeterSymbol = 2;
  const int32_t numerator = meter >> 8, denominator = meter & 0xFF;
  if (numerator == 0 || denominator == 0) return;
  FMeter = meter;
  FMeasureLength = numerator * 512 / denominator;
}

// Rung 10: lengths as 80-bit values in tenths of a millimetre, each kept
// only when it is sound.
void TKVOldFormatReader::ReadPageBlock() {
  static constexpr TKVPageValue Lengths[] = {pvWidth,       pvHeight,       pvTopMargin,
                                             pvLeftMargin,  pvRightMargin,  pvBottomMargin};
  TKVPage& page = FScore.Page();
  auto length = [&](TKVPageValue index) {
    TExtended80 raw;
    FStream.ReadBuffer(raw.Bytes.data(), int64_t(raw.Bytes.size()));
    page.StoreLength(index, raw);
  };
  const uint16_t p = FStream.ReadU16();
  for (uint16_t i = 0; i < 6 && i < p; ++i) length(Lengths[i]);
  if (p >= 7) page.StoreOrientationByte(uint8_t(FStream.ReadU16()));
  if (p >= 8) page.StorePaperSizeByte(uint8_t(FStream.ReadU16()));
  if (p >= 9) {
    const uint16_t ruler = FStream.ReadU16();
    if (FView) FView->SetRuleVisible(ruler != 0);
  }
  if (p >= 10) page.StoreMetrixByte(uint8_t(FStream.ReadU16()));
  if (p >= 11) length(pvInterval);
}

// Rungs 22 to 33.
void TKVOldFormatReader::ReadJoinAndAlign() {
  const uint16_t h = FHeaderVersion;
  TKVScoreSettings& settings = FScore.Settings();
  if (h >= 22) {
    const uint8_t join = FStream.ReadU8();
    settings.SetAutoJoin(join == 0 ? 1 : join == 3 ? 0 : 2);
  }
  if (h >= 23) FSecondMarkValue = FStream.ReadI32();
  if (h >= 24) SkipBytes(FStream, 1);
  if (h >= 25) ReadOldNamedRecords();
  if (h >= 26) {
    static constexpr uint8_t Aligns[] = {10, 50, 101};
    const uint8_t code = FStream.ReadU8();
    if (code < 3) settings.SetAlign(Aligns[code]);
  }
  if (h >= 27 && FStream.ReadU8() == 0 && settings.Align() == 10) settings.SetAlign(12);
  if (h >= 28) {
    const int32_t c = FStream.ReadI32();
    if (settings.Align() == 101) settings.SetAlign(uint8_t(c + 100));
  }
  if (h >= 29) FScore.ReadDrumEntries(FStream);
  if (h >= 30) FMeterSymbol = FStream.ReadU8();
  if (h >= 31) ReadStreamString(FStream, FScore.FileText(2));
  if (h >= 32) {
    const int32_t scale = FStream.ReadI32();
    if (FView) FView->SetTempoScale(std::max(scale, MinTempoScale));
  }
  if (h >= 33) {
    const int32_t d = FStream.ReadI32();
    if (d > 2) settings.SetAutoJoin(uint8_t(d + 1));
  }
}

// Rung 25: each record a length byte and its bytes, a name, then its
// sub-records, of which those that start with "=" name the record's symbol.
void TKVOldFormatReader::ReadOldNamedRecords() {
  const uint16_t count = FStream.ReadU16();
  for (uint16_t i = 0; i < count; ++i) {
    std::vector<uint8_t> bytes = FStream.ReadBytes(FStream.ReadU8());
    bytes.resize(std::max<size_t>(bytes.size(), 9), 0);
    std::string name;
    ReadStreamString(FStream, name);
    auto record = std::make_unique<TKVNamedRecord>();
    TByteBlock& data = record->Data;
    data.setU8(0, bytes[0]);
    data.setU8(1, bytes[1]);
    data.setU8(2, bytes[4]);
    data.setU8(3, bytes[5]);
    data.setU8(4, bytes[8]);
    data.setU8(8, 100);
    record->Text = FScore.MusicFontName();
    const uint16_t subRecords = FStream.ReadU16();
    for (uint16_t s = 0; s < subRecords; ++s) {
      const std::vector<uint8_t> sub = FStream.ReadBytes(FStream.ReadU8());
      if (sub.empty() || sub[0] != '=') continue;
      std::string symbol;
      ReadStreamString(FStream, symbol);
      const uint16_t more = FStream.ReadU16();
      for (uint16_t k = 0; k < more; ++k) ReadStreamString(FStream, symbol);
      data.setU16(6, symbol.empty() ? 0 : uint8_t(symbol[0]));
    }
    FScore.NamedRecords().AddObject(name, record.release());
  }
}

// The meter and the second mark stand in the piece's first column.
void TKVOldFormatReader::PutFirstColumn() {
  TKVColumn* column = FPiece->NewColumn();
  auto* meter = static_cast<TKVMark*>(CreateItemByKind(ItemKind::Meter, column));
  meter->SetValue(FMeter);
  meter->SetFlags(FMeterSymbol);
  meter->Data().setU8(MeterVisibleByte, 1);
  auto* second = static_cast<TKVMark*>(CreateItemByKind(ItemKind::MeasureNumber, column));
  second->SetValue(uint16_t(FSecondMarkValue + 1));
}
