// The main window as designed: the band of menu and tool bars, the source,
// record and destination panels with their controls, the actions, the
// dialogs and the timer. Texts are the English defaults; the language file
// replaces them.

#include <algorithm>

#include "app/DrawPanel.h"
#include "app/ProgramLog.h"
#include "app/ProgramModule.h"
#include "app/ProgramUnit.h"
#include "app/SkinnedFrames.h"
#include "app/TakeRecorder.h"
#include "app/TakeSaver.h"
#include "platform/audio/MediaPlayer.h"
#include "ui/ECLanguage.h"
#include "ui/frame/ECFormDesigner.h"

namespace {

constexpr canvas::TColor ActiveColour = 15653074;  // 0xEED8D2
constexpr canvas::TColor BandColour = 0xDEE2E8;      // the middle of the bars' picture

// The picture strip's images: normal ones, then the same lighter for the hot state.
enum : int {
  imOpen, imSave, imRecord, imStop, imPlay, imBegin, imEnd, imRepeat, imInternet, imContents, imVolume, imCount
};

template <class T>
T* Add(forms::TWinControl* parent, const char* name, int left, int top, int width, int height) {
  T* control = new T(parent->ParentForm());
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  control->SetShowHint(true);
  return control;
}

forms::TLabel* AddLabel(forms::TWinControl* parent, const char* name, int left, int top, const char* text) {
  auto* label = Add<forms::TLabel>(parent, name, left, top, 0, 0);
  label->SetCaption(text);
  return label;
}

TECImageTrack* AddTrack(forms::TWinControl* parent, const char* name, int left, int top, int width, int height,
                        bool vertical) {
  auto* track = Add<TECImageTrack>(parent, name, left, top, width, height);
  const std::string side = vertical ? "track-v-" : "track-h-";
  track->SetFirstTrackPicture(SkinPicture(side + "first.png"));
  track->SetCenterTrackPicture(SkinPicture(side + "center.png"));
  track->SetLastTrackPicture(SkinPicture(side + "last.png"));
  track->SetButtonPicture(SkinPicture(side + "button.png"));
  track->SetOrientation(vertical ? toVertical : toHorizontal);
  track->SetButtonWidth(vertical ? 18 : 11);
  track->SetButtonHeight(10);
  track->SetLeftOffset(6);
  track->SetRightOffset(6);
  track->SetColor(parent->Color());
  return track;
}

template <class T = forms::TPanel>
T* AddPanel(forms::TWinControl* parent, const char* name, int left, int top, int width, int height,
            forms::TAnchors anchors) {
  auto* panel = Add<T>(parent, name, left, top, width, height);
  panel->SetAnchors(anchors);
  panel->SetBevelOuter(forms::bvNone);
  panel->SetColor(ActiveColour);
  panel->SetCaption("");
  return panel;
}

TECMenu* AddBar(forms::TWinControl* parent, const char* name, forms::TImageList* images, TECMenuStyle style,
                int left, int top, int width, int height) {
  auto* bar = Add<TECMenu>(parent, name, left, top, width, height);
  bar->SetImages(images);
  bar->Item()->SetOrientation(ioHorizontal);
  bar->Item()->SetMenuStyle(style);
  bar->Item()->SetButtonHeight(height);
  bar->Item()->SetPicture(SkinPicture("bar-background.png"));
  return bar;
}

// The tool bars' picture behind their row, from the left edge to the
// right one however wide the window grows, so that the row reads as one
// band and not as bars ending part-way.
void AddBarBackground(forms::TWinControl* parent, int top, int height) {
  const canvas::TBitmap tile = SkinPicture("bar-background.png");
  if (tile.Width() <= 0) return;
  canvas::TBitmap wide(4096, tile.Height());
  for (int x = 0; x < wide.Width(); x += tile.Width()) wide.Canvas().Draw(x, 0, tile);
  auto* image = Add<forms::TImage>(parent, "IBarBackground", 0, top, parent->Width(), height);
  image->SetAnchors(forms::akLeft | forms::akTop | forms::akRight);
  image->SetPicture(wide);
}

}  // namespace

