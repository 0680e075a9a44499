// The item tree: child-list operations, copying, deferred updates, the
// layout of rows and columns, the action link and the language paths.
#include "MenuTestSupport.h"
#include "platform/canvas/CairoCanvas.h"
#include "platform/forms/Buttons.h"
#include "ui/FormsPublished.h"
#include "ui/PropertyPath.h"

namespace menu_test {
namespace {

int TextWidthOf(const TECMenuItem* item, const std::string& text) {
  canvas::TCairoCanvas measure(1, 1);
  measure.Font = item->Font();
  return forms::TextSize(measure, text).Cx;
}

TEST_F(MenuTest, ChildListOperationsIgnoreBadIndexesAndFindByNameOrCaption) {
  EXPECT_EQ(Reopen->Items(-1), nullptr);
  EXPECT_EQ(Reopen->Items(3), nullptr);
  TECMenuItem* first = Reopen->Items(0);
  Reopen->Delete(3);
  first->SetIndex(3);
  first->SetIndex(-1);
  EXPECT_EQ(Reopen->Count(), 3);
  EXPECT_EQ(first->GetIndex(), 0);
  first->SetIndex(2);
  EXPECT_EQ(Reopen->Items(2), first);
  TECMenuItem* newest = Reopen->InsertItem(0, "d.kar");
  EXPECT_EQ(Reopen->Items(0), newest);
  EXPECT_EQ(newest->Menu(), Bar);
  EXPECT_EQ(File->Find("mireopen"), Reopen);
  EXPECT_EQ(File->Find("E&XIT"), Exit);
  EXPECT_EQ(File->Find("Help"), nullptr);

  TECMenuItem copy(nullptr);
  copy.Assign(*File);
  ASSERT_EQ(copy.Count(), File->Count());
  EXPECT_EQ(copy.Items(4)->Caption(), "&Reopen");
  EXPECT_EQ(copy.Items(4)->Items(0)->Caption(), "d.kar");

  Reopen->Clear();
  EXPECT_EQ(Reopen->Count(), 0);
  EXPECT_FALSE(Reopen->HasVisibleItems());
}

TEST_F(MenuTest, FreeingAnItemWhileItsDropDownIsOpenShrinksTheOpenMenu) {
  ClickOn(File);
  MoveOver(Reopen);
  Key(window::VK_RIGHT);
  ASSERT_TRUE(Reopen->DropDown());
  const int height = File->DropDown()->Height();
  delete Reopen;
  Pump();
  EXPECT_EQ(File->DropDown()->Height(), height - 20);
  EXPECT_EQ(File->Selected(), nullptr);
}

TEST_F(MenuTest, DeferredUpdatesLayOutAndRepaintOnceAtTheEnd) {
  TECMenuItem* root = Bar->Item();
  Pump();
  root->BeginUpdate();
  TECMenuItem* help = root->AddItem("&Help");
  EXPECT_EQ(help->ItemRect().Right, 0);
  EXPECT_TRUE(Form->Window().UpdateRect().IsEmpty());
  root->EndUpdate();
  EXPECT_GT(help->ItemRect().Right, help->ItemRect().Left);
  const canvas::TPoint origin = Bar->WindowOrigin();
  const window::TRect bar = window::TRect::FromSize(origin.X, origin.Y, Bar->Width(), Bar->Height());
  EXPECT_EQ(Form->Window().UpdateRect(), bar);
  // A deferred layout alone repaints the bar too.
  Pump();
  root->BeginUpdate();
  root->UpdateLayout();
  root->EndUpdate();
  EXPECT_EQ(Form->Window().UpdateRect(), bar);
}

TEST_F(MenuTest, RowsAndColumnsArePlacedByCaptionImagesAndKind) {
  // The bar: one button per caption, as high as the tallest button.
  const canvas::TRect& file = File->ItemRect();
  EXPECT_EQ(file, (canvas::TRect{0, 0, TextWidthOf(File, "&File") + 12, 20}));
  // The drop-down: an image column for the image and the check item.
  ClickOn(File);
  EXPECT_EQ(File->ImageColumn(), 24);
  const int text = TextWidthOf(Open, Open->Caption()) + 16 + 4 + TextWidthOf(Open, "Ctrl+O") + 4;
  EXPECT_GE(File->ContentRect().Right, text + 24);
  EXPECT_EQ(Exit->ItemRect(), (canvas::TRect{0, 100, File->ContentRect().Right, 120}));
  EXPECT_EQ(File->DropDown()->Width(), File->ContentRect().Right + 2);

  // A tool bar row: fixed widths, an arrow part, a hosted control.
  TECMenu* bar = AddToolBar(60);
  TECMenuItem* row = bar->Item();
  row->SetButtonHeight(24);
  TECMenuItem* button = NewItem(row, "MITOpen", "");
  TECMenuItem* drop = NewItem(row, "MITRecord", "", ikDropDown);
  drop->SetImage(2);
  TECMenuItem* hosted = NewItem(row, "MITVolume", "");
  auto* volume = new forms::TButton(Form);
  volume->SetParent(bar);
  volume->SetBounds(0, 0, 80, 16);
  hosted->SetTextOffset(3);
  hosted->SetControl(volume);
  EXPECT_EQ(button->ItemRect(), (canvas::TRect{0, 0, 24, 24}));
  EXPECT_EQ(drop->ItemRect(), (canvas::TRect{24, 0, 60, 24}));
  EXPECT_EQ(hosted->ItemRect(), (canvas::TRect{60, 0, 146, 24}));
  EXPECT_EQ(volume->BoundsRect(), (canvas::TRect{63, 4, 143, 20}));
  // A tool bar column widens its image column for buttons with children.
  row->SetOrientation(ioVertical);
  NewItem(button, "MITRecent", "recent");
  bar->SetWidth(30);
  EXPECT_EQ(row->ImageColumn(), 36);
  EXPECT_EQ(button->ItemRect().Right, 36);
}

TEST_F(MenuTest, AnActionsChangesReachEveryItemBoundToIt) {
  TECMenuItem* tool = NewItem(Tools, "MITOpen", "");
  tool->SetAction(AOpen);
  AOpen->SetCaption("&Open a score");
  AOpen->SetHint("Open a score or a MIDI file");
  EXPECT_EQ(Open->Caption(), "&Open a score");
  EXPECT_EQ(tool->Caption(), "&Open a score");
  EXPECT_EQ(tool->Hint(), "Open a score or a MIDI file");
  AOpen->SetEnabled(false);
  EXPECT_FALSE(Open->Enabled());
  EXPECT_FALSE(tool->Selectable());
  ARewind->SetChecked(true);
  EXPECT_TRUE(Repeat->Checked());
  AOpen->SetVisible(false);
  EXPECT_FALSE(Open->Shown());
  ClickOn(File);
  EXPECT_EQ(Save->ItemRect().Top, 0);
}

TEST_F(MenuTest, LanguagePathsReachItemCaptionsAndTheBarsItemFont) {
  TFormsPublishedForm published(*Form);
  TPropertyTarget caption = ResolvePath(published, "MIFile.Caption");
  ASSERT_NE(caption.Object, nullptr);
  caption.Object->SetStrProp(caption.Name, "&Datei");
  EXPECT_EQ(File->Caption(), "&Datei");
  TPropertyTarget font = ResolvePath(published, "MMProgramModule.Item.Font");
  ASSERT_EQ(font.Kind, TPropertyKind::pkFont);
  canvas::TFont big;
  big.SetSize(12);
  font.Object->AssignFontProp(font.Name, big);
  EXPECT_EQ(Bar->Item()->Font().Size(), 12);
  EXPECT_EQ(ResolvePath(published, "MIOpen.Action.Caption").Object, published.FindComponent("AOpen"));
}

}  // namespace
}  // namespace menu_test
