#pragma once
// The score's 92-byte settings block: the score-wide settings a score file
// copies byte for byte, kept as raw little-endian bytes so that unnamed bytes
// survive copying and a shorter or longer stored block lays over it. The
// accessors read and write fields without any notification; the score's
// property writers add the layout and repaint.

#include <cstddef>
#include <cstdint>

#include "base/ByteBlock.h"

enum TKVViewStyle : uint8_t { vsComposition, vsPart };

namespace ScoreBlock {
constexpr size_t Size = 92;
constexpr size_t Scale = 0;            // i32
constexpr size_t Optimization = 4;     // u8 (0 or 1)
constexpr size_t NoteInterval = 16;    // i32
constexpr size_t StemLength = 20;      // i32
constexpr size_t ViewStyle = 24;       // u8
constexpr size_t Align = 25;           // u8
constexpr size_t AutoJoin = 26;        // u8
constexpr size_t Options = 27;         // 5 x u8
constexpr size_t UserPages = 32;       // i32
constexpr size_t Version14Word = 38;   // u16
constexpr size_t MetricWords = 40;     // 5 x u16
constexpr size_t UserDataSize = 50;    // u16
constexpr size_t SpacingWords = 56;    // 3 x u16: a first word, ClefSpacing, KeySpacing
constexpr size_t FurtherWords = 62;    // u16, StemExtra (i16), u16
constexpr size_t Flags = 68;           // u8
constexpr size_t SystemDistance = 72;  // 80-bit extended float
constexpr size_t LayoutWords = 82;     // 4 x u16
constexpr int OptionCount = 5, MetricWordCount = 5, SpacingWordCount = 3, FurtherWordCount = 3, LayoutWordCount = 4;
constexpr uint16_t DefaultMetricWords[MetricWordCount] = {192, 448, 128, 256, 64};
}  // namespace ScoreBlock

class TKVScoreSettings {
public:
  TKVScoreSettings() { SetDefaults(); }
  // The values of a new score; bytes without a field become 0.
  void SetDefaults();

  TByteBlock& Block() { return FBlock; }
  const TByteBlock& Block() const { return FBlock; }

  int32_t Scale() const { return FBlock.i32(ScoreBlock::Scale); }
  bool Optimization() const { return FBlock.u8(ScoreBlock::Optimization) != 0; }
  int32_t NoteInterval() const { return FBlock.i32(ScoreBlock::NoteInterval); }
  int32_t StemLength() const { return FBlock.i32(ScoreBlock::StemLength); }
  // Any stored value other than 1 reads as vsComposition.
  TKVViewStyle ViewStyle() const { return FBlock.u8(ScoreBlock::ViewStyle) == vsPart ? vsPart : vsComposition; }
  uint8_t Align() const { return FBlock.u8(ScoreBlock::Align); }
  uint8_t AutoJoin() const { return FBlock.u8(ScoreBlock::AutoJoin); }
  uint8_t Option(int Index) const { return FBlock.u8(at(ScoreBlock::Options, 1, Index, ScoreBlock::OptionCount)); }
  int32_t UserPages() const { return FBlock.i32(ScoreBlock::UserPages); }
  uint16_t Version14Word() const { return FBlock.u16(ScoreBlock::Version14Word); }
  uint16_t MetricWord(int Index) const {
    return FBlock.u16(at(ScoreBlock::MetricWords, 2, Index, ScoreBlock::MetricWordCount));
  }
  uint16_t UserDataSize() const { return FBlock.u16(ScoreBlock::UserDataSize); }
  uint16_t SpacingWord(int Index) const {
    return FBlock.u16(at(ScoreBlock::SpacingWords, 2, Index, ScoreBlock::SpacingWordCount));
  }
  uint16_t ClefSpacing() const { return SpacingWord(1); }
  uint16_t KeySpacing() const { return SpacingWord(2); }
  uint16_t FurtherWord(int Index) const {
    return FBlock.u16(at(ScoreBlock::FurtherWords, 2, Index, ScoreBlock::FurtherWordCount));
  }
  int16_t StemExtra() const { return int16_t(FurtherWord(1)); }
  uint8_t Flags() const { return FBlock.u8(ScoreBlock::Flags); }
  // In tenths of a millimetre; a stored value that is not finite reads as 0.
  long double SystemDistance() const;
  uint16_t LayoutWord(int Index) const {
    return FBlock.u16(at(ScoreBlock::LayoutWords, 2, Index, ScoreBlock::LayoutWordCount));
  }

  void SetScale(int32_t V) { FBlock.setI32(ScoreBlock::Scale, V); }
  void SetOptimization(bool V) { FBlock.setU8(ScoreBlock::Optimization, V); }
  void SetNoteInterval(int32_t V) { FBlock.setI32(ScoreBlock::NoteInterval, V); }
  void SetStemLength(int32_t V) { FBlock.setI32(ScoreBlock::StemLength, V); }
  void SetViewStyle(TKVViewStyle V) { FBlock.setU8(ScoreBlock::ViewStyle, V); }
  void SetAlign(uint8_t V) { FBlock.setU8(ScoreBlock::Align, V); }
  void SetAutoJoin(uint8_t V) { FBlock.setU8(ScoreBlock::AutoJoin, V); }
  void SetOption(int Index, uint8_t V) { FBlock.setU8(at(ScoreBlock::Options, 1, Index, ScoreBlock::OptionCount), V); }
  void SetUserPages(int32_t V) { FBlock.setI32(ScoreBlock::UserPages, V); }
  void SetVersion14Word(uint16_t V) { FBlock.setU16(ScoreBlock::Version14Word, V); }
  void SetMetricWord(int Index, uint16_t V) {
    FBlock.setU16(at(ScoreBlock::MetricWords, 2, Index, ScoreBlock::MetricWordCount), V);
  }
  void SetUserDataSize(uint16_t V) { FBlock.setU16(ScoreBlock::UserDataSize, V); }
  void SetSpacingWord(int Index, uint16_t V) {
    FBlock.setU16(at(ScoreBlock::SpacingWords, 2, Index, ScoreBlock::SpacingWordCount), V);
  }
  void SetFurtherWord(int Index, uint16_t V) {
    FBlock.setU16(at(ScoreBlock::FurtherWords, 2, Index, ScoreBlock::FurtherWordCount), V);
  }
  void SetFlags(uint8_t V) { FBlock.setU8(ScoreBlock::Flags, V); }
  void SetSystemDistance(long double V);
  void SetLayoutWord(int Index, uint16_t V) {
    FBlock.setU16(at(ScoreBlock::LayoutWords, 2, Index, ScoreBlock::LayoutWordCount), V);
  }

  // Copies Count bytes at Offset from Source's block.
  void CopyRange(const TKVScoreSettings& Source, size_t Offset, size_t Count);

private:
  // Offset of element Index of a group; an index outside the group is a
  // programming fault (ERangeError).
  static size_t at(size_t base, size_t width, int index, int count);

  TByteBlock FBlock{ScoreBlock::Size};
};
