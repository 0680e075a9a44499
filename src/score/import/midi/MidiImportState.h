#pragma once
// What the Standard MIDI File reader collects for the conversion into
// notation: per part the note, lyric and key-signature records of every track,
// the score-wide tempo records, the raw controller events and the meter map
// (one meter word per measure). The reader makes no score objects: each record
// carries a description of the element the conversion makes for it.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "score/model/ItemKinds.h"

// A note (`TKVNote`): pitch byte = octave shl 4 or diatonic step (C = 0 .. B = 6).
struct TKVImportNote {
  uint8_t Pitch = 0;
  uint8_t Symbol = 0;      // 0; drum-map notes: the entry's symbol index + 5, 255 for none
  uint8_t Accidental = 0;  // $34 (sharp) for a black key, else 0
  uint8_t MidiKey = 0;
};

// A lyric (`TKVLyric`) from a text, lyric, marker or cue-point event.
struct TKVImportLyric {
  uint8_t Kind = ItemKind::Syllable;  // for text and lyric events; LyricText for markers and cue points
  uint8_t Style = 0;  // bit 0: continues a hyphenated word; bit 1: begins a new line
  uint16_t Value = 256;
  std::u16string Text;  // the one entry of the lyric's wide-text list
};

// A tempo mark (`TKVMark` kind 6, sub-kind 2).
struct TKVImportTempo {
  static constexpr uint8_t Kind = ItemKind::TempoMark;
  static constexpr uint8_t SubKind = 2;
  uint16_t BeatsPerMinute = 0;
  // What a Standard MIDI File plays at before its first tempo event.
  static constexpr uint16_t Default = 120;
};

// A key signature (`TKVMark` kind 3): 1..7 sharps, 10 + n for n flats.
struct TKVImportKeySignature {
  static constexpr uint8_t Kind = ItemKind::KeySignature;
  uint8_t Key = 0;
  uint8_t Mode = 0;
};

// A raw MIDI message kept for playback (`TKVMIDIEvent`): status then data bytes.
struct TKVImportMIDIEvent {
  std::vector<uint8_t> Data;
};

using TKVImportItem = std::variant<std::monostate, TKVImportNote, TKVImportLyric, TKVImportTempo,
                                   TKVImportKeySignature, TKVImportMIDIEvent>;

// One collected event. Times are score ticks (128 per quarter note).
struct TKVImportEvent {
  uint32_t Time = 0;
  uint16_t Length = 0;  // notes: duration in score ticks, set when the note ends
  uint8_t Key = 0;      // notes: MIDI key
  uint8_t Velocity = 0; // notes: note-on velocity
  TKVImportItem Item;
  uint32_t Link = 0;  // left 0 by the reader; the conversion links split notes with it
  // Reading order: where the file ends a note, or holds any other event.
  uint64_t Order = 0;
};

using TKVImportEventList = std::vector<std::unique_ptr<TKVImportEvent>>;

// What the reader sets on a part (`TKVPart`). Unset optionals leave the
// part's own defaults in place.
struct TKVMidiImportPart {
  static constexpr uint8_t NoChannel = 255;
  uint8_t Channel = NoChannel;
  std::optional<uint8_t> Program;
  std::optional<uint8_t> Volume;  // through `TKVPart.SetVolume`
  std::optional<uint8_t> Pan;     // through `TKVPart.SetPan`
  std::string Name;               // through `TKVPart.SetName` (UTF-8); empty when never named
  uint32_t LowNote = 0;           // 1 when the part has a note at or below key 61
  bool Sounded = false;           // a note of the part has begun
  // Notes while the file is read; empty once it has been read, when every
  // note has been paired with what ends it and moved to the events.
  TKVImportEventList OpenNotes;
  // Finished notes, lyrics and key signatures in the order they end or occur.
  TKVImportEventList Events;
};

// A drum-map entry as the reader needs it, by sounding key.
struct TKVMidiDrumEntry {
  bool Enabled = false;
  uint8_t StaffPosition = 0;  // diatonic steps; 23 stands for key 0
  uint8_t SymbolIndex = 255;  // 255: none
};
using TKVMidiDrumMap = std::array<TKVMidiDrumEntry, 128>;

// The import state after the reader: the conversion consumes all of it.
struct TKVMidiImportState {
  uint16_t Format = 0;      // 0, 1 or 2 from the header (other values are not kept)
  uint16_t TrackCount = 0;  // as the header says; every track chunk is read regardless
  uint16_t Division = 0;    // the header's division word
  // One meter word per measure: numerator shl 8 or denominator ($0404 = 4/4).
  std::vector<uint16_t> MeterMap{0x0404};
  TKVImportEventList ScoreMarks;  // tempo records of all tracks
  TKVImportEventList MIDIEvents;  // the piece's MIDI event list
  // The parts of the new piece in the order they were made.
  std::vector<std::unique_ptr<TKVMidiImportPart>> Parts;
  // Copyright texts (meta type 2), appended to the score's third header string.
  std::string ThirdHeaderString;
  // A chunk's length runs past the end of the file (a file cut short, as by
  // a broken download): what it held was read, the rest is missing.
  bool CutShort = false;
  // Data bytes of channel messages that had their top bit set: read without it.
  uint32_t HighVelocities = 0;
  // Notes that nothing ended (no note-off, no new strike of their key):
  // each ends where its track ends.
  uint32_t EndedByTrack = 0;
  // Score ticks: where the longest track ends (its end-of-track event, or
  // the last event read). A piece without notes lasts that long.
  uint32_t EndTime = 0;
};
