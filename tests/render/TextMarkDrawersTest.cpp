// Tempo marks, rhythm equations, lyrics and chord frames on hand-built
// records (recording canvas, 10-pixel spaces, the staff's top line at
// y 100).

#include <gtest/gtest.h>

#include "render/NotationBuilder.h"
#include "score/model/Frame.h"
#include "score/model/Lyric.h"

namespace {

using Items = TNotationPage;

std::vector<double> At(const canvas::TCanvasCall* Call) { return {Call->Args[0], Call->Args[1]}; }

int WidthIn(Items& t, const canvas::TCanvasCall* Call, const std::u16string& Text) {
  t.p.canvas.Font = Call->Font;
  return t.p.canvas.TextWidth(Text);
}

// ---- tempo marks ----

TKVMark& Tempo(Items& t, uint8_t Variant, uint16_t Value, uint8_t Flags = 0) {
  TKVMark& mark = t.n.NewMark(ItemKind::TempoMark, Variant);
  mark.SetValue(Value), mark.SetFlags(Flags), mark.SetColor(0x00FF00);
  t.n.Add(&mark, {800, 800, 1000, 960});  // pixels 100, 100
  return mark;
}

// The beat's note (0x2A + variant) with its baseline 18 px down, then "="
// and the tempo one unit after it, in the tempo text font at 8 points.
TEST(TempoMarks, NoteAndText) {
  Items t;
  t.p.b.View.SetDataStyle(dsActiveVoice);  // never greyed
  Tempo(t, 2, 120);
  t.Draw();
  Calls glyphs = Glyphs(t.p.canvas), texts = t.Named("TextOutA");
  ASSERT_EQ(glyphs.size(), 1u);
  EXPECT_EQ(std::pair(glyphs[0]->Text, At(glyphs[0])), std::pair(std::u16string(u","), std::vector<double>({100, 118})));
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1]->Text, u"=120");
  EXPECT_EQ(std::tuple(texts[1]->Font.Name, texts[1]->Font.Size(), texts[1]->Font.Color),
            std::tuple(std::string("Arial"), 8, canvas::TColor(0x00FF00)));
  t.p.canvas.Font = glyphs[0]->Font;
  EXPECT_EQ(texts[1]->Args[0], 100 + t.p.canvas.TextWidthA(",") + 1);
  t.p.canvas.Font = texts[1]->Font;
  EXPECT_EQ(texts[1]->Args[1], 118 - t.p.canvas.TextHeight(u"A") / 2);
}

// Dots are three units round, five apart, after the head; they move the
// text only for notes without a flag. Notes the font has no glyph for draw
// their dots and text all the same.
TEST(TempoMarks, DotsAndNotesWithoutGlyph) {
  auto textX = [](uint8_t Variant, uint8_t Dots, size_t* Drawn = nullptr, std::vector<double>* First = nullptr) {
    Items t;
    Tempo(t, Variant, 96, uint8_t(Dots << 4));
    t.Draw();
    Calls dots = t.Named("SmoothPath");
    if (Drawn) *Drawn = dots.size();
    if (First && !dots.empty()) {
      const canvas::TRectF box = dots[0]->Path[0].Box;
      *First = {box.X, box.Y, box.W, box.H};
    }
    Calls texts = t.Named("TextOutA");
    return texts.back()->Args[0] - (texts.size() > 1 ? texts[0]->Args[0] : 100);
  };
  for (uint8_t variant : {0, 1, 2}) EXPECT_EQ(textX(variant, 3), textX(variant, 0) + 15) << int(variant);
  for (uint8_t variant : {3, 5}) EXPECT_EQ(textX(variant, 3), textX(variant, 0)) << int(variant);
  size_t drawn = 0;
  std::vector<double> first;
  textX(1, 2, &drawn, &first);
  EXPECT_EQ(drawn, 2u);
  ASSERT_EQ(first.size(), 4u);
  Items t;
  t.p.canvas.Font.Name = "Ostinel Symbols", t.p.canvas.Font.SetSize(18);
  EXPECT_EQ(first, std::vector<double>({100.0 + t.p.canvas.TextWidthA("+") + 1, 117, 3, 3}));

  for (uint8_t variant : {7, 9, 255}) {
    Items u;
    Tempo(u, variant, 60, 0x10 | 0x04);
    u.Draw();
    EXPECT_TRUE(Glyphs(u.p.canvas).empty()) << int(variant);
    EXPECT_EQ(u.Named("SmoothPath").size(), 1u);
    EXPECT_EQ(u.Texts(), std::vector<std::u16string>({u"=60", u"(", u")"}));
    EXPECT_EQ(u.Named("TextOutA")[0]->Args[0], 101);  // no room for the note
  }
}

