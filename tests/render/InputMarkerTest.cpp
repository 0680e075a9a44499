// The note-input marker on the staff of the overlay page: the dash with its
// ledger lines and the pitch line under the mouse, its letter hint and its
// sound, the square on tablature, and the connectors of the other modes.

#include <gtest/gtest.h>

#include "render/OverlayBuilder.h"
#include "score/model/ElementBlocks.h"

namespace {

using Lines = std::vector<std::vector<double>>;

// The staff's lines at y 100 to 140, the first ledger line below at 150,
// the column at x 100; the mouse at y MouseY.
struct MarkerCase {
  uint8_t Clef;
  int16_t Transpose;
  int32_t MouseY;
  int16_t Line;
  const char* Letter;
  int Pitch;    // -1: none is sounded
  Lines Dashes; // empty: not checked
};

class NoteMarker : public OverlayPage, public ::testing::WithParamInterface<MarkerCase> {};

TEST_P(NoteMarker, DashLedgersHintAndSound) {
  const MarkerCase& c = GetParam();
  SetClef(c.Clef);
  b.Part->Transpositions().push_back({0, c.Transpose});
  TKVNote& note = n.NewNote(4, 64);
  note.Channel = 3, note.Instrument = 41, note.SetVelocity(90);
  TKVWindow& v = view();
  v.FocusedRecord = &n.Head(note, 1600);
  v.Dragging = true, v.InputHintOn = 1, v.LastInputLine = 999, v.InputMarkerMode = 1;
  std::vector<int> pitches;
  v.OnPlayNote = [&](TObject*, uint8_t Channel, uint8_t Timbre, uint8_t Pitch, uint16_t Duration, uint8_t Velocity,
                     int32_t) {
    pitches.push_back(Pitch);
    EXPECT_EQ(std::vector<int>({Channel, Timbre, Duration, Velocity}), std::vector<int>({3, 41, 16, 90}));
  };
  v.DragRect = {0, 0, 300, c.MouseY};
  Draw();
  EXPECT_EQ(v.HitLine, c.Line);
  EXPECT_EQ(v.Hint(), c.Letter);
  EXPECT_NE(forms::Application->HintWindow(), nullptr);
  EXPECT_EQ(pitches, c.Pitch < 0 ? std::vector<int>{} : std::vector<int>{c.Pitch});
  if (!c.Dashes.empty()) {
    EXPECT_EQ(Args("LineTo"), c.Dashes);
  }
  // A pixel further within the same line: no new hint, no new sound.
  forms::Application->CancelHint();
  v.DragRect.Bottom += 1;
  Draw();
  EXPECT_EQ(forms::Application->HintWindow(), nullptr);
  EXPECT_EQ(pitches.size(), c.Pitch < 0 ? 0u : 1u);
}

// Treble and bass clef on the first ledger line below; three spaces above
// the staff; far below with an octave's transposition, whose line -36 is
// the B an octave under the C below middle C (floor division); and further
// below, out of MIDI's range.
INSTANTIATE_TEST_SUITE_P(
    Lines, NoteMarker,
    ::testing::Values(MarkerCase{0, 0, 150, 0, "C", 60, {{94, 150, 106, 150}}},
                      MarkerCase{2, 0, 150, -12, "E", 40, {{94, 150, 106, 150}}},
                      MarkerCase{0, 0, 75, 15, "D", 86, {{96, 90, 104, 90}, {96, 80, 104, 80}, {94, 75, 106, 75}}},
                      MarkerCase{0, 24, 330, -36, "B", 23, {}}, MarkerCase{0, 0, 500, -70, "C", -1, {}}));

using TablatureMarker = OverlayPage;

// The single string of 13-pixel tablature spacing lies two spaces below
// the staff's top.
TEST_F(TablatureMarker, OneStringTakesEveryHeight) {
  n.StaffOf->Data().setU8(StaffBlock::Tablature, 1);
  n.StaffOf->Data().setU8(StaffBlock::LineCount, 1);
  view().InputMarkerMode = 1;
  for (int32_t y : {0, 126, 400}) {
    view().DragRect = {0, 0, 300, y};
    Draw();
    EXPECT_EQ(Args("Rectangle"), Lines({{94, 120, 106, 132}})) << y;
    EXPECT_EQ(view().HitLine, 0);
  }
}

// The mouse at (300, MouseY); the staff (the system, the part) from y 100
// to 140, the column at x 100, the measure to x 400, a note at x 200..207.
struct TargetCase {
  uint8_t Mode;
  int32_t MouseY;
  int32_t TargetMeasure;
  bool SecondSystem;
  std::vector<double> Line;  // mouse to target; empty: nothing drawn
};

class TargetMarker : public OverlayPage, public ::testing::WithParamInterface<TargetCase> {};

TEST_P(TargetMarker, PointsFromTheMouseToTheTarget) {
  const TargetCase& c = GetParam();
  n.Head(n.NewNote(4, 64), 1600);
  if (c.SecondSystem) NextSystem(2000);
  TKVWindow& v = view();
  v.InputMarkerMode = c.Mode, v.TargetMeasure = c.TargetMeasure, v.LastInputLine = 999;
  v.DragRect = {0, 0, 300, c.MouseY};
  Draw();
  EXPECT_EQ(Args("LineTo"), c.Line.empty() ? Lines{} : Lines{c.Line});
  EXPECT_EQ(Args("Polygon").size(), c.Line.empty() ? 0u : 1u);
  EXPECT_EQ(v.LastInputLine, c.Line.empty() ? 999 : v.HitLine) << "a target drawn gives the line";
}

// Mode 13 targets the gap below the page's first system (its staff's left
// plus 56 units); the only system of a page has none.
INSTANTIATE_TEST_SUITE_P(Modes, TargetMarker,
                         ::testing::Values(TargetCase{2, 120, -1, false, {300, 120, 203, 120}},
                                           TargetCase{4, 120, -1, false, {300, 120, 100, 120}},
                                           TargetCase{6, 120, 0, false, {300, 120, 400, 120}},
                                           TargetCase{6, 120, 1, false, {}},
                                           TargetCase{8, 120, -1, false, {300, 120, 0, 120}},
                                           TargetCase{9, 120, -1, false, {300, 120, 100, 120}},
                                           TargetCase{9, 50, -1, false, {300, 50, 100, 100}},
                                           TargetCase{12, 120, -1, false, {300, 120, 250, 120}},
                                           TargetCase{13, 120, -1, false, {}},
                                           TargetCase{13, 120, -1, true, {300, 120, 7, 195}},
                                           TargetCase{16, 120, -1, false, {300, 120, 100, 100}}));

}  // namespace
