#pragma once
// The main window: the only window made at start. It owns the program's
// state: the opened file, the record format and input volume, the codec
// lists, the reopen list and the language, and it drives playback of the
// score. All its texts come from the UI language file (section
// FProgramModule); its messages are named in ProgramMessages.h. The
// recording and the saving of a take are carried out by TTakeRecorder and
// TTakeSaver, which the window owns.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/DrawPanel.h"
#include "app/ProgramMessages.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/WaveIn.h"
#include "platform/codec/WaveFormat.h"
#include "platform/forms/ActnList.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/CheckBox.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/Label.h"
#include "platform/forms/ProgressBar.h"
#include "platform/forms/Timer.h"
#include "ui/ECImageTrack.h"
#include "ui/ECMenu.h"

namespace audio {
class TMediaPlayer;
}
namespace codec {
struct TWaveSaveResult;
}
class TECFormDesigner;
class TECFormLanguage;
class TECLanguage;
class TFormsPublishedForm;
class TLoadedFile;
class TKVScore;
class TTakeRecorder;
class TTakeSaver;

class TFProgramModule : public forms::TForm {
public:
  // Builds the window and runs the start-up steps; the settings file must be
  // open (ProgramUnit.h).
  explicit TFProgramModule(forms::TComponent* owner);
  // The shut-down steps: reopen list, bounds, window state and language
  // written; mixer closed; files freed; the working file deleted.
  ~TFProgramModule() override;

  TLoadedFile* CurrentFile() const { return FFiles.empty() ? nullptr : FFiles.front().get(); }
  // Recomputes the enabled state of the actions from the state flags.
  void UpdateActions();
  // Opens FileName as the current file; a load error passes out and leaves
  // the previous file in place.
  void LoadFile(const std::string& FileName);
  // LoadFile, with a load error shown in the message box; then the actions
  // are brought up to date.
  bool OpenFile(const std::string& FileName);
  // Message Index of the window's section of the language file.
  std::string Message(TProgramMessage Index) const;
  const std::string& RecordFile() const;
  const codec::TWaveFormat& WaveFormat() const { return FWaveFormat; }
  bool Playing() const { return FPlaying; }
  bool PlayEnded() const { return FPlayEnded; }
  bool SourceActive() const { return FSourceActive; }
  bool Recording() const;
  bool HasTake() const;
  int MixerChannels() const { return int(FMixerChannels); }
  bool MixerOpen() const { return FMixer != 0; }
  const std::string& VolumeProgram() const { return FVolumeProgram; }

  // ---- Action handlers.
  void AOpenExecute();
  void ASaveExecute();
  void ASaveAsExecute();
  void APlayExecute() { StartPlaySource(); }
  void AStopExecute();
  void AGotoBeginExecute() { GotoSide(false); }
  void AGotoEndExecute() { GotoSide(true); }
  void AExitExecute() { Close(); }
  void LanguageExecute(forms::TAction* Action, const std::string& Code);
  void BBVolumeClick();
  // The helper window's "Do not open on start" box: stored and written when changed.
  void SetShowHelper(bool Value);
  bool ShowHelperAtStart() const { return FShowHelper; }
  // Opens a link of the Help menu or the Internet button.
  void OpenLink(const std::string& Link);

  // ---- The tips window and the about box (ProgramHelp.cpp).
  // The tips window's topic for the moment: "Opened" with a file open,
  // else "Start"; nothing while the window is being destroyed.
  void ShowStartTopic();
  // Help > Contents: the tips window, made when there is none, on "Main".
  void AContentsExecute();
  // Help > About: the about box, shown modally until a click or a key.
  void AAboutExecute();
  // The code of the language in force ("ENU", "RUS", ...).
  std::string LanguageCode() const;

  // ---- Playback.
  void StartPlaySource();
  // Moves the active side to its start or end.
  void GotoSide(bool End);
  void TExportTimer();
  // The opened file's stop event, on the main thread: only sets the end flag,
  // which the 100 ms timer turns into the end of playback.
  void PlaybackEnded(TObject* Sender);
  void TBSourceChange();
  void TBVolumeChange();
  // The score's bar and time at Ms of the score (and the take's with
  // TakeToo, while a take records); the take's at its player's position.
  void ShowPositions(int64_t Ms, bool TakeToo);
  void ShowTakePosition();

