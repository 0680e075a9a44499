#include "app/LoadedFile.h"

#include "app/DynamicLevels.h"
#include "app/SoundClips.h"
#include "base/Strings.h"
#include "platform/threads/MainQueue.h"
#include "player/MidiOutput.h"
#include "player/Window.h"
#include "score/model/Score.h"

TLoadedFile::TLoadedFile(const std::string& FileName) : FileName(FileName) {
  if (!IsAccepted(FileName)) return;
  Score = std::make_unique<TKVScore>();
  // Before the load: the import's velocity passes ask it.
  Score->OnGetDinamics = [](TObject*, int32_t ItemType, int32_t Kind) { return DynamicLevel(ItemType, Kind); };
  Score->LoadFromFile(FileName);
  Window = std::make_unique<TKVWindow>();
  Window->SetStyle(wsRealTime);
  Window->SetClipPlayer(SoundClipPlayer());
  Window->SetScore(Score.get());
  Window->OnPlayShort = [this](TObject* s, uint8_t m, uint8_t d1, uint8_t d2, int32_t vst, bool show) {
    PlayShort(s, m, d1, d2, vst, show);
  };
  Window->OnPlayLong = [this](TObject* s, const uint8_t* data, uint16_t length, int32_t vst) {
    PlayLong(s, data, length, vst);
  };
  Window->OnStopPlay = [this](TObject* s) { StopPlay(s); };
  MidiOutput = std::make_unique<TMidiOutput>();
}

TLoadedFile::~TLoadedFile() {
  Window.reset();  // ends a run first
  TMainQueue::Instance().Cancel(this);
  Score.reset();
  MidiOutput.reset();
}

bool TLoadedFile::IsAccepted(const std::string& FileName) {
  const std::string ext = ExtractFileExt(FileName);
  for (const char* accepted : {".sfd", ".xml", ".mid", ".kar", ".midi", ".rmi"})
    if (SameText(ext, accepted)) return true;
  return false;
}

double TLoadedFile::GetDuration() {
  auto* view = Score ? dynamic_cast<TKVWindow*>(Score->GetActiveWindow()) : nullptr;
  return view ? view->GetTotalTime() : 0;
}

double TLoadedFile::GetPosition() { return Window ? Window->GetCursorTime() : 0; }

void TLoadedFile::Seek(double Ms) {
  if (Window) Window->SeekTime(Ms);
}

void TLoadedFile::OpenDevice() {
  if (DeviceOpen || !MidiOutput) return;
  try {
    MidiOutput->SetDeviceID(DeviceID);
  } catch (const EmidioutputError&) {
    // The previous device stays selected.
  }
  if (MidiOutput->Open()) DeviceOpen = MidiOutput->LastError() == 0;
}

void TLoadedFile::CloseDevice() {
  if (DeviceOpen && MidiOutput) MidiOutput->Close();
  DeviceOpen = false;
}

void TLoadedFile::Play() {
  OpenDevice();
  if (!DeviceOpen || !Window) return;
  if (!Window->Playing()) {
    // A run that ended by itself is joined first, so that its stop event,
    // queued or still on its way, is dropped: it would end this run.
    Window->Stop();
    TMainQueue::Instance().Cancel(this);
  }
  // Set before the thread starts: a run that ends at once clears it.
  Playing = true;
  Window->Play();
}

void TLoadedFile::Stop() {
  if (Window) Window->Stop();
  // The run's stop event was asked for, not an end by itself.
  TMainQueue::Instance().Cancel(this);
  Playing = false;
  CloseDevice();
}

void TLoadedFile::GotoBegin() {
  if (Window) Window->GotoStart();
}

void TLoadedFile::GotoEnd() {
  if (Window) Window->GotoEnd();
}

void TLoadedFile::SetVolume(uint16_t Right, uint16_t Left) {
  if (MidiOutput) MidiOutput->SetVolume(Right, Left);
}

void TLoadedFile::GetVolume(uint16_t& Right, uint16_t& Left) {
  if (MidiOutput) MidiOutput->GetVolume(Right, Left);
}

void TLoadedFile::PlayShort(TObject*, uint8_t MidiMessage, uint8_t Data1, uint8_t Data2, int32_t, bool) {
  MidiOutput->PutShort(MidiMessage, Data1, Data2);
}

void TLoadedFile::PlayLong(TObject*, const uint8_t* TheSysex, uint16_t msgLength, int32_t) {
  MidiOutput->PutLong(TheSysex, msgLength);
}

void TLoadedFile::StopPlay(TObject*) {
  Playing = false;
  TMainQueue::Instance().Post(
      [this] {
        if (OnStop) OnStop(this);
      },
      this);
}
