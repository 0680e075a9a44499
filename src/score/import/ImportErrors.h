#pragma once
// The failures of the score importers. Only a file whose structure cannot be
// read raises; everything readable is kept.

#include "base/Exceptions.h"

class EImportError : public Exception {
  using Exception::Exception;
};

// A stream that does not begin with a MIDI header chunk (after an RMID wrapper).
inline constexpr const char* SNotMidiFile = "This is not MIDI file!";
// A MIDI header chunk too short to hold its fields, or a division of 0.
inline constexpr const char* SMidiHeaderDamaged = "The MIDI file header is damaged";
// A MIDI file that would make more measures or parts, or denser measures,
// than the import builds.
inline constexpr const char* SMidiTooLarge = "The MIDI file is too large to import";
// The warning of a MIDI file that ends inside a chunk: the score holds what
// the file held.
inline constexpr const char* SMidiFileCutShort = "The MIDI file is cut short: its end is missing";
// No XML, or a root element other than score-partwise.
inline constexpr const char* SNotMusicXMLFile = "This is not MusicXML file!";
// A partwise document that ends before its markup does (a file cut short),
// or whose markup goes wrong after its root element began: where the XML
// parser stopped (line and column from 1) and its own words why.
inline constexpr const char* SMusicXMLCutShort = "The MusicXML file is cut short at line %u, column %u: %s";
inline constexpr const char* SMusicXMLNotWellFormed = "The MusicXML file is not well-formed at line %u, column %u: %s";
// Beyond the input size or entry count that the MusicXML reader accepts.
inline constexpr const char* SMusicXMLTooLarge = "The MusicXML file is too large";
