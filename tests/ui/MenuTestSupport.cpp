#include "MenuTestSupport.h"

namespace menu_test {

std::string SkinFile(const std::string& name) { return std::string(SONARID_SOURCE_DIR) + "/data/skin/" + name; }

void SetTrackPictures(TECImageTrack& track, bool vertical) {
  const std::string side = SkinFile(vertical ? "track-v-" : "track-h-");
  track.SetFirstTrackPicture(canvas::TBitmap::LoadFromFile(side + "first.png"));
  track.SetCenterTrackPicture(canvas::TBitmap::LoadFromFile(side + "center.png"));
  track.SetLastTrackPicture(canvas::TBitmap::LoadFromFile(side + "last.png"));
  track.SetButtonPicture(canvas::TBitmap::LoadFromFile(side + "button.png"));
  track.SetOrientation(vertical ? toVertical : toHorizontal);
  track.SetButtonWidth(vertical ? 18 : 11);
  track.SetButtonHeight(10);
  track.SetLeftOffset(6);
  track.SetRightOffset(6);
}

MenuTest::MenuTest() {
  Form = MakeForm();
  Form->SetName("FProgramModule");
  Edit = forms::test::AddControl<forms::TEdit>(Form, 10, 200, 100, 21);
  Edit->SetTabStop(true);
  Images = new forms::TImageList(Form);
  Images->LoadStripFromFile(SkinFile("menu-images.png"));
  auto action = [&](const char* name, const char* caption) {
    auto* a = new forms::TAction(Form);
    a->SetName(name);
    a->SetCaption(caption);
    return a;
  };
  AOpen = action("AOpen", "&Open...");
  AOpen->OnExecute = [this](TObject*) { ++OpenRuns; };
  ASave = action("ASave", "&Save");
  ASave->SetEnabled(false);
  ARewind = action("ARewind", "Repea&t");

  Bar = new TECMenu(Form);
  Bar->SetName("MMProgramModule");
  Bar->SetParent(Form);
  Bar->SetHeight(22);
  Bar->SetAlign(forms::alTop);
  Bar->SetImages(Images);
  Bar->Item()->SetOrientation(ioHorizontal);
  File = NewItem(Bar->Item(), "MIFile", "&File");
  Open = NewItem(File, "MIOpen", "");
  Open->SetAction(AOpen);
  Open->SetImage(0);
  Open->SetShortCutText("Ctrl+O");
  Save = NewItem(File, "MISave", "");
  Save->SetAction(ASave);
  NewItem(File, "MISeparator", "", ikSeparator);
  Repeat = NewItem(File, "MIRewind", "", ikCheckBox);
  Repeat->SetAction(ARewind);
  Reopen = NewItem(File, "MIReopen", "&Reopen");
  for (const char* path : {"a.mid", "b.xml", "c.sfd"}) Reopen->AddItem(path);
  Exit = NewItem(File, "MIExit", "E&xit");
  Tools = NewItem(Bar->Item(), "MITools", "&Control");
  Play = NewItem(Tools, "MIPlay", "&Play");
  Edit->SetFocus();
  Pump();
}

TECMenuItem* MenuTest::NewItem(TECMenuItem* parent, const std::string& name, const std::string& caption,
                               TECItemKind kind) {
  auto* item = new TECMenuItem(Form);
  item->SetName(name);
  item->SetCaption(caption);
  item->SetKind(kind);
  parent->Add(item);
  return item;
}

TECMenu* MenuTest::AddToolBar(int top) {
  TECMenu* bar = forms::test::AddControl<TECMenu>(Form, 0, top, 300, 26);
  bar->Item()->SetOrientation(ioHorizontal);
  bar->Item()->SetMenuStyle(msToolbar);
  return bar;
}

TPoint MenuTest::ItemPoint(const TECMenuItem* item, int dx) const {
  const canvas::TRect& r = item->ItemRect();
  const TECMenuItem* parent = item->Parent();
  const int y = (r.Top + r.Bottom) / 2 - parent->ScrollPos();
  return parent->SubMenu()->ClientToScreen({(r.Left + r.Right) / 2 + dx, y});
}

void MenuTest::MoveOver(const TECMenuItem* item, int dx) { MoveToScreen(ItemPoint(item, dx)); }

void MenuTest::ClickOn(const TECMenuItem* item, int dx) { ClickScreen(ItemPoint(item, dx)); }

}  // namespace menu_test