  // ---- Recording a take (ProgramRecord.cpp).
  void ARecordExecute();
  // Focus a side (which makes it active), then play it; for the helper
  // window's links.
  void PlaySource();
  void PlayDestination();
  // Loads the take into the take player.
  void UpdateDestination();
  void QueueWaveInBuffer();
  void CloseWaveIn();
  // A monitor buffer came back from the wave input.
  void WMWimData(audio::TWaveHdr* Header);
  void ClearScreen();

  // ---- Devices.
  void FillMidiOutDevices();
  void CBOutputChange();
  void FillInputDevices();
  void CBInputDevicesChange();
  void ReadInputVolume();
  void WriteInputVolume();
  // One level bar and one input-volume bar in mono, two of each in stereo
  // (input-volume bars as many as the input line has channels).
  void ShowChannelBars();

  // ---- Record format and codec lists.
  void SetupWaveFormat();
  void FillCompressions();
  void FillDrivers();
  bool FindCompressedFormat(uint32_t DriverID, uint16_t Tag);
  // The first format of Tag at Pcm's channel count and rate that driver
  // DriverID (0: any) offers and can convert Pcm to, into FCodecFormat.
  bool FindCompressedFormat(uint32_t DriverID, uint16_t Tag, const codec::TWaveFormat& Pcm);

  // ---- Saving the take (Save and Save as).
  // Writes Source (the working file) to Dest: a checked copy, or with
  // compression on the conversion through the selected codec and driver,
  // with progress, in the busy state that Stop aborts. A failure shows its
  // message box and leaves no file at Dest (an older one stays as it was);
  // true when Dest was written. Dest must not be Source (pmCannotOpen).
  bool WriteWaveFile(const std::string& Source, const std::string& Dest);
  void ShowCompressionError();
  // Message Index with Path in place of its first "%s" (pmCannotOpen,
  // pmReplaceQuestion, pmSaveStopped, pmNoFolder; pmMergedNotes and
  // pmHighVelocities take a count there). A path too long for a box shows
  // its start and its end.
  std::string MessageWithPath(TProgramMessage Index, const std::string& Path) const;
  // The same with the cause of system error Error (an errno) in place of
  // the second "%s" (pmFolderUnreadable, pmCannotRead, pmCannotWrite).
  std::string MessageWithCause(TProgramMessage Index, const std::string& Path, int Error) const;
  // An errno in the words of the language: its own text for the causes
  // users meet most (no permission, a full disk, a read-only file system,
  // a name too long, nothing there), else the system's.
  std::string CauseText(int Error) const;
  // What the window says of a score that loaded: the import's own warning,
  // then a line for each change a MIDI import made to the file's notes and
  // one when the file holds no notes. Without a warning it is a notice.
  struct TImportMessage {
    std::string Text;  // empty when there is nothing to say
    bool Notice = false;
  };
  TImportMessage ImportMessage(const TKVScore& Score) const;

  // ---- The take.
  // The end of a take: the working file holds a take not saved yet.
  void TakeRecorded();
  // At start: a working file that a run ending without shut-down left
  // behind, holding a readable take, becomes the take (unsaved).
  void TakeUpLeftTake();
  bool Saved() const;
  bool Busy() const;
  const std::string& DestFile() const;

  // ---- Reopen list.
  void LoadReopenList();
  void RebuildReopenMenu();
  void SaveReopenList();
  void AddToReopen(const std::string& Path);
  void ReopenClick(TECMenuItem* Item);
  // File > Reopen is enabled while its list holds a file other than the
  // open one and no save runs.
  void UpdateReopenItem();

  // ---- Panels.
  void ActivatePanel(bool Source);

