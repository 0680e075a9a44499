// Glyph marks, dynamics and fingerings on hand-built records (recording
// canvas, zoom 100, 10-pixel spaces, the staff's top line at y 100).

#include <gtest/gtest.h>

#include "render/MarkBuilder.h"

namespace {

namespace K = ItemKind;

// A mark one space square with its top-left corner at pixel (100, 100).
constexpr TKVLayoutRect kSquare{800, 800, 880, 880};

// One glyph by kind and sub-kind, its baseline six units below the top
// (eight for pedal down); kinds whose sub-kind has no glyph write none but
// keep their brackets, lifted by the kind's amount.
TEST(GlyphMarks, GlyphsBaselinesAndBrackets) {
  using Case = std::tuple<uint8_t, uint8_t, uint8_t, int, double, double>;  // kind, sub-kind, flags, code, baseline, bracket top
  for (auto [kind, variant, flags, code, baseline, bracket] :
       {Case{K::Fermata, 0, 4, 0x8C, 106, 100}, {K::Fermata, 1, 0, 0x8D, 106, -1}, {K::Fermata, 5, 0, 0x8E, 106, -1},
        {K::Fermata, 8, 0, 0x91, 106, -1}, {K::Fermata, 3, 4, 0, 0, 100}, {K::Fermata, 9, 0, 0, 0, -1},
        {K::Accent, 0, 8, 0xA4, 106, 99}, {K::Accent, 3, 0, 0xA5, 106, -1}, {K::Accent, 9, 0, 0xDF, 106, -1},
        {K::Accent, 10, 0, 0xA8, 106, -1}, {K::Accent, 23, 0, 0xB5, 106, -1}, {K::Accent, 2, 12, 0, 0, 99},
        {K::Accent, 24, 0, 0, 0, -1}, {K::Turn, 2, 4, 0x7E, 106, 99}, {K::Turn, 4, 0, 0, 0, -1},
        {K::Ornament, 3, 4, 0x89, 106, 99}, {K::Ornament, 4, 0, 0, 0, -1}, {K::SingleGlyph, 7, 4, 0x80, 106, 96},
        {K::Pedal, 0, 4, 0x7B, 106, 98}, {K::Pedal, 1, 0, 0x7A, 108, -1}, {K::Pedal, 2, 4, 0, 0, 98},
        {K::HeadGlyphA, 0, 4, 0x5A, 106, -1}, {K::HeadGlyphA, 0, 1, 0x5B, 106, -1}, {K::HeadGlyphA, 1, 0, 0x5B, 106, -1},
        {K::HeadGlyphA, 1, 1, 0x5A, 106, -1}, {K::HeadGlyphB, 0, 0, 0x5C, 106, -1}, {K::HeadGlyphB, 3, 0, 0x5D, 106, -1},
        {K::HeadGlyphC, 9, 0, 0x5E, 106, -1}}) {
    TMarkPage t;
    t.p.d.GlyphChar = 0x8C;  // what an earlier mark of the page left
    t.Mark(kind, variant, kSquare, flags);
    t.Draw();
    SCOPED_TRACE(::testing::Message() << int(kind) << "/" << int(variant));
    Calls glyphs = Glyphs(t.p.canvas), texts = t.Named("TextOut");
    ASSERT_EQ(glyphs.size(), code ? 1u : 0u);
    if (code) {
      EXPECT_EQ(std::tuple(glyphs[0]->Text, glyphs[0]->Args, glyphs[0]->Font.Size()),
                std::tuple(Code(code), std::vector<double>({100, baseline}), 18));
      // The accent family is written without anti-aliasing.
      EXPECT_EQ(glyphs[0]->Font.Quality, kind == K::Accent ? canvas::fqDefault : canvas::fqAntialiased);
    }
    ASSERT_EQ(texts.size(), bracket >= 0 ? 2u : 0u);
    if (bracket >= 0) {
      EXPECT_EQ(std::pair(texts[0]->Args, texts[1]->Args),
                std::pair(std::vector<double>({96, bracket}), std::vector<double>({111, bracket})));
    }
  }
}

// An accent or staccato-like mark of a hidden voice draws nothing, not
// even its selection corners; so does a note-head mark of a hidden note.
TEST(GlyphMarks, HiddenVoicesDrawNothing) {
  TMarkPage t;
  TKVVoice* hidden = t.n.StaffOf->NewVoice();
  hidden->Data().setU8(VoiceBlock::Visible, 0);
  t.Mark(K::Accent, 3, kSquare, 4).Voice = hidden;
  t.n.Select(*t.Record);
  TKVNote& note = t.n.NewNote(4, 128);
  note.Voice = hidden;
  auto* mark = new TKVMark(&note);
  mark->SetKind(K::HeadGlyphA);
  t.n.Select(t.n.Add(mark, kSquare));
  t.Draw();
  EXPECT_TRUE(t.p.canvas.Calls.empty());
}

// Brackets are written in the mark's own font, else the score's first text
// font, never the music font.
TEST(GlyphMarks, BracketFonts) {
  TMarkPage t;
  t.p.b.Score->TextFonts().SetEntry(0, "Liberation Serif", 0);
  t.Mark(K::Fermata, 0, kSquare, 4);
  t.Mark(K::Fermata, 0, kSquare, 8).SetText1("DejaVu Sans");
  t.Draw();
  Calls texts = t.Named("TextOut");
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(std::tuple(texts[0]->Text, texts[0]->Font.Name, texts[3]->Text, texts[3]->Font.Name),
            std::tuple(std::u16string(u"("), std::string("Liberation Serif"), std::u16string(u"]"),
                       std::string("DejaVu Sans")));
}

// Under dsActiveVoice a turn on another staff is grey, a fermata there is
// not; any mark of another voice is; a record without a staff line keeps
// the mark's colour.
TEST(GlyphMarks, ColourRule) {
  using Case = std::tuple<uint8_t, uint8_t, int, canvas::TColor>;  // kind, voice, staff line (0 own, 1 other, -1 none)
  for (auto [kind, voice, line, colour] :
       {Case{K::Turn, 0, 1, 0x808080}, {K::Fermata, 0, 1, 0x00FF00}, {K::Turn, 0, 0, 0x00FF00},
        {K::Fermata, 2, 0, 0x808080}, {K::Fermata, 2, -1, 0x00FF00}}) {
    TMarkPage t;
    t.p.b.View.SetDataStyle(dsActiveVoice);
    TKVStaffLineRecord& other = t.SecondLine(1600);
    TKVMark& mark = t.Mark(kind, 0, kSquare);
    mark.SetColor(0x00FF00), mark.SetStaffVoice(voice);
    t.Record->StaffLine = line == 1 ? &other : line == 0 ? t.n.Line : nullptr;
    t.Draw();
    ASSERT_EQ(Glyphs(t.p.canvas).size(), 1u);
    EXPECT_EQ(Glyphs(t.p.canvas)[0]->Font.Color, colour) << int(kind) << " voice " << int(voice) << " line " << line;
  }
}

// The glyph marks of a note head move with the head onto the staff as drawn:
// spaces of 9.4 pixels are drawn 14 apart at zoom 150, where the layout
// placed them 13.5 apart.
TEST(GlyphMarks, NoteHeadMarksFollowTheirNote) {
  Drawing p(100, wsNormal, 100, 9.4);
  TNotationBuilder n(p.b);
  TKVNote& note = n.NewNote(4, 128);
  auto* mark = new TKVMark(&note);
  mark->SetKind(K::HeadGlyphB);
  n.Add(mark, kSquare);
  n.Add(&n.NewMark(K::HeadGlyphB, 0), kSquare);  // no note: stays where the layout put it
  p.d.DrawPageContent(0, 150, 150, 0, 0);
  Calls glyphs = Glyphs(p.canvas);
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[0]->Args, std::vector<double>({150, 160}));
  EXPECT_EQ(glyphs[1]->Args, std::vector<double>({150, 159}));
}

