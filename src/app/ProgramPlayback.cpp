// The main window's opened file and playback of the score: opening and
// loading a file, the MIDI output list and volume, Play, Stop, the 100 ms
// timer that follows the play position, and the moves to start and end.

#include <algorithm>
#include <climits>
#include <cstdint>

#include "app/LoadedFile.h"
#include "app/MessageBlock.h"
#include "app/ProgramLog.h"
#include "app/ProgramModule.h"
#include "app/ProgramUnit.h"
#include "app/TakeRecorder.h"
#include "app/TakeSaver.h"
#include "platform/audio/MediaPlayer.h"
#include "platform/window/WindowSystem.h"
#include "player/MidiOutput.h"
#include "score/model/Score.h"

namespace {

// A time of the score in whole milliseconds; what no time can be (below 0,
// not a number, beyond any score) is held at the nearest bound.
int64_t WholeMs(double ms) { return ms > 0 ? int64_t(std::min(ms, 1e15)) : 0; }

// The score's bar counts tenths of a second.
int BarSteps(int64_t ms) { return int(std::min<int64_t>(ms / 100, INT32_MAX)); }

}  // namespace

void TFProgramModule::AOpenExecute() {
  ODFile->Filter = Message(pmOpenFilter);
  // The folder of the file opened last, in this run or an earlier one: the
  // open file's, else the newest entry's of the reopen list (where the last
  // run's file went); with neither the dialog starts at home.
  const TLoadedFile* current = CurrentFile();
  ODFile->InitialDir = current                 ? ExtractFilePath(current->FileName)
                       : MIReopen->Count() > 0 ? ExtractFilePath(MIReopen->Items(0)->Hint())
                                               : "";
  ODFile->FileName.clear();
  if (!ODFile->Execute()) return;
  AStopExecute();
  if (TLoadedFile* current = CurrentFile()) AddToReopen(current->FileName);
  OpenFile(ODFile->FileName);
}

