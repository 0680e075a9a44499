// The main window's start-up and shut-down, its language, the enabling of
// its actions, the activation of its panels and its links.

#include "app/ProgramModule.h"

#include <cstdio>

#include "app/HelperModule.h"
#include "app/LanguageGuess.h"
#include "app/LoadedFile.h"
#include "app/MessageBlock.h"
#include "app/ProgramLog.h"
#include "app/ProgramUnit.h"
#include "app/WindowBounds.h"
#include "app/TakeRecorder.h"
#include "app/TakeSaver.h"
#include "base/Log.h"
#include "base/Streams.h"
#include "platform/audio/MediaPlayer.h"
#include "platform/shell/Shell.h"
#include "platform/threads/MainQueue.h"
#include "platform/window/WindowSystem.h"
#include "ui/ECFormLanguage.h"
#include "ui/ECLanguage.h"
#include "ui/FormsPublished.h"
#include "ui/IntegerText.h"

namespace {

constexpr canvas::TColor ActiveColour = 15653074, InactiveColour = 15855340;
// Both bars at the top: the mixer receives 65535, full volume, at which
// "Program output" records the program's sound as it is (a fifth of the
// bars' way up, 5000, would leave a take 67 dB below it).
constexpr int FirstStartVolume = 0;

const char* const WindowStateNames[] = {"wsNormal", "wsMinimized", "wsMaximized"};

}  // namespace

TFProgramModule::TFProgramModule(forms::TComponent* owner)
    : TForm(owner),
      FTake(std::make_unique<TTakeRecorder>(ProgramPlace().RecordFile(), ProgramPlace().JournalFile())),
      FSaver(std::make_unique<TTakeSaver>(ProgramPlace().RecordFile())) {
  BuildControls();
  MPDestination = std::make_unique<audio::TMediaPlayer>();
  Published = std::make_unique<TFormsPublishedForm>(*this);
  LMain = std::make_unique<TECLanguage>(Published.get());
  LMain->SetBasePath(ChangeFileExt(ProgramPlace().ProgramFile, ""));
  LMain->OnLanguageChange = [this](TObject*) { LMainLanguageChange(); };
  FLProgramModule = std::make_unique<TECFormLanguage>(Published.get());
  FLProgramModule->SetFormName("FProgramModule");
  OnCloseQuery = [this](TObject*, bool& canClose) { FormCloseQuery(canClose); };
  FormCreate();
}

void TFProgramModule::FormCreate() {
  forms::TIniFile& ini = *IniFile();
  OpenLog(ProgramPlace().LogFile());
  SetLogHook(WriteLog);  // what the layers below note goes into the same log
  ReadBounds();
  const std::string state = ini.ReadString("FProgramModule", "WindowState", "wsNormal");
  // A name of no window state leaves the window normal.
  for (int i = 0; i < 3; ++i)
    if (SameText(state, WindowStateNames[i])) SetWindowState(forms::TWindowState(i));
  // The working file's place is the recorder's and the saver's from the start.

  CBSampleRate->SetItemIndex(ini.ReadInteger("Record", "SampleRate", 6));
  CBChannels->SetChecked(ini.ReadBool("Record", "Channels", true));
  CBResolution->SetChecked(ini.ReadBool("Record", "Resolution", true));
  CBCompression->SetChecked(ini.ReadBool("Record", "Compression", false));
  SetupWaveFormat();
  FillMidiOutDevices();
  FillInputDevices();
  CBInputDevices->SetItemIndex(ini.ReadInteger("Record", "InputDevice", 0));
  CBInputDevicesChange();
  ShowChannelBars();  // also with no mixer to read: a stored mono shows one level bar
  ChooseLanguage();
  LoadReopenList();
  // The help file was looked for by the language change: Contents shows
  // only when there is one.
  FShowHelper = ini.ReadBool("Properties", "Helper", true);
  if (AContents->Visible() && FShowHelper) {
    if (!HelperModule()) new TFHelperModule(this);
    ShowStartTopic();
    HelperModule()->Show();
  }

  FillCompressions();
  const int codec = ini.ReadInteger("Record", "Codec", 0);
  CBCompressions->SetItemIndex(CBCompressions->Items().Count() > 0 ? 0 : -1);
  for (int i = 0; i < CBCompressions->Items().Count(); ++i)
    if (CBCompressions->Items().Tags(i) == codec) CBCompressions->SetItemIndex(i);
  FillDrivers();
  CBDrivers->SetItemIndex(ini.ReadInteger("Record", "Driver", 0));
  UpdateActions();

  FVolumeProgram = shell::FindOnPath("pavucontrol");
  BBVolume->SetVisible(!FVolumeProgram.empty());
  if (!ini.ReadBool("FProgramModule", "FirstStart", false)) {
    TBLeftVolume->SetPosition(FirstStartVolume);
    TBRightVolume->SetPosition(FirstStartVolume);
    WriteSettings([](forms::TIniFile& settings) { settings.WriteBool("FProgramModule", "FirstStart", true); });
  }
  TakeUpLeftTake();
  ActivatePanel(true);
}

