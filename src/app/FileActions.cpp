// Saving the take: Save asks for a name only while the take has none of its
// own (and always gives it ".wav"), Save as always asks and takes the name
// as typed; both propose the score's name for a take not saved yet. An
// existing file is replaced only when the user agrees; No returns to the
// dialog. The working file is kept whatever happens: a take counts as saved
// only when its file was completely written.

#include <filesystem>

#include "app/LoadedFile.h"
#include "app/MessageBlock.h"
#include "app/ProgramModule.h"
#include "app/ProgramUnit.h"
#include "app/TakeRecorder.h"
#include "app/TakeSaver.h"
#include "base/Streams.h"
#include "base/Strings.h"
#include "platform/audio/MediaPlayer.h"
#include "platform/forms/Places.h"

bool TFProgramModule::ConfirmReplace(TProgramMessage Caption, const std::string& Path) {
  return !FileExists(Path) || ShowMessageBlock(Message(Caption), MessageWithPath(pmReplaceQuestion, Path), mpQuestion,
                                               mbYes | mbNo) == forms::mrYes;
}

std::string TFProgramModule::ProposedTakeName(const std::string& Otherwise) const {
  return FTake->Score().empty() ? Otherwise : ChangeFileExt(ExtractFileName(FTake->Score()), ".wav");
}

std::string TFProgramModule::ChooseSaveFile(TProgramMessage Caption, bool ForceWav) {
  SDFile->Filter = Message(pmSaveFilter);
  // The folder of the take saved last, else the user's music: never the
  // program's folder, where the working file lies.
  SDFile->InitialDir = IniFile()->ReadString("Folders", "Save", forms::UserFolder("MUSIC", "Music"));
  SDFile->FileName = ExtractFileName(SDFile->FileName);
  while (SDFile->Execute()) {
    const std::string chosen = ForceWav ? ChangeFileExt(SDFile->FileName, ".wav") : SDFile->FileName;
    const std::string folder = ExtractFilePath(chosen);
    std::error_code error;
    if (!std::filesystem::is_directory(folder.empty() ? "." : folder, error)) {
      ShowDialogProblem(forms::TDialogProblem::OfFolder(folder, error));
      continue;
    }
    if (ConfirmReplace(Caption, chosen)) return chosen;
    // Not to be replaced: the dialog again where the user was, with the name.
    SDFile->InitialDir = folder;
    SDFile->FileName = ExtractFileName(chosen);
  }
  return "";
}

void TFProgramModule::ASaveExecute() {
  if (!ASave->Enabled()) return;
  const std::string previous = DestFile();
  if (SameText(ExtractFileName(previous), "Untitled.wav")) {
    SDFile->FileName = ProposedTakeName("");
    const std::string chosen = ChooseSaveFile(pmSaveCaption, true);
    if (chosen.empty()) return;
    FSaver->SetDestFile(chosen);
  }
  MPDestination->Close();
  SaveTake(previous);
}

void TFProgramModule::ASaveAsExecute() {
  // A second save inside a running one, or a copy of a take still being
  // recorded, would write a file that is not the take.
  if (Busy() || Recording()) return;
  // A take not saved yet has only the working file's name: it is offered
  // under its score's.
  const std::string previous = DestFile();
  SDFile->FileName = SameText(ExtractFileName(previous), "Untitled.wav") ? ProposedTakeName(previous)
                                                                          : ChangeFileExt(previous, ".wav");
  const std::string chosen = ChooseSaveFile(pmSaveAsCaption, false);
  if (chosen.empty()) return;
  // Save as stays enabled before any take; the name chosen then gets no file,
  // and the user learns why rather than that the working file is missing.
  if (!HasTake()) {
    ShowNotice(Message(pmNoTake));
    return;
  }
  FSaver->SetDestFile(chosen);
  MPDestination->FileName.clear();
  MPDestination->Close();
  SaveTake(previous);
}

void TFProgramModule::SaveTake(const std::string& PreviousDest) {
  const std::string dest = DestFile();
  if (WriteWaveFile(RecordFile(), dest)) {
    FSaver->SetSaved(true);
    // A run that ends without shut-down does not offer a saved take again.
    WriteSettings([&](forms::TIniFile& ini) {
      ini.WriteString("Folders", "Save", ExtractFilePath(dest));
      ini.WriteString("Record", "SavedTake", FTake->Fingerprint());
    });
  } else {
    FSaver->SetDestFile(PreviousDest);  // the next Save asks again for a name that can be written
  }
  UpdateDestination();
  // A save stopped by the user shows no box; the take's label says it was
  // stopped until the next take or save, so that it never looks saved.
  if (FSaver->Stopped()) LDestination->SetCaption(MessageWithPath(pmSaveStopped, ExtractFileName(dest)));
  UpdateActions();
}