bool TFProgramModule::OpenFile(const std::string& FileName) {
  bool opened = false;
  try {
    LoadFile(FileName);
    opened = true;
    // The score loaded, but a step after the import failed, the import
    // changed what the file plays, or an older file's notes were not read:
    // say so, the score stays open.
    const TLoadedFile* file = CurrentFile();
    if (const TImportMessage said = file && file->Score ? ImportMessage(*file->Score) : TImportMessage{};
        !said.Text.empty())
      said.Notice ? ShowNotice(said.Text) : ShowError(said.Text);
  } catch (const EFOpenError& e) {
    // The system's cause in the words of the language.
    ShowError(e.Error() ? MessageWithCause(pmCannotRead, e.FileName(), e.Error()) : e.Message());
  } catch (const Exception& e) {
    ShowError(e.Message());
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
  UpdateActions();
  // The opened file and the list before it outlast a run that ends without shut-down.
  SaveReopenList();
  return opened;
}

TFProgramModule::TImportMessage TFProgramModule::ImportMessage(const TKVScore& Score) const {
  std::string text = Score.ImportWarning;
  auto add = [&](const std::string& line) { text += (text.empty() ? "" : "\n") + line; };
  const TKVScore::TKVMidiImportNotice& notice = Score.MidiImportNotice;
  if (notice.Merged) add(MessageWithPath(pmMergedNotes, std::to_string(notice.Merged)));
  if (notice.HighVelocities) add(MessageWithPath(pmHighVelocities, std::to_string(notice.HighVelocities)));
  if (notice.EndedByTrack) add(MessageWithPath(pmEndedByTrack, std::to_string(notice.EndedByTrack)));
  if (notice.NoNotes) add(Message(pmNoNotes));
  return {text, Score.ImportWarning.empty()};
}

void TFProgramModule::LoadFile(const std::string& FileName) {
  auto file = std::make_unique<TLoadedFile>(FileName);
  file->OnStop = [this](TObject* sender) { PlaybackEnded(sender); };
  if (FFiles.empty())
    FFiles.push_back(std::move(file));
  else
    FFiles.front() = std::move(file);
  TLoadedFile* current = CurrentFile();
  LSource->SetCaption(ExtractFileName(FileName));
  const int64_t duration = WholeMs(current->GetDuration());
  LSEndTime->SetCaption(MillisecToStr(duration));
  TBSource->SetMax(BarSteps(duration));
  // A file without output leaves the volume bar where it is.
  uint16_t right = uint16_t(TBVolume->Position()), left = right;
  current->GetVolume(right, left);
  TBVolume->SetPosition((right + left) / 2);
  TBSource->SetPosition(0);
  // The take (saved or not) stays with its panel until the next one
  // replaces it: it is the user's work, whatever score comes next.
  if (!HasTake()) LDestination->SetCaption("Untitled.wav");
  current->SetDeviceID(CBOutput->ItemIndex());
  ShowStartTopic();
}

void TFProgramModule::FillMidiOutDevices() {
  CBOutput->Items().Clear();
  TMidiOutput output;
  for (int i = 0; i < output.NumDevs(); ++i) {
    try {
      output.SetDeviceID(i);
      CBOutput->Items().Add(output.GetProductName());
    } catch (const EmidioutputError&) {
      // A device that cannot be selected is not offered.
    }
  }
  const int device = IniFile()->ReadInteger("Play", "Device", 0);
  const int count = CBOutput->Items().Count();
  CBOutput->SetItemIndex(device >= 0 && device < count ? device : count > 0 ? 0 : -1);
}

void TFProgramModule::CBOutputChange() {
  WriteSettings([&](forms::TIniFile& ini) { ini.WriteInteger("Play", "Device", CBOutput->ItemIndex()); });
  TLoadedFile* file = CurrentFile();
  if (!file) return;
  file->SetDeviceID(CBOutput->ItemIndex());
  // A device left open after the score played to its end would otherwise
  // keep serving the next Play.
  if (!file->Playing) file->CloseDevice();
}

void TFProgramModule::TBVolumeChange() {
  TLoadedFile* file = CurrentFile();
  if (!FSourceActive || !file) return;
  const uint16_t volume = uint16_t(TBVolume->Position() & 0xFFFF);
  file->SetVolume(volume, volume);
}

void TFProgramModule::PlaybackEnded(TObject*) { FPlayEnded = true; }

void TFProgramModule::StartPlaySource() {
  if (FSourceActive) {
    TLoadedFile* file = CurrentFile();
    if (!file) return;
    file->Seek(TBSource->Position() * 100.0);
    // Cleared before the play thread starts, so that an end it reports at
    // once is not lost.
    FPlayEnded = false;
    file->Play();
    FPlaying = file->Playing;
    TExport->SetEnabled(FPlaying);
  } else if (TakePlayerStopped()) {
    FPlayEnded = false;
    MPDestination->Play();
    TExport->SetEnabled(true);
  }
  UpdateActions();
}

void TFProgramModule::AStopExecute() {
  if (TExport->Enabled()) {
    TExport->SetEnabled(false);
    std::optional<TProgramMessage> problem;
    if (Recording()) {
      // What was recorded so far becomes the take.
      problem = FinishTake();
      if (TLoadedFile* file = CurrentFile()) file->Stop();
    } else if (FSourceActive) {
      if (TLoadedFile* file = CurrentFile()) file->Stop();
    } else if (TakePlayerPlaying()) {
      MPDestination->Stop();
    }
    FPlayEnded = true;
    FPlaying = false;
    UpdateActions();
    ClearScreen();
    if (problem) ShowError(Message(*problem));
  }
  // A conversion running ends at its next block.
  if (FSaver->Abort()) UpdateActions();
}

void TFProgramModule::TExportTimer() {
  TLoadedFile* file = CurrentFile();
  if (FPlayEnded) {
    // The score has ended, but its last notes may still sound into the take.
    if (Recording() && !FTake->LastNotesFaded(window::TWindowSystem::Current().GetTickCount())) return;
    const std::optional<TProgramMessage> problem = Recording() ? FinishTake() : std::nullopt;
    if (FPlaying && ARewind->Checked()) {
      if (!file) return;
      file->GotoBegin();
      FPlayEnded = false;
      file->Play();
    } else {
      TExport->SetEnabled(false);
      FPlaying = false;
      FPlayEnded = false;
      // The score played to its end: its position is its length, which the
      // tick before (up to 100 ms earlier) may have shown a second short.
      if (file) ShowPositions(WholeMs(file->GetDuration()), false);
    }
    UpdateActions();
    ClearScreen();
    if (problem) ShowError(Message(*problem));
    return;
  }
  if (TakePlayerStopped() && !FSourceActive && !Recording()) {
    if (ARewind->Checked()) {
      MPDestination->Rewind();
      MPDestination->Play();
    } else {
      TExport->SetEnabled(false);
      FPlaying = false;
      FPlayEnded = false;
      // The take played to its end, where its player stands.
      ShowTakePosition();
      UpdateActions();
    }
    return;
  }
  if (FUpdating) return;
  // The take's bar follows its player also while no score is open (a take
  // left by a run before).
  if (!FSourceActive && !Recording())
    ShowTakePosition();
  else if (file)
    ShowPositions(WholeMs(file->GetPosition()), Recording());
}

void TFProgramModule::ShowPositions(int64_t Ms, bool TakeToo) {
  // Set by the program, the bars move nothing.
  FUpdating = true;
  TBSource->SetPosition(BarSteps(Ms));
  LTimeSource->SetCaption(MillisecToStr(Ms));
  if (TakeToo) {
    TBDestination->SetPosition(BarSteps(Ms));
    LTimeDest->SetCaption(MillisecToStr(Ms));
  }
  FUpdating = false;
}

void TFProgramModule::ShowTakePosition() {
  const auto position = MPDestination->Position();  // one reading for the bar and the time
  FUpdating = true;
  TBDestination->SetPosition(int(position));
  LTimeDest->SetCaption(MillisecToStr(position));
  FUpdating = false;
}

void TFProgramModule::TBSourceChange() {
  if (FUpdating) return;
  FUpdating = true;
  if (TLoadedFile* file = CurrentFile()) {
    file->Seek(TBSource->Position() * 100.0);
    LTimeSource->SetCaption(MillisecToStr(WholeMs(file->GetPosition())));
  }
  FUpdating = false;
}

void TFProgramModule::GotoSide(bool End) {
  TLoadedFile* file = CurrentFile();
  if (FSourceActive && file) {
    End ? file->GotoEnd() : file->GotoBegin();
    TBSource->SetPosition(BarSteps(WholeMs(file->GetPosition())));
  } else if (!FSourceActive && TakePlayerStopped()) {
    TBDestination->SetPosition(End ? TBDestination->Max() : 0);
  }
}