using Path = Points;

// Hairpins: two legs from the closed end to the open one, h pixels either
// side of the line; a slant tilts the far end and shortens the leg it
// leans away from; a wedge of no width gets no correction.
TEST(Dynamics, Hairpins) {
  using Case = std::tuple<uint8_t, TKVLayoutRect, uint8_t, int16_t, uint8_t, int32_t, Path, Path>;
  constexpr TKVLayoutRect wide{800, 768, 1600, 832}, narrow{800, 768, 960, 832}, none{800, 768, 800, 832};
  // sub-kind, rectangle, flags, extent, offset mode, shift, upper leg, lower leg
  for (auto [variant, rect, flags, extent, mode, shift, upper, lower] :
       {Case{50, wide, 0, 0, 0, 0, {{199, 96}, {101, 100}}, {{101, 100}, {199, 104}}},
        {51, wide, 0, 0, 0, 0, {{101, 96}, {199, 100}}, {{199, 100}, {101, 104}}},
        {50, wide, 2, 0, 0, 0, {{199, 98}, {101, 100}}, {{101, 100}, {199, 102}}},
        {50, wide, 12, 0, 0, 0, {{199, 88}, {101, 100}}, {{101, 100}, {199, 112}}},
        {50, narrow, 0, -80, 0, 0, {{115, 86}, {101, 100}}, {{101, 100}, {119, 94}}},
        {50, narrow, 0, 0, 3, -10, {{115, 86}, {101, 100}}, {{101, 100}, {119, 94}}},
        {50, narrow, 0, 80, 0, 0, {{119, 106}, {101, 100}}, {{101, 100}, {115, 114}}},
        {51, narrow, 0, 80, 0, 0, {{105, 96}, {119, 110}}, {{119, 110}, {101, 104}}},
        {51, narrow, 0, -80, 0, 0, {{101, 96}, {119, 90}}, {{119, 90}, {105, 104}}},
        {50, none, 0, 80, 0, 0, {{99, 106}, {101, 100}}, {{101, 100}, {99, 114}}},
        {51, wide, 0, 0, 2, 40, {{101, 96}, {239, 100}}, {{239, 100}, {101, 104}}},
        {50, wide, 0, 0, 1, 10, {{209, 106}, {111, 110}}, {{111, 110}, {209, 114}}}}) {
    TMarkPage t;
    TKVMark& mark = t.Mark(K::Dynamic, variant, rect, flags);
    mark.SetExtent(extent), mark.SetOffsetY(320);  // the layout already moved the wedge by its offset
    t.Record->Bounds2.Top = 800;
    t.Record->Placement = mode, t.Record->Shift = {shift, shift};
    t.Draw();
    Calls legs = t.Named("SmoothPath");
    ASSERT_EQ(legs.size(), 2u);
    EXPECT_EQ(std::pair(Corners(*legs[0]), Corners(*legs[1])), std::pair(upper, lower))
        << int(variant) << " extent " << extent << " mode " << int(mode);
    EXPECT_EQ(legs[0]->SmoothPen->Width, 1);
    EXPECT_TRUE(t.Named("TextOut").empty());  // a hairpin's flags are its opening, never brackets
  }
}