// ---- rhythm equations ----

// Which side holds the triplet and which note values show: the heads,
// flags, filled rectangles and texts of each form.
TEST(RhythmEquations, Forms) {
  using Case = std::tuple<uint8_t, uint16_t, size_t, size_t, size_t>;  // variant, value, heads, flags, fills
  for (auto [variant, value, heads, flags, fills] :
       {Case{0, 0x40, 4, 1, 9}, {1, 0x20, 4, 0, 12}, {0, 0x50, 4, 0, 9}, {1, 0x40, 4, 1, 9}}) {
    Items t;
    TKVMark& mark = t.n.NewMark(ItemKind::TempoEquation, variant);
    mark.SetValue(value), mark.SetColor(0x0000FF);
    t.n.Add(&mark, {800, 800, 1600, 960});
    t.Draw();
    size_t h = 0, f = 0;
    for (const auto* g : Glyphs(t.p.canvas)) (g->Text == u"5" ? h : f) += 1;
    EXPECT_EQ(std::tuple(h, f, t.Named("FillRect").size()), std::tuple(heads, flags, fills))
        << int(variant) << " " << value;
    EXPECT_EQ(t.Texts().size(), 4u + heads + flags);
    for (const auto* fill : t.Named("FillRect")) EXPECT_EQ(fill->Brush.Color, 0x0000FFu);
  }
  // The flag of the right pair moves the closing parenthesis, that of the
  // left pair does not move "=".
  auto x = [](uint8_t Variant, uint16_t Value, const std::u16string& Text) {
    Items t;
    TKVMark& mark = t.n.NewMark(ItemKind::TempoEquation, Variant);
    mark.SetValue(Value);
    t.n.Add(&mark, {800, 800, 1600, 960});
    t.Draw();
    for (const auto* c : t.Named("TextOutA"))
      if (c->Text == Text) return c->Args[0];
    return -1.0;
  };
  EXPECT_EQ(x(1, 0x40, u")"), x(1, 0x20, u")") + 4);
  EXPECT_EQ(x(0, 0x40, u"="), x(0, 0x20, u"="));
}

// ---- lyrics ----

struct TLyrics : Items {
  TKVLyric& Lyric(std::vector<std::u16string> Lines, uint8_t Kind = ItemKind::Syllable) {
    auto* lyric = new TKVLyric(n.Measure);
    lyric->SetKind(Kind);
    lyric->Lines() = std::move(Lines);
    return *lyric;
  }
  // The text box from (100, 150) to (200, 170).
  TKVDisplayItem& Place(TKVLyric& L) {
    TKVDisplayItem& record = n.Add(&L, {800, 1200, 1600, 1360});
    record.Bounds2 = {800, 1200, 1600, 1360};
    return record;
  }
};

