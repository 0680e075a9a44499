// Saving the take: Save asks for a name only while the take has none of its
// own (and always gives it ".wav"), Save as always asks and takes the name
// as typed; an existing file is replaced only when the user agrees. The
// working file is kept whatever happens: a take counts as saved only when
// its file was completely written.

#include <filesystem>

#include "app/LoadedFile.h"
#include "app/MessageBlock.h"
#include "app/ProgramModule.h"
#include "app/ProgramUnit.h"
#include "base/Streams.h"
#include "base/Strings.h"
#include "platform/audio/MediaPlayer.h"
#include "platform/forms/Places.h"

bool TFProgramModule::ConfirmReplace(int CaptionIndex, const std::string& Path) {
  return !FileExists(Path) ||
         ShowMessageBlock(Message(CaptionIndex), MessageWithPath(12, Path), mpQuestion, mbYes | mbNo) == forms::mrYes;
}

bool TFProgramModule::ExecuteSaveDialog() {
  SDFile->Filter = Message(5);
  // The folder of the take saved last, else the user's music: never the
  // program's folder, where the working file lies.
  SDFile->InitialDir = IniFile()->ReadString("Folders", "Save", forms::UserFolder("MUSIC", "Music"));
  SDFile->FileName = ExtractFileName(SDFile->FileName);
  while (SDFile->Execute()) {
    const std::string folder = ExtractFilePath(SDFile->FileName);
    std::error_code error;
    if (std::filesystem::is_directory(folder.empty() ? "." : folder, error)) return true;
    ShowError(MessageWithPath(17, folder));
  }
  return false;
}

void TFProgramModule::ASaveExecute() {
  if (!ASave->Enabled()) return;
  const std::string previous = FDestFile;
  if (SameText(ExtractFileName(FDestFile), "Untitled.wav")) {
    const TLoadedFile* file = CurrentFile();
    SDFile->FileName = file ? ChangeFileExt(file->FileName, ".wav") : "";
    if (!ExecuteSaveDialog()) return;
    const std::string chosen = ChangeFileExt(SDFile->FileName, ".wav");
    if (!ConfirmReplace(10, chosen)) return;
    FDestFile = chosen;
  }
  MPDestination->Close();
  SaveTake(previous);
}

void TFProgramModule::ASaveAsExecute() {
  // A second save inside a running one, or a copy of a take still being
  // recorded, would write a file that is not the take.
  if (FBusy || FRecording) return;
  SDFile->FileName = ChangeFileExt(FDestFile, ".wav");
  if (!ExecuteSaveDialog() || !ConfirmReplace(11, SDFile->FileName)) return;
  const std::string previous = FDestFile;
  FDestFile = SDFile->FileName;
  MPDestination->FileName.clear();
  MPDestination->Close();
  SaveTake(previous);
}

void TFProgramModule::SaveTake(const std::string& PreviousDest) {
  const std::string dest = FDestFile;
  FSaveStopped = false;
  if (WriteWaveFile(FRecordFile, dest)) {
    FSaved = true;
    WriteSettings([&](forms::TIniFile& ini) { ini.WriteString("Folders", "Save", ExtractFilePath(dest)); });
  } else
    FDestFile = PreviousDest;  // the next Save asks again for a name that can be written
  UpdateDestination();
  // A save stopped by the user shows no box; the take's label says it was
  // stopped until the next take or save, so that it never looks saved.
  if (FSaveStopped) LDestination->SetCaption(MessageWithPath(16, ExtractFileName(dest)));
  UpdateActions();
}
