#include "ui/ECLanguage.h"

#include <algorithm>
#include <memory>

#include "base/Streams.h"
#include "base/Strings.h"
#include "ui/ECFormLanguage.h"
#include "ui/LanguageBlock.h"
#include "ui/ProgramResources.h"

namespace {

TECLanguage* gCurrent = nullptr;
// Windows created while no language object exists; the next one takes them.
std::unique_ptr<std::vector<TECFormLanguage*>> gPending;

void Remove(std::vector<TECFormLanguage*>& list, TECFormLanguage* window) {
  list.erase(std::remove(list.begin(), list.end(), window), list.end());
}

}  // namespace

TECLanguage::TECLanguage(TPublishedForm* owner) : TNonVisualComponent(owner) {
  if (gCurrent && gCurrent->Owner() == owner)
    throw ECLanguageException("Component TECLanguage already exists on that form");
  if (!gCurrent) gCurrent = this;
  FBasePath = ChangeFileExt(ProgramFileName(), "");
  if (gPending) {
    std::unique_ptr<std::vector<TECFormLanguage*>> pending = std::move(gPending);
    for (TECFormLanguage* window : *pending) attach(window);
  }
}

TECLanguage::~TECLanguage() {
  // Only the application's object clears the application reference; a
  // second object on another form must not orphan the first.
  if (gCurrent == this) gCurrent = nullptr;
}

TECLanguage* TECLanguage::Current() { return gCurrent; }

std::string TECLanguage::GetLanguage() {
  std::string held = FLanguage;
  if (!FLoaded) LoadLanguageData();
  return held;
}

void TECLanguage::SetLanguage(const std::string& value) {
  if (SameText(value, FLanguage)) return;
  FLanguage = value;
  if (FAutoLoad || !IsLoading()) LoadLanguage(value);
  if (OnLanguageChange) OnLanguageChange(this);
}

void TECLanguage::LoadLanguage(const std::string& code) {
  if (IsDesigning()) return;
  FLanguage = code;
  LoadLanguageData();
  // By index: applying may add or remove windows.
  for (size_t i = 0; i < FRegistered.size(); ++i) FRegistered[i]->ApplyLanguage();
}

void TECLanguage::LoadLanguageData() {
  if (FLanguage.empty()) FLanguage = "ENU";
  if (FInner) {
    const std::vector<uint8_t>* resource = FindResource(UpperCase("language" + FLanguage));
    if (!resource) return;
    TMemoryStream stream(*resource);
    readLanguage(stream);
  } else {
    std::string fileName = LanguageFileName(FLanguage);
    if (!FileExists(fileName)) return;
    TFileStream stream(fileName, fmOpenRead);
    readLanguage(stream);
  }
}

void TECLanguage::readLanguage(TStream& stream) {
  stream.ReadString(stream.ReadU16());
  if (stream.ReadU8() != lrf::kHeaderMark) return;
  stream.ReadString(stream.ReadU16());
  // Read whole before the previous block is dropped, so that a failing read
  // keeps the previous language.
  FData = stream.ReadBytes(stream.Remaining());
  FLoaded = true;
}

void TECLanguage::ReadState() {
  if (!FLoaded && (FAutoLoad || !IsLoading())) LoadLanguageData();
}

std::optional<size_t> TECLanguage::FindSection(const std::string& name) const {
  if (!FLoaded) return std::nullopt;
  return lrf::FindSection(FData, name);
}

std::string TECLanguage::LanguageFileName(const std::string& code) const {
  // The files carry their codes in capitals and the file system tells letter
  // case apart, so a code stored as "rus" still finds "<base>.RUS.lrf".
  return FBasePath + "." + UpperCase(code) + ".lrf";
}

void TECLanguage::attach(TECFormLanguage* window) {
  if (!FLoaded && FAutoLoad) LoadLanguageData();
  FRegistered.push_back(window);
  if (FAutoLoad) window->ApplyLanguage();
}

void TECLanguage::Register(TECFormLanguage* window) {
  if (gCurrent) {
    gCurrent->attach(window);
    return;
  }
  if (!gPending) gPending = std::make_unique<std::vector<TECFormLanguage*>>();
  gPending->push_back(window);
}

void TECLanguage::Unregister(TECFormLanguage* window) {
  if (gCurrent)
    Remove(gCurrent->FRegistered, window);
  else if (gPending)
    Remove(*gPending, window);
}
