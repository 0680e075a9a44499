#pragma once
// What the whole-import targets share: the input imported into a fresh
// score may fail only with the program's own exceptions, and the score's
// update bracket is closed however the import ends.

#include "FuzzInput.h"
#include "base/Exceptions.h"
#include "score/model/Score.h"

template <class ImportFunction>
int FuzzScoreImport(const uint8_t* data, size_t size, ImportFunction Import) {
  TMemoryStream stream = InputStream(data, size);
  TKVScore score;
  try {
    Import(score, stream);
  } catch (const Exception&) {
  }
  Check(score.UpdateCount() == 0);
  return 0;
}
