#include "score/import/MusicXMLImport.h"

#include "score/import/MusicXMLWalk.h"
#include "score/import/XMLEntryList.h"
#include "score/model/Piece.h"
#include "score/model/ScoreImporters.h"
#include "score/model/Score.h"

void ImportMusicXML(TKVScore& Score, TStream& Stream) {
  Score.Settings().SetOption(1, 0);
  TKVPiece* piece = Score.NewPiece();
  piece->SetTempo(100);
  const TKVXMLEntryList list = ReadXMLEntries(Stream);
  TKVMusicXMLWalk walk(Score, *piece, list);
  walk.Run();
  // The finishing pass goes here: it takes the walk's results (texts to
  // align, spacing records, slurs with their end notes, the first meter and
  // the pickup flag) and maps, lays out and beams the new piece.
}

void RegisterMusicXMLImporter() { RegisterScoreImporter(TKVImportFormat::MusicXML, {ImportMusicXML, {}}); }