// A selected hairpin: corners and two round handles 8 pixels apart at its
// far end.
TEST(Dynamics, SelectedHairpin) {
  TMarkPage t;
  t.Mark(K::Dynamic, 51, {800, 768, 1600, 832}).SetExtent(40);
  t.Record->Bounds2.Top = 800;
  t.n.Select(*t.Record);
  t.Draw();
  EXPECT_EQ(t.Named("Polyline").size(), 4u);
  EXPECT_EQ(t.Args("Rectangle"), Rows({{197, 102, 203, 108}, {189, 102, 195, 108}}));
}

// Letter groups: one code by sub-kind, its baseline six units below the
// top; a sub-kind without one writes no glyph but keeps its brackets.
TEST(Dynamics, LetterGroups) {
  using Case = std::tuple<uint8_t, uint8_t, int>;
  for (auto [variant, flags, code] : {Case{0, 0, 0x69}, {5, 4, 0x6E}, {10, 0, 0x73}, {12, 0, 0x75}, {20, 4, 0}, {49, 0, 0}}) {
    TMarkPage t;
    t.p.d.GlyphChar = 0x69;
    t.Mark(K::Dynamic, variant, kSquare, flags);
    t.Draw();
    Calls glyphs = Glyphs(t.p.canvas);
    ASSERT_EQ(glyphs.size(), code ? 1u : 0u) << int(variant);
    if (code) {
      EXPECT_EQ(std::pair(glyphs[0]->Text, glyphs[0]->Args), std::pair(Code(code), std::vector<double>({100, 106})));
    }
    EXPECT_EQ(t.Args("TextOut"), flags ? Rows({{96, 98}, {111, 98}}) : Rows());
  }
}

// Fingerings and technique letters: plain text from the cell's top, the
// plucking hand's letters four units higher, technique letters never in
// brackets.
TEST(Fingerings, CharactersFontsAndBrackets) {
  using Case = std::tuple<uint8_t, uint8_t, uint8_t, std::u16string, double, int, std::string, size_t>;
  // kind, sub-kind, flags, text, top, points, font, bracket texts
  for (auto [kind, variant, flags, text, top, points, font, brackets] :
       {Case{K::Fingering, 3, 4, u"3", 100, 7, "Monotype Corsiva", 2}, {K::Fingering, 13, 0, u"m", 96, 9, "Monotype Corsiva", 0},
        {K::Fingering, 0, 0, u"0", 100, 7, "Monotype Corsiva", 0}, {K::Fingering, 15, 0, u"e", 96, 9, "Monotype Corsiva", 0},
        {K::Fingering, 7, 4, u"", 0, 0, "", 2}, {K::TechniqueLetter, 2, 12, u"T", 100, 8, "Arial", 0},
        {K::TechniqueLetter, 3, 0, u"S", 100, 8, "Arial", 0}, {K::TechniqueLetter, 12, 4, u"", 0, 0, "", 0}}) {
    TMarkPage t;
    t.p.d.GlyphChar = '3';
    t.Mark(kind, variant, kSquare, flags);
    t.Draw();
    Calls letters = t.Named("TextOutA"), around = t.Named("TextOut");
    ASSERT_EQ(letters.size(), text.empty() ? 0u : 1u) << int(kind) << "/" << int(variant);
    if (!text.empty()) {
      EXPECT_EQ(std::tuple(letters[0]->Text, letters[0]->Args, letters[0]->Font.Size(), letters[0]->Font.Name),
                std::tuple(text, std::vector<double>({100, top}), points, font));
    }
    EXPECT_EQ(around.size(), brackets);
  }
}

}  // namespace
