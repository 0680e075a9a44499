// What an open drop-down and a tool bar ask of the canvas: mnemonics,
// short-cut texts, highlight and disabled colours, separators, raised
// images, check marks and arrows.
#include "MenuTestSupport.h"
#include "platform/canvas/RecordingCanvas.h"

namespace menu_test {
namespace {

using canvas::TCanvasCall;
using Args = std::vector<double>;

// File open with the pointer on Open, Reopen disabled, Repeat checked.
class MenuDrawingTest : public MenuTest {
protected:
  MenuDrawingTest() {
    Exit->SetCaption("Quit&");
    Reopen->SetEnabled(false);
    ARewind->SetChecked(true);
    ClickOn(File);
    MoveOver(Open);
    Record(File);
  }
  void Record(TECMenuItem* container) {
    Canvas.Calls.clear();
    container->PaintItems(Canvas);
  }
  std::vector<const TCanvasCall*> Named(const std::string& name, const TECMenuItem* in = nullptr) const {
    std::vector<const TCanvasCall*> out;
    for (const TCanvasCall& c : Canvas.Calls)
      if (c.Name == name && (!in || (c.Args[1] >= in->ItemRect().Top && c.Args[1] < in->ItemRect().Bottom)))
        out.push_back(&c);
    return out;
  }
  const TCanvasCall* RectangleAt(const canvas::TRect& r) const {
    for (const TCanvasCall* c : Named("Rectangle"))
      if (c->Args == Args{double(r.Left), double(r.Top), double(r.Right), double(r.Bottom)}) return c;
    return nullptr;
  }

  canvas::TRecordingCanvas Canvas;
};

bool Underlined(const TCanvasCall* c) { return c->Font.Style & text::fsUnderline; }

TEST_F(MenuDrawingTest, TheMarkedCharacterIsUnderlinedShortCutsEndAtTheRightAndDisabledTextIsGrey) {
  const auto open = Named("TextOut", Open);
  ASSERT_EQ(open.size(), 4u);
  EXPECT_EQ(open[0]->Text, u"");
  EXPECT_EQ(open[1]->Text, u"O");
  EXPECT_TRUE(Underlined(open[1]));
  EXPECT_EQ(open[2]->Text, u"pen...");
  EXPECT_FALSE(Underlined(open[2]));
  canvas::TRecordingCanvas measure;
  measure.Font = Open->Font();
  EXPECT_EQ(open[1]->Args[0], 24 + 4);
  EXPECT_EQ(open[2]->Args[0], 28 + measure.TextWidth(u"O"));
  EXPECT_EQ(open[3]->Text, u"Ctrl+O");
  measure.Font = Open->ShortCutFont();
  EXPECT_EQ(open[3]->Args[0], Open->ItemRect().Right - 4 - measure.TextWidth(u"Ctrl+O"));
  const auto quit = Named("TextOut", Exit);
  ASSERT_EQ(quit.size(), 1u);
  EXPECT_EQ(quit[0]->Text, u"Quit");
  EXPECT_EQ(Named("TextOut", Save).at(1)->Font.Color, 0xC0C0C0u);
}

TEST_F(MenuDrawingTest, TheHotItemIsHighlightedWithItsImageRaisedAndGlyphsShowArrowsChecksAndSeparators) {
  const TCanvasCall* hot = RectangleAt(Open->ItemRect());
  ASSERT_TRUE(hot);
  EXPECT_EQ(hot->Pen.Color, 0xC56743u);
  EXPECT_EQ(hot->Brush.Color, 0xD6BEB5u);
  // A grey silhouette one pixel right and down, the image one pixel left and up.
  const auto draws = Named("Draw");
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ((Args{draws[0]->Args[0], draws[0]->Args[1], draws[1]->Args[0], draws[1]->Args[1]}), (Args{5, 3, 3, 1}));
  const auto lines = Named("LineTo");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->Pen.Color, 0xAAB2B8u);
  EXPECT_EQ(lines[0]->Args[1], 50);
  const int x = Reopen->ItemRect().Right - 8, y = Reopen->ItemRect().Top + 10;
  const TCanvasCall* arrow = Named("Polygon", Reopen).at(0);
  EXPECT_EQ(arrow->Args, (Args{double(x), double(y), x - 4.0, y - 4.0, x - 4.0, y + 4.0}));
  EXPECT_EQ(arrow->Brush.Color, 0x808080u);
  const int cx = 4 + 2, cy = Repeat->ItemRect().Top + 10;
  EXPECT_EQ(Named("Polygon", Repeat).at(0)->Args,
            (Args{double(cx), double(cy), double(cx), cy + 1.0, cx + 2.0, cy + 3.0, cx + 7.0, cy - 2.0, cx + 7.0,
                  cy - 3.0, cx + 2.0, cy + 2.0}));
}

TEST_F(MenuDrawingTest, OwnHotImagesAreNotRaisedAndPressedItemsAndCheckedToolButtonsAreFilledDarker) {
  Open->SetOverImage(11);  // a hot image of its own is not raised
  Record(File);
  EXPECT_EQ(Named("Draw").size(), 1u);
  Open->SetState(stPressed);
  Record(File);
  EXPECT_EQ(RectangleAt(Open->ItemRect())->Brush.Color, 0xB59284u);
  TECMenu* bar = AddToolBar(60);
  TECMenuItem* rewind = NewItem(bar->Item(), "MITRewind", "", ikCheckBox);
  rewind->SetAction(ARewind);
  Record(bar->Item());
  const TCanvasCall* pressed = RectangleAt(rewind->ItemRect());
  ASSERT_TRUE(pressed);
  EXPECT_EQ(pressed->Brush.Color, 0xB59284u);
}

}  // namespace
}  // namespace menu_test
