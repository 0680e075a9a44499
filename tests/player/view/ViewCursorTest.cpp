// The cursor on the screen of the headless host: the column and the pitch
// mark it inverts, the colours with and without the focus, the counter of
// nested hides and shows, and the event that comes before the drawing.

#include "ViewFixture.h"
#include "platform/threads/Clock.h"
#include "player/PlayEngine.h"
#include "score/model/PageTexts.h"

namespace {

class ViewCursor : public ViewTest {
protected:
  // The cursor at tick 256 of measure 1, never drawn yet.
  void SetUp() override {
    MakeScore(2);
    view().GotoPosition(0, 1, false, 256);
    view().ShowCursor(false);
    view().ShowCursor(false);
    view().ShowCursor(true);
    view().ShowCursor(true);
    ASSERT_EQ(view().CursorShowCounter(), 0);
    view().ShowCursor(false);
    const TKVMeasureRecord& r = *score->GetPiece(0)->Layout().MeasureRecords.at(1);
    const TKVStaffLineRecord& line = *r.System->Page->GetStaffLine(r.System->FirstStaffLine);
    const TKVPageRect page = view().PageRect(r.System->Page->PageIndex);
    // Page, ruler, measure and tick offset, less 3 pixels.
    x = 24 + page.Left + (r.LeftX + int32_t(r.TickTable.at(256))) / 8 - 3;
    top = 24 + page.Top + line.Top / 8;
    bottom = 24 + page.Top + line.Bottom / 8;
    const int32_t s = (bottom - top) / 4;
    mark = bottom + s;  // pitch line 60: a spacing below the bottom line
    Pump();
    before = Snapshot();
  }
  uint32_t Pixel(int32_t X, int32_t Y) { return PixelIn(Snapshot(), control, {X, Y}); }
  uint32_t Was(int32_t X, int32_t Y) { return PixelIn(before, control, {X, Y}); }
  // Every pixel of the cursor's column from the staff's top to its bottom,
  // and of the pitch mark, shows Colour.
  bool Drawn(uint32_t Colour) {
    const window::TScreenImage now = Snapshot();
    for (int32_t y = top; y < bottom; ++y)
      if (PixelIn(now, control, {x, y}) != Colour) return false;
    for (int32_t dx = -3; dx <= 3; ++dx)
      if (PixelIn(now, control, {x + dx, mark}) != Colour) return false;
    return PixelIn(now, control, {x, top - 2}) == Was(x, top - 2);
  }
  bool Unchanged() { return Snapshot().Pixels == before.Pixels; }