TEST(Lyrics, FontsAndSizes) {
  using Case = std::tuple<std::string, uint8_t, TKVWindowStyle, int, std::string, int>;
  for (auto [name, size, style, zoom, font, points] :
       {Case{"", 0, wsNormal, 100, "Arial", 8}, {"", 0, wsNormal, 150, "Arial", 12},
        {"", 0, wsPrint, 150, "Arial", 8}, {"Liberation Serif", 10, wsNormal, 200, "Liberation Serif", 20},
        {"", 12, wsPrint, 200, "Arial", 12}}) {
    TLyrics t;
    t.p.b.View.SetStyle(style);
    TKVLyric& lyric = t.Lyric({u"la"});
    lyric.SetText(name), lyric.SetFontSize(size);
    t.Place(lyric);
    t.Draw(zoom);
    Calls lines = t.Named("TextOut");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(std::pair(lines[0]->Font.Name, lines[0]->Font.Size()), std::pair(font, points));
  }
}

// Alignment within the box, the hyphen at the record's corner, and lines
// one text height apart.
TEST(Lyrics, LinesAlignmentAndHyphen) {
  for (uint8_t alignment : {0, 1, 2, 3}) {
    TLyrics t;
    TKVLyric& lyric = t.Lyric({u"la", u"lalala"});
    lyric.SetFlags(uint8_t(alignment << 4 | 1));
    TKVDisplayItem& record = t.Place(lyric);
    record.Bounds = {1680, 1200, 1760, 1280};
    t.Draw();
    Calls texts = t.Named("TextOut");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(std::pair(texts[0]->Text, At(texts[0])), std::pair(std::u16string(u"-"), std::vector<double>({210, 150})));
    const int w0 = WidthIn(t, texts[1], u"la"), w1 = WidthIn(t, texts[1], u"lalala"), h = t.p.canvas.TextHeight(u"A");
    const double x0 = alignment == 1 ? 100 + (100 - w0) / 2 : alignment == 2 ? 200 - w0 : 100;
    const double x1 = alignment == 1 ? 100 + (100 - w1) / 2 : alignment == 2 ? 200 - w1 : 100;
    EXPECT_EQ(At(texts[1]), std::vector<double>({x0, 150})) << int(alignment);
    EXPECT_EQ(At(texts[2]), std::vector<double>({x1, 150.0 + h})) << int(alignment);
  }
}

// Turned texts: a font turned by the angle, the block kept inside the box,
// each line's offset turned with it; 90, 180 and 270 degrees take the
// lower of the two ranges they border.
TEST(Lyrics, TurnedText) {
  for (uint16_t angle : {90, 180, 270, 45}) {
    TLyrics t;
    TKVLyric& lyric = t.Lyric({u"ab", u"c"});
    lyric.SetAngle(angle);
    t.Place(lyric);
    t.Draw();
    Calls texts = t.Named("TextOut");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->Font.Orientation, angle * 10);
    t.p.canvas.Font = texts[0]->Font;
    t.p.canvas.Font.Orientation = 0;
    const int W = t.p.canvas.TextWidth(u"ab"), h = t.p.canvas.TextHeight(u"A"), H = 2 * h;
    std::vector<double> first, second;
    switch (angle) {
      case 90: first = {100, 150.0 + W}, second = {100.0 + h, 150.0 + W}; break;
      case 180: first = {100.0 + W, 150.0 + H}, second = {100.0 + W, 150.0 + H - h}; break;
      case 270: first = {100.0 + H, 150}, second = {100.0 + H - h, 150}; break;
      default: {
        const double s = std::sqrt(0.5);
        first = {100, 150.0 + std::nearbyint(W * s)};
        second = {100.0 + std::nearbyint(h * s), 150.0 + std::nearbyint(W * s) + std::nearbyint(h * s)};
      }
    }
    EXPECT_EQ(At(texts[0]), first) << angle;
    EXPECT_EQ(At(texts[1]), second) << angle;
  }
}

