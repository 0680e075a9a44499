// The metafile reader and player: whatever the bytes, reading fails only
// with the program's own exception, drawing raises nothing, and the bytes
// read are the bytes kept.

#include <optional>

#include "FuzzInput.h"
#include "base/Log.h"
#include "platform/canvas/Bitmap.h"
#include "platform/metafile/Metafile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (SetLogHook([](const std::string&) {}), true);
  (void)quiet;
  std::vector<uint8_t> bytes(data, data + size);
  std::optional<metafile::TMetafileData> m;
  try {
    m.emplace(bytes);
  } catch (const Exception&) {
    return 0;
  }
  Check(m->Bytes() == bytes);
  canvas::TBitmap picture(48, 32);
  m->Draw(picture.Canvas(), {0, 0, 48, 32});
  m->Draw(picture.Canvas(), {40, 30, 8, 2});  // mirrored
  return 0;
}
