#pragma once
// The Windows Media audio clip input: decodes a clip in Windows Media
// Audio form through the Windows Media reader into PCM, with the clip's
// format, length (from its "Duration") and texts (into the ID3v2 tags).
// It seeks by time, in hundredths of a second. A clip that cannot be
// opened leaves the input neither valid nor open (the next use tries
// again); one without an audio output and a PCM format opens invalid with
// a zero format. A protected clip raises "File is protected".

#include <memory>

#include "media/audio/AuTaggedFileIn.h"
#include "media/audio/WMAReader.h"

enum class TChannelsNumber { cnMaxAvailable, cnMonoOrStereo, cn5dot1, cn7dot1 };

class TWMIn : public TAuTaggedFileIn {
public:
  TWMIn() = default;
  ~TWMIn() override;
  TKVAudioInputKind Kind() const override { return TKVAudioInputKind::WindowsMedia; }

  bool HighPrecision() const { return FHighPrecision; }
  // Discrete output (16, 24 or 32 bits, the clip's own channels). Changed
  // only while OutputChannels is cnMonoOrStereo; nothing while busy; an open
  // input reopens.
  void SetHighPrecision(bool value);
  TChannelsNumber OutputChannels() const { return FOutputChannels; }
  // Any value but cnMonoOrStereo sets HighPrecision too; nothing while
  // busy; an open input reopens.
  void SetOutputChannels(TChannelsNumber value);
  // The clip's length in hundredths of a second (0 when it does not say).
  int32_t DurationCs() const { return FDurationCs; }

protected:
  void InitInternal() override;
  void OpenFile() override;
  void CloseFile() override;
  void GetDataInternal(uint8_t*& buffer, uint32_t& bytes) override;
  bool SeekInternal(int64_t& sample) override;

private:
  void Reopen();
  // Forgets a reader that did not open: no format, no own file, an assigned
  // stream back at its start.
  void Abandon();
  // Frees the file this input opened, or rewinds the stream it was given.
  void ReleaseStream();

  WMAReaderState FReader;
  std::unique_ptr<TStream> FFile;  // the file this input opened
  int32_t FDurationCs = 0;
  int64_t FClipSamples = 0;  // the whole clip's, from its length
  bool FHighPrecision = false;
  TChannelsNumber FOutputChannels = TChannelsNumber::cnMonoOrStereo;
};
