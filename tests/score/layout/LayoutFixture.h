#pragma once
// A score laid out by the real layout service with deterministic fake fonts,
// and builders for the pieces, items and formatting contexts the layout
// tests need.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "score/layout/measure/FormatContext.h"
#include "score/layout/ScoreLayout.h"
#include "score/model/Column.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"

class TKVMark;
class TKVLyric;
class TKVNote;
class TKVPause;

class LayoutTest : public ::testing::Test {
protected:
  LayoutTest();
  ~LayoutTest() override;

  // A piece with Parts parts of Staves staves (one voice each), Columns
  // columns and as many measures per part; meter word Meter for the piece.
  TKVPiece* MakePiece(int Parts, int Columns, uint16_t Meter = 0x0404, int Staves = 1);
  TKVMeasure* Measure(int Part, int Column);
  TKVColumn* Column(int Index);
  // A mark of Kind made by the item factory.
  TKVMark* AddMark(TObject* Owner, uint8_t Kind, uint16_t Position, uint16_t Value = 0, uint8_t Variant = 0);
  // A note or rest of Value ticks (its duration too) made by the factory.
  TKVNote* AddNote(TObject* Owner, uint16_t Position, uint8_t Pitch, uint16_t Value = 128, uint8_t StaffVoice = 0);
  TKVPause* AddRest(TObject* Owner, uint16_t Position, uint16_t Value, uint8_t StaffVoice = 0);
  TKVLyric* AddLyric(TObject* Owner, uint8_t Kind, uint16_t Position, std::initializer_list<std::u16string> Lines);

  // For tests of the measure formatter that read its raw tables or build
  // page records by hand: the page composer is replaced by a step that only
  // clears the first dirty page, and the pages composed so far are dropped.
  void WithoutPages();
  // Appends a used page record that starts at measure FirstMeasure.
  void AddPage(uint16_t FirstMeasure);
  // Lays the whole score out again.
  void Layout() { score->Reformat(0); }
  TKVMeasureRecord& Record(int Index);
  TKVScoreLayout& Service() { return static_cast<TKVScoreLayout&>(score->Layout()); }
  std::string Dump();

  // A context on column Index after the measure set-up, with part Part and
  // its first staff current.
  std::unique_ptr<TKVFormatContext> Context(int Index, int Part = 0);

  // Width of Text on the fake measurer at Size points.
  static int FakeWidth(const std::string& Text, int Size);

  std::unique_ptr<TKVScore> score;
  TKVPiece* piece = nullptr;
};