void TFProgramModule::BuildControls() {
  SetName("FProgramModule");
  SetCaption("Korvane Sonarid");
  SetBounds(100, 100, 627, 356);
  Constraints.MinWidth = 442;
  Constraints.MinHeight = 318;
  SetColor(ActiveColour);

  ILProgram = new forms::TImageList(this);
  ILProgram->SetName("ILProgram");
  ILProgram->AddStrip(SkinPicture("menu-images.png"));
  BuildActions();

  CBProgram = AddPanel(this, "CBProgram", 0, 0, 627, 50, forms::akLeft | forms::akTop | forms::akRight);
  CBProgram->SetColor(BandColour);
  AddBarBackground(CBProgram, 22, 28);
  MMProgramModule = AddBar(CBProgram, "MMProgramModule", ILProgram, msMenu, 0, 0, 627, 22);
  MMProgramModule->SetAlign(forms::alTop);
  MTFile = AddBar(CBProgram, "MTFile", ILProgram, msToolbar, 0, 22, 64, 28);
  MTTools = AddBar(CBProgram, "MTTools", ILProgram, msToolbar, 64, 22, 168, 28);
  MTProgram = AddBar(CBProgram, "MTProgram", ILProgram, msToolbar, 232, 22, 150, 28);
  TBVolume = AddTrack(MTProgram, "TBVolume", 0, 4, 100, 20, false);
  TBVolume->SetMax(65535);
  TBVolume->SetPosition(100);
  TBVolume->OnChange = [this](TObject*) { TBVolumeChange(); };
  BBVolume = Add<forms::TBitBtn>(CBProgram, "BBVolume", 627 - 124, 24, 120, 24);
  BBVolume->SetAnchors(forms::akTop | forms::akRight);
  BBVolume->SetCaption("Volume control");
  BBVolume->Images = ILProgram;
  BBVolume->ImageIndex = imVolume;
  BBVolume->Hide();
  BBVolume->OnClick = [this](TObject*) { BBVolumeClick(); };
  BuildMenus();
  // The File menu shows "Ctrl+O" beside Open: the keys do what it says,
  // whichever control has the focus.
  KeyPreview = true;
  OnKeyDown = [this](TObject*, int& key, forms::TShiftState shift) {
    if (key != 'O' || shift != window::ssCtrl || !AOpen->Enabled()) return;
    key = 0;
    AOpen->Execute();
  };
  BuildPanels();

  TExport = new forms::TTimer(this);
  TExport->SetName("TExport");
  TExport->SetEnabled(false);
  TExport->SetInterval(100);
  TExport->OnTimer = [this](TObject*) { TExportTimer(); };
  FPlaceTimer = new forms::TTimer(this);
  FPlaceTimer->SetEnabled(false);
  FPlaceTimer->SetInterval(500);
  FPlaceTimer->OnTimer = [this](TObject*) {
    FPlaceTimer->SetEnabled(false);
    SavePlace();
  };
  ODFile = new forms::TOpenDialog(this);
  ODFile->SetName("ODFile");
  ODFile->Options |= forms::ofFileMustExist;
  SDFile = new forms::TSaveDialog(this);
  SDFile->SetName("SDFile");
  // The window checks the folder itself, so that a missing one is said.
  SDFile->Options = 0;
  ODFile->OnError = SDFile->OnError = [this](const forms::TDialogProblem& problem) { ShowDialogProblem(problem); };

  // The designed size is the window's with its frame: the controls keep to
  // the client area inside it by their anchors.
  FormDesigne = new TECFormDesigner(this);
  FormDesigne->SetName("FormDesigne");
  SkinMainFrame(*FormDesigne);
  SetIcon(SkinPicture("program-icon.png"));
  FormDesigne->SetActive(true);
}

