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
//   unpitched note takes its display step and octave.

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

// The time the document plays for, in milliseconds, by the import's rules:
// the first sound element's tempo (100 without one); measures as long as the
// time signature in force (the first part's beats in the measure, 4 when no
// whole number, over the last beat type of 1 to 255), before any as long as
// their content (the furthest point durations, backup and forward reach); a
// first measure with a time signature as long as its shorter content when
// that is a whole number of 128ths; backward repeats of the first part (no
// ending after them in their barline) replaying back to their (nested)
// forward repeat once.
double PlayTimeOfMusicXML(const std::string& document);
