// A builder page with one record of every notation kind the renderer draws,
// and of every sub-kind of the mark kinds that has a glyph: each record
// draws something, on the page, with no music-font code the font service
// does not know. The page is
// also drawn with the real canvas and fonts into the build folder
// (render-pages/) for people to look at.

#include <gtest/gtest.h>

#include <set>

#include "platform/canvas/Bitmap.h"
#include "platform/text/TextMeasurer.h"
#include "render/MarkBuilder.h"
#include "score/layout/FontServices.h"
#include "score/model/Chord.h"
#include "score/model/Frame.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/SimpleElements.h"
#include "support/sketch/ReviewImages.h"

namespace {

namespace K = ItemKind;

// How a record of a kind is shaped on its staff row.
enum class TShape { Bar, Above, Span, Volta, Upright, Note, Strokes, Bend, Label, Rest };

struct TMarkEntry {
  uint8_t Kind, Variant = 0, Flags = 0;
  uint16_t Value = 0;
};

TShape ShapeOf(uint8_t Kind) {
  switch (Kind) {
    case K::BarLine: case K::RepeatStart: case K::RepeatEnd: case K::DoubleBar: case K::FinalBar: case K::HeavyLightBar:
      return TShape::Bar;
    case K::Dynamic: case K::Trill: case K::HookedBracket: case K::WavyLine: case K::ContinuedGlyph:
    case K::ExtensionLine: case K::OctaveLine: case K::BarreLine: case K::HarmonicLine:
      return TShape::Span;
    case K::Volta: return TShape::Volta;
    case K::Arpeggio: case K::HalfBracket: case K::SquareBracket: case K::VerticalArrow: case K::BeatRepeat:
    case K::MeasureRepeat:
      return TShape::Upright;
    case K::Staccato: case K::Portamento: case K::DoubleSlash: return TShape::Note;
    case K::Tremolo: return TShape::Strokes;
    case K::Bend: return TShape::Bend;
    case K::MeasureNumber: case K::RehearsalMark: return TShape::Label;
    case K::MultiMeasureRest: return TShape::Rest;
    default: return TShape::Above;
  }
}

// Every kind, and every sub-kind with a glyph of its own.
std::vector<TMarkEntry> EveryMark() {
  std::vector<TMarkEntry> entries;
  auto each = [&](uint8_t Kind, std::initializer_list<int> Variants, uint8_t Flags = 0, uint16_t Value = 0) {
    for (int v : Variants) entries.push_back({Kind, uint8_t(v), Flags, Value});
  };
  each(K::BarLine, {0});
  each(K::RepeatStart, {0}), each(K::RepeatStart, {0}, 0x10), each(K::RepeatEnd, {0}), each(K::RepeatEnd, {0}, 0x10);
  each(K::DoubleBar, {0}), each(K::FinalBar, {0}), each(K::HeavyLightBar, {0});
  each(K::Segno, {0}), each(K::Coda, {0}), each(K::DaCapo, {0}), each(K::DalSegno, {0});
  each(K::Fermata, {0, 1, 5, 6, 7, 8}, 4);
  each(K::Accent, {0, 1, 3, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23});
  each(K::Turn, {0, 1, 2, 3}), each(K::Ornament, {0, 1, 2, 3}), each(K::SingleGlyph, {0}), each(K::Pedal, {0, 1});
  each(K::HeadGlyphA, {0, 1}), each(K::HeadGlyphA, {0}, 1), each(K::HeadGlyphB, {0, 1}), each(K::HeadGlyphC, {0});
  each(K::Dynamic, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 8), each(K::Dynamic, {50, 51});
  each(K::Arpeggio, {0}, 0, 2), each(K::Arpeggio, {0}, 1, 2), each(K::Arpeggio, {0}, 2, 2), each(K::Arpeggio, {0}, 3, 2);
  each(K::HalfBracket, {0, 1}), each(K::SquareBracket, {0});
  each(K::Trill, {1, 2, 3, 4}, 0, 1), each(K::HookedBracket, {0, 1}), each(K::WavyLine, {0, 1, 2});
  each(K::ContinuedGlyph, {1, 2, 3, 4, 5, 6, 7, 8}, 0, 1);
  each(K::OctaveLine, {0, 1, 2, 3}), each(K::BarreLine, {5}, 0xA3, 1), each(K::BarreLine, {12}, 0x14, 1);
  each(K::Volta, {1, 2}), each(K::HarmonicLine, {0, 1}, 0, 1), each(K::HarmonicLine, {3}, 1, 1);
  each(K::Fingering, {0, 1, 2, 3, 4, 5, 11, 12, 13, 14, 15}), each(K::Fingering, {2}, 4);
  each(K::TechniqueLetter, {0, 1, 2, 3});
  each(K::ExtensionLine, {0, 1, 2}, 0, 1), each(K::GlyphMarkA, {0}), each(K::GlyphMarkB, {0});
  each(K::TwoVariantGlyph, {0, 1}), each(K::Staccato, {0}), each(K::Portamento, {0}), each(K::Tremolo, {0}, 0, 3);
  each(K::VerticalArrow, {0, 1});
  each(K::Bend, {0, 1, 2, 3, 4, 5});
  each(K::MeasureNumber, {0}), each(K::MeasureNumber, {0}, 0x24), each(K::RehearsalMark, {0}, 0x04);
  each(K::RehearsalMark, {0}, 0x88);
  each(K::DoubleSlash, {0}), each(K::BeatRepeat, {0, 1}), each(K::MeasureRepeat, {0});
  for (uint16_t count : {1, 2, 3, 4, 5, 6, 7, 8, 9, 12}) entries.push_back({K::MultiMeasureRest, 0, 0, count});
  return entries;
}

// A sheet of staves, twenty records a row, 30 pixels apart (at zoom 100).
struct TSheet {
  static constexpr int32_t kColumn = 240, kRow = 960, kFirstTop = 640, kPerRow = 20;
  TPageBuilder b;
  std::vector<std::unique_ptr<TNotationBuilder>> rows;
  std::vector<std::pair<TMarkEntry, TKVDisplayItem*>> records;

