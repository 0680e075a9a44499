#include "app/ProgramUnit.h"

#include <memory>

#include "app/ProgramLog.h"
#include "base/Exceptions.h"

namespace {

TProgramPlace gPlace;
std::unique_ptr<forms::TIniFile> gIniFile;

}  // namespace

void InitializeProgramUnit(const TProgramPlace& place) {
  gPlace = place;
  gIniFile = std::make_unique<forms::TIniFile>(place.SettingsFile());
}

void FinalizeProgramUnit() { gIniFile.reset(); }

const TProgramPlace& ProgramPlace() { return gPlace; }

forms::TIniFile* IniFile() { return gIniFile.get(); }

void WriteSettings(const std::function<void(forms::TIniFile&)>& Write) {
  if (!gIniFile) return;
  gIniFile->BeginUpdate();
  Write(*gIniFile);
  try {
    gIniFile->EndUpdate();
  } catch (const forms::EIniFileException& e) {
    WriteLog(e.Message());
  }
}

std::string SkinFile(const std::string& name) { return gPlace.ProgramFolder() + "skin/" + name; }

canvas::TBitmap SkinPicture(const std::string& name) {
  try {
    return canvas::TBitmap::LoadFromFile(SkinFile(name));
  } catch (const Exception&) {
    return {};
  }
}
