// The list of recently opened files: the sub-items of File/Reopen, newest
// first and at most 20, mirrored by the drop-down of the Open tool button.
// An item's tag is the date it entered the list and its hint the file's
// path; the settings keep each as "dd.mm.yyyy,path".

#include <algorithm>

#include "app/LoadedFile.h"
#include "app/ProgramLog.h"
#include "app/ProgramModule.h"
#include "app/ProgramUnit.h"
#include "base/Log.h"
#include "base/Streams.h"
#include "platform/threads/MainQueue.h"

namespace {

constexpr int MaxReopen = 20;

std::string Key(int n) { return "Reopen" + IntToStr(n); }

}  // namespace

void TFProgramModule::LoadReopenList() {
  forms::TIniFile& ini = *IniFile();
  const int count = ini.ReadInteger("Reopen", "ReopenCount", -1);
  // Without a count the entries run up to the first empty one and their
  // captions carry their numbers; the hint keeps the path that opens.
  const int last = count >= 0 ? std::min(count, MaxReopen) : MaxReopen;
  for (int n = 0; n < last; ++n) {
    const std::string value = ini.ReadString("Reopen", Key(n), "");
    if (value.empty()) {
      if (count < 0) break;
      continue;
    }
    const std::string path = value.size() > 11 ? value.substr(11) : "";
    int date = Today();
    if (!TryStrToDate(value.substr(0, 10), date)) date = Today();
    TECMenuItem* item = MIReopen->AddItem(count >= 0 ? path : IntToStr(n) + " " + path);
    item->SetTag(date);
    item->SetHint(path);
    item->OnClick = [this, item](TObject*) { ReopenClick(item); };
  }
  RebuildReopenMenu();
}

void TFProgramModule::RebuildReopenMenu() {
  TECMenuItem* drop = MITOpen;
  for (int i = 0; i < MIReopen->Count(); ++i) {
    TECMenuItem* source = MIReopen->Items(i);
    TECMenuItem* mirror = drop->Items(i);
    if (!mirror) {
      mirror = drop->AddItem("");
      mirror->SetTag(Today());
      mirror->OnClick = [this, mirror](TObject*) { ReopenClick(mirror); };
    }
    mirror->SetCaption(source->Caption());
    mirror->SetTag(source->Tag());
    mirror->SetHint(source->Hint());
  }
  while (drop->Count() > MIReopen->Count()) drop->Delete(drop->Count() - 1);
  UpdateReopenItem();
}

void TFProgramModule::UpdateReopenItem() {
  const TLoadedFile* current = CurrentFile();
  bool other = false;
  for (int i = 0; i < MIReopen->Count() && !other; ++i)
    other = !current || !SameText(MIReopen->Items(i)->Hint(), current->FileName);
  // Nothing to reopen but the file that is open, or a save that reads the
  // working file: the item offers nothing.
  MIReopen->SetEnabled(other && !Busy());
}

// Written at every change of the list or the opened file, all keys in one
// write, so that a run that ends without shut-down keeps it.
void TFProgramModule::SaveReopenList() {
  WriteSettings([this](forms::TIniFile& ini) {
    for (int n = 0; n < MaxReopen; ++n) ini.DeleteKey("Reopen", Key(n));
    int n = 0;
    auto listed = [this](const std::string& path) {
      for (int i = 0; i < MIReopen->Count(); ++i)
        if (SameText(MIReopen->Items(i)->Hint(), path)) return true;
      return false;
    };
    TLoadedFile* file = CurrentFile();
    if (file && !listed(file->FileName) && FileExists(file->FileName))
      ini.WriteString("Reopen", Key(n++), DateToStr(Today()) + "," + file->FileName);
    for (int i = 0; i < MIReopen->Count() && n < MaxReopen; ++i)
      ini.WriteString("Reopen", Key(n++), DateToStr(MIReopen->Items(i)->Tag()) + "," + MIReopen->Items(i)->Hint());
    ini.WriteInteger("Reopen", "ReopenCount", n);
  });
}

void TFProgramModule::AddToReopen(const std::string& Path) {
  try {
    if (!FileExists(Path)) return;
    for (int i = 0; i < MIReopen->Count(); ++i)
      if (SameText(MIReopen->Items(i)->Hint(), Path)) return;
    TECMenuItem* item = MIReopen->InsertItem(0, Path);
    item->SetTag(Today());
    item->SetHint(Path);
    item->OnClick = [this, item](TObject*) { ReopenClick(item); };
    while (MIReopen->Count() > MaxReopen) MIReopen->Delete(MaxReopen);
    RebuildReopenMenu();
  } catch (const std::exception&) {
    // The list stays as it was.
    LogFailure("Reopen list: " + Path + " was not added");
  }
}

void TFProgramModule::ReopenClick(TECMenuItem* Item) {
  // Runs once the click is over: the chosen item leaves the list.
  const int index = Item->GetIndex();
  const std::string path = Item->Hint();
  TMainQueue::Instance().Post(
      [this, index, path] {
        if (Busy()) return;
        if (FileExists(path)) {
          AStopExecute();
          if (TLoadedFile* current = CurrentFile()) AddToReopen(current->FileName);
          OpenFile(path);
        }
        // The entry moved down by one when the current file was put on top.
        for (int i = 0; i < MIReopen->Count(); ++i)
          if (i >= index && MIReopen->Items(i)->Hint() == path) {
            MIReopen->Delete(i);
            break;
          }
        RebuildReopenMenu();
        SaveReopenList();
      },
      this);
}
