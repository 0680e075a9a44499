#pragma once
// The finishing pass of the MusicXML import, run once right after the walk:
// it aligns the header texts, marks where measure numbering starts, maps
// every note, rest and mark to the part's real staves and voices, decides
// which accidentals are shown, gathers grace notes into grace-note groups,
// maps percussion notes through the drum map, applies the system spacing of
// print elements, shortens a pickup measure, breaks the system after the last
// column, lays the piece out once, lets the notation rules order, beam and
// stem every measure and finishes ties and slurs, and moves the barlines to
// the measure ends.
//
// From the mapping to the barlines the steps run under one guard: an error
// ends them, what was made stays, and Run returns the error's text so that
// the host can show it as a warning.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

class TKVItem;
class TKVLiga;
class TKVMark;
class TKVMeasure;
class TKVMusicXMLWalk;
class TKVNote;
class TKVPart;
class TKVPause;
class TKVPiece;
class TKVScore;
class TKVXMLAccidentals;

class TKVMusicXMLFinish {
public:
  TKVMusicXMLFinish(TKVScore& Score, TKVPiece& Piece, TKVMusicXMLWalk& Walk);

  // The whole pass; "" or the text of the error that ended its guarded steps.
  std::string Run();

private:
  // ---- texts, numbering, spacing, pickup, breaks, layout (MusicXMLFinish.cpp) ----
  void AlignHeaderTexts();
  void MarkMeasureNumbering();
  void ApplySpacingRecords();
  void GiveEveryStaffAVoice();
  void ShortenPickup();
  void FitColumnsToContent();
  void KeepTupletsWithin(int32_t Column, int32_t End);
  void BreakAfterLastColumn();
  void LayOut();
  void PlaceBarlines();
  void MatchSlurEnds();
  TKVMeasure* FirstPartMeasure(int32_t Index) const;

  // ---- mapping to staves and voices (MusicXMLFinishParts.cpp) ----
  void MapPart(TKVPart& Part);
  void MapMeasure(TKVPart& Part, TKVMeasure& Measure);
  // False when the note left the measure's list (freed or gathered into a
  // grace-note group).
  bool MapNote(TKVPart& Part, TKVMeasure& Measure, TKVNote& Note);
  bool MapRest(TKVPart& Part, TKVMeasure& Measure, TKVPause& Rest);
  void MapMark(TKVPart& Part, TKVMark& Mark);
  void PutOnNamedStaff(const TKVPart& Part, TKVItem& Item);
  // The tuplet that covered the item before its voice byte was mapped takes
  // the item's voice byte and owner reference.
  void TakeTuplet(TKVMark* Tuplet, uint8_t VoiceByte, const TKVItem& Item);
  void GatherGraceNote(TKVMeasure& Measure, TKVNote& Note);
  void MapPercussion(const TKVPart& Part, TKVNote& Note);
  // Frees a note, forgetting the slurs that start or end at it.
  void FreeNote(TKVNote* Note);
  // Signs for the alterations of the measure's notes, in time order.
  void ShowAccidentals(TKVMeasure& Measure, TKVXMLAccidentals& State);

  // ---- notation rules, ties and slurs (MusicXMLNotation.cpp) ----
  void ApplyNotation(TKVPart& Part);
  void FinishLigas(TKVNote& Note, int32_t Time);
  void FinishSlur(TKVLiga& Slur, TKVNote& Note, int32_t Time);

  TKVScore& FScore;
  TKVPiece& FPiece;
  TKVMusicXMLWalk& FWalk;
  // Tuplets whose voice byte a note or rest has mapped already.
  std::unordered_set<const TKVMark*> FMappedTuplets;
  // Each slur's end note, once the mapping is done.
  std::unordered_map<const TKVLiga*, TKVNote*> FSlurEnds;
  // The walk's slurs by the notes they start (own) or end at, as indexes
  // into its list; made when the first note is freed.
  std::unordered_multimap<const void*, size_t> FSlursByNote;
  bool FSlursIndexed = false;
};