  int32_t x = 0, top = 0, bottom = 0, mark = 0;
  window::TScreenImage before;
};

// Yellow over a white page gives blue; without the focus teal gives its
// inverse; hiding gives back every pixel.
TEST_F(ViewCursor, AShowInvertsTheColumnAndTheMarkAndAHideRestoresThem) {
  ASSERT_EQ(Was(x, top), 0xFFFFFFFFu);
  view().ShowCursor(true);
  EXPECT_TRUE(Drawn(0xFFFF7F7F)) << "teal without the focus";
  view().ShowCursor(false);
  EXPECT_TRUE(Unchanged());
  control->SetFocus();
  Pump();
  EXPECT_TRUE(view().Focused());
  EXPECT_TRUE(Unchanged()) << "a hidden cursor stays hidden";
  view().ShowCursor(true);
  EXPECT_TRUE(Drawn(0xFF0000FF)) << "yellow with the focus";
  view().ShowCursor(false);
  EXPECT_TRUE(Unchanged());
}

// The counter: a never-shown cursor hides without drawing; nested hides
// need as many shows; the event comes before the pixels change.
TEST_F(ViewCursor, NestedHidesAndShowsDrawOnlyAtTheEdges) {
  std::vector<std::pair<bool, bool>> events;  // visible, drawn already
  view().OnCursorChanged = [&](TObject*, bool Visible) {
    events.emplace_back(Visible, PixelIn(Host->Screenshot(), control, {x, top}) != Was(x, top));
  };
  view().ShowCursor(false);
  view().ShowCursor(true);
  EXPECT_EQ(view().CursorShowCounter(), -1);
  EXPECT_TRUE(Unchanged()) << "two hides and one show";
  EXPECT_TRUE(events.empty());
  view().ShowCursor(true);
  EXPECT_TRUE(Drawn(0xFFFF7F7F));
  view().ShowCursor(false);
  EXPECT_EQ(events, (std::vector<std::pair<bool, bool>>{{true, false}, {false, true}}));
}

// A view made afresh: its first hide goes from 9999 to -1 without drawing
// or announcing, and the next show draws.
TEST_F(ViewCursor, AFirstHideOfANewViewDrawsNothing) {
  auto* other = new TKVViewControl(form);
  other->SetParent(form);
  other->SetBounds(0, 0, 800, 600);
  other->View().SetScore(score.get());
  int events = 0;
  other->View().OnCursorChanged = [&](TObject*, bool) { ++events; };
  EXPECT_EQ(other->View().CursorShowCounter(), 9999);
  other->View().ShowCursor(false);
  EXPECT_EQ(std::pair(other->View().CursorShowCounter(), events), std::pair(-1, 0));
  EXPECT_EQ(Host->Screenshot().Pixels, before.Pixels);
  other->View().GotoPosition(0, 1, false, 256);
  EXPECT_EQ(Host->Screenshot().Pixels, before.Pixels) << "moving a hidden cursor";
  other->View().ShowCursor(true);
  EXPECT_TRUE(Drawn(0xFFFF7F7F));
  other->View().SetScore(nullptr);
  delete other;
}

// A host that edits a text: a press in its box places the caret by line
// and character, and the caret is drawn inside the box.
TEST_F(ViewCursor, APressInAnEditedTextPlacesTheCaret) {
  auto* text = static_cast<TKVText*>(CreateItemByKind(ItemKind::Text, score->GetPiece(0)->GetPart(0)->GetMeasure(0)));
  text->Lines() = {u"ab", u"cdefgh"};
  text->Data().setI16(PageObjectBlock::X, 200), text->Data().setI16(PageObjectBlock::Y, 80);
  score->Reformat(0);
  const TKVMeasureRecord& m0 = *score->GetPiece(0)->Layout().MeasureRecords.at(0);
  for (int i = 0; i < m0.DisplayCount; ++i)
    if (m0.GetDisplay(i)->Item == text) view().EditedText = m0.GetDisplay(i);
  ASSERT_NE(view().EditedText, nullptr);
  const canvas::TRect box = view().GetItemRect(view().EditedText, {view().EditedText->Bounds.Left, view().EditedText->Bounds.Top, view().EditedText->Bounds.Width, view().EditedText->Bounds.Bottom}, false);
  const int32_t line = (box.Bottom - box.Top - 8) / 2;  // the height of one line: two lines fill the box
  Pump();
  before = Snapshot();
  ClickAt({box.Right - 2, box.Top + 4 + line + line / 2});
  EXPECT_EQ(std::pair(view().CaretLine, view().CaretChar), std::pair(1, 6));
  const window::TScreenImage now = Snapshot();
  int inside = 0, outside = 0;
  for (int32_t y = 0; y < 600; ++y)
    for (int32_t x = 0; x < 783; ++x)
      if (PixelIn(now, control, {x, y}) != PixelIn(before, control, {x, y}))
        ++(x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom ? inside : outside);
  EXPECT_GT(inside, 0);
  EXPECT_EQ(outside, 0);
  ClickAt({box.Left + 1, box.Top + 5});
  EXPECT_EQ(std::pair(view().CaretLine, view().CaretChar), std::pair(0, 0));
  view().ShowCursor(false);
  view().EditedText = nullptr;
}

// A run that ends by itself only stores the cursor's tick for the main
// thread, which moves the cursor on the screen when it gets to it.
TEST_F(ViewCursor, TheEndOfARunMovesTheCursorOnTheMainThread) {
  TFakeClock clock;
  view().SetClock(clock);
  view().OnPlayShort = [](TObject*, uint8_t, uint8_t, uint8_t, int32_t, bool) {};
  view().OnPlayLong = [](TObject*, const uint8_t*, uint16_t, int32_t) {};
  view().GotoPosition(0, 1, false, 200);
  view().ShowCursor(true);
  const int32_t shown = x - (int32_t(score->GetPiece(0)->Layout().MeasureRecords.at(1)->TickTable.at(256)) -
                             int32_t(score->GetPiece(0)->Layout().MeasureRecords.at(1)->TickTable.at(200))) / 8;
  ASSERT_EQ(PixelIn(Host->Screenshot(), control, {shown, top}), 0xFFFF7F7Fu);
  ASSERT_TRUE(view().BeginPlay());
  TSleepInterrupt none;
  TKVPlayEngine(view()).Run(none);
  EXPECT_EQ(view().CursorTick(), 200) << "not yet";
  Pump();
  EXPECT_EQ(view().CursorTick(), 256);
  EXPECT_TRUE(Drawn(0xFFFF7F7F));
  EXPECT_EQ(PixelIn(Snapshot(), control, {shown, top}), Was(shown, top));
  view().SetClock(TRealClock::Instance());
}

}  // namespace