// The text being edited is drawn upright, its selection in white on the
// highlight in up to three pieces; a selection that ends before it starts
// highlights nothing.
TEST(Lyrics, EditedText) {
  using Pos = TKVWindow::TKVTextPosition;
  using Piece = std::tuple<std::u16string, canvas::TColor, canvas::TBrushStyle>;
  struct Case {
    Pos From, To;
    std::vector<Piece> Pieces;
  };
  const canvas::TColor own = 0x00FF00, white = 0xFFFFFF;
  for (const Case& c : {Case{{1, 0}, {3, 0}, {{u"H", own, canvas::bsClear}, {u"el", white, canvas::bsSolid},
                                              {u"lo", own, canvas::bsClear}, {u"World", own, canvas::bsClear}}},
                        Case{{3, 0}, {2, 1}, {{u"Hel", own, canvas::bsClear}, {u"lo", white, canvas::bsSolid},
                                              {u"Wo", white, canvas::bsSolid}, {u"rld", own, canvas::bsClear}}},
                        Case{{0, 0}, {9, 1}, {{u"Hello", white, canvas::bsSolid}, {u"World", white, canvas::bsSolid}}},
                        Case{{2, 1}, {0, 0}, {{u"Hello", own, canvas::bsClear}, {u"World", own, canvas::bsClear}}}}) {
    TLyrics t;
    t.p.b.View.SetDataStyle(dsActiveVoice);
    TKVLyric& lyric = t.Lyric({u"Hello", u"World"}, ItemKind::LyricText);
    lyric.SetAngle(90), lyric.SetColor(own), lyric.SetStaffVoice(3);  // another voice: greyed unless edited
    TKVDisplayItem& record = t.Place(lyric);
    t.n.Select(record);
    t.p.b.View.EditedText = &record;
    t.p.b.View.TextSelStart = c.From, t.p.b.View.TextSelEnd = c.To;
    t.Draw();
    Calls texts = t.Named("TextOut");
    ASSERT_EQ(texts.size(), c.Pieces.size());
    double x = 100;
    for (size_t i = 0; i < texts.size(); ++i) {
      const auto& [text, colour, brush] = c.Pieces[i];
      EXPECT_EQ(std::tuple(texts[i]->Text, texts[i]->Font.Color, texts[i]->Brush.Style), c.Pieces[i]);
      EXPECT_EQ(texts[i]->Font.Orientation, 0);
      if (brush == canvas::bsSolid) {
        EXPECT_EQ(texts[i]->Brush.Color, 0xB59284u);
      }
      if (i > 0 && texts[i]->Args[1] != texts[i - 1]->Args[1]) x = 100;
      EXPECT_EQ(texts[i]->Args[0], x) << i;
      x += WidthIn(t, texts[i], text);
    }
    EXPECT_TRUE(t.Named("Polyline").empty()) << "no selection marks while edited";
  }
}

// Colours: the syllable being sung in the highlight (maroon when the lyric
// is that colour itself), others of another voice greyed.
TEST(Lyrics, Colours) {
  using Case = std::tuple<bool, canvas::TColor, uint8_t, canvas::TColor>;  // sounding, own, voice, drawn
  for (auto [sounding, own, voice, drawn] : {Case{true, 0x00FF00, 3, 0x0000FF}, {true, 0x0000FF, 0, 0x000080},
                                             {false, 0x00FF00, 3, 0x808080}, {false, 0x00FF00, 0, 0x00FF00}}) {
    TLyrics t;
    t.p.b.View.SetDataStyle(dsActiveVoice);
    TKVLyric& lyric = t.Lyric({u"la"});
    lyric.SetColor(own), lyric.SetStaffVoice(voice), lyric.State = sounding ? 0x40 : 0;
    t.Place(lyric);
    ASSERT_TRUE(t.p.b.View.BeginPlay());
    t.Draw();
    t.p.b.View.Stop();
    ASSERT_EQ(t.Named("TextOut").size(), 1u);
    EXPECT_EQ(t.Named("TextOut")[0]->Font.Color, drawn);
  }
}

