#pragma once
// A sample piece for the score-file tests, written from the format's
// description: one part "Flute" (channel 3) with two staves, voice A on
// staff 0 also written on staff 1 (a cross-staff voice) and voice B on staff
// 1; measure 0 holds what MeasureItems writes, measure 1 a single rest; the
// first column holds a tempo mark (of 120 unless given).

#include <functional>
#include <memory>

#include "base/Streams.h"
#include "score/model/Score.h"
#include "support/ScoreFileBuilder.h"

namespace sample {

using TItemsWriter = std::function<void(TScoreFileWriter&)>;

// Note block: pitch 0, position 2, value 4, duration 6, velocity 12,
// staff/voice 13, flags 16, join 17.
inline TBytes Note(uint16_t position, uint8_t staffVoice, uint8_t join = 0) {
  return TBlockBytes(36).U8(0, 0x54).U16(2, position).U16(4, 64).U16(6, 64).U8(12, 80).U8(13, staffVoice).U8(17, join);
}
// Rest block: position 0, value 2, duration 4, staff/voice 6.
inline TBytes Rest(uint16_t position, uint8_t staffVoice) {
  return TBlockBytes(20).U16(0, position).U16(2, 128).U16(4, 128).U8(6, staffVoice);
}

// Clef, key signature, two beamed eighths (the first with a tie and a text),
// a lyric text, a rest on staff 1 and a note of voice A on staff 1.
inline void DefaultItems(TScoreFileWriter& w) {
  w.U16(7);
  // Marks: group 4 is the dynamics setting (length 0: none); a clef's text 1
  // is group 6, a key signature's table group 5.
  w.BeginItem(2, 7, TBlockBytes(28).U8(0, 1)).U16(0).Str("Treble").End();
  TBlockBytes keyTable(14);
  keyTable.U16(0, 0x0305);
  w.BeginItem(3, 6, TBlockBytes(28).U8(0, 20)).U16(0).Raw(keyTable).End();
  w.BeginItem(20, 3, Note(0, 0x00, 1)).U16(1).BeginItem(30, 1, TBlockBytes(26).U8(3, 0x10)).End().Str("n1").End();
  w.BeginItem(20, 1, Note(64, 0x00)).End();
  w.BeginItem(34, 3, TBlockBytes(24).U16(0, 128)).WideList({u"dolce"}).Str("Arial").End();
  w.BeginItem(21, 1, Rest(0, 0x10)).End();
  w.BeginItem(20, 1, Note(128, 0x11)).End();
}

// Tempo: the tempo mark's; SecondColumn: the items of measure 1's column
// (none when not given).
inline TBytes Piece(const TItemsWriter& measureItems = DefaultItems, uint16_t tempo = 120,
                    const TItemsWriter& secondColumn = nullptr) {
  TScoreFileWriter w;
  w.Begin(10, TBlockBytes(20).U16(4, 90)).Str("Sonata");
  w.U16(1).Begin(13, TBlockBytes(28).U8(1, 3)).Str("Flute");
  w.U16(2);
  w.Begin(3, TBlockBytes(12).U8(1, 5)).U16(1).Begin(1, TBlockBytes(16).U8(0, 255).U16(8, 2).U16(10, 1)).End();
  w.Raw({40, 45, 50, 55, 59}).End();
  w.Begin(2, TBlockBytes(12).U8(1, 5).U8(6, 100)).U16(1).Begin(1, TBlockBytes(16).U8(0, 255)).End().End();
  w.U16(2).Begin(4, TBlockBytes(24));
  measureItems(w);
  w.Words({5, 6}).ByteArray({1, 0}).End();
  w.Begin(2, TBlockBytes(24)).U16(1).BeginItem(21, 1, Rest(0, 0x00)).End().End();
  w.U16(0);                                        // part items
  for (int i = 0; i < 5; ++i) w.Words({});         // word lists
  w.U16(1).U16(0).U16(uint16_t(-2)).Str("VST").ByteArray({9}).End();
  w.U16(secondColumn ? 2 : 1).Begin(3, TBlockBytes(36).U16(10, 1)).U16(1);
  w.BeginItem(6, 7, TBlockBytes(28).U16(4, tempo)).U16(0).Str("TempoFont").End();
  w.Words({3}).End();
  if (secondColumn) {
    w.Begin(3, TBlockBytes(36));
    secondColumn(w);
    w.Words({}).End();
  }
  w.Words({7, 8});
  for (int i = 0; i < 4; ++i) w.Words({});
  w.ByteArray({1}).End();
  return w.Bytes();
}

// A version-16 file holding Piece() and nothing else of note.
inline TScoreFile File(const TItemsWriter& measureItems = DefaultItems, uint16_t tempo = 120,
                       const TItemsWriter& secondColumn = nullptr) {
  TScoreFile file;
  file.Pieces = {Piece(measureItems, tempo, secondColumn)};
  return file;
}

inline TBytes Drum(uint8_t sounding, uint8_t set, uint8_t staffPosition, uint8_t enabled = 1) {
  return {sounding, set, staffPosition, 0, enabled};
}

// A version-16 file with every section filled: score items of several
// kinds (one without a class), named records, drum entries and a user symbol.
inline TScoreFile FullFile() {
  TScoreFile file = sample::File();
  file.Settings = TScoreFile::DefaultSettings().U32(SettingsOffset::Scale, 150);
  file.PageRecord = Written([](TScoreFileWriter& w) { w.Begin(1, TBlockBytes(132).U32(0, 0xDDEEFF)).End(); });
  file.ScoreItems = {
      Written([](TScoreFileWriter& w) { w.BeginItem(200, 4, TBlockBytes(28).U16(0, 10)).WideList({u"Title"}).Str("Arial").Str("t2").End(); }),
      Written([](TScoreFileWriter& w) { w.BeginItem(33, 3, TBlockBytes(24)).WideList({u"la"}).Str("").End(); }),  // dropped
      Written([](TScoreFileWriter& w) { w.BeginItem(5, 1, TBytes(4, 9)).End(); }),  // a kind without a class
      Written([](TScoreFileWriter& w) { w.BeginItem(201, 3, TBlockBytes(16)).U16(1).U16(261).U32(3).Raw({1, 2, 3}).Str("pic").End(); })};
  file.NamedRecords = {{TBytes(14, 7), "Kit1", "first"}, {{1}, "Kit2", ""}, {{}, "Kit3", ""}};
  file.DrumEntries = {{Drum(36, 0, 58), "Kick"}, {Drum(35, 0, 58), "Kick2"},   {Drum(38, 9, 23), "Snare"},
                      {Drum(40, 0, 100), "Crash"}, {Drum(42, 0, 58, 0), "Off"}, {Drum(44, 0, 10), "Low"},
                      {Drum(200, 1, 58), "Loud"}};
  file.UserSymbols = {{"Sym", Written([](TScoreFileWriter& w) {
                         w.Begin(2, TBytes(8, 1)).U16(1).BeginItem(202, 1, TBlockBytes(20).U16(0, 5)).End().End();
                       })}};
  return file;
}

inline void Load(TKVScore& score, const TBytes& bytes) {
  TMemoryStream stream(bytes);
  score.LoadFromStream(stream);
}

}  // namespace sample
