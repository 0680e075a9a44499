#pragma once
// The tips window: a small window that stays on top and shows pages of the
// help file of the program's language ("KorvaneSonarid.<code>.xcf" beside
// the program, else the English one) in the help viewer. Its links open web
// pages or drive the main window (open a file, play, record, stop, save);
// its frame's buttons close it and walk the viewer's history; its check box
// keeps it from opening at the next start. There is at most one; the
// current topics outlive it, so that a later one shows them.

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/CheckBox.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"

class TECFormDesigner;
class TECFormLanguage;
class TECXMLHelp;
class TFormsPublishedForm;
class TFProgramModule;

class TFHelperModule : public forms::TForm {
public:
  // Owner: the main window. Places the window (TicherModule/Bounds), loads
  // the current topics of the help file and lays out the controls.
  explicit TFHelperModule(TFProgramModule* owner);
  ~TFHelperModule() override;

  // The viewer shows the current topics' pages.
  void ShowTopics();
  // Points the viewer at the help file of the main window's language.
  void LoadHelpFile();
  // A link the viewer hands over: "http://" pages open in the browser,
  // "cmd://" commands run what the main window's action would.
  void HHelperClickRef(const std::string& Ref);

  TECXMLHelp* HHelper;
  forms::TCheckBox* CBCancel;
  forms::TShape* SHelper;
  TECFormDesigner* FDTicher;
  std::unique_ptr<TFormsPublishedForm> Published;
  std::unique_ptr<TECFormLanguage> FLHelperModule;

private:
  void FormCreate();
  void ReadBounds();
  void RunCommand(const std::string& Command);

  TFProgramModule* FMain;
};

// The tips window while one is open, else null.
TFHelperModule* HelperModule();
// The help file of a language: beside the program, or the English one when
// that language has none.
std::string HelpFileName(const std::string& LanguageCode);
// Stores the topics as the current ones ("Start", "Opened", "Main"; each
// shows its page "<topic>.xml") and shows them in an open tips window.
void ShowHelper(const std::vector<std::string>& Topics);
const std::vector<std::string>& HelperTopics();