void TFProgramModule::BuildPanels() {
  const forms::TAnchors stretch = forms::akLeft | forms::akTop | forms::akRight;
  const forms::TAnchors all = stretch | forms::akBottom;
  PSource = AddPanel(this, "PSource", 0, 50, 327, 150, stretch);
  PDestination = AddPanel(this, "PDestination", 0, 200, 327, 156, all);
  PRecord = AddPanel(this, "PRecord", 327, 50, 300, 306, forms::akTop | forms::akRight | forms::akBottom);

  LSource = AddLabel(PSource, "LSource", 8, 10, "Not loaded");
  LOutput = AddLabel(PSource, "LOutput", 8, 40, "MIDI output:");
  CBOutput = Add<forms::TComboBox>(PSource, "CBOutput", 96, 36, 223, 22);
  CBOutput->SetAnchors(stretch);
  CBOutput->OnChange = [this](TObject*) { CBOutputChange(); };
  TBSource = AddTrack(PSource, "TBSource", 8, 76, 311, 20, false);
  TBSource->SetAnchors(stretch);
  TBSource->OnChange = [this](TObject*) { TBSourceChange(); };
  LTimeSource = AddLabel(PSource, "LTimeSource", 14, 104, "00:00");
  LSEndTime = AddLabel(PSource, "LSEndTime", 270, 104, "00:00");
  LSEndTime->SetAnchors(forms::akTop | forms::akRight);

  CBInputDevices = Add<forms::TComboBox>(PRecord, "CBInputDevices", 8, 8, 284, 22);
  CBInputDevices->SetAnchors(stretch);
  CBInputDevices->OnChange = [this](TObject*) { CBInputDevicesChange(); };
  CBSampleRate = Add<forms::TComboBox>(PRecord, "CBSampleRate", 8, 36, 84, 22);
  for (const char* rate : {"8 kHz", "11 kHz", "12 kHz", "22 kHz", "24 kHz", "32 kHz", "44 kHz", "48 kHz"})
    CBSampleRate->Items().Add(rate);
  CBSampleRate->SetItemIndex(6);
  CBChannels = Add<forms::TCheckBox>(PRecord, "CBChannels", 100, 38, 80, 18);
  CBChannels->SetCaption("Stereo");
  CBResolution = Add<forms::TCheckBox>(PRecord, "CBResolution", 188, 38, 80, 18);
  CBResolution->SetCaption("16-bit");
  CBCompression = Add<forms::TCheckBox>(PRecord, "CBCompression", 8, 66, 160, 18);
  CBCompression->SetCaption("Compression");
  CBCompressions = Add<forms::TComboBox>(PRecord, "CBCompressions", 8, 88, 284, 22);
  CBCompressions->SetAnchors(stretch);
  CBDrivers = Add<forms::TComboBox>(PRecord, "CBDrivers", 8, 116, 284, 22);
  CBDrivers->SetAnchors(stretch);
  TBLeftVolume = AddTrack(PRecord, "TBLeftVolume", 6, 146, 20, 152, true);
  TBRightVolume = AddTrack(PRecord, "TBRightVolume", 28, 146, 20, 152, true);
  PMeter = AddPanel<TDrawPanel>(PRecord, "PMeter", 54, 146, 196, 152, all);
  PMeter->SetColor(canvas::clBlack);
  PMeter->SetBevelOuter(forms::bvLowered);
  const forms::TAnchors level = forms::akTop | forms::akRight | forms::akBottom;
  PLeftVolume = AddPanel<TDrawPanel>(PRecord, "PLeftVolume", 256, 146, 16, 152, level);
  PRightVolume = AddPanel<TDrawPanel>(PRecord, "PRightVolume", 276, 146, 16, 152, level);
  for (TDrawPanel* bar : {PLeftVolume, PRightVolume}) {
    bar->SetColor(canvas::clWhite);
    bar->SetBevelOuter(forms::bvLowered);
  }
  for (TECImageTrack* bar : {TBLeftVolume, TBRightVolume}) {
    bar->SetAnchors(forms::akLeft | forms::akTop | forms::akBottom);
    bar->SetMax(65535);
    bar->SetMin(-127);
    bar->OnChange = [this](TObject*) { WriteInputVolume(); };
  }
  // A new record format or codec is for the next take: the take recorded
  // before it stays (saving reads it in its own format) until it is saved or
  // recorded over, which asks first. A take already saved stays saved: Save
  // would write it over its own file in another format, so another format
  // goes to a file of the user's choosing through Save as.
  CBSampleRate->OnChange = [this](TObject*) {
    WriteSettings([&](forms::TIniFile& ini) { ini.WriteInteger("Record", "SampleRate", CBSampleRate->ItemIndex()); });
    FillCompressions();
    UpdateActions();
  };
  CBChannels->OnClick = [this](TObject*) {
    WriteSettings([&](forms::TIniFile& ini) { ini.WriteBool("Record", "Channels", CBChannels->Checked()); });
    ShowChannelBars();
    if (!CBChannels->Checked()) WriteInputVolume();  // the one bar now sets both channels
    FillCompressions();
    UpdateActions();
  };
  CBResolution->OnClick = [this](TObject*) {
    WriteSettings([&](forms::TIniFile& ini) { ini.WriteBool("Record", "Resolution", CBResolution->Checked()); });
    FillCompressions();
    UpdateActions();
  };
  CBCompression->OnClick = [this](TObject*) {
    WriteSettings([&](forms::TIniFile& ini) { ini.WriteBool("Record", "Compression", CBCompression->Checked()); });
    UpdateActions();
  };
  CBCompressions->OnChange = [this](TObject*) {
    const int i = CBCompressions->ItemIndex();
    const int tag = i < 0 ? 0 : int(CBCompressions->Items().Tags(i));
    WriteSettings([&](forms::TIniFile& ini) { ini.WriteInteger("Record", "Codec", tag); });
    FillDrivers();
    UpdateActions();
  };
  CBDrivers->OnChange = [this](TObject*) {
    WriteSettings([&](forms::TIniFile& ini) { ini.WriteInteger("Record", "Driver", CBDrivers->ItemIndex()); });
    UpdateActions();
  };

  LDestination = AddLabel(PDestination, "LDestination", 8, 10, "No take");
  TBDestination = AddTrack(PDestination, "TBDestination", 8, 40, 311, 20, false);
  TBDestination->SetAnchors(stretch);
  // The user moves the take's bar: the stopped take player follows.
  TBDestination->OnChange = [this](TObject*) {
    if (FUpdating || !TakePlayerStopped()) return;
    MPDestination->SetPosition(uint32_t(std::max(0, TBDestination->Position())));
    LTimeDest->SetCaption(MillisecToStr(TBDestination->Position()));
  };
  LTimeDest = AddLabel(PDestination, "LTimeDest", 14, 68, "00:00");
  LEndTime = AddLabel(PDestination, "LEndTime", 270, 68, "00:00");
  LEndTime->SetAnchors(forms::akTop | forms::akRight);
  PBProgress = Add<forms::TProgressBar>(PDestination, "PBProgress", 8, 96, 311, 14);
  PBProgress->SetAnchors(stretch);
  PBProgress->Hide();

  // Focus entering a panel makes its side active; a click on a panel focuses its bar.
  PSource->OnEnter = [this](TObject*) { ActivatePanel(true); };
  PRecord->OnEnter = [this](TObject*) { ActivatePanel(true); };
  PDestination->OnEnter = [this](TObject*) { ActivatePanel(false); };
  PSource->OnClick = [this](TObject*) { TBSource->SetFocus(); };
  PRecord->OnClick = [this](TObject*) { CBInputDevices->SetFocus(); };
  PDestination->OnClick = [this](TObject*) { TBDestination->SetFocus(); };
  for (TECImageTrack* bar : {TBSource, TBDestination, TBLeftVolume, TBRightVolume})
    bar->OnMouseDown = [bar](TObject*, forms::TMouseButton, forms::TShiftState, int, int) { bar->SetFocus(); };
}

