// The GIF reader with every frame decoded, tolerant of damaged data for
// inputs of odd length and strict for the others.

#include "FuzzInput.h"
#include "media/gif/GIFImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream = InputStream(data, size);
  gif::TolerateCorruptData = size % 2 == 1;
  gif::TGIFsImage image;
  try {
    gif::ReadGIFStream(image, stream.GetSize(), stream, false);
  } catch (const Exception&) {
  }
  for (auto& frame : image.Frames) try {
      Check(frame->GetBitmap().GetWidth() == frame->Data->Width && frame->GetBitmap().GetHeight() == frame->Data->Height);
    } catch (const Exception&) {
    }
  return 0;
}