void TFProgramModule::ReadBounds() { ReadWindowBounds(*IniFile(), "FProgramModule", *this, false); }

void TFProgramModule::ChooseLanguage() {
  std::string code = IniFile()->ReadString("Tools", "Language", "");
  // Every code the language actions write is taken back; a missing or
  // unknown one leaves the choice to the keyboard guess.
  bool accepted = false;
  for (const auto& [action, known] : LanguageActions()) accepted = accepted || SameText(code, known);
  if (!accepted) code = GuessLanguage(UserLanguages());
  // The language object holds no code yet, so this loads and applies the
  // file and fires the change event.
  FLProgramModule->SetExLanguage(code);
  LMain->SetLanguage(code);
  const std::string now = UpperCase(LMain->GetLanguage());
  for (const auto& [action, known] : LanguageActions()) action->SetChecked(now == known);
}

std::vector<std::pair<forms::TAction*, const char*>> TFProgramModule::LanguageActions() const {
  return {{AEnglish, "ENU"}, {ARussian, "RUS"}, {ADeutsch, "DEU"},
          {AFrench, "FRA"},  {AItalian, "ITA"}, {AUkrainian, "UKR"}};
}

void TFProgramModule::LanguageExecute(forms::TAction* Action, const std::string& Code) {
  for (const auto& [action, known] : LanguageActions()) action->SetChecked(action == Action);
  FLProgramModule->SetExLanguage(Code);
  LMain->SetLanguage(Code);
  RestoreFileLabels();
  WriteSettings([&](forms::TIniFile& ini) { ini.WriteString("Tools", "Language", LMain->GetLanguage()); });
}

void TFProgramModule::LMainLanguageChange() {
  const std::string code = UpperCase(LMain->GetLanguage());
  FLProgramModule->SetExLanguage(code);
  RestoreFileLabels();
  MMProgramModule->Item()->UpdateLayout();
  const std::string folder = ProgramPlace().ProgramFolder();
  const std::string name = code == "RUS" ? "Russian" : code == "DEU" ? "Deutsch" : code == "FRA" ? "French" : "English";
  ANews->SetVisible(FileExists(folder + "News/" + name + "/News.xcf") ||
                    FileExists(folder + "News/English/News.xcf"));
  if (TFHelperModule* helper = HelperModule()) helper->LoadHelpFile();
  AContents->SetVisible(FileExists(folder + "KorvaneSonarid." + code + ".xcf") ||
                        FileExists(folder + "KorvaneSonarid.ENU.xcf"));
}

void TFProgramModule::RestoreFileLabels() {
  if (const TLoadedFile* file = CurrentFile()) LSource->SetCaption(ExtractFileName(file->FileName));
  if (HasTake())
    LDestination->SetCaption(ExtractFileName(FileExists(DestFile()) ? DestFile() : RecordFile()));
  else if (CurrentFile())
    LDestination->SetCaption("Untitled.wav");
}

std::string TFProgramModule::Message(TProgramMessage Index) const {
  return Published->Decode(FLProgramModule->GetString(Index));
}

void TFProgramModule::ShowError(const std::string& Text) {
  ShowMessageBlock(Message(pmErrorCaption), Text, mpWarning, mbOk);
}

void TFProgramModule::ShowNotice(const std::string& Text) { ShowMessageBlock(Caption(), Text, mpInformation, mbOk); }

TFProgramModule::~TFProgramModule() {
  FDestroying = true;
  TMainQueue::Instance().Cancel(this);
  TExport->SetEnabled(false);
  FPlaceTimer->SetEnabled(false);
  // A take still running leaves nothing open behind it.
  if (Recording()) {
    CloseWaveIn();
    FTake->Close();
  }
  SaveReopenList();
  SavePlace();
  WriteSettings([this](forms::TIniFile& ini) { ini.WriteString("Tools", "Language", LMain->GetLanguage()); });
  if (FMixer) audio::MixerClose(FMixer);
  FMixer = 0;
  FFiles.clear();
  MPDestination.reset();
  // A take nobody could be asked about (the display went away) stays for
  // the next start.
  const bool displayLost = window::TWindowSystem::Exists() && window::TWindowSystem::Current().DisplayLost();
  if (!(displayLost && HasTake() && !Saved())) std::remove(RecordFile().c_str());
  FLProgramModule.reset();
  LMain.reset();
  SetLogHook(nullptr);
  CloseLog();
}

