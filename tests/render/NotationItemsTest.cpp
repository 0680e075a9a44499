// The drawers of notes, rests, chord symbols, clefs and staff brackets on
// hand-built records (recording canvas, 10-pixel spaces, the staff's top
// line at y 100).

#include <gtest/gtest.h>

#include <future>
#include <mutex>

#include "render/NotationBuilder.h"

namespace {

using Items = TNotationPage;

std::vector<double> At(const canvas::TCanvasCall* Call) { return {Call->Args[0], Call->Args[1]}; }

// A tablature note shows its fret (N without one) on a box of the paper's
// colour, inside a circle when it lasts longer than a quarter.
TEST(NoteHeads, TablatureFrets) {
  using Case = std::tuple<uint16_t, uint8_t, std::u16string, size_t>;
  for (auto [duration, fret, text, circles] :
       {Case{256, 4, u"3", 1}, {128, 4, u"3", 0}, {512, 0, u"N", 1}, {128, 12, u"11", 0}}) {
    Items t(6);
    t.n.StaffOf->Data().setU8(StaffBlock::Tablature, 1);
    TKVNote& note = t.n.NewNote(0, duration);
    note.SetFret(fret);
    t.n.Head(note, 800);  // pixels 100, 95, 107, 105
    t.Draw();
    ASSERT_EQ(t.p.canvas.Names().front(), "FillRect");
    EXPECT_EQ(t.p.canvas.Calls[0].Args, std::vector<double>({100, 95, 107, 105}));
    EXPECT_EQ(t.p.canvas.Calls[0].Brush.Color, t.p.b.Score->Page().Brush().Color());
    Calls frets = t.Named("TextOutA"), rings = t.Named("Ellipse");
    ASSERT_EQ(frets.size(), 1u);
    EXPECT_EQ(std::tuple(frets[0]->Text, At(frets[0]), frets[0]->Font.Size()),
              std::tuple(text, std::vector<double>({101, 94}), 7));
    ASSERT_EQ(rings.size(), circles);
    if (circles) {
      EXPECT_EQ(rings[0]->Args, std::vector<double>({98, 94, 111, 107}));
    }
  }
}

// Slash heads: shape 4 is an outline above a quarter and filled otherwise;
// shape 2 is a filled parallelogram.
TEST(NoteHeads, DrawnShapes) {
  using Case = std::tuple<uint8_t, uint16_t, bool, bool>;  // shape, duration, outlined, filled
  for (auto [shape, duration, outlined, filled] :
       {Case{4, 256, true, false}, {4, 128, false, true}, {4, 512, true, false}, {2, 256, false, true}}) {
    Items t;
    TKVNote& note = t.n.NewNote(4, duration);
    note.SetHeadType(shape), note.SetColor(0x00FF00);
    t.n.Head(note, 800);  // pixels 100, 115, 107, 125
    t.Draw();
    if (shape == 2) {
      ASSERT_EQ(t.Named("Polygon").size(), 1u);
      EXPECT_EQ(t.Named("Polygon")[0]->Args, std::vector<double>({100, 125, 100, 120, 107, 115, 107, 120}));
      continue;
    }
    Calls slash = t.Named("SmoothPath");
    ASSERT_EQ(slash.size(), 1u);
    EXPECT_EQ(std::pair(slash[0]->SmoothPen.has_value(), slash[0]->SmoothBrush.has_value()),
              std::pair(outlined, filled));
    EXPECT_EQ(slash[0]->Path[1].P[0], (canvas::TPointF{105, 115}));
  }
}

// Glyph heads by shape and duration, right-aligned to an up stem; user
// shapes from the score's table; a suppressed head keeps its brackets and
// selection corners only.
TEST(NoteHeads, Glyphs) {
  using Case = std::tuple<uint8_t, uint16_t, bool, char16_t, std::string>;
  for (auto [shape, duration, down, code, font] :
       {Case{0, 1024, true, u')', "Ostinel Symbols"}, {255, 512, true, u'*', "Ostinel Symbols"},
        {1, 256, true, u'4', "Ostinel Symbols"}, {0, 96, false, u'5', "Ostinel Symbols"},
        {3, 256, true, u'e', "Ostinel Symbols"}, {3, 128, false, u'f', "Ostinel Symbols"},
        {5, 128, true, u'Q', "Liberation Sans"}, {9, 128, true, char16_t(0xD3), "Ostinel Symbols"}}) {
    Items t;
    t.p.b.Score->Drawing.HeadShapes = {{"Liberation Sans", 50, 'Q'}};
    TKVNote& note = t.n.NewNote(4, duration, down);
    note.SetHeadType(shape);
    t.n.Head(note, 800);
    t.Draw();
    ASSERT_EQ(t.Named("TextOutA").size(), 1u);
    const canvas::TCanvasCall& head = *t.Named("TextOutA")[0];
    const std::string bytes(1, char(code));  // recorded as the canvas records 8-bit text
    EXPECT_EQ(std::pair(head.Text, head.Font.Name), std::pair(std::u16string(bytes.begin(), bytes.end()), font));
    EXPECT_EQ(head.Font.Size(), shape == 5 ? 9 : 18);
    EXPECT_EQ(head.Args[1], 120);
    if (down) {
      EXPECT_EQ(head.Args[0], 100);
    } else {
      t.p.canvas.Font = head.Font;
      EXPECT_EQ(head.Args[0] + t.p.canvas.TextWidthA(std::string(1, char(code))), 107);
    }
  }
  Items t;
  TKVNote& note = t.n.NewNote(4, 128, true);
  note.SetJoin(uint8_t(1 << NoteJoin::BracketShift));
  TKVDisplayItem& head = t.n.Head(note, 800);
  head.DrawFlags = DisplayDrawFlag::Suppressed;
  t.n.Select(head);
  t.Draw();
  EXPECT_EQ(t.p.canvas.Names(), std::vector<std::string>({"TextOut", "TextOut", "Polyline", "Polyline", "Polyline",
                                                          "Polyline"}));
  EXPECT_EQ(t.Texts(), std::vector<std::u16string>({u"(", u")"}));
  EXPECT_EQ(std::vector<double>(t.p.canvas.Calls[1].Args), std::vector<double>({108, 111}));
}

// While the view plays, a sounding note is drawn in the highlight colour,
// maroon when it is red itself, also where dsActiveVoice would grey it.
TEST(NoteHeads, PlayHighlight) {
  using Case = std::tuple<bool, canvas::TColor, uint16_t, canvas::TColor>;  // sounding, own, voice, drawn
  for (auto [sounding, own, voice, drawn] :
       {Case{true, 0x00FF00, 0, 0x0000FF}, {true, 0x0000FF, 0, 0x000080}, {true, 0x00FF00, 3, 0x0000FF},
        {false, 0x00FF00, 3, 0x808080}, {false, 0x00FF00, 0, 0x00FF00}}) {
    Items t;
    t.p.b.View.SetDataStyle(dsActiveVoice);
    TKVNote& note = t.n.NewNote(4, 128, true);
    note.SetColor(own), note.VoiceKey().VoiceNumber = voice;
    note.PlayState = sounding ? 0x40 : 0;
    t.n.Head(note, 800);
    ASSERT_TRUE(t.p.b.View.BeginPlay());
    t.Draw();
    t.p.b.View.Stop();
    ASSERT_EQ(t.Named("TextOutA").size(), 1u);
    EXPECT_EQ(t.Named("TextOutA")[0]->Font.Color, drawn);
  }
}

// Rests: blocks for whole and half rests, with a ledger line above a whole
// rest and below a half rest when the layout asks for it; glyphs otherwise.
TEST(Rests, BlocksGlyphsAndLedgers) {
  using Case = std::tuple<uint16_t, bool, std::vector<std::vector<double>>, std::u16string>;
  for (auto [duration, ledger, fills, glyph] :
       {Case{512, true, {{100, 110, 107, 115}, {97, 109, 110, 110}}, u""},
        {256, true, {{100, 110, 107, 115}, {97, 115, 110, 116}}, u""},
        {512, false, {{100, 110, 107, 115}}, u""},
        {64, true, {}, u"N"}, {4, false, {}, u"R"}, {128, false, {}, u"M"}, {192, false, {}, u"M"},
        {43, false, {}, u"M"}}) {
    Items t;
    auto* rest = new TKVPause(t.n.Measure);
    rest->SetValue(duration), rest->SetDuration(duration);
    TKVDisplayItem& record = t.n.Add(rest, {800, 880, 856, 1200});
    record.DrawFlags = ledger ? DisplayDrawFlag::RestLedger : 0;
    t.Draw();
    Calls blocks = t.Named("FillRect"), glyphs = Glyphs(t.p.canvas);
    ASSERT_EQ(blocks.size(), fills.size()) << duration;
    for (size_t i = 0; i < fills.size(); ++i) EXPECT_EQ(blocks[i]->Args, fills[i]);
    ASSERT_EQ(glyphs.size(), glyph.size());
    if (!glyph.empty()) {
      EXPECT_EQ(std::pair(glyphs[0]->Text, At(glyphs[0])), std::pair(glyph, std::vector<double>({100, 135})));
    }
  }
}

TEST(Rests, HiddenRestsAndMoves) {
  Items t;
  auto* hidden = new TKVPause(t.n.Measure);
  hidden->SetDuration(128), hidden->SetFlags(0x80);
  t.n.Select(t.n.Add(hidden, {800, 880, 856, 1200}));
  auto* moved = new TKVPause(t.n.Measure);
  moved->SetDuration(128);
  TKVDisplayItem& record = t.n.Add(moved, {1600, 880, 1656, 1200});
  record.Placement = 1, record.Shift = {30, 7};
  t.Draw();
  EXPECT_EQ(t.p.canvas.Names(), std::vector<std::string>({"Polyline", "Polyline", "Polyline", "Polyline", "TextOutA"}));
  EXPECT_EQ(At(t.Named("TextOutA")[0]), std::vector<double>({200, 142}));  // moved down only
}

// Chord symbols: each piece at its own offset from the rectangle's corner
// (negative ones above and left), in its style joined with the chord's.
TEST(ChordSymbols, RunsSizesAndStyles) {
  using Case = std::tuple<TKVWindowStyle, int, uint8_t, int>;  // style, zoom, size byte, points
  for (auto [style, zoom, size, points] :
       {Case{wsNormal, 100, 0, 8}, {wsNormal, 150, 12, 18}, {wsPrint, 150, 12, 12}, {wsNormal, 200, 0, 16}}) {
    Items t;
    t.p.b.View.SetStyle(style);
    auto* chord = new TKVChord(t.n.Measure);
    chord->Data().setU8(ChordBlock::FontSize, size), chord->Data().setU8(ChordBlock::FontStyle, text::fsBold);
    TKVChordEntry& root = chord->Entries().Add();
    root.Text = "C";
    TKVChordEntry& raised = chord->Entries().Add();
    raised.Text = "7";
    raised.Record.setU8(ChordBlock::EntryStyle, text::fsItalic);
    raised.Record.setI16(ChordBlock::EntryStartX, -16), raised.Record.setI16(ChordBlock::EntryY, -32);
    t.n.Add(chord, {800, 400, 900, 560});
    t.Draw(zoom);
    Calls runs = t.Named("TextOutA");
    ASSERT_EQ(runs.size(), 2u);
    const double left = 100 * zoom / 100, top = 50 * zoom / 100;
    EXPECT_EQ(At(runs[0]), std::vector<double>({left, top}));
    EXPECT_EQ(At(runs[1]), std::vector<double>({left - 2 * zoom / 100, top - 4 * zoom / 100}));
    EXPECT_EQ(std::pair(runs[0]->Font.Style, runs[1]->Font.Style), std::pair(unsigned(text::fsBold), unsigned(text::fsBold | text::fsItalic)));
    EXPECT_EQ(runs[1]->Font.Size(), points);
    EXPECT_EQ(runs[0]->Font.Name, "Arial");
  }
}

// Clefs: the same G glyph at the same height for every G clef, twice for
// the doubled one, octave numbers from the rectangle's top (G clefs) or the
// base line (F clefs).
TEST(Clefs, GlyphsAndOctaveNumbers) {
  using Case = std::tuple<uint8_t, int, std::u16string, std::vector<std::vector<double>>, std::string,
                          std::vector<double>>;
  for (auto [type, size, glyphs, at, number, numberAt] :
       {Case{1, 100, u"\"", {{100, 140}}, "", {}}, {4, 100, u"\"", {{100, 140}}, "8", {114, 80}},
        {5, 100, u"\"", {{100, 140}}, "8", {114, 114}}, {12, 100, u"\"\"", {{100, 140}, {106, 140}}, "", {}},
        {16, 100, u"\"", {{100, 140}}, "15", {114, 80}}, {17, 100, u"\"", {{100, 140}}, "15", {114, 114}},
        {2, 100, u"#", {{100, 110}}, "", {}}, {6, 100, u"#", {{100, 110}}, "8", {114, 120}},
        {18, 100, u"#", {{100, 110}}, "15", {114, 120}}, {11, 100, u"$", {{100, 100}}, "", {}},
        {10, 100, u"$", {{100, 130}}, "", {}}, {4, 75, u"\"", {{100, 140}}, "8", {110, 80}}}) {
    Items t;
    TKVDisplayItem& record = t.n.Add(&t.n.NewMark(ItemKind::Clef, type), {800, 640, 900, 1280});
    record.SizePercent = uint8_t(size);
    t.Draw();
    Calls written = Glyphs(t.p.canvas), texts = t.Named("TextOutA");
    ASSERT_EQ(written.size(), glyphs.size()) << int(type);
    for (size_t i = 0; i < glyphs.size(); ++i)
      EXPECT_EQ(std::pair(written[i]->Text, At(written[i])), std::pair(glyphs.substr(i, 1), at[i])) << int(type);
    ASSERT_EQ(texts.size(), glyphs.size() + (number.empty() ? 0 : 1));
    if (number.empty()) continue;
    EXPECT_EQ(std::pair(texts.back()->Text, At(texts.back())),
              std::pair(std::u16string(number.begin(), number.end()), numberAt)) << int(type);
    EXPECT_EQ(texts.back()->Font.Name, "Arial");
  }
}

TEST(Clefs, LettersBarsAndUnknownTypes) {
  using Case = std::tuple<uint8_t, TKVWindowStyle, int, int, std::vector<std::string>>;
  for (auto [type, style, scale, zoom, names] :
       {Case{13, wsPrint, 150, 100, {"TextOutA", "TextOutA", "TextOutA"}},
        {13, wsNormal, 100, 200, {"TextOutA", "TextOutA", "TextOutA"}},
        {14, wsNormal, 100, 100, {"FillRect", "FillRect", "FillRect", "FillRect"}},
        {15, wsNormal, 100, 100, {"FillRect", "FillRect"}},
        {0, wsNormal, 100, 100, {"Polyline", "Polyline", "Polyline", "Polyline"}},
        {19, wsNormal, 100, 100, {"Polyline", "Polyline", "Polyline", "Polyline"}}}) {
    Drawing p(zoom, style, scale);
    TNotationBuilder n(p.b);
    TKVDisplayItem& clef = n.Add(&n.NewMark(ItemKind::Clef, type), {800, 800, 900, 1120});
    if (type == 0 || type == 19) n.Select(clef);
    p.canvas.Calls.clear();
    p.d.DrawPageContent(0, zoom, zoom, 0, 0);
    DropStaffLines(p.canvas);
    std::vector<std::string> drawn = p.canvas.Names();
    drawn.resize(std::min(drawn.size(), names.size()));
    EXPECT_EQ(drawn, names) << int(type);
    if (type == 13) {
      EXPECT_EQ(p.canvas.Calls[0].Font.Size(), style == wsPrint ? 9 : 18);
      EXPECT_EQ(p.canvas.Calls[0].Text + p.canvas.Calls[1].Text + p.canvas.Calls[2].Text, u"TAB");
    }
    if (type == 15) {
      const double l = 100 * zoom / 100, t = 100 * zoom / 100, b = 140 * zoom / 100;
      EXPECT_EQ(p.canvas.Calls[0].Args, std::vector<double>({l, t + 10, l + 2, b - 10}));
    }
  }
}

// Brackets of kind 1 go through the bracket shape; suppressed ones draw
// nothing.
TEST(StaffBrackets, ShapeAndSuppression) {
  Items t;
  TKVMark& square = t.n.NewMark(ItemKind::StaffBracket, 1);
  t.n.Add(&square, {800, 800, 820, 1120});
  t.n.Add(&t.n.NewMark(ItemKind::StaffBracket, 2), {800, 800, 820, 1120}).DrawFlags = DisplayDrawFlag::Suppressed;
  t.n.Add(&t.n.NewMark(ItemKind::StaffBracket, 0), {720, 800, 800, 1120});  // the room left of a staff
  t.Draw();
  EXPECT_EQ(t.p.canvas.Names(), std::vector<std::string>({"Polygon", "MusicBrace"}));
  EXPECT_EQ(t.p.canvas.Calls[0].Args.size(), 18u);
  EXPECT_EQ(t.p.canvas.Calls[1].Args, std::vector<double>({92, 120, 40, 8}));  // as wide as its room
}

}  // namespace

