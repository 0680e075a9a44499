// Opening a file: the reader is chosen by the file's last extension.

#include "base/Streams.h"
#include "score/model/Score.h"
#include "score/model/ScoreImporters.h"

void TKVScore::LoadFromFile(const std::string& FileName) {
  if (!FileExists(FileName)) return;
  auto stream = std::make_unique<TFileStream>(FileName, fmOpenRead);
  const TKVScoreImporter* importer = FindScoreImporter(FileName);
  ImportWarning.clear();
  MidiImportNotice = {};
  BeginUpdate();
  auto finish = [&] {
    stream.reset();
    EndUpdate();
    if (importer && importer->AfterLayout) importer->AfterLayout(*this);
    FImporting = false;
  };
  try {
    std::function<void(TKVScore&)> build;
    if (importer && importer->Read) build = importer->Read(*this, *stream);
    ClearPieces();
    ClearItems();
    FNamedRecords.Clear();
    if (importer) {
      FImporting = true;
      if (build)
        build(*this);
      else
        importer->Import(*this, *stream);
    } else {
      LoadFromStream(*stream);
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}
