#pragma once
// What a plain walk of a Standard MIDI File's track chunks finds, written
// apart from the reader so that the import tests can check real files
// against it: every note-on with its channel, key, time and end, the tempo
// events and the meter map. Running status is kept across everything, SysEx
// and meta events are skipped by their lengths, every channel message is as
// long as its kind says (data bytes read without their top bit). A note-on
// of a key that still sounds in its channel and track ends that note; a
// note-off (or a note-on of velocity 0) ends the note of its key sounding in
// its own track, else it is a stray one. A note that no note-off of its own
// track ends takes the first stray note-off of another track on its channel
// after its start (and not after the strike that ended it); one still
// sounding then ends with its track.

#include <cstdint>
#include <string>
#include <vector>

#include "support/MidiFileBuilder.h"

namespace test_support {

struct TNoteOn {
  int Key;
  int64_t Time;  // score ticks (128 a quarter note)
  int Channel = 0;
  int64_t End = 0;  // where its note-off, a new note-on of its key, or its track ends it
  bool operator<(const TNoteOn& o) const { return Key != o.Key ? Key < o.Key : Time < o.Time; }
};

struct TTempoEvent {
  int64_t Time;      // score ticks
  double MsPerTick;  // from the microseconds per quarter note
};

struct TFileWalk {
  std::vector<TNoteOn> Notes;       // every note-on with a velocity, by key and time
  std::vector<TTempoEvent> Tempos;  // in file order
  std::vector<uint16_t> MeterMap{0x0404};
  int64_t LastEnd = 0;     // where the last note ends
  int64_t LastPoint = -1;  // the last tempo (at its quantised tick) or kept MIDI event
};

TFileWalk WalkMidiFile(const TBytes& File);

// The time a file plays for, in milliseconds, by the import's rules: whole
// measures of the meter map (a time signature at the next bar line) up to
// the one in which the last note ends or the last tempo or kept MIDI event
// (controllers but volume and pan, pressure, pitch bend) falls, as each
// makes its measure column; a quarter note is half a second until the first
// tempo, and each tempo holds from its tick on (of two at one tick, the
// later in the file).
double PlayTimeOfMidiFile(const TBytes& File);

// The Standard MIDI Files fetched for the tests (".mid", ".midi", ".kar",
// ".rmi" under SONARID_MIDI_CACHE, or the folder that variable names at run
// time), in name order; none when they were not fetched.
std::string MidiCacheDir();
std::vector<std::string> MidiCorpusFiles();

}  // namespace test_support
