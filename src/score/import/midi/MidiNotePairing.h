#pragma once
// Pairs the note-ons of a Standard MIDI File with the note-offs that end
// them, once every track has been read, so that a note-off in one track can
// end a note another track began on the same channel.
//
// The rules, for the notes of one channel and key in time order (events of
// one time in the order the file holds them):
// - a note-on ends the note of its key still sounding in its own part, so
//   that a part never holds two sounding notes of one key: a key struck
//   again while it sounds (a strum, an echo, a re-struck bass) ends the
//   earlier strike there;
// - a note-off (or a note-on of velocity 0) ends the note its own track
//   left sounding (in the part the track plays on that channel when it has
//   one there, else the newest). A note-off whose track has no note of its
//   key sounding is a stray one;
// - a note that no note-off of its own track ends (one that a new strike
//   ended, or that still sounds at the end) takes the first stray note-off
//   of another track that comes after its start and before that strike:
//   tracks that share a channel keep their own notes, and a note whose
//   note-off stands in another track still ends there;
// - a note still sounding then ends where its own track ends, and is
//   counted.
// Ended notes join their part's event list in the order in which the file
// ends them, among the lyrics and key signatures in the order they occur.

#include <cstdint>
#include <vector>

#include "score/import/midi/MidiImportState.h"

class TKVMidiNotePairing {
public:
  // Reading order of the file's events: a number that grows with every
  // event the reader hands on or keeps.
  uint64_t NextOrder() { return FOrder++; }

  // A note-on with a velocity: Note is its record, already in Part's open
  // notes.
  void NoteOn(uint32_t Track, TKVMidiImportPart& Part, TKVImportEvent& Note, uint8_t Channel);
  // A note-off, or a note-on of velocity 0; Part is the part the track
  // plays on that channel, nil when there is none.
  void NoteOff(uint32_t Track, TKVMidiImportPart* Part, uint32_t Time, uint8_t Channel, uint8_t Key);
  // The end of a track, at Time.
  void TrackEnd(uint32_t Track, uint32_t Time);

  // Pairs everything collected, moves every note record from its part's
  // open notes to its event list and puts each event list into reading
  // order. Returns how many notes ended only with their track.
  uint32_t Pair(std::vector<std::unique_ptr<TKVMidiImportPart>>& Parts);

private:
  struct TNoteEvent {
    uint32_t Time;
    uint32_t Track;
    uint64_t Order;
    uint8_t Channel;
    uint8_t Key;
    TKVMidiImportPart* Part;
    TKVImportEvent* Note;  // nil for a note-off
  };
  // A note of one channel and key while the key's events are paired.
  struct TPairing {
    TKVImportEvent* Note;
    TKVMidiImportPart* Part;
    uint32_t Track;
    bool Sounding = true;
    bool OwnNoteOff = false;  // ended by a note-off of its own track
    uint32_t End = 0;         // where a new strike ended it
  };
  struct TTrackEnd {
    uint32_t Time;
    uint64_t Order;
  };

  void PairKey(const TNoteEvent* First, const TNoteEvent* Last);
  static void End(TPairing& Note, uint32_t Time, uint64_t Order);

  uint64_t FOrder = 0;
  std::vector<TNoteEvent> FEvents;
  std::vector<TTrackEnd> FTrackEnds;  // by track
  uint32_t FEndedByTrack = 0;
};
