// The own score format: any bytes load or fail with the format's errors, the
// score's update bracket is closed either way, and what was read can be
// copied into another score (every item of the tree is visited).

#include "FuzzInput.h"
#include "base/Exceptions.h"
#include "score/import/oldformat/OldScoreFile.h"
#include "score/model/Score.h"
#include "score/model/ScoreImporters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  [[maybe_unused]] static const bool older = (RegisterOldFormatLoader(LoadOldFormat), true);
  TMemoryStream stream = InputStream(data, size);
  TKVScore score;
  try {
    score.LoadFromStream(stream);
  } catch (const Exception&) {
  }
  Check(score.UpdateCount() == 0);
  TKVScore copy;
  copy.Assign(score);
  return 0;
}