  explicit TSheet(const std::vector<TMarkEntry>& Entries) {
    // A page wide and tall enough for the sheet: 640 by 1400 pixels.
    b.Score->Page().PushMetrix(rmPixels);
    b.Score->Page().SetWidth(640), b.Score->Page().SetHeight(1400);
    b.Score->Page().PopMetrix();
    for (size_t i = 0; i < Entries.size(); ++i) {
      if (i % kPerRow == 0) {
        rows.push_back(std::make_unique<TNotationBuilder>(b, 5, 100, kFirstTop + int32_t(rows.size()) * kRow));
        rows.back()->Record->MeasureNumber = uint16_t(rows.size()), rows.back()->Record->RehearsalNumber = 27;
      }
      records.emplace_back(Entries[i], &Add(*rows.back(), Entries[i], 40 + int32_t(i % kPerRow) * kColumn));
    }
    AddOtherKinds();
  }

  // The kinds of the other drawers, on a row of their own: notes and
  // rests, chord symbols and diagrams, clefs, brackets, signatures,
  // accidentals, dots, tempo marks, rhythm equations, slurs, tuplets and
  // texts.
  void AddOtherKinds() {
    TNotationBuilder& n = *rows.emplace_back(std::make_unique<TNotationBuilder>(b, 5, 100, kFirstTop + int32_t(rows.size()) * kRow));
    const int32_t top = n.Top, bottom = top + 4 * n.Space, ls = n.Space;
    int32_t x = 40;
    auto next = [&] { return x += kColumn; };
    auto mark = [&](uint8_t Kind, uint8_t Variant, TKVLayoutRect Rect) -> TKVMark& {
      TKVMark& m = n.NewMark(Kind, Variant);
      others.push_back(&n.Add(&m, Rect));
      return m;
    };
    mark(K::StaffBracket, 1, {16, top - 8, 40, bottom + 8});
    mark(K::Clef, 1, {x, top - 96, x + 160, bottom + 96});
    mark(K::KeySignature, 3, {next(), top - 120, x + 200, top + 192});
    mark(K::Meter, 0, {next(), top, x + 100, bottom}).SetValue(0x0304);
    mark(K::TempoMark, 2, {next(), top - 360, x + 200, top - 120}).SetValue(120);
    mark(K::TempoEquation, 0, {next(), top - 400, x + 200, top - 120}).SetValue(0x40);
    TKVNote& note = n.NewNote(4, 128);
    others.push_back(&n.Head(note, next()));
    others.push_back(&n.Stem(note, x));
    auto* accidental = new TKVMark(&note);
    accidental->SetKind(K::Accidental), accidental->SetVariant(2);
    others.push_back(&n.Add(accidental, {x - 60, top + 72, x - 16, top + 216}));
    auto* dot = new TKVMark(&note);
    dot->SetKind(K::Dot);
    others.push_back(&n.Add(dot, {x + 72, top + 120, x + 72, top + 200}));
    TKVNote& second = n.NewNote(6, 256, true);
    second.SetKind(K::SecondNote);
    others.push_back(&n.Head(second, next()));
    auto* slur = new TKVLiga(&note);
    slur->SetControls(40, 96, -40, 96);
    others.push_back(&n.Add(slur, {}));
    others.back()->Bounds2 = {x - kColumn + 28, top + 216, x + 28, top + 256};
    auto* rest = new TKVPause(n.Measure);
    rest->SetValue(64), rest->SetDuration(64);
    others.push_back(&n.Add(rest, {next(), top, x + 56, bottom}));
    auto* chord = new TKVChord(n.Measure);
    chord->Entries().Add().Text = "C7";
    others.push_back(&n.Add(chord, {next(), top - 240, x + 160, top - 120}));
    TKVMark& tuplet = mark(K::Tuplet, 3, {next(), top - 160, x + 200, top - 80});
    others.back()->Bounds2 = {x, top - 80, x + 200, top - 80};
    tuplet.SetFlags(0);
    for (uint8_t kind : {K::Syllable, K::LyricText, K::LyricLine}) {
      auto* lyric = new TKVLyric(n.Measure);
      lyric->SetKind(kind), lyric->Lines() = {u"la"};
      others.push_back(&n.Add(lyric, {next(), bottom + 80, x + 160, bottom + 200}));
      others.back()->Bounds2 = others.back()->Bounds;
    }
    auto* frame = new TKVFrame(n.Measure);
    frame->Data().setU8(FrameBlock::EntryCount, 4), frame->Data().setU8(FrameBlock::ValueCount, 3);
    frame->SizeArraysFromBlock();
    frame->Entries()[1] = {0, 2, 2};
    others.push_back(&n.Add(frame, {next(), top - 400, x + 200, top - 120}));
    (void)ls;
  }
  std::vector<TKVDisplayItem*> others;

