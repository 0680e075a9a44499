#pragma once
// An independent count of a partwise MusicXML document, taken straight from
// a plain element tree (no entry list, no scopes), by the import's rules:
// - a part element fills the score-part of its id (letter case ignored), the
//   first one when no id matches;
// - a part with a part-name has a first measure before its measure elements,
//   which the first measure element then takes;
// - every note without a rest sounds, grace and cue notes included; its key
//   is 12 x (octave + 1) + semitone + alter, where an alter or octave that is
//   not a whole number counts as 0 or 5, octaves are held to 0..9, and an
//   unpitched note takes its display step and octave, or without them the
//   middle line of its staff under the clef in force.

#include <string>
#include <vector>

struct TXMLCount {
  int Parts = 0;
  std::vector<int> Measures;           // per part
  std::vector<std::vector<int>> Keys;  // per part, the sounding notes' keys in ascending order
};

// With ImportRules false the document is read as MusicXML means it: alters
// are rounded to the nearest semitone and a part element whose id names no
// score-part is left out.
TXMLCount CountMusicXML(const std::string& document, bool ImportRules = true);

// The first part's measures (0 the first) in the order they play, by
// MusicXML's rules for repeats and endings.
std::vector<int> UnfoldMusicXML(const std::string& document);

// The time the document plays for, in milliseconds: the first sound
// element's tempo (100 without one); each measure as long as the furthest
// point durations, backup and forward reach in any part (an empty one as its
// time signature), in the unfolded order.
double PlayTimeOfMusicXML(const std::string& document);