// The sounding bits are read under the play lock, but nothing is drawn
// while the page holds it: the play thread never waits for a paint.
TEST(NoteHeads, NothingIsDrawnUnderThePlayLock) {
  struct TLockWatch : canvas::TRecordingCanvas {
    std::recursive_mutex* Lock = nullptr;
    int Held = 0;
    void TextOutA(int x, int y, std::string_view bytes) override {
      auto free = std::async(std::launch::async, [&] {
        if (!Lock->try_lock()) return false;
        Lock->unlock();
        return true;
      });
      Held += free.get() ? 0 : 1;
      TRecordingCanvas::TextOutA(x, y, bytes);
    }
  } canvas;
  TPageBuilder b;
  TNotationBuilder n(b);
  canvas.Lock = &b.View.PlayLock();
  TKVNote& note = n.NewNote(4, 128, true);
  note.PlayState = 0x40;
  n.Head(note, 800);
  ASSERT_TRUE(b.View.BeginPlay());
  render::TKVPageDrawer(b.View, canvas).DrawPageContent(0, 100, 100, 0, 0);
  b.View.Stop();
  ASSERT_EQ(Glyphs(canvas).size(), 1u);
  EXPECT_EQ(Glyphs(canvas)[0]->Font.Color, 0x0000FFu);
  EXPECT_EQ(canvas.Held, 0);
}