// Records on no staff line have no part or piece to compare: lyrics and
// diagrams of another voice keep their colour.
TEST(Lyrics, WithoutAStaffLineKeepTheirColour) {
  TLyrics t;
  t.p.b.View.SetDataStyle(dsActiveVoice);
  TKVLyric& lyric = t.Lyric({u"la"}, ItemKind::LyricText);
  lyric.SetColor(0x00FF00), lyric.SetStaffVoice(3);
  t.Place(lyric).StaffLine = nullptr;
  auto* frame = new TKVFrame(t.n.Measure);
  frame->SetColor(0x00FF00), frame->SetStaffVoice(3);
  frame->Data().setU8(FrameBlock::EntryCount, 4), frame->SizeArraysFromBlock();
  t.n.Add(frame, {800, 800, 1200, 1200}).StaffLine = nullptr;
  t.Draw();
  ASSERT_EQ(t.Named("TextOut").size(), 1u);
  EXPECT_EQ(t.Named("TextOut")[0]->Font.Color, 0x00FF00u);
  ASSERT_FALSE(t.Named("FillRect").empty());
  EXPECT_EQ(t.Named("FillRect")[0]->Brush.Color, 0x00FF00u);
}

// A part's name shows where its staff line is and some staff of the part
// is shown.
TEST(Lyrics, PartNames) {
  using Case = std::tuple<bool, bool, uint8_t, size_t>;  // staff line, part record, its flags, lines drawn
  for (auto [staffLine, partRecord, flags, drawn] :
       {Case{true, false, 0, 1}, {true, true, 0, 1}, {true, true, 1, 0}, {false, false, 0, 0}}) {
    TLyrics t;
    TKVDisplayItem& record = t.Place(t.Lyric({u"Piano"}, ItemKind::LyricLine));
    TKVSystemPartRecord part;
    part.Flags = flags;
    if (partRecord) t.n.Line->PartRecord = &part;
    if (!staffLine) record.StaffLine = nullptr;
    t.Draw();
    EXPECT_EQ(t.Named("TextOut").size(), drawn);
    t.n.Line->PartRecord = nullptr;
  }
}

// ---- chord frames ----

struct TFrames : Items {
  // Strings with (mark, row); fret rows with barré bytes.
  TKVFrame& Frame(std::vector<std::pair<uint8_t, uint8_t>> Strings, std::vector<uint8_t> Barres, uint8_t First = 0) {
    auto* frame = new TKVFrame(n.Measure);
    frame->Data().setU8(FrameBlock::EntryCount, uint8_t(Strings.size()));
    frame->Data().setU8(FrameBlock::ValueCount, uint8_t(Barres.size()));
    frame->SizeArraysFromBlock();
    for (size_t i = 0; i < Strings.size(); ++i) frame->Entries()[i] = {0, Strings[i].first, Strings[i].second};
    frame->Values() = Barres;
    frame->SetFirstFret(First), frame->SetColor(0x00FF00);
    n.Add(frame, {800, 800, 1200, 1200});  // pixels 100, 100
    return *frame;
  }
  std::vector<std::vector<double>> Rects(const std::string& Name) {
    std::vector<std::vector<double>> rects;
    for (const auto* c : Named(Name)) rects.push_back(c->Args);
    return rects;
  }
};

using TRects = std::vector<std::vector<double>>;