  // ---- Controls, by their designed names.
  TECFormDesigner* FormDesigne;
  forms::TPanel* CBProgram;
  TECMenu *MMProgramModule, *MTFile, *MTTools, *MTProgram;
  forms::TImageList* ILProgram;
  forms::TPanel *PSource, *PRecord, *PDestination;
  forms::TComboBox *CBOutput, *CBInputDevices, *CBSampleRate, *CBCompressions, *CBDrivers;
  forms::TLabel *LSource, *LOutput, *LTimeSource, *LSEndTime, *LDestination, *LTimeDest, *LEndTime;
  TECImageTrack *TBSource, *TBDestination, *TBLeftVolume, *TBRightVolume, *TBVolume;
  forms::TCheckBox *CBChannels, *CBResolution, *CBCompression;
  TDrawPanel *PMeter, *PLeftVolume, *PRightVolume;
  forms::TBitBtn* BBVolume;
  forms::TProgressBar* PBProgress;
  forms::TTimer* TExport;
  forms::TOpenDialog* ODFile;
  forms::TSaveDialog* SDFile;
  forms::TActionList* ALProgram;
  forms::TAction *AOpen, *ASave, *ASaveAs, *AClose, *ACloseAll, *AExit, *ARecord, *AStop, *APlay, *AGotoBegin,
      *AGotoEnd, *ARewind, *ASettings, *AEnglish, *ADeutsch, *AFrench, *ARussian, *AItalian, *AUkrainian, *AContents,
      *ANews, *AAbout;
  TECMenuItem *MIReopen, *MITOpen, *MITInternet;
  std::unique_ptr<audio::TMediaPlayer> MPDestination;
  std::unique_ptr<TFormsPublishedForm> Published;
  std::unique_ptr<TECLanguage> LMain;
  std::unique_ptr<TECFormLanguage> FLProgramModule;

private:
  void BuildControls();
  void BuildPanels();
  void BuildActions();
  void BuildMenus();
  void FormCreate();
  void ChooseLanguage();
  // The six language actions with the code each sets.
  std::vector<std::pair<forms::TAction*, const char*>> LanguageActions() const;
  void LMainLanguageChange();
  // The language file sets the panels' labels to their designed captions;
  // a loaded file and a take keep their names.
  void RestoreFileLabels();
  void ReadBounds();
  // Bounds and window state into the settings.
  void SavePlace();
  void WindowMessage(window::TMessage& Msg) override;
  void FormCloseQuery(bool& CanClose);
  // With an unsaved take, asks Question under Caption (Yes, No, Cancel):
  // true when the caller may go on, that is without such a take, on No, or
  // on Yes once the take is saved (a cancelled or failed save is false).
  bool SettleUnsavedTake(const std::string& Caption, TProgramMessage Question);
  // The Record action's caption without its "&" mark: the caption of its question.
  std::string RecordCaption() const;
  bool TakePlayerStopped() const;
  bool TakePlayerPlaying() const;
  void ShowError(const std::string& Text);
  // What the user should know that is no fault: under the program's name,
  // with the information picture.
  void ShowNotice(const std::string& Text);
  // Why a file dialog does not take a folder or a name, in the language.
  void ShowDialogProblem(const forms::TDialogProblem& Problem);
  // STOP, SAVE and CLOSE of the take's MCI element after its monitor input
  // is closed; the take is then loaded for playback. The message the caller
  // shows once its state is settled: the take could not be saved, or was
  // cut short where writing failed; none when it ended well.
  std::optional<TProgramMessage> FinishTake();
  void PlaySide(bool Source);
  // Ends a take whose score did not start: nothing stays open.
  void AbortTake();
  // Shows the message box a save's result calls for; true when it succeeded.
  bool ReportSave(const codec::TWaveSaveResult& Result);
  // ---- Saving the take (FileActions.cpp).
  // The save dialog, proposing SDFile's name, until it is cancelled ("") or
  // names a file the take may go to (the path): its folder exists and, when
  // the file exists, the user agreed to replace it (the question under
  // Caption). A folder that cannot be found, or No, shows the dialog again
  // with the name. ForceWav gives the name ".wav" (Save).
  std::string ChooseSaveFile(TProgramMessage Caption, bool ForceWav);
  // The name proposed for a take without a file of its own: its score's
  // with ".wav"; Otherwise when its score is not known.
  std::string ProposedTakeName(const std::string& Otherwise) const;
  bool ConfirmReplace(TProgramMessage Caption, const std::string& Path);
  void SaveTake(const std::string& PreviousDest);

  bool FShowHelper = true;
  codec::TWaveFormat FWaveFormat;
  std::unique_ptr<codec::TWaveFormat> FCodecFormat;  // the compressed format found last, nil when none
  uint32_t FLastResult = 0;
  std::atomic<bool> FPlayEnded{false};
  audio::HMIXER FMixer = 0;
  uint32_t FVolumeControlID = 0;
  uint32_t FMuteControlID = 0;
  uint32_t FMixerChannels = 0;
  bool FUpdating = false;
  std::vector<std::unique_ptr<TLoadedFile>> FFiles;
  bool FPlaying = false;
  bool FSourceActive = true;
  std::string FVolumeProgram;
  bool FDestroying = false;
  // Started by every move or resize; its tick writes the place.
  forms::TTimer* FPlaceTimer = nullptr;
  // The take: its recording into the working file, and its saving.
  std::unique_ptr<TTakeRecorder> FTake;
  std::unique_ptr<TTakeSaver> FSaver;
};
