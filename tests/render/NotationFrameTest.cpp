// The notation frame on hand-built records (recording canvas, zoom 100,
// 10-pixel spaces, the staff's top line at y 100): pass order, stems and
// flags, beam groups, ledger and group measure lines, the colour rule.

#include <gtest/gtest.h>

#include <algorithm>

#include "render/NotationBuilder.h"
#include "score/model/Column.h"

namespace {

using Notation = TNotationPage;

TEST(NotationFrame, FirstPassOfAMeasureComesBeforeItsItems) {
  Notation t;
  for (int i = 0; i < 3; ++i) {
    TKVNote& note = t.n.NewNote(-4 + 6 * i, 128);
    t.n.Head(note, 800 + 400 * i), t.n.Stem(note, 800 + 400 * i);
  }
  t.Draw();
  std::vector<std::string> names = t.p.canvas.Names();
  auto firstItem = std::find(names.begin(), names.end(), "TextOutA");
  ASSERT_NE(firstItem, names.end());
  EXPECT_EQ(std::count(names.begin(), firstItem, "Polygon"), 3);  // the stems
  EXPECT_EQ(std::count(names.begin(), firstItem, "LineTo"), 2);   // the first note's ledger lines
  EXPECT_EQ(std::count(firstItem, names.end(), "TextOutA"), 3);
  EXPECT_EQ(std::count(firstItem, names.end(), "Polygon") + std::count(firstItem, names.end(), "LineTo"), 0);
}

// Records that are hidden, kinds the table leaves out and kinds above 207
// draw nothing; a record's glyph offsets never reach the next record.
TEST(NotationFrame, OnlyListedKindsOfShownRecordsAreDrawn) {
  Notation t;
  t.n.Head(t.n.NewNote(4, 128), 800).Hidden = 1;
  for (uint8_t kind : {ItemKind::GraceGroup, ItemKind::Effect, ItemKind::PageMark, ItemKind::Sound, ItemKind::MidiEvent,
                       uint8_t(152), uint8_t(208), uint8_t(255)})
    t.n.Add(&t.n.NewMark(kind, 1), {800, 800, 900, 1100});
  t.n.Add(nullptr, {800, 800, 900, 1100});
  // Neither head nor ledger lines for a hidden voice or a staff this
  // system does not show.
  TKVNote& silent = t.n.NewNote(-4, 128);
  silent.Voice = t.n.StaffOf->NewVoice();
  silent.Voice->Data().setU8(VoiceBlock::Visible, 0);
  t.n.Head(silent, 800);
  TKVStaffLineRecord hiddenLine = *t.n.Line;
  hiddenLine.Flags = 0;
  t.n.Head(t.n.NewNote(-4, 128), 800).StaffLine = &hiddenLine;
  t.Draw();
  EXPECT_TRUE(t.p.canvas.Calls.empty());
  t.p.d.GlyphDX = 7, t.p.d.GlyphDY = 9;
  t.n.Head(t.n.NewNote(4, 128, true), 800);
  t.Draw();
  ASSERT_EQ(Glyphs(t.p.canvas).size(), 1u);
  EXPECT_EQ(Glyphs(t.p.canvas)[0]->Args, std::vector<double>({100, 120}));  // no stale offset
}

// Single stems: 1 pixel wide at 100 %, one unit short of the head; flags by
// duration at the stem's end, segments half a space apart.
struct StemCase {
  uint16_t Duration; bool Down; Points Stem; std::u16string Flags; Points FlagAt;
  friend std::ostream& operator<<(std::ostream& s, const StemCase& c) { return s << c.Duration << (c.Down ? "d" : "u"); }
};
class Stems : public ::testing::TestWithParam<StemCase> {};
TEST_P(Stems, BarAndFlags) {
  const StemCase& c = GetParam();
  Notation t;
  TKVNote& note = t.n.NewNote(4, c.Duration, c.Down);
  note.SetStemColor(0x00FF00);
  t.n.Stem(note, 800);
  t.Draw();
  Calls stems = t.Named("Polygon"), flags = Glyphs(t.p.canvas);
  ASSERT_EQ(stems.size(), 1u);
  EXPECT_EQ(Corners(*stems[0]), c.Stem);
  EXPECT_EQ(std::pair(stems[0]->Brush.Color, stems[0]->Pen.Style), std::pair(0x00FF00u, canvas::psClear));
  ASSERT_EQ(flags.size(), c.Flags.size());
  for (size_t i = 0; i < flags.size(); ++i) {
    EXPECT_EQ(flags[i]->Text, c.Flags.substr(i, 1));
    EXPECT_EQ(std::pair(flags[i]->Args[0], flags[i]->Args[1]), c.FlagAt[i]);
    EXPECT_EQ(std::pair(flags[i]->Font.Size(), flags[i]->TextAlign), std::pair(18, canvas::taBaseline));
  }
}
INSTANTIATE_TEST_SUITE_P(
    Durations, Stems,
    ::testing::Values(StemCase{128, false, {{106, 85}, {107, 85}, {107, 119}, {106, 119}}, u"", {}},
                      StemCase{128, true, {{100, 121}, {101, 121}, {101, 155}, {100, 155}}, u"", {}},
                      StemCase{64, false, {{106, 85}, {107, 85}, {107, 119}, {106, 119}}, u"6", {{106, 85}}},
                      StemCase{64, true, {{100, 121}, {101, 121}, {101, 155}, {100, 155}}, u"7", {{100, 155}}},
                      StemCase{32, false, {{106, 85}, {107, 85}, {107, 119}, {106, 119}}, u"8:", {{106, 85}, {106, 88}}},
                      StemCase{16, true, {{100, 121}, {101, 121}, {101, 155}, {100, 155}}, u"99;",
                               {{100, 155}, {100, 152}, {100, 149}}}));

TEST(NotationFrame, StemsThatOthersDrawOrNoneDraws) {
  Notation t;
  TKVNote& beamed = t.n.NewNote(4, 64);
  beamed.BeamGroup = 2;
  t.n.Stem(beamed, 800);
  TKVNote& bare = t.n.NewNote(4, 64);
  bare.SetFlag(NoteFlag::NoStem, true);
  t.n.Select(t.n.Stem(bare, 1200));
  TKVNote& hidden = t.n.NewNote(4, 64);
  hidden.Voice = t.n.StaffOf->NewVoice();
  hidden.Voice->Data().setU8(VoiceBlock::Visible, 0);
  t.n.Stem(hidden, 1600);
  t.n.Stem(t.n.NewNote(4, 64), 2000).SizePercent = 100;
  t.Draw();
  EXPECT_EQ(t.p.canvas.Names(), std::vector<std::string>({"Rectangle", "Polygon", "TextOutA"}));
  EXPECT_EQ(t.p.canvas.Calls[0].Args, std::vector<double>({156 - 3, 85 - 3, 156 + 3, 85 + 3}));  // the handle
}

// On a tablature staff in the special style flags are short bars; a single
// grace note with the slash flag gets a stroke through its stem.
TEST(NotationFrame, TablatureFlagBarsAndGraceSlash) {
  Notation t(6);
  t.n.StaffOf->Data().setU8(StaffBlock::Tablature, 1);
  // The layout places tablature notes by string: their staff position is 0.
  t.n.Stem(t.n.NewNote(0, 32), 800);
  auto* grace = new TKVVorschlag(t.n.Measure);
  grace->SetFlags(0x10);
  t.n.Stem(t.n.NewNote(0, 64, false, grace), 1200);
  t.Draw();
  Calls bars = t.Named("FillRect"), strokes = t.Named("LineTo");
  ASSERT_EQ(bars.size(), 3u);
  EXPECT_EQ(bars[0]->Args, std::vector<double>({107, 65, 112, 67}));
  EXPECT_EQ(bars[1]->Args, std::vector<double>({107, 68, 112, 70}));
  EXPECT_EQ(bars[2]->Args, std::vector<double>({157, 65, 161, 67}));  // a grace note's bar is shorter
  ASSERT_EQ(strokes.size(), 1u);
  EXPECT_EQ(strokes[0]->Args, std::vector<double>({156 - 4, 82 + 2, 157 + 4, 82 - 2}));
}

// Beam groups: stems and beams are filled paths; the group's first stem
// pads 1 pixel to the left, so that the beam covers it.
struct BeamCase {
  std::vector<std::pair<uint16_t, bool>> Notes;  // duration, stem down; 400 units apart from x 800
  Points Main;
  std::vector<Points> Levels;
  bool Smooth;
  friend std::ostream& operator<<(std::ostream& s, const BeamCase& c) { return s << c.Notes.size() << c.Main.size(); }
};
class Beams : public ::testing::TestWithParam<BeamCase> {};
TEST_P(Beams, MainAndSecondaryBeams) {
  const BeamCase& c = GetParam();
  Notation t;
  std::vector<TKVDisplayItem*> stems;
  for (size_t i = 0; i < c.Notes.size(); ++i)
    stems.push_back(&t.n.Stem(t.n.NewNote(4, c.Notes[i].first, c.Notes[i].second), int32_t(800 + 400 * i)));
  t.n.Beam(stems);
  t.Draw();
  Calls fills = t.Named("SmoothPath");
  ASSERT_EQ(fills.size(), c.Notes.size() + 1 + c.Levels.size());
  EXPECT_EQ(Corners(*fills[c.Notes.size()]), c.Main);
  EXPECT_EQ(fills[c.Notes.size()]->Smoothing, c.Smooth);
  EXPECT_FALSE(fills[0]->Smoothing);  // stems are upright: no anti-aliasing
  for (size_t i = 0; i < c.Levels.size(); ++i) EXPECT_EQ(Corners(*fills[c.Notes.size() + 1 + i]), c.Levels[i]);
}
INSTANTIATE_TEST_SUITE_P(
    Groups, Beams,
    ::testing::Values(
        // Two eighths: the beam reaches from the first stem's padded left
        // edge to the last stem's right edge, 3 units thick.
        BeamCase{{{64, false}, {64, false}}, {{106, 85}, {106, 88}, {157, 88}, {157, 85}}, {}, false},
        // Opposite directions: the 1-unit step and the 1-pixel shortening
        // at the right end, drawn anti-aliased.
        BeamCase{{{64, false}, {64, true}}, {{106, 85}, {106, 88}, {150, 159}, {150, 156}}, {}, true},
        // A 16th between eighths hooks left (its predecessor has fewer
        // beams), 6 units long, one beam distance (4) below the main beam.
        BeamCase{{{64, false}, {32, false}, {64, false}},
                 {{106, 85}, {106, 88}, {207, 88}, {207, 85}},
                 {{{151, 89}, {151, 92}, {157, 92}, {157, 89}}},
                 false},
        // A leading 16th hooks right, no longer than 6 units.
        BeamCase{{{32, false}, {64, false}},
                 {{106, 85}, {106, 88}, {157, 88}, {157, 85}},
                 {{{106, 89}, {106, 92}, {112, 92}, {112, 89}}},
                 false},
        // Two 16ths: a full second beam.
        BeamCase{{{32, true}, {32, true}},
                 {{100, 155}, {100, 152}, {151, 152}, {151, 155}},
                 {{{100, 151}, {100, 148}, {151, 148}, {151, 151}}},
                 false}));

TEST(NotationFrame, BeamedNoteWithoutStemAndWideStems) {
  Notation t;
  t.p.b.Score->Drawing.StemWidth = 16;  // eighths of a unit: 2 pixels at 100 %
  TKVNote& bare = t.n.NewNote(4, 64);
  bare.SetFlag(NoteFlag::NoStem, true);
  t.n.Beam({&t.n.Stem(t.n.NewNote(4, 64), 800), &t.n.Stem(bare, 1200)});
  t.Draw();
  Calls fills = t.Named("SmoothPath");
  ASSERT_EQ(fills.size(), 2u);  // one stem and the beam
  EXPECT_EQ(Corners(*fills[0]), (Points{{105, 86}, {107, 86}, {107, 119}, {105, 119}}));
  EXPECT_EQ(Corners(*fills[1])[0], std::pair(105.0, 85.0));
  EXPECT_EQ(t.n.Record->Displays[0]->StemPadLeft, 0);
}

// Ledger lines: positions -2 and above the staff, 10 and below, one per
// line passed; grey on screen, black in print and export.
struct LedgerCase {
  int Pos; std::vector<double> Ys;
};
TEST(NotationFrame, LedgerLines) {
  for (auto [pos, ys] : {LedgerCase{-1, {}}, {-2, {90}}, {-3, {90}}, {-4, {90, 80}}, {9, {}}, {10, {150}},
                         {11, {150}}, {12, {150, 160}}, {13, {150, 160}}}) {
    for (TKVWindowStyle style : {wsNormal, wsPrint, wsExport}) {
      Notation t;
      t.p.b.View.SetStyle(style);
      t.n.Head(t.n.NewNote(pos, 128, true), 800);
      t.Draw();
      Calls lines = t.Named("LineTo");
      ASSERT_EQ(lines.size(), ys.size()) << pos;
      for (size_t i = 0; i < ys.size(); ++i) {
        EXPECT_EQ(lines[i]->Args, std::vector<double>({99, ys[i], 108, ys[i]})) << pos;
        EXPECT_EQ(lines[i]->Pen.Color, style == wsNormal ? 0x808080u : canvas::clBlack);
      }
    }
  }
  // A position thousands of spaces away costs at most a page of lines.
  Notation far;
  far.n.Head(far.n.NewNote(-30000, 128, true), 800);
  far.Draw();
  EXPECT_LE(far.Named("LineTo").size(), 12u);
  EXPECT_GE(far.Named("LineTo").size(), 9u);
}

// Group measure lines: width factor and dash of the column; a factor of 0
// is drawn as 1 and kept as 1; style 5 draws nothing.
TEST(NotationFrame, GroupMeasureLines) {
  using Case = std::tuple<uint8_t, uint8_t, TKVWindowStyle, size_t, double, canvas::TDashStyle, canvas::TColor>;
  for (auto [factor, style, view, count, width, dash, colour] :
       {Case{0, 0, wsNormal, 1, 1, canvas::dsSolid, 0xD9D9D9}, {3, 2, wsPrint, 1, 3, canvas::dsDot, 0},
        {1, 5, wsNormal, 0, 0, canvas::dsSolid, 0}, {2, 6, wsExport, 1, 2, canvas::dsSolid, 0}}) {
    Notation t;
    TKVColumn* column = t.p.b.Piece->NewColumn();
    column->BarWidthFactor = factor, column->BarLineStyle = style;
    t.p.b.View.SetStyle(view);
    t.n.Add(nullptr, {1600, 800, 1600, 800}, DisplayRecordType::Connector);
    t.Draw();
    Calls lines = t.Named("SmoothPath");
    ASSERT_EQ(lines.size(), count);
    EXPECT_EQ(column->BarWidthFactor, std::max<uint8_t>(factor, 1));
    if (!count) continue;
    EXPECT_EQ(Corners(*lines[0]), (Points{{202, 90}, {202, 110}}));  // one space around a point-high line
    EXPECT_EQ(std::tuple(lines[0]->SmoothPen->Width, lines[0]->SmoothPen->Dash, lines[0]->SmoothPen->Color),
              std::tuple(width, dash, canvas::ArgbOf(colour)));
  }
}

// Under dsActiveVoice what lies outside the cursor's voice, part or piece
// is grey; the cursor's own notes, stems and beams keep their colours.
TEST(NotationFrame, ColourRuleOfVoiceItems) {
  using Case = std::tuple<uint16_t, uint8_t, bool, TKVDataStyle, canvas::TColor>;  // voice, part, other piece
  for (auto [voice, part, otherPiece, data, colour] :
       {Case{0, 0, false, dsActiveVoice, 0x0000FF}, {1, 0, false, dsActiveVoice, 0x808080},
        {0, 1, false, dsActiveVoice, 0x808080}, {0, 0, true, dsActiveVoice, 0x808080}, {1, 1, true, dsAll, 0x0000FF}}) {
    Notation t;
    t.p.b.View.SetDataStyle(data);
    TKVNote& head = t.n.NewNote(4, 128, true);
    TKVNote& first = t.n.NewNote(4, 64), &second = t.n.NewNote(4, 64);
    for (TKVNote* note : {&head, &first, &second}) {
      note->SetColor(0x0000FF), note->SetStemColor(0x0000FF);
      note->VoiceKey().VoiceNumber = voice, note->VoiceKey().PartIndex = part;
    }
    std::vector<TKVDisplayItem*> records{&t.n.Head(head, 800), &t.n.Stem(first, 1200), &t.n.Stem(second, 1600)};
    t.n.Beam({records[1], records[2]});
    if (otherPiece) {
      TKVPiece* piece = t.p.b.Score->NewPiece();
      TKVStaff* staff = piece->NewPart()->NewStaff();
      auto* line = new TKVStaffLineRecord(*t.n.Line);
      line->Staff = staff;
      for (TKVDisplayItem* r : records) r->StaffLine = line;
      t.Draw();
      delete line;
    } else {
      t.Draw();
    }
    ASSERT_EQ(Glyphs(t.p.canvas).size(), 1u);
    EXPECT_EQ(Glyphs(t.p.canvas)[0]->Font.Color, colour);
    for (auto* fill : t.Named("SmoothPath")) EXPECT_EQ(fill->SmoothBrush->Color, canvas::ArgbOf(colour));
  }
}

}  // namespace