void TFProgramModule::SavePlace() {
  WriteSettings([this](forms::TIniFile& ini) {
    WriteWindowBounds(ini, "FProgramModule", *this);
    ini.WriteString("FProgramModule", "WindowState", WindowStateNames[int(WindowState())]);
  });
}

void TFProgramModule::WindowMessage(window::TMessage& Msg) {
  TForm::WindowMessage(Msg);
  // A move or resize is written once the window has come to rest, not at
  // every step of a drag.
  if ((Msg.Kind == window::TMessageKind::Move || Msg.Kind == window::TMessageKind::Size) && FPlaceTimer) {
    FPlaceTimer->SetEnabled(false);
    FPlaceTimer->SetEnabled(true);
  }
}

void TFProgramModule::FormCloseQuery(bool& CanClose) {
  // A save in progress reads the working file, which closing deletes: Stop ends it first.
  if (Busy()) {
    CanClose = false;
    return;
  }
  // A take being recorded ends as Stop ends it, and is asked about as any
  // take not saved yet: closing the window no longer throws it away.
  if (Recording()) AStopExecute();
  // Yes closes only once the take is saved: a cancelled or failed save keeps
  // the window and with it the take.
  CanClose = SettleUnsavedTake(Message(pmExitCaption), pmUnsavedQuestion);
}

bool TFProgramModule::SettleUnsavedTake(const std::string& Caption, TProgramMessage Question) {
  if (!ASave->Enabled()) return true;
  const int answer = ShowMessageBlock(Caption, Message(Question), mpQuestion, mbCancel | mbNo | mbYes);
  if (answer != forms::mrYes) return answer == forms::mrNo;
  ASaveExecute();
  return Saved();
}

bool TFProgramModule::TakePlayerStopped() const { return MPDestination->Mode() != audio::TMPModes::mpPlaying; }

bool TFProgramModule::TakePlayerPlaying() const { return MPDestination->Mode() == audio::TMPModes::mpPlaying; }

void TFProgramModule::UpdateActions() {
  const bool file = CurrentFile() != nullptr;
  const bool busy = Busy(), recording = Recording();
  AOpen->SetEnabled(!busy);
  APlay->SetEnabled((!busy && FSourceActive && file && !FPlaying && !recording) ||
                    (!FSourceActive && TakePlayerStopped() && !recording));
  AStop->SetEnabled(busy || (FSourceActive && file && (FPlaying || recording)) ||
                    (!FSourceActive && (TakePlayerPlaying() || recording)));
  // A take left by a run that ended without shut-down is saved before any score is opened.
  ASave->SetEnabled(!busy && HasTake() && !Saved());
  ARewind->SetEnabled(!busy && file);
  const bool gotoEnabled =
      !busy && !recording && ((FSourceActive && file) || (!FSourceActive && TakePlayerStopped()));
  AGotoBegin->SetEnabled(gotoEnabled);
  AGotoEnd->SetEnabled(gotoEnabled);
  // A take is not started during a save, which reads the working file.
  ARecord->SetEnabled(!busy && file && !recording && !FPlaying && !TakePlayerPlaying());
  UpdateReopenItem();
}

void TFProgramModule::ActivatePanel(bool Source) {
  PSource->SetColor(Source ? ActiveColour : InactiveColour);
  PRecord->SetColor(Source ? ActiveColour : InactiveColour);
  PDestination->SetColor(Source ? InactiveColour : ActiveColour);
  // Bars and check boxes show their panel's colour.
  for (forms::TPanel* panel : {PSource, PRecord, PDestination})
    for (int i = 0; i < panel->ControlCount(); ++i)
      if (dynamic_cast<TECImageTrack*>(panel->Controls(i)) || dynamic_cast<forms::TCheckBox*>(panel->Controls(i)))
        panel->Controls(i)->SetColor(panel->Color());
  FSourceActive = Source;
  UpdateActions();
}

void TFProgramModule::SetShowHelper(bool Value) {
  if (Value == FShowHelper) return;
  FShowHelper = Value;
  WriteSettings([&](forms::TIniFile& ini) { ini.WriteBool("Properties", "Helper", Value); });
}

void TFProgramModule::BBVolumeClick() { shell::StartProgram(FVolumeProgram); }

void TFProgramModule::OpenLink(const std::string& Link) { shell::OpenLink(Link); }
