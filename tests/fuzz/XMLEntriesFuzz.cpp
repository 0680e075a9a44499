// The MusicXML entry list: any bytes become a list or fail with the import's
// errors; the list keeps its promises to the walk.

#include "FuzzInput.h"
#include "base/Exceptions.h"
#include "score/import/musicxml/XMLEntryList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream = InputStream(data, size);
  try {
    TKVXMLEntryList list = ReadXMLEntries(stream);
    Check(list.Root < list.Top());
    for (const TKVXMLEntry& entry : list.Entries) Check(entry.Depth >= 0 && entry.Depth <= list.MaxDepth);
  } catch (const Exception&) {
  }
  return 0;
}
