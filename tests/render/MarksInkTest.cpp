// Marks drawn with the real canvas and fonts: where the ink of accidentals,
// slurs and lyric lines lands, measured on the page. Records stand where
// the layout puts them on the default page (spaces of six pixels at
// 100 %).

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/musicfont/MusicFont.h"
#include "render/InkMeasure.h"
#include "render/NotationBuilder.h"
#include "render/notation/GlyphCodes.h"
#include "score/model/Frame.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "support/sketch/ReviewImages.h"

namespace {

using TAdd = std::function<void(TNotationBuilder&)>;

class MarksInk : public ::testing::TestWithParam<int> {
protected:
  int Zoom() const { return GetParam(); }
  static constexpr int kSpacePx = 6, kSpace = 8 * kSpacePx, kTop = 800;
  canvas::TBitmap Page(const TAdd& Add) {
    TPageBuilder b(1, kSpacePx);
    TNotationBuilder n(b, 5, 100, kTop, kSpace);
    if (Add) Add(n);
    canvas::TBitmap bitmap(Zoom() * 4, Zoom() * 3);
    render::TKVPageDrawer(b.View, bitmap.Canvas()).DrawPageContent(0, Zoom(), Zoom(), 0, 0);
    return bitmap;
  }
  TInk InkOf(const TAdd& Add, const TAdd& Without = nullptr) { return InkBetween(Page(Without), Page(Add)); }
  double Space() const { return kSpacePx * Zoom() / 100.0; }
  TRealLayout fonts;
};

// An accidental where the layout puts it (its rectangle's top the glyph's
// lift above the note's line, ending two pixels before the head) lies
// left of the head, its middle on the head's line or space: flats by their
// bowl, which stands on the note.
TEST_P(MarksInk, AccidentalsStandBeforeTheirHeads) {
  const int32_t head = musicfont::CurrentMusicFont().Advance('5', 18) * 8;
  for (uint8_t code : {0, 1, 2, 3, 4})
    for (int pos : {-3, 0, 3, 4, 8, 11}) {
      SCOPED_TRACE(::testing::Message() << "code " << int(code) << " position " << pos);
      TAdd note = [&](TNotationBuilder& n) { n.Head(n.NewNote(pos, 128, true), 1600, head); };
      const TInk headInk = InkOf(note);
      const TInk ink = InkOf(
          [&](TNotationBuilder& n) {
            note(n);
            TKVNote& owner = *static_cast<TKVNote*>(n.Record->Displays.back()->Item);
            TKVMark& sign = *new TKVMark(&owner);
            sign.SetKind(ItemKind::Accidental), sign.SetVariant(code);
            const int32_t y = kTop + pos * kSpace / 2;
            const bool flat = code <= 1;
            const int32_t above = flat ? 96 : code == 3 ? 24 : 72, below = flat ? 24 : above;
            n.Add(&sign, {1600 - 16 - 8 * 14, y - above, 1600 - 16, y + below});
          },
          note);
      ASSERT_FALSE(ink.Empty());
      EXPECT_LT(ink.Right, headInk.Left);
      const double line = (headInk.Top + headInk.Bottom + 1) / 2.0;
      // A flat's bowl is its lower part: its ink ends half a space below
      // the note.
      const bool flat = code <= 1;
      const double middle = flat ? ink.Bottom + 1 - Space() / 2 : (ink.Top + ink.Bottom + 1) / 2.0;
      EXPECT_NEAR(middle, line, Space() / 4 + 0.5);
    }
}

// Fermatas and pedal marks stay in the two-space rectangle the layout gives
// them beside their note, never rising over it.
TEST_P(MarksInk, FermatasAndPedalMarksStayInTheirRectangles) {
  for (auto [kind, variant] : {std::pair{ItemKind::Fermata, 0}, {ItemKind::Fermata, 1}, {ItemKind::Pedal, 0}, {ItemKind::Pedal, 1}}) {
    const TInk ink = InkOf([&](TNotationBuilder& n) { n.Add(&n.NewMark(kind, uint8_t(variant)), {1536, 1600, 1664, 1696}); });
    EXPECT_GE(ink.Top, 2 * Zoom() - 1) << int(kind) << " " << variant;
    EXPECT_LE(ink.Bottom, 212 * Zoom() / 100 + 1) << int(kind) << " " << variant;
  }
}

// A solid slur is thicker in its middle than near its ends: the ink's
// darkness summed down a column across the curve.
TEST_P(MarksInk, SolidSlursSwellInTheirMiddle) {
  for (int arch : {-30, 30}) {
    SCOPED_TRACE(arch < 0 ? "arching up" : "arching down");
    canvas::TBitmap base = Page(nullptr), page = Page([&](TNotationBuilder& n) {
      auto* slur = new TKVLiga(&n.NewNote(4, 128));
      slur->SetControls(40 * 8, int16_t(arch * 8), -40 * 8, int16_t(arch * 8));
      n.Add(slur, {}).Bounds2 = {800, 1600, 2400, 1600};  // from x 100 to 300 px at 100 %
    });
    auto across = [&](double Fraction) {
      const int x = int(std::lround((100 + 200 * Fraction) * Zoom() / 100.0));
      int sum = 0;
      for (int y = 0; y < page.Height(); ++y)
        sum += std::max(0, Darkness(page.ColorAt(x, y)) - Darkness(base.ColorAt(x, y)));
      return sum;
    };
    const int middle = across(0.5);
    EXPECT_GT(middle, 255) << "at least a pixel thick";
    EXPECT_GT(middle, across(0.1) + 96);
    EXPECT_GT(middle, across(0.9) + 96);
  }
}

// A centred line of Cyrillic text is centred by its own drawn width.
TEST_P(MarksInk, CentredTextIsCentredByWhatIsDrawn) {
  for (const std::u16string& text : {std::u16string(u"Привет, мир"), std::u16string(u"Жёлтый")}) {
    const TInk ink = InkOf([&](TNotationBuilder& n) {
      auto* lyric = new TKVLyric(n.Measure);
      lyric->SetKind(ItemKind::LyricText), lyric->SetFlags(0x10), lyric->SetFontSize(12);
      lyric->Lines() = {text};
      n.Add(lyric, {}).Bounds2 = {800, 1600, 2400, 1760};  // from x 100 to 300 px at 100 %
    });
    ASSERT_FALSE(ink.Empty());
    EXPECT_NEAR((ink.Left + ink.Right + 1) / 2.0, 200 * Zoom() / 100.0, 1.5 * Zoom() / 100.0);
  }
}

// Pages of what these drawers draw, saved for people to look at:
// build/<flavour>/render-pages/builder-marks-<zoom>.png (signatures,
// accidentals, dots, slurs, tuplets, lyrics, tempo marks, rhythm
// equations, texts) and builder-frames-<zoom>.png (chord diagrams upright
// and lying, side by side).
TEST_P(MarksInk, WritesTheBuilderSheets) {
  auto width = [](uint8_t code) { return musicfont::CurrentMusicFont().Advance(code, 18) * 8; };
  const int32_t head = width('5'), ls = kSpace;
  {
    TPageBuilder b(1, kSpacePx);
    TNotationBuilder a(b, 5, 100, 800, ls), c(b, 5, 100, 2000, ls), d(b, 5, 100, 3200, ls);
    const int32_t bottom = 800 + 4 * ls;
    auto mark = [](TNotationBuilder& n, uint8_t Kind, uint8_t Variant, TKVLayoutRect R) -> TKVMark& {
      TKVMark& m = n.NewMark(Kind, Variant);
      n.Add(&m, R);
      return m;
    };
    auto note = [&](TNotationBuilder& n, int Pos, int32_t X, uint16_t Duration = 128, bool Down = false) -> TKVNote& {
      TKVNote& nt = n.NewNote(Pos, Duration, Down);
      n.Head(nt, X, head);
      n.Stem(nt, X, head, 168);
      return nt;
    };
    auto sign = [&](TNotationBuilder& n, TKVNote& Owner, uint8_t Code, int32_t X, int Top, uint8_t Flags = 0) {
      TKVMark& m = *new TKVMark(&Owner);
      m.SetKind(ItemKind::Accidental), m.SetVariant(Code), m.SetFlags(Flags);
      const int32_t y = Top + Owner.StaffStep * ls / 2, above = Code <= 1 ? 96 : Code == 3 ? 24 : 72;
      n.Add(&m, {X - 16 - width(render::glyph::AccidentalGlyph(Code)), y - above, X - 16, y + (Code <= 1 ? 24 : above)});
    };
    // First staff: clef, key and time, accidentals, dots, a cancelled key
    // and meters with alternatives.
    mark(a, ItemKind::Clef, 1, {160, 800 - 96, 160 + width('"'), bottom + 96});
    mark(a, ItemKind::KeySignature, 3, {560, 800 - 120, 760, 800 + 192});
    TKVMark& common = mark(a, ItemKind::Meter, 0, {800, 800, 900, bottom});
    common.SetValue(0x0404), common.SetFlags(1);
    int32_t x = 1100;
    for (auto [pos, code, flags] : {std::tuple{5, 0, 0}, {1, 2, 0}, {4, 4, 0}, {6, 3, 0}, {8, 1, 0}, {2, 2, 4},
                                    {7, 0, 8}}) {
      TKVNote& nt = note(a, pos, x += 220);
      sign(a, nt, uint8_t(code), x, 800, uint8_t(flags));
    }
    for (auto [pos, dots] : {std::pair{5, 0}, {4, 1}}) {
      TKVNote& nt = note(a, pos, x += 240, 192);
      TKVMark& m = *new TKVMark(&nt);
      m.SetKind(ItemKind::Dot), m.SetValue(uint16_t(dots));
      const int32_t top = a.HeadTop(pos) - (pos % 2 == 0 ? ls / 2 : 0);
      a.Add(&m, {x + head + 16, top, x + head + 16, top + ls});
    }
    TKVMark& threeSharps = a.NewMark(ItemKind::KeySignature, 3);
    TKVDisplayItem old;
    old.Item = &threeSharps;
    TKVMark& flat = a.NewMark(ItemKind::KeySignature, 11);
    a.Add(&flat, {x += 300, 800 - 120, x + 200, 800 + 192}).Links = {&old};
    a.Add(&flat, {x += 180, 800 - 120, x + 200, 800 + 192});
    TKVMark& alternatives = mark(a, ItemKind::Meter, 0, {x += 120, 800, x + 100, bottom});
    alternatives.SetValue(0x0304), alternatives.SetFlags(3), alternatives.Extra().Resize(6);
    alternatives.Extra().setU16(0, 0x0608);
    TKVMark& additive = mark(a, ItemKind::Meter, 0, {x += 600, 800, x + 100, bottom});
    additive.SetValue(0x0708), additive.SetFlags(3 | 0x10), additive.Extra().Resize(6);
    for (int i = 0; i < 3; ++i) additive.Extra().setU16(size_t(i) * 2, i == 0 ? 0x0308 : 0x0208);
    TKVMark& own = mark(a, ItemKind::KeySignature, 20, {x += 900, 800 - 120, x + 200, 800 + 192});
    own.Extra().setU16(0, 0x5303), own.Extra().setU16(2, 0x4601), own.Extra().setU16(4, 0x5467);

    // Second staff: slurs and a tie, tuplets, lyrics with hyphens.
    const int32_t top2 = 2000;
    x = 200;
    std::vector<TKVNote*> notes;
    for (int pos : {7, 5, 3, 4, 6, 8, 2, 2, 5, 3, 1, 4, 6, 9, 8, 7})
      notes.push_back(&note(c, pos, x += 240, 128, pos <= 4 ? false : true));
    auto slur = [&](size_t From, size_t To, int Arch, uint8_t Pen, uint8_t Flags) {
      auto* l = new TKVLiga(notes[From]);
      l->SetControls(int16_t(40), int16_t(Arch * 8), int16_t(-40), int16_t(Arch * 8)), l->SetPenStyle(Pen);
      l->SetFlags(Flags);
      const int32_t x0 = c.Record->Displays[From * 2]->Bounds.Left + head / 2,
                    x1 = c.Record->Displays[To * 2]->Bounds.Left + head / 2;
      const int32_t y0 = c.HeadTop(notes[From]->StaffStep) + (Arch < 0 ? -16 : ls + 16),
                    y1 = c.HeadTop(notes[To]->StaffStep) + (Arch < 0 ? -16 : ls + 16);
      c.Add(l, {}).Bounds2 = {x0, y0, x1, y1};
    };
    slur(0, 2, 12, 0, 0);
    slur(3, 5, -12, 0, 0);
    slur(6, 7, 4, 0, 0x10);
    slur(8, 10, 10, 1, 0);
    slur(11, 13, -10, 0, 0x08);
    auto tuplet = [&](size_t From, size_t To, uint8_t Flags, int32_t Y0, int32_t Y1) {
      TKVMark& t = c.NewMark(ItemKind::Tuplet, 3);
      t.SetFlags(Flags);
      const int32_t x0 = c.Record->Displays[From * 2]->Bounds.Left, x1 = c.Record->Displays[To * 2]->Bounds.Width;
      c.Add(&t, {x0, Y0 - 80, x1, Y0}).Bounds2 = {x0, Y0, x1, Y1};
    };
    tuplet(0, 2, 0, top2 - 80, top2 - 40);
    tuplet(3, 5, 0x02 | 0x10, top2 + 4 * ls + 120, top2 + 4 * ls + 120);
    tuplet(13, 15, 0x01, top2 - 100, top2 - 100);
    const std::u16string words[] = {u"Ly", u"rics", u"un", u"der", u"the", u"staff"};
    for (size_t i = 0; i < 6; ++i) {
      auto* l = new TKVLyric(c.Measure);
      l->Lines() = {words[i]};
      l->SetFlags(uint8_t(0x10 | (i == 1 || i == 3 ? 1 : 0)));
      const int32_t left = c.Record->Displays[i * 4]->Bounds.Left - 80;
      TKVDisplayItem& r = c.Add(l, {left - 120, top2 + 4 * ls + 200, left - 40, top2 + 4 * ls + 300});
      r.Bounds2 = {left, top2 + 4 * ls + 200, left + 240, top2 + 4 * ls + 300};
    }

    // Third staff: tempo marks, rhythm equations, turned and edited texts.
    const int32_t top3 = 3200;
    TKVMark& quarter = mark(d, ItemKind::TempoMark, 2, {240, top3 - 360, 640, top3 - 120});
    quarter.SetValue(120);
    TKVMark& dotted = mark(d, ItemKind::TempoMark, 1, {960, top3 - 360, 1500, top3 - 120});
    dotted.SetValue(60), dotted.SetFlags(0x10 | 0x04);
    mark(d, ItemKind::TempoEquation, 0, {1900, top3 - 400, 2700, top3 - 120}).SetValue(0x40);
    mark(d, ItemKind::TempoEquation, 1, {2900, top3 - 400, 3700, top3 - 120}).SetValue(0x20);
    auto text = [&](std::vector<std::u16string> Lines, uint16_t Angle, TKVLayoutRect R) -> TKVDisplayItem& {
      auto* l = new TKVLyric(d.Measure);
      l->SetKind(ItemKind::LyricText), l->Lines() = std::move(Lines), l->SetAngle(Angle), l->SetFontSize(10);
      TKVDisplayItem& r = d.Add(l, R);
      r.Bounds2 = R;
      return r;
    };
    text({u"Turned", u"text"}, 30, {4000, top3 - 200, 4600, top3 + 300});
    TKVDisplayItem& edited = text({u"Edited text", u"in place"}, 0, {4800, top3 + 400, 5600, top3 + 700});
    b.View.EditedText = &edited;
    b.View.TextSelStart = {2, 0}, b.View.TextSelEnd = {2, 1};
    text({u"Центр"}, 0, {240, top3 + 400, 1240, top3 + 560});
    static_cast<TKVLyric*>(d.Record->Displays.back()->Item)->SetFlags(0x10);

    canvas::TBitmap page(Zoom() * 8, Zoom() * 5);
    render::TKVPageDrawer(b.View, page.Canvas()).DrawPageContent(0, Zoom(), Zoom(), 0, 0);
    page.SaveToPngFile(ReviewImagePath("render-pages", "builder-marks-" + std::to_string(Zoom())));
  }
  // Chord diagrams upright (left) and lying (right): from the nut and
  // from a higher fret, with dots running on, barrés, open and muted
  // strings.
  canvas::TBitmap page(Zoom() * 6, Zoom() * 2);
  int origin = 0;
  for (TKVFrameOrientation orientation : {foTop, foLeft}) {
    TPageBuilder b(1, kSpacePx);
    b.Score->SetFrameOrientation(orientation);
    TNotationBuilder n(b, 5, 100, 1200, ls);
    int32_t x = 160;
    using TStrings = std::vector<std::array<uint8_t, 2>>;
    for (auto [strings, barres, first] :
         {std::tuple{TStrings{{255, 0}, {3, 3}, {2, 2}, {0, 0}, {1, 1}, {0, 0}}, std::vector<uint8_t>{0, 0, 0, 0}, 0},
          {TStrings{{1, 1}, {3, 3}, {4, 3}, {2, 2}, {1, 1}, {1, 1}}, std::vector<uint8_t>{1, 0, 0, 0}, 4},
          {TStrings{{255, 0}, {255, 0}, {1, 2}, {2, 1}, {1, 2}, {0, 0}}, std::vector<uint8_t>{0, 0, 0, 0}, 0},
          {TStrings{{0, 0}, {2, 2}, {2, 2}, {0, 0}}, std::vector<uint8_t>{0, 0, 0}, 6}}) {
      auto* frame = new TKVFrame(n.Measure);
      frame->Data().setU8(FrameBlock::EntryCount, uint8_t(strings.size()));
      frame->Data().setU8(FrameBlock::ValueCount, uint8_t(barres.size()));
      frame->SizeArraysFromBlock();
      for (size_t i = 0; i < strings.size(); ++i) frame->Entries()[i] = {0, strings[i][0], strings[i][1]};
      frame->Values() = barres;
      frame->SetFirstFret(uint8_t(first));
      n.Add(frame, {x, 200, x + 400, 600});
      x += 560;
    }
    page.Canvas().SetOrigin({origin, 0});
    render::TKVPageDrawer(b.View, page.Canvas()).DrawPageContent(0, Zoom(), Zoom(), origin, 0);
    origin += Zoom() * 3;
  }
  page.SaveToPngFile(ReviewImagePath("render-pages", "builder-frames-" + std::to_string(Zoom())));
}

INSTANTIATE_TEST_SUITE_P(Zooms, MarksInk, ::testing::Values(100, 150));

}  // namespace
