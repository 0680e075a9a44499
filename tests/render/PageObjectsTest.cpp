// Free page objects (which pass draws them, where, and their selection
// marks) and the geometry routines the notation shares with them.

#include <gtest/gtest.h>

#include <memory>

#include "render/NotationBuilder.h"
#include "score/model/ItemFactory.h"

namespace {

using canvas::TRect;

// An object of Kind with its display record on the page, selected.
struct Objects {
  Objects() { p.b.View.SelectedRecords.clear(); }
  TKVDisplayItem& Add(uint8_t Kind, uint8_t LayerByte, TKVLayoutRect Bounds = {80, 80, 400, 240}) {
    Items.emplace_back(CreateItemByKind(Kind, nullptr));
    TKVItem& item = *Items.back();
    item.Data().setI16(ObjectBlock::X, 80), item.Data().setI16(ObjectBlock::Y, 80);
    item.Data().setU16(ObjectBlock::Width, 320), item.Data().setU16(ObjectBlock::Height, 160);
    const size_t layer = Kind == ItemKind::Line ? LineBlock::Arrows
                         : Kind >= ItemKind::Arc && Kind <= ItemKind::ArcChord ? ArcBlock::Flags
                         : Kind == ItemKind::PageMark                          ? PageMarkBlock::Flags
                                                                               : TextBlock::Flags;
    item.Data().setU8(layer, LayerByte);
    auto& record = *p.b.Page.PageObjects.emplace_back(std::make_unique<TKVDisplayItem>());
    p.b.Page.PageObjectCount = uint16_t(p.b.Page.PageObjects.size());
    record.Item = &item, record.Bounds = Bounds, record.Bounds2 = Bounds;
    p.b.View.SelectedRecords.push_back(&record);
    return record;
  }
  size_t Squares() const { return Named(p.canvas, "Rectangle").size(); }
  Drawing p;
  std::vector<std::unique_ptr<TKVItem>> Items;
};

// The layer bit decides the pass; Force draws in either; a line's bit is
// that of its arrow styles, so a triangle or diamond end lies behind.
TEST(PageObjects, LayerAndForce) {
  using Case = std::tuple<uint8_t, uint8_t, bool, bool, size_t>;  // kind, layer byte, before, force, squares
  for (auto [kind, layer, before, force, squares] :
       {Case{ItemKind::Rectangle, 1, true, false, 8}, {ItemKind::Rectangle, 1, false, false, 0},
        {ItemKind::Ellipse, 0, false, false, 8}, {ItemKind::Ellipse, 0, true, false, 0},
        {ItemKind::Image, 0, true, true, 8}, {ItemKind::Line, 0x11, true, false, 2},
        {ItemKind::Line, 0x13, false, false, 0}, {ItemKind::Line, 0x32, false, false, 2},
        {ItemKind::Arc, 1, true, false, 10}, {ItemKind::Note, 1, true, true, 0}}) {
    Objects t;
    TKVDisplayItem& record = t.Add(kind, layer);
    t.p.d.DrawObject(*record.Item, &record, 0, 0, before, force);
    EXPECT_EQ(t.Squares(), squares) << int(kind) << int(layer);
  }
  // The page passes: behind before the staves, in front after them.
  Objects t;
  t.Add(ItemKind::Rectangle, 0), t.Add(ItemKind::Rectangle, 1);
  TKVStaffLineRecord& line = (t.p.b.System(), t.p.b.Line(t.p.b.Staff(), 800));
  t.p.b.Measure(*line.System, 0, 800);
  t.p.d.DrawPageContent(0, 100, 100, 0, 0);
  std::vector<std::string> names = t.p.canvas.Names();
  ASSERT_EQ(names.size(), 2 * (1u + 8u) + 5u);
  EXPECT_EQ(names[0], "SmoothPath") << "the shape, then its marks";
  EXPECT_EQ(std::count(names.begin() + 1, names.begin() + 9, "Rectangle"), 8);
  EXPECT_EQ(std::count(names.begin() + 9, names.begin() + 14, "SmoothPath"), 5);
  EXPECT_EQ(names[14], "SmoothPath");
}

// Adjustments: code 6 grows a box right and down, 1 moves it, 10 and 11
// leave it (they move an arc's points); marks follow the adjusted record.
TEST(PageObjects, AdjustmentsAndMarks) {
  using Case = std::tuple<uint8_t, TRect>;
  for (auto [code, box] : {Case{6, {10, 10, 60, 35}}, {1, {20, 15, 60, 35}}, {10, {10, 10, 50, 30}},
                           {11, {10, 10, 50, 30}}, {2, {20, 15, 50, 30}}, {9, {20, 10, 50, 30}}}) {
    Objects t;
    TKVDisplayItem& record = t.Add(ItemKind::Rectangle, 0);
    record.Placement = code, record.Shift = {10, 5};
    TRect placed{10, 10, 50, 30};
    t.p.d.PlaceObjectRect(placed, &record, 0, 0);
    EXPECT_EQ(placed, box) << int(code);
    t.p.d.DrawObject(*record.Item, &record, 0, 0, false, false);
    const double left = box.Left, top = box.Top;
    EXPECT_EQ(Named(t.p.canvas, "Rectangle")[0]->Args, std::vector<double>({left, top, left + 6, top + 6}));
  }
  // An arc's radius handles run from the mark's middle to the points drawn.
  Objects t;
  TKVDisplayItem& arc = t.Add(ItemKind::Pie, 0);
  arc.Item->Data().setI16(ArcBlock::StartX, 400), arc.Item->Data().setI16(ArcBlock::StartY, 80);
  arc.Item->Data().setI16(ArcBlock::EndX, 80), arc.Item->Data().setI16(ArcBlock::EndY, 240);
  arc.Placement = 11, arc.Shift = {3, 4};
  t.p.d.DrawObject(*arc.Item, &arc, 0, 0, false, false);
  Calls radii = Named(t.p.canvas, "LineTo");
  ASSERT_EQ(radii.size(), 2u);
  EXPECT_EQ(radii[0]->Args, std::vector<double>({30, 20, 50, 10}));
  EXPECT_EQ(radii[1]->Args, std::vector<double>({30, 20, 13, 34}));
}

// Lines are marked at their drawn ends, page marks only when selected in
// the view's list, edited texts not at all, and nothing in export.
TEST(PageObjects, MarksByKind) {
  Objects t;
  TKVDisplayItem& line = t.Add(ItemKind::Line, 0);
  line.Item->Data().setI16(ObjectBlock::X2, 400), line.Item->Data().setI16(ObjectBlock::Y2, 240);
  line.Placement = 3, line.Shift = {2, 2};
  t.p.d.DrawObject(*line.Item, &line, 7, 9, false, false);
  ASSERT_EQ(t.Squares(), 2u);
  EXPECT_EQ(Named(t.p.canvas, "Rectangle")[1]->Args, std::vector<double>({59 - 3, 41 - 3, 59 + 3, 41 + 3}));
  t.p.canvas.Calls.clear();

  TKVDisplayItem& mark = t.Add(ItemKind::PageMark, 0, {80, 80, 400, 240});
  t.p.d.DrawObject(*mark.Item, &mark, 0, 0, false, false);
  EXPECT_EQ(Named(t.p.canvas, "Polyline").size(), 4u);
  t.p.b.View.SelectedRecords.clear();
  std::vector<TKVDisplayItem*> measureSelection{&mark};
  t.p.d.MeasureSelection = &measureSelection;
  t.p.canvas.Calls.clear();
  t.p.d.DrawObject(*mark.Item, &mark, 0, 0, false, false);
  EXPECT_TRUE(Named(t.p.canvas, "Polyline").empty());

  TKVDisplayItem& text = t.Add(ItemKind::Text, 0);
  t.p.b.View.EditedText = &text;
  t.p.d.DrawObject(*text.Item, &text, 0, 0, false, false);
  t.p.b.View.EditedText = nullptr;
  t.p.b.View.SetStyle(wsExport);
  t.p.d.DrawObject(*text.Item, &text, 0, 0, false, false);
  EXPECT_EQ(t.Squares(), 0u);
}

// An object attached to a measure is drawn in the notation pass, relative
// to its record's anchor, whatever its layer bit.
TEST(PageObjects, AttachedToMeasures) {
  Drawing p;
  TNotationBuilder n(p.b);
  std::unique_ptr<TKVItem> item(CreateItemByKind(ItemKind::Rectangle, nullptr));
  item->Data().setU8(RectangleBlock::Flags, 1);
  item->Data().setU16(ObjectBlock::Width, 80), item->Data().setU16(ObjectBlock::Height, 80);
  TKVDisplayItem& record = n.Add(item.get(), {0, 0, 80, 80});
  record.Bounds2 = {1600, 800, 1600, 800};
  n.Select(record);
  p.canvas.Calls.clear();
  p.d.DrawPageContent(0, 100, 100, 0, 0);
  Calls grips = Named(p.canvas, "Rectangle");
  ASSERT_EQ(grips.size(), 8u);
}

TEST(SharedGeometry, ArrowHeads) {
  using Case = std::tuple<int, std::vector<int>, std::vector<double>>;  // zoom, line, head
  for (auto [zoom, line, head] :
       {Case{100, {50, 10, 50, 60}, {50, 60, 51, 55, 49, 55}}, {300, {50, 10, 50, 60}, {50, 60, 53, 45, 47, 45}},
        Case{100, {60, 20, 10, 20}, {10, 20, 15, 19, 15, 21}}, {100, {0, 0, 30, 40}, {30, 40, 26, 37, 28, 35}}}) {
    Drawing p(zoom);
    p.d.DrawArrowHead(line[0], line[1], line[2], line[3], 0);
    ASSERT_EQ(p.canvas.Calls.size(), 1u);
    EXPECT_EQ(p.canvas.Calls[0].Args, head) << zoom;
  }
}

TEST(SharedGeometry, HalfFractionStaffRectsAndRotation) {
  Drawing p;
  p.d.DrawHalfFraction(100, 50);
  EXPECT_EQ(p.canvas.Names(), std::vector<std::string>({"TextOut", "LineTo", "TextOut"}));
  EXPECT_EQ(p.canvas.Calls[0].Args, std::vector<double>({96, 46}));
  EXPECT_EQ(p.canvas.Calls[1].Args, std::vector<double>({98, 52, 102, 48}));
  EXPECT_EQ(p.canvas.Calls[2].Text, u"2");

  TNotationBuilder n(p.b);
  n.Line->DrawnLineSpacing = 13, n.Line->LineSpacing = 80;
  TKVDisplayItem& record = n.Add(nullptr, {});
  p.d.CurrentRecord = &record;
  EXPECT_EQ(p.d.ScaleStaffItemRect({80, -40, 160, 160}), (TRect{10, -5, 20, 20}));
  record.DrawFlags = DisplayDrawFlag::StaffRelativeY;
  EXPECT_EQ(p.d.ScaleStaffItemRect({80, -40, 160, 160}), (TRect{10, 100 - 6, 20, 100 + 26}));
  n.Line->LineSpacing = 0;
  EXPECT_EQ(p.d.ScaleStaffItemRect({80, -40, 160, 160}), (TRect{10, -5, 20, 20}));

  using render::TKVPageDrawer;
  EXPECT_EQ(TKVPageDrawer::RotatePointCounterClockwise({10, 0}, 0, 1), (canvas::TPoint{0, -10}));
  EXPECT_EQ(TKVPageDrawer::RotatePointClockwise({10, 0}, 0, 1), (canvas::TPoint{0, 10}));
  EXPECT_EQ(TKVPageDrawer::RotateObjectPoint({10, 5}, 180), (canvas::TPoint{-10, -5}));
}

}  // namespace