  TKVDisplayItem& Add(TNotationBuilder& n, const TMarkEntry& S, int32_t x) {
    const int32_t top = n.Top, bottom = top + 4 * n.Space, w = kColumn - 40;
    if (S.Kind == K::Bend) {
      auto* bend = new TKVBend(n.Measure);
      bend->SetKind(K::Bend);
      bend->Data().setU8(BendBlock::Variant, S.Variant);
      for (int i = 0; i < 3; ++i) bend->Data().setU16(BendBlock::Length1 + 2 * size_t(i), 48);
      TKVDisplayItem& r = n.Add(bend, {x, top - 120, x + w, top});
      r.Bounds2 = {x, top - 96, x + 144, top};
      return r;
    }
    TKVMark& mark = n.NewMark(S.Kind, S.Variant);
    mark.SetFlags(S.Flags), mark.SetValue(S.Value);
    TKVLayoutRect rect;
    switch (ShapeOf(S.Kind)) {
      case TShape::Bar: rect = {x, top, x + 64, bottom}; break;
      case TShape::Above: rect = {x, top - 200, x + 80, top - 120}; break;
      case TShape::Span: rect = {x, top - 200, x + w, top - 120}; break;
      case TShape::Volta: rect = {x, top - 240, x + w, top - 120}; break;
      case TShape::Upright: rect = {x, top, x + (S.Kind == K::Arpeggio ? 24 : 160), bottom}; break;
      case TShape::Note: rect = {x, top + 120, x + (S.Kind == K::DoubleSlash ? 160 : 40), top + 200}; break;
      case TShape::Strokes: rect = {x, top, x + 64, top + 160}; break;
      case TShape::Label: rect = {x, top - 240, x + 160, top - 120}; break;
      default: rect = {x, top, x + w, bottom}; break;
    }
    TKVDisplayItem& r = n.Add(&mark, rect);
    r.Bounds2 = {x, top - 160, x + w, top - 160};
    if (S.Kind == K::Tremolo) r.Bounds2.Top = top + 24;
    if (S.Kind == K::MultiMeasureRest) r.Bounds2 = {x, top + 80, x + w, top + 240};
    return r;
  }
};

// Every record draws at least one thing, on the page and with codes the
// music font knows; sub-kinds without glyphs were left out of the sheet.
TEST(EveryMark, EachRecordDrawsOnThePage) {
  TSheet sheet(EveryMark());
  canvas::TRecordingCanvas canvas(1200, 1800);
  render::TKVPageDrawer d(sheet.b.View, canvas);
  d.DrawPageContent(0, 100, 100, 0, 0);
  const TKVPageRect page = sheet.b.View.GetPageSize();
  std::set<uint8_t> kinds;
  std::vector<std::pair<TMarkEntry, TKVDisplayItem*>> records = sheet.records;
  for (TKVDisplayItem* record : sheet.others) records.emplace_back(TMarkEntry{record->Item->Kind()}, record);
  for (auto [entry, record] : records) {
    canvas.Calls.clear();
    d.CurrentRecord = record, d.CurrentMeasure = record->Owner, d.CurrentSystem = record->Owner->System;
    if (record->RecordType == DisplayRecordType::Item)
      d.DrawItem(*record);
    else
      d.DrawFirstPass(*record);
    SCOPED_TRACE(::testing::Message() << int(entry.Kind) << "/" << int(entry.Variant) << " flags " << int(entry.Flags));
    EXPECT_FALSE(canvas.Calls.empty());
    kinds.insert(entry.Kind);
    for (const canvas::TCanvasCall& call : canvas.Calls) {
      if (call.Name == "TextOutA" && musicfont::IsMusicFontName(call.Font.Name)) {
        for (char16_t code : call.Text) EXPECT_TRUE(musicfont::IsMapped(uint8_t(code))) << int(code);
      }
      std::vector<double> xy = call.Args;
      if (call.Name == "SmoothPath")
        for (const canvas::TPathCommand& c : call.Path) xy.insert(xy.end(), {c.P[0].X, c.P[0].Y});
      for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        EXPECT_GE(xy[i], 0) << call.Name;
        EXPECT_LE(xy[i], page.Right) << call.Name;
        EXPECT_GE(xy[i + 1], 0) << call.Name;
        EXPECT_LE(xy[i + 1], page.Bottom) << call.Name;
      }
    }
  }
  // Every notation kind of the dispatch but the user-symbol mark and the
  // page objects, which the page-object drawer draws.
  EXPECT_EQ(kinds.size(), 66u);
}

// The sheet with the real canvas and fonts, at zoom 150:
// build/<flavour>/render-pages/builder-every-kind-150.png.
TEST(EveryMark, WritesTheBuilderSheet) {
  InstallFontServices();
  TSheet sheet(EveryMark());
  constexpr int zoom = 150;
  const int32_t height = TSheet::kFirstTop + int32_t(sheet.rows.size()) * TSheet::kRow;
  canvas::TBitmap page((40 + TSheet::kPerRow * TSheet::kColumn) * zoom / 800, height * zoom / 800, canvas::clWhite);
  render::TKVPageDrawer(sheet.b.View, page.Canvas()).DrawPageContent(0, zoom, zoom, 0, 0);
  page.SaveToPngFile(ReviewImagePath("render-pages", "builder-every-kind-150"));
  text::InstallMeasurer(nullptr);
  musicfont::InstallMusicFont(nullptr);
}

}  // namespace