// Strings upright: the nut, the border, the string and fret bars, a dot
// that runs on over a string of another row to the next one stopped at the
// same row, the marks above.
TEST(ChordFrames, UprightGrid) {
  TFrames t;
  t.Frame({{1, 2}, {2, 1}, {1, 2}, {0, 0}}, {0, 0, 0});
  t.Draw();
  // Unit 1, cell 6: strings at x 103, 109, 115, 121; the grid from y 110
  // (after the nut) to 128.
  EXPECT_EQ(t.Rects("FillRect"), TRects({{103, 108, 122, 109},
                                         {103, 110, 121, 111}, {103, 110, 104, 129}, {121, 110, 122, 129},
                                         {103, 128, 121, 129},
                                         {103, 110, 104, 129}, {109, 110, 110, 129}, {115, 110, 116, 129},
                                         {103, 116, 122, 117}, {103, 122, 122, 123}}));
  // RoundRect records its box and corner size.
  EXPECT_EQ(t.Rects("RoundRect"), TRects({{101, 118, 117, 121, 4, 4}, {107, 112, 111, 115, 4, 4},
                                          {113, 118, 117, 121, 4, 4}}));
  std::vector<std::u16string> marks;
  for (const auto* c : t.Named("TextOutA")) {
    marks.push_back(c->Text);
    EXPECT_EQ(c->Args[1], 98);
  }
  EXPECT_EQ(marks, std::vector<std::u16string>({u"1", u"2", u"1", u"0"}));
  EXPECT_EQ(t.Named("TextOutA")[0]->Font.Size(), 6);
}

// A barré spans to the last string; in the lying form its end mirrors the
// upright one. A diagram from a higher fret shows that fret's numeral and
// no nut.
TEST(ChordFrames, BarresNumeralsAndOrientations) {
  for (TKVFrameOrientation orientation : {foTop, foLeft}) {
    TFrames t;
    t.p.b.Score->SetFrameOrientation(orientation);
    t.Frame({{1, 1}, {3, 3}, {255, 0}, {1, 1}}, {1, 0, 0}, 4);
    t.Draw();
    TRects dots = t.Rects("RoundRect");
    ASSERT_EQ(dots.size(), 3u);
    // The barré's far end lies two units past the last string (x or y
    // 103 + 3 x 6 + 2 from the first string, widened by the numeral).
    t.p.canvas.Font = t.Named("TextOutA").back()->Font;
    const double numeral = orientation == foTop ? t.p.canvas.TextWidthA("V") : t.p.canvas.TextHeight(u"A");
    EXPECT_EQ(orientation == foTop ? dots[0][2] : dots[0][3], 100 + 3 + numeral + 18 + 2);
    Calls texts = t.Named("TextOutA");
    EXPECT_EQ(texts.back()->Text, u"V");
    EXPECT_EQ(texts[2]->Text, u"X");
    EXPECT_EQ(t.Rects("FillRect").size(), 4u + 3u + 2u) << "no nut";
  }
}

TEST(ChordFrames, SmallSizesAndOtherOrientations) {
  {
    // At 10 % the unit rounds to nothing: bars stay a pixel wide.
    Drawing p(10);
    TNotationBuilder n(p.b);
    auto* frame = new TKVFrame(n.Measure);
    frame->Data().setU8(FrameBlock::EntryCount, 6), frame->SizeArraysFromBlock();
    n.Add(frame, {800, 800, 1200, 1200});
    p.canvas.Calls.clear();
    p.d.DrawPageContent(0, 10, 10, 0, 0);
    DropStaffLines(p.canvas);
    Calls bars = p.Named("FillRect");
    ASSERT_FALSE(bars.empty());
    for (const auto* bar : bars) EXPECT_GE(std::min(bar->Args[2] - bar->Args[0], bar->Args[3] - bar->Args[1]), 1);
  }
  // Lying on the bottom or the right, or without strings: only the
  // selection corners.
  for (auto [orientation, strings] : {std::pair{foBottom, 1}, {foRight, 1}, {foTop, 0}, {foLeft, 0}}) {
    TFrames t;
    t.p.b.Score->SetFrameOrientation(orientation);
    t.Frame(std::vector<std::pair<uint8_t, uint8_t>>(size_t(strings), {1, 1}), {0});
    t.n.Select(*t.n.Record->Displays.back());
    t.Draw();
    EXPECT_EQ(t.p.canvas.Names(), std::vector<std::string>({"Polyline", "Polyline", "Polyline", "Polyline"}));
  }
}

}  // namespace
