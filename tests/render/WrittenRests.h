#pragma once
// The rests a MusicXML file writes, read straight from its text and not
// through the importer, so that a page check can hold what the pages draw
// against what the file asks for: per part (in the order of the part list)
// and measure (in the order of the part), both counted from 0, the rest
// glyph each rest calls for and its dots.
//
// The glyph is the written type. A rest without a type, or one marked as
// a whole-measure rest, takes the whole rest when it fills its measure
// (or is so marked); a shorter one without a type takes the longest type
// its duration holds. Types shorter than a 128th have no rest of their
// own in the music font: they call for the 128th rest. Grace and cue rests
// are left out; rests the file marks as not printed count (the importer
// shows them). Every measure of a part in the part list has its entry,
// empty when it writes no rest.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct TWrittenRest {
  uint16_t Ticks = 0;  // the type's value, 512 a whole note
  int Dots = 0;
  bool operator<(const TWrittenRest& Other) const {
    return std::pair(Ticks, Dots) < std::pair(Other.Ticks, Other.Dots);
  }
  bool operator==(const TWrittenRest&) const = default;
};

// (part, measure) -> the rests written there, in file order.
using TWrittenRests = std::map<std::pair<int, int>, std::vector<TWrittenRest>>;

TWrittenRests ReadWrittenRests(const std::string& Xml);

// The value in ticks of a MusicXML note type, 0 when the name is none.
uint16_t NoteTypeTicks(const std::string& Type);
