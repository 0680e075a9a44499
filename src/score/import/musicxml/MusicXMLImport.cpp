#include "score/import/musicxml/MusicXMLImport.h"

#include "score/import/musicxml/MusicXMLFinish.h"
#include "score/import/musicxml/MusicXMLWalk.h"
#include "score/import/performance/PerformancePasses.h"
#include "score/import/musicxml/XMLEntryList.h"
#include "score/model/Piece.h"
#include "score/model/ScoreImporters.h"
#include "score/model/Score.h"

void ImportMusicXML(TKVScore& Score, TStream& Stream) {
  // The score is laid out once the import ends, however it ends (inside a
  // caller's bracket, once that bracket closes).
  Score.BeginUpdate();
  auto layOut = [&Score] {
    Score.Reformat(0);
    Score.EndUpdate();
  };
  Score.ImportWarning.clear();
  try {
    Score.Settings().SetOption(1, 0);
    TKVPiece* piece = Score.NewPiece();
    piece->SetTempo(100);
    const TKVXMLEntryList list = ReadXMLEntries(Stream);
    TKVMusicXMLWalk walk(Score, *piece, list);
    walk.Run();
    Score.ImportWarning = TKVMusicXMLFinish(Score, *piece, walk).Run();
  } catch (...) {
    layOut();
    throw;
  }
  layOut();
}

void RegisterMusicXMLImporter() {
  RegisterScoreImporter(TKVImportFormat::MusicXML, {ImportMusicXML, ApplyPerformancePasses});
}
