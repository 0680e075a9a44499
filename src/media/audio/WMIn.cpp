#include "media/audio/WMIn.h"

#include <algorithm>
#include <cmath>

#include "base/Strings.h"
#include "media/audio/AuException.h"
#include "media/audio/AuFileStream.h"

namespace {

int ChannelRequest(TChannelsNumber channels) {
  switch (channels) {
    case TChannelsNumber::cnMaxAvailable: return -1;
    case TChannelsNumber::cnMonoOrStereo: return 0;
    case TChannelsNumber::cn5dot1: return 6;
    case TChannelsNumber::cn7dot1: return 8;
  }
  return 0;
}

}  // namespace

TWMIn::~TWMIn() {
  CloseFile();
  CloseWMAReader(FReader);
}

void TWMIn::OpenFile() {
  std::lock_guard<std::recursive_mutex> lock(FOpenLock);
  if (FOpened > 0) return;
  if (!FStreamAssigned) {
    if (FFileName.empty()) throw EAuException("File name is not assigned");
    FFile = std::make_unique<TAuFileStream>(FFileName, 0x20);
    FStream = FFile.get();
  }
  OpenWMAReader(FReader, *FStream, FHighPrecision, ChannelRequest(FOutputChannels));
  FValid = FReader.Found;
  if (!FReader.SyncReader) return Abandon();
  if (FReader.Protected) {
    Abandon();
    throw EAuException("File is protected");
  }
  FDurationCs = int32_t(Round(double(FReader.Duration) / 100000));
  GetWMAFormat(FReader, FChan, FBPS, FSR);
  FClipSamples = int64_t(std::trunc(FDurationCs / 100.0 * FSR));
  FSize = FClipSamples * FChan * (FBPS / 8);
  FSeekable = true;
  TId3v2Tags& tags = Id3v2Tags();
  tags.SetArtist(GetWMAAttribute(FReader, "Author"));
  tags.SetTitle(GetWMAAttribute(FReader, "Title"));
  tags.SetAlbum(GetWMAAttribute(FReader, "WM/AlbumTitle"));
  tags.SetGenre(GetWMAAttribute(FReader, "WM/Genre"));
  tags.SetTrack(Utf16ToLatin1(GetWMAAttribute(FReader, "WM/Track")));
  tags.SetYear(Utf16ToLatin1(GetWMAAttribute(FReader, "WM/Year")));
  tags.SetComment(GetWMAAttribute(FReader, "Copyright"));
  ++FOpened;
}

void TWMIn::Abandon() {
  CloseWMAReader(FReader);
  FValid = false;
  FChan = FBPS = FSR = 0;
  FSize = 0;
  FDurationCs = 0;
  FClipSamples = 0;
  ReleaseStream();
}

void TWMIn::ReleaseStream() {
  if (FFile) {
    FFile.reset();
    FStream = nullptr;
  } else if (FStream) {
    FStream->SetPosition(0);
  }
}

void TWMIn::CloseFile() {
  std::lock_guard<std::recursive_mutex> lock(FOpenLock);
  if (FOpened == 0) return;
  CloseWMAReader(FReader);
  FOpened = 0;
  ReleaseStream();
}

void TWMIn::InitInternal() {
  TAuFileIn::InitInternal();
  // Without a length the data runs to the reader's end.
  if (FDurationCs == 0) FSize = -1;
}

void TWMIn::GetDataInternal(uint8_t*& buffer, uint32_t& bytes) {
  if (FSize > 0) bytes = uint32_t(std::min<int64_t>(bytes, std::max<int64_t>(0, FSize - FPosition)));
  ReadWMAData(FReader, buffer, bytes);
}

bool TWMIn::SeekInternal(int64_t& sample) {
  if (!FBusy) return false;
  // A clip without a length is placed by its rate alone.
  const int64_t cs = FClipSamples > 0 ? Round(double(sample) / double(FClipSamples) * FDurationCs)
                     : FSR > 0        ? Round(double(sample) * 100 / FSR)
                                      : 0;
  SeekWMAReader(FReader, cs);
  return true;
}

void TWMIn::Reopen() {
  std::lock_guard<std::recursive_mutex> lock(FOpenLock);
  if (FOpened == 0) return;
  CloseFile();
  OpenFile();
}

void TWMIn::SetHighPrecision(bool value) {
  if (FBusy) return;
  if (FOutputChannels == TChannelsNumber::cnMonoOrStereo) FHighPrecision = value;
  Reopen();
}

void TWMIn::SetOutputChannels(TChannelsNumber value) {
  if (FBusy) return;
  FOutputChannels = value;
  if (value != TChannelsNumber::cnMonoOrStereo) FHighPrecision = true;
  Reopen();
}
