// The whole MusicXML import (entry list, walk and finishing pass) into a
// fresh score.

#include "ScoreImportFuzz.h"
#include "score/import/musicxml/MusicXMLImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzScoreImport(data, size, ImportMusicXML);
}
