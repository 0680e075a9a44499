// Slurs, ties and tuplet brackets on hand-built records (recording canvas,
// 10-pixel spaces, the staff's top line at y 100).

#include <gtest/gtest.h>

#include "render/NotationBuilder.h"
#include "score/model/Liga.h"

namespace {

using Items = TNotationPage;
using canvas::TPointF;
using TPoints = std::vector<TPointF>;

// The points of a recorded path: each command's end point, Bézier control
// points first.
TPoints PointsOf(const canvas::TCanvasCall* Call) {
  TPoints points;
  for (const auto& c : Call->Path) {
    if (c.Kind == canvas::TPathCommand::Bezier) points.insert(points.end(), {c.P[0], c.P[1], c.P[2]});
    if (c.Kind == canvas::TPathCommand::Move || c.Kind == canvas::TPathCommand::Line) points.push_back(c.P[0]);
  }
  return points;
}

// ---- slurs ----

struct TSlurs : Items {
  // A slur on a note from (100, 100) to (200, 100) with control points
  // (x1, y1) and (x2, y2) pixels from its ends.
  TKVLiga& Slur(int X1, int Y1, int X2, int Y2, TKVLayoutRect Ends = {800, 800, 1600, 800}) {
    TKVNote& note = n.NewNote(4, 128);
    auto* slur = new TKVLiga(&note);
    slur->SetControls(int16_t(X1 * 8), int16_t(Y1 * 8), int16_t(X2 * 8), int16_t(Y2 * 8));
    TKVDisplayItem& record = n.Add(slur, {});
    record.Bounds2 = Ends;
    Record = &record;
    return *slur;
  }
  TKVDisplayItem* Record = nullptr;
};

// A solid slur is a crescent: the curve, then back along the curve whose
// control points lie two pixels (1.5 units) further out, turned with the
// chord.
TEST(Slurs, Crescent) {
  struct Case {
    TKVLayoutRect Ends;
    int X1, Y1, X2, Y2;
    TPoints Points;
  };
  for (const Case& c :
       {// Level, arching up: the second edge two pixels higher and wider.
        Case{{800, 800, 1600, 800}, 20, -20, -20, -20,
             {{100, 100}, {120, 80}, {180, 80}, {200, 100}, {182, 78}, {118, 78}, {100, 100}}},
        // Arching down.
        Case{{800, 800, 1600, 800}, 20, 20, -20, 20,
             {{100, 100}, {120, 120}, {180, 120}, {200, 100}, {182, 122}, {118, 122}, {100, 100}}},
        // A first control point on the chord counts as the upper side.
        Case{{800, 800, 1600, 800}, 50, 0, -20, -20,
             {{100, 100}, {150, 100}, {180, 80}, {200, 100}, {182, 78}, {148, 98}, {100, 100}}},
        // Control points on two sides: the second moves back.
        Case{{800, 800, 1600, 800}, 20, -20, -20, 20,
             {{100, 100}, {120, 80}, {180, 120}, {200, 100}, {178, 118}, {118, 78}, {100, 100}}},
        // An upright chord turns the offsets by a quarter turn.
        Case{{800, 800, 800, 1600}, 20, 20, 20, -20,
             {{100, 100}, {120, 120}, {120, 180}, {100, 200}, {122, 182}, {122, 118}, {100, 100}}}}) {
    TSlurs t;
    t.Slur(c.X1, c.Y1, c.X2, c.Y2, c.Ends).SetColor(0x00FF00);
    t.Draw();
    Calls paths = t.Named("SmoothPath");
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_FALSE(paths[0]->SmoothPen.has_value());
    EXPECT_EQ(paths[0]->SmoothBrush->Color, canvas::ArgbOf(0x00FF00));
    EXPECT_EQ(PointsOf(paths[0]), c.Points);
    EXPECT_EQ(paths[0]->Path.back().Kind, canvas::TPathCommand::Close);
  }
}

// Pen styles: dashed ones stroke the curve and are never filled, the clear
// pen draws nothing but the selection marks, styles past the dashed ones
// are solid; the straight form is one line with its end handles only.
TEST(Slurs, PenStylesAndStraightForm) {
  using Case = std::tuple<uint8_t, uint8_t, std::vector<std::string>, bool>;  // style, flags, calls, filled
  for (auto [style, flags, calls, filled] :
       {Case{1, 0, {"SmoothPath", "Rectangle", "Rectangle", "LineTo", "Rectangle", "LineTo", "Rectangle"}, false},
        {4, 0, {"SmoothPath", "Rectangle", "Rectangle", "LineTo", "Rectangle", "LineTo", "Rectangle"}, false},
        {5, 0, {"Rectangle", "Rectangle", "LineTo", "Rectangle", "LineTo", "Rectangle"}, false},
        {6, 0, {"SmoothPath", "Rectangle", "Rectangle", "LineTo", "Rectangle", "LineTo", "Rectangle"}, true},
        {0, 0x08, {"SmoothPath", "Rectangle", "Rectangle"}, false}}) {
    TSlurs t;
    TKVLiga& slur = t.Slur(20, -20, -20, -20);
    slur.SetPenStyle(style), slur.SetFlags(flags);
    t.n.Select(*t.Record);
    t.Draw();
    EXPECT_EQ(t.p.canvas.Names(), calls) << int(style);
    Calls paths = t.Named("SmoothPath");
    if (paths.empty()) continue;
    EXPECT_EQ(paths[0]->SmoothBrush.has_value(), filled);
    if (flags) {
      EXPECT_EQ(PointsOf(paths[0]), TPoints({{100, 100}, {200, 100}}));
    }
    if (style == 1) {
      EXPECT_EQ(paths[0]->SmoothPen->Dash, canvas::dsDash);
    }
  }
}

// The pen: half a unit at the score's size 100, else the width from the
// page scale, score scale and staff size.
TEST(Slurs, PenWidth) {
  using Case = std::tuple<int, int, int, double>;  // zoom, score scale, staff size, width
  for (auto [zoom, scale, size, width] : {Case{100, 100, 100, 0}, {300, 100, 100, 2}, {100, 150, 100, 1},
                                          {300, 150, 100, 3}, {300, 100, 50, 1}}) {
    TSlurs t;
    t.p.b.Score->SetScale(scale);
    t.Slur(20, -20, -20, -20).SetPenStyle(2);
    t.Record->SizePercent = uint8_t(size);
    t.Draw(zoom);
    ASSERT_EQ(t.Named("SmoothPath").size(), 1u);
    EXPECT_EQ(t.Named("SmoothPath")[0]->SmoothPen->Width, width) << zoom << " " << scale << " " << size;
  }
}

// A pending drag by its grip: the whole slur, an end with its control point
// (the other end following in height on a level slur), or one control point
// alone; other grips move nothing.
TEST(Slurs, PendingMoves) {
  using Case = std::tuple<uint8_t, bool, TPoints>;  // offset mode, level; P0, C1, C2, P3
  for (auto [mode, level, points] :
       {Case{1, false, {{110, 105}, {130, 85}, {190, 85}, {210, 105}}},
        {2, false, {{110, 105}, {130, 85}, {180, 80}, {200, 100}}},
        {2, true, {{110, 105}, {130, 85}, {180, 85}, {200, 105}}},
        {4, false, {{100, 100}, {120, 80}, {190, 85}, {210, 105}}},
        {4, true, {{100, 105}, {120, 85}, {190, 85}, {210, 105}}},
        {10, true, {{100, 100}, {130, 85}, {180, 80}, {200, 100}}},
        {11, false, {{100, 100}, {120, 80}, {190, 85}, {200, 100}}},
        {3, false, {{100, 100}, {120, 80}, {180, 80}, {200, 100}}},
        {7, false, {{100, 100}, {120, 80}, {180, 80}, {200, 100}}}}) {
    TSlurs t;
    TKVLiga& slur = t.Slur(20, -20, -20, -20);
    slur.SetPenStyle(1), slur.SetFlags(level ? 0x10 : 0);
    t.Record->Placement = mode, t.Record->Shift = {10, 5};
    t.Draw();
    ASSERT_EQ(t.Named("SmoothPath").size(), 1u);
    EXPECT_EQ(PointsOf(t.Named("SmoothPath")[0]), points) << int(mode) << " " << level;
  }
}

// A slur of a hidden voice is not drawn; under dsActiveVoice one of another
// voice is grey.
TEST(Slurs, VoicesAndColours) {
  for (int voice : {0, 3, -1}) {
    TSlurs t;
    t.p.b.View.SetDataStyle(dsActiveVoice);
    TKVLiga& slur = t.Slur(20, -20, -20, -20);
    slur.SetColor(0x00FF00);
    auto* note = static_cast<TKVNote*>(slur.Owner());
    if (voice < 0)
      t.n.Voice->Data().setU8(VoiceBlock::Visible, 0);
    else
      note->VoiceKey().VoiceNumber = uint16_t(voice);
    t.Draw();
    Calls paths = t.Named("SmoothPath");
    ASSERT_EQ(paths.size(), voice < 0 ? 0u : 1u);
    if (voice >= 0) {
      EXPECT_EQ(paths[0]->SmoothBrush->Color, canvas::ArgbOf(voice == 0 ? 0x00FF00 : 0x808080));
    }
  }
}

// A slur whose record stands on no staff line has no part or piece to
// compare: it keeps its colour.
TEST(Slurs, WithoutAStaffLineKeepTheirColour) {
  TSlurs t;
  t.p.b.View.SetDataStyle(dsActiveVoice);
  TKVLiga& slur = t.Slur(20, -20, -20, -20);
  slur.SetColor(0x00FF00);
  static_cast<TKVNote*>(slur.Owner())->VoiceKey().VoiceNumber = 3;
  t.Record->StaffLine = nullptr;
  t.Draw();
  ASSERT_EQ(t.Named("SmoothPath").size(), 1u);
  EXPECT_EQ(t.Named("SmoothPath")[0]->SmoothBrush->Color, canvas::ArgbOf(0x00FF00));
}

// ---- tuplets ----

struct TTuplets : Items {
  TKVMark& Tuplet(uint8_t Count, uint8_t Flags, TKVLayoutRect Ends = {800, 800, 1600, 800}) {
    TKVMark& mark = n.NewMark(ItemKind::Tuplet, Count);
    mark.SetFlags(Flags), mark.SetColor(0x00FF00);
    TKVDisplayItem& record = n.Add(&mark, {800, 700, 1600, 820});
    record.Bounds2 = Ends;
    Record = &record;
    return mark;
  }
  TKVDisplayItem* Record = nullptr;
};

// The count, or the ratio to the normal count; only the number, or nothing
// but the selection marks.
TEST(Tuplets, NumbersAndFlags) {
  using Case = std::tuple<uint8_t, uint8_t, std::u16string, size_t>;  // count, flags, text, bracket halves
  for (auto [count, flags, text, halves] :
       {Case{3, 0, u"3", 2}, {3, 0x02, u"3:2", 2}, {5, 0x02, u"5:4", 2}, {11, 0x02, u"11:1", 2},
        {6, 0x01, u"6", 0}, {3, 0x80, u"", 0}, {3, 0x81, u"", 0}}) {
    TTuplets t;
    t.Tuplet(count, flags);
    t.n.Select(*t.Record);
    t.Draw();
    std::vector<std::u16string> texts = t.Texts();
    EXPECT_EQ(texts.size(), text.empty() ? 0u : 1u);
    if (!text.empty()) {
      EXPECT_EQ(texts[0], text);
    }
    EXPECT_EQ(t.Named("SmoothPath").size(), halves) << int(count) << " " << int(flags);
    // Marks: the handle at the end point less three units, the corners of
    // the record's box.
    ASSERT_EQ(t.Named("Rectangle").size(), 1u);
    EXPECT_EQ(t.Named("Rectangle")[0]->Args, std::vector<double>({194, 97, 200, 103}));
    EXPECT_EQ(t.Named("Polyline").size(), 4u);
  }
}

// The bracket: two halves from the hooks to the gap around the number,
// along the group's slope; hooks up under the notes; a drag of the end grip
// changes its height only; a bracket of no width lies level.
TEST(Tuplets, Brackets) {
  struct Case {
    uint8_t Flags, Mode;
    TKVLayoutRect Ends;
    TPoints Left, Right;  // the gap ends relative to g0, g1
    double TextY;
  };
  for (const Case& c :
       {Case{0, 0, {800, 800, 1600, 800}, {{100, 104}, {100, 100}, {0, 100}}, {{200, 104}, {200, 100}, {0, 100}}, 96},
        Case{0x10, 0, {800, 800, 1600, 800}, {{100, 96}, {100, 100}, {0, 100}}, {{200, 96}, {200, 100}, {0, 100}}, 96},
        Case{0, 3, {800, 800, 1600, 800}, {{100, 104}, {100, 100}, {0, 100}}, {{200, 112}, {200, 108}, {0, 0}}, 0},
        Case{0, 2, {800, 800, 1600, 800}, {{100, 104}, {100, 100}, {0, 100}}, {{200, 104}, {200, 100}, {0, 100}}, 96},
        Case{0, 0, {800, 800, 800, 880}, {{100, 104}, {100, 100}, {0, 100}}, {{100, 114}, {100, 110}, {0, 100}}, 96}}) {
    TTuplets t;
    t.Tuplet(3, c.Flags, c.Ends);
    t.Record->Placement = c.Mode, t.Record->Shift = {10, 8};
    t.Draw();
    Calls halves = t.Named("SmoothPath"), texts = t.Named("TextOutA");
    ASSERT_EQ(halves.size(), 2u);
    ASSERT_EQ(texts.size(), 1u);
    t.p.canvas.Font = texts[0]->Font;
    const int64_t L = c.Ends.Left / 8, R = c.Ends.Width / 8;
    const int64_t W = t.p.canvas.TextWidthA("3") + 2, mid = (R - L) / 2, g0 = mid - W / 2, g1 = mid + W / 2;
    TPoints left = PointsOf(halves[0]), right = PointsOf(halves[1]);
    ASSERT_EQ(left.size(), 3u);
    EXPECT_EQ((TPoints{left[0], left[1]}), (TPoints{c.Left[0], c.Left[1]}));
    EXPECT_EQ((TPoints{right[0], right[1]}), (TPoints{c.Right[0], c.Right[1]}));
    if (c.Mode == 3) {
      // Sloped by the moved end: 8 px over 100.
      EXPECT_EQ(left[2], (TPointF{double(L + g0), 100.0 + std::nearbyint(g0 * 0.08)}));
      EXPECT_EQ(right[2], (TPointF{double(L + g1), 100.0 + std::nearbyint(g1 * 0.08)}));
      EXPECT_EQ(texts[0]->Args[1], 100 + std::nearbyint(g0 * 0.08) - 4 - 0);
    } else {
      EXPECT_EQ(left[2], (TPointF{double(L + g0), c.Left[2].Y}));
      EXPECT_EQ(right[2], (TPointF{double(L + g1), c.Right[2].Y}));
      EXPECT_EQ(texts[0]->Args[1], c.TextY);
    }
    EXPECT_EQ(texts[0]->Args[0], L + g0 + 1);
    EXPECT_EQ(halves[0]->SmoothPen->Width, 1);
  }
}

// The line width setting, eighths of a unit, 0 for one unit; colours by
// the mark's staff, voice, part and piece; a hidden voice hides it.
TEST(Tuplets, WidthColourAndVoice) {
  using Case = std::tuple<uint16_t, uint8_t, bool, double, canvas::TColor>;  // width, staff/voice, hidden
  for (auto [setting, staffVoice, hidden, width, colour] :
       {Case{0, 0, false, 1, 0x00FF00}, {16, 0, false, 2, 0x00FF00}, {4, 0x01, false, 0, 0x808080},
        {0, 0x10, false, 1, 0x808080}, {0, 0, true, 0, 0}}) {
    TTuplets t;
    t.p.b.View.SetDataStyle(dsActiveVoice);
    t.p.b.Score->Drawing.TupletLineWidth = setting;
    TKVMark& mark = t.Tuplet(3, 0);
    mark.SetStaffVoice(staffVoice);
    if (hidden) {
      mark.Voice = t.n.Voice;
      t.n.Voice->Data().setU8(VoiceBlock::Visible, 0);
    }
    t.Draw();
    Calls halves = t.Named("SmoothPath");
    ASSERT_EQ(halves.size(), hidden ? 0u : 2u);
    if (hidden) continue;
    EXPECT_EQ(halves[0]->SmoothPen->Width, width);
    EXPECT_EQ(halves[0]->SmoothPen->Color, canvas::ArgbOf(colour));
    EXPECT_EQ(t.Named("TextOutA")[0]->Font.Color, colour);
  }
  // On no staff line: the mark's own colour whatever its staff and voice.
  TTuplets t;
  t.p.b.View.SetDataStyle(dsActiveVoice);
  t.Tuplet(3, 0).SetStaffVoice(0x13);
  t.Record->StaffLine = nullptr;
  t.Draw();
  ASSERT_EQ(t.Named("SmoothPath").size(), 2u);
  EXPECT_EQ(t.Named("SmoothPath")[0]->SmoothPen->Color, canvas::ArgbOf(0x00FF00));
}

}  // namespace
