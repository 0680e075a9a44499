#include "app/HelperModule.h"

#include "app/ProgramModule.h"
#include "app/ProgramUnit.h"
#include "app/SkinnedFrames.h"
#include "app/WindowBounds.h"
#include "base/Strings.h"
#include "platform/shell/Shell.h"
#include "ui/ECFormLanguage.h"
#include "ui/FormsPublished.h"
#include "ui/frame/ECFormDesigner.h"
#include "ui/help/ECXMLHelp.h"

namespace {

TFHelperModule* gHelperModule = nullptr;
std::vector<std::string> gTopics;

constexpr canvas::TColor HelperColour = 15855340;
// Commands are read from this many characters after "cmd://".
constexpr size_t kCommandLength = 100;

}  // namespace

TFHelperModule* HelperModule() { return gHelperModule; }

const std::vector<std::string>& HelperTopics() { return gTopics; }

std::string HelpFileName(const std::string& LanguageCode) {
  const std::string folder = ProgramPlace().ProgramFolder();
  const std::string own = folder + "KorvaneSonarid." + LanguageCode + ".xcf";
  return FileExists(own) ? own : folder + "KorvaneSonarid.ENU.xcf";
}

void ShowHelper(const std::vector<std::string>& Topics) {
  gTopics = Topics;
  if (gHelperModule) gHelperModule->ShowTopics();
}

TFHelperModule::TFHelperModule(TFProgramModule* owner) : TForm(owner), FMain(owner) {
  SetName("FHelperModule");
  SetCaption("Tips");
  SetColor(HelperColour);
  SetFormStyle(forms::fsStayOnTop);
  // Below the main window's designed place, at its right end.
  SetBounds(424, 466, 303, 225);
  Constraints.MinWidth = 140;
  Constraints.MinHeight = 48;

  FDTicher = new TECFormDesigner(this);
  FDTicher->SetName("FDTicher");
  SkinTipsFrame(*FDTicher);
  FDTicher->Buttons().Items(1)->OnClick = [this](TObject*) { HHelper->Forward(); };
  FDTicher->Buttons().Items(2)->OnClick = [this](TObject*) { HHelper->Back(); };
  // Two corners are cut off, the top right and the bottom left one.
  FDTicher->OnCreateRgn = [this](TObject*, std::optional<window::TRegion>& rgn) {
    const int w = Width(), h = Height();
    rgn = window::TRegion::Polygon({{0, 0}, {w - 1, 0}, {w - 1, 4}, {w, 4}, {w, h}, {4, h}, {4, h - 1}, {0, h - 1}, {0, 0}},
                                   window::TPolyFillMode::Winding);
  };
  FDTicher->SetActive(true);

  HHelper = new TECXMLHelp(this);
  HHelper->SetName("HHelper");
  HHelper->SetParent(this);
  HHelper->SetParagraph(8);
  HHelper->SetAutosize(false);
  HHelper->SetAnchors(forms::akLeft | forms::akTop | forms::akRight | forms::akBottom);
  HHelper->OnClickRef = [this](TObject*, const std::string& ref) { HHelperClickRef(ref); };
  SHelper = new forms::TShape(this);
  SHelper->SetName("SHelper");
  SHelper->SetParent(this);
  SHelper->Pen.Color = canvas::clGray;
  SHelper->SetAnchors(forms::akLeft | forms::akRight | forms::akBottom);
  CBCancel = new forms::TCheckBox(this);
  CBCancel->SetName("CBCancel");
  CBCancel->SetParent(this);
  CBCancel->SetCaption("Do not open on start");
  CBCancel->SetShowHint(true);
  CBCancel->SetColor(HelperColour);
  CBCancel->SetAnchors(forms::akLeft | forms::akBottom);
  CBCancel->OnClick = [this](TObject*) { FMain->SetShowHelper(!CBCancel->Checked()); };

  OnClose = [this](TObject*, forms::TCloseAction& action) {
    if (FileExists(ProgramPlace().SettingsFile()))
      WriteSettings([this](forms::TIniFile& ini) { WriteWindowBounds(ini, "TicherModule", *this); });
    action = forms::caFree;
    // Gone for the program from now on, though it is freed only once its
    // messages are handled: Contents makes a new one.
    if (gHelperModule == this) gHelperModule = nullptr;
  };

  Published = std::make_unique<TFormsPublishedForm>(*this);
  FLHelperModule = std::make_unique<TECFormLanguage>(Published.get());
  FLHelperModule->SetFormName("FHelperModule");
  FLHelperModule->ApplyApplicationLanguage();
  gHelperModule = this;
  FormCreate();
}

TFHelperModule::~TFHelperModule() {
  if (gHelperModule == this) gHelperModule = nullptr;
  FLHelperModule.reset();
}

void TFHelperModule::FormCreate() {
  ReadBounds();
  ShowTopics();
  CBCancel->SetChecked(!FMain->ShowHelperAtStart());
  LoadHelpFile();
  const int w = ClientWidth(), h = ClientHeight();
  HHelper->SetBounds(4, 4, w - 8, h - 24);
  SHelper->SetBounds(5, h - 20, w - 10, 1);
  CBCancel->SetBounds(4, h - 16, std::min(w - 8, 240), 16);
}

void TFHelperModule::ReadBounds() {
  if (FileExists(ProgramPlace().SettingsFile())) ReadWindowBounds(*IniFile(), "TicherModule", *this, true);
}

void TFHelperModule::ShowTopics() {
  HHelper->BeginUpdate();
  HHelper->ClearPages();
  for (const std::string& topic : gTopics) HHelper->AddPage(topic + ".xml");
  HHelper->EndUpdate();
  // Back from a page a link led to comes here, not to what showed before.
  HHelper->ReplaceHistoryEntry();
}

void TFHelperModule::LoadHelpFile() { HHelper->SetFileName(HelpFileName(UpperCase(FMain->LanguageCode()))); }

void TFHelperModule::HHelperClickRef(const std::string& Ref) {
  const std::string link = Trim(Ref);
  if (StartsText("http://", link)) shell::OpenLink(link);
  else if (StartsText("cmd://", link)) RunCommand(link.substr(6, kCommandLength));
}

void TFHelperModule::RunCommand(const std::string& Command) {
  // What the user could start with the same action now, and nothing else:
  // the handlers check less than their actions do, and a second take over
  // a running one would leave the first one's devices open.
  TFProgramModule& m = *FMain;
  const bool quiet = !m.Recording() && !m.Busy();
  if (SameText(Command, "Open") && m.AOpen->Enabled()) m.AOpenExecute();
  else if (SameText(Command, "PlaySource") && quiet) m.PlaySource();
  else if (SameText(Command, "PlayDestination") && quiet) m.PlayDestination();
  else if (SameText(Command, "Record") && m.ARecord->Enabled()) m.ARecordExecute();
  else if (SameText(Command, "Stop") && m.AStop->Enabled()) m.AStopExecute();
  else if (SameText(Command, "Save") && m.ASave->Enabled()) m.ASaveExecute();
}