void TFProgramModule::BuildActions() {
  ALProgram = new forms::TActionList(this);
  ALProgram->SetName("ALProgram");
  auto action = [this](forms::TAction*& field, const char* name, const char* category, const char* caption,
                       std::function<void()> handler) {
    field = new forms::TAction(this);
    field->SetName(name);
    field->SetActionList(ALProgram);
    field->SetCategory(category);
    field->SetCaption(caption);
    if (handler) field->OnExecute = [handler](TObject*) { handler(); };
  };
  action(ARecord, "ARecord", "Tools", "&Record", [this] { ARecordExecute(); });
  action(AStop, "AStop", "Tools", "&Stop", [this] { AStopExecute(); });
  action(APlay, "APlay", "Tools", "&Play", [this] { APlayExecute(); });
  action(AGotoBegin, "AGotoBegin", "Tools", "Go to &beginning", [this] { AGotoBeginExecute(); });
  action(AGotoEnd, "AGotoEnd", "Tools", "Go to &end", [this] { AGotoEndExecute(); });
  action(ARewind, "ARewind", "Tools", "Repea&t", {});
  action(AOpen, "AOpen", "File", "&Open...", [this] { AOpenExecute(); });
  action(ASave, "ASave", "File", "&Save", [this] { ASaveExecute(); });
  action(ASaveAs, "ASaveAs", "File", "Save &as...", [this] { ASaveAsExecute(); });
  action(AClose, "AClose", "File", "&Close", {});
  action(ACloseAll, "ACloseAll", "File", "Close a&ll", {});
  action(AExit, "AExit", "File", "E&xit", [this] { AExitExecute(); });
  action(ASettings, "ASettings", "Service", "&Settings...", [] {});
  action(AEnglish, "AEnglish", "Service", "&English", [this] { LanguageExecute(AEnglish, "ENU"); });
  action(ADeutsch, "ADeutsch", "Service", "&German", [this] { LanguageExecute(ADeutsch, "DEU"); });
  action(AFrench, "AFrench", "Service", "&French", [this] { LanguageExecute(AFrench, "FRA"); });
  action(ARussian, "ARussian", "Service", "&Russian", [this] { LanguageExecute(ARussian, "RUS"); });
  action(AItalian, "AItalian", "Service", "&Italian", [this] { LanguageExecute(AItalian, "ITA"); });
  action(AUkrainian, "AUkrainian", "Service", "&Ukrainian", [this] { LanguageExecute(AUkrainian, "UKR"); });
  action(AContents, "AContents", "Help", "&Contents", [this] { AContentsExecute(); });
  action(ANews, "ANews", "Help", "Last news", [] {});
  action(AAbout, "AAbout", "Help", "&About...", [this] { AAboutExecute(); });
  for (forms::TAction* hidden : {AClose, ACloseAll, ASettings}) hidden->SetVisible(false);
}

