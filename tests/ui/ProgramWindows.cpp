#include "ProgramWindows.h"

namespace {

void Action(TFakeObject& form, const std::string& name) {
  form.Add(name).String("Caption").String("Hint").Boolean("Checked").Boolean("Enabled").Boolean("Visible").Integer(
      "ImageIndex");
}

TFakeObject& MenuItem(TFakeObject& form, const std::string& name) {
  return form.Add(name)
      .String("Caption")
      .String("ShortCutText")
      .Boolean("Checked")
      .Integer("Image")
      .Font("Font")
      .Font("ShortCutFont")
      .EmptyComponent("Action")
      .Other("OnClick");
}

void Menu(TFakeObject& form, const std::string& name) {
  form.Add(name).Other("Images").Component("Item").String("Caption").Font("Font").Font("ShortCutFont");
}

void Label(TFakeObject& form, const std::string& name) {
  form.Add(name).String("Caption").String("Hint").Font("Font").Integer("Left");
}

void CheckBox(TFakeObject& form, const std::string& name) {
  form.Add(name).String("Caption").String("Hint").Boolean("Checked").Font("Font");
}

void ComboBox(TFakeObject& form, const std::string& name) {
  form.Add(name).Strings("Items").String("Hint").Integer("ItemIndex").Font("Font");
}

void Hinted(TFakeObject& form, const std::string& name) {
  form.Add(name).String("Hint").Integer("Position").Boolean("Visible");
}

void Dialog(TFakeObject& form, const std::string& name) {
  form.Add(name).String("Title").String("Filter").String("FileName");
}

void Frame(TFakeObject& form, const std::string& name, int buttons) {
  TFakeObject& frame = form.Add(name);
  frame.Boolean("Active").Other("CaptionSetting").Other("BorderSetting");
  frame.Collection("Buttons", buttons);
}

void Form(TFakeObject& form) {
  form.String("Caption").String("Hint").Integer("Width").Boolean("Visible").Font("Font").Other("OnCreate");
}

std::unique_ptr<TFakeObject> ProgramModule() {
  auto form = std::make_unique<TFakeObject>("FProgramModule");
  Form(*form);
  for (const char* name :
       {"AOpen",    "ASave",      "ASaveAs",    "AClose",    "ACloseAll", "AExit",    "ARecord",  "AStop",
        "APlay",    "AGotoBegin", "AGotoEnd",   "ARewind",   "ASettings", "AEnglish", "ADeutsch", "AFrench",
        "ARussian", "AItalian",   "AUkrainian", "AContents", "ANews",     "AAbout"})
    Action(*form, name);
  for (const char* name : {"MMProgramModule", "MTFile", "MTTools", "MTProgram"}) Menu(*form, name);
  for (const char* name :
       {"MIFile",     "MIOpen",       "MIReopen",    "MISave",     "MISaveAs",   "MIClose",     "MICloseAll",
        "MIExit",     "MITools",      "MIRecord",    "MIStop",     "MIPlay",     "MIGotoBegin", "MIGotoEnd",
        "MIRewind",   "MIService",    "MISettings",  "MILanguage", "MIEnglish",  "MIDeutsch",   "MIFrench",
        "MIRussian",  "MIItalian",    "MIUkrainian", "MIHelp",     "MIContents", "MINews",      "MIProduct1",
        "MIProduct2", "MIProduct3",   "MIAbout",     "MITOpen",    "MITSave",    "MITRecord",   "MITStop",
        "MITPlay",    "MITGotoBegin", "MITGotoEnd",  "MITRewind",  "MITVolume",  "MITInternet"})
    MenuItem(*form, name);
  for (const char* name : {"LSource", "LOutput", "LTimeSource", "LSEndTime", "LDestination", "LTimeDest", "LEndTime"})
    Label(*form, name);
  for (const char* name : {"CBChannels", "CBResolution", "CBCompression"}) CheckBox(*form, name);
  for (const char* name : {"CBOutput", "CBInputDevices", "CBSampleRate", "CBCompressions", "CBDrivers"})
    ComboBox(*form, name);
  for (const char* name : {"TBSource", "TBDestination", "TBLeftVolume", "TBRightVolume", "TBVolume", "PSource",
                           "PRecord", "PDestination", "PMeter", "PLeftVolume", "PRightVolume", "PBProgress"})
    Hinted(*form, name);
  form->Add("BBVolume").String("Caption").String("Hint").Boolean("Visible").Font("Font");
  for (const char* name : {"ODFile", "SDFile"}) Dialog(*form, name);
  Frame(*form, "FormDesigne", 3);
  form->Add("CBProgram").Collection("Bands", 4);
  form->Add("MPDestination").String("FileName");
  form->Add("TExport").Integer("Interval");
  form->Add("FLProgramModule").String("Language").String("FormName");
  form->Add("LMain").String("Language");
  return form;
}

std::unique_ptr<TFakeObject> HelperModule() {
  auto form = std::make_unique<TFakeObject>("FTicherModule");
  Form(*form);
  CheckBox(*form, "CBCancel");
  form->Add("HHelper").String("FileName").Integer("Paragraph");
  form->Add("SHelper").Integer("Width");
  Frame(*form, "FDTicher", 3);
  form->Add("FLHelperModule").String("Language").String("FormName");
  return form;
}

std::unique_ptr<TFakeObject> MessageBlock() {
  auto form = std::make_unique<TFakeObject>("FMessageBlock");
  Form(*form);
  form->Add("MMessageBlock").Strings("Lines").Font("Font");
  for (const char* name : {"IQuestion", "IWarning"}) form->Add(name).Other("Picture").Integer("Height");
  form->Add("ILMessageBlock").Integer("Count");
  form->Add("FLMessageBlock").String("Language");
  return form;
}

std::unique_ptr<TFakeObject> AboutModule() {
  auto form = std::make_unique<TFakeObject>("FAboutModule");
  Form(*form);
  for (const char* name : {"LProgram", "LDescription", "LVersion", "LDevelopment", "LSupport", "LSupportMail", "LSales",
                           "LSalesMail", "LProducts", "LProduct1", "LProduct2", "LProduct3", "LClose"})
    Label(*form, name);
  Frame(*form, "FDAbout", 1);
  form->Add("FLAboutModule").String("Language");
  return form;
}

}  // namespace

const std::vector<std::string>& ProgramWindowSections() {
  static const std::vector<std::string> sections = {"FProgramModule", "FHelperModule", "FMessageBlock", "FAboutModule"};
  return sections;
}

std::unique_ptr<TFakeObject> MakeProgramWindow(const std::string& section) {
  if (section == "FProgramModule") return ProgramModule();
  if (section == "FHelperModule") return HelperModule();
  if (section == "FMessageBlock") return MessageBlock();
  if (section == "FAboutModule") return AboutModule();
  return nullptr;
}
