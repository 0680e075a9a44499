// The main window's side of the tips window and the about box.

#include "app/AboutModule.h"
#include "app/HelperModule.h"
#include "app/ProgramModule.h"
#include "base/Strings.h"
#include "base/Utf8.h"
#include "platform/forms/ControlPaint.h"
#include "ui/ECLanguage.h"

void TFProgramModule::ShowStartTopic() {
  if (FDestroying) return;
  ShowHelper({CurrentFile() ? "Opened" : "Start"});
}

void TFProgramModule::AContentsExecute() {
  if (!HelperModule()) new TFHelperModule(this);
  ShowHelper({"Main"});
  HelperModule()->Show();
}

void TFProgramModule::AAboutExecute() {
  TFAboutModule about(nullptr);
  // The action's caption without its mnemonic mark, which a title does not show.
  int mnemonic = -1;
  about.SetCaption(Utf16ToUtf8(forms::StripMnemonic(AAbout->Caption(), mnemonic)));
  about.AllowClose = true;
  about.ShowModal();
}

std::string TFProgramModule::LanguageCode() const { return LMain ? UpperCase(LMain->GetLanguage()) : std::string(); }
