#pragma once
// The MusicXML import: a partwise document becomes a new piece of the score.

class TKVScore;
class TStream;

// `TKVScore.ImportMusicXML`: reads the document from the stream's position
// into a new piece (tempo 100). Raises EImportError "This is not MusicXML
// file!" for input that is not well-formed or not partwise MusicXML (the new
// piece stays, empty), and EConvertError for a scaling or page-layout value
// that is not a number; what was read so far stays in the score. The
// finishing pass maps, lays out and beams the piece; an error in it leaves
// the piece as far as it got and its text in Score.ImportWarning. The score
// is laid out at the end (when the caller's update bracket closes).
void ImportMusicXML(TKVScore& Score, TStream& Stream);

// Lets TKVScore.LoadFromFile read ".xml" files through ImportMusicXML, with
// the performance passes once the loaded score is laid out. Call once at
// start, before scores load files.
void RegisterMusicXMLImporter();
