// An embedded object's stream: the "BDOC" header (the old format for inputs
// of odd length), the compound-file reader over its storage, every stream
// read, and the object drawn. The storage's bytes are kept exactly.

#include "FuzzInput.h"
#include "media/ole/OleStream.h"
#include "platform/canvas/Bitmap.h"
#include "platform/ole/EmbeddedObject.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream = InputStream(data, size);
  std::uint32_t aspect = 0;
  std::vector<std::uint8_t> storage;
  try {
    storage = ReadOleStream(stream, size % 2 == 1, aspect);
  } catch (const Exception&) {
    return 0;
  }
  ole::TEmbeddedObject object;
  object.LoadStorage(storage);
  Check(object.StorageBytes() == storage);
  if (!object.Damaged()) {
    ole::TCompoundFile file(object.StorageBytes());
    for (const auto& entry : file.Entries()) try {
        if (entry.IsStream) Check(file.ReadStream(entry.Path).size() == entry.Size);
      } catch (const ole::ECompoundFileError&) {
      }
  }
  canvas::TBitmap target(16, 12);
  object.Draw(target.Canvas(), {1, 1, 15, 11}, aspect);
  return 0;
}
