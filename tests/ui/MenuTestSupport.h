#pragma once
// A shown form with a focused edit field and a menu bar built as the main
// window builds its own: File (Open, a disabled Save, a separator, the
// Repeat check item, a Reopen sub-menu, Exit) and Tools (Play), items bound
// to actions and images from the program's own picture strip.

#include "platform/forms/ActnList.h"
#include "platform/forms/Edit.h"
#include "support/forms/FormsTestSupport.h"
#include "platform/forms/ImgList.h"
#include "ui/ECImageTrack.h"
#include "ui/ECMenu.h"

namespace menu_test {

using canvas::TPoint;

std::string SkinFile(const std::string& name);
// The program's track and thumb pictures of one orientation.
void SetTrackPictures(TECImageTrack& track, bool vertical);

class MenuTest : public forms::test::FormsTest {
protected:
  MenuTest();

  // A named item owned by the form, added to Parent.
  TECMenuItem* NewItem(TECMenuItem* parent, const std::string& name, const std::string& caption,
                       TECItemKind kind = ikButton);
  // The screen point at the middle of an item in its parent's window.
  TPoint ItemPoint(const TECMenuItem* item, int dx = 0) const;
  // A tool-bar row on the form, 26 pixels high, at Top.
  TECMenu* AddToolBar(int top);
  void MoveOver(const TECMenuItem* item, int dx = 0);
  void ClickOn(const TECMenuItem* item, int dx = 0);
  void Tick(int ms) {
    Host->AdvanceTime(uint64_t(ms));
    Pump();
  }

  forms::TForm* Form;
  forms::TEdit* Edit;
  forms::TImageList* Images;
  TECMenu* Bar;
  forms::TAction *AOpen, *ASave, *ARewind;
  TECMenuItem *File, *Open, *Save, *Repeat, *Reopen, *Exit, *Tools, *Play;
  int OpenRuns = 0;
};

}  // namespace menu_test
