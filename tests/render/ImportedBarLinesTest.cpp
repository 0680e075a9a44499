// Bar lines of a MusicXML document written here, as imported and drawn: each
// barline's own bar style (a final light-heavy bar as a thin and a thick
// stroke), endings as voltas without a bar of their own, and the colours
// of staff lines, measure lines and bars on screen and in an export.

#include <gtest/gtest.h>

#include <algorithm>

#include "render/ImportedScore.h"
#include "score/model/Column.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Piece.h"

namespace {

std::string WholeNote() {
  return "<note><pitch><step>G</step><octave>4</octave></pitch><duration>4</duration><voice>1</voice>"
         "<type>whole</type></note>";
}
std::string Barline(const std::string& Location, const std::string& Content) {
  return "<barline location=\"" + Location + "\">" + Content + "</barline>";
}
std::string Ending(const std::string& Number, const std::string& Type) {
  return "<ending number=\"" + Number + "\" type=\"" + Type + "\"/>";
}

// Five 4/4 measures of a whole note: a light-light bar; a first ending that
// closes with a light-heavy repeat; a second ending that runs on; a barline
// with a fermata only; a third ending closed by the final light-heavy bar.
std::string EndingsDocument() {
  return PartwiseDocument({
      "<measure number=\"1\"><attributes><divisions>1</divisions><time><beats>4</beats><beat-type>4</beat-type></time>"
      "<clef><sign>G</sign><line>2</line></clef></attributes>" +
      WholeNote() + Barline("right", "<bar-style>light-light</bar-style>") + "</measure>" +
      "<measure number=\"2\">" + Barline("left", Ending("1", "start")) + WholeNote() +
      Barline("right", "<bar-style>light-heavy</bar-style>" + Ending("1", "stop") + "<repeat direction=\"backward\"/>") +
      "</measure>" + "<measure number=\"3\">" + Barline("left", Ending("2", "start")) + WholeNote() +
      Barline("right", Ending("2", "discontinue")) + "</measure>" + "<measure number=\"4\">" + WholeNote() +
      Barline("right", "<fermata/>") + "</measure>" + "<measure number=\"5\">" + Barline("left", Ending("3", "start")) +
      WholeNote() + Barline("right", "<bar-style>light-heavy</bar-style>" + Ending("3", "stop")) + "</measure>",
  });
}

bool IsBarKind(uint8_t Kind) { return Kind >= ItemKind::RepeatStart && Kind <= ItemKind::HeavyLightBar; }

// Kinds 155 .. 159 and voltas (171) of each column, with their ticks.
TEST(ImportedBarLines, EachBarlineKeepsItsStyleAndEndingsMakeNoBar) {
  TImportedScore imported(EndingsDocument());
  const TKVPiece& piece = *imported.Score->GetPiece(0);
  ASSERT_EQ(piece.GetColumnCount(), 5);
  using TMarks = std::vector<std::pair<int, int>>;  // kind, tick
  const std::vector<TMarks> expected = {
      {{ItemKind::DoubleBar, 512}},
      {{ItemKind::RepeatEnd, 512}, {ItemKind::Volta, 0}},
      {{ItemKind::Volta, 0}},
      {},
      {{ItemKind::FinalBar, 512}, {ItemKind::Volta, 0}}};
  for (int32_t c = 0; c < 5; ++c) {
    TMarks marks;
    for (const TKVItem* item : piece.GetColumn(c)->Items())
      if (IsBarKind(item->Kind()) || item->Kind() == ItemKind::Volta)
        marks.emplace_back(item->Kind(), static_cast<const TKVMark*>(item)->Position());
    EXPECT_EQ(marks, expected[size_t(c)]) << "column " << c;
  }
}

struct TBarStrokes {
  std::vector<canvas::TRect> Fills;  // in drawing order
  canvas::TColor Colour = 0;
  int32_t RecordLeft = 0, RecordRight = 0;  // pixels
};

// The strokes of the first drawn record of bar kind Kind.
TBarStrokes StrokesOf(TImportedScore& Imported, uint8_t Kind) {
  for (int32_t p = 0; p < Imported.PageCount(); ++p) {
    std::unique_ptr<TTaggingCanvas> canvas = Imported.Draw(p);
    const TKVDisplayItem* first = nullptr;
    TBarStrokes strokes;
    for (size_t i = 0; i < canvas->Calls.size(); ++i) {
      const TKVDisplayItem* record = canvas->Tags[i];
      if (!record || !record->Item || record->Item->Kind() != Kind || (first && record != first)) continue;
      first = record;
      const canvas::TCanvasCall& call = canvas->Calls[i];
      if (call.Name != "FillRect") continue;
      strokes.Fills.push_back({int(call.Args[0]), int(call.Args[1]), int(call.Args[2]), int(call.Args[3])});
      strokes.Colour = call.Brush.Color;
      strokes.RecordLeft = record->Bounds.Left / 8, strokes.RecordRight = record->Bounds.Width / 8;
    }
    if (first) return strokes;
  }
  return {};
}

// At 100 % one unit is one pixel: a final bar is a 1-pixel stroke, a
// 2-pixel gap and a 2-pixel stroke ending at the record's right edge; a
// double bar two 1-pixel strokes 2 pixels apart from its left edge; both
// from the same top to the same bottom, in the mark's own colour.
TEST(ImportedBarLines, FinalAndDoubleBarStrokes) {
  TImportedScore imported(EndingsDocument());
  const TBarStrokes final = StrokesOf(imported, ItemKind::FinalBar);
  ASSERT_EQ(final.Fills.size(), 2u);
  const int32_t r = final.RecordRight;
  EXPECT_EQ(std::pair(final.Fills[0].Left, final.Fills[0].Right), std::pair(r - 5, r - 4));
  EXPECT_EQ(std::pair(final.Fills[1].Left, final.Fills[1].Right), std::pair(r - 2, r));
  EXPECT_EQ(std::pair(final.Fills[0].Top, final.Fills[0].Bottom), std::pair(final.Fills[1].Top, final.Fills[1].Bottom));
  EXPECT_GT(final.Fills[0].Bottom - final.Fills[0].Top, 20);  // the staff's height, at least
  EXPECT_EQ(final.Colour, canvas::clBlack);

  const TBarStrokes twice = StrokesOf(imported, ItemKind::DoubleBar);
  ASSERT_EQ(twice.Fills.size(), 2u);
  const int32_t l = twice.RecordLeft;
  EXPECT_EQ(std::pair(twice.Fills[0].Left, twice.Fills[0].Right), std::pair(l, l + 1));
  EXPECT_EQ(std::pair(twice.Fills[1].Left, twice.Fills[1].Right), std::pair(l + 3, l + 4));
}

// On screen the staff lines and measure lines of laid-out measures are the
// darker grey (the composer marks every placed measure), in an export
// black; the special bars keep their own colour in both.
TEST(ImportedBarLines, LineColoursOnScreenAndInAnExport) {
  TImportedScore imported(EndingsDocument());
  for (auto [style, lines] : {std::pair{wsNormal, canvas::TColor(0x808080)}, {wsExport, canvas::clBlack}}) {
    imported.View.SetStyle(style);
    size_t staffLines = 0, measureLines = 0, bars = 0;
    for (int32_t p = 0; p < imported.PageCount(); ++p) {
      std::unique_ptr<TTaggingCanvas> canvas = imported.Draw(p);
      for (size_t i = 0; i < canvas->Calls.size(); ++i) {
        const canvas::TCanvasCall& call = canvas->Calls[i];
        const TKVDisplayItem* record = canvas->Tags[i];
        if (call.Name == "SmoothPath" && call.Path.size() == 2 && call.SmoothPen) {
          const bool horizontal = call.Path[0].P[0].Y == call.Path[1].P[0].Y;
          const bool vertical = call.Path[0].P[0].X == call.Path[1].P[0].X;
          if ((horizontal && !record) || (vertical && record && record->RecordType == DisplayRecordType::Connector)) {
            (horizontal ? staffLines : measureLines) += 1;
            EXPECT_EQ(call.SmoothPen->Color, canvas::ArgbOf(lines)) << int(style);
          }
        } else if (call.Name == "LineTo" && !record) {
          ++measureLines;
          EXPECT_EQ(call.Pen.Color, lines) << int(style);
        } else if (call.Name == "FillRect" && record && record->Item && IsBarKind(record->Item->Kind())) {
          ++bars;
          EXPECT_EQ(call.Brush.Color, canvas::clBlack) << int(style);
        }
      }
    }
    EXPECT_GE(staffLines, 25u) << "five lines in each of five measures";
    EXPECT_GE(measureLines, 2u) << "the bar lines between the plain measures";
    EXPECT_GE(bars, 6u) << "a double bar, a repeat's two strokes, a final bar";
  }
}

}  // namespace