void TFProgramModule::BuildMenus() {
  // Bar and tool buttons let the bar's picture show through and show no arrow.
  auto item = [this](TECMenuItem* parent, const char* name, forms::TAction* action, int image = -1,
                     TECItemKind kind = ikButton) {
    auto* i = new TECMenuItem(this);
    i->SetName(name);
    i->SetKind(kind);
    i->SetImage(image);
    i->SetOverImage(image >= 0 ? image + imCount : -1);
    const bool onBar = !parent->Parent();
    i->SetTransparent(onBar);
    i->SetMenuArrow(!onBar || kind == ikDropDown);
    if (action) i->SetAction(action);
    parent->Add(i);
    return i;
  };
  auto separator = [&](TECMenuItem* parent) { item(parent, "", nullptr, -1, ikSeparator); };

  TECMenuItem* bar = MMProgramModule->Item();
  TECMenuItem* file = item(bar, "MIFile", nullptr);
  file->SetCaption("&File");
  item(file, "MIOpen", AOpen, imOpen)->SetShortCutText("Ctrl+O");
  MIReopen = item(file, "MIReopen", nullptr);
  MIReopen->SetCaption("&Reopen");
  item(file, "MISave", ASave, imSave);
  item(file, "MISaveAs", ASaveAs);
  item(file, "MIClose", AClose);
  item(file, "MICloseAll", ACloseAll);
  separator(file);
  item(file, "MIExit", AExit);

  TECMenuItem* tools = item(bar, "MITools", nullptr);
  tools->SetCaption("&Control");
  item(tools, "MIRecord", ARecord, imRecord);
  item(tools, "MIStop", AStop, imStop);
  item(tools, "MIPlay", APlay, imPlay);
  item(tools, "MIGotoBegin", AGotoBegin, imBegin);
  item(tools, "MIGotoEnd", AGotoEnd, imEnd);
  separator(tools);
  item(tools, "MIRewind", ARewind, imRepeat, ikCheckBox);

  TECMenuItem* service = item(bar, "MIService", nullptr);
  service->SetCaption("&Options");
  item(service, "MISettings", ASettings);
  TECMenuItem* language = item(service, "MILanguage", nullptr);
  language->SetCaption("&Language");
  // Each shows a check mark when its language is the one in use.
  item(language, "MIEnglish", AEnglish, -1, ikCheckBox);
  item(language, "MIDeutsch", ADeutsch, -1, ikCheckBox);
  item(language, "MIFrench", AFrench, -1, ikCheckBox);
  item(language, "MIRussian", ARussian, -1, ikCheckBox);
  item(language, "MIItalian", AItalian, -1, ikCheckBox);
  item(language, "MIUkrainian", AUkrainian, -1, ikCheckBox);

  TECMenuItem* help = item(bar, "MIHelp", nullptr);
  help->SetCaption("&Help");
  item(help, "MIContents", AContents, imContents);
  item(help, "MINews", ANews);
  separator(help);
  // Pages of the maker's other products; two have a page of their own for
  // Russian and Ukrainian.
  struct TProduct {
    const char* Name;
    const char* Caption;
    const char* Page;
    const char* RussianPage;
  };
  static const TProduct products[] = {
      {"MIProduct1", "Korvane Score Writer", "https://www.korvane.example/scorewriter/",
       "https://www.korvane.example/ru/scorewriter/"},
      {"MIProduct2", "Korvane Tab Editor", "https://www.korvane.example/tabeditor/",
       "https://www.korvane.example/ru/tabeditor/"},
      {"MIProduct3", "Korvane Ear Trainer", "https://www.korvane.example/eartrainer/", nullptr}};
  for (const TProduct& product : products) {
    TECMenuItem* i = item(help, product.Name, nullptr);
    i->SetCaption(product.Caption);
    i->OnClick = [this, product](TObject*) {
      const std::string code = UpperCase(LMain ? LMain->GetLanguage() : std::string());
      OpenLink(product.RussianPage && (code == "RUS" || code == "UKR") ? product.RussianPage : product.Page);
    };
  }
  separator(help);
  item(help, "MIAbout", AAbout);

  MITOpen = item(MTFile->Item(), "MITOpen", AOpen, imOpen, ikDropDown);
  item(MTFile->Item(), "MITSave", ASave, imSave);
  TECMenuItem* row = MTTools->Item();
  item(row, "MITRecord", ARecord, imRecord);
  item(row, "MITStop", AStop, imStop);
  item(row, "MITPlay", APlay, imPlay);
  item(row, "MITGotoBegin", AGotoBegin, imBegin);
  item(row, "MITGotoEnd", AGotoEnd, imEnd);
  item(row, "MITRewind", ARewind, imRepeat, ikCheckBox);
  TECMenuItem* volume = item(MTProgram->Item(), "MITVolume", nullptr);
  volume->SetTextOffset(4);
  volume->SetControl(TBVolume);
  MITInternet = item(MTProgram->Item(), "MITInternet", nullptr, imInternet);
  MITInternet->SetCaption("https://www.korvane.example/en/sonarid/");
  MITInternet->OnClick = [this](TObject*) { OpenLink(MITInternet->Caption()); };
}
