#pragma once
// The recording of a take, carried out for the main window: the MCI
// wave-audio element that records the take into the working file, the wave
// input beside it that feeds the level monitor, and whether the working
// file holds a take. The window decides when each step runs; every step of
// a take's start writes its line with its result code to the log.
//
// What is being recorded is kept in the take journal beside the working
// file as it arrives (platform/audio/TakeJournal.h), and the end of the
// take moves it onto the working file: a run that dies leaves its take in
// the journal, which the next start makes the working file's take.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/audio/WaveIn.h"
#include "platform/canvas/Graphics.h"
#include "platform/codec/WaveFormat.h"

class TTakeRecorder {
public:
  // RecordFile is the working file the takes are saved to, Journal the
  // file the take being recorded is kept in.
  TTakeRecorder(std::string RecordFile, const std::string& Journal);
  // A take still running leaves nothing open behind it.
  ~TTakeRecorder();
  TTakeRecorder(const TTakeRecorder&) = delete;
  TTakeRecorder& operator=(const TTakeRecorder&) = delete;

  const std::string& RecordFile() const { return FRecordFile; }
  // Between Record and the take's end (Finish or Close).
  bool Recording() const { return FRecording; }
  // The working file holds a take of the current record format.
  bool HasTake() const { return FHasTake; }
  void SetHasTake(bool Value) { FHasTake = Value; }

  // ---- The level monitor's wave input.
  // Opens it in Format, in which the monitor decodes its buffers whatever
  // the controls say later; each buffer that comes back goes to OnData.
  uint32_t OpenMonitor(const codec::TWaveFormat& Format, std::function<void(audio::TWaveHdr*)> OnData);
  // Queues the buffer next in turn: one not made yet is made and queued;
  // one that came back is queued again only while Requeue.
  void QueueMonitorBuffer(bool Requeue);
  // Makes the waveform's points for a meter Width pixels wide.
  void ShowWaveform(int Width);
  // Resets and closes the input and drops its buffers and the waveform.
  void CloseMonitor();
  const codec::TWaveFormat& MonitorFormat() const { return FMonitorFormat; }
  // The waveform's points; null while the monitor does not draw.
  std::vector<canvas::TPoint>* Waveform() const { return FPoints.get(); }

  // ---- The MCI element.
  // Opens a new element and sets it to Format; the code of the last command.
  uint32_t Open(const codec::TWaveFormat& Format);
  // Starts the monitor's input and the recording of a take of the score
  // Score; the code of RECORD.
  uint32_t Record(const std::string& Score);
  // The score the take in the working file was recorded from ("" when not
  // known).
  const std::string& Score() const { return FScore; }
  struct TEnd {
    uint32_t Stop = 0;  // MCIERR_FILE_WRITE: not every frame could be written
    uint32_t Save = 0;  // MCIERR_WAVE_EMPTY when nothing arrived
  };
  // Stops the recording, saves it to the working file and closes the
  // element.
  TEnd Finish();
  // Closes the element, dropping what it holds.
  void Close();

  // ---- The sound of the last notes. Once the score has ended, the take
  // goes on until its input has stayed below -60 dBFS for 100 ms, for at
  // most 3 s; Stop ends it at once all the same.
  // A monitor buffer came back: what it heard counts towards the silence.
  void NoteMonitorBuffer(const audio::TWaveHdr& Header);
  // Whether the take may end, NowMs (a clock in milliseconds) after the
  // score ended at the first call of this take. Without a monitor input
  // there is nothing to wait for.
  bool LastNotesFaded(uint64_t NowMs);

  // At start: whether a run that ended without shut-down left a take: the
  // one it was recording (its journal, which becomes the working file's
  // take), else the working file's, when it is a readable PCM take of at
  // least one frame that was not saved (its fingerprint is not
  // SavedFingerprint).
  // Score: the score the run was recording from, as it noted.
  bool TakeUpLeftTake(const std::string& SavedFingerprint, const std::string& Score);
  // What tells the working file's take from another: its file's identity,
  // size and time of change; empty when there is none.
  std::string Fingerprint() const;

private:
  const std::string FRecordFile;
  const std::string FJournal;
  std::string FScore;
  bool FRecording = false;
  bool FHasTake = false;
  std::string FAlias;
  // The monitor's wave input, its two buffers of 100 ms and the format it
  // was opened with; FPoints exists only while the monitor draws.
  audio::HWAVEIN FWaveIn = 0;
  codec::TWaveFormat FMonitorFormat;
  std::array<std::vector<uint8_t>, 2> FBuffers;
  std::array<audio::TWaveHdr, 2> FHeaders;
  bool FUseSecond = false;
  uint32_t FBlockSamples = 0;
  uint32_t FBlockBytes = 0;
  std::unique_ptr<std::vector<canvas::TPoint>> FPoints;
  // Frames the monitor heard last that were all silent, and when the score
  // ended (none while it plays).
  uint64_t FQuietFrames = 0;
  std::optional<uint64_t> FScoreEnded;
};
