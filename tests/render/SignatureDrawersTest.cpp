// Time and key signatures, accidentals and dot rows on hand-built records
// (recording canvas, 10-pixel spaces, the staff's top line at y 100).

#include <gtest/gtest.h>

#include "render/NotationBuilder.h"

namespace {

using Items = TNotationPage;

std::vector<double> At(const canvas::TCanvasCall* Call) { return {Call->Args[0], Call->Args[1]}; }
std::u16string U(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// The width of a text in the font a recorded call wrote with.
int WidthIn(Items& t, const canvas::TCanvasCall* Call, const std::string& Text) {
  t.p.canvas.Font = Call->Font;
  return t.p.canvas.TextWidthA(Text);
}

// ---- time signatures ----

TKVMark& Meter(Items& t, uint16_t Value, uint8_t Style, std::vector<uint16_t> Alternatives = {}) {
  TKVMark& mark = t.n.NewMark(ItemKind::Meter, 0);
  mark.SetValue(Value), mark.SetFlags(Style);
  mark.Extra().Resize(Alternatives.size() * 2);
  for (size_t i = 0; i < Alternatives.size(); ++i) mark.Extra().setU16(i * 2, Alternatives[i]);
  t.n.Add(&mark, {800, 800, 960, 1120});  // pixels 100 .. 120, 100 .. 140
  return mark;
}

// The common-time glyph stands only for 4/4 in style 1, alla breve for 4/4
// and 2/4 in style 2; everything else is written in numbers.
TEST(TimeSignatures, GlyphOrNumbers) {
  using Case = std::tuple<uint16_t, uint8_t, std::u16string>;  // meter, style, what is written
  for (auto [meter, style, written] : {Case{0x0404, 1, u"'"}, {0x0204, 1, u"24"}, {0x0204, 2, u"("},
                                       {0x0404, 2, u"("}, {0x0404, 3, u"44"}, {0x0C08, 0, u"128"}}) {
    Items t;
    Meter(t, meter, style);
    t.Draw();
    std::u16string texts;
    for (const auto& s : t.Texts()) texts += s;
    EXPECT_EQ(texts, written) << std::hex << meter << " style " << int(style);
    const bool glyph = written.size() == 1;
    EXPECT_EQ(Glyphs(t.p.canvas).size(), glyph ? 1u : 0u);
    if (glyph) {
      EXPECT_EQ(At(Glyphs(t.p.canvas)[0]), std::vector<double>({100, 120}));
      EXPECT_EQ(Glyphs(t.p.canvas)[0]->Font.Size(), 18);
    } else {
      // Numerator and denominator in the time-signature text font at 11
      // points, each centred on the wider one.
      Calls numbers = t.Named("TextOutA");
      ASSERT_EQ(numbers.size(), 2u);
      EXPECT_EQ(numbers[0]->Font.Size(), 11);
      EXPECT_EQ(numbers[0]->Font.Name, "Arial");
      const int w0 = WidthIn(t, numbers[0], std::string(numbers[0]->Text.begin(), numbers[0]->Text.end()));
      const int w1 = WidthIn(t, numbers[1], std::string(numbers[1]->Text.begin(), numbers[1]->Text.end()));
      EXPECT_EQ(numbers[0]->Args[0], 100 + (std::max(w0, w1) - w0) / 2);
      EXPECT_EQ(numbers[1]->Args[0], 100 + (std::max(w0, w1) - w1) / 2);
      EXPECT_EQ(numbers[1]->Args[1], 118);  // two units above the middle
    }
  }
}

// Alternative meters follow in parentheses: after a glyph at its width, a
// skipped middle entry leaving no gap, additive ones with "+" over one
// denominator centred under them.
TEST(TimeSignatures, AlternativeMeters) {
  {
    Items t;
    Meter(t, 0x0404, 1, {0x0308});
    t.Draw();
    Calls texts = t.Named("TextOutA");
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[1]->Text, u"(");
    EXPECT_EQ(texts[1]->Args[0], 100 + WidthIn(t, texts[0], "'"));
  }
  for (bool additive : {false, true}) {
    Items t;
    TKVMark& mark = Meter(t, 0x0404, 3, {0x0308, 0x0008, 0x0208});
    if (additive) mark.SetFlags(uint8_t(3 | 0x10));
    t.Draw();
    std::vector<std::u16string> texts = t.Texts();
    EXPECT_EQ(texts, additive ? std::vector<std::u16string>({u"4", u"4", u"(", u"3", u"+", u"2", u"8", u")"})
                              : std::vector<std::u16string>({u"4", u"4", u"(", u"3", u"8", u"2", u"8", u")"}));
    Calls calls = t.Named("TextOutA");
    const int open = int(calls[2]->Args[0]) + WidthIn(t, calls[2], "(");
    // Each meter as wide as its wider number, its numerator centred on it.
    const int w0 = std::max(WidthIn(t, calls[3], "3"), WidthIn(t, calls[3], "8"));
    const int w2 = std::max(WidthIn(t, calls[3], "2"), WidthIn(t, calls[3], "8"));
    EXPECT_EQ(calls[3]->Args[0], open + (w0 - WidthIn(t, calls[3], "3")) / 2);
    if (additive) {
      // 3+2 over one 8, centred between the parenthesis and the end.
      const int plus = WidthIn(t, calls[4], "+"), end = open + w0 + plus + w2;
      EXPECT_EQ(calls[4]->Args[0], open + w0);
      EXPECT_EQ(calls[5]->Args[0], open + w0 + plus + (w2 - WidthIn(t, calls[3], "2")) / 2);
      EXPECT_EQ(calls[6]->Args[0], 100 + (open - 100 + end - 100 - WidthIn(t, calls[6], "8")) / 2);
      EXPECT_EQ(calls[7]->Args[0], end);
    } else {
      // Two units between the meters, none for the skipped one.
      EXPECT_EQ(calls[5]->Args[0], open + w0 + 4 + (w2 - WidthIn(t, calls[3], "2")) / 2);
      EXPECT_EQ(calls[7]->Args[0], open + w0 + 4 + w2);
    }
  }
}

// 3+2+2 over 8: two "+" and one "8", centred under the three numerators
// and the signs between them.
TEST(TimeSignatures, AdditiveOverOneDenominator) {
  Items t;
  Meter(t, 0x0708, 3 | 0x10, {0x0308, 0x0208, 0x0208});
  t.Draw();
  EXPECT_EQ(t.Texts(), std::vector<std::u16string>({u"7", u"8", u"(", u"3", u"+", u"2", u"+", u"2", u"8", u")"}));
  Calls calls = t.Named("TextOutA");
  const int start = int(calls[2]->Args[0]) + WidthIn(t, calls[2], "(");
  const int end = int(calls[9]->Args[0]), eight = WidthIn(t, calls[8], "8");
  EXPECT_EQ(calls[8]->Args[0], 100 + (start - 100 + end - 100 - eight) / 2);
  // Each numerator sits in the width of its meter, the wider of it and 8.
  const int w3 = std::max(WidthIn(t, calls[3], "3"), eight), w2 = std::max(WidthIn(t, calls[3], "2"), eight);
  const int plus = WidthIn(t, calls[4], "+");
  EXPECT_EQ(end, start + w3 + plus + w2 + plus + w2);
}

// ---- key signatures ----

struct TKeys {
  Items t;
  TKVMark& Key(uint8_t Variant, std::vector<uint16_t> Entries = {}) {
    TKVMark& mark = t.n.NewMark(ItemKind::KeySignature, Variant);
    for (size_t i = 0; i < Entries.size(); ++i) mark.Extra().setU16(i * 2, Entries[i]);
    return mark;
  }
  // A key's record at x (pixels), its rectangle's top on the staff's top.
  TKVDisplayItem& Place(TKVMark& Mark, int32_t X) { return t.n.Add(&Mark, {X * 8, 800, X * 8 + 200, 1120}); }
  // The naturals of Previous that Mark leaves.
  TKVDisplayItem& Cancel(TKVMark& Previous, TKVMark& Mark, int32_t X) {
    auto& old = Own.emplace_back(std::make_unique<TKVDisplayItem>());
    old->Item = &Previous;
    TKVDisplayItem& record = Place(Mark, X);
    record.Links = {old.get()};
    return record;
  }
  std::vector<std::tuple<char16_t, double, double>> Written() {
    t.Draw();
    std::vector<std::tuple<char16_t, double, double>> written;
    for (const auto* c : Glyphs(t.p.canvas)) written.emplace_back(c->Text[0], c->Args[0], c->Args[1]);
    return written;
  }
  std::vector<std::unique_ptr<TKVDisplayItem>> Own;
};

using TGlyphs = std::vector<std::tuple<char16_t, double, double>>;
// The base line lies 15 px below the rectangle's top (at 100 %): sharps on
// F at 115, C 130, G 110, D 125, A 140, E 120, B 135; flats on B 135, E
// 120, A 140, D 125, G 145, C 130, F 150.

// From three sharps to one flat: naturals on F, C and G, which one flat
// leaves alone, then the flat on B; from two flats to four, nothing to
// cancel.
TEST(KeySignatures, CancellationNaturals) {
  {
    TKeys k;
    TKVMark &sharps = k.Key(3), &flat = k.Key(11);
    k.Cancel(sharps, flat, 100);
    k.Place(flat, 125);
    EXPECT_EQ(k.Written(), TGlyphs({{u'D', 100, 115}, {u'D', 105, 130}, {u'D', 110, 110}, {u'@', 125, 135}}));
  }
  {
    TKeys k;
    TKVMark &two = k.Key(12), &four = k.Key(14);
    k.Cancel(two, four, 100);
    k.Place(four, 125);
    EXPECT_EQ(k.Written(), TGlyphs({{u'@', 125, 135}, {u'@', 130, 120}, {u'@', 135, 140}, {u'@', 140, 125}}));
  }
  {
    // Four sharps to a key of its own on F and C: naturals on G and D.
    TKeys k;
    TKVMark &sharps = k.Key(4), &own = k.Key(20, {0x5303, 0x5003});
    k.Cancel(sharps, own, 100);
    TGlyphs written = k.Written();
    written.resize(2);
    EXPECT_EQ(written, TGlyphs({{u'D', 100, 110}, {u'D', 105, 125}}));
  }
}

// Keys by their variant: how many sharps or flats, naturals of a key of
// none, and nothing at all where nothing is cancelled.
TEST(KeySignatures, Counts) {
  using Case = std::tuple<uint8_t, uint8_t, std::u16string>;  // key, cancelled key, glyphs
  for (auto [key, cancelled, glyphs] :
       {Case{1, 0, u"B"}, {7, 0, u"BBBBBBB"}, {8, 0, u"BBBBBBB"}, {9, 0, u"BBBBBBB"}, {10, 0, u"@"},
        {11, 0, u"@"}, {13, 0, u"@@@"}, {17, 0, u"@@@@@@@"}, {18, 0, u"@@@@@@@"}, {21, 0, u"@@@@@@@"},
        {0, 2, u"DD"}, {0, 13, u"DDD"}, {0, 0, u""}}) {
    TKeys k;
    TKVMark& mark = k.Key(key);
    mark.CancelledKey = cancelled;
    k.Place(mark, 100);
    std::u16string written;
    for (auto [code, x, y] : k.Written()) written += code;
    EXPECT_EQ(written, glyphs) << int(key) << " " << int(cancelled);
  }
  // A cancellation of no key writes nothing either.
  TKeys k;
  TKVMark &none = k.Key(0), &two = k.Key(2);
  k.Cancel(none, two, 100);
  EXPECT_EQ(k.Written().size(), 0u);
}

// A key of its own: each accidental after the one before by its own width
// and one unit, at its octave and step; an entry without a glyph takes no
// room.
TEST(KeySignatures, KeyOfItsOwn) {
  TKeys k;
  // F#5, an entry of code 7 (no key form), Bb4, C5 natural, empty.
  k.Place(k.Key(20, {0x5303, 0x5307, 0x4601, 0x5005, 0x0000}), 100);
  TGlyphs written = k.Written();
  ASSERT_EQ(written.size(), 3u);
  const canvas::TCanvasCall* first = Glyphs(k.t.p.canvas)[0];
  const int sharp = WidthIn(k.t, first, "B"), flat = WidthIn(k.t, first, "@");
  // Octave 5 holds middle C: its step 0 lies five spaces below the base line.
  EXPECT_EQ(written[0], std::make_tuple(u'B', 100.0, 150.0));
  EXPECT_EQ(written[1], std::make_tuple(u'@', 100.0 + sharp + 1, 170.0));
  EXPECT_EQ(written[2], std::make_tuple(u'D', 100.0 + sharp + 1 + flat + 1, 165.0));
}

// Under a percussion clef no key is drawn.
TEST(KeySignatures, NoneUnderAPercussionClef) {
  for (uint8_t clef : {1, 14, 15}) {
    TKeys k;
    TKVDisplayItem& clefRecord = k.t.n.Add(&k.t.n.NewMark(ItemKind::Clef, clef), {800, 800, 900, 1120});
    auto& part = *k.t.n.Record->PartRecords.emplace_back(std::make_unique<TKVPartLayoutRecord>());
    part.StaffRecords.emplace_back(std::make_unique<TKVStaffLayoutRecord>())->ClefList = {&clefRecord};
    k.Place(k.Key(2), 120);
    size_t keys = 0;
    for (auto [code, x, y] : k.Written()) keys += code == u'B';
    EXPECT_EQ(keys, clef == 1 ? 2u : 0u) << int(clef);
  }
}

// ---- accidentals ----

TEST(Accidentals, GlyphLiftSizeAndBrackets) {
  // code, staff size, grace, brackets; glyph, y, size (empty glyph: none)
  using Case = std::tuple<uint8_t, int, bool, uint8_t, std::u16string, double, int>;
  for (auto [code, size, grace, brackets, glyph, y, points] :
       {Case{0, 100, false, 0, u"@", 112, 18}, {2, 100, false, 0, u"B", 109, 18}, {2, 75, false, 0, u"B", 107, 14},
        {3, 75, false, 0, u"C", 102, 14}, {4, 100, false, 0, u"D", 109, 18}, {5, 100, false, 0, u"E", 110, 18},
        {2, 100, true, 0, u"B", 109, 14}, {137, 100, false, 0, U("\xEE"), 112, 18},
        {138, 100, false, 0, U("\xEF"), 109, 18}, {7, 100, false, 1, u"", 0, 0}, {4, 100, false, 2, u"D", 109, 18}}) {
    Items t;
    TKVVorschlag* group = grace ? new TKVVorschlag(t.n.Measure) : nullptr;
    TKVNote& note = t.n.NewNote(4, 128, false, group);
    TKVMark& mark = *new TKVMark(&note);
    mark.SetKind(ItemKind::Accidental), mark.SetVariant(code), mark.SetFlags(uint8_t(brackets << 2));
    TKVDisplayItem& record = t.n.Add(&mark, {800, 800, 848, 960});  // pixels 100, 100, 106, 120
    record.SizePercent = uint8_t(size);
    t.Draw();
    Calls glyphs = Glyphs(t.p.canvas);
    ASSERT_EQ(glyphs.size(), glyph.size()) << int(code);
    if (!glyph.empty()) {
      EXPECT_EQ(std::pair(glyphs[0]->Text, At(glyphs[0])), std::pair(glyph, std::vector<double>({100, y})))
          << int(code);
      EXPECT_EQ(glyphs[0]->Font.Size(), points) << int(code);
    }
    Calls pair = t.Named("TextOut");
    ASSERT_EQ(pair.size(), brackets ? 2u : 0u);
    if (brackets) {
      // Brackets three units before and right after, seven units above the
      // glyph's baseline.
      const double baseline = glyph.empty() ? 100 : y;
      EXPECT_EQ(At(pair[0]), std::vector<double>({97, baseline - 7}));
      EXPECT_EQ(At(pair[1]), std::vector<double>({106, baseline - 7}));
      EXPECT_EQ(pair[0]->Text, brackets == 1 ? u"(" : u"[");
    }
  }
}

// ---- dot rows ----

// Value + 1 dots five units apart on the rectangle's middle; greyed by the
// owner: a note by its voice, a rest by its own staff and voice numbers.
TEST(DotRows, DotsAndDimming) {
  using Case = std::tuple<uint16_t, bool, uint8_t, uint16_t, canvas::TColor>;  // value, rest, staff/voice, voice id
  for (auto [value, onRest, staffVoice, voiceId, drawn] :
       {Case{0, false, 0, 0, 0x00FF00}, {2, false, 0, 0, 0x00FF00}, {2, false, 0, 4, 0x808080},
        {1, true, 0x00, 0, 0x00FF00}, {1, true, 0x01, 0, 0x808080}, {1, true, 0x10, 0, 0x808080}}) {
    Items t;
    t.p.b.View.SetDataStyle(dsActiveVoice);
    TObject* owner;
    if (onRest) {
      auto* rest = new TKVPause(t.n.Measure);
      rest->SetStaffVoice(staffVoice);
      owner = rest;
    } else {
      TKVNote& note = t.n.NewNote(4, 192);
      note.VoiceKey().VoiceNumber = voiceId;
      owner = &note;
    }
    TKVMark& dots = *new TKVMark(owner);
    dots.SetKind(ItemKind::Dot), dots.SetValue(value), dots.SetColor(0x00FF00);
    t.n.Add(&dots, {800, 880, 848, 960});  // pixels 100, 110, 106, 120
    t.Draw();
    Calls ellipses = t.Named("SmoothPath");
    ASSERT_EQ(ellipses.size(), size_t(value) + 1);
    for (size_t i = 0; i < ellipses.size(); ++i) {
      EXPECT_EQ(ellipses[i]->SmoothBrush->Color, canvas::ArgbOf(drawn));
      // Three units wide, a unit before the dot's x (two units in), two
      // units above the middle (half a unit rounds to 0 at 100 %).
      EXPECT_EQ(ellipses[i]->Path[0].Box, (canvas::TRectF{101.0 + 5.0 * double(i), 113, 3, 3}));
    }
  }
  // A hidden rest shows none.
  Items t;
  auto* rest = new TKVPause(t.n.Measure);
  rest->SetFlags(0x80);
  TKVMark& dots = *new TKVMark(rest);
  dots.SetKind(ItemKind::Dot);
  t.n.Add(&dots, {800, 880, 848, 960});
  t.Draw();
  EXPECT_TRUE(t.p.canvas.Calls.empty());
}

}  // namespace
