#pragma once
// The first phase of the MIDI import: reads the chunks of a Standard MIDI File
// (formats 0, 1 and 2; an RMID wrapper is unwrapped to its "data" chunk) into
// the import state that the conversion into notation consumes.
//
// Only a structure that cannot be read raises (EImportError): a stream that is
// not a MIDI file, or a header chunk without a usable division. Damage inside a
// track ends that track; what was read before stays.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "score/import/midi/MidiImportState.h"
#include "score/import/midi/MidiNotePairing.h"

class TKVMidiReader {
public:
  // A delta time above this ends its track.
  static constexpr uint32_t MaxDeltaTime = 100000000;
  // The latest event time in score ticks (131,072 quarter notes): a track whose
  // running time passes it ends there, so that the measures and the meter map
  // built from the times stay bounded.
  static constexpr uint32_t MaxEventTime = 0xFFFFFF;
  // The tempo given to files timed in SMPTE frames (their quarter note is
  // taken as half a second).
  static constexpr uint16_t SmpteTempo = TKVImportTempo::Default;

  // DrumMap (optional, by sounding key) spells the notes of the drum channel.
  explicit TKVMidiReader(const TKVMidiDrumMap* drumMap = nullptr) : FDrumMap(drumMap) {}

  TKVMidiImportState Read(TStream& stream);

private:
  enum TChunkKind { ckOther = 0, ckHeader = 1, ckTrack = 2 };

  void ReadChunks(TStream& stream);
  bool ReadChunkHeader(TStream& stream);
  void ReadChunkData(TStream& stream);
  void ReadHeaderChunk();
  void ReadTrack();

  // Track cursor: each read ends the track (TTrackCut) at the chunk's end.
  uint8_t ReadByte();
  uint32_t ReadVarLen();
  std::string ReadText(uint32_t length);
  // Reads Count data bytes of a system message; false (nothing more
  // consumed) at a byte of 128 or more, which then starts the next event.
  bool ReadDataBytes(uint8_t* out, int count);

  bool AdvanceTime(uint32_t delta);
  void ReadMetaEvent();
  bool ReadSystemMessage(uint8_t status);
  // Reads the data bytes the message's length gives, each without its top bit.
  void ReadChannelMessage();
  void NoteOff(uint8_t channel, uint8_t key);
  void NoteOn(uint8_t channel, uint8_t key, uint8_t velocity);
  void ProgramChange(uint8_t channel, uint8_t program);
  void ApplyLyricRule(uint8_t type, const std::string& text);
  void AddKeySignature(int8_t count, uint8_t mode);
  void AddTempo(uint32_t microseconds);
  void AddMeterChange(uint8_t numerator, unsigned denominator);
  void AddMIDIEventRecord(const uint8_t* bytes, int count);

  static constexpr size_t NoPart = SIZE_MAX;
  TKVMidiImportPart* Part(size_t index);  // nullptr for NoPart
  TKVMidiImportPart* EnsurePart();
  size_t NewPart(uint8_t channel);
  void SetChannel(size_t index, uint8_t channel);
  // The part of a channel: the current one when it has that channel (or
  // none yet), else the first of the channel, else a new one.
  TKVMidiImportPart* PartOfChannel(uint8_t channel);
  TKVMidiImportPart* FindPartByChannel(uint8_t channel);
  TKVImportEvent& NewRecord(TKVImportEventList& list);

  const TKVMidiDrumMap* FDrumMap;
  TKVMidiImportState FState;

  // The current chunk.
  TChunkKind FChunkKind = ckOther;
  uint64_t FChunkLength = 0;
  std::vector<uint8_t> FChunk;
  size_t FPos = 0;
  double FTicksPerQuarter = 0;  // file ticks per quarter note
  bool FSmpte = false;

  // The current track.
  uint64_t FAbsoluteTime = 0;  // file ticks
  uint32_t FEventTime = 0;     // score ticks
  uint8_t FRunningStatus = 0;
  uint8_t FChannel = 0;
  size_t FCurrent = NoPart;  // the current part
  bool FHyphen = false;
  uint32_t FTrack = 0;  // track chunks read before this one
  TKVMidiNotePairing FPairing;
  // The index of the first part of each channel, in the order of the parts.
  std::array<size_t, 16> FFirstOfChannel = FilledWithNoPart();
  static std::array<size_t, 16> FilledWithNoPart() {
    std::array<size_t, 16> a;
    a.fill(NoPart);
    return a;
  }
};

// Reads a whole Standard MIDI File (or RMID file) from Stream.
TKVMidiImportState ReadMidiFile(TStream& stream, const TKVMidiDrumMap* drumMap = nullptr);
