// The whole MusicXML import (entry list and walk) into a fresh score.

#include "FuzzInput.h"
#include "base/Exceptions.h"
#include "score/import/MusicXMLImport.h"
#include "score/model/Score.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream = InputStream(data, size);
  TKVScore score;
  try {
    ImportMusicXML(score, stream);
  } catch (const Exception&) {
  }
  return 0;
}
